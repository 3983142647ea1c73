#include "screens/CControllerInstructions.h"

#include <cstddef>
#include <cstdio>

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"

namespace {

using Picture = CControllerInstructions::Picture;
using PageLayout = CControllerInstructions::PageLayout;

const char* const kPageName = "baseInstructions.png";
constexpr int kTitleY = 37;
constexpr int kSubtitleY = 73;
constexpr int kTitleH = 40;
constexpr int kTopicTitleX = 48;

constexpr Picture At(const char* image, int x, int y) { return {image, x, y, false, 0, 0}; }

// A world sprite whose cell has its top-left corner at (left, top) of the
// page: the sprite's origin (ox, oy) puts that corner at (ox - 14, oy - 5)
// inside its picture, as in play.
constexpr Picture OnCell(const char* image, int left, int top, int ox, int oy) {
    return {image, left + 14 - ox, top + 5 - oy, true, left, top};
}

// Origins of the world sprites the scenes use.
constexpr int kGrass[2] = {24, 25}, kSand[2] = {24, 23}, kIce[2] = {17, 13};
constexpr int kTube[2] = {16, 39};
constexpr int kLadder[2] = {7, 18}, kLadderTop[2] = {7, 15}, kPlatform[2] = {18, 11};
constexpr int kStandMiddle[2] = {15, 35}, kStandLeft[2] = {14, 35};
constexpr int kRunLeft[2] = {17, 36}, kRunRight[2] = {17, 36};
constexpr int kClimbDown[2] = {21, 31}, kPushLeft[2] = {20, 30}, kPushRight[2] = {20, 30};
constexpr int kSlideLeft[2] = {17, 27}, kOnBarrel[2] = {17, 35};
constexpr int kCrate[2] = {23, 13}, kBarrel[2] = {19, 15}, kMagnetRight[2] = {18, 12};
constexpr int kFloorButton[2] = {11, -9}, kGateBack[2] = {15, 16}, kGateFront[2] = {22, 12};
constexpr int kTrampBack[2] = {-9, 17}, kTrampFront[2] = {11, 17}, kTrampCanvas[2] = {3, 15};
constexpr int kTeleBack[2] = {-17, 45}, kTeleFront[2] = {6, 47}, kSpiral[2] = {-1, 43};
constexpr int kInflTeleBack[2] = {-14, 46}, kInflTeleFront[2] = {6, 48}, kInflBridge[2] = {19, 15};
constexpr int kBridge[2] = {25, 47};

constexpr Picture OnCell(const char* image, int left, int top, const int (&origin)[2]) {
    return OnCell(image, left, top, origin[0], origin[1]);
}

const Picture kPage1[] = {At("parchment_tutorial.png", 40, 150)};

// From the entrance tube on a high ledge, down a long ladder past a middle
// ledge, to the exit tube at the far end of the floor: he climbs down, and
// walks along the floor toward the exit. Where a ledge meets the ladder, a
// platform on it joins the two, as levels build them, its plank reaching
// the side the ledge is on.
const Picture kPage2[] = {
    At("picture_basic_movement.tga", 53, 153),
    OnCell("grass19.png", 200, 470, kGrass),
    OnCell("editortubeexit.tga", 200, 446, kTube),
    OnCell("profrunleft0.tga", 272, 446, kRunLeft),
    OnCell("grass3b.png", 512, 350, kGrass),
    OnCell("ladderbottom.tga", 584, 446, kLadder),
    OnCell("laddermiddle.tga", 584, 422, kLadder),
    OnCell("laddermiddle.tga", 584, 398, kLadder),
    OnCell("laddermiddle.tga", 584, 374, kLadder),
    OnCell("laddermiddle.tga", 584, 350, kLadder),
    OnCell("laddermiddle.tga", 584, 326, kLadder),
    OnCell("laddermiddle.tga", 584, 302, kLadder),
    OnCell("laddermiddle.tga", 584, 278, kLadder),
    OnCell("laddermiddle.tga", 584, 254, kLadder),
    OnCell("ladderplatformleft.tga", 584, 350, kPlatform),
    OnCell("profclimbdown2.tga", 584, 326, kClimbDown),
    OnCell("laddertop.tga", 584, 230, kLadderTop),
    OnCell("ladderplatformright.tga", 584, 230, kPlatform),
    OnCell("grass2b.png", 608, 230, kGrass),
    OnCell("editortubeentrance.tga", 632, 206, kTube),
};

// One floor of grass, sand and ice, the professor on each.
const Picture kPage3[] = {
    At("picture_terrain.tga", 47, 137),
    OnCell("grass5b.png", 178, 420, kGrass),
    OnCell("profrunleft0.tga", 226, 396, kRunLeft),
    OnCell("sand5.png", 298, 420, kSand),
    OnCell("profstandmiddle0.tga", 346, 396, kStandMiddle),
    OnCell("ice1.png", 418, 420, kIce),
    OnCell("ice2.png", 442, 420, kIce),
    OnCell("ice3.png", 466, 420, kIce),
    OnCell("profslideleft0.tga", 442, 396, kSlideLeft),
};

// The professor pushes a crate off his ledge; the picture under the scene
// adds the floor it falls to.
const Picture kPage4[] = {
    At("picture_crates.tga", 106, 158),
    OnCell("grass3b.png", 168, 298, kGrass),
    OnCell("cratestill0.tga", 168, 274, kCrate),
    OnCell("profpushleft1.tga", 192, 274, kPushLeft),
};

// The professor stands beside a barrel at the end of a ledge, arms out
// against it, as the text tells the player to; the picture shows where it
// rolls from there.
const Picture kPage5[] = {
    At("picture_barrels.tga", 475, 134),
    OnCell("grass4.png", 400, 330, kGrass),
    OnCell("barrel0.tga", 472, 306, kBarrel),
    OnCell("profbarrelright5.tga", 448, 306, kOnBarrel),
};

// Two magnets, one on the other, each hold the metal crate in front of its
// face; the professor walks up to them from the ladder's top, a cell away:
// held by a magnet, and on sand, the crates are not for pushing.
const Picture kPage6[] = {
    At("picture_magnets.tga", 75, 129),
    OnCell("sand3b.png", 120, 330, kSand),
    OnCell("magnetrightstill0.tga", 120, 306, kMagnetRight),
    OnCell("magnetrightstill0.tga", 120, 282, kMagnetRight),
    OnCell("metalcratestill0.tga", 144, 306, kCrate),
    OnCell("metalcratestill0.tga", 144, 282, kCrate),
    OnCell("profrunleft0.tga", 192, 306, kRunLeft),
};

// A red gate shut beside its button, which nothing presses, the professor,
// and a yellow gate standing open while a barrel (in the picture) holds its
// button down: one sand ledge, with a cell between each of them so that no
// gate covers him. The picture is the ledge's cut-away below.
const Picture kPage7[] = {
    At("picture_gates.tga", 242, 355),
    OnCell("sand7.png", 252, 332, kSand),
    OnCell("editorgatered.tga", 252, 308, kGateBack),
    OnCell("buttonred1.tga", 300, 308, kFloorButton),
    OnCell("gatebackclose0.tga", 396, 308, kGateBack),
    OnCell("profstandleft0.tga", 348, 308, kStandLeft),
    OnCell("gatefrontclose0.tga", 396, 308, kGateFront),
    OnCell("gatefrontcloseyellow0.tga", 396, 308, kGateFront),
};

// The professor has pushed a barrel into an upright trampoline, which
// stretches and throws it back the way it came (over grass: sand would stop
// it dead); a frost shot turns back in a second one (the whole trampoline the
// editor shows), and on a ledge (in the picture) a bot that chases him stays
// pressed against a third one's canvas. The picture's marks show the way
// each goes.
const Picture kPage8[] = {
    At("picture_trampolines.tga", 233, 298),
    OnCell("grass8.png", 250, 450, kGrass),
    OnCell("editortrampoline.tga", 394, 426, kTrampFront),
    OnCell("profpushright5.tga", 250, 426, kPushRight),
    OnCell("trampolineback0.tga", 322, 426, kTrampBack),
    OnCell("barrel0.tga", 322, 426, kBarrel),
    OnCell("trampolinestretchleftfull.tga", 322, 426, kTrampCanvas),
    OnCell("trampolinefront0.tga", 322, 426, kTrampFront),
};

const Picture kPage9[] = {At("parchment_caught.png", 430, 177)};

// A wooden bridge from the picture's near bank to its far one, collapsing
// from its left end, plank by plank as the professor (in the picture) steps
// off each: he walks on the sixth, the first still whole.
const Picture kPage10[] = {
    At("instructions_shadowbridge.png", 230, 340),    OnCell("bridgeA12.png", 322, 394, kBridge),
    OnCell("bridgeA9.png", 346, 394, kBridge),        OnCell("bridgeA7.png", 370, 394, kBridge),
    OnCell("bridgeA5.png", 394, 394, kBridge),        OnCell("bridgeA3.png", 418, 394, kBridge),
    OnCell("bridgeA0.png", 442, 394, kBridge),        OnCell("bridgeA0.png", 466, 394, kBridge),
    OnCell("bridgeA0.png", 490, 394, kBridge),
};

// The professor runs into a teleport at the end of his ledge; the picture
// shows where he comes out.
const Picture kPage11[] = {
    At("instructions_shadowteleport.png", 63, 200),
    OnCell("grass7.png", 88, 300, kGrass),
    OnCell("profrunleft5.tga", 160, 276, kRunLeft),
    OnCell("teleport_frameback.png", 88, 276, kTeleBack),
    OnCell("teleport_spiralblue_idle0.png", 88, 276, kSpiral),
    OnCell("teleport_frameblue0.png", 88, 276, kTeleFront),
};

// The three inflatables in a row, centred under the text and in the room
// between it and the buttons.
const Picture kPage12[] = {
    At("picture_inflatable_crate.tga", 134, 296),
    At("picture_inflatable_magnet.tga", 284, 296),
    At("picture_inflatable_barrel.tga", 434, 296),
};

// The professor crosses the inflatable bridge from the picture's left bank
// to its right one. Each piece falls away as he steps off it (the frames
// are its collapse): the five behind him fall, the longer ago he left them
// the further, and he walks on the first piece still whole, which holds, as
// do the two ahead of him.
const Picture kPage13[] = {
    At("instructions_shadowinflbridge.png", 227, 372), OnCell("bridgeinflatable8.png", 322, 394, kInflBridge),
    OnCell("bridgeinflatable7.png", 346, 394, kInflBridge), OnCell("bridgeinflatable6.png", 370, 394, kInflBridge),
    OnCell("bridgeinflatable4.png", 394, 394, kInflBridge), OnCell("bridgeinflatable2.png", 418, 394, kInflBridge),
    OnCell("bridgeinflatable0.png", 442, 394, kInflBridge), OnCell("bridgeinflatable0.png", 466, 394, kInflBridge),
    OnCell("bridgeinflatable0.png", 490, 394, kInflBridge), OnCell("profrunright4.tga", 442, 370, kRunRight),
};

// The professor runs into a red inflatable teleport; its partner stands on
// the picture's ledge above.
const Picture kPage14[] = {
    At("instructions_shadowinflteleport.png", 415, 170),
    OnCell("grass7.png", 250, 430, kGrass),
    OnCell("profrunright5.tga", 322, 406, kRunRight),
    OnCell("teleportinflatable_red3back.png", 394, 406, kInflTeleBack),
    OnCell("teleport_spiralred_idle0.png", 394, 406, kSpiral),
    OnCell("teleportinflatable_red3front.png", 394, 406, kInflTeleFront),
};

const Picture kPage15[] = {At("picture_root_menu4.tga", 73, 148)};
const Picture kPage16[] = {At("instructions_heatgun.png", 480, 148)};
const Picture kPage17[] = {At("picture_emp.tga", 501, 148)};
const Picture kPage18[] = {At("picture_whistle.tga", 103, 183)};

template <size_t N>
constexpr PageLayout Page(int bodyX, int bodyW, const Picture (&pictures)[N]) {
    return {bodyX, bodyW, pictures, static_cast<int>(N)};
}

// The body text's column on each page. Where the page's one picture stands
// below the text (the power-ups and the whistle), the text's lines are
// centred over it.
const PageLayout kLayouts[CControllerInstructions::kTopics] = {
    Page(250, 315, kPage1),  Page(235, 355, kPage2),  Page(208, 268, kPage3),  Page(248, 300, kPage4),
    Page(143, 310, kPage5),  Page(243, 380, kPage6),  Page(155, 380, kPage7),  Page(155, 380, kPage8),
    Page(110, 325, kPage9),  Page(155, 380, kPage10), Page(275, 330, kPage11), Page(103, 500, kPage12),
    Page(155, 380, kPage13), Page(73, 340, kPage14),  Page(150, 390, kPage15), Page(73, 390, kPage16),
    Page(141, 310, kPage17), Page(236, 300, kPage18),
};

}  // namespace

