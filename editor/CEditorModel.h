// The level editor's rules over the level it edits, without a screen: the
// pieces that the editor shows on its three layers (elements, ladders,
// teleports), the tools placed at a cell, the rules that keep the level
// buildable after every edit, the start and exit tubes, the teleport pairs
// and the cursor. The editor screen draws the pieces (one sprite each) and
// turns keys and clicks into these commands.
//
// A piece is what one sprite shows: a grass or sand run is one piece over
// its whole run, every ladder cell and every teleport is a piece of its own.
// Pieces get ids that are never reused, so a view can tell new pieces from
// the ones it has drawn.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "world/CLevel.h"

struct EditorPiece {
    enum Layer { LAYER_ELEMENT = 0, LAYER_LADDER = 1, LAYER_TELEPORT = 2 };
    enum LadderPart { LADDER_SINGLE = 0, LADDER_TOP = 1, LADDER_MIDDLE = 2, LADDER_BOTTOM = 3 };

    int id = 0;
    int layer = LAYER_ELEMENT;
    uint32_t code = NONE;
    // The cell the picture is drawn at (a teleport: its level column, which
    // may be -1, and its lower row) and the cells it covers.
    int x = 0, y = 0;
    int width = 1, height = 1;
    uint32_t state = 0;  // the tile state when it was made (frozen, heated)
    int ladderPart = LADDER_SINGLE;
    // A ladder platform: its picture, whose plank reaches the ledges beside.
    const char* platform = nullptr;
};

// What a placement asks of the screen besides the pieces it changed.
enum EditorOutcome {
    EDITOR_DONE = 0,
    // The tutorial sign waits for its text (PlaceTutorialSign).
    EDITOR_ASK_TUTORIAL_TEXT = 1,
    // A teleport of a new colour beyond the colour limit was refused.
    EDITOR_TELEPORT_LIMIT = 2,
};

// What reading a level file gave.
enum EditorLoad {
    EDITOR_LOADED = 0,
    EDITOR_LOAD_OLD_VERSION = 1,  // made before the oldest version we read
    EDITOR_LOAD_DAMAGED = 2,      // cut short, not a level, or a name refused
    EDITOR_LOAD_MISSING = 3,      // no longer in the levels folder
};

// Why a level cannot be played yet.
enum EditorCheck {
    EDITOR_CHECK_OK = 0,
    EDITOR_CHECK_NO_TUBE = 1,
    EDITOR_CHECK_TELEPORT_UNPAIRED = 2,
};

class CEditorModel {
public:
    static constexpr int kColumns = CLevel::kWidth;
    static constexpr int kRows = CLevel::kHeight;
    // Teleports stand between two columns: their layer has one column more,
    // shifted by one (level column c is layer column c + 1).
    static constexpr int kTeleportColumns = CLevel::kWidth + 1;

    CEditorModel();

    CLevel* GetLevel() { return &level; }
    const CLevel* GetLevel() const { return &level; }

    // ---- Placing -------------------------------------------------------------
    // Places a tool at a cell. With loading set the level is not written:
    // the pieces are made for what the level already holds (runs and
    // ladders are written all the same). The rules pass follows when an
    // edit asked for it.
    EditorOutcome CursorAction(uint32_t code, int column, int row, bool loading);
    // The sign of the tutorial tool, once its text has been given.
    void PlaceTutorialSign(int column, int row, const char* text);
    // Erases a cell: mask bit 1 the element layer, bit 2 the ladder layer.
    void EraseCell(int column, int row, int mask);
    // Erases the teleport standing at a teleport-layer cell.
    void EraseTeleportAt(int layerColumn, int row);
    // The rules pass: what lost its support goes, ladders beside terrain get
    // platforms, blocked or unsupported teleports go.
    void UpdateDynamics();
    // The colour limit: a teleport of a colour not yet used is refused while
    // the used colours and the teleport power-ups take all three.
    bool IsTeleportColourRefused(uint32_t code) const;

    // ---- Whole level ---------------------------------------------------------
    // Makes the pieces of everything the level holds. Cells and teleports
    // that get no piece (a tube without ground, a code no tool makes) are
    // dropped from the level, so that what is saved is what is shown.
    void LoadLevelPieces();
    // Every piece erased (and the level with it), the tubes and teleport
    // lists emptied; the level keeps only its background.
    void ErasePieces();
    // Forgets every piece without touching the level (the pieces are made
    // again from the level later).
    void DropPieces();
    // A new, empty level: the pieces erased, the level cleared, unmodified.
    void NewLevel();
    // Reads a level file of the levels folder. A file that cannot be read
    // leaves an empty level; a file that is no longer there changes nothing.
    EditorLoad LoadLevel(const char* fileName);
    // The version the last level file read gave (0 when none was read).
    int GetReadVersion() const { return readVersion; }
    EditorCheck CheckLevel() const;

