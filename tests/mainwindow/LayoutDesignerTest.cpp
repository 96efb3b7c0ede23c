#include "mainwindow/BorderDrag.h"
#include "mainwindow/LayoutDesigner.h"

#include "FakeLayoutHost.h"
#include "hosting/FakeFileProbe.h"
#include "hosting/RulesTestSupport.h"
#include "LayoutTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace {

// A designer over a fake host with one layout "L" whose panels are given
// as texts; each '>' before a text puts it one level further down, under
// the last panel one level up.
struct Fixture {
    explicit Fixture(std::initializer_list<const char*> Panels)
    {
        Layout = L.Tree.AddNode(NoNode, "L", nkLayout);
        std::vector<TNodeId> Last{Layout};  // by level
        for (const char* P : Panels) {
            const std::size_t Down = std::strspn(P, ">");
            const std::string Text = P + Down;
            Last.resize(Down + 1);
            Nodes.push_back(L.Tree.AddNode(Last.back(), Text, Text[0] == '"' ? nkApp : nkPanel));
            Last.push_back(Nodes.back());
        }
        D.Apps = &Apps;
        L.HasHost = true;
    }
    TNodeId N(int I) const { return I < 0 ? Layout : Nodes[static_cast<std::size_t>(I)]; }

    class FakeApps : public IDesignerApplications {
    public:
        bool ApplicationLocation(const std::string& Name, std::string& Path, bool) override
        {
            Path = Name + ".exe";
            return Name != "Lost";
        }
        StringList BindApplications() override { return {"A", "Lost", "A; 2"}; }
        int RowOfApplication(const std::string& Name) override { return Name == "A" ? 1 : -1; }
        bool AddApplication(const std::string& Path, const TIdentifyInfo&) override
        {
            Added.push_back(Path);
            return true;
        }
        StringList Added;
    } Apps;
    FakeHost H;
    TLayouts L{H};
    TLayoutDesigner D{L};
    TNodeId Layout;
    std::vector<TNodeId> Nodes;
};

} // namespace

TEST(LayoutDesigner, UpDownGuardsRefuseOnlyARiseBeyondTheWhole)
{
    struct Row {
        std::initializer_list<const char*> Panels;
        int Selected;
        TPercentEdit Edit;
        int NewValue;
        bool Allowed;
    };
    const Row Rows[] = {
        {{"Panel; Left; 30%", "Panel; Left; 50%", "Panel; Left; 20%"}, 2, peWidth, 21, false},
        {{"Panel; Left; 30%", "Panel; Left; 50%", "Panel; Left; 20%"}, 2, peWidth, 20, true},
        {{"Panel; Left; 30%", "Panel; Left; 50%", "Panel; Left; 20%"}, 2, peWidth, -1, true},
        {{"Panel; Top; 60%", "Panel; Centered; 90%; 90%", "Panel; Top; 10%"}, 2, peHeight, 40, true},
        {{"Panel; Top; 60%", "Panel; Top; 30%", "Panel; Top; 10%"}, 2, peHeight, 11, false},
        {{"Panel; Custom; 30%; 5%; 50%; 50%"}, 0, peWidth, 70, true},
        {{"Panel; Custom; 30%; 5%; 50%; 50%"}, 0, peWidth, 71, false},
        {{"Panel; Custom; 30%; 5%; 50%; 50%"}, 0, peXPos, 51, false},
        {{"Panel; Custom; 30%; 5%; 50%; 50%"}, 0, peYPos, 50, true},
        {{"Panel; Custom; 30%; 60%; 50%; 40%"}, 0, peHeight, 41, false},
        {{"Panel; Centered; 75%; 50%"}, 0, peWidth, 500, true},
    };
    for (const Row& R : Rows) {
        Fixture F(R.Panels);
        F.D.Select(F.N(R.Selected));
        F.D.UpdateEditor();
        EXPECT_EQ(F.D.UpDownChanging(R.Edit, R.NewValue), R.Allowed)
            << F.L.Tree.Text(F.N(R.Selected)) << " edit " << R.Edit << " to " << R.NewValue;
    }
}

