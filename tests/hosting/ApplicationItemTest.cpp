#include "hosting/AppPanel.h"
#include "hosting/ApplicationItem.h"
#include "hosting/KnownApps.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include "FakeItemMonitor.h"
#include "hosting/HosteeSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

enum Entry { ePlain, eBare, eHard, eOwnSize, eWide, eTallBare, eCount };

void AddEntry(const char* Name, bool NoTitle, bool Hard, int MinW, int MinH)
{
    auto E = std::make_unique<Tknownapp>();
    E->Name = Name;
    E->Method = amBind;
    E->NoTitle = NoTitle;
    E->HardSizing = Hard;
    E->MinWidth = MinW;
    E->MinHeight = MinH;
    KnownApps.Add(std::move(E));
}

void FillKnownApps()
{
    KnownApps.Clear();
    AddEntry("Plain App", false, false, 0, 0);
    AddEntry("Bare App", true, false, 0, 0);
    AddEntry("Hard App", false, true, 0, 0);
    AddEntry("Own Size App", false, false, -1, -1);
    AddEntry("Wide App", false, false, 400, 0);
    AddEntry("Tall Bare App", true, false, 0, 300);
}

// A top-level window of this process: enough for the rules that do not
// depend on the window living elsewhere.
HWND OwnWindow(DWORD Style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int W = 300, int H = 200)
{
    static bool Registered = false;
    if (!Registered) {
        WNDCLASSA Wc = {};
        Wc.lpfnWndProc = &::DefWindowProcA;
        Wc.hInstance = ::GetModuleHandleA(nullptr);
        Wc.lpszClassName = "QuorvanItemTestWindow";
        ::RegisterClassA(&Wc);
        Registered = true;
    }
    return ::CreateWindowExA(0, "QuorvanItemTestWindow", "Own", Style, 700, 100, W, H, nullptr,
                             nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

std::string Str(const RECT& R)
{
    return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) +
           "," + std::to_string(R.bottom);
}

class ItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillKnownApps();
        FormArgs A;
        A.ClientWidth = 600;
        A.ClientHeight = 400;
        A.CenterOnDesktop = false;
        Main = new Form(&App, A);
        Host = NewHost();
        Main->Show();
    }
    void TearDown() override
    {
        delete Host;
        Monitor.Items.clear();
        delete Main;
        KnownApps.Clear();
        CloseReleasedApps = 0;
    }
    TAppPanel* NewHost()
    {
        AppPanelArgs P;
        P.Parent = Main;
        P.HomeParent = Main;
        P.Monitor = &Monitor;
        P.Width = 320;  // the inner panel: 310 x 250 inside the bevel
        P.Height = 260;
        return new TAppPanel(Main, P);
    }
    TApplicationItem* ItemFor(HWND Wnd, int Known)
    {
        TApplicationItem* I = Monitor.Add();
        I->Handle = Wnd;
        I->Panel = Host->ClientPanel;
        I->SetKnownIndex(Known);
        return I;
    }
    // The helper's main window bound into the host panel, or nullptr.
    TApplicationItem* BindHostee(Hostee& H, Entry Known)
    {
        HWND W = H.WaitWindow("HosteeWindow");
        TApplicationItem* I = W ? ItemFor(W, Known) : nullptr;
        return I && I->BindWindow() ? I : nullptr;
    }
    HWND Inner() const { return Host->ClientPanel->Handle(); }

    TApplication App;
    FakeItemMonitor Monitor;
    Form* Main = nullptr;
    TAppPanel* Host = nullptr;
};

