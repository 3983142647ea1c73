// Tutorial signs: reading a sign's text (directives, free text, and texts
// that can show nothing), the bubble's style and place, its fades while the
// hero stands on the sign and after he leaves, switching between
// neighbouring signs, the kids parchment's heading, every tutorial text and
// a sign's own text fitting its bubble with the real fonts, and the large
// bubble clear of the play screen's Menu button.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "editor/CControllerEditorTutorial.h"
#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "gui/CGuiTextbox.h"
#include "tests/world/pieces/ObjectWorld.h"
#include "world/pieces/CElementTutorial.h"

using worldtest::Step;

namespace {

using Sign = CElementTutorial;

// Signs in a world whose hero leaves them to the test: the test says where
// the hero stands (the hero himself tells the signs at the end of his update).
class SignWorldTest : public objecttest::ObjectWorldTest {
protected:
    void BuildSigns(const std::vector<std::string>& rows = {}, const std::string& signs = "") {
        std::string error;
        ASSERT_TRUE(CLevelSource::Parse(objecttest::LevelSource(rows, {}, signs), &level_, &error)) << error;
        CLevelBuilder::Build(&level_);
        new objecttest::StandInFloor(0, 1, 0);
        new objecttest::StandInHero(0, 0);
    }
};

// Where a picture holds ink (the dark of text, far darker than the paper),
// looking only inside [x0, x1) x [y0, y1): its rows, and the box round it.
struct Ink {
    std::vector<int> rows;
    int left = INT_MAX, right = -1, bottom = -1;
};
Ink FindInk(const std::string& name, int x0, int x1, int y0, int y1) {
    Ink ink;
    SDL_Surface* s = CDraw::GetSurface(CDraw::FindImage(name.c_str()));
    if (!s) {
        ADD_FAILURE() << "no picture " << name;
        return ink;
    }
    for (int y = std::max(0, y0); y < std::min(y1, s->h); ++y) {
        bool row = false;
        for (int x = std::max(0, x0); x < std::min(x1, s->w); ++x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b, &a);
            if (a < 200 || r + g + b >= 360) continue;
            row = true;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.bottom = y;
        }
        if (row) ink.rows.push_back(y);
    }
    return ink;
}

int AlphaAt(int image, int x, int y) {
    SDL_Surface* s = CDraw::GetSurface(image);
    Uint8 r, g, b, a;
    SDL_GetRGBA(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b, &a);
    return a;
}

bool AnyRowIn(const std::vector<int>& rows, int from, int to) {
    for (int y : rows)
        if (y >= from && y < to) return true;
    return false;
}

}  // namespace

