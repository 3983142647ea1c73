#include "world/pieces/CElementDeviceTube.h"

bool CElementDeviceTube::IsExitTube(int, int) { return false; }
void CElementDeviceTube::ResetStatics() {}
