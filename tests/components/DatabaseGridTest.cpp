#include "components/DatabaseGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace {

using Log = std::vector<std::string>;

// Records the editor and selection calls; paints and size changes are
// left out so that logs show the order of what matters.
class FakeView : public IGridView {
public:
    explicit FakeView(Log& L) : L(L) {}
    void SizeChanged() override {}
    void Repaint() override { ++Repaints; }
    void RecolorLookupCombo() override { L.push_back("Recolor"); }
    void UpdateEditors() override { L.push_back("UpdateEditors"); }
    bool CanSelectCell(int, int) override { return AcceptSelect; }
    void PlaceEditors(int C, int R) override { L.push_back("Place " + IntToStr(C) + "," + IntToStr(R)); }
    Log& L;
    int Repaints = 0;
    bool AcceptSelect = true;
};

void Record(TDatabaseGrid& G, Log& L)
{
    G.OnModified = [&L](TDatabaseGrid& S) { L.push_back(S.Modified() ? "Modified" : "Unmodified"); };
    G.OnHasChanged = [&L](TDatabaseGrid& S) { L.push_back(S.HasChanged() ? "HasChanged" : "Unchanged"); };
    G.OnMarksChanged = [&L](TDatabaseGrid& S) { L.push_back("Marks " + S.MarkedIds()); };
    G.OnLinesChanged = [&L](TDatabaseGrid&) { L.push_back("Lines"); };
    G.OnCellValueChanged = [&L](TDatabaseGrid&, int, int R, const std::string& C, const std::string& V) {
        L.push_back("Value " + C + IntToStr(R) + "=" + V);
    };
    G.OnCellPositionChanged = [&L](TDatabaseGrid&, const std::string& C, int, int R) {
        L.push_back("Position " + C + IntToStr(R));
    };
}

// Id (key) | Name | Size (number); one record per "Id|Name|Size" row.
void Fill(TDatabaseGrid& G, const StringList& Rows)
{
    G.SetDatabaseColumns("Id|Name|Size");
    G.SetColumnTypes("|text|number");
    G.SetPrimaryKeyColumn("id");
    for (const std::string& R : Rows)
        G.AddRecord("Id|Name|Size", R);
}

std::string Column(const TDatabaseGrid& G, const std::string& Name)
{
    StringList V;
    for (int R = 1; R <= G.RecordCount(); ++R)
        V.push_back(G.CellByName(Name, R));
    return JoinStringsChar(V, ',');
}

TEST(DatabaseGrid, NewGridHasOneUnnamedColumnAndOneEmptyRecord)
{
    TDatabaseGrid G;
    EXPECT_EQ(G.ColCount(), 1);
    EXPECT_EQ(G.RecordCount(), 1);
    EXPECT_EQ(G.ColumnIndex("x"), -1);
    EXPECT_EQ(G.ColumnIndex(""), -1);
    EXPECT_TRUE(G.IsEmptyTable());
    EXPECT_FALSE(G.Modified() || G.HasChanged() || G.ReadOnlyDatabase());
    EXPECT_EQ(G.getcolumnwidths(), "64");
    for (int R : {-1, 0, 1, 2})
        EXPECT_EQ(G.CellByName("Application", R), "");
}

