#include "dialogs/knownapplistWin.h"

#include "components/StaticImageListWin.h"
#include "dialogs/KnownAppGlyphs.h"
#include "dialogs/MinSizeEditorWin.h"
#include "dialogs/OkCancelBar.h"
#include "dialogs/PropertyEditorWin.h"
#include "dialogs/applicationlistWin.h"
#include "hosting/RulesFile.h"
#include "mainwindow/SettingsStoreWin.h"
#include "mainwindow/StoredState.h"
#include "toolkit/Application.h"

#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

TKnownAppsForm* KnownAppsForm = nullptr;

namespace {

constexpr TColor clBlue = RGB(0, 0, 255);
constexpr TColor clGreen = RGB(0, 128, 0);
constexpr TColor clRed = RGB(255, 0, 0);

FormArgs KnownAppsArgs()
{
    FormArgs A;
    A.Caption = "Known Applications / Updates";
    A.ClientWidth = 700;
    A.ClientHeight = 337;
    A.CenterOnDesktop = true;
    A.FontName = "Arial";
    A.FontHeight = -13;
    A.Deferred = true;
    A.DialogKeys = true;
    return A;
}

// A label whose text colour can change (the version line turns red).
class ColorLabel : public Label {
public:
    using Label::Label;
    TColor FontColor = clWindowText;

protected:
    HBRUSH CtlColorReflect(HDC Dc) override
    {
        ::SetTextColor(Dc, ColorToRGB(FontColor));
        ::SetBkMode(Dc, TRANSPARENT);
        return ::GetSysColorBrush(COLOR_BTNFACE);
    }
};

// A plain list the system draws: the toolbar then places the images
// above its captions itself. The pixels are copied whole: a call per pixel
// costs a GDI round each.
ImageList* GlyphList(Component* Owner, const std::vector<TPixelBuffer>& Glyphs)
{
    auto* List = new ImageList(Owner, ImageListArgs{GlyphSize, GlyphSize});
    const COLORREF Mask = RGB(PixelRed(GlyphTransparent), PixelGreen(GlyphTransparent), PixelBlue(GlyphTransparent));
    for (const TPixelBuffer& G : Glyphs) {
        TPixel* Bits = nullptr;
        HBITMAP Bitmap = CreatePixelBitmap(G.Width, G.Height, &Bits);
        if (!Bitmap)
            continue;
        std::copy(G.Pixels.begin(), G.Pixels.end(), Bits);
        List->AddMasked(Bitmap, Mask);
        ::DeleteObject(Bitmap);
    }
    return List;
}

HFONT StyledFont(HFONT Base, bool Bold, bool Underline)
{
    LOGFONTA Lf = {};
    ::GetObjectA(Base ? Base : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(Lf), &Lf);
    Lf.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
    Lf.lfUnderline = Underline ? TRUE : FALSE;
    return ::CreateFontIndirectA(&Lf);
}

// The text as rules-file lines, CR LF after each.
void SaveLines(const std::string& FileName, const StringList& Lines)
{
    std::string Text;
    for (const std::string& L : Lines)
        Text += L + "\r\n";
    HANDLE File = ::CreateFileA(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        throw std::runtime_error("Cannot create file \"" + FileName + "\".");
    DWORD Written = 0;
    const BOOL Ok = ::WriteFile(File, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
    ::CloseHandle(File);
    if (!Ok || Written != Text.size())
        throw std::runtime_error("Cannot write file \"" + FileName + "\".");
}

// Widens each column of T narrower than its heading and, for the columns in
// WholeCells ('|' list), than any of its texts: the designed widths suit one
// font only. Room is left for glyphs that Wine draws past their measure.
void WidenToTexts(TDatabaseGridWin& T, const std::string& WholeCells)
{
    HDC Dc = ::GetDC(T.Handle());
    HGDIOBJ Old = ::SelectObject(Dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(T.Handle(), WM_GETFONT, 0, 0)));
    const auto Width = [Dc](const std::string& Text) {
        SIZE Sz = {0, 0};
        ::GetTextExtentPoint32A(Dc, Text.c_str(), static_cast<int>(Text.size()), &Sz);
        return static_cast<int>(Sz.cx) + 12;
    };
    for (int C = 0; C < T.Grid.ColCount(); ++C) {
        int Need = Width(T.Grid.Cell(C, 0));
        if (TDatabaseGrid::IsInColumnList(T.Grid.ColumnName(C), WholeCells)) {
            // Rows come grouped: a text like the one above is measured once.
            std::string Last;
            for (int R = 1; R <= T.Grid.RecordCount(); ++R) {
                const std::string Text = T.Grid.Cell(C, R);
                if (R == 1 || Text != Last)
                    Need = std::max(Need, Width(Text));
                Last = Text;
            }
        }
        if (Need > T.Grid.ColWidth(C))
            T.Grid.SetColWidth(C, Need);
    }
    ::SelectObject(Dc, Old);
    ::ReleaseDC(T.Handle(), Dc);
}

}  // namespace

TKnownAppsForm::TKnownAppsForm(Component* Owner) : Form(Owner, KnownAppsArgs())
{
    KnownAppsForm = this;
}

void TKnownAppsForm::CreateWindows()
{
    ImageList2 = GlyphList(this, EditToolbarGlyphs());
    ImageList2->Name = "ImageList2";
    flags_ImageList = GlyphList(this, FlagGlyphs());
    flags_ImageList->Name = "flags_ImageList";

    ActionList1 = new ActionList(this, ImageList2);
    AddLineAction = new Action(ActionList1, {"Add line", "appends a new line at the bottom of the list", 0});
    AddLineAction->OnExecute = [this](Action&) { AddLineActionExecute(); };
    RemoveLineAction = new Action(ActionList1, {"Remove line", "removes the selected line from the list", 1});
    RemoveLineAction->OnExecute = [this](Action&) { RemoveLineActionExecute(); };
    SaveDialogArgs Save;
    Save.DefaultExt = "DEF";
    Save.Filter = "application definition file (*.def)|*.def";
    Save.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    ExportFileAction = new FileSaveAsAction(
        ActionList1, {"Export file ...", "export application list to external file", 3}, Save);
    ExportFileAction->OnAccept = [this](FileSaveAsAction& A) { ExportFileActionAccept(A.Dialog.FileName); };
    RestoreAction = new Action(ActionList1, {"Restore defaults", "restore defaults (needs a program restart)", 4});
    RestoreAction->OnExecute = [this](Action&) { RestoreActionExecute(); };

    ToolBarArgs Bar;
    Bar.Parent = this;
    Bar.Align = TAlign::Top;
    Bar.Images = ImageList2;
    Bar.ShowCaptions = true;
    Bar.ShowHints = true;
    Bar.ButtonWidth = 101;
    Bar.ButtonHeight = 39;
    EditToolBar = new ToolBar(this, Bar);
    for (Action* A : {AddLineAction, RemoveLineAction, static_cast<Action*>(ExportFileAction), RestoreAction}) {
        ToolButtonArgs B;
        B.Action = A;
        EditToolBar->AddButton(B);
    }

    // Bottom-aligned controls stack upwards; the status bar keeps to the
    // very bottom by itself.
    StatusBarArgs Status;
    Status.Parent = this;
    StatusBar1 = new StatusBar(this, Status);
    const OkCancelBar Buttons = AddOkCancelBar(this);
    ToolBar1 = Buttons.Bar;
    okbutton = Buttons.Ok;
    // OK closes only when the tables could be taken back.
    okbutton->ModalResult = mrNone;
    okbutton->OnClick = [this] { okbuttonClick(); };
    cancelbutton = Buttons.Cancel;
    TabSetArgs Tabs;
    Tabs.Parent = this;
    Tabs.FontName = "Arial";
    Tabs.FontHeight = -11;
    CategoriesTabSet = new TabSet(this, Tabs);
    CategoriesTabSet->OnChange = [this](int NewTab, bool& Allow) { CategoriesTabSetChange(NewTab, Allow); };

    PageListArgs Pages;
    Pages.Parent = this;
    PageList1 = new PageList(this, Pages);
    ApplicationPage = PageList1->AddPage("ApplicationPage");
    AllowedWindowsPage = PageList1->AddPage("AllowedWindowsPage");
    ForbiddenWindowsPage = PageList1->AddPage("ForbiddenWindowsPage");
    LabelArgs Version;
    Version.Parent = ApplicationPage;
    Version.Align = TAlign::Top;
    Version.Height = 18;
    VersionLabel = new ColorLabel(ApplicationPage, Version);
    VersionLabel->Margins = RECT{4, 2, 4, 0};

    ButtonArgs Cell;
    Cell.Parent = this;
    Cell.Caption = "...";
    Cell.Width = 24;
    Cell.Height = 24;
    dbbutton = new Button(this, Cell);
    FBoldFont = StyledFont(Font(), true, false);
    ::SendMessageA(dbbutton->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FBoldFont), FALSE);
    dbbutton->SetVisible(false);
    dbbutton->OnClick = [this] { dbbuttonClick(); };

