// The ground pieces in the world: terrain runs, ice, bridges, ladders and
// tubes, built from small level sources through the level builder and run by
// the world step, or played with recorded keys as the level runner plays
// them. Where a level has no entrance tube, a stand-in hero that walks with
// held keys keeps the world stepping.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "tests/support/LevelRunTest.h"
#include "tests/support/StandInHero.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElement.h"
#include "world/CElementAI.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevel.h"
#include "world/CLevelBuilder.h"
#include "world/CWorldRun.h"
#include "world/pieces/CElementDeviceTube.h"
#include "world/pieces/CElementObjectCrate.h"
#include "world/pieces/CElementLadder.h"
#include "world/pieces/CElementTerrain.h"
#include "world/pieces/CElementTerrainBridge.h"
#include "world/pieces/CElementTerrainIce.h"

using worldtest::StandInHero;
using worldtest::Step;
using worldtest::WorldTest;

namespace {

// solution: "frame key down|up" lines.
CLevel MakeLevel(const std::vector<std::string>& tiles, const std::vector<std::string>& ladders = {},
                 const std::vector<std::string>& states = {}, const std::vector<std::string>& solution = {}) {
    std::string text = "heading: Ground\nbackground: 1\n" + worldtest::PictureSection("tiles", tiles);
    if (!ladders.empty()) text += worldtest::PictureSection("ladders", ladders);
    if (!states.empty()) text += worldtest::PictureSection("states", states);
    text += worldtest::SolutionSection(solution);
    CLevel level;
    std::string error;
    EXPECT_TRUE(CLevelSource::Parse(text, &level, &error)) << error;
    return level;
}

// The picture a sprite shows now.
std::string ImageOf(const CSprite* s) {
    const char* name = s ? CDraw::GetImageName(s->GetFrameImage(s->GetFrame())) : nullptr;
    return name ? name : "";
}

CElementDeviceTube* Tube(int kind) {
    for (CElement* e : CElement::GetAllElements())
        if (auto* t = dynamic_cast<CElementDeviceTube*>(e))
            if (t->GetKind() == kind) return t;
    return nullptr;
}

std::vector<CElementLadder*> Ladders() {
    std::vector<CElementLadder*> out;
    for (CElement* e : CElement::GetAllElements())
        if (auto* l = dynamic_cast<CElementLadder*>(e)) out.push_back(l);
    return out;
}

}  // namespace

TEST_F(WorldTest, GrassAndSandRunsOfEveryWidthAreOneElementWithTheirRunPicture) {
    for (int width = 1; width <= CElement::kGridWidth; ++width) {
        // Rows 20 and 22 are even: runs up to five cells wide take the
        // picture made for even rows there.
        const std::string grass(width, '#');
        const std::string sand(width, ':');
        CLevel level = MakeLevel({grass, grass, sand, sand});
        CLevelBuilder::Build(&level);
        int terrain = 0;
        for (CElement* e : CElement::GetAllElements()) terrain += e->IsTerrain() ? 1 : 0;
        EXPECT_EQ(terrain, 4) << width;
        for (int row = 20; row < 24; ++row) {
            auto* run = At<CElementTerrain>(0, row);
            ASSERT_NE(run, nullptr);
            EXPECT_EQ(run->GetWidth(), width);
            for (int x = 0; x < width; ++x) EXPECT_EQ(CElement::GetElementAt(x, row), run);
            EXPECT_FALSE(CElement::IsOccupied(width, row));
            const bool isGrass = row < 22;
            EXPECT_EQ(isGrass ? run->IsGrass() : run->IsSand(), true);
            const bool evenPicture = width <= 5 && row % 2 == 0;
            const std::string expect =
                (isGrass ? "grass" : "sand") + std::to_string(width) + (evenPicture ? "b" : "") + ".png";
            EXPECT_EQ(ImageOf(run->GetSprite()), expect) << "row " << row;
            EXPECT_EQ(run->GetSurfaceFriction(), isGrass ? 0 : 1);
        }
        CElement::UnloadElements();
    }
    // A run that reaches past the grid's edge stands only in the grid.
    CElement::ResetWorld();
    CElement* cut = CLevelBuilder::CreateElement(nullptr, TERRAIN_GRASS, 30, 5, 4, 1);
    EXPECT_EQ(CElement::GetElementAt(30, 5), cut);
    EXPECT_EQ(CElement::GetElementAt(31, 5), cut);
    EXPECT_FALSE(CElement::IsOccupied(0, 6));
    EXPECT_FALSE(CElement::IsOccupied(1, 6));
}

