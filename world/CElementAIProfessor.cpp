#include "world/CElementAIProfessor.h"

#include <algorithm>
#include <cstdio>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CElementAIBot.h"
#include "world/CWorldDigest.h"
#include "world/pieces/CElementDeviceGunshot.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementDeviceTrampoline.h"
#include "world/pieces/CElementDeviceTube.h"
#include "world/pieces/CElementLadder.h"
#include "world/pieces/CElementObjectBarrel.h"
#include "world/pieces/CElementObjectCrate.h"
#include "world/pieces/CElementObjectMagnet.h"
#include "world/pieces/CElementTerrainBridge.h"
#include "world/pieces/CElementTutorial.h"
#include "world/pieces/PieceSprites.h"

namespace {

// The hero's pictures are requested (and counted) by each sprite.
constexpr bool kSharedFrames = false;

// Frames a used power-up waits before it acts: the inflate and gun
// animations reach their moment sooner than the EMP and whistle, which first
// turn the hero toward the viewer.
constexpr int kPowerupDelay = 7;
constexpr int kPowerupDelayTurning = 17;

// Animation states (the table of stateSprites).
enum HeroState {
    ST_STAND_MIDDLE = 0,
    ST_STAND_LEFT = 1,
    ST_STAND_RIGHT = 2,
    ST_RUN_LEFT = 3,
    ST_RUN_RIGHT = 4,
    ST_CLIMB_DOWN = 5,
    ST_CLIMB_UP = 6,
    ST_FALL = 7,
    ST_PUSH_LEFT = 8,
    ST_PUSH_RIGHT = 9,
    ST_HOT_STEP_LEFT = 10,
    ST_HOT_STEP_RIGHT = 11,
    ST_HOT_PUSH_LEFT = 12,
    ST_HOT_PUSH_RIGHT = 13,
    ST_INFLATE_LEFT = 14,
    ST_INFLATE_RIGHT = 15,
    ST_INFLATE_STAND_LEFT = 16,
    ST_INFLATE_STAND_RIGHT = 17,
    ST_SLIDE_LEFT = 18,
    ST_UNCOOL_SLIDE_LEFT = 19,
    ST_SLIDE_RIGHT = 20,
    ST_UNCOOL_SLIDE_RIGHT = 21,
    ST_WHISTLE = 22,
    ST_EMP = 23,
    ST_FROSTGUN_LEFT = 24,
    ST_FROSTGUN_RIGHT = 25,
    ST_HEATGUN_LEFT = 26,
    ST_HEATGUN_RIGHT = 27,
    ST_TRAMP_ENTER_LEFT = 28,
    ST_TRAMP_ENTER_RIGHT = 29,
    ST_TRAMP_PUSH_LEFT = 30,
    ST_TRAMP_PUSH_RIGHT = 31,
    ST_FLING_RIGHT = 32,
    ST_FLING_LEFT = 33,
    ST_TRAMP_RECOVER = 34,
    ST_LAND = 35,
    ST_TUBE_ENTRANCE = 36,
    ST_TUBE_EXIT = 37,
    ST_LADDER_JUMP_LEFT = 38,
    ST_LADDER_JUMP_RIGHT = 39,
    ST_CAUGHT_ON_LEFT = 40,
    ST_CAUGHT_ON_RIGHT = 41,
    ST_BARREL_LEFT = 42,
    ST_BARREL_RIGHT = 43,
    ST_CRAWL_LEFT = 44,
    ST_CRAWL_RIGHT = 45,
    ST_STUN_LEFT = 46,
    ST_STUN_RIGHT = 47,
    ST_UNSTUN_LEFT = 48,
    ST_UNSTUN_RIGHT = 49,
    ST_TURN_LEFT = 50,
    ST_TURN_RIGHT = 51,
    ST_UNTURN_LEFT = 52,
    ST_UNTURN_RIGHT = 53,
    ST_FROZEN = 54,
    ST_SINGED = 55,
    ST_THAWING = 56,
    // He falls and lands facing the way he went: states 7 and 35 face right.
    ST_FALL_LEFT = 57,
    ST_LAND_LEFT = 58,
};

bool IsStandingState(int state) {
    return state == ST_STAND_MIDDLE || state == ST_STAND_LEFT || state == ST_STAND_RIGHT;
}

bool IsFirstPortal(int kind) {
    return kind == CElementAIProfessor::POWERUP_KIND_TELEPORT_BLUE ||
           kind == CElementAIProfessor::POWERUP_KIND_TELEPORT_YELLOW ||
           kind == CElementAIProfessor::POWERUP_KIND_TELEPORT_RED;
}

bool IsPortalKind(int kind) {
    return kind >= CElementAIProfessor::POWERUP_KIND_TELEPORT_BLUE && kind <= CElementAIProfessor::POWERUP_KIND_LAST;
}

bool IsInflatableKind(int kind) {
    return kind == CElementAIProfessor::POWERUP_KIND_CRATE || kind == CElementAIProfessor::POWERUP_KIND_BARREL ||
           kind == CElementAIProfessor::POWERUP_KIND_MAGNET;
}

CSprite* NewHeroSprite(int originX, int originY, const char* name, bool loops, SpriteLayer layer = LAYER_HERO,
                       int delay = 2) {
    CSprite* s = NewPieceSprite(originX, originY, layer, delay, 1, 1, name, kSharedFrames);
    s->SetLooping(loops);
    return s;
}

// "prefix" a..b "suffix", counting down when a > b.
void Run(CSprite* s, const char* prefix, int from, int to, const char* suffix = ".tga") {
    s->AddFrames(prefix, from, to, suffix, 1);
}

void Frame(CSprite* s, const char* prefix, int number, const char* suffix = ".tga", int count = 1) {
    AddNumberedFrame(s, prefix, number, suffix, count);
}

// The standing sprites: a breath in and out, then a blink.
void AddStandFrames(CSprite* s, const char* prefix) {
    Run(s, prefix, 0, 7);
    Frame(s, prefix, 8, ".tga", 4);
    Run(s, prefix, 7, 0);
    Frame(s, prefix, 9);
    Frame(s, prefix, 10, ".tga", 8);
    Frame(s, prefix, 9);
}

// The caught sprites: the struggle, then five shakes.
void AddCaughtFrames(CSprite* s, const char* prefix) {
    Run(s, prefix, 0, 27, ".png");
    for (int i = 0; i < 5; ++i) {
        Run(s, prefix, 28, 30, ".png");
        Run(s, prefix, 29, 27, ".png");
    }
}

// A second-portal icon: the portal pulses once.
void AddSecondPortalFrames(CSprite* s, const char* prefix) {
    static const char* const kPulse[] = {"", "b", "c", "d", "e", "d", "c", "b", ""};
    char name[64];
    for (const char* p : kPulse) {
        snprintf(name, sizeof(name), "%s3%s.png", prefix, p);
        s->AddFrame(name);
    }
}

struct KindIcon {
    const char* name;
    const char* prefix;
    const char* suffix;
    bool secondPortal;
};

const KindIcon kKindIcons[CElementAIProfessor::kIconKinds] = {
    {nullptr, nullptr, nullptr, false},
    {"Powerup Icon (crate)", "iconcrate", ".tga", false},
    {"Powerup Icon (barrel)", "iconbarrel", ".tga", false},
    {"Powerup Icon (magnet)", "iconmagnet", ".tga", false},
    {"Powerup Icon (emp)", "iconemp", ".tga", false},
    {"Powerup Icon (frostgun)", "iconfrostgun", ".tga", false},
    {"Powerup Icon (heatgun)", "iconheatgun", ".png", false},
    {"Powerup Icon (bridge)", "iconbridge", ".png", false},
    {"Powerup Icon (whistle)", "iconwhistle", ".tga", false},
    {"Powerup Icon (teleport_b2)", "iconteleportblue", ".png", false},
    {"Powerup Icon (teleport_b1)", "iconteleportblue", ".png", true},
    {"Powerup Icon (teleport_y2)", "iconteleportyellow", ".png", false},
    {"Powerup Icon (teleport_y1)", "iconteleportyellow", ".png", true},
    {"Powerup Icon (teleport_r2)", "iconteleportred", ".png", false},
    {"Powerup Icon (teleport_r1)", "iconteleportred", ".png", true},
};

const char* const kNumberIconNames[CElementAIProfessor::kInventorySize] = {
    "Powerup Icon (1)", "Powerup Icon (2)", "Powerup Icon (3)", "Powerup Icon (4)", "Powerup Icon (5)",
    "Powerup Icon (6)", "Powerup Icon (7)", "Powerup Icon (8)", "Powerup Icon (9)",
};
const char* const kNumberIconImages[CElementAIProfessor::kInventorySize] = {
    "iconone", "icontwo", "iconthree", "iconfour", "iconfive", "iconsix", "iconseven", "iconeight", "iconnine",
};

const char* PowerupName(int kind) {
    switch (kind) {
    case 0: return "None";
    case 1: return "Inflatable Crate";
    case 2: return "Inflatable Barrel";
    case 3: return "Inflatable Magnet";
    case 4: return "EMP";
    case 5: return "Frostgun";
    case 6: return "Heatgun";
    case 7: return "Bridge";
    case 8: return "WHISTLE";
    case 9: return "Teleport (Blue)";
    case 11: return "Teleport (Yellow)";
    case 13: return "Teleport (Red)";
    default: return "Unknown";
    }
}

}  // namespace

