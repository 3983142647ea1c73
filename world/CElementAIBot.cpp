#include "world/CElementAIBot.h"

#include <algorithm>
#include <cstdio>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CLevel.h"
#include "world/CWorldDigest.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementLadder.h"
#include "world/pieces/PieceSprites.h"

std::vector<CElementAIBot*> CElementAIBot::bots;

namespace {

// The bots' pictures are requested (and counted) by each sprite.
constexpr bool kSharedFrames = false;
// Frames between two footsteps.
constexpr int kFootstepFrames = 6;
// The slide sound comes back in over this many frames, and a spent one
// fades out over the longer time.
constexpr int kSlideFadeIn = 50;
constexpr int kSlideFadeOut = 150;

CSprite* NewBotSprite(int originX, int originY, int delay, const char* name, bool loops) {
    CSprite* s = NewPieceSprite(originX, originY, LAYER_BOT, delay, 1, 1, name, kSharedFrames);
    s->SetLooping(loops);
    return s;
}

// "prefix" a..b ".png", counting down when a > b.
void Run(CSprite* s, const char* prefix, int from, int to) { s->AddFrames(prefix, from, to, ".png", 1); }

void Frame(CSprite* s, const char* prefix, int number, int count = 1) {
    AddNumberedFrame(s, prefix, number, ".png", count);
}

// The capture: the grab, five shakes, then the last hold.
void AddCaptureFrames(CSprite* s, const char* prefix) {
    Run(s, prefix, 0, 24);
    for (int i = 0; i < 5; ++i) Run(s, prefix, 19, 24);
    Frame(s, prefix, 25);
    Frame(s, prefix, 26);
    Frame(s, prefix, 25);
}

// A squash on landing: two bounces, then the flattened picture.
void AddSquashFrames(CSprite* s, const char* squash, const char* rest) {
    Frame(s, squash, 0);
    Frame(s, squash, 1);
    Frame(s, squash, 0);
    s->AddFrame(rest);
    Frame(s, squash, 2);
}

// The pictures that are one numbered run, or one picture held for a count
// of steps (from < 0: the name is the picture's file). Every bot picture
// stands the bot on the middle of its cell; each origin leaves its picture
// room on the left for what that state draws there.
struct BotRow {
    int state, originX, originY, delay;
    const char* name;
    bool loops;
    const char* pictures;
    int from, to;
    int count;
};

const BotRow kBotRows[] = {
    {0, 25, 27, 2, "Bot Deactivated - Hanging", false, "bothang.png", -1, 0, 1},
    {1, 25, 25, 2, "Bot Activating", false, "botfall", 0, 11, 1},
    {2, 25, 25, 2, "Bot Falling", true, "botfall", 9, 11, 1},
    {3, 25, 25, 2, "Bot Landing", false, "botfall", 12, 18, 1},
    {5, 21, 23, 1, "Bot Run Left", true, "botrunleft", 0, 11, 1},
    {6, 18, 22, 1, "Bot Run Right", true, "botrunright", 0, 11, 1},
    {7, 21, 20, 3, "Bot Stun Left", false, "botcrushedleft", 0, 2, 1},
    {8, 19, 19, 3, "Bot Stun Right", false, "botcrushedright", 0, 2, 1},
    {9, 21, 20, 3, "Bot Unstun Left", false, "botcrushedleft", 2, 0, 1},
    {10, 19, 19, 3, "Bot Unstun Right", false, "botcrushedright", 2, 0, 1},
    {11, 24, 19, 1, "Bot Push Left", true, "botpushleft", 0, 11, 1},
    {12, 18, 18, 1, "Bot Push Right", true, "botpushright", 0, 11, 1},
    {13, 16, 20, 0, "Bot Stand Left", false, "botstandleft.png", -1, 0, 1},
    {14, 18, 19, 0, "Bot Stand Right", false, "botstandright.png", -1, 0, 1},
    // The EMP: dimming down and back up again.
    {15, 20, 20, 2, "Bot EMPed Left", false, "botstunnedleft", 0, 2, 1},
    {16, 19, 19, 2, "Bot EMPed Right", false, "botstunnedright", 0, 2, 1},
    {17, 17, 19, 2, "Bot Magnet-Held (Left)", false, "botmagnetleft", 0, 1, 1},
    {18, 23, 20, 2, "Bot Magnet-Held (Right)", false, "botmagnetright", 0, 1, 1},
    {19, 17, 20, 2, "Bot Sliding (Left)", true, "botslidingleft", 0, 5, 1},
    {20, 22, 19, 2, "Bot Sliding (Right)", true, "botslidingright", 0, 5, 1},
    {21, 21, 13, 2, "Bot Crawling (Left)", true, "botcrawlleft", 0, 5, 1},
    {22, 16, 12, 2, "Bot Crawling (Right)", true, "botcrawlright", 0, 5, 1},
    {23, 22, 16, 0, "Bot Frozen", false, "botfrozen.png", -1, 0, 1},
    {48, 22, 16, 0, "Bot Frozen (and destroyed)", false, "botfrozenmelted.png", -1, 0, 1},
    {49, 23, 20, 2, "Bot EMPed Left with LFall", false, "batstunnedlefttiltleft.png", -1, 0, 5},
    {50, 14, 20, 2, "Bot EMPed Left with RFall", false, "batstunnedlefttiltright.png", -1, 0, 5},
    {51, 22, 19, 2, "Bot EMPed Right with LFall", false, "batstunnedrighttiltleft.png", -1, 0, 5},
    {52, 18, 19, 2, "Bot EMPed Right with RFall", false, "batstunnedrighttiltright.png", -1, 0, 5},
};

}  // namespace

