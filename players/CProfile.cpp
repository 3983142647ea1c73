#include "players/CProfile.h"

#include <SDL_keysym.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "engine/CByteReader.h"
#include "engine/FileFields.h"
#include "engine/Log.h"
#include "players/ProfileHooks.h"

namespace {

constexpr int kSetLevelCounts[CProfile::kSetCount] = {111, 50, 81};
// Non-tutorial levels of each set: what a full set's percentage is taken of.
constexpr int kScoredLevelCounts[CProfile::kSetCount] = {85, 50, 81};
constexpr int32_t kDefaultKeys[KEYACTION_COUNT] = {114, 117, 276, 275, 273, 274, 102, 49,
                                                  50,  51,  52,  53,  54,  55,  56,  57};
// A record on disk is at least its length, two flag bytes and the steps.
constexpr size_t kMinRecordSize = 4 + 1 + 1 + 4;

int32_t Xor(int32_t v, int32_t key) { return static_cast<int32_t>(static_cast<uint32_t>(v) ^ static_cast<uint32_t>(key)); }

}  // namespace

CProfile::CProfile() {
    DebugLog(DBG_CONSTRUCT, "CProfile:  Creating CProfile...\n");
    ReadInfo();
    stepCount_ = 0;
    maskedStepCount_ = maskKey_;
    previousBest_ = 0;
}

CProfile::~CProfile() {
    DebugLog(DBG_DESTRUCT, "CProfile:  Destroying CProfile...\n");
    if (!savedAtShutdown_) WriteInfo();
}

bool CProfile::SaveAtShutdown() {
    savedAtShutdown_ = true;
    return WriteInfo();
}

// ---------------------------------------------------------------- keys and flags

void CProfile::SetDefaultKeys() { memcpy(keyBindings_, kDefaultKeys, sizeof keyBindings_); }

int32_t CProfile::GetKeyBinding(int i) const { return i >= 0 && i < KEYACTION_COUNT ? keyBindings_[i] : 0; }

void CProfile::SetKeyBinding(int i, int32_t key) {
    if (i >= 0 && i < KEYACTION_COUNT) keyBindings_[i] = key;
}

void CProfile::ResetOptionFlags() {
    showStory_ = 1;
    showStepCounter_ = 1;
    playTutorialLevels_ = 1;
}

void CProfile::Reset() {
    const int32_t steps = Xor(maskedStepCount_, maskKey_);
    SetDefaultKeys();
    maskKey_ = rand() % kMaskKeyRange;
    for (int set = 0; set < kSetCount; ++set) {
        for (int level = 0; level < kMaxSetLevels; ++level) {
            levelSteps_[set][level] = -1;
            maskedLevelSteps_[set][level] = Xor(-1, maskKey_);
        }
    }
    levelRecords_.clear();
    memset(setCompleted_, 0, sizeof setCompleted_);
    previousLevel_ = 0;
    currentSet_ = 0;
    currentLevel_ = 0;
    ResetOptionFlags();
    memset(reserved_, 0, sizeof reserved_);
    // The step counter keeps its value under the new key.
    maskedStepCount_ = Xor(steps, maskKey_);
}

// ---------------------------------------------------------------- sets and levels

int CProfile::GetSetLevelCount(int set) { return set >= 0 && set < kSetCount ? kSetLevelCounts[set] : 0; }

bool CProfile::ResolveSet(int* set) const {
    if (*set == -1) *set = currentSet_;
    return *set >= 0 && *set < kSetCount;
}

bool CProfile::Resolve(int* set, int* level) const {
    if (!ResolveSet(set)) return false;
    if (*level == -1) *level = currentLevel_;
    return *level >= 0 && *level < kSetLevelCounts[*set];
}

int32_t CProfile::Masked(int set, int level) const { return Xor(maskedLevelSteps_[set][level], maskKey_); }

void CProfile::SetCurrentSet(int set) {
    currentSet_ = set;
    currentLevel_ = 0;
    previousLevel_ = 0;
}

void CProfile::SetCurrentLevel(int level) {
    currentLevel_ = level;
    previousLevel_ = level;
}

