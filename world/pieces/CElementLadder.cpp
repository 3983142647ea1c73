#include "world/pieces/CElementLadder.h"

#include <cstring>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "world/CLevel.h"
#include "world/CWorldDigest.h"
#include "world/pieces/PieceSprites.h"

int32_t CElementLadder::ladderGrid[CElement::kGridCells] = {};

namespace {

struct SegmentLook {
    int originX, originY;
    const char* debugName;
    const char* image;
};

const SegmentLook& LookOf(int segment) {
    static const SegmentLook looks[] = {
        {7, 18, "Ladder Segment (Middle)", "laddermiddle.tga"},
        {7, 13, "Ladder Segment (Isolated)", "ladderiso.tga"},
        {7, 15, "Ladder Segment (Top)", "laddertop.tga"},
        {7, 18, "Ladder Segment (Middle)", "laddermiddle.tga"},
        {7, 18, "Ladder Segment (Bottom)", "ladderbottom.tga"},
        {7, 18, "Ladder Segment (Hanging)", "ladderbottomhang.tga"},
    };
    return looks[(segment >= 1 && segment <= 5) ? segment : 0];
}

int Cell(int x, int y) { return x * CElement::kGridHeight + y; }

CSprite* MakeCellSprite(int ox, int oy, SpriteLayer layer, const char* name, const char* image, int px, int py) {
    CSprite* s = NewPieceSprite(ox, oy, layer, 0, 1, 1, name);
    s->AddFrame(image);
    s->SetPosition(px, py, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    return s;
}

}  // namespace

CElementLadder::CElementLadder(int x_, int y_, int segment, const char* platformImage) : CElement(x_, y_, 1) {
    type = ELEMENT_LADDER;
    occupiesGrid = 0;
    gravity = 0;
    slidable = 0;
    dynamic = 0;
    typeLadder = platformImage ? kLadderPlatform : segment;
    if (IsInsideGrid(x, y)) ladderGrid[Cell(x, y)] = typeLadder;

    const SegmentLook& look = LookOf(segment);
    sprite =
        MakeCellSprite(look.originX, look.originY, LAYER_LADDER_SEGMENT, look.debugName, look.image, pixelX, pixelY);
    lastShownSprite = sprite;
    if (platformImage)
        spritePlatform =
            MakeCellSprite(18, 11, LAYER_LADDER_PLATFORM, "Ladder Segment (Platform)", platformImage, pixelX, pixelY);
}

CElementLadder::~CElementLadder() {
    DebugLog(DBG_DESTRUCT, "CElementLadder:  Destroying ladder element at (%d,%d)...\n", x, y);
    DeletePieceSprite(&sprite);
    DeletePieceSprite(&spritePlatform);
    lastShownSprite = nullptr;
}

void CElementLadder::SaveState(int) { DebugLog(DBG_UNDO, "      %s:  Saving ElementLadder state...\n", GetTypeName()); }

void CElementLadder::RestoreState(int) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementLadder state...\n", GetTypeName());
}

void CElementLadder::DescribeStatics(CWorldDigest* d) {
    d->BeginPart("ladders");
    d->AddCells("ladder", 0, [](int x, int y) { return ladderGrid[Cell(x, y)]; });
}

int CElementLadder::GetSurfaceFriction() { return 0; }

bool CElementLadder::IsLadderAt(int x, int y) { return IsInsideGrid(x, y) && ladderGrid[Cell(x, y)] != 0; }

bool CElementLadder::IsLadderPlatformAt(int x, int y) {
    return IsInsideGrid(x, y) && ladderGrid[Cell(x, y)] == kLadderPlatform;
}

const char* CElementLadder::PlatformImage(bool ledgeLeft, bool ledgeRight) {
    if (ledgeLeft != ledgeRight) return ledgeLeft ? "ladderplatformleft.tga" : "ladderplatformright.tga";
    return "ladderplatform.tga";
}

const char* CElementLadder::PlatformImageAt(const CLevel& level, int x, int y) {
    return PlatformImage(level.IsTerrain(x - 1, y), level.IsTerrain(x + 1, y));
}

void CElementLadder::ResetStatics() { std::memset(ladderGrid, 0, sizeof(ladderGrid)); }
