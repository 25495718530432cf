// Forms and frames over QMainWindow, the application object, the boxes with their test hooks and
// the guards that keep an exception or a nested event loop from breaking the program.
#include "platform/qt/Forms.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <clocale>
#include <map>

#include "platform/qt/FormLoader.h"

// ---- guards ----

namespace {
int gBusy = 0;
}

TBusyScope::TBusyScope()
{
    ++gBusy;
}

TBusyScope::~TBusyScope()
{
    --gBusy;
}

bool IsBusy()
{
    return gBusy > 0;
}

void RunGuarded(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        Application().ShowException(e);
    } catch (...) {
        Application().ShowException(Exception("Неизвестная ошибка"));
    }
}

// ---- boxes ----

namespace {
TMessageBoxHook gMessageBoxHook;
TInputQueryHook gInputQueryHook;
TBeepHook gBeepHook;
TFileDialogHook gFileDialogHook;

QString QtFilter(const std::string& filter)
{
    // "Text (*.txt)|*.txt|All|*.*" -> "Text (*.txt) (*.txt);;All (*.*)"
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) out << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return out.join(";;");
}
} // namespace

TMessageBoxHook SetMessageBoxHook(TMessageBoxHook h)
{
    std::swap(gMessageBoxHook, h);
    return h;
}

TInputQueryHook SetInputQueryHook(TInputQueryHook h)
{
    std::swap(gInputQueryHook, h);
    return h;
}

TBeepHook SetBeepHook(TBeepHook h)
{
    std::swap(gBeepHook, h);
    return h;
}

TFileDialogHook SetFileDialogHook(TFileDialogHook h)
{
    std::swap(gFileDialogHook, h);
    return h;
}

namespace {
// The form window activated last (a window manager may leave none active while a box opens).
QPointer<QWidget> gLastActive;

bool Shown(const QWidget* w)
{
    return w && w->isVisible() && !w->isMinimized();
}

// A box over a stay-on-top owner is itself kept on top, so no window manager puts it below.
void Own(QWidget* box, QWidget* owner)
{
    if (owner && (owner->windowFlags() & Qt::WindowStaysOnTopHint)) box->setWindowFlag(Qt::WindowStaysOnTopHint);
}
} // namespace

QWidget* BoxOwner()
{
    if (QWidget* m = QApplication::activeModalWidget(); Shown(m)) return m;
    if (QWidget* a = QApplication::activeWindow(); Shown(a) && !(a->windowType() == Qt::Popup)) return a;
    if (Shown(gLastActive)) return gLastActive;
    if (TForm* f = Application().MainForm(); f && Shown(f->Widget())) return f->Widget();
    return nullptr;
}

int MessageBoxA(void* owner, const std::string& text, const std::string& caption, unsigned type)
{
    TBusyScope busy;
    if (gMessageBoxHook) return gMessageBoxHook(text, caption, type);
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (type & 0xF) {
    case MB_OKCANCEL: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MB_YESNOCANCEL: buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    case MB_YESNO: buttons = QMessageBox::Yes | QMessageBox::No; break;
    default: break;
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & 0xF0) {
    case MB_ICONSTOP: icon = QMessageBox::Critical; break;
    case MB_ICONQUESTION: icon = QMessageBox::Question; break;
    case MB_ICONWARNING: icon = QMessageBox::Warning; break;
    case MB_ICONINFORMATION: icon = QMessageBox::Information; break;
    default: break;
    }
    QWidget* parent = owner ? static_cast<QWidget*>(owner) : BoxOwner();
    QMessageBox box(icon, QString::fromStdString(caption), QString::fromStdString(text), buttons, parent);
    Own(&box, parent);
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDOK;
    }
}

void MessageBeep(unsigned type)
{
    if (gBeepHook)
        gBeepHook(type);
    else
        QApplication::beep();
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    TBusyScope busy;
    if (gInputQueryHook) return gInputQueryHook(caption, prompt, value);
    QWidget* parent = BoxOwner();
    QInputDialog box(parent);
    Own(&box, parent);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setLabelText(QString::fromStdString(prompt));
    box.setTextValue(QString::fromStdString(value));
    if (box.exec() != QDialog::Accepted) return false;
    value = box.textValue().toStdString();
    return true;
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& def)
{
    std::string v = def;
    return InputQuery(caption, prompt, v) ? v : def;
}

