#include "mainwindow/StoredState.h"

#include "hosting/RulesTestSupport.h"
#include "mainwindow/FakeSettingsStore.h"

#include <gtest/gtest.h>

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
// database changed; one that reads whole is used and stored back.
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
        bool NoFile = false;  // no rules file to give way to
    } Cases[] = {
        {"whole", TValueKind::Binary, Dated, false, "", 0},
        {"method bind; only 9x", TValueKind::Binary, Dated + Bad, false, "Invalid method description item!", 6},
        {"NUL in a cell", TValueKind::Binary, Dated + "\rM|N" + std::string(1, '\0') + "l", false, "a NUL character", 6},
        {"no [Version] lines", TValueKind::Binary, Known, false, "it has no version date", 0},
        {"no [Version] lines, no rules file: used", TValueKind::Binary, Known, false, "", 0, true},
        {"REG_SZ", TValueKind::String, Dated, false, "it is not binary data", 0},
        {"REG_MULTI_SZ", TValueKind::Other, Dated, false, "it is not binary data", 0},
        {"0 bytes", TValueKind::Binary, "", false, "it is empty", 0},
        {"random bytes", TValueKind::Binary, Random, false, nullptr, 0},
        {"damaged, then changed", TValueKind::Binary, Dated + Bad, true, "Invalid method description item!", 6},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        ClearDatabase();
        FakeSettingsStore Store;
        Store.Keys[AppsKey()][KnownAppListValue] = {C.Kind, C.Stored, 0};
        TStartupHooks H;
        H.ReadApplicationRules = [](const StringList& L, int& Line) { return ReadApplicationRules(L, Line); };
        H.DatabaseDated = [] { return KnownApps.Count() == 0 || KnownApps.RulesDate > 0; };
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
        // Whole, the older file is nothing newer, as always.
        EXPECT_EQ(Reader.Result(), Fault.Any() || C.NoFile ? ieOk : ieOldVersion);
        ASSERT_EQ(KnownApps.Count(), 1);
        EXPECT_EQ(KnownApps.GetKnownApp(0)->Name, Fault.Any() ? "Bundled" : "User Row");

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
        H.SaveWindowPosition = [&](ISettingsStore& S) { S.WriteInteger("MainWindowState", 0); };
        H.SaveLayouts = [&](ISettingsStore& S) { S.WriteInteger("LayoutsCount", 0); };
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
    H.SaveLayouts = [&](ISettingsStore& S) { S.WriteInteger("LayoutsCount", 2); };
    WriteStoredState(Store, H);
    EXPECT_EQ(Store.Log, (std::vector<std::string>{"open " + LayoutsKey(), "write LayoutsCount"}));
}

}  // namespace
