// One level in its stored form: the 32 x 24 layers of tile codes, tile states
// and ladders, the teleport portals by colour, the texts of the tutorial signs,
// the heading, the background number and the recorded solution. It reads and
// writes the ".lvl" level file and is the form in which the level pack
// delivers its levels.
//
// Every per-cell table is column-major: index = column * 24 + row.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "engine/Rect.h"

// Tile codes of a level cell (and the editor's tools, which share the numbers).
enum TileCode : uint32_t {
    CTRL_HELP = 0,
    FREEZE_MODE = 1,
    HEAT_MODE = 2,
    TUTORIAL = 3,
    DEVICE_TUBE_START = 4,
    NONE = 5,
    CTRL_NEW = 6,
    POWERUP_FROSTGUN = 7,
    POWERUP_HEATGUN = 8,
    POWERUP_WHISTLE = 9,  // has no type name
    DEVICE_TUBE_END = 10,
    CTRL_LOAD = 12,
    POWERUP_TELEPORT = 13,
    POWERUP_BRIDGE = 14,
    POWERUP_EMP = 15,
    CTRL_SAVE = 18,
    POWERUP_CRATE = 19,
    POWERUP_BARREL = 20,
    POWERUP_MAGNET = 21,
    TERRAIN_GRASS = 22,
    CTRL_SAVE_AS = 24,
    OBJECT_WCRATE = 25,
    OBJECT_WBARREL = 26,
    OBJECT_LMAGNET = 27,
    TERRAIN_SAND = 28,
    CTRL_TEST = 30,
    OBJECT_MCRATE = 31,
    OBJECT_MBARREL = 32,
    OBJECT_RMAGNET = 33,
    TERRAIN_ICE = 34,
    CTRL_RECORD = 36,
    DEVICE_GATE_B = 37,
    DEVICE_GATE_Y = 38,
    DEVICE_GATE_R = 39,
    TERRAIN_BRIDGE = 40,
    CTRL_PLAY = 42,
    DEVICE_BUTTON_B = 43,
    DEVICE_BUTTON_Y = 44,
    DEVICE_BUTTON_R = 45,
    LADDER = 46,
    CTRL_EXIT = 48,
    DEVICE_LTELEPORT_B = 49,
    DEVICE_LTELEPORT_Y = 50,
    DEVICE_LTELEPORT_R = 51,
    DEVICE_TRAMPOLINE = 52,
    PLATFORM = 400,
    BOT_HANG = 450,
    BOT_LEFT = 451,
    BOT_RIGHT = 452,
};

// Cell states that ride along with a tile.
constexpr uint32_t TILE_STATE_FROZEN = 1024;
constexpr uint32_t TILE_STATE_HEATED = 2048;

// Kinds of the level ID (the bits under kLevelKindMask).
constexpr uint32_t kLevelKindMask = 0x70700E;
constexpr uint32_t kLevelKindGame = 0x202004;
constexpr uint32_t kLevelKindCustom = 0x404008;
constexpr uint32_t kLevelKindAlpha = 0x50500A;
// The version every level is written with, and the oldest one we can read.
constexpr int kLevelVersion = 8;
constexpr int kLevelOldestVersion = 5;

struct ReplayKey {
    int32_t frame = -1;
    int32_t key = 0;
    bool released = false;
    bool operator==(const ReplayKey& o) const {
        return frame == o.frame && key == o.key && released == o.released;
    }
};

struct TeleportCell {
    int x = 0;  // the left column of the portal: -1..31
    int y = 0;  // its lower row: 0..23
    bool operator==(const TeleportCell& o) const { return x == o.x && y == o.y; }
};