TEST(TutorialSignText, DirectivesNameTheirEntriesAndTextsThatCannotShowGiveNoBubble) {
    worldtest::EnsureHeadlessWorld();
    struct Case {
        const char* text;
        bool shown, directive;
        int body, heading, style;
    };
    const std::string hundred(100, 'a');
    const std::string longer(101, 'a');
    const Case cases[] = {
        {"#zqdefine 5002-s-0#", true, true, 5002, 0, Sign::STYLE_SMALL},
        {"#zqdefine 5002-l-0#", true, true, 5002, 0, Sign::STYLE_LARGE},
        {"#zqdefine 2100-k-2101#", true, true, 2100, 2101, Sign::STYLE_KIDS},
        {"#zqdefine 2100-k-0#", true, true, 2100, 0, Sign::STYLE_KIDS},
        {"#zqdefine 5002-q-9#", true, true, 5002, 9, Sign::STYLE_SMALL},
        // Only the number: the large bubble, no heading.
        {"#zqdefine 5002#", true, true, 5002, 0, Sign::STYLE_LARGE},
        {hundred.c_str(), true, false, 0, 0, Sign::STYLE_SMALL},
        {longer.c_str(), true, false, 0, 0, Sign::STYLE_LARGE},
        // Entries the string table lacks, directives that cannot be read,
        // and no text at all: nothing to show.
        {"#zqdefine 99999-s-0#", false, true, 99999, 0, Sign::STYLE_SMALL},
        {"#zqdefine 2100-k-99999#", false, true, 2100, 99999, Sign::STYLE_KIDS},
        {"#zqdefine -5-l-0#", false, true, -5, 0, Sign::STYLE_LARGE},
        {"#zqdefine abc#", false, false, 0, 0, Sign::STYLE_SMALL},
        {"#zqdefine", false, false, 0, 0, Sign::STYLE_SMALL},
        {"#zqdefine 99999999999999999999-s-0#", false, false, 0, 0, Sign::STYLE_SMALL},
        {"", false, false, 0, 0, Sign::STYLE_SMALL},
        {nullptr, false, false, 0, 0, Sign::STYLE_SMALL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        const Sign::Text t = Sign::ReadText(c.text);
        EXPECT_EQ(t.shown, c.shown);
        EXPECT_EQ(t.directive, c.directive);
        if (t.directive) {
            EXPECT_EQ(t.body, c.body);
            EXPECT_EQ(t.heading, c.heading);
        }
        if (t.shown) {
            EXPECT_EQ(t.style, c.style);
        }
    }
}

TEST_F(SignWorldTest, ABubbleFadesInWhileTheHeroStandsOnItsSignAndAwayWhenHeLeaves) {
    // The level's sign sits in the lower right half: its large bubble opens
    // in the upper left.
    ASSERT_NO_FATAL_FAILURE(BuildSigns({"", "", "", "", "", "", "", "", "", "", "", "", "................?"},
                                       "sign: 16 12 #zqdefine 5004-l-0#\n"));
    Sign* sign = Sign::GetTutorialAt(16, 12);
    ASSERT_NE(sign, nullptr);
    EXPECT_TRUE(Sign::IsTutorialPresent());
    EXPECT_FALSE(CElement::IsOccupied(16, 12));  // a sign blocks nothing
    CSprite* bubble = sign->GetBubbleSprite();
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(sign->GetBubbleImageName(), "tutorial_16_12.png");
    // Six ever stronger fades, and then the bubble whole: once faded in, the
    // level does not show through it.
    ASSERT_EQ(bubble->GetFrameCount(), 7);
    const int whole = bubble->GetFrameImage(6);
    EXPECT_EQ(whole, CDraw::FindImage("tutorial_16_12.png"));
    EXPECT_EQ(AlphaAt(whole, CDraw::GetWidth(whole) / 2, CDraw::GetHeight(whole) / 2), 255);
    EXPECT_LT(AlphaAt(bubble->GetFrameImage(5), CDraw::GetWidth(whole) / 2, CDraw::GetHeight(whole) / 2), 255);
    EXPECT_EQ(bubble->GetX(false), 10);
    EXPECT_EQ(bubble->GetY(false), 15);
    Step(3);
    EXPECT_TRUE(bubble->IsHidden());
    EXPECT_EQ(sign->GetIconFade(), 0);

    // The hero arrives: the bubble fades in over its pictures and the
    // question mark fades a look every fourth update down to the faintest.
    Sign::HandleTutorial(16, 12);
    EXPECT_TRUE(sign->IsActive());
    std::vector<int> fades;
    int lastFrame = 0;
    for (int i = 0; i < 16; ++i) {
        Step();
        fades.push_back(sign->GetIconFade());
        EXPECT_FALSE(bubble->IsHidden());
        EXPECT_GE(bubble->GetFrame(), lastFrame);
        lastFrame = bubble->GetFrame();
    }
    EXPECT_EQ(fades, (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3}));
    EXPECT_EQ(lastFrame, 6);
    EXPECT_EQ(sign->GetIconSprite()->GetName(), std::string("Tutorial Icon - Faded 3"));

    // He leaves: the bubble fades back and hides, the question mark returns.
    Sign::HandleTutorial(0, 0);
    EXPECT_FALSE(sign->IsActive());
    EXPECT_EQ(Sign::GetActiveTutorial(), nullptr);
    fades.clear();
    for (int i = 0; i < 16; ++i) {
        Step();
        fades.push_back(sign->GetIconFade());
        if (!bubble->IsHidden()) {
            EXPECT_LE(bubble->GetFrame(), lastFrame);
            lastFrame = bubble->GetFrame();
        }
    }
    EXPECT_TRUE(bubble->IsHidden());
    EXPECT_EQ(bubble->GetFrame(), 0);
    EXPECT_EQ(fades, (std::vector<int>{2, 2, 2, 2, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(sign->GetIconSprite()->GetName(), std::string("Tutorial Icon"));
    EXPECT_FALSE(sign->GetIconSprite()->IsHidden());
}

TEST_F(SignWorldTest, BubblesOpenAwayFromTheirSignAndNeighbouringSignsHandOverInOneCall) {
    ASSERT_NO_FATAL_FAILURE(BuildSigns());
    const int phase = Sign::GetPhaseCounter();
    Sign* largeLowRight = new Sign(16, 12, "#zqdefine 5001-l-0#");
    Sign* largeHighLeft = new Sign(15, 11, "#zqdefine 5001-l-0#");
    Sign* smallHighRight = new Sign(20, 3, "#zqdefine 5001-s-0#");
    Sign* smallLowLeft = new Sign(2, 20, "#zqdefine 5001-s-0#");
    Sign* kids = new Sign(30, 22, "#zqdefine 5001-k-0#");
    Sign* neighbour = new Sign(3, 20, "#zqdefine 5002-s-0#");
    const struct {
        Sign* sign;
        int x, y;
    } places[] = {{largeLowRight, 10, 15}, {largeHighLeft, 340, 275}, {smallHighRight, 20, 350},
                  {smallLowLeft, 420, 50},  {kids, 132, 52},           {neighbour, 420, 50}};
    int expectedFrame = phase;
    for (const auto& p : places) {
        ASSERT_NE(p.sign->GetBubbleSprite(), nullptr);
        EXPECT_EQ(p.sign->GetBubbleSprite()->GetX(false), p.x);
        EXPECT_EQ(p.sign->GetBubbleSprite()->GetY(false), p.y);
        // Successive signs start their question marks four frames apart.
        EXPECT_EQ(p.sign->GetIconSprite()->GetFrame(), expectedFrame);
        expectedFrame = (expectedFrame + 4) % 14;
    }

    Sign::HandleTutorial(2, 20);
    EXPECT_TRUE(smallLowLeft->IsActive());
    Sign::HandleTutorial(3, 20);
    EXPECT_FALSE(smallLowLeft->IsActive());
    EXPECT_TRUE(neighbour->IsActive());
    EXPECT_EQ(Sign::GetActiveTutorial(), neighbour);
    // A cell outside the grid changes nothing; a cell without a sign ends it.
    Sign::HandleTutorial(-1, 20);
    EXPECT_TRUE(neighbour->IsActive());
    Sign::HandleTutorial(4, 20);
    EXPECT_FALSE(neighbour->IsActive());
    EXPECT_EQ(Sign::GetActiveTutorial(), nullptr);

    // Undo puts the active sign back with the step.
    Sign::HandleTutorial(2, 20);
    Step();  // the world's first step keeps this position
    Sign::HandleTutorial(3, 20);
    Step();
    CElement::LoadUndoStep(true);
    EXPECT_TRUE(smallLowLeft->IsActive());
    EXPECT_FALSE(neighbour->IsActive());
    EXPECT_EQ(Sign::GetActiveTutorial(), smallLowLeft);
    Sign::HandleTutorial(3, 20);
    EXPECT_FALSE(smallLowLeft->IsActive());
    EXPECT_TRUE(neighbour->IsActive());
}

TEST_F(SignWorldTest, ASignWithATextItCannotShowKeepsItsQuestionMarkButOpensNoBubble) {
    ASSERT_NO_FATAL_FAILURE(BuildSigns());
    const int imagesBefore = CDraw::GetRecordCount();
    Sign* missing = new Sign(5, 10, "#zqdefine 99999-l-0#");
    Sign* malformed = new Sign(6, 10, "#zqdefine x-k-#");
    Sign* empty = new Sign(7, 10, nullptr);
    EXPECT_EQ(CDraw::GetRecordCount(), imagesBefore);  // no bubble pictures made
    for (Sign* s : {missing, malformed, empty}) {
        EXPECT_EQ(s->GetBubbleSprite(), nullptr);
        EXPECT_TRUE(s->GetBubbleImageName().empty());
        Sign::HandleTutorial(s->GetCurrentX(), s->GetCurrentY());
        EXPECT_TRUE(s->IsActive());
        Step(10);
        EXPECT_EQ(s->GetIconFade(), 3);
    }
}

// A level's own sign text breaks its lines at its "%n", as the level file
// stores them; nothing else in it is markup, and no style leaks from it.
TEST_F(SignWorldTest, AFreeTextBreaksAtItsLineBreaksAndHoldsNoOtherMarkup) {
    ASSERT_NO_FATAL_FAILURE(BuildSigns());
    Sign* sign = new Sign(5, 10, "Push %bthe%ncrate %1%i");
    ASSERT_NE(sign->GetBubbleSprite(), nullptr);
    std::vector<std::u16string> lines;
    for (const FontRunPlacement& r : FontGetLastPlacements()) {
        lines.resize(static_cast<size_t>(r.line));
        lines.back() += r.text;
        EXPECT_EQ(r.style, 0);
    }
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"Push %bthe", u"crate %1%i"}));
    EXPECT_EQ(FontGetStyle(), 0);
}

