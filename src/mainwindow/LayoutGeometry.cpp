#include "mainwindow/LayoutGeometry.h"

#include <climits>
#include <cmath>

int RectWidth(const TLayoutRect& R)
{
    return SaturateToInt(static_cast<long long>(R.Right) - R.Left);
}

int RectHeight(const TLayoutRect& R)
{
    return SaturateToInt(static_cast<long long>(R.Bottom) - R.Top);
}

int RoundHalfEven(double X)
{
    if (std::isnan(X))
        return 0;
    if (X >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (X <= static_cast<double>(INT_MIN))
        return INT_MIN;
    const double F = std::floor(X);
    const double D = X - F;
    long long R = static_cast<long long>(F);
    if (D > 0.5 || (D == 0.5 && (R & 1) != 0))
        ++R;
    return static_cast<int>(R);
}

std::string FormatShare(long long Hundredths)
{
    const bool Negative = Hundredths < 0;
    const unsigned long long A =
        Negative ? 0ull - static_cast<unsigned long long>(Hundredths) : Hundredths;
    const unsigned Cents = static_cast<unsigned>(A % 100);
    std::string S = (Negative ? "-" : "") + std::to_string(A / 100) + "." +
                    static_cast<char>('0' + Cents / 10) + static_cast<char>('0' + Cents % 10);
    if (S.size() < 6)
        S.insert(0, 6 - S.size(), ' ');
    return S;
}

namespace {

struct SideItem {
    long long Value;  // the percentage, or hundredths of the share for a star
    bool Star;
};

// The side-docked children's items, stars resolved to the share.
std::vector<SideItem> SideItems(const TLayoutTree& Tree, TNodeId Node)
{
    std::vector<SideItem> Items;
    long long Sum = 0;
    long long Stars = 0;
    for (const TNodeId C : Tree.Children(Node)) {
        if (!Tree.OrientationIn(C, SideDocked))
            continue;
        const int V = ParsePercent(NodeField(Tree.Text(C), 3));
        Items.push_back({V, V == 0});
        Sum += V;
        Stars += V == 0 ? 1 : 0;
    }
    if (Stars == 0)
        return Items;
    // (100 - sum) / stars to two decimals, ties to even, in integers.
    const long long N = (100 - Sum) * 100;
    long long Q = N / Stars;
    long long R = N % Stars;
    if (R < 0) {
        Q -= 1;
        R += Stars;
    }
    if (2 * R > Stars || (2 * R == Stars && (Q & 1) != 0))
        ++Q;
    for (SideItem& I : Items)
        if (I.Star)
            I.Value = Q;
    return Items;
}

// Percentages may put rectangles at the ends of the int range.
int Moved(int V, int By)
{
    return RoundHalfEven(static_cast<double>(V) + By);
}

TLayoutRect Shrunk(const TLayoutRect& R, int By)
{
    return {Moved(R.Left, By), Moved(R.Top, By), Moved(R.Right, -By), Moved(R.Bottom, -By)};
}

class Collector : public ILayoutVisitor {
public:
    void VisitNode(TNodeId Node, const TLayoutRect& R) override { Out.emplace_back(Node, R); }
    TLayoutPlacement Out;
};

class PreviewPainter : public ILayoutVisitor {
public:
    PreviewPainter(const TLayoutTree& Tree, TNodeId Selected, ILayoutCanvas& Canvas,
                   const TLayoutRect& SelRect)
        : Tree(Tree), Selected(Selected), Canvas(Canvas), SelRect(SelRect)
    {
    }
    void VisitNode(TNodeId Node, const TLayoutRect& R) override
    {
        if (Tree.IsAppNode(Node)) {
            Canvas.Rectangle(R, false);
            Canvas.WrappedText(Shrunk(R, 10), NodeField(Tree.Text(Node), 1));
        } else {
            Canvas.Rectangle(R, true);
        }
        if (Node == Selected)
            SelRect = R;
    }

    const TLayoutTree& Tree;
    TNodeId Selected;
    ILayoutCanvas& Canvas;
    TLayoutRect SelRect;
};

} // namespace

int SidePercentList(const TLayoutTree& Tree, TNodeId Node, std::string& List)
{
    List.clear();
    const std::vector<SideItem> Items = SideItems(Tree, Node);
    for (std::size_t I = 0; I < Items.size(); ++I) {
        if (I > 0)
            List += '|';
        List += Items[I].Star ? FormatShare(Items[I].Value) : std::to_string(Items[I].Value);
    }
    return static_cast<int>(Items.size());
}

std::vector<double> SidePercents(const TLayoutTree& Tree, TNodeId Node)
{
    std::vector<double> P;
    for (const SideItem& I : SideItems(Tree, Node))
        P.push_back(I.Star ? static_cast<double>(I.Value) / 100.0 : static_cast<double>(I.Value));
    return P;
}

void LayoutPanels(const TLayoutTree& Tree, TNodeId Node, const TLayoutRect& R,
                  std::uint8_t Mode, ILayoutVisitor& Visitor)
{
    if (!Tree.Exists(Node))
        return;
    // An explicit stack, in visiting order: a loaded tree may be deep.
    std::vector<std::pair<TNodeId, TLayoutRect>> Stack{{Node, R}};
    while (!Stack.empty()) {
        const auto [N, Outer] = Stack.back();
        Stack.pop_back();
        Visitor.VisitNode(N, Outer);
        const TLayoutRect In = Mode == lmDraw ? Shrunk(Outer, 5) : Outer;
        const double W = static_cast<double>(In.Right) - In.Left + 1;
        const double H = static_cast<double>(In.Bottom) - In.Top + 1;
        const std::vector<double> Shares = SidePercents(Tree, N);
        double S = 0;
        std::size_t K = 0;
        std::vector<std::pair<TNodeId, TLayoutRect>> Placed;
        for (const TNodeId C : Tree.Children(N)) {
            if (!Tree.IsPanelOrApp(C))
                continue;
            const std::string Text = Tree.Text(C);
            auto Pct = [&](int Field) { return static_cast<double>(ParsePercent(NodeField(Text, Field))); };
            TLayoutRect Cr;
            switch (Tree.NodeOrientation(C, loNone)) {
            case loLeft:
            case loTop:
            case loRight:
            case loBottom: {
                const double P = Shares[K++];
                const int O = Tree.NodeOrientation(C, loNone);
                Cr = In;
                if (O == loLeft) {
                    Cr.Left = RoundHalfEven(In.Left + W * S / 100);
                    Cr.Right = RoundHalfEven(In.Left + W * (S + P) / 100);
                } else if (O == loTop) {
                    Cr.Top = RoundHalfEven(In.Top + H * S / 100);
                    Cr.Bottom = RoundHalfEven(In.Top + H * (S + P) / 100);
                } else if (O == loRight) {
                    Cr.Right = RoundHalfEven(In.Right - W * S / 100);
                    Cr.Left = RoundHalfEven(In.Right - W * (S + P) / 100);
                } else {
                    Cr.Bottom = RoundHalfEven(In.Bottom - H * S / 100);
                    Cr.Top = RoundHalfEven(In.Bottom - H * (S + P) / 100);
                }
                S += P;
                break;
            }
            case loCentered: {
                const double Dw = (100 - Pct(3)) / 2;
                const double Dh = (100 - Pct(4)) / 2;
                Cr.Top = RoundHalfEven(In.Top + Dh * H / 100);
                Cr.Left = RoundHalfEven(In.Left + Dw * W / 100);
                Cr.Bottom = RoundHalfEven(In.Bottom - Dh * H / 100);
                Cr.Right = RoundHalfEven(In.Right - Dw * W / 100);
                break;
            }
            case loCustom: {
                const double X = Pct(3), Y = Pct(4), Cw = Pct(5), Ch = Pct(6);
                Cr.Top = RoundHalfEven(In.Top + Y * H / 100);
                Cr.Left = RoundHalfEven(In.Left + X * W / 100);
                Cr.Bottom = RoundHalfEven(In.Top + (Y + Ch) * H / 100);
                Cr.Right = RoundHalfEven(In.Left + (X + Cw) * W / 100);
                break;
            }
            default:
                continue;
            }
            Placed.emplace_back(C, Cr);
        }
        Stack.insert(Stack.end(), Placed.rbegin(), Placed.rend());
    }
}

TLayoutPlacement ComputeLayout(const TLayoutTree& Tree, TNodeId Node, const TLayoutRect& R,
                               std::uint8_t Mode)
{
    Collector C;
    LayoutPanels(Tree, Node, R, Mode, C);
    return C.Out;
}

void PaintLayoutPreview(const TLayoutTree& Tree, TNodeId Selected, const TLayoutRect& Area,
                        ILayoutCanvas& Canvas)
{
    if (!Tree.Exists(Selected))
        return;
    PreviewPainter P(Tree, Selected, Canvas, Area);
    LayoutPanels(Tree, Tree.LayoutRootOf(Selected), Area, lmDraw, P);
    Canvas.SelectionFrame(P.SelRect);
}
