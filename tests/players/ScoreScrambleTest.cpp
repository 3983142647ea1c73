#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "players/ScoreScramble.h"

namespace {

// D(k): the digit letter of k; P(k): what D(k) D(k) becomes. Written out
// here, so that a change of the tables (which would cut off every game and
// server already out there) fails a test.
const std::string D[10] = {"k", "m", "x", "b", "g", "t", "w", "j", "d", "v"};
const std::string P[10] = {"3", "a", "7", "f", "1", "h", "9", "n", "5", "s"};

std::string Unscrambled(const std::string& scrambled) {
    std::string plain;
    EXPECT_TRUE(Unscramble(scrambled, &plain)) << scrambled;
    return plain;
}

}  // namespace

TEST(ScoreScrambleTest, IntToStringIsPlainDecimal) {
    EXPECT_EQ(IntToString(0), "0");
    EXPECT_EQ(IntToString(99999), "99999");
    EXPECT_EQ(IntToString(-42), "-42");
    EXPECT_EQ(IntToString(-2147483647 - 1), "-2147483648");
}

TEST(ScoreScrambleTest, ChecksumAddsSignedBytes) {
    EXPECT_EQ(AppendChecksum("abc"), "abc&cs=294");
    EXPECT_EQ(AppendChecksum(""), "&cs=0");
    EXPECT_EQ(AppendChecksum("\xff"), "\xff&cs=-1");
    EXPECT_EQ(AppendChecksum("\x80\x80"), "\x80\x80&cs=-256");
    // The wrapped text of a request: the random part counts too.
    const std::string wrapped = "r=7&op=x";
    int sum = 0;
    for (char c : wrapped) sum += c;
    EXPECT_EQ(AppendChecksum(wrapped), wrapped + "&cs=" + std::to_string(sum));
}

TEST(ScoreScrambleTest, DigitTableHasTenDistinctLettersAndZeroForEverythingElse) {
    for (int d = 0; d < 10; ++d) EXPECT_EQ(EncodeDigit(d), D[d]);
    EXPECT_EQ(EncodeDigit(-1), D[0]);
    EXPECT_EQ(EncodeDigit(-9), D[0]);
    EXPECT_EQ(EncodeDigit(10), D[0]);
    for (int a = 0; a < 10; ++a) {
        EXPECT_TRUE(D[a][0] >= 'a' && D[a][0] <= 'z');
        for (int b = a + 1; b < 10; ++b) EXPECT_NE(D[a], D[b]);
    }
}

TEST(ScoreScrambleTest, PairTableJoinsOnlyDoubledDigitLetters) {
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(EncodePair(D[k] + D[k]), P[k]);
        for (int j = 0; j < 10; ++j) EXPECT_NE(P[k], D[j]) << "a joined character must never join again";
        for (int j = k + 1; j < 10; ++j) EXPECT_NE(P[k], P[j]);
    }
    EXPECT_EQ(EncodePair(D[1] + D[2]), D[1] + D[2]);
    EXPECT_EQ(EncodePair(P[1] + P[1]), P[1] + P[1]);
    EXPECT_EQ(EncodePair("zz"), "zz");
    EXPECT_EQ(EncodePair(D[3]), D[3]);
    EXPECT_EQ(EncodePair(""), "");
}

TEST(ScoreScrambleTest, EncodeBytesShiftsByDistanceFromTheEnd) {
    // One byte: shifted by 0. 'x' is 120.
    EXPECT_EQ(EncodeBytes("x"), D[1] + D[2] + D[0]);
    // abc: 97 + 2, 98 + 1, 99 + 0 are all 99.
    EXPECT_EQ(EncodeBytes("abc"), D[0] + D[9] + D[9] + D[0] + D[9] + D[9] + D[0] + D[9] + D[9]);
    EXPECT_EQ(EncodeBytes(""), "");
    // Byte -1 last: v = -1, three letters of 0.
    EXPECT_EQ(EncodeBytes(std::string("a\xff")), D[0] + D[9] + D[8] + D[0] + D[0] + D[0]);
    // Byte -128 last: v = -128 gives the negative digits -1, -2, -8.
    EXPECT_EQ(EncodeBytes(std::string("\x80")), D[0] + D[0] + D[0]);
    // A long text wraps modulo 256: the first of 300 bytes is shifted by 299.
    const std::string text(300, 'a');
    const std::string out = EncodeBytes(text);
    ASSERT_EQ(out.size(), 900u);
    EXPECT_EQ(out.substr(0, 3), D[1] + D[4] + D[0]);  // (97 + 299) % 256 = 140
    EXPECT_EQ(out.substr(897), D[0] + D[9] + D[7]);   // 97
}

