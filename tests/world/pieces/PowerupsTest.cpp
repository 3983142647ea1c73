// Power-ups in the world: what the level builder lays for each power-up tile,
// the grid queries (empty cells and cells outside the grid answer "none"),
// the bobbing, and a collection with its rising caption that undo takes back.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/CSprite.h"
#include "tests/world/pieces/ObjectWorld.h"
#include "world/pieces/CElementDevicePowerup.h"

using objecttest::ObjectWorldTest;
using worldtest::Step;

namespace {

CElementDevicePowerup* PowerupAt(int x, int y) {
    for (CElement* e : CElement::GetAllElements()) {
        auto* p = dynamic_cast<CElementDevicePowerup*>(e);
        if (p && p->GetCurrentX() == x && p->GetCurrentY() == y) return p;
    }
    return nullptr;
}

}  // namespace

TEST_F(ObjectWorldTest, TheBuilderLaysAPowerupForEachPowerupTileAndEmptyCellsHoldNone) {
    const int phaseBefore = CElementDevicePowerup::GetBobbingPhase();
    // Row 4 from the left: frost gun, heat gun, whistle, bridge, EMP,
    // inflatable crate, barrel and magnet, an empty cell, two teleport
    // power-ups. Row 1: a frost gun hanging in the air.
    ASSERT_NO_FATAL_FAILURE(Build({
        "",
        "..F",
        "",
        "",
        "S.FHWIZKDN.PP",
        "#############",
    }));
    struct Expect {
        int x, y, kind;
        const char* icon;
        const char* caption;
    };
    const char* inflatables = "Powerup - Text for Inflatables";
    const Expect expected[] = {
        {2, 4, 5, "Powerup - Frostgun", "Powerup - Text for Frostgun"},
        {3, 4, 6, "Powerup - Heatgun", "Powerup - Text for Heatgun"},
        {4, 4, 8, "Powerup - Whistle", "Powerup - Text for Whistles"},
        {5, 4, 7, "Powerup - Bridge", inflatables},
        {6, 4, 4, "Powerup - EMP", "Powerup - Text for EMPs"},
        {7, 4, 1, "Powerup - Crate", inflatables},
        {8, 4, 2, "Powerup - Barrel", inflatables},
        {9, 4, 3, "Powerup - Magnet", inflatables},
        // The scan runs right to left: the rightmost takes the first free
        // teleport colour (blue), the next one yellow.
        {12, 4, 9, "Powerup - Teleport (Blue)", inflatables},
        {11, 4, 11, "Powerup - Teleport (Yellow)", inflatables},
        {2, 1, 5, "Powerup - Frostgun", "Powerup - Text for Frostgun"},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.icon);
        EXPECT_TRUE(CElementDevicePowerup::IsPowerupAt(e.x, e.y));
        EXPECT_EQ(CElementDevicePowerup::GetPowerupKindAt(e.x, e.y), e.kind);
        CElementDevicePowerup* p = PowerupAt(e.x, e.y);
        ASSERT_NE(p, nullptr);
        EXPECT_STREQ(p->GetIconSprite()->GetName(), e.icon);
        EXPECT_STREQ(p->GetCaptionSprite()->GetName(), e.caption);
        EXPECT_TRUE(p->GetIconSprite()->GetFrameImage(0) >= 0 && p->GetCaptionSprite()->GetFrameImage(7) >= 0);
        // Power-ups stay out of the element grid: they block nothing.
        EXPECT_FALSE(CElement::IsOccupied(e.x, e.y, true));
    }

    // Each new power-up starts its bobbing and its turning four steps on
    // from the one made before it (made row by row, each row from the right).
    const int order[][2] = {{2, 1}, {12, 4}, {11, 4}, {9, 4}, {8, 4}, {7, 4}, {6, 4}, {5, 4}, {4, 4}, {3, 4}, {2, 4}};
    int phase = phaseBefore;
    for (const auto& cell : order) {
        phase = (phase + 4) % 14;
        EXPECT_EQ(PowerupAt(cell[0], cell[1])->GetIconSprite()->GetFrame(), phase) << cell[0] << "," << cell[1];
    }
    EXPECT_EQ(CElementDevicePowerup::GetBobbingPhase(), phase);

    // An empty cell and cells outside the grid hold no power-up, and
    // collecting there changes nothing.
    for (const auto& cell : {std::make_pair(10, 4), std::make_pair(-1, 4), std::make_pair(32, 4),
                             std::make_pair(2, -1), std::make_pair(2, 24)}) {
        EXPECT_FALSE(CElementDevicePowerup::IsPowerupAt(cell.first, cell.second));
        EXPECT_EQ(CElementDevicePowerup::GetPowerupKindAt(cell.first, cell.second), 0);
        CElementDevicePowerup::Collect(cell.first, cell.second);
    }
    for (const Expect& e : expected) EXPECT_FALSE(PowerupAt(e.x, e.y)->IsCollected());

    // The hanging one never falls; its icon bobs within four pixels of its
    // cell while the halo stays put.
    CElementDevicePowerup* hanging = PowerupAt(2, 1);
    std::set<int> heights;
    for (int i = 0; i < 30; ++i) {
        Step();
        heights.insert(hanging->GetIconSprite()->GetY(false));
        EXPECT_EQ(hanging->GetHaloSprite()->GetY(false), 24);
    }
    EXPECT_EQ(hanging->GetCurrentY(), 1);
    EXPECT_GE(*heights.begin(), 24 - 4);
    EXPECT_LE(*heights.rbegin(), 24 + 4);
    EXPECT_GE(heights.size(), 3u);
}

