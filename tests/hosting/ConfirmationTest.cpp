#include "hosting/confirmation.h"

#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

enum class Act { Yes, No, Ok, Cancel, CloseBox, Escape, Enter };

class ConfirmationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App.SetTitle("confirmation test");
        Dialog = new TConfirmationForm(&App);
    }

    // Answers the dialog from a timer once it is on screen.
    std::uint8_t Ask(std::uint8_t Kind, Act Action, bool Tick, std::uint8_t& Remembered,
                     int HelpContext = -1)
    {
        Timer T(&App, 50);
        T.OnTimer = [&] {
            if (!::IsWindowVisible(Dialog->Handle()))
                return;
            T.SetEnabled(false);
            VisibleAtAnswer = {Dialog->YesButton->Visible(), Dialog->NoButton->Visible(),
                               Dialog->OKButton->Visible(), Dialog->CancelButton->Visible()};
            CaptionAtAnswer = Dialog->Text();
            TextAtAnswer = Dialog->InfoLabel->Text();
            if (Tick)
                ::SendMessageA(Dialog->dontaskagaincheckbox->Handle(), BM_CLICK, 0, 0);
            HWND Target = nullptr;
            switch (Action) {
            case Act::Yes: Target = Dialog->YesButton->Handle(); break;
            case Act::No: Target = Dialog->NoButton->Handle(); break;
            case Act::Ok: Target = Dialog->OKButton->Handle(); break;
            case Act::Cancel: Target = Dialog->CancelButton->Handle(); break;
            case Act::CloseBox: ::PostMessageA(Dialog->Handle(), WM_CLOSE, 0, 0); return;
            case Act::Escape:
            case Act::Enter:
                ::PostMessageA(::GetFocus() ? ::GetFocus() : Dialog->Handle(), WM_KEYDOWN,
                               Action == Act::Enter ? VK_RETURN : VK_ESCAPE, 0);
                return;
            }
            ::SendMessageA(Target, BM_CLICK, 0, 0);
        };
        return ShowConfirmation(Dialog, "Take over the running program?", Remembered,
                                "Question", Kind, HelpContext);
    }

    TApplication App;
    TConfirmationForm* Dialog = nullptr;
    std::vector<bool> VisibleAtAnswer;
    std::string CaptionAtAnswer, TextAtAnswer;
};

TEST_F(ConfirmationTest, ButtonsGiveAnswersAndTheBoxRemembersThem)
{
    struct Case {
        std::uint8_t Kind;
        Act Action;
        bool Tick;
        std::uint8_t Answer, Remembered;
    } Cases[] = {
        {ckYesNoCancel, Act::Yes, false, caYes, 0},
        {ckYesNoCancel, Act::No, false, caNo, 0},
        {ckYesNoCancel, Act::Cancel, false, caCancelled, 0},
        {ckYesNoCancel, Act::Yes, true, caYes, caYes},
        {ckYesNoCancel, Act::No, true, caNo, caNo},
        {ckYesNoCancel, Act::Cancel, true, caCancelled, 0},  // asks again next time
        {ckYesNoCancel, Act::CloseBox, false, caCancelled, 0},
        {ckYesNoCancel, Act::Escape, false, caCancelled, 0},
        {ckYesNoCancel, Act::Enter, false, caYes, 0},  // the default button
        {ckOk, Act::Enter, true, caOk, caOk},
        {ckOk, Act::Ok, false, caOk, 0},
        {ckOk, Act::Ok, true, caOk, caOk},
        {ckOk, Act::CloseBox, true, caCancelled, 0},
    };
    int I = 0;
    for (const Case& C : Cases) {
        SCOPED_TRACE(I++);
        std::uint8_t Remembered = 0;
        EXPECT_EQ(Ask(C.Kind, C.Action, C.Tick, Remembered), C.Answer);
        EXPECT_EQ(Remembered, C.Remembered);
        EXPECT_FALSE(::IsWindowVisible(Dialog->Handle()));
        const bool Question = C.Kind == ckYesNoCancel;
        EXPECT_EQ(VisibleAtAnswer, (std::vector<bool>{Question, Question, !Question, Question}));
        EXPECT_EQ(CaptionAtAnswer, "Question");
        EXPECT_EQ(TextAtAnswer, "Take over the running program?");
    }
}

TEST_F(ConfirmationTest, RememberedAnswerReturnsWithoutShowing)
{
    std::uint8_t Remembered = 0;
    ASSERT_EQ(Ask(ckYesNoCancel, Act::Yes, true, Remembered), caYes);
    VisibleAtAnswer.clear();
    for (int Call = 0; Call < 3; ++Call) {
        EXPECT_EQ(ShowConfirmation(Dialog, "again?", Remembered, "Q", ckYesNoCancel, -1), caYes);
        EXPECT_FALSE(::IsWindowVisible(Dialog->Handle()));
    }
    // The box starts cleared each time the dialog shows.
    std::uint8_t Fresh = 0;
    EXPECT_EQ(Ask(ckYesNoCancel, Act::No, false, Fresh), caNo);
    EXPECT_EQ(Fresh, 0);
}

TEST_F(ConfirmationTest, HelpContextStaysUnlessGiven)
{
    EXPECT_EQ(Dialog->HelpContext, 250);
    std::uint8_t R = 0;
    Ask(ckOk, Act::Ok, false, R, 77);
    EXPECT_EQ(Dialog->HelpContext, 77);
    Ask(ckOk, Act::Ok, false, R, -1);
    EXPECT_EQ(Dialog->HelpContext, 77);
    Ask(ckOk, Act::Ok, false, R, 0);
    EXPECT_EQ(Dialog->HelpContext, 0);
}

TEST_F(ConfirmationTest, FormGrowsToALongQuestionAndShrinksBack)
{
    struct Seen {
        int ClientHeight = 0, LabelHeight = 0, TextHeight = 0, LabelWidth = 0;
    };
    auto AskOk = [&](const std::string& Text) {
        Seen S;
        Timer T(&App, 50);
        T.OnTimer = [&] {
            if (!::IsWindowVisible(Dialog->Handle()))
                return;
            T.SetEnabled(false);
            S = {Dialog->ClientRect().bottom, Dialog->InfoLabel->Height(),
                 Dialog->InfoLabel->TextHeight(), Dialog->InfoLabel->Width()};
            ::SendMessageA(Dialog->OKButton->Handle(), BM_CLICK, 0, 0);
        };
        std::uint8_t R = 0;
        ShowConfirmation(Dialog, Text, R, "Q", ckOk, -1);
        return S;
    };
    std::string Long;
    for (int I = 0; I < 40; ++I)
        Long += "a rather long question ";
    const Seen Short1 = AskOk("Short?");
    const Seen Big = AskOk(Long);
    const Seen Short2 = AskOk("Short?");
    EXPECT_EQ(Short1.ClientHeight, 122);
    EXPECT_GT(Big.ClientHeight, 122);
    EXPECT_GE(Big.LabelHeight, Big.TextHeight);  // nothing clipped
    EXPECT_LE(Big.LabelWidth, 452 - 12);         // margins on both sides
    EXPECT_EQ(Short2.ClientHeight, 122);
}

}  // namespace
