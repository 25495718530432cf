// Test entry: the offscreen platform (but for the window manager run) before the application object, the C numeric locale after
// it (Qt sets the process locale), then the program's classes.
#include <clocale>

#include <QApplication>
#include <gtest/gtest.h>

#include "app/TrainerClasses.h"
#include "app/dialogues/DialogueWindows.h"

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
    return RUN_ALL_TESTS();
}
