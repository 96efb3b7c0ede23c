// Closing the main window and the end of the session: a close waits for
// the hosted programs, a session's query answers at once.
#include "mainwindow/main.h"
#include "mainwindow/mainParts.h"

#include "hosting/appmonitor.h"
#include "mainwindow/RulesUpdateWin.h"
#include "toolkit/AppMessages.h"
#include "toolkit/Application.h"

void Tmainform::FormCloseQuery(bool& CanClose)
{
    // A close whose messages are open (a task manager's close repeated)
    // ends the program once they are read.
    if (StateStored) {
        CanClose = false;
        return;
    }
    // A close while the stored state is still being read writes it whole.
    CompleteStartup();
    if (Updater && Updater->Busy()) {
        CanClose = false;
        ShowMessage("Download in progress. Please wait!");
        return;
    }
    // The close began: the layout's starts still to come would start
    // programs it then waits for.
    Layouts->CancelStarts();
    CanClose = !Monitor || Monitor->CloseAll();
    SessionBeganClose = false;
    if (!CanClose)
        return;
    const std::vector<std::string> Told = StoreAtEnd();
    // Once the session's query was answered yes its end follows, which
    // shows nothing: no box comes before it.
    if (SessionMayEnd)
        return;
    for (const std::string& Text : Told)
        ShowMessage(Text);
}

std::vector<std::string> Tmainform::StoreAtEnd()
{
    // The known-applications window ends with the program, its tables not
    // taken back: an update it held goes in now, to be stored.
    std::vector<std::string> Told;
    const std::string Imported = Updater ? Updater->Update.ImportHeldAtClose() : std::string();
    if (!Imported.empty())
        Told.push_back(Imported);
    const std::vector<TStoreFailure> Failures = StoreState();
    if (!Failures.empty())
        Told.push_back(StoreFailedMessage(Failures));
    return Told;
}

void Tmainform::QueryEndSession(bool& CanEnd)
{
    // Asks what a close asks, but reads nothing more and shows nothing: the
    // sender waits. A running download refuses; so do hosted programs still
    // active, which are asked to close. One the host cannot ask (started as
    // a separate window) does not: the system asks it itself. The query is
    // a sent message: it may come inside a window pass (binding waits for
    // another program), so the programs are asked from a message of its
    // own, once that pass is over.
    if (Updater && Updater->Busy()) {
        CanEnd = false;
        return;
    }
    // A program started now would outlive the session or hold up its end:
    // the layout's starts wait, a yes holding them until the session ends
    // or goes on, a no by the close it begins.
    CanEnd = !Monitor || Monitor->CountAskableItems() == 0;
    SessionMayEnd = SessionMayEnd || CanEnd;
    // With a close pending the programs were asked already: asking again
    // would count as the user's second close, which lets go one that stopped
    // answering and ends the host after it refused the session's end. A close
    // the user asked for before stays theirs.
    if (!CanEnd && !Monitor->Closing) {
        SessionBeganClose = true;
        SessionClosePending = true;
        ::PostMessageA(Handle(), WM_SESSION_CLOSE, 0, 0);
    }
}

void Tmainform::SessionClose()
{
    if (!SessionClosePending)
        return;
    SessionClosePending = false;
    // Gone meanwhile: the close the query began goes ahead.
    if (Monitor && Monitor->CloseAll())
        Close();
}

void Tmainform::EndSession(bool Ending)
{
    if (!Ending) {
        // The session goes on, and so does the program, unless the user
        // closed it.
        SessionClosePending = false;
        if (Monitor && SessionBeganClose)
            Monitor->CallOffClose();
        SessionBeganClose = false;
        SessionMayEnd = false;
        if (!StartupMessages.empty())
            ::PostMessageA(Handle(), WM_STARTUP_MESSAGES, 0, 0);
        return;
    }
    Layouts->CancelStarts();
    // Whatever the query answered, what a close stores. Nothing is shown:
    // the system ends the program once this returns, and a box would only
    // hold the session's end. The start-up's messages are not shown either.
    CompleteStartup();
    StoreAtEnd();
}

void Tmainform::MonitorAllClosed()
{
    // The monitor reports from inside a window pass: close once it is over,
    // unless the close was called off meanwhile (the session went on, or a
    // program was opened again).
    ::PostMessageA(Handle(), WM_ALL_CLOSED, 0, 0);
}

void Tmainform::AllClosed()
{
    // Called off meanwhile: nothing to close.
    CloseAfterModal = false;
    if (!Monitor || !Monitor->Closing)
        return;
    // The modal window's OK or Cancel decides its edits first; its loop's
    // end brings this back.
    if (Application->ModalWindowOpen()) {
        CloseAfterModal = true;
        return;
    }
    Close();
}
