// The level manager opened from the main menu: the real level files of the
// levels folder in four orders, refused files, removing, resetting the
// records, held keys, and the hand-over to a play screen.
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiListbox.h"
#include "gui/SaveFailureNotice.h"
#include "platform/Platform.h"
#include "players/CProfile.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerManager.h"
#include "tests/screens/ScreenTest.h"
#include "tests/support/TestSupport.h"
#include "world/CLevel.h"

namespace {

// Stands in for the play screen: it closes when told to.
class FakeGame : public CController {
public:
    FakeGame() { id = CONTROLLER_GAME; }
    void InputKey(bool, int) override {}
    void Pump() override { PollInput(); }
};

CLevel* g_playedLevel = nullptr;
std::unique_ptr<CController> MakeFakeGame(CLevel* level) {
    g_playedLevel = level;
    return std::make_unique<FakeGame>();
}

const std::string kLongName = "a_level_file_name_far_longer_than_sixteen_characters";

class ManagerScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        profile = &Profile();
        ASSERT_TRUE(profile->ResetProfiles());
        // An empty levels folder for every test.
        std::vector<PlatformDirEntry> files;
        PlatformListDir(GetLevelsDir(), &files);
        for (const PlatformDirEntry& f : files) RemoveTree(std::string(GetLevelsDir()) + f.name);
        CControllerManager::SetGameScreenFactory(nullptr);
        g_playedLevel = nullptr;
    }
    void TearDown() override {
        menu.reset();
        CControllerManager::SetGameScreenFactory(nullptr);
        ScreenTest::TearDown();
    }
    static void RemoveTree(const std::string& path) {
        if (PlatformIsDirectory(path)) {
            std::vector<PlatformDirEntry> files;
            PlatformListDir(path, &files);
            for (const PlatformDirEntry& f : files) RemoveTree(path + "/" + f.name);
            rmdir(path.c_str());
        } else {
            remove(path.c_str());
        }
    }
    static std::string Path(const std::string& name) { return std::string(GetLevelsDir()) + name + ".lvl"; }
    // A level file with an entrance (unless told otherwise), dated when.
    static void WriteLevel(const std::string& name, const std::string& heading, time_t when, bool entrance = true) {
        CLevel level;
        if (entrance) level.SetTile(DEVICE_TUBE_START, 2, 20);
        level.SetTile(DEVICE_TUBE_END, 28, 20);
        level.SetTile(TERRAIN_GRASS, 2, 21);
        level.SetHeadingText(heading.c_str());
        ASSERT_TRUE(level.SaveToPath(Path(name)));
        SetTime(Path(name), when);
    }
    static void SetTime(const std::string& path, time_t when) {
        struct utimbuf t = {when, when};
        ASSERT_EQ(utime(path.c_str(), &t), 0);
    }
    // The usual folder: four good levels, a damaged one, one without an
    // entrance, and files that are not level files at all.
    static void WriteFolder() {
        WriteLevel("alpha", "Zebra Crossing", 1200000000);
        WriteLevel("beta", "apple pie", 1300000000);
        WriteLevel(kLongName, "Middle Ground", 1250000000);
        WriteLevel("gamma", "APPLE PIE", 1250000000);  // same date and title as others
        ASSERT_TRUE(WriteFileText(Path("broken"), "this is not a level"));
        SetTime(Path("broken"), 1100000000);
        WriteLevel("notube", "Nowhere To Start", 1400000000, false);
        ASSERT_TRUE(WriteFileText(std::string(GetLevelsDir()) + "readme.txt", "x"));
        ASSERT_TRUE(WriteFileText(std::string(GetLevelsDir()) + "old.lvl.bak", "x"));
        ASSERT_TRUE(WriteFileText(Path("alpha") + ".tmp", "x"));  // a save broken off
        ASSERT_EQ(mkdir((std::string(GetLevelsDir()) + "folder.lvl").c_str(), 0755), 0);
        // A pipe is no level file: the list goes on without it.
        ASSERT_EQ(mkfifo((std::string(GetLevelsDir()) + "pipe.lvl").c_str(), 0644), 0);
    }
    CControllerManager* Open() {
        menu = std::make_unique<CControllerMain>();
        menu->Activate(nullptr);
        Frame();
        menu->GUICallback(CControllerMain::BUTTON_MANAGER, 0, false);
        Frame();
        return dynamic_cast<CControllerManager*>(CController::GetCurrent());
    }
    static std::string FileOfRow(CControllerManager* m, CGuiListbox* list, int row) {
        return m->GetEntries()[static_cast<size_t>(list->GetRowId(row))].fileName;
    }
    static bool Exists(const std::string& path) { return PlatformFileExists(path); }

    CProfile* profile = nullptr;
    std::unique_ptr<CControllerMain> menu;
};

