#include "components/DialogResizing.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

const int IconSizes[3] = {16, 24, 32};
const int FontHeights[3] = {-13, -19, -24};
const long double ScaleFactors[3] = {1.0L, 1.5L, 2.0L};
const int ThumbLengths[3] = {20, 30, 40};

namespace {

const char* const DirectionNames[4] = {"", "Horiz. ", "Vert. ", "Overl. "};

std::vector<TDialogResizing*>& Instances()
{
    static std::vector<TDialogResizing*> List;
    return List;
}

bool IsEditKind(TControlKind K)
{
    return K == TControlKind::Edit || K == TControlKind::SpinEdit ||
           K == TControlKind::DirectoryEdit;
}

bool IsGridKind(TControlKind K)
{
    return K == TControlKind::StringGrid || K == TControlKind::DatabaseGrid;
}

bool HasAutoSize(TControlKind K)
{
    return K == TControlKind::Panel || K == TControlKind::Label || K == TControlKind::Edit ||
           K == TControlKind::StaticText || K == TControlKind::Toolbar;
}

TSizeRec Extent(IDialogForm& Form, const std::string& Text)
{
    return Form.TextExtent(Text);
}

// The glyph's room beside or above the text.
void AddGlyphByLayout(const IDialogControl& C, TSizeRec& Size)
{
    const TSizeRec G = C.GlyphSize();
    if (G.cx == 0 && G.cy == 0)
        return;
    if (C.Layout() == blGlyphLeft || C.Layout() == blGlyphRight)
        Size.cx += G.cx + 4;
    else
        Size.cy += G.cy + 4;
}

// The control's text, measured as its class shows it.
TSizeRec MeasureText(const IDialogControl& C, IDialogForm& Form)
{
    const std::string Caption = C.Caption();
    TSizeRec S;
    switch (C.Kind()) {
    case TControlKind::Panel:
        S = Extent(Form, Caption);
        S.cx += 2 * C.BorderWidth();
        S.cy += 2 * C.BorderWidth();
        break;
    case TControlKind::Label:
        S = C.TextExtent(Caption);
        if (C.WordWrap())
            S.cy = C.WrappedTextHeight();
        S.cx += C.TextExtent("    ").cx;
        break;
    case TControlKind::StaticText: S = Extent(Form, Caption + "    "); break;
    case TControlKind::SpinEdit:
    case TControlKind::DirectoryEdit:
    case TControlKind::Edit: S = {C.Width(), EditHeightFor(C)}; break;
    case TControlKind::RadioButton:
    case TControlKind::CheckBox: S = Extent(Form, Caption + "OO    "); break;
    case TControlKind::JvSpeedButton:
    case TControlKind::SpeedButton:
        S = Extent(Form, Caption + "    ");
        AddGlyphByLayout(C, S);
        break;
    case TControlKind::ArrowButton:
        S = Extent(Form, Caption + "    ");
        AddGlyphByLayout(C, S);
        S.cx += C.ArrowWidth() + 4;
        break;
    case TControlKind::ImgBtn:
        S = Extent(Form, Caption + "    ");
        if (C.HasImages()) {
            S.cx += C.ImagesSize().cx + 4;
            S.cy = std::max(C.ImagesSize().cy, S.cy);
        }
        break;
    case TControlKind::Button:
    case TControlKind::BitBtn:
        S = Extent(Form, Caption + "    ");
        if (C.Kind() == TControlKind::BitBtn)
            AddGlyphByLayout(C, S);
        break;
    default: break;
    }
    return S;
}

void ScaleFont(IDialogControl& C, Ticonscaling Old, Ticonscaling New)
{
    if (!C.ParentFont())
        C.SetFontHeight(RoundHalfEven(C.FontHeight() * ScaleFactors[New] / ScaleFactors[Old]));
}

}  // namespace

int RoundHalfEven(long double Value)
{
    // The default rounding mode is to nearest, halves to even.
    return static_cast<int>(std::nearbyintl(Value));
}

int EditHeightFor(const IDialogControl& C)
{
    const TControlKind K = C.Kind();
    if (!IsEditKind(K) && !IsGridKind(K))
        return C.Height();
    const int System = C.DefaultFontCharHeight(), Own = C.FontCharHeight();
    int Extra;
    if (C.NewStyleControls())
        Extra = ((K == TControlKind::Edit || IsGridKind(K)) && C.Ctl3D() ? 8 : 6) *
                C.BorderHeight();
    else
        Extra = std::min(System, Own) / 4 + 4 * C.BorderHeight();
    return Own + Extra;
}

