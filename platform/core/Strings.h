// Text types of the system (UTF-8 inside the program) and the code page 1251 conversion used at file boundaries.
#pragma once
#include <string>
#include <vector>

using AnsiString = std::string;

// Code page 1251 <-> UTF-8. Byte 0x98 (unassigned) decodes to U+FFFD; characters with no
// code page 1251 byte encode as '?'.
std::string Cp1251ToUtf8(const std::string& bytes);
std::string Utf8ToCp1251(const std::string& text);

// Blank characters of the data files and messages: blank, tab, carriage return, line feed.
bool IsBlankChar(char c);
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// An ordered list of texts, as the forms and dialogues use it.
class TStringList {
public:
    int Count() const { return static_cast<int>(lines.size()); }
    int Add(const std::string& s) { lines.push_back(s); return Count() - 1; }
    void Insert(int i, const std::string& s);
    void Delete(int i);
    void Clear() { lines.clear(); }
    int IndexOf(const std::string& s) const;
    const std::string& operator[](int i) const { return lines.at(static_cast<size_t>(i)); }
    std::string& operator[](int i) { return lines.at(static_cast<size_t>(i)); }
    // All lines, each followed by a line feed.
    std::string Text() const;
    void SetText(const std::string& text);
    std::vector<std::string> lines;
};
