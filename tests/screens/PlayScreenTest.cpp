// The play screen on the real resources, driven by key events as the player
// gives them: a recorded solution plays back to the same end in the same
// frames and steps as the headless runner; undo and restart by their keys; a
// rebound key drives the hero; the post-game board's answers; a level the
// world cannot play (no entrance tube, two of a tube) is refused; an
// abandoned recording keeps the level's earlier solution.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/Utilities.h"
#include "gui/CControllerGame.h"
#include "gui/CControllerInGame.h"
#include "gui/CControllerMessage.h"
#include "gui/SaveFailureNotice.h"
#include "platform/Platform.h"
#include "players/CProfile.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerScoreboard.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/screens/ScreenTest.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CElement.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"

namespace {


// Ground from wall to wall, the entrance tube at column 2, the exit at 12.
CLevel WalkLevel() { return worldtest::WalkLevel(12); }

class PlayScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        CElement::SetProfile(&Profile());
        Profile().SetDefaultKeys();
        root.Activate(nullptr);
    }
    void TearDown() override {
        game.reset();
        Profile().SetDefaultKeys();
        CElement::SetProfile(nullptr);
        ScreenTest::TearDown();
    }
    // Opens the play screen over the root and lets the hero come out of
    // the tube.
    // The screen is made here, after the last one (and its world) is gone.
    template <typename... Args>
    void Open(Args... args) {
        game.reset();
        game.reset(new CControllerGame(args...));
        root.OpenChild(game.get());
        Frames(80);
    }
    // Frames until the root is current again; the frames the level ran.
    int RunToClose(int cap = 3000) {
        const int start = game->GetStartFrame();
        int frame = 0;
        for (int i = 0; i < cap && CController::GetCurrent() != &root; ++i) {
            frame = static_cast<int>(CDraw::GetFrame());
            Frame();
        }
        return frame - start;
    }
    int HeroX() const { return game->GetHero() ? game->GetHero()->GetCurrentX() : -1; }
    // Holds the right key until the post-game board opens (at most 400
    // frames).
    void WalkRightToTheBoard() {
        PushKey(true, SDLK_RIGHT);
        for (int i = 0; i < 400 && CController::GetCurrentId() != CONTROLLER_SCOREBOARD; ++i) Frame();
        PushKey(false, SDLK_RIGHT);
    }

    RecordingOwner root{13};
    std::unique_ptr<CControllerGame> game;
};

TEST_F(PlayScreenTest, ARecordedSolutionPlaysBackToTheSameEndAsTheRunnerSees) {
    CLevel level = WalkLevel();
    Open(&level, true, false, true);
    PushKey(true, SDLK_RIGHT);
    const int recordedFrames = RunToClose();
    EXPECT_EQ(root.Result(), 0);
    ASSERT_TRUE(level.IsSolutionRecorded());
    ASSERT_EQ(level.GetSolution().size(), 1u);
    EXPECT_EQ(level.GetSolution()[0].key, 275);
    EXPECT_EQ(Profile().GetStepCount(true), 10);

    // The play screen plays it back to the exit in the same frames.
    Open(&level, false, true, true);
    EXPECT_TRUE(game->IsReplaying());
    const int playedFrames = RunToClose();
    EXPECT_EQ(playedFrames, recordedFrames);
    EXPECT_EQ(Profile().GetStepCount(true), 10);

    // So does the headless runner.
    game.reset();
    CElement::SetProfile(nullptr);
    CWorldRun run(&level);
    std::string error;
    ASSERT_TRUE(run.Start(&error)) << error;
    run.Run(3000, true);
    EXPECT_EQ(run.GetResult(), "exited");
    EXPECT_EQ(run.GetFrame(), recordedFrames);
    EXPECT_EQ(CElement::GetStepCount(), 10);
}

