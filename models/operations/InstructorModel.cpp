// Trainee-error register: the error catalogue and the error report to the main window.
#include "models/operations/InstructorModel.h"

#include <algorithm>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

const TErrorMess* TaErrorDefs::Find(unsigned int number) const
{
    for (unsigned int i = 0; i < Count(); ++i)
        if (Get(i)->Number == number) return Get(i);
    return nullptr;
}

TInstructorModel::TInstructorModel(TComponent* owner) : TModel(owner) {}

namespace {

// One physical line of the catalogue, blank or not, without its line end; false at the end of the
// file. Lines come in strict pairs, so nothing is skipped here.
bool ReadCatalogueLine(std::FILE* f, std::string& line)
{
    if (ReadDataLine(f, line, "*") == -1 || line.empty()) return false;
    // The line end is not part of the text: a "%" just before it would otherwise swallow it as a
    // placeholder, and a file with CR LF ends would leave a CR in every text.
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return true;
}

// Bytes of the UTF-8 character that starts with this byte.
size_t CharBytes(unsigned char lead)
{
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

} // namespace

void TInstructorModel::Read(std::FILE* f)
{
    // Taken whole or refused with the line: an entry's first line begins with its number, and
    // every entry has its text.
    auto refuse = [&](int line, const std::string& reason) { RaiseError(DataFileMessage(FileName, line, reason)); };
    std::string head, text;
    while (ReadCatalogueLine(f, head)) {
        const int headLine = DataLineNumber(f);
        unsigned int number = 0, points = 0, fatal = 0;
        std::string first = FirstWord(head);
        if (first.empty()) continue;  // a blank line between entries (or at the end) is no entry
        if (!IsAllDigits(first.c_str())) refuse(headLine, "запись ошибки начинается не с номера");
        if (!ReadCatalogueLine(f, text)) refuse(headLine, "нет текста ошибки " + first);
        SScanf(head.c_str(), "%u%u%u", &number, &points, &fatal);
        TErrorMess e;
        e.Number = number;
        e.Points = static_cast<int>(points);
        e.Fatal = fatal != 0;
        e.Text = text;
        try {
            defs.Add(e);
        } catch (const Exception& x) {
            refuse(headLine, x.Message);
        }
    }
    if (defs.Count() == 0) refuse(0, "нет ни одной записи ошибки");
}

int TInstructorModel::fnGetModelMessage(std::string& mes, TlstParams*)
{
    int receiver = 0, command = 0;
    SScanf(mes.c_str(), "%d%d", &receiver, &command);
    if (command == 4) return FixError(mes);
    return 0;
}

AnsiString TInstructorModel::FillErrorText(const AnsiString& text, const std::vector<AnsiString>& args)
{
    // The text is never handed to printf: whatever follows a "%" is only a marker for the next
    // argument, so a catalogue text cannot read or write anything it should not.
    AnsiString out;
    size_t used = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '%' || i + 1 == text.size()) {
            out += text[i++];
            continue;
        }
        out += used < args.size() ? args[used++] : AnsiString("??");
        i += 1 + std::min(CharBytes(static_cast<unsigned char>(text[i + 1])), text.size() - i - 1);
    }
    return out;
}

int TInstructorModel::Report(unsigned int points, int weight, bool fatal, const AnsiString& text)
{
    ErrorsProtocol.Add(text);
    double t = SysTime() > 0 ? SysTime() : 0;
    std::string mes = Format("%d %d %u %d %s %d балов - %s", brInterface, 6, points, fatal ? 1 : 0,
                             SecondsToClock(static_cast<unsigned int>(t)).c_str(), weight, text.c_str());
    return SendMessageA(mes);
}

int TInstructorModel::FixError(std::string& mes)
{
    int receiver = 0, command = 0;
    unsigned int number = 0;
    if (SScanf(mes.c_str(), "%d%d%u", &receiver, &command, &number) < 3) return 0;

    AnsiString rest = DropWords(mes, 3);
    const TErrorMess* e = defs.Find(number);
    if (!e) {
        // A number the station's catalogue lacks is still a trainee error: it is shown with its
        // words, without points, so that it is not lost. The sender still hears 0.
        Report(0, 0, false, rest.empty() ? Format("%u", number) : Format("%u %s", number, rest.c_str()));
        return 0;
    }

    std::vector<AnsiString> args;
    for (AnsiString word = FirstWord(rest); !word.empty() && args.size() < kMaxArgs; word = FirstWord(rest)) {
        args.push_back(word);
        rest = DropFirstWord(rest);
    }
    return Report(static_cast<unsigned int>(e->Points), e->Points, e->Fatal, FillErrorText(e->Text, args));
}