// ==========================================================================
// Construction and destruction
// ==========================================================================

CElementAIProfessor::CElementAIProfessor(int x, int y) : CElementAI(x, y) {
    BuildStateSprites();
    BuildIconSprites();
    BuildIdleSprites();
    CreateEffectSprites(true, true, true, false);
    CreateSounds();
    ReplaceLandSound("professor_land.ogg");
    ReplaceBurnSound("explode_heat_metal.ogg");

    SetHero(this);
    SetElementAt(x, y, this);

    mouseWalk = 0;
    mouseTargetX = mouseTargetY = 0;
    arriving = 1;
    exiting = usingPowerup = idleAnimating = turnPending = flingDone = facingFront = 0;
    standingMiddle = 1;
    inflated = 0;
    slidable = 0;
    burnable = 1;
    hoveredPosition = -1;
    activePowerup = activePowerupDelay = 0;
    for (int& kind : inventory) kind = POWERUP_KIND_NONE;
    for (int flag = LEVELEND_FELL; flag <= LEVELEND_ENDED; ++flag) SetLevelEndFlag(LevelEndFlag(flag), false);
    typeAI = AI_PROFESSOR;

    // The hero comes out of the entrance tube.
    animationState = ST_TUBE_ENTRANCE;
    sprite = stateSprites[ST_TUBE_ENTRANCE];
    sprite->SetPosition(pixelX, pixelY, false);
    sprite->Play(true);
    sprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    idleIndex = -1;
    idleCounter = 0;
    lastShownSprite = sprite;
}

CElementAIProfessor::~CElementAIProfessor() {
    DebugLog(DBG_DESTRUCT, "CElementAIProfessor:  Destroying professor element at (%d,%d)...\n", x, y);
    DebugLog(DBG_DESTRUCT, "CElementAIProfessor:  Destroying preloaded sprites...\n");
    for (CSprite*& s : stateSprites) DeletePieceSprite(&s);
    DebugLog(DBG_DESTRUCT, "CElementAIProfessor:  Destroying powerup sprites...\n");
    for (auto& position : iconSprites)
        for (CSprite*& s : position) DeletePieceSprite(&s);
    DebugLog(DBG_DESTRUCT, "CElementAIProfessor:  Destroying idle sprites...\n");
    for (CSprite*& s : idleSprites) DeletePieceSprite(&s);
    ForgetTableSprites();
    DebugLog(DBG_DESTRUCT, "CElementAIProfessor:  Destroying sounds...\n");
    FreeSounds();
    if (GetHero() == this) SetHero(nullptr);
}

