// Editing, Delete key, colours, lookups and cell texts of the named-column
// grid, as the control asks for them.
#include "components/DatabaseGrid.h"

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

class ComboView : public IGridView {
public:
    explicit ComboView(Log& L) : L(L) {}
    void SizeChanged() override {}
    void Repaint() override {}
    void RecolorLookupCombo() override {}
    void UpdateEditors() override { L.push_back("UpdateEditors"); }
    bool CanSelectCell(int, int) override { return true; }
    void PlaceEditors(int, int) override {}
    bool HasLookupCombo() const override { return Combo; }
    void TakeFocus() override { L.push_back("Focus"); }
    Log& L;
    bool Combo = true;
};

// Id (key) | Name | Kind (denied) | Look (lookup) | Path (file); two records.
struct Fixture {
    Fixture() : View(L)
    {
        G.SetView(&View);
        G.SetDatabaseColumns("Id|Name|Kind|Look|Path");
        G.SetColumnTypes("|text|text|text|file");
        G.SetPrimaryKeyColumn("Id");
        G.SetDeniedColumns("Kind");
        G.SetLookupColumns("Look");
        G.AddRecord("Id|Name|Kind|Look|Path", "1|Alpha|k|b2|C:\\x\\a.exe");
        G.AddRecord("Id|Name|Kind|Look|Path", "2|Beta|k|zz|C:\\x\\b.exe");
        G.SetHasChanged(false);
        G.OnHasChanged = [this](TDatabaseGrid& S) { L.push_back(S.HasChanged() ? "HasChanged" : "Unchanged"); };
        G.OnCellValueChanged = [this](TDatabaseGrid&, int, int R, const std::string& C, const std::string& V) {
            L.push_back("Value " + C + IntToStr(R) + "=" + V);
        };
        Lookup.SetDatabaseColumns("Key|Text");
        Lookup.SetPrimaryKeyColumn("Key");
        Lookup.AddRecord("Key|Text", "a1|Apple");
        Lookup.AddRecord("Key|Text", "B2|banana");
        Lookup.AddRecord("Key|Text", "c3|Bay");
        G.OnLookUpColumnChange = [this](TDatabaseGrid&, const std::string&, int, int, TDatabaseGrid*& Grid,
                                        std::string& Result) {
            Grid = &Lookup;
            Result = "Text";
        };
    }
    Log L;
    ComboView View;
    TDatabaseGrid G;
    TDatabaseGrid Lookup;
};

TEST(DatabaseGridEditingTest, RefusedEditsPutTheStartTextBack)
{
    struct Case {
        const char* Column;
        bool ReadOnly, ChangedOnEdited, ShowingAtStart, ShowingAtSet;
        const char* Value;
        bool Refused;
        const char* Cell;
        Log Events;
    } Cases[] = {
        {"Name", false, false, true, true, "Gamma", false, "Gamma", {"HasChanged", "Value Name1=Gamma"}},
        // The same text back (as when the editor closes) changes nothing.
        {"Name", false, false, true, false, "Alpha", false, "Alpha", {}},
        {"Name", false, true, true, true, "Alpha", false, "Alpha", {"Value Name1=Alpha"}},
        {"Kind", false, false, true, false, "x", true, "k", {}},
        {"Look", false, false, true, false, "x", true, "b2", {}},
        {"Name", true, false, true, false, "x", true, "Alpha", {}},
        // Refusal needs a showing editor; while it still shows, its text goes in.
        {"Kind", false, false, false, true, "x", false, "x", {"HasChanged", "Value Kind1=x"}},
        {"Kind", false, false, true, true, "x", true, "x", {"HasChanged", "Value Kind1=x"}},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(std::string(K.Column) + " " + K.Value);
        Fixture F;
        F.G.SetReadOnlyDatabase(K.ReadOnly);
        F.G.ChangedOnEdited = K.ChangedOnEdited;
        const int C = F.G.ColumnIndex(K.Column);
        bool Hide = false;
        const std::string Start = F.G.GetEditText(C, 1, K.ShowingAtStart, Hide);
        EXPECT_EQ(Start, F.G.Cell(C, 1));
        EXPECT_EQ(F.G.EditStartText(), Start);
        EXPECT_EQ(Hide, K.Refused);
        EXPECT_EQ(F.G.EditRefused(), K.Refused);
        F.L.clear();
        F.G.SetEditText(C, 1, K.Value, K.ShowingAtSet);
        EXPECT_EQ(F.G.Cell(C, 1), K.Cell);
        EXPECT_EQ(F.L, K.Events);
    }
}

