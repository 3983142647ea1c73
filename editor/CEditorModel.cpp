#include "editor/CEditorModel.h"

#include <algorithm>

#include "engine/Log.h"
#include "world/CLevelRules.h"
#include "world/pieces/CElementLadder.h"

namespace {

bool IsPowerup(uint32_t code) {
    switch (code) {
    case POWERUP_FROSTGUN: case POWERUP_HEATGUN: case POWERUP_WHISTLE: case POWERUP_TELEPORT: case POWERUP_BRIDGE:
    case POWERUP_EMP: case POWERUP_CRATE: case POWERUP_BARREL: case POWERUP_MAGNET:
        return true;
    default:
        return false;
    }
}

bool IsObject(uint32_t code) {
    switch (code) {
    case OBJECT_WCRATE: case OBJECT_WBARREL: case OBJECT_LMAGNET: case OBJECT_MCRATE: case OBJECT_MBARREL:
    case OBJECT_RMAGNET:
        return true;
    default:
        return false;
    }
}

bool IsButton(uint32_t code) { return code >= DEVICE_BUTTON_B && code <= DEVICE_BUTTON_R; }
bool IsBot(uint32_t code) { return code >= BOT_HANG && code <= BOT_RIGHT; }

// What the freeze and heat tools act on.
bool IsFreezable(uint32_t code) { return IsObject(code) || code == TERRAIN_BRIDGE || IsBot(code); }
bool IsHeatable(uint32_t code) {
    return code == OBJECT_LMAGNET || code == OBJECT_MCRATE || code == OBJECT_MBARREL || code == OBJECT_RMAGNET;
}

}  // namespace

CEditorModel::CEditorModel() = default;

bool CEditorModel::SharesCellWithLadder(uint32_t code) {
    return IsPowerup(code) || code == TUTORIAL || IsObject(code) || IsButton(code);
}

// ---- Pieces -------------------------------------------------------------------

int CEditorModel::AddPiece(EditorPiece piece) {
    piece.id = nextId++;
    pieces[piece.id] = piece;
    return piece.id;
}

void CEditorModel::RemovePiece(int id) { pieces.erase(id); }

const EditorPiece* CEditorModel::GetElementPiece(int column, int row) const {
    if (!InGrid(column, row) || !elementCells[column][row]) return nullptr;
    return &pieces.at(elementCells[column][row]);
}

const EditorPiece* CEditorModel::GetLadderPiece(int column, int row) const {
    if (!InGrid(column, row) || !ladderCells[column][row]) return nullptr;
    return &pieces.at(ladderCells[column][row]);
}

const EditorPiece* CEditorModel::GetTeleportPiece(int layerColumn, int row) const {
    if (layerColumn < 0 || layerColumn >= kTeleportColumns || row < 0 || row >= kRows) return nullptr;
    if (!teleportCells[layerColumn][row]) return nullptr;
    return &pieces.at(teleportCells[layerColumn][row]);
}

const std::vector<TeleportCell>& CEditorModel::GetTeleportLocations(int colour) const {
    static const std::vector<TeleportCell> kNone;
    return colour >= 0 && colour < CLevel::kTeleportColours ? teleportLocations[colour] : kNone;
}

// ---- Placing ------------------------------------------------------------------

