#include "components/DatabaseGrid.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char Sep = '|';

int CompareInts(int A, int B)
{
    return (A > B) - (A < B);
}

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

// SameText of both texts with every digit removed, without building them.
bool SameTextIgnoringDigits(std::string_view A, std::string_view B)
{
    std::size_t I = 0, J = 0;
    for (;;) {
        while (I < A.size() && IsDigit(A[I]))
            ++I;
        while (J < B.size() && IsDigit(B[J]))
            ++J;
        if (I == A.size() || J == B.size())
            return I == A.size() && J == B.size();
        if (UpCaseAscii(A[I]) != UpCaseAscii(B[J]))
            return false;
        ++I;
        ++J;
    }
}

StringList Fields(const std::string& List)
{
    StringList R;
    const int N = FieldCount(List, Sep);
    for (int K = 1; K <= N; ++K)
        R.push_back(GetField(List, K, Sep));
    return R;
}

// Where index Cur lands when the item at From moves to To.
int AdjustForMove(int Cur, int From, int To)
{
    if (Cur == From)
        return To;
    if (From < To && Cur > From && Cur <= To)
        return Cur - 1;
    if (From > To && Cur >= To && Cur < From)
        return Cur + 1;
    return Cur;
}

template <typename T>
void MoveItem(std::vector<T>& V, int From, int To)
{
    const auto F = V.begin() + From;
    const auto T2 = V.begin() + To;
    if (From < To)
        std::rotate(F, F + 1, T2 + 1);
    else
        std::rotate(T2, F, F + 1);
}

} // namespace

int CompareNatural(const std::string& A, const std::string& B)
{
    if (!SameTextIgnoringDigits(A, B))
        return CompareText(A, B);
    return CompareInts(StrToIntDefTrim(A, 0), StrToIntDefTrim(B, 0));
}

// Keeps every other field where it is, empty ones included, so that lists
// moved together stay aligned with each other and with the cells.
void MoveListField(std::string& List, int From, int To)
{
    const int N = FieldCount(List, Sep);
    if (From < 1 || From > N || To < 1 || To > N || From == To)
        return;
    StringList Items = Fields(List);
    MoveItem(Items, From - 1, To - 1);
    List = JoinStringsChar(Items, Sep);
}

TDatabaseGrid::TDatabaseGrid()
    : Cells_(2, TRecord(1)), ColWidths_(1, DefaultColWidth), MarkedColor_(Color)
{
}

// --- Columns ---

void TDatabaseGrid::SetDatabaseColumns(const std::string& Value)
{
    DatabaseColumns_ = Value;
    Resize(std::max(1, FieldCount(Value, Sep)), RowCount());
    // Re-applying each list filters it against the new names.
    SetColumnHeaders(ColumnHeaders_);
    SetColumnTypes(ColumnTypes_);
    SetLookupColumns(LookupColumns_);
    SetButtonColumns(ButtonColumns_);
    SetDeniedColumns(DeniedColumns_);
    SetOwnerDrawColumns(OwnerDrawColumns_);
    SetPrimaryKeyColumn(PrimaryKeyColumn_);
    SetSortColumns(SortColumns_);
    SetHasChanged(true);
    Fire(OnLinesChanged);
}

void TDatabaseGrid::SetColumnHeaders(const std::string& Value)
{
    if (Value.empty()) {
        ColumnHeaders_.clear();
        for (int C = 0; C < ColCount(); ++C)
            Cells_[0][C] = ColumnName(C);
    } else {
        StringList Headers;
        const int Named = FieldCount(DatabaseColumns_, Sep);
        for (int K = 1; K <= Named; ++K)
            Headers.push_back(GetField(Value, K, Sep));
        ColumnHeaders_ = JoinStringsChar(Headers, Sep);
        for (int C = 0; C < ColCount(); ++C)
            Cells_[0][C] = GetField(ColumnHeaders_, C + 1, Sep);
    }
    Repaint();
}

