#include "dialogs/SearchForFiles.h"

#include <utility>

// ------------------------------------------------------------ the search

bool IdentifyListable(const std::string& Path, TIdentifyInfo& Info)
{
    TFileVersion MinVersion;
    const TIdentifyResult R = IdentifyApplication("", Path, Info, MinVersion);
    return R == irBind || R == irExternal;
}

bool TSearchFolders::Add(const std::string& Path, bool Examined)
{
    const auto [It, Added] = FFolders.emplace(Path, Entry());
    if (Examined && !It->second.Examined) {
        It->second.Examined = true;
        ++FExamined;
    }
    return Added;
}

void TSearchFolders::SetExecutables(const std::string& Path, StringList Names)
{
    FFolders[Path].Executables = std::move(Names);
}

std::vector<TSearchFolders::Folder> TSearchFolders::Sorted() const
{
    std::vector<Folder> Result;
    Result.reserve(static_cast<std::size_t>(FExamined));
    for (const auto& F : FFolders)
        if (F.second.Examined)
            Result.push_back({F.first, F.second.Executables});
    return Result;
}

void TCoalescingProgress::StartProgress(int Max, const std::string& Caption, bool Stoppable)
{
    FTextDue = FPositionDue = false;
    FInner.StartProgress(Max, Caption, Stoppable);
    FLastRedraw = FLastPump = FClock();
}

// Shows what is due; the window processes messages as it does so.
void TCoalescingProgress::Flush()
{
    if (FTextDue)
        FInner.SetProgressText(FText);
    if (FPositionDue)
        FInner.SetProgress(FPosition);
    else
        FInner.PumpIfStoppable();
    FTextDue = FPositionDue = false;
    FLastRedraw = FLastPump = FClock();
}

void TCoalescingProgress::SetProgressText(const std::string& Text)
{
    FText = Text;
    FTextDue = true;
}

void TCoalescingProgress::SetProgress(int Position)
{
    FPosition = Position;
    FPositionDue = true;
    if (FClock() - FLastRedraw >= FRedrawInterval)
        Flush();
    else
        PumpIfStoppable();
}

void TCoalescingProgress::PumpIfStoppable()
{
    if (FClock() - FLastPump < FPumpInterval)
        return;
    FInner.PumpIfStoppable();
    FLastPump = FClock();
}

void TCoalescingProgress::FinishProgress()
{
    if (FTextDue || FPositionDue)
        Flush();
    FInner.FinishProgress();
}

static bool IsExecutableName(const std::string& Name)
{
    return Name.size() > 4 && SameText(Name.substr(Name.size() - 4), ".exe");
}

static std::string WithDelimiter(const std::string& Path)
{
    return !Path.empty() && IsPathDelimiter(Path.back()) ? Path : Path + "\\";
}

bool SearchDirectories(const std::string& Root, ISearchFileSystem& FileSystem,
                       ISearchProgress& Progress, TSearchFolders& Folders)
{
    const std::string Start = WithDelimiter(Root);
    // A root inside one walked before was walked with it.
    if (!Folders.Add(Start, false))
        return true;
    StringList Stack{Start};
    std::vector<TSearchEntry> Entries;
    while (!Stack.empty()) {
        const std::string Folder = std::move(Stack.back());
        Stack.pop_back();
        Entries.clear();
        FileSystem.ListFolder(Folder, Entries);
        StringList Executables;
        for (const TSearchEntry& E : Entries) {
            if (!E.Directory) {
                if (IsExecutableName(E.Name))
                    Executables.push_back(E.Name);
                continue;
            }
            if (E.ReparsePoint || E.Name == "." || E.Name == "..")
                continue;
            std::string Child = Folder + E.Name + "\\";
            if (Child.size() + sizeof SearchListingPattern - 1 > SearchPathLimit ||
                !Folders.Add(Child))
                continue;
            Progress.SetProgressText("Reading " + IntToStr(Folders.Count()) + " directories ...");
            Progress.SetProgress(0);
            if (Progress.ProgressStopped())
                return false;
            Stack.push_back(std::move(Child));
        }
        Folders.SetExecutables(Folder, std::move(Executables));
    }
    return true;
}

bool SearchKnownExecutables(const TSearchFolders::Folder& Folder, ISearchProgress& Progress,
                            const TIdentifyExecutable& Identify, StringList& Found,
                            std::vector<TIdentifyInfo>& Refs)
{
    for (const std::string& Name : Folder.Executables) {
        TIdentifyInfo Info;
        if (Identify(Folder.Path + Name, Info)) {
            Found.push_back(Folder.Path + Name);
            Refs.push_back(Info);
            Progress.SetProgressText(IntToStr(static_cast<long long>(Found.size())) +
                                     " known applications found ...");
        }
        Progress.PumpIfStoppable();
        if (Progress.ProgressStopped())
            return false;
    }
    return true;
}

void SearchForFiles(const StringList& Roots, ISearchFileSystem& FileSystem,
                    ISearchProgress& Progress, ISearchTarget& Target,
                    const TIdentifyExecutable& Identify)
{
    if (Roots.empty())
        return;
    TSearchFolders Folders;
    bool Stopped = false;
    Progress.StartProgress(0, "Reading directories ...", true);
    for (const std::string& Root : Roots)
        if (!SearchDirectories(Root, FileSystem, Progress, Folders)) {
            Stopped = true;
            break;
        }
    // The closing redraw may be the first look at a stop pressed earlier.
    Progress.FinishProgress();
    if (Stopped || Progress.ProgressStopped() || Folders.Count() == 0)
        return;

    StringList Found;
    std::vector<TIdentifyInfo> Refs;
    const std::vector<TSearchFolders::Folder> Sorted = Folders.Sorted();
    Progress.StartProgress(static_cast<int>(Sorted.size()), "Searching known applications ...",
                           true);
    for (std::size_t I = 0; I < Sorted.size(); ++I) {
        Progress.SetProgress(static_cast<int>(I));
        if (Progress.ProgressStopped() ||
            !SearchKnownExecutables(Sorted[I], Progress, Identify, Found, Refs)) {
            Stopped = true;
            break;
        }
    }
    Target.AddStillKnownListedApplications(Found, Refs);
    Progress.FinishProgress();
    Stopped = Stopped || Progress.ProgressStopped();
    if (Found.size() != Refs.size()) {
        Target.ShowMessage("Internal error!");
        Stopped = true;
    }
    if (Stopped || Found.empty()) {
        Target.ShowMessage("No known applications found!");
        return;
    }
    Target.TakeFoundApplications(Found, Refs);
}
