#include "world/pieces/CElementDevice.h"

#include <algorithm>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"

std::vector<CElementDevice*> CElementDevice::allDevices;

CElementDevice::CElementDevice(int x_, int y_) : CElement(x_, y_, 1) {
    type = ELEMENT_DEVICE;
    gravity = 1;
    slidable = 0;
    occupiesGrid = 0;
    dynamic = 1;
    allDevices.push_back(this);
    soundBreaking = new CSoundObject("device_breaking.ogg", false);
}

CElementDevice::~CElementDevice() {
    allDevices.erase(std::remove(allDevices.begin(), allDevices.end(), this), allDevices.end());
    delete soundBreaking;  // stops it when it plays
}

void CElementDevice::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementDevice state...\n", GetTypeName());
    CElement::SaveState(k);
}

void CElementDevice::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementDevice state...\n", GetTypeName());
    CElement::RestoreState(k);
}

int CElementDevice::GetSlide() { return 0; }

int CElementDevice::GetSurfaceFriction() { return 0; }

void CElementDevice::PrintState() {
    DebugLog(DBG_DEBUG, "TYPE=%d  DEVICE=%d  CURRENT=(%d,%d)  METALLIC=%d  MAGNETHELD=%d\n", type, typeDevice, x, y,
             METALLIC, IsMagnetHeld() ? 1 : 0);
}

void CElementDevice::PrintSpriteLine(CSprite* s) const {
    if (!s) return;
    DebugLog(DBG_ACTIVE_SPRITE, "   T(%2d,%2d)  %-20s  STATE=%d  FRAME=%d  FINISHED=%d  NAME='%s'\n", x, y,
             GetTypeName(), s->GetAnimationState(), s->GetFrame(), s->IsFinished() ? 1 : 0, s->GetName());
}

void CElementDevice::PrintSprites() { PrintSpriteLine(sprite); }

void CElementDevice::PrintAllDevices() {
    DebugLog(DBG_DEBUG, "-------------------------------------------\n");
    DebugLog(DBG_DEBUG, "All Devices (CElementDevice)\n");
    for (CElementDevice* d : allDevices) d->PrintState();
    DebugLog(DBG_DEBUG, "-------------------------------------------\n");
}

bool CElementDevice::UpdateBreak() {
    if (FALLING) {
        if (!destroyed && !CSound::IsPlaying(soundBreaking)) CSound::Play(soundBreaking, false, 0, 0.0f);
        destroyed = 1;
        gravity = 0;
        return true;
    }
    if (destroyed) {
        gravity = 0;
        return true;
    }
    return false;
}
