// Every screen and dialog under the keyboard alone: Return, Space, Escape,
// Tab and Shift+Tab, each pressed with the pointer resting on no widget, and
// what the player then sees. Return and Space act on the screen's default
// button (Space only where no text box takes it), Escape backs out where the
// screen lets it, Tab moves the focus forward and Shift+Tab backward; the
// play keys of a level, the editor's own keys and typing into a text box
// stay as they were. The arrows move the focus as Tab and Shift+Tab do, save
// where a list, the map's track of levels or the toolbox takes them.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "editor/CControllerEditor.h"
#include "editor/CControllerEditorHelp.h"
#include "editor/CControllerEditorLoad.h"
#include "editor/CControllerEditorPalette.h"
#include "editor/CControllerEditorSave.h"
#include "editor/CControllerEditorTutorial.h"
#include "engine/CController.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/Utilities.h"
#include "gui/CControllerGame.h"
#include "gui/CControllerMessage.h"
#include "gui/CControllerMessageTutorial.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiButtonBase.h"
#include "gui/CGuiTextbox.h"
#include "gui/CTwoBoxFocus.h"
#include "players/CProfile.h"
#include "screens/CControllerInstructions.h"
#include "screens/CControllerIntro.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerManager.h"
#include "screens/CControllerOptions.h"
#include "screens/CControllerOptionsPassword.h"
#include "screens/CControllerPassword.h"
#include "screens/CControllerProfiles.h"
#include "screens/CControllerScoreboard.h"
#include "screens/CControllerScoreboardName.h"
#include "screens/CControllerSetSelect.h"
#include "screens/CControllerStory.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/screens/ScreenTest.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"

namespace {

const std::map<int, std::string> kScreenNames = {
    {CONTROLLER_INTRO, "intro"},
    {CONTROLLER_MAIN, "main menu"},
    {CONTROLLER_GAME, "play screen"},
    {CONTROLLER_EDITOR, "editor"},
    {CONTROLLER_EDITOR_PALETTE, "toolbox"},
    {CONTROLLER_MESSAGE, "message box"},
    {CONTROLLER_MAP, "level map"},
    {CONTROLLER_STORY, "story"},
    {CONTROLLER_INSTRUCTIONS, "how to play"},
    {CONTROLLER_INGAME_MENU, "in-game menu"},
    {CONTROLLER_LEVELSET, "level-set choice"},
};

std::string NameOf(const CController* screen) {
    if (!screen) return "nothing";
    const auto it = kScreenNames.find(screen->GetID());
    return it != kScreenNames.end() ? it->second : "screen " + std::to_string(screen->GetID());
}

class ScreenKeysTest;

// How a screen is brought up, and what it shows beyond where the keyboard
// took the player (the page, the answer, the text typed).
struct ScreenUnderTest {
    std::function<void(ScreenKeysTest&)> open;
    std::function<std::string(ScreenKeysTest&)> detail;
};

struct KeyRow {
    const char* screen;
    SDLKey key;
    // "stays", "closes" (back on the screen it opened over) or "to <screen>",
    // then ", focus moved" when a widget took the focus ("focus moved back"
    // when it is not the widget Tab reaches first), then ": " and what the
    // screen shows.
    const char* happens;
    // The key pressed with the left shift held.
    bool shift = false;
};

const char* KeyWord(SDLKey key, bool shift = false) {
    if (shift) return key == SDLK_TAB ? "ShiftTab" : "Shift key";
    switch (key) {
    case SDLK_RETURN: return "Return";
    case SDLK_SPACE: return "Space";
    case SDLK_ESCAPE: return "Escape";
    case SDLK_TAB: return "Tab";
    case SDLK_UP: return "Up";
    case SDLK_DOWN: return "Down";
    case SDLK_LEFT: return "Left";
    case SDLK_RIGHT: return "Right";
    default: return "key";
    }
}

void PrintTo(const KeyRow& row, std::ostream* os) { *os << row.screen << " / " << KeyWord(row.key, row.shift); }

class ScreenKeysTest : public ScreenTest, public ::testing::WithParamInterface<KeyRow> {
public:
    void SetUp() override {
        ScreenTest::SetUp();
        ASSERT_TRUE(StartNewPlayer());
        CControllerManager::SetGameScreenFactory(nullptr);
    }
    void TearDown() override {
        CController::ResetStack();
        if (CRender::IsSwapped()) CRender::Swap(true);
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) it->reset();
        owned.clear();
        menu.reset();
        intro.reset();
        CControllerManager::SetGameScreenFactory(nullptr);
        remove(LevelFile().c_str());
        ForgetPlayer();
        ScreenTest::TearDown();
    }

