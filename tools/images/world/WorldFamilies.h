// One registration function per family of world pictures.
#pragma once

#include "images/CArtRegistry.h"

namespace worldart {

void RegisterHero(CArtRegistry& reg);
void RegisterHeroIcons(CArtRegistry& reg);
void RegisterBots(CArtRegistry& reg);
void RegisterObjects(CArtRegistry& reg);
void RegisterTerrain(CArtRegistry& reg);
void RegisterDevices(CArtRegistry& reg);
void RegisterTeleports(CArtRegistry& reg);
void RegisterEffects(CArtRegistry& reg);
void RegisterPowerups(CArtRegistry& reg);
void RegisterEditorTwins(CArtRegistry& reg);

}  // namespace worldart
