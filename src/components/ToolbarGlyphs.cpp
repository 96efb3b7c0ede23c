#include "components/ToolbarGlyphs.h"

namespace {

using Map = std::vector<std::string>;

TPixel PaletteColour(char C)
{
    switch (C) {
    case 'k': return RgbPixel(0, 0, 0);
    case 'w': return RgbPixel(255, 255, 255);
    case 'r': return RgbPixel(208, 32, 32);
    case 'g': return RgbPixel(32, 160, 48);
    case 'b': return RgbPixel(40, 90, 200);
    case 'n': return RgbPixel(16, 32, 120);
    case 'c': return RgbPixel(120, 200, 240);
    case 'y': return RgbPixel(250, 210, 40);
    case 'o': return RgbPixel(240, 140, 20);
    case 's': return RgbPixel(192, 192, 192);
    case 'd': return RgbPixel(110, 110, 110);
    default: return GlyphTransparent;
    }
}

// The layout tree's node: a window split into three panels.
const Map LayoutMap = {
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kBBBBBBBBBBBBk.",
    ".kkkkkkkkkkkkkk.",
    ".kwwwwkwwwwwwwk.",
    ".kwwwwkwwwwwwwk.",
    ".kwwwwkwwwwwwwk.",
    ".kwwwwkwwwwwwwk.",
    ".kwwwwkkkkkkkkk.",
    ".kwwwwkwwwwwwwk.",
    ".kwwwwkwwwwwwwk.",
    ".kwwwwkwwwwwwwk.",
    ".kwwwwkwwwwwwwk.",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
};

const Map PanelMap = {
    "................",
    "................",
    ".kkkkkkkkkkkkkk.",
    ".ksssssssssssdk.",
    ".kswwwwwwwwwwdk.",
    ".kswwwwwwwwwwdk.",
    ".kswwwwwwwwwwdk.",
    ".kswwwwwwwwwwdk.",
    ".kswwwwwwwwwwdk.",
    ".kswwwwwwwwwwdk.",
    ".kswwwwwwwwwwdk.",
    ".kswwwwwwwwwwdk.",
    ".kddddddddddddk.",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
};

const Map AppMap = {
    "................",
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbbbbbbbbbbbbk.",
    ".kkkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwk.",
    ".kwwkkkkkkkkwwk.",
    ".kwwkrrrrrrkwwk.",
    ".kwwkyyyyyykwwk.",
    ".kwwkggggggkwwk.",
    ".kwwkcccccckwwk.",
    ".kwwkkkkkkkkwwk.",
    ".kwwwwwwwwwwwwk.",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
};

const Map DeleteMap = {
    "................",
    ".kk.........kk..",
    "krrk.......krrk.",
    "krrrk.....krrrk.",
    ".krrrk...krrrk..",
    "..krrrk.krrrk...",
    "...krrrkrrrk....",
    "....krrrrrk.....",
    "....krrrrrk.....",
    "...krrrkrrrk....",
    "..krrrk.krrrk...",
    ".krrrk...krrrk..",
    "krrrk.....krrrk.",
    "krrk.......krrk.",
    ".kk.........kk..",
    "................",
};

// Anti-clockwise: the arrow head at the top left points left.
const Map RotateMap = {
    "................",
    "....k...........",
    "...kbk..........",
    "..kbbkkkkkkk....",
    ".kbbbbbbbbbbkk..",
    "..kbbkkkkkkbbbk.",
    "...kbk.....kbbk.",
    "....k.......kbbk",
    ".............kbk",
    ".............kbk",
    ".............kbk",
    "............kbbk",
    "...kkkkkkkkkbbk.",
    "...kbbbbbbbbbk..",
    "...kkkkkkkkkk...",
    "................",
};

// The bottom-left pixel names the clear colour of a drawn look (see
// StaticImageListWin), so the frames stop one row short.
const Map CenteredMap = {
    "kkkkkkkkkkkkkkkk",
    "k..............k",
    "k..............k",
    "k...kkkkkkkk...k",
    "k...kggggggk...k",
    "k...kggggggk...k",
    "k...kggggggk...k",
    "k...kggggggk...k",
    "k...kggggggk...k",
    "k...kggggggk...k",
    "k...kggggggk...k",
    "k...kkkkkkkk...k",
    "k..............k",
    "k..............k",
    "kkkkkkkkkkkkkkkk",
    "................",
};

const Map CustomMap = {
    "kkkkkkkkkkkkkkkk",
    "k..............k",
    "k.kkkkkkk......k",
    "k.kooooook.....k",
    "k.kooooook.....k",
    "k.kooooook.....k",
    "k.kkkkkkkk.....k",
    "k..............k",
    "k........k.....k",
    "k........kk....k",
    "k........kwk...k",
    "k........kwwk..k",
    "k........kwkk..k",
    "k.........k....k",
    "kkkkkkkkkkkkkkkk",
    "................",
};

const Map PercentMap = {
    "................",
    ".kkk.......kk...",
    "kbbbk.....kbk...",
    "kbkbk....kbk....",
    "kbbbk...kbk.....",
    ".kkk...kbk......",
    ".......kbk......",
    "......kbk.......",
    ".....kbk........",
    "....kbk...kkk...",
    "....kbk..kbbbk..",
    "...kbk...kbkbk..",
    "..kbk....kbbbk..",
    "..kk......kkk...",
    "................",
    "................",
};

const Map ApplyMap = {
    "................",
    "................",
    "............kk..",
    "...........kggk.",
    "..........kgggk.",
    ".........kgggk..",
    "..kk....kgggk...",
    ".kggk..kgggk....",
    ".kgggkkgggk.....",
    "..kgggggggk.....",
    "...kgggggk......",
    "....kgggk.......",
    ".....kgk........",
    "......k.........",
    "................",
    "................",
};

const Map NewMap = {
    "................",
    "......kkkk......",
    "......kyyk......",
    "......kyyk......",
    "......kyyk......",
    "......kyyk......",
    ".kkkkkkyykkkkkk.",
    ".kyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyk.",
    ".kkkkkkyykkkkkk.",
    "......kyyk......",
    "......kyyk......",
    "......kyyk......",
    "......kyyk......",
    "......kkkk......",
    "................",
};

const Map AddChildMap = {
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwkkkwwwwwwk",
    "kwwwwwkgkwwwwwwk",
    "kwwwwwkgkwwwwwwk",
    "kwwkkkkgkkkkwwwk",
    "kwwkgggggggkwwwk",
    "kwwkkkkgkkkkwwwk",
    "kwwwwwkgkwwwwwwk",
    "kwwwwwkgkwwwwwwk",
    "kwwwwwkkkwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk",
    "................",
};

const Map AddNeighbourMap = {
    "................",
    "kkkkkkk.........",
    "kwwwwwk.........",
    "kwwwwwk....kkk..",
    "kwwwwwk....kgk..",
    "kwwwwwk....kgk..",
    "kwwwwwk.kkkkgkkk",
    "kwwwwwk.kggggggk",
    "kwwwwwk.kkkkgkkk",
    "kwwwwwk....kgk..",
    "kwwwwwk....kgk..",
    "kwwwwwk....kkk..",
    "kwwwwwk.........",
    "kkkkkkk.........",
    "................",
    "................",
};

const Map ArrowUpMap = {
    "................",
    ".......kk.......",
    "......kbbk......",
    ".....kbbbbk.....",
    "....kbbbbbbk....",
    "...kbbbbbbbbk...",
    "..kkkkbbbbkkkk..",
    ".....kbbbbk.....",
    ".....kbbbbk.....",
    ".....kbbbbk.....",
    ".....kbbbbk.....",
    ".....kbbbbk.....",
    ".....kbbbbk.....",
    ".....kkkkkk.....",
    "................",
    "................",
};

const Map ReloadMap = {
    "................",
    ".....kkkkk..k...",
    "...kkgggggkkgk..",
    "..kggkkkkkggggk.",
    ".kgk.....kgggggk",
    ".kgk......kkkkkk",
    "kgk.............",
    "kgk.............",
    ".............kgk",
    ".............kgk",
    "kkkkkk......kgk.",
    "kgggggk.....kgk.",
    ".kggggkkkkkggk..",
    "..kgkkgggggkk...",
    "...k..kkkkk.....",
    "................",
};

const Map HostMap = {
    "................",
    "kkkkkkkkkkkkkkk.",
    "knnnnnnnnnnnnnk.",
    "kkkkkkkkkkkkkkk.",
    "kcccccccccccccck",
    "kcckkkkkkkkkcck.",
    "kcckwwwwwwwkcck.",
    "kcckwwwwwwwkcck.",
    "kcckwwwwwwwkcck.",
    "kcckwwwwwwwkcck.",
    "kcckkkkkkkkkcck.",
    "kcccccccccccccck",
    "kkkkkkkkkkkkkkk.",
    "................",
    "................",
    "................",
};

const Map AppsMap = {
    "................",
    "kkkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwk.",
    "kwkkwkkkkkkkwwk.",
    "kwkrkwwwwwwwwwk.",
    "kwkkwkkkkkkkkwk.",
    "kwwwwwwwwwwwwwk.",
    "kwkkwkkkkkkwwwk.",
    "kwkgkwwwwwwwwwk.",
    "kwkkwkkkkkkkkwk.",
    "kwwwwwwwwwwwwwk.",
    "kwkkwkkkkkkkwwk.",
    "kwkbkwwwwwwwwwk.",
    "kwkkwkkkkkkwwwk.",
    "kkkkkkkkkkkkkkk.",
    "................",
};

const Map EditMap = {
    "................",
    "...........kk...",
    "..........kook..",
    ".........kooook.",
    "........kyyook..",
    ".......kyyyyk...",
    "......kyyyyk....",
    ".....kyyyyk.....",
    "....kyyyyk......",
    "...kyyyyk.......",
    "..kwyyyk........",
    "..kwwyk.........",
    ".kkwwk..........",
    ".kkkk...........",
    "................",
    "................",
};

const Map ViewMap = {
    "................",
    "....kkkkk.......",
    "..kkcccccckk....",
    ".kcccwwwcccck...",
    ".kccwwccccccck..",
    "kcccwcccccccck..",
    "kcccccccccccck..",
    "kcccccccccccck..",
    ".kcccccccccck...",
    ".kkcccccccckk...",
    "..kkkcccckkkk...",
    "....kkkkk.kkdk..",
    "...........kddk.",
    "............kddk",
    ".............kk.",
    "................",
};

const Map HelpMap = {
    "................",
    ".....kkkkkk.....",
    "...kkbbbbbbkk...",
    "..kbbbwwwwbbbk..",
    ".kbbbwwkkwwbbbk.",
    ".kbbbkkbkwwbbbk.",
    "kbbbbbbbkwwbbbbk",
    "kbbbbbbkwwbbbbbk",
    "kbbbbbkwwbbbbbbk",
    "kbbbbbkwwbbbbbbk",
    ".kbbbbbkkbbbbbk.",
    ".kbbbbkwwkbbbbk.",
    "..kbbbkwwkbbbk..",
    "...kkbbkkbbkk...",
    ".....kkkkkk.....",
    "................",
};

const Map UpdateMap = {
    "................",
    "......kkkk......",
    "......kggk......",
    "......kggk......",
    "......kggk......",
    "...kkkkggkkkk...",
    "....kggggggk....",
    ".....kggggk.....",
    "......kggk......",
    ".......kk.......",
    "kkkk........kkkk",
    "kssk........kssk",
    "ksskkkkkkkkkkssk",
    "ksssssssssssdsdk",
    "kkkkkkkkkkkkkkkk",
    "................",
};

const Map MiniCloseMap = {
    "................",
    "................",
    "................",
    "................",
    "....kk....kk....",
    ".....kk..kk.....",
    "......kkkk......",
    ".......kk.......",
    "......kkkk......",
    ".....kk..kk.....",
    "....kk....kk....",
    "................",
    "................",
    "................",
    "................",
    "................",
};

// Two windows, the front one let go of the back one.
const Map MiniUnbindMap = {
    "................",
    "................",
    "................",
    ".....kkkkkkk....",
    ".....kkkkkkk....",
    ".....k.....k....",
    "...kkkkkkk.k....",
    "...kkkkkkk.k....",
    "...k.....kkk....",
    "...k.....k......",
    "...k.....k......",
    "...kkkkkkk......",
    "................",
    "................",
    "................",
    "................",
};

// A layout: the window with a blue title bar; the applied one's is green.
TPixelBuffer LayoutGlyph(char TitleColour)
{
    TPixelBuffer G = GlyphFromMap(LayoutMap);
    for (int X = 2; X < GlyphSize - 2; ++X)
        G.At(X, 2) = PaletteColour(TitleColour);
    return G;
}

} // namespace