TEST_F(ManagerScreenTest, LevelFilesAreListedInFourOrdersWithDamagedOnesRefused) {
    WriteFolder();
    CControllerManager* m = Open();
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER);
    ASSERT_EQ(m->GetEntries().size(), 6u);
    EXPECT_EQ(m->GetSort(), CControllerManager::SORT_TITLE_UP);

    // Titles regardless of case; equal titles in the order the files came
    // (by file name); a file that cannot be read goes by its file name.
    const std::vector<std::string> byTitle = {"apple pie", "APPLE PIE",        "broken",
                                              "Middle Ground", "Nowhere To Start", "Zebra Crossing"};
    EXPECT_EQ(FirstCells(m->GetList(CControllerManager::SORT_TITLE_UP)), byTitle);
    EXPECT_EQ(FirstCells(m->GetList(CControllerManager::SORT_TITLE_DOWN)),
              std::vector<std::string>(byTitle.rbegin(), byTitle.rend()));
    CGuiListbox* byDate = m->GetList(CControllerManager::SORT_DATE_UP);
    std::vector<std::string> files;
    for (int r = 0; r < byDate->GetRowCount(); ++r) files.push_back(FileOfRow(m, byDate, r));
    EXPECT_EQ(files, (std::vector<std::string>{"broken", "alpha", kLongName, "gamma", "beta", "notube"}));
    EXPECT_EQ(FileOfRow(m, m->GetList(CControllerManager::SORT_DATE_DOWN), 0), "notube");

    // The second column: the date, or why the file is refused.
    CGuiListbox* shown = m->GetShownList();
    EXPECT_FALSE(shown->IsHidden());
    EXPECT_TRUE(m->GetList(CControllerManager::SORT_DATE_UP)->IsHidden());
    EXPECT_EQ(shown->GetCell(0, 1), "2011-03-13");
    EXPECT_EQ(shown->GetCell(2, 1), "damaged");
    EXPECT_EQ(shown->GetCell(4, 1), "no tube");
    const auto& entries = m->GetEntries();
    for (const auto& e : entries) {
        if (e.fileName == "broken") {
            EXPECT_EQ(e.refusal, CControllerManager::LEVEL_DAMAGED);
        }
        if (e.fileName == "notube") {
            EXPECT_EQ(e.refusal, CControllerManager::LEVEL_NO_ENTRANCE);
        }
        if (e.fileName == kLongName) {
            EXPECT_EQ(e.refusal, CControllerManager::LEVEL_PLAYABLE);
            EXPECT_EQ(e.title, "Middle Ground");
        }
    }
    // The first row's details are shown at once.
    EXPECT_EQ(m->GetShownEntry(), shown->GetRowId(0));
    EXPECT_FALSE(m->GetDetailSprite(CControllerManager::DETAIL_NAME)->IsHidden());

    // The sort buttons stand under the list's two columns, flush with its
    // edges; play and remove share the middle of the buttons below them; the
    // details are a form, every label ending at one x, every value starting
    // at one x.
    auto button = [m](int id) { return m->GetButton(id); };
    const SDL_Rect plate = OpaqueBox("levelmanager_button_namebase.png");
    EXPECT_EQ(button(CControllerManager::BUTTON_SORT_TITLE)->GetX() + plate.x, shown->GetX());
    EXPECT_EQ(button(CControllerManager::BUTTON_SORT_DATE)->GetX() + plate.x + plate.w,
              shown->GetX() + OpaqueBox("levelmanager_listbox.jpg").w);
    EXPECT_NEAR((button(CControllerManager::BUTTON_PLAY)->GetCentreX() +
                 button(CControllerManager::BUTTON_REMOVE)->GetCentreX()) / 2.0,
                button(CControllerManager::BUTTON_RESET)->GetCentreX(), 1);
    Frame();
    const int valueX = m->GetDetailSprite(CControllerManager::DETAIL_FILE)->GetX(false);
    auto labelRight = [m, valueX](int detail) {
        const int y = m->GetDetailSprite(detail)->GetY(false);
        const SDL_Rect label = InkSpan(455, y, valueX, y + 25);
        return label.x + label.w;
    };
    for (int d : {CControllerManager::DETAIL_DATE, CControllerManager::DETAIL_PLAYED,
                  CControllerManager::DETAIL_COMPLETED}) {
        EXPECT_EQ(m->GetDetailSprite(d)->GetX(false), valueX) << d;
        EXPECT_NEAR(labelRight(d), labelRight(CControllerManager::DETAIL_FILE), 1) << d;
    }

    // Without a play screen the play button is inert; a refused level says
    // why when played all the same.
    EXPECT_TRUE(m->GetButton(CControllerManager::BUTTON_PLAY)->IsDisabled());
    shown->SelectRowByIndex(2);
    shown->ActivateSelected(true);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    Answer(m->GetMessage(), true);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER);
    EXPECT_FALSE(shown->IsHidden());
    EXPECT_FALSE(CRender::IsSwapped());
}

