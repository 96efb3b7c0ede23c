#include "components/DialogResizing.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A control with settable properties; text is 7 x 13 pixels a character.
struct FakeControl : IDialogControl {
    FakeControl(TControlKind K, std::string N, std::string Cls) : K(K), N(std::move(N)), Cls(std::move(Cls)) {}
    TControlKind Kind() const override { return K; }
    std::string Name() const override { return N; }
    std::string ClassName() const override { return Cls; }
    bool Visible() const override { return Vis; }
    TControlAlign Align() const override { return Al; }
    unsigned Anchors() const override { return Anch; }
    int Left() const override { return L; }
    int Width() const override { return W; }
    int Height() const override { return H; }
    void SetLeft(int V) override { L = V; }
    void SetWidth(int V) override { W = V; }
    void SetHeight(int V) override { H = V; }
    bool AutoSize() const override { return Auto; }
    void SetAutoSize(bool V) override
    {
        Auto = V;
        AutoLog += V ? "1" : "0";
    }
    std::string Caption() const override { return Cap; }
    TSizeRec TextExtent(const std::string& T) const override { return {7 * int(T.size()), 13}; }
    bool WordWrap() const override { return Wrap; }
    bool LeftJustified() const override { return true; }
    bool ParentFont() const override { return false; }
    int FontHeight() const override { return FontH; }
    void SetFontHeight(int V) override { FontH = V; }
    void StretchImages(int Size) override
    {
        Stretches.push_back(Size);
        W = H = Size;
    }
    void BeginUpdate() override { ++Brackets; }

    TControlKind K;
    std::string N, Cls, Cap, AutoLog;
    bool Vis = true, Auto = true, Wrap = false;
    TControlAlign Al = alNone;
    unsigned Anch = akLeft | akTop;
    int L = 0, W = 50, H = 20, FontH = -13, Brackets = 0;
    std::vector<int> Stretches;
};

struct FakeForm : IDialogForm {
    std::vector<IDialogControl*> Components() const override { return Comps; }
    TSizeRec TextExtent(const std::string& T) const override { return {7 * int(T.size()), 13}; }
    void SetFontHeight(int V) override { FontH = V; }
    void SetClientWidth(int V) override { W = V + 8; }
    void SetClientHeight(int V) override { H = V + 30; }
    int Left() const override { return L; }
    int Top() const override { return T; }
    int Width() const override { return W; }
    int Height() const override { return H; }
    void SetBounds(int NL, int NT, int NW, int NH) override { L = NL, T = NT, W = NW, H = NH; }
    TSizeRec ScreenSize() const override { return {1024, 768}; }
    std::vector<IDialogControl*> Comps;
    int L = 5, T = 5, W = 300, H = 200, FontH = -13;
};

std::unique_ptr<FakeControl> Make(TControlKind K, TControlAlign A = alNone, const char* N = "C")
{
    auto C = std::make_unique<FakeControl>(K, N, "T");
    C->Al = A;
    return C;
}

TEST(DialogResizing, GroupDirectionFollowsTheMembersAlignment)
{
    struct Case {
        std::vector<TControlAlign> Aligns;
        TGroupDirection Start;
        bool Force, HideFirst;
        TGroupDirection Want;
    } Cases[] = {
        {{alLeft, alTop}, gd_vertical, false, false, gd_horizontal},
        {{alBottom, alNone}, gd_none, false, false, gd_vertical},
        {{alClient, alNone}, gd_horizontal, false, false, gd_horizontal},
        {{alLeft}, gd_overlapped, false, false, gd_overlapped},
        {{alLeft}, gd_vertical, true, false, gd_vertical},
        {{alLeft, alTop}, gd_none, false, true, gd_vertical},  // a hidden member takes no part
    };
    for (const Case& C : Cases) {
        TDialogResizing R(nullptr);
        TDialogResizingItem* Outer = R.Group().Add();
        Outer->SetGroupDirection(C.Start);
        Outer->SetForceDirection(C.Force);
        std::vector<std::unique_ptr<FakeControl>> Controls;
        for (TControlAlign A : C.Aligns) {
            Controls.push_back(Make(TControlKind::Label, A));
            Controls.back()->Vis = !(C.HideFirst && Controls.size() == 1);
            Outer->Group().Add()->SetAssignedControl(Controls.back().get());
        }
        EXPECT_EQ(C.Want, Outer->GroupDirection()) << C.Aligns.size() << C.Start;
        while (Outer->Group().Count() > 0)
            Outer->Group().Delete(0);
        const bool Fixed = C.Force || C.Start == gd_overlapped;
        EXPECT_EQ(Fixed ? C.Want : gd_none, Outer->GroupDirection());  // emptied
    }
}