    AppTable = MakeTable(ApplicationPage, &TTableFlags::App);
    ConfigureAppTable(AppTable->Grid);
    AppTable->SetCellButton(dbbutton);
    AllowedTable = MakeTable(AllowedWindowsPage, &TTableFlags::Allowed);
    ConfigureWindowTable(AllowedTable->Grid, false);
    ForbiddenTable = MakeTable(ForbiddenWindowsPage, &TTableFlags::Forbidden);
    ConfigureWindowTable(ForbiddenTable->Grid, true);

    FLinkFont = StyledFont(Font(), false, true);
    Realign();
    FIdleId = Application->AddIdleHandler([this] { ApplicationEvents1Idle(); });
    FormCreate();
}

TKnownAppsForm::~TKnownAppsForm()
{
    if (Application && FIdleId)
        Application->RemoveIdleHandler(FIdleId);
    DestroyHandle();
    for (HFONT F : {FBoldFont, FLinkFont})
        if (F)
            ::DeleteObject(F);
    // The main window's menu and the updater reach the form through the global.
    if (KnownAppsForm == this)
        KnownAppsForm = nullptr;
}

TDatabaseGridWin* TKnownAppsForm::MakeTable(Panel* Page, bool TTableFlags::*Flag)
{
    StringGridArgs A;
    A.Parent = Page;
    A.Align = TAlign::Client;
    A.Editing = true;
    A.WantReturn = true;
    A.RangeSelect = true;
    A.FixedCols = 0;
    A.FixedRows = 1;
    auto* T = new TDatabaseGridWin(Page, A);
    T->OnMouseMove = [this](TShiftState, int X, int Y) { TableMouseMove(X, Y); };
    T->OnMouseUp = [this](TMouseButton, TShiftState, int X, int Y) { TableMouseUp(X, Y); };
    T->OnMouseLeave = [this] { TableMouseLeave(); };
    T->OnOwnerDrawCell = [this](TDatabaseGridWin&, int, int, const std::string& Column,
                                const std::string& Value, const RECT& R, Canvas& C) {
        AppTableOwnerDrawCell(Column, Value, R, C);
    };
    T->Grid.OnModified = [this, Flag](TDatabaseGrid& G) {
        if (FEditing && !FFilling && G.Modified())
            FModified.*Flag = true;
    };
    return T;
}