TEST(DatabaseGrid, RenamingColumnsFiltersEveryListAndRewritesHeaders)
{
    TDatabaseGrid G;
    Log L;
    G.SetDatabaseColumns("Id|Path|Name");
    G.SetColumnHeaders("Key:|Path:|Name:|ignored");
    G.SetColumnTypes("number|FILE|bogus");
    G.SetPrimaryKeyColumn("ID");
    for (auto Set : {&TDatabaseGrid::SetLookupColumns, &TDatabaseGrid::SetButtonColumns,
                     &TDatabaseGrid::SetDeniedColumns, &TDatabaseGrid::SetOwnerDrawColumns,
                     &TDatabaseGrid::SetSortColumns})
        (G.*Set)("name|x|PATH|id");
    EXPECT_EQ(G.LookupColumns(), "Name|Path|Id");
    EXPECT_EQ(G.ColumnHeaders(), "Key:|Path:|Name:");
    G.AddRecord("Id|Path|Name", "7|c:\\a.exe|A");
    G.SetModified(false);
    Record(G, L);

    G.SetDatabaseColumns("ID|Location|NAME|Extra");
    EXPECT_EQ(L, (Log{"Modified", "HasChanged", "Lines"}));
    for (auto Get : {&TDatabaseGrid::LookupColumns, &TDatabaseGrid::ButtonColumns,
                     &TDatabaseGrid::DeniedColumns, &TDatabaseGrid::OwnerDrawColumns,
                     &TDatabaseGrid::SortColumns})
        EXPECT_EQ((G.*Get)(), "NAME|ID");
    EXPECT_EQ(G.PrimaryKeyColumn(), "ID");
    EXPECT_EQ(G.ColumnTypes(), "Number|File|Text|Text");
    EXPECT_EQ(G.ColumnHeaders(), "Key:|Path:|Name:|");
    EXPECT_EQ(G.Cell(3, 0), "");
    EXPECT_EQ(G.CellByName("location", 1), "c:\\a.exe");

    G.SetColumnHeaders("");
    EXPECT_EQ(G.Cell(1, 0), "Location");
    G.SetDatabaseColumns("Location|Name");
    EXPECT_EQ(G.PrimaryKeyColumn(), "");
    EXPECT_EQ(G.SortColumns(), "Name");
    EXPECT_EQ(G.CellByName("ID", 1), "");
    G.SetDatabaseColumns("Location|Name|Id");
    EXPECT_EQ(G.CellByName("Id", 1), "") << "a dropped column's cells are not revived";
}

TEST(DatabaseGrid, ColumnTypesHeadersAndNormalisedLists)
{
    TDatabaseGrid G;
    G.SetDatabaseColumns("A|B|C");
    G.SetLookupColumns("b|x|B");
    EXPECT_EQ(G.LookupColumns(), "B|B");
    G.SetColumnTypes("");
    EXPECT_EQ(G.ColumnTypes(), "Text|Text|Text");
    G.SetPrimaryKeyColumn("c");
    EXPECT_EQ(G.ColumnTypes(), "Text|Text|Number");
    G.SetColumnTypes("FILE|number|file");
    EXPECT_EQ(G.ColumnTypes(), "File|Number|Number");
    G.SetPrimaryKeyColumn("nope");
    EXPECT_EQ(G.PrimaryKeyColumn(), "");
    G.SetColumnHeaders("|B:");
    EXPECT_EQ(G.Cell(0, 0) + "," + G.Cell(1, 0) + "," + G.Cell(2, 0), ",B:,");
}

TEST(DatabaseGrid, InsertPositions)
{
    struct Row {
        int Index;
        const char* Ids;
    };
    const Row Rows[] = {
        {1, "N,1,2,3"}, {2, "1,N,2,3"}, {3, "1,2,N,3"}, {0, "1,2,3,N"},
        {4, "1,2,3,N"}, {99, "1,2,3,N"}, {-1, "1,2,3,N"},
    };
    for (const Row& R : Rows) {
        TDatabaseGrid G;
        Fill(G, {"1|a|1", "2|b|2", "3|c|3"});
        G.InsertRecord("Name|Bogus|Id", "n|zz|N", R.Index);
        EXPECT_EQ(Column(G, "Id"), R.Ids) << R.Index;
        const int NewRow = 1 + static_cast<int>(std::string(R.Ids).find('N')) / 2;
        EXPECT_EQ(G.CellByName("Name", NewRow) + G.CellByName("Size", NewRow), "n");
    }
}

TEST(DatabaseGrid, AddFillsTheFirstRecordThatIsEmptyButForItsKey)
{
    TDatabaseGrid G;
    Fill(G, {});
    G.SetAutoInitPrimaryKey(true);
    G.AddRecord("Name", "first");
    EXPECT_EQ(G.RecordCount(), 1);
    EXPECT_EQ(Column(G, "Id") + "/" + Column(G, "Name"), "1/first");

    G.AddRecord("Id|Name", "2|second");
    G.AddRecord("Id|Name", "3|third");
    G.SetCell(1, 2, "");
    G.AddRecord("Name|Size", "middle");
    EXPECT_EQ(Column(G, "Name"), "first,middle,third");
    EXPECT_EQ(Column(G, "Id"), "1,2,3");
}

