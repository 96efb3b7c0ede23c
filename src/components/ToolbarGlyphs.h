// The images of the main window's menu and toolbars and of the layout
// designer's toolbar, drawn as 16 x 16 character maps. Portable.
#pragma once

#include "components/ImagePixels.h"

#include <string>
#include <vector>

constexpr int GlyphSize = 16;
// The colour that stands for "no pixel": masked out when the image is added.
constexpr TPixel GlyphTransparent = RgbPixel(255, 0, 255);

// Main menu and main toolbar, by image index: 0 the host, 1 layouts,
// 2 applications, 3 edit, 4 view, 5 help, 6 update.
std::vector<TPixelBuffer> MainMenuGlyphs();
// Panel toolbar and layout designer, by image index: 0-3 the layout tree's
// node kinds (layout, applied layout, panel, application panel), 4 delete,
// 5/6 rotate anti-clockwise/clockwise, 7 centred, 8 custom, 9 percentage,
// 10 apply layout, 11 new layout, 12 add child, 13 add neighbour,
// 14-17 move up/down/left/right, 18 reload.
std::vector<TPixelBuffer> PanelToolbarGlyphs();

// The symbols of the small close and unbind buttons on a host panel, a
// cross and two windows, in black on GlyphTransparent; drawn as pixels so
// that they need no symbol font.
TPixelBuffer MiniCloseGlyph();
TPixelBuffer MiniUnbindGlyph();

// A character map: one string per row, one character per pixel ('.' is
// GlyphTransparent; unknown characters too).
TPixelBuffer GlyphFromMap(const std::vector<std::string>& Rows);
TPixelBuffer RotateGlyphRight(const TPixelBuffer& G);
TPixelBuffer MirrorGlyph(const TPixelBuffer& G);
