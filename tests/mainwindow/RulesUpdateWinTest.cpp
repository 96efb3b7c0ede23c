#include "TestHttpServer.h"  // winsock2.h before windows.h

#include "mainwindow/RulesUpdateWin.h"

#include "../Win32TestSupport.h"
#include "../hosting/RulesTestSupport.h"
#include "RulesUpdateSupport.h"

#include "mainwindow/StoredState.h"
#include "toolkit/Registry.h"

#include <gtest/gtest.h>

namespace {

const char* const RulesPath = "/quorvan/ApplicationRules.def";

void SetUpdateHost(const std::string& Host)
{
    Registry Reg;
    ASSERT_TRUE(Reg.OpenKey(HostKey(), true));
    if (Host.empty())
        Reg.DeleteValue("UpdateHost");
    else
        Reg.WriteString("UpdateHost", Host);
}

// Clicks Update, then runs idle passes and messages until the queue is
// empty and the grabber stopped.
bool RunDownloads(TRulesUpdater& U, int Clicks)
{
    for (int I = 0; I < Clicks; ++I)
        U.UpdateActionExecute();
    return PumpUntil(
        [&] {
            U.StartNextDownload();
            return !U.Busy() && U.Downloads().Count() == 0;
        },
        10000);
}

} // namespace

// One database, one server; the rows run in order.
TEST(RulesUpdateWin, DownloadsFromTheUpdateHost)
{
    TestHttpServer Server;
    const std::string Good = RulesText("2025 March 3", "Fresh Tool", 3000);
    const std::string Local = "127.0.0.1:" + std::to_string(Server.Port);
    const std::string Closed = "127.0.0.1:" + std::to_string(TestHttpServer::ClosedPort());
    const std::string Ok = "Application rules successfully imported!";
    const std::string Same = "Your application rules already are up-to-date!";
    const std::string Missing = "Empty or missing download file!";
    const std::string Network = "Network error or file downloading error!";
    struct Row {
        const char* Name;
        std::string Host;
        CannedAnswer Answer;
        int Clicks;
        std::vector<std::string> Messages;
        const char* Status;  // a status text seen on the way
        bool Imported;
    };
    const Row Rows[] = {
        {"good rules", Local, {200, Good}, 1, {Ok}, "Connecting to 127.0.0.1...", true},
        {"again", Local, {200, Good}, 1, {Same}, "] - 1 files left", false},
        {"short 404 page", Local, {404, "<h1>404 Not Found</h1>"}, 1, {Missing}, "", false},
        {"long error page", Local, {500, "<html>" + std::string(5000, 'e') + "</html>"}, 1,
         {Missing}, "", false},
        {"empty 200", Local, {200, ""}, 1, {Network}, "", false},
        {"closed port", Closed, {200, Good}, 1, {Network}, "", false},
        {"two queued", Local, {200, Good, 4, 30}, 2, {Same, Same}, "] - 2 files left", false},
        // Its first part is a whole, newer rules text.
        {"cut short", Local, {200, RulesText("2026 May 5", "Cut Tool", 3000), 2, 20, 1500}, 2,
         {Missing, Missing}, "", false},
    };
    ClearDatabase();
    RecordingView View;
    TRulesUpdater U(nullptr, View);
    for (const Row& R : Rows) {
        SetUpdateHost(R.Host);
        Server.SetAnswer(RulesPath, R.Answer);
        View.Messages.clear();
        View.Statuses.clear();
        KnownApps.Modified = false;
        const std::string Before = DescribeDatabase();
        ASSERT_TRUE(RunDownloads(U, R.Clicks)) << R.Name;
        EXPECT_EQ(View.Messages, R.Messages) << R.Name;
        EXPECT_TRUE(View.SawStatus(R.Status)) << R.Name;
        EXPECT_FALSE(View.StatusVisible) << R.Name;
        EXPECT_EQ(KnownApps.Modified, R.Imported) << R.Name;
        EXPECT_EQ(DescribeDatabase() != Before, R.Imported) << R.Name;
    }
    EXPECT_NE(Server.LastRequest().find("User-Agent: JEDI-VCL\r\n"), std::string::npos);
    SetUpdateHost("bad host!");
    U.UpdateActionExecute();
    EXPECT_EQ(U.Downloads().Items(0)->URL, "http://www.tessarine.com/quorvan/ApplicationRules.def");
    U.Downloads().Clear();
    SetUpdateHost("");
}

