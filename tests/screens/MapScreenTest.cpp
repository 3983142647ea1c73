// The level map on the real resources and level pack: a new player chooses
// a set first, a returning one goes straight to his next level; the dots
// show the profile's progress; a level is played on the real play screen and
// the map comes back with the next level open; the stories show before the
// levels that carry them and the ending after the last level; a set is reset
// only after a yes; the explanation box once; the map and the level manager
// ask the main menu for each other.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "gui/CControllerGame.h"
#include "gui/CControllerInGame.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiButtonMapDot.h"
#include "players/CProfile.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerManager.h"
#include "screens/CControllerMap.h"
#include "screens/CControllerScoreboard.h"
#include "screens/CControllerSetSelect.h"
#include "screens/CControllerStory.h"
#include "screens/LevelDotLayouts.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/screens/ScreenTest.h"
#include "world/CElement.h"
#include "world/CLevelSet.h"

namespace {

using Dot = CGuiButtonMapDot;

// The pixels that are solid (alpha 128 and more) in any frame of a strip of
// pictures: the room a spinning star takes, its faint glow left out.
struct SweptMask {
    int w = 0, h = 0;
    std::vector<char> on;
    bool At(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && on[y * w + x]; }
};

SweptMask Sweep(const std::vector<std::string>& pictures) {
    SweptMask m;
    for (const std::string& picture : pictures) {
        const int id = CDraw::GetImage(picture.c_str());
        SDL_Surface* s = CDraw::GetSurface(id);
        if (s && m.on.empty()) {
            m.w = s->w;
            m.h = s->h;
            m.on.assign(m.w * m.h, 0);
        }
        for (int y = 0; s && y < std::min(s->h, m.h); ++y)
            for (int x = 0; x < std::min(s->w, m.w); ++x) {
                Uint8 r, g, b, a;
                SDL_GetRGBA(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b, &a);
                if (a >= 128) m.on[y * m.w + x] = 1;
            }
        CDraw::ReleaseImage(id);
    }
    return m;
}

SweptMask Sweep(const std::string& stem, int frames) {
    std::vector<std::string> pictures;
    for (int f = 0; f < frames; ++f) pictures.push_back(stem + std::to_string(f) + ".png");
    return Sweep(pictures);
}

// Whether two masks laid at (ax, ay) and (bx, by) share a pixel.
bool Overlap(const SweptMask& a, int ax, int ay, const SweptMask& b, int bx, int by) {
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x)
            if (a.At(x, y) && b.At(ax + x - bx, ay + y - by)) return true;
    return false;
}

class MapScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        Profile().Reset();
        Profile().SetDefaultKeys();
        CElement::SetProfile(&Profile());
        root.Activate(nullptr);
    }
    void TearDown() override {
        map.reset();
        if (CRender::IsSwapped()) CRender::Swap(true);
        CElement::SetProfile(nullptr);
        Profile().Reset();
        ScreenTest::TearDown();
    }
    CControllerMap* OpenMap() {
        map.reset();
        map.reset(new CControllerMap());
        root.OpenChild(map.get());
        Frames(2);
        return map.get();
    }
    // Runs frames until the screen of that id is current and has had its
    // first frame (at most n frames).
    static bool Reach(int screenId, int n = 60) {
        for (int i = 0; i < n; ++i) {
            Frame();
            if (CController::GetCurrentId() != screenId) continue;
            Frame();
            return CController::GetCurrentId() == screenId;
        }
        return false;
    }
    // Holds an arrow key until the level ends (the post-game board or the
    // ending story comes up).
    static void WalkToTheEnd(SDLKey key) {
        PushKey(true, key);
        for (int i = 0; i < 4000 && CController::GetCurrentId() == CONTROLLER_GAME; ++i) Frame();
        PushKey(false, key);
    }
    // Has the in-game menu show the level's stored solution (an unbound key
    // opens the menu, the box asks first) and runs it until the level ends.
    static void ShowTheSolutionToTheEnd() {
        TapKey(SDLK_ESCAPE);
        ASSERT_TRUE(Reach(CONTROLLER_INGAME_MENU, 5));
        CController::GetCurrent()->GUICallback(CControllerInGame::ROW_SOLUTION, 0, false);
        auto* box = dynamic_cast<CControllerMessage*>(CController::GetCurrent());
        ASSERT_NE(box, nullptr);
        box->GUICallback(CControllerMessage::BUTTON_OKAY, 0, false);
        ASSERT_TRUE(Reach(CONTROLLER_GAME, 10));
        for (int i = 0; i < 4000 && CController::GetCurrentId() == CONTROLLER_GAME; ++i) Frame();
    }
    // The kids' first level: right off the ledge, then back left underneath
    // it to the exit.
    static void PlayTheFirstKidsLevel() {
        PushKey(true, SDLK_RIGHT);
        for (int i = 0; i < 600 && !(CElement::GetHero() && CElement::GetHero()->GetCurrentY() == 21); ++i) Frame();
        PushKey(false, SDLK_RIGHT);
        Frames(20);
        WalkToTheEnd(SDLK_LEFT);
    }
    static int State(CControllerMap* m, int level) { return m->GetDot(level)->GetState(); }
    static CControllerScoreboard* Board() { return dynamic_cast<CControllerScoreboard*>(CController::GetCurrent()); }

    RecordingOwner root{CONTROLLER_MAIN};
    std::unique_ptr<CControllerMap> map;
};

TEST_F(MapScreenTest, ANewPlayerChoosesASetAndAReturningPlayerGoesStraightToHisNextLevel) {
    CControllerMap* m = OpenMap();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_LEVELSET);
    auto* choice = dynamic_cast<CControllerSetSelect*>(CController::GetCurrent());
    ASSERT_NE(choice, nullptr);
    CGuiButton* kids = choice->GetButton(CControllerSetSelect::BUTTON_KIDS);
    Click(kids->GetCentreX(), kids->GetCentreY());
    ASSERT_TRUE(Reach(CONTROLLER_MAP));
    EXPECT_EQ(m->GetCurrentSet(), 2);
    EXPECT_EQ(Profile().GetCurrentSet(), 2);
    EXPECT_EQ(m->GetCurrentLevel(), 0);
    ASSERT_EQ(m->GetDotCount(), 81);
    EXPECT_EQ(State(m, 0), Dot::STATE_PLAYABLE);
    for (int n = 1; n < 81; ++n) EXPECT_EQ(State(m, n), Dot::STATE_LOCKED) << n;
    EXPECT_EQ(m->GetLevel(), CLevelSet::GetSet(2)->GetLevel(0));
    // The first visit's help points at Play, and hides no dot or star of
    // any set.
    CSprite* help = m->GetSprite(CControllerMap::SPRITE_HELP_BOX);
    ASSERT_NE(help, nullptr);
    const SDL_Rect seen = OpaqueBox("mapoverviewboxlockedmain.png");
    const SDL_Rect box = {static_cast<Sint16>(help->GetX(false) + seen.x), static_cast<Sint16>(help->GetY(false) + seen.y),
                          seen.w, seen.h};
    auto covered = [&box](int x, int y, int w, int h) {
        return x < box.x + box.w && box.x < x + w && y < box.y + box.h && box.y < y + h;
    };
    for (int set = 0; set < CLevelSet::kSetCount; ++set)
        for (int n = 0; n < GetLevelDotCount(set); ++n) {
            const DotPosition p = GetLevelDotPosition(set, n), c = GetStarCentre(set, n);
            const DotBox post = GetStarPostBox(set, n);
            const bool star = IsTutorialLevel(set, n);
            EXPECT_FALSE(star ? covered(c.x - 10, c.y - 13, 20, 26) || covered(post.x, post.y, post.w, post.h)
                              : covered(p.x, p.y, 18, 18))
                << "the help covers level " << n << " of set " << set;
        }
    // The dots come in, the current level last, pulsing.
    Frames(60);
    EXPECT_EQ(Dot::GetSelectedDotId(), 0);
    EXPECT_EQ(m->GetDot(0)->GetAnim(), Dot::ANIM_SELECTED);
    EXPECT_FALSE(m->GetDot(80)->GetCurrentSprite()->IsHidden());

    // A player who solved a first level somewhere is not asked again, and
    // finds the level after his last one open and current.
    map.reset();
    Profile().Reset();
    Profile().SetCurrentSet(1);
    Profile().SetLevelSteps(30, 1, 0);
    m = OpenMap();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAP);
    EXPECT_EQ(m->GetCurrentSet(), 1);
    EXPECT_EQ(m->GetCurrentLevel(), 1);
    ASSERT_EQ(m->GetDotCount(), 50);
    EXPECT_EQ(State(m, 0), Dot::STATE_COMPLETED);
    EXPECT_EQ(State(m, 1), Dot::STATE_PLAYABLE);
    EXPECT_EQ(State(m, 2), Dot::STATE_LOCKED);
    EXPECT_EQ(m->GetSprite(CControllerMap::SPRITE_HELP_BOX), nullptr);
    // The change button cycles the sets: 1, 2, 0.
    m->GUICallback(CControllerMap::BUTTON_CHANGE_SET, 0, false);
    EXPECT_EQ(m->GetCurrentSet(), 2);
    EXPECT_EQ(m->GetDotCount(), 81);
    m->GUICallback(CControllerMap::BUTTON_CHANGE_SET, 0, false);
    EXPECT_EQ(m->GetCurrentSet(), 0);
    EXPECT_EQ(m->GetDotCount(), 111);
}

