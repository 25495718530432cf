// What only a real display with a window manager shows: which window is on top and where the
// windows land. The test starts a virtual display of 1366 x 768 with openbox and runs itself there
// on the sample station; the screen size and a folder for screenshots can be given by
// VELO_WM_SCREEN ("1024x600x24") and VELO_WM_SHOTS.
#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TrainerFixture.h"
#include "app/UtilityWindows.h"
#include "app/dialogues/SwitchboardTalks.h"

namespace {

constexpr const char* kRunVariable = "VELO_WM_RUN";

bool OnPath(const std::string& tool)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    for (size_t start = 0; start <= dirs.size();) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::path(dirs.substr(start, end - start)) / tool, ec)) return true;
        start = end + 1;
    }
    return false;
}

std::string Quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The window that the X server shows at a point of the screen (the window manager's stacking).
QWindow* OnTopAt(QPoint p)
{
    return QGuiApplication::topLevelAt(p);
}

QPoint Centre(const QWidget* w)
{
    return w->frameGeometry().center();
}

std::string Describe(const QRect& r)
{
    std::ostringstream s;
    s << r.width() << "x" << r.height() << "+" << r.x() << "+" << r.y();
    return s.str();
}

// Waits until the window shows and the window manager has framed it (Qt has its frame extents;
// on a window shown again it may not ask for them again, and keeps the ones it had); false when
// it does not show.
bool Settled(QWidget* w)
{
    if (!QTest::qWaitForWindowExposed(w, 10000)) return false;
    if (w->windowFlags() & Qt::FramelessWindowHint) return true;
    (void)QTest::qWaitFor([&] { return w->frameGeometry() != w->geometry(); }, 2000);
    return true;
}

// The window's frame: as the window manager told it, else the form's last known one.
QRect Frame(TForm* f)
{
    const QWidget* w = f->Widget();
    if (w->frameGeometry() != w->geometry()) return w->frameGeometry();
    return w->geometry().marginsAdded(f->FrameMargins());
}

// The part of a control of the main window that shows (none when scrolled away), on the screen.
QRect ShownPart(TForm* main, const char* name)
{
    QWidget* w = main->FindChild<TControl>(name)->Widget();
    QRect shown = w->visibleRegion().boundingRect();
    return shown.isEmpty() ? shown : shown.translated(w->mapToGlobal(QPoint(0, 0)));
}

// The part of the switchboard keys and channel buttons that shows.
QRect KeysRect(TForm* main)
{
    return ShownPart(main, "KeyPanel") | ShownPart(main, "ChannelPanel");
}

QScrollArea* PanelScroll(TForm* main)
{
    return main->Widget()->findChild<QScrollArea*>();
}

// Turns the mouse wheel of the X server over a point, notches down (negative: up), with Shift
// held for sideways.
void TurnWheel(QPoint at, int notches, bool shift = false)
{
    std::string command = "xdotool mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y());
    if (shift) command += " keydown shift";
    command += " click --repeat " + std::to_string(std::abs(notches)) + (notches > 0 ? " 5" : " 4");
    if (shift) command += " keyup shift";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// A point of the shown panel that no shown tool window covers.
QPoint PanelPointClear(TForm* main, const std::vector<TForm*>& windows)
{
    QWidget* view = main->ContentWidget()->parentWidget();
    for (int y = 10; y < view->height(); y += 20)
        for (int x = 10; x < view->width(); x += 20) {
            const QPoint p = view->mapToGlobal(QPoint(x, y));
            bool covered = false;
            for (TForm* f : windows) covered |= f->Widget()->isVisible() && f->Widget()->frameGeometry().adjusted(-8, -8, 8, 8).contains(p);
            if (!covered) return p;
        }
    return view->mapToGlobal(QPoint(10, 10));
}

std::string ShotPrefix()
{
    const QRect s = QGuiApplication::primaryScreen()->geometry();
    return std::to_string(s.width()) + "x" + std::to_string(s.height()) + "-";
}

// A picture of the whole screen as the X server shows it (ImageMagick's import where present).
void Shot(const std::string& name)
{
    const char* dir = std::getenv("VELO_WM_SHOTS");
    if (!dir) return;
    // What the window manager's last moves uncovered is painted before the picture is taken.
    QApplication::processEvents();
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t->isVisible()) t->repaint();
    QApplication::processEvents();
    const std::string path = std::string(dir) + "/" + ShotPrefix() + name + ".png";
    if (OnPath("import") && std::system(("import -window root " + Quoted(path)).c_str()) == 0) return;
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(path));
}

