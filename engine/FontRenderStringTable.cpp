// The string table: parsing kStringTableFile, looking entries up, starting and
// stopping the font system.
#include <SDL_ttf.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/DataFolder.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "platform/Platform.h"

namespace {

std::map<int, CStringEntry> g_table;
std::string g_fontFolder;
std::string g_stringFile;

// The longest field the format holds; longer fields keep their first units.
const size_t kMaxFieldUnits = 1023;

const uint32_t kEndMark = 0x10000;  // one past every 16-bit unit

// Reads an int the way a text stream does: leading white space, an optional
// sign, decimal digits; the rest is ignored. Values beyond int saturate.
// Not ReadNumber's rules: string tables have always been read so.
bool ReadLeadingInt(const std::string& s, int* out) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\v' ||
                            s[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    long long v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    *out = static_cast<int>(v);
    return true;
}

}  // namespace

bool FontParseStringData(const uint8_t* data, size_t size, std::map<int, CStringEntry>* table, int* errorLine) {
    enum Kind { kNone, kComment, kStyle, kText };
    const size_t unitCount = data ? size / 2 : 0;

    CStringEntry style;
    int textId = 0;
    Kind kind = kNone;
    bool atLineStart = true;
    int lineCounter = 0;
    int field = 1;
    CFontString buffer;

    auto applyField = [&]() {
        if (kind == kStyle) {
            int v = 0;
            switch (field) {
                case 1:
                    style.fontFile = buffer.Narrow();
                    break;
                case 2:
                    if (ReadLeadingInt(buffer.Narrow(), &v)) style.pointSize = v;
                    break;
                case 3:
                    if (ReadLeadingInt(buffer.Narrow(), &v)) style.red = static_cast<uint8_t>(v);
                    break;
                case 4:
                    if (ReadLeadingInt(buffer.Narrow(), &v)) style.green = static_cast<uint8_t>(v);
                    break;
                case 5:
                    if (ReadLeadingInt(buffer.Narrow(), &v)) style.blue = static_cast<uint8_t>(v);
                    break;
                case 6:
                    if (ReadLeadingInt(buffer.Narrow(), &v)) style.lineSpacing = v;
                    break;
                default:
                    break;
            }
        } else if (kind == kText) {
            if (field == 1) {
                int v = 0;
                if (ReadLeadingInt(buffer.Narrow(), &v)) textId = v;
            } else if (field == 2) {
                CStringEntry entry = style;
                entry.text = buffer;
                (*table)[textId] = entry;
            }
        }
    };

    for (size_t i = 0; i <= unitCount; ++i) {
        const uint32_t unit =
            i < unitCount ? static_cast<uint32_t>(data[2 * i] | (data[2 * i + 1] << 8)) : kEndMark;
        if (i == 0 && unit == 0xFEFF) continue;
        const bool lineBreak = unit == 0x0D || unit == 0x0A;

        if (kind == kStyle || kind == kText) {
            if (unit == 0x7C || lineBreak || (unit == kEndMark && !atLineStart)) {
                applyField();
                ++field;
                buffer = static_cast<const uint16_t*>(nullptr);
            } else if (unit != kEndMark) {
                if (buffer.Length() < kMaxFieldUnits) buffer.Append(static_cast<uint16_t>(unit));
            }
        }

        if (lineBreak) {
            atLineStart = true;
        } else if (atLineStart) {
            if (unit == kEndMark && lineCounter > 0) {
                // The data ended with a line break: nothing follows the last line.
                break;
            }
            ++lineCounter;
            atLineStart = false;
            field = 1;
            buffer = static_cast<const uint16_t*>(nullptr);
            if (unit == 0x23) {
                kind = kComment;
            } else if (unit == 0x21) {
                kind = kStyle;
            } else if (unit == 0x40) {
                kind = kText;
            } else {
                if (errorLine) *errorLine = lineCounter;
                return false;
            }
        }
    }
    return true;
}

void FontLoadStringFile(const char* path) {
    g_stringFile = path ? path : "";
    FILE* f = path ? PlatformOpenForReading(path) : nullptr;
    if (!f) {
        if (path) TellResourceFileFailed(path);
        ErrorLog(false, "FONTSYSTEM: Cannot load string data file.\n");
        exit(1);
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(f);
    int errorLine = 0;
    if (!FontParseStringData(bytes.data(), bytes.size(), &g_table, &errorLine)) {
        TellResourceFileFailed(path);
        ErrorLog(false, "FONTSYSTEM: Unable to parse line number %i\n", errorLine);
        exit(1);
    }
}

void FontInit(const char* fontFolder, const char* stringFile) {
    if (TTF_Init() == -1) {
        ErrorLog(false, "FONTSYSTEM: SDL_ttf initialization error: %s\n", TTF_GetError());
        exit(1);
    }
    FontSetFolder(fontFolder);
    FontLoadStringFile(stringFile);
}

void FontQuit() {
    TTF_Quit();
    g_table.clear();
}

CStringEntry& FontGetEntry(int textId) { return g_table[textId]; }
bool FontHasEntry(int textId) { return g_table.count(textId) != 0; }
size_t FontEntryCount() { return g_table.size(); }
const std::string& FontGetFolder() { return g_fontFolder; }
const std::string& FontGetStringFile() { return g_stringFile; }
void FontSetFolder(const char* folder) { g_fontFolder = folder ? folder : ""; }