TEST_F(MapScreenTest, DotsShowSolvedOpenAndLockedLevelsAndTheTutorialStars) {
    // The regular set with its first five levels solved (two of them
    // tutorials): the next tutorial, T3, is the level to play, and opens the
    // level after it with it.
    Profile().SetCurrentSet(0);
    for (int n = 0; n <= 4; ++n) Profile().SetLevelSteps(10 + n, 0, n);
    CControllerMap* m = OpenMap();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MAP);
    ASSERT_EQ(m->GetDotCount(), 111);
    EXPECT_EQ(m->GetCurrentLevel(), 5);
    for (int n = 0; n <= 4; ++n) EXPECT_EQ(State(m, n), Dot::STATE_COMPLETED) << n;
    EXPECT_EQ(State(m, 5), Dot::STATE_PLAYABLE);
    EXPECT_EQ(State(m, 6), Dot::STATE_PLAYABLE);
    for (int n = 7; n < 111; ++n) EXPECT_EQ(State(m, n), Dot::STATE_LOCKED) << n;
    for (int n = 0; n < 111; ++n)
        EXPECT_EQ(m->GetDot(n)->GetKind(), IsTutorialLevel(0, n) ? Dot::KIND_STAR : Dot::KIND_DOT) << n;
    // Tutorial levels have no score board.
    EXPECT_TRUE(m->GetButton(CControllerMap::BUTTON_SCORES)->IsDisabled());
    // Neighbouring tutorial stars stay apart however they turn, also when
    // one of them pulses as the selected level (four pixels wider each
    // side); no star covers another level's dot or the post of another
    // star, and no post reaches under another dot.
    const SweptMask idle = Sweep("star_base", 60), pulse = Sweep("star_pulse", 60);
    const SweptMask dot = Sweep({"mapdotregularlockedbase.png", "mapdotregularcompletedbase.png",
                                 "mapdotregularcompletedrollover.png", "mapdotregularincompletebase.png",
                                 "mapdotregularincompleterollover.png", "mapdotregularselectedpulse5.png"});
    ASSERT_FALSE(idle.on.empty());
    ASSERT_FALSE(pulse.on.empty());
    ASSERT_FALSE(dot.on.empty());
    auto post = [](int n) { return Sweep({"mapstarpost" + std::to_string(n) + ".png"}); };
    for (int a = 0; a < 111; ++a) {
        if (m->GetDot(a)->GetKind() != Dot::KIND_STAR) continue;
        CSprite* sa = m->GetDot(a)->GetBaseSprite();
        CSprite* pa = m->GetDot(a)->GetPostSprite();
        ASSERT_NE(pa, nullptr);
        const SweptMask stick = post(a);
        ASSERT_FALSE(stick.on.empty());
        const int ax = sa->GetX(false), ay = sa->GetY(false);
        for (int b = 0; b < 111; ++b) {
            CSprite* sb = m->GetDot(b)->GetBaseSprite();
            const int bx = sb->GetX(false), by = sb->GetY(false);
            if (b == a || std::abs(ax - bx) > 60 || std::abs(ay - by) > 60) continue;
            if (m->GetDot(b)->GetKind() == Dot::KIND_DOT) {
                const DotPosition own = GetLevelDotPosition(0, a);
                if (bx == own.x && by == own.y) continue;  // the dot it stands on
                EXPECT_FALSE(Overlap(pulse, ax - 4, ay, dot, bx, by)) << a << " covers the dot of " << b;
                EXPECT_FALSE(Overlap(stick, pa->GetX(false), pa->GetY(false), dot, bx, by)) << a << "'s post under " << b;
                continue;
            }
            if (b > a) {
                EXPECT_FALSE(Overlap(idle, ax, ay, idle, bx, by)) << a << " and " << b;
            }
            EXPECT_FALSE(Overlap(pulse, ax - 4, ay, idle, bx, by)) << a << " pulsing by " << b;
            CSprite* pb = m->GetDot(b)->GetPostSprite();
            EXPECT_FALSE(Overlap(pulse, ax - 4, ay, post(b), pb->GetX(false), pb->GetY(false))) << a << " on the post of " << b;
        }
    }

    // A click on the open level after it selects it.
    Frames(80);
    CGuiButtonMapDot* six = m->GetDot(6);
    Click(six->GetSpriteX() + 9, six->GetSpriteY() + 9);
    Frames(2);
    EXPECT_EQ(m->GetCurrentLevel(), 6);
    EXPECT_EQ(Profile().GetCurrentLevel(), 6);
    EXPECT_EQ(m->GetLevel(), CLevelSet::GetSet(0)->GetLevel(6));
    EXPECT_FALSE(m->GetButton(CControllerMap::BUTTON_SCORES)->IsDisabled());
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAP);
    // Its score board opens over the map, and goes back to it.
    m->GUICallback(CControllerMap::BUTTON_SCORES, 0, false);
    ASSERT_TRUE(Reach(CONTROLLER_SCOREBOARD, 3));
    EXPECT_EQ(Board()->GetType(), SCOREBOARD_LEVEL_MAP);
    EXPECT_TRUE(m->GetDot(6)->IsHidden());
    TapKey(SDLK_ESCAPE);
    ASSERT_TRUE(Reach(CONTROLLER_MAP, 3));
    EXPECT_EQ(m->GetChild(), nullptr);
    EXPECT_FALSE(m->GetDot(6)->IsHidden());

    // A click on a locked one says it is locked, and changes nothing.
    CGuiButtonMapDot* locked = m->GetDot(25);
    Click(locked->GetSpriteX() + 9, locked->GetSpriteY() + 9);
    Frames(2);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    TapKey(SDLK_RETURN);
    ASSERT_TRUE(Reach(CONTROLLER_MAP));
    EXPECT_EQ(m->GetCurrentLevel(), 6);
    EXPECT_EQ(State(m, 25), Dot::STATE_LOCKED);

    // Without tutorials the player goes past T3 to the level after it.
    map.reset();
    Profile().SetTutorialLevelsEnabled(0);
    Profile().SetCurrentLevel(4);
    m = OpenMap();
    EXPECT_EQ(m->GetCurrentLevel(), 6);
}

