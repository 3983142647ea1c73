#include "world/pieces/CElementObjectMagnet.h"

void CElementObjectMagnet::UpdateAllMagnets() {}
void CElementObjectMagnet::ActivateEMP() {}
void CElementObjectMagnet::ResetStatics() {}
void CElementObjectMagnet::SaveStatics(int) {}
void CElementObjectMagnet::RestoreStatics(int) {}
