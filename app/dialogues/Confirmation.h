// The vocabulary of a dialogue's confirmation ("ОК"): look-ups, parameter queries, the task and
// the report to the technology model, trainee errors to the instructor model, and the refusal of
// a missing blank. Every confirmation is a plain function of what the trainee entered, the
// dialogue's presets, what the owner key tells and a bus; it never touches a window, so it runs
// headless against a scripted bus.
//
// Messages are composed in growable texts and cut to the 239 characters a bus message carries.
// A reply is read only when the call was handled.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Sends a bus message; true when the receiver handled it, its reply then standing in mes.
using TDialogueBus = std::function<bool(std::string& mes)>;

// What a confirmation needs of the switchboard key that opened its dialogue.
struct TOwnerKeyInfo {
    std::string Caption;
    int Podhod = 0;  // the approach (technology parameter 1011) the key serves
};

// How a confirmation ends. A refusal is an exception carrying its text: the window stays open.
enum class TOutcome { Close, Open };

// One confirmation's conversation with the models; Sent keeps every message in order.
class TTalk {
public:
    // close is called when the script closes the window before it ends (may be empty).
    explicit TTalk(TDialogueBus bus, std::function<void()> close = {});

    // [3 10 1025 {n}], with [1011 {podhod}] when given: the train's object number.
    std::optional<unsigned> LookupTrain(const std::string& n);
    std::optional<unsigned> LookupTrain(const std::string& n, int podhod);
    // [3 10 1508 {x}]: the locomotive's object number.
    std::optional<unsigned> LookupLoco(const std::string& x);
    // [1 13 {track} 1]: the object standing on the track.
    std::optional<int> ObjectOnTrack(int track);
    // [3 4 {obj} {names...}]: the values in order; none when the query was not handled or a value
    // does not read (an object that lacks a parameter).
    std::optional<std::vector<int>> Params(unsigned obj, const std::vector<int>& names);
    // The locomotive object's name as the errors give it ("МЛ1", "1612"; see LocoName).
    std::string LocoName(int obj);
    // [0 4 {no} {args}]; args are inserted as they are.
    void Error(int no, const std::string& args);
    // [3 19 {obj} {text}]: the task text of the move.
    void Task(unsigned obj, const std::string& text);
    // [3 5 {obj} {code} 1 {pairs}]: true when handled.
    bool Report(unsigned obj, int code, const std::string& pairs = "");
    // Sends a composed text; the reply's first number read signed, none when not handled.
    std::optional<int> SignedNumber(std::string mes);
    // Sends a composed text as it is.
    bool Send(std::string mes);
    // Sends mes; true when handled, the reply then standing in mes.
    bool Ask(std::string& mes);

    // The window closes now; the script may still go on.
    TOutcome Close();
    bool Closed() const { return closed; }

    std::vector<std::string> Sent;

private:
    std::optional<unsigned> FirstNumber(std::string mes);
    TDialogueBus bus;
    std::function<void()> onClose;
    bool closed = false;
};

// Refuses with text (an exception; the window stays open) when the blank is missing.
void Blank(bool missing, const std::string& text);

// Refuses with text unless the field is a whole number above 0 (the rule of ReadWholeNumber).
void NumberField(const std::string& field, const std::string& text);

// The text of a refused parameter query: the train and the parameters it lacks.
std::string MissingParamsText(const std::string& n, const std::vector<int>& names);

// The minutes of the day in a departure time field "hh:mm": the hours from the first two
// characters, the minutes from the fourth on; a part that does not read counts as 0.
// "23:59" -> 1439, "  :  " -> 0. Not range-checked ("99:99" -> 6039).
unsigned DepartureMinutes(const std::string& time);
// True when a departure time field "hh:mm" holds the hours (one or two digits) and both digits of
// the minutes.
bool DepartureTimeComplete(const std::string& time);
