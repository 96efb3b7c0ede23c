// Ownership: every component has an owner that destroys it. Components are
// created with new and handed to their owner; deleting the owner deletes
// what it owns, newest first. A component made on the stack (a modal box's
// form) is only let go of: its owner may be freed while its frame is still
// on the stack (the end of the session), and must not free a stack address.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class Component {
public:
    explicit Component(Component* Owner);
    virtual ~Component();
    // Marks the storage, so that the component knows it was made with new.
    static void* operator new(std::size_t Size);
    static void operator delete(void* Storage) noexcept;
    static void* operator new(std::size_t, void* Where) noexcept { return Where; }
    static void operator delete(void*, void*) noexcept {}
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
    bool FMadeByNew;
};