const PageLayout* CControllerInstructions::GetLayout(int p) {
    if (p < 1 || p > kLastPage) return nullptr;
    return &kLayouts[p - 1];
}

int CControllerInstructions::BodyText(int p) { return p == 1 ? 20101 : 20100 + 10 * (p - 1) + 2; }

CControllerInstructions::CControllerInstructions(int page_)
    : dimmer(nullptr),
      pageSprite(nullptr),
      prevButton(nullptr),
      doneButton(nullptr),
      nextButton(nullptr),
      built(0),
      page(page_) {
    id = CONTROLLER_INSTRUCTIONS;
    CreateSprites();
}

CControllerInstructions::~CControllerInstructions() {
    DebugLog(DBG_DESTRUCT, "CControllerInstructions:  Destroying CControllerInstructions...\n");
    DestroySprites();
}

void CControllerInstructions::CreateSprites() {
    if (built) return;
    dimmer = MakeDimmer(LAYER_CL1, "Instructions Controller (INSTR_LSPRITE_DIMMER)");
    // Two columns of nine topics, centred together on the page.
    for (int i = 0; i < kTopics; ++i) {
        char caption[40];
        snprintf(caption, sizeof caption, "p2d_button_class%dtext.png", i);
        topicButtons[i] = MakeParchmentButton(i < 9 ? 170 : 445, 170 + 30 * (i % 9), i, caption);
    }
    prevButton = std::make_unique<CGuiButton>(kDoneX - 155, kFootRowY, BUTTON_PREVIOUS, this,
                                              "story_buttonprevbase.png", "story_buttonprevshadow.png",
                                              "story_buttonprevrollover.png", nullptr, false, 2, 2);
    prevButton->SetDisableImage("story_buttonprevfade.png", 0, 0);
    doneButton = std::make_unique<CGuiButton>(kDoneX, kFootRowY, BUTTON_DONE, this, "story_buttondonebase.png",
                                              "story_buttondoneshadow.png", "story_buttondonerollover.png", nullptr,
                                              false, 2, 2);
    nextButton =
        std::make_unique<CGuiButton>(kDoneX + 155, kFootRowY, BUTTON_NEXT, this, "story_buttonnextbase.png",
                                     "story_buttonnextshadow.png", "story_buttonnextrollover.png", nullptr, true, 2, 2);
    nextButton->SetDisableImage("story_buttonnextfade.png", 0, 0);
    BuildPage();
    HideMousePointer(kHideUntilNextUpdate);
    built = 1;
}