    // The main menu as the game's root, and one of its buttons chosen.
    void FromMenu(int button, int frames = 2) {
        if (!menu) {
            menu = std::make_unique<CControllerMain>();
            menu->Activate(nullptr);
            Frame();
        }
        if (button >= 0) menu->GUICallback(button, 0, false);
        Frames(frames);
    }
    // A dialog opened over a stand-in stack of the main menu, the map and
    // the play screen.
    template <typename Screen>
    Screen* OverPlay(Screen* screen, int frames = 2) {
        home.Activate(nullptr);
        home.OpenChild(&map);
        map.OpenChild(&play);
        owned.emplace_back(screen);
        play.OpenChild(screen);
        Frames(frames);
        return screen;
    }
    template <typename Screen>
    static Screen* Current() {
        return dynamic_cast<Screen*>(CController::GetCurrent());
    }
    // What the player sees now, in the words of the table.
    std::string Outcome(const ScreenUnderTest& s) {
        const CController* now = CController::GetCurrent();
        std::string said = now == tested ? "stays" : now == openedOver ? "closes" : "to " + NameOf(now);
        if (now == tested && CGuiButtonBase::GetFocusedButton())
            said += FocusWentBack() ? ", focus moved back" : ", focus moved";
        const std::string detail = s.detail ? s.detail(*this) : "";
        return detail.empty() ? said : said + ": " + detail;
    }

    // Whether the focus is elsewhere than on the widget that Tab takes it to
    // from none. (Asks the widgets: the focus is gone afterwards.)
    static bool FocusWentBack() {
        const int at = CGuiButtonBase::GetFocusIndex();
        CGuiButtonBase::ResetState();
        CGuiButtonBase::MoveFocus(false);
        return CGuiButtonBase::GetFocusIndex() != at;
    }

    // The one level file a row may put into the levels folder.
    static std::string LevelFile() { return std::string(GetLevelsDir()) + "walk.lvl"; }
    void WriteLevelFile() {
        level.SetHeadingText("Walk");
        ASSERT_TRUE(level.SaveToPath(LevelFile()));
    }

    static std::string Typed(CGuiTextbox* box) { return "text '" + std::string(box->GetText()) + "'"; }
    static std::string Answer(bool yes) { return yes ? "yes" : "no"; }
    static std::string Box(int focused) {
        return focused == CTwoBoxFocus::FOCUS_BUTTONS ? "on the buttons" : "box " + std::to_string(focused + 1);
    }

    std::unique_ptr<CControllerMain> menu;
    std::unique_ptr<CControllerIntro> intro;
    RecordingOwner home{CONTROLLER_MAIN};
    RecordingOwner map{CONTROLLER_MAP};
    RecordingOwner play{CONTROLLER_GAME};
    std::vector<std::unique_ptr<CController>> owned;
    CLevel level = worldtest::WalkLevel(12);
    CController* tested = nullptr;
    CController* openedOver = nullptr;
};

// The map of a set whose first level is solved: it opens on the second, asking nothing.
void PlayerOnTheMap(ScreenKeysTest& t) {
    t.Profile().SetCurrentSet(1);
    t.Profile().SetLevelSteps(30, 1, 0);
    t.FromMenu(CControllerMain::BUTTON_PLAY, 60);
}

std::string ChosenLevel(ScreenKeysTest& t) { return "level " + std::to_string(t.Profile().GetCurrentLevel()); }

// The level manager's buttons that are not shown (hidden or never made).
std::string Unshown(ScreenKeysTest&) {
    const char* const names[] = {"Up", "Down", "Title", "Date", "Play", "Remove", "More", "Reset", "Map", "Menu"};
    auto* m = ScreenKeysTest::Current<CControllerManager>();
    std::string said;
    for (int i = 0; m && i < CControllerManager::BUTTON_COUNT; ++i)
        if (!m->GetButton(i) || m->GetButton(i)->IsHidden())
            said += std::string(said.empty() ? "no " : ", ") + names[i];
    return said;
}

// A message box's answer once it has closed.
std::string MessageAnswer(ScreenKeysTest& t) {
    if (ScreenKeysTest::Current<CControllerMessage>()) return "";
    return ScreenKeysTest::Answer(static_cast<CControllerMessage*>(t.owned[0].get())->IsConfirmed());
}