void TDatabaseGrid::SetColumnTypes(const std::string& Value)
{
    StringList Types;
    const int Named = FieldCount(DatabaseColumns_, Sep);
    for (int K = 1; K <= Named; ++K) {
        const std::string Given = GetField(Value, K, Sep);
        if (!PrimaryKeyColumn_.empty() && SameText(GetField(DatabaseColumns_, K, Sep), PrimaryKeyColumn_))
            Types.push_back("Number");
        else if (SameText(Given, "number"))
            Types.push_back("Number");
        else if (SameText(Given, "file"))
            Types.push_back("File");
        else
            Types.push_back("Text");
    }
    ColumnTypes_ = JoinStringsChar(Types, Sep);
}

void TDatabaseGrid::SetPrimaryKeyColumn(const std::string& Value)
{
    const int C = ColumnIndex(Value);
    PrimaryKeyColumn_ = C >= 0 ? ColumnName(C) : std::string();
    SetColumnTypes(ColumnTypes_);
}

int TDatabaseGrid::ColumnIndex(const std::string& Name) const
{
    if (Name.empty())
        return -1;
    const int Named = FieldCount(DatabaseColumns_, Sep);
    for (int K = 1; K <= Named; ++K)
        if (SameText(GetField(DatabaseColumns_, K, Sep), Name))
            return K - 1;
    return -1;
}

std::string TDatabaseGrid::ColumnName(int ACol) const
{
    return ACol >= 0 ? GetField(DatabaseColumns_, ACol + 1, Sep) : std::string();
}

std::string TDatabaseGrid::ColumnType(int ACol) const
{
    return ACol >= 0 ? GetField(ColumnTypes_, ACol + 1, Sep) : std::string();
}

bool TDatabaseGrid::IsInColumnList(const std::string& Name, const std::string& List)
{
    const int N = FieldCount(List, Sep);
    for (int K = 1; K <= N; ++K)
        if (SameText(GetField(List, K, Sep), Name))
            return true;
    return false;
}

std::string TDatabaseGrid::NormalizeColumnList(const std::string& List) const
{
    StringList Names;
    for (const std::string& Name : Fields(List)) {
        const int C = ColumnIndex(Name);
        if (C >= 0)
            Names.push_back(ColumnName(C));
    }
    return JoinStringsChar(Names, Sep);
}

// --- Cells ---

std::string TDatabaseGrid::Cell(int ACol, int ARow) const
{
    if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount())
        return std::string();
    return Cells_[ARow][ACol];
}

void TDatabaseGrid::SetCell(int ACol, int ARow, const std::string& Value)
{
    if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount())
        return;
    Cells_[ARow][ACol] = Value;
    Repaint();
}

std::string TDatabaseGrid::CellByName(const std::string& Column, int ARow) const
{
    return Cell(ColumnIndex(Column), ARow);
}

void TDatabaseGrid::Resize(int Cols, int Rows)
{
    if (Cols == ColCount() && Rows == RowCount())
        return;
    Cells_.resize(static_cast<std::size_t>(Rows));
    for (TRecord& R : Cells_)
        R.resize(static_cast<std::size_t>(Cols));
    ColWidths_.resize(static_cast<std::size_t>(Cols), DefaultColWidth);
    Col_ = std::min(Col_, Cols - 1);
    RowsChanged();
}

void TDatabaseGrid::RowsChanged()
{
    Row_ = std::min(Row_, RowCount() - 1);
    if (View_)
        View_->SizeChanged();
}

void TDatabaseGrid::ClearRow(int ARow)
{
    for (std::string& S : Cells_[ARow])
        S.clear();
}

std::string TDatabaseGrid::KeyOf(int ARow) const
{
    return Cell(KeyColumn(), ARow);
}

// --- Records ---

void TDatabaseGrid::SetRecordCount(int Value)
{
    if (Value >= 1)
        Resize(ColCount(), Value + 1);
}

bool TDatabaseGrid::IsRecordEmpty(int ARow, bool IgnoreKey) const
{
    if (!IsRecord(ARow))
        return false;
    const int Key = IgnoreKey ? KeyColumn() : -1;
    for (int C = 0; C < ColCount(); ++C)
        if (C != Key && !Cells_[ARow][C].empty())
            return false;
    return true;
}

