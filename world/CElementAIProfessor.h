// The hero, the professor: the AI element the player steers from the
// entrance tube to the exit tube.
//
// Each world step his update (run before every other element's) turns the
// held commands into moves, collects the power-up he stands on, carries out
// the power-up he used, notices the exit tube and a fall out of the world,
// and then picks one of 57 animation states (or an idle animation) from his
// flags. Some level ends are raised by the animation: the exit, a catch and
// a singeing end the level only once their animation has played out.
//
// The play screen (and the headless runner) drive him through a small
// command interface: four direction keys, the turn key, the use of the
// power-up at an inventory position, a mouse click and the hover test over
// the nine inventory icons at the top of the screen.
#pragma once

#include <cstdint>

#include "world/CElementAI.h"

class CSoundObject;
class CSprite;

class CElementAIProfessor : public CElementAI {
public:
    // Power-up kinds as the inventory holds them. A teleport enters the
    // inventory as its first portal; using it leaves the second portal.
    enum PowerupKind : int32_t {
        POWERUP_KIND_NONE = 0,
        POWERUP_KIND_CRATE = 1,
        POWERUP_KIND_BARREL = 2,
        POWERUP_KIND_MAGNET = 3,
        POWERUP_KIND_EMP = 4,
        POWERUP_KIND_FROSTGUN = 5,
        POWERUP_KIND_HEATGUN = 6,
        POWERUP_KIND_BRIDGE = 7,
        POWERUP_KIND_WHISTLE = 8,
        POWERUP_KIND_TELEPORT_BLUE = 9,  // 10: its second portal
        POWERUP_KIND_TELEPORT_YELLOW = 11,
        POWERUP_KIND_TELEPORT_RED = 13,
        POWERUP_KIND_LAST = 14,
    };

    // The animation states; the last two fall and land facing left.
    static constexpr int kStateCount = 59;
    static constexpr int kIdleState = 400;
    static constexpr int kIdleCount = 10;
    static constexpr int kInventorySize = 9;
    static constexpr int kIconKinds = 15;  // entry 0: the position's number
    // Frames an idle hero stands before an idle animation plays.
    static constexpr int kIdleFrames = 600;
    static constexpr int kRunSounds = 6;

    CElementAIProfessor(int x, int y);
    ~CElementAIProfessor() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;

    // ---- Commands ------------------------------------------------------------
    void KeyLeft(bool released);
    void KeyRight(bool released);
    void KeyUp(bool released);
    void KeyDown(bool released);
    void KeyTurn(bool released);
    // Uses the power-up at inventory position 0..8; any other position is
    // refused like an empty one.
    void UsePowerup(int position);
    // A left-button event at screen pixel (x, y).
    void MouseClick(int x, int y, bool released);
    // Which inventory icon is under the mouse pointer.
    void MouseHover();

    // ---- Inventory -------------------------------------------------------------
    // Takes the kind into the first empty position; false (and nothing
    // changes) when all nine are full.
    bool addPowerup(int kind);
    void removePowerup(int position);
    // Carries out the used power-up once its delay has run out.
    void handlePowerup();
    int GetInventory(int position) const;
    int GetHoveredPosition() const { return hoveredPosition; }
    bool IsMouseWalking() const { return mouseWalk != 0; }
    int GetMouseTargetX() const { return mouseTargetX; }
    int GetMouseTargetY() const { return mouseTargetY; }
    // The icon of a kind (0: the number) at a position; null outside.
    CSprite* GetIconSprite(int position, int kind) const;
    // Debug: the inventory and the power-up in use.
    void DumpPowerups() const;

    // ======================================================================
    // Fields.
    // ======================================================================
    CSprite* stateSprites[kStateCount] = {};
    CSprite* iconSprites[kInventorySize][kIconKinds] = {};
    CSprite* idleSprites[kIdleCount] = {};
    uint8_t tubeArrivalPlayed = 0;

