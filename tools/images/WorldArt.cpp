#include "images/CArtRegistry.h"
#include "images/world/WorldFamilies.h"

void RegisterWorldArt(CArtRegistry& registry) {
    worldart::RegisterHero(registry);
    worldart::RegisterDevices(registry);
    worldart::RegisterBots(registry);
    worldart::RegisterObjects(registry);
    worldart::RegisterTerrain(registry);
    worldart::RegisterTeleports(registry);
    worldart::RegisterEffects(registry);
    worldart::RegisterPowerups(registry);
    worldart::RegisterHeroIcons(registry);
}