const std::vector<TDialogResizing*>& DialogResizingInstances()
{
    return Instances();
}

// ------------------------------------------------------------------ item

TDialogResizingItem::TDialogResizingItem(TDialogResizingCollection* Collection)
    : FCollection(Collection), FGroup(std::make_unique<TDialogResizingCollection>(this))
{
}

TDialogResizingItem::~TDialogResizingItem() = default;

void TDialogResizingItem::Changed()
{
    if (FCollection)
        FCollection->Update(this);
}

void TDialogResizingItem::UpdateControlType()
{
    FAssignedControlType = DetectControlType();
}

void TDialogResizingItem::SetAssignedControl(IDialogControl* Value)
{
    if (Value != FAssignedControl) {
        FAssignedControl = Value;
        UpdateControlType();
        Changed();
    }
    DesignWidth = Value ? Value->Width() : 0;
    DesignHeight = Value ? Value->Height() : 0;
}

void TDialogResizingItem::SetSetSizeControl(IDialogControl* Value)
{
    if (Value != FSetSizeControl) {
        FSetSizeControl = Value;
        UpdateControlType();
        Changed();
    }
    if (!FSetSizeControl && FSetSizeType != ss_none)
        FSetSizeType = ss_none;
}

void TDialogResizingItem::SetSetSizeType(TSetSizeType Value)
{
    if (Value != FSetSizeType) {
        FSetSizeType = Value;
        UpdateControlType();
        Changed();
    }
    if (FSetSizeType != ss_none && !FSetSizeControl && FAssignedControl)
        FSetSizeControl = FAssignedControl;
}

void TDialogResizingItem::SetFactor(long double& Field, long double Value)
{
    if (Value == Field)
        return;
    Field = Value;
    if (Value != 0)
        FScalingType = sc_ScaleSizeByFactors;
    UpdateControlType();
    Changed();
}

void TDialogResizingItem::SetScaleXFactor(long double Value) { SetFactor(FScaleXFactor, Value); }
void TDialogResizingItem::SetScaleYFactor(long double Value) { SetFactor(FScaleYFactor, Value); }

template <typename T> void TDialogResizingItem::SetPlain(T& Field, T Value)
{
    if (Field == Value)
        return;
    Field = Value;
    UpdateControlType();
    Changed();
}

void TDialogResizingItem::SetScalingType(TScalingType Value) { SetPlain(FScalingType, Value); }
void TDialogResizingItem::SetGroupDirection(TGroupDirection Value) { SetPlain(FGroupDirection, Value); }
void TDialogResizingItem::SetUseTextWidth(bool Value) { SetPlain(FUseTextWidth, Value); }
void TDialogResizingItem::SetUseTextHeight(bool Value) { SetPlain(FUseTextHeight, Value); }
void TDialogResizingItem::SetIgnoreWidth(bool Value) { SetPlain(FIgnoreWidth, Value); }
void TDialogResizingItem::SetIgnoreHeight(bool Value) { SetPlain(FIgnoreHeight, Value); }
void TDialogResizingItem::SetForceDirection(bool Value) { SetPlain(FForceDirection, Value); }

bool TDialogResizingItem::PresetKindTest(TAssignedControlType Type) const
{
    const IDialogControl* C = FAssignedControl;
    if (!C)
        return false;
    const TControlAlign A = C->Align();
    switch (Type) {
    case ac_VSeparator: return C->Kind() == TControlKind::Bevel && (A == alTop || A == alBottom);
    case ac_DescriptionPanel:
        return C->Kind() == TControlKind::Panel && (A == alTop || A == alBottom) &&
               C->LeftJustified();
    case ac_DescriptionEdit:
        return (IsEditKind(C->Kind()) || C->Kind() == TControlKind::ComboBox) && A == alNone &&
               C->Anchors() == (akTop | akRight);
    default: return false;
    }
}