TEST_F(WorldTest, IceShowsIciclesOverOpenSpaceAndItsLooksRunOnFromBlockToBlock) {
    // Eleven blocks hang in row 4 (built right to left); in row 20 blocks
    // stand on grass and on a gate; in row 22 on grass, over a crate and over
    // an empty cell; one more lies in the bottom row.
    CLevel level = MakeLevel({"~~~~~~~~~~~", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
                              "~~~~~", "####B", "~~~", "#c.....~"});
    CLevelBuilder::Build(&level);
    auto look = [](int x, int y) { return ImageOf(At<CElementTerrainIce>(x, y)->GetSprite()); };
    // The overhanging looks count on by one from block to block, ten in all.
    const std::string first = look(10, 4);
    ASSERT_EQ(first.rfind("ice", 0), 0u) << first;
    int counter = std::stoi(first.substr(3)) - 1;
    for (int x = 10; x >= 0; --x) {
        EXPECT_EQ(look(x, 4), "ice" + std::to_string(counter + 1) + ".png") << x;
        counter = (counter + 1) % 10;
    }
    EXPECT_EQ(look(0, 4), first);
    // Over grass and a gate: no icicles, the two ground looks by the
    // counter's parity.
    for (int x = 4; x >= 0; --x) {
        EXPECT_EQ(look(x, 20), "ice" + std::to_string(counter % 2 + 1) + "b.png") << x;
        counter = (counter + 1) % 10;
    }
    EXPECT_NE(look(0, 22).find('b'), std::string::npos);
    EXPECT_EQ(look(1, 22).find('b'), std::string::npos);
    EXPECT_EQ(look(2, 22).find('b'), std::string::npos);
    EXPECT_EQ(look(7, 23).find('b'), std::string::npos);
    EXPECT_EQ(At<CElementTerrainIce>(7, 23)->GetSurfaceFriction(), -1);
}

TEST_F(WorldTest, LadderColumnsGetTheirSegmentsAndTheQueriesAnswerOnlyInsideTheGrid) {
    std::vector<std::string> ladders(24, "");
    ladders[0] = "HH";  // (0, 0) and (1, 0): one run each, at the top row
    ladders[18] = ".....H";
    ladders[19] = ".....=";
    ladders[20] = ".....H..H";
    ladders[23] = "...............................H";
    CLevel level = MakeLevel({"#"}, ladders);
    CLevelBuilder::Build(&level);

    EXPECT_TRUE(CElementLadder::IsLadderAt(5, 18));
    EXPECT_TRUE(CElementLadder::IsLadderAt(5, 19));
    EXPECT_TRUE(CElementLadder::IsLadderPlatformAt(5, 19));
    EXPECT_FALSE(CElementLadder::IsLadderPlatformAt(5, 18));
    EXPECT_FALSE(CElementLadder::IsLadderAt(5, 21));
    EXPECT_FALSE(CElementLadder::IsLadderAt(6, 20));
    // Ladders stand beside the grid, never in it.
    EXPECT_FALSE(CElement::IsOccupied(5, 18));

    // Cells beyond an edge would land on (0, 0), (1, 0) or wrap past the end.
    EXPECT_FALSE(CElementLadder::IsLadderAt(-1, 24));
    EXPECT_FALSE(CElementLadder::IsLadderAt(0, 24));
    EXPECT_FALSE(CElementLadder::IsLadderAt(32, 23));
    EXPECT_FALSE(CElementLadder::IsLadderAt(31, 24));
    EXPECT_FALSE(CElementLadder::IsLadderAt(31, -1));
    EXPECT_FALSE(CElementLadder::IsLadderPlatformAt(-1, 24));
    EXPECT_FALSE(CElementLadder::IsLadderPlatformAt(32, 0));
    EXPECT_TRUE(CElementLadder::IsLadderAt(31, 23));

    // Segments: top, platform, bottom for the column of three; isolated
    // pieces for the single cells.
    int column[3] = {0, 0, 0};
    for (CElementLadder* l : Ladders()) {
        if (l->GetCurrentX() == 5) column[l->GetCurrentY() - 18] = l->typeLadder;
        if (l->GetCurrentX() == 8) {
            EXPECT_EQ(l->typeLadder, CElementLadder::SEGMENT_ISOLATED);
        }
        if (l->GetCurrentY() == 19) {
            ASSERT_NE(l->GetPlatformSprite(), nullptr);
            EXPECT_EQ(ImageOf(l->GetPlatformSprite()), "ladderplatform.tga");
        } else {
            EXPECT_EQ(l->GetPlatformSprite(), nullptr);
        }
    }
    EXPECT_EQ(column[0], CElementLadder::SEGMENT_TOP);
    EXPECT_EQ(column[1], kLadderPlatform);
    EXPECT_EQ(column[2], CElementLadder::SEGMENT_BOTTOM);
    EXPECT_EQ(Ladders().size(), 7u);

    // The next level starts without ladders.
    CElement::UnloadElements();
    CElement::ResetWorld();
    EXPECT_FALSE(CElementLadder::IsLadderAt(5, 18));
    EXPECT_FALSE(CElementLadder::IsLadderPlatformAt(5, 19));
}

