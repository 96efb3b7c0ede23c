#include "dialogs/knownapplist.h"

#include "dialogs/MinSizeEditor.h"
#include "hosting/Identify.h"
#include "hosting/RulesFile.h"

#include <algorithm>

const char* const ApplicationRulesTab = "Application rules";
const char* const AllowedWindowsTab = "Allowed windows";
const char* const ForbiddenWindowsTab = "Forbidden windows";

const char* const RestoreWarning =
    "This clears the whole application data. After this, Use the update feature\r"
    "or restart the program to reload the default ApplicationRules.def file.\r"
    "Are you sure you want to proceed?";

namespace {

// Column order of the application table; the cells of a record follow it.
enum : int {
    acApplication, acFound, acVersion, acURL, acFilenames, acProperties, acWindow, acWTitle,
    acWClass, acAge, acProblems, acMinSize, acCategory, AppColumnCount
};

void ConfigureCommon(TDatabaseGrid& Table)
{
    Table.WrapText = true;
    Table.AlwaysPerformLookUp = true;
    Table.SetShortenFileNames(true);
    Table.SortingModifies = true;
    Table.SetAutoInitPrimaryKey(true);
    Table.AllowCellDeletion = true;
    Table.ChangedOnEdited = false;
    Table.SetMarkedColor(TDatabaseGrid::clWindow);
}

std::string NumberCell(std::int32_t Value)
{
    return Value >= 1 ? IntToStr(Value) : std::string();
}

// A writable table of Count records (at least one), the first cleared;
// the rows put next overwrite every cell. Sized once: shrinking a shown
// table to one record and growing it back would hide and show its scroll
// bar, each a change of its frame.
void PrepareFill(TDatabaseGrid& Table, std::size_t Count)
{
    Table.SetReadOnlyDatabase(false);
    Table.SetRecordCount(std::max(1, static_cast<int>(Count)));
    Table.ClearRecord(1);
}

void FinishFill(TDatabaseGrid& Table, bool Viewing)
{
    // Sorting is a record operation, which a read-only table refuses.
    if (Viewing)
        Table.SortRecords();
    Table.SetReadOnlyDatabase(Viewing);
    Table.SetModified(false);
}

// Rows are written straight into the cells: a '|' inside a text would
// shift the fields of a '|'-joined record.
void PutRows(TDatabaseGrid& Table, const std::vector<StringList>& Rows)
{
    for (std::size_t R = 0; R < Rows.size(); ++R)
        for (std::size_t C = 0; C < Rows[R].size(); ++C)
            Table.SetCell(static_cast<int>(C), static_cast<int>(R) + 1, Rows[R][C]);
}

bool HasLetter(const std::string& Text, char C)
{
    return Text.find(C) != std::string::npos;
}

std::string Cell(const TDatabaseGrid& Table, const char* Column, int Row)
{
    return Table.CellByName(Column, Row);
}

}  // namespace

void ConfigureAppTable(TDatabaseGrid& Table)
{
    ConfigureCommon(Table);
    Table.SetDatabaseColumns(
        "Application|Found|Version|URL|Filenames|Properties|Window|WTitle|WClass|Age|Problems|"
        "MinSize|Category");
    Table.SetColumnHeaders(
        "Application name (Author):|Found?|Version:|Official website:|Necessary files:|"
        "Properties:|Window #:|Window title:|Window class:|Age:|Problems:|MinSize:|Category:");
    Table.SetColumnTypes("Text|Number|Text|Text|Text|Text|Text|Text|Text|Text|Text|Text|Text");
    Table.SetButtonColumns("Properties|MinSize");
    Table.SetDeniedColumns("Properties");
    Table.SetOwnerDrawColumns("Filenames|Found|URL|Properties");
    Table.SetSortColumns("Application");
    Table.DatabaseName = "KnownAppList";
    Table.DatabaseDescription = "stores known application file access of child applications for Quorvan";
    Table.setcolumnwidths("171|55|72|285|270|128|74|97|91|64|221|123|64");
}