TEST_F(SignWorldTest, AKidsParchmentPutsItsHeadingAboveTheBodyOrTheBodyHigherWithoutOne) {
    ASSERT_NO_FATAL_FAILURE(BuildSigns());
    Sign* withHeading = new Sign(10, 10, "#zqdefine 5004-k-5027#");
    Sign* without = new Sign(11, 10, "#zqdefine 5004-k-0#");
    const int w = CDraw::GetWidth(CDraw::FindImage("tutorial_10_10.png"));
    ASSERT_GT(w, 150);
    const std::vector<int> a = FindInk("tutorial_10_10.png", 40, w - 70, 25, INT_MAX).rows;
    const std::vector<int> b = FindInk("tutorial_11_10.png", 40, w - 70, 25, INT_MAX).rows;
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    // The heading in its 40-pixel box at row 40, the body from row 88, close
    // under it: no empty band between the two.
    EXPECT_GE(a.front(), 40);
    EXPECT_LT(a.front(), 80);
    EXPECT_FALSE(AnyRowIn(a, 80, 88));
    EXPECT_TRUE(AnyRowIn(a, 88, 100));
    int headingEnd = a.front();
    while (AnyRowIn(a, headingEnd + 1, headingEnd + 2)) ++headingEnd;
    EXPECT_LE(*std::upper_bound(a.begin(), a.end(), headingEnd) - headingEnd, 32);
    // Without a heading the body starts at row 76, below the bulb.
    EXPECT_GE(b.front(), 76);
    EXPECT_LT(b.front(), 92);
    EXPECT_EQ(withHeading->GetText().style, Sign::STYLE_KIDS);
    EXPECT_EQ(without->GetText().heading, 0);
}