EditorOutcome CEditorModel::CursorAction(uint32_t code, int column, int row, bool loading) {
    EditorOutcome outcome = EDITOR_DONE;
    const uint32_t here = level.GetTile(column, row);
    const bool groundBelow = level.IsTerrain(column, row + 1);
    switch (code) {
    case FREEZE_MODE:
    case HEAT_MODE: {
        const bool freeze = code == FREEZE_MODE;
        if (!InGrid(column, row) || !(freeze ? IsFreezable(here) : IsHeatable(here))) break;
        DebugLog(DBG_STACK, freeze ? "CControllerEditor::freezeElement(%i,%i,%i)\n" : "CControllerEditor::heatElement(%i,%i,%i)\n",
                 column, row, static_cast<int>(here));
        if (elementCells[column][row]) {
            RemovePiece(elementCells[column][row]);
            elementCells[column][row] = 0;
        }
        level.SetTileState(freeze ? TILE_STATE_FROZEN : TILE_STATE_HEATED, column, row);
        CreateElement(here, column, row, 1, 1, loading);
        break;
    }
    case TUTORIAL:
        if (loading)
            CreateElement(TUTORIAL, column, row, 1, 1, true);
        else
            outcome = EDITOR_ASK_TUTORIAL_TEXT;
        break;
    case DEVICE_TUBE_START:
    case DEVICE_TUBE_END: {
        if (!groundBelow) break;
        int& tubeX = code == DEVICE_TUBE_START ? startX : exitX;
        int& tubeY = code == DEVICE_TUBE_START ? startY : exitY;
        if (tubeX != -1) EraseCell(tubeX, tubeY, 1);
        tubeX = column;
        tubeY = row;
        CreateElement(code, column, row - 1, 1, 2, loading);
        break;
    }
    case NONE:
        EraseCell(column, row, 3);
        EraseTeleportAt(column + 1, row);
        EraseTeleportAt(column + 1, row + 1);
        EraseTeleportAt(column, row);
        EraseTeleportAt(column, row + 1);
        rulesPending = true;
        break;
    case POWERUP_FROSTGUN: case POWERUP_HEATGUN: case POWERUP_WHISTLE: case POWERUP_TELEPORT: case POWERUP_BRIDGE:
    case POWERUP_EMP: case POWERUP_CRATE: case POWERUP_BARREL: case POWERUP_MAGNET:
    case OBJECT_WCRATE: case OBJECT_WBARREL: case OBJECT_LMAGNET: case OBJECT_MCRATE: case OBJECT_MBARREL:
    case OBJECT_RMAGNET: case TERRAIN_ICE: case DEVICE_GATE_B: case DEVICE_GATE_Y: case DEVICE_GATE_R:
    case TERRAIN_BRIDGE: case BOT_HANG: case BOT_LEFT: case BOT_RIGHT:
        CreateElement(code, column, row, 1, 1, loading);
        break;
    case 16:  // the bot tool: a walking bot on ground (turned round on a second click), else a hanging one
        if (groundBelow)
            CreateElement(here == BOT_LEFT ? BOT_RIGHT : BOT_LEFT, column, row, 1, 1, loading);
        else
            CreateElement(BOT_HANG, column, row, 1, 1, loading);
        break;
    case TERRAIN_GRASS:
    case TERRAIN_SAND:
        PlaceRun(code, column, row, loading);
        break;
    case DEVICE_BUTTON_B: case DEVICE_BUTTON_Y: case DEVICE_BUTTON_R: case DEVICE_TRAMPOLINE:
        if (groundBelow) CreateElement(code, column, row, 1, 1, loading);
        break;
    case LADDER:
        PlaceLadder(column, row, loading);
        break;
    case DEVICE_LTELEPORT_B: case DEVICE_LTELEPORT_Y: case DEVICE_LTELEPORT_R:
        if (IsTeleportColourRefused(code)) {
            outcome = EDITOR_TELEPORT_LIMIT;
            break;
        }
        if (groundBelow || level.IsTerrain(column + 1, row + 1)) CreateElement(code, column, row - 1, 2, 2, loading);
        break;
    case PLATFORM:
        if (InGrid(column, row)) PlacePlatform(column, row);
        break;
    default:
        DebugLog(DBG_CEDITOR, "WARNING:  Select cursor type (%i) has not been defined!!!\n", static_cast<int>(code));
        break;
    }
    if (rulesPending) {
        UpdateDynamics();
        rulesPending = false;
    }
    return outcome;
}

void CEditorModel::PlaceTutorialSign(int column, int row, const char* text) {
    if (!InGrid(column, row)) return;
    CreateElement(TUTORIAL, column, row, 1, 1, false);
    level.SetTutorialText(column, row, text);
}

