#include "hosting/AppPanel.h"
#include "hosting/ApplicationItem.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include "FakeItemMonitor.h"
#include "Win32TestSupport.h"

#include <gtest/gtest.h>

namespace {

class AppPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FormArgs A;
        A.ClientWidth = 600;
        A.ClientHeight = 400;
        A.CenterOnDesktop = false;
        Main = new Form(&App, A);
        Host = NewHost(&Monitor);
        Tool = Overlay(100, 30);
        Close = Overlay(16, 16);
        Unbind = Overlay(16, 16);
        Main->Show();
    }
    void TearDown() override
    {
        delete Host;
        delete Main;
    }
    TAppPanel* NewHost(IItemMonitor* M)
    {
        AppPanelArgs P;
        P.Parent = Main;
        P.HomeParent = Main;
        P.Monitor = M;
        P.Width = 320;
        P.Height = 260;
        return new TAppPanel(Main, P);
    }
    Panel* Overlay(int W, int H)
    {
        PanelArgs P;
        P.Parent = Main;
        P.Width = W;
        P.Height = H;
        P.Visible = false;  // shown when a host panel takes it
        return new Panel(Main, P);
    }
    // Sizes the host so that its inner panel is W x H.
    void InnerSize(int W, int H) { Host->SetBounds(0, 0, W + 10, H + 10); }

    TApplication App;
    FakeItemMonitor Monitor;
    Form* Main = nullptr;
    TAppPanel* Host = nullptr;
    Panel* Tool = nullptr;
    Panel* Close = nullptr;
    Panel* Unbind = nullptr;
};

TEST_F(AppPanelTest, IsABevelledPanelAroundItsInnerPanel)
{
    EXPECT_EQ(Host->FontName(), "Arial");
    EXPECT_EQ(Host->FontHeight(), -11);  // 8 points at 96 dpi
    EXPECT_EQ(Host->BevelOuter(), TBevelCut::Raised);
    EXPECT_EQ(Host->BevelWidth(), 5);
    EXPECT_TRUE(Host->DoubleBuffered);
    EXPECT_EQ(Host->Mode(), apmTool);
    EXPECT_FALSE(Host->Bound());
    Panel* Inner = Host->ClientPanel;
    ASSERT_NE(Inner, nullptr);
    EXPECT_EQ(Inner->Owner(), Host);
    EXPECT_EQ(Inner->Parent(), Host);
    EXPECT_EQ(Inner->BevelOuter(), TBevelCut::None);
    EXPECT_EQ(Inner->FontName(), "Arial");
    EXPECT_EQ(Inner->FontHeight(), -11);
    const RECT B = Inner->BoundsRect();
    EXPECT_EQ(B.left, 5);
    EXPECT_EQ(B.top, 5);
    EXPECT_EQ(B.right, 315);
    EXPECT_EQ(B.bottom, 255);
    Host->SetBounds(0, 0, 200, 100);  // it follows the host
    EXPECT_EQ(Inner->Width(), 190);
    EXPECT_EQ(Inner->Height(), 90);
}

TEST_F(AppPanelTest, ToolControlPlacementFollowsTheInnerPanel)
{
    struct Case {
        int W, H;
        int Left, Width, Top;
    } Cases[] = {
        {400, 100, 5, 240, 5}, {251, 100, 5, 240, 5}, {250, 100, 5, 240, 5},
        {200, 100, 5, 190, 5}, {59, 100, 5, 49, 5},   {58, 100, 5, 48, 5},
        {40, 100, 0, 48, 5},   {20, 100, 0, 48, 5},   {400, 41, 5, 240, 5},
        {400, 40, 5, 240, 5},  {400, 35, 5, 240, 2},  {400, 20, 5, 240, 0},
    };
    Host->SetControls(Tool, Close, Unbind);  // mode 1: the tool control only
    EXPECT_EQ(Host->ToolControl(), Tool);
    EXPECT_EQ(Host->CloseControl(), nullptr);
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.W << " x " << C.H);
        InnerSize(C.W, C.H);
        Host->ArrangeControls();
        const RECT B = Tool->BoundsRect();
        EXPECT_EQ(B.left, C.Left);
        EXPECT_EQ(B.right - B.left, C.Width);
        EXPECT_EQ(B.top, C.Top);
        EXPECT_EQ(B.bottom - B.top, 30);
        EXPECT_EQ(Tool->Parent(), Host->ClientPanel);
        EXPECT_EQ(::GetParent(Tool->Handle()), Host->ClientPanel->Handle());
        EXPECT_TRUE(Tool->Visible());
    }
}

