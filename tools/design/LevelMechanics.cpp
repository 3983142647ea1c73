#include "tools/design/LevelMechanics.h"

#include "world/CLevel.h"

namespace {

struct Mechanic {
    const char* name;
    uint32_t codes[3];
};

// One mechanic per name; a tile code may count for one only. Grass and the
// tubes are every level's ground and are not listed.
const Mechanic kMechanics[] = {
    {"sand", {TERRAIN_SAND}},
    {"ice", {TERRAIN_ICE}},
    {"bridge", {TERRAIN_BRIDGE}},
    {"crate", {OBJECT_WCRATE}},
    {"metal crate", {OBJECT_MCRATE}},
    {"barrel", {OBJECT_WBARREL}},
    {"metal barrel", {OBJECT_MBARREL}},
    {"magnet", {OBJECT_LMAGNET, OBJECT_RMAGNET}},
    {"button", {DEVICE_BUTTON_B, DEVICE_BUTTON_Y, DEVICE_BUTTON_R}},
    {"gate", {DEVICE_GATE_B, DEVICE_GATE_Y, DEVICE_GATE_R}},
    {"trampoline", {DEVICE_TRAMPOLINE}},
    {"bot", {BOT_HANG, BOT_LEFT, BOT_RIGHT}},
    {"sign", {TUTORIAL}},
    {"frost gun", {POWERUP_FROSTGUN}},
    {"heat gun", {POWERUP_HEATGUN}},
    {"whistle", {POWERUP_WHISTLE}},
    {"EMP", {POWERUP_EMP}},
    {"bridge power-up", {POWERUP_BRIDGE}},
    {"inflatable crate", {POWERUP_CRATE}},
    {"inflatable barrel", {POWERUP_BARREL}},
    {"inflatable magnet", {POWERUP_MAGNET}},
    {"teleport power-up", {POWERUP_TELEPORT}},
};

}  // namespace

std::vector<std::string> LevelMechanics(const CLevel& level) {
    bool ladder = false, platform = false, frozen = false, heated = false;
    std::vector<bool> present(sizeof kMechanics / sizeof kMechanics[0], false);
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            const uint32_t tile = level.GetTile(x, y);
            for (size_t m = 0; m < present.size(); ++m)
                for (uint32_t code : kMechanics[m].codes)
                    if (code != 0 && code == tile) present[m] = true;
            ladder = ladder || level.HasLadder(x, y);
            platform = platform || level.IsPlatform(x, y);
            frozen = frozen || (level.GetTileState(x, y) & TILE_STATE_FROZEN) != 0;
            heated = heated || (level.GetTileState(x, y) & TILE_STATE_HEATED) != 0;
        }
    }
    std::vector<std::string> names;
    if (ladder) names.push_back("ladder");
    if (platform) names.push_back("platform");
    for (size_t m = 0; m < present.size(); ++m)
        if (present[m]) names.push_back(kMechanics[m].name);
    bool teleports = false;
    for (int c = 0; c < CLevel::kTeleportColours; ++c) teleports = teleports || !level.GetTeleports(c).empty();
    if (teleports) names.push_back("teleport");
    if (frozen) names.push_back("frozen");
    if (heated) names.push_back("heated");
    return names;
}

std::vector<std::string> LevelMechanicsOrPlain(const CLevel& level) {
    std::vector<std::string> names = LevelMechanics(level);
    if (names.empty()) names.push_back("plain ground");
    return names;
}

std::string LevelMechanicsText(const CLevel& level) {
    std::string text;
    for (const std::string& name : LevelMechanicsOrPlain(level)) text += (text.empty() ? "" : ", ") + name;
    return text;
}
