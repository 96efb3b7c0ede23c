// The host's registry state, read once at the first activation of the main
// window and written once when it closes: the layouts, the main window's
// position, the application list and the database of known applications.
// The units that own each part are reached through hooks. Portable.
#pragma once

#include "dialogs/applicationlist.h"
#include "hosting/Velmora.h"
#include "mainwindow/SettingsStore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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
    // Answers what it left out.
    std::function<TListReadReport(const StringList& Lines)> ReadApplicationList;
    // An import result code (0 imported, 1 nothing newer, above 1 an error)
    // and the 1-based line that failed.
    std::function<std::uint8_t(const StringList& Lines, int& ErrorLine)> ReadApplicationRules;
    // The lines of the rules file; empty when it is missing or unreadable.
    std::function<StringList()> LoadRulesFile;
};

// What made the stored "KnownAppList" unusable: it was not read, and is
// kept as it is until the database is changed. One without a version date
// is none: it is what "Restore defaults" leaves, and the rules file
// replaces it.
struct TStoredRulesFault {
    std::string What;  // empty: nothing was wrong
    int Line = 0;      // 1-based line of the stored text; 0: the value as a whole
    bool Any() const { return !What.empty(); }
};

// The start-up message for Fault; RulesFileInUse when the rules file's
// database took its place.
std::string StoredRulesMessage(const TStoredRulesFault& Fault, bool RulesFileInUse);
// The start-up message for a stored "FoundAppList" that did not read whole.
std::string StoredListMessage(const TListReadReport& Report);

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
    // What the stored "FoundAppList" lost; whole when it is absent.
    const TListReadReport& StoredListReport() const { return FListReport; }

private:
    ISettingsStore& FStore;
    TStartupHooks FHooks;
    int FNext = 0;
    bool FAppsOpen = false;
    bool FLayoutsOpen = false;
    std::uint8_t FResult = 0;
    TStoredRulesFault FFault;
    TListReadReport FListReport;
    bool FFileRead = false;

    void ReadStoredList();
    void ReadStoredRules();
};

struct TShutdownHooks {
    std::string ExePath;
    // False when a write failed.
    std::function<bool(ISettingsStore& Store)> SaveWindowPosition;
    std::function<bool(ISettingsStore& Store)> SaveLayouts;
    // True when the database or either window-rule list holds an entry.
    std::function<bool()> DatabaseHasEntries;
    // True while the stored database could not be read at start-up and the
    // database has not been changed since: the stored one stays as it is.
    std::function<bool()> KeepStoredDatabase;
    std::function<StringList()> WriteApplicationRules;
    std::function<bool()> ApplicationListModified;
    std::function<StringList()> WriteApplicationList;
};

// A part of the state that could not be stored: where, and the system's
// reason.
struct TStoreFailure {
    std::string Part;  // "The layouts"
    std::string Key;
    std::string Reason;
};

// Writes "Path" and the window position, the layouts, "KnownAppList" when
// the database holds anything and the stored one is not kept,
// "FoundAppList" when the list was modified (deleted when the modified list
// is empty, so that it stays empty). Keys are created as needed. A part
// refused (its key or a value) is answered, and the rest still written.
std::vector<TStoreFailure> WriteStoredState(ISettingsStore& Store, const TShutdownHooks& Hooks);
// The close's message for what could not be stored.
std::string StoreFailedMessage(const std::vector<TStoreFailure>& Failures);

// A binary registry text list: the lines joined by character 13; empty when
// the value is missing, not binary, empty or read short.
bool ReadTextListValue(ISettingsStore& Store, const std::string& Name, StringList& Lines);
