#include "dialogs/applicationlistWin.h"

#include "components/StaticImageListWin.h"
#include "components/ToolbarGlyphs.h"
#include "dialogs/ConfirmDuplicatesWin.h"
#include "dialogs/OkCancelBar.h"
#include "dialogs/SearchForFilesWin.h"
#include "shell/Shell_Win32Win.h"
#include "toolkit/Application.h"

#include <cstring>

TApplicationListForm* ApplicationListForm = nullptr;

namespace {

FormArgs ListArgs()
{
    FormArgs A;
    A.Caption = "Application list";
    A.ClientWidth = 700;
    A.ClientHeight = 273;
    A.HelpContext = 15;
    A.FontName = "Arial";
    A.FontHeight = -13;
    A.DialogKeys = true;
    A.Deferred = true;
    return A;
}

// Add, remove and search: a program window with a plus, with a minus, and
// a magnifying glass.
const std::vector<std::string> AddMap = {
    "................", ".kkkkkkkkkk.....", ".kbbbbbbbbk.....", ".kkkkkkkkkk.....",
    ".kwwwwwwwwk.....", ".kwwwwwwwwk.....", ".kwwwwwwwwk.....", ".kwwwwwwwwk.ggg.",
    ".kwwwwwwwwk.ggg.", ".kkkkkkkkkgggggg", "..........gggggg", "............ggg.",
    "............ggg.", "................", "................", "................"};
const std::vector<std::string> RemoveMap = {
    "................", ".kkkkkkkkkk.....", ".kbbbbbbbbk.....", ".kkkkkkkkkk.....",
    ".kwwwwwwwwk.....", ".kwwwwwwwwk.....", ".kwwwwwwwwk.....", ".kwwwwwwwwk.....",
    ".kwwwwwwwwk.....", ".kkkkkkkkkrrrrrr", "..........rrrrrr", "................",
    "................", "................", "................", "................"};
const std::vector<std::string> SearchMap = {
    "................", "....kkkkk.......", "...kcccccck.....", "..kcwwccccck....",
    "..kcwcccccck....", "..kcccccccck....", "..kcccccccck....", "...kcccccck.....",
    "....kkkkkkkk....", "..........kkk...", "...........kkk..", "............kkk.",
    ".............kk.", "................", "................", "................"};

void AddGlyph(ImageList& List, const TPixelBuffer& Glyph)
{
    TPixel* Bits = nullptr;
    HBITMAP Bitmap = CreatePixelBitmap(Glyph.Width, Glyph.Height, &Bits);
    if (!Bitmap)
        return;
    std::memcpy(Bits, Glyph.Pixels.data(), Glyph.Pixels.size() * sizeof(TPixel));
    List.AddMasked(Bitmap, RGB(255, 0, 255));
    ::DeleteObject(Bitmap);
}

// A coloured tag with a short word: "new", "chg" and, in its first 16
// pixels, "U".
void AddFlagImage(ImageList& List, COLORREF Back, const char* Text, int Width)
{
    List.AddPainted(RGB(255, 0, 255), [&](HDC Dc, const RECT&) {
        RECT R = {0, 1, Width, 15};
        HBRUSH Brush = ::CreateSolidBrush(Back);
        HGDIOBJ OldBrush = ::SelectObject(Dc, Brush);
        HGDIOBJ OldPen = ::SelectObject(Dc, ::GetStockObject(NULL_PEN));
        ::RoundRect(Dc, R.left, R.top, R.right + 1, R.bottom + 1, 6, 6);
        ::SelectObject(Dc, OldPen);
        ::SelectObject(Dc, OldBrush);
        ::DeleteObject(Brush);
        HFONT Font = ::CreateFontA(-10, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH, "Arial");
        HGDIOBJ OldFont = ::SelectObject(Dc, Font);
        ::SetBkMode(Dc, TRANSPARENT);
        ::SetTextColor(Dc, RGB(255, 255, 255));
        ::DrawTextA(Dc, Text, -1, &R, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(Dc, OldFont);
        ::DeleteObject(Font);
    });
}

}  // namespace

static TDatabaseGridWin* MakeAppTable(TApplicationListForm* Form, TDatabaseGrid& Model)
{
    StringGridArgs A;
    A.Parent = Form;
    A.Align = TAlign::Client;
    A.FixedCols = 0;
    A.FixedRows = 1;
    A.GridLines = true;
    A.RangeSelect = true;
    A.ColSizing = true;
    A.Editing = true;
    A.Tabs = true;
    A.ThumbTracking = true;
    return new TDatabaseGridWin(Form, A, Model);
}

TApplicationListForm::TApplicationListForm(Component* Owner)
    : Form(Owner, ListArgs()), List(AppGrid)
{
    ApplicationListForm = this;
    ConfigureApplicationTable(AppGrid);
    List.OnResolveDuplicates = [](StringList& Found, std::vector<TIdentifyInfo>& Refs) {
        return ConfirmDuplicatesForm && ConfirmDuplicatesForm->Execute(Found, Refs);
    };
    List.OnMessage = [](const std::string& Text) { ShowMessage(Text); };
    // The window's FocusCell also scrolls the row into view.
    List.OnCurrentRow = [this](int Row) {
        if (AppTable)
            AppTable->FocusCell(AppTable->Col(), Row);
        else
            AppGrid.FocusCell(AppGrid.Col(), Row);
    };
    List.OnListModified = [this](bool Modified) {
        SetText(Modified ? FBaseCaption + " (modified)" : FBaseCaption);
    };
    FBaseCaption = ListArgs().Caption;
}

void TApplicationListForm::CreateWindows()
{
    AppTable = MakeAppTable(this, AppGrid);
    ImageList1 = new ImageList(this, ImageListArgs());
    for (const auto* Map : {&AddMap, &RemoveMap, &SearchMap})
        AddGlyph(*ImageList1, GlyphFromMap(*Map));
    ImageListArgs F;
    F.Width = 32;
    flags_ImageList = new ImageList(this, F);
    AddFlagImage(*flags_ImageList, RGB(32, 150, 48), "new", 32);
    AddFlagImage(*flags_ImageList, RGB(230, 130, 20), "chg", 32);
    AddFlagImage(*flags_ImageList, RGB(200, 30, 30), "U", 16);

    ActionList1 = new ActionList(this, ImageList1);
    ActionArgs A;
    A.Caption = "Add App.";
    A.Hint = "Select and add an application from your disk";
    A.ImageIndex = 0;
    OpenDialogArgs D;
    D.DefaultExt = "EXE";
    D.Filter = "Executable files (*.exe)|*.exe";
    D.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    AddApplicationAction = new FileOpenAction(ActionList1, A, D);
    AddApplicationAction->OnAccept = [this](FileOpenAction&) { AddApplicationActionAccept(); };
    A.Caption = "Remove App.";
    A.Hint = "removes the selected application from the list";
    A.ImageIndex = 1;
    RemoveApplicationAction = new Action(ActionList1, A);
    RemoveApplicationAction->OnExecute = [this](Action&) { RemoveApplicationActionExecute(); };
    A.Caption = "Search Apps...";
    A.Hint = "search for known applications in locations";
    A.ImageIndex = 2;
    SearchForFilesAction = new Action(ActionList1, A);
    SearchForFilesAction->OnExecute = [this](Action&) {
        ::SearchForFilesActionExecute(List, AppTable);
    };

    ToolBarArgs T;
    T.Parent = this;
    T.Align = TAlign::Top;
    T.Images = ImageList1;
    T.ShowCaptions = true;
    T.ShowHints = true;
    T.ButtonWidth = 94;
    T.ButtonHeight = 39;
    ToolBar2 = new ToolBar(this, T);
    for (Action* Act : {static_cast<Action*>(AddApplicationAction), RemoveApplicationAction,
                        static_cast<Action*>(nullptr), SearchForFilesAction}) {
        if (!Act) {
            ToolBar2->AddSeparator();
            continue;
        }
        ToolButtonArgs B;
        B.Action = Act;
        ToolBar2->AddButton(B);
    }

    const OkCancelBar Bar = AddOkCancelBar(this);
    ToolBar1 = Bar.Bar;
    BitBtn1 = Bar.Ok;
    BitBtn2 = Bar.Cancel;

    AppTable->OnOwnerDrawCell = [this](TDatabaseGridWin&, int, int, const std::string& Column,
                                       const std::string& Value, const RECT& R, Canvas& C) {
        AppTableOwnerDrawCell(Column, Value, R, C);
    };
    // The caption says whether the list was changed before the window was.
    List.SetListModified(List.ApplicationListModified());
    Realign();
}

TApplicationListForm::~TApplicationListForm()
{
    // The table shows AppGrid, a member, which goes before the base classes
    // would free the table: it goes first.
    delete AppTable;
    AppTable = nullptr;
    if (ApplicationListForm == this)
        ApplicationListForm = nullptr;
}

void TApplicationListForm::FillApplicationCombo(TAppKinds Kinds, ComboBox& Combo,
                                                const std::string& Current,
                                                const std::string& LeadingItem)
{
    StringList Items;
    int Index = -1;
    List.ApplicationComboItems(Kinds, LeadingItem, Current, Items, Index);
    Combo.SetItems(Items);
    if (!Current.empty()) {
        Combo.SetItemIndex(Index);
        if (Combo.OnChange)
            Combo.OnChange();
    }
}

TKivSystemImageList& TApplicationListForm::SystemImages()
{
    if (!FSystemImages)
        FSystemImages = new TKivSystemImageList(this);
    return *FSystemImages;
}

int TApplicationListForm::ApplicationIconIndex(const std::string& Name)
{
    std::string Path;
    if (ApplicationLocation(Name, Path, true))
        return SystemImages().GetFileIconIndex(AnsiToWide(Path), si_small, false);
    return SystemImages().GetExtensionIconIndex(L"exe", si_small, false);
}

void TApplicationListForm::AppTableOwnerDrawCell(const std::string& Column,
                                                 const std::string& CellValue, const RECT& Rect,
                                                 Canvas& C)
{
    int X = Rect.left + 2;
    const int Y = Rect.top + 2;
    if (SameText(Column, "Flags")) {
        C.FillRect(Rect);
        for (const TFlagImage& F : FlagImages(CellValue, X, flags_ImageList->Width()))
            flags_ImageList->Draw(C.Handle(), F.X + 1, Y + 1, F.Image);
    } else if (SameText(Column, "Location") && !CellValue.empty()) {
        C.FillRect(Rect);
        const int Icon = SystemImages().GetFileIconIndex(AnsiToWide(CellValue), si_small, false);
        if (SystemImages().Handle() && Icon >= 0)
            ::ImageList_Draw(SystemImages().Handle(), Icon, C.Handle(), X + 1, Y + 1,
                             ILD_TRANSPARENT);
        int IconWidth = 16, IconHeight = 16;
        if (SystemImages().Handle())
            ::ImageList_GetIconSize(SystemImages().Handle(), &IconWidth, &IconHeight);
        X += IconWidth + 2;
        const std::string Shown = MinimizeName(
            CellValue, [&C](const std::string& S) { return C.TextWidth(S); }, Rect.right - X);
        const RECT Clip = {X, Y, Rect.right, Rect.bottom};
        C.TextRect(Clip, X, Y, Shown);
    }
}

void TApplicationListForm::AddApplicationActionAccept()
{
    const std::string FileName = AddApplicationAction->Dialog.FileName;
    TIdentifyInfo Info;
    std::string Message;
    switch (CheckApplication("", FileName, Info, Message, true)) {
    case irUnsupported:
    case irBind:
    case irExternal:
        AddApplication(FileName, Info);
        break;
    default:
        ShowMessage(Message);
        break;
    }
}

void TApplicationListForm::RemoveApplicationActionExecute()
{
    const int Row = AppTable->Row();
    if (Row < 1)
        return;
    const bool Yes = MessageDlg("Are you sure?", MB_ICONQUESTION, MB_YESNOCANCEL) == mrYes;
    List.RemoveApplication(Row, Yes);
}