TPixelBuffer GlyphFromMap(const std::vector<std::string>& Rows)
{
    TPixelBuffer G(GlyphSize, GlyphSize, GlyphTransparent);
    for (int Y = 0; Y < GlyphSize && Y < static_cast<int>(Rows.size()); ++Y) {
        const std::string& Row = Rows[static_cast<std::size_t>(Y)];
        for (int X = 0; X < GlyphSize && X < static_cast<int>(Row.size()); ++X)
            G.At(X, Y) = PaletteColour(Row[static_cast<std::size_t>(X)]);
    }
    return G;
}

TPixelBuffer RotateGlyphRight(const TPixelBuffer& G)
{
    TPixelBuffer R(G.Height, G.Width);
    for (int Y = 0; Y < G.Height; ++Y)
        for (int X = 0; X < G.Width; ++X)
            R.At(G.Height - 1 - Y, X) = G.At(X, Y);
    return R;
}

TPixelBuffer MirrorGlyph(const TPixelBuffer& G)
{
    TPixelBuffer R(G.Width, G.Height);
    for (int Y = 0; Y < G.Height; ++Y)
        for (int X = 0; X < G.Width; ++X)
            R.At(G.Width - 1 - X, Y) = G.At(X, Y);
    return R;
}

std::vector<TPixelBuffer> MainMenuGlyphs()
{
    return {GlyphFromMap(HostMap), LayoutGlyph('b'),
            GlyphFromMap(AppsMap), GlyphFromMap(EditMap),
            GlyphFromMap(ViewMap), GlyphFromMap(HelpMap),
            GlyphFromMap(UpdateMap)};
}

