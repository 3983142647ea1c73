#include "world/pieces/CElementDeviceTrampoline.h"

bool CElementDeviceTrampoline::IsTrampolineAt(int, int) { return false; }
void CElementDeviceTrampoline::ResetStatics() {}
void CElementDeviceTrampoline::SaveStatics(int) {}
void CElementDeviceTrampoline::RestoreStatics(int) {}
