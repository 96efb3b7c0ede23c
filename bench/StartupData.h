// Stored state for the start-up benchmark: a database of known
// applications and an application list of generated programs, made with
// the program's own writers and put where quorvan.exe reads them at its
// first activation. The listed executables are hard links to one small
// program with a version resource, so every one exists, has a name of its
// own and a version to read.
#pragma once

#include "dialogs/applicationlist.h"
#include "hosting/RulesFile.h"
#include "mainwindow/StoredState.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

struct TStoredTexts {
    std::string FoundAppList;  // joined by character 13, as stored
    std::string KnownAppList;
};

inline std::string GeneratedExe(int I)
{
    char Name[32];
    std::snprintf(Name, sizeof(Name), "gen%05d.exe", I);
    return Name;
}

inline std::string GeneratedName(int I)
{
    char Name[48];
    std::snprintf(Name, sizeof(Name), "Generated application %05d", I);
    return Name;
}

inline std::string JoinLines(const StringList& Lines)
{
    std::string Text;
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        if (I)
            Text += '\r';
        Text += Lines[I];
    }
    return Text;
}

// Links Folder\gen00000.exe ... for the first Count entries to Source
// (copies where links fail); false when one cannot be made.
inline bool MakeGeneratedExecutables(const std::string& Folder, const std::string& Source,
                                     int Count)
{
    ::CreateDirectoryA(Folder.c_str(), nullptr);
    for (int I = 0; I < Count; ++I) {
        const std::string Path = Folder + GeneratedExe(I);
        if (::GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        if (!::CreateHardLinkA(Path.c_str(), Source.c_str(), nullptr) &&
            !::CopyFileA(Source.c_str(), Path.c_str(), TRUE))
            return false;
    }
    return true;
}

// Entries entries in 20 categories, one in ten external, half with a
// version condition the generated program meets, every 50th the main
// window of a two-window application (categories go in runs of 50, so the
// rules text, grouped by category, keeps its windows together); Listed of
// them (every second one) in the list, their executables in Folder; then
// each of Bound (a name and its executable's path), known and listed, bound
// into a panel.
struct TBoundApp {
    std::string Name;
    std::string Exe;
};
inline TStoredTexts GenerateStoredTexts(int Listed, int Entries, const std::string& Folder,
                                        const std::vector<TBoundApp>& Bound = {})
{
    TStoredTexts Texts;
    KnownApps.Clear();
    AllowedWindows.Clear();
    ForbiddenWindows.Clear();
    for (int I = 0; I < Entries; ++I) {
        const std::string Number = I % 50 == 0 ? "1" : I % 50 == 1 ? "2" : "";
        AddKnownApp(KnownApps, "Category " + std::to_string(I / 50 % 20), GeneratedName(I),
                    I % 2 ? "" : ">= 1.0", "", I % 10 == 9 ? "external" : "bind",
                    GeneratedExe(I), "", "", "", "", "", Number);
    }
    for (const TBoundApp& B : Bound)
        AddKnownApp(KnownApps, "Bench", B.Name, "", "", "bind", ExtractFileName(B.Exe), "", "", "",
                    "", "", "");
    ParseRulesDate("2099 December 31", KnownApps.RulesDate);
    StringList Lines;
    WriteApplicationRules(Lines);
    Texts.KnownAppList = JoinLines(Lines);

    TDatabaseGrid Grid;
    ConfigureApplicationTable(Grid);
    TApplicationList List(Grid);
    StringList Found = {"|Flags|Category|Application|Version|Location|",
                        "+-+-+-+-+-+"};
    for (int J = 0; J < Listed && 2 * J < Entries; ++J) {
        const int I = 2 * J;
        Found.push_back("||Category " + std::to_string(I / 50 % 20) + "|" + GeneratedName(I) +
                        "|2.1|" + Folder + GeneratedExe(I) + "|");
    }
    for (const TBoundApp& B : Bound)
        Found.push_back("||Bench|" + B.Name + "||" + B.Exe + "|");
    List.ReadApplicationList(Found);
    Lines.clear();
    List.WriteApplicationList(Lines);
    Texts.FoundAppList = JoinLines(Lines);
    KnownApps.Clear();
    return Texts;
}

// The host's key as a first start finds it (gone), then with the two
// texts stored when they are not empty.
inline void StoreTexts(const TStoredTexts& Texts)
{
    ::SHDeleteKeyA(HKEY_CURRENT_USER, HostKey().c_str());
    if (Texts.FoundAppList.empty() && Texts.KnownAppList.empty())
        return;
    HKEY Key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, AppsKey().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &Key, nullptr) != ERROR_SUCCESS)
        return;
    const std::pair<const char*, const std::string*> Values[] = {
        {FoundAppListValue, &Texts.FoundAppList}, {KnownAppListValue, &Texts.KnownAppList}};
    for (const auto& V : Values)
        ::RegSetValueExA(Key, V.first, 0, REG_BINARY,
                         reinterpret_cast<const BYTE*>(V.second->data()),
                         static_cast<DWORD>(V.second->size()));
    ::RegCloseKey(Key);
}