TEST_F(ItemTest, BindingTakesTheHelpersWindowIntoThePanel)
{
    struct Case {
        Entry Known;
        const char* Size;
        RECT Expect;  // in the inner panel, 310 x 250, strip 16
    } Cases[] = {
        {ePlain, "300,200", {0, 0, 310, 250}},
        {eBare, "300,200", {0, 16, 310, 250}},
        {eOwnSize, "400,300", {0, 0, 400, 300}},
        {eOwnSize, "200,100", {0, 0, 310, 250}},
        {eWide, "300,200", {0, 0, 400, 250}},
        {eTallBare, "300,200", {0, 16, 310, 316}},
    };
    ASSERT_EQ(Host->ClientPanel->FontHeight(), -11);
    for (const Case& C : Cases) {
        SCOPED_TRACE(KnownApps.GetKnownApp(C.Known)->Name + " " + C.Size);
        Hostee H(std::string("/size=") + C.Size);
        HWND W = H.WaitWindow("HosteeWindow");
        ASSERT_NE(W, nullptr);
        const LONG Before = ::GetWindowLongA(W, GWL_STYLE);
        TApplicationItem* I = ItemFor(W, C.Known);

        ASSERT_TRUE(I->BindWindow());
        EXPECT_TRUE(I->Bound);
        EXPECT_TRUE(Host->Bound());
        EXPECT_TRUE(I->FirstSize);
        EXPECT_EQ(::GetAncestor(W, GA_PARENT), Inner());
        EXPECT_EQ(I->OldParent, ::GetDesktopWindow());
        EXPECT_EQ(I->OldStyle, Before);
        const bool Bare = KnownApps.GetKnownApp(C.Known)->NoTitle;
        const LONG Expect = Before & ~WS_THICKFRAME & ~(Bare ? WS_CAPTION : 0);
        EXPECT_EQ(::GetWindowLongA(W, GWL_STYLE), Expect);
        // The helper takes its moves when it gets to them.
        ASSERT_TRUE(H.Drain(W));
        EXPECT_TRUE(SameRect(RectIn(W, Inner()), C.Expect)) << Str(RectIn(W, Inner()));
        // The helper saw the restyling.
        char Line[64];
        std::snprintf(Line, sizeof(Line), "main style %08lX %08lX",
                      static_cast<unsigned long>(Before), static_cast<unsigned long>(Expect));
        EXPECT_EQ(H.LogLines("main style"), std::vector<std::string>{Line});
        Monitor.DeleteItem(I);
        EXPECT_TRUE(H.Running());
    }
}

TEST_F(ItemTest, HardSizingIsOnePixelLargerThenExact)
{
    Hostee H("/size=300,200");
    TApplicationItem* I = BindHostee(H, eHard);
    ASSERT_NE(I, nullptr);
    HWND W = I->Handle;
    ASSERT_TRUE(H.Drain(W));
    // Binding moves the window into place in one step.
    EXPECT_EQ(H.LogLines("main pos").back(), "main pos 0 0 310 250");

    struct Step {
        bool Force, Hard;
        std::vector<std::string> Moves;
    } Steps[] = {
        {false, true, {"main pos 0 0 311 251", "main pos 0 0 310 250"}},
        {false, true, {"main pos 0 0 311 251", "main pos 0 0 310 250"}},  // also in place
        {false, false, {}},
        {true, false, {}},  // the exact size again: nothing changes
    };
    for (const Step& S : Steps) {
        SCOPED_TRACE(testing::Message() << "force " << S.Force << " hard " << S.Hard);
        const std::size_t Seen = H.LogLines("main pos").size();
        I->AdjustWindow(S.Force, S.Hard);
        ASSERT_TRUE(H.Drain(W));
        const auto All = H.LogLines("main pos");
        EXPECT_EQ(std::vector<std::string>(All.begin() + static_cast<std::ptrdiff_t>(Seen), All.end()),
                  S.Moves);
        EXPECT_FALSE(I->FirstSize);
    }
}

