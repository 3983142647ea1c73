// The intro and the main menu on the real resource files, headless: the whole
// start-up short of the frame loop, then frames driven by a fake clock.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/CDraw.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/CMouse.h"
#include "engine/FontRender.h"
#include "engine/Parameters.h"
#include "engine/ResourceFiles.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "platform/Platform.h"
#include "players/CProfile.h"
#include "screens/CControllerIntro.h"
#include "screens/CControllerMain.h"
#include "tests/screens/ScreenTest.h"
#include "tests/support/TestSupport.h"

namespace {

class ScreensTest : public ScreenTest {};

TEST_F(ScreensTest, IntroRunsItsTimelineAndOpensTheMainMenu) {
    ASSERT_TRUE(CDraw::HasScreen());
    auto intro = std::make_unique<CControllerIntro>();
    intro->Activate(nullptr);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_INTRO);
    ASSERT_TRUE(intro->HasSplash(0));
    ASSERT_TRUE(intro->HasSplash(1));
    ASSERT_TRUE(intro->HasSplash(2));

    RunFor(400);  // the logo is still fading in
    EXPECT_EQ(intro->GetStartTime(), -1);
    // A release during the fade does not skip.
    TapKey(SDLK_a);
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_INTRO);

    RunFor(500);
    ASSERT_NE(intro->GetStartTime(), -1);
    const int start = intro->GetStartTime();
    // The eyes show during the blinks only.
    Now() = start + 850;
    Frame();
    EXPECT_FALSE(intro->GetEyes()->IsHidden());
    Now() = start + 1000;
    Frame();
    EXPECT_TRUE(intro->GetEyes()->IsHidden());

    // Each splash fades in over the one before; the menu opens at 9 s.
    while (CController::GetCurrentId() == CONTROLLER_INTRO && Now() < static_cast<uint32_t>(start) + 12000) Frame();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_GE(Now(), static_cast<uint32_t>(start) + 9000);
    EXPECT_LE(Now(), static_cast<uint32_t>(start) + 9100);
    CControllerMain* menu = intro->GetMainMenu();
    ASSERT_NE(menu, nullptr);
    // The last splash is handed over and fades out.
    CSprite* handed = menu->GetIntroPicture();
    ASSERT_NE(handed, nullptr);
    EXPECT_TRUE(handed->IsFading());
    RunFor(1200);
    EXPECT_TRUE(handed->IsHidden());

    // Quit from the menu: the menu closes, then the intro, then the loop ends.
    menu->GUICallback(CControllerMain::BUTTON_EXIT, 0, false);
    for (int i = 0; i < 5 && CController::IsRunning(); ++i) Frame();
    EXPECT_FALSE(CController::IsRunning());
    EXPECT_EQ(intro->GetMainMenu(), nullptr);
    intro.reset();
    EXPECT_TRUE(GetSpriteList().size() <= 2u) << "only the pointer sprites may remain";
}

TEST_F(ScreensTest, WithoutSplashFilesTheMenuOpensThreeSecondsAfterTheLogo) {
    CTempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File(kLogoSplashFile), ReadFileBytes(kLogoSplashFile)));
    std::unique_ptr<CControllerIntro> intro;
    {
        CScopedCwd cwd(dir.Path());
        intro.reset(new CControllerIntro());
    }
    EXPECT_TRUE(intro->HasSplash(0));
    EXPECT_FALSE(intro->HasSplash(1));
    EXPECT_FALSE(intro->HasSplash(2));
    intro->Activate(nullptr);
    while (intro->GetStartTime() == -1 && Now() < 200000000u) Frame();
    const uint32_t start = static_cast<uint32_t>(intro->GetStartTime());
    while (CController::GetCurrentId() == CONTROLLER_INTRO && Now() < start + 10000) Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_GE(Now(), start + 3001);
    EXPECT_LE(Now(), start + 3100);
    // The logo itself is handed over.
    EXPECT_NE(intro->GetMainMenu()->GetIntroPicture(), nullptr);
    intro->GetMainMenu()->SetResult(CController::kCloseQuit);
    for (int i = 0; i < 5 && CController::IsRunning(); ++i) Frame();
    EXPECT_FALSE(CController::IsRunning());
}

