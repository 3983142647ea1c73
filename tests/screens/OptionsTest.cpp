// The options screen and the key-binding screen, opened from the main menu
// and driven by pointer and key events: every option acts on what it names
// at once and reaches the profile file when the screen is left; bindings are
// edited on a copy and reach the profile on Save.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <memory>
#include <string>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiCheckbox.h"
#include "gui/CGuiSlider.h"
#include "platform/CAudioMixer.h"
#include "platform/CAudioSystem.h"
#include "players/CProfile.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerOptions.h"
#include "screens/CControllerOptionsControls.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "tests/screens/ScreenTest.h"

namespace {

using Options = CControllerOptions;
using Controls = CControllerOptionsControls;

// Clicks at the centre of a push button, a check box or a key box.
void ClickButton(CGuiButton* b) {
    ASSERT_NE(b, nullptr);
    ScreenTest::Click(b->GetCentreX(), b->GetCentreY());
    ScreenTest::Frames(2);
}
void ClickBox(CGuiCheckbox* c) {
    ASSERT_NE(c, nullptr);
    ScreenTest::Click(c->GetX() + 11, c->GetY() + 11);
    ScreenTest::Frames(2);
}

bool Checked(CGuiCheckbox* c) { return !c->GetSprite(CGuiCheckbox::LOOK_CHECKED)->IsHidden(); }

float MixerVolume(CSoundObject* o) {
    float v = -1.0f;
    CSound::System()->Mixer()->GetVolume(o->Channel(), &v);
    return v;
}

// The main menu as the root screen, with the options screen opened by its
// button.
class OptionsTest : public ScreenTest {
public:
    static void SetUpTestSuite() { StartWorld(true); }

protected:
    void SetUp() override {
        ScreenTest::SetUp();
        // Each test starts from a new player's options in a window, whatever
        // the test before it left on the suite's shared profile.
        Profile().SetOptionDefaults();
        Profile().SetFullscreen(0);
    }
    Options* OpenOptions() {
        root.reset(new CControllerMain());
        root->Activate(nullptr);
        Frame();
        ClickButton(root->GetButton(CControllerMain::BUTTON_OPTIONS));
        Frame();
        EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_OPTIONS);
        return dynamic_cast<Options*>(CController::GetCurrent());
    }
    void TearDown() override {
        root.reset();
        ScreenTest::TearDown();
    }
    std::unique_ptr<CControllerMain> root;
};

class ControlsTest : public OptionsTest {
public:
    static void SetUpTestSuite() { StartWorld(false); }

protected:
    Controls* OpenControls(Options* options) {
        ClickButton(options->GetButton(Options::BUTTON_CONTROLS));
        EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_CONTROLS);
        return options->GetControls();
    }
    // The box's caption is the key-name picture of that text.
    static bool CaptionShows(CGuiButton* box, const char* text) {
        CSprite* caption = box->GetTextSprite();
        if (!caption) return false;
        SDL_Surface* shown = CDraw::GetSurface(caption->GetFrameImage(0));
        const int expected = CDraw::LoadSurface(
            FontRenderString(Controls::kCaptionWidth, Controls::kCaptionHeight, 3, 112, text), nullptr);
        SDL_Surface* want = CDraw::GetSurface(expected);
        bool same = shown && want && shown->w == want->w && shown->h == want->h;
        for (int y = 0; same && y < want->h; ++y)
            for (int x = 0; same && x < want->w; ++x)
                same = CDraw::GetPixel(shown, x, y) == CDraw::GetPixel(want, x, y);
        CDraw::ReleaseImage(expected);
        return same;
    }
};

