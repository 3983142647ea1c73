#include "editor/EditorArt.h"

#include <cstdio>
#include <set>

#include "editor/CEditorModel.h"
#include "world/CLevel.h"

namespace {

EditorArt Art(const char* image, int ox, int oy, SpriteLayer layer = LAYER_EDITOR_ELEMENT) {
    return EditorArt{image ? image : "", ox, oy, layer};
}

// The power-up tools in the order of their codes.
struct PowerupArt {
    uint32_t code;
    const char* piece;
    const char* cursor;
};
const PowerupArt kPowerups[] = {
    {POWERUP_FROSTGUN, "editorpowerupfrostgun.tga", "cursorpowerupfrostgun.tga"},
    {POWERUP_HEATGUN, "editorpowerupheatgun.png", "cursorpowerupheatgun.png"},
    {POWERUP_WHISTLE, "editorpowerupwhistle.tga", "cursorpowerupwhistle.tga"},
    {POWERUP_TELEPORT, "editorpowerupteleport.png", "cursorpowerupteleport.png"},
    {POWERUP_BRIDGE, "editorpowerupbridge.png", "cursorpowerupbridge.png"},
    {POWERUP_EMP, "editorpowerupemp.tga", "cursorpowerupemp.tga"},
    {POWERUP_CRATE, "editorpowerupcrate.tga", "cursorpowerupcrate.tga"},
    {POWERUP_BARREL, "editorpowerupbarrel.tga", "cursorpowerupbarrel.tga"},
    {POWERUP_MAGNET, "editorpowerupmagnet.tga", "cursorpowerupmagnet.tga"},
};

const PowerupArt* FindPowerup(uint32_t code) {
    for (const PowerupArt& p : kPowerups)
        if (p.code == code) return &p;
    return nullptr;
}

// An object's picture: normal, frozen and heated, each with its origin.
struct ObjectArt {
    uint32_t code;
    EditorArt normal, frozen, heated;
};

const ObjectArt kObjects[] = {
    {OBJECT_WCRATE, Art("cratestill0.tga", 23, 13), Art("cratestillfrozen0.tga", 19, 14), {}},
    {OBJECT_WBARREL, Art("barrel0.tga", 19, 15), Art("barrelfrozen0.tga", 21, 17), {}},
    {OBJECT_LMAGNET, Art("magnetleftstill0.tga", 16, 12), Art("magnetleftstillfrozen0.tga", 20, 14),
     Art("magnetleftheatednormal.png", 16, 12)},
    {OBJECT_MCRATE, Art("metalcratestill0.tga", 23, 13), Art("metalcratestillfrozen0.tga", 19, 14),
     Art("metalcrateheated.png", 23, 13)},
    {OBJECT_MBARREL, Art("metalbarrel0.png", 19, 15), Art("metalbarrelfrozen0.png", 21, 17),
     Art("metalbarrelheated0.png", 19, 15)},
    {OBJECT_RMAGNET, Art("magnetrightstill0.tga", 18, 12), Art("magnetrightstillfrozen0.tga", 20, 13),
     Art("magnetrightheatednormal.png", 18, 12)},
    {TERRAIN_BRIDGE, Art("bridgeA0_trimmed.png", 19, 15), Art("bridgefrozen.png", 19, 15), {}},
    {BOT_HANG, Art("bothang.png", 25, 27), Art("botfrozen.png", 22, 16), {}},
    {BOT_LEFT, Art("botstandleft.png", 16, 20), Art("botfrozen.png", 22, 16), {}},
    {BOT_RIGHT, Art("botstandright.png", 18, 19), Art("botfrozen.png", 22, 16), {}},
};

EditorArt ElementArt(uint32_t code, uint32_t state, int width) {
    if (const PowerupArt* p = FindPowerup(code)) return Art(p->piece, 20, 19);
    for (const ObjectArt& o : kObjects) {
        if (o.code != code) continue;
        if (state == TILE_STATE_FROZEN && !o.frozen.image.empty()) return o.frozen;
        if (state == TILE_STATE_HEATED && !o.heated.image.empty()) return o.heated;
        return o.normal;
    }
    char run[32];
    switch (code) {
    case TUTORIAL: return Art("qmarkrotate23.tga", 15, 17);
    case DEVICE_TUBE_START: return Art("editortubeentrance.tga", 16, 36);
    case DEVICE_TUBE_END: return Art("editortubeexit.tga", 16, 39);
    case TERRAIN_GRASS:
        snprintf(run, sizeof run, "grass%i.png", width);
        return Art(run, 24, 25);
    case TERRAIN_SAND:
        snprintf(run, sizeof run, "sand%i.png", width);
        return Art(run, 24, 23);
    case TERRAIN_ICE: return Art("ice1.png", 17, 13);
    case DEVICE_GATE_B: return Art("editorgateblue.tga", 19, 15);
    case DEVICE_GATE_Y: return Art("editorgateyellow.tga", 19, 15);
    case DEVICE_GATE_R: return Art("editorgatered.tga", 19, 15);
    case DEVICE_BUTTON_B: return Art("buttonblue1.tga", 11, -9);
    case DEVICE_BUTTON_Y: return Art("buttonyellow1.tga", 11, -9);
    case DEVICE_BUTTON_R: return Art("buttonred1.tga", 11, -9);
    case DEVICE_TRAMPOLINE: return Art("editortrampoline.tga", 11, 17);
    default: return EditorArt{};
    }
}

SpriteLayer ElementLayer(uint32_t code) {
    if (code == TERRAIN_GRASS || code == TERRAIN_SAND || code == TERRAIN_ICE || code == TERRAIN_BRIDGE)
        return LAYER_EDITOR_TERRAIN;
    return LAYER_EDITOR_ELEMENT;
}

}  // namespace

