// The interface art, one registration function per family of pictures.
#pragma once

#include <vector>

#include "images/CArtRegistry.h"

namespace InterfaceFamilies {

// logozj-eyes.png, background0..7.jpg, flash.jpg, dimmer.png, grid.png,
// the pointer and the hourglass.
void RegisterIntroAndScenes(CArtRegistry& registry);
// Parchment pages and boxes, push buttons, check boxes, sliders, text fields,
// key-binding boxes, the step counter and the play screen's buttons.
void RegisterWidgets(CArtRegistry& registry);
// The main menu scene, its buttons and the welcome panel.
void RegisterMainMenu(CArtRegistry& registry);
// The level map: background, set buttons, dots, stars, help.
void RegisterMap(CArtRegistry& registry);
// The level map's track, in screen pixels, through the game's own dot
// table: painted on the map's background and on the volcano that stands
// over it there.
void DrawMapTrack(cairo_t* cr);
// The post a tutorial star stands on, from (x0, y0) to (x1, y1).
void DrawStarPost(cairo_t* cr, double x0, double y0, double x1, double y1);
// Profiles, score boards, level-set choice, level manager, story buttons.
void RegisterScreens(CArtRegistry& registry);
// Story pages.
void RegisterStory(CArtRegistry& registry);
// The instructions pages' pictures, composed from the game's world pictures.
void RegisterInstructions(CArtRegistry& registry);
// A world picture of an instructions scene, on the cell whose top-left
// corner is (left, top) of the page.
struct ScenePiece {
    const char* name;
    int left, top;
};
struct SceneCell {
    int left, top;
};
// The scenes among those pictures, each with the world pictures it draws
// and the cells it shows on fire.
struct InstructionScene {
    const char* picture;
    std::vector<ScenePiece> pieces;
    std::vector<SceneCell> burning;
};
std::vector<InstructionScene> InstructionScenes();
// The editor's cursor frames, toolbox, help page and dialogs.
void RegisterEditor(CArtRegistry& registry);

}  // namespace InterfaceFamilies
