#include "hosting/VelmoraWin.h"

#include <cstring>

std::string ModuleFileName(HMODULE Module, DWORD FirstSize)
{
    // A path that fills the buffer may have been cut: only a shorter answer
    // is whole. Long paths end well below 64 K characters.
    for (DWORD Size = FirstSize ? FirstSize : 1; Size <= 0x10000; Size *= 2) {
        std::string Path(Size, '\0');
        const DWORD Len = ::GetModuleFileNameA(Module, &Path[0], Size);
        if (Len == 0)
            return std::string();
        if (Len < Size) {
            Path.resize(Len);
            return Path;
        }
    }
    return std::string();
}

static std::string ComputeProgramDir()
{
    return ExtractFilePath(ModuleFileName(nullptr));
}

static const std::string ProgramDirValue = ComputeProgramDir();
const std::string& ProgramDir = ProgramDirValue;

bool FileExists(const std::string& FileName)
{
    const DWORD Attr = ::GetFileAttributesA(FileName.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void ClearReadOnly(const std::string& FileName)
{
    const DWORD Attr = ::GetFileAttributesA(FileName.c_str());
    if (Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesA(FileName.c_str(), Attr & ~FILE_ATTRIBUTE_READONLY);
}

bool GetFileSize64(const std::string& FileName, std::int64_t& Size, bool ClearReadOnlyFirst)
{
    Size = 0;
    if (ClearReadOnlyFirst)
        ClearReadOnly(FileName);
    // An unreadable file answers failure: identification must go on.
    HANDLE File = ::CreateFileA(FileName.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER Li;
    const bool Ok = ::GetFileSizeEx(File, &Li) != 0;
    ::CloseHandle(File);
    if (Ok)
        Size = Li.QuadPart;
    return Ok;
}

std::string ShortenFileName(const std::string& Path, HDC Canvas, int MaxWidth)
{
    std::string Rest = Path;
    std::string Tail;
    if (!Rest.empty() && IsPathDelimiter(Rest.back())) {
        Tail = Rest.substr(Rest.size() - 1);
        Rest.pop_back();
    }
    auto Width = [Canvas](const std::string& S) {
        SIZE Sz = {0, 0};
        ::GetTextExtentPoint32A(Canvas, S.c_str(), static_cast<int>(S.size()), &Sz);
        return static_cast<int>(Sz.cx);
    };
    return MinimizeName(Rest, Width, MaxWidth) + Tail;
}

std::string GetDriveLetters()
{
    std::string Letters;
    for (char L = 'A'; L <= 'Z'; ++L) {
        const char Root[] = {L, ':', '\\', '\0'};
        const UINT Type = ::GetDriveTypeA(Root);
        if (Type >= DRIVE_REMOVABLE && Type <= DRIVE_RAMDISK)
            Letters += L;
    }
    return Letters;
}

bool GetOSVersionInfo(OSVERSIONINFOEXA& Info)
{
    std::memset(&Info, 0, sizeof(Info));
    Info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&Info)))
        return true;
    std::memset(&Info, 0, sizeof(Info));
    Info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&Info)))
        return true;
    Info.dwOSVersionInfoSize = 0;
    return false;
}

DWORD GetPlatformId()
{
    OSVERSIONINFOEXA Info;
    return GetOSVersionInfo(Info) ? Info.dwPlatformId : 0;
}

std::string TSafeRegistry::ReadStringDef(const std::string& Name, const std::string& Default) const
{
    try {
        return ValueExists(Name) ? ReadString(Name) : Default;
    } catch (...) {
        return Default;
    }
}

int TSafeRegistry::ReadIntegerDef(const std::string& Name, int Default) const
{
    try {
        return ValueExists(Name) ? ReadInteger(Name) : Default;
    } catch (...) {
        return Default;
    }
}
