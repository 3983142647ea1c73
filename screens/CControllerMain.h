// The animated main menu: the professor among palm leaves who now and then
// looks up and gestures, a volcano with a pulsing glow and puffs of smoke,
// twelve clouds drifting left, a column of menu buttons on the right and a
// welcome panel with the current player's name. It is the root of every
// other front-end screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/CController.h"
#include "engine/CSprite.h"
#include "gui/SaveFailureNotice.h"
#include "players/DamageNotice.h"

class CGuiButton;
class CLinearMover;
class CControllerMessage;
class CControllerProfiles;
class CControllerManager;
class CControllerEditor;
class CControllerMap;
class CControllerInstructions;
class CControllerOptions;
class CControllerCredits;
class CControllerScoreboard;

class CControllerMain : public CController {
public:
    enum ButtonId {
        BUTTON_PLAY = 0,
        BUTTON_MANAGER = 1,
        BUTTON_EDITOR = 2,
        BUTTON_SCORES = 3,
        BUTTON_INSTRUCTIONS = 4,
        BUTTON_OPTIONS = 5,
        BUTTON_CREDITS = 6,
        BUTTON_MOREGAMES = 7,
        BUTTON_EXIT = 8,
        BUTTON_PROFILE = 9,
        BUTTON_COUNT = 10,
    };
    enum SpriteSlot {
        SPRITE_BACKGROUND,
        SPRITE_VOLCANO_FRONT,
        SPRITE_VOLCANO_GLOW,
        SPRITE_VOLCANO_SMOKE,
        SPRITE_LEAVES,
        SPRITE_BODY,
        SPRITE_HEAD_RAISE,
        SPRITE_HEAD_LOWER,
        SPRITE_HEAD_LOOKUP,
        SPRITE_HEAD_LOOKDOWN,
        SPRITE_HEAD_NOD,
        SPRITE_LARM_LOWER,
        SPRITE_LARM_RAISE,
        SPRITE_RARM_LOWER,
        SPRITE_RARM_RAISE,
        SPRITE_PROFILE,
        SPRITE_COUNT,
    };
    static constexpr int kCloudCount = 12;
    static constexpr int kButtonX = 580;
    static constexpr int kButtonTop = 9;
    static constexpr int kButtonPitch = 53;
    // The notice of a damaged profile file: its titles (one player's
    // progress, the list of players rebuilt from the players' files), and
    // their bodies: with the place of the damaged file's copy; saying that
    // none could be made, and why; saying that every name for one is taken,
    // with the names to clear. And for a list that was missing, and one that
    // cannot be reached now (which file, and why), and a whole data folder
    // that cannot be reached. Each that gives a reason tells what helps.
    static constexpr int kDamagedTitle = 2225;
    static constexpr int kListTitle = 2226;
    static constexpr int kDamagedProgressBody = 2345;
    static constexpr int kDamagedProgressNoCopyBody = 2346;
    static constexpr int kDamagedProgressNoNameBody = 2349;
    static constexpr int kDamagedListBody = 2347;
    static constexpr int kDamagedListNoCopyBody = 2348;
    static constexpr int kDamagedListNoNameBody = 2352;
    static constexpr int kMissingListBody = 2359;
    static constexpr int kListAwayTitle = 2228;
    static constexpr int kListAwayBody = 2355;
    static constexpr int kFolderAwayTitle = 2231;
    static constexpr int kFolderAwayBody = 2374;
    // A player made while the list was away moved to a free number, as the
    // list had given hers to another player meanwhile: who, and her file.
    static constexpr int kNumberTakenTitle = 2238;
    static constexpr int kNumberTakenBody = 2390;
    // The notice of a data folder that could not be locked, with the lock
    // file's place; the question before quitting with unsaved progress
    // (its body says why, as the box of a failed save does).
    static constexpr int kUnlockedTitle = 2224;
    static constexpr int kUnlockedBody = 2358;
    static constexpr int kQuitUnsavedTitle = 2229;
    // The notice of editor work kept when the game last ended unasked.
    static constexpr int kRecoveredTitle = 2222;
    static constexpr int kRecoveredBody = 2360;
    static constexpr int kRecoveredRecordingBody = 2361;
    // The same, kept in the data folder because the levels folder could not
    // take it.
    static constexpr int kRecoveredInDataBody = 2370;
    static constexpr int kRecoveredInDataRecordingBody = 2371;

