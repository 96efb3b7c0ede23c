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

std::uint8_t ReadStoredState(ISettingsStore& Store, const TStartupHooks& Hooks)
{
    std::uint8_t Result = 0;
    if (Store.OpenKeyReadOnly(LayoutsKey())) {
        if (Hooks.LoadLayouts)
            Hooks.LoadLayouts(Store);
        Store.CloseKey();
    }
    if (Store.OpenKeyReadOnly(HostKey())) {
        if (Hooks.LoadWindowPosition)
            Hooks.LoadWindowPosition(Store);
        Store.CloseKey();
    }
    if (Store.OpenKeyReadOnly(AppsKey())) {
        StringList Lines;
        if (ReadTextListValue(Store, FoundAppListValue, Lines) && Hooks.ReadApplicationList)
            Hooks.ReadApplicationList(Lines);
        if (ReadTextListValue(Store, KnownAppListValue, Lines) && Hooks.ReadApplicationRules)
            Result = Hooks.ReadApplicationRules(Lines);
        Store.CloseKey();
    }
    if (Hooks.LoadRulesFile && Hooks.ReadApplicationRules) {
        const StringList Lines = Hooks.LoadRulesFile();
        if (!Lines.empty())
            Result = Hooks.ReadApplicationRules(Lines);
    }
    return Result;
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
