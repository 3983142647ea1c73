// Magnets: each step every working magnet grabs the metal element its face
// looks at.
//
// Not built yet: there are no magnets.
#pragma once

class CElementObjectMagnet {
public:
    static void UpdateAllMagnets();
    static void ActivateEMP();
    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
};
