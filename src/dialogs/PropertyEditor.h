// The Properties cell of a known application: letters for the method (B, E,
// U) and the bind options (R, 1, H), and how they map to the property
// editor's choices. Portable; TPropertyEditorForm shows them.
#pragma once

#include <string>

// Items of the binding radio group.
enum : int { biBind = 0, biExternal = 1, biUnsupported = 2 };

struct TPropertyChoice {
    int BindingItem = biBind;
    bool RemoveCaption = false;
    bool OneInstance = false;
    bool HardResizing = false;
};

// B wins over U; a text with neither (also empty) is external.
TPropertyChoice PropertyChoiceOf(const std::string& Letters);
// Method letter (E for any item but bind and unsupported), then R, 1, H.
std::string PropertyLettersOf(const TPropertyChoice& Choice);
// The option boxes only mean something for a bound application.
inline bool PropertyOptionsEnabled(int BindingItem) { return BindingItem == biBind; }
