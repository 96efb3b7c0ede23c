// What a close or the session's end writes to the registry.
#include "mainwindow/main.h"
#include "mainwindow/mainParts.h"

#include "dialogs/applicationlistWin.h"
#include "hosting/KnownApps.h"
#include "hosting/RulesFile.h"
#include "hosting/VelmoraWin.h"
#include "mainwindow/WindowPositionWin.h"

std::vector<TStoreFailure> Tmainform::StoreState()
{
    // Nothing was read before the first activation: the stored state stays.
    // Stored once: the program ends after it.
    if (FirstActivate || StateStored)
        return {};
    StateStored = true;
    // Gone from the screen before the state is written: a large database
    // takes a while to write, which the user need not watch.
    ::ShowWindow(Handle(), SW_HIDE);
    TRegistrySettingsStore Store;
    TShutdownHooks Hooks;
    Hooks.ExePath = ModuleFileName(nullptr);
    Hooks.SaveWindowPosition = [this](ISettingsStore& S) {
        return SaveWindowPosition(S, Handle(), MainWindowPrefix);
    };
    Hooks.SaveLayouts = [this, &Store](ISettingsStore&) {
        TRegistryValuesWin Values(Store.Registry);
        try {
            Layouts->Tree.SaveLayouts(Values);
            return true;
        } catch (const RegistryError&) {
            return false;
        }
    };
    Hooks.DatabaseHasEntries = [] {
        return KnownApps.Count() > 0 || AllowedWindows.Count() > 0 || ForbiddenWindows.Count() > 0;
    };
    // An edit or an update marks the database modified; Restore defaults
    // deleted the stored one itself.
    Hooks.KeepStoredDatabase = [this] {
        return StoredRulesDamaged &&
               !(KnownApps.Modified || AllowedWindows.Modified || ForbiddenWindows.Modified);
    };
    Hooks.WriteApplicationRules = [] {
        StringList Lines;
        WriteApplicationRules(Lines);
        return Lines;
    };
    Hooks.ApplicationListModified = [] {
        return ApplicationListForm && ApplicationListForm->ApplicationListModified();
    };
    Hooks.WriteApplicationList = [] {
        StringList Lines;
        ApplicationListForm->WriteApplicationList(Lines);
        return Lines;
    };
    return WriteStoredState(Store, Hooks);
}
