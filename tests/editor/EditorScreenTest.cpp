// The level editor on the real resources, driven by key and pointer events
// as the designer gives them: the palette, the checks before play, the
// questions before unsaved work is thrown away, the save and load dialogs,
// the help page, the tutorial-text box, and a level built from nothing that
// is tested, recorded, saved, loaded, played from the level manager and
// replayed by the level runner.
#include <gtest/gtest.h>

#include <SDL.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/CControllerEditor.h"
#include "editor/CControllerEditorHelp.h"
#include "editor/CControllerEditorLoad.h"
#include "editor/CControllerEditorPalette.h"
#include "editor/CControllerEditorSave.h"
#include "editor/CControllerEditorTutorial.h"
#include "editor/EditorRecovery.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Utilities.h"
#include "gui/CControllerGame.h"
#include "gui/CControllerInGame.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/SaveFailureNotice.h"
#include "gui/CGuiListbox.h"
#include "gui/CGuiTextbox.h"
#include "platform/Platform.h"
#include "players/CProfile.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerManager.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/screens/ScreenTest.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CElement.h"
#include "world/CLevel.h"

namespace {


int CellX(int column) { return 15 + 24 * column + 12; }
int CellY(int row) { return 15 + 24 * row + 12; }
int PaletteX(int column) { return CControllerEditorPalette::kGridX + CControllerEditorPalette::kCellW * column + 34; }
int PaletteY(int row) { return CControllerEditorPalette::kGridY + CControllerEditorPalette::kCellH * row + 25; }

std::string LevelPath(const std::string& name) { return std::string(GetLevelsDir()) + name + ".lvl"; }

std::unique_ptr<CController> OpenRealPlayScreen(CLevel* level) {
    return std::make_unique<CControllerGame>(level, false, false, false);
}

// What a command prints on its standard output.
std::string CommandOutput(const std::string& cmd) {
    std::string text;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return text;
    char buf[512];
    while (fgets(buf, sizeof buf, p)) text += buf;
    pclose(p);
    return text;
}

class EditorScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        CElement::SetProfile(&Profile());
        Profile().SetDefaultKeys();
        EmptyLevelsFolder();
        root.Activate(nullptr);
    }
    void TearDown() override {
        ForgetSignal();
        editor.reset();
        CElement::SetProfile(nullptr);
        ScreenTest::TearDown();
    }
    static void EmptyLevelsFolder() {
        std::vector<PlatformDirEntry> files;
        PlatformListDir(GetLevelsDir(), &files);
        for (const PlatformDirEntry& f : files) {
            const std::string path = std::string(GetLevelsDir()) + f.name;
            if (PlatformIsDirectory(path))
                rmdir(path.c_str());
            else
                remove(path.c_str());
        }
    }
    // Opens the editor from the menu's place; it starts with its palette.
    void Open() {
        editor.reset(new CControllerEditor());
        root.OpenChild(editor.get());
        Frame();
        ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_EDITOR_PALETTE);
        Frame();
    }
    // After a terminate signal: the next start, from an empty stack.
    static void ForgetSignal() {
        CProfile* input = CInput::GetInputProfile();
        CInput::Reset();
        CInput::SetInputProfile(input);
    }
    void Restart() {
        ForgetSignal();
        CController::ResetStack();
        root.Activate(nullptr);
    }
    // The professor under way to the right, then a terminate signal.
    void TerminateWhileWalkingRight() {
        Frames(60);
        PushKey(true, SDLK_RIGHT);
        Frames(5);
        EXPECT_EQ(raise(SIGTERM), 0);
        Frames(5);
    }
    // The main menu of the next start, once it has opened its first notice.
    std::unique_ptr<CControllerMain> MenuAtNextStart() {
        Restart();
        editor.reset();
        auto menu = std::make_unique<CControllerMain>();
        menu->Activate(nullptr);
        for (int i = 0; i < 10 && Current() != CONTROLLER_MESSAGE; ++i) Frame();
        return menu;
    }
    CEditorModel& Model() { return editor->GetModel(); }
    CLevel* Level() { return editor->GetModel().GetLevel(); }
    int Current() const { return CController::GetCurrentId(); }

    void Key(SDLKey key) {
        TapKey(key);
        Frame();
    }
    void Alt(SDLKey key) {
        PushKey(true, SDLK_LALT);
        TapKey(key);
        PushKey(false, SDLK_LALT);
        Frames(2);
    }
    void Type(const char* text) {
        TypeText(text);
        Frame();
    }
    // The pointer to a cell, a frame for the move, then a left click.
    void ClickCell(int column, int row) { ClickAt(CellX(column), CellY(row)); }
    void ClickAt(int x, int y) {
        Click(x, y);
        Frame();
    }
    // Presses on the first cell, drags over the others of the row and lets go.
    void DragRow(int row, int first, int last) {
        PushPointerMotion(CellX(first), CellY(row));
        PushButton(true, SDL_BUTTON_LEFT, CellX(first), CellY(row));
        for (int c = first + 1; c <= last; ++c) PushPointerMotion(CellX(c), CellY(row));
        PushButton(false, SDL_BUTTON_LEFT, CellX(last), CellY(row));
        Frame();
    }
    void RightClick() {
        PushButton(true, SDL_BUTTON_RIGHT);
        Frame();
        PushButton(false, SDL_BUTTON_RIGHT);
        Frame();
    }
    // Chooses a palette cell with the pointer (the palette must be open).
    void ChooseInPalette(int column, int row) {
        ASSERT_EQ(Current(), CONTROLLER_EDITOR_PALETTE);
        ClickAt(PaletteX(column), PaletteY(row));
        Frame();
        ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    }
    // Chooses the file listed as name in the open load dialog: selected,
    // okay, two frames for the editor to load it.
    void ChooseListed(const std::string& name) {
        CControllerEditorLoad* load = editor->GetLoadDialog();
        ASSERT_NE(load, nullptr);
        load->GetList()->SelectRowByIndex(load->GetList()->FindRowByText(name));
        load->GUICallback(CControllerEditorLoad::BUTTON_OKAY, 0, false);
        Frames(2);
    }
    // Loads the file listed as name through the dialog.
    void LoadListed(const std::string& name) {
        Alt(SDLK_l);
        ChooseListed(name);
    }
    void Answer(bool okay) {
        ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
        ScreenTest::Answer(static_cast<CControllerMessage*>(CController::GetCurrent()), okay);
    }
    // Frames until the editor is current again (a play screen ran).
    void RunUntilEditor(int cap = 3000) {
        for (int i = 0; i < cap && Current() != CONTROLLER_EDITOR; ++i) Frame();
        ASSERT_EQ(Current(), CONTROLLER_EDITOR);
        Frame();
    }
    // Plays the manager's selected level with Right held until the
    // professor is out (or time runs out).
    void WalkRightFromManager(CControllerManager* manager) {
        manager->GUICallback(CControllerManager::BUTTON_PLAY, 0, false);
        ASSERT_EQ(Current(), CONTROLLER_GAME);
        Frames(60);
        PushKey(true, SDLK_RIGHT);
        for (int i = 0; i < 600 && !CElement::IsLevelExited(); ++i) Frame();
        PushKey(false, SDLK_RIGHT);
    }
    // The manager's row of a file, -1 when it is not listed.
    static int ManagerRowOf(const CControllerManager* manager, const std::string& fileName) {
        const CGuiListbox* list = manager->GetShownList();
        for (int row = 0; row < list->GetRowCount(); ++row)
            if (manager->GetEntries()[static_cast<size_t>(list->GetRowId(row))].fileName == fileName) return row;
        return -1;
    }
    // Ground on the last row, an entrance at column 2 and an exit at 12,
    // placed through the keys.
    void BuildWalk() {
        Key(SDLK_y);
        for (int c = 0; c < CLevel::kWidth; ++c) ClickCell(c, 23);
        Key(SDLK_MINUS);
        ClickCell(2, 22);
        Key(SDLK_EQUALS);
        ClickCell(12, 22);
        ASSERT_EQ(Model().CheckLevel(), EDITOR_CHECK_OK);
    }

    RecordingOwner root{CONTROLLER_MAIN};
    std::unique_ptr<CControllerEditor> editor;
};

TEST_F(EditorScreenTest, TheMainMenuReleasesItsSceneForTheEditorAndGetsItBackWhenTheEditorIsLeft) {
    auto menu = std::make_unique<CControllerMain>();
    menu->Activate(nullptr);
    Frame();
    ASSERT_TRUE(menu->IsLoaded());
    ASSERT_FALSE(menu->GetButton(CControllerMain::BUTTON_EDITOR)->IsDisabled());
    menu->GUICallback(CControllerMain::BUTTON_EDITOR, 0, false);
    EXPECT_FALSE(menu->IsLoaded());
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    Frame();
    EXPECT_EQ(Current(), CONTROLLER_EDITOR_PALETTE) << "the editor starts with its palette";
    Key(SDLK_ESCAPE);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    Alt(SDLK_q);
    EXPECT_EQ(Current(), CONTROLLER_MAIN);
    EXPECT_TRUE(menu->IsLoaded());
}

