#include "mainwindow/LayoutDesignerWin.h"

#include "components/ToolbarImagesWin.h"
#include "mainwindow/LayoutsWin.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Hints.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>

Tlayoutsform* layoutsform = nullptr;

namespace {

struct TDesignerActionInfo {
    const char* Caption;
    const char* Hint;
    int ImageIndex;
};

const TDesignerActionInfo DesignerActions[DesignerActionCount] = {
    {"Apply layout", "applys another layout or restores the current one", 10},
    {"New layout", "adds a new, empty layout", 11},
    {"Add child", "adds a new child panel ", 12},
    {"Add neighbour", "adds a new neighbour panel ", 13},
    {"Delete", "deletes the selected layout, panel or application", 4},
    {"Rotate left", "rotate the selected group anti-clockwize", 5},
    {"Rotate right", "rotate the selected group clockwize", 6},
    {"Centered", "set the current panel or application to centered position", 7},
    {"Custom", "set the current panel or application to a custom position", 8},
    {"Percentage", "set the current panel or application to a variable width or height", 9},
    {"Move up", "moves the selected item up", 14},
    {"Move down", "moves the selected item down", 15},
};

const char* const PercentLabels[PercentEditCount] = {
    "X-Position in %: ", "Y-Position in %: ", "Width in %: ", "Height in %: "};

FormArgs DesignerFormArgs()
{
    FormArgs A;
    A.Caption = "Layout editor";
    A.ClientWidth = 632;
    A.ClientHeight = 366;
    A.CenterOnDesktop = true;
    A.HelpContext = 500;
    A.FontName = "Arial";
    A.FontHeight = -13;
    A.Deferred = true;
    return A;
}

HFONT MakeFont(const char* Face, int Height, int Weight)
{
    return ::CreateFontA(Height, 0, 0, 0, Weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                         Face);
}

} // namespace

// The tree view of the layouts: selection, expansion, the drawing of the
// applied layout and of unlisted applications, and dragging a node onto
// another one with the mouse captured.
class TLayoutsTreeView : public TreeView {
public:
    TLayoutsTreeView(Tlayoutsform& Form, const TreeViewArgs& Args)
        : TreeView(&Form, Args), FForm(Form), FBold(MakeFont("Arial", -13, FW_BOLD)),
          FNormal(MakeFont("Arial", -13, FW_NORMAL))
    {
        const LONG Style = ::GetWindowLongA(Handle(), GWL_STYLE);
        ::SetWindowLongA(Handle(), GWL_STYLE, Style | TVS_TRACKSELECT);
    }
    ~TLayoutsTreeView() override
    {
        DestroyHandle();
        ::DeleteObject(FBold);
        ::DeleteObject(FNormal);
    }

