// The confirmations of the announcements, post orders, brake shoes and electro-mechanic (see
// PostTalks.h).
#include "app/dialogues/PostTalks.h"

#include <algorithm>
#include <cstdio>

#include "models/base/Model.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

namespace {

// The object on the chosen track (a missing track is refused with blank). Nothing there is
// error 8 with the track as shown and closes the window; an answer that is no object leaves it
// open. end is the outcome when there is no object.
std::optional<unsigned> StandingOnTrack(TTalk& talk, std::optional<int> track, const std::string& text,
                                        const char* blank, TOutcome& end)
{
    Blank(!track, blank);
    auto k = talk.ObjectOnTrack(*track);
    if (!k) {
        talk.Error(8, text);
        end = talk.Close();
        return std::nullopt;
    }
    if (*k < 0) {
        end = TOutcome::Open;
        return std::nullopt;
    }
    return static_cast<unsigned>(*k);
}

} // namespace

int PostExecutor(int post) { return post == 1 ? 5 : post == 7 ? 4 : 3; }

// ---- loudspeaker announcements ----

namespace {

// The train and its approach (1011); none when the train is not found (error 13 recorded and
// the window closed).
std::optional<std::pair<unsigned, int>> TrainAndApproach(TTalk& talk, const std::string& n)
{
    auto t = talk.LookupTrain(n);
    if (!t) {
        talk.Error(13, n);
        talk.Close();
        return std::nullopt;
    }
    const std::vector<int> names = {1011};
    auto p = talk.Params(*t, names);
    Blank(!p, MissingParamsText(n, names));
    return std::make_pair(*t, (*p)[0]);
}

} // namespace

const TOutboundTexts kSuburbanArrival = {"Не указана станция назначения поезда", "Не указан путь прибытия поезда", 303};
const TOutboundTexts kFreightDeparture = {"Необходимо указать станцию, на которую отправляется поезд",
                                          "Не указан путь отправления поезда", 146};

TOutcome ConfirmAnnouncedArrival(TTalk& talk, const std::string& n, std::optional<int> station,
                                 std::optional<int> track)
{
    auto ta = TrainAndApproach(talk, n);
    if (!ta) return TOutcome::Close;
    Blank(!station, "Не вказано підхід, з якого прибуває поїзд");
    if (*station != ta->second) {
        talk.Error(14, n);
        return talk.Close();
    }
    Blank(!track, "Не вказано колію прибуття поїзда");
    talk.Task(ta->first, Format("%d", *track));
    talk.Report(ta->first, 104);
    return talk.Close();
}

TOutcome ConfirmOutbound(TTalk& talk, const std::string& n, std::optional<int> station, std::optional<int> track,
                         const TOutboundTexts& texts)
{
    auto ta = TrainAndApproach(talk, n);
    if (!ta) return TOutcome::Close;
    Blank(!station, texts.NoStation);
    if (*station == ta->second) {
        talk.Error(24, n);
        return talk.Close();
    }
    Blank(!track, texts.NoTrack);
    talk.Task(ta->first, Format("%d", *track));
    talk.Report(ta->first, texts.Code);
    return talk.Close();
}

TOutcome ConfirmTrackReport(TTalk& talk, std::optional<int> track, const std::string& text, const char* blank,
                            int code)
{
    TOutcome end = TOutcome::Close;
    auto k = StandingOnTrack(talk, track, text, blank, end);
    if (!k) return end;
    talk.Report(*k, code);
    return talk.Close();
}

TOutcome ConfirmFencingRemoval(TTalk& talk, std::optional<int> track, const std::string& text,
                               const std::string& key)
{
    TOutcome end = TOutcome::Close;
    auto k = StandingOnTrack(talk, track, text, "Не указан путь", end);
    if (!k) return end;
    const unsigned obj = *k;
    if (!talk.Report(obj, 200)) return talk.Close();
    auto lamp = talk.Params(obj, {1501});
    const bool fenced = lamp && (*lamp)[0] > 0;
    if (fenced) {
        talk.Send(Format("%d %d %d 0", brInterface, 16, (*lamp)[0]));
        talk.Send(Format("%d %d %u 1501 0", brTecn, 5, obj));
    }
    // The answer waits for the key to be free: the delay model rings it 5 s from now.
    std::string now = Format("%d %d 0", brInterface, 27);
    if (talk.Ask(now)) {
        const double due = AtofC(now.c_str()) + 5;
        const std::string answer =
            fenced ? "Ограждение с пути " + text + " снято" : "На пути " + text + " ограждения нет";
        talk.Send(Format("%d %d %f %d %d %s 0 %s", brDelay, 4, due, brInterface, 9, key.c_str(), answer.c_str()));
        talk.Send(Format("%d %d %f %d %d %s %s", brDelay, 4, due, brInterface, 32, key.c_str(),
                         fenced ? "ограждение снято" : "ограждения нет"));
    }
    return talk.Close();
}

