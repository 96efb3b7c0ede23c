// A stand-in for the main window in the monitor tests: a form with host
// panels side by side, the question dialog and a monitor, with the main
// window's idle adjustment and its road of one request (identify, take the
// start parameters, open into a panel). It answers the question dialog and
// message boxes from a timer and ends every program its items held.
#pragma once

#include "hosting/AppPanel.h"
#include "hosting/Modules.h"
#include "hosting/appmonitor.h"
#include "hosting/confirmation.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Timer.h"

#include "Win32TestSupport.h"

#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

// Sets an environment variable for the programs started while it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* Name, const std::string& Value) : FName(Name)
    {
        ::SetEnvironmentVariableA(Name, Value.c_str());
    }
    ~ScopedEnv() { ::SetEnvironmentVariableA(FName, nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* FName;
};

class TestHost {
public:
    // The monitor's tick here: the tests wait for ticks, not for seconds.
    static const unsigned TickMs = 250;

    explicit TestHost(int Panels = 3)
    {
        FormArgs A;
        A.Caption = "Monitor test host";
        A.ClientWidth = 330 * Panels;
        A.ClientHeight = 280;
        A.CenterOnDesktop = false;
        Main = new Form(&App, A);
        App.MainForm = Main;
        Confirm = new TConfirmationForm(&App);
        Monitor = std::make_unique<TApplicationMonitor>(Main, nullptr);
        Monitor->Timer->SetInterval(TickMs);
        for (int I = 0; I < Panels; ++I) {
            AppPanelArgs P;
            P.Parent = Main;
            P.HomeParent = Main;
            P.Monitor = Monitor.get();
            P.Left = 330 * I;
            P.Width = 320;  // the inner panel: 310 x 250
            P.Height = 260;
            Hosts.push_back(new TAppPanel(Main, P));
        }
        PanelTexts.resize(Hosts.size());
        Main->Show();
        IdleId = App.AddIdleHandler([this] {
            if (!Monitor)
                return;
            Monitor->AdjustAll(false, false);
            for (std::size_t I = 0; I < Hosts.size(); ++I) {
                const std::string Text = Hosts[I]->ClientPanel->Text();
                if (PanelTexts[I].empty() || PanelTexts[I].back() != Text)
                    PanelTexts[I].push_back(Text);
            }
        });
        // Quiet, as the loop's own clock: the idle pass runs only when the
        // code under test asks for it.
        Answerer = new ::Timer(&App, 50);
        Answerer->QuietTicks = true;
        Answerer->OnTimer = [this] { AnswerDialogs(); };
    }
    ~TestHost()
    {
        App.RemoveIdleHandler(IdleId);
        Monitor.reset();
        for (const std::uint32_t Pid : Started)
            if (HANDLE P = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Pid)) {
                ::TerminateProcess(P, 1);
                ::WaitForSingleObject(P, 5000);
                ::CloseHandle(P);
            }
        delete Main;
    }
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    ::Panel* Inner(int Index) const { return Hosts[static_cast<std::size_t>(Index)]->ClientPanel; }

    // The main window's road: identify, take the start parameters, open.
    bool Open(const std::string& Exe, int PanelIndex, bool AsExternal = false,
              const std::string& Name = std::string())
    {
        TIdentifyInfo Info;
        std::string Message;
        CheckApplication(Name, Exe, Info, Message, AsExternal);
        std::string Params;
        GetStartParams(Info, Params);
        const bool Ok = Monitor->OpenApplication(Name, Exe, Info, AsExternal, true,
                                                 PanelIndex < 0 ? nullptr : Inner(PanelIndex),
                                                 Params);
        NoteProcesses();
        return Ok;
    }
    void NoteProcesses()
    {
        for (int I = 0; I < Monitor->Count(); ++I)
            if (Monitor->Items(I)->ProcessId)
                Started.insert(Monitor->Items(I)->ProcessId);
    }

    TApplicationItem* ItemIn(int PanelIndex) const { return Monitor->FindItemByPanel(Inner(PanelIndex)); }
    bool BoundIn(int PanelIndex) const
    {
        const TApplicationItem* I = ItemIn(PanelIndex);
        return I && I->Bound;
    }

    // Runs the application's loop, idle handlers included, until Done
    // answers true or TimeoutMs passes.
    bool RunUntil(const std::function<bool()>& Done, DWORD TimeoutMs)
    {
        const DWORD Start = ::GetTickCount();
        ::Timer Wake(nullptr, 20);
        Wake.QuietTicks = true;
        Wake.OnTimer = [] {};
        App.RunModalLoop([&] { return Done() || ::GetTickCount() - Start > TimeoutMs; });
        return Done();
    }
    // Monitor ticks that ran from now on.
    int TicksSince() const { return Ticks; }
    void CountTicks()
    {
        Monitor->Timer->OnTimer = [this] {
            ++Ticks;
            Monitor->TimerTick();
        };
    }

    TApplication App;
    Form* Main = nullptr;
    TConfirmationForm* Confirm = nullptr;
    std::unique_ptr<TApplicationMonitor> Monitor;
    std::vector<TAppPanel*> Hosts;
    std::set<std::uint32_t> Started;
    // Each panel's texts as the idle adjustment left them, changes only.
    std::vector<std::vector<std::string>> PanelTexts;

    // The question is answered with this; its texts and the message boxes'
    // texts are kept.
    std::uint8_t Answer = caCancelled;
    std::vector<std::string> Questions;
    std::vector<std::string> Messages;
    ::Timer* Answerer = nullptr;

private:
    void AnswerDialogs()
    {
        if (::IsWindowVisible(Confirm->Handle())) {
            Questions.push_back(Confirm->InfoLabel->Text());
            Button* B = Answer == caYes ? Confirm->YesButton
                        : Answer == caNo ? Confirm->NoButton
                                         : Confirm->CancelButton;
            ::SendMessageA(B->Handle(), BM_CLICK, 0, 0);
            return;
        }
        struct Find {
            HWND Box = nullptr;
            static BOOL CALLBACK Visit(HWND Wnd, LPARAM Param)
            {
                char Class[32] = {};
                ::GetClassNameA(Wnd, Class, sizeof(Class));
                if (std::string(Class) == "#32770" && ::IsWindowVisible(Wnd)) {
                    reinterpret_cast<Find*>(Param)->Box = Wnd;
                    return FALSE;
                }
                return TRUE;
            }
            static BOOL CALLBACK Text(HWND Wnd, LPARAM Param)
            {
                char Class[32] = {}, Buf[512] = {};
                ::GetClassNameA(Wnd, Class, sizeof(Class));
                ::GetWindowTextA(Wnd, Buf, sizeof(Buf));
                auto* Out = reinterpret_cast<std::string*>(Param);
                if (SameText(Class, "Static") && std::string(Buf).size() > Out->size())
                    *Out = Buf;
                return TRUE;
            }
        } F;
        ::EnumThreadWindows(::GetCurrentThreadId(), &Find::Visit, reinterpret_cast<LPARAM>(&F));
        if (!F.Box)
            return;
        std::string Text;
        ::EnumChildWindows(F.Box, &Find::Text, reinterpret_cast<LPARAM>(&Text));
        Messages.push_back(Text);
        ::PostMessageA(F.Box, WM_COMMAND, IDOK, 0);
    }

    int IdleId = 0;
    int Ticks = 0;
};