TEST_F(EditorScreenTest, ThePaletteChoosesToolsByKeyAndPointerAndNeverRunsACommandByMistake) {
    Open();
    CControllerEditorPalette* palette = editor->GetPalette();
    // Keys move the selection only; ALT picks a command without running it.
    Key(SDLK_y);
    EXPECT_EQ(palette->GetTool(), static_cast<uint32_t>(TERRAIN_GRASS));
    Alt(SDLK_t);
    EXPECT_EQ(palette->GetTool(), static_cast<uint32_t>(CTRL_TEST));
    Key(SDLK_n);
    EXPECT_EQ(palette->GetTool(), static_cast<uint32_t>(CTRL_TEST)) << "n alone selects nothing";
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_PALETTE);
    // Escape never runs a command: with the exit selected it closes on the
    // erase tool.
    Alt(SDLK_q);
    Key(SDLK_ESCAPE);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_EQ(Model().GetCursorType(), static_cast<uint32_t>(NONE));

    // The right button opens it; the release of that click closes nothing.
    RightClick();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_PALETTE);
    // A click outside keeps a tool of rows 1 to 8 ...
    Key(SDLK_y);
    // (The toolbox's rim is centred on the screen.)
    const SDL_Rect rim = OpaqueBox("editortoolbox_border.tga");
    CSprite* shadow = palette->GetSprite(CControllerEditorPalette::SPRITE_SHADOW);
    ASSERT_NE(shadow, nullptr);
    EXPECT_NEAR(shadow->GetX(false) + rim.x + rim.w / 2.0, 400, 1);
    ClickAt(60, 560);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_EQ(Model().GetCursorType(), static_cast<uint32_t>(TERRAIN_GRASS));
    // ... but not the test command (column 0, row 5) or a tool of row 0.
    RightClick();
    Alt(SDLK_t);
    ClickAt(60, 560);
    Frame();
    EXPECT_EQ(Model().GetCursorType(), static_cast<uint32_t>(NONE));
    EXPECT_EQ(Current(), CONTROLLER_EDITOR);
    RightClick();
    Key(SDLK_f);
    ClickAt(60, 560);
    Frame();
    EXPECT_EQ(Model().GetCursorType(), static_cast<uint32_t>(NONE));
    // A click on a cell chooses it.
    RightClick();
    ChooseInPalette(4, 7);
    EXPECT_EQ(Model().GetCursorType(), static_cast<uint32_t>(LADDER));
    ClickCell(5, 5);
    EXPECT_TRUE(Level()->HasLadder(5, 5));

    // Held Right moves one column at once, then every frame from the fifth.
    RightClick();
    Key(SDLK_BACKSPACE);
    ASSERT_EQ(palette->GetColumn(), 5);
    Key(SDLK_1);  // frost gun: column 1
    PushKey(true, SDLK_RIGHT);
    std::vector<int> columns;
    for (int i = 0; i < 6; ++i) {
        Frame();
        columns.push_back(palette->GetColumn());
    }
    PushKey(false, SDLK_RIGHT);
    Frame();
    EXPECT_EQ(columns, (std::vector<int>{2, 2, 2, 2, 3, 4}));
    Key(SDLK_RETURN);
    Frame();

    // F3 shows background 2; the cursor then carries no tool: a click places
    // nothing.
    Key(SDLK_F3);
    EXPECT_EQ(Level()->GetBackground(), 2);
    EXPECT_EQ(editor->GetView().GetBackgroundImage(), "background2.jpg");
    EXPECT_EQ(Model().GetCursorType(), 23u);
    const size_t pieces = Model().GetPieces().size();
    ClickCell(9, 9);
    EXPECT_EQ(Model().GetPieces().size(), pieces);
    // The palette's own swatch sets the background too.
    RightClick();
    ChooseInPalette(5, 8);
    EXPECT_EQ(Level()->GetBackground(), 7);
}

TEST_F(EditorScreenTest, ToolsArePlacedByKeysPointerAndDragsAndTheLevelIsCheckedBeforePlay) {
    Open();
    Key(SDLK_ESCAPE);
    // Test without tubes: the message, no play screen.
    Alt(SDLK_t);
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    EXPECT_EQ(editor->GetMessageTitle(), 2207);
    EXPECT_EQ(editor->GetMessageBody(), 2311);
    EXPECT_EQ(editor->GetGame(), nullptr);
    Answer(true);

    // Grass drawn by a drag with CTRL keeping the row; the cursor follows
    // the arrows and places along the way while Return is held.
    Key(SDLK_y);
    PushPointerMotion(CellX(0), CellY(23));
    Frame();
    PushKey(true, SDLK_LCTRL);
    PushButton(true, SDL_BUTTON_LEFT, CellX(0), CellY(23));
    for (int c = 1; c < CLevel::kWidth; ++c) PushPointerMotion(CellX(c), CellY(23) - (c % 3) * 24);
    PushButton(false, SDL_BUTTON_LEFT, CellX(CLevel::kWidth - 1), CellY(23) - ((CLevel::kWidth - 1) % 3) * 24);
    PushKey(false, SDLK_LCTRL);
    Frame();
    const EditorPiece* ground = Model().GetElementPiece(0, 23);
    ASSERT_NE(ground, nullptr);
    EXPECT_EQ(ground->width, CLevel::kWidth);
    EXPECT_EQ(editor->GetView().GetPieceSprite(ground->id) != nullptr, true);
    Key(SDLK_p);
    PushPointerMotion(CellX(20), CellY(22));
    Frame();
    PushKey(true, SDLK_RETURN);
    PushKey(true, SDLK_UP);
    Frames(6);  // one at once, three still, then every frame: rows 21, 20, 19
    PushKey(false, SDLK_UP);
    PushKey(false, SDLK_RETURN);
    Frame();
    for (int r = 19; r <= 22; ++r) EXPECT_TRUE(Level()->HasLadder(20, r)) << r;
    EXPECT_FALSE(Level()->HasLadder(20, 18));
    EXPECT_EQ(Model().GetCursorY(), 19);

    // The tubes, then one blue teleport: recording is refused until it has
    // its partner.
    Key(SDLK_MINUS);
    ClickCell(2, 22);
    Key(SDLK_EQUALS);
    ClickCell(12, 22);
    Key(SDLK_z);
    ClickCell(5, 22);
    Alt(SDLK_r);
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    EXPECT_EQ(editor->GetMessageBody(), 2313);
    Answer(true);
    ClickCell(8, 22);
    ASSERT_EQ(Level()->GetTeleports(0).size(), 2u);

    // The test runs on the play screen and comes back with every piece and
    // the grid shown, the level as modified as it was.
    editor->GetView().GetGrid()->Hide();
    const size_t pieces = Model().GetPieces().size();
    Level()->SetModified(false);
    Alt(SDLK_t);
    ASSERT_EQ(Current(), CONTROLLER_GAME);
    EXPECT_EQ(editor->GetView().GetPieceSpriteCount(), 0u) << "the play screen shows its own world";
    Frames(20);
    Key(SDLK_ESCAPE);  // any unbound key ends a test
    RunUntilEditor();
    EXPECT_EQ(editor->GetGame(), nullptr);
    EXPECT_EQ(Model().GetPieces().size(), pieces);
    EXPECT_EQ(editor->GetView().GetPieceSpriteCount(), pieces);
    EXPECT_FALSE(editor->GetView().GetGrid()->IsHidden());
    EXPECT_FALSE(Level()->IsModified());
    EXPECT_FALSE(Level()->IsSolutionRecorded());
}

TEST_F(EditorScreenTest, NewLoadAndLeaveAskBeforeUnsavedWorkIsThrownAway) {
    Open();
    Key(SDLK_ESCAPE);
    // Nothing to lose: a new level at once.
    Alt(SDLK_n);
    EXPECT_EQ(Current(), CONTROLLER_EDITOR);
    Key(SDLK_j);
    ClickCell(4, 4);
    ASSERT_TRUE(Level()->IsModified());

    // New, load, leave and the window's close button (SDLK_UNKNOWN here),
    // over the editor or over its palette, each ask; declining keeps the
    // level.
    for (SDLKey key : {SDLK_n, SDLK_l, SDLK_q, SDLK_UNKNOWN, SDLK_ESCAPE}) {
        if (key == SDLK_ESCAPE) RightClick();
        if (key == SDLK_UNKNOWN || key == SDLK_ESCAPE) {
            PushWindowClose();
            Frames(2);
        } else {
            Alt(key);
        }
        ASSERT_EQ(Current(), CONTROLLER_MESSAGE) << key;
        EXPECT_EQ(editor->GetMessageTitle(), 2209);
        EXPECT_EQ(editor->GetMessageBody(), 2315);
        Answer(false);
        EXPECT_EQ(Current(), CONTROLLER_EDITOR);
        EXPECT_EQ(Level()->GetTile(4, 4), static_cast<uint32_t>(OBJECT_WCRATE)) << key;
        EXPECT_EQ(editor->GetPendingAction(), CControllerEditor::PENDING_NONE);
    }
    // The palette the close button took down opens again, in view.
    RightClick();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_PALETTE);
    const std::vector<CSprite*>& live = GetSpriteList();
    CSprite* toolbox = editor->GetPalette()->GetSprite(CControllerEditorPalette::SPRITE_TOOLBOX);
    EXPECT_NE(std::find(live.begin(), live.end(), toolbox), live.end());
    Key(SDLK_ESCAPE);
    Frame();
    // Confirmed: load opens the dialog, new clears the level.
    Alt(SDLK_l);
    Answer(true);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_LOAD);
    Key(SDLK_ESCAPE);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_EQ(Level()->GetTile(4, 4), static_cast<uint32_t>(OBJECT_WCRATE)) << "a cancelled load keeps the level";
    Alt(SDLK_n);
    Answer(true);
    EXPECT_EQ(Level()->GetTile(4, 4), static_cast<uint32_t>(NONE));
    EXPECT_TRUE(Model().GetPieces().empty());
    EXPECT_EQ(editor->GetView().GetPieceSpriteCount(), 0u);
    EXPECT_FALSE(Level()->IsModified());
    // Leaving: at once when nothing is lost, after a yes otherwise.
    ClickCell(6, 6);
    Alt(SDLK_w);
    Answer(true);
    EXPECT_EQ(CController::GetCurrent(), &root);
    // The close button's yes ends the game.
    Open();
    Key(SDLK_ESCAPE);
    Key(SDLK_j);
    ClickCell(6, 6);
    PushWindowClose();
    Frames(2);
    Answer(true);
    Frame();
    EXPECT_FALSE(CController::IsRunning());
}

