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

// --- tile geometry ---------------------------------------------------------

int Lt(CSprite* s, bool p) { return s->GetLeftTile(p); }
int Rt(CSprite* s, bool p) { return s->GetRightTile(p); }
int Tp(CSprite* s, bool p) { return s->GetTopTile(p); }
int Bt(CSprite* s, bool p) { return s->GetBottomTile(p); }

bool IsTeleportPart(int t) { return t == 60 || t == 61 || t == 62 || t == 65 || t == 66; }

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

bool IsOneOf(int t, std::initializer_list<int> layers) {
    for (int l : layers)
        if (t == l) return true;
    return false;
}

// --- fixed precedence ------------------------------------------------------

constexpr int kCloud = 1500;
constexpr int kCloudAboveStep = -2;  // the step that needs a cloud on both sides

struct FixedStep {
    int layer;
    const char* rule;
};

// Front to back: a layer higher in the list is in front of every layer below.
const FixedStep kFixedSteps[] = {
    {1305, "FIXED MOUSE"},    {1102, "FIXED MOUSE"},     {1450, "FIXED CL_TOP"},    {1434, "FIXED CL_LOGO4"},
    {1433, "FIXED CL_LOGO3"}, {1432, "FIXED CL_LOGO2"},  {1431, "FIXED CL_LOGO1"},  {1430, "FIXED CL_LOGO0"},
    {1423, "FIXED CL_TEXT"},  {1422, "FIXED CL_ROLL"},   {1421, "FIXED CL_BUTTON"}, {1420, "FIXED CL_SHADOW"},
    {1415, "FIXED CL5"},      {1414, "FIXED CL4"},       {1413, "FIXED CL3"},       {1412, "FIXED CL2"},
    {1411, "FIXED CL1"},      {1410, "FIXED CL0"},       {1407, "FIXED MAIN"},      {1406, "FIXED MAIN"},
    {1405, "FIXED MAIN"},     {1404, "FIXED MAIN"},      {1403, "FIXED MAIN"},      {1402, "FIXED MAIN"},
    {1401, "FIXED MAIN"},     {1400, "FIXED MAIN"},      {1408, "FIXED MAIN"},      {kCloudAboveStep, "FIXED CL_CLOUD_ABOVE"},
    {kCloud, "FIXED CL_CLOUD"}, {1303, "FIXED GUIT"},    {1304, "FIXED GUIB"},      {1302, "FIXED PALETTE"},
    {1301, "FIXED PALETTE"},  {1300, "FIXED PALETTE"},   {1200, "FIXED PALETTE"},   {1306, "FIXED PLACER"},
    {55, "FIXED POWERUP"},    {54, "FIXED POWERUP"},     {66, "FIXED GLOW"},        {72, "FIXED CAUGHT"},
    {93, "FIXED EXPLODE"},    {92, "FIXED EXPLODE"},     {91, "FIXED EMP"},         {90, "FIXED OVERLAY"},
    {56, "FIXED TUTORIAL"},   {52, "FIXED POWERUP"},     {50, "FIXED POWERUP"},     {51, "FIXED POWERUP"},
    {42, "FIXED TUBE"},
};
constexpr int kFixedStepCount = sizeof(kFixedSteps) / sizeof(kFixedSteps[0]);
constexpr int kMaxFixedLayer = 1500;

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
    if (nt == 60 && rt == 10) {
        if (Below(n, r) && Spans(r, Lt(n, false) + 1)) return Answer("TELEPORT FRONT-TERRAIN A", -1, n, r);
        return Answer("TELEPORT FRONT-TERRAIN B", 1, n, r);
    }
    if (nt == 10 && rt == 60) {
        if (Above(n, r) && Spans(n, Lt(r, false) + 1)) return Answer("TELEPORT FRONT-TERRAIN C", 1, n, r);
        return Answer("TELEPORT FRONT-TERRAIN D", -1, n, r);
    }
    return kNoAnswer;
}

bool IsActor(int t) { return IsOneOf(t, {53, 64, 67, 70, 71, 80}); }

// A tutorial sign is scenery: whoever stands on its cell, or passes it,
// stands in front of it, the hero walking into the exit tube too.
constexpr int kTutorialSign = 56, kHeroInTube = 73;
int SignBehindActor(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    if (nt == kTutorialSign && (IsActor(rt) || rt == kHeroInTube)) return Answer("TUTORIAL BEHIND ACTOR", -1, n, r);
    if (rt == kTutorialSign && (IsActor(nt) || nt == kHeroInTube)) return Answer("TUTORIAL BEHIND ACTOR", 1, n, r);
    return kNoAnswer;
}

