#include "players/ScoreScramble.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// One lower-case letter per decimal digit 0..9.
const char kDigitLetters[10] = {'k', 'm', 'x', 'b', 'g', 't', 'w', 'j', 'd', 'v'};
// What each digit letter written twice becomes: never one of the digit
// letters, so a joined character can never join again and the step can be
// undone without doubt.
const char kPairResults[10] = {'3', 'a', '7', 'f', '1', 'h', '9', 'n', '5', 's'};

}  // namespace

std::string IntToString(int value) {
    char buf[16];
    snprintf(buf, sizeof buf, "%d", value);
    return buf;
}

std::string AppendChecksum(const std::string& text) {
    // Summed without sign so a (theoretical) overflow wraps instead of being
    // undefined; the result is read back as the signed 32-bit sum.
    uint32_t sum = 0;
    for (char c : text) sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
    return text + "&cs=" + IntToString(static_cast<int32_t>(sum));
}

std::string EncodeDigit(int d) {
    if (d >= 1 && d <= 9) return std::string(1, kDigitLetters[d]);
    return std::string(1, kDigitLetters[0]);
}

std::string EncodeBytes(const std::string& text) {
    const long long n = static_cast<long long>(text.size());
    std::string out;
    out.reserve(text.size() * 3);
    for (long long i = 0; i < n; ++i) {
        const long long b = static_cast<int8_t>(text[static_cast<size_t>(i)]);
        const int v = static_cast<int>((b + n - i - 1) % 256);  // keeps the sign when negative
        out += EncodeDigit(v / 100);
        out += EncodeDigit((v % 100) / 10);
        out += EncodeDigit(v % 10);
    }
    return out;
}

std::string EncodePair(const std::string& pair) {
    if (pair.size() == 2 && pair[0] == pair[1]) {
        for (int k = 0; k < 10; ++k) {
            if (pair[0] == kDigitLetters[k]) return std::string(1, kPairResults[k]);
        }
    }
    return pair;
}

std::string CompressPairs(const std::string& text) {
    std::string out = text;
    const long long length = static_cast<long long>(out.size());
    for (long long i = length - 2; i >= 0; --i) {
        const size_t at = static_cast<size_t>(i);
        if (at + 1 >= out.size()) continue;
        out.replace(at, 2, EncodePair(out.substr(at, 2)));
    }
    return out;
}

std::string ReverseString(const std::string& text) { return std::string(text.rbegin(), text.rend()); }

std::string HttpBuildQuery(const std::string& query) {
    // The server expects 0..32767, the range of a 15-bit rand(); ours reaches further.
    const std::string wrapped = "r=" + IntToString(rand() % 32768) + "&" + query;
    return ReverseString(CompressPairs(EncodeBytes(AppendChecksum(wrapped))));
}

int DecodeDigit(char letter) {
    for (int k = 0; k < 10; ++k)
        if (kDigitLetters[k] == letter) return k;
    return -1;
}

namespace {

int DecodePairResult(char c) {
    for (int k = 0; k < 10; ++k)
        if (kPairResults[k] == c) return k;
    return -1;
}

}  // namespace

bool Unscramble(const std::string& scrambled, std::string* plain) {
    // Back to the order CompressPairs left, pairs opened again. Joining runs
    // from the end, so a run of equal letters comes out as at most one single
    // letter followed by joined pairs: a single letter right after its own
    // letter or its own pair character was never made by the client.
    std::string letters;
    letters.reserve(scrambled.size() * 2);
    char previous = 0;  // the previous character of the joined text
    for (auto it = scrambled.rbegin(); it != scrambled.rend(); ++it) {
        const char c = *it;
        const int pair = DecodePairResult(c);
        if (pair >= 0) {
            letters += kDigitLetters[pair];
            letters += kDigitLetters[pair];
        } else {
            const int digit = DecodeDigit(c);
            if (digit < 0) return false;
            if (previous == c || previous == kPairResults[digit]) return false;
            letters += c;
        }
        previous = c;
    }
    if (letters.size() % 3 != 0) return false;
    const long long n = static_cast<long long>(letters.size() / 3);
    std::string out;
    out.reserve(static_cast<size_t>(n));
    for (long long i = 0; i < n; ++i) {
        const size_t at = static_cast<size_t>(3 * i);
        const int v = DecodeDigit(letters[at]) * 100 + DecodeDigit(letters[at + 1]) * 10 + DecodeDigit(letters[at + 2]);
        if (v > 255) return false;
        const long long b = ((v - (n - i - 1)) % 256 + 256) % 256;
        out.push_back(static_cast<char>(static_cast<unsigned char>(b)));
    }
    *plain = std::move(out);
    return true;
}

bool Unwrap(const std::string& plain, std::string* query) {
    if (plain.compare(0, 2, "r=") != 0) return false;
    size_t i = 2;
    while (i < plain.size() && plain[i] >= '0' && plain[i] <= '9') ++i;
    if (i == 2 || i > 7 || i >= plain.size() || plain[i] != '&') return false;
    if (atol(plain.substr(2, i - 2).c_str()) > 32767) return false;
    const size_t cs = plain.rfind("&cs=");
    if (cs == std::string::npos || cs <= i) return false;
    // The very text AppendChecksum gives for what comes before the sum.
    if (AppendChecksum(plain.substr(0, cs)) != plain) return false;
    *query = plain.substr(i + 1, cs - i - 1);
    return true;
}

bool HttpReadQuery(const std::string& scrambled, std::string* query) {
    std::string plain;
    return Unscramble(scrambled, &plain) && Unwrap(plain, query);
}