TEST_F(MapScreenTest, AFinishedLevelBringsTheMapBackWithTheNextLevelOpen) {
    CControllerMap* m = OpenMap();
    auto* choice = dynamic_cast<CControllerSetSelect*>(CController::GetCurrent());
    ASSERT_NE(choice, nullptr);
    choice->GUICallback(CControllerSetSelect::BUTTON_KIDS, 0, false);
    ASSERT_TRUE(Reach(CONTROLLER_MAP));
    // Play: the opening story comes first, over the level.
    CGuiButton* play = m->GetButton(CControllerMap::BUTTON_PLAY);
    Click(play->GetCentreX(), play->GetCentreY());
    ASSERT_TRUE(Reach(CONTROLLER_STORY, 5));
    EXPECT_FALSE(m->IsLoaded());
    auto* story = dynamic_cast<CControllerStory*>(CController::GetCurrent());
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(story->GetStoryId(), 0);
    TapKey(SDLK_ESCAPE);
    ASSERT_TRUE(Reach(CONTROLLER_GAME, 5));
    Frames(60);  // the hero comes out of the tube
    PlayTheFirstKidsLevel();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_SCOREBOARD);
    ASSERT_NE(Board(), nullptr);
    EXPECT_EQ(Board()->GetType(), SCOREBOARD_SOLVED);
    EXPECT_TRUE(Profile().IsLevelSolved(2, 0));
    // Continue: back to the map, rebuilt, the next level open and current.
    Board()->GUICallback(CControllerScoreboard::BUTTON_CONTINUE, 0, false);
    ASSERT_TRUE(Reach(CONTROLLER_MAP, 5));
    EXPECT_TRUE(m->IsLoaded());
    EXPECT_EQ(m->GetChild(), nullptr);
    EXPECT_EQ(m->GetCurrentLevel(), 1);
    EXPECT_EQ(State(m, 0), Dot::STATE_COMPLETED);
    EXPECT_EQ(State(m, 1), Dot::STATE_PLAYABLE);
    EXPECT_EQ(State(m, 2), Dot::STATE_LOCKED);
    // The help of the first visit does not come back.
    EXPECT_EQ(m->GetSprite(CControllerMap::SPRITE_HELP_BOX), nullptr);
}

