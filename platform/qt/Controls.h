// Visual components over Qt Widgets: the control base, graphic and windowed controls, the
// standard controls, timers and menus.
//
// Each control is a TComponent (Name, Owner) that owns one QWidget. Owner and Parent are kept
// apart: the owner (a form or frame) destroys the component and is its name scope; the parent
// is the windowed control whose client area shows it (SetParent).
//
// Writing a panel element:
//   class TEC_Cell : public TGraphicControl {      // painted on the parent, transparent elsewhere
//       VELO_CLASS(TEC_Cell, TGraphicControl)
//   public:
//       explicit TEC_Cell(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 13, 6); }
//   protected:
//       void Paint() override { Canvas().DrawBitmap(0, 0, "CELLFREE0"); }
//       void MouseDown(TMouseButton b, TShiftState s, int x, int y) override { ...; TGraphicControl::MouseDown(b, s, x, y); }
//   };
// TCustomControl is the same with a window of its own (signals, switches, the ammeter); it also
// gets window-message timers: SetTimer(this, id, ms) / KillTimer(this, id) call WMTimer(id).
// Neither fills its background. Change state, then Invalidate() (or Repaint()); draw only in Paint.
// A left press and release inside a control call Click() (OnClick) before MouseUp (OnMouseUp);
// a right release opens the control's PopupMenu with PopupComponent = the control.
// For the form loader, register the class and its published properties once at start:
//   RegisterComponentClass("TEC_Cell", [](TComponent* o) { return new TEC_Cell(o); });
//   RegisterIntProperty<TEC_Cell>("Id", [](TEC_Cell& c, int v) { c.Id = v; });   (Properties.h)
// Tests drive input with DispatchMouseDown/DispatchMouseUp or QTest on Widget(), and look at a
// control with GrabControl (Forms.h).
// Everything a Qt callback runs (mouse, click, key, timer, menu, paint) is guarded: an exception
// is shown in a message box and the program goes on (see Forms.h).
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "platform/core/Component.h"
#include "platform/core/Strings.h"
#include "platform/qt/Graphics.h"

class QTimer;
class QAction;
class QMenu;
class QMenuBar;
class TWinControl;
class TForm;
class TPopupMenu;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
struct TShiftState {
    unsigned Bits = 0;
    bool Contains(TShiftFlag f) const { return (Bits & f) != 0; }
    TShiftState& operator<<(TShiftFlag f) { Bits |= f; return *this; }
    bool operator==(const TShiftState&) const = default;
};

// TNotifyEvent (who raised it) comes from platform/core/Component.h.
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, int& Key, TShiftState Shift)>;

// Key codes that handlers compare (Qt key numbers for the rest).
constexpr int VK_SHIFT = 0x01000020;
constexpr int VK_RETURN = 0x01000004;
constexpr int VK_ESCAPE = 0x01000000;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct TPoint {
    int X = 0, Y = 0;
};

class TControl : public TComponent {
    VELO_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    QWidget* Widget() const { return fWidget; }
    TWinControl* Parent() const { return fParent; }
    virtual void SetParent(TWinControl* p);
    // The form whose window shows this control (through its parents), or null.
    TForm* ParentForm() const;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const { return Width(); }
    virtual int ClientHeight() const { return Height(); }
    TPoint ClientToScreen(TPoint p) const;

    bool Visible() const { return fVisible; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return fEnabled; }
    void SetEnabled(bool v);

    const std::string& Caption() const { return fCaption; }
    void SetCaption(const std::string& s);
    TColor Color() const { return fColor; }
    void SetColor(TColor c);
    // The font; change it through SetFont (or FontChanged after editing Font() in place).
    TFont& Font() { return fFont; }
    const TFont& Font() const { return fFont; }
    void SetFont(const TFont& f);
    void FontChanged();
    TCursor Cursor() const { return fCursor; }
    void SetCursor(TCursor c);
    const std::string& Hint() const { return fHint; }
    void SetHint(const std::string& h);
    void SetShowHint(bool v);
    TPopupMenu* PopupMenu() const { return fPopupMenu; }
    void SetPopupMenu(TPopupMenu* m) { fPopupMenu = m; }
    TAlign Align() const { return fAlign; }
    void SetAlign(TAlign a);
    int Tag = 0;

    void Repaint();
    void Invalidate();
    void Refresh() { Repaint(); }
    void BringToFront();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

    // Input as the framework dispatches it; overrides call the base to keep the events.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);

