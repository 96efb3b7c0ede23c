// Fuzz entry point for the layouts' stored form. The input's first line is
// "LayoutsCount" (missing when it is no number), every further line the next
// "LayoutsNode" value. Besides memory errors it checks that whatever was
// read is a sound tree within the node cap, that every value there is kept
// or told as left out and none that is not there is counted, that it writes out as values
// that read back to the same tree, and that the geometry, the preview and
// the structural operations and border dragging cope with any tree the reader accepts.
#include "mainwindow/LayoutBorders.h"
#include "mainwindow/LayoutGeometry.h"
#include "mainwindow/LayoutTree.h"

#include "hosting/Velmora.h"

#include "mainwindow/LayoutTestSupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

void Require(bool Condition)
{
    if (!Condition)
        std::abort();
}

class NullCanvas : public ILayoutCanvas {
public:
    void Rectangle(const TLayoutRect&, bool) override { ++Calls; }
    void WrappedText(const TLayoutRect&, const std::string&) override { ++Calls; }
    void SelectionFrame(const TLayoutRect&) override { ++Calls; }
    int Calls = 0;
};

using Shape = std::vector<std::tuple<std::uint8_t, std::string, int>>;

// Kind, text and level of every node in absolute-index order.
Shape ShapeOf(const TLayoutTree& T)
{
    Shape S;
    for (const TNodeId N : T.AllNodes())
        S.emplace_back(T.Kind(N), T.Text(N), T.Level(N));
    return S;
}

// Within the node cap, which both the reader and the structural operations
// keep; a parent and its children agree.
void CheckSound(const TLayoutTree& T)
{
    const std::vector<TNodeId> All = T.AllNodes();
    Require(static_cast<int>(All.size()) == T.Count() && T.Count() <= MaxStoredNodes);
    for (const TNodeId N : All) {
        Require(T.Kind(N) == nkLayout || T.Kind(N) == nkPanel || T.Kind(N) == nkApp);
        const TNodeId P = T.Parent(N);
        if (P != NoNode) {
            const std::vector<TNodeId>& C = T.Children(P);
            Require(std::count(C.begin(), C.end(), N) == 1);
        }
    }
}

void Exercise(TLayoutTree& T, const std::string& Text)
{
    NullCanvas Canvas;
    const TLayoutRect Host{0, 0, 762, 526};
    for (const TNodeId R : std::vector<TNodeId>(T.Roots())) {
        std::string List;
        SidePercentList(T, R, List);
        for (const auto& [N, Rect] : ComputeLayout(T, R, Host, lmPlace))
            Require(T.Exists(N) && (N == R || T.IsPanelOrApp(N)));
        PaintLayoutPreview(T, R, Host, Canvas);
        // Drags from points and steps the input's bytes give.
        FakePanelBounds Panels;
        Panels.Place(T, R, Host);
        TPanelBorderList Borders(T, Panels);
        for (std::size_t I = 0; I + 3 < Text.size() && I < 32; I += 4) {
            const auto Byte = [&](std::size_t K) { return static_cast<unsigned char>(Text[I + K]); };
            if (!Borders.StartDrag(R, Host, Byte(0) * 3, Byte(1) * 2))
                continue;
            bool OkY, OkX;
            Borders.CheckMove(Host, Byte(2) - 128, Byte(3) - 128, OkY, OkX);
            Borders.ApplyMove(Host, OkX ? Byte(2) - 128 : 0, OkY ? Byte(3) - 128 : 0);
        }
    }
    // Structural operations driven by the input's bytes.
    const std::vector<TNodeId> All = T.AllNodes();
    for (std::size_t I = 0; I < Text.size() && I < 64 && !All.empty(); ++I) {
        const TNodeId N = All[static_cast<unsigned char>(Text[I]) % All.size()];
        if (!T.Exists(N))
            continue;
        switch (static_cast<unsigned char>(Text[I]) % 7) {
        case 0: T.AddChildPanel(N); break;
        case 1: T.AddNeighbourPanel(N); break;
        case 2: T.RotateGroup(N, true); break;
        case 3: T.MoveUp(N); break;
        case 4: T.MoveDown(N); break;
        case 5: T.SetAppNode(N, "x"); break;
        default: T.Delete(N); break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    StringList Lines;
    SplitToStrings(Lines, Text, '\n');
    FakeRegistry Reg;
    int Count;
    if (!Lines.empty() && TryStrToInt(Lines[0], Count))
        Reg.Ints["LayoutsCount"] = Count;
    for (std::size_t I = 1; I < Lines.size(); ++I)
        Reg.Strings["LayoutsNode" + IntToStr(static_cast<long long>(I - 1))] = Lines[I];

    TLayoutTree T;
    T.AddNode(NoNode, "before", nkLayout);
    const TLayoutsReadReport Report = T.LoadLayouts(Reg);
    CheckSound(T);
    // No more values are read than announced (without a count, than are
    // stored), and never past the cap, so a damaged count costs nothing.
    const auto Announced = Reg.Ints.find("LayoutsCount");
    const int Stored = static_cast<int>(Lines.size()) - 1;
    const int Readable = Announced == Reg.Ints.end() || Announced->second < 0 ? Stored : Announced->second;
    Require(Reg.StringReads <= std::max(0, std::min(Readable, MaxStoredNodes)));
    // Whatever was left out is told.
    Require(Report.Whole() == LayoutsReadMessage(Report).empty());
    Require(Report.Unreadable + Report.Orphans + Report.Read == Report.Stored);
    Require(Reg.StringReads == 0 || Report.Read == T.Count());
    int There = 0;
    for (int I = 0; I < std::min(Reg.StringReads, MaxStoredNodes); ++I)
        There += Reg.ValueExists(StoredNodeName(I)) ? 1 : 0;
    Require(Report.Stored == There);

    FakeRegistry Saved;
    T.SaveLayouts(Saved);
    TLayoutTree Back;
    Back.LoadLayouts(Saved);
    Require(ShapeOf(Back) == ShapeOf(T));

    Exercise(T, Text);
    CheckSound(T);
    return 0;
}