TEST_F(WorldTest, ABridgeCollapsesBehindAnElementThatLeavesIt) {
    CLevel level = MakeLevel({"####___####"});
    CLevelBuilder::Build(&level);
    StandInHero* hero = new StandInHero(3, 22);
    auto* first = At<CElementTerrainBridge>(4, 23);
    auto* second = At<CElementTerrainBridge>(5, 23);
    Step();
    hero->Walk(CElementAI::KEY_RIGHT);
    // Standing on it, the first bridge holds.
    EXPECT_EQ(hero->GetCurrentX(), 4);
    EXPECT_FALSE(first->IsCollapsing());
    EXPECT_EQ(CElement::GetElementAt(4, 23), first);
    // Leaving it, it gives way at once; the hero walks on over the next.
    hero->KEYS[CElementAI::KEY_RIGHT] = 1;
    Step();
    hero->KEYS[CElementAI::KEY_RIGHT] = 0;
    EXPECT_TRUE(first->IsCollapsing());
    EXPECT_FALSE(CElement::IsOccupied(4, 23));
    EXPECT_FALSE(second->IsCollapsing());
    EXPECT_EQ(first->GetSprite()->GetName(), std::string("Bridge Collapsing"));
    Step(7);
    EXPECT_EQ(hero->GetCurrentY(), 22);
    EXPECT_FALSE(hero->FALLING);
    // The collapse plays once and the bridge is gone.
    Step(40);
    EXPECT_TRUE(first->GetSprite()->IsHidden());
}

TEST_F(WorldTest, EachBridgeTakesACollapseSoundUnlikeTheLastThreeBuilt) {
    CLevel level = MakeLevel({"________________________________"});
    std::vector<int> sounds;
    for (int round = 0; round < 4; ++round) {
        CLevelBuilder::Build(&level);
        for (int x = CElement::kGridWidth - 1; x >= 0; --x)
            sounds.push_back(At<CElementTerrainBridge>(x, 23)->GetSoundNumber());
        CElement::UnloadElements();
    }
    // Across levels too: the history is the program's.
    for (size_t i = 0; i < sounds.size(); ++i) {
        EXPECT_GE(sounds[i], 0);
        EXPECT_LE(sounds[i], 5);
        for (size_t back = 1; back <= 3 && back <= i; ++back) EXPECT_NE(sounds[i], sounds[i - back]) << i;
    }
}

