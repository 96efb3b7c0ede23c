// grid_paint_bench: painting the named-column grid with 5,000 records: one
// full repaint of the window, and a scroll by a page (scroll bar message
// and the repaint it causes); the baseline is a bare report-style ListView
// of the same size with the same rows and columns, timed the same way.
// Prints medians, baseline and ratio. Run by scripts/bench.sh, or by hand
// under Wine on a display:
//   wine grid_paint_bench.exe [runs]
#include "components/DatabaseGridWin.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include "BenchTiming.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int RecordCount = 5000;

const int ColumnWidths[] = {50, 40, 200, 420, 80};

// The cell texts of record R (1-based), column by column.
std::string CellText(int Column, int R)
{
    switch (Column) {
    case 0: return std::to_string(R);
    case 1: return R % 3 == 0 ? "N" : "";
    case 2: return "Application number " + std::to_string(R);
    case 3:
        return "C:\\Program Files\\Spectrum Tools\\Folder " + std::to_string(R % 97) +
               "\\Sub folder\\program" + std::to_string(R) + ".exe";
    default: return "1." + std::to_string(R % 10);
    }
}

template <typename F> double Timed(F&& Step)
{
    const LARGE_INTEGER A = Now();
    Step();
    return Ms(A, Now());
}

double Median(std::vector<double> T)
{
    std::sort(T.begin(), T.end());
    const std::size_t N = T.size();
    return N % 2 ? T[N / 2] : (T[N / 2 - 1] + T[N / 2]) / 2;
}

void Report(const char* What, const std::vector<double>& Figure, const std::vector<double>& Baseline)
{
    const double F = Median(Figure), B = Median(Baseline);
    std::printf("%-30s median %8.3f ms  baseline %8.3f ms  ratio %5.2fx\n", What, F, B,
                B > 0 ? F / B : 0.0);
}

// A page down, or back to the top from the last page, and its repaint.
void PageDown(HWND W, bool AtEnd)
{
    if (AtEnd)
        ::SendMessageA(W, WM_VSCROLL, SB_TOP, 0);
    ::SendMessageA(W, WM_VSCROLL, SB_PAGEDOWN, 0);
    ::UpdateWindow(W);
}

void Repaint(HWND W)
{
    ::InvalidateRect(W, nullptr, FALSE);
    ::UpdateWindow(W);
}

// The baseline: a report-style ListView in a form of the grid's size.
HWND MakeListView(Form* Owner)
{
    HWND List = ::CreateWindowExA(0, WC_LISTVIEWA, "",
                                  WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0,
                                  Owner->ClientRect().right, Owner->ClientRect().bottom,
                                  Owner->Handle(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(List, WM_SETFONT, ::SendMessageA(Owner->Handle(), WM_GETFONT, 0, 0), FALSE);
    const char* Names[] = {"Id", "Flags", "Application", "Location", "Version"};
    for (int C = 0; C < 5; ++C) {
        LVCOLUMNA Col = {};
        Col.mask = LVCF_TEXT | LVCF_WIDTH;
        Col.cx = ColumnWidths[C];
        Col.pszText = const_cast<char*>(Names[C]);
        ::SendMessageA(List, LVM_INSERTCOLUMNA, static_cast<WPARAM>(C), reinterpret_cast<LPARAM>(&Col));
    }
    ::SendMessageA(List, LVM_SETITEMCOUNT, RecordCount, 0);
    for (int R = 1; R <= RecordCount; ++R) {
        for (int C = 0; C < 5; ++C) {
            std::string Text = CellText(C, R);
            LVITEMA Item = {};
            Item.mask = LVIF_TEXT;
            Item.iItem = R - 1;
            Item.iSubItem = C;
            Item.pszText = Text.data();
            ::SendMessageA(List, C == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA,
                           static_cast<WPARAM>(R - 1), reinterpret_cast<LPARAM>(&Item));
        }
    }
    return List;
}

bool ListAtEnd(HWND List)
{
    SCROLLINFO Si = {};
    Si.cbSize = sizeof(Si);
    Si.fMask = SIF_ALL;
    ::GetScrollInfo(List, SB_VERT, &Si);
    return Si.nPos + static_cast<int>(Si.nPage) > Si.nMax;
}

} // namespace

int main(int Argc, char** Argv)
{
    const int Runs = Argc > 1 ? std::max(10, std::atoi(Argv[1])) : 50;
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
    for (int R = 1; R <= RecordCount; ++R)
        for (int C = 0; C < 5; ++C)
            G.SetCell(C, R, CellText(C, R));
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

    FA.Caption = "grid_paint_bench baseline";
    auto* Other = new Form(&App, FA);
    HWND List = MakeListView(Other);
    Other->Show();
    ::UpdateWindow(List);
    App.ProcessMessages();

    HWND Grid = T->Handle();
    const auto GridAtEnd = [&] { return T->TopRow() >= T->Geometry().MaxTopRow(); };
    // Turn by turn, so that a busy spell of the machine hits both alike.
    std::vector<double> FullGrid, FullList, PageGrid, PageList;
    for (int I = 0; I < Runs; ++I) {
        FullGrid.push_back(Timed([&] { Repaint(Grid); }));
        FullList.push_back(Timed([&] { Repaint(List); }));
        const bool GridEnd = GridAtEnd(), ListEnd = ListAtEnd(List);
        PageGrid.push_back(Timed([&] { PageDown(Grid, GridEnd); }));
        PageList.push_back(Timed([&] { PageDown(List, ListEnd); }));
    }
    App.ProcessMessages();
    std::printf("grid of %d records, %d x %d cells in view, %d runs each\n", RecordCount,
                T->Geometry().VisibleColCount(), T->Geometry().VisibleRowCount(), Runs);
    std::printf("%-30s %8.3f ms\n", "filling the model", FillMs);
    Report("full repaint", FullGrid, FullList);
    Report("scroll by a page and repaint", PageGrid, PageList);
    delete Other;
    delete Main;
    return 0;
}