TEST_F(ItemTest, FirstSizeAndForceResizeAWindowAlreadyInPlace)
{
    struct Case {
        bool FirstSize, Force;
        bool Resized;
    } Cases[] = {{true, false, true}, {false, true, true}, {false, false, false}};
    HWND W = OwnWindow();
    TApplicationItem* I = ItemFor(W, ePlain);
    ASSERT_TRUE(I->BindWindow());
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.FirstSize << C.Force);
        ::SetWindowPos(W, nullptr, 0, 0, 150, 150, SWP_NOZORDER | SWP_NOMOVE);
        I->FirstSize = C.FirstSize;
        I->AdjustWindow(C.Force, false);
        EXPECT_EQ(RectIn(W, Inner()).right, C.Resized ? 310 : 150);
        EXPECT_FALSE(I->FirstSize);
    }
    // Out of place it always moves, and keeps FirstSize.
    ::SetWindowPos(W, nullptr, 7, 7, 150, 150, SWP_NOZORDER);
    I->FirstSize = true;
    I->AdjustWindow(false, false);
    EXPECT_TRUE(SameRect(RectIn(W, Inner()), RECT{0, 0, 310, 250}));
    EXPECT_TRUE(I->FirstSize);
    ::DestroyWindow(W);
}

int Refusals = 0;

// Puts itself at (30, 30), keeping its size, while Refusals lasts.
LRESULT CALLBACK StubbornProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* Pos = reinterpret_cast<WINDOWPOS*>(LParam);
    if (Msg == WM_WINDOWPOSCHANGING && !(Pos->flags & SWP_NOMOVE) && Refusals > 0) {
        --Refusals;
        Pos->x = Pos->y = 30;
        Pos->flags |= SWP_NOSIZE;
    }
    return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
}

TEST_F(ItemTest, AWindowThatMovesItselfBackIsPutInPlaceWithItsOwnSize)
{
    WNDCLASSA Wc = {};
    Wc.lpfnWndProc = &StubbornProc;
    Wc.hInstance = ::GetModuleHandleA(nullptr);
    Wc.lpszClassName = "QuorvanStubbornWindow";
    ::RegisterClassA(&Wc);
    HWND W = ::CreateWindowExA(0, Wc.lpszClassName, "Stubborn", WS_POPUP | WS_VISIBLE, 700, 100,
                               300, 200, nullptr, nullptr, Wc.hInstance, nullptr);
    TApplicationItem* I = ItemFor(W, ePlain);
    ASSERT_TRUE(I->BindWindow());
    ::SetWindowPos(W, nullptr, 7, 7, 200, 150, SWP_NOZORDER);
    Refusals = 1;
    I->AdjustWindow(false, false);
    EXPECT_EQ(Refusals, 0);
    EXPECT_TRUE(SameRect(RectIn(W, Inner()), RECT{0, 0, 200, 150})) << Str(RectIn(W, Inner()));
    Monitor.DeleteItem(I);
    ::DestroyWindow(W);
}

TEST_F(ItemTest, CaptionIsTheWindowTextOrTheApplicationName)
{
    HWND W = OwnWindow();
    TApplicationItem* I = ItemFor(W, eBare);
    ASSERT_TRUE(I->BindWindow());
    EXPECT_EQ(I->Caption, "Own");
    ::SetWindowTextA(W, "");
    I->AdjustWindow(true, false);
    EXPECT_EQ(I->Caption, "Bare App");
    ::DestroyWindow(W);
}

TEST_F(ItemTest, ReleaseRestoresParentStyleAndRectangleExactly)
{
    Hostee H("/size=280,190 /pos=150,120");
    HWND W = H.WaitWindow("HosteeWindow");
    ASSERT_NE(W, nullptr);
    RECT Before;
    ::GetWindowRect(W, &Before);
    const LONG Style = ::GetWindowLongA(W, GWL_STYLE);
    TApplicationItem* I = ItemFor(W, eBare);
    ASSERT_TRUE(I->BindWindow());
    EXPECT_TRUE(SameRect(I->OriginalRect, Before));

    I->ReleaseWindow();
    EXPECT_EQ(::GetAncestor(W, GA_PARENT), ::GetDesktopWindow());
    EXPECT_EQ(::GetWindowLongA(W, GWL_STYLE), Style);
    RECT After;
    ::GetWindowRect(W, &After);
    EXPECT_TRUE(SameRect(After, Before)) << Str(After) << " was " << Str(Before);
    EXPECT_FALSE(I->Bound);
    EXPECT_FALSE(Host->Bound());
    EXPECT_EQ(I->Panel, nullptr);
    EXPECT_EQ(I->KnownIndex(), -1);
    I->ReleaseWindow();  // no panel: nothing more
    EXPECT_TRUE(H.Running());
}

