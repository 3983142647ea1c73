// The string table: the UTF-16 format's line ends, blank lines, comments,
// styles that carry over, repeated ids, parse errors with their line
// numbers, the end of the data, and CFontString's operations.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/CFontString.h"
#include "engine/FontRender.h"
#include "engine/Utilities.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<uint8_t> Utf16(const std::u16string& text, bool bom = false) {
    std::vector<uint8_t> out;
    if (bom) {
        out.push_back(0xFF);
        out.push_back(0xFE);
    }
    for (char16_t c : text) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

struct Parsed {
    bool ok = false;
    int errorLine = 0;
    std::map<int, CStringEntry> table;
};

Parsed Parse(const std::vector<uint8_t>& bytes) {
    Parsed p;
    p.ok = FontParseStringData(bytes.data(), bytes.size(), &p.table, &p.errorLine);
    return p;
}

Parsed ParseText(const std::string& text, bool bom = false) { return Parse(Utf16(Widen(text), bom)); }

std::string TextOf(const Parsed& p, int id) {
    auto it = p.table.find(id);
    return it == p.table.end() ? std::string("<none>") : it->second.text.Narrow();
}

const char* kTable =
    "# interface texts\n"
    "!DejaVuSans-Bold.ttf|16|255|0|0|4\n"
    "@12|Hello|World\n"
    "@13|%bBold%b and %1\n"
    "!DejaVuSerif-Bold.ttf|20\n"
    "@14|Later\n"
    "@15|";

std::string WithLineEnds(const std::string& text, const std::string& eol) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += eol;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

TEST(StringTable, SameTableFromCrLfLfAndCr) {
    const Parsed lf = ParseText(kTable);
    const Parsed crlf = ParseText(WithLineEnds(kTable, "\r\n"));
    const Parsed cr = ParseText(WithLineEnds(kTable, "\r"));
    for (const Parsed* p : {&lf, &crlf, &cr}) {
        ASSERT_TRUE(p->ok);
        EXPECT_EQ(TextOf(*p, 12), "Hello");
        EXPECT_EQ(TextOf(*p, 13), "%bBold%b and %1");  // markup stored as written
        EXPECT_EQ(TextOf(*p, 14), "Later");
        EXPECT_EQ(TextOf(*p, 15), "");
        EXPECT_EQ(p->table.size(), 4u);
        EXPECT_EQ(p->table.at(12).fontFile, "DejaVuSans-Bold.ttf");
        EXPECT_EQ(p->table.at(12).pointSize, 16);
    }
}

TEST(StringTable, BlankLinesChangeNothing) {
    const Parsed plain = ParseText(kTable);
    const Parsed blank = ParseText(WithLineEnds(kTable, "\n\n\r\n"));
    ASSERT_TRUE(blank.ok);
    EXPECT_EQ(blank.table.size(), plain.table.size());
    for (int id : {12, 13, 14, 15}) EXPECT_EQ(TextOf(blank, id), TextOf(plain, id));
}

TEST(StringTable, StyleLineKeepsWhatItDoesNotSet) {
    const Parsed p = ParseText(kTable);
    ASSERT_TRUE(p.ok);
    const CStringEntry& later = p.table.at(14);
    EXPECT_EQ(later.fontFile, "DejaVuSerif-Bold.ttf");
    EXPECT_EQ(later.pointSize, 20);
    EXPECT_EQ(later.red, 255);
    EXPECT_EQ(later.green, 0);
    EXPECT_EQ(later.blue, 0);
    EXPECT_EQ(later.lineSpacing, 4);
}

TEST(StringTable, TextBeforeAnyStyleHasAnEmptyStyle) {
    const Parsed p = ParseText("@1|Early\n!font.ttf|9|1|2|3|4\n@2|x");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.table.at(1).fontFile, "");
    EXPECT_EQ(p.table.at(1).pointSize, 0);
    EXPECT_EQ(p.table.at(1).red, 0);
    EXPECT_EQ(p.table.at(2).blue, 3);
}

TEST(StringTable, ColoursKeepTheLowEightBitsAndBadNumbersChangeNothing) {
    const Parsed p = ParseText("!f.ttf|12|256|300|7|2\n@1|a\n!g.ttf|x| 9|-1|abc|3\n@2|b");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.table.at(1).red, 0);
    EXPECT_EQ(p.table.at(1).green, 44);
    EXPECT_EQ(p.table.at(2).pointSize, 12);  // "x" holds no number
    EXPECT_EQ(p.table.at(2).red, 9);
    EXPECT_EQ(p.table.at(2).green, 255);
    EXPECT_EQ(p.table.at(2).blue, 7);
    EXPECT_EQ(p.table.at(2).lineSpacing, 3);
}