TEST(RulesUpdateWin, ImportsOnlyAnswersProvenWhole)
{
    // Two entries, then padding: every cut below still reads as a valid,
    // newer rules text with fewer entries or a shorter comment.
    const std::string Second = " Tools | Second Tool | | | | bind | second.exe | | | | |\r\n";
    const std::string Full =
        RulesText("2026 May 5", "First Tool") + Second + "; " + std::string(3000, 'x') + "\r\n";
    const std::size_t RowEnd = Full.find(Second);
    const std::string Ok = "Application rules successfully imported!";
    const std::string Missing = "Empty or missing download file!";
    using A = CannedAnswer;
    struct Row {
        const char* Name;
        CannedAnswer Answer;
        std::string Message;
        bool Imported;
    };
    const Row Rows[] = {
        {"cut mid-line, no length", {200, Full, 2, 20, Full.size() - 1000, A::NoLength}, Missing, false},
        {"cut at a line boundary, no length", {200, Full, 1, 0, RowEnd, A::NoLength}, Missing, false},
        {"whole, no length", {200, Full, 1, 0, std::string::npos, A::NoLength}, Missing, false},
        {"chunked without the last chunk", {200, Full, 3, 20, std::string::npos, A::Chunked,
         std::string::npos, false}, Missing, false},
        {"whole chunked", {200, Full, 3, 20, std::string::npos, A::Chunked}, Missing, false},
        {"length larger than the body", {200, Full, 1, 0, std::string::npos, A::Length,
         Full.size() + 10}, Missing, false},
        {"valid newer file", {200, Full}, Ok, true},
    };
    TestHttpServer Server;
    SetUpdateHost("127.0.0.1:" + std::to_string(Server.Port));
    StringList Kept;
    TextToLines(RulesText("2021 June 1", "Kept Tool"), Kept);
    RecordingView View;
    TRulesUpdater U(nullptr, View);
    for (const Row& R : Rows) {
        ClearDatabase();
        int Line = 0;
        ASSERT_EQ(ReadApplicationRules(Kept, Line), 0);
        Server.SetAnswer(RulesPath, R.Answer);
        View.Messages.clear();
        KnownApps.Modified = false;
        const StringList Before = WrittenRules();
        ASSERT_TRUE(RunDownloads(U, 1)) << R.Name;
        EXPECT_EQ(View.Messages, std::vector<std::string>{R.Message}) << R.Name;
        EXPECT_EQ(KnownApps.Modified, R.Imported) << R.Name;
        if (R.Imported)
            EXPECT_EQ(KnownApps.Count(), 2) << R.Name;
        else
            EXPECT_EQ(WrittenRules(), Before) << R.Name;
    }
    SetUpdateHost("");
}

TEST(RulesUpdateWin, GrabberGoneMidTransfer)
{
    // Freed while the worker reads, or waits on a server that says nothing:
    // it goes at once and delivers nothing after.
    TestHttpServer Server;
    Server.SetAnswer(RulesPath, {200, std::string(20000, 'x'), 20, 50});
    SilentListener Silent;
    struct Case { const char* Name; int Port; int Reached; int Events; };
    const Case Cases[] = {{"slow transfer", Server.Port, gsReceiving, 2},
                          {"silent server", Silent.Port, gsConnecting, 1}};
    for (const Case& C : Cases) {
        int Events = 0;
        DWORD Freeing = 0;
        {
            auto G = std::make_unique<THttpUrlGrabber>();
            G->OnStatusChange = [&](IUrlGrabber&) { ++Events; };
            G->SetUrl("http://127.0.0.1:" + std::to_string(C.Port) + RulesPath);
            G->Start();
            ASSERT_TRUE(PumpUntil([&] { return G->Status() == C.Reached; }, 5000)) << C.Name;
            PumpUntil([] { return false; }, 50);
            Freeing = ::GetTickCount();
        }
        EXPECT_LT(::GetTickCount() - Freeing, 1000u) << C.Name;
        PumpUntil([] { return false; }, 100);
        EXPECT_EQ(Events, C.Events) << C.Name;
    }
}

TEST(RulesUpdateWin, SystemProxyWithLocalNamesDirect)
{
    TestHttpServer Proxy, Direct;
    Proxy.SetAnswer("http://rules.example:80/quorvan/x", {200, "via proxy"});
    Direct.SetAnswer("/quorvan/x", {200, "direct"});
    const char* const Key = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    struct Restore {
        Registry Reg;
        ~Restore() { Reg.WriteInteger("ProxyEnable", 0); Reg.DeleteValue("ProxyServer"); }
    } Settings;
    ASSERT_TRUE(Settings.Reg.OpenKey(Key, true));
    Settings.Reg.WriteInteger("ProxyEnable", 1);
    Settings.Reg.WriteString("ProxyServer", "127.0.0.1:" + std::to_string(Proxy.Port));
    struct Case { std::string Url; const char* Body; };
    const Case Cases[] = {
        {"http://rules.example/quorvan/x", "via proxy"},
        {"http://localhost:" + std::to_string(Direct.Port) + "/quorvan/x", "direct"},
    };
    for (const Case& C : Cases) {
        THttpUrlGrabber G;
        std::string Got = "<none>";
        G.OnDoneStream = [&](IUrlGrabber&, const std::string& S, std::int64_t, const std::string&, int,
                              const std::string&) { Got = S; };
        G.OnStatusChange = [](IUrlGrabber&) {};
        G.SetUrl(C.Url);
        G.Start();
        ASSERT_TRUE(PumpUntil([&] { return G.Status() == gsStopped; }, 5000)) << C.Url;
        EXPECT_EQ(Got, C.Body) << C.Url;
    }
}
