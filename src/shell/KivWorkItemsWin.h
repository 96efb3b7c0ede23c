// The folder-size work item: the size in bytes, the files and the folders
// of a file or a folder tree, counted in a pool worker. Links (junctions,
// symbolic links) are walked only under rules that count no part twice.
#pragma once

#include "shell/KivWorkItems.h"
#include "shell/ThreadPool.h"

#include <cstdint>
#include <string>

class TKivFolderSizeWorkItem : public TBasicWorkItem {
public:
    static const TWorkItemClass ClassInfo;

    TKivFolderSizeWorkItem(const std::wstring& Path, bool IncludeSubfolders,
                           bool FollowReparsePoints);
    const TWorkItemClass* GetClass() const override { return &ClassInfo; }
    void Execute() override;
    // The target of a junction or symbolic link; empty when unreadable.
    static std::wstring GetReparseTarget(const std::wstring& Path);

    int Sign = 1;
    std::wstring Path;
    std::int64_t Size = 0;
    int FileCount = 0;
    int FolderCount = 0;
    bool IncludeSubfolders;
    bool FollowReparsePoints;

};
