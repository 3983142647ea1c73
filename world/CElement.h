// The base of everything that lives on the level grid: terrain, ladders,
// devices, movable objects, tutorial signs, the hero and the bots.
//
// CElement also owns the state the whole world shares: the 32 x 24 grid of
// element pointers (never empty: an empty cell holds the Null Element), the
// list of all elements in construction order (which is the update order of
// the world step), the list of elements spawned during play, the level-end
// flags, the undo ring and the cells heated in this heat pass. All of that is
// static: there is one world.
//
// One world step (UpdateWorld) moves every element a frame toward its target
// cell, spreads heat, checks whether a bot catches the hero, lets the magnets
// act, settles falling, squishing and sliding until nothing changes, runs
// every element's own update and ends the frame. The world's outcome depends
// only on the level and the hero's commands: nothing here reads a clock.
//
// Walks over allElements go by index and read the size again after every
// call, because updates append spawned elements while the walk runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CSpriteState.h"
#include "world/UndoFields.h"

class CProfile;
class CSoundObject;
class CSprite;
class CWorldDigest;

// Element kinds (the `type` field) and their subkinds.
enum ElementKind : int32_t {
    ELEMENT_NULL = 0,
    ELEMENT_TERRAIN = 2,
    ELEMENT_LADDER = 3,
    ELEMENT_DEVICE = 4,
    ELEMENT_OBJECT = 5,
    ELEMENT_AI = 6,
    ELEMENT_TUTORIAL = 8,
};
enum DeviceKind : int32_t {
    DEVICE_KIND_GUNSHOT = 1,
    DEVICE_KIND_GATE = 2,
    DEVICE_KIND_BUTTON = 3,
    DEVICE_KIND_TRAMPOLINE = 4,
    DEVICE_KIND_TUBE = 5,
    DEVICE_KIND_TELEPORT = 6,
    DEVICE_KIND_POWERUP = 7,
};
enum ObjectKind : int32_t { OBJECT_KIND_CRATE = 1, OBJECT_KIND_BARREL = 2, OBJECT_KIND_MAGNET = 3 };
enum TerrainKind : int32_t { TERRAIN_KIND_GRASS = 1, TERRAIN_KIND_ICE = 2, TERRAIN_KIND_SAND = 3, TERRAIN_KIND_BRIDGE = 4 };
enum AIKind : int32_t { AI_PROFESSOR = 1, AI_BOT = 2 };
// The ladder kind of a platform segment.
constexpr int32_t kLadderPlatform = 6;

// The six level-end flags, in their fixed order; the undo ring copies the
// first five by position.
enum LevelEndFlag {
    LEVELEND_TUBE_DESTROYED = 0,
    LEVELEND_FELL = 1,
    LEVELEND_SINGED = 2,
    LEVELEND_EXITING = 3,
    LEVELEND_CAUGHT = 4,
    LEVELEND_ENDED = 5,
    LEVELEND_COUNT = 6,
};

class CElement {
public:
    static constexpr int kGridWidth = 32;
    static constexpr int kGridHeight = 24;
    static constexpr int kGridCells = kGridWidth * kGridHeight;
    static constexpr int kCellSize = 24;
    static constexpr int kUndoSlots = 5;
    // Elements falling out of the level reach these rows below the grid.
    static constexpr int kLowestFallRow = 26;

    CElement(int x, int y, int createFlag);
    CElement(const CElement&) = delete;
    CElement& operator=(const CElement&) = delete;