TEST_F(ItemTest, ReleaseClosesOnlyActiveUnkeptItemsWhileAsked)
{
    struct Case {
        int Counter;
        std::uint8_t State;
        bool Kept;
        bool Closed;
    } Cases[] = {
        {0, aisActive, false, false},
        {1, aisActive, false, true},
        {2, aisActive, false, true},
        {1, aisWaiting, false, false},
        {1, aisActive, true, false},
    };
    Hostee H("/noclose");
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Counter << " " << int(C.State) << " " << C.Kept);
        TApplicationItem* I = BindHostee(H, ePlain);
        ASSERT_NE(I, nullptr);
        HWND W = I->Handle;
        I->State = C.State;
        I->Kept = C.Kept;
        CloseReleasedApps = C.Counter;
        const std::size_t Before = H.LogLines("main close").size();
        I->ReleaseWindow();
        ASSERT_TRUE(H.Drain(W));
        EXPECT_EQ(H.LogLines("main close").size() - Before, C.Closed ? 1u : 0u);
        EXPECT_EQ(I->KnownIndex(), C.Kept ? ePlain : -1);
        CloseReleasedApps = 0;
        Monitor.DeleteItem(I);
    }
}

TEST_F(ItemTest, TheCloseCounterScopeUndoesItselfOnException)
{
    {
        TCloseReleasedAppsScope Outer;
        TCloseReleasedAppsScope Inner;
        EXPECT_EQ(CloseReleasedApps, 2);
    }
    EXPECT_EQ(CloseReleasedApps, 0);
    try {
        TCloseReleasedAppsScope Raised;
        throw std::runtime_error("panel removal failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(CloseReleasedApps, 0);
}

TEST_F(ItemTest, WhenAPanelGoesItsWindowGoesBackToTheDesktop)
{
    // Hidden or disabled (a dialog of its own open) included.
    enum How { Normal, Disabled, Hidden, Kept };
    for (How Case : {Normal, Disabled, Hidden, Kept}) {
        SCOPED_TRACE(Case);
        Hostee H("");
        TApplicationItem* I = BindHostee(H, ePlain);
        ASSERT_NE(I, nullptr);
        HWND W = I->Handle;
        const LONG Style = I->OldStyle;
        I->State = aisActive;
        I->Kept = Case == Kept;
        if (Case == Disabled) {
            ::EnableWindow(W, FALSE);  // as its own modal dialog would
            ASSERT_FALSE(::IsWindowEnabled(W));
        }
        if (Case == Hidden)
            ::ShowWindow(W, SW_HIDE);

        delete Host;
        Host = nullptr;
        EXPECT_EQ(::GetAncestor(W, GA_PARENT), ::GetDesktopWindow());
        EXPECT_EQ(::IsWindowEnabled(W) != 0, Case != Disabled);
        EXPECT_EQ(::IsWindowVisible(W) != 0, Case != Hidden);
        const LONG State = WS_VISIBLE | WS_DISABLED;
        EXPECT_EQ(::GetWindowLongA(W, GWL_STYLE) & ~State, Style & ~State);
        if (Case == Kept) {
            ASSERT_EQ(Monitor.Items.size(), 1u);  // only released
            EXPECT_EQ(I->Panel, nullptr);
            EXPECT_EQ(I->KnownIndex(), ePlain);
            Monitor.Items.clear();
        } else {
            EXPECT_TRUE(Monitor.Items.empty());
            EXPECT_EQ(Monitor.Destroying, std::vector<TApplicationItem*>{I});
        }
        Monitor.Destroying.clear();
        ASSERT_TRUE(H.Drain(W));
        EXPECT_TRUE(H.Running());
        EXPECT_TRUE(::IsWindow(W));
        Host = NewHost();
    }
}

TEST_F(ItemTest, DestroyingTheMainWindowLeavesTheHelperAlive)
{
    Hostee H("");
    TApplicationItem* I = BindHostee(H, ePlain);
    ASSERT_NE(I, nullptr);
    HWND W = I->Handle;
    // The window goes before the objects: the panel sees WM_DESTROY first.
    ::DestroyWindow(Main->Handle());
    EXPECT_TRUE(Monitor.Items.empty());
    EXPECT_TRUE(::IsWindow(W));
    EXPECT_EQ(::GetAncestor(W, GA_PARENT), ::GetDesktopWindow());
    ASSERT_TRUE(H.Drain(W));
    EXPECT_TRUE(H.Running());
}

// A program that has stopped (its thread suspended itself) holds none of
// these calls: each returns without the watchdog letting the program go on,
// and what was skipped is done once the program answers again.
TEST_F(ItemTest, AStoppedProgramIsNeverWaitedFor)
{
    enum What { Adjust, Release, PanelGoes, Bind };
    for (What Case : {Adjust, Release, PanelGoes, Bind}) {
        SCOPED_TRACE(Case);
        Hostee H("/size=300,200 /pos=150,120");
        HWND W = H.WaitWindow("HosteeWindow");
        ASSERT_NE(W, nullptr);
        const LONG Style = ::GetWindowLongA(W, GWL_STYLE);
        RECT Before;
        ::GetWindowRect(W, &Before);
        TApplicationItem* I = ItemFor(W, eHard);
        if (Case != Bind) {
            ASSERT_TRUE(I->BindWindow());
        }
        ASSERT_TRUE(H.Drain(W));
        const HANDLE Thread =
            ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, ::GetWindowThreadProcessId(W, nullptr));
        ::PostMessageA(W, WM_APP + 1, 0, 0);
        ASSERT_TRUE(PumpUntil([&] {
            DWORD_PTR R = 0;
            return !::SendMessageTimeoutA(W, WM_NULL, 0, 0, SMTO_NORMAL, 100, &R);
        }, 10000));

        std::atomic<bool> Done{false}, LetGo{false};
        std::thread Watchdog([&] {
            for (int I = 0; I < 2000 && !Done; ++I)
                ::Sleep(10);
            if (!Done) {
                LetGo = true;
                ::ResumeThread(Thread);
            }
        });
        switch (Case) {
        case Adjust:
            Host->SetBounds(0, 0, 420, 330);
            I->AdjustWindow(true, true);
            break;
        case Release:
            I->ReleaseWindow();
            break;
        case PanelGoes:
            delete Host;
            Host = nullptr;
            break;
        case Bind:
            EXPECT_FALSE(I->BindWindow());
            break;
        }
        Done = true;
        Watchdog.join();
        EXPECT_FALSE(LetGo) << "waited for the stopped program";
        ::ResumeThread(Thread);
        ::CloseHandle(Thread);

        switch (Case) {
        case Adjust: {
            ASSERT_TRUE(H.Drain(W));
            RECT Inside;
            ::GetClientRect(Inner(), &Inside);
            EXPECT_TRUE(SameRect(RectIn(W, Inner()), Inside)) << Str(RectIn(W, Inner()));
            break;
        }
        case Release:
        case PanelGoes: {
            EXPECT_TRUE(PumpUntil([&] { return ::GetAncestor(W, GA_PARENT) == ::GetDesktopWindow(); }, 10000));
            EXPECT_EQ(::GetWindowLongA(W, GWL_STYLE), Style);
            RECT After;
            ::GetWindowRect(W, &After);
            EXPECT_TRUE(SameRect(After, Before)) << Str(After);
            break;
        }
        case Bind:
            EXPECT_TRUE(I->BindWindow());
            break;
        }
        Monitor.Items.clear();
        if (!Host)
            Host = NewHost();
    }
}

TEST_F(ItemTest, BindingNeedsEveryCondition)
{
    PanelArgs PlainArgs;
    PlainArgs.Parent = Main;
    Panel* NotHosted = new Panel(Main, PlainArgs);
    struct Case {
        const char* Name;
        std::function<void(TApplicationItem&)> Spoil;
    } Cases[] = {
        {"no window", [](TApplicationItem& I) { I.Handle = nullptr; }},
        {"bound already", [](TApplicationItem& I) { I.Bound = true; }},
        {"no panel", [](TApplicationItem& I) { I.Panel = nullptr; }},
        {"panel of no host", [&](TApplicationItem& I) { I.Panel = NotHosted; }},
        {"hidden", [](TApplicationItem& I) { ::ShowWindow(I.Handle, SW_HIDE); }},
        {"disabled", [](TApplicationItem& I) { ::EnableWindow(I.Handle, FALSE); }},
        {"zero size", [](TApplicationItem& I) {
             ::SetWindowPos(I.Handle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
         }},
        {"no known application", [](TApplicationItem& I) { I.SetKnownIndex(-1); }},
        {"index outside the database", [](TApplicationItem& I) { I.SetKnownIndex(eCount); }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        HWND W = OwnWindow(WS_POPUP | WS_VISIBLE);
        TApplicationItem* I = ItemFor(W, ePlain);
        I->Seconds = 2;
        C.Spoil(*I);
        const bool WasBound = I->Bound;
        EXPECT_FALSE(I->BindWindow());
        EXPECT_EQ(I->Bound, WasBound);
        EXPECT_EQ(::GetParent(W), nullptr);
        if (I->Panel == Host->ClientPanel) {  // the panel still shows the item
            EXPECT_EQ(Host->ClientPanel->Text(), I->HasKnownApp() && !WasBound
                                                     ? "Loading Plain App (2 sec.) ..."
                                                     : "");
        }
        I->Bound = false;
        I->Panel = nullptr;
        Monitor.DeleteItem(I);
        ::DestroyWindow(W);
    }
}

TEST_F(ItemTest, TheItemKeepsItsOptionsWhenTheDatabaseIsRebuilt)
{
    HWND W = OwnWindow();
    TApplicationItem* I = ItemFor(W, eBare);
    KnownApps.Clear();  // a rules update replaced the database
    AddEntry("Other", false, false, 0, 0);
    ASSERT_TRUE(I->BindWindow());
    EXPECT_EQ(::GetWindowLongA(W, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_TRUE(SameRect(RectIn(W, Inner()), RECT{0, 16, 310, 250}));
    EXPECT_EQ(I->Known().Name, "Bare App");
    Monitor.DeleteItem(I);
    ::DestroyWindow(W);
}

TEST_F(ItemTest, PanelShowsTheItemsState)
{
    struct Case {
        const char* Name;
        int Known;
        bool Bound;
        bool Foreground;
        int Seconds;
        const char* Text;
        TColor Color, FontColor;
        bool Bold;
        TVerticalAlignment Vertical;
        std::uint8_t Mode;
    } Cases[] = {
        {"no known application", -1, false, false, 5, "", clBtnFace, clWindowText, false,
         TVerticalAlignment::Center, apmTool},
        {"waiting, 0 s", ePlain, false, false, 0, "", clBtnFace, clWindowText, false,
         TVerticalAlignment::Center, apmCloseUnbind},
        {"waiting, 1 s", ePlain, false, false, 1, "Loading Plain App (1 sec.) ...", clBtnFace,
         clWindowText, false, TVerticalAlignment::Center, apmCloseUnbind},
        {"waiting, 12 s", eBare, false, false, 12, "Loading Bare App (12 sec.) ...", clBtnFace,
         clWindowText, false, TVerticalAlignment::Center, apmCloseUnbind},
        {"bound with title", ePlain, true, false, 0, "", clInactiveCaption,
         clInactiveCaptionText, false, TVerticalAlignment::Top, apmNone},
        {"bound without title", eBare, true, false, 0, "Caption", clInactiveCaption,
         clInactiveCaptionText, false, TVerticalAlignment::Top, apmCloseUnbind},
        {"bound without title, in front", eBare, true, true, 0, "Caption", clActiveCaption,
         clCaptionText, true, TVerticalAlignment::Top, apmCloseUnbind},
    };
    HWND Front = OwnWindow();
    ::SetForegroundWindow(Front);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == Front; }, 3000));
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TApplicationItem* I = ItemFor(C.Foreground ? Front : Main->Handle(), C.Known);
        I->Bound = C.Bound;
        I->Seconds = C.Seconds;
        I->Caption = "Caption";
        I->UpdatePanel();
        Panel* P = Host->ClientPanel;
        EXPECT_EQ(P->Text(), C.Text);
        EXPECT_EQ(P->Color(), C.Color);
        EXPECT_EQ(P->FontColor(), C.FontColor);
        EXPECT_EQ(P->FontBold(), C.Bold);
        EXPECT_EQ(P->VerticalAlignment(), C.Vertical);
        EXPECT_EQ(Host->Mode(), C.Mode);
        I->Bound = false;
        I->Panel = nullptr;
        Monitor.DeleteItem(I);
    }
    ::DestroyWindow(Front);
}

TEST_F(ItemTest, ABoundWindowWithTheFocusShowsActiveColours)
{
    Hostee H("");
    TApplicationItem* I = BindHostee(H, eBare);
    ASSERT_NE(I, nullptr);
    // Our own window in front: the hosted one is not.
    HWND Other = OwnWindow();
    ::SetForegroundWindow(Other);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == Other; }, 3000));
    I->UpdatePanel();
    EXPECT_EQ(Host->ClientPanel->Color(), clInactiveCaption);
    // The host in front with the focus in the hosted window.
    ::DestroyWindow(Other);
    ::SetForegroundWindow(Main->Handle());
    ::SetFocus(I->Handle);
    ASSERT_TRUE(PumpUntil(
        [&] {
            I->UpdatePanel();
            return Host->ClientPanel->Color() == clActiveCaption;
        },
        3000));
    EXPECT_TRUE(Host->ClientPanel->FontBold());
}