bool TDatabaseGrid::IsEmptyTable() const
{
    return RecordCount() == 1 && IsRecordEmpty(1, true);
}

void TDatabaseGrid::AddRecord(const std::string& Columns, const std::string& Values)
{
    InsertRecord(Columns, Values, -1);
}

int TDatabaseGrid::RowForNewRecord(int Index)
{
    if (Index < 0) {
        for (int R = 1; R <= RecordCount(); ++R)
            if (IsRecordEmpty(R, true))
                return R;
    }
    // A row added by Resize is always empty.
    Resize(ColCount(), RowCount() + 1);
    const int Last = RecordCount();
    if (Index < 1 || Index >= Last)
        return Last;
    // The new last row moves up to Index; the rows below shift down.
    std::rotate(Cells_.begin() + Index, Cells_.begin() + Last, Cells_.end());
    return Index;
}

void TDatabaseGrid::InsertRecord(const std::string& Columns, const std::string& Values, int Index)
{
    StringList ColumnList, ValueList;
    const int N = FieldCount(Columns, Sep);
    for (int K = 1; K <= N; ++K) {
        ColumnList.push_back(GetField(Columns, K, Sep));
        ValueList.push_back(GetField(Values, K, Sep));
    }
    InsertRecordCells(ColumnList, ValueList, Index);
}

void TDatabaseGrid::AddRecordCells(const StringList& Columns, const StringList& Values)
{
    InsertRecordCells(Columns, Values, -1);
}

std::vector<int> TDatabaseGrid::ColumnIndexes(const StringList& Columns) const
{
    std::vector<int> Cols;
    for (const std::string& C : Columns)
        Cols.push_back(ColumnIndex(C));
    return Cols;
}

void TDatabaseGrid::FillRecord(int ARow, const std::vector<int>& Cols, StringList&& Values)
{
    for (std::size_t K = 0; K < Cols.size(); ++K)
        if (Cols[K] >= 0)
            Cells_[ARow][Cols[K]] = K < Values.size() ? std::move(Values[K]) : std::string();
}

void TDatabaseGrid::InsertRecordCells(const StringList& Columns, const StringList& Values, int Index)
{
    if (ReadOnlyDatabase_)
        return;
    FillRecord(RowForNewRecord(Index), ColumnIndexes(Columns), StringList(Values));
    Repaint();
    Fire(OnLinesChanged);
}

void TDatabaseGrid::AddRecordsCells(const StringList& Columns, std::vector<StringList> Records)
{
    if (ReadOnlyDatabase_ || Records.empty())
        return;
    const std::vector<int> Cols = ColumnIndexes(Columns);
    // Each record takes the first empty record row, as AddRecordCells does:
    // the empty rows there are now, then a new last row. A record that
    // leaves its row empty leaves it to the next one.
    std::vector<int> Empty;
    for (int R = 1; R <= RecordCount(); ++R)
        if (IsRecordEmpty(R, true))
            Empty.push_back(R);
    const int OldRows = RowCount();
    std::size_t Next = 0;
    for (StringList& Values : Records) {
        if (Next == Empty.size()) {
            Cells_.emplace_back(static_cast<std::size_t>(ColCount()));
            Empty.push_back(RecordCount());
        }
        FillRecord(Empty[Next], Cols, std::move(Values));
        if (!IsRecordEmpty(Empty[Next], true))
            ++Next;
    }
    if (RowCount() != OldRows)
        RowsChanged();
    Repaint();
    Fire(OnLinesChanged);
}

void TDatabaseGrid::ClearRecord(int ARow)
{
    if (ReadOnlyDatabase_ || !IsRecord(ARow))
        return;
    const bool HadText = !Cell(Col_, ARow).empty();
    ClearRow(ARow);
    SetAutoInitPrimaryKey(AutoInitPrimaryKey_);
    Repaint();
    SetHasChanged(true);
    if (HadText)
        DoCellValueChanged(Col_, ARow);
    UpdateEditors();
}

