#include "mainwindow/StoredState.h"

#include "hosting/KnownApps.h"
#include "hosting/Modules.h"

#include <algorithm>

const char* const MainWindowPrefix = "MainWindow";
const char* const FoundAppListValue = "FoundAppList";
const char* const KnownAppListValue = "KnownAppList";

std::string HostKey()
{
    std::string Key;
    GetModuleKey(QuorvanModuleIndex, mkMain, Key);
    return Key;
}

std::string LayoutsKey()
{
    return HostKey() + "\\Layouts";
}

std::string AppsKey()
{
    return HostKey() + "\\Apps";
}

namespace {

// A binary value's bytes: false when it is absent, or, with Fault telling
// why, when it is there and cannot be read.
bool ReadStoredValue(ISettingsStore& Store, const char* Name, std::string& Data, std::string& Fault)
{
    TValueKind Kind = TValueKind::Other;
    std::size_t Size = 0;
    if (!Store.GetValueInfo(Name, Kind, Size))
        return false;
    if (Kind != TValueKind::Binary)
        Fault = "it is not binary data";
    else if (Size < 1)
        Fault = "it is empty";
    else if (!Store.ReadBinary(Name, Data) || Data.size() != Size)
        Fault = "it could not be read whole";
    return Fault.empty();
}

}  // namespace

bool ReadTextListValue(ISettingsStore& Store, const std::string& Name, StringList& Lines)
{
    Lines.clear();
    std::string Data, Fault;
    if (!ReadStoredValue(Store, Name.c_str(), Data, Fault))
        return false;
    SplitToStrings(Lines, Data, '\r');
    return true;
}

std::string StoredRulesMessage(const TStoredRulesFault& Fault, bool RulesFileInUse)
{
    std::string Text = "The stored database of known applications is damaged: ";
    if (Fault.Line > 0)
        Text += "line " + IntToStr(Fault.Line) + ": ";
    Text += Fault.What + "\n";
    Text += RulesFileInUse ? "The database of \"ApplicationRules.def\" is used instead. "
                           : "No database of known applications is in use. ";
    return Text + "The stored one is kept as it is until the database is changed (edited, "
                  "updated or restored to defaults).";
}

std::string StoredListMessage(const TListReadReport& Report)
{
    if (Report.Whole())
        return std::string();
    // A value garbled throughout would fill the screen: the first few tell.
    const std::size_t Shown = 5;
    std::string Text = "The stored application list is damaged: ";
    for (std::size_t I = 0; I < Report.Faults.size() && I < Shown; ++I) {
        const TListFault& F = Report.Faults[I];
        Text += (I ? "; " : "") + (F.Line > 0 ? "line " + IntToStr(F.Line) + ": " : "") + F.What;
    }
    if (Report.Faults.size() > Shown)
        Text += "; and " + IntToStr(static_cast<long long>(Report.Faults.size() - Shown)) + " more";
    Text += ".\n";
    Text += Report.Records == 0 ? std::string("No record was read. ")
            : Report.Records == 1 ? std::string("1 record was read. ")
                                  : IntToStr(Report.Records) + " records were read. ";
    return Text + "The stored list is kept as it is until the list is changed.";
}

void TStoredStateReader::ReadStoredList()
{
    std::string Data, What;
    if (!FHooks.ReadApplicationList)
        return;
    if (!ReadStoredValue(FStore, FoundAppListValue, Data, What)) {
        if (!What.empty())
            FListReport.Faults.push_back({0, What});
        return;
    }
    // NULs kept: the reader tells the line that holds one and reads on.
    StringList Lines;
    SplitToStringsWhole(Lines, Data, '\r');
    FListReport = FHooks.ReadApplicationList(Lines);
}

// A NUL is a fault here too: it would cut the text short.
void TStoredStateReader::ReadStoredRules()
{
    std::string Data, What;
    if (!FHooks.ReadApplicationRules)
        return;
    if (!ReadStoredValue(FStore, KnownAppListValue, Data, What)) {
        FFault = {What, 0};
        return;
    }
    if (Data.find('\0') != std::string::npos) {
        const auto Nul = Data.begin() + static_cast<std::ptrdiff_t>(Data.find('\0'));
        FFault = {"a NUL character", 1 + static_cast<int>(std::count(Data.begin(), Nul, '\r'))};
        return;
    }
    StringList Lines;
    SplitToStrings(Lines, Data, '\r');
    int Line = 0;
    const std::uint8_t Code = FHooks.ReadApplicationRules(Lines, Line);
    if (Code > ieOldVersion)
        FFault = {ImportErrors[Code < ImportErrorCount ? Code : std::uint8_t(ieInternal)], Line};
    else
        FResult = Code;
}