std::string PageOf(ScreenKeysTest&) {
    CControllerStory* story = ScreenKeysTest::Current<CControllerStory>();
    return story ? "page " + std::to_string(story->GetPageSprite()->GetFrame() + 1) : "";
}

const std::map<std::string, ScreenUnderTest> kScreens = {
    {"intro",
     {[](ScreenKeysTest& t) {
          t.intro = std::make_unique<CControllerIntro>();
          t.intro->Activate(nullptr);
          ScreenKeysTest::RunFor(1000);
      },
      nullptr}},
    {"main menu", {[](ScreenKeysTest& t) { t.FromMenu(-1); }, nullptr}},
    {"level map", {PlayerOnTheMap, nullptr}},
    {"level map, a level chosen by keys",
     {[](ScreenKeysTest& t) { PlayerOnTheMap(t), TapKey(SDLK_LEFT), ScreenKeysTest::Frames(2); }, ChosenLevel}},
    {"map explanation", {[](ScreenKeysTest& t) { t.OverPlay(new CControllerMessageTutorial()); }, nullptr}},
    {"level-set choice",
     {[](ScreenKeysTest& t) { t.OverPlay(new CControllerSetSelect()); },
      [](ScreenKeysTest& t) {
          return ScreenKeysTest::Current<CControllerSetSelect>() ? ""
                                                                 : "set " + std::to_string(t.owned[0]->GetValue());
      }}},
    {"story, one page", {[](ScreenKeysTest& t) { t.OverPlay(new CControllerStory(5)); }, PageOf}},
    {"story, two pages", {[](ScreenKeysTest& t) { t.OverPlay(new CControllerStory(0)); }, PageOf}},
    {"how to play",
     {[](ScreenKeysTest& t) { t.FromMenu(CControllerMain::BUTTON_INSTRUCTIONS); },
      [](ScreenKeysTest&) {
          auto* book = ScreenKeysTest::Current<CControllerInstructions>();
          return book ? "page " + std::to_string(book->GetPage()) : "";
      }}},
    {"how to play, last page",
     {[](ScreenKeysTest& t) {
          t.FromMenu(CControllerMain::BUTTON_INSTRUCTIONS);
          CController::GetCurrent()->GUICallback(CControllerInstructions::kTopics - 1, 0, false);
          ScreenKeysTest::Frame();
      },
      nullptr}},
    {"credits", {[](ScreenKeysTest& t) { t.FromMenu(CControllerMain::BUTTON_CREDITS); }, nullptr}},
    {"settings", {[](ScreenKeysTest& t) { t.FromMenu(CControllerMain::BUTTON_OPTIONS); }, nullptr}},
    {"key bindings",
     {[](ScreenKeysTest& t) {
          t.FromMenu(CControllerMain::BUTTON_OPTIONS);
          CController::GetCurrent()->GUICallback(CControllerOptions::BUTTON_CONTROLS, 0, false);
          ScreenKeysTest::Frames(2);
      },
      nullptr}},
    {"settings password",
     {[](ScreenKeysTest& t) {
          t.FromMenu(CControllerMain::BUTTON_OPTIONS);
          CController::GetCurrent()->GUICallback(CControllerOptions::BUTTON_PASSWORD, 0, false);
          ScreenKeysTest::Frames(2);
      },
      [](ScreenKeysTest&) {
          auto* dialog = ScreenKeysTest::Current<CControllerOptionsPassword>();
          return dialog ? ScreenKeysTest::Box(dialog->GetFocusedBox()) : "";
      }}},
    {"players", {[](ScreenKeysTest& t) { t.FromMenu(CControllerMain::BUTTON_PROFILE, 1); }, nullptr}},
    {"player name",
     {[](ScreenKeysTest& t) {
          t.FromMenu(CControllerMain::BUTTON_PROFILE, 1);
          CController::GetCurrent()->GUICallback(CControllerProfiles::BUTTON_ADD, 0, false);
          ScreenKeysTest::Frames(2);
          TypeText("Ann");
          ScreenKeysTest::Frame();
      },
      [](ScreenKeysTest& t) {
          auto* dialog = ScreenKeysTest::Current<CControllerTextEntryBase>();
          if (dialog) return ScreenKeysTest::Typed(dialog->GetTextbox());
          return std::string(t.Profile().GetProfileNumber("Ann") >= 0 ? "Ann added" : "nobody added");
      }}},
    {"question",
     {[](ScreenKeysTest& t) { t.OverPlay(new CControllerMessage(2214, 2323, true, 0)); },
      MessageAnswer}},
    {"message",
     {[](ScreenKeysTest& t) { t.OverPlay(new CControllerMessage(2216, 2326, false, 0)); },
      MessageAnswer}},
    {"password prompt",
     {[](ScreenKeysTest& t) {
          t.OverPlay(new CControllerPassword("abc"));
          TypeText("abc");
          ScreenKeysTest::Frame();
      },
      [](ScreenKeysTest& t) {
          auto* dialog = ScreenKeysTest::Current<CControllerPassword>();
          if (dialog) return ScreenKeysTest::Typed(dialog->GetTextbox());
          return std::string(static_cast<CControllerPassword*>(t.owned[0].get())->IsCancelled() ? "cancelled"
                                                                                                 : "accepted");
      }}},
    {"score board name",
     {[](ScreenKeysTest& t) {
          t.OverPlay(new CControllerScoreboardName(CControllerScoreboardName::Mark::kNone));
          TypeText("ann");
          ScreenKeysTest::Frame();
      },
      [](ScreenKeysTest& t) {
          auto* dialog = ScreenKeysTest::Current<CControllerScoreboardName>();
          if (dialog) return ScreenKeysTest::Typed(dialog->GetTextbox());
          const auto* closed = static_cast<CControllerScoreboardName*>(t.owned[0].get());
          return std::string(closed->IsCancelled() ? "cancelled" : closed->GetText());
      }}},
    {"play screen",
     {[](ScreenKeysTest& t) { t.OverPlay(new CControllerGame(&t.level, false, false, false), 80); }, nullptr}},
    {"in-game menu",
     {[](ScreenKeysTest& t) {
          t.OverPlay(new CControllerGame(&t.level, false, false, false), 80);
          TapKey(SDLK_ESCAPE);
          ScreenKeysTest::Frames(2);
      },
      [](ScreenKeysTest& t) {
          return ScreenKeysTest::Current<CControllerGame>() ? "answer " + std::to_string(t.owned[0]->GetValue())
                                                            : "";
      }}},
    {"score board",
     {[](ScreenKeysTest& t) { t.FromMenu(CControllerMain::BUTTON_SCORES); }, nullptr}},
    {"level lost",
     {[](ScreenKeysTest& t) { t.OverPlay(new CControllerScoreboard(SCOREBOARD_LOST, false)); },
      [](ScreenKeysTest& t) {
          return CController::GetCurrent() == &t.play ? "answer " + std::to_string(t.owned[0]->GetValue()) : "";
      }}},
    {"level solved",
     {[](ScreenKeysTest& t) {
          t.Profile().SetCurrentSet(0);
          t.Profile().SetCurrentLevel(0);
          t.OverPlay(new CControllerScoreboard(SCOREBOARD_SOLVED, false));
      },
      nullptr}},
    {"last level solved",
     {[](ScreenKeysTest& t) {
          t.Profile().SetCurrentSet(1);
          t.Profile().SetCurrentLevel(CLevelSet::GetSet(1)->GetLevelCount() - 1);
          t.OverPlay(new CControllerScoreboard(SCOREBOARD_SOLVED, false));
      },
      nullptr}},
    {"level manager",
     {[](ScreenKeysTest& t) {
          t.WriteLevelFile();
          CControllerManager::SetGameScreenFactory([](CLevel* l) -> std::unique_ptr<CController> {
              return std::make_unique<CControllerGame>(l, false, false, false);
          });
          t.FromMenu(CControllerMain::BUTTON_MANAGER);
      },
      Unshown}},
    {"level manager, no levels", {[](ScreenKeysTest& t) { t.FromMenu(CControllerMain::BUTTON_MANAGER); }, Unshown}},
    {"editor",
     {[](ScreenKeysTest& t) {
          t.FromMenu(CControllerMain::BUTTON_EDITOR);
          TapKey(SDLK_y);  // grass
          TapKey(SDLK_RETURN);
          ScreenKeysTest::Frames(2);
      },
      [](ScreenKeysTest&) {
          auto* editor = ScreenKeysTest::Current<CControllerEditor>();
          if (!editor) return std::string();
          const CLevel* l = editor->GetModel().GetLevel();
          for (int x = 0; x < CLevel::kWidth; ++x)
              for (int y = 0; y < CLevel::kHeight; ++y)
                  if (l->GetTile(x, y) == static_cast<uint32_t>(TERRAIN_GRASS)) return std::string("grass placed");
          return std::string();
      }}},
    {"toolbox",
     {[](ScreenKeysTest& t) { t.FromMenu(CControllerMain::BUTTON_EDITOR); },
      [](ScreenKeysTest&) {
          auto* box = ScreenKeysTest::Current<CControllerEditorPalette>();
          return box ? "tool " + std::to_string(box->GetTool()) : "";
      }}},
    {"editor help", {[](ScreenKeysTest& t) { t.OverPlay(new CControllerEditorHelp()); }, nullptr}},
    {"editor load",
     {[](ScreenKeysTest& t) {
          t.WriteLevelFile();
          t.OverPlay(new CControllerEditorLoad());
      },
      [](ScreenKeysTest& t) {
          if (ScreenKeysTest::Current<CControllerEditorLoad>()) return std::string();
          const auto* closed = static_cast<CControllerEditorLoad*>(t.owned[0].get());
          return closed->IsCancelled() ? std::string("cancelled") : "chose " + closed->GetFileName();
      }}},
    {"editor save",
     {[](ScreenKeysTest& t) { t.OverPlay(new CControllerEditorSave(&t.level)); },
      [](ScreenKeysTest&) {
          auto* dialog = ScreenKeysTest::Current<CControllerEditorSave>();
          return dialog ? ScreenKeysTest::Box(dialog->GetFocus()) : "";
      }}},
    {"tutorial text",
     {[](ScreenKeysTest& t) { t.OverPlay(new CControllerEditorTutorial("")); },
      [](ScreenKeysTest&) {
          auto* dialog = ScreenKeysTest::Current<CControllerEditorTutorial>();
          return dialog ? ScreenKeysTest::Typed(dialog->GetTextbox()) : "";
      }}},
};