    // ---- Virtual operations, in their fixed slot order ---------------------
    // 0: one frame of movement toward the current cell.
    virtual void StepMovement();
    // 1: does the chain of magnet holders on one side let start fall?
    virtual bool CanChainFall(CElement* start, CElement* link, bool leftSide);
    // 2: the fall test; ignoreBelow counts only a trampoline or a platform
    // below as support.
    virtual bool CanFall(bool ignoreBelow);
    // 3: the slide test.
    virtual bool CanSlide();
    // 4, 5: the ghost sprite and the element sounds go with the element.
    virtual ~CElement();
    // 6, 7: undo record k (0..4).
    virtual void SaveState(int k);
    virtual void RestoreState(int k);
    // 8: the teleport cuts the magnet links that run through its pair.
    virtual void CutMagnetLinks();
    // 9, 10: the cell; the previous one while a dynamic element moves.
    virtual int GetX();
    virtual int GetY();
    // 11: the element's own per-step update.
    virtual void Update();
    // 12..21: movement queries.
    virtual bool IsFacingLeft();
    virtual bool IsMoving();
    virtual bool IsMovingLeft();
    virtual bool IsMovingRight();
    virtual bool IsMovingUp();
    virtual bool IsMovingDown();
    virtual bool IsSlidingLeft();
    virtual bool IsSlidingRight();
    virtual bool IsOnSlipperySurface();
    virtual bool IsOnStickySurface();
    // 22..25: pushes; pushing the Null Element succeeds (an empty cell in
    // front is simply entered), pushing up or down is always refused.
    virtual bool PushRight(bool forced, bool fromTrampoline);
    virtual bool PushLeft(bool forced, bool fromTrampoline);
    virtual bool PushUp();
    virtual bool PushDown();
    // 26, 27: a neighbour bumped it; it slides on in the next slide check.
    virtual bool BumpedRight();
    virtual bool BumpedLeft();
    // 28: the bridge gives way.
    virtual void Break();
    // 29: own slide value; 30: the surface value offered to what stands on it.
    // Their sum is negative where things slide, positive where they stick.
    virtual int GetSlide();
    virtual int GetSurfaceFriction();
    // 31, 32: debug dumps.
    virtual void PrintState();
    virtual void PrintSprites();
    // 33: immune elements are left alone by cold, heat and magnets.
    virtual bool IsImmune();
    // 34: writes the element's part of the world digest from its live fields:
    // everything an undo step must bring back, and what tells two positions
    // at rest apart (see CWorldDigest).
    virtual void DescribeState(CWorldDigest* digest);

    // ---- Grid and lists ----------------------------------------------------
    // The element in a cell; the Null Element outside the grid, or for a
    // gunshot unless gunshots are asked for.
    static CElement* GetElementAt(int x, int y, bool includeGunshots = false);
    // Writes outside the grid are dropped.
    static void SetElementAt(int x, int y, CElement* element);
    // What a cell stores, as it is: no Null Element for an empty pointer or
    // a gunshot, null outside the grid. For the world's invariant check.
    static CElement* GetStoredAt(int x, int y) { return IsInsideGrid(x, y) ? grid[GridIndex(x, y)] : nullptr; }
    static void ClearElementAt(int x, int y);
    static bool IsOccupied(int x, int y, bool includeGunshots = false);
    static bool IsInsideGrid(int x, int y) { return x >= 0 && x < kGridWidth && y >= 0 && y < kGridHeight; }
    // The first element of allElements whose current or previous cell is
    // (x, y); the Null Element when that one is destroyed or a gunshot.
    static CElement* FindElementAt(int x, int y);
    static CElement* GetNullElement() { return nullElement; }
    static CElement* GetHero() { return hero; }
    static void SetHero(CElement* element) { hero = element; }
    static const std::vector<CElement*>& GetAllElements() { return allElements; }
    static const std::vector<CElement*>& GetSpawned() { return spawned; }
    static void RegisterSpawned(CElement* element);

