// The editor's keyboard: the tool each letter, digit or sign selects, the
// command each ALT key runs, and the background swatches of the palette.
// The editor screen and the palette read the same table.
#pragma once

#include <cstdint>

// The editor's commands (the palette's first column) and the bot tool,
// which the level's tile codes do not name.
enum EditorCode : uint32_t {
    EDITOR_BOT_TOOL = 16,
    EDITOR_SWATCH_FIRST = 11,  // background 0; background k is 11 + 6k
};

// SDL 1.2 key symbols the editor reads.
enum EditorKey {
    EDITOR_KEY_BACKSPACE = 8,
    EDITOR_KEY_BACKQUOTE = 96,
    EDITOR_KEY_F1 = 282,
    EDITOR_KEY_F8 = 289,
};

// The tool a key selects without ALT; -1 for a key that selects none.
int EditorToolForKey(int key);
// The command a key runs with ALT held; -1 for none.
int EditorCommandForAltKey(int key);
// The palette code of background k (0..7), and the background of a swatch
// code (-1 for a code that is no swatch).
uint32_t EditorSwatchCode(int background);
int EditorSwatchBackground(uint32_t code);
