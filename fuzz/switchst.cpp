// Fuzz target: the station lists as the program's windows read them at start, and the start-up
// messages: "DATA\SwitchSt.dat" (the main window's post sections, the scenario editor's lists,
// the post and electro-mechanic dialogues), "data\trenager.ini" (each line a bus message through
// the main window's dispatcher), "DATA\Zacrepit.dat" (the brake-shoe and coupling windows) and
// "DATA\Pribitie.dat" (the arrival lists of the dialogues). The input is the four files in that
// order, separated by form feeds. Every window of the program is made and destroyed for each
// input, around the test main window (two models, the timers and the menu; no panel).
#include <QApplication>

#include <clocale>
#include <memory>

#include "app/InterfaceModel.h"
#include "app/TrainerClasses.h"
#include "app/TrainerWindows.h"
#include "app/dialogues/DialogueWindows.h"
#include "fuzz/FuzzInput.h"
#include "platform/core/Exception.h"
#include "platform/media/sound/SoundOutput.h"
#include "platform/qt/Forms.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setQuitOnLastWindowClosed(false);
    RegisterTrainerClasses();
    RegisterDialogueWindows();
    fuzz::EnterScratchDirectory();
    SetSoundOutput(std::make_shared<TRecordingSoundOutput>());
    SetMessageBoxHook([](const std::string&, const std::string&, unsigned) { return IDOK; });
    SetInputQueryHook([](const std::string&, const std::string&, std::string&) { return false; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> files = fuzz::SplitFiles(data, size, 4);
    fuzz::WriteFile("data/SwitchSt.dat", files[0]);
    fuzz::WriteFile("data/trenager.ini", files[1]);
    fuzz::WriteFile("data/Zacrepit.dat", files[2]);
    fuzz::WriteFile("data/Pribitie.dat", files[3]);
    try {
        CreateTrainerWindows([] { return new TfmMain(VELO_SOURCE_DIR "/app/tests/forms/TestMain.vfm"); });
        fmMain->ReadStartupMessages();
        fmMain->RunStartupMessages();
    } catch (const Exception&) {
        // The program shows the text in a message box.
    }
    DestroyTrainerWindows();
    return 0;
}
