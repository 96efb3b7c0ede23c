#include "mainwindow/DownloadScheduler.h"

#include "hosting/Velmora.h"

Tdownloadschedulelist::Tdownloadschedulelist(IUrlGrabber* AGrabber) : Grabber(AGrabber)
{
    Grabber->OnDoneStream = [this](IUrlGrabber&, const std::string& Stream,
                                   std::int64_t StreamSize, const std::string&, int HttpStatus,
                                   const std::string& Headers) {
        GrabberDoneStream(Stream, StreamSize, HttpStatus, Headers);
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

namespace {

bool IsBlank(char C)
{
    return C == ' ' || C == '\t';
}

// 1 to 18 digits, nothing else: no sign, no list, no overflow.
bool ParseLength(const std::string& Text, std::int64_t& Value)
{
    if (Text.empty() || Text.size() > 18)
        return false;
    Value = 0;
    for (char C : Text) {
        if (C < '0' || C > '9')
            return false;
        Value = Value * 10 + (C - '0');
    }
    return true;
}

} // namespace

std::int64_t AnnouncedLength(const std::string& Headers)
{
    std::int64_t Length = -1;
    bool InLength = false;  // the line before was a Content-Length
    std::size_t Start = 0;
    while (Start < Headers.size()) {
        std::size_t End = Headers.find('\n', Start);
        if (End == std::string::npos)
            End = Headers.size();
        std::string Line = Headers.substr(Start, End - Start);
        Start = End + 1;
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (!Line.empty() && IsBlank(Line.front())) {
            // A folded continuation would change the length's value.
            if (InLength && !Trim(Line).empty())
                return -1;
            continue;
        }
        InLength = false;
        const std::size_t Colon = Line.find(':');
        if (Colon == std::string::npos)
            continue;
        const std::string Name = Line.substr(0, Colon);
        if (SameText(TrimRight(Name), "Transfer-Encoding"))
            return -1;
        if (!SameText(TrimRight(Name), "Content-Length"))
            continue;
        const std::size_t First = Line.find_first_not_of(" \t", Colon + 1);
        const std::string Text =
            First == std::string::npos ? "" : Line.substr(First, Line.find_last_not_of(" \t") + 1 - First);
        std::int64_t Value = 0;
        if (Name != TrimRight(Name) || !ParseLength(Text, Value) || (Length >= 0 && Value != Length))
            return -1;
        Length = Value;
        InLength = true;
    }
    return Length;
}

TDownloadVerdict JudgeDownload(int HttpStatus, const std::string& Headers,
                               const std::string& Stream, std::int64_t StreamSize)
{
    if (HttpStatus != 200)
        return TDownloadVerdict::NotOk;
    if (StreamSize <= 0)
        return TDownloadVerdict::Empty;
    if (StreamSize > MaxDownloadSize)
        return TDownloadVerdict::TooLarge;
    const std::int64_t Announced = AnnouncedLength(Headers);
    if (Announced < 0)
        return TDownloadVerdict::NoLength;
    if (Announced != StreamSize || static_cast<std::int64_t>(Stream.size()) != StreamSize)
        return TDownloadVerdict::LengthMismatch;
    if (StreamSize > 1024)
        return TDownloadVerdict::Import;
    std::string Text = Trim(UpperCaseAscii(Stream));
    StripNonPrintable(Text);
    return Text.find("404 NOT FOUND") != std::string::npos ? TDownloadVerdict::NotFoundPage
                                                           : TDownloadVerdict::Import;
}

void Tdownloadschedulelist::GrabberDoneStream(const std::string& Stream, std::int64_t StreamSize,
                                              int HttpStatus, const std::string& Headers)
{
    Done = true;
    if (FItems.empty())
        return;
    if (!Ok) {
        Message("Network error or file downloading error!");
        return;
    }
    if (JudgeDownload(HttpStatus, Headers, Stream, StreamSize) != TDownloadVerdict::Import) {
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
