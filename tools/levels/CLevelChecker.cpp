#include "tools/levels/CLevelChecker.h"

#include "world/CLevel.h"

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
    int entrances = 0;
    int exits = 0;
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            const uint32_t t = level.GetTile(x, y);
            const uint32_t state = level.GetTileState(x, y);
            const std::string name = CLevel::GetTypeName(t);
            if (!IsCellCode(t)) found.push_back("tile code " + std::to_string(t) + " is no cell content" + At(x, y));
            if (state != 0 && state != TILE_STATE_FROZEN && state != TILE_STATE_HEATED) {
                found.push_back("bad tile state" + At(x, y));
            }
            const uint32_t ladder = level.GetLadder(x, y);
            if (ladder != NONE && ladder != LADDER) found.push_back("bad ladder code" + At(x, y));
            // The editor puts a platform on every ladder cell beside terrain and
            // on no other cell; a level that differs could not be made there.
            const bool besideTerrain = level.IsTerrain(x - 1, y) || level.IsTerrain(x + 1, y);
            if (ladder != NONE && besideTerrain && t != PLATFORM) {
                found.push_back("a ladder beside terrain without a platform" + At(x, y));
            }
            if (t == PLATFORM && !besideTerrain) found.push_back("a platform with no terrain beside it" + At(x, y));
            if (t == DEVICE_TUBE_START) ++entrances;
            if (t == DEVICE_TUBE_END) ++exits;
            switch (t) {
            case DEVICE_TUBE_START:
            case DEVICE_TUBE_END:
                if (level.GetTile(x, y - 1) != NONE) found.push_back(name + " has something above it" + At(x, y));
                [[fallthrough]];
            case DEVICE_BUTTON_B:
            case DEVICE_BUTTON_Y:
            case DEVICE_BUTTON_R:
            case DEVICE_TRAMPOLINE:
            case BOT_LEFT:
            case BOT_RIGHT:
                if (!level.IsTerrain(x, y + 1)) found.push_back(name + " has no terrain below" + At(x, y));
                break;
            case BOT_HANG:
                if (!level.IsTerrain(x, y - 1)) found.push_back(name + " has no terrain above" + At(x, y));
                break;
            case PLATFORM:
                if (!level.HasLadder(x, y)) found.push_back("a platform without a ladder" + At(x, y));
                break;
            case TUTORIAL:
                if (!level.GetTutorialText(x, y)) found.push_back("a sign without a text" + At(x, y));
                break;
            default:
                break;
            }
        }
    }
    if (entrances != 1) found.push_back(std::to_string(entrances) + " entrance tubes, not one");
    if (exits != 1) found.push_back(std::to_string(exits) + " exit tubes, not one");
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour) {
        const size_t n = level.GetTeleports(colour).size();
        if (n != 0 && n != 2) {
            found.push_back("teleport colour " + std::to_string(colour) + " has " + std::to_string(n) + " portals, not 2");
        }
    }
    // A portal stands between columns x and x + 1, its feet on row y: it needs
    // terrain under one side, may not be walled in, and beside a wall that
    // stands on terrain (a bridge is no wall) it needs terrain under both.
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour) {
        for (const TeleportCell& p : level.GetTeleports(colour)) {
            const int l = p.x;
            const int r = p.x + 1;
            const int y = p.y;
            const bool blocked =
                (level.IsTerrain(l, y) && level.IsTerrain(r, y)) ||
                (level.IsTerrain(l, y - 1) && level.IsTerrain(r, y - 1)) ||
                (level.IsTerrain(l, y + 1) && level.IsTerrain(l, y) && !level.IsBridge(l, y) && !level.IsTerrain(r, y + 1)) ||
                (level.IsTerrain(r, y + 1) && level.IsTerrain(r, y) && !level.IsBridge(r, y) && !level.IsTerrain(l, y + 1)) ||
                (!level.IsTerrain(l, y + 1) && !level.IsTerrain(r, y + 1));
            if (blocked) found.push_back("a teleport without support or walled in" + At(p.x, p.y));
        }
    }
    if (level.CountUsedTeleportTypes() + level.GetTeleportPowerupCount() > CLevel::kTeleportColours) {
        found.push_back("more teleport colours than three (counting teleport power-ups)");
    }
    if (level.GetBackground() < 0 || level.GetBackground() >= CLevel::kBackgroundCount) {
        found.push_back("background out of range");
    }
    if (problems) problems->insert(problems->end(), found.begin(), found.end());
    return found.empty();
}
