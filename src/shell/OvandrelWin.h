// The shell unit's start-up state, path routines that touch the disk or
// the shell, the folder component, the path list and the system image
// list. GUI thread only.
#pragma once

#include "shell/KivItemIdListWin.h"
#include "shell/Ovandrel.h"
#include "shell/Shell_Win32Win.h"
#include "toolkit/Component.h"

#include <windows.h>
#include <shlobj.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// --- Start-up state ---
extern IShellFolder* DesktopShellFolder;
extern bool IsVistaOrLater;
extern bool IsWin7OrLater;
// The root of the Windows folder's drive with a trailing backslash.
extern std::wstring SystemDriveRoot;

// The library's own error.
class EOvandrelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the version flags, opens the desktop folder (EOvandrelError
// "Ovandrel Components: Cannot open Shell!" when it cannot), registers
// the clipboard format and finds the system drive root.
void OvandrelStartup();
// Waits for a prefetch that is still running.
void OvandrelShutdown();
// Asks for the shell's system image lists on a thread of its own. Under
// Wine the first ask in a process makes them, tens of milliseconds, which
// the first window with shell icons would otherwise pay.
void StartSystemImageListPrefetch();
// The desktop-folder source start-up uses; tests replace it.
using TDesktopFolderSource = HRESULT(WINAPI*)(IShellFolder** Folder);
void SetDesktopFolderSource(TDesktopFolderSource Source);  // nullptr: SHGetDesktopFolder

// --- Path routines ---
void GetWindowsDir(std::wstring& Dir);
// Paths of special folders; the 32-bit folders fall back to the native
// ones when the system has none. Empty when there is none.
void GetSpecialFolderPath(TKivShellFolder Folder, std::wstring& Path);
// Environment variables first, then %DATE%, %TIME% and %MYDOCUMENTS%.
std::wstring ExpandPathPlaceholders(const std::wstring& Text);
bool IsDriveReady(const std::wstring& Path);
bool PathExists(const std::wstring& Path);
bool IsNetworkPath(const std::wstring& Path);
std::int64_t FindDataSize(const WIN32_FIND_DATAW& Data);
// -1 when not found or given a wildcard pattern.
std::int64_t GetFindFileSize(const std::wstring& Path);
bool IsWow64();
// A shortcut's target; a target in the 32-bit program-files folder that
// exists only in the native one is corrected.
void GetLinkTargetPath(const std::wstring& LinkFile, std::wstring& Target);

class TKivPathList;

// --- The folder component: one shell folder and a walk over its objects ---
class TOvandrel : public Component {
public:
    explicit TOvandrel(Component* Owner);
    // Copies the template's options, filter, folder and events.
    static TOvandrel* CreateFrom(TOvandrel* Template);
    ~TOvandrel() override;

    std::wstring Folder();
    // Throws EOvandrelError when the path cannot be resolved.
    void SetFolder(const std::wstring& Path);
    void SetFolderIDList(const IItemIdList& List);
    // The item becomes the current object, its parent the folder.
    void SetObjectIDList(const IItemIdList& List);
    TKivShellFolder SpecialFolder();
    void SetSpecialFolder(TKivShellFolder Value);
    std::wstring Filter() const { return JoinFilter(FPatterns); }
    void SetFilter(const std::wstring& Value) { FPatterns = ParseFilter(Value); }
    std::vector<std::wstring>* MultiObjects() { return FMultiObjects.get(); }
    // Takes ownership; nullptr changes nothing.
    void SetMultiObjects(std::unique_ptr<std::vector<std::wstring>> List);
    static std::string Version() { return "TOvandrel V8.1.0.648"; }

    bool NextObject();
    bool IsFolderObject();
    std::wstring ObjectPath();
    // Throws EInvalidOperation without a folder.
    void ObjectName(bool InFolder, std::wstring& Name);
    bool MatchesFilter();
    // The remote name of the current object when it is a network domain
    // or server, else empty.
    std::wstring NetResourceName();

    bool FileSystemOnly = false;
    bool ShowErrorMessages = true;
    bool ShowContextMenuOnTop = false;
    std::function<void()> OnRename;
    std::function<void(const std::wstring& Command, bool& Execute)> OnContextMenuSelect;
    std::function<void(TOvandrel& Sender, const std::wstring& Command, TKivPathList& Paths,
                       bool& AllowExecute)>
        OnBeforeShellCommand;

private:
    void ResetObject();
    void ResetEnumeration();
    IItemIdList ObjectAbsoluteList();
    ULONG ObjectAttributes(ULONG Wanted);
    HWND ShellOwner();

    IItemIdList FFolderList;
    IShellFolder* FFolder = nullptr;
    IShellFolder* FObjectFolder = nullptr;  // the current object's parent
    PITEMID_CHILD FObject = nullptr;        // owned
    IEnumIDList* FEnum = nullptr;
    WIN32_FIND_DATAW FFindData = {};
    bool FFindDataRead = false;
    bool FFindDataValid = false;
    std::vector<std::wstring> FPatterns;
    std::unique_ptr<std::vector<std::wstring>> FMultiObjects;
};

// The toolkit-level error of an operation the object's state forbids.
class EInvalidOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// --- A list of paths in their normal form, telling about additions ---
class TKivPathList {
public:
    virtual ~TKivPathList() = default;
    // -1 when the path is refused.
    int Add(const std::wstring& Path);
    void Put(int Index, const std::wstring& Path);
    void Delete(int Index);
    void Insert(int Index, const std::wstring& Path);
    int Count() const { return static_cast<int>(FItems.size()); }
    const std::wstring& operator[](int Index) const { return FItems.at(static_cast<std::size_t>(Index)); }

    bool CheckExists = false;
    bool HasNetworkPaths = false;
    std::function<void(const std::wstring& Path, int Index)> OnAdded;
    std::function<void(const std::wstring& Path, int Index)> OnRemoved;
    // Whatever a user of the list derives from it; dropped on every change.
    std::shared_ptr<void> CachedObject;

protected:
    virtual std::wstring NormalizePath(const std::wstring& Path) { return NormalizeListPath(Path); }
    virtual bool AcceptPath(const std::wstring& Path) { return !CheckExists || PathExists(Path); }
    virtual void DoAdded(const std::wstring& Path, int Index);
    virtual void DoRemoved(const std::wstring& Path, int Index);
    void Changed() { CachedObject.reset(); }

private:
    std::vector<std::wstring> FItems;
};

// --- The shell's system image list and the icon queries ---
enum TKivImageListSize : std::uint8_t { si_small, si_large, si_extralarge, si_jumbo };

class TKivSystemImageList : public Component {
public:
    explicit TKivSystemImageList(Component* Owner);
    ~TKivSystemImageList() override;

    HIMAGELIST Handle() const { return FHandle; }
    bool ShareImages() const { return FShareImages; }
    void SetShareImages(bool Value);
    TKivImageListSize Size() const { return FSize; }
    void SetSize(TKivImageListSize Value);
    COLORREF BkColor = CLR_NONE;
    std::function<void()> OnChange;

    int GetShellIconIndex(const std::wstring& Path, TKivImageListSize Size, bool UseAttributes,
                          bool Open);
    int GetFileIconIndex(const std::wstring& Path, TKivImageListSize Size, bool Open);
    int GetExtensionIconIndex(const std::wstring& Ext, TKivImageListSize Size, bool Open);
    int GetFolderIconIndex(bool Open);
    int GetSpecialFolderIconIndex(TKivShellFolder Folder);

private:
    void LinkSystemImageList();
    void DropHandle();
    HIMAGELIST FHandle = nullptr;
    bool FOwnsHandle = false;
    bool FShareImages = true;
    TKivImageListSize FSize = si_small;
};