int SameTile(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    const bool nActor = IsActor(nt), rActor = IsActor(rt);
    if (!nActor && !rActor) {
        static const int kBack[] = {30, 33, 32, 31, 40, 12, 73, 41, 13};
        static const int kFront[] = {66, 60, 61, 65, 22, 21, 10, 62, 20, 24};
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
            if (nt == 60) return Answer("SAME-TILE-B Teleport", 1, n, r);
            if (nt == 62) return Answer("SAME-TILE-B Teleport", -1, n, r);
        }
        if (IsOneOf(nt, {10, 53, 67, 70, 71, 80})) {
            if (rt == 53) return Answer("SAME-TILE-B GUNSHOT", -1, n, r);
            return Answer("SAME-TILE-B Ahead", 1, n, r);
        }
        if (IsOneOf(nt, {12, 20, 23, 24, 30, 33, 40, 41, 62})) return Answer("SAME-TILE-B Behind", -1, n, r);
        if (IsOneOf(nt, {13, 21, 22, 31, 32, 60, 61, 65, 66})) return Answer("SAME-TILE-B Ahead", 1, n, r);
        DebugLog(DBG_SORT_RV, "   SAME-TILE-B:  No order found (N=%i, R=%i)\n", nt, rt);
        return kNoAnswer;
    }
    // N is the actor.
    if (MovingSideways(n)) {
        if (rt == 60) return Answer("SAME-TILE-A Teleport", -1, n, r);
        if (rt == 62) return Answer("SAME-TILE-A Teleport", 1, n, r);
    }
    if (IsOneOf(rt, {10, 53, 67, 70, 71, 80})) {
        if (nt == 53) return Answer("SAME-TILE-A GUNSHOT", 1, n, r);
        return Answer("SAME-TILE-A Behind", -1, n, r);
    }
    if (IsOneOf(rt, {12, 20, 23, 24, 30, 33, 40, 41, 62})) return Answer("SAME-TILE-A Ahead", 1, n, r);
    if (IsOneOf(rt, {13, 21, 22, 31, 32, 60, 61, 65, 66})) return Answer("SAME-TILE-A Behind", -1, n, r);
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
    if (nt == 13 && Sharing(n, r, true)) return Answer("PLATFORM MOVING", 1, n, r);
    if (rt == 13 && Sharing(n, r, true)) return Answer("PLATFORM MOVING", -1, n, r);
    if (nt == 10 && r->IsMovingUp() && RightOf(n, r, true)) return Answer("MOVING UP TERRAIN", 1, n, r);
    if (rt == 10 && n->IsMovingUp() && LeftOf(n, r, true)) return Answer("MOVING UP TERRAIN", -1, n, r);
    if (nt == 10 && r->IsMovingRight() && Above(n, r) && !LeftOf(n, r)) return Answer("MOVING RIGHT TERRAIN", 1, n, r);
    if (rt == 10 && n->IsMovingRight() && Below(n, r) && !RightOf(n, r))
        return Answer("MOVING RIGHT TERRAIN", -1, n, r);
    if (nt == 31 && r->IsMovingRight() && Sharing(n, r, true)) return Answer("TRAMP MOVING", 1, n, r);
    if (rt == 31 && n->IsMovingRight() && Sharing(n, r, true)) return Answer("TRAMP MOVING", -1, n, r);
    if (nt == 23 && r->IsMovingLeft() && ColsOverlap(n, r, true)) return Answer("BUTTON MOVING", -1, n, r);
    if (rt == 23 && n->IsMovingLeft() && ColsOverlap(n, r, true)) return Answer("BUTTON MOVING", 1, n, r);
    if (nt == 40 && r->IsMovingLeft() && ColsOverlap(n, r, true)) return Answer("TUBE MOVING", -1, n, r);
    if (rt == 40 && n->IsMovingLeft() && ColsOverlap(n, r, true)) return Answer("TUBE MOVING", 1, n, r);
    if (nt == 60 && r->IsMovingLeft() && Sharing(n, r, false)) return Answer("TELEPORT FRONT MOVING", 1, n, r);
    if (rt == 60 && n->IsMovingLeft() && Sharing(n, r, false)) return Answer("TELEPORT FRONT MOVING", -1, n, r);
    if (nt == 60 && r->IsMovingRight() && Sharing(n, r, true)) return Answer("TELEPORT FRONT MOVING", 1, n, r);
    if (rt == 60 && n->IsMovingRight() && Sharing(n, r, true)) return Answer("TELEPORT FRONT MOVING", -1, n, r);
    if (rt != 70 && rt != 71 && r->IsMovingRight() && ColsOverlap(n, r, true) && Above(n, r, true))
        return Answer("STACK MOVING", 1, n, r);
    if (nt != 70 && nt != 71 && n->IsMovingRight() && ColsOverlap(n, r, true) && Below(n, r, true))
        return Answer("STACK MOVING", -1, n, r);
    if (nt == 80 && !n->IsMoving() && Below(n, r) && MovingSideways(r)) return Answer("OBJECT BELOW", -1, n, r);
    if (rt == 80 && !r->IsMoving() && Above(n, r) && MovingSideways(n)) return Answer("OBJECT BELOW", 1, n, r);
    if (!RowsOverlap(n, r, true) && !ColsOverlap(n, r, true)) return kNoAnswer;
    if (n->IsMovingLeft() && RightOf(n, r, true)) return Answer("GENERAL MOVING A", 1, n, r);
    if (r->IsMovingLeft() && LeftOf(n, r, true)) return Answer("GENERAL MOVING B", -1, n, r);
    if (n->IsMovingLeft() && Above(n, r, true)) return Answer("GENERAL MOVING C", 1, n, r);
    if (r->IsMovingLeft() && Below(n, r, true)) return Answer("GENERAL MOVING D", -1, n, r);
    return kNoAnswer;
}