// Adding records at once fills the same rows as adding them one by one:
// empty rows first (a key alone leaves a row empty), an empty record
// leaves its row to the next.
TEST(DatabaseGrid, AddingRecordsAtOnceFillsTheRowsOneByOneWould)
{
    struct Case {
        StringList Before;              // "Id|Name|Size" rows
        std::vector<int> Emptied;       // rows whose name is cleared then
        std::vector<StringList> Added;  // Name, Size
    } Cases[] = {
        {{}, {}, {{"a", "1"}, {"b", "2"}}},
        {{"1|w|", "2|x|", "3|y|", "4|z|"}, {2, 4}, {{"a", ""}, {"", ""}, {"b", ""}, {"c", "3"}}},
        {{"1|x|"}, {}, {{"", ""}, {"", ""}, {"a", "1"}}},
        {{"1|x|"}, {}, {}},
    };
    for (const Case& K : Cases) {
        TDatabaseGrid One, All;
        for (TDatabaseGrid* G : {&One, &All}) {
            Fill(*G, K.Before);
            for (int R : K.Emptied)
                G->SetCell(1, R, "");
        }
        for (const StringList& R : K.Added)
            One.AddRecordCells({"Name", "Size"}, R);
        All.AddRecordsCells({"Name", "Size"}, K.Added);
        for (const char* C : {"Id", "Name", "Size"})
            EXPECT_EQ(Column(All, C), Column(One, C)) << C << " after " << K.Added.size();
    }
}

TEST(DatabaseGrid, DeleteAtTheEndsAndMiddleAndOutsideTheRange)
{
    struct Row {
        int Index;
        const char* Ids;
    };
    const Row Rows[] = {{1, "2,3,4"}, {4, "1,2,3"}, {2, "1,3,4"}, {0, "1,2,3,4"}, {5, "1,2,3,4"}, {-3, "1,2,3,4"}};
    for (const Row& R : Rows) {
        TDatabaseGrid G;
        Fill(G, {"1|a|", "2|b|", "3|c|", "4|d|"});
        G.ClearRecord(0);
        G.ClearRecord(5);
        G.DeleteRecord(R.Index);
        EXPECT_EQ(Column(G, "Id"), R.Ids) << R.Index;
        EXPECT_EQ(G.Cell(1, 0), "Name") << "the header row is never touched";
    }
}

TEST(DatabaseGrid, DeletingTheOnlyRecordEmptiesIt)
{
    TDatabaseGrid G;
    Fill(G, {"5|only|9"});
    G.SetAutoInitPrimaryKey(true);
    G.SetRecordCount(0);
    G.SetRecordCount(-4);
    EXPECT_EQ(G.RecordCount(), 1);
    G.DeleteRecord(1);
    EXPECT_EQ(G.RecordCount(), 1);
    EXPECT_EQ(Column(G, "Id") + Column(G, "Name") + Column(G, "Size"), "1");
    EXPECT_TRUE(G.IsEmptyTable());
    EXPECT_FALSE(G.IsRecordEmpty(1, false));
}

TEST(DatabaseGrid, EveryRecordOperationIsRefusedWhileReadOnly)
{
    TDatabaseGrid G;
    Fill(G, {"2|b|", "1|a|"});
    G.SetSortColumns("Id");
    G.SortingModifies = true;
    Log L;
    Record(G, L);
    G.SetReadOnlyDatabase(true);
    G.AddRecord("Id", "3");
    G.InsertRecord("Id", "4", 1);
    G.ClearRecord(1);
    G.DeleteRecord(1);
    G.SortRecords();
    EXPECT_EQ(Column(G, "Id") + "/" + Column(G, "Name"), "2,1/b,a");
    EXPECT_TRUE(L.empty());
    G.SetRecordCount(3);
    EXPECT_EQ(G.RecordCount(), 3);
    G.SortingModifies = false;
    G.SortRecords();
    EXPECT_EQ(Column(G, "Id"), ",1,2") << "a read-only view may still be reordered";
}

