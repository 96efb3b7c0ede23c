#include "mainwindow/StoredState.h"

#include "hosting/RulesTestSupport.h"
#include "mainwindow/FakeSettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// Hooks that note each call in the store's log.
TStartupHooks RecordingHooks(FakeSettingsStore& Store, const StringList& RulesFile,
                             std::vector<StringList>& Imported, StringList& AppList)
{
    TStartupHooks H;
    H.LoadLayouts = [&Store](ISettingsStore&) {
        Store.Log.push_back("layouts");
        return false;
    };
    H.LoadWindowPosition = [&Store](ISettingsStore&) { Store.Log.push_back("position"); };
    H.ReadApplicationList = [&Store, &AppList](const StringList& L) {
        Store.Log.push_back("app list");
        AppList = L;
        return TListReadReport();
    };
    H.ReadApplicationRules = [&Store, &Imported](const StringList& L, int& Line) -> std::uint8_t {
        Store.Log.push_back("rules");
        Imported.push_back(L);
        // The first line stands for the reader's answer, the last one failed.
        Line = static_cast<int>(L.size());
        return static_cast<std::uint8_t>(std::stoi(L.front()));
    };
    H.LoadRulesFile = [&Store, RulesFile] {
        Store.Log.push_back("rules file");
        return RulesFile;
    };
    return H;
}

TEST(StoredStateTest, StartUpReadsKeysInOrderSkipsAbsentOnesAndKeepsTheLastImportResult)
{
    struct Case {
        const char* Name;
        bool Layouts, Host, Apps;
        StringList RulesFile;
        std::vector<std::string> WantLog;
        std::uint8_t WantResult;
    };
    const std::string L = "read " + LayoutsKey(), H = "read " + HostKey(), A = "read " + AppsKey();
    const Case Cases[] = {
        {"all keys, file is older", true, true, true, {"1"},
         {L, "layouts", H, "position", A, "app list", "rules", "rules file", "rules"}, 1},
        {"empty registry: the file alone", false, false, false, {"0", "x"}, {"rules file", "rules"}, 0},
        {"no file: the registry's error is its fault, no result", false, false, true, {},
         {A, "app list", "rules", "rules file"}, 0},
        {"host key only", false, true, false, {}, {H, "position", "rules file"}, 0},
    };
    for (const Case& C : Cases) {
        FakeSettingsStore Store;
        if (C.Layouts)
            Store.SetInt(LayoutsKey(), "LayoutsCount", 0);
        if (C.Host)
            Store.SetInt(HostKey(), "MainWindowState", 0);
        if (C.Apps) {
            Store.SetBinary(AppsKey(), "FoundAppList", "a\rb\r\rc");
            Store.SetBinary(AppsKey(), "KnownAppList", "5\rline");
        }
        std::vector<StringList> Imported;
        StringList AppList;
        EXPECT_EQ(ReadStoredState(Store, RecordingHooks(Store, C.RulesFile, Imported, AppList)),
                  C.WantResult) << C.Name;
        EXPECT_EQ(Store.Log, C.WantLog) << C.Name;
        if (C.Apps) {
            EXPECT_EQ(AppList, (StringList{"a", "b", "", "c"})) << C.Name;
            EXPECT_EQ(Imported.front(), (StringList{"5", "line"})) << C.Name;
        }
    }
}