bool TDialogResizingItem::PresetSettingsMatch(TAssignedControlType Type) const
{
    const bool Edit = Type == ac_DescriptionEdit;
    return FIgnoreWidth == (Type == ac_VSeparator) && !FIgnoreHeight && !ResetAutosize &&
           FScaleXFactor == 0 && FScaleYFactor == 0 &&
           FScalingType == (Edit ? sc_ScaleWidthByRatio : sc_none) &&
           FSetSizeControl == (Edit ? FAssignedControl : nullptr) &&
           FSetSizeType == (Edit ? ss_SetWidth : ss_none) &&
           FUseTextWidth == (Type == ac_DescriptionPanel) && !FUseTextHeight;
}

TAssignedControlType TDialogResizingItem::DetectControlType() const
{
    for (TAssignedControlType T : {ac_VSeparator, ac_DescriptionPanel, ac_DescriptionEdit})
        if (PresetKindTest(T) && PresetSettingsMatch(T))
            return T;
    return ac_Custom;
}

void TDialogResizingItem::SetAssignedControlType(TAssignedControlType Value)
{
    if (Value == FAssignedControlType || Value == ac_Custom || !PresetKindTest(Value))
        return;
    const bool Edit = Value == ac_DescriptionEdit;
    FIgnoreWidth = Value == ac_VSeparator;
    FIgnoreHeight = false;
    ResetAutosize = false;
    FScaleXFactor = 0;
    FScaleYFactor = 0;
    FScalingType = Edit ? sc_ScaleWidthByRatio : sc_none;
    FSetSizeControl = Edit ? FAssignedControl : nullptr;
    FSetSizeType = Edit ? ss_SetWidth : ss_none;
    FUseTextWidth = Value == ac_DescriptionPanel;
    FUseTextHeight = false;
    UpdateControlType();
    Changed();
}

std::string TDialogResizingItem::GetDisplayName() const
{
    const auto ControlName = [](const IDialogControl* C) {
        return C ? C->Name() + ":" + C->ClassName() : std::string("Unassigned");
    };
    if (FGroup->Count() == 0)
        return ControlName(FAssignedControl);
    std::string S = std::string(DirectionNames[FGroupDirection]) + "Group[" +
                    std::to_string(FGroup->Count()) + "]: ";
    for (int I = 0; I < FGroup->Count(); ++I) {
        const TDialogResizingItem* M = FGroup->Items(I);
        if (I > 0)
            S += ", ";
        S += M->Group().Count() > 0 ? "Group[" + std::to_string(M->Group().Count()) + "]"
                                    : ControlName(M->AssignedControl());
        if (S.size() > 80) {
            S += " ...";
            break;
        }
    }
    return S;
}

bool TDialogResizingItem::GetIconScaling(Ticonscaling& Scaling) const
{
    for (const TDialogResizingItem* Item = this; Item;) {
        const TDialogResizingCollection* C = Item->FCollection;
        if (!C)
            return false;
        if (C->OwnerComponent()) {
            const auto* R = dynamic_cast<const TDialogResizing*>(C->OwnerComponent());
            if (!R)
                return false;
            Scaling = R->IconScaling();
            return true;
        }
        Item = C->OwnerItem();
    }
    return false;
}

void TDialogResizingItem::GetItemSize(IDialogForm* Form, TSizeRec& Size)
{
    if (!Enabled) {
        Size = {};
        return;
    }
    bool Measured = false;
    if (FGroup->Count() > 0) {
        FGroup->GetGroupSize(Form, FGroupDirection, Size);
        if (OnAfterGetGroupSize)
            OnAfterGetGroupSize(*FGroup, Size);
        Measured = true;
    } else if (!FAssignedControl || !FAssignedControl->Visible()) {
        Size = {};
    } else {
        IDialogControl& C = *FAssignedControl;
        Size = {C.Width(), C.Height()};
        if ((FUseTextWidth || FUseTextHeight) && Form) {
            // Margins count once: in the step below, not in the measure.
            const TSizeRec Text = MeasureText(C, *Form);
            if (FUseTextWidth && Text.cx != 0)
                Size.cx = Text.cx;
            if (FUseTextHeight && Text.cy != 0)
                Size.cy = Text.cy;
        }
        if (C.AlignWithMargins()) {
            const TMarginsRec M = C.Margins();
            Size.cx += M.Left + M.Right;
            Size.cy += M.Top + M.Bottom;
        }
        if (FIgnoreWidth)
            Size.cx = 0;
        if (FIgnoreHeight)
            Size.cy = 0;
        Measured = true;
    }
    Ticonscaling Scaling;
    if (FScalingType == sc_ScaleWidthByRatio && DesignWidth != 0 && DesignHeight != 0) {
        Size.cx = RoundHalfEven(static_cast<long double>(static_cast<long long>(Size.cy) * DesignWidth) /
                                DesignHeight);
    } else if (FScalingType == sc_ScaleSizeByFactors && GetIconScaling(Scaling)) {
        const long double F = ScaleFactors[Scaling];
        if (FScaleXFactor != 0)
            Size.cx = RoundHalfEven(DesignWidth * F * FScaleXFactor);
        if (FScaleYFactor != 0)
            Size.cy = RoundHalfEven(DesignHeight * F * FScaleYFactor);
    }
    if (Measured && FSetSizeControl)
        ApplySetSize(Size.cx, Size.cy);
}

