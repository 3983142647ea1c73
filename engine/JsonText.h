// Text as a JSON string, for the answers the level tools print.
#pragma once

#include <string>

// s in double quotes: quotes and backslashes escaped, every control byte
// written as JSON writes it ("\u001b"), so that no byte of s is dropped and
// none reaches a terminal raw.
std::string JsonText(const std::string& s);