TEST_F(ObjectWorldTest, ACollectedPowerupLeavesTheGridAtOnceShowsItsRisingCaptionAndUndoBringsItBack) {
    ASSERT_NO_FATAL_FAILURE(Build({"", "", "", "", "S.Z", "###"}));
    CElementDevicePowerup* emp = PowerupAt(2, 4);
    ASSERT_NE(emp, nullptr);
    Step();  // the world's first step keeps the starting position for undo
    CSprite* halo = emp->GetHaloSprite();
    CSprite* icon = emp->GetIconSprite();
    CSprite* caption = emp->GetCaptionSprite();
    EXPECT_FALSE(halo->IsHidden() || icon->IsHidden());
    EXPECT_TRUE(caption->IsHidden());

    CElementDevicePowerup::Collect(2, 4);
    EXPECT_FALSE(CElementDevicePowerup::IsPowerupAt(2, 4));
    EXPECT_EQ(CElementDevicePowerup::GetPowerupKindAt(2, 4), 0);
    EXPECT_TRUE(emp->IsCollected());
    // Collecting twice takes nothing more.
    CElementDevicePowerup::Collect(2, 4);

    // The caption rises a pixel per step while its eight pictures play,
    // with the halo and the icon gone; then it goes too.
    int steps = 0;
    while (!caption->IsFinished() && steps < 40) {
        Step();
        ++steps;
        if (caption->IsFinished()) break;
        EXPECT_EQ(emp->GetRise(), steps);
        EXPECT_FALSE(caption->IsHidden());
        EXPECT_EQ(caption->GetY(false), 4 * 24 - steps);
        EXPECT_TRUE(halo->IsHidden() && icon->IsHidden());
    }
    EXPECT_GE(steps, 8 * 2);
    EXPECT_LE(steps, 8 * 2 + 2);
    Step();
    EXPECT_TRUE(caption->IsHidden());
    Step(10);
    EXPECT_TRUE(caption->IsHidden() && halo->IsHidden() && icon->IsHidden());

    // Undo to the step before the collection: back in the grid, lying and
    // bobbing again.
    CElement::LoadUndoStep(true);
    EXPECT_TRUE(CElementDevicePowerup::IsPowerupAt(2, 4));
    EXPECT_EQ(CElementDevicePowerup::GetPowerupKindAt(2, 4), CElementDevicePowerup::KIND_EMP);
    EXPECT_FALSE(emp->IsCollected());
    EXPECT_EQ(emp->GetRise(), 0);
    EXPECT_FALSE(halo->IsHidden() || icon->IsHidden());
    EXPECT_TRUE(caption->IsHidden());
    std::set<int> heights;
    for (int i = 0; i < 10; ++i) {
        Step();
        heights.insert(icon->GetY(false));
    }
    EXPECT_GE(heights.size(), 2u);
    EXPECT_TRUE(caption->IsHidden());
}
