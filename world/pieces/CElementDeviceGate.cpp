#include "world/pieces/CElementDeviceGate.h"

void CElementDeviceGate::ResetStatics() {}