TEST_F(OptionsTest, EveryOptionActsAtOnceAndReachesTheFileOnTheWayOut) {
    ASSERT_TRUE(CSound::IsReady());
    CProfile* p = &Profile();
    Options* options = OpenOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(CRender::IsSwapped()) << "the menu stays frozen behind";
    // The title is centred on the page, in the middle of the screen.
    const SDL_Rect title = InkSpan(100, 58, 700, 98);
    EXPECT_NEAR(title.x + title.w / 2.0, 400, 1.5);
    // So are the slider rows, from the widest caption to the plus buttons,
    // and the block of check boxes below them, from caption to box.
    CGuiButton* minus = options->GetButton(Options::BUTTON_SPEED_DOWN);
    const SDL_Rect sliderCaptions = InkSpan(60, minus->GetY() - 10, minus->GetX(), 270);
    const SDL_Rect plus = OpaqueBox("slider_button_plusbase.png");
    const int plusRight = options->GetButton(Options::BUTTON_SPEED_UP)->GetX() + plus.x + plus.w;
    EXPECT_NEAR((sliderCaptions.x + plusRight) / 2.0, 400, 1.5);
    CGuiCheckbox* full = options->GetCheckbox(Options::CHECK_FULLSCREEN);
    const SDL_Rect boxCaptions = InkSpan(60, full->GetY(), full->GetX(), full->GetY() + 100);
    const SDL_Rect box = OpaqueBox("checkbox_base.png");
    EXPECT_NEAR((boxCaptions.x + full->GetX() + box.x + box.w) / 2.0, 400, 1.5);
    // The main-menu music has faded in by now.
    RunFor(2000);
    CSoundObject* music = CSound::GetCurrentMusic();
    ASSERT_NE(music, nullptr);
    ASSERT_TRUE(CSound::IsPlaying(music));
    EXPECT_EQ(options->GetSlider(Options::SLIDER_SPEED)->GetValue(), 6);
    EXPECT_EQ(options->GetSlider(Options::SLIDER_MOUSE)->GetValue(), 5);

    // Music down: its channel plays at (5/11)^2 and nothing else starts.
    ClickButton(options->GetButton(Options::BUTTON_MUSIC_DOWN));
    EXPECT_EQ(p->GetMusicVolume(), 5);
    EXPECT_NEAR(MixerVolume(music), (5.0 / 11) * (5.0 / 11), 1e-6);
    EXPECT_FALSE(CSound::IsPlaying(options->GetSample()));
    // Effects up: the sample plays at the new volume, 7/11.
    ClickButton(options->GetButton(Options::BUTTON_EFFECTS_UP));
    EXPECT_EQ(p->GetSoundVolume(), 7);
    ASSERT_TRUE(CSound::IsPlaying(options->GetSample()));
    EXPECT_NEAR(MixerVolume(options->GetSample()), 7.0 / 11, 1e-6);
    EXPECT_NEAR(MixerVolume(music), (5.0 / 11) * (5.0 / 11), 1e-6);

    // Game speed up twice: a level started now runs at 25 ms a frame.
    ClickButton(options->GetButton(Options::BUTTON_SPEED_UP));
    ClickButton(options->GetButton(Options::BUTTON_SPEED_UP));
    EXPECT_EQ(p->GetGameSpeed(), 8);
    EXPECT_EQ(options->GetSlider(Options::SLIDER_SPEED)->GetBar()->GetWidth(false), 82);
    CDraw::SetFrameRate(p->GetGameSpeed());
    EXPECT_EQ(CDraw::GetFramePeriod(), 25u);
    CDraw::SetFrameRate(-1);

    // Pointer: with the system pointer off, the mouse speed applies to motion.
    CGuiButton* mouseUp = options->GetButton(Options::BUTTON_MOUSE_UP);
    EXPECT_TRUE(mouseUp->IsDisabled());
    EXPECT_TRUE(options->GetSlider(Options::SLIDER_MOUSE)->IsDisabled());
    ClickBox(options->GetCheckbox(Options::CHECK_SYSTEM_POINTER));
    EXPECT_EQ(p->GetSystemPointer(), 0);
    EXPECT_FALSE(GetSystemPointer());
    EXPECT_FALSE(mouseUp->IsDisabled());
    ClickButton(mouseUp);
    EXPECT_FLOAT_EQ(p->GetMouseSpeed(), 1.1f);
    EXPECT_FLOAT_EQ(GetMouseSpeed(), 1.1f);
    const int x0 = GetMouseX(), y0 = GetMouseY();
    PushPointerMotion(0, 0, 20, 10);
    Frame();
    EXPECT_EQ(GetMouseX(), x0 + 22);
    EXPECT_EQ(GetMouseY(), y0 + 11);
    // Back on: the slider and its buttons stop reacting.
    ClickBox(options->GetCheckbox(Options::CHECK_SYSTEM_POINTER));
    EXPECT_EQ(p->GetSystemPointer(), 1);
    EXPECT_TRUE(GetSystemPointer());
    ClickButton(mouseUp);
    EXPECT_FLOAT_EQ(p->GetMouseSpeed(), 1.1f);
    EXPECT_EQ(options->GetSlider(Options::SLIDER_MOUSE)->GetValue(), 6);

    // Full screen switches the display at once, both ways.
    ASSERT_FALSE(CDraw::IsFullscreen());
    ClickBox(options->GetCheckbox(Options::CHECK_FULLSCREEN));
    EXPECT_TRUE(CDraw::IsFullscreen());
    EXPECT_EQ(p->IsFullscreen(), 1);
    ClickBox(options->GetCheckbox(Options::CHECK_FULLSCREEN));
    EXPECT_FALSE(CDraw::IsFullscreen());

    // The three play flags.
    ClickBox(options->GetCheckbox(Options::CHECK_STORY));
    ClickBox(options->GetCheckbox(Options::CHECK_STEP_COUNTER));
    ClickBox(options->GetCheckbox(Options::CHECK_TUTORIALS));
    EXPECT_EQ(p->IsStoryEnabled(), 0);
    EXPECT_EQ(p->IsStepCounterEnabled(), 0);
    EXPECT_EQ(p->IsTutorialLevelsEnabled(), 0);

    // Back to the menu: the file holds every change.
    ClickButton(options->GetButton(Options::BUTTON_BACK));
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_FALSE(CRender::IsSwapped());
    CProfile reread;
    EXPECT_EQ(reread.GetGameSpeed(), 8);
    EXPECT_EQ(reread.GetSoundVolume(), 7);
    EXPECT_EQ(reread.GetMusicVolume(), 5);
    EXPECT_FLOAT_EQ(reread.GetMouseSpeed(), 1.1f);
    EXPECT_EQ(reread.GetSystemPointer(), 1);
    EXPECT_EQ(reread.IsFullscreen(), 0);
    EXPECT_EQ(reread.IsStoryEnabled(), 0);
    EXPECT_EQ(reread.IsStepCounterEnabled(), 0);
    EXPECT_EQ(reread.IsTutorialLevelsEnabled(), 0);
}