// In test play the close button asks while a recording is under way, and
// answered no, the recording goes on without the time the question stood. A
// terminate signal (a logout) ends the game without asking: the editor keeps
// unsaved work in a recovery file (a recording under way as far as it went),
// and the next start tells of it once.
TEST_F(EditorScreenTest, TheCloseButtonAsksInTestPlayAndASignalKeepsUnsavedWorkForTheNextStart) {
    CInput::CatchTerminateSignals();
    Open();
    Key(SDLK_ESCAPE);
    BuildWalk();
    ASSERT_TRUE(Level()->SaveAs("walk", "A walk"));
    Alt(SDLK_r);
    ASSERT_EQ(Current(), CONTROLLER_GAME);
    Frames(60);
    PushKey(true, SDLK_RIGHT);
    Frames(10);
    PushWindowClose();
    Frames(2);
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    PushKey(false, SDLK_RIGHT);
    Frames(30);
    Answer(false);
    ASSERT_EQ(Current(), CONTROLLER_GAME);
    PushKey(true, SDLK_RIGHT);
    RunUntilEditor();
    PushKey(false, SDLK_RIGHT);
    Frame();
    ASSERT_TRUE(Level()->IsSolutionRecorded());
    const std::vector<ReplayKey> solution = Level()->GetSolution();
    ASSERT_GE(solution.size(), 3u);
    EXPECT_TRUE(solution[1].released) << "the key held at the question is let go in the recording too";
    EXPECT_LT(solution[2].frame - solution[1].frame, 5) << "the question's time is in the recording";
    Alt(SDLK_p);
    RunUntilEditor();
    EXPECT_TRUE(CElement::IsLevelExited());

    // A signal in the middle of a recording.
    Alt(SDLK_r);
    TerminateWhileWalkingRight();
    EXPECT_FALSE(CController::IsRunning());
    CLevel kept;
    ASSERT_TRUE(kept.Load("walk (recovered)"));
    EXPECT_EQ(kept.GetTile(12, 22), static_cast<uint32_t>(DEVICE_TUBE_END));
    ASSERT_EQ(kept.GetSolution().size(), 1u);
    EXPECT_EQ(kept.GetSolution()[0].key, SDLK_RIGHT);

    // A signal over a new level's unsaved changes; then over nothing unsaved.
    for (const bool changed : {true, false}) {
        Restart();
        Open();
        Key(SDLK_ESCAPE);
        if (changed) {
            Key(SDLK_j);
            ClickCell(4, 4);
        }
        ASSERT_EQ(raise(SIGTERM), 0);
        Frames(5);
        EXPECT_FALSE(CController::IsRunning()) << changed;
    }
    ASSERT_TRUE(kept.Load("level (recovered)"));
    EXPECT_EQ(kept.GetTile(4, 4), static_cast<uint32_t>(OBJECT_WCRATE));
    EXPECT_FALSE(PlatformFileExists(LevelPath("level (recovered 2)")));

    // A signal in test play of a new level, unsaved, with no recording: a
    // second recovery under the same name, which holds no solution.
    Restart();
    Open();
    Key(SDLK_ESCAPE);
    BuildWalk();
    Alt(SDLK_t);
    ASSERT_EQ(Current(), CONTROLLER_GAME);
    TerminateWhileWalkingRight();
    EXPECT_FALSE(CController::IsRunning());
    ASSERT_TRUE(kept.Load("level (recovered 2)"));
    EXPECT_EQ(kept.GetTile(12, 22), static_cast<uint32_t>(DEVICE_TUBE_END));
    EXPECT_TRUE(kept.GetSolution().empty());
    ASSERT_TRUE(kept.Load("level (recovered)"));
    EXPECT_EQ(kept.GetTile(4, 4), static_cast<uint32_t>(OBJECT_WCRATE)) << "the first recovery was written over";

    // The next start tells of them all, once.
    auto menu = MenuAtNextStart();
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    const CControllerMessage* told = menu->GetNotice();
    EXPECT_EQ(told->GetBodyId(), CControllerMain::kRecoveredRecordingBody);
    EXPECT_EQ(told->GetBodyText(), "walk (recovered), level (recovered), level (recovered 2)");
    Answer(true);
    Frames(5);
    EXPECT_EQ(Current(), CONTROLLER_MAIN);
    RecoveredLevels none;
    EXPECT_FALSE(TakeRecoveredLevels(&none));
}

// When the levels folder cannot take the unsaved level at a terminate signal
// (its file, or the note that tells of it), the level and its note go to the
// data folder, and the next start says where they are. When neither folder
// can take it nothing is left half-written, and the game's exit says so.
// (Folders in the place of the temporary files refuse every write, root's
// too.)
TEST_F(EditorScreenTest, ASignalKeepsUnsavedWorkInTheDataFolderWhenTheLevelsFolderCannotTakeIt) {
    CInput::CatchTerminateSignals();
    const std::string levels = GetLevelsDir();
    const std::string data = GetProfileDir();
    enum Refused { LEVEL_FILE, NOTE, BOTH_FOLDERS };
    std::vector<std::string> blockers;
    for (const Refused refused : {LEVEL_FILE, NOTE, BOTH_FOLDERS}) {
        SCOPED_TRACE(refused);
        for (const std::string& b : blockers) rmdir(b.c_str());
        blockers = {levels + (refused == NOTE ? ".recovered.tmp" : "level (recovered).lvl.tmp")};
        if (refused == BOTH_FOLDERS) blockers.push_back(data + "level (recovered 3).lvl.tmp");
        for (const std::string& b : blockers) ASSERT_EQ(mkdir(b.c_str(), 0755), 0);
        Restart();
        Open();
        Key(SDLK_ESCAPE);
        Key(SDLK_j);
        ClickCell(4, 4 + refused);
        ASSERT_EQ(raise(SIGTERM), 0);
        Frames(5);
        EXPECT_FALSE(CController::IsRunning());
        EXPECT_EQ(FolderEntries(levels), std::vector<std::string>{blockers[0].substr(levels.size())});
    }
    EXPECT_TRUE(IsUnsavedLevelLost());
    for (const std::string& b : blockers) rmdir(b.c_str());
    CLevel kept;
    for (const int n : {1, 2}) {
        const std::string name = n == 1 ? "level (recovered)" : "level (recovered 2)";
        ASSERT_TRUE(kept.LoadFile(data + name + ".lvl", name.c_str())) << name;
        EXPECT_EQ(kept.GetTile(4, 3 + n), static_cast<uint32_t>(OBJECT_WCRATE)) << name;
    }
    EXPECT_FALSE(PlatformFileExists(data + "level (recovered 3).lvl"));

    // The next start tells where they are, once.
    auto menu = MenuAtNextStart();
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    const CControllerMessage* told = menu->GetNotice();
    EXPECT_EQ(told->GetBodyId(), CControllerMain::kRecoveredInDataBody);
    const std::string shown = "~" + data.substr(HomeFolder().size());
    EXPECT_EQ(told->GetBodyText(), shown + "level (recovered).lvl, " + shown + "level (recovered 2).lvl");
    Answer(true);
    Frames(5);
    EXPECT_EQ(Current(), CONTROLLER_MAIN);
    RecoveredLevels none;
    EXPECT_FALSE(TakeRecoveredLevels(&none));
    for (const char* name : {"level (recovered).lvl", "level (recovered 2).lvl"}) remove((data + name).c_str());
}

// The note of kept levels is read as every file is: a regular file only, no
// larger than its bound. A link to an endless device, a pipe (which would
// stop the main menu, which looks for the note every frame) or a file past
// the bound is left unread; a note at the bound is read. A level kept then
// starts a fresh note, or makes room in the full one, and the note stays
// one that is read.
TEST_F(EditorScreenTest, TheNoteOfKeptLevelsIsReadOnlyAsARegularFileWithinItsBound) {
    const std::string note = std::string(GetLevelsDir()) + ".recovered";
    // 64 bytes a line, as many as the bound holds.
    const std::string line = "L " + std::string(61, 'a') + "\n";
    std::string full;
    while (full.size() + line.size() <= kRecoveryNoteBytesMax) full += line;
    ASSERT_EQ(full.size(), kRecoveryNoteBytesMax);
    enum Kind { LINK_TO_ZERO, PIPE, ONE_PAST_THE_BOUND, AT_THE_BOUND };
    // A read that never ends fails the test instead of hanging it.
    signal(SIGALRM, SIG_DFL);
    alarm(120);
    for (const Kind kind : {LINK_TO_ZERO, PIPE, ONE_PAST_THE_BOUND, AT_THE_BOUND}) {
        SCOPED_TRACE(kind);
        for (int twice = 0; twice < 2; ++twice) {
            remove(note.c_str());
            if (kind == LINK_TO_ZERO) {
                ASSERT_EQ(symlink("/dev/zero", note.c_str()), 0);
            } else if (kind == PIPE) {
                ASSERT_EQ(mkfifo(note.c_str(), 0644), 0);
            } else {
                ASSERT_TRUE(WriteFileText(note, kind == AT_THE_BOUND ? full : full + "\n"));
            }
            if (twice) break;
            RecoveredLevels taken;
            EXPECT_EQ(TakeRecoveredLevels(&taken), kind == AT_THE_BOUND);
            if (kind == AT_THE_BOUND) {
                EXPECT_EQ(taken.names.size(), kRecoveryNoteBytesMax / line.size());
            }
        }
        CLevel level;
        const std::string path = KeepRecoveredLevel(level, false);
        ASSERT_NE(path, "");
        const std::string name = path.substr(strlen(GetLevelsDir()), path.size() - strlen(GetLevelsDir()) - 4);
        EXPECT_LE(ReadFileBytes(note).size(), kRecoveryNoteBytesMax);
        RecoveredLevels taken;
        ASSERT_TRUE(TakeRecoveredLevels(&taken));
        ASSERT_FALSE(taken.names.empty());
        EXPECT_EQ(taken.names.back(), name);
        EXPECT_FALSE(taken.inDataFolder);
    }
    alarm(0);
}