TEST(DatabaseGrid, MarksFollowKeysThroughDeleteAndSort)
{
    TDatabaseGrid G;
    Fill(G, {"10|a|", "0|b|", "3|c|", "1|d|", "||"});
    G.SetMarkedIds("3|10");
    StringList Marked;
    for (int R = 0; R <= G.RecordCount() + 1; ++R)
        Marked.push_back(G.IsMarked(R) ? "m" : "-");
    EXPECT_EQ(JoinStringsChar(Marked, ','), "-,m,-,m,-,-,-");

    G.SetMarkedIds("3||10|");
    EXPECT_FALSE(G.IsMarked(5)) << "an empty key is never marked";
    G.SetMarkedIds("3|10");
    G.DeleteRecord(5);

    G.SetSortColumns("Id");
    G.SortRecords();
    EXPECT_EQ(Column(G, "Id"), "0,1,3,10");
    EXPECT_TRUE(G.IsMarked(3) && G.IsMarked(4) && !G.IsMarked(2));

    G.DeleteRecord(3);
    EXPECT_EQ(G.MarkedIds(), "10");
    EXPECT_TRUE(G.IsMarked(3));
    G.Unmark(1);
    EXPECT_EQ(G.MarkedIds(), "10");
    G.SetPrimaryKeyColumn("");
    EXPECT_FALSE(G.IsMarked(4));
}

TEST(DatabaseGrid, UnmarkCutsOneOccurrenceAndOneSeparator)
{
    const std::pair<const char*, const char*> Rows[] = {
        {"3|10", "10"}, {"10|3", "10"}, {"7|3|10", "7|10"}, {"3", ""}, {"3|3", "3"}, {"33|3", "33"},
    };
    for (const auto& [Before, After] : Rows) {
        TDatabaseGrid G;
        Fill(G, {"3||"});
        G.SetMarkedIds(Before);
        G.Unmark(1);
        EXPECT_EQ(G.MarkedIds(), After) << Before;
    }
}

TEST(DatabaseGrid, CompareTextAndCompareNatural)
{
    struct Row {
        const char *A, *B;
        int Text, Natural;
    };
    const Row Rows[] = {
        {"10", "9", -1, 1},  {"a10", "a9", -1, 0}, {"b", "A1", 1, 1},  {"abc", "ABC", 0, 0},
        {"ab", "abc", -1, -1}, {"\xE4", "z", 1, 1}, {"x 2", "X 10", 1, 0}, {"007", "7", -1, 0},
    };
    for (const Row& R : Rows) {
        EXPECT_EQ(CompareText(R.A, R.B) > 0 ? 1 : CompareText(R.A, R.B) < 0 ? -1 : 0, R.Text) << R.A;
        const int N = CompareNatural(R.A, R.B);
        EXPECT_EQ(N > 0 ? 1 : N < 0 ? -1 : 0, R.Natural) << R.A << " " << R.B;
    }
}

bool SortedByNameThenSize(const TDatabaseGrid& G)
{
    for (int R = 2; R <= G.RecordCount(); ++R) {
        const int T = CompareText(G.CellByName("Name", R - 1), G.CellByName("Name", R));
        const int A = StrToIntDefTrim(G.CellByName("Size", R - 1), 0);
        const int B = StrToIntDefTrim(G.CellByName("Size", R), 0);
        if (T > 0 || (T == 0 && A > B))
            return false;
    }
    return true;
}

StringList Records(const TDatabaseGrid& G)
{
    StringList V;
    for (int R = 1; R <= G.RecordCount(); ++R)
        V.push_back(G.Cell(0, R) + "|" + G.Cell(1, R) + "|" + G.Cell(2, R));
    std::sort(V.begin(), V.end());
    return V;
}

TEST(DatabaseGrid, MultiKeySortOverSmallAndLargeTables)
{
    const std::vector<StringList> Tables = {
        {},
        {"1|b|2"},
        {"1|b|2", "2|a|9"},
        {"1|b|x", "2|B|-1", "3|a|2147483647"},
        {"1|n|-2147483648", "2|n|2147483647", "3|n|0", "4|n|2147483647"},
    };
    for (const StringList& T : Tables) {
        TDatabaseGrid G;
        Fill(G, T);
        G.SetSortColumns("Name|Size");
        const StringList Before = Records(G);
        G.SortRecords();
        EXPECT_TRUE(SortedByNameThenSize(G)) << JoinStringsChar(T, ' ');
        EXPECT_EQ(Records(G), Before);
    }

    std::mt19937 Rng(7);
    TDatabaseGrid G;
    Fill(G, {});
    for (int I = 1; I <= 2000; ++I)
        G.AddRecord("Id|Name|Size", IntToStr(I) + "|" + std::string(1, char('a' + Rng() % 5)) + "|" +
                                          IntToStr(int(Rng() % 40) - 20));
    G.SetSortColumns("Name|Size");
    const StringList Before = Records(G);
    G.SortRecords();
    EXPECT_TRUE(SortedByNameThenSize(G));
    EXPECT_EQ(Records(G), Before);

    G.SetSortColumns("Id");
    G.SortRecords();
    EXPECT_EQ(G.CellByName("Id", 1) + "," + G.CellByName("Id", 9) + "," + G.CellByName("Id", 2000), "1,9,2000");
}

