// Fuzz entry point for the rules-text reader and writer and for the row
// parser. Besides memory errors it checks that a failed read leaves the
// database alone and that whatever was read writes out as a text that
// reads back with no error and settles after one more round. As the stored
// "KnownAppList", a value that does not read whole names a line within it
// and is stored back untouched.
#include "hosting/KnownApps.h"
#include "hosting/RulesFile.h"
#include "mainwindow/FakeSettingsStore.h"
#include "mainwindow/StoredState.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool Condition)
{
    if (!Condition)
        std::abort();
}

// The input as one table row: its '|'-cells feed AddKnownApp and
// AddWindowRule.
void FuzzRowParsers(const std::string& Text)
{
    auto Cell = [&](int I) { return GetField(Text, I, '|'); };
    Tknownapplist Apps;
    const std::uint8_t Code = AddKnownApp(Apps, Cell(1), Cell(2), Cell(3), Cell(4), Cell(5),
                                          Cell(6), Cell(7), Cell(8), Cell(9), Cell(10), Cell(11),
                                          Cell(12));
    Require(Code < ImportErrorCount && Code != ieExeFile);
    Require(Apps.Count() == (Code == ieOk ? 1 : 0));
    Require(Apps.Categories.size() == 1);

    Tappwindowlist Rules;
    const std::uint8_t RuleCode = AddWindowRule(Rules, Cell(1), Cell(2), Cell(3));
    Require(Rules.Count() == (RuleCode == ieOk ? 1 : 0));
}

// A database of one entry, to see whether a failed read touched it.
void SetSentinelDatabase()
{
    KnownApps.Clear();
    AllowedWindows.Clear();
    ForbiddenWindows.Clear();
    KnownApps.RulesDate = 0;
    Require(AddKnownApp(KnownApps, "Sentinel", "Sentinel", "", "", "bind", "s.exe", "", "", "",
                        "", "", "") == ieOk);
    AllowedWindows.AddAppWindow("a.exe", NotGiven, NotGiven);
}

bool SentinelIntact()
{
    return KnownApps.Count() == 1 && KnownApps.GetKnownApp(0)->Name == "Sentinel" &&
           KnownApps.Categories.size() == 1 && AllowedWindows.Count() == 1 &&
           ForbiddenWindows.Count() == 0 && KnownApps.RulesDate == 0;
}

StringList WriteRules()
{
    StringList Lines;
    WriteApplicationRules(Lines);
    return Lines;
}

// Reads a text the writer produced (it must be accepted) and writes again.
StringList ReadWritten(const StringList& Text)
{
    KnownApps.RulesDate = 0;
    int ErrorLine;
    Require(ReadApplicationRules(Text, ErrorLine) == ieOk && ErrorLine == 0);
    return WriteRules();
}

void FuzzRulesText(const std::string& Text)
{
    StringList Lines;
    TextToLines(Text, Lines);
    SetSentinelDatabase();
    int ErrorLine;
    const std::uint8_t Code = ReadApplicationRules(Lines, ErrorLine);
    Require(Code < ImportErrorCount && Code != ieExeFile);
    if (Code != ieOk) {
        // A text without a table fails at its end: line 1 when it is empty.
        Require(ErrorLine >= 1 && ErrorLine <= std::max(static_cast<int>(Lines.size()), 1));
        Require(SentinelIntact());
        return;
    }
    // No entry or rule may get lost on the way through the written text.
    const int Entries = KnownApps.Count();
    const int Rules = AllowedWindows.Count() + ForbiddenWindows.Count();
    // Nothing read writes no text, which is no rules text and never stored.
    if (Entries + Rules == 0) {
        Require(WriteRules().empty());
        return;
    }
    const StringList Second = ReadWritten(WriteRules());
    Require(KnownApps.Count() == Entries);
    Require(AllowedWindows.Count() + ForbiddenWindows.Count() == Rules);
    Require(ReadWritten(Second) == Second);
}

void FuzzStoredRules(const std::string& Text)
{
    SetSentinelDatabase();
    FakeSettingsStore Store;
    Store.SetBinary(AppsKey(), KnownAppListValue, Text);
    TStartupHooks Hooks;
    Hooks.ReadApplicationRules = [](const StringList& L, int& Line) { return ReadApplicationRules(L, Line); };
    TStoredStateReader Reader(Store, Hooks);
    while (!Reader.Done())
        Reader.Step();
    const TStoredRulesFault& Fault = Reader.StoredRulesFault();
    Require(Fault.Line >= 0 && Fault.Line <= 1 + std::count(Text.begin(), Text.end(), '\r'));
    Require(!Fault.Any() || SentinelIntact());
    TShutdownHooks Shutdown;
    Shutdown.DatabaseHasEntries = [] { return true; };
    Shutdown.KeepStoredDatabase = [&] { return Fault.Any(); };
    Shutdown.WriteApplicationRules = [] { return WriteRules(); };
    WriteStoredState(Store, Shutdown);
    Require(!Fault.Any() || Store.Find(AppsKey(), KnownAppListValue)->Data == Text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    FuzzRowParsers(Text);
    FuzzRulesText(Text);
    FuzzStoredRules(Text);
    return 0;
}
