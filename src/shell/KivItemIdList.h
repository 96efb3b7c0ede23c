// The special folders the shell library names, with the shell folder id
// and the known-folder identifier of each. Portable: never includes
// <windows.h>; the item-identifier lists themselves are in KivItemIdListWin.
#pragma once

#include <cstdint>

enum TKivShellFolder : std::uint8_t {
    SF_FILESYSTEMFOLDER, SF_BITBUCKET, SF_CONTROLS, SF_DESKTOP, SF_DESKTOPDIRECTORY, SF_DRIVES,
    SF_FONTS, SF_NETHOOD, SF_NETWORK, SF_PERSONAL, SF_PRINTERS, SF_PROGRAMS, SF_RECENT,
    SF_SENDTO, SF_STARTMENU, SF_STARTUP, SF_TEMPLATES, SF_FAVORITES, SF_COMMON_STARTMENU,
    SF_COMMON_STARTUP, SF_COMMON_DESKTOPDIRECTORY, SF_APPDATA, SF_PRINTHOOD,
    SF_COMMON_FAVORITES, SF_INTERNET_CACHE, SF_COOKIES, SF_HISTORY, SF_COMMON_PROGRAMS,
    SF_ALTSTARTUP, SF_COMMON_APPDATA, SF_COMMON_DOCUMENTS, SF_INTERNET, SF_LOCAL_APPDATA,
    SF_MYPICTURES, SF_PROGRAM_FILES, SF_SYSTEM, SF_PROGRAM_FILES_COMMON, SF_WINDOWS,
    SF_PROGRAM_FILESX86, SF_PROGRAM_FILES_COMMONX86, SF_SYSTEMX86, SF_MY_MUSIC, SF_MY_VIDEOS,
    SF_LIBRARIES, SF_LIBRARY_DOCUMENTS, SF_LIBRARY_PICTURES, SF_LIBRARY_MUSIC,
    SF_LIBRARY_VIDEOS, SF_LIBRARY_PUBLIC, SF_PROFILE, SF_HOME_GROUP, SF_INVALID
};
constexpr int ShellFolderCount = SF_INVALID + 1;

// The shell folder id; 0 means "by known-folder identifier", -1 invalid.
int ShellFolderCsidl(TKivShellFolder Folder);

struct TKnownFolderId {
    std::uint32_t Data1;
    std::uint16_t Data2, Data3;
    std::uint8_t Data4[8];
};
// All zero for folders that have none.
const TKnownFolderId& ShellFolderKnownId(TKivShellFolder Folder);