TEST_F(ManagerScreenTest, SortButtonsToggleAndKeepTheSelectedLevel) {
    WriteFolder();
    CTempDir dir;  // a parameter file with a page of more levels
    ASSERT_TRUE(WriteFileText(dir.File("params.dat"), "MOREGAMES_URL http://example.invalid/\nUSE_MORELEVELS 1\n"));
    LoadParameters(dir.File("params.dat").c_str());
    CControllerManager* m = Open();
    LoadParameters();
    ASSERT_NE(m, nullptr);
    m->GetShownList()->SelectRowByIndex(3);  // "Middle Ground"
    const int entry = m->GetShownList()->GetSelectedRowId();
    // The first press of the date button: newest first; the second: oldest.
    m->GUICallback(CControllerManager::BUTTON_SORT_DATE, 0, false);
    EXPECT_EQ(m->GetSort(), CControllerManager::SORT_DATE_DOWN);
    m->GUICallback(CControllerManager::BUTTON_SORT_DATE, 0, false);
    EXPECT_EQ(m->GetSort(), CControllerManager::SORT_DATE_UP);
    EXPECT_EQ(m->GetShownList()->GetSelectedRowId(), entry);
    EXPECT_EQ(m->GetShownEntry(), entry);
    // From a date order the title button sorts A to Z, then Z to A.
    m->GUICallback(CControllerManager::BUTTON_SORT_TITLE, 0, false);
    EXPECT_EQ(m->GetSort(), CControllerManager::SORT_TITLE_UP);
    m->GUICallback(CControllerManager::BUTTON_SORT_TITLE, 0, false);
    EXPECT_EQ(m->GetSort(), CControllerManager::SORT_TITLE_DOWN);
    EXPECT_EQ(m->GetShownList()->GetSelectedRowId(), entry);
    for (int s = 0; s < CControllerManager::SORT_COUNT; ++s)
        EXPECT_EQ(m->GetList(s)->IsHidden(), s != m->GetSort()) << s;

    // More levels asks first; no keeps the game running on this screen.
    m->GUICallback(CControllerManager::BUTTON_MORE_LEVELS, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    EXPECT_EQ(m->GetPendingAction(), CControllerManager::PENDING_MORE_LEVELS);
    Answer(m->GetMessage(), false);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER);
    EXPECT_TRUE(CController::IsRunning());
    EXPECT_EQ(m->GetResult(), 0);
    // The main-menu button closes the manager; the menu takes it back.
    m->GUICallback(CControllerManager::BUTTON_MAIN_MENU, 0, false);
    Frame();
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_TRUE(menu->IsLoaded());
}