void TDatabaseGrid::DeleteRecord(int Index)
{
    if (ReadOnlyDatabase_ || !IsRecord(Index))
        return;
    if (RecordCount() > 1) {
        Unmark(Index);
        Cells_.erase(Cells_.begin() + Index);
        RowsChanged();
    } else {
        ClearRecord(1);
        SetAutoInitPrimaryKey(AutoInitPrimaryKey_);
    }
    Repaint();
    SetHasChanged(true);
    UpdateEditors();
    Fire(OnLinesChanged);
}

void TDatabaseGrid::SetAutoInitPrimaryKey(bool Value)
{
    AutoInitPrimaryKey_ = Value;
    const int Key = KeyColumn();
    if (Value && Key >= 0 && IsEmptyTable()) {
        Cells_[1][Key] = "1";
        Repaint();
    }
}

// --- Marks ---

void TDatabaseGrid::SetMarkedIds(const std::string& Value)
{
    if (Value == MarkedIds_)
        return;
    MarkedIds_ = Value;
    RecolorMarks();
    Fire(OnMarksChanged);
}

// An empty key is never marked, whatever empty fields the list holds.
bool TDatabaseGrid::IsMarked(int ARow) const
{
    if (MarkedIds_.empty() || KeyColumn() < 0 || !IsRecord(ARow))
        return false;
    const std::string Key = KeyOf(ARow);
    if (Key.empty())
        return false;
    return ("|" + MarkedIds_ + "|").find("|" + Key + "|") != std::string::npos;
}

void TDatabaseGrid::Unmark(int ARow)
{
    if (!IsMarked(ARow))
        return;
    const std::string Key = KeyOf(ARow);
    std::string Padded = "|" + MarkedIds_ + "|";
    // Cutting the separator in front and the key leaves the one behind it.
    Padded.erase(Padded.find("|" + Key + "|"), Key.size() + 1);
    SetMarkedIds(Padded.size() >= 2 ? Padded.substr(1, Padded.size() - 2) : std::string());
}

void TDatabaseGrid::SetMarkedColor(TColor Value)
{
    if (Value == MarkedColor_)
        return;
    MarkedColor_ = Value;
    RecolorMarks();
}

void TDatabaseGrid::RecolorMarks()
{
    if (View_)
        View_->RecolorLookupCombo();
    Repaint();
}

// --- Sorting ---

std::vector<TDatabaseGrid::TSortKey> TDatabaseGrid::SortKeys() const
{
    std::vector<TSortKey> Keys;
    for (const std::string& Name : Fields(SortColumns_)) {
        const int C = ColumnIndex(Name);
        if (C < 0)
            continue;
        TCompareKind Kind = TCompareKind::Text;
        if (C == KeyColumn() || IsInColumnList(Name, LookupColumns_))
            Kind = TCompareKind::Natural;
        else if (SameText(ColumnType(C), "Number"))
            Kind = TCompareKind::Number;
        Keys.push_back({C, Kind});
    }
    return Keys;
}

TDatabaseGrid::TSortData TDatabaseGrid::SortData() const
{
    TSortData D;
    D.Keys = SortKeys();
    const std::size_t K = D.Keys.size();
    D.Texts.resize(Cells_.size() * K);
    D.Numbers.resize(Cells_.size() * K);
    for (std::size_t Row = 1; Row < Cells_.size(); ++Row) {
        for (std::size_t I = 0; I < K; ++I) {
            const std::string& Text = Cells_[Row][static_cast<std::size_t>(D.Keys[I].Column)];
            D.Texts[Row * K + I] = Text;
            if (D.Keys[I].Kind != TCompareKind::Text)
                D.Numbers[Row * K + I] = StrToIntDefTrim(Text, 0);
        }
    }
    return D;
}

