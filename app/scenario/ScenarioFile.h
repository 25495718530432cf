// The scenario document: the events of a scenario file ("data\*.shd", code page 1251 on disk,
// one line a timed bus message "{minutes} {message}") with the texts the editor's three pages
// show, and the run-time loader's reading of the same file. Events keep the file's order until an
// add sorts them by due time. Every line read from a file is written back with its own bytes,
// line end and the blank lines above it, so a file opened and saved without an edit comes back
// byte for byte; a line the editor does not understand is kept, shown on the faults page with the
// reason, and written back unchanged. No Qt here: the program and headless tests share it.
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
    std::string Message;  // the file line in UTF-8, exactly as written to the file
    std::string Display;  // the line of the page's list
    bool Kept = false;    // not understood: written back as read, not removed by clearing a page
    // Of a line read from a file: its bytes on disk, its line end as read ("" for a last line
    // without one) and the blank lines above it, which travel with it.
    bool FromFile = false;
    std::string Raw;
    std::string Eol;
    std::string Before;
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
// The one rule for a scenario line's time, shared by the editor's reader and the run's loader: a
// number of minutes since 00:00 written in digits with at most one decimal point, below 1440
// (23:59 at most, as the editor's fields allow). False with the reason for anything else.
constexpr int kMinutesOfDay = 24 * 60;
bool ReadScenarioMinutes(const std::string& word, double& minutes, std::string* reason = nullptr);
// Splits a scenario line whose words are all well formed: whole minutes, receiver 3, command 6,
// then pairs of a whole parameter number and a value word. False for anything else.
bool ParseTrainLine(const std::string& line, TTrainLine& out);
// "HH:MM " of a due time (two digits each, one blank after).
std::string TimePrefix(int minutes);
// One file line read the way the editor reads it (the line without its line end).
TTrainRecord ReadScenarioLine(const std::string& line, const TSectionList& sections);

// A scenario file's lines. Scenario files are code page 1251; a file is read as UTF-8 only where
// code page 1251 cannot be meant: it starts with a byte-order mark and has a character beyond
// ASCII, or it is valid UTF-8 with such characters and holds a byte that, read in code page 1251,
// is a character no Russian or Ukrainian text uses (Utf8Only); in both cases each of its
// characters must have a code page 1251 one. A byte-order mark over a text the two read alike
// (ASCII, or nothing) is kept as it is.
struct TScenarioText {
    struct Line {
        std::string Bytes;  // as on disk, without the line end
        std::string Eol;    // the "\r"s and "\n" that end it; "" for a last line without one
        std::string Text;   // Bytes in UTF-8
    };
    bool Utf8 = false;
    bool Bom = false;  // the byte-order mark, read as UTF-8 and not part of the first line
    std::string Lead;  // a byte-order mark kept over a text without a character beyond ASCII
    std::vector<Line> Lines;
};
// True when the bytes hold one that code page 1251 reads as a character no Russian or Ukrainian
// text uses (the letters of other Cyrillic alphabets, rare signs, the one undefined byte): where
// such text is valid UTF-8, UTF-8 is what was meant.
bool Utf8Only(const std::string& bytes);
// False when the file cannot be opened.
bool ReadScenarioText(const std::string& path, TScenarioText& out);

// A line of a scenario file that the run did not schedule, and why.
struct TUnscheduledLine {
    int Number = 0;  // line of the file, from 1
    std::string Text;
    std::string Reason;
};
// Why a bus message cannot be sent to the trainer's models: "" when its receiver is one of them
// (instructor, plan, interlocking, technology, interface, message, delay), else the reason.
std::string ReceiverProblem(const std::string& mes);
// What a scenario line becomes at run time: [8 4 {seconds} {message}], the seconds with six
// decimals; empty, with the reason, when it cannot be scheduled (a time that is not a number or
// lies before the start, no message, a receiver the trainer does not have).
std::string ScheduledMessage(const std::string& line, std::string* reason = nullptr);
// Schedules every data line of a scenario file (blank lines and "*" remarks skipped, each line
// whole however long) through send; the lines that could not be scheduled, or that send refused,
// go to skipped. False when the file cannot be opened.
bool ScheduleScenario(const std::string& path, const std::function<bool(std::string&)>& send,
                      std::vector<TUnscheduledLine>& skipped);
// The text the instructor is shown about the unscheduled lines of a scenario, and its console line
// for one of them.
std::string UnscheduledText(const std::string& name, const std::vector<TUnscheduledLine>& lines);
std::string UnscheduledConsoleLine(const std::string& name, const TUnscheduledLine& line);

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
    // Blank lines above a removed event stay, above the event after it.
    void Remove(size_t i);
    // Removes the page's own events; kept lines shown on the faults page stay.
    void RemovePage(int page);
    // A new scenario: no name, not modified, no events.
    void New();

    // The index in Events() of the n-th event of a page, -1 when there is none.
    int IndexOnPage(int page, int n) const;
    std::vector<std::string> PageDisplays(int page) const;
    bool HasKey(int key) const;

    enum class TLoadResult { CannotOpen, Read, Overflow };
    // Reads path (name and Modified stay as they are). A file that cannot be opened changes
    // nothing. Lines are read whole; blank lines are no events but are kept. Overflow: the first
    // 299 events are listed; the rest of the file is kept unlisted (Unlisted counts its lines
    // that are not blank) and written back after them.
    TLoadResult Load(const std::string& path, const TSectionList& sections);
    // Writes the events in list order (a line read from a code page 1251 file with its own bytes,
    // any other as its Message in code page 1251; a line added in the editor ended by "\n") and
    // then the unlisted rest of the file, to a file beside path (path's target when it is a
    // link), flushed to disk, and puts that file in place of it. A write-protected file, and any
    // failure, leave the old file as it was and return false. Clears Modified on success.
    bool Save(const std::string& path);

    // The file was read as UTF-8; it is saved in code page 1251.
    bool Utf8 = false;
    // Lines of the file beyond the 299 events, not listed; written back unchanged.
    unsigned Unlisted = 0;
    // A byte-order mark the file began with over ASCII text: written back while the text stays so.
    std::string Lead;

    // Writes one line to an open file; false when it failed (tests make it fail).
    std::function<bool(std::FILE*, const std::string&)> WriteLine;

private:
    std::vector<TTrainRecord> events;
    std::string tail;  // blank lines after the last event and the unlisted rest, as read
};
