// Panel: a child window that holds other controls and paints its
// background, an optional outer bevel and its text (the caption).
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Graphics.h"

#include <functional>
#include <string>
#include <vector>

enum class TBevelCut { None, Lowered, Raised };
enum class TVerticalAlignment { Top, Center, Bottom };
enum class TMouseButton { Left, Right, Middle };

using TShiftState = unsigned;
enum : TShiftState {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64,
};
// The keys and buttons held, from a mouse message's WPARAM.
TShiftState MouseShiftState(WPARAM Keys);

struct PanelArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 100, Height = 100;
    TAlign Align = TAlign::None;
    bool Border = false;  // a sunken client edge
    bool Visible = true;
};

class Panel : public Control {
public:
    Panel(Component* Owner, const PanelArgs& Args);
    ~Panel() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Color);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Color);
    // Height as for CreateFont: negative is the character height in pixels.
    std::string FontName() const { return FLogFont.lfFaceName; }
    int FontHeight() const { return FLogFont.lfHeight; }
    bool FontBold() const { return FBold; }
    void SetFont(const std::string& Name, int Height);
    void SetFontBold(bool Bold);
    // The caption is centred across; this places it down the panel.
    TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment Value);
    // An outer bevel of Width pixels; aligned children stay inside it.
    TBevelCut BevelOuter() const { return FBevelOuter; }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevel(TBevelCut Cut, int Width);
    // Paints through an off-screen bitmap, without flicker.
    bool DoubleBuffered = false;

    // X and Y in the client coordinates of Sender, the panel the mouse is on.
    std::function<void(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>
        OnMouseDown;
    std::function<void(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>
        OnMouseUp;
    std::function<void(Control& Sender, TShiftState Shift, int X, int Y)> OnMouseMove;
    // A left press and release on the panel; a double click instead fires
    // OnDblClick and then OnMouseDown with ssDouble.
    std::function<void(Control& Sender)> OnClick;
    std::function<void(Control& Sender)> OnDblClick;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    void AlignControls(RECT Area) override;
    void PaintBackground(HDC Dc) override { Paint(Dc); }
    COLORREF BackgroundColor() const override { return ColorToRGB(FColor); }

private:
    void Paint(HDC Dc);
    void MakeFonts();
    // False when a handler destroyed the panel.
    bool MouseMessage(UINT Msg, WPARAM WParam, LPARAM LParam);

    TColor FColor = clBtnFace;
    TColor FFontColor = clWindowText;
    TVerticalAlignment FVerticalAlignment = TVerticalAlignment::Center;
    TBevelCut FBevelOuter = TBevelCut::None;
    int FBevelWidth = 1;
    LOGFONTA FLogFont = {};
    bool FBold = false;
    HFONT FNormalFont = nullptr;
    HFONT FBoldFont = nullptr;
    // Fonts replaced by SetFont: children may still draw with them.
    std::vector<HFONT> FRetiredFonts;
    bool FClickPending = false;
};
