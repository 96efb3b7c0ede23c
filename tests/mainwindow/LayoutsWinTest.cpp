#include "mainwindow/LayoutsWin.h"

#include "dialogs/applicationlistWin.h"
#include "hosting/IdentifyWin.h"
#include "hosting/KnownApps.h"
#include "hosting/TestHost.h"

#include "HosteeLayoutSupport.h"

#include <gtest/gtest.h>

using LayoutsWinTest = HosteeKnownTest;

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
    // The rectangles the native build computes (ties included), for each
    // client size, and the same from this build's own computation.
    struct Row {
        int W, H;
        TLayoutRect Native[3];
    };
    const Row Rows[] = {
        {600, 260, {{0, 0, 180, 260}, {180, 0, 601, 260}, {150, 78, 450, 182}}},
        {401, 199, {{0, 0, 121, 199}, {121, 0, 402, 199}, {100, 60, 300, 139}}},
    };
    for (const Row& R : Rows) {
        MainPanel->SetBounds(0, 0, R.W, R.H);
        L.Relayout(nullptr);
        const TLayoutPlacement Computed = ComputeLayout(L.Tree, Three, {0, 0, R.W, R.H}, lmPlace);
        ASSERT_EQ(Computed.size(), 4u);
        for (std::size_t I = 0; I < 3; ++I) {
            const TAppPanel* P = L.Tree.Data(Nodes[I]);
            ASSERT_NE(P, nullptr);
            const TLayoutRect& E = R.Native[I];
            EXPECT_EQ(Computed[I + 1].second, E) << R.W << " panel " << I;
            EXPECT_EQ(::GetParent(P->Handle()), MainPanel->Handle());
            EXPECT_TRUE(SameRect(RectIn(P->Handle(), MainPanel->Handle()),
                                 RECT{E.Left, E.Top, E.Right, E.Bottom}))
                << R.W << " panel " << I;
            // An application panel shows its item's colours instead.
            if (P != AppPanel) {
                EXPECT_EQ(P->ClientPanel->Color(), PanelLevelColors[0]);
            }
        }
    }
    // Dragging the border between the docked panels moves both windows.
    TPanelBoundsWin Bounds(L.Tree);
    TPanelBorderList Borders(L.Tree, Bounds);
    ASSERT_TRUE(Borders.StartDrag(Three, {0, 0, 401, 199}, 122, 20));
    const TBorderSpace Space{L.Tree, Bounds};
    int Cursor = crDefault;
    ASSERT_TRUE(Borders.Items(0)->GetBorderCursor(Space, 122, 20, Cursor));
    SetBorderCursor(L.Tree, *Borders.Items(0), Cursor);
    EXPECT_EQ(AppPanel->Cursor, ::LoadCursorA(nullptr, IDC_SIZEWE));
    Borders.ApplyMove({0, 0, 401, 199}, -20, 0);
    EXPECT_TRUE(SameRect(L.Tree.Data(Nodes[0])->BoundsRect(), RECT{0, 0, 101, 199}));
    EXPECT_TRUE(SameRect(AppPanel->BoundsRect(), RECT{101, 0, 402, 199}));
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

TEST_F(LayoutsWinTest, WithoutAListOfItsOwnTheApplicationListWindowIsAsked)
{
    TLayoutHostWin Host;
    std::string Path;
    EXPECT_FALSE(Host.Locations()->ApplicationLocation("Plain Hostee", Path, false));
    TApplication App;
    auto* Window = new TApplicationListForm(&App);
    Window->ReadApplicationList({"|Flags|Category|Application|Version|Location|", "+-+-+-+-+-+",
                                 "|N|Tests|Plain Hostee||" + TestExeDir() + "hostee.exe|"});
    EXPECT_TRUE(Host.Locations()->ApplicationLocation("Plain Hostee", Path, false));
    EXPECT_EQ(Path, TestExeDir() + "hostee.exe");
}