// Read in steps, start-up's reads come in the same order, each long one in
// a step of its own.
TEST(StoredStateTest, StepsReadOneStoredListEach)
{
    FakeSettingsStore Store;
    Store.SetInt(LayoutsKey(), "LayoutsCount", 0);
    Store.SetInt(HostKey(), "MainWindowState", 0);
    Store.SetBinary(AppsKey(), "FoundAppList", "a");
    Store.SetBinary(AppsKey(), "KnownAppList", "5");
    std::vector<StringList> Imported;
    StringList AppList;
    TStartupHooks Hooks = RecordingHooks(Store, {"1"}, Imported, AppList);
    // Many stored nodes: the layouts in three parts, the key open once.
    int Parts = 3;
    Hooks.LoadLayouts = [&](ISettingsStore&) {
        Store.Log.push_back("layouts");
        return --Parts > 0;
    };
    TStoredStateReader Reader(Store, Hooks);
    const std::string L = "read " + LayoutsKey(), H = "read " + HostKey(), A = "read " + AppsKey();
    const struct {
        std::vector<std::string> Log;  // added by the step
        std::uint8_t Result;
    } Steps[] = {{{L, "layouts"}, 0}, {{"layouts"}, 0}, {{"layouts", H, "position"}, 0},
                 {{A, "app list"}, 0}, {{"rules"}, 0}, {{"rules file", "rules"}, 1}};
    for (const auto& S : Steps) {
        ASSERT_FALSE(Reader.Done());
        Store.Log.clear();
        Reader.Step();
        EXPECT_EQ(Store.Log, S.Log);
        EXPECT_EQ(Reader.Result(), S.Result);
    }
    EXPECT_TRUE(Reader.Done());
}

// A stored database that does not read whole is reported with its line,
// gives way to the rules file, and stays stored as it was unless the
// database changed; one that reads whole is used and stored back. One
// without a date ("Restore defaults" leaves it) gives way to the rules file
// without a word, which is stored.
TEST(StoredStateTest, DamagedStoredDatabaseIsReportedAndKeptUntilChanged)
{
    const std::string Header = "Category|Application name|Age|Version|Exe size|Method|Files needed|"
                               "URL|Problems|Window #|Window Title|Window Class";
    const std::string Known = "[Known Applications]\r" + Header + "\rMine|User Row||||bind|u.exe|||||";
    const std::string Dated = "[Version]\r2030 May 1\r" + Known, Bad = "\rMine|O||||bind; only 9x|o.exe|||||";
    std::mt19937 Rng(32);
    std::string Random(4096, ' ');
    for (char& C : Random)
        C = static_cast<char>(Rng());
    const struct {
        const char* Name;
        TValueKind Kind;
        std::string Stored;
        bool Changed;      // in the session
        const char* What;  // the fault: "" none, nullptr any
        int Line;
        bool FileUsed;     // the rules file's database is in use
        bool NoFile = false;  // no rules file to give way to
    } Cases[] = {
        {"whole", TValueKind::Binary, Dated, false, "", 0, false},
        {"method bind; only 9x", TValueKind::Binary, Dated + Bad, false, "Invalid method description item!", 6, true},
        {"NUL in a cell", TValueKind::Binary, Dated + "\rM|N" + std::string(1, '\0') + "l", false, "a NUL character", 6, true},
        {"no [Version] lines", TValueKind::Binary, Known, false, "", 0, true},
        {"no [Version] lines, no rules file: used", TValueKind::Binary, Known, false, "", 0, false, true},
        {"REG_SZ", TValueKind::String, Dated, false, "it is not binary data", 0, true},
        {"REG_MULTI_SZ", TValueKind::Other, Dated, false, "it is not binary data", 0, true},
        {"0 bytes", TValueKind::Binary, "", false, "it is empty", 0, true},
        {"random bytes", TValueKind::Binary, Random, false, nullptr, 0, true},
        {"damaged, then changed", TValueKind::Binary, Dated + Bad, true, "Invalid method description item!", 6, true},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        ClearDatabase();
        FakeSettingsStore Store;
        Store.Keys[AppsKey()][KnownAppListValue] = {C.Kind, C.Stored, 0};
        TStartupHooks H;
        H.ReadApplicationRules = [](const StringList& L, int& Line) { return ReadApplicationRules(L, Line); };
        H.LoadRulesFile = [&] {
            return C.NoFile ? StringList{}
                            : StringList{"[Version]", "2025 Jan 1", "[Known Applications]", Header, "B|Bundled||||bind|b.exe|||||"};
        };
        TStoredStateReader Reader(Store, H);
        while (!Reader.Done())
            Reader.Step();
        const TStoredRulesFault Fault = Reader.StoredRulesFault();
        EXPECT_EQ(Fault.Any(), !C.What || *C.What);
        if (C.What && *C.What) {
            EXPECT_NE(StoredRulesMessage(Fault, true).find((C.Line ? "line " + IntToStr(C.Line) + ": " : "") + C.What), std::string::npos);
        }
        // Whole and dated, the older file is nothing newer, as always.
        EXPECT_EQ(Reader.Result(), C.FileUsed || C.NoFile ? ieOk : ieOldVersion);
        EXPECT_EQ(Reader.RulesFileRead(), C.FileUsed);
        ASSERT_EQ(KnownApps.Count(), 1);
        EXPECT_EQ(KnownApps.GetKnownApp(0)->Name, C.FileUsed ? "Bundled" : "User Row");

        KnownApps.Modified = C.Changed;
        TShutdownHooks S;
        S.DatabaseHasEntries = [] { return true; };
        S.KeepStoredDatabase = [&] { return Fault.Any() && !KnownApps.Modified; };
        S.WriteApplicationRules = [] { return WrittenRules(); };
        WriteStoredState(Store, S);
        const auto* After = Store.Find(AppsKey(), KnownAppListValue);
        const bool Kept = Fault.Any() && !C.Changed;
        EXPECT_EQ(After->Kind == C.Kind && After->Data == C.Stored, Kept);
    }
    ClearDatabase();
}