    // introPicture: the picture the intro leaves on screen (none for a menu
    // made on its own); the menu owns it from now on and fades it out.
    explicit CControllerMain(std::unique_ptr<CSprite> introPicture = nullptr);
    ~CControllerMain() override;

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // The volcano's pulsing glow (the level map shows the same volcano).
    static void AddVolcanoGlowFrames(CSprite* glow);
    // What the menu tells of a profile file met while loading: damaged
    // progress or list, or a player whose file cannot be reached now.
    static ProgressMessage DamageMessage(const DamageNotice& damage);
    // The data folder could not be locked: the menu tells the player once,
    // naming the lock file at lockPath.
    static void NoteUnlockedDataFolder(const std::string& lockPath);

    // Inspection (tests).
    bool IsLoaded() const { return spritesLoaded != 0; }
    CGuiButton* GetButton(int buttonId) const;
    CSprite* GetSprite(int slot) const;
    CSprite* GetCloud(int i) const;
    CSprite* GetIntroPicture() const { return introPicture.get(); }
    int GetPose() const { return pose; }
    int GetIdleCounter() const { return idleCounter; }
    int GetIdleLimit() const { return idleLimit; }
    // The open notice (of a damaged profile file, an unlocked data folder
    // or a failed save); null when none is open.
    CControllerMessage* GetNotice() const { return notice.get(); }
    // The open question before quitting with unsaved progress.
    CControllerMessage* GetQuitQuestion() const { return quitQuestion.get(); }

private:
    void LoadSprites();
    void UnloadSprites();
    void BuildWelcomePanel();
    void StartCloud(int i, bool fromRight);
    void MoveClouds();
    void AnimateFigure();
    void FreezeForChild();
    // The scene is released for these two full-screen children.
    void OpenMap();
    void OpenManager();
    // Freezes the menu for a child and logs its opening.
    void FreezeFor(const char* childName);
    // Tells the player, in a message box over the frozen menu, of the oldest
    // damaged profile file not told yet, else of a data folder that could
    // not be locked, else of a save that failed; false when there is none.
    bool OpenNotice();
    // Leaving the game (kCloseQuit, or kCloseToBrowser once a web page is
    // open) saves the profile first; when that fails the quit is held and the
    // player asked whether to quit anyway (true: the question is open), or to
    // stay and quit again once the reason is mended. A terminate signal is
    // not held.
    bool HoldQuitForUnsavedProgress();
    // Tells the player of editor work kept in a recovery file when the game
    // last ended; false when there is none.
    bool OpenRecoveryNotice();
    void ShowButtons();
    void HideButtons();
    std::unique_ptr<CSprite> MakeSprite(SpriteLayer layer, int frameDelay, const char* debugName, int x, int y);

    std::unique_ptr<CSprite> introPicture;
    std::unique_ptr<CSprite> sprites[SPRITE_COUNT];
    std::unique_ptr<CSprite> clouds[kCloudCount];
    std::unique_ptr<CLinearMover> movers[kCloudCount];
    std::unique_ptr<CGuiButton> buttons[BUTTON_COUNT];

    int pose;
    int idleCounter, idleLimit;
    int raiseHold, raiseHoldLimit;
    int lookUpHold, lookUpHoldLimit;
    int lookDownHold, lookDownHoldLimit;
    int smokeCounter, smokeLimit;

    std::unique_ptr<CControllerMessage> message;
    std::unique_ptr<CControllerMessage> notice;
    std::unique_ptr<CControllerMessage> quitQuestion;
    int heldQuit = 0;          // the result of the quit being held
    bool quitAnyway = false;   // the player chose to quit without saving
    std::unique_ptr<CControllerMap> map;
    std::unique_ptr<CControllerProfiles> profiles;
    std::unique_ptr<CControllerManager> manager;
    std::unique_ptr<CControllerEditor> editor;
    std::unique_ptr<CControllerInstructions> instructions;
    std::unique_ptr<CControllerOptions> options;
    std::unique_ptr<CControllerCredits> credits;
    std::unique_ptr<CControllerScoreboard> scoreboard;
    uint8_t spritesLoaded;
};
