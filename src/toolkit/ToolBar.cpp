#include "toolkit/ToolBar.h"

#include "toolkit/ImageList.h"

#include <windowsx.h>

#include <algorithm>

namespace {

BYTE ButtonStyle(TToolButtonStyle Style)
{
    switch (Style) {
    case TToolButtonStyle::Check: return BTNS_CHECK;
    case TToolButtonStyle::Separator: return BTNS_SEP;
    case TToolButtonStyle::DropDown: return BTNS_DROPDOWN;
    case TToolButtonStyle::WholeDropDown: return BTNS_WHOLEDROPDOWN;
    default: return BTNS_BUTTON;
    }
}

}  // namespace

// --- ToolButton ---

ToolButton::ToolButton(ToolBar& Bar, int Id, const ToolButtonArgs& Args)
    : FBar(Bar), FId(Id), FStyle(Args.Style)
{
    if (Args.Action)
        Attach(Args.Action);
    else
        MakeOwnAction(Args);
}

ToolButton::~ToolButton()
{
    Detach();
}

void ToolButton::MakeOwnAction(const ActionArgs& Args)
{
    FOwnAction = std::make_unique<class Action>(nullptr, Args);
    FOwnAction->AutoCheck = FStyle == TToolButtonStyle::Check;
    FOwnAction->OnExecute = [this](class Action&) {
        if (OnClick)
            OnClick(*this);
    };
    Attach(FOwnAction.get());
}

void ToolButton::Attach(class Action* A)
{
    FAction = A;
    FActionClient = A->AddChangeHandler([this](class Action& Sender, bool Destroyed) {
        if (Destroyed && &Sender != FOwnAction.get()) {
            // The button keeps what the action last showed.
            ActionArgs Last;
            Last.Caption = Sender.Caption();
            Last.Hint = Sender.Hint();
            Last.ImageIndex = Sender.ImageIndex();
            Last.HelpContext = Sender.HelpContext();
            Last.Enabled = Sender.Enabled();
            Last.Checked = Sender.Checked();
            Last.Visible = Sender.Visible();
            FActionClient = 0;
            MakeOwnAction(Last);
        }
        FBar.SyncButton(*this);
    });
}

void ToolButton::Detach()
{
    if (FAction && FActionClient)
        FAction->RemoveChangeHandler(FActionClient);
    FActionClient = 0;
}

RECT ToolButton::ItemRect() const
{
    RECT R = {};
    const int Index = FBar.IndexOf(this);
    if (Index >= 0 && FBar.Handle())
        ::SendMessageA(FBar.Handle(), TB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&R));
    return R;
}

void ToolButton::Click()
{
    if (FStyle != TToolButtonStyle::Separator)
        FAction->Execute();
}

// --- ToolBar ---

