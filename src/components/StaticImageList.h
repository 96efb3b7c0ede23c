// The toolbar image list's settings and its choice of look; the Win32 half
// (StaticImageListWin) holds the images and draws. Portable.
#pragma once

#include <cstdint>
#include <string>

// How DrawState paints one image, first case that applies.
enum class TImageLook {
    Embossed,   // disabled item
    Greyscale,  // checkable image of an unchecked item
    Framed,     // DrawBorder: work bitmap, then a frame in BorderColor
    Opaque,     // not Transparent: through the work bitmap
    Direct,     // straight from the list
};

// One character per image from index 0: '-' = not checkable.
bool IsCheckableIcon(const std::string& CheckableIcons, int Index);

class TStaticImageListState {
public:
    using TColor = std::int32_t;
    static constexpr TColor clRed = 255;

    virtual ~TStaticImageListState() = default;

    const std::string& CheckableIcons() const { return FCheckableIcons; }
    void SetCheckableIcons(const std::string& Value);
    bool DrawBorder() const { return FDrawBorder; }
    void SetDrawBorder(bool Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    int UpdateCount() const { return FUpdateCount; }
    void BeginUpdate();
    // An unmatched call does not go below 0: it must not hold back the
    // notifications of later changes.
    void EndUpdate();
    // Passes the change on (NotifyChange) only outside an update.
    void Change();

    TImageLook LookFor(int Index, bool Enabled, bool Checked) const;

protected:
    // The list's users redraw.
    virtual void NotifyChange() = 0;

private:
    std::string FCheckableIcons;
    int FUpdateCount = 0;
    bool FDrawBorder = false;
    TColor FBorderColor = clRed;
    bool FTransparent = true;
};
