// The station lists that the program's windows read beside the models' data files:
// "DATA\SwitchSt.dat" (the posts' switches and sections; one reader for the main window, the
// scenario editor and the post dialogues) and "DATA\Zacrepit.dat" (the securing tracks and
// norms). Each reader takes the first 119 characters of a line (code page 1251, one byte a
// character), keeps the lines it can use in file order and refuses a line it cannot use with a
// problem naming that line; every number it keeps is within a sane range, so nothing sized by a
// number of these files can grow without bound. A missing file gives nothing. No Qt here.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "models/base/Containers.h"
#include "platform/core/Exception.h"

// A line a reader refused: its number in the file (from 1) and why.
struct TDataLineProblem {
    int Line = 0;
    std::string Reason;
};
using TDataLineProblems = std::vector<TDataLineProblem>;

// "{file}, строка {line}: {reason}", the form in which every reader names a faulty line.
std::string DataLineMessage(const std::string& file, int line, const std::string& reason);

// Every line of a station list file (code page 1251) as UTF-8 without its line end, only the
// first 119 characters of each kept however long it is; nothing when the file is missing or the
// name empty. "DATA\Pribitie.dat" is read this way too.
std::vector<std::string> ReadListLines(const std::string& path);

// A fault while a window takes the lines of its data file (a list overflowing), naming the file
// and the line.
class TDataFileError : public Exception {
public:
    TDataFileError(const std::string& file, int line, const std::string& reason)
        : Exception(DataLineMessage(file, line, reason)), File(file), Line(line)
    {
    }
    std::string File;
    int Line;
};

// ---- "DATA\SwitchSt.dat" ----

// One entry: "kind post number [name]", kind 1 a switch, 2 a section of a post, 3 another
// section; a section always has its name (the rest of the line, trimmed).
struct TSwitchStLine {
    int Kind = 0;
    int Post = 0;
    int Number = 0;
    std::string Name;
    int Line = 0;  // in the file, from 1
};
// The post sections of the main window are the section entries of this one structure.
using TSectionNumber = TSwitchStLine;

constexpr int kMaxPost = 999;
constexpr int kMaxSwitchStNumber = 99999;

struct TSwitchStFile {
    std::vector<TSwitchStLine> Lines;  // kinds 1 to 3, file order
    TDataLineProblems Problems;
};

// A line that does not begin with a whole number, or whose kind is not 1 to 3, is skipped
// silently; a post or number out of range, or a section without a name, is refused.
TSwitchStFile ReadSwitchSt(const std::string& path);

// ---- "DATA\Zacrepit.dat" ----

// A track line "{word} {name} {id}": the post 3 group when the word begins with "п"/"П", the
// post 7 group with "о"/"О".
struct TZacrepitTrack {
    int Group = 3;
    std::string Name;
    unsigned Id = 0;
    int Line = 0;
};

// A securing norm: trains shorter than Bound, on the track, loaded (1) or empty (0), need Shoes.
// On disk the order is "bound track loaded shoes".
struct TZacrepitNorm {
    unsigned Bound = 0;
    unsigned Shoes = 0;
    unsigned Track = 0;
    int Loaded = 0;
};
using TZacrepitNorms = dllist<TZacrepitNorm>;

// The ranges a securing line is held to: a length bound in conventional cars, a track (section)
// number, the shoes of one norm.
constexpr unsigned kMaxNormBound = 1000;
constexpr unsigned kMaxTrackId = 99999;
constexpr unsigned kMaxShoes = 99;

struct TZacrepitFile {
    std::vector<TZacrepitTrack> Tracks;  // file order
    TZacrepitNorms Norms;                // file order
    TDataLineProblems Problems;
};

// A line whose first field is neither a track word nor a whole number (a comment) and a norm
// whose bound is 0 are skipped silently; a track line without its name or id, a norm line with a
// field missing and any number out of range are refused.
TZacrepitFile ReadZacrepit(const std::string& path);
// The shoe counts offered: every number from the smallest to the largest of the norms (at most
// kMaxShoes + 1 of them).
std::vector<unsigned> ShoeRange(const TZacrepitNorms& norms);
// The first norm in file order for the track and loaded state whose bound exceeds length.
std::optional<unsigned> NeededShoes(const TZacrepitNorms& norms, unsigned track, int loaded, int length);