TEST(DialogResizing, PresetsAndTheirDerivedType)
{
    struct Case {
        TControlKind Kind;
        TControlAlign Align;
        unsigned Anchors;
        TAssignedControlType Set, Want;
    } Cases[] = {
        {TControlKind::Edit, alNone, akTop | akRight, ac_DescriptionEdit, ac_DescriptionEdit},
        {TControlKind::ComboBox, alNone, akTop | akRight, ac_DescriptionEdit, ac_DescriptionEdit},
        {TControlKind::Edit, alNone, akTop | akLeft, ac_DescriptionEdit, ac_Custom},
        {TControlKind::Bevel, alTop, akLeft | akTop, ac_VSeparator, ac_VSeparator},
        {TControlKind::Bevel, alLeft, akLeft | akTop, ac_VSeparator, ac_Custom},
        {TControlKind::Panel, alBottom, akLeft | akTop, ac_DescriptionPanel, ac_DescriptionPanel},
    };
    for (const Case& C : Cases) {
        TDialogResizing R(nullptr);
        auto Control = Make(C.Kind, C.Align);
        Control->Anch = C.Anchors;
        TDialogResizingItem* I = R.Group().Add();
        I->SetAssignedControl(Control.get());
        I->SetAssignedControlType(C.Set);
        EXPECT_EQ(C.Want, I->AssignedControlType()) << int(C.Kind);
        if (C.Want == ac_DescriptionEdit) {
            EXPECT_EQ(Control.get(), I->SetSizeControl());
            EXPECT_EQ(ss_SetWidth, I->SetSizeType());
            EXPECT_EQ(sc_ScaleWidthByRatio, I->ScalingType());
        }
        EXPECT_EQ(C.Want == ac_VSeparator, I->IgnoreWidth());
        EXPECT_EQ(C.Want == ac_DescriptionPanel, I->UseTextWidth());
        I->SetIgnoreHeight(true);
        EXPECT_EQ(ac_Custom, I->AssignedControlType());
    }
}

TEST(DialogResizing, DisplayNames)
{
    struct Case {
        int Labels;
        std::string Want;
    } Cases[] = {
        {0, "Unassigned"},
        {3, "Horiz. Group[3]: L0:TLabel, L1:TLabel, L2:TLabel"},
        {9, "Horiz. Group[9]: L0:TLabel, L1:TLabel, L2:TLabel, L3:TLabel, L4:TLabel, L5:TLabel "
            "..."},
    };
    for (const Case& C : Cases) {
        TDialogResizing R(nullptr);
        TDialogResizingItem* Outer = R.Group().Add();
        std::vector<std::unique_ptr<FakeControl>> Controls;
        for (int I = 0; I < C.Labels; ++I) {
            Controls.push_back(std::make_unique<FakeControl>(TControlKind::Label,
                                                             "L" + std::to_string(I), "TLabel"));
            Controls.back()->Al = alLeft;
            Outer->Group().Add()->SetAssignedControl(Controls.back().get());
        }
        EXPECT_EQ(C.Want, Outer->GetDisplayName());
    }
}