TEST_F(AppPanelTest, CloseAndUnbindSitAtTheTopRight)
{
    Host->SetMode(apmCloseUnbind);
    Host->SetControls(Tool, Close, Unbind);
    EXPECT_EQ(Host->ToolControl(), nullptr);
    const RECT C = Close->BoundsRect();
    const RECT U = Unbind->BoundsRect();
    EXPECT_EQ(C.left, 310 - 16);
    EXPECT_EQ(C.top, 0);
    EXPECT_EQ(U.left, 310 - 32);
    EXPECT_EQ(U.top, 0);
    for (Control* Ctl : {static_cast<Control*>(Close), static_cast<Control*>(Unbind)}) {
        EXPECT_EQ(Ctl->Parent(), Host->ClientPanel);
        EXPECT_TRUE(Ctl->Visible());
    }
    // Overlays lie above the other children of the inner panel.
    EXPECT_EQ(::GetWindow(Host->ClientPanel->Handle(), GW_CHILD), Unbind->Handle());
    EXPECT_FALSE(Unbind->Enabled());  // nothing bound
    Host->SetBound(true);
    EXPECT_TRUE(Unbind->Enabled());
    Host->SetBound(false);
    EXPECT_FALSE(Unbind->Enabled());
    Host->SetBound(true);
    Host->ArrangeControls();
    EXPECT_TRUE(Unbind->Enabled());
}

TEST_F(AppPanelTest, OverlaysShowWhereThePanelsInFrontLeaveRoom)
{
    // A child node's panel is a sibling placed over its parent's panel.
    struct Case {
        const char* Name;
        RECT Cover;  // in the inner panel's coordinates
        bool InFront;
        std::uint8_t Mode;
        POINT Want;  // the tool control's place, or the close control's
    } Cases[] = {
        {"left half in front", {0, 0, 300, 200}, true, apmTool, {305, 5}},
        {"top half in front", {0, 0, 600, 100}, true, apmTool, {5, 105}},
        {"left half behind", {0, 0, 300, 200}, false, apmTool, {5, 5}},
        {"right edge in front", {500, 0, 600, 200}, true, apmCloseUnbind, {479, 0}},
        {"nowhere room: as wanted", {0, 0, 600, 200}, true, apmTool, {5, 5}},
        {"a strip too narrow for the tools: narrower in it", {0, 0, 450, 200}, true, apmTool, {455, 5}},
    };
    InnerSize(600, 200);
    // Where each overlay is as it shows: never first where it was.
    POINT ShownAt = {-1, -1};
    for (Panel* P : {Tool, Close})
        P->OnMessageSeen = [&ShownAt, P](UINT Msg) {
            if (Msg == WM_SHOWWINDOW) {
                const RECT R = P->BoundsRect();
                ShownAt = {R.left, R.top};
            }
        };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        ShownAt = {-1, -1};
        PanelArgs A;
        A.Parent = Main;
        // The inner panel lies 5 pixels inside the host's bevel.
        A.Left = C.Cover.left + 5;
        A.Top = C.Cover.top + 5;
        A.Width = C.Cover.right - C.Cover.left;
        A.Height = C.Cover.bottom - C.Cover.top;
        Panel* Cover = new Panel(Main, A);
        ::SetWindowPos(Cover->Handle(), C.InFront ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Host->SetMode(C.Mode);
        Host->SetControls(Tool, Close, Unbind);
        const RECT B = (C.Mode == apmTool ? static_cast<Control*>(Tool) : Close)->BoundsRect();
        EXPECT_EQ(B.left, C.Want.x);
        EXPECT_EQ(B.top, C.Want.y);
        EXPECT_LE(B.right, 600);
        EXPECT_EQ(ShownAt.x, C.Want.x);
        EXPECT_EQ(ShownAt.y, C.Want.y);
        Host->SetControls(nullptr, nullptr, nullptr);
        delete Cover;
    }
    for (Panel* P : {Tool, Close})
        P->OnMessageSeen = nullptr;
}

