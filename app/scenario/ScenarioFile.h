// The scenario document: the events of a scenario file ("data\*.shd", code page 1251 on disk,
// one line a timed bus message "{minutes} {message}") with the texts the editor's three pages
// show. Events keep the file's order until an add sorts them by due time. A line the editor does
// not understand is kept exactly as read, shown as it stands on the faults page and written back
// unchanged, so nothing an instructor wrote is lost. No Qt here: the program and headless tests
// share it.
#pragma once
#include <climits>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

// One event of the scenario.
struct TTrainRecord {
    // The train number of a train; 0 a switch fault; 1 a section fault (2 a false freeness added
    // in the editor); kNoKey for a kept line that names no train.
    int Key = 0;
    int Minutes = 0;  // due time, minutes since 00:00 of the model day
    int Page = 0;     // 1 first approach stretch, 2 second approach stretch, 3 faults and kept lines
    std::string Message;  // the file line, exactly as written to the file
    std::string Display;  // the line of the page's list
    bool Kept = false;    // not understood: written back as read
};

constexpr int kNoKey = INT_MIN;
// The event list holds at most 299 events, as the system's 300-slot bounded array does.
constexpr unsigned kScenarioCapacity = 300;

// A track section of "DATA\SwitchSt.dat" (kinds 2 and 3): its number and name.
struct TScenarioSection {
    int Number = 0;
    std::string Name;
};
using TSectionList = std::vector<TScenarioSection>;

// A train line "{minutes} 3 6 {kind} {number value}..." taken apart; the last of a repeated
// parameter counts, but the train number is the first 1025.
struct TTrainLine {
    int Minutes = 0;
    int Kind = 0;
    bool HasNumber = false;
    int Number = 0;
    std::map<int, std::string> Pairs;  // parameter number -> value word
    // The value of a parameter read leniently, or def when the line has none.
    int Value(int param, int def) const;
};

// The page a train kind belongs to (1 or 2), 0 for a kind the editor does not know.
int PageOfKind(int kind);
// Splits a scenario line whose words are all well formed: whole minutes, receiver 3, command 6,
// then pairs of a whole parameter number and a value word. False for anything else.
bool ParseTrainLine(const std::string& line, TTrainLine& out);
// "HH:MM " of a due time (two digits each, one blank after).
std::string TimePrefix(int minutes);
// One file line read the way the editor reads it (the line without its line end).
TTrainRecord ReadScenarioLine(const std::string& line, const TSectionList& sections);

// The scenario files of a folder: the names ending in ".shd" (any case), sorted by name.
std::vector<std::string> ListScenarioFiles(const std::string& dir);

class TScenarioDocument {
public:
    TScenarioDocument();

    // The file the scenario was read from or last saved to; empty for a new scenario.
    std::string ScenarioFileName;
    // Set by every add, remove and clear; cleared by New and a successful save.
    bool Modified = false;

    const std::vector<TTrainRecord>& Events() const { return events; }
    // Appends an event; the 300th raises "Переполнение массива300" and changes nothing.
    void Add(const TTrainRecord& r);
    // Ascending by due time; events with the same time keep their order.
    void Sort();
    void Remove(size_t i);
    void RemovePage(int page);
    // A new scenario: no name, not modified, no events.
    void New();

    // The index in Events() of the n-th event of a page, -1 when there is none.
    int IndexOnPage(int page, int n) const;
    std::vector<std::string> PageDisplays(int page) const;
    bool HasKey(int key) const;

    enum class TLoadResult { CannotOpen, Read, Overflow };
    // Reads path (name and Modified stay as they are). A file that cannot be opened changes
    // nothing. Lines are read whole; the "\r"s before the line end are dropped; blank lines are
    // skipped. Overflow: the first 299 events are kept and the rest of the file is not read.
    TLoadResult Load(const std::string& path, const TSectionList& sections);
    // Writes every event's Message and "\n" in list order to a file beside path, then puts that
    // file in place of path. On any failure the old file is left as it was and false returned.
    // Clears Modified on success.
    bool Save(const std::string& path);

    // Writes one line to an open file; false when it failed (tests make it fail).
    std::function<bool(std::FILE*, const std::string&)> WriteLine;

private:
    std::vector<TTrainRecord> events;
};
