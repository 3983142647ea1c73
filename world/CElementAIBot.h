// The bots: robots that stand or hang in the level until they notice the
// hero, then chase him with the same virtual keys and moves he uses, and
// catch him.
//
// A standing bot sees along its own row, only the way it faces, until
// something stands in the way (or a teleport swallows the view); it also
// sees the hero one row below over an open edge. A hanging bot lets go when
// the hero stands below it with nothing between them, when its ceiling is
// gone, or when a magnet takes it. The EMP knocks every bot out and makes it
// forget the hero until it sees him again; the whistle wakes every bot.
// Heat destroys a bot for good (it still falls and lands as a lump); frost
// freezes it, and a frozen hanging bot falls.
//
// Every live bot is on one list in creation order; the world reset empties
// it.
#pragma once

#include <cstdint>
#include <vector>

#include "world/CElementAI.h"

class CSoundObject;
class CSprite;

class CElementAIBot : public CElementAI {
public:
    // Animation states (the table of stateSprites).
    enum BotState {
        ST_HANG = 0,
        ST_ACTIVATING = 1,
        ST_FALL = 2,
        ST_LAND = 3,
        ST_CLIMB = 4,
        ST_RUN_LEFT = 5,
        ST_RUN_RIGHT = 6,
        ST_STUN_LEFT = 7,
        ST_STUN_RIGHT = 8,
        ST_UNSTUN_LEFT = 9,
        ST_UNSTUN_RIGHT = 10,
        ST_PUSH_LEFT = 11,
        ST_PUSH_RIGHT = 12,
        ST_STAND_LEFT = 13,
        ST_STAND_RIGHT = 14,
        ST_EMP_LEFT = 15,
        ST_EMP_RIGHT = 16,
        ST_MAGNET_LEFT = 17,
        ST_MAGNET_RIGHT = 18,
        ST_SLIDE_LEFT = 19,
        ST_SLIDE_RIGHT = 20,
        ST_CRAWL_LEFT = 21,
        ST_CRAWL_RIGHT = 22,
        ST_FROZEN = 23,
        ST_HEATED_LEFT = 24,   // then its left fall, right fall and squash
        ST_HEATED_RIGHT = 28,  // likewise
        ST_MELTING_LEFT = 32,
        ST_MELTING_RIGHT = 33,
        ST_COOLING_LEFT = 34,   // then its left and right fall
        ST_COOLING_RIGHT = 37,  // likewise
        ST_COOLED_LEFT = 40,    // then its left fall, right fall and squash
        ST_COOLED_RIGHT = 44,   // likewise
        ST_FROZEN_DESTROYED = 48,
        ST_EMP_LEFT_LFALL = 49,
        ST_EMP_LEFT_RFALL = 50,
        ST_EMP_RIGHT_LFALL = 51,
        ST_EMP_RIGHT_RFALL = 52,
        ST_CAPTURE_LEFT = 53,
        ST_CAPTURE_RIGHT = 54,
    };
    // Offsets of the fall and squash pictures from a temperature row's first.
    enum { TILT_LEFT = 1, TILT_RIGHT = 2, SQUASH = 3 };

    static constexpr int kStateCount = 55;
    // Frames a catching bot holds still before it steps to the hero's side.
    static constexpr int kCatchDelay = 16;
    static constexpr int kFootsteps = 12;
    // Frames the slide sound of a bot stuck on ice plays before it fades.
    static constexpr int kSlideSoundBudget = 300;

    // code: the level's tile code (BOT_HANG, BOT_LEFT or BOT_RIGHT); the
    // cell state's frozen flag makes it start in its frozen picture.
    CElementAIBot(int x, int y, uint32_t code, int cellFlags);
    ~CElementAIBot() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    // A bot catching the hero is left alone by heat, frost and magnets.
    bool IsImmune() override;

    void Detect();
    void ChaseHero();
    void Activate();
    void Deactivate();
    void Emp();

    // The whistle wakes every bot; the EMP knocks every bot out.
    static void ActivateAll();
    static void EmpAll();
    static void ResetStatics();
    static void DescribeStatics(CWorldDigest* digest);
    static const std::vector<CElementAIBot*>& GetBots() { return bots; }

    bool IsActive() const { return active != 0; }
    bool IsEmpStunned() const { return empStunned != 0; }
    bool IsActivationFall() const { return activationFall != 0; }
    int GetCatchDelay() const { return catchDelay; }

    // ======================================================================
    // Fields.
    // ======================================================================
    CSprite* stateSprites[kStateCount] = {};

    CSoundObject* soundFall = nullptr;
    CSoundObject* soundCrush = nullptr;
    CSoundObject* soundDetect = nullptr;      // a standing bot sees the hero
    CSoundObject* soundHangDetect = nullptr;  // a hanging bot lets go
    CSoundObject* soundBotSlide = nullptr;
    CSoundObject* soundFootstep[kFootsteps] = {};
    int32_t lastFootstep = 0;
    int32_t footstepCounter = 3;
    // The climbing steps are the AI base's.
    uint8_t slideSoundSpent = 0;
    int32_t slideSoundBudget = kSlideSoundBudget;

    int32_t catchDelay = kCatchDelay;
    uint8_t active = 0;          // has noticed the hero and chases him
    uint8_t activationFall = 0;  // a hanging bot let go and drops
    uint8_t savedFacing = 0;     // the facing at the last deactivation
    uint8_t empStunned = 0;      // knocked out until its EMP picture ends

    // What undo keeps of a bot (see UndoFields.h); undo starts the catch
    // delay afresh. Its keys are its own brain's, held through a move it is
    // making: unlike a player's keys they come back with the step.
#define BOT_UNDO_FIELDS(F)                                                                                             \
    F(active, kUndoAndKey)                                                                                             \
    F(activationFall, kUndoAndKey) F(savedFacing, kUndo) F(empStunned, kUndoAndKey) F(KEYS, kUndo)
    struct BotRecord {
        UNDO_RECORD_FIELDS(CElementAIBot, BOT_UNDO_FIELDS)
    };
    BotRecord botSaved[kUndoSlots];

private:
    void BuildStateSprites();
    void BuildTemperatureRows(bool left);
    void CreateSounds();
    void FreeSounds();

    bool IsCatching() const { return caughtFromLeft || caughtFromRight; }
    // A standing bot's view along its row toward the hero's column.
    bool SeesHero(const CElement* hero) const;
    // The hanging bot's view straight down to the hero.
    bool SeesHeroBelow(const CElement* hero) const;
    void CheckStun();

    void UpdateAnimation();
    // When the shown picture has ended: the flags its end clears.
    void FinishState();
    // The state by the first rule that holds; *play / *stop ask for the
    // sprite to run or hold still once it is shown; *keepFrame carries the
    // frame reached over to the new picture.
    int ChooseState(bool* play, bool* stop, bool* keepFrame);
    int ChooseMovingState(bool left, bool* play);
    int ChooseStandingState(bool left, bool* stop);
    int ChooseStunnedState(bool left);
    // The picture of a destroyed or hot bot: row is the HEATED, COOLING or
    // COOLED row of its facing, or none.
    int TemperatureRow() const;
    void ShowState(int state);
    void UpdateBotSounds();

    static std::vector<CElementAIBot*> bots;
};
