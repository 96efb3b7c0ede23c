#include "dialogs/MinSizeEditorWin.h"
#include "dialogs/PropertyEditor.h"
#include "dialogs/PropertyEditorWin.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs Act on the dialog once it is shown and idle has run, then Act's
// own button press ends it.
void WhenShown(TApplication& App, Form& Dialog, const std::function<void()>& Act)
{
    auto* T = new Timer(&App, 30);
    T->OnTimer = [T, &Dialog, Act] {
        if (!::IsWindowVisible(Dialog.Handle()))
            return;
        T->SetEnabled(false);
        Act();
    };
}

void Click(HWND Wnd)
{
    ::SendMessageA(Wnd, BM_CLICK, 0, 0);
}

TEST(PropertyEditorWindow, OpensOnTheLettersAndAnswersTheChoice)
{
    struct Case {
        const char* Letters;
        int ShownItem;
        bool ShownR, OptionsEnabled;
        int ClickItem;   // -1: none
        bool ToggleHard;
        bool Ok;
        const char* Result;
    };
    const Case Cases[] = {
        {"ER", biExternal, true, false, -1, false, true, "ER"},
        {"", biExternal, false, false, -1, false, true, "E"},
        {"BU", biBind, false, true, -1, true, true, "BH"},
        {"BR1", biBind, true, true, biUnsupported, false, true, "UR1"},
        {"U", biUnsupported, false, false, biBind, true, false, "U"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Letters);
        TApplication App;
        auto* F = new TPropertyEditorForm(&App);
        int ShownItem = -2;
        bool ShownR = false, Enabled = false;
        WhenShown(App, *F, [&] {
            ShownItem = F->BindingGroup->ItemIndex();
            ShownR = F->RemoveCaptionCheckBox->Checked();
            Enabled = ::IsWindowEnabled(F->HardResizingCheckBox->Handle()) != 0;
            if (C.ClickItem >= 0)
                Click(F->BindingGroup->ItemHandle(C.ClickItem));
            if (C.ToggleHard)
                Click(F->HardResizingCheckBox->Handle());
            Click((C.Ok ? F->BitBtn1 : F->BitBtn2)->Handle());
        });
        std::string Letters = C.Letters;
        EXPECT_EQ(F->Execute(Letters), C.Ok);
        EXPECT_EQ(Letters, C.Result);
        EXPECT_EQ(ShownItem, C.ShownItem);
        EXPECT_EQ(ShownR, C.ShownR);
        EXPECT_EQ(Enabled, C.OptionsEnabled);
    }
}

TEST(MinSizeEditorWindow, OpensOnTheTextAndAnswersTheSize)
{
    struct Case {
        const char* Before;  // the dialog's previous use, ended with OK
        const char* Text;
        int ShownItem;
        const char* TypeX;   // typed into the X edit; nullptr: nothing
        int ClickItem;
        const char* Result;
    };
    const Case Cases[] = {
        {nullptr, "X=800, Y=600", msSize, nullptr, -1, "X=800, Y=600"},
        {nullptr, "Start", msStart, nullptr, -1, "start"},
        {"start", "X=-1, Y=480", msSize, nullptr, -1, "X=-1, Y=480"},
        {nullptr, "X=5, Y=0", msSize, "0", -1, ""},
        {nullptr, "", msNoMinSize, nullptr, msSize, "X=0, Y=0"},
        {nullptr, "X=99999, Y=7", msSize, nullptr, -1, "X=16384, Y=7"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        TApplication App;
        auto* F = new TMinSizeEditorForm(&App);
        if (C.Before) {
            WhenShown(App, *F, [F] { Click(F->BitBtn1->Handle()); });
            std::string Before = C.Before;
            F->Execute(Before);
        }
        int ShownItem = -2;
        bool XEnabled = false;
        WhenShown(App, *F, [&] {
            ShownItem = F->SizingRadioGroup->ItemIndex();
            XEnabled = ::IsWindowEnabled(F->XSizeEdit->Handle()) != 0;
            if (C.TypeX)
                ::SetWindowTextA(F->XSizeEdit->Handle(), C.TypeX);
            if (C.ClickItem >= 0)
                Click(F->SizingRadioGroup->ItemHandle(C.ClickItem));
            Click(F->BitBtn1->Handle());
        });
        std::string Text = C.Text;
        EXPECT_TRUE(F->Execute(Text));
        EXPECT_EQ(Text, C.Result);
        EXPECT_EQ(ShownItem, C.ShownItem);
        EXPECT_EQ(XEnabled, C.ShownItem == msSize);
    }
}

}  // namespace
