#include "players/CProfileBase.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/CAtomicFile.h"
#include "engine/CByteReader.h"
#include "engine/FileFields.h"
#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "players/ProfileHooks.h"

uint32_t CProfileBase::cheaterStatus_ = 0;

namespace {

// Profile files are a few kilobytes; anything far larger is not ours.
constexpr long kMaxFileSize = 16L * 1024 * 1024;

// A fixed-width text field: the text's bytes, zero-padded to width.
bool WriteFixedText(const char* text, size_t width, FILE* f) {
    std::vector<char> field(width, 0);
    if (text) memcpy(field.data(), text, strnlen(text, width));
    return fwrite(field.data(), 1, width, f) == width;
}

// Copies at most max bytes of text, always terminated.
std::string Clipped(const std::string& text, size_t max) {
    return text.size() > max ? text.substr(0, max) : text;
}

// A file that is there but cannot be reached now, as the player is told of
// it and the log says it (where: who met it, and which file it is): where
// its link leads (the path itself when it goes round, or is no link), that
// is the file the player can bring back, and why.
DamageNotice AwayNotice(DamageKind kind, const std::string& path, int error, const char* where) {
    DamageNotice notice;
    notice.kind = kind;
    std::string target;
    notice.file = PlatformFollowLinks(path, &target) ? target : path;
    notice.why = strerror(error);
    notice.error = error;
    ErrorLog(false, "%s cannot be reached now, left as it is: %s (%s: %s)\n", where, path.c_str(), notice.file.c_str(),
             notice.why.c_str());
    return notice;
}

// Where the data folder's link leads (the folder itself when it is none),
// with a slash at its end.
std::string ProfileDirTarget() {
    std::string dir = GetProfileDir(), target;
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return (PlatformFollowLinks(dir, &target) ? target : dir) + "/";
}

// Whether the data folder may take a save of what, the file at path (false,
// with why's problem, file, folder and error, when not). Nothing of ours
// goes into a folder that was away at start-up: its files were never read,
// and a save would go over them once it is back. Nothing can go into the
// folder while its path leads nowhere (a link to a drive unplugged during
// play): the file is told where the link leads, as a file away is, and the
// same folder back takes the next save. Nor into another folder now at its
// path when the one this copy locked was deleted: a second copy of the game
// may own it.
bool ProfileDirStillOurs(const std::string& path, const char* what, SaveFailure* why) {
    int error = 0;
    const ProfileDirState state = CheckProfileDir(&error);
    if (state == ProfileDirState::CLAIMED) return true;
    why->file = path;
    why->error = error;
    if (state == ProfileDirState::AWAY_SINCE_START) {
        why->problem = SaveProblem::FOLDER_AWAY;
        why->folder = ProfileDirTarget();
        ErrorLog(false, "Cannot save %s: the data folder '%s' could not be reached when the game started (%s: %s)\n",
                 what, GetProfileDir(), why->folder.c_str(), strerror(why->error));
        return false;
    }
    if (state == ProfileDirState::UNREACHABLE) {
        why->problem = SaveProblem::UNREACHABLE;
        why->folder = ProfileDirTarget();
        why->file = why->folder + path.substr(path.rfind('/') + 1);
        ErrorLog(false, "Cannot save %s: the data folder '%s' cannot be reached now (%s: %s)\n", what, GetProfileDir(),
                 why->folder.c_str(), strerror(why->error));
        return false;
    }
    why->problem = SaveProblem::FOLDER_NOT_OURS;
    why->folder = GetProfileDir();
    why->error = ESTALE;
    ErrorLog(false, "Cannot save %s: the data folder '%s' is no longer the one this game locked\n", what,
             GetProfileDir());
    return false;
}

bool InLevelRange(int32_t v) { return v >= 0 && v <= CProfileBase::kMaxLevel; }

// A text field as the game writes it: what was typed (no control bytes),
// then zeros to the end of the field. A name needs at least one character
// and its terminator; a password may be empty or fill the whole field, and
// holds only what its box lets a player type.
enum FieldKind { FIELD_NAME, FIELD_BOARD_NAME, FIELD_PASSWORD };

bool IsWholeField(const char* field, size_t width, FieldKind kind) {
    size_t length = 0;
    while (length < width && field[length] != 0) ++length;
    for (size_t i = length; i < width; ++i) {
        if (field[i] != 0) return false;
    }
    if (kind == FIELD_NAME && (length == 0 || length == width)) return false;
    if (kind == FIELD_BOARD_NAME && length == width) return false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(field[i]);
        if (c < 0x20 || c == 0x7F || (kind == FIELD_PASSWORD && c > 0x7E)) return false;
    }
    return true;
}

bool InNumberRange(int32_t number) { return number >= 0 && number <= CProfileBase::kMaxProfileNumber; }

// A player's file is "PROFILE<number + 1>v3.DAT" and the list "INFOv3.DAT",
// both in the profile folder.
constexpr char kProfileFilePrefix[] = "PROFILE";
constexpr size_t kProfileFilePrefixLength = sizeof kProfileFilePrefix - 1;
constexpr char kInfoFilePrefix[] = "INFO";

}  // namespace

CProfileBase::CProfileBase() { DebugLog(DBG_CONSTRUCT, "CProfile:  Creating CProfileBase...\n"); }

CProfileBase::~CProfileBase() { DebugLog(DBG_DESTRUCT, "CProfileBase:  Destroying CProfileBase...\n"); }

// ---------------------------------------------------------------- options

void CProfileBase::SetFullscreen(uint8_t on) {
    fullscreen_ = on ? 1 : 0;
    ProfileSwitchDisplay(fullscreen_ != 0);
}

void CProfileBase::ToggleFullscreen() {
    fullscreen_ = fullscreen_ ? 0 : 1;
    ProfileSwitchDisplay(fullscreen_ != 0);
}

void CProfileBase::SetMouseSpeed(float speed) {
    // A speed that is not a positive number would freeze or flip the pointer.
    if (!std::isfinite(speed) || speed <= 0.0f) {
        DebugLog(DBG_WARNING, "CProfileBase::SetMouseSpeed()   Ignoring mouse speed %f\n", static_cast<double>(speed));
        return;
    }
    mouseSpeed_ = speed;
    ApplyInputSettings();
}

