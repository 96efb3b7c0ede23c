#include "dialogs/applicationlist.h"

#include <algorithm>

namespace {

const char* const Titles[5] = {"Flags", "Category", "Application", "Version", "Location"};
const char* const RecordColumns = "Flags|Category|Application|Version|Location";
const StringList RecordColumnList(Titles, Titles + 5);

// A text-table line: "|", then per column a blank, the text padded to its
// width + 1, and "|".
std::string TableLine(const std::vector<std::string>& Cells, const std::vector<int>& Widths)
{
    std::string Line = "|";
    for (std::size_t C = 0; C < Cells.size(); ++C)
        Line += " " + PadStringTo(Cells[C], Widths[C] + 1, ' ', 0) + "|";
    return Line;
}

bool IsBlankRecord(const TDatabaseGrid& T, int Row)
{
    for (const char* Title : Titles)
        if (!T.CellByName(Title, Row).empty())
            return false;
    return true;
}

}  // namespace

bool MethodToKind(std::uint8_t Method, int& Kind)
{
    switch (Method) {
    case amBind: Kind = akBind; return true;
    case amExternal: Kind = akExternal; return true;
    default: return false;
    }
}

std::string StripNewChangedLetters(const std::string& Flags)
{
    std::string S = Flags;
    S.erase(std::remove_if(S.begin(), S.end(), [](char C) { return C == 'N' || C == 'C'; }),
            S.end());
    return S;
}

std::vector<TFlagImage> FlagImages(const std::string& Flags, int X, int ImageWidth)
{
    std::vector<TFlagImage> Images;
    for (char Letter : Flags) {
        const int Image = Letter == 'N' ? 0 : Letter == 'C' ? 1 : Letter == 'U' ? 2 : -1;
        if (Image < 0)
            continue;
        Images.push_back({Image, X});
        X += (Image == 2 ? 16 : ImageWidth) + 2;
    }
    return Images;
}

void ConfigureApplicationTable(TDatabaseGrid& Table)
{
    Table.SetDatabaseColumns(RecordColumns);
    Table.SetColumnHeaders(
        "Flags:|Category:|Application name (Author):|Version:|File location:");
    Table.SetColumnTypes("Number|Text|Text|Text|File");
    Table.SetDeniedColumns(RecordColumns);
    Table.SetOwnerDrawColumns("Location|Flags");
    Table.SetSortColumns("Application");
    Table.DatabaseName = "ApplicationList";
    Table.DatabaseDescription = "stores file access of child applications for Quorvan";
    Table.setcolumnwidths("67|103|298|206|404");
    Table.WrapText = false;
    Table.AlwaysPerformLookUp = false;
    Table.SetShortenFileNames(false);
    Table.SortingModifies = false;
    Table.SetAutoInitPrimaryKey(false);
    Table.SetReadOnlyDatabase(false);
    Table.AllowCellDeletion = false;
    Table.ChangedOnEdited = false;
    Table.SetMarkedColor(TDatabaseGrid::clWindow);
    // Setting the table up is not a change of the user's list.
    Table.SetModified(false);
}

void TApplicationList::SetListModified(bool Value)
{
    FTable.SetModified(Value);
    if (OnListModified)
        OnListModified(Value);
}

void TApplicationList::Message(const std::string& Text) const
{
    if (OnMessage)
        OnMessage(Text);
}

bool TApplicationList::FileExists(const std::string& Path)
{
    const IFileProbe* Probe = GetFileProbe();
    return Probe && !Path.empty() && Probe->FileExists(Path);
}

void TApplicationList::WriteApplicationList(StringList& Lines) const
{
    // Blank records (the table always holds one) are not written, so an
    // emptied list reads back empty.
    std::vector<int> Rows;
    for (int R = 1; R <= FTable.RecordCount(); ++R)
        if (!IsBlankRecord(FTable, R))
            Rows.push_back(R);
    std::vector<int> Widths;
    for (const char* Title : Titles) {
        int W = static_cast<int>(std::string(Title).size()) + 1;
        for (int R : Rows)
            W = std::max(W, static_cast<int>(FTable.CellByName(Title, R).size()));
        Widths.push_back(W);
    }
    Lines.push_back(TableLine(RecordColumnList, Widths));
    std::string Rule = "+";
    for (int W : Widths)
        Rule += std::string(static_cast<std::size_t>(W) + 2, '-') + "+";
    Lines.push_back(Rule);
    for (int R : Rows) {
        std::vector<std::string> Cells;
        for (const char* Title : Titles)
            Cells.push_back(FTable.CellByName(Title, R));
        Lines.push_back(TableLine(Cells, Widths));
    }
}

