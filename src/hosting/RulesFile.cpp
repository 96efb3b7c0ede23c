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

bool FindColumnName(const TRulesColumn* Columns, int Count, std::string_view Name, int& Index)
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

bool IsRuleLine(std::string_view Text)
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
// The views point into Row; Cells keeps its capacity from row to row.
void SplitCells(std::string_view Row, std::vector<std::string_view>& Cells)
{
    Cells.clear();
    std::size_t Start = 0;
    for (;;) {
        const std::size_t End = Row.find('|', Start);
        if (End == std::string_view::npos) {
            Cells.push_back(Row.substr(Start));
            return;
        }
        Cells.push_back(Row.substr(Start, End - Start));
        Start = End + 1;
    }
}

// The trimmed cell at a 1-based position; empty when the row is shorter.
std::string_view CellAt(const std::vector<std::string_view>& Cells, int Position)
{
    if (Position < 1 || Position > static_cast<int>(Cells.size()))
        return std::string_view();
    return TrimView(Cells[static_cast<std::size_t>(Position - 1)]);
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

// Works on views of each line; the only copies are the cells handed to the
// row parsers, into buffers that keep their capacity from row to row.
class TRulesReader {
public:
    Tknownapplist Known;
    Tappwindowlist Allowed;
    Tappwindowlist Forbidden;

    std::uint8_t ReadLine(std::string_view Line);
    // A table section was opened: the text is a rules text.
    bool HasTable() const { return TableSeen; }

private:
    bool TableSeen = false;
    TSection Section = TSection::None;
    int KnownPositions[KnownAppColumnCount] = {};
    int AllowedPositions[WindowColumnCount] = {};
    int ForbiddenPositions[WindowColumnCount] = {};
    std::vector<std::string_view> Cells;
    std::string CellTexts[KnownAppColumnCount];

    bool OpenSection(std::string_view T);
    void ReadColumnHeader(std::string_view T, const TRulesColumn* Columns, int Count,
                          int* Positions);
    std::uint8_t ReadDate(std::string_view T);
    std::uint8_t ReadKnownApp(std::string_view T);
    std::uint8_t ReadWindowRule(std::string_view T, const int* Positions, Tappwindowlist& List);
    const std::string& CellText(int Slot, int Position);
};

bool TRulesReader::OpenSection(std::string_view T)
{
    if (T.front() != '[')
        return false;
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
    TableSeen = TableSeen || Section != TSection::Version;
    return true;
}

// Remembers the 1-based cell of every recognised column name. Positions of
// columns the row does not name stay as they were.
void TRulesReader::ReadColumnHeader(std::string_view T, const TRulesColumn* Columns, int Count,
                                    int* Positions)
{
    SplitCells(T, Cells);
    for (std::size_t I = 0; I < Cells.size(); ++I) {
        std::string_view Name = TrimView(Cells[I]);
        if (!Name.empty() && Name.back() == ':')
            Name.remove_suffix(1);
        int Id;
        if (FindColumnName(Columns, Count, Name, Id))
            Positions[Id] = static_cast<int>(I) + 1;
    }
}

std::uint8_t TRulesReader::ReadDate(std::string_view T)
{
    TDateTime Date;
    if (!ParseRulesDate(std::string(T), Date))
        return ieInvalidDate;
    // An equal date is nothing new either.
    if (!(Date > KnownApps.RulesDate))
        return ieOldVersion;
    Known.RulesDate = Date;
    return ieOk;
}

// The trimmed cell at Position of the row last split, in buffer Slot.
const std::string& TRulesReader::CellText(int Slot, int Position)
{
    std::string& Text = CellTexts[Slot];
    const std::string_view Cell = CellAt(Cells, Position);
    Text.assign(Cell.data(), Cell.size());
    return Text;
}

std::uint8_t TRulesReader::ReadKnownApp(std::string_view T)
{
    if (!AllColumnsFound(KnownPositions, KnownAppColumnCount))
        return ieMissingAppColumns;
    SplitCells(T, Cells);
    const auto Cell = [&](int Column) -> const std::string& {
        return CellText(Column, KnownPositions[Column]);
    };
    return AddKnownApp(Known, Cell(kcCategory), Cell(kcName), Cell(kcVersion), Cell(kcExeSize),
                       Cell(kcMethod), Cell(kcFilesNeeded), Cell(kcAge), Cell(kcURL),
                       Cell(kcProblems), Cell(kcWindowTitle), Cell(kcWindowClass),
                       Cell(kcWindowNumber));
}

std::uint8_t TRulesReader::ReadWindowRule(std::string_view T, const int* Positions,
                                          Tappwindowlist& List)
{
    if (!AllColumnsFound(Positions, WindowColumnCount))
        return ieMissingWindowColumns;
    SplitCells(T, Cells);
    std::string Values[WindowColumnCount];
    bool Valid = true;
    for (int I = 0; I < WindowColumnCount; ++I)
        Valid = UnquoteWindowCell(CellText(I, Positions[I]), Values[I]) && Valid;
    if (!Valid)
        return ieInvalidWindowParameter;
    List.AddAppWindow(Values[wcExeFile], Values[wcWindowTitle], Values[wcWindowClass]);
    return ieOk;
}

std::uint8_t TRulesReader::ReadLine(std::string_view Line)
{
    const std::string_view T = TrimView(Line);
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
    // No table at all (an empty file, random bytes, one long line) is no
    // rules text: it must not empty the database it would replace. Only a
    // window table, as the writer makes for no known applications, will do.
    if (!Reader.HasTable()) {
        ErrorLine = std::max(static_cast<int>(Lines.size()), 1);
        return ieMissingAppColumns;
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
static void AppendTableSafe(std::string& Out, std::string_view Text)
{
    const std::size_t From = Out.size();
    Out.append(Text);
    for (std::size_t I = From; I < Out.size(); ++I)
        if (Out[I] == '|' || Out[I] == '\r' || Out[I] == '\n' || Out[I] == '\0')
            Out[I] = ' ';
}

// Drops the ends of what was appended to Out from From on, as Trim would.
static void TrimAppended(std::string& Out, std::size_t From)
{
    const std::string_view T = TrimView(std::string_view(Out).substr(From));
    const std::size_t Begin = static_cast<std::size_t>(T.data() - Out.data());
    Out.erase(Begin + T.size());
    Out.erase(From, Begin - From);
}

// An unquoted cell: the reader trims cells, so the ends are not kept anyway.
static void AppendPlainCell(std::string& Out, std::string_view Text)
{
    const std::size_t From = Out.size();
    AppendTableSafe(Out, Text);
    TrimAppended(Out, From);
}

// A row whose first cell begins with ';' would read as a comment and vanish.
static std::string CategoryCell(const std::string& Name)
{
    std::string R;
    AppendPlainCell(R, Name);
    while (!R.empty() && R.front() == ';')
        R = TrimLeft(std::string_view(R).substr(1));
    return R;
}

// The Category cell of every category, by index.
static StringList CategoryCells()
{
    StringList R;
    R.reserve(KnownApps.Categories.size());
    for (const std::string& Name : KnownApps.Categories)
        R.push_back(CategoryCell(Name));
    return R;
}

static void AppendQuoteField(std::string& Out, std::string_view Text)
{
    if (Text == NotGiven)
        return;
    Out += '"';
    AppendTableSafe(Out, Text);
    Out += '"';
}

std::string QuoteField(const std::string& Text)
{
    std::string R;
    AppendQuoteField(R, Text);
    return R;
}

static void AppendPositiveNumber(std::string& Out, std::int32_t Value)
{
    if (Value >= 1)
        Out += IntToStr(Value);
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

static void AppendMethodCell(std::string& Out, const Tknownapp& Entry)
{
    if (Entry.Method == amExternal) {
        Out += "external";
        return;
    }
    // Any code but bind and external reads back as unsupported rather than
    // making the whole text unreadable.
    if (Entry.Method != amBind) {
        Out += "unsupported";
        return;
    }
    Out += "bind";
    if (Entry.NoTitle)
        Out += "; no title";
    if (Entry.HardSizing)
        Out += "; hard sizing";
    if (Entry.MinWidth == -1 && Entry.MinHeight == -1) {
        Out += "; minsize=start";
    } else if (Entry.MinWidth != 0 || Entry.MinHeight != 0) {
        Out += "; minsize=";
        Out += IntToStr(Entry.MinWidth);
        Out += ',';
        Out += IntToStr(Entry.MinHeight);
    }
    if (Entry.OnlyOnce)
        Out += "; only 1x";
}

// The cell text of one column of Entry, without its framing blanks.
static void AppendKnownAppCell(std::string& Out, int Column, const Tknownapp& Entry,
                               const StringList& Categories)
{
    switch (Column) {
    case kcCategory:
        if (Entry.CategoryIndex >= 0 && Entry.CategoryIndex < static_cast<int>(Categories.size()))
            Out += Categories[static_cast<std::size_t>(Entry.CategoryIndex)];
        break;
    case kcName: AppendPlainCell(Out, Entry.Name); break;
    case kcAge: AppendPositiveNumber(Out, Entry.Age); break;
    case kcVersion: Out += FormatVersionCondition(Entry.VersionCondition); break;
    case kcExeSize: AppendPositiveNumber(Out, Entry.ExeSize); break;
    case kcMethod: AppendMethodCell(Out, Entry); break;
    case kcFilesNeeded: AppendPlainCell(Out, Entry.FilesNeeded); break;
    case kcURL: AppendPlainCell(Out, Entry.URL); break;
    case kcProblems: AppendPlainCell(Out, Entry.Problems); break;
    case kcWindowNumber: AppendPositiveNumber(Out, Entry.WindowNumber); break;
    // Titles and classes of known applications must fit AddKnownApp's limit.
    case kcWindowTitle:
        AppendQuoteField(Out, std::string_view(Entry.WindowTitle).substr(0, MaxQuotedTitle));
        break;
    case kcWindowClass:
        AppendQuoteField(Out, std::string_view(Entry.WindowClass).substr(0, MaxQuotedTitle));
        break;
    default: break;
    }
}

std::string KnownAppFieldText(int Column, int Index)
{
    std::string R = " ";
    if (const Tknownapp* Entry = KnownApps.GetKnownApp(Index))
        AppendKnownAppCell(R, Column, *Entry, CategoryCells());
    R += ' ';
    return R;
}

static const std::string& WindowField(int Column, const Tappwindow& Rule)
{
    return Column == wcExeFile       ? Rule.ExePattern
           : Column == wcWindowTitle ? Rule.WindowTitle
                                     : Rule.WindowClass;
}

std::string WindowFieldText(int Column, const Tappwindowlist& List, int Index)
{
    std::string R = " ";
    if (const Tappwindow* Rule = List.GetAppWindow(Index))
        AppendQuoteField(R, WindowField(Column, *Rule));
    R += ' ';
    return R;
}

// One cell of a table line: padded to Width unless it is a left-aligned
// last column, then Separator unless it is the last column.
static void AppendCell(std::string& Line, bool IsLastColumn, std::string_view Cell, int Width,
                       char Separator, std::uint8_t Alignment)
{
    if (IsLastColumn && Alignment == 0)
        Line.append(Cell);
    else
        AppendPadded(Line, Cell, Width, ' ', Alignment);
    if (!IsLastColumn)
        Line += Separator;
}

void AppendTableCell(StringList& Lines, bool IsLastColumn, const std::string& Cell, int Width,
                     char Separator, std::uint8_t Alignment, int& Line)
{
    if (Line < 0 || Line >= static_cast<int>(Lines.size())) {
        Lines.emplace_back();
        Line = static_cast<int>(Lines.size()) - 1;
    }
    AppendCell(Lines[static_cast<std::size_t>(Line)], IsLastColumn, Cell, Width, Separator,
               Alignment);
    ++Line;
}

namespace {

// One column of a table being written: every cell's text (without its
// framing blanks) one after another in one string, and the column's width,
// the longest of the header cell and every framed cell.
class TTableColumn {
public:
    TTableColumn(const TRulesColumn& Info, bool IsLast)
        : Info(Info), IsLast(IsLast), Header(std::string(" ") + Info.Name + ":"),
          Width(Header.size())
    {
    }

    const TRulesColumn& Info;
    const bool IsLast;
    const std::string Header;

    // The next cell is appended here, then ended with EndCell.
    std::string& Text() { return Texts; }
    void EndCell()
    {
        const std::size_t Start = Ends.empty() ? 0 : Ends.back();
        Width = std::max(Width, Texts.size() - Start + 2);
        Ends.push_back(Texts.size());
    }
    std::string_view Cell(std::size_t I) const
    {
        const std::size_t Start = I == 0 ? 0 : Ends[I - 1];
        return std::string_view(Texts).substr(Start, Ends[I] - Start);
    }
    int CellWidth() const { return static_cast<int>(Width); }

private:
    std::string Texts;
    std::vector<std::size_t> Ends;
    std::size_t Width;
};

enum : int { HeaderRow = -1, RuleRow = -2 };

// Appends the table's lines, each built once in a string of its final size:
// Rows names, line by line, the header row, a rule row or a cell index.
void WriteTableLines(StringList& Lines, const std::vector<TTableColumn>& Columns,
                     const std::vector<int>& Rows)
{
    std::size_t LineSize = 0;
    for (const TTableColumn& C : Columns)
        LineSize += static_cast<std::size_t>(C.CellWidth()) + 1;
    Lines.reserve(Lines.size() + Rows.size());
    for (int Row : Rows) {
        std::string Line;
        Line.reserve(LineSize);
        for (const TTableColumn& C : Columns) {
            const int Width = C.CellWidth();
            if (Row == RuleRow) {
                Line.append(static_cast<std::size_t>(Width), '-');
                if (!C.IsLast)
                    Line += '+';
            } else if (Row == HeaderRow) {
                AppendCell(Line, C.IsLast, C.Header, Width, '|', C.Info.Alignment);
            } else {
                // The cell framed by its blanks, padded as AppendCell would.
                const std::string_view Cell = C.Cell(static_cast<std::size_t>(Row));
                const bool Pad = !(C.IsLast && C.Info.Alignment == 0);
                const std::size_t Missing =
                    Pad ? static_cast<std::size_t>(Width) - Cell.size() - 2 : 0;
                const std::size_t Front = PadFront(Missing, C.Info.Alignment);
                Line.append(Front + 1, ' ');
                Line.append(Cell);
                Line.append(Missing - Front + 1, ' ');
                if (!C.IsLast)
                    Line += '|';
            }
        }
        Lines.push_back(std::move(Line));
    }
}

std::vector<TTableColumn> TableColumns(const TRulesColumn* Infos, int Count)
{
    std::vector<TTableColumn> Columns;
    Columns.reserve(static_cast<std::size_t>(Count));
    for (int C = 0; C < Count; ++C)
        Columns.emplace_back(Infos[C], C == Count - 1);
    return Columns;
}

} // namespace

// A rule row stands before the entries of each category, in the order of
// Categories; entries without a valid category are not written.
static void WriteKnownAppTable(StringList& Lines)
{
    const StringList Categories = CategoryCells();
    std::vector<TTableColumn> Columns = TableColumns(KnownAppColumns, KnownAppColumnCount);
    std::vector<std::vector<int>> Groups(Categories.size());
    for (int I = 0; I < KnownApps.Count(); ++I) {
        const Tknownapp& Entry = *KnownApps.GetKnownApp(I);
        for (int C = 0; C < KnownAppColumnCount; ++C) {
            TTableColumn& Column = Columns[static_cast<std::size_t>(C)];
            AppendKnownAppCell(Column.Text(), C, Entry, Categories);
            Column.EndCell();
        }
        if (Entry.CategoryIndex >= 0 && Entry.CategoryIndex < static_cast<int>(Groups.size()))
            Groups[static_cast<std::size_t>(Entry.CategoryIndex)].push_back(I);
    }
    std::vector<int> Rows{HeaderRow};
    Rows.reserve(Groups.size() + static_cast<std::size_t>(KnownApps.Count()) + 1);
    for (const std::vector<int>& Group : Groups) {
        Rows.push_back(RuleRow);
        Rows.insert(Rows.end(), Group.begin(), Group.end());
    }
    WriteTableLines(Lines, Columns, Rows);
}

void WriteWindowSection(StringList& Lines, const Tappwindowlist& List, const std::string& Header)
{
    if (List.Count() == 0)
        return;
    Lines.push_back("");
    Lines.push_back(Header);
    Lines.push_back("");
    std::vector<TTableColumn> Columns = TableColumns(WindowColumns, WindowColumnCount);
    std::vector<int> Rows{HeaderRow, RuleRow};
    for (int I = 0; I < List.Count(); ++I) {
        for (int C = 0; C < WindowColumnCount; ++C) {
            TTableColumn& Column = Columns[static_cast<std::size_t>(C)];
            AppendQuoteField(Column.Text(), WindowField(C, *List.GetAppWindow(I)));
            Column.EndCell();
        }
        Rows.push_back(I);
    }
    WriteTableLines(Lines, Columns, Rows);
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
