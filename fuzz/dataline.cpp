// Fuzz target: the data-line reader and the word helpers every reader of a data file uses.
// The input is one data file. Besides the sanitizers, it checks what callers rely on: a line
// counts at most 239 bytes, a data line is never blank, the reader ends, and the data-line count
// of OpenDataFile matches what the reader returns.
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "models/base/Utilit.h"
#include "platform/core/Strings.h"

namespace {

const AnsiString kKeys[] = {"Объект", "Конец", "*"};

void Check(bool ok)
{
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile("data/in.dat", bytes);

    std::FILE* f = nullptr;
    int counted = OpenDataFile(&f, "DATA\\IN.DAT");
    int dataLines = 0;
    if (f) {
        std::string buf;
        int r;
        size_t calls = 0;
        while ((r = ReadDataLine(f, buf, "*")) != -1) {
            Check(++calls <= size + 2);
            Check(r == 0 || r == 1);
            if (r == 0) continue;
            ++dataLines;
            Check(!Trim(buf).empty());
            std::string line = buf;
            FindKeyIndex(line, kKeys, 3);
            AnsiString w = FirstWord(buf);
            AnsiString rest = DropFirstWord(buf);
            Check(w.size() + rest.size() <= buf.size());
            DropWords(buf, 3);
            IsNumber(w.c_str());
            IsAllDigits(w.c_str());
        }
        Check(buf == "EOF");
        std::fclose(f);
    }
    Check(counted == dataLines);

    f = std::fopen("data/in.dat", "rb");
    Check(f != nullptr);
    std::string raw;
    size_t total = 0;
    while (ReadRawLine(f, raw)) total += raw.size() + 1;
    Check(total >= size && total <= size + 1);
    std::fclose(f);
    return 0;
}