void TDialogResizingItem::ApplySetSize(int Width, int Height)
{
    IDialogControl& C = *FSetSizeControl;
    const bool AutoOff = ResetAutosize && HasAutoSize(C.Kind()) && C.AutoSize();
    if (AutoOff)
        C.SetAutoSize(false);
    const int OldWidth = C.Width();
    const bool SetW = FSetSizeType == ss_SetClientWidth || FSetSizeType == ss_SetClientSize ||
                      FSetSizeType == ss_SetWidth || FSetSizeType == ss_SetSize;
    const bool SetH = FSetSizeType == ss_SetClientHeight || FSetSizeType == ss_SetClientSize ||
                      FSetSizeType == ss_SetHeight || FSetSizeType == ss_SetSize;
    const bool Client = FSetSizeType == ss_SetClientWidth || FSetSizeType == ss_SetClientHeight ||
                        FSetSizeType == ss_SetClientSize;
    if (SetW && Width != 0)
        Client ? C.SetClientWidth(Width) : C.SetWidth(Width);
    if (SetH && Height != 0)
        Client ? C.SetClientHeight(Height) : C.SetHeight(Height);
    const int NewWidth = C.Width();
    const unsigned A = C.Anchors();
    if (NewWidth != OldWidth && C.Align() == alNone && (A & akRight) && !(A & akLeft))
        C.SetLeft(C.Left() - NewWidth + OldWidth);
    if (AutoOff)
        C.SetAutoSize(true);
}

void TDialogResizingItem::RemoveControl(const IDialogControl* Control)
{
    if (FAssignedControl == Control)
        FAssignedControl = nullptr;
    if (FSetSizeControl == Control)
        FSetSizeControl = nullptr;
    FGroup->RemoveControl(Control);
}

// ------------------------------------------------------------ collection

TDialogResizingCollection::TDialogResizingCollection(TDialogResizingItem* OwnerItem)
    : FOwnerItem(OwnerItem)
{
}

TDialogResizingCollection::TDialogResizingCollection(TCustomDialogResizing* OwnerComponent)
    : FOwnerComponent(OwnerComponent)
{
}

TDialogResizingItem* TDialogResizingCollection::Add()
{
    FItems.push_back(std::make_unique<TDialogResizingItem>(this));
    Update(nullptr);
    return FItems.back().get();
}

void TDialogResizingCollection::Delete(int Index)
{
    FItems.erase(FItems.begin() + Index);
    Update(nullptr);
}

void TDialogResizingCollection::Update(TDialogResizingItem*)
{
    const TGroupDirection Current =
        FOwnerItem ? FOwnerItem->GroupDirection() : FOwnerComponent->FGroupDirection;
    const bool Forced = FOwnerItem ? FOwnerItem->ForceDirection() : FOwnerComponent->FForceDirection;
    if (Current == gd_overlapped || Forced)
        return;
    bool Horizontal = false, Vertical = false;
    for (const auto& Item : FItems) {
        const IDialogControl* C = Item->AssignedControl();
        if (!C || !C->Visible() || !Item->Enabled)
            continue;
        const TControlAlign A = C->Align();
        Horizontal = Horizontal || A == alLeft || A == alRight;
        Vertical = Vertical || A == alTop || A == alBottom;
    }
    TGroupDirection New = Current;
    if (FItems.empty())
        New = gd_none;
    else if (Horizontal)
        New = gd_horizontal;
    else if (Vertical)
        New = gd_vertical;
    if (New == Current)
        return;
    if (FOwnerItem)
        FOwnerItem->SetGroupDirection(New);
    else
        FOwnerComponent->FGroupDirection = New;
}

