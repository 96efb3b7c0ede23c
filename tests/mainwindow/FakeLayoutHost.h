// A native stand-in for the host of the layouts: the host panels, the
// monitor, the application list and the user in one fake (FakeHost), and
// the panel and item types the layout code only passes on.
#pragma once

#include "mainwindow/Layouts.h"

#include "hosting/Identify.h"
#include "hosting/Modules.h"
#include "hosting/Velmora.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The layout code only passes these on; natively they are the fakes'.
class TAppPanel {
public:
    int Level = 0;
    TLayoutRect Bounds;
};

class TApplicationItem {
public:
    std::string Name;
    TAppPanel* Panel = nullptr;
    bool Kept = false;
    int Known = -1;
};

// A monitor, host control, application list and user in one: it logs what
// happens to the applications ("open", "close", "release", "keep") and to
// the spaced starts ("wait").
class FakeHost : public ILayoutHost, public IApplicationLocations {
public:
    TAppPanel* CreatePanel(int Level) override
    {
        Panels.push_back(std::make_unique<TAppPanel>());
        Panels.back()->Level = Level;
        return Panels.back().get();
    }
    void FreePanel(TAppPanel* Panel) override
    {
        if (TApplicationItem* I = ItemOfPanel(Panel)) {
            I->Panel = nullptr;
            Note((I->Kept ? "keep " : CloseReleased > 0 ? "close " : "release ") + I->Name);
            if (!I->Kept)
                Erase(Items, I);
        }
        Erase(Panels, Panel);
    }
    void PlacePanel(TAppPanel* Panel, const TLayoutRect& R) override { Panel->Bounds = R; }
    TLayoutRect HostClientRect() override { return Client; }
    void BeginPlacing() override {}
    void EndPlacing() override {}
    TApplicationItem* ItemOfPanel(TAppPanel* Panel) override
    {
        for (const auto& I : Items)
            if (I->Panel == Panel)
                return I.get();
        return nullptr;
    }
    int ItemKnownIndex(const TApplicationItem* Item) override { return Item->Known; }
    bool OpenApplication(const std::string& Name, const std::string& Exe, const std::string& Params,
                         TAppPanel* Panel) override
    {
        Note("open " + Name + " " + Exe + (Params.empty() ? "" : " " + Params));
        for (const auto& I : Items)
            if (I->Kept && I->Name == Name && !I->Panel) {
                I->Panel = Panel;
                return true;
            }
        Items.push_back(std::make_unique<TApplicationItem>());
        Items.back()->Name = Name;
        Items.back()->Panel = Panel;
        FindKnownAppByName(Name, Items.back()->Known, false);
        return true;
    }
    std::string ModuleStartParams(const std::string& Name) override
    {
        std::string P;
        return GetModuleStartParams(Name, P), P;
    }
    IApplicationLocations* Locations() override { return this; }
    bool ApplicationLocation(const std::string& Name, std::string& Path, bool Translate) override
    {
        const auto It = Listed.find(Translate ? GetMainEntryName(Name) : Name);
        Path = It == Listed.end() ? "" : It->second;
        return It != Listed.end();
    }
    std::uint8_t Confirm(const std::string& Text, std::uint8_t& Remembered) override
    {
        if (Remembered != 0)
            return Remembered;
        Questions.push_back(Text);
        if (WhileAsking)
            WhileAsking();
        return Answer;
    }
    void Beep() override {}
    void Tell(const std::string& Text) override { Told.push_back(Text); }
    void RaiseCloseReleased() override { ++CloseReleased; }
    void LowerCloseReleased() override { --CloseReleased; }
    void ScheduleStart(int Ms, std::function<void()> Due) override
    {
        if (Ms >= 0)
            Note("wait " + IntToStr(Ms));
        StartDue = std::move(Due);
    }
    void StartsQueued() override {}
    bool StartsAllowed() override { return Allowed; }
    // The host's timer runs out.
    void Tick()
    {
        const std::function<void()> Due = std::move(StartDue);
        StartDue = nullptr;
        if (Due)
            Due();
    }
    bool ItemKept(const TApplicationItem* Item) const override { return Item->Kept; }
    // Touches the item: an item deleted meanwhile shows up under ASan.
    void SetItemKept(TApplicationItem* Item, bool Kept) override { Item->Kept = Kept; }

    void Note(const std::string& S) { Log += (Log.empty() ? "" : "|") + S; }
    template <class T>
    static void Erase(std::vector<std::unique_ptr<T>>& V, T* P)
    {
        V.erase(std::find_if(V.begin(), V.end(), [P](const auto& U) { return U.get() == P; }));
    }

    TLayoutRect Client{0, 0, 300, 200};
    std::vector<std::unique_ptr<TAppPanel>> Panels;
    std::vector<std::unique_ptr<TApplicationItem>> Items;
    std::map<std::string, std::string> Listed = {
        {"A", "a.exe"}, {"B", "b.exe"}, {"Corvalimphena", "c.exe"}, {"Mainprog", "m.exe"}};
    std::string Log;
    std::vector<std::string> Questions;
    std::vector<std::string> Told;
    std::uint8_t Answer = 0;
    int CloseReleased = 0;
    // What the message loop does while a question is open.
    std::function<void()> WhileAsking;
    std::function<void()> StartDue;
    bool Allowed = true;
};
