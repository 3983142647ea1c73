// The profile screen opened from the main menu's "Change player": the list by
// name, choosing, deleting, and what happens when the profile cannot be saved.
#include <sys/stat.h>

#include <memory>
#include <string>

#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiListbox.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerProfiles.h"
#include "tests/screens/ScreenFixture.h"

namespace {

class ProfilesScreenTest : public ScreensTest {
protected:
    void SetUp() override {
        ScreensTest::SetUp();
        profile = g_world->profile.get();
        ASSERT_TRUE(profile->ResetProfiles());
        menu = std::make_unique<CControllerMain>();
        menu->Activate(nullptr);
        Frame();
    }
    void TearDown() override {
        menu.reset();
        ScreensTest::TearDown();
    }
    // Clicks "Change player" and runs the screen's first frame.
    CControllerProfiles* Open() {
        menu->GUICallback(CControllerMain::BUTTON_PROFILE, 0, false);
        Frame();
        return dynamic_cast<CControllerProfiles*>(CController::GetCurrent());
    }
    std::vector<std::string> Rows(CGuiListbox* list) const {
        std::vector<std::string> rows;
        for (int r = 0; r < list->GetRowCount(); ++r) rows.push_back(list->GetCell(r, 0));
        return rows;
    }
    // Presses and releases a key, then runs two frames.
    static void Key(SDLKey sym) {
        PushKey(true, sym);
        PushKey(false, sym);
        Frame();
        Frame();
    }
    // Confirms (okay) or answers no to the open message box.
    static void Answer(CControllerMessage* box, bool okay) {
        ASSERT_NE(box, nullptr);
        box->GUICallback(okay ? CControllerMessage::BUTTON_OKAY : CControllerMessage::BUTTON_CANCEL, 0, false);
        Frame();
        Frame();
    }
    int InfoCurrent() const {
        const std::vector<uint8_t> b = ReadFileBytes(profile->InfoFileName());
        return b.size() >= 30 ? static_cast<int>(b[26] | (b[27] << 8) | (b[28] << 16) | (b[29] << 24)) : -99;
    }

    CProfile* profile = nullptr;
    std::unique_ptr<CControllerMain> menu;
};

TEST_F(ProfilesScreenTest, PlayersAreListedByNameAndChoosingOneChangesTheCurrentPlayer) {
    ASSERT_TRUE(profile->CreateProfile("red"));
    ASSERT_TRUE(profile->CreateProfile("blue"));
    ASSERT_TRUE(profile->CreateProfile("Red"));
    CControllerProfiles* screen = Open();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
    EXPECT_TRUE(CRender::IsSwapped());  // over the frozen menu
    CGuiListbox* list = screen->GetList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"blue", "PLAYER 1", "red", "Red"}));
    EXPECT_EQ(list->GetSelectedRowId(), profile->GetProfileNumber("Red"));
    EXPECT_EQ(screen->GetSelectedNumber(), profile->GetProfileNumber("Red"));

    // Escape does not leave the screen.
    Key(SDLK_ESCAPE);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);

    // Home, then Return: the default button chooses the first row.
    Key(SDLK_HOME);
    EXPECT_EQ(screen->GetSelectedNumber(), profile->GetProfileNumber("blue"));
    Key(SDLK_RETURN);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_STREQ(profile->GetProfileName(-1), "blue");
    EXPECT_EQ(InfoCurrent(), profile->GetProfileNumber("blue"));
    EXPECT_FALSE(CRender::IsSwapped());
    EXPECT_FALSE(menu->GetButton(CControllerMain::BUTTON_PROFILE)->GetBaseSprite()->IsHidden());

    // A double click on a row chooses it too.
    screen = Open();
    ASSERT_NE(screen, nullptr);
    screen->GetList()->SelectRowByIndex(2);
    screen->GetList()->ActivateSelected(true);
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_STREQ(profile->GetProfileName(-1), "red");
}

