#include "mainwindow/WindowPosition.h"

#include <algorithm>
#include <climits>

namespace {

const char* const Names[] = {"State", "LeftPos", "TopPos", "Width", "Height"};

long long Overlap(const TWindowRect& A, const TWindowRect& B)
{
    const long long W = std::min(0LL + A.Left + A.Width, 0LL + B.Left + B.Width) -
                        std::max(A.Left, B.Left);
    const long long H = std::min(0LL + A.Top + A.Height, 0LL + B.Top + B.Height) -
                        std::max(A.Top, B.Top);
    return W > 0 && H > 0 ? W * H : 0;
}

// Distance along one axis between [A, A+La) and [B, B+Lb); 0 when they meet.
long long Gap(long long A, long long La, long long B, long long Lb)
{
    if (A + La < B)
        return B - (A + La);
    if (B + Lb < A)
        return A - (B + Lb);
    return 0;
}

int Fit(int Pos, int Len, int AreaPos, int AreaLen)
{
    long long P = Pos;
    if (P + Len > static_cast<long long>(AreaPos) + AreaLen)
        P = static_cast<long long>(AreaPos) + AreaLen - Len;
    return static_cast<int>(std::max<long long>(P, AreaPos));
}

}  // namespace

bool operator==(const TWindowRect& A, const TWindowRect& B)
{
    return A.Left == B.Left && A.Top == B.Top && A.Width == B.Width && A.Height == B.Height;
}

bool SaveWindowPosition(ISettingsStore& Store, const IWindowStateTarget& Form,
                        const std::string& Prefix)
{
    const TWindowRect B = Form.Bounds();
    const int Values[] = {Form.WindowState(), B.Left, B.Top, B.Width, B.Height};
    for (int I = 0; I < 5; ++I)
        if (!Store.WriteInteger(Prefix + Names[I], Values[I]))
            return false;
    return true;
}

int LoadWindowPosition(ISettingsStore& Store, IWindowStateTarget& Form, const std::string& Prefix,
                       const std::vector<TWindowRect>& WorkAreas, int MinWidth, int MinHeight)
{
    const TWindowRect Designed = Form.Bounds();
    int Read = 0;
    for (; Read < 5; ++Read) {
        int Value = 0;
        if (!Store.ReadInteger(Prefix + Names[Read], Value))
            break;
        if (Read == 0) {
            // A program that starts minimized looks as if it had not started.
            if (Value >= wsNormal && Value <= wsMaximized)
                Form.SetWindowState(Value == wsMinimized ? wsNormal : Value);
            continue;
        }
        // A size below the least a window can have was never this one's
        // (the system would make it a bare title): the designed one stands in.
        if (!WorkAreas.empty() && Read == 3 && Value < MinWidth)
            Value = Designed.Width;
        if (!WorkAreas.empty() && Read == 4 && Value < MinHeight)
            Value = Designed.Height;
        TWindowRect B = Form.Bounds();
        int* Field[] = {nullptr, &B.Left, &B.Top, &B.Width, &B.Height};
        *Field[Read] = Value;
        Form.SetBounds(B);
    }
    if (Read > 1 && !WorkAreas.empty()) {
        const TWindowRect B = Form.Bounds();
        const TWindowRect C = ClampToWorkArea(B, WorkAreas, MinWidth, MinHeight);
        if (!(C == B))
            Form.SetBounds(C);
    }
    return Read;
}

TWindowRect ClampToWorkArea(const TWindowRect& R, const std::vector<TWindowRect>& WorkAreas,
                            int MinWidth, int MinHeight)
{
    if (WorkAreas.empty())
        return R;
    // No window is smaller than the least size: on an area that cannot hold
    // it, it would reach onto a neighbour, which the next reading could
    // prefer. Such areas are passed over; when every one is that small, the
    // largest takes the window, wherever it was.
    const auto Holds = [&](const TWindowRect& A) {
        return A.Width >= MinWidth && A.Height >= MinHeight;
    };
    const auto Size = [](const TWindowRect& A) { return 1LL * A.Width * A.Height; };
    const TWindowRect* Largest = &WorkAreas.front();
    for (const TWindowRect& A : WorkAreas)
        if (Size(A) > Size(*Largest))
            Largest = &A;
    const bool AnyHolds = std::any_of(WorkAreas.begin(), WorkAreas.end(), Holds);
    const TWindowRect* Best = Largest;
    long long BestOverlap = -1, BestGap = LLONG_MAX;
    for (const TWindowRect& A : WorkAreas) {
        if (AnyHolds ? !Holds(A) : &A != Largest)
            continue;
        const long long O = Overlap(R, A);
        const long long G = Gap(R.Left, R.Width, A.Left, A.Width) +
                            Gap(R.Top, R.Height, A.Top, A.Height);
        if (O > BestOverlap || (O == 0 && BestOverlap == 0 && G < BestGap)) {
            Best = &A;
            BestOverlap = O;
            BestGap = G;
        }
    }
    const TWindowRect& A = *Best;
    TWindowRect C = R;
    C.Width = std::max(std::min(C.Width, A.Width), MinWidth);
    C.Height = std::max(std::min(C.Height, A.Height), MinHeight);
    C.Left = Fit(C.Left, C.Width, A.Left, A.Width);
    C.Top = Fit(C.Top, C.Height, A.Top, A.Height);
    return C;
}