TEST_F(ManagerScreenTest, RemovingDeletesTheFileAndItsRowOnlyWhenTheDeleteWorked) {
    WriteFolder();
    // The long name's first sixteen characters name another file.
    const std::string cut = kLongName.substr(0, CLevel::kFileNameMax);
    WriteLevel(cut, "Zulu", 1200000000);
    CControllerManager* m = Open();
    ASSERT_NE(m, nullptr);
    CGuiListbox* shown = m->GetShownList();
    shown->SelectRowByIndex(3);  // the long file name
    ASSERT_EQ(FileOfRow(m, shown, 3), kLongName);

    // Answering no keeps everything.
    m->GUICallback(CControllerManager::BUTTON_REMOVE, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    Answer(m->GetMessage(), false);
    EXPECT_TRUE(Exists(Path(kLongName)));
    EXPECT_EQ(shown->GetRowCount(), 7);

    m->GUICallback(CControllerManager::BUTTON_REMOVE, 0, false);
    Answer(m->GetMessage(), true);
    EXPECT_FALSE(Exists(Path(kLongName)));
    EXPECT_TRUE(Exists(Path(cut)));
    for (int s = 0; s < CControllerManager::SORT_COUNT; ++s) EXPECT_EQ(m->GetList(s)->GetRowCount(), 6) << s;
    EXPECT_EQ(FileOfRow(m, shown, shown->GetSelectedIndex()), "notube");  // the next row took its place
    EXPECT_EQ(m->GetShownEntry(), shown->GetSelectedRowId());
    for (const char* other : {"alpha", "beta", "gamma", "broken", "notube"}) EXPECT_TRUE(Exists(Path(other))) << other;

    // A file that cannot be deleted stays listed, and the player is told
    // which one, why and what helps.
    shown->SelectRowByIndex(0);
    const std::string stuck = FileOfRow(m, shown, 0);
    ASSERT_EQ(remove(Path(stuck).c_str()), 0);
    ASSERT_EQ(mkdir(Path(stuck).c_str(), 0755), 0);
    ASSERT_TRUE(WriteFileText(Path(stuck) + "/keep", "x"));  // a folder with something in it
    m->GUICallback(CControllerManager::BUTTON_REMOVE, 0, false);
    Answer(m->GetMessage(), true);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    EXPECT_EQ(m->GetMessage()->GetBodyText(), AwayFileText(Path(stuck), strerror(ENOTEMPTY)));
    EXPECT_EQ(m->GetMessage()->GetAdviceId(), kAdviceMoveFolder);
    Answer(m->GetMessage(), true);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER);
    EXPECT_EQ(shown->GetRowCount(), 6);
    EXPECT_EQ(FileOfRow(m, shown, shown->GetSelectedIndex()), stuck);
}

TEST_F(ManagerScreenTest, RemovingTheLastLevelEmptiesTheListAndHidesTheDetails) {
    WriteLevel("only", "The Only One", 1200000000);
    CControllerManager* m = Open();
    ASSERT_NE(m, nullptr);
    EXPECT_FALSE(m->GetDetailSprite(CControllerManager::DETAIL_FILE)->IsHidden());
    m->GUICallback(CControllerManager::BUTTON_REMOVE, 0, false);
    Answer(m->GetMessage(), true);
    EXPECT_FALSE(Exists(Path("only")));
    EXPECT_EQ(m->GetShownList()->GetRowCount(), 0);
    for (int i = 0; i < CControllerManager::DETAIL_COUNT; ++i) EXPECT_TRUE(m->GetDetailSprite(i)->IsHidden()) << i;
    // Nothing left to remove or play: no question opens.
    m->GUICallback(CControllerManager::BUTTON_REMOVE, 0, false);
    PushKey(true, SDLK_p);
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER);
}

TEST_F(ManagerScreenTest, ResetClearsTheRecordsOfEveryExtraLevel) {
    WriteFolder();
    ASSERT_TRUE(profile->SetLevelRecordAll("alpha", 1, 1, 40));
    ASSERT_TRUE(profile->SetLevelRecordAll("beta", 1, 0, 0));
    CControllerManager* m = Open();
    ASSERT_NE(m, nullptr);
    m->GUICallback(CControllerManager::BUTTON_RESET, 0, false);
    Answer(m->GetMessage(), false);
    EXPECT_EQ(profile->GetLevelRecords().size(), 2u);
    m->GUICallback(CControllerManager::BUTTON_RESET, 0, false);
    Answer(m->GetMessage(), true);
    EXPECT_TRUE(profile->GetLevelRecords().empty());
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER);
    EXPECT_FALSE(m->GetDetailSprite(CControllerManager::DETAIL_PLAYED)->IsHidden());

    // A reset whose save fails tells the player once.
    ASSERT_TRUE(profile->SetLevelRecordAll("alpha", 1, 1, 40));
    const std::string blocker = profile->ProfileFileName(profile->GetCurrentProfile()) + ".tmp";
    ASSERT_EQ(mkdir(blocker.c_str(), 0755), 0);
    m->GUICallback(CControllerManager::BUTTON_RESET, 0, false);
    Answer(m->GetMessage(), true);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    Answer(m->GetMessage(), true);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER);
    m->GUICallback(CControllerManager::BUTTON_RESET, 0, false);
    Answer(m->GetMessage(), true);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER);  // told already
    ASSERT_EQ(rmdir(blocker.c_str()), 0);
}