TEST(LayoutDesigner, TogglesAndUpDownClicksRewriteTheNodeText)
{
    enum Op { Percentage, Center, Custom, Width, XPos, Height };
    struct Row {
        std::initializer_list<const char*> Panels;
        std::initializer_list<Op> Ops;
        const char* Text;
    };
    const Row Rows[] = {
        {{"Panel; Left"}, {Percentage}, "Panel; Left; 0%"},
        {{"Panel; Left"}, {Percentage, Percentage}, "Panel;  Left"},
        {{"Panel; Left"}, {Center}, "Panel; Centered; 75%; 50%"},
        {{"Panel; Left"}, {Center, Center}, "Panel; Top"},
        {{"Panel; Left", "Panel; Right"}, {Center, Center}, "Panel; Right"},
        {{"\"A\"; Top; 20%"}, {Custom}, "\"A\"; Custom; 5%; 5%; 75%; 50%"},
        {{"Panel; Top"}, {Custom, Center}, "Panel; Centered; 75%; 50%"},
        {{"Panel; Custom; 1%; 2%; 3%; 4%"}, {Width, XPos, Height}, "Panel; Custom; 8%; 2%; 7%; 9%"},
        {{"Panel; Centered; 75%; 50%"}, {Width, XPos, Height}, "Panel; Centered; 7%; 9%"},
        {{"Panel; Right"}, {Width, Height}, "Panel; Right; 7%"},
        {{"Panel; Bottom; 5%"}, {Width, Height}, "Panel; Bottom; 9%"},
    };
    for (const Row& R : Rows) {
        Fixture F(R.Panels);
        F.D.Select(F.N(0));
        for (const Op O : R.Ops) {
            F.L.RefreshPreview = false;
            switch (O) {
            case Percentage: F.D.TogglePercentage(); break;
            case Center: F.D.ToggleCenter(); break;
            case Custom: F.D.ToggleCustom(); break;
            case Width: F.D.UpDownClick(peWidth, 7); break;
            case XPos: F.D.UpDownClick(peXPos, 8); break;
            case Height: F.D.UpDownClick(peHeight, 9); break;
            }
            EXPECT_TRUE(F.L.RefreshPreview);
        }
        EXPECT_EQ(F.L.Tree.Text(F.N(0)), R.Text) << *R.Panels.begin();
    }
}

TEST(LayoutDesigner, EditorStateFollowsTheSelectedNode)
{
    Fixture F({"Panel; Left; 30%", "\"A\"; Left", "\"Lost\"; Centered; 60%; 40%",
               "Panel; Custom; 1%; 2%; 3%; 4%", ">Panel; Top"});
    F.L.Tree.AddNode(NoNode, NewLayoutName, nkLayout);
    F.D.FillAppCombo("");
    F.L.SetAppliedLayout(F.Layout);
    // Node; name enabled and text; app choice and index; the four edits
    // enabled (x, y, width, height); Percentage, Center, Custom checks;
    // add child; apply caption.
    struct Row {
        int Node;
        bool Name;
        const char* NameText;
        TAppChoice App;
        int AppIndex;
        const char* Edits;
        const char* Checks;
        bool AddChild;
    };
    const Row Rows[] = {
        {-1, true, "L", TAppChoice::Disabled, -1, "----", "???", true},
        {0, false, "", TAppChoice::None, 0, "--w-", "100", true},
        {1, false, "", TAppChoice::Named, 1, "----", "000", false},
        {2, false, "", TAppChoice::Named, 2, "--wh", "010", false},
        {3, false, "", TAppChoice::None, 0, "xywh", "001", true},
        {4, false, "", TAppChoice::None, 0, "----", "000", true},
    };
    for (const Row& R : Rows) {
        F.D.Select(F.N(R.Node));
        const TEditorState E = F.D.UpdateEditor();
        EXPECT_EQ(E.NameEnabled, R.Name) << R.Node;
        EXPECT_EQ(E.NameText, R.NameText) << R.Node;
        EXPECT_EQ(E.App, R.App) << R.Node;
        EXPECT_EQ(E.AppIndex, R.AppIndex) << R.Node;
        std::string Edits, Checks;
        for (int I = 0; I < PercentEditCount; ++I)
            Edits += E.PercentEnabled[I] ? "xywh"[I] : '-';
        for (const int C : {E.PercentageChecked, E.CenterChecked, E.CustomChecked})
            Checks += C < 0 ? '?' : char('0' + C);
        EXPECT_EQ(Edits, R.Edits) << R.Node;
        EXPECT_EQ(Checks, R.Checks) << R.Node;
        EXPECT_EQ(E.AddChildEnabled, R.AddChild) << R.Node;
        EXPECT_EQ(E.ApplyCaption, RestoreLayoutCaption);
        EXPECT_FALSE(E.NewLayoutEnabled);
    }
    EXPECT_EQ(F.D.Positions[peWidth], 3);
    EXPECT_TRUE(F.D.UnlistedApp(F.N(2)));
    EXPECT_FALSE(F.D.UnlistedApp(F.N(1)));

    // A layout renamed to nothing is "<new layout>" again; '|' never stays,
    // and the user is told why.
    F.D.Select(F.Layout);
    for (const auto& [Typed, Stored, Told] : std::initializer_list<std::tuple<const char*, const char*, bool>>{
             {"a|b", "ab", true}, {"", "<new layout>", false}, {"|", "<new layout>", true}}) {
        EXPECT_EQ(F.D.LayoutNameChanged(Typed), Told ? UnstorableLayoutNameMessage(Typed) : "") << Typed;
        EXPECT_EQ(F.L.Tree.Text(F.Layout), Stored);
    }
}

