#include "hosting/Modules.h"

#include <gtest/gtest.h>

#include <memory>

TEST(Modules, FindModuleIndexMatchesNamePrefixesWithoutCase)
{
    struct Row {
        const char* Name;
        bool Found;
        int Index;
    };
    const Row Rows[] = {
        {"Corvalimphena", true, 3},
        {"corvalimphena 2.1", true, 3},
        {"BRENMORAL SECOND EDITION 1.0 beta", true, 4},
        {"Brenmoral", false, 99},
        {"Brenmoral Second", false, 99},
        {"Quorvan", true, 8},
        {"Ovrastenik", true, 10},
        {" Morvelindra", false, 99},
        {"", false, 99},
    };
    for (const Row& R : Rows) {
        std::uint8_t Index = 99;
        EXPECT_EQ(FindModuleIndex(R.Name, Index), R.Found) << R.Name;
        EXPECT_EQ(Index, R.Index) << R.Name;
    }
}

TEST(Modules, KeysFollowTheSchemeAndStayInsideTheTable)
{
    struct Row {
        std::uint8_t Index, Settings, Kind;
        bool Ok;
        const char* Key;
    };
    const Row Rows[] = {
        {8, 0, 0, true, "Software\\Tessarine\\Quorvan"},
        {8, 0, 1, true, "Software\\Tessarine\\Quorvan\\AsDialog"},
        {8, 0, 2, true, "Software\\Tessarine\\Quorvan\\InQuorvan"},
        {8, 0, 3, true, "Software\\Tessarine\\Quorvan"},
        {8, 1, 0, true, "Software\\Tessarine\\Quorvan\\Settings"},
        {8, 2, 1, true, "Software\\Tessarine\\Quorvan\\AsDialog\\Settings\\Bars"},
        {8, 9, 2, true, "Software\\Tessarine\\Quorvan\\InQuorvan"},
        {4, 0, 0, true, "Software\\Tessarine\\Brenmoral_Second_Edition"},
        {10, 1, 0, true, "Software\\Tessarine\\Ovrastenik\\Settings"},
        {11, 1, 1, false, ""},
        {255, 2, 0, false, ""},
    };
    for (const Row& R : Rows) {
        std::string Key = "stale";
        EXPECT_EQ(GetModuleSettingsKey(R.Index, R.Settings, R.Kind, Key), R.Ok) << int(R.Index);
        EXPECT_EQ(Key, R.Key);
        if (R.Settings == 0) {
            Key = "stale";
            EXPECT_EQ(GetModuleKey(R.Index, R.Kind, Key), R.Ok);
            EXPECT_EQ(Key, R.Key);
        }
    }
}

TEST(Modules, StartParamsOnlyForTheTwoModulesThatTakeThem)
{
    const std::pair<const char*, const char*> Rows[] = {
        {"Corvalimphena", "/InQuorvan=yes"},
        {"Corvalimphena 4.2", "/InQuorvan=yes"},
        {"brenmoral second edition (beta)", "/InQuorvan=yes"},
        {"Brenmoral", ""},
        {"Morvelindra", ""},
        {"Quorvan", ""},
        {"Unknown tool", ""},
    };
    for (const auto& [Name, Expected] : Rows) {
        std::string Params = "stale";
        GetModuleStartParams(Name, Params);
        EXPECT_EQ(Params, Expected) << Name;
    }
}

TEST(Modules, StartParamsOfAnIdentifiedEntry)
{
    Tknownapplist Apps;
    for (const char* Name : {"Morvelindra", "Corvalimphena 2"}) {
        auto Entry = std::make_unique<Tknownapp>();
        Entry->Name = Name;
        Apps.Add(std::move(Entry));
    }
    const std::pair<int, const char*> Rows[] = {
        {0, ""}, {1, "/InQuorvan=yes"}, {2, ""}, {-1, ""}, {1000, ""},
    };
    for (const auto& [Index, Expected] : Rows) {
        std::string Params = "stale";
        GetStartParams(Apps, Index, Params);
        EXPECT_EQ(Params, Expected) << Index;
    }
}

TEST(Modules, StartParamsOfAnIdentificationUseTheGlobalDatabase)
{
    KnownApps.Clear();
    auto Entry = std::make_unique<Tknownapp>();
    Entry->Name = "Brenmoral Second Edition";
    KnownApps.Add(std::move(Entry));
    std::string Params;
    TIdentifyInfo Info;
    Info.Index = 0;
    GetStartParams(Info, Params);
    EXPECT_EQ(Params, "/InQuorvan=yes");
    Info.Index = -1;
    GetStartParams(Info, Params);
    EXPECT_EQ(Params, "");
    KnownApps.Clear();
}
