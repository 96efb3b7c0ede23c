// TKnownAppsForm: the known-applications window. Shows the database of
// known applications and the allowed and forbidden window rules in three
// tables, by category and read-only (viewing) or all in one editable table
// (editing); explains the cell under the mouse in its status line, opens
// web links, draws the letter columns as icons, and copies edited tables
// back into the database when closed with OK.
#pragma once

#include "components/DatabaseGridWin.h"
#include "toolkit/ImageList.h"
#include "dialogs/knownapplist.h"
#include "shell/OvandrelWin.h"
#include "toolkit/ActionList.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Form.h"
#include "toolkit/PageList.h"
#include "toolkit/StatusBar.h"
#include "toolkit/StdControls.h"
#include "toolkit/TabSet.h"
#include "toolkit/ToolBar.h"

#include <functional>
#include <string>

class TKnownAppsForm : public Form {
public:
    explicit TKnownAppsForm(Component* Owner);
    ~TKnownAppsForm() override;

    // Made at the first show.
    ToolBar* EditToolBar = nullptr;
    PageList* PageList1 = nullptr;
    Panel* ApplicationPage = nullptr;
    Panel* AllowedWindowsPage = nullptr;
    Panel* ForbiddenWindowsPage = nullptr;
    Label* VersionLabel = nullptr;
    TDatabaseGridWin* AppTable = nullptr;
    TDatabaseGridWin* AllowedTable = nullptr;
    TDatabaseGridWin* ForbiddenTable = nullptr;
    StatusBar* StatusBar1 = nullptr;
    TabSet* CategoriesTabSet = nullptr;
    Panel* ToolBar1 = nullptr;
    Button* okbutton = nullptr;
    Button* cancelbutton = nullptr;
    Button* dbbutton = nullptr;
    ImageList* ImageList2 = nullptr;
    ImageList* flags_ImageList = nullptr;
    // The shell's list: made by SystemImages, as the shell takes long over
    // it and the window needs it only for a link.
    TKivSystemImageList* systemimagelist = nullptr;
    ActionList* ActionList1 = nullptr;
    Action* AddLineAction = nullptr;
    Action* RemoveLineAction = nullptr;
    FileSaveAsAction* ExportFileAction = nullptr;
    Action* RestoreAction = nullptr;

    // Shows the window modally; with editing, OK after a change copies the
    // tables back into the database.
    void ShowKnownApps(bool Editing, int HelpContext);

    // The user's applications as "name|version" lines (for the Found column);
    // the application list window's unless replaced.
    std::function<void(StringList& Lines)> ListedApplications;
    // Asks the restore question; answers a modal result. MessageDlg with
    // Yes, No and Cancel unless replaced.
    std::function<int(const std::string& Text)> AskUser;
    // Opens a web address; ShellExecuteA unless replaced.
    std::function<void(const std::string& Url)> OpenUrl;

    bool IsEditing() const { return FEditing; }
    TDatabaseGridWin* CurrentTable() const { return FCurrentTable; }
    TTableFlags ModifiedFlags() const { return FModified; }

    // --- Handlers ---
    void FormCreate();
    void ApplicationEvents1Idle();
    void CategoriesTabSetChange(int NewTab, bool& AllowChange);
    void dbbuttonClick();
    void okbuttonClick();
    void AddLineActionExecute();
    void RemoveLineActionExecute();
    void RestoreActionExecute();
    void ExportFileActionAccept(const std::string& FileName);

    // --- Hit tests (client coordinates of the table) ---
    bool CellAt(TDatabaseGridWin& Table, int X, int Y, int& ACol, int& ARow, std::string& CellText,
                std::string& ColumnName);
    bool IsOverUrl(TDatabaseGridWin& Table, int X, int Y, std::string& Url);
    bool IsOverLetter(TDatabaseGridWin& Table, int X, int Y, char& Letter, const std::string& ColumnName);
    void TableMouseMove(int X, int Y);
    void TableMouseUp(int X, int Y);
    void TableMouseLeave();
    void AppTableOwnerDrawCell(const std::string& Column, const std::string& CellValue, const RECT& Rect,
                               Canvas& C);

    // After the windows, the shell's image list.
    bool PrepareStep() override;

protected:
    void CreateWindows() override;

private:
    // Flag is the table's modified flag.
    TDatabaseGridWin* MakeTable(Panel* Page, bool TTableFlags::*Flag);
    TTableId IdOf(const TDatabaseGridWin* Table) const;
    TDatabaseGridWin* TableOf(TTableId Id) const;
    void SelectTab(TTableId Id);
    void FillFound();
    bool Commit();
    int TextWidth(TDatabaseGridWin& Table, const std::string& Text, int& Height) const;
    std::string DefaultStatus() const;
    void SetStatus(const std::string& Text);
    // The web link under the mouse in the current table, if any.
    bool UrlUnder(int X, int Y, std::string& Url);
    TKivSystemImageList& SystemImages();

    std::string FBaseCaption;
    TTableFlags FModified;
    bool FEditing = false;
    bool FFilling = false;
    bool FCommitted = false;
    // The user's applications, read once per showing: the list cannot
    // change while the window is modal, and each tab's fill asks for them.
    StringList FListed;
    TDatabaseGridWin* FCurrentTable = nullptr;
    HFONT FBoldFont = nullptr;
    HFONT FLinkFont = nullptr;
    int FIdleId = 0;
};

extern TKnownAppsForm* KnownAppsForm;
