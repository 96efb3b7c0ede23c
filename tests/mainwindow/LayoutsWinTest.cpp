#include "mainwindow/LayoutsWin.h"

#include "dialogs/applicationlistWin.h"
#include "hosting/IdentifyWin.h"
#include "hosting/KnownApps.h"
#include "hosting/TestHost.h"

#include "HosteeLayoutSupport.h"
#include "LayoutTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

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
            // Made while the host drew nothing, shown once placed.
            EXPECT_TRUE(::IsWindowVisible(P->Handle()));
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

TEST_F(LayoutsWinTest, SpacedStartsLeaveTheWindowWorkingInBetween)
{
    TestHost H(1);
    ListedHostee Listed;
    TLayoutHostWin Host;
    Host.HostControl = H.Main;
    Host.HomeParent = H.Main;
    Host.Monitor = H.Monitor.get();
    Host.AppList = &Listed;
    TLayouts L(Host);
    L.HasHost = true;
    const TNodeId Two = L.Tree.AddNode(NoNode, "Two", nkLayout);
    for (int I = 0; I < 2; ++I)
        L.Tree.AddNode(Two, "\"Plain Hostee\"; Left", nkApp);
    const TNodeId Empty = L.Tree.AddNode(NoNode, "Empty", nkLayout);

    // Back after the first start, the second still to come.
    ASSERT_TRUE(L.ApplyLayout(Two));
    const DWORD Returned = ::GetTickCount();
    H.NoteProcesses();
    EXPECT_EQ(H.Monitor->Count(), 1);
    EXPECT_EQ(L.PendingStarts(), 1);
    // The message loop runs meanwhile; the second start comes from it.
    int Turns = 0;
    ASSERT_TRUE(H.RunUntil([&] { return ++Turns, H.Monitor->Count() == 2; }, 5000));
    H.NoteProcesses();
    EXPECT_GE(::GetTickCount() - Returned, 400u);
    EXPECT_GT(Turns, 5);
    EXPECT_EQ(L.PendingStarts(), 0);

    // A box open in between holds the next start back until it closes.
    L.RememberedAnswer = caYes;
    ASSERT_TRUE(L.ApplyLayout(Empty));
    ASSERT_TRUE(L.ApplyLayout(Two));
    ::EnableWindow(H.Main->Handle(), FALSE);
    H.NoteProcesses();
    const int Pending = L.PendingStarts();
    ASSERT_GE(Pending, 1);
    H.RunUntil([] { return false; }, 1200);
    EXPECT_EQ(L.PendingStarts(), Pending);
    ::EnableWindow(H.Main->Handle(), TRUE);
    EXPECT_TRUE(H.RunUntil([&] { return H.Monitor->Count() == 2; }, 3000));
    H.NoteProcesses();
    EXPECT_EQ(L.PendingStarts(), 0);
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

namespace {

const char* const StoredLayoutsKey = "Software\\Tessarine\\QuorvanLayoutsTest";

// The key's values by name, a REG_DWORD's with its value.
std::string StoredValues(const TSafeRegistry& Reg)
{
    std::vector<std::string> Names = Reg.GetValueNames();
    std::sort(Names.begin(), Names.end());
    std::string S;
    for (const std::string& N : Names) {
        DWORD Type = 0, Size = 0;
        Reg.GetDataInfo(N, Type, Size);
        S += (S.empty() ? "" : " ") + N + (Type == REG_DWORD ? "=" + IntToStr(Reg.ReadIntegerDef(N, -1)) : "");
    }
    return S;
}

}  // namespace

// Values of another type than the stored form writes, as the registry holds
// them: read around, told, and stored back whole and typed at exit.
TEST(LayoutsStoredFormWin, DamagedStoredValuesLoseOnlyWhatHangsOnThem)
{
    struct Row {
        const char* Name;
        std::function<void(TSafeRegistry&)> Seed;
        std::string Tree;
        bool Whole;
        const char* Stored;  // after the tree was saved back
    };
    const std::string Big(10 << 20, 'x');
    const auto Nodes = [](TSafeRegistry& R, std::initializer_list<const char*> Values) {
        int I = 0;
        for (const char* V : Values)
            R.WriteString(StoredNodeName(I++), V);
    };
    const Row Rows[] = {
        {"count as text", [&](TSafeRegistry& R) {
             R.WriteString("LayoutsCount", "3");
             Nodes(R, {"Layout|A|Base=Root", "Panel|p|Base=0", "Layout|B|Base=Root"});
         }, "A[0]{p[2]} / B[0]", false, "LayoutsCount=3 LayoutsNode0 LayoutsNode1 LayoutsNode2"},
        {"node as integer", [&](TSafeRegistry& R) {
             R.WriteInteger("LayoutsCount", 5);
             Nodes(R, {"Layout|A|Base=Root", "", "Layout|C|Base=Root", "Panel|c|Base=2", "Panel|d|Base=2"});
             R.WriteInteger(StoredNodeName(1), 1);
         }, "A[0] / C[0]{c[2],d[2]}", false, "LayoutsCount=4 LayoutsNode0 LayoutsNode1 LayoutsNode2 LayoutsNode3"},
        // Read whole here: kept, and what follows it keeps its parents.
        {"10 MB node", [&](TSafeRegistry& R) {
             R.WriteInteger("LayoutsCount", 4);
             Nodes(R, {"Layout|A|Base=Root", "", "Panel|a|Base=1", "Panel|b|Base=0"});
             R.WriteString(StoredNodeName(1), "Panel|" + Big + "|Base=0");
         }, "A[0]{" + Big + "[2]{a[2]},b[2]}", true, "LayoutsCount=4 LayoutsNode0 LayoutsNode1 LayoutsNode2 LayoutsNode3"},
        {"nodes past the count", [&](TSafeRegistry& R) {
             R.WriteInteger("LayoutsCount", 1);
             Nodes(R, {"Layout|A|Base=Root", "Panel|p|Base=0", "Panel|q|Base=0"});
         }, "A[0]", true, "LayoutsCount=1 LayoutsNode0"},
    };
    for (const Row& R : Rows) {
        TSafeRegistry Reg;
        Reg.DeleteKey(StoredLayoutsKey);
        ASSERT_TRUE(Reg.OpenKey(StoredLayoutsKey, true)) << R.Name;
        R.Seed(Reg);
        TRegistryValuesWin Values(Reg);
        TLayoutTree T;
        const TLayoutsReadReport Report = T.LoadLayouts(Values);
        EXPECT_TRUE(DumpTree(T) == R.Tree) << R.Name << ": " << DumpTree(T).substr(0, 200);
        EXPECT_EQ(Report.Whole(), R.Whole) << R.Name;
        T.SaveLayouts(Values);
        EXPECT_EQ(StoredValues(Reg), R.Stored) << R.Name;
        Reg.CloseKey();
        Reg.DeleteKey(StoredLayoutsKey);
    }
}

// Widths and heights beyond the int range saturate (a wrapped difference
// would be negative: an empty window); the system then holds a window's
// place and size to 16 bits. Both routes that move host panels.
TEST(LayoutsHostWin, HostPanelsTakeSaturatedSizesOfHugeRectangles)
{
    TApplication App;
    PanelArgs HostArgs;
    HostArgs.Width = 400;
    HostArgs.Height = 300;
    auto* HostPanel = new Panel(&App, HostArgs);
    TLayoutHostWin Host;
    Host.HostControl = HostPanel;
    Host.HomeParent = HostPanel;
    TLayoutTree Tree;
    const TNodeId Node = Tree.AddNode(NoNode, "Panel; Left", nkPanel);
    TPanelBoundsWin Bounds(Tree);
    struct Row {
        TLayoutRect Placed;
        RECT Window;  // in the host
    };
    const Row Rows[] = {
        {{10, 20, 110, 70}, {10, 20, 110, 70}},
        {{-100, 0, INT_MAX, 50}, {-100, 0, SHRT_MAX - 100, 50}},
        {{0, INT_MIN, 10, INT_MAX}, {0, SHRT_MIN, 10, -1}},
    };
    for (int Route = 0; Route < 2; ++Route)
        for (const Row& R : Rows) {
            TAppPanel* P = Host.CreatePanel(1);
            Tree.SetData(Node, P);
            if (Route == 0)
                Host.PlacePanel(P, R.Placed);
            else
                Bounds.SetPanelBounds(Node, R.Placed);
            EXPECT_TRUE(SameRect(RectIn(P->Handle(), HostPanel->Handle()), R.Window))
                << Route << " " << RectText(R.Placed);
            Tree.SetData(Node, nullptr);
            Host.FreePanel(P);
        }
    delete HostPanel;
}