std::vector<TPixelBuffer> PanelToolbarGlyphs()
{
    const TPixelBuffer Up = GlyphFromMap(ArrowUpMap);
    const TPixelBuffer Right = RotateGlyphRight(Up);
    const TPixelBuffer Down = RotateGlyphRight(Right);
    const TPixelBuffer Left = RotateGlyphRight(Down);
    const TPixelBuffer AntiClockwise = GlyphFromMap(RotateMap);
    return {LayoutGlyph('b'),
            LayoutGlyph('g'),
            GlyphFromMap(PanelMap),
            GlyphFromMap(AppMap),
            GlyphFromMap(DeleteMap),
            AntiClockwise,
            MirrorGlyph(AntiClockwise),
            GlyphFromMap(CenteredMap),
            GlyphFromMap(CustomMap),
            GlyphFromMap(PercentMap),
            GlyphFromMap(ApplyMap),
            GlyphFromMap(NewMap),
            GlyphFromMap(AddChildMap),
            GlyphFromMap(AddNeighbourMap),
            Up,
            Down,
            Left,
            Right,
            GlyphFromMap(ReloadMap)};
}

TPixelBuffer MiniCloseGlyph()
{
    return GlyphFromMap(MiniCloseMap);
}

TPixelBuffer MiniUnbindGlyph()
{
    return GlyphFromMap(MiniUnbindMap);
}