void TKnownAppsForm::FormCreate()
{
    FBaseCaption = Text();
}

TTableId TKnownAppsForm::IdOf(const TDatabaseGridWin* Table) const
{
    return Table == AllowedTable ? TTableId::Allowed : Table == ForbiddenTable ? TTableId::Forbidden : TTableId::App;
}

TDatabaseGridWin* TKnownAppsForm::TableOf(TTableId Id) const
{
    return Id == TTableId::Allowed ? AllowedTable : Id == TTableId::Forbidden ? ForbiddenTable : AppTable;
}

// --- Showing and filling ---

void TKnownAppsForm::ShowKnownApps(bool Editing, int HelpContext)
{
    EnsureHandle();
    FEditing = Editing;
    this->HelpContext = HelpContext;
    AddLineAction->SetEnabled(Editing);
    RemoveLineAction->SetEnabled(Editing);
    FModified = {KnownApps.Modified, AllowedWindows.Modified, ForbiddenWindows.Modified};
    FCommitted = false;
    CategoriesTabSet->BeginUpdate();
    CategoriesTabSet->Clear();
    FFilling = true;
    FillWindowTable(AllowedTable->Grid, AllowedWindows, !Editing);
    FillWindowTable(ForbiddenTable->Grid, ForbiddenWindows, !Editing);
    // Selecting the first tab below fills the Found column.
    if (Editing) {
        FillKnownAppTable(AppTable->Grid, KnownApps, nullptr, false);
        AppTable->SetFixed(0, 1);
    }
    for (TDatabaseGridWin* T : {AppTable, AllowedTable, ForbiddenTable})
        WidenToTexts(*T, "Category");
    FListed.clear();
    if (ListedApplications)
        ListedApplications(FListed);
    else if (ApplicationListForm)
        ApplicationListForm->BindableApplications(KindBit(akBind) | KindBit(akExternal), FListed, true);
    FFilling = false;
    StringList Tabs;
    CategoryTabs(KnownApps, Editing, Tabs);
    for (const std::string& T : Tabs)
        CategoriesTabSet->AddTab(T);
    CategoriesTabSet->EndUpdate();
    CategoriesTabSet->SetTabIndex(0);
    // Each showing starts at the name column, wherever the last one was
    // scrolled (viewing and editing differ in their fixed column).
    for (TDatabaseGridWin* T : {AppTable, AllowedTable, ForbiddenTable})
        T->SetTopLeft(T->FixedRows(), T->FixedCols());
    ApplicationEvents1Idle();
    ShowModal();
    // "Restore defaults" closes as OK; edits made before it still go back.
    if (ModalResult == mrOk && FEditing && FModified.Any() && !FCommitted) {
        TCommitError Ignored;
        CommitTables(AppTable->Grid, AllowedTable->Grid, ForbiddenTable->Grid, FModified, KnownApps,
                     AllowedWindows, ForbiddenWindows, Ignored);
    }
}

