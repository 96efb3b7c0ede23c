// Small icons of the shell's system image list, by file, folder or
// extension: what the dialogs draw beside paths.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

HIMAGELIST SystemSmallImages();
// The small icon of a file, or -1.
int FileIconIndex(const std::string& Path);
int FolderIconIndex(bool Open);
// The small icon of files with this extension ("exe"), or -1.
int ExtensionIconIndex(const std::string& Ext);
