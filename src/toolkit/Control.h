// Control: a C++ object over one HWND. Windows of our own class and
// subclassed system controls route their messages to the object's WndProc.
#pragma once

#include "toolkit/Component.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class TAlign { None, Top, Bottom, Left, Right, Client };

class Control : public Component {
public:
    explicit Control(Component* Owner);
    ~Control() override;

    HWND Handle() const { return FHandle; }
    // Lets the window go without destroying it: it lives on, for whoever
    // takes it, without the control hearing from it.
    HWND LetHandleGo();
    Control* Parent() const { return FParent; }
    // Moves a child control (and its window) under another parent.
    void SetParent(Control* NewParent);
    // Direct child controls in the order they were created.
    const std::vector<Control*>& Controls() const { return FControls; }

    static Control* FromHandle(HWND Wnd);

    int HelpContext = 0;
    // Shown over the client area; nullptr keeps the window class cursor.
    HCURSOR Cursor = nullptr;

    bool Visible() const;
    void SetVisible(bool Visible);
    bool Enabled() const;
    void SetEnabled(bool Enabled);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Align);

    // Bounds in the parent's client coordinates (screen for top-level).
    RECT BoundsRect() const;
    void SetBounds(int Left, int Top, int Width, int Height);
    RECT ClientRect() const;
    int Width() const;
    int Height() const;

    std::string Text() const;
    void SetText(const std::string& Text);

    POINT ScreenToClient(POINT P) const;
    // The direct child whose bounds hold P (client coordinates), topmost
    // first; hidden children never, disabled ones only when allowed.
    Control* ControlAtPos(POINT P, bool AllowDisabled) const;

    std::function<void()> OnResize;
    // Sees each message before WndProc (a hint watching the pointer).
    std::function<void(UINT Msg)> OnMessageSeen;
    // Space kept free around an aligned control.
    RECT Margins = {0, 0, 0, 0};

    void Invalidate();
    // Lays out the aligned children again.
    void Realign();

protected:
    // False once the object is destroyed: an event handler may delete the
    // control that called it, which must then touch nothing of its own.
    std::shared_ptr<const bool> AliveFlag() const { return FAlive; }

    struct CreateParams {
        const char* ClassName = nullptr;  // nullptr: our own window class
        std::string Caption;
        DWORD Style = 0;
        DWORD ExStyle = 0;
        int X = CW_USEDEFAULT, Y = CW_USEDEFAULT, Width = CW_USEDEFAULT, Height = CW_USEDEFAULT;
        Control* Parent = nullptr;
        HWND OwnerWindow = nullptr;  // for top-level windows
        UINT_PTR Id = 0;
    };
    void CreateHandle(const CreateParams& Params);
    void DestroyHandle();

    // Messages not handled here go to DefaultHandler.
    virtual LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT DefaultHandler(UINT Msg, WPARAM WParam, LPARAM LParam);
    // WM_COMMAND notifications, reflected from the parent to the control
    // that sent them.
    virtual void CommandNotify(WORD Code) { (void)Code; }
    // The same with the item id, for controls that send one per item
    // (toolbar buttons).
    virtual void CommandIdNotify(WORD Id, WORD Code) { (void)Id; CommandNotify(Code); }
    // WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR* and the
    // WM_HSCROLL/WM_VSCROLL of a control window (trackbar, up-down),
    // reflected from the parent to the control that sent them. Handled
    // says whether the answer counts; otherwise the parent's default runs.
    virtual LRESULT NotifyReflect(NMHDR* Header, bool& Handled)
    {
        (void)Header;
        Handled = false;
        return 0;
    }
    virtual bool DrawItemReflect(DRAWITEMSTRUCT* Item) { (void)Item; return false; }
    virtual bool MeasureItemReflect(MEASUREITEMSTRUCT* Item) { (void)Item; return false; }
    // nullptr: the parent's default colours.
    virtual HBRUSH CtlColorReflect(HDC DC) { (void)DC; return nullptr; }
    virtual bool ScrollReflect(UINT Msg, WPARAM WParam) { (void)Msg; (void)WParam; return false; }
    // Lays out aligned children inside Area (client coordinates).
    virtual void AlignControls(RECT Area);
    // What shows behind the children of a window of our own class: what it
    // erases, what a see-through child (flat toolbar, themed control) asks
    // for on its own DC, and what WM_PRINTCLIENT draws.
    virtual void PaintBackground(HDC Dc);
    // The colour of that background, also given to child controls that
    // ask through WM_CTLCOLOR*.
    virtual COLORREF BackgroundColor() const { return ::GetSysColor(COLOR_BTNFACE); }

private:
    static LRESULT CALLBACK StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    static const char* OwnClassName();

    HWND FHandle = nullptr;
    WNDPROC FDefProc = nullptr;  // system class procedure of a subclassed control
    HFONT FFont = nullptr;       // WM_SETFONT of our own windows
    HBRUSH FBackBrush = nullptr; // answers WM_CTLCOLOR* of our own windows
    COLORREF FBackBrushColor = 0;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    Control* FParent = nullptr;
    std::vector<Control*> FControls;
    TAlign FAlign = TAlign::None;
};