void ConfigureWindowTable(TDatabaseGrid& Table, bool Forbidden)
{
    ConfigureCommon(Table);
    Table.SetDatabaseColumns("EXE file|WTitle|WClass");
    Table.SetColumnHeaders("EXE file name:|Window title:|Window class:");
    Table.SetColumnTypes("Text|Text|Text");
    Table.DatabaseName = Forbidden ? "ForbiddenWindows" : "AllowedWindows";
    Table.DatabaseDescription = Forbidden ? "stores forbidden windows for Quorvan"
                                          : "stores allowed windows for Quorvan";
    Table.setcolumnwidths("171|158|163");
}

std::string PropertiesCellText(const Tknownapp& Entry)
{
    std::string R = Entry.Method == amUnsupported ? "U"
                    : Entry.Method == amBind      ? "B"
                    : Entry.Method == amExternal  ? "E"
                                                  : "";
    if (Entry.NoTitle)
        R += 'R';
    if (Entry.HardSizing)
        R += 'H';
    if (Entry.OnlyOnce)
        R += '1';
    return R;
}

std::string MinSizeCellText(const Tknownapp& Entry)
{
    if (Entry.MinWidth == -1 && Entry.MinHeight == -1)
        return "start";
    if (Entry.MinWidth == 0 && Entry.MinHeight == 0)
        return std::string();
    return FormatMinSize(Entry.MinWidth, Entry.MinHeight);
}

std::string FilenamesCellText(const Tknownapp& Entry)
{
    std::string Files = Entry.FilesNeeded;
    if (Entry.ExeSize > 0)
        ReplaceField(Files, 1, ';', GetField(Files, 1, ';') + " (" + IntToStr(Entry.ExeSize) + ")");
    return Files;
}

void FillKnownAppTable(TDatabaseGrid& Table, const Tknownapplist& List, const std::string* Category,
                       bool Viewing)
{
    std::vector<StringList> Rows;
    Rows.reserve(static_cast<std::size_t>(List.Count()));
    for (int I = 0; I < List.Count(); ++I) {
        const Tknownapp& E = *List.GetKnownApp(I);
        const bool HasCategory =
            E.CategoryIndex >= 0 && E.CategoryIndex < static_cast<int>(List.Categories.size());
        const std::string CategoryName =
            HasCategory ? List.Categories[static_cast<std::size_t>(E.CategoryIndex)] : std::string();
        if (Category && !SameText(CategoryName, *Category))
            continue;
        StringList Row(AppColumnCount);
        Row[acApplication] = E.Name;
        Row[acVersion] = FormatVersionCondition(E.VersionCondition);
        Row[acURL] = E.URL;
        Row[acFilenames] = FilenamesCellText(E);
        Row[acProperties] = PropertiesCellText(E);
        Row[acWindow] = NumberCell(E.WindowNumber);
        Row[acWTitle] = QuoteField(E.WindowTitle);
        Row[acWClass] = QuoteField(E.WindowClass);
        Row[acAge] = NumberCell(E.Age);
        Row[acProblems] = E.Problems;
        Row[acMinSize] = MinSizeCellText(E);
        Row[acCategory] = CategoryName;
        Rows.push_back(std::move(Row));
    }
    PrepareFill(Table, Rows.size());
    PutRows(Table, Rows);
    FinishFill(Table, Viewing);
}

void FillWindowTable(TDatabaseGrid& Table, const Tappwindowlist& List, bool Viewing)
{
    std::vector<StringList> Rows;
    Rows.reserve(static_cast<std::size_t>(List.Count()));
    for (int I = 0; I < List.Count(); ++I) {
        const Tappwindow& W = *List.GetAppWindow(I);
        Rows.push_back({QuoteField(W.ExePattern), QuoteField(W.WindowTitle), QuoteField(W.WindowClass)});
    }
    PrepareFill(Table, Rows.size());
    PutRows(Table, Rows);
    FinishFill(Table, Viewing);
}

TListedVersions::TListedVersions(const StringList& Listed)
{
    FVersions.reserve(Listed.size());
    for (const std::string& Line : Listed) {
        const std::size_t Bar = Line.find('|');
        const auto Added = FVersions.try_emplace(Line.substr(0, Bar));
        if (!Added.second || Bar == std::string::npos)
            continue;
        const std::string Text = GetField(Line, 2, '|');
        if (!Text.empty() && !StrToVersion(Text, Added.first->second))
            Added.first->second = TFileVersion();
    }
}

