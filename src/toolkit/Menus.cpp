#include "toolkit/Menus.h"

#include "toolkit/Application.h"
#include "toolkit/Control.h"

namespace {
// Command ids are item index + 1: 0 means nothing was chosen.
const UINT FirstId = 1;
const UINT WM_RUN_CHOICE = WM_APP + 1;
}

// The owner of the open menu: it draws the images of the items.
class PopupMenu::OwnerWindow : public Control {
public:
    OwnerWindow(Component* Owner, PopupMenu& Menu) : Control(Owner), FMenu(Menu)
    {
        CreateParams P;
        P.Style = WS_POPUP;
        P.Width = P.Height = 0;
        P.X = P.Y = 0;
        CreateHandle(P);
    }

    // The item as chosen: the menu may be rebuilt before it runs.
    void RunLater(const MenuItem& Item)
    {
        FChoices.push_back(Item);
        ::PostMessageA(Handle(), WM_RUN_CHOICE, 0, 0);
    }

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override
    {
        if (Msg == WM_RUN_CHOICE) {
            if (!FChoices.empty()) {
                MenuItem Item = FChoices.front();
                FChoices.erase(FChoices.begin());
                if (Item.OnClick)
                    Guarded([&] { Item.OnClick(Item); });
            }
            return 0;
        }
        if (Msg == WM_MEASUREITEM) {
            auto* M = reinterpret_cast<MEASUREITEMSTRUCT*>(LParam);
            if (M->CtlType == ODT_MENU) {
                M->itemWidth = static_cast<UINT>(FMenu.ImageSize.cx);
                M->itemHeight = static_cast<UINT>(FMenu.ImageSize.cy + 2);
                return TRUE;
            }
        }
        if (Msg == WM_DRAWITEM) {
            auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(LParam);
            const int Index = static_cast<int>(D->itemID) - static_cast<int>(FirstId);
            if (D->CtlType == ODT_MENU && Index >= 0 && Index < FMenu.Count() && FMenu.DrawImage) {
                const MenuItem& Item = FMenu.Items(Index);
                const int X = D->rcItem.left + ((D->rcItem.right - D->rcItem.left) - FMenu.ImageSize.cx) / 2;
                const int Y = D->rcItem.top + ((D->rcItem.bottom - D->rcItem.top) - FMenu.ImageSize.cy) / 2;
                FMenu.DrawImage(D->hDC, Item.ImageIndex, X, Y, Item.Enabled);
                return TRUE;
            }
        }
        return Control::WndProc(Msg, WParam, LParam);
    }

private:
    PopupMenu& FMenu;
    std::vector<MenuItem> FChoices;
};

PopupMenu::PopupMenu(Component* Owner) : Component(Owner) {}

PopupMenu::~PopupMenu()
{
    if (FMenu)
        ::DestroyMenu(FMenu);
}

MenuItem& PopupMenu::Add(const MenuItem& Item)
{
    FItems.push_back(std::make_unique<MenuItem>(Item));
    return *FItems.back();
}

MenuItem& PopupMenu::Add(MenuItem&& Item)
{
    FItems.push_back(std::make_unique<MenuItem>(std::move(Item)));
    return *FItems.back();
}

void PopupMenu::Clear()
{
    FItems.clear();
}

void PopupMenu::Build()
{
    if (FMenu)
        ::DestroyMenu(FMenu);
    FMenu = ::CreatePopupMenu();
    for (std::size_t I = 0; I < FItems.size(); ++I) {
        const MenuItem& Item = *FItems[I];
        MENUITEMINFOA Mi = {};
        Mi.cbSize = sizeof(Mi);
        Mi.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
        Mi.wID = FirstId + static_cast<UINT>(I);
        if (Item.Caption == "-") {
            Mi.fType = MFT_SEPARATOR;
        } else {
            Mi.fMask |= MIIM_STRING;
            Mi.dwTypeData = const_cast<char*>(Item.Caption.c_str());
            Mi.fType = Item.GroupIndex > 0 ? MFT_RADIOCHECK : MFT_STRING;
            Mi.fState = (Item.Checked ? MFS_CHECKED : 0) | (Item.Enabled ? 0 : MFS_DISABLED);
            if (Item.ImageIndex >= 0 && DrawImage) {
                Mi.fMask |= MIIM_BITMAP;
                Mi.hbmpItem = HBMMENU_CALLBACK;
            }
        }
        ::InsertMenuItemA(FMenu, static_cast<UINT>(I), TRUE, &Mi);
    }
}

int PopupMenu::Track(int X, int Y, const RECT* Exclude, bool Later)
{
    if (OnPopup)
        OnPopup();
    if (!FWindow)
        FWindow = new OwnerWindow(this, *this);
    Build();
    TPMPARAMS Params = {sizeof(Params), {}};
    if (Exclude)
        Params.rcExclude = *Exclude;
    const UINT Flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_LEFTBUTTON |
                       (Exclude ? TPM_VERTICAL : 0);
    const int Id = static_cast<int>(::TrackPopupMenuEx(FMenu, Flags, X, Y, FWindow->Handle(),
                                                      Exclude ? &Params : nullptr));
    const int Index = Id - static_cast<int>(FirstId);
    if (Index < 0 || Index >= Count())
        return -1;
    if (Later)
        FWindow->RunLater(Items(Index));
    else
        Click(Index);
    return Index;
}

int PopupMenu::Popup(int X, int Y)
{
    return Track(X, Y, nullptr, false);
}

int PopupMenu::DropDown(const RECT& ScreenRect)
{
    return Track(ScreenRect.left, ScreenRect.bottom, &ScreenRect, true);
}

void PopupMenu::Click(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    // The handler may clear the menu: run a copy.
    const std::function<void(MenuItem&)> Handler = Items(Index).OnClick;
    MenuItem Copy = Items(Index);
    if (Handler)
        Guarded([&] { Handler(Copy); });
}