TEST(LayoutDesigner, DropsStayInTheLayoutAndNeverIntoTheOwnSubtree)
{
    struct Row {
        int Dragged, Target;
        bool Dropped;
        const char* Tree;
    };
    // 0 Left, 1 app Left, 2 plain Top with child 3, 4 app Right.
    const Row Rows[] = {
        {2, 3, false, ""},  // onto its own child
        {2, 2, false, ""},
        {-1, 0, false, ""},  // a layout is not dragged
        {0, 1, true, "L[0]{\"A\"; Left[3],Panel; Left[2],Panel; Top[2]{Panel; Left[2]},\"B\"; Right[3]}"},
        {1, 0, true, "L[0]{Panel; Left[2]{\"A\"; Left[3]},Panel; Top[2]{Panel; Left[2]},\"B\"; Right[3]}"},
        {4, 0, true, "L[0]{Panel; Left[2]{\"B\"; Right[3]},\"A\"; Left[3],Panel; Top[2]{Panel; Left[2]}}"},
        {3, 1, true, "L[0]{Panel; Left[2],Panel; Left[2],\"A\"; Left[3],Panel; Top[2],\"B\"; Right[3]}"},
        {0, 4, true, "L[0]{\"A\"; Left[3],Panel; Top[2]{Panel; Left[2]},\"B\"; Right[3],Panel; Right[2]}"},
        {4, -1, true, "L[0]{\"B\"; Left[3],Panel; Left[2],\"A\"; Left[3],Panel; Top[2]{Panel; Left[2]}}"},
    };
    for (const Row& R : Rows) {
        Fixture F({"Panel; Left", "\"A\"; Left", "Panel; Top", ">Panel; Left", "\"B\"; Right"});
        const std::string Before = DumpNode(F.L.Tree, F.Layout);
        EXPECT_EQ(F.D.Drop(F.N(R.Dragged), F.N(R.Target)), R.Dropped);
        EXPECT_EQ(DumpNode(F.L.Tree, F.Layout), R.Dropped ? R.Tree : Before)
            << R.Dragged << " onto " << R.Target;
    }
    // Another layout is never a target.
    Fixture F({"Panel; Left", "Panel; Top"});
    const TNodeId Other = F.L.Tree.AddNode(F.L.Tree.AddNode(NoNode, "M", nkLayout), "Panel", nkPanel);
    EXPECT_FALSE(F.D.CanDrop(F.N(0), Other));
    // A first child dropped onto its own parent stays the first child.
    Fixture G({"Panel; Top", ">Panel; Left", ">\"C\"; Left"});
    EXPECT_TRUE(G.D.Drop(G.N(1), G.N(0)));
    EXPECT_EQ(G.L.Tree.Children(G.N(0)), (std::vector<TNodeId>{G.N(1), G.N(2)}));
}

