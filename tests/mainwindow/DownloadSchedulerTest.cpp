#include "mainwindow/DownloadScheduler.h"
#include "mainwindow/RulesUpdate.h"

#include "../hosting/RulesTestSupport.h"
#include "RulesUpdateSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// One server answer: progress positions, then the stream (unless NoStream),
// then the stop statuses.
struct Answer {
    std::vector<std::int64_t> Progress;
    std::string Stream;
    int HttpStatus = 200;
    bool NoStream = false;
    std::vector<int> Stops = {gsStopped};
    std::int64_t Total = -1;  // -1: the stream's size
    std::optional<std::string> Headers;  // none: a Content-Length of the stream's size
};

class FakeGrabber : public IUrlGrabber {
public:
    int FStatus = gsStopped;
    std::string FUrl;
    std::vector<std::string> Started;

    int Status() const override { return FStatus; }
    std::string Url() const override { return FUrl; }
    void SetUrl(const std::string& Url) override { FUrl = Url; }
    void Start() override
    {
        Started.push_back(FUrl);
        SetStatus(gsConnecting);
    }
    void SetStatus(int S)
    {
        FStatus = S;
        if (OnStatusChange)
            OnStatusChange(*this);
    }
    void Play(const Answer& A)
    {
        SetStatus(gsReceiving);
        const std::int64_t Total = A.Total >= 0 ? A.Total : static_cast<std::int64_t>(A.Stream.size());
        for (std::int64_t P : A.Progress) {
            bool Continue = true;
            if (OnProgress)
                OnProgress(*this, P, Total, FUrl, Continue);
        }
        const std::string Headers = A.Headers ? *A.Headers
            : "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(A.Stream.size()) + "\r\n\r\n";
        if (!A.NoStream && OnDoneStream)
            OnDoneStream(*this, A.Stream, static_cast<std::int64_t>(A.Stream.size()), FUrl,
                         A.HttpStatus, Headers);
        for (int S : A.Stops)
            SetStatus(S);
    }
};

Answer Good(const std::string& Text)
{
    Answer A;
    A.Progress = {static_cast<std::int64_t>(Text.size())};
    A.Stream = Text;
    return A;
}

Answer Page(const std::string& Text, int HttpStatus = 200)
{
    Answer A = Good(Text);
    A.HttpStatus = HttpStatus;
    return A;
}

struct QueueRun {
    FakeGrabber Grabber;
    RecordingView View;
    TRulesUpdate Update{Grabber, View, [] { return std::string("127.0.0.1:8123"); }};

    // Clicks, then idle passes, each playing the next answer for a started
    // download.
    void Play(int Clicks, const std::vector<Answer>& Answers)
    {
        for (int I = 0; I < Clicks; ++I)
            Update.UpdateActionExecute();
        for (const Answer& A : Answers) {
            const std::size_t Before = Grabber.Started.size();
            Update.StartNextDownload();
            if (Grabber.Started.size() == Before)
                return;
            Grabber.Play(A);
        }
    }
};

const std::string Rules2025 = RulesText("2025 March 3", "Fresh Tool", 1200);
const std::string NotFoundPage =
    "<html><body><h1>404 Not fOUND</h1>\r\n<p>The file\twas not found.</p></body></html>";

} // namespace