void CProfileBase::SetSystemPointer(uint8_t on) {
    systemPointer_ = on ? 1 : 0;
    ApplyInputSettings();
}

void CProfileBase::ApplyInputSettings() { ProfileApplyInput(systemPointer_ != 0, mouseSpeed_); }

void CProfileBase::SetSoundVolume(int v) {
    soundVolume_ = v < 0 ? 0 : (v > kMaxLevel ? kMaxLevel : v);
    ProfileSetEffectsVolume(EffectsVolumeFor(soundVolume_));
}

void CProfileBase::SetMusicVolume(int v) {
    musicVolume_ = v < 0 ? 0 : (v > kMaxLevel ? kMaxLevel : v);
    ProfileSetMusicVolume(MusicVolumeFor(musicVolume_));
}

void CProfileBase::SetGameSpeed(int v) { gameSpeed_ = v < 0 ? 0 : (v > kMaxLevel ? kMaxLevel : v); }

float CProfileBase::EffectsVolumeFor(int v) { return static_cast<float>(v) / static_cast<float>(kMaxLevel); }

float CProfileBase::MusicVolumeFor(int v) {
    const float f = EffectsVolumeFor(v);
    return f * f;
}

void CProfileBase::SetOptionDefaults() {
    fullscreen_ = 1;
    systemPointer_ = 1;
    mouseSpeed_ = 1.0f;
    spareFlag_ = 1;
    soundVolume_ = kDefaultLevel;
    musicVolume_ = kDefaultLevel;
    gameSpeed_ = kDefaultLevel;
}

void CProfileBase::ResetOptionsBlock() {
    SetOptionDefaults();
    // A player who starts afresh while the game is shown (a new one, or one
    // without a readable file) plays on in the mode the game is in: the
    // window asked for at start stays, and the settings say so.
    if (ProfileDisplayExists()) fullscreen_ = ProfileDisplayIsFullscreen() ? 1 : 0;
    memset(optionText_, 0, sizeof optionText_);
    strncpy(optionText_, GetMoreGamesURL(), kOptionTextSize);
}

void CProfileBase::ResetOptions() {
    SetOptionDefaults();
    ResetOptionFlags();
    ApplyVolumes();
    // The defaults name the system pointer: a grabbed, scaled pointer left
    // from before would contradict the option the screen shows.
    ApplyInputSettings();
    SwitchDisplayIfOpen();
}

void CProfileBase::ApplyVolumes() {
    ProfileSetEffectsVolume(EffectsVolumeFor(soundVolume_));
    ProfileSetMusicVolume(MusicVolumeFor(musicVolume_));
}

void CProfileBase::SwitchDisplayIfOpen() {
    if (ProfileDisplayExists()) ProfileSwitchDisplay(fullscreen_ != 0);
}

// ---------------------------------------------------------------- password

bool CProfileBase::SetPassword(const char* text) {
    memset(password_, 0, sizeof password_);
    if (text) strncpy(password_, text, kPasswordMax);
    EditList();
    return WriteInfo();
}

// ---------------------------------------------------------------- cheater word

void CProfileBase::AddCheaterFlags(uint32_t mask) { cheaterStatus_ |= mask; }

uint32_t CProfileBase::GetCheaterStatus() { return cheaterStatus_; }

void CProfileBase::ClearCheaterFlags(uint32_t mask) { cheaterStatus_ &= ~mask; }

// ---------------------------------------------------------------- profile list

const char* CProfileBase::GetProfileNameAt(int i) const {
    if (i < 0) return nullptr;
    for (const auto& entry : profileNames_) {
        if (i-- == 0) return entry.second.c_str();
    }
    return nullptr;
}

const char* CProfileBase::GetProfileName(int number) const {
    if (number == -1) number = currentProfile_;
    const auto it = profileNames_.find(number);
    if (it == profileNames_.end()) {
        ErrorLog(false, "Unable to find profile name.\n");
        return "";
    }
    return it->second.c_str();
}

int CProfileBase::GetProfileNumber(const char* name) const {
    const auto it = name ? profileNumbers_.find(name) : profileNumbers_.end();
    if (it == profileNumbers_.end()) {
        ErrorLog(false, "Unable to find profile number.\n");
        return -1;
    }
    return it->second;
}

bool CProfileBase::ValidName(const char* name) { return name && strlen(name) <= static_cast<size_t>(kNameMax); }

int CProfileBase::FirstFreeProfileNumber() const {
    // A number whose file is on disk belongs to a player even when the list
    // has lost it. Numbers are not handed out twice while new ones are left;
    // past the highest one a file can have, the lowest free one is reused.
    // A link to a file that cannot be reached now counts: it is a player's.
    const auto taken = [this](int32_t n) {
        return profileNames_.count(n) || PlatformEntryExists(ProfileFileName(n));
    };
    for (int32_t n = std::max<int32_t>(lastProfileNumber_ + 1, 0); n <= kMaxProfileNumber; ++n)
        if (!taken(n)) return n;
    for (int32_t n = 0; n <= kMaxProfileNumber; ++n)
        if (!taken(n)) return n;
    return -1;
}

bool CProfileBase::CreateProfile(const char* name) {
    if (!ValidName(name) || profileNumbers_.count(name)) {
        ErrorLog(false, "CProfileBase::CreateProfile()   Refusing profile name '%s'\n", name ? name : "(null)");
        return false;
    }
    const int number = FirstFreeProfileNumber();
    if (number < 0) {
        ErrorLog(false, "CProfileBase::CreateProfile()   Every profile number is taken\n");
        return false;
    }
    if (!SaveOutgoing()) return false;
    lastProfileNumber_ = std::max(lastProfileNumber_, number);
    currentProfile_ = number;
    profileNumbers_[name] = number;
    profileNames_[number] = name;
    scoreboardNames_[number] = "";
    ResetOptionsBlock();
    Reset();
    fileSeen_ = false;
    EditList();
    return WriteInfo();
}

