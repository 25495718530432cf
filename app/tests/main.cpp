// Test entry: the offscreen platform (but for the window manager run) before the application object, the C numeric locale after
// it (Qt sets the process locale), then the program's classes.
#include <clocale>

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/TrainerClasses.h"
#include "app/dialogues/DialogueWindows.h"

namespace {

// Ending the program (closing the main window, "Вихід") with no main loop running - as every test
// does - leaves the thread's quit request standing, and each later event loop, a modal window's
// included, would end at once. Running the main loop once and ending it clears the request and
// the events a test left behind, so no test depends on those that ran before it.
class TClearQuitRequest : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
};

} // namespace

int main(int argc, char** argv)
{
    // The window manager test runs itself again on a virtual display (WindowManagerTest.cpp).
    if (!qEnvironmentVariableIsSet("VELO_WM_RUN")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setQuitOnLastWindowClosed(false);
    RegisterTrainerClasses();
    RegisterDialogueWindows();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TClearQuitRequest);
    return RUN_ALL_TESTS();
}
