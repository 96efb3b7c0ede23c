#include "hosting/ApplicationItem.h"

#include "hosting/AppInfoWin.h"
#include "hosting/AppPanel.h"
#include "hosting/KnownApps.h"
#include "hosting/ParkedWindows.h"
#include "toolkit/Application.h"

#include <cstdio>
#include <map>

int CloseReleasedApps = 0;

bool IsUsableWindow(HWND Handle, bool SkipSizeCheck)
{
    if (!Handle || !::IsWindow(Handle) || !::IsWindowVisible(Handle) || !::IsWindowEnabled(Handle))
        return false;
    if (SkipSizeCheck)
        return true;
    RECT R;
    return ::GetWindowRect(Handle, &R) && R.right - R.left >= 1 && R.bottom - R.top >= 1;
}

std::string LoadingText(const std::string& Name, int Seconds)
{
    static const char* const Format = "Loading %s (%d sec.) ...";
    const int Len = std::snprintf(nullptr, 0, Format, Name.c_str(), Seconds);
    std::string S(static_cast<std::size_t>(Len) + 1, '\0');
    std::snprintf(&S[0], S.size(), Format, Name.c_str(), Seconds);
    S.resize(static_cast<std::size_t>(Len));
    return S;
}

namespace {
// Items by token: an answer may come after its item has gone.
std::map<unsigned, TApplicationItem*>& Watched()
{
    static std::map<unsigned, TApplicationItem*> Items;
    return Items;
}
unsigned NextToken = 1;
}  // namespace

TApplicationItem::TApplicationItem(IItemMonitor* Monitor) : Monitor(Monitor), FToken(NextToken++)
{
    Watched()[FToken] = this;
}

TApplicationItem::~TApplicationItem()
{
    Watched().erase(FToken);
    Guarded([this] {
        if (Monitor)
            Monitor->ItemDestroying(*this);
        ReleaseWindow();
    });
}

void TApplicationItem::SetKnownIndex(std::int32_t Index)
{
    FKnownIndex = Index;
    const Tknownapp* E = KnownApps.GetKnownApp(Index);
    FHasKnown = E != nullptr;
    FKnown = TKnownAppOptions();
    FKnown.WindowTitle = E ? E->WindowTitle : NotGiven;
    FKnown.WindowClass = E ? E->WindowClass : NotGiven;
    if (E) {
        FKnown.Name = E->Name;
        FKnown.Method = E->Method;
        FKnown.NoTitle = E->NoTitle;
        FKnown.HardSizing = E->HardSizing;
        FKnown.MinWidth = E->MinWidth;
        FKnown.MinHeight = E->MinHeight;
    }
}

bool TApplicationItem::IsItemOf(const Tknownapp* Entry) const
{
    return Entry && FHasKnown && Entry->Name == FKnown.Name &&
           Entry->WindowTitle == FKnown.WindowTitle && Entry->WindowClass == FKnown.WindowClass;
}

// A bound window is a child and never the foreground window itself: it is
// in front when its host window is and the keyboard focus lies in it.
bool IsInFront(HWND Wnd)
{
    return IsInFront(Wnd, ::GetForegroundWindow());
}

bool IsInFront(HWND Wnd, HWND Front)
{
    if (!Wnd || !Front)
        return false;
    if (Front == Wnd)
        return true;
    if (Front != ::GetAncestor(Wnd, GA_ROOT))
        return false;
    GUITHREADINFO Info = {};
    Info.cbSize = sizeof(Info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(Wnd, nullptr), &Info) || !Info.hwndFocus)
        return false;
    return Info.hwndFocus == Wnd || ::IsChild(Wnd, Info.hwndFocus);
}

