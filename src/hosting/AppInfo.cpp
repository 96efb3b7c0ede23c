#include "hosting/AppInfo.h"

#include <chrono>
#include <ctime>

namespace {
constexpr std::uint32_t ExToolWindow = 0x80;  // WS_EX_TOOLWINDOW
constexpr int Win9xPlatform = 1;
}  // namespace

TDateTime NowDateTime()
{
    using namespace std::chrono;
    const auto Now = system_clock::now();
    const std::time_t T = system_clock::to_time_t(Now);
    const std::tm* L = std::localtime(&T);
    TDateTime Day = 0;
    if (!L || !TryEncodeDate(L->tm_year + 1900, L->tm_mon + 1, L->tm_mday, Day))
        return 0;
    const auto Ms = duration_cast<milliseconds>(Now.time_since_epoch()).count() % 1000;
    const double Seconds = L->tm_hour * 3600.0 + L->tm_min * 60.0 + L->tm_sec + Ms / 1000.0;
    return Day + Seconds / 86400.0;
}

// --- TAppWindowCollection ---

TAppWindowCollection::TAppWindowCollection(IWindowSource& Source)
    : PlatformId(Source.PlatformId()), FSource(Source)
{
}

TWindowItem* TAppWindowCollection::Add()
{
    FItems.push_back(std::make_unique<TWindowItem>());
    return FItems.back().get();
}

void TAppWindowCollection::Delete(int Index)
{
    FItems.erase(FItems.begin() + Index);
}

TWindowItem* TAppWindowCollection::FindWindowItem(std::uint32_t ProcessId, TWindowHandle Handle,
                                                  const std::string& ClassName) const
{
    for (const auto& Rec : FItems)
        if (Rec->ProcessId == ProcessId && Rec->Handle == Handle &&
            SameText(Rec->ClassName, ClassName))
            return Rec.get();
    return nullptr;
}

const TWindowItem* TAppWindowCollection::FindHandle(TWindowHandle Handle) const
{
    for (const auto& Rec : FItems)
        if (Rec->Handle == Handle)
            return Rec.get();
    return nullptr;
}

void TAppWindowCollection::UpdateWindowList(TWindowHandle Parent, bool IncludeToolWindows,
                                            bool IncludeOwned, bool IncludeZeroSize,
                                            bool IncludeParented)
{
    if (PlatformId == Win9xPlatform)
        RefreshProcessList();
    struct Finish {
        TAppWindowCollection& C;
        ~Finish() { C.LastUpdate = NowDateTime(); }
    } Finally{*this};

    for (const auto& Rec : FItems)
        if (Rec->State != wisRecheck)
            Rec->State = wisGone;
    ChildPass = false;
    this->IncludeToolWindows = IncludeToolWindows;
    this->IncludeOwned = IncludeOwned;
    this->IncludeZeroSize = IncludeZeroSize;
    this->IncludeParented = IncludeParented;

    const auto Visit = [this](TWindowHandle Wnd) { EnumWindowProc(Wnd); };
    FSource.EnumTopLevel(Visit);
    if (Parent != NoParentWindow) {
        ChildPass = true;
        FSource.EnumChildren(Parent, Visit);
    }
    // A record marked for another look whose window has vanished is still
    // reported once.
    for (const auto& Rec : FItems)
        if (Rec->State == wisRecheck)
            Rec->State = wisChanged;
}

void TAppWindowCollection::EnumWindowProc(TWindowHandle Wnd)
{
    // The filters only read, so the cheap ones run before title and class.
    if (!ChildPass && !FSource.IsVisible(Wnd))
        return;
    if (!IncludeOwned && FSource.HasOwner(Wnd))
        return;
    if (!IncludeParented && FSource.HasParent(Wnd))
        return;
    if (!IncludeToolWindows && (FSource.ExStyle(Wnd) & ExToolWindow))
        return;
    std::int32_t Width = 0, Height = 0;
    if (!FSource.Size(Wnd, Width, Height))
        Width = Height = 0;
    // A window keeps its class and process for life, and the system does
    // not give a destroyed window's handle to a new one at once: a record
    // of the handle holds both, read again only when the title changes.
    // Asking every pass would cost two round trips per window each tick.
    const TWindowItem* Known = FindHandle(Wnd);
    const bool Listed = Known != nullptr;
    std::string Title;
    if (Listed && (Title = FSource.Title(Wnd)) != Known->Title)
        Known = nullptr;
    std::string Class = Known ? Known->ClassName : FSource.ClassName(Wnd);
    if (!IncludeZeroSize && Width == 0 && Height == 0 && SameText(Class, "TApplication"))
        return;
    if (!Listed)
        Title = FSource.Title(Wnd);
    const std::uint32_t Pid = Known ? Known->ProcessId : FSource.ProcessId(Wnd);

    TWindowItem* Rec = FindWindowItem(Pid, Wnd, Class);
    if (!Rec) {
        Rec = Add();
        Rec->State = wisNew;
    } else if (Rec->ClassName == Class && Rec->ProcessId == Pid && SameText(Rec->Title, Title)) {
        Rec->State = Rec->State == wisRecheck ? wisChanged : wisUnchanged;
    } else {
        Rec->State = wisChanged;
    }
    if (Rec->Title != Title)
        Rec->Title = std::move(Title);
    Rec->Handle = Wnd;
    if (Rec->ClassName != Class)
        Rec->ClassName = std::move(Class);
    Rec->ProcessId = Pid;
    if (PlatformId == Win9xPlatform) {
        TProcessItem P;
        Rec->ExeName = FindProcessItem(Pid, P) ? Trim(P.ExeFile) : std::string();
    } else {
        FillExeName(*Rec);
    }
    Rec->Width = Width;
    Rec->Height = Height;
}

