// The instructions and the credits, opened from the main menu: page turning
// by buttons and keys, and every text and picture kept inside its place.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "gui/CGuiButton.h"
#include "screens/CControllerCredits.h"
#include "screens/CControllerInstructions.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerPage.h"
#include "tests/screens/ScreenTest.h"

namespace {

using Instructions = CControllerInstructions;

struct Box {
    int x, y, w, h;
    bool Overlaps(const Box& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
};

// The rendered runs (words) of a text, relative to its box's corner.
std::vector<Box> TextRuns(int textId, int boxW, int boxH, int align, const char* value = nullptr) {
    std::vector<Box> runs;
    SDL_Surface* s = FontRenderString(boxW, boxH, align, textId, value);
    if (!s) return runs;
    SDL_FreeSurface(s);
    for (const FontRunPlacement& r : FontGetLastPlacements()) runs.push_back({r.x, r.y, r.w, r.h});
    return runs;
}

// What a text needs of its box: the bounding box of its runs.
Box TextExtent(int textId, int boxW, int boxH, int align, const char* value = nullptr) {
    const std::vector<Box> runs = TextRuns(textId, boxW, boxH, align, value);
    if (runs.empty()) return {0, 0, 0, 0};
    int left = boxW, top = boxH, right = 0, bottom = 0;
    for (const Box& r : runs) {
        left = std::min(left, r.x);
        top = std::min(top, r.y);
        right = std::max(right, r.x + r.w);
        bottom = std::max(bottom, r.y + r.h);
    }
    return {left, top, right - left, bottom - top};
}

// Which pictures of a page are solid at each page pixel (bit i for picture
// i), as drawn and grown by `reach` pixels each way.
struct PageMasks {
    int w = 0, h = 0;
    std::vector<uint32_t> solid, near;
};

PageMasks MaskPictures(const Instructions::PageLayout& layout, int pageW, int pageH, int reach) {
    PageMasks m;
    m.w = pageW;
    m.h = pageH;
    m.solid.assign(pageW * pageH, 0);
    m.near.assign(pageW * pageH, 0);
    for (int i = 0; i < layout.pictureCount && i < 32; ++i) {
        const Instructions::Picture& pic = layout.pictures[i];
        const int id = CDraw::GetImage(pic.image);
        SDL_Surface* s = CDraw::GetSurface(id);
        for (int y = 0; s && y < s->h; ++y)
            for (int x = 0; x < s->w; ++x) {
                Uint8 r, g, b, a;
                SDL_GetRGBA(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b, &a);
                const int px = pic.x + x, py = pic.y + y;
                if (a < 32 || px < 0 || py < 0 || px >= pageW || py >= pageH) continue;
                m.solid[py * pageW + px] |= 1u << i;
                for (int dy = -reach; dy <= reach; ++dy)
                    for (int dx = -reach; dx <= reach; ++dx) {
                        const int nx = px + dx, ny = py + dy;
                        if (nx >= 0 && ny >= 0 && nx < pageW && ny < pageH) m.near[ny * pageW + nx] |= 1u << i;
                    }
            }
        CDraw::ReleaseImage(id);
    }
    return m;
}

// A button of a page stands wholly on the parchment: under its lower
// corners, shadow included, 4 more pixels of the page are still whole
// parchment, not its torn, darkened edge.
void ExpectOnThePage(const CGuiButton* b, const std::string& what) {
    const int id = CDraw::GetImage("parchment.png");
    SDL_Surface* page = CDraw::GetSurface(id);
    ASSERT_NE(page, nullptr);
    const int w = 2 * (b->GetCentreX() - b->GetX());
    const int y = b->GetY() + 40 + 2 + 4 - CControllerPage::kPageY;
    for (int x : {b->GetX() + 4, b->GetX() + w - 4}) {
        const int px = x - CControllerPage::kPageX;
        Uint8 r = 0, g = 0, bl = 0, a = 0;
        if (px >= 0 && px < page->w && y >= 0 && y < page->h)
            SDL_GetRGBA(CDraw::GetPixel(page, px, y), page->format, &r, &g, &bl, &a);
        EXPECT_TRUE(a == 255 && r + g + bl > 450) << what << " at x " << x << " stands off the parchment";
    }
    CDraw::ReleaseImage(id);
}

void ExpectInside(const Box& text, int boxW, int boxH, const std::string& what) {
    EXPECT_GE(text.x, 0) << what;
    EXPECT_GE(text.y, 0) << what;
    EXPECT_LE(text.x + text.w, boxW) << what;
    EXPECT_LE(text.y + text.h, boxH) << what;
}

class FrontPagesTest : public ScreenTest {
protected:
    void OpenFromMenu(int button) {
        root.reset(new CControllerMain());
        root->Activate(nullptr);
        Frame();
        CGuiButton* b = root->GetButton(button);
        Click(b->GetCentreX(), b->GetCentreY());
        Frames(2);
        Frame();
        // Away from every widget, so that Return goes to the default button.
        PushPointerMotion(790, 590);
        Frame();
    }
    void TearDown() override {
        root.reset();
        ScreenTest::TearDown();
    }
    std::unique_ptr<CControllerMain> root;
};

TEST_F(FrontPagesTest, InstructionsTurnPagesByButtonsTopicsAndKeys) {
    OpenFromMenu(CControllerMain::BUTTON_INSTRUCTIONS);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_INSTRUCTIONS);
    auto* book = dynamic_cast<Instructions*>(CController::GetCurrent());
    ASSERT_NE(book, nullptr);
    EXPECT_TRUE(CRender::IsSwapped());
    CGuiButton* prev = book->GetButton(Instructions::BUTTON_PREVIOUS);
    CGuiButton* next = book->GetButton(Instructions::BUTTON_NEXT);
    CGuiButton* topic9 = book->GetButton(9);