void CEditorModel::CreateElement(uint32_t code, int column, int row, int width, int height, bool loading) {
    DebugLog(DBG_STACK, "CControllerEditor::createElementSprite(%i,%i,%i,%i,%i,%i)\n", static_cast<int>(code), column,
             row, width, height, loading ? 1 : 0);
    if (!loading) {
        // Pieces that stand in front of a ladder leave it; the rest take the
        // whole cell.
        const int mask = code == LADDER ? 2 : SharesCellWithLadder(code) ? 1 : 3;
        for (int x = column; x < column + width; ++x) {
            if (x < 0 || x >= kColumns) continue;
            for (int y = row; y < row + height; ++y) EraseCell(x, y, mask);
        }
        rulesPending = true;
    }
    if (IsTubeTool(code)) {
        // The footprint took the cell above; the tube itself is one cell.
        MakeElementPiece(code, column, row + 1, 1, 1, loading);
        return;
    }
    if (code == LADDER) {
        for (int y = row; y < row + height; ++y) {
            if (!InGrid(column, y)) continue;
            EditorPiece p;
            p.layer = EditorPiece::LAYER_LADDER;
            p.code = LADDER;
            p.x = column;
            p.y = y;
            p.ladderPart = height == 1 ? EditorPiece::LADDER_SINGLE
                           : y == row ? EditorPiece::LADDER_TOP
                           : y == row + height - 1 ? EditorPiece::LADDER_BOTTOM
                                                   : EditorPiece::LADDER_MIDDLE;
            ladderCells[column][y] = AddPiece(p);
            if (!loading) level.SetLadder(LADDER, column, y);
        }
        return;
    }
    if (IsTeleportTool(code)) {
        CreateTeleport(code, column, row + 1, loading);
        return;
    }
    MakeElementPiece(code, column, row, width, height, loading);
}

void CEditorModel::MakeElementPiece(uint32_t code, int column, int row, int width, int height, bool loading) {
    EditorPiece p;
    p.code = code;
    p.x = column;
    p.y = row;
    p.width = width;
    p.height = height;
    p.state = level.GetTileState(column, row);
    const int id = AddPiece(p);
    for (int x = column; x < column + width; ++x) {
        for (int y = row; y < row + height; ++y) {
            if (!InGrid(x, y)) continue;
            elementCells[x][y] = id;
            if (!loading) level.SetTile(code, x, y);
        }
    }
}

void CEditorModel::PlacePlatform(int column, int row) {
    EditorPiece p;
    p.code = PLATFORM;
    p.x = column;
    p.y = row;
    p.platform = CElementLadder::PlatformImageAt(level, column, row);
    elementCells[column][row] = AddPiece(p);
}

void CEditorModel::EraseCell(int column, int row, int mask) {
    if (!InGrid(column, row)) return;
    if ((mask & 1) && elementCells[column][row]) {
        const int id = elementCells[column][row];
        const uint32_t code = level.GetTile(column, row);
        if (code == DEVICE_TUBE_START) startX = -1;
        if (code == DEVICE_TUBE_END) exitX = -1;
        if (code == TUTORIAL) level.FreeTutorialText(column, row);
        const EditorPiece piece = pieces.at(id);
        RemovePiece(id);
        level.SetTileState(0, column, row);
        for (int x = piece.x; x < piece.x + piece.width; ++x) {
            for (int y = piece.y; y < piece.y + piece.height; ++y) {
                if (!InGrid(x, y) || elementCells[x][y] != id) continue;
                elementCells[x][y] = 0;
                if (code == TERRAIN_GRASS || code == TERRAIN_SAND) continue;
                level.SetTile(NONE, x, y);
                level.SetTileState(0, x, y);
            }
        }
        if (code == TERRAIN_GRASS || code == TERRAIN_SAND) {
            // The cells on either side keep their code: each side is drawn
            // again as one run of its own.
            level.SetTile(NONE, column, row);
            for (int side : {-1, 1}) {
                if (level.GetTile(column + side, row) != code) continue;
                const Rect run = level.GetTypeRun(column + side, row, code);
                CreateElement(code, run.x, run.y, run.w, 1, false);
            }
        }
    }
    if ((mask & 2) && ladderCells[column][row]) {
        RemovePiece(ladderCells[column][row]);
        ladderCells[column][row] = 0;
        level.SetLadder(NONE, column, row);
    }
}

void CEditorModel::PlaceRun(uint32_t code, int column, int row, bool loading) {
    if (!InGrid(column, row)) return;
    if (!loading) {
        if (level.GetTile(column, row) == code) return;
        EraseCell(column, row, 3);
    }
    const Rect run = level.GetTypeRun(column, row, code);
    CreateElement(code, run.x, run.y, run.w, 1, false);
}

