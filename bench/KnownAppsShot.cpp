// Shows the known-applications window in viewing mode over a rules file
// (first argument), with every other entry counted as found, the mouse over
// the first Properties icon, and saves a picture of it as a PNG (second
// argument). Run by hand under Wine.
#include "dialogs/knownapplistWin.h"
#include "hosting/RulesFile.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include "PngShot.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::printf("knownapps_shot RULES.def OUT.png\n");
        return 2;
    }
    std::ifstream In(argv[1], std::ios::binary);
    std::stringstream Text;
    Text << In.rdbuf();
    StringList Lines;
    TextToLines(Text.str(), Lines);
    int Line = 0;
    if (ReadApplicationRules(Lines, Line) != 0) {
        std::printf("the rules file does not read (line %d)\n", Line);
        return 1;
    }
    TApplication App;
    App.SetTitle("Tessarine Quorvan");
    auto* F = new TKnownAppsForm(&App);
    F->ListedApplications = [](StringList& L) {
        for (int I = 0; I < KnownApps.Count(); I += 2)
            L.push_back(KnownApps.GetKnownApp(I)->Name + "|");
    };
    // Wide enough for the Properties column; the window is made for it.
    F->EnsureHandle();
    F->SetBounds(10, 10, 1260, 520);
    bool Saved = false;
    Timer T(&App, 1500);
    T.OnTimer = [&] {
        T.SetEnabled(false);
        TDatabaseGridWin* A = F->AppTable;
        const RECT R = A->CellRect(A->Grid.ColumnIndex("Properties"), 1);
        ::SendMessageA(A->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(R.left + 6, R.top + 6));
        ::RedrawWindow(F->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        App.ProcessMessages();
        Saved = SaveWindowPng(F->Handle(), argv[2]);
        F->ModalResult = mrCancel;
    };
    F->ShowKnownApps(false, 20);
    std::printf(Saved ? "saved %s\n" : "could not save %s\n", argv[2]);
    return Saved ? 0 : 1;
}