TOutcome ConfirmHelperPermit(TTalk& talk, const std::string& loco)
{
    auto l = talk.LookupLoco(loco);
    if (!l) {
        talk.Error(1107, loco);
        return talk.Close();
    }
    if (*l == 0) return TOutcome::Open;
    talk.Report(*l, 420);
    return talk.Close();
}

// ---- signalman posts ----

namespace {

const char* const kNoSwitch = "Не указан номер стрелочного перевода";
const char* const kNotHandled = "Ошибка в ini файле";

// A post report: closes when the technology model handled it, else refused.
TOutcome PostReport(TTalk& talk, const std::string& mes)
{
    Blank(!talk.Send(mes), kNotHandled);
    return talk.Close();
}

} // namespace

TOutcome ConfirmSwitchOrder(TTalk& talk, int e, std::optional<std::string> s, int code)
{
    Blank(!s, kNoSwitch);
    return PostReport(talk, Format("%d %d %d 1551 %s %d 1", 3, 5, e, s->c_str(), code));
}

TOutcome ConfirmSwitchTurn(TTalk& talk, int e, std::optional<std::string> s, std::optional<int> position)
{
    Blank(!s, kNoSwitch);
    Blank(!position, "Не указано требуемое положение стрелочного перевода");
    return PostReport(talk, Format("%d %d %d 1551 %s 1552 %d 402 1", 3, 5, e, s->c_str(), *position));
}

TOutcome ConfirmSectionState(TTalk& talk, int e, std::optional<TSwitchStLine> section)
{
    Blank(!section, "Не указан номер путевой секции");
    talk.Task(static_cast<unsigned>(e), section->Name);
    return PostReport(talk, Format("%d %d %d 1551 %d 404 1", 3, 5, e, section->Number));
}

TOutcome ConfirmCrank(TTalk& talk, int e, const std::string& crank)
{
    Blank(crank.empty(), "Не указан номер курбеля");
    talk.Task(static_cast<unsigned>(e), crank);
    return PostReport(talk, Format("%d %d %d 401 1", 3, 5, e));
}

// ---- brake shoes ----

TOutcome ConfirmSecuring(TTalk& talk, const std::string& n, std::optional<int> track, const std::string& shoes,
                         const TZacrepitNorms& norms)
{
    // An empty field is a blank, not a train the model lacks.
    Blank(Trim(n).empty(), "Не указан номер поезда");
    auto t = talk.SignedNumber(Format("%d %d %d %s", 3, 10, 1025, n.c_str()));
    if (!t) {
        talk.Error(13, n);
        return talk.Close();
    }
    if (*t < 0) return TOutcome::Open;
    const unsigned obj = static_cast<unsigned>(*t);
    const char* const badObject = "Ошибка описания объекта для работы 'Закрепление'";
    auto where = talk.Params(obj, {1027});
    Blank(!where, badObject);
    Blank(!track, "Не указан путь");
    if (*track != (*where)[0]) {
        talk.Error(5, n);
        return talk.Close();
    }
    auto lf = talk.Params(obj, {1504, 1505});
    Blank(!lf, badObject);
    auto need = NeededShoes(norms, static_cast<unsigned>(*track), (*lf)[1], (*lf)[0]);
    Blank(!need, "Слишком большой состав. Измените файл норм закрепления");
    int ordered = StrToInt(shoes);
    Blank(ordered < 0, "Число тормозных башмаков не может быть отрицательным");
    if (static_cast<unsigned>(ordered) < *need) talk.Error(6, n);
    else if (static_cast<unsigned>(ordered) > *need) talk.Error(7, n);
    talk.Report(obj, 126, Format("1004 %d", ordered));
    return talk.Close();
}

TOutcome ConfirmShoesRemoval(TTalk& talk, std::optional<int> track, const std::string& text,
                             std::optional<std::string> shoes)
{
    TOutcome end = TOutcome::Close;
    auto k = StandingOnTrack(talk, track, text, "Не указан путь", end);
    if (!k) return end;
    Blank(!shoes, "Не указано число башмаков");
    const unsigned obj = *k;
    talk.Task(obj, *shoes + " " + text);
    talk.Report(obj, 121);
    return talk.Close();
}

// ---- the electro-mechanic ----

TOutcome ConfirmElectroMechanic(TTalk& talk, int mode, std::optional<std::string> button,
                                std::optional<int> sectionId, const std::string& sectionName)
{
    if (mode == 0) {
        Blank(!button, "Не указана кнопка");
        talk.Task(kElectroMechanic, *button);
        talk.Report(kElectroMechanic, 410);
    } else if (mode == 2 || mode == 3) {
        Blank(!sectionId, "Не указана секция");
        talk.Task(kElectroMechanic, Format("%d %s", *sectionId, sectionName.c_str()));
        talk.Report(kElectroMechanic, mode == 2 ? 411 : 412);
    }
    return talk.Close();
}