EditorArt EditorPieceArt(const EditorPiece& piece) {
    if (piece.layer == EditorPiece::LAYER_LADDER) {
        switch (piece.ladderPart) {
        case EditorPiece::LADDER_SINGLE: return Art("ladderiso.tga", 7, 13, LAYER_EDITOR_LADDER);
        case EditorPiece::LADDER_TOP: return Art("laddertop.tga", 7, 15, LAYER_EDITOR_LADDER);
        case EditorPiece::LADDER_BOTTOM: return Art("ladderbottom.tga", 7, 18, LAYER_EDITOR_LADDER);
        default: return Art("laddermiddle.tga", 7, 18, LAYER_EDITOR_LADDER);
        }
    }
    if (piece.layer == EditorPiece::LAYER_TELEPORT) {
        static const char* const kNames[] = {"editorteleportblue.png", "editorteleportyellow.png",
                                             "editorteleportred.png"};
        const int colour = static_cast<int>(piece.code) - DEVICE_LTELEPORT_B;
        if (colour < 0 || colour > 2) return EditorArt{};
        return Art(kNames[colour], 6, 47, LAYER_EDITOR_TELEPORT);
    }
    if (piece.code == PLATFORM) return Art(piece.platform, 18, 11, LAYER_LADDER_PLATFORM);
    EditorArt art = ElementArt(piece.code, piece.state, piece.width);
    art.layer = ElementLayer(piece.code);
    return art;
}

EditorArt EditorCursorArt(uint32_t tool, bool groundBelow, bool holdsBotLeft) {
    const SpriteLayer layer = LAYER_EDITOR_PLACER;
    if (const PowerupArt* p = FindPowerup(tool)) return Art(p->cursor, 20, 19, layer);
    switch (tool) {
    case FREEZE_MODE: return Art("cursorfreeze.tga", 10, 2, layer);
    case HEAT_MODE: return Art("cursorheat.png", 10, 2, layer);
    case TUTORIAL: return Art("cursortutorial.tga", 15, 17, layer);
    case DEVICE_TUBE_START: return Art("cursortubeentrance.tga", 16, 36, layer);
    case NONE: return Art("editorerase.png", 15, 7, layer);
    case DEVICE_TUBE_END: return Art("cursortubeexit.tga", 16, 39, layer);
    case 16:
        if (!groundBelow) return Art("cursorbothang.png", 25, 27, layer);
        return holdsBotLeft ? Art("cursorbotright.png", 18, 19, layer) : Art("cursorbotleft.png", 14, 20, layer);
    case TERRAIN_GRASS: return Art("cursorgrass.png", 24, 25, layer);
    case OBJECT_WCRATE: return Art("cursorwcrate.tga", 23, 13, layer);
    case OBJECT_WBARREL: return Art("cursorwbarrel.tga", 19, 15, layer);
    case OBJECT_LMAGNET: return Art("cursorlmagnet.tga", 16, 12, layer);
    case TERRAIN_SAND: return Art("cursorsand.png", 24, 23, layer);
    case OBJECT_MCRATE: return Art("cursormcrate.tga", 23, 13, layer);
    case OBJECT_MBARREL: return Art("cursormbarrel.png", 19, 15, layer);
    case OBJECT_RMAGNET: return Art("cursorrmagnet.tga", 18, 12, layer);
    case TERRAIN_ICE: return Art("cursorice.png", 17, 13, layer);
    case DEVICE_GATE_B: return Art("cursorgateblue.tga", 19, 15, layer);
    case DEVICE_GATE_Y: return Art("cursorgateyellow.tga", 19, 15, layer);
    case DEVICE_GATE_R: return Art("cursorgatered.tga", 19, 15, layer);
    case TERRAIN_BRIDGE: return Art("cursorbridge.png", 19, 15, layer);
    case DEVICE_BUTTON_B: return Art("cursorbuttonblue.tga", 11, -9, layer);
    case DEVICE_BUTTON_Y: return Art("cursorbuttonyellow.tga", 11, -9, layer);
    case DEVICE_BUTTON_R: return Art("cursorbuttonred.tga", 11, -9, layer);
    case LADDER: return Art("cursorladder.tga", 7, 18, layer);
    case DEVICE_LTELEPORT_B: return Art("cursorteleportblue.png", 6, 47, layer);
    case DEVICE_LTELEPORT_Y: return Art("cursorteleportyellow.png", 6, 47, layer);
    case DEVICE_LTELEPORT_R: return Art("cursorteleportred.png", 6, 47, layer);
    case DEVICE_TRAMPOLINE: return Art("cursortrampoline.tga", 11, 17, layer);
    default: return Art("cursornone.tga", 15, 7, layer);
    }
}

EditorArt EditorCursorFrameArt(uint32_t tool) {
    if (CEditorModel::IsTubeTool(tool)) return Art("editorcursor_1x2.png", 15, 31, LAYER_EDITOR_PLACER);
    if (CEditorModel::IsTeleportTool(tool)) return Art("editorcursor_0x2.png", -5, 31, LAYER_EDITOR_PLACER);
    return Art("editorcursor_1x1.png", 15, 7, LAYER_EDITOR_PLACER);
}

std::vector<EditorArt> EditorAllCursorArt() {
    std::vector<EditorArt> all;
    std::set<std::string> seen;
    auto add = [&](const EditorArt& a) {
        if (seen.insert(a.image).second) all.push_back(a);
    };
    for (uint32_t tool = 0; tool <= DEVICE_TRAMPOLINE; ++tool) {
        add(EditorCursorArt(tool, false, false));
        add(EditorCursorArt(tool, true, false));
        add(EditorCursorArt(tool, true, true));
        add(EditorCursorFrameArt(tool));
    }
    return all;
}
