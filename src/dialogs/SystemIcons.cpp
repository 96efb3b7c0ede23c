#include "dialogs/SystemIcons.h"

#include <shellapi.h>

namespace {

int IconIndex(const std::string& Path, DWORD Attributes, UINT Flags)
{
    SHFILEINFOA Info = {};
    if (!::SHGetFileInfoA(Path.c_str(), Attributes, &Info, sizeof(Info),
                          Flags | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return -1;
    return Info.iIcon;
}

}  // namespace

HIMAGELIST SystemSmallImages()
{
    SHFILEINFOA Info = {};
    return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        "C:\\", 0, &Info, sizeof(Info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

int FileIconIndex(const std::string& Path)
{
    return IconIndex(Path, 0, 0);
}

int FolderIconIndex(bool Open)
{
    return IconIndex("folder", FILE_ATTRIBUTE_DIRECTORY,
                     SHGFI_USEFILEATTRIBUTES | (Open ? SHGFI_OPENICON : 0));
}

int ExtensionIconIndex(const std::string& Ext)
{
    return IconIndex("file." + Ext, FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES);
}
