// The entrance and exit tubes.
//
// Not built yet: there is no exit tube.
#pragma once

class CElementDeviceTube {
public:
    static bool IsExitTube(int x, int y);
    static void ResetStatics();
};