void TDialogResizingCollection::GetGroupSize(IDialogForm* Form, TGroupDirection Direction,
                                             TSizeRec& Size)
{
    Size = {};
    for (const auto& Item : FItems) {
        TSizeRec S;
        Item->GetItemSize(Form, S);
        switch (Direction) {
        case gd_horizontal:
            Size.cx += S.cx;
            Size.cy = std::max(Size.cy, S.cy);
            break;
        case gd_vertical:
            Size.cx = std::max(Size.cx, S.cx);
            Size.cy += S.cy;
            break;
        case gd_overlapped:
            Size.cx = std::max(Size.cx, S.cx);
            Size.cy = std::max(Size.cy, S.cy);
            break;
        case gd_none: break;
        }
    }
}

void TDialogResizingCollection::RemoveControl(const IDialogControl* Control)
{
    for (const auto& Item : FItems)
        Item->RemoveControl(Control);
}

// ------------------------------------------------------------- component

TCustomDialogResizing::TCustomDialogResizing()
    : FGroup(std::make_unique<TDialogResizingCollection>(this))
{
}

TCustomDialogResizing::~TCustomDialogResizing() = default;

void TCustomDialogResizing::Notification(const IDialogControl* Removed)
{
    FGroup->RemoveControl(Removed);
}

void TCustomDialogResizing::ChangeIconScaling(Ticonscaling New)
{
    if (New == FIconScaling)
        return;
    if (OnBeforeScaling)
        OnBeforeScaling(FIconScaling, New);
    FIconScaling = New;
    if (OnAfterScaling)
        OnAfterScaling(New);
}

TDialogResizing::TDialogResizing(IDialogForm* DestinationForm) : DestinationForm(DestinationForm)
{
    Instances().push_back(this);
}

TDialogResizing::~TDialogResizing()
{
    auto& List = Instances();
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
}

void TDialogResizing::GetRootSize(TSizeRec& Size)
{
    Size = {};
    if (FGroup)
        FGroup->GetGroupSize(DestinationForm, FGroupDirection, Size);
}

void TDialogResizing::SetIconScaling(Ticonscaling New)
{
    FRewrapPending = true;
    if (!FActivated || !DestinationForm) {
        FPendingIconScaling = New;
        return;
    }
    if (New == FIconScaling)
        return;
    IDialogForm& Form = *DestinationForm;
    Form.SetFontHeight(FontHeights[New]);
    ScaleComponents(Form, FIconScaling, New);
    FToolbarRelayoutPending = true;
    ChangeIconScaling(New);
    TSizeRec Size;
    GetRootSize(Size);
    if (Size.cy != 0)
        Form.SetClientHeight(Size.cy);
    if (Size.cx != 0)
        Form.SetClientWidth(Size.cx);
    if (Size.cx == 0 && Size.cy == 0)
        return;
    const int W = Form.Width(), H = Form.Height();
    const TSizeRec Screen = Form.ScreenSize();
    Form.SetBounds(W > Screen.cx ? 0 : (Screen.cx - W) / 2, H > Screen.cy ? 0 : (Screen.cy - H) / 2,
                   W, H);
}

void TDialogResizing::ActivateScaling()
{
    if (!FActivated) {
        FActivated = true;
        SetIconScaling(FPendingIconScaling);
    }
    if (FRewrapPending) {
        RewrapLabels();
        FRewrapPending = false;
    }
}

void TDialogResizing::RewrapLabels()
{
    if (!DestinationForm)
        return;
    for (IDialogControl* C : DestinationForm->Components())
        if (C->Kind() == TControlKind::Label && C->WordWrap() && C->AutoSize()) {
            C->SetAutoSize(false);
            C->SetAutoSize(true);
        }
}

void TDialogResizing::RelayoutToolbars()
{
    if (!DestinationForm)
        return;
    for (IDialogControl* C : DestinationForm->Components())
        if (C->Kind() == TControlKind::Toolbar && C->AutoResize()) {
            C->SetAutoResize(false);
            C->SetAutoResize(true);
        }
}

