// The interface pictures: menus, map, parchment pages and their buttons,
// dialogs, widgets, counters, story and instructions pages, the editor's
// toolbox and dialogs, level backgrounds, pointer and hourglass.
#include "images/CArtRegistry.h"
#include "images/InterfaceFamilies.h"

void RegisterInterfaceArt(CArtRegistry& registry) {
    InterfaceFamilies::RegisterIntroAndScenes(registry);
    InterfaceFamilies::RegisterWidgets(registry);
    InterfaceFamilies::RegisterMainMenu(registry);
    InterfaceFamilies::RegisterMap(registry);
    InterfaceFamilies::RegisterScreens(registry);
    InterfaceFamilies::RegisterStory(registry);
    InterfaceFamilies::RegisterInstructions(registry);
    InterfaceFamilies::RegisterEditor(registry);
}