TEST_F(OptionsTest, DefaultsRestoreEverythingAndEscapeSavesLikeBack) {
    CProfile* p = &Profile();
    p->SetGameSpeed(2);
    p->SetSoundVolume(3);
    p->SetMusicVolume(4);
    p->SetSystemPointer(0);
    p->SetMouseSpeed(2.0f);
    p->SetStoryEnabled(0);
    p->SetStepCounterEnabled(0);
    p->SetTutorialLevelsEnabled(0);
    Options* options = OpenOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->GetSlider(Options::SLIDER_SPEED)->GetValue(), 2);
    EXPECT_EQ(options->GetSlider(Options::SLIDER_EFFECTS)->GetValue(), 3);
    EXPECT_EQ(options->GetSlider(Options::SLIDER_MUSIC)->GetValue(), 4);
    EXPECT_EQ(options->GetSlider(Options::SLIDER_MOUSE)->GetValue(), 10);
    EXPECT_FALSE(options->GetSlider(Options::SLIDER_MOUSE)->IsDisabled());
    for (int id = Options::CHECK_SYSTEM_POINTER; id <= Options::CHECK_TUTORIALS; ++id)
        EXPECT_FALSE(Checked(options->GetCheckbox(id))) << id;

    ClickButton(options->GetButton(Options::BUTTON_DEFAULTS));
    EXPECT_EQ(p->GetGameSpeed(), 6);
    EXPECT_EQ(p->GetSoundVolume(), 6);
    EXPECT_EQ(p->GetMusicVolume(), 6);
    EXPECT_NEAR(CSound::GetEffectsVolume(), 6.0 / 11, 1e-6);
    EXPECT_FLOAT_EQ(p->GetMouseSpeed(), 1.0f);
    EXPECT_EQ(options->GetSlider(Options::SLIDER_MOUSE)->GetValue(), 5);
    // The pointer and the display follow the restored options.
    EXPECT_TRUE(GetSystemPointer());
    EXPECT_FLOAT_EQ(GetMouseSpeed(), 1.0f);
    EXPECT_TRUE(options->GetSlider(Options::SLIDER_MOUSE)->IsDisabled());
    EXPECT_TRUE(options->GetButton(Options::BUTTON_MOUSE_DOWN)->IsDisabled());
    EXPECT_TRUE(CDraw::IsFullscreen());
    for (int id = Options::CHECK_SYSTEM_POINTER; id <= Options::CHECK_TUTORIALS; ++id)
        EXPECT_TRUE(Checked(options->GetCheckbox(id))) << id;

    // One more change, then Escape: closed and written like Back.
    ClickButton(options->GetButton(Options::BUTTON_SPEED_DOWN));
    ClickBox(options->GetCheckbox(Options::CHECK_FULLSCREEN));
    TapKey(SDLK_ESCAPE);
    Frame();
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    CProfile reread;
    EXPECT_EQ(reread.GetGameSpeed(), 5);
    EXPECT_EQ(reread.GetSoundVolume(), 6);
    EXPECT_EQ(reread.IsStoryEnabled(), 1);
    EXPECT_EQ(reread.IsFullscreen(), 0);
}

