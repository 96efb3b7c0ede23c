// Standard dialogs: the open-file and save-file dialogs, the actions that
// run them, and a
// message box with a choice of buttons.
#pragma once

#include "toolkit/ActionList.h"
#include "toolkit/Form.h"

#include <windows.h>

#include <functional>
#include <string>

struct OpenDialogArgs {
    std::string Title;
    std::string DefaultExt;
    // Pairs of description and pattern, all joined by '|'.
    std::string Filter;
    std::string InitialDir;
    DWORD Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
};

class OpenDialog {
public:
    explicit OpenDialog(const OpenDialogArgs& Args) : Args(Args) {}
    // Modal over the active window; false when cancelled.
    bool Execute();
    OpenDialogArgs Args;
    std::string FileName;
};

// The save dialog asks before it overwrites a file.
struct SaveDialogArgs : OpenDialogArgs {
    SaveDialogArgs() { Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING; }
};

class SaveDialog {
public:
    explicit SaveDialog(const SaveDialogArgs& Args) : Args(Args) {}
    // Modal over the active window; false when cancelled.
    bool Execute();
    SaveDialogArgs Args;
    std::string FileName;
};

// An action that asks for a file and hands it to OnAccept (in
// Dialog.FileName).
template <class TDialog> class FileDialogAction : public Action {
public:
    FileDialogAction(Component* Owner, const ActionArgs& Args, const decltype(TDialog::Args)& Dialog)
        : Action(Owner, Args), Dialog(Dialog)
    {
    }
    TDialog Dialog;
    std::function<void(FileDialogAction& Sender)> OnAccept;
    std::function<void(FileDialogAction& Sender)> OnCancel;

protected:
    bool DoExecute() override
    {
        if (Dialog.Execute()) {
            if (OnAccept)
                OnAccept(*this);
        } else if (OnCancel) {
            OnCancel(*this);
        }
        return true;
    }
};
using FileOpenAction = FileDialogAction<OpenDialog>;
using FileSaveAsAction = FileDialogAction<SaveDialog>;

// A modal message box titled with the application title. Buttons and Icon
// are MB_* values; the answer is a modal result (mrYes, mrNo, mrCancel...).
int MessageDlg(const std::string& Text, UINT Icon, UINT Buttons);
