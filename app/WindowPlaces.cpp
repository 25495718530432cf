// Where the tool windows open (see WindowPlaces.h).
#include "app/WindowPlaces.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QRegion>
#include <QScreen>

#include <QTimer>

#include <algorithm>
#include <limits>
#include <map>

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

// Weighted pixels of covers summed over cells of step x step pixels of area, as running sums:
// the weight a rectangle of whole cells covers is read in four look-ups.
class TCoverMap {
public:
    TCoverMap(const QRect& area, const std::vector<TCover>& covers, int step)
        : fArea(area), fStep(step), fColumns(area.width() / step + 2), fRows(area.height() / step + 2),
          fSums(static_cast<size_t>((fColumns + 1) * (fRows + 1)), 0)
    {
        for (const TCover& c : covers) {
            const QRect r = c.Rect.intersected(area);
            if (r.isEmpty()) continue;
            for (int row = (r.top() - area.top()) / step; row <= (r.bottom() - area.top()) / step; ++row)
                for (int col = (r.left() - area.left()) / step; col <= (r.right() - area.left()) / step; ++col) {
                    const QRect cell(area.left() + col * step, area.top() + row * step, step, step);
                    const QRect part = cell.intersected(r);
                    At(col + 1, row + 1) += static_cast<long long>(part.width()) * part.height() * c.Weight;
                }
        }
        for (int row = 1; row <= fRows; ++row)
            for (int col = 1; col <= fColumns; ++col)
                At(col, row) += At(col - 1, row) + At(col, row - 1) - At(col - 1, row - 1);
    }

    // The cells r touches.
    long long Weight(const QRect& r) const
    {
        auto column = [&](int x) { return std::clamp((x - fArea.left()) / fStep, 0, fColumns - 1); };
        auto row = [&](int y) { return std::clamp((y - fArea.top()) / fStep, 0, fRows - 1); };
        const int c0 = column(r.left()), c1 = column(r.right()) + 1, r0 = row(r.top()), r1 = row(r.bottom()) + 1;
        return Sum(c1, r1) - Sum(c0, r1) - Sum(c1, r0) + Sum(c0, r0);
    }

private:
    long long& At(int col, int row) { return fSums[static_cast<size_t>(row * (fColumns + 1) + col)]; }
    long long Sum(int col, int row) const { return fSums[static_cast<size_t>(row * (fColumns + 1) + col)]; }
    QRect fArea;
    int fStep, fColumns, fRows;
    std::vector<long long> fSums;
};

} // namespace

std::optional<QPoint> NearestFreePlace(const QRect& area, QSize size, QPoint want, const std::vector<QRect>& avoid,
                                       int step)
{
    return LeastCoveringPlace(area, size, want, avoid, {}, step);
}

long long CoveredWeight(const QRect& r, const std::vector<TCover>& covers)
{
    long long sum = 0;
    for (const TCover& c : covers) {
        const QRect part = c.Rect.intersected(r);
        if (!part.isEmpty()) sum += static_cast<long long>(part.width()) * part.height() * c.Weight;
    }
    return sum;
}

std::optional<QPoint> LeastCoveringPlace(const QRect& area, QSize size, QPoint want, const std::vector<QRect>& avoid,
                                         const std::vector<TCover>& covers, int step)
{
    if (size.width() > area.width() || size.height() > area.height()) return std::nullopt;
    const TCoverMap map(area, covers, step);
    std::optional<QPoint> best;
    long long bestWeight = std::numeric_limits<long long>::max(), bestDistance = bestWeight;
    auto consider = [&](int x, int y) {
        const QRect r(QPoint(x, y), size);
        const long long weight = covers.empty() ? 0 : map.Weight(r);
        if (weight > bestWeight) return;
        long long dx = x - want.x(), dy = y - want.y();
        long long d = dx * dx + dy * dy;
        if (weight == bestWeight && d >= bestDistance) return;
        if (Touches(r, avoid)) return;
        best = QPoint(x, y);
        bestWeight = weight;
        bestDistance = d;
    };
    const int right = area.right() + 1 - size.width(), bottom = area.bottom() + 1 - size.height();
    // The wanted place itself first (kept where nothing is better), then the grid and the far
    // edges, which the grid may step over.
    consider(std::clamp(want.x(), area.left(), right), std::clamp(want.y(), area.top(), bottom));
    for (int y = area.top(); y <= bottom; y += step)
        for (int x = area.left(); x <= right; x += step) consider(x, y);
    for (int y = area.top(); y <= bottom; y += step) consider(right, y);
    for (int x = area.left(); x <= right; x += step) consider(x, bottom);
    consider(right, bottom);
    return best;
}

