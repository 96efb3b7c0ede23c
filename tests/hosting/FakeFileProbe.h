// A file system for identification tests: files by full path, each with a
// size and, when it has one, a version.
#pragma once

#include "hosting/Identify.h"

#include <map>
#include <string>

class FakeFileProbe : public IFileProbe {
public:
    struct File {
        std::int64_t Size = 1000;
        bool HasVersion = false;
        TFileVersion Version;
        bool SizeReadable = true;
    };
    std::map<std::string, File> Files;
    // How often each question was asked.
    mutable int ExistsAsked = 0, SizesRead = 0, VersionsRead = 0;

    void Add(const std::string& Path, std::int64_t Size = 1000) { Files[Path].Size = Size; }
    void AddVersioned(const std::string& Path, const TFileVersion& Version)
    {
        File& F = Files[Path];
        F.HasVersion = true;
        F.Version = Version;
    }

    bool FileExists(const std::string& FileName) const override
    {
        ++ExistsAsked;
        return Files.count(FileName) > 0;
    }
    bool GetFileSize(const std::string& FileName, std::int64_t& Size) const override
    {
        ++SizesRead;
        const auto It = Files.find(FileName);
        if (It == Files.end() || !It->second.SizeReadable)
            return false;
        Size = It->second.Size;
        return true;
    }
    bool GetFileVersion(const std::string& FileName, TFileVersion& Version) const override
    {
        ++VersionsRead;
        const auto It = Files.find(FileName);
        if (It == Files.end() || !It->second.HasVersion)
            return false;
        Version = It->second.Version;
        return true;
    }
};