// A recording stops where the level file has no more room for its solution
// (a player pressed the turn key 42,100 times before walking out) and says
// so: the level keeps the solution it had, and what is saved opens again. A
// press is taken only with room for its release as well: a row where the
// room ends right after a press's release (the bound itself) and one where
// it ends one record later, with room for the press alone (one past), set
// by the length of a sign's text.
TEST_F(EditorScreenTest, ARecordingStopsAtTheRoomOfTheLevelFileAndTheSavedLevelOpensAgain) {
    Open();
    Key(SDLK_ESCAPE);
    BuildWalk();
    Level()->SetTile(TUTORIAL, 20, 22);
    Level()->SetTutorialText(20, 22, "Mind the gap.");
    ASSERT_TRUE(Level()->SaveAs("walk", "A walk"));
    Alt(SDLK_r);
    Frames(60);
    PushKey(true, SDLK_RIGHT);
    RunUntilEditor();
    PushKey(false, SDLK_RIGHT);
    Frame();
    const std::vector<ReplayKey> walked = Level()->GetSolution();
    ASSERT_TRUE(Level()->IsSolutionRecorded());

    for (const long roomAfterRelease : {0L, 1L}) {
        SCOPED_TRACE(roomAfterRelease ? "room for a press but not its release" : "room for a press and its release");
        std::string text;
        do {
            text += 's';
            Level()->SetTutorialText(20, 22, text.c_str());
        } while (Level()->SolutionRoom() % 2 != roomAfterRelease);
        const long room = Level()->SolutionRoom();

        Alt(SDLK_r);
        ASSERT_EQ(Current(), CONTROLLER_GAME);
        const CControllerGame* game = static_cast<const CControllerGame*>(CController::GetCurrent());
        Frames(60);
        int taps = 0;
        for (; taps < 42100 && Current() == CONTROLLER_GAME; taps += 50) {
            for (int i = 0; i < 50; ++i) TapKey(SDLK_f);
            Frame();
        }
        ASSERT_EQ(Current(), CONTROLLER_MESSAGE) << "no end to the recording after " << taps << " presses";
        const std::vector<ReplayKey>& recorded = Level()->GetSolution();
        EXPECT_EQ(static_cast<long>(recorded.size()), room - roomAfterRelease);
        EXPECT_TRUE(recorded.back().released) << "every key pressed is let go in the recording";
        EXPECT_EQ(game->GetMessage()->GetTitleId(), CControllerGame::kRecordingFullTitle);
        EXPECT_EQ(game->GetMessage()->GetBodyId(), CControllerGame::kRecordingFullBody);
        DrainEvents();
        Answer(true);
        RunUntilEditor();
        EXPECT_EQ(Level()->GetSolution(), walked);
        EXPECT_TRUE(Level()->IsSolutionRecorded());
    }

    Alt(SDLK_s);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    CLevel saved;
    ASSERT_TRUE(saved.Load("walk"));
    EXPECT_EQ(saved.GetSolution(), walked);
}

// Playing back a level that has no recorded solution says so, instead of
// starting a playback of nothing.
TEST_F(EditorScreenTest, PlayingBackWithoutASolutionSaysThereIsNone) {
    Open();
    Key(SDLK_ESCAPE);
    BuildWalk();
    ASSERT_TRUE(Level()->GetSolution().empty());
    Alt(SDLK_p);
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    EXPECT_EQ(editor->GetMessageTitle(), CControllerInGame::kNoSolutionTitle);
    EXPECT_EQ(editor->GetMessageBody(), CControllerInGame::kNoSolutionBody);
    Answer(true);
    EXPECT_EQ(Current(), CONTROLLER_EDITOR);
}

// The picture a dialog of the editor lies over is taken with no pointer on
// it: the hourglass that the question box leaves behind when it closes is
// not painted into the load dialog's backdrop.
TEST_F(EditorScreenTest, TheLoadDialogsBackdropHoldsNoHourglass) {
    Open();
    Key(SDLK_ESCAPE);
    Key(SDLK_j);
    ClickCell(4, 4);
    Alt(SDLK_l);
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    auto* box = dynamic_cast<CControllerMessage*>(CController::GetCurrent());
    ASSERT_NE(box, nullptr);
    // Okay with the pointer: the box goes, showing the hourglass where it was.
    CGuiButton* okay = box->GetOkayButton();
    const int mx = okay->GetCentreX(), my = okay->GetCentreY();
    ClickAt(mx, my);
    Frames(2);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_LOAD);
    ASSERT_NE(CRender::GetSwapSprite(), nullptr);
    SDL_Surface* backdrop = CDraw::GetSurface(CRender::GetSwapSprite()->GetFrameImage(0));
    const int glassId = CDraw::FindImage("hourglass.tga");
    SDL_Surface* glass = CDraw::GetSurface(glassId);
    ASSERT_NE(backdrop, nullptr);
    ASSERT_NE(glass, nullptr);
    const int gx = mx - glass->w / 2 + 6, gy = my - glass->h / 2 + 1;
    int solid = 0, same = 0;
    for (int y = 0; y < glass->h; ++y)
        for (int x = 0; x < glass->w; ++x) {
            Uint8 r, g, b, a, br, bg, bb;
            SDL_GetRGBA(CDraw::GetPixel(glass, x, y), glass->format, &r, &g, &b, &a);
            if (a != 255 || gx + x < 0 || gy + y < 0 || gx + x >= backdrop->w || gy + y >= backdrop->h) continue;
            ++solid;
            SDL_GetRGB(CDraw::GetPixel(backdrop, gx + x, gy + y), backdrop->format, &br, &bg, &bb);
            if (std::abs(r - br) < 8 && std::abs(g - bg) < 8 && std::abs(b - bb) < 8) ++same;
        }
    ASSERT_GT(solid, 20);
    EXPECT_LT(same * 2, solid) << "the hourglass is painted into the backdrop";
}