    // Entry points of the Qt event filter (also used by tests to simulate input).
    void DispatchMouseDown(TMouseButton button, TShiftState shift, int x, int y, bool dbl = false);
    void DispatchMouseUp(TMouseButton button, TShiftState shift, int x, int y);

protected:
    // Called once by the constructor of the concrete class with the control's widget.
    void SetWidget(QWidget* w);
    // Applies caption, colour and font to the widget; custom-painted controls just repaint.
    virtual void CaptionChanged();
    virtual void ColorChanged();
    virtual void FontApplied();
    // Whether a left press and release inside raise Click (off for controls that click
    // through their own MouseUp, like the speed button, and for native buttons).
    bool fClickOnRelease = true;

private:
    QPointer<QWidget> fWidget;
    TWinControl* fParent = nullptr;
    bool fVisible = true;
    bool fEnabled = true;
    bool fClicked = false;
    std::string fCaption;
    TColor fColor = clBtnFace;
    TFont fFont;
    TCursor fCursor = crDefault;
    std::string fHint;
    TPopupMenu* fPopupMenu = nullptr;
    TAlign fAlign = alNone;
    friend class TWinControl;
};

// A control that paints itself on its parent, with no window of its own (cells, labels, speed
// buttons); where Paint draws nothing the parent shows through.
class TGraphicControl : public TControl {
    VELO_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* owner);
    TCanvas& Canvas() { return fCanvas; }
    // Called by the widget's paint event with the canvas ready.
    void DoPaint(QPainter& p);

protected:
    virtual void Paint() {}

private:
    TCanvas fCanvas;
};

class TWinControl : public TControl {
    VELO_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    // The widget the children are placed on (the form's client area, a tab page, ...).
    virtual QWidget* ClientWidget() const { return Widget(); }
    int ControlCount() const { return static_cast<int>(fControls.size()); }
    TControl* Controls(int i) const { return fControls.at(static_cast<size_t>(i)); }
    // Lays out the aligned children (top, bottom, left, right, then client).
    virtual void Realign();
    void SetFocus();
    bool Focused() const;

    // Window-message timers: SetTimer(this, id, ms) starts or restarts timer id; each tick calls
    // WMTimer(id) on the GUI thread (also while a box is open, like an unguarded TTimer).
    virtual void WMTimer(int id) { (void)id; }
    void StartWindowTimer(int id, int ms);
    void StopWindowTimer(int id);

protected:
    virtual void InsertControl(TControl* c);
    virtual void RemoveControl(TControl* c);
    // Lays out the aligned children; returns the rectangle they leave.
    QRect AlignControls();
    // Marks w as the client area: its resizes realign the aligned children.
    void WatchClientWidget(QWidget* w);
    // True when the container shows and hides its children itself (the pages of a page control).
    virtual bool ShowsChildrenItself() const { return false; }

private:
    std::vector<TControl*> fControls;
    std::map<int, QTimer*> fTimers;
    friend class TControl;
};

void SetTimer(TWinControl* window, int id, int ms);
void KillTimer(TWinControl* window, int id);

// A windowed control that paints itself (signals, switches, the ammeter).
class TCustomControl : public TWinControl {
    VELO_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* owner);
    TCanvas& Canvas() { return fCanvas; }
    void DoPaint(QPainter& p);

protected:
    virtual void Paint() {}

private:
    TCanvas fCanvas;
};

// ---- lists of texts shown by controls ----

class TStrings {
public:
    virtual ~TStrings() = default;
    virtual int Count() const = 0;
    virtual std::string Get(int i) const = 0;
    virtual void Put(int i, const std::string& s) = 0;
    virtual void Insert(int i, const std::string& s) = 0;
    virtual void Delete(int i) = 0;
    virtual void Clear() = 0;
    virtual int Add(const std::string& s);
    std::string operator[](int i) const { return Get(i); }
    int IndexOf(const std::string& s) const;
    void Assign(const TStringList& l);
    TStringList ToStringList() const;
    std::string Text() const;
};

// ---- standard controls ----

enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TPanel : public TCustomControl {
    VELO_CLASS(TPanel, TCustomControl)
public:
    explicit TPanel(TComponent* owner);
    TBevelCut BevelOuter() const { return fBevelOuter; }
    TBevelCut BevelInner() const { return fBevelInner; }
    int BevelWidth() const { return fBevelWidth; }
    void SetBevelOuter(TBevelCut b) { fBevelOuter = b; Invalidate(); }
    void SetBevelInner(TBevelCut b) { fBevelInner = b; Invalidate(); }
    void SetBevelWidth(int w) { fBevelWidth = w; Invalidate(); }
    TAlignment Alignment = taCenter;

protected:
    void Paint() override;

private:
    TBevelCut fBevelOuter = bvRaised;
    TBevelCut fBevelInner = bvNone;
    int fBevelWidth = 1;
};

