#include "mainwindow/RulesUpdateWin.h"

#include "mainwindow/StoredState.h"
#include "toolkit/Registry.h"

std::string ReadUpdateHostSetting()
{
    Registry Reg;
    if (!Reg.OpenKeyReadOnly(HostKey()))
        return "";
    try {
        return Reg.ReadString("UpdateHost");
    } catch (const RegistryError&) {
        return "";
    }
}

TRulesUpdater::TRulesUpdater(Component* Owner, IRulesUpdateView& View)
    : Component(Owner), Update(Grabber, View, &ReadUpdateHostSetting)
{
    Name = "RulesUpdater";
}
