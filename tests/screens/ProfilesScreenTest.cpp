// The profile screen opened from the main menu's "Change player": the list by
// name, choosing, deleting, and what happens when the profile cannot be saved.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiListbox.h"
#include "gui/CGuiTextbox.h"
#include "gui/SaveFailureNotice.h"
#include "engine/Utilities.h"
#include "players/CProfile.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerProfileName.h"
#include "screens/CControllerProfiles.h"
#include "tests/screens/ScreenTest.h"
#include "tests/support/TestSupport.h"

namespace {

class ProfilesScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        profile = &Profile();
        ASSERT_TRUE(profile->ResetProfiles());
        menu = std::make_unique<CControllerMain>();
        menu->Activate(nullptr);
        Frame();
    }
    void TearDown() override {
        menu.reset();
        ScreenTest::TearDown();
    }
    // Clicks "Change player" and runs the screen's first frame.
    CControllerProfiles* Open() {
        menu->GUICallback(CControllerMain::BUTTON_PROFILE, 0, false);
        Frame();
        return dynamic_cast<CControllerProfiles*>(CController::GetCurrent());
    }
    // Presses and releases a key, then runs two frames.
    static void Key(SDLKey sym) {
        TapKey(sym);
        Frames(2);
    }
    // Types text into the open name dialog, a key at a time, and runs a frame.
    static void Type(const std::string& text) {
        TypeText(text.c_str());
        Frame();
    }
    // The names in the INFO file on disk, in its order.
    std::vector<std::string> InfoNames() const {
        const std::vector<uint8_t> b = ReadFileBytes(profile->InfoFileName());
        std::vector<std::string> names;
        for (size_t at = 34; at + 36 <= b.size(); at += 36)
            names.push_back(std::string(reinterpret_cast<const char*>(&b[at + 4])).substr(0, 16));
        return names;
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
    EXPECT_EQ(FirstCells(list), (std::vector<std::string>{"blue", "PLAYER 1", "red", "Red"}));
    EXPECT_EQ(list->GetSelectedRowId(), profile->GetProfileNumber("Red"));
    EXPECT_EQ(screen->GetSelectedNumber(), profile->GetProfileNumber("Red"));
    // The list's field and its arrows beside it are centred on the panel,
    // which stands in the middle of the screen.
    const SDL_Rect field = OpaqueBox("profile_select_listbox.png");
    const SDL_Rect arrow = OpaqueBox("profile_button_upbase.png");
    const CGuiButton* up = screen->GetButton(CControllerProfiles::BUTTON_UP);
    EXPECT_NEAR((list->GetX() + field.x + up->GetX() + arrow.x + arrow.w) / 2, 400, 1);
    // So are the title above them and the buttons below: the pair of select
    // and delete, rename and new player.
    Frame();
    const SDL_Rect title = InkSpan(288, 106, 512, 150);
    EXPECT_NEAR(title.x + title.w / 2.0, 400, 1.5);
    // The selected name stands well inside its highlight, clear of its edge.
    const SDL_Rect highlight = OpaqueBox("profile_select_selector.png");
    const int rowTop = list->GetY() + list->GetRowsTop() + list->GetRowHeight() * list->GetSelectedOnPage();
    const SDL_Rect name = InkSpan(list->GetX(), rowTop, list->GetX() + 100, rowTop + list->GetRowHeight());
    ASSERT_GT(name.w, 0);
    EXPECT_GE(name.x - (list->GetX() + highlight.x), 5);
    auto centre = [screen](int b) { return screen->GetButton(b)->GetCentreX(); };
    using P = CControllerProfiles;
    EXPECT_NEAR((centre(P::BUTTON_SELECT) + centre(P::BUTTON_DELETE)) / 2, 400, 1);
    EXPECT_NEAR(centre(P::BUTTON_RENAME), 400, 1);
    EXPECT_NEAR(centre(P::BUTTON_ADD), 400, 1);

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

// The list's keys are those of every list: a held arrow repeats.
TEST_F(ProfilesScreenTest, HeldDownKeyMovesAtOnceThenAfterFiveFramesThenEverySecondFrame) {
    for (char c = 'a'; c <= 'j'; ++c) ASSERT_TRUE(profile->CreateProfile(std::string(1, c).c_str()));
    CControllerProfiles* screen = Open();
    ASSERT_NE(screen, nullptr);
    Key(SDLK_HOME);
    int first = -1;
    EXPECT_EQ(MovesWhileDownHeld(screen->GetList(), &first), (std::vector<int>{5, 7, 9, 11}));
    EXPECT_EQ(first, 1);
    PushKey(false, SDLK_DOWN);
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
    EXPECT_EQ(FirstCells(screen->GetList()), (std::vector<std::string>{"Anna", "PLAYER 1"}));
    EXPECT_EQ(screen->GetList()->GetSelectedRowId(), profile->GetProfileNumber("Anna"));

    // Another row is deleted by choosing it first; the question names the
    // player it is about, since the list is not in view while it asks.
    Key(SDLK_DOWN);
    EXPECT_EQ(screen->GetSelectedNumber(), profile->GetProfileNumber("PLAYER 1"));
    screen->GUICallback(CControllerProfiles::BUTTON_DELETE, 0, false);
    ASSERT_NE(screen->GetMessage(), nullptr);
    EXPECT_EQ(screen->GetMessage()->GetBodyText(), "PLAYER 1");
    Answer(screen->GetMessage(), true);
    EXPECT_EQ(FirstCells(screen->GetList()), (std::vector<std::string>{"Anna"}));
    EXPECT_STREQ(profile->GetProfileName(-1), "Anna");

    // The last player gives way to a fresh "PLAYER 1", never to an empty list.
    const int annaNumber = profile->GetProfileNumber("Anna");
    screen->GUICallback(CControllerProfiles::BUTTON_DELETE, 0, false);
    Answer(screen->GetMessage(), true);
    EXPECT_EQ(FirstCells(screen->GetList()), (std::vector<std::string>{"PLAYER 1"}));
    EXPECT_GT(profile->GetCurrentProfile(), annaNumber);
    EXPECT_EQ(InfoCurrent(), profile->GetCurrentProfile());
}

// Choosing another player is refused, and the screen says why and what
// frees it: the current player's file cannot be written (the reason the
// folder gave); it is damaged and its copy cannot be written, or every name
// for a copy is taken (the names to clear); the chosen player's file, or
// the current one's (her drive unmounted while she plays), cannot be reached
// now (which file, and why), with what helps. The screen stays, and so
// does the current player's unsaved progress; the obstacle gone, the
// choice goes through.
TEST_F(ProfilesScreenTest, ChoosingAnotherPlayerThatCannotBeDoneIsRefusedAndToldWhy) {
    enum Row { NOT_WRITTEN, DAMAGED_NO_COPY, DAMAGED_NO_COPY_NAME, CHOSEN_UNREACHABLE, CURRENT_AWAY };
    for (const Row row : {NOT_WRITTEN, DAMAGED_NO_COPY, DAMAGED_NO_COPY_NAME, CHOSEN_UNREACHABLE, CURRENT_AWAY}) {
        SCOPED_TRACE(row);
        ASSERT_TRUE(profile->ResetProfiles());
        ASSERT_TRUE(profile->CreateProfile("Cara"));
        const std::string file = profile->ProfileFileName(profile->GetCurrentProfile());
        const std::string other = profile->ProfileFileName(profile->GetProfileNumber("PLAYER 1"));
        std::string obstacle = file + ".tmp";
        std::vector<std::string> copies;
        ProgressMessage told;
        told.title = kSaveFailureTitle;
        told.body = kSwitchRefusedBody;
        told.text = "Cara";
        told.text2 = strerror(EISDIR);
        told.advice = kAdviceMoveFolder;
        if (row == DAMAGED_NO_COPY || row == DAMAGED_NO_COPY_NAME) {
            std::vector<uint8_t> bytes = ReadFileBytes(file);
            bytes.resize(bytes.size() - 1);
            ASSERT_TRUE(WriteFileBytes(file, bytes));
            obstacle = file + ".damaged.tmp";
            told.body = kSwitchRefusedNoCopyBody;
            if (row == DAMAGED_NO_COPY_NAME) {
                for (int i = 1; i <= CProfileBase::kMaxDamagedCopies; ++i) {
                    copies.push_back(file + ".damaged" + (i == 1 ? "" : std::to_string(i)));
                    ASSERT_TRUE(WriteFileText(copies.back(), "an older copy"));
                }
                told.body = kSwitchRefusedNoNameBody;
                told.text2 = ShownPath(file + ".damaged");
                told.advice = kAdviceMoveCopies;
            }
        }
        if (row == CHOSEN_UNREACHABLE) {
            obstacle = other;
            ASSERT_EQ(rename(other.c_str(), (other + ".away").c_str()), 0);
            ASSERT_EQ(symlink((other + ".away").c_str(), other.c_str()), 0);
            ASSERT_EQ(rename((other + ".away").c_str(), (other + ".unmounted").c_str()), 0);
            told = ProgressMessage{kUnreachableTitle, kUnreachableBody, "PLAYER 1",
                                   ShownPath(other + ".away") + " (" + strerror(ENOENT) + ")", kAdviceBringBack};
        }
        const std::string drive = file + ".drive";
        if (row == CURRENT_AWAY) {
            // Her file on a drive through a link; the drive goes away.
            ASSERT_EQ(mkdir(drive.c_str(), 0755), 0);
            ASSERT_EQ(rename(file.c_str(), (drive + "/cara.dat").c_str()), 0);
            ASSERT_EQ(symlink((drive + "/cara.dat").c_str(), file.c_str()), 0);
            ASSERT_TRUE(profile->LoadProfile("Cara"));
            obstacle = drive + " (unmounted)";
            ASSERT_EQ(rename(drive.c_str(), obstacle.c_str()), 0);
            ASSERT_EQ(mkdir(drive.c_str(), 0755), 0);
            told.body = kSwitchRefusedAwayBody;
            told.text2 = AwayFileText(drive + "/cara.dat", strerror(ENOENT));
            told.advice = kAdviceBringBack;
        }
        if (row != DAMAGED_NO_COPY_NAME && row != CHOSEN_UNREACHABLE && row != CURRENT_AWAY) {
            ASSERT_EQ(mkdir(obstacle.c_str(), 0755), 0);
        }
        if (row != NOT_WRITTEN && row != CURRENT_AWAY) {
            // Read again: a damaged file is met, and told on the menu later.
            profile->LoadProfile("Cara");
            while (profile->TakeDamageNotice(nullptr)) {
            }
        }
        profile->SetLevelSteps(33, 0, 0);
        CControllerProfiles* screen = Open();
        ASSERT_NE(screen, nullptr);
        screen->GetList()->SelectRowById(profile->GetProfileNumber("PLAYER 1"));
        screen->GUICallback(CControllerProfiles::BUTTON_SELECT, 0, false);
        ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
        CControllerMessage* box = screen->GetMessage();
        EXPECT_EQ(box->GetTitleId(), told.title);
        EXPECT_EQ(box->GetBodyId(), told.body);
        EXPECT_EQ(box->GetBodyText(), told.text);
        EXPECT_EQ(box->GetBodyText2(), told.text2);
        EXPECT_EQ(box->GetAdviceId(), told.advice);
        EXPECT_STREQ(profile->GetProfileName(-1), "Cara");
        Answer(box, true);
        // The screen stays, and so does the unsaved progress.
        ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
        EXPECT_EQ(profile->GetLevelSteps(0, 0, false), 33);
        EXPECT_FALSE(profile->TakeSaveFailureNotice());

        if (row == CHOSEN_UNREACHABLE) {
            ASSERT_EQ(rename((other + ".unmounted").c_str(), (other + ".away").c_str()), 0);
        } else if (row == CURRENT_AWAY) {
            EXPECT_TRUE(FolderEntries(drive).empty());
            ASSERT_EQ(rmdir(drive.c_str()), 0);
            ASSERT_EQ(rename(obstacle.c_str(), drive.c_str()), 0);
        } else if (row == DAMAGED_NO_COPY_NAME) {
            ASSERT_EQ(remove(copies.back().c_str()), 0);
        } else {
            ASSERT_EQ(rmdir(obstacle.c_str()), 0);
        }
        screen->GetList()->SelectRowById(profile->GetProfileNumber("PLAYER 1"));
        screen->GUICallback(CControllerProfiles::BUTTON_SELECT, 0, false);
        Frame();
        EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
        EXPECT_STREQ(profile->GetProfileName(-1), "PLAYER 1");
        ASSERT_TRUE(profile->LoadProfile("Cara"));
        EXPECT_EQ(profile->GetLevelSteps(0, 0, false), 33);
        for (const std::string& copy : copies) remove(copy.c_str());
        remove((file + ".damaged").c_str());
        remove(other.c_str());
        remove((other + ".away").c_str());
        if (row == CURRENT_AWAY) {
            // Her file back in the data folder, where the next rows' are.
            ASSERT_EQ(remove(file.c_str()), 0);
            ASSERT_EQ(rename((drive + "/cara.dat").c_str(), file.c_str()), 0);
            ASSERT_EQ(rmdir(drive.c_str()), 0);
        }
        Frame();  // the menu takes its child back
    }
}

TEST_F(ProfilesScreenTest, AddingAndRenamingTakeATypedNameThatNoPlayerHasYet) {
    ASSERT_TRUE(profile->CreateProfile("Dora"));
    CControllerProfiles* screen = Open();
    ASSERT_NE(screen, nullptr);

    // The same name with the same letters is refused with a message.
    screen->GUICallback(CControllerProfiles::BUTTON_ADD, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_TEXT_ENTRY);
    ASSERT_NE(screen->GetNameDialog(), nullptr);
    EXPECT_STREQ(screen->GetNameDialog()->GetTextbox()->GetText(), "");
    // Its prompt, field and buttons are centred on its panel, in the
    // middle of the screen.
    Frame();
    const SDL_Rect prompt = InkSpan(289, 375, 511, 400);
    EXPECT_NEAR(prompt.x + prompt.w / 2.0, 400, 1.5);
    CControllerProfileName* dialog = screen->GetNameDialog();
    CSprite* field = dialog->GetTextbox()->GetTextSprite();
    EXPECT_NEAR(field->GetX(false) + field->GetWidth(true) / 2, 400, 1);
    EXPECT_NEAR((dialog->GetOkayButton()->GetCentreX() + dialog->GetCancelButton()->GetCentreX()) / 2, 400, 1);
    Type("Dora");
    EXPECT_STREQ(screen->GetNameDialog()->GetTextbox()->GetText(), "Dora");
    Key(SDLK_RETURN);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    EXPECT_EQ(screen->GetPendingAction(), CControllerProfiles::PENDING_NAME_TAKEN);
    Answer(screen->GetMessage(), true);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
    EXPECT_EQ(profile->GetProfileCount(), 2);

    // In other letters it is another name: the new player is made current.
    screen->GUICallback(CControllerProfiles::BUTTON_ADD, 0, false);
    Type("dora");
    Key(SDLK_RETURN);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
    EXPECT_STREQ(profile->GetProfileName(-1), "dora");
    EXPECT_EQ(FirstCells(screen->GetList()), (std::vector<std::string>{"Dora", "dora", "PLAYER 1"}));
    EXPECT_EQ(screen->GetList()->GetSelectedRowId(), profile->GetCurrentProfile());

    // Renaming keeps the number; a name is at most 15 characters.
    const int number = profile->GetCurrentProfile();
    screen->GUICallback(CControllerProfiles::BUTTON_RENAME, 0, false);
    Type("Emil with a very long name");
    Key(SDLK_RETURN);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
    EXPECT_EQ(profile->GetProfileNumber("Emil with a ver"), number);
    EXPECT_EQ(profile->GetCurrentProfile(), number);

    // Cancelling, or an empty name, changes nothing.
    screen->GUICallback(CControllerProfiles::BUTTON_ADD, 0, false);
    Type("Fritz");
    Key(SDLK_ESCAPE);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
    screen->GUICallback(CControllerProfiles::BUTTON_ADD, 0, false);
    Key(SDLK_RETURN);  // refused: the dialog stays open
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_TEXT_ENTRY);
    Key(SDLK_ESCAPE);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_PROFILES);
    EXPECT_EQ(profile->GetProfileCount(), 3);

    // Every change is in the INFO file already.
    EXPECT_EQ(InfoNames(), (std::vector<std::string>{"PLAYER 1", "Dora", "Emil with a ver"}));
    EXPECT_EQ(InfoCurrent(), number);
}

}  // namespace
