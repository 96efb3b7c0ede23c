// Dialog resizing on a toolkit form: the form and its controls seen by the
// resizing model, and the application's idle moment for the toolbar
// re-layout. Labels, edits, spin edits, radio buttons, check boxes,
// buttons, panels, combo boxes, speed buttons, status bars, grids, toolbars
// and image lists are recognised; any other control keeps its own size.
// Controls take their form's font.
//
// A form attaches one in its constructor, after its controls, with
// AttachDialogResizer, and calls DialogResizer->ActivateScaling() from its
// OnActivate handler.
#pragma once

#include "components/DialogResizing.h"
#include "toolkit/Component.h"

#include <windows.h>

#include <initializer_list>
#include <map>
#include <memory>

class Control;
class Form;

class TDialogResizingWin : public Component, private IDialogForm {
public:
    explicit TDialogResizingWin(Form* Owner);
    ~TDialogResizingWin() override;

    TDialogResizing& Model() { return FModel; }
    // A new member of Group (the root group when nullptr) standing for C.
    TDialogResizingItem* AddItem(Control* C, TDialogResizingCollection* Group = nullptr);
    // The model's view of a control or image list of the form.
    IDialogControl* Adapter(Component* C);
    void ActivateScaling() { FModel.ActivateScaling(); }

private:
    std::vector<IDialogControl*> Components() const override;
    TSizeRec TextExtent(const std::string& Text) const override;
    void SetFontHeight(int Height) override;
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;
    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void SetBounds(int Left, int Top, int Width, int Height) override;
    TSizeRec ScreenSize() const override;
    static void CollectControls(const Component* Owner, std::vector<Control*>& List);
    // Controls and image lists.
    static void CollectScalable(const Component* Owner, std::vector<Component*>& List);

    Form* FForm;
    TDialogResizing FModel;
    int FIdleId = 0;
    HFONT FFont = nullptr;
    std::map<Component*, std::unique_ptr<IDialogControl>> FAdapters;
};

// One member of a form's root group.
struct TResizerMember {
    Control* Member;
    bool IgnoreWidth = false;
    long double ScaleFactor = 0;  // non-zero: scaled by factors, both ways
};

// A resizer named "DialogResizer" for F whose root group holds Members.
TDialogResizingWin* AttachDialogResizer(Form* F, std::initializer_list<TResizerMember> Members);