void TAppWindowCollection::FillExeName(TWindowItem& Rec)
{
    if (!Rec.ExeName.empty())
        return;
    const auto Known = FProcessExe.find(Rec.ProcessId);
    if (Known != FProcessExe.end() &&
        (!Known->second.Path.empty() || Known->second.Failures >= ExeReadTries)) {
        Rec.ExeName = Known->second.Path;
        return;
    }
    std::string Found;
    ++FModuleSnapshots;
    const bool Taken = FSource.WalkModules(Rec.ProcessId, [&Found](const std::string& Path) {
        const std::string P = Trim(Path);
        const std::string Ext = ExtractFileExt(P);
        if (SameText(Ext, ".exe") || SameText(Ext, ".com")) {
            Found = P;
            return false;
        }
        return true;
    });
    if (!Taken)
        ++FProcessExe[Rec.ProcessId].Failures;
    else if (!Found.empty())
        FProcessExe[Rec.ProcessId].Path = Found;
    // A process without an .exe or .com module is asked again next pass.
    Rec.ExeName = Found;
}

void TAppWindowCollection::PurgeWindowItems()
{
    for (std::size_t I = 0; I < FItems.size();) {
        const std::uint8_t S = FItems[I]->State;
        if (S == wisGone || S == wisIgnored)
            FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(I));
        else
            ++I;
    }
    // Forget processes without records: their ids may be given out again.
    for (auto It = FProcessExe.begin(); It != FProcessExe.end();) {
        bool Listed = false;
        for (const auto& Rec : FItems)
            if (Rec->ProcessId == It->first) {
                Listed = true;
                break;
            }
        It = Listed ? std::next(It) : FProcessExe.erase(It);
    }
}

void TAppWindowCollection::RefreshProcessList()
{
    std::vector<TProcessItem> Fresh;
    ++FProcessSnapshots;
    if (FSource.WalkProcesses([&Fresh](const TProcessItem& P) { Fresh.push_back(P); }))
        Processes.swap(Fresh);
}

bool TAppWindowCollection::FindProcessItem(std::uint32_t ProcessId, TProcessItem& Rec) const
{
    for (const TProcessItem& P : Processes)
        if (P.ProcessId == ProcessId) {
            Rec = P;
            return true;
        }
    return false;
}

// --- TAppInfo ---

TAppInfo::TAppInfo(IWindowSource& Source, std::unique_ptr<IIntervalTimer> Timer)
    : Windows(Source), FTimer(std::move(Timer))
{
    FTimer->SetEnabled(false);
    FTimer->SetInterval(1000);
    FTimer->OnTimer = [this] { UpdateTimerTick(); };
}

void TAppInfo::SetUpdateInterval(unsigned Value)
{
    if (Value != FTimer->Interval())
        FTimer->SetInterval(Value);
}

void TAppInfo::UpdateList(TWindowHandle Parent, bool IncludeToolWindows, bool IncludeOwned,
                          bool IncludeZeroSize, bool IncludeParented)
{
    bool Cancel = false;
    DoBeforeUpdateList(Cancel);
    if (Cancel)
        return;
    struct Depth {
        int& N;
        explicit Depth(int& N) : N(N) { ++N; }
        ~Depth() { --N; }
    } InPass(FPassDepth);
    Windows.UpdateWindowList(Parent, IncludeToolWindows, IncludeOwned, IncludeZeroSize,
                             IncludeParented);
    DoAfterUpdateList();
    if (FPassDepth == 1)
        Windows.PurgeWindowItems();
}

void TAppInfo::UpdateTimerTick()
{
    UpdateList(NoParentWindow, false, false, true, false);
}

void TAppInfo::DoAfterUpdateList()
{
    if (OnAfterUpdateList)
        OnAfterUpdateList(*this);
}

void TAppInfo::DoBeforeUpdateList(bool& Cancel)
{
    if (OnBeforeUpdateList)
        OnBeforeUpdateList(*this, Cancel);
}
