// Floor buttons: pressed counters per colour open the gates of that colour.
//
// Not built yet: nothing is pressed.
#pragma once

class CElementDeviceButton {
public:
    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
};