bool CProfileBase::SaveOutgoing() {
    // What the outgoing player changed since the last save (the set and level
    // chosen, for one) is written before another player replaces it in
    // memory. When it cannot be written the switch is refused, so that the
    // progress stays in memory for the next save.
    if (!profileNames_.count(currentProfile_) || Save()) return true;
    ErrorLog(false, "CProfileBase:  Not switching players: profile %i cannot be saved\n", currentProfile_);
    return false;
}

bool CProfileBase::RenameProfile(const char* oldName, const char* newName) {
    const auto it = oldName ? profileNumbers_.find(oldName) : profileNumbers_.end();
    if (it == profileNumbers_.end() || !profileNames_.count(it->second)) {
        ErrorLog(false, "Unable to find profile to rename.\n");
        return false;
    }
    if (!ValidName(newName) || (strcmp(oldName, newName) != 0 && profileNumbers_.count(newName))) {
        ErrorLog(false, "CProfileBase::RenameProfile()   Refusing profile name '%s'\n", newName ? newName : "(null)");
        return false;
    }
    const int number = it->second;
    profileNumbers_.erase(it);
    profileNumbers_[newName] = number;
    profileNames_[number] = newName;
    EditList();
    return WriteInfo();
}

bool CProfileBase::DeleteProfile(const char* name) {
    const auto it = name ? profileNumbers_.find(name) : profileNumbers_.end();
    if (it == profileNumbers_.end() || !profileNames_.count(it->second)) {
        ErrorLog(false, "Unable to find profile to delete.\n");
        return false;
    }
    const int number = it->second;
    profileNumbers_.erase(it);
    profileNames_.erase(number);
    scoreboardNames_.erase(number);
    filesToRemove_.push_back(number);
    EditList();
    if (number == currentProfile_) {
        if (profileNumbers_.empty()) return CreateProfile(kFirstProfileName);
        LoadFirstReachable();
    }
    return WriteInfo();
}

bool CProfileBase::LoadFirstReachable() {
    // The current player is not saved on the way out: he was deleted, or his
    // file could not be read, so that what is in memory is no progress of
    // his to write over it.
    for (const auto& entry : profileNumbers_) {
        currentProfile_ = entry.second;
        const bool whole = LoadProfile(nullptr);
        if (loadRefusal_ != LoadRefusal::UNREACHABLE) return whole;
    }
    currentProfile_ = -1;
    const std::string name = FreeRecoveredName(0);
    ErrorLog(false, "CProfileBase:  No player's file can be reached now, creating %s\n", name.c_str());
    return CreateProfile(name.c_str());
}

void CProfileBase::StartFreshList() {
    version_ = kVersion;
    headerWord_ = kFreshHeaderWord;
    lastProfileNumber_ = -1;
    currentProfile_ = -1;
    memset(password_, 0, sizeof password_);
    profileNumbers_.clear();
    profileNames_.clear();
    scoreboardNames_.clear();
}

bool CProfileBase::ResetProfiles() {
    StartFreshList();
    return CreateProfile(kFirstProfileName);
}

bool CProfileBase::HasScoreboardName(int number) {
    if (number == -1) number = currentProfile_;
    return !scoreboardNames_[number].empty();
}

const char* CProfileBase::GetScoreboardName(int number) const {
    if (number == -1) number = currentProfile_;
    const auto it = scoreboardNames_.find(number);
    return it == scoreboardNames_.end() ? nullptr : it->second.c_str();
}

bool CProfileBase::SetScoreboardName(const char* name) {
    scoreboardNames_[currentProfile_] = Clipped(name ? name : "", kNameMax);
    // The name lives in the INFO file's list (written with the profile): at
    // once, or a registration the server already took would be lost with a
    // crash.
    EditList();
    return WriteInfo();
}

// ---------------------------------------------------------------- files

std::string CProfileBase::ProfileFileName(int number) const {
    char buf[64];
    snprintf(buf, sizeof buf, "%s%iv%i.DAT", kProfileFilePrefix, number + 1, kVersion);
    return std::string(GetProfileDir()) + buf;
}

std::string CProfileBase::InfoFileName() const {
    char buf[32];
    snprintf(buf, sizeof buf, "%sv%i.DAT", kInfoFilePrefix, kVersion);
    return std::string(GetProfileDir()) + buf;
}

CProfileBase::FileState CProfileBase::ReadWholeFile(const std::string& path, std::string* out, int* error) {
    out->clear();
    int unused = 0;
    if (!error) error = &unused;
    *error = 0;
    // A pipe or a device in a file's place is damage, never waited on.
    FILE* f = PlatformOpenForReading(path);
    if (!f) {
        *error = errno;
        // A link to a file that is not there now (on a drive not mounted
        // yet) stands at the path all the same: the file is away, not gone.
        if (*error == ENOENT && !PlatformEntryExists(path)) return FileState::MISSING;
        if (*error == EISDIR || *error == EINVAL) return FileState::NOT_A_FILE;
        return FileState::UNREACHABLE;
    }
    FileState state = FileState::WHOLE;
    long size = -1;
    if (fseek(f, 0, SEEK_END) != 0 || (size = ftell(f)) < 0 || fseek(f, 0, SEEK_SET) != 0) {
        state = FileState::UNREACHABLE;
    } else if (size > kMaxFileSize) {
        state = FileState::NOT_A_FILE;
    } else {
        out->resize(static_cast<size_t>(size));
        if (size > 0 && fread(&(*out)[0], 1, out->size(), f) != out->size()) state = FileState::UNREACHABLE;
    }
    if (state == FileState::UNREACHABLE) *error = errno ? errno : EIO;
    fclose(f);
    if (state != FileState::WHOLE) out->clear();
    return state;
}

