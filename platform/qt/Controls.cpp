// Controls over Qt widgets: the event routing from Qt into the controls' virtual handlers,
// geometry, parents and alignment, and the standard controls.
#include "platform/qt/Controls.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

#include "platform/qt/Forms.h"

namespace {

const char* const kControlProperty = "veloControl";
const char* const kClientProperty = "veloClient";

TControl* ControlOf(const QObject* o, const char* prop = kControlProperty)
{
    QVariant v = o->property(prop);
    return v.isValid() ? static_cast<TControl*>(v.value<void*>()) : nullptr;
}

TShiftState ShiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b)
{
    TShiftState s;
    if (m & Qt::ShiftModifier) s << ssShift;
    if (m & Qt::AltModifier) s << ssAlt;
    if (m & Qt::ControlModifier) s << ssCtrl;
    if (b & Qt::LeftButton) s << ssLeft;
    if (b & Qt::RightButton) s << ssRight;
    if (b & Qt::MiddleButton) s << ssMiddle;
    return s;
}

TMouseButton ButtonOf(Qt::MouseButton b)
{
    return b == Qt::RightButton ? mbRight : b == Qt::MiddleButton ? mbMiddle : mbLeft;
}

// Routes the Qt events of the controls' widgets into the controls.
class TEventRouter : public QObject {
public:
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        switch (ev->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            TControl* c = ControlOf(obj);
            if (!c || !c->Widget()) return false;
            auto* me = static_cast<QMouseEvent*>(ev);
            // Positions are in the control's client area (a form's inside below its menu bar).
            QWidget* base = c->InheritsFromClassName("TWinControl") ? static_cast<TWinControl*>(c)->ClientWidget() : c->Widget();
            QPoint p = static_cast<QWidget*>(obj)->mapTo(base->window(), me->position().toPoint());
            p = base->mapFrom(base->window(), p);
            if (ev->type() == QEvent::MouseMove) {
                TShiftState s = ShiftOf(me->modifiers(), me->buttons());
                RunGuarded([&] { c->MouseMove(s, p.x(), p.y()); });
                return false;
            }
            TShiftState s = ShiftOf(me->modifiers(), me->buttons() | me->button());
            if (ev->type() == QEvent::MouseButtonRelease) {
                s = ShiftOf(me->modifiers(), me->buttons());
                c->DispatchMouseUp(ButtonOf(me->button()), s, p.x(), p.y());
            } else {
                c->DispatchMouseDown(ButtonOf(me->button()), s, p.x(), p.y(), ev->type() == QEvent::MouseButtonDblClick);
            }
            return false;
        }
        case QEvent::Resize: {
            if (TControl* c = ControlOf(obj, kClientProperty)) static_cast<TWinControl*>(c)->Realign();
            if (TControl* c = ControlOf(obj); c && c->InheritsFromClassName("TForm") && obj == c->Widget()) {
                auto* f = static_cast<TForm*>(c);
                if (f->OnResize) RunGuarded([&] { f->OnResize(f); });
            }
            return false;
        }
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Close:
        case QEvent::WindowActivate: {
            TControl* c = ControlOf(obj);
            if (!c || !c->InheritsFromClassName("TForm") || obj != c->Widget()) return false;
            auto* f = static_cast<TForm*>(c);
            if (ev->type() == QEvent::Show) f->DoShow();
            else if (ev->type() == QEvent::Hide) {
                if (f->OnHide) RunGuarded([&] { f->OnHide(f); });
            } else if (ev->type() == QEvent::WindowActivate) f->DoActivate();
            else {
                // The close box: the form decides (and hides itself) as Close() does.
                ev->ignore();
                RunGuarded([&] { f->Close(); });
                return true;
            }
            return false;
        }
        default: return false;
        }
    }
};

TEventRouter* Router()
{
    static TEventRouter* r = nullptr;
    if (!r) r = new TEventRouter;
    return r;
}

// Key events go to the focus widget; the form sees them first when it has KeyPreview. The wheel
// over a control that has no use for it scrolls the window's inside.
class TKeyRouter : public QObject {
public:
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        if (ev->type() == QEvent::Wheel) return Wheel(qobject_cast<QWidget*>(obj), static_cast<QWheelEvent*>(ev));
        if (ev->type() != QEvent::KeyPress && ev->type() != QEvent::KeyRelease) return false;
        auto* w = qobject_cast<QWidget*>(obj);
        if (!w) return false;
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w->window();
        if (w != target) return false; // the same event passed on to a parent
        TControl* c = nullptr;
        for (QWidget* x = w; x && !c; x = x->parentWidget()) c = ControlOf(x);
        if (!c) return false;
        auto* ke = static_cast<QKeyEvent*>(ev);
        int key = ke->key();
        TShiftState s = ShiftOf(ke->modifiers(), Qt::NoButton);
        bool down = ev->type() == QEvent::KeyPress;
        TButton* enter = nullptr;
        bool cancel = false;
        RunGuarded([&] {
            TForm* f = c->ParentForm();
            if (f && f->KeyPreview && f != c) {
                if (down) f->KeyDown(key, s);
                else f->KeyUp(key, s);
            }
            if (down) c->KeyDown(key, s);
            else c->KeyUp(key, s);
            // Enter that no handler took presses the window's button, as in a dialogue box; a
            // memo that takes new lines and an open drop-down list keep theirs.
            if (down && f && (key == Qt::Key_Return || key == Qt::Key_Enter) && !ke->isAutoRepeat() &&
                !QApplication::activePopupWidget() && w->window() == f->Widget() && !TakesReturn(w))
                enter = f->EnterButton();
            // Escape that no handler took cancels the window as its cancel button does, or closes
            // it; an open drop-down list closes first, the main window stays.
            cancel = down && f && key == Qt::Key_Escape && !ke->isAutoRepeat() && !QApplication::activePopupWidget() &&
                     w->window() == f->Widget() && f != Application().MainForm();
        });
        if (cancel) {
            TForm* f = c->ParentForm();
            if (TButton* b = f->CancelButton())
                static_cast<QPushButton*>(b->Widget())->click();
            else
                RunGuarded([f] { f->Close(); });
            return true;
        }
        if (!enter) return false;
        static_cast<QPushButton*>(enter->Widget())->click();
        return true;
    }

