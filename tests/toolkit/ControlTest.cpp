#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Hints.h"
#include "toolkit/Panel.h"
#include "toolkit/StdControls.h"
#include "toolkit/TabSet.h"
#include "toolkit/Timer.h"
#include "toolkit/ToolBar.h"

#include "ScreenShotSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Probe : Component {
    Probe(Component* Owner, std::vector<int>& Log, int Id) : Component(Owner), Log(Log), Id(Id) {}
    ~Probe() override { Log.push_back(Id); }
    std::vector<int>& Log;
    int Id;
};

TEST(ComponentTest, OwnerDestroysWhatItOwnsNewestFirst)
{
    std::vector<int> Log;
    {
        Component Root(nullptr);
        auto* A = new Probe(&Root, Log, 1);
        new Probe(A, Log, 11);
        new Probe(&Root, Log, 2);
        auto* Gone = new Probe(&Root, Log, 3);
        delete Gone;  // unlinks itself
        EXPECT_EQ(Root.Components().size(), 2u);
    }
    EXPECT_EQ(Log, (std::vector<int>{3, 2, 1, 11}));
    // One made with new in the arguments of another's new: both are freed.
    Log.clear();
    {
        Component Root(nullptr);
        new Probe(new Probe(&Root, Log, 5), Log, 51);
    }
    EXPECT_EQ(Log, (std::vector<int>{5, 51}));
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FormArgs A;
        A.ClientWidth = 400;
        A.ClientHeight = 300;
        Main = new Form(&App, A);
    }
    void TearDown() override { delete Main; }
    Panel* Child(TAlign Align, int W, int H)
    {
        PanelArgs P;
        P.Parent = Main;
        P.Width = W;
        P.Height = H;
        P.Align = Align;
        return new Panel(Main, P);
    }
    TApplication App;
    Form* Main = nullptr;
};

TEST_F(ControlTest, MessagesReachTheObjectBehindTheHandle)
{
    Panel* P = Child(TAlign::None, 10, 10);
    EXPECT_EQ(Control::FromHandle(P->Handle()), P);
    EXPECT_EQ(Control::FromHandle(Main->Handle()), Main);
    EXPECT_EQ(::GetParent(P->Handle()), Main->Handle());
    EXPECT_EQ(P->Parent(), Main);
    int Resized = 0;
    P->OnResize = [&] { ++Resized; };
    P->SetBounds(5, 6, 70, 80);
    EXPECT_EQ(Resized, 1);
    const RECT B = P->BoundsRect();
    EXPECT_EQ(B.left, 5);
    EXPECT_EQ(B.top, 6);
    EXPECT_EQ(P->Width(), 70);
    EXPECT_EQ(P->Height(), 80);
}

BOOL CALLBACK CountProp(HWND, LPSTR, HANDLE, ULONG_PTR Count)
{
    ++*reinterpret_cast<int*>(Count);
    return TRUE;
}

// Our own windows and the system controls we wrap lead to their object
// while they live, to nothing after, and carry no window property (which
// other processes see, and which costs a round trip to the server for
// every message under Wine).
TEST_F(ControlTest, AWindowLeadsToItsControlWhileItLives)
{
    const std::function<Control*()> Makers[] = {
        [&] { return Child(TAlign::None, 10, 10); },
        [&] {
            ButtonArgs B;
            B.Parent = Main;
            return new Button(Main, B);
        },
    };
    for (const auto& Make : Makers) {
        Control* C = Make();
        const HWND Wnd = C->Handle();
        EXPECT_EQ(Control::FromHandle(Wnd), C);
        int Props = 0;
        ::EnumPropsExA(Wnd, &CountProp, reinterpret_cast<LPARAM>(&Props));
        EXPECT_EQ(Props, 0);
        delete C;
        EXPECT_FALSE(::IsWindow(Wnd));
        EXPECT_EQ(Control::FromHandle(Wnd), nullptr);
    }
    EXPECT_EQ(Control::FromHandle(nullptr), nullptr);
    EXPECT_EQ(Control::FromHandle(::GetDesktopWindow()), nullptr);
}

