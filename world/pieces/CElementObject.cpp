#include "world/pieces/CElementObject.h"

#include <algorithm>
#include <set>

#include "engine/CSprite.h"
#include "engine/Log.h"

std::vector<CElementObject*> CElementObject::objects;

void CObjectSpriteSet::DeleteAll() {
    CSprite** all[] = {&idle,           &frozenIdle,      &heatedIdle,      &fallLeft, &frozenFallLeft,
                       &heatedFallLeft, &fallRight,       &frozenFallRight, &heatedFallRight,
                       &squashed,       &heatedSquashed,  &inflating,       &cooling};
    for (CSprite** s : all) {
        delete *s;
        *s = nullptr;
    }
}

CElementObject::CElementObject(int x_, int y_) : CElement(x_, y_, 1) {
    type = ELEMENT_OBJECT;
    objects.push_back(this);
    occupiesGrid = 1;
    gravity = 1;
    slidable = 1;
    dynamic = 1;
    freezable = 1;
    inflated = 0;
}

CElementObject::~CElementObject() {
    // Only this object leaves the list; the others stay listed.
    objects.erase(std::remove(objects.begin(), objects.end(), this), objects.end());
}

void CElementObject::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementObject state...\n", GetTypeName());
    CElement::SaveState(k);
}

void CElementObject::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementObject state...\n", GetTypeName());
    CElement::RestoreState(k);
}

int CElementObject::GetSurfaceFriction() { return (FROZEN && !TRAMP) ? -1 : 0; }

void CElementObject::PrintState() {
    DebugLog(DBG_DEBUG,
             "TYPE=%d  OBJECT=%d  CURRENT=(%d,%d)  WASMOVINGLEFT=%d  WASMOVINGRIGHT=%d  WASMOVINGUP=%d  "
             "WASMOVINGDOWN=%d\n",
             type, typeObject, x, y, WASMOVINGLEFT, WASMOVINGRIGHT, WASMOVINGUP, WASMOVINGDOWN);
    DebugLog(DBG_DEBUG,
             "        MOVING=%d  FALLING=%d (%d)  SLIDING=%d  PUSHING=%d  PUSHED=%d  MAGNETIC=%d  MAGNETHELD=%d  "
             "TRAMP=%d\n",
             MOVING, FALLING, landingFrame, SLIDING, PUSHING, PUSHED, MAGNETIC, IsMagnetHeld() ? 1 : 0, TRAMP);
}

void CElementObject::DumpAll() {
    DebugLog(DBG_DEBUG, "-------------------------------------------\n");
    DebugLog(DBG_DEBUG, "All Objects (CElementObject)\n");
    for (CElementObject* o : objects) o->PrintState();
    DebugLog(DBG_DEBUG, "-------------------------------------------\n");
}

CSprite* CElementObject::NewSprite(int originX, int originY, int frameDelay, const char* debugName,
                                   std::initializer_list<const char*> frames) {
    CSprite* s = new CSprite(originX, originY, LAYER_OBJECT, frameDelay, false, 1, 1);
    s->SetName(debugName);
    for (const char* name : frames) s->AddFrame(name);
    return s;
}

CSprite* CElementObject::NewSpriteSeries(int originX, int originY, int frameDelay, const char* debugName,
                                         const char* prefix, int from, int to, const char* suffix) {
    CSprite* s = NewSprite(originX, originY, frameDelay, debugName, {});
    s->AddFrames(prefix, from, to, suffix, 1);
    return s;
}

const char* CElementObject::KeepName(const std::string& name) {
    static std::set<std::string> names;
    return names.insert(name).first->c_str();
}

CSprite* CElementObject::PickByState(CSprite* frozenSprite, CSprite* heatedSprite, CSprite* coolingSprite,
                                     CSprite* plain) const {
    if (FROZEN && frozenSprite) return frozenSprite;
    if (HEATED && heatedSprite) return heatedSprite;
    if (cooling && coolingSprite) return coolingSprite;
    return plain;
}

void CElementObject::ShowFirstSprite(CSprite* idle, CSprite* frozenIdle, CSprite* heatedIdle, CSprite* inflating,
                                     int tileState) {
    CSprite* first = inflating ? inflating : idle;
    if (tileState == 1024 && frozenIdle) first = frozenIdle;
    if (tileState == 2048 && heatedIdle) first = heatedIdle;
    sprite = first;
    lastShownSprite = first;
    first->SetPosition(pixelX, pixelY, false);
    first->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    first->Play(true);
}

void CElementObject::SwitchSprite(CSprite* next, bool rewindOld, bool play) {
    if (!next || next == sprite) return;
    if (IsDebugCategoryOn(DBG_DEBUG)) DumpSprite(next);
    if (sprite) {
        if (rewindOld) sprite->Rewind();
        sprite->Hide();
        PutAway(sprite);
    }
    next->Show(prevPixelX, prevPixelY);
    if (play) next->Play(true);
    sprite = next;
    lastShownSprite = next;
}

void CElementObject::PlaceSprite() {
    UpdateTeleportGhost(this);
    if (!sprite) return;
    if (inPassage)
        UpdateSpritePosition();
    else
        sprite->SetPosition(pixelX, pixelY, false);
}

void CElementObject::UpdateBlockSprites(const CObjectSpriteSet& set, bool showFalling) {
    if (destroyed || !sprite) return;
    UpdateEffectSprites();

    CSprite* current = sprite;
    CSprite* next = current;
    bool inflating = false;
    if (!current->IsFinished()) {
        // A landing squash gives way at once to a push or to the ice coat.
        if ((IsMoving() || FROZEN) && LANDING) {
            current->Rewind();
            LANDING = 0;
        }
        if (inflated) {
            next = set.inflating;
            inflating = true;
        }
    } else if (inflated) {
        inflated = 0;
    } else if (LANDING) {
        LANDING = 0;
    } else if (cooling) {
        cooling = 0;
    }

    if (!inflating) {
        if (explosionActive || destroyed) {
            current->Hide();
        } else if (!IsMoving() && LANDING && !FROZEN) {
            next = PickByState(nullptr, set.heatedSquashed, set.cooling, set.squashed);
        } else if (!showFalling) {
            next = PickByState(set.frozenIdle, set.heatedIdle, set.cooling, set.idle);
        } else {
            // Falling after a move to the left tilts the other way.
            if (WASMOVINGLEFT)
                next = PickByState(set.frozenFallRight, set.heatedFallRight, nullptr, set.fallRight);
            else
                next = PickByState(set.frozenFallLeft, set.heatedFallLeft, nullptr, set.fallLeft);
            cooling = 0;
        }
    }

    SwitchSprite(next, true, true);
    PlaceSprite();
}
