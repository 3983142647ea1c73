#include "world/pieces/CElementTutorial.h"

void CElementTutorial::HandleTutorial(int, int) {}
void ResetTutorialGrid() {}