TListReadReport TApplicationList::ReadApplicationList(const StringList& Lines)
{
    TListReadReport Report;
    if (Lines.size() < 2) {
        Report.Faults.push_back({0, "it holds fewer than two lines"});
        return Report;
    }
    const auto HasNul = [](const std::string& Line) { return Line.find('\0') != std::string::npos; };
    if (HasNul(Lines[0])) {
        Report.Faults.push_back({1, "a NUL character"});
        return Report;
    }
    StringList Fields;
    SplitToStrings(Fields, Lines[0], '|');
    for (std::string& F : Fields) {
        F = Trim(F);
        if (!F.empty() && F.back() == ':')
            F.pop_back();
    }
    const std::size_t N = Fields.size();
    int Position[5];
    for (int T = 0; T < 5; ++T) {
        Position[T] = -1;
        for (std::size_t I = 0; I < N && Position[T] < 0; ++I)
            if (SameText(Fields[I], Titles[T]))
                Position[T] = static_cast<int>(I);
        if (Position[T] < 0) {
            Report.Faults.push_back({1, std::string("the header has no column \"") + Titles[T] + "\""});
            return Report;
        }
    }
    // The header tells the columns: a damaged rule line costs no record.
    SplitToStrings(Fields, Lines[1], '+');
    if (HasNul(Lines[1]) || Fields.size() != N)
        Report.Faults.push_back({2, "the rule line does not match the header"});
    // The grid takes all records at once: one update, not one per line.
    std::vector<StringList> Records;
    for (std::size_t L = 2; L < Lines.size(); ++L) {
        const int Line = static_cast<int>(L) + 1;
        if (HasNul(Lines[L])) {
            Report.Faults.push_back({Line, "a NUL character"});
            continue;
        }
        SplitToStrings(Fields, Lines[L], '|');
        if (Fields.size() != N) {
            Report.Faults.push_back({Line, IntToStr(static_cast<int>(Fields.size())) +
                                               " fields where the header has " +
                                               IntToStr(static_cast<int>(N))});
            continue;
        }
        StringList Values;
        bool Blank = true;
        for (int P : Position) {
            Values.push_back(Trim(Fields[static_cast<std::size_t>(P)]));
            Blank = Blank && Values.back().empty();
        }
        // A blank line of cells takes no row of the table: no record.
        if (!Blank)
            Records.push_back(std::move(Values));
    }
    Report.Records = static_cast<int>(Records.size());
    FTable.AddRecordsCells(RecordColumnList, std::move(Records));
    // Read, the list is as stored; so it stays until the user changes it.
    FTable.SetModified(false);
    return Report;
}

void TApplicationList::BindableApplications(TAppKinds Kinds, StringList& List,
                                            bool WithVersion) const
{
    List.clear();
    const int NameCol = FTable.ColumnIndex("Application"), VersionCol = FTable.ColumnIndex("Version");
    const int LocationCol = FTable.ColumnIndex("Location");
    if (NameCol < 0 || VersionCol < 0)
        return;
    for (int R = 1; R <= FTable.RecordCount(); ++R) {
        const std::string Name = FTable.Cell(NameCol, R);
        int Idx;
        if (Name.empty() || !FindKnownAppOfExecutable(Name, FTable.Cell(LocationCol, R), Idx))
            continue;
        std::string Line = WithVersion ? Name + "|" + FTable.Cell(VersionCol, R) : Name;
        for (;;) {
            const Tknownapp* Entry = KnownApps.GetKnownApp(Idx);
            int Kind;
            if (Kinds != 0 && (!MethodToKind(Entry->Method, Kind) || !(Kinds & KindBit(Kind))))
                break;
            List.push_back(Line);
            const Tknownapp* Next = KnownApps.GetKnownApp(Idx + 1);
            if (Entry->WindowNumber < 1 || !Next || Next->WindowNumber != Entry->WindowNumber + 1)
                break;
            ++Idx;
            Line = Next->Name;
        }
    }
    std::stable_sort(List.begin(), List.end(), [](const std::string& A, const std::string& B) {
        return CompareText(A, B) < 0;
    });
}

void TApplicationList::ApplicationComboItems(TAppKinds Kinds, const std::string& LeadingItem,
                                             const std::string& Current, StringList& Items,
                                             int& ItemIndex) const
{
    BindableApplications(Kinds, Items, false);
    Items.insert(Items.begin(), LeadingItem);
    ItemIndex = -1;
    for (std::size_t I = 0; I < Items.size() && !Current.empty(); ++I)
        if (SameText(Items[I], Current)) {
            ItemIndex = static_cast<int>(I);
            break;
        }
}

int TApplicationList::RowOfApplication(const std::string& Name) const
{
    const int NameCol = FTable.ColumnIndex("Application");
    if (NameCol < 0)
        return -1;
    for (int R = 1; R <= FTable.RecordCount(); ++R)
        if (SameText(FTable.Cell(NameCol, R), Name))
            return R;
    return -1;
}

