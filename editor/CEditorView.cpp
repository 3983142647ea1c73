#include "editor/CEditorView.h"

#include <cstdio>
#include <vector>

#include "editor/CEditorModel.h"
#include "editor/EditorArt.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Log.h"

namespace {

std::unique_ptr<CSprite> MakeSprite(const EditorArt& art, const char* name, int tileW, int tileH) {
    auto s = std::make_unique<CSprite>(art.originX, art.originY, art.layer, 0, false, tileW, tileH);
    s->SetName(name);
    s->AddFrame(art.image.c_str());
    return s;
}

}  // namespace

CEditorView::CEditorView() = default;

CEditorView::~CEditorView() {
    DestroyLevelSprites();
    grid.reset();
    cursors.clear();
    shownCursor = shownFrame = nullptr;
}

void CEditorView::LoadSprites(int number) {
    HideMousePointer(kHideUntilNextUpdate);
    ChangeBackground(number);
    grid = MakeSprite(EditorArt{"grid.png", 15, 7, LAYER_BACKGROUND_GRID}, "Editor - Grid", 1, 1);
    grid->SetPosition(0, 0, false);
    grid->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    for (const EditorArt& art : EditorAllCursorArt()) {
        const std::string name = "Editor - Cursor (" + art.image + ")";
        std::unique_ptr<CSprite>& s = cursors[art.image] = MakeSprite(art, name.c_str(), 1, 1);
        s->Hide();
    }
}

void CEditorView::ChangeBackground(int number) {
    background.reset();
    char name[32];
    snprintf(name, sizeof name, "background%i.jpg", number);
    DebugLog(DBG_CEDITOR, "CControllerEditor::changeBackground()   Loading background file '%s'\n", name);
    background = MakeSprite(EditorArt{name, 29, 20, LAYER_BACKGROUND}, "Editor - Background", 1, 1);
    backgroundImage = name;
    background->SetPosition(0, 0, false);
    background->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

void CEditorView::ToggleGrid() {
    if (!grid) return;
    if (grid->IsHidden())
        ShowGrid();
    else
        HideGrid();
}

void CEditorView::ShowGrid() {
    if (grid && grid->IsHidden()) grid->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

void CEditorView::HideGrid() {
    if (grid) grid->Hide();
}

void CEditorView::Sync(const CEditorModel& model) {
    const std::map<int, EditorPiece>& pieces = model.GetPieces();
    for (auto it = pieceSprites.begin(); it != pieceSprites.end();) {
        if (pieces.count(it->first)) {
            ++it;
            continue;
        }
        it = pieceSprites.erase(it);
    }
    for (const auto& [id, piece] : pieces) {
        if (pieceSprites.count(id)) continue;
        const EditorArt art = EditorPieceArt(piece);
        if (art.image.empty()) continue;
        std::unique_ptr<CSprite>& s = pieceSprites[id] =
            MakeSprite(art, "Editor Tile Sprite", piece.width, piece.height);
        s->SetPosition(piece.x * kSpriteCellSize, piece.y * kSpriteCellSize, false);
        s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
}

void CEditorView::DestroyLevelSprites() {
    pieceSprites.clear();
    background.reset();
}

void CEditorView::ShowAt(CSprite*& shown, CSprite* wanted, int x, int y) {
    if (wanted != shown) {
        if (shown) shown->Hide();
        shown = wanted;
        if (shown) shown->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    if (shown) shown->SetPosition(x, y, false);
}

void CEditorView::UpdateCursor(const CEditorModel& model) {
    const int cx = model.GetCursorX();
    const int cy = model.GetCursorY();
    const CLevel* level = model.GetLevel();
    const EditorArt art = EditorCursorArt(model.GetCursorType(), level->IsTerrain(cx, cy + 1),
                                          level->GetTile(cx, cy) == BOT_LEFT);
    const auto cursor = cursors.find(art.image);
    ShowAt(shownCursor, cursor == cursors.end() ? nullptr : cursor->second.get(), cx * kSpriteCellSize,
           cy * kSpriteCellSize);
    const auto frame = cursors.find(EditorCursorFrameArt(model.GetCursorType()).image);
    ShowAt(shownFrame, frame == cursors.end() ? nullptr : frame->second.get(), cx * kSpriteCellSize,
           cy * kSpriteCellSize);
}

void CEditorView::HideCursor() {
    if (shownCursor) shownCursor->Hide();
    if (shownFrame) shownFrame->Hide();
}

void CEditorView::ShowCursor() {
    if (shownCursor) shownCursor->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    if (shownFrame) shownFrame->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

CSprite* CEditorView::GetPieceSprite(int pieceId) const {
    const auto it = pieceSprites.find(pieceId);
    return it == pieceSprites.end() ? nullptr : it->second.get();
}

std::string CEditorView::GetCursorImage(const CSprite* cursor) const {
    for (const auto& [name, sprite] : cursors)
        if (sprite.get() == cursor) return name;
    return std::string();
}