TEST_F(AppPanelTest, KeepsOnlyTheControlsItsModeShows)
{
    struct Case {
        std::uint8_t Mode;
        bool Tool, Close, Unbind;
    } Cases[] = {
        {apmNone, false, false, false},
        {apmTool, true, false, false},
        {apmCloseUnbind, false, true, true},
        {7, false, false, false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Mode));
        Host->SetMode(C.Mode);
        Host->SetControls(Tool, Close, Unbind);
        EXPECT_EQ(Host->ToolControl(), C.Tool ? Tool : nullptr);
        EXPECT_EQ(Host->CloseControl(), C.Close ? Close : nullptr);
        EXPECT_EQ(Host->UnbindControl(), C.Unbind ? Unbind : nullptr);
        for (Panel* P : {Tool, Close, Unbind}) {
            const bool Held = (P == Tool && C.Tool) || (P == Close && C.Close) ||
                              (P == Unbind && C.Unbind);
            EXPECT_EQ(P->Parent(), Held ? Host->ClientPanel : static_cast<Control*>(Main));
            EXPECT_EQ(P->Visible(), Held);
        }
        Host->SetControls(nullptr, nullptr, nullptr);
    }
}

TEST_F(AppPanelTest, AControlReplacedByAnotherStaysWhereItIs)
{
    Panel* Other = Overlay(80, 30);
    Host->SetControls(Tool, nullptr, nullptr);
    Host->SetControls(Other, nullptr, nullptr);
    EXPECT_EQ(Host->ToolControl(), Other);
    EXPECT_EQ(Tool->Parent(), Host->ClientPanel);
    EXPECT_TRUE(Tool->Visible());
    Host->SetControls(nullptr, nullptr, nullptr);
    EXPECT_EQ(Other->Parent(), Main);
    EXPECT_FALSE(Other->Visible());
}

TEST_F(AppPanelTest, ModeChangesGiveControlsBackAndForgetThem)
{
    Host->SetMode(apmCloseUnbind);
    Host->SetControls(nullptr, Close, Unbind);
    Host->SetMode(apmTool);
    EXPECT_EQ(Host->CloseControl(), nullptr);
    EXPECT_EQ(Host->UnbindControl(), nullptr);
    EXPECT_EQ(Close->Parent(), Main);
    EXPECT_FALSE(Close->Visible());
    EXPECT_FALSE(Unbind->Visible());
    Host->SetMode(apmCloseUnbind);  // nothing comes back by itself
    EXPECT_EQ(Host->CloseControl(), nullptr);
    EXPECT_FALSE(Close->Visible());

    Host->SetMode(apmTool);
    Host->SetControls(Tool, nullptr, nullptr);
    Host->SetMode(apmNone);
    EXPECT_EQ(Host->ToolControl(), nullptr);
    EXPECT_EQ(Tool->Parent(), Main);
    EXPECT_FALSE(Tool->Visible());
}

