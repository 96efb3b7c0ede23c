#include "mainwindow/StoredState.h"

#include "hosting/Modules.h"

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

void TStoredStateReader::Step()
{
    StringList Lines;
    switch (FNext++) {
    case 0:
        if (FStore.OpenKeyReadOnly(LayoutsKey())) {
            if (FHooks.LoadLayouts)
                FHooks.LoadLayouts(FStore);
            FStore.CloseKey();
        }
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
        if (ReadTextListValue(FStore, KnownAppListValue, Lines) && FHooks.ReadApplicationRules)
            FResult = FHooks.ReadApplicationRules(Lines);
        FStore.CloseKey();
        FAppsOpen = false;
        break;
    case 3:
        if (FHooks.LoadRulesFile && FHooks.ReadApplicationRules) {
            Lines = FHooks.LoadRulesFile();
            if (!Lines.empty())
                FResult = FHooks.ReadApplicationRules(Lines);
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
    if (Hooks.DatabaseHasEntries && Hooks.DatabaseHasEntries() && Hooks.WriteApplicationRules &&
        Store.OpenKey(AppsKey(), true)) {
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
