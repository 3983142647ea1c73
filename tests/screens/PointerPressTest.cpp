// A press of the mouse button acts where it lands, whatever the last frame
// saw under the pointer: moved onto a widget and pressed within one frame
// (a quick flick), or pressed with no motion before it (a touch screen's
// tap, whose button event alone carries the place). One row per kind of
// thing a press can act on, each on its real screen.
#include <gtest/gtest.h>

#include <SDL.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "editor/CControllerEditor.h"
#include "editor/CControllerEditorPalette.h"
#include "engine/CController.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiButtonMapDot.h"
#include "gui/CGuiCheckbox.h"
#include "gui/CGuiListbox.h"
#include "gui/CGuiSlider.h"
#include "players/CProfile.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerMap.h"
#include "screens/CControllerOptions.h"
#include "screens/CControllerProfiles.h"
#include "tests/screens/ScreenTest.h"
#include "world/CLevel.h"

namespace {

using Options = CControllerOptions;
using Palette = CControllerEditorPalette;

struct Spot {
    int x, y;
};

// The pointer rests on `from` for a frame; then it comes to `to` and the
// button goes down and up there.
struct Aim {
    Spot from, to;
};

class PointerPressTest;

struct PressRow {
    const char* name;
    const char* what;
    // The motion onto the target comes in the same frame as the press;
    // otherwise the press alone brings the pointer there.
    bool movedInTheSameFrame;
    // Opens the screen from the main menu; where the pointer rests and where
    // the press lands.
    std::function<Aim(PointerPressTest&)> open;
    // Whether the press acted on what it landed on.
    std::function<bool(PointerPressTest&)> acted;
};

void PrintTo(const PressRow& row, std::ostream* os) { *os << row.what; }

Spot Centre(const CGuiButton* b) { return {b->GetCentreX(), b->GetCentreY()}; }
Spot Centre(const CGuiCheckbox* c) { return {c->GetX() + 11, c->GetY() + 11}; }
Spot Centre(CGuiButtonMapDot* d) {
    const Rect r = d->GetCurrentSprite()->GetRect();
    return {r.x + r.w / 2, r.y + r.h / 2};
}
Spot RowCentre(const CGuiListbox* list, int row) {
    return {list->GetX() + 60, list->GetY() + list->GetRowsTop() + list->GetRowHeight() * row + list->GetRowHeight() / 2};
}
Spot PaletteCell(int column, int row) {
    return {Palette::kGridX + Palette::kCellW * column + 34, Palette::kGridY + Palette::kCellH * row + 25};
}
Spot EditorCell(int column, int row) { return {15 + 24 * column + 12, 15 + 24 * row + 12}; }

class PointerPressTest : public ScreenTest, public ::testing::WithParamInterface<PressRow> {
public:
    void SetUp() override {
        ScreenTest::SetUp();
        ASSERT_TRUE(StartNewPlayer());
        menu = std::make_unique<CControllerMain>();
        menu->Activate(nullptr);
        Frame();
    }
    void TearDown() override {
        CController::ResetStack();
        if (CRender::IsSwapped()) CRender::Swap(true);
        menu.reset();
        ForgetPlayer();
        ScreenTest::TearDown();
    }
    // A menu button's action, then frames until the screen it opens has
    // had its first frames.
    void Choose(int button, int frames = 2) {
        menu->GUICallback(button, 0, false);
        Frames(frames);
    }
    template <typename Screen>
    static Screen* Current() {
        return dynamic_cast<Screen*>(CController::GetCurrent());
    }
    CControllerEditor* Editor() {
        Palette* palette = Current<Palette>();
        return palette ? dynamic_cast<CControllerEditor*>(palette->GetParent()) : Current<CControllerEditor>();
    }