// Alt+Enter switches the display while the options are open: the full-screen
// box follows, so that it never shows the other mode.
TEST_F(OptionsTest, TheFullScreenBoxFollowsAltEnter) {
    CProfile* p = &Profile();
    p->SetFullscreen(0);
    Options* options = OpenOptions();
    ASSERT_NE(options, nullptr);
    CGuiCheckbox* box = options->GetCheckbox(Options::CHECK_FULLSCREEN);
    ASSERT_FALSE(Checked(box));
    for (bool full : {true, false}) {
        PushKey(true, SDLK_RETURN, KMOD_LALT);
        PushKey(false, SDLK_RETURN, KMOD_LALT);
        Frame();
        Frame();
        ASSERT_EQ(p->IsFullscreen(), full ? 1 : 0);
        EXPECT_EQ(CDraw::IsFullscreen(), full);
        EXPECT_EQ(Checked(box), full);
    }
    // A player added while the game runs in a window plays on in it, and
    // his box shows the window.
    ClickButton(options->GetButton(Options::BUTTON_BACK));
    const std::string before = p->GetProfileName(-1);
    ASSERT_TRUE(p->CreateProfile("Newcomer"));
    options = OpenOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(CDraw::IsFullscreen());
    EXPECT_EQ(p->IsFullscreen(), 0);
    EXPECT_FALSE(Checked(options->GetCheckbox(Options::CHECK_FULLSCREEN)));
    ClickButton(options->GetButton(Options::BUTTON_BACK));
    ASSERT_TRUE(p->LoadProfile(before.c_str()));
    ASSERT_TRUE(p->DeleteProfile("Newcomer"));
}

TEST(OptionsMouseSpeed, SliderPositionOfAStoredSpeed) {
    EXPECT_EQ(Options::MouseSpeedIndex(1.0f), 5);
    EXPECT_EQ(Options::MouseSpeedIndex(0.15f), 0);
    EXPECT_EQ(Options::MouseSpeedIndex(3.0f), 11);
    // A speed the table does not hold shows the first position.
    EXPECT_EQ(Options::MouseSpeedIndex(1.05f), 0);
}

