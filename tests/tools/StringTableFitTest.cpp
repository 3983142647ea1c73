// Every text of the string table fits the box the game draws it in, measured
// with SDL_ttf in the text's own font, size and line spacing: single-line
// captions must not wrap, bodies must not run out of their box.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/FontRender.h"
#include "engine/ResourceFiles.h"
#include "tests/support/TestSupport.h"

namespace {

struct Box {
    int first, last;  // text ids
    int w, h;         // the box
    bool oneLine;     // a caption that must not wrap
};

// Boxes as the screens draw them (buttons, captions, titles, message boxes,
// help texts, instruction pages).
// A score board's heading (3200 to 3206) stands 23 pixels above the line
// under it, whatever box it is given.
const Box kBoxes[] = {
    {3600, 3622, 186, 29, true},  {20010, 20027, 186, 29, true}, {2401, 2405, 305, 26, true},
    {2406, 2409, 200, 26, true},  {2501, 2516, 200, 20, true},   {2702, 2705, 200, 20, true},
    {2800, 2825, 700, 40, true},  {1002, 1008, 220, 35, true},   {2100, 2102, 169, 22, true},
    {1800, 1801, 104, 31, true},   {1804, 1804, 584, 36, true},   {3004, 3006, 300, 30, true},
    {2706, 2706, 136, 30, true},  {1200, 1244, 300, 100, false}, {1250, 1294, 300, 100, false},
    {2200, 2239, 450, 50, true},  {2300, 2399, 350, 120, false}, {1000, 1000, 700, 40, true},
    {1300, 1300, 700, 40, true},  {1301, 1301, 300, 40, true},   {2400, 2400, 680, 40, true},
    {2500, 2500, 700, 40, true},  {2700, 2700, 450, 50, true},   {2701, 2701, 350, 150, false},
    {3000, 3000, 196, 60, false}, {3001, 3001, 210, 60, false},  {3002, 3003, 300, 60, false},
    {3200, 3206, 686, 23, true},  {3208, 3211, 686, 30, true},   {1802, 1802, 390, 50, true},
    {20000, 20001, 686, 40, true}, {20100, 20100, 686, 40, true}, {20101, 20101, 315, 380, false},
    {2600, 2617, 350, 120, false},
};

constexpr int kMessagesFrom = 2200, kMessagesTo = 2699;  // titles from 2200, bodies from 2300, what helps from 2600

// Body widths of instruction pages 2..18 (title and subtitle are one line).
const int kPageBodyWidth[17] = {355, 268, 300, 310, 380, 380, 380, 325, 380, 330, 500, 380, 340, 390, 390, 310, 300};

std::vector<uint16_t> Units(const CFontString& s) {
    CFontString copy = s;
    const uint16_t* p = copy.c_str();
    std::vector<uint16_t> u;
    while (*p) u.push_back(*p++);
    return u;
}

// Splits a text into words and forced breaks; markup tokens are dropped and
// placeholders take a sample value as wide as the game passes.
std::vector<std::vector<uint16_t>> Words(const std::vector<uint16_t>& t, bool& bold) {
    std::vector<std::vector<uint16_t>> words(1);
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '%' && i + 1 < t.size()) {
            const uint16_t m = t[i + 1];
            if (m == 'b' || m == 'i' || m == 'u') {
                if (m == 'b') bold = true;
                ++i;
                continue;
            }
            if (m == 'n') {
                words.push_back({'\n'});
                words.emplace_back();
                ++i;
                continue;
            }
            if (m >= '1' && m <= '6') {
                for (char c : std::string("888,888")) words.back().push_back(static_cast<uint16_t>(c));
                ++i;
                continue;
            }
        }
        if (t[i] == ' ') {
            words.emplace_back();
            continue;
        }
        words.back().push_back(t[i]);
    }
    return words;
}

int Width(TTF_Font* font, const std::vector<uint16_t>& units) {
    std::vector<uint16_t> z = units;
    z.push_back(0);
    int w = 0, h = 0;
    TTF_SizeUNICODE(font, z.data(), &w, &h);
    return w;
}

// Greedy wrap as the renderer does it; returns the line count and the widest line.
int Lines(TTF_Font* font, const std::vector<std::vector<uint16_t>>& words, int width, int& widest) {
    int lines = 1;
    widest = 0;
    std::vector<uint16_t> line;
    for (const auto& w : words) {
        if (w.size() == 1 && w[0] == '\n') {
            ++lines;
            line.clear();
            continue;
        }
        if (w.empty()) continue;
        std::vector<uint16_t> trial = line;
        if (!trial.empty()) trial.push_back(' ');
        trial.insert(trial.end(), w.begin(), w.end());
        if (!line.empty() && Width(font, trial) > width) {
            ++lines;
            line = w;
        } else {
            line = trial;
        }
        widest = std::max(widest, Width(font, line));
    }
    return lines;
}

void CheckFits(const std::map<int, CStringEntry>& table, int id, int w, int h, bool oneLine) {
    auto it = table.find(id);
    if (it == table.end()) return;  // unused ids inside a range
    const CStringEntry& e = it->second;
    TTF_Font* font = TTF_OpenFont((std::string(ZORV_RUN_DIR) + "/" + e.fontFile).c_str(), e.pointSize);
    ASSERT_NE(nullptr, font) << e.fontFile;
    bool bold = false;
    const auto words = Words(Units(e.text), bold);
    if (bold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
    int widest = 0;
    const int lines = Lines(font, words, w, widest);
    const int height = lines * TTF_FontLineSkip(font) + (lines - 1) * e.lineSpacing;
    if (oneLine) {
        EXPECT_EQ(1, lines) << "text " << id << " wraps in its " << w << " pixel box";
        EXPECT_LE(TTF_FontHeight(font), h + 4) << "text " << id;
    } else {
        EXPECT_LE(height, h) << "text " << id << " needs " << lines << " lines in a " << w << " x " << h << " box";
    }
    EXPECT_LE(widest, w) << "text " << id;
    TTF_CloseFont(font);
}

}  // namespace

TEST(StringTableFit, EveryTextFitsItsBox) {
    const std::vector<uint8_t> bytes = ReadFileBytes(std::string(ZORV_RUN_DIR) + "/" + kStringTableFile);
    std::map<int, CStringEntry> table;
    int errorLine = 0;
    ASSERT_TRUE(FontParseStringData(bytes.data(), bytes.size(), &table, &errorLine)) << errorLine;
    ASSERT_EQ(0, TTF_Init());
    for (const Box& b : kBoxes)
        for (int id = b.first; id <= b.last; ++id) CheckFits(table, id, b.w, b.h, b.oneLine);
    // Every message's title and body, and every advice, lies in a box above:
    // a new one outside them would be drawn unchecked.
    for (const auto& [id, entry] : table) {
        bool boxed = id < kMessagesFrom || id > kMessagesTo;
        for (const Box& b : kBoxes) boxed |= b.first <= id && id <= b.last;
        EXPECT_TRUE(boxed) << "text " << id << " is in no box";
    }
    for (int k = 0; k <= 16; ++k) {
        const int t = 20110 + 10 * k;
        CheckFits(table, t, 686 - 48, 40, true);
        CheckFits(table, t + 1, 686 - 48, 40, true);
        CheckFits(table, t + 2, kPageBodyWidth[k], 380, false);
    }
    TTF_Quit();
}