    // ---- World -------------------------------------------------------------
    static void CreateNullElement();
    // An empty world: the elements of the one before (if still loaded) are
    // deleted, the undo steps and piece statics reset.
    static void ResetWorld();
    // Counts the resets: whoever built a world can tell whether it is still
    // the one standing.
    static uint32_t GetWorldGeneration() { return worldGeneration; }
    static void UpdateWorld();
    static void UnloadElements();
    static void EndFrame();
    static void UpdateSounds();
    static void UpdateTeleportGhost(CElement* element);
    // The profile whose step counter the hero's moves count into.
    static void SetProfile(CProfile* profile) { profile_ = profile; }
    static CProfile* GetProfile() { return profile_; }
    // The current level's step count: the profile's when one is set (the
    // game), else the world's own counter (the headless runner).
    static int32_t GetStepCount();
    static void SetStepCount(int32_t steps);
    static void IncrementStepCount();
    // The frame number that landings are stamped with (the display's frame
    // counter by default); the headless runner counts frames itself.
    using FrameFn = uint32_t (*)();
    static void SetFrameSource(FrameFn fn);
    static int32_t CurrentFrame();

    // ---- Level-end flags ---------------------------------------------------
    static bool IsLevelExited() { return levelEnd[LEVELEND_ENDED] != 0; }
    static bool IsProfessorExiting() { return levelEnd[LEVELEND_EXITING] != 0; }
    static bool IsProfessorSinged() { return levelEnd[LEVELEND_SINGED] != 0; }
    static bool IsProfessorFallen() { return levelEnd[LEVELEND_FELL] != 0; }
    static bool IsProfessorCaught() { return levelEnd[LEVELEND_CAUGHT] != 0; }
    static bool IsExitTubeDestroyed() { return levelEnd[LEVELEND_TUBE_DESTROYED] != 0; }
    static void ClearLevelExited() { levelEnd[LEVELEND_ENDED] = 0; }
    static void SetLevelEndFlag(LevelEndFlag flag, bool on) { levelEnd[flag] = on ? 1 : 0; }
    static bool GetLevelEndFlag(LevelEndFlag flag) { return levelEnd[flag] != 0; }

    // ---- Undo ring -----------------------------------------------------------
    static void SaveUndoStep();
    static void LoadUndoStep(bool force);
    static int GetUndoCount() { return undoCount; }
    static bool IsUndoSavePending() { return undoSavePending; }
    static void SetUndoSavePending(bool on) { undoSavePending = on; }
    // Told of every undo step saved (restored false) or restored (true), with
    // its slot in the ring, once the step is complete: for checks of undo.
    using UndoWatchFn = void (*)(int slot, bool restored);
    static void SetUndoWatcher(UndoWatchFn fn) { undoWatcher = fn; }

    // ---- Heat and cold -------------------------------------------------------
    static bool Freeze(CElement* element);
    static bool Heat(CElement* element, bool shotHit, bool recordCell);
    static bool UseDelayedHeat(CElement* element);
    static void HeatPass();
    static void SpreadTemperature(CElement* element);
    static bool WasHeatedThisPass(int x, int y);
    static void ClearHeatedCells();
    static void AddHeatedCell(int x, int y);

    // ---- World checks ------------------------------------------------------
    static bool InteractionPass();
    static bool FallingPass();
    static bool SlidingPass();
    static bool IsBarrelSquished(CElement* element);
    // The squish scan of the world step: true when a barrel was squished.
    static bool SquishPass();

    // ---- Movement ----------------------------------------------------------
    void MoveTo(int x, int y);
    // The slide value where it stands: its own value plus the surface value
    // of what is below (a trampoline or a platform offers none); 0 with
    // nothing below. Negative: it slides.
    int GetSlideTendency();
    bool IsSupported(bool previous);
    bool IsSomethingAbove(bool previous);
    // A cell is supported by a non-null element below it, a trampoline below
    // it or a ladder platform below it.
    static bool IsCellSupported(int x, int y);
    // The neighbour cell on a side, carried through a teleport pair when one
    // covers that side.
    static int GetSideXAt(int x, int y, bool leftSide, bool throughTeleports);
    static int GetSideYAt(int x, int y, bool leftSide, bool throughTeleports);
    int GetSideX(bool leftSide) { return GetSideXAt(x, y, leftSide, true); }
    int GetSideY(bool leftSide) { return GetSideYAt(x, y, leftSide, true); }
    int GetFacingSideX() { return GetSideX(facingLeft != 0); }
    int GetFacingSideY() { return GetSideY(facingLeft != 0); }
    // The element in the grid cell below (x, y); a gunshot reads as the Null
    // Element.
    static CElement* ElementBelow(int x, int y) { return GetElementAt(x, y + 1, false); }

