// Test runner for the panel library: a widget application on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "panel/PanelClasses.h"
#include "platform/qt/Controls.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterQtPlatformClasses();
    RegisterPanelBitmaps();
    RegisterPanelClasses();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
