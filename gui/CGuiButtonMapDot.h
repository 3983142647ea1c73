// One level's dot on the level map: a small animated button that shows
// whether the level is locked, playable or completed, comes into view with a
// short animation, pulses while it is the selected level, and reports single
// clicks (select) and double clicks or keys (play) to the map. A tutorial
// level's dot is a spinning star on a post from the next level's dot. An
// open dot that holds the focus wears a gold ring; the keyboard's focus
// chooses it as a click does.
//
// One program-wide value, the selected dot, is shared by all dots.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/COscillator.h"
#include "engine/CSprite.h"
#include "gui/CGuiButtonBase.h"

class CController;
class CSoundObject;

class CGuiButtonMapDot : public CGuiButtonBase {
public:
    enum Kind { KIND_DOT = 0, KIND_STAR = 1 };
    enum State { STATE_LOCKED = 0, STATE_GHOSTED = 1, STATE_COMPLETED = 2, STATE_PLAYABLE = 3 };
    enum Anim {
        ANIM_IDLE = 0,
        ANIM_ROLLOVER = 1,
        ANIM_POP = 3,
        ANIM_APPEAR = 4,
        ANIM_SELECTED = 5,
        ANIM_APPEAR_SELECT = 6,
    };
    // Frames in which a second press counts as a double click.
    static constexpr int kDoubleClickFrames = 15;

    CGuiButtonMapDot(int x, int y, int id, CController* owner, int kind, int state, int anim, int delay,
                     bool isDefault);
    ~CGuiButtonMapDot() override;

    void Update() override;
    bool Activate(bool byKey, bool force) override;
    void Hide() override;
    void Show() override;
    bool IsMouseOver() override;
    void WarpMouseTo() override;

    // Stands a tutorial star with its middle at (centreX, centreY) instead of
    // upright over its dot, and gives it the post it stands on: postImage at
    // (postX, postY), under the dots, in view whenever the star is.
    void PlaceStar(int centreX, int centreY, const char* postImage, int postX, int postY);

    // Where the picture now shown stands.
    int GetSpriteX() const;
    int GetSpriteY() const;

    // The id of the selected dot, -1 for none.
    static int GetSelectedDotId();
    // Forgets the selection (start-up and tests).
    static void ResetSelection() { selectedDot = -1; }

    // Inspection (tests).
    int GetKind() const { return kind; }
    int GetState() const { return state; }
    // A completed or playable level's dot: it can be chosen and played.
    bool IsOpen() const { return state == STATE_COMPLETED || state == STATE_PLAYABLE; }
    int GetAnim() const { return anim; }
    CSprite* GetCurrentSprite() const { return current; }
    CSprite* GetBaseSprite() const { return baseSprite.get(); }
    CSprite* GetPulseSprite() const { return pulseSprite.get(); }
    CSprite* GetPostSprite() const { return postSprite.get(); }
    CSprite* GetRingSprite() const { return ringSprite.get(); }
    bool IsStarWaiting() const { return starWaiting != 0; }

private:
    std::unique_ptr<CSprite> MakeStill(const char* image, SpriteLayer layer, int px, int py);
    std::unique_ptr<CSprite> MakeStrip(const char* prefix, int from, int to, SpriteLayer layer, int px, int py,
                                       bool looping, bool pingPong);
    void BuildDot();
    void BuildStar();
    // Hides the current picture and shows another at the same frame number.
    void SwitchTo(CSprite* next);
    // Starts a strip from its first frame, shown.
    static void PlayFromStart(CSprite* s, bool forward);
    // A star's post goes into and out of view with the star.
    void ShowPost(bool shown);
    // The centre of the picture now shown.
    void Centre(int* cx, int* cy) const;
    // The focus ring, around the picture now shown.
    void ShowRing(bool shown);

    std::unique_ptr<CSoundObject> dotSound;
    CSprite* current;
    std::unique_ptr<CSprite> baseSprite;
    std::unique_ptr<CSprite> rolloverSprite;
    std::unique_ptr<CSprite> shrinkSprite;
    std::unique_ptr<CSprite> growSprite;
    std::unique_ptr<CSprite> pulseSprite;
    std::unique_ptr<CSprite> appearSprite;
    std::unique_ptr<CSprite> postSprite;
    std::unique_ptr<CSprite> ringSprite;
    std::unique_ptr<COscillator> bobber;
    int kind;
    int state;
    int anim;
    int delay;
    int clickCooldown;
    uint8_t forward;
    uint8_t starWaiting;
    int starDelay;
    uint8_t popSounded;  // the pop strip has played its sound

    static int selectedDot;
};
