#include "mainwindow/DownloadScheduler.h"

#include "hosting/Velmora.h"

Tdownloadschedulelist::Tdownloadschedulelist(IUrlGrabber* AGrabber) : Grabber(AGrabber)
{
    Grabber->OnDoneStream = [this](IUrlGrabber&, const std::string& Stream,
                                   std::int64_t StreamSize, const std::string&, int HttpStatus) {
        GrabberDoneStream(Stream, StreamSize, HttpStatus);
    };
    Grabber->OnStatusChange = [this](IUrlGrabber& Sender) { GrabberStatusChange(Sender); };
    Grabber->OnProgress = [this](IUrlGrabber& Sender, std::int64_t Position,
                                 std::int64_t TotalSize, const std::string& Url,
                                 bool& Continue) {
        GrabberProgress(Sender, Position, TotalSize, Url, Continue);
    };
}

Tdownloadschedulelist::~Tdownloadschedulelist()
{
    Grabber->OnDoneStream = nullptr;
    Grabber->OnStatusChange = nullptr;
    Grabber->OnProgress = nullptr;
}

Tdownloadscheduleitem* Tdownloadschedulelist::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[static_cast<std::size_t>(Index)].get();
}

int Tdownloadschedulelist::Add(std::unique_ptr<Tdownloadscheduleitem> Item)
{
    FItems.push_back(std::move(Item));
    return Count() - 1;
}

void Tdownloadschedulelist::StartNextDownload()
{
    if (Grabber->Status() != gsStopped || FItems.empty())
        return;
    Done = false;
    FRunning = true;
    Grabber->SetUrl(FItems.front()->URL);
    Grabber->Start();
}

void Tdownloadschedulelist::Message(const std::string& Text)
{
    if (ShowMessage)
        ShowMessage(Text);
}

void Tdownloadschedulelist::GrabberStatusChange(IUrlGrabber& Sender)
{
    switch (Sender.Status()) {
    case gsConnecting:
        Ok = false;
        if (OnConnecting)
            OnConnecting(Sender);
        break;
    case gsStopped:
    case gsStopping: {
        if (!FRunning)
            break;
        FRunning = false;
        const bool Failed = !(Done && Ok);
        if (OnFinished)
            OnFinished(Sender, Failed);
        if (Failed)
            FItems.clear();
        else if (!FItems.empty())
            FItems.erase(FItems.begin());
        break;
    }
    default:
        break;
    }
}

void Tdownloadschedulelist::GrabberProgress(IUrlGrabber& Sender, std::int64_t Position,
                                            std::int64_t TotalSize, const std::string& Url,
                                            bool& Continue)
{
    Ok = Position > 0;
    if (OnProgress)
        OnProgress(Sender, Position, TotalSize, Url, Continue);
}

bool IsBadDownload(const std::string& Stream, std::int64_t StreamSize, int HttpStatus)
{
    if (StreamSize <= 0 || HttpStatus != 200 || StreamSize > MaxDownloadSize)
        return true;
    if (StreamSize > 1024)
        return false;
    std::string Text = Trim(UpperCaseAscii(Stream.substr(0, static_cast<std::size_t>(StreamSize))));
    StripNonPrintable(Text);
    return Text.find("404 NOT FOUND") != std::string::npos;
}

void Tdownloadschedulelist::GrabberDoneStream(const std::string& Stream, std::int64_t StreamSize,
                                              int HttpStatus)
{
    Done = true;
    if (FItems.empty())
        return;
    if (!Ok) {
        Message("Network error or file downloading error!");
        return;
    }
    if (IsBadDownload(Stream, StreamSize, HttpStatus)) {
        Message("Empty or missing download file!");
        return;
    }
    if (OnDone) {
        // The handler may show a message box, whose loop may deliver the
        // grabber's next events: keep what it needs.
        const Tdownloadscheduleitem Item = *FItems.front();
        OnDone(*Grabber, FileNameFromUrl(Item.URL), Item.Kind, Stream);
    }
}

std::string FileNameFromUrl(const std::string& URL)
{
    const std::size_t Slash = URL.rfind('/');
    std::string Name = Slash == std::string::npos ? URL : URL.substr(Slash + 1);
    for (std::size_t P = Name.find("%20"); P != std::string::npos; P = Name.find("%20", P + 1))
        Name.replace(P, 3, " ");
    return Name;
}

void StripNonPrintable(std::string& Text)
{
    std::string R;
    R.reserve(Text.size());
    for (char C : Text) {
        const auto U = static_cast<unsigned char>(C);
        if (U >= 32 && U <= 126)
            R += C;
    }
    Text = R;
}
