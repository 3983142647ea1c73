// The rules of a score-board user name, as the server applies them when a
// player registers, and the free names it proposes for a taken one.
#pragma once

#include <functional>
#include <string>
#include <vector>

// 0 when name may be registered, else the refusal's code: 11 for a length
// outside 1 to 15, 12 for a character other than a letter, a digit or a
// space (or a space at either end or next to another: names that look alike
// must not pass for one another), 13 for a word on the rude list.
int CheckUserName(const std::string& name);

// Up to count names made from taken with a number at its end, each one
// CheckUserName allows and isFree says is free. isFree sets *failed when it
// cannot tell; the search then stops.
std::vector<std::string> ProposeNames(const std::string& taken, size_t count,
                                      const std::function<bool(const std::string&, bool* failed)>& isFree,
                                      bool* failed);
