#include "world/pieces/CElementTutorial.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "gui/GuiText.h"
#include "world/CWorldDigest.h"
#include "world/pieces/PieceSprites.h"
#include "world/pieces/SignDirective.h"

CElementTutorial* CElementTutorial::tutorialGrid[kGridCells] = {};
uint8_t CElementTutorial::tutorialPresent = 0;
CElementTutorial* CElementTutorial::activeSign = nullptr;
int32_t CElementTutorial::phaseCounter = 0;

namespace {

// The string whose font, size and colour free sign texts are drawn in.
constexpr int kFreeTextString = 300;
// A free text longer than this takes the large bubble.
constexpr size_t kSmallTextLength = 100;
// The bubble fades in and out over this many pictures.
constexpr int kFadeFrames = 6;
constexpr int kFadeStep = -45;
// The question mark fades a look every this many updates.
constexpr int kIconFadeDelay = 3;
constexpr int kIconLooks = 4;
constexpr int kPhaseStep = 4;
constexpr int kPhaseCycle = 14;

int CellIndex(int x, int y) { return x * CElement::kGridHeight + y; }

// The kids' sign: its heading, in the heading type of its text, centred on
// the card in a 40-pixel box at row 40 between the bulb's column on the
// right and as much on the left; its body below at row 88, or at row 76
// without a heading (below the bulb, which ends at row 66), in a column
// centred on the card, 40 pixels from its edges at least. The card is sized
// by its text: the game takes a band of rows (from row 80, below the bulb)
// and a band of whole dot periods (from column 108, between two of the dots
// that stand 20 pixels apart) out of the middle of the parchment, as small
// as leaves the text 40 pixels above the bottom edge and from either side
// (the heading as far from them as the bulb's column).
constexpr int kKidsMargin = 40, kKidsBulbColumn = 70;
constexpr int kKidsHeadingTop = 40, kKidsHeadingH = 40;
constexpr int kKidsBodyTop = 88, kKidsBodyTopAlone = 76;
constexpr int kKidsBottom = 40;
constexpr int kKidsCutX = 108, kKidsDotPeriod = 80, kKidsCutY = 80;
// Kept whole: the bulb and the card's right edge, the bottom row of dots.
constexpr int kKidsKeptRight = kKidsBulbColumn, kKidsKeptBottom = 30;
// The kids' card opens at this row, centred on the 800-pixel screen.
constexpr int kKidsTop = 52, kScreenW = 800;

// Where a text drawn in a box boxW wide reaches: the right edge of its runs
// and the bottom of its last line, and the first and last columns its
// letters ink.
struct TextReach {
    int right = 0, bottom = 0;
    int inkLeft = INT_MAX, inkRight = -1;
};

TextReach MeasureString(int textId, int boxW, int boxH, int align) {
    TextReach reach;
    SDL_Surface* drawn = FontRenderString(boxW, boxH, align, textId);
    if (!drawn) return reach;
    for (int y = 0; y < drawn->h; ++y)
        for (int x = 0; x < drawn->w; ++x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(CDraw::GetPixel(drawn, x, y), drawn->format, &r, &g, &b, &a);
            if (a == 0) continue;
            reach.inkLeft = std::min(reach.inkLeft, x);
            reach.inkRight = std::max(reach.inkRight, x);
        }
    SDL_FreeSurface(drawn);
    for (const FontRunPlacement& r : FontGetLastPlacements()) {
        reach.right = std::max(reach.right, r.x + r.w);
        reach.bottom = std::max(reach.bottom, r.y + r.h);
    }
    return reach;
}

int InkWidth(const TextReach& reach) { return reach.inkRight < reach.inkLeft ? 0 : reach.inkRight - reach.inkLeft + 1; }

// The kids' card for a sign's text, registered as `name`: the parchment with
// the bands its text leaves empty taken out. `body` is where its body goes:
// its column, and the width its lines are broken at.
int CutKidsCard(const CElementTutorial::Text& text, const std::string& name, SDL_Rect* body, int* wrapW) {
    const char* paper = "parchment_kids.png";
    const int paperId = CDraw::GetImage(paper);
    const int w = CDraw::GetWidth(paperId), h = CDraw::GetHeight(paperId);
    CDraw::ReleaseImage(paperId);
    const int top = text.heading > 0 ? kKidsBodyTop : kKidsBodyTopAlone;
    *wrapW = w - 2 * kKidsMargin;
    const TextReach lines = MeasureString(text.body, *wrapW, h, 0);
    int neededW = 2 * kKidsMargin + InkWidth(lines);
    if (text.heading > 0) {
        const TextReach heading = MeasureString(text.heading, w - 2 * kKidsBulbColumn, kKidsHeadingH, 2);
        neededW = std::max(neededW, 2 * kKidsBulbColumn + InkWidth(heading));
    }
    const int maxCutW = w - kKidsKeptRight - kKidsCutX;
    const int cutW = std::max(0, std::min(w - neededW, maxCutW) / kKidsDotPeriod * kKidsDotPeriod);
    const int spareH = h - (top + lines.bottom + kKidsBottom);
    const int cutH = std::max(0, std::min(spareH, h - kKidsKeptBottom - kKidsCutY));
    // What the lines ink stands in the middle of the card.
    const int inkLeft = InkWidth(lines) ? lines.inkLeft : 0;
    body->x = static_cast<Sint16>(std::max(kKidsMargin - inkLeft, (w - cutW - InkWidth(lines)) / 2 - inkLeft));
    body->y = static_cast<Sint16>(top);
    body->w = static_cast<Uint16>(std::max(0, lines.right));
    body->h = static_cast<Uint16>(std::max(0, h - cutH - top - kKidsBottom));
    return CDraw::CutImage(paper, name.c_str(), kKidsCutX, cutW, kKidsCutY, cutH);
}

// Where a bubble of w x h pixels holds its text: right of the bulb, clear of
// the paper's edge, and in the large bubble below the corner its picture
// leaves out for the Menu button.
SDL_Rect TextArea(bool large, int w, int h) {
    const int top = large ? 28 : 15;
    const int bottom = large ? 14 : 15;
    SDL_Rect r;
    r.x = 80;
    r.y = static_cast<Sint16>(top);
    r.w = static_cast<Uint16>(w - 80 - 18);
    r.h = static_cast<Uint16>(h - top - bottom);
    return r;
}

std::string BubbleName(int x, int y) {
    char name[32];
    snprintf(name, sizeof(name), "tutorial_%02i_%02i.png", x, y);
    return name;
}

std::string FadeName(const std::string& bubbleName, int i) {
    return bubbleName.substr(0, bubbleName.size() - 4) + std::to_string(i) + ".png";
}

}  // namespace