std::string CProfileBase::KeepAside(const std::string& path, const std::string* bytes, SaveFailure* why) {
    // The damaged file stays where it is (the next save replaces it); a copy
    // goes beside it under the first free name, unless an identical copy is
    // already there. A file that cannot even be read is moved instead.
    *why = SaveFailure();
    why->file = path;
    why->folder = PlatformFolderOf(path);
    if (!ProfileDirStillOurs(path, "a copy of a damaged file", why)) return std::string();
    std::string aside;
    for (int i = 1; i <= kMaxDamagedCopies; ++i) {
        const std::string candidate = path + kDamagedSuffix + (i == 1 ? std::string() : std::to_string(i));
        std::string existing;
        const FileState state = ReadWholeFile(candidate, &existing);
        if (state == FileState::MISSING) {
            aside = candidate;
            break;
        }
        if (state == FileState::WHOLE && bytes && existing == *bytes) return candidate;
    }
    if (aside.empty()) {
        ErrorLog(false, "CProfileBase:  No room to keep damaged file '%s': every name for a copy is taken\n",
                 path.c_str());
        why->problem = SaveProblem::NO_COPY_NAME;
        return std::string();
    }
    bool ok;
    if (bytes) {
        CAtomicFile file(aside);
        FILE* f = file.Open();
        ok = f && (bytes->empty() || fwrite(bytes->data(), 1, bytes->size(), f) == bytes->size());
        if (f && !ok) file.MarkFailed();
        ok = f && file.Commit() && ok;
        why->error = file.Error();
    } else {
        ok = rename(path.c_str(), aside.c_str()) == 0;
        why->error = errno;
    }
    if (ok) {
        ErrorLog(false, "CProfileBase:  Damaged file kept as '%s'\n", aside.c_str());
        *why = SaveFailure();
        return aside;
    }
    ErrorLog(false, "CProfileBase:  Cannot keep damaged file '%s' aside: %s\n", path.c_str(), strerror(why->error));
    why->problem = SaveProblem::NO_COPY;
    return std::string();
}

void CProfileBase::NoteDamaged(DamageKind kind, const std::string& path, const std::string* bytes) {
    DamageNotice notice;
    notice.kind = kind;
    const auto it = profileNames_.find(currentProfile_);
    if (kind == DamageKind::PROGRESS && it != profileNames_.end()) notice.player = it->second;
    SaveFailure why;
    notice.keptAs = KeepAside(path, bytes, &why);
    notice.file = path;
    notice.copyNamesTaken = why.problem == SaveProblem::NO_COPY_NAME;
    notice.error = why.error;
    damageNotices_.push_back(notice);
    notKeptAside_.erase(path);
    if (notice.keptAs.empty()) {
        CopyToKeep& copy = notKeptAside_[path];
        copy.read = bytes != nullptr;
        if (bytes) copy.bytes = *bytes;
    }
}

bool CProfileBase::KeptAsideBeforeSave(const std::string& path) {
    const auto it = notKeptAside_.find(path);
    if (it == notKeptAside_.end()) return true;
    // A file that was to be moved and is gone meanwhile leaves nothing to
    // keep; one whose bytes were read is kept from them, gone or not.
    SaveFailure why;
    const bool kept = (!it->second.read && !PlatformEntryExists(path)) ||
                      !KeepAside(path, it->second.read ? &it->second.bytes : nullptr, &why).empty();
    if (kept) {
        notKeptAside_.erase(it);
        return true;
    }
    ErrorLog(false, "CProfileBase:  Not writing over the damaged file '%s': no copy of it could be kept yet\n",
             path.c_str());
    NoteSaveFailure(why.problem, why.file, why.folder, why.error);
    return false;
}

bool CProfileBase::TakeDamageNotice(DamageNotice* notice) {
    if (damageNotices_.empty()) return false;
    if (notice) *notice = damageNotices_.front();
    damageNotices_.erase(damageNotices_.begin());
    return true;
}

void CProfileBase::NoteSaveFailure(SaveProblem problem, const std::string& file, const std::string& folder,
                                   int error) {
    if (saveFailure_.problem != SaveProblem::NONE) return;
    saveFailure_.problem = problem;
    saveFailure_.file = file;
    saveFailure_.folder = folder;
    saveFailure_.error = error;
}

bool CProfileBase::FolderTakes(const std::string& path, const char* what) {
    SaveFailure why;
    if (ProfileDirStillOurs(path, what, &why)) return true;
    NoteSaveFailure(why.problem, why.file, why.folder, why.error);
    return false;
}

void CProfileBase::NoteWriteFailure(const CAtomicFile& file, const char* what) {
    ErrorLog(false, "Cannot save %s: %s\n", what, file.Path().c_str());
    ErrorLog(false, "CProfileBase:  The folder '%s' refused it: %s\n", file.Folder().c_str(), strerror(file.Error()));
    NoteSaveFailure(SaveProblem::WRITE_FAILED, file.Path(), file.Folder(), file.Error());
}

void CProfileBase::NoteSave(bool ok) {
    if (ok)
        saveNotice_ = kNoticeNone;
    else if (saveNotice_ == kNoticeNone)
        saveNotice_ = kNoticePending;
}

bool CProfileBase::TakeSaveFailureNotice() {
    if (saveNotice_ != kNoticePending) return false;
    saveNotice_ = kNoticeTold;
    return true;
}

bool CProfileBase::Save() {
    saveFailure_ = SaveFailure();
    const bool ok = WriteProfileFile();
    NoteSave(ok);
    return ok;
}

bool CProfileBase::WriteProfileFile() {
    if (currentProfile_ < 0) {
        ErrorLog(false, "Cannot save profile: no current profile\n");
        NoteSaveFailure(SaveProblem::NO_PLAYER, "", "", 0);
        return false;
    }
    const std::string path = ProfileFileName(currentProfile_);
    if (!FolderTakes(path, "profile")) return false;
    CAtomicFile file(path);
    int away = 0;
    if (fileSeen_ && file.LeadsNowhere(&away)) {
        // Her file is away (its drive unmounted while she plays): a new one
        // made where the link leads would hide under the drive once it is
        // back, and her progress with it. A player without a file yet is
        // given one through a link made for it.
        NoteAway(file, away, "profile");
        return false;
    }
    if (!KeptAsideBeforeSave(path)) return false;
    FILE* f = file.Open();
    bool ok = f && WriteOptions(f);
    ok = f && Write(f) && ok;
    if (f && !ok) file.MarkFailed();
    if (!f || !file.Commit()) {
        NoteWriteFailure(file, "profile");
        return false;
    }
    fileSeen_ = true;
    return true;
}