TEST_F(ControlsTest, BindingsAreEditedOnACopyAndWrittenWithTheOptions) {
    CProfile* p = &Profile();
    p->SetKeyBinding(KEYACTION_RESTART, 'x');
    Options* options = OpenOptions();
    ASSERT_NE(options, nullptr);

    // Defaults change the profile at once; Cancel keeps them.
    Controls* controls = OpenControls(options);
    ASSERT_NE(controls, nullptr);
    EXPECT_FALSE(options->IsBuilt()) << "the options screen hands the display over";
    // The title is centred on the page, in the middle of the screen, and
    // so are the two columns of labels and key boxes together.
    Frame();
    const SDL_Rect title = InkSpan(100, 58, 700, 98);
    EXPECT_NEAR(title.x + title.w / 2.0, 400, 1.5);
    const SDL_Rect labels = InkSpan(60, 130, controls->GetBox(0)->GetX(), 400);
    const SDL_Rect box = OpaqueBox("optionscontrolsinputbase.png");
    EXPECT_NEAR((labels.x + controls->GetBox(15)->GetX() + box.x + box.w) / 2.0, 400, 1.5);
    EXPECT_TRUE(CaptionShows(controls->GetBox(0), "X"));
    ClickButton(controls->GetButton(Controls::BUTTON_DEFAULTS));
    EXPECT_EQ(p->GetKeyBinding(KEYACTION_RESTART), 'r');
    EXPECT_TRUE(CaptionShows(controls->GetBox(0), "R"));
    ClickButton(controls->GetButton(Controls::BUTTON_CANCEL));
    Frame();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_OPTIONS);
    EXPECT_TRUE(options->IsBuilt());
    EXPECT_EQ(options->GetControls(), nullptr);
    EXPECT_EQ(p->GetKeyBinding(KEYACTION_RESTART), 'r');

    // A key bound, then Escape while idle: closed, nothing written.
    controls = OpenControls(options);
    ClickButton(controls->GetBox(KEYACTION_LEFT));
    TapKey(SDLK_a);
    Frame();
    EXPECT_EQ(controls->GetWorkingKey(KEYACTION_LEFT), 'a');
    TapKey(SDLK_ESCAPE);
    Frame();
    Frame();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_OPTIONS);
    EXPECT_EQ(p->GetKeyBinding(KEYACTION_LEFT), 276);

    controls = OpenControls(options);
    // A waiting box loses its caption and shows a blinking caret: 7 frames
    // on, 10 off.
    ClickButton(controls->GetBox(KEYACTION_RESTART));
    EXPECT_EQ(controls->GetSelectedBox(), 0);
    EXPECT_EQ(controls->GetBox(0)->GetTextSprite(), nullptr);
    int shown = 0;
    for (int i = 0; i < 17; ++i) {
        Frame();
        shown += controls->GetCursor()->IsHidden() ? 0 : 1;
    }
    EXPECT_EQ(shown, 7);
    EXPECT_EQ(controls->GetCursor()->GetX(false), 258);
    EXPECT_EQ(controls->GetCursor()->GetY(false), 137);
    // "u" is undo's key: box 0 takes it and undo is left with none.
    TapKey(SDLK_u);
    Frame();
    EXPECT_EQ(controls->GetSelectedBox(), -1);
    EXPECT_EQ(controls->GetWorkingKey(KEYACTION_RESTART), 'u');
    EXPECT_EQ(controls->GetWorkingKey(KEYACTION_UNDO), 0);
    EXPECT_TRUE(CaptionShows(controls->GetBox(0), "U"));
    EXPECT_TRUE(CaptionShows(controls->GetBox(1), "UNKNOWN"));
    EXPECT_EQ(p->GetKeyBinding(KEYACTION_UNDO), 'u') << "only the copy changes";
    // Box 3 clicked, then box 5: box 3 shows its key again, box 5 waits and
    // takes even Escape.
    ClickButton(controls->GetBox(KEYACTION_RIGHT));
    ClickButton(controls->GetBox(KEYACTION_DOWN));
    EXPECT_TRUE(CaptionShows(controls->GetBox(KEYACTION_RIGHT), "Right Arrow"));
    EXPECT_EQ(controls->GetSelectedBox(), KEYACTION_DOWN);
    TapKey(SDLK_ESCAPE);
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_CONTROLS);
    EXPECT_EQ(controls->GetWorkingKey(KEYACTION_DOWN), 27);
    EXPECT_TRUE(CaptionShows(controls->GetBox(KEYACTION_DOWN), "Escape"));
    // A power-up slot on the right-hand column.
    ClickButton(controls->GetBox(KEYACTION_POWERUP1 + 8));
    TapKey(SDLK_KP0);
    Frame();
    EXPECT_EQ(controls->GetWorkingKey(KEYACTION_POWERUP1 + 8), 256);

    // Save: the profile takes the copy; the file waits for the options screen.
    ClickButton(controls->GetButton(Controls::BUTTON_SAVE));
    Frame();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_OPTIONS);
    EXPECT_EQ(p->GetKeyBinding(KEYACTION_RESTART), 'u');
    EXPECT_EQ(p->GetKeyBinding(KEYACTION_UNDO), 0);
    EXPECT_EQ(p->GetKeyBinding(KEYACTION_DOWN), 27);
    EXPECT_EQ(p->GetKeyBinding(KEYACTION_POWERUP1 + 8), 256);
    {
        CProfile before;
        EXPECT_EQ(before.GetKeyBinding(KEYACTION_RESTART), 'r');
    }
    ClickButton(options->GetButton(Options::BUTTON_BACK));
    Frame();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    CProfile after;
    EXPECT_EQ(after.GetKeyBinding(KEYACTION_RESTART), 'u');
    EXPECT_EQ(after.GetKeyBinding(KEYACTION_UNDO), 0);
    EXPECT_EQ(after.GetKeyBinding(KEYACTION_LEFT), 276);
    EXPECT_EQ(after.GetKeyBinding(KEYACTION_DOWN), 27);
    EXPECT_EQ(after.GetKeyBinding(KEYACTION_POWERUP1 + 8), 256);
}

