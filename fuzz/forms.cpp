// Fuzz target: the window-definition loader with every class of the program registered. The
// input is a definition whose root is a plain form ("object fmX: TForm"); it binds no handlers.
#include <QApplication>

#include <clocale>

#include "app/TrainerClasses.h"
#include "fuzz/FuzzInput.h"
#include "platform/core/Exception.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setQuitOnLastWindowClosed(false);
    RegisterTrainerClasses();
    SetMessageBoxHook([](const std::string&, const std::string&, unsigned) { return IDOK; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TForm form(nullptr);
    try {
        LoadFormDefinitionText(&form, std::string(reinterpret_cast<const char*>(data), size), "fuzz.vfm",
                               &form.Handlers());
    } catch (const Exception&) {
        // The loader's own error, naming the file and the line.
    }
    return 0;
}