TEST_P(ScreenKeysTest, EveryScreenAnswersReturnSpaceEscapeTabAndShiftTab) {
    const KeyRow& row = GetParam();
    const auto it = kScreens.find(row.screen);
    ASSERT_NE(it, kScreens.end()) << row.screen;
    it->second.open(*this);
    tested = CController::GetCurrent();
    ASSERT_NE(tested, nullptr);
    openedOver = tested->GetParent();
    // The pointer rests where no widget is: the keys alone decide.
    PushPointerMotion(400, 2);
    Frames(2);
    ASSERT_EQ(CController::GetCurrent(), tested);
    ASSERT_EQ(CGuiButtonBase::GetFocusedButton(), nullptr);
    // What Return presses looks as the focused button does.
    if (auto* pressed = dynamic_cast<CGuiButton*>(CGuiButtonBase::GetDefaultButton())) {
        EXPECT_FALSE(pressed->GetRolloverSprite()->IsHidden()) << "the default button looks like one";
    }
    if (row.shift) PushKey(true, SDLK_LSHIFT, KMOD_LSHIFT);
    TapKey(row.key, row.shift ? KMOD_LSHIFT : KMOD_NONE);
    if (row.shift) PushKey(false, SDLK_LSHIFT);
    Frames(3);
    EXPECT_EQ(Outcome(it->second), row.happens);
}

