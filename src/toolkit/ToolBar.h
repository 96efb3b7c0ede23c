// ToolBar: a row of buttons over the common toolbar control. A button shows
// an Action (caption, hint, image, help context and state follow it) or its
// own settings; a drop-down button hands its screen rectangle to
// OnDropDown, where the owner shows its menu. Images come from an ImageList,
// drawn by the system or, for lists that draw themselves, through DrawState.
#pragma once

#include "toolkit/ActionList.h"
#include "toolkit/Control.h"
#include "toolkit/Hints.h"
#include "toolkit/ToolbarHitTest.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ImageList;
class ToolBar;

enum class TToolButtonStyle { Button, Check, Separator, DropDown, WholeDropDown };

// Without an action the button runs on its own settings (the ActionArgs
// part) and OnClick; a check button then flips itself.
struct ToolButtonArgs : ActionArgs {
    // When set, the button shows the action and runs it.
    Action* Action = nullptr;
    TToolButtonStyle Style = TToolButtonStyle::Button;
    int SeparatorWidth = 8;
};

class ToolButton {
public:
    ToolButton(ToolBar& Bar, int Id, const ToolButtonArgs& Args);
    ~ToolButton();
    ToolButton(const ToolButton&) = delete;
    ToolButton& operator=(const ToolButton&) = delete;

    ToolBar& Bar() const { return FBar; }
    // The action given, or the button's own.
    class Action& GetAction() const { return *FAction; }
    int Id() const { return FId; }
    TToolButtonStyle Style() const { return FStyle; }

    std::string Caption() const { return FAction->Caption(); }
    std::string Hint() const { return FAction->Hint(); }
    int ImageIndex() const { return FAction->ImageIndex(); }
    int HelpContext() const { return FAction->HelpContext(); }
    bool Enabled() const { return FAction->Enabled(); }
    void SetEnabled(bool Value) { FAction->SetEnabled(Value); }
    bool Checked() const { return FAction->Checked(); }
    void SetChecked(bool Value) { FAction->SetChecked(Value); }
    bool Visible() const { return FAction->Visible(); }
    void SetVisible(bool Value) { FAction->SetVisible(Value); }

    // Rectangle in the toolbar's client coordinates.
    RECT ItemRect() const;
    // Runs the action (OnClick for the button's own).
    void Click();

    std::function<void(ToolButton& Sender)> OnClick;
    // The arrow (or, for WholeDropDown, the whole button) was pressed.
    std::function<void(ToolButton& Sender, const RECT& ScreenRect)> OnDropDown;

private:
    friend class ToolBar;
    void Attach(class Action* A);
    void Detach();
    void MakeOwnAction(const ActionArgs& Args);

    ToolBar& FBar;
    int FId;
    TToolButtonStyle FStyle;
    class Action* FAction = nullptr;
    std::unique_ptr<class Action> FOwnAction;
    int FActionClient = 0;
};

struct ToolBarArgs {
    Control* Parent = nullptr;
    TAlign Align = TAlign::Top;
    int Left = 0, Top = 0, Width = 200, Height = 26;
    ImageList* Images = nullptr;
    bool ShowCaptions = false;
    // Captions right of the images instead of below.
    bool List = false;
    bool ShowHints = true;
    bool Wrapable = false;
    // 0: the control's own size.
    int ButtonWidth = 0;
    int ButtonHeight = 0;
};

class ToolBar : public Control, public ToolbarHitTest {
public:
    ToolBar(Component* Owner, const ToolBarArgs& Args);
    ~ToolBar() override;

    ToolButton* AddButton(const ToolButtonArgs& Args);
    ToolButton* AddSeparator(int Width = 8);
    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    // By position, separators included.
    ToolButton* Button(int Index) const;
    ToolButton* FindButton(int Id) const;
    int IndexOf(const ToolButton* B) const;

    ImageList* Images() const { return FImages; }
    void SetImages(ImageList* Images);
    bool ShowCaptions() const { return FShowCaptions; }

    // Height of the bar for its buttons; aligned bars take it themselves.
    int ContentHeight() const;
    // Lays the buttons out again for the current font and images.
    void Relayout();

    bool ItemAtPoint(POINT P, ToolbarItemInfo& Info) const override;
    // The buttons' hints; none without ShowHints.
    THoverHint* Hint() const { return FHint.get(); }

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    void CommandIdNotify(WORD Id, WORD Code) override;
    LRESULT NotifyReflect(NMHDR* Header, bool& Handled) override;

private:
    friend class ToolButton;
    void SyncButton(const ToolButton& B);
    void ApplyImages();
    void ApplyButtonSize();
    LRESULT CustomDraw(NMTBCUSTOMDRAW* Draw);
    // The button under P (client coordinates); none over a separator.
    const ToolButton* ButtonAt(POINT P) const;

    std::vector<std::unique_ptr<ToolButton>> FButtons;
    ImageList* FImages = nullptr;
    int FImagesClient = 0;
    HIMAGELIST FBlankImages = nullptr;  // keeps room for images drawn by DrawState
    bool FShowCaptions;
    bool FList;
    int FButtonWidth;
    int FButtonHeight;
    int FNextId = 1;
    std::unique_ptr<THoverHint> FHint;
};
