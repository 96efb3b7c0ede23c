#include "hosting/appmonitor.h"

#include "components/DatabaseGrid.h"
#include "hosting/AppInfoWin.h"
#include "hosting/AppPanel.h"
#include "hosting/KnownApps.h"
#include "hosting/MonitorRules.h"
#include "hosting/ParkedWindows.h"
#include "hosting/VelmoraWin.h"
#include "hosting/confirmation.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include <algorithm>
#include <map>

const char* const AlreadyRunningQuestions[2] = {
    "There's already an app. \"%s\" running.\rDo you want to bind this application?",
    "There's already an app. \"%s\" running.\rDo you want to bind this application\r"
    "instead of starting a new one?",
};
const char* const OnlyOnceRefusal = "\"%s\" can only be opened 1 times!";

namespace {

// How often, and for how long after a start, passes look for the started
// program's first window: a user clicks a fifth of a second after it
// shows at the soonest.
const unsigned SoonInterval = 50;
const DWORD SoonFor = 5000;

std::string WithName(const char* Format, const std::string& Name)
{
    std::string S = Format;
    const std::size_t At = S.find("%s");
    if (At != std::string::npos)
        S.replace(At, 2, Name);
    return S;
}

std::string ExpandFileName(const std::string& FileName)
{
    char Full[MAX_PATH];
    const DWORD Len = ::GetFullPathNameA(FileName.c_str(), MAX_PATH, Full, nullptr);
    return Len > 0 && Len < MAX_PATH ? std::string(Full, Len) : FileName;
}

// The window still exists and is the process's: a destroyed window's
// handle may come to another one.
bool IsWindowOf(HWND Wnd, std::uint32_t Pid)
{
    DWORD Owner = 0;
    return Wnd && ::IsWindow(Wnd) && ::GetWindowThreadProcessId(Wnd, &Owner) && Owner == Pid;
}

// The panel is ours and may have gone while a question was open.
::Panel* LivePanel(HWND Wnd)
{
    return Wnd && ::IsWindow(Wnd) ? dynamic_cast<::Panel*>(Control::FromHandle(Wnd)) : nullptr;
}

// Up to TimeoutMs for a started program to become idle for input; the
// window meanwhile paints and answers other threads, but takes no input:
// nothing the user does runs in the middle of a start.
void WaitForStartIdle(HANDLE Process, DWORD TimeoutMs)
{
    const DWORD Start = ::GetTickCount();
    for (;;) {
        const DWORD Spent = ::GetTickCount() - Start;
        if (Spent >= TimeoutMs ||
            ::WaitForInputIdle(Process, std::min<DWORD>(TimeoutMs - Spent, 10)) != WAIT_TIMEOUT)
            return;
        MSG Msg;
        // Sent messages are handled inside the look.
        ::PeekMessageA(&Msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        while (::PeekMessageA(&Msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT))
            ::DispatchMessageA(&Msg);
    }
}

}  // namespace

TApplicationMonitor::TApplicationMonitor(Component* Owner, TDatabaseGrid* AppListGrid)
    : AppListGrid(AppListGrid), FOwner(Owner)
{
    Timer = std::make_unique<::Timer>(nullptr, 1000, false);
    // With bound programs the timer ticks every second for as long as they
    // run: the idle pass follows only a tick that changed what it shows.
    Timer->QuietTicks = true;
    Timer->OnTimer = [this] { TimerTick(); };
    FSoon = std::make_unique<::Timer>(nullptr, SoonInterval, false);
    FSoon->QuietTicks = true;
    FSoon->OnTimer = [this] { SoonTick(); };
    FEnded = std::make_unique<HandleWatch>(nullptr);
    FEnded->OnSignalled = [this](HANDLE Process) { ProcessEnded(Process); };
    Windows = MakeDesktopAppInfo();
    Windows->SetActive(false);
    Windows->OnAfterUpdateList = [this](TAppInfo&) { WindowsChanged(); };
}

TApplicationMonitor::~TApplicationMonitor()
{
    FSoon.reset();
    // The items go first, while the list and the timer that their
    // destruction handlers may touch still exist.
    while (!FItems.empty())
        DeleteItem(0);
    Windows.reset();
    Timer.reset();
    ForgetPanels();
    ForgetProcesses(true);
    FEnded.reset();
}

void TApplicationMonitor::ForgetPanels()
{
    // Host panels outlive the monitor at shutdown and must not call it.
    struct Walk {
        IItemMonitor* Self;
        static BOOL CALLBACK Child(HWND Wnd, LPARAM Param)
        {
            auto* W = reinterpret_cast<Walk*>(Param);
            if (auto* Host = dynamic_cast<TAppPanel*>(Control::FromHandle(Wnd)))
                if (Host->Monitor == W->Self)
                    Host->Monitor = nullptr;
            return TRUE;
        }
        static BOOL CALLBACK Top(HWND Wnd, LPARAM Param)
        {
            ::EnumChildWindows(Wnd, &Walk::Child, Param);
            return TRUE;
        }
    } W{this};
    ::EnumThreadWindows(::GetCurrentThreadId(), &Walk::Top, reinterpret_cast<LPARAM>(&W));
}

// --- Items ---

void TApplicationMonitor::ShownChanged()
{
    if (Application)
        Application->IdleNeeded();
}

TApplicationItem* TApplicationMonitor::Add()
{
    // Added on a command (input) or from an event of the tick that bound
    // the main window: the idle pass follows either.
    FItems.push_back(Slot{std::make_unique<TApplicationItem>(this), FNextSerial++});
    return FItems.back().Item.get();
}

void TApplicationMonitor::DeleteItem(int Index)
{
    // Out of the list first: its destruction runs handlers that may look.
    std::unique_ptr<TApplicationItem> Doomed = std::move(FItems[static_cast<std::size_t>(Index)].Item);
    FItems.erase(FItems.begin() + Index);
    // Its panel is cleared as it goes; what lay under the pointer changed
    // with its window, which the system tells as a mouse move.
}

void TApplicationMonitor::DeleteItem(TApplicationItem* Item)
{
    for (int I = 0; I < Count(); ++I)
        if (Items(I) == Item) {
            DeleteItem(I);
            return;
        }
}

TApplicationItem* TApplicationMonitor::FindItemByPanel(const ::Panel* ClientPanel)
{
    for (const Slot& S : FItems)
        if (S.Item->Panel == ClientPanel)
            return S.Item.get();
    return nullptr;
}

void TApplicationMonitor::ItemDestroying(TApplicationItem& Item)
{
    if (OnItemDestroy)
        OnItemDestroy(Item);
}

std::vector<unsigned> TApplicationMonitor::Serials() const
{
    std::vector<unsigned> Out;
    for (const Slot& S : FItems)
        Out.push_back(S.Serial);
    return Out;
}

TApplicationMonitor::Slot* TApplicationMonitor::SlotOf(const TApplicationItem* Item)
{
    for (Slot& S : FItems)
        if (S.Item.get() == Item)
            return &S;
    return nullptr;
}

TApplicationItem* TApplicationMonitor::ItemBySerial(unsigned Serial) const
{
    for (const Slot& S : FItems)
        if (S.Serial == Serial)
            return S.Item.get();
    return nullptr;
}

TApplicationItem* TApplicationMonitor::HeldItemOf(HWND Handle, std::uint32_t Pid, bool BoundOnly) const
{
    for (const Slot& S : FItems)
        if ((S.Item->Bound || !BoundOnly) && S.Item->Handle == Handle && S.Item->ProcessId == Pid)
            return S.Item.get();
    return nullptr;
}

// --- Opening ---

bool TApplicationMonitor::OpenApplication(const std::string& AppName, const std::string& Exe,
                                          TIdentifyInfo& Info, bool AsExternal, bool ShowErrors,
                                          ::Panel* Panel, const std::string& Params)
{
    bool Result = false;
    Info = TIdentifyInfo();
    std::string Message;
    const TIdentifyResult Kind = CheckApplication(AppName, Exe, Info, Message, AsExternal);
    if (Kind == irBind || Kind == irExternal) {
        const Tknownapp* E = KnownApps.GetKnownApp(Info.Index);
        if (E && E->Method == amBind)
            Result = StartOrBind(AsExternal, Exe, AsExternal ? nullptr : Panel, Info.Index, Params);
        else if (E && E->Method == amExternal)
            Result = StartOrBind(AsExternal, Exe, nullptr, Info.Index, Params);
    }
    // Also after an external application was started without AsExternal:
    // the message says why it is not in the panel.
    if (ShowErrors && !Message.empty())
        ShowMessage(Message);
    return Result;
}

bool TApplicationMonitor::StartOrBind(bool AsExternal, std::string Exe, ::Panel* Panel, int Index,
                                      const std::string& Params)
{
    Exe = ExpandFileName(Exe);
    if (ReuseKeptItem(Exe, Index, Panel))
        return true;
    const Tknownapp* E = KnownApps.GetKnownApp(Index);
    if (!E)
        return false;
    const std::string Name = E->Name;
    const std::int32_t WindowNo = E->WindowNumber;
    const bool Allowed = !E->OnlyOnce || CountAppInstances(Index) < 1;
    const HWND PanelWnd = Panel ? Panel->Handle() : nullptr;
    bool Result = false;
    bool TakenOver = false;
    TWindowItem* Rec = nullptr;

    if (!AsExternal && WindowNo <= 1 && FindAppWindow(Index, Exe, Rec, true)) {
        const std::uint32_t Pid = Rec->ProcessId;
        const TWindowHandle Wnd = Rec->Handle;
        const std::string Class = Rec->ClassName;
        const std::uint8_t Answer =
            ConfirmationForm
                ? ShowConfirmation(ConfirmationForm,
                                   WithName(AlreadyRunningQuestions[Allowed ? 1 : 0], Name),
                                   Remembered, "Confirmation...", ckYesNoCancel, -1)
                : Remembered != 0 ? Remembered : std::uint8_t(caCancelled);
        // Ticks ran during the question: the window, its record and the
        // panel are looked at anew.
        Panel = PanelWnd ? LivePanel(PanelWnd) : nullptr;
        if (Answer == caYes) {
            TakenOver = true;
            const TWindowItem* Now = Windows->Windows.FindWindowItem(Pid, Wnd, Class);
            if (Now && IsListed(*Now) && !IsProcessBound(Pid) && (Panel || !PanelWnd)) {
                TakeOver(Exe, Pid, Wnd, Class, Index, PanelWnd, AsExternal);
                Result = true;
            }
        } else if (Answer == caNo && Allowed && (Panel || !PanelWnd)) {
            Result = StartAndAdd(AsExternal, Exe, Params, Index, PanelWnd);
        }
    } else if (!AsExternal && WindowNo >= 2) {
        // A further window is only ever taken from the running main
        // application, never started.
        if (!FindFamilyWindow(Index, Exe, Rec))
            return false;
        TakeOver(Exe, Rec->ProcessId, Rec->Handle, Rec->ClassName, Index, PanelWnd, AsExternal);
        return true;
    } else if (Allowed) {
        Result = StartAndAdd(AsExternal, Exe, Params, Index, PanelWnd);
    }
    if (!Allowed && !TakenOver)
        ShowMessage(WithName(OnlyOnceRefusal, Name));
    return Result;
}

// The running program's window goes to a new item, which the next pass
// binds. Class is a copy: deleting items runs passes that drop records.
void TApplicationMonitor::TakeOver(const std::string& Exe, std::uint32_t Pid, TWindowHandle Wnd,
                                   std::string Class, int Index, HWND PanelWnd, bool AsExternal)
{
    RemoveItemsForExe(Exe, Pid);
    AddItem(Exe, Pid, Index, LivePanel(PanelWnd), AsExternal);
    MarkForRecheck(Pid, Wnd, Class);
}

bool TApplicationMonitor::StartAndAdd(bool AsExternal, const std::string& Exe,
                                      const std::string& Params, int Index, HWND PanelWnd)
{
    std::uint32_t Pid = 0;
    if (!StartProcess(AsExternal, Exe, Params, Pid))
        return false;
    // The start waited for input idle: the panel is looked up anew.
    AddItem(Exe, Pid, Index, LivePanel(PanelWnd), AsExternal);
    // A program whose window is up by now is bound at once, not a tick
    // later.
    RefreshWindows();
    if (AwaitsFirstWindow()) {
        FSoonUntil = ::GetTickCount() + SoonFor;
        FSoon->SetEnabled(true);
    }
    return true;
}

bool TApplicationMonitor::AwaitsFirstWindow() const
{
    for (const Slot& S : FItems) {
        const TApplicationItem& I = *S.Item;
        if (I.Panel && !I.Bound && I.State == aisWaiting && !I.Handle)
            return true;
    }
    return false;
}

void TApplicationMonitor::SoonTick()
{
    // The second's tick or a pass running (a modal loop inside one) sees
    // to it.
    if (FInTick || Windows->PassDepth() > 0)
        return;
    if (static_cast<LONG>(::GetTickCount() - FSoonUntil) >= 0 || !AwaitsFirstWindow()) {
        FSoon->SetEnabled(false);
        return;
    }
    RefreshWindows();
    if (!AwaitsFirstWindow()) {
        FSoon->SetEnabled(false);
        LookAtTheDesktop();
        ShownChanged();
    }
}

// Deleting items runs handlers that may run passes: the record is found
// again by its window rather than kept.
void TApplicationMonitor::MarkForRecheck(std::uint32_t Pid, TWindowHandle Wnd,
                                         const std::string& Class)
{
    if (TWindowItem* Rec = Windows->Windows.FindWindowItem(Pid, Wnd, Class))
        Rec->State = wisRecheck;
    Timer->SetEnabled(true);
}

bool TApplicationMonitor::StartProcess(bool AsExternal, const std::string& Exe,
                                       const std::string& Params, std::uint32_t& Pid)
{
    Pid = 0;
    STARTUPINFOA Si = {};
    Si.cb = sizeof(Si);
    Si.dwFlags = STARTF_USESHOWWINDOW;
    Si.wShowWindow = SW_SHOW;
    // Named to the system as well, so the path alone decides what starts.
    std::string CommandLine = StartCommandLine(Exe, Params);
    const std::string Folder = ExtractFilePath(Exe);
    PROCESS_INFORMATION Pi = {};
    if (!::CreateProcessA(Exe.c_str(), &CommandLine[0], nullptr, nullptr, FALSE,
                          NORMAL_PRIORITY_CLASS, nullptr, Folder.empty() ? nullptr : Folder.c_str(),
                          &Si, &Pi))
        return false;
    WaitForStartIdle(Pi.hProcess, 500);
    if (!AsExternal && Application)
        Application->BringToFront();
    ::CloseHandle(Pi.hThread);
    // One that has ended already counts as a failed start.
    const bool Running = ::WaitForSingleObject(Pi.hProcess, 0) == WAIT_TIMEOUT;
    if (!Running) {
        ::CloseHandle(Pi.hProcess);
        return false;
    }
    Pid = Pi.dwProcessId;
    // Kept for the timer's look at whether the process still runs.
    HANDLE& Kept = FProcesses[Pid];
    if (Kept)
        CloseHandleOf(Kept);
    Kept = Pi.hProcess;
    return true;
}

TApplicationItem* TApplicationMonitor::AddItem(const std::string& Exe, std::uint32_t Pid, int Index,
                                               ::Panel* Panel, bool AsExternal)
{
    const Tknownapp* E = KnownApps.GetKnownApp(Index);
    TApplicationItem* Item = Add();
    Item->Caption = E ? E->WindowTitle : NotGiven;
    Item->ClassName = E ? E->WindowClass : NotGiven;
    Item->WindowNo = E ? E->WindowNumber : 0;
    Item->ExeName = Exe;
    Item->State = AsExternal ? aisActive : aisWaiting;
    Item->ProcessId = Pid;
    Item->Panel = AsExternal ? nullptr : Panel;
    Item->Handle = nullptr;
    Item->Seconds = 1;
    Item->SetKnownIndex(Index);
    // The user went on working: a close request still pending is void.
    Closing = false;
    Timer->SetEnabled(true);
    return Item;
}

bool TApplicationMonitor::ReuseKeptItem(const std::string& Exe, int Index, ::Panel* Panel)
{
    const Tknownapp* Entry = KnownApps.GetKnownApp(Index);
    for (const unsigned Serial : Serials()) {
        TApplicationItem* Item = ItemBySerial(Serial);
        if (!Item || !Item->Kept || Item->Panel || !Item->IsItemOf(Entry))
            continue;
        TWindowItem* Rec = nullptr;
        // The search runs a pass, which may drop this very item.
        if (!FindAppWindow(Index, Exe, Rec, true) || !(Item = ItemBySerial(Serial)))
            continue;
        Item->SetKnownIndex(Index);
        Item->State = aisWaiting;
        Item->Panel = Panel;
        Item->Handle = nullptr;
        Item->Seconds = 1;
        Rec->State = wisRecheck;
        Closing = false;
        Timer->SetEnabled(true);
        return true;
    }
    return false;
}

void TApplicationMonitor::RemoveItemsForExe(const std::string& Exe, std::uint32_t Pid)
{
    while (TApplicationItem* Item = FindItem(Exe, nullptr, Pid, aisWaiting, NotGiven, NotGiven, false))
        DeleteItem(Item);
}

// --- Window searches ---

bool TApplicationMonitor::FindAppWindow(int Index, const std::string& Exe, TWindowItem*& Rec,
                                        bool Exclusive)
{
    const Tknownapp* E = KnownApps.GetKnownApp(Index);
    return FindRuledWindow(E ? E->WindowTitle : NotGiven, E ? E->WindowClass : NotGiven, Exe, Rec,
                           Exclusive);
}

bool TApplicationMonitor::FindRuledWindow(const std::string TitleRule, const std::string ClassRule,
                                          const std::string& Exe, TWindowItem*& Rec,
                                          bool Exclusive)
{
    Rec = nullptr;
    RefreshWindows();
    const TAppWindowCollection& List = Windows->Windows;
    for (int I = 0; I < List.Count(); ++I) {
        TWindowItem* R = List.Items(I);
        if (!IsListed(*R) || !WindowFitsRules(*R, ExeOf(*R, true), Exe, TitleRule, ClassRule))
            continue;
        if (Exclusive &&
            (IsProcessBound(R->ProcessId) || IsForbiddenWindow(R->ExeName, R->Title, R->ClassName)))
            continue;
        Rec = R;
        return true;
    }
    return false;
}

bool TApplicationMonitor::FindFamilyWindow(int Index, const std::string& Exe, TWindowItem*& Rec)
{
    Rec = nullptr;
    TWindowItem* Main = nullptr;
    const Tknownapp* E = KnownApps.GetKnownApp(Index);
    if (!E || !FindAppWindow(MainEntryOf(Index), Exe, Main, false))
        return false;
    const TAppWindowCollection& List = Windows->Windows;
    for (int I = 0; I < List.Count(); ++I) {
        TWindowItem* R = List.Items(I);
        if (IsListed(*R) && WindowFitsRules(*R, ExeOf(*R, true), Exe, E->WindowTitle, E->WindowClass) &&
            ::IsWindowVisible(ToHwnd(R->Handle)) && !IsWindowBound(R->ProcessId, ToHwnd(R->Handle))) {
            Rec = R;
            return true;
        }
    }
    return false;
}

int TApplicationMonitor::CountAppInstances(int Index)
{
    RefreshWindows();
    // Windows of one program share the answer.
    std::map<std::string, bool> Known;
    int Instances = 0;
    const TAppWindowCollection& List = Windows->Windows;
    for (int I = 0; I < List.Count(); ++I) {
        const TWindowItem& R = *List.Items(I);
        if (!IsListed(R))
            continue;
        const std::string Exe = ExeOf(R, true);
        const std::string Key = LowerCaseAscii(Exe);
        auto It = Known.find(Key);
        if (It == Known.end()) {
            TIdentifyInfo Info;
            std::string Unused;
            const TIdentifyResult Kind = CheckApplication("", Exe, Info, Unused, true);
            It = Known.emplace(Key, (Kind == irBind || Kind == irExternal) && Info.Index == Index).first;
        }
        Instances += It->second;
    }
    return Instances;
}

bool TApplicationMonitor::ResolveEmulatorExe(const std::string& ClassName, std::string& Exe,
                                             bool UseAppList)
{
    if (!SameText(ExtractFileName(Exe), "ntvdm.exe") || !SameText(ClassName, "WinZ80"))
        return false;
    for (const Slot& S : FItems)
        if (SameText(ExtractFileName(S.Item->ExeName), "WinZ80.exe")) {
            Exe = S.Item->ExeName;
            return true;
        }
    if (!UseAppList || !AppListGrid || AppListGrid->ColumnIndex("Application") < 0 ||
        AppListGrid->ColumnIndex("Location") < 0)
        return false;
    for (int Row = 1; Row <= AppListGrid->RecordCount(); ++Row) {
        const std::string App = AppListGrid->CellByName("Application", Row);
        const std::string Location = AppListGrid->CellByName("Location", Row);
        if (SameText(App.substr(0, 6), "WinZ80") && FileExists(Location)) {
            Exe = Location;
            return true;
        }
    }
    return false;
}

std::string TApplicationMonitor::ExeOf(const TWindowItem& Rec, bool UseAppList)
{
    std::string Exe = Rec.ExeName;
    ResolveEmulatorExe(Rec.ClassName, Exe, UseAppList);
    return Exe;
}

HWND TApplicationMonitor::OwnerWindow() const
{
    const auto* Owner = dynamic_cast<const Form*>(FOwner);
    return Owner ? Owner->Handle() : nullptr;
}

void TApplicationMonitor::RefreshWindows()
{
    if (!Windows)
        return;
    const HWND Parent = OwnerWindow();
    Windows->UpdateList(Parent ? FromHwnd(Parent) : NoParentWindow, true, true, false, true);
    // Events wait for the end of the outermost pass: their handlers may
    // open applications, which run passes of their own.
    if (Windows->PassDepth() == 0)
        FirePendingEvents();
}

bool TApplicationMonitor::ProcessExists(std::uint32_t Pid, bool Refresh)
{
    if (Refresh)
        Windows->Windows.RefreshProcessList();
    TProcessItem P;
    return Windows->Windows.FindProcessItem(Pid, P);
}

HANDLE TApplicationMonitor::WatchedProcess(std::uint32_t Pid)
{
    const auto Known = FProcesses.find(Pid);
    if (Known != FProcesses.end())
        return Known->second;
    // Held from here on, the id cannot go to another process meanwhile.
    HANDLE Process = ::OpenProcess(SYNCHRONIZE, FALSE, Pid);
    if (Process)
        FProcesses[Pid] = Process;
    return Process;
}

bool TApplicationMonitor::ProcessRunning(std::uint32_t Pid, bool& Snapped)
{
    if (HANDLE Process = WatchedProcess(Pid))
        return ::WaitForSingleObject(Process, 0) == WAIT_TIMEOUT;
    // Gone already, or not ours to open.
    const bool Found = ProcessExists(Pid, !Snapped);
    Snapped = true;
    return Found;
}

void TApplicationMonitor::ForgetProcesses(bool All)
{
    for (auto It = FProcesses.begin(); It != FProcesses.end();) {
        bool Held = false;
        for (const Slot& S : FItems)
            Held = Held || S.Item->ProcessId == It->first;
        if (All || !Held) {
            CloseHandleOf(It->second);
            It = FProcesses.erase(It);
        } else {
            ++It;
        }
    }
}

void TApplicationMonitor::CloseHandleOf(HANDLE Process)
{
    if (FEnded)
        FEnded->Forget(Process);
    ::CloseHandle(Process);
}

void TApplicationMonitor::ProcessEnded(HANDLE Process)
{
    // Inside a pass or a tick (a modal loop there) the tick sees to it.
    if (!Closing || FAllClosedFired || FInTick || Windows->PassDepth() > 0 ||
        ::WaitForSingleObject(Process, 0) != WAIT_OBJECT_0)
        return;
    std::uint32_t Pid = 0;
    for (const auto& P : FProcesses)
        if (P.second == Process)
            Pid = P.first;
    if (!Pid)
        return;
    // Its end is certain: no grace tick, no window pass to wait for.
    for (const unsigned Serial : Serials())
        if (TApplicationItem* Item = ItemBySerial(Serial))
            if (Item->ProcessId == Pid)
                DeleteItem(Item);
    ForgetProcesses(false);
    if (FItems.empty())
        Timer->SetEnabled(false);
    CheckAllClosed();
    FirePendingEvents();
}

bool TApplicationMonitor::IsProcessBound(std::uint32_t Pid) const
{
    for (const Slot& S : FItems)
        if (S.Item->Bound && S.Item->ProcessId == Pid)
            return true;
    return false;
}

bool TApplicationMonitor::IsWindowBound(std::uint32_t Pid, HWND Handle) const
{
    return HeldItemOf(Handle, Pid, true) != nullptr;
}

// --- Passes ---

TApplicationItem* TApplicationMonitor::FindItem(const std::string& Exe, HWND Handle,
                                                std::uint32_t Pid, std::uint8_t State,
                                                const std::string& ClassName,
                                                const std::string& Title, bool AllowBound,
                                                bool OwnOnly, bool BereftOnly)
{
    TItemQuery Q;
    Q.Exe = Exe;
    Q.Handle = FromHwnd(Handle);
    Q.ProcessId = Pid;
    Q.State = State;
    Q.ClassName = ClassName;
    Q.Title = Title;
    Q.AllowBound = AllowBound;
    Q.OwnOnly = OwnOnly;
    Q.BereftOnly = BereftOnly;
    Q.ProcessBound = IsProcessBound(Pid);
    Q.Forbidden = IsForbiddenWindow(Exe, Title, ClassName);
    std::vector<TItemFacts> Facts;
    Facts.reserve(FItems.size());
    for (const Slot& S : FItems) {
        const TApplicationItem& I = *S.Item;
        const bool Bereft = BereftOnly && I.Panel && I.Handle &&
                            !WindowListed(Windows->Windows, FromHwnd(I.Handle), I.ProcessId);
        Facts.push_back({&I.ExeName, &I.Caption, &I.ClassName, I.State, I.ProcessId,
                         FromHwnd(I.Handle), I.WindowNo, Bereft});
    }
    const int At = FindItemIndex(Facts, Q);
    return At < 0 ? nullptr : Items(At);
}

bool TApplicationMonitor::HasOtherWindow(std::uint32_t Pid, int ExceptIndex) const
{
    return ::HasOtherWindow(Windows->Windows, Pid, ExceptIndex);
}

void TApplicationMonitor::TryBind(TApplicationItem& Item, TWindowItem& Rec)
{
    if (!Item.HasKnownApp() || Item.Known().Method != amBind)
        return;
    const HWND Wnd = Item.Handle;
    const std::uint32_t Pid = Item.ProcessId;
    // Bound in a tick's pass, the window is seen where it now lies by the
    // same tick's look at the desktop; in any other pass, input started it.
    if (Item.BindWindow()) {
        Item.State = aisActive;
        FBoundPending.push_back({Wnd, Pid});
    } else if (::IsWindow(Wnd)) {
        // Disabled or of no size yet: looked at again next pass. A window
        // that is gone is left to drop out of the list.
        Rec.State = wisRecheck;
        Timer->SetEnabled(true);
    }
}

void TApplicationMonitor::TakeWindow(TApplicationItem& Item, TWindowItem& Rec)
{
    const HWND Wnd = ToHwnd(Rec.Handle);
    Item.ClassName = GetWindowClass(Wnd);
    Item.Caption = GetWindowTitle(Wnd);
    Item.Handle = Wnd;
    // Unbound, it counts a second in this tick (a pass that shows it);
    // bound again, the bind needs none.
    Item.Bound = false;
    if (TAppPanel* Host = AppPanelOf(Item.Panel))
        Host->SetBound(false);
    // A close asked of the window that went reaches the program here,
    // unless its windows were asked already.
    if (Closing && !FAllClosedFired && SlotOf(&Item)->CloseWatch != cwProgram)
        AskToClose(Item);
    // Until it is bound it waits like a new one, so that a failed bind is
    // retried through the record's next look.
    Item.State = aisWaiting;
    TryBind(Item, Rec);
}

void TApplicationMonitor::WindowsChanged()
{
    // Records stay put until the outermost pass ends, but handlers run from
    // here (item destruction) may add some: the count is read every time.
    TAppWindowCollection& List = Windows->Windows;
    // Processes whose item's window went while another of theirs lives.
    std::vector<std::uint32_t> Bereft;
    for (int I = 0; I < List.Count(); ++I) {
        TWindowItem& Rec = *List.Items(I);
        if (Rec.State != wisGone)
            continue;
        if (HasOtherWindow(Rec.ProcessId, I)) {
            Rec.State = wisIgnored;
            if (HeldItemOf(ToHwnd(Rec.Handle), Rec.ProcessId))
                Bereft.push_back(Rec.ProcessId);
            continue;
        }
        const std::string Exe = ExeOf(Rec, false);
        const HWND Wnd = ToHwnd(Rec.Handle);
        // Only the item of this process or window: another instance's
        // window going must not take a just-started item with it.
        TApplicationItem* Item =
            FindItem(Exe, Wnd, Rec.ProcessId, aisActive, Rec.ClassName, Rec.Title, false, true);
        if (!Item)
            Item = FindItem(Exe, Wnd, Rec.ProcessId, aisWaiting, Rec.ClassName, Rec.Title, false,
                            true);
        if (Item)
            DeleteItem(Item);
    }

    for (int I = 0; I < List.Count(); ++I) {
        TWindowItem& Rec = *List.Items(I);
        // A window that showed while the item's previous one still lived
        // (a splash closing only after the main window is up) is no longer
        // new when that one goes; it is the successor all the same.
        const bool Successor =
            Rec.State == wisNew ||
            (IsListed(Rec) && std::find(Bereft.begin(), Bereft.end(), Rec.ProcessId) != Bereft.end());
        if (Rec.State != wisNew && Rec.State != wisChanged && !Successor)
            continue;
        const HWND Wnd = ToHwnd(Rec.Handle);
        // A retitled window: a strip draws its title.
        for (const Slot& S : FItems)
            if (S.Item->Handle == Wnd && Wnd)
                ShownChanged();
        const std::string Exe = ExeOf(Rec, false);
        // The item keeps its own known application, also for a window
        // found through the emulator's executable.
        if (TApplicationItem* Item =
                FindItem(Exe, Wnd, Rec.ProcessId, aisWaiting, Rec.ClassName, Rec.Title, false)) {
            if (!Item->Handle) {
                Item->ProcessId = Rec.ProcessId;
                Item->ClassName = GetWindowClass(Wnd);
                Item->Caption = GetWindowTitle(Wnd);
                Item->Handle = Wnd;
            }
            TryBind(*Item, Rec);
        } else if (Successor && !HeldItemOf(Wnd, Rec.ProcessId) &&
                   ::GetAncestor(Wnd, GA_PARENT) == ::GetDesktopWindow()) {
            // An application that replaced its window (a splash making way
            // for the main window, mostly of another class) is bound again.
            // Only a top-level window: the controls of its other bound
            // windows are listed too.
            if ((Item = FindItem(Exe, nullptr, Rec.ProcessId, aisActive, Rec.ClassName, Rec.Title,
                                 true, false, true)))
                TakeWindow(*Item, Rec);
        }
    }

    if (FItems.empty())
        Timer->SetEnabled(false);
    CheckAllClosed();
}

void TApplicationMonitor::CheckAllClosed()
{
    if (Closing && !FAllClosedFired && CountActiveItems() == 0)
        FAllClosedPending = true;
}

void TApplicationMonitor::FirePendingEvents()
{
    std::vector<BoundWindow> Bound;
    Bound.swap(FBoundPending);
    // Each handler may delete items, so each one is looked up again.
    for (const BoundWindow& B : Bound) {
        if (TApplicationItem* Item = HeldItemOf(B.Handle, B.Pid, true))
            if (OnBound)
                OnBound(*Item);
        if (TApplicationItem* Item = HeldItemOf(B.Handle, B.Pid, true))
            if (OnMainWindowBound && Item->WindowNo == 1)
                OnMainWindowBound(*Item);
    }
    if (FAllClosedPending) {
        FAllClosedPending = false;
        if (Closing && !FAllClosedFired && CountActiveItems() == 0) {
            FAllClosedFired = true;
            if (OnAllClosed)
                OnAllClosed(*this);
        }
    }
}

void TApplicationMonitor::LookAtTheDesktop()
{
    const HWND Foreground = ::GetForegroundWindow();
    for (Slot& S : FItems) {
        const TApplicationItem& I = *S.Item;
        RECT R;
        if (!I.Bound || !::GetWindowRect(I.Handle, &R))
            continue;
        const bool Front = IsInFront(I.Handle, Foreground);
        if (!::EqualRect(&R, &S.Place) || Front != S.Front) {
            S.Place = R;
            S.Front = Front;
            ShownChanged();
        }
    }
    // Reading the pointer asks the display (an X round trip under Wine, each
    // second): without input since the last reading it has not moved.
    LASTINPUTINFO Input = {sizeof(Input), 0};
    const bool Known = ::GetLastInputInfo(&Input) != FALSE;
    if (FPointerRead && Known && Input.dwTime == FPointerInput)
        return;
    ++FPointerReads;
    const POINT Was = FPointer;
    FPointerRead = ::GetCursorPos(&FPointer) != FALSE && Known;
    FPointerInput = Input.dwTime;
    if (FPointer.x != Was.x || FPointer.y != Was.y)
        ShownChanged();
}

void TApplicationMonitor::TimerTick()
{
    // A tick that comes while a pass or another tick runs (a modal loop
    // inside one) is skipped, not nested.
    if (FInTick || Windows->PassDepth() > 0)
        return;
    struct InTick {
        bool& Flag;
        explicit InTick(bool& F) : Flag(F) { Flag = true; }
        ~InTick() { Flag = false; }
    } Guard(FInTick);

    RefreshWindows();
    for (const unsigned Serial : Serials()) {
        TApplicationItem* Item = ItemBySerial(Serial);
        if (!Item)
            continue;
        if (!Item->Panel || Item->Bound || Item->State != aisWaiting || Item->KnownIndex() < 0) {
            if (Item->Seconds != 0)
                ShownChanged();
            Item->Seconds = 0;
            continue;
        }
        // The panel counts the seconds.
        ++Item->Seconds;
        ShownChanged();
        // The rules binding will use: the item's own copy of its entry.
        const TKnownAppOptions Known = Item->Known();
        const std::string Exe = Item->ExeName;
        TWindowItem* Rec = nullptr;
        if (FindRuledWindow(Known.WindowTitle, Known.WindowClass, Exe, Rec, true) &&
            Rec->State == wisUnchanged) {
            Rec->State = wisRecheck;
            Timer->SetEnabled(true);
        }
    }
    RemoveDeadItems();
    for (const unsigned Serial : Serials())
        if (TApplicationItem* Item = ItemBySerial(Serial))
            Item->WatchAnswer();
    WatchCloseRequests();
    LookAtTheDesktop();
}

void TApplicationMonitor::RemoveDeadItems()
{
    bool Snapped = false;
    for (const unsigned Serial : Serials()) {
        TApplicationItem* Item = ItemBySerial(Serial);
        if (!Item || ProcessRunning(Item->ProcessId, Snapped))
            continue;
        if (Item->GraceTicks >= 1)
            DeleteItem(Item);
        else
            Item->GraceTicks = 1;
    }
    ForgetProcesses(false);
    if (FItems.empty())
        Timer->SetEnabled(false);
    CheckAllClosed();
    if (Windows->PassDepth() == 0)
        FirePendingEvents();
}

void TApplicationMonitor::WatchCloseRequests()
{
    if (!Closing || FAllClosedFired)
        return;
    // A program declined when its window, disabled by a question of its
    // own after the request, is enabled again while it lives on. One that
    // merely takes its time keeps the shutdown going.
    bool Declined = false;
    for (Slot& S : FItems) {
        const HWND Wnd = S.Item->Handle;
        if (S.CloseWatch == cwNone || !::IsWindow(Wnd))
            continue;
        const bool Enabled = ::IsWindowEnabled(Wnd) != FALSE;
        if (S.CloseWatch == cwBusy && Enabled)
            S.CloseWatch = cwAsked;
        else if (S.CloseWatch == cwAsked && !Enabled)
            S.CloseWatch = cwQuestion;
        else if (S.CloseWatch == cwQuestion && Enabled)
            Declined = true;
    }
    if (Declined)
        Closing = false;
}

void TApplicationMonitor::AdjustAll(bool Force, bool Hard)
{
    for (const unsigned Serial : Serials())
        if (TApplicationItem* Item = ItemBySerial(Serial)) {
            Item->AdjustWindow(Force, Hard);
            if ((Item = ItemBySerial(Serial)))
                Item->UpdatePanel();
        }
}

int TApplicationMonitor::CountActiveItems() const
{
    int N = 0;
    for (const Slot& S : FItems)
        N += S.Item->State == aisActive;
    return N;
}

int TApplicationMonitor::CountAskableItems() const
{
    int N = 0;
    for (const Slot& S : FItems) {
        const TApplicationItem& I = *S.Item;
        N += I.State == aisActive && I.Handle &&
             (IsWindowOf(I.Handle, I.ProcessId) || !ProgramWindows(I.ProcessId).empty());
    }
    return N;
}

std::vector<HWND> TApplicationMonitor::ProgramWindows(std::uint32_t Pid) const
{
    struct Walk {
        const TApplicationMonitor* Self;
        std::uint32_t Pid;
        std::vector<HWND> Found;
        static BOOL CALLBACK Visit(HWND Wnd, LPARAM Param)
        {
            auto* W = reinterpret_cast<Walk*>(Param);
            if (IsWindowOf(Wnd, W->Pid) && ::IsWindowVisible(Wnd) && !W->Self->HeldItemOf(Wnd, W->Pid))
                W->Found.push_back(Wnd);
            return TRUE;
        }
    } W{this, Pid, {}};
    ::EnumWindows(&Walk::Visit, reinterpret_cast<LPARAM>(&W));
    return W.Found;
}

bool TApplicationMonitor::AskToClose(TApplicationItem& Item)
{
    Slot& S = *SlotOf(&Item);
    S.CloseWatch = cwNone;
    if (IsWindowOf(Item.Handle, Item.ProcessId)) {
        S.CloseWatch = ::IsWindowEnabled(Item.Handle) ? cwAsked : cwBusy;
        ::PostMessageA(Item.Handle, WM_CLOSE, 0, 0);
        return true;
    }
    // One started as a separate window never learnt its window: it gets
    // no request (window 0 would be this thread's own queue).
    if (!Item.Handle)
        return false;
    const std::vector<HWND> Shown = ProgramWindows(Item.ProcessId);
    for (const HWND Wnd : Shown)
        ::PostMessageA(Wnd, WM_CLOSE, 0, 0);
    if (!Shown.empty())
        S.CloseWatch = cwProgram;
    return !Shown.empty();
}

bool TApplicationMonitor::CloseAll()
{
    // Asked again while the close is pending: a program already asked is
    // answering (its own question may be up) and is not asked twice.
    const bool Again = Closing;
    Closing = true;
    FAllClosedPending = false;
    int Active = 0;
    for (const unsigned Serial : Serials()) {
        TApplicationItem* Item = ItemBySerial(Serial);
        if (!Item)
            continue;
        if (Item->State == aisActive) {
            Slot& S = *SlotOf(Item);
            // Asked again, the user will not wait for a program that has
            // stopped answering: it is let go (its window given back once
            // it answers, when the request still waits for it).
            if (Again && S.CloseWatch != cwNone && Item->Handle && !IsAnswering(Item->Handle)) {
                DeleteItem(Item);
                continue;
            }
            ++Active;
            if (Again && S.CloseWatch != cwNone)
                continue;
            // One that cannot be asked is waited for until it ends by
            // itself.
            AskToClose(*Item);
            // The window closes within moments of the last one's end, not
            // at the next tick.
            FEnded->Watch(WatchedProcess(Item->ProcessId));
        } else {
            DeleteItem(Item);
        }
    }
    // With nothing to wait for the caller closes at once; no event follows.
    FAllClosedFired = Active == 0;
    return Active == 0;
}

void TApplicationMonitor::CallOffClose()
{
    Closing = false;
    FAllClosedPending = false;
    for (Slot& S : FItems)
        S.CloseWatch = cwNone;
}
