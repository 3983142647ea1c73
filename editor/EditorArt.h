// The pictures of the level editor: the picture, origin and layer of every
// piece the editor shows, of the cursor that carries each tool and of the
// cursor frames. Names are those of the image store; origins are the sprite
// constructor's (the level layout's coordinates).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CSprite.h"

struct EditorPiece;

struct EditorArt {
    std::string image;  // empty: nothing is drawn
    int originX = 0;
    int originY = 0;
    SpriteLayer layer = LAYER_EDITOR_ELEMENT;  // of no matter for an empty image
};

// The picture of a piece; an empty image for a code that has none.
EditorArt EditorPieceArt(const EditorPiece& piece);
// The cursor of a tool. The bot tool's cursor shows what a click would make:
// a hanging bot without ground below the cursor, else a walking bot (facing
// right when the cell already holds one facing left).
EditorArt EditorCursorArt(uint32_t tool, bool groundBelow, bool holdsBotLeft);
// The cursor frame: 1x2 for the tubes, 0x2 (between two columns) for the
// teleports, 1x1 otherwise.
EditorArt EditorCursorFrameArt(uint32_t tool);
// Every cursor picture and every cursor frame, each once.
std::vector<EditorArt> EditorAllCursorArt();
