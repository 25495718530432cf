// Every dialogue with a train-number field refuses it left empty before anything is sent: no
// "Поезда №?? нет на станции и на подходе", no report, no lookup; the window stays open.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/dialogues/PostTalks.h"
#include "app/dialogues/RadioTalks.h"
#include "app/dialogues/SwitchboardTalks.h"

namespace {

struct TNumberField {
    const char* Dialogue;
    std::function<TOutcome(TTalk&, const std::string&)> Confirm;  // every other field filled in
};

} // namespace

TEST(TrainNumberFields, AnEmptyNumberIsRefusedBeforeAnythingIsSent)
{
    const TOwnerKeyInfo east{"ПЖСвост", 2};
    TZacrepitNorms norms;
    norms.Append({800, 3, 12, 1});
    const std::vector<TNumberField> fields = {
        {"ожидаю", [&](TTalk& t, const std::string& n) { return ConfirmWaiting(t, n, east); }},
        {"отказ", [&](TTalk& t, const std::string& n) { return ConfirmRefusal(t, n, east); }},
        {"ПТО: прибытие", [](TTalk& t, const std::string& n) { return ConfirmArrival(t, n, 2, 12, 1); }},
        {"ДНЦ: готов к отправлению", [](TTalk& t, const std::string& n) { return ConfirmDispatcherRequest(t, n); }},
        {"доклад о поезде", [](TTalk& t, const std::string& n) { return ConfirmTrainReport(t, n, 105); }},
        {"отправление соседу", [](TTalk& t, const std::string& n) { return ConfirmDeparture(t, n, "00:10", 1, 142); }},
        {"объявление о прибытии", [](TTalk& t, const std::string& n) { return ConfirmAnnouncedArrival(t, n, 2, 12); }},
        {"объявление об отправлении",
         [](TTalk& t, const std::string& n) { return ConfirmOutbound(t, n, 1, 21, kFreightDeparture); }},
        {"пригородный на платформу",
         [](TTalk& t, const std::string& n) { return ConfirmOutbound(t, n, 1, 23, kSuburbanArrival); }},
        {"закрепление", [&](TTalk& t, const std::string& n) { return ConfirmSecuring(t, n, 12, "3", norms); }},
        {"отправление машинисту", [](TTalk& t, const std::string& n) { return ConfirmTrainDeparture(t, n, "1612", 21, 1); }},
        {"проследование", [](TTalk& t, const std::string& n) { return ConfirmPassingTrain(t, n, 2, 23); }},
        {"неисправный локомотив",
         [](TTalk& t, const std::string& n) { return ConfirmFailedLocoUncoupled(t, n, "1612", "166", 21); }},
        {"приказ поезду", [](TTalk& t, const std::string& n) { return ConfirmTrainOrder(t, n, 150); }},
        {"отцепка поездного локомотива",
         [](TTalk& t, const std::string& n) { return ConfirmTrainLocoUncoupled(t, n, "1612", 21, kDepot); }},
    };
    for (const TNumberField& f : fields) {
        for (const char* empty : {"", "  "}) {
            std::vector<std::string> sent;
            bool closed = false;
            TTalk talk([&](std::string& mes) {
                sent.push_back(mes);
                return true;
            },
                       [&] { closed = true; });
            std::string refusal;
            try {
                f.Confirm(talk, empty);
            } catch (const std::exception& e) {
                refusal = e.what();
            }
            EXPECT_EQ(refusal, "Не указан номер поезда") << f.Dialogue;
            EXPECT_EQ(sent, std::vector<std::string>{}) << f.Dialogue;
            EXPECT_FALSE(closed) << f.Dialogue;
        }
    }
}
