#include "engine/CFontString.h"

CFontString::CFontString(const uint16_t* text) { Append(text); }

CFontString::CFontString(const char* text) {
    if (!text) return;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) units_.push_back(*p);
}

CFontString CFontString::FromUtf8(const char* text, std::vector<size_t>* starts) {
    CFontString out;
    if (starts) starts->clear();
    if (!text) {
        if (starts) starts->push_back(0);
        return out;
    }
    const unsigned char* const first = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* p = first;
    while (*p) {
        if (starts) starts->push_back(static_cast<size_t>(p - first));
        const unsigned char lead = *p++;
        if (lead < 0x80) {
            out.units_.push_back(lead);
            continue;
        }
        int more = 0;
        uint32_t code = 0;
        // The smallest code point and the range of the second byte for each
        // lead, so that overlong forms and surrogates are refused.
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            code = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            code = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        // A broken sequence is one "?" for its lead and the bytes that did
        // belong to it; the byte that broke it starts afresh.
        bool whole = more > 0;
        for (int k = 0; k < more; ++k) {
            if (*p < low || *p > high) {
                whole = false;
                break;
            }
            code = (code << 6) | (*p++ & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        out.units_.push_back(whole && code <= 0xFFFF ? static_cast<uint16_t>(code) : static_cast<uint16_t>('?'));
    }
    if (starts) starts->push_back(static_cast<size_t>(p - first));
    return out;
}

size_t CFontString::LastUtf8CharacterBytes(const std::string& text) {
    std::vector<size_t> starts;
    const CFontString units = FromUtf8(text.c_str(), &starts);
    return units.Empty() ? 0 : starts[units.Length()] - starts[units.Length() - 1];
}

void CFontString::Append(uint16_t unit) { units_.push_back(unit); }

void CFontString::Append(const uint16_t* text) {
    if (!text) return;
    for (; *text; ++text) units_.push_back(*text);
}

void CFontString::Append(const CFontString& other) {
    units_.insert(units_.end(), other.units_.begin(), other.units_.end());
}

CFontString& CFontString::operator=(const uint16_t* text) {
    units_.clear();
    Append(text);
    return *this;
}

CFontString CFontString::Prepend(const uint16_t* text, const CFontString& s) {
    CFontString out(text);
    out.Append(s);
    return out;
}

CFontString CFontString::Suffix(size_t i) const {
    CFontString out;
    if (i < units_.size()) out.units_.assign(units_.begin() + static_cast<std::ptrdiff_t>(i), units_.end());
    return out;
}

CFontString CFontString::Substring(size_t i, size_t n) const {
    CFontString out;
    if (i <= units_.size() && n <= units_.size() - i) {
        out.units_.assign(units_.begin() + static_cast<std::ptrdiff_t>(i),
                          units_.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    return out;
}

int CFontString::Find(const uint16_t* text, size_t from) const {
    if (units_.empty() || !text) return -1;
    size_t n = 0;
    while (text[n]) ++n;
    if (n > units_.size()) return -1;
    for (size_t i = from; i + n <= units_.size(); ++i) {
        size_t k = 0;
        while (k < n && units_[i + k] == text[k]) ++k;
        if (k == n) return static_cast<int>(i);
    }
    return -1;
}

int CFontString::Find(uint16_t unit, size_t from) const {
    for (size_t i = from; i < units_.size(); ++i) {
        if (units_[i] == unit) return static_cast<int>(i);
    }
    return -1;
}

const uint16_t* CFontString::c_str() {
    terminated_ = units_;
    terminated_.push_back(0);
    terminated_.push_back(0);
    return terminated_.data();
}

std::string CFontString::Narrow() const {
    std::string out;
    out.reserve(units_.size());
    for (uint16_t u : units_) out.push_back(static_cast<char>(u & 0xFF));
    return out;
}

std::string CFontString::Utf8() const {
    std::string out;
    for (uint16_t u : units_) {
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}
