#include "dialogs/applicationlist.h"

#include "dialogs/knownapplist.h"

#include "hosting/FakeFileProbe.h"
#include "hosting/RulesTestSupport.h"
#include "RandomText.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class AppList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearDatabase();
        SetFileProbe(&Probe);
        ConfigureApplicationTable(Table);
        List.OnMessage = [this](const std::string& T) { Messages += T; };
    }
    void TearDown() override
    {
        SetFileProbe(nullptr);
        ClearDatabase();
    }
    static void Known(const std::string& Category, const std::string& Name, const std::string& Method,
                      const std::string& Files, const std::string& Number = "")
    {
        ASSERT_EQ(AddKnownApp(KnownApps, Category, Name, "", "", Method, Files, "", "", "", "", "",
                              Number),
                  ieOk);
    }
    // The records, one "Flags|Category|Application|Version|Location" each.
    static std::string Records(const TDatabaseGrid& T)
    {
        std::string R;
        for (int Row = 1; Row <= T.RecordCount(); ++Row)
            if (!T.IsRecordEmpty(Row, false))
                for (int C = 0; C < 5; ++C)
                    R += T.Cell(C, Row) + (C < 4 ? "|" : "\n");
        return R;
    }
    std::string Records() const { return Records(Table); }
    int RowOfPath(const std::string& Path) const
    {
        for (int Row = 1; Row <= Table.RecordCount(); ++Row)
            if (Table.CellByName("Location", Row) == Path)
                return Row;
        return -1;
    }
    TDatabaseGrid Table;
    TApplicationList List{Table};
    FakeFileProbe Probe;
    std::string Messages;
};

const StringList DemoText = {
    "| Flags  | Category  | Application  | Version  | Location         |",
    "+--------+-----------+--------------+----------+------------------+",
    "| N      | Emulators | Demo         | 1.0      | C:\\Emus\\demo.exe |",
};

TEST_F(AppList, WritesTheTextTableAndReadsItBack)
{
    StringList Empty;
    List.WriteApplicationList(Empty);
    EXPECT_EQ(Empty, (StringList{"| Flags  | Category  | Application  | Version  | Location  |",
                                 "+--------+-----------+--------------+----------+-----------+"}));
    Table.AddRecord("Flags|Category|Application|Version|Location",
                    "N|Emulators|Demo|1.0|C:\\Emus\\demo.exe");
    StringList Lines;
    List.WriteApplicationList(Lines);
    EXPECT_EQ(Lines, DemoText);
    for (const std::string& L : Lines)
        EXPECT_EQ(L.size(), 67u);

    TDatabaseGrid Copy;
    ConfigureApplicationTable(Copy);
    Copy.SetModified(true);
    TApplicationList Reader(Copy);
    Reader.ReadApplicationList(Lines);
    EXPECT_FALSE(Copy.Modified());
    StringList Again;
    Reader.WriteApplicationList(Again);
    EXPECT_EQ(Again, DemoText);

    // An emptied list writes its header lines only and reads back empty.
    Table.DeleteRecord(1);
    StringList Cleared;
    List.WriteApplicationList(Cleared);
    EXPECT_EQ(Cleared, Empty);
    TDatabaseGrid Fresh;
    ConfigureApplicationTable(Fresh);
    TApplicationList(Fresh).ReadApplicationList(Cleared);
    EXPECT_TRUE(Fresh.IsEmptyTable());
}

// Whatever an add or a search enters comes back from the stored text; names
// and paths it could not carry are refused where they are entered.
TEST_F(AppList, RandomListsComeBackFromTheStoredText)
{
    std::mt19937 Rng(4101);
    int Entered = 0, Refused = 0;
    for (int Round = 0; Round < 30; ++Round) {
        SCOPED_TRACE(Round);
        ClearDatabase();
        Table.SetRecordCount(1);
        Table.ClearRecord(1);
        for (int K = 0; K < 20; ++K) {
            const std::uint8_t Code =
                AddKnownApp(KnownApps, RandomPrintable(Rng, 6), RandomPrintable(Rng, 8), "", "",
                            Rng() % 4 ? "bind" : "unsupported", "x.exe", "", "", "", "", "", "");
            if (Code != ieOk) {
                ++Refused;
                continue;
            }
            const std::string Path = RandomPrintable(Rng, 12);
            Probe.Add(Path);
            int FirstRow = -1;
            const TFileVersion V = MakeVersion(Rng() % 3, Rng() % 70000 % 65536, 0, Rng() % 2);
            List.AddOrUpdateFoundApplication(Path, {KnownApps.Count() - 1, V}, FirstRow);
            (RowOfPath(Path) > 0 ? Entered : Refused)++;
        }
        StringList Lines;
        List.WriteApplicationList(Lines);
        TDatabaseGrid Copy;
        ConfigureApplicationTable(Copy);
        TApplicationList(Copy).ReadApplicationList(Lines);
        ASSERT_EQ(Records(Copy), Records());
    }
    EXPECT_GT(Entered, 100);
    EXPECT_GT(Refused, 50);
}