int CProfile::UnlockNextLevel() {
    previousLevel_ = currentLevel_;
    int set = currentSet_;
    if (!ResolveSet(&set)) return currentLevel_;
    const int count = kSetLevelCounts[set];
    if (setCompleted_[set] == 1) {
        currentLevel_ = (currentLevel_ >= count - 1 || currentLevel_ < 0) ? 0 : currentLevel_ + 1;
        if (ProfileIsTutorialLevel(set, currentLevel_) && playTutorialLevels_ == 0) currentLevel_ += 1;
        if (currentLevel_ >= count) currentLevel_ = 0;
        return currentLevel_;
    }
    for (int i = 0; i < count; ++i) {
        if (ProfileIsTutorialLevel(set, i)) {
            const bool hasNext = i + 1 < count;
            if (!IsLevelLocked(set, i) && hasNext && IsLevelSolved(set, i + 1)) continue;
            currentLevel_ = i;
            if (IsLevelLocked(set, i)) SetLevelSteps(0, set, i);
            // The level after the tutorial opens with it; a result it already
            // has is kept.
            if (hasNext && IsLevelLocked(set, i + 1)) SetLevelSteps(0, set, i + 1);
            if (!(playTutorialLevels_ == 1 && !IsLevelSolved(set, i)) && hasNext) currentLevel_ = i + 1;
            return currentLevel_;
        }
        if (!IsLevelSolved(set, i)) {
            currentLevel_ = i;
            SetLevelSteps(0, set, i);
            return currentLevel_;
        }
    }
    return currentLevel_;
}

void CProfile::ResetSet(int set) {
    if (!ResolveSet(&set)) return;
    setCompleted_[set] = 0;
    for (int level = 0; level < kSetLevelCounts[set]; ++level) SetLevelSteps(-1, set, level);
    currentSet_ = set;
    currentLevel_ = 0;
    previousLevel_ = 0;
    SetLevelSteps(0, set, 0);
}

void CProfile::SetSetCompleted(uint8_t flag, int set) {
    if (ResolveSet(&set)) setCompleted_[set] = flag;
}

uint8_t CProfile::IsSetCompleted(int set) const { return ResolveSet(&set) ? setCompleted_[set] : 0; }

void CProfile::CompleteSet(int set, int32_t value) {
    if (!ResolveSet(&set)) return;
    for (int level = 0; level < kSetLevelCounts[set]; ++level) {
        if (Masked(set, level) < 1) SetLevelSteps(value, set, level);
    }
    setCompleted_[set] = 1;
}

// ---------------------------------------------------------------- results

int32_t CProfile::GetLevelSteps(int set, int level, bool plainCopy) const {
    if (!Resolve(&set, &level)) return -1;
    return plainCopy ? levelSteps_[set][level] : Masked(set, level);
}

void CProfile::SetLevelSteps(int32_t value, int set, int level) {
    if (!Resolve(&set, &level)) return;
    levelSteps_[set][level] = value;
    maskedLevelSteps_[set][level] = Xor(value, maskKey_);
}

void CProfile::SetPlainLevelSteps(int32_t value, int set, int level) {
    if (Resolve(&set, &level)) levelSteps_[set][level] = value;
}

bool CProfile::IsLevelSolved(int set, int level) const { return Resolve(&set, &level) && Masked(set, level) > 0; }

bool CProfile::IsLevelLocked(int set, int level) const { return !Resolve(&set, &level) || Masked(set, level) < 0; }

bool CProfile::CheckLevelSteps(int set, int level) { return !Resolve(&set, &level) || CheckLevel(set, level); }

bool CProfile::CheckLevel(int set, int level) {
    const int32_t plain = levelSteps_[set][level];
    const int32_t masked = maskedLevelSteps_[set][level];
    if (Xor(plain, maskKey_) == masked) return true;
    DebugLog(DBG_DEBUG, "SCORE MISMATCH!  S=%i  L=%i  A=%i  E=%i (%i,%i)\n", set, level, plain, Xor(masked, maskKey_),
             Xor(plain, maskKey_), masked);
    levelSteps_[set][level] = Xor(masked, maskKey_);
    ErrorLog(false, "WARNING:  Unknown error at line 212\n");
    AddCheaterFlags(kCheaterMismatch);
    return false;
}

void CProfile::DumpLevelSteps(int set, int level) const {
    if (!Resolve(&set, &level)) return;
    const int32_t masked = maskedLevelSteps_[set][level];
    const int32_t plain = levelSteps_[set][level];
    DebugLog(DBG_DEBUG, "Expected Step Count = %i  (%i,%i)\n", Xor(masked, maskKey_), masked, maskKey_);
    DebugLog(DBG_DEBUG, "Actual Step Count   = %i", plain);
    DebugLog(DBG_DEBUG | DBG_NOPREFIX, Xor(plain, maskKey_) == masked ? "\n" : " **** MISMATCH ****\n");
}

int CProfile::GetSetSolvedCount(int set) const {
    if (!ResolveSet(&set)) return 0;
    int solved = 0;
    for (int level = 0; level < kSetLevelCounts[set]; ++level) {
        if (ProfileIsTutorialLevel(set, level)) continue;
        if (Masked(set, level) < 1) break;
        ++solved;
    }
    return solved;
}

