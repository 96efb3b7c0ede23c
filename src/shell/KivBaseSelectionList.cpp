#include "shell/KivBaseSelectionList.h"

#include "shell/KivSelectionList.h"
#include "shell/Ovandrel.h"
#include "shell/Shell_Win32.h"

#include <algorithm>

namespace {

bool EndsWithStar(const std::wstring& Path)
{
    return !Path.empty() && Path.back() == L'*';
}

std::wstring StripStar(const std::wstring& Path)
{
    return EndsWithStar(Path) ? Path.substr(0, Path.size() - 1) : Path;
}

// The file or folder an entry names: no "*", no trailing backslash.
std::wstring PlainPath(const std::wstring& Path)
{
    return ExcludeTrailingBackslash(StripStar(Path));
}

bool ContainsText(const std::wstring& Text, const std::wstring& Sub)
{
    return UpperCaseW(Text).find(UpperCaseW(Sub)) != std::wstring::npos;
}

}  // namespace

TKivBaseSelectionList::TKivBaseSelectionList(ISelectionFileSystem& FileSystem)
    : FFileSystem(FileSystem)
{
}

int TKivBaseSelectionList::IndexOf(const std::wstring& Path) const
{
    for (std::size_t I = 0; I < FPaths.size(); ++I)
        if (SameTextW(FPaths[I], Path))
            return static_cast<int>(I);
    return -1;
}

void TKivBaseSelectionList::SetPaths(const std::vector<std::wstring>& Value)
{
    CancelCalculation();
    FPaths.clear();
    for (const std::wstring& Path : Value)
        Add(Path);
}

void TKivBaseSelectionList::Changed(const std::wstring&)
{
    if (OnChange)
        OnChange(*this);
}

void TKivBaseSelectionList::CancelCalculation()
{
    CancelSizeItems();
    TotalSize = 0;
    FileCount = 0;
    FolderCount = 0;
    DoCompletedCalculateFiles();
}

void TKivBaseSelectionList::DoCompletedCalculateFiles()
{
    if (OnCompletedCalculateFiles && !Destroying)
        OnCompletedCalculateFiles(*this);
}

void TKivBaseSelectionList::DoInvalidPath(const std::wstring& Path)
{
    if (OnInvalidPath)
        OnInvalidPath(*this, Path);
}

void TKivBaseSelectionList::FolderSizeCompleted(bool Cancelled, int Sign, std::int64_t Size,
                                                int Files, int Folders)
{
    if (!Cancelled) {
        TotalSize += Sign * Size;
        FileCount += Sign * Files;
        FolderCount += Sign * Folders;
    }
    if (FPaths.empty()) {
        FileCount = 0;
        FolderCount = 0;
    }
    DoCompletedCalculateFiles();
}

bool TKivBaseSelectionList::IsFolderShortcut(const std::wstring& Path)
{
    return !Path.empty() &&
           FFileSystem.Exists(IncludeTrailingBackslash(StripStar(Path)) + L"target.lnk");
}

std::wstring TKivBaseSelectionList::ResolveShortcut(const std::wstring& Path)
{
    return FFileSystem.LinkTarget(IncludeTrailingBackslash(StripStar(Path)) + L"target.lnk");
}

bool TKivBaseSelectionList::NormalizePath(std::wstring& Path)
{
    if (Path.empty() || Path == L"." || Path == L"..")
        return false;
    Path = StripStar(Path);
    if (FFileSystem.IsFile(Path))
        return true;
    if (!FFileSystem.IsFolder(Path))
        return false;
    Path = IncludeTrailingBackslash(Path) + L"*";
    return true;
}

std::uint8_t TKivBaseSelectionList::GetState(const std::wstring& Path)
{
    bool Inherited;
    return GetPathState(Path, Inherited);
}

