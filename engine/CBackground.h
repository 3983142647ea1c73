// The picture behind a level: one full-screen sprite with the background
// image of the level's number, and a grid over the board that stays hidden
// unless toggled on for debugging.
#pragma once

#include <memory>

class CSprite;

class CBackground {
public:
    // The level file's background number; one outside 0..7 falls back to 0
    // with a warning.
    explicit CBackground(int index);
    ~CBackground();
    CBackground(const CBackground&) = delete;
    CBackground& operator=(const CBackground&) = delete;

    // Shows the grid when it is hidden, hides it when it is shown.
    void ToggleGrid();

    CSprite* GetBackgroundSprite() const { return background.get(); }
    CSprite* GetGridSprite() const { return grid.get(); }

    static constexpr int kBackgroundCount = 8;

private:
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CSprite> grid;
};
