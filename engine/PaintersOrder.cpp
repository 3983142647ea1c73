#include "engine/PaintersOrder.h"

#include <climits>

#include "engine/CController.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "engine/Utilities.h"

namespace {

const char* g_lastRule = "";

int Answer(const char* rule, int answer, CSprite* n, CSprite* r) {
    g_lastRule = rule;
    if (IsDebugCategoryOn(DBG_SORT_RV)) {
        DebugLog(DBG_SORT_RV, "%s", rule);
        DebugLog(DBG_SORT_RV | DBG_NOPREFIX, "  (isBehind=%i", answer);
        DebugLog(DBG_SORT_RV | DBG_NOPREFIX, ", N='%s' (%i:%i,%i:%i)", n->GetName(), n->GetType(), n->GetTileX(),
                 n->GetTileY(), n->GetTileWidth());
        DebugLog(DBG_SORT_RV | DBG_NOPREFIX, ", R='%s' (%i:%i,%i:%i)", r->GetName(), r->GetType(), r->GetTileX(),
                 r->GetTileY(), r->GetTileWidth());
        DebugLog(DBG_SORT_RV | DBG_NOPREFIX, ")\n");
    }
    return answer;
}

// --- groups of layers -------------------------------------------------------

bool IsOneOf(int t, std::initializer_list<int> layers) {
    for (int l : layers)
        if (t == l) return true;
    return false;
}
template <size_t N>
bool IsOneOf(int t, const int (&layers)[N]) {
    for (int l : layers)
        if (t == l) return true;
    return false;
}

// The parts of a teleport.
constexpr int kTeleportParts[] = {LAYER_TELEPORT_FRONT, LAYER_TELEPORT_PORTAL, LAYER_TELEPORT_BACK,
                                  LAYER_TELEPORT_GLOW_LEFT, LAYER_TELEPORT_GLOW_RIGHT};
bool IsTeleportPart(int t) { return IsOneOf(t, kTeleportParts); }
// What moves about the world and shares cells with its pieces.
constexpr int kActors[] = {LAYER_GUNSHOT, LAYER_TELEPORT_GHOST, LAYER_TELEPORT_PASSER,
                           LAYER_BOT,     LAYER_HERO,           LAYER_OBJECT};
bool IsActor(int t) { return IsOneOf(t, kActors); }
// A teleport less its glows.
constexpr int kTeleportBody[] = {LAYER_TELEPORT_FRONT, LAYER_TELEPORT_PORTAL, LAYER_TELEPORT_BACK};
// Of what shares a cell with an actor, the terrain and the other actors (a
// teleport's ghost copy aside) are drawn over it, and a gunshot over them;
constexpr int kTerrainOrSolidActor[] = {LAYER_TERRAIN, LAYER_GUNSHOT, LAYER_TELEPORT_PASSER,
                                        LAYER_BOT,     LAYER_HERO,    LAYER_OBJECT};
// these pieces are drawn behind it,
constexpr int kPiecesBehindActor[] = {
    LAYER_LADDER_SEGMENT,    LAYER_GATE_BACK, LAYER_FLOOR_BUTTON, LAYER_GATE_BACK_CLOSING, LAYER_TRAMPOLINE_BACK,
    LAYER_TRAMPOLINE_CANVAS, LAYER_TUBE,      LAYER_TUBE_LIGHTS,  LAYER_TELEPORT_BACK};
// and these in front of it.
constexpr int kPiecesAheadOfActor[] = {
    LAYER_LADDER_PLATFORM,        LAYER_GATE_FRONT,     LAYER_GATE_LIGHTS,     LAYER_TRAMPOLINE_FRONT,
    LAYER_TRAMPOLINE_CANVAS_LEFT, LAYER_TELEPORT_FRONT, LAYER_TELEPORT_PORTAL, LAYER_TELEPORT_GLOW_LEFT,
    LAYER_TELEPORT_GLOW_RIGHT};

// --- tile geometry ---------------------------------------------------------

int Lt(CSprite* s, bool p) { return s->GetLeftTile(p); }
int Rt(CSprite* s, bool p) { return s->GetRightTile(p); }
int Tp(CSprite* s, bool p) { return s->GetTopTile(p); }
int Bt(CSprite* s, bool p) { return s->GetBottomTile(p); }

bool RowsOverlap(CSprite* n, CSprite* r, bool p = false) { return Tp(n, p) <= Bt(r, p) && Tp(r, p) <= Bt(n, p); }
bool ColsOverlap(CSprite* n, CSprite* r, bool p = false) { return Lt(n, p) <= Rt(r, p) && Lt(r, p) <= Rt(n, p); }
bool Below(CSprite* n, CSprite* r, bool p = false) { return Tp(n, p) > Bt(r, p); }
bool Above(CSprite* n, CSprite* r, bool p = false) { return Bt(n, p) < Tp(r, p); }

// A teleport part reaches one column further towards the other sprite.
bool RightOf(CSprite* n, CSprite* r, bool p = false) {
    if (IsTeleportPart(n->GetType()) && !IsTeleportPart(r->GetType())) return Lt(n, p) >= Rt(r, p);
    return Lt(n, p) > Rt(r, p);
}
bool LeftOf(CSprite* n, CSprite* r, bool p = false) {
    if (IsTeleportPart(r->GetType()) && !IsTeleportPart(n->GetType())) return Rt(n, p) <= Lt(r, p);
    return Rt(n, p) < Lt(r, p);
}
bool Sharing(CSprite* n, CSprite* r, bool p = false) { return RowsOverlap(n, r, p) && ColsOverlap(n, r, p); }
bool Touching(CSprite* n, CSprite* r, bool p = false) {
    return Bt(n, p) + 1 >= Tp(r, p) - 1 && Tp(n, p) - 1 <= Bt(r, p) + 1 && Rt(n, p) + 1 >= Lt(r, p) - 1 &&
           Lt(n, p) - 1 <= Rt(r, p) + 1;
}
bool Spans(CSprite* s, int column, bool p = false) { return Lt(s, p) <= column && column <= Rt(s, p); }
bool PixelsOverlap(CSprite* n, CSprite* r) { return RectsOverlap(n->GetRect(), r->GetRect()); }
bool MovingSideways(CSprite* s) { return s->IsMovingLeft() || s->IsMovingRight(); }

// --- fixed precedence ------------------------------------------------------

constexpr int kCloudAboveStep = -2;  // the step that needs a cloud on both sides

struct FixedStep {
    int layer;
    const char* rule;
};

// Front to back: a layer higher in the list is in front of every layer below.
const FixedStep kFixedSteps[] = {
    {LAYER_MOUSE, "FIXED MOUSE"},
    {LAYER_FLASH, "FIXED MOUSE"},
    {LAYER_CL_TOP, "FIXED CL_TOP"},
    {LAYER_CL_LOGO4, "FIXED CL_LOGO4"},
    {LAYER_CL_LOGO3, "FIXED CL_LOGO3"},
    {LAYER_CL_LOGO2, "FIXED CL_LOGO2"},
    {LAYER_CL_LOGO1, "FIXED CL_LOGO1"},
    {LAYER_CL_LOGO0, "FIXED CL_LOGO0"},
    {LAYER_CL_TEXT, "FIXED CL_TEXT"},
    {LAYER_CL_ROLL, "FIXED CL_ROLL"},
    {LAYER_CL_BUTTON, "FIXED CL_BUTTON"},
    {LAYER_CL_SHADOW, "FIXED CL_SHADOW"},
    {LAYER_CL5, "FIXED CL5"},
    {LAYER_CL4, "FIXED CL4"},
    {LAYER_CL3, "FIXED CL3"},
    {LAYER_CL2, "FIXED CL2"},
    {LAYER_CL1, "FIXED CL1"},
    {LAYER_CL0, "FIXED CL0"},
    {LAYER_MAIN_LEAVES, "FIXED MAIN"},
    {LAYER_MAIN_RIGHT_ARM, "FIXED MAIN"},
    {LAYER_MAIN_BODY, "FIXED MAIN"},
    {LAYER_MAIN_HEAD, "FIXED MAIN"},
    {LAYER_MAIN_LEFT_ARM, "FIXED MAIN"},
    {LAYER_MAIN_VOLCANO, "FIXED MAIN"},
    {LAYER_MAIN_VOLCANO_SMOKE, "FIXED MAIN"},
    {LAYER_MAIN_VOLCANO_GLOW, "FIXED MAIN"},
    {LAYER_MAIN_PROFILE, "FIXED MAIN"},
    {kCloudAboveStep, "FIXED CL_CLOUD_ABOVE"},
    {LAYER_CL_CLOUD, "FIXED CL_CLOUD"},
    {LAYER_GUI_TOP, "FIXED GUIT"},
    {LAYER_GUI_BOTTOM, "FIXED GUIB"},
    {LAYER_PALETTE_SELECTOR, "FIXED PALETTE"},
    {LAYER_PALETTE, "FIXED PALETTE"},
    {LAYER_PALETTE_SHADOW, "FIXED PALETTE"},
    {LAYER_PALETTE_DIMMER, "FIXED PALETTE"},
    {LAYER_EDITOR_PLACER, "FIXED PLACER"},
    {LAYER_POWERUP_TOP, "FIXED POWERUP"},
    {LAYER_POWERUP_OVER, "FIXED POWERUP"},
    {LAYER_TELEPORT_GLOW_RIGHT, "FIXED GLOW"},
    {LAYER_CAUGHT, "FIXED CAUGHT"},
    {LAYER_EXPLOSION_COLD, "FIXED EXPLODE"},
    {LAYER_EXPLOSION_HOT, "FIXED EXPLODE"},
    {LAYER_EMP, "FIXED EMP"},
    {LAYER_OVERLAY, "FIXED OVERLAY"},
    {LAYER_TUTORIAL_SIGN, "FIXED TUTORIAL"},
    {LAYER_POWERUP_CAPTION, "FIXED POWERUP"},
    {LAYER_POWERUP_ICON, "FIXED POWERUP"},
    {LAYER_POWERUP_HALO, "FIXED POWERUP"},
    {LAYER_TUBE_ARROW, "FIXED TUBE"},
};
constexpr int kFixedStepCount = sizeof(kFixedSteps) / sizeof(kFixedSteps[0]);
constexpr int kMaxFixedLayer = LAYER_CL_CLOUD;  // the highest layer the list names

// Step index of each layer (INT_MAX for the layers the list does not name),
// so a comparison is two look-ups instead of a walk.
struct FixedRanks {
    int rank[kMaxFixedLayer + 1];
    FixedRanks() {
        for (int& r : rank) r = INT_MAX;
        for (int i = kFixedStepCount - 1; i >= 0; --i)
            if (kFixedSteps[i].layer >= 0) rank[kFixedSteps[i].layer] = i;
    }
    int Of(int layer) const { return layer >= 0 && layer <= kMaxFixedLayer ? rank[layer] : INT_MAX; }
};
const FixedRanks& Ranks() {
    static const FixedRanks ranks;
    return ranks;
}

int CloudStepIndex() {
    for (int i = 0; i < kFixedStepCount; ++i)
        if (kFixedSteps[i].layer == kCloudAboveStep) return i;
    return INT_MAX;
}

int LowerEdge(CSprite* s) { return s->GetY(false) + s->GetHeight(false); }

// --- the rule groups of the full comparison ---------------------------------

constexpr int kNoAnswer = 2;  // this group had nothing to say: go on

int TeleportFrontTerrain(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    if (nt == LAYER_TELEPORT_FRONT && rt == LAYER_TERRAIN) {
        if (Below(n, r) && Spans(r, Lt(n, false) + 1)) return Answer("TELEPORT FRONT-TERRAIN A", -1, n, r);
        return Answer("TELEPORT FRONT-TERRAIN B", 1, n, r);
    }
    if (nt == LAYER_TERRAIN && rt == LAYER_TELEPORT_FRONT) {
        if (Above(n, r) && Spans(n, Lt(r, false) + 1)) return Answer("TELEPORT FRONT-TERRAIN C", 1, n, r);
        return Answer("TELEPORT FRONT-TERRAIN D", -1, n, r);
    }
    return kNoAnswer;
}

// A tutorial sign is scenery: whoever stands on its cell, or passes it,
// stands in front of it, the hero walking into the exit tube too.
int SignBehindActor(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    if (nt == LAYER_TUTORIAL_SIGN && (IsActor(rt) || rt == LAYER_HERO_IN_TUBE))
        return Answer("TUTORIAL BEHIND ACTOR", -1, n, r);
    if (rt == LAYER_TUTORIAL_SIGN && (IsActor(nt) || nt == LAYER_HERO_IN_TUBE))
        return Answer("TUTORIAL BEHIND ACTOR", 1, n, r);
    return kNoAnswer;
}

int SameTile(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    const bool nActor = IsActor(nt), rActor = IsActor(rt);
    if (!nActor && !rActor) {
        // Two pieces in one cell: the first of these lists to name one of
        // them decides, in the order written.
        static const int kBack[] = {LAYER_TRAMPOLINE_BACK,
                                    LAYER_TRAMPOLINE_CANVAS,
                                    LAYER_TRAMPOLINE_CANVAS_LEFT,
                                    LAYER_TRAMPOLINE_FRONT,
                                    LAYER_TUBE,
                                    LAYER_LADDER_SEGMENT,
                                    LAYER_HERO_IN_TUBE,
                                    LAYER_TUBE_LIGHTS,
                                    LAYER_LADDER_PLATFORM};
        static const int kFront[] = {
            LAYER_TELEPORT_GLOW_RIGHT, LAYER_TELEPORT_FRONT,    LAYER_TELEPORT_PORTAL, LAYER_TELEPORT_GLOW_LEFT,
            LAYER_GATE_LIGHTS,         LAYER_GATE_FRONT,        LAYER_TERRAIN,         LAYER_TELEPORT_BACK,
            LAYER_GATE_BACK,           LAYER_GATE_BACK_CLOSING};
        for (int l : kBack) {
            if (nt == l) return Answer("SAME-TILE-C", -1, n, r);
            if (rt == l) return Answer("SAME-TILE-C", 1, n, r);
        }
        for (int l : kFront) {
            if (nt == l) return Answer("SAME-TILE-C", 1, n, r);
            if (rt == l) return Answer("SAME-TILE-C", -1, n, r);
        }
        DebugLog(DBG_SORT, "   SAME-TILE-C:  No order found (N=%i, R=%i)\n", nt, rt);
        return kNoAnswer;
    }
    if (!nActor) {  // R is the actor
        if (MovingSideways(r)) {
            if (nt == LAYER_TELEPORT_FRONT) return Answer("SAME-TILE-B Teleport", 1, n, r);
            if (nt == LAYER_TELEPORT_BACK) return Answer("SAME-TILE-B Teleport", -1, n, r);
        }
        if (IsOneOf(nt, kTerrainOrSolidActor)) {
            if (rt == LAYER_GUNSHOT) return Answer("SAME-TILE-B GUNSHOT", -1, n, r);
            return Answer("SAME-TILE-B Ahead", 1, n, r);
        }
        if (IsOneOf(nt, kPiecesBehindActor)) return Answer("SAME-TILE-B Behind", -1, n, r);
        if (IsOneOf(nt, kPiecesAheadOfActor)) return Answer("SAME-TILE-B Ahead", 1, n, r);
        DebugLog(DBG_SORT_RV, "   SAME-TILE-B:  No order found (N=%i, R=%i)\n", nt, rt);
        return kNoAnswer;
    }
    // N is the actor.
    if (MovingSideways(n)) {
        if (rt == LAYER_TELEPORT_FRONT) return Answer("SAME-TILE-A Teleport", -1, n, r);
        if (rt == LAYER_TELEPORT_BACK) return Answer("SAME-TILE-A Teleport", 1, n, r);
    }
    if (IsOneOf(rt, kTerrainOrSolidActor)) {
        if (nt == LAYER_GUNSHOT) return Answer("SAME-TILE-A GUNSHOT", 1, n, r);
        return Answer("SAME-TILE-A Behind", -1, n, r);
    }
    if (IsOneOf(rt, kPiecesBehindActor)) return Answer("SAME-TILE-A Ahead", 1, n, r);
    if (IsOneOf(rt, kPiecesAheadOfActor)) return Answer("SAME-TILE-A Behind", -1, n, r);
    DebugLog(DBG_SORT_RV, "   SAME-TILE-A:  No sort order found (N=%i, R=%i)\n", nt, rt);
    return kNoAnswer;
}

// -1 when N goes behind: over R's columns when it reaches down to R, beside
// them unless it lies to the right.
int PairRule(const char* rule, CSprite* n, CSprite* r) {
    const bool cols = ColsOverlap(n, r);
    if ((cols && Bt(n, false) >= Tp(r, false)) || (!cols && !RightOf(n, r))) return Answer(rule, -1, n, r);
    return Answer(rule, 1, n, r);
}

int MovingRules(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    if (nt == LAYER_LADDER_PLATFORM && Sharing(n, r, true)) return Answer("PLATFORM MOVING", 1, n, r);
    if (rt == LAYER_LADDER_PLATFORM && Sharing(n, r, true)) return Answer("PLATFORM MOVING", -1, n, r);
    if (nt == LAYER_TERRAIN && r->IsMovingUp() && RightOf(n, r, true)) return Answer("MOVING UP TERRAIN", 1, n, r);
    if (rt == LAYER_TERRAIN && n->IsMovingUp() && LeftOf(n, r, true)) return Answer("MOVING UP TERRAIN", -1, n, r);
    if (nt == LAYER_TERRAIN && r->IsMovingRight() && Above(n, r) && !LeftOf(n, r))
        return Answer("MOVING RIGHT TERRAIN", 1, n, r);
    if (rt == LAYER_TERRAIN && n->IsMovingRight() && Below(n, r) && !RightOf(n, r))
        return Answer("MOVING RIGHT TERRAIN", -1, n, r);
    if (nt == LAYER_TRAMPOLINE_FRONT && r->IsMovingRight() && Sharing(n, r, true))
        return Answer("TRAMP MOVING", 1, n, r);
    if (rt == LAYER_TRAMPOLINE_FRONT && n->IsMovingRight() && Sharing(n, r, true))
        return Answer("TRAMP MOVING", -1, n, r);
    if (nt == LAYER_FLOOR_BUTTON && r->IsMovingLeft() && ColsOverlap(n, r, true))
        return Answer("BUTTON MOVING", -1, n, r);
    if (rt == LAYER_FLOOR_BUTTON && n->IsMovingLeft() && ColsOverlap(n, r, true))
        return Answer("BUTTON MOVING", 1, n, r);
    if (nt == LAYER_TUBE && r->IsMovingLeft() && ColsOverlap(n, r, true)) return Answer("TUBE MOVING", -1, n, r);
    if (rt == LAYER_TUBE && n->IsMovingLeft() && ColsOverlap(n, r, true)) return Answer("TUBE MOVING", 1, n, r);
    if (nt == LAYER_TELEPORT_FRONT && r->IsMovingLeft() && Sharing(n, r, false))
        return Answer("TELEPORT FRONT MOVING", 1, n, r);
    if (rt == LAYER_TELEPORT_FRONT && n->IsMovingLeft() && Sharing(n, r, false))
        return Answer("TELEPORT FRONT MOVING", -1, n, r);
    if (nt == LAYER_TELEPORT_FRONT && r->IsMovingRight() && Sharing(n, r, true))
        return Answer("TELEPORT FRONT MOVING", 1, n, r);
    if (rt == LAYER_TELEPORT_FRONT && n->IsMovingRight() && Sharing(n, r, true))
        return Answer("TELEPORT FRONT MOVING", -1, n, r);
    if (rt != LAYER_BOT && rt != LAYER_HERO && r->IsMovingRight() && ColsOverlap(n, r, true) && Above(n, r, true))
        return Answer("STACK MOVING", 1, n, r);
    if (nt != LAYER_BOT && nt != LAYER_HERO && n->IsMovingRight() && ColsOverlap(n, r, true) && Below(n, r, true))
        return Answer("STACK MOVING", -1, n, r);
    if (nt == LAYER_OBJECT && !n->IsMoving() && Below(n, r) && MovingSideways(r))
        return Answer("OBJECT BELOW", -1, n, r);
    if (rt == LAYER_OBJECT && !r->IsMoving() && Above(n, r) && MovingSideways(n))
        return Answer("OBJECT BELOW", 1, n, r);
    if (!RowsOverlap(n, r, true) && !ColsOverlap(n, r, true)) return kNoAnswer;
    if (n->IsMovingLeft() && RightOf(n, r, true)) return Answer("GENERAL MOVING A", 1, n, r);
    if (r->IsMovingLeft() && LeftOf(n, r, true)) return Answer("GENERAL MOVING B", -1, n, r);
    if (n->IsMovingLeft() && Above(n, r, true)) return Answer("GENERAL MOVING C", 1, n, r);
    if (r->IsMovingLeft() && Below(n, r, true)) return Answer("GENERAL MOVING D", -1, n, r);
    return kNoAnswer;
}

int RestRules(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    if (nt == LAYER_TERRAIN && Below(n, r) && !r->IsMovingUp() && !r->IsMovingDown())
        return Answer("TERRAIN BELOW", -1, n, r);
    if (rt == LAYER_TERRAIN && Above(n, r) && !n->IsMovingUp() && !n->IsMovingDown())
        return Answer("TERRAIN BELOW", 1, n, r);
    if (RightOf(n, r) && Tp(n, false) <= Bt(r, false)) return Answer("FALLOUT RIGHT, NOT BELOW", 1, n, r);
    if (LeftOf(n, r) && Bt(n, false) >= Tp(r, false)) return Answer("FALLOUT LEFT, NOT ABOVE", -1, n, r);
    if (Below(n, r) && !RightOf(n, r)) return Answer("FALLOUT BELOW, NOT RIGHT", -1, n, r);
    if (Above(n, r) && !LeftOf(n, r)) return Answer("FALLOUT ABOVE, NOT LEFT", 1, n, r);
    if (RightOf(n, r)) return Answer("FALLOUT RIGHT", 1, n, r);
    if (LeftOf(n, r)) return Answer("FALLOUT LEFT", -1, n, r);
    if (Below(n, r)) return Answer("FALLOUT BELOW", -1, n, r);
    if (Above(n, r)) return Answer("FALLOUT ABOVE", 1, n, r);
    DebugLog(DBG_SORT, "************************************************************\n");
    DebugLog(DBG_SORT, "*  FALLOUT CASE:  SHOULD NOT GET TO THIS POINT!!!          *\n");
    DebugLog(DBG_SORT, "************************************************************\n");
    return Answer("FALLOUT CASE:  SHOULD NOT GET TO THIS POINT!!!", 1, n, r);
}

int WorldRules(CSprite* n, CSprite* r, bool force) {
    const int nt = n->GetType(), rt = r->GetType();
    int a;

    if (!force && ((nt == LAYER_BOT && !Touching(n, r)) || (rt == LAYER_BOT && !Touching(n, r))))
        return Answer("BOT VICINITY IGNORE", 0, n, r);

    if (nt == LAYER_BRIDGE_COLLAPSE) {
        if (!LeftOf(n, r) && Tp(n, false) <= Bt(r, false)) return Answer("BRIDGE COLLAPSE B LEFT|BELOW", 1, n, r);
        return Answer("BRIDGE COLLAPSE A LEFT|BELOW", -1, n, r);
    }
    if (rt == LAYER_BRIDGE_COLLAPSE) {
        if (!RightOf(n, r) && Bt(n, false) >= Tp(r, false)) return Answer("BRIDGE COLLAPSE D RIGHT|ABOVE", -1, n, r);
        return Answer("BRIDGE COLLAPSE C RIGHT|ABOVE", 1, n, r);
    }

    const bool ghost = nt == LAYER_TELEPORT_GHOST || rt == LAYER_TELEPORT_GHOST;
    if (Sharing(n, r) || (ghost && Sharing(n, r, true))) {
        a = SameTile(n, r);
        if (a != kNoAnswer) return a;
    }

    if (nt == LAYER_TELEPORT_PASSER && n->IsMovingRight() && Sharing(n, r, true))
        return Answer("TELEPORT-ACTUAL A", (rt == LAYER_TELEPORT_GLOW_RIGHT || rt == LAYER_TELEPORT_FRONT) ? -1 : 1,
                      n, r);
    if (rt == LAYER_TELEPORT_PASSER && r->IsMovingRight() && Sharing(n, r, true))
        return Answer("TELEPORT-ACTUAL B", (nt == LAYER_TELEPORT_GLOW_RIGHT || nt == LAYER_TELEPORT_FRONT) ? 1 : -1,
                      n, r);

    if ((nt == LAYER_TERRAIN && rt == LAYER_LADDER_SEGMENT) || (nt == LAYER_LADDER_SEGMENT && rt == LAYER_TERRAIN)) {
        if (ColsOverlap(n, r)) {
            if (Tp(n, false) <= Bt(r, false)) return Answer("LADDER-TERRAIN ABOVE", 1, n, r);
            return Answer("LADDER-TERRAIN BELOW", -1, n, r);
        }
        if (RightOf(n, r)) return Answer("LADDER-TERRAIN RIGHT", 1, n, r);
        if (LeftOf(n, r)) return Answer("LADDER-TERRAIN LEFT", -1, n, r);
    }

    if (nt == LAYER_LADDER_SEGMENT && rt == LAYER_LADDER_SEGMENT) {
        if (RightOf(n, r)) return Answer("LADDER-LADDER RIGHT", 1, n, r);
        if (LeftOf(n, r)) return Answer("LADDER-LADDER LEFT", -1, n, r);
        if (Tp(n, false) <= Bt(r, false)) return Answer("LADDER-LADDER ABOVE", -1, n, r);
        return Answer("LADDER-LADDER BELOW", 1, n, r);
    }
    if (nt == LAYER_LADDER_SEGMENT) return Answer("LADDER DEFAULT", -1, n, r);
    if (rt == LAYER_LADDER_SEGMENT) return Answer("LADDER DEFAULT", 1, n, r);

    if (nt == LAYER_GATE_LIGHTS) return Answer("GATE LIGHTS", 1, n, r);
    if (rt == LAYER_GATE_LIGHTS) return Answer("GATE LIGHTS", -1, n, r);

    if (nt == LAYER_GATE_FRONT && rt == LAYER_GATE_FRONT) return PairRule("GATE FRONT-FRONT", n, r);
    if (nt == LAYER_GATE_FRONT) return Answer("GATE FRONT", 1, n, r);
    if (rt == LAYER_GATE_FRONT) return Answer("GATE FRONT", -1, n, r);

    const bool nBack = nt == LAYER_GATE_BACK || nt == LAYER_GATE_BACK_CLOSING,
               rBack = rt == LAYER_GATE_BACK || rt == LAYER_GATE_BACK_CLOSING;
    if (nBack || rBack) {
        if ((nBack && rt == LAYER_TERRAIN) || (rBack && nt == LAYER_TERRAIN))
            return PairRule("GATE BACK-TERRAIN", n, r);
        if (nBack && rBack) return PairRule("GATE BACK-BACK", n, r);
        if (nt == LAYER_GATE_BACK && Above(n, r) && RightOf(n, r)) return Answer("GATE BACK A/R", 1, n, r);
        if (rt == LAYER_GATE_BACK && Below(n, r) && LeftOf(n, r)) return Answer("GATE BACK A/R", -1, n, r);
        if (nt == LAYER_GATE_BACK_CLOSING && Tp(n, false) <= Bt(r, false) && !LeftOf(n, r))
            return Answer("GATE BACK CLOSED A/R", 1, n, r);
        if (rt == LAYER_GATE_BACK_CLOSING && Bt(n, false) >= Tp(r, false) && !RightOf(n, r))
            return Answer("GATE BACK CLOSED A/R", -1, n, r);
        if (nBack) return Answer("GATE BACK DEFAULT", -1, n, r);
        return Answer("GATE BACK DEFAULT", 1, n, r);
    }

    if (RowsOverlap(n, r) && PixelsOverlap(n, r)) {
        if (IsOneOf(nt, {LAYER_FLOOR_BUTTON, LAYER_TUBE, LAYER_TUBE_LIGHTS}) && rt != LAYER_TERRAIN &&
            !r->IsMovingDown())
            return Answer("TUBE-BUTTON BELOW", -1, n, r);
        if (IsOneOf(rt, {LAYER_FLOOR_BUTTON, LAYER_TUBE, LAYER_TUBE_LIGHTS}) && nt != LAYER_TERRAIN &&
            !n->IsMovingDown())
            return Answer("TUBE-BUTTON BELOW", 1, n, r);
    }

    if (IsOneOf(nt, kTeleportBody) && Below(n, r) && ColsOverlap(n, r) && r->IsMovingLeft())
        return Answer("TELEPORT-LMOVER", -1, n, r);
    if (IsOneOf(rt, kTeleportBody) && Above(n, r) && ColsOverlap(n, r) && n->IsMovingLeft())
        return Answer("TELEPORT-LMOVER", 1, n, r);

    a = TeleportFrontTerrain(n, r);
    if (a != kNoAnswer) return a;

    if (nt == LAYER_TELEPORT_FRONT && rt == LAYER_TELEPORT_GHOST && r->IsMovingRight() && Spans(r, Lt(n, false) + 1))
        return Answer("TELEPORT FRONT-GHOST", 1, n, r);
    if (nt == LAYER_TELEPORT_GHOST && n->IsMovingRight() && rt == LAYER_TELEPORT_FRONT && Spans(n, Lt(r, false) + 1))
        return Answer("TELEPORT FRONT-GHOST", -1, n, r);

    if (nt == LAYER_TELEPORT_FRONT) {
        if (RightOf(n, r)) return Answer("TELEPORT FRONT RIGHT", 1, n, r);
        if (r->IsMovingLeft() && ColsOverlap(n, r)) return Answer("TELEPORT FRONT RIGHT", 1, n, r);
        if (ColsOverlap(n, r, true) && r->IsMovingRight())
            return Answer("TELEPORT FRONT LEFT-MOVE", Tp(n, false) <= Bt(r, false) ? 1 : -1, n, r);
        if (LeftOf(n, r) && PixelsOverlap(n, r)) return Answer("TELEPORT FRONT LEFT", -1, n, r);
        if (Bt(n, false) >= Tp(r, false)) return Answer("TELEPORT FRONT BELOW", -1, n, r);
        return Answer("TELEPORT FRONT ABOVE", 1, n, r);
    }
    if (rt == LAYER_TELEPORT_FRONT) {
        if (LeftOf(n, r)) return Answer("TELEPORT FRONT RIGHT", -1, n, r);
        if (n->IsMovingLeft() && ColsOverlap(n, r)) return Answer("TELEPORT FRONT RIGHT", -1, n, r);
        if (ColsOverlap(n, r, true) && n->IsMovingRight())
            return Answer("TELEPORT FRONT LEFT-MOVE", Bt(n, false) >= Tp(r, false) ? -1 : 1, n, r);
        if (RightOf(n, r) && PixelsOverlap(n, r)) return Answer("TELEPORT FRONT LEFT", 1, n, r);
        if (Tp(n, false) <= Bt(r, false)) return Answer("TELEPORT FRONT BELOW", 1, n, r);
        return Answer("TELEPORT FRONT ABOVE", -1, n, r);
    }

    if (nt == LAYER_TELEPORT_GLOW_RIGHT) return Answer("TELEPORT RGLOW", 1, n, r);
    if (rt == LAYER_TELEPORT_GLOW_RIGHT) return Answer("TELEPORT RGLOW", -1, n, r);

    if (PixelsOverlap(n, r)) {
        if (nt == LAYER_TELEPORT_PORTAL && rt == LAYER_TELEPORT_GHOST && r->IsMovingRight())
            return Answer("TELEPORT PORTAL-GHOST A", 1, n, r);
        if (nt == LAYER_TELEPORT_GHOST && n->IsMovingRight() && rt == LAYER_TELEPORT_PORTAL)
            return Answer("TELEPORT PORTAL-GHOST B", -1, n, r);
        if (nt == LAYER_TELEPORT_PORTAL && rt == LAYER_TELEPORT_GHOST)
            return Answer("TELEPORT PORTAL-GHOST C", -1, n, r);
        if (nt == LAYER_TELEPORT_GHOST && rt == LAYER_TELEPORT_PORTAL)
            return Answer("TELEPORT PORTAL-GHOST D", 1, n, r);
        if (nt == LAYER_TELEPORT_PORTAL && rt == LAYER_TELEPORT_PASSER && r->IsMovingLeft())
            return Answer("TELEPORT PORTAL-ACTUAL A", 1, n, r);
        if (nt == LAYER_TELEPORT_PASSER && n->IsMovingLeft() && rt == LAYER_TELEPORT_PORTAL)
            return Answer("TELEPORT PORTAL-ACTUAL B", -1, n, r);
        if (nt == LAYER_TELEPORT_PORTAL && rt == LAYER_TELEPORT_PASSER)
            return Answer("TELEPORT PORTAL-ACTUAL C", -1, n, r);
        if (nt == LAYER_TELEPORT_PASSER && rt == LAYER_TELEPORT_PORTAL)
            return Answer("TELEPORT PORTAL-ACTUAL D", 1, n, r);
    }

    if (nt == LAYER_TELEPORT_GLOW_LEFT && RightOf(n, r)) return Answer("TELEPORT LGLOW A", 1, n, r);
    if (rt == LAYER_TELEPORT_GLOW_LEFT && LeftOf(n, r)) return Answer("TELEPORT LGLOW B", -1, n, r);

    if (nt == LAYER_TELEPORT_PORTAL && rt == LAYER_TERRAIN) {
        if (Spans(r, Lt(n, false) + 1) && Bt(n, false) >= Tp(r, false))
            return Answer("TELEPORT PORTAL-TERRAIN A", -1, n, r);
        return Answer("TELEPORT PORTAL-TERRAIN B", 1, n, r);
    }
    if (nt == LAYER_TERRAIN && rt == LAYER_TELEPORT_PORTAL) {
        if (Spans(n, Lt(r, false) + 1) && Tp(n, false) <= Bt(r, false))
            return Answer("TELEPORT PORTAL-TERRAIN C", 1, n, r);
        return Answer("TELEPORT PORTAL-TERRAIN D", -1, n, r);
    }
    if (nt == LAYER_TELEPORT_PORTAL || rt == LAYER_TELEPORT_PORTAL) {
        if (RightOf(n, r)) return Answer("TELEPORT PORTAL A", 1, n, r);
        if (ColsOverlap(n, r) && PixelsOverlap(n, r))
            return Answer("TELEPORT PORTAL B", nt == LAYER_TELEPORT_PORTAL ? 1 : -1, n, r);
        if (Bt(n, false) >= Tp(r, false)) return Answer("TELEPORT PORTAL D", -1, n, r);
        return Answer("TELEPORT PORTAL C", 1, n, r);
    }

    if (nt == LAYER_TELEPORT_BACK) {
        if (rt == LAYER_TERRAIN && Above(n, r) && (ColsOverlap(n, r) || Spans(r, Lt(n, false) + 1)))
            return Answer("TELEPORT BACK-TERRAIN", 1, n, r);
        return Answer("TELEPORT BACK DEFAULT", -1, n, r);
    }
    if (rt == LAYER_TELEPORT_BACK) {
        if (nt == LAYER_TERRAIN && Below(n, r) && (ColsOverlap(n, r) || Spans(n, Lt(r, false) + 1)))
            return Answer("TELEPORT BACK-TERRAIN", -1, n, r);
        return Answer("TELEPORT BACK DEFAULT", 1, n, r);
    }

    if (n->IsMoving() || r->IsMoving()) {
        a = MovingRules(n, r);
        if (a != kNoAnswer) return a;
    }
    return RestRules(n, r);
}

int EditorRules(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    if (nt == LAYER_EDITOR_TELEPORT && rt == LAYER_EDITOR_TERRAIN) {
        const bool behind = Below(n, r) && Spans(r, Lt(n, false) + 1);
        return Answer("EDITOR TELEPORT-TERRAIN", behind ? -1 : 1, n, r);
    }
    if (nt == LAYER_EDITOR_TERRAIN && rt == LAYER_EDITOR_TELEPORT) {
        const bool front = Above(n, r) && Spans(n, Lt(r, false) + 1);
        return Answer("EDITOR TELEPORT-TERRAIN", front ? 1 : -1, n, r);
    }
    if (nt == LAYER_EDITOR_TELEPORT && Sharing(n, r)) return Answer("EDITOR TELEPORT", 1, n, r);
    if (rt == LAYER_EDITOR_TELEPORT && Sharing(n, r)) return Answer("EDITOR TELEPORT", -1, n, r);
    if (nt == LAYER_EDITOR_LADDER && rt == LAYER_EDITOR_TERRAIN && ColsOverlap(n, r) && Above(n, r))
        return Answer("EDITOR LADDER", 1, n, r);
    if (nt == LAYER_EDITOR_TERRAIN && rt == LAYER_EDITOR_LADDER && ColsOverlap(n, r) && Below(n, r))
        return Answer("EDITOR LADDER", -1, n, r);
    if (nt == LAYER_EDITOR_LADDER) return Answer("EDITOR LADDER", -1, n, r);
    if (rt == LAYER_EDITOR_LADDER) return Answer("EDITOR LADDER", 1, n, r);
    if (Bt(n, false) >= Tp(r, false) && !RightOf(n, r)) return Answer("EDITOR DEFAULT", -1, n, r);
    return Answer("EDITOR DEFAULT", 1, n, r);
}

// The three full-screen layers lie behind everything, in this order.
int BackLayers(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    if (nt == LAYER_SWAP) return Answer("FIXED SWAP", -1, n, r);
    if (rt == LAYER_SWAP) return Answer("FIXED SWAP", 1, n, r);
    if (nt == LAYER_BACKGROUND) return Answer("FIXED BACKGROUND", -1, n, r);
    if (rt == LAYER_BACKGROUND) return Answer("FIXED BACKGROUND", 1, n, r);
    if (nt == LAYER_BACKGROUND_GRID) return Answer("FIXED GRID", -1, n, r);
    if (rt == LAYER_BACKGROUND_GRID) return Answer("FIXED GRID", 1, n, r);
    return kNoAnswer;
}

bool IsForegroundLayer(int t) {
    if (t >= LAYER_PALETTE_SHADOW && t <= LAYER_EDITOR_PLACER) return true;
    if (t >= LAYER_CL0 && t <= LAYER_CL5) return true;
    if (t >= LAYER_CL_SHADOW && t <= LAYER_CL_TEXT) return true;
    if (t >= LAYER_CL_LOGO0 && t <= LAYER_CL_LOGO4) return true;
    static const int kForeground[] = {
        LAYER_LADDER_SEGMENT, LAYER_GATE_LIGHTS,         LAYER_TUBE_ARROW,     LAYER_POWERUP_ICON,
        LAYER_POWERUP_HALO,   LAYER_POWERUP_CAPTION,     LAYER_POWERUP_OVER,   LAYER_POWERUP_TOP,
        LAYER_TUTORIAL_SIGN,  LAYER_TELEPORT_GLOW_RIGHT, LAYER_CAUGHT,         LAYER_OVERLAY,
        LAYER_EMP,            LAYER_EXPLOSION_HOT,       LAYER_EXPLOSION_COLD, LAYER_FLASH,
        LAYER_PALETTE_DIMMER, LAYER_CL_TOP,              LAYER_CL_CLOUD};
    return IsOneOf(t, kForeground);
}

bool IsEditorPiece(int t) { return t >= LAYER_EDITOR_LADDER && t <= LAYER_EDITOR_ELEMENT; }

bool IsBackdrop(int t) { return t == LAYER_BACKGROUND || t == LAYER_BACKGROUND_GRID || t == LAYER_SWAP; }

}  // namespace

