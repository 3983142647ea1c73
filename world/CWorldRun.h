// One level run headless, frame by frame, exactly as the play screen runs it:
// in frame n (from 1) the solution records stamped n are handed to the hero,
// then the world steps, then every sprite animates one step and the frame
// counter moves on. Used by the level runner zorv_sim, by the tests and by
// the level-design tools.
#pragma once

#include <string>
#include <vector>

#include "world/CLevel.h"

class CElement;

class CWorldRun {
public:
    // The level is not owned and must outlive the run.
    explicit CWorldRun(CLevel* level);
    ~CWorldRun();
    CWorldRun(const CWorldRun&) = delete;
    CWorldRun& operator=(const CWorldRun&) = delete;

    // Builds the world. False, with the reason in *error, when the level
    // cannot be played (CLevelRules::FindPlayFault).
    bool Start(std::string* error);
    // The records to play; by default the level's stored solution.
    void SetKeys(const std::vector<ReplayKey>& keys);
    // Hands one solution code (273 up, 274 down, 275 right, 276 left,
    // 102 turn, 49..57 power-up positions) to the hero now.
    void ApplyKey(int code, bool released);
    // One frame: this frame's records, the world step, the sprite step.
    void StepFrame();
    // Runs until the level has ended or maxFrames frames have run; with
    // check, the world invariants are tested after every frame and the run
    // stops at the first broken one (see GetFailure).
    void Run(int maxFrames, bool check);

    int GetFrame() const { return frame_; }  // frames run so far
    bool IsEnded() const;
    // "exited", "caught", "singed", "fallen", "tube-destroyed" or "running".
    std::string GetResult() const;
    // Empty while every invariant held.
    const std::string& GetFailure() const { return failure_; }
    // The world as one JSON object (result, frames, steps, hero, elements):
    // the elements those still in the world, nothing that has left it.
    std::string ToJson() const;

    // The world invariants: every element is listed once; every element at
    // rest is drawn on its cell and its grid cell holds it; no grid cell is
    // empty or holds an element outside the world, a destroyed one, or one
    // that belongs to another cell; nothing lies outside the grid; at most
    // one hero, and the hero pointer names him; magnet links point at live
    // elements. False with the first broken one named. A debug check: it
    // walks the whole world, so it runs only where a caller asks for it.
    static bool CheckWorld(std::string* what);

private:
    CLevel* level_;
    std::vector<ReplayKey> keys_;
    size_t cursor_ = 0;
    int frame_ = 0;
    bool started_ = false;
    std::string failure_;
};
