// The screen that plays one level: the level's background, the world built
// from the level (through the world's one level builder), the step counter,
// the in-game menu button and the blinking sign shown while a stored solution
// plays back. Each frame it turns the player's keys, through the profile's
// key bindings, into hero commands (recording them as the level's solution
// when asked, or feeding the stored solution instead), steps the world once
// and, when the level has ended, records the result in the profile.
//
// In the editor's test play the window's close button asks first, as the
// editor does, when work would be lost (changes not saved before the test,
// or a recording under way); answered no, the test goes on, and so does a
// recording, as if the question had never been there.
//
// It never deletes its level: the level set, the editor or the level manager
// owns it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/CController.h"
#include "world/CLevel.h"

class CBackground;
class CElementAIProfessor;
class CGuiButton;
class CGuiCounter;
class CControllerMessage;
class CLevelSet;
class CSprite;

class CControllerGame : public CController {
public:
    enum { BUTTON_MENU = 100 };
    // How a screen opened over the play screen (the in-game menu, the
    // post-game board) closes; its result passes up one screen per step:
    // back to the play screen; also past it, to the map or the level
    // manager; also past that, to the main menu.
    static constexpr int kCloseToOpener = kCloseBack;
    static constexpr int kCloseToLevelChoice = kCloseBack + 1;
    static constexpr int kCloseToMainMenu = kCloseBack + 2;
    // The story shown after the last level of a set, once the hero is out.
    static constexpr int kLastStory = 11;
    // The question before unsaved editor work is thrown away.
    static constexpr int kUnsavedTitle = 2209;
    static constexpr int kUnsavedBody = 2315;
    // The recording has filled the room a level file has for a solution.
    static constexpr int kRecordingFullTitle = 2230;
    static constexpr int kRecordingFullBody = 2364;

    // The set's current level, played normally (the level map).
    explicit CControllerGame(CLevelSet* set);
    // One level without a set (the editor and the level manager).
    CControllerGame(CLevel* level, bool record, bool replay, bool editorTest);
    ~CControllerGame() override;

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Builds the world of a level (also on every restart).
    void LoadLevel(CLevel* level);
    void ProcessKey(bool released, int key);

    // Inspection (tests).
    CElementAIProfessor* GetHero() const { return hero; }
    bool IsReplaying() const { return replay != 0; }
    bool IsRecording() const { return record != 0; }
    int GetStartFrame() const { return startFrame; }
    CSprite* GetReplayIndicator() const { return replayIndicator.get(); }
    CGuiCounter* GetStepCounter() const { return stepCounter.get(); }
    CController* GetInGameChild() const { return inGameChild.get(); }
    CController* GetStoryChild() const { return storyChild.get(); }
    CControllerMessage* GetQuitQuestion() const { return quitQuestion.get(); }
    CControllerMessage* GetMessage() const { return message.get(); }

private:
    void Init(CLevelSet* set, CLevel* level, bool record, bool replay, bool editorTest);
    void CreateSprites();
    void Restart();
    // Releases every key of the hero, freezes the picture and hides the
    // widgets before a child opens over the screen.
    void Suspend();
    void LoadInGameController();
    // Classifies the level's end, records a success and closes or hands over.
    void EndLevel();
    // The story of this level of its set, when there is one to show now and
    // the player wants stories: made (and opened at once when asked); false
    // when there is none.
    bool LoadStoryController(bool openNow);
    // The score board's post-game page of the given type.
    void OpenPostGame(int type);
    // During playback every key or click only opens the in-game menu (an
    // editor test closes instead).
    void InterruptPlayback();
    // The window's close button in the editor's test play: true when it
    // asked (the play is paused for the question).
    bool AskBeforeClosing();
    // Whether the recording has room for this key: a press leaves room for
    // its own release and for the release of every key held, so that a
    // recording can always let its keys go.
    bool HasRoomToRecord(int binding, bool released) const;
    // Ends a recording that has filled its room: the player is told, and the
    // play ends with the solution the level had before.
    void StopFullRecording();

    std::unique_ptr<CSprite> replayIndicator;
    std::unique_ptr<CGuiButton> menuButton;
    std::unique_ptr<CBackground> background;
    CElementAIProfessor* hero;
    std::unique_ptr<CGuiCounter> stepCounter;
    CLevelSet* levelSet;
    CLevel* level;
    std::unique_ptr<CController> postGameChild;
    std::unique_ptr<CController> inGameChild;
    std::unique_ptr<CController> storyChild;
    // The refusal of a level the world cannot play, or the end of a full
    // recording; the play ends when it closes.
    std::unique_ptr<CControllerMessage> message;
    std::unique_ptr<CControllerMessage> quitQuestion;
    uint8_t storyPending;
    uint8_t record;
    uint8_t replay;
    uint8_t editorTest;
    uint8_t startFramePending;
    int32_t startFrame;
    // The step the play goes on from once the start frame is set (1 at the
    // start; the step it was paused at after the close question).
    int32_t resumeStep = 1;
    int32_t currentFrame;
    int32_t levelIndex;
    int32_t setIndex;
    int32_t blinkCounter;
    uint32_t worldGeneration = 0;  // of the world this screen built
    // The solution the level had before a recording started; it comes back
    // unless the recording reaches the exit.
    std::vector<ReplayKey> previousSolution;
    uint8_t previousSolutionRecorded = 0;
    uint8_t recordingFinished = 0;
    uint8_t recordingFull = 0;
    // The level's modified flag when the test began (the editor's work).
    uint8_t modifiedBeforePlay = 0;
    // The recorded direction and turn keys now held, a bit each, so that a
    // pause records their release.
    uint32_t heldKeys = 0;
};
