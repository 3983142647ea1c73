// Teleports: two-cell portals in coloured pairs (0 blue, 1 yellow, 2 red).
// What walks or is pushed into one portal of a pair comes out of the other.
// The movement code of the world asks this class for the partner portal and
// whether a usable pair covers a cell; the portals themselves move nothing.
//
// A portal's anchor (x, y) is its left column and lower row; it covers the
// columns x and x + 1 in the rows y - 1 and y. The side flag of every query
// picks the column: false the left column (x), true the right column (x + 1).
// A pair is usable only while its colour has exactly two portals and neither
// is falling or broken.
//
// Portals come from the level's teleport lists or, inflatable, from the
// hero's teleport power-up. Each portal draws a frame, a spiral that is idle,
// active (something passes) or fading back to idle, glows on the side things
// pass, and switches on or off as its pair becomes usable or not.
#pragma once

#include <vector>

#include "world/pieces/CElementDevice.h"
#include "world/pieces/PieceSprites.h"

class CSoundObject;
class CSprite;

// Teleport colours (note: not the buttons' order).
enum TeleportColour { TELEPORT_BLUE = 0, TELEPORT_YELLOW = 1, TELEPORT_RED = 2, TELEPORT_COLOURS = 3 };

class CElementDeviceTeleport : public CElementDevice {
public:
    CElementDeviceTeleport(int x, int y, int colour, bool inflated);
    ~CElementDeviceTeleport() override;

    // The portal's own fall test: it stands while either column is held up by
    // terrain or a ladder platform without terrain filling its own cell.
    bool CanFall(bool ignoreBelow) override;
    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    void PrintSprites() override;

    int GetColour() const { return colour; }
    bool IsInflatable() const { return spriteInflation != nullptr; }
    bool IsStarting() const { return starting; }
    bool IsGlowLeft() const { return glowLeft; }
    bool IsGlowRight() const { return glowRight; }
    int GetGlowTimerLeft() const { return glowTimerLeft; }
    int GetGlowTimerRight() const { return glowTimerRight; }
    // The spiral sprite in use (idle, active, a fade step, switching on or off).
    CSprite* GetPortalSprite() const { return portal.current; }
    CSprite* GetBackSprite() const { return back.current; }
    CSprite* GetFrontSprite() const { return front.current; }

    // ---- Queries of the world (static) ----------------------------------
    // The other portal of a usable pair when a portal's column on that side
    // is x and its anchor row is y; null otherwise. Colours are tried 0, 1, 2.
    static CElement* GetPartner(int x, int y, bool side);
    // True when a portal of a usable pair covers (x, y) on that side (anchor
    // row or the row above). With playSound the portal found plays its sound;
    // with glow it glows on its right and its partner on its left for a few
    // updates.
    static bool CheckTeleport(int x, int y, bool side, bool playSound, bool glow);
    // Whether the hero may open an inflatable portal anchored in row y whose
    // columns are (x - 1, x) for side true and (x, x + 1) for side false.
    static bool CanPlaceAt(int x, int y, bool side);
    // True when any portal, usable or not, has its column on that side at x
    // and its anchor row at y + 1.
    static bool IsTeleportBelow(int x, int y, bool side);
    static bool IsPairUnusable(int colour);
    // The portals of a colour in order of creation.
    static const std::vector<CElementDeviceTeleport*>& GetPortals(int colour);

    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
    static void DescribeStatics(CWorldDigest* digest);

private:
    // Spiral sprites: idle, active, the three fade steps back to idle, and
    // switching on and off.
    enum Spiral {
        SPIRAL_IDLE = 0,
        SPIRAL_ACTIVE,
        SPIRAL_FADE70,
        SPIRAL_FADE50,
        SPIRAL_FADE10,
        SPIRAL_ON,
        SPIRAL_OFF,
        SPIRALS
    };

    void LoadSprites(bool inflated);
    void UpdateSprites();
    // Sets the glow flags of the pair of a colour from what moves into either
    // portal and from the glow timers; true when the pair shows activity.
    static bool UpdatePairGlow(int colour);
    // The portal of a usable pair that covers (x, y) on that side, or null.
    static CElementDeviceTeleport* FindCovering(int x, int y, bool side);
    static CElementDeviceTeleport* FindPartner(int x, int y, bool side);
    // Terrain or a ladder platform right below (c, y); terrain other than a
    // bridge in (c, y) itself.
    static bool IsSupportedColumn(int c, int y);
    static bool IsEmbeddedColumn(int c, int y);
    bool IsBreaking() const;
    bool IsSpiral(CSprite* s, Spiral which) const { return s == spirals[which]; }

    int colour;
    int glowTimerLeft = 0, glowTimerRight = 0;
    bool glowLeft = false, glowRight = false;
    bool starting = false;
    int holdCounter = 0;

    CSprite* spriteBack = nullptr;
    CSprite* spriteBackBreak = nullptr;
    CSprite* spriteFront = nullptr;
    CSprite* spriteFrontBreak = nullptr;
    CSprite* spriteInflation = nullptr;
    CSprite* spirals[SPIRALS] = {};
    CSprite* glowSpriteLeft = nullptr;
    CSprite* glowSpriteRight = nullptr;

    SpriteSlot back, front, portal;

    CSoundObject* soundActivated = nullptr;
    CSoundObject* soundPowerUp = nullptr;
    CSoundObject* soundPowerDown = nullptr;

    // What undo keeps of a portal (see UndoFields.h) besides its look; undo
    // starts the glow timers afresh.
#define TELEPORT_UNDO_FIELDS(F)                                                                                        \
    F(starting, kUndoAndKey) F(glowLeft, kUndo) F(glowRight, kUndo) F(colour, kUndo) F(holdCounter, kUndo)
    struct Saved {
        UNDO_RECORD_FIELDS(CElementDeviceTeleport, TELEPORT_UNDO_FIELDS)
        SpriteSlot back, front, portal;
    };
    Saved savedState[kUndoSlots];

    static bool inUse;
    static std::vector<CElementDeviceTeleport*> pairs[TELEPORT_COLOURS];
    static std::vector<CElementDeviceTeleport*> savedPairs[kUndoSlots][TELEPORT_COLOURS];
};