TEST_F(AppList, ReaderVariants)
{
    const std::string Rule6 = "+-+-+-+-+-+", Rule7 = "+-+-+-+-+-+-+";
    const std::string Head = "|Flags|Category|Application|Version|Location|";
    struct Case {
        const char* Name;
        StringList Lines;
        std::string Records;
        bool Accepted;       // the modified flag is cleared
        std::string Faults;  // "line:what;" each
    } Cases[] = {
        {"titles with ':' in any case",
         {"| flags: | CATEGORY | Application: | version | Location |", Rule6, "| U | Tools | Ed | 2.1 | C:\\ed.exe |"},
         "U|Tools|Ed|2.1|C:\\ed.exe\n", true, ""},
        {"extra and reordered columns",
         {"|Location|Note|Application|Version|Category|Flags|", Rule7, "|C:\\a.exe|x|A|1|Emu|N|", "|C:\\b.exe|y|B||Emu||"},
         "N|Emu|A|1|C:\\a.exe\n|Emu|B||C:\\b.exe\n", true, ""},
        {"a title missing", {"|Flags|Category|Application|Version|Path|", Rule6, "|N|E|A|1|C:\\a.exe|"}, "", false,
         "1:the header has no column \"Location\";"},
        {"rule with another field count: the records still read", {Head, Rule7, "|N|E|A|1|C:\\a.exe|"},
         "N|E|A|1|C:\\a.exe\n", true, "2:the rule line does not match the header;"},
        {"malformed and NUL lines are left out, the others read; blank cells are no record",
         {Head, Rule6, "|N|E|A|1|C:\\a.exe|", "|N|E|B|1|C:\\b.exe|x|", "|N|E|C|1|C:\\c.exe|", "|N|E|D", "| | |||  |",
          std::string("|N|E|E|1|C:\\e.exe|\0", 19), "|N|E|F|1|C:\\f.exe|"},
         "N|E|A|1|C:\\a.exe\nN|E|C|1|C:\\c.exe\nN|E|F|1|C:\\f.exe\n", true,
         "4:7 fields where the header has 6;6:4 fields where the header has 6;8:a NUL character;"},
        {"a NUL in the header", {std::string("|Flags|Category|Application|Version|Location\0|", 47), Rule6, "|N|E|A|1|C:\\a.exe|"},
         "", false, "1:a NUL character;"},
        {"header and rule only", {Head, Rule6}, "", true, ""},
        {"one line", {Head}, "", false, "0:it holds fewer than two lines;"},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        TDatabaseGrid T;
        ConfigureApplicationTable(T);
        T.SetModified(true);
        const TListReadReport Report = TApplicationList(T).ReadApplicationList(K.Lines);
        EXPECT_EQ(Records(T), K.Records);
        EXPECT_EQ(T.Modified(), !K.Accepted);
        std::string Faults;
        for (const TListFault& F : Report.Faults)
            Faults += IntToStr(F.Line) + ":" + F.What + ";";
        EXPECT_EQ(Faults, K.Faults);
        EXPECT_EQ(Report.Records, static_cast<int>(std::count(K.Records.begin(), K.Records.end(), '\n')));
    }
}