TEST_F(WorldTest, AFrozenBridgeHoldsAndIsSlipperyUntilHeatThawsIt) {
    CLevel level = MakeLevel({"###_####"}, {}, {"...f"});
    CLevelBuilder::Build(&level);
    StandInHero* hero = new StandInHero(2, 22);
    auto* bridge = At<CElementTerrainBridge>(3, 23);
    ASSERT_TRUE(bridge->IsFrozen());
    EXPECT_EQ(bridge->GetSprite()->GetName(), std::string("Bridge Frozen"));
    EXPECT_EQ(bridge->GetSurfaceFriction(), -1);
    Step();
    for (int i = 0; i < 3; ++i) hero->Walk(CElementAI::KEY_RIGHT);
    EXPECT_EQ(hero->GetCurrentX(), 5);
    EXPECT_FALSE(bridge->IsCollapsing());
    EXPECT_EQ(CElement::GetElementAt(3, 23), bridge);

    // Thawed, it breaks under the next thing that leaves it.
    EXPECT_TRUE(CElement::Heat(bridge, false, false));
    EXPECT_FALSE(bridge->IsFrozen());
    Step();
    EXPECT_EQ(bridge->GetSprite()->GetName(), std::string("Bridge Section"));
    EXPECT_EQ(bridge->GetSurfaceFriction(), 0);
    auto* crate = new CElementObjectCrate(3, 22, CElementObjectCrate::WOOD, 0, true);
    EXPECT_TRUE(crate->PushRight(true, false));
    EXPECT_TRUE(bridge->IsCollapsing());
    EXPECT_FALSE(CElement::IsOccupied(3, 23));

    // Heat burns a standing bridge away.
    auto* burning = new CElementTerrainBridge(10, 20, false, 0, true);
    EXPECT_TRUE(CElement::Heat(burning, false, false));
    EXPECT_FALSE(CElement::IsOccupied(10, 20));
    Step(80);
    EXPECT_TRUE(burning->IsDestroyed());
    EXPECT_TRUE(burning->GetSprite()->IsHidden());
}

TEST_F(WorldTest, UndoAcrossABridgeCollapseBringsTheBridgeBack) {
    CLevel level = MakeLevel({"####_####"});
    CLevelBuilder::Build(&level);
    StandInHero* hero = new StandInHero(4, 22);
    auto* bridge = At<CElementTerrainBridge>(4, 23);
    Step();
    CElement::SaveUndoStep();  // the hero's first command: equals the start, skipped
    hero->Walk(CElementAI::KEY_RIGHT);
    Step(10);
    ASSERT_TRUE(bridge->IsCollapsing());
    ASSERT_FALSE(CElement::IsOccupied(4, 23));

    CElement::LoadUndoStep(false);
    EXPECT_FALSE(bridge->IsCollapsing());
    EXPECT_EQ(CElement::GetElementAt(4, 23), bridge);
    EXPECT_EQ(hero->GetCurrentX(), 4);
    Step();
    EXPECT_EQ(bridge->GetSprite()->GetName(), std::string("Bridge Section"));
    EXPECT_FALSE(bridge->GetSprite()->IsHidden());

    // It collapses again, from the first frame of its animation.
    hero->KEYS[CElementAI::KEY_LEFT] = 1;
    Step();
    hero->KEYS[CElementAI::KEY_LEFT] = 0;
    EXPECT_TRUE(bridge->IsCollapsing());
    EXPECT_EQ(bridge->GetSprite()->GetName(), std::string("Bridge Collapsing"));
    EXPECT_LE(bridge->GetSprite()->GetFrame(), 1);
    EXPECT_FALSE(bridge->GetSprite()->IsHidden());
}

TEST_F(WorldTest, AnInflatableBridgeInflatesBeforeItStandsAndUndoTakesItAway) {
    CLevel level = MakeLevel({"################################"});
    CLevelBuilder::Build(&level);
    new StandInHero(1, 22);
    Step();
    CElement::SaveUndoStep();  // skipped: equals the start
    CElement::SaveUndoStep();
    auto* bridge = new CElementTerrainBridge(10, 20, true, 0, false);
    EXPECT_EQ(CElement::GetElementAt(10, 20), bridge);
    EXPECT_EQ(bridge->GetSprite()->GetName(), std::string("Bridge Inflating"));
    EXPECT_EQ(ImageOf(bridge->GetSprite()), "bridgeinflateright0.png");
    int frames = 0;
    while (bridge->IsInflating() && frames < 100) {
        Step();
        ++frames;
    }
    EXPECT_GE(frames, 6);
    Step();
    EXPECT_EQ(bridge->GetSprite()->GetName(), std::string("Bridge (Inflatable) Section"));
    EXPECT_FALSE(bridge->GetSprite()->IsHidden());

    CElement::LoadUndoStep(false);
    EXPECT_FALSE(CElement::IsOccupied(10, 20));
    for (CElement* e : CElement::GetAllElements()) EXPECT_NE(e, static_cast<CElement*>(bridge));
}

