// The confirmation vocabulary shared by the dialogues (see Confirmation.h).
#include "app/dialogues/Confirmation.h"

#include "models/base/BusRouter.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Strings.h"

namespace {

// A bus message carries at most this many characters.
constexpr size_t kMessageChars = 239;

std::string CutMessage(const std::string& s)
{
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (chars++ == kMessageChars) return s.substr(0, i);
    }
    return s;
}

} // namespace

TTalk::TTalk(TDialogueBus b, std::function<void()> close) : bus(std::move(b)), onClose(std::move(close)) {}

bool TTalk::Send(std::string mes)
{
    mes = CutMessage(mes);
    Sent.push_back(mes);
    return bus && bus(mes);
}

bool TTalk::Ask(std::string& mes)
{
    mes = CutMessage(mes);
    Sent.push_back(mes);
    return bus && bus(mes);
}

std::optional<unsigned> TTalk::FirstNumber(std::string mes)
{
    mes = CutMessage(mes);
    Sent.push_back(mes);
    if (!bus || !bus(mes)) return std::nullopt;
    unsigned v = 0;
    if (SScanf(mes.c_str(), "%u", &v) != 1) return std::nullopt;
    return v;
}

std::optional<int> TTalk::SignedNumber(std::string mes)
{
    mes = CutMessage(mes);
    Sent.push_back(mes);
    if (!bus || !bus(mes)) return std::nullopt;
    int v = 0;
    if (SScanf(mes.c_str(), "%d", &v) != 1) return std::nullopt;
    return v;
}

// An empty number field is a blank, not a train the model lacks: refused, nothing recorded.
const char* const kNoTrainNumber = "Не указан номер поезда";

std::optional<unsigned> TTalk::LookupTrain(const std::string& n)
{
    Blank(Trim(n).empty(), kNoTrainNumber);
    return FirstNumber(Format("%d %d %d %s", brTecn, 10, 1025, n.c_str()));
}

std::optional<unsigned> TTalk::LookupTrain(const std::string& n, int podhod)
{
    Blank(Trim(n).empty(), kNoTrainNumber);
    return FirstNumber(Format("%d %d %d %s %d %d", brTecn, 10, 1025, n.c_str(), 1011, podhod));
}

std::optional<unsigned> TTalk::LookupLoco(const std::string& x)
{
    return FirstNumber(Format("%d %d %d %s", brTecn, 10, 1508, x.c_str()));
}

std::optional<int> TTalk::ObjectOnTrack(int track)
{
    std::string mes = CutMessage(Format("%d %d %d 1", brPlan, 13, track));
    Sent.push_back(mes);
    if (!bus || !bus(mes)) return std::nullopt;
    int v = 0;
    if (SScanf(mes.c_str(), "%d", &v) != 1) return std::nullopt;
    return v;
}

std::optional<std::vector<int>> TTalk::Params(unsigned obj, const std::vector<int>& names)
{
    std::string mes = Format("%d %d %u", brTecn, 4, obj);
    for (int n : names) mes += Format(" %d", n);
    mes = CutMessage(mes);
    Sent.push_back(mes);
    if (!bus || !bus(mes)) return std::nullopt;
    std::vector<int> values;
    const char* p = mes.c_str();
    for (size_t i = 0; i < names.size(); ++i) {
        int v = 0, used = 0;
        if (SScanf(p, "%d%n", &v, &used) != 1) return std::nullopt;
        values.push_back(v);
        p += used;
    }
    return values;
}

std::string TTalk::LocoName(int obj)
{
    return ::LocoName([this](std::string& mes) { return Ask(mes) ? 1 : 0; }, obj);
}

void TTalk::Error(int no, const std::string& args)
{
    Send(Format("%d %d %d %s", brInstructor, 4, no, args.c_str()));
}

void TTalk::Task(unsigned obj, const std::string& text)
{
    Send(Format("%d %d %u %s", brTecn, 19, obj, text.c_str()));
}

bool TTalk::Report(unsigned obj, int code, const std::string& pairs)
{
    std::string mes = Format("%d %d %u %d 1", brTecn, 5, obj, code);
    if (!pairs.empty()) mes += " " + pairs;
    return Send(mes);
}

TOutcome TTalk::Close()
{
    if (!closed) {
        closed = true;
        if (onClose) onClose();
    }
    return TOutcome::Close;
}

void Blank(bool missing, const std::string& text)
{
    if (missing) throw Exception(text);
}

void NumberField(const std::string& field, const std::string& text)
{
    int v = 0;
    Blank(!ReadWholeNumber(field, v) || v <= 0, text);
}

std::string MissingParamsText(const std::string& n, const std::vector<int>& names)
{
    std::string list;
    for (int p : names) list += Format(" %d", p);
    return "Ошибка описания объекта: у поезда №" + n + " нет параметров" + list;
}

unsigned DepartureMinutes(const std::string& time)
{
    unsigned h = 0, m = 0;
    std::string hours = time.substr(0, 2);
    if (SScanf(hours.c_str(), "%u", &h) != 1) h = 0;
    if (time.size() > 3) {
        std::string minutes = time.substr(3);
        if (SScanf(minutes.c_str(), "%u", &m) != 1) m = 0;
    }
    return h * 60 + m;
}

bool DepartureTimeComplete(const std::string& time)
{
    auto digit = [&](size_t i) { return i < time.size() && time[i] >= '0' && time[i] <= '9'; };
    auto blank = [&](size_t i) { return i < time.size() && time[i] == ' '; };
    bool hours = (digit(0) && (digit(1) || blank(1))) || (blank(0) && digit(1));
    return time.size() == 5 && hours && time[2] == ':' && digit(3) && digit(4);
}