// A stored list of any length reaches the grid as one change: one update of
// its size, one repaint, one lines event, whatever the number of records.
TEST_F(AppList, ReadingTellsTheGridOnce)
{
    struct CountingView : IGridView {
        int Sizes = 0, Repaints = 0;
        void SizeChanged() override { ++Sizes; }
        void Repaint() override { ++Repaints; }
        void RecolorLookupCombo() override {}
        void UpdateEditors() override {}
        bool CanSelectCell(int, int) override { return true; }
        void PlaceEditors(int, int) override {}
    };
    struct Case {
        int Lines;
        int Sizes, Repaints, LinesEvents;  // the blank record takes the first
    } Cases[] = {{0, 0, 0, 0}, {1, 0, 1, 1}, {2, 1, 1, 1}, {500, 1, 1, 1}};
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Lines);
        StringList Text = {"|Flags|Category|Application|Version|Location|", "+-+-+-+-+-+"};
        for (int I = 0; I < K.Lines; ++I)
            Text.push_back("||Emu|App " + IntToStr(I) + "||C:\\a" + IntToStr(I) + ".exe|");
        TDatabaseGrid T;
        ConfigureApplicationTable(T);
        CountingView View;
        T.SetView(&View);
        int LinesEvents = 0;
        T.OnLinesChanged = [&LinesEvents](TDatabaseGrid&) { ++LinesEvents; };
        TApplicationList(T).ReadApplicationList(Text);
        EXPECT_EQ(View.Sizes, K.Sizes);
        EXPECT_EQ(View.Repaints, K.Repaints);
        EXPECT_EQ(LinesEvents, K.LinesEvents);
        EXPECT_EQ(T.RecordCount(), std::max(1, K.Lines));
        if (K.Lines > 0) {
            EXPECT_EQ(T.CellByName("Application", K.Lines), "App " + IntToStr(K.Lines - 1));
        }
    }
}

TEST_F(AppList, BindableApplicationsFollowWindowNumberChains)
{
    Known("Emu", "Alpha", "bind", "alpha.exe", "1");
    Known("Emu", "Alpha Debugger", "bind", "alpha.exe", "2");
    Known("Emu", "Alpha Memory", "bind", "alpha.exe", "3");
    Known("Emu", "Beta", "bind", "beta.exe", "1");
    Known("Emu", "Beta Tape", "external", "beta.exe", "2");
    Known("Emu", "Beta Disk", "bind", "beta.exe", "3");
    Known("Tools", "Gamma", "external", "gamma.exe");
    Known("Tools", "Old", "unsupported", "old.exe");
    // No number, then a 1: the chain of Delta stops at Delta.
    Known("Tools", "Delta", "bind", "delta.exe");
    Known("Tools", "Delta Main", "bind", "delta.exe", "1");
    for (const char* Rec : {"|Emu|beta|2.0|C:\\b.exe", "|Tools|Gamma|1.5|C:\\g.exe", "|Emu|Alpha||C:\\a.exe",
                            "U|Tools|Old||C:\\o.exe", "|X|Unknown||C:\\u.exe", "|Tools|Delta||C:\\d.exe"})
        Table.AddRecord("Flags|Category|Application|Version|Location", Rec);
    struct Case {
        TAppKinds Kinds;
        bool WithVersion;
        StringList Expect;
    } Cases[] = {
        {0, false, {"Alpha", "Alpha Debugger", "Alpha Memory", "beta", "Beta Disk", "Beta Tape", "Delta", "Gamma", "Old"}},
        {KindBit(akBind), false, {"Alpha", "Alpha Debugger", "Alpha Memory", "beta", "Delta"}},
        {KindBit(akBind) | KindBit(akExternal), true,
         {"Alpha Debugger", "Alpha Memory", "Alpha|", "Beta Disk", "Beta Tape", "beta|2.0", "Delta|", "Gamma|1.5"}},
    };
    for (const Case& K : Cases) {
        StringList Got = {"stale"};
        List.BindableApplications(K.Kinds, Got, K.WithVersion);
        EXPECT_EQ(Got, K.Expect);
    }
    StringList Items;
    int Index = 0;
    List.ApplicationComboItems(KindBit(akBind), "<none>", "BETA", Items, Index);
    EXPECT_EQ(Items, (StringList{"<none>", "Alpha", "Alpha Debugger", "Alpha Memory", "beta", "Delta"}));
    EXPECT_EQ(Index, 4);
    List.ApplicationComboItems(KindBit(akBind), "<none>", "", Items, Index);
    EXPECT_EQ(Index, -1);
}

