// One registration function per family of world pictures. The editor's
// cursor and cell twins of the pieces are registered by their families.
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

}  // namespace worldart
