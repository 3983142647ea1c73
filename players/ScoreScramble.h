// Scrambling of the score server's query strings. The query is wrapped with a
// random number, given a byte-sum check, turned into three code letters per
// byte (shifted by position), shortened where a code letter repeats, and
// reversed. The server (zorv_scored) undoes the same steps with the functions
// at the end of this file and the same two tables, so games already out there
// keep talking to it only while the tables stay as they are.
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

// ---- The server's side: undoing HttpBuildQuery ----------------------------

// The digit of a digit letter; -1 for any other character.
int DecodeDigit(char letter);

// Undoes ReverseString, CompressPairs and EncodeBytes. False when the text
// holds a character of neither table, is not joined the way CompressPairs
// joins (a letter left single beside its twin), or decodes to a three-letter
// group above 255 or an incomplete one.
bool Unscramble(const std::string& scrambled, std::string* plain);

// Checks what HttpBuildQuery wrapped around a query: "r=" with a random part
// of 0..32767 (one to five digits) and "&" in front, and behind it the check
// sum exactly as AppendChecksum writes it. Gives the query between them.
bool Unwrap(const std::string& plain, std::string* query);

// Unscramble and Unwrap: the query the client handed to HttpBuildQuery.
bool HttpReadQuery(const std::string& scrambled, std::string* query);
