#include "components/StaticImageListWin.h"
#include "components/ToolbarGlyphs.h"
#include "components/ToolbarImagesWin.h"

#include <gtest/gtest.h>

namespace {

const TPixel Key = RgbPixel(255, 0, 255);
const TPixel Green = RgbPixel(0, 200, 0);
const TPixel White = RgbPixel(255, 255, 255);
const TPixel Black = RgbPixel(0, 0, 0);

TPixel Sys(int Index)
{
    const COLORREF C = ::GetSysColor(Index);
    return RgbPixel(GetRValue(C), GetGValue(C), GetBValue(C));
}

// A white canvas; DrawState paints at (At, At).
struct Canvas {
    static constexpr int Size = 32, At = 4;
    HDC Dc = ::CreateCompatibleDC(nullptr);
    TPixel* Bits = nullptr;
    HBITMAP Bitmap = CreatePixelBitmap(Size, Size, &Bits);
    HGDIOBJ Old = ::SelectObject(Dc, Bitmap);
    Canvas()
    {
        for (int I = 0; I < Size * Size; ++I)
            Bits[I] = White;
    }
    ~Canvas()
    {
        ::SelectObject(Dc, Old);
        ::DeleteObject(Bitmap);
        ::DeleteDC(Dc);
    }
    TPixel Pixel(int X, int Y)
    {
        ::GdiFlush();
        return Bits[(At + Y) * Size + At + X] & 0xFFFFFFu;
    }
};

} // namespace

TEST(StaticImageListWin, DrawStateLooks)
{
    // Image: clear corners, green body, one black pixel at (5, 5).
    TPixelBuffer Image(16, 16, Green);
    Image.At(0, 0) = Image.At(0, 15) = Key;
    Image.At(5, 5) = Black;
    const TPixel Grey = RgbPixel(117, 117, 117);
    struct Case {
        const char* Name; int Index; bool Enabled, Checked, Border, Transparent;
        TPixel Corner, Body, Dark;
    };
    const Case Cases[] = {
        {"unchecked checkable", 0, true, false, false, true, White, Grey, Black},
        {"not checkable", 1, true, false, false, true, White, Green, Black},
        {"disabled, border on", 1, false, false, true, true, White, White, Sys(COLOR_BTNSHADOW)},
        {"checked with frame", 0, true, true, true, true, RgbPixel(255, 0, 0), Green, Black},
        {"opaque", 1, true, false, false, false, Sys(COLOR_BTNFACE), Green, Black},
    };
    for (const Case& C : Cases) {
        TStaticImageList List(nullptr, 16, 16);
        ASSERT_EQ(List.Add(Image, Key), 0);
        ASSERT_EQ(List.Add(Image, Key), 1);
        List.SetCheckableIcons("X-");
        List.SetDrawBorder(C.Border);
        List.SetTransparent(C.Transparent);
        Canvas Cv;
        List.DrawState(Cv.Dc, Canvas::At, Canvas::At, C.Index, C.Enabled, false, C.Checked);
        EXPECT_EQ(Cv.Pixel(0, 0), C.Corner) << C.Name;
        EXPECT_EQ(Cv.Pixel(8, 4), C.Body) << C.Name;
        EXPECT_EQ(Cv.Pixel(5, 5), C.Dark) << C.Name;
        EXPECT_EQ(Cv.Pixel(-1, -1), White) << C.Name;  // nothing outside the image
    }
}

TEST(StaticImageListWin, StoredListsAndTheirNotices)
{
    struct Case { TStaticImageList* (*Create)(Component*); const char* Name; int Count; const char* Checkable; };
    const Case Cases[] = {{CreateMainMenuImages, "MainMenuImages", 7, "X-"},
                          {CreateToolbarImages1, "ToolbarImages1", 19, "---"},
                          {CreateDesignerToolbarImages, "ToolbarImages", 19, "---"}};
    for (const Case& C : Cases) {
        Component Owner(nullptr);
        TStaticImageList* List = C.Create(&Owner);
        EXPECT_EQ(List->Name, C.Name);
        EXPECT_EQ(List->Count(), C.Count);
        EXPECT_EQ(List->CheckableIcons(), C.Checkable);
        EXPECT_FALSE(List->DrawBorder());
        EXPECT_EQ(List->BorderColor(), 255);
        EXPECT_TRUE(List->Transparent());
        EXPECT_TRUE(List->OwnerDraw());
        int Notices = 0;
        const int Link = List->AddChangeHandler([&](bool) { ++Notices; });
        List->BeginUpdate();
        List->SetDrawBorder(true);
        List->SetBorderColor(0x00FF00);
        List->SetTransparent(false);
        List->EndUpdate();
        List->RemoveChangeHandler(Link);
        List->SetDrawBorder(false);
        EXPECT_EQ(Notices, 1) << C.Name;
    }
}

TEST(StaticImageListWin, DrawnLooksOfTheStoredImagesKeepOutlineAndClearPixels)
{
    // Clear pixels show the canvas, or the embossing's light below and
    // right of the outline.
    struct Look { const char* Name; bool Enabled; std::string Checkable; bool Border; TPixel Outline, Light; };
    const Look Looks[] = {
        {"disabled", false, "", false, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)},
        {"greyscale", true, std::string(32, 'X'), false, Black, White},
        {"framed", true, "", true, Black, White},
    };
    struct Set { TStaticImageList* (*Create)(Component*); std::vector<TPixelBuffer> Glyphs; };
    const Set Sets[] = {{CreateMainMenuImages, MainMenuGlyphs()},
                        {CreateToolbarImages1, PanelToolbarGlyphs()},
                        {CreateDesignerToolbarImages, PanelToolbarGlyphs()}};
    for (const Set& S : Sets)
        for (const Look& L : Looks) {
            Component Owner(nullptr);
            TStaticImageList* List = S.Create(&Owner);
            List->SetCheckableIcons(L.Checkable);
            List->SetDrawBorder(L.Border);
            for (int I = 0; I < List->Count(); ++I) {
                Canvas Cv;
                List->DrawState(Cv.Dc, Canvas::At, Canvas::At, I, L.Enabled, false, false);
                const TPixelBuffer& G = S.Glyphs[static_cast<std::size_t>(I)];
                int Wrong = 0;
                // The frame covers the outer ring: only the inside counts there.
                const int Edge = L.Border ? 1 : 0;
                for (int Y = Edge; Y < 16 - Edge; ++Y)
                    for (int X = Edge; X < 16 - Edge; ++X) {
                        const TPixel P = G.At(X, Y);
                        const TPixel Shown = Cv.Pixel(X, Y);
                        if ((P == GlyphTransparent && Shown != White && Shown != L.Light) ||
                            (P == Black && Shown != L.Outline))
                            ++Wrong;
                    }
                EXPECT_EQ(Wrong, 0) << List->Name << " image " << I << " " << L.Name;
            }
        }
}