TEST_F(EditorScreenTest, TheSaveDialogAsksBeforeReplacingRefusesBadNamesAndStaysOpenWhenTheWriteFails) {
    Open();
    Key(SDLK_ESCAPE);
    BuildWalk();
    // A level without a file opens the dialog on save.
    Alt(SDLK_s);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_SAVE);
    CControllerEditorSave* save = editor->GetSaveDialog();
    // The heading field stands in the middle of the dialog's face: the
    // parchment across a row under the title, between the wooden rims.
    Frame();
    int faceLeft = 800, faceRight = -1;
    for (int x = 150; x < 650; ++x) {
        Uint8 r, g, b;
        SDL_GetRGB(ScreenPixel(x, 230), CDraw::GetScreen()->format, &r, &g, &b);
        if (r > 215 && g > 195 && b > 140) {
            faceLeft = std::min(faceLeft, x);
            faceRight = std::max(faceRight, x + 1);
        }
    }
    const SDL_Rect field = OpaqueBox("savebox_heading.jpg");
    EXPECT_NEAR(save->GetHeadingBox()->GetX() + field.w / 2.0, (faceLeft + faceRight) / 2.0, 1);
    // No blank in a file name; Return goes on to the heading, which okay
    // still needs, and saves once it is filled in.
    Type("walk on");
    EXPECT_STREQ(save->GetNameBox()->GetText(), "walkon");
    Key(SDLK_RETURN);
    EXPECT_EQ(save->GetFocus(), CControllerEditorSave::FOCUS_HEADING);
    Type("A short walk, part 2");
    Key(SDLK_RETURN);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    ASSERT_TRUE(PlatformFileExists(LevelPath("walkon")));
    EXPECT_EQ(CLevel::GetHeading("walkon"), "A short walk, part 2");
    EXPECT_FALSE(Level()->IsModified());
    EXPECT_STREQ(Level()->GetFileName(), "walkon");
    const std::string first = ReadFileText(LevelPath("walkon"));

    // Save as under the same name asks; no brings the dialog back as it was.
    Key(SDLK_j);
    ClickCell(20, 22);
    Alt(SDLK_a);
    save = editor->GetSaveDialog();
    ASSERT_NE(save, nullptr);
    EXPECT_STREQ(save->GetNameBox()->GetText(), "walkon");
    save->GUICallback(CControllerEditorSave::BUTTON_OKAY, 0, false);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    EXPECT_EQ(save->GetMessageBody(), 2303);
    Answer(false);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_SAVE);
    EXPECT_FALSE(save->GetNameBox()->IsHidden());
    EXPECT_STREQ(save->GetHeadingBox()->GetText(), "A short walk, part 2");
    EXPECT_EQ(ReadFileText(LevelPath("walkon")), first);
    // Yes replaces the file.
    save->GUICallback(CControllerEditorSave::BUTTON_OKAY, 0, false);
    Frame();
    Answer(true);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    CLevel reread;
    ASSERT_TRUE(reread.Load("walkon"));
    EXPECT_EQ(reread.GetTile(20, 22), static_cast<uint32_t>(OBJECT_WCRATE));

    // A slash would leave the levels folder: refused, the dialog stays.
    Key(SDLK_j);
    ClickCell(21, 22);
    Alt(SDLK_a);
    save = editor->GetSaveDialog();
    Key(SDLK_SLASH);
    Key(SDLK_x);
    EXPECT_STREQ(save->GetNameBox()->GetText(), "walkon/x");
    save->GUICallback(CControllerEditorSave::BUTTON_OKAY, 0, false);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    EXPECT_EQ(save->GetMessageBody(), 2339);
    Answer(true);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_SAVE);

    // A file that cannot be written: the failure is told with the file, the
    // system's words and what helps (a folder in its place moved away, a
    // game started without a file-size limit), the dialog stays open and the
    // level keeps its changes.
    for (int i = 0; i < 8; ++i) Key(SDLK_BACKSPACE);
    Type("blocked");
    ASSERT_EQ(mkdir(LevelPath("blocked").c_str(), 0755), 0);
    rlimit files = {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &files), 0);
    void (*const before)(int) = signal(SIGXFSZ, SIG_IGN);
    for (const int error : {EISDIR, EFBIG}) {
        SCOPED_TRACE(error);
        if (error == EFBIG) {
            ASSERT_EQ(rmdir(LevelPath("blocked").c_str()), 0);
            const rlimit none = {0, files.rlim_max};
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
        }
        save->GUICallback(CControllerEditorSave::BUTTON_OKAY, 0, false);
        Frame();
        if (error == EISDIR) Answer(true);  // yes, replace what is there
        setrlimit(RLIMIT_FSIZE, &files);
        ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
        EXPECT_EQ(save->GetMessageBody(), 2338);
        EXPECT_EQ(save->GetMessage()->GetAdviceId(), AdviceFor(error));
        EXPECT_EQ(save->GetMessage()->GetBodyText(), AwayFileText(LevelPath("blocked"), strerror(error)));
        Answer(true);
        ASSERT_EQ(Current(), CONTROLLER_EDITOR_SAVE);
        EXPECT_STREQ(save->GetNameBox()->GetText(), "blocked");
        EXPECT_TRUE(Level()->IsModified());
    }
    signal(SIGXFSZ, before);
    EXPECT_FALSE(PlatformFileExists(LevelPath("blocked")));
    save->GUICallback(CControllerEditorSave::BUTTON_CANCEL, 0, false);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    // Save on a level with a file writes it at once.
    Alt(SDLK_s);
    EXPECT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_FALSE(Level()->IsModified());
    ASSERT_TRUE(reread.Load("walkon"));
    EXPECT_EQ(reread.GetTile(21, 22), static_cast<uint32_t>(OBJECT_WCRATE));

    // Save, and save as with the name offered, refuse with the reason what
    // cannot be saved: a levels folder that is a file, and a loaded level's
    // name too long for the save's temporary file (which one byte less fits).
    auto refusedBoth = [&](int body) {
        Alt(SDLK_s);
        ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
        EXPECT_EQ(editor->GetMessageBody(), body);
        Answer(true);
        Alt(SDLK_a);
        save = editor->GetSaveDialog();
        save->GUICallback(CControllerEditorSave::BUTTON_OKAY, 0, false);
        Frame();
        ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
        EXPECT_EQ(save->GetMessageBody(), body);
        Answer(true);
        ASSERT_EQ(Current(), CONTROLLER_EDITOR_SAVE);
        save->GUICallback(CControllerEditorSave::BUTTON_CANCEL, 0, false);
        Frame();
    };
    const std::string folder = std::string(GetLevelsDir()).substr(0, strlen(GetLevelsDir()) - 1);
    ASSERT_EQ(rename(folder.c_str(), (folder + ".away").c_str()), 0);
    ASSERT_TRUE(WriteFileText(folder, "not a folder"));
    Level()->SetModified(true);
    refusedBoth(2362);
    ASSERT_EQ(remove(folder.c_str()), 0);
    ASSERT_EQ(rename((folder + ".away").c_str(), folder.c_str()), 0);
    for (const size_t length : {CLevel::kSavableNameBytes + 1, CLevel::kSavableNameBytes}) {
        const std::string name(length, 'n');
        ASSERT_TRUE(WriteFileBytes(LevelPath(name), reread.BodyBytes(CLevel::MakeLevelId(kLevelKindCustom, 0))));
        ASSERT_TRUE(Level()->Load(name.c_str()));
        Level()->SetModified(true);
        if (length > CLevel::kSavableNameBytes) {
            refusedBoth(2363);
        } else {
            Alt(SDLK_s);
            EXPECT_EQ(Current(), CONTROLLER_EDITOR);
            EXPECT_FALSE(Level()->IsModified());
        }
    }
}

TEST_F(EditorScreenTest, TheLoadDialogListsTheLevelFilesAndAnOldOrDamagedFileLeavesAnEmptyLevel) {
    CLevel stored;
    for (int x = 0; x < CLevel::kWidth; ++x) stored.SetTile(TERRAIN_SAND, x, 23);
    stored.SetTile(DEVICE_TUBE_START, 3, 22);
    stored.SetTile(DEVICE_TUBE_END, 9, 22);
    stored.SetBackground(6);
    ASSERT_TRUE(stored.SaveAs("sandy", "Sandy floor"));
    // A name as this system writes it, in UTF-8.
    const std::string cafe = "caf\xC3\xA9";
    ASSERT_TRUE(stored.SaveAs(cafe.c_str(), "Caf\xC3\xA9 %bfloor"));
    // A level of version 4.
    const uint32_t oldId = (CLevel::MakeLevelId(kLevelKindCustom, 0) & 0x00FFFFFFu) | (4u << 24);
    const std::vector<uint8_t> oldBytes = stored.BodyBytes(oldId);
    ASSERT_TRUE(WriteFileText(LevelPath("ancient"), std::string(oldBytes.begin(), oldBytes.end())));
    ASSERT_TRUE(WriteFileText(LevelPath("broken"), "not a level"));

    Open();
    Key(SDLK_ESCAPE);
    std::vector<std::vector<FontRunPlacement>> drawn;
    FontSetRenderLog(&drawn);
    Alt(SDLK_l);
    FontSetRenderLog(nullptr);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_LOAD);
    CControllerEditorLoad* load = editor->GetLoadDialog();
    ASSERT_EQ(load->GetList()->GetRowCount(), 4);
    // The list shows the name and its heading as they were written.
    std::vector<std::u16string> texts;
    for (const auto& runs : drawn) {
        std::u16string text;
        for (const FontRunPlacement& r : runs) text += r.text;
        texts.push_back(text);
    }
    EXPECT_NE(std::find(texts.begin(), texts.end(), u"caf\u00E9"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), u"Caf\u00E9 %bfloor"), texts.end());
    const int row = load->GetList()->FindRowByText("sandy");
    ASSERT_GE(row, 0);
    EXPECT_EQ(load->GetList()->GetCell(row, 1), "Sandy floor");
    load->GetList()->SelectRowByIndex(row);
    Key(SDLK_RETURN);  // okay is the default button
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_EQ(Model().GetStartTubeX(), 3);
    EXPECT_EQ(Model().GetExitTubeX(), 9);
    EXPECT_EQ(editor->GetView().GetBackgroundImage(), "background6.jpg");
    EXPECT_EQ(editor->GetView().GetPieceSpriteCount(), 3u);
    EXPECT_FALSE(Level()->IsModified());

    // The old level: its message, then an empty level that saves nothing of it.
    for (const char* name : {"ancient", "broken"}) {
        ASSERT_NO_FATAL_FAILURE(LoadListed(name));
        ASSERT_EQ(Current(), CONTROLLER_MESSAGE) << name;
        EXPECT_EQ(editor->GetMessageBody(), std::string(name) == "ancient" ? 2317 : 2340);
        Answer(true);
        EXPECT_TRUE(Model().GetPieces().empty());
        EXPECT_EQ(Level()->GetTile(3, 22), static_cast<uint32_t>(NONE));
        EXPECT_STREQ(Level()->GetFileName(), "");
        EXPECT_FALSE(Level()->IsModified());
    }
    // The name shown as "café" loads the file of those bytes.
    ASSERT_NO_FATAL_FAILURE(LoadListed(cafe));
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_EQ(std::string(Level()->GetFileName()), cafe);
    EXPECT_EQ(Model().GetStartTubeX(), 3);
}