private:
    // The wheel scrolls the AutoScroll window under it, unless a control on the way uses the
    // wheel itself (a list, a memo, a drop-down, a scroll bar).
    static bool Wheel(QWidget* w, QWheelEvent* we)
    {
        if (!w) return false;
        TControl* c = nullptr;
        for (QWidget* x = w; x; x = x->isWindow() ? nullptr : x->parentWidget()) {
            if (x->property("veloFormScroll").toBool()) break;
            if (qobject_cast<QAbstractScrollArea*>(x) || qobject_cast<QComboBox*>(x) || qobject_cast<QAbstractSlider*>(x) ||
                qobject_cast<QAbstractSpinBox*>(x))
                return false;
            if (!c) c = ControlOf(x);
        }
        TForm* f = c ? c->ParentForm() : nullptr;
        return f && f->ScrollByWheel(we->angleDelta(), we->pixelDelta(), we->modifiers() & Qt::ShiftModifier);
    }

    static bool TakesReturn(QWidget* w)
    {
        auto* memo = qobject_cast<QPlainTextEdit*>(w);
        return memo && !memo->isReadOnly();
    }
};

void InstallKeyRouter()
{
    static bool installed = false;
    if (installed || !qApp) return;
    auto* router = new TKeyRouter;
    router->setParent(qApp); // goes with the application
    qApp->installEventFilter(router);
    installed = true;
}

// A widget painted by a control's Paint.
class TPaintWidget : public QWidget {
public:
    std::function<void(QPainter&)> PaintFn;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!PaintFn) return;
        QPainter p(this);
        try {
            PaintFn(p);
        } catch (const std::exception& e) {
            Application().ShowExceptionLater(e);
        } catch (...) {
            Application().ShowExceptionLater(Exception("Неизвестная ошибка"));
        }
    }
};

void DrawBevel(QPainter& p, QRect r, TBevelCut cut, int width)
{
    if (cut == bvNone) return;
    QColor light = ToQColor(clBtnHighlight), dark = ToQColor(clBtnShadow);
    if (cut == bvLowered) std::swap(light, dark);
    for (int i = 0; i < width; ++i) {
        p.setPen(light);
        p.drawLine(r.left() + i, r.top() + i, r.right() - i, r.top() + i);
        p.drawLine(r.left() + i, r.top() + i, r.left() + i, r.bottom() - i);
        p.setPen(dark);
        p.drawLine(r.right() - i, r.top() + i, r.right() - i, r.bottom() - i);
        p.drawLine(r.left() + i, r.bottom() - i, r.right() - i, r.bottom() - i);
    }
}

void ApplyFontColor(QWidget* w, const TFont& f)
{
    w->setFont(f.ToQFont());
    QPalette pal = w->palette();
    QColor c = ToQColor(f.Color);
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::ButtonText, c);
    pal.setColor(QPalette::Text, c);
    w->setPalette(pal);
}

void ApplyBaseColor(QWidget* w, TColor color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, ToQColor(color));
    w->setPalette(pal);
}

// The place of a character in the lists' collation: Cyrillic in the one alphabet of Ukrainian
// and Russian (а б в г ґ д е ё є ж з и і ї й к ... щ ъ ы ь э ю я), after every other character,
// which keeps its code; upper and lower case alike.
unsigned CollationRank(char32_t c)
{
    static const std::u32string alphabet = U"абвгґдеёєжзиіїйклмнопрстуфхцчшщъыьэюя";
    const QString lower = QString::fromUcs4(&c, 1).toLower();
    const char32_t l = lower.isEmpty() ? c : lower.toUcs4().front();
    size_t i = alphabet.find(l);
    if (i != std::u32string::npos) return 0x110000u + static_cast<unsigned>(i);
    return static_cast<unsigned>(l);
}

int CompareItems(const std::string& a, const std::string& b) { return CompareListTexts(a, b); }

} // namespace

int CompareListTexts(const std::string& a, const std::string& b)
{
    const QList<uint> x = QString::fromStdString(a).toUcs4(), y = QString::fromStdString(b).toUcs4();
    for (qsizetype i = 0; i < x.size() && i < y.size(); ++i) {
        unsigned p = CollationRank(x[i]), q = CollationRank(y[i]);
        if (p != q) return p < q ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : x.size() < y.size() ? -1 : 1;
}

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner)
{
    InstallKeyRouter();
}

TControl::~TControl()
{
    // Owned components go first, while this control still stands; then the widget.
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
    if (fParent) fParent->RemoveControl(this);
    if (fWidget) {
        fWidget->setProperty(kControlProperty, QVariant());
        for (QWidget* w : fWidget->findChildren<QWidget*>()) {
            if (ControlOf(w) == this) w->setProperty(kControlProperty, QVariant());
            if (ControlOf(w, kClientProperty) == this) w->setProperty(kClientProperty, QVariant());
        }
        fWidget->setProperty(kClientProperty, QVariant());
        delete fWidget.data();
    }
}

void TControl::SetWidget(QWidget* w)
{
    fWidget = w;
    w->setProperty(kControlProperty, QVariant::fromValue<void*>(this));
    w->installEventFilter(Router());
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
        area->viewport()->setProperty(kControlProperty, QVariant::fromValue<void*>(this));
        area->viewport()->installEventFilter(Router());
    }
    w->setMouseTracking(true);
    // Each control gets its own mouse input; what it does not take never reaches its parent.
    w->setAttribute(Qt::WA_NoMousePropagation);
    w->hide();
}

void TControl::SetParent(TWinControl* p)
{
    if (p == fParent) return;
    if (fParent) fParent->RemoveControl(this);
    fParent = p;
    if (p) {
        p->InsertControl(this);
    } else if (fWidget) {
        fWidget->hide();
        fWidget->setParent(nullptr);
    }
    if (fWidget && fParent && !fParent->ShowsChildrenItself()) fWidget->setVisible(fVisible);
}

TForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->fParent) c = c->fParent;
    return c->InheritsFromClassName("TForm") ? const_cast<TForm*>(static_cast<const TForm*>(c)) : nullptr;
}

int TControl::Left() const { return fWidget ? fWidget->x() : 0; }
int TControl::Top() const { return fWidget ? fWidget->y() : 0; }
int TControl::Width() const { return fWidget ? fWidget->width() : 0; }
int TControl::Height() const { return fWidget ? fWidget->height() : 0; }

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (!fWidget) return;
    fWidget->setGeometry(left, top, std::max(0, width), std::max(0, height));
    if (fParent && fAlign != alNone) fParent->Realign();
}

TPoint TControl::ClientToScreen(TPoint p) const
{
    if (!fWidget) return p;
    QPoint g = fWidget->mapToGlobal(QPoint(p.X, p.Y));
    return {g.x(), g.y()};
}

void TControl::SetVisible(bool v)
{
    fVisible = v;
    if (fWidget && fParent && !fParent->ShowsChildrenItself()) fWidget->setVisible(v);
    if (fParent && fAlign != alNone) fParent->Realign();
}

