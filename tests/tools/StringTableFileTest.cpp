// The string table file the builder writes, read back by a small parser of
// our own that follows the loader's rules unit by unit, and by the game's own
// parser: both must accept it and find every text the program asks for.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/FontRender.h"
#include "engine/ResourceFiles.h"
#include "tests/support/TestSupport.h"

namespace {

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

struct Entry {
    std::vector<uint16_t> text;
    std::string font;
    int size = 0, r = 0, g = 0, b = 0, spacing = 0;
};

int ReadInt(const std::vector<uint16_t>& f, int fallback) {
    size_t i = 0;
    while (i < f.size() && (f[i] == ' ' || f[i] == '\t')) ++i;
    bool neg = false;
    if (i < f.size() && (f[i] == '-' || f[i] == '+')) neg = f[i++] == '-';
    if (i >= f.size() || f[i] < '0' || f[i] > '9') return fallback;
    long v = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') v = v * 10 + (f[i++] - '0');
    return static_cast<int>(neg ? -v : v);
}

std::string Narrow(const std::vector<uint16_t>& f) {
    std::string s;
    for (uint16_t u : f) s += static_cast<char>(u & 0xff);
    return s;
}

// Returns 0 on success, else the line number of the parse error.
int ParseTable(const std::vector<uint8_t>& bytes, std::map<int, Entry>& table) {
    const size_t count = bytes.size() / 2;
    const int kEnd = -1;
    enum Kind { NONE, COMMENT, STYLE, TEXT } kind = NONE;
    bool atLineStart = true;
    int line = 0, field = 1, id = 0;
    Entry style;
    std::vector<uint16_t> buf;
    auto apply = [&]() {
        if (kind == STYLE) {
            if (field == 1) style.font = Narrow(buf);
            if (field == 2) style.size = ReadInt(buf, style.size);
            if (field == 3) style.r = ReadInt(buf, style.r) & 0xff;
            if (field == 4) style.g = ReadInt(buf, style.g) & 0xff;
            if (field == 5) style.b = ReadInt(buf, style.b) & 0xff;
            if (field == 6) style.spacing = ReadInt(buf, style.spacing);
        } else if (kind == TEXT) {
            if (field == 1) id = ReadInt(buf, id);
            if (field == 2) {
                Entry e = style;
                e.text = buf;
                table[id] = e;
            }
        }
    };
    for (size_t i = 0; i <= count; ++i) {
        const int unit = i < count ? (bytes[2 * i] | (bytes[2 * i + 1] << 8)) : kEnd;
        if (i == 0 && unit == 0xfeff) continue;
        const bool lineEnd = unit == 0x0d || unit == 0x0a;
        if (kind == STYLE || kind == TEXT) {
            if (unit == '|' || lineEnd || (unit == kEnd && !atLineStart)) {
                apply();
                ++field;
                buf.clear();
            } else if (unit != kEnd) {
                buf.push_back(static_cast<uint16_t>(unit));
            }
        }
        if (lineEnd) {
            atLineStart = true;
        } else if (atLineStart) {
            ++line;
            atLineStart = false;
            field = 1;
            buf.clear();
            if (unit == '#') kind = COMMENT;
            else if (unit == '!') kind = STYLE;
            else if (unit == '@') kind = TEXT;
            else return line;
        }
    }
    return 0;
}

std::vector<int> RequiredIds() {
    std::vector<int> ids = {100, 112, 300, 500, 501, 502, 1300, 1301, 1501, 1800, 1801, 1802, 1803, 1900, 2100, 2101,
                            2102, 2214, 2215, 2216, 2317, 2318, 2319, 2323, 2324, 2326, 2327, 2328, 2315, 20000,
                            20001, 20100, 20101, 3620, 3621, 3622};
    auto range = [&](int a, int b) {
        for (int i = a; i <= b; ++i) ids.push_back(i);
    };
    range(1000, 1010);
    range(1200, 1244);
    range(1250, 1294);
    range(2200, 2212);
    range(2300, 2313);
    range(2400, 2409);
    range(2500, 2516);
    range(2700, 2706);
    range(2800, 2825);
    range(3000, 3006);
    range(3200, 3206);
    range(3208, 3211);
    range(3600, 3618);
    range(20010, 20027);
    for (int k = 0; k <= 16; ++k) range(20110 + 10 * k, 20112 + 10 * k);
    return ids;
}

std::vector<uint8_t> Utf16(const std::string& ascii, bool bom) {
    std::vector<uint8_t> out;
    if (bom) out = {0xff, 0xfe};
    for (char c : ascii) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(0);
    }
    return out;
}

class StringTableFile : public ::testing::Test {
protected:
    void SetUp() override { bytes_ = ReadFileBytes(std::string(ZORV_RUN_DIR) + "/" + kStringTableFile); }
    std::vector<uint8_t> bytes_;
};

}  // namespace