TEST_F(AppList, SeveralEntriesOfOneNameGoByTheListedExecutable)
{
    // An unsupported old version first, then the supported one with a
    // further window: the listed executable picks the entry.
    const std::pair<const char*, const char*> Entries[] = {{"<  3.0", "unsupported"},
                                                           {">= 3.0", "bind"}};
    for (const auto& [Cond, Method] : Entries)
        ASSERT_EQ(AddKnownApp(KnownApps, "Emu", "Spec", Cond, "", Method, "spec.exe", "", "", "",
                              "", "", "1"),
                  ieOk);
    Known("Emu", "Spec Monitor", "bind", "spec.exe", "2");
    Table.AddRecord("Flags|Category|Application|Version|Location", "|Emu|Spec|3.1.0.7|C:\\spec.exe");
    struct Case {
        const char* Name;
        bool Present;
        TFileVersion Version;
        StringList Bind;              // kinds {bind}
        int ComboIndex;               // of "Spec" among "<none>" and Bind
        std::string Found;            // Found cells of the two "Spec" entries
    } Cases[] = {
        {"supported version", true, MakeVersion(3, 1, 0, 7), {"Spec", "Spec Monitor"}, 1, "U|F"},
        {"old version", true, MakeVersion(2, 0), {}, -1, "U|"},
        {"executable gone", false, {}, {}, -1, "U|"},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        Probe.Files.clear();
        if (K.Present)
            Probe.AddVersioned("C:\\spec.exe", K.Version);
        StringList Got;
        List.BindableApplications(KindBit(akBind), Got, false);
        EXPECT_EQ(Got, K.Bind);
        StringList Items;
        int Index = 0;
        List.ApplicationComboItems(KindBit(akBind), "<none>", "spec", Items, Index);
        EXPECT_EQ(Index, K.ComboIndex);
        StringList Listed;
        List.BindableApplications(KindBit(akBind) | KindBit(akExternal), Listed, true);
        TDatabaseGrid Rules;
        ConfigureAppTable(Rules);
        FillKnownAppTable(Rules, KnownApps, nullptr, false);
        FillFoundColumn(Rules, Listed);
        EXPECT_EQ(Rules.CellByName("Found", 1) + "|" + Rules.CellByName("Found", 2), K.Found);
    }
}

// The listed applications are looked up by name: a name with one entry
// needs no file, and of several entries the executable is asked once for
// its version, however many entries test it.
TEST_F(AppList, ListedApplicationsAskTheDiskOnlyToChooseAmongEntriesOfOneName)
{
    struct Case {
        const char* Name;
        std::vector<std::pair<const char*, const char*>> Entries;  // version, method
        StringList Bind;
        int Asked, VersionsRead;
    } Cases[] = {
        {"one entry each", {{"", "bind"}}, {"App 0", "App 1", "App 2"}, 0, 0},
        {"three versions", {{"< 1.0", "external"}, {"< 2.0", "external"}, {">= 2.0", "bind"}},
         {"App 0", "App 1", "App 2"}, 3, 3},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        ClearDatabase();
        TDatabaseGrid T;
        ConfigureApplicationTable(T);
        for (int I = 0; I < 3; ++I) {
            const std::string Name = "App " + IntToStr(I), Exe = "app" + IntToStr(I) + ".exe";
            for (const auto& [Version, Method] : K.Entries)
                ASSERT_EQ(AddKnownApp(KnownApps, "Emu", Name, Version, "", Method, Exe, "", "", "",
                                      "", "", ""),
                          ieOk);
            Probe.AddVersioned("C:\\" + Exe, MakeVersion(2, 1));
            T.AddRecord("Flags|Category|Application|Version|Location", "|Emu|" + Name + "|2.1|C:\\" + Exe);
        }
        Probe.ExistsAsked = Probe.VersionsRead = 0;
        StringList Got;
        TApplicationList(T).BindableApplications(KindBit(akBind), Got, false);
        EXPECT_EQ(Got, K.Bind);
        EXPECT_EQ(Probe.ExistsAsked, K.Asked);
        EXPECT_EQ(Probe.VersionsRead, K.VersionsRead);
    }
}

