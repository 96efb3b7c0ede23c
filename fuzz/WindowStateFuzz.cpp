// Fuzz entry point for the stored window state and position. The input
// gives each of the five values (present as a number, present as another
// type, or missing), the window's bounds before the reading and up to three
// work areas. Besides memory errors it checks that the state stays one of
// the three, that bounds read back land on a work area (on one, when none
// can hold the least window), and that what was read stores and reads back
// unchanged.
#include "mainwindow/WindowPosition.h"

#include "mainwindow/FakeSettingsStore.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Require(bool Condition)
{
    if (!Condition)
        std::abort();
}

class Bytes {
public:
    Bytes(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}
    std::uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
    int Int()
    {
        std::uint32_t V = 0;
        for (int I = 0; I < 4; ++I)
            V = V << 8 | Byte();
        int Result;
        std::memcpy(&Result, &V, sizeof Result);
        return Result;
    }
    // Mostly small values, where windows really are; sometimes any.
    int Coordinate() { return Byte() & 1 ? Int() : static_cast<std::int16_t>(Int() & 0xFFFF); }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

// As the system's windows, never smaller than the least size.
class Window : public IWindowStateTarget {
public:
    Window(int MinWidth, int MinHeight) : FMinWidth(MinWidth), FMinHeight(MinHeight) {}
    int WindowState() const override { return FState; }
    TWindowRect Bounds() const override { return FBounds; }
    void SetWindowState(int State) override
    {
        Require(State >= wsNormal && State <= wsMaximized);
        FState = State;
    }
    void SetBounds(const TWindowRect& R) override
    {
        FBounds = {R.Left, R.Top, std::max(R.Width, FMinWidth), std::max(R.Height, FMinHeight)};
    }

    int FMinWidth, FMinHeight;
    int FState = wsNormal;
    TWindowRect FBounds;
};

const char* const Names[] = {"State", "LeftPos", "TopPos", "Width", "Height"};
const char* const Key = "Host";

bool Overlap(const TWindowRect& R, const TWindowRect& A)
{
    return 0LL + R.Left < 0LL + A.Left + A.Width && 0LL + A.Left < 0LL + R.Left + R.Width &&
           0LL + R.Top < 0LL + A.Top + A.Height && 0LL + A.Top < 0LL + R.Top + R.Height;
}

bool Inside(const TWindowRect& R, const TWindowRect& A)
{
    return R.Left >= A.Left && R.Top >= A.Top && 0LL + R.Left + R.Width <= 0LL + A.Left + A.Width &&
           0LL + R.Top + R.Height <= 0LL + A.Top + A.Height;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    Bytes In(Data, Size);
    FakeSettingsStore Store;
    Store.Keys[Key];
    for (const char* Name : Names) {
        const std::uint8_t How = In.Byte() % 4;
        if (How == 0)
            continue;
        if (How == 3)
            Store.SetString(Key, Name, "1");
        else
            Store.SetInt(Key, Name, Name == Names[0] ? static_cast<std::int8_t>(In.Byte()) : In.Coordinate());
    }
    const TWindowRect Designed = {In.Coordinate(), In.Coordinate(), In.Coordinate(), In.Coordinate()};
    // Monitors' work areas side by side, never overlapping.
    std::vector<TWindowRect> Areas(In.Byte() % 4);
    int Right = static_cast<std::int16_t>(In.Int() & 0xFFFF);
    for (TWindowRect& A : Areas) {
        A = {Right + In.Byte(), static_cast<std::int16_t>(In.Int() & 0xFFFF), 1 + In.Byte() * 16,
             1 + In.Byte() * 16};
        Right = A.Left + A.Width;
    }
    // The system's smallest window is never empty.
    const int MinWidth = 1 + In.Byte(), MinHeight = 1 + In.Byte();
    Window W(MinWidth, MinHeight);
    W.SetBounds(Designed);

    Require(Store.OpenKeyReadOnly(Key));
    const int Read = LoadWindowPosition(Store, W, "", Areas, MinWidth, MinHeight);
    Require(Read >= 0 && Read <= 5);
    const bool AnyHolds = std::any_of(Areas.begin(), Areas.end(), [&](const TWindowRect& A) {
        return A.Width >= MinWidth && A.Height >= MinHeight;
    });
    if (Read > 1 && !Areas.empty())
        Require(std::any_of(Areas.begin(), Areas.end(), [&](const TWindowRect& A) {
            return AnyHolds ? Inside(W.FBounds, A) : Overlap(W.FBounds, A);
        }));

    // What the window holds now is stored, and reads back as it is.
    FakeSettingsStore Saved;
    Require(Saved.OpenKey(Key, true));
    Require(SaveWindowPosition(Saved, W, ""));
    Window Back(MinWidth, MinHeight);
    Back.SetBounds(Designed);
    Require(Saved.OpenKeyReadOnly(Key));
    Require(LoadWindowPosition(Saved, Back, "", Areas, MinWidth, MinHeight) == 5);
    // Bounds clamped by the first reading, or never clamped, stay.
    Require(Back.FState == W.FState);
    Require((Read < 2 && !Areas.empty()) || Back.FBounds == W.FBounds);
    return 0;
}