// Rows A and B: the sort keys in turn until one differs.
int TDatabaseGrid::CompareRecords(const TSortData& D, int A, int B)
{
    const std::size_t K = D.Keys.size();
    const std::size_t RowA = static_cast<std::size_t>(A) * K, RowB = static_cast<std::size_t>(B) * K;
    const int* NumbersA = D.Numbers.data() + RowA;
    const int* NumbersB = D.Numbers.data() + RowB;
    for (std::size_t I = 0; I < K; ++I) {
        const std::string_view TextA = D.Texts[RowA + I];
        const std::string_view TextB = D.Texts[RowB + I];
        int R = 0;
        switch (D.Keys[I].Kind) {
        case TCompareKind::Number:
            R = CompareInts(NumbersA[I], NumbersB[I]);
            break;
        case TCompareKind::Natural:
            // CompareNatural, with the numbers read beforehand.
            R = SameTextIgnoringDigits(TextA, TextB) ? CompareInts(NumbersA[I], NumbersB[I])
                                                     : CompareText(TextA, TextB);
            break;
        case TCompareKind::Text:
            R = CompareText(TextA, TextB);
            break;
        }
        if (R != 0)
            return R;
    }
    return 0;
}

// The records stay in place while an order of their rows is sorted; then
// each moves once. The pivot is a row, not a copy of a record.
void TDatabaseGrid::SortRecords()
{
    if ((ReadOnlyDatabase_ && SortingModifies) || SortColumns_.empty() || RecordCount() < 2)
        return;
    const TSortData D = SortData();
    std::vector<int> Order(Cells_.size());
    for (std::size_t I = 0; I < Order.size(); ++I)
        Order[I] = static_cast<int>(I);
    QuickSortRows(D, Order, 1, RecordCount());
    std::vector<TRecord> Sorted(Cells_.size());
    for (std::size_t I = 0; I < Order.size(); ++I)
        Sorted[I] = std::move(Cells_[static_cast<std::size_t>(Order[I])]);
    Cells_.swap(Sorted);
    Repaint();
    SelectCell(Col_, Row_);
}

// The natural order is not transitive, so no library sort may be used. The
// scans stay inside L..R without bounds checks: the pivot compares equal to
// itself, and after each exchange the exchanged records stop the scans.
// The smaller part recurses, the larger loops, so the stack stays shallow.
void TDatabaseGrid::QuickSortRows(const TSortData& D, std::vector<int>& Order, int L, int R)
{
    while (L < R) {
        const int Pivot = Order[static_cast<std::size_t>(L + (R - L) / 2)];
        int I = L, J = R;
        do {
            while (CompareRecords(D, Order[static_cast<std::size_t>(I)], Pivot) < 0)
                ++I;
            while (CompareRecords(D, Order[static_cast<std::size_t>(J)], Pivot) > 0)
                --J;
            if (I <= J) {
                ExchangeRows(Order, I, J);
                ++I;
                --J;
            }
        } while (I <= J);
        if (J - L < R - I) {
            QuickSortRows(D, Order, L, J);
            L = I;
        } else {
            QuickSortRows(D, Order, I, R);
            R = J;
        }
    }
}

void TDatabaseGrid::ExchangeRows(std::vector<int>& Order, int A, int B)
{
    if (A == B)
        return;
    std::swap(Order[static_cast<std::size_t>(A)], Order[static_cast<std::size_t>(B)]);
    if (SortingModifies)
        SetHasChanged(true);
}

// --- Change flags ---

void TDatabaseGrid::SetModified(bool Value)
{
    if (Value == Modified_)
        return;
    Modified_ = Value;
    Fire(OnModified);
}

void TDatabaseGrid::SetHasChanged(bool Value)
{
    if (Value)
        SetModified(true);
    HasChanged_ = Value;
    Fire(OnHasChanged);
}

void TDatabaseGrid::SetReadOnlyDatabase(bool Value)
{
    if (Value == ReadOnlyDatabase_)
        return;
    ReadOnlyDatabase_ = Value;
    UpdateEditors();
}

void TDatabaseGrid::SetShortenFileNames(bool Value)
{
    if (Value == ShortenFileNames_)
        return;
    ShortenFileNames_ = Value;
    Repaint();
}

// --- Column widths ---

int TDatabaseGrid::ColWidth(int ACol) const
{
    return ACol >= 0 && ACol < ColCount() ? ColWidths_[ACol] : 0;
}