TEST(DialogResizing, ItemAndGroupSizes)
{
    // One member of a root group; its control is 50 x 20 with a 5-letter caption.
    struct Case {
        const char* What;
        TGroupDirection Direction;
        std::function<void(TDialogResizingItem&, FakeControl&)> Setup;
        TSizeRec Group;
        int ControlWidth;
    } Cases[] = {
        {"plain", gd_vertical, [](auto&, auto&) {}, {50, 20}, 50},
        {"disabled", gd_vertical, [](auto& I, auto&) { I.Enabled = false; }, {0, 0}, 50},
        {"hidden", gd_vertical, [](auto&, auto& C) { C.Vis = false; }, {0, 0}, 50},
        {"hidden sets no size", gd_vertical,
         [](auto& I, auto& C) {
             C.Vis = false;
             I.SetUseTextWidth(true);
             I.SetSetSizeType(ss_SetWidth);
         },
         {0, 0}, 50},
        {"hidden by factors", gd_vertical,
         [](auto& I, auto& C) {
             C.Vis = false;
             I.SetScaleYFactor(1.5L);
         },
         {0, 30}, 50},
        {"text width", gd_vertical, [](auto& I, auto&) { I.SetUseTextWidth(true); }, {63, 20}, 50},
        {"ratio", gd_horizontal,
         [](auto& I, auto& C) {
             I.SetScalingType(sc_ScaleWidthByRatio);
             C.H = 30;  // design 50 x 20
         },
         {75, 30}, 50},
        {"factors", gd_vertical, [](auto& I, auto&) { I.SetScaleYFactor(1.5L); }, {50, 30}, 50},
        {"none sets size", gd_none,
         [](auto& I, auto& C) {
             I.SetUseTextWidth(true);
             I.SetSetSizeType(ss_SetWidth);
             C.Anch = akTop | akRight;
             C.L = 100;
         },
         {0, 0}, 63},
    };
    for (const Case& C : Cases) {
        FakeForm F;
        TDialogResizing R(&F);
        R.SetForceDirection(true);
        R.SetGroupDirection(C.Direction);
        auto Control = Make(TControlKind::Label);
        Control->Cap = "Hello";
        TDialogResizingItem* I = R.Group().Add();
        I->SetAssignedControl(Control.get());
        C.Setup(*I, *Control);
        TSizeRec S;
        R.GetRootSize(S);
        EXPECT_EQ(C.Group.cx, S.cx) << C.What;
        EXPECT_EQ(C.Group.cy, S.cy) << C.What;
        EXPECT_EQ(C.ControlWidth, Control->W) << C.What;
        if (C.ControlWidth != 50) {
            EXPECT_EQ(100 - 13, Control->L) << C.What;  // the right edge stays
        }
    }
}

TEST(DialogResizing, IconScalingRescalesListsFontAndCentresTheForm)
{
    struct Case {
        Ticonscaling From, To;
        int ListSize;
        std::vector<int> Stretches;
        int FormWidth;
    } Cases[] = {
        {ics_small, ics_large, 16, {32}, 300},
        {ics_medium, ics_small, 24, {16}, 300},
        {ics_small, ics_medium, 20, {}, 300},  // not a standard size: left alone
        {ics_small, ics_large, 16, {32}, 2000},  // wider than the screen
    };
    for (const Case& C : Cases) {
        FakeForm F;
        auto List = Make(TControlKind::StaticImageList);
        auto Box = Make(TControlKind::CheckBox);
        Box->Cap = "Box";
        F.Comps = {List.get(), Box.get()};
        TDialogResizing R(&F);
        R.SetGroupDirection(gd_vertical);
        R.Group().Add()->SetAssignedControl(Box.get());
        R.SetIconScaling(C.From);
        R.ActivateScaling();
        List->W = List->H = C.ListSize;
        Box->FontH = FontHeights[C.From];
        R.Group().Items(0)->SetIgnoreWidth(C.FormWidth > 1024);  // keeps the form's width
        F.W = C.FormWidth;
        R.SetIconScaling(C.To);
        EXPECT_EQ(C.Stretches, List->Stretches) << C.ListSize;
        EXPECT_EQ(C.Stretches.empty() ? 0 : 1, List->Brackets);
        EXPECT_EQ(FontHeights[C.To], F.FontH);
        EXPECT_EQ(RoundHalfEven(FontHeights[C.From] * ScaleFactors[C.To] / ScaleFactors[C.From]),
                  Box->FontH);
        EXPECT_EQ(IconSizes[C.To] + 8, Box->H);
        EXPECT_EQ(C.FormWidth > 1024 ? 0 : (1024 - F.W) / 2, F.L) << C.FormWidth;
        EXPECT_EQ(C.FormWidth > 1024 ? 2000 : IconSizes[C.To] + 21 + 8 + 8, F.W);
        EXPECT_EQ(C.To, R.IconScaling());
    }
}

