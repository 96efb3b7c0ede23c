#include "components/ImagePixels.h"
#include "components/StaticImageList.h"
#include "components/ToolbarGlyphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(ImagePixels, GreyscaleWeighsRedGreenBlue)
{
    struct Case { TPixel In; unsigned Grey; };
    const Case Cases[] = {
        {RgbPixel(255, 0, 0), 76},   {RgbPixel(0, 255, 0), 150}, {RgbPixel(0, 0, 255), 27},
        {RgbPixel(255, 255, 255), 255}, {RgbPixel(0, 0, 0), 0},  {RgbPixel(10, 20, 30), 18},
    };
    for (const Case& C : Cases) {
        TPixelBuffer B(1, 1, C.In);
        MakeGrayscale(B);
        EXPECT_EQ(B.At(0, 0), RgbPixel(C.Grey, C.Grey, C.Grey)) << std::hex << C.In;
    }
}

// Maps: 'k' black, '.' any other colour; after embossing 'f' face,
// 'h' highlight, 's' shadow.
static TPixelBuffer FromMap(const std::vector<std::string>& Rows)
{
    TPixelBuffer B(static_cast<int>(Rows[0].size()), static_cast<int>(Rows.size()));
    for (int Y = 0; Y < B.Height; ++Y)
        for (int X = 0; X < B.Width; ++X)
            B.At(X, Y) = Rows[Y][X] == 'k' ? RgbPixel(0, 0, 0) : RgbPixel(200, 40, 40);
    return B;
}

TEST(ImagePixels, DisabledGlyphEmbossesBlackPixelsOnly)
{
    const TPixel Face = RgbPixel(1, 1, 1), High = RgbPixel(2, 2, 2), Shadow = RgbPixel(3, 3, 3);
    struct Case { std::vector<std::string> In, Out; };
    const Case Cases[] = {
        {{"...", ".k.", "..."}, {"fff", "fsf", "ffh"}},
        {{"k..", "...", "..k"}, {"sff", "fhf", "ffs"}},   // bottom-right highlight clipped
        {{"kk.", "...", "..."}, {"ssf", "fhh", "fff"}},
        {{"...", "...", "..."}, {"fff", "fff", "fff"}},   // colour but no black: blank
    };
    for (const Case& C : Cases) {
        TPixelBuffer B = FromMap(C.In);
        DrawDisabledImage(B, Face, High, Shadow);
        std::string Got;
        for (int Y = 0; Y < 3; ++Y)
            for (int X = 0; X < 3; ++X)
                Got += B.At(X, Y) == Face ? 'f' : B.At(X, Y) == High ? 'h' : 's';
        EXPECT_EQ(Got, C.Out[0] + C.Out[1] + C.Out[2]) << C.In[0] << C.In[1] << C.In[2];
    }
}

class StateProbe : public TStaticImageListState {
public:
    int Notices = 0;

protected:
    void NotifyChange() override { ++Notices; }
};

TEST(StaticImageList, LookByStateFirstCaseWins)
{
    using L = TImageLook;
    struct Case { const char* Checkable; bool Border, Transparent; int Index; bool Enabled, Checked; L Look; };
    const Case Cases[] = {
        {"X-", false, true, 0, true, false, L::Greyscale},
        {"X-", false, true, 1, true, false, L::Direct},
        {"X-", false, true, 2, true, false, L::Direct},     // beyond the text
        {"X-", false, true, -1, true, false, L::Direct},
        {"X-", false, true, 0, true, true, L::Direct},
        {"X-", true, true, 0, false, false, L::Embossed},   // disabled: never framed
        {"X-", true, true, 0, false, true, L::Embossed},
        {"X-", true, true, 0, true, true, L::Framed},       // checked checkable gets the frame
        {"X-", true, true, 0, true, false, L::Greyscale},
        {"---", false, false, 1, true, false, L::Opaque},
        {"", true, false, 5, true, false, L::Framed},
    };
    for (const Case& C : Cases) {
        StateProbe P;
        P.SetCheckableIcons(C.Checkable);
        P.SetDrawBorder(C.Border);
        P.SetTransparent(C.Transparent);
        EXPECT_EQ(P.LookFor(C.Index, C.Enabled, C.Checked), C.Look)
            << C.Checkable << " " << C.Index << " e" << C.Enabled << " c" << C.Checked;
    }
}

TEST(StaticImageList, ChangeNoticesRespectUpdates)
{
    // Steps: B begin, E end, c/d/t change CheckableIcons/DrawBorder/Transparent,
    // s set the current value again.
    struct Case { const char* Steps; int Notices; int Depth; };
    const Case Cases[] = {
        {"Bcdt E", 1, 0},   // three properties inside an update: one notice
        {"c", 1, 0},
        {"s", 0, 0},        // unchanged value: nothing
        {"BBcEE", 1, 0},    // nested: only the outer end tells
        {"Bc", 0, 1},
        {"Ec", 2, 0},       // an unmatched end does not silence later changes
        {"EEBcE", 3, 0},
    };
    for (const Case& C : Cases) {
        StateProbe P;
        int Flip = 0;
        for (const char* S = C.Steps; *S; ++S) {
            switch (*S) {
            case 'B': P.BeginUpdate(); break;
            case 'E': P.EndUpdate(); break;
            case 'c': P.SetCheckableIcons(std::string(static_cast<std::size_t>(++Flip), 'X')); break;
            case 'd': P.SetDrawBorder(!P.DrawBorder()); break;
            case 't': P.SetTransparent(!P.Transparent()); break;
            case 's': P.SetBorderColor(P.BorderColor()); P.SetTransparent(P.Transparent()); break;
            }
        }
        EXPECT_EQ(P.Notices, C.Notices) << C.Steps;
        EXPECT_EQ(P.UpdateCount(), C.Depth) << C.Steps;
    }
}

TEST(ToolbarGlyphs, EveryImageIsSizedOutlinedAndClearAround)
{
    struct Case { const char* Set; std::vector<TPixelBuffer> Glyphs; std::size_t Count; };
    const Case Cases[] = {{"menu", MainMenuGlyphs(), 7}, {"panel", PanelToolbarGlyphs(), 19}};
    for (const Case& C : Cases) {
        ASSERT_EQ(C.Glyphs.size(), C.Count) << C.Set;
        for (std::size_t I = 0; I < C.Glyphs.size(); ++I) {
            const TPixelBuffer& G = C.Glyphs[I];
            ASSERT_EQ(G.Width, GlyphSize);
            ASSERT_EQ(G.Height, GlyphSize);
            const auto Has = [&](TPixel P) { return std::count(G.Pixels.begin(), G.Pixels.end(), P); };
            // Black outlines give the disabled look something to emboss.
            EXPECT_GT(Has(RgbPixel(0, 0, 0)), 10) << C.Set << " " << I;
            EXPECT_GT(Has(GlyphTransparent), 0) << C.Set << " " << I;
            // The drawn looks take the bottom-left pixel as the clear colour.
            EXPECT_EQ(G.At(0, GlyphSize - 1), GlyphTransparent) << C.Set << " " << I;
            for (std::size_t J = 0; J < I; ++J)
                EXPECT_NE(G.Pixels, C.Glyphs[J].Pixels) << C.Set << " " << I << " = " << J;
        }
    }
}
