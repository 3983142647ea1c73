// The interface art, one registration function per family of pictures.
#pragma once

#include "images/CArtRegistry.h"

namespace InterfaceFamilies {

// logozj-eyes.png, background0..7.jpg, flash.jpg, dimmer.png, grid.png,
// the pointer and the hourglass.
void RegisterIntroAndScenes(CArtRegistry& registry);

}  // namespace InterfaceFamilies
