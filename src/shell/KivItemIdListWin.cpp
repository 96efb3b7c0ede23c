#include "shell/KivItemIdListWin.h"

#include "shell/OvandrelWin.h"
#include "shell/Shell_Win32Win.h"

#include <array>
#include <cstring>
#include <vector>

IItemIdList DesktopIdList;

namespace {

std::array<IItemIdList, ShellFolderCount> Cache;
TSpecialFolderSource FolderSource = nullptr;
// The desktop's own list: a single zero item length.
const USHORT EmptyIdList = 0;

PCUIDLIST_RELATIVE NextItem(PCUIDLIST_RELATIVE List)
{
    if (!List || List->mkid.cb == 0)
        return nullptr;
    if (ShellRoutines.ILGetNext)
        return ShellRoutines.ILGetNext(List);
    const auto* Next = reinterpret_cast<PCUIDLIST_RELATIVE>(
        reinterpret_cast<const BYTE*>(List) + List->mkid.cb);
    return Next->mkid.cb == 0 ? nullptr : Next;
}

PIDLIST_ABSOLUTE CopyBytes(const void* Data, std::size_t Size)
{
    auto* Copy = static_cast<BYTE*>(::CoTaskMemAlloc(Size + sizeof(USHORT)));
    if (!Copy)
        return nullptr;
    std::memcpy(Copy, Data, Size);
    std::memset(Copy + Size, 0, sizeof(USHORT));
    return reinterpret_cast<PIDLIST_ABSOLUTE>(Copy);
}

PIDLIST_ABSOLUTE CloneList(PCUIDLIST_RELATIVE List)
{
    if (!List)
        return nullptr;
    if (ShellRoutines.ILClone)
        return reinterpret_cast<PIDLIST_ABSOLUTE>(ShellRoutines.ILClone(List));
    return CopyBytes(List, IdListSize(List) - sizeof(USHORT));
}

PCUITEMID_CHILD LastItem(PCUIDLIST_RELATIVE List)
{
    if (ShellRoutines.ILFindLastID)
        return ShellRoutines.ILFindLastID(List);
    PCUIDLIST_RELATIVE Last = List;
    for (PCUIDLIST_RELATIVE P = List; P && P->mkid.cb; P = NextItem(P))
        Last = P;
    return reinterpret_cast<PCUITEMID_CHILD>(Last);
}

GUID ToGuid(const TKnownFolderId& Id)
{
    GUID G;
    G.Data1 = Id.Data1;
    G.Data2 = Id.Data2;
    G.Data3 = Id.Data3;
    std::memcpy(G.Data4, Id.Data4, sizeof G.Data4);
    return G;
}

}  // namespace

int IdListItemCount(PCUIDLIST_RELATIVE List)
{
    int Count = 0;
    for (PCUIDLIST_RELATIVE P = List; P && P->mkid.cb; P = NextItem(P))
        ++Count;
    return Count;
}

std::size_t IdListSize(PCUIDLIST_RELATIVE List)
{
    std::size_t Size = sizeof(USHORT);
    for (const BYTE* P = reinterpret_cast<const BYTE*>(List);
         P && reinterpret_cast<const SHITEMID*>(P)->cb; P += reinterpret_cast<const SHITEMID*>(P)->cb)
        Size += reinterpret_cast<const SHITEMID*>(P)->cb;
    return Size;
}

void SetSpecialFolderSource(TSpecialFolderSource Source)
{
    FolderSource = Source;
}

PIDLIST_ABSOLUTE SpecialFolderIDList(TKivShellFolder Folder)
{
    const int Csidl = ShellFolderCsidl(Folder);
    PIDLIST_ABSOLUTE List = nullptr;
    if (Csidl != 0) {
        if (FAILED(::SHGetSpecialFolderLocation(nullptr, Csidl, &List)))
            return nullptr;
        return List;
    }
    if (!ShellRoutines.SHGetKnownFolderIDList)
        return nullptr;
    const GUID Id = ToGuid(ShellFolderKnownId(Folder));
    if (FAILED(ShellRoutines.SHGetKnownFolderIDList(Id, 0, nullptr, &List)))
        return nullptr;
    return List;
}

TKivItemIdList::TKivItemIdList(PCIDLIST_ABSOLUTE List, TIdListMode Mode) : FMode(Mode)
{
    FList = Mode == TIdListMode::Cloned ? CloneList(List) : const_cast<PIDLIST_ABSOLUTE>(List);
}

