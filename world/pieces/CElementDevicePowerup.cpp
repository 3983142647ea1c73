#include "world/pieces/CElementDevicePowerup.h"

bool CElementDevicePowerup::IsPowerupAt(int, int) { return false; }
int CElementDevicePowerup::GetPowerupKindAt(int, int) { return 0; }
void CElementDevicePowerup::Collect(int, int) {}
void CElementDevicePowerup::ResetStatics() {}
void CElementDevicePowerup::SaveStatics(int) {}
void CElementDevicePowerup::RestoreStatics(int) {}
