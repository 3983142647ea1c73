#include "engine/CFontString.h"

CFontString::CFontString(const uint16_t* text) { Append(text); }

CFontString::CFontString(const char* text) {
    if (!text) return;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) units_.push_back(*p);
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
