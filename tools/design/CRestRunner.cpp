#include "tools/design/CRestRunner.h"

#include "tools/design/CWorldRest.h"
#include "world/CElement.h"
#include "world/CLevel.h"

namespace {

// Power-up tiles: only where the hero can hold a power-up does his facing
// tell two positions apart.
bool HasPowerupTiles(const CLevel& level) {
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            switch (level.GetTile(x, y)) {
                case POWERUP_FROSTGUN: case POWERUP_HEATGUN: case POWERUP_WHISTLE: case POWERUP_TELEPORT:
                case POWERUP_BRIDGE: case POWERUP_EMP: case POWERUP_CRATE: case POWERUP_BARREL: case POWERUP_MAGNET:
                    return true;
                default:
                    break;
            }
        }
    }
    return false;
}

}  // namespace

CRestRunner::CRestRunner(CLevel* level, int restFrames)
    : run_(level), restFrames_(restFrames), heroFacing_(level && HasPowerupTiles(*level)) {
    run_.SetKeys({});
}

void CRestRunner::Step() {
    run_.StepFrame();
    ++stepped_;
}

bool CRestRunner::Ended(Outcome* outcome) {
    if (CElement::IsProfessorExiting()) {
        *outcome = EXITED;
        return true;
    }
    if (CElement::IsProfessorCaught() || CElement::IsProfessorSinged() || CElement::IsProfessorFallen() ||
        CElement::IsExitTubeDestroyed() || CElement::IsLevelExited()) {
        *outcome = LOST;
        return true;
    }
    return false;
}

CRestRunner::Outcome CRestRunner::Settle(int* frames) {
    bool havePrevious = false;
    CWorldKey previous;
    for (int n = 0; n < restFrames_; ++n) {
        Step();
        ++*frames;
        Outcome outcome;
        if (Ended(&outcome)) return outcome;
        if (CWorldRest::IsBusy()) {
            havePrevious = false;
            continue;
        }
        const CWorldKey key = Key();
        if (havePrevious && key == previous) return REST;
        previous = key;
        havePrevious = true;
    }
    return RESTLESS;
}

bool CRestRunner::Build(Outcome* outcome, int* frames, std::string* error) {
    if (!run_.Start(error)) return false;
    *outcome = Settle(frames);
    return true;
}

void CRestRunner::Wait(int n) {
    for (int i = 0; i < n && !CElement::IsLevelExited(); ++i) Step();
}

void CRestRunner::Press(int code) { run_.ApplyKey(code, false); }

CRestRunner::Outcome CRestRunner::Finish(int code, int* frames, int knownFrames) {
    Outcome outcome;
    Step();
    ++*frames;
    if (Ended(&outcome)) return outcome;
    run_.ApplyKey(code, true);
    Step();
    ++*frames;
    if (Ended(&outcome)) return outcome;
    if (knownFrames <= 0) return Settle(frames);
    while (*frames < knownFrames) {
        Step();
        ++*frames;
        if (Ended(&outcome)) return outcome;
    }
    return REST;
}
