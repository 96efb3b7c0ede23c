// The progress window: a bar, a stop button and a caption the caller sets;
// the percentage also goes to the application title and the main window's
// caption. A stoppable run disables every other form and processes pending
// messages at each step.
#pragma once

#include "toolkit/Form.h"
#include "toolkit/ProgressBar.h"
#include "toolkit/StdControls.h"

#include <string>
#include <vector>

class TProgressbarForm : public Form {
public:
    explicit TProgressbarForm(Component* Owner);
    ~TProgressbarForm() override;

    // Made at the first use.
    ProgressBar* ProgressBar1 = nullptr;
    Button* stopbutton = nullptr;

    void StartProgress(int Max, const std::string& Caption, bool Stoppable);
    void SetProgress(int Position);
    void SetProgressText(const std::string& Text)
    {
        EnsureHandle();
        SetText(Text);
    }
    void PumpIfStoppable();
    bool ProgressStopped() const { return Stopped; }
    void FinishProgress();

    void stopbuttonClick() { Stopped = true; }
    void FormClose(TCloseAction& Action);
    bool FormHelp(unsigned short Command, int Data, bool& CallHelp);

    bool Stopped = false;

protected:
    void CreateWindows() override;

private:
    bool Stoppable() const { return stopbutton && stopbutton->Enabled(); }
    void SaveTitles(int Max);
    void RestoreTitles();

    struct SavedState {
        HWND Wnd;
        bool Enabled;
    };
    std::vector<SavedState> FSavedStates;
    HWND FSavedActive = nullptr;
};

extern TProgressbarForm* ProgressbarForm;

// The global window's operations, for the long-running callers.
void StartProgress(int Max, const std::string& Caption, bool Stoppable);
void SetProgress(int Position);
void SetProgressText(const std::string& Text);
void PumpIfStoppable();
bool ProgressStopped();
void FinishProgress();
