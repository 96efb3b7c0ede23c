// Identification of executables against KnownApps, the window-rule test and
// the name lookups over entries with several windows. Portable: the file
// system is reached through IFileProbe.
#pragma once

#include "hosting/KnownApps.h"

#include <cstdint>
#include <string>

enum TIdentifyResult : std::uint8_t {
    irUnknown = 0,
    irUnsupported = 1,
    irBind = 2,
    irExternal = 3,
    irExeNotFound = 4,
    irIllegalVersion = 5,
};

struct TIdentifyInfo {
    std::int32_t Index = -1;  // into KnownApps; -1 none
    TFileVersion Version;     // zero when not read
};

// What identification needs to know about files on disk.
class IFileProbe {
public:
    virtual ~IFileProbe() = default;
    virtual bool FileExists(const std::string& FileName) const = 0;
    virtual bool GetFileSize(const std::string& FileName, std::int64_t& Size) const = 0;
    // False when the file has no version information.
    virtual bool GetFileVersion(const std::string& FileName, TFileVersion& Version) const = 0;
};

// The probe identification uses; the program installs the real one at
// start-up. Without one every executable counts as missing.
void SetFileProbe(const IFileProbe* Probe);
const IFileProbe* GetFileProbe();

// AppName may be empty; when given, only entries of that name can match.
// MinVersion is the version of the last condition that failed.
TIdentifyResult IdentifyApplication(const std::string& AppName, const std::string& ExeName,
                                    TIdentifyInfo& Info, TFileVersion& MinVersion);
// As IdentifyApplication, with the message to show (empty for none).
TIdentifyResult CheckApplication(const std::string& AppName, const std::string& ExeName,
                                 TIdentifyInfo& Info, std::string& Message, bool AsExternal);

// Only the first '*' of Pattern is a wildcard; letters compare without case.
bool MatchExePattern(const std::string& FileName, const std::string& Pattern);
bool CheckVersion(const TVersionCondition& Cond, const TFileVersion& FileVersion);
// Allowed rules override forbidden ones.
bool IsForbiddenWindow(const std::string& ExeName, const std::string& Title,
                       const std::string& Class);

// The part of Name before its first " (".
std::string StripNameSuffix(const std::string& Name);
bool SameAppName(const std::string& A, const std::string& B, bool IgnoreSuffix);
bool FindKnownAppByName(const std::string& Name, int& Index, bool IgnoreSuffix);
// The entry of Name that the executable meets (pattern, files, size and
// version), as several entries may share a name; the first entry of that
// name when the executable meets none of them.
bool FindKnownAppOfExecutable(const std::string& Name, const std::string& ExeName, int& Index);
int MainEntryOf(int Index);
int FindMainEntryByName(const std::string& Name);
int FindFurtherWindowByName(const std::string& Name);
// Whether an entry of that name is a further window of the main-window
// entry MainIndex; not only the first entry of the name, as the versions
// of one program may each have their own.
bool IsFurtherWindowOf(const std::string& Name, int MainIndex);
std::string GetMainEntryName(const std::string& Name);