// The story table: the page shown before each level, -1 for none.
int ExpectedStory(int set, int level) {
    struct Entry {
        int set, level, story;
    };
    static const Entry kTable[] = {
        {0, 0, 0},   {0, 8, 1},   {0, 19, 2},  {0, 29, 3},  {0, 39, 4},  {0, 49, 5},  {0, 60, 6},
        {0, 70, 7},  {0, 81, 8},  {0, 90, 9},  {0, 102, 10}, {0, 110, 11}, {1, 0, 0},  {1, 4, 1},
        {1, 9, 2},   {1, 13, 3},  {1, 18, 4},  {1, 22, 5},  {1, 27, 6},  {1, 31, 7},  {1, 36, 8},
        {1, 40, 9},  {1, 45, 10}, {1, 49, 11}, {2, 0, 0},   {2, 80, 11},
    };
    for (const Entry& e : kTable)
        if (e.set == set && e.level == level) return e.story;
    return -1;
}

TEST_F(MapScreenTest, EveryLevelOfEverySetOpensTheStoryItCarriesBeforeItIsPlayed) {
    const int counts[3] = {111, 50, 81};
    for (bool wanted : {true, false}) {
        Profile().SetStoryEnabled(wanted ? 1 : 0);
        for (int set = 0; set < 3; ++set) {
            CLevelSet* levels = CLevelSet::GetSet(set);
            ASSERT_EQ(levels->GetLevelCount(), counts[set]);
            Profile().SetCurrentSet(set);
            for (int n = 0; n < counts[set]; ++n) {
                SCOPED_TRACE(testing::Message() << "set " << set << " level " << n);
                EXPECT_EQ(GetStoryType(set, n), ExpectedStory(set, n));
                Profile().SetCurrentLevel(n);
                levels->SetCurrentLevel(n);
                auto game = std::make_unique<CControllerGame>(levels);
                const auto* story = dynamic_cast<const CControllerStory*>(game->GetStoryChild());
                // The ending waits for the hero to come out at the exit.
                const int expected = ExpectedStory(set, n);
                if (wanted && expected >= 0 && expected < CControllerGame::kLastStory) {
                    ASSERT_NE(story, nullptr);
                    EXPECT_EQ(story->GetStoryId(), expected);
                } else {
                    EXPECT_EQ(story, nullptr);
                }
                game.reset();
                if (CRender::IsSwapped()) CRender::Swap(true);
            }
        }
    }
}

