#include "screens/CControllerIntro.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <utility>

#include "engine/CDraw.h"
#include "engine/FileReading.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/DataFolder.h"
#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/ResourceFiles.h"
#include "gui/GuiSprites.h"
#include "platform/Platform.h"
#include "screens/CControllerMain.h"

namespace {

uint32_t DefaultClock() { return SDL_GetTicks(); }
CControllerIntro::Clock introClock = DefaultClock;

const char* const kRule = "=============================================\n";

}  // namespace

void CControllerIntro::SetClock(Clock clock) { introClock = clock ? clock : DefaultClock; }

CControllerIntro::CControllerIntro() : onTop(nullptr), imagesLoaded(0), startTime(-1) {
    id = CONTROLLER_INTRO;
    HideMousePointer(kHideUntilNextUpdate);
    LoadSplashImages();
}

CControllerIntro::~CControllerIntro() {
    DebugLog(DBG_DESTRUCT, "CControllerIntro:  Destroying CControllerIntro...\n");
    mainMenu.reset();
    ReleaseSprites();
}

std::unique_ptr<CSprite> CControllerIntro::LoadSplash(const char* file, const char* imageName, const char* logLine,
                                                      SpriteLayer layer, const char* debugName) {
    SDL_RWops* rw = OpenForReadingRW(file);
    if (!rw) {
        TellResourceFileFailed(file);
        return nullptr;
    }
    DebugLog(DBG_DEBUG, logLine, file);
    SDL_Surface* decoded = IMG_LoadTyped_RW(rw, 1, const_cast<char*>("JPG"));
    if (!decoded) {
        ErrorLog(false, "CControllerIntro::LoadSplashImages()   Cannot decode '%s': %s\n", file, IMG_GetError());
        TellResourceFileFailed(file);
        return nullptr;
    }
    const int image = CDraw::LoadSurface(decoded, imageName);
    if (image < 0) return nullptr;
    auto s = std::make_unique<CSprite>(layer, 0, false);
    s->SetName(debugName);
    s->AddFrame(image);
    s->SetPosition(0, 0, false);
    return s;
}

void CControllerIntro::LoadSplashImages() {
    if (imagesLoaded) return;
    FILE* probe = PlatformOpenForReading(kLogoSplashFile);
    if (!probe) {
        TellResourceFileFailed(kLogoSplashFile);
        ErrorLog(true, "Cannot load splash0 file!\n");
    }
    fclose(probe);
    logo = LoadSplash(kLogoSplashFile, "splash0.jpg", "Loading SPLASH0_URL:  %s\n", LAYER_CL_LOGO1,
                      "Intro Controller (INTRO_LSPRITE_ZJLOGO)");
    if (!logo) ErrorLog(true, "Cannot load splash0 file!\n");
    onTop = logo.get();

    eyes = std::make_unique<CSprite>(LAYER_CL_LOGO2, 0, false);
    eyes->SetName("Intro Controller (INTRO_LSPRITE_ZJEYES)");
    eyes->AddFrame("logozj-eyes.png");
    eyes->SetPosition(264, 197, false);

    splash1 = LoadSplash(kTitleSplashFile, "splash1.jpg", "Loading SPLASH1_URL:  %s\n", LAYER_CL_LOGO3,
                         "Intro Controller (INTRO_LSPRITE_SPLASH1)");
    splash2 = LoadSplash(kClosingSplashFile, "splash2.jpg", "Loading SPLASH2_URL:  %s\n", LAYER_CL_LOGO4,
                         "Intro Controller (INTRO_LSPRITE_SPLASH2)");
    imagesLoaded = 1;
}

bool CControllerIntro::HasSplash(int n) const {
    if (n == 0) return logo != nullptr;
    if (n == 1) return splash1 != nullptr;
    if (n == 2) return splash2 != nullptr;
    return false;
}

int CControllerIntro::Elapsed() const { return static_cast<int>(introClock()) - startTime; }