void TDialogResizing::AppEventsIdle(bool& Done)
{
    if (FToolbarRelayoutPending && DestinationForm) {
        RelayoutToolbars();
        FToolbarRelayoutPending = false;
        Done = true;
    }
}

void TDialogResizing::ScaleComponents(IDialogForm& Form, Ticonscaling Old, Ticonscaling New)
{
    const auto IsImageList = [](const IDialogControl* C) {
        return C->Kind() == TControlKind::ImageList || C->Kind() == TControlKind::StaticImageList;
    };
    const auto Allowed = [&](IDialogControl& C) {
        bool Allow = true;
        if (OnCanScale)
            OnCanScale(C, Form, New, Allow);
        return Allow;
    };
    const std::vector<IDialogControl*> All = Form.Components();
    for (IDialogControl* C : All)
        if (IsImageList(C) && Allowed(*C))
            ScaleImageList(*C, Old, New);
    for (IDialogControl* C : All)
        if (!IsImageList(C) && Allowed(*C))
            ScaleControl(*C, Form, Old, New);
}

void TDialogResizing::ScaleImageList(IDialogControl& List, Ticonscaling Old, Ticonscaling New)
{
    const int S = List.Width();
    if (List.Height() != S || (S != 16 && S != 24 && S != 32 && S != 48 && S != 64))
        return;
    const int Base = S * 16 / IconSizes[Old];
    const int Target = IconSizes[New] * S / IconSizes[Old];
    const bool Bracket = List.Kind() == TControlKind::StaticImageList;
    if (Bracket)
        List.BeginUpdate();
    if (Target != List.Height()) {
        if (List.Height() != Base)
            List.StretchImages(Base);
        if (List.Height() != Target)
            List.StretchImages(Target);
    }
    if (Bracket)
        List.EndUpdate();
}

void TDialogResizing::ScaleControl(IDialogControl& C, IDialogForm& Form, Ticonscaling Old,
                                   Ticonscaling New)
{
    const TSizeRec Text = Extent(Form, C.Caption());
    const TSizeRec Glyph = C.GlyphSize();
    const auto AsButton = [&](int Extra) {
        C.SetWidth(Text.cx + Glyph.cx + 8 + Extra);
        C.SetHeight(std::max(Glyph.cy, Text.cy) + 8);
    };
    switch (C.Kind()) {
    case TControlKind::Label:
    case TControlKind::StaticText:
    case TControlKind::Edit:
    case TControlKind::SpinEdit:
    case TControlKind::DirectoryEdit:
    case TControlKind::ComboBox:
    case TControlKind::Panel: ScaleFont(C, Old, New); break;
    case TControlKind::RadioButton:
    case TControlKind::CheckBox:
        ScaleFont(C, Old, New);
        C.SetHeight(std::max(IconSizes[New], Text.cy) + 8);
        C.SetWidth(IconSizes[New] + Text.cx + 8);
        break;
    case TControlKind::ImgBtn: {
        ScaleFont(C, Old, New);
        const TSizeRec Images = C.HasImages() ? C.ImagesSize() : TSizeRec{};
        C.SetHeight(std::max(Images.cy, Text.cy) + 8);
        C.SetWidth(Text.cx + Images.cx + 8);
        break;
    }
    case TControlKind::ArrowButton:
        ScaleFont(C, Old, New);
        C.CopyFontToFillFont();
        C.SetArrowWidth(RoundHalfEven(ScaleFactors[New] * 13));
        AsButton(C.ArrowWidth());
        break;
    case TControlKind::BitBtn:
    case TControlKind::JvSpeedButton:
    case TControlKind::Button:
    case TControlKind::SpeedButton:
        ScaleFont(C, Old, New);
        AsButton(0);
        break;
    case TControlKind::StringGrid:
    case TControlKind::DatabaseGrid:
        ScaleFont(C, Old, New);
        C.SetDefaultRowHeight(EditHeightFor(C));
        for (int Col = 0; Col < C.ColCount(); ++Col)
            C.SetColWidth(Col, RoundHalfEven(C.ColWidth(Col) * ScaleFactors[New] /
                                             ScaleFactors[Old]));
        if (C.Kind() == TControlKind::DatabaseGrid)
            C.PlaceCellEditors();
        break;
    case TControlKind::StatusBar:
        ScaleFont(C, Old, New);
        C.SetHeight(-FontHeights[New] + 8);
        break;
    default: break;
    }
}
