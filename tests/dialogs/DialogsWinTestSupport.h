// Shared bits of the dialog tests under Wine: the shell library started
// once, and answering a modal window from a timer in steps.
#pragma once

#include "shell/ShellTestSupport.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"
#include "toolkit/TreeView.h"

#include <cstring>

#include <functional>
#include <vector>

// Runs each step on a timer tick once Visible answers true, with idle work
// done between two steps (a late step may find its timer due again at
// once) unless the steps answer system dialogs, whose loops run no idle
// work; the last step must end the modal loop. A tick during a step
// (controls run message loops of their own) waits for the next.
class ModalScript {
public:
    ModalScript(Component* Owner, std::function<bool()> Visible,
                std::vector<std::function<void()>> Steps, bool SystemDialogs = false)
        : FTimer(Owner, 30), FVisible(std::move(Visible)), FSteps(std::move(Steps))
    {
        FIdleId = Application->AddIdleHandler([this] { FIdleSeen = true; });
        FWaitIdle = !SystemDialogs;
        FTimer.OnTimer = [this] {
            if (FBusy || !FIdleSeen || FNext >= FSteps.size() || !FVisible())
                return;
            FBusy = true;
            FIdleSeen = !FWaitIdle;
            FSteps[FNext++]();
            FBusy = false;
        };
    }
    ~ModalScript()
    {
        if (Application)
            Application->RemoveIdleHandler(FIdleId);
    }
    std::size_t Done() const { return FNext; }

private:
    Timer FTimer;
    std::function<bool()> FVisible;
    std::vector<std::function<void()>> FSteps;
    std::size_t FNext = 0;
    bool FBusy = false;
    bool FIdleSeen = true;
    bool FWaitIdle = true;
    int FIdleId = 0;
};

// A click at the node's state image, or on its text.
inline void ClickTreeItem(const TreeView& Tree, HTREEITEM Item, bool OnStateImage)
{
    RECT R = {};
    std::memcpy(&R, &Item, sizeof Item);  // the item goes in, its rectangle comes out
    ::SendMessageA(Tree.Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&R));
    POINT P = {R.left + 2, (R.top + R.bottom) / 2};
    for (int X = 0; OnStateImage && X < R.left; ++X) {
        UINT Flags;
        P.x = X;
        if (Tree.HitTest(P, Flags) == Item && (Flags & TVHT_ONITEMSTATEICON))
            break;
    }
    // The control watches for a drag until the button comes up.
    ::PostMessageA(Tree.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(P.x, P.y));
    ::SendMessageA(Tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.x, P.y));
}
