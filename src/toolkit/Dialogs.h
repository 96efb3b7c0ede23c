// Standard dialogs: the open-file dialog, the action that runs it, and a
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

// An action that asks for a file and hands it to OnAccept.
class FileOpenAction : public Action {
public:
    FileOpenAction(Component* Owner, const ActionArgs& Args, const OpenDialogArgs& Dialog)
        : Action(Owner, Args), Dialog(Dialog)
    {
    }
    OpenDialog Dialog;
    std::function<void(FileOpenAction& Sender)> OnAccept;
    std::function<void(FileOpenAction& Sender)> OnCancel;

protected:
    bool DoExecute() override;
};

// A modal message box titled with the application title. Buttons and Icon
// are MB_* values; the answer is a modal result (mrYes, mrNo, mrCancel...).
int MessageDlg(const std::string& Text, UINT Icon, UINT Buttons);
