#include "world/pieces/CElementDevicePowerup.h"

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CWorldDigest.h"
#include "world/pieces/PieceSprites.h"

CElementDevicePowerup* CElementDevicePowerup::powerupGrid[kGridCells] = {};
CElementDevicePowerup* CElementDevicePowerup::savedGrids[kUndoSlots][kGridCells] = {};
int32_t CElementDevicePowerup::bobbingPhase = 0;
bool CElementDevicePowerup::inUse = false;

namespace {

// The icon steps of the bobbing: up and down by 4, eased toward the turns.
constexpr int kBobAmplitude = 4;
constexpr float kBobExponent = 3.0f;
constexpr float kBobScale = 3.3f;
// Neighbouring power-ups start their bobbing and their icon this far apart.
constexpr int kPhaseStep = 4;
constexpr int kPhaseCycle = 14;

struct Look {
    const char* iconName;
    const char* iconPrefix;
    int iconLast;
    const char* iconSuffix;
    const char* captionPrefix;
    const char* captionName;
};

const Look kInflatableLook = {"Powerup - Crate",          "powerupcrate", 27, ".tga", "poweruptextinflatable",
                              "Powerup - Text for Inflatables"};

// The look of a kind; every kind without one of its own looks like the crate.
Look LookOf(int kind) {
    const char* inflatableCaption = kInflatableLook.captionPrefix;
    const char* inflatableName = kInflatableLook.captionName;
    switch (kind) {
        case CElementDevicePowerup::KIND_BARREL:
            return {"Powerup - Barrel", "powerupbarrel", 23, ".tga", inflatableCaption, inflatableName};
        case CElementDevicePowerup::KIND_MAGNET:
            return {"Powerup - Magnet", "powerupmagnet", 23, ".tga", inflatableCaption, inflatableName};
        case CElementDevicePowerup::KIND_EMP:
            return {"Powerup - EMP", "powerupemp", 17, ".tga", "poweruptextemp", "Powerup - Text for EMPs"};
        case CElementDevicePowerup::KIND_FROSTGUN:
            return {"Powerup - Frostgun", "powerupfrostgun", 17, ".tga", "poweruptextfrostgun",
                    "Powerup - Text for Frostgun"};
        case CElementDevicePowerup::KIND_HEATGUN:
            return {"Powerup - Heatgun", "powerupheatgun", 17, ".png", "poweruptextheatgun",
                    "Powerup - Text for Heatgun"};
        case CElementDevicePowerup::KIND_BRIDGE:
            return {"Powerup - Bridge", "powerupbridge", 27, ".png", inflatableCaption, inflatableName};
        case CElementDevicePowerup::KIND_WHISTLE:
            return {"Powerup - Whistle", "powerupwhistle", 17, ".tga", "poweruptextwhistle",
                    "Powerup - Text for Whistles"};
        case CElementDevicePowerup::KIND_TELEPORT_BLUE:
            return {"Powerup - Teleport (Blue)", "powerupteleport", 27, ".png", inflatableCaption, inflatableName};
        case CElementDevicePowerup::KIND_TELEPORT_YELLOW:
            return {"Powerup - Teleport (Yellow)", "powerupteleportyellow", 27, ".png", inflatableCaption,
                    inflatableName};
        case CElementDevicePowerup::KIND_TELEPORT_RED:
            return {"Powerup - Teleport (Red)", "powerupteleportred", 27, ".png", inflatableCaption, inflatableName};
        default:
            return kInflatableLook;
    }
}

int CellIndex(int x, int y) { return x * CElement::kGridHeight + y; }

// A one-cell sprite holding its own references to its pictures: not every
// picture of a power-up is decoded at start-up.
CSprite* MakeSprite(int originX, int originY, SpriteLayer layer, int frameDelay, const char* name) {
    return NewPieceSprite(originX, originY, layer, frameDelay, 1, 1, name, false);
}

}  // namespace

CElementDevicePowerup::CElementDevicePowerup(int x_, int y_, int kind_) : CElementDevice(x_, y_) {
    inUse = true;
    collected = 0;
    typeDevice = DEVICE_KIND_POWERUP;
    kind = kind_;
    gravity = 0;  // a power-up hangs where it was put

    const Look look = LookOf(kind);
    halo = MakeSprite(20, 19, LAYER_POWERUP_HALO, 0, "Powerup - Halo");
    halo->AddFrame("poweruphalo0.tga");
    icon = MakeSprite(14, 14, LAYER_POWERUP_ICON, 2, look.iconName);
    icon->AddFrames(look.iconPrefix, 0, look.iconLast, look.iconSuffix, 1);
    caption = MakeSprite(26, 40, LAYER_POWERUP_CAPTION, 2, look.captionName);
    caption->AddFrames(look.captionPrefix, 0, 7, ".tga", 1);
    soundCollect = new CSoundObject("powerup_collect.ogg", false);

    sprite = lastShownSprite = halo;
    halo->SetPosition(pixelX, pixelY, false);
    halo->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    icon->SetPosition(pixelX, pixelY, false);
    icon->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    icon->Rewind();
    icon->Play(true);
    icon->SetLooping(true);
    // The caption waits hidden; a hidden sprite does not animate, so its
    // animation runs from the moment it is first shown.
    caption->SetPosition(pixelX, pixelY, false);
    caption->Rewind();
    caption->Play(true);

    // Neighbouring power-ups bob and turn out of step.
    bobbing.Init(pixelY, kBobAmplitude, kBobExponent, kBobScale, bobbingPhase);
    bobbingPhase = (bobbingPhase + kPhaseStep) % kPhaseCycle;
    icon->SetFrame(bobbingPhase);

    if (IsInsideGrid(x, y)) powerupGrid[CellIndex(x, y)] = this;
}