TEST_F(AppPanelTest, ContainsPointCountsBothEdges)
{
    struct Case {
        POINT P;
        bool In;
    } Cases[] = {
        {{0, 0}, true},     {{320, 260}, true}, {{160, 130}, true}, {{-1, 0}, false},
        {{0, -1}, false},   {{321, 0}, false},  {{0, 261}, false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(Host->ContainsPoint(C.P), C.In) << C.P.x << "," << C.P.y;
}

TEST_F(AppPanelTest, AppPanelOfFindsTheHostOfAPanel)
{
    PanelArgs P;
    P.Parent = Host;
    Panel* OwnedByHost = new Panel(Host, P);
    P.Parent = Main;
    Panel* Plain = new Panel(Main, P);
    struct Case {
        const char* Name;
        Control* C;
        TAppPanel* Expect;
    } Cases[] = {
        {"host", Host, Host},
        {"inner panel", Host->ClientPanel, Host},
        {"another panel the host owns", OwnedByHost, Host},
        {"plain panel", Plain, nullptr},
        {"form", Main, nullptr},
        {"nothing", nullptr, nullptr},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(AppPanelOf(C.C), C.Expect) << C.Name;
}

TEST_F(AppPanelTest, ClientRectLeavesTheStripAndKeepsTheMinimum)
{
    struct Case {
        int FontHeight;
        bool NoTitle;
        POINT Min;
        RECT Expect;  // the inner panel is 310 x 250
    } Cases[] = {
        {-11, false, {0, 0}, {0, 0, 310, 250}},
        {-11, true, {0, 0}, {0, 16, 310, 250}},
        {-20, true, {0, 0}, {0, 24, 310, 250}},
        {12, true, {0, 0}, {0, 16, 310, 250}},
        {-11, false, {400, 0}, {0, 0, 400, 250}},
        {-11, false, {0, 300}, {0, 0, 310, 300}},
        {-11, true, {0, 240}, {0, 16, 310, 256}},
        {-11, false, {100, 100}, {0, 0, 310, 250}},
        {-11, false, {-1, -1}, {0, 0, 310, 250}},
        {-11, false, {-5, 500}, {0, 0, 310, 500}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.FontHeight << " " << C.NoTitle << " " << C.Min.x
                                        << "," << C.Min.y);
        Host->ClientPanel->SetFont("Arial", C.FontHeight);
        RECT R = {-9, -9, -9, -9};
        GetAppClientRect(Host->ClientPanel, C.NoTitle, C.Min, R);
        EXPECT_EQ(R.left, C.Expect.left);
        EXPECT_EQ(R.top, C.Expect.top);
        EXPECT_EQ(R.right, C.Expect.right);
        EXPECT_EQ(R.bottom, C.Expect.bottom);
    }
}

TEST_F(AppPanelTest, InnerPanelEventsReachTheHostsHandlers)
{
    struct Event {
        std::string What;
        Control* Sender;
        int X, Y;
        TShiftState Shift;
    };
    std::vector<Event> Got;
    Host->OnMouseDown = [&](Control& S, TMouseButton B, TShiftState Sh, int X, int Y) {
        Got.push_back({B == TMouseButton::Left ? "down" : "down other", &S, X, Y, Sh});
    };
    Host->OnMouseMove = [&](Control& S, TShiftState Sh, int X, int Y) {
        Got.push_back({"move", &S, X, Y, Sh});
    };
    Host->OnMouseUp = [&](Control& S, TMouseButton, TShiftState Sh, int X, int Y) {
        Got.push_back({"up", &S, X, Y, Sh});
    };
    Host->OnClick = [&](Control& S) { Got.push_back({"click", &S, 0, 0, 0}); };
    Host->OnDblClick = [&](Control& S) { Got.push_back({"dblclick", &S, 0, 0, 0}); };

    HWND Inner = Host->ClientPanel->Handle();
    ::SendMessageA(Inner, WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    ::SendMessageA(Inner, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 20));
    ::SendMessageA(Inner, WM_LBUTTONUP, 0, MAKELPARAM(11, 21));
    ::SendMessageA(Inner, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(11, 21));
    ::SendMessageA(Inner, WM_LBUTTONUP, 0, MAKELPARAM(11, 21));  // no click after a double
    ::SendMessageA(Inner, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 2));
    ::SendMessageA(Host->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 3));
    ::SendMessageA(Host->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 3));

    Control* In = Host->ClientPanel;
    const std::vector<Event> Expect = {
        {"move", In, 15, 25, 0},
        {"down", In, 15, 25, ssLeft | ssShift},
        {"up", In, 16, 26, 0},
        {"click", In, 0, 0, 0},
        {"dblclick", In, 0, 0, 0},
        {"down", In, 16, 26, ssLeft | ssDouble},
        {"up", In, 16, 26, 0},
        {"down other", In, 6, 7, ssRight},
        {"down", Host, 2, 3, ssLeft},
        {"up", Host, 2, 3, 0},
        {"click", Host, 0, 0, 0},
    };
    ASSERT_EQ(Got.size(), Expect.size());
    for (std::size_t I = 0; I < Expect.size(); ++I) {
        SCOPED_TRACE(I);
        EXPECT_EQ(Got[I].What, Expect[I].What);
        EXPECT_EQ(Got[I].Sender, Expect[I].Sender);
        EXPECT_EQ(Got[I].X, Expect[I].X);
        EXPECT_EQ(Got[I].Y, Expect[I].Y);
        EXPECT_EQ(Got[I].Shift, Expect[I].Shift);
    }
}

TEST_F(AppPanelTest, InnerResizeArrangesOnlyWithAResizeHandler)
{
    Host->SetControls(Tool, nullptr, nullptr);
    InnerSize(400, 100);
    EXPECT_EQ(Tool->Width(), 240);
    InnerSize(200, 100);  // no handler: nothing is arranged
    EXPECT_EQ(Tool->Width(), 240);
    int Resized = 0;
    Host->OnResize = [&] { ++Resized; };
    InnerSize(150, 100);
    EXPECT_GE(Resized, 1);
    EXPECT_EQ(Tool->Width(), 140);
}