// ==========================================================================
// Construction and destruction
// ==========================================================================

CElementAIBot::CElementAIBot(int x_, int y_, uint32_t code, int cellFlags) : CElementAI(x_, y_) {
    bots.push_back(this);
    SetElementAt(x, y, this);
    empStunned = 0;
    METALLIC = 1;
    heatable = 1;
    active = activationFall = savedFacing = 0;
    typeAI = AI_BOT;
    catchDelay = kCatchDelay;
    CreateSounds();
    BuildStateSprites();

    int state;
    if (code == BOT_LEFT) {
        state = ST_STAND_LEFT;
        gravity = dynamic = 1;
        facingLeft = 1;
    } else if (code == BOT_RIGHT) {
        state = ST_STAND_RIGHT;
        gravity = dynamic = 1;
        facingLeft = 0;
    } else {
        // A hanging bot holds on to its ceiling: it neither falls nor moves.
        state = ST_HANG;
        gravity = dynamic = 0;
    }
    if (cellFlags & TILE_STATE_FROZEN) state = ST_FROZEN;
    animationState = state;
    sprite = stateSprites[state];
    sprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprite->SetPosition(pixelX, pixelY, false);
    sprite->Play(true);
    lastShownSprite = sprite;
    CreateEffectSprites(true, false, true, true);
}

CElementAIBot::~CElementAIBot() {
    DebugLog(DBG_DESTRUCT, "CElementAIBot:  Destroying bot element at (%d,%d)...\n", x, y);
    bots.erase(std::remove(bots.begin(), bots.end(), this), bots.end());
    for (CSprite*& s : stateSprites) DeletePieceSprite(&s);
    ForgetTableSprites();
    FreeSounds();
}

void CElementAIBot::BuildStateSprites() {
    CSprite** t = stateSprites;
    for (const BotRow& row : kBotRows) {
        CSprite* s = NewBotSprite(row.originX, row.originY, row.delay, row.name, row.loops);
        if (row.from < 0) {
            s->AddFrame(row.pictures, row.count);
        } else {
            Run(s, row.pictures, row.from, row.to);
        }
        t[row.state] = s;
    }
    Run(t[ST_EMP_LEFT], "botstunnedleft", 1, 0);
    Run(t[ST_EMP_RIGHT], "botstunnedright", 1, 0);
    t[ST_CLIMB] = NewBotSprite(16, 14, 2, "Bot Climb", true);
    Frame(t[ST_CLIMB], "botclimb", 0);
    Frame(t[ST_CLIMB], "botclimb", 1);
    Frame(t[ST_CLIMB], "botclimb", 0);
    Frame(t[ST_CLIMB], "botclimb", 2);
    BuildTemperatureRows(true);
    BuildTemperatureRows(false);
    t[ST_CAPTURE_LEFT] = NewBotSprite(17, 33, 2, "Bot Capture Left", false);
    AddCaptureFrames(t[ST_CAPTURE_LEFT], "botcatchprofleft");
    t[ST_CAPTURE_RIGHT] = NewBotSprite(20, 32, 2, "Bot Capture Right", false);
    AddCaptureFrames(t[ST_CAPTURE_RIGHT], "botcatchprofright");
}

