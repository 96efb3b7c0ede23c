#include "dialogs/SearchForFilesWin.h"

#include "dialogs/StateTree.h"
#include "dialogs/StateTreeWin.h"
#include "dialogs/applicationlist.h"
#include "dialogs/progressesWin.h"
#include "hosting/VelmoraWin.h"
#include "shell/Shell_Win32.h"
#include "toolkit/Application.h"

#include <windows.h>

void TWin32SearchFileSystem::ListFolder(const std::string& Folder,
                                        std::vector<TSearchEntry>& Entries)
{
    const std::string Pattern = Folder + SearchListingPattern;
    WIN32_FIND_DATAA Data;
    // The basic form skips the short names nobody here reads.
    HANDLE Find = ::FindFirstFileExA(Pattern.c_str(), FindExInfoBasic, &Data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (Find == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_INVALID_PARAMETER)
        Find = ::FindFirstFileA(Pattern.c_str(), &Data);
    if (Find == INVALID_HANDLE_VALUE)
        return;
    do {
        const char* Name = Data.cFileName;
        if (Name[0] == '.' && (Name[1] == 0 || (Name[1] == '.' && Name[2] == 0)))
            continue;
        TSearchEntry E;
        E.Name = Name;
        E.Directory = (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        E.ReparsePoint = IsReparsePoint(Data.dwFileAttributes);
        Entries.push_back(std::move(E));
    } while (::FindNextFileA(Find, &Data));
    ::FindClose(Find);
}

// ------------------------------------------------------ location chooser

void TSearchProgressWindow::StartProgress(int Max, const std::string& Caption, bool Stoppable)
{
    ::StartProgress(Max, Caption, Stoppable);
}
void TSearchProgressWindow::SetProgressText(const std::string& Text) { ::SetProgressText(Text); }
void TSearchProgressWindow::SetProgress(int Position) { ::SetProgress(Position); }
void TSearchProgressWindow::PumpIfStoppable() { ::PumpIfStoppable(); }
bool TSearchProgressWindow::ProgressStopped() { return ::ProgressStopped(); }
void TSearchProgressWindow::FinishProgress() { ::FinishProgress(); }

TSearchForFilesForm* SearchForFilesForm = nullptr;

namespace {

FormArgs ChooserArgs()
{
    FormArgs A;
    A.Caption = "Select drives or folders...";
    A.ClientWidth = 438;
    A.ClientHeight = 378;
    A.FontName = "Arial";
    A.FontHeight = -13;
    A.DialogKeys = true;
    A.Deferred = true;
    return A;
}

// The application list with its duplicates resolver, and message boxes.
class ListTarget : public ISearchTarget {
public:
    explicit ListTarget(TApplicationList& List) : FList(List) {}
    void AddStillKnownListedApplications(StringList& Found,
                                         std::vector<TIdentifyInfo>& Refs) override
    {
        FList.AddStillKnownListedApplications(Found, Refs);
    }
    void TakeFoundApplications(StringList& Found, std::vector<TIdentifyInfo>& Refs) override
    {
        FList.EnterFoundApplications(Found, Refs);
    }
    void ShowMessage(const std::string& Text) override { ::ShowMessage(Text); }

private:
    TApplicationList& FList;
};

}  // namespace

TSearchForFilesForm::TSearchForFilesForm(Component* Owner) : Form(Owner, ChooserArgs())
{
    SearchForFilesForm = this;
    OnActivate = [this] { FormActivate(); };
}

void TSearchForFilesForm::CreateWindows()
{
    const TStateTreeDialog D = BuildStateTreeDialog(
        *this,
        "Please select all start locations where I have to scan for known ZX-Spectrum "
        "emulators and utilities...",
        32, "Start");
    DescriptionLabel = D.Text;
    TBToolbar = D.Bar;
    startbutton = D.Ok;
    cancelbutton = D.Cancel;
    SystemImageList = D.SystemImages;
    stateimages = D.StateImages;
    TV = D.Tree;
    TV->OnClick = [this](TreeView&) { TVClick(); };
    TV->OnKeyDown = [this](TreeView&, WORD Key) { TVKeyDown(Key); };
    DialogResizer = AttachDialogResizer(this, {{DescriptionLabel, true}, {TV, false, 1.0L},
                                               {TBToolbar, true}});
}

bool TSearchForFilesForm::PrepareStep()
{
    if (Form::PrepareStep())
        return true;
    if (FComputerIcon == IconToLookUp)
        FComputerIcon = SystemImageList->GetSpecialFolderIconIndex(SF_DRIVES);
    else if (FClosedIcon == IconToLookUp)
        FClosedIcon = SystemImageList->GetFolderIconIndex(false);
    else if (FOpenIcon == IconToLookUp)
        FOpenIcon = SystemImageList->GetFolderIconIndex(true);
    else
        return false;
    return true;
}

TSearchForFilesForm::~TSearchForFilesForm()
{
    if (SearchForFilesForm == this)
        SearchForFilesForm = nullptr;
}

bool TSearchForFilesForm::SelectSearchRoots(StringList& Roots)
{
    Roots.clear();
    while (PrepareStep()) {
    }
    TV->BeginUpdate();
    TV->Clear();
    const int Computer = FComputerIcon, Closed = FClosedIcon, Open = FOpenIcon;
    const HTREEITEM Drives = TV->AddChild(nullptr, "Drives", Computer, Computer, nsUnticked, 0);
    for (char Letter : GetDriveLetters())
        TV->AddChild(Drives, std::string(1, Letter) + ":\\", Closed, Open, nsUnticked, 0);
    const HTREEITEM Locations =
        TV->AddChild(nullptr, "Program locations", Closed, Open, nsUnticked, 0);
    std::wstring ProgramFiles;
    GetSpecialFolderPath(SF_PROGRAM_FILES, ProgramFiles);
    // An empty root would stand for the current drive's root.
    if (!ProgramFiles.empty())
        TV->AddChild(Locations, WideToAnsi(ProgramFiles), Closed, Open, nsTicked, 0);
    TV->FullExpand();
    TV->EndUpdate();
    if (ShowModal() != mrOk)
        return false;
    AddCheckedChildren(Drives, Roots);
    AddCheckedChildren(Locations, Roots);
    return true;
}

void TSearchForFilesForm::ToggleNodeState(HTREEITEM Node)
{
    ToggleTreeNode(*TV, Node);
}

void TSearchForFilesForm::AddCheckedChildren(HTREEITEM Node, StringList& List) const
{
    for (HTREEITEM Child : TV->Children(Node))
        if (TV->ItemState(Child) == nsTicked)
            List.push_back(TV->ItemText(Child));
}

void TSearchForFilesForm::TVClick()
{
    StateImageClick(*TV);
}

void TSearchForFilesForm::TVKeyDown(WORD Key)
{
    if (Key == VK_SPACE)
        ToggleNodeState(TV->Selected());
}

namespace {

// The hourglass over a control for one scope.
class TBusyCursor {
public:
    explicit TBusyCursor(Control* Over) : FOver(Over), FSaved(Over ? Over->Cursor : nullptr)
    {
        if (FOver)
            FOver->Cursor = ::LoadCursorA(nullptr, IDC_WAIT);
    }
    ~TBusyCursor()
    {
        if (FOver)
            FOver->Cursor = FSaved;
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    Control* FOver;
    HCURSOR FSaved;
};

}  // namespace

void SearchForFilesActionExecute(TApplicationList& List, Control* Table)
{
    StringList Roots;
    if (!SearchForFilesForm || !SearchForFilesForm->SelectSearchRoots(Roots) || Roots.empty())
        return;
    TBusyCursor Busy(Table);
    // Empty removable drives must not ask the user.
    TErrorModeGuard ErrorMode;
    TWin32SearchFileSystem Disk;
    TSearchProgressWindow Window;
    TCoalescingProgress Progress(Window, [] { return static_cast<unsigned>(::GetTickCount()); },
                                 SearchRedrawInterval, SearchPumpInterval);
    ListTarget Target(List);
    SearchForFiles(Roots, Disk, Progress, Target);
}