void TDatabaseGrid::SetColWidth(int ACol, int Width)
{
    if (ACol < 0 || ACol >= ColCount() || ColWidths_[ACol] == Width)
        return;
    ColWidths_[ACol] = Width;
    if (View_)
        View_->SizeChanged();
}

std::string TDatabaseGrid::getcolumnwidths() const
{
    StringList Widths;
    for (int W : ColWidths_)
        Widths.push_back(IntToStr(W));
    return JoinStringsChar(Widths, Sep);
}

void TDatabaseGrid::setcolumnwidths(const std::string& Text)
{
    const int N = std::min(FieldCount(Text, Sep), ColCount());
    for (int K = 1; K <= N; ++K) {
        const int W = StrToIntDefTrim(GetField(Text, K, Sep), -1);
        if (W >= 0)
            SetColWidth(K - 1, W);
    }
}

// --- Current cell and moves ---

bool TDatabaseGrid::FocusCell(int ACol, int ARow)
{
    if (ACol < 0 || ACol >= ColCount() || ARow < 1 || ARow >= RowCount())
        return false;
    if (!SelectCell(ACol, ARow))
        return false;
    Col_ = ACol;
    Row_ = ARow;
    if (View_)
        View_->CurrentMoved();
    return true;
}

bool TDatabaseGrid::SelectCell(int ACol, int ARow)
{
    if (View_ && !View_->CanSelectCell(ACol, ARow))
        return false;
    CurrentCellCol_ = ACol;
    CurrentCellRow_ = ARow;
    if (OnCellPositionChanged)
        OnCellPositionChanged(*this, ColumnName(ACol), ACol, ARow);
    if (View_)
        View_->PlaceEditors(ACol, ARow);
    return true;
}

void TDatabaseGrid::MoveColumn(int From, int To)
{
    if (From < 0 || From >= ColCount() || To < 0 || To >= ColCount() || From == To)
        return;
    std::string Names = DatabaseColumns_;
    MoveListField(Names, From + 1, To + 1);
    MoveListField(ColumnTypes_, From + 1, To + 1);
    MoveListField(ColumnHeaders_, From + 1, To + 1);
    for (TRecord& R : Cells_)
        MoveItem(R, From, To);
    MoveItem(ColWidths_, From, To);
    Col_ = AdjustForMove(Col_, From, To);
    SetDatabaseColumns(Names);
    SetHasChanged(true);
    UpdateEditors();
}

void TDatabaseGrid::MoveRow(int From, int To)
{
    if (From < 1 || From >= RowCount() || To < 1 || To >= RowCount() || From == To)
        return;
    MoveItem(Cells_, From, To);
    Row_ = AdjustForMove(Row_, From, To);
    Repaint();
    if (SortingModifies)
        SetHasChanged(true);
    UpdateEditors();
}

void TDatabaseGrid::DoCellValueChanged(int ACol, int ARow)
{
    if (OnCellValueChanged)
        OnCellValueChanged(*this, ACol, ARow, ColumnName(ACol), Cell(ACol, ARow));
}

void TDatabaseGrid::UpdateEditors()
{
    if (View_)
        View_->UpdateEditors();
}

void TDatabaseGrid::Fire(const TNotifyEvent& Event)
{
    if (Event)
        Event(*this);
}

void TDatabaseGrid::Repaint()
{
    if (View_)
        View_->Repaint();
}

void TDatabaseGrid::SetColRow(int ACol, int ARow)
{
    Col_ = std::max(0, std::min(ACol, ColCount() - 1));
    Row_ = std::max(0, std::min(ARow, RowCount() - 1));
}

// --- Editing rules ---

std::string TDatabaseGrid::GetEditText(int ACol, int ARow, bool EditorShowing, bool& HideEditor)
{
    EditRefused_ = false;
    EditStartText_ = Cell(ACol, ARow);
    const std::string Name = ColumnName(ACol);
    HideEditor = EditorShowing && (ReadOnlyDatabase_ || IsInColumnList(Name, DeniedColumns_) ||
                                   IsInColumnList(Name, LookupColumns_));
    EditRefused_ = HideEditor;
    return EditStartText_;
}