void TApplicationItem::UpdatePanel()
{
    TAppPanel* Host = AppPanelOf(Panel);
    if (!Host)
        return;
    if (!HasKnownApp()) {
        Panel->SetText("");
        Panel->SetColor(clBtnFace);
        Panel->SetFontColor(clWindowText);
        Panel->SetVerticalAlignment(TVerticalAlignment::Center);
        Host->SetMode(apmTool);
    } else if (Bound) {
        // Without its own caption the window sits below a strip in which
        // the panel draws it.
        Panel->SetText(FKnown.NoTitle ? Caption : std::string());
        const bool Active = IsInFront(Handle);
        Panel->SetColor(Active ? clActiveCaption : clInactiveCaption);
        Panel->SetFontColor(Active ? clCaptionText : clInactiveCaptionText);
        Panel->SetFontBold(Active);
        Panel->SetVerticalAlignment(TVerticalAlignment::Top);
        Host->SetMode(FKnown.NoTitle ? apmCloseUnbind : apmNone);
    } else {
        Panel->SetText(Seconds >= 1 ? LoadingText(FKnown.Name, Seconds) : std::string());
        Panel->SetColor(clBtnFace);
        Panel->SetFontColor(clWindowText);
        Panel->SetVerticalAlignment(TVerticalAlignment::Center);
        Host->SetMode(apmCloseUnbind);
    }
}

// Windows keeps the old frame after a style change until told, and a move
// that keeps the size would not tell it. Queued to the window's thread:
// the host never waits for another program to take it.
static void RecalcFrame(HWND Wnd)
{
    ::SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                       SWP_ASYNCWINDOWPOS);
}

