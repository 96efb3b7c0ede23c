// The selection list on the disk, and the path tests of its unit.
#pragma once

#include "shell/KivBaseSelectionList.h"
#include "shell/KivSelectionList.h"
#include "toolkit/Component.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TKivFolderSizeWorkItem;

// The selection list on the disk: sizes are counted by folder-size items
// in GlobalWorkerPool, changes reach the owning shell link's controls.
// It also holds the path tests the whole shell library probes the disk with,
// as functions that need no selection-list object.
class TKivSelectionList : public Component, public TKivBaseSelectionList {
public:
    // The owner is the link component (a TKivShellLink, or any other).
    explicit TKivSelectionList(Component* Owner);
    // Cancels its size counts first: none completes on a freed list.
    ~TKivSelectionList() override;

    // An existing folder; drive roots without touching the disk; paths of
    // 260 characters or more through the long form. Wildcards never match.
    static bool IsFolder(const std::wstring& Path);
    // The long-path form of Path (see LongPathFormOf).
    static std::wstring GetLongPathForm(const std::wstring& Path);
    // FindFirstFileW on the long form of the full path; the caller closes
    // the handle (INVALID_HANDLE_VALUE on failure).
    static HANDLE FindFirstFileLong(const std::wstring& Path, WIN32_FIND_DATAW& FindData);
    // An existing entry that is not a folder; wildcards never match.
    static bool IsFile(const std::wstring& Path);
    static std::wstring GetParentFolder(const std::wstring& Path) { return ParentFolderOf(Path); }
    static bool IsDotEntry(const std::wstring& Name) { return IsDotEntryName(Name); }

protected:
    void Changed(const std::wstring& Path) override;
    void StartFolderSize(const std::wstring& Path, bool Subtract) override;
    void CancelSizeItems() override;
    // Gives the item to GlobalWorkerPool, or counts it here and now when
    // there is no pool; its completion reaches SizeItemCompleted.
    virtual void QueueSizeItem(const std::shared_ptr<TKivFolderSizeWorkItem>& Item);
    void SizeItemCompleted(TKivFolderSizeWorkItem* Item);

private:
    // The counts under way, so that a cancel can silence them.
    std::vector<std::shared_ptr<TKivFolderSizeWorkItem>> FSizeItems;
    std::vector<void*> FStack;  // kept with the list; nothing uses it
};

// The absolute path the system makes of Path (".." and "/" resolved);
// Path itself when that fails or it already carries the long prefix.
std::wstring FullPathOf(const std::wstring& Path);