CElementTutorial::Text CElementTutorial::ReadText(const char* levelText) {
    Text t;
    if (!levelText || !levelText[0]) return t;
    const SignDirective d = ReadSignDirective(levelText);
    if (!d.marked) {
        // Free text.
        t.style = strlen(levelText) > kSmallTextLength ? STYLE_LARGE : STYLE_SMALL;
        t.shown = FontHasEntry(kFreeTextString);
        return t;
    }
    // A directive without its number can show nothing sensible.
    if (d.parts < 1) return t;
    t.directive = true;
    t.body = d.body;
    t.heading = d.parts >= 3 ? d.heading : 0;
    t.style = d.letter == 'k' ? STYLE_KIDS : (d.letter == 'l' ? STYLE_LARGE : STYLE_SMALL);
    t.shown = FontHasEntry(t.body) && (t.style != STYLE_KIDS || t.heading < 1 || FontHasEntry(t.heading));
    return t;
}

CElementTutorial::CElementTutorial(int x_, int y_, const char* levelText) : CElement(x_, y_, 1) {
    tutorialPresent = 1;
    DebugLog(DBG_TICK, "TUTORIAL START\n");

    static const char* const kLooks[kIconLooks][2] = {
        {"qmarkrotate", "Tutorial Icon"},
        {"qmarkrotate_fading1", "Tutorial Icon - Faded 1"},
        {"qmarkrotate_fading2", "Tutorial Icon - Faded 2"},
        {"qmarkrotate_fading3", "Tutorial Icon - Faded 3"},
    };
    for (int i = 0; i < kIconLooks; ++i) {
        icons[i] = NewPieceSprite(15, 17, LAYER_TUTORIAL_SIGN, 2, 1, 1, kLooks[i][1], false);
        icons[i]->AddFrames(kLooks[i][0], 0, 23, ".tga", 1);
        icons[i]->SetLooping(true);
        icons[i]->SetPosition(pixelX, pixelY, false);
    }
    sprite = lastShownSprite = icons[0];
    sprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprite->SetFrame(phaseCounter);
    sprite->Play(true);
    bobbing.Init(pixelY, 4, 3.0f, 3.3f, phaseCounter);
    phaseCounter = (phaseCounter + kPhaseStep) % kPhaseCycle;
    DebugLog(DBG_TICK, "TUTORIAL LOAD\n");

    BuildBubble(levelText);

    type = ELEMENT_TUTORIAL;
    active = 0;
    iconCountdown = 0;
    if (IsInsideGrid(x, y)) tutorialGrid[CellIndex(x, y)] = this;
    DebugLog(DBG_TICK, "TUTORIAL DONE\n");
}

