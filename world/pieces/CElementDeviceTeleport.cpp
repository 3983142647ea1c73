#include "world/pieces/CElementDeviceTeleport.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CWorldDigest.h"
#include "world/pieces/CElementLadder.h"
#include "world/pieces/PieceSprites.h"

bool CElementDeviceTeleport::inUse = false;
std::vector<CElementDeviceTeleport*> CElementDeviceTeleport::pairs[TELEPORT_COLOURS];
std::vector<CElementDeviceTeleport*> CElementDeviceTeleport::savedPairs[kUndoSlots][TELEPORT_COLOURS];

namespace {

const int kTileW = 1;
const int kTileH = 2;
// Updates a glow stays on after CheckTeleport asked for it.
const int kGlowUpdates = 4;
// Updates between two steps of the spiral's fade back to idle.
const int kFadeStepUpdates = 3;
// A portal anchored below this row has fallen out of the level and stays.
const int kLowestStandingRow = 25;

const char* const kColourWord[TELEPORT_COLOURS] = {"blue", "yellow", "red"};
const char* const kColourTitle[TELEPORT_COLOURS] = {"Blue", "Yellow", "Red"};

// Debug names per colour; CSprite keeps the pointer, so they live for the
// whole program.
enum NameId {
    NAME_FRONT,
    NAME_FRONT_BREAK,
    NAME_BACK_INFLATED,
    NAME_BACK_BREAK_INFLATED,
    NAME_FRONT_INFLATED,
    NAME_FRONT_BREAK_INFLATED,
    NAME_INFLATION,
    NAME_IDLE,
    NAME_ACTIVE,
    NAME_FADE70,
    NAME_FADE50,
    NAME_FADE10,
    NAME_ON,
    NAME_OFF,
    NAME_GLOW_LEFT,
    NAME_GLOW_RIGHT,
    NAME_COUNT
};

const char* DebugName(int colour, NameId id) {
    static std::string names[TELEPORT_COLOURS][NAME_COUNT];
    static bool made = false;
    if (!made) {
        static const char* const kPatterns[NAME_COUNT] = {
            "Teleport Front (%s)",
            "Teleport Front Breaking (%s)",
            "Teleport Back - Inflated (%s)",
            "Teleport Back Breaking (%s,Inflated)",
            "Teleport Front - Inflated (%s)",
            "Teleport Front Breaking (%s,Inflated)",
            "Teleport Inflation (%s)",
            "Teleport Portal - Inactive (%s)",
            "Teleport Portal - Active (%s)",
            "Teleport Portal - Alpha-70 (%s)",
            "Teleport Portal - Alpha-50 (%s)",
            "Teleport Portal - Alpha-10 (%s)",
            "Teleport Portal - Enable (%s)",
            "Teleport Portal - Disable (%s)",
            "Teleport Glow Left (%s)",
            "Teleport Glow Right (%s)",
        };
        for (int c = 0; c < TELEPORT_COLOURS; ++c) {
            for (int n = 0; n < NAME_COUNT; ++n) {
                char buf[96];
                // The inflation animation names its colour in lower case.
                std::snprintf(buf, sizeof(buf), kPatterns[n], n == NAME_INFLATION ? kColourWord[c] : kColourTitle[c]);
                names[c][n] = buf;
            }
        }
        made = true;
    }
    return names[colour][id].c_str();
}

std::string Name(const char* a, const char* b = "", const char* c = "") { return std::string(a) + b + c; }


}  // namespace

// ---- Construction ----------------------------------------------------------