TEST_F(PlayScreenTest, UndoAndRestartByTheirKeysAndAReboundKeyDrivesTheHero) {
    CLevel level = WalkLevel();
    Profile().SetKeyBinding(KEYACTION_RIGHT, SDLK_d);
    Open(&level, false, false, false);
    ASSERT_EQ(HeroX(), 2);
    // The arrow no longer walks: unbound, it opens the in-game menu.
    TapKey(SDLK_RIGHT);
    Frames(2);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_INGAME_MENU);
    TapKey(SDLK_ESCAPE);  // resume
    Frames(2);
    ASSERT_EQ(CController::GetCurrent(), game.get());
    // Two cells with the bound key.
    PushKey(true, SDLK_d);
    Frames(12);
    PushKey(false, SDLK_d);
    Frames(20);
    EXPECT_EQ(HeroX(), 4);
    EXPECT_EQ(Profile().GetStepCount(true), 2);
    // Undo takes back the last step only (each press saves one step).
    PushKey(true, SDLK_d);
    Frame();
    PushKey(false, SDLK_d);
    Frames(20);
    EXPECT_EQ(HeroX(), 5);
    TapKey(SDLK_u);
    Frames(2);
    EXPECT_EQ(HeroX(), 4);
    EXPECT_EQ(Profile().GetStepCount(true), 2);
    // Restart builds the level anew.
    TapKey(SDLK_r);
    Frames(2);
    EXPECT_EQ(HeroX(), 2);
    EXPECT_EQ(Profile().GetStepCount(true), 0);
}

TEST_F(PlayScreenTest, ThePostGameBoardOpensAtTheExitAndItsUndoTakesTheLastStepBack) {
    CLevel level = WalkLevel();
    Open(&level, false, false, false);
    WalkRightToTheBoard();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_SCOREBOARD);
    CController* board = CController::GetCurrent();
    board->GUICallback(CControllerScoreboard::BUTTON_UNDO, 0, false);
    Frames(2);
    ASSERT_EQ(CController::GetCurrent(), game.get());
    EXPECT_FALSE(CElement::IsLevelExited());
    EXPECT_FALSE(CElement::IsProfessorExiting());
    // The whole walk was one press: undo goes back to the start.
    EXPECT_EQ(HeroX(), 2);
    // Restart from the board starts the level again.
    WalkRightToTheBoard();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_SCOREBOARD);
    CController::GetCurrent()->GUICallback(CControllerScoreboard::BUTTON_RETRY, 0, false);
    Frames(2);
    ASSERT_EQ(CController::GetCurrent(), game.get());
    EXPECT_EQ(HeroX(), 2);
}

