#include "dialogs/progressesWin.h"

#include "toolkit/Application.h"

#include "HintSupport.h"

#include <gtest/gtest.h>

namespace {

class ProgressWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        App.SetTitle("Quorvan test");
        FormArgs A;
        A.Caption = "Main caption";
        Main = new Form(&App, A);
        App.MainForm = Main;
        Other = new Form(&App, A);
        Progress = new TProgressbarForm(&App);
        Main->Show();
        Other->Show();
    }
    TApplication App;
    Form* Main = nullptr;
    Form* Other = nullptr;
    TProgressbarForm* Progress = nullptr;
};

TEST_F(ProgressWin, StoppableRunsDisableTheOtherFormsAndGiveBackEachOwnState)
{
    struct Case {
        bool Stoppable, OtherDisabledBefore;
    } Cases[] = {{true, false}, {true, true}, {false, false}, {false, true}};
    for (const Case& K : Cases) {
        SCOPED_TRACE(testing::Message() << K.Stoppable << K.OtherDisabledBefore);
        Other->SetEnabled(!K.OtherDisabledBefore);
        StartProgress(0, "Reading directories ...", K.Stoppable);
        EXPECT_TRUE(Progress->Visible());
        EXPECT_EQ(Progress->Text(), "Reading directories ...");
        EXPECT_TRUE(::GetWindowLongA(Progress->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_TRUE(Progress->Enabled());
        EXPECT_EQ(Progress->stopbutton->Enabled(), K.Stoppable);
        EXPECT_EQ(Main->Enabled(), !K.Stoppable);
        EXPECT_EQ(Other->Enabled(), !K.Stoppable && !K.OtherDisabledBefore);
        SetProgress(0);
        EXPECT_EQ(App.Title(), "Quorvan test (0 %)");
        EXPECT_EQ(Main->Text(), "Quorvan test (0 %)");
        EXPECT_EQ(Progress->ProgressBar1->Max(), 0);
        FinishProgress();
        EXPECT_FALSE(Progress->Visible());
        EXPECT_TRUE(Main->Enabled());
        EXPECT_EQ(Other->Enabled(), !K.OtherDisabledBefore);
        EXPECT_EQ(App.Title(), "Quorvan test");
        EXPECT_EQ(Main->Text(), "Main caption");
    }
}

TEST_F(ProgressWin, ClosingOrTheStopButtonStopsUntilTheNextStart)
{
    struct Case {
        bool ByClose;
        bool Stoppable;
        bool Stopped;
    } Cases[] = {{true, true, true}, {false, true, true}, {true, false, false}};
    for (const Case& K : Cases) {
        SCOPED_TRACE(testing::Message() << K.ByClose << K.Stoppable);
        StartProgress(8, "Searching known applications ...", K.Stoppable);
        if (K.ByClose)
            ::PostMessageA(Progress->Handle(), WM_CLOSE, 0, 0);
        else
            ::PostMessageA(Progress->stopbutton->Handle(), BM_CLICK, 0, 0);
        SetProgress(2);  // a stoppable run processes the pending close here
        EXPECT_EQ(Progress->ProgressBar1->Position(), 2);
        EXPECT_EQ(App.Title(), "Quorvan test (25 %)");
        EXPECT_EQ(ProgressStopped(), K.Stopped);
        EXPECT_EQ(Progress->Visible(), !(K.Stopped && K.ByClose));  // closing hides
        FinishProgress();
        EXPECT_EQ(ProgressStopped(), K.Stopped);
        App.ProcessMessages();
    }
    StartProgress(1, "again", true);
    EXPECT_FALSE(ProgressStopped());
    FinishProgress();
}

// The stop button's hint shows as every other: by the pointer resting on
// it, with nothing polling the pointer meanwhile but the slow leave check;
// it goes with the window when the run ends under the resting pointer.
TEST_F(ProgressWin, StopButtonShowsItsHintAsEveryOtherUntilTheRunEnds)
{
    StartProgress(4, "Searching known applications ...", true);
    int Polls = 0;
    EXPECT_EQ(HintAfterResting(App, Progress->stopbutton, Polls),
              "click here to break the current procedure...");
    EXPECT_LE(Polls, 2);
    FinishProgress();
    EXPECT_EQ(ShownHint(Progress->stopbutton->Handle()), "");
}

}  // namespace
