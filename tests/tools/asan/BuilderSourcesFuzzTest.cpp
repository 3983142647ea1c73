// The builder's text sources (string table, captions, name lists) mangled at
// random, read under AddressSanitizer: every outcome is an orderly accept or
// refuse, never a read out of bounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "images/CCaptions.h"
#include "images/ImageNames.h"
#include "strings/CStringTableCompiler.h"

namespace {

const char kTable[] =
    "# texts\n!resource6.dat|16|24|34|83|2\n@300|%1\n@2300|Caf\xC3\xA9 %bbold%b%n%1\n!x.ttf|9\n@12|Hello";
const char kCaptions[] = "# c\nplay|Play\nmulti|one\\ntwo\n";
const char kNames[] = "a.png\nStep Counter 03.png\n?background%i.jpg\n";

uint32_t Next(uint32_t& s) {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}

// Replaces, inserts or cuts bytes; some cuts land inside UTF-8 sequences.
std::string Mangle(const std::string& in, uint32_t& seed) {
    std::string s = in;
    const int edits = 1 + Next(seed) % 6;
    const char pool[] = {'|', '\n', '\r', '@', '!', '#', '%', 'b', '\\', '\xC3', '\xF0', '\xBF', '\0', ' ', '?'};
    for (int e = 0; e < edits && !s.empty(); ++e) {
        const size_t at = Next(seed) % s.size();
        switch (Next(seed) % 3) {
        case 0: s[at] = pool[Next(seed) % sizeof(pool)]; break;
        case 1: s.insert(s.begin() + at, pool[Next(seed) % sizeof(pool)]); break;
        default: s.resize(at); break;
        }
    }
    return s;
}

}  // namespace

TEST(BuilderSourcesFuzz, StringTableCompilerAcceptsOrRefusesCleanly) {
    uint32_t seed = 12345;
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        CStringTableCompiler c;
        std::vector<uint8_t> out;
        const bool ok = c.Compile({{"f.txt", Mangle(kTable, seed)}}, out);
        if (ok) {
            ++accepted;
            ASSERT_GE(out.size(), 2u);
            EXPECT_EQ(0u, out.size() % 2);
            EXPECT_TRUE(c.Errors().empty());
        } else {
            EXPECT_FALSE(c.Errors().empty());
            EXPECT_TRUE(out.empty());
        }
    }
    EXPECT_GT(accepted, 0);
}

TEST(BuilderSourcesFuzz, CaptionsAndNameListsTakeAnyBytes) {
    uint32_t seed = 777;
    for (int i = 0; i < 3000; ++i) {
        CCaptions c;
        c.Parse(Mangle(kCaptions, seed), "fuzz");
        c.Get("play");
        std::vector<std::string> names;
        ParseImageNameList(Mangle(kNames, seed), names);
        for (const std::string& n : names) EXPECT_FALSE(n.empty());
    }
}