TEST_F(ProfilesScreenTest, DeletingAsksFirstAndTheListNeverEmpties) {
    ASSERT_TRUE(profile->CreateProfile("Anna"));
    ASSERT_TRUE(profile->CreateProfile("Bert"));
    CControllerProfiles* screen = Open();
    ASSERT_NE(screen, nullptr);
    screen->GUICallback(CControllerProfiles::BUTTON_DELETE, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    EXPECT_FALSE(screen->AreSpritesBuilt());
    Answer(screen->GetMessage(), false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
    EXPECT_EQ(profile->GetProfileCount(), 3);
    EXPECT_EQ(screen->GetList()->GetRowCount(), 3);

    // Deleting the current player makes the byte-wise first one current,
    // and the rebuilt list selects it.
    screen->GUICallback(CControllerProfiles::BUTTON_DELETE, 0, false);
    Answer(screen->GetMessage(), true);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
    EXPECT_EQ(profile->GetProfileCount(), 2);
    EXPECT_STREQ(profile->GetProfileName(-1), "Anna");
    EXPECT_EQ(Rows(screen->GetList()), (std::vector<std::string>{"Anna", "PLAYER 1"}));
    EXPECT_EQ(screen->GetList()->GetSelectedRowId(), profile->GetProfileNumber("Anna"));

    // Another row is deleted by choosing it first.
    Key(SDLK_DOWN);
    EXPECT_EQ(screen->GetSelectedNumber(), profile->GetProfileNumber("PLAYER 1"));
    screen->GUICallback(CControllerProfiles::BUTTON_DELETE, 0, false);
    Answer(screen->GetMessage(), true);
    EXPECT_EQ(Rows(screen->GetList()), (std::vector<std::string>{"Anna"}));
    EXPECT_STREQ(profile->GetProfileName(-1), "Anna");

    // The last player gives way to a fresh "PLAYER 1", never to an empty list.
    const int annaNumber = profile->GetProfileNumber("Anna");
    screen->GUICallback(CControllerProfiles::BUTTON_DELETE, 0, false);
    Answer(screen->GetMessage(), true);
    EXPECT_EQ(Rows(screen->GetList()), (std::vector<std::string>{"PLAYER 1"}));
    EXPECT_GT(profile->GetCurrentProfile(), annaNumber);
    EXPECT_EQ(InfoCurrent(), profile->GetCurrentProfile());
}

TEST_F(ProfilesScreenTest, ChoosingAnotherPlayerWhileTheProfileCannotBeSavedIsRefusedAndTold) {
    ASSERT_TRUE(profile->CreateProfile("Cara"));
    profile->SetLevelSteps(33, 0, 0);
    const std::string blocker = profile->ProfileFileName(profile->GetCurrentProfile()) + ".tmp";
    ASSERT_EQ(mkdir(blocker.c_str(), 0755), 0);
    CControllerProfiles* screen = Open();
    ASSERT_NE(screen, nullptr);
    screen->GetList()->SelectRowById(profile->GetProfileNumber("PLAYER 1"));
    screen->GUICallback(CControllerProfiles::BUTTON_SELECT, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    EXPECT_STREQ(profile->GetProfileName(-1), "Cara");
    Answer(screen->GetMessage(), true);
    // The screen stays, and so does the unsaved progress.
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
    EXPECT_EQ(profile->GetLevelSteps(0, 0, false), 33);
    EXPECT_FALSE(profile->TakeSaveFailureNotice());

    ASSERT_EQ(rmdir(blocker.c_str()), 0);
    screen->GetList()->SelectRowById(profile->GetProfileNumber("PLAYER 1"));
    screen->GUICallback(CControllerProfiles::BUTTON_SELECT, 0, false);
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_STREQ(profile->GetProfileName(-1), "PLAYER 1");
    ASSERT_TRUE(profile->LoadProfile("Cara"));
    EXPECT_EQ(profile->GetLevelSteps(0, 0, false), 33);
}

}  // namespace