const char* LastPaintersRule() { return g_lastRule; }

int CompareFixed(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    int rn = Ranks().Of(nt), rr = Ranks().Of(rt);
    if (nt == LAYER_CL_CLOUD && rt == LAYER_CL_CLOUD) rn = rr = CloudStepIndex();
    if (rn == INT_MAX && rr == INT_MAX) return 0;
    if (rn <= rr) {
        const FixedStep& step = kFixedSteps[rn];
        if (step.layer == kCloudAboveStep) return Answer(step.rule, LowerEdge(n) >= LowerEdge(r) ? 1 : -1, n, r);
        return Answer(step.rule, 1, n, r);
    }
    return Answer(kFixedSteps[rr].rule, -1, n, r);
}

int CompareBasic(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    const int back = BackLayers(n, r);
    if (back != kNoAnswer) return back;
    if (nt == LAYER_LADDER_SEGMENT && rt == LAYER_LADDER_PLATFORM && Touching(n, r))
        return Answer("LADDER OVERRIDE", -1, n, r);
    if (rt == LAYER_LADDER_SEGMENT && nt == LAYER_LADDER_PLATFORM && Touching(n, r))
        return Answer("LADDER OVERRIDE", 1, n, r);
    if (nt == LAYER_LADDER_SEGMENT) return Answer("LADDER OVERRIDE", 1, n, r);
    if (rt == LAYER_LADDER_SEGMENT) return Answer("LADDER OVERRIDE", -1, n, r);
    if (nt == LAYER_TELEPORT_FRONT && (rt == LAYER_TELEPORT_GHOST || rt == LAYER_TELEPORT_PASSER) && Touching(n, r))
        return Answer("TELEPORT OVERRIDE", -1, n, r);
    if (rt == LAYER_TELEPORT_FRONT && (nt == LAYER_TELEPORT_GHOST || nt == LAYER_TELEPORT_PASSER) && Touching(n, r))
        return Answer("TELEPORT OVERRIDE", 1, n, r);
    if (nt == LAYER_TELEPORT_GLOW_LEFT) return Answer("TELEPORT LGLOW OVERRIDE", 1, n, r);
    if (rt == LAYER_TELEPORT_GLOW_LEFT) return Answer("TELEPORT LGLOW OVERRIDE", -1, n, r);
    if (nt == LAYER_TELEPORT_FRONT && Sharing(n, r)) return Answer("TELEPORT OVERRIDE", -1, n, r);
    if (rt == LAYER_TELEPORT_FRONT && Sharing(n, r)) return Answer("TELEPORT OVERRIDE", 1, n, r);
    if (nt == LAYER_TRAMPOLINE_FRONT && Sharing(n, r)) return Answer("TRAMP OVERRIDE", -1, n, r);
    if (rt == LAYER_TRAMPOLINE_FRONT && Sharing(n, r)) return Answer("TRAMP OVERRIDE", 1, n, r);
    if (nt == LAYER_GATE_FRONT && Sharing(n, r)) return Answer("GATE OVERRIDE", -1, n, r);
    if (rt == LAYER_GATE_FRONT && Sharing(n, r)) return Answer("GATE OVERRIDE", 1, n, r);
    if (nt == LAYER_GATE_BACK && Sharing(n, r)) return Answer("GATE OVERRIDE", 1, n, r);
    if (rt == LAYER_GATE_BACK && Sharing(n, r)) return Answer("GATE OVERRIDE", -1, n, r);
    if (nt == LAYER_FLOOR_BUTTON && Touching(n, r)) return Answer("BUTTON OVERRIDE", 1, n, r);
    if (rt == LAYER_FLOOR_BUTTON && Touching(n, r)) return Answer("BUTTON OVERRIDE", -1, n, r);
    if (RightOf(n, r)) return Answer("BASIC RIGHT", -1, n, r);
    if (LeftOf(n, r)) return Answer("BASIC LEFT", 1, n, r);
    if (Above(n, r)) return Answer("BASIC ABOVE", 1, n, r);
    if (RowsOverlap(n, r)) return Answer("BASIC FALLOUT", 1, n, r);
    return Answer("BASIC BELOW", -1, n, r);
}