TEST(DatabaseGridEditingTest, TheDeleteKeyEmptiesAllowedCells)
{
    struct Case {
        bool Allow, ReadOnly, Editor;
        int Key;
        bool Modifiers;
        const char* Column;
        bool Consumed;
        const char* Cell;
    } Cases[] = {
        {true, false, false, 46, false, "Name", true, ""},
        {true, false, false, 46, true, "Name", false, "Alpha"},   // Shift, Ctrl or Alt
        {true, false, false, 45, false, "Name", false, "Alpha"},  // Insert
        {true, false, true, 46, false, "Name", false, "Alpha"},   // the editor has it
        {true, true, false, 46, false, "Name", false, "Alpha"},
        {false, false, false, 46, false, "Name", false, "Alpha"},
        {true, false, false, 46, false, "Kind", false, "k"},      // denied
        {true, false, false, 46, false, "Look", true, ""},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(::testing::Message() << K.Column << " key " << K.Key);
        Fixture F;
        F.G.AllowCellDeletion = K.Allow;
        F.G.SetReadOnlyDatabase(K.ReadOnly);
        F.G.SetColRow(F.G.ColumnIndex(K.Column), 1);
        F.L.clear();
        EXPECT_EQ(F.G.DeleteKey(K.Key, K.Modifiers, K.Editor), K.Consumed);
        EXPECT_EQ(F.G.CellByName(K.Column, 1), K.Cell);
        EXPECT_EQ(F.L, (K.Consumed ? Log{"HasChanged", "UpdateEditors"} : Log{}));
    }
    // An emptied key of an otherwise empty table comes back as "1".
    Fixture F;
    F.G.DeleteRecord(2);
    F.G.ClearRecord(1);
    F.G.SetAutoInitPrimaryKey(true);
    F.G.SetCell(0, 1, "7");
    F.G.AllowCellDeletion = true;
    F.G.SetColRow(0, 1);
    EXPECT_TRUE(F.G.DeleteKey(46, false, false));
    EXPECT_EQ(F.G.Cell(0, 1), "1");
}

TEST(DatabaseGridEditingTest, ComboBoxButtonAndEditorOnlyWhereTheCellMayChange)
{
    struct Case {
        const char* Column;
        bool ReadOnly, Always, Editor;
        bool LookedUp, Combo, Button, Refused;
    } Cases[] = {
        {"Look", false, false, false, true, true, false, true},
        {"Look", true, false, false, true, false, false, true},
        {"Kind", false, false, false, true, false, true, true},   // denied, though looked up
        {"Path", false, false, false, false, false, true, false},
        {"Path", false, false, true, false, false, false, false}, // the editor shows
        {"Path", true, false, false, false, false, false, true},  // read-only grid
        // Looked up everywhere, yet no combo box and still edited in place.
        {"Name", false, true, false, true, false, false, false},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(::testing::Message() << K.Column << K.ReadOnly << K.Always << K.Editor);
        Fixture F;
        F.G.SetLookupColumns("Look|Kind");
        F.G.SetButtonColumns("Kind|Path");
        F.G.SetReadOnlyDatabase(K.ReadOnly);
        F.G.AlwaysPerformLookUp = K.Always;
        const int C = F.G.ColumnIndex(K.Column);
        EXPECT_EQ(F.G.CanLookUp(C, 1), K.LookedUp);
        EXPECT_EQ(F.G.LookupComboVisible(C), K.Combo);
        EXPECT_EQ(F.G.ButtonVisible(C, K.Editor), K.Button);
        bool Hide = false;
        F.G.GetEditText(C, 1, true, Hide);
        EXPECT_EQ(Hide, K.Refused);
    }
}

TEST(DatabaseGridEditingTest, CellColoursFollowMarksStateAndTheOwner)
{
    const TDatabaseGrid::TColor Brush = 0x111111, Marked = 0x00FF00, Owner = 0x0000FF;
    struct Case {
        bool Selected, Focused, MarkedRow, OwnerEvent;
        TDatabaseGrid::TColor Expect;
    } Cases[] = {
        {false, false, false, false, Brush},
        {false, false, true, false, Marked},
        {true, true, true, false, Marked},    // the focused cell of a marked record
        {true, false, true, false, Brush},    // only selected: the selection's colours
        {false, true, true, false, Brush},
        {false, false, true, true, Owner},
        {true, true, false, true, Brush + 1}, // the owner sees the brush and the mark
        {true, false, true, true, Brush},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(::testing::Message() << K.Selected << K.Focused << K.MarkedRow << K.OwnerEvent);
        Fixture F;
        F.G.SetMarkedColor(Marked);
        F.G.SetMarkedIds("2");
        if (K.OwnerEvent)
            F.G.OnGetCellColor = [&](TDatabaseGrid&, int, int, bool IsMarked, TDatabaseGrid::TColor& C) {
                C = IsMarked ? Owner : C + 1;
            };
        EXPECT_EQ(F.G.DrawColor(1, K.MarkedRow ? 2 : 1, K.Selected, K.Focused, Brush), K.Expect);
    }
}

