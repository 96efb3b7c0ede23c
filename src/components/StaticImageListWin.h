// TStaticImageList: the image list of the main window's menu and toolbars
// and of the layout designer's toolbar. Holds a system image list of equal
// sized images and draws each one in the look its item's state asks for
// (TStaticImageListState::LookFor). Users register for change notices.
#pragma once

#include "components/ImagePixels.h"
#include "components/StaticImageList.h"
#include "toolkit/Component.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

class TStaticImageList : public Component, public TStaticImageListState {
public:
    TStaticImageList(Component* Owner, int Width, int Height);
    ~TStaticImageList() override;

    HIMAGELIST Handle() const { return FHandle; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const;

    // Appends an image of Width x Height; pixels of TransparentColour are
    // masked out. Returns its index, -1 on a size mismatch.
    int Add(const TPixelBuffer& Image, TPixel TransparentColour);

    // Users (toolbars, menus) redraw when the list changes.
    int AddChangeLink(std::function<void()> Handler);
    void RemoveChangeLink(int Id);

    // Draws image Index at (X, Y); Selected has no effect.
    void DrawState(HDC Canvas, int X, int Y, int Index, bool Enabled, bool Selected, bool Checked);

protected:
    void NotifyChange() override;

private:
    // The image over a key-coloured background (what the list leaves clear).
    TPixelBuffer ImagePixels(int Index) const;
    void DrawWorkBitmap(HDC Canvas, int X, int Y, const TPixelBuffer& Work) const;

    HIMAGELIST FHandle = nullptr;
    int FWidth;
    int FHeight;
    struct Link {
        int Id;
        std::function<void()> Handler;
    };
    std::vector<Link> FLinks;
    int FNextLinkId = 1;
};

// A 32-bit top-down DIB section over Pixels' size; Bits points at its rows.
HBITMAP CreatePixelBitmap(int Width, int Height, TPixel** Bits);
