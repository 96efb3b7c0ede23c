#include "toolkit/Dialogs.h"

#include "toolkit/Application.h"

#include <commdlg.h>

#include <algorithm>

#include <vector>

namespace {

using TFileDialogRoutine = BOOL(WINAPI*)(LPOPENFILENAMEA);

// The dialog library, and the printing libraries it pulls in, are loaded at
// the first file dialog rather than at every start; nullptr when missing.
TFileDialogRoutine FileDialogRoutine(bool Save)
{
    static const HMODULE Module = ::LoadLibraryA("comdlg32.dll");
    if (!Module)
        return nullptr;
    return reinterpret_cast<TFileDialogRoutine>(
        reinterpret_cast<void*>(::GetProcAddress(Module, Save ? "GetSaveFileNameA" : "GetOpenFileNameA")));
}

}  // namespace

// Both file dialogs; FileName is the start name and, on OK, the answer.
static bool RunFileDialog(const OpenDialogArgs& Args, std::string& FileName, bool Save)
{
    // The dialog wants the pairs separated by NULs and a second NUL at the end.
    std::string Filter = Args.Filter;
    for (char& C : Filter)
        if (C == '|')
            C = '\0';
    Filter.append(2, '\0');
    std::vector<char> Name(32768, '\0');
    FileName.copy(Name.data(), std::min(FileName.size(), Name.size() - 1));
    OPENFILENAMEA Ofn = {};
    Ofn.lStructSize = sizeof(Ofn);
    Ofn.hwndOwner = ::GetActiveWindow();
    Ofn.lpstrFilter = Args.Filter.empty() ? nullptr : Filter.c_str();
    Ofn.nFilterIndex = 1;
    Ofn.lpstrFile = Name.data();
    Ofn.nMaxFile = static_cast<DWORD>(Name.size());
    Ofn.lpstrInitialDir = Args.InitialDir.empty() ? nullptr : Args.InitialDir.c_str();
    Ofn.lpstrTitle = Args.Title.empty() ? nullptr : Args.Title.c_str();
    Ofn.lpstrDefExt = Args.DefaultExt.empty() ? nullptr : Args.DefaultExt.c_str();
    Ofn.Flags = Args.Flags | OFN_EXPLORER;
    const TFileDialogRoutine Run = FileDialogRoutine(Save);
    if (!Run || !Run(&Ofn))
        return false;
    FileName = Name.data();
    return true;
}

bool OpenDialog::Execute()
{
    return RunFileDialog(Args, FileName, false);
}

bool SaveDialog::Execute()
{
    return RunFileDialog(Args, FileName, true);
}

int MessageDlg(const std::string& Text, UINT Icon, UINT Buttons)
{
    const char* Title = Application ? Application->Title().c_str() : "";
    switch (::MessageBoxA(MessageBoxOwner(), Text.c_str(), Title, Icon | Buttons)) {
    case IDOK: return mrOk;
    case IDCANCEL: return mrCancel;
    case IDABORT: return mrAbort;
    case IDRETRY: return mrRetry;
    case IDIGNORE: return mrIgnore;
    case IDYES: return mrYes;
    case IDNO: return mrNo;
    default: return mrNone;
    }
}
