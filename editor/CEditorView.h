// What the level editor shows of its model: the level's background, the
// grid, one sprite per piece of the model (kept in step by Sync), and the
// cursor that carries the current tool with its frame.
#pragma once

#include <map>
#include <memory>
#include <string>

class CEditorModel;
class CSprite;

class CEditorView {
public:
    CEditorView();
    ~CEditorView();
    CEditorView(const CEditorView&) = delete;
    CEditorView& operator=(const CEditorView&) = delete;

    // The background of the given number, the grid (shown) and every cursor
    // picture (hidden).
    void LoadSprites(int background);
    void ChangeBackground(int background);
    void ToggleGrid();
    void ShowGrid();
    void HideGrid();
    // Makes a sprite for every piece the view does not show yet and deletes
    // the sprites of pieces that are gone.
    void Sync(const CEditorModel& model);
    // Every piece sprite and the background deleted.
    void DestroyLevelSprites();
    // The cursor of the model's tool at the model's cursor cell.
    void UpdateCursor(const CEditorModel& model);
    void HideCursor();
    void ShowCursor();

    // Inspection (tests).
    CSprite* GetPieceSprite(int pieceId) const;
    size_t GetPieceSpriteCount() const { return pieceSprites.size(); }
    CSprite* GetBackground() const { return background.get(); }
    CSprite* GetGrid() const { return grid.get(); }
    CSprite* GetShownCursor() const { return shownCursor; }
    CSprite* GetShownFrame() const { return shownFrame; }
    const std::string& GetBackgroundImage() const { return backgroundImage; }
    // The image name a cursor sprite shows ("" for none).
    std::string GetCursorImage(const CSprite* cursor) const;

private:
    void ShowAt(CSprite*& shown, CSprite* wanted, int x, int y);

    std::unique_ptr<CSprite> background;
    std::string backgroundImage;
    std::unique_ptr<CSprite> grid;
    // The cursor pictures and frames by image name.
    std::map<std::string, std::unique_ptr<CSprite>> cursors;
    CSprite* shownCursor = nullptr;
    CSprite* shownFrame = nullptr;
    std::map<int, std::unique_ptr<CSprite>> pieceSprites;
};
