#include "dialogs/progresses.h"

#include <cstdint>

int ProgressPercent(int Position, int Max)
{
    if (Max == 0)
        Max = 1;
    // The product wraps as 32-bit arithmetic would, without undefined behaviour.
    const auto Product = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::int64_t>(Position) * 100));
    return static_cast<int>(static_cast<std::int64_t>(Product) / Max);
}

std::string ProgressTitle(const std::string& Title, int Position, int Max)
{
    return Title + " (" + std::to_string(ProgressPercent(Position, Max)) + " %)";
}
