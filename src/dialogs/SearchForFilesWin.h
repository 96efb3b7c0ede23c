// The search's view of the real disk, and the location chooser window.
#pragma once

#include "dialogs/SearchForFiles.h"

class TWin32SearchFileSystem : public ISearchFileSystem {
public:
    void ListFolder(const std::string& Folder, std::vector<TSearchEntry>& Entries) override;
};
