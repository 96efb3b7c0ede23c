// Context help: routing help requests to WinHelp or HTML Help by the help
// file's extension, and finding the help context under a screen point.
#pragma once

#include <windows.h>

class Control;

// Form help-event shape; always clears CallHelp.
bool HandleHelpRequest(unsigned short Command, int Data, bool& CallHelp);
int HelpContextAtPoint(Control* C, POINT ScreenPoint);
// Sets Cursor on C and, recursively, on its visible children.
void SetCursorRecursive(Control* C, HCURSOR Cursor);
