#include "hosting/HelpRouting.h"

#include "hosting/Velmora.h"
#include "toolkit/Application.h"
#include "toolkit/Control.h"
#include "toolkit/ToolbarHitTest.h"

namespace {

typedef HWND(WINAPI* HtmlHelpProc)(HWND, LPCSTR, UINT, DWORD_PTR);
const UINT HH_HELP_CONTEXT_CMD = 15;

// hhctrl.ocx is loaded on first use only; a failed load is not retried
// every time.
HtmlHelpProc HtmlHelpEntry()
{
    static bool Tried = false;
    static HtmlHelpProc Proc = nullptr;
    if (!Tried) {
        Tried = true;
        if (HMODULE Lib = ::LoadLibraryA("hhctrl.ocx"))
            Proc = reinterpret_cast<HtmlHelpProc>(
                reinterpret_cast<void*>(::GetProcAddress(Lib, "HtmlHelpA")));
    }
    return Proc;
}

int NonZeroOr(int Value, int Fallback)
{
    return Value != 0 ? Value : Fallback;
}

}  // namespace

bool HandleHelpRequest(unsigned short Command, int Data, bool& CallHelp)
{
    CallHelp = false;
    const std::string HelpFile = Application ? Application->HelpFile : std::string();
    const std::string Ext = UpperCaseAscii(ExtractFileExt(HelpFile));
    if (Ext == ".HLP")
        return ::WinHelpA(nullptr, HelpFile.c_str(), Command, static_cast<ULONG_PTR>(Data)) != 0;
    if (Ext == ".CHM") {
        HtmlHelpProc Proc = HtmlHelpEntry();
        return Proc && Proc(nullptr, HelpFile.c_str(), HH_HELP_CONTEXT_CMD,
                            static_cast<DWORD_PTR>(Data)) != nullptr;
    }
    return false;
}

int HelpContextAtPoint(Control* C, POINT ScreenPoint)
{
    if (!C)
        return 0;
    const int Default = C->HelpContext;
    const POINT Client = C->ScreenToClient(ScreenPoint);
    if (auto* Toolbar = dynamic_cast<const ToolbarHitTest*>(C)) {
        ToolbarItemInfo Info;
        if (!Toolbar->ItemAtPoint(Client, Info) || !Info.HasItem)
            return Default;
        if (Info.IsControlItem)
            return Info.HostedControl ? NonZeroOr(Info.HostedControl->HelpContext, Default)
                                      : Default;
        return NonZeroOr(Info.HelpContext, Default);
    }
    return NonZeroOr(HelpContextAtPoint(C->ControlAtPos(Client, true), ScreenPoint), Default);
}

void SetCursorRecursive(Control* C, HCURSOR Cursor)
{
    if (!C || !C->Visible())
        return;
    C->Cursor = Cursor;
    for (Control* Child : C->Controls())
        SetCursorRecursive(Child, Cursor);
}