CElementDeviceTeleport::CElementDeviceTeleport(int x_, int y_, int colour_, bool inflated)
    : CElementDevice(x_, y_), colour(colour_ >= 0 && colour_ < TELEPORT_COLOURS ? colour_ : TELEPORT_BLUE) {
    inUse = true;
    LoadSprites(inflated);
    typeDevice = DEVICE_KIND_TELEPORT;
    pairs[colour].push_back(this);

    back.current = spriteBack;
    front.current = spriteFront;
    if (inflated) {
        // Made by the hero during play: undo to a step before it removes it.
        RegisterSpawned(this);
        sprite = spriteInflation;
        sprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        sprite->Play(true);
        portal.current = spirals[SPIRAL_ON];
        starting = true;
    } else {
        portal.current = spirals[SPIRAL_IDLE];
        for (CSprite* s : {back.current, front.current, portal.current}) s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    back.shown = back.current;
    front.shown = front.current;
    portal.shown = portal.current;
}

void CElementDeviceTeleport::LoadSprites(bool inflated) {
    const char* c = kColourWord[colour];
    if (inflated) {
        // No cache of the play screen holds the inflatable portal's pictures:
        // its sprites decode their own frames and release them when it goes.
        const bool shared = false;
        spriteBack = NewPieceSprite(-14, 46, LAYER_TELEPORT_BACK, 0, kTileW, kTileH,
                                    DebugName(colour, NAME_BACK_INFLATED), shared);
        spriteBack->AddFrame(Name("teleportinflatable_", c, "3back.png").c_str());
        spriteBackBreak = NewPieceSprite(-14, 46, LAYER_TELEPORT_BACK, 1, kTileW, kTileH,
                                         DebugName(colour, NAME_BACK_BREAK_INFLATED), shared);
        spriteBackBreak->AddFrames(Name("inflatableteleport_", c, "backbreak").c_str(), 0, 12, ".png", 1);
        spriteFront = NewPieceSprite(6, 48, LAYER_TELEPORT_FRONT, 0, kTileW, kTileH,
                                     DebugName(colour, NAME_FRONT_INFLATED), shared);
        spriteFront->AddFrame(Name("teleportinflatable_", c, "3front.png").c_str());
        spriteFrontBreak = NewPieceSprite(6, 48, LAYER_TELEPORT_FRONT, 1, kTileW, kTileH,
                                          DebugName(colour, NAME_FRONT_BREAK_INFLATED), shared);
        spriteFrontBreak->AddFrames(Name("inflatableteleport_", c, "frontbreak").c_str(), 0, 12, ".png", 1);
        spriteInflation =
            NewPieceSprite(8, 50, LAYER_TELEPORT_PORTAL, 2, kTileW, kTileH, DebugName(colour, NAME_INFLATION), shared);
        spriteInflation->AddFrames(Name("teleportinflatable_", c).c_str(), 0, 4, ".png", 1);
        spriteInflation->AddFrame(Name("teleportinflatable_", c, "3.png").c_str());
    } else {
        spriteBack = NewPieceSprite(-17, 45, LAYER_TELEPORT_BACK, 0, kTileW, kTileH, "Teleport Back");
        spriteBack->AddFrame("teleport_frameback.png");
        spriteBackBreak = NewPieceSprite(-17, 45, LAYER_TELEPORT_BACK, 1, kTileW, kTileH, "Teleport Back Breaking");
        spriteBackBreak->AddFrames("teleport_framebackbreak", 0, 12, ".png", 1);
        // The frame opens, holds, closes, and flickers once more.
        spriteFront = NewPieceSprite(6, 47, LAYER_TELEPORT_FRONT, 2, kTileW, kTileH, DebugName(colour, NAME_FRONT));
        for (int f : {0, 1, 2, 3, 4, 3, 2, 1, 0, 0, 0, 1, 2, 2, 2, 2, 1, 0}) {
            spriteFront->AddFrame((Name("teleport_frame", c) + std::to_string(f) + ".png").c_str());
        }
        spriteFrontBreak =
            NewPieceSprite(6, 47, LAYER_TELEPORT_FRONT, 1, kTileW, kTileH, DebugName(colour, NAME_FRONT_BREAK));
        spriteFrontBreak->AddFrames(Name("teleport_frame", c, "break").c_str(), 0, 12, ".png", 1);
    }

    struct SpiralLook {
        Spiral which;
        NameId name;
        const char* suffix;  // after "teleport_spiral<colour>"
        int delay;
    };
    const SpiralLook looks[] = {
        {SPIRAL_IDLE, NAME_IDLE, "_idle", 2},
        {SPIRAL_ACTIVE, NAME_ACTIVE, "", 1},
        {SPIRAL_FADE70, NAME_FADE70, "_70", 2},
        {SPIRAL_FADE50, NAME_FADE50, "_50", colour == TELEPORT_BLUE ? 1 : 2},
        {SPIRAL_FADE10, NAME_FADE10, "_10", 1},
    };
    for (const SpiralLook& look : looks) {
        CSprite* s =
            NewPieceSprite(-1, 43, LAYER_TELEPORT_PORTAL, look.delay, kTileW, kTileH, DebugName(colour, look.name));
        s->AddFrames(Name("teleport_spiral", c, look.suffix).c_str(), 0, 39, ".png", 1);
        s->SetLooping(true);
        s->Play(true);
        spirals[look.which] = s;
    }
    const std::string turnOn = Name("teleport_spiral", c, "turnon");
    CSprite* on = NewPieceSprite(3, 40, LAYER_TELEPORT_PORTAL, 2, kTileW, kTileH, DebugName(colour, NAME_ON));
    on->AddFrames(turnOn.c_str(), 0, 4, ".png", 1);
    // The yellow switch-on shows its last two pictures the other way round.
    const bool yellow = colour == TELEPORT_YELLOW;
    on->AddFrame((turnOn + (yellow ? "6" : "5") + "_faded.png").c_str());
    on->AddFrame((turnOn + (yellow ? "5" : "6") + "_faded.png").c_str());
    spirals[SPIRAL_ON] = on;
    CSprite* off = NewPieceSprite(2, 40, LAYER_TELEPORT_PORTAL, 2, kTileW, kTileH, DebugName(colour, NAME_OFF));
    off->AddFrames(turnOn.c_str(), 6, 0, ".png", 1);
    spirals[SPIRAL_OFF] = off;

    const std::string glow = Name("teleport_glow", c);
    glowSpriteLeft =
        NewPieceSprite(39, 65, LAYER_TELEPORT_GLOW_LEFT, 2, kTileW, kTileH, DebugName(colour, NAME_GLOW_LEFT));
    glowSpriteLeft->AddFrames(glow.c_str(), 0, 12, ".png", 1);
    glowSpriteRight =
        NewPieceSprite(13, 65, LAYER_TELEPORT_GLOW_RIGHT, 2, kTileW, kTileH, DebugName(colour, NAME_GLOW_RIGHT));
    glowSpriteRight->AddFrames(glow.c_str(), 0, 12, ".png", 1);

    for (CSprite* s : {spriteBack, spriteBackBreak, spriteFront, spriteFrontBreak, spriteInflation, glowSpriteLeft,
                       glowSpriteRight})
        if (s) s->SetPosition(pixelX, pixelY, false);
    for (CSprite* s : spirals) s->SetPosition(pixelX, pixelY, false);

    soundActivated = new CSoundObject("teleport_activated.ogg", false);
    soundPowerUp = new CSoundObject("teleport_powerup.ogg", false);
    soundPowerDown = new CSoundObject("teleport_powerdown.ogg", false);
}

CElementDeviceTeleport::~CElementDeviceTeleport() {
    DebugLog(DBG_DESTRUCT, "CElementDeviceTeleport:  Destroying teleport element at (%d,%d)...\n", x, y);
    DebugLog(DBG_DESTRUCT, "CElementDeviceTeleport:  Destroying local sprites...\n");
    // Undo deletes portals made after the step it restores: no list, not even
    // a saved one, may keep pointing at it.
    auto forget = [this](std::vector<CElementDeviceTeleport*>& list) {
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    };
    for (auto& list : pairs) forget(list);
    for (auto& slot : savedPairs)
        for (auto& list : slot) forget(list);

    sprite = nullptr;
    lastShownSprite = nullptr;
    for (CSprite** s : {&spriteBack, &spriteBackBreak, &spriteFront, &spriteFrontBreak, &spriteInflation,
                        &glowSpriteLeft, &glowSpriteRight})
        DeletePieceSprite(s);
    for (CSprite*& s : spirals) DeletePieceSprite(&s);
    for (CSoundObject** s : {&soundActivated, &soundPowerUp, &soundPowerDown}) {
        delete *s;
        *s = nullptr;
    }
}

// ---- Queries ---------------------------------------------------------------

bool CElementDeviceTeleport::IsPairUnusable(int colour) {
    if (colour < 0 || colour >= TELEPORT_COLOURS || pairs[colour].size() != 2) return true;
    for (CElementDeviceTeleport* p : pairs[colour]) {
        if (p->FALLING || p->IsMovingDown() || p->destroyed) return true;
    }
    return false;
}

const std::vector<CElementDeviceTeleport*>& CElementDeviceTeleport::GetPortals(int colour) {
    static const std::vector<CElementDeviceTeleport*> none;
    return colour >= 0 && colour < TELEPORT_COLOURS ? pairs[colour] : none;
}

CElementDeviceTeleport* CElementDeviceTeleport::FindPartner(int x, int y, bool side) {
    for (int c = 0; c < TELEPORT_COLOURS; ++c) {
        if (IsPairUnusable(c)) continue;
        CElementDeviceTeleport* first = pairs[c][0];
        CElementDeviceTeleport* second = pairs[c][1];
        if (first->x + side == x && first->y == y) return second;
        if (second->x + side == x && second->y == y) return first;
    }
    return nullptr;
}

CElement* CElementDeviceTeleport::GetPartner(int x, int y, bool side) { return FindPartner(x, y, side); }

CElementDeviceTeleport* CElementDeviceTeleport::FindCovering(int x, int y, bool side) {
    for (int c = 0; c < TELEPORT_COLOURS; ++c) {
        if (IsPairUnusable(c)) continue;
        for (CElementDeviceTeleport* p : pairs[c]) {
            if (p->x + side == x && (y == p->y || y == p->y - 1)) return p;
        }
    }
    return nullptr;
}

bool CElementDeviceTeleport::CheckTeleport(int x, int y, bool side, bool playSound, bool glow) {
    CElementDeviceTeleport* p = FindCovering(x, y, side);
    if (!p) return false;
    if (playSound) CSound::Play(p->soundActivated);
    if (glow) {
        const auto& list = pairs[p->colour];
        CElementDeviceTeleport* partner = list[0] == p ? list[1] : list[0];
        p->glowTimerRight = kGlowUpdates;
        partner->glowTimerLeft = kGlowUpdates;
    }
    return true;
}

bool CElementDeviceTeleport::IsTeleportBelow(int x, int y, bool side) {
    for (const auto& list : pairs) {
        for (CElementDeviceTeleport* p : list) {
            if (p->x + side == x && p->y == y + 1) return true;
        }
    }
    return false;
}

bool CElementDeviceTeleport::IsSupportedColumn(int c, int y) {
    return GetElementAt(c, y + 1, false)->IsTerrain() || CElementLadder::IsLadderPlatformAt(c, y + 1);
}

bool CElementDeviceTeleport::IsEmbeddedColumn(int c, int y) {
    CElement* e = GetElementAt(c, y, false);
    return e->IsTerrain() && !e->IsBridge();
}

bool CElementDeviceTeleport::CanPlaceAt(int x, int y, bool side) {
    // Never over another portal's column in either of the two rows.
    for (const auto& list : pairs) {
        for (CElementDeviceTeleport* p : list) {
            if (p->x + side == x && p->y >= y - 1 && p->y <= y + 1) return false;
        }
    }
    const int left = side ? x - 1 : x;
    const int right = left + 1;
    const bool supportedLeft = IsSupportedColumn(left, y);
    const bool supportedRight = IsSupportedColumn(right, y);
    if (supportedLeft && supportedRight) return true;
    if (supportedLeft) return !IsEmbeddedColumn(left, y);
    if (supportedRight) return !IsEmbeddedColumn(right, y);
    return false;
}

bool CElementDeviceTeleport::CanFall(bool /*ignoreBelow*/) {
    if (y > kLowestStandingRow) return false;
    const bool supportedLeft = IsSupportedColumn(x, y);
    const bool supportedRight = IsSupportedColumn(x + 1, y);
    return (!supportedLeft || IsEmbeddedColumn(x, y)) &&
           (!supportedRight || (IsEmbeddedColumn(x + 1, y) && !supportedLeft));
}

// ---- Per step ----------------------------------------------------------------

void CElementDeviceTeleport::Update() {
    // A portal that loses its footing breaks for good, and its pair with it.
    UpdateBreak();
    UpdateSprites();
}

bool CElementDeviceTeleport::UpdatePairGlow(int colour) {
    const auto& list = pairs[colour];
    if (list.size() != 2) return false;
    CElementDeviceTeleport* p0 = list[0];
    CElementDeviceTeleport* p1 = list[1];
    for (CElementDeviceTeleport* p : list) p->glowLeft = p->glowRight = false;

    // Something in a portal column (anchor row or the row above; gunshots
    // count) moving the given way.
    auto movingIn = [](int column, int row, bool right) {
        for (int r : {row, row - 1}) {
            CElement* e = GetElementAt(column, r, true);
            if (right ? e->IsMovingRight() : e->IsMovingLeft()) return true;
        }
        return false;
    };
    if (movingIn(p0->x, p0->y, true) || movingIn(p1->x + 1, p1->y, false)) p0->glowLeft = p1->glowRight = true;
    if (movingIn(p0->x + 1, p0->y, false) || movingIn(p1->x, p1->y, true)) p0->glowRight = p1->glowLeft = true;

    bool active = false;
    for (CElementDeviceTeleport* p : list) {
        if (p->glowTimerLeft > 0) {
            p->glowLeft = true;
            --p->glowTimerLeft;
        }
        if (p->glowTimerRight > 0) {
            p->glowRight = true;
            --p->glowTimerRight;
        }
        active = active || p->glowLeft || p->glowRight;
    }
    return active;
}

bool CElementDeviceTeleport::IsBreaking() const { return back.current == spriteBackBreak; }

void CElementDeviceTeleport::UpdateSprites() {
    // Inflated: the frame stands, and the spiral switches on once the pair is
    // usable (again, after it was switched off).
    if (spriteInflation && spriteInflation->IsFinished()) {
        spriteInflation->Hide();
        if (sprite == spriteInflation) sprite = nullptr;
        back.current->Show(prevPixelX, prevPixelY);
        front.current->Show(prevPixelX, prevPixelY);
        if (!IsPairUnusable(colour)) {
            if (IsSpiral(portal.current, SPIRAL_OFF)) portal.current = spirals[SPIRAL_ON];
            portal.current->Show(prevPixelX, prevPixelY);
            portal.current->Play(true);
        }
    }
    if (IsSpiral(portal.current, SPIRAL_ON) && portal.current->IsFinished()) {
        portal.current->Rewind();
        portal.current = spirals[SPIRAL_IDLE];
        portal.current->Show(prevPixelX, prevPixelY);
        starting = false;
    }
    for (CSprite* glow : {glowSpriteLeft, glowSpriteRight}) {
        if (glow->IsFinished()) {
            glow->Rewind();
            glow->Hide();
        }
    }
    if (spriteFront->IsFinished()) spriteFront->Rewind();

    if (destroyed) {
        portal.current->Hide();
        if (!IsBreaking()) {
            back.current = spriteBackBreak;
            front.current = spriteFrontBreak;
            for (CSprite* s : {back.current, front.current}) {
                s->Rewind();
                s->Play(true);
            }
        }
        if (spriteFrontBreak->IsFinished()) {
            back.current->Hide();
            front.current->Hide();
        }
    } else if (IsPairUnusable(colour)) {
        // Switched off: the spiral winds down once and stays hidden (a portal
        // still waiting to switch on keeps its switch-on spiral).
        if (!IsSpiral(portal.current, SPIRAL_ON) && !IsSpiral(portal.current, SPIRAL_OFF)) {
            portal.current = spirals[SPIRAL_OFF];
            portal.current->Rewind();
        }
        if (IsSpiral(portal.current, SPIRAL_OFF) && portal.current->IsFinished()) portal.current->Hide();
    } else if (UpdatePairGlow(colour)) {
        // Something passes: the frame holds open and the spiral spins fast.
        if (!spriteFront->IsStopped()) {
            const int f = spriteFront->GetFrame();
            if (f == 11 || f == 16) {
                spriteFront->SetFrame(1);
                holdCounter = 17;
            } else if ((f >= 7 && f <= 10) || f == 17) {
                spriteFront->SetFrame(0);
                holdCounter = 18;
            } else if (f >= 12 && f <= 15) {
                spriteFront->SetFrame(2);
                holdCounter = 16;
            }
        } else {
            holdCounter = 18;
        }
        spriteFront->Play(true);
        for (auto [on, glow] : {std::pair{glowLeft, glowSpriteLeft}, std::pair{glowRight, glowSpriteRight}}) {
            if (!on) continue;
            if (glow->GetFrame() > 7) glow->Rewind();
            glow->Show(prevPixelX, prevPixelY);
            glow->Play(true);
        }
        if (!IsSpiral(portal.current, SPIRAL_ACTIVE)) {
            spirals[SPIRAL_ACTIVE]->SetFrame(portal.current->GetFrame() / 2 + 1);
            portal.current = spirals[SPIRAL_ACTIVE];
        }
    } else {
        // Idle: after the hold, the spiral fades back to idle step by step.
        if (holdCounter > 0) --holdCounter;
        if (holdCounter == 0 && !IsSpiral(portal.current, SPIRAL_IDLE) && !IsSpiral(portal.current, SPIRAL_ON) &&
            !IsSpiral(portal.current, SPIRAL_OFF)) {
            holdCounter = kFadeStepUpdates;
            const int f = portal.current->GetFrame();
            CSprite* next = nullptr;
            int frame = f;
            if (IsSpiral(portal.current, SPIRAL_ACTIVE)) {
                next = spirals[SPIRAL_FADE10];
            } else if (IsSpiral(portal.current, SPIRAL_FADE10)) {
                next = spirals[SPIRAL_FADE50];
                frame = 2 * f;
            } else if (IsSpiral(portal.current, SPIRAL_FADE50)) {
                next = spirals[SPIRAL_FADE70];
            } else {
                next = spirals[SPIRAL_IDLE];
            }
            next->SetFrame(frame);
            portal.current = next;
        }
    }

    // Swap what is on screen (the spirals run on from the frame they were
    // given), then place everything at the portal.
    for (SpriteSlot* slot : {&back, &front, &portal}) slot->CatchUp(prevPixelX, prevPixelY, false);
    for (CSprite* s : {spriteBack, spriteBackBreak, spriteFront, spriteFrontBreak, spriteInflation, glowSpriteLeft,
                       glowSpriteRight})
        if (s) s->SetPosition(pixelX, pixelY, false);
    for (CSprite* s : spirals) s->SetPosition(pixelX, pixelY, false);

    for (auto [which, sound] : {std::pair{SPIRAL_ON, soundPowerUp}, std::pair{SPIRAL_OFF, soundPowerDown}}) {
        CSprite* s = spirals[which];
        if (portal.current == s && s->IsPlayingForward() && s->GetFrame() == 0 && !CSound::IsPlaying(sound))
            CSound::Play(sound);
    }
}

// ---- Undo ----------------------------------------------------------------------

void CElementDeviceTeleport::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementDeviceTeleport state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        Saved& s = savedState[k];
        UNDO_SAVE(s, TELEPORT_UNDO_FIELDS);
        s.back = back, s.front = front, s.portal = portal;
    }
    CElementDevice::SaveState(k);
}