TEST_F(MapScreenTest, TheLastLevelOfASetEndsWithTheEndingStoryAndThenItsBoard) {
    Profile().SetCurrentSet(2);
    for (int n = 0; n < 80; ++n) Profile().SetLevelSteps(20, 2, n);
    CControllerMap* m = OpenMap();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MAP);
    ASSERT_EQ(m->GetCurrentLevel(), 80);
    m->GUICallback(CControllerMap::BUTTON_PLAY, 0, false);
    ASSERT_TRUE(Reach(CONTROLLER_GAME, 5));
    Frames(60);
    ShowTheSolutionToTheEnd();
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_STORY);
    auto* story = dynamic_cast<CControllerStory*>(CController::GetCurrent());
    EXPECT_EQ(story->GetStoryId(), 11);
    EXPECT_EQ(story->GetPageSprite()->GetFrameCount(), 2);
    EXPECT_TRUE(Profile().IsSetCompleted(2));
    TapKey(SDLK_ESCAPE);
    ASSERT_TRUE(Reach(CONTROLLER_SCOREBOARD, 5));
    EXPECT_EQ(Board()->GetType(), SCOREBOARD_SOLVED);
    // Back on the map a finished set starts over at its first level.
    Board()->GUICallback(CControllerScoreboard::BUTTON_CONTINUE, 0, false);
    ASSERT_TRUE(Reach(CONTROLLER_MAP, 5));
    EXPECT_EQ(m->GetCurrentLevel(), 0);
    EXPECT_EQ(State(m, 80), Dot::STATE_COMPLETED);
}

TEST_F(MapScreenTest, TheExplanationComesOnceAndAResetAsksFirst) {
    // Just back from the first regular level: the explanation box opens
    // over the map, once.
    Profile().SetCurrentSet(0);
    Profile().SetLevelSteps(25, 0, 0);
    CControllerMap* m = OpenMap();
    ASSERT_TRUE(Reach(CONTROLLER_TUTORIAL_MESSAGE, 3));
    EXPECT_EQ(m->GetCurrentLevel(), 1);
    TapKey(SDLK_RETURN);
    ASSERT_TRUE(Reach(CONTROLLER_MAP, 3));
    EXPECT_TRUE(m->WasExplanationShown());
    Frames(5);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAP);

    // Reset: no leaves everything as it was.
    m->GUICallback(CControllerMap::BUTTON_RESET_REGULAR, 0, false);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MESSAGE);
    TapKey(SDLK_ESCAPE);
    ASSERT_TRUE(Reach(CONTROLLER_MAP, 3));
    EXPECT_TRUE(Profile().IsLevelSolved(0, 0));
    EXPECT_EQ(State(m, 0), Dot::STATE_COMPLETED);
    // Yes relocks the set at its first level, and the dots come in again.
    m->GUICallback(CControllerMap::BUTTON_RESET_REGULAR, 0, false);
    auto* box = dynamic_cast<CControllerMessage*>(CController::GetCurrent());
    ASSERT_NE(box, nullptr);
    box->GUICallback(CControllerMessage::BUTTON_OKAY, 0, false);
    ASSERT_TRUE(Reach(CONTROLLER_MAP, 3));
    EXPECT_FALSE(Profile().IsLevelSolved(0, 0));
    EXPECT_EQ(m->GetCurrentLevel(), 0);
    EXPECT_EQ(State(m, 0), Dot::STATE_PLAYABLE);
    EXPECT_EQ(State(m, 1), Dot::STATE_LOCKED);
    EXPECT_EQ(m->GetDot(5)->GetAnim(), Dot::ANIM_APPEAR);
    EXPECT_FALSE(m->WasExplanationShown());
}

