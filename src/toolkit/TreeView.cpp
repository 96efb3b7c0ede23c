#include "toolkit/TreeView.h"

#include "toolkit/ImageList.h"

TreeView::TreeView(Component* Owner, const TreeViewArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.ClassName = WC_TREEVIEWA;
    P.Parent = Args.Parent;
    P.Style = WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
              TVS_SHOWSELALWAYS | (Args.ReadOnly ? 0 : TVS_EDITLABELS);
    P.ExStyle = WS_EX_CLIENTEDGE;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    ::SendMessageA(Handle(), TVM_SETINDENT, Args.Indent, 0);
    if (Args.Images)
        ::SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                       reinterpret_cast<LPARAM>(Args.Images));
    if (Args.StateImages)
        ::SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_STATE,
                       reinterpret_cast<LPARAM>(Args.StateImages->Handle()));
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

HTREEITEM TreeView::AddChild(HTREEITEM Parent, const std::string& Text, int Image,
                             int SelectedImage, int State, LPARAM Data)
{
    TVINSERTSTRUCTA Ins = {};
    Ins.hParent = Parent ? Parent : TVI_ROOT;
    Ins.hInsertAfter = TVI_LAST;
    Ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    Ins.item.pszText = const_cast<char*>(Text.c_str());
    Ins.item.iImage = Image;
    Ins.item.iSelectedImage = SelectedImage;
    Ins.item.state = INDEXTOSTATEIMAGEMASK(State);
    Ins.item.stateMask = TVIS_STATEIMAGEMASK;
    Ins.item.lParam = Data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Ins)));
}

void TreeView::Delete(HTREEITEM Item)
{
    if (Item)
        ::SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Item));
}

void TreeView::Clear()
{
    ::SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

std::string TreeView::ItemText(HTREEITEM Item) const
{
    char Buf[1024] = {};
    TVITEMA It = {};
    It.mask = TVIF_TEXT;
    It.hItem = Item;
    It.pszText = Buf;
    It.cchTextMax = sizeof(Buf);
    if (!Item || !::SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&It)))
        return std::string();
    return It.pszText ? std::string(It.pszText) : std::string();
}

LPARAM TreeView::ItemData(HTREEITEM Item) const
{
    TVITEMA It = {};
    It.mask = TVIF_PARAM;
    It.hItem = Item;
    if (!Item || !::SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&It)))
        return 0;
    return It.lParam;
}

int TreeView::ItemState(HTREEITEM Item) const
{
    if (!Item)
        return 0;
    const LRESULT S = ::SendMessageA(Handle(), TVM_GETITEMSTATE,
                                     reinterpret_cast<WPARAM>(Item), TVIS_STATEIMAGEMASK);
    return static_cast<int>((S & TVIS_STATEIMAGEMASK) >> 12);
}

void TreeView::SetItemState(HTREEITEM Item, int State)
{
    if (!Item)
        return;
    TVITEMA It = {};
    It.mask = TVIF_STATE;
    It.hItem = Item;
    It.state = INDEXTOSTATEIMAGEMASK(State);
    It.stateMask = TVIS_STATEIMAGEMASK;
    ::SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&It));
}

int TreeView::Level(HTREEITEM Item) const
{
    int L = -1;
    for (; Item; Item = ParentOf(Item))
        ++L;
    return L;
}

static HTREEITEM NextItem(HWND Tree, UINT Code, HTREEITEM Item)
{
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Tree, TVM_GETNEXTITEM, Code, reinterpret_cast<LPARAM>(Item)));
}

HTREEITEM TreeView::FirstRoot() const { return NextItem(Handle(), TVGN_ROOT, nullptr); }
HTREEITEM TreeView::FirstChild(HTREEITEM Item) const
{
    return Item ? NextItem(Handle(), TVGN_CHILD, Item) : FirstRoot();
}
HTREEITEM TreeView::NextSibling(HTREEITEM Item) const
{
    return Item ? NextItem(Handle(), TVGN_NEXT, Item) : nullptr;
}
HTREEITEM TreeView::ParentOf(HTREEITEM Item) const
{
    return Item ? NextItem(Handle(), TVGN_PARENT, Item) : nullptr;
}
HTREEITEM TreeView::Selected() const { return NextItem(Handle(), TVGN_CARET, nullptr); }

std::vector<HTREEITEM> TreeView::Children(HTREEITEM Parent) const
{
    std::vector<HTREEITEM> Result;
    for (HTREEITEM I = FirstChild(Parent); I; I = NextSibling(I))
        Result.push_back(I);
    return Result;
}

void TreeView::Select(HTREEITEM Item)
{
    ::SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Item));
    if (Item)
        ::SendMessageA(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(Item));
}

void TreeView::FullExpand()
{
    std::vector<HTREEITEM> Todo = Children(nullptr);
    while (!Todo.empty()) {
        HTREEITEM I = Todo.back();
        Todo.pop_back();
        ::SendMessageA(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(I));
        for (HTREEITEM C : Children(I))
            Todo.push_back(C);
    }
}

void TreeView::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        ::SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TreeView::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0) {
        ::SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

HTREEITEM TreeView::HitTest(POINT P, UINT& Flags) const
{
    TVHITTESTINFO Info = {};
    Info.pt = P;
    const auto Item = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info)));
    Flags = Info.flags;
    return Item;
}

LRESULT TreeView::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    // The control may take the button-up itself (it watches for a drag).
    if (Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK)
        FMouseDown = POINT{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
    return Control::WndProc(Msg, WParam, LParam);
}

LRESULT TreeView::NotifyReflect(NMHDR* Header, bool& Handled)
{
    Handled = false;
    switch (Header->code) {
    case NM_CLICK:
        if (OnClick)
            OnClick(*this);
        break;
    case NM_DBLCLK:
        if (OnDblClick)
            OnDblClick(*this);
        break;
    case TVN_KEYDOWN:
        if (OnKeyDown)
            OnKeyDown(*this, reinterpret_cast<NMTVKEYDOWN*>(Header)->wVKey);
        break;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        // Both forms carry the action and the item at the same places.
        auto* Nm = reinterpret_cast<NMTREEVIEWA*>(Header);
        if ((Nm->action & TVE_COLLAPSE) && OnCollapsing) {
            bool Allow = true;
            OnCollapsing(*this, Nm->itemNew.hItem, Allow);
            Handled = true;
            return Allow ? FALSE : TRUE;
        }
        break;
    }
    }
    return 0;
}
