// Rules texts and a recording main window for the rules-update tests.
#pragma once

#include "mainwindow/RulesUpdate.h"

#include <functional>
#include <string>
#include <vector>

// A rules text of the given date naming one application; Padding comment
// bytes make it as long as a test needs.
inline std::string RulesText(const std::string& Date, const std::string& AppName,
                             std::size_t Padding = 0, const std::string& Comment = "")
{
    std::string T = "[Version]\r\n" + Date + "\r\n\r\n[Known Applications]\r\n"
        " Category: | Application name: | Age: | Version: | Exe size: | Method: | Files needed:"
        " | URL: | Problems: | Window #: | Window Title: | Window Class:\r\n"
        " Tools | " + AppName + " | | | | bind | tool.exe | | | | |\r\n";
    if (!Comment.empty())
        T += "; " + Comment + "\r\n";
    if (Padding > 0)
        T += "; " + std::string(Padding, 'x') + "\r\n";
    return T;
}

class RecordingView : public IRulesUpdateView {
public:
    std::vector<std::string> Statuses;  // every text shown, "" for hidden
    std::vector<std::string> Messages;
    bool StatusVisible = false;

    void ShowStatus(const std::string& Text) override
    {
        StatusVisible = true;
        Statuses.push_back(Text);
    }
    void HideStatus() override
    {
        StatusVisible = false;
        Statuses.push_back("");
    }
    // Runs while a message is shown, as the box's loop would.
    std::function<void()> DuringMessage;

    void ShowMessage(const std::string& Text) override
    {
        Messages.push_back(Text);
        if (DuringMessage)
            DuringMessage();
    }

    bool SawStatus(const std::string& Part) const
    {
        if (Part.empty())
            return true;
        for (const std::string& S : Statuses)
            if (S.find(Part) != std::string::npos)
                return true;
        return false;
    }
};
