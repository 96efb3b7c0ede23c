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

bool ReadTextListValue(ISettingsStore& Store, const std::string& Name, StringList& Lines)
{
    Lines.clear();
    TValueKind Kind = TValueKind::Other;
    std::size_t Size = 0;
    if (!Store.GetValueInfo(Name, Kind, Size) || Kind != TValueKind::Binary || Size < 1)
        return false;
    std::string Data;
    if (!Store.ReadBinary(Name, Data) || Data.size() != Size)
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

// Like ReadTextListValue, but a value that is there and cannot be read is
// a fault, as is a NUL, which would cut the text short.
void TStoredStateReader::ReadStoredRules()
{
    TValueKind Kind = TValueKind::Other;
    std::size_t Size = 0;
    if (!FStore.GetValueInfo(KnownAppListValue, Kind, Size) || !FHooks.ReadApplicationRules)
        return;
    std::string Data;
    if (Kind != TValueKind::Binary) {
        FFault = {"it is not binary data", 0};
    } else if (Size < 1) {
        FFault = {"it is empty", 0};
    } else if (!FStore.ReadBinary(KnownAppListValue, Data) || Data.size() != Size) {
        FFault = {"it could not be read whole", 0};
    } else if (Data.find('\0') != std::string::npos) {
        const auto Nul = Data.begin() + static_cast<std::ptrdiff_t>(Data.find('\0'));
        FFault = {"a NUL character", 1 + static_cast<int>(std::count(Data.begin(), Nul, '\r'))};
    }
    if (FFault.Any())
        return;
    StringList Lines;
    SplitToStrings(Lines, Data, '\r');
    int Line = 0;
    const std::uint8_t Code = FHooks.ReadApplicationRules(Lines, Line);
    if (Code > ieOldVersion)
        FFault = {ImportErrors[Code < ImportErrorCount ? Code : std::uint8_t(ieInternal)], Line};
    else
        FResult = Code;
    FUndated = Code == ieOk && FHooks.DatabaseDated && !FHooks.DatabaseDated();
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
        if (FAppsOpen && ReadTextListValue(FStore, FoundAppListValue, Lines) &&
            FHooks.ReadApplicationList)
            FHooks.ReadApplicationList(Lines);
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
            // Undated, the stored database gave way to any rules file.
            if (FUndated && FFileRead)
                FFault = {"it has no version date", 0};
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

void WriteStoredState(ISettingsStore& Store, const TShutdownHooks& Hooks)
{
    if (Store.OpenKey(HostKey(), true)) {
        Store.WriteString("Path", Hooks.ExePath);
        if (Hooks.SaveWindowPosition)
            Hooks.SaveWindowPosition(Store);
        Store.CloseKey();
    }
    if (Store.OpenKey(LayoutsKey(), true)) {
        if (Hooks.SaveLayouts)
            Hooks.SaveLayouts(Store);
        Store.CloseKey();
    }
    const bool Keep = Hooks.KeepStoredDatabase && Hooks.KeepStoredDatabase();
    if (!Keep && Hooks.DatabaseHasEntries && Hooks.DatabaseHasEntries() &&
        Hooks.WriteApplicationRules && Store.OpenKey(AppsKey(), true)) {
        const std::string Text = JoinStringsChar(Hooks.WriteApplicationRules(), '\r');
        if (!Text.empty())
            Store.WriteBinary(KnownAppListValue, Text);
        Store.CloseKey();
    }
    if (Hooks.ApplicationListModified && Hooks.ApplicationListModified() &&
        Hooks.WriteApplicationList && Store.OpenKey(AppsKey(), true)) {
        const std::string Text = JoinStringsChar(Hooks.WriteApplicationList(), '\r');
        if (!Text.empty())
            Store.WriteBinary(FoundAppListValue, Text);
        else
            Store.DeleteValue(FoundAppListValue);
        Store.CloseKey();
    }
}
