#include "strings/CStringTableCompiler.h"

#include <climits>
#include <sstream>

#include "engine/ReadNumber.h"

namespace {

std::vector<std::string> SplitBars(const std::string& s) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t bar = s.find('|', start);
        fields.push_back(s.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return fields;
}

bool IsNumber(const std::string& s) {
    int value = 0;
    return ReadNumber(s, INT_MIN, INT_MAX, &value);
}

bool IsBlankLine(const std::string& s) {
    for (char c : s)
        if (c != ' ' && c != '\t') return false;
    return true;
}

}  // namespace

void CStringTableCompiler::Error(const Source& src, int line, const std::string& what) {
    errors_.push_back(src.name + ":" + std::to_string(line) + ": " + what);
}

bool CStringTableCompiler::ToUtf16(const std::string& utf8, std::vector<uint16_t>& units) const {
    units.clear();
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = 0;
        int extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xe0) == 0xc0) {
            cp = c & 0x1f;
            extra = 1;
        } else if ((c & 0xf0) == 0xe0) {
            cp = c & 0x0f;
            extra = 2;
        } else {
            return false;  // invalid, or beyond 16 bits
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= utf8.size()) return false;
            const unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
            if ((cc & 0xc0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3f);
        }
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800)) return false;  // overlong
        if (cp >= 0xd800 && cp <= 0xdfff) return false;
        if (cp == 0xfeff || cp == 0) return false;  // a stray mark or terminator would confuse the loader
        units.push_back(static_cast<uint16_t>(cp));
        i += 1 + extra;
    }
    return true;
}

bool CStringTableCompiler::Compile(const std::vector<Source>& sources, std::vector<uint8_t>& out) {
    errors_.clear();
    fonts_.clear();
    ids_.clear();
    out.clear();
    std::vector<std::vector<uint16_t>> lines;
    bool haveStyle = false;

    for (const Source& src : sources) {
        std::istringstream in(src.text);
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || IsBlankLine(line)) continue;
            if (number == 1 && line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
            std::vector<uint16_t> units;
            if (!ToUtf16(line, units)) {
                Error(src, number, "not valid UTF-8 within 16 bits");
                continue;
            }
            const char kind = line[0];
            if (kind == '#') {
                lines.push_back(units);
                continue;
            }
            if (kind != '!' && kind != '@') {
                Error(src, number, "a line starts with '#', '!' or '@'");
                continue;
            }
            const std::vector<std::string> fields = SplitBars(line.substr(1));
            bool fieldsOk = true;
            for (const std::string& f : fields) {
                std::vector<uint16_t> fu;
                ToUtf16(f, fu);
                if (fu.size() > static_cast<size_t>(kMaxFieldUnits)) {
                    Error(src, number, "a field is longer than 1023 characters");
                    fieldsOk = false;
                }
            }
            if (!fieldsOk) continue;
            if (kind == '!') {
                if (fields.size() > 6) {
                    Error(src, number, "a style line has at most six fields");
                    continue;
                }
                if (fields[0].empty()) {
                    Error(src, number, "a style line names a font file");
                    continue;
                }
                bool numbersOk = true;
                for (size_t k = 1; k < fields.size(); ++k)
                    if (!IsNumber(fields[k])) numbersOk = false;
                if (!numbersOk) {
                    Error(src, number, "style numbers are decimal integers");
                    continue;
                }
                fonts_.insert(fields[0]);
                haveStyle = true;
                lines.push_back(units);
                continue;
            }
            // A text line.
            if (fields.size() != 2) {
                Error(src, number,
                      fields.size() < 2 ? "a text line is \"@id|text\"" : "a text cannot contain '|'");
                continue;
            }
            int id = 0;
            if (!ReadNumber(fields[0], 0, INT_MAX, &id)) {
                Error(src, number, "a text id is a decimal number");
                continue;
            }
            if (fields[1].empty()) {
                Error(src, number, "a text line needs a text");
                continue;
            }
            if (!haveStyle) {
                Error(src, number, "a text before any style line would have no font");
                continue;
            }
            if (!ids_.insert(id).second) {
                Error(src, number, "text id " + fields[0] + " given twice");
                continue;
            }
            int bold = 0, italic = 0, underline = 0;
            const std::string& t = fields[1];
            for (size_t k = 0; k + 1 < t.size(); ++k) {
                if (t[k] != '%') continue;
                const char m = t[k + 1];
                if (m == 'b') ++bold;
                if (m == 'i') ++italic;
                if (m == 'u') ++underline;
                if (m == 'b' || m == 'i' || m == 'u' || m == 'n' || (m >= '1' && m <= '6')) ++k;
            }
            if (bold % 2 || italic % 2 || underline % 2) {
                Error(src, number, "text " + fields[0] + " leaves %b, %i or %u switched on");
                continue;
            }
            lines.push_back(units);
        }
    }
    if (lines.empty()) errors_.push_back("the string table has no lines");
    if (!errors_.empty()) return false;

    out.push_back(0xff);
    out.push_back(0xfe);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            const uint8_t crlf[] = {0x0d, 0x00, 0x0a, 0x00};
            out.insert(out.end(), crlf, crlf + 4);
        }
        for (uint16_t u : lines[i]) {
            out.push_back(static_cast<uint8_t>(u & 0xff));
            out.push_back(static_cast<uint8_t>(u >> 8));
        }
    }
    return true;
}