bool RunFileDialog(bool save, const std::string& title, const std::string& filter, const std::string& initialDir,
                   std::string& fileName)
{
    TBusyScope busy;
    if (gFileDialogHook) return gFileDialogHook(save, title, filter, initialDir, fileName);
    QString start = QString::fromStdString(initialDir);
    if (!fileName.empty()) start += "/" + QString::fromStdString(fileName);
    QWidget* parent = BoxOwner();
    QString r = save ? QFileDialog::getSaveFileName(parent, QString::fromStdString(title), start, QtFilter(filter))
                     : QFileDialog::getOpenFileName(parent, QString::fromStdString(title), start, QtFilter(filter));
    if (r.isEmpty()) return false;
    fileName = r.toStdString();
    return true;
}

// ---- forms ----

namespace {

std::vector<TForm*>& FormList()
{
    static std::vector<TForm*> l;
    return l;
}

} // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner)
{
    EnsureQtApplication();
    auto* w = new QMainWindow;
    fClient = new QWidget;
    w->setCentralWidget(fClient);
    SetWidget(w);
    WatchClientWidget(fClient);
    // A press on the bare inside of the form is the form's own.
    fClient->setProperty("veloControl", QVariant::fromValue<void*>(static_cast<TControl*>(this)));
    fClient->setAttribute(Qt::WA_NoMousePropagation);
    fClient->setMouseTracking(true);
    TControl::SetVisible(false);
    SetBounds(0, 0, 400, 300);
    FormList().push_back(this);
}

TForm::~TForm()
{
    auto& l = FormList();
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    if (fLoop) fLoop->quit();
}

QWidget* TForm::ClientWidget() const
{
    return fClient;
}

QMainWindow* TForm::Window() const
{
    return static_cast<QMainWindow*>(Widget());
}

void TForm::LoadDefinition(const std::string& path)
{
    LoadFormDefinition(this, path, &fHandlers);
}

void TForm::SetBounds(int left, int top, int width, int height)
{
    // Left and Top place the window's frame; the size is that of the window's inside.
    Widget()->move(left, top);
    ResizeWindow(width, height);
    fClientHeight = -1;
}

void TForm::ResizeWindow(int width, int height)
{
    QWidget* w = Widget();
    if (!Sizeable()) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    w->resize(std::max(0, width), std::max(0, height));
    ApplySizeLimits();
}

void TForm::ApplySizeLimits()
{
    QWidget* w = Widget();
    if (Sizeable()) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        w->setFixedSize(w->size());
    }
}

namespace {
int MenuHeight(const TForm& f)
{
    return f.Menu() && f.Window()->menuBar() ? f.Window()->menuBar()->sizeHint().height() : 0;
}
} // namespace

int TForm::ClientWidth() const
{
    return Widget()->width();
}

int TForm::ClientHeight() const
{
    return Widget()->height() - MenuHeight(*this);
}

void TForm::SetClientWidth(int w)
{
    ResizeWindow(w, Widget()->height());
}

void TForm::SetClientHeight(int h)
{
    fClientHeight = h;
    ResizeWindow(Widget()->width(), std::max(0, h) + MenuHeight(*this));
}

void TForm::SetVisible(bool v)
{
    TControl::SetVisible(v);
    if (v) {
        if (Placement) {
            Placement(*this);
        } else if (Position == poScreenCenter || Position == poMainFormCenter) {
            QScreen* s = QGuiApplication::primaryScreen();
            if (s) {
                QRect a = s->availableGeometry();
                Widget()->move(a.x() + (a.width() - Width()) / 2, a.y() + (a.height() - Height()) / 2);
            }
        }
        FitOnScreen();
        Widget()->show();
        Widget()->raise();
        Widget()->activateWindow();
        Realign();
    } else {
        Widget()->hide();
        if (fLoop && fModalResult == mrNone) SetModalResult(mrCancel);
    }
}

namespace {
// The frame a window manager drew around the last window whose frame was seen.
QMargins gLastFrame{4, 28, 4, 4};
} // namespace

QMargins TForm::FrameMargins() const
{
    const QWidget* w = Widget();
    if (fBorderStyle == bsNone) return {};
    const QRect frame = w->frameGeometry(), inside = w->geometry();
    if (w->isVisible() && frame != inside) {
        gLastFrame = {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                      frame.bottom() - inside.bottom()};
    }
    return gLastFrame;
}

