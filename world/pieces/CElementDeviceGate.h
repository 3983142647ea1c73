// Gates, opened by the floor buttons of their colour.
//
// Not built yet.
#pragma once

class CElementDeviceGate {
public:
    static void ResetStatics();
};