void TKnownAppsForm::FillFound()
{
    FillFoundColumn(AppTable->Grid, FListed);
    AppTable->Invalidate();
}

void TKnownAppsForm::CategoriesTabSetChange(int NewTab, bool& AllowChange)
{
    AllowChange = true;
    const std::string Tab = CategoriesTabSet->Tab(NewTab);
    const TTableId Id = TableOfTab(Tab);
    if (Id != TTableId::App) {
        PageList1->SetActivePage(Id == TTableId::Allowed ? AllowedWindowsPage : ForbiddenWindowsPage);
        FCurrentTable = TableOf(Id);
        return;
    }
    PageList1->SetActivePage(ApplicationPage);
    if (!FEditing) {
        FFilling = true;
        FillKnownAppTable(AppTable->Grid, KnownApps, &Tab, true);
        // The application's name stays in view.
        AppTable->SetFixed(1, 1);
        WidenToTexts(*AppTable, "Category");
        FFilling = false;
    }
    FillFound();
    FCurrentTable = AppTable;
}

void TKnownAppsForm::SelectTab(TTableId Id)
{
    for (int I = 0; I < CategoriesTabSet->Count(); ++I)
        if (TableOfTab(CategoriesTabSet->Tab(I)) == Id) {
            CategoriesTabSet->SetTabIndex(I);
            return;
        }
}

// --- Commands ---

