#include "components/DialogResizingWin.h"

#include "components/DatabaseGridWin.h"
#include "components/StaticImageListWin.h"
#include "toolkit/Application.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/Panel.h"
#include "toolkit/SpeedButton.h"
#include "toolkit/SpinEdit.h"
#include "toolkit/StatusBar.h"
#include "toolkit/StdControls.h"
#include "toolkit/StringGrid.h"
#include "toolkit/ToolBar.h"

#include <memory>

namespace {

TSizeRec ExtentInFont(HWND Wnd, HFONT Font, const std::string& Text)
{
    HDC Dc = ::GetDC(Wnd);
    HGDIOBJ Old = ::SelectObject(Dc, Font ? static_cast<HGDIOBJ>(Font) : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE S = {};
    ::GetTextExtentPoint32A(Dc, Text.c_str(), static_cast<int>(Text.size()), &S);
    ::SelectObject(Dc, Old);
    ::ReleaseDC(Wnd, Dc);
    return {S.cx, S.cy};
}

HFONT FontOf(HWND Wnd)
{
    return reinterpret_cast<HFONT>(::SendMessageA(Wnd, WM_GETFONT, 0, 0));
}

int CharHeight(HFONT Font)
{
    HDC Dc = ::GetDC(nullptr);
    HGDIOBJ Old = Font ? ::SelectObject(Dc, Font) : nullptr;
    TEXTMETRICA Tm = {};
    ::GetTextMetricsA(Dc, &Tm);
    if (Old)
        ::SelectObject(Dc, Old);
    ::ReleaseDC(nullptr, Dc);
    return Tm.tmHeight;
}

class ControlAdapter : public IDialogControl {
public:
    explicit ControlAdapter(Control* C) : FControl(C)
    {
        struct KindOf {
            bool (*Test)(Control*);
            TControlKind Kind;
            const char* Class;
        };
        // Derived classes before their bases.
        static const KindOf Kinds[] = {
            {[](Control* X) { return dynamic_cast<Label*>(X) != nullptr; }, TControlKind::Label, "TLabel"},
            {[](Control* X) { return dynamic_cast<Edit*>(X) != nullptr; }, TControlKind::Edit, "TEdit"},
            {[](Control* X) { return dynamic_cast<SpinEdit*>(X) != nullptr; }, TControlKind::SpinEdit, "TJvSpinEdit"},
            {[](Control* X) { return dynamic_cast<RadioButton*>(X) != nullptr; }, TControlKind::RadioButton, "TRadioButton"},
            {[](Control* X) { return dynamic_cast<CheckBox*>(X) != nullptr; }, TControlKind::CheckBox, "TCheckBox"},
            {[](Control* X) { return dynamic_cast<Button*>(X) != nullptr; }, TControlKind::Button, "TButton"},
            {[](Control* X) { return dynamic_cast<Panel*>(X) != nullptr; }, TControlKind::Panel, "TPanel"},
            {[](Control* X) { return dynamic_cast<ComboBox*>(X) != nullptr; }, TControlKind::ComboBox, "TComboBox"},
            {[](Control* X) { return dynamic_cast<SpeedButton*>(X) != nullptr; }, TControlKind::SpeedButton, "TSpeedButton"},
            {[](Control* X) { return dynamic_cast<StatusBar*>(X) != nullptr; }, TControlKind::StatusBar, "TStatusBar"},
            {[](Control* X) { return dynamic_cast<TDatabaseGridWin*>(X) != nullptr; }, TControlKind::DatabaseGrid, "TDatabaseGrid"},
            {[](Control* X) { return dynamic_cast<StringGrid*>(X) != nullptr; }, TControlKind::StringGrid, "TStringGrid"},
            {[](Control* X) { return dynamic_cast<ToolBar*>(X) != nullptr; }, TControlKind::Toolbar, "TToolBar"},
        };
        for (const KindOf& K : Kinds)
            if (K.Test(C)) {
                FKind = K.Kind;
                FClass = K.Class;
                break;
            }
        // Labels size themselves to their text by default.
        FAutoSize = FKind == TControlKind::Label;
    }
    TControlKind Kind() const override { return FKind; }
    std::string Name() const override { return FControl->Name; }
    std::string ClassName() const override { return FClass; }
    bool Visible() const override { return FControl->Visible(); }
    TControlAlign Align() const override
    {
        switch (FControl->Align()) {
        case TAlign::Top: return alTop;
        case TAlign::Bottom: return alBottom;
        case TAlign::Left: return alLeft;
        case TAlign::Right: return alRight;
        case TAlign::Client: return alClient;
        default: return alNone;
        }
    }
    int Left() const override { return FControl->BoundsRect().left; }
    int Width() const override { return FControl->Width(); }
    int Height() const override { return FControl->Height(); }
    void SetLeft(int V) override
    {
        const RECT B = FControl->BoundsRect();
        FControl->SetBounds(V, B.top, B.right - B.left, B.bottom - B.top);
    }
    void SetWidth(int V) override
    {
        const RECT B = FControl->BoundsRect();
        FControl->SetBounds(B.left, B.top, V, B.bottom - B.top);
    }
    void SetHeight(int V) override
    {
        const RECT B = FControl->BoundsRect();
        FControl->SetBounds(B.left, B.top, B.right - B.left, V);
    }
    bool AutoSize() const override { return FAutoSize; }
    void SetAutoSize(bool V) override
    {
        const bool Was = FAutoSize;
        FAutoSize = V;
        if (V && !Was && FKind == TControlKind::Label)
            FitLabel();
    }
    bool AlignWithMargins() const override
    {
        const RECT& M = FControl->Margins;
        return M.left || M.top || M.right || M.bottom;
    }
    TMarginsRec Margins() const override
    {
        const RECT& M = FControl->Margins;
        return {M.left, M.top, M.right, M.bottom};
    }
    std::string Caption() const override { return FControl->Text(); }
    TSizeRec TextExtent(const std::string& T) const override
    {
        return ExtentInFont(FControl->Handle(), FontOf(FControl->Handle()), T);
    }
    bool WordWrap() const override
    {
        const auto* L = dynamic_cast<const Label*>(FControl);
        return L && L->WordWrap();
    }
    int WrappedTextHeight() const override
    {
        const auto* L = dynamic_cast<const Label*>(FControl);
        return L ? L->TextHeight() : 0;
    }
    int FontHeight() const override
    {
        LOGFONTA Lf = {};
        ::GetObjectA(FontOf(FControl->Handle()), sizeof Lf, &Lf);
        return Lf.lfHeight;
    }
    int FontCharHeight() const override { return CharHeight(FontOf(FControl->Handle())); }
    int DefaultFontCharHeight() const override { return CharHeight(nullptr); }
    int BorderHeight() const override { return ::GetSystemMetrics(SM_CYBORDER); }

    void SetDefaultRowHeight(int Height) override
    {
        if (auto* G = dynamic_cast<StringGrid*>(FControl))
            G->SetDefaultRowHeight(Height);
    }
    int ColCount() const override
    {
        const auto* G = dynamic_cast<const StringGrid*>(FControl);
        return G ? G->ColCount() : 0;
    }
    int ColWidth(int Col) const override
    {
        const auto* G = dynamic_cast<const StringGrid*>(FControl);
        return G ? G->ColWidth(Col) : 0;
    }
    void SetColWidth(int Col, int Width) override
    {
        if (auto* G = dynamic_cast<StringGrid*>(FControl))
            G->SetColWidth(Col, Width);
    }
    void PlaceCellEditors() override
    {
        if (auto* G = dynamic_cast<TDatabaseGridWin*>(FControl))
            G->UpdateEditors();
    }
    // A bar aligned to the top or bottom takes the height of its buttons.
    bool AutoResize() const override
    {
        return FKind == TControlKind::Toolbar &&
               (FControl->Align() == TAlign::Top || FControl->Align() == TAlign::Bottom);
    }
    void SetAutoResize(bool V) override
    {
        if (V && FKind == TControlKind::Toolbar)
            static_cast<ToolBar*>(FControl)->Relayout();
    }

private:
    // The label's height follows its text at its current width; an aligned
    // label gets its size from the layout.
    void FitLabel()
    {
        const TAlign A = FControl->Align();
        if (A == TAlign::Client || A == TAlign::Left || A == TAlign::Right) {
            if (FControl->Parent())
                FControl->Parent()->Realign();
            return;
        }
        const int H = WordWrap() ? WrappedTextHeight() : TextExtent(Caption()).cy;
        if (H > 0)
            SetHeight(H);
    }

    Control* FControl;
    TControlKind FKind = TControlKind::Other;
    std::string FClass = "TControl";
    bool FAutoSize = false;
};

// The images are taken as bitmaps over this colour, so what was
// transparent stays so unless the image covers the bottom-left pixel.
constexpr COLORREF StretchBackground = RGB(255, 0, 255);

class ImageListAdapter : public IDialogControl {
public:
    explicit ImageListAdapter(ImageList* List)
        : FList(List), FStatic(dynamic_cast<TStaticImageList*>(List))
    {
    }
    TControlKind Kind() const override
    {
        return FStatic ? TControlKind::StaticImageList : TControlKind::ImageList;
    }
    std::string Name() const override { return FList->Name; }
    std::string ClassName() const override { return FStatic ? "TStaticImageList" : "TImageList"; }
    int Width() const override { return FList->Width(); }
    int Height() const override { return FList->Height(); }
    void BeginUpdate() override
    {
        if (FStatic)
            FStatic->BeginUpdate();
    }
    void EndUpdate() override
    {
        if (FStatic)
            FStatic->EndUpdate();
    }
    void StretchImages(int Size) override
    {
        struct Stretched {
            HBITMAP Bitmap;
            COLORREF Mask;
        };
        std::vector<Stretched> Images;
        HDC Screen = ::GetDC(nullptr);
        HDC From = ::CreateCompatibleDC(Screen);
        HDC To = ::CreateCompatibleDC(Screen);
        const int W = FList->Width(), H = FList->Height();
        HBITMAP Source = ::CreateCompatibleBitmap(Screen, W, H);
        HBRUSH Back = ::CreateSolidBrush(StretchBackground);
        const RECT SourceRect = {0, 0, W, H};
        HGDIOBJ OldFrom = ::SelectObject(From, Source);
        HGDIOBJ OldTo = nullptr;
        for (int I = 0; I < FList->Count(); ++I) {
            ::FillRect(From, &SourceRect, Back);
            ::ImageList_Draw(FList->Handle(), I, From, 0, 0, ILD_TRANSPARENT);
            HBITMAP Work = ::CreateCompatibleBitmap(Screen, Size, Size);
            HGDIOBJ Prev = ::SelectObject(To, Work);
            if (!OldTo)
                OldTo = Prev;
            // Whole pixels, so the mask colour stays pure.
            ::SetStretchBltMode(To, COLORONCOLOR);
            ::StretchBlt(To, 0, 0, Size, Size, From, 0, 0, W, H, SRCCOPY);
            Images.push_back({Work, ::GetPixel(To, 0, Size - 1)});
        }
        if (OldTo)
            ::SelectObject(To, OldTo);
        ::SelectObject(From, OldFrom);
        ::DeleteObject(Back);
        ::DeleteObject(Source);
        ::DeleteDC(To);
        ::DeleteDC(From);
        ::ReleaseDC(nullptr, Screen);
        FList->SetSize(Size, Size);
        for (const Stretched& S : Images) {
            FList->AddMasked(S.Bitmap, S.Mask);
            ::DeleteObject(S.Bitmap);
        }
    }

private:
    ImageList* FList;
    TStaticImageList* FStatic;
};

}  // namespace

TDialogResizingWin::TDialogResizingWin(Form* Owner) : Component(Owner), FForm(Owner), FModel(this)
{
    if (Application)
        FIdleId = Application->AddIdleHandler([this] {
            bool Done = false;
            FModel.AppEventsIdle(Done);
        });
}

TDialogResizingWin::~TDialogResizingWin()
{
    if (Application && FIdleId)
        Application->RemoveIdleHandler(FIdleId);
    if (FFont)
        ::DeleteObject(FFont);
}

IDialogControl* TDialogResizingWin::Adapter(Component* C)
{
    std::unique_ptr<IDialogControl>& A = FAdapters[C];
    if (!A) {
        if (auto* Ctl = dynamic_cast<Control*>(C))
            A = std::make_unique<ControlAdapter>(Ctl);
        else if (auto* List = dynamic_cast<ImageList*>(C))
            A = std::make_unique<ImageListAdapter>(List);
    }
    return A.get();
}

TDialogResizingItem* TDialogResizingWin::AddItem(Control* C, TDialogResizingCollection* Group)
{
    TDialogResizingItem* Item = (Group ? *Group : FModel.Group()).Add();
    Item->SetAssignedControl(Adapter(C));
    return Item;
}

void TDialogResizingWin::CollectControls(const Component* Owner, std::vector<Control*>& List)
{
    for (Component* C : Owner->Components()) {
        if (auto* Ctl = dynamic_cast<Control*>(C))
            List.push_back(Ctl);
        CollectControls(C, List);
    }
}

void TDialogResizingWin::CollectScalable(const Component* Owner, std::vector<Component*>& List)
{
    for (Component* C : Owner->Components()) {
        if (dynamic_cast<Control*>(C) || dynamic_cast<ImageList*>(C))
            List.push_back(C);
        CollectScalable(C, List);
    }
}

std::vector<IDialogControl*> TDialogResizingWin::Components() const
{
    std::vector<Component*> Scalable;
    CollectScalable(FForm, Scalable);
    std::vector<IDialogControl*> List;
    for (Component* C : Scalable)
        List.push_back(const_cast<TDialogResizingWin*>(this)->Adapter(C));
    return List;
}

TSizeRec TDialogResizingWin::TextExtent(const std::string& Text) const
{
    return ExtentInFont(FForm->Handle(), FontOf(FForm->Handle()), Text);
}

void TDialogResizingWin::SetFontHeight(int Height)
{
    LOGFONTA Lf = {};
    ::GetObjectA(FontOf(FForm->Handle()), sizeof Lf, &Lf);
    Lf.lfHeight = Height;
    Lf.lfWidth = 0;
    HFONT Old = FFont;
    FFont = ::CreateFontIndirectA(&Lf);
    // Controls take their form's font.
    ::SendMessageA(FForm->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont), TRUE);
    std::vector<Control*> All;
    CollectControls(FForm, All);
    for (Control* C : All)
        ::SendMessageA(C->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont), TRUE);
    if (Old)
        ::DeleteObject(Old);
}

