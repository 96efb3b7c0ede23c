// Program entry: the application object, the main window, the loop.
#include "hosting/IdentifyWin.h"
#include "mainwindow/main.h"
#include "toolkit/Application.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SetFileProbe(&Win32FileProbe);
    TApplication App;
    App.SetTitle("Tessarine Quorvan");
    auto* Main = new Tmainform(&App);
    App.MainForm = Main;
    Main->Show();
    App.Run();
    return 0;
}