bool CProfileBase::WriteOptions(FILE* f) {
    memset(optionText_, 0, sizeof optionText_);
    strncpy(optionText_, GetMoreGamesURL(), kOptionTextSize);
    bool ok = WriteFixedText(optionText_, kOptionTextSize, f);
    ok = WriteUInt8(0, f) && ok;
    ok = WriteInt32(soundVolume_, f) && ok;
    ok = WriteInt32(musicVolume_, f) && ok;
    ok = WriteInt32(gameSpeed_, f) && ok;
    ok = WriteUInt8(fullscreen_, f) && ok;
    ok = WriteUInt8(spareFlag_, f) && ok;
    ok = WriteUInt8(systemPointer_, f) && ok;
    ok = WriteFloat(mouseSpeed_, f) && ok;
    return ok;
}

bool CProfileBase::ReadOptions(CByteReader& in) {
    std::string text;
    uint8_t unused = 0, fullscreen = 0, spare = 0, systemPointer = 0;
    int32_t sound = 0, music = 0, speed = 0;
    float mouse = 0.0f;
    in.ReadFixedString(&text, kOptionTextSize);
    in.ReadU8(&unused);
    in.ReadI32(&sound);
    in.ReadI32(&music);
    in.ReadI32(&speed);
    in.ReadU8(&fullscreen);
    in.ReadU8(&spare);
    in.ReadU8(&systemPointer);
    in.ReadF32(&mouse);
    if (in.Failed()) {
        DebugLog(DBG_WARNING, "CProfileBase::ReadOptions()   Options block is short\n");
        return false;
    }
    // Out-of-range values take their defaults: a volume above 11 would
    // overdrive the mixer, a bad speed would index past the period table.
    if (!InLevelRange(sound) || !InLevelRange(music) || !InLevelRange(speed) || !std::isfinite(mouse) ||
        mouse <= 0.0f || mouse > 100.0f) {
        DebugLog(DBG_WARNING, "CProfileBase::ReadOptions()   Out-of-range option replaced by its default\n");
    }
    memset(optionText_, 0, sizeof optionText_);
    memcpy(optionText_, text.data(), text.size());
    soundVolume_ = InLevelRange(sound) ? sound : kDefaultLevel;
    musicVolume_ = InLevelRange(music) ? music : kDefaultLevel;
    gameSpeed_ = InLevelRange(speed) ? speed : kDefaultLevel;
    fullscreen_ = fullscreen ? 1 : 0;
    spareFlag_ = spare;
    systemPointer_ = systemPointer ? 1 : 0;
    mouseSpeed_ = (std::isfinite(mouse) && mouse > 0.0f && mouse <= 100.0f) ? mouse : 1.0f;
    ApplyVolumes();
    SwitchDisplayIfOpen();
    return true;
}

bool CProfileBase::LoadProfile(const char* name) {
    loadRefusal_ = LoadRefusal::NONE;
    int32_t number = currentProfile_;
    if (name) {
        const auto it = profileNumbers_.find(name);
        if (it == profileNumbers_.end()) {
            ErrorLog(false, "Unable to find profile number.\n");
            loadRefusal_ = LoadRefusal::NOT_LISTED;
            return false;
        }
        number = it->second;
    }
    const std::string path = ProfileFileName(number);
    std::string bytes;
    int error = 0;
    const FileState state = ReadWholeFile(path, &bytes, &error);
    if (state == FileState::UNREACHABLE) {
        // Neither damaged nor missing: the file is there, on a drive not
        // mounted yet, say. Nothing of it is loaded, so nothing can be saved
        // over it, and the player is back once it can be read.
        NoteUnreachable(number, path, error);
        return false;
    }
    if (number != currentProfile_ && !SaveOutgoing()) {
        loadRefusal_ = LoadRefusal::NOT_SAVED;
        return false;
    }
    currentProfile_ = number;
    fileSeen_ = state == FileState::WHOLE;
    if (state != FileState::WHOLE) {
        if (state == FileState::NOT_A_FILE) {
            ErrorLog(false, "CProfileBase::LoadProfile()   Cannot read profile: %s\n", path.c_str());
            NoteDamaged(DamageKind::PROGRESS, path, nullptr);
        }
        // A profile without a file plays with defaults until its first save.
        ResetOptionsBlock();
        Reset();
        return state == FileState::MISSING;
    }
    CByteReader in(bytes.data(), bytes.size());
    if (!ReadOptions(in)) {
        ResetOptionsBlock();
        Reset();
    } else if (Read(in)) {
        return true;
    }
    // The intact options block is kept; progress starts afresh, and the
    // damaged file stays on disk beside the one the next save writes.
    ErrorLog(false, "CProfileBase::LoadProfile()   Damaged profile file, using defaults: %s\n", path.c_str());
    NoteDamaged(DamageKind::PROGRESS, path, &bytes);
    return false;
}

void CProfileBase::NoteUnreachable(int32_t number, const std::string& path, int error) {
    loadRefusal_ = LoadRefusal::UNREACHABLE;
    unreachable_ = AwayNotice(DamageKind::UNREACHABLE, path, error, "CProfileBase::LoadProfile()   Profile file");
    const auto it = profileNames_.find(number);
    if (it != profileNames_.end()) unreachable_.player = it->second;
}

void CProfileBase::NoteAway(const CAtomicFile& file, int error, const char* what) {
    // The file it would write is where the link leads: the one to bring back.
    ErrorLog(false, "Cannot save %s: %s cannot be reached now, left as it is (%s: %s)\n", what, file.Path().c_str(),
             file.Target().c_str(), strerror(error));
    NoteSaveFailure(SaveProblem::UNREACHABLE, file.Target(), file.Folder(), error);
}

bool CProfileBase::WriteInfo() {
    saveFailure_ = SaveFailure();
    const bool ok = WriteInfoFiles();
    NoteSave(ok);
    return ok;
}