TEST_F(ScreensTest, EyesNeverShowWithBlinkSwitchedOff) {
    CTempDir dir;
    ASSERT_TRUE(WriteFileText(dir.File("params.dat"), "MOREGAMES_URL http://example.invalid/\nUSE_ZJ_BLINK 0\n"));
    LoadParameters(dir.File("params.dat").c_str());
    ASSERT_FALSE(UseZJBlink());
    auto intro = std::make_unique<CControllerIntro>();
    intro->Activate(nullptr);
    while (intro->GetStartTime() == -1 && Now() < 200000000u) Frame();
    const uint32_t start = static_cast<uint32_t>(intro->GetStartTime());
    bool eyesSeen = false;
    while (Now() < start + 2500) {
        Frame();
        eyesSeen = eyesSeen || !intro->GetEyes()->IsHidden();
    }
    EXPECT_FALSE(eyesSeen);
    LoadParameters(kParameterFile);
    intro->SetResult(CController::kCloseQuit);
    Frame();
    EXPECT_FALSE(CController::IsRunning());
    // Closed before the menu existed: the intro takes all its pictures down.
    intro.reset();
    EXPECT_TRUE(GetSpriteList().size() <= 2u) << "only the pointer sprites may remain";
}

TEST_F(ScreensTest, AfterTheFadeTheLogoIsGoneFromTheScreen) {
    // Skipped with a release once the logo is in.
    auto intro = SkipIntro();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    RunFor(2000);
    // Compare a spot of the screen with the same frame drawn from the menu's
    // own background: nothing of the intro may be left there.
    SDL_Surface* screen = CDraw::GetScreen();
    CControllerMain* menu = intro->GetMainMenu();
    ASSERT_NE(menu, nullptr);
    CSprite* bg = menu->GetSprite(CControllerMain::SPRITE_BACKGROUND);
    SDL_Surface* bgSurface = CDraw::GetSurface(bg->GetFrameImage(0));
    ASSERT_NE(bgSurface, nullptr);
    int differing = 0;
    // A strip at the bottom of the screen holds only the background.
    for (int x = 0; x < 560; x += 7) {
        Uint8 r1, g1, b1, r2, g2, b2;
        SDL_GetRGB(CDraw::GetPixel(screen, x, 590), screen->format, &r1, &g1, &b1);
        SDL_GetRGB(CDraw::GetPixel(bgSurface, x, 590), bgSurface->format, &r2, &g2, &b2);
        if (abs(r1 - r2) > 8 || abs(g1 - g2) > 8 || abs(b1 - b2) > 8) ++differing;
    }
    EXPECT_EQ(differing, 0);
    if (differing) {
        const std::string picture = HomeFolder() + "/fade.bmp";
        CDraw::SaveScreenBMP(picture.c_str());
        ADD_FAILURE() << "the screen is saved in " << picture;
    }
    menu->SetResult(CController::kCloseQuit);
    for (int i = 0; i < 5 && CController::IsRunning(); ++i) Frame();
    EXPECT_FALSE(CController::IsRunning());
}

