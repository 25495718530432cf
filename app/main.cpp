// The trainer program: the application object, the class libraries, the sound output, every
// window in its order (the dialogues' classes added to the table first, the main window created
// first), then the event loop until the main window closes.
#include <clocale>

#include <QApplication>
#include <QTimer>

#include "app/InterfaceModel.h"
#include "app/TrainerClasses.h"
#include "app/dialogues/DialogueWindows.h"
#include "app/TrainerWindows.h"
#include "platform/media/QtSound.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Qt sets the process locale from the environment; numbers in data files and messages are
    // always read and written the C way.
    std::setlocale(LC_NUMERIC, "C");
    Application().Title = "Velostan";
    try {
        RegisterTrainerClasses();
        RegisterDialogueWindows();
        InstallQtSoundOutput();
        CreateTrainerWindows([] { return new TfmMain; });
        // The first activation also when no window manager ever activates the window (its
        // one-shot flag makes a later real activation do nothing).
        QTimer::singleShot(0, [] {
            if (fmMain) fmMain->DoActivate();
        });
        Application().Run();
        DestroyTrainerWindows();
    } catch (const std::exception& e) {
        Application().ShowException(e);
    }
    SetSoundOutput(nullptr);
    return 0;
}
