#include "toolkit/Component.h"

#include <algorithm>

Component::Component(Component* Owner) : FOwner(Owner)
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
    while (!FComponents.empty())
        delete FComponents.back();
}
