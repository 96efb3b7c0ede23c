#include "mainwindow/LayoutsWin.h"

#include "hosting/IdentifyWin.h"
#include "hosting/KnownApps.h"
#include "hosting/TestHost.h"

#include <gtest/gtest.h>

namespace {

class ListedHostee : public IApplicationLocations {
public:
    bool ApplicationLocation(const std::string& Name, std::string& Path, bool) override
    {
        Path = SameText(Name, "Plain Hostee") ? TestExeDir() + "hostee.exe" : "";
        return !Path.empty();
    }
};

class LayoutsWinTest : public ::testing::Test {
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

} // namespace

TEST_F(LayoutsWinTest, AppliedLayoutPlacesHostPanelsAndBindsTheNamedApplication)
{
    TestHost H(2);
    for (TAppPanel* P : H.Hosts)
        delete P;
    H.Hosts.clear();
    H.PanelTexts.clear();
    PanelArgs MainArgs;
    MainArgs.Parent = H.Main;
    MainArgs.Width = 600;
    MainArgs.Height = 260;
    auto* MainPanel = new Panel(H.Main, MainArgs);
    ListedHostee Listed;
    TLayoutHostWin Host;
    Host.HostControl = MainPanel;
    Host.HomeParent = H.Main;
    Host.Monitor = H.Monitor.get();
    Host.Confirmation = H.Confirm;
    Host.AppList = &Listed;
    int Created = 0;
    Host.OnPanelCreated = [&](TAppPanel&) { ++Created; };
    TLayouts L(Host);
    L.HasHost = true;
    const TNodeId Three = L.Tree.AddNode(NoNode, "Three", nkLayout);
    for (const char* Text : {"Panel; Left; 30%", "\"Plain Hostee\"; Left", "Panel; Centered; 50%; 40%"})
        L.Tree.AddNode(Three, Text, Text[0] == '"' ? nkApp : nkPanel);
    const TNodeId Empty = L.Tree.AddNode(NoNode, "Empty", nkLayout);

    ASSERT_TRUE(L.ApplyLayout(Three));
    H.NoteProcesses();
    EXPECT_EQ(Created, 3);
    const std::vector<TNodeId> Nodes = L.Tree.Children(Three);
    const TAppPanel* AppPanel = L.Tree.Data(Nodes[1]);
    // The same rectangles as the portable computation, for each client size.
    const std::pair<int, int> Sizes[] = {{600, 260}, {401, 199}};
    for (const auto& [W, Hgt] : Sizes) {
        MainPanel->SetBounds(0, 0, W, Hgt);
        L.Relayout(nullptr);
        const TLayoutPlacement Expected = ComputeLayout(L.Tree, Three, {0, 0, W, Hgt}, lmPlace);
        ASSERT_EQ(Expected.size(), 4u);
        for (std::size_t I = 1; I < Expected.size(); ++I) {
            const TAppPanel* P = L.Tree.Data(Expected[I].first);
            ASSERT_NE(P, nullptr);
            const TLayoutRect& E = Expected[I].second;
            EXPECT_EQ(::GetParent(P->Handle()), MainPanel->Handle());
            EXPECT_TRUE(SameRect(RectIn(P->Handle(), MainPanel->Handle()),
                                 RECT{E.Left, E.Top, E.Right, E.Bottom}))
                << W << " panel " << I;
            EXPECT_EQ(P->ClientPanel->Color(), PanelLevelColors[0]);
        }
    }
    ASSERT_TRUE(H.RunUntil([&] { return H.Monitor->FindItemByPanel(AppPanel->ClientPanel) &&
                                        H.Monitor->FindItemByPanel(AppPanel->ClientPanel)->Bound; },
                           10000));
    const HWND Bound = H.Monitor->FindItemByPanel(AppPanel->ClientPanel)->Handle;
    EXPECT_EQ(::GetAncestor(Bound, GA_PARENT), AppPanel->ClientPanel->Handle());

    // Switching away with "No" remembered releases it, still running.
    L.RememberedAnswer = caNo;
    ASSERT_TRUE(L.ApplyLayout(Empty));
    EXPECT_EQ(L.Tree.Data(Nodes[1]), nullptr);
    EXPECT_EQ(MainPanel->Controls().size(), 0u);
    EXPECT_EQ(::GetAncestor(Bound, GA_PARENT), ::GetDesktopWindow());
    EXPECT_TRUE(::IsWindow(Bound));
}

TEST_F(LayoutsWinTest, StoredFormGoesThroughTheRegistry)
{
    const std::string Key = "Software\\Tessarine\\QuorvanLayoutsTest";
    TLayoutTree T;
    const TNodeId A = T.AddNode(NoNode, "A", nkLayout);
    T.AddNode(T.AddNode(A, "Panel; Left; 30%", nkPanel), "\"Tool\"; Top", nkApp);
    {
        TSafeRegistry Reg;
        ASSERT_TRUE(Reg.OpenKey(Key, true));
        TRegistryValuesWin V(Reg);
        T.SaveLayouts(V);
        EXPECT_EQ(Reg.ReadString("LayoutsNode2"), "App|\"Tool\"; Top|Base=1");
        Reg.WriteString("LayoutsCount", "garbage");
    }
    TSafeRegistry Reg;
    ASSERT_TRUE(Reg.OpenKeyReadOnly(Key));
    TRegistryValuesWin V(Reg);
    TLayoutTree Back;
    Back.AddNode(NoNode, "kept", nkLayout);
    Back.LoadLayouts(V);  // a count of the wrong type reads as missing
    EXPECT_EQ(Back.Count(), 1);
    Reg.CloseKey();
    ASSERT_TRUE(Reg.OpenKey(Key, true));
    Reg.WriteInteger("LayoutsCount", 3);
    Back.LoadLayouts(V);
    EXPECT_EQ(Back.Text(Back.NodeAt(2)), "\"Tool\"; Top");
    EXPECT_EQ(Back.Level(Back.NodeAt(2)), 2);
    Reg.CloseKey();
    Reg.DeleteKey(Key);
}
