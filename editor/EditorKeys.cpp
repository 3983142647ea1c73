#include "editor/EditorKeys.h"

#include "world/CLevel.h"

int EditorToolForKey(int key) {
    if (key >= '1' && key <= '9') {
        static const uint32_t kDigits[] = {POWERUP_FROSTGUN, POWERUP_HEATGUN, POWERUP_WHISTLE,
                                           POWERUP_TELEPORT, POWERUP_BRIDGE,  POWERUP_EMP,
                                           POWERUP_CRATE,    POWERUP_BARREL,  POWERUP_MAGNET};
        return static_cast<int>(kDigits[key - '1']);
    }
    switch (key) {
    case EDITOR_KEY_BACKSPACE: return NONE;
    case ',': return OBJECT_MBARREL;
    case '-': return DEVICE_TUBE_START;
    case '.': return OBJECT_RMAGNET;
    case '=': return DEVICE_TUBE_END;
    case 'a': return DEVICE_BUTTON_B;
    case 'b': return EDITOR_BOT_TOOL;
    case 'c': return DEVICE_LTELEPORT_R;
    case 'd': return DEVICE_BUTTON_R;
    case 'e': return DEVICE_GATE_R;
    case 'f': return FREEZE_MODE;
    case 'h': return HEAT_MODE;
    case 'i': return TERRAIN_ICE;
    case 'j': return OBJECT_WCRATE;
    case 'k': return OBJECT_WBARREL;
    case 'l': return OBJECT_LMAGNET;
    case 'm': return OBJECT_MCRATE;
    case 'o': return TERRAIN_BRIDGE;
    case 'p': return LADDER;
    case 'q': return DEVICE_GATE_B;
    case 's': return DEVICE_BUTTON_Y;
    case 't': return TUTORIAL;
    case 'u': return TERRAIN_SAND;
    case 'v': return DEVICE_TRAMPOLINE;
    case 'w': return DEVICE_GATE_Y;
    case 'x': return DEVICE_LTELEPORT_Y;
    case 'y': return TERRAIN_GRASS;
    case 'z': return DEVICE_LTELEPORT_B;
    default: return -1;
    }
}

int EditorCommandForAltKey(int key) {
    switch (key) {
    case 'a': return CTRL_SAVE_AS;
    case 'h': return CTRL_HELP;
    case 'l': return CTRL_LOAD;
    case 'n': return CTRL_NEW;
    case 'p': return CTRL_PLAY;
    case 'q':
    case 'w': return CTRL_EXIT;
    case 'r': return CTRL_RECORD;
    case 's': return CTRL_SAVE;
    case 't': return CTRL_TEST;
    default: return -1;
    }
}

uint32_t EditorSwatchCode(int background) { return EDITOR_SWATCH_FIRST + 6 * static_cast<uint32_t>(background); }

int EditorSwatchBackground(uint32_t code) {
    if (code < EDITOR_SWATCH_FIRST || (code - EDITOR_SWATCH_FIRST) % 6 != 0) return -1;
    const int background = static_cast<int>(code - EDITOR_SWATCH_FIRST) / 6;
    return background < CLevel::kBackgroundCount ? background : -1;
}