void CElementAIProfessor::BuildStateSprites() {
    // Each origin is the one its pictures are drawn for: a picture that needs
    // room on the left for its pose has a larger origin x, so that the figure
    // keeps its place against the states before and after it.
    CSprite** t = stateSprites;
    t[0] = NewHeroSprite(15, 35, "Professor Standing Middle", true);
    AddStandFrames(t[0], "profstandmiddle");
    t[1] = NewHeroSprite(14, 35, "Professor Standing Left", true);
    AddStandFrames(t[1], "profstandleft");
    t[2] = NewHeroSprite(18, 35, "Professor Standing Right", true);
    AddStandFrames(t[2], "profstandright");
    t[3] = NewHeroSprite(17, 36, "Professor Running Left", true);
    Run(t[3], "profrunleft", 0, 9);
    t[4] = NewHeroSprite(17, 36, "Professor Running Right", true);
    Run(t[4], "profrunright", 0, 9);
    // Both climbs share their pictures' left edge: he hangs in the same place
    // on the ladder whichever way he goes.
    t[5] = NewHeroSprite(21, 31, "Professor Climbing Down", true);
    Run(t[5], "profclimbdown", 0, 2);
    Frame(t[5], "profclimbdown", 1);
    t[6] = NewHeroSprite(21, 25, "Professor Climbing Up", true);
    Run(t[6], "profclimbup", 0, 2);
    Frame(t[6], "profclimbup", 1);
    t[7] = NewHeroSprite(17, 28, "Professor Falling", true);
    Run(t[7], "proffall", 0, 5);
    t[57] = NewHeroSprite(17, 28, "Professor Falling Left", true);
    Run(t[57], "proffallleft", 0, 5);
    t[8] = NewHeroSprite(20, 30, "Professor Pushing Left", true);
    Run(t[8], "profpushleft", 0, 7);
    t[9] = NewHeroSprite(20, 30, "Professor Pushing Right", true);
    Run(t[9], "profpushright", 0, 7);
    t[10] = NewHeroSprite(20, 35, "Professor Hot Step Left", false);
    Run(t[10], "profhotstepleft", 0, 48, ".png");
    t[11] = NewHeroSprite(18, 36, "Professor Hot Step Right", false);
    Run(t[11], "profhotstepright", 0, 48, ".png");
    t[12] = NewHeroSprite(21, 37, "Professor Hot Push Left", false);
    Run(t[12], "profpushhotleft", 0, 32, ".png");
    t[13] = NewHeroSprite(19, 36, "Professor Hot Push Right", false);
    Run(t[13], "profpushhotright", 0, 32, ".png");
    t[14] = NewHeroSprite(32, 35, "Professor Inflating Left", false);
    Run(t[14], "profinflateleft", 0, 7);
    t[15] = NewHeroSprite(23, 36, "Professor Inflating Right", false);
    Run(t[15], "profinflateright", 0, 7);
    t[16] = NewHeroSprite(32, 35, "Professor Inflating Left (Stand)", false);
    Run(t[16], "profinflateleft", 8, 9);
    t[17] = NewHeroSprite(23, 36, "Professor Inflating Right (Stand)", false);
    Run(t[17], "profinflateright", 8, 9);
    t[18] = NewHeroSprite(17, 27, "Professor Sliding Left", true);
    Frame(t[18], "profslideleft", 0, ".tga", 12);
    Run(t[18], "profslideleft", 1, 2);
    Frame(t[18], "profslideleft", 3, ".tga", 8);
    Run(t[18], "profslideleft", 2, 1);
    t[19] = NewHeroSprite(19, 27, "Professor Uncool Sliding Left", true);
    Run(t[19], "profslideleftuncool", 0, 5);
    t[20] = NewHeroSprite(18, 29, "Professor Sliding Right", true);
    Frame(t[20], "profslideright", 0, ".tga", 3);
    Run(t[20], "profslideright", 1, 2);
    Frame(t[20], "profslideright", 3, ".tga", 8);
    Run(t[20], "profslideright", 2, 1);
    t[21] = NewHeroSprite(17, 29, "Professor Uncool Sliding Right", true);
    Run(t[21], "profsliderightuncool", 0, 5);
    t[22] = NewHeroSprite(19, 34, "Professor Blowing Whistle", false);
    Run(t[22], "profwhistle", 0, 8);
    t[23] = NewHeroSprite(15, 38, "Professor Activating EMP", false);
    Run(t[23], "profemp", 0, 10);
    t[24] = NewHeroSprite(24, 35, "Professor Firing Frostgun Left", false);
    Run(t[24], "profgunleft", 0, 10);
    t[25] = NewHeroSprite(20, 35, "Professor Firing Frostgun Right", false);
    Run(t[25], "profgunright", 0, 10);
    t[26] = NewHeroSprite(24, 35, "Professor Firing Heatgun Left", false);
    Run(t[26], "proffireheatgunleft", 0, 10, ".png");
    t[27] = NewHeroSprite(20, 35, "Professor Firing Heatgun Right", false);
    Run(t[27], "proffireheatgunright", 0, 10, ".png");
    t[28] = NewHeroSprite(20, 14, "Professor Entering Left into Trampoline", false);
    Run(t[28], "proftrampleft", 0, 6);
    t[29] = NewHeroSprite(18, 21, "Professor Entering Right into Trampoline", false);
    Run(t[29], "proftrampright", 0, 6);
    t[30] = NewHeroSprite(20, 14, "Professor Pushing Left into Trampoline", true);
    Run(t[30], "proftrampleft", 2, 6);
    t[31] = NewHeroSprite(18, 21, "Professor Pushing Right into Trampoline", true);
    Run(t[31], "proftrampright", 2, 6);
    t[32] = NewHeroSprite(18, 27, "Professor Flinging Right from Trampoline", false);
    Run(t[32], "proftrampflingright", 0, 8);
    t[33] = NewHeroSprite(18, 27, "Professor Flinging Left from Trampoline", false);
    Run(t[33], "proftrampflingleft", 0, 2);
    Run(t[33], "proftrampflingright", 3, 8);
    t[34] = NewHeroSprite(16, 29, "Professor Recovering from Trampoline", false);
    Run(t[34], "proftramprecover", 0, 7);
    t[35] = NewHeroSprite(18, 36, "Professor Landing", false);
    Run(t[35], "profland", 0, 5);
    t[58] = NewHeroSprite(18, 36, "Professor Landing Left", false);
    Run(t[58], "proflandleft", 0, 5);
    t[36] = NewHeroSprite(16, 39, "Professor Activating Tube Entrance", false);
    t[36]->AddFrame("tubeentrance0.png");
    Run(t[36], "tube", 21, 0);
    t[37] = NewHeroSprite(16, 39, "Professor Activating Tube Exit", false, LAYER_HERO_IN_TUBE);
    Run(t[37], "tube", 0, 21);
    t[37]->AddFrame("tubeexit0.png");
    t[38] = NewHeroSprite(16, 35, "Professor Jumping Ladder Left", true);
    Run(t[38], "profladderleft", 0, 3);
    Frame(t[38], "profladderleft", 3);
    t[39] = NewHeroSprite(17, 35, "Professor Jumping Ladder Right", true);
    Run(t[39], "profladderright", 0, 3);
    Frame(t[39], "profladderright", 3);
    t[40] = NewHeroSprite(37, 35, "Professor Caught on Left", false);
    AddCaughtFrames(t[40], "profcaughtleft");
    t[41] = NewHeroSprite(18, 34, "Professor Caught on Right", false);
    AddCaughtFrames(t[41], "profcaughtright");
    t[42] = NewHeroSprite(17, 35, "Professor Barrel Left", true);
    Run(t[42], "profbarrelleft", 0, 9);
    t[43] = NewHeroSprite(17, 35, "Professor Barrel Right", true);
    Run(t[43], "profbarrelright", 0, 9);
    t[44] = NewHeroSprite(20, 15, "Professor Crawl Left", true);
    Run(t[44], "profcrawlleft", 4, 5);
    Run(t[44], "profcrawlleft", 0, 3);
    t[45] = NewHeroSprite(23, 15, "Professor Crawl Right", true);
    Run(t[45], "profcrawlright", 4, 5);
    Run(t[45], "profcrawlright", 0, 3);
    t[46] = NewHeroSprite(17, 23, "Professor Stun Left", false, LAYER_HERO, 3);
    Run(t[46], "profstunleft", 0, 2);
    t[47] = NewHeroSprite(19, 23, "Professor Stun Right", false, LAYER_HERO, 3);
    Run(t[47], "profstunright", 0, 2);
    t[48] = NewHeroSprite(17, 23, "Professor Unstun Left", false, LAYER_HERO, 3);
    Run(t[48], "profstunleft", 2, 0);
    t[49] = NewHeroSprite(19, 23, "Professor Unstun Right", false, LAYER_HERO, 3);
    Run(t[49], "profstunright", 2, 0);
    t[50] = NewHeroSprite(15, 36, "Professor Turn Left", false);
    Run(t[50], "profturnleft", 0, 1);
    t[51] = NewHeroSprite(18, 36, "Professor Turn Right", false);
    Run(t[51], "profturnright", 0, 1);
    t[52] = NewHeroSprite(15, 36, "Professor Unturn Left", false);
    Run(t[52], "profturnleft", 1, 0);
    t[53] = NewHeroSprite(18, 36, "Professor Unturn Right", false);
    Run(t[53], "profturnright", 1, 0);
    t[54] = NewHeroSprite(19, 17, "Professor Freeze", false);
    t[54]->AddFrame("proffrozen0.tga");
    t[55] = NewHeroSprite(19, 25, "Professor Heat", false);
    Frame(t[55], "profsinged", 0, ".png", 20);
    Run(t[55], "profsinged", 0, 7, ".png");
    Frame(t[55], "profsinged", 7, ".png", 15);
    t[56] = NewHeroSprite(18, 36, "Professor Thawing", false);
    Run(t[56], "profthawing", 0, 4, ".png");
}

void CElementAIProfessor::BuildIconSprites() {
    // Every position has its own number and its own icon of each kind, so
    // that any kind can stand at any position.
    for (int p = 0; p < kInventorySize; ++p) {
        CSprite* number = new CSprite(LAYER_CL_TEXT, 2, kSharedFrames);
        number->SetName(kNumberIconNames[p]);
        Frame(number, kNumberIconImages[p], 0);
        Frame(number, kNumberIconImages[p], 1);
        Frame(number, kNumberIconImages[p], 0);
        // The number sits in the badge's lower right corner, off the plate's
        // pictogram: it overlaps only the rim.
        number->SetPosition(40 * p + 38, 34, false);
        iconSprites[p][0] = number;
        for (int kind = 1; kind < kIconKinds; ++kind) {
            const KindIcon& k = kKindIcons[kind];
            CSprite* icon = new CSprite(LAYER_CL_BUTTON, 2, kSharedFrames);
            icon->SetName(k.name);
            if (k.secondPortal) {
                AddSecondPortalFrames(icon, k.prefix);
                icon->Rewind();
            } else {
                Run(icon, k.prefix, 0, 4, k.suffix);
                Frame(icon, k.prefix, 3, k.suffix);
                icon->Finish();
            }
            icon->SetPosition(40 * p + 14, 10, false);
            iconSprites[p][kind] = icon;
        }
    }
}