CElementTutorial::~CElementTutorial() {
    DebugLog(DBG_DESTRUCT, "CElementTutorial:  Destroying tutorial element at (%d,%d)...\n", x, y);
    if (IsInsideGrid(x, y) && tutorialGrid[CellIndex(x, y)] == this) tutorialGrid[CellIndex(x, y)] = nullptr;
    if (activeSign == this) activeSign = nullptr;
    for (CSprite*& icon : icons) {
        delete icon;
        icon = nullptr;
    }
    sprite = lastShownSprite = nullptr;
    delete bubble;
    bubble = nullptr;
    ReleaseBubbleImages();
}

void CElementTutorial::ReleaseBubbleImages() {
    if (bubbleName.empty()) return;
    CDraw::UnloadImage(bubbleName.c_str());
    for (int i = 0; i < kFadeFrames; ++i) CDraw::UnloadImage(FadeName(bubbleName, i).c_str());
    bubbleName.clear();
}

void CElementTutorial::BuildBubble(const char* levelText) {
    text = ReadText(levelText);
    DebugLog(DBG_TICK, "TUTORIAL SSCANF\n");
    if (!text.shown) {
        DebugLog(DBG_WARNING, "CElementTutorial()   The sign at (%i,%i) has no text to show: '%s'\n", x, y,
                 levelText ? levelText : "(none)");
        return;
    }
    const bool kids = text.style == STYLE_KIDS;
    const bool large = text.style == STYLE_LARGE;
    bubbleName = BubbleName(x, y);
    int kidsWrapW = 0;
    const int image = kids ? CutKidsCard(text, bubbleName, &textArea, &kidsWrapW)
                           : CDraw::CopyImage(large ? "tutorial_big.png" : "tutorial_small.png", bubbleName.c_str(), 0);
    DebugLog(DBG_MILESTONE, "ID_120:  GAME:     Tutorial Text Started (%i)\n", text.body);
    const int w = CDraw::GetWidth(image);
    const int h = CDraw::GetHeight(image);

    if (!kids) textArea = TextArea(large, w, h);
    if (!text.directive) {
        // The level file's own text, as its author typed it: its "%n" are
        // line breaks, nothing else in it is markup. Too long for the
        // bubble, it is set smaller, as the editor's box sets it.
        FontFitRequest fit(kFreeTextString, FontFit::kLinesKeepEnd, levelText, textArea.w, textArea.h);
        fit.values = FontValues::kTypedLines;
        BlitFittedString(fit, image, 0, textArea.x, textArea.y);
    } else if (!kids) {
        DebugLog(DBG_DEBUG, "CElementTutorial()  Found tutorial directive for STRING #%i\n", text.body);
        BlitString(text.body, image, textArea.w, textArea.h, 0, textArea.x, textArea.y);
    } else {
        if (text.heading > 0)
            BlitString(text.heading, image, w - 2 * kKidsBulbColumn, kKidsHeadingH, 2, kKidsBulbColumn,
                       kKidsHeadingTop);
        // Broken where they were measured, the lines fill their column.
        BlitString(text.body, image, kidsWrapW, textArea.h, 0, textArea.x, textArea.y);
    }
    DebugLog(DBG_MILESTONE, "ID_120:  GAME:     Tutorial Text Completed\n");
    DebugLog(DBG_MILESTONE, "ID_121:  GAME:     Tutorial Fade Started (%i,%i)\n", kids ? 1 : 0, large ? 1 : 0);
    CDraw::MakeFadeSequence(bubbleName.c_str(), kFadeFrames, kFadeStep);
    DebugLog(DBG_MILESTONE, "ID_121:  GAME:     Tutorial Fade Completed\n");

    bubble = new CSprite(LAYER_CL0, 2, false);
    bubble->SetName("Tutorial Box");
    for (int i = 0; i < kFadeFrames; ++i) bubble->AddFrame(FadeName(bubbleName, i).c_str());
    // Faded in, it stands whole: no veil of the level through it.
    bubble->AddFrame(bubbleName.c_str());
    // The bubble opens in the half of the screen away from the sign; the
    // kids' card at the top, across the screen's middle.
    int bx = (kScreenW - w) / 2, by = kKidsTop;
    if (!kids) {
        bx = x > 15 ? (large ? 10 : 20) : (large ? 340 : 420);
        by = y > 11 ? (large ? 15 : 50) : (large ? 275 : 350);
    }
    bubble->SetPosition(bx, by, false);
}

