// What every fuzz target shares: the input cut into files, a scratch working directory for the
// files the readers open by their fixed names, and a tiny file writer.
//
// An input that stands for several files holds them in order, each ended by a form feed ('\f');
// what follows the last form feed is the last file, missing files are empty.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzz {

inline std::vector<std::string> SplitFiles(const uint8_t* data, size_t size, size_t files)
{
    std::vector<std::string> out(files);
    size_t k = 0;
    for (size_t i = 0; i < size; ++i) {
        char c = static_cast<char>(data[i]);
        if (c == '\f' && k + 1 < files) {
            ++k;
            continue;
        }
        out[k] += c;
    }
    return out;
}

// Makes a fresh folder with data/ in it the working directory for the rest of the run.
inline void EnterScratchDirectory()
{
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("velo_fuzz_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "data");
    fs::current_path(dir);
    // Leave nothing behind in the temporary folder.
    static const std::string kept = dir.string();
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(kept, ec);
    });
}

inline void WriteFile(const char* path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path, "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
}

} // namespace fuzz