// A level solved while the profile folder refuses writes: its page says
// that the result was not saved, why and what helps, and leaving the game
// asks first, the same words under its question: Cancel stays in the game
// (a save tried again at once would meet the same refusal), and the next
// quit saves once the folder takes writes again.
TEST_F(PlayScreenTest, AResultThatCannotBeSavedIsToldAfterTheLevelAndAtTheQuit) {
    CProfile& p = Profile();
    ASSERT_TRUE(p.WriteInfo());
    // A folder where each file's temporary copy goes stops root as well.
    const std::string blockers[] = {p.ProfileFileName(p.GetCurrentProfile()) + ".tmp", p.InfoFileName() + ".tmp"};
    const auto block = [&](bool on) {
        for (const std::string& b : blockers) on ? PlatformMakeDir(b) : (rmdir(b.c_str()) == 0);
    };
    block(true);
    CLevel level = WalkLevel();
    Open(&level, false, false, false);
    WalkRightToTheBoard();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_SCOREBOARD);
    auto* board = dynamic_cast<CControllerScoreboard*>(CController::GetCurrent());
    Frames(2);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    ASSERT_NE(board->GetMessage(), nullptr);
    // The folder refuses with "Is a directory": what helps is that folder moved away.
    const std::string why = AwayFileText(GetProfileDir(), strerror(EISDIR));
    EXPECT_EQ(board->GetMessage()->GetTitleId(), kSaveFailureTitle);
    EXPECT_EQ(board->GetMessage()->GetBodyId(), kNotSavedBody);
    EXPECT_EQ(board->GetMessage()->GetAdviceId(), kAdviceMoveFolder);
    EXPECT_EQ(board->GetMessage()->GetBodyText(), why);
    Answer(board->GetMessage(), true);
    ASSERT_EQ(CController::GetCurrent(), board);
    board->GUICallback(CControllerScoreboard::BUTTON_BACK, 0, false);
    RunToClose();

    // Told once, on the level's page: the main menu shows no notice. Alt+Q
    // asks; Cancel stays, and the next quit asks again while writes are
    // refused.
    auto menu = std::make_unique<CControllerMain>();
    menu->Activate(nullptr);
    Frames(3);
    EXPECT_EQ(menu->GetNotice(), nullptr);
    PushKey(true, SDLK_LALT);
    PushKey(true, SDLK_q, KMOD_LALT);
    Frames(2);
    CControllerMessage* question = menu->GetQuitQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->GetTitleId(), CControllerMain::kQuitUnsavedTitle);
    EXPECT_EQ(question->GetBodyId(), kNotSavedBody);
    EXPECT_EQ(question->GetAdviceId(), kAdviceMoveFolder);
    EXPECT_EQ(question->GetBodyText(), why);
    ASSERT_NE(question->GetCancelButton(), nullptr);
    Answer(question, false);
    Frames(2);
    ASSERT_TRUE(CController::IsRunning());
    EXPECT_EQ(menu->GetQuitQuestion(), nullptr);
    EXPECT_EQ(CController::GetCurrent(), menu.get());
    menu->GUICallback(CControllerMain::BUTTON_EXIT, 0, false);
    Frames(2);
    ASSERT_NE(menu->GetQuitQuestion(), nullptr);
    Answer(menu->GetQuitQuestion(), false);
    Frames(2);
    // Once the folder takes writes again, the next quit saves and quits.
    block(false);
    menu->GUICallback(CControllerMain::BUTTON_EXIT, 0, false);
    Frames(2);
    EXPECT_FALSE(CController::IsRunning());
    {
        CProfile reread;
        EXPECT_EQ(reread.GetLevelRecord(level.GetFileName()).bestSteps, 10);
    }

    // A save that failed elsewhere is told on the menu; quitting anyway
    // leaves without the progress.
    CController::ResetStack();
    block(true);
    p.SetLevelSteps(33, 1, 0);
    EXPECT_FALSE(p.Save());
    menu.reset(new CControllerMain());
    menu->Activate(nullptr);
    Frames(3);
    ASSERT_NE(menu->GetNotice(), nullptr);
    EXPECT_EQ(menu->GetNotice()->GetBodyId(), kNotSavedBody);
    EXPECT_EQ(menu->GetNotice()->GetAdviceId(), kAdviceMoveFolder);
    Answer(menu->GetNotice(), true);
    menu->GUICallback(CControllerMain::BUTTON_EXIT, 0, false);
    Frames(2);
    ASSERT_NE(menu->GetQuitQuestion(), nullptr);
    Answer(menu->GetQuitQuestion(), true);
    Frames(2);
    EXPECT_FALSE(CController::IsRunning());
    block(false);
    CProfile reread;
    EXPECT_EQ(reread.GetLevelSteps(1, 0, false), -1);
}

// The step counter reads clearly: its light digits show through the frame
// drawn over them.
TEST_F(PlayScreenTest, TheStepCounterShowsItsDigitsThroughItsFrame) {
    CLevel level = WalkLevel();
    Profile().SetStepCounterEnabled(1);
    Open(&level, false, false, false);
    PushKey(true, SDLK_RIGHT);
    Frames(4);
    PushKey(false, SDLK_RIGHT);
    Frames(80);
    ASSERT_GE(Profile().GetStepCount(true), 1);
    // The units digit stands at x 720 + 13 * 4, y 569, 13 x 20 pixels.
    SDL_Surface* screen = CDraw::GetScreen();
    int brightest = 0;
    for (int y = 569; y < 589; ++y)
        for (int x = 772; x < 785; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(CDraw::GetPixel(screen, x, y), screen->format, &r, &g, &b);
            brightest = std::max(brightest, (r * 30 + g * 59 + b * 11) / 100);
        }
    EXPECT_GE(brightest, 180) << "the digit is hardly lighter than its frame";
}