TEST_F(ScreensTest, MainMenuButtons) {
    auto root = std::make_unique<CControllerMain>();
    root->Activate(nullptr);
    Frame();
    const bool moreGames = UseMoreGames();
    for (int id = 0; id <= CControllerMain::BUTTON_EXIT; ++id) {
        CGuiButton* b = root->GetButton(id);
        if (id == CControllerMain::BUTTON_MOREGAMES && !moreGames) {
            EXPECT_EQ(b, nullptr);
            continue;
        }
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->GetX(), 580);
    }
    const int exitSlot = moreGames ? 8 : 7;
    EXPECT_EQ(root->GetButton(CControllerMain::BUTTON_EXIT)->GetY(), 9 + 53 * exitSlot);
    EXPECT_EQ(root->GetButton(CControllerMain::BUTTON_PLAY)->GetY(), 9);
    EXPECT_FALSE(root->GetButton(CControllerMain::BUTTON_EDITOR)->GetTextSprite()->IsHidden());
    for (int id : {int(CControllerMain::BUTTON_PLAY), int(CControllerMain::BUTTON_EXIT),
                   int(CControllerMain::BUTTON_MANAGER), int(CControllerMain::BUTTON_EDITOR),
                   int(CControllerMain::BUTTON_PROFILE)}) {
        CGuiButton* b = root->GetButton(id);
        EXPECT_FALSE(b->IsDisabled()) << id;
        EXPECT_TRUE(b->GetDisableSprite() == nullptr || b->GetDisableSprite()->IsHidden()) << id;
    }
    EXPECT_EQ(root->GetButton(CControllerMain::BUTTON_PROFILE)->GetX(), 51);
    // Each caption's letters are centred on their plate, and stay so while
    // the pointer is over the button.
    const SDL_Rect plate = OpaqueBox("mainmenu_buttonbase.png");
    auto expectCentred = [&plate](CGuiButton* b, const char* when) {
        CSprite* text = b->GetTextSprite();
        const SDL_Rect ink = OpaqueBox(CDraw::GetImageName(text->GetFrameImage(0)));
        EXPECT_NEAR(text->GetX(false) + ink.x + ink.w / 2.0, b->GetX() + plate.x + plate.w / 2.0, 1) << b->GetId() << when;
        EXPECT_NEAR(text->GetY(false) + ink.y + ink.h / 2.0, b->GetY() + plate.y + plate.h / 2.0, 2) << b->GetId() << when;
    };
    for (int id = 0; id <= CControllerMain::BUTTON_EXIT; ++id)
        if (CGuiButton* b = root->GetButton(id)) expectCentred(b, "");
    CGuiButton* play = root->GetButton(CControllerMain::BUTTON_PLAY);
    WarpMouse(play->GetCentreX(), play->GetCentreY());
    Frames(2);
    ASSERT_FALSE(play->GetRolloverSprite()->IsHidden());
    expectCentred(play, " under the pointer");
    WarpMouse(0, 0);
    Frames(2);
    // Escape does nothing on the main menu.
    TapKey(SDLK_ESCAPE);
    Frame();
    EXPECT_TRUE(CController::IsRunning());
    // Keyboard focus goes down the column, the level editor's included.
    for (CControllerMain::ButtonId expected : {CControllerMain::BUTTON_PLAY, CControllerMain::BUTTON_MANAGER,
                                               CControllerMain::BUTTON_EDITOR, CControllerMain::BUTTON_SCORES}) {
        PushKey(true, SDLK_DOWN);
        Frame();
        Frame();
        const int focus = CGuiButtonBase::GetFocusIndex();
        EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), root->GetButton(expected)) << focus;
    }
    // Alt+Q quits.
    PushKey(true, SDLK_LALT);
    PushKey(true, SDLK_q, KMOD_LALT);
    Frame();
    EXPECT_FALSE(CController::IsRunning());
    root.reset();
}

// The welcome panel greets any player within its own picture and above its
// change button, even one whose name is fifteen wide letters; a short name
// gets the whole greeting, a name too wide for it is shown alone.
TEST_F(ScreensTest, TheWelcomePanelHoldsEvenTheWidestName) {
    CProfile* profile = &Profile();
    const int before = profile->GetCurrentProfile();
    for (const char* name : {"Ann", "WWWWWWWWWWWWWWW"}) {
        bool known = false;
        for (int i = 0; i < profile->GetProfileCount(); ++i)
            known = known || std::string(profile->GetProfileNameAt(i)) == name;
        if (!known) {
            ASSERT_TRUE(profile->CreateProfile(name));
        }
        profile->LoadProfile(name);
        auto root = std::make_unique<CControllerMain>();
        root->Activate(nullptr);
        Frame();
        CSprite* panel = root->GetSprite(CControllerMain::SPRITE_PROFILE);
        ASSERT_NE(panel, nullptr);
        SDL_Surface* painted = CDraw::GetSurface(panel->GetFrameImage(0));
        const int plainId = CDraw::GetImage("profile_main.png");
        SDL_Surface* plain = CDraw::GetSurface(plainId);
        ASSERT_NE(painted, nullptr);
        ASSERT_NE(plain, nullptr);
        // The change button stands at (51, 41) on the screen, the panel at (6, 6).
        const int buttonTop = 41 - 6;
        int inkLeft = painted->w, inkRight = -1, inkBottom = -1;
        for (int y = 0; y < painted->h; ++y)
            for (int x = 0; x < painted->w; ++x)
                if (CDraw::GetPixel(painted, x, y) != CDraw::GetPixel(plain, x, y)) {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x);
                    inkBottom = std::max(inkBottom, y);
                }
        CDraw::ReleaseImage(plainId);
        ASSERT_GE(inkRight, 0) << name;
        EXPECT_LT(inkBottom, buttonTop) << name << " runs into the change button";
        EXPECT_GT(inkLeft, 2) << name << " is cut at the panel's left";
        EXPECT_LT(inkRight, painted->w - 3) << name << " is cut at the panel's right";
        // The greeting (or the name alone) as the renderer lays it out: the
        // ink spans its line.
        const int expected = std::string(name) == "Ann" ? 1900 : 1901;
        SDL_FreeSurface(FontRenderStringTyped(painted->w, painted->h, 0, expected, name));
        int line = 0;
        for (const FontRunPlacement& run : FontGetLastPlacements()) line += run.w;
        EXPECT_NEAR(inkRight - inkLeft + 1, line, 4) << name << " in the type of " << expected;
        root.reset();
    }
    profile->LoadProfile(profile->GetProfileName(before));
}

