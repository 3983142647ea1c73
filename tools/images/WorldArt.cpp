#include "images/CArtRegistry.h"

void RegisterWorldArt(CArtRegistry& registry) { (void)registry; }
