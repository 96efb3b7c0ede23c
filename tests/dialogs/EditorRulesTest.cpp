#include "dialogs/MinSizeEditor.h"
#include "dialogs/PropertyEditor.h"

#include <gtest/gtest.h>

namespace {

TEST(PropertyEditorRules, LettersToChoiceAndBack)
{
    struct Case {
        const char* Letters;
        int Item;
        bool R, One, H;
        const char* Back;
    };
    const Case Cases[] = {
        {"ER", biExternal, true, false, false, "ER"},   {"", biExternal, false, false, false, "E"},
        {"BU", biBind, false, false, false, "B"},       {"U", biUnsupported, false, false, false, "U"},
        {"BHR1", biBind, true, true, true, "BR1H"},     {"xyz", biExternal, false, false, false, "E"},
        {"UH", biUnsupported, false, false, true, "UH"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Letters);
        const TPropertyChoice P = PropertyChoiceOf(C.Letters);
        EXPECT_EQ(P.BindingItem, C.Item);
        EXPECT_EQ(P.RemoveCaption, C.R);
        EXPECT_EQ(P.OneInstance, C.One);
        EXPECT_EQ(P.HardResizing, C.H);
        EXPECT_EQ(PropertyLettersOf(P), C.Back);
        EXPECT_EQ(PropertyOptionsEnabled(P.BindingItem), C.Item == biBind);
    }
    TPropertyChoice Odd;
    Odd.BindingItem = 7;
    EXPECT_EQ(PropertyLettersOf(Odd), "E");
}

TEST(MinSizeEditorRules, ParseMinSize)
{
    struct Case {
        const char* Text;
        int X, Y;
    };
    const Case Cases[] = {
        {"X=640, Y=480", 640, 480}, {"Y=640, X=480", 640, 480}, {"X=12", 12, 0},
        {"X=-1, Y=480", -1, 480},   {"640,480", 0, 0},          {"X=a, Y= 5", 0, 5},
        {"", 0, 0},                 {"start", 0, 0},
    };
    for (const Case& C : Cases) {
        int X = 99, Y = 99;
        ParseMinSize(C.Text, X, Y);
        EXPECT_EQ(X, C.X) << C.Text;
        EXPECT_EQ(Y, C.Y) << C.Text;
    }
}

// Like the spin edit, a change of X runs the dialog's change handling.
class FakeView : public IMinSizeView {
public:
    TMinSizeEditorRules* Rules = nullptr;
    int Item = msNoMinSize, X = 0, Y = 0;
    bool Enabled = false;
    int SizingItem() const override { return Item; }
    void SetSizingItem(int I) override { Item = I; }
    int XSize() const override { return X; }
    void SetXSize(int V) override
    {
        if (V == X)
            return;
        X = V;
        Rules->SizeEditChange();
    }
    int YSize() const override { return Y; }
    void SetYSize(int V) override { Y = V; }
    void SetSizeEditsEnabled(bool E) override { Enabled = E; }
};

TEST(MinSizeEditorRules, LoadIdleAndStore)
{
    struct Case {
        int OldX, OldY;  // left by the dialog's previous use
        const char* Text;
        int Item;
        bool Enabled;
        const char* Stored;
    };
    const Case Cases[] = {
        {0, 0, "", msNoMinSize, false, ""},
        {0, 0, "Start", msStart, false, "start"},
        {0, 0, "X=800, Y=600", msSize, true, "X=800, Y=600"},
        // The new X beside the old Y must not switch the choice.
        {800, -1, "X=-1, Y=480", msSize, true, "X=-1, Y=480"},
        {5, 0, "X=0, Y=480", msSize, true, "X=0, Y=480"},
        {-1, -1, "X=640, Y=480", msSize, true, "X=640, Y=480"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        FakeView V;
        TMinSizeEditorRules Rules(V);
        V.Rules = &Rules;
        V.X = C.OldX;
        V.Y = C.OldY;
        Rules.Load(C.Text);
        Rules.Idle();
        EXPECT_EQ(V.Item, C.Item);
        EXPECT_EQ(V.Enabled, C.Enabled);
        std::string Out = "unchanged";
        Rules.Store(Out);
        EXPECT_EQ(Out, C.Stored);
    }
}

TEST(MinSizeEditorRules, TypingZeroOrMinusOnePairsSwitchTheChoice)
{
    struct Case {
        int Y, NewX, Item;
    };
    const Case Cases[] = {{0, 0, msNoMinSize}, {-1, -1, msStart}, {480, 0, msSize}, {0, -1, msSize}};
    for (const Case& C : Cases) {
        FakeView V;
        TMinSizeEditorRules Rules(V);
        V.Rules = &Rules;
        Rules.Load("X=7, Y=" + std::to_string(C.Y));
        V.SetXSize(C.NewX);
        EXPECT_EQ(V.Item, C.Item) << C.Y << " " << C.NewX;
    }
    FakeView V;
    TMinSizeEditorRules Rules(V);
    V.Rules = &Rules;
    V.Item = -1;
    std::string Text = "X=1, Y=2";
    Rules.Store(Text);
    EXPECT_EQ(Text, "X=1, Y=2");
}

}  // namespace
