#include "tools/levels/CLevelChecker.h"

#include "world/CLevel.h"
#include "world/CLevelRules.h"

namespace {

std::string At(int x, int y) { return " at (" + std::to_string(x) + "," + std::to_string(y) + ")"; }

// Codes that stand for something in a cell (the rest are editor tools).
bool IsCellCode(uint32_t code) {
    switch (code) {
    case TUTORIAL: case DEVICE_TUBE_START: case NONE: case POWERUP_FROSTGUN: case POWERUP_HEATGUN:
    case POWERUP_WHISTLE: case DEVICE_TUBE_END: case POWERUP_TELEPORT: case POWERUP_BRIDGE: case POWERUP_EMP:
    case POWERUP_CRATE: case POWERUP_BARREL: case POWERUP_MAGNET: case TERRAIN_GRASS: case OBJECT_WCRATE:
    case OBJECT_WBARREL: case OBJECT_LMAGNET: case TERRAIN_SAND: case OBJECT_MCRATE: case OBJECT_MBARREL:
    case OBJECT_RMAGNET: case TERRAIN_ICE: case DEVICE_GATE_B: case DEVICE_GATE_Y: case DEVICE_GATE_R:
    case TERRAIN_BRIDGE: case DEVICE_BUTTON_B: case DEVICE_BUTTON_Y: case DEVICE_BUTTON_R:
    case DEVICE_TRAMPOLINE: case PLATFORM: case BOT_HANG: case BOT_LEFT: case BOT_RIGHT:
        return true;
    default:
        return false;
    }
}

}  // namespace

bool CLevelChecker::Check(const CLevel& level, std::vector<std::string>* problems) {
    std::vector<std::string> found;
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            const uint32_t t = level.GetTile(x, y);
            const uint32_t state = level.GetTileState(x, y);
            if (!IsCellCode(t)) found.push_back("tile code " + std::to_string(t) + " is no cell content" + At(x, y));
            if (state != 0 && state != TILE_STATE_FROZEN && state != TILE_STATE_HEATED) {
                found.push_back("bad tile state" + At(x, y));
            }
            const uint32_t ladder = level.GetLadder(x, y);
            if (ladder != NONE && ladder != LADDER) found.push_back("bad ladder code" + At(x, y));
            if (t == TUTORIAL && !level.GetTutorialText(x, y)) found.push_back("a sign without a text" + At(x, y));
        }
    }
    CLevelRules::FindPlacementFaults(level, &found);
    std::string why;
    if (CLevelRules::FindFinishFault(level, &why) != CLevelRules::FAULT_NONE) found.push_back(why);
    if (level.GetBackground() < 0 || level.GetBackground() >= CLevel::kBackgroundCount) {
        found.push_back("background out of range");
    }
    if (problems) problems->insert(problems->end(), found.begin(), found.end());
    return found.empty();
}