    TNodeId Dragged = NoNode;
    bool DragActive = false;

protected:
    LRESULT NotifyReflect(NMHDR* Header, bool& Handled) override
    {
        TLayoutDesigner* D = FForm.Designer();
        auto* Nm = reinterpret_cast<NMTREEVIEWA*>(Header);  // A and W share these fields
        switch (Header->code) {
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW:
            if (D && !FForm.FSyncing)
                D->Select(FForm.NodeOfItem(Nm->itemNew.hItem));
            break;
        case TVN_ITEMEXPANDEDA:
        case TVN_ITEMEXPANDEDW:
            if (D && !FForm.FSyncing)
                if (TLayoutNode* N = D->Tree.Find(FForm.NodeOfItem(Nm->itemNew.hItem)))
                    N->Expanded = (Nm->action & TVE_EXPAND) != 0;
            break;
        case TVN_BEGINDRAGA:
        case TVN_BEGINDRAGW:
            if (D) {
                Select(Nm->itemNew.hItem);
                Dragged = FForm.NodeOfItem(Nm->itemNew.hItem);
                DragActive = true;
                ::SetCapture(Handle());
                Invalidate();
            }
            break;
        case NM_CLICK:
            if (D)
                D->Layouts.SetRefreshFlags();
            break;
        case NM_CUSTOMDRAW:
            if (D) {
                Handled = true;
                return CustomDraw(*D, *reinterpret_cast<NMTVCUSTOMDRAW*>(Header));
            }
            break;
        }
        return TreeView::NotifyReflect(Header, Handled);
    }

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override
    {
        if (!DragActive)
            return TreeView::WndProc(Msg, WParam, LParam);
        const POINT P = {static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
        switch (Msg) {
        case WM_MOUSEMOVE: {
            const TNodeId Target = TargetAt(P);
            const bool Accept = FForm.Designer()->CanDrop(Dragged, Target);
            ::SendMessageA(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE,
                           reinterpret_cast<LPARAM>(Accept ? FForm.ItemOfNode(Target) : nullptr));
            ::SetCursor(::LoadCursorA(nullptr, Accept ? IDC_ARROW : IDC_NO));
            return 0;
        }
        case WM_LBUTTONUP: {
            const TNodeId Target = TargetAt(P);
            EndDrag();
            FForm.Designer()->Drop(Dragged, Target);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(LParam) != Handle())
                EndDrag();
            break;
        case WM_KEYDOWN:
            if (WParam == VK_ESCAPE) {
                EndDrag();
                return 0;
            }
            break;
        }
        return TreeView::WndProc(Msg, WParam, LParam);
    }

private:
    TNodeId TargetAt(POINT P) const
    {
        UINT Flags = 0;
        HTREEITEM Item = HitTest(P, Flags);
        return Item && (Flags & TVHT_ONITEM) ? FForm.NodeOfItem(Item) : NoNode;
    }

    void EndDrag()
    {
        DragActive = false;
        ::SendMessageA(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
        if (::GetCapture() == Handle())
            ::ReleaseCapture();
        Invalidate();
    }

    LRESULT CustomDraw(TLayoutDesigner& D, NMTVCUSTOMDRAW& Cd)
    {
        if (Cd.nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (Cd.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || DragActive)
            return CDRF_DODEFAULT;
        const auto Node = static_cast<TNodeId>(Cd.nmcd.lItemlParam);
        ::SelectObject(Cd.nmcd.hdc, Node == D.Tree.AppliedLayout ? FBold : FNormal);
        if (!(Cd.nmcd.uItemState & (CDIS_SELECTED | CDIS_FOCUS)) && D.Tree.IsAppNode(Node))
            Cd.clrText = D.UnlistedApp(Node) ? RGB(0xFF, 0, 0) : ::GetSysColor(COLOR_WINDOWTEXT);
        return CDRF_NEWFONT;
    }

    Tlayoutsform& FForm;
    HFONT FBold;
    HFONT FNormal;
};

Tlayoutsform::Tlayoutsform(Component* Owner) : Form(Owner, DesignerFormArgs())
{
    layoutsform = this;
    OnShow = [this] {
        if (!FLayouts)
            return;
        FLayouts->SetRefreshFlags();
        // Brought up to date while still hidden, the window is painted
        // once as it shows, rather than as it was and then again.
        ApplicationEvents1Idle();
    };
}

void Tlayoutsform::CreateWindows()
{
    // The system menu alone: a modal window neither minimizes nor maximizes.
    ::SetWindowLongA(Handle(), GWL_STYLE,
                     ::GetWindowLongA(Handle(), GWL_STYLE) & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ToolbarImages = CreateDesignerToolbarImages(this);
    CreateActions();

    ToolBarArgs TA;
    TA.Parent = this;
    TA.Images = ToolbarImages;
    TA.ShowCaptions = true;
    // Captions beside the images: under Wine a caption below an image
    // drawn by the list itself runs over it.
    TA.List = true;
    LayoutToolbar = new ToolBar(this, TA);
    LayoutToolbar->Name = "Layout bar";
    // -1: a separator.
    auto AddButtons = [this](ToolBar* Bar, std::initializer_list<int> List) {
        for (const int A : List) {
            ToolButtonArgs B;
            B.Action = A >= 0 ? Actions[A] : nullptr;
            B.Style = A >= 0 ? TToolButtonStyle::Button : TToolButtonStyle::Separator;
            Bar->AddButton(B);
        }
    };
    AddButtons(LayoutToolbar, {daApplyLayout, -1, daNewLayout, daAddChildPanel, daAddNeighbour, -1,
                               daDelete});
    // Setting the images again measures the buttons with their captions.
    LayoutToolbar->SetImages(ToolbarImages);
    TA.Align = TAlign::Left;
    TA.ShowCaptions = false;
    TA.List = false;
    TA.Wrapable = true;
    TA.Width = 31;
    PanelToolbar = new ToolBar(this, TA);
    PanelToolbar->Name = "Panel bar";
    AddButtons(PanelToolbar, {daRotateAntiClockwize, daRotateClockwize, -1, daMoveUp, daMoveDown,
                              -1, daPercentage, daCenter, daCustom});

    PanelArgs PA;
    PA.Parent = this;
    PA.Align = TAlign::Left;
    PA.Width = 320;
    Panel22 = new Panel(this, PA);
    PA.Parent = Panel22;
    PA.Align = TAlign::Bottom;
    PA.Height = 118;
    Panel27 = new Panel(this, PA);
    TreeViewArgs TV;
    TV.Parent = Panel22;
    TV.Align = TAlign::Client;
    TV.Indent = 19;
    TV.Images = ToolbarImages->Handle();
    FTreeView = new TLayoutsTreeView(*this, TV);
    LayoutsTreeView = FTreeView;
    CreateEditors();

    PA.Parent = this;
    PA.Align = TAlign::Client;
    Panel25 = new Panel(this, PA);
    LabelArgs LA;
    LA.Parent = Panel25;
    LA.Caption = "Layout preview:";
    LA.Height = 20;
    LA.Align = TAlign::Top;
    Label12 = new Label(this, LA);
    PaintBoxArgs PB;
    PB.Parent = Panel25;
    PB.Align = TAlign::Client;
    LayoutPreviewPaintBox = new PaintBox(this, PB);
    LayoutPreviewPaintBox->OnPaint = [this](HDC, const RECT&) {
        if (FLayouts)
            FLayouts->RefreshPreview = true;
    };
    FPreviewFont = MakeFont("Arial", -12, FW_NORMAL);
    Realign();
    // The flags wait for the windows: the first show sets them anyway.
    FIdleId = Application ? Application->AddIdleHandler([this] { ApplicationEvents1Idle(); }) : 0;
}

Tlayoutsform::~Tlayoutsform()
{
    if (Application && FIdleId)
        Application->RemoveIdleHandler(FIdleId);
    if (layoutsform == this)
        layoutsform = nullptr;
    // The windows go first; their last notifications find no designer.
    FDesigner.reset();
    DestroyHandle();
    if (FPreviewFont)
        ::DeleteObject(FPreviewFont);
}

void Tlayoutsform::CreateActions()
{
    ActionList1 = new ActionList(this, ToolbarImages, false);
    for (int I = 0; I < DesignerActionCount; ++I) {
        ActionArgs A;
        A.Caption = DesignerActions[I].Caption;
        A.Hint = DesignerActions[I].Hint;
        A.ImageIndex = DesignerActions[I].ImageIndex;
        Actions[I] = new Action(ActionList1, A);
        Actions[I]->OnExecute = [this, I](Action&) { RunAction(static_cast<TDesignerAction>(I)); };
    }
}

void Tlayoutsform::CreateEditors()
{
    // Two columns of percentage edits, then the name and the application.
    for (int I = 0; I < PercentEditCount; ++I) {
        const int X = (I % 2) * 158 + 4, Y = (I / 2) * 27 + 6;
        LabelArgs LA;
        LA.Parent = Panel27;
        LA.Caption = PercentLabels[I];
        LA.Left = X;
        LA.Top = Y + 3;
        LA.Width = 100;
        new Label(this, LA);
        EditArgs EA;
        EA.Parent = Panel27;
        EA.ReadOnly = true;
        EA.Left = X + 100;
        EA.Top = Y;
        EA.Width = 38;
        PercentEdits[I] = new Edit(this, EA);
        UpDownArgs UA;
        UA.Parent = Panel27;
        UA.Left = X + 138;
        UA.Top = Y;
        UA.Min = -32768;
        UA.Max = 32767;
        PercentUpDowns[I] = new UpDown(this, UA);
        const auto E = static_cast<TPercentEdit>(I);
        PercentUpDowns[I]->OnChanging = [this, E](int NewValue, bool& Allow) {
            Allow = FDesigner && FDesigner->UpDownChanging(E, NewValue);
        };
        PercentUpDowns[I]->OnClick = [this, E] {
            if (!FDesigner)
                return;
            const int Pos = PercentUpDowns[E]->Position();
            FDesigner->UpDownClick(E, Pos);
            PercentEdits[E]->SetText(IntToStr(Pos));
        };
    }
    LabelArgs LA;
    LA.Parent = Panel27;
    LA.Caption = "Layout name: ";
    LA.Left = 4;
    LA.Top = 63;
    LA.Width = 100;
    new Label(this, LA);
    EditArgs EA;
    EA.Parent = Panel27;
    EA.Left = 104;
    EA.Top = 60;
    EA.Width = 210;
    layoutname_edit = new Edit(this, EA);
    layoutname_edit->OnKeyPress = [this](char& Key) {
        if (IsLayoutNameChar(Key))
            return;
        // The message names the text the key would have made.
        DWORD From = 0, To = 0;
        ::SendMessageA(layoutname_edit->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&From),
                       reinterpret_cast<LPARAM>(&To));
        std::string Name = layoutname_edit->Text();
        To = std::min<DWORD>(To, static_cast<DWORD>(Name.size()));
        From = std::min(From, To);
        Name.replace(From, To - From, 1, Key);
        Key = 0;
        ShowMessage(UnstorableLayoutNameMessage(Name));
    };
    layoutname_edit->OnChange = [this] {
        if (!FDesigner || FSyncing)
            return;
        const std::string Message = FDesigner->LayoutNameChanged(layoutname_edit->Text());
        if (!Message.empty())
            ShowMessage(Message);
    };
    LA.Caption = "Application:";
    LA.Top = 91;
    AppLabel = new Label(this, LA);
    ComboBoxArgs CA;
    CA.Parent = Panel27;
    CA.Left = 104;
    CA.Top = 88;
    CA.Width = 180;
    AppComboBox = new ComboBox(this, CA);
    AppComboBox->OnDropDown = [this] {
        if (FDesigner)
            FDesigner->AppComboDropDown();
    };
    AppComboBox->OnChange = [this] {
        if (!FDesigner || FSyncing)
            return;
        const std::string Message = FDesigner->AppComboChange(AppComboBox->ItemIndex());
        if (!Message.empty())
            ShowMessage(Message);
    };
    AppComboBox->OnCloseUp = [this] {
        if (FLayouts)
            FLayouts->SetRefreshFlags();
    };
    ButtonArgs BA;
    BA.Parent = Panel27;
    BA.Caption = "...";
    BA.Left = 288;
    BA.Top = 87;
    BA.Width = 26;
    BA.Height = 24;
    SearchAppButton = new Button(this, BA);
    SetHint(SearchAppButton, "Search another application on your machine...");
    SearchAppButton->OnClick = [this] { SearchAppButtonClick(); };
}

void Tlayoutsform::Attach(TLayouts& Layouts, IDesignerApplications* Apps)
{
    FLayouts = &Layouts;
    FDesigner = std::make_unique<TLayoutDesigner>(Layouts);
    FDesigner->Apps = Apps;
    FShown.clear();
    Layouts.SetRefreshFlags();
}

void Tlayoutsform::SyncAppItems()
{
    if (FAppItems == FDesigner->AppItems)
        return;
    AppComboBox->SetItems(FDesigner->AppItems);
    FAppItems = FDesigner->AppItems;
}

bool Tlayoutsform::PrepareStep()
{
    if (Form::PrepareStep())
        return true;
    // The application box as the first open fills it (tens of ms at
    // 10,000 listed): that open finds it filled.
    if (!FDesigner || !FAppItems.empty())
        return false;
    FDesigner->FillAppCombo(std::string());
    SyncAppItems();
    return true;
}

int Tlayoutsform::ExecuteEditor()
{
    FillAppCombo(std::string());
    return ShowModal();
}

void Tlayoutsform::FillAppCombo(const std::string& Name)
{
    if (FDesigner)
        FDesigner->FillAppCombo(Name);
}

bool Tlayoutsform::StorePanelPosition(TNodeId Node, IPanelBounds& Bounds)
{
    return FDesigner && FDesigner->StorePanelPosition(Node, Bounds);
}

void Tlayoutsform::RunAction(TDesignerAction A)
{
    if (!FDesigner)
        return;
    TLayoutTree& T = FDesigner->Tree;
    const TNodeId S = T.Selected;
    switch (A) {
    case daApplyLayout:
        if (FDesigner->ApplySelectedLayout())
            ModalResult = mrOk;
        break;
    case daNewLayout: T.NewLayout(); break;
    case daAddChildPanel: T.AddChildPanel(S); break;
    case daAddNeighbour: T.AddNeighbourPanel(S); break;
    case daDelete: FLayouts->DeleteNode(S); break;
    case daRotateAntiClockwize: T.RotateGroup(S, false); break;
    case daRotateClockwize: T.RotateGroup(S, true); break;
    case daCenter: FDesigner->ToggleCenter(); break;
    case daCustom: FDesigner->ToggleCustom(); break;
    case daPercentage: FDesigner->TogglePercentage(); break;
    case daMoveUp: T.MoveUp(S); break;
    case daMoveDown: T.MoveDown(S); break;
    default: break;
    }
}

void Tlayoutsform::SearchAppButtonClick()
{
    if (!FDesigner)
        return;
    std::string Exe;
    if (OnPickExecutable) {
        if (!OnPickExecutable(Exe))
            return;
    } else {
        OpenDialogArgs OA;
        OA.DefaultExt = "EXE";
        OA.Filter = "Executable files (*.exe)|*.exe";
        OpenDialog D(OA);
        if (!D.Execute())
            return;
        Exe = D.FileName;
    }
    const std::string Message = FDesigner->SearchApplication(Exe);
    if (!Message.empty())
        ShowMessage(Message);
}

HTREEITEM Tlayoutsform::ItemOfNode(TNodeId Node) const
{
    const auto It = FItems.find(Node);
    return It == FItems.end() ? nullptr : It->second;
}

TNodeId Tlayoutsform::NodeOfItem(HTREEITEM Item) const
{
    return Item ? static_cast<TNodeId>(LayoutsTreeView->ItemData(Item)) : NoNode;
}

void Tlayoutsform::RebuildTreeView()
{
    const TLayoutTree& T = FDesigner->Tree;
    LayoutsTreeView->BeginUpdate();
    LayoutsTreeView->Clear();
    FItems.clear();
    FShown.clear();
    for (const TNodeId N : T.AllNodes()) {
        const TNodeId P = T.Parent(N);
        const std::uint8_t K = T.Kind(N);
        FItems[N] = LayoutsTreeView->AddChild(ItemOfNode(P), T.Text(N), K, K, 0,
                                              static_cast<LPARAM>(N));
        FShown.emplace_back(N, P);
    }
    for (const TNodeId N : T.AllNodes())
        if (T.Find(N)->Expanded)
            ::SendMessageA(LayoutsTreeView->Handle(), TVM_EXPAND, TVE_EXPAND,
                           reinterpret_cast<LPARAM>(ItemOfNode(N)));
    LayoutsTreeView->EndUpdate();
}

void Tlayoutsform::SyncTreeView()
{
    const TLayoutTree& T = FDesigner->Tree;
    std::vector<std::pair<TNodeId, TNodeId>> Now;
    for (const TNodeId N : T.AllNodes())
        Now.emplace_back(N, T.Parent(N));
    FSyncing = true;
    if (Now != FShown) {
        RebuildTreeView();
    } else {
        for (const auto& [N, P] : Now) {
            HTREEITEM Item = ItemOfNode(N);
            TVITEMA It = {};
            It.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            It.hItem = Item;
            It.iImage = It.iSelectedImage = T.Kind(N);
            const std::string Text = T.Text(N);
            if (LayoutsTreeView->ItemText(Item) != Text) {
                It.mask |= TVIF_TEXT;
                It.pszText = const_cast<char*>(Text.c_str());
            }
            ::SendMessageA(LayoutsTreeView->Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&It));
        }
    }
    if (NodeOfItem(LayoutsTreeView->Selected()) != T.Selected)
        LayoutsTreeView->Select(ItemOfNode(T.Selected));
    FSyncing = false;
    LayoutsTreeView->Invalidate();
}

void Tlayoutsform::UpdateEditor()
{
    if (!FDesigner)
        return;
    const TEditorState E = FDesigner->UpdateEditor();
    const bool Enabled[DesignerActionCount] = {
        true, E.NewLayoutEnabled, E.AddChildEnabled, E.AddNeighbourEnabled, E.DeleteEnabled,
        E.RotateEnabled, E.RotateEnabled, E.CenterEnabled, E.CustomEnabled, E.PercentageEnabled,
        E.MoveUpEnabled, E.MoveDownEnabled};
    for (int I = 0; I < DesignerActionCount; ++I)
        Actions[I]->SetEnabled(Enabled[I]);
    Actions[daApplyLayout]->SetCaption(E.ApplyCaption);
    const std::pair<TDesignerAction, int> Checks[] = {
        {daPercentage, E.PercentageChecked}, {daCenter, E.CenterChecked}, {daCustom, E.CustomChecked}};
    for (const auto& [A, C] : Checks)
        if (C >= 0)
            Actions[A]->SetChecked(C != 0);

    FSyncing = true;
    layoutname_edit->SetEnabled(E.NameEnabled);
    layoutname_edit->SetText(E.NameText);
    const bool AppOn = E.App != TAppChoice::Disabled;
    AppComboBox->SetEnabled(AppOn);
    AppLabel->SetEnabled(AppOn);
    SearchAppButton->SetEnabled(AppOn);
    SyncAppItems();
    AppComboBox->SetItemIndex(E.AppIndex);
    for (int I = 0; I < PercentEditCount; ++I) {
        PercentEdits[I]->SetEnabled(E.PercentEnabled[I]);
        PercentUpDowns[I]->SetEnabled(E.PercentEnabled[I]);
        if (!E.PercentEnabled[I])
            continue;
        PercentUpDowns[I]->SetPosition(FDesigner->Positions[I]);
        PercentEdits[I]->SetText(IntToStr(FDesigner->Positions[I]));
    }
    FSyncing = false;
}

void Tlayoutsform::PaintPreview()
{
    // A hidden designer draws when it is shown (its paint box asks then).
    if (!FDesigner || !::IsWindowVisible(LayoutPreviewPaintBox->Handle()))
        return;
    HWND Wnd = LayoutPreviewPaintBox->Handle();
    const RECT Client = LayoutPreviewPaintBox->ClientRect();
    HDC Dc = ::GetDC(Wnd);
    // Drawn off screen, then copied: no flicker while an up-down repeats.
    HDC Mem = ::CreateCompatibleDC(Dc);
    HBITMAP Bitmap = ::CreateCompatibleBitmap(Dc, Client.right, Client.bottom);
    HGDIOBJ OldBitmap = ::SelectObject(Mem, Bitmap);
    ::FillRect(Mem, &Client, ::GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ OldFont = ::SelectObject(Mem, FPreviewFont);
    {
        TLayoutCanvasWin Canvas(Mem);
        const TLayoutRect Area = {Client.left + 5, Client.top + 5, Client.right - 5,
                                  Client.bottom - 5};
        PaintLayoutPreview(FDesigner->Tree, FDesigner->Tree.Selected, Area, Canvas);
    }
    ::BitBlt(Dc, 0, 0, Client.right, Client.bottom, Mem, 0, 0, SRCCOPY);
    ::SelectObject(Mem, OldFont);
    ::SelectObject(Mem, OldBitmap);
    ::DeleteObject(Bitmap);
    ::DeleteDC(Mem);
    ::ReleaseDC(Wnd, Dc);
}

void Tlayoutsform::ApplicationEvents1Idle()
{
    if (!FDesigner || !LayoutsTreeView || (!FLayouts->RefreshEditor && !FLayouts->RefreshPreview))
        return;
    // The tree view follows every change, also one made from the main window.
    SyncTreeView();
    if (FLayouts->RefreshEditor) {
        FLayouts->RefreshEditor = false;
        UpdateEditor();
    }
    if (FLayouts->RefreshPreview) {
        FLayouts->RefreshPreview = false;
        PaintPreview();
    }
}