namespace {

// The covers that count where no place is clear of the keys and the status bar: lighter than the
// diagram's tracks, so those are covered last.
std::vector<TCover> WithKeysAndStatus(const TScreenLayout& screen)
{
    std::vector<TCover> covers = screen.Diagram;
    for (const QRect& r : {screen.Keys, screen.Status})
        if (!r.isEmpty()) covers.push_back({Grown(r), kTrackWeight / 2});
    return covers;
}

} // namespace

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
            if (giveUp < 2) avoid.push_back(Grown(screen.Status));
            if (giveUp < 1) avoid.push_back(Grown(screen.Dialogues));
            place = LeastCoveringPlace(screen.Area, size, want, avoid, giveUp < 2 ? screen.Diagram : WithKeysAndStatus(screen));
        }
        QPoint p = place ? *place : want;
        places.push_back(p);
        taken.push_back(Grown(QRect(p, size)));
    }
    return places;
}

QPoint ToolWindowPlace(const TScreenLayout& screen, const QRect& designed, const std::vector<QRect>& others)
{
    std::vector<QRect> avoid = {Grown(screen.Menu)};
    for (const QRect& o : others) avoid.push_back(Grown(o));
    std::vector<QRect> clear = avoid;
    clear.push_back(Grown(screen.Keys));
    clear.push_back(Grown(screen.Status));
    std::optional<QPoint> p = LeastCoveringPlace(screen.Area, designed.size(), designed.topLeft(), clear, screen.Diagram);
    if (!p) p = LeastCoveringPlace(screen.Area, designed.size(), designed.topLeft(), avoid, WithKeysAndStatus(screen));
    if (!p) p = LeastCoveringPlace(screen.Area, designed.size(), designed.topLeft(), {}, WithKeysAndStatus(screen));
    return p ? *p : designed.topLeft();
}

QRect FramedRect(const TForm& f)
{
    const QWidget* w = f.Widget();
    return QRect(w->pos(), w->size().grownBy(f.FrameMargins()));
}

namespace {

// Elements of the diagram: the parks' tracks and the signals count most.
int DiagramWeight(const TControl& c)
{
    for (const char* track : {"TEC_Cell", "TEC_Signal", "TEC_Section", "TEC_Switch", "TEC_Peregon"})
        if (c.InheritsFromClassName(track)) return kTrackWeight;
    return kElementWeight;
}

} // namespace