void TKnownAppsForm::dbbuttonClick()
{
    if (FCurrentTable != AppTable)
        return;
    const int Col = AppTable->Col(), Row = AppTable->Row();
    const std::string Column = AppTable->Grid.ColumnName(Col);
    std::string Text = AppTable->Grid.Cell(Col, Row);
    bool Ok = false;
    if (SameText(Column, "Properties") && PropertyEditorForm)
        Ok = PropertyEditorForm->Execute(Text);
    else if (SameText(Column, "MinSize") && MinSizeEditorForm)
        Ok = MinSizeEditorForm->Execute(Text);
    if (!Ok)
        return;
    AppTable->Grid.SetCell(Col, Row, Text);
    AppTable->Grid.SetModified(true);
    AppTable->Invalidate();
}

void TKnownAppsForm::AddLineActionExecute()
{
    TDatabaseGridWin* T = FCurrentTable;
    if (!T)
        return;
    if (T == AppTable)
        T->Grid.AddRecord("Application", "New application");
    else
        T->Grid.AddRecord("EXE file", "\"New file\"");
    // A new line is a change: OK must take it back into the database.
    T->Grid.SetModified(true);
    T->FocusCell(0, T->Grid.RecordCount());
    // The new name cell takes the keys: typing, F2 and Enter edit it rather
    // than reaching the window, where Enter would close it as OK.
    ::SetFocus(T->Handle());
}

void TKnownAppsForm::RemoveLineActionExecute()
{
    if (FCurrentTable)
        FCurrentTable->Grid.DeleteRecord(FCurrentTable->Row());
}

void TKnownAppsForm::RestoreActionExecute()
{
    const int Answer = AskUser ? AskUser(RestoreWarning)
                               : MessageDlg(RestoreWarning, MB_ICONWARNING, MB_YESNOCANCEL);
    if (Answer != mrYes)
        return;
    ModalResult = mrOk;
    RestoreDefaults(KnownApps, AllowedWindows, ForbiddenWindows);
    // An empty database is never stored, so the stored one would come back
    // at the next start instead of the rules file.
    TRegistrySettingsStore Store;
    if (Store.OpenKey(AppsKey(), false)) {
        Store.DeleteValue(KnownAppListValue);
        Store.CloseKey();
    }
}

void TKnownAppsForm::ExportFileActionAccept(const std::string& FileName)
{
    StringList Lines;
    WriteApplicationRules(Lines);
    SaveLines(FileName, Lines);
}

bool TKnownAppsForm::Commit()
{
    TCommitError Error;
    if (CommitTables(AppTable->Grid, AllowedTable->Grid, ForbiddenTable->Grid, FModified, KnownApps,
                     AllowedWindows, ForbiddenWindows, Error)) {
        FCommitted = true;
        return true;
    }
    SelectTab(Error.Table);
    TDatabaseGridWin* T = TableOf(Error.Table);
    T->FocusCell(T->Col(), Error.Error.Row);
    ShowMessage(Error.Message());
    return false;
}

void TKnownAppsForm::okbuttonClick()
{
    if (FEditing && FModified.Any() && !Commit())
        return;
    ModalResult = mrOk;
}

// --- Idle ---

void TKnownAppsForm::ApplicationEvents1Idle()
{
    if (!Handle())
        return;
    ExportFileAction->SetVisible(!FEditing);
    if (FCurrentTable && ::IsWindowVisible(Handle())) {
        POINT P;
        ::GetCursorPos(&P);
        ::ScreenToClient(FCurrentTable->Handle(), &P);
        const RECT R = FCurrentTable->ClientRect();
        if (P.x < R.left || P.y < R.top || P.x > R.right || P.y > R.bottom)
            TableMouseLeave();
    }
    const std::string Caption = ShownCaption(FBaseCaption, FModified);
    if (Text() != Caption)
        SetText(Caption);
    bool Warning = false;
    const std::string Line = VersionLineText(KnownApps.RulesDate, Warning);
    auto* L = static_cast<ColorLabel*>(VersionLabel);
    const TColor Color = Warning ? clRed : clWindowText;
    if (L->Text() != Line || L->FontColor != Color) {
        L->FontColor = Color;
        L->SetText(Line);
        L->Invalidate();
    }
}

