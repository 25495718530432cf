// Fuzz target: the scenario files. The input is a scenario file; it is read as the editor reads
// it (with sections 12 "2П" and 219 "19СП" of the sample station listed) and written back: a file
// read in code page 1251 must come back byte for byte, one read as UTF-8 as its code page 1251
// text. Sorted by time and written again it must hold the same lines; and the run's loader must
// schedule or name every data line of it. The input's bytes mapped onto what a Russian or
// Ukrainian text in code page 1251 holds are never taken for UTF-8 and come back byte for byte.
#include <algorithm>

#include "app/scenario/ScenarioFile.h"
#include "fuzz/FuzzInput.h"
#include "platform/core/Exception.h"
#include "platform/core/Strings.h"

namespace {

std::string FileBytes(const char* path)
{
    std::string s;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) std::abort();
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    std::fclose(f);
    return s;
}

std::vector<std::string> SortedMessages(const TScenarioDocument& d)
{
    std::vector<std::string> m;
    for (const TTrainRecord& r : d.Events()) m.push_back(r.Message);
    std::sort(m.begin(), m.end());
    return m;
}

// The bytes a code page 1251 text of people holds: line ends, tabs, ASCII, the letters from 0xC0
// and the letters and signs of 0x80-0xBF that Utf8Only does not count as foreign.
std::string RealCp1251Bytes()
{
    std::string a = "\t\n\r";
    for (int b = 0x20; b < 0x7F; ++b) a += static_cast<char>(b);
    for (int b = 0x80; b < 0x100; ++b)
        if (!Utf8Only(std::string(1, static_cast<char>(b)))) a += static_cast<char>(b);
    return a;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string in(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile("data/in.shd", in);
    const TSectionList sections{{12, "2П"}, {219, "19СП"}};
    TScenarioDocument read, back;
    if (read.Load("data\\in.shd", sections) == TScenarioDocument::TLoadResult::CannotOpen) std::abort();
    const bool utf8 = read.Utf8;
    if (!read.Save("data\\out.shd")) std::abort();
    const std::string out = FileBytes("data/out.shd");
    if (!utf8 && out != in) std::abort();
    if (utf8) {
        const std::string body = in.compare(0, 3, "\xEF\xBB\xBF") == 0 ? in.substr(3) : in;
        if (out != Utf8ToCp1251(body)) std::abort();
    }
    if (back.Load("data\\out.shd", sections) == TScenarioDocument::TLoadResult::CannotOpen) std::abort();
    if (!back.Utf8) {
        const auto& a = read.Events();
        const auto& b = back.Events();
        if (a.size() != b.size()) std::abort();
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i].Message != b[i].Message || a[i].Display != b[i].Display || a[i].Key != b[i].Key ||
                a[i].Page != b[i].Page || a[i].Kept != b[i].Kept)
                std::abort();
    }

    // An edit that moves every line: the same lines, each whole, none merged with another.
    if (!back.Utf8) {
        back.Sort();
        TScenarioDocument sorted;
        if (!back.Save("data\\sorted.shd")) std::abort();
        if (sorted.Load("data\\sorted.shd", sections) == TScenarioDocument::TLoadResult::CannotOpen) std::abort();
        if (!sorted.Utf8 && SortedMessages(sorted) != SortedMessages(back)) std::abort();
    }

    // The run: every line that is not blank or a remark is scheduled or named.
    TScenarioText text;
    if (!ReadScenarioText("data\\in.shd", text)) std::abort();
    size_t dataLines = 0;
    for (const auto& l : text.Lines) {
        std::string t = Trim(l.Text);
        if (!t.empty() && t[0] != '*') ++dataLines;
    }
    size_t sent = 0;
    std::vector<TUnscheduledLine> skipped;
    auto send = [&sent](std::string& mes) {
        if (mes.rfind("8 4 ", 0) != 0) std::abort();
        ++sent;
        return true;
    };
    if (!ScheduleScenario("data\\in.shd", send, skipped)) std::abort();
    if (sent + skipped.size() != dataLines) std::abort();

    // A real code page 1251 text, however it happens to look as UTF-8, stays code page 1251: the
    // input itself when it is one (bytes such as D0 A0 C2 B0, "Р", a no-break space, "В", "°"),
    // else the input with each other byte replaced by one of such a text.
    static const std::string alphabet = RealCp1251Bytes();
    std::string real = in;
    for (char& c : real)
        if (alphabet.find(c) == std::string::npos) c = alphabet[static_cast<unsigned char>(c) % alphabet.size()];
    // "п»ї" in front is the byte-order mark, which says UTF-8 in so many words.
    if (real.compare(0, 3, "\xEF\xBB\xBF") == 0) real[0] = 'x';
    fuzz::WriteFile("data/real.shd", real);
    TScenarioDocument cp;
    if (cp.Load("data\\real.shd", sections) == TScenarioDocument::TLoadResult::CannotOpen || cp.Utf8) std::abort();
    if (!cp.Save("data\\real_out.shd") || FileBytes("data/real_out.shd") != real) std::abort();
    return 0;
}
