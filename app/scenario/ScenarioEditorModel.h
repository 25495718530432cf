// What the scenario editor does with its fields, without the window: the switch and section
// lists of "DATA\SwitchSt.dat", the repeat check, adding trains and faults, removing an event
// (a train goes back into the fields, so remove and add edit it), clearing a page, which panels
// a train type shows, and the numbers the drop-down lists offer from the names in "sound".
// Failures raise Exception with the text the window shows.
#pragma once
#include <string>
#include <vector>

#include "app/StationLists.h"
#include "app/scenario/ScenarioFile.h"
#include "platform/core/CFormat.h"

// The train types of a stretch page, in the order of its type list.
enum TTrainType { ttNone = -1, ttBreakUp = 0, ttTransit = 1, ttPassenger = 2, ttSuburban = 3 };
// The fault types of the faults page, in the order of its list.
enum TFaultType { ftNone = -1, ftSwitch = 0, ftOccupied = 1, ftFree = 2 };

// The entry fields of a stretch page as typed.
struct TTrainFields {
    std::string Number;
    std::string Time;     // "HH:MM"
    int Type = ttNone;
    std::string Loco;
    std::string Index;    // "4100 1 4000"
    std::string Length = "50";
    bool Empty = false;
    std::string AddLoko;  // the changing locomotive of a transit train
    bool Help = false;    // first stretch only
};

struct TFaultFields {
    std::string Time;
    int Type = ftNone;
    int Switch = -1;   // item of the switch list
    int Section = -1;  // item of the section list
};

// Which panels of a stretch page a train type shows.
struct TTrainPanels {
    bool Loco = false;     // locomotive, index, length, empty
    bool AddLoko = false;  // changing locomotive
    bool Help = false;     // "Помощь" (first stretch only)
};
TTrainPanels TrainPanels(int page, int type);

// Minutes of "HH:MM" (blanks ignored). An incomplete time raises "Не указано время (ЧЧ:ММ)";
// hours above 23 or minutes above 59 raise "Время HH:MM вне суток: ..." (the day's minutes are
// what ReadScenarioMinutes takes back).
int TimeToMinutes(const std::string& text);

// The numbers offered by a drop-down list: for every file name that begins with the prefix
// (any case) and whose characters after it, up to a "." or the end, are all digits, those digits
// cut to four; with events, a number that is the Key of an event is left out.
std::vector<std::string> OfferedNumbers(const std::vector<std::string>& fileNames, char prefix,
                                        const std::vector<TTrainRecord>* events);

class TScenarioEditorModel {
public:
    TScenarioDocument Doc;
    std::vector<std::string> Switches;  // items of the switch list
    TSectionList Sections;              // items of the section list, with their numbers

    // Fills both lists from "DATA\SwitchSt.dat" through its reader (app/StationLists.h): kind 1
    // a switch, 2 and 3 a section. Returns the lines the reader refused. More than 199 sections
    // keep the first 199 and raise "Переполнение массива200" naming the file and the line.
    TDataLineProblems ReadSwitchList(const std::string& path);

    // The automaton types the station's technology file defines ("Объект" records): a train of a
    // kind without one could not be created in the run, so the editor refuses it. Empty when the
    // file was not read: every kind is taken then.
    std::vector<int> TrainKinds;
    void ReadTrainKinds(const std::string& path);

    // "Повтор номера поезда" when a non-empty number is the Key of an event.
    void CheckRepeat(const std::string& number) const;
    // Adds the train of a stretch page (1 or 2), sorts, and empties the number field. Marks the
    // document modified first, also when it fails. With no type chosen nothing is added; a kind
    // the station has no automaton for is refused.
    void AddTrain(int page, TTrainFields& f);
    // Adds the fault of the faults page and sorts; marked modified first.
    void AddFault(const TFaultFields& f);
    // Removes the n-th item of a page (nothing when n is not an item); a train of a stretch page
    // goes back into the fields. Marked modified.
    void Remove(int page, int item, TTrainFields* fields);
    // Removes every event of a page; marked modified.
    void Clear(int page);
};
