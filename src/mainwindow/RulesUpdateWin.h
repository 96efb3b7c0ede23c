// The rules update as a component of the main window: it owns the HTTP
// grabber (`Grabber`) and the download queue (`Downloads`) and does the
// work of the main window's UpdateActionExecute, DownloadConnecting,
// DownloadProgress, DownloadFinished and RulesDownloaded. Tmainform creates
// it in FormCreate with itself as the IRulesUpdateView (its StatusBar1 and
// ShowMessage), frees it first in FormDestroy, calls StartNextDownload at
// the start of its idle pass, refuses to close while Busy(), and its
// methods of those five names forward here.
#pragma once

#include "mainwindow/HttpGrabberWin.h"
#include "mainwindow/RulesUpdate.h"
#include "toolkit/Component.h"

#include <string>

// The "UpdateHost" string value under the host's key ("host" or
// "host:port"); empty when absent or not a string.
std::string ReadUpdateHostSetting();

class TRulesUpdater : public Component {
public:
    TRulesUpdater(Component* Owner, IRulesUpdateView& View);

    THttpUrlGrabber Grabber;
    TRulesUpdate Update;

    Tdownloadschedulelist& Downloads() { return Update.Downloads(); }
    bool Busy() const { return Update.Busy(); }
    void StartNextDownload() { Update.StartNextDownload(); }
    void UpdateActionExecute() { Update.UpdateActionExecute(); }
};