class TLabel : public TGraphicControl {
    VELO_CLASS(TLabel, TGraphicControl)
public:
    explicit TLabel(TComponent* owner);
    bool Transparent() const { return fTransparent; }
    void SetTransparent(bool v) { fTransparent = v; Invalidate(); }
    void SetAutoSize(bool v);
    void SetAlignment(TAlignment a) { fAlignment = a; Invalidate(); }
    void SetWordWrap(bool v) { fWordWrap = v; Invalidate(); }

protected:
    void Paint() override;
    void CaptionChanged() override;
    void FontApplied() override;
    void ColorChanged() override;

private:
    void AdjustSize();
    bool fParentColor = true; // drawn in the parent's colour until a colour of its own is set
    bool fTransparent = false;
    bool fAutoSize = true;
    bool fWordWrap = false;
    TAlignment fAlignment = taLeftJustify;
};

// Modal results of buttons and forms.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

class TButton : public TWinControl {
    VELO_CLASS(TButton, TWinControl)
public:
    explicit TButton(TComponent* owner);
    int ModalResult = mrNone;
    // Escape presses it (when no handler took the key).
    bool Cancel = false;
    void SetDefault(bool v);
    void Click() override; // fires OnClick, then closes a modal form with ModalResult

protected:
    void CaptionChanged() override;
    void FontApplied() override;
};

class TBitBtn : public TButton {
    VELO_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* owner);
    void SetGlyph(const std::string& bitmapName);
};

// A flat push button painted on its parent; with GroupIndex it stays down and the buttons of a
// group under the same parent release each other (AllowAllUp lets the last one come up).
class TSpeedButton : public TGraphicControl {
    VELO_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* owner);
    bool Down() const { return fDown; }
    virtual void SetDown(bool v);
    int GroupIndex = 0;
    bool AllowAllUp = false;
    bool Flat = false;
    void SetGlyph(const std::string& bitmapName) { fGlyph = bitmapName; Invalidate(); }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void Paint() override;

private:
    bool fDown = false;
    bool fPressed = false; // left button held on the button
    std::string fGlyph;
};

class TCustomEdit : public TWinControl {
    VELO_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* owner) : TWinControl(owner) {}
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& s) = 0;
    virtual void SetReadOnly(bool v) = 0;
    // The on-screen keypad's keys: a text typed as from the keyboard (here: appended to the
    // text) and the backspace key (here: the last character removed, nothing when empty).
    virtual void TypeText(const std::string& s) { SetText(Text() + s); }
    virtual void TypeBackspace();
    TNotifyEvent OnChange;
};

class TEdit : public TCustomEdit {
    VELO_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* owner);
    std::string Text() const override;
    void SetText(const std::string& s) override;
    void SetReadOnly(bool v) override;
    void SetMaxLength(int n);

protected:
    void ColorChanged() override;
    void FontApplied() override;
};

// An edit with an input mask written as the forms write it: "!90:00;1;_" (9 an optional digit,
// 0 a required digit, literals kept, '_' the blank shown). Text gives the literals and blanks.
// The caret never stands past the first blank, so what is typed after a click anywhere in the
// field fills it from the left; the keypad types at the caret like the keyboard.
class TMaskEdit : public TEdit {
    VELO_CLASS(TMaskEdit, TEdit)
public:
    explicit TMaskEdit(TComponent* owner);
    void SetEditMask(const std::string& mask);
    std::string Text() const override;
    void TypeText(const std::string& s) override;
    void TypeBackspace() override;

private:
    // Moves the caret back to the first blank when it stands past it.
    void KeepCaret();
    bool fMasked = false;
    char fBlank = '_';
};

class TCustomMemo : public TCustomEdit {
    VELO_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* owner) : TCustomEdit(owner) {}
};

class TMemo : public TCustomMemo {
    VELO_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent* owner);
    ~TMemo() override;
    TStrings& Lines() { return *fLines; }
    std::string Text() const override;
    void SetText(const std::string& s) override;
    void SetReadOnly(bool v) override;
    void SetWordWrap(bool v);
    // Whether the last line shows; scrolls it into view.
    bool AtEnd() const;
    void ScrollToEnd();