void TControl::SetEnabled(bool v)
{
    fEnabled = v;
    if (fWidget) fWidget->setEnabled(v);
}

void TControl::SetCaption(const std::string& s)
{
    fCaption = s;
    CaptionChanged();
}

void TControl::SetColor(TColor c)
{
    fColor = c;
    ColorChanged();
}

void TControl::SetFont(const TFont& f)
{
    fFont = f;
    FontApplied();
}

void TControl::FontChanged()
{
    FontApplied();
}

void TControl::SetCursor(TCursor c)
{
    fCursor = c;
    if (!fWidget) return;
    if (c == crDefault)
        fWidget->unsetCursor(); // the parent's pointer shows
    else
        fWidget->setCursor(CursorShape(c));
}

void TControl::SetHint(const std::string& h)
{
    fHint = h;
    if (fWidget) fWidget->setToolTip(QString::fromStdString(h));
}

void TControl::SetShowHint(bool v)
{
    if (fWidget) fWidget->setToolTip(v ? QString::fromStdString(fHint) : QString());
}

void TControl::SetAlign(TAlign a)
{
    fAlign = a;
    if (fParent) fParent->Realign();
}

void TControl::CaptionChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::FontApplied() { Invalidate(); }

void TControl::Repaint()
{
    if (fWidget) fWidget->repaint();
}

void TControl::Invalidate()
{
    if (fWidget) fWidget->update();
}

void TControl::BringToFront()
{
    if (fWidget) fWidget->raise();
}

void TControl::Click()
{
    if (OnClick) OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TControl::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TControl::DispatchMouseDown(TMouseButton button, TShiftState shift, int x, int y, bool dbl)
{
    RunGuarded([&] {
        if (!fEnabled) return;
        if (dbl) {
            shift << ssDouble;
            DblClick();
        } else if (button == mbLeft && fClickOnRelease) {
            fClicked = true;
        }
        MouseDown(button, shift, x, y);
    });
}

void TControl::DispatchMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    RunGuarded([&] {
        if (!fEnabled) return;
        if (button == mbLeft && fClicked) {
            fClicked = false;
            if (x >= 0 && y >= 0 && x < Width() && y < Height()) Click();
        }
        MouseUp(button, shift, x, y);
        if (button == mbRight && fPopupMenu && fPopupMenu->AutoPopup) {
            fPopupMenu->PopupComponent = this;
            TPoint p = ClientToScreen({x, y});
            fPopupMenu->Popup(p.X, p.Y);
        }
    });
}

// ---- TGraphicControl / TCustomControl ----

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner)
{
    auto* w = new TPaintWidget;
    w->PaintFn = [this](QPainter& p) { DoPaint(p); };
    SetWidget(w);
}

void TGraphicControl::DoPaint(QPainter& p)
{
    fCanvas.Font = Font();
    fCanvas.BeginPaint(&p);
    try {
        Paint();
    } catch (...) {
        fCanvas.EndPaint();
        throw;
    }
    fCanvas.EndPaint();
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    for (auto& [id, t] : fTimers) delete t;
    fTimers.clear();
    for (TControl* c : fControls) c->fParent = nullptr;
    fControls.clear();
}

void TWinControl::WatchClientWidget(QWidget* w)
{
    w->setProperty(kClientProperty, QVariant::fromValue<void*>(static_cast<TControl*>(this)));
    if (w != Widget()) w->installEventFilter(Router());
}

void TWinControl::InsertControl(TControl* c)
{
    fControls.push_back(c);
    if (c->Widget() && ClientWidget()) c->Widget()->setParent(ClientWidget());
    if (c->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* c)
{
    auto it = std::find(fControls.begin(), fControls.end(), c);
    if (it != fControls.end()) fControls.erase(it);
}

void TWinControl::Realign()
{
    AlignControls();
}

QRect TWinControl::AlignControls()
{
    QWidget* client = ClientWidget();
    if (!client) return QRect();
    QRect r(0, 0, client->width(), client->height());
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : fControls) {
            if (c->Align() != pass || !c->Visible() || !c->Widget()) continue;
            QWidget* w = c->Widget();
            switch (pass) {
            case alTop: w->setGeometry(r.left(), r.top(), r.width(), w->height()); r.setTop(r.top() + w->height()); break;
            case alBottom: w->setGeometry(r.left(), r.bottom() + 1 - w->height(), r.width(), w->height()); r.setBottom(r.bottom() - w->height()); break;
            case alLeft: w->setGeometry(r.left(), r.top(), w->width(), r.height()); r.setLeft(r.left() + w->width()); break;
            case alRight: w->setGeometry(r.right() + 1 - w->width(), r.top(), w->width(), r.height()); r.setRight(r.right() - w->width()); break;
            case alClient: w->setGeometry(r); break;
            case alNone: break;
            }
        }
    }
    return r;
}

void TWinControl::SetFocus()
{
    if (Widget()) Widget()->setFocus();
}

bool TWinControl::Focused() const
{
    return Widget() && Widget()->hasFocus();
}

void TWinControl::StartWindowTimer(int id, int ms)
{
    QTimer*& t = fTimers[id];
    if (!t) {
        t = new QTimer;
        QObject::connect(t, &QTimer::timeout, [this, id] {
            TBusyScope busy;
            RunGuarded([&] { WMTimer(id); });
        });
    }
    t->start(std::max(0, ms));
}

void TWinControl::StopWindowTimer(int id)
{
    auto it = fTimers.find(id);
    if (it != fTimers.end()) it->second->stop();
}

void SetTimer(TWinControl* window, int id, int ms)
{
    window->StartWindowTimer(id, ms);
}

void KillTimer(TWinControl* window, int id)
{
    window->StopWindowTimer(id);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner)
{
    auto* w = new TPaintWidget;
    w->PaintFn = [this](QPainter& p) { DoPaint(p); };
    SetWidget(w);
    WatchClientWidget(w);
}

void TCustomControl::DoPaint(QPainter& p)
{
    fCanvas.Font = Font();
    fCanvas.BeginPaint(&p);
    try {
        Paint();
    } catch (...) {
        fCanvas.EndPaint();
        throw;
    }
    fCanvas.EndPaint();
}

// ---- TStrings ----

int TStrings::Add(const std::string& s)
{
    Insert(Count(), s);
    return Count() - 1;
}

int TStrings::IndexOf(const std::string& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (Get(i) == s) return i;
    return -1;
}

void TStrings::Assign(const TStringList& l)
{
    Clear();
    for (const std::string& s : l.lines) Add(s);
}

