// A text of 16-bit units (UCS-2, as SDL_ttf's UNICODE calls take them), the
// text type of the string table and the text renderer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CFontString {
public:
    CFontString() = default;
    // The units up to the zero terminator (null gives an empty text).
    explicit CFontString(const uint16_t* text);
    // One unit per byte, the byte taken as an unsigned value, so Latin-1
    // bytes 0x80..0xFF become U+0080..U+00FF.
    explicit CFontString(const char* text);
    // A text as this system writes names and what people type: UTF-8. A
    // character beyond 16 bits, and every byte that is not part of a whole
    // and valid sequence, becomes "?" (null gives an empty text). With
    // starts, it also gives the byte at which each unit's character begins,
    // and the text's length after the last: a typed text cut at starts[k]
    // keeps k whole characters, never part of one. This is the one reader
    // of UTF-8: every cut of a typed text goes by it.
    static CFontString FromUtf8(const char* text, std::vector<size_t>* starts = nullptr);
    // The bytes of the last character of a UTF-8 text as FromUtf8 reads it
    // (a broken sequence is one "?", so one character): what one Backspace
    // takes away. 0 for an empty text.
    static size_t LastUtf8CharacterBytes(const std::string& text);

    void Append(uint16_t unit);
    void Append(const uint16_t* text);
    void Append(const CFontString& other);
    CFontString& operator=(const uint16_t* text);
    // text's units followed by s's units.
    static CFontString Prepend(const uint16_t* text, const CFontString& s);

    size_t Length() const { return units_.size(); }
    bool Empty() const { return units_.empty(); }
    uint16_t At(size_t i) const { return i < units_.size() ? units_[i] : 0; }
    // Units i to the end; empty when i is at or past the end.
    CFontString Suffix(size_t i) const;
    // The n units from i; empty (not shortened) when i + n exceeds the length.
    CFontString Substring(size_t i, size_t n) const;
    // Index of the first occurrence at or after `from`, compared as whole
    // units; -1 when absent or when the string is empty.
    int Find(const uint16_t* text, size_t from = 0) const;
    int Find(uint16_t unit, size_t from = 0) const;
    // The units followed by a zero unit, valid until the next call or the
    // text's destruction.
    const uint16_t* c_str();
    // The low 8 bits of each unit.
    std::string Narrow() const;
    // The units in UTF-8.
    std::string Utf8() const;

    bool operator==(const CFontString& o) const { return units_ == o.units_; }
    bool operator!=(const CFontString& o) const { return units_ != o.units_; }

private:
    std::vector<uint16_t> units_;
    std::vector<uint16_t> terminated_;
};