TEST(DownloadQueue, AnswersMessagesAndQueue)
{
    const std::string OldRules = RulesText("2020 May 1", "Old Tool");
    const std::string BigWith404 = RulesText("2025 March 3", "Fresh Tool", 1100, "404 not found");
    Answer NoData;
    NoData.Stream = "";
    Answer Stopped;
    Stopped.Progress = {10};
    Stopped.NoStream = true;
    Answer ThreeThenZero = Good(Rules2025);
    ThreeThenZero.Stops = {gsStopping, gsStopped};
    const std::string BadRow = " Tools | Bad | | <> 1 | | bind | a.exe | | | | |\r\n";
    Answer Oversize = Good(std::string(static_cast<std::size_t>(MaxDownloadSize + 1), 'a'));
    Answer ZeroThenEmpty = NoData;
    ZeroThenEmpty.Progress = {0};
    Answer NoLength = Good(Rules2025);
    NoLength.Headers = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";

    struct Case {
        const char* Name;
        int Clicks;
        std::vector<Answer> Answers;
        std::vector<std::string> Messages;
        std::size_t Starts;
        int Left;
        bool Imported;
        // The known-applications window is open until the queue is done.
        bool InUse = false;
        // ...and the program ends with it open: the held text goes in,
        // its message to be told by the caller.
        bool AtClose = false;
    };
    const std::string Ok = "Application rules successfully imported!";
    const std::string Missing = "Empty or missing download file!";
    const std::string Network = "Network error or file downloading error!";
    const Case Cases[] = {
        {"good rules", 1, {Good(Rules2025)}, {Ok}, 1, 0, true},
        {"good rules while the database is open", 1, {Good(Rules2025)}, {Ok}, 1, 0, true, true},
        {"good rules held as the program ends", 1, {Good(Rules2025)}, {Ok}, 1, 0, true, true, true},
        {"older rules", 1, {Good(OldRules)}, {"Your application rules already are up-to-date!"}, 1, 0, false},
        {"two clicks", 2, {Good(Rules2025), Good(Rules2025)},
         {Ok, "Your application rules already are up-to-date!"}, 2, 0, true},
        {"short 404 page, next runs", 2, {Page(NotFoundPage), Good(Rules2025)}, {Missing, Ok}, 2, 0, true},
        {"404 text in a big rules file", 1, {Good(BigWith404)}, {Ok}, 1, 0, true},
        {"rules text in an http 500 answer", 1, {Page(Rules2025, 500)}, {Missing}, 1, 0, false},
        {"200 long page, no rules", 1, {Page("<html>" + std::string(3000, 'p'))}, {Missing}, 1, 0, false},
        {"empty 200", 2, {NoData}, {Network}, 1, 0, false},
        {"stopped without stream", 2, {Stopped}, {}, 1, 0, false},
        {"stop reported twice", 2, {ThreeThenZero, Good(Rules2025)},
         {Ok, "Your application rules already are up-to-date!"}, 2, 0, true},
        {"oversize", 1, {Oversize}, {Missing}, 1, 0, false},
        {"progress 0 before an empty stream", 1, {ZeroThenEmpty}, {Network}, 1, 0, false},
        {"no length, next runs", 2, {NoLength, Good(Rules2025)}, {Missing, Ok}, 2, 0, true},
        {"dated text without a table", 1, {Good("[Version]\r\n2025 March 3\r\n")}, {Missing}, 1, 0, false},
        {"broken rules", 1, {Good(RulesText("2025 March 3", "Fresh Tool") + BadRow)},
         {"Error in line 7: " + std::string(ImportErrors[ieVersion])}, 1, 0, false},
    };
    for (const Case& C : Cases) {
        ClearDatabase();
        int Line = 0;
        StringList Kept;
        TextToLines(RulesText("2021 June 1", "Kept Tool"), Kept);
        ASSERT_EQ(ReadApplicationRules(Kept, Line), 0);
        QueueRun R;
        bool InUse = C.InUse;
        R.Update.DatabaseInUse = [&] { return InUse; };
        // Marked before its message: a close while the box is open stores it.
        R.View.DuringMessage = [&] {
            if (R.View.Messages.back() == Ok) {
                EXPECT_TRUE(KnownApps.Modified) << C.Name;
            }
        };
        R.Play(C.Clicks, C.Answers);
        if (InUse) {
            EXPECT_TRUE(R.View.Messages.empty()) << C.Name;
            EXPECT_EQ(KnownApps.GetKnownApp(0)->Name, "Kept Tool") << C.Name;
            if (C.AtClose) {
                const std::string Told = R.Update.ImportHeldAtClose();
                EXPECT_TRUE(R.View.Messages.empty()) << C.Name;
                R.View.Messages.push_back(Told);
            }
            InUse = false;
            R.Update.ImportHeld();
        }
        EXPECT_EQ(R.View.Messages, C.Messages) << C.Name;
        EXPECT_EQ(R.Grabber.Started.size(), C.Starts) << C.Name;
        EXPECT_EQ(R.Update.Downloads().Count(), C.Left) << C.Name;
        EXPECT_FALSE(R.View.StatusVisible) << C.Name;
        EXPECT_EQ(KnownApps.Modified, C.Imported) << C.Name;
        ASSERT_EQ(KnownApps.Count(), 1) << C.Name;
        EXPECT_EQ(KnownApps.GetKnownApp(0)->Name, C.Imported ? "Fresh Tool" : "Kept Tool") << C.Name;
        for (const std::string& Url : R.Grabber.Started)
            EXPECT_EQ(Url, "http://127.0.0.1:8123/quorvan/ApplicationRules.def") << C.Name;
    }
}