TEST(StringTable, HugeNumbersSaturate) {
    const Parsed p = ParseText("!f.ttf|99999999999999999999\n@1|a\n@-99999999999999999999|b");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.table.at(1).pointSize, 2147483647);
    EXPECT_EQ(TextOf(p, -2147483647 - 1), "b");
}

TEST(StringTable, RepeatedIdLaterWinsWithItsStyle) {
    const Parsed p = ParseText("!a.ttf|10\n@5|first\n!b.ttf|11\n@5|second\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(TextOf(p, 5), "second");
    EXPECT_EQ(p.table.at(5).fontFile, "b.ttf");
}

TEST(StringTable, IdAloneStoresNothingUnlessTwoBreaksFollow) {
    Parsed p = ParseText("!a.ttf|10\n@7\n@8|x");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.table.count(7), 0u);
    p = ParseText("!a.ttf|10\r\n@7\r\n@8|x");
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.table.count(7), 1u);
    EXPECT_EQ(TextOf(p, 7), "");
    p = ParseText("!a.ttf|10\n@7");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.table.count(7), 0u);
}

TEST(StringTable, ParseErrorNamesTheLineCountingOnlyNonBlankLines) {
    Parsed p = ParseText("!a.ttf|10\n\n\n@1|x\n# note\n\nwhat\n@2|y");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.errorLine, 4);
    p = ParseText(" @1|x");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.errorLine, 1);
    p = ParseText("\t@1|x");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.errorLine, 1);
}

TEST(StringTable, ByteOrderMarkOnlyAtTheStart) {
    Parsed p = ParseText("@1|x", true);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(TextOf(p, 1), "x");
    std::u16string late = u"\uFEFF@1|x";
    p = Parse(Utf16(late, true));  // a second mark is an ordinary unit
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.errorLine, 1);
}

TEST(StringTable, EmptyDataIsAnError) {
    Parsed p = Parse({});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.errorLine, 1);
    p = Parse({0xFF, 0xFE});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.errorLine, 1);
}

