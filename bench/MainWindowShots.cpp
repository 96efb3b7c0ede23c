// mainwindow_shots: screenshots of the main window as PNG files, run by hand
// under Wine on a display with a window manager:
//   wine mainwindow_shots.exe FOLDER
// mainwindow_layout.png shows an applied layout of three panels,
// mainwindow_tool_panel.png the floating tool panel over the middle one.
#include "dialogs/applicationlistWin.h"
#include "hosting/AppPanel.h"
#include "hosting/IdentifyWin.h"
#include "hosting/confirmation.h"
#include "mainwindow/main.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include "PngShot.h"

#include <cstdio>
#include <string>

namespace {

// Runs the loop, idle passes included, for Ms milliseconds.
void RunFor(TApplication& App, DWORD Ms)
{
    const DWORD Start = ::GetTickCount();
    Timer Wake(nullptr, 20);
    Wake.OnTimer = [] {};
    App.RunModalLoop([&] { return ::GetTickCount() - Start > Ms; });
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string Dir = argc > 1 ? argv[1] : ".";
    SetFileProbe(&Win32FileProbe);
    TApplication App;
    App.SetTitle("Tessarine Quorvan");
    auto* Main = new Tmainform(&App);
    App.MainForm = Main;
    new TApplicationListForm(&App);
    new TConfirmationForm(&App);
    ::SetWindowPos(Main->Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Main->Show();
    RunFor(App, 500);
    Main->FormActivate();
    TLayoutTree& Tree = Main->Layouts->Tree;
    const TNodeId Layout = Tree.CreateLayoutNode("Three panels", nkLayout);
    for (int I = 0; I < 3; ++I)
        Tree.AddChildPanel(Layout);
    Main->LayoutsMenuClick(Layout);
    // The mouse off the window: no panel is under it yet.
    ::SetCursorPos(1200, 1000);
    RunFor(App, 500);
    bool Ok = SaveWindowPng(Main->Handle(), Dir + "\\mainwindow_layout.png");
    const TNodeId Middle = Tree.Children(Layout)[1];
    RECT R;
    ::GetWindowRect(Tree.Data(Middle)->Handle(), &R);
    ::SetCursorPos(R.left + 120, R.top + 60);
    RunFor(App, 500);
    Ok = SaveWindowPng(Main->Handle(), Dir + "\\mainwindow_tool_panel.png") && Ok;
    std::printf("%s\n", Ok ? "saved" : "failed");
    return Ok ? 0 : 1;
}