    for (int id : {Instructions::BUTTON_PREVIOUS, Instructions::BUTTON_DONE, Instructions::BUTTON_NEXT})
        ExpectOnThePage(book->GetButton(id), "button " + std::to_string(id));
    // The row of previous, done and next and the two columns of topics are
    // centred on the page, in the middle of the screen.
    EXPECT_NEAR(book->GetButton(Instructions::BUTTON_DONE)->GetCentreX(), 400, 1);
    EXPECT_NEAR((prev->GetCentreX() + next->GetCentreX()) / 2.0, 400, 1);
    EXPECT_NEAR((book->GetButton(0)->GetCentreX() + topic9->GetCentreX()) / 2.0, 400, 1);

    // Contents: the previous button is faded and inert, the topics show.
    EXPECT_EQ(book->GetPage(), 0);
    EXPECT_TRUE(prev->IsDisabled());
    EXPECT_FALSE(prev->GetDisableSprite()->IsHidden());
    EXPECT_FALSE(topic9->GetBaseSprite()->IsHidden());
    Click(prev->GetCentreX(), prev->GetCentreY());
    Frames(2);
    EXPECT_EQ(book->GetPage(), 0);
    // Return with nothing focused: the default next button.
    PushPointerMotion(790, 590);
    TapKey(SDLK_RETURN);
    Frame();
    EXPECT_EQ(book->GetPage(), 1);
    EXPECT_TRUE(topic9->GetBaseSprite()->IsHidden());
    EXPECT_FALSE(prev->IsDisabled());
    // Previous from page 1: the contents again, with its topics.
    Click(prev->GetCentreX(), prev->GetCentreY());
    Frames(2);
    EXPECT_EQ(book->GetPage(), 0);
    EXPECT_FALSE(topic9->GetBaseSprite()->IsHidden());
    // The topic with id 9 opens page 10.
    Click(topic9->GetCentreX(), topic9->GetCentreY());
    Frames(2);
    EXPECT_EQ(book->GetPage(), 10);
    // On to the last page; there next is faded and Return does nothing.
    PushPointerMotion(790, 590);
    for (int i = 0; i < 8; ++i) {
        TapKey(SDLK_RETURN);
        Frame();
    }
    EXPECT_EQ(book->GetPage(), 18);
    EXPECT_TRUE(next->IsDisabled());
    EXPECT_FALSE(next->GetDisableSprite()->IsHidden());
    TapKey(SDLK_RETURN);
    Frame();
    EXPECT_EQ(book->GetPage(), 18);
    // Escape closes from any page; the menu comes back unfrozen.
    TapKey(SDLK_ESCAPE);
    Frame();
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_FALSE(CRender::IsSwapped());
    EXPECT_EQ(CDraw::FindImage("baseInstructions.png"), -1) << "the page picture is released";
}

// Every page's texts fit their boxes, and its pictures lie on the page, off
// the title, the body text and the buttons below.
TEST_F(FrontPagesTest, InstructionPagesKeepTextsAndPicturesApart) {
    const int pageW = CDraw::GetWidth(CDraw::GetImage("parchment.png"));
    const int pageH = CDraw::GetHeight(CDraw::GetImage("parchment.png"));
    CDraw::UnloadImage("parchment.png");
    CDraw::UnloadImage("parchment.png");
    // The three buttons at the foot, in page pixels (the page lies at 57, 23),
    // with their shadows and a margin that keeps pictures from touching them.
    const int margin = 8, rowY = Instructions::kFootRowY - 23;
    const Box buttons[] = {{190 - 57 - margin, rowY - margin, 97 + 2 * margin, 42 + margin},
                           {345 - 57 - margin, rowY - margin, 97 + 2 * margin, 42 + margin},
                           {500 - 57 - margin, rowY - margin, 97 + 2 * margin, 42 + margin}};
    for (int page = 1; page <= Instructions::kLastPage; ++page) {
        const Instructions::PageLayout* layout = Instructions::GetLayout(page);
        ASSERT_NE(layout, nullptr);
        const std::string where = "page " + std::to_string(page);
        std::vector<Box> texts;
        const int t = 20100 + 10 * (page - 1);
        if (page == 1) {
            Box title = TextExtent(20100, pageW, 40, 2);
            ExpectInside(title, pageW, 40, where + " title");
            texts.push_back({title.x, 37 + title.y, title.w, title.h});
        } else {
            for (int k = 0; k < 2; ++k) {
                Box line = TextExtent(t + k, pageW - 48, 40, 0);
                ExpectInside(line, pageW - 48, 40, where + " title line " + std::to_string(k));
                texts.push_back({48 + line.x, (k ? 73 : 37) + line.y, line.w, line.h});
            }
        }
        const Box body = TextExtent(Instructions::BodyText(page), layout->bodyW, Instructions::kBodyH, 0);
        ExpectInside(body, layout->bodyW, Instructions::kBodyH, where + " body");
        for (const Box& run : TextRuns(Instructions::BodyText(page), layout->bodyW, Instructions::kBodyH, 0))
            texts.push_back({layout->bodyX + run.x, Instructions::kBodyY + run.y, run.w, run.h});

        for (int i = 0; i < layout->pictureCount; ++i) {
            const Instructions::Picture& pic = layout->pictures[i];
            const SDL_Rect seen = OpaqueBox(pic.image);
            const Box r = {pic.x + seen.x, pic.y + seen.y, seen.w, seen.h};
            const std::string what = where + " " + pic.image;
            EXPECT_GT(r.w, 0) << what;
            EXPECT_GE(r.x, 0) << what;
            EXPECT_GE(r.y, 0) << what;
            EXPECT_LE(r.x + r.w, pageW) << what;
            EXPECT_LE(r.y + r.h, pageH) << what;
            for (const Box& text : texts) EXPECT_FALSE(r.Overlaps(text)) << what << " covers text";
            for (const Box& b : buttons) EXPECT_FALSE(r.Overlaps(b)) << what << " covers or touches a button";
        }
    }
}

// A page whose pictures (not a scene laid out in cells) all stand below its
// text centres the two on each other, and they stand no nearer the buttons
// than the text.
TEST_F(FrontPagesTest, TextAboveAPictureIsCentredOnIt) {
    int centred = 0;
    for (int page = 1; page <= Instructions::kLastPage; ++page) {
        const Instructions::PageLayout* layout = Instructions::GetLayout(page);
        ASSERT_NE(layout, nullptr);
        const Box text = TextExtent(Instructions::BodyText(page), layout->bodyW, Instructions::kBodyH, 0);
        const int textBottom = Instructions::kBodyY + text.y + text.h;
        int left = INT_MAX, right = 0, top = INT_MAX, bottom = 0;
        for (int i = 0; i < layout->pictureCount; ++i) {
            const SDL_Rect r = OpaqueBox(layout->pictures[i].image);
            const int x = layout->pictures[i].x + r.x, y = layout->pictures[i].y + r.y;
            left = std::min(left, x), right = std::max(right, x + r.w), bottom = std::max(bottom, y + r.h);
            top = std::min(top, layout->pictures[i].onCell ? INT_MIN : y);
        }
        if (top < textBottom) continue;
        ++centred;
        EXPECT_NEAR(layout->bodyX + text.x + text.w / 2.0, (left + right) / 2.0, 4)
            << "page " << page << ": the text is off the pictures' middle";
        EXPECT_LE(top - textBottom, Instructions::kFootRowY - 23 - bottom)
            << "page " << page << ": the pictures stand nearer the buttons than their text";
    }
    EXPECT_GT(centred, 2);
}

// A page's scene (its pictures after the first, which stands beside the
// text) reads as one picture: every piece touches the rest, none hangs in
// the air on its own. And nothing drawn after the professor hides him.
TEST_F(FrontPagesTest, InstructionScenesHangTogetherAndLeaveTheProfessorInView) {
    const int pageW = CDraw::GetWidth(CDraw::GetImage("parchment.png"));
    const int pageH = CDraw::GetHeight(CDraw::GetImage("parchment.png"));
    CDraw::UnloadImage("parchment.png");
    CDraw::UnloadImage("parchment.png");
    for (int page = 1; page <= Instructions::kLastPage; ++page) {
        const Instructions::PageLayout* layout = Instructions::GetLayout(page);
        ASSERT_NE(layout, nullptr);
        ASSERT_LE(layout->pictureCount, 32);
        const PageMasks m = MaskPictures(*layout, pageW, pageH, 2);
        const std::string where = "page " + std::to_string(page);

        // The inflatables' page shows three things apart, not a scene.
        if (page != 12 && layout->pictureCount > 2) {
            // Pieces that touch, joined until nothing changes.
            std::vector<int> group(layout->pictureCount);
            for (int i = 0; i < layout->pictureCount; ++i) group[i] = i;
            for (bool changed = true; changed;) {
                changed = false;
                for (uint32_t bits : m.near) {
                    bits &= ~1u;
                    if (!bits || !(bits & (bits - 1))) continue;
                    int lowest = layout->pictureCount;
                    for (int i = 1; i < layout->pictureCount; ++i)
                        if (bits >> i & 1) lowest = std::min(lowest, group[i]);
                    for (int i = 1; i < layout->pictureCount; ++i)
                        if ((bits >> i & 1) && group[i] != lowest) {
                            group[i] = lowest;
                            changed = true;
                        }
                }
            }
            for (int i = 2; i < layout->pictureCount; ++i)
                EXPECT_EQ(group[i], group[1]) << where << ": " << layout->pictures[i].image << " stands apart from "
                                              << layout->pictures[1].image;
        }

        for (int i = 0; i < layout->pictureCount; ++i) {
            if (std::string(layout->pictures[i].image).rfind("prof", 0) != 0) continue;
            const uint32_t later = ~((2u << i) - 1);
            int seen = 0, hidden = 0;
            for (uint32_t bits : m.solid) {
                if (!(bits >> i & 1)) continue;
                ++seen;
                if (bits & later) ++hidden;
            }
            EXPECT_GT(seen, 0) << where;
            EXPECT_LE(hidden * 20, seen) << where << ": " << hidden << " of " << seen << " pixels of "
                                         << layout->pictures[i].image << " are covered";
        }
    }
}

// A page's ladder meets its ledges as levels build them: where a ledge
// ends beside the ladder, between its top and its foot, a platform on the
// ladder bridges the gap between the two at the ledge's top (which its
// grass overtops by a few pixels).
TEST_F(FrontPagesTest, WhereALedgeMeetsALadderAPlatformJoinsThem) {
    auto starts = [](const char* name, const char* prefix) { return std::string(name).rfind(prefix, 0) == 0; };
    int ledges = 0;
    for (int page = 1; page <= Instructions::kLastPage; ++page) {
        const Instructions::PageLayout* layout = Instructions::GetLayout(page);
        ASSERT_NE(layout, nullptr);
        int railsLeft = INT_MAX, railsRight = 0, railsTop = INT_MAX, railsBottom = 0;
        std::vector<Box> platforms, ground;
        for (int i = 0; i < layout->pictureCount; ++i) {
            const char* name = layout->pictures[i].image;
            const SDL_Rect r = OpaqueBox(name);
            const Box box = {layout->pictures[i].x + r.x, layout->pictures[i].y + r.y, r.w, r.h};
            if (starts(name, "ladderplatform")) {
                platforms.push_back(box);
            } else if (starts(name, "ladder")) {
                railsLeft = std::min(railsLeft, box.x);
                railsRight = std::max(railsRight, box.x + box.w);
                railsTop = std::min(railsTop, box.y);
                railsBottom = std::max(railsBottom, box.y + box.h);
            } else if (starts(name, "grass") || starts(name, "sand") || starts(name, "ice")) {
                ground.push_back(box);
            }
        }
        for (const Box& g : ground) {
            const bool onLeft = g.x + g.w <= railsLeft;
            const int gapFrom = onLeft ? g.x + g.w : railsRight, gapTo = onLeft ? railsLeft : g.x;
            if (g.y <= railsTop || g.y >= railsBottom || gapTo < gapFrom || gapTo - gapFrom > 12) continue;
            ++ledges;
            bool joined = false;
            for (const Box& p : platforms)
                joined |= p.x <= gapFrom && p.x + p.w >= gapTo && p.y <= g.y + 10 && p.y + p.h >= g.y;
            EXPECT_TRUE(joined) << "page " << page << ": the ledge at (" << g.x << ", " << g.y
                                << ") stops short of the ladder";
        }
    }
    EXPECT_GT(ledges, 0);
}

// A bridge piece falls away as the professor steps off it, so a bridge page
// that shows him crossing shows each piece as long after he left it as he
// walked from there: he walks on the first piece still whole, every piece
// behind him falls, the further behind the further fallen (a higher frame of
// its collapse), and the pieces ahead of him, not reached yet, hold. He is
// whoever stands on the deck in the page's other pictures; the way he faces
// is that of his picture when the game draws him. A bridge drops nothing
// that stood on it (it falls once that has moved on), so nothing but its
// own pieces falls where it gave way.
TEST_F(FrontPagesTest, OnABridgePageOnlyThePiecesHeHasSteppedOffFallAway) {
    const int pageW = CDraw::GetWidth(CDraw::GetImage("parchment.png"));
    const int pageH = CDraw::GetHeight(CDraw::GetImage("parchment.png"));
    CDraw::UnloadImage("parchment.png");
    CDraw::UnloadImage("parchment.png");
    const std::string bridge = "bridge";
    for (int page : {10, 13}) {
        const Instructions::PageLayout* layout = Instructions::GetLayout(page);
        ASSERT_NE(layout, nullptr);
        SCOPED_TRACE("page " + std::to_string(page));
        struct Piece {
            int x, frame;
        };
        std::vector<Piece> pieces;
        SDL_Rect whole = {0, 0, 0, 0};
        int deckTop = 0, facing = 0;
        for (int i = 0; i < layout->pictureCount; ++i) {
            const std::string name = layout->pictures[i].image;
            if (name.rfind("prof", 0) == 0) facing = name.find("right") != std::string::npos ? 1 : -1;
            if (name.rfind(bridge, 0) != 0) continue;
            const size_t digits = name.find_first_of("0123456789");
            ASSERT_NE(digits, std::string::npos) << name;
            pieces.push_back({layout->pictures[i].x, std::atoi(name.c_str() + digits)});
            if (pieces.back().frame == 0) {
                whole = OpaqueBox(name.c_str());
                deckTop = layout->pictures[i].y + whole.y;
            }
        }
        ASSERT_GE(pieces.size(), 3u);
        ASSERT_GT(whole.w, 0) << "no piece stands whole";
        std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.x < b.x; });