TStringList TStrings::ToStringList() const
{
    TStringList l;
    for (int i = 0; i < Count(); ++i) l.Add(Get(i));
    return l;
}

std::string TStrings::Text() const
{
    return ToStringList().Text();
}

namespace {

class TMemoLines : public TStrings {
public:
    explicit TMemoLines(QPlainTextEdit* e) : fEdit(e) {}
    int Count() const override { return fEdit->document()->isEmpty() ? 0 : fEdit->document()->blockCount(); }
    std::string Get(int i) const override { return fEdit->document()->findBlockByNumber(Index(i)).text().toStdString(); }
    void Put(int i, const std::string& s) override
    {
        QStringList l = Lines();
        l[Index(i)] = QString::fromStdString(s);
        Set(l);
    }
    void Insert(int i, const std::string& s) override
    {
        QStringList l = Lines();
        if (i < 0 || i > l.size()) throw Exception("Индекс вне диапазона");
        l.insert(i, QString::fromStdString(s));
        Set(l);
    }
    void Delete(int i) override
    {
        QStringList l = Lines();
        l.removeAt(Index(i));
        Set(l);
    }
    void Clear() override { fEdit->clear(); }
    int Add(const std::string& s) override
    {
        // Appending keeps a long log cheap to grow.
        if (fEdit->document()->isEmpty())
            fEdit->setPlainText(QString::fromStdString(s));
        else
            fEdit->appendPlainText(QString::fromStdString(s));
        return Count() - 1;
    }

private:
    QStringList Lines() const
    {
        QString t = fEdit->toPlainText();
        if (t.isEmpty()) return {};
        return t.split('\n');
    }
    qsizetype Index(int i) const
    {
        if (i < 0 || i >= Count()) throw Exception("Индекс вне диапазона");
        return i;
    }
    void Set(const QStringList& l) { fEdit->setPlainText(l.join('\n')); }
    QPlainTextEdit* fEdit;
};

} // namespace

class TListBoxItems : public TStrings {
public:
    TListBoxItems(TListBox* box, QListWidget* w) : fBox(box), fList(w) {}
    int Count() const override { return fList->count(); }
    std::string Get(int i) const override { return Item(i)->text().toStdString(); }
    void Put(int i, const std::string& s) override { Item(i)->setText(QString::fromStdString(s)); }
    void Insert(int i, const std::string& s) override
    {
        if (i < 0 || i > Count()) throw Exception("Индекс вне диапазона");
        fList->insertItem(i, QString::fromStdString(s));
    }
    int Add(const std::string& s) override
    {
        int i = Count();
        if (fBox->fSorted) {
            i = 0;
            while (i < Count() && CompareItems(Get(i), s) <= 0) ++i;
        }
        Insert(i, s);
        return i;
    }
    void Delete(int i) override { delete fList->takeItem(Row(i)); }
    void Clear() override { fList->clear(); }

private:
    int Row(int i) const
    {
        if (i < 0 || i >= Count()) throw Exception("Индекс вне диапазона");
        return i;
    }
    QListWidgetItem* Item(int i) const { return fList->item(Row(i)); }
    TListBox* fBox;
    QListWidget* fList;
};

class TComboItems : public TStrings {
public:
    TComboItems(TComboBox* box, QComboBox* w) : fBox(box), fCombo(w) {}
    int Count() const override { return fCombo->count(); }
    std::string Get(int i) const override { return fCombo->itemText(Row(i)).toStdString(); }
    void Put(int i, const std::string& s) override { fCombo->setItemText(Row(i), QString::fromStdString(s)); }
    void Insert(int i, const std::string& s) override
    {
        if (i < 0 || i > Count()) throw Exception("Индекс вне диапазона");
        QString keep = fCombo->currentText();
        bool editable = fCombo->isEditable();
        fCombo->insertItem(i, QString::fromStdString(s));
        // Adding items never changes the selection or the typed text.
        if (editable) fCombo->setEditText(keep);
        else if (Count() == 1) fCombo->setCurrentIndex(-1);
    }
    int Add(const std::string& s) override
    {
        int i = Count();
        if (fBox->fSorted) {
            i = 0;
            while (i < Count() && CompareItems(Get(i), s) <= 0) ++i;
        }
        Insert(i, s);
        return i;
    }
    void Delete(int i) override { fCombo->removeItem(Row(i)); }
    void Clear() override
    {
        QString keep = fCombo->isEditable() ? fCombo->currentText() : QString();
        fCombo->clear();
        if (fCombo->isEditable()) fCombo->setEditText(keep);
    }

private:
    int Row(int i) const
    {
        if (i < 0 || i >= Count()) throw Exception("Индекс вне диапазона");
        return i;
    }
    TComboBox* fBox;
    QComboBox* fCombo;
};

namespace {

class TListStrings : public TStrings {
public:
    explicit TListStrings(std::function<void()> changed) : fChanged(std::move(changed)) {}
    int Count() const override { return fList.Count(); }
    std::string Get(int i) const override { return fList[i]; }
    void Put(int i, const std::string& s) override { fList[i] = s; fChanged(); }
    void Insert(int i, const std::string& s) override { fList.Insert(i, s); fChanged(); }
    void Delete(int i) override { fList.Delete(i); fChanged(); }
    void Clear() override { fList.Clear(); fChanged(); }

private:
    TStringList fList;
    std::function<void()> fChanged;
};

} // namespace

// ---- TPanel ----

TPanel::TPanel(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 185, 41);
}

void TPanel::Paint()
{
    QPainter& p = *Canvas().Painter();
    QRect r(0, 0, Width(), Height());
    p.fillRect(r, ToQColor(Color()));
    DrawBevel(p, r, fBevelOuter, fBevelWidth);
    int inset = fBevelOuter != bvNone ? fBevelWidth : 0;
    DrawBevel(p, r.adjusted(inset, inset, -inset, -inset), fBevelInner, fBevelWidth);
    if (!Caption().empty()) {
        p.setFont(Font().ToQFont());
        p.setPen(ToQColor(Font().Color));
        int flags = Qt::AlignVCenter | (Alignment == taCenter ? Qt::AlignHCenter : Alignment == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
        p.drawText(r.adjusted(2, 0, -2, 0), flags, QString::fromStdString(Caption()));
    }
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 32, 13);
}

void TLabel::SetAutoSize(bool v)
{
    fAutoSize = v;
    AdjustSize();
}

void TLabel::AdjustSize()
{
    if (!fAutoSize || fWordWrap) return;
    QFontMetrics fm(Font().ToQFont());
    QString s = QString::fromStdString(Caption());
    int w = 0;
    for (const QString& line : s.split('\n')) w = std::max(w, fm.horizontalAdvance(line));
    int h = fm.height() * static_cast<int>(s.split('\n').size());
    TControl::SetBounds(Left(), Top(), w, h);
}

