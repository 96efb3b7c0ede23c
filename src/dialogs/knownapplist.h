// The known-applications window's data side: the three tables' settings,
// the cell texts of a known application and of a window rule, filling the
// tables from the database and converting them back, the tabs, and what
// the status line says under the mouse. Portable; TKnownAppsForm shows it.
#pragma once

#include "components/DatabaseGrid.h"
#include "hosting/KnownApps.h"
#include "hosting/Velmora.h"

#include <cstdint>
#include <string>
#include <unordered_map>

// --- Tables ---
void ConfigureAppTable(TDatabaseGrid& Table);
// The allowed or the forbidden windows' table.
void ConfigureWindowTable(TDatabaseGrid& Table, bool Forbidden);

// --- Cell texts of one known application ---
// "U", "B" or "E", then "R" (no title), "H" (hard sizing), "1" (only once).
std::string PropertiesCellText(const Tknownapp& Entry);
// "start" for -1,-1; empty for 0,0; else "X=%d, Y=%d".
std::string MinSizeCellText(const Tknownapp& Entry);
// The files needed; an executable size above 0 follows the first as " (size)".
std::string FilenamesCellText(const Tknownapp& Entry);

// Fills Table with every entry of List (Category nullptr) or those of one
// category. Viewing leaves the table read-only and sorted. Found stays empty.
void FillKnownAppTable(TDatabaseGrid& Table, const Tknownapplist& List, const std::string* Category,
                       bool Viewing);
void FillWindowTable(TDatabaseGrid& Table, const Tappwindowlist& List, bool Viewing);

// The user's applications from "name|version" lines, by name as SameText
// compares them; of lines with one name the first counts. Made once per
// fill: a walk of the lines for every record grew with their product.
class TListedVersions {
public:
    explicit TListedVersions(const StringList& Listed);
    bool Find(const std::string& Name, TFileVersion& Version) const;

private:
    std::unordered_map<std::string, TFileVersion, SameTextHash, SameTextEqual> FVersions;
};
// "F" when the application is listed with a version that meets the
// condition, then "U" for an unsupported one.
std::string FoundCellText(const TListedVersions& Listed, const std::string& Name,
                          const std::string& VersionCell, const std::string& PropertiesCell);
// Writes Found of every record (the table may be read-only).
void FillFoundColumn(TDatabaseGrid& Table, const StringList& Listed);

// --- Back to the database ---
// Takes a trailing "(size)" off the first ';' item of Files into ExeSize.
void SplitFilenamesCell(std::string& Files, std::string& ExeSize);
// The rules-file method text of a Properties and a MinSize cell.
std::string MethodTextOf(const std::string& Properties, const std::string& MinSize);

// The first record the database routines refuse: Row 0 when none.
struct TRowError {
    int Row = 0;
    std::uint8_t Code = ieOk;
};
// Empty records are left out: the one record of an empty table must not
// become an entry or a rule that matches every window. A category that
// begins with ';' is refused unless Held, the categories the database holds
// already, has it as it stands: a rules file may give such a name, and only
// a name the user typed or changed must not be stored altered.
TRowError KnownAppTableToList(const TDatabaseGrid& Table, Tknownapplist& List,
                              const Tcategorylist& Held);
TRowError WindowTableToList(const TDatabaseGrid& Table, Tappwindowlist& List);

enum class TTableId { App, Allowed, Forbidden };

struct TTableFlags {
    bool App = false, Allowed = false, Forbidden = false;
    bool Any() const { return App || Allowed || Forbidden; }
};

struct TCommitError {
    TTableId Table = TTableId::App;
    TRowError Error;
    // "Error in line %d: " and the reason.
    std::string Message() const;
};

// The tables' contents replace the three lists only when every row is
// accepted; otherwise nothing changes and Error names the first bad row.
// The lists' creation date stays; their Modified flags become Flags.
bool CommitTables(const TDatabaseGrid& AppTable, const TDatabaseGrid& AllowedTable,
                  const TDatabaseGrid& ForbiddenTable, const TTableFlags& Flags,
                  Tknownapplist& Known, Tappwindowlist& Allowed, Tappwindowlist& Forbidden,
                  TCommitError& Error);

// Empties the three lists and marks the data as not valid (date 0), so that
// the rules file is read again at the next start.
void RestoreDefaults(Tknownapplist& Known, Tappwindowlist& Allowed, Tappwindowlist& Forbidden);
extern const char* const RestoreWarning;

// --- Tabs, caption, version line ---
extern const char* const ApplicationRulesTab;  // "Application rules"
extern const char* const AllowedWindowsTab;    // "Allowed windows"
extern const char* const ForbiddenWindowsTab;  // "Forbidden windows"
// Editing: one tab for all entries; viewing: one per category name.
void CategoryTabs(const Tknownapplist& List, bool Editing, StringList& Tabs);
TTableId TableOfTab(const std::string& Tab);

std::string ShownCaption(const std::string& Base, const TTableFlags& Modified);
// The creation date, or the warning (Warning true) when the data is not valid.
std::string VersionLineText(TDateTime RulesDate, bool& Warning);

// --- Status line, links and the letter icons ---
std::string DatabaseEntriesText(int RecordCount);
// Letter is the letter whose icon lies under the mouse in a Properties or
// Found cell, 0 for none.
std::string StatusTextFor(TTableId Table, bool InCell, const std::string& Column,
                          const std::string& CellText, char Letter, int RecordCount);
// The icon of a letter in the Found or the Properties column, -1 for none.
int FlagIconIndex(const std::string& Column, char Letter);
// Boxes: left and top inclusive, right and bottom exclusive.
bool InBox(int X, int Y, int Left, int Top, int Width, int Height);
// Which letter's icon (n-th at Left + 2 + (n-1)(W + 2), Top + 2) holds X, Y.
bool LetterAtPoint(const std::string& Text, int CellLeft, int CellTop, int IconWidth,
                   int IconHeight, int X, int Y, char& Letter);
// Only web addresses are opened: the text comes from downloaded or edited
// data, and must never start a program or a local file.
bool IsOpenableUrl(const std::string& Url);

// The files-needed cell: the first item bold, then blue and green in turn.
enum class TFileItemStyle { Bold, Blue, Green };
TFileItemStyle FilenameItemStyle(int Index);