bool TApplicationList::ApplicationLocation(const std::string& Name, std::string& Path,
                                           bool Translate) const
{
    Path.clear();
    const int Row = RowOfApplication(Translate ? GetMainEntryName(Name) : Name);
    if (Row < 1 || FTable.ColumnIndex("Location") < 0)
        return false;
    Path = FTable.CellByName("Location", Row);
    return FileExists(Path);
}

bool TApplicationList::AddApplication(const std::string& Path, const TIdentifyInfo& Info)
{
    StringList Found{Path};
    std::vector<TIdentifyInfo> Refs{Info};
    AddStillKnownListedApplications(Found, Refs);
    return EnterFoundApplications(Found, Refs);
}

bool TApplicationList::EnterFoundApplications(StringList& Found, std::vector<TIdentifyInfo>& Refs)
{
    if (!OnResolveDuplicates || !OnResolveDuplicates(Found, Refs))
        return false;
    if (Found.size() != Refs.size()) {
        Message("Internal error!");
        return false;
    }
    ClearNewChangedFlags();
    int FirstRow = -1;
    for (std::size_t I = 0; I < Found.size(); ++I)
        AddOrUpdateFoundApplication(Found[I], Refs[I], FirstRow);
    if (FirstRow >= 0) {
        if (OnCurrentRow)
            OnCurrentRow(FirstRow);
        else
            FTable.FocusCell(FTable.Col(), FirstRow);
    }
    return true;
}

void TApplicationList::AddOrUpdateFoundApplication(const std::string& Path,
                                                   const TIdentifyInfo& Info, int& FirstRow)
{
    // An index that is not one of KnownApps names no application.
    // A path the stored text would not give back is never entered.
    const Tknownapp* Entry = KnownApps.GetKnownApp(Info.Index);
    if (!FileExists(Path) || !Entry || !IsStorableCellText(Path))
        return;
    const Tcategorylist& Categories = KnownApps.Categories;
    const std::string Category =
        Entry->CategoryIndex >= 0 && Entry->CategoryIndex < static_cast<int>(Categories.size())
            ? Categories[static_cast<std::size_t>(Entry->CategoryIndex)]
            : std::string();
    const std::string Version = VersionToStr(Info.Version);
    const std::string U = Entry->Method == amUnsupported ? "U" : "";
    int Row = RowOfApplication(Entry->Name);
    if (Row < 1) {
        FTable.AddRecordCells(RecordColumnList, {U + "N", Category, Entry->Name, Version, Path});
        FTable.SortRecords();
        Row = RowOfApplication(Entry->Name);
        if (Row >= 1 && FirstRow < 0)
            FirstRow = Row;
    } else if (SameText(FTable.CellByName("Category", Row), Category) &&
               SameText(FTable.CellByName("Location", Row), Path) &&
               SameText(FTable.CellByName("Version", Row), Version)) {
        FTable.SetCell(FTable.ColumnIndex("Flags"), Row, U);
    } else {
        if (FirstRow < 0)
            FirstRow = Row;
        FTable.SetCell(FTable.ColumnIndex("Category"), Row, Category);
        FTable.SetCell(FTable.ColumnIndex("Location"), Row, Path);
        FTable.SetCell(FTable.ColumnIndex("Version"), Row, Version);
        FTable.SetCell(FTable.ColumnIndex("Flags"), Row, U + "C");
    }
    SetListModified(true);
}

void TApplicationList::ClearNewChangedFlags()
{
    const int Col = FTable.ColumnIndex("Flags");
    if (Col < 0)
        return;
    for (int R = 1; R <= FTable.RecordCount(); ++R)
        FTable.SetCell(Col, R, StripNewChangedLetters(FTable.Cell(Col, R)));
}

void TApplicationList::AddStillKnownListedApplications(StringList& Found,
                                                       std::vector<TIdentifyInfo>& Refs) const
{
    for (int R = 1; R <= FTable.RecordCount(); ++R) {
        const std::string Location = FTable.CellByName("Location", R);
        const bool Listed = std::any_of(Found.begin(), Found.end(), [&](const std::string& F) {
            return SameText(F, Location);
        });
        if (Listed)
            continue;
        TIdentifyInfo Info;
        TFileVersion MinVersion;
        const TIdentifyResult Result = IdentifyApplication("", Location, Info, MinVersion);
        if (Result == irBind || Result == irExternal) {
            Found.push_back(Location);
            Refs.push_back(Info);
        }
    }
}

bool TApplicationList::RemoveApplication(int Row, bool Confirmed)
{
    // Only a deletion marks the list modified (not No, Cancel, no row or
    // the blank record an empty list shows).
    if (Row < 1 || Row > FTable.RecordCount() || !Confirmed || IsBlankRecord(FTable, Row))
        return false;
    FTable.DeleteRecord(Row);
    SetListModified(true);
    return true;
}
