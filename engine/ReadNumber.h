// The one reader of the numbers that people and programs write: options on a
// command line, a level source's fields, the score protocol's fields. The
// whole text is one decimal number from low to high, or nothing is read:
// digits only, with a minus sign before a negative one (never before zero:
// "-0" is refused as "+0" is) and, for a real
// number, a point and an exponent; no blanks, no plus sign, no base prefix,
// nothing after the number. Header only, so that the score server (which
// links nothing of the game) reads its numbers here too.
#pragma once

#include <charconv>
#include <string>

// False, and *value untouched, for anything but such a number within
// low..high (both included).
template <typename Number>
bool ReadNumber(const std::string& text, Number low, Number high, Number* value) {
    Number read{};
    const char* const end = text.data() + text.size();
    const std::from_chars_result result = std::from_chars(text.data(), end, read);
    // Written so that a real that is no number (NaN) is outside every range.
    if (result.ec != std::errc() || result.ptr != end || !(read >= low && read <= high) ||
        (text[0] == '-' && read == 0))
        return false;
    *value = read;
    return true;
}
