// "DATA\Pribitie.dat", the arrival lists of the dialogues: stations (kind 1) and tracks
// (kinds 2 to 6), one a line, "kind id name". Code page 1251; no comment syntax: a line is taken
// when its first two fields read as numbers and it has its name. Only the first 119 characters
// of a line count, however long it is.
#pragma once
#include <string>
#include <vector>

struct TArrivalLine {
    int Kind = 0;
    int Id = 0;
    // A station: its third field only, one word. A track: everything after the id, trimmed.
    std::string Text;
    int Line = 0;  // in the file, from 1
};

// Every usable line of the file in file order; a missing file or an empty name gives nothing.
std::vector<TArrivalLine> ReadArrivalList(const std::string& path);
