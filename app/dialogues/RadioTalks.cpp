// The confirmations of the radio and passing-train dialogues (see RadioTalks.h).
#include "app/dialogues/RadioTalks.h"

#include "models/base/BusRouter.h"
#include "platform/core/CFormat.h"

namespace {

const char* const kNoTrain = "Не указан номер поезда";
const char* const kNoLoco = "Не указан номер локомотива";

// A checked number field as the number it reads: without its leading zeros.
std::string Number(const std::string& field) { return field.substr(field.find_first_not_of('0')); }

// The train looked up, or error 13 reported and the window closed.
std::optional<unsigned> Train(TTalk& talk, const std::string& n)
{
    auto t = talk.LookupTrain(n);
    if (!t) {
        talk.Error(13, n);
        talk.Close();
    }
    return t;
}

std::optional<unsigned> Loco(TTalk& talk, const std::string& x)
{
    auto l = talk.LookupLoco(x);
    if (!l) {
        talk.Error(1107, x);
        talk.Close();
    }
    return l;
}

} // namespace

TOutcome ConfirmTrainDeparture(TTalk& talk, const std::string& train, const std::string& loko,
                               std::optional<int> track, std::optional<int> station)
{
    Blank(!track, "Не указан путь");
    Blank(!station, "Не указано назанчение локомотива");
    NumberField(train, kNoTrain);
    NumberField(loko, kNoLoco);
    auto t = Train(talk, train);
    if (!t) return TOutcome::Close;
    talk.Task(*t, Format("%s %d %d", Number(loko).c_str(), *track, *station));
    talk.Report(*t, 143);
    return talk.Close();
}

TOutcome ConfirmPassingTrain(TTalk& talk, const std::string& train, std::optional<int> station,
                             std::optional<int> track)
{
    NumberField(train, kNoTrain);
    auto t = Train(talk, train);
    if (!t) return TOutcome::Close;
    auto p = talk.Params(*t, {1011});
    if (!p) return talk.Close();
    Blank(!station, "Не вказано підхід, з якого прибуває поїзд");
    if (*station != (*p)[0]) {
        talk.Error(14, train);
        return talk.Close();
    }
    Blank(!track, "Не вказано колію прибуття поїзда");
    talk.Task(*t, Format("%d", *track));
    talk.Report(*t, 301);
    return talk.Close();
}

TOutcome ConfirmUncoupleCut(TTalk& talk, int loco, std::optional<int> track, const std::string& trackText)
{
    auto p = talk.Params(static_cast<unsigned>(loco), {1006});
    if (!p) return talk.Close();
    const int cut = (*p)[0];
    if (cut == 0) {
        talk.Error(1014, talk.LocoName(loco));
        return talk.Close();
    }
    std::string mes = Format("%d %d %d %d", brPlan, 12, loco, 1);
    unsigned section = 0;
    if (!talk.Ask(mes) || SScanf(mes.c_str(), "%u", &section) != 1) return talk.Close();
    Blank(!track, "Не указано путь");
    if (static_cast<unsigned>(*track) == section) {
        talk.Task(static_cast<unsigned>(cut), Format("%d %s", loco, trackText.c_str()));
        talk.Report(static_cast<unsigned>(cut), 127);
    } else {
        talk.Error(1015, talk.LocoName(loco));
    }
    return talk.Close();
}

TOutcome ConfirmCoupleCut(TTalk& talk, int loco, std::optional<int> track, const std::string& trackText)
{
    Blank(!track, "Не указано путь");
    auto obj = talk.ObjectOnTrack(*track);
    if (!obj) {
        talk.Error(8, trackText);
        return talk.Close();
    }
    talk.Task(static_cast<unsigned>(*obj), Format("%d %s", loco, trackText.c_str()));
    talk.Report(static_cast<unsigned>(*obj), 123);
    return talk.Close();
}

TOutcome ConfirmLocoToHelp(TTalk& talk, const std::string& loko)
{
    NumberField(loko, kNoLoco);
    auto l = Loco(talk, loko);
    if (!l) return TOutcome::Close;
    talk.Report(*l, 421);
    return talk.Close();
}

TOutcome ConfirmFailedLocoUncoupled(TTalk& talk, const std::string& train, const std::string& loko,
                                    const std::string& failed, std::optional<int> track)
{
    Blank(!track, "Не указан путь");
    NumberField(train, kNoTrain);
    NumberField(loko, kNoLoco);
    NumberField(failed, "Не указан номер неисправного локомотива");
    auto t = Train(talk, train);
    if (!t) return TOutcome::Close;
    talk.Task(*t, Format("%s %s %d", Number(loko).c_str(), failed.c_str(), *track));
    talk.Report(*t, 425);
    return talk.Close();
}

TOutcome ConfirmLocoToTrack(TTalk& talk, const std::string& loko, std::optional<int> track, int code)
{
    talk.Close();
    NumberField(loko, kNoLoco);
    Blank(!track, "Не указано назначение локомотива");
    auto l = Loco(talk, loko);
    if (!l) return TOutcome::Close;
    talk.Task(*l, Format("%d", *track));
    talk.Report(*l, code);
    return TOutcome::Close;
}

TOutcome ConfirmTrainOrder(TTalk& talk, const std::string& train, int code)
{
    NumberField(train, kNoTrain);
    auto t = Train(talk, train);
    if (!t) return TOutcome::Close;
    talk.Report(*t, code);
    return talk.Close();
}

TOutcome ConfirmTrainLocoUncoupled(TTalk& talk, const std::string& train, const std::string& loko,
                                   std::optional<int> track, std::optional<int> destination)
{
    Blank(!track, "Не указан путь");
    Blank(!destination, "Не указано назанчение локомотива");
    NumberField(train, kNoTrain);
    NumberField(loko, kNoLoco);
    auto t = Train(talk, train);
    if (!t) return TOutcome::Close;
    talk.Task(*t, Format("%s %d %d", Number(loko).c_str(), *track, *destination));
    talk.Report(*t, 108);
    return talk.Close();
}
