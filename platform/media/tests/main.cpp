// Test main of the sound and picture layer: a Qt application object for the event loop, no screen.
#include <gtest/gtest.h>

#include <filesystem>

#include <QCoreApplication>

#include "platform/media/sound/SoundOutput.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // The tests write their clips (temp.wav and the like) into the working directory: use the
    // process's own scratch folder, never the source tree.
    std::filesystem::current_path(::testing::TempDir());
    const int rc = RUN_ALL_TESTS();
    SetSoundOutput(nullptr);  // Qt voices go before the application object
    return rc;
}