// The pictures of a hot, melting, cooling and cooled bot facing one side.
void CElementAIBot::BuildTemperatureRows(bool left) {
    // Sprites keep the name they are given: one name per state from the
    // first HEATED row to the last COOLED one.
    static const char* const kNames[ST_FROZEN_DESTROYED - ST_HEATED_LEFT] = {
        "Bot (HEATED_LEFT)",   "Bot (HEATED_LEFT_LFALL)",   "Bot (HEATED_LEFT_RFALL)",  "Bot (HEATED_LEFT_SQUASH)",
        "Bot (HEATED_RIGHT)",  "Bot (HEATED_RIGHT_LFALL)",  "Bot (HEATED_RIGHT_RFALL)", "Bot (HEATED_RIGHT_SQUASH)",
        "Bot (MELTING_LEFT)",  "Bot (MELTING_RIGHT)",       "Bot (COOLING_LEFT)",       "Bot (COOLING_LEFT_LFALL)",
        "Bot (COOLING_LEFT_RFALL)", "Bot (COOLING_RIGHT)",  "Bot (COOLING_RIGHT_LFALL)", "Bot (COOLING_RIGHT_RFALL)",
        "Bot (COOLED_LEFT)",   "Bot (COOLED_LEFT_LFALL)",   "Bot (COOLED_LEFT_RFALL)",  "Bot (COOLED_LEFT_SQUASH)",
        "Bot (COOLED_RIGHT)",  "Bot (COOLED_RIGHT_LFALL)",  "Bot (COOLED_RIGHT_RFALL)", "Bot (COOLED_RIGHT_SQUASH)",
    };
    const char* side = left ? "left" : "right";
    const int ox = 20;
    const int oy = left ? 22 : 20;
    auto make = [&](int state, int delay) {
        stateSprites[state] = NewBotSprite(ox, oy, delay, kNames[state - ST_HEATED_LEFT], false);
        return stateSprites[state];
    };
    char file[64], rest[64];

    // A hot or a cooled lump: at rest, tilted either way as it falls, and
    // squashed as it lands, back to its resting picture.
    auto lump = [&](int first, int restDelay, const char* kind) {
        make(first, restDelay)->AddFrame(rest);
        snprintf(file, sizeof(file), "bot%s%stiltleft.png", kind, side);
        make(first + TILT_LEFT, 0)->AddFrame(file);
        snprintf(file, sizeof(file), "bot%s%stiltright.png", kind, side);
        make(first + TILT_RIGHT, 0)->AddFrame(file);
        snprintf(file, sizeof(file), "bot%s%ssquash", kind, side);
        AddSquashFrames(make(first + SQUASH, 2), file, rest);
    };
    snprintf(rest, sizeof(rest), "botmelting%s4.png", side);
    lump(left ? ST_HEATED_LEFT : ST_HEATED_RIGHT, 2, "heated");
    snprintf(rest, sizeof(rest), "botcooling%s6.png", side);
    lump(left ? ST_COOLED_LEFT : ST_COOLED_RIGHT, 0, "cooled");

    snprintf(file, sizeof(file), "botmelting%s", side);
    Run(make(left ? ST_MELTING_LEFT : ST_MELTING_RIGHT, 2), file, 0, 4);
    // Cooling: upright, then tilted either way while it falls.
    static const char* const kTilts[] = {"", "tiltedleft", "tiltedright"};
    const int cooling = left ? ST_COOLING_LEFT : ST_COOLING_RIGHT;
    for (int tilt = 0; tilt < 3; ++tilt) {
        snprintf(file, sizeof(file), "botcooling%s%s", side, kTilts[tilt]);
        Run(make(cooling + tilt, 2), file, 0, 6);
    }
}

void CElementAIBot::CreateSounds() {
    soundFall = new CSoundObject("bot_fall.ogg", false);
    soundCrush = new CSoundObject("bot_crush.ogg", false);
    soundDetect = new CSoundObject("bot_hang_detect.ogg", false);
    soundHangDetect = new CSoundObject("bot_hang_detect.ogg", false);
    soundBotSlide = new CSoundObject("bot_slide.ogg", false);
    NewNumberedSounds(soundFootstep, kFootsteps, "bot_footstep", 1);
    lastFootstep = 0;
    footstepCounter = 3;
    CreateClimbSounds("bot_climb");
    slideSoundSpent = 0;
    slideSoundBudget = kSlideSoundBudget;
}