void CEditorModel::PlaceLadder(int column, int row, bool loading) {
    if (!InGrid(column, row)) return;
    if (!loading) {
        if (level.HasLadder(column, row)) return;
        if (!SharesCellWithLadder(level.GetTile(column, row))) EraseCell(column, row, 1);
    }
    const Rect run = level.GetLadderRun(column, row);
    CreateElement(LADDER, run.x, run.y, 1, run.h, false);
}

// ---- Teleports ----------------------------------------------------------------

bool CEditorModel::IsTeleportColourRefused(uint32_t code) const {
    return CLevelRules::IsTeleportColourRefused(level, code);
}

void CEditorModel::CreateTeleport(uint32_t code, int column, int row, bool loading) {
    DebugLog(DBG_STACK, "CControllerEditor::createTeleportSprite(%i,%i,%i,%i)\n", static_cast<int>(code), column, row,
             loading ? 1 : 0);
    if (column < -1 || column >= kColumns || row < 0 || row >= kRows) return;
    ReplaceTeleports(code, column, row + 1);
    EditorPiece p;
    p.layer = EditorPiece::LAYER_TELEPORT;
    p.code = code;
    p.x = column;
    p.y = row;
    p.height = 2;
    teleportCells[column + 1][row] = AddPiece(p);
    DebugLog(DBG_CEDITOR, "CControllerEditor::createTeleportSprite()   Appending new teleport location at (%i,%i)\n",
             column + 1, row);
    teleportLocations[ColourOf(code)].push_back({column + 1, row});
    if (!loading) level.SetTeleport(code, column, row);
}

void CEditorModel::ReplaceTeleports(uint32_t code, int column, int row) {
    // What stands in the new portal's place goes, and a colour keeps at
    // most two portals: a third replaces the later of the two.
    EraseTeleportAt(column + 1, row);
    EraseTeleportAt(column + 1, row - 1);
    const std::vector<TeleportCell>& list = teleportLocations[ColourOf(code)];
    if (list.size() >= 2) {
        const TeleportCell second = list[1];
        DebugLog(DBG_CEDITOR, "CControllerEditor::replaceTeleports()   Deleting last teleport at (%i,%i)\n", second.x,
                 second.y);
        EraseTeleportAt(second.x, second.y);
    }
}

void CEditorModel::EraseTeleportAt(int layerColumn, int row) {
    DebugLog(DBG_CEDITOR, "CControllerEditor::eraseTeleportHelper()   Checking for teleport at (%i,%i)\n", layerColumn,
             row);
    if (layerColumn < 0 || layerColumn >= kTeleportColumns || row < 0 || row >= kRows) return;
    const int id = teleportCells[layerColumn][row];
    if (!id) return;
    DebugLog(DBG_CEDITOR, "CControllerEditor::eraseTeleportHelper()   * Erasing teleport sprite at (%i,%i)\n",
             layerColumn, row);
    RemovePiece(id);
    teleportCells[layerColumn][row] = 0;
    level.EraseTeleport(layerColumn - 1, row);
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour) {
        std::vector<TeleportCell>& list = teleportLocations[colour];
        const auto it = std::find(list.begin(), list.end(), TeleportCell{layerColumn, row});
        if (it == list.end()) continue;
        DebugLog(DBG_CEDITOR, "CControllerEditor::eraseTeleportHelper()   * Erasing teleport location of type %i\n",
                 colour);
        list.erase(it);
        break;
    }
}

// ---- The rules pass -----------------------------------------------------------

void CEditorModel::CheckTeleport(int c, int r) {
    // Teleport-layer column c stands between level columns c - 1 and c.
    if (!GetTeleportPiece(c, r) || !CLevelRules::IsTeleportBlocked(level, c - 1, r)) return;
    DebugLog(DBG_CEDITOR, "   * Removing teleport at (%i,%i) due to terrain blocking or lack of terrain support\n", c,
             r);
    EraseTeleportAt(c, r);
}