protected:
    void ColorChanged() override;
    void FontApplied() override;

private:
    std::unique_ptr<TStrings> fLines;
};

class TListBox : public TWinControl {
    VELO_CLASS(TListBox, TWinControl)
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;
    TStrings& Items() { return *fItems; }
    int ItemIndex() const;
    void SetItemIndex(int i);
    bool Sorted() const { return fSorted; }
    void SetSorted(bool v);

protected:
    void ColorChanged() override;
    void FontApplied() override;

private:
    std::unique_ptr<TStrings> fItems;
    bool fSorted = false;
    friend class TListBoxItems;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

// The order of sorted lists and combo boxes: Ukrainian and Russian letters in their alphabet
// (і, ї, є, ґ among them), case-insensitive; <0, 0 or >0.
int CompareListTexts(const std::string& a, const std::string& b);

class TComboBox : public TWinControl {
    VELO_CLASS(TComboBox, TWinControl)
public:
    explicit TComboBox(TComponent* owner);
    ~TComboBox() override;
    // What a drop-down list shows while none of its entries is chosen.
    static constexpr const char* NothingChosen = "— не вибрано —";
    TStrings& Items() { return *fItems; }
    int ItemIndex() const;
    void SetItemIndex(int i);
    std::string Text() const;
    void SetText(const std::string& s);
    void SetStyle(TComboBoxStyle s);
    bool Sorted() const { return fSorted; }
    void SetSorted(bool v);
    TNotifyEvent OnChange;

protected:
    void FontApplied() override;

private:
    std::unique_ptr<TStrings> fItems;
    bool fSorted = false;
    friend class TComboItems;
};

class TCheckBox : public TWinControl {
    VELO_CLASS(TCheckBox, TWinControl)
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked() const;
    void SetChecked(bool v);

protected:
    void CaptionChanged() override;
    void FontApplied() override;
};

class TRadioButton : public TWinControl {
    VELO_CLASS(TRadioButton, TWinControl)
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const;
    void SetChecked(bool v);

protected:
    void CaptionChanged() override;
    void FontApplied() override;
};

class TGroupBox : public TWinControl {
    VELO_CLASS(TGroupBox, TWinControl)
public:
    explicit TGroupBox(TComponent* owner);

protected:
    void CaptionChanged() override;
    void FontApplied() override;
};

// A group box of radio buttons made from Items; ItemIndex is the checked one (-1 none).
class TRadioGroup : public TGroupBox {
    VELO_CLASS(TRadioGroup, TGroupBox)
public:
    explicit TRadioGroup(TComponent* owner);
    ~TRadioGroup() override;
    TStrings& Items() { return *fItems; }
    int ItemIndex() const;
    void SetItemIndex(int i);
    void Rebuild();

private:
    std::unique_ptr<TStrings> fItems;
};

// A picture: a named bitmap or an image set by code (e.g. a decoded JPEG).
class TImage : public TGraphicControl {
    VELO_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* owner);
    void SetPictureName(const std::string& name);
    void SetPicture(const QImage& image);
    const QImage& Picture() const { return fImage; }
    bool Stretch = false;
    bool Center = false;

protected:
    void Paint() override;

private:
    QImage fImage;
};

enum TStatusPanelStyle { psText, psOwnerDraw };
struct TStatusPanel {
    int Width = 50;
    std::string Text;
    TStatusPanelStyle Style = psText;
};

// A status bar of fixed-width panels; subclasses draw over it by overriding Paint (call the
// base first) and change what they draw only through state + Invalidate().
class TStatusBar : public TCustomControl {
    VELO_CLASS(TStatusBar, TCustomControl)
public:
    explicit TStatusBar(TComponent* owner);
    int PanelCount() const { return static_cast<int>(fPanels.size()); }
    TStatusPanel& Panels(int i) { return fPanels.at(static_cast<size_t>(i)); }
    void AddPanel(int width, const std::string& text = "", TStatusPanelStyle style = psText);
    void ClearPanels() { fPanels.clear(); Invalidate(); }
    void SetPanelText(int i, const std::string& text);
    void SetPanelStyle(int i, TStatusPanelStyle s);

protected:
    void Paint() override;
    // Draws an owner-drawn panel; the default draws its text.
    virtual void DrawPanel(int index, const TRect& r);

private:
    std::vector<TStatusPanel> fPanels;
};