class CLevel {
public:
    static constexpr int kWidth = 32;
    static constexpr int kHeight = 24;
    static constexpr int kCells = kWidth * kHeight;
    static constexpr int kTeleportColours = 3;
    // The longest file name the save dialog lets one type for a new file;
    // files with longer names are read, saved and removed by their whole name.
    static constexpr size_t kFileNameMax = 16;
    static constexpr size_t kHeadingMax = 32;
    // The longest sign text (in bytes, a line break "%n" counting two): what
    // the editor's sign box holds. A level file with a longer one is damaged.
    static constexpr size_t kSignTextMax = 250;
    static constexpr int kBackgroundCount = 8;
    static constexpr int kDefaultBackground = 4;
    // The largest level file there can be: the ID, the heading and two
    // layers; every place a portal can stand (33 columns, as -1 is one, by
    // 24 rows) in each colour's list; a sign with the editor's longest text
    // on every cell; the background; and a solution of 65536
    // records (an hour of play at 18 a second). A larger file is no level.
    static constexpr long kReplayKeyBytes = 12;  // frame, key, released
    static constexpr long kFileBytesMax = 4 + (kHeadingMax + 1) + 2 * kCells * 4 +
                                          kTeleportColours * (4 + (kWidth + 1) * kHeight * 8) + 4 +
                                          kCells * (12 + kSignTextMax) + 4 + 4 + 65536 * kReplayKeyBytes;

    CLevel();
    ~CLevel() = default;
    CLevel(const CLevel&) = default;
    CLevel& operator=(const CLevel&) = default;

    // Back to an empty level (kind and version stay as they were).
    void Clear();

    // ---- Files --------------------------------------------------------------
    // Loads "<levels folder><name>.lvl"; the file name field keeps the whole
    // name. On failure the level is left cleared, with the version the file's
    // ID gave (0 when no ID could be read).
    bool Load(const char* name);
    // Loads the level file at path; name becomes the file name field.
    bool LoadFile(const std::string& path, const char* name);
    // Parses a level body held in memory (a file's bytes or a pack entry).
    bool LoadFromMemory(const void* data, size_t size, const char* name);
    // Writes "<levels folder><file name>.lvl" through a temporary file. On
    // failure the earlier file stays whole and the level stays modified.
    bool Save();
    // Saves under a new file name and heading; when the write fails the
    // level keeps its earlier name, heading and modified flag.
    bool SaveAs(const char* fileName, const char* heading);
    // Writes to an explicit path (same rules as Save).
    bool SaveToPath(const std::string& path);
    // Why the last save failed: the errno it failed with (0 after one that
    // succeeded), and the file it was to write (where a link leads).
    int GetSaveError() const { return saveError_; }
    const std::string& GetSaveTarget() const { return saveTarget_; }
    // Writes the level body with the given ID to an open stream; false when
    // any write fails, and, writing nothing, for a level larger than
    // kFileBytesMax (no file the loader refuses is ever written).
    bool WriteBody(FILE* f, uint32_t levelId) const;
    // The bytes of the level file WriteBody writes.
    long FileBytes() const;
    // How many solution records the level file has room for beside the rest
    // of the level, up to kFileBytesMax: a recording stops there.
    long SolutionRoom() const;
    // The body as bytes (for packs); empty on failure.
    std::vector<uint8_t> BodyBytes(uint32_t levelId) const;

    // Deletes the level file of that name; false when it stays, with why
    // (an errno) in error when given.
    static bool Remove(const char* name, int* error = nullptr);
    // Deletes the level file at path (any name length), and a temporary file
    // a broken-off save of it left behind; false when the level file stays.
    static bool RemovePath(const std::string& path, int* error = nullptr);
    // The heading of a level file, "" when it cannot be read.
    static std::string GetHeading(const char* name);
    // Modification time of a level file, 0 when it cannot be read.
    static time_t GetFileTime(const char* name);
    // A name usable as a level file name: the one check of every way from a
    // name to a file (load list, load, save, save as, remove; editor and
    // level manager). Refused is only what could lead out of the levels
    // folder: an empty name, a "/", or a name that is just "." or "..".
    // Dots elsewhere ("wait..") and any length the folder takes are fine.
    static bool IsValidName(const char* name);
    // "<levels folder><name>.lvl"; "" for a name IsValidName refuses.
    static std::string PathFor(const char* name);
    // The longest name (in bytes) a level can be saved under: the temporary
    // file of a save, "<name>.lvl.tmp", must fit the 255 bytes the system
    // allows a file name. Longer names can still be listed, read and played.
    static const size_t kSavableNameBytes;
    // A valid name no longer than that.
    static bool IsSavableName(const char* name);
    // The names of the level files in the levels folder, sorted without
    // regard to case: regular files ending in ".lvl" (so never the ".tmp" a
    // broken-off save leaves), with names IsValidName takes.
    static std::vector<std::string> ListFileNames();
    // True when the level file of a valid name is no longer in the folder
    // (told apart from a file that is there but cannot be read).
    static bool IsFileMissing(const char* name);
    // A level ID of the given kind and version 8; noise fills the free bits.
    static uint32_t MakeLevelId(uint32_t kind, uint32_t noise);
    static const char* GetTypeName(uint32_t code);

