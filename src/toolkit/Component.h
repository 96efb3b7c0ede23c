// Ownership: every component has an owner that destroys it. Components are
// created with new and handed to their owner; deleting the owner deletes
// what it owns, newest first. A component made on the stack or as a member
// is owned by nothing, or by an owner that outlives it (it unlinks itself
// when it goes first): an owner frees everything it still holds.
#pragma once

#include <string>
#include <vector>

class Component {
public:
    explicit Component(Component* Owner);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Component* Owner() const { return FOwner; }
    const std::vector<Component*>& Components() const { return FComponents; }

    std::string Name;

protected:
    // Deletes what this component owns, newest first, as its destructor does.
    void DestroyComponents();

private:
    Component* FOwner;
    std::vector<Component*> FComponents;
};