void TDialogResizingWin::SetClientWidth(int Value)
{
    RECT R = {0, 0, Value, 0};
    ::AdjustWindowRectEx(&R, ::GetWindowLongA(FForm->Handle(), GWL_STYLE), FALSE,
                         ::GetWindowLongA(FForm->Handle(), GWL_EXSTYLE));
    SetBounds(Left(), Top(), R.right - R.left, Height());
}

void TDialogResizingWin::SetClientHeight(int Value)
{
    RECT R = {0, 0, 0, Value};
    ::AdjustWindowRectEx(&R, ::GetWindowLongA(FForm->Handle(), GWL_STYLE), FALSE,
                         ::GetWindowLongA(FForm->Handle(), GWL_EXSTYLE));
    SetBounds(Left(), Top(), Width(), R.bottom - R.top);
}

int TDialogResizingWin::Left() const { return FForm->BoundsRect().left; }
int TDialogResizingWin::Top() const { return FForm->BoundsRect().top; }
int TDialogResizingWin::Width() const { return FForm->Width(); }
int TDialogResizingWin::Height() const { return FForm->Height(); }

void TDialogResizingWin::SetBounds(int Left, int Top, int Width, int Height)
{
    FForm->SetBounds(Left, Top, Width, Height);
}

TSizeRec TDialogResizingWin::ScreenSize() const
{
    return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

TDialogResizingWin* AttachDialogResizer(Form* F, std::initializer_list<TResizerMember> Members)
{
    auto* R = new TDialogResizingWin(F);
    R->Name = "DialogResizer";
    for (const TResizerMember& M : Members) {
        TDialogResizingItem* Item = R->AddItem(M.Member);
        Item->SetIgnoreWidth(M.IgnoreWidth);
        Item->SetScaleXFactor(M.ScaleFactor);
        Item->SetScaleYFactor(M.ScaleFactor);
    }
    return R;
}