std::uint8_t TKivBaseSelectionList::GetPathState(std::wstring Path, bool& Inherited)
{
    Inherited = false;
    if (Path.empty())
        return psInvalid;
    const std::wstring Plain = PlainPath(Path);
    if (IsDriveRoot(Plain) && !FFileSystem.IsDriveReady(IncludeTrailingBackslash(Plain)))
        return psInvalid;
    if (IsFolderShortcut(Path)) {
        if (!ResolveFolderShortcuts)
            return psInvalid;
        Path = ResolveShortcut(Path);
    }
    if (!NormalizePath(Path))
        return psInvalid;
    return GetSelectionState(Path, Inherited);
}

std::uint8_t TKivBaseSelectionList::GetSelectionState(const std::wstring& Path, bool& Inherited)
{
    Inherited = false;
    if (IndexOf(Path) >= 0)
        return psSelected;
    if (IsSelectedPath(Path)) {
        Inherited = true;
        return psSelected;
    }
    const std::wstring Inside = EndsWithStar(Path) ? StripStar(Path) : IncludeTrailingBackslash(Path);
    for (const std::wstring& Entry : FPaths)
        if (ContainsText(Entry, Inside))
            return psPartlySelected;
    return psNotSelected;
}

bool TKivBaseSelectionList::IsSelectedPath(const std::wstring& Path)
{
    if (IndexOf(Path) >= 0)
        return true;
    std::wstring Candidate;
    if (EndsWithStar(Path)) {
        const std::wstring Folder = PlainPath(Path);
        if (Folder.empty())
            return false;
        Candidate = IncludeTrailingBackslash(ParentFolderOf(Folder)) + L"*";
    } else {
        Candidate = IncludeTrailingBackslash(ParentFolderOf(Path)) + L"*";
    }
    if (SameTextW(Candidate, Path))
        return false;  // the root
    return IsSelectedPath(Candidate);
}

bool TKivBaseSelectionList::IsFullySelected(std::wstring Path)
{
    if (Path.empty())
        return false;
    Path = ExcludeTrailingBackslash(Path);
    if (IndexOf(Path) >= 0 || IndexOf(Path + L"\\*") >= 0)
        return true;
    std::vector<TSelectionEntry> Entries;
    if (!FFileSystem.ListFolder(Path, Entries) || Entries.empty())
        return false;
    for (const TSelectionEntry& E : Entries) {
        const std::wstring Full = Path + L"\\" + E.Name;
        if (E.Folder ? IndexOf(Full + L"\\*") < 0 && !IsFullySelected(Full) : IndexOf(Full) < 0)
            return false;
    }
    return true;
}

void TKivBaseSelectionList::FindFullySelectedFolder(const std::wstring& Path, std::wstring& Result)
{
    FindFullySelectedParent(ParentFolderOf(Path), Path, Result);
}

void TKivBaseSelectionList::FindFullySelectedParent(std::wstring Folder, const std::wstring& Path,
                                                    std::wstring& Result)
{
    Result.clear();
    Folder = ExcludeTrailingBackslash(Folder);
    std::vector<TSelectionEntry> Entries;
    if (!FFileSystem.ListFolder(Folder, Entries))
        return;
    for (const TSelectionEntry& E : Entries) {
        const std::wstring Full = Folder + L"\\" + E.Name;
        if (!SameTextW(Full, Path) && !IsFullySelected(Full)) {
            Result = Path;
            return;
        }
    }
    if (SameTextW(Folder, Path)) {
        Result = IncludeTrailingBackslash(Path);  // a drive root
        return;
    }
    FindFullySelectedParent(ParentFolderOf(Folder), Folder, Result);
}