bool CProfileBase::WriteInfoFiles() {
    const bool saved = WriteProfileFile();
    const std::string path = InfoFileName();
    if (!FolderTakes(path, "profile header")) return false;
    CAtomicFile file(path);
    // A list away since the start is read again before anything is written
    // over it: what changed meanwhile goes into the list as it is now.
    if (listAway_ && listEdited_ && !TakeListBack()) return false;
    int away = listAway_;
    if (away || file.LeadsNowhere(&away)) {
        // Left as it is. What only the list holds (names, the password)
        // waits in memory, and a save fails while it waits.
        if (!listEdited_) return saved;
        const bool first = saveFailure_.problem == SaveProblem::NONE;
        NoteAway(file, away, "profile header");
        saveFailure_.list = first;
        return false;
    }
    if (!KeptAsideBeforeSave(path)) return false;
    FILE* f = file.Open();
    if (!f) {
        NoteWriteFailure(file, "profile header");
        return false;
    }
    bool ok = WriteInt32(version_, f);
    ok = WriteInt32(static_cast<int32_t>(headerWord_), f) && ok;
    ok = WriteInt32(lastProfileNumber_, f) && ok;
    DebugLog(DBG_PROFILE, "Cheater Status:  %04x\n", cheaterStatus_);
    ok = WriteInt32(static_cast<int32_t>(cheaterStatus_), f) && ok;
    DebugLog(DBG_PROFILE, "Password Write:  '%s'\n", password_);
    ok = WriteFixedText(password_, kPasswordMax, f) && ok;
    ok = WriteInt32(currentProfile_, f) && ok;
    // The count is the number of entries that follow, whatever the maps say.
    ok = WriteInt32(static_cast<int32_t>(profileNames_.size()), f) && ok;
    for (const auto& entry : profileNames_) {
        const std::string& board = scoreboardNames_[entry.first];
        DebugLog(DBG_PROFILE, "Header Save:  %i   %-20s   %-20s\n", entry.first, entry.second.c_str(), board.c_str());
        ok = WriteInt32(entry.first, f) && ok;
        ok = WriteFixedText(Clipped(entry.second, kNameMax).c_str(), kNameMax + 1, f) && ok;
        ok = WriteFixedText(Clipped(board, kNameMax).c_str(), kNameMax + 1, f) && ok;
    }
    if (!ok) file.MarkFailed();
    if (!file.Commit()) {
        NoteWriteFailure(file, "profile header");
        return false;
    }
    listEdited_ = false;
    RemoveDeletedFiles();
    return saved;
}

void CProfileBase::RemoveDeletedFiles() {
    for (const int32_t number : filesToRemove_) {
        if (profileNames_.count(number)) continue;  // the number has a new player by now
        const std::string path = ProfileFileName(number);
        if (remove(path.c_str()) != 0 && errno != ENOENT)
            ErrorLog(false, "CProfileBase:  Cannot remove the file of a deleted profile: %s\n", path.c_str());
        else
            notKeptAside_.erase(path);  // deleted with its player, as he asked
    }
    filesToRemove_.clear();
}

bool CProfileBase::ReadInfo() {
    const std::string path = InfoFileName();
    std::string bytes;
    StartFreshList();
    listAway_ = 0;
    listEdited_ = false;
    awayNames_.clear();
    if (const int away = ProfileDirAwayError()) {
        // The whole data folder is away: nothing of it can be known, so this
        // session plays with a player of its own and saves nothing (told
        // once, with the folder).
        std::string dir = GetProfileDir();
        dir.pop_back();
        damageNotices_.push_back(AwayNotice(DamageKind::FOLDER_AWAY, dir, away, "CProfileBase::ReadInfo()   Data folder"));
        CreateProfile(kFirstProfileName);
        if (saveNotice_ == kNoticePending) saveNotice_ = kNoticeTold;
        return false;
    }
    bool whole = false;  // the list as the game wrote it
    bool fresh = false;  // neither a list nor a player's file: the first start
    int error = 0;
    const FileState state = ReadWholeFile(path, &bytes, &error);
    if (state == FileState::WHOLE) {
        whole = ParseInfo(bytes);
        if (!whole) NoteDamaged(DamageKind::LIST_DAMAGED, path, &bytes);
    } else if (state == FileState::UNREACHABLE) {
        // Neither damaged nor missing: on a drive not mounted yet, say. It
        // stays as it is, and this session plays with the players whose
        // files are here; the list is back at a start that can read it.
        listAway_ = error ? error : EIO;
        damageNotices_.push_back(
            AwayNotice(DamageKind::LIST_AWAY, path, listAway_, "CProfileBase::ReadInfo()   Profile header"));
    } else if (state != FileState::MISSING) {
        ErrorLog(false, "CProfileBase::ReadInfo()   Cannot read profile header: %s\n", path.c_str());
        NoteDamaged(DamageKind::LIST_DAMAGED, path, nullptr);
    } else if (ProfileNumbersOnDisk().empty()) {
        fresh = true;
    } else {
        ErrorLog(false, "CProfileBase::ReadInfo()   No profile header, rebuilding it from the profile files\n");
        DamageNotice notice;
        notice.kind = DamageKind::LIST_MISSING;
        damageNotices_.push_back(notice);
    }
    // Files no entry names come back too: a player made while the list was
    // away, or whose file was written when the list no longer could be.
    RebuildList();
    if (listAway_) awayNames_ = profileNames_;
    bool created = true;
    if (profileNames_.empty()) {
        if (fresh)
            DebugLog(DBG_PROFILE, "Creating initial profile for %s\n", kFirstProfileName);
        else
            ErrorLog(false, "CProfileBase::ReadInfo()   No profiles left, creating %s\n", kFirstProfileName);
        // A failed write is told as any failed save is.
        created = CreateProfile(kFirstProfileName);
    }
    if (!profileNames_.count(currentProfile_)) {
        // As after deleting the current profile: the byte-wise first name.
        const int first = profileNumbers_.begin()->second;
        ErrorLog(false, "CProfileBase::ReadInfo()   Current profile %i is not listed, using %i\n", currentProfile_, first);
        currentProfile_ = first;
    }
    const bool loaded = LoadProfile(nullptr);
    if (!loaded && loadRefusal_ == LoadRefusal::UNREACHABLE) {
        // The game goes on with another player; she stays listed, and is
        // told of.
        damageNotices_.push_back(unreachable_);
        LoadFirstReachable();
    }
    return loaded && (whole || (fresh && created));
}

