#include "images/CArtRegistry.h"

void RegisterInterfaceArt(CArtRegistry& registry) { (void)registry; }
