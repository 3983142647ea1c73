#include "world/CLevel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "engine/CAtomicFile.h"
#include "engine/CByteReader.h"
#include "engine/FileFields.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"

namespace {

constexpr size_t kHeadingBytes = 33;
constexpr size_t kLayerBytes = CLevel::kCells * 4;
// The fixed part before the teleport lists: ID, heading, two layers.
constexpr size_t kFixedBytes = 4 + kHeadingBytes + 2 * kLayerBytes;

const char* KindName(uint32_t kind) {
    switch (kind) {
    case kLevelKindGame: return "GAME";
    case kLevelKindCustom: return "CUSTOM";
    case kLevelKindAlpha: return "ALPHA";
    default: return "INVALID!!!";
    }
}

bool WriteU32(uint32_t v, FILE* f) { return WriteInt32(static_cast<int32_t>(v), f); }

}  // namespace

CLevel::CLevel() {
    DebugLog(DBG_LEVEL, "Clearing level...\n");
    Clear();
}

void CLevel::Clear() {
    fileName_.clear();
    heading_.clear();
    background_ = kDefaultBackground;
    tileStates_.fill(0);
    tiles_.fill(NONE);
    ladders_.fill(NONE);
    for (auto& list : teleports_) list.clear();
    for (auto& text : tutorialTexts_) text.reset();
    teleportPowerups_ = 0;
    claimedColours_.fill(0);
    ClearSolution();
    ResetReplay();
    modified_ = false;
}

// ---- Names and paths --------------------------------------------------------

bool CLevel::IsValidName(const char* name) {
    if (!name || !*name) return false;
    const std::string s = name;
    return s.find('/') == std::string::npos && s != "." && s != "..";
}

// Files are opened, read, written and removed by their whole name: the level
// manager lists files whose names are longer than the save dialog lets one
// type, and two of them may share their first 16 characters. A level keeps
// the whole name it was loaded from, so Save writes that file and no other.
std::string CLevel::PathFor(const char* name) {
    return IsValidName(name) ? std::string(GetLevelsDir()) + name + ".lvl" : std::string();
}

const size_t CLevel::kSavableNameBytes = NAME_MAX - strlen(".lvl") - strlen(CAtomicFile::kTempSuffix);

bool CLevel::IsSavableName(const char* name) { return IsValidName(name) && strlen(name) <= kSavableNameBytes; }

std::vector<std::string> CLevel::ListFileNames() {
    std::vector<std::string> names;
    GetFiles(names, GetLevelsDir(), ".lvl", true);
    names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return !IsValidName(n.c_str()); }),
                names.end());
    return names;
}