TEST_F(AppPanelTest, DestructionDeletesOrReleasesTheItemOfItsPanel)
{
    for (bool Kept : {false, true}) {
        SCOPED_TRACE(Kept);
        TAppPanel* Other = NewHost(&Monitor);
        TApplicationItem* Mine = Monitor.Add();
        Mine->Panel = Host->ClientPanel;
        TApplicationItem* Item = Monitor.Add();
        Item->Panel = Other->ClientPanel;
        Item->Kept = Kept;
        Other->SetMode(apmCloseUnbind);
        Other->SetControls(nullptr, Close, Unbind);

        delete Other;
        EXPECT_EQ(Close->Parent(), Main);
        EXPECT_FALSE(Close->Visible());
        ASSERT_EQ(Monitor.Items.size(), Kept ? 2u : 1u);
        EXPECT_EQ(Monitor.Items[0].get(), Mine);
        EXPECT_EQ(Monitor.Deleted, Kept ? 0 : 1);
        if (Kept) {
            EXPECT_EQ(Item->Panel, nullptr);  // released, for the next layout
        }
        Monitor.Items.clear();
        Monitor.Deleted = 0;
    }
    // Without a monitor it still gives its controls back.
    Monitor.Destroying.clear();
    TAppPanel* Alone = NewHost(nullptr);
    Alone->SetMode(apmCloseUnbind);
    Alone->SetControls(nullptr, Close, Unbind);
    ASSERT_NE(Close->Parent(), Main);
    delete Alone;
    EXPECT_EQ(Close->Parent(), Main);
    EXPECT_EQ(Unbind->Parent(), Main);
    EXPECT_FALSE(Close->Visible());
    EXPECT_EQ(Monitor.Deleted, 0);
    EXPECT_TRUE(Monitor.Destroying.empty());
}

TEST_F(AppPanelTest, PaintsItsBevelColourAndCaption)
{
    Panel* Inner = Host->ClientPanel;
    Inner->SetColor(RGB(0xFF, 0xFF, 0xFF));
    Inner->SetFontColor(RGB(0, 0, 0));
    Inner->SetText("WWWWWWWW");
    auto PixelsInStrip = [&](TVerticalAlignment V) {
        Inner->SetVerticalAlignment(V);
        ::RedrawWindow(Host->Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC Dc = ::GetDC(Inner->Handle());
        int Dark = 0;
        for (int Y = 0; Y < 16; ++Y)
            for (int X = 0; X < 310; ++X)
                Dark += ::GetPixel(Dc, X, Y) != RGB(0xFF, 0xFF, 0xFF);
        ::ReleaseDC(Inner->Handle(), Dc);
        return Dark;
    };
    EXPECT_GT(PixelsInStrip(TVerticalAlignment::Top), 0);
    EXPECT_EQ(PixelsInStrip(TVerticalAlignment::Center), 0);

    HDC Dc = ::GetDC(Host->Handle());
    EXPECT_EQ(::GetPixel(Dc, 0, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(::GetPixel(Dc, 4, 100), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(::GetPixel(Dc, 319, 259), ::GetSysColor(COLOR_BTNSHADOW));
    ::ReleaseDC(Host->Handle(), Dc);
}

// The inner panel does not clip the windows in it (a stopped program's
// window would hold the system's erasing), so it leaves them out itself.
TEST_F(AppPanelTest, TheInnerPanelPaintsAroundTheWindowsInIt)
{
    WNDCLASSA Wc = {};
    Wc.lpfnWndProc = &::DefWindowProcA;
    Wc.hInstance = ::GetModuleHandleA(nullptr);
    Wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    Wc.lpszClassName = "QuorvanBlackChild";
    ::RegisterClassA(&Wc);
    Panel* Inner = Host->ClientPanel;
    Inner->SetColor(RGB(0xFF, 0xFF, 0xFF));
    HWND Child = ::CreateWindowExA(0, Wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 50, 40, 100, 80,
                                   Inner->Handle(), nullptr, Wc.hInstance, nullptr);
    ::RedrawWindow(Host->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Only the panel paints again.
    ::RedrawWindow(Inner->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    HDC Dc = ::GetDC(Inner->Handle());
    EXPECT_EQ(::GetPixel(Dc, 100, 80), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(Dc, 20, 20), RGB(0xFF, 0xFF, 0xFF));
    ::ReleaseDC(Inner->Handle(), Dc);
    ::DestroyWindow(Child);
}

}  // namespace