// MoveWindow, queued to a window of another thread: a program that does
// not answer takes it when it answers again; one of ours at once.
static void MoveQueued(HWND Wnd, int X, int Y, int Width, int Height)
{
    ::SetWindowPos(Wnd, nullptr, X, Y, Width, Height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

bool TApplicationItem::BindWindow()
{
    bool Result = false;
    // Reparenting and restyling wait for the window's program: one that
    // does not answer, or whose window is still to be given back from an
    // earlier panel, is bound at a later pass.
    if (Handle && !Bound && Panel && IsUsableWindow(Handle, false) && HasKnownApp() &&
        AppPanelOf(Panel) && !IsGivingBack(Handle) && IsAnswering(Handle)) {
        // The panel's resize handler arranges the overlays before the
        // window moves in.
        if (Panel->OnResize)
            Panel->OnResize();
        RECT R;
        if (::GetWindowRect(Handle, &R)) {
            if (!::GetWindowRect(Handle, &OriginalRect))
                OriginalRect = RECT{0, 0, 0, 0};
            OldParent = ::SetParent(Handle, Panel->Handle());
            if (OldParent) {
                OldStyle = ::GetWindowLongA(Handle, GWL_STYLE);
                LONG Style = OldStyle & ~WS_THICKFRAME;
                if (FKnown.NoTitle)
                    Style &= ~WS_CAPTION;
                ::SetWindowLongA(Handle, GWL_STYLE, Style);
                RecalcFrame(Handle);
                Bound = true;
                if (TAppPanel* Host = AppPanelOf(Panel))
                    Host->SetBound(true);
                Result = true;
                FAsked = false;
                AdjustWindow(true, true);
                FirstSize = true;
                Kept = false;
            }
        }
    }
    UpdatePanel();
    return Result;
}

void TApplicationItem::AdjustWindow(bool Force, bool Hard)
{
    RECT Wr;
    if (!Panel || !HasKnownApp() || !Bound || !::GetWindowRect(Handle, &Wr))
        return;
    POINT TopLeft = {Wr.left, Wr.top};
    ::ScreenToClient(Panel->Handle(), &TopLeft);

    POINT MinSize = {FKnown.MinWidth, FKnown.MinHeight};
    if (MinSize.x == -1 && MinSize.y == -1)
        GetOriginalSize(MinSize);
    RECT T;
    GetAppClientRect(Panel, FKnown.NoTitle, MinSize, T);
    const int Width = T.right - T.left;
    const int Height = T.bottom - T.top;

    const bool HardNow = Hard && FKnown.HardSizing;
    // A window of another thread takes its moves when it gets to them:
    // while the last ones for this place wait, asking again would only
    // pile them up.
    const bool Own = ::GetWindowThreadProcessId(Handle, nullptr) == ::GetCurrentThreadId();
    const bool Waiting = !Own && FAsked && ::EqualRect(&T, &FAskedRect);
    bool Moved = false;
    if (!Waiting && (TopLeft.x != T.left || TopLeft.y != T.top)) {
        MoveQueued(Handle, T.left, T.top, Width, Height);
        Moved = true;
    } else if (!Waiting && (Force || FirstSize || HardNow)) {
        // Some programs lay themselves out only when the size changes.
        if (HardNow)
            MoveQueued(Handle, T.left, T.top, Width + 1, Height + 1);
        MoveQueued(Handle, T.left, T.top, Width, Height);
        FirstSize = false;
        Moved = true;
    }
    // Its answer to a message behind the moves says they are taken.
    if (Moved && !Own) {
        FAsked = ::SendMessageCallbackA(Handle, WM_NULL, 0, 0, &Answered, FToken) != FALSE;
        FAskedRect = T;
    }
    // A window that moved itself back is put in place with its own size:
    // one of ours now, another program's once it has taken the moves.
    if (Own)
        KeepInPlace(T);
    Caption = GetWindowTitle(Handle);
    if (Caption.empty())
        Caption = FKnown.Name;
}

void TApplicationItem::WatchAnswer()
{
    if (!Bound || !Handle)
        return;
    const DWORD Thread = ::GetWindowThreadProcessId(Handle, nullptr);
    if (!Thread || Thread == ::GetCurrentThreadId())
        return;
    if (!FProbeOut) {
        FProbeOut = ::SendMessageCallbackA(Handle, WM_NULL, 0, 0, &Answered, FToken) != FALSE;
    } else if (!FDetached) {
        FDetached = ::AttachThreadInput(Thread, ::GetCurrentThreadId(), FALSE) != FALSE;
    }
}

void TApplicationItem::KeepInPlace(const RECT& T)
{
    RECT Wr;
    if (!Panel || !::GetWindowRect(Handle, &Wr))
        return;
    POINT Now = {Wr.left, Wr.top};
    ::ScreenToClient(Panel->Handle(), &Now);
    if (Now.x != T.left || Now.y != T.top)
        MoveQueued(Handle, T.left, T.top, Wr.right - Wr.left, Wr.bottom - Wr.top);
}

void CALLBACK TApplicationItem::Answered(HWND Wnd, UINT, ULONG_PTR Token, LRESULT)
{
    const auto It = Watched().find(static_cast<unsigned>(Token));
    if (It == Watched().end())
        return;
    TApplicationItem& Item = *It->second;
    // Everything sent before has been taken.
    Item.FProbeOut = false;
    if (Item.FAsked && Item.Bound && Item.Handle == Wnd) {
        Item.FAsked = false;
        Item.KeepInPlace(Item.FAskedRect);
    }
    if (Item.FDetached && Item.Bound && Item.Handle == Wnd)
        Item.FDetached = !::AttachThreadInput(::GetWindowThreadProcessId(Wnd, nullptr),
                                              ::GetCurrentThreadId(), TRUE);
}

void TApplicationItem::GetOriginalSize(POINT& Size) const
{
    Size.x = OriginalRect.right - OriginalRect.left;
    Size.y = OriginalRect.bottom - OriginalRect.top;
}

void TApplicationItem::UnbindWindow()
{
    TAppPanel* Host = AppPanelOf(Panel);
    if (!Host)
        return;
    // Hidden or disabled (a dialog of its own is open) the window still
    // goes back to the desktop: left in the panel it would die with it.
    // One whose program does not answer is given back when it answers
    // again; meanwhile its panel may go (the panel parks its window).
    if (Bound && Handle && ::IsWindow(Handle)) {
        const TGiveBack Back = {Handle, OldParent, OldStyle, OriginalRect};
        if (IsAnswering(Handle))
            GiveBack(Back);
        else
            GiveBackLater(Back);
    }
    FAsked = false;
    if (!Kept)
        SetKnownIndex(-1);
    Bound = false;
    Host->SetBound(false);
    UpdatePanel();
    Panel = nullptr;
}

void TApplicationItem::ReleaseWindow()
{
    if (!Panel)
        return;
    UnbindWindow();
    if (!Kept && CloseReleasedApps != 0 && State == aisActive)
        ::PostMessageA(Handle, WM_CLOSE, 0, 0);
}