CElementDevicePowerup::~CElementDevicePowerup() {
    DebugLog(DBG_DESTRUCT, "CElementDevicePowerup:  Destroying powerup element at (%d,%d)...\n", x, y);
    if (IsInsideGrid(x, y) && powerupGrid[CellIndex(x, y)] == this) powerupGrid[CellIndex(x, y)] = nullptr;
    for (auto& saved : savedGrids)
        for (CElementDevicePowerup*& cell : saved)
            if (cell == this) cell = nullptr;
    delete halo;
    delete icon;
    delete caption;
    sprite = lastShownSprite = nullptr;
    DebugLog(DBG_DESTRUCT, "CElementDevicePowerup:  Destroying sounds...\n");
    delete soundCollect;
}

bool CElementDevicePowerup::IsPowerupAt(int x, int y) {
    return IsInsideGrid(x, y) && powerupGrid[CellIndex(x, y)] != nullptr;
}

int CElementDevicePowerup::GetPowerupKindAt(int x, int y) {
    if (!IsPowerupAt(x, y)) return KIND_NONE;
    return powerupGrid[CellIndex(x, y)]->kind;
}

void CElementDevicePowerup::Collect(int x, int y) {
    if (!IsPowerupAt(x, y)) return;
    CElementDevicePowerup* p = powerupGrid[CellIndex(x, y)];
    CSound::Play(p->soundCollect, false, 0, 0.0f);
    powerupGrid[CellIndex(x, y)] = nullptr;
    p->collected = 1;
}

void CElementDevicePowerup::ResetStatics() {
    inUse = false;
    for (CElementDevicePowerup*& cell : powerupGrid) cell = nullptr;
    for (auto& saved : savedGrids)
        for (CElementDevicePowerup*& cell : saved) cell = nullptr;
}

void CElementDevicePowerup::SaveStatics(int k) {
    if (!inUse || k < 0 || k >= kUndoSlots) return;
    for (int i = 0; i < kGridCells; ++i) savedGrids[k][i] = powerupGrid[i];
}

void CElementDevicePowerup::RestoreStatics(int k) {
    if (!inUse || k < 0 || k >= kUndoSlots) return;
    for (int i = 0; i < kGridCells; ++i) powerupGrid[i] = savedGrids[k][i];
}

void CElementDevicePowerup::DescribeStatics(CWorldDigest* d) {
    d->BeginPart("powerups");
    d->AddCells(
        "powerup", -2, [d](int x, int y) { return d->ElementIndex(powerupGrid[CellIndex(x, y)]); },
        CWorldDigest::kUndoAndKey);
}

void CElementDevicePowerup::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementDevicePowerup state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        Record& r = records[k];
        UNDO_SAVE(r, POWERUP_UNDO_FIELDS);
        r.icon = icon->GetState();
        r.caption = caption->GetState();
    }
    CElementDevice::SaveState(k);
}

void CElementDevicePowerup::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementDevicePowerup state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        const Record& r = records[k];
        UNDO_RESTORE(r, POWERUP_UNDO_FIELDS);
        icon->SetState(r.icon);
        caption->SetState(r.caption);
    }
    CElementDevice::RestoreState(k);
}

void CElementDevicePowerup::DescribeState(CWorldDigest* d) {
    d->Field("kind", kind);
    UNDO_DESCRIBE(d, POWERUP_UNDO_FIELDS);
    d->AddSprite("icon", icon, true);
    d->AddSprite("caption", caption, true);
    CElementDevice::DescribeState(d);
}

void CElementDevicePowerup::Update() {
    if (!collected) {
        bobbing.Step();
        halo->SetPosition(pixelX, pixelY, false);
        icon->SetPosition(pixelX, bobbing.GetValue(), false);
        return;
    }
    if (!caption->IsFinished()) {
        // The caption rises a pixel per step while it plays.
        ++rise;
        if (caption->IsHidden()) caption->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        halo->Hide();
        icon->Hide();
        caption->SetPosition(pixelX, pixelY - rise, false);
    } else {
        caption->Hide();
    }
}

void CElementDevicePowerup::PrintSprites() {
    PrintSpriteLine(halo);
    PrintSpriteLine(icon);
    PrintSpriteLine(caption);
}