// The load list is the levels folder as it is: a name with dots in a row is
// a level like any other, a leftover of a save a crash broke off is none (and
// goes at the next save), and a file deleted after the list was made is told
// as gone, leaving the level in the editor as it was. A name too long for
// its column is cut in its middle, so that a level and its recovered copy
// still tell apart.
TEST_F(EditorScreenTest, TheLoadListShowsTheFolderAsItIsAndALevelDeletedSinceIsToldAsGone) {
    const std::string longName = "a long walk along the bottom row", copyName = longName + " (recovered)";
    for (const std::string& name : {std::string("wait.."), std::string("gone"), longName, copyName}) {
        CLevel level = worldtest::WalkLevel(12);
        level.SetHeadingText(name.c_str());
        ASSERT_TRUE(level.SaveToPath(LevelPath(name)));
    }
    const std::string leftover = LevelPath("wait..") + ".tmp";
    ASSERT_TRUE(WriteFileText(leftover, "half a level"));

    Open();
    Key(SDLK_ESCAPE);
    BuildWalk();
    Level()->SetModified(false);
    Alt(SDLK_l);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_LOAD);
    CGuiListbox* files = editor->GetLoadDialog()->GetList();
    ASSERT_EQ(files->GetRowCount(), 4);
    ASSERT_GE(files->FindRowByText("wait.."), 0);
    EXPECT_EQ(files->GetCell(files->FindRowByText("wait.."), 1), "wait..");
    for (const std::string& name : {longName, copyName}) {
        const std::string shown = files->GetShownCell(files->FindRowByText(name), 0);
        const std::string end = name.substr(name.size() - 5);
        EXPECT_EQ(shown.compare(0, 6, "a long"), 0) << shown;
        EXPECT_NE(shown.find("..."), std::string::npos) << shown;
        EXPECT_EQ(shown.substr(shown.size() - end.size()), end) << shown << ": the end of " << name << " is cut";
    }
    ASSERT_EQ(remove(LevelPath("gone").c_str()), 0);
    ChooseListed("gone");
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    EXPECT_NE(FontGetEntry(editor->GetMessageBody()).text.Narrow().find("no longer"), std::string::npos);
    Answer(true);
    EXPECT_EQ(Model().GetStartTubeX(), 2);
    EXPECT_EQ(Level()->GetTile(5, 23), static_cast<uint32_t>(TERRAIN_GRASS));

    // The level with dots loads, and saves into its own file.
    LoadListed("wait..");
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_STREQ(Level()->GetFileName(), "wait..");
    Key(SDLK_j);
    ClickCell(20, 22);
    Alt(SDLK_s);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    CLevel reread;
    ASSERT_TRUE(reread.Load("wait.."));
    EXPECT_EQ(reread.GetTile(20, 22), static_cast<uint32_t>(OBJECT_WCRATE));
    EXPECT_FALSE(PlatformFileExists(leftover));
}

// Two levels whose names share their first 16 characters are two files on
// every way from a name to a file: the load list, load, save, save as, the
// file time, the level manager's list, its play and its remove. Neither ever
// touches the other's file.
TEST_F(EditorScreenTest, LevelsWhoseNamesShareTheirFirst16CharactersNeverTouchEachOthersFile) {
    const std::string shortName = "abcdefghijklmnop";
    const std::string longName = "abcdefghijklmnopQRS";
    const time_t shortTime = 1000000000;
    const time_t longTime = 1200000000;
    // Two walks to the exit; a crate at (20, 22) tells the short one.
    for (const std::string& name : {shortName, longName}) {
        CLevel level = worldtest::WalkLevel(12);
        if (name == shortName) level.SetTile(OBJECT_WCRATE, 20, 22);
        level.SetHeadingText(name == shortName ? "Short one" : "Long one");
        ASSERT_TRUE(level.SaveToPath(LevelPath(name)));
        const struct utimbuf t = {name == shortName ? shortTime : longTime, name == shortName ? shortTime : longTime};
        ASSERT_EQ(utime(LevelPath(name).c_str(), &t), 0);
    }
    const std::vector<uint8_t> shortBytes = ReadFileBytes(LevelPath(shortName));
    auto shortUntouched = [&](const char* after) {
        EXPECT_TRUE(ReadFileBytes(LevelPath(shortName)) == shortBytes) << "the short one's file changed on " << after;
        EXPECT_EQ(CLevel::GetFileTime(shortName.c_str()), shortTime) << after;
    };
    auto tileOfLongFile = [&](int x, int y) {
        CLevel reread;
        return reread.Load(longName.c_str()) ? reread.GetTile(x, y) : static_cast<uint32_t>(-1);
    };
    EXPECT_EQ(CLevel::GetFileTime(longName.c_str()), longTime);

    // The load list shows each with its own heading; the long one loads.
    Open();
    Key(SDLK_ESCAPE);
    Alt(SDLK_l);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_LOAD);
    CGuiListbox* files = editor->GetLoadDialog()->GetList();
    ASSERT_EQ(files->GetRowCount(), 2);
    for (const auto& [name, heading] : {std::pair{shortName, "Short one"}, std::pair{longName, "Long one"}}) {
        const int row = files->FindRowByText(name);
        ASSERT_GE(row, 0) << name;
        EXPECT_EQ(files->GetCell(row, 1), heading) << name;
    }
    ChooseListed(longName);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_STREQ(Level()->GetHeadingText(), "Long one");
    EXPECT_EQ(Level()->GetTile(20, 22), static_cast<uint32_t>(NONE));

    // Save writes the file that was loaded, at once.
    Key(SDLK_j);
    ClickCell(25, 22);
    Alt(SDLK_s);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_FALSE(Level()->IsModified());
    EXPECT_EQ(tileOfLongFile(25, 22), static_cast<uint32_t>(OBJECT_WCRATE));
    shortUntouched("save");

    // Save as offers the whole name; replacing writes the loaded file.
    ClickCell(26, 22);
    Alt(SDLK_a);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_SAVE);
    CControllerEditorSave* save = editor->GetSaveDialog();
    EXPECT_EQ(save->GetNameBox()->GetText(), longName);
    save->GUICallback(CControllerEditorSave::BUTTON_OKAY, 0, false);
    Frame();
    Answer(true);  // yes, replace it
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_EQ(tileOfLongFile(26, 22), static_cast<uint32_t>(OBJECT_WCRATE));
    shortUntouched("save as");
    const time_t savedTime = CLevel::GetFileTime(longName.c_str());
    EXPECT_NE(savedTime, longTime);
    Alt(SDLK_q);
    ASSERT_EQ(CController::GetCurrent(), &root);
    editor.reset();

    // The level manager lists each by its own title and date; the long one,
    // played to its exit, is the one the player's record names.
    CControllerManager::SetGameScreenFactory(OpenRealPlayScreen);
    auto manager = std::make_unique<CControllerManager>();
    root.OpenChild(manager.get());
    Frame();
    CGuiListbox* list = manager->GetShownList();
    ASSERT_EQ(list->GetRowCount(), 2);
    for (const CControllerManager::LevelEntry& e : manager->GetEntries()) {
        const bool isLong = e.fileName == longName;
        EXPECT_EQ(e.title, isLong ? "Long one" : "Short one") << e.fileName;
        EXPECT_EQ(e.time, isLong ? savedTime : shortTime) << e.fileName;
    }
    ASSERT_GE(ManagerRowOf(manager.get(), longName), 0);
    list->SelectRowByIndex(ManagerRowOf(manager.get(), longName));
    WalkRightFromManager(manager.get());
    ASSERT_TRUE(CElement::IsLevelExited());
    EXPECT_EQ(Profile().GetLevelRecord(longName).completed, 1);
    EXPECT_EQ(Profile().GetLevelRecord(shortName).played, 0);
    root.Activate(nullptr);
    manager.reset();
    shortUntouched("play");

    // Remove deletes the long file only.
    manager = std::make_unique<CControllerManager>();
    root.OpenChild(manager.get());
    Frame();
    manager->GetShownList()->SelectRowByIndex(ManagerRowOf(manager.get(), longName));
    manager->GUICallback(CControllerManager::BUTTON_REMOVE, 0, false);
    ASSERT_EQ(Current(), CONTROLLER_MESSAGE);
    ScreenTest::Answer(manager->GetMessage(), true);
    EXPECT_FALSE(PlatformFileExists(LevelPath(longName)));
    shortUntouched("remove");
    EXPECT_FALSE(CLevel::Remove(longName.c_str()));
    shortUntouched("remove of a removed file");
    root.Activate(nullptr);
    manager.reset();
}