// The reference parser itself behaves as the loader's rules say.
TEST(StringTableParser, FollowsTheLoaderRules) {
    std::map<int, Entry> t;
    EXPECT_EQ(0, ParseTable(Utf16("!a.ttf|20|255|0|0|4\r\n@12|Hello|World", true), t));
    ASSERT_EQ(1u, t.count(12));
    EXPECT_EQ("Hello", Narrow(t[12].text));
    EXPECT_EQ(255, t[12].r);
    t.clear();
    EXPECT_EQ(3, ParseTable(Utf16("!a|1\n@1|x\n", false), t)) << "a final line break starts one more line";
    t.clear();
    EXPECT_EQ(1, ParseTable(Utf16(" @1|x", false), t));
    t.clear();
    EXPECT_EQ(1, ParseTable(Utf16("", true), t));
    t.clear();
    EXPECT_EQ(0, ParseTable(Utf16("!a|1\n@7\r\n@8|y", false), t));
    EXPECT_EQ(1u, t.count(7)) << "CR LF after an id-only line stores an empty text";
}

TEST_F(StringTableFile, HasMarkAndNoFinalLineBreak) {
    ASSERT_GE(bytes_.size(), 4u);
    EXPECT_EQ(0, bytes_.size() % 2);
    EXPECT_EQ(0xff, bytes_[0]);
    EXPECT_EQ(0xfe, bytes_[1]);
    const uint16_t last = bytes_[bytes_.size() - 2] | (bytes_[bytes_.size() - 1] << 8);
    EXPECT_NE(0x0a, last);
    EXPECT_NE(0x0d, last);
}

TEST_F(StringTableFile, ParsesAndHoldsEveryRequiredText) {
    std::map<int, Entry> table;
    ASSERT_EQ(0, ParseTable(bytes_, table));
    for (int id : RequiredIds()) {
        ASSERT_EQ(1u, table.count(id)) << "text id " << id << " is missing";
        EXPECT_FALSE(table[id].text.empty()) << id;
        EXPECT_FALSE(table[id].font.empty()) << id;
        EXPECT_GT(table[id].size, 0) << id;
    }
}

TEST_F(StringTableFile, TextsCloseTheirMarkupAndStylesNameShippedFonts) {
    std::map<int, Entry> table;
    ASSERT_EQ(0, ParseTable(bytes_, table));
    for (const auto& kv : table) {
        const std::vector<uint16_t>& t = kv.second.text;
        int b = 0, i = 0, u = 0;
        for (size_t k = 0; k + 1 < t.size(); ++k) {
            if (t[k] != '%') continue;
            const uint16_t m = t[k + 1];
            if (m == 'b') ++b;
            if (m == 'i') ++i;
            if (m == 'u') ++u;
            if (m == 'b' || m == 'i' || m == 'u' || m == 'n' || (m >= '1' && m <= '6')) ++k;
        }
        EXPECT_EQ(0, b % 2) << kv.first;
        EXPECT_EQ(0, i % 2) << kv.first;
        EXPECT_EQ(0, u % 2) << kv.first;
        EXPECT_LE(t.size(), 1023u) << kv.first;
        EXPECT_TRUE(FileExists(std::string(ZORV_RUN_DIR) + "/" + kv.second.font))
            << kv.second.font << " named by text " << kv.first;
    }
}

TEST_F(StringTableFile, GamesOwnParserAgrees) {
    std::map<int, CStringEntry> game;
    int errorLine = 0;
    ASSERT_TRUE(FontParseStringData(bytes_.data(), bytes_.size(), &game, &errorLine)) << "line " << errorLine;
    std::map<int, Entry> ours;
    ASSERT_EQ(0, ParseTable(bytes_, ours));
    ASSERT_EQ(ours.size(), game.size());
    for (const auto& kv : ours) {
        ASSERT_EQ(1u, game.count(kv.first));
        const CStringEntry& g = game[kv.first];
        EXPECT_EQ(kv.second.font, g.fontFile);
        EXPECT_EQ(kv.second.size, g.pointSize);
        EXPECT_EQ(kv.second.r, g.red);
        EXPECT_EQ(kv.second.spacing, g.lineSpacing);
        EXPECT_EQ(Narrow(kv.second.text), g.text.Narrow()) << kv.first;
    }
}

// One page follows every loss but burning: a catch, a fall out of the world
// and a destroyed exit tube. Its texts must not tell the player he was caught
// after he fell.
TEST_F(StringTableFile, TheTextsOfALostLevelFitEveryWayOfLosing) {
    std::map<int, Entry> table;
    ASSERT_EQ(0, ParseTable(bytes_, table));
    for (int id = 2801; id <= 2804; ++id) {
        ASSERT_EQ(1u, table.count(id)) << id;
        std::string text = Narrow(table[id].text);
        for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        for (const char* cause : {"caught", "grab", "nabbed", "claw", "bot"})
            EXPECT_EQ(std::string::npos, text.find(cause)) << id << ": " << Narrow(table[id].text);
    }
}
