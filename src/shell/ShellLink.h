// The shell library's base component (an Enabled switch and a version
// text) and the shell link: a component that ties shell controls together
// with a selection list and passes a change reported by one party on to
// every other control.
#pragma once

#include "shell/KivItemIdListWin.h"
#include "toolkit/Component.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TKivSelectionList;
class TKivShellLink;

class IKivShellControl {
public:
    virtual ~IKivShellControl() = default;
    // nullptr when the link goes away: the control forgets it.
    virtual void SetShellLink(TKivShellLink* Link) = 0;
    // A change elsewhere; code 2 is a changed selection of Item's path.
    virtual void ChangeNotify(std::uint8_t Code, const IItemIdList& Item) = 0;
};

using IKivShellControlPtr = std::shared_ptr<IKivShellControl>;
using TKivShellControlList = std::vector<IKivShellControlPtr>;

class TKivBaseComponent : public Component {
public:
    explicit TKivBaseComponent(Component* Owner) : Component(Owner) {}
    virtual std::string ClassName() const { return "TKivBaseComponent"; }
    virtual bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value) { FEnabled = Value; }
    std::string Version() const { return ClassName() + " V8.1.0.648"; }

private:
    bool FEnabled = true;
};

class TKivShellLink : public TKivBaseComponent {
public:
    explicit TKivShellLink(Component* Owner);
    // Detaches every control first, so none keeps a freed link.
    ~TKivShellLink() override;
    std::string ClassName() const override { return "TKivShellLink"; }

    void AddControl(const IKivShellControlPtr& Control);
    void RemoveControl(const IKivShellControl* Control);
    // nullptr for an index outside the list.
    IKivShellControlPtr GetControl(int Index) const;
    TKivSelectionList* SelectionList() const { return FSelectionList; }

    // Every control but Sender gets the change, in list order, while the
    // link is enabled.
    void NotifyControls(const IKivShellControl* Sender, std::uint8_t Code, IItemIdList Item);

    std::function<void(TKivShellLink& Sender)> OnChange;  // the link itself never fires it

private:
    TKivShellControlList FControls;
    TKivSelectionList* FSelectionList;
};
