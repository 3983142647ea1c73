#include "screens/CControllerStory.h"


#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "sound/CSound.h"

namespace {

const char* const kPageNames[2] = {"story1.png", "story2.png"};

using Picture = CControllerStory::Picture;

const std::vector<Picture> kOpening[2] = {
    {{"story_A1_a.tga", 60, 38},
     {"story_A1_b.jpg", 114, 88},
     {"story_A1_c.jpg", 87, 338},
     {"story_A1_d.png", 65, 75},
     {"story_A1_e.jpg", 517, 57},
     {"story_A1_f.jpg", 510, 293}},
    {{"story_A2_a.tga", 6, 39},
     {"story_A2_b.jpg", 54, 88},
     {"story_A2_c.jpg", 86, 336},
     {"story_A2_d.jpg", 61, 71},
     {"story_A2_e.jpg", 520, 56},
     {"story_A2_f.png", 22, 323},
     {"story_A2_g.jpg", 281, 313}},
};

const std::vector<Picture> kEnding[2] = {
    {{"story_C1_a.tga", 51, 37},
     {"story_C1_b.jpg", 62, 89},
     {"story_C1_c.jpg", 87, 336},
     {"story_C1_d.jpg", 307, 55},
     {"story_C1_e.png", 596, 76},
     {"story_C1_f.png", 69, 326},
     {"story_C1_g.jpg", 620, 318}},
    {{"story_C2_a.tga", 30, 30},
     {"story_C2_b.jpg", 35, 90},
     {"story_C2_c.jpg", 63, 337},
     {"story_C2_d.jpg", 124, 70},
     {"story_C2_e.jpg", 661, 46},
     {"story_C2_f.jpg", 324, 314},
     {"story_C2_g.jpg", 543, 301}},
};

// A chapter page: odd stories use the first layout, even ones the second;
// the chapter number k (1..5) picks its panel and its three text pictures,
// so that every story shows a picture of its own beside its words.
struct ChapterLayout {
    const char* stem;  // "story_B1" or "story_B2"
    int frameX, frameY;
    int panelX, panelY;
    int textPos[3][2];
};

const ChapterLayout kOddChapter = {"story_B1", 61, 127, 91, 188, {{79, 176}, {304, 150}, {530, 165}}};
const ChapterLayout kEvenChapter = {"story_B2", 44, 114, 71, 188, {{74, 144}, {306, 176}, {534, 152}}};

std::vector<Picture> ChapterPictures(int storyId) {
    const ChapterLayout& c = storyId % 2 ? kOddChapter : kEvenChapter;
    const int k = (storyId + 1) / 2;
    const std::string stem = c.stem;
    std::vector<Picture> pictures = {{stem + "_a.tga", c.frameX, c.frameY},
                                     {stem + "_b" + std::to_string(k) + ".jpg", c.panelX, c.panelY}};
    const char columns[3] = {'a', 'b', 'c'};
    for (int i = 0; i < 3; ++i) {
        pictures.push_back(
            {stem + "_text_" + columns[i] + std::to_string(k) + ".png", c.textPos[i][0], c.textPos[i][1]});
    }
    return pictures;
}

}  // namespace

std::vector<Picture> CControllerStory::GetPictures(int storyId, int pageIndex) {
    if (storyId < 0 || storyId >= kStoryCount || pageIndex < 0 || pageIndex > 1) return {};
    if (storyId == 0) return kOpening[pageIndex];
    if (storyId == kStoryCount - 1) return kEnding[pageIndex];
    if (pageIndex == 1) return {};
    return ChapterPictures(storyId);
}

CControllerStory::CControllerStory(int storyId_) : page(nullptr), buttons{}, loaded(0), storyId(storyId_) {
    id = CONTROLLER_STORY;
    ComposePage(kPageNames[0], 0);
    if (HasTwoPages(storyId)) ComposePage(kPageNames[1], 1);
    LoadSprites();
}

