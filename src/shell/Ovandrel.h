// Tests on the form of a path, the placeholder texts, the folder
// component's filter list and the path list's normal form. Portable: never
// includes <windows.h>; the disk and the shell are in OvandrelWin.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// "C:" for a drive-letter path, "\\server\share" for a UNC path, else empty.
std::wstring ExtractFileDriveW(const std::wstring& Path);
std::wstring IncludeTrailingBackslash(const std::wstring& Path);
std::wstring ExcludeTrailingBackslash(const std::wstring& Path);
// From the last '.' after the last '\' or ':', the dot included; or empty.
std::wstring ExtractFileExtW(const std::wstring& Path);

// C:, C:\, \\server\share and \\server\share\; no disk access.
bool IsDriveRoot(const std::wstring& Path);
// A letter, ':' and '\'.
bool IsDriveLetterPath(const std::wstring& Path);
// \\server\share..., or \\?\UNC\...; \\?\C:\ is not.
bool IsUncPath(const std::wstring& Path);
bool IsAbsolutePath(const std::wstring& Path);
// Ext with or without its dot; a folder named with it counts.
bool HasFileExt(const std::wstring& Path, const std::wstring& Ext);
// Without trailing backslashes, ASCII letters without regard to case.
bool SamePath(const std::wstring& A, const std::wstring& B);
// An empty Prefix gives False.
bool StartsWithText(const std::wstring& S, const std::wstring& Prefix);
// Path lies inside Folder: a separator must follow Folder's name, so
// C:\GamesOld\x is not below C:\Games.
bool IsPathBelow(const std::wstring& Folder, const std::wstring& Path);
std::int64_t MakeInt64(std::uint32_t Low, std::uint32_t High);

// Every occurrence of What, ASCII letters without regard to case.
std::wstring ReplaceTextIgnoringCase(const std::wstring& Text, const std::wstring& What,
                                     const std::wstring& With);

struct TClockReading {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};
// "%DATE%" as yyyy-mm-dd and "%TIME%" as hh-nn-ss, both from one reading
// of the clock; "%MYDOCUMENTS%" by MyDocuments, asked only when present.
std::wstring ReplacePlaceholders(const std::wstring& Text, const TClockReading& Now,
                                 const std::function<std::wstring()>& MyDocuments);

// The folder component's filter: patterns split at ';'; "" and "*" give
// none. JoinFilter gives "*" for none.
std::vector<std::wstring> ParseFilter(const std::wstring& Filter);
std::wstring JoinFilter(const std::vector<std::wstring>& Patterns);

// The path list's form: a drive root with a trailing backslash, any other
// path without one.
std::wstring NormalizeListPath(const std::wstring& Path);

// What the icon of a path that the shell did not know is taken from: true
// for the plain folder icon (a path ending in '\', or \\server or
// \\server\share), false for the icon of the path's extension.
bool PathTakesFolderIcon(const std::wstring& Path);
// The file name whose type the shell is asked for: Root + "test" + Ext,
// with the dot added when Ext lacks one.
std::wstring ExtensionProbeName(const std::wstring& Root, const std::wstring& Ext);