TEST_F(WorldTest, IceUnderAHotCrateMeltsAndUndoBringsItBack) {
    // A hot metal crate rests on the ice.
    CLevel level = MakeLevel({"..........C", "..........~", "###########"}, {}, {"..........h", "", ""});
    CLevelBuilder::Build(&level);
    new StandInHero(1, 22);
    auto* ice = At<CElementTerrainIce>(10, 22);
    auto* crate = At<CElementObjectCrate>(10, 21);
    ASSERT_TRUE(crate && crate->IsHeated());
    Step();
    // The crate rests on the ice: its heat melts it, it cools and falls.
    EXPECT_TRUE(ice->steamActive);
    EXPECT_NE(CElement::GetElementAt(10, 22), static_cast<CElement*>(ice));
    EXPECT_FALSE(crate->IsHeated());
    EXPECT_TRUE(crate->FALLING);
    EXPECT_TRUE(ice->GetSprite()->IsHidden());
    Step(60);
    EXPECT_FALSE(ice->steamActive);
    EXPECT_TRUE(ice->GetSprite()->IsHidden());
    EXPECT_EQ(crate->GetCurrentY(), 22);

    // The starting step was saved before the heat pass of the first frame.
    CElement::LoadUndoStep(true);
    EXPECT_EQ(CElement::GetElementAt(10, 22), ice);
    EXPECT_FALSE(ice->GetSprite()->IsHidden());
    EXPECT_FALSE(ice->steamActive);
    EXPECT_EQ(crate->GetCurrentY(), 21);

    // A level cell marked heated melts its ice as the level starts.
    CElement::UnloadElements();
    CLevel hot = MakeLevel({"~", "#"}, {}, {"h", ""});
    CLevelBuilder::Build(&hot);
    EXPECT_FALSE(CElement::IsOccupied(0, 22));
}

// Plays a level with its solution, checking the world after every frame.
void Play(CWorldRun* run, int frames) {
    std::string error;
    ASSERT_TRUE(run->Start(&error)) << error;
    for (int i = 0; i < frames && !run->IsEnded(); ++i) worldtest::StepChecked(run);
}

TEST_F(WorldTest, ACratePushedOntoIceSlidesUntilGrassOrSandStopsIt) {
    // The hero comes out at column 2 and pushes the crate once onto the ice
    // (columns 5 to 9); what follows decides where it stops.
    const std::vector<std::string> solution = {"1 right down", "58 right up"};
    for (const char* ground : {"#####~~~~~######", "#####~~~~~::::::"}) {
        CLevel level = MakeLevel({"..S.c", ground}, {}, {}, solution);
        CWorldRun run(&level);
        Play(&run, 200);
        auto* crate = At<CElementObjectCrate>(10, 22);
        ASSERT_NE(crate, nullptr) << ground;
        EXPECT_FALSE(crate->MOVING);
        EXPECT_EQ(CElement::GetHero()->GetCurrentX(), 4);
        // Sand holds a crate even against a forced push; grass lets it go.
        EXPECT_EQ(crate->PushRight(true, false), ground[10] == '#') << ground;
        CElement::UnloadElements();
    }
}