void CElementAIProfessor::BuildIdleSprites() {
    CSprite** t = idleSprites;
    t[0] = NewHeroSprite(22, 36, "Professor Idling H", false);
    for (int i = 0; i < 3; ++i) Run(t[0], "profidleH", 0, 16, ".png");
    t[1] = NewHeroSprite(20, 32, "Professor Idling C", false);
    for (int i = 0; i < 4; ++i) {
        Run(t[1], "profidleC", 0, 4);
        Run(t[1], "profidleC", 3, 0);
        Run(t[1], "profidleC", 9, 12);
        Run(t[1], "profidleC", 11, 9);
    }
    Frame(t[1], "profidleC", 0);
    t[2] = NewHeroSprite(22, 34, "Professor Idling I", false);
    for (int i = 0; i < 3; ++i) Run(t[2], "profidleI", 0, 11, ".png");
    t[3] = NewHeroSprite(18, 36, "Professor Idling A", false);
    Run(t[3], "profidleA", 0, 3);
    for (int i = 0; i < 4; ++i) {
        Run(t[3], "profidleA", 4, 6);
        Run(t[3], "profidleA", 5, 4);
    }
    Run(t[3], "profidleA", 3, 0);
    t[4] = NewHeroSprite(16, 31, "Professor Idling J", false);
    for (int i = 0; i < 3; ++i) Run(t[4], "profidleJ", 0, 13, ".png");
    t[5] = NewHeroSprite(16, 38, "Professor Idling B", false);
    for (int i = 0; i < 3; ++i) Run(t[5], "profidleB", 0, 10);
    Frame(t[5], "profidleB", 0);
    t[6] = NewHeroSprite(26, 35, "Professor Idling F", false);
    Run(t[6], "profidleF", 0, 60);
    t[7] = NewHeroSprite(18, 37, "Professor Idling E", false);
    Run(t[7], "profidleE", 0, 22);
    t[8] = NewHeroSprite(18, 33, "Professor Idling D", false);
    for (int i = 0; i < 2; ++i) {
        Run(t[8], "profidleD", 0, 5);
        Run(t[8], "profidleD", 4, 0);
        Run(t[8], "profidleD", 11, 17);
        Run(t[8], "profidleD", 16, 11);
    }
    t[9] = NewHeroSprite(18, 35, "Professor Idling G", false);
    for (int i = 0; i < 3; ++i) {
        Frame(t[9], "profidleG", 2);
        Frame(t[9], "profidleG", 0);
        Frame(t[9], "profidleG", 1, ".tga", 2);
        Frame(t[9], "profidleG", 0);
        Run(t[9], "profidleG", 2, 6);
        Run(t[9], "profidleG", 6, 3);
    }
}

void CElementAIProfessor::CreateSounds() {
    soundTubeArrival = new CSoundObject("tube_arrival.ogg", false);
    soundTubeDeparture = new CSoundObject("tube_departure.ogg", false);
    soundFrostgun = new CSoundObject("powerup_frostgun.ogg", false);
    soundHeatgun = new CSoundObject("powerup_heatgun.ogg", false);
    soundEmp = new CSoundObject("powerup_emp.ogg", false);
    soundWhistle = new CSoundObject("powerup_whistle.ogg", false);
    soundInflate = new CSoundObject("powerup_inflate.ogg", false);
    soundFail = new CSoundObject("powerup_fail.ogg", false);
    soundEmpElectricity = new CSoundObject("emp_electricity.ogg", false);
    soundCaught = new CSoundObject("bot_catches_prof.ogg", false);
    soundTrampoline = new CSoundObject("professor_trampoline.ogg", false);
    soundCrush = new CSoundObject("professor_crush.ogg", false);
    soundStuckIce = new CSoundObject("stuck_ice.ogg", false);
    NewNumberedSounds(soundRun, kRunSounds, "professor_run", 0);
    lastRunSound = 0;
    runCounter = 8;
    CreateClimbSounds("professor_climb");
}

void CElementAIProfessor::FreeSounds() {
    CSoundObject** own[] = {&soundTubeArrival, &soundTubeDeparture, &soundFrostgun, &soundHeatgun,
                            &soundEmp,         &soundWhistle,       &soundInflate,  &soundFail,
                            &soundEmpElectricity, &soundCaught,     &soundTrampoline, &soundCrush,
                            &soundStuckIce};
    DebugLog(DBG_DESTRUCT, "PROFESSOR:  Delete sounds\n");
    for (CSoundObject** s : own) DeleteSounds(s, 1);
    DeleteSounds(soundRun, kRunSounds);
    DeleteSounds(soundClimb, kClimbSounds);
}

// ==========================================================================
// Undo
// ==========================================================================

void CElementAIProfessor::SaveState(int k) {
    if (k < 0 || k >= kUndoSlots) return;
    DebugLog(DBG_UNDO, "      %s:  Saving ElementAIProfessor state...\n", GetTypeName());
    HeroRecord& r = heroSaved[k];
    r.stepCount = GetStepCount();
    UNDO_SAVE(r, HERO_UNDO_FIELDS);
    CElementAI::SaveState(k);
}

void CElementAIProfessor::RestoreState(int k) {
    if (k < 0 || k >= kUndoSlots) return;
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementAIProfessor state...\n", GetTypeName());
    const HeroRecord& r = heroSaved[k];
    SetStepCount(r.stepCount);
    // The inventory's icons follow the positions that change.
    for (int p = 0; p < kInventorySize; ++p) {
        const int now = inventory[p];
        const int then = r.inventory[p];
        if (now == then) continue;
        if (now != POWERUP_KIND_NONE) iconSprites[p][now]->Hide();
        if (then != POWERUP_KIND_NONE) {
            iconSprites[p][0]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
            iconSprites[p][then]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        } else {
            iconSprites[p][0]->Hide();
        }
    }
    UNDO_RESTORE(r, HERO_UNDO_FIELDS);
    arriving = 0;
    idleAnimating = 0;
    idleCounter = 0;
    mouseWalk = 0;
    mouseTargetX = mouseTargetY = 0;
    hoveredPosition = -1;
    CElementAI::RestoreState(k);
    slidable = 1;
}

// Left out: the sounds' cadence. The arrival is in the key view only: undo
// ends it, but until it ends the hero takes no commands.
void CElementAIProfessor::DescribeState(CWorldDigest* d) {
    UNDO_DESCRIBE(d, HERO_UNDO_FIELDS);
    d->Field("arriving", arriving, CWorldDigest::kKey);
    CElementAI::DescribeState(d);
    // Undo ends the arrival, and with it the hero's hold in the tube: he
    // slides as he does once out of it.
    if (arriving) d->Replace("slidable", 1);
}

// ==========================================================================
// Commands
// ==========================================================================

bool CElementAIProfessor::IsDirectionKeyHeld() const {
    return KEYS[KEY_LEFT] || KEYS[KEY_RIGHT] || KEYS[KEY_UP] || KEYS[KEY_DOWN];
}

bool CElementAIProfessor::IsAnyKeyHeld() const { return IsDirectionKeyHeld() || KEYS[KEY_TURN]; }

void CElementAIProfessor::RequestUndoSave(bool released) {
    // Only the start of a command from rest is a step worth taking back: a
    // key pressed while another is held, or while the hero still moves,
    // continues the step already saved.
    if (released || IsDirectionKeyHeld() || MOVING || FALLING || FROZEN) return;
    if (!usingPowerup) {
        SaveUndoStep();
    } else {
        // The world is mid-power-up; the update saves once the hero is idle.
        SetUndoSavePending(true);
    }
}

void CElementAIProfessor::DirectionKey(Key key, bool released) {
    if (mouseWalk) {
        ClearKeys();
        mouseWalk = 0;
    }
    RequestUndoSave(released);
    KEYS[key] = released ? 0 : 1;
}

void CElementAIProfessor::KeyLeft(bool released) { DirectionKey(KEY_LEFT, released); }
void CElementAIProfessor::KeyRight(bool released) { DirectionKey(KEY_RIGHT, released); }
void CElementAIProfessor::KeyUp(bool released) { DirectionKey(KEY_UP, released); }
void CElementAIProfessor::KeyDown(bool released) { DirectionKey(KEY_DOWN, released); }

void CElementAIProfessor::KeyTurn(bool released) {
    KEYS[KEY_TURN] = released ? 0 : 1;
    if (released || usingPowerup || STUN || TRAMP) return;
    facingLeft = facingLeft ? 0 : 1;
    heatWarningStep = heatWarningPush = 0;
    if (IsStandingState(animationState)) turnPending = 1;
}

