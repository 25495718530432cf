// Fuzz target: the instructor model's error catalogue and the reports that fill its texts. The
// input is errors.dat, a form feed, then error reports, one bus message to receiver 0 a line
// (such as "0 4 101 Н1 2").
#include "fuzz/FuzzInput.h"
#include "models/operations/InstructorModel.h"
#include "platform/core/Exception.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> files = fuzz::SplitFiles(data, size, 2);
    fuzz::WriteFile("data/errors.dat", files[0]);
    TInstructorModel instructor;
    instructor.SetName("InstructorModel");
    instructor.FileName = "DATA\\errors.dat";
    // The main window lists the error; its reply is the verdict.
    instructor.OnSendMessage = [](TModel*, std::string& mes, TlstParams*) {
        mes = "1";
        return true;
    };
    try {
        instructor.Init();
    } catch (const Exception&) {
        return 0;
    }
    size_t b = 0;
    const std::string& reports = files[1];
    while (b < reports.size()) {
        size_t e = reports.find('\n', b);
        if (e == std::string::npos) e = reports.size();
        std::string mes = reports.substr(b, e - b);
        b = e + 1;
        try {
            instructor.fnGetMessage(mes, nullptr);
        } catch (const Exception&) {
        }
    }
    return 0;
}