void TForm::FitOnScreen()
{
    QWidget* w = Widget();
    // The main window's size is the trainee's and the window manager's (it opens maximised).
    if (this == Application().MainForm() || (w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) return;
    QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // A little in from the edges where there is room: a window manager may put the frame a
    // border's width beside the place asked.
    QRect area = screen->availableGeometry();
    const QMargins m = FrameMargins();
    const QSize framed = w->size().grownBy(m);
    if (framed.width() + 4 <= area.width()) area.adjust(2, 0, -2, 0);
    if (framed.height() + 4 <= area.height()) area.adjust(0, 2, 0, -2);
    const QSize room(area.width() - m.left() - m.right(), area.height() - m.top() - m.bottom());
    if (w->width() > room.width() || w->height() > room.height()) {
        if (!AutoScroll()) SetAutoScroll(true);
        ResizeWindow(std::min(w->width(), room.width()), std::min(w->height(), room.height()));
    }
    // A shown window's pos() is its frame's place; before the first show it is what was asked.
    const QSize frame = w->size().grownBy(m);
    const int x = std::clamp(w->x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int y = std::clamp(w->y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
    if (x != w->x() || y != w->y()) w->move(x, y);
}

bool TForm::ScrollByWheel(QPoint angle, QPoint pixels, bool sideways)
{
    if (!fScroll) return false;
    QScrollBar* across = fScroll->horizontalScrollBar();
    QScrollBar* down = fScroll->verticalScrollBar();
    QPoint d = pixels;
    if (d.isNull()) {
        // As many lines as the system scrolls for a notch (120 eighths of a degree).
        const int line = QApplication::wheelScrollLines() * down->singleStep();
        d = QPoint(angle.x() * line / 120, angle.y() * line / 120);
    }
    if (sideways && d.x() == 0) d = QPoint(d.y(), 0);
    across->setValue(across->value() - d.x());
    down->setValue(down->value() - d.y());
    return true;
}

void TForm::CaptionChanged()
{
    Widget()->setWindowTitle(QString::fromStdString(Caption()));
}

void TForm::ColorChanged()
{
    for (QWidget* w : {fClient, fCanvas}) {
        if (!w) continue;
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, ToQColor(Color()));
        w->setPalette(pal);
        w->setAutoFillBackground(true);
    }
}

QWidget* TForm::ContentWidget() const
{
    return fCanvas ? fCanvas : fClient;
}

void TForm::SetAutoScroll(bool v)
{
    if (v == AutoScroll()) return;
    if (v) {
        fScroll = new QScrollArea(fClient);
        fScroll->setFrameShape(QFrame::NoFrame);
        // The wheel over the inside scrolls it (see the key router), not a control under it.
        fScroll->setProperty("veloFormScroll", true);
        fScroll->setWidgetResizable(false);
        fCanvas = new QWidget;
        // A press on the bare inside is the form's, as on the client area.
        fCanvas->setProperty("veloControl", QVariant::fromValue<void*>(static_cast<TControl*>(this)));
        fCanvas->setAttribute(Qt::WA_NoMousePropagation);
        fCanvas->setMouseTracking(true);
        fScroll->setWidget(fCanvas);
        fScroll->lower();
        fScroll->show();
    } else {
        for (int i = 0; i < ControlCount(); ++i)
            if (QWidget* w = Controls(i)->Widget(); w && w->parentWidget() == fCanvas) {
                w->setParent(fClient);
                w->setVisible(Controls(i)->Visible());
            }
        delete fScroll;
        fScroll = nullptr;
        fCanvas = nullptr;
    }
    ColorChanged();
    Realign();
}

void TForm::InsertControl(TControl* c)
{
    TWinControl::InsertControl(c);
    if (fCanvas && c->Align() == alNone && c->Widget()) c->Widget()->setParent(fCanvas);
}

void TForm::Realign()
{
    if (!fScroll) {
        AlignControls();
        return;
    }
    // A control that changed its alignment moves between the scrolled inside and the client area.
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        QWidget* w = c->Widget();
        if (!w) continue;
        QWidget* home = c->Align() == alNone ? fCanvas : fClient;
        if (w->parentWidget() != home) {
            w->setParent(home);
            w->setVisible(c->Visible());
        }
        if (c->Align() == alNone && c->Visible()) {
            right = std::max(right, w->x() + w->width());
            bottom = std::max(bottom, w->y() + w->height());
        }
    }
    QRect rest = AlignControls();
    fScroll->setGeometry(rest);
    // The inside covers the view and every control; a scroll bar takes room from the other way.
    QSize view = rest.size();
    int bar = fScroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    bool across = right > view.width(), down = bottom > view.height();
    if (across && !down) down = bottom > view.height() - bar;
    if (down && !across) across = right > view.width() - bar;
    int viewWidth = view.width() - (down ? bar : 0), viewHeight = view.height() - (across ? bar : 0);
    fCanvas->resize(std::max(right, viewWidth), std::max(bottom, viewHeight));
}

TButton* TForm::EnterButton() const
{
    TButton* fallback = nullptr;
    std::function<TButton*(const TWinControl*)> walk = [&](const TWinControl* parent) -> TButton* {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            QWidget* w = c->Widget();
            if (!w || !w->isVisibleTo(Widget()) || !w->isEnabled()) continue;
            if (c->InheritsFromClassName("TButton")) {
                auto* b = static_cast<TButton*>(c);
                if (w->hasFocus()) return b;
                if (!fallback && static_cast<QPushButton*>(w)->isDefault()) fallback = b;
            }
            if (c->InheritsFromClassName("TWinControl"))
                if (TButton* b = walk(static_cast<const TWinControl*>(c))) return b;
        }
        return nullptr;
    };
    TButton* focused = walk(this);
    return focused ? focused : fallback;
}

