#include "tools/design/CWorldRest.h"

#include "engine/CSprite.h"
#include "world/CElement.h"
#include "world/CElementAIBot.h"
#include "world/CElementAIProfessor.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementObjectMagnet.h"
#include "world/pieces/CElementTerrainBridge.h"

namespace {

// A picture that plays once and is still on its way to the last frame.
bool PlaysOnce(const CSprite* s) {
    return s && !s->IsHidden() && !s->IsLooping() && !s->IsStopped() && !s->IsFinished();
}

const char* BusyReason(CElement* e) {
    if (e->MOVING || e->FALLING || e->SLIDING) return "moving";
    if (e->inPassage) return "in a teleport";
    if (e->IsGunshot() && !e->IsDestroyed()) return "a gunshot flies";
    if (e->thawing || e->cooling || e->explosionActive || e->steamActive) return "heat or cold at work";
    if (CElementObjectMagnet* m = dynamic_cast<CElementObjectMagnet*>(e)) {
        if (m->GetEmpCountdown() > 0) return "a magnet is off after an EMP";
    }
    if (CElementAIProfessor* hero = dynamic_cast<CElementAIProfessor*>(e)) {
        if (hero->arriving) return "the hero arrives";
        if (hero->usingPowerup || hero->activePowerup) return "the hero uses a power-up";
        if (hero->STUN) return "the hero is stunned";
        if (hero->leftTrampoline || hero->flingDone) return "the hero leaves a trampoline";
    } else if (CElementAIBot* bot = dynamic_cast<CElementAIBot*>(e)) {
        if (bot->IsActivationFall()) return "a bot drops";
        if (bot->IsEmpStunned() || bot->STUN) return "a bot is knocked out";
    }
    if (CElementDeviceTeleport* portal = dynamic_cast<CElementDeviceTeleport*>(e)) {
        if (portal->IsStarting()) return "a teleport starts";
    } else if (CElementTerrainBridge* bridge = dynamic_cast<CElementTerrainBridge*>(e)) {
        if (bridge->IsInflating() || bridge->IsCollapsing()) return "a bridge inflates or gives way";
    }
    // The hero, the bots and the movable objects finish some of their moves
    // with their animations (a landing, a turn, an inflation, cooling). The
    // other pieces' pictures only show what already happened; the exit
    // tube's bobbing arrow, which undo switches off, must not count.
    if ((e->IsAI() || e->IsObject()) && PlaysOnce(e->GetSprite())) return "an animation plays";
    return nullptr;
}

}  // namespace

bool CWorldRest::IsBusy(std::string* why) {
    for (CElement* e : CElement::GetAllElements()) {
        const char* reason = BusyReason(e);
        if (!reason) continue;
        if (why)
            *why = std::string(e->GetTypeName()) + " at (" + std::to_string(e->GetCurrentX()) + "," +
                   std::to_string(e->GetCurrentY()) + "): " + reason;
        return true;
    }
    return false;
}