// clang-format off
const KeyRow kKeys[] = {
    {"intro", SDLK_RETURN, "to main menu"},
    {"intro", SDLK_SPACE, "to main menu"},
    {"intro", SDLK_ESCAPE, "to main menu"},
    {"intro", SDLK_TAB, "to main menu"},
    {"intro", SDLK_TAB, "to main menu", true},
    // Play (the map asks a new player for a set first); Escape does nothing
    // on the game's first screen (Alt+Q quits).
    {"main menu", SDLK_RETURN, "to level-set choice"},
    {"main menu", SDLK_SPACE, "to level-set choice"},
    {"main menu", SDLK_ESCAPE, "stays"},
    {"main menu", SDLK_TAB, "stays, focus moved"},
    {"main menu", SDLK_TAB, "stays, focus moved back", true},
    // Play the level selected.
    {"level map", SDLK_RETURN, "to play screen"},
    {"level map", SDLK_SPACE, "to play screen"},
    {"level map", SDLK_ESCAPE, "closes"},
    {"level map", SDLK_TAB, "stays, focus moved"},
    {"level map", SDLK_TAB, "stays, focus moved back", true},
    // The arrows step along the open levels, onto their dots: Left chose the
    // first (solved) level, Return plays it (its story first), Right goes
    // back to the second, Up stays on the first.
    {"level map", SDLK_DOWN, "stays, focus moved back"},
    {"level map, a level chosen by keys", SDLK_RETURN, "to story: level 0"},
    {"level map, a level chosen by keys", SDLK_RIGHT, "stays, focus moved back: level 1"},
    {"level map, a level chosen by keys", SDLK_UP, "stays, focus moved back: level 0"},
    {"map explanation", SDLK_RETURN, "closes"},
    {"map explanation", SDLK_SPACE, "closes"},
    {"map explanation", SDLK_ESCAPE, "closes"},
    {"map explanation", SDLK_TAB, "stays, focus moved"},
    {"map explanation", SDLK_TAB, "stays, focus moved", true},
    // The regular set; a set must be chosen, so Escape stays.
    {"level-set choice", SDLK_RETURN, "closes: set 0"},
    {"level-set choice", SDLK_SPACE, "closes: set 0"},
    {"level-set choice", SDLK_ESCAPE, "stays"},
    {"level-set choice", SDLK_TAB, "stays, focus moved"},
    {"level-set choice", SDLK_TAB, "stays, focus moved back", true},
    {"story, one page", SDLK_RETURN, "closes"},
    {"story, one page", SDLK_SPACE, "closes"},
    {"story, one page", SDLK_ESCAPE, "closes"},
    {"story, one page", SDLK_TAB, "stays, focus moved: page 1"},
    {"story, one page", SDLK_TAB, "stays, focus moved: page 1", true},
    // Next, then done on the second page.
    {"story, two pages", SDLK_RETURN, "stays: page 2"},
    {"story, two pages", SDLK_SPACE, "stays: page 2"},
    {"story, two pages", SDLK_ESCAPE, "closes"},
    {"story, two pages", SDLK_TAB, "stays, focus moved: page 1"},
    {"story, two pages", SDLK_TAB, "stays, focus moved: page 1", true},
    // Next page; on the last page, done.
    {"how to play", SDLK_RETURN, "stays: page 1"},
    {"how to play", SDLK_SPACE, "stays: page 1"},
    {"how to play", SDLK_ESCAPE, "closes"},
    {"how to play", SDLK_TAB, "stays, focus moved: page 0"},
    {"how to play", SDLK_TAB, "stays, focus moved back: page 0", true},
    {"how to play, last page", SDLK_RETURN, "closes"},
    {"how to play, last page", SDLK_ESCAPE, "closes"},
    {"credits", SDLK_RETURN, "closes"},
    {"credits", SDLK_SPACE, "closes"},
    {"credits", SDLK_ESCAPE, "closes"},
    {"credits", SDLK_TAB, "stays, focus moved"},
    {"credits", SDLK_TAB, "stays, focus moved", true},
    // Back to the menu.
    {"settings", SDLK_RETURN, "closes"},
    {"settings", SDLK_SPACE, "closes"},
    {"settings", SDLK_ESCAPE, "closes"},
    {"settings", SDLK_TAB, "stays, focus moved"},
    {"settings", SDLK_TAB, "stays, focus moved back", true},
    // Save; Escape leaves without saving.
    {"key bindings", SDLK_RETURN, "closes"},
    {"key bindings", SDLK_SPACE, "closes"},
    {"key bindings", SDLK_ESCAPE, "closes"},
    {"key bindings", SDLK_TAB, "stays, focus moved"},
    {"key bindings", SDLK_TAB, "stays, focus moved back", true},
    // Return walks from box to box and onto okay; Space belongs to the box.
    {"settings password", SDLK_RETURN, "stays: box 2"},
    {"settings password", SDLK_SPACE, "stays: box 1"},
    {"settings password", SDLK_ESCAPE, "closes"},
    {"settings password", SDLK_TAB, "stays: box 2"},
    {"settings password", SDLK_TAB, "stays, focus moved back: on the buttons", true},
    // Choose the selected player; a player must be chosen, so Escape stays.
    // The arrows move in the list.
    {"players", SDLK_DOWN, "stays, focus moved back"},
    {"players", SDLK_RETURN, "closes"},
    {"players", SDLK_SPACE, "closes"},
    {"players", SDLK_ESCAPE, "stays"},
    {"players", SDLK_TAB, "stays, focus moved"},
    {"players", SDLK_TAB, "stays, focus moved back", true},
    {"player name", SDLK_RETURN, "closes: Ann added"},
    {"player name", SDLK_SPACE, "stays: text 'Ann '"},
    {"player name", SDLK_ESCAPE, "closes: nobody added"},
    {"player name", SDLK_TAB, "stays, focus moved: text 'Ann'"},
    {"player name", SDLK_TAB, "stays, focus moved back: text 'Ann'", true},
    // A question's default is no; a message's is yes.
    {"question", SDLK_RETURN, "closes: no"},
    {"question", SDLK_SPACE, "closes: no"},
    {"question", SDLK_ESCAPE, "closes: no"},
    {"question", SDLK_TAB, "stays, focus moved"},
    {"question", SDLK_TAB, "stays, focus moved back", true},
    {"message", SDLK_RETURN, "closes: yes"},
    {"message", SDLK_SPACE, "closes: yes"},
    {"message", SDLK_ESCAPE, "closes: yes"},
    {"message", SDLK_TAB, "stays, focus moved"},
    {"message", SDLK_TAB, "stays, focus moved", true},
    {"password prompt", SDLK_RETURN, "closes: accepted"},
    {"password prompt", SDLK_SPACE, "stays: text 'abc'"},
    {"password prompt", SDLK_ESCAPE, "closes: cancelled"},
    {"password prompt", SDLK_TAB, "stays, focus moved: text 'abc'"},
    {"password prompt", SDLK_TAB, "stays, focus moved back: text 'abc'", true},
    {"score board name", SDLK_RETURN, "closes: ann"},
    {"score board name", SDLK_SPACE, "stays: text 'ann '"},
    {"score board name", SDLK_ESCAPE, "closes: cancelled"},
    {"score board name", SDLK_TAB, "stays, focus moved: text 'ann'"},
    {"score board name", SDLK_TAB, "stays, focus moved back: text 'ann'", true},
    // No button: a key the player has not bound opens the in-game menu; the
    // arrows walk and climb.
    {"play screen", SDLK_UP, "stays"},
    {"play screen", SDLK_DOWN, "stays"},
    {"play screen", SDLK_RETURN, "to in-game menu"},
    {"play screen", SDLK_SPACE, "to in-game menu"},
    {"play screen", SDLK_ESCAPE, "to in-game menu"},
    {"play screen", SDLK_TAB, "to in-game menu"},
    {"play screen", SDLK_TAB, "to in-game menu", true},
    // Resume.
    {"in-game menu", SDLK_RETURN, "closes: answer 0"},
    {"in-game menu", SDLK_SPACE, "closes: answer 0"},
    {"in-game menu", SDLK_ESCAPE, "closes: answer 0"},
    {"in-game menu", SDLK_TAB, "stays, focus moved"},
    {"in-game menu", SDLK_TAB, "stays, focus moved back", true},
    // Back to the menu.
    {"score board", SDLK_RETURN, "closes"},
    {"score board", SDLK_SPACE, "closes"},
    {"score board", SDLK_ESCAPE, "closes"},
    {"score board", SDLK_TAB, "stays, focus moved"},
    {"score board", SDLK_TAB, "stays, focus moved back", true},
    // Retry; the page after a level stays until the player chooses.
    {"level lost", SDLK_RETURN, "closes: answer 1"},
    {"level lost", SDLK_SPACE, "closes: answer 1"},
    {"level lost", SDLK_ESCAPE, "stays"},
    {"level lost", SDLK_TAB, "stays, focus moved"},
    {"level lost", SDLK_TAB, "stays, focus moved back", true},
    // Continue to the map; after a set's last level, the main menu.
    {"level solved", SDLK_RETURN, "to level map"},
    {"level solved", SDLK_SPACE, "to level map"},
    {"level solved", SDLK_ESCAPE, "stays"},
    {"level solved", SDLK_TAB, "stays, focus moved"},
    {"level solved", SDLK_TAB, "stays, focus moved back", true},
    {"last level solved", SDLK_RETURN, "to main menu"},
    {"last level solved", SDLK_ESCAPE, "stays"},
    // Play the selected level.
    {"level manager", SDLK_RETURN, "to play screen"},
    {"level manager", SDLK_SPACE, "to play screen"},
    {"level manager", SDLK_ESCAPE, "closes"},
    {"level manager", SDLK_TAB, "stays, focus moved: no More"},
    {"level manager", SDLK_TAB, "stays, focus moved back: no More", true},
    {"level manager", SDLK_UP, "stays, focus moved: no More"},
    // Nothing to play: no Play, and no button of the list.
    {"level manager, no levels", SDLK_RETURN, "stays: no Up, Down, Play, Remove, More"},
    // No button: Return and Space place the tool at the cursor, Escape
    // opens the toolbox.
    {"editor", SDLK_RETURN, "stays: grass placed"},
    {"editor", SDLK_SPACE, "stays: grass placed"},
    {"editor", SDLK_ESCAPE, "to toolbox"},
    {"editor", SDLK_TAB, "stays"},
    {"editor", SDLK_TAB, "stays", true},
    // No button: Return and Space take the tool selected, Escape leaves;
    // Tab moves the choice along the codes, the arrows in the grid.
    {"toolbox", SDLK_RETURN, "closes"},
    {"toolbox", SDLK_SPACE, "closes"},
    {"toolbox", SDLK_ESCAPE, "closes"},
    {"toolbox", SDLK_TAB, "stays: tool 6"},
    {"toolbox", SDLK_TAB, "stays: tool 4", true},
    {"toolbox", SDLK_UP, "stays: tool 5"},
    {"toolbox", SDLK_DOWN, "stays: tool 11"},
    {"toolbox", SDLK_LEFT, "stays: tool 4"},
    {"toolbox", SDLK_RIGHT, "stays: tool 5"},
    {"editor help", SDLK_RETURN, "closes"},
    {"editor help", SDLK_SPACE, "closes"},
    {"editor help", SDLK_ESCAPE, "closes"},
    {"editor help", SDLK_TAB, "stays, focus moved"},
    {"editor help", SDLK_TAB, "stays, focus moved", true},
    {"editor load", SDLK_RETURN, "closes: chose walk"},
    {"editor load", SDLK_SPACE, "closes: chose walk"},
    {"editor load", SDLK_ESCAPE, "closes: cancelled"},
    {"editor load", SDLK_TAB, "stays, focus moved"},
    {"editor load", SDLK_TAB, "stays, focus moved back", true},
    {"editor load", SDLK_DOWN, "stays, focus moved back"},
    {"editor save", SDLK_RETURN, "stays: box 2"},
    {"editor save", SDLK_SPACE, "stays: box 1"},
    {"editor save", SDLK_ESCAPE, "closes"},
    {"editor save", SDLK_TAB, "stays: box 2"},
    {"editor save", SDLK_TAB, "stays, focus moved back: on the buttons", true},
    // Return is a new line in the text; the buttons take it once in focus.
    {"tutorial text", SDLK_RETURN, "stays: text '%n'"},
    {"tutorial text", SDLK_SPACE, "stays: text ' '"},
    {"tutorial text", SDLK_ESCAPE, "closes"},
    {"tutorial text", SDLK_TAB, "stays, focus moved: text ''"},
    {"tutorial text", SDLK_TAB, "stays, focus moved back: text ''", true},
};
// clang-format on

