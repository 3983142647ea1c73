// Counts of the calls the profile makes to the display, input and sound
// while it is built without them.
#pragma once

struct ProfileHookCalls {
    int displaySwitches = 0;
    int inputApplied = 0;
    int effectsVolumes = 0;
    int musicVolumes = 0;
};

ProfileHookCalls& RecordedProfileHooks();