bool CProfileBase::TakeListBack() {
    const std::string path = InfoFileName();
    std::string bytes;
    int error = 0;
    const FileState state = ReadWholeFile(path, &bytes, &error);
    if (state == FileState::UNREACHABLE) {
        listAway_ = error ? error : EIO;
        return true;
    }
    // Gone meanwhile: the list of this session is all there is.
    if (state == FileState::MISSING) {
        listAway_ = 0;
        return true;
    }
    ErrorLog(false, "CProfileBase:  The list of players is back, adding what changed meanwhile: %s\n", path.c_str());
    const std::map<int32_t, std::string> atStart = awayNames_, names = profileNames_;
    const std::map<std::string, int32_t> numbers = profileNumbers_;
    const std::map<int32_t, std::string> boards = scoreboardNames_;
    const std::string password = password_;
    const int32_t current = currentProfile_, last = lastProfileNumber_;
    const uint32_t headerWord = headerWord_;
    StartFreshList();
    if (state != FileState::WHOLE || !ParseInfo(bytes))
        NoteDamaged(DamageKind::LIST_DAMAGED, path, state == FileState::WHOLE ? &bytes : nullptr);
    lastProfileNumber_ = std::max(lastProfileNumber_, last);
    const auto unname = [this](int32_t number) {
        const auto it = profileNames_.find(number);
        if (it == profileNames_.end()) return;
        profileNumbers_.erase(it->second);
        profileNames_.erase(it);
    };
    // Players deleted meanwhile; then the names given meanwhile (new
    // players, new names), which the players named by the list keep
    // otherwise; then every score-board name and a password set meanwhile
    // (the rebuilt list had none).
    for (const auto& entry : atStart) {
        if (names.count(entry.first)) continue;
        unname(entry.first);
        scoreboardNames_.erase(entry.first);
    }
    // A player made meanwhile whose number the list gave to another one (a
    // game on another data folder that shares the list) is not put in that
    // one's place, where that one's file would load under her name: she
    // moves to a free number, her file with her.
    std::map<int32_t, int32_t> moved;  // from, to
    std::vector<DamageNotice> told;
    for (const auto& entry : names) {
        const auto before = atStart.find(entry.first);
        if (before != atStart.end() && before->second == entry.second) continue;
        int32_t number = entry.first;
        if (before == atStart.end() && profileNames_.count(number)) {
            number = FirstFreeProfileNumber();
            const std::string from = ProfileFileName(entry.first), to = ProfileFileName(number);
            // A file not written yet (its folder full, say) has nothing to move.
            if (number < 0 || (rename(from.c_str(), to.c_str()) != 0 && errno != ENOENT)) {
                // Nothing of the merge stays: the players and the list as
                // they were, and the next save tries again.
                const int why = number < 0 ? ENOSPC : errno;
                ErrorLog(false, "CProfileBase:  Cannot move profile %i to a free number: %s\n", entry.first + 1,
                         strerror(why));
                for (const auto& back : moved)
                    rename(ProfileFileName(back.second).c_str(), ProfileFileName(back.first).c_str());
                profileNames_ = names;
                profileNumbers_ = numbers;
                scoreboardNames_ = boards;
                strncpy(password_, password.c_str(), kPasswordMax);
                currentProfile_ = current;
                lastProfileNumber_ = last;
                headerWord_ = headerWord;
                const bool first = saveFailure_.problem == SaveProblem::NONE;
                NoteSaveFailure(SaveProblem::WRITE_FAILED, to, PlatformFolderOf(to), why);
                saveFailure_.list = first;
                return false;
            }
            ErrorLog(false, "CProfileBase:  The list has profile %i already: '%s' is profile %i now\n",
                     entry.first + 1, entry.second.c_str(), number + 1);
            moved[entry.first] = number;
            lastProfileNumber_ = std::max(lastProfileNumber_, number);
        } else {
            unname(number);
        }
        std::string name = entry.second;
        if (profileNumbers_.count(name)) {
            name = FreeRecoveredName(number);
            ErrorLog(false, "CProfileBase:  The list has a player '%s' already: profile %i is '%s'\n",
                     entry.second.c_str(), number + 1, name.c_str());
        }
        profileNumbers_[name] = number;
        profileNames_[number] = name;
        if (number != entry.first) {
            DamageNotice notice;
            notice.kind = DamageKind::NUMBER_TAKEN;
            notice.player = name;
            notice.file = ProfileFileName(number);
            told.push_back(notice);
        }
    }
    const auto now = [&moved](int32_t number) {
        const auto it = moved.find(number);
        return it == moved.end() ? number : it->second;
    };
    for (const auto& entry : boards)
        if (!entry.second.empty() && names.count(entry.first)) scoreboardNames_[now(entry.first)] = entry.second;
    if (!password.empty()) strncpy(password_, password.c_str(), kPasswordMax);
    RebuildList();
    currentProfile_ = now(current);
    listAway_ = 0;
    awayNames_.clear();
    damageNotices_.insert(damageNotices_.end(), told.begin(), told.end());
    return true;
}

