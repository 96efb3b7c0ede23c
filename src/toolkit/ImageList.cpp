#include "toolkit/ImageList.h"

ImageList::ImageList(Component* Owner, const ImageListArgs& Args)
    : Component(Owner), FWidth(Args.Width), FHeight(Args.Height)
{
    FHandle = ::ImageList_Create(FWidth, FHeight, ILC_COLOR24 | ILC_MASK, 4, 4);
}

ImageList::~ImageList()
{
    FClients.Notify(true);
    if (FHandle)
        ::ImageList_Destroy(FHandle);
}

int ImageList::Count() const
{
    return FHandle ? ::ImageList_GetImageCount(FHandle) : 0;
}

int ImageList::AddMasked(HBITMAP Image, COLORREF MaskColor)
{
    const int Index = FHandle ? ::ImageList_AddMasked(FHandle, Image, MaskColor) : -1;
    if (Index >= 0)
        Change();
    return Index;
}

int ImageList::AddPainted(COLORREF MaskColor,
                          const std::function<void(HDC Dc, const RECT& R)>& Paint)
{
    HDC Screen = ::GetDC(nullptr);
    HDC Dc = ::CreateCompatibleDC(Screen);
    HBITMAP Bmp = ::CreateCompatibleBitmap(Screen, FWidth, FHeight);
    ::ReleaseDC(nullptr, Screen);
    HGDIOBJ Old = ::SelectObject(Dc, Bmp);
    const RECT R = {0, 0, FWidth, FHeight};
    HBRUSH Back = ::CreateSolidBrush(MaskColor);
    ::FillRect(Dc, &R, Back);
    ::DeleteObject(Back);
    Paint(Dc, R);
    ::SelectObject(Dc, Old);
    ::DeleteDC(Dc);
    const int Index = AddMasked(Bmp, MaskColor);
    ::DeleteObject(Bmp);
    return Index;
}

void ImageList::Clear()
{
    if (FHandle && Count() > 0) {
        ::ImageList_RemoveAll(FHandle);
        Change();
    }
}

void ImageList::SetSize(int Width, int Height)
{
    if (FHandle)
        ::ImageList_SetIconSize(FHandle, Width, Height);
    FWidth = Width;
    FHeight = Height;
    Change();
}

void ImageList::Draw(HDC Dc, int X, int Y, int Index, bool Enabled) const
{
    if (!FHandle || Index < 0 || Index >= Count())
        return;
    ::ImageList_Draw(FHandle, Index, Dc, X, Y, Enabled ? ILD_TRANSPARENT : ILD_BLEND50);
}

void ImageList::DrawState(HDC Dc, int X, int Y, int Index, bool Enabled, bool Selected,
                          bool Checked) const
{
    (void)Selected;
    (void)Checked;
    Draw(Dc, X, Y, Index, Enabled);
}

void ImageList::Change()
{
    FClients.Notify(false);
}