TEST(LayoutDesigner, DropsBeyondTheAddLimitsAreTakenAndReadBackWhole)
{
    struct Row {
        int Dragged, Target;
        int Parent;       // the dragged node's parent after the drop
        bool ParentAdds;  // Add child on that parent
    };
    // 0 holds eight panels (1-8), 16 seven (17-23); 9 > 10 > 11, 12 and
    // 13 > 14 reach the third level; 15 stands alone.
    const Row Rows[] = {
        {15, 0, 0, false},  {15, 8, 0, false},  // a ninth panel
        {1, 8, 0, false},                       // within its full parent
        {15, 16, 16, false}, {15, 23, 16, false},  // the eighth
        {13, 10, 10, true}, {9, 13, 13, true},   // the moved subtree on a fourth level
        {15, 12, 12, false},                     // under a panel on the third level
        {14, 10, 10, true}, {13, 9, 9, true},  {15, 11, 10, true},  // at the third level
    };
    for (const Row& R : Rows) {
        Fixture F({"Panel; Top", ">Panel", ">Panel", ">Panel", ">Panel", ">Panel", ">Panel", ">Panel", ">\"A\"",
                   "Panel; Top", ">Panel; Left", ">>\"R\"; Top", ">>Panel; Top", "Panel; Top", ">Panel; Left",
                   "\"T\"; Top", "Panel; Top", ">Panel", ">Panel", ">Panel", ">Panel", ">Panel", ">Panel", ">\"U\""});
        SCOPED_TRACE(std::to_string(R.Dragged) + " onto " + std::to_string(R.Target));
        const std::string Before = DumpNode(F.L.Tree, F.Layout);
        ASSERT_TRUE(F.D.CanDrop(F.N(R.Dragged), F.N(R.Target)));
        EXPECT_TRUE(F.D.Drop(F.N(R.Dragged), F.N(R.Target)));
        EXPECT_NE(DumpNode(F.L.Tree, F.Layout), Before);
        EXPECT_EQ(F.L.Tree.Parent(F.N(R.Dragged)), F.N(R.Parent));
        EXPECT_EQ(F.L.Tree.CanAddChild(F.N(R.Parent)), R.ParentAdds);
        // Read back whole, and stored back whole.
        FakeRegistry Reg;
        F.L.Tree.SaveLayouts(Reg);
        TLayoutTree Back;
        EXPECT_TRUE(Back.LoadLayouts(Reg).Whole());
        EXPECT_EQ(DumpTree(Back), DumpTree(F.L.Tree));
        FakeRegistry Again;
        Back.SaveLayouts(Again);
        EXPECT_EQ(Again.Strings, Reg.Strings);
    }
}

TEST(LayoutDesigner, ChoosingAnApplicationRestartsThePanel)
{
    struct Row {
        int Index;
        std::uint8_t Answer;  // 0 Cancel, 1 No, 2 Yes
        const char* Text;
        int AppIndex;
        const char* Log;
        bool Refused;  // with a message, before anything is asked or closed
    };
    const Row Rows[] = {
        {1, 2, "\"A\"; Left", 1, "close B|open A A.exe", false},
        {2, 1, "\"Lost\"; Left", 0, "release B", false},
        {0, 2, "Panel; Left", 0, "close B", false},
        {1, 0, "\"B\"; Left", 1, "", false},
        {3, 2, "\"B\"; Left", -1, "", true},
    };
    for (const Row& R : Rows) {
        Fixture F({"\"B\"; Left", ">Panel; Top"});
        F.L.SetAppliedLayout(F.Layout);
        F.H.OpenApplication("B", "b.exe", "", F.L.Tree.Data(F.N(0)));
        F.H.Log.clear();
        F.H.Answer = R.Answer;
        F.D.FillAppCombo("");
        F.D.Select(F.N(0));
        F.L.RefreshEditor = false;
        const int OldAppIndex = F.D.AppIndex;
        EXPECT_EQ(F.D.AppComboChange(R.Index), R.Refused ? UnstorableAppNameMessage("A; 2") : "");
        EXPECT_TRUE(F.L.RefreshEditor);
        EXPECT_EQ(F.L.Tree.Text(F.N(0)), R.Text);
        EXPECT_EQ(F.D.AppIndex, R.Refused ? OldAppIndex : R.AppIndex);
        EXPECT_EQ(F.H.Log, R.Log);
        EXPECT_EQ(F.L.Tree.Children(F.N(0)).empty(), R.Answer != 0 && !R.Refused);
        EXPECT_EQ(F.H.CloseReleased, 0);
    }
}

