// What only a real display with a window manager shows: which window is on top and where the
// windows land. The test starts a virtual display of 1366 x 768 with openbox and runs itself there
// on the sample station; the screen size and a folder for screenshots can be given by
// VELO_WM_SCREEN ("1024x600x24") and VELO_WM_SHOTS.
#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <filesystem>

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

// Waits until the window is shown and the window manager has had its say.
void Settled(QWidget* w)
{
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w, 5000)) << w->windowTitle().toStdString();
    QTest::qWait(300);
}

// The part of the switchboard keys and channel buttons that shows (none when scrolled away).
QRect KeysRect(TForm* main)
{
    QRect r;
    for (const char* name : {"KeyPanel", "ChannelPanel"}) {
        QWidget* w = main->FindChild<TControl>(name)->Widget();
        QRect shown = w->visibleRegion().boundingRect();
        if (!shown.isEmpty()) r |= shown.translated(w->mapToGlobal(QPoint(0, 0)));
    }
    return r;
}

void Shot(const std::string& name)
{
    const char* dir = std::getenv("VELO_WM_SHOTS");
    if (!dir) return;
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

class WindowManager : public TrainerTest {};

} // namespace

TEST_F(WindowManager, BoxesAboveTheirWindowAndToolWindowsClearOfEachOtherTheKeysAndTheDialogues)
{
    if (!std::getenv(kRunVariable)) {
        if (!OnPath("xvfb-run") || !OnPath("openbox"))
            GTEST_SKIP() << "needs xvfb-run and openbox (scripts/deps.sh installs them) to see stacking and places";
        const char* screen = std::getenv("VELO_WM_SCREEN");
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        const std::string ready = (dir / "wm-ready").string();
        // openbox tells it is up by running its start-up command; the run then goes on the display.
        const std::string script = "openbox --startup \"touch " + ready + "\" & wm=$!; i=0; "
                                   "while [ ! -e " + Quoted(ready) + " ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done; "
                                   "QT_QPA_PLATFORM=xcb " + std::string(kRunVariable) + "=1 " + Quoted(self) +
                                   " --gtest_filter=WindowManager.*; rc=$?; kill $wm; exit $rc";
        const std::string command = "cd " + Quoted(oldDir.string()) + " && xvfb-run -a -s " +
                                    Quoted(std::string("-screen 0 ") + (screen ? screen : "1366x768x24")) + " sh -c " +
                                    Quoted(script) + " > " + Quoted((dir / "wm.log").string()) + " 2>&1";
        int rc = std::system(command.c_str());
        std::ifstream log(dir / "wm.log");
        std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
        EXPECT_EQ(rc, 0) << text;
        EXPECT_NE(text.find("[  PASSED  ] 1 test"), std::string::npos) << text;
        return;
    }

    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    TfmMain* m = StartSampleStation();
    if (!m) GTEST_SKIP() << "no sample station";
    Settled(m->Widget());
    // The window manager maximises the main window in its own time.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(QTest::qWaitFor([&] { return m->Widget()->frameGeometry().width() == screen.width(); }, 5000));
    QTest::qWait(200);
    const QRect keys = KeysRect(m);
    Shot("main");

    // 1. A refusal opens over the stay-on-top dialogue that raised it and belongs to it.
    SetMessageBoxHook(nullptr);
    TForm* out = Screen().FindForm("fmTrainOut");
    out->Show();
    Settled(out->Widget());
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
    Settled(dialogue->Widget());
    std::vector<QWidget*> channels;
    for (const char* name : {"fmTrain", "fmGromk", "fmManevr"}) {
        TForm* c = Screen().FindForm(name);
        c->Show();
        Settled(c->Widget());
        channels.push_back(c->Widget());
    }
    Shot("channels");
    const QRect dialogueRect = dialogue->Widget()->frameGeometry();
    for (size_t i = 0; i < channels.size(); ++i) {
        const QRect r = channels[i]->frameGeometry();
        const std::string name = channels[i]->windowTitle().toStdString();
        EXPECT_TRUE(screen.contains(r)) << name;
        EXPECT_FALSE(r.intersects(keys)) << name;
        EXPECT_FALSE(r.intersects(dialogueRect)) << name;
        EXPECT_FALSE(r.intersects(m->Window()->menuWidget()->geometry().translated(m->Widget()->geometry().topLeft())))
            << name;
        for (size_t j = i + 1; j < channels.size(); ++j) EXPECT_FALSE(r.intersects(channels[j]->frameGeometry())) << name;
        EXPECT_EQ(OnTopAt(Centre(channels[i])), channels[i]->windowHandle()) << name << " is covered";
    }
    EXPECT_EQ(OnTopAt(Centre(dialogue->Widget())), dialogue->Widget()->windowHandle());
    for (QWidget* c : channels) c->hide();
    dialogue->Close();

    // 10. The error list and the route sections leave the keys and the channel buttons in sight.
    for (TForm* f : {static_cast<TForm*>(fmError), static_cast<TForm*>(fmSectionsRoute)}) {
        f->Show();
        Settled(f->Widget());
        EXPECT_FALSE(f->Widget()->frameGeometry().intersects(keys)) << f->Name();
    }
    Shot("tools");
    if (!keys.isEmpty()) {
        EXPECT_EQ(OnTopAt(keys.center()), m->Widget()->windowHandle());
    }
    fmError->Hide();
    fmSectionsRoute->Hide();
}
