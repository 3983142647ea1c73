// The element that moves by itself: the base of the hero and the bots. It
// carries virtual keys (left, right, up, down, turn), which the hero's
// commands or a bot's chase set, and the movement primitives that turn a held
// key into a one-cell move: climbing a ladder, stepping down, and walking
// sideways with pushing, riding a rolling barrel, and refusing to step onto
// or walk into something hot.
#pragma once

#include <vector>

#include "world/CElement.h"

class CSoundObject;
class CSprite;

class CElementAI : public CElement {
public:
    enum Key { KEY_LEFT = 0, KEY_RIGHT = 1, KEY_UP = 2, KEY_DOWN = 3, KEY_TURN = 4, KEY_COUNT = 5 };
    static constexpr int kClimbSounds = 4;

    CElementAI(int x, int y);
    ~CElementAI() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    int GetSlide() override;
    int GetSurfaceFriction() override;
    void PrintState() override;

    // Movement primitives; each answers whether a move started.
    bool ClimbUp();
    bool MoveDown();
    bool MoveLeft();
    bool MoveRight();
    // The pure tests of the first two, with the same conditions.
    bool CanClimbUp();
    bool CanMoveDown();
    // Keeps the stood-on link in step with the element in the cell below.
    void UpdatePushedElement(CElement* below);
    // Tries the held keys in the order up, down, left, right; the first move
    // that starts wins.
    bool TryHeldMoves();
    bool IsKeyHeld(Key key) const { return KEYS[key] != 0; }
    void ClearKeys();

    static void DumpAll();
    static const std::vector<CElementAI*>& GetAIList() { return aiList; }

    uint8_t riding = 0;              // moving along on top of a barrel it rolls
    CElement* standingOn = nullptr;  // the barrel it stands on, else the Null Element
    uint8_t KEYS[KEY_COUNT] = {0, 0, 0, 0, 0};
    uint8_t heatWarningStep = 0;     // refused to step onto a hot element
    uint8_t heatWarningPush = 0;     // refused to walk into a hot element
    uint8_t STUN = 0;
    int32_t stunCount = 0;
    // The climbing steps, alike for the hero and the bots but for their names.
    CSoundObject* soundClimb[kClimbSounds] = {};
    int32_t lastClimbSound = 0;
    int32_t climbCounter = 2;

    // What undo keeps of an AI (see UndoFields.h). One knocked over by a load
    // on its head stays down: got up, a guard pinned under a crate would see
    // the hero for a frame and wake.
#define AI_UNDO_FIELDS(F) F(riding, kUndoAndKey) F(standingOn, kUndoAndKey) F(STUN, kUndo) F(stunCount, kUndo)
    struct AIRecord {
        UNDO_RECORD_FIELDS(CElementAI, AI_UNDO_FIELDS)
    };
    AIRecord aiSaved[kUndoSlots];

protected:
    // ---- What the hero and the bots do alike in their updates --------------
    // The stood-on link follows the element below while standing still; a
    // fall drops it (releaseOnFall: and the element left behind loses its
    // riding mark).
    void FollowStoodOn(bool releaseOnFall);
    // After the moves: with neither side key held, what it stands on is no
    // longer walked on; the pushing pose lasts only while a move goes on into
    // an occupied cell.
    void EndPushing();
    // Knocked over by something on its head: STUN with a stun count of 5
    // and the crush sound (unless it already plays), when not stunned yet;
    // otherwise the stun count is 0.
    void StunWhen(bool hitOnHead, CSoundObject* crushSound);
    // The poses the hero and the bots share while standing, in the states
    // of the class: without the side key, crawling held still under
    // something, the pose kept in a trampoline, else standing; with the key,
    // crawling under something. -1 when the key is held with nothing above:
    // the class's own rules decide.
    int ChooseStandingPose(bool keyHeld, int crawl, int stand, bool* stop);
    // Stunned with something above: the pose holds while the stun count runs
    // down, then the stun pose. -1 with nothing above.
    int ChooseStunnedPose(int stun);
    // Makes next (null: nothing changes) the main sprite. When it is not the
    // sprite on screen, that one is hidden, rewound and unclipped, and next
    // is shown where the element was last drawn and played from the start.
    void ShowSprite(CSprite* next);
    // The teleport ghost, then the main sprite at the pixel position, or cut
    // through the passage while one runs.
    void PlaceSprite();
    // The main sprite and the undo records pointed into sprite tables the
    // element has just deleted: they are forgotten, and the effect sprites
    // freed.
    void ForgetTableSprites();

    // ---- Sounds -------------------------------------------------------------
    static void PlayUnlessPlaying(CSoundObject* sound, int delayFrames = 0);
    // Plays one of a set of step sounds every period frames while stepping,
    // never the same one twice in a row; the counter starts again at its rest
    // value when the steps stop.
    static void StepSounds(bool stepping, int32_t* counter, int restValue, int period, int32_t* last,
                           CSoundObject* const* sounds, int count);
    // The climbing steps "<prefix>0.ogg" .. "<prefix>3.ogg".
    void CreateClimbSounds(const char* prefix);
    // One climbing step every sixth frame while climbing on a ladder.
    void PlayClimbSounds();
    // sounds[i] = "<prefix><first + i>.ogg" for i in 0..count-1.
    static void NewNumberedSounds(CSoundObject** sounds, int count, const char* prefix, int first);
    // Deletes each sound (null is fine) and clears its pointer.
    static void DeleteSounds(CSoundObject** sounds, int count);

private:
    bool MoveSideways(bool left);

    static std::vector<CElementAI*> aiList;
};
