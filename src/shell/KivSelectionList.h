// The text side of the path tests: the long-path form, a path's parent
// folder and the dot entries. Portable: never includes <windows.h>.
#pragma once

#include <string>

// "\\?\" (backslash, backslash, question mark, backslash).
extern const wchar_t LongPathPrefix[];

// Absolute paths get the long-path prefix (\\?\C:\x, \\?\UNC\srv\share\x);
// relative paths and paths that already carry it come back unchanged.
std::wstring LongPathFormOf(const std::wstring& Path);
// The parent folder with its trailing backslash (X for an entry X\*).
std::wstring ParentFolderOf(const std::wstring& Path);
bool IsDotEntryName(const std::wstring& Name);
// A character the find routines take as a wildcard ('*', '?', and '<', '>'
// and '"') outside a leading long-path prefix.
bool HasWildcards(const std::wstring& Path);