TKivItemIdList::~TKivItemIdList()
{
    if (FMode != TIdListMode::Borrowed && FList)
        ::CoTaskMemFree(FList);
}

IItemIdList TKivItemIdList::Create(PCIDLIST_ABSOLUTE List, TIdListMode Mode)
{
    IItemIdList Result(new TKivItemIdList(List, Mode));
    Result->FSelf = Result;
    return Result;
}

std::shared_ptr<TKivItemIdList> TKivItemIdList::Self()
{
    return FSelf.lock();
}

IItemIdList TKivItemIdList::CreateFromPath(const std::wstring& Path, IShellFolder* Folder)
{
    IItemIdList Result;
    if (Path.empty())
        Result = Create(GetSpecialFolderList(SF_DRIVES)->GetIDList(), TIdListMode::Borrowed);
    else if (Path == L"\\\\")
        Result = Create(GetSpecialFolderList(SF_NETWORK)->GetIDList(), TIdListMode::Borrowed);
    else
        Result = Create(PathToIDList(Folder, Path), TIdListMode::Owned);
    Result->FPath = Path;
    return Result;
}

IItemIdList TKivItemIdList::GetSpecialFolderList(TKivShellFolder Folder, bool Cached)
{
    if (Folder >= ShellFolderCount)
        Folder = SF_INVALID;
    if (Cached && Cache[Folder])
        return Cache[Folder];
    IItemIdList List =
        Create(FolderSource ? FolderSource(Folder) : SpecialFolderIDList(Folder), TIdListMode::Owned);
    List->FSpecialFolder = Folder;
    List->FSpecialKnown = true;
    if (Cached)
        Cache[Folder] = List;
    return List;
}

bool TKivItemIdList::IsInNetwork(const IItemIdList& List)
{
    const IItemIdList Network = GetSpecialFolderList(SF_NETWORK);
    // Without a network folder nothing lies in it (a null parent would
    // claim every list).
    if (!List || List->IsEmpty() || Network->IsEmpty())
        return false;
    if (ShellRoutines.ILFindChild)
        return ShellRoutines.ILFindChild(Network->GetIDList(), List->GetIDList()) != nullptr;
    return List->GetFirstItems(Network->GetItemCount())->IsEqual(Network);
}

IItemIdList TKivItemIdList::Combine(const IItemIdList& Child)
{
    if (!Child)
        return Self();
    PIDLIST_ABSOLUTE Combined = nullptr;
    if (ShellRoutines.ILCombine) {
        Combined = ShellRoutines.ILCombine(FList, Child->FList);
    } else {
        const std::size_t A = FList ? IdListSize(FList) - sizeof(USHORT) : 0;
        const std::size_t B = Child->FList ? IdListSize(Child->FList) - sizeof(USHORT) : 0;
        std::vector<BYTE> Bytes(A + B);
        if (A)
            std::memcpy(Bytes.data(), FList, A);
        if (B)
            std::memcpy(Bytes.data() + A, Child->FList, B);
        Combined = CopyBytes(Bytes.data(), Bytes.size());
    }
    return Create(Combined, TIdListMode::Owned);
}

IItemIdList TKivItemIdList::GetFirstItems(int Count)
{
    PIDLIST_ABSOLUTE Copy = CloneList(FList);
    if (Copy) {
        // The item where the count is reached gets a zero length.
        PCUIDLIST_RELATIVE P = Copy;
        int Seen = 0;
        while (P && P->mkid.cb && Seen < Count) {
            ++Seen;
            P = NextItem(P);
        }
        if (P && P->mkid.cb)
            const_cast<SHITEMID&>(P->mkid).cb = 0;
    }
    return Create(Copy, TIdListMode::Owned);
}

IItemIdList TKivItemIdList::GetLastItem()
{
    if (!FList)
        return Create(nullptr, TIdListMode::Owned);
    return Create(reinterpret_cast<PCIDLIST_ABSOLUTE>(LastItem(FList)), TIdListMode::Cloned);
}

int TKivItemIdList::CompareWith(const IItemIdList& Other)
{
    if (!Other || !FList || !Other->FList || !DesktopShellFolder)
        return -1;
    const HRESULT Hr = DesktopShellFolder->CompareIDs(0, FList, Other->FList);
    if (FAILED(Hr))
        return -1;
    return static_cast<short>(HRESULT_CODE(Hr));
}