    // ---- Cells --------------------------------------------------------------
    uint32_t GetTile(int x, int y) const;
    uint32_t GetLadder(int x, int y) const;
    uint32_t GetTileState(int x, int y) const;
    void SetTile(uint32_t code, int x, int y);
    void SetLadder(uint32_t code, int x, int y);
    void SetTileState(uint32_t state, int x, int y);
    bool IsTerrain(int x, int y) const;
    bool IsPlatform(int x, int y) const;
    bool IsBridge(int x, int y) const;
    bool IsGate(int x, int y) const;
    bool HasLadder(int x, int y) const;
    bool IsBotTile(int x, int y) const;
    Rect GetTypeRun(int x, int y, uint32_t code) const;
    Rect GetLadderRun(int x, int y) const;

    // Tutorial sign texts; null when the cell has none.
    const char* GetTutorialText(int x, int y) const;
    void SetTutorialText(int x, int y, const char* text);
    void FreeTutorialText(int x, int y);

    // ---- Teleports ----------------------------------------------------------
    void SetTeleport(uint32_t code, int x, int y);
    void EraseTeleport(int x, int y);
    const std::vector<TeleportCell>& GetTeleports(int colour) const;
    bool HasTeleportsOfType(uint32_t code) const;
    int CountUsedTeleportTypes() const;
    bool AreTeleportsPaired() const;
    int GetTeleportPowerupCount() const { return teleportPowerups_; }
    int ClaimTeleportType();
    void ResetTeleportTypes();
    int FindTeleportType(int x, int y) const;
    void PrintTeleports() const;

    // ---- Solution and replay ------------------------------------------------
    void AddReplayKey(int frame, int key, bool released);
    ReplayKey GetReplayKey() const;
    bool AdvanceReplay();
    void ResetReplay();
    void ClearSolution();
    void SetSolutionRecorded();
    bool IsSolutionRecorded() const;
    void PrintSolution() const;
    const std::vector<ReplayKey>& GetSolution() const { return solution_; }

    // ---- Fields -------------------------------------------------------------
    const char* GetFileName() const { return fileName_.c_str(); }
    const char* GetHeadingText() const { return heading_.c_str(); }
    void SetHeadingText(const char* heading);
    int GetBackground() const { return background_; }
    void SetBackground(int background);
    int GetVersion() const { return version_; }
    uint32_t GetKind() const { return kind_; }
    bool IsModified() const { return modified_; }
    void SetModified(bool modified = true) { modified_ = modified; }

private:
    static bool Inside(int x, int y) { return x >= 0 && x < kWidth && y >= 0 && y < kHeight; }
    static int Index(int x, int y) { return x * kHeight + y; }
    // Clear, and forget the kind and version too.
    void ClearForLoad();
    bool Parse(const uint8_t* data, size_t size, const char* name);

    uint32_t kind_ = 0;
    int32_t version_ = 0;
    std::string fileName_;
    std::string heading_;
    int32_t background_ = kDefaultBackground;
    std::array<uint32_t, kCells> tileStates_{};
    std::array<uint32_t, kCells> tiles_{};
    std::array<uint32_t, kCells> ladders_{};
    std::array<std::vector<TeleportCell>, kTeleportColours> teleports_;
    std::array<std::optional<std::string>, kCells> tutorialTexts_;
    int32_t teleportPowerups_ = 0;
    std::array<uint8_t, kTeleportColours> claimedColours_{};
    std::vector<ReplayKey> solution_;
    bool solutionRecorded_ = false;
    int32_t replayCursor_ = 0;
    bool modified_ = false;
    int saveError_ = 0;
    std::string saveTarget_;
};
