// Scrambling of the score server's query strings. The query is wrapped with a
// random number, given a byte-sum check, turned into three code letters per
// byte (shifted by position), shortened where a code letter repeats, and
// reversed. The server undoes the same steps with the same two tables, so the
// tables below must never change without the server changing too.
#pragma once

#include <string>

// The whole procedure: what HttpGet puts after the "?".
std::string HttpBuildQuery(const std::string& query);

// text + "&cs=" + the sum of its bytes taken as signed 8-bit values.
std::string AppendChecksum(const std::string& text);

// Three digit letters per byte: the byte (signed) plus its distance from the
// end of the text, as a truncating remainder of 256, in hundreds, tens, units.
std::string EncodeBytes(const std::string& text);

// The digit letter of d for 1..9; the letter of 0 for anything else.
std::string EncodeDigit(int d);

// Joins pairs of equal digit letters into one character, from the end.
std::string CompressPairs(const std::string& text);

// The single result character of a doubled digit letter, else the pair as is.
std::string EncodePair(const std::string& pair);

std::string ReverseString(const std::string& text);

// Decimal, with a minus sign when negative.
std::string IntToString(int value);