CControllerStory::~CControllerStory() {
    DebugLog(DBG_DEBUG, "CControllerStory:  Destroying CControllerStory...\n");
    UnloadSprites();
}

void CControllerStory::ComposePage(const char* name, int pageIndex) {
    // A page left over from a story that never closed would keep the name.
    CDraw::UnloadImage(name);
    const int image = CDraw::CaptureScreen(name);
    CDraw::DrawImageOnto("dimmer.png", image, 0, 0);
    for (const Picture& p : GetPictures(storyId, pageIndex)) CDraw::DrawImageOnto(p.name.c_str(), image, p.x, p.y);
}

void CControllerStory::LoadSprites() {
    if (loaded) return;
    const bool twoPages = HasTwoPages(storyId);
    page = std::make_unique<CSprite>(LAYER_CL0, 0, false);
    page->SetName("Story Controller (STORY_LSPRITE_PANEL)");
    page->AddFrame(kPageNames[0]);
    if (twoPages) page->AddFrame(kPageNames[1]);
    page->SetPosition(0, 0, false);
    page->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    if (twoPages) {
        // Previous and next (or done) stand as a pair centred on the screen.
        buttons[0] = std::make_unique<CGuiButton>(254, 538, BUTTON_PREVIOUS, this, "story_buttonprevbase.png",
                                                  "story_buttonprevshadow.png", "story_buttonprevrollover.png", nullptr,
                                                  false, 0, 0);
        buttons[0]->Hide();
        // Return turns the page, then closes: next and done, which never
        // show together, are both the default.
        buttons[1] = std::make_unique<CGuiButton>(451, 538, BUTTON_NEXT, this, "story_buttonnextbase.png",
                                                  "story_buttonnextshadow.png", "story_buttonnextrollover.png", nullptr,
                                                  true, 0, 0);
        buttons[2] = std::make_unique<CGuiButton>(451, 538, BUTTON_DONE, this, "story_buttondonebase.png",
                                                  "story_buttondoneshadow.png", "story_buttondonerollover.png", nullptr,
                                                  true, 0, 0);
        buttons[2]->Hide();
    } else {
        buttons[0] = std::make_unique<CGuiButton>(345, 397, BUTTON_DONE, this, "story_buttondonebase.png",
                                                  "story_buttondoneshadow.png", "story_buttondonerollover.png", nullptr,
                                                  true, 0, 0);
    }
    CSound::PlayStoryMusic();
    HideMousePointer(kHideUntilNextUpdate);
    loaded = 1;
}

void CControllerStory::UnloadSprites() {
    ShowHourglass(true);
    if (!loaded) return;
    ReleaseAll(page, buttons);
    for (const char* name : kPageNames) CDraw::UnloadImage(name);
    loaded = 0;
}

CGuiButton* CControllerStory::GetButton(int buttonId) const {
    for (const auto& b : buttons)
        if (b && b->GetId() == buttonId) return b.get();
    return nullptr;
}

void CControllerStory::GUICallback(int index, int, bool) {
    switch (index) {
    case BUTTON_DONE: result = kCloseBack; break;
    case BUTTON_PREVIOUS: page->SetFrame(0); break;
    case BUTTON_NEXT: page->SetFrame(1); break;
    default: break;
    }
}

void CControllerStory::Pump() {
    PollInput();
    if (!active) return;
    if (HasTwoPages(storyId) && page) {
        // The buttons follow the page shown: next on the first, previous
        // and done (in next's place) on the second.
        const bool first = page->GetFrame() == 0;
        CGuiButton* previous = GetButton(BUTTON_PREVIOUS);
        CGuiButton* next = GetButton(BUTTON_NEXT);
        CGuiButton* done = GetButton(BUTTON_DONE);
        if (first) {
            previous->Hide();
            next->Show();
            done->Hide();
        } else {
            previous->Show();
            next->Hide();
            done->Show();
        }
    }
    CGuiButtonBase::UpdateAll();
}