void TLabel::CaptionChanged()
{
    AdjustSize();
    Invalidate();
}

void TLabel::FontApplied()
{
    AdjustSize();
    Invalidate();
}

void TLabel::ColorChanged()
{
    fParentColor = false;
    Invalidate();
}

void TLabel::Paint()
{
    QPainter& p = *Canvas().Painter();
    QRect r(0, 0, Width(), Height());
    if (!fTransparent) p.fillRect(r, ToQColor(fParentColor && Parent() ? Parent()->Color() : Color()));
    p.setFont(Font().ToQFont());
    p.setPen(ToQColor(Font().Color));
    int flags = Qt::AlignTop | (fAlignment == taCenter ? Qt::AlignHCenter : fAlignment == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
    if (fWordWrap) flags |= Qt::TextWordWrap;
    p.drawText(r, flags, QString::fromStdString(Caption()));
}

// ---- TButton / TBitBtn ----

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    fClickOnRelease = false;
    auto* b = new QPushButton;
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, [this] { RunGuarded([this] { Click(); }); });
    SetWidget(b);
    SetBounds(0, 0, 75, 25);
}

void TButton::Click()
{
    TForm* f = ParentForm();
    if (f && ModalResult != mrNone) f->SetModalResult(ModalResult);
    TWinControl::Click();
}

void TButton::SetDefault(bool v)
{
    static_cast<QPushButton*>(Widget())->setDefault(v);
}

void TButton::CaptionChanged()
{
    static_cast<QPushButton*>(Widget())->setText(QString::fromStdString(Caption()));
}

void TButton::FontApplied()
{
    ApplyFontColor(Widget(), Font());
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetGlyph(const std::string& bitmapName)
{
    QImage img = FindBitmap(bitmapName);
    auto* b = static_cast<QPushButton*>(Widget());
    b->setIcon(img.isNull() ? QIcon() : QIcon(QPixmap::fromImage(img)));
    if (!img.isNull()) b->setIconSize(img.size());
}

// ---- TSpeedButton ----

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner)
{
    fClickOnRelease = false;
    SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetDown(bool v)
{
    if (GroupIndex == 0) v = false;
    if (v == fDown) return;
    if (fDown && !AllowAllUp) return;
    fDown = v;
    if (v && Parent()) {
        // The other buttons of the group under the same parent come up.
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            TControl* c = Parent()->Controls(i);
            if (c == this || !c->InheritsFromClassName("TSpeedButton")) continue;
            auto* b = static_cast<TSpeedButton*>(c);
            if (b->GroupIndex == GroupIndex && b->fDown) {
                b->fDown = false;
                b->Invalidate();
            }
        }
    }
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled()) {
        fPressed = true;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!fPressed) return;
    fPressed = false;
    bool doClick = x >= 0 && x < Width() && y >= 0 && y <= Height();
    if (GroupIndex != 0 && doClick) SetDown(!fDown);
    Invalidate();
    if (doClick) Click();
}

void TSpeedButton::Paint()
{
    QPainter& p = *Canvas().Painter();
    QRect r(0, 0, Width(), Height());
    p.fillRect(r, ToQColor(clBtnFace));
    bool sunk = fDown || fPressed;
    if (sunk || !Flat) DrawBevel(p, r, sunk ? bvLowered : bvRaised, 1);
    int shift = sunk ? 1 : 0;
    QImage glyph = fGlyph.empty() ? QImage() : FindBitmap(fGlyph);
    QRect textRect = r.translated(shift, shift);
    if (!glyph.isNull()) {
        if (Caption().empty()) {
            p.drawImage((Width() - glyph.width()) / 2 + shift, (Height() - glyph.height()) / 2 + shift, glyph);
        } else {
            p.drawImage(4 + shift, (Height() - glyph.height()) / 2 + shift, glyph);
            textRect.setLeft(4 + glyph.width() + shift);
        }
    }
    p.setFont(Font().ToQFont());
    p.setPen(ToQColor(Enabled() ? Font().Color : clGrayText));
    p.drawText(textRect, Qt::AlignCenter, QString::fromStdString(Caption()));
}

// ---- edits ----

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner)
{
    fClickOnRelease = false;
    auto* e = new QLineEdit;
    QObject::connect(e, &QLineEdit::textChanged, [this] {
        if (OnChange) RunGuarded([this] { OnChange(this); });
    });
    SetWidget(e);
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
}

std::string TEdit::Text() const
{
    return static_cast<QLineEdit*>(Widget())->text().toStdString();
}

void TEdit::SetText(const std::string& s)
{
    static_cast<QLineEdit*>(Widget())->setText(QString::fromStdString(s));
}

void TEdit::SetReadOnly(bool v)
{
    static_cast<QLineEdit*>(Widget())->setReadOnly(v);
}

void TEdit::SetMaxLength(int n)
{
    static_cast<QLineEdit*>(Widget())->setMaxLength(n > 0 ? n : 32767);
}

void TEdit::ColorChanged()
{
    ApplyBaseColor(Widget(), Color());
}

void TEdit::FontApplied()
{
    ApplyFontColor(Widget(), Font());
}

void TCustomEdit::TypeBackspace()
{
    std::string text = Text();
    if (text.empty()) return;
    // One character, however many bytes it takes.
    size_t end = text.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.erase(end);
    SetText(text);
}

namespace {
// Keeps a mask edit's caret at its first blank: before a key types, and once a click or the
// focus has placed it.
class TCaretKeeper : public QObject {
public:
    TCaretKeeper(QObject* parent, std::function<void()> keep) : QObject(parent), fKeep(std::move(keep)) {}

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        switch (ev->type()) {
        case QEvent::KeyPress:
            if (!static_cast<QKeyEvent*>(ev)->text().isEmpty()) fKeep();
            break;
        case QEvent::MouseButtonRelease:
        case QEvent::FocusIn: QTimer::singleShot(0, obj, fKeep); break;
        default: break;
        }
        return false;
    }

private:
    std::function<void()> fKeep;
};
} // namespace

TMaskEdit::TMaskEdit(TComponent* owner) : TEdit(owner)
{
    Widget()->installEventFilter(new TCaretKeeper(Widget(), [this] { KeepCaret(); }));
}

void TMaskEdit::KeepCaret()
{
    if (!fMasked) return;
    auto* e = static_cast<QLineEdit*>(Widget());
    if (e->hasSelectedText()) return;
    int blank = static_cast<int>(e->displayText().indexOf(QChar(fBlank)));
    if (blank >= 0 && e->cursorPosition() > blank) e->setCursorPosition(blank);
}

