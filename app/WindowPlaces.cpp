// Where the tool windows open (see WindowPlaces.h).
#include "app/WindowPlaces.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QRegion>
#include <QScreen>

#include <algorithm>
#include <limits>

#include "app/InterfaceModel.h"
#include "app/TrainerWindows.h"
#include "app/UtilityWindows.h"

namespace {

// The room left between windows.
constexpr int kGap = 6;

bool Touches(const QRect& r, const std::vector<QRect>& avoid)
{
    return std::any_of(avoid.begin(), avoid.end(), [&](const QRect& a) { return !a.isEmpty() && a.intersects(r); });
}

QRect Grown(const QRect& r)
{
    return r.isEmpty() ? r : r.adjusted(-kGap, -kGap, kGap, kGap);
}

// A widget's part that shows on the screen, in screen coordinates.
QRect ShownRect(const QWidget* w)
{
    if (!w || !w->isVisible()) return QRect();
    QRect r = w->visibleRegion().boundingRect();
    return r.isEmpty() ? r : r.translated(w->mapToGlobal(QPoint(0, 0)));
}

// The frame around a window's inside: the real one once shown, else what a window manager
// usually draws (a title bar and thin borders).
QMargins FrameMargins(const QWidget* w)
{
    QRect frame = w->frameGeometry(), inside = w->geometry();
    if (frame != inside)
        return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                frame.bottom() - inside.bottom()};
    return {4, 28, 4, 4};
}

} // namespace

std::optional<QPoint> NearestFreePlace(const QRect& area, QSize size, QPoint want, const std::vector<QRect>& avoid,
                                       int step)
{
    if (size.width() > area.width() || size.height() > area.height()) return std::nullopt;
    std::optional<QPoint> best;
    long long bestDistance = std::numeric_limits<long long>::max();
    auto consider = [&](int x, int y) {
        long long dx = x - want.x(), dy = y - want.y();
        long long d = dx * dx + dy * dy;
        if (d >= bestDistance || Touches(QRect(QPoint(x, y), size), avoid)) return;
        best = QPoint(x, y);
        bestDistance = d;
    };
    const int right = area.right() + 1 - size.width(), bottom = area.bottom() + 1 - size.height();
    for (int y = area.top(); y <= bottom; y += step)
        for (int x = area.left(); x <= right; x += step) consider(x, y);
    // The wanted place itself and the far edges, which the grid may step over.
    consider(std::clamp(want.x(), area.left(), right), std::clamp(want.y(), area.top(), bottom));
    for (int y = area.top(); y <= bottom; y += step) consider(right, y);
    for (int x = area.left(); x <= right; x += step) consider(x, bottom);
    return best;
}

std::vector<QPoint> ChannelWindowPlaces(const TScreenLayout& screen, const std::vector<QSize>& sizes)
{
    std::vector<QPoint> places;
    std::vector<QRect> taken;
    const int top = (screen.Menu.isEmpty() ? screen.Area.top() : screen.Menu.bottom() + 1) + 2 * kGap;
    int left = screen.Area.left() + 30;
    for (QSize size : sizes) {
        const QPoint want(left, top);
        left += size.width() + 20;
        std::optional<QPoint> place;
        for (int giveUp = 0; giveUp < 3 && !place; ++giveUp) {
            std::vector<QRect> avoid = taken;
            avoid.push_back(Grown(screen.Menu));
            if (giveUp < 2) avoid.push_back(Grown(screen.Keys));
            if (giveUp < 1) avoid.push_back(Grown(screen.Dialogues));
            place = NearestFreePlace(screen.Area, size, want, avoid);
        }
        QPoint p = place ? *place : want;
        places.push_back(p);
        taken.push_back(Grown(QRect(p, size)));
    }
    return places;
}

QPoint ToolWindowPlace(const TScreenLayout& screen, const QRect& designed, const std::vector<QRect>& others)
{
    std::vector<QRect> avoid = {Grown(screen.Keys), Grown(screen.Menu)};
    for (const QRect& o : others) avoid.push_back(Grown(o));
    if (screen.Area.contains(designed) && !Touches(designed, avoid)) return designed.topLeft();
    std::optional<QPoint> p = NearestFreePlace(screen.Area, designed.size(), designed.topLeft(), avoid);
    return p ? *p : designed.topLeft();
}

QRect FramedRect(const TForm& f)
{
    const QWidget* w = f.Widget();
    QMargins m = FrameMargins(w);
    return QRect(w->pos(), w->size().grownBy(m));
}

TScreenLayout CurrentScreenLayout()
{
    TScreenLayout s;
    if (QScreen* screen = QGuiApplication::primaryScreen()) s.Area = screen->availableGeometry();
    if (fmMain && fmMain->Widget()->isVisible()) {
        s.Menu = ShownRect(fmMain->Window()->menuWidget());
        for (const char* name : {"KeyPanel", "ChannelPanel"})
            if (auto* c = dynamic_cast<TControl*>(fmMain->FindComponent(name))) s.Keys |= ShownRect(c->Widget());
    }
    // The dialogues open in the middle of the screen, each at its own size.
    for (int i = 0; i < Screen().FormCount(); ++i) {
        auto* d = dynamic_cast<TKeyDialogForm*>(Screen().Forms(i));
        if (!d || d->Position != poScreenCenter) continue;
        QRect r = FramedRect(*d);
        r.moveTopLeft(QPoint(s.Area.x() + (s.Area.width() - d->Width()) / 2, s.Area.y() + (s.Area.height() - d->Height()) / 2));
        s.Dialogues |= r;
    }
    return s;
}

void PlaceTrainerToolWindows()
{
    static const char* const kChannels[] = {"fmTrain", "fmGromk", "fmManevr"};
    for (int slot = 0; slot < 3; ++slot) {
        TForm* f = Screen().FindForm(kChannels[slot]);
        if (!f) continue;
        f->Placement = [slot](TForm& w) {
            std::vector<QSize> sizes;
            for (const char* name : kChannels) {
                TForm* c = Screen().FindForm(name);
                sizes.push_back(c ? FramedRect(*c).size() : QSize(0, 0));
            }
            QPoint p = ChannelWindowPlaces(CurrentScreenLayout(), sizes)[static_cast<size_t>(slot)];
            w.SetBounds(p.x(), p.y(), w.Width(), w.Height());
        };
    }
    // The error list first, then the route sections clear of it; each once, where the trainee can
    // move it afterwards.
    auto once = [](TForm* f, std::function<std::vector<QRect>()> others) {
        if (!f) return;
        f->Placement = [placed = false, others](TForm& w) mutable {
            if (placed) return;
            placed = true;
            QPoint p = ToolWindowPlace(CurrentScreenLayout(), FramedRect(w), others());
            w.SetBounds(p.x(), p.y(), w.Width(), w.Height());
        };
    };
    once(fmError, [] { return std::vector<QRect>{}; });
    once(fmSectionsRoute, [] {
        if (!fmError) return std::vector<QRect>{};
        QRect error = FramedRect(*fmError);
        if (!fmError->Visible()) error.moveTopLeft(ToolWindowPlace(CurrentScreenLayout(), error));
        return std::vector<QRect>{error};
    });
}