void CElementAIBot::FreeSounds() {
    for (CSoundObject** own : {&soundFall, &soundCrush, &soundDetect, &soundHangDetect, &soundBotSlide})
        DeleteSounds(own, 1);
    DeleteSounds(soundFootstep, kFootsteps);
    DeleteSounds(soundClimb, kClimbSounds);
}

// ==========================================================================
// The bot list, the whistle and the EMP
// ==========================================================================

void CElementAIBot::ResetStatics() { bots.clear(); }

void CElementAIBot::ActivateAll() {
    for (CElementAIBot* bot : bots) bot->Activate();
}

void CElementAIBot::EmpAll() {
    for (CElementAIBot* bot : bots) bot->Emp();
}

void CElementAIBot::Activate() {
    if (destroyed) return;
    if (!gravity) {
        // A hanging bot lets go; frozen or held by a magnet it simply falls.
        gravity = 1;
        dynamic = 1;
        if (!FROZEN && !IsMagnetHeld()) activationFall = 1;
    }
    active = 1;
}

void CElementAIBot::Deactivate() {
    active = 0;
    ClearKeys();
    savedFacing = facingLeft;
}

void CElementAIBot::Emp() {
    empActive = 1;
    // A wreck has nothing left to knock out: it keeps its lump picture.
    if (gravity && !destroyed) empStunned = 1;
    if (active) Deactivate();
}

bool CElementAIBot::IsImmune() { return IsCatching(); }

// ==========================================================================
// Undo
// ==========================================================================

void CElementAIBot::SaveState(int k) {
    if (k < 0 || k >= kUndoSlots) return;
    DebugLog(DBG_UNDO, "      %s:  Saving ElementAIBot state...\n", GetTypeName());
    UNDO_SAVE(botSaved[k], BOT_UNDO_FIELDS);
    CElementAI::SaveState(k);
}

void CElementAIBot::RestoreState(int k) {
    if (k < 0 || k >= kUndoSlots) return;
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementAIBot state...\n", GetTypeName());
    // The AI base clears the keys (a player's must be pressed again); the
    // bot's come back after it.
    CElementAI::RestoreState(k);
    UNDO_RESTORE(botSaved[k], BOT_UNDO_FIELDS);
    catchDelay = kCatchDelay;
}

// Left out: the sounds' cadence and budget.
void CElementAIBot::DescribeState(CWorldDigest* d) {
    UNDO_DESCRIBE(d, BOT_UNDO_FIELDS);
    CElementAI::DescribeState(d);
}

void CElementAIBot::DescribeStatics(CWorldDigest* d) {
    d->BeginPart("bots");
    d->AddElements("bots", bots);
}

// ==========================================================================
// Detection and the chase
// ==========================================================================

bool CElementAIBot::SeesHero(const CElement* hero) const {
    const int hx = hero->x;
    if (hero->y == y + 1) {
        // Down over an edge: only past an open cell, and not at a block of ice.
        if (!GetElementAt(hx, y)->IsNull() || hero->FROZEN) return false;
    } else if (hero->y != y) {
        return false;
    }
    // Along the row the way it faces, until the view reaches the hero's
    // column, runs into something, enters a portal or meets the grid's edge.
    const bool left = facingLeft != 0;
    const int step = left ? -1 : 1;
    int c = x;
    for (;;) {
        if (CElementDeviceTeleport::CheckTeleport(c, y, left, false, false)) break;
        const int next = c + step;
        if (next < 0 || next >= kGridWidth) break;
        c = next;
        if (left ? c <= hx : c >= hx) break;
        if (IsOccupied(c, y, false)) break;
    }
    return c == hx && !destroyed;
}

bool CElementAIBot::SeesHeroBelow(const CElement* hero) const {
    if (hero->x != x || hero->y <= y) return false;
    for (int row = y + 1; row < hero->y; ++row)
        if (IsOccupied(x, row, false)) return false;
    return true;
}