TEST_F(WorldTest, TheExitTubeIsFoundOnlyWhereItStands) {
    CLevel level = MakeLevel({"..S.........E", "################"});
    CLevelBuilder::Build(&level);
    EXPECT_TRUE(CElementDeviceTube::IsExitTube(12, 22));
    EXPECT_FALSE(CElementDeviceTube::IsExitTube(2, 22));
    EXPECT_FALSE(CElementDeviceTube::IsExitTube(0, 0));
    // Tubes stand beside the grid: the hero walks into them.
    EXPECT_FALSE(CElement::IsOccupied(12, 22));
    EXPECT_EQ(dynamic_cast<CElementDeviceTube*>(CElement::GetElementAt(2, 22)), nullptr);
    CElement::UnloadElements();

    // Without an exit tube no cell is the exit, not even the first one.
    CLevel noExit = MakeLevel({"S", "#"});
    CLevelBuilder::Build(&noExit);
    EXPECT_FALSE(CElementDeviceTube::IsExitTube(0, 0));
    EXPECT_FALSE(CElementDeviceTube::IsExitTube(0, 22));
}

TEST_F(WorldTest, TheExitArrowDipsFourTimesThenFadesAndAnUndoStopsItForGood) {
    CLevel level = MakeLevel({"............E", "################"});
    CLevelBuilder::Build(&level);
    new StandInHero(2, 22);
    CElementDeviceTube* exit = Tube(CElementDeviceTube::KIND_EXIT);
    ASSERT_NE(exit, nullptr);
    std::vector<int> offsets;
    int dips = 0;
    for (int frame = 0; frame < 200 && exit->IsArrowActive(); ++frame) {
        Step();
        offsets.push_back(exit->GetArrowOffset());
        const size_t n = offsets.size();
        if (n >= 2 && offsets[n - 1] > offsets[n - 2] && (n < 3 || offsets[n - 2] < offsets[n - 3])) ++dips;
        EXPECT_EQ(exit->GetSprite()->GetY(false), exit->GetPixelY() - exit->GetArrowOffset());
    }
    ASSERT_GE(offsets.size(), 8u);
    EXPECT_EQ(std::vector<int>(offsets.begin(), offsets.begin() + 8), (std::vector<int>{20, 17, 14, 11, 8, 5, 2, 5}));
    EXPECT_EQ(*std::max_element(offsets.begin(), offsets.end()), 26);
    EXPECT_EQ(dips, 4);
    EXPECT_FALSE(exit->IsArrowActive());
    EXPECT_TRUE(exit->GetSprite()->IsHidden());
    EXPECT_EQ(exit->GetSprite()->GetName(), std::string("Tube Arrow Fading"));

    // A fresh level: an undo while the arrow bobs stops it.
    CElement::UnloadElements();
    CLevelBuilder::Build(&level);
    new StandInHero(2, 22);
    exit = Tube(CElementDeviceTube::KIND_EXIT);
    Step(5);
    CElement::LoadUndoStep(true);
    Step(100);
    EXPECT_FALSE(exit->IsArrowActive());
    EXPECT_TRUE(exit->GetSprite()->IsHidden());
    EXPECT_FALSE(exit->GetBodySprite()->IsHidden());
}

TEST_F(WorldTest, ATubeWhoseGroundMeltsBreaksAndOnlyTheExitTubeEndsTheLevel) {
    // The entrance tube is made by hand: the hero would come with it.
    CLevel level = MakeLevel({"............E", "##~#########~###"});
    CLevelBuilder::Build(&level);
    new CElementDeviceTube(2, 22, CElementDeviceTube::KIND_ENTRANCE);
    new StandInHero(5, 22);
    CElementDeviceTube* tubes[2] = {Tube(CElementDeviceTube::KIND_ENTRANCE), Tube(CElementDeviceTube::KIND_EXIT)};
    ASSERT_TRUE(tubes[0] && tubes[1]);
    Step();

    // The entrance tube breaks and nothing ends.
    CElement::Heat(CElement::GetElementAt(2, 23), false, false);
    Step();
    EXPECT_TRUE(tubes[0]->IsDestroyed());
    EXPECT_FALSE(tubes[0]->HasGravity());
    EXPECT_EQ(tubes[0]->GetBodySprite()->GetName(), std::string("Tube Entrance Breaking"));
    Step(40);
    EXPECT_TRUE(tubes[0]->GetBodySprite()->IsFinished());
    EXPECT_TRUE(tubes[0]->GetBodySprite()->IsHidden());
    EXPECT_FALSE(CElement::IsLevelExited());
    EXPECT_FALSE(CElement::IsExitTubeDestroyed());

    // The exit tube: its break begins in the next step; the twelve pictures
    // take thirteen sprite steps, and the world step after the last one
    // ends the level.
    CElement::Heat(CElement::GetElementAt(12, 23), false, false);
    int frames = 0;
    int finishedAt = -1;
    while (!CElement::IsLevelExited() && frames < 100) {
        Step();
        ++frames;
        if (finishedAt < 0 && tubes[1]->GetBodySprite()->IsFinished()) finishedAt = frames;
    }
    EXPECT_EQ(finishedAt, 13);
    EXPECT_EQ(frames, 14);
    EXPECT_TRUE(CElement::IsExitTubeDestroyed());
    EXPECT_EQ(tubes[1]->GetBodySprite()->GetName(), std::string("Tube Exit Breaking"));
    EXPECT_TRUE(tubes[1]->GetBodySprite()->IsHidden());
}