TEST(DialogResizing, ScalingWaitsForActivationAndLabelsRewrapOnce)
{
    FakeForm F;
    auto Wrapped = Make(TControlKind::Label);
    Wrapped->Wrap = true;
    auto Plain = Make(TControlKind::Label);
    F.Comps = {Wrapped.get(), Plain.get()};
    TDialogResizing R(&F);
    R.SetIconScaling(ics_large);
    EXPECT_EQ(ics_small, R.IconScaling());  // not before the first activation
    EXPECT_EQ(-13, F.FontH);
    R.SetIconScaling(ics_small);
    struct Step {
        std::function<void()> Before;
        std::string AutoLog;
    } Steps[] = {
        {[] {}, "01"},                                // first activation re-wraps
        {[] {}, "01"},                                // later ones do not
        {[&] { R.SetIconScaling(ics_small); }, "0101"},  // the same value arms a re-wrap
        {[] {}, "0101"},
    };
    for (const Step& S : Steps) {
        S.Before();
        R.ActivateScaling();
        EXPECT_EQ(S.AutoLog, Wrapped->AutoLog);
    }
    EXPECT_EQ("", Plain->AutoLog);
    EXPECT_EQ(ics_small, R.IconScaling());
    EXPECT_EQ(300, F.W);  // nothing was measured
}

TEST(DialogResizing, EditHeightAndRemovedControls)
{
    struct EditFake : FakeControl {
        using FakeControl::FakeControl;
        int FontCharHeight() const override { return 16; }
        int DefaultFontCharHeight() const override { return 13; }
        bool Ctl3D() const override { return C3d; }
        bool NewStyleControls() const override { return NewStyle; }
        int BorderHeight() const override { return 1; }
        bool C3d = true, NewStyle = true;
    };
    struct Case {
        TControlKind Kind;
        bool Ctl3D, NewStyle;
        int Want;
    } Cases[] = {
        {TControlKind::Edit, true, true, 24},      {TControlKind::Edit, false, true, 22},
        {TControlKind::SpinEdit, true, true, 22},  {TControlKind::StringGrid, true, true, 24},
        {TControlKind::Edit, true, false, 23},     {TControlKind::Label, true, true, 20},
    };
    for (const Case& C : Cases) {
        EditFake E(C.Kind, "E", "T");
        E.C3d = C.Ctl3D;
        E.NewStyle = C.NewStyle;
        EXPECT_EQ(C.Want, EditHeightFor(E)) << int(C.Kind);
    }
    TDialogResizing R(nullptr);
    auto Control = Make(TControlKind::Edit);
    TDialogResizingItem* I = R.Group().Add()->Group().Add();
    I->SetAssignedControl(Control.get());
    I->SetSetSizeType(ss_SetWidth);
    R.Notification(Control.get());
    EXPECT_EQ(nullptr, I->AssignedControl());
    EXPECT_EQ(nullptr, I->SetSizeControl());
}

}  // namespace
