#include "toolkit/Application.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Form.h"
#include "toolkit/SpeedButton.h"
#include "toolkit/StatusBar.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class ComboBoxTest : public ::testing::Test {
protected:
    ComboBoxTest() { Main.Show(); }
    TApplication App;
    Form Main{&App, FormArgs()};
};

TEST_F(ComboBoxTest, OwnerDrawnItemsHaveTheirHeightAndOnlyTheUserFiresChange)
{
    ComboBoxArgs Args;
    Args.Parent = &Main;
    Args.OwnerDrawFixed = true;
    Args.ItemHeight = 17;
    ComboBox Box(&Main, Args);
    std::set<int> Drawn;
    Box.OnDrawItem = [&](int Index, const RECT&, UINT, Canvas&) { Drawn.insert(Index); };
    int Changes = 0;
    Box.OnChange = [&] { ++Changes; };
    for (const char* T : {"<select application>", "Morvelindra", "Corvalimphena"})
        Box.AddItem(T);
    EXPECT_EQ(::SendMessageA(Box.Handle(), CB_GETITEMHEIGHT, 0, 0), 17);
    Box.SetItemIndex(0);
    EXPECT_EQ(Changes, 0);
    struct Case {
        WPARAM Key;
        int WantIndex;
        int WantChanges;
    };
    const Case Cases[] = {{VK_DOWN, 1, 1}, {VK_DOWN, 2, 2}, {VK_UP, 1, 3}};
    for (const Case& C : Cases) {
        ::SendMessageA(Box.Handle(), WM_KEYDOWN, C.Key, 0);
        EXPECT_EQ(Box.ItemIndex(), C.WantIndex);
        EXPECT_EQ(Changes, C.WantChanges);
    }
    // The system's search ignores letter case; the match must not.
    Box.AddItem("corvalimphena");
    const std::pair<const char*, int> Finds[] = {
        {"Corvalimphena", 2}, {"corvalimphena", 3}, {"CORVALIMPHENA", -1}, {"Morvelindra", 1}, {"Morv", -1}};
    for (const auto& [Text, Want] : Finds)
        EXPECT_EQ(Box.IndexOf(Text), Want) << Text;
    ::UpdateWindow(Box.Handle());
    EXPECT_TRUE(Drawn.count(1));
}

TEST_F(ComboBoxTest, SpeedButtonClicksOnlyWhenReleasedOverItself)
{
    SpeedButtonArgs Args;
    Args.Parent = &Main;
    Args.Width = Args.Height = 16;
    SpeedButton B(&Main, Args);
    struct Case {
        int UpX, UpY;
        int WantClicks;
    };
    const Case Cases[] = {{8, 8, 1}, {40, 8, 0}, {15, 15, 1}};
    for (const Case& C : Cases) {
        int Clicks = 0;
        B.OnClick = [&] { ++Clicks; };
        ::SendMessageA(B.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
        ::SendMessageA(B.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(C.UpX, C.UpY));
        ::SendMessageA(B.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(C.UpX, C.UpY));
        EXPECT_EQ(Clicks, C.WantClicks) << C.UpX;
    }
}

TEST_F(ComboBoxTest, StatusBarSitsAtTheBottomAndKeepsPanelTexts)
{
    StatusBarArgs Args;
    Args.Parent = &Main;
    Args.SimplePanel = false;
    Args.PanelWidths = {100, -1};
    StatusBar Bar(&Main, Args);
    Bar.SetPanelText(1, "2 files left");
    EXPECT_EQ(Bar.PanelText(1), "2 files left");
    EXPECT_EQ(Bar.BoundsRect().bottom, Main.ClientRect().bottom);
}

}  // namespace
