// A bus message split into its words once, so that a receiver reads its fields from the words
// instead of scanning the whole text again for every field it needs. The words are a copy: a
// handler may write its reply over the message while it still reads them.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

class TBusWords {
public:
    explicit TBusWords(const std::string& text);
    TBusWords(const TBusWords&) = delete;
    TBusWords& operator=(const TBusWords&) = delete;

    // Words are split at blanks as sscanf sees them; at most kMaxWords are kept.
    static constexpr size_t kMaxWords = 64;
    size_t Count() const { return count; }
    // Word i, "" past the last.
    const char* Word(size_t i) const { return i < count ? words[i] : ""; }

    // Word i read as sscanf reads it with "%d", "%u", "%lf" and "%f"; false, value unchanged, when
    // the word is missing or does not begin with a number.
    bool Get(size_t i, int& value) const;
    bool Get(size_t i, unsigned& value) const;
    bool Get(size_t i, double& value) const;
    bool Get(size_t i, float& value) const;
    // The same with a default.
    int Int(size_t i, int def = 0) const { Get(i, def); return def; }
    unsigned UInt(size_t i, unsigned def = 0) const { Get(i, def); return def; }
    double Double(size_t i, double def = 0) const { Get(i, def); return def; }
    float Float(size_t i, float def = 0) const { Get(i, def); return def; }

    // The message from word i on, trimmed, its blanks as they were (DropWords of the text).
    std::string Rest(size_t i) const;

private:
    // The message as received, then its split copy: in small when it is short, else in large.
    char small[256];
    std::unique_ptr<char[]> large;
    const char* text = small;
    const char* words[kMaxWords];
    size_t count = 0;
};