bool TListedVersions::Find(const std::string& Name, TFileVersion& Version) const
{
    const auto It = FVersions.find(Name);
    if (It == FVersions.end())
        return false;
    Version = It->second;
    return true;
}

std::string FoundCellText(const TListedVersions& Listed, const std::string& Name,
                          const std::string& VersionCell, const std::string& PropertiesCell)
{
    std::string Found;
    TVersionCondition Cond;
    ParseVersionCondition(VersionCell, Cond);
    TFileVersion Version;
    if (Listed.Find(Name, Version) && CheckVersion(Cond, Version))
        Found = "F";
    if (HasLetter(PropertiesCell, 'U'))
        Found += 'U';
    return Found;
}

void FillFoundColumn(TDatabaseGrid& Table, const StringList& Listed)
{
    const int FoundCol = Table.ColumnIndex("Found"), NameCol = Table.ColumnIndex("Application"),
              VersionCol = Table.ColumnIndex("Version"), PropertiesCol = Table.ColumnIndex("Properties");
    if (FoundCol < 0)
        return;
    const TListedVersions Versions(Listed);
    for (int R = 1; R <= Table.RecordCount(); ++R)
        Table.SetCell(FoundCol, R,
                      FoundCellText(Versions, Table.Cell(NameCol, R), Table.Cell(VersionCol, R),
                                    Table.Cell(PropertiesCol, R)));
}

void SplitFilenamesCell(std::string& Files, std::string& ExeSize)
{
    ExeSize.clear();
    const std::string First = Trim(GetField(Files, 1, ';'));
    const std::size_t Open = First.rfind('(');
    if (Open == std::string::npos || First.empty() || First.back() != ')')
        return;
    ExeSize = First.substr(Open + 1, First.size() - Open - 2);
    ReplaceField(Files, 1, ';', Trim(First.substr(0, Open)));
}

std::string MethodTextOf(const std::string& Properties, const std::string& MinSize)
{
    std::string Method;
    if (HasLetter(Properties, 'E')) {
        Method = "external";
    } else if (HasLetter(Properties, 'U')) {
        Method = "unsupported";
    } else {
        Method = "bind";
        if (HasLetter(Properties, 'R'))
            Method += "; no title";
        if (HasLetter(Properties, '1'))
            Method += "; only 1x";
        if (HasLetter(Properties, 'H'))
            Method += "; hard sizing";
    }
    if (!MinSize.empty()) {
        if (SameText(MinSize, "start")) {
            Method += "; minsize=start";
        } else {
            int X, Y;
            ParseMinSize(MinSize, X, Y);
            Method += "; minsize=" + IntToStr(X) + "," + IntToStr(Y);
        }
    }
    return Method;
}

TRowError KnownAppTableToList(const TDatabaseGrid& Table, Tknownapplist& List,
                              const Tcategorylist& Held)
{
    List.Clear();
    for (int R = 1; R <= Table.RecordCount(); ++R) {
        if (Table.IsRecordEmpty(R, false))
            continue;
        const std::string Category = Cell(Table, "Category", R);
        if (!IsStorableCategory(Category) &&
            std::find(Held.begin(), Held.end(), Category) == Held.end())
            return {R, ieText};
        std::string Files = Cell(Table, "Filenames", R);
        std::string ExeSize;
        SplitFilenamesCell(Files, ExeSize);
        const std::uint8_t Code = AddKnownApp(
            List, Category, Cell(Table, "Application", R), Cell(Table, "Version", R),
            ExeSize, MethodTextOf(Cell(Table, "Properties", R), Cell(Table, "MinSize", R)), Files,
            Cell(Table, "Age", R), Cell(Table, "URL", R), Cell(Table, "Problems", R),
            Trim(Cell(Table, "WTitle", R)), Trim(Cell(Table, "WClass", R)), Cell(Table, "Window", R));
        if (Code != ieOk)
            return {R, Code};
    }
    return {};
}

