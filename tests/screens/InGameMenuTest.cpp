// The in-game menu on the real resources, opened over a stand-in play screen
// (itself over a map or the level manager, and a main menu) and driven by
// clicks and keys, in each
// of its three modes: the rows it shows, resume and the r and u keys, the
// solution behind the confirmation and the password, the rows that leave
// the level, and quitting.
#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <string>

#include "engine/CController.h"
#include "gui/CControllerInGame.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "players/CProfile.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/screens/ScreenTest.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CLevel.h"

namespace {

using Menu = CControllerInGame;

class InGameMenuTest : public ScreenTest {
protected:
    void TearDown() override {
        menu.reset();
        Profile().SetPassword("");
        Profile().SetDefaultKeys();
        ScreenTest::TearDown();
    }
    // Where a level of that mode was chosen: a single level in the manager,
    // the others on the map.
    RecordingOwner& Chooser(int mode) { return mode == Menu::MODE_SINGLE ? manager : map; }
    // A fresh menu of that mode over the main menu, the screen the level was
    // chosen on and the play screen, after its first frame.
    Menu* Open(int mode) {
        menu.reset();
        CController::ResetStack();
        main.Activate(nullptr);
        main.OpenChild(&Chooser(mode));
        Chooser(mode).OpenChild(&game);
        menu.reset(new Menu(mode, &level));
        game.OpenChild(menu.get());
        Frames(2);
        return menu.get();
    }
    void ClickRow(int row) {
        CGuiButton* b = menu->GetRow(row);
        ASSERT_NE(b, nullptr) << "row " << row;
        Click(b->GetCentreX(), b->GetCentreY());
        Frames(2);
    }
    // The rows shown, top to bottom, as "id@y".
    std::string Rows() const {
        std::string rows;
        for (int y = 0; y < 600; ++y)
            for (int id = 0; id < Menu::ROW_COUNT; ++id)
                if (menu->GetRow(id) && menu->GetRow(id)->GetY() == y)
                    rows += std::to_string(id) + "@" + std::to_string(y) + " ";
        return rows;
    }
    static CControllerMessage* Box() { return dynamic_cast<CControllerMessage*>(CController::GetCurrent()); }

    CLevel level = worldtest::WalkLevel(12);
    RecordingOwner main{CONTROLLER_MAIN};
    RecordingOwner map{CONTROLLER_MAP};
    RecordingOwner manager{CONTROLLER_MANAGER};
    RecordingOwner game{CONTROLLER_GAME};
    std::unique_ptr<Menu> menu;
};

TEST_F(InGameMenuTest, EachModeShowsItsRowsAndAnswersThePlayScreen) {
    level.AddReplayKey(10, 275, false);
    level.SetSolutionRecorded();
    Profile().SetPassword("Sesame");
    // The menu's r and u are its own letters, whatever the level's keys are.
    Profile().SetKeyBinding(KEYACTION_RESTART, SDLK_u);
    Profile().SetKeyBinding(KEYACTION_UNDO, SDLK_r);
    const struct {
        int mode;
        const char* rows;
        bool asksPassword;
        int leaveRow;  // back to where the level was chosen
    } modes[] = {
        {Menu::MODE_SET, "0@175 1@205 2@235 3@265 4@295 5@325 6@355 7@385 9@415 10@445 ", true, Menu::ROW_MAP},
        {Menu::MODE_TUTORIAL, "0@175 1@205 2@235 3@265 4@295 5@325 7@355 9@385 10@415 ", false, Menu::ROW_MAP},
        {Menu::MODE_SINGLE, "0@175 1@205 2@235 3@265 4@295 5@325 8@355 9@385 10@415 ", true, Menu::ROW_MANAGER},
    };
    for (const auto& m : modes) {
        SCOPED_TRACE("mode " + std::to_string(m.mode));
        EXPECT_EQ(Open(m.mode)->GetID(), CONTROLLER_INGAME_MENU);
        EXPECT_EQ(Rows(), m.rows);

        // Escape resumes; r restarts, u undoes; each closes the menu only.
        const struct {
            SDLKey key;
            int answer;
        } keys[] = {{SDLK_ESCAPE, Menu::ANSWER_RESUME}, {SDLK_r, Menu::ANSWER_RESTART}, {SDLK_u, Menu::ANSWER_UNDO}};
        for (const auto& k : keys) {
            Open(m.mode);
            TapKey(k.key);
            Frames(2);
            EXPECT_EQ(CController::GetCurrent(), &game) << "key " << k.key;
            EXPECT_EQ(menu->GetValue(), k.answer) << "key " << k.key;
        }

        // The solution, once confirmed: a tutorial plays it at once, other
        // levels ask for the password first; cancelling the prompt leaves
        // the menu open with its rows.
        Open(m.mode);
        ClickRow(Menu::ROW_SOLUTION);
        ASSERT_NE(Box(), nullptr);
        Answer(Box(), true);
        if (m.asksPassword) {
            ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PASSWORD);
            TapKey(SDLK_ESCAPE);
            Frames(2);
            ASSERT_EQ(CController::GetCurrent(), menu.get());
            EXPECT_EQ(Rows(), m.rows);
            ClickRow(Menu::ROW_SOLUTION);
            ASSERT_NE(Box(), nullptr);
            Answer(Box(), true);
            ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PASSWORD);
            TypeText("Sesame");
            TapKey(SDLK_RETURN);
            Frames(2);
        }
        EXPECT_EQ(CController::GetCurrent(), &game);
        EXPECT_EQ(menu->GetValue(), Menu::ANSWER_SHOW_SOLUTION);

        // Back to the map or the manager closes the play screen too; the
        // main menu closes that screen as well. Each screen closes at the
        // end of its own frame: read once every screen below has had one,
        // so a row that closes one screen too many ends elsewhere.
        const struct {
            int row;
            CController* lands;
        } leaves[] = {{m.leaveRow, &Chooser(m.mode)}, {Menu::ROW_MAIN, &main}};
        for (const auto& l : leaves) {
            Open(m.mode);
            ClickRow(l.row);
            Frames(4);
            EXPECT_EQ(CController::GetCurrent(), l.lands) << "row " << l.row << " ends on screen id "
                                                          << CController::GetCurrentId();
            EXPECT_TRUE(CController::IsRunning()) << "row " << l.row;
        }

        // Quit asks; declined, the menu stays; confirmed, the program ends.
        Open(m.mode);
        ClickRow(Menu::ROW_QUIT);
        ASSERT_NE(Box(), nullptr);
        Answer(Box(), false);
        ASSERT_EQ(CController::GetCurrent(), menu.get());
        EXPECT_EQ(Rows(), m.rows);
        ClickRow(Menu::ROW_QUIT);
        ASSERT_NE(Box(), nullptr);
        Answer(Box(), true);
        Frames(4);
        EXPECT_FALSE(CController::IsRunning());
    }
}

}  // namespace