// The table counts as changed only when the text really changed: the editor
// also hands back its text unchanged when it closes.
void TDatabaseGrid::SetEditText(int ACol, int ARow, const std::string& Value, bool EditorShowing)
{
    const std::string Old = Cell(ACol, ARow);
    SetCell(ACol, ARow, Value);
    if (!EditorShowing && EditRefused_) {
        SetCell(ACol, ARow, EditStartText_);
        return;
    }
    if (Value != Old)
        SetHasChanged(true);
    if (ChangedOnEdited || Value != EditStartText_)
        DoCellValueChanged(ACol, ARow);
}

bool TDatabaseGrid::DeleteKey(int Key, bool Modifiers, bool EditorShowing)
{
    const int VkDelete = 46;
    if (!AllowCellDeletion || ReadOnlyDatabase_ || EditorShowing || Key != VkDelete || Modifiers)
        return false;
    if (IsInColumnList(CurrentColumnName(), DeniedColumns_))
        return false;
    SetCell(Col_, Row_, std::string());
    SetHasChanged(true);
    SetAutoInitPrimaryKey(AutoInitPrimaryKey_);
    UpdateEditors();
    return true;
}

// --- Lookups ---

bool TDatabaseGrid::CanLookUp(int ACol, int ARow)
{
    if (!View_ || !View_->HasLookupCombo() || !OnLookUpColumnChange)
        return false;
    const std::string Name = ColumnName(ACol);
    bool Possible = AlwaysPerformLookUp || IsInColumnList(Name, LookupColumns_);
    if (OnOwnerLookUpPossible)
        OnOwnerLookUpPossible(*this, ACol, ARow, Name, Cell(ACol, ARow), Possible);
    return Possible;
}

bool TDatabaseGrid::GetLookupSource(int ACol, int ARow, TDatabaseGrid*& Grid, std::string& ResultColumn)
{
    Grid = nullptr;
    ResultColumn.clear();
    if (OnLookUpColumnChange)
        OnLookUpColumnChange(*this, ColumnName(ACol), ACol, ARow, Grid, ResultColumn);
    return Grid && !ResultColumn.empty() && !Grid->IsEmptyTable();
}

std::string TDatabaseGrid::LookupValue(const TDatabaseGrid* Grid, const std::string& Key,
                                       const std::string& ResultColumn)
{
    if (!Grid)
        return std::string();
    const int Result = Grid->ColumnIndex(ResultColumn), KeyCol = Grid->KeyColumn();
    if (Result < 0 || KeyCol < 0)
        return std::string();
    for (int R = 1; R <= Grid->RecordCount(); ++R)
        if (CompareText(Grid->Cells_[R][KeyCol], Key) == 0)
            return Grid->Cells_[R][Result];
    return std::string();
}

StringList TDatabaseGrid::LookupKeys(int ACol, int ARow)
{
    TypeAheadText.clear();
    StringList Keys;
    TDatabaseGrid* Grid = nullptr;
    std::string ResultColumn;
    if (!CanLookUp(ACol, ARow) || !GetLookupSource(ACol, ARow, Grid, ResultColumn))
        return Keys;
    const int KeyCol = Grid->KeyColumn();
    if (KeyCol < 0)
        return Keys;
    for (int R = 1; R <= Grid->RecordCount(); ++R)
        Keys.push_back(Grid->Cells_[R][KeyCol]);
    return Keys;
}

bool TDatabaseGrid::LookupComboVisible(int ACol) const
{
    const std::string Name = ColumnName(ACol);
    return IsInColumnList(Name, LookupColumns_) && !IsInColumnList(Name, DeniedColumns_) &&
           !ReadOnlyDatabase_;
}

bool TDatabaseGrid::ButtonVisible(int ACol, bool EditorShowing) const
{
    return !EditorShowing && IsInColumnList(ColumnName(ACol), ButtonColumns_) && !ReadOnlyDatabase_;
}

