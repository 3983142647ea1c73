#include "world/CLevelRules.h"

#include "world/CLevel.h"

namespace {

const char* const kTeleportColourNames[CLevel::kTeleportColours] = {"blue", "yellow", "red"};

std::string At(int x, int y) { return " at (" + std::to_string(x) + "," + std::to_string(y) + ")"; }

bool NeedsGroundBelow(uint32_t code) {
    switch (code) {
    case DEVICE_TUBE_START: case DEVICE_TUBE_END: case DEVICE_BUTTON_B: case DEVICE_BUTTON_Y: case DEVICE_BUTTON_R:
    case DEVICE_TRAMPOLINE: case BOT_LEFT: case BOT_RIGHT:
        return true;
    default:
        return false;
    }
}

void CountTubes(const CLevel& level, int* entrances, int* exits) {
    *entrances = *exits = 0;
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            *entrances += level.GetTile(x, y) == DEVICE_TUBE_START ? 1 : 0;
            *exits += level.GetTile(x, y) == DEVICE_TUBE_END ? 1 : 0;
        }
    }
}

// The colours the placed teleports use and those the teleport power-ups
// will take.
int TeleportColoursTaken(const CLevel& level) {
    return level.CountUsedTeleportTypes() + level.GetTeleportPowerupCount();
}

CLevelRules::Fault Said(CLevelRules::Fault fault, const std::string& words, std::string* why) {
    if (why) *why = words;
    return fault;
}

}  // namespace

CLevelRules::Fault CLevelRules::FindPlayFault(const CLevel& level, std::string* why) {
    int entrances = 0, exits = 0;
    CountTubes(level, &entrances, &exits);
    if (entrances == 0) return Said(FAULT_NO_ENTRANCE, "the level has no entrance tube", why);
    if (entrances > 1)
        return Said(FAULT_ENTRANCES,
                    "the level has " + std::to_string(entrances) + " entrance tubes, where the hero needs one", why);
    if (exits > 1)
        return Said(FAULT_EXITS,
                    "the level has " + std::to_string(exits) + " exit tubes, of which only one could take the hero out",
                    why);
    return Said(FAULT_NONE, "", why);
}

CLevelRules::Fault CLevelRules::FindFinishFault(const CLevel& level, std::string* why) {
    const Fault play = FindPlayFault(level, why);
    if (play != FAULT_NONE) return play;
    int entrances = 0, exits = 0;
    CountTubes(level, &entrances, &exits);
    if (exits == 0) return Said(FAULT_NO_EXIT, "the level has no exit tube: it can be played, never finished", why);
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour) {
        const size_t portals = level.GetTeleports(colour).size();
        if (portals != 0 && portals != 2)
            return Said(FAULT_TELEPORT_UNPAIRED,
                        std::string("the ") + kTeleportColourNames[colour] + " teleport has " +
                            std::to_string(portals) + (portals == 1 ? " portal" : " portals") + ", not one pair",
                        why);
    }
    return Said(FAULT_NONE, "", why);
}

CLevelRules::Footing CLevelRules::FindFooting(const CLevel& level, int x, int y) {
    const uint32_t code = level.GetTile(x, y);
    if (NeedsGroundBelow(code) && !level.IsTerrain(x, y + 1)) return FOOTING_NO_GROUND_BELOW;
    if (code == BOT_HANG && !level.IsTerrain(x, y - 1)) return FOOTING_NO_GROUND_ABOVE;
    const bool tube = code == DEVICE_TUBE_START || code == DEVICE_TUBE_END;
    if (tube && level.GetTile(x, y - 1) != NONE) return FOOTING_NO_ROOM_ABOVE;
    return FOOTING_OK;
}

bool CLevelRules::WantsPlatform(const CLevel& level, int x, int y) {
    return level.HasLadder(x, y) && (level.IsTerrain(x - 1, y) || level.IsTerrain(x + 1, y));
}

bool CLevelRules::IsTeleportBlocked(const CLevel& level, int x, int y) {
    const int l = x;
    const int r = x + 1;
    const auto ground = [&level](int cx, int cy) { return level.IsTerrain(cx, cy); };
    const bool walledBelow = ground(l, y) && ground(r, y);
    const bool walledAbove = ground(l, y - 1) && ground(r, y - 1);
    const bool wallLeft = ground(l, y + 1) && ground(l, y) && !level.IsBridge(l, y) && !ground(r, y + 1);
    const bool wallRight = ground(r, y + 1) && ground(r, y) && !level.IsBridge(r, y) && !ground(l, y + 1);
    const bool unsupported = !ground(l, y + 1) && !ground(r, y + 1);
    return walledBelow || walledAbove || wallLeft || wallRight || unsupported;
}

bool CLevelRules::IsTeleportColourRefused(const CLevel& level, uint32_t code) {
    return TeleportColoursTaken(level) >= CLevel::kTeleportColours && !level.HasTeleportsOfType(code);
}

bool CLevelRules::FindPlacementFaults(const CLevel& level, std::vector<std::string>* faults) {
    const size_t before = faults->size();
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            const uint32_t t = level.GetTile(x, y);
            const std::string name = CLevel::GetTypeName(t);
            switch (FindFooting(level, x, y)) {
            case FOOTING_NO_GROUND_BELOW: faults->push_back(name + " has no terrain below" + At(x, y)); break;
            case FOOTING_NO_GROUND_ABOVE: faults->push_back(name + " has no terrain above" + At(x, y)); break;
            case FOOTING_NO_ROOM_ABOVE: faults->push_back(name + " has something above it" + At(x, y)); break;
            case FOOTING_OK: break;
            }
            // The editor puts a platform on every ladder cell beside terrain
            // and on no other cell; a level that differs could not be made
            // there.
            const bool platform = WantsPlatform(level, x, y);
            if (platform && t != PLATFORM) faults->push_back("a ladder beside terrain without a platform" + At(x, y));
            if (!platform && t == PLATFORM)
                faults->push_back((level.HasLadder(x, y) ? "a platform with no terrain beside it"
                                                         : "a platform without a ladder") +
                                  At(x, y));
        }
    }
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour) {
        for (const TeleportCell& p : level.GetTeleports(colour))
            if (IsTeleportBlocked(level, p.x, p.y))
                faults->push_back("a teleport without support or walled in" + At(p.x, p.y));
    }
    if (TeleportColoursTaken(level) > CLevel::kTeleportColours)
        faults->push_back("more teleport colours than three (counting teleport power-ups)");
    return faults->size() == before;
}
