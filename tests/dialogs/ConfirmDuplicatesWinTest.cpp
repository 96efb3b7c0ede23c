#include "dialogs/ConfirmDuplicatesWin.h"

#include "DialogsWinTestSupport.h"
#include "dialogs/progressesWin.h"
#include "hosting/RulesTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

static ::testing::Environment* const Env =
    ::testing::AddGlobalTestEnvironment(new ShellLibraryEnvironment);

namespace {

class DuplicatesWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearDatabase();
        for (const char* Name : {"Alpha", "Beta", "Gamma"})
            ASSERT_EQ(AddKnownApp(KnownApps, "C", Name, "", "", "bind", "x.exe", "", "", "", "", "", ""),
                      ieOk);
        new TProgressbarForm(&App);
        Dialog = new TConfirmDuplicatesForm(&App);
    }
    void TearDown() override { ClearDatabase(); }

    HWND Tree() const { return Dialog->TV->Handle(); }
    std::vector<int> States(HTREEITEM Parent) const
    {
        std::vector<int> S;
        for (HTREEITEM I : Dialog->TV->Children(Parent))
            S.push_back(Dialog->TV->ItemState(I));
        return S;
    }
    HTREEITEM Candidate(int Group, int Index) const
    {
        return Dialog->TV->Children(Dialog->TV->Children(nullptr)[Group])[Index];
    }
    void Click(HTREEITEM Item, bool OnStateImage) { ClickTreeItem(*Dialog->TV, Item, OnStateImage); }

    TApplication App;
    TConfirmDuplicatesForm* Dialog = nullptr;
};

TEST_F(DuplicatesWin, StateImagesClicksAndTheOkRule)
{
    StringList Found = {"C:\\a\\alpha.exe", "C:\\b1\\beta.exe", "C:\\g\\gamma.exe", "C:\\a2\\alpha.exe",
                        "C:\\b2\\beta.exe"};
    std::vector<TIdentifyInfo> Refs = {{0, MakeVersion(1, 2)}, {1, MakeVersion(2, 0)}, {2, {}},
                                       {0, MakeVersion(1, 10)}, {1, MakeVersion(2, 0)}};
    std::vector<std::function<void()>> Steps = {
        [&] {
            EXPECT_EQ(Dialog->TV->ItemText(Dialog->TV->FirstRoot()), "Alpha");
            EXPECT_EQ(States(nullptr), (std::vector<int>{0, 0}));
            EXPECT_EQ(States(Dialog->TV->FirstRoot()), (std::vector<int>{3, 4}));
            EXPECT_EQ(Dialog->TV->ItemText(Candidate(0, 1)), "Version 1.10: [C:\\a2\\alpha.exe]");
            EXPECT_EQ(States(Dialog->TV->Children(nullptr)[1]), (std::vector<int>{3, 3}));
            EXPECT_FALSE(Dialog->okbutton->Enabled());
            Click(Candidate(1, 1), false);  // on the text: nothing
            Click(Dialog->TV->FirstRoot(), true);  // a group has no state image
        },
        [&] {
            EXPECT_EQ(States(Dialog->TV->Children(nullptr)[1]), (std::vector<int>{3, 3}));
            EXPECT_FALSE(Dialog->okbutton->Enabled());
            Click(Candidate(1, 1), true);
            Click(Candidate(0, 0), true);
        },
        [&] {
            EXPECT_EQ(States(Dialog->TV->Children(nullptr)[1]), (std::vector<int>{3, 4}));
            EXPECT_EQ(States(Dialog->TV->FirstRoot()), (std::vector<int>{4, 3}));
            EXPECT_TRUE(Dialog->okbutton->Enabled());
            Click(Candidate(0, 0), true);  // a chosen option stays chosen
            Dialog->TV->Select(Candidate(0, 1));
            ::SendMessageA(Tree(), WM_KEYDOWN, VK_SPACE, 0);
        },
        [&] {
            EXPECT_EQ(States(Dialog->TV->FirstRoot()), (std::vector<int>{3, 4}));
            // A double click on a candidate's text chooses it.
            Click(Candidate(0, 0), false);
            RECT R = {};
            HTREEITEM Item = Candidate(0, 0);
            std::memcpy(&R, &Item, sizeof Item);
            ::SendMessageA(Tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&R));
            ::SendMessageA(Tree(), WM_LBUTTONDBLCLK, MK_LBUTTON,
                           MAKELPARAM(R.left + 2, (R.top + R.bottom) / 2));
        },
        [&] {
            EXPECT_EQ(States(Dialog->TV->FirstRoot()), (std::vector<int>{4, 3}));
            ::SendMessageA(Dialog->okbutton->Handle(), BM_CLICK, 0, 0);
        },
    };
    ModalScript Script(&App, [&] { return Dialog->Visible(); }, Steps);
    EXPECT_TRUE(Dialog->Execute(Found, Refs));
    EXPECT_EQ(Script.Done(), Steps.size());
    EXPECT_EQ(Found, (StringList{"C:\\g\\gamma.exe", "C:\\a\\alpha.exe", "C:\\b2\\beta.exe"}));
    EXPECT_EQ(Refs[1].Index, 0);
}

TEST_F(DuplicatesWin, CancelChangesNothingAndNoQuestionWithoutDuplicates)
{
    struct Case {
        StringList Found;
        bool Cancel;  // a window is shown and cancelled
        bool Result;
        StringList Kept;
    } Cases[] = {
        {{"a", "b", "a2"}, true, false, {"a", "b", "a2"}},
        {{"a", "b", "g"}, false, true, {"a", "b", "g"}},
        {{}, false, true, {}},
    };
    const int Index[] = {0, 1, 0};
    for (const Case& K : Cases) {
        StringList Found = K.Found;
        std::vector<TIdentifyInfo> Refs;
        for (std::size_t I = 0; I < Found.size(); ++I)
            Refs.push_back({Found[I] == "g" ? 2 : Index[I], {}});
        ModalScript Script(&App, [&] { return Dialog->Visible(); },
                           {[&] { ::PostMessageA(Dialog->Handle(), WM_CLOSE, 0, 0); }});
        EXPECT_EQ(Dialog->Execute(Found, Refs), K.Result);
        EXPECT_EQ(Script.Done(), K.Cancel ? 1u : 0u);
        EXPECT_EQ(Found, K.Kept);
        EXPECT_FALSE(ProgressbarForm->Visible());
    }
}

}  // namespace
