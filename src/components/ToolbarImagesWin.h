// The three image lists of the main window and the layout designer, filled
// with our own glyphs (ToolbarGlyphs) and set as stored: the main menu's
// image 0 checkable, nothing checkable on the toolbars, no frame, clRed,
// transparent.
#pragma once

#include "components/StaticImageListWin.h"

TStaticImageList* CreateMainMenuImages(Component* Owner);     // MainMenuImages
TStaticImageList* CreateToolbarImages1(Component* Owner);     // the panel tool buttons
TStaticImageList* CreateDesignerToolbarImages(Component* Owner);  // the designer's ToolbarImages