void CEditorModel::UpdateDynamics() {
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const uint32_t t = level.GetTile(col, row);
            const char* name = CLevel::GetTypeName(t);
            // Support and height: what a piece stands on, or the room a tube
            // needs above it.
            const CLevelRules::Footing footing = CLevelRules::FindFooting(level, col, row);
            if (footing != CLevelRules::FOOTING_OK) {
                const char* what = footing == CLevelRules::FOOTING_NO_ROOM_ABOVE ? "height-restricted tile"
                                   : t == BOT_HANG                              ? "terrain-dependent hanging bot"
                                   : IsBot(t)                                   ? "terrain-dependent grounded bot"
                                                                                : "terrain-dependent tile";
                DebugLog(DBG_CEDITOR, "CControllerEditor::updateDynamics()      * Erasing %s (%s)\n", what, name);
                EraseCell(col, row, 1);
            }
            // Ladder platforms.
            if (CLevelRules::WantsPlatform(level, col, row)) {
                if (level.GetTile(col, row) != PLATFORM) {
                    DebugLog(DBG_CEDITOR, "   * Place Platform at (%i,%i)\n", col, row);
                    EraseCell(col, row, 1);
                    level.SetTile(PLATFORM, col, row);
                    PlacePlatform(col, row);
                } else if (const EditorPiece* p = GetElementPiece(col, row);
                           p && p->platform != CElementLadder::PlatformImageAt(level, col, row)) {
                    // A ledge came or went on one side: the plank follows.
                    RemovePiece(elementCells[col][row]);
                    PlacePlatform(col, row);
                }
            } else if (level.GetTile(col, row) == PLATFORM) {
                DebugLog(DBG_CEDITOR, "   * Remove existing platform at (%i,%i)\n", col, row);
                level.SetTile(NONE, col, row);
                if (elementCells[col][row]) {
                    RemovePiece(elementCells[col][row]);
                    elementCells[col][row] = 0;
                }
            }
            CheckTeleport(col, row);
        }
        CheckTeleport(kTeleportColumns - 1, row);
    }
}

// ---- Whole level --------------------------------------------------------------

void CEditorModel::LoadLevelPieces() {
    startX = startY = exitX = exitY = -1;
    for (auto& list : teleportLocations) list.clear();
    for (int col = 0; col < kColumns; ++col) {
        for (int row = 0; row < kRows; ++row) {
            if (level.HasLadder(col, row)) {
                DebugLog(DBG_LEVEL_LOAD, "CControllerEditor::loadLevelSprites()      (%i,%i)  Creating ladder sprite\n", col, row);
                CursorAction(LADDER, col, row, true);
            }
            const uint32_t code = level.GetTile(col, row);
            if (!elementCells[col][row] && code != NONE) {
                DebugLog(DBG_LEVEL_LOAD, "CControllerEditor::loadLevelSprites()      (%i,%i)  Creating tile sprite (type=%s)\n", col,
                         row, CLevel::GetTypeName(code));
                CursorAction(code, col, row, true);
            }
        }
    }
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour) {
        // Placing one may replace another of the list: go by a copy and skip
        // entries that are gone by then.
        const std::vector<TeleportCell> entries = level.GetTeleports(colour);
        for (const TeleportCell& t : entries) {
            if (level.FindTeleportType(t.x, t.y) != colour) continue;
            DebugLog(DBG_LEVEL_LOAD, "CControllerEditor::loadLevelSprites()      (%i,%i)  Creating teleport (type=%i)\n", t.x, t.y,
                     colour);
            CursorAction(DEVICE_LTELEPORT_B + colour, t.x, t.y, true);
        }
    }
    DropUnshownContent();
}

void CEditorModel::DropUnshownContent() {
    for (int col = 0; col < kColumns; ++col) {
        for (int row = 0; row < kRows; ++row) {
            const uint32_t code = level.GetTile(col, row);
            if (code == NONE || elementCells[col][row]) continue;
            DebugLog(DBG_WARNING, "CControllerEditor::loadLevelSprites()   Dropping tile %s at (%i,%i): it cannot stand there\n",
                     CLevel::GetTypeName(code), col, row);
            level.SetTile(NONE, col, row);
            level.SetTileState(0, col, row);
            level.FreeTutorialText(col, row);
        }
    }
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour) {
        const std::vector<TeleportCell> entries = level.GetTeleports(colour);
        for (const TeleportCell& t : entries) {
            if (GetTeleportPiece(t.x + 1, t.y)) continue;
            DebugLog(DBG_WARNING, "CControllerEditor::loadLevelSprites()   Dropping teleport at (%i,%i): it cannot stand there\n",
                     t.x, t.y);
            level.EraseTeleport(t.x, t.y);
        }
    }
}