bool CElementAIProfessor::RefusePowerupTarget(int tx, int ty, bool ladderBlocks) const {
    // A piece placed outside the grid would never be part of the world.
    if (!IsInsideGrid(tx, ty)) return true;
    if (IsOccupied(tx, ty) || CElementDeviceTrampoline::IsTrampolineAt(tx, ty)) return true;
    return ladderBlocks && CElementLadder::IsLadderAt(tx, ty);
}

void CElementAIProfessor::UsePowerup(int position) {
    CSound::Play(soundFail);

    const bool inRange = position >= 0 && position < kInventorySize;
    const int kind = inRange ? inventory[position] : POWERUP_KIND_NONE;
    bool refused = kind == POWERUP_KIND_NONE || arriving || exiting || IsProfessorCaught() || TRAMP ||
                   leftTrampoline || flingDone || MOVING || usingPowerup || FROZEN || HEATED ||
                   !IsSupported(false) || ElementBelow(x, y)->IsMoving() || IsOccupied(x, y - 1);

    if (!refused) {
        RequestUndoSave(false);
        powerupTargetX = GetFacingSideX();
        powerupTargetY = GetFacingSideY();
        powerupTargetFacingLeft = facingLeft;

        if (IsInflatableKind(kind)) {
            refused = RefusePowerupTarget(powerupTargetX, powerupTargetY, false);
            if (!refused) {
                // The hero holds the cell until the piece inflates into it.
                SetElementAt(powerupTargetX, powerupTargetY, this);
                usingPowerup = 1;
                inflated = 1;
                activePowerupDelay = kPowerupDelay;
            }
        } else if (kind == POWERUP_KIND_EMP || kind == POWERUP_KIND_WHISTLE) {
            usingPowerup = 1;
            activePowerupDelay = kPowerupDelayTurning;
        } else if (kind == POWERUP_KIND_FROSTGUN || kind == POWERUP_KIND_HEATGUN) {
            usingPowerup = 1;
            activePowerupDelay = kPowerupDelay;
        } else if (kind == POWERUP_KIND_BRIDGE) {
            // The bridge starts below the neighbour cell and grows outward.
            ++powerupTargetY;
            refused = RefusePowerupTarget(powerupTargetX, powerupTargetY, true);
            if (!refused) {
                SetElementAt(powerupTargetX, powerupTargetY, this);
                usingPowerup = 1;
                inflated = 1;
                activePowerupDelay = kPowerupDelay;
                CSound::Play(soundInflate);
                CElementDeviceTeleport::CheckTeleport(x, y, facingLeft != 0, true, true);
            }
        } else if (IsPortalKind(kind)) {
            refused = !CElementDeviceTeleport::CanPlaceAt(x, y, facingLeft != 0);
            if (!refused) {
                usingPowerup = 1;
                inflated = 1;
                activePowerupDelay = kPowerupDelay;
                // The portal is two cells wide and opens around the hero.
                if (!facingLeft) {
                    powerupTargetX = x;
                    powerupTargetY = y;
                }
            }
        } else {
            refused = true;
        }
        if (!refused && (IsInflatableKind(kind) || IsPortalKind(kind))) CSound::Play(soundInflate);
    }

    if (refused) {
        DebugLog(DBG_DEBUG, "CElementAIProfessor:  Cannot create powerup %d...\n", position);
        return;
    }
    DebugLog(DBG_DEBUG, "CElementAIProfessor:  Using powerup %d...\n", position);
    activePowerup = kind;
    DebugLog(DBG_DEBUG, "CElementAIProfessor:  Removing powerup %d from inventory...\n", position);
    removePowerup(position);
    CSound::StopChannel(soundFail);
}

void CElementAIProfessor::MouseClick(int px, int py, bool released) {
    if (hoveredPosition != -1) {
        if (!released) UsePowerup(hoveredPosition);
        return;
    }
    if (!released) {
        RequestUndoSave(false);
        mouseWalk = 1;
        mouseTargetX = std::min(std::max((px - 15) / kCellSize, 0), kGridWidth - 1);
        mouseTargetY = std::min(std::max((py - 15) / kCellSize, 0), kGridHeight - 1);
    } else if (riding && mouseWalk) {
        ClearKeys();
        mouseWalk = 0;
    }
}

void CElementAIProfessor::MouseHover() {
    hoveredPosition = -1;
    for (int p = 0; p < kInventorySize; ++p) {
        if (inventory[p] == POWERUP_KIND_NONE) continue;
        CSprite* icon = iconSprites[p][inventory[p]];
        if (icon->IsMouseOver(0, 0)) {
            if (icon->IsStopped()) icon->SetFrame(4);
            hoveredPosition = p;
        } else if (icon->IsStopped()) {
            icon->SetFrame(icon->GetFrameCount() - 1);
        }
    }
}

// ==========================================================================
// Inventory and power-ups
// ==========================================================================

int CElementAIProfessor::GetInventory(int position) const {
    return position >= 0 && position < kInventorySize ? inventory[position] : POWERUP_KIND_NONE;
}

CSprite* CElementAIProfessor::GetIconSprite(int position, int kind) const {
    if (position < 0 || position >= kInventorySize || kind < 0 || kind >= kIconKinds) return nullptr;
    return iconSprites[position][kind];
}

bool CElementAIProfessor::addPowerup(int kind) {
    if (kind <= POWERUP_KIND_NONE || kind > POWERUP_KIND_LAST) return false;
    for (int p = 0; p < kInventorySize; ++p) {
        if (inventory[p] != POWERUP_KIND_NONE) continue;
        DebugLog(DBG_DEBUG, "CElementAIProfessor::addPowerup()   Adding powerup %i to position %i\n", kind, p);
        inventory[p] = kind;
        CSprite* number = iconSprites[p][0];
        DebugLog(DBG_DEBUG, "CElementAIProfessor::addPowerup()   Displaying powerup icon number '%s'\n",
                 number->GetName());
        number->Rewind();
        number->Play(true);
        number->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        CSprite* icon = iconSprites[p][kind];
        DebugLog(DBG_DEBUG, "CElementAIProfessor::addPowerup()   Displaying powerup icon '%s'\n", icon->GetName());
        icon->Rewind();
        icon->Play(true);
        icon->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        return true;
    }
    return false;
}

void CElementAIProfessor::removePowerup(int position) {
    if (position < 0 || position >= kInventorySize || inventory[position] == POWERUP_KIND_NONE) return;
    const int kind = inventory[position];
    if (IsFirstPortal(kind)) {
        // The first portal is out; the second stays to be placed.
        iconSprites[position][kind]->Hide();
        inventory[position] = kind + 1;
        CSprite* second = iconSprites[position][kind + 1];
        second->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        second->Play(true);
        return;
    }
    for (int p = position; p < kInventorySize && inventory[p] != POWERUP_KIND_NONE; ++p) {
        DebugLog(DBG_DEBUG, "elementDynamicAIProfessor::removePowerup()   Hiding old powerup icon at position %i\n", p);
        iconSprites[p][inventory[p]]->Hide();
        if (p < kInventorySize - 1) {
            DebugLog(DBG_DEBUG, "elementDynamicAIProfessor::removePowerup()   Shift in powerup from right (%i <- %i)\n",
                     p, p + 1);
            inventory[p] = inventory[p + 1];
        } else {
            DebugLog(DBG_DEBUG, "elementDynamicAIProfessor::removePowerup()   Shift in EMPTY powerup at position %i\n", p);
            inventory[p] = POWERUP_KIND_NONE;
        }
        if (inventory[p] == POWERUP_KIND_NONE) {
            DebugLog(DBG_DEBUG, "elementDynamicAIProfessor::removePowerup()   Hiding powerup number at position %i\n", p);
            iconSprites[p][0]->Hide();
        } else {
            DebugLog(DBG_DEBUG, "elementDynamicAIProfessor::removePowerup()   Unhiding new powerup icon at position %i\n",
                     p);
            iconSprites[p][inventory[p]]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        }
    }
}

