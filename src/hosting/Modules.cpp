#include "hosting/Modules.h"

const char* const ModuleNames[ModuleCount] = {
    "Morvelindra",
    "Quandrelesmith",
    "Tiravolesk",
    "Corvalimphena",
    "Brenmoral Second Edition",
    "Halvendortisk",
    "Pormelvastrindeku",
    "Ferolandrike",
    "Quorvan",
    "Glimbertan",
    "Ovrastenik",
};

const char* const ModuleKeyRoot = "Software\\Tessarine\\";
const char* const InQuorvanSwitch = "/InQuorvan=yes";

static bool StartsWithText(const std::string& S, const std::string& Prefix)
{
    return S.size() >= Prefix.size() && SameText(S.substr(0, Prefix.size()), Prefix);
}

bool FindModuleIndex(const std::string& Name, std::uint8_t& Index)
{
    bool Found = false;
    for (int Row = 0; Row < ModuleCount; ++Row) {
        if (StartsWithText(Name, ModuleNames[Row])) {
            Index = static_cast<std::uint8_t>(Row);
            Found = true;
        }
    }
    return Found;
}

bool GetModuleKey(std::uint8_t Index, std::uint8_t Kind, std::string& Key)
{
    Key.clear();
    if (Index >= ModuleCount)
        return false;
    Key = ModuleKeyRoot + MakeIdentifier(ModuleNames[Index]);
    if (Kind == mkAsDialog)
        Key += "\\AsDialog";
    else if (Kind == mkInQuorvan)
        Key += "\\InQuorvan";
    return true;
}

bool GetModuleSettingsKey(std::uint8_t Index, std::uint8_t Settings, std::uint8_t Kind,
                          std::string& Key)
{
    if (!GetModuleKey(Index, Kind, Key))
        return false;
    if (Settings == msSettings)
        Key += "\\Settings";
    else if (Settings == msBars)
        Key += "\\Settings\\Bars";
    return true;
}

void GetModuleStartParams(const std::string& Name, std::string& Params)
{
    std::uint8_t Index = 0xFF;
    if (FindModuleIndex(Name, Index) && (Index == 3 || Index == 4))
        Params = InQuorvanSwitch;
    else
        Params.clear();
}

void GetStartParams(const Tknownapplist& Apps, int KnownAppIndex, std::string& Params)
{
    const Tknownapp* Entry = Apps.GetKnownApp(KnownAppIndex);
    if (Entry)
        GetModuleStartParams(Entry->Name, Params);
    else
        Params.clear();
}

void GetStartParams(const TIdentifyInfo& Info, std::string& Params)
{
    GetStartParams(KnownApps, Info.Index, Params);
}