TEST_F(ManagerScreenTest, HeldDownKeyMovesAtOnceThenAfterFiveFramesThenEverySecondFrame) {
    for (int i = 0; i < 30; ++i) WriteLevel("level" + std::to_string(100 + i), "Level " + std::to_string(100 + i),
                                            1200000000 + i);
    CControllerManager* m = Open();
    ASSERT_NE(m, nullptr);
    CGuiListbox* shown = m->GetShownList();
    int first = -1;
    EXPECT_EQ(MovesWhileDownHeld(shown, &first), (std::vector<int>{5, 7, 9, 11}));
    EXPECT_EQ(first, 1);
    PushKey(false, SDLK_DOWN);
    Frame();
    const int stopped = shown->GetSelectedIndex();
    for (int f = 0; f < 6; ++f) Frame();
    EXPECT_EQ(shown->GetSelectedIndex(), stopped);
    EXPECT_EQ(m->GetHoldCount(), 0);
    // Held as a question opens, released over it: then the list stands still.
    PushKey(true, SDLK_DOWN);
    Frame();
    m->GUICallback(CControllerManager::BUTTON_RESET, 0, false);
    PushKey(false, SDLK_DOWN);
    Answer(m->GetMessage(), false);
    const int held = shown->GetSelectedIndex();
    for (int f = 0; f < 8; ++f) Frame();
    EXPECT_EQ(shown->GetSelectedIndex(), held);
    // Page down and End, and Escape back to the main menu.
    PushKey(true, SDLK_END);
    Frame();
    EXPECT_EQ(shown->GetSelectedIndex(), 29);
    EXPECT_EQ(shown->GetTopRow(), 30 - 22);
    PushKey(true, SDLK_ESCAPE);
    Frame();
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_TRUE(menu->IsLoaded());
}

TEST_F(ManagerScreenTest, PlayingHandsTheLoadedLevelToThePlayScreenAndTakesItBack) {
    WriteFolder();
    CControllerManager::SetGameScreenFactory(MakeFakeGame);
    CControllerManager* m = Open();
    ASSERT_NE(m, nullptr);
    EXPECT_FALSE(m->GetButton(CControllerManager::BUTTON_PLAY)->IsDisabled());
    CGuiListbox* shown = m->GetShownList();
    shown->SelectRowByIndex(3);  // the long file name
    PushKey(true, SDLK_p);
    Frame();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_GAME);
    ASSERT_NE(g_playedLevel, nullptr);
    EXPECT_EQ(m->GetLevel(), g_playedLevel);
    EXPECT_STREQ(g_playedLevel->GetHeadingText(), "Middle Ground");
    EXPECT_EQ(g_playedLevel->GetTile(2, 20), static_cast<uint32_t>(DEVICE_TUBE_START));
    EXPECT_EQ(m->GetButton(CControllerManager::BUTTON_PLAY), nullptr);  // the manager's sprites are down
    EXPECT_TRUE(shown->IsHidden());

    ASSERT_TRUE(profile->SetLevelRecordAll(kLongName, 1, 1, 12));
    m->GetGame()->SetResult(CController::kCloseBack);
    Frame();
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER);
    EXPECT_EQ(m->GetGame(), nullptr);
    EXPECT_EQ(m->GetLevel(), nullptr);
    EXPECT_FALSE(shown->IsHidden());
    EXPECT_EQ(FileOfRow(m, shown, shown->GetSelectedIndex()), kLongName);
    EXPECT_FALSE(m->GetDetailSprite(CControllerManager::DETAIL_COMPLETED)->IsHidden());

    // A level that lost its entrance since it was listed is refused.
    WriteLevel(kLongName, "Middle Ground", 1250000000, false);
    m->GUICallback(CControllerManager::BUTTON_PLAY, 0, false);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    EXPECT_EQ(m->GetLevel(), nullptr);
    Answer(m->GetMessage(), true);
    EXPECT_EQ(m->GetEntries()[static_cast<size_t>(shown->GetSelectedRowId())].refusal,
              CControllerManager::LEVEL_NO_ENTRANCE);

    // A level deleted since it was listed is told as gone, not as damaged,
    // and its row goes.
    const int rows = shown->GetRowCount();
    ASSERT_EQ(remove(Path(kLongName).c_str()), 0);
    m->GUICallback(CControllerManager::BUTTON_PLAY, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    EXPECT_EQ(FontGetEntry(m->GetMessageBody()).text.Narrow(), "This level file is no longer in your levels folder.");
    Answer(m->GetMessage(), true);
    EXPECT_EQ(shown->GetRowCount(), rows - 1);
    for (int r = 0; r < shown->GetRowCount(); ++r) EXPECT_NE(FileOfRow(m, shown, r), kLongName);
}