    // ---- Cursor --------------------------------------------------------------
    int GetCursorX() const { return cursorX; }
    int GetCursorY() const { return cursorY; }
    uint32_t GetCursorType() const { return cursorType; }
    // A new tool: the cursor is clamped for it.
    void SetCursorType(uint32_t code);
    void ClampCursor();
    // Moves the cursor by whole cells (the arrow keys) or to the cell under
    // a pointer position; keepColumn (SHIFT) and keepRow (CTRL) hold that
    // coordinate. While placing is held, a move to a new cell places the
    // tool there.
    EditorOutcome MoveCursorBy(int dx, int dy, bool keepColumn, bool keepRow);
    EditorOutcome MoveCursorToPointer(int x, int y, bool keepColumn, bool keepRow);
    // Places the tool at the cursor and holds placing (the place key or
    // the left button went down).
    EditorOutcome PressPlace();
    void ReleasePlace() { placingHeld = false; }
    void SetPlacingHeld(bool held) { placingHeld = held; }
    bool IsPlacingHeld() const { return placingHeld; }

    // ---- Inspection ----------------------------------------------------------
    const std::map<int, EditorPiece>& GetPieces() const { return pieces; }
    // The piece of a cell of a layer, null when there is none.
    const EditorPiece* GetElementPiece(int column, int row) const;
    const EditorPiece* GetLadderPiece(int column, int row) const;
    const EditorPiece* GetTeleportPiece(int layerColumn, int row) const;
    int GetStartTubeX() const { return startX; }
    int GetStartTubeY() const { return startY; }
    int GetExitTubeX() const { return exitX; }
    int GetExitTubeY() const { return exitY; }
    // Teleport locations of a colour (layer column, row) in placement order.
    const std::vector<TeleportCell>& GetTeleportLocations(int colour) const;
    bool IsRulesPending() const { return rulesPending; }

    static bool IsTeleportTool(uint32_t code) { return code >= DEVICE_LTELEPORT_B && code <= DEVICE_LTELEPORT_R; }
    static bool IsTubeTool(uint32_t code) { return code == DEVICE_TUBE_START || code == DEVICE_TUBE_END; }
    // The elements that may share a cell with a ladder.
    static bool SharesCellWithLadder(uint32_t code);

private:
    void CreateElement(uint32_t code, int column, int row, int width, int height, bool loading);
    // One element piece over the cells given, each written with the code
    // unless loading.
    void MakeElementPiece(uint32_t code, int column, int row, int width, int height, bool loading);
    void CreateTeleport(uint32_t code, int column, int row, bool loading);
    void ReplaceTeleports(uint32_t code, int column, int row);
    void PlaceRun(uint32_t code, int column, int row, bool loading);
    void PlaceLadder(int column, int row, bool loading);
    void PlacePlatform(int column, int row);
    // Teleport-layer column c: remove its teleport of row r when walled in
    // or unsupported.
    void CheckTeleport(int layerColumn, int row);
    EditorOutcome MoveCursorTo(int column, int row, bool keepColumn, bool keepRow);
    int AddPiece(EditorPiece piece);
    void RemovePiece(int id);
    // Drops level tiles and teleports that got no piece while loading.
    void DropUnshownContent();

    static bool InGrid(int x, int y) { return x >= 0 && x < kColumns && y >= 0 && y < kRows; }
    static int ColourOf(uint32_t code) { return static_cast<int>(code) - DEVICE_LTELEPORT_B; }

    CLevel level;
    std::map<int, EditorPiece> pieces;
    int nextId = 1;
    std::array<std::array<int, kRows>, kColumns> elementCells{};
    std::array<std::array<int, kRows>, kColumns> ladderCells{};
    std::array<std::array<int, kRows>, kTeleportColumns> teleportCells{};
    int startX = -1, startY = -1;
    int exitX = -1, exitY = -1;
    std::array<std::vector<TeleportCell>, CLevel::kTeleportColours> teleportLocations;
    bool rulesPending = false;
    int readVersion = 0;

    int cursorX = 0, cursorY = 0;
    uint32_t cursorType = NONE;
    bool placingHeld = false;
};