ToolBar::ToolBar(Component* Owner, const ToolBarArgs& Args)
    : Control(Owner), FShowCaptions(Args.ShowCaptions), FList(Args.List),
      FButtonWidth(Args.ButtonWidth), FButtonHeight(Args.ButtonHeight)
{
    CreateParams P;
    P.ClassName = TOOLBARCLASSNAMEA;
    P.Parent = Args.Parent;
    // Our own alignment places the bar; the control must not move itself.
    // The hints are our own (THoverHint): the control's tool tip polls the
    // pointer while it rests on a button.
    P.Style = WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER |
              (Args.List ? TBSTYLE_LIST : 0) | (Args.Wrapable ? TBSTYLE_WRAPABLE : 0);
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    ::SendMessageA(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(Handle(), TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    if (!FShowCaptions)
        ::SendMessageA(Handle(), TB_SETMAXTEXTROWS, 0, 0);
    SetImages(Args.Images);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
    if (Args.ShowHints)
        FHint = std::make_unique<THoverHint>(Handle());
}

ToolBar::~ToolBar()
{
    FHint.reset();
    for (auto& B : FButtons)
        B->Detach();
    if (FImages)
        FImages->RemoveChangeHandler(FImagesClient);
    DestroyHandle();
    if (FBlankImages)
        ::ImageList_Destroy(FBlankImages);
}

ToolButton* ToolBar::AddButton(const ToolButtonArgs& Args)
{
    FButtons.push_back(std::make_unique<ToolButton>(*this, FNextId++, Args));
    ToolButton& B = *FButtons.back();
    TBBUTTON Tb = {};
    Tb.idCommand = B.Id();
    Tb.fsStyle = ButtonStyle(B.Style());
    if (B.Style() == TToolButtonStyle::Separator) {
        Tb.iBitmap = Args.SeparatorWidth;
    } else {
        Tb.iBitmap = B.ImageIndex() >= 0 ? B.ImageIndex() : I_IMAGENONE;
        Tb.fsState = TBSTATE_ENABLED;
    }
    Tb.iString = -1;
    ::SendMessageA(Handle(), TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&Tb));
    SyncButton(B);
    ApplyButtonSize();
    return &B;
}

ToolButton* ToolBar::AddSeparator(int Width)
{
    ToolButtonArgs A;
    A.Style = TToolButtonStyle::Separator;
    A.SeparatorWidth = Width;
    return AddButton(A);
}

ToolButton* ToolBar::Button(int Index) const
{
    return Index >= 0 && Index < ButtonCount() ? FButtons[Index].get() : nullptr;
}

ToolButton* ToolBar::FindButton(int Id) const
{
    for (const auto& B : FButtons)
        if (B->Id() == Id)
            return B.get();
    return nullptr;
}

int ToolBar::IndexOf(const ToolButton* B) const
{
    for (int I = 0; I < ButtonCount(); ++I)
        if (FButtons[I].get() == B)
            return I;
    return -1;
}

void ToolBar::SetImages(ImageList* Images)
{
    if (FImages)
        FImages->RemoveChangeHandler(FImagesClient);
    FImages = Images;
    FImagesClient = 0;
    if (FImages)
        FImagesClient = FImages->AddChangeHandler([this](bool Destroyed) {
            if (Destroyed) {
                FImages = nullptr;
                FImagesClient = 0;
            }
            ApplyImages();
        });
    ApplyImages();
}

void ToolBar::ApplyImages()
{
    if (FBlankImages) {
        ::SendMessageA(Handle(), TB_SETIMAGELIST, 0, 0);
        ::ImageList_Destroy(FBlankImages);
        FBlankImages = nullptr;
    }
    HIMAGELIST List = nullptr;
    if (FImages && FImages->OwnerDraw()) {
        // An empty list of the same size: the control keeps the room and
        // draws nothing there; CustomDraw paints the image.
        FBlankImages = ::ImageList_Create(FImages->Width(), FImages->Height(), ILC_COLOR24, 0, 1);
        List = FBlankImages;
    } else if (FImages) {
        List = FImages->Handle();
    }
    ::SendMessageA(Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(List));
    if (!List)
        ::SendMessageA(Handle(), TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    ApplyButtonSize();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void ToolBar::ApplyButtonSize()
{
    if (FButtonWidth > 0 && FButtonHeight > 0) {
        ::SendMessageA(Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
        ::SendMessageA(Handle(), TB_SETBUTTONWIDTH, 0, MAKELPARAM(FButtonWidth, FButtonWidth));
    }
    if (Align() == TAlign::Top || Align() == TAlign::Bottom) {
        const int H = ContentHeight();
        if (H != Height()) {
            const RECT R = BoundsRect();
            SetBounds(R.left, R.top, R.right - R.left, H);
            if (Parent())
                Parent()->Realign();
        }
    }
}

void ToolBar::Relayout()
{
    ::SendMessageA(Handle(), TB_AUTOSIZE, 0, 0);
    ApplyButtonSize();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

int ToolBar::ContentHeight() const
{
    int Bottom = HIWORD(::SendMessageA(Handle(), TB_GETBUTTONSIZE, 0, 0));
    for (int I = 0; I < ButtonCount(); ++I) {
        RECT R = {};
        if (::SendMessageA(Handle(), TB_GETITEMRECT, I, reinterpret_cast<LPARAM>(&R)))
            Bottom = std::max<int>(Bottom, R.bottom);
    }
    return Bottom + 4;
}

void ToolBar::SyncButton(const ToolButton& B)
{
    if (!Handle() || B.Style() == TToolButtonStyle::Separator)
        return;
    const LRESULT Old = ::SendMessageA(Handle(), TB_GETSTATE, B.Id(), 0);
    BYTE State = Old < 0 ? 0 : static_cast<BYTE>(Old);
    State &= static_cast<BYTE>(~(TBSTATE_ENABLED | TBSTATE_CHECKED | TBSTATE_HIDDEN));
    if (B.Enabled())
        State |= TBSTATE_ENABLED;
    if (B.Checked())
        State |= TBSTATE_CHECKED;
    if (!B.Visible())
        State |= TBSTATE_HIDDEN;
    std::string Caption = B.Caption();
    TBBUTTONINFOA Info = {};
    Info.cbSize = sizeof(Info);
    Info.dwMask = TBIF_STATE | TBIF_IMAGE;
    Info.fsState = State;
    Info.iImage = B.ImageIndex() >= 0 ? B.ImageIndex() : I_IMAGENONE;
    if (FShowCaptions) {
        Info.dwMask |= TBIF_TEXT;
        Info.pszText = &Caption[0];
    }
    ::SendMessageA(Handle(), TB_SETBUTTONINFOA, B.Id(), reinterpret_cast<LPARAM>(&Info));
    if (((Old & TBSTATE_HIDDEN) != 0) != !B.Visible())
        ApplyButtonSize();
}

void ToolBar::CommandIdNotify(WORD Id, WORD Code)
{
    (void)Code;
    if (ToolButton* B = FindButton(Id)) {
        const auto Alive = AliveFlag();
        B->Click();
        // The action may have changed what the control shows (a check).
        if (*Alive && FindButton(Id) == B)
            SyncButton(*B);
    }
}

LRESULT ToolBar::NotifyReflect(NMHDR* Header, bool& Handled)
{
    Handled = false;
    switch (Header->code) {
    case TBN_DROPDOWN: {
        auto* Nm = reinterpret_cast<NMTOOLBARA*>(Header);
        ToolButton* B = FindButton(Nm->iItem);
        if (B && B->OnDropDown) {
            RECT R = B->ItemRect();
            ::MapWindowPoints(Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&R), 2);
            B->OnDropDown(*B, R);
        }
        Handled = true;
        return TBDDRET_DEFAULT;
    }
    case NM_CUSTOMDRAW:
        if (FImages && FImages->OwnerDraw()) {
            Handled = true;
            return CustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(Header));
        }
        break;
    }
    return 0;
}

LRESULT ToolBar::CustomDraw(NMTBCUSTOMDRAW* Draw)
{
    switch (Draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYPOSTPAINT | TBCDRF_NOOFFSET;
    case CDDS_ITEMPOSTPAINT: {
        const ToolButton* B = FindButton(static_cast<int>(Draw->nmcd.dwItemSpec));
        if (!B || B->ImageIndex() < 0 || !FImages)
            return CDRF_DODEFAULT;
        const RECT& R = Draw->nmcd.rc;
        const DWORD Pad = static_cast<DWORD>(::SendMessageA(Handle(), TB_GETPADDING, 0, 0));
        int X, Y;
        if (FList) {
            X = R.left + LOWORD(Pad) / 2;
            Y = R.top + (R.bottom - R.top - FImages->Height()) / 2;
        } else {
            X = R.left + (R.right - R.left - FImages->Width()) / 2;
            Y = R.top + HIWORD(Pad) / 2;
        }
        if (B->Style() == TToolButtonStyle::DropDown && !FList)
            X -= ::GetSystemMetrics(SM_CXVSCROLL) / 2 - 2;  // the arrow's part
        const UINT S = Draw->nmcd.uItemState;
        FImages->DrawState(Draw->nmcd.hdc, X, Y, B->ImageIndex(), (S & CDIS_DISABLED) == 0,
                           (S & (CDIS_SELECTED | CDIS_HOT)) != 0, (S & CDIS_CHECKED) != 0);
        return CDRF_DODEFAULT;
    }
    }
    return CDRF_DODEFAULT;
}

LRESULT ToolBar::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    // Before the control's own request on the move, which would check often.
    if (Msg == WM_MOUSEMOVE)
        TrackLeaveSlowly(Handle());
    if (FHint) {
        switch (Msg) {
        case WM_MOUSEMOVE: {
            const ToolButton* B = ButtonAt({GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
            FHint->Enter(B ? B->Hint() : std::string());
            break;
        }
        case WM_MOUSELEAVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            FHint->Leave();
            break;
        }
    }
    return Control::WndProc(Msg, WParam, LParam);
}

const ToolButton* ToolBar::ButtonAt(POINT P) const
{
    if (!Handle())
        return nullptr;
    const int Index = static_cast<int>(
        ::SendMessageA(Handle(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&P)));
    const ToolButton* B = Button(Index);
    return B && B->Style() != TToolButtonStyle::Separator ? B : nullptr;
}

bool ToolBar::ItemAtPoint(POINT P, ToolbarItemInfo& Info) const
{
    Info = ToolbarItemInfo();
    const ToolButton* B = ButtonAt(P);
    if (!B)
        return false;
    Info.HasItem = true;
    Info.HelpContext = B->HelpContext();
    return true;
}
