// The confirmations of the switchboard and dispatcher dialogues (see SwitchboardTalks.h).
#include "app/dialogues/SwitchboardTalks.h"

#include "platform/core/CFormat.h"

TOutcome ConfirmWaiting(TTalk& talk, const std::string& n, const std::optional<TOwnerKeyInfo>& owner)
{
    auto t = owner ? talk.LookupTrain(n, owner->Podhod) : talk.LookupTrain(n);
    if (!t) {
        talk.Error(3, owner ? n + " " + owner->Caption : n);
        return talk.Close();
    }
    talk.Report(*t, 101);
    return talk.Close();
}

TOutcome ConfirmRefusal(TTalk& talk, const std::string& n, const std::optional<TOwnerKeyInfo>& owner)
{
    auto t = talk.LookupTrain(n);
    if (!t) {
        talk.Error(3, owner ? n + " " + owner->Caption : n);
        return talk.Close();
    }
    talk.Report(*t, 102);
    return talk.Close();
}

TOutcome ConfirmArrival(TTalk& talk, const std::string& n, std::optional<int> station, std::optional<int> track,
                        int category)
{
    auto t = talk.LookupTrain(n);
    if (!t) {
        talk.Error(13, n);
        return talk.Close();
    }
    const std::vector<int> names = {1011, 1028};
    auto p = talk.Params(*t, names);
    Blank(!p, MissingParamsText(n, names));
    int approach = (*p)[0], kind = (*p)[1];
    Blank(!station, "Не вказано підхід, з якого прибуває поїзд");
    if (*station != approach) {
        talk.Error(14, n);
        return talk.Close();
    }
    Blank(!track, "Не вказано колію прибуття поїзда");
    if (kind != category) talk.Error(category == 1 ? 1012 : 1011, n);
    talk.Task(*t, Format("%d", *track));
    talk.Report(*t, 103);
    return talk.Close();
}

TOutcome ConfirmDispatcherRequest(TTalk& talk, const std::string& n)
{
    auto t = talk.LookupTrain(n);
    if (!t) {
        talk.Error(13, n);
        return talk.Close();
    }
    talk.Send(Format("%d %d %u %d 1 ", 3, 5, *t, 140));
    return talk.Close();
}

TOutcome ConfirmTrainReport(TTalk& talk, const std::string& n, int code)
{
    auto t = talk.LookupTrain(n);
    if (!t) {
        talk.Error(13, n);
        return talk.Close();
    }
    talk.Report(*t, code);
    return talk.Close();
}

TOutcome ConfirmDeparture(TTalk& talk, const std::string& n, const std::string& time, int direction, int code)
{
    // Before anything is sent: a time cut short would be reported as another time.
    Blank(!DepartureTimeComplete(time), kIncompleteDepartureTime);
    auto t = talk.LookupTrain(n);
    if (!t) {
        talk.Error(13, n);
        return talk.Close();
    }
    const std::vector<int> names = {1011, 1028};
    auto p = talk.Params(*t, names);
    Blank(!p, MissingParamsText(n, names));
    if ((*p)[0] != direction) {
        // Recorded; the window closes here and the departure is still reported.
        talk.Error(14, n);
        talk.Close();
    }
    talk.Task(*t, Format("%u", DepartureMinutes(time)));
    talk.Report(*t, code);
    return talk.Close();
}

TOutcome ConfirmLocoWork(TTalk& talk, const std::string& loco)
{
    auto l = talk.LookupLoco(loco);
    if (!l) {
        talk.Error(1107, loco);
        return talk.Close();
    }
    talk.Report(*l, 161);
    return talk.Close();
}
