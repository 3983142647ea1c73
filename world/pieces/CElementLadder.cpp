#include "world/pieces/CElementLadder.h"

bool CElementLadder::IsLadderAt(int, int) { return false; }
bool CElementLadder::IsLadderPlatformAt(int, int) { return false; }
void CElementLadder::ResetStatics() {}