int RestRules(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    if (nt == 10 && Below(n, r) && !r->IsMovingUp() && !r->IsMovingDown()) return Answer("TERRAIN BELOW", -1, n, r);
    if (rt == 10 && Above(n, r) && !n->IsMovingUp() && !n->IsMovingDown()) return Answer("TERRAIN BELOW", 1, n, r);
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

    if (!force && ((nt == 70 && !Touching(n, r)) || (rt == 70 && !Touching(n, r))))
        return Answer("BOT VICINITY IGNORE", 0, n, r);

    if (nt == 11) {
        if (!LeftOf(n, r) && Tp(n, false) <= Bt(r, false)) return Answer("BRIDGE COLLAPSE B LEFT|BELOW", 1, n, r);
        return Answer("BRIDGE COLLAPSE A LEFT|BELOW", -1, n, r);
    }
    if (rt == 11) {
        if (!RightOf(n, r) && Bt(n, false) >= Tp(r, false)) return Answer("BRIDGE COLLAPSE D RIGHT|ABOVE", -1, n, r);
        return Answer("BRIDGE COLLAPSE C RIGHT|ABOVE", 1, n, r);
    }

    const bool ghost = nt == 64 || rt == 64;
    if (Sharing(n, r) || (ghost && Sharing(n, r, true))) {
        a = SameTile(n, r);
        if (a != kNoAnswer) return a;
    }

    if (nt == 67 && n->IsMovingRight() && Sharing(n, r, true))
        return Answer("TELEPORT-ACTUAL A", (rt == 66 || rt == 60) ? -1 : 1, n, r);
    if (rt == 67 && r->IsMovingRight() && Sharing(n, r, true))
        return Answer("TELEPORT-ACTUAL B", (nt == 66 || nt == 60) ? 1 : -1, n, r);

    if ((nt == 10 && rt == 12) || (nt == 12 && rt == 10)) {
        if (ColsOverlap(n, r)) {
            if (Tp(n, false) <= Bt(r, false)) return Answer("LADDER-TERRAIN ABOVE", 1, n, r);
            return Answer("LADDER-TERRAIN BELOW", -1, n, r);
        }
        if (RightOf(n, r)) return Answer("LADDER-TERRAIN RIGHT", 1, n, r);
        if (LeftOf(n, r)) return Answer("LADDER-TERRAIN LEFT", -1, n, r);
    }

    if (nt == 12 && rt == 12) {
        if (RightOf(n, r)) return Answer("LADDER-LADDER RIGHT", 1, n, r);
        if (LeftOf(n, r)) return Answer("LADDER-LADDER LEFT", -1, n, r);
        if (Tp(n, false) <= Bt(r, false)) return Answer("LADDER-LADDER ABOVE", -1, n, r);
        return Answer("LADDER-LADDER BELOW", 1, n, r);
    }
    if (nt == 12) return Answer("LADDER DEFAULT", -1, n, r);
    if (rt == 12) return Answer("LADDER DEFAULT", 1, n, r);

    if (nt == 22) return Answer("GATE LIGHTS", 1, n, r);
    if (rt == 22) return Answer("GATE LIGHTS", -1, n, r);

    if (nt == 21 && rt == 21) return PairRule("GATE FRONT-FRONT", n, r);
    if (nt == 21) return Answer("GATE FRONT", 1, n, r);
    if (rt == 21) return Answer("GATE FRONT", -1, n, r);

    const bool nBack = nt == 20 || nt == 24, rBack = rt == 20 || rt == 24;
    if (nBack || rBack) {
        if ((nBack && rt == 10) || (rBack && nt == 10)) return PairRule("GATE BACK-TERRAIN", n, r);
        if (nBack && rBack) return PairRule("GATE BACK-BACK", n, r);
        if (nt == 20 && Above(n, r) && RightOf(n, r)) return Answer("GATE BACK A/R", 1, n, r);
        if (rt == 20 && Below(n, r) && LeftOf(n, r)) return Answer("GATE BACK A/R", -1, n, r);
        if (nt == 24 && Tp(n, false) <= Bt(r, false) && !LeftOf(n, r)) return Answer("GATE BACK CLOSED A/R", 1, n, r);
        if (rt == 24 && Bt(n, false) >= Tp(r, false) && !RightOf(n, r))
            return Answer("GATE BACK CLOSED A/R", -1, n, r);
        if (nBack) return Answer("GATE BACK DEFAULT", -1, n, r);
        return Answer("GATE BACK DEFAULT", 1, n, r);
    }

    if (RowsOverlap(n, r) && PixelsOverlap(n, r)) {
        if (IsOneOf(nt, {23, 40, 41}) && rt != 10 && !r->IsMovingDown()) return Answer("TUBE-BUTTON BELOW", -1, n, r);
        if (IsOneOf(rt, {23, 40, 41}) && nt != 10 && !n->IsMovingDown()) return Answer("TUBE-BUTTON BELOW", 1, n, r);
    }

    if (nt >= 60 && nt <= 62 && Below(n, r) && ColsOverlap(n, r) && r->IsMovingLeft())
        return Answer("TELEPORT-LMOVER", -1, n, r);
    if (rt >= 60 && rt <= 62 && Above(n, r) && ColsOverlap(n, r) && n->IsMovingLeft())
        return Answer("TELEPORT-LMOVER", 1, n, r);

    a = TeleportFrontTerrain(n, r);
    if (a != kNoAnswer) return a;

    if (nt == 60 && rt == 64 && r->IsMovingRight() && Spans(r, Lt(n, false) + 1))
        return Answer("TELEPORT FRONT-GHOST", 1, n, r);
    if (nt == 64 && n->IsMovingRight() && rt == 60 && Spans(n, Lt(r, false) + 1))
        return Answer("TELEPORT FRONT-GHOST", -1, n, r);

    if (nt == 60) {
        if (RightOf(n, r)) return Answer("TELEPORT FRONT RIGHT", 1, n, r);
        if (r->IsMovingLeft() && ColsOverlap(n, r)) return Answer("TELEPORT FRONT RIGHT", 1, n, r);
        if (ColsOverlap(n, r, true) && r->IsMovingRight())
            return Answer("TELEPORT FRONT LEFT-MOVE", Tp(n, false) <= Bt(r, false) ? 1 : -1, n, r);
        if (LeftOf(n, r) && PixelsOverlap(n, r)) return Answer("TELEPORT FRONT LEFT", -1, n, r);
        if (Bt(n, false) >= Tp(r, false)) return Answer("TELEPORT FRONT BELOW", -1, n, r);
        return Answer("TELEPORT FRONT ABOVE", 1, n, r);
    }
    if (rt == 60) {
        if (LeftOf(n, r)) return Answer("TELEPORT FRONT RIGHT", -1, n, r);
        if (n->IsMovingLeft() && ColsOverlap(n, r)) return Answer("TELEPORT FRONT RIGHT", -1, n, r);
        if (ColsOverlap(n, r, true) && n->IsMovingRight())
            return Answer("TELEPORT FRONT LEFT-MOVE", Bt(n, false) >= Tp(r, false) ? -1 : 1, n, r);
        if (RightOf(n, r) && PixelsOverlap(n, r)) return Answer("TELEPORT FRONT LEFT", 1, n, r);
        if (Tp(n, false) <= Bt(r, false)) return Answer("TELEPORT FRONT BELOW", 1, n, r);
        return Answer("TELEPORT FRONT ABOVE", -1, n, r);
    }

    if (nt == 66) return Answer("TELEPORT RGLOW", 1, n, r);
    if (rt == 66) return Answer("TELEPORT RGLOW", -1, n, r);

    if (PixelsOverlap(n, r)) {
        if (nt == 61 && rt == 64 && r->IsMovingRight()) return Answer("TELEPORT PORTAL-GHOST A", 1, n, r);
        if (nt == 64 && n->IsMovingRight() && rt == 61) return Answer("TELEPORT PORTAL-GHOST B", -1, n, r);
        if (nt == 61 && rt == 64) return Answer("TELEPORT PORTAL-GHOST C", -1, n, r);
        if (nt == 64 && rt == 61) return Answer("TELEPORT PORTAL-GHOST D", 1, n, r);
        if (nt == 61 && rt == 67 && r->IsMovingLeft()) return Answer("TELEPORT PORTAL-ACTUAL A", 1, n, r);
        if (nt == 67 && n->IsMovingLeft() && rt == 61) return Answer("TELEPORT PORTAL-ACTUAL B", -1, n, r);
        if (nt == 61 && rt == 67) return Answer("TELEPORT PORTAL-ACTUAL C", -1, n, r);
        if (nt == 67 && rt == 61) return Answer("TELEPORT PORTAL-ACTUAL D", 1, n, r);
    }

    if (nt == 65 && RightOf(n, r)) return Answer("TELEPORT LGLOW A", 1, n, r);
    if (rt == 65 && LeftOf(n, r)) return Answer("TELEPORT LGLOW B", -1, n, r);

    if (nt == 61 && rt == 10) {
        if (Spans(r, Lt(n, false) + 1) && Bt(n, false) >= Tp(r, false))
            return Answer("TELEPORT PORTAL-TERRAIN A", -1, n, r);
        return Answer("TELEPORT PORTAL-TERRAIN B", 1, n, r);
    }
    if (nt == 10 && rt == 61) {
        if (Spans(n, Lt(r, false) + 1) && Tp(n, false) <= Bt(r, false))
            return Answer("TELEPORT PORTAL-TERRAIN C", 1, n, r);
        return Answer("TELEPORT PORTAL-TERRAIN D", -1, n, r);
    }
    if (nt == 61 || rt == 61) {
        if (RightOf(n, r)) return Answer("TELEPORT PORTAL A", 1, n, r);
        if (ColsOverlap(n, r) && PixelsOverlap(n, r)) return Answer("TELEPORT PORTAL B", nt == 61 ? 1 : -1, n, r);
        if (Bt(n, false) >= Tp(r, false)) return Answer("TELEPORT PORTAL D", -1, n, r);
        return Answer("TELEPORT PORTAL C", 1, n, r);
    }

    if (nt == 62) {
        if (rt == 10 && Above(n, r) && (ColsOverlap(n, r) || Spans(r, Lt(n, false) + 1)))
            return Answer("TELEPORT BACK-TERRAIN", 1, n, r);
        return Answer("TELEPORT BACK DEFAULT", -1, n, r);
    }
    if (rt == 62) {
        if (nt == 10 && Below(n, r) && (ColsOverlap(n, r) || Spans(n, Lt(r, false) + 1)))
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
    if (nt == 1309 && rt == 1308) {
        const bool behind = Below(n, r) && Spans(r, Lt(n, false) + 1);
        return Answer("EDITOR TELEPORT-TERRAIN", behind ? -1 : 1, n, r);
    }
    if (nt == 1308 && rt == 1309) {
        const bool front = Above(n, r) && Spans(n, Lt(r, false) + 1);
        return Answer("EDITOR TELEPORT-TERRAIN", front ? 1 : -1, n, r);
    }
    if (nt == 1309 && Sharing(n, r)) return Answer("EDITOR TELEPORT", 1, n, r);
    if (rt == 1309 && Sharing(n, r)) return Answer("EDITOR TELEPORT", -1, n, r);
    if (nt == 1307 && rt == 1308 && ColsOverlap(n, r) && Above(n, r)) return Answer("EDITOR LADDER", 1, n, r);
    if (nt == 1308 && rt == 1307 && ColsOverlap(n, r) && Below(n, r)) return Answer("EDITOR LADDER", -1, n, r);
    if (nt == 1307) return Answer("EDITOR LADDER", -1, n, r);
    if (rt == 1307) return Answer("EDITOR LADDER", 1, n, r);
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
    if (t >= 1300 && t <= 1306) return true;
    if (t >= 1410 && t <= 1415) return true;
    if (t >= 1420 && t <= 1423) return true;
    if (t >= 1430 && t <= 1434) return true;
    return IsOneOf(t, {12, 22, 42, 50, 51, 52, 54, 55, 56, 66, 72, 90, 91, 92, 93, 1102, 1200, 1450, 1500});
}

bool IsBackdrop(int t) { return t == LAYER_BACKGROUND || t == LAYER_BACKGROUND_GRID || t == LAYER_SWAP; }

}  // namespace

