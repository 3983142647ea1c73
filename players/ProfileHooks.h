// What the profile asks of the display, the input module, the sound system
// and the level sets, gathered in one place: the profile's own code calls
// only these, so it builds and can be tested on its own.
#pragma once

// The display exists (false before it opens at start-up).
bool ProfileDisplayExists();
// The open display shows the game full screen.
bool ProfileDisplayIsFullscreen();
// Switches the display to full screen or a window when it is open and not
// already in that mode.
void ProfileSwitchDisplay(bool fullscreen);
// Input grab (grabbed when the system pointer is off), pointer mode and
// mouse speed of the input module.
void ProfileApplyInput(bool systemPointer, float mouseSpeed);
// Master volumes, 0.0 to 1.0.
void ProfileSetEffectsVolume(float volume);
void ProfileSetMusicVolume(float volume);
// The unscored tutorial levels of the regular set.
bool ProfileIsTutorialLevel(int set, int level);
