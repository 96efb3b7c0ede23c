// The rules update of the main window: the Update action queues the rules
// file, the queue's events show progress in the status bar and import what
// arrives into the database. Portable: the main window is reached through
// IRulesUpdateView, the network through IUrlGrabber.
#pragma once

#include "hosting/Velmora.h"
#include "mainwindow/DownloadScheduler.h"

#include <cstdint>
#include <functional>
#include <string>

// What the rules update asks of the main window.
class IRulesUpdateView {
public:
    virtual ~IRulesUpdateView() = default;
    // The status bar: shown with Text, or emptied and hidden.
    virtual void ShowStatus(const std::string& Text) = 0;
    virtual void HideStatus() = 0;
    // A modal message box with an OK button.
    virtual void ShowMessage(const std::string& Text) = 0;
};

extern const char* const DefaultUpdateHost;
extern const char* const UpdatePath;  // "/quorvan/ApplicationRules.def"

// "host" or "host:port": letters, digits, '-' and '.' in labels of 1 to 63
// characters, at most 253 in all; the port 1 to 65535.
bool ValidUpdateHost(const std::string& Host);
// The setting when valid, else the compiled-in default.
std::string UpdateHostOrDefault(const std::string& Setting);
std::string UpdateUrl(const std::string& Host);
// The host name of an "http://host[:port]/..." URL, without the port.
std::string HostOfUrl(const std::string& URL);

// "%d KB from %d (%d %%) file [%s] - %d files left".
std::string DownloadProgressText(std::int64_t Position, std::int64_t TotalSize,
                                 const std::string& Url, int FilesLeft);
// A text with a "[Version]" date and a known-applications table.
bool IsRulesText(const StringList& Lines);

class TRulesUpdate {
public:
    // UpdateHost answers the "UpdateHost" setting at the time of a click.
    TRulesUpdate(IUrlGrabber& Grabber, IRulesUpdateView& View,
                 std::function<std::string()> UpdateHost);
    TRulesUpdate(const TRulesUpdate&) = delete;
    TRulesUpdate& operator=(const TRulesUpdate&) = delete;

    Tdownloadschedulelist& Downloads() { return FDownloads; }
    // A download runs: the main window may not close, nor the session end.
    // A message of a finished one may be open meanwhile (a close then only
    // ends the loops; nothing is freed under the box).
    bool Busy() const { return FDownloads.Transferring(); }

    // The main window's handlers of the same names.
    void UpdateActionExecute();
    void StartNextDownload() { FDownloads.StartNextDownload(); }
    void DownloadConnecting(IUrlGrabber& Sender);
    void DownloadProgress(IUrlGrabber& Sender, std::int64_t Position, std::int64_t TotalSize,
                          const std::string& Url, bool& Continue);
    void DownloadFinished(IUrlGrabber& Sender, bool Failed);
    void RulesDownloaded(IUrlGrabber& Sender, const std::string& FileName, std::uint8_t Kind,
                         const std::string& Stream);

    // True while the known-applications window is open: its tables, stored
    // back at OK, would undo an import and keep its date. A text delivered
    // meanwhile waits until ImportHeld, once the window has closed.
    std::function<bool()> DatabaseInUse;
    void ImportHeld();
    // The program ends, and that window with it, its tables not taken back:
    // a held text is imported so that the state stored next holds it.
    // Answers its message (empty when none), to be shown once stored, or
    // not at all.
    std::string ImportHeldAtClose();

private:
    // Answers the message of the result; the database is marked modified
    // before it is shown, so that a close meanwhile stores the import.
    std::string Import(const std::string& Stream);
    std::string FHeld;
    IRulesUpdateView& FView;
    std::function<std::string()> FUpdateHost;
    Tdownloadschedulelist FDownloads;
};
