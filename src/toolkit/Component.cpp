#include "toolkit/Component.h"

#include <algorithm>
#include <new>

namespace {
// The storage of the component new is making, until its constructor runs.
thread_local void* MadeByNew = nullptr;
}  // namespace

void* Component::operator new(std::size_t Size)
{
    void* Storage = ::operator new(Size);
    MadeByNew = Storage;
    return Storage;
}

void Component::operator delete(void* Storage) noexcept
{
    ::operator delete(Storage);
}

// The component is the first base of every class made from it, so its
// address is the storage's.
Component::Component(Component* Owner) : FOwner(Owner), FMadeByNew(this == MadeByNew)
{
    if (FMadeByNew)
        MadeByNew = nullptr;
    if (FOwner)
        FOwner->FComponents.push_back(this);
}

Component::~Component()
{
    DestroyComponents();
    if (FOwner) {
        auto& Siblings = FOwner->FComponents;
        Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), this), Siblings.end());
    }
}

void Component::DestroyComponents()
{
    // Each owned component unlinks itself as it goes.
    while (!FComponents.empty()) {
        Component* Newest = FComponents.back();
        if (Newest->FMadeByNew) {
            delete Newest;
        } else {
            Newest->FOwner = nullptr;
            FComponents.pop_back();
        }
    }
}