void CElementAIBot::Detect() {
    if (empStunned || STUN) return;
    CElement* hero = GetHero();
    const bool wasActive = active != 0;
    if (gravity) {
        if (hero && SeesHero(hero)) Activate();
        if (!wasActive && active) PlayUnlessPlaying(soundDetect);
        return;
    }
    // Hanging: it lets go when its ceiling is gone, when a magnet takes it,
    // or when the hero stands right below.
    if (!GetElementAt(x, y - 1)->IsTerrain() || IsMagnetHeld()) {
        DebugLog(DBG_DEBUG, "CElementAIBot::Detect():  Activating due to destroyed terrain\n");
        Activate();
    } else if (hero && SeesHeroBelow(hero)) {
        Activate();
    }
    if (!wasActive && active) PlayUnlessPlaying(soundHangDetect);
}

void CElementAIBot::ChaseHero() {
    CElement* hero = GetHero();
    if (!hero || (hero->x == x && hero->y == y)) {
        ClearKeys();
        return;
    }
    if (IsCatching()) {
        // The catching bot steps toward the hero's side.
        KEYS[KEY_LEFT] = caughtFromRight;
        KEYS[KEY_RIGHT] = caughtFromLeft;
        KEYS[KEY_UP] = KEYS[KEY_DOWN] = 0;
        return;
    }
    KEYS[KEY_LEFT] = hero->x < x;
    KEYS[KEY_RIGHT] = hero->x > x;
    KEYS[KEY_UP] = hero->y < y;
    KEYS[KEY_DOWN] = hero->y > y;
}

void CElementAIBot::CheckStun() {
    // Something loose coming to rest on its head knocks it over.
    StunWhen(IsSupported(false) && GetElementAt(x, y - 1)->dynamic, soundCrush);
}

// ==========================================================================
// The per-frame brain
// ==========================================================================

void CElementAIBot::Update() {
    if ((HEATED || cooling) && !destroyed) {
        // Heat wrecks a bot for good.
        gravity = dynamic = 1;
        destroyed = 1;
        active = 0;
        savedFacing = facingLeft;
        ClearKeys();
    }
    if (FROZEN) trampolineA = trampolineB = 1;
    if (MOVING) {
        STUN = 0;
        if (slideSoundSpent) {
            CSound::FadeIn(soundBotSlide, kSlideFadeIn);
            slideSoundSpent = 0;
            slideSoundBudget = kSlideSoundBudget;
        }
    }
    // Falling, what it stood on is no longer under it: it rolls freely again.
    FollowStoodOn(true);
    if ((FROZEN || IsMagnetHeld()) && !destroyed) Activate();

    const bool levelOver =
        IsProfessorSinged() || IsProfessorExiting() || (IsProfessorCaught() && !IsCatching());
    if (levelOver) {
        ClearKeys();
    } else if (IsCatching() && catchDelay > 0) {
        // The catch: a short hold before the bot steps to the hero's side.
        if (!active) PlayUnlessPlaying(soundDetect);
        active = 1;
        --catchDelay;
        ClearKeys();
        DebugLog(DBG_DEBUG, "Bot Catching Jump Delay Remaining:  %i\n", catchDelay);
    } else if (!IsMagnetHeld() && !MOVING && !FROZEN && !destroyed) {
        if (active) {
            ChaseHero();
        } else {
            Detect();
        }
        CheckStun();
        trampolineA = trampolineB = 1;
        TryHeldMoves();
    }

    EndPushing();

    UpdateAnimation();
    UpdateBotSounds();
}

// ==========================================================================
// Animation
// ==========================================================================

void CElementAIBot::UpdateAnimation() {
    UpdateEffectSprites();
    if (LANDING) activationFall = 0;

    if (!sprite->IsFinished()) {
        const bool busy = MOVING || KEYS[KEY_LEFT] || KEYS[KEY_RIGHT] || KEYS[KEY_UP] || KEYS[KEY_DOWN] ||
                          (STUN && stunCount == 0);
        if (busy) LANDING = thawing = 0;
    } else {
        FinishState();
    }

    bool play = false, stop = false, keepFrame = false;
    const int state = ChooseState(&play, &stop, &keepFrame);
    const int frame = sprite->GetFrame();
    animationState = state;
    ShowState(state);
    if (keepFrame) sprite->SetFrame(frame);
    if (play) sprite->Play(true);
    if (stop) sprite->StopAnimation();

    PlaceSprite();
    if (!FALLING && CSound::IsPlaying(soundFall)) CSound::StopChannel(soundFall);
}