// The kids' card is sized by its text: it ends a margin below the text's
// last line and, in whole periods of its dots, as far right of the text's
// widest line as the card needs, its text's column centred on it and its
// heading, in a heading's larger type, too; it stands whole once faded in,
// centred at the top of the screen.
TEST_F(SignWorldTest, AKidsCardIsAsLargeAsItsTextAndNoLarger) {
    ASSERT_NO_FATAL_FAILURE(BuildSigns());
    const int paper = CDraw::GetImage("parchment_kids.png");
    const int paperW = CDraw::GetWidth(paper), paperH = CDraw::GetHeight(paper);
    CDraw::ReleaseImage(paper);
    constexpr int kRim = 14, kBulbColumn = 70, kDotPeriod = 80;
    const char* const signs[] = {"#zqdefine 5028-k-5027#", "#zqdefine 5044-k-5043#", "#zqdefine 5036-k-5035#",
                                 "#zqdefine 5039-k-5045#", "#zqdefine 5044-k-0#"};
    for (const char* directive : signs) {
        SCOPED_TRACE(directive);
        CElement::UnloadElements();
        CElement::ResetWorld();
        Sign* sign = new Sign(5, 20, directive);
        ASSERT_NE(sign->GetBubbleSprite(), nullptr);
        const std::string name = sign->GetBubbleImageName();
        const int image = CDraw::FindImage(name.c_str());
        const int w = CDraw::GetWidth(image), h = CDraw::GetHeight(image);
        EXPECT_LE(w, paperW);
        EXPECT_LE(h, paperH);
        // Inside the paper's rim and clear of the dots along its top and
        // bottom, below the heading and the bulb.
        const Ink text = FindInk(name, kRim, w - kRim, 80, h - 25);
        ASSERT_FALSE(text.rows.empty());
        // 40 pixels below the line box, the descent of its letters besides.
        EXPECT_GE(h - 1 - text.bottom, 40);
        EXPECT_LE(h - 1 - text.bottom, 52);
        // As far from either side, 40 pixels at least, at most half a
        // period of the dots more.
        const int left = text.left, right = w - 1 - text.right;
        EXPECT_NEAR(left, right, 2) << "the text stands off the card's middle";
        EXPECT_GE(std::min(left, right), 40);
        bool widest = std::max(left, right) < 40 + kDotPeriod / 2 + 4;
        // The heading in the middle too, as far from the sides as the bulb's
        // column at least; it may be what makes the card as wide as it is.
        const Sign::Text& t = sign->GetText();
        if (t.heading > 0) {
            // Measured left of the bulb: a heading running under it stands
            // off the middle.
            const Ink heading = FindInk(name, kRim, w - kBulbColumn, 40, 80);
            ASSERT_FALSE(heading.rows.empty());
            EXPECT_NEAR((heading.left + heading.right) / 2.0, (w - 1) / 2.0, 2.5)
                << "the heading stands off the card's middle";
            EXPECT_GE(heading.left, kBulbColumn);
            widest = widest || heading.left < kBulbColumn + kDotPeriod / 2 + 4;
            EXPECT_GT(FontGetEntry(t.heading).pointSize, FontGetEntry(5028).pointSize)
                << "a heading as small as the cards' texts";
        }
        EXPECT_TRUE(widest) << "the card is wider than its text";
        EXPECT_EQ(AlphaAt(image, w / 2, h / 2), 255);
        EXPECT_EQ(sign->GetBubbleSprite()->GetX(false), (800 - w) / 2);
    }
}