TEST(StringTable, TrailingLineBreakLoads) {
    Parsed p = ParseText("!a.ttf|10\n@1|last");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(TextOf(p, 1), "last");
    p = ParseText("!a.ttf|10\n@1|last\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(TextOf(p, 1), "last");
    p = ParseText("!a.ttf|10\r\n@1|last\r\n\r\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(TextOf(p, 1), "last");
}

TEST(StringTable, OddLastByteIsNeverRead) {
    std::vector<uint8_t> bytes = Utf16(u"@1|ab");
    bytes.push_back('c');
    const Parsed p = Parse(bytes);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(TextOf(p, 1), "ab");
}

TEST(StringTable, LongFieldIsBounded) {
    const std::string longText(5000, 'w');
    const Parsed p = ParseText("@1|" + longText + "|tail\n@2|after");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.table.at(1).text.Length(), 1023u);
    EXPECT_EQ(TextOf(p, 2), "after");
}

TEST(StringTable, NonAsciiUnitsAreKept) {
    const Parsed p = Parse(Utf16(u"@3|Gr\u00FC\u00DFe \u20AC"));
    ASSERT_TRUE(p.ok);
    const CStringEntry& e = p.table.at(3);
    ASSERT_EQ(e.text.Length(), 7u);
    EXPECT_EQ(e.text.At(2), 0x00FC);
    EXPECT_EQ(e.text.At(6), 0x20AC);
}

TEST(StringTable, LoadFromFileAndLookups) {
    CTempDir dir;
    WriteFileBytes(dir.File("strings.dat"), Utf16(Widen(kTable), true));
    FontLoadStringFile(dir.File("strings.dat").c_str());
    EXPECT_TRUE(FontHasEntry(12));
    EXPECT_EQ(FontGetEntry(12).text.Narrow(), "Hello");
    // A missing id gets an empty entry.
    EXPECT_FALSE(FontHasEntry(987654));
    EXPECT_EQ(FontGetEntry(987654).fontFile, "");
    EXPECT_TRUE(FontHasEntry(987654));
    FontQuit();
    EXPECT_EQ(FontEntryCount(), 0u);
}

TEST(StringTable, MissingFileEndsTheProgram) {
    CTempDir dir;
    CScopedCwd cwd(dir.Path());
    ResetDirectories();
    EXPECT_EXIT(FontLoadStringFile("nothing.dat"), ::testing::ExitedWithCode(1),
                "The resource file '.*/nothing.dat' is missing\nzorv: FONTSYSTEM: Cannot load string data file.\n");
}

TEST(StringTable, ParseErrorEndsTheProgramWithTheLineNumber) {
    CTempDir dir;
    WriteFileBytes(dir.File("bad.dat"), Utf16(u"@1|a\n\n@2|b\nX"));
    CScopedCwd cwd(dir.Path());
    ResetDirectories();
    EXPECT_EXIT(FontLoadStringFile("bad.dat"), ::testing::ExitedWithCode(1),
                "The resource file '.*/bad.dat' is damaged\nzorv: FONTSYSTEM: Unable to parse line number 3\n");
}

// The table the resource builder writes into the run folder.
TEST(StringTable, RealTableLoads) {
    const std::vector<uint8_t> bytes = ReadFileBytes(std::string(ZORV_RUN_DIR) + "/resource5.dat");
    if (bytes.size() < 8) GTEST_SKIP() << "no string table built";
    std::map<int, CStringEntry> table;
    int line = 0;
    ASSERT_TRUE(FontParseStringData(bytes.data(), bytes.size(), &table, &line)) << "line " << line;
    for (int id = 3600; id <= 3622; ++id) {
        if (id == 3619) continue;
        EXPECT_EQ(table.count(id), 1u) << id;
    }
    for (int id = 20010; id <= 20027; ++id) EXPECT_EQ(table.count(id), 1u) << id;
    for (int id : {3004, 3005, 2706, 300, 500}) EXPECT_EQ(table.count(id), 1u) << id;
}

// ---------------------------------------------------------------------------

TEST(FontString, ConstructionAndWidening) {
    const uint16_t wide[] = {'a', 0x263A, 'b', 0};
    CFontString w(wide);
    EXPECT_EQ(w.Length(), 3u);
    EXPECT_EQ(w.At(1), 0x263A);
    // Bytes are taken unsigned: Latin-1 stays Latin-1.
    CFontString n("\xE9t\xFF");
    ASSERT_EQ(n.Length(), 3u);
    EXPECT_EQ(n.At(0), 0x00E9);
    EXPECT_EQ(n.At(2), 0x00FF);
    EXPECT_EQ(CFontString(static_cast<const char*>(nullptr)).Length(), 0u);
    // UTF-8 with the byte each character starts at: the largest character
    // of 16 bits, the smallest beyond (one "?"), and a sequence cut short
    // (one "?" for the bytes it has).
    std::vector<size_t> starts;
    CFontString u = CFontString::FromUtf8("\xEF\xBF\xBF\xF0\x90\x80\x80" "a\xE2\x82", &starts);
    ASSERT_EQ(u.Length(), 4u);
    EXPECT_EQ(u.At(0), 0xFFFF);
    EXPECT_EQ(u.At(1), '?');
    EXPECT_EQ(u.At(3), '?');
    EXPECT_EQ(starts, (std::vector<size_t>{0, 3, 7, 8, 10}));
}

TEST(FontString, SuffixSubstringFind) {
    CFontString s("hello world");
    EXPECT_EQ(s.Suffix(6).Narrow(), "world");
    EXPECT_EQ(s.Suffix(11).Length(), 0u);
    EXPECT_EQ(s.Suffix(50).Length(), 0u);
    EXPECT_EQ(s.Substring(0, 5).Narrow(), "hello");
    EXPECT_EQ(s.Substring(6, 5).Narrow(), "world");
    EXPECT_EQ(s.Substring(6, 6).Length(), 0u);  // past the end: empty, not shortened
    const uint16_t lo[] = {'l', 'o', 0};
    EXPECT_EQ(s.Find(lo), 3);
    EXPECT_EQ(s.Find(static_cast<uint16_t>('w')), 6);
    EXPECT_EQ(s.Find(static_cast<uint16_t>('z')), -1);
    const uint16_t none[] = {'x', 'y', 0};
    EXPECT_EQ(s.Find(none), -1);
    EXPECT_EQ(CFontString().Find(lo), -1);
}

TEST(FontString, AppendPrependAssignNarrow) {
    CFontString s("ab");
    s.Append(static_cast<uint16_t>('c'));
    const uint16_t de[] = {'d', 'e', 0};
    s.Append(de);
    s.Append(CFontString("f"));
    EXPECT_EQ(s.Narrow(), "abcdef");
    const uint16_t pre[] = {'>', 0};
    EXPECT_EQ(CFontString::Prepend(pre, s).Narrow(), ">abcdef");
    s = de;
    EXPECT_EQ(s.Narrow(), "de");
    const uint16_t* z = s.c_str();
    EXPECT_EQ(z[0], 'd');
    EXPECT_EQ(z[2], 0);
    CFontString high;
    high.Append(static_cast<uint16_t>(0x0141));
    EXPECT_EQ(high.Narrow(), "A");
}