TRowError WindowTableToList(const TDatabaseGrid& Table, Tappwindowlist& List)
{
    List.Clear();
    for (int R = 1; R <= Table.RecordCount(); ++R) {
        if (Table.IsRecordEmpty(R, false))
            continue;
        const std::uint8_t Code =
            AddWindowRule(List, Trim(Cell(Table, "EXE file", R)), Trim(Cell(Table, "WTitle", R)),
                          Trim(Cell(Table, "WClass", R)));
        if (Code != ieOk)
            return {R, Code};
    }
    return {};
}

std::string TCommitError::Message() const
{
    return "Error in line " + IntToStr(Error.Row) + ": " + ImportErrors[Error.Code < ImportErrorCount ? Error.Code : std::uint8_t(ieInternal)];
}

bool CommitTables(const TDatabaseGrid& AppTable, const TDatabaseGrid& AllowedTable,
                  const TDatabaseGrid& ForbiddenTable, const TTableFlags& Flags,
                  Tknownapplist& Known, Tappwindowlist& Allowed, Tappwindowlist& Forbidden,
                  TCommitError& Error)
{
    Tappwindowlist NewAllowed, NewForbidden;
    Tknownapplist NewKnown;
    const struct {
        TTableId Id;
        TRowError Result;
    } Steps[] = {
        {TTableId::Allowed, WindowTableToList(AllowedTable, NewAllowed)},
        {TTableId::Forbidden, WindowTableToList(ForbiddenTable, NewForbidden)},
        {TTableId::App, KnownAppTableToList(AppTable, NewKnown, Known.Categories)},
    };
    for (const auto& S : Steps)
        if (S.Result.Row > 0) {
            Error.Table = S.Id;
            Error.Error = S.Result;
            return false;
        }
    NewKnown.RulesDate = Known.RulesDate;
    NewKnown.Modified = Flags.App;
    NewAllowed.Modified = Flags.Allowed;
    NewForbidden.Modified = Flags.Forbidden;
    Known.Assign(NewKnown);
    Allowed.Assign(NewAllowed);
    Forbidden.Assign(NewForbidden);
    return true;
}

void RestoreDefaults(Tknownapplist& Known, Tappwindowlist& Allowed, Tappwindowlist& Forbidden)
{
    Known.RulesDate = 0;
    Known.Clear();
    Allowed.Clear();
    Forbidden.Clear();
}

void CategoryTabs(const Tknownapplist& List, bool Editing, StringList& Tabs)
{
    Tabs.clear();
    if (Editing)
        Tabs.push_back(ApplicationRulesTab);
    else
        for (const std::string& Name : List.Categories)
            AddCategory(Tabs, Name);
    Tabs.push_back(AllowedWindowsTab);
    Tabs.push_back(ForbiddenWindowsTab);
}

TTableId TableOfTab(const std::string& Tab)
{
    if (SameText(Tab, AllowedWindowsTab))
        return TTableId::Allowed;
    if (SameText(Tab, ForbiddenWindowsTab))
        return TTableId::Forbidden;
    return TTableId::App;
}

std::string ShownCaption(const std::string& Base, const TTableFlags& Modified)
{
    return Modified.Any() ? Base + " (modified)" : Base;
}

std::string VersionLineText(TDateTime RulesDate, bool& Warning)
{
    Warning = RulesDate <= 0;
    return Warning ? "Table data not valid. Please use the update feature or restart Quorvan!"
                   : "Creation date: " + FormatRulesDate(RulesDate);
}

std::string DatabaseEntriesText(int RecordCount)
{
    return IntToStr(RecordCount) + " database entries";
}