// Every tutorial text, drawn by a sign into a small, a large and a kids
// bubble (with and without a heading), stays inside its text box and off the
// bubble's rim, measured on the runs the renderer placed with the real fonts.
TEST_F(SignWorldTest, EveryTutorialTextFitsItsBubbleWithTheRealFonts) {
    constexpr int kRim = 14;  // the paper's edge the text must stay clear of
    struct Style {
        char letter;
        int heading;
    };
    const Style styles[] = {{'s', 0}, {'l', 0}, {'k', 0}, {'k', 2102}};
    int measured = 0;
    for (int id = 5001; id <= 5099; ++id) {
        if (!FontHasEntry(id)) continue;
        for (const Style& st : styles) {
            SCOPED_TRACE("text " + std::to_string(id) + " style " + st.letter);
            CElement::UnloadElements();
            CElement::ResetWorld();
            const std::string directive =
                "#zqdefine " + std::to_string(id) + "-" + st.letter + "-" + std::to_string(st.heading) + "#";
            Sign* sign = new Sign(5, 5, directive.c_str());
            ASSERT_NE(sign->GetBubbleSprite(), nullptr);
            const int image = CDraw::FindImage(sign->GetBubbleImageName().c_str());
            const int w = CDraw::GetWidth(image), h = CDraw::GetHeight(image);
            const SDL_Rect box = sign->GetTextArea();
            const auto& runs = FontGetLastPlacements();  // the body, drawn last
            ASSERT_FALSE(runs.empty());
            for (const FontRunPlacement& r : runs) {
                EXPECT_LE(r.x + r.w, box.w);
                EXPECT_LE(r.y + r.h, box.h);
                EXPECT_LE(box.x + r.x + r.w, w - kRim);
                EXPECT_LE(box.y + r.y + r.h, h - kRim);
            }
            ++measured;
        }
    }
    EXPECT_GE(measured, 26 * 4);
}

