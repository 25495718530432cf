// Forms, frames, the application object, boxes and the guards around every Qt callback.
//
// Writing a window:
//   class TfmConsole : public TForm {
//       VELO_CLASS(TfmConsole, TForm)
//   public:
//       TfmConsole() : TForm(nullptr) {
//           Handlers().Add("Button1Click", TNotifyEvent([this](TObject* s) { Button1Click(s); }));
//           LoadDefinition(":/app/forms/Console.vfm");   // Name, components, properties, events
//           Button1 = FindChild<TButton>("Button1");
//       }
//   };
// The definition's outer block is `object fmConsole: TfmConsole`; the window is constructed in
// code, its class needs no registration. Definitions are compiled in as Qt resources of the
// program: qt_add_resources(Velostan "forms" PREFIX "/app" FILES forms/Console.vfm ...).
// Event types of handlers: TNotifyEvent, TMouseEvent, TMouseMoveEvent, TKeyEvent (Controls.h),
// TCloseEvent, TCloseQueryEvent (below), and any other std::function a class registers (the
// models' TSendMessageEvent / TChangeStateEvent, registered by the program for "TModel").
// At start: EnsureQtApplication() (or a QApplication), RegisterQtPlatformClasses(), the other
// libraries' registrations, then the windows in order (the first becomes MainForm), then
// Application().Run().
// Frames: a frame class whose definition is registered with RegisterFrameClass("TFrame1",
// ":/app/forms/SwichGr.vfm") can be placed any number of times with `inline Frame11: TFrame1`.
//
// Exceptions: every Qt callback runs through RunGuarded, which shows an escaped exception's text
// in a message box (caption: Application().Title) and returns; the program goes on.
// Re-entry: TBusyScope marks "a step, a modal window or a box is running"; timer ticks that
// come in the meantime (from the nested event loop of a box) are dropped, so no tick re-enters
// the models (a TTimer with SkipWhileBusy = False, and the window timers, go on). ShowModal,
// MessageBoxA, InputQuery, the file dialogs and every timer tick hold one themselves; code that
// steps the models outside a tick can hold one too.
// Boxes are injectable: tests install hooks (SetMessageBoxHook, SetInputQueryHook, SetBeepHook,
// SetFileDialogHook; SetPopupHook in Controls.h) that record the calls and answer them.
#pragma once
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include <QImage>
#include <QMargins>
#include <QPoint>

#include "platform/qt/Controls.h"
#include "platform/qt/Properties.h"

class QMainWindow;
class QScrollArea;

// ---- guards ----

class TBusyScope {
public:
    TBusyScope();
    ~TBusyScope();
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;
};
bool IsBusy();

// Runs f; an exception that escapes it is shown by the application and swallowed.
void RunGuarded(const std::function<void()>& f);

// ---- boxes ----

constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The window a box opens over and belongs to: the modal window that runs, else the active
// window, else the shown window last activated, else the shown main form; null when none is
// shown. A box over a stay-on-top window stays on top as well.
QWidget* BoxOwner();
// A message box over its owner (a QWidget*; null: BoxOwner()); returns IDOK, IDCANCEL, IDYES or
// IDNO.
int MessageBoxA(void* owner, const std::string& text, const std::string& caption, unsigned type);
// The system's alert sound (type 0: the default sound).
void MessageBeep(unsigned type);
// The input box (over BoxOwner()): true with the typed text in value when confirmed (also when
// empty), false when cancelled (value unchanged).
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// The text typed, or the default when cancelled.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& def);

using TMessageBoxHook = std::function<int(const std::string& text, const std::string& caption, unsigned type)>;
using TInputQueryHook = std::function<bool(const std::string& caption, const std::string& prompt, std::string& value)>;
using TBeepHook = std::function<void(unsigned type)>;
// save false: open a file. fileName holds the proposed name and receives the chosen one.
using TFileDialogHook = std::function<bool(bool save, const std::string& title, const std::string& filter,
                                           const std::string& initialDir, std::string& fileName)>;
// Each setter installs a hook (an empty function restores the real box) and returns the old one.
TMessageBoxHook SetMessageBoxHook(TMessageBoxHook h);
TInputQueryHook SetInputQueryHook(TInputQueryHook h);
TBeepHook SetBeepHook(TBeepHook h);
TFileDialogHook SetFileDialogHook(TFileDialogHook h);
// Used by TOpenDialog/TSaveDialog.
bool RunFileDialog(bool save, const std::string& title, const std::string& filter, const std::string& initialDir,
                   std::string& fileName);

// ---- forms ----

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
enum TPosition { poDesigned, poScreenCenter, poMainFormCenter, poDefault };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };

class TForm : public TWinControl {
    VELO_CLASS(TForm, TWinControl)
public:
    explicit TForm(TComponent* owner = nullptr);
    ~TForm() override;

    QWidget* ClientWidget() const override;
    // The widget the unaligned controls sit on: the scrolled inside with AutoScroll, else the
    // client area.
    QWidget* ContentWidget() const;
    QMainWindow* Window() const;
    THandlerTable& Handlers() { return fHandlers; }
    // Builds the form from a definition (a Qt resource such as ":/forms/Main.vfm" or a file).
    void LoadDefinition(const std::string& path);

    // The owned component of that name, cast to T; raises when missing or of another class.
    template <class T>
    T* FindChild(const std::string& name) const
    {
        TComponent* c = FindComponent(name);
        if (!c || !c->InheritsFromClassName(T::StaticClassType()->Name))
            throw Exception("Нет компонента " + name + " класса " + T::StaticClassType()->Name + " в форме " + Name());
        return static_cast<T*>(c);
    }