int CProfile::GetSetSteps(int set) const {
    if (!ResolveSet(&set)) return 0;
    // Results come from a file; their sum must not overflow.
    int64_t steps = 0;
    for (int level = 0; level < kSetLevelCounts[set]; ++level) {
        if (ProfileIsTutorialLevel(set, level)) continue;
        const int32_t result = Masked(set, level);
        if (result < 1) break;
        steps += result;
    }
    return steps > INT_MAX ? INT_MAX : static_cast<int>(steps);
}

int CProfile::GetSetPercent(int set) const {
    if (!ResolveSet(&set)) return 0;
    return GetSetSolvedCount(set) * 100 / kScoredLevelCounts[set];
}

// ---------------------------------------------------------------- step counter

void CProfile::SetStepCount(int32_t n) {
    stepCount_ = n > kMaxStepCount ? kMaxStepCount : n;
    maskedStepCount_ = Xor(stepCount_, maskKey_);
}

void CProfile::IncrementStepCount() {
    stepCount_ = static_cast<int32_t>(static_cast<uint32_t>(stepCount_) + 1u);
    const uint32_t next = static_cast<uint32_t>(Xor(maskedStepCount_, maskKey_)) + 1u;
    maskedStepCount_ = Xor(static_cast<int32_t>(next), maskKey_);
}

int32_t CProfile::GetStepCount(bool current) const { return current ? Xor(maskedStepCount_, maskKey_) : previousBest_; }

bool CProfile::RecordSetLevelSteps() {
    int set = -1, level = -1;
    if (!Resolve(&set, &level)) {
        ErrorLog(false, "CProfile::RecordSetLevelSteps()   No level %i of set %i\n", currentLevel_, currentSet_);
        return false;
    }
    previousBest_ = levelSteps_[set][level];
    if (previousBest_ > 0 && stepCount_ >= previousBest_) return true;
    maskedLevelSteps_[set][level] = maskedStepCount_;
    levelSteps_[set][level] = stepCount_;
    return Save();
}

// ---------------------------------------------------------------- level records

LevelRecord CProfile::GetLevelRecord(const std::string& name) const {
    const auto it = levelRecords_.find(name);
    return it == levelRecords_.end() ? LevelRecord() : it->second;
}

LevelRecord CProfile::TakeLevelRecord(const std::string& name) {
    const auto it = levelRecords_.find(name);
    if (it == levelRecords_.end()) return LevelRecord();
    const LevelRecord record = it->second;
    levelRecords_.erase(it);
    return record;
}

bool CProfile::SetLevelRecord(const std::string& name, const LevelRecord& record) {
    levelRecords_.emplace(name, record);
    return Save();
}

bool CProfile::RecordCustomLevelSteps(const std::string& name) {
    LevelRecord record = TakeLevelRecord(name);
    record.played = 1;
    record.completed = 1;
    previousBest_ = record.bestSteps;
    if (record.bestSteps < 1 || stepCount_ < record.bestSteps) record.bestSteps = stepCount_;
    return SetLevelRecord(name, record);
}

bool CProfile::SetLevelRecordSteps(const std::string& name, int32_t steps) {
    LevelRecord record = TakeLevelRecord(name);
    record.bestSteps = steps;
    return SetLevelRecord(name, record);
}

bool CProfile::SetLevelRecordPlayed(const std::string& name, uint8_t flag) {
    LevelRecord record = TakeLevelRecord(name);
    record.played = flag;
    return SetLevelRecord(name, record);
}

bool CProfile::SetLevelRecordCompleted(const std::string& name, uint8_t flag) {
    LevelRecord record = TakeLevelRecord(name);
    record.completed = flag;
    return SetLevelRecord(name, record);
}

bool CProfile::SetLevelRecordAll(const std::string& name, uint8_t played, uint8_t completed, int32_t steps) {
    LevelRecord record = TakeLevelRecord(name);
    record.played = played;
    record.completed = completed;
    record.bestSteps = steps;
    return SetLevelRecord(name, record);
}

bool CProfile::ClearLevelRecords() {
    levelRecords_.clear();
    return Save();
}

// ---------------------------------------------------------------- file body

