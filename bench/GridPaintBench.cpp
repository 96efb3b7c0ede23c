// grid_paint_bench: painting the named-column grid with 5,000 records: one
// full repaint of the window, and a scroll by a page (scroll bar message
// and the repaint it causes). Run by hand, e.g. under Wine on a display:
//   wine grid_paint_bench.exe [runs]
#include "components/DatabaseGridWin.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include "BenchTiming.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int RecordCount = 5000;

struct Figures {
    double Mean = 0, Best = 0, Worst = 0;
};

template <typename F> Figures Time(int Runs, F&& Step)
{
    std::vector<double> T;
    for (int I = 0; I < Runs; ++I) {
        const LARGE_INTEGER A = Now();
        Step(I);
        T.push_back(Ms(A, Now()));
    }
    Figures R;
    for (double X : T)
        R.Mean += X / Runs;
    R.Best = *std::min_element(T.begin(), T.end());
    R.Worst = *std::max_element(T.begin(), T.end());
    return R;
}

void Report(const char* What, const Figures& F)
{
    std::printf("%-34s mean %7.3f ms  best %7.3f ms  worst %7.3f ms\n", What, F.Mean, F.Best, F.Worst);
}

} // namespace

int main(int Argc, char** Argv)
{
    const int Runs = Argc > 1 ? std::max(1, std::atoi(Argv[1])) : 50;
    TApplication App;
    FormArgs FA;
    FA.Caption = "grid_paint_bench";
    FA.ClientWidth = 900;
    FA.ClientHeight = 700;
    auto* Main = new Form(&App, FA);
    StringGridArgs A;
    A.Parent = Main;
    A.Align = TAlign::Client;
    A.Editing = true;
    auto* T = new TDatabaseGridWin(Main, A);
    TDatabaseGrid& G = T->Grid;
    G.SetDatabaseColumns("Id|Flags|Application|Location|Version");
    G.SetPrimaryKeyColumn("Id");
    G.SetColumnTypes("number|text|text|file|text");
    G.SetOwnerDrawColumns("Flags");
    G.setcolumnwidths("50|40|200|420|80");
    G.SetShortenFileNames(true);
    G.SetMarkedIds("3|30|300|3000");
    const LARGE_INTEGER FillStart = Now();
    G.SetRecordCount(RecordCount);
    for (int R = 1; R <= RecordCount; ++R) {
        G.SetCell(0, R, std::to_string(R));
        G.SetCell(1, R, R % 3 == 0 ? "N" : "");
        G.SetCell(2, R, "Application number " + std::to_string(R));
        G.SetCell(3, R, "C:\\Program Files\\Spectrum Tools\\Folder " + std::to_string(R % 97) +
                            "\\Sub folder\\program" + std::to_string(R) + ".exe");
        G.SetCell(4, R, "1." + std::to_string(R % 10));
    }
    const double FillMs = Ms(FillStart, Now());
    // Owner drawing as the application list does it: a letter as a mark.
    T->OnOwnerDrawCell = [](TDatabaseGridWin&, int, int, const std::string&, const std::string& V,
                            const RECT& R, Canvas& C) {
        if (!V.empty()) {
            C.BrushColor = 0x00C0FFC0;
            C.FillRect(R);
            C.TextRect(R, R.left + 4, R.top + 2, V);
        }
    };
    Main->Show();
    ::SetFocus(T->Handle());
    ::UpdateWindow(T->Handle());
    App.ProcessMessages();

    const Figures Full = Time(Runs, [&](int) {
        ::InvalidateRect(T->Handle(), nullptr, FALSE);
        ::UpdateWindow(T->Handle());
    });
    const Figures Page = Time(Runs, [&](int) {
        if (T->TopRow() >= T->Geometry().MaxTopRow())
            ::SendMessageA(T->Handle(), WM_VSCROLL, SB_TOP, 0);
        ::SendMessageA(T->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
        ::UpdateWindow(T->Handle());
    });
    App.ProcessMessages();
    std::printf("grid of %d records, %d x %d cells in view, %d runs\n", RecordCount,
                T->Geometry().VisibleColCount(), T->Geometry().VisibleRowCount(), Runs);
    std::printf("%-34s %7.3f ms\n", "filling the model", FillMs);
    Report("full repaint", Full);
    Report("scroll by a page and repaint", Page);
    delete Main;
    return 0;
}