TEST_F(ManagerScreenTest, EveryRefusedLevelIsMarkedAndSaysWhyInAMessageBoxWhenPlayed) {
    // One level for each reason the world cannot play it, and a good one.
    WriteLevel("good", "Good", 1200000000);
    WriteLevel("notube", "Nowhere To Start", 1200000000, false);
    ASSERT_TRUE(WriteFileText(Path("broken"), "this is not a level"));
    for (const char* name : {"twostarts", "twoexits"}) {
        CLevel level;
        level.SetTile(DEVICE_TUBE_START, 2, 20);
        level.SetTile(DEVICE_TUBE_END, 28, 20);
        level.SetTile(std::string(name) == "twostarts" ? DEVICE_TUBE_START : DEVICE_TUBE_END, 10, 20);
        level.SetHeadingText(name);
        ASSERT_TRUE(level.SaveToPath(Path(name)));
    }
    CControllerManager::SetGameScreenFactory(MakeFakeGame);
    CControllerManager* m = Open();
    ASSERT_NE(m, nullptr);
    CGuiListbox* shown = m->GetShownList();
    ASSERT_EQ(shown->GetRowCount(), 5);

    const struct {
        const char* file;
        int refusal;
        const char* mark;
        const char* says;
    } rows[] = {
        {"broken", CControllerManager::LEVEL_DAMAGED, "damaged", "This level file is damaged"},
        {"notube", CControllerManager::LEVEL_NO_ENTRANCE, "no tube", "no entrance tube"},
        {"twostarts", CControllerManager::LEVEL_ENTRANCES, "2 starts", "more than one entrance tube"},
        {"twoexits", CControllerManager::LEVEL_EXITS, "2 exits", "more than one exit tube"},
    };
    for (const auto& row : rows) {
        int index = -1;
        for (int r = 0; r < shown->GetRowCount(); ++r)
            if (FileOfRow(m, shown, r) == row.file) index = r;
        ASSERT_GE(index, 0) << row.file;
        EXPECT_EQ(m->GetEntries()[static_cast<size_t>(shown->GetRowId(index))].refusal, row.refusal) << row.file;
        EXPECT_EQ(shown->GetCell(index, 1), row.mark) << row.file;
        // Play, by the button and by a double click: a box says why, and no
        // play screen opens.
        for (bool button : {true, false}) {
            shown->SelectRowByIndex(index);
            if (button)
                m->GUICallback(CControllerManager::BUTTON_PLAY, 0, false);
            else
                shown->ActivateSelected(true);
            ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE) << row.file;
            EXPECT_EQ(FontGetEntry(m->GetMessageTitle()).text.Narrow(), "Level refused");
            EXPECT_NE(FontGetEntry(m->GetMessageBody()).text.Narrow().find(row.says), std::string::npos)
                << row.file << ": " << FontGetEntry(m->GetMessageBody()).text.Narrow();
            EXPECT_EQ(g_playedLevel, nullptr) << row.file;
            Answer(m->GetMessage(), true);
            ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MANAGER) << row.file;
        }
    }
    // The good level plays.
    for (int r = 0; r < shown->GetRowCount(); ++r)
        if (FileOfRow(m, shown, r) == "good") shown->SelectRowByIndex(r);
    m->GUICallback(CControllerManager::BUTTON_PLAY, 0, false);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_GAME);
    EXPECT_NE(g_playedLevel, nullptr);
}

