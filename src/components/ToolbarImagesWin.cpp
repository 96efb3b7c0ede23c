#include "components/ToolbarImagesWin.h"

#include "components/ToolbarGlyphs.h"

static TStaticImageList* MakeList(Component* Owner, const std::vector<TPixelBuffer>& Glyphs,
                                  const std::string& CheckableIcons)
{
    auto* List = new TStaticImageList(Owner, GlyphSize, GlyphSize);
    List->BeginUpdate();
    for (const TPixelBuffer& G : Glyphs)
        List->Add(G, GlyphTransparent);
    List->SetCheckableIcons(CheckableIcons);
    List->SetDrawBorder(false);
    List->SetBorderColor(TStaticImageListState::clRed);
    List->SetTransparent(true);
    List->EndUpdate();
    return List;
}

TStaticImageList* CreateMainMenuImages(Component* Owner)
{
    auto* List = MakeList(Owner, MainMenuGlyphs(), "X-");
    List->Name = "MainMenuImages";
    return List;
}

TStaticImageList* CreateToolbarImages1(Component* Owner)
{
    auto* List = MakeList(Owner, PanelToolbarGlyphs(), "---");
    List->Name = "ToolbarImages1";
    return List;
}

TStaticImageList* CreateDesignerToolbarImages(Component* Owner)
{
    auto* List = MakeList(Owner, PanelToolbarGlyphs(), "---");
    List->Name = "ToolbarImages";
    return List;
}

void DrawGlyphInk(HDC Dc, int X, int Y, const TPixelBuffer& Glyph, COLORREF Ink)
{
    for (int Row = 0; Row < Glyph.Height; ++Row)
        for (int Col = 0; Col < Glyph.Width; ++Col)
            if (Glyph.At(Col, Row) != GlyphTransparent)
                ::SetPixelV(Dc, X + Col, Y + Row, Ink);
}
