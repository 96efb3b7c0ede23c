// The known-applications window's images: the letter icons of the Found and
// Properties columns (by icon index: 0 F, 1 U found, 2 B, 3 unused, 4 R,
// 5 U, 6 H, 7 1, 8 E) and the edit toolbar's (0 add line, 1 remove line,
// 2 unused, 3 export, 4 restore). Portable.
#pragma once

#include "components/ToolbarGlyphs.h"

#include <vector>

std::vector<TPixelBuffer> FlagGlyphs();
std::vector<TPixelBuffer> EditToolbarGlyphs();
