// The selection list's model: the files and folders a user has ticked in a
// shell tree. A folder entry (its path, a backslash and "*") selects the
// folder with everything inside it; a full set of siblings is replaced by
// their folder; deselecting one member of a selected folder replaces the
// folder by its other members. The disk is seen through
// ISelectionFileSystem; folder sizes are counted elsewhere (StartFolderSize)
// and arrive through FolderSizeCompleted. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum : std::uint8_t { psInvalid = 1, psSelected = 2, psNotSelected = 3, psPartlySelected = 4 };

struct TSelectionEntry {
    std::wstring Name;
    bool Folder;
};

class ISelectionFileSystem {
public:
    virtual ~ISelectionFileSystem() = default;
    virtual bool IsFile(const std::wstring& Path) = 0;
    virtual bool IsFolder(const std::wstring& Path) = 0;
    // Something of that name can be found.
    virtual bool Exists(const std::wstring& Path) = 0;
    // The entries of Folder without "." and ".."; false when it cannot be
    // listed.
    virtual bool ListFolder(const std::wstring& Folder, std::vector<TSelectionEntry>& Entries) = 0;
    // -1 when not found.
    virtual std::int64_t FileSize(const std::wstring& Path) = 0;
    virtual bool IsDriveReady(const std::wstring& Root) = 0;
    virtual std::wstring LinkTarget(const std::wstring& LinkFile) = 0;
};

class TKivBaseSelectionList {
public:
    explicit TKivBaseSelectionList(ISelectionFileSystem& FileSystem);
    virtual ~TKivBaseSelectionList() = default;
    TKivBaseSelectionList(const TKivBaseSelectionList&) = delete;
    TKivBaseSelectionList& operator=(const TKivBaseSelectionList&) = delete;

    const std::vector<std::wstring>& Paths() const { return FPaths; }
    void SetPaths(const std::vector<std::wstring>& Value);
    void Assign(const TKivBaseSelectionList& Source) { SetPaths(Source.Paths()); }
    std::wstring GetPath(int Index) const { return FPaths[Index]; }
    int Count() const { return static_cast<int>(FPaths.size()); }

    std::uint8_t GetPathState(std::wstring Path, bool& Inherited);
    std::uint8_t GetState(const std::wstring& Path);
    void Add(std::wstring Path);
    void Remove(std::wstring Path);
    virtual void Clear();
    void RenamePath(const std::wstring& OldPath, const std::wstring& NewPath);
    // Stops the size counting and zeroes the totals.
    void CancelCalculation();

    std::function<void(TKivBaseSelectionList& Sender, const std::wstring& Path)> OnInvalidPath;
    std::function<void(TKivBaseSelectionList& Sender)> OnChange;
    std::function<void(TKivBaseSelectionList& Sender)> OnCompletedCalculateFiles;

    std::int64_t TotalSize = 0;
    int FileCount = 0;
    int FolderCount = 0;
    bool SuppressLinkNotify = false;
    bool ResolveFolderShortcuts = true;
    bool CalculateSizes = true;
    bool FollowReparsePoints = false;
    bool SkipInvalidPaths = true;

protected:
    virtual void Changed(const std::wstring& Path);
    // Counts Path (a file or a folder tree) in the background; its result
    // comes back through FolderSizeCompleted.
    virtual void StartFolderSize(const std::wstring& Path, bool Subtract) = 0;
    // Drops the counts still under way; none of them may complete.
    virtual void CancelSizeItems() = 0;
    void FolderSizeCompleted(bool Cancelled, int Sign, std::int64_t Size, int Files, int Folders);
    void DoCompletedCalculateFiles();
    void DoInvalidPath(const std::wstring& Path);
    bool Destroying = false;

    bool NormalizePath(std::wstring& Path);
    bool IsSelectedPath(const std::wstring& Path);
    std::uint8_t GetSelectionState(const std::wstring& Path, bool& Inherited);
    bool IsFullySelected(std::wstring Path);
    void FindFullySelectedFolder(const std::wstring& Path, std::wstring& Result);
    void FindFullySelectedParent(std::wstring Folder, const std::wstring& Path,
                                 std::wstring& Result);
    void ExpandSelection(std::wstring Folder, const std::wstring& ExcludePath,
                         std::wstring& Result);
    void RemoveDescendants(std::wstring Path);
    void RemoveEntry(int Index, bool Subtract);

private:
    int IndexOf(const std::wstring& Path) const;
    // A folder holding "target.lnk" stands for that link's target.
    bool IsFolderShortcut(const std::wstring& Path);
    std::wstring ResolveShortcut(const std::wstring& Path);

    ISelectionFileSystem& FFileSystem;
    std::vector<std::wstring> FPaths;
};