TEST(ControlsKeyNames, NamedKeysAndTheRest) {
    EXPECT_STREQ(Controls::GetKeyName('0'), "0");
    EXPECT_STREQ(Controls::GetKeyName('z'), "Z");
    EXPECT_STREQ(Controls::GetKeyName(256), "Numpad 0");
    EXPECT_STREQ(Controls::GetKeyName(265), "Numpad 9");
    EXPECT_STREQ(Controls::GetKeyName(282), "F1");
    EXPECT_STREQ(Controls::GetKeyName(296), "F15");
    EXPECT_STREQ(Controls::GetKeyName(32), "Spacebar");
    // Names are written out where they fit, the arrows among them.
    EXPECT_STREQ(Controls::GetKeyName(273), "Up Arrow");
    EXPECT_STREQ(Controls::GetKeyName(274), "Down Arrow");
    EXPECT_STREQ(Controls::GetKeyName(275), "Right Arrow");
    EXPECT_STREQ(Controls::GetKeyName(276), "Left Arrow");
    EXPECT_STREQ(Controls::GetKeyName(322), "Undo");
    EXPECT_STREQ(Controls::GetKeyName(37), "UNKNOWN");
    EXPECT_STREQ(Controls::GetKeyName(0), "UNKNOWN");
    EXPECT_STREQ(Controls::GetKeyName('A'), "UNKNOWN") << "SDL names letters by their small forms";
    int named = 0;
    for (int key = -5; key < 1000; ++key) {
        const std::string name = Controls::GetKeyName(key);
        EXPECT_LE(name.size(), 19u) << key;
        if (name != "UNKNOWN") ++named;
    }
    EXPECT_EQ(named, 135);
}

}  // namespace

TEST_F(ControlsTest, EveryKeyNameShowsWholeInItsBox) {
    for (int key = 0; key < 1000; ++key) {
        const char* name = Controls::GetKeyName(key);
        const FontFitted fit =
            FontFitTyped(FontFitRequest(112, FontFit::kCutEnd, name, Controls::kCaptionWidth, Controls::kCaptionHeight));
        EXPECT_TRUE(fit.whole) << key << " " << name;
    }
}

TEST_F(ControlsTest, PasswordButtonOpensTheChangeDialogAndItsAnswerReachesTheProfile) {
    Options* options = OpenOptions();
    ASSERT_NE(options, nullptr);
    ClickButton(options->GetButton(Options::BUTTON_PASSWORD));
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_OPTIONS_PASSWORD);
    // No password yet: the old box stays empty, the new one takes the text.
    Frame();
    TapKey(SDLK_RETURN);  // to the new password's box
    Frame();
    for (const char* c = "kiwi"; *c; ++c) {
        TapKey(static_cast<SDLKey>(*c));
        Frame();
    }
    TapKey(SDLK_RETURN);  // onto okay
    Frame();
    Frame();
    TapKey(SDLK_RETURN);
    Frame();
    Frame();
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_OPTIONS);
    EXPECT_STREQ(Profile().GetPassword(), "kiwi");
    EXPECT_NE(options->GetButton(Options::BUTTON_PASSWORD), nullptr) << "the options screen is built again";
}
