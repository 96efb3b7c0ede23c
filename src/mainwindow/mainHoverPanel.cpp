// The panel under the mouse and the tools it is lent: the close and
// unbind buttons, the application box with its "..." button and the node
// tool bar.
#include "mainwindow/main.h"
#include "mainwindow/mainParts.h"

#include "components/ToolbarGlyphs.h"
#include "components/ToolbarImagesWin.h"
#include "dialogs/applicationlistWin.h"
#include "hosting/AppPanel.h"
#include "hosting/Identify.h"
#include "hosting/Modules.h"
#include "hosting/appmonitor.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Hints.h"
#include "toolkit/Panel.h"
#include "toolkit/SpeedButton.h"
#include "toolkit/StdControls.h"
#include "toolkit/ToolBar.h"

#include <algorithm>

using namespace mainparts;

void Tmainform::EnsureToolPanel()
{
    if (ToolBarPanel)
        return;
    CreateToolPanel();
    if (ApplicationListForm)
        ApplicationListForm->FillApplicationCombo(KindBit(akBind), *BindAppComboBox, "",
                                                  SelectApplication);
}

void Tmainform::CreateToolPanel()
{
    SpeedButtonArgs Mini;
    Mini.Parent = mainpanel;
    Mini.Width = Mini.Height = 16;
    Mini.Visible = false;
    MiniClosebutton = new SpeedButton(this, Mini);
    MiniUnbindbutton = new SpeedButton(this, Mini);
    // Symbols of our own pixels: a symbol font may be missing.
    const auto Symbol = [](const TPixelBuffer& Glyph) {
        return [Glyph](HDC Dc, const RECT& R, bool Enabled) {
            DrawGlyphInk(Dc, R.left, R.top, Glyph, ::GetSysColor(Enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        };
    };
    MiniClosebutton->OnPaintGlyph = Symbol(MiniCloseGlyph());
    MiniUnbindbutton->OnPaintGlyph = Symbol(MiniUnbindGlyph());
    // They show only over a panel with a program, whose monitor then reads
    // the pointer each tick: the idle pass that follows a move sees the
    // pointer leave them, over a bound window that tells us nothing.
    SetHint(MiniClosebutton, "close this application", THoverHint::WatchedLeaveCheckMs);
    SetHint(MiniUnbindbutton, "unbind this application from the panel", THoverHint::WatchedLeaveCheckMs);
    MiniClosebutton->OnClick = [this] { MiniClosebuttonClick(); };
    MiniUnbindbutton->OnClick = [this] { MiniUnbindbuttonClick(); };

    PanelArgs P;
    P.Parent = mainpanel;
    P.Width = 232;
    P.Height = 56;
    P.Visible = false;
    ToolBarPanel = new Panel(this, P);

    ComboBoxArgs C;
    C.Parent = ToolBarPanel;
    C.Width = 232 - 24;
    C.OwnerDrawFixed = true;
    C.ItemHeight = 17;
    C.DropDownCount = 16;
    BindAppComboBox = new ComboBox(this, C);
    BindAppComboBox->HelpContext = 45;
    BindAppComboBox->OnChange = [this] { BindAppComboBoxChange(); };
    BindAppComboBox->OnDrawItem = [this](int Index, const RECT& R, UINT State, Canvas& Cv) {
        BindAppComboBoxDrawItem(Index, R, State, Cv);
    };

    ButtonArgs Dots;
    Dots.Parent = ToolBarPanel;
    Dots.Caption = "...";
    Dots.Left = 232 - 24;
    Dots.Width = 24;
    Dots.Height = BindAppComboBox->Height();
    BindAppButton = new Button(this, Dots);
    SetHint(BindAppButton, "start a new application in this panel");
    BindAppButton->OnClick = [this] { BindAppButtonClick(); };

    ToolBarArgs TB;
    TB.Parent = ToolBarPanel;
    TB.Align = TAlign::None;
    TB.Top = BindAppComboBox->Height();
    TB.Width = 232;
    TB.Height = 30;
    TB.Images = ToolbarImages1;
    TB.ButtonWidth = 24;
    TB.ButtonHeight = 24;
    ToolbuttonBar = new ToolBar(this, TB);
    auto Add = [this](TMainAction A) {
        ToolButtonArgs Tb;
        Tb.Action = Actions[A];
        return ToolbuttonBar->AddButton(Tb);
    };
    addchildbutton = Add(maAddChild);
    addneighbourbutton = Add(maAddNeighbour);
    deletebutton = Add(maDelete);
    ToolbuttonBar->AddSeparator();
    rotateanticlockwisebutton = Add(maRotateAntiClockwise);
    rotateclockwisebutton = Add(maRotateClockwise);
    ToolbuttonBar->AddSeparator();
    movebackwardsbutton = Add(maMoveBackwards);
    moveforwardbutton = Add(maMoveForward);
    ToolbuttonBar->AddSeparator();
    restorebutton = Add(maReload);
    ToolBarPanel->OnResize = [this] { ToolBarPanelResize(); };
}

TNodeId Tmainform::HoverNode() const
{
    return HoverPanel ? Layouts->Tree.FindNodeByPanel(HoverPanel) : NoNode;
}

void Tmainform::SetHoverPanel(TAppPanel* P)
{
    if (P == HoverPanel)
        return;
    if (HoverPanel)
        HoverPanel->SetControls(nullptr, nullptr, nullptr);
    HoverPanel = P;
    if (P) {
        EnsureToolPanel();
        SyncBindAppComboBox();
        P->SetControls(ToolBarPanel, MiniClosebutton, MiniUnbindbutton);
        PlaceToolBarPanel();
    }
}

void Tmainform::PlaceToolBarPanel()
{
    const int ComboHeight = BindAppComboBox->Height();
    const RECT B = BindAppButton->BoundsRect();
    BindAppButton->SetBounds(B.left, B.top, B.right - B.left, ComboHeight);
    const RECT T = ToolBarPanel->BoundsRect();
    ToolBarPanel->SetBounds(T.left, T.top, T.right - T.left, ComboHeight + ToolbuttonBar->Height());
}

void Tmainform::ToolBarPanelResize()
{
    const int W = ToolBarPanel->ClientRect().right;
    const RECT B = BindAppButton->BoundsRect();
    const int DotsWidth = B.right - B.left;
    const int ComboWidth = std::max(0, W - DotsWidth);
    // The height of a combo box's window is that of its open list.
    ::SetWindowPos(BindAppComboBox->Handle(), nullptr, 0, 0, ComboWidth, ComboBoxArgs().DropDownHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    BindAppButton->SetBounds(ComboWidth, B.top, DotsWidth, B.bottom - B.top);
    const RECT T = ToolbuttonBar->BoundsRect();
    ToolbuttonBar->SetBounds(T.left, T.top, W, T.bottom - T.top);
}

void Tmainform::SyncBindAppComboBox()
{
    if (!BindAppComboBox)
        return;
    std::string Name;
    int Index = 0;
    if (Layouts->Tree.NodeAppName(HoverNode(), Name)) {
        Index = BindAppComboBox->IndexOf(Name);
        if (Index < 0)
            Index = 0;
    }
    BindAppComboBox->SetItemIndex(Index);
}

void Tmainform::BindAppComboBoxChange()
{
    TBusyScope B(*this);
    if (!BindAppComboBox)
        return;
    const int Selected = BindAppComboBox->ItemIndex();
    if (Selected <= 0 || !HoverPanel || !Monitor)
        return;
    const std::string Name = BindAppComboBox->Item(Selected);
    // The panel could not keep the name in the stored layouts.
    if (!IsStorableAppName(Name)) {
        SyncBindAppComboBox();
        ShowMessage(UnstorableAppNameMessage(Name));
        return;
    }
    std::string Path;
    if (!ApplicationLocation(Name, Path, true))
        return;
    std::string Params;
    GetModuleStartParams(Name, Params);
    const TNodeId Node = HoverNode();
    TIdentifyInfo Info;
    if (Monitor->OpenApplication(Name, Path, Info, false, true, HoverPanel->ClientPanel, Params))
        Layouts->Tree.SetAppNode(Node, Name);
    else
        SyncBindAppComboBox();
}

void Tmainform::BindAppButtonClick()
{
    TBusyScope B(*this);
    if (!HoverPanel || !Monitor)
        return;
    std::string Exe;
    if (!ChooseExecutable(Exe))
        return;
    TIdentifyInfo Info;
    std::string Message;
    const TIdentifyResult R = CheckApplication("", Exe, Info, Message, false);
    if (R != irBind && R != irExternal) {
        ShowMessage(Message);
        return;
    }
    const Tknownapp* Known = KnownApps.GetKnownApp(Info.Index);
    // Refused before it is listed: the panel could not keep the name.
    if (R == irBind && Known && !IsStorableAppName(Known->Name)) {
        ShowMessage(UnstorableAppNameMessage(Known->Name));
        return;
    }
    if (!ApplicationListForm || !ApplicationListForm->AddApplication(Exe, Info))
        return;
    if (R == irExternal) {
        ShowMessage(Message);
    } else {
        std::string Params;
        GetStartParams(Info, Params);
        const TNodeId Node = HoverNode();
        TIdentifyInfo Opened;
        if (Monitor->OpenApplication("", Exe, Opened, false, true, HoverPanel->ClientPanel, Params) &&
            Known)
            Layouts->Tree.SetAppNode(Node, Known->Name);
    }
    RefreshApps = true;
}

void Tmainform::BindAppComboBoxDrawItem(int Index, const RECT& Rect, unsigned State, Canvas& C)
{
    (void)State;
    // The whole item takes the state's background, so that the chosen item
    // of the open list shows and nothing of the last drawing stays.
    if (Index < 0) {
        C.FillRect(Rect);
        return;
    }
    const std::string Text = BindAppComboBox->Item(Index);
    HIMAGELIST Icons = Index > 0 && ApplicationListForm ? ApplicationListForm->SystemImages().Handle()
                                                        : nullptr;
    int W = 0, H = 0;
    if (Icons)
        ::ImageList_GetIconSize(Icons, &W, &H);
    const int Y = Rect.top + ((Rect.bottom - Rect.top) - C.TextHeight(Text)) / 2;
    C.TextRect(Rect, Rect.left + 2 + W, Y, Text);
    if (Icons)
        ::ImageList_Draw(Icons, ApplicationListForm->ApplicationIconIndex(Text), C.Handle(),
                         Rect.left, Rect.top + ((Rect.bottom - Rect.top) - H) / 2, ILD_TRANSPARENT);
}

TApplicationItem* Tmainform::ItemOfClientPanel(Control* Sender) const
{
    auto* Inner = dynamic_cast<Panel*>(Sender);
    return Monitor && Inner ? Monitor->FindItemByPanel(Inner) : nullptr;
}

void Tmainform::MiniClosebuttonClick()
{
    if (!HoverPanel || MiniClosebutton->Parent() != HoverPanel->ClientPanel)
        return;
    if (TApplicationItem* Item = ItemOfClientPanel(HoverPanel->ClientPanel)) {
        BringToForeground(Item->Handle);
        if (Item->State != aisActive)
            Monitor->DeleteItem(Item);
        else
            ::PostMessageA(Item->Handle, WM_CLOSE, 0, 0);
    } else {
        BringToForeground(HoverPanel->Handle());
    }
    SyncBindAppComboBox();
}

void Tmainform::MiniUnbindbuttonClick()
{
    if (!HoverPanel || MiniUnbindbutton->Parent() != HoverPanel->ClientPanel)
        return;
    if (TApplicationItem* Item = ItemOfClientPanel(HoverPanel->ClientPanel)) {
        BringToForeground(Item->Handle);
        if (Item->State == aisActive) {
            Item->UnbindWindow();
            Monitor->DeleteItem(Item);
        }
    } else {
        BringToForeground(HoverPanel->Handle());
    }
    SyncBindAppComboBox();
}