void CControllerIntro::updateSprites() {
    if (!logo) return;
    if (startTime == -1) {
        if (logo->IsHidden()) {
            logo->Show(kSpriteNotDrawn, kSpriteNotDrawn);
            logo->SetFadeIn(kFadeMs, 0, 255);
            return;
        }
        if (logo->IsFading()) return;
        startTime = static_cast<int>(introClock());
    }
    int elapsed = Elapsed();

    if (UseZJBlink() && eyes) {
        const bool open = (elapsed >= 800 && elapsed <= 900) || (elapsed >= 1100 && elapsed <= 1200) ||
                          (elapsed >= 1900 && elapsed <= 2000);
        if (open) {
            if (eyes->IsHidden()) eyes->Show(kSpriteNotDrawn, kSpriteNotDrawn);
            DebugLog(DBG_DEBUG, "CControllerIntro::updateSprites()   Blinking Vorm Eyes at %i\n", elapsed);
        } else if (!eyes->IsHidden()) {
            eyes->Hide();
        }
    }

    if (elapsed >= kSplash1At) {
        if (splash1) {
            if (splash1->IsHidden() && onTop != splash1.get()) {
                splash1->Show(kSpriteNotDrawn, kSpriteNotDrawn);
                splash1->SetFadeIn(kFadeMs, 0, 255);
                onTop = splash1.get();
            }
            if (splash1->IsFading()) return;
        } else if (elapsed < kSplash2At - 1) {
            startTime = static_cast<int>(introClock()) - (kSplash2At - 1);
            elapsed = Elapsed();
        }
    }
    if (elapsed >= kSplash2At) {
        if (splash2) {
            if (splash2->IsHidden() && onTop != splash2.get()) {
                splash2->Show(kSpriteNotDrawn, kSpriteNotDrawn);
                splash2->SetFadeIn(kFadeMs, 0, 255);
                onTop = splash2.get();
            }
            if (splash2->IsFading()) return;
        } else if (elapsed < kMenuAt) {
            startTime = static_cast<int>(introClock()) - kMenuAt;
            elapsed = Elapsed();
        }
    }
    if (elapsed >= kMenuAt) LoadMainMenu();
}

std::unique_ptr<CSprite> CControllerIntro::TakePictureOnTop() {
    for (std::unique_ptr<CSprite>* slot : {&logo, &splash1, &splash2}) {
        if (*slot && slot->get() == onTop) {
            onTop = nullptr;
            return std::move(*slot);
        }
    }
    return nullptr;
}

void CControllerIntro::ReleaseSprites() {
    ReleaseAll(logo, eyes, splash1, splash2);
    onTop = nullptr;
    imagesLoaded = 0;
}

void CControllerIntro::LoadMainMenu() {
    if (!imagesLoaded || mainMenu) return;
    ShowHourglass(true);
    std::unique_ptr<CSprite> onScreen = TakePictureOnTop();
    ReleaseSprites();
    DebugLog(DBG_DEBUG, "%s", kRule);
    DebugLog(DBG_DEBUG, "Loading Controller:  Main Menu\n");
    DebugLog(DBG_DEBUG, "%s", kRule);
    mainMenu = std::make_unique<CControllerMain>(std::move(onScreen));
    OpenChild(mainMenu.get());
}

void CControllerIntro::InputKey(bool released, int key) {
    if (CaptureScreen(released, key)) return;
    if (released && startTime != -1) LoadMainMenu();
}

void CControllerIntro::InputMouseMove(int, int) {}

void CControllerIntro::InputMouseClick(bool released, bool, bool, bool, bool) {
    if (released && startTime != -1) LoadMainMenu();
}

void CControllerIntro::Pump() {
    if (GetPreviousId() == CONTROLLER_MAIN && mainMenu) {
        DebugLog(DBG_TICK, "Removing MAIN\n");
        mainMenu.reset();
        DebugLog(DBG_TICK, "MAIN removal completed\n");
        // The main menu only ever closes to end the program; whatever it
        // left, the intro has nothing to go back to.
        if (result == 0) result = kCloseQuit;
    } else {
        PollInput();
        if (active && imagesLoaded) updateSprites();
    }
    SetPreviousId(CONTROLLER_INTRO);
}