bool CProfile::Write(FILE* f) {
    bool ok = true;
    for (int i = 0; i < KEYACTION_COUNT; ++i) ok = WriteInt32(keyBindings_[i], f) && ok;
    for (int set = 0; set < kSetCount; ++set) {
        for (int level = 0; level < kSetLevelCounts[set]; ++level) {
            CheckLevel(set, level);
            ok = WriteInt32(Masked(set, level), f) && ok;
        }
    }
    for (int set = 0; set < kSetCount; ++set) ok = WriteUInt8(setCompleted_[set], f) && ok;
    ok = WriteInt32(maskKey_, f) && ok;
    for (int set = kSetCount - 1; set >= 0; --set) {
        for (int level = 0; level < kSetLevelCounts[set]; ++level) ok = WriteInt32(maskedLevelSteps_[set][level], f) && ok;
    }
    ok = WriteInt32(currentSet_, f) && ok;
    ok = WriteInt32(currentLevel_, f) && ok;
    ok = WriteInt32(static_cast<int32_t>(levelRecords_.size()), f) && ok;
    for (const auto& entry : levelRecords_) {
        const std::string& name = entry.first;
        ok = WriteInt32(static_cast<int32_t>(name.size()), f) && ok;
        ok = (name.empty() || fwrite(name.data(), 1, name.size(), f) == name.size()) && ok;
        ok = WriteUInt8(entry.second.played, f) && ok;
        ok = WriteUInt8(entry.second.completed, f) && ok;
        ok = WriteInt32(entry.second.bestSteps, f) && ok;
    }
    ok = WriteUInt8(showStory_, f) && ok;
    ok = WriteUInt8(showStepCounter_, f) && ok;
    ok = WriteUInt8(playTutorialLevels_, f) && ok;
    ok = fwrite(reserved_, 1, sizeof reserved_, f) == sizeof reserved_ && ok;
    return ok;
}

bool CProfile::Read(CByteReader& in) {
    const int32_t steps = Xor(maskedStepCount_, maskKey_);
    if (!ParseBody(in)) {
        // Nothing half-read is kept: the profile starts afresh.
        Reset();
        return false;
    }
    // The copies are compared only once the whole body is known to be sound.
    for (int set = 0; set < kSetCount; ++set) {
        for (int level = 0; level < kSetLevelCounts[set]; ++level) CheckLevel(set, level);
    }
    maskedStepCount_ = Xor(steps, maskKey_);
    UnlockNextLevel();
    return true;
}

bool CProfile::ParseBody(CByteReader& in) {
    for (int i = 0; i < KEYACTION_COUNT; ++i) in.ReadI32(&keyBindings_[i]);
    for (int set = 0; set < kSetCount; ++set) {
        for (int level = 0; level < kSetLevelCounts[set]; ++level) in.ReadI32(&levelSteps_[set][level]);
    }
    in.ReadBytes(setCompleted_, sizeof setCompleted_);
    in.ReadI32(&maskKey_);
    for (int set = kSetCount - 1; set >= 0; --set) {
        for (int level = 0; level < kSetLevelCounts[set]; ++level) in.ReadI32(&maskedLevelSteps_[set][level]);
    }
    uint32_t count = 0;
    in.ReadI32(&currentSet_);
    in.ReadI32(&currentLevel_);
    in.ReadU32(&count);
    if (in.Failed()) {
        DebugLog(DBG_WARNING, "CProfile::Read()   Profile body is short\n");
        return false;
    }
    if (count > in.Remaining() / kMinRecordSize) {
        DebugLog(DBG_WARNING, "CProfile::Read()   %u level records cannot fit\n", count);
        return false;
    }
    levelRecords_.clear();
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0;
        std::string name;
        LevelRecord record;
        if (!in.ReadU32(&length) || length > in.Remaining() || !in.ReadFixedString(&name, length)) {
            DebugLog(DBG_WARNING, "CProfile::Read()   Level record %u is damaged\n", i);
            return false;
        }
        in.ReadU8(&record.played);
        in.ReadU8(&record.completed);
        in.ReadI32(&record.bestSteps);
        levelRecords_.emplace(name, record);  // of two records with one name the first stays
    }
    in.ReadU8(&showStory_);
    in.ReadU8(&showStepCounter_);
    in.ReadU8(&playTutorialLevels_);
    in.ReadBytes(reserved_, sizeof reserved_);
    if (in.Failed()) {
        DebugLog(DBG_WARNING, "CProfile::Read()   Profile body is short\n");
        return false;
    }
    // A place outside the sets is only a place: the player starts at the
    // first level of the first set, with every result kept.
    if (currentSet_ < 0 || currentSet_ >= kSetCount || currentLevel_ < 0 ||
        currentLevel_ >= kSetLevelCounts[currentSet_]) {
        DebugLog(DBG_WARNING, "CProfile::Read()   No level %i of set %i, starting at the first\n", currentLevel_,
                 currentSet_);
        currentSet_ = 0;
        currentLevel_ = 0;
    }
    // A key the input cannot name would index past its key tables. Key 0 is
    // no key: the key-binding screen leaves it on an action whose key went
    // to another.
    for (int i = 0; i < KEYACTION_COUNT; ++i) {
        if (keyBindings_[i] < 0 || keyBindings_[i] >= SDLK_LAST) {
            DebugLog(DBG_WARNING, "CProfile::Read()   Key binding %i (%i) replaced by its default\n", i,
                     keyBindings_[i]);
            keyBindings_[i] = kDefaultKeys[i];
        }
    }
    return true;
}