TEST(IsUsableWindowTest, NeedsAVisibleEnabledWindowWithASize)
{
    struct Case {
        const char* Name;
        std::function<void(HWND)> Make;
        bool Usable, UsableSkippingSize;
    } Cases[] = {
        {"normal", [](HWND) {}, true, true},
        {"hidden", [](HWND W) { ::ShowWindow(W, SW_HIDE); }, false, false},
        {"disabled", [](HWND W) { ::EnableWindow(W, FALSE); }, false, false},
        {"zero width", [](HWND W) {
             ::SetWindowPos(W, nullptr, 0, 0, 0, 50, SWP_NOMOVE | SWP_NOZORDER);
         }, false, true},
        {"zero height", [](HWND W) {
             ::SetWindowPos(W, nullptr, 0, 0, 50, 0, SWP_NOMOVE | SWP_NOZORDER);
         }, false, true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        HWND W = OwnWindow(WS_POPUP | WS_VISIBLE);
        C.Make(W);
        EXPECT_EQ(IsUsableWindow(W, false), C.Usable);
        EXPECT_EQ(IsUsableWindow(W, true), C.UsableSkippingSize);
        ::DestroyWindow(W);
        EXPECT_FALSE(IsUsableWindow(W, true));
    }
    EXPECT_FALSE(IsUsableWindow(nullptr, true));
}

}  // namespace
