// The host's registry state, read once at the first activation of the main
// window and written once when it closes: the layouts, the main window's
// position, the application list and the database of known applications.
// The units that own each part are reached through hooks. Portable.
#pragma once

#include "hosting/Velmora.h"
#include "mainwindow/SettingsStore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

extern const char* const MainWindowPrefix;   // "MainWindow"
extern const char* const FoundAppListValue;  // "FoundAppList"
extern const char* const KnownAppListValue;  // "KnownAppList"

// "Software\Tessarine\Quorvan" and its two subkeys.
std::string HostKey();
std::string LayoutsKey();
std::string AppsKey();

struct TStartupHooks {
    // True while more is left to read: the key stays open and the next
    // step reads on (thousands of stored nodes are read in parts).
    std::function<bool(ISettingsStore& Store)> LoadLayouts;
    // None when the window took its place before it first showed.
    std::function<void(ISettingsStore& Store)> LoadWindowPosition;
    std::function<void(const StringList& Lines)> ReadApplicationList;
    // An import result code (0 imported, 1 nothing newer, above 1 an error)
    // and the 1-based line that failed.
    std::function<std::uint8_t(const StringList& Lines, int& ErrorLine)> ReadApplicationRules;
    // After a read without error: false when the database holds known
    // applications but no version date, so that any rules file is newer.
    std::function<bool()> DatabaseDated;
    // The lines of the rules file; empty when it is missing or unreadable.
    std::function<StringList()> LoadRulesFile;
};

// What made the stored "KnownAppList" unusable: it was not read (or, had it
// no version date, the rules file replaced it), and is kept as it is until
// the database is changed.
struct TStoredRulesFault {
    std::string What;  // empty: nothing was wrong
    int Line = 0;      // 1-based line of the stored text; 0: the value as a whole
    bool Any() const { return !What.empty(); }
};

// The start-up message for Fault; RulesFileInUse when the rules file's
// database took its place.
std::string StoredRulesMessage(const TStoredRulesFault& Fault, bool RulesFileInUse);

// Reads in this order, each key opened read-only and skipped when absent:
// the layouts, the window position, "FoundAppList", "KnownAppList"; then
// the rules file when it holds a line. Answers the last import result (0
// when nothing was imported).
std::uint8_t ReadStoredState(ISettingsStore& Store, const TStartupHooks& Hooks);

// The same reading in steps, so that the caller may let its message loop
// run between them: the layouts and the window position, "FoundAppList",
// "KnownAppList", the rules file.
class TStoredStateReader {
public:
    TStoredStateReader(ISettingsStore& Store, TStartupHooks Hooks)
        : FStore(Store), FHooks(std::move(Hooks))
    {
    }
    bool Done() const { return FNext > 3; }
    void Step();
    // The last import result so far; a stored text that could not be read
    // gives none (its fault tells).
    std::uint8_t Result() const { return FResult; }
    const TStoredRulesFault& StoredRulesFault() const { return FFault; }
    // The rules file was imported.
    bool RulesFileRead() const { return FFileRead; }

private:
    ISettingsStore& FStore;
    TStartupHooks FHooks;
    int FNext = 0;
    bool FAppsOpen = false;
    bool FLayoutsOpen = false;
    std::uint8_t FResult = 0;
    TStoredRulesFault FFault;
    bool FUndated = false;
    bool FFileRead = false;

    void ReadStoredRules();
};

struct TShutdownHooks {
    std::string ExePath;
    std::function<void(ISettingsStore& Store)> SaveWindowPosition;
    std::function<void(ISettingsStore& Store)> SaveLayouts;
    // True when the database or either window-rule list holds an entry.
    std::function<bool()> DatabaseHasEntries;
    // True while the stored database could not be read at start-up and the
    // database has not been changed since: the stored one stays as it is.
    std::function<bool()> KeepStoredDatabase;
    std::function<StringList()> WriteApplicationRules;
    std::function<bool()> ApplicationListModified;
    std::function<StringList()> WriteApplicationList;
};

// Writes "Path" and the window position, the layouts, "KnownAppList" when
// the database holds anything and the stored one is not kept, "FoundAppList" when the list was modified
// (deleted when the modified list is empty, so that it stays empty). Keys
// are created as needed; one that cannot be opened is skipped.
void WriteStoredState(ISettingsStore& Store, const TShutdownHooks& Hooks);

// A binary registry text list: the lines joined by character 13; empty when
// the value is missing, not binary, empty or read short.
bool ReadTextListValue(ISettingsStore& Store, const std::string& Name, StringList& Lines);