// The first and last columns of a sprite's picture that are not fully
// transparent, in screen pixels.
std::pair<int, int> InkColumns(CSprite* s) {
    SDL_Surface* img = CDraw::GetSurface(s->GetFrameImage(0));
    int first = -1, last = -1;
    for (int x = 0; img && x < img->w; ++x)
        for (int y = 0; y < img->h; ++y) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(CDraw::GetPixel(img, x, y), img->format, &r, &g, &b, &a);
            if (a < 40) continue;
            if (first < 0) first = x;
            last = x;
            break;
        }
    return {s->GetX(false) + first, s->GetX(false) + last};
}

// "Incomplete", the best of a level never solved, stays clear of the
// high-score button beside it, which stays on its panel; on the set bars
// each name and its percentage stand level, clear of the bar's rim.
TEST_F(MapScreenTest, PanelWordsAndButtonsStayInsideAndClearOfEachOther) {
    Profile().SetCurrentSet(1);
    Profile().SetLevelSteps(12, 1, 0);
    CControllerMap* m = OpenMap();
    ASSERT_TRUE(Reach(CONTROLLER_MAP, 3));
    ASSERT_EQ(Profile().GetLevelSteps(1, m->GetCurrentLevel(), false), 0);
    const int wordEnd = InkColumns(m->GetSprite(CControllerMap::SPRITE_LEVEL_STEPS)).second;
    CGuiButton* scores = m->GetButton(CControllerMap::BUTTON_SCORES);
    const int buttonStart = InkColumns(scores->GetBaseSprite()).first;
    EXPECT_LT(wordEnd, buttonStart);
    EXPECT_GE(buttonStart - wordEnd, 8) << "the word crowds the button";
    // The level's name starts where the set's name above it does, inset
    // from the panel's torn left edge.
    EXPECT_NEAR(InkColumns(m->GetSprite(CControllerMap::SPRITE_LEVEL_NAME)).first,
                InkColumns(m->GetSprite(CControllerMap::SPRITE_SET_NAME)).first, 1);
    // The button, shadow included, ends on the panel: the chart 4 pixels
    // past it is still light parchment, not its torn edge or the sea.
    const int buttonEnd = std::max(InkColumns(scores->GetBaseSprite()).second, InkColumns(scores->GetShadowSprite()).second);
    const int chart = CDraw::GetImage("map_background.jpg");
    SDL_Surface* bg = CDraw::GetSurface(chart);
    ASSERT_NE(bg, nullptr);
    for (int y = scores->GetY(); y < scores->GetY() + 22; ++y) {
        Uint8 r = 0, g = 0, b = 0;
        if (buttonEnd + 4 < bg->w) SDL_GetRGB(CDraw::GetPixel(bg, buttonEnd + 4, y), bg->format, &r, &g, &b);
        EXPECT_TRUE(r > b && r + g + b > 450) << "past the panel's edge at row " << y;
    }
    // The legend's two captions, right of the star and of the dot, start at
    // one x.
    auto captionStart = [bg](int top, int bottom) {
        int left = bg->w;
        for (int y = top; y < bottom; ++y)
            for (int x = 66; x < 290; ++x) {
                Uint8 r, g, b;
                SDL_GetRGB(CDraw::GetPixel(bg, x, y), bg->format, &r, &g, &b);
                if (r + g + b < 400) left = std::min(left, x);
            }
        return left;
    };
    EXPECT_NEAR(captionStart(150, 171), captionStart(174, 195), 2) << "the tutorial star's caption";
    CDraw::ReleaseImage(chart);

    for (int set = 0; set < CLevelSet::kSetCount; ++set) {
        SDL_Surface* plate = CDraw::GetSurface(
            m->GetButton(CControllerMap::BUTTON_SET_REGULAR + set)->GetBaseSprite()->GetFrameImage(0));
        ASSERT_NE(plate, nullptr);
        // The plate's top row, and the first row of ink (the text's blue, not
        // the rim's brown) in the name's and in the percentage's columns.
        int rim = -1, name = -1, percent = -1;
        for (int y = 0; y < plate->h; ++y)
            for (int x = 0; x < plate->w; ++x) {
                Uint8 r, g, b, a;
                SDL_GetRGBA(CDraw::GetPixel(plate, x, y), plate->format, &r, &g, &b, &a);
                if (a >= 128 && rim < 0) rim = y;
                if (a < 128 || b <= r + 20) continue;
                int& first = x < 110 ? name : percent;
                if (first < 0) first = y;
            }
        ASSERT_GE(name, 0);
        ASSERT_GE(percent, 0);
        EXPECT_NEAR(name, percent, 1) << "set " << set;
        EXPECT_GE(name - rim, 4) << "the name of set " << set << " touches the top of its bar";
    }
}