TButton* TForm::CancelButton() const
{
    std::function<TButton*(const TWinControl*)> walk = [&](const TWinControl* parent) -> TButton* {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            QWidget* w = c->Widget();
            if (!w || !w->isVisibleTo(Widget()) || !w->isEnabled()) continue;
            if (c->InheritsFromClassName("TButton") && static_cast<TButton*>(c)->Cancel) return static_cast<TButton*>(c);
            if (c->InheritsFromClassName("TWinControl"))
                if (TButton* b = walk(static_cast<const TWinControl*>(c))) return b;
        }
        return nullptr;
    };
    return walk(this);
}

void TForm::ApplyWindowFlags()
{
    bool wasVisible = Widget()->isVisible();
    Qt::WindowFlags f = Qt::Window;
    if (fBorderStyle == bsToolWindow || fBorderStyle == bsSizeToolWin) f = Qt::Tool;
    if (fBorderStyle == bsDialog) f = Qt::Dialog;
    if (fBorderStyle == bsNone) f |= Qt::FramelessWindowHint;
    if (fFormStyle == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (fBorderIcons & biSystemMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (fBorderIcons & biMinimize) f |= Qt::WindowMinimizeButtonHint;
    if (fBorderIcons & biMaximize) f |= Qt::WindowMaximizeButtonHint;
    Widget()->setWindowFlags(f);
    if (wasVisible) Widget()->show();
}

void TForm::SetBorderStyle(TFormBorderStyle s)
{
    fBorderStyle = s;
    ApplyWindowFlags();
    ApplySizeLimits();
}

void TForm::SetFormStyle(TFormStyle s)
{
    fFormStyle = s;
    ApplyWindowFlags();
}

void TForm::SetBorderIcons(unsigned icons)
{
    fBorderIcons = icons;
    ApplyWindowFlags();
}

void TForm::SetWindowState(TWindowState s)
{
    Widget()->setWindowState(s == wsMaximized ? Qt::WindowMaximized : s == wsMinimized ? Qt::WindowMinimized : Qt::WindowNoState);
}

void TForm::SetMenu(TMainMenu* m)
{
    fMenu = m;
    auto* bar = new QMenuBar;
    if (m)
        for (int i = 0; i < m->Items()->Count(); ++i) bar->addAction(m->Items()->Items(i)->Action());
    Window()->setMenuBar(bar); // replaces (and deletes) the previous bar
    if (fClientHeight >= 0) SetClientHeight(fClientHeight);
}

void TForm::DoActivate()
{
    gLastActive = Widget();
    if (OnActivate) RunGuarded([this] { OnActivate(this); });
}

void TForm::DoShow()
{
    if (OnShow) RunGuarded([this] { OnShow(this); });
}

bool TForm::DoClose()
{
    if (fInClose) return false;
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    if (!can) return false;
    TCloseAction a = caHide;
    if (OnClose) OnClose(this, a);
    if (a == caNone) return false;
    fInClose = true;
    TControl::SetVisible(false);
    Widget()->hide();
    fInClose = false;
    if (this == Application().MainForm()) Application().Terminate();
    if (a == caFree) Release();
    return true;
}

void TForm::Release()
{
    QPointer<QWidget> alive = Widget();
    QTimer::singleShot(0, qApp, [this, alive] {
        if (alive) delete this;
    });
}

void TForm::Close()
{
    if (fModal) {
        SetModalResult(mrCancel);
        return;
    }
    DoClose();
}

void TForm::SetModalResult(int r)
{
    fModalResult = r;
    if (fLoop && r != mrNone) fLoop->quit();
}

int TForm::ShowModal()
{
    TBusyScope busy;
    if (Widget()->isVisible()) Widget()->hide();
    fModal = true;
    fModalResult = mrNone;
    Widget()->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    fLoop = &loop;
    SetVisible(true);
    for (;;) {
        if (fModalResult == mrNone && Widget()->isVisible()) loop.exec();
        if (fModalResult == mrNone) fModalResult = mrCancel; // hidden by other means
        bool can = true;
        if (OnCloseQuery) RunGuarded([&] { OnCloseQuery(this, can); });
        if (!can) {
            fModalResult = mrNone;
            continue;
        }
        TCloseAction a = caHide;
        if (OnClose) RunGuarded([&] { OnClose(this, a); });
        if (a == caNone) {
            fModalResult = mrNone;
            continue;
        }
        if (a == caFree) Release();
        break;
    }
    fLoop = nullptr;
    fModal = false;
    fInClose = true;
    TControl::SetVisible(false);
    Widget()->hide();
    fInClose = false;
    Widget()->setWindowModality(Qt::NonModal);
    return fModalResult;
}

// ---- frames ----

TFrame::TFrame(TComponent* owner) : TWinControl(owner)
{
    auto* w = new QWidget;
    SetWidget(w);
    WatchClientWidget(w);
    SetBounds(0, 0, 320, 240);
}

namespace {

class TDefinedFrame : public TFrame {
public:
    TDefinedFrame(TComponent* owner, const TClassInfo* info) : TFrame(owner), fInfo(info) {}
    const TClassInfo* ClassType() const override { return fInfo; }

private:
    const TClassInfo* fInfo;
};

std::map<std::string, TClassInfo>& FrameClasses()
{
    static std::map<std::string, TClassInfo> m;
    return m;
}

} // namespace

void RegisterFrameClass(const std::string& className, const std::string& definitionPath)
{
    auto [it, inserted] = FrameClasses().try_emplace(className, TClassInfo{nullptr, TFrame::StaticClassType()});
    it->second.Name = it->first.c_str();
    const TClassInfo* info = &it->second;
    RegisterComponentClass(className, [info](TComponent* owner) { return new TDefinedFrame(owner, info); });
    RegisterFormDefinition(className, definitionPath);
}

// ---- application and screen ----

TForm* TApplication::MainForm() const
{
    return FormList().empty() ? nullptr : FormList().front();
}

int TApplication::Run()
{
    EnsureQtApplication();
    // Only closing the main form ends the program (hidden windows stay alive).
    QApplication::setQuitOnLastWindowClosed(false);
    if (TForm* f = MainForm()) f->Show();
    return QApplication::exec();
}

void TApplication::Terminate()
{
    // Every running event loop ends, nested ones (a modal window's) included. quit() would ask
    // each visible window to close first and give up when one of them only hides, leaving the
    // process running with its windows hidden.
    QCoreApplication::exit(0);
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TApplication::ShowException(const std::exception& e)
{
    try {
        MessageBoxA(nullptr, e.what(), Title, MB_OK | MB_ICONSTOP);
    } catch (...) {
        // Nothing more can be shown.
    }
}

void TApplication::ShowExceptionLater(const std::exception& e)
{
    static bool pending = false;
    if (pending) return;
    pending = true;
    std::string text = e.what();
    QTimer::singleShot(0, qApp, [this, text] {
        ShowException(Exception(text));
        pending = false;
    });
}

TApplication& Application()
{
    static TApplication a;
    return a;
}

int TScreen::FormCount() const
{
    return static_cast<int>(FormList().size());
}

TForm* TScreen::Forms(int i) const
{
    return FormList().at(static_cast<size_t>(i));
}

TForm* TScreen::FindForm(const std::string& name) const
{
    for (TForm* f : FormList())
        if (f->Name() == name) return f;
    return nullptr;
}

TPoint TScreen::CursorPos() const
{
    QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

TScreen& Screen()
{
    static TScreen s;
    return s;
}

void EnsureQtApplication()
{
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "velostan";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt takes the process locale from the environment; numbers are always C-style here.
    std::setlocale(LC_NUMERIC, "C");
}

QImage GrabControl(TControl* c)
{
    if (!c || !c->Widget()) return QImage();
    return c->Widget()->grab().toImage();
}

bool SaveScreenshot(TControl* c, const std::string& pngPath)
{
    QImage img = GrabControl(c);
    return !img.isNull() && img.save(QString::fromStdString(pngPath), "PNG");
}