void TKivBaseSelectionList::Add(std::wstring Path)
{
    if (Path.empty())
        return;
    if (ResolveFolderShortcuts && IsFolderShortcut(Path))
        Path = ResolveShortcut(Path);
    // An invalid path, when it is kept, goes on as it was given.
    std::wstring Normal = Path;
    if (NormalizePath(Normal)) {
        Path = Normal;
    } else {
        DoInvalidPath(Path);
        if (SkipInvalidPaths)
            return;
    }
    bool Inherited;
    const std::uint8_t State = GetPathState(Path, Inherited);
    if (State == psSelected)
        return;
    if (State == psPartlySelected)
        RemoveDescendants(Path);
    if (CalculateSizes) {
        if (EndsWithStar(Path)) {
            StartFolderSize(PlainPath(Path), false);
        } else {
            // A path that is not there (kept when invalid paths are not
            // skipped) adds nothing.
            TotalSize += std::max<std::int64_t>(0, FFileSystem.FileSize(Path));
            ++FileCount;
            DoCompletedCalculateFiles();
        }
    }
    FPaths.push_back(Path);
    Changed(Path);
    // All members of the folder selected now: the folder instead.
    std::wstring Folder;
    FindFullySelectedFolder(PlainPath(Path), Folder);
    if (!SamePath(Folder, PlainPath(Path)))
        Add(Folder);
}

void TKivBaseSelectionList::Remove(std::wstring Path)
{
    if (ResolveFolderShortcuts && IsFolderShortcut(Path))
        Path = ResolveShortcut(Path);
    bool Inherited;
    const std::uint8_t State = GetPathState(Path, Inherited);
    if (State == psPartlySelected) {
        RemoveDescendants(Path);
    } else if (State == psSelected && Inherited) {
        // The member itself, however it was written ("X", "X\" or "X\*").
        const std::wstring Member = PlainPath(Path);
        std::wstring Top;
        ExpandSelection(ParentFolderOf(Member), Member, Top);
        --FolderCount;
        StartFolderSize(Member, true);
        std::wstring TopEntry = Top;
        if (NormalizePath(TopEntry)) {
            const int Index = IndexOf(TopEntry);
            if (Index >= 0)
                RemoveEntry(Index, false);
        }
    } else if (State == psSelected) {
        NormalizePath(Path);
        const int Index = IndexOf(Path);
        if (Index >= 0)
            RemoveEntry(Index, true);
    }
    if (FPaths.empty())
        CancelCalculation();
}

void TKivBaseSelectionList::ExpandSelection(std::wstring Folder, const std::wstring& ExcludePath,
                                            std::wstring& Result)
{
    Folder = ExcludeTrailingBackslash(Folder);
    Result = Folder;
    if (SameTextW(Folder, ExcludePath))
        return;
    std::vector<TSelectionEntry> Entries;
    if (FFileSystem.ListFolder(Folder, Entries))
        for (const TSelectionEntry& E : Entries) {
            const std::wstring Full = Folder + L"\\" + E.Name;
            if (SameTextW(Full, ExcludePath))
                continue;
            const std::wstring Entry = E.Folder ? Full + L"\\*" : Full;
            FPaths.push_back(Entry);
            Changed(Entry);
        }
    const std::wstring Parent = ParentFolderOf(Folder);
    if (GetState(Parent) == psSelected)
        ExpandSelection(Parent, Folder, Result);
}

void TKivBaseSelectionList::RemoveDescendants(std::wstring Path)
{
    const std::wstring Inside = IncludeTrailingBackslash(StripStar(Path));
    for (int I = Count() - 1; I >= 0; --I)
        if (ContainsText(FPaths[I], Inside))
            RemoveEntry(I, true);
}

void TKivBaseSelectionList::RemoveEntry(int Index, bool Subtract)
{
    const std::wstring Entry = FPaths[Index];
    if (CalculateSizes && Subtract)
        StartFolderSize(PlainPath(Entry), true);
    FPaths.erase(FPaths.begin() + Index);
    Changed(Entry);
}

void TKivBaseSelectionList::Clear()
{
    while (!FPaths.empty())
        RemoveEntry(0, true);
    FolderCount = 0;
}

void TKivBaseSelectionList::RenamePath(const std::wstring& OldPath, const std::wstring& NewPath)
{
    const std::wstring Prefix = IncludeTrailingBackslash(OldPath);
    for (std::wstring& Entry : FPaths)
        if (SamePath(Entry, OldPath))
            Entry = NewPath;
        else if (Entry.compare(0, Prefix.size(), Prefix) == 0)
            Entry = ExcludeTrailingBackslash(NewPath) + Entry.substr(Prefix.size() - 1);
}