void CElementDeviceTeleport::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementDeviceTeleport state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        const Saved& s = savedState[k];
        UNDO_RESTORE(s, TELEPORT_UNDO_FIELDS);
        glowTimerLeft = glowTimerRight = 0;
        back.Restore(s.back);
        front.Restore(s.front);
        // The spiral comes back spinning from where it is, unless the portal
        // was still switching on.
        if (portal.current != s.portal.current) {
            portal.current->Hide();
            portal.current->Rewind();
        }
        portal = s.portal;
        if (!starting) portal.current->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    CElementDevice::RestoreState(k);
}

// The look of each part is the sprite chosen: undo lets the spiral spin on
// from where it is.
void CElementDeviceTeleport::DescribeState(CWorldDigest* d) {
    UNDO_DESCRIBE(d, TELEPORT_UNDO_FIELDS);
    d->AddSprite("back", back.current, false);
    d->AddSprite("front", front.current, false);
    d->AddSprite("portal", portal.current, false);
    CElementDevice::DescribeState(d);
}

void CElementDeviceTeleport::PrintSprites() {
    PrintSpriteLine(back.current);
    PrintSpriteLine(front.current);
    PrintSpriteLine(portal.current);
}

// ---- Class-wide state ------------------------------------------------------------

void CElementDeviceTeleport::ResetStatics() {
    inUse = false;
    for (auto& list : pairs) list.clear();
    for (auto& slot : savedPairs)
        for (auto& list : slot) list.clear();
}

void CElementDeviceTeleport::SaveStatics(int k) {
    if (!inUse || k < 0 || k >= kUndoSlots) return;
    for (int c = 0; c < TELEPORT_COLOURS; ++c) savedPairs[k][c] = pairs[c];
}

void CElementDeviceTeleport::RestoreStatics(int k) {
    if (!inUse || k < 0 || k >= kUndoSlots) return;
    for (int c = 0; c < TELEPORT_COLOURS; ++c) pairs[c] = savedPairs[k][c];
}

void CElementDeviceTeleport::DescribeStatics(CWorldDigest* d) {
    d->BeginPart("teleports");
    static const char* const kNames[TELEPORT_COLOURS] = {"pairs[blue]", "pairs[yellow]", "pairs[red]"};
    for (int c = 0; c < TELEPORT_COLOURS; ++c) d->AddElements(kNames[c], pairs[c], CWorldDigest::kUndoAndKey);
}
