// Shows the application list window with a few records and writes a
// picture of it as a 24-bit BMP (first argument), at its own size or at the
// width given second. Run by hand under Wine;
// the programs it lists are the test programs built next to it.
#include "dialogs/ConfirmDuplicatesWin.h"
#include "dialogs/applicationlistWin.h"
#include "dialogs/progressesWin.h"
#include "hosting/IdentifyWin.h"
#include "shell/ShellLibrary.h"
#include "toolkit/Application.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

static std::string ExeDir()
{
    char Path[MAX_PATH];
    const DWORD Len = ::GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string S(Path, Len);
    return S.substr(0, S.find_last_of("\\/") + 1);
}

static bool SaveWindow(HWND Wnd, const char* FileName)
{
    RECT R;
    ::GetWindowRect(Wnd, &R);
    const int W = R.right - R.left, H = R.bottom - R.top;
    HDC Screen = ::GetDC(nullptr);
    HDC Mem = ::CreateCompatibleDC(Screen);
    BITMAPINFO Info = {};
    Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
    Info.bmiHeader.biWidth = W;
    Info.bmiHeader.biHeight = H;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 24;
    void* Bits = nullptr;
    HBITMAP Bmp = ::CreateDIBSection(Screen, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    HGDIOBJ Old = ::SelectObject(Mem, Bmp);
    ::BitBlt(Mem, 0, 0, W, H, Screen, R.left, R.top, SRCCOPY);
    ::SelectObject(Mem, Old);
    const DWORD Stride = (static_cast<DWORD>(W) * 3 + 3) & ~3u;
    BITMAPFILEHEADER File = {};
    File.bfType = 0x4D42;
    File.bfOffBits = sizeof(File) + sizeof(Info.bmiHeader);
    File.bfSize = File.bfOffBits + Stride * static_cast<DWORD>(H);
    bool Ok = false;
    if (FILE* F = std::fopen(FileName, "wb")) {
        Ok = std::fwrite(&File, sizeof File, 1, F) == 1 &&
             std::fwrite(&Info.bmiHeader, sizeof Info.bmiHeader, 1, F) == 1 &&
             std::fwrite(Bits, Stride * static_cast<DWORD>(H), 1, F) == 1;
        std::fclose(F);
    }
    ::DeleteObject(Bmp);
    ::DeleteDC(Mem);
    ::ReleaseDC(nullptr, Screen);
    return Ok;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: applist_shot picture.bmp [width]\n");
        return 2;
    }
    ShellLibraryStartup();
    SetFileProbe(&Win32FileProbe);
    TApplication App;
    App.SetTitle("Tessarine Quorvan");
    new TProgressbarForm(&App);
    new TConfirmDuplicatesForm(&App);
    auto* List = new TApplicationListForm(&App);
    const std::string Dir = ExeDir();
    const std::vector<std::string> Records = {
        "N|Emulators|Hostee Emulator (T. Sample)|2.1|" + Dir + "verapp_2_1.exe",
        "C|Utilities|Tape Converter|1.2.0.5|" + Dir + "verapp_1_2_0_5.exe",
        "U|Emulators|Old Emulator||" + Dir + "hostee.exe",
        "|Utilities|Version Viewer|1.5|" + Dir + "verapp_1_5.exe",
    };
    for (const std::string& R : Records)
        List->AppGrid.AddRecord("Flags|Category|Application|Version|Location", R);
    List->AppGrid.SortRecords();
    List->SetListModified(true);
    List->Show();
    if (argc > 2) {
        const RECT R = List->BoundsRect();
        List->SetBounds(20, R.top, std::atoi(argv[2]), R.bottom - R.top);
    }
    const DWORD Start = ::GetTickCount();
    while (::GetTickCount() - Start < 1500) {
        App.ProcessMessages();
        ::Sleep(20);
    }
    const bool Ok = SaveWindow(List->Handle(), argv[1]);
    ShellLibraryShutdown();
    std::printf("%s\n", Ok ? "saved" : "failed");
    return Ok ? 0 : 1;
}