void CEditorModel::ErasePieces() {
    for (int col = 0; col < kColumns; ++col)
        for (int row = 0; row < kRows; ++row) EraseCell(col, row, 3);
    for (int col = 0; col < kTeleportColumns; ++col) {
        for (int row = 0; row < kRows; ++row) {
            if (!teleportCells[col][row]) continue;
            RemovePiece(teleportCells[col][row]);
            teleportCells[col][row] = 0;
        }
    }
    startX = startY = exitX = exitY = -1;
    for (auto& list : teleportLocations) list.clear();
}

void CEditorModel::DropPieces() {
    pieces.clear();
    for (auto& column : elementCells) column.fill(0);
    for (auto& column : ladderCells) column.fill(0);
    for (auto& column : teleportCells) column.fill(0);
}

void CEditorModel::NewLevel() {
    ErasePieces();
    level.Clear();
    level.SetBackground(level.GetBackground());
    level.SetModified(false);
}

EditorLoad CEditorModel::LoadLevel(const char* fileName) {
    // Deleted since the load list was made: nothing was read, nothing goes.
    if (CLevel::IsFileMissing(fileName)) return EDITOR_LOAD_MISSING;
    ErasePieces();
    // A level we cannot read leaves nothing behind: an empty, unnamed level,
    // whose version is the one the file gave, if any.
    const bool loaded = level.Load(fileName);
    readVersion = level.GetVersion();
    if (loaded) return EDITOR_LOADED;
    return readVersion > 0 && readVersion < kLevelOldestVersion ? EDITOR_LOAD_OLD_VERSION : EDITOR_LOAD_DAMAGED;
}

EditorCheck CEditorModel::CheckLevel() const {
    // The editor keeps one tube of each kind: a tube that is missing is the
    // tube fault; a portal without its partner the teleports'.
    switch (CLevelRules::FindFinishFault(level)) {
    case CLevelRules::FAULT_NONE: return EDITOR_CHECK_OK;
    case CLevelRules::FAULT_TELEPORT_UNPAIRED: return EDITOR_CHECK_TELEPORT_UNPAIRED;
    default: return EDITOR_CHECK_NO_TUBE;
    }
}

// ---- Cursor -------------------------------------------------------------------

void CEditorModel::SetCursorType(uint32_t code) {
    cursorType = code;
    ClampCursor();
}

void CEditorModel::ClampCursor() {
    const int lowestColumn = IsTeleportTool(cursorType) ? -1 : 0;
    const int lowestRow = IsTeleportTool(cursorType) || IsTubeTool(cursorType) ? 1 : 0;
    cursorX = std::clamp(cursorX, lowestColumn, kColumns - 1);
    cursorY = std::clamp(cursorY, lowestRow, kRows - 1);
}

EditorOutcome CEditorModel::MoveCursorTo(int column, int row, bool keepColumn, bool keepRow) {
    const int oldX = cursorX;
    const int oldY = cursorY;
    if (!keepColumn) {
        if (column > cursorX)
            cursorX = std::min(column, kColumns - 1);
        else if (column < cursorX)
            cursorX = std::max(column, IsTeleportTool(cursorType) ? -1 : 0);
    }
    if (!keepRow) {
        if (row > cursorY)
            cursorY = std::min(row, kRows - 1);
        else if (row < cursorY)
            cursorY = std::max(row, IsTeleportTool(cursorType) || IsTubeTool(cursorType) ? 1 : 0);
    }
    if (!placingHeld || (cursorX == oldX && cursorY == oldY)) return EDITOR_DONE;
    DebugLog(DBG_CEDITOR, "CControllerEditor::moveCursor()   Dragging placer while moving.\n");
    return CursorAction(cursorType, cursorX, cursorY, false);
}

EditorOutcome CEditorModel::MoveCursorBy(int dx, int dy, bool keepColumn, bool keepRow) {
    return MoveCursorTo(cursorX + dx, cursorY + dy, keepColumn, keepRow);
}

EditorOutcome CEditorModel::MoveCursorToPointer(int x, int y, bool keepColumn, bool keepRow) {
    const int column = x > 15 ? (x - 15) / 24 : -1;
    const int row = (y - 15) / 24;  // truncated towards zero
    return MoveCursorTo(column, row, keepColumn, keepRow);
}

EditorOutcome CEditorModel::PressPlace() {
    placingHeld = true;
    return CursorAction(cursorType, cursorX, cursorY, false);
}
