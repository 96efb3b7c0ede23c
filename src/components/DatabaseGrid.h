// The named-column grid's model: columns addressed by name, records in rows
// 1..RecordCount (row 0 holds the headers), marks, sorting and the change
// flags. Portable; the Win32 control shows it through IGridView.
#pragma once

#include "hosting/Velmora.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What the model asks of the control that shows it. Every call is optional:
// the model works with no view attached.
class IGridView {
public:
    virtual ~IGridView() = default;
    // Column or row count, or a column width, changed.
    virtual void SizeChanged() = 0;
    // Cell texts, marks or colours changed.
    virtual void Repaint() = 0;
    // Marks or the marked colour changed.
    virtual void RecolorLookupCombo() = 0;
    // Re-place the lookup combo box and the cell button.
    virtual void UpdateEditors() = 0;
    // The control's own say on a cell selection.
    virtual bool CanSelectCell(int ACol, int ARow) = 0;
    // Fill and place the lookup combo box and the cell button for a cell.
    virtual void PlaceEditors(int ACol, int ARow) = 0;
    // Whether a lookup combo box is assigned (no lookups without one).
    virtual bool HasLookupCombo() const { return false; }
    // The control takes the keyboard focus back from the combo box.
    virtual void TakeFocus() {}
    // FocusCell moved the current cell: show it.
    virtual void CurrentMoved() {}
};

// Texts that differ only in their digits compare by their whole-number
// value (0 when not a whole number); others compare as text.
int CompareNatural(const std::string& A, const std::string& B);
// Moves field From to position To (both 1-based) of a '|' list.
void MoveListField(std::string& List, int From, int To);

class TDatabaseGrid {
public:
    using TColor = std::int32_t;
    static constexpr TColor clWindow = static_cast<TColor>(0xFF000005);
    static constexpr int DefaultColWidth = 64;

    using TNotifyEvent = std::function<void(TDatabaseGrid& Sender)>;

    TDatabaseGrid();
    TDatabaseGrid(const TDatabaseGrid&) = delete;
    TDatabaseGrid& operator=(const TDatabaseGrid&) = delete;

    void SetView(IGridView* View) { View_ = View; }

    // --- Columns ---
    const std::string& DatabaseColumns() const { return DatabaseColumns_; }
    void SetDatabaseColumns(const std::string& Value);
    const std::string& ColumnHeaders() const { return ColumnHeaders_; }
    void SetColumnHeaders(const std::string& Value);
    const std::string& ColumnTypes() const { return ColumnTypes_; }
    void SetColumnTypes(const std::string& Value);
    const std::string& LookupColumns() const { return LookupColumns_; }
    void SetLookupColumns(const std::string& Value) { LookupColumns_ = NormalizeColumnList(Value); }
    const std::string& ButtonColumns() const { return ButtonColumns_; }
    void SetButtonColumns(const std::string& Value) { ButtonColumns_ = NormalizeColumnList(Value); }
    const std::string& DeniedColumns() const { return DeniedColumns_; }
    void SetDeniedColumns(const std::string& Value) { DeniedColumns_ = NormalizeColumnList(Value); }
    const std::string& OwnerDrawColumns() const { return OwnerDrawColumns_; }
    void SetOwnerDrawColumns(const std::string& Value) { OwnerDrawColumns_ = NormalizeColumnList(Value); }
    const std::string& SortColumns() const { return SortColumns_; }
    void SetSortColumns(const std::string& Value) { SortColumns_ = NormalizeColumnList(Value); }
    const std::string& PrimaryKeyColumn() const { return PrimaryKeyColumn_; }
    void SetPrimaryKeyColumn(const std::string& Value);

    int ColCount() const { return static_cast<int>(ColWidths_.size()); }
    // An empty name addresses no column.
    int ColumnIndex(const std::string& Name) const;
    std::string ColumnName(int ACol) const;
    std::string ColumnType(int ACol) const;
    std::string CurrentColumnName() const { return ColumnName(Col_); }
    static bool IsInColumnList(const std::string& Name, const std::string& List);
    std::string NormalizeColumnList(const std::string& List) const;

    // --- Cells (row 0 = headers); out-of-range reads give an empty text ---
    int RowCount() const { return static_cast<int>(Cells_.size()); }
    std::string Cell(int ACol, int ARow) const;
    // Plain write, like the base grid's: no event, no flag.
    void SetCell(int ACol, int ARow, const std::string& Value);
    // Empty for an unknown column or row.
    std::string CellByName(const std::string& Column, int ARow) const;

