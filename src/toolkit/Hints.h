// Hints: a tooltip per top-level window that shows a control's hint text
// while the mouse rests on it.
#pragma once

#include <string>

class Control;

// Gives C the hint Text (an empty text removes it).
void SetHint(Control* C, const std::string& Text);