// A name of fifteen of the widest letters is set smaller, whole inside its
// box in the top-left panel instead of cut at both sides.
TEST_F(MapScreenTest, TheWidestNameFitsItsBoxWhole) {
    const char* name = "WWWWWWWWWWWWWWW";
    bool known = false;
    for (int i = 0; i < Profile().GetProfileCount(); ++i) known = known || std::string(Profile().GetProfileNameAt(i)) == name;
    if (!known) {
        ASSERT_TRUE(Profile().CreateProfile(name));
    }
    Profile().LoadProfile(name);
    CControllerMap* m = OpenMap();
    CSprite* text = m->GetSprite(CControllerMap::SPRITE_PROFILE_NAME);
    ASSERT_NE(text, nullptr);
    const std::pair<int, int> ink = InkColumns(text);
    EXPECT_GT(ink.first, text->GetX(false));
    EXPECT_LT(ink.second, text->GetX(false) + text->GetWidth(true) - 1);
    EXPECT_GT(ink.second - ink.first, text->GetWidth(true) / 2) << "still a name, not a dot";
}

TEST_F(MapScreenTest, TheMapAndTheLevelManagerAskTheMainMenuForEachOther) {
    Profile().SetCurrentSet(1);
    Profile().SetLevelSteps(12, 1, 0);
    CControllerMain menu;
    menu.Activate(nullptr);
    Frame();
    menu.GUICallback(CControllerMain::BUTTON_PLAY, 0, false);
    ASSERT_TRUE(Reach(CONTROLLER_MAP, 3));
    Frames(3);
    // Each by a click on its button, as the player asks.
    Click(710, 546);
    ASSERT_TRUE(Reach(CONTROLLER_MANAGER, 3));
    EXPECT_FALSE(menu.IsLoaded());
    Frames(2);
    Click(628, 497);
    ASSERT_TRUE(Reach(CONTROLLER_MAP, 3));
    // Escape leaves the map for the menu.
    TapKey(SDLK_ESCAPE);
    ASSERT_TRUE(Reach(CONTROLLER_MAIN, 3));
    EXPECT_TRUE(menu.IsLoaded());
}

}  // namespace
