#include "toolkit/Application.h"
#include "toolkit/InputBox.h"
#include "toolkit/Timer.h"

#include <gtest/gtest.h>

namespace {

HWND FindChild(HWND Parent, const char* Class, const char* Text)
{
    return ::FindWindowExA(Parent, nullptr, Class, Text);
}

TEST(InputBoxTest, OkOrEnterGiveTheTextCancelOrEscapeKeepTheValue)
{
    enum How { ClickOk, ClickCancel, PressEnter, PressEscape };
    struct Case {
        How Action;
        bool Want;
        const char* WantValue;
    };
    const Case Cases[] = {
        {ClickOk, true, "typed"}, {ClickCancel, false, "<new layout>"},
        {PressEnter, true, "typed"}, {PressEscape, false, "<new layout>"},
    };
    for (const Case& C : Cases) {
        TApplication App;
        std::string Prompt;
        Timer Answer(&App, 50);
        Answer.OnTimer = [&] {
            HWND Box = ::FindWindowA(nullptr, "Layout name ...");
            if (!Box || !::IsWindowVisible(Box))
                return;
            Answer.SetEnabled(false);
            HWND Edit = FindChild(Box, "Edit", nullptr);
            ::SetWindowTextA(Edit, "typed");
            char Buf[64] = {};
            ::GetWindowTextA(FindChild(Box, "Static", nullptr), Buf, sizeof(Buf));
            Prompt = Buf;
            if (C.Action == ClickOk || C.Action == ClickCancel)
                ::PostMessageA(FindChild(Box, "Button", C.Action == ClickOk ? "OK" : "Cancel"),
                               BM_CLICK, 0, 0);
            else
                ::PostMessageA(Edit, WM_KEYDOWN, C.Action == PressEnter ? VK_RETURN : VK_ESCAPE, 0);
        };
        std::string Value = "<new layout>";
        EXPECT_EQ(InputQuery("Layout name ...", "Please enter a layout name", Value), C.Want);
        EXPECT_EQ(Value, C.WantValue);
        EXPECT_EQ(Prompt, "Please enter a layout name");
    }
}

}  // namespace
