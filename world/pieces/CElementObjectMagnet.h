// Magnets: movable objects with one active face, left or right. Each world
// step every working magnet grabs the metal element in the cell its face
// looks at (through a teleport pair when one covers that side) and links the
// two, so that they hang together: the element base's falling and pushing
// rules follow the links. Two magnets whose faces look at each other push
// each other apart; a magnet facing a ladder platform clings to it. An EMP
// switches every magnet off for a few steps and drops what they hold.
//
// Like crates they fall, land, slide, freeze, heat and cool; the inflatable
// kind bursts in heat.
#pragma once

#include <cstdint>
#include <vector>

#include "world/pieces/CElementObject.h"

class CSoundObject;

class CElementObjectMagnet : public CElementObject {
public:
    // Steps a magnet stays off after an EMP before it pulls again.
    static constexpr int kEmpSteps = 4;

    // inflated: 1 for the hero's inflatable magnet. tileState: the level
    // cell's state (1024 frozen, 2048 heated), which only chooses the first
    // picture. faceLeft: the active face looks left.
    CElementObjectMagnet(int x, int y, int inflated, int tileState, bool faceLeft);
    ~CElementObjectMagnet() override;

    // One attraction pass: every working magnet that is not moving, in the
    // order the magnets were made.
    static void UpdateAllMagnets();
    // Every magnet that is not destroyed lets go of what it holds and stays
    // off for a few steps.
    static void ActivateEMP();
    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
    static void DescribeStatics(CWorldDigest* digest);
    static const std::vector<CElementObjectMagnet*>& GetMagnets() { return allMagnets; }
    // The magnet list kept for undo step k (tests check that it never keeps
    // a magnet that is gone).
    static const std::vector<CElementObjectMagnet*>& GetSavedMagnets(int k);

    // This magnet's pull, push or cling for the current step.
    void Attract();

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    int GetSlide() override;

    bool IsFaceLeft() const { return faceLeft != 0; }
    int GetEmpCountdown() const { return empCountdown; }

private:
    void BuildSprites(bool inflatedMagnet);
    // Drops the link that e keeps to this magnet on the given side.
    void DropLinkOf(CElement* e, bool side);
    // Two faces look at each other: each magnet is pushed away from the
    // other, which stands in the face-side cell (sx, sy).
    void Repel(CElement* other, int sx, int sy);

    CSoundObject* soundAttract = nullptr;
    CSoundObject* soundRepel = nullptr;
    uint8_t armed = 0;  // no attraction sound before the first pass has run
    int32_t empCountdown = 0;
    uint8_t faceLeft = 0;
    CObjectSpriteSet sprites;

    // What undo keeps of a magnet (see UndoFields.h); armed only keeps the
    // first pass quiet.
#define MAGNET_UNDO_FIELDS(F) F(faceLeft, kUndoAndKey) F(empCountdown, kUndoAndKey)
    struct MagnetRecord {
        UNDO_RECORD_FIELDS(CElementObjectMagnet, MAGNET_UNDO_FIELDS)
    };
    MagnetRecord magnetSaved[kUndoSlots];

    static std::vector<CElementObjectMagnet*> allMagnets;
    static std::vector<CElementObjectMagnet*> savedMagnets[kUndoSlots];
    static uint8_t magnetsPresent;
};
