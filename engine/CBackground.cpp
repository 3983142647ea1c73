#include "engine/CBackground.h"

#include <cstdio>

#include "engine/CSprite.h"
#include "engine/Log.h"

CBackground::CBackground(int index) {
    // The number comes from a level file, which a player may have edited:
    // an unknown picture must not end the program.
    if (index < 0 || index >= kBackgroundCount) {
        DebugLog(DBG_WARNING, "CBackground:  Background %i does not exist, using background 0\n", index);
        index = 0;
    }
    char name[32];
    snprintf(name, sizeof(name), "background%i.jpg", index);
    DebugLog(DBG_CONSTRUCT, "CBackground:  Using background %i  (%s)\n", index, name);

    background = std::make_unique<CSprite>(29, 20, LAYER_BACKGROUND, 0, false, 1, 1);
    background->SetName("Background");
    background->AddFrame(name);
    background->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    grid = std::make_unique<CSprite>(15, 7, LAYER_BACKGROUND_GRID, 0, false, 1, 1);
    grid->SetName("Background Debug Grid");
    grid->AddFrame("grid.png");
}

CBackground::~CBackground() {
    DebugLog(DBG_DESTRUCT, "Destroying background...\n");
}

void CBackground::ToggleGrid() {
    if (!grid) return;
    if (grid->IsHidden()) {
        grid->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    } else {
        grid->Hide();
    }
}
