// The MinSize cell of a known application ("", "start" or "X=%d, Y=%d") and
// the minimum-size editor's rules over its three controls, which the dialog
// reaches through IMinSizeView. Portable; TMinSizeEditorForm shows them.
#pragma once

#include <string>

// Items of the sizing radio group; -1 when none is selected.
enum : int { msNoMinSize = 0, msStart = 1, msSize = 2 };

constexpr int MinSizeEditMin = -1;
constexpr int MinSizeEditMax = 16384;

// The whole numbers after the '=' of the first and second ',' fields; 0
// for a part that is missing or no number. The names before '=' are not read.
void ParseMinSize(const std::string& Text, int& X, int& Y);
std::string FormatMinSize(int X, int Y);

// The dialog's controls. Setting an edit's value runs the dialog's change
// handling as a user's change would.
class IMinSizeView {
public:
    virtual ~IMinSizeView() = default;
    virtual int SizingItem() const = 0;
    virtual void SetSizingItem(int Item) = 0;
    virtual int XSize() const = 0;
    virtual void SetXSize(int Value) = 0;
    virtual int YSize() const = 0;
    virtual void SetYSize(int Value) = 0;
    virtual void SetSizeEditsEnabled(bool Enabled) = 0;
};

class TMinSizeEditorRules {
public:
    explicit TMinSizeEditorRules(IMinSizeView& View) : FView(View) {}

    // Puts Text into the controls. The edits' change handling is held off
    // meanwhile: the new X against the Y of an earlier use could otherwise
    // switch the choice (X=-1 beside an old Y of -1 reads as "start").
    void Load(const std::string& Text);
    // The X edit changed: 0,0 selects no minimum size and -1,-1 "start".
    void SizeEditChange();
    // Enables the edits for item 2; items 0 and 1 set both to 0 or -1.
    void Idle();
    // The text the dialog answers on OK; no item selected keeps Text.
    void Store(std::string& Text) const;

private:
    IMinSizeView& FView;
    bool FLoading = false;
};
