// The register of trainee errors (bus receiver 0). It loads the station's error catalogue, fills
// a catalogue text with the words of an error report and passes the error on to the main window
// with interface command 6, which lists it and counts its points (or raises it when fatal).
#pragma once
#include <string>
#include <vector>

#include "models/base/Model.h"
#include "platform/core/Strings.h"

// One catalogue entry: error number, its points, whether it is fatal, and its text, whose
// printf-style placeholders take the words of the report.
struct TErrorMess {
    unsigned int Number = 0;
    int Points = 0;
    bool Fatal = false;
    AnsiString Text;
};

class TaErrorDefs : public TArray300<TErrorMess> {
public:
    // The first entry with this number, or null.
    const TErrorMess* Find(unsigned int number) const;
};

class TInstructorModel : public TModel {
    VELO_CLASS(TInstructorModel, TModel)
public:
    explicit TInstructorModel(TComponent* owner = nullptr);

    // Published: the filled text of every registered error, in order; never cleared.
    TStringList ErrorsProtocol;

    // Reads the catalogue: pairs of lines "number points fatal" and the text.
    void Read(std::FILE* f) override;
    // Command 4 registers an error; every other command is refused.
    int fnGetModelMessage(std::string& mes, TlstParams* lstPar) override;
    // [0 4 {error} {argument}...]: the main window's verdict on the error, 0 for an unknown number.
    int FixError(std::string& mes);

    const TaErrorDefs& ErrorDefs() const { return defs; }

    // A catalogue text with its placeholders filled: each "%" with a character after it takes the
    // next argument verbatim, or "??" once the arguments are used up; a final "%" stays.
    static AnsiString FillErrorText(const AnsiString& text, const std::vector<AnsiString>& args);

    // At most this many words of a report are arguments.
    static constexpr unsigned kMaxArgs = 9;

private:
    // Logs the text and sends it to the main window; the main window's verdict.
    int Report(unsigned int points, int weight, bool fatal, const AnsiString& text);
    TaErrorDefs defs;
};
