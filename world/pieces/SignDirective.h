// A tutorial sign's directive, "#zqdefine N-c-M#": N the string-table entry
// of the bubble's text, c the bubble's style letter, M the entry of the kids
// parchment's heading (0 for none). The game reads it to show the sign, the
// level sources' compiler to check it: both through ReadSignDirective.
#pragma once

#include <cstddef>
#include <string>

struct SignDirective {
    bool marked = false;  // the text begins with "#zqdefine": no free text
    int parts = 0;        // 0: no directive read; 1: N only; 2: N and c; 3: all three
    int body = 0;         // N
    char letter = 'l';    // c; the large bubble when not given
    int heading = 0;      // M
};

// Reads text as level files have always held it: "#zqdefine", then N (as
// strtol takes a number: blanks and a sign may stand before it), then
// optionally "-c" and then "-M"; what follows is ignored. A number missing
// or beyond an int ends the reading there (no directive read without N).
SignDirective ReadSignDirective(const char* text);

// The directive spelled as the level sources write it: "#zqdefine N-c-M#",
// each number in its own digits alone.
std::string WriteSignDirective(int body, char letter, int heading);
// The longest text WriteSignDirective gives: two numbers of ten digits and
// a sign.
constexpr size_t kSignDirectiveMax = sizeof("#zqdefine -2147483648-c--2147483648#") - 1;
