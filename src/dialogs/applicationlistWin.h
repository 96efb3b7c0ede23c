// The application list window: the user's list in a grid with a toolbar to
// add an executable by hand, remove a record or search the disk. The rest
// of the program reads and changes the list through the operations here.
#pragma once

#include "components/DatabaseGridWin.h"
#include "dialogs/applicationlist.h"
#include "shell/OvandrelWin.h"
#include "toolkit/ActionList.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/Panel.h"
#include "toolkit/StdControls.h"
#include "toolkit/ToolBar.h"

#include <functional>
#include <string>
#include <vector>

class TApplicationListForm : public Form {
public:
    explicit TApplicationListForm(Component* Owner);
    ~TApplicationListForm() override;

    // The records, kept from the start; AppTable shows them.
    TDatabaseGrid AppGrid;
    // The shell's icons, linked at their first use (the main window's
    // application menu wants them as well).
    TKivSystemImageList& SystemImages();
    bool SystemImagesLinked() const { return FSystemImages != nullptr; }
    // Made at the first show.
    ToolBar* ToolBar2 = nullptr;
    TDatabaseGridWin* AppTable = nullptr;
    Panel* ToolBar1 = nullptr;
    Button* BitBtn1 = nullptr;
    Button* BitBtn2 = nullptr;
    ImageList* ImageList1 = nullptr;
    ActionList* ActionList1 = nullptr;
    ImageList* flags_ImageList = nullptr;
    FileOpenAction* AddApplicationAction = nullptr;
    Action* RemoveApplicationAction = nullptr;
    Action* SearchForFilesAction = nullptr;
    // The list operations over the records.
    TApplicationList List;

    bool ApplicationListModified() const { return List.ApplicationListModified(); }
    void SetListModified(bool Value) { List.SetListModified(Value); }
    void WriteApplicationList(StringList& Lines) const { List.WriteApplicationList(Lines); }
    TListReadReport ReadApplicationList(const StringList& Lines) { return List.ReadApplicationList(Lines); }
    void BindableApplications(TAppKinds Kinds, StringList& Names, bool WithVersion) const
    {
        List.BindableApplications(Kinds, Names, WithVersion);
    }
    // The combo's items become LeadingItem and the bindable names; a given
    // Current is selected (or nothing) and OnChange told.
    void FillApplicationCombo(TAppKinds Kinds, ComboBox& Combo, const std::string& Current,
                              const std::string& LeadingItem);
    int RowOfApplication(const std::string& Name) const { return List.RowOfApplication(Name); }
    bool ApplicationLocation(const std::string& Name, std::string& Path, bool Translate) const
    {
        return List.ApplicationLocation(Name, Path, Translate);
    }
    int ApplicationIconIndex(const std::string& Name);
    int ShowApplicationList() { return ShowModal(); }
    bool AddApplication(const std::string& Path, const TIdentifyInfo& Info)
    {
        return List.AddApplication(Path, Info);
    }
    bool EnterFoundApplications(StringList& Found, std::vector<TIdentifyInfo>& Refs)
    {
        return List.EnterFoundApplications(Found, Refs);
    }
    void AddOrUpdateFoundApplication(const std::string& Path, const TIdentifyInfo& Info,
                                     int& FirstRow)
    {
        List.AddOrUpdateFoundApplication(Path, Info, FirstRow);
    }
    void ClearNewChangedFlags() { List.ClearNewChangedFlags(); }
    void AddStillKnownListedApplications(StringList& Found, std::vector<TIdentifyInfo>& Refs) const
    {
        List.AddStillKnownListedApplications(Found, Refs);
    }

    void AppTableOwnerDrawCell(const std::string& Column, const std::string& CellValue,
                               const RECT& Rect, Canvas& C);
    void AddApplicationActionAccept();
    void RemoveApplicationActionExecute();

protected:
    void CreateWindows() override;

private:
    TKivSystemImageList* FSystemImages = nullptr;
    std::string FBaseCaption;
};

extern TApplicationListForm* ApplicationListForm;