void TMaskEdit::TypeText(const std::string& s)
{
    if (!fMasked) return TEdit::TypeText(s);
    auto* e = static_cast<QLineEdit*>(Widget());
    e->deselect();
    KeepCaret();
    // One key at a time, as typed: the mask takes or refuses each and steps over its literals.
    for (QChar ch : QString::fromStdString(s)) e->insert(QString(ch));
}

void TMaskEdit::TypeBackspace()
{
    if (!fMasked) return TEdit::TypeBackspace();
    auto* e = static_cast<QLineEdit*>(Widget());
    e->deselect();
    KeepCaret();
    e->backspace();
}

void TMaskEdit::SetEditMask(const std::string& mask)
{
    // Our masks: fields separated by ';' (picture; keep literals; blank character). In the
    // picture '0' is a required digit and '9' an optional one; '!' only trims and is dropped.
    std::string picture = mask, blank = "_";
    size_t semi = mask.find(';');
    if (semi != std::string::npos) {
        picture = mask.substr(0, semi);
        size_t semi2 = mask.find(';', semi + 1);
        if (semi2 != std::string::npos && semi2 + 1 < mask.size()) blank = mask.substr(semi2 + 1, 1);
    }
    std::string qt;
    for (char c : picture) {
        if (c == '!') continue;
        if (c == '0') qt += '9';
        else if (c == '9') qt += '0';
        else if (c == 'L' || c == 'l' || c == 'A' || c == 'a' || c == 'C' || c == 'c') qt += c;
        else {
            if (std::string("9a0AnNXxDdHhBb#<>!\\[]{}").find(c) != std::string::npos) qt += '\\';
            qt += c;
        }
    }
    fMasked = !picture.empty();
    fBlank = blank[0];
    static_cast<QLineEdit*>(Widget())->setInputMask(fMasked ? QString::fromStdString(qt + ";" + blank) : QString());
}

std::string TMaskEdit::Text() const
{
    if (!fMasked) return TEdit::Text();
    // The text with its literals, each blank position as a blank.
    std::string s = static_cast<QLineEdit*>(Widget())->displayText().toStdString();
    for (char& c : s)
        if (c == fBlank) c = ' ';
    return s;
}

TMemo::TMemo(TComponent* owner) : TCustomMemo(owner)
{
    fClickOnRelease = false;
    auto* e = new QPlainTextEdit;
    fLines = std::make_unique<TMemoLines>(e);
    QObject::connect(e, &QPlainTextEdit::textChanged, [this] {
        if (OnChange) RunGuarded([this] { OnChange(this); });
    });
    SetWidget(e);
    SetBounds(0, 0, 185, 89);
    SetColor(clWindow);
}

TMemo::~TMemo() = default;

bool TMemo::AtEnd() const
{
    const QScrollBar* bar = static_cast<QPlainTextEdit*>(Widget())->verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void TMemo::ScrollToEnd()
{
    auto* e = static_cast<QPlainTextEdit*>(Widget());
    e->moveCursor(QTextCursor::End);
    e->ensureCursorVisible();
    e->verticalScrollBar()->setValue(e->verticalScrollBar()->maximum());
}

std::string TMemo::Text() const
{
    return static_cast<QPlainTextEdit*>(Widget())->toPlainText().toStdString();
}

void TMemo::SetText(const std::string& s)
{
    static_cast<QPlainTextEdit*>(Widget())->setPlainText(QString::fromStdString(s));
}

void TMemo::SetReadOnly(bool v)
{
    static_cast<QPlainTextEdit*>(Widget())->setReadOnly(v);
}

void TMemo::SetWordWrap(bool v)
{
    static_cast<QPlainTextEdit*>(Widget())->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::ColorChanged()
{
    ApplyBaseColor(Widget(), Color());
}

void TMemo::FontApplied()
{
    ApplyFontColor(Widget(), Font());
}

// ---- lists ----

TListBox::TListBox(TComponent* owner) : TWinControl(owner)
{
    fClickOnRelease = false;
    auto* l = new QListWidget;
    fItems = std::make_unique<TListBoxItems>(this, l);
    QObject::connect(l, &QListWidget::itemClicked, [this] { RunGuarded([this] { Click(); }); });
    SetWidget(l);
    SetBounds(0, 0, 121, 97);
    SetColor(clWindow);
}

TListBox::~TListBox() = default;

int TListBox::ItemIndex() const
{
    return static_cast<QListWidget*>(Widget())->currentRow();
}

void TListBox::SetItemIndex(int i)
{
    auto* l = static_cast<QListWidget*>(Widget());
    l->setCurrentRow(i);
    if (i < 0) l->clearSelection();
}

void TListBox::SetSorted(bool v)
{
    fSorted = v;
    if (v) {
        TStringList all = fItems->ToStringList();
        std::stable_sort(all.lines.begin(), all.lines.end(), [](const std::string& a, const std::string& b) { return CompareItems(a, b) < 0; });
        fItems->Clear();
        for (const std::string& s : all.lines) fItems->Insert(fItems->Count(), s);
    }
}

void TListBox::ColorChanged()
{
    ApplyBaseColor(Widget(), Color());
}

void TListBox::FontApplied()
{
    ApplyFontColor(Widget(), Font());
}

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner)
{
    fClickOnRelease = false;
    auto* c = new QComboBox;
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    fItems = std::make_unique<TComboItems>(this, c);
    QObject::connect(c, &QComboBox::activated, [this] {
        RunGuarded([this] {
            Click();
            if (OnChange) OnChange(this);
        });
    });
    QObject::connect(c, &QComboBox::editTextChanged, [this, c] {
        if (OnChange && c->lineEdit() && c->lineEdit()->isModified()) RunGuarded([this] { OnChange(this); });
    });
    SetWidget(c);
    if (c->lineEdit()) {
        c->lineEdit()->setProperty(kControlProperty, QVariant::fromValue<void*>(static_cast<TControl*>(this)));
        c->lineEdit()->installEventFilter(Router());
    }
    SetBounds(0, 0, 145, 21);
    SetColor(clWindow);
}

TComboBox::~TComboBox() = default;

int TComboBox::ItemIndex() const
{
    auto* c = static_cast<QComboBox*>(Widget());
    int i = c->currentIndex();
    // An editable box whose text was typed over has no selected item.
    if (i >= 0 && c->isEditable() && c->currentText() != c->itemText(i)) return -1;
    return i;
}

void TComboBox::SetItemIndex(int i)
{
    auto* c = static_cast<QComboBox*>(Widget());
    c->setCurrentIndex(i);
    if (i < 0 && c->isEditable()) c->setEditText(QString());
}

std::string TComboBox::Text() const
{
    return static_cast<QComboBox*>(Widget())->currentText().toStdString();
}

void TComboBox::SetText(const std::string& s)
{
    auto* c = static_cast<QComboBox*>(Widget());
    QString t = QString::fromStdString(s);
    if (c->isEditable()) {
        c->setEditText(t);
    } else {
        c->setCurrentIndex(c->findText(t));
    }
}

void TComboBox::SetStyle(TComboBoxStyle s)
{
    auto* c = static_cast<QComboBox*>(Widget());
    c->setEditable(s == csDropDown);
    if (s == csDropDown) {
        c->setInsertPolicy(QComboBox::NoInsert);
        c->lineEdit()->setProperty(kControlProperty, QVariant::fromValue<void*>(static_cast<TControl*>(this)));
        c->lineEdit()->installEventFilter(Router());
    }
    // An empty field would look the same whether the choice was cleared or a click beside the
    // open list was taken for a choice; the sign says plainly that nothing is chosen.
    c->setPlaceholderText(s == csDropDownList ? QString::fromUtf8(NothingChosen) : QString());
}

void TComboBox::SetSorted(bool v)
{
    fSorted = v;
    if (v) {
        TStringList all = fItems->ToStringList();
        std::stable_sort(all.lines.begin(), all.lines.end(), [](const std::string& a, const std::string& b) { return CompareItems(a, b) < 0; });
        fItems->Clear();
        for (const std::string& s : all.lines) fItems->Insert(fItems->Count(), s);
    }
}

void TComboBox::FontApplied()
{
    ApplyFontColor(Widget(), Font());
}

// ---- check and radio buttons, group boxes ----

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner)
{
    fClickOnRelease = false;
    auto* b = new QCheckBox;
    QObject::connect(b, &QCheckBox::clicked, [this] { RunGuarded([this] { Click(); }); });
    SetWidget(b);
    SetBounds(0, 0, 97, 17);
}