TScreenLayout CurrentScreenLayout()
{
    TScreenLayout s;
    // A little in from the edges: a window manager may put a window's frame a border's width
    // beside the place asked.
    if (QScreen* screen = QGuiApplication::primaryScreen()) s.Area = screen->availableGeometry().adjusted(2, 2, -2, -2);
    if (fmMain && fmMain->Widget()->isVisible()) {
        s.Menu = ShownRect(fmMain->Window()->menuWidget());
        for (const char* name : {"KeyPanel", "ChannelPanel"})
            if (auto* c = dynamic_cast<TControl*>(fmMain->FindComponent(name))) s.Keys |= ShownRect(c->Widget());
        if (auto* c = dynamic_cast<TControl*>(fmMain->FindComponent("TrenagerStatusBar"))) s.Status = ShownRect(c->Widget());
        // The diagram: the panel's own elements as far as they show.
        QWidget* canvas = fmMain->ContentWidget();
        const QRect view = ShownRect(canvas);
        const QPoint origin = canvas->mapToGlobal(QPoint(0, 0));
        for (int i = 0; i < fmMain->ControlCount(); ++i) {
            TControl* c = fmMain->Controls(i);
            if (!c->Visible() || c->Align() != alNone || !c->Widget() || c->Widget()->parentWidget() != canvas) continue;
            const QRect r = QRect(c->Left(), c->Top(), c->Width(), c->Height()).translated(origin) & view;
            if (!r.isEmpty() && !r.intersects(s.Keys)) s.Diagram.push_back({r, DiagramWeight(*c)});
        }
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

namespace {

const char* const kChannels[] = {"fmTrain", "fmGromk", "fmManevr"};

// What the program did with each tool window: its designed place, and where and at what weight
// of the diagram it was put last.
struct TToolPlace {
    QRect Designed;
    QPoint Placed;
    long long Covered = 0;
    bool Channel = false;
    int Slot = 0;
};

std::map<TForm*, TToolPlace>& ToolPlaces()
{
    static std::map<TForm*, TToolPlace> places;
    return places;
}

// The other tool windows that show.
std::vector<QRect> OtherToolWindows(const TForm& w)
{
    std::vector<QRect> others;
    for (auto& [f, place] : ToolPlaces())
        if (f != &w && f->Widget()->isVisible()) others.push_back(FramedRect(*f));
    return others;
}

bool TouchesKeysOrStatus(const TScreenLayout& screen, const QRect& r)
{
    return Touches(r, {screen.Keys, screen.Status, screen.Menu}) || !screen.Area.contains(r);
}

void Place(TForm& w, TToolPlace& place)
{
    const TScreenLayout screen = CurrentScreenLayout();
    const QRect now = FramedRect(w);
    QPoint p;
    if (place.Channel) {
        std::vector<QSize> sizes;
        for (const char* name : kChannels) {
            TForm* c = Screen().FindForm(name);
            sizes.push_back(c ? FramedRect(*c).size() : QSize(0, 0));
        }
        p = ChannelWindowPlaces(screen, sizes)[static_cast<size_t>(place.Slot)];
    } else {
        p = ToolWindowPlace(screen, QRect(place.Designed.topLeft(), now.size()), OtherToolWindows(w));
    }
    w.SetBounds(p.x(), p.y(), w.Width(), w.Height());
    place.Placed = p;
    place.Covered = CoveredWeight(QRect(p, now.size()), screen.Diagram);
}

// Watches the panel scroll and the main window change size.
class TPanelWatch : public QObject {
public:
    bool eventFilter(QObject*, QEvent* ev) override
    {
        if ((ev->type() == QEvent::Move || ev->type() == QEvent::Resize) && !fPending) {
            fPending = true;
            QTimer::singleShot(0, this, [this] {
                fPending = false;
                KeepToolWindowsClear();
            });
        }
        return false;
    }

private:
    bool fPending = false;
};

} // namespace

void KeepToolWindowsClear()
{
    if (!fmMain) return;
    const TScreenLayout screen = CurrentScreenLayout();
    for (auto& [f, place] : ToolPlaces()) {
        QWidget* w = f->Widget();
        if (!w->isVisible()) continue;
        const QRect now = FramedRect(*f);
        // A place the trainee chose stays while it leaves the keys and the status bar free.
        const bool ours = now.topLeft() == place.Placed;
        if (TouchesKeysOrStatus(screen, now) ||
            (ours && (CoveredWeight(now, screen.Diagram) > place.Covered || Touches(now, OtherToolWindows(*f)))))
            RunGuarded([&, f = f, &place = place] { Place(*f, place); });
    }
}

void PlaceTrainerToolWindows()
{
    ToolPlaces().clear();
    auto add = [](TForm* f, bool channel, int slot) {
        if (!f) return;
        ToolPlaces()[f] = TToolPlace{FramedRect(*f), QPoint(-1, -1), 0, channel, slot};
        f->Placement = [](TForm& w) {
            auto it = ToolPlaces().find(&w);
            if (it != ToolPlaces().end()) Place(w, it->second);
        };
    };
    for (int slot = 0; slot < 3; ++slot) add(Screen().FindForm(kChannels[slot]), true, slot);
    for (TForm* f : std::initializer_list<TForm*>{fmError, fmSectionsRoute, fmInfo, fmActiveHelp}) add(f, false, 0);
    if (fmMain) {
        // Goes with the main window.
        auto* watch = new TPanelWatch;
        watch->setParent(fmMain->Widget());
        fmMain->ContentWidget()->installEventFilter(watch);
        fmMain->Widget()->installEventFilter(watch);
    }
}