    CSoundObject* soundTubeArrival = nullptr;
    CSoundObject* soundTubeDeparture = nullptr;
    CSoundObject* soundFrostgun = nullptr;
    CSoundObject* soundHeatgun = nullptr;
    CSoundObject* soundEmp = nullptr;
    CSoundObject* soundWhistle = nullptr;
    CSoundObject* soundInflate = nullptr;
    CSoundObject* soundFail = nullptr;
    CSoundObject* soundEmpElectricity = nullptr;
    CSoundObject* soundCaught = nullptr;
    CSoundObject* soundTrampoline = nullptr;
    CSoundObject* soundCrush = nullptr;
    CSoundObject* soundStuckIce = nullptr;
    CSoundObject* soundRun[kRunSounds] = {};
    int32_t lastRunSound = 0;
    int32_t runCounter = 8;
    // The climbing steps are the AI base's.

    uint8_t mouseWalk = 0;
    int32_t mouseTargetX = 0, mouseTargetY = 0;
    int32_t hoveredPosition = -1;

    uint8_t arriving = 1;        // still coming out of the entrance tube
    uint8_t exiting = 0;         // reached the exit tube
    uint8_t usingPowerup = 0;    // a power-up animation runs
    uint8_t idleAnimating = 0;
    uint8_t turnPending = 0;     // turn from facing the viewer back to his side
    uint8_t flingDone = 0;       // the trampoline fling has played
    uint8_t facingFront = 0;     // faces the viewer (EMP and whistle)
    uint8_t standingMiddle = 1;  // the front-facing stand of the level start

    int32_t idleCounter = 0;
    int32_t idleIndex = -1;

    int32_t inventory[kInventorySize] = {};

    int32_t activePowerup = 0;
    int32_t activePowerupDelay = 0;
    int32_t powerupTargetX = 0, powerupTargetY = 0;
    uint8_t powerupTargetFacingLeft = 0;

    // What undo keeps of the hero (see UndoFields.h), besides the level's
    // step count. Undo starts afresh: the arrival from the tube, the idle
    // animation and its count, the mouse walk and the hovered icon.
#define HERO_UNDO_FIELDS(F)                                                                                            \
    F(exiting, kUndoAndKey) F(usingPowerup, kUndoAndKey) F(turnPending, kUndo) F(flingDone, kUndo)                     \
    F(facingFront, kUndo) F(standingMiddle, kUndo) F(idleIndex, kUndo) F(inventory, kUndoAndKey)                       \
    F(activePowerup, kUndoAndKey) F(activePowerupDelay, kUndoAndKey) F(powerupTargetX, kUndo)                          \
    F(powerupTargetY, kUndo) F(powerupTargetFacingLeft, kUndo)
    struct HeroRecord {
        UNDO_RECORD_FIELDS(CElementAIProfessor, HERO_UNDO_FIELDS)
        int32_t stepCount = 0;
    };
    HeroRecord heroSaved[kUndoSlots];

private:
    void BuildStateSprites();
    void BuildIconSprites();
    void BuildIdleSprites();
    void CreateSounds();
    void FreeSounds();

    void DirectionKey(Key key, bool released);
    // A command that changes the world first asks for an undo step.
    void RequestUndoSave(bool released);
    bool IsDirectionKeyHeld() const;
    bool IsAnyKeyHeld() const;
    // The command stage of the update; false when the update skips the
    // facing step.
    bool RunCommands();
    void SteerMouseWalk();
    void CheckStun();
    bool CreatePowerupPiece(int kind);
    bool RefusePowerupTarget(int x, int y, bool ladderBlocks) const;

    void UpdateAnimation();
    // While the shown animation runs: the idle count and the flags a busy
    // hero drops.
    void PrepareRunning();
    // When the shown animation has ended; false when the frame ends there.
    bool FinishState();
    // The state by the first rule that holds; *play / *stop ask for the
    // sprite to run or hold still once it is shown.
    int ChooseState(bool* play, bool* stop);
    int ChooseMovingState(bool left);
    int ChooseStandingState(bool left, bool* stop);
    void ShowState(int state);
    void UpdateHeroSounds();
};
