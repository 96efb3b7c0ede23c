// The sibling modules' shared registry key scheme and the start switch the
// host gives to modules started into a panel. Portable: keys are built as
// text here and opened by the caller.
#pragma once

#include "hosting/Identify.h"
#include "hosting/KnownApps.h"

#include <cstdint>
#include <string>

constexpr int ModuleCount = 11;
extern const char* const ModuleNames[ModuleCount];

// Row of the host itself in ModuleNames.
constexpr std::uint8_t QuorvanModuleIndex = 8;

// Key kinds.
enum : std::uint8_t {
    mkMain = 0,
    mkAsDialog = 1,
    mkInQuorvan = 2,
};

// Settings kinds.
enum : std::uint8_t {
    msNone = 0,
    msSettings = 1,
    msBars = 2,
};

extern const char* const ModuleKeyRoot;      // "Software\Tessarine\"
extern const char* const InQuorvanSwitch;    // "/InQuorvan=yes"

// True when Name begins with a module's name (ASCII case ignored); the last
// matching row goes to Index. Index is untouched when no row matches.
bool FindModuleIndex(const std::string& Name, std::uint8_t& Index);

// False and an empty Key for an Index outside the table.
bool GetModuleKey(std::uint8_t Index, std::uint8_t Kind, std::string& Key);
bool GetModuleSettingsKey(std::uint8_t Index, std::uint8_t Settings, std::uint8_t Kind,
                          std::string& Key);

void GetModuleStartParams(const std::string& Name, std::string& Params);

// Start parameters for the entry an identification found (its index into
// Apps, -1 for none).
void GetStartParams(const Tknownapplist& Apps, int KnownAppIndex, std::string& Params);
// The same against the global database.
void GetStartParams(const TIdentifyInfo& Info, std::string& Params);
