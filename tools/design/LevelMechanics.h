// Which of the game's mechanics a level uses: the kinds of pieces that appear
// in it, named the way the level designer talks about them ("ice", "crate",
// "button", "bot", "frost gun", ...), in a fixed order.
#pragma once

#include <string>
#include <vector>

class CLevel;

std::vector<std::string> LevelMechanics(const CLevel& level);
// The names as a caption lists them: "plain ground" for a level of none.
std::vector<std::string> LevelMechanicsOrPlain(const CLevel& level);
// Those names joined by commas.
std::string LevelMechanicsText(const CLevel& level);
