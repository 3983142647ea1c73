// The bots that chase and catch the hero.
//
// Not built yet: there are no bots.
#pragma once

class CElementAIBot {
public:
    static void ResetStatics();
    // The whistle wakes every bot; the EMP knocks every bot out.
    static void ActivateAll();
    static void EmpAll();
};