class TTabSheet;
class TPageControl : public TWinControl {
    VELO_CLASS(TPageControl, TWinControl)
public:
    explicit TPageControl(TComponent* owner);
    int PageCount() const;
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* p);
    TNotifyEvent OnChange;

protected:
    void InsertControl(TControl* c) override;
    bool ShowsChildrenItself() const override { return true; }
};

class TTabSheet : public TWinControl {
    VELO_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* owner);

protected:
    void CaptionChanged() override;
};

// ---- timers ----

// The component timer: ticks every Interval ms while Enabled and Interval > 0 (Interval 0:
// stopped); each tick calls OnTimer when it is set.
// With SkipWhileBusy (the default) its ticks are dropped while a step, a modal window or a box
// runs (see TBusyScope in Forms.h), so no tick re-enters the models from the nested event loop
// of a box. A timer that must go on meanwhile and never reaches the models (a channel window's
// reminder) sets SkipWhileBusy = False. Every tick counts as a step while it runs.
class TTimer : public TComponent {
    VELO_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    int Interval() const { return fInterval; }
    void SetInterval(int ms);
    bool Enabled() const { return fEnabled; }
    void SetEnabled(bool v);
    bool Active() const;
    TNotifyEvent OnTimer;
    void SetOnTimer(TNotifyEvent e);
    bool SkipWhileBusy = true;
    // One tick as the timer runs it (guarded); tests call it to step a timer.
    void Tick();

private:
    void Update();
    QTimer* fTimer;
    int fInterval = 1000;
    bool fEnabled = true;
};

// ---- menus ----

class TMenuItem : public TComponent {
    VELO_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;
    const std::string& Caption() const { return fCaption; }
    void SetCaption(const std::string& s);
    bool Checked() const { return fChecked; }
    void SetChecked(bool v);
    bool Enabled() const { return fEnabled; }
    void SetEnabled(bool v);
    bool Visible() const { return fVisible; }
    void SetVisible(bool v);
    bool RadioItem = false;
    int GroupIndex = 0;
    TNotifyEvent OnClick;

    int Count() const { return static_cast<int>(fItems.size()); }
    TMenuItem* Items(int i) const { return fItems.at(static_cast<size_t>(i)); }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    TMenuItem* Parent() const { return fParent; }
    // The menu (main or pop-up) this item belongs to, or null.
    class TMenu* GetParentMenu() const;
    virtual void Click();

    QAction* Action() const { return fAction; }
    QMenu* SubMenu(); // created on the first child

private:
    std::string fCaption;
    bool fChecked = false, fEnabled = true, fVisible = true;
    std::vector<TMenuItem*> fItems;
    TMenuItem* fParent = nullptr;
    class TMenu* fMenu = nullptr; // set on the root item
    QAction* fAction;
    QMenu* fSubMenu = nullptr;
    friend class TMenu;
};

class TMenu : public TComponent {
    VELO_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* owner);
    // The invisible root whose children are the menu's top items.
    TMenuItem* Items() const { return fItems; }

private:
    TMenuItem* fItems;
};

class TMainMenu : public TMenu {
    VELO_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
};

class TPopupMenu : public TMenu {
    VELO_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* owner);
    // The control the menu was last opened for.
    TComponent* PopupComponent = nullptr;
    bool AutoPopup = true;
    TNotifyEvent OnPopup;
    // Opens the menu at a screen position (does not wait for a choice); with a popup hook set
    // (tests), the hook is called instead.
    virtual void Popup(int x, int y);
    // The last position Popup was called with (for tests).
    TPoint LastPopupPoint() const { return fLast; }

private:
    TPoint fLast;
};

// Replaces the opening of every pop-up menu (an empty function restores it); returns the old
// hook. Headless tests record the menus instead of showing them.
using TPopupHook = std::function<void(TPopupMenu* menu, int x, int y)>;
TPopupHook SetPopupHook(TPopupHook h);

// ---- file dialogs ----

// Open and save dialogs: Execute() asks for a file (through the dialog hook when one is set,
// see Forms.h) and starts in the current directory when InitialDir is empty.
class TOpenDialog : public TComponent {
    VELO_CLASS(TOpenDialog, TComponent)
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    std::string FileName, Filter, DefaultExt, InitialDir, Title;
    virtual bool Execute();
};

class TSaveDialog : public TOpenDialog {
    VELO_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
    bool Execute() override;
};

// Registers the classes of this library with the component class registry and their
// properties with the property registry. Call once at start (the program and the tests).
void RegisterQtPlatformClasses();