TEST_F(AppList, FoundApplicationsAreAddedOrUpdatedWithTheirFlags)
{
    Known("Emulators", "Zeta", "bind", "zeta.exe");
    Known("Tools", "Eta", "unsupported", "eta.exe");
    Known("Tools", "Theta", "external", "theta.exe");
    // An entry made before names were checked: its record is still built
    // cell by cell.
    auto Piped = std::make_unique<Tknownapp>();
    Piped->CategoryIndex = 1;
    Piped->Name = "Pipe|Name";
    Piped->Method = amBind;
    KnownApps.Add(std::move(Piped));
    for (const char* P : {"C:\\z.exe", "C:\\z2.exe", "C:\\e.exe", "C:\\t.exe", "C:\\p.exe", "C:\\a|b.exe", "C:\\t.exe "})
        Probe.Add(P);
    struct Step {
        const char* Path;
        int Index;
        TFileVersion Version;
        std::string Records;
        int FirstRow;  // after the step, starting from -1
        bool Modified;
    } Steps[] = {
        {"C:\\z.exe", 0, MakeVersion(1, 0), "N|Emulators|Zeta|1.0|C:\\z.exe\n", 1, true},
        {"C:\\e.exe", 1, {}, "UN|Tools|Eta||C:\\e.exe\nN|Emulators|Zeta|1.0|C:\\z.exe\n", 1, true},
        {"C:\\z.exe", 0, MakeVersion(1, 0), "UN|Tools|Eta||C:\\e.exe\n|Emulators|Zeta|1.0|C:\\z.exe\n", -1, true},
        {"C:\\z2.exe", 0, MakeVersion(1, 0), "UN|Tools|Eta||C:\\e.exe\nC|Emulators|Zeta|1.0|C:\\z2.exe\n", 2, true},
        {"C:\\z2.exe", 0, MakeVersion(1, 2), "UN|Tools|Eta||C:\\e.exe\nC|Emulators|Zeta|1.2|C:\\z2.exe\n", 2, true},
        {"C:\\e.exe", 1, {}, "U|Tools|Eta||C:\\e.exe\nC|Emulators|Zeta|1.2|C:\\z2.exe\n", -1, true},
        {"C:\\missing.exe", 2, {}, "U|Tools|Eta||C:\\e.exe\nC|Emulators|Zeta|1.2|C:\\z2.exe\n", -1, false},
        {"C:\\t.exe", 7, {}, "U|Tools|Eta||C:\\e.exe\nC|Emulators|Zeta|1.2|C:\\z2.exe\n", -1, false},
        {"C:\\a|b.exe", 2, {}, "U|Tools|Eta||C:\\e.exe\nC|Emulators|Zeta|1.2|C:\\z2.exe\n", -1, false},
        {"C:\\t.exe ", 2, {}, "U|Tools|Eta||C:\\e.exe\nC|Emulators|Zeta|1.2|C:\\z2.exe\n", -1, false},
        {"C:\\p.exe", 3, {}, "U|Tools|Eta||C:\\e.exe\nN|Tools|Pipe|Name||C:\\p.exe\nC|Emulators|Zeta|1.2|C:\\z2.exe\n", 2, true},
        {"C:\\p.exe", 3, {}, "U|Tools|Eta||C:\\e.exe\n|Tools|Pipe|Name||C:\\p.exe\nC|Emulators|Zeta|1.2|C:\\z2.exe\n", -1, true},
    };
    for (const Step& S : Steps) {
        SCOPED_TRACE(S.Path);
        List.SetListModified(false);
        int FirstRow = -1;
        List.AddOrUpdateFoundApplication(S.Path, {S.Index, S.Version}, FirstRow);
        EXPECT_EQ(Records(), S.Records);
        EXPECT_EQ(FirstRow, S.FirstRow);
        EXPECT_EQ(List.ApplicationListModified(), S.Modified);
    }
    List.ClearNewChangedFlags();
    EXPECT_EQ(Records(), "U|Tools|Eta||C:\\e.exe\n|Tools|Pipe|Name||C:\\p.exe\n|Emulators|Zeta|1.2|C:\\z2.exe\n");
    EXPECT_EQ(StripNewChangedLetters("UNCNC"), "U");
}

TEST(AppListFlags, ImagesAndTheirPlaces)
{
    struct Case {
        const char* Flags;
        std::vector<std::pair<int, int>> Images;  // image, x
    } Cases[] = {
        {"", {}},
        {"N", {{0, 10}}},
        {"UC", {{2, 10}, {1, 28}}},
        {"NxU-C", {{0, 10}, {2, 44}, {1, 62}}},
    };
    for (const Case& K : Cases) {
        std::vector<std::pair<int, int>> Got;
        for (const TFlagImage& F : FlagImages(K.Flags, 10, 32))
            Got.emplace_back(F.Image, F.X);
        EXPECT_EQ(Got, K.Images) << K.Flags;
    }
}

