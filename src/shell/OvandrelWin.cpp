#include "shell/OvandrelWin.h"

#include "shell/KivSelectionListWin.h"
#include "toolkit/Application.h"
#include "toolkit/Control.h"
#include "toolkit/Form.h"

#include <cstring>

IShellFolder* DesktopShellFolder = nullptr;
bool IsVistaOrLater = false;
bool IsWin7OrLater = false;
std::wstring SystemDriveRoot;

namespace {

TDesktopFolderSource DesktopFolderSource = nullptr;
// The 32-bit and the native program-files folders; "::" until computed.
std::wstring ProgramFiles32 = L"::";
std::wstring ProgramFilesNative = L"::";

}  // namespace

void SetDesktopFolderSource(TDesktopFolderSource Source)
{
    DesktopFolderSource = Source;
}

// The thread StartSystemImageListPrefetch runs, until shut down.
static HANDLE PrefetchThread = nullptr;

void OvandrelStartup()
{
    OSVERSIONINFOA Info = {};
    Info.dwOSVersionInfoSize = sizeof Info;
    if (::GetVersionExA(&Info)) {
        IsVistaOrLater = Info.dwMajorVersion >= 6;
        IsWin7OrLater = (Info.dwMajorVersion >= 6 && Info.dwMinorVersion >= 1) ||
                        Info.dwMajorVersion >= 7;
    }
    IShellFolder* Desktop = nullptr;
    const HRESULT Hr = DesktopFolderSource ? DesktopFolderSource(&Desktop)
                                           : ::SHGetDesktopFolder(&Desktop);
    if (FAILED(Hr) || !Desktop)
        throw EOvandrelError("Ovandrel Components: Cannot open Shell!");
    DesktopShellFolder = Desktop;
    ::RegisterClipboardFormatA("Shell IDList Array");
    std::wstring Windows;
    GetWindowsDir(Windows);
    SystemDriveRoot = IncludeTrailingBackslash(ExtractFileDriveW(Windows));
}

void OvandrelShutdown()
{
    if (PrefetchThread) {
        ::WaitForSingleObject(PrefetchThread, INFINITE);
        ::CloseHandle(PrefetchThread);
        PrefetchThread = nullptr;
    }
    if (DesktopShellFolder)
        DesktopShellFolder->Release();
    DesktopShellFolder = nullptr;
    SystemDriveRoot.clear();
    ProgramFiles32 = ProgramFilesNative = L"::";
}

void GetWindowsDir(std::wstring& Dir)
{
    char Buffer[MAX_PATH + 1] = {};
    UINT Len = 0;
    if (ShellRoutines.GetSystemWindowsDirectoryA)
        Len = ShellRoutines.GetSystemWindowsDirectoryA(Buffer, MAX_PATH);
    if (Len == 0 || Len > MAX_PATH)
        Len = ::GetWindowsDirectoryA(Buffer, MAX_PATH);
    Dir = Len == 0 || Len > MAX_PATH ? L"C:\\Windows" : AnsiToWide(std::string(Buffer, Len));
}

// ---------------------------------------------------------------- paths

