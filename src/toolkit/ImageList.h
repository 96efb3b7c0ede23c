// ImageList: images of one size over an HIMAGELIST, drawn by index. Users
// (toolbars) hear of changes. A derived list may draw its images itself,
// per item state, through DrawState.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/Notifier.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>

struct ImageListArgs {
    int Width = 16;
    int Height = 16;
};

class ImageList : public Component {
public:
    ImageList(Component* Owner, const ImageListArgs& Args);
    ~ImageList() override;

    HIMAGELIST Handle() const { return FHandle; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const;

    // Pixels of MaskColor stay transparent; the bitmap is copied. -1 on failure.
    int AddMasked(HBITMAP Image, COLORREF MaskColor);
    // An image painted by Paint on a Width x Height bitmap filled with
    // MaskColor first (which then stays transparent).
    int AddPainted(COLORREF MaskColor, const std::function<void(HDC Dc, const RECT& R)>& Paint);
    void Clear();
    // Drops every image: the list then holds images of the new size.
    void SetSize(int Width, int Height);

    void Draw(HDC Dc, int X, int Y, int Index, bool Enabled = true) const;
    // How a toolbar or menu item draws its image. Selected and Checked are
    // the item's state; the plain list ignores them.
    virtual void DrawState(HDC Dc, int X, int Y, int Index, bool Enabled, bool Selected,
                           bool Checked) const;
    // True when users must draw through DrawState instead of the system
    // drawing the HIMAGELIST.
    virtual bool OwnerDraw() const { return false; }

    // Change notification for the users of the list; Destroyed when the
    // list goes, so they drop their reference.
    int AddChangeHandler(std::function<void(bool Destroyed)> Handler)
    {
        return FClients.Add(std::move(Handler));
    }
    void RemoveChangeHandler(int Id) { FClients.Remove(Id); }

protected:
    virtual void Change();

private:
    HIMAGELIST FHandle;
    int FWidth;
    int FHeight;
    Notifier<bool> FClients;
};