void CElementAIBot::FinishState() {
    switch (animationState) {
    case ST_ACTIVATING:
        sprite->Rewind();
        activationFall = 0;
        break;
    case ST_LAND:
    case ST_EMP_LEFT:
    case ST_EMP_RIGHT:
    case ST_HEATED_LEFT + SQUASH:
    case ST_HEATED_RIGHT + SQUASH:
    case ST_COOLED_LEFT + SQUASH:
    case ST_COOLED_RIGHT + SQUASH:
    case ST_EMP_LEFT_LFALL:
    case ST_EMP_LEFT_RFALL:
    case ST_EMP_RIGHT_LFALL:
    case ST_EMP_RIGHT_RFALL:
        sprite->Rewind();
        LANDING = 0;
        empStunned = 0;
        break;
    case ST_UNSTUN_LEFT:
    case ST_UNSTUN_RIGHT:
        sprite->Rewind();
        STUN = 0;
        break;
    case ST_COOLING_LEFT:
    case ST_COOLING_LEFT + TILT_LEFT:
    case ST_COOLING_LEFT + TILT_RIGHT:
    case ST_COOLING_RIGHT:
    case ST_COOLING_RIGHT + TILT_LEFT:
    case ST_COOLING_RIGHT + TILT_RIGHT:
        sprite->Rewind();
        cooling = 0;
        break;
    default:
        break;
    }
}

int CElementAIBot::TemperatureRow() const {
    const bool left = facingLeft != 0;
    if (HEATED) return left ? ST_HEATED_LEFT : ST_HEATED_RIGHT;
    if (cooling) return left ? ST_COOLING_LEFT : ST_COOLING_RIGHT;
    if (destroyed) return left ? ST_COOLED_LEFT : ST_COOLED_RIGHT;
    return -1;
}

int CElementAIBot::ChooseState(bool* play, bool* stop, bool* keepFrame) {
    const bool left = facingLeft != 0;
    const int row = TemperatureRow();
    // The tilt of a falling bot follows the way it last moved.
    const int tilt = WASMOVINGLEFT ? TILT_RIGHT : TILT_LEFT;

    if (FROZEN) return destroyed ? ST_FROZEN_DESTROYED : ST_FROZEN;
    if (IsMagnetHeld()) {
        if (row >= 0) return row;
        if (animationState == ST_MAGNET_LEFT || animationState == ST_MAGNET_RIGHT) return animationState;
        facingLeft = GetMagnetHolderA()->IsNull() ? 1 : 0;
        return facingLeft ? ST_MAGNET_LEFT : ST_MAGNET_RIGHT;
    }
    if (caughtFromRight) return ST_CAPTURE_RIGHT;
    if (caughtFromLeft) return ST_CAPTURE_LEFT;
    if (empStunned) {
        if (!FALLING) return left ? ST_EMP_LEFT : ST_EMP_RIGHT;
        if (left) return WASMOVINGLEFT ? ST_EMP_LEFT_RFALL : ST_EMP_LEFT_LFALL;
        return WASMOVINGLEFT ? ST_EMP_RIGHT_RFALL : ST_EMP_RIGHT_LFALL;
    }
    if (activationFall) return ST_ACTIVATING;
    if (FALLING) {
        if (row >= 0) return row + tilt;
        if (!CSound::IsPlaying(soundFall)) CSound::Play(soundFall, true);
        return ST_FALL;
    }
    if (LANDING) {
        if (HEATED || (destroyed && !cooling)) return row + SQUASH;
        if (cooling) {
            LANDING = 0;
            // The cooling picture goes on where the falling one had got to.
            const int fallingRow = row + TILT_LEFT;
            *keepFrame = animationState == fallingRow || animationState == fallingRow + 1;
            return row;
        }
        if (!active) return left ? ST_EMP_LEFT : ST_EMP_RIGHT;
        if (CElementLadder::IsLadderAt(x, y) && !IsSupported(false)) {
            LANDING = 0;
            return ST_CLIMB;
        }
        return ST_LAND;
    }
    if (STUN) return ChooseStunnedState(left);
    if (!active) {
        if (!gravity) return ST_HANG;
        if (row >= 0) return row;
        return left ? ST_STAND_LEFT : ST_STAND_RIGHT;
    }
    if (IsMovingLeft()) return ChooseMovingState(true, play);
    if (IsMovingRight()) return ChooseMovingState(false, play);
    if (IsMovingUp() || IsMovingDown()) {
        *play = true;
        return ST_CLIMB;
    }
    if (CElementLadder::IsLadderAt(x, y)) {
        // Holding still on the ladder.
        *stop = true;
        return animationState;
    }
    return ChooseStandingState(left, stop);
}

