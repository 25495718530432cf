// Test entry: the offscreen platform before any QApplication, then the classes of the layer.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/qt/Controls.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    RegisterQtPlatformClasses();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