// Runs this program's test of that name on a virtual display of its own for each screen size
// (VELO_WM_SCREEN, when given, instead), with openbox as its window manager; what the inside run
// printed is shown when it fails.
void RunOnDisplaysOfTheirOwn(const std::filesystem::path& dir, const std::filesystem::path& oldDir, const std::string& test,
                             std::vector<std::string> screens)
{
    if (!OnPath("Xvfb") || !OnPath("openbox") || !OnPath("xdotool"))
        GTEST_SKIP() << "needs Xvfb, openbox and xdotool (scripts/deps.sh installs them) to see stacking and places";
    if (const char* screen = std::getenv("VELO_WM_SCREEN")) screens = {screen};
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    for (const std::string& screen : screens) {
        const std::filesystem::path run = dir / ("wm-" + screen);
        std::filesystem::create_directories(run);
        const std::string display = (run / "display").string(), ready = (run / "ready").string();
        // Xvfb takes a free display number itself and writes it when it is ready for clients;
        // openbox tells it is up by running its start-up command.
        const std::string script =
            "Xvfb -displayfd 3 -nolisten tcp -screen 0 " + screen + " 3>" + Quoted(display) + " 2>/dev/null & xv=$!; "
            "i=0; while [ ! -s " + Quoted(display) + " ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done; "
            "DISPLAY=:$(head -n 1 " + Quoted(display) + "); export DISPLAY; "
            "openbox --startup " + Quoted("touch " + Quoted(ready)) + " & wm=$!; "
            "i=0; while [ ! -e " + Quoted(ready) + " ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done; "
            "QT_QPA_PLATFORM=xcb " + std::string(kRunVariable) + "=1 " + Quoted(self) + " --gtest_filter=" + Quoted(test) +
            "; rc=$?; kill $wm; kill $xv; wait; exit $rc";
        const std::string log = (run / "wm.log").string();
        const std::string command = "cd " + Quoted(oldDir.string()) + " && sh -c " + Quoted(script) + " > " + Quoted(log) + " 2>&1";
        const int rc = std::system(command.c_str());
        std::ifstream in(log);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(rc, 0) << "on " << screen << ":\n" << text;
        EXPECT_NE(text.find("[  PASSED  ] 1 test"), std::string::npos) << "on " << screen << ":\n" << text;
    }
}

} // namespace

class WindowManager : public TrainerTest {
protected:
    // Starts the sample station maximised by the window manager; null when there is none.
    static TfmMain* StartMaximised()
    {
        TfmMain* m = StartSampleStation();
        if (!m) return nullptr;
        EXPECT_TRUE(Settled(m->Widget()));
        // The window manager maximises the main window in its own time.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(QTest::qWaitFor([&] { return m->Widget()->frameGeometry().width() == screen.width(); }, 10000))
            << "main window " << Describe(m->Widget()->frameGeometry()) << " on " << Describe(screen);
        return m;
    }
};

