// The three image lists of the main window and the layout designer, filled
// with our own glyphs (ToolbarGlyphs) and set as stored: the main menu's
// image 0 checkable, nothing checkable on the toolbars, no frame, clRed,
// transparent.
#pragma once

#include "components/StaticImageListWin.h"

TStaticImageList* CreateMainMenuImages(Component* Owner);     // MainMenuImages
TStaticImageList* CreateToolbarImages1(Component* Owner);     // the panel tool buttons
TStaticImageList* CreateDesignerToolbarImages(Component* Owner);  // the designer's ToolbarImages

// Draws the pixels of Glyph that are not GlyphTransparent in Ink, with the
// glyph's corner at (X, Y): a symbol in the text colour of its state.
void DrawGlyphInk(HDC Dc, int X, int Y, const TPixelBuffer& Glyph, COLORREF Ink);