void TStoredStateReader::Step()
{
    StringList Lines;
    switch (FNext++) {
    case 0:
        if (!FLayoutsOpen)
            FLayoutsOpen = FStore.OpenKeyReadOnly(LayoutsKey());
        if (FLayoutsOpen && FHooks.LoadLayouts && FHooks.LoadLayouts(FStore)) {
            --FNext;
            break;
        }
        if (FLayoutsOpen)
            FStore.CloseKey();
        FLayoutsOpen = false;
        if (FHooks.LoadWindowPosition && FStore.OpenKeyReadOnly(HostKey())) {
            FHooks.LoadWindowPosition(FStore);
            FStore.CloseKey();
        }
        break;
    case 1:
        // The key stays open for the next value.
        FAppsOpen = FStore.OpenKeyReadOnly(AppsKey());
        if (FAppsOpen)
            ReadStoredList();
        break;
    case 2:
        if (!FAppsOpen)
            break;
        ReadStoredRules();
        FStore.CloseKey();
        FAppsOpen = false;
        break;
    case 3:
        if (FHooks.LoadRulesFile && FHooks.ReadApplicationRules) {
            Lines = FHooks.LoadRulesFile();
            int Line = 0;
            if (!Lines.empty())
                FResult = FHooks.ReadApplicationRules(Lines, Line);
            FFileRead = !Lines.empty() && FResult == ieOk;
        }
        break;
    default:
        break;
    }
}

std::uint8_t ReadStoredState(ISettingsStore& Store, const TStartupHooks& Hooks)
{
    TStoredStateReader Reader(Store, Hooks);
    while (!Reader.Done())
        Reader.Step();
    return Reader.Result();
}

std::vector<TStoreFailure> WriteStoredState(ISettingsStore& Store, const TShutdownHooks& Hooks)
{
    std::vector<TStoreFailure> Failures;
    // Each part in its key: one refused is told, and the others still go.
    const auto Part = [&](const char* What, const std::string& Key, const std::function<bool()>& Write) {
        if (!Store.OpenKey(Key, true)) {
            Failures.push_back({What, Key, Store.LastFailure()});
            return;
        }
        if (!Write())
            Failures.push_back({What, Key, Store.LastFailure()});
        Store.CloseKey();
    };
    Part("The program's path and the main window's position", HostKey(), [&] {
        const bool Path = Store.WriteString("Path", Hooks.ExePath);
        return (!Hooks.SaveWindowPosition || Hooks.SaveWindowPosition(Store)) && Path;
    });
    Part("The layouts", LayoutsKey(), [&] { return !Hooks.SaveLayouts || Hooks.SaveLayouts(Store); });
    const bool Keep = Hooks.KeepStoredDatabase && Hooks.KeepStoredDatabase();
    if (!Keep && Hooks.DatabaseHasEntries && Hooks.DatabaseHasEntries() && Hooks.WriteApplicationRules) {
        const std::string Text = JoinStringsChar(Hooks.WriteApplicationRules(), '\r');
        if (!Text.empty())
            Part("The database of known applications", AppsKey(),
                 [&] { return Store.WriteBinary(KnownAppListValue, Text); });
    }
    if (Hooks.ApplicationListModified && Hooks.ApplicationListModified() && Hooks.WriteApplicationList) {
        const std::string Text = JoinStringsChar(Hooks.WriteApplicationList(), '\r');
        Part("The application list", AppsKey(), [&] {
            if (!Text.empty())
                return Store.WriteBinary(FoundAppListValue, Text);
            TValueKind Kind;
            std::size_t Size;
            return Store.DeleteValue(FoundAppListValue) ||
                   !Store.GetValueInfo(FoundAppListValue, Kind, Size);
        });
    }
    return Failures;
}

std::string StoreFailedMessage(const std::vector<TStoreFailure>& Failures)
{
    std::string Text;
    for (const TStoreFailure& F : Failures)
        Text += F.Part + " could not be stored in HKEY_CURRENT_USER\\" + F.Key + ": " + F.Reason + "\n";
    return Text.empty() ? Text : Text + "The rest of the program's state was stored.";
}