TEST_F(WorldTest, TheHeroComesOutOfTheEntranceAndALevelWhoseExitHeReachesEndsAsExited) {
    // The exit six cells to the right of the entrance; right held from the
    // first frame.
    CLevel level = MakeLevel({"..S.....E", "################"}, {}, {}, {"1 right down"});
    CWorldRun run(&level);
    std::string error;
    ASSERT_TRUE(run.Start(&error)) << error;
    int exitingAt = -1;
    while (!run.IsEnded() && run.GetFrame() < 400) {
        run.StepFrame();
        if (exitingAt < 0 && CElement::IsProfessorExiting()) exitingAt = run.GetFrame();
        if (run.GetFrame() == 48) {
            EXPECT_EQ(CElement::GetHero()->GetCurrentX(), 2);
        }
    }
    // The arrival takes 48 frames (23 pictures, two frames each, ended in
    // the step after the last); six cells of eight frames take the hero into
    // the exit, and the 23 pictures of his departure end the level.
    EXPECT_EQ(exitingAt, 48 + 1 + 6 * 8);
    EXPECT_EQ(run.GetFrame(), exitingAt + 47);
    EXPECT_EQ(run.GetResult(), "exited");
    EXPECT_TRUE(CElementDeviceTube::IsExitTube(CElement::GetHero()->GetCurrentX(), 22));
}

TEST_F(WorldTest, TheHeroCrossingARowOfBridgesCollapsesEachAsHeLeavesIt) {
    CLevel level = MakeLevel({"..S.........E", "#####_____######"}, {}, {}, {"1 right down"});
    CWorldRun run(&level);
    Play(&run, 400);
    EXPECT_EQ(run.GetResult(), "exited");
    for (int x = 5; x < 10; ++x) {
        auto* bridge = dynamic_cast<CElementTerrainBridge*>(CElement::FindElementAt(x, 23));
        ASSERT_NE(bridge, nullptr) << x;
        EXPECT_TRUE(bridge->IsCollapsing()) << x;
        EXPECT_FALSE(CElement::IsOccupied(x, 23)) << x;
    }
}

TEST_F(WorldTest, AFrostShotFliesOverARowOfBridgesWithoutBreakingThem) {
    // The hero steps onto the frost gun and fires it to the right, over the
    // bridges of columns 4 to 8; the shot flies on out of the grid.
    CLevel level = MakeLevel({"..SF", "####_____#######"}, {}, {},
                             {"1 right down", "50 right up", "70 slot1 down", "71 slot1 up"});
    CWorldRun run(&level);
    Play(&run, 150);
    CElement* shot = nullptr;
    for (CElement* e : CElement::GetAllElements())
        if (e->IsGunshot()) shot = e;
    ASSERT_NE(shot, nullptr);
    EXPECT_GT(shot->GetCurrentX(), 8);  // past the bridges
    for (int x = 4; x < 9; ++x) {
        auto* bridge = At<CElementTerrainBridge>(x, 23);
        ASSERT_NE(bridge, nullptr) << x;
        EXPECT_FALSE(bridge->IsCollapsing());
        EXPECT_FALSE(bridge->IsFrozen());
    }
    EXPECT_EQ(run.GetResult(), "running");
}