bool TKivItemIdList::IsEqual(const IItemIdList& Other)
{
    return Other && FList && CompareWith(Other) == 0 && GetItemCount() == Other->GetItemCount();
}

int TKivItemIdList::GetItemCount() const
{
    return IdListItemCount(FList);
}

const std::wstring& TKivItemIdList::GetFileSystemPath()
{
    if (FPath != L"-")
        return FPath;
    FPath.clear();
    if (!FList)
        return FPath;
    std::vector<wchar_t> Buffer(32767);
    bool Done = false;
    if (IsVistaOrLater && ShellRoutines.SHGetPathFromIDListEx &&
        ShellRoutines.SHGetPathFromIDListEx(FList, Buffer.data(),
                                            static_cast<DWORD>(Buffer.size()), 0)) {
        FPath = Buffer.data();
        Done = true;
        if (FPath.size() >= 10 && ShellRoutines.GetLongPathNameW) {
            const DWORD Len = ShellRoutines.GetLongPathNameW(FPath.c_str(), Buffer.data(),
                                                              static_cast<DWORD>(Buffer.size()));
            if (Len > 0 && Len < Buffer.size())
                FPath.assign(Buffer.data(), Len);
        }
    }
    if (!Done) {
        wchar_t Path[MAX_PATH] = {};
        if (::SHGetPathFromIDListW(FList, Path))
            FPath = Path;
    }
    if (GetItemCount() >= 2) {
        if (GetItemCount() == 2 && !FPath.empty() && !IsDriveRoot(FPath)) {
            std::wstring Target;
            GetLinkTargetPath(FPath, Target);
            if (!Target.empty())
                FPath = Target;
        }
        if (FPath.empty()) {
            TOvandrel Folder(nullptr);
            Folder.SetObjectIDList(Self());
            FPath = Folder.NetResourceName();
        }
        if (FPath.empty() && IsWin7OrLater)
            FPath = GetLibrarySaveFolderPath(FList);
    }
    return FPath;
}

TKivShellFolder TKivItemIdList::GetSpecialFolder()
{
    if (FSpecialKnown)
        return FSpecialFolder;
    FSpecialKnown = true;
    FSpecialFolder = SF_INVALID;
    if (!FList)
        return FSpecialFolder;
    const IItemIdList Me = Self();
    for (int F = SF_BITBUCKET; F <= SF_INVALID; ++F) {
        try {
            const IItemIdList Special = GetSpecialFolderList(static_cast<TKivShellFolder>(F));
            // A folder that did not resolve is passed over, never compared.
            if (Special->IsEmpty())
                continue;
            if (CompareWith(Special) == 0) {
                FSpecialFolder = static_cast<TKivShellFolder>(F);
                return FSpecialFolder;
            }
        } catch (...) {
        }
    }
    GetFileSystemPath();
    FSpecialFolder = SF_FILESYSTEMFOLDER;
    return FSpecialFolder;
}

bool TKivItemIdList::IsSpecialFolder(TKivShellFolder Folder)
{
    if (FSpecialKnown)
        return FSpecialFolder == Folder;
    const IItemIdList Special = GetSpecialFolderList(Folder);
    return !Special->IsEmpty() && CompareWith(Special) == 0;
}

std::wstring TKivItemIdList::GetDisplayText()
{
    STRRET Str = {};
    if (!FList || !DesktopShellFolder ||
        FAILED(DesktopShellFolder->GetDisplayNameOf(FList, SHGDN_NORMAL, &Str)))
        return std::wstring();
    return StrRetToString(FList, Str);
}

void KivItemIdListStartup()
{
    DesktopIdList = TKivItemIdList::Create(nullptr, TIdListMode::Borrowed);
    Cache[SF_FILESYSTEMFOLDER] = DesktopIdList;
    IItemIdList Desktop = TKivItemIdList::Create(
        reinterpret_cast<PCIDLIST_ABSOLUTE>(&EmptyIdList), TIdListMode::Borrowed);
    Cache[SF_DESKTOP] = Desktop;
}

void KivItemIdListShutdown()
{
    for (IItemIdList& Entry : Cache)
        Entry.reset();
    DesktopIdList.reset();
}
