// Small classes over the standard controls: static text, check box, radio
// button, push button. Each takes a create-arguments struct.
#pragma once

#include "toolkit/Control.h"

#include <functional>
#include <string>

enum class TAlignment { Left, Center, Right };

struct LabelArgs {
    Control* Parent = nullptr;
    std::string Caption;
    int Left = 0, Top = 0, Width = 100, Height = 17;
    TAlign Align = TAlign::None;
    TAlignment Alignment = TAlignment::Left;
    bool WordWrap = false;
};

class Label : public Control {
public:
    Label(Component* Owner, const LabelArgs& Args);
    bool WordWrap() const { return FWordWrap; }
    // Height of the text as drawn at the label's current width.
    int TextHeight() const;

private:
    bool FWordWrap;
};

struct CheckBoxArgs {
    Control* Parent = nullptr;
    std::string Caption;
    int Left = 0, Top = 0, Width = 150, Height = 17;
    TAlign Align = TAlign::None;
};

class CheckBox : public Control {
public:
    CheckBox(Component* Owner, const CheckBoxArgs& Args);
    bool Checked() const;
    void SetChecked(bool Checked);

protected:
    CheckBox(Component* Owner, const CheckBoxArgs& Args, DWORD ButtonStyle);
};

// Radio buttons created one after another form one group.
class RadioButton : public CheckBox {
public:
    RadioButton(Component* Owner, const CheckBoxArgs& Args);
};

struct ButtonArgs {
    Control* Parent = nullptr;
    std::string Caption;
    int Left = 0, Top = 0, Width = 75, Height = 25;
    int ModalResult = 0;  // given to the owning form when clicked
    bool Default = false; // Enter presses it
    bool Cancel = false;  // Escape presses it
};

class Button : public Control {
public:
    Button(Component* Owner, const ButtonArgs& Args);
    void Click();
    bool IsDefault() const { return FDefault; }
    bool IsCancel() const { return FCancel; }
    int ModalResult;
    std::function<void()> OnClick;

protected:
    void CommandNotify(WORD Code) override;

private:
    bool FDefault;
    bool FCancel;
};