const char* LastPaintersRule() { return g_lastRule; }

int CompareFixed(CSprite* n, CSprite* r) {
    const int nt = n->GetType(), rt = r->GetType();
    int rn = Ranks().Of(nt), rr = Ranks().Of(rt);
    if (nt == kCloud && rt == kCloud) rn = rr = CloudStepIndex();
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
    if (nt == 12 && rt == 13 && Touching(n, r)) return Answer("LADDER OVERRIDE", -1, n, r);
    if (rt == 12 && nt == 13 && Touching(n, r)) return Answer("LADDER OVERRIDE", 1, n, r);
    if (nt == 12) return Answer("LADDER OVERRIDE", 1, n, r);
    if (rt == 12) return Answer("LADDER OVERRIDE", -1, n, r);
    if (nt == 60 && (rt == 64 || rt == 67) && Touching(n, r)) return Answer("TELEPORT OVERRIDE", -1, n, r);
    if (rt == 60 && (nt == 64 || nt == 67) && Touching(n, r)) return Answer("TELEPORT OVERRIDE", 1, n, r);
    if (nt == 65) return Answer("TELEPORT LGLOW OVERRIDE", 1, n, r);
    if (rt == 65) return Answer("TELEPORT LGLOW OVERRIDE", -1, n, r);
    if (nt == 60 && Sharing(n, r)) return Answer("TELEPORT OVERRIDE", -1, n, r);
    if (rt == 60 && Sharing(n, r)) return Answer("TELEPORT OVERRIDE", 1, n, r);
    if (nt == 31 && Sharing(n, r)) return Answer("TRAMP OVERRIDE", -1, n, r);
    if (rt == 31 && Sharing(n, r)) return Answer("TRAMP OVERRIDE", 1, n, r);
    if (nt == 21 && Sharing(n, r)) return Answer("GATE OVERRIDE", -1, n, r);
    if (rt == 21 && Sharing(n, r)) return Answer("GATE OVERRIDE", 1, n, r);
    if (nt == 20 && Sharing(n, r)) return Answer("GATE OVERRIDE", 1, n, r);
    if (rt == 20 && Sharing(n, r)) return Answer("GATE OVERRIDE", -1, n, r);
    if (nt == 23 && Touching(n, r)) return Answer("BUTTON OVERRIDE", 1, n, r);
    if (rt == 23 && Touching(n, r)) return Answer("BUTTON OVERRIDE", -1, n, r);
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
        if (nt == 12 && rt == 13 && n->GetTileY() == r->GetTileY() - 1)
            return Answer("HACK LADDER_ABOVE-PLATFORM", -1, n, r);
        if (rt == 12 && nt == 13 && r->GetTileY() == n->GetTileY() - 1)
            return Answer("HACK LADDER_ABOVE-PLATFORM", 1, n, r);
    }

    if (!PixelsOverlap(n, r) && !Touching(n, r) && CController::GetCurrentId() != CONTROLLER_EDITOR) {
        a = CompareFixed(n, r);
        if (a != 0) return a;
        if (!force) return Answer("NOT INTERSECTING!!!", 0, n, r);
        const bool below = Below(n, r), above = Above(n, r);
        const bool left = LeftOf(n, r), right = RightOf(n, r);
        if (below && left) return ignoreFar ? Answer("NI POSITION 9 (IGNORED)", 0, n, r) : Answer("NI POSITION 9", -1, n, r);
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

    if ((nt >= 1307 && nt <= 1310) || (rt >= 1307 && rt <= 1310)) return EditorRules(n, r);
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