TEST_F(EditorScreenTest, TheHelpPageShowsWhatThePointerIsOn) {
    Open();
    Key(SDLK_ESCAPE);
    Alt(SDLK_h);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_HELP);
    CControllerEditorHelp* help = editor->GetHelp();
    // Its title is centred on the page, in the middle of the screen.
    Frame();
    const SDL_Rect title = InkSpan(100, 58, 700, 98);
    EXPECT_NEAR(title.x + title.w / 2.0, 400, 1.5);
    // So is the grid of eight columns; OK stands centred under the hint
    // right of the grid's last short row.
    using Help = CControllerEditorHelp;
    EXPECT_NEAR(Help::kGridX + 4 * Help::kCellW, 400, 1);
    const SDL_Rect hint = InkSpan(Help::kGridX + 4 * Help::kCellW, Help::kGridY + 4 * Help::kCellH, 740, 400);
    EXPECT_NEAR(help->GetOkayButton()->GetCentreX(), hint.x + hint.w / 2.0, 1);
    auto pointAt = [&](int column, int row) {
        PushPointerMotion(Help::kGridX + Help::kCellW * column + 30, Help::kGridY + Help::kCellH * row + 25);
        Frame();
    };
    auto shown = [&]() {
        std::vector<int> out;
        for (int i = 0; i < CControllerEditorHelp::kPictureCount; ++i)
            if (!help->GetPicture(i)->IsHidden()) out.push_back(i);
        return out;
    };
    // The blue gate, then the yellow one: the gate pictures again with the
    // yellow lights.
    pointAt(3, 0);
    EXPECT_EQ(help->GetShownEntry(), 3);
    EXPECT_EQ(shown().size(), 2u);
    EXPECT_FALSE(help->GetSprite(CControllerEditorHelp::SPRITE_NAME)->IsHidden());
    pointAt(4, 0);
    EXPECT_EQ(help->GetShownEntry(), 4);
    EXPECT_EQ(shown().size(), 3u);
    // A command: name and text, no picture.
    pointAt(1, 6);
    EXPECT_EQ(help->GetShownEntry(), 40);
    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(help->GetSprite(CControllerEditorHelp::SPRITE_INFO)->IsHidden());
    // The selector, a cell's size, frames the cell it marks.
    pointAt(3, 3);
    const CSprite* selector = help->GetSprite(CControllerEditorHelp::SPRITE_SELECTOR);
    const SDL_Rect frame = OpaqueBox("toolboxselector.png");
    EXPECT_DOUBLE_EQ(selector->GetX(true) + frame.x + frame.w / 2.0, Help::kGridX + 3.5 * Help::kCellW);
    EXPECT_DOUBLE_EQ(selector->GetY(true) + frame.y + frame.h / 2.0, Help::kGridY + 3.5 * Help::kCellH);
    // The trampoline (that cell) stands as in play: the canvas between the
    // ends of its bars, the wooden bow on its right.
    ASSERT_EQ(help->GetShownEntry(), 27);
    auto drawn = [&](auto takes) {
        SDL_Rect box = {0, 0, 0, 0};
        int left = 800, right = -1;
        // Right of the command buttons, left of the name.
        for (int y = 385; y < 455; ++y)
            for (int x = Help::kGridX + 3 * Help::kCellW + 4; x < 418; ++x) {
                Uint8 r, g, b;
                SDL_GetRGB(ScreenPixel(x, y), CDraw::GetScreen()->format, &r, &g, &b);
                if (!takes(r, g, b)) continue;
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
        if (right > left) box = {static_cast<Sint16>(left), 0, static_cast<Uint16>(right - left), 1};
        return box;
    };
    const SDL_Rect canvas = drawn([](int r, int, int b) { return b > 150 && b > r + 80; });
    const SDL_Rect bars = drawn([](int r, int g, int b) { return r < 200 && std::abs(r - g) < 14 && std::abs(g - b) < 14; });
    const SDL_Rect bow = drawn([](int r, int g, int b) { return r > 90 && r > g + 30 && g > b + 15; });
    ASSERT_GT(canvas.w, 0);
    ASSERT_GT(bow.w, 0) << "the bow is hidden";
    EXPECT_LT(bars.x, canvas.x - 3) << "no bar left of the canvas";
    EXPECT_GT(bars.x + bars.w, canvas.x + canvas.w + 3) << "no bar right of the canvas";
    EXPECT_GE(bow.x, canvas.x + canvas.w + 4) << "the bow is not right of the canvas";
    // No entry there: everything hidden.
    pointAt(7, 4);
    EXPECT_EQ(help->GetShownEntry(), -1);
    EXPECT_TRUE(help->GetSprite(CControllerEditorHelp::SPRITE_NAME)->IsHidden());
    EXPECT_TRUE(help->GetSprite(CControllerEditorHelp::SPRITE_SELECTOR)->IsHidden());
    // Every entry shows its name and its pictures.
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            const int entry = CControllerEditorHelp::EntryAt(column, row);
            if (entry < 0) continue;
            pointAt(column, row);
            EXPECT_EQ(help->GetShownEntry(), entry);
            int pictures = 0;
            for (const int* p = CControllerEditorHelp::PicturesOf(entry); *p >= 0; ++p) ++pictures;
            EXPECT_EQ(static_cast<int>(shown().size()), pictures) << entry;
            for (int i : shown()) EXPECT_GT(help->GetPicture(i)->GetFrameCount(), 0) << entry;
        }
    Key(SDLK_ESCAPE);
    Frame();
    EXPECT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_EQ(editor->GetHelp(), nullptr);
}

TEST_F(EditorScreenTest, ATutorialSignTakesItsTextFromTheBoxAndShowsItAgainForEditing) {
    Open();
    Key(SDLK_ESCAPE);
    Key(SDLK_t);
    ClickCell(7, 9);
    ASSERT_EQ(Current(), CONTROLLER_TEXT_ENTRY);
    CControllerEditorTutorial* box = editor->GetTutorial();
    EXPECT_STREQ(box->GetTextbox()->GetText(), "");
    // Okay with a blank text keeps the box open.
    Type(" ");
    box->GUICallback(CControllerTextEntryBase::BUTTON_OKAY, 0, false);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_TEXT_ENTRY);
    Key(SDLK_BACKSPACE);
    Type("jump");
    Key(SDLK_RETURN);
    Type("now");
    box->GUICallback(CControllerTextEntryBase::BUTTON_OKAY, 0, false);
    Frames(2);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_EQ(Level()->GetTile(7, 9), static_cast<uint32_t>(TUTORIAL));
    EXPECT_STREQ(Level()->GetTutorialText(7, 9), "jump%nnow");
    ASSERT_NE(Model().GetElementPiece(7, 9), nullptr);

    // Again on the sign: its text for editing; cancel changes nothing.
    ClickCell(7, 9);
    ASSERT_EQ(Current(), CONTROLLER_TEXT_ENTRY);
    EXPECT_STREQ(editor->GetTutorial()->GetTextbox()->GetText(), "jump%nnow");
    Type("s");
    Key(SDLK_ESCAPE);
    Frame();
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    EXPECT_STREQ(Level()->GetTutorialText(7, 9), "jump%nnow");
    // The eraser takes the sign and its text.
    Key(SDLK_BACKSPACE);
    ClickCell(7, 9);
    EXPECT_EQ(Level()->GetTutorialText(7, 9), nullptr);
}

// What a text box shows of its text, read from its painted field: the
// pixels that differ from the bare field picture (the ink) and the caret's
// rectangle, both relative to the field.
struct DrawnBox {
    int w = 0, h = 0;
    int inkCount = 0;
    int inkLeft = 1 << 20, inkRight = -1, inkTop = 1 << 20, inkBottom = -1;
    // The rightmost ink on the caret's rows, -1 when there is none.
    int inkEndBesideCaret = -1;
    SDL_Rect caret = {0, 0, 0, 0};
};

DrawnBox ReadBox(const CGuiTextbox& box, const char* fieldPicture) {
    DrawnBox d;
    SDL_Surface* painted = CDraw::GetSurface(CDraw::FindImage(box.GetImageName().c_str()));
    const int bareId = CDraw::GetImage(fieldPicture);
    SDL_Surface* bare = CDraw::GetSurface(bareId);
    EXPECT_TRUE(painted && bare) << fieldPicture;
    if (!painted || !bare) {
        CDraw::ReleaseImage(bareId);
        return d;
    }
    const CSprite* caret = box.GetCursorSprite();
    const CSprite* text = box.GetTextSprite();
    d.caret.x = static_cast<Sint16>(caret->GetX(false) - text->GetX(false));
    d.caret.y = static_cast<Sint16>(caret->GetY(false) - text->GetY(false));
    d.caret.w = static_cast<Uint16>(caret->GetWidth(true));
    d.caret.h = static_cast<Uint16>(caret->GetHeight(false));
    d.w = painted->w;
    d.h = painted->h;
    SDL_LockSurface(painted);
    SDL_LockSurface(bare);
    for (int y = 0; y < painted->h && y < bare->h; ++y)
        for (int x = 0; x < painted->w && x < bare->w; ++x) {
            if (CDraw::GetPixel(painted, x, y) == CDraw::GetPixel(bare, x, y)) continue;
            ++d.inkCount;
            d.inkLeft = std::min(d.inkLeft, x);
            d.inkRight = std::max(d.inkRight, x);
            d.inkTop = std::min(d.inkTop, y);
            d.inkBottom = std::max(d.inkBottom, y);
            if (y >= d.caret.y && y < d.caret.y + d.caret.h) d.inkEndBesideCaret = std::max(d.inkEndBesideCaret, x);
        }
    SDL_UnlockSurface(bare);
    SDL_UnlockSurface(painted);
    CDraw::ReleaseImage(bareId);
    return d;
}

