#include "sound/CSoundObject.h"

#include "sound/CSound.h"

CSoundObject::CSoundObject(const char* objectName, bool music) : isMusic(music), name(objectName ? objectName : "") {
    if (!CSound::IsReady()) return;  // idle: no sound, no channel, volume 0
    volume = CSound::MasterOf(this);
    soundIndex = CSound::FindSound(name.c_str());
    CSound::Register(this);
}

CSoundObject::~CSoundObject() { CSound::RemoveSound(this); }
