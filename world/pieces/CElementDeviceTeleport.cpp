#include "world/pieces/CElementDeviceTeleport.h"

CElement* CElementDeviceTeleport::GetPartner(int, int, bool) { return nullptr; }
bool CElementDeviceTeleport::CheckTeleport(int, int, bool, bool, bool) { return false; }
bool CElementDeviceTeleport::CanPlaceAt(int, int, bool) { return false; }
bool CElementDeviceTeleport::IsTeleportBelow(int, int, bool) { return false; }
void CElementDeviceTeleport::ResetStatics() {}
void CElementDeviceTeleport::SaveStatics(int) {}
void CElementDeviceTeleport::RestoreStatics(int) {}