TEST(DownloadQueue, StatusTextsWhileTwoRun)
{
    ClearDatabase();
    QueueRun R;
    R.Play(2, {Good(Rules2025), Good(Rules2025)});
    const std::vector<std::string> Expected = {
        "Connecting to 127.0.0.1...",
        "1 KB from 1 (100 %) file [ApplicationRules.def] - 2 files left", "",
        "Connecting to 127.0.0.1...",
        "1 KB from 1 (100 %) file [ApplicationRules.def] - 1 files left", ""};
    EXPECT_EQ(R.View.Statuses, Expected);
}

TEST(DownloadQueue, TextHelpers)
{
    struct Progress { std::int64_t Position, Total; const char* Url; int Left; const char* Text; };
    const Progress Texts[] = {
        {0, 0, "http://h/a/b.def", 1, "0 KB from 0 (0 %) file [b.def] - 1 files left"},
        {5000, 0, "http://h/b.def", 1, "4 KB from 0 (0 %) file [b.def] - 1 files left"},
        {2048, 4096, "http://h/my%20rules%20.def", 2, "2 KB from 4 (50 %) file [my rules .def] - 2 files left"},
        {3000000000LL, 6000000000LL, "http://h/", 3, "2929687 KB from 5859375 (50 %) file [] - 3 files left"},
    };
    for (const Progress& P : Texts)
        EXPECT_EQ(DownloadProgressText(P.Position, P.Total, P.Url, P.Left), P.Text);

    const std::pair<const char*, const char*> Names[] = {
        {"", ""}, {"http://h/", ""}, {"http://h/a%20b%20%20c", "a b  c"}, {"plain", "plain"},
        {"http://h/x/y%2", "y%2"}};
    for (const auto& N : Names)
        EXPECT_EQ(FileNameFromUrl(N.first), N.second) << N.first;

    std::string Mixed = std::string("a\tb\x7F c~\x80\x1F") + '\0' + "d";
    StripNonPrintable(Mixed);
    EXPECT_EQ(Mixed, "ab c~d");

    const std::pair<const char*, bool> Hosts[] = {
        {"www.tessarine.com", true}, {"127.0.0.1:8080", true}, {"localhost", true},
        {"host:65535", true}, {"host:0", false}, {"host:65536", false}, {"host:", false},
        {"", false}, {"a..b", false}, {"-a.b", false}, {"a-.b", false}, {"a/b", false},
        {"a b", false}, {"http://a", false}, {"a:1:2", false}, {"a.b.", false}};
    for (const auto& H : Hosts)
        EXPECT_EQ(ValidUpdateHost(H.first), H.second) << H.first;
    EXPECT_EQ(UpdateHostOrDefault("bad host"), DefaultUpdateHost);
    EXPECT_EQ(HostOfUrl("http://h.example:81/quorvan/x"), "h.example");
}

TEST(DownloadQueue, NotBusyOnceTheAnswerIsInThoughItsBoxIsOpen)
{
    // The box opens before the grabber's stop is dispatched, and stays
    // while the box's own loop dispatches it: no download runs any more.
    Answer NoData;
    Answer NoLength = Good(Rules2025);
    NoLength.Headers = "";
    struct Case { const char* Name; Answer A; const char* Message; };
    const Case Cases[] = {
        {"imported", Good(Rules2025), "Application rules successfully imported!"},
        {"refused", NoLength, "Empty or missing download file!"},
        {"network error", NoData, "Network error or file downloading error!"},
    };
    for (const Case& C : Cases) {
        ClearDatabase();
        QueueRun R;
        std::vector<bool> BusyInBox;
        R.View.DuringMessage = [&] {
            BusyInBox.push_back(R.Update.Busy());
            R.Grabber.SetStatus(gsStopped);
            BusyInBox.push_back(R.Update.Busy());
        };
        R.Play(1, {});
        R.Update.StartNextDownload();
        EXPECT_TRUE(R.Update.Busy()) << C.Name;
        R.Grabber.Play(C.A);
        EXPECT_EQ(R.View.Messages, std::vector<std::string>{C.Message}) << C.Name;
        EXPECT_EQ(BusyInBox, (std::vector<bool>{false, false})) << C.Name;
        EXPECT_FALSE(R.Update.Busy()) << C.Name;
    }
}

TEST(DownloadQueue, GrabberOutlivesItsQueue)
{
    // The rest of a download the freed queue started reaches no freed
    // handler (the sanitizer build would stop here).
    FakeGrabber G;
    auto L = std::make_unique<Tdownloadschedulelist>(&G);
    L->Add(std::make_unique<Tdownloadscheduleitem>("http://h/r.def", dkRulesFile, 0));
    L->StartNextDownload();
    L.reset();
    G.Play(Good(Rules2025));
    EXPECT_EQ(G.Status(), gsStopped);
    EXPECT_EQ(G.Started.size(), 1u);
}

