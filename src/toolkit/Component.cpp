#include "toolkit/Component.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace {
// The storage of each component new is making, until its constructor runs
// (another may be made meanwhile, in the arguments of the first). Plain
// storage, usable to the very end of the thread. One beyond the last slot
// is not marked: its owner lets it go rather than free it.
thread_local void* MadeByNew[16];
thread_local int MadeByNewCount = 0;

bool TakeMadeByNew(void* Storage)
{
    for (int I = MadeByNewCount - 1; I >= 0; --I)
        if (MadeByNew[I] == Storage) {
            std::copy(MadeByNew + I + 1, MadeByNew + MadeByNewCount, MadeByNew + I);
            --MadeByNewCount;
            return true;
        }
    return false;
}
}  // namespace

void* Component::operator new(std::size_t Size)
{
    void* Storage = ::operator new(Size);
    if (MadeByNewCount < static_cast<int>(std::size(MadeByNew)))
        MadeByNew[MadeByNewCount++] = Storage;
    return Storage;
}

void Component::operator delete(void* Storage) noexcept
{
    // Also when the constructor threw before it took its mark.
    TakeMadeByNew(Storage);
    ::operator delete(Storage);
}

// The component is the first base of every class made from it, so its
// address is the storage's.
Component::Component(Component* Owner) : FOwner(Owner), FMadeByNew(TakeMadeByNew(this))
{
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