TEST(LayoutDesigner, FillingTheComboWithANameChoosesItForTheSelectedPanel)
{
    // What the application search does with the application it listed.
    struct Row {
        int Selected;
        const char* Name;
        const char* Text;  // of the selected node afterwards
        int AppIndex;
        const char* Log;
    };
    const Row Rows[] = {
        {0, "a", "\"A\"; Left", 1, "open A A.exe"},
        {0, "Zed", "Panel; Left", -1, ""},
        {0, "", "Panel; Left", -1, ""},
        {-1, "A", "L", 1, ""},
    };
    for (const Row& R : Rows) {
        Fixture F({"Panel; Left"});
        F.L.SetAppliedLayout(F.Layout);
        F.D.Select(F.N(R.Selected));
        F.D.FillAppCombo(R.Name);
        EXPECT_EQ(F.L.Tree.Text(F.N(R.Selected)), R.Text) << R.Name;
        EXPECT_EQ(F.D.AppIndex, R.AppIndex) << R.Name;
        EXPECT_EQ(F.H.Log, R.Log) << R.Name;
    }
}

TEST(LayoutDesigner, ASearchedApplicationIsListedOnlyWhenThePanelCanKeepItsName)
{
    struct Row {
        const char* Name;  // of the known application behind the executable
        const char* Method;
        bool Listed;
        const char* Text;     // of the selected panel afterwards
        bool Told;            // the refusal's message
    };
    const Row Rows[] = {
        {"A", "bind", true, "\"A\"; Left", false},
        {"A; 2", "bind", false, "Panel; Left", true},
        // Started outside any panel: the name is not stored.
        {"A; 2", "external", true, "Panel; Left", false},
    };
    for (const Row& R : Rows) {
        ClearDatabase();
        ASSERT_EQ(AddKnownApp(KnownApps, "Cat", R.Name, "", "", R.Method, "tool.exe", "", "", "", "", "", ""),
                  ieOk);
        FakeFileProbe Probe;
        Probe.Add("C:\\tool.exe");
        SetFileProbe(&Probe);
        Fixture F({"Panel; Left"});
        F.L.SetAppliedLayout(F.Layout);
        F.D.Select(F.N(0));
        const std::string Message = F.D.SearchApplication("C:\\tool.exe");
        EXPECT_EQ(F.Apps.Added.size(), R.Listed ? 1u : 0u) << R.Name;
        EXPECT_EQ(F.L.Tree.Text(F.N(0)), R.Text) << R.Name;
        EXPECT_EQ(Message == UnstorableAppNameMessage(R.Name), R.Told) << R.Name << ": " << Message;
        SetFileProbe(nullptr);
    }
    ClearDatabase();
}

TEST(LayoutDesigner, AMovedFreePanelIsStoredInWholePercentOfItsParent)
{
    // Node 1's live bounds inside node 0's (none: node 0 has no panel and
    // the host's 400 x 300 client area counts); stored truncated toward 0.
    struct Row {
        const char* Child;
        std::vector<TLayoutRect> Bounds;  // node 0's (maybe none), node 1's
        const char* Text;                 // nullptr: nothing stored
    };
    const Row Rows[] = {
        {"Panel; Centered; 50%; 50%", {{40, 30, 240, 230}, {50, 40, 140, 230}},
         "Panel; Custom; 5%; 5%; 45%; 95%"},
        {"\"A\"; Custom; 1%; 1%; 1%; 1%", {{40, 30, 240, 230}, {37, 30, 137, 130}},
         "\"A\"; Custom; -1%; 0%; 49%; 50%"},
        {"Panel; Centered; 50%; 50%", {{100, 75, 300, 225}}, "Panel; Custom; 25%; 25%; 50%; 50%"},
        {"Panel; Top; 30%", {{40, 30, 240, 230}, {50, 40, 140, 230}}, nullptr},
        {"Panel; Custom; 1%; 1%; 1%; 1%", {{40, 30, 40, 230}, {40, 40, 40, 230}}, nullptr},
    };
    for (const Row& R : Rows) {
        Fixture F({"Panel; Left", std::string(">").append(R.Child).c_str()});
        F.H.Client = {0, 0, 400, 300};
        FakePanelBounds B;
        B.Bounds[F.N(1)] = R.Bounds.back();
        if (R.Bounds.size() > 1)
            B.Bounds[F.N(0)] = R.Bounds.front();
        EXPECT_EQ(F.D.StorePanelPosition(F.N(1), B), R.Text != nullptr) << R.Child;
        EXPECT_EQ(F.L.Tree.Text(F.N(1)), R.Text ? R.Text : R.Child);
    }
}

