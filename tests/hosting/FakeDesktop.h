// A desktop of made-up windows and processes for the window list's tests.
#pragma once

#include "hosting/AppInfo.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

struct FakeWindow {
    std::string Title = "Main";
    std::string Class = "TMainForm";
    std::int32_t Width = 300, Height = 200;
    bool SizeFails = false;
    bool Visible = true;
    bool Owned = false;
    bool Parented = false;
    std::uint32_t ExStyle = 0;
    std::uint32_t Pid = 7;
    TWindowHandle Host = 0;  // 0: top-level; else a descendant of Host
};

class FakeDesktop : public IWindowSource {
public:
    int Platform = 2;
    std::map<TWindowHandle, FakeWindow> Windows;
    std::map<std::uint32_t, std::vector<std::string>> Modules;  // missing: snapshot fails
    std::vector<TProcessItem> Processes;
    bool ProcessSnapshotFails = false;
    bool ThrowInEnumeration = false;
    int ModuleWalks = 0;
    int FactReads = 0;  // class names and process ids asked for
    std::map<std::uint32_t, int> FailingWalks;  // snapshots of the process that fail first

    int PlatformId() override { return Platform; }
    void EnumTopLevel(const std::function<void(TWindowHandle)>& Visit) override
    {
        if (ThrowInEnumeration)
            throw std::runtime_error("enumeration");
        for (const auto& W : Windows)
            if (W.second.Host == 0)
                Visit(W.first);
    }
    void EnumChildren(TWindowHandle Parent, const std::function<void(TWindowHandle)>& Visit) override
    {
        for (const auto& W : Windows)
            if (W.second.Host == Parent) {
                Visit(W.first);
                EnumChildren(W.first, Visit);
            }
    }
    std::string Title(TWindowHandle W) override { return Windows.at(W).Title; }
    std::string ClassName(TWindowHandle W) override
    {
        ++FactReads;
        return Windows.at(W).Class;
    }
    bool Size(TWindowHandle W, std::int32_t& Width, std::int32_t& Height) override
    {
        const FakeWindow& F = Windows.at(W);
        Width = F.SizeFails ? 999 : F.Width;
        Height = F.SizeFails ? 999 : F.Height;
        return !F.SizeFails;
    }
    bool IsVisible(TWindowHandle W) override { return Windows.at(W).Visible; }
    bool HasOwner(TWindowHandle W) override { return Windows.at(W).Owned; }
    bool HasParent(TWindowHandle W) override { return Windows.at(W).Parented || Windows.at(W).Host; }
    std::uint32_t ExStyle(TWindowHandle W) override { return Windows.at(W).ExStyle; }
    std::uint32_t ProcessId(TWindowHandle W) override
    {
        ++FactReads;
        return Windows.at(W).Pid;
    }
    bool WalkModules(std::uint32_t Pid,
                     const std::function<bool(const std::string&)>& Visit) override
    {
        ++ModuleWalks;
        const auto It = Modules.find(Pid);
        if (It == Modules.end() || FailingWalks[Pid]-- > 0)
            return false;
        for (const std::string& M : It->second)
            if (!Visit(M))
                break;
        return true;
    }
    bool WalkProcesses(const std::function<void(const TProcessItem&)>& Visit) override
    {
        if (ProcessSnapshotFails)
            return false;
        for (const TProcessItem& P : Processes)
            Visit(P);
        return true;
    }
};
