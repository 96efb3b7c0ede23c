// The percentage a progress run shows in the titles. Portable.
#pragma once

#include <string>

// Position * 100 / Max in signed 32-bit integer arithmetic (truncated, not
// limited to 100); a Max of 0 counts as 1.
int ProgressPercent(int Position, int Max);
// Title followed by " (n %)".
std::string ProgressTitle(const std::string& Title, int Position, int Max);