void TDatabaseGrid::LookupComboChange(const std::string& Text)
{
    if (ReadOnlyDatabase_)
        return;
    const std::string Old = Cell(Col_, Row_);
    SetCell(Col_, Row_, Text);
    if (View_)
        View_->TakeFocus();
    SetHasChanged(true);
    if (ChangedOnEdited || Text != Old)
        DoCellValueChanged(Col_, Row_);
}

bool TDatabaseGrid::ComboKeyPress(char Key, bool CurrentFixed)
{
    if (CurrentFixed || !CanLookUp(Col_, Row_))
        return false;
    if (Key == 8) {
        if (!TypeAheadText.empty())
            TypeAheadText.pop_back();
        return true;
    }
    if (Key >= 32 && Key <= 126) {
        TypeAheadText += UpCaseAscii(Key);
        return true;
    }
    return false;
}

int TDatabaseGrid::ComboTypeAhead(const StringList& Items)
{
    if (TypeAheadText.empty() || !CanLookUp(Col_, Row_))
        return -1;
    for (std::size_t I = 0; I < Items.size(); ++I) {
        TDatabaseGrid* Grid = nullptr;
        std::string ResultColumn;
        if (!GetLookupSource(Col_, Row_, Grid, ResultColumn))
            return -1;
        if (UpperCaseAscii(LookupValue(Grid, Items[I], ResultColumn)).compare(0, TypeAheadText.size(), TypeAheadText) == 0)
            return static_cast<int>(I);
    }
    return -1;
}

// --- Drawing rules ---

TDatabaseGrid::TColor TDatabaseGrid::CellColor(int ACol, int ARow, TColor Base)
{
    const bool Marked = IsMarked(ARow);
    if (OnGetCellColor) {
        TColor C = Base;
        OnGetCellColor(*this, ACol, ARow, Marked, C);
        return C;
    }
    return Marked ? MarkedColor_ : Base;
}

TDatabaseGrid::TColor TDatabaseGrid::DrawColor(int ACol, int ARow, bool Selected, bool Focused, TColor Brush)
{
    return Selected == Focused ? CellColor(ACol, ARow, Brush) : Brush;
}

bool TDatabaseGrid::IsOwnerDrawColumn(int ACol) const
{
    return IsInColumnList(ColumnName(ACol), OwnerDrawColumns_);
}

TDatabaseGrid::TCellText TDatabaseGrid::CellDrawText(int ACol, int ARow)
{
    TCellText T;
    const std::string Text = Cell(ACol, ARow).substr(0, MaxDrawText);
    const bool FileColumn = SameText(ColumnType(ACol), "File");
    if (CanLookUp(ACol, ARow)) {
        TDatabaseGrid* Grid = nullptr;
        std::string ResultColumn;
        if (GetLookupSource(ACol, ARow, Grid, ResultColumn)) {
            T.Kind = TCellText::Lookup;
            T.Text = LookupValue(Grid, Text, ResultColumn).substr(0, MaxDrawText);
            T.Shorten = ShortenFileNames_ && FileColumn;
        }
    } else if (WrapText) {
        if (Text.find('\r') != std::string::npos) {
            T.Kind = TCellText::Wrapped;
            T.Lines = WrapLines(Text);
        }
    } else if (ShortenFileNames_ && FileColumn) {
        T.Kind = TCellText::Shortened;
        T.Text = Text;
        T.Shorten = true;
    }
    return T;
}

StringList TDatabaseGrid::WrapLines(const std::string& Text)
{
    StringList Lines;
    std::size_t Start = 0;
    for (;;) {
        const std::size_t End = Text.find('\r', Start);
        Lines.push_back(Trim(Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start)));
        if (End == std::string::npos)
            return Lines;
        Start = End + 1;
    }
}

int TDatabaseGrid::WrappedLinesShown(const std::vector<int>& Heights, int RowHeight)
{
    int Total = 0;
    int N = 0;
    for (int H : Heights) {
        ++N;
        Total += H;
        if (Total > RowHeight + H)
            break;
    }
    return N;
}
