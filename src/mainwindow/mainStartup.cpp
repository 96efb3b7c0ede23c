// The main window's start-up: the stored state read at the first
// activation in steps, the monitor made at their end, and what the reading
// has to tell shown after whatever is running.
#include "mainwindow/main.h"
#include "mainwindow/mainParts.h"

#include "dialogs/applicationlistWin.h"
#include "hosting/RulesFile.h"
#include "hosting/VelmoraWin.h"
#include "hosting/appmonitor.h"
#include "hosting/confirmation.h"
#include "mainwindow/LayoutDesignerWin.h"
#include "mainwindow/WindowPositionWin.h"
#include "toolkit/AppMessages.h"
#include "toolkit/Dialogs.h"

#include <fstream>
#include <sstream>

using namespace mainparts;

namespace {

StringList LoadRulesFileLines()
{
    std::ifstream In(ProgramDir + "ApplicationRules.def", std::ios::binary);
    if (!In)
        return StringList();
    std::ostringstream Text;
    Text << In.rdbuf();
    StringList Lines;
    TextToLines(Text.str(), Lines);
    return Lines;
}

const int LayoutValuesPerStep = 64;

}  // namespace

void Tmainform::LoadWindowPlace()
{
    TRegistrySettingsStore Store;
    if (Store.OpenKeyReadOnly(HostKey())) {
        LoadWindowPosition(Store, Handle(), MainWindowPrefix);
        Store.CloseKey();
    }
}

void Tmainform::FormActivate()
{
    if (!FirstActivate)
        return;
    FirstActivate = false;
    Layouts->HasHost = true;
    StartupStore = std::make_unique<TRegistrySettingsStore>();
    TStartupHooks Hooks;
    // A stored node costs a trip to the registry's server (some 40 us under
    // Wine): thousands of them in steps of a few ms each.
    Hooks.LoadLayouts = [this](ISettingsStore&) {
        if (!StartupLayouts) {
            StartupLayoutValues = std::make_unique<TRegistryValuesWin>(StartupStore->Registry);
            StartupLayouts = std::make_unique<TLayoutsLoader>(Layouts->Tree, *StartupLayoutValues);
        }
        if (!StartupLayouts->Step(LayoutValuesPerStep))
            return true;
        StartupLayoutsRead = StartupLayouts->Report();
        StartupLayouts.reset();
        StartupLayoutValues.reset();
        return false;
    };
    Hooks.ReadApplicationList = [](const StringList& Lines) {
        return ApplicationListForm ? ApplicationListForm->ReadApplicationList(Lines) : TListReadReport();
    };
    Hooks.ReadApplicationRules = [](const StringList& Lines, int& ErrorLine) {
        return ReadApplicationRules(Lines, ErrorLine);
    };
    Hooks.LoadRulesFile = [] { return LoadRulesFileLines(); };
    StartupReader = std::make_unique<TStoredStateReader>(*StartupStore, std::move(Hooks));
    // The layouts' first part now, the rest and the window's place, then
    // each stored list in a step of its own (tens of ms at 10,000 x 20,000),
    // on a posted message, which comes before the idle pass: that so sees
    // everything read.
    StartupReader->Step();
    ::PostMessageA(Handle(), WM_STARTUP_STEP, 0, 0);
}

void Tmainform::StartupStep()
{
    if (!StartupReader)
        return;
    // Posted messages come before input and paints: a click or a paint
    // waiting now goes first, the step follows on a timer, whose message
    // comes after them. So the window is painted and a click at its first
    // paint waits for one step at most.
    if (HIWORD(::GetQueueStatus(QS_INPUT | QS_PAINT)) != 0) {
        ::SetTimer(Handle(), StartupStepTimer, USER_TIMER_MINIMUM, nullptr);
        return;
    }
    StartupReader->Step();
    if (StartupReader->Done())
        FinishStartup();
    else
        ::PostMessageA(Handle(), WM_STARTUP_STEP, 0, 0);
}

void Tmainform::CompleteStartup()
{
    while (StartupReader && !StartupReader->Done())
        StartupReader->Step();
    if (StartupReader)
        FinishStartup();
}

void Tmainform::FinishStartup()
{
    const std::uint8_t Result = StartupReader->Result();
    const TStoredRulesFault Fault = StartupReader->StoredRulesFault();
    const bool RulesFileRead = StartupReader->RulesFileRead();
    const TListReadReport ListRead = StartupReader->StoredListReport();
    StoredRulesDamaged = Fault.Any();
    StartupReader.reset();
    StartupStore.reset();
    Monitor = std::make_unique<TApplicationMonitor>(
        this, ApplicationListForm ? &ApplicationListForm->AppGrid : nullptr);
    Monitor->OnAllClosed = [this](TApplicationMonitor&) { MonitorAllClosed(); };
    Monitor->OnMainWindowBound = [this](TApplicationItem& Item) { MonitorNewApplication(Item); };
    LayoutHost.Monitor = Monitor.get();
    LayoutHost.Confirmation = ConfirmationForm;
    LayoutHost.AppList = this;
    if (ApplicationListForm)
        DesignerApps = std::make_unique<TDesignerAppList>(ApplicationListForm->List);
    if (layoutsform)
        layoutsform->Attach(*Layouts, DesignerApps.get());
    // An idle pass may have built the menus between the steps, from lists
    // not read yet.
    RefreshApps = true;
    RefreshLayoutsMenu = true;
    if (Fault.Any())
        StartupMessages.push_back(StoredRulesMessage(Fault, RulesFileRead));
    if (Result > 1 && Result < ImportErrorCount)
        StartupMessages.push_back(ImportErrors[Result]);
    if (!StartupLayoutsRead.Whole())
        StartupMessages.push_back(LayoutsReadMessage(StartupLayoutsRead));
    if (!ListRead.Whole())
        StartupMessages.push_back(StoredListMessage(ListRead));
    if (!StartupMessages.empty())
        ::PostMessageA(Handle(), WM_STARTUP_MESSAGES, 0, 0);
}

void Tmainform::ShowStartupMessages()
{
    // Each shown once, also when a box's loop brings this message again.
    while (!SessionMayEnd && !StartupMessages.empty()) {
        const std::string Text = StartupMessages.front();
        StartupMessages.erase(StartupMessages.begin());
        ShowMessage(Text);
    }
}
