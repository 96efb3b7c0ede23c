// TStaticImageList: the image list of the main window's menu and toolbars
// and of the layout designer's toolbar. Holds a system image list of equal
// sized images and draws each one in the look its item's state asks for
// (TStaticImageListState::LookFor). Users register for change notices.
#pragma once

#include "components/ImagePixels.h"
#include "components/StaticImageList.h"
#include "toolkit/ImageList.h"

#include <windows.h>

// The toolkit's ImageList is the base: toolbars see OwnerDraw and ask
// DrawState for every image.
class TStaticImageList : public ImageList, public TStaticImageListState {
public:
    TStaticImageList(Component* Owner, int Width, int Height);

    // Appends an image of Width x Height; pixels of TransparentColour are
    // masked out. Returns its index, -1 on a size mismatch.
    int Add(const TPixelBuffer& Image, TPixel TransparentColour);

    // Draws image Index at (X, Y); Selected has no effect.
    void DrawState(HDC Canvas, int X, int Y, int Index, bool Enabled, bool Selected,
                   bool Checked) const override;
    bool OwnerDraw() const override { return true; }

protected:
    // Every change of the list (images too) goes through the update count.
    void Change() override { TStaticImageListState::Change(); }
    void NotifyChange() override { ImageList::Change(); }

private:
    // The image over the button face (what the list leaves clear).
    TPixelBuffer ImagePixels(int Index) const;
    void DrawWorkBitmap(HDC Canvas, int X, int Y, const TPixelBuffer& Work) const;
};

// A 32-bit top-down DIB section of Width x Height; Bits points at its rows.
HBITMAP CreatePixelBitmap(int Width, int Height, TPixel** Bits);