TEST_F(ScreensTest, MainMenuFigureStartsItsFirstGestureAfterTwentyFrames) {
    auto root = std::make_unique<CControllerMain>();
    root->Activate(nullptr);
    Frame();  // the opening frame
    CSprite* raise = root->GetSprite(CControllerMain::SPRITE_HEAD_RAISE);
    for (int i = 0; i < 20; ++i) Frame();
    EXPECT_TRUE(raise->IsStopped());
    Frame();
    EXPECT_FALSE(raise->IsStopped());
    EXPECT_GE(root->GetPose(), 1);
    // The arm behind the body stays behind the coat in every frame of its
    // gesture: no hand of it peeks out beside the waving one.
    CSprite* backArm = root->GetSprite(CControllerMain::SPRITE_LARM_RAISE);
    CSprite* body = root->GetSprite(CControllerMain::SPRITE_BODY);
    SDL_Surface* coat = CDraw::GetSurface(body->GetFrameImage(0));
    auto alpha = [](SDL_Surface* s, int x, int y) {
        if (x < 0 || y < 0 || x >= s->w || y >= s->h) return 0;
        Uint8 r, g, b, a;
        SDL_GetRGBA(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b, &a);
        return static_cast<int>(a);
    };
    for (int f = 0; f < backArm->GetFrameCount(); ++f) {
        SDL_Surface* arm = CDraw::GetSurface(backArm->GetFrameImage(f));
        const int dx = backArm->GetX(false) - body->GetX(false), dy = backArm->GetY(false) - body->GetY(false);
        int showing = 0;
        for (int y = 0; y < arm->h; ++y)
            for (int x = 0; x < arm->w; ++x) showing += alpha(arm, x, y) >= 32 && alpha(coat, x + dx, y + dy) < 224;
        EXPECT_EQ(showing, 0) << "frame " << f;
    }
    // The coat goes down to the hill's crest in every column and ends
    // there: the grass just below its lowest pixel, not just above it (he
    // stands behind the hill, not on it with a hem cut flat).
    CSprite* background = root->GetSprite(CControllerMain::SPRITE_BACKGROUND);
    SDL_Surface* scene = CDraw::GetSurface(background->GetFrameImage(0));
    ASSERT_NE(scene, nullptr);
    auto grass = [&](int x, int y) {
        Uint8 r, g, b;
        SDL_GetRGB(CDraw::GetPixel(scene, x, y), scene->format, &r, &g, &b);
        return g > r + 40 && g > b + 40;
    };
    std::vector<int> bottoms(static_cast<size_t>(coat->w), -1);
    for (int x = 0; x < coat->w; ++x)
        for (int y = 0; y < coat->h; ++y)
            if (alpha(coat, x, y) >= 32) bottoms[static_cast<size_t>(x)] = y;
    const int first = static_cast<int>(std::find_if(bottoms.begin(), bottoms.end(), [](int b) { return b >= 0; }) -
                                       bottoms.begin());
    const int last = coat->w - 1 -
                     static_cast<int>(std::find_if(bottoms.rbegin(), bottoms.rend(), [](int b) { return b >= 0; }) -
                                      bottoms.rbegin());
    std::vector<int> floating, sunk;
    // (The outermost columns are the sides' bulge, above the hem.)
    for (int x = first + 3; x <= last - 3; ++x) {
        const int bottom = bottoms[static_cast<size_t>(x)];
        const int sx = body->GetX(false) + x, sy = body->GetY(false) + bottom;
        if (!grass(sx, sy + 2)) floating.push_back(sx);
        if (grass(sx, sy - 3)) sunk.push_back(sx);
    }
    EXPECT_EQ(floating, std::vector<int>()) << "columns of the coat ending above the hill";
    EXPECT_EQ(sunk, std::vector<int>()) << "columns of the coat reaching onto the grass";
    // The whole gesture comes back to rest within a few hundred frames.
    for (int i = 0; i < 400 && root->GetIdleCounter() != 0; ++i) Frame();
    EXPECT_EQ(root->GetIdleCounter(), 0);
    EXPECT_GE(root->GetIdleLimit(), 125);
    EXPECT_LE(root->GetIdleLimit(), 250);
    EXPECT_FALSE(root->GetSprite(CControllerMain::SPRITE_HEAD_RAISE)->IsHidden());
    EXPECT_TRUE(root->GetSprite(CControllerMain::SPRITE_HEAD_LOWER)->IsHidden());
    // Clouds drift left.
    CSprite* cloud = root->GetCloud(0);
    const int x0 = cloud->GetX(false);
    for (int i = 0; i < 200; ++i) Frame();
    EXPECT_LE(cloud->GetX(false), x0);
    root.reset();
}

