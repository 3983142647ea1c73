// Telling the player that the profile could not be saved. The profile notes
// every failed save; a screen asks here after the actions that save and,
// when told to, opens a one-button message box with these texts as its own
// child (prepared the way it prepares for any of its message boxes).
#pragma once

constexpr int kSaveFailureTitle = 2217;
constexpr int kSaveFailureBody = 2329;
// The body when choosing another player was refused for it.
constexpr int kSwitchRefusedBody = 2335;

// True once per spell of failed saves of the current profile; false without
// a profile.
bool TakeSaveFailureNotice();
