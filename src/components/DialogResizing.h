// Dialog resizing: a form's controls described as a tree of groups that
// stack their members side by side, on top of each other or overlapped;
// three icon scalings that rescale the form's font, image lists and
// controls, measure the tree, size the form from it and centre it; and the
// re-wrap of word-wrapping labels on the form's first activation.
// Portable: the controls are seen through IDialogControl and IDialogForm
// (DialogResizingWin.h adapts the toolkit's).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum Ticonscaling { ics_small, ics_medium, ics_large };
enum TAssignedControlType { ac_Custom, ac_VSeparator, ac_DescriptionPanel, ac_DescriptionEdit };
enum TGroupDirection { gd_none, gd_horizontal, gd_vertical, gd_overlapped };
enum TSetSizeType {
    ss_none,
    ss_SetClientWidth,
    ss_SetClientHeight,
    ss_SetClientSize,
    ss_SetWidth,
    ss_SetHeight,
    ss_SetSize
};
enum TScalingType { sc_none, sc_ScaleWidthByRatio, sc_ScaleSizeByFactors };

// What a control is, for the measuring and scaling rules.
enum class TControlKind {
    Other, Panel, Label, StaticText, SpinEdit, DirectoryEdit, Edit, RadioButton, CheckBox,
    JvSpeedButton, ArrowButton, ImgBtn, SpeedButton, Button, BitBtn, ComboBox, Bevel,
    StringGrid, DatabaseGrid, StatusBar, ImageList, StaticImageList, Toolbar
};
enum TControlAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TSizeRec {
    int cx = 0;
    int cy = 0;
};
struct TMarginsRec {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// One component of a dialog form: a control, an image list or a toolbar.
// What does not apply to a kind keeps the neutral default.
class IDialogControl {
public:
    virtual ~IDialogControl() = default;
    virtual TControlKind Kind() const = 0;
    virtual std::string Name() const = 0;
    virtual std::string ClassName() const = 0;
    virtual bool Visible() const { return true; }
    virtual TControlAlign Align() const { return alNone; }
    virtual unsigned Anchors() const { return akLeft | akTop; }
    virtual int Left() const { return 0; }
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetLeft(int) {}
    virtual void SetWidth(int) {}
    virtual void SetHeight(int) {}
    virtual void SetClientWidth(int Value) { SetWidth(Value); }
    virtual void SetClientHeight(int Value) { SetHeight(Value); }
    // Panels, labels, edits, static texts and toolbars.
    virtual bool AutoSize() const { return false; }
    virtual void SetAutoSize(bool) {}
    virtual bool AlignWithMargins() const { return false; }
    virtual TMarginsRec Margins() const { return {}; }
    virtual std::string Caption() const { return {}; }
    // On the control's own canvas.
    virtual TSizeRec TextExtent(const std::string&) const { return {}; }
    virtual bool WordWrap() const { return false; }
    // Height of the caption word-wrapped at the control's width.
    virtual int WrappedTextHeight() const { return 0; }
    virtual int BorderWidth() const { return 0; }
    virtual bool LeftJustified() const { return false; }
    virtual TSizeRec GlyphSize() const { return {}; }
    virtual TButtonLayout Layout() const { return blGlyphLeft; }
    virtual int ArrowWidth() const { return 0; }
    virtual void SetArrowWidth(int) {}
    virtual void CopyFontToFillFont() {}
    // An image list is set and its images are shown.
    virtual bool HasImages() const { return false; }
    virtual TSizeRec ImagesSize() const { return {}; }
    virtual bool ParentFont() const { return true; }
    virtual int FontHeight() const { return 0; }
    virtual void SetFontHeight(int) {}
    // Character heights (text metrics) of the control's font and of the
    // screen's default font, the border height, and the look of edits.
    virtual int FontCharHeight() const { return 0; }
    virtual int DefaultFontCharHeight() const { return 0; }
    virtual int BorderHeight() const { return 1; }
    virtual bool Ctl3D() const { return true; }
    virtual bool NewStyleControls() const { return true; }
    // Grids.
    virtual void SetDefaultRowHeight(int) {}
    virtual int ColCount() const { return 0; }
    virtual int ColWidth(int) const { return 0; }
    virtual void SetColWidth(int, int) {}
    virtual void PlaceCellEditors() {}
    // Image lists: the images stretched to Size x Size.
    virtual void StretchImages(int) {}
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    // Toolbars.
    virtual bool AutoResize() const { return false; }
    virtual void SetAutoResize(bool) {}
};

class IDialogForm {
public:
    virtual ~IDialogForm() = default;
    // Every component the form owns, at any depth.
    virtual std::vector<IDialogControl*> Components() const = 0;
    virtual TSizeRec TextExtent(const std::string& Text) const = 0;
    virtual void SetFontHeight(int Height) = 0;
    virtual void SetClientWidth(int Value) = 0;
    virtual void SetClientHeight(int Value) = 0;
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetBounds(int Left, int Top, int Width, int Height) = 0;
    virtual TSizeRec ScreenSize() const = 0;
};

class TDialogResizingCollection;
class TCustomDialogResizing;

using TAfterGetGroupSizeEvent = std::function<void(TDialogResizingCollection& Group, TSizeRec& Size)>;
using TCanScaleEvent = std::function<void(IDialogControl& Component, IDialogForm& Form,
                                          Ticonscaling IconScaling, bool& AllowAutoScaling)>;
using TBeforeScalingEvent = std::function<void(Ticonscaling Old, Ticonscaling New)>;
using TAfterScalingEvent = std::function<void(Ticonscaling IconScaling)>;

extern const int IconSizes[3];
extern const int FontHeights[3];
extern const long double ScaleFactors[3];
extern const int ThumbLengths[3];

// Rounds to the nearest integer, halves to the even one.
int RoundHalfEven(long double Value);
// Height of a single-line edit in the control's font; other kinds their
// own height.
int EditHeightFor(const IDialogControl& Control);

// One member of a group: a control or a nested group.
class TDialogResizingItem {
public:
    explicit TDialogResizingItem(TDialogResizingCollection* Collection);
    ~TDialogResizingItem();

