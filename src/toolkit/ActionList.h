// Actions: one command with its caption, hint, image, help context and
// enabled/checked/visible state, shared by the toolbar buttons (and menu
// items) that show it. An action list updates its actions at idle time.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/Notifier.h"

#include <functional>
#include <string>
#include <vector>

class ImageList;

struct ActionArgs {
    std::string Caption;
    std::string Hint;
    int ImageIndex = -1;
    int HelpContext = 0;
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    // Execute flips Checked before OnExecute runs.
    bool AutoCheck = false;
};

class Action : public Component {
public:
    // An action owned by an ActionList belongs to that list.
    Action(Component* Owner, const ActionArgs& Args);
    ~Action() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int HelpContext() const { return FHelpContext; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool AutoCheck = false;

    // Runs OnUpdate; false when there is none.
    bool Update();
    // Updates, then runs the action when enabled; true when something ran.
    bool Execute();

    std::function<void(Action& Sender)> OnExecute;
    std::function<void(Action& Sender)> OnUpdate;

    // Clients hear of every change of the shown state, and of the action's
    // end (Destroyed true) so they drop their reference.
    using ChangeHandler = std::function<void(Action& Sender, bool Destroyed)>;
    int AddChangeHandler(ChangeHandler Handler) { return FClients.Add(std::move(Handler)); }
    void RemoveChangeHandler(int Id) { FClients.Remove(Id); }

protected:
    // What Execute runs once the action is enabled; OnExecute by default.
    virtual bool DoExecute();
    void Changed();

private:
    std::string FCaption;
    std::string FHint;
    int FImageIndex;
    int FHelpContext;
    bool FEnabled;
    bool FChecked;
    bool FVisible;
    Notifier<Action&, bool> FClients;
};

class ActionList : public Component {
public:
    // With AutoUpdate the list updates its actions each time the
    // application goes idle.
    ActionList(Component* Owner, ImageList* Images = nullptr, bool AutoUpdate = true);
    ~ActionList() override;

    ImageList* Images() const { return FImages; }
    // The actions the list owns, in creation order.
    std::vector<Action*> Actions() const;
    void UpdateActions();

private:
    ImageList* FImages;
    int FIdleId = 0;
};