    // ---- Kinds and flags ---------------------------------------------------
    bool IsNull() const { return type == ELEMENT_NULL; }
    bool IsTerrain() const { return type == ELEMENT_TERRAIN; }
    bool IsLadder() const { return type == ELEMENT_LADDER; }
    bool IsDevice() const { return type == ELEMENT_DEVICE; }
    bool IsObject() const { return type == ELEMENT_OBJECT; }
    bool IsAI() const { return type == ELEMENT_AI; }
    bool IsTutorial() const { return type == ELEMENT_TUTORIAL; }
    bool IsProfessor() const { return type == ELEMENT_AI && typeAI == AI_PROFESSOR; }
    bool IsBot() const { return type == ELEMENT_AI && typeAI == AI_BOT; }
    bool IsBridge() const { return type == ELEMENT_TERRAIN && typeTerrain == TERRAIN_KIND_BRIDGE; }
    bool IsGrass() const { return type == ELEMENT_TERRAIN && typeTerrain == TERRAIN_KIND_GRASS; }
    bool IsIce() const { return type == ELEMENT_TERRAIN && typeTerrain == TERRAIN_KIND_ICE; }
    bool IsSand() const { return type == ELEMENT_TERRAIN && typeTerrain == TERRAIN_KIND_SAND; }
    bool IsGunshot() const { return type == ELEMENT_DEVICE && typeDevice == DEVICE_KIND_GUNSHOT; }
    bool IsGate() const { return type == ELEMENT_DEVICE && typeDevice == DEVICE_KIND_GATE; }
    bool IsTeleport() const { return type == ELEMENT_DEVICE && typeDevice == DEVICE_KIND_TELEPORT; }
    bool IsCrate() const { return type == ELEMENT_OBJECT && typeObject == OBJECT_KIND_CRATE; }
    bool IsBarrel() const { return type == ELEMENT_OBJECT && typeObject == OBJECT_KIND_BARREL; }
    bool IsMagnet() const { return type == ELEMENT_OBJECT && typeObject == OBJECT_KIND_MAGNET; }
    bool IsLadderPlatformSegment() const { return type == ELEMENT_LADDER && typeLadder == kLadderPlatform; }
    bool IsMagnetOrientation1() const { return typeMagnet == 1; }
    bool IsMagnetOrientation2() const { return typeMagnet == 2; }
    bool IsFrozen() const { return FROZEN != 0; }
    bool IsHeated() const { return HEATED != 0; }
    bool IsBurnable() const { return burnable != 0; }
    bool IsMeltable() const { return meltable != 0; }
    bool BurstsWhenHeated() const { return bursts != 0; }
    bool IsDestroyed() const { return destroyed != 0; }
    bool HasGravity() const { return gravity != 0; }
    bool IsInflated() const { return inflated != 0; }
    bool IsMagnetHeld() const;
    bool IsAtRest() const { return pixelX == x * kCellSize && pixelY == y * kCellSize; }
    bool IsAtPrevious() const { return pixelX == prevX * kCellSize && pixelY == prevY * kCellSize; }
    bool IsNearlyAligned() const;
    bool IsAboutToFall();
    bool IsTrampSlidingRight() const { return TRAMP && WASMOVINGRIGHT; }
    bool IsTrampSlidingLeft() const { return TRAMP && WASMOVINGLEFT; }
    int GetCurrentX() const { return x; }
    int GetCurrentY() const { return y; }
    int GetPreviousX() const { return prevX; }
    int GetPreviousY() const { return prevY; }
    int GetPixelX() const { return pixelX; }
    int GetPixelY() const { return pixelY; }
    int GetCreateFlag() const { return createFlag; }
    uint8_t GetTrampolineFlagA() const { return trampolineA; }
    uint8_t GetTrampolineFlagB() const { return trampolineB; }
    const char* GetTypeName() const;
    CSprite* GetSprite() const { return sprite; }