// The rows above, and the arrows a screen has no row of its own for: Up as
// its Shift+Tab, Down as its Tab, Left as its Up and Right as its Down.
std::vector<KeyRow> EveryRow() {
    std::vector<KeyRow> rows(std::begin(kKeys), std::end(kKeys));
    auto row = [&rows](const char* screen, SDLKey key, bool shift) -> const char* {
        for (const KeyRow& r : rows)
            if (std::string(r.screen) == screen && r.key == key && r.shift == shift) return r.happens;
        return nullptr;
    };
    const SDLKey arrows[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
    const SDLKey like[] = {SDLK_TAB, SDLK_TAB, SDLK_UP, SDLK_DOWN};
    for (const KeyRow& tab : kKeys)
        for (int i = 0; i < 4; ++i)
            if (tab.key == SDLK_TAB && !tab.shift && !row(tab.screen, arrows[i], false))
                rows.push_back({tab.screen, arrows[i], row(tab.screen, like[i], i == 0)});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, ScreenKeysTest, ::testing::ValuesIn(EveryRow()),
                         [](const ::testing::TestParamInfo<KeyRow>& info) {
                             std::string name;
                             for (const char* c = info.param.screen; *c; ++c)
                                 if (isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name + "_" + KeyWord(info.param.key, info.param.shift);
                         });

}  // namespace