void CElementAIProfessor::handlePowerup() {
    if (activePowerup == POWERUP_KIND_NONE) return;
    if (activePowerupDelay > 0) {
        DebugLog(DBG_DEBUG, "DEBUG.  handlePowerup():  Waiting for powerup delay...%d\n", activePowerupDelay);
        --activePowerupDelay;
        return;
    }
    switch (activePowerup) {
    case POWERUP_KIND_CRATE:
        DebugLog(DBG_DEBUG, "CElementAIProfessor::handlePowerup:  Crate inflated!\n");
        break;
    case POWERUP_KIND_BARREL:
        DebugLog(DBG_DEBUG, "CElementAIProfessor::handlePowerup:  Barrel inflated!\n");
        break;
    case POWERUP_KIND_MAGNET:
        DebugLog(DBG_DEBUG, "CElementAIProfessor::handlePowerup:  Magnet inflated!\n");
        break;
    case POWERUP_KIND_EMP:
        DebugLog(DBG_DEBUG, "CElementAIProfessor::handlePowerup:  EMP Activated!\n");
        break;
    case POWERUP_KIND_FROSTGUN:
        DebugLog(DBG_DEBUG, "CElementAIProfessor::handlePowerup:  Frostgun fired!\n");
        break;
    case POWERUP_KIND_HEATGUN:
        DebugLog(DBG_DEBUG, "CElementAIProfessor::handlePowerup:  Heatgun fired!\n");
        break;
    case POWERUP_KIND_BRIDGE:
        DebugLog(DBG_DEBUG, "CElementAIProfessor::handlePowerup:  Bridge building at (%i,%i)!\n", powerupTargetX,
                 powerupTargetY);
        break;
    case POWERUP_KIND_WHISTLE:
        DebugLog(DBG_DEBUG, "CElementAIProfessor::handlePowerup:  Whistle Activated!\n");
        break;
    default:
        if (IsPortalKind(activePowerup)) {
            DebugLog(DBG_DEBUG, "CElementAIProfessor::handlePowerup:  Teleport (type %i) inflated!\n", activePowerup);
        }
        break;
    }
    const bool bridgeGoesOn = CreatePowerupPiece(activePowerup);
    if (!bridgeGoesOn) activePowerup = POWERUP_KIND_NONE;
}

// Makes what the active power-up creates at the target. True only while a
// bridge has more pieces to lay (one per frame).
bool CElementAIProfessor::CreatePowerupPiece(int kind) {
    const int tx = powerupTargetX, ty = powerupTargetY;
    const bool left = powerupTargetFacingLeft != 0;
    // The cell the hero held for the piece is handed over to it.
    if (GetElementAt(tx, ty) == this && (tx != x || ty != y)) ClearElementAt(tx, ty);

    switch (kind) {
    case POWERUP_KIND_CRATE:
        new CElementObjectCrate(tx, ty, CElementObjectCrate::INFLATED, 0, left);
        break;
    case POWERUP_KIND_BARREL:
        new CElementObjectBarrel(tx, ty, CElementObjectBarrel::INFLATED, 0, left);
        break;
    case POWERUP_KIND_MAGNET:
        new CElementObjectMagnet(tx, ty, 1, 0, left);
        break;
    case POWERUP_KIND_FROSTGUN:
    case POWERUP_KIND_HEATGUN: {
        const bool frost = kind == POWERUP_KIND_FROSTGUN;
        new CElementDeviceGunshot(tx, ty, frost ? CElementDeviceGunshot::KIND_FROST : CElementDeviceGunshot::KIND_HEAT,
                                  left);
        CSound::Play(frost ? soundFrostgun : soundHeatgun);
        break;
    }
    case POWERUP_KIND_EMP:
        CElementObjectMagnet::ActivateEMP();
        CElementAIBot::EmpAll();
        CSound::Play(soundEmp);
        CSound::Play(soundEmpElectricity);
        return false;
    case POWERUP_KIND_WHISTLE:
        CElementAIBot::ActivateAll();
        CSound::Play(soundWhistle);
        return false;
    case POWERUP_KIND_BRIDGE: {
        new CElementTerrainBridge(tx, ty, true, 0, left);
        CElementDeviceTeleport::CheckTeleport(tx, ty, left, true, true);
        // The next piece goes on outward until something is in the way.
        const int nx = GetSideXAt(tx, ty, left, true);
        const int ny = GetSideYAt(tx, ty, left, true);
        if (nx < 0 || nx >= kGridWidth || IsOccupied(nx, ny) || CElementDeviceTrampoline::IsTrampolineAt(nx, ny) ||
            CElementLadder::IsLadderAt(nx, ny)) {
            inflated = 0;
            return false;
        }
        powerupTargetX = nx;
        powerupTargetY = ny;
        return true;
    }
    default:
        if (!IsPortalKind(kind)) return false;
        // Kinds 9 and 10 open the blue pair, 11 and 12 the yellow, 13 and 14
        // the red.
        new CElementDeviceTeleport(tx, ty, (kind - POWERUP_KIND_TELEPORT_BLUE) / 2, true);
        return false;
    }
    // What he made may stand in a portal beside him: the pair lights up.
    CElementDeviceTeleport::CheckTeleport(x, y, facingLeft != 0, true, true);
    return false;
}

void CElementAIProfessor::DumpPowerups() const {
    DebugLog(DBG_DEBUG, "--------------------------------\n");
    DebugLog(DBG_DEBUG, "List of Powerups\n");
    DebugLog(DBG_DEBUG, "--------------------------------\n");
    for (int p = 0; p < kInventorySize; ++p) DebugLog(DBG_DEBUG, "   %d:  %s\n", p + 1, PowerupName(inventory[p]));
    DebugLog(DBG_DEBUG, "--------------------------------\n");
    DebugLog(DBG_DEBUG, "usingPowerup       = %d\n", usingPowerup);
    DebugLog(DBG_DEBUG, "activePowerup      = %d\n", activePowerup);
    DebugLog(DBG_DEBUG, "activePowerupDelay = %d\n", activePowerupDelay);
}

// ==========================================================================
// The per-frame update
// ==========================================================================

void CElementAIProfessor::Update() {
    if (FROZEN) trampolineA = trampolineB = 1;
    if (MOVING) STUN = 0;
    // A teleport passage takes the hero somewhere the mouse did not point.
    if (mouseWalk && inPassage) {
        ClearKeys();
        mouseWalk = 0;
    }

    if (IsNearlyAligned() && CElementDevicePowerup::IsPowerupAt(x, y)) {
        const int kind = CElementDevicePowerup::GetPowerupKindAt(x, y);
        DebugLog(DBG_DEBUG, "Powerup Found:  %i\n", kind);
        if (addPowerup(kind)) CElementDevicePowerup::Collect(x, y);
    }
    // In the exit tube no slide may carry him off again.
    if (IsNearlyAligned() && !FROZEN && CElementDeviceTube::IsExitTube(x, y)) skipSlideCheck = 1;

    // A fall only forgets what he stood on: a barrel keeps its riding mark
    // for him to land on.
    FollowStoodOn(false);
    handlePowerup();

    bool faceByKeys = false;
    if (IsLevelExited()) {
        if (GetElementAt(x, y) == this) ClearElementAt(x, y);
    } else if (!arriving && !exiting) {
        faceByKeys = RunCommands();
    } else {
        faceByKeys = !usingPowerup;
    }

    if (faceByKeys && !FROZEN && !TRAMP) {
        if (KEYS[KEY_LEFT]) facingLeft = 1;
        if (KEYS[KEY_RIGHT]) facingLeft = 0;
    }

    EndPushing();
    if (!MOVING && (KEYS[KEY_LEFT] || KEYS[KEY_RIGHT]) && !ElementBelow(x, y)->IsNull()) {
        WASMOVINGUP = 0;
        WASMOVINGDOWN = 0;
    }

    UpdateAnimation();
    UpdateHeroSounds();
    CElementTutorial::HandleTutorial(x, y);
}