// --- Status line and links ---

std::string TKnownAppsForm::DefaultStatus() const
{
    return DatabaseEntriesText(FCurrentTable ? FCurrentTable->Grid.RecordCount() : 0);
}

bool TKnownAppsForm::CellAt(TDatabaseGridWin& Table, int X, int Y, int& ACol, int& ARow,
                            std::string& CellText, std::string& ColumnName)
{
    ColumnName.clear();
    CellText.clear();
    if (!Table.MouseToCell(X, Y, ACol, ARow) || ACol < 0 || ARow < 1)
        return false;
    ColumnName = GetField(Table.Grid.DatabaseColumns(), ACol + 1, '|');
    if (ColumnName.empty())
        return false;
    CellText = Table.Grid.Cell(ACol, ARow);
    return true;
}

int TKnownAppsForm::TextWidth(TDatabaseGridWin& Table, const std::string& Text, int& Height) const
{
    HDC Dc = ::GetDC(Table.Handle());
    HGDIOBJ Old = ::SelectObject(Dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(Table.Handle(), WM_GETFONT, 0, 0)));
    SIZE Sz = {0, 0};
    ::GetTextExtentPoint32A(Dc, Text.c_str(), static_cast<int>(Text.size()), &Sz);
    ::SelectObject(Dc, Old);
    ::ReleaseDC(Table.Handle(), Dc);
    Height = Sz.cy;
    return Sz.cx;
}

TKivSystemImageList& TKnownAppsForm::SystemImages()
{
    if (!systemimagelist)
        systemimagelist = new TKivSystemImageList(this);
    return *systemimagelist;
}

bool TKnownAppsForm::PrepareStep()
{
    if (Form::PrepareStep())
        return true;
    if (systemimagelist)
        return false;
    SystemImages();
    return true;
}

static int SystemIconWidth(const TKivSystemImageList& List)
{
    int W = 16, H = 16;
    if (List.Handle())
        ::ImageList_GetIconSize(List.Handle(), &W, &H);
    return W;
}

bool TKnownAppsForm::IsOverUrl(TDatabaseGridWin& Table, int X, int Y, std::string& Url)
{
    int ACol, ARow;
    std::string Text, Column;
    if (!CellAt(Table, X, Y, ACol, ARow, Text, Column) || !SameText(Column, "URL") || Text.empty())
        return false;
    const RECT R = Table.CellRect(ACol, ARow);
    int H = 0;
    const int W = TextWidth(Table, Text, H) + SystemIconWidth(SystemImages()) + 2;
    if (!InBox(X, Y, R.left + 2, R.top + 2, W, H))
        return false;
    Url = Text;
    return true;
}

bool TKnownAppsForm::IsOverLetter(TDatabaseGridWin& Table, int X, int Y, char& Letter,
                                  const std::string& ColumnName)
{
    int ACol, ARow;
    std::string Text, Column;
    if (!CellAt(Table, X, Y, ACol, ARow, Text, Column) || !SameText(Column, ColumnName) || Text.empty())
        return false;
    const RECT R = Table.CellRect(ACol, ARow);
    LetterAtPoint(Text, R.left, R.top, flags_ImageList->Width(), flags_ImageList->Height(), X, Y, Letter);
    return true;
}

void TKnownAppsForm::SetStatus(const std::string& Text)
{
    // Idle passes set it again and again: an unchanged text repaints nothing.
    if (StatusBar1->SimpleText() != Text)
        StatusBar1->SetSimpleText(Text);
}

bool TKnownAppsForm::UrlUnder(int X, int Y, std::string& Url)
{
    return FCurrentTable == AppTable && IsOverUrl(*AppTable, X, Y, Url);
}

void TKnownAppsForm::TableMouseLeave()
{
    if (FCurrentTable)
        SetStatus(DefaultStatus());
}