TEST(ScoreScrambleTest, CompressPairsWorksFromTheEnd) {
    EXPECT_EQ(CompressPairs(D[1] + D[1] + D[1]), D[1] + P[1]);
    EXPECT_EQ(CompressPairs(D[1] + D[1] + D[1] + D[1]), P[1] + P[1]);
    EXPECT_EQ(CompressPairs(D[1] + D[2]), D[1] + D[2]);
    EXPECT_EQ(CompressPairs(""), "");
    EXPECT_EQ(CompressPairs(D[4]), D[4]);
    EXPECT_EQ(CompressPairs(D[5] + D[5] + D[5] + D[5] + D[5]), D[5] + P[5] + P[5]);
}

TEST(ScoreScrambleTest, WorkedExampleAbc) {
    const std::string encoded = EncodeBytes("abc");
    const std::string joined = CompressPairs(encoded);
    EXPECT_EQ(joined, D[0] + P[9] + D[0] + P[9] + D[0] + P[9]);
    EXPECT_EQ(ReverseString(joined), P[9] + D[0] + P[9] + D[0] + P[9] + D[0]);
    EXPECT_EQ(ReverseString(""), "");
    EXPECT_EQ(ReverseString("ab"), "ba");
}

TEST(ScoreScrambleTest, BuildQueryWrapsSumsScramblesAndRoundTrips) {
    srand(1234);
    const std::string scrambled = HttpBuildQuery("op=downloadScore&user=bob&type=0&level=99999");
    for (char c : scrambled) {
        bool known = false;
        for (int k = 0; k < 10; ++k) known = known || c == D[k][0] || c == P[k][0];
        EXPECT_TRUE(known) << "character needing escape: " << c;
    }
    const std::string plain = Unscrambled(scrambled);
    const std::string random = plain.substr(2, plain.find('&') - 2);
    const std::string wrapped = "r=" + random + "&op=downloadScore&user=bob&type=0&level=99999";
    EXPECT_EQ(plain, AppendChecksum(wrapped));
    std::string query;
    ASSERT_TRUE(Unwrap(plain, &query));
    EXPECT_EQ(query, "op=downloadScore&user=bob&type=0&level=99999");

    // The server takes a random part of 0..32767 only, and the game keeps to
    // it whatever its runtime's rand() reaches.
    EXPECT_TRUE(Unwrap(AppendChecksum("r=0&op=x"), &query));
    EXPECT_TRUE(Unwrap(AppendChecksum("r=32767&op=x"), &query));
    EXPECT_FALSE(Unwrap(AppendChecksum("r=32768&op=x"), &query));
    EXPECT_FALSE(Unwrap(AppendChecksum("r=2147483647&op=x"), &query));
    EXPECT_FALSE(Unwrap(AppendChecksum("r=-1&op=x"), &query));
    for (unsigned seed = 0; seed < 200; ++seed) {
        srand(seed);
        ASSERT_TRUE(Unwrap(Unscrambled(HttpBuildQuery("op=x")), &query)) << seed;
    }
}

TEST(ScoreScrambleTest, SameQueryScramblesDifferentlyEachTime) {
    srand(99);
    const std::string a = HttpBuildQuery("op=x");
    const std::string b = HttpBuildQuery("op=x");
    EXPECT_NE(a, b);
    std::string qa, qb;
    ASSERT_TRUE(Unwrap(Unscrambled(a), &qa));
    ASSERT_TRUE(Unwrap(Unscrambled(b), &qb));
    EXPECT_EQ(qa, "op=x");
    EXPECT_EQ(qb, "op=x");
}

TEST(ScoreScrambleTest, EveryPrintableTextOfManyLengthsRoundTrips) {
    srand(5);
    for (size_t length : {0u, 1u, 2u, 3u, 17u, 255u, 256u, 257u, 600u}) {
        std::string text;
        for (size_t i = 0; i < length; ++i) text += static_cast<char>(32 + rand() % 95);
        const std::string scrambled = ReverseString(CompressPairs(EncodeBytes(text)));
        EXPECT_EQ(Unscrambled(scrambled), text) << "length " << length;
    }
    // Runs of equal letters of every length join and come back.
    for (int run = 1; run < 12; ++run) {
        std::string letters;
        for (int i = 0; i < run * 3; ++i) letters += D[7];
        const std::string joined = CompressPairs(letters);
        EXPECT_EQ(joined.size(), static_cast<size_t>(run * 3 + 1) / 2);
    }
}
