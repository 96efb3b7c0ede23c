#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Menus.h"
#include "toolkit/Timer.h"
#include "ShownMainForm.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Presses Keys, one per tick, on the open menu.
void PressOnMenu(TApplication& App, std::vector<WPARAM> Keys)
{
    auto* T = new Timer(&App, 30);
    T->OnTimer = [T, Keys]() mutable {
        HWND Menu = ::FindWindowA("#32768", nullptr);
        if (!Menu || !::IsWindowVisible(Menu) || Keys.empty())
            return;
        ::PostMessageA(Menu, WM_KEYDOWN, Keys.front(), 0);
        Keys.erase(Keys.begin());
    };
}

TEST(MenusTest, ChoosingAnItemRunsItsHandlerWithItsTagAndDrawsImages)
{
    struct Case {
        const char* Name;
        std::vector<WPARAM> Keys;
        int WantIndex;
        int WantTag;
    };
    const Case Cases[] = {
        {"first", {VK_DOWN, VK_RETURN}, 0, 7},
        {"over the separator", {VK_DOWN, VK_DOWN, VK_RETURN}, 2, 9},
        {"escape", {VK_ESCAPE, VK_ESCAPE}, -1, -1},
    };
    for (const Case& C : Cases) {
        ShownMainForm S;
        PopupMenu Menu(&S.Main);
        std::vector<int> Drawn;
        Menu.DrawImage = [&](HDC, int Index, int, int, bool) { Drawn.push_back(Index); };
        int Tag = -1;
        auto OnClick = [&](MenuItem& Item) { Tag = Item.Tag; };
        MenuItem I;
        I.Caption = "Layout one";
        I.Tag = 7;
        I.ImageIndex = 3;
        I.GroupIndex = 1;
        I.Checked = true;
        I.OnClick = OnClick;
        Menu.Add(I);
        MenuItem Sep;
        Sep.Caption = "-";
        Menu.Add(Sep);
        I.Caption = "Layout two";
        I.Tag = 9;
        I.Checked = false;
        Menu.Add(I);
        PressOnMenu(S.App, C.Keys);
        RECT Button = {100, 100, 160, 122};
        EXPECT_EQ(Menu.DropDown(Button), C.WantIndex) << C.Name;
        // After the message that opened it: a tool bar drops the clicks
        // waiting for it when its drop-down returns.
        EXPECT_EQ(Tag, -1) << C.Name;
        S.App.ProcessMessages();
        EXPECT_EQ(Tag, C.WantTag) << C.Name;
        EXPECT_NE(std::count(Drawn.begin(), Drawn.end(), 3), 0) << C.Name;
        EXPECT_TRUE(::GetMenuState(Menu.Handle(), 0, MF_BYPOSITION) & MF_CHECKED) << C.Name;
        EXPECT_FALSE(::GetMenuState(Menu.Handle(), 2, MF_BYPOSITION) & MF_CHECKED) << C.Name;
    }
}

TEST(MenusTest, HandlerMayClearTheMenu)
{
    TApplication App;
    PopupMenu Menu(&App);
    int Tag = 0;
    MenuItem I;
    I.Tag = 5;
    I.OnClick = [&](MenuItem& Item) {
        Menu.Clear();
        Tag = Item.Tag;
    };
    Menu.Add(I);
    Menu.Click(0);
    Menu.Click(0);  // gone: nothing
    EXPECT_EQ(Tag, 5);
    EXPECT_EQ(Menu.Count(), 0);
}

}  // namespace