        // Whoever stands on the deck, over the bridge: the mean column of
        // what the other pictures draw there.
        const PageMasks m = MaskPictures(*layout, pageW, pageH, 0);
        uint32_t others = 0;
        for (int i = 0; i < layout->pictureCount; ++i)
            if (std::string(layout->pictures[i].image).rfind(bridge, 0) != 0) others |= 1u << i;
        const int left = pieces.front().x + whole.x, right = pieces.back().x + whole.x + whole.w;
        double sum = 0;
        int count = 0;
        for (int y = std::max(0, deckTop - 40); y < deckTop - 12; ++y)
            for (int x = left; x < right && x < pageW; ++x)
                if (m.solid[y * pageW + x] & others) sum += x, ++count;
        ASSERT_GT(count, 0) << "nobody walks on the bridge";
        const double walker = sum / count;
        size_t on = 0;
        for (size_t i = 1; i < pieces.size(); ++i)
            if (std::fabs(pieces[i].x + whole.x + whole.w / 2.0 - walker) <
                std::fabs(pieces[on].x + whole.x + whole.w / 2.0 - walker))
                on = i;

        // Behind him is where he faces away from; drawn in a picture of the
        // page, where the fallen pieces are.
        if (facing == 0) facing = on + 1 < pieces.size() && pieces[on + 1].frame > 0 ? -1 : 1;
        // Below the deck and inside the gap, clear of the bank where it
        // begins (a rope lies 4 px over it, its ground reaches 3 px out).
        const int gaveWayFrom = (facing > 0 ? left : pieces[on].x + whole.x + whole.w) + 7;
        const int gaveWayTo = (facing > 0 ? pieces[on].x + whole.x : right) - 4;
        int fallingThrough = 0;
        for (int y = deckTop + 12; y < pageH; ++y)
            for (int x = std::max(0, gaveWayFrom); x < gaveWayTo && x < pageW; ++x)
                fallingThrough += (m.solid[y * pageW + x] & others) != 0;
        EXPECT_EQ(fallingThrough, 0) << "something falls where the bridge gave way";
        for (size_t i = 0; i < pieces.size(); ++i) {
            const int behind = (static_cast<int>(on) - static_cast<int>(i)) * facing;
            if (behind <= 0) {
                EXPECT_EQ(pieces[i].frame, 0) << "the piece at x " << pieces[i].x << ", which he "
                                              << (behind ? "has not reached" : "stands on") << ", falls";
            } else {
                EXPECT_GT(pieces[i].frame, 0) << "the piece at x " << pieces[i].x << " that he left still holds";
                const size_t nearer = i + facing;
                if (nearer != on) {
                    EXPECT_GE(pieces[i].frame, pieces[nearer].frame)
                        << "the piece at x " << pieces[i].x << " fell before the one he left after it";
                }
            }
        }
    }
}