bool TCheckBox::Checked() const { return static_cast<QCheckBox*>(Widget())->isChecked(); }
void TCheckBox::SetChecked(bool v) { static_cast<QCheckBox*>(Widget())->setChecked(v); }
void TCheckBox::CaptionChanged() { static_cast<QCheckBox*>(Widget())->setText(QString::fromStdString(Caption())); }
void TCheckBox::FontApplied() { ApplyFontColor(Widget(), Font()); }

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner)
{
    fClickOnRelease = false;
    auto* b = new QRadioButton;
    QObject::connect(b, &QRadioButton::clicked, [this] { RunGuarded([this] { Click(); }); });
    SetWidget(b);
    SetBounds(0, 0, 113, 17);
}

bool TRadioButton::Checked() const { return static_cast<QRadioButton*>(Widget())->isChecked(); }
void TRadioButton::SetChecked(bool v) { static_cast<QRadioButton*>(Widget())->setChecked(v); }
void TRadioButton::CaptionChanged() { static_cast<QRadioButton*>(Widget())->setText(QString::fromStdString(Caption())); }
void TRadioButton::FontApplied() { ApplyFontColor(Widget(), Font()); }

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner)
{
    auto* g = new QGroupBox;
    SetWidget(g);
    WatchClientWidget(g);
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::CaptionChanged() { static_cast<QGroupBox*>(Widget())->setTitle(QString::fromStdString(Caption())); }
void TGroupBox::FontApplied() { ApplyFontColor(Widget(), Font()); }

TRadioGroup::TRadioGroup(TComponent* owner) : TGroupBox(owner)
{
    fItems = std::make_unique<TListStrings>([this] { Rebuild(); });
    Widget()->setLayout(new QVBoxLayout);
}

TRadioGroup::~TRadioGroup() = default;

void TRadioGroup::Rebuild()
{
    QLayout* lay = Widget()->layout();
    while (QLayoutItem* it = lay->takeAt(0)) {
        delete it->widget();
        delete it;
    }
    for (int i = 0; i < fItems->Count(); ++i) {
        auto* b = new QRadioButton(QString::fromStdString(fItems->Get(i)));
        QObject::connect(b, &QRadioButton::clicked, [this] { RunGuarded([this] { Click(); }); });
        lay->addWidget(b);
    }
}

int TRadioGroup::ItemIndex() const
{
    QLayout* lay = Widget()->layout();
    for (int i = 0; i < lay->count(); ++i)
        if (auto* b = qobject_cast<QRadioButton*>(lay->itemAt(i)->widget()); b && b->isChecked()) return i;
    return -1;
}

void TRadioGroup::SetItemIndex(int i)
{
    QLayout* lay = Widget()->layout();
    for (int k = 0; k < lay->count(); ++k)
        if (auto* b = qobject_cast<QRadioButton*>(lay->itemAt(k)->widget())) {
            b->setAutoExclusive(false);
            b->setChecked(k == i);
            b->setAutoExclusive(true);
        }
}

// ---- TImage ----

TImage::TImage(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 105, 105);
}

void TImage::SetPictureName(const std::string& name)
{
    fImage = FindBitmap(name);
    Invalidate();
}

void TImage::SetPicture(const QImage& image)
{
    fImage = image;
    Invalidate();
}

void TImage::Paint()
{
    if (fImage.isNull()) return;
    if (Stretch)
        Canvas().StretchDraw({0, 0, Width(), Height()}, fImage);
    else if (Center)
        Canvas().DrawImage((Width() - fImage.width()) / 2, (Height() - fImage.height()) / 2, fImage);
    else
        Canvas().DrawImage(0, 0, fImage);
}

// ---- TStatusBar ----

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

void TStatusBar::AddPanel(int width, const std::string& text, TStatusPanelStyle style)
{
    fPanels.push_back({width, text, style});
    Invalidate();
}

void TStatusBar::SetPanelText(int i, const std::string& text)
{
    Panels(i).Text = text;
    Invalidate();
}

void TStatusBar::SetPanelStyle(int i, TStatusPanelStyle s)
{
    Panels(i).Style = s;
    Invalidate();
}

void TStatusBar::Paint()
{
    QPainter& p = *Canvas().Painter();
    p.fillRect(0, 0, Width(), Height(), ToQColor(Color()));
    int x = 0;
    for (int i = 0; i < PanelCount(); ++i) {
        // The last panel takes the rest of the bar.
        int w = i + 1 == PanelCount() ? std::max(fPanels[static_cast<size_t>(i)].Width, Width() - x) : fPanels[static_cast<size_t>(i)].Width;
        TRect r{x, 2, x + w - 2, Height()};
        DrawBevel(p, QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top), bvLowered, 1);
        DrawPanel(i, r);
        x += w;
    }
}

