#include "world/pieces/CElementDeviceButton.h"

void CElementDeviceButton::ResetStatics() {}
void CElementDeviceButton::SaveStatics(int) {}
void CElementDeviceButton::RestoreStatics(int) {}