    // ---- Magnet links ------------------------------------------------------
    CElement* GetMagnetHolder(bool leftSide) const { return leftSide ? magnetHolderA : magnetHolderB; }
    CElement* GetMagnetHolderA() const { return magnetHolderA; }
    CElement* GetMagnetHolderB() const { return magnetHolderB; }
    // side true sets the left-hand link (A), false the right-hand one (B).
    void SetMagnetHolder(CElement* holder, bool side);
    void ClearMagnetHolderA();
    void ClearMagnetHolderB();
    void ClearMagnetHolders(bool sideA, bool sideB);

    // ---- Riding and pushes by an AI standing on top ------------------------
    // direction non-zero: the first push byte set, the second cleared;
    // zero: the first cleared, the second set to value.
    void SetPushState(int direction, int value);
    // Clearing the ridden flag also clears both push bytes.
    void SetRidden(bool on);

    // ---- Sprites and sounds ------------------------------------------------
    static void LoadGlobalSprites();
    static void PlayFlash();
    void LoadSounds();
    void FreeSounds();
    void CreateEffectSprites(bool heatGlow, bool heatExplosion, bool steam, bool emp);
    void UpdateEffectSprites();
    void FreeEffectSprites();
    void UpdateSpritePosition();
    void DeleteGhostSprite();
    // A sprite taken out of use comes back as it was built: a passage
    // through a teleport cuts it, moves its origin and puts it behind the
    // portal.
    static void PutAway(CSprite* s);
    // Replaces one of the element sounds (the hero lands and bursts in his
    // own way); the old object is stopped and deleted.
    void ReplaceLandSound(const char* name);
    void ReplaceBurnSound(const char* name);

    // ---- Debug -------------------------------------------------------------
    static void DumpGrid();
    static void DumpAllSprites();

    // ======================================================================
    // Fields. Kind codes first, then sprites, positions and the flags that
    // movement, the world checks, heat and cold and undo work on; then what
    // undo keeps of them.
    // ======================================================================
    CSoundObject* soundStop = nullptr;
    CSoundObject* soundLand = nullptr;
    CSoundObject* soundIceSlide = nullptr;
    CSoundObject* soundSlide = nullptr;
    CSoundObject* soundRoll = nullptr;
    CSoundObject* soundBurn = nullptr;  // made with the explosion overlay
    CSoundObject* soundMelt = nullptr;  // made with the steam overlay

    int32_t type = ELEMENT_NULL;
    int32_t typeObject = 0;
    int32_t typeDevice = 0;
    int32_t typeAI = 0;
    int32_t typeTerrain = 0;
    int32_t typeLadder = 0;
    int32_t typeMagnet = 0;
    uint8_t spawnedFlag = 0;
    int32_t createFlag = 0;

    CSprite* lastShownSprite = nullptr;
    CSprite* spriteHeatGlow = nullptr;
    CSprite* spriteHeatExplosion = nullptr;
    CSprite* spriteSteam = nullptr;
    CSprite* spriteEMP = nullptr;
    CSprite* sprite = nullptr;  // the main sprite; its frame sets belong to subclasses
    CSprite* ghostSprite = nullptr;
    int32_t animationState = -1;

    int32_t x = 0, y = 0;          // current cell (the target while moving)
    int32_t prevX = 0, prevY = 0;  // where the current move started
    int32_t passageX = 0, passageY = 0;  // the cell a move aimed at before a teleport redirected it
    int32_t pixelX = 0, pixelY = 0;
    int32_t prevPixelX = 0, prevPixelY = 0;
    int32_t ghostPixelX = 0, ghostPixelY = 0;