    void SetVisible(bool v) override;
    void SetBounds(int left, int top, int width, int height) override;
    // The inside below the menu bar.
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int w);
    void SetClientHeight(int h);
    void SetClientSize(int width, int height)
    {
        SetClientWidth(width);
        SetClientHeight(height);
    }
    // Closing: OnCloseQuery may refuse; OnClose's action decides: caHide (the default) hides,
    // caFree hides and destroys the form once control is back in the event loop, caNone keeps it.
    void Close();
    // Destroys the form once control is back in the event loop.
    void Release();
    // Shows the form modally and runs a nested event loop until it closes; returns ModalResult.
    int ShowModal();
    bool Modal() const { return fModal; }
    int ModalResult() const { return fModalResult; }
    void SetModalResult(int r);

    bool KeyPreview = false;
    TPosition Position = poDesigned;
    // Places the window just before it is shown, instead of Position (the program's placement of
    // its tool windows).
    std::function<void(TForm&)> Placement;
    void SetBorderStyle(TFormBorderStyle s);
    TFormBorderStyle BorderStyle() const { return fBorderStyle; }
    // Only bsSizeable and bsSizeToolWin windows can be resized by the user; the others keep the
    // size the program gives them.
    bool Sizeable() const { return fBorderStyle == bsSizeable || fBorderStyle == bsSizeToolWin; }
    // With AutoScroll the unaligned controls sit on a scrolled inside that takes what the aligned
    // ones leave: a window smaller than its controls shows scroll bars, and nothing scrolls over
    // an aligned control (the status bar).
    bool AutoScroll() const { return fScroll != nullptr; }
    void SetAutoScroll(bool v);
    void Realign() override;
    // The button that Enter presses: the focused button, else the shown and enabled default
    // button; null when there is none.
    class TButton* EnterButton() const;
    // The shown and enabled button that Escape presses; null when there is none (Escape then
    // closes the window, unless it is the main form).
    class TButton* CancelButton() const;
    // Scrolls the inside of an AutoScroll window by a wheel turn (angle in eighths of a degree,
    // or pixels from a touchpad); sideways turns the vertical turn into a horizontal one. False
    // when the window does not scroll.
    bool ScrollByWheel(QPoint angle, QPoint pixels, bool sideways);
    // Moves the window's frame wholly onto its screen, by the least way; a window larger than the
    // screen is made as large as the screen and its inside scrolls, so no control is out of
    // reach. Done each time the window is shown. The main form and maximised windows are the
    // window manager's.
    void FitOnScreen();
    // The frame around the window's inside: the real one once shown, else the last one a window
    // manager drew around a window (a title bar and thin borders before any).
    QMargins FrameMargins() const;

    void SetFormStyle(TFormStyle s);
    void SetBorderIcons(unsigned icons);
    void SetWindowState(TWindowState s);
    TMainMenu* Menu() const { return fMenu; }
    void SetMenu(TMainMenu* m);

    TNotifyEvent OnActivate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnResize;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // Entry points of the window's events (also used by tests).
    virtual void DoActivate();
    virtual void DoShow();
    // The close box or Close(): asks OnCloseQuery, then OnClose decides hide or free.
    bool DoClose();

protected:
    void CaptionChanged() override;
    void ColorChanged() override;
    void InsertControl(TControl* c) override;

private:
    void ApplyWindowFlags();
    void ApplySizeLimits();
    // Sets the window's size, whatever its size limits.
    void ResizeWindow(int width, int height);
    THandlerTable fHandlers;
    QWidget* fClient;
    TMainMenu* fMenu = nullptr;
    TFormBorderStyle fBorderStyle = bsSizeable;
    TFormStyle fFormStyle = fsNormal;
    unsigned fBorderIcons = biSystemMenu | biMinimize | biMaximize;
    int fClientHeight = -1; // asked for; kept while the menu bar may still come
    bool fModal = false;
    int fModalResult = mrNone;
    bool fInClose = false;
    class QEventLoop* fLoop = nullptr;
    QScrollArea* fScroll = nullptr;
    QWidget* fCanvas = nullptr; // the scrolled inside
};

class TFrame : public TWinControl {
    VELO_CLASS(TFrame, TWinControl)
public:
    explicit TFrame(TComponent* owner);
    THandlerTable& Handlers() { return fHandlers; }

private:
    THandlerTable fHandlers;
};

// A frame class known only by its definition: its run-time class is the registered name,
// derived from "TFrame".
void RegisterFrameClass(const std::string& className, const std::string& definitionPath);

// ---- application and screen ----

class TApplication {
public:
    std::string Title = "Velostan";
    TForm* MainForm() const;
    // Runs the event loop until the main form closes (or Terminate).
    int Run();
    // Ends Run: every running event loop returns, nested ones included.
    void Terminate();
    void ProcessMessages();
    // Shows an exception's text in a message box (the top-level display).
    void ShowException(const std::exception& e);
    // The same once control is back in the event loop; used where a box must not open at once
    // (inside a paint). While one such box is pending or open, further ones are dropped.
    void ShowExceptionLater(const std::exception& e);
};
TApplication& Application();

class TScreen {
public:
    int FormCount() const;
    TForm* Forms(int i) const;
    // The first form of the list with that Name, or null.
    TForm* FindForm(const std::string& name) const;
    TPoint CursorPos() const;
};
TScreen& Screen();

// Makes sure a QApplication exists (tests and tools that have none yet).
void EnsureQtApplication();

// ---- pictures of controls for tests and reviewers ----

QImage GrabControl(TControl* c);
bool SaveScreenshot(TControl* c, const std::string& pngPath);