// The inflatables' page shows each at one scale, so that they are as large
// as each other as they are in play, and floating alike: their undersides
// level. Measured on the rows each draws solidly (its shadow is fainter), to
// within a pixel of its height in play.
TEST_F(FrontPagesTest, TheInflatablesShowAsLargeAsEachOtherAsInPlayAndFloatLevel) {
    auto solidRows = [](const char* image) {
        const int id = CDraw::GetImage(image);
        SDL_Surface* s = CDraw::GetSurface(id);
        std::pair<int, int> rows = {INT_MAX, -1};
        for (int y = 0; s && y < s->h; ++y)
            for (int x = 0; x < s->w; ++x) {
                Uint8 r, g, b, a;
                SDL_GetRGBA(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b, &a);
                if (a >= 128) rows = {std::min(rows.first, y), y};
            }
        CDraw::ReleaseImage(id);
        return rows;
    };
    const char* const inPlay[] = {"crateinflatablestill0.tga", "magnetinflatablerightstill0.tga",
                                  "barrelinflatable0.tga"};
    const Instructions::PageLayout* layout = Instructions::GetLayout(12);
    ASSERT_EQ(layout->pictureCount, 3);
    std::vector<double> scales, undersides;
    for (int i = 0; i < 3; ++i) {
        const auto page = solidRows(layout->pictures[i].image), play = solidRows(inPlay[i]);
        ASSERT_TRUE(page.second >= 0 && play.second >= 0) << layout->pictures[i].image;
        scales.push_back((page.second - page.first + 1.0) / (play.second - play.first + 1.0));
        undersides.push_back(layout->pictures[i].y + page.second);
        EXPECT_NEAR(scales[i] / scales[0], 1.0, 0.1) << layout->pictures[i].image << " is drawn at another scale";
        EXPECT_NEAR(undersides[i], undersides[0], 2) << layout->pictures[i].image << " floats at another height";
    }
}

