#include "tools/design/CWorldRest.h"

#include "engine/CSprite.h"
#include "world/CElement.h"
#include "world/CElementAIBot.h"
#include "world/CElementAIProfessor.h"
#include "world/pieces/CElementDeviceGunshot.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementObjectMagnet.h"
#include "world/pieces/CElementTerrainBridge.h"

namespace {

// A picture that plays once and is still on its way to the last frame.
bool PlaysOnce(const CSprite* s) {
    return s && !s->IsHidden() && !s->IsLooping() && !s->IsStopped() && !s->IsFinished();
}

const char* BusyReason(CElement* e) {
    // A gunshot keeps MOVING once it has struck (it stops where it hits) and
    // stays in the world when it has ended: it is busy only until then.
    if (CElementDeviceGunshot* shot = dynamic_cast<CElementDeviceGunshot*>(e))
        return shot->IsFinished() || shot->IsDestroyed() ? nullptr : "a gunshot flies";
    if (e->MOVING || e->FALLING || e->SLIDING) return "moving";
    if (e->inPassage) return "in a teleport";
    // Only the hero's thawing picture clears his thawing mark; on a crate, a
    // barrel or a bot the mark outlives the steam, which is what still works.
    if ((e->thawing && e->IsProfessor()) || e->cooling || e->explosionActive || e->steamActive)
        return "heat or cold at work";
    if (CElementObjectMagnet* m = dynamic_cast<CElementObjectMagnet*>(e)) {
        if (m->GetEmpCountdown() > 0) return "a magnet is off after an EMP";
    }
    if (CElementAIProfessor* hero = dynamic_cast<CElementAIProfessor*>(e)) {
        if (hero->arriving) return "the hero arrives";
        if (hero->usingPowerup || hero->activePowerup) return "the hero uses a power-up";
        // A stunned hero stays stunned until he moves on: only the count
        // before the stunned picture is under way.
        if (hero->STUN && hero->stunCount > 0) return "the hero is stunned";
        if (hero->leftTrampoline || hero->flingDone) return "the hero leaves a trampoline";
    } else if (CElementAIBot* bot = dynamic_cast<CElementAIBot*>(e)) {
        if (bot->IsActivationFall()) return "a bot drops";
        // A bot stunned by a load on its head stays so while the load stays;
        // with its head free it gets up again.
        // The knock-out ends with its picture, which a held or frozen bot
        // never shows: then the mark stays and nothing more happens.
        if (bot->IsEmpStunned() && !bot->IsMagnetHeld() && !bot->IsFrozen()) return "a bot is knocked out";
        // A frozen, burned or held bot no longer thinks, so its stun stays.
        if (bot->STUN && !bot->IsFrozen() && !bot->IsDestroyed() && !bot->IsMagnetHeld() &&
            (bot->stunCount > 0 || !bot->IsSomethingAbove(false)))
            return "a bot is stunned";
    }
    if (CElementDeviceTeleport* portal = dynamic_cast<CElementDeviceTeleport*>(e)) {
        // A portal set down alone switches on only once its partner stands.
        if (portal->IsStarting() &&
            (PlaysOnce(portal->GetSprite()) || !CElementDeviceTeleport::IsPairUnusable(portal->GetColour())))
            return "a teleport starts";
    } else if (CElementTerrainBridge* bridge = dynamic_cast<CElementTerrainBridge*>(e)) {
        // A collapsed bridge keeps its collapsing mark for good; its cell is
        // free at once, so only the picture of the collapse is still to end.
        if (bridge->IsInflating() || (bridge->IsCollapsing() && PlaysOnce(bridge->GetSprite())))
            return "a bridge inflates or gives way";
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