void TKnownAppsForm::TableMouseMove(int X, int Y)
{
    TDatabaseGridWin* T = FCurrentTable;
    if (!T)
        return;
    std::string Url;
    if (UrlUnder(X, Y, Url)) {
        T->Cursor = ::LoadCursorA(nullptr, IDC_HAND);
        SetStatus(Url);
        return;
    }
    T->Cursor = nullptr;
    int ACol, ARow;
    std::string Text, Column;
    const bool In = CellAt(*T, X, Y, ACol, ARow, Text, Column);
    char Letter = 0;
    if (In && T == AppTable && !IsOverLetter(*T, X, Y, Letter, "Properties"))
        IsOverLetter(*T, X, Y, Letter, "Found");
    SetStatus(StatusTextFor(IdOf(T), In, Column, Text, Letter, T->Grid.RecordCount()));
}

void TKnownAppsForm::TableMouseUp(int X, int Y)
{
    if (!FCurrentTable)
        return;
    std::string Url;
    if (!UrlUnder(X, Y, Url)) {
        SetStatus(DefaultStatus());
        return;
    }
    if (!IsOpenableUrl(Url))
        return;
    if (OpenUrl)
        OpenUrl(Url);
    else
        ::ShellExecuteA(Handle(), nullptr, Url.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

// --- Drawing ---

void TKnownAppsForm::AppTableOwnerDrawCell(const std::string& Column, const std::string& CellValue,
                                           const RECT& Rect, Canvas& C)
{
    int X = Rect.left + 2;
    const int Y = Rect.top + 2;
    HDC Dc = C.Handle();
    if (SameText(Column, "Found") || SameText(Column, "Properties")) {
        C.FillRect(Rect);
        for (const char Letter : CellValue) {
            const int Icon = FlagIconIndex(Column, Letter);
            if (Icon < 0)
                continue;
            flags_ImageList->Draw(Dc, X, Y, Icon);
            X += flags_ImageList->Width() + 2;
        }
    } else if (SameText(Column, "URL") && !CellValue.empty()) {
        C.FillRect(Rect);
        TKivSystemImageList& Shell = SystemImages();
        const int Icon = Shell.GetExtensionIconIndex(L".html", si_small, false);
        if (Icon >= 0 && Shell.Handle())
            ::ImageList_Draw(Shell.Handle(), Icon, Dc, X + 1, Y + 1, ILD_TRANSPARENT);
        X += SystemIconWidth(Shell) + 2;
        HGDIOBJ Old = ::SelectObject(Dc, FLinkFont);
        C.FontColor = clBlue;
        const std::string Shown =
            MinimizeName(CellValue, [&C](const std::string& S) { return C.TextWidth(S); }, Rect.right - X);
        C.TextRect(RECT{X, Y, Rect.right, Rect.bottom}, X, Y, Shown);
        ::SelectObject(Dc, Old);
        C.FontColor = clWindowText;
    } else if (SameText(Column, "Filenames") && !CellValue.empty()) {
        C.FillRect(Rect);
        StringList Items;
        SplitToStrings(Items, CellValue, ';');
        HGDIOBJ Plain = ::GetCurrentObject(Dc, OBJ_FONT);
        for (std::size_t I = 0; I < Items.size(); ++I) {
            const TFileItemStyle Style = FilenameItemStyle(static_cast<int>(I));
            if (Style == TFileItemStyle::Bold)
                ::SelectObject(Dc, FBoldFont);
            C.FontColor = Style == TFileItemStyle::Blue ? clBlue : Style == TFileItemStyle::Green ? clGreen : clWindowText;
            C.TextOut(X, Y, Items[I]);
            X += C.TextWidth(Items[I] + "  ");
            ::SelectObject(Dc, Plain);
            C.FontColor = clWindowText;
            if (I + 1 < Items.size()) {
                HGDIOBJ OldPen = ::SelectObject(Dc, ::GetStockObject(BLACK_PEN));
                ::MoveToEx(Dc, X, Rect.top, nullptr);
                ::LineTo(Dc, X, Rect.bottom);
                ::SelectObject(Dc, OldPen);
                X += C.TextWidth("  ");
            }
        }
    }
}