TEST_F(WindowManager, BoxesAboveTheirWindowAndToolWindowsClearOfEachOtherTheKeysAndTheDialogues)
{
    if (!std::getenv(kRunVariable)) {
        RunOnDisplaysOfTheirOwn(dir, oldDir, "WindowManager.BoxesAboveTheirWindowAndToolWindowsClearOfEachOtherTheKeysAndTheDialogues",
                                {"1366x768x24"});
        return;
    }
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    TfmMain* m = StartMaximised();
    if (!m) GTEST_SKIP() << "no sample station";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect keys = KeysRect(m);
    Shot("main");

    // 1. A refusal opens over the stay-on-top dialogue that raised it and belongs to it.
    SetMessageBoxHook(nullptr);
    TForm* out = Screen().FindForm("fmTrainOut");
    out->Show();
    EXPECT_TRUE(Settled(out->Widget()));
    QWidget* boxParent = nullptr;
    QWindow *atBox = nullptr, *boxWindow = nullptr;
    bool overDialogue = false;
    std::string boxText;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        poll.stop();
        Settled(box);
        // The window manager stacks the box over its window once it has framed it.
        EXPECT_TRUE(QTest::qWaitFor([&] { return OnTopAt(Centre(box)) == box->windowHandle(); }, 5000));
        boxText = box->text().toStdString();
        boxParent = box->parentWidget();
        boxWindow = box->windowHandle();
        atBox = OnTopAt(Centre(box));
        overDialogue = out->Widget()->frameGeometry().contains(Centre(box));
        Shot("refusal");
        box->accept();
    });
    poll.start();
    QTest::mouseClick(out->FindChild<TButton>("btOK")->Widget(), Qt::LeftButton);
    EXPECT_EQ(boxText, kIncompleteDepartureTime);
    EXPECT_EQ(boxParent, out->Widget());
    EXPECT_EQ(atBox, boxWindow) << "the box is hidden at its centre";
    EXPECT_TRUE(overDialogue);
    out->Close();

    // 3. The channel windows, each at its own place, with a dialogue open.
    TForm* dialogue = Screen().FindForm("fmPribivaetR");
    dialogue->Show();
    EXPECT_TRUE(Settled(dialogue->Widget()));
    std::vector<QWidget*> channels;
    for (const char* name : {"fmTrain", "fmGromk", "fmManevr"}) {
        TForm* c = Screen().FindForm(name);
        c->Show();
        EXPECT_TRUE(Settled(c->Widget())) << name;
        channels.push_back(c->Widget());
    }
    for (QWidget* c : channels)
        EXPECT_TRUE(QTest::qWaitFor([&] { return OnTopAt(Centre(c)) == c->windowHandle(); }, 5000));
    Shot("channels");
    const QRect dialogueRect = dialogue->Widget()->frameGeometry();
    for (size_t i = 0; i < channels.size(); ++i) {
        const QRect r = channels[i]->frameGeometry();
        const std::string name = channels[i]->windowTitle().toStdString() + " at " + Describe(r);
        EXPECT_TRUE(screen.contains(r)) << name;
        EXPECT_FALSE(r.intersects(keys)) << name << " keys " << Describe(keys);
        EXPECT_FALSE(r.intersects(dialogueRect)) << name << " dialogue " << Describe(dialogueRect);
        EXPECT_FALSE(r.intersects(m->Window()->menuWidget()->geometry().translated(m->Widget()->geometry().topLeft())))
            << name;
        for (size_t j = i + 1; j < channels.size(); ++j)
            EXPECT_FALSE(r.intersects(channels[j]->frameGeometry())) << name << " " << Describe(channels[j]->frameGeometry());
        EXPECT_EQ(OnTopAt(Centre(channels[i])), channels[i]->windowHandle()) << name << " is covered";
    }
    EXPECT_EQ(OnTopAt(Centre(dialogue->Widget())), dialogue->Widget()->windowHandle());
    for (QWidget* c : channels) c->hide();
    dialogue->Close();

    // 10. The error list and the route sections leave the keys and the channel buttons in sight.
    for (TForm* f : {static_cast<TForm*>(fmError), static_cast<TForm*>(fmSectionsRoute)}) {
        f->Show();
        EXPECT_TRUE(Settled(f->Widget())) << f->Name();
        EXPECT_FALSE(f->Widget()->frameGeometry().intersects(keys))
            << f->Name() << " at " << Describe(f->Widget()->frameGeometry()) << " keys " << Describe(keys);
    }
    Shot("tools");
    if (!keys.isEmpty()) {
        EXPECT_EQ(OnTopAt(keys.center()), m->Widget()->windowHandle());
    }
    fmError->Hide();
    fmSectionsRoute->Hide();
}

namespace {

bool IsToolWindow(const std::string& name)
{
    for (const char* tool : {"fmError", "fmSectionsRoute", "fmInfo", "fmActiveHelp", "fmTrain", "fmGromk", "fmManevr"})
        if (name == tool) return true;
    return false;
}

} // namespace