CElementTutorial* CElementTutorial::GetTutorialAt(int x, int y) {
    return IsInsideGrid(x, y) ? tutorialGrid[CellIndex(x, y)] : nullptr;
}

void CElementTutorial::HandleTutorial(int x, int y) {
    if (!IsInsideGrid(x, y)) return;
    CElementTutorial* sign = tutorialGrid[CellIndex(x, y)];
    if (sign == activeSign) return;
    if (activeSign) activeSign->active = 0;
    activeSign = sign;
    if (sign) {
        sign->active = 1;
        DebugLog(DBG_DEBUG, "CElementTutorial::HandleTutorial()   Activating tutorial at (%i,%i)\n", x, y);
    }
}

int CElementTutorial::GetIconFade() const {
    for (int i = 0; i < kIconLooks; ++i)
        if (icons[i] == sprite) return i;
    return 0;
}

void CElementTutorial::Update() {
    if (bubble) {
        if (active) {
            bubble->Show(kSpriteNotDrawn, kSpriteNotDrawn);
            bubble->Play(true);
        } else if (!bubble->IsHidden()) {
            bubble->Play(false);
            if (bubble->GetFrame() == 0) bubble->Hide();
        }
    }

    int look = GetIconFade();
    if (iconCountdown > 0) {
        --iconCountdown;
    } else if (active && look < kIconLooks - 1) {
        ++look;
        iconCountdown = kIconFadeDelay;
    } else if (!active && look > 0) {
        --look;
        iconCountdown = kIconFadeDelay;
    }
    sprite = icons[look];
    if (sprite != lastShownSprite) {
        // The rotation goes on in the new look.
        lastShownSprite->Hide();
        sprite->Show(pixelX, bobbing.GetValue());
        sprite->SetFrame(lastShownSprite->GetFrame());
        sprite->Play(true);
        lastShownSprite = sprite;
    }
    bobbing.Step();
    sprite->SetPosition(pixelX, bobbing.GetValue(), false);
}

void CElementTutorial::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementTutorial state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_SAVE(records[k], SIGN_UNDO_FIELDS);
    CElement::SaveState(k);
}

void CElementTutorial::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementTutorial state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_RESTORE(records[k], SIGN_UNDO_FIELDS);
    CElement::RestoreState(k);
    // The class keeps its active sign in step with the restored signs.
    if (active) {
        activeSign = this;
    } else if (activeSign == this) {
        activeSign = nullptr;
    }
}

void CElementTutorial::DescribeState(CWorldDigest* d) {
    UNDO_DESCRIBE(d, SIGN_UNDO_FIELDS);
    CElement::DescribeState(d);
}

void CElementTutorial::DescribeStatics(CWorldDigest* d) {
    d->BeginPart("signs");
    d->Field("tutorialPresent", tutorialPresent);
    d->AddElement("activeSign", activeSign);
    d->AddCells("sign", -2, [d](int x, int y) { return d->ElementIndex(tutorialGrid[CellIndex(x, y)]); });
}

void CElementTutorial::PrintSprites() {
    for (CSprite* s : {sprite, bubble}) {
        if (!s) continue;
        DebugLog(DBG_ACTIVE_SPRITE,
                 "   T(%2d,%2d)  %-20s   LOCATION=(%d,%d)  HIDDEN=%d  STATE=%d  FRAME=%d  FINISHED=%d  NAME='%s'\n", x,
                 y, GetTypeName(), s->GetX(true), s->GetY(true), s->IsHidden() ? 1 : 0, s->GetAnimationState(),
                 s->GetFrame(), s->IsFinished() ? 1 : 0, s->GetName());
    }
}

void ResetTutorialGrid() {
    for (CElementTutorial*& cell : CElementTutorial::tutorialGrid) cell = nullptr;
    CElementTutorial::tutorialPresent = 0;
    CElementTutorial::activeSign = nullptr;
}
