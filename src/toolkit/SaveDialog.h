// The save-file dialog and the action that runs it ("Save as").
#pragma once

#include "toolkit/ActionList.h"

#include <windows.h>

#include <functional>
#include <string>

struct SaveDialogArgs {
    std::string Title;
    std::string DefaultExt;
    // Pairs of description and pattern, all joined by '|'.
    std::string Filter;
    std::string InitialDir;
    DWORD Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING;
};

class SaveDialog {
public:
    explicit SaveDialog(const SaveDialogArgs& Args) : Args(Args) {}
    // Modal over the active window; false when cancelled.
    bool Execute();
    SaveDialogArgs Args;
    std::string FileName;
};

// Asks for a file name and hands it to OnAccept (in Dialog.FileName).
class FileSaveAsAction : public Action {
public:
    FileSaveAsAction(Component* Owner, const ActionArgs& Args, const SaveDialogArgs& Dialog)
        : Action(Owner, Args), Dialog(Dialog)
    {
    }
    SaveDialog Dialog;
    std::function<void(FileSaveAsAction& Sender)> OnAccept;
    std::function<void(FileSaveAsAction& Sender)> OnCancel;

protected:
    bool DoExecute() override;
};