    // --- Records ---
    int RecordCount() const { return RowCount() - 1; }
    void SetRecordCount(int Value);
    bool IsRecordEmpty(int ARow, bool IgnoreKey) const;
    bool IsEmptyTable() const;
    void AddRecord(const std::string& Columns, const std::string& Values);
    void InsertRecord(const std::string& Columns, const std::string& Values, int Index);
    // Cell by cell: a value may hold the separator.
    void AddRecordCells(const StringList& Columns, const StringList& Values);
    // As AddRecordCells for each record in turn, with the view and
    // OnLinesChanged told once for all.
    void AddRecordsCells(const StringList& Columns, std::vector<StringList> Records);
    void ClearRecord(int ARow);
    void DeleteRecord(int Index);
    bool AutoInitPrimaryKey() const { return AutoInitPrimaryKey_; }
    void SetAutoInitPrimaryKey(bool Value);

    // --- Marks ---
    const std::string& MarkedIds() const { return MarkedIds_; }
    void SetMarkedIds(const std::string& Value);
    bool IsMarked(int ARow) const;
    void Unmark(int ARow);
    TColor MarkedColor() const { return MarkedColor_; }
    void SetMarkedColor(TColor Value);

    // --- Sorting ---
    void SortRecords();

    // --- Change flags ---
    bool Modified() const { return Modified_; }
    void SetModified(bool Value);
    bool HasChanged() const { return HasChanged_; }
    void SetHasChanged(bool Value);
    bool ReadOnlyDatabase() const { return ReadOnlyDatabase_; }
    void SetReadOnlyDatabase(bool Value);
    bool ShortenFileNames() const { return ShortenFileNames_; }
    void SetShortenFileNames(bool Value);

    // --- Column widths ---
    int ColWidth(int ACol) const;
    void SetColWidth(int ACol, int Width);
    std::string getcolumnwidths() const;
    void setcolumnwidths(const std::string& Text);

    // --- Current cell and moves ---
    int Col() const { return Col_; }
    int Row() const { return Row_; }
    // Moves the current cell when the selection is accepted; the control
    // then brings it into view.
    bool FocusCell(int ACol, int ARow);
    bool SelectCell(int ACol, int ARow);
    int CurrentCellCol() const { return CurrentCellCol_; }
    int CurrentCellRow() const { return CurrentCellRow_; }
    void MoveColumn(int From, int To);
    void MoveRow(int From, int To);

    void DoCellValueChanged(int ACol, int ARow);
    void UpdateEditors();
    // Stores the current cell the control moved to (no events).
    void SetColRow(int ACol, int ARow);

    // --- Editing rules (the control asks; EditorShowing is its state) ---
    // The text the in-place editor starts with; HideEditor answers whether
    // the edit is refused (read-only grid, denied or lookup column).
    std::string GetEditText(int ACol, int ARow, bool EditorShowing, bool& HideEditor);
    // The editor's text for the cell; a refused edit puts the start text back.
    void SetEditText(int ACol, int ARow, const std::string& Value, bool EditorShowing);
    const std::string& EditStartText() const { return EditStartText_; }
    bool EditRefused() const { return EditRefused_; }
    // The Delete key (46) on the current cell; true when it emptied the cell
    // and so consumed the key. Modifiers: Shift, Ctrl or Alt held.
    bool DeleteKey(int Key, bool Modifiers, bool EditorShowing);

    // --- Lookups ---
    bool CanLookUp(int ACol, int ARow);
    bool GetLookupSource(int ACol, int ARow, TDatabaseGrid*& Grid, std::string& ResultColumn);
    // ResultColumn's text of Grid's first record whose key is Key (any
    // letter case); empty when there is none.
    static std::string LookupValue(const TDatabaseGrid* Grid, const std::string& Key,
                                   const std::string& ResultColumn);
    // The keys the lookup combo box offers for a cell (the lookup grid's
    // records in order; none without a source). Clears TypeAheadText.
    StringList LookupKeys(int ACol, int ARow);
    bool LookupComboVisible(int ACol) const;
    bool ButtonVisible(int ACol, bool EditorShowing) const;
    // The combo box picked Text for the current cell; the control then
    // takes the focus back.
    void LookupComboChange(const std::string& Text);
    // A key typed into the combo box: true when it belongs to the type-ahead
    // text (consumed). CurrentFixed: the current cell is a fixed one.
    bool ComboKeyPress(char Key, bool CurrentFixed);
    // The first of Items whose looked-up text begins with TypeAheadText (any
    // letter case), or -1.
    int ComboTypeAhead(const StringList& Items);