// A sign's own text shows in its bubble at least as its author saw it in the
// editor's box: the longest and the most-lines texts the box accepts for the
// small bubble (100 characters) and the large one (250), and texts of many
// short lines, are set smaller until they fit, every line whole inside the
// bubble's text area; only a text of more lines than the smallest size
// holds leaves out its first lines, never one the box showed.
TEST_F(SignWorldTest, ASignsOwnTextShowsInItsBubbleAtLeastAsTheEditorsBoxShowedIt) {
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    std::string steps = "Step 1";
    for (int i = 2; i <= 8; ++i) steps += "%nStep " + std::to_string(i);
    const std::string words =
        "Push the wooden crate onto the red button to open the gate. Then climb the ladder and wait for the bot "
        "to walk past before you jump across. Magnets pull metal crates from far away, so keep your distance. "
        "Press U to undo a step if you get stuck again.";
    const struct {
        std::string text;
        int style;
    } texts[] = {
        {std::string(100, 'W'), Sign::STYLE_SMALL},
        {repeat("a%n", 33) + "a", Sign::STYLE_SMALL},
        {steps, Sign::STYLE_SMALL},
        {std::string(CControllerEditorTutorial::kMaxText, 'W'), Sign::STYLE_LARGE},
        {repeat("a%n", 83) + "a", Sign::STYLE_LARGE},
        {repeat("Mind the crates%n", 11) + "Good luck now", Sign::STYLE_LARGE},
        {words, Sign::STYLE_LARGE},
    };
    auto withoutBreaks = [](std::string s) {
        for (size_t at = s.find("%n"); at != std::string::npos; at = s.find("%n", at)) s.erase(at, 2);
        return s;
    };
    auto endsWith = [](const std::string& s, const std::string& end) {
        return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(t.text);
        CControllerEditorTutorial editorBox(t.text.c_str());
        ASSERT_NE(editorBox.GetTextbox(), nullptr);
        ASSERT_EQ(editorBox.GetSignText(), t.text);
        const std::string authorSaw = withoutBreaks(editorBox.GetTextbox()->GetShownText());

        CElement::UnloadElements();
        CElement::ResetWorld();
        Sign* sign = new Sign(5, 5, t.text.c_str());
        ASSERT_EQ(sign->GetText().style, t.style);
        ASSERT_NE(sign->GetBubbleSprite(), nullptr);
        const SDL_Rect area = sign->GetTextArea();
        std::string shown;  // the texts are plain ASCII
        for (const FontRunPlacement& r : FontGetLastPlacements()) {
            shown += std::string(r.text.begin(), r.text.end());
            EXPECT_GE(r.x, 0);
            EXPECT_GE(r.y, 0);
            EXPECT_LE(r.x + r.w, area.w);
            EXPECT_LE(r.y + r.h, area.h);
        }
        const std::string all = withoutBreaks(t.text);
        EXPECT_TRUE(endsWith(all, shown)) << shown;
        EXPECT_TRUE(endsWith(shown, authorSaw)) << shown << " | " << authorSaw;
        if (authorSaw == all) {
            EXPECT_EQ(shown, all);
        }
    }
}

// The large bubble of a sign in the left half's lower rows opens at
// (340, 15), where the play screen's Menu button stands over its top-right
// corner: neither the bubble's paper nor its text comes near the button.
TEST_F(SignWorldTest, TheLargeBubbleLeavesTheMenuButtonClear) {
    ASSERT_NO_FATAL_FAILURE(BuildSigns());
    Sign* sign = new Sign(3, 20, std::string(CControllerEditorTutorial::kMaxText, 'W').c_str());
    ASSERT_EQ(sign->GetText().style, Sign::STYLE_LARGE);
    const int bx = sign->GetBubbleSprite()->GetX(false), by = sign->GetBubbleSprite()->GetY(false);
    ASSERT_EQ(bx, 340);
    ASSERT_EQ(by, 15);
    // The button as the play screen places it, and a margin around it.
    const int buttonImage = CDraw::GetImage("ingame_menubutton.tga");
    const int margin = 6;
    const SDL_Rect button = {static_cast<Sint16>(742 - margin), static_cast<Sint16>(9 - margin),
                             static_cast<Uint16>(CDraw::GetWidth(buttonImage) + 2 * margin),
                             static_cast<Uint16>(CDraw::GetHeight(buttonImage) + 2 * margin)};
    CDraw::ReleaseImage(buttonImage);
    ASSERT_GT(button.w, 2 * margin);
    SDL_Surface* bubble = CDraw::GetSurface(CDraw::FindImage(sign->GetBubbleImageName().c_str()));
    ASSERT_NE(bubble, nullptr);
    int covered = 0;
    SDL_LockSurface(bubble);
    for (int y = std::max(0, button.y - by); y < std::min(bubble->h, button.y + button.h - by); ++y)
        for (int x = std::max(0, button.x - bx); x < std::min(bubble->w, button.x + button.w - bx); ++x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(CDraw::GetPixel(bubble, x, y), bubble->format, &r, &g, &b, &a);
            if (a != 0) ++covered;
        }
    SDL_UnlockSurface(bubble);
    EXPECT_EQ(covered, 0);
    const SDL_Rect area = sign->GetTextArea();
    const bool apart = bx + area.x + area.w <= button.x || by + area.y >= button.y + button.h;
    EXPECT_TRUE(apart);
}
