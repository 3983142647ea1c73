#include "screens/CControllerCredits.h"

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"

namespace {

const char* const kPageName = "baseCredits.png";

// The role captions (texts 1002 to 1008) stand at these heights; the names
// of each row beside them.
const int kRowY[CControllerCredits::kRows] = {80, 105, 130, 155, 180, 215, 290};

const CControllerCredits::NameField kNames[CControllerCredits::kRows] = {
    {"The ZORV team", 275, 80, 340, 35},
    {"The ZORV team, in C++ on SDL", 275, 105, 340, 35},
    {"Drawn by the game's own code with Cairo", 275, 130, 340, 35},
    {"Synthesized by the game's own code", 275, 155, 340, 35},
    {"The ZORV team and its level solver", 275, 180, 340, 35},
    {"Every build tried headless and under a private X server, and played by hand", 275, 215, 350, 80},
    {"The makers of SDL, SDL_image and SDL_ttf, FreeType, Cairo, libpng, libcurl, Ogg Vorbis, the DejaVu "
     "fonts, GoogleTest and Google Benchmark, CMake, GCC and Debian, whose free work this game stands on",
     275, 290, 370, 140},
};

const char* const kThanks = "Thank you for playing!%nThe professor still has a lot to invent.";

}  // namespace

const CControllerCredits::NameField& CControllerCredits::GetNameField(int row) {
    if (row < 0) row = 0;
    if (row >= kRows) row = kRows - 1;
    return kNames[row];
}

const char* CControllerCredits::GetThanks() { return kThanks; }

CControllerCredits::CControllerCredits() : dimmer(nullptr), page(nullptr), done(nullptr), loaded(0) {
    id = CONTROLLER_CREDITS;
    LoadSprites();
}

CControllerCredits::~CControllerCredits() {
    DebugLog(DBG_DESTRUCT, "CControllerCredits:  Destroying CControllerCredits...\n");
    UnloadSprites();
}

void CControllerCredits::LoadSprites() {
    if (loaded) return;
    dimmer = MakeDimmer(LAYER_CL1, "Credits Controller (CREDITS_LSPRITE_DIMMER)");

    const int image = CopyPage(kPageName);
    CDraw::DrawImageOnto("parchment_victory.png", image, 125, 390);
    BlitString(1000, image, CDraw::GetWidth(image), 40, 2, 0, 35);
    for (int row = 0; row < kRows; ++row) BlitString(1002 + row, image, 220, 35, 1, 40, kRowY[row]);
    for (const NameField& n : kNames) BlitString(1001, image, n.w, n.h, 0, n.x, n.y, n.text);
    BlitString(1009, image, 280, 75, 2, 300, 425, kThanks);
    BlitString(1010, image, 100, 40, 1, 540, 500, kVersion);
    page = MakePageSprite(image, LAYER_CL1, "Credits Controller (CREDITS_LSPRITE_BACKGROUND)");

    done =
        std::make_unique<CGuiButton>(kDoneX, kFootRowY, 0, this, "story_buttondonebase.png",
                                     "story_buttondoneshadow.png", "story_buttondonerollover.png", nullptr, true, 2, 2);
    HideMousePointer(kHideUntilNextUpdate);
    loaded = 1;
}

void CControllerCredits::UnloadSprites() {
    ShowHourglass(true);
    if (!loaded) return;
    ReleaseAll(dimmer, page, done);
    CDraw::UnloadImage(kPageName);
    loaded = 0;
}

void CControllerCredits::GUICallback(int index, int, bool) {
    if (index == 0) result = kCloseBack;
}