    uint8_t MAGNETIC = 0;      // an active magnet
    uint8_t METALLIC = 0;      // magnets pull and hold it
    uint8_t bursts = 0;        // burning makes it burst (inflated things)
    uint8_t occupiesGrid = 0;  // MoveTo writes it into its new cell
    uint8_t gravity = 0;
    uint8_t slidable = 0;
    uint8_t dynamic = 0;       // takes part in movement: pushes and moving tests need it
    uint8_t freezable = 0;
    uint8_t heatable = 0;      // heat makes it HEATED (metal)
    uint8_t burnable = 0;      // heat burns it away
    uint8_t meltable = 0;      // heat melts it away
    uint8_t facingLeft = 0;
    uint8_t MOVING = 0;
    uint8_t FALLING = 0;
    uint8_t SLIDING = 0;
    uint8_t PUSHING = 0;
    uint8_t PUSHED = 0;
    uint8_t LANDING = 0;
    uint8_t inflated = 0;      // placed from (or reserved by) an inflatable power-up; heat passes it by
    uint8_t empActive = 0;     // the EMP overlay plays
    uint8_t destroyed = 0;     // burned or melted away
    uint8_t effectSilent = 0;  // the current heat effect plays no sound (a shot's heat)
    uint8_t FROZEN = 0;
    uint8_t steamActive = 0;   // melting: the steam overlay plays
    uint8_t thawing = 0;
    uint8_t HEATED = 0;
    uint8_t cooling = 0;
    uint8_t explosionActive = 0;  // burning: the explosion overlay plays
    uint8_t delayedHeat = 0;
    uint8_t inPassage = 0;     // passing through a teleport pair
    int32_t passageFrame = 0;
    uint8_t ridden = 0;        // an AI stands on it (a barrel it rolls)
    uint8_t pushDirLeft = 0, pushDirRight = 0;
    uint8_t WASMOVINGLEFT = 0, WASMOVINGRIGHT = 0, WASMOVINGUP = 0, WASMOVINGDOWN = 0;
    uint8_t supportedAtStart = 0;
    uint8_t landed = 0;        // landed in landingFrame
    int32_t landingFrame = -1;
    uint8_t skipSlideCheck = 0;
    uint8_t TRAMP = 0;         // stands in a trampoline cell
    uint8_t trampolineA = 1, trampolineB = 1;  // a trampoline may fling it left / right
    uint8_t leftTrampoline = 0;
    CElement* magnetHolderA = nullptr;  // holds it on its left-hand chain
    CElement* magnetHolderB = nullptr;  // holds it on its right-hand chain
    uint8_t caughtFromRight = 0;
    uint8_t caughtFromLeft = 0;

