#include "mainwindow/RulesUpdateWin.h"

#include "hosting/Modules.h"
#include "toolkit/Registry.h"

std::string ReadUpdateHostSetting()
{
    Registry Reg;
    if (!Reg.OpenKeyReadOnly(std::string(ModuleKeyRoot) + "Quorvan"))
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