// What a player typed (his name, a level's heading) and what the system
// named (a level's file name, in UTF-8) is drawn as it stands on the main
// menu, in the manager's list and panel, and in a message box that quotes
// it: no sign in it is markup and none leaves a style on for the next text;
// a byte of no UTF-8 character, or a character the font lacks, is a "?".
// The game's own texts keep their markup, and a level is played from the
// file its name's own bytes name.
TEST_F(ManagerScreenTest, TypedTextsAndFileNamesAreDrawnAsTheyStand) {
    const std::string player = "Al%bX%u%i%n%1";
    const std::string current = profile->GetProfileName(-1);
    ASSERT_TRUE(profile->RenameProfile(current.c_str(), player.c_str()));
    WriteLevel("pctname%s%n%6", "%s%n %x 100% ok %2", 1200000000);
    const std::string cafe = "caf\xC3\xA9";
    WriteLevel(cafe, "", 1300000000);  // no heading: it goes by its file name
    WriteLevel("bad\xFF\xE6\x97\xA5", "", 1400000000);
    CControllerManager::SetGameScreenFactory(MakeFakeGame);

    std::vector<std::vector<FontRunPlacement>> log;
    FontSetRenderLog(&log);
    CControllerManager* m = Open();
    ASSERT_NE(m, nullptr);
    Frame();  // the list paints its rows
    {
        // "The score server answered:%n%1" quoting what a server sent.
        CControllerMessage box(-1, 2336, false, "x%by%n1");
    }
    FontSetRenderLog(nullptr);
    EXPECT_EQ(FontGetStyle(), 0);

    // Every text drawn, as its lines, and whether a run of it was styled.
    struct Drawn {
        std::vector<std::u16string> lines;
        int style = 0;
    };
    std::vector<Drawn> texts;
    for (const std::vector<FontRunPlacement>& runs : log) {
        Drawn d;
        for (const FontRunPlacement& r : runs) {
            if (static_cast<size_t>(r.line) > d.lines.size()) d.lines.resize(static_cast<size_t>(r.line));
            d.lines[static_cast<size_t>(r.line) - 1] += r.text;
            d.style |= r.style;
        }
        texts.push_back(d);
    }
    // How many texts were drawn as exactly these lines (or as one line
    // holding `part`).
    auto countDrawn = [&](const std::vector<std::u16string>& lines, const std::u16string& part) {
        return std::count_if(texts.begin(), texts.end(), [&](const Drawn& d) {
            return part.empty() ? d.lines == lines
                                : d.lines.size() == 1 && d.lines[0].find(part) != std::u16string::npos;
        });
    };
    EXPECT_GE(countDrawn({}, u"Al%bX%u%i%n%1"), 1) << "the greeting";
    EXPECT_GE(countDrawn({u"%s%n %x 100% ok %2"}, u""), 2) << "the heading in the list and the panel";
    EXPECT_GE(countDrawn({u"pctname%s%n%6"}, u""), 1) << "the file name in the panel";
    EXPECT_GE(countDrawn({u"caf\u00E9"}, u""), 1) << "a UTF-8 name in the list";
    EXPECT_GE(countDrawn({u"bad??"}, u""), 1) << "a byte of no UTF-8 and a character the font lacks";
    EXPECT_EQ(countDrawn({u"The score server answered:", u"x%by%n1"}, u""), 1) << "the message box";
    // None of these screens' own texts is styled: a style could only have
    // been left on by a typed text drawn before.
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const Drawn& d) { return d.style != 0; }), 0);

    // The name drawn as "café" is the file that plays.
    CGuiListbox* list = m->GetShownList();
    const int row = list->FindRowByText(cafe.c_str());
    ASSERT_GE(row, 0);
    list->SelectRowByIndex(row);
    m->GUICallback(CControllerManager::BUTTON_PLAY, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_GAME);
    ASSERT_NE(g_playedLevel, nullptr);
    EXPECT_EQ(std::string(g_playedLevel->GetFileName()), cafe);
}

}  // namespace
