// The current player's profile: key bindings, the result of every level of
// the three built-in sets, where the player is, the step counter of the level
// in play, a record per extra level file and three option flags. main creates
// exactly one; its construction reads the INFO file and the current profile,
// its destruction writes both.
//
// Every level result is kept twice, plain and masked with a per-profile key.
// The masked copy is the one the game reads; a plain copy that disagrees with
// it is repaired from it and flagged in the cheater word.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "players/CProfileBase.h"
#include "players/LevelRecord.h"

// Index of a key binding.
enum KeyAction : int {
    KEYACTION_RESTART = 0,
    KEYACTION_UNDO = 1,
    KEYACTION_LEFT = 2,
    KEYACTION_RIGHT = 3,
    KEYACTION_UP = 4,
    KEYACTION_DOWN = 5,
    KEYACTION_TURN = 6,
    KEYACTION_POWERUP1 = 7,  // ... KEYACTION_POWERUP1 + 8: inventory positions 0..8
    KEYACTION_COUNT = 16,
};

class CProfile : public CProfileBase {
public:
    static constexpr int kSetCount = 3;
    static constexpr int kMaxSetLevels = 111;
    static constexpr int32_t kMaxStepCount = 99999;
    static constexpr int kMaskKeyRange = 99999;
    static constexpr int kReservedSize = 10;
    // Offsets in the body, from the end of the options block.
    static constexpr int kBodyPlainSet0 = 64;
    static constexpr int kBodySetCompleted = 1032;
    static constexpr int kBodyMaskKey = 1035;
    static constexpr int kBodyMaskedSet2 = 1039;
    static constexpr int kBodyMaskedSet0 = 1563;
    static constexpr int kBodyCurrentSet = 2007;
    static constexpr int kBodyRecordCount = 2015;
    static constexpr int kBodyRecords = 2019;

    CProfile();
    void Reset() override;
    bool Read(CByteReader& in) override;  // false: damaged, and the profile is Reset
    bool Write(FILE* f) override;         // false when a write failed
    void ResetOptionFlags() override;
    // Saves the list and the player's file one last time; the destructor does
    // so unless SaveAtShutdown already did, whose answer tells the program's
    // exit whether the player's progress is on disk.
    ~CProfile() override;
    bool SaveAtShutdown();

    // Key bindings (SDL key symbols); indexes outside 0..15 read 0 and are ignored.
    void SetDefaultKeys();
    int32_t GetKeyBinding(int i) const;
    void SetKeyBinding(int i, int32_t key);

    // Option flags.
    uint8_t IsStoryEnabled() const { return showStory_; }
    void SetStoryEnabled(uint8_t on) { showStory_ = on; }
    uint8_t IsStepCounterEnabled() const { return showStepCounter_; }
    void SetStepCounterEnabled(uint8_t on) { showStepCounter_ = on; }
    uint8_t IsTutorialLevelsEnabled() const { return playTutorialLevels_; }
    void SetTutorialLevelsEnabled(uint8_t on) { playTutorialLevels_ = on; }

    // Position in the sets. Operations taking a set accept -1 for the
    // current set, operations taking a level -1 for the current level; other
    // values outside the set are ignored (getters answer "locked").
    static int GetSetLevelCount(int set);
    void SetCurrentSet(int set);
    void SetCurrentLevel(int level);
    int GetCurrentSet() const { return currentSet_; }
    int GetCurrentLevel() const { return currentLevel_; }
    int GetPreviousLevel() const { return previousLevel_; }
    int UnlockNextLevel();
    void ResetSet(int set);
    void SetSetCompleted(uint8_t flag, int set);
    uint8_t IsSetCompleted(int set) const;
    void CompleteSet(int set, int32_t value);

    // Level results: -1 locked, 0 open, positive the best step count.
    int32_t GetLevelSteps(int set, int level, bool plainCopy) const;
    void SetLevelSteps(int32_t value, int set, int level);
    void SetPlainLevelSteps(int32_t value, int set, int level);
    bool IsLevelSolved(int set, int level) const;
    bool IsLevelLocked(int set, int level) const;
    bool CheckLevelSteps(int set, int level);
    void DumpLevelSteps(int set, int level) const;
    int GetSetSolvedCount(int set) const;
    int GetSetSteps(int set) const;
    int GetSetPercent(int set) const;

    // Step counter of the level in play.
    void SetStepCount(int32_t n);
    void IncrementStepCount();
    int32_t GetStepCount(bool current) const;  // false: the result before the last finish
    // The current level of the current set was finished; stores and saves an
    // improved result. False only when that save failed.
    bool RecordSetLevelSteps();

    // Records of extra level files.
    LevelRecord GetLevelRecord(const std::string& name) const;
    LevelRecord TakeLevelRecord(const std::string& name);
    bool SetLevelRecord(const std::string& name, const LevelRecord& record);  // saves
    bool RecordCustomLevelSteps(const std::string& name);
    bool SetLevelRecordSteps(const std::string& name, int32_t steps);
    bool SetLevelRecordPlayed(const std::string& name, uint8_t flag);
    bool SetLevelRecordCompleted(const std::string& name, uint8_t flag);
    bool SetLevelRecordAll(const std::string& name, uint8_t played, uint8_t completed, int32_t steps);
    bool ClearLevelRecords();
    const std::map<std::string, LevelRecord>& GetLevelRecords() const { return levelRecords_; }

    int32_t GetMaskKey() const { return maskKey_; }

private:
    bool ResolveSet(int* set) const;
    bool Resolve(int* set, int* level) const;
    int32_t Masked(int set, int level) const;  // unmasked value of the masked copy
    bool CheckLevel(int set, int level);
    bool ParseBody(CByteReader& in);

    bool savedAtShutdown_ = false;
    int32_t keyBindings_[KEYACTION_COUNT] = {};
    int32_t levelSteps_[kSetCount][kMaxSetLevels] = {};
    std::map<std::string, LevelRecord> levelRecords_;
    uint8_t setCompleted_[kSetCount] = {};
    int32_t maskKey_ = 0;
    int32_t maskedLevelSteps_[kSetCount][kMaxSetLevels] = {};
    uint8_t showStory_ = 1;
    uint8_t showStepCounter_ = 1;
    uint8_t playTutorialLevels_ = 1;
    uint8_t reserved_[kReservedSize] = {};
    int32_t currentSet_ = 0;
    int32_t currentLevel_ = 0;
    int32_t previousLevel_ = 0;
    int32_t stepCount_ = 0;
    int32_t maskedStepCount_ = 0;
    int32_t previousBest_ = 0;
};
