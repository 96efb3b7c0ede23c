#include "dialogs/MinSizeEditor.h"

#include "hosting/Velmora.h"

static int NumberAfterEquals(const std::string& Part)
{
    int V = 0;
    return TryStrToInt(GetField(Part, 2, '='), V) ? V : 0;
}

void ParseMinSize(const std::string& Text, int& X, int& Y)
{
    X = NumberAfterEquals(Trim(GetField(Text, 1, ',')));
    Y = NumberAfterEquals(Trim(GetField(Text, 2, ',')));
}

std::string FormatMinSize(int X, int Y)
{
    return "X=" + IntToStr(X) + ", Y=" + IntToStr(Y);
}

void TMinSizeEditorRules::Load(const std::string& Text)
{
    FLoading = true;
    if (Text.empty()) {
        FView.SetSizingItem(msNoMinSize);
    } else if (SameText(Text, "start")) {
        FView.SetSizingItem(msStart);
    } else {
        FView.SetSizingItem(msSize);
        int X, Y;
        ParseMinSize(Text, X, Y);
        FView.SetXSize(X);
        FView.SetYSize(Y);
    }
    FLoading = false;
}

void TMinSizeEditorRules::SizeEditChange()
{
    if (FLoading)
        return;
    const int X = FView.XSize(), Y = FView.YSize();
    if (X == 0 && Y == 0)
        FView.SetSizingItem(msNoMinSize);
    else if (X == -1 && Y == -1)
        FView.SetSizingItem(msStart);
}

void TMinSizeEditorRules::Idle()
{
    const int Item = FView.SizingItem();
    FView.SetSizeEditsEnabled(Item == msSize);
    if (Item == msNoMinSize || Item == msStart) {
        const int V = Item == msNoMinSize ? 0 : -1;
        FView.SetXSize(V);
        FView.SetYSize(V);
    }
}

void TMinSizeEditorRules::Store(std::string& Text) const
{
    switch (FView.SizingItem()) {
    case msNoMinSize: Text.clear(); break;
    case msStart: Text = "start"; break;
    case msSize: Text = FormatMinSize(FView.XSize(), FView.YSize()); break;
    default: break;
    }
}