namespace {

// Capture and cursors as a log; the drag's panels placed by the fixture.
class FakeDragWindow : public IBorderDragWindow {
public:
    TLayoutRect HostClientRect() override { return {0, 0, 400, 300}; }
    void CaptureMouse() override
    {
        Log += "capture ";
        Captured = true;
    }
    void ReleaseMouse() override
    {
        Log += "release ";
        Captured = false;
    }
    bool HasCapture() override { return Captured; }
    void SetNodeCursor(TNodeId, int Cursor) override
    {
        if (Cursor != crDefault)
            Log += "cursor" + IntToStr(Cursor) + " ";
    }
    std::string Log;
    bool Captured = false;
};

} // namespace

TEST(BorderDrag, OnlyARealDragOfAFreePanelIsStored)
{
    // Mouse steps: 'd' down, 'm' move, 'f' move after the capture was
    // taken away, 'u' up; then the stored texts.
    struct Step {
        char Kind;
        int X, Y;
    };
    struct Row {
        std::vector<Step> Steps;
        const char* Log;
        const char* Texts;
    };
    // Left 50% at 0..200 beside a centred 50% x 50% panel (100,75)-(300,225)
    // whose docked child covers its top 30%.
    const Row Rows[] = {
        {{{'d', 150, 180}, {'u', 150, 180}}, "capture release ", "Panel; Centered; 50%; 50%"},
        {{{'d', 150, 180}, {'m', 170, 170}, {'u', 170, 170}}, "capture release ",
         "Panel; Custom; 30%; 21%; 50%; 50%"},
        {{{'d', 150, 180}, {'f', 170, 170}, {'u', 170, 170}}, "capture ",
         "Panel; Centered; 50%; 50%"},
        {{{'d', 299, 150}, {'m', 319, 150}, {'u', 0, 0}}, "capture release ",
         "Panel; Custom; 25%; 25%; 55%; 50%"},
        {{{'m', 299, 150}, {'d', 5, 5}, {'u', 5, 5}}, "cursor-9 ", "Panel; Centered; 50%; 50%"},
    };
    for (const Row& R : Rows) {
        TLayoutTree T;
        const TNodeId L = T.AddNode(NoNode, "L", nkAppliedLayout);
        T.AppliedLayout = L;
        T.AddNode(L, "Panel; Left; 50%", nkPanel);
        const TNodeId C = T.AddNode(L, "Panel; Centered; 50%; 50%", nkPanel);
        T.AddNode(C, "Panel; Top; 30%", nkPanel);
        FakePanelBounds B;
        B.Place(T, L, {0, 0, 400, 300});
        FakeDragWindow W;
        TBorderDragger Drag(T, B, W);
        Drag.OnStorePosition = [&](TNodeId N) {
            TLayoutRect P;
            B.PanelBounds(N, P);
            T.SetText(N, CustomNodeText(T.Text(N), P.Left / 4, P.Top / 3, (P.Right - P.Left) / 4,
                                        (P.Bottom - P.Top) / 3));
        };
        for (const Step& S : R.Steps) {
            if (S.Kind == 'd')
                Drag.MouseDown(true, S.X, S.Y);
            else if (S.Kind == 'u')
                Drag.MouseUp();
            else {
                W.Captured = W.Captured && S.Kind == 'm';
                Drag.MouseMove(S.X, S.Y);
            }
        }
        EXPECT_FALSE(Drag.Dragging);
        EXPECT_EQ(W.Log, R.Log) << R.Texts;
        EXPECT_EQ(T.Text(C), R.Texts);
    }
}
