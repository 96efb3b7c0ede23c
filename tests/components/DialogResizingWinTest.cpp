#include "components/DialogResizingWin.h"

#include "hosting/confirmation.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/StdControls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

TEST(DialogResizingWin, LabelIsRewrappedOnTheFirstActivationOnly)
{
    TApplication App;
    FormArgs A;
    A.Caption = "resizing";
    Form F(&App, A);
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

TEST(DialogResizingWin, QuestionDialogStacksItsControls)
{
    TApplication App;
    auto* D = new TConfirmationForm(&App);
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
