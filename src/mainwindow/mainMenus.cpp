// The main tool bar's two drop-down menus, the layouts and the
// applications, rebuilt when flagged.
#include "mainwindow/main.h"
#include "mainwindow/mainParts.h"

#include "dialogs/applicationlistWin.h"
#include "hosting/Identify.h"
#include "hosting/KnownApps.h"
#include "hosting/appmonitor.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Menus.h"

using namespace mainparts;

void Tmainform::RefreshMenus()
{
    if (RefreshApps) {
        if (ApplicationListForm && BindAppComboBox)
            ApplicationListForm->FillApplicationCombo(KindBit(akBind), *BindAppComboBox, "",
                                                      SelectApplication);
        SyncBindAppComboBox();
        BuildApplicationsMenu();
        RefreshApps = false;
    }
    if (RefreshLayoutsMenu) {
        BuildLayoutsMenu();
        RefreshLayoutsMenu = false;
    }
}

void Tmainform::BuildApplicationsMenu()
{
    ApplicationsPopupMenu->Clear();
    AppMenuIcons.clear();
    if (!ApplicationListForm)
        return;
    StringList Names;
    ApplicationListForm->BindableApplications(KindBit(akBind) | KindBit(akExternal), Names, false);
    // The shell's image list and an item's icon are fetched when the menu
    // opens and the item is drawn: the shell takes long over each file,
    // and a long menu shows few items at a time.
    ApplicationsPopupMenu->OnPopup = [this] {
        int W = 16, H = 16;
        ::ImageList_GetIconSize(ApplicationListForm->SystemImages().Handle(), &W, &H);
        ApplicationsPopupMenu->ImageSize = {W, H};
    };
    ApplicationsPopupMenu->DrawImage = [this](HDC Dc, int Item, int X, int Y, bool) {
        ::ImageList_Draw(ApplicationListForm->SystemImages().Handle(), AppMenuIcon(Item), Dc, X, Y,
                         ILD_TRANSPARENT);
    };
    for (const std::string& Name : Names) {
        int Index = -1;
        if (!FindKnownAppByName(Name, Index, false))
            continue;
        MenuItem Item;
        Item.Caption = Name;
        Item.Tag = Index;
        // The item's place in AppMenuIcons, which holds its icon once drawn.
        Item.ImageIndex = static_cast<int>(AppMenuIcons.size());
        AppMenuIcons.push_back(-1);
        // Bound to the name: a rebuilt database shifts the indexes.
        Item.OnClick = [this, Name](MenuItem&) { ApplicationsMenuClick(Name); };
        ApplicationsPopupMenu->Add(std::move(Item));
    }
}

int Tmainform::AppMenuIcon(int Item)
{
    if (Item < 0 || Item >= static_cast<int>(AppMenuIcons.size()))
        return -1;
    int& Icon = AppMenuIcons[static_cast<std::size_t>(Item)];
    if (Icon < 0)
        Icon = ApplicationListForm->ApplicationIconIndex(ApplicationsPopupMenu->Items(Item).Caption);
    return Icon;
}

void Tmainform::BuildLayoutsMenu()
{
    LayoutsPopupMenu->Clear();
    const TLayoutTree& Tree = Layouts->Tree;
    // A layout's absolute index follows the subtrees of those before it:
    // one walk of the tree, not one for each layout.
    int Index = 0;
    for (const TNodeId Root : Tree.Roots()) {
        MenuItem Item;
        Item.Caption = Tree.Text(Root);
        Item.Tag = Index;
        Index += static_cast<int>(Tree.Subtree(Root).size());
        Item.GroupIndex = 1;
        Item.Checked = Root == Layouts->AppliedLayout();
        // Bound to the node itself: later edits shift absolute indexes.
        Item.OnClick = [this, Root](MenuItem&) { LayoutsMenuClick(Root); };
        LayoutsPopupMenu->Add(Item);
    }
}

void Tmainform::LayoutsMenuClick(TNodeId Node)
{
    if (!Layouts->Tree.IsLayoutNode(Node))
        return;
    Layouts->ApplyLayout(Node);
    RefreshLayoutsMenu = true;
}

void Tmainform::ApplicationsMenuClick(const std::string& Name)
{
    int Index = -1;
    std::string Path;
    if (!Monitor || !FindKnownAppByName(Name, Index, false) ||
        !ApplicationLocation(Name, Path, true))
        return;
    TIdentifyInfo Info;
    Monitor->OpenApplication(Name, Path, Info, true, true, nullptr, "");
}

bool Tmainform::ApplicationLocation(const std::string& Name, std::string& Path, bool Translate)
{
    return ApplicationListForm && ApplicationListForm->ApplicationLocation(Name, Path, Translate);
}
