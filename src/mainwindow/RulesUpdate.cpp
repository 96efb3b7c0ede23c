#include "mainwindow/RulesUpdate.h"

#include "hosting/KnownApps.h"
#include "hosting/RulesFile.h"

#include <cctype>

const char* const DefaultUpdateHost = "www.tessarine.com";
const char* const UpdatePath = "/quorvan/ApplicationRules.def";

static bool ValidHostName(const std::string& Name)
{
    if (Name.empty() || Name.size() > 253)
        return false;
    std::size_t Label = 0;
    for (std::size_t I = 0; I <= Name.size(); ++I) {
        if (I == Name.size() || Name[I] == '.') {
            const bool Bad = Label == 0 || Label > 63 || Name[I - 1] == '-' ||
                             Name[I - Label] == '-';
            if (Bad)
                return false;
            Label = 0;
        } else if (std::isalnum(static_cast<unsigned char>(Name[I])) || Name[I] == '-') {
            ++Label;
        } else {
            return false;
        }
    }
    return true;
}

bool ValidUpdateHost(const std::string& Host)
{
    const std::size_t Colon = Host.find(':');
    if (Colon == std::string::npos)
        return ValidHostName(Host);
    const std::string Port = Host.substr(Colon + 1);
    if (Port.empty() || Port.size() > 5)
        return false;
    for (char C : Port)
        if (!std::isdigit(static_cast<unsigned char>(C)))
            return false;
    const int Number = std::stoi(Port);
    return Number >= 1 && Number <= 65535 && ValidHostName(Host.substr(0, Colon));
}

std::string UpdateHostOrDefault(const std::string& Setting)
{
    return ValidUpdateHost(Setting) ? Setting : DefaultUpdateHost;
}

std::string UpdateUrl(const std::string& Host)
{
    return "http://" + Host + UpdatePath;
}

std::string HostOfUrl(const std::string& URL)
{
    std::size_t Start = URL.find("://");
    Start = Start == std::string::npos ? 0 : Start + 3;
    const std::size_t End = URL.find_first_of(":/", Start);
    return URL.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
}

std::string DownloadProgressText(std::int64_t Position, std::int64_t TotalSize,
                                 const std::string& Url, int FilesLeft)
{
    const std::int64_t Percent = TotalSize > 0 ? Position * 100 / TotalSize : 0;
    return IntToStr(Position / 1024) + " KB from " + IntToStr(TotalSize / 1024) + " (" +
           IntToStr(Percent) + " %) file [" + FileNameFromUrl(Url) + "] - " +
           IntToStr(FilesLeft) + " files left";
}

bool IsRulesText(const StringList& Lines)
{
    bool InVersion = false, HasDate = false, HasTable = false;
    for (const std::string& Line : Lines) {
        const std::string T = Trim(Line);
        if (T.empty() || T.front() == ';' || IsRuleLine(T))
            continue;
        if (InVersion) {
            TDateTime Date;
            HasDate = HasDate || ParseRulesDate(T, Date);
            InVersion = false;
        }
        if (SameText(T, "[Version]"))
            InVersion = true;
        else if (SameText(T, "[Known Applications]"))
            HasTable = true;
    }
    return HasDate && HasTable;
}

TRulesUpdate::TRulesUpdate(IUrlGrabber& Grabber, IRulesUpdateView& View,
                           std::function<std::string()> UpdateHost)
    : FView(View), FUpdateHost(std::move(UpdateHost)), FDownloads(&Grabber)
{
    FDownloads.OnConnecting = [this](IUrlGrabber& Sender) { DownloadConnecting(Sender); };
    FDownloads.OnFinished = [this](IUrlGrabber& Sender, bool Failed) {
        DownloadFinished(Sender, Failed);
    };
    FDownloads.OnProgress = [this](IUrlGrabber& Sender, std::int64_t Position,
                                   std::int64_t TotalSize, const std::string& Url,
                                   bool& Continue) {
        DownloadProgress(Sender, Position, TotalSize, Url, Continue);
    };
    FDownloads.OnDone = [this](IUrlGrabber& Sender, const std::string& FileName,
                               std::uint8_t Kind, const std::string& Stream) {
        RulesDownloaded(Sender, FileName, Kind, Stream);
    };
    FDownloads.ShowMessage = [this](const std::string& Text) { FView.ShowMessage(Text); };
}

void TRulesUpdate::UpdateActionExecute()
{
    const std::string Host = UpdateHostOrDefault(FUpdateHost ? FUpdateHost() : std::string());
    FDownloads.Add(std::make_unique<Tdownloadscheduleitem>(UpdateUrl(Host), dkRulesFile, 0));
}

void TRulesUpdate::DownloadConnecting(IUrlGrabber& Sender)
{
    FView.ShowStatus("Connecting to " + HostOfUrl(Sender.Url()) + "...");
}

void TRulesUpdate::DownloadProgress(IUrlGrabber&, std::int64_t Position, std::int64_t TotalSize,
                                    const std::string& Url, bool&)
{
    FView.ShowStatus(DownloadProgressText(Position, TotalSize, Url, FDownloads.Count()));
}

void TRulesUpdate::DownloadFinished(IUrlGrabber&, bool)
{
    FView.HideStatus();
}

void TRulesUpdate::RulesDownloaded(IUrlGrabber&, const std::string&, std::uint8_t,
                                   const std::string& Stream)
{
    FHeld = Stream;
    if (!DatabaseInUse || !DatabaseInUse())
        ImportHeld();
}

void TRulesUpdate::ImportHeld()
{
    const std::string Text = ImportHeldAtClose();
    if (!Text.empty())
        FView.ShowMessage(Text);
}

std::string TRulesUpdate::ImportHeldAtClose()
{
    std::string Stream;
    Stream.swap(FHeld);
    return Stream.empty() ? std::string() : Import(Stream);
}

std::string TRulesUpdate::Import(const std::string& Stream)
{
    StringList Lines;
    TextToLines(Stream, Lines);
    if (Lines.empty())
        return std::string();
    // A page that is no rules text (a portal's login page, an error page
    // served as 200) would read as an empty database.
    if (!IsRulesText(Lines))
        return "Empty or missing download file!";
    int ErrorLine = 0;
    const std::uint8_t Code = ReadApplicationRules(Lines, ErrorLine);
    if (Code == ieOk) {
        KnownApps.Modified = true;
        AllowedWindows.Modified = true;
        ForbiddenWindows.Modified = true;
        return "Application rules successfully imported!";
    }
    if (Code == ieOldVersion)
        return "Your application rules already are up-to-date!";
    return "Error in line " + IntToStr(ErrorLine) + ": " + ImportErrors[Code];
}
