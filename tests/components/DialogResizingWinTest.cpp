#include "components/DialogResizingWin.h"

#include "hosting/confirmation.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/StdControls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

class DialogResizingWin : public ::testing::Test {
protected:
    TApplication App;
    Form F{&App, FormArgs()};
};

TEST_F(DialogResizingWin, LabelIsRewrappedOnTheFirstActivationOnly)
{
    LabelArgs La;
    La.Parent = &F;
    La.Width = 90;
    La.WordWrap = true;
    auto* L = new Label(&F, La);
    auto* R = new TDialogResizingWin(&F);
    F.OnActivate = [R] { R->ActivateScaling(); };
    R->AddItem(L);
    const int Initial = L->Height();

    struct Step {
        const char* Text;
        std::function<void()> Before;
        bool Fitted;
    } Steps[] = {
        {"a question long enough to need several lines here", [] {}, true},
        {"short", [] {}, false},
        {"short", [R] { R->Model().SetIconScaling(ics_small); }, true},  // armed again
        {"a question long enough to need several lines here", [] {}, false},
    };
    int Before = Initial;
    for (const Step& S : Steps) {
        L->SetText(S.Text);
        S.Before();
        ::SendMessageA(F.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(S.Fitted ? L->TextHeight() : Before, L->Height()) << S.Text;
        Before = L->Height();
    }
    EXPECT_GT(L->TextHeight(), Initial);
    EXPECT_EQ(ics_small, R->Model().IconScaling());
}

TEST_F(DialogResizingWin, LargeScalingResizesTheFormAndCentresIt)
{
    CheckBoxArgs Ca;
    Ca.Parent = &F;
    Ca.Caption = "Remember";
    auto* Box = new CheckBox(&F, Ca);
    TDialogResizingWin* R = AttachDialogResizer(&F, {{Box}});
    R->Model().SetForceDirection(true);
    R->Model().SetGroupDirection(gd_vertical);
    R->ActivateScaling();
    R->Model().SetIconScaling(ics_large);

    LOGFONTA Lf = {};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(F.Handle(), WM_GETFONT, 0, 0)), sizeof Lf,
                 &Lf);
    EXPECT_EQ(-24, Lf.lfHeight);
    EXPECT_EQ(40, Box->Height());  // the large icon, 32, and 8
    const RECT Client = F.ClientRect();
    EXPECT_EQ(Box->Width(), Client.right);
    EXPECT_EQ(Box->Height(), Client.bottom);
    const RECT B = F.BoundsRect();
    EXPECT_EQ((::GetSystemMetrics(SM_CXSCREEN) - (B.right - B.left)) / 2, B.left);
    EXPECT_EQ((::GetSystemMetrics(SM_CYSCREEN) - (B.bottom - B.top)) / 2, B.top);
}

TEST_F(DialogResizingWin, QuestionDialogStacksItsControls)
{
    auto* D = new TConfirmationForm(&App);
    D->EnsureHandle();
    TDialogResizing& M = D->DialogResizer->Model();
    ASSERT_EQ(3, M.Group().Count());
    EXPECT_EQ(gd_vertical, M.GroupDirection());
    struct Member {
        const char* Class;
        bool IgnoreWidth;
    } Members[] = {{"TLabel", false}, {"TCheckBox", false}, {"TPanel", true}};
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Members[I].Class, M.Group().Items(I)->AssignedControl()->ClassName());
        EXPECT_EQ(Members[I].IgnoreWidth, M.Group().Items(I)->IgnoreWidth());
    }
    const RECT Before = D->BoundsRect();
    ::SendMessageA(D->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    const RECT After = D->BoundsRect();
    EXPECT_EQ(Before.right - Before.left, After.right - After.left);  // small stays small
    EXPECT_TRUE(M.Activated());
}

}  // namespace