void CControllerInstructions::DestroySprites() {
    ShowHourglass(true);
    if (!built) return;
    ReleaseAll(dimmer, pageSprite, topicButtons, prevButton, doneButton, nextButton);
    CDraw::UnloadImage(kPageName);
    built = 0;
}

void CControllerInstructions::BuildPage() {
    pageSprite.reset();
    CDraw::UnloadImage(kPageName);

    if (page > 0)
        prevButton->Enable();
    else
        prevButton->Disable();
    if (page < kLastPage)
        nextButton->Enable();
    else
        nextButton->Disable();
    // Return turns the page; on the last page it closes the book.
    doneButton->SetDefault(page == kLastPage);
    for (const auto& b : topicButtons) {
        if (page == 0)
            b->Show();
        else
            b->Hide();
    }

    const int image = CopyPage(kPageName);
    PaintPage(image);
    pageSprite = MakePageSprite(image, LAYER_CL1, "Instructions Controller (INSTR_LSPRITE_BACKGROUND)");
}

void CControllerInstructions::PaintPage(int image) {
    const int width = CDraw::GetWidth(image);
    if (page == 0) {
        BlitString(20000, image, width, kTitleH, 2, 0, kTitleY);
        BlitString(20001, image, width, kTitleH, 2, 0, kSubtitleY);
        return;
    }
    const PageLayout* layout = GetLayout(page);
    if (!layout) return;
    if (page == 1) {
        BlitString(20100, image, width, kTitleH, 2, 0, kTitleY);
    } else {
        const int t = 20100 + 10 * (page - 1);
        BlitString(t, image, width, kTitleH, 0, kTopicTitleX, kTitleY);
        BlitString(t + 1, image, width, kTitleH, 0, kTopicTitleX, kSubtitleY);
    }
    BlitString(BodyText(page), image, layout->bodyW, kBodyH, 0, layout->bodyX, kBodyY);
    for (int i = 0; i < layout->pictureCount; ++i)
        CDraw::DrawImageOnto(layout->pictures[i].image, image, layout->pictures[i].x, layout->pictures[i].y);
}

void CControllerInstructions::GUICallback(int index, int, bool) {
    if (!built) return;
    switch (index) {
    case BUTTON_PREVIOUS:
        if (page <= 0) return;
        --page;
        break;
    case BUTTON_DONE: result = kCloseBack; return;
    case BUTTON_NEXT:
        if (page >= kLastPage) return;
        ++page;
        break;
    default:
        if (index < 0 || index >= kTopics) return;
        page = index + 1;
        break;
    }
    BuildPage();
}

CGuiButton* CControllerInstructions::GetButton(int widgetId) const {
    switch (widgetId) {
    case BUTTON_PREVIOUS: return prevButton.get();
    case BUTTON_DONE: return doneButton.get();
    case BUTTON_NEXT: return nextButton.get();
    default: return widgetId >= 0 && widgetId < kTopics ? topicButtons[widgetId].get() : nullptr;
    }
}