TEST(DownloadQueue, DeliveredFileChecksAtTheirLimits)
{
    // A 404 text padded with blanks to Size bytes.
    const auto Padded = [](std::size_t Size) {
        std::string S = " 404 not FOUND";
        return S + std::string(Size - S.size(), ' ');
    };
    const auto Length = [](std::size_t N) {
        return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
               std::to_string(N) + "\r\n\r\n";
    };
    const std::string Big(static_cast<std::size_t>(MaxDownloadSize), 'r');
    const std::string Split = "\x01<p>404\t NOT\x7F FOUND</p>\r\n";
    const std::string Rules = "[Version]\r\n2025 March 3\r\n\r\n";  // 27 bytes
    using V = TDownloadVerdict;
    struct Case { const char* Name; std::string Stream; std::int64_t Size; int Http; std::string Headers; V Want; };
    const Case Cases[] = {
        {"404 text at 1024 bytes", Padded(1024), 1024, 200, Length(1024), V::NotFoundPage},
        {"404 text at 1025 bytes", Padded(1025), 1025, 200, Length(1025), V::Import},
        {"404 split by control characters", Split, static_cast<std::int64_t>(Split.size()), 200,
         Length(Split.size()), V::NotFoundPage},
        {"size 0 reported", "x", 0, 200, Length(1), V::Empty},
        {"negative size", "x", -1, 200, Length(1), V::Empty},
        {"size apart from the stream", "xy", 1, 200, Length(1), V::LengthMismatch},
        {"not 200", "[Version]", 9, 404, Length(9), V::NotOk},
        {"no answer", "", 0, 0, "", V::NotOk},
        {"at the cap", Big, MaxDownloadSize, 200, Length(Big.size()), V::Import},
        {"over the cap", Big + "r", MaxDownloadSize + 1, 200, Length(Big.size() + 1), V::TooLarge},
        {"matching length", Rules, 27, 200, Length(27), V::Import},
        {"no length", Rules, 27, 200, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n", V::NoLength},
        {"no headers at all", Rules, 27, 200, "", V::NoLength},
        {"ended short of the length", Rules, 27, 200, Length(28), V::LengthMismatch},
        {"longer than the length", Rules, 27, 200, Length(26), V::LengthMismatch},
        {"chunked", Rules, 27, 200, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", V::NoLength},
        {"chunked beside a length", Rules, 27, 200, "Content-Length: 27\r\ntransfer-encoding: chunked\r\n", V::NoLength},
        {"name in any case, blanks around", Rules, 27, 200, "content-LENGTH:\t 27 \r\n", V::Import},
        {"bare LF lines", Rules, 27, 200, "HTTP/1.1 200 OK\nContent-Length: 27\n\n", V::Import},
        {"leading zeros", Rules, 27, 200, "Content-Length: 0027\r\n", V::Import},
        {"two equal copies", Rules, 27, 200, "Content-Length: 27\r\nContent-Length: 27\r\n", V::Import},
        {"two copies disagree", Rules, 27, 200, "Content-Length: 27\r\nContent-Length: 28\r\n", V::NoLength},
        {"a list", Rules, 27, 200, "Content-Length: 27, 27\r\n", V::NoLength},
        {"signed", Rules, 27, 200, "Content-Length: +27\r\n", V::NoLength},
        {"empty value", Rules, 27, 200, "Content-Length:\r\n", V::NoLength},
        {"blank before the colon", Rules, 27, 200, "Content-Length : 27\r\n", V::NoLength},
        {"folded value", Rules, 27, 200, "Content-Length: 27\r\n 1\r\n", V::NoLength},
        {"18 digits", Rules, 27, 200, "Content-Length: 000000000000000027\r\n", V::Import},
        {"19 digits", Rules, 27, 200, "Content-Length: 0000000000000000027\r\n", V::NoLength},
        {"overflowing digits", Rules, 27, 200, "Content-Length: 18446744073709551643\r\n", V::NoLength},
        {"another header's name", Rules, 27, 200, "X-Content-Length: 27\r\n", V::NoLength},
        {"length in another header's value", Rules, 27, 200, "X-Note: Content-Length: 27\r\n", V::NoLength},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(JudgeDownload(C.Http, C.Headers, C.Stream, C.Size), C.Want) << C.Name;
}
