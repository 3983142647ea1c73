#include "players/ProfileHooks.h"

#include <SDL.h>

#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "sound/CSound.h"
#include "world/CLevelSet.h"

bool ProfileDisplayExists() { return CDraw::HasScreen(); }

bool ProfileDisplayIsFullscreen() { return CDraw::IsFullscreen(); }

void ProfileSwitchDisplay(bool fullscreen) {
    // Before the display opens the option alone decides the first video mode.
    if (CDraw::HasScreen()) CDraw::ToggleFullscreen(true, fullscreen);
}

void ProfileApplyInput(bool systemPointer, float mouseSpeed) {
    SDL_WM_GrabInput(systemPointer ? SDL_GRAB_OFF : SDL_GRAB_ON);
    SetSystemPointer(systemPointer);
    SetMouseSpeed(mouseSpeed);
}

void ProfileSetEffectsVolume(float volume) { CSound::SetEffectsVolume(volume); }

void ProfileSetMusicVolume(float volume) { CSound::SetMusicVolume(volume); }

bool ProfileIsTutorialLevel(int set, int level) { return IsTutorialLevel(set, level); }
