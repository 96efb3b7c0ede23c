#include "hosting/RulesFile.h"

#include <algorithm>
#include <climits>
#include <vector>

const char* const MonthNames[12] = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December",
};

const TRulesColumn KnownAppColumns[KnownAppColumnCount] = {
    {"Category", 0}, {"Application name", 0}, {"Age", 2},    {"Version", 0},
    {"Exe size", 1}, {"Method", 0},           {"Files needed", 0}, {"URL", 0},
    {"Problems", 0}, {"Window #", 2},         {"Window Title", 0}, {"Window Class", 0},
};

const TRulesColumn WindowColumns[WindowColumnCount] = {
    {"EXE file", 0}, {"Window title", 0}, {"Window class", 0},
};

static const char* const VersionHeader = "[Version]";
static const char* const KnownAppsHeader = "[Known Applications]";
static const char* const AllowedHeader = "[Allowed Windows]";
static const char* const ForbiddenHeader = "[Forbidden Windows]";

// The most a known application's window title or class may hold between its
// quotes (AddKnownApp's limit of 50 counts the quotes).
static const std::size_t MaxQuotedTitle = 48;

bool FindColumnName(const TRulesColumn* Columns, int Count, const std::string& Name, int& Index)
{
    for (int I = 0; I < Count; ++I) {
        if (SameText(Columns[I].Name, Name)) {
            Index = I;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- dates

bool ParseRulesDate(const std::string& Text, TDateTime& Date)
{
    // A run of blanks counts as one; in one pass, as a line may be long.
    std::string S;
    for (char C : Text)
        if (C != ' ' || S.empty() || S.back() != ' ')
            S += C;
    if (FieldCount(S, ' ') != 3)
        return false;
    int Year, Month = 0, Day;
    if (!TryStrToInt(GetField(S, 1, ' '), Year) || Year < 2014 || Year > 2099)
        return false;
    const std::string MonthText = GetField(S, 2, ' ');
    if (!TryStrToInt(MonthText, Month) || Month < 1 || Month > 12) {
        Month = 0;
        if (MonthText.size() >= 3)
            for (int M = 0; M < 12 && Month == 0; ++M)
                if (SameText(MonthText.substr(0, 3), std::string(MonthNames[M], 3)))
                    Month = M + 1;
        if (Month == 0)
            return false;
    }
    if (!TryStrToInt(GetField(S, 3, ' '), Day) || Day < 1 || Day > 31)
        return false;
    return TryEncodeDate(Year, Month, Day, Date);
}

std::string FormatRulesDate(TDateTime Date)
{
    int Year, Month, Day;
    DecodeDate(Date, Year, Month, Day);
    return IntToStr(Year) + " " + MonthNames[Month - 1] + " " + IntToStr(Day);
}

bool IsRuleLine(const std::string& Text)
{
    return std::all_of(Text.begin(), Text.end(), [](char C) { return C == '+' || C == '-'; });
}

// ---------------------------------------------------------------- reader

namespace {

enum class TSection {
    None,
    Version,
    KnownHeader,
    KnownRows,
    AllowedHeader,
    AllowedRows,
    ForbiddenHeader,
    ForbiddenRows,
};

// Every cell of a table row; n separators give n+1 cells, empty ones too.
StringList SplitCells(const std::string& Row)
{
    StringList Cells;
    std::size_t Start = 0;
    for (;;) {
        const std::size_t End = Row.find('|', Start);
        if (End == std::string::npos) {
            Cells.push_back(Row.substr(Start));
            return Cells;
        }
        Cells.push_back(Row.substr(Start, End - Start));
        Start = End + 1;
    }
}

// The trimmed cell at a 1-based position; empty when the row is shorter.
std::string CellAt(const StringList& Cells, int Position)
{
    if (Position < 1 || Position > static_cast<int>(Cells.size()))
        return std::string();
    return Trim(Cells[static_cast<std::size_t>(Position - 1)]);
}

// Remembers the 1-based cell of every recognised column name. Positions of
// columns the row does not name stay as they were.
void ReadColumnHeader(const std::string& Row, const TRulesColumn* Columns, int Count,
                      int* Positions)
{
    const StringList Cells = SplitCells(Row);
    for (std::size_t I = 0; I < Cells.size(); ++I) {
        std::string Name = Trim(Cells[I]);
        if (!Name.empty() && Name.back() == ':')
            Name.pop_back();
        int Id;
        if (FindColumnName(Columns, Count, Name, Id))
            Positions[Id] = static_cast<int>(I) + 1;
    }
}

bool AllColumnsFound(const int* Positions, int Count)
{
    return std::find(Positions, Positions + Count, 0) == Positions + Count;
}

// A window-rule cell: empty means NotGiven, else it must be quoted; unlike
// a known application's title there is no length limit, and a lone '"' is
// no quoted text.
bool UnquoteWindowCell(const std::string& Cell, std::string& Value)
{
    return Cell != "\"" && UnquoteString(Cell, INT_MAX, Value);
}

class TRulesReader {
public:
    Tknownapplist Known;
    Tappwindowlist Allowed;
    Tappwindowlist Forbidden;

    std::uint8_t ReadLine(const std::string& Line);

private:
    TSection Section = TSection::None;
    int KnownPositions[KnownAppColumnCount] = {};
    int AllowedPositions[WindowColumnCount] = {};
    int ForbiddenPositions[WindowColumnCount] = {};

    bool OpenSection(const std::string& T);
    std::uint8_t ReadDate(const std::string& T);
    std::uint8_t ReadKnownApp(const std::string& T);
    std::uint8_t ReadWindowRule(const std::string& T, const int* Positions, Tappwindowlist& List);
};

bool TRulesReader::OpenSection(const std::string& T)
{
    if (SameText(T, VersionHeader)) {
        Section = TSection::Version;
    } else if (SameText(T, KnownAppsHeader)) {
        Section = TSection::KnownHeader;
        Known.Clear();
    } else if (SameText(T, AllowedHeader)) {
        Section = TSection::AllowedHeader;
        Allowed.Clear();
    } else if (SameText(T, ForbiddenHeader)) {
        Section = TSection::ForbiddenHeader;
        Forbidden.Clear();
    } else {
        return false;
    }
    return true;
}

std::uint8_t TRulesReader::ReadDate(const std::string& T)
{
    TDateTime Date;
    if (!ParseRulesDate(T, Date))
        return ieInvalidDate;
    // An equal date is nothing new either.
    if (!(Date > KnownApps.RulesDate))
        return ieOldVersion;
    Known.RulesDate = Date;
    return ieOk;
}

std::uint8_t TRulesReader::ReadKnownApp(const std::string& T)
{
    if (!AllColumnsFound(KnownPositions, KnownAppColumnCount))
        return ieMissingAppColumns;
    const StringList Cells = SplitCells(T);
    const auto Cell = [&](int Column) { return CellAt(Cells, KnownPositions[Column]); };
    return AddKnownApp(Known, Cell(kcCategory), Cell(kcName), Cell(kcVersion), Cell(kcExeSize),
                       Cell(kcMethod), Cell(kcFilesNeeded), Cell(kcAge), Cell(kcURL),
                       Cell(kcProblems), Cell(kcWindowTitle), Cell(kcWindowClass),
                       Cell(kcWindowNumber));
}

std::uint8_t TRulesReader::ReadWindowRule(const std::string& T, const int* Positions,
                                          Tappwindowlist& List)
{
    if (!AllColumnsFound(Positions, WindowColumnCount))
        return ieMissingWindowColumns;
    const StringList Cells = SplitCells(T);
    std::string Values[WindowColumnCount];
    bool Valid = true;
    for (int I = 0; I < WindowColumnCount; ++I)
        Valid = UnquoteWindowCell(CellAt(Cells, Positions[I]), Values[I]) && Valid;
    if (!Valid)
        return ieInvalidWindowParameter;
    List.AddAppWindow(Values[wcExeFile], Values[wcWindowTitle], Values[wcWindowClass]);
    return ieOk;
}

std::uint8_t TRulesReader::ReadLine(const std::string& Line)
{
    const std::string T = Trim(Line);
    if (T.empty() || T.front() == ';' || OpenSection(T) || IsRuleLine(T))
        return ieOk;
    switch (Section) {
    case TSection::None:
        return ieOk;
    case TSection::Version:
        return ReadDate(T);
    case TSection::KnownHeader:
        ReadColumnHeader(T, KnownAppColumns, KnownAppColumnCount, KnownPositions);
        Section = TSection::KnownRows;
        return ieOk;
    case TSection::KnownRows:
        return ReadKnownApp(T);
    case TSection::AllowedHeader:
        ReadColumnHeader(T, WindowColumns, WindowColumnCount, AllowedPositions);
        Section = TSection::AllowedRows;
        return ieOk;
    case TSection::AllowedRows:
        return ReadWindowRule(T, AllowedPositions, Allowed);
    case TSection::ForbiddenHeader:
        ReadColumnHeader(T, WindowColumns, WindowColumnCount, ForbiddenPositions);
        Section = TSection::ForbiddenRows;
        return ieOk;
    case TSection::ForbiddenRows:
        return ReadWindowRule(T, ForbiddenPositions, Forbidden);
    }
    return ieOk;
}

} // namespace

std::uint8_t ReadApplicationRules(const StringList& Lines, int& ErrorLine)
{
    ErrorLine = 0;
    TRulesReader Reader;
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        const std::uint8_t Code = Reader.ReadLine(Lines[I]);
        if (Code != ieOk) {
            ErrorLine = static_cast<int>(I) + 1;
            return Code;
        }
    }
    KnownApps.Assign(Reader.Known);
    AllowedWindows.Assign(Reader.Allowed);
    ForbiddenWindows.Assign(Reader.Forbidden);
    return ieOk;
}

// ---------------------------------------------------------------- writer

// The writer must never produce a text that reads back differently from
// itself: a '|' would split the cell, a line break the row, and a NUL cuts
// the registry text short. Such characters become blanks.
static std::string TableSafe(const std::string& Text)
{
    std::string R = Text;
    for (char& C : R)
        if (C == '|' || C == '\r' || C == '\n' || C == '\0')
            C = ' ';
    return R;
}

// An unquoted cell: the reader trims cells, so the ends are not kept anyway.
static std::string PlainCell(const std::string& Text)
{
    return Trim(TableSafe(Text));
}

// A row whose first cell begins with ';' would read as a comment and vanish.
static std::string CategoryCell(const std::string& Name)
{
    std::string R = PlainCell(Name);
    while (!R.empty() && R.front() == ';')
        R = TrimLeft(R.substr(1));
    return R;
}

std::string QuoteField(const std::string& Text)
{
    if (Text == NotGiven)
        return std::string();
    return "\"" + TableSafe(Text) + "\"";
}

// Titles and classes of known applications must fit AddKnownApp's limit.
static std::string QuotedTitleCell(const std::string& Text)
{
    if (Text == NotGiven)
        return std::string();
    return QuoteField(Text.substr(0, MaxQuotedTitle));
}

static std::string PositiveNumberCell(std::int32_t Value)
{
    return Value >= 1 ? IntToStr(Value) : std::string();
}

std::string FormatVersionCondition(const TVersionCondition& Cond)
{
    // Only an operator the reader knows is written (none gives an empty cell).
    const std::string Operator = OperatorText(Cond.Operator);
    TVersionCondition Parsed;
    if (!ParseVersionCondition(Operator + " 0", Parsed))
        return std::string();
    const std::string Version = VersionToStr(Cond.Version);
    return Operator + " " + (Version.empty() ? "0" : Version);
}

static std::string MethodCell(const Tknownapp& Entry)
{
    if (Entry.Method == amExternal)
        return "external";
    // Any code but bind and external reads back as unsupported rather than
    // making the whole text unreadable.
    if (Entry.Method != amBind)
        return "unsupported";
    std::string R = "bind";
    if (Entry.NoTitle)
        R += "; no title";
    if (Entry.HardSizing)
        R += "; hard sizing";
    if (Entry.MinWidth == -1 && Entry.MinHeight == -1)
        R += "; minsize=start";
    else if (Entry.MinWidth != 0 || Entry.MinHeight != 0)
        R += "; minsize=" + IntToStr(Entry.MinWidth) + "," + IntToStr(Entry.MinHeight);
    if (Entry.OnlyOnce)
        R += "; only 1x";
    return R;
}

static std::string KnownAppCell(int Column, const Tknownapp& Entry)
{
    switch (Column) {
    case kcCategory: {
        const Tcategorylist& Categories = KnownApps.Categories;
        const bool Valid = Entry.CategoryIndex >= 0 &&
                           Entry.CategoryIndex < static_cast<int>(Categories.size());
        return Valid ? CategoryCell(Categories[static_cast<std::size_t>(Entry.CategoryIndex)])
                     : std::string();
    }
    case kcName: return PlainCell(Entry.Name);
    case kcAge: return PositiveNumberCell(Entry.Age);
    case kcVersion: return FormatVersionCondition(Entry.VersionCondition);
    case kcExeSize: return PositiveNumberCell(Entry.ExeSize);
    case kcMethod: return MethodCell(Entry);
    case kcFilesNeeded: return PlainCell(Entry.FilesNeeded);
    case kcURL: return PlainCell(Entry.URL);
    case kcProblems: return PlainCell(Entry.Problems);
    case kcWindowNumber: return PositiveNumberCell(Entry.WindowNumber);
    case kcWindowTitle: return QuotedTitleCell(Entry.WindowTitle);
    case kcWindowClass: return QuotedTitleCell(Entry.WindowClass);
    default: return std::string();
    }
}

std::string KnownAppFieldText(int Column, int Index)
{
    const Tknownapp* Entry = KnownApps.GetKnownApp(Index);
    return " " + (Entry ? KnownAppCell(Column, *Entry) : std::string()) + " ";
}

std::string WindowFieldText(int Column, const Tappwindowlist& List, int Index)
{
    const Tappwindow* Rule = List.GetAppWindow(Index);
    if (!Rule)
        return "  ";
    const std::string* Field = Column == wcExeFile       ? &Rule->ExePattern
                               : Column == wcWindowTitle ? &Rule->WindowTitle
                                                         : &Rule->WindowClass;
    return " " + QuoteField(*Field) + " ";
}

void AppendTableCell(StringList& Lines, bool IsLastColumn, const std::string& Cell, int Width,
                     char Separator, std::uint8_t Alignment, int& Line)
{
    std::string Text = Cell;
    if (!(IsLastColumn && Alignment == 0))
        PadString(Text, Width, ' ', Alignment);
    if (Line < 0 || Line >= static_cast<int>(Lines.size())) {
        Lines.push_back(Text);
        Line = static_cast<int>(Lines.size()) - 1;
    } else {
        Lines[static_cast<std::size_t>(Line)] += Text;
    }
    if (!IsLastColumn)
        Lines[static_cast<std::size_t>(Line)] += Separator;
    ++Line;
}

static std::string HeaderCell(const TRulesColumn& Column)
{
    return std::string(" ") + Column.Name + ":";
}

static int MaxLength(int Width, const StringList& Texts)
{
    for (const std::string& T : Texts)
        Width = std::max(Width, static_cast<int>(T.size()));
    return Width;
}

// Entry indexes grouped by category, in the order of Categories.
static std::vector<std::vector<int>> EntriesByCategory()
{
    std::vector<std::vector<int>> Groups(KnownApps.Categories.size());
    for (int I = 0; I < KnownApps.Count(); ++I) {
        const int C = KnownApps.GetKnownApp(I)->CategoryIndex;
        if (C >= 0 && C < static_cast<int>(Groups.size()))
            Groups[static_cast<std::size_t>(C)].push_back(I);
    }
    return Groups;
}

static void WriteKnownAppTable(StringList& Lines)
{
    const std::vector<std::vector<int>> Groups = EntriesByCategory();
    const int Start = static_cast<int>(Lines.size());
    for (int Column = 0; Column < KnownAppColumnCount; ++Column) {
        const TRulesColumn& Info = KnownAppColumns[Column];
        const bool Last = Column == KnownAppColumnCount - 1;
        StringList Texts(static_cast<std::size_t>(KnownApps.Count()));
        for (int I = 0; I < KnownApps.Count(); ++I)
            Texts[static_cast<std::size_t>(I)] = KnownAppFieldText(Column, I);
        const std::string Header = HeaderCell(Info);
        const int Width = MaxLength(static_cast<int>(Header.size()), Texts);
        int Line = Start;
        AppendTableCell(Lines, Last, Header, Width, '|', Info.Alignment, Line);
        for (const std::vector<int>& Group : Groups) {
            AppendTableCell(Lines, Last, std::string(static_cast<std::size_t>(Width), '-'), Width,
                            '+', Info.Alignment, Line);
            for (int I : Group)
                AppendTableCell(Lines, Last, Texts[static_cast<std::size_t>(I)], Width, '|',
                                Info.Alignment, Line);
        }
    }
}

void WriteWindowSection(StringList& Lines, const Tappwindowlist& List, const std::string& Header)
{
    if (List.Count() == 0)
        return;
    Lines.push_back("");
    Lines.push_back(Header);
    Lines.push_back("");
    const int Start = static_cast<int>(Lines.size());
    for (int Column = 0; Column < WindowColumnCount; ++Column) {
        const TRulesColumn& Info = WindowColumns[Column];
        const bool Last = Column == WindowColumnCount - 1;
        StringList Texts(static_cast<std::size_t>(List.Count()));
        for (int I = 0; I < List.Count(); ++I)
            Texts[static_cast<std::size_t>(I)] = WindowFieldText(Column, List, I);
        const std::string HeaderText = HeaderCell(Info);
        const int Width = MaxLength(static_cast<int>(HeaderText.size()), Texts);
        int Line = Start;
        AppendTableCell(Lines, Last, HeaderText, Width, '|', Info.Alignment, Line);
        AppendTableCell(Lines, Last, std::string(static_cast<std::size_t>(Width), '-'), Width, '+',
                        Info.Alignment, Line);
        for (const std::string& Text : Texts)
            AppendTableCell(Lines, Last, Text, Width, '|', Info.Alignment, Line);
    }
}

void WriteApplicationRules(StringList& Lines)
{
    if (KnownApps.Count() > 0) {
        if (KnownApps.RulesDate > 0) {
            Lines.push_back(VersionHeader);
            Lines.push_back(FormatRulesDate(KnownApps.RulesDate));
        }
        Lines.push_back("");
        Lines.push_back(KnownAppsHeader);
        Lines.push_back("");
        WriteKnownAppTable(Lines);
    }
    WriteWindowSection(Lines, AllowedWindows, AllowedHeader);
    WriteWindowSection(Lines, ForbiddenWindows, ForbiddenHeader);
}

// ---------------------------------------------------------------- lines

void TextToLines(const std::string& Text, StringList& Lines)
{
    Lines.clear();
    std::size_t Start = 0;
    std::size_t I = 0;
    while (I < Text.size()) {
        const char C = Text[I];
        if (C != '\r' && C != '\n') {
            ++I;
            continue;
        }
        Lines.push_back(Text.substr(Start, I - Start));
        if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n')
            ++I;
        Start = ++I;
    }
    if (Start < Text.size())
        Lines.push_back(Text.substr(Start));
}