    TDialogResizingCollection* Collection() const { return FCollection; }
    TDialogResizingCollection& Group() { return *FGroup; }
    const TDialogResizingCollection& Group() const { return *FGroup; }

    IDialogControl* AssignedControl() const { return FAssignedControl; }
    void SetAssignedControl(IDialogControl* Value);
    IDialogControl* SetSizeControl() const { return FSetSizeControl; }
    void SetSetSizeControl(IDialogControl* Value);
    TAssignedControlType AssignedControlType() const { return FAssignedControlType; }
    void SetAssignedControlType(TAssignedControlType Value);
    TGroupDirection GroupDirection() const { return FGroupDirection; }
    void SetGroupDirection(TGroupDirection Value);
    bool ForceDirection() const { return FForceDirection; }
    void SetForceDirection(bool Value);
    bool UseTextWidth() const { return FUseTextWidth; }
    void SetUseTextWidth(bool Value);
    bool UseTextHeight() const { return FUseTextHeight; }
    void SetUseTextHeight(bool Value);
    bool IgnoreWidth() const { return FIgnoreWidth; }
    void SetIgnoreWidth(bool Value);
    bool IgnoreHeight() const { return FIgnoreHeight; }
    void SetIgnoreHeight(bool Value);
    TSetSizeType SetSizeType() const { return FSetSizeType; }
    void SetSetSizeType(TSetSizeType Value);
    TScalingType ScalingType() const { return FScalingType; }
    void SetScalingType(TScalingType Value);
    long double ScaleXFactor() const { return FScaleXFactor; }
    void SetScaleXFactor(long double Value);
    long double ScaleYFactor() const { return FScaleYFactor; }
    void SetScaleYFactor(long double Value);

    TAfterGetGroupSizeEvent OnAfterGetGroupSize;
    int DesignWidth = 0;
    int DesignHeight = 0;
    bool ResetAutosize = false;
    bool Enabled = true;

    std::string GetDisplayName() const;
    // The item's preferred size; also applies SetSizeType to SetSizeControl.
    void GetItemSize(IDialogForm* Form, TSizeRec& Size);
    bool GetIconScaling(Ticonscaling& Scaling) const;
    void UpdateControlType();
    TAssignedControlType DetectControlType() const;

private:
    friend class TDialogResizingCollection;
    void Changed();
    // Stores a differing value, re-derives the type, updates the group.
    template <typename T> void SetPlain(T& Field, T Value);
    // A non-zero factor also switches to scaling by factors.
    void SetFactor(long double& Field, long double Value);
    bool PresetKindTest(TAssignedControlType Type) const;
    bool PresetSettingsMatch(TAssignedControlType Type) const;
    void ApplySetSize(int Width, int Height);
    // Clears a removed control from this item and its nested members.
    void RemoveControl(const IDialogControl* Control);