namespace {

const GUID IID_ShellFolderIntf = {0x000214E6, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace

void GetSpecialFolderPath(TKivShellFolder Folder, std::wstring& Path)
{
    Path = TKivItemIdList::GetSpecialFolderList(Folder)->GetFileSystemPath();
    if (!Path.empty())
        return;
    switch (Folder) {
    case SF_PROGRAM_FILESX86: GetSpecialFolderPath(SF_PROGRAM_FILES, Path); break;
    case SF_PROGRAM_FILES_COMMONX86: GetSpecialFolderPath(SF_PROGRAM_FILES_COMMON, Path); break;
    case SF_SYSTEMX86: GetSpecialFolderPath(SF_SYSTEM, Path); break;
    default: break;
    }
}

std::wstring ExpandPathPlaceholders(const std::wstring& Text)
{
    std::wstring Result = Text;
    const DWORD N = ::ExpandEnvironmentStringsW(Text.c_str(), nullptr, 0);
    if (N > 0 && !Text.empty()) {
        std::vector<wchar_t> Buffer(N + 1);
        const DWORD Got = ::ExpandEnvironmentStringsW(Text.c_str(), Buffer.data(), N + 1);
        if (Got > 0 && Got <= N + 1)
            Result.assign(Buffer.data(), Got - 1);
    }
    // One reading of the clock serves date and time alike.
    SYSTEMTIME Now;
    ::GetLocalTime(&Now);
    const TClockReading Clock{Now.wYear, Now.wMonth, Now.wDay, Now.wHour, Now.wMinute, Now.wSecond};
    return ReplacePlaceholders(Result, Clock, [] {
        std::wstring Docs;
        GetSpecialFolderPath(SF_PERSONAL, Docs);
        return Docs;
    });
}

static bool FreeSpaceAnswers(const std::wstring& Path)
{
    ULARGE_INTEGER Free, Total, TotalFree;
    const std::string Root = WideToAnsi(IncludeTrailingBackslash(ExtractFileDriveW(Path)));
    return ::GetDiskFreeSpaceExA(Root.c_str(), &Free, &Total, &TotalFree) != FALSE;
}

bool IsDriveReady(const std::wstring& Path)
{
    TErrorModeGuard ErrorMode;
    if (FreeSpaceAnswers(Path))
        return true;
    if (!IsWin7OrLater || !ShellRoutines.IsUserAnAdmin || !ShellRoutines.IsUserAnAdmin() ||
        !IsDriveLetterPath(Path))
        return false;
    // Asking the shell for the drive's first object can wake it up.
    bool Fetched = false;
    try {
        TOvandrel Probe(nullptr);
        Probe.ShowErrorMessages = false;
        Probe.SetFolder(Path);
        Fetched = Probe.NextObject();
    } catch (...) {
        return false;
    }
    return Fetched && FreeSpaceAnswers(Path);
}

bool PathExists(const std::wstring& Path)
{
    if (IsDriveRoot(Path))
        return IsDriveReady(Path);
    if (Path.empty() || HasWildcards(Path))
        return false;
    TErrorModeGuard ErrorMode;
    WIN32_FIND_DATAW Data;
    const HANDLE Find = TKivSelectionList::FindFirstFileLong(ExcludeTrailingBackslash(Path), Data);
    if (Find == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(Find);
    return true;
}

bool IsNetworkPath(const std::wstring& Path)
{
    if (IsUncPath(Path))
        return true;
    const std::string Drive = WideToAnsi(IncludeTrailingBackslash(ExtractFileDriveW(Path)));
    return ::GetDriveTypeA(Drive.c_str()) == DRIVE_REMOTE;
}

std::int64_t FindDataSize(const WIN32_FIND_DATAW& Data)
{
    return MakeInt64(Data.nFileSizeLow, Data.nFileSizeHigh);
}

std::int64_t GetFindFileSize(const std::wstring& Path)
{
    // A pattern would answer the size of whichever file matched first.
    if (HasWildcards(Path))
        return -1;
    WIN32_FIND_DATAW Data;
    const HANDLE Find = TKivSelectionList::FindFirstFileLong(Path, Data);
    if (Find == INVALID_HANDLE_VALUE)
        return -1;
    ::FindClose(Find);
    return FindDataSize(Data);
}

bool IsWow64()
{
    BOOL Wow64 = FALSE;
    return ShellRoutines.IsWow64Process &&
           ShellRoutines.IsWow64Process(::GetCurrentProcess(), &Wow64) && Wow64;
}

void GetLinkTargetPath(const std::wstring& LinkFile, std::wstring& Target)
{
    TErrorModeGuard ErrorMode;
    Target = ReadShellLinkPath(LinkFile);
    if (!IsWow64())
        return;
    if (ProgramFiles32 == L"::") {
        GetSpecialFolderPath(SF_PROGRAM_FILESX86, ProgramFiles32);
        ProgramFilesNative = ExpandPathPlaceholders(L"%ProgramW6432%");
    }
    if (!StartsWithText(Target, ProgramFiles32) || PathExists(Target))
        return;
    const std::wstring Candidate =
        ProgramFilesNative + Target.substr(ProgramFiles32.size());
    if (PathExists(Candidate))
        Target = Candidate;
}

// ------------------------------------------------------- folder component

TOvandrel::TOvandrel(Component* Owner)
    : Component(Owner), FMultiObjects(std::make_unique<std::vector<std::wstring>>())
{
}

TOvandrel* TOvandrel::CreateFrom(TOvandrel* Template)
{
    auto* Result = new TOvandrel(Template ? Template->Owner() : nullptr);
    if (Template) {
        Result->ShowErrorMessages = Template->ShowErrorMessages;
        Result->FileSystemOnly = Template->FileSystemOnly;
        Result->ShowContextMenuOnTop = Template->ShowContextMenuOnTop;
        Result->FPatterns = Template->FPatterns;
        if (Template->FFolderList)
            Result->SetFolderIDList(Template->FFolderList);
        Result->OnRename = Template->OnRename;
        Result->OnContextMenuSelect = Template->OnContextMenuSelect;
        Result->OnBeforeShellCommand = Template->OnBeforeShellCommand;
    }
    return Result;
}

TOvandrel::~TOvandrel()
{
    ResetObject();
    ResetEnumeration();
    if (FFolder)
        FFolder->Release();
}

void TOvandrel::ResetObject()
{
    if (FObject)
        ::CoTaskMemFree(FObject);
    FObject = nullptr;
    if (FObjectFolder)
        FObjectFolder->Release();
    FObjectFolder = nullptr;
    FFindDataRead = FFindDataValid = false;
}

void TOvandrel::ResetEnumeration()
{
    if (FEnum)
        FEnum->Release();
    FEnum = nullptr;
}

std::wstring TOvandrel::Folder()
{
    if (!FFolderList)
        return std::wstring();
    const std::wstring Path = FFolderList->GetFileSystemPath();
    return Path.empty() ? Path : IncludeTrailingBackslash(Path);
}

void TOvandrel::SetFolder(const std::wstring& Path)
{
    const std::wstring Previous = Folder();
    if (!Path.empty() && SameTextW(Path, Previous))
        return;
    const IItemIdList List = TKivItemIdList::CreateFromPath(Path);
    if (List->IsEmpty()) {
        // Back to the previous folder (the computer folder when there was
        // none); that path differs from this one, so this ends.
        try {
            if (Path != Previous)
                SetFolder(Previous);
        } catch (const EOvandrelError&) {
        }
        throw EOvandrelError(SysErrorText(ERROR_PATH_NOT_FOUND) + "\r\n" + WideToAnsi(Path));
    }
    SetFolderIDList(List);
}

void TOvandrel::SetFolderIDList(const IItemIdList& List)
{
    IShellFolder* Folder = nullptr;
    if (List && !List->IsEmpty()) {
        if (!DesktopShellFolder)
            throw EOvandrelError("Ovandrel Components: Cannot open Shell!");
        if (List->GetItemCount() == 0) {
            Folder = DesktopShellFolder;
            Folder->AddRef();
        } else {
            const HRESULT Hr = DesktopShellFolder->BindToObject(
                List->GetIDList(), nullptr, IID_ShellFolderIntf, reinterpret_cast<void**>(&Folder));
            if (FAILED(Hr) || !Folder)
                throw EOvandrelError(
                    "TOvandrel.SetFolderIDList: Could not get IShellFolder interface. (" +
                    SysErrorText(static_cast<DWORD>(Hr)) + ")");
        }
    }
    ResetObject();
    ResetEnumeration();
    if (FFolder)
        FFolder->Release();
    FFolder = Folder;
    FFolderList = Folder ? List : IItemIdList();
}

void TOvandrel::SetObjectIDList(const IItemIdList& List)
{
    if (!List || List->IsEmpty())
        return;
    if (List->GetItemCount() == 0) {
        SetSpecialFolder(SF_DESKTOP);
        return;
    }
    IShellFolder* Parent = nullptr;
    PCUITEMID_CHILD Last = nullptr;
    HRESULT Hr = E_NOTIMPL;
    if (ShellRoutines.SHBindToParent)
        Hr = ShellRoutines.SHBindToParent(List->GetIDList(), IID_ShellFolderIntf,
                                          reinterpret_cast<void**>(&Parent), &Last);
    if (Hr != S_OK && Hr != S_FALSE) {
        if (!IsVistaOrLater)
            throw EOSError(SysErrorText(static_cast<DWORD>(Hr)));
        return;
    }
    // A success code without a parent leaves nothing to point at.
    if (!Parent || !Last) {
        if (Parent)
            Parent->Release();
        return;
    }
    const IItemIdList ParentList = List->GetFirstItems(List->GetItemCount() - 1);
    ResetObject();
    ResetEnumeration();
    if (FFolder)
        FFolder->Release();
    FFolder = Parent;
    FFolderList = ParentList;
    FObjectFolder = Parent;
    FObjectFolder->AddRef();
    // Last points into List; the object keeps its own copy.
    const std::size_t Size = IdListSize(Last);
    FObject = static_cast<PITEMID_CHILD>(::CoTaskMemAlloc(Size));
    std::memcpy(FObject, Last, Size - sizeof(USHORT));
    std::memset(reinterpret_cast<BYTE*>(FObject) + Size - sizeof(USHORT), 0, sizeof(USHORT));
}

TKivShellFolder TOvandrel::SpecialFolder()
{
    return FFolderList ? FFolderList->GetSpecialFolder() : SF_INVALID;
}

void TOvandrel::SetSpecialFolder(TKivShellFolder Value)
{
    if (Value == SpecialFolder()) {
        ResetObject();
        return;
    }
    SetFolderIDList(TKivItemIdList::GetSpecialFolderList(Value));
}

void TOvandrel::SetMultiObjects(std::unique_ptr<std::vector<std::wstring>> List)
{
    if (List)
        FMultiObjects = std::move(List);
}

HWND TOvandrel::ShellOwner()
{
    if (!ShowErrorMessages) {
        const std::wstring Path = Folder();
        if (FEnum || !IsDriveRoot(Path))
            if (!HasFileExt(Path, L".ZIP"))
                return nullptr;
    }
    if (auto* Windowed = dynamic_cast<Control*>(Owner()))
        if (Windowed->Handle())
            return Windowed->Handle();
    return Application && Application->MainForm ? Application->MainForm->Handle() : nullptr;
}

IItemIdList TOvandrel::ObjectAbsoluteList()
{
    if (!FFolderList || !FObject)
        return IItemIdList();
    return FFolderList->Combine(
        TKivItemIdList::Create(reinterpret_cast<PCIDLIST_ABSOLUTE>(FObject), TIdListMode::Borrowed));
}

ULONG TOvandrel::ObjectAttributes(ULONG Wanted)
{
    if (!FObjectFolder || !FObject)
        return 0;
    ULONG Attributes = Wanted;
    PCUITEMID_CHILD Items[] = {FObject};
    if (FAILED(FObjectFolder->GetAttributesOf(1, Items, &Attributes)))
        return 0;
    return Attributes & Wanted;
}

bool TOvandrel::NextObject()
{
    if (!FFolder)
        return false;
    if (!FEnum) {
        TErrorModeGuard ErrorMode(ShowErrorMessages ? 0 : SEM_FAILCRITICALERRORS);
        if (FAILED(FFolder->EnumObjects(ShellOwner(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS |
                                                          SHCONTF_INCLUDEHIDDEN,
                                        &FEnum)) ||
            !FEnum) {
            FEnum = nullptr;
            return false;
        }
    }
    const TKivShellFolder Kind = SpecialFolder();
    for (;;) {
        PITEMID_CHILD Item = nullptr;
        ULONG Fetched = 0;
        if (FEnum->Next(1, &Item, &Fetched) != S_OK || Fetched == 0) {
            ResetEnumeration();
            return false;
        }
        ResetObject();
        FObject = Item;
        FObjectFolder = FFolder;
        FObjectFolder->AddRef();
        if (FileSystemOnly && !ObjectAttributes(SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) {
            const bool Kept = StartsWithText(ObjectPath(), L"RECYCLE") || Kind == SF_DRIVES ||
                              Kind == SF_NETWORK;
            if (!Kept || (Kind == SF_NETWORK && ObjectPath().empty()))
                continue;
        }
        if (MatchesFilter())
            return true;
    }
}

bool TOvandrel::IsFolderObject()
{
    if (!ObjectAttributes(SFGAO_FOLDER))
        return false;
    if (!FileSystemOnly)
        return true;
    return ObjectAttributes(SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR) &&
           !HasFileExt(ObjectPath(), L".ZIP");
}

std::wstring TOvandrel::ObjectPath()
{
    if (!FFolder || !FObject)
        return std::wstring();
    if (!FFindDataRead) {
        FFindDataRead = true;
        FFindDataValid = SUCCEEDED(::SHGetDataFromIDListW(FObjectFolder, FObject, SHGDFIL_FINDDATA,
                                                          &FFindData, sizeof FFindData));
    }
    if (FFindDataValid && FFindData.cFileName[0])
        return FFindData.cFileName;
    const IItemIdList Full = ObjectAbsoluteList();
    std::wstring Path = Full ? Full->GetFileSystemPath() : std::wstring();
    if (!IsDriveRoot(Path)) {
        const std::size_t At = Path.find_last_of(L"\\:");
        if (At != std::wstring::npos)
            Path = Path.substr(At + 1);
    }
    if (!Path.empty())
        return Path;
    STRRET Str = {};
    if (FAILED(FObjectFolder->GetDisplayNameOf(FObject, SHGDN_INFOLDER, &Str)))
        return std::wstring();
    return StrRetToString(FObject, Str);
}

void TOvandrel::ObjectName(bool InFolder, std::wstring& Name)
{
    if (!FFolder)
        throw EInvalidOperation("No valid folder is currently assigned");
    Name.clear();
    if (!FObject)
        return;
    STRRET Str = {};
    if (SUCCEEDED(FObjectFolder->GetDisplayNameOf(FObject, InFolder ? SHGDN_INFOLDER : SHGDN_NORMAL,
                                                  &Str)))
        Name = StrRetToString(FObject, Str);
    if (Name.empty())
        Name = ObjectPath();
}

bool TOvandrel::MatchesFilter()
{
    if (FPatterns.empty() || IsFolderObject())
        return true;
    std::wstring Name = ObjectPath();
    if (Name.empty())
        ObjectName(true, Name);
    for (const std::wstring& Pattern : FPatterns)
        if (MatchesSpec(Name, Pattern))
            return true;
    return false;
}

std::wstring TOvandrel::NetResourceName()
{
    return FObjectFolder && FObject ? GetNetResourceName(FObjectFolder, FObject) : std::wstring();
}

// ------------------------------------------------------------- path list

int TKivPathList::Add(const std::wstring& Path)
{
    const std::wstring P = NormalizePath(Path);
    if (!AcceptPath(P))
        return -1;
    FItems.push_back(P);
    Changed();
    if (IsNetworkPath(P))
        HasNetworkPaths = true;
    DoAdded(P, Count() - 1);
    return Count() - 1;
}

void TKivPathList::Put(int Index, const std::wstring& Path)
{
    std::wstring& Item = FItems.at(static_cast<std::size_t>(Index));
    DoRemoved(Item, Index);
    Item = Path;
    Changed();
    DoAdded(Path, Index);
}

void TKivPathList::Delete(int Index)
{
    DoRemoved(FItems.at(static_cast<std::size_t>(Index)), Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TKivPathList::Insert(int Index, const std::wstring& Path)
{
    if (Index < 0 || Index > Count())
        throw std::out_of_range("TKivPathList: index out of bounds");
    FItems.insert(FItems.begin() + Index, Path);
    Changed();
    DoAdded(Path, Index);
}

void TKivPathList::DoAdded(const std::wstring& Path, int Index)
{
    if (OnAdded)
        OnAdded(Path, Index);
}

void TKivPathList::DoRemoved(const std::wstring& Path, int Index)
{
    if (OnRemoved)
        OnRemoved(Path, Index);
}

// ----------------------------------------------------- system image list

namespace {

// One cell per kind (closed, open), -1 until known; shared by every list.
int FolderIconCache[2] = {-1, -1};

}  // namespace

TKivSystemImageList::TKivSystemImageList(Component* Owner) : Component(Owner)
{
    LinkSystemImageList();
}

TKivSystemImageList::~TKivSystemImageList()
{
    DropHandle();
}

void TKivSystemImageList::DropHandle()
{
    // The shared list belongs to the shell and is never destroyed.
    if (FOwnsHandle && FHandle)
        ::ImageList_Destroy(FHandle);
    FHandle = nullptr;
    FOwnsHandle = false;
}

void TKivSystemImageList::SetShareImages(bool Value)
{
    if (Value == FShareImages)
        return;
    DropHandle();
    FShareImages = Value;
    LinkSystemImageList();
}

void TKivSystemImageList::SetSize(TKivImageListSize Value)
{
    if (Value == FSize && FHandle)
        return;
    FSize = Value;
    LinkSystemImageList();
}

static HIMAGELIST ShellSystemImageList(TKivImageListSize Size)
{
    const GUID IID_ImageListIntf = {0x46EB5926, 0x582E, 0x4017,
                                    {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
    if (ShellRoutines.SHGetImageList) {
        int Kind = SHIL_LARGE;
        switch (Size) {
        case si_small: Kind = SHIL_SMALL; break;
        case si_large: Kind = SHIL_LARGE; break;
        case si_extralarge: Kind = SHIL_EXTRALARGE; break;
        case si_jumbo: Kind = IsVistaOrLater ? SHIL_JUMBO : SHIL_LARGE; break;
        }
        void* List = nullptr;
        return SUCCEEDED(ShellRoutines.SHGetImageList(Kind, IID_ImageListIntf, &List))
                   ? static_cast<HIMAGELIST>(List)
                   : nullptr;
    }
    SHFILEINFOA Info = {};
    const std::string Root = WideToAnsi(SystemDriveRoot);
    return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        Root.c_str(), 0, &Info, sizeof Info,
        SHGFI_SYSICONINDEX | (Size == si_small ? SHGFI_SMALLICON : 0)));
}

static DWORD WINAPI PrefetchSystemImageLists(void*)
{
    ShellSystemImageList(si_small);
    ShellSystemImageList(si_large);
    return 0;
}

void StartSystemImageListPrefetch()
{
    if (!PrefetchThread)
        PrefetchThread = ::CreateThread(nullptr, 0, &PrefetchSystemImageLists, nullptr, 0, nullptr);
}

void TKivSystemImageList::LinkSystemImageList()
{
    HIMAGELIST System = ShellSystemImageList(FSize);
    DropHandle();
    if (FShareImages || !System) {
        FHandle = System;
    } else {
        FHandle = ::ImageList_Duplicate(System);
        FOwnsHandle = FHandle != nullptr;
    }
    if (OnChange)
        OnChange();
}

int TKivSystemImageList::GetShellIconIndex(const std::wstring& Path, TKivImageListSize Size,
                                           bool UseAttributes, bool Open)
{
    UINT Flags = SHGFI_SYSICONINDEX;
    if (Size != si_large)
        Flags |= SHGFI_SMALLICON;
    if (Open)
        Flags |= SHGFI_OPENICON;
    if (UseAttributes)
        Flags |= SHGFI_USEFILEATTRIBUTES;
    TErrorModeGuard ErrorMode;
    TWow64Guard Redirection;
    try {
        SHFILEINFOW Info = {};
        if (!::SHGetFileInfoW(Path.c_str(), UseAttributes ? FILE_ATTRIBUTE_NORMAL : 0, &Info,
                              sizeof Info, Flags))
            return -1;
        return Info.iIcon;
    } catch (...) {
        return -1;
    }
}

int TKivSystemImageList::GetFileIconIndex(const std::wstring& Path, TKivImageListSize Size,
                                          bool Open)
{
    const int Index = GetShellIconIndex(Path, Size, false, false);
    if (Index >= 0)
        return Index;
    if (TKivSelectionList::IsFolder(Path))
        return GetFolderIconIndex(false);
    if (PathTakesFolderIcon(Path))
        return GetFolderIconIndex(Open);
    return GetExtensionIconIndex(ExtractFileExtW(AnsiToWide(WideToAnsi(Path))), Size, Open);
}

int TKivSystemImageList::GetExtensionIconIndex(const std::wstring& Ext, TKivImageListSize Size,
                                               bool Open)
{
    return GetShellIconIndex(ExtensionProbeName(SystemDriveRoot, Ext), Size, true, Open);
}

int TKivSystemImageList::GetFolderIconIndex(bool Open)
{
    int& Cell = FolderIconCache[Open ? 1 : 0];
    if (Cell >= 0)
        return Cell;
    std::wstring Folder = GetTempDir();
    if (!TKivSelectionList::IsFolder(Folder))
        GetWindowsDir(Folder);
    Cell = GetShellIconIndex(Folder, si_small, false, Open);
    return Cell;
}

int TKivSystemImageList::GetSpecialFolderIconIndex(TKivShellFolder Folder)
{
    IItemIdList List = TKivItemIdList::GetSpecialFolderList(Folder);
    if (List->IsEmpty())
        return -1;
    SHFILEINFOA Info = {};
    const UINT Flags = SHGFI_SYSICONINDEX | SHGFI_PIDL | (FSize != si_large ? SHGFI_SMALLICON : 0);
    if (!::SHGetFileInfoA(reinterpret_cast<LPCSTR>(List->GetIDList()), 0, &Info, sizeof Info, Flags))
        return -1;
    return Info.iIcon;
}
