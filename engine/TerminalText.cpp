#include "engine/TerminalText.h"

#include <cstdio>

namespace {

// The bytes of the UTF-8 character at text[i] (1 for ASCII); 0 when the
// bytes there are no UTF-8: a stray or missing continuation byte, an
// overlong form, a surrogate, a value past U+10FFFF.
size_t Utf8CharacterAt(const std::string& text, size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t bytes = 0;
    unsigned long value = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        bytes = 2;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        bytes = 3;
        value = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        bytes = 4;
        value = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + bytes > text.size()) return 0;
    for (size_t k = 1; k < bytes; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        value = value << 6 | (next & 0x3Fu);
    }
    if ((bytes == 3 && value < 0x800) || (bytes == 4 && (value < 0x10000 || value > 0x10FFFF)) ||
        (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return bytes;
}

void AppendHex(unsigned char u, std::string* out) {
    char hex[8];
    snprintf(hex, sizeof hex, "\\x%02x", u);
    *out += hex;
}

}  // namespace

std::string EscapeControls(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            // A character stays as it is, unless it is one of the controls
            // U+0080..U+009F (a terminal may act on them); bytes that are no
            // UTF-8 are written out one by one.
            const size_t bytes = Utf8CharacterAt(text, i);
            const bool control = bytes == 2 && u == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
            if (bytes && !control) {
                out.append(text, i, bytes);
            } else {
                for (size_t k = 0; k < (bytes ? bytes : 1); ++k) AppendHex(static_cast<unsigned char>(text[i + k]), &out);
            }
            i += bytes ? bytes : 1;
            continue;
        }
        ++i;
        if (u >= 0x20 && u != 0x7F) {
            out += c;
            continue;
        }
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default: AppendHex(u, &out);
        }
    }
    return out;
}