// A main menu built with the maker's-page button switched on.
std::unique_ptr<CControllerMain> MenuWithMakersPage() {
    CTempDir dir;
    WriteFileText(dir.File("params.dat"), "MOREGAMES_URL http://example.invalid/\nUSE_MOREGAMES 1\n");
    LoadParameters(dir.File("params.dat").c_str());
    auto root = std::make_unique<CControllerMain>();
    LoadParameters(kParameterFile);
    return root;
}

TEST_F(ScreensTest, MoreGamesQuestionAnsweredNoOnlyClosesTheBox) {
    auto root = MenuWithMakersPage();
    root->Activate(nullptr);
    Frame();
    ASSERT_NE(root->GetButton(CControllerMain::BUTTON_MOREGAMES), nullptr);
    EXPECT_EQ(root->GetButton(CControllerMain::BUTTON_MOREGAMES)->GetY(), 9 + 53 * 7);
    EXPECT_EQ(root->GetButton(CControllerMain::BUTTON_EXIT)->GetY(), 9 + 53 * 8);
    root->GUICallback(CControllerMain::BUTTON_MOREGAMES, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    EXPECT_TRUE(CRender::IsSwapped());
    EXPECT_TRUE(root->GetButton(CControllerMain::BUTTON_EXIT)->GetBaseSprite()->IsHidden());
    Frame();
    // Its pair of buttons is centred on the box, in the middle of the screen.
    auto* box = dynamic_cast<CControllerMessage*>(CController::GetCurrent());
    ASSERT_NE(box, nullptr);
    EXPECT_NEAR((box->GetOkayButton()->GetCentreX() + box->GetCancelButton()->GetCentreX()) / 2.0, 400, 1);
    // Escape on a question answers no.
    PushKey(true, SDLK_ESCAPE);
    Frame();
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_FALSE(CRender::IsSwapped());
    EXPECT_TRUE(CController::IsRunning());
    EXPECT_EQ(root->GetResult(), 0);
    EXPECT_FALSE(root->GetButton(CControllerMain::BUTTON_EXIT)->GetBaseSprite()->IsHidden());
    root.reset();
}

// Yes opens the maker's page in the browser and ends the game. The browser is
// a stand-in found first on PATH that writes down the address it was given.
TEST_F(ScreensTest, MoreGamesQuestionAnsweredYesOpensThePageAndEnds) {
    CTempDir bin;
    const std::string opened = bin.File("opened.txt");
    ASSERT_TRUE(WriteFileText(bin.File("xdg-open"), "#!/bin/sh\nprintf '%s' \"$1\" > \"" + opened + ".part\"\nmv \"" +
                                                        opened + ".part\" \"" + opened + "\"\n"));
    ASSERT_EQ(chmod(bin.File("xdg-open").c_str(), 0755), 0);
    const std::string path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (bin.Path() + ":" + path).c_str(), 1);

    auto root = MenuWithMakersPage();
    root->Activate(nullptr);
    Frame();
    root->GUICallback(CControllerMain::BUTTON_MOREGAMES, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    Frame();
    auto* box = static_cast<CControllerMessage*>(CController::GetCurrent());
    box->GUICallback(CControllerMessage::BUTTON_OKAY, 0, false);
    for (int i = 0; i < 5 && CController::IsRunning(); ++i) Frame();
    setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(CController::IsRunning());
    // The browser runs on its own; give it a moment to write its note.
    for (int i = 0; i < 500 && !PlatformFileExists(opened); ++i) usleep(10000);
    EXPECT_EQ(ReadFileText(opened), GetMoreGamesURL());
    root.reset();
}

}  // namespace
