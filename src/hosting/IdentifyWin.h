// Identification's view of the real file system.
#pragma once

#include "hosting/Identify.h"

class TWin32FileProbe : public IFileProbe {
public:
    bool FileExists(const std::string& FileName) const override;
    bool GetFileSize(const std::string& FileName, std::int64_t& Size) const override;
    bool GetFileVersion(const std::string& FileName, TFileVersion& Version) const override;
};

// The probe the program installs at start-up.
extern const TWin32FileProbe Win32FileProbe;
