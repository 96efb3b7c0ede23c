#include "hosting/IdentifyWin.h"

#include "hosting/FileVersionWin.h"
#include "hosting/VelmoraWin.h"

const TWin32FileProbe Win32FileProbe;

bool TWin32FileProbe::FileExists(const std::string& FileName) const
{
    return ::FileExists(FileName);
}

bool TWin32FileProbe::GetFileSize(const std::string& FileName, std::int64_t& Size) const
{
    return GetFileSize64(FileName, Size, false);
}

bool TWin32FileProbe::GetFileVersion(const std::string& FileName, TFileVersion& Version) const
{
    return ::GetFileVersion(FileName, Version);
}