    // The fields every element keeps per undo step (see UndoFields.h); the
    // kind codes never change, the sprites come back in their own way and
    // the magnet links come back as the Null Element where they were empty.
#define ELEMENT_UNDO_FIELDS(F)                                                                                         \
    F(x, kUndoAndKey) F(y, kUndoAndKey) F(prevX, kUndo) F(prevY, kUndo) F(passageX, kUndo) F(passageY, kUndo)          \
    F(pixelX, kUndoAndKey) F(pixelY, kUndoAndKey) F(prevPixelX, kUndo) F(prevPixelY, kUndo) F(ghostPixelX, kUndo)      \
    F(ghostPixelY, kUndo) F(MAGNETIC, kUndoAndKey) F(METALLIC, kUndoAndKey) F(bursts, kUndoAndKey)                     \
    F(occupiesGrid, kUndoAndKey) F(gravity, kUndoAndKey) F(slidable, kUndoAndKey) F(dynamic, kUndoAndKey)              \
    F(freezable, kUndoAndKey) F(heatable, kUndoAndKey) F(burnable, kUndoAndKey) F(meltable, kUndoAndKey)               \
    F(facingLeft, kUndoAndFacing) F(MOVING, kUndoAndKey) F(FALLING, kUndoAndKey) F(SLIDING, kUndoAndKey)               \
    F(PUSHING, kUndo) F(PUSHED, kUndoAndKey) F(LANDING, kUndo) F(inflated, kUndoAndKey) F(empActive, kUndo)            \
    F(destroyed, kUndoAndKey) F(effectSilent, kUndo) F(FROZEN, kUndoAndKey) F(steamActive, kUndo)                      \
    F(thawing, kUndoAndKey) F(HEATED, kUndoAndKey) F(cooling, kUndoAndKey) F(explosionActive, kUndo)                   \
    F(delayedHeat, kUndoAndKey) F(inPassage, kUndoAndKey) F(passageFrame, kUndo) F(ridden, kUndoAndKey)                \
    F(pushDirLeft, kUndoAndKey) F(pushDirRight, kUndoAndKey) F(WASMOVINGLEFT, kUndoAndKey)                             \
    F(WASMOVINGRIGHT, kUndoAndKey) F(WASMOVINGUP, kUndo) F(WASMOVINGDOWN, kUndo) F(supportedAtStart, kUndo)            \
    F(landed, kUndo) F(landingFrame, kUndo) F(skipSlideCheck, kUndoAndKey) F(TRAMP, kUndoAndKey)                       \
    F(trampolineA, kUndoAndKey) F(trampolineB, kUndoAndKey) F(leftTrampoline, kUndoAndKey)                             \
    F(caughtFromRight, kUndoAndKey) F(caughtFromLeft, kUndoAndKey) F(animationState, kUndo)                            \
    F(magnetHolderA, kUndoAndKey) F(magnetHolderB, kUndoAndKey)
    struct Record {
        UNDO_RECORD_FIELDS(CElement, ELEMENT_UNDO_FIELDS)
        CSprite* sprite = nullptr;
        bool hasSpriteState = false;
        CSpriteState spriteState;
        CSprite* ghost = nullptr;  // owned copy, or none
    };
    Record saved[kUndoSlots];

protected:
    // Base save and restore of the fields every element keeps per step.
    void SaveBaseState(int k);
    void RestoreBaseState(int k);
    // The base fields' part of the world digest; mainSprite false leaves out
    // a main sprite that is only for show.
    void DescribeBaseState(CWorldDigest* digest, bool mainSprite);

    static CElement* grid[kGridCells];
    static CElement* nullElement;
    static CElement* hero;
    static std::vector<CElement*> allElements;
    static std::vector<CElement*> spawned;
    static uint8_t levelEnd[LEVELEND_COUNT];
    static bool justBuilt;
    static uint32_t worldGeneration;
    static CProfile* profile_;
    static int32_t ownStepCount;

    // Undo ring.
    static int32_t undoCount;
    static int32_t undoStart;
    static bool undoSavePending;
    static bool undoSkipOnce;
    static UndoWatchFn undoWatcher;

private:
    static int GridIndex(int x, int y) { return x * kGridHeight + y; }
    // The pushes and bumps of either side.
    bool PushToSide(bool left, bool forced, bool fromTrampoline);
    bool BumpedToSide(bool left);
    static void SettleFalling();
    static bool CheckAllFalling(CElement* e);
    static bool CheckAllSliding(CElement* e);
    static bool TransferHeat(CElement* source, int x, int y);
    static void CoolAfterTransfer(CElement* e);
    void UpdateOverlay(CSprite* overlay, uint8_t* active, CSoundObject* sound, bool destroyOnEnd);
    static void PlayLoopingFadeIn(CSoundObject* sound);
    static void FadeOutIfAudible(CSoundObject* sound);

    static CSprite* flashSprite;
    static CSoundObject* empSound;
    static bool globalSpritesLoaded;
    static std::vector<int32_t> heatedCells;  // x * kGridHeight + y of the cells heated this pass
    static FrameFn frameFn;
};
