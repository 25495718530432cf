// Path mapping with case-insensitive name matching.
#include "platform/core/Paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/Strings.h"

namespace {

// Case folding through code page 1251, which covers Latin and Cyrillic letters.
std::string Fold(const std::string& utf8)
{
    std::string b = Utf8ToCp1251(utf8);
    for (char& ch : b) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
        else if (c >= 0xC0 && c <= 0xDF) c = static_cast<unsigned char>(c + 32);
        else if (c == 0xA8) c = 0xB8;  // Ё
        else if (c == 0xAA) c = 0xBA;  // Є
        else if (c == 0xAF) c = 0xBF;  // Ї
        else if (c == 0xB2) c = 0xB3;  // І
        else if (c == 0xA5) c = 0xB4;  // Ґ
        ch = static_cast<char>(c);
    }
    return b;
}

bool Exists(const std::string& p)
{
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

} // namespace

std::string MapPath(const std::string& path)
{
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.empty() || Exists(p)) return p;

    std::string out;
    size_t pos = 0;
    if (p[0] == '/') { out = "/"; pos = 1; }
    while (pos <= p.size()) {
        size_t e = p.find('/', pos);
        if (e == std::string::npos) e = p.size();
        std::string part = p.substr(pos, e - pos);
        pos = e + 1;
        if (part.empty()) continue;
        std::string dir = out.empty() ? "." : out;
        std::string candidate = out + part;
        if (part != "." && part != ".." && !Exists(candidate)) {
            if (DIR* d = ::opendir(dir.c_str())) {
                std::string want = Fold(part);
                while (dirent* ent = ::readdir(d)) {
                    if (Fold(ent->d_name) == want) { candidate = out + ent->d_name; break; }
                }
                ::closedir(d);
            }
        }
        out = candidate;
        if (e < p.size()) out += '/';
    }
    return out;
}

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(MapPath(path).c_str(), mode); }

bool FileExists(const std::string& path) { return Exists(MapPath(path)); }

bool DeleteFile(const std::string& path) { return ::unlink(MapPath(path).c_str()) == 0; }