// A level with no recorded solution says so where the solution is asked
// for, instead of starting again and playing nothing; with a solution the
// question comes as before.
TEST_F(PlayScreenTest, ALevelWithoutASolutionSaysSoInsteadOfReplayingNothing) {
    // Ground from column 0 to 8: walking right falls out of the world.
    CLevel level;
    for (int x = 0; x <= 8; ++x) level.SetTile(TERRAIN_GRASS, x, 23);
    level.SetTile(DEVICE_TUBE_START, 4, 22);
    level.SetTile(DEVICE_TUBE_END, 1, 22);
    Open(&level, false, false, false);
    auto box = [] { return dynamic_cast<CControllerMessage*>(CController::GetCurrent()); };

    TapKey(SDLK_ESCAPE);
    Frames(2);
    Click(400, 279);  // the solution row
    Frames(2);
    ASSERT_NE(box(), nullptr);
    EXPECT_EQ(box()->GetCancelButton(), nullptr) << "a notice, not a question";
    TapKey(SDLK_RETURN);
    Frames(2);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_INGAME_MENU);
    TapKey(SDLK_ESCAPE);
    Frames(2);
    ASSERT_EQ(CController::GetCurrent(), game.get());

    // The page of a lost level: its solution button tells the same.
    WalkRightToTheBoard();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_SCOREBOARD);
    Frames(2);
    Click(400, 429);  // the solution button
    Frames(2);
    ASSERT_NE(box(), nullptr);
    EXPECT_EQ(box()->GetCancelButton(), nullptr);
    TapKey(SDLK_RETURN);
    Frames(2);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_SCOREBOARD);
    TapKey(SDLK_r);  // try again
    Frames(3);
    ASSERT_EQ(CController::GetCurrent(), game.get());

    // With a solution the menu asks whether to show it.
    level.AddReplayKey(10, 276, false);
    level.SetSolutionRecorded();
    TapKey(SDLK_ESCAPE);
    Frames(2);
    Click(400, 279);
    Frames(2);
    ASSERT_NE(box(), nullptr);
    EXPECT_NE(box()->GetCancelButton(), nullptr);
}

// A row of the in-game menu opens its page ready to use: the hourglass that
// covered the hand-over is gone, the page hides the pointer until it moves.
TEST_F(PlayScreenTest, TheInGameMenusPagesOpenWithoutTheHourglassLeftOnThem) {
    CLevel level = WalkLevel();
    Open(&level, false, false, false);
    const struct {
        int y, screen;
    } rows[] = {{279, CONTROLLER_MESSAGE}, {309, CONTROLLER_INSTRUCTIONS}, {339, CONTROLLER_OPTIONS}};
    for (const auto& row : rows) {
        TapKey(SDLK_ESCAPE);
        Frames(2);
        ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_INGAME_MENU);
        Click(400, row.y);
        Frames(2);
        ASSERT_EQ(CController::GetCurrentId(), row.screen);
        EXPECT_TRUE(IsMousePointerHidden()) << "row at y " << row.y;
        TapKey(SDLK_ESCAPE);  // back to the menu
        Frames(2);
        TapKey(SDLK_ESCAPE);  // resume
        Frames(2);
        ASSERT_EQ(CController::GetCurrent(), game.get());
    }
}

TEST_F(PlayScreenTest, ALevelTheWorldCannotPlayIsRefusedWithAMessage) {
    const struct {
        const char* what;
        uint32_t code;
        int x;
    } cases[] = {
        {"no entrance tube", NONE, 2},  // the entrance taken away
        {"two entrance tubes (two heroes)", DEVICE_TUBE_START, 8},
        {"two exit tubes (the world knows one)", DEVICE_TUBE_END, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CLevel level = WalkLevel();
        level.SetTile(c.code, c.x, 22);
        game.reset();
        game.reset(new CControllerGame(&level, false, false, false));
        root.OpenChild(game.get());
        Frames(2);
        EXPECT_EQ(game->GetHero(), nullptr);
        ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
        TapKey(SDLK_RETURN);
        Frames(3);
        EXPECT_EQ(CController::GetCurrent(), &root);
    }
}

TEST_F(PlayScreenTest, AnAbandonedRecordingKeepsTheLevelsEarlierSolution) {
    CLevel level = WalkLevel();
    level.AddReplayKey(60, 275, false);
    level.SetSolutionRecorded();
    Open(&level, true, false, true);
    EXPECT_TRUE(level.GetSolution().empty()) << "a recording starts from nothing";
    PushKey(true, SDLK_RIGHT);
    Frames(20);
    PushKey(false, SDLK_RIGHT);
    Frames(2);
    // The menu button ends an editor test.
    game->GUICallback(CControllerGame::BUTTON_MENU, 0, false);
    Frames(2);
    ASSERT_EQ(CController::GetCurrent(), &root);
    game.reset();
    ASSERT_EQ(level.GetSolution().size(), 1u);
    EXPECT_EQ(level.GetSolution()[0].frame, 60);
    EXPECT_TRUE(level.IsSolutionRecorded());
}

}  // namespace