// Every text box keeps its text and its caret inside its field, between
// the side margins: the tutorial text of 250 wide letters, or of 250
// characters of words, shows whole; one of 42 short lines shows its last
// lines; a loaded level's 19-character file name, 16 wide letters and a
// heading of wide words show as one line. Each ends, just before the
// caret, with its last letter.
TEST_F(EditorScreenTest, EveryTextBoxKeepsItsTextAndCaretInsideItsField) {
    const std::string loadedName = "TheMarvellousMazeXY";
    {
        CLevel level;
        level.SetHeadingText("Marvellous");
        ASSERT_TRUE(level.SaveToPath(LevelPath(loadedName)));
    }
    const std::string words =
        "Push the wooden crate onto the red button to open the gate. Then climb the ladder and wait for the bot "
        "to walk past before you jump across. Magnets pull metal crates from far away, so keep your distance. "
        "Press U to undo a step if you get stuck again.";
    ASSERT_EQ(words.size(), 250u);
    std::string steps;
    for (int i = 0; i < 41; ++i) steps += "Jump%n";
    steps += "Done";
    ASSERT_EQ(steps.size(), 250u);

    struct Row {
        const char* box;   // "tutorial", "name" or "heading"
        std::string text;  // empty: what the dialog starts with
        bool whole;        // every character shows, else the text's end
    };
    const Row rows[] = {
        {"tutorial", std::string(250, 'W'), true},
        {"tutorial", words, true},
        {"tutorial", steps, false},
        {"name", "", false},
        {"name", std::string(16, 'W'), false},
        {"heading", "WARM MOWER WAVE MEMO WOW MAWS", false},
    };
    auto withoutBreaks = [](std::string s) {
        for (size_t at = s.find("%n"); at != std::string::npos; at = s.find("%n", at)) s.erase(at, 2);
        return s;
    };
    Open();
    Key(SDLK_ESCAPE);
    int column = 3;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.box) + ": " + (row.text.empty() ? loadedName : row.text));
        CGuiTextbox* box = nullptr;
        const char* field = nullptr;
        std::string expected = row.text;
        if (std::string(row.box) == "tutorial") {
            Key(SDLK_t);
            ClickCell(column++, 9);
            ASSERT_EQ(Current(), CONTROLLER_TEXT_ENTRY);
            box = editor->GetTutorial()->GetTextbox();
            field = "etutorial_blurb.jpg";
            // Typed as the author types it, a few keys a frame, Return for
            // a line break.
            size_t at = 0;
            while (at < row.text.size()) {
                const size_t lineEnd = std::min(row.text.find("%n", at), row.text.size());
                for (size_t from = at; from < lineEnd; from += 20)
                    Type(row.text.substr(from, std::min<size_t>(20, lineEnd - from)).c_str());
                if (lineEnd < row.text.size()) Key(SDLK_RETURN);
                at = lineEnd + 2;
            }
        } else {
            if (Current() != CONTROLLER_EDITOR_SAVE) {
                ASSERT_TRUE(Level()->Load(loadedName.c_str()));
                Alt(SDLK_a);
                ASSERT_EQ(Current(), CONTROLLER_EDITOR_SAVE);
            }
            CControllerEditorSave* save = editor->GetSaveDialog();
            const bool name = std::string(row.box) == "name";
            box = name ? save->GetNameBox() : save->GetHeadingBox();
            field = name ? "savebox_filename.jpg" : "savebox_heading.jpg";
            if (row.text.empty())
                expected = loadedName;
            else
                box->SetText(row.text.c_str());
        }
        Frame();
        ASSERT_EQ(box->GetText(), expected);
        // What the box laid out: the whole text, or an end of it that stops
        // at the text's last character.
        const std::string all = withoutBreaks(expected), shown = withoutBreaks(box->GetShownText());
        if (row.whole)
            EXPECT_EQ(shown, all);
        else
            EXPECT_TRUE(shown.size() < all.size() && all.compare(all.size() - shown.size(), shown.size(), shown) == 0)
                << shown;

        const DrawnBox d = ReadBox(*box, field);
        const bool tutorial = std::string(row.box) == "tutorial";
        // Lines of the tutorial text start at the top margin; the one line
        // of the other boxes lies in the middle of the field, and so does
        // its caret.
        const int left = box->GetMarginX(), right = d.w - box->GetMarginX();
        const int top = tutorial ? box->GetMarginY() : d.caret.y - 1;
        ASSERT_GT(d.inkCount, 0);
        EXPECT_GE(d.inkLeft, left);
        EXPECT_LT(d.inkRight, right);
        EXPECT_GE(d.inkTop, top);
        EXPECT_LT(d.inkBottom, d.h);
        EXPECT_GE(d.caret.x, left);
        EXPECT_LE(d.caret.x + d.caret.w, right);
        EXPECT_GE(d.caret.y, top);
        EXPECT_LE(d.caret.y + d.caret.h, d.h);
        if (!tutorial) {
            EXPECT_NEAR(d.caret.y, d.h - (d.caret.y + d.caret.h), 1) << "the line is not centred";
        }
        // The text's end is just before the caret, and the caret no taller
        // than the line it ends (it reaches at most a descender's depth
        // below the letters, at any size the text is set in).
        EXPECT_LT(d.inkEndBesideCaret, d.caret.x);
        EXPECT_GE(d.inkEndBesideCaret, d.caret.x - 4);
        EXPECT_LE(d.caret.y + d.caret.h, d.inkBottom + 5) << "a caret taller than its text";
        if (tutorial) {
            // Lines keep as far from the field's bottom as from its top.
            EXPECT_LT(d.inkBottom, d.h - top);
            Key(SDLK_ESCAPE);
            Frame();
            ASSERT_EQ(Current(), CONTROLLER_EDITOR);
        }
    }
}

// A level from nothing to the level runner: built with the palette and the
// keys, put right by the rules, tested, recorded with a solution, saved,
// loaded again as it was written, played from the level manager and
// replayed to its exit by zorv_sim.
TEST_F(EditorScreenTest, ALevelBuiltFromNothingIsRecordedSavedLoadedPlayedAndReplayed) {
    Open();
    // Ground from wall to wall, chosen in the palette and drawn by a drag.
    ChooseInPalette(4, 3);
    DragRow(23, 0, CLevel::kWidth - 1);
    // A ladder up to a ledge on the right; the ladder's top gets a platform.
    Key(SDLK_y);
    DragRow(17, 21, 25);
    Key(SDLK_p);
    for (int r = 17; r <= 22; ++r) ClickCell(20, r);
    EXPECT_EQ(Level()->GetTile(20, 17), static_cast<uint32_t>(PLATFORM));
    // Things the rules put right: a button in the air is not placed, a bot
    // loses its ground, a crate over the exit's head removes the exit.
    Key(SDLK_a);
    ClickCell(15, 10);
    EXPECT_EQ(Level()->GetTile(15, 10), static_cast<uint32_t>(NONE));
    Key(SDLK_b);
    ClickCell(23, 16);
    EXPECT_EQ(Level()->GetTile(23, 16), static_cast<uint32_t>(BOT_LEFT));
    Key(SDLK_BACKSPACE);
    ClickCell(23, 17);
    EXPECT_EQ(Level()->GetTile(23, 16), static_cast<uint32_t>(NONE));
    Key(SDLK_MINUS);
    ClickCell(2, 22);
    Key(SDLK_EQUALS);
    ClickCell(12, 22);
    Key(SDLK_j);
    ClickCell(12, 21);
    EXPECT_EQ(Model().GetExitTubeX(), -1);
    Key(SDLK_BACKSPACE);
    ClickCell(12, 21);
    Key(SDLK_EQUALS);
    ClickCell(12, 22);
    ASSERT_EQ(Model().CheckLevel(), EDITOR_CHECK_OK);

    // Tested, then recorded: Right held walks the professor to the exit.
    Alt(SDLK_t);
    ASSERT_EQ(Current(), CONTROLLER_GAME);
    Frames(30);
    Key(SDLK_ESCAPE);
    RunUntilEditor();
    Alt(SDLK_r);
    ASSERT_EQ(Current(), CONTROLLER_GAME);
    Frames(60);
    PushKey(true, SDLK_RIGHT);
    RunUntilEditor();
    PushKey(false, SDLK_RIGHT);
    Frame();
    ASSERT_TRUE(Level()->IsSolutionRecorded());
    ASSERT_FALSE(Level()->GetSolution().empty());
    EXPECT_EQ(Level()->GetSolution()[0].key, SDLK_RIGHT);
    EXPECT_TRUE(Level()->IsModified()) << "a new solution is unsaved work";
    // A recording left before the exit keeps the solution there was.
    const std::vector<ReplayKey> solution = Level()->GetSolution();
    Alt(SDLK_r);
    ASSERT_EQ(Current(), CONTROLLER_GAME);
    Frames(60);
    PushKey(true, SDLK_RIGHT);
    Frames(5);
    PushKey(false, SDLK_RIGHT);
    Key(SDLK_ESCAPE);
    RunUntilEditor();
    EXPECT_TRUE(Level()->IsSolutionRecorded());
    EXPECT_EQ(Level()->GetSolution(), solution);
    // Played back, the solution reaches the exit again.
    Alt(SDLK_p);
    ASSERT_EQ(Current(), CONTROLLER_GAME);
    RunUntilEditor();
    EXPECT_TRUE(CElement::IsLevelExited());

    // Saved through the dialog.
    Alt(SDLK_s);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR_SAVE);
    Type("firststeps");
    Key(SDLK_TAB);
    Type("First steps");
    editor->GetSaveDialog()->GUICallback(CControllerEditorSave::BUTTON_OKAY, 0, false);
    Frames(2);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    const std::vector<uint8_t> file = ReadFileBytes(LevelPath("firststeps"));
    ASSERT_GT(file.size(), 4u);

    // A new level, then the saved one loaded again: the same bytes.
    Alt(SDLK_n);
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    ASSERT_TRUE(Model().GetPieces().empty());
    LoadListed("firststeps");
    ASSERT_EQ(Current(), CONTROLLER_EDITOR);
    const uint32_t id = file[0] | file[1] << 8 | file[2] << 16 | static_cast<uint32_t>(file[3]) << 24;
    EXPECT_EQ(Level()->BodyBytes(id), file);
    EXPECT_FALSE(Level()->IsModified());
    EXPECT_EQ(Level()->GetTile(20, 17), static_cast<uint32_t>(PLATFORM));
    Alt(SDLK_q);
    ASSERT_EQ(CController::GetCurrent(), &root);
    editor.reset();

    // Played from the level manager, it ends at the exit.
    CControllerManager::SetGameScreenFactory(OpenRealPlayScreen);
    std::unique_ptr<CControllerManager> manager(new CControllerManager());
    root.OpenChild(manager.get());
    Frame();
    CGuiListbox* list = manager->GetShownList();
    ASSERT_EQ(list->GetRowCount(), 1);
    list->SelectRowByIndex(0);
    WalkRightFromManager(manager.get());
    EXPECT_TRUE(CElement::IsLevelExited());
    EXPECT_FALSE(CElement::IsProfessorFallen());
    for (int i = 0; i < 200 && Current() != CONTROLLER_SCOREBOARD; ++i) Frame();
    EXPECT_EQ(Current(), CONTROLLER_SCOREBOARD);
    root.Activate(nullptr);
    manager.reset();

    // The level runner plays the stored solution to the exit.
    const std::string out = CommandOutput(std::string(ZORV_SIM_BINARY) + " '" + LevelPath("firststeps") + "'");
    EXPECT_NE(out.find("\"result\": \"exited\""), std::string::npos) << out;
}

}  // namespace