int CElementAIBot::ChooseMovingState(bool left, bool* play) {
    // A teleport below the cell it left is asked for the left side whichever
    // way it goes.
    bool crawl = IsSomethingAbove(false) || CElementDeviceTeleport::IsTeleportBelow(prevX, prevY, true);
    if (!left && !inPassage && IsSomethingAbove(true)) crawl = true;
    if (crawl) {
        *play = true;
        if (left) return riding ? ST_CRAWL_RIGHT : ST_CRAWL_LEFT;
        return riding ? ST_CRAWL_LEFT : ST_CRAWL_RIGHT;
    }
    if (SLIDING) {
        // Carried off sideways, it looks back the way it came.
        facingLeft = left ? 0 : 1;
        return left ? ST_SLIDE_RIGHT : ST_SLIDE_LEFT;
    }
    if (riding) return left ? ST_RUN_RIGHT : ST_RUN_LEFT;
    if (PUSHING) return left ? ST_PUSH_LEFT : ST_PUSH_RIGHT;
    return left ? ST_RUN_LEFT : ST_RUN_RIGHT;
}

int CElementAIBot::ChooseStandingState(bool left, bool* stop) {
    const Key key = left ? KEY_LEFT : KEY_RIGHT;
    const int push = left ? ST_PUSH_LEFT : ST_PUSH_RIGHT;
    const int stand = left ? ST_STAND_LEFT : ST_STAND_RIGHT;
    const int crawl = left ? ST_CRAWL_LEFT : ST_CRAWL_RIGHT;

    // Walked into a trampoline: it leans into the canvas.
    if (TRAMP && (left ? WASMOVINGLEFT : WASMOVINGRIGHT)) return push;
    const int pose = ChooseStandingPose(KEYS[key] != 0, crawl, stand, stop);
    if (pose >= 0) return pose;
    if (IsOnSlipperySurface()) return left ? ST_SLIDE_LEFT : ST_SLIDE_RIGHT;
    const int nx = left ? x - 1 : x + 1;
    if (nx < 0 || nx >= kGridWidth) return stand;
    if (ElementBelow(x, y)->IsBarrel()) return left ? ST_RUN_LEFT : ST_RUN_RIGHT;
    return push;
}

int CElementAIBot::ChooseStunnedState(bool left) {
    const int stun = left ? ST_STUN_LEFT : ST_STUN_RIGHT;
    const int unstun = left ? ST_UNSTUN_LEFT : ST_UNSTUN_RIGHT;
    const int held = ChooseStunnedPose(stun);
    if (held >= 0) return held;
    if (animationState == ST_UNSTUN_LEFT || animationState == ST_UNSTUN_RIGHT) return animationState;
    if ((animationState == ST_STUN_LEFT || animationState == ST_STUN_RIGHT) && sprite->IsFinished()) return unstun;
    return animationState == ST_STUN_LEFT || animationState == ST_STUN_RIGHT ? animationState : stun;
}

void CElementAIBot::ShowState(int state) {
    if (state >= 0 && state < kStateCount) ShowSprite(stateSprites[state]);
}

// ==========================================================================
// Sounds
// ==========================================================================

void CElementAIBot::UpdateBotSounds() {
    const bool sideKey = KEYS[KEY_LEFT] || KEYS[KEY_RIGHT];
    const bool slippery = IsOnSlipperySurface();
    const bool walking = sideKey && !SLIDING && !slippery && !FROZEN && !destroyed && IsSupported(false) &&
                         !IsProfessorCaught() && !STUN && !IsMagnetHeld();
    StepSounds(walking, &footstepCounter, 3, kFootstepFrames, &lastFootstep, soundFootstep, kFootsteps);

    PlayClimbSounds();

    if (slideSoundSpent) return;
    if (!SLIDING && (!slippery || !sideKey)) CSound::StopChannel(soundBotSlide);
    if (SLIDING || (sideKey && slippery)) {
        if (FROZEN || FALLING || IsCatching()) {
            CSound::StopChannel(soundBotSlide);
            return;
        }
        if (!CSound::IsPlaying(soundBotSlide)) CSound::Play(soundBotSlide, true);
        if (--slideSoundBudget <= 0) {
            // A bot spinning on ice falls silent after a while.
            slideSoundSpent = 1;
            CSound::FadeOut(soundBotSlide, kSlideFadeOut);
        }
    }
}