namespace {

struct TTextFor {
    const char* Key;
    const char* Text;
};

const char* Lookup(const TTextFor* Table, std::size_t Count, const std::string& Key)
{
    for (std::size_t I = 0; I < Count; ++I)
        if (SameText(Key, Table[I].Key))
            return Table[I].Text;
    return nullptr;
}

const TTextFor PropertyTexts[] = {
    {"B", "The application can be connected to a panel."},
    {"E", "The application should be displayed in its own window."},
    {"U", "The application should not be called by Quorvan."},
    {"R", "The title bar of the application can be disabled when connected to a panel."},
    {"H", "The application needs a 'hard' resizing, when connected to a panel."},
    {"1", "Only one instance of the application can run at the same time."},
};
const TTextFor FoundTexts[] = {
    {"F", "The application has been properly found on your system."},
    {"U", "The application should not be called by Quorvan."},
};
const TTextFor ForbiddenTexts[] = {
    {"EXE file", "optional forbidden file name"},
    {"WTitle", "optional forbidden window title"},
    {"WClass", "optional forbidden window class name"},
};
const TTextFor AllowedTexts[] = {
    {"EXE file", "optional allowed file name"},
    {"WTitle", "optional allowed window title"},
    {"WClass", "optional allowed window class name"},
};

template <std::size_t N> const char* Lookup(const TTextFor (&Table)[N], const std::string& Key)
{
    return Lookup(Table, N, Key);
}

std::string AppTableText(const std::string& Column, const std::string& CellText, char Letter,
                         const std::string& Default)
{
    if (SameText(Column, "MinSize"))
        return "The application's minimum size is limited to prevent it from crashing.";
    if (SameText(Column, "Filenames")) {
        StringList Items;
        SplitToStrings(Items, CellText, ';');
        return "Necessary file name(s): " + JoinStrings(Items, " | ");
    }
    const std::string Key(Letter ? 1 : 0, Letter);
    if (SameText(Column, "Properties") && !CellText.empty()) {
        const char* T = Lookup(PropertyTexts, Key);
        return T ? T : Default;
    }
    if (SameText(Column, "Found") && !CellText.empty()) {
        const char* T = Lookup(FoundTexts, Key);
        return T ? T : Default;
    }
    return CellText.empty() ? Default : Column + ":" + CellText;
}

}  // namespace

std::string StatusTextFor(TTableId Table, bool InCell, const std::string& Column,
                          const std::string& CellText, char Letter, int RecordCount)
{
    const std::string Default = DatabaseEntriesText(RecordCount);
    if (!InCell)
        return Default;
    const char* T = nullptr;
    switch (Table) {
    case TTableId::App: return AppTableText(Column, CellText, Letter, Default);
    case TTableId::Forbidden: T = Lookup(ForbiddenTexts, Column); break;
    case TTableId::Allowed: T = Lookup(AllowedTexts, Column); break;
    }
    return T ? T : Default;
}

int FlagIconIndex(const std::string& Column, char Letter)
{
    static const struct {
        const char* Column;
        char Letter;
        int Icon;
    } Icons[] = {
        {"Found", 'F', 0},      {"Found", 'U', 1},      {"Properties", 'B', 2},
        {"Properties", 'R', 4}, {"Properties", 'U', 5}, {"Properties", 'H', 6},
        {"Properties", '1', 7}, {"Properties", 'E', 8},
    };
    for (const auto& I : Icons)
        if (I.Letter == Letter && SameText(Column, I.Column))
            return I.Icon;
    return -1;
}

bool InBox(int X, int Y, int Left, int Top, int Width, int Height)
{
    return X >= Left && Y >= Top && X < Left + Width && Y < Top + Height;
}

bool LetterAtPoint(const std::string& Text, int CellLeft, int CellTop, int IconWidth,
                   int IconHeight, int X, int Y, char& Letter)
{
    for (std::size_t N = 0; N < Text.size(); ++N)
        if (InBox(X, Y, CellLeft + 2 + static_cast<int>(N) * (IconWidth + 2), CellTop + 2, IconWidth,
                  IconHeight)) {
            Letter = Text[N];
            return true;
        }
    return false;
}

bool IsOpenableUrl(const std::string& Url)
{
    const std::string Lower = LowerCaseAscii(Url);
    std::size_t Prefix = 0;
    if (Lower.compare(0, 7, "http://") == 0)
        Prefix = 7;
    else if (Lower.compare(0, 8, "https://") == 0)
        Prefix = 8;
    if (Prefix == 0 || Url.size() == Prefix)
        return false;
    for (const char C : Url)
        if (static_cast<unsigned char>(C) <= ' ' || C == '"')
            return false;
    return true;
}

TFileItemStyle FilenameItemStyle(int Index)
{
    if (Index == 0)
        return TFileItemStyle::Bold;
    return Index % 2 == 1 ? TFileItemStyle::Blue : TFileItemStyle::Green;
}