// A stored application list that does not read whole is told with its
// lines at start; every whole record is read, and the stored value stays
// as it is until the list changes.
TEST(StoredStateTest, DamagedStoredApplicationListIsToldReadWhereWholeAndKept)
{
    const std::string Head = "| Flags | Category | Application | Version | Location |\r+-+-+-+-+-+";
    const auto Rec = [](const std::string& Name) { return "\r| | Emu | " + Name + " | | C:\\a.exe |"; };
    const std::string Nul(1, '\0');
    std::string Six = Head, Garbled = Head;
    for (const char* N : {"A", "B", "C", "D", "E", "F"})
        Six += Rec(N);
    for (int I = 0; I < 8; ++I)
        Garbled += Rec("x|" + IntToStr(I));
    const struct {
        const char* Name;
        TValueKind Kind;
        std::string Stored;
        const char* Told;  // in the message; "" none
        int Records;
    } Cases[] = {
        {"whole", TValueKind::Binary, Six, "", 6},
        {"an extra '|' in the first record", TValueKind::Binary, Head + Rec("A|x") + Rec("B") + Rec("C"),
         "damaged: line 3: 7 fields where the header has 6.\n2 records were read.", 2},
        {"a NUL in a middle record: the rest still read", TValueKind::Binary,
         Head + Rec("A") + Rec("B" + Nul) + Rec("C"), "line 4: a NUL character.\n2 records", 2},
        {"REG_SZ", TValueKind::String, Six, "damaged: it is not binary data.\nNo record was read.", 0},
        {"the rule line cut", TValueKind::Binary, "| Flags | Category | Application | Version | Location |\r+-+" + Rec("A"),
         "line 2: the rule line does not match the header.\n1 record was read.", 1},
        {"garbled throughout", TValueKind::Binary, Garbled, "line 7: 7 fields where the header has 6; and 3 more.", 0},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        FakeSettingsStore Store;
        Store.Keys[AppsKey()][FoundAppListValue] = {C.Kind, C.Stored, 0};
        TDatabaseGrid Table;
        ConfigureApplicationTable(Table);
        TApplicationList List(Table);
        TStartupHooks H;
        H.ReadApplicationList = [&](const StringList& L) { return List.ReadApplicationList(L); };
        TStoredStateReader Reader(Store, H);
        while (!Reader.Done())
            Reader.Step();
        const std::string Message = StoredListMessage(Reader.StoredListReport());
        if (*C.Told) {
            EXPECT_NE(Message.find(C.Told), std::string::npos) << Message;
        } else {
            EXPECT_EQ(Message, "");
        }
        EXPECT_EQ(Table.IsEmptyTable() ? 0 : Table.RecordCount(), C.Records);

        TShutdownHooks S;
        S.ApplicationListModified = [&] { return List.ApplicationListModified(); };
        S.WriteApplicationList = [&] {
            StringList Lines;
            List.WriteApplicationList(Lines);
            return Lines;
        };
        WriteStoredState(Store, S);
        EXPECT_EQ(Store.Find(AppsKey(), FoundAppListValue)->Data, C.Stored) << "kept until changed";
        List.SetListModified(true);
        WriteStoredState(Store, S);
        StringList Written;
        SplitToStrings(Written, Store.Find(AppsKey(), FoundAppListValue)->Data, '\r');
        EXPECT_EQ(Written.size(), 2u + static_cast<unsigned>(C.Records)) << "changed, stored as read";
    }
}