TEST_F(FrontPagesTest, CreditsOpenOverTheMenuAndEveryTextFitsItsBox) {
    OpenFromMenu(CControllerMain::BUTTON_CREDITS);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_CREDITS);
    EXPECT_TRUE(CRender::IsSwapped());
    ASSERT_NE(CDraw::FindImage("baseCredits.png"), -1);

    for (int row = 0; row < CControllerCredits::kRows; ++row) {
        const CControllerCredits::NameField& n = CControllerCredits::GetNameField(row);
        ExpectInside(TextExtent(1001, n.w, n.h, 0, n.text), n.w, n.h, n.text);
        ExpectInside(TextExtent(1002 + row, 220, 35, 1), 220, 35, "role " + std::to_string(row));
    }
    ExpectInside(TextExtent(1009, 280, 75, 2, CControllerCredits::GetThanks()), 280, 75, "thanks");
    ExpectInside(TextExtent(1010, 100, 40, 1, CControllerCredits::kVersion), 100, 40, "version");
    ExpectInside(TextExtent(1000, 686, 40, 2), 686, 40, "title");
    // The title is centred on the page, in the middle of the screen.
    const SDL_Rect title = InkSpan(100, 58, 700, 98);
    EXPECT_NEAR(title.x + title.w / 2.0, 400, 1.5);
    auto* credits = dynamic_cast<CControllerCredits*>(CController::GetCurrent());
    ASSERT_NE(credits, nullptr);
    ExpectOnThePage(credits->GetDoneButton(), "done");
    EXPECT_NEAR(credits->GetDoneButton()->GetCentreX(), 400, 1);

    // Done is the default button: Return with nothing focused closes.
    TapKey(SDLK_RETURN);
    Frame();
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    EXPECT_FALSE(CRender::IsSwapped());
    EXPECT_EQ(CDraw::FindImage("baseCredits.png"), -1);
}

}  // namespace
