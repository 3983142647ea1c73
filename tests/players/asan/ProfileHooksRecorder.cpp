#include "tests/players/asan/ProfileHooksRecorder.h"

#include "players/ProfileHooks.h"

ProfileHookCalls& RecordedProfileHooks() {
    static ProfileHookCalls calls;
    return calls;
}

bool ProfileDisplayExists() { return true; }

bool ProfileDisplayIsFullscreen() { return true; }

void ProfileSwitchDisplay(bool) { ++RecordedProfileHooks().displaySwitches; }

void ProfileApplyInput(bool, float) { ++RecordedProfileHooks().inputApplied; }

void ProfileSetEffectsVolume(float) { ++RecordedProfileHooks().effectsVolumes; }

void ProfileSetMusicVolume(float) { ++RecordedProfileHooks().musicVolumes; }

bool ProfileIsTutorialLevel(int set, int level) {
    static const int kTutorials[] = {1, 3, 5, 7, 9, 11, 14, 16, 18, 20, 22, 24, 28,
                                     30, 32, 35, 38, 42, 45, 48, 51, 55, 67, 75, 81, 90};
    if (set != 0) return false;
    for (int t : kTutorials) {
        if (t == level) return true;
    }
    return false;
}