bool CProfileBase::ParseInfo(const std::string& bytes) {
    const std::string path = InfoFileName();
    CByteReader in(bytes.data(), bytes.size());
    uint32_t version = 0;
    if (!in.ReadU32(&version) || version != static_cast<uint32_t>(kVersion)) {
        // Another version, or none at all: nothing of it is read.
        DebugLog(DBG_DEBUG, "Incompatible profile versions: the list is rebuilt from the profile files\n");
        return false;
    }
    // Each field of the header is taken as far as the file holds it whole
    // (the reader fails every read after the first one past the end).
    bool whole = true;
    uint32_t headerWord = 0, cheater = 0, count = 0;
    int32_t last = -1, current = -1;
    char password[kPasswordMax] = {};
    if (in.ReadU32(&headerWord)) headerWord_ = headerWord;
    if (in.ReadI32(&last)) {
        if (last >= -1 && last <= kMaxProfileNumber) {
            lastProfileNumber_ = last;
        } else {
            ErrorLog(false, "CProfileBase::ReadInfo()   Last profile number %i is out of range: %s\n", last,
                     path.c_str());
            whole = false;
        }
    }
    if (in.ReadU32(&cheater)) {
        cheaterStatus_ |= cheater;
        DebugLog(DBG_PROFILE, "Cheater Read:  %x\n", cheater);
    }
    if (in.ReadBytes(password, kPasswordMax)) {
        // A password nobody could type would lock the options for good.
        if (IsWholeField(password, kPasswordMax, FIELD_PASSWORD)) {
            memcpy(password_, password, kPasswordMax);
        } else {
            ErrorLog(false, "CProfileBase::ReadInfo()   Damaged password dropped: %s\n", path.c_str());
            whole = false;
        }
        DebugLog(DBG_PROFILE, "Password Read:  '%s'\n", password_);
    }
    if (in.ReadI32(&current)) currentProfile_ = current;
    if (!in.ReadU32(&count)) {
        ErrorLog(false, "CProfileBase::ReadInfo()   Profile header is short: %s\n", path.c_str());
        return false;
    }

    // The game lists at least one player, and writes exactly the entries it
    // counts. When the count does not match, every entry the file holds is
    // looked at, the last one too when it is cut short in its score-board
    // name.
    const size_t rest = in.Remaining();
    const uint32_t held = static_cast<uint32_t>(rest / kInfoEntrySize);
    if (count == 0 || count != held || rest % kInfoEntrySize != 0) {
        ErrorLog(false, "CProfileBase::ReadInfo()   Profile header lists %u profiles, holds %u\n", count, held);
        whole = false;
    }
    const uint32_t entries = held + (rest % kInfoEntrySize >= sizeof(int32_t) + kNameMax + 1 ? 1 : 0);
    for (uint32_t i = 0; i < entries; ++i) {
        int32_t number = 0;
        char name[kNameMax + 1], board[kNameMax + 1];
        in.ReadI32(&number);
        in.ReadBytes(name, sizeof name);
        if (!InNumberRange(number) || !IsWholeField(name, sizeof name, FIELD_NAME)) {
            ErrorLog(false, "CProfileBase::ReadInfo()   Profile entry %u is damaged\n", i);
            in.ReadBytes(board, sizeof board);
            whole = false;
            continue;
        }
        // A damaged score-board name costs only itself: the player keeps his
        // name and registers again.
        if (!in.ReadBytes(board, sizeof board) || !IsWholeField(board, sizeof board, FIELD_BOARD_NAME)) {
            ErrorLog(false, "CProfileBase::ReadInfo()   Score-board name of profile entry %u is damaged\n", i);
            memset(board, 0, sizeof board);
            whole = false;
        }
        DebugLog(DBG_PROFILE, "Header Load:  %i   %-20s   %-20s\n", number, name, board);
        // Two entries with one name or one number would make the list and
        // its count disagree at the next write; the first one stays.
        if (profileNames_.count(number) || profileNumbers_.count(name)) {
            ErrorLog(false, "CProfileBase::ReadInfo()   Skipping profile entry %i '%s'\n", number, name);
            whole = false;
            continue;
        }
        if (number > lastProfileNumber_) lastProfileNumber_ = number;
        // An entry with nothing at its file's place is damage as well (a
        // flipped bit in its number, say): it goes, and the rebuild brings
        // back whatever file no entry names, the player's own one too. A
        // file that is there but cannot be reached now keeps its entry.
        if (!PlatformEntryExists(ProfileFileName(number))) {
            ErrorLog(false, "CProfileBase::ReadInfo()   Profile entry %i '%s' has no profile file\n", number, name);
            whole = false;
            continue;
        }
        profileNumbers_[name] = number;
        profileNames_[number] = name;
        scoreboardNames_[number] = board;
    }
    return whole;
}

void CProfileBase::RebuildList() {
    for (const int32_t number : ProfileNumbersOnDisk()) {
        // A deleted player's file, which waits to go until a list without
        // him is written, is no player's.
        if (profileNames_.count(number) ||
            std::find(filesToRemove_.begin(), filesToRemove_.end(), number) != filesToRemove_.end())
            continue;
        const std::string name = FreeRecoveredName(number);
        ErrorLog(false, "CProfileBase::ReadInfo()   Profile file %i is back in the list as '%s'\n", number + 1,
                 name.c_str());
        profileNumbers_[name] = number;
        profileNames_[number] = name;
        scoreboardNames_[number] = "";
        if (number > lastProfileNumber_) lastProfileNumber_ = number;
    }
}

std::vector<int32_t> CProfileBase::ProfileNumbersOnDisk() const {
    std::vector<std::string> names;
    const std::string suffix = "v" + std::to_string(kVersion) + ".DAT";
    // Files, and links to files that cannot be reached now: each is a
    // player's.
    GetFiles(names, GetProfileDir(), suffix.c_str(), false, true);
    std::vector<int32_t> numbers;
    for (const std::string& name : names) {
        long n = 0;
        if (name.compare(0, kProfileFilePrefixLength, kProfileFilePrefix) != 0 ||
            !ReadNumber(name.substr(kProfileFilePrefixLength), 1L, kMaxProfileNumber + 1L, &n))
            continue;
        // Only the very name the game gives the file ("PROFILE07" is not one).
        const int32_t number = static_cast<int32_t>(n - 1);
        if (ProfileFileName(number) == GetProfileDir() + name + suffix) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string CProfileBase::FreeRecoveredName(int32_t number) const {
    // The list holds fewer names than there are numbers, so one is free.
    for (int32_t n = number + 1;; ++n) {
        if (n > kMaxProfileNumber + 1) n = 1;
        const std::string name = "PLAYER " + std::to_string(n);
        if (!profileNumbers_.count(name)) return name;
    }
}