int CompareSprites(CSprite* n, CSprite* r, bool force, bool ignoreFar) {
    const int nt = n->GetType(), rt = r->GetType();
    int a = BackLayers(n, r);
    if (a != kNoAnswer) return a;

    if (ColsOverlap(n, r)) {
        if (nt == LAYER_LADDER_SEGMENT && rt == LAYER_LADDER_PLATFORM && n->GetTileY() == r->GetTileY() - 1)
            return Answer("HACK LADDER_ABOVE-PLATFORM", -1, n, r);
        if (rt == LAYER_LADDER_SEGMENT && nt == LAYER_LADDER_PLATFORM && r->GetTileY() == n->GetTileY() - 1)
            return Answer("HACK LADDER_ABOVE-PLATFORM", 1, n, r);
    }

    if (!PixelsOverlap(n, r) && !Touching(n, r) && CController::GetCurrentId() != CONTROLLER_EDITOR) {
        a = CompareFixed(n, r);
        if (a != 0) return a;
        if (!force) return Answer("NOT INTERSECTING!!!", 0, n, r);
        const bool below = Below(n, r), above = Above(n, r);
        const bool left = LeftOf(n, r), right = RightOf(n, r);
        if (below && left)
            return ignoreFar ? Answer("NI POSITION 9 (IGNORED)", 0, n, r) : Answer("NI POSITION 9", -1, n, r);
        if (below && right) return Answer("NI POSITION 7", 1, n, r);
        if (above && left) return Answer("NI POSITION 3", 1, n, r);
        if (above && right) return Answer("NI POSITION 1", 1, n, r);
        if (below && ColsOverlap(n, r))
            return ignoreFar ? Answer("NI POSITION 8 (IGNORED)", 0, n, r) : Answer("NI POSITION 8", -1, n, r);
        if (left && RowsOverlap(n, r))
            return ignoreFar ? Answer("NI POSITION 6 (IGNORED)", 0, n, r) : Answer("NI POSITION 6", -1, n, r);
        if (right && RowsOverlap(n, r)) return Answer("NI POSITION 4", 1, n, r);
        if (above && ColsOverlap(n, r)) return Answer("NI POSITION 2", 1, n, r);
        return ignoreFar ? Answer("NI POSITION 5 (IGNORED)", 0, n, r) : Answer("NI POSITION 5", -1, n, r);
    }

    a = SignBehindActor(n, r);
    if (a != kNoAnswer) return a;

    a = CompareFixed(n, r);
    if (a != 0) return a;

    a = TeleportFrontTerrain(n, r);
    if (a != kNoAnswer) return a;

    if (IsEditorPiece(nt) || IsEditorPiece(rt)) return EditorRules(n, r);
    return WorldRules(n, r, force);
}