    // --- Drawing rules ---
    // The colour of a cell from Base: the owner's OnGetCellColor, else the
    // marked colour for a marked record.
    TColor CellColor(int ACol, int ARow, TColor Base);
    // The brush a cell is drawn with: CellColor when it is both selected
    // and focused or neither, else Brush (the selection's own colours).
    TColor DrawColor(int ACol, int ARow, bool Selected, bool Focused, TColor Brush);
    bool IsOwnerDrawColumn(int ACol) const;
    // What the grid writes in a cell after the base drawing.
    struct TCellText {
        enum TKind { Base, Lookup, Wrapped, Shortened } Kind = Base;
        std::string Text;          // Lookup and Shortened
        bool Shorten = false;      // Text is a path to shorten to the cell
        StringList Lines;          // Wrapped
    };
    TCellText CellDrawText(int ACol, int ARow);
    // Texts drawn are cut to this length.
    static constexpr std::size_t MaxDrawText = 32767;
    // The lines of a wrapped text (split at character 13), each trimmed.
    static StringList WrapLines(const std::string& Text);
    // How many lines of the given heights are written in a row of RowHeight.
    static int WrappedLinesShown(const std::vector<int>& Heights, int RowHeight);

    // Stored for the control and the owner.
    bool WrapText = false;
    bool AlwaysPerformLookUp = false;
    bool SortingModifies = false;
    bool AllowCellDeletion = false;
    bool ChangedOnEdited = false;
    std::string DatabaseName;
    std::string DatabaseDescription;
    TColor Color = clWindow;
    // True until the first cell is drawn; the control then selects its
    // current cell once.
    bool FirstPaint = true;
    // Guards the focus notification against re-entry.
    int FocusNesting = 0;
    // Keys typed into the lookup combo box, in upper case.
    std::string TypeAheadText;

    // Events, in published order.
    std::function<void(TDatabaseGrid& Sender, int Index, bool& CanSave)> OnSaveRecord;
    std::function<void(TDatabaseGrid& Sender, const std::string& Column, int ACol, int ARow,
                       TDatabaseGrid*& LookUpDatabaseGrid, std::string& LookUpResultColumn)>
        OnLookUpColumnChange;
    std::function<void(TDatabaseGrid& Sender, const std::string& Column, int ACol, int ARow)>
        OnCellPositionChanged;
    std::function<void(TDatabaseGrid& Sender, int ACol, int ARow, bool Marked, TColor& C)>
        OnGetCellColor;
    std::function<void(TDatabaseGrid& Sender, int ACol, int ARow, const std::string& Column,
                       const std::string& Value)>
        OnCellValueChanged;
    std::function<void(TDatabaseGrid& Sender, int ACol, int ARow, const std::string& Column,
                       const std::string& CellValue, bool& Possible)>
        OnOwnerLookUpPossible;
    TNotifyEvent OnModified;
    TNotifyEvent OnHasChanged;
    TNotifyEvent OnMarksChanged;
    TNotifyEvent OnLinesChanged;

private:
    enum class TCompareKind { Text, Number, Natural };
    struct TSortKey {
        int Column;
        TCompareKind Kind;
    };
    using TRecord = std::vector<std::string>;

    int KeyColumn() const { return ColumnIndex(PrimaryKeyColumn_); }
    std::string KeyOf(int ARow) const;
    bool IsRecord(int ARow) const { return ARow >= 1 && ARow <= RecordCount(); }
    void Resize(int Cols, int Rows);
    void RowsChanged();
    void ClearRow(int ARow);
    int RowForNewRecord(int Index);
    void InsertRecordCells(const StringList& Columns, const StringList& Values, int Index);
    std::vector<int> ColumnIndexes(const StringList& Columns) const;
    void FillRecord(int ARow, const std::vector<int>& Cols, StringList&& Values);
    // What a sort compares: the keys, and each record's text and numeric
    // value of every key ([row * key count + key]), read once before sorting.
    struct TSortData {
        std::vector<TSortKey> Keys;
        std::vector<std::string_view> Texts;
        std::vector<int> Numbers;
    };
    std::vector<TSortKey> SortKeys() const;
    TSortData SortData() const;
    static int CompareRecords(const TSortData& D, int A, int B);
    void QuickSortRows(const TSortData& D, std::vector<int>& Order, int L, int R);
    void ExchangeRows(std::vector<int>& Order, int A, int B);
    void Fire(const TNotifyEvent& Event);
    void Repaint();
    void RecolorMarks();

    IGridView* View_ = nullptr;
    std::vector<TRecord> Cells_;       // [row][column]
    std::vector<int> ColWidths_;

    std::string DatabaseColumns_;
    std::string ColumnHeaders_;
    std::string ColumnTypes_;
    std::string LookupColumns_;
    std::string ButtonColumns_;
    std::string DeniedColumns_;
    std::string OwnerDrawColumns_;
    std::string SortColumns_;
    std::string PrimaryKeyColumn_;
    std::string MarkedIds_;
    TColor MarkedColor_ = clWindow;
    bool AutoInitPrimaryKey_ = false;
    bool Modified_ = false;
    bool HasChanged_ = false;
    bool ReadOnlyDatabase_ = false;
    bool ShortenFileNames_ = false;
    bool EditRefused_ = false;
    std::string EditStartText_;
    int Col_ = 0;
    int Row_ = 1;
    int CurrentCellCol_ = 0;
    int CurrentCellRow_ = 1;
};