bool CElementAIProfessor::RunCommands() {
    if (usingPowerup || FROZEN) return false;
    if (MOVING || HEATED || leftTrampoline) return true;

    if (IsUndoSavePending()) {
        if (IsAnyKeyHeld()) SaveUndoStep();
        SetUndoSavePending(false);
    }
    // A bot catches him only while he stands on a cell, and in the same frame
    // before he could set off again: caught, he stays in that cell beside the
    // bot, whatever key he still holds, also on the exit tube, until the
    // level ends or an undo takes the catch back.
    if (IsProfessorCaught()) return false;
    if (CElementDeviceTube::IsExitTube(x, y)) {
        dynamic = 0;
        exiting = 1;
        return false;
    }
    if (y >= kLowestFallRow) {
        SetLevelEndFlag(LEVELEND_FELL, true);
        SetLevelEndFlag(LEVELEND_ENDED, true);
        return false;
    }
    if (mouseWalk) SteerMouseWalk();
    CheckStun();
    trampolineA = trampolineB = 1;
    TryHeldMoves();
    return true;
}

void CElementAIProfessor::SteerMouseWalk() {
    if (x == mouseTargetX && y == mouseTargetY) {
        ClearKeys();
        mouseWalk = 0;
        return;
    }
    KEYS[KEY_UP] = mouseTargetY < y;
    KEYS[KEY_DOWN] = mouseTargetY > y;
    KEYS[KEY_LEFT] = mouseTargetX < x;
    KEYS[KEY_RIGHT] = mouseTargetX > x;
}

void CElementAIProfessor::CheckStun() {
    // Something coming down on his head knocks him over.
    StunWhen(!CElementLadder::IsLadderAt(x, y) && GetElementAt(x, y - 1)->IsMoving(), soundCrush);
}

// ==========================================================================
// Animation
// ==========================================================================

void CElementAIProfessor::UpdateAnimation() {
    UpdateEffectSprites();

    bool skipPreparation = false;
    if (!sprite->IsFinished()) {
        if (standingMiddle && (KEYS[KEY_LEFT] || KEYS[KEY_RIGHT] || STUN)) {
            if (!arriving) standingMiddle = 0;
            skipPreparation = true;
        }
        if (!skipPreparation) PrepareRunning();
    } else if (!FinishState()) {
        return;
    }

    bool play = false, stop = false;
    int state;
    if (FROZEN) {
        LANDING = 0;
        state = ST_FROZEN;
        if (usingPowerup) {
            // A frozen hero drops the power-up.
            sprite->Rewind();
            usingPowerup = 0;
            inflated = 0;
        }
    } else {
        state = ChooseState(&play, &stop);
    }
    animationState = state;
    ShowState(state);
    if (play) sprite->Play(true);
    if (stop) sprite->StopAnimation();
    PlaceSprite();
}

void CElementAIProfessor::PrepareRunning() {
    const bool idle = !MOVING && !IsAnyKeyHeld() && !usingPowerup && (!STUN || stunCount > 0);
    if (idle) {
        if (IsStandingState(animationState) && ++idleCounter >= kIdleFrames) {
            idleCounter = 0;
            idleAnimating = 1;
            idleIndex = (idleIndex + 1) % kIdleCount;
        }
        return;
    }
    if (thawing || LANDING || idleAnimating || (!usingPowerup && (turnPending || facingFront))) {
        thawing = LANDING = idleAnimating = turnPending = facingFront = 0;
    }
    if (MOVING || STUN) heatWarningStep = heatWarningPush = 0;
    idleCounter = 0;
}

bool CElementAIProfessor::FinishState() {
    const bool left = facingLeft != 0;
    switch (animationState) {
    case ST_HOT_STEP_LEFT:
    case ST_HOT_STEP_RIGHT:
        sprite->Rewind();
        heatWarningStep = 0;
        break;
    case ST_HOT_PUSH_LEFT:
    case ST_HOT_PUSH_RIGHT:
        sprite->Rewind();
        heatWarningPush = 0;
        break;
    case ST_INFLATE_LEFT:
    case ST_INFLATE_RIGHT:
        // A bridge holds the inflating pose until its last piece is laid.
        if (!(activePowerup == POWERUP_KIND_BRIDGE && inflated)) {
            sprite->Rewind();
            inflated = 0;
            animationState = left ? ST_INFLATE_STAND_LEFT : ST_INFLATE_STAND_RIGHT;
        }
        break;
    case ST_INFLATE_STAND_LEFT:
    case ST_INFLATE_STAND_RIGHT:
    case ST_FROSTGUN_LEFT:
    case ST_FROSTGUN_RIGHT:
    case ST_HEATGUN_LEFT:
    case ST_HEATGUN_RIGHT:
        sprite->Rewind();
        usingPowerup = 0;
        break;
    case ST_WHISTLE:
    case ST_EMP:
        turnPending = 1;
        break;
    case ST_TRAMP_ENTER_LEFT:
    case ST_TRAMP_ENTER_RIGHT:
        if (!TRAMP) sprite->Rewind();
        break;
    case ST_FLING_RIGHT:
    case ST_FLING_LEFT:
        flingDone = 1;
        break;
    case ST_TRAMP_RECOVER:
        flingDone = 0;
        leftTrampoline = 0;
        turnPending = 1;
        break;
    case ST_LAND:
    case ST_LAND_LEFT:
        sprite->Rewind();
        LANDING = 0;
        turnPending = 1;
        break;
    case ST_TUBE_ENTRANCE:
        sprite->Rewind();
        arriving = 0;
        slidable = 1;
        break;
    case ST_TUBE_EXIT:
    case ST_CAUGHT_ON_LEFT:
    case ST_CAUGHT_ON_RIGHT:
    case ST_SINGED:
        // The last picture of the level has been shown.
        SetLevelEndFlag(LEVELEND_ENDED, true);
        return false;
    case ST_UNSTUN_LEFT:
    case ST_UNSTUN_RIGHT:
        sprite->Rewind();
        STUN = 0;
        break;
    case ST_TURN_LEFT:
    case ST_TURN_RIGHT:
        if (activePowerup == POWERUP_KIND_NONE) usingPowerup = 0;
        facingFront = 0;
        turnPending = 0;
        break;
    case ST_UNTURN_LEFT:
    case ST_UNTURN_RIGHT:
        facingFront = 1;
        break;
    case ST_THAWING:
        thawing = 0;
        break;
    case kIdleState:
        sprite->Rewind();
        idleAnimating = 0;
        if (!standingMiddle) turnPending = 1;
        break;
    default:
        break;
    }
    return true;
}