TEST_F(AppList, AddingGoesThroughTheResolverWithTheListedApplications)
{
    Known("Emulators", "Zeta", "bind", "zeta.exe");
    Known("Tools", "Theta", "external", "theta.exe");
    Known("Tools", "Eta", "unsupported", "eta.exe");
    Known("Tools", "Iota", "bind", "iota.exe");
    Probe.Add("C:\\eta.exe");
    Probe.Add("C:\\old\\zeta.exe");
    Probe.Add("C:\\new\\zeta.exe");
    Probe.Add("C:\\theta.exe");
    Table.AddRecord("Flags|Category|Application|Version|Location", "N|Tools|Theta||C:\\theta.exe");
    Table.AddRecord("Flags|Category|Application|Version|Location", "|Emulators|Zeta||C:\\old\\zeta.exe");
    // Neither an unsupported one nor one whose file went is offered again.
    Table.AddRecord("Flags|Category|Application|Version|Location", "U|Tools|Eta||C:\\eta.exe");
    Table.AddRecord("Flags|Category|Application|Version|Location", "|Tools|Iota||C:\\gone\\iota.exe");
    const std::string Unoffered = "U|Tools|Eta||C:\\eta.exe\n|Tools|Iota||C:\\gone\\iota.exe\n";
    struct Case {
        const char* Name;
        bool Accept;
        bool DropOne;  // the resolver hands back lists of different sizes
        bool Result;
        std::string Records;
    } Cases[] = {
        {"cancelled", false, false, false, "N|Tools|Theta||C:\\theta.exe\n|Emulators|Zeta||C:\\old\\zeta.exe\n" + Unoffered},
        {"count mismatch", true, true, false, "N|Tools|Theta||C:\\theta.exe\n|Emulators|Zeta||C:\\old\\zeta.exe\n" + Unoffered},
        {"accepted", true, false, true, "|Tools|Theta||C:\\theta.exe\nC|Emulators|Zeta||C:\\new\\zeta.exe\n" + Unoffered},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        StringList Seen;
        Messages.clear();
        List.OnResolveDuplicates = [&](StringList& Found, std::vector<TIdentifyInfo>& Refs) {
            Seen = Found;
            EXPECT_EQ(Refs.size(), Found.size());
            Refs.pop_back();
            if (!K.DropOne)
                Found.pop_back();  // the user keeps the new Zeta
            return K.Accept;
        };
        EXPECT_EQ(List.AddApplication("C:\\new\\zeta.exe", {0, {}}), K.Result);
        EXPECT_EQ(Seen, (StringList{"C:\\new\\zeta.exe", "C:\\theta.exe", "C:\\old\\zeta.exe"}));
        EXPECT_EQ(Records(), K.Records);
        EXPECT_EQ(Messages, K.DropOne ? "Internal error!" : "");
    }
    EXPECT_EQ(Table.Row(), 2);
}

TEST_F(AppList, LocationsRowsAndRemoval)
{
    Known("Emu", "Alpha", "bind", "alpha.exe", "1");
    Known("Emu", "Alpha Debugger", "bind", "alpha.exe", "2");
    Probe.Add("C:\\a.exe");
    Table.AddRecord("Application|Location", "Alpha|C:\\a.exe");
    Table.AddRecord("Application|Location", "Gone|C:\\gone.exe");
    struct Case {
        const char* Name;
        bool Translate;
        bool Result;
        const char* Path;
    } Cases[] = {
        {"alpha", false, true, "C:\\a.exe"},
        {"Alpha Debugger", true, true, "C:\\a.exe"},
        {"Alpha Debugger", false, false, ""},
        {"GONE", false, false, "C:\\gone.exe"},
    };
    for (const Case& K : Cases) {
        std::string Path = "x";
        EXPECT_EQ(List.ApplicationLocation(K.Name, Path, K.Translate), K.Result) << K.Name;
        EXPECT_EQ(Path, K.Path) << K.Name;
    }
    EXPECT_EQ(List.RowOfApplication("gone"), 2);
    EXPECT_EQ(List.RowOfApplication("none"), -1);
    // Only a deletion marks the list modified.
    struct Removal {
        int Row;
        bool Confirmed;
        bool Deleted;
    } Removals[] = {{2, false, false}, {0, true, false}, {2, true, true}, {1, true, true},
                    {1, true, false}};  // the last: the blank record of an empty list
    for (const Removal& R : Removals) {
        List.SetListModified(false);
        EXPECT_EQ(List.RemoveApplication(R.Row, R.Confirmed), R.Deleted);
        EXPECT_EQ(List.ApplicationListModified(), R.Deleted);
    }
    EXPECT_EQ(List.RowOfApplication("Gone"), -1);
}

}  // namespace