TEST(DatabaseGridEditingTest, LookupsFindKeysInTheOtherGrid)
{
    Fixture F;
    const TDatabaseGrid& L = F.Lookup;
    EXPECT_EQ(TDatabaseGrid::LookupValue(&L, "b2", "Text"), "banana");  // any letter case
    EXPECT_EQ(TDatabaseGrid::LookupValue(&L, "zz", "Text"), "");
    EXPECT_EQ(TDatabaseGrid::LookupValue(&L, "a1", "Nope"), "");
    EXPECT_EQ(TDatabaseGrid::LookupValue(nullptr, "a1", "Text"), "");
    const int Look = F.G.ColumnIndex("Look"), Name = F.G.ColumnIndex("Name");
    EXPECT_TRUE(F.G.CanLookUp(Look, 1));
    EXPECT_FALSE(F.G.CanLookUp(Name, 1));
    F.G.AlwaysPerformLookUp = true;
    EXPECT_TRUE(F.G.CanLookUp(Name, 1));
    F.G.OnOwnerLookUpPossible = [](TDatabaseGrid&, int, int R, const std::string&, const std::string&,
                                   bool& Possible) { Possible = Possible && R == 2; };
    EXPECT_FALSE(F.G.CanLookUp(Name, 1));
    F.View.Combo = false;
    EXPECT_FALSE(F.G.CanLookUp(Look, 2));
    F.View.Combo = true;
    EXPECT_EQ(F.G.LookupKeys(Look, 2), (StringList{"a1", "B2", "c3"}));

    // Typing b, a, then Backspace.
    F.G.SetColRow(Look, 2);
    const StringList Items = F.G.LookupKeys(Look, 2);
    struct Key {
        char C;
        int Select;
    } Keys[] = {{'b', 1}, {'a', 1}, {'y', 2}, {8, 1}, {8, 1}, {8, -1}};
    for (const Key& K : Keys) {
        EXPECT_TRUE(F.G.ComboKeyPress(K.C, false));
        EXPECT_EQ(F.G.ComboTypeAhead(Items), K.Select) << F.G.TypeAheadText;
    }
    EXPECT_FALSE(F.G.ComboKeyPress('b', true));   // a fixed current cell
    EXPECT_FALSE(F.G.ComboKeyPress('\r', false)); // passes to the combo box

    // One record empty but for its key is no lookup table.
    F.Lookup.DeleteRecord(3);
    F.Lookup.DeleteRecord(2);
    F.Lookup.SetCell(1, 1, "");
    EXPECT_TRUE(F.G.LookupKeys(Look, 1).empty());
    EXPECT_EQ(F.G.CellDrawText(Look, 1).Kind, TDatabaseGrid::TCellText::Base);  // the key shows
}

TEST(DatabaseGridEditingTest, CellTextsAreLookedUpWrappedOrShortened)
{
    using K = TDatabaseGrid::TCellText;
    struct Case {
        const char* Column;
        const char* Text;
        bool Wrap, Shorten, Always, Source;
        K::TKind Kind;
        const char* Shown;
        bool ShortenIt;
        StringList Lines;
    } Cases[] = {
        {"Look", "B2", false, false, false, true, K::Lookup, "banana", false, {}},
        {"Look", "zz", false, false, false, true, K::Lookup, "", false, {}},   // key not found
        {"Look", "B2", false, false, false, false, K::Base, "", false, {}},    // no source: the key
        {"Look", "B2", true, false, false, false, K::Base, "", false, {}},     // ...even with wrapping
        {"Path", "B2", false, true, true, true, K::Lookup, "banana", true, {}},
        {"Path", "C:\\a.exe", false, true, false, true, K::Shortened, "C:\\a.exe", true, {}},
        {"Path", "C:\\a.exe\rb ", true, true, false, true, K::Wrapped, "", false, {"C:\\a.exe", "b"}},
        {"Path", "C:\\a.exe", true, true, false, true, K::Base, "", false, {}},  // one line: base
        {"Name", " x \r\r\ty", true, false, false, true, K::Wrapped, "", false, {"x", "", "y"}},
        {"Name", "plain", false, true, false, true, K::Base, "", false, {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(C.Column) + " " + C.Text);
        Fixture F;
        if (!C.Source)
            F.G.OnLookUpColumnChange = [](TDatabaseGrid&, const std::string&, int, int, TDatabaseGrid*&,
                                          std::string&) {};
        F.G.WrapText = C.Wrap;
        F.G.SetShortenFileNames(C.Shorten);
        F.G.AlwaysPerformLookUp = C.Always;
        const int Col = F.G.ColumnIndex(C.Column);
        F.G.SetCell(Col, 1, C.Text);
        const K T = F.G.CellDrawText(Col, 1);
        EXPECT_EQ(T.Kind, C.Kind);
        EXPECT_EQ(T.Text, C.Shown);
        EXPECT_EQ(T.Shorten, C.ShortenIt);
        EXPECT_EQ(T.Lines, C.Lines);
    }
    EXPECT_EQ(TDatabaseGrid::WrappedLinesShown({10, 10, 10, 10}, 15), 3);
    EXPECT_EQ(TDatabaseGrid::WrappedLinesShown({10, 30}, 15), 2);
    EXPECT_EQ(TDatabaseGrid::WrappedLinesShown({}, 15), 0);
}

}  // namespace