bool CLevel::IsFileMissing(const char* name) {
    const std::string path = PathFor(name);
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

uint32_t CLevel::MakeLevelId(uint32_t kind, uint32_t noise) {
    return (noise & 0x8F8FF1u) | (static_cast<uint32_t>(kLevelVersion) << 24) | (kind & kLevelKindMask);
}

const char* CLevel::GetTypeName(uint32_t code) {
    switch (code) {
    case CTRL_HELP: return "CTRL_HELP";
    case FREEZE_MODE: return "FREEZE_MODE";
    case HEAT_MODE: return "HEAT_MODE";
    case TUTORIAL: return "TUTORIAL";
    case DEVICE_TUBE_START: return "DEVICE_TUBE_START";
    case NONE: return "NONE";
    case CTRL_NEW: return "CTRL_NEW";
    case POWERUP_FROSTGUN: return "POWERUP_FROSTGUN";
    case POWERUP_HEATGUN: return "POWERUP_HEATGUN";
    case DEVICE_TUBE_END: return "DEVICE_TUBE_END";
    case CTRL_LOAD: return "CTRL_LOAD";
    case POWERUP_TELEPORT: return "POWERUP_TELEPORT";
    case POWERUP_BRIDGE: return "POWERUP_BRIDGE";
    case POWERUP_EMP: return "POWERUP_EMP";
    case CTRL_SAVE: return "CTRL_SAVE";
    case POWERUP_CRATE: return "POWERUP_CRATE";
    case POWERUP_BARREL: return "POWERUP_BARREL";
    case POWERUP_MAGNET: return "POWERUP_MAGNET";
    case TERRAIN_GRASS: return "TERRAIN_GRASS";
    case CTRL_SAVE_AS: return "CTRL_SAVE_AS";
    case OBJECT_WCRATE: return "OBJECT_WCRATE";
    case OBJECT_WBARREL: return "OBJECT_WBARREL";
    case OBJECT_LMAGNET: return "OBJECT_LMAGNET";
    case TERRAIN_SAND: return "TERRAIN_SAND";
    case CTRL_TEST: return "CTRL_TEST";
    case OBJECT_MCRATE: return "OBJECT_MCRATE";
    case OBJECT_MBARREL: return "OBJECT_MBARREL";
    case OBJECT_RMAGNET: return "OBJECT_RMAGNET";
    case TERRAIN_ICE: return "TERRAIN_ICE";
    case CTRL_RECORD: return "CTRL_RECORD";
    case DEVICE_GATE_B: return "DEVICE_GATE_B";
    case DEVICE_GATE_Y: return "DEVICE_GATE_Y";
    case DEVICE_GATE_R: return "DEVICE_GATE_R";
    case TERRAIN_BRIDGE: return "TERRAIN_BRIDGE";
    case CTRL_PLAY: return "CTRL_PLAY";
    case DEVICE_BUTTON_B: return "DEVICE_BUTTON_B";
    case DEVICE_BUTTON_Y: return "DEVICE_BUTTON_Y";
    case DEVICE_BUTTON_R: return "DEVICE_BUTTON_R";
    case LADDER: return "LADDER";
    case CTRL_EXIT: return "CTRL_EXIT";
    case DEVICE_LTELEPORT_B: return "DEVICE_LTELEPORT_B";
    case DEVICE_LTELEPORT_Y: return "DEVICE_LTELEPORT_Y";
    case DEVICE_LTELEPORT_R: return "DEVICE_LTELEPORT_R";
    case DEVICE_TRAMPOLINE: return "DEVICE_TRAMPOLINE";
    case PLATFORM: return "PLATFORM";
    case BOT_HANG: return "BOT_HANG";
    case BOT_LEFT: return "BOT_LEFT";
    case BOT_RIGHT: return "BOT_RIGHT";
    default: return "***Unknown***";
    }
}

// ---- Loading ----------------------------------------------------------------

void CLevel::ClearForLoad() {
    Clear();
    // What the level held before says nothing about the file about to be
    // read: a file that cannot be read leaves no version behind.
    kind_ = 0;
    version_ = 0;
}

bool CLevel::Load(const char* name) {
    ClearForLoad();
    const std::string path = PathFor(name);
    if (path.empty()) {
        DebugLog(DBG_ERROR, "CLevel::Load()   Refusing level name:  '%s'\n", name ? name : "");
        return false;
    }
    return LoadFile(path, name);
}

bool CLevel::LoadFile(const std::string& path, const char* name) {
    ClearForLoad();
    FILE* f = PlatformOpenForReading(path);
    if (!f) {
        DebugLog(DBG_ERROR, "CLevel::Load()   Cannot load level file:  '%s'\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes;
    bool ok = fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? ftell(f) : -1;
    ok = ok && size >= 0 && size <= CLevel::kFileBytesMax && fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = size == 0 || fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    fclose(f);
    if (!ok) {
        DebugLog(DBG_ERROR, "CLevel::Load()   Cannot load level file:  '%s'\n", path.c_str());
        return false;
    }
    return LoadFromMemory(bytes.data(), bytes.size(), name);
}

bool CLevel::LoadFromMemory(const void* data, size_t size, const char* name) {
    ClearForLoad();
    if (Parse(static_cast<const uint8_t*>(data), size, name)) return true;
    // The version stays when the ID was read: an old level is told from a
    // damaged one by it.
    Clear();
    return false;
}

bool CLevel::Parse(const uint8_t* data, size_t size, const char* name) {
    const char* shownName = name ? name : "";
    CByteReader r(data, size);
    uint32_t id = 0;
    if (!r.ReadU32(&id)) {
        DebugLog(DBG_ERROR, "CLevel::Load()   Level file too short:  '%s'\n", shownName);
        return false;
    }
    kind_ = id & kLevelKindMask;
    version_ = static_cast<int32_t>(id >> 24);
    DebugLog(DBG_DEBUG, "CLevel::Load()   Read level ID:  %x  (%s)  (%s)\n", id, KindName(kind_), shownName);
    DebugLog(DBG_LEVEL_LOAD, "CLevel::Load()   Read level version:  %i\n", version_);
    if (version_ < kLevelOldestVersion) {
        DebugLog(DBG_ERROR, "CLevel::Load()   Legacy level must be converted before it can be used\n");
        return false;
    }
    fileName_ = shownName;

    if (r.Remaining() < kFixedBytes - 4) {
        DebugLog(DBG_ERROR, "CLevel::Load()   Level file too short:  '%s'\n", shownName);
        return false;
    }
    char heading[kHeadingBytes];
    r.ReadBytes(heading, kHeadingBytes);
    heading[kHeadingBytes - 1] = '\0';  // the file's terminator is not trusted
    heading_ = heading;

    for (int i = 0; i < kCells; ++i) r.ReadU32(&ladders_[i]);
    for (int i = 0; i < kCells; ++i) {
        uint32_t value = 0;
        r.ReadU32(&value);
        const int x = i / kHeight;
        const int y = i % kHeight;
        if (value == NONE) {
            tiles_[i] = NONE;
            tileStates_[i] = 0;
        } else if (value & TILE_STATE_FROZEN) {
            tiles_[i] = value - TILE_STATE_FROZEN;
            tileStates_[i] = TILE_STATE_FROZEN;
            DebugLog(DBG_LEVEL_LOAD, "CLevel::Load()     * Loading *FROZEN* tile (type = %i) at (%i,%i)\n", tiles_[i], x, y);
        } else if (value & TILE_STATE_HEATED) {
            tiles_[i] = value - TILE_STATE_HEATED;
            tileStates_[i] = TILE_STATE_HEATED;
            DebugLog(DBG_LEVEL_LOAD, "CLevel::Load()     * Loading *HEATED* tile (type = %i) at (%i,%i)\n", tiles_[i], x, y);
        } else {
            tiles_[i] = value;
            tileStates_[i] = 0;
        }
        if (tiles_[i] == POWERUP_TELEPORT) ++teleportPowerups_;
    }

    for (int colour = 0; colour < kTeleportColours; ++colour) {
        uint32_t n = 0;
        if (!r.ReadU32(&n) || n > r.Remaining() / 8) {
            DebugLog(DBG_ERROR, "CLevel::Load()   Damaged teleport list in '%s'\n", shownName);
            return false;
        }
        DebugLog(DBG_LEVEL_LOAD, "CLevel::Load()   Read teleport (type = %i) vector (size = %i)\n", colour, static_cast<int>(n));
        for (uint32_t k = 0; k < n; ++k) {
            int32_t x = 0;
            int32_t y = 0;
            r.ReadI32(&x);
            r.ReadI32(&y);
            DebugLog(DBG_LEVEL_LOAD, "CLevel::Load()     * Teleport at (%i,%i)\n", x, y);
            // A portal stands between columns x and x + 1, so -1 is a real column.
            if (x < -1 || x >= kWidth || y < 0 || y >= kHeight) {
                DebugLog(DBG_WARNING, "CLevel::Load()   Dropping teleport outside the grid (%i,%i)\n", x, y);
                continue;
            }
            teleports_[colour].push_back({x, y});
        }
    }

    uint32_t signs = 0;
    if (!r.ReadU32(&signs) || signs > r.Remaining() / 12) {
        DebugLog(DBG_ERROR, "CLevel::Load()   Damaged tutorial list in '%s'\n", shownName);
        return false;
    }
    for (uint32_t k = 0; k < signs; ++k) {
        int32_t x = 0;
        int32_t y = 0;
        uint32_t length = 0;
        // A text ends at its first zero byte.
        if (!r.ReadI32(&x) || !r.ReadI32(&y) || !r.ReadU32(&length) || length > r.Remaining() ||
            strnlen(reinterpret_cast<const char*>(r.Data() + r.Position()), length) > kSignTextMax) {
            DebugLog(DBG_ERROR, "CLevel::Load()   Damaged tutorial entry in '%s'\n", shownName);
            return false;
        }
        const char* start = reinterpret_cast<const char*>(r.Data() + r.Position());
        const std::string text(start, strnlen(start, length));
        r.Skip(length);
        if (!Inside(x, y)) {
            DebugLog(DBG_WARNING, "CLevel::Load()   Dropping tutorial text outside the grid (%i,%i)\n", x, y);
            continue;
        }
        tutorialTexts_[Index(x, y)] = text;
    }

    int32_t background = 0;
    if (!r.ReadI32(&background)) {
        DebugLog(DBG_ERROR, "CLevel::Load()   Level file too short:  '%s'\n", shownName);
        return false;
    }
    // The background names a picture that must exist; keep it to the eight.
    if (background < 0 || background >= kBackgroundCount) {
        DebugLog(DBG_WARNING, "CLevel::Load()   Background %i out of range in '%s'\n", background, shownName);
        background = background < 0 ? 0 : kBackgroundCount - 1;
    }
    background_ = background;

    solution_.clear();
    uint32_t keys = 0;
    if (!r.ReadU32(&keys) || keys > r.Remaining() / 12) {
        DebugLog(DBG_ERROR, "CLevel::Load()   Damaged solution in '%s'\n", shownName);
        return false;
    }
    solution_.reserve(keys);
    for (uint32_t k = 0; k < keys; ++k) {
        ReplayKey key;
        uint32_t released = 0;
        r.ReadI32(&key.frame);
        r.ReadI32(&key.key);
        r.ReadU32(&released);
        key.released = (released & 0xFF) != 0;
        solution_.push_back(key);
    }
    if (r.Remaining() > 0) {
        DebugLog(DBG_WARNING, "CLevel::Load()   %i stray bytes after the solution in '%s'\n", static_cast<int>(r.Remaining()), shownName);
    }
    solutionRecorded_ = !solution_.empty();
    replayCursor_ = 0;
    modified_ = false;
    return !r.Failed();
}

// ---- Saving -----------------------------------------------------------------

long CLevel::FileBytes() const {
    long bytes = static_cast<long>(kFixedBytes);
    for (const auto& list : teleports_) bytes += 4 + 8 * static_cast<long>(list.size());
    bytes += 4;
    for (int i = 0; i < kCells; ++i) {
        if (tiles_[i] != TUTORIAL) continue;
        bytes += 12 + static_cast<long>(tutorialTexts_[i] ? tutorialTexts_[i]->size() : strlen("UNDEFINED"));
    }
    bytes += 4 + 4;
    return bytes + kReplayKeyBytes * static_cast<long>(solution_.size());
}

long CLevel::SolutionRoom() const {
    const long rest = FileBytes() - kReplayKeyBytes * static_cast<long>(solution_.size());
    return rest >= kFileBytesMax ? 0 : (kFileBytesMax - rest) / kReplayKeyBytes;
}

bool CLevel::WriteBody(FILE* f, uint32_t levelId) const {
    if (FileBytes() > kFileBytesMax) {
        DebugLog(DBG_ERROR, "CLevel::Save()   Level too large for a level file:  %li bytes (at most %li)\n", FileBytes(),
                 kFileBytesMax);
        return false;
    }
    bool ok = true;
    DebugLog(DBG_LEVEL_SAVE, "CLevel::Save()   Write level ID\n");
    ok = ok && WriteU32(levelId, f);

    DebugLog(DBG_LEVEL_SAVE, "CLevel::Save()   Write File Information\n");
    char heading[kHeadingBytes] = {};
    strncpy(heading, heading_.c_str(), kHeadingBytes - 1);
    ok = ok && fwrite(heading, 1, kHeadingBytes, f) == kHeadingBytes;

    DebugLog(DBG_LEVEL_SAVE, "CLevel::Save()   Write ladders array\n");
    for (int i = 0; ok && i < kCells; ++i) ok = WriteU32(ladders_[i], f);

    DebugLog(DBG_LEVEL_SAVE, "CLevel::Save()   Write tiles array\n");
    int signs = 0;
    for (int i = 0; ok && i < kCells; ++i) {
        if (tiles_[i] != NONE) {
            DebugLog(DBG_LEVEL_SAVE, "   * Saving tile '%s' at (%i,%i)\n", GetTypeName(tiles_[i]), i / kHeight, i % kHeight);
        }
        if (tiles_[i] == TUTORIAL) ++signs;
        ok = WriteU32(tiles_[i] + tileStates_[i], f);
    }

    DebugLog(DBG_LEVEL_SAVE, "CLevel::Save()   Write teleport array\n");
    for (int colour = 0; ok && colour < kTeleportColours; ++colour) {
        ok = WriteU32(static_cast<uint32_t>(teleports_[colour].size()), f);
        for (const TeleportCell& t : teleports_[colour]) {
            DebugLog(DBG_LEVEL_SAVE, "   * Saving teleport (type %i) at (%i,%i)\n", colour, t.x, t.y);
            ok = ok && WriteInt32(t.x, f) && WriteInt32(t.y, f);
        }
    }

    DebugLog(DBG_LEVEL_SAVE, "CLevel::Save()   Write Tutorials:  %i bubbles\n", signs);
    ok = ok && WriteInt32(signs, f);
    for (int i = 0; ok && i < kCells; ++i) {
        if (tiles_[i] != TUTORIAL) continue;
        const std::string text = tutorialTexts_[i] ? *tutorialTexts_[i] : std::string("UNDEFINED");
        ok = WriteInt32(i / kHeight, f) && WriteInt32(i % kHeight, f) &&
             WriteU32(static_cast<uint32_t>(text.size()), f) &&
             (text.empty() || fwrite(text.data(), 1, text.size(), f) == text.size());
    }

    DebugLog(DBG_LEVEL_SAVE, "CLevel::Save()   Write background:  %i\n", background_);
    ok = ok && WriteInt32(background_, f);

    DebugLog(DBG_LEVEL_SAVE, "CLevel::Save()   Write solution:  %i keystrokes\n", static_cast<int>(solution_.size()));
    ok = ok && WriteU32(static_cast<uint32_t>(solution_.size()), f);
    for (size_t k = 0; ok && k < solution_.size(); ++k) {
        ok = WriteInt32(solution_[k].frame, f) && WriteInt32(solution_[k].key, f) &&
             WriteU32(solution_[k].released ? 1u : 0u, f);
    }
    return ok;
}

std::vector<uint8_t> CLevel::BodyBytes(uint32_t levelId) const {
    std::vector<uint8_t> bytes;
    FILE* f = tmpfile();
    if (!f) return bytes;
    bool ok = WriteBody(f, levelId) && fflush(f) == 0;
    const long size = ok ? ftell(f) : -1;
    ok = ok && size >= 0 && fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = size == 0 || fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    fclose(f);
    if (!ok) bytes.clear();
    return bytes;
}

bool CLevel::SaveToPath(const std::string& path) {
    claimedColours_.fill(0);
    CAtomicFile file(path);
    saveTarget_ = file.Target();
    saveError_ = 0;
    const auto failed = [&]() {
        saveError_ = file.Error() ? file.Error() : EIO;
        DebugLog(DBG_ERROR, "CLevel::Save()   Cannot save level file:  '%s' (%s)\n", path.c_str(), strerror(saveError_));
        return false;
    };
    FILE* f = file.Open();
    if (!f) return failed();
    const uint32_t id = MakeLevelId(kLevelKindCustom, static_cast<uint32_t>(rand()));
    if (!WriteBody(f, id)) file.MarkFailed();
    if (!file.Commit()) return failed();
    modified_ = false;
    return true;
}

bool CLevel::Save() {
    const std::string path = PathFor(fileName_.c_str());
    if (path.empty()) {
        DebugLog(DBG_ERROR, "CLevel::Save()   Cannot save level file:  '%s'\n", fileName_.c_str());
        saveTarget_ = fileName_;
        saveError_ = EINVAL;
        return false;
    }
    return SaveToPath(path);
}

bool CLevel::SaveAs(const char* fileName, const char* heading) {
    if (!IsValidName(fileName)) {
        DebugLog(DBG_ERROR, "CLevel::SaveAs()   Refusing level name:  '%s'\n", fileName ? fileName : "");
        return false;
    }
    // The level takes the new name and heading only with a file written
    // under them.
    const std::string oldName = fileName_;
    const std::string oldHeading = heading_;
    const bool wasModified = modified_;
    fileName_ = fileName;
    SetHeadingText(heading);
    if (Save()) return true;
    fileName_ = oldName;
    heading_ = oldHeading;
    modified_ = wasModified;
    return false;
}

bool CLevel::Remove(const char* name, int* error) {
    const std::string path = PathFor(name);
    if (path.empty()) {
        DebugLog(DBG_ERROR, "CLevel::Remove()  Could not remove level file:  '%s'\n", name ? name : "");
        if (error) *error = EINVAL;
        return false;
    }
    return RemovePath(path, error);
}

bool CLevel::RemovePath(const std::string& path, int* error) {
    // What a save cut off by a crash left beside the file goes with it.
    unlink((path + CAtomicFile::kTempSuffix).c_str());
    if (remove(path.c_str()) == 0) {
        DebugLog(DBG_DEBUG, "CLevel::Remove()  Level has been successfully removed:  '%s'\n", path.c_str());
        return true;
    }
    const int why = errno;
    DebugLog(DBG_ERROR, "CLevel::Remove()  Could not remove level file:  '%s' (%s)\n", path.c_str(), strerror(why));
    if (error) *error = why;
    return false;
}

std::string CLevel::GetHeading(const char* name) {
    const std::string path = PathFor(name);
    FILE* f = path.empty() ? nullptr : PlatformOpenForReading(path);
    if (!f) {
        DebugLog(DBG_ERROR, "CLevel::GetHeading()   Cannot load level file:  '%s'\n", path.c_str());
        return std::string();
    }
    uint8_t bytes[4 + kHeadingBytes] = {};
    const bool ok = fread(bytes, 1, sizeof bytes, f) == sizeof bytes;
    fclose(f);
    if (!ok) {
        DebugLog(DBG_ERROR, "CLevel::GetHeading()   Cannot load level file:  '%s'\n", path.c_str());
        return std::string();
    }
    bytes[sizeof bytes - 1] = 0;
    std::string heading(reinterpret_cast<const char*>(bytes + 4));
    DebugLog(DBG_LEVEL, "CLevel::GetHeading()   Read heading:  %s\n", heading.c_str());
    return heading;
}

time_t CLevel::GetFileTime(const char* name) {
    const std::string path = PathFor(name);
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return 0;
    return st.st_mtime;
}

// ---- Cells ------------------------------------------------------------------

uint32_t CLevel::GetTile(int x, int y) const { return Inside(x, y) ? tiles_[Index(x, y)] : NONE; }
uint32_t CLevel::GetLadder(int x, int y) const { return Inside(x, y) ? ladders_[Index(x, y)] : NONE; }
uint32_t CLevel::GetTileState(int x, int y) const { return Inside(x, y) ? tileStates_[Index(x, y)] : 0; }

void CLevel::SetTile(uint32_t code, int x, int y) {
    modified_ = true;
    if (!Inside(x, y)) return;
    uint32_t& cell = tiles_[Index(x, y)];
    if (code == POWERUP_TELEPORT) ++teleportPowerups_;
    if (cell == POWERUP_TELEPORT) --teleportPowerups_;
    cell = code;
}

void CLevel::SetLadder(uint32_t code, int x, int y) {
    modified_ = true;
    if (Inside(x, y)) ladders_[Index(x, y)] = code;
}

void CLevel::SetTileState(uint32_t state, int x, int y) {
    modified_ = true;
    if (Inside(x, y)) tileStates_[Index(x, y)] = state;
}

bool CLevel::IsTerrain(int x, int y) const {
    const uint32_t t = GetTile(x, y);
    return Inside(x, y) && (t == TERRAIN_GRASS || t == TERRAIN_SAND || t == TERRAIN_ICE || t == TERRAIN_BRIDGE);
}
bool CLevel::IsPlatform(int x, int y) const { return Inside(x, y) && GetTile(x, y) == PLATFORM; }
bool CLevel::IsBridge(int x, int y) const { return Inside(x, y) && GetTile(x, y) == TERRAIN_BRIDGE; }
bool CLevel::IsGate(int x, int y) const {
    const uint32_t t = GetTile(x, y);
    return Inside(x, y) && t >= DEVICE_GATE_B && t <= DEVICE_GATE_R;
}
bool CLevel::HasLadder(int x, int y) const { return Inside(x, y) && GetLadder(x, y) != NONE; }
bool CLevel::IsBotTile(int x, int y) const {
    const uint32_t t = GetTile(x, y);
    return Inside(x, y) && t >= BOT_HANG && t <= BOT_RIGHT;
}

Rect CLevel::GetTypeRun(int x, int y, uint32_t code) const {
    int first = x;
    while (first - 1 >= 0 && GetTile(first - 1, y) == code) --first;
    int last = x;
    while (last + 1 < kWidth && GetTile(last + 1, y) == code) ++last;
    return Rect{first, y, last - first + 1, 1};
}

Rect CLevel::GetLadderRun(int x, int y) const {
    int top = y;
    while (top - 1 >= 0 && HasLadder(x, top - 1)) --top;
    int bottom = y;
    while (bottom + 1 < kHeight && HasLadder(x, bottom + 1)) ++bottom;
    return Rect{x, top, 1, bottom - top + 1};
}

const char* CLevel::GetTutorialText(int x, int y) const {
    if (!Inside(x, y) || !tutorialTexts_[Index(x, y)]) return nullptr;
    return tutorialTexts_[Index(x, y)]->c_str();
}

void CLevel::SetTutorialText(int x, int y, const char* text) {
    if (!Inside(x, y)) return;
    if (text) {
        tutorialTexts_[Index(x, y)] = std::string(text);
    } else {
        tutorialTexts_[Index(x, y)].reset();
    }
}

void CLevel::FreeTutorialText(int x, int y) {
    if (Inside(x, y)) tutorialTexts_[Index(x, y)].reset();
}

// ---- Teleports --------------------------------------------------------------

void CLevel::SetTeleport(uint32_t code, int x, int y) {
    const int colour = code == DEVICE_LTELEPORT_B ? 0 : code == DEVICE_LTELEPORT_Y ? 1 : 2;
    if (x >= -1 && x < kWidth && y >= 0 && y < kHeight) {
        DebugLog(DBG_LEVEL, "CLevel::SetTeleport()   Creating teleport at (%i,%i)\n", x, y);
        teleports_[colour].push_back({x, y});
    }
    modified_ = true;
}

void CLevel::EraseTeleport(int x, int y) {
    DebugLog(DBG_LEVEL, "CLevel::EraseTeleport()   Checking for teleport at (%i,%i)\n", x, y);
    for (auto& list : teleports_) {
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->x == x && it->y == y) {
                DebugLog(DBG_LEVEL, "CLevel::EraseTeleport()   * Found teleport at (%i,%i)\n", x, y);
                list.erase(it);
                return;
            }
        }
    }
}

const std::vector<TeleportCell>& CLevel::GetTeleports(int colour) const {
    static const std::vector<TeleportCell> kEmpty;
    return colour >= 0 && colour < kTeleportColours ? teleports_[colour] : kEmpty;
}

bool CLevel::HasTeleportsOfType(uint32_t code) const {
    const int colour = code == DEVICE_LTELEPORT_B ? 0 : code == DEVICE_LTELEPORT_Y ? 1 : 2;
    return !teleports_[colour].empty();
}

int CLevel::CountUsedTeleportTypes() const {
    int n = 0;
    for (const auto& list : teleports_) n += list.empty() ? 0 : 1;
    return n;
}

bool CLevel::AreTeleportsPaired() const {
    for (const auto& list : teleports_) {
        if (list.size() % 2 != 0) return false;
    }
    return true;
}

int CLevel::ClaimTeleportType() {
    for (int colour = 0; colour < kTeleportColours; ++colour) {
        if (teleports_[colour].empty() && !claimedColours_[colour]) {
            claimedColours_[colour] = 1;
            return colour;
        }
    }
    DebugLog(DBG_LEVEL, "*** Warning:  Teleport powerup defined, but not typeID's available\n");
    return 0;
}

void CLevel::ResetTeleportTypes() { claimedColours_.fill(0); }

int CLevel::FindTeleportType(int x, int y) const {
    for (int colour = 0; colour < kTeleportColours; ++colour) {
        for (const TeleportCell& t : teleports_[colour]) {
            if (t.x == x && t.y == y) return colour;
        }
    }
    return -1;
}

void CLevel::PrintTeleports() const {
    const char* dashes = "---------------------------------------\n";
    DebugLog(DBG_LEVEL, "%s", dashes);
    for (int colour = 0; colour < kTeleportColours; ++colour) {
        DebugLog(DBG_LEVEL, "Teleport Type %i  (count=%i)\n", colour, static_cast<int>(teleports_[colour].size()));
        int n = 0;
        for (const TeleportCell& t : teleports_[colour]) DebugLog(DBG_LEVEL, "   #%i   (%i,%i)\n", n++, t.x, t.y);
    }
    DebugLog(DBG_LEVEL, "%s", dashes);
}

// ---- Solution and replay ----------------------------------------------------

void CLevel::AddReplayKey(int frame, int key, bool released) {
    DebugLog(DBG_STACK, "CLevel::AddReplayKey(%i,%i,%i)\n", frame, key, released ? 1 : 0);
    solution_.push_back({frame, key, released});
}

ReplayKey CLevel::GetReplayKey() const {
    if (replayCursor_ >= 0 && replayCursor_ < static_cast<int>(solution_.size())) return solution_[replayCursor_];
    return ReplayKey{};
}

bool CLevel::AdvanceReplay() {
    DebugLog(DBG_STACK, "CLevel::AdvanceReplay()\n");
    const int count = static_cast<int>(solution_.size());
    if (replayCursor_ + 1 < count) {
        ++replayCursor_;
        return true;
    }
    replayCursor_ = count > 0 ? count - 1 : 0;
    return false;
}

void CLevel::ResetReplay() {
    DebugLog(DBG_STACK, "CLevel::ResetReplay()\n");
    replayCursor_ = 0;
}

void CLevel::ClearSolution() {
    DebugLog(DBG_STACK, "CLevel::ClearSolution()\n");
    if (solutionRecorded_) modified_ = true;
    solutionRecorded_ = false;
    solution_.clear();
}

void CLevel::SetSolutionRecorded() {
    DebugLog(DBG_STACK, "CLevel::SetSolutionRecorded()\n");
    solutionRecorded_ = true;
    modified_ = true;
}

bool CLevel::IsSolutionRecorded() const {
    DebugLog(DBG_STACK, "CLevel::IsSolutionRecorded()\n");
    return solutionRecorded_;
}

void CLevel::PrintSolution() const {
    DebugLog(DBG_STACK, "   %10s  |  %4s  |  %s\n", "Frame", "Key", "Released");
    for (const ReplayKey& k : solution_) DebugLog(DBG_STACK, "   %10i  |  %4i  |  %i\n", k.frame, k.key, k.released ? 1 : 0);
}

// ---- Fields -----------------------------------------------------------------

void CLevel::SetHeadingText(const char* heading) {
    heading_ = heading ? heading : "";
    if (heading_.size() > kHeadingMax) heading_.resize(kHeadingMax);
    modified_ = true;
}

void CLevel::SetBackground(int background) {
    if (background < 0) background = 0;
    if (background >= kBackgroundCount) background = kBackgroundCount - 1;
    background_ = background;
    modified_ = true;
}