TEST_F(ControlTest, AlignedChildrenShareTheClientArea)
{
    Panel* Top = Child(TAlign::Top, 0, 40);
    Panel* Left = Child(TAlign::Left, 100, 0);
    Panel* Fill = Child(TAlign::Client, 0, 0);
    Panel* Bottom = Child(TAlign::Bottom, 0, 30);
    Main->SetBounds(0, 0, 500, 400);  // realign on resize
    const RECT C = Main->ClientRect();
    struct Case {
        Control* C;
        RECT Expect;
    } Cases[] = {
        {Top, {0, 0, C.right, 40}},
        {Bottom, {0, C.bottom - 30, C.right, C.bottom}},
        {Left, {0, 40, 100, C.bottom - 30}},
        {Fill, {100, 40, C.right, C.bottom - 30}},
    };
    for (const Case& K : Cases) {
        const RECT R = K.C->BoundsRect();
        EXPECT_EQ(R.left, K.Expect.left);
        EXPECT_EQ(R.top, K.Expect.top);
        EXPECT_EQ(R.right, K.Expect.right);
        EXPECT_EQ(R.bottom, K.Expect.bottom);
    }
    Top->SetVisible(false);
    EXPECT_EQ(Left->BoundsRect().top, 0);
}

TEST_F(ControlTest, ControlAtPosPicksTopmostVisibleChild)
{
    Panel* Below = Child(TAlign::None, 100, 100);
    Panel* Above = Child(TAlign::None, 50, 50);
    EXPECT_EQ(Main->ControlAtPos(POINT{10, 10}, false), Above);
    EXPECT_EQ(Main->ControlAtPos(POINT{80, 80}, false), Below);
    EXPECT_EQ(Main->ControlAtPos(POINT{300, 250}, false), nullptr);
    Above->SetEnabled(false);
    EXPECT_EQ(Main->ControlAtPos(POINT{10, 10}, false), Below);
    EXPECT_EQ(Main->ControlAtPos(POINT{10, 10}, true), Above);
    Above->SetVisible(false);
    EXPECT_EQ(Main->ControlAtPos(POINT{10, 10}, true), Below);
}

TEST_F(ControlTest, DestroyingAChildObjectDestroysItsWindow)
{
    Panel* P = Child(TAlign::None, 10, 10);
    HWND Wnd = P->Handle();
    delete P;
    EXPECT_FALSE(::IsWindow(Wnd));
    EXPECT_TRUE(Main->Controls().empty());
}

TEST_F(ControlTest, TheSameTextAgainLeavesThePanelPainted)
{
    Main->Show();
    Panel* P = Child(TAlign::None, 50, 50);
    for (const char* Text : {"Loading", "Loading", "Loaded", ""}) {
        SCOPED_TRACE(Text);
        ::UpdateWindow(P->Handle());
        const bool Changes = P->Text() != Text;
        P->SetText(Text);
        EXPECT_EQ(P->Text(), Text);
        EXPECT_EQ(::GetUpdateRect(P->Handle(), nullptr, FALSE) != 0, Changes);
    }
}

