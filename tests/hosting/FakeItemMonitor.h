// A monitor that only owns items, for host panel and item tests.
#pragma once

#include "hosting/ApplicationItem.h"

#include <algorithm>
#include <memory>
#include <vector>

class FakeItemMonitor : public IItemMonitor {
public:
    ~FakeItemMonitor() { Items.clear(); }

    TApplicationItem* Add()
    {
        Items.push_back(std::make_unique<TApplicationItem>(this));
        return Items.back().get();
    }
    TApplicationItem* FindItemByPanel(const ::Panel* ClientPanel) override
    {
        for (const auto& I : Items)
            if (I->Panel == ClientPanel)
                return I.get();
        return nullptr;
    }
    void DeleteItem(TApplicationItem* Item) override
    {
        const auto It = std::find_if(Items.begin(), Items.end(),
                                     [Item](const auto& P) { return P.get() == Item; });
        if (It == Items.end())
            return;
        std::unique_ptr<TApplicationItem> Doomed = std::move(*It);
        Items.erase(It);
        ++Deleted;
    }
    void ItemDestroying(TApplicationItem& Item) override { Destroying.push_back(&Item); }

    std::vector<std::unique_ptr<TApplicationItem>> Items;
    std::vector<TApplicationItem*> Destroying;
    int Deleted = 0;
};