    TDialogResizingCollection* FCollection;
    std::unique_ptr<TDialogResizingCollection> FGroup;
    IDialogControl* FAssignedControl = nullptr;
    IDialogControl* FSetSizeControl = nullptr;
    TAssignedControlType FAssignedControlType = ac_Custom;
    TGroupDirection FGroupDirection = gd_none;
    bool FForceDirection = false;
    bool FUseTextWidth = false, FUseTextHeight = false;
    bool FIgnoreWidth = false, FIgnoreHeight = false;
    TSetSizeType FSetSizeType = ss_none;
    TScalingType FScalingType = sc_none;
    long double FScaleXFactor = 0, FScaleYFactor = 0;
};

// A group; owned by an item (nested) or by the component (the root).
class TDialogResizingCollection {
public:
    explicit TDialogResizingCollection(TDialogResizingItem* OwnerItem);
    explicit TDialogResizingCollection(TCustomDialogResizing* OwnerComponent);

    TDialogResizingItem* Add();
    void Delete(int Index);
    int Count() const { return static_cast<int>(FItems.size()); }
    TDialogResizingItem* Items(int Index) const { return FItems[Index].get(); }
    TDialogResizingItem* OwnerItem() const { return FOwnerItem; }
    TCustomDialogResizing* OwnerComponent() const { return FOwnerComponent; }

    // Derives the direction from the members' alignment.
    void Update(TDialogResizingItem* Item);
    void GetGroupSize(IDialogForm* Form, TGroupDirection Direction, TSizeRec& Size);
    void RemoveControl(const IDialogControl* Control);

private:
    TDialogResizingItem* FOwnerItem = nullptr;
    TCustomDialogResizing* FOwnerComponent = nullptr;
    std::vector<std::unique_ptr<TDialogResizingItem>> FItems;
};

class TCustomDialogResizing {
public:
    TCustomDialogResizing();
    virtual ~TCustomDialogResizing();
    TCustomDialogResizing(const TCustomDialogResizing&) = delete;
    TCustomDialogResizing& operator=(const TCustomDialogResizing&) = delete;

    TDialogResizingCollection& Group() { return *FGroup; }
    TGroupDirection GroupDirection() const { return FGroupDirection; }
    bool ForceDirection() const { return FForceDirection; }
    Ticonscaling IconScaling() const { return FIconScaling; }
    // A component that goes away is cleared from every item.
    virtual void Notification(const IDialogControl* Removed);

    TCanScaleEvent OnCanScale;
    TBeforeScalingEvent OnBeforeScaling;
    TAfterScalingEvent OnAfterScaling;

protected:
    friend class TDialogResizingCollection;
    void ChangeIconScaling(Ticonscaling New);

    std::unique_ptr<TDialogResizingCollection> FGroup;
    TGroupDirection FGroupDirection = gd_none;
    bool FForceDirection = false;
    Ticonscaling FIconScaling = ics_small;
};

class TDialogResizing : public TCustomDialogResizing {
public:
    explicit TDialogResizing(IDialogForm* DestinationForm);
    ~TDialogResizing() override;

    IDialogForm* DestinationForm = nullptr;
    void SetGroupDirection(TGroupDirection Value) { FGroupDirection = Value; }
    void SetForceDirection(bool Value) { FForceDirection = Value; }
    void SetIconScaling(Ticonscaling New);
    // The owning form calls this on every activation.
    void ActivateScaling();
    void GetRootSize(TSizeRec& Size);
    // The application's idle moment: a pending toolbar re-layout.
    void AppEventsIdle(bool& Done);
    void RewrapLabels();
    void RelayoutToolbars();
    void ScaleComponents(IDialogForm& Form, Ticonscaling Old, Ticonscaling New);
    void ScaleImageList(IDialogControl& List, Ticonscaling Old, Ticonscaling New);
    void ScaleControl(IDialogControl& Control, IDialogForm& Form, Ticonscaling Old,
                      Ticonscaling New);
    bool Activated() const { return FActivated; }

private:
    bool FRewrapPending = false;
    bool FActivated = false;
    Ticonscaling FPendingIconScaling = ics_small;
    bool FToolbarRelayoutPending = false;
};

// Every TDialogResizing in existence.
const std::vector<TDialogResizing*>& DialogResizingInstances();