// A hint's delays as the order of events: a mark set as the pointer comes
// onto an item falls between the reshow and the initial delay, so the first
// tip comes after it and the next one, while a tip shows, before it; a tip
// goes by itself after its time, not before a mark halfway.
TEST_F(ControlTest, HintsWaitTheirDelaysAndGoByThemselves)
{
    Main->Show();
    const struct {
        const char* Name;
        bool ShownBefore;  // another item's tip shows as the pointer comes
        unsigned MarkMs;
        const char* Want;
    } Rows[] = {
        {"the first tip", false, (THoverHint::InitialDelay + THoverHint::ReshowDelay) / 2,
         "mark shown "},
        {"the next tip", true, (THoverHint::InitialDelay + THoverHint::ReshowDelay) / 2,
         "shown mark "},
        {"a tip's time", false, THoverHint::InitialDelay + THoverHint::PopDelay / 2,
         "shown mark hidden "},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        THoverHint Hint(Main->Handle());
        // The loop wakes for nothing of the program's but the hint and the mark.
        Timer Clock(nullptr, 20);
        Clock.QuietTicks = true;
        Clock.OnTimer = [] {};
        const auto RunUntil = [&](const std::function<bool()>& Done, DWORD Ms) {
            const DWORD End = ::GetTickCount() + Ms;
            App.RunModalLoop([&] { return Done() || ::GetTickCount() >= End; });
        };
        if (R.ShownBefore) {
            Hint.Enter("adds");
            RunUntil([&] { return Hint.Shown(); }, THoverHint::InitialDelay + 5000);
            ASSERT_TRUE(Hint.Shown());
        }
        std::string Events;
        bool Shown = false;
        const auto Look = [&] {
            if (Hint.Shown() != Shown)
                Events += (Shown = Hint.Shown()) ? "shown " : "hidden ";
        };
        Timer Mark(nullptr, R.MarkMs);
        Mark.QuietTicks = true;
        Mark.OnTimer = [&] {
            Mark.SetEnabled(false);
            Look();
            Events += "mark ";
        };
        Hint.Enter("removes");
        Look();
        RunUntil([&] {
            Look();
            return Events == R.Want;
        }, THoverHint::InitialDelay + THoverHint::PopDelay + 3000);
        EXPECT_EQ(Events, R.Want);
    }
}

TEST_F(ControlTest, AHandlerMayDeleteThePanelThatCalledIt)
{
    Panel* P = Child(TAlign::None, 50, 50);
    const HWND Wnd = P->Handle();
    bool Clicked = false;
    P->OnMouseUp = [&P](Control&, TMouseButton, TShiftState, int, int) {
        delete P;
        P = nullptr;
    };
    P->OnClick = [&Clicked](Control&) { Clicked = true; };
    ::SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(P, nullptr);
    EXPECT_FALSE(Clicked);  // the dead panel raised nothing more
    EXPECT_FALSE(::IsWindow(Wnd));
}

TEST_F(ControlTest, TabSetGivesEveryTabsTextBackWhole)
{
    TabSetArgs A;
    A.Parent = Main;
    auto* Tabs = new TabSet(Main, A);
    const std::string Texts[] = {"Tools", std::string(300, 'c') + "x", ""};
    for (int Round = 0; Round < 2; ++Round) {
        Tabs->Clear();
        for (const std::string& T : Texts)
            Tabs->AddTab(T);
        ASSERT_EQ(Tabs->Count(), 3);
        for (int I = 0; I < 3; ++I)
            EXPECT_EQ(Tabs->Tab(I), Texts[I]) << I;
        EXPECT_EQ(Tabs->Tab(3), "");
    }
}

}  // namespace

TEST_F(ControlTest, ContainersPaintBehindTheirChildren)
{
    const TColor Sky = 0xF0C040;
    const std::uint32_t SkyRgb = 0x40C0F0;
    struct Case {
        const char* Name;
        std::function<Control*(Panel& Host)> Make;  // the child to look at
        std::set<std::uint32_t> Allowed;
        int BlockW, BlockH;
    };
    const Case Cases[] = {
        {"flat toolbar",
         [this](Panel& Host) {
             ToolBarArgs T;
             T.Parent = &Host;
             T.Width = 120;
             T.Height = 30;
             return new ToolBar(Main, T);
         },
         {SkyRgb}, 20, 20},
        {"label",
         [this](Panel& Host) {
             LabelArgs L;
             L.Parent = &Host;
             L.Caption = "i";
             L.Width = 120;
             return new Label(Main, L);
         },
         {SkyRgb}, 20, 10},
    };
    for (const Case& C : Cases) {
        Panel* Host = Child(TAlign::None, 150, 100);
        Host->SetColor(Sky);
        Control* Looked = C.Make(*Host);
        Main->Show();
        RECT Area;
        const std::vector<std::uint32_t> Px = SettledCapture(Looked->Handle(), Area);
        const Unpainted U = FindUnpainted(Px, Area.right - Area.left, Area.bottom - Area.top, C.Allowed,
                                          C.BlockW, C.BlockH);
        EXPECT_FALSE(U.Found) << C.Name << ": " << std::hex << U.Colour << std::dec << " at " << U.X
                              << ", " << U.Y;
        delete Looked;
        delete Host;
    }
}