void TStatusBar::DrawPanel(int index, const TRect& r)
{
    TCanvas& c = Canvas();
    c.Brush.Style = bsClear;
    c.Font = Font();
    c.TextRect(r, r.Left + 2, r.Top + 1, fPanels[static_cast<size_t>(index)].Text);
    c.Brush.Style = bsSolid;
}

// ---- page control ----

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner)
{
    auto* t = new QTabWidget;
    QObject::connect(t, &QTabWidget::currentChanged, [this] {
        if (OnChange) RunGuarded([this] { OnChange(this); });
    });
    SetWidget(t);
    SetBounds(0, 0, 289, 193);
}

void TPageControl::InsertControl(TControl* c)
{
    if (c->InheritsFromClassName("TTabSheet")) {
        TWinControl::InsertControl(c);
        static_cast<QTabWidget*>(Widget())->addTab(c->Widget(), QString::fromStdString(c->Caption()));
        return;
    }
    TWinControl::InsertControl(c);
}

int TPageControl::PageCount() const
{
    return static_cast<QTabWidget*>(Widget())->count();
}

TTabSheet* TPageControl::ActivePage() const
{
    QWidget* w = static_cast<QTabWidget*>(Widget())->currentWidget();
    TControl* c = w ? ControlOf(w) : nullptr;
    return c ? static_cast<TTabSheet*>(c) : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* p)
{
    if (p) static_cast<QTabWidget*>(Widget())->setCurrentWidget(p->Widget());
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner)
{
    auto* w = new QWidget;
    SetWidget(w);
    WatchClientWidget(w);
}

void TTabSheet::CaptionChanged()
{
    if (Parent() && Parent()->InheritsFromClassName("TPageControl")) {
        auto* t = static_cast<QTabWidget*>(Parent()->Widget());
        t->setTabText(t->indexOf(Widget()), QString::fromStdString(Caption()));
    }
}

// ---- TTimer ----

TTimer::TTimer(TComponent* owner) : TComponent(owner), fTimer(new QTimer)
{
    QObject::connect(fTimer, &QTimer::timeout, [this] { Tick(); });
}

TTimer::~TTimer()
{
    delete fTimer;
}

void TTimer::Update()
{
    // Runs whether or not OnTimer is set yet, so assigning the event directly works too.
    if (fEnabled && fInterval > 0)
        fTimer->start(fInterval);
    else
        fTimer->stop();
}

void TTimer::SetInterval(int ms)
{
    fInterval = ms;
    Update();
}

void TTimer::SetEnabled(bool v)
{
    fEnabled = v;
    Update();
}

void TTimer::SetOnTimer(TNotifyEvent e)
{
    OnTimer = std::move(e);
    Update();
}

bool TTimer::Active() const
{
    return fTimer->isActive();
}

void TTimer::Tick()
{
    if (SkipWhileBusy && IsBusy()) return; // a step, a modal window or a box runs: dropped
    TBusyScope busy;
    RunGuarded([this] {
        if (OnTimer) OnTimer(this);
    });
}

// ---- menus ----

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), fAction(new QAction)
{
    QObject::connect(fAction, &QAction::triggered, [this] {
        fAction->setChecked(fChecked); // the item's Checked changes only when code sets it
        RunGuarded([this] { Click(); });
    });
}

TMenuItem::~TMenuItem()
{
    for (TMenuItem* c : fItems) c->fParent = nullptr;
    if (fParent) fParent->Remove(this);
    delete fAction;
    delete fSubMenu;
}

void TMenuItem::SetCaption(const std::string& s)
{
    fCaption = s;
    fAction->setSeparator(s == "-");
    fAction->setText(QString::fromStdString(s));
    if (fSubMenu) fSubMenu->setTitle(QString::fromStdString(s));
}

void TMenuItem::SetChecked(bool v)
{
    fChecked = v;
    fAction->setCheckable(v || fAction->isCheckable());
    fAction->setChecked(v);
}

void TMenuItem::SetEnabled(bool v)
{
    fEnabled = v;
    fAction->setEnabled(v);
}

void TMenuItem::SetVisible(bool v)
{
    fVisible = v;
    fAction->setVisible(v);
}

QMenu* TMenuItem::SubMenu()
{
    if (!fSubMenu) {
        fSubMenu = new QMenu;
        fSubMenu->setTitle(QString::fromStdString(fCaption));
        fAction->setMenu(fSubMenu);
    }
    return fSubMenu;
}

void TMenuItem::Add(TMenuItem* item)
{
    if (item->fParent) item->fParent->Remove(item);
    item->fParent = this;
    fItems.push_back(item);
    SubMenu()->addAction(item->fAction);
}

void TMenuItem::Remove(TMenuItem* item)
{
    auto it = std::find(fItems.begin(), fItems.end(), item);
    if (it == fItems.end()) return;
    fItems.erase(it);
    item->fParent = nullptr;
    if (fSubMenu) fSubMenu->removeAction(item->fAction);
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* i = this;
    while (i->fParent) i = i->fParent;
    return i->fMenu;
}

void TMenuItem::Click()
{
    if (OnClick) OnClick(this);
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), fItems(new TMenuItem(this))
{
    fItems->fMenu = this;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

namespace {
TPopupHook gPopupHook;
}

TPopupHook SetPopupHook(TPopupHook h)
{
    std::swap(gPopupHook, h);
    return h;
}

void TPopupMenu::Popup(int x, int y)
{
    fLast = {x, y};
    if (OnPopup) OnPopup(this);
    if (gPopupHook)
        gPopupHook(this, x, y);
    else
        Items()->SubMenu()->popup(QPoint(x, y));
}

// ---- file dialogs ----

bool TOpenDialog::Execute()
{
    std::string name = FileName;
    std::string dir = InitialDir.empty() ? QDir::currentPath().toStdString() : InitialDir;
    if (!RunFileDialog(false, Title, Filter, dir, name)) return false;
    FileName = name;
    return true;
}

bool TSaveDialog::Execute()
{
    std::string name = FileName;
    std::string dir = InitialDir.empty() ? QDir::currentPath().toStdString() : InitialDir;
    if (!RunFileDialog(true, Title, Filter, dir, name)) return false;
    if (!DefaultExt.empty() && QFileInfo(QString::fromStdString(name)).suffix().isEmpty()) name += "." + DefaultExt;
    FileName = name;
    return true;
}
