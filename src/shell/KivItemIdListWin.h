// Item-identifier lists (the shell's addresses of namespace objects) in a
// reference-counted object, the special-folder cache and the questions the
// library asks of a list. GUI thread only.
#pragma once

#include "shell/KivItemIdList.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>

class TKivItemIdList;
using IItemIdList = std::shared_ptr<TKivItemIdList>;

enum class TIdListMode : std::uint8_t {
    Owned = 0,     // freed with the task allocator
    Borrowed = 1,  // never freed
    Cloned = 2,    // a copy is stored and owned
};

class TKivItemIdList {
public:
    TKivItemIdList(PCIDLIST_ABSOLUTE List, TIdListMode Mode);
    ~TKivItemIdList();
    TKivItemIdList(const TKivItemIdList&) = delete;
    TKivItemIdList& operator=(const TKivItemIdList&) = delete;

    static IItemIdList Create(PCIDLIST_ABSOLUTE List, TIdListMode Mode);
    // "" is the computer folder, "\\" the network folder; other paths are
    // parsed by Folder (nullptr: the desktop). The path is kept as given.
    static IItemIdList CreateFromPath(const std::wstring& Path, IShellFolder* Folder = nullptr);
    // Cached: the run's one list of the folder; else a fresh one.
    static IItemIdList GetSpecialFolderList(TKivShellFolder Folder, bool Cached = true);
    // False also when there is no network folder.
    static bool IsInNetwork(const IItemIdList& List);

    // The object itself for no child.
    IItemIdList Combine(const IItemIdList& Child);
    IItemIdList GetFirstItems(int Count);
    IItemIdList GetLastItem();
    bool IsEqual(const IItemIdList& Other);
    // The desktop folder's comparison: 0 for the same object; -1 when
    // either side holds no list.
    int CompareWith(const IItemIdList& Other);
    PCIDLIST_ABSOLUTE GetIDList() const { return FList; }
    const std::wstring& GetFileSystemPath();
    int GetItemCount() const;
    bool IsEmpty() const { return FList == nullptr; }
    TKivShellFolder GetSpecialFolder();
    bool IsSpecialFolder(TKivShellFolder Folder);
    std::wstring GetDisplayText();

private:
    std::shared_ptr<TKivItemIdList> Self();
    std::weak_ptr<TKivItemIdList> FSelf;
    PIDLIST_ABSOLUTE FList = nullptr;
    std::wstring FPath = L"-";
    TIdListMode FMode;
    TKivShellFolder FSpecialFolder = SF_INVALID;
    bool FSpecialKnown = false;
};

// A new item-id list of the special folder, owned by the caller, or nullptr.
PIDLIST_ABSOLUTE SpecialFolderIDList(TKivShellFolder Folder);
// Where the cache takes its lists from; tests replace it to see a folder
// go missing. nullptr: SpecialFolderIDList.
using TSpecialFolderSource = PIDLIST_ABSOLUTE (*)(TKivShellFolder Folder);
void SetSpecialFolderSource(TSpecialFolderSource Source);

// Holds no list; the cache entry of SF_FILESYSTEMFOLDER.
extern IItemIdList DesktopIdList;

void KivItemIdListStartup();
void KivItemIdListShutdown();

// Item-list walking on the raw bytes, for when the shell lacks its routine.
int IdListItemCount(PCUIDLIST_RELATIVE List);
std::size_t IdListSize(PCUIDLIST_RELATIVE List);  // the terminator included