TEST_F(WindowManager, EveryWindowWhollyOnTheScreenTheToolWindowsOffTheKeysAndTheWheelScrollsThePanel)
{
    if (!std::getenv(kRunVariable)) {
        RunOnDisplaysOfTheirOwn(dir, oldDir,
                                "WindowManager.EveryWindowWhollyOnTheScreenTheToolWindowsOffTheKeysAndTheWheelScrollsThePanel",
                                {"1366x768x24", "1024x600x24"});
        return;
    }
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    TfmMain* m = StartMaximised();
    if (!m) GTEST_SKIP() << "no sample station";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect status = ShownPart(m, "TrenagerStatusBar");
    QScrollArea* scroll = PanelScroll(m);
    ASSERT_NE(scroll, nullptr);
    QScrollBar* down = scroll->verticalScrollBar();
    QScrollBar* across = scroll->horizontalScrollBar();
    // A scroll bar shows only where the panel does not fit.
    const QSize panel = m->ContentWidget()->childrenRect().united(QRect(0, 0, 1, 1)).size();
    const bool fits = panel.width() <= scroll->width() && panel.height() <= scroll->height();
    if (fits) {
        EXPECT_FALSE(down->isVisible());
        EXPECT_FALSE(across->isVisible());
    }

    // Every window by itself: its frame wholly on the screen, a tool window off the keys and the
    // status bar, with the panel scrolled to the top and then to the keys.
    auto checkAll = [&](const std::string& when, bool toolsOnly) {
        for (const std::string& name : TrainerWindowNames()) {
            if (name == "fmMain" || (toolsOnly && !IsToolWindow(name) && name != "fmElectroMex")) continue;
            TForm* f = Screen().FindForm(name);
            QWidget* w = f->Widget();
            f->Show();
            EXPECT_TRUE(Settled(w)) << name << " " << when << ": exposed " << w->windowHandle()->isExposed() << " frame "
                                    << Describe(w->frameGeometry()) << " inside " << Describe(w->geometry());
            EXPECT_TRUE(QTest::qWaitFor([&] { return screen.contains(Frame(f)); }, 5000)) << name;
            const QRect frame = Frame(f), keys = KeysRect(m);
            EXPECT_TRUE(screen.contains(frame)) << name << " " << when << ": frame " << Describe(frame) << " screen "
                                                << Describe(screen);
            if (auto* ok = dynamic_cast<TButton*>(f->FindComponent("btOK")); ok && !f->AutoScroll()) {
                const QRect button(ok->Widget()->mapToGlobal(QPoint(0, 0)), ok->Widget()->size());
                EXPECT_TRUE(screen.contains(button)) << name << " " << when << ": OK at " << Describe(button);
            }
            if (IsToolWindow(name)) {
                EXPECT_FALSE(frame.intersects(keys)) << name << " " << when << ": frame " << Describe(frame) << " keys "
                                                     << Describe(keys);
                EXPECT_FALSE(frame.intersects(status)) << name << " " << when << ": frame " << Describe(frame) << " status "
                                                       << Describe(status);
            }
            if (name == "fmElectroMex") Shot("electromex-" + when);
            // Closing the start dialogue ends the program; it is only put away.
            if (name == "fmStartState")
                f->Hide();
            else
                f->Close();
            w->hide();
            EXPECT_TRUE(m->Widget()->isVisible()) << name << " took the main window with it";
            EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 5000));
        }
    };
    checkAll("top", false);

    // The wheel over the panel scrolls it (Shift: sideways).
    QWidget* signal = m->FindChild<TControl>("EC_Signal181")->Widget();
    const QPoint over = signal->mapToGlobal(signal->rect().center());
    if (down->maximum() > 0) {
        TurnWheel(over, 2);
        EXPECT_TRUE(QTest::qWaitFor([&] { return down->value() > 0; }, 5000)) << "the wheel did not scroll the panel";
        TurnWheel(over, 50);
        EXPECT_TRUE(QTest::qWaitFor([&] { return down->value() == down->maximum(); }, 5000));
    }
    if (across->maximum() > 0) {
        TurnWheel(over, 2, true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return across->value() > 0; }, 5000)) << "Shift+wheel did not scroll sideways";
    }
    if (down->maximum() > 0) checkAll("scrolled", true);

    // The error list shown, the panel scrolled up and back down to the keys: the list moves off
    // them again.
    fmError->Show();
    EXPECT_TRUE(Settled(fmError->Widget()));
    if (down->maximum() > 0) {
        TurnWheel(PanelPointClear(m, {fmError, fmInfo, fmActiveHelp}), -50);
        EXPECT_TRUE(QTest::qWaitFor([&] { return down->value() == 0; }, 5000));
        TurnWheel(PanelPointClear(m, {fmError, fmInfo, fmActiveHelp}), 50);
        EXPECT_TRUE(QTest::qWaitFor([&] { return down->value() == down->maximum(); }, 5000));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Frame(fmError).intersects(KeysRect(m)); }, 5000))
        << "error list " << Describe(Frame(fmError)) << " keys " << Describe(KeysRect(m));
    Shot("errors-scrolled");
    fmError->Hide();

    // The information and help windows beside the panel, off the keys and the status bar.
    if (down->maximum() > 0) {
        TurnWheel(PanelPointClear(m, {fmError, fmInfo, fmActiveHelp}), -50);
        EXPECT_TRUE(QTest::qWaitFor([&] { return down->value() == 0; }, 5000));
    }
    fmActiveHelp->AppendHelpLine("4 38 Прийміть поїзд 2001 на колію 2П");
    for (TForm* f : {static_cast<TForm*>(fmInfo), static_cast<TForm*>(fmActiveHelp)}) {
        f->Show();
        EXPECT_TRUE(Settled(f->Widget())) << f->Name();
    }
    for (TForm* f : {static_cast<TForm*>(fmInfo), static_cast<TForm*>(fmActiveHelp)}) {
        const QRect frame = Frame(f);
        EXPECT_FALSE(frame.intersects(KeysRect(m))) << f->Name() << " " << Describe(frame);
        EXPECT_FALSE(frame.intersects(status)) << f->Name() << " " << Describe(frame);
        const QRect other = Frame(fmInfo == f ? fmActiveHelp : static_cast<TForm*>(fmInfo));
        EXPECT_FALSE(frame.intersects(other)) << f->Name() << " " << Describe(frame) << " over " << Describe(other);
    }
    Shot("info-help");
    fmInfo->Hide();
    fmActiveHelp->Hide();
}