// Records equal in every key end where the quicksort's exchanges put them,
// and each exchange counts as a change when sorting modifies.
TEST(DatabaseGrid, EqualKeysEndInTheQuicksortsOrder)
{
    struct Row {
        StringList Records;
        const char* Lookup;
        const char* Keys;
        const char* Ids;
        int Exchanges;
    };
    const Row Rows[] = {
        {{"1|b|", "2|a|", "3|b|", "4|a|", "5|b|", "6|a|"}, "", "Name", "4,2,6,5,1,3", 5},
        {{"1|n|2", "2|n|1", "3|n|2", "4|n|1", "5|n|2"}, "", "Size", "4,2,5,1,3", 4},
        {{"1|a10|", "2|A9|", "3|b|", "4|a9|", "5|x 2|", "6|X 10|", "7|a1|"}, "Name", "Name", "4,7,1,2,3,6,5", 5},
        {{"1|c|3", "2|b|", "3|c|1", "4|a|x", "5|b|0", "6|c|3"}, "", "Name|Size", "4,2,5,3,6,1", 4},
    };
    for (const Row& R : Rows) {
        TDatabaseGrid G;
        Fill(G, R.Records);
        G.SetLookupColumns(R.Lookup);
        G.SetSortColumns(R.Keys);
        G.SortingModifies = true;
        int Changes = 0;
        G.OnHasChanged = [&Changes](TDatabaseGrid&) { ++Changes; };
        G.SortRecords();
        EXPECT_EQ(Column(G, "Id"), R.Ids) << R.Keys;
        EXPECT_EQ(Changes, R.Exchanges) << R.Keys;
    }
}

TEST(DatabaseGrid, LookupColumnsSortNaturally)
{
    TDatabaseGrid G;
    Fill(G, {"1|x10|", "2|x9|", "3|10|", "4|9|"});
    G.SetLookupColumns("Name");
    G.SetSortColumns("Name");
    G.SortRecords();
    EXPECT_EQ(Column(G, "Name").substr(0, 4), "9,10");
}

TEST(DatabaseGrid, SortingFlagsAndReselection)
{
    for (bool Modifies : {false, true}) {
        TDatabaseGrid G;
        Log L;
        FakeView V(L);
        Fill(G, {"1|a|", "2|b|", "3|c|"});
        G.SetView(&V);
        G.SetModified(false);
        G.SetSortColumns("Name");
        G.SortingModifies = Modifies;
        Record(G, L);
        G.FocusCell(1, 2);
        L.clear();
        G.SortRecords();
        EXPECT_EQ(L, (Log{"Position Name2", "Place 1,2"})) << "an already sorted table is left alone";
        G.SetSortColumns("Id|Name");
        G.SetCell(0, 1, "9");
        L.clear();
        G.SortRecords();
        EXPECT_EQ(Column(G, "Id"), "2,3,9");
        EXPECT_EQ(G.Modified(), Modifies);
        EXPECT_EQ(L.back(), "Place 1,2");
    }
}

TEST(DatabaseGrid, ChangeFlagAndEventOrder)
{
    TDatabaseGrid G;
    Log L;
    FakeView V(L);
    Fill(G, {"1|a|", "2|b|", "3|c|"});
    G.SetModified(false);
    G.SetMarkedIds("2");
    G.SetView(&V);
    Record(G, L);
    G.FocusCell(1, 2);

    G.DeleteRecord(2);
    G.ClearRecord(1);
    G.ClearRecord(1);
    G.SetHasChanged(false);
    G.SetModified(false);
    G.SetModified(false);
    G.SetReadOnlyDatabase(true);
    G.SetReadOnlyDatabase(true);
    EXPECT_EQ(L, (Log{"Position Name2", "Place 1,2",
                      "Recolor", "Marks ", "Modified", "HasChanged", "UpdateEditors", "Lines",
                      "HasChanged", "Value Name1=", "UpdateEditors",
                      "HasChanged", "UpdateEditors",
                      "Unchanged", "Unmodified", "UpdateEditors"}));
    EXPECT_GT(V.Repaints, 0);
}