    std::unique_ptr<CControllerMain> menu;
    int before = 0;
};

TEST_P(PointerPressTest, APressActsOnWhatItLandsOnNotOnWhatWasHoveredBefore) {
    const PressRow& row = GetParam();
    const Aim aim = row.open(*this);
    PushPointerMotion(aim.from.x, aim.from.y);
    Frame();
    if (row.movedInTheSameFrame) PushPointerMotion(aim.to.x, aim.to.y);
    PushButton(true, SDL_BUTTON_LEFT, aim.to.x, aim.to.y);
    PushButton(false, SDL_BUTTON_LEFT, aim.to.x, aim.to.y);
    Frames(2);
    EXPECT_TRUE(row.acted(*this));
}

const PressRow kRows[] = {
    {"ButtonFlick", "button, moved onto from another button", true,
     [](PointerPressTest& t) {
         return Aim{Centre(t.menu->GetButton(CControllerMain::BUTTON_CREDITS)),
                    Centre(t.menu->GetButton(CControllerMain::BUTTON_OPTIONS))};
     },
     [](PointerPressTest&) { return CController::GetCurrentId() == CONTROLLER_OPTIONS; }},
    {"ButtonTap", "button, tapped with nothing hovered", false,
     [](PointerPressTest& t) {
         return Aim{{300, 300}, Centre(t.menu->GetButton(CControllerMain::BUTTON_INSTRUCTIONS))};
     },
     [](PointerPressTest&) { return CController::GetCurrentId() == CONTROLLER_INSTRUCTIONS; }},
    {"MapDot", "map dot, moved onto from the selected dot", true,
     [](PointerPressTest& t) {
         t.Profile().SetCurrentSet(1);
         t.Profile().SetLevelSteps(30, 1, 0);
         t.Choose(CControllerMain::BUTTON_PLAY, 60);
         CControllerMap* map = PointerPressTest::Current<CControllerMap>();
         return Aim{Centre(map->GetDot(1)), Centre(map->GetDot(0))};
     },
     [](PointerPressTest&) {
         CControllerMap* map = PointerPressTest::Current<CControllerMap>();
         return map && map->GetCurrentLevel() == 0 && CGuiButtonMapDot::GetSelectedDotId() == 0;
     }},
    {"ListRow", "list row, moved onto from the select button", true,
     [](PointerPressTest& t) {
         EXPECT_TRUE(t.Profile().CreateProfile("red"));
         EXPECT_TRUE(t.Profile().CreateProfile("blue"));
         t.Choose(CControllerMain::BUTTON_PROFILE, 1);
         CControllerProfiles* screen = PointerPressTest::Current<CControllerProfiles>();
         return Aim{Centre(screen->GetButton(CControllerProfiles::BUTTON_SELECT)), RowCentre(screen->GetList(), 0)};
     },
     [](PointerPressTest&) {
         CControllerProfiles* screen = PointerPressTest::Current<CControllerProfiles>();
         return screen && screen->GetList()->GetSelectedIndex() == 0;
     }},
    {"CheckBox", "check box, moved onto from another box", true,
     [](PointerPressTest& t) {
         t.Choose(CControllerMain::BUTTON_OPTIONS);
         Options* options = PointerPressTest::Current<Options>();
         t.before = t.Profile().IsStepCounterEnabled();
         return Aim{Centre(options->GetCheckbox(Options::CHECK_STORY)),
                    Centre(options->GetCheckbox(Options::CHECK_STEP_COUNTER))};
     },
     [](PointerPressTest& t) { return t.Profile().IsStepCounterEnabled() != t.before; }},
    {"Slider", "slider, moved onto its plus from its minus", true,
     [](PointerPressTest& t) {
         t.Profile().SetMusicVolume(5);
         t.Choose(CControllerMain::BUTTON_OPTIONS);
         Options* options = PointerPressTest::Current<Options>();
         return Aim{Centre(options->GetButton(Options::BUTTON_MUSIC_DOWN)),
                    Centre(options->GetButton(Options::BUTTON_MUSIC_UP))};
     },
     [](PointerPressTest& t) {
         Options* options = PointerPressTest::Current<Options>();
         return options && options->GetSlider(Options::SLIDER_MUSIC)->GetValue() == 6 &&
                t.Profile().GetMusicVolume() == 6;
     }},
    {"EditorToolbox", "editor toolbox, tapped away from the pointer", false,
     [](PointerPressTest& t) {
         t.Choose(CControllerMain::BUTTON_EDITOR);
         return Aim{PaletteCell(1, 2), PaletteCell(4, 3)};
     },
     [](PointerPressTest& t) {
         CControllerEditor* editor = t.Editor();
         return CController::GetCurrentId() == CONTROLLER_EDITOR && editor &&
                editor->GetPalette()->GetTool() == static_cast<uint32_t>(TERRAIN_GRASS);
     }},
    {"EditorGrid", "editor grid, tapped away from the pointer", false,
     [](PointerPressTest& t) {
         t.Choose(CControllerMain::BUTTON_EDITOR);
         TapKey(SDLK_y);  // grass
         TapKey(SDLK_RETURN);
         PointerPressTest::Frames(2);
         EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_EDITOR);
         return Aim{EditorCell(3, 23), EditorCell(10, 23)};
     },
     [](PointerPressTest& t) {
         CLevel* level = t.Editor()->GetModel().GetLevel();
         return level->GetTile(10, 23) == static_cast<uint32_t>(TERRAIN_GRASS) &&
                level->GetTile(3, 23) != static_cast<uint32_t>(TERRAIN_GRASS);
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryKind, PointerPressTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<PressRow>& info) { return std::string(info.param.name); });

}  // namespace