// A part the registry refuses is told with the system's reason, and the
// others are still stored.
TEST(StoredStateTest, ShutdownTellsWhatCouldNotBeStoredAndStoresTheRest)
{
    const std::string Position = "The program's path and the main window's position";
    const std::string Database = "The database of known applications", AppList = "The application list";
    const std::vector<std::string> All = {"Path", "MainWindowState", "LayoutsCount", "KnownAppList", "FoundAppList"};
    const struct {
        const char* Name;
        std::string Refused;        // a key
        std::string FailWrite;      // a value
        bool EmptyList;
        std::vector<std::string> Told;    // the parts, in order
        std::vector<std::string> Stored;  // of All
    } Cases[] = {
        {"nothing refused", "", "", false, {}, All},
        {"the layouts key", LayoutsKey(), "", false, {"The layouts"},
         {"Path", "MainWindowState", "KnownAppList", "FoundAppList"}},
        {"a layouts value", "", "LayoutsCount", false, {"The layouts"},
         {"Path", "MainWindowState", "KnownAppList", "FoundAppList"}},
        {"the host key", HostKey(), "", false, {Position}, {"LayoutsCount", "KnownAppList", "FoundAppList"}},
        {"the path: the position still goes", "", "Path", false, {Position},
         {"MainWindowState", "LayoutsCount", "KnownAppList", "FoundAppList"}},
        {"the apps key: both lists", AppsKey(), "", false, {Database, AppList},
         {"Path", "MainWindowState", "LayoutsCount"}},
        {"an emptied list that cannot be deleted", "", "FoundAppList", true, {AppList},
         {"Path", "MainWindowState", "LayoutsCount", "KnownAppList"}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        FakeSettingsStore Store;
        Store.SetBinary(AppsKey(), FoundAppListValue, "old");
        if (!C.Refused.empty())
            Store.Refused.insert(C.Refused);
        if (!C.FailWrite.empty())
            Store.FailWrites.insert(C.FailWrite);
        TShutdownHooks H;
        H.SaveWindowPosition = [](ISettingsStore& S) { return S.WriteInteger("MainWindowState", 0); };
        H.SaveLayouts = [](ISettingsStore& S) { return S.WriteInteger("LayoutsCount", 0); };
        H.DatabaseHasEntries = [] { return true; };
        H.WriteApplicationRules = [] { return StringList{"r"}; };
        H.ApplicationListModified = [] { return true; };
        H.WriteApplicationList = [&] { return C.EmptyList ? StringList() : StringList{"a"}; };
        const std::vector<TStoreFailure> Failures = WriteStoredState(Store, H);
        std::vector<std::string> Told, Stored;
        for (const TStoreFailure& F : Failures) {
            Told.push_back(F.Part);
            EXPECT_NE(F.Reason.find(C.Refused.empty() ? C.FailWrite : C.Refused), std::string::npos) << F.Reason;
        }
        EXPECT_EQ(Told, C.Told);
        for (const std::string& V : All)
            if (std::count(Store.Log.begin(), Store.Log.end(), "write " + V))
                Stored.push_back(V);
        EXPECT_EQ(Stored, C.Stored);
        const std::string Message = StoreFailedMessage(Failures);
        EXPECT_EQ(Message.empty(), Failures.empty());
        for (const TStoreFailure& F : Failures)
            EXPECT_NE(Message.find(F.Part + " could not be stored in HKEY_CURRENT_USER\\" + F.Key + ": " + F.Reason),
                      std::string::npos) << Message;
    }
}

TEST(StoredStateTest, TextListValueIsIgnoredUnlessBinaryNonEmptyAndReadWhole)
{
    struct Case {
        const char* Name;
        TValueKind Kind;
        std::string Data;
        bool Short;
        bool Want;
    };
    const Case Cases[] = {
        {"binary", TValueKind::Binary, "x\ry", false, true},
        {"string", TValueKind::String, "x\ry", false, false},
        {"empty", TValueKind::Binary, "", false, false},
        {"read short", TValueKind::Binary, "x\ry", true, false},
    };
    for (const Case& C : Cases) {
        FakeSettingsStore Store;
        Store.Keys["k"]["V"] = {C.Kind, C.Data, 0};
        Store.ShortReads = C.Short;
        Store.OpenKeyReadOnly("k");
        StringList Lines = {"stale"};
        EXPECT_EQ(ReadTextListValue(Store, "V", Lines), C.Want) << C.Name;
        EXPECT_EQ(Lines.size(), C.Want ? 2u : 0u) << C.Name;
    }
}

TEST(StoredStateTest, ShutdownWritesListsOnlyWhenTheyHoldSomethingOrChanged)
{
    struct Case {
        const char* Name;
        bool HasEntries;
        StringList Rules;
        bool Modified;
        StringList AppList;
        const char* WantKnown;  // nullptr: left as it was ("old")
        const char* WantFound;  // nullptr: gone
    };
    const Case Cases[] = {
        {"both written", true, {"r1", "r2"}, true, {"a", "b"}, "r1\rr2", "a\rb"},
        {"empty database leaves KnownAppList", false, {}, false, {"a"}, "old", "old"},
        {"rules text empty leaves KnownAppList", true, {""}, false, {}, "old", "old"},
        {"emptied list is deleted", true, {"r"}, true, {}, "r", nullptr},
    };
    for (const Case& C : Cases) {
        FakeSettingsStore Store;
        Store.SetBinary(AppsKey(), "KnownAppList", "old");
        Store.SetBinary(AppsKey(), "FoundAppList", "old");
        TShutdownHooks H;
        H.ExePath = "C:\\q\\quorvan.exe";
        H.SaveWindowPosition = [&](ISettingsStore& S) { return S.WriteInteger("MainWindowState", 0); };
        H.SaveLayouts = [&](ISettingsStore& S) { return S.WriteInteger("LayoutsCount", 0); };
        H.DatabaseHasEntries = [&] { return C.HasEntries; };
        H.WriteApplicationRules = [&] { return C.Rules; };
        H.ApplicationListModified = [&] { return C.Modified; };
        H.WriteApplicationList = [&] { return C.AppList; };
        WriteStoredState(Store, H);
        EXPECT_EQ(Store.Find(HostKey(), "Path")->Data, H.ExePath) << C.Name;
        EXPECT_TRUE(Store.Find(HostKey(), "MainWindowState")) << C.Name;
        EXPECT_TRUE(Store.Find(LayoutsKey(), "LayoutsCount")) << C.Name;
        EXPECT_EQ(Store.Find(AppsKey(), "KnownAppList")->Data, C.WantKnown) << C.Name;
        const auto* Found = Store.Find(AppsKey(), "FoundAppList");
        if (C.WantFound)
            EXPECT_EQ(Found ? Found->Data : "(gone)", C.WantFound) << C.Name;
        else
            EXPECT_FALSE(Found) << C.Name;
    }
}

TEST(StoredStateTest, ShutdownSkipsAKeyThatCannotBeOpened)
{
    FakeSettingsStore Store;
    Store.NoCreate.insert(HostKey());
    TShutdownHooks H;
    H.SaveLayouts = [&](ISettingsStore& S) { return S.WriteInteger("LayoutsCount", 2); };
    WriteStoredState(Store, H);
    EXPECT_EQ(Store.Log, (std::vector<std::string>{"open " + LayoutsKey(), "write LayoutsCount"}));
}

}  // namespace