TEST(DatabaseGrid, SelectionCanBeRefusedByTheView)
{
    TDatabaseGrid G;
    Log L;
    FakeView V(L);
    Fill(G, {"1|a|", "2|b|"});
    G.SetView(&V);
    V.AcceptSelect = false;
    EXPECT_FALSE(G.FocusCell(2, 2));
    V.AcceptSelect = true;
    EXPECT_FALSE(G.FocusCell(3, 1));
    EXPECT_FALSE(G.FocusCell(0, 0));
    EXPECT_TRUE(G.FocusCell(2, 2));
    EXPECT_EQ(G.CurrentColumnName(), "Size");
    G.DeleteRecord(2);
    EXPECT_EQ(G.Row(), 1) << "the current row stays inside the records";
}

TEST(DatabaseGrid, ColumnWidths)
{
    TDatabaseGrid G;
    G.SetDatabaseColumns("A|B");
    G.setcolumnwidths("50|x|-3|80");
    EXPECT_EQ(G.getcolumnwidths(), "50|64");
    G.setcolumnwidths(" 7 |0");
    EXPECT_EQ(G.getcolumnwidths(), "7|0");
}

TEST(DatabaseGrid, MoveListFieldKeepsListsAligned)
{
    struct Row {
        const char* List;
        int From, To;
        const char* After;
    };
    const Row Rows[] = {
        {"A|B|C|D", 1, 3, "B|C|A|D"}, {"A|B|C|D", 3, 1, "C|A|B|D"}, {"A|B|C|D", 1, 4, "B|C|D|A"},
        {"A|B|C|D", 0, 2, "A|B|C|D"}, {"A|B|C|D", 2, 5, "A|B|C|D"}, {"A|B", 2, 2, "A|B"},
        {"", 1, 1, ""}, {"|Path:|Name:", 1, 3, "Path:|Name:|"}, {"A||C", 3, 1, "C|A|"},
    };
    for (const Row& R : Rows) {
        std::string L = R.List;
        MoveListField(L, R.From, R.To);
        EXPECT_EQ(L, R.After) << R.List << " " << R.From << ">" << R.To;
    }
}

TEST(DatabaseGrid, MovingAColumnMovesNamesTypesHeadersCellsAndWidths)
{
    TDatabaseGrid G;
    Fill(G, {"1|a|10"});
    G.SetColumnHeaders("|Name:|Size:");
    G.setcolumnwidths("10|20|30");
    G.FocusCell(0, 1);
    G.SetModified(false);
    G.MoveColumn(0, 2);
    EXPECT_EQ(G.DatabaseColumns(), "Name|Size|Id");
    EXPECT_EQ(G.ColumnTypes(), "Text|Number|Number");
    EXPECT_EQ(G.Cell(0, 0) + "," + G.Cell(1, 0) + "," + G.Cell(2, 0), "Name:,Size:,");
    EXPECT_EQ(G.Cell(0, 1) + "," + G.Cell(2, 1), "a,1");
    EXPECT_EQ(G.getcolumnwidths(), "20|30|10");
    EXPECT_EQ(G.CurrentColumnName(), "Id");
    EXPECT_EQ(G.PrimaryKeyColumn(), "Id");
    EXPECT_TRUE(G.Modified());
}

TEST(DatabaseGrid, MovingARowCountsAsAChangeOnlyWhenSortingModifies)
{
    for (bool Modifies : {false, true}) {
        TDatabaseGrid G;
        Fill(G, {"1|a|", "2|b|", "3|c|"});
        G.SetModified(false);
        G.SortingModifies = Modifies;
        G.MoveRow(3, 1);
        EXPECT_EQ(Column(G, "Id"), "3,1,2");
        EXPECT_EQ(G.Modified(), Modifies);
    }
}

} // namespace