void PresortDirtySprites(std::vector<CSprite*>& collected, std::vector<CSprite*>& ordered,
                         std::vector<CSprite*>& foreground) {
    ordered.clear();
    foreground.clear();
    if (collected.size() < 2) return;
    for (CSprite* s : collected) {
        if (IsForegroundLayer(s->GetType())) {
            foreground.push_back(s);
            continue;
        }
        size_t at = ordered.size();
        for (size_t j = 0; j < ordered.size(); ++j) {
            if (CompareBasic(s, ordered[j]) == -1) {
                at = j;
                break;
            }
        }
        ordered.insert(ordered.begin() + static_cast<std::ptrdiff_t>(at), s);
    }
    collected = ordered;
}

void SortDirtySprites(std::vector<CSprite*>& collected, std::vector<CSprite*>& ordered,
                      std::vector<CSprite*>& foreground) {
    if (collected.size() <= 1) {
        ordered = collected;
        return;
    }
    ordered.clear();
    // Kept between calls: the sort runs once per dirty rectangle.
    static std::vector<CSprite*> pending, deferred;
    pending = collected;
    bool forced = false;
    for (;;) {
        deferred.clear();
        bool placed = false;
        for (size_t i = 0; i < pending.size(); ++i) {
            CSprite* s = pending[i];
            const bool force = forced && i == 0;
            int insertAt = -1;
            int candidate = -1;
            bool inRun = false;
            int last = 0;
            for (size_t j = 0; j < ordered.size(); ++j) {
                CSprite* r = ordered[j];
                const int a = CompareSprites(s, r, force, false);
                last = a;
                if (a == -1) {
                    insertAt = static_cast<int>(j);
                    break;
                }
                if (a == 1 && !IsBackdrop(r->GetType())) {
                    inRun = true;
                } else if (a == 0 && inRun) {
                    candidate = static_cast<int>(j);
                    inRun = false;
                }
            }
            if (insertAt < 0 && (ordered.empty() || last == 1)) insertAt = static_cast<int>(ordered.size());
            if (insertAt < 0) insertAt = candidate;
            if (insertAt < 0) {
                deferred.push_back(s);
                continue;
            }
            ordered.insert(ordered.begin() + insertAt, s);
            placed = true;
        }
        if (deferred.empty()) {
            pending = foreground;
            foreground.clear();
        } else {
            pending = deferred;
        }
        if (placed) {
            forced = false;
        } else if (!deferred.empty()) {
            forced = true;
        } else {
            break;
        }
    }
    collected = ordered;
}

void PostsortForegroundSprites(std::vector<CSprite*>& collected, std::vector<CSprite*>& ordered,
                               std::vector<CSprite*>& foreground) {
    if (foreground.empty()) return;
    for (CSprite* s : foreground) {
        size_t at = ordered.size();
        for (size_t j = 0; j < ordered.size(); ++j) {
            if (CompareSprites(s, ordered[j], true, true) == -1) {
                at = j;
                break;
            }
        }
        ordered.insert(ordered.begin() + static_cast<std::ptrdiff_t>(at), s);
    }
    foreground.clear();
    collected = ordered;
}

void OrderDirtySprites(std::vector<CSprite*>& collected, std::vector<CSprite*>& ordered,
                       std::vector<CSprite*>& foreground) {
    PresortDirtySprites(collected, ordered, foreground);
    SortDirtySprites(collected, ordered, foreground);
    PostsortForegroundSprites(collected, ordered, foreground);
}