int CElementAIProfessor::ChooseState(bool* play, bool* stop) {
    const bool left = facingLeft != 0;
    if (HEATED) {
        SetLevelEndFlag(LEVELEND_SINGED, true);
        return ST_SINGED;
    }
    if (thawing) {
        LANDING = 0;
        return ST_THAWING;
    }
    if (arriving) {
        if (!tubeArrivalPlayed) {
            CSound::Play(soundTubeArrival, false, 4);
            tubeArrivalPlayed = 1;
        }
        return ST_TUBE_ENTRANCE;
    }
    if (exiting) {
        SetLevelEndFlag(LEVELEND_EXITING, true);
        LANDING = 0;
        PlayUnlessPlaying(soundTubeDeparture);
        return ST_TUBE_EXIT;
    }
    if (caughtFromLeft || caughtFromRight) {
        PlayUnlessPlaying(soundCaught);
        return caughtFromLeft ? ST_CAUGHT_ON_RIGHT : ST_CAUGHT_ON_LEFT;
    }
    if (FALLING) {
        if (usingPowerup) {
            sprite->Rewind();
            usingPowerup = 0;
            turnPending = 0;
            facingFront = 0;
        }
        leftTrampoline = 0;
        flingDone = 0;
        return left ? ST_FALL_LEFT : ST_FALL;
    }
    if (turnPending) return left ? ST_TURN_LEFT : ST_TURN_RIGHT;
    if (leftTrampoline) {
        if (flingDone) return ST_TRAMP_RECOVER;
        int state = animationState;
        if (IsMovingLeft()) {
            state = ST_FLING_RIGHT;
            facingLeft = 0;
        } else if (IsMovingRight()) {
            state = ST_FLING_LEFT;
            facingLeft = 1;
        }
        const bool flung = IsMovingLeft() || IsMovingRight();
        if (flung && !CSound::IsPlaying(soundTrampoline) && !CSound::IsDelayed(soundTrampoline)) {
            CSound::Play(soundTrampoline, false, 11);
        }
        return state;
    }
    if (usingPowerup) {
        switch (activePowerup) {
        case POWERUP_KIND_EMP:
        case POWERUP_KIND_WHISTLE: {
            const bool emp = activePowerup == POWERUP_KIND_EMP;
            if (facingFront) {
                DebugLog(DBG_DEBUG, emp ? "***  EMP:  ACTIVATE\n" : "***  WHISTLE:  ACTIVATE\n");
                return emp ? ST_EMP : ST_WHISTLE;
            }
            DebugLog(DBG_DEBUG, emp ? "***  EMP:  UNTURNING\n" : "***  WHISTLE:  UNTURNING\n");
            return left ? ST_UNTURN_LEFT : ST_UNTURN_RIGHT;
        }
        case POWERUP_KIND_FROSTGUN:
            return left ? ST_FROSTGUN_LEFT : ST_FROSTGUN_RIGHT;
        case POWERUP_KIND_HEATGUN:
            return left ? ST_HEATGUN_LEFT : ST_HEATGUN_RIGHT;
        case POWERUP_KIND_NONE:
            return animationState;
        default:
            // Inflatables, the bridge and the portals.
            if (IsInflatableKind(activePowerup) || activePowerup == POWERUP_KIND_BRIDGE ||
                IsPortalKind(activePowerup)) {
                return left ? ST_INFLATE_LEFT : ST_INFLATE_RIGHT;
            }
            return animationState;
        }
    }
    if (idleAnimating) return kIdleState;
    if (LANDING && !IsSomethingAbove(false)) {
        if (CElementLadder::IsLadderAt(x, y) && !IsSupported(false)) {
            LANDING = 0;
            return ST_CLIMB_DOWN;
        }
        return left ? ST_LAND_LEFT : ST_LAND;
    }
    if (IsMovingLeft()) return ChooseMovingState(true);
    if (IsMovingRight()) return ChooseMovingState(false);
    if (IsMovingUp()) {
        *play = true;
        return ST_CLIMB_UP;
    }
    if (IsMovingDown()) {
        *play = true;
        return ST_CLIMB_DOWN;
    }
    if (standingMiddle) return ST_STAND_MIDDLE;
    if (CElementLadder::IsLadderAt(x, y)) {
        if (!IsSupported(false)) {
            // Hanging still on the ladder.
            *stop = true;
            return WASMOVINGUP ? ST_CLIMB_UP : ST_CLIMB_DOWN;
        }
        if (ElementBelow(x, y)->dynamic) {
            if (WASMOVINGUP) {
                *stop = true;
                return ST_CLIMB_UP;
            }
            if (WASMOVINGDOWN) {
                *stop = true;
                return ST_CLIMB_DOWN;
            }
        }
    }
    return ChooseStandingState(left, stop);
}

int CElementAIProfessor::ChooseMovingState(bool left) {
    if (TRAMP) return left ? ST_TRAMP_ENTER_LEFT : ST_TRAMP_ENTER_RIGHT;
    const bool crawl = IsSomethingAbove(false) || (!inPassage && IsSomethingAbove(true)) ||
                       CElementDeviceTeleport::IsTeleportBelow(prevX, prevY, left);
    if (crawl) {
        if (left) return riding ? ST_CRAWL_RIGHT : ST_CRAWL_LEFT;
        return riding ? ST_CRAWL_LEFT : ST_CRAWL_RIGHT;
    }
    if (SLIDING) {
        if (left) return facingLeft ? ST_SLIDE_LEFT : ST_UNCOOL_SLIDE_LEFT;
        return facingLeft ? ST_UNCOOL_SLIDE_RIGHT : ST_SLIDE_RIGHT;
    }
    if (riding) return left ? ST_BARREL_RIGHT : ST_BARREL_LEFT;
    const bool ladderJump = (CElementLadder::IsLadderAt(x, y) && !IsSupported(false)) ||
                            (CElementLadder::IsLadderAt(prevX, prevY) && !supportedAtStart);
    if (ladderJump) return left ? ST_LADDER_JUMP_LEFT : ST_LADDER_JUMP_RIGHT;
    if (PUSHING) return left ? ST_PUSH_LEFT : ST_PUSH_RIGHT;
    return left ? ST_RUN_LEFT : ST_RUN_RIGHT;
}

int CElementAIProfessor::ChooseStandingState(bool left, bool* stop) {
    const Key key = left ? KEY_LEFT : KEY_RIGHT;
    const int dir = left ? -1 : 1;
    const int stand = left ? ST_STAND_LEFT : ST_STAND_RIGHT;
    const int crawl = left ? ST_CRAWL_LEFT : ST_CRAWL_RIGHT;

    if (heatWarningStep) return left ? ST_HOT_STEP_LEFT : ST_HOT_STEP_RIGHT;
    if (heatWarningPush) return left ? ST_HOT_PUSH_LEFT : ST_HOT_PUSH_RIGHT;
    if (TRAMP && (left ? WASMOVINGLEFT : WASMOVINGRIGHT)) return left ? ST_TRAMP_PUSH_LEFT : ST_TRAMP_PUSH_RIGHT;

    if (!STUN) {
        const int pose = ChooseStandingPose(KEYS[key] != 0, crawl, stand, stop);
        if (pose >= 0) return pose;
        if (IsOnSlipperySurface()) return left ? ST_UNCOOL_SLIDE_RIGHT : ST_UNCOOL_SLIDE_LEFT;
        const int nx = x + dir;
        if (nx < 0 || nx >= kGridWidth) return stand;
        if (ElementBelow(x, y)->IsBarrel()) return left ? ST_BARREL_LEFT : ST_BARREL_RIGHT;
        // Leaning into what stands in front, unless it glows.
        if (!GetElementAt(nx, y + 1)->IsHeated() && !GetElementAt(nx, y)->IsHeated()) {
            return left ? ST_PUSH_LEFT : ST_PUSH_RIGHT;
        }
        return stand;
    }

    const int stun = left ? ST_STUN_LEFT : ST_STUN_RIGHT;
    const int unstun = left ? ST_UNSTUN_LEFT : ST_UNSTUN_RIGHT;
    const int held = ChooseStunnedPose(stun);
    if (held >= 0) return held;
    if (animationState == unstun) return unstun;
    if (animationState == stun && sprite->IsFinished()) return unstun;
    return stun;
}

void CElementAIProfessor::ShowState(int state) {
    CSprite* next = nullptr;
    if (state == kIdleState) {
        next = idleSprites[idleIndex >= 0 ? idleIndex % kIdleCount : 0];
    } else if (state >= 0 && state < kStateCount) {
        next = stateSprites[state];
    }
    ShowSprite(next);
}

// ==========================================================================
// Sounds
// ==========================================================================

void CElementAIProfessor::UpdateHeroSounds() {
    const bool sideways = IsMovingLeft() || IsMovingRight();
    const bool running = (sideways && !SLIDING && IsSupported(false)) ||
                         (!MOVING && (KEYS[KEY_LEFT] || KEYS[KEY_RIGHT]) && ElementBelow(x, y)->IsBarrel());
    // The first step sounds three frames after the start.
    StepSounds(running, &runCounter, 8, 11, &lastRunSound, soundRun, kRunSounds);
    PlayClimbSounds();

    if (animationState == ST_UNCOOL_SLIDE_LEFT || animationState == ST_UNCOOL_SLIDE_RIGHT) {
        if (!CSound::IsPlaying(soundStuckIce)) CSound::Play(soundStuckIce, true);
    } else {
        CSound::StopChannel(soundStuckIce);
    }
}
