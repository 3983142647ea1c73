#include "world/CElementAIBot.h"

void CElementAIBot::ResetStatics() {}
void CElementAIBot::ActivateAll() {}
void CElementAIBot::EmpAll() {}
