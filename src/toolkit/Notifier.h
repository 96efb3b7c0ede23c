// A list of change handlers addressed by id, for objects that tell their
// users about changes (actions, image lists, the idle loop).
#pragma once

#include <functional>
#include <utility>
#include <vector>

template <typename... Args> class Notifier {
public:
    int Add(std::function<void(Args...)> Handler)
    {
        FItems.push_back({FNextId, std::move(Handler)});
        return FNextId++;
    }
    void Remove(int Id)
    {
        for (auto It = FItems.begin(); It != FItems.end(); ++It)
            if (It->Id == Id) {
                FItems.erase(It);
                return;
            }
    }
    // A handler may remove itself or others meanwhile: the removed ones
    // are not called.
    void Notify(Args... A) const
    {
        std::vector<int> Ids;
        for (const Item& I : FItems)
            Ids.push_back(I.Id);
        for (int Id : Ids)
            for (const Item& I : FItems)
                if (I.Id == Id) {
                    const auto Handler = I.Handler;
                    Handler(A...);
                    break;
                }
    }

private:
    struct Item {
        int Id;
        std::function<void(Args...)> Handler;
    };
    std::vector<Item> FItems;
    int FNextId = 1;
};
