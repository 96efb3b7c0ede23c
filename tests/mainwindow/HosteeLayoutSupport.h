// The Win32 layout tests' application list: the one known application
// "Plain Hostee" (tests/apps' hostee), listed and bindable.
#pragma once

#include "mainwindow/LayoutDesigner.h"

#include "hosting/IdentifyWin.h"
#include "hosting/KnownApps.h"
#include "Win32TestSupport.h"

#include <gtest/gtest.h>

class ListedHostee : public IDesignerApplications {
public:
    bool ApplicationLocation(const std::string& Name, std::string& Path, bool) override
    {
        Path = SameText(Name, "Plain Hostee") ? TestExeDir() + "hostee.exe" : "";
        return !Path.empty();
    }
    StringList BindApplications() override { return {"Plain Hostee"}; }
    int RowOfApplication(const std::string& Name) override
    {
        return SameText(Name, "Plain Hostee") ? 1 : -1;
    }
    bool AddApplication(const std::string&, const TIdentifyInfo&) override { return false; }
};

// Knows hostee for the test's length.
class HosteeKnownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFileProbe(&Win32FileProbe);
        KnownApps.Clear();
        ASSERT_EQ(AddKnownApp(KnownApps, "Tests", "Plain Hostee", "", "", "bind", "hostee.exe", "",
                              "", "", "", "", ""),
                  ieOk);
    }
    void TearDown() override
    {
        KnownApps.Clear();
        SetFileProbe(nullptr);
    }
};
