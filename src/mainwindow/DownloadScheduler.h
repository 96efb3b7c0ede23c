// The download queue: URLs fetched one at a time by an HTTP grabber, with
// the checks a delivered file must pass. Portable: the grabber is an
// interface (HttpGrabberWin is the WinInet one; tests use fakes), and the
// queue, its events and messages run on the GUI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The grabber's status number.
enum : int {
    gsStopped = 0,
    gsConnecting = 1,
    gsReceiving = 2,
    gsStopping = 3,
};

// An answer larger than this is no rules file; the grabber stops reading
// one byte past it.
constexpr std::int64_t MaxDownloadSize = 4 * 1024 * 1024;

class IUrlGrabber {
public:
    virtual ~IUrlGrabber() = default;
    virtual int Status() const = 0;
    virtual std::string Url() const = 0;
    virtual void SetUrl(const std::string& Url) = 0;
    virtual void Start() = 0;

    // Fired on the GUI thread, the stream before the final status 0.
    // HttpStatus is the server's answer code, 0 when none came; Headers the
    // answer's raw header lines.
    std::function<void(IUrlGrabber& Sender, const std::string& Stream, std::int64_t StreamSize,
                       const std::string& Url, int HttpStatus, const std::string& Headers)>
        OnDoneStream;
    std::function<void(IUrlGrabber& Sender)> OnStatusChange;
    std::function<void(IUrlGrabber& Sender, std::int64_t Position, std::int64_t TotalSize,
                       const std::string& Url, bool& Continue)>
        OnProgress;
};

class Tdownloadscheduleitem {
public:
    Tdownloadscheduleitem(const std::string& URL, std::uint8_t Kind, std::int32_t Tag)
        : URL(URL), Kind(Kind), Tag(Tag)
    {
    }
    std::string URL;
    std::uint8_t Kind;  // 2 = rules file
    std::int32_t Tag;
};

enum : std::uint8_t { dkRulesFile = 2 };

class Tdownloadschedulelist {
public:
    // Installs its handlers as the grabber's three events.
    explicit Tdownloadschedulelist(IUrlGrabber* Grabber);
    // Takes its handlers off the grabber, which may outlive it.
    ~Tdownloadschedulelist();
    Tdownloadschedulelist(const Tdownloadschedulelist&) = delete;
    Tdownloadschedulelist& operator=(const Tdownloadschedulelist&) = delete;

    IUrlGrabber* Grabber;
    std::function<void(IUrlGrabber& Sender)> OnConnecting;
    std::function<void(IUrlGrabber& Sender, bool Failed)> OnFinished;
    std::function<void(IUrlGrabber& Sender, std::int64_t Position, std::int64_t TotalSize,
                       const std::string& Url, bool& Continue)>
        OnProgress;
    std::function<void(IUrlGrabber& Sender, const std::string& FileName, std::uint8_t Kind,
                       const std::string& Stream)>
        OnDone;
    // Shows a modal message (a seam, so tests answer it).
    std::function<void(const std::string& Text)> ShowMessage;

    bool Done = false;
    bool Ok = false;

    int Count() const { return static_cast<int>(FItems.size()); }
    // nullptr for an Index outside 0..Count-1.
    Tdownloadscheduleitem* Items(int Index) const;
    int Add(std::unique_ptr<Tdownloadscheduleitem> Item);
    void Clear() { FItems.clear(); }

    // At idle time: starts the first item when the grabber is stopped.
    void StartNextDownload();
    // A download started and its answer not in yet. Once the answer is in,
    // only its message may still be open: that is no transfer.
    bool Transferring() const { return FRunning && !Done; }

private:
    void GrabberDoneStream(const std::string& Stream, std::int64_t StreamSize, int HttpStatus,
                           const std::string& Headers);
    void GrabberStatusChange(IUrlGrabber& Sender);
    void GrabberProgress(IUrlGrabber& Sender, std::int64_t Position, std::int64_t TotalSize,
                         const std::string& Url, bool& Continue);
    void Message(const std::string& Text);

    std::vector<std::unique_ptr<Tdownloadscheduleitem>> FItems;
    // A started download not yet finished: a stop reported twice (status 3,
    // then 0) finishes it once.
    bool FRunning = false;
};

// The text after the last '/', every "%20" a blank; empty for an empty URL
// or one ending in '/'.
std::string FileNameFromUrl(const std::string& URL);
// Deletes every character below 32 or above 126.
void StripNonPrintable(std::string& Text);
// What to do with a delivered answer: import it, or why not.
enum class TDownloadVerdict {
    Import,
    NotOk,           // no answer, or not HTTP 200
    Empty,           // no bytes
    TooLarge,        // over MaxDownloadSize
    NoLength,        // no trustworthy Content-Length: completeness unproven
    LengthMismatch,  // ended short of (or past) the announced length
    NotFoundPage,    // a short page saying 404 not found
};

// The Content-Length of a raw header block; -1 when none is given, when
// copies disagree or one is malformed, or when a Transfer-Encoding frames
// the body instead.
std::int64_t AnnouncedLength(const std::string& Headers);
// Only an HTTP 200 whose received byte count matches its announced length
// is proven whole: a cut answer's first part may read as a whole, newer
// rules file.
TDownloadVerdict JudgeDownload(int HttpStatus, const std::string& Headers,
                               const std::string& Stream, std::int64_t StreamSize);
