// The movable objects in levels the hero plays through the headless level
// run, with his keys as a solution would give them and the world's
// invariants checked after every frame: he rolls a barrel, puts his
// inflatables down, and fires an EMP at a magnet's hold, which undo takes
// back.
#include <gtest/gtest.h>

#include <string>

#include "tests/world/pieces/DeviceWorld.h"
#include "world/SolutionKeys.h"
#include "world/pieces/CElementObjectBarrel.h"
#include "world/pieces/CElementObjectCrate.h"
#include "world/pieces/CElementObjectMagnet.h"

namespace {

// The device scenarios' level run with the real hero (levels written as the
// bottom rows of the picture), plus the use of his first power-up.
class ObjectsWithHeroTest : public devicetest::DeviceRunTest {
protected:
    void Tap(int code) {
        Press(code);
        Release(code);
    }
    // Uses the first power-up of the inventory and waits until he is done.
    void UseFirstPowerup() {
        Tap(SOLUTION_KEY_POWERUP_FIRST);
        EXPECT_TRUE(hero_->usingPowerup);
        EXPECT_TRUE(RunUntil([&] { return !hero_->usingPowerup && !hero_->activePowerup; }));
    }
};

}  // namespace

TEST_F(ObjectsWithHeroTest, HePutsHisInflatablesWhereHeFacesAndRollsTheBarrelAway) {
    // He picks up an inflatable crate, barrel and magnet on his way right.
    ASSERT_NO_FATAL_FAILURE(Load({
        "c....SKDN...c",
        "#############",
    }));
    ASSERT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 9));
    EXPECT_EQ(hero_->GetInventory(0), CElementAIProfessor::POWERUP_KIND_CRATE);
    EXPECT_EQ(hero_->GetInventory(1), CElementAIProfessor::POWERUP_KIND_BARREL);
    EXPECT_EQ(hero_->GetInventory(2), CElementAIProfessor::POWERUP_KIND_MAGNET);

    // Facing right: the crate inflates in the cell on his right.
    UseFirstPowerup();
    auto* crate = Find<CElementObjectCrate>(10, 22);
    ASSERT_NE(crate, nullptr);
    EXPECT_EQ(crate->GetMaterial(), CElementObjectCrate::INFLATED);
    EXPECT_TRUE(crate->spawnedFlag);
    EXPECT_TRUE(RunUntil([&] { return std::string(crate->GetSprite()->GetName()) == "Crate (Inflated) Idle"; }, 40));

    // Turned left, the barrel goes on his left; pushed, it rolls on to the
    // crate at the far end.
    Tap(SOLUTION_KEY_TURN);
    RunUntil([&] { return hero_->IsFacingLeft() && !hero_->turnPending; }, 40);
    ASSERT_TRUE(hero_->IsFacingLeft());
    UseFirstPowerup();
    auto* barrel = Find<CElementObjectBarrel>(8, 22);
    ASSERT_NE(barrel, nullptr);
    EXPECT_EQ(barrel->GetMaterial(), CElementObjectBarrel::INFLATED);
    EXPECT_FALSE(barrel->inflated);  // it has blown up while he put it down
    ASSERT_TRUE(WalkTo(SOLUTION_KEY_LEFT, 8));
    EXPECT_TRUE(RunUntil([&] { return barrel->GetCurrentX() == 1 && !barrel->IsMoving(); }));
    RunUntil([&] { return false; }, 20);
    EXPECT_EQ(barrel->GetCurrentX(), 1);
    EXPECT_EQ(hero_->GetCurrentX(), 8);  // he stopped when he let go

    // The magnet faces the way he faces.
    UseFirstPowerup();
    auto* magnet = Find<CElementObjectMagnet>(7, 22);
    ASSERT_NE(magnet, nullptr);
    EXPECT_TRUE(magnet->IsFaceLeft());
    EXPECT_TRUE(RunUntil([&] { return std::string(magnet->GetSprite()->GetName()) == "Magnet (Left,Inflated) Idle"; },
                         40));
    EXPECT_EQ(hero_->GetInventory(0), CElementAIProfessor::POWERUP_KIND_NONE);
}

TEST_F(ObjectsWithHeroTest, HisEMPDropsTheCrateAMagnetHoldsAndUndoHangsItBackUp) {
    // A metal crate hangs over a pit beside a magnet; he picks up an EMP on
    // his way to it.
    ASSERT_NO_FATAL_FAILURE(Load({
        "S.Z.C<..",
        "####.###",
        "........",
        "########",
    }));
    auto* crate = Find<CElementObjectCrate>(4, 20);
    auto* magnet = Find<CElementObjectMagnet>(5, 20);
    ASSERT_TRUE(crate && magnet);
    ASSERT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 3));
    EXPECT_EQ(crate->GetCurrentY(), 20);
    EXPECT_EQ(crate->GetMagnetHolderB(), magnet);
    EXPECT_EQ(magnet->GetMagnetHolderA(), crate);

    Tap(SOLUTION_KEY_POWERUP_FIRST);
    ASSERT_TRUE(RunUntil([&] { return !magnet->MAGNETIC; }, 40));
    EXPECT_TRUE(magnet->GetMagnetHolderA()->IsNull());
    EXPECT_TRUE(RunUntil([&] { return crate->GetCurrentY() == 22 && !crate->IsMoving(); }));
    EXPECT_TRUE(magnet->MAGNETIC);  // back on after its pause
    EXPECT_TRUE(magnet->GetMagnetHolderA()->IsNull());  // nothing beside its face now

    // Undo goes back to before the EMP: the crate hangs again, held, and
    // the EMP is back in his inventory.
    CElement::LoadUndoStep(false);
    std::string what;
    EXPECT_TRUE(CWorldRun::CheckWorld(&what)) << what;
    EXPECT_EQ(crate->GetCurrentY(), 20);
    EXPECT_EQ(CElement::GetElementAt(4, 20), crate);
    EXPECT_EQ(crate->GetMagnetHolderB(), magnet);
    EXPECT_EQ(magnet->GetMagnetHolderA(), crate);
    EXPECT_TRUE(magnet->MAGNETIC);
    EXPECT_EQ(magnet->GetEmpCountdown(), 0);
    EXPECT_EQ(hero_->GetInventory(0), CElementAIProfessor::POWERUP_KIND_EMP);
    RunUntil([&] { return false; }, 30);
    EXPECT_EQ(crate->GetCurrentY(), 20);
    EXPECT_EQ(crate->GetMagnetHolderB(), magnet);
}

TEST_F(ObjectsWithHeroTest, ABarrelHeRollsOffALedgeOntoABotKnocksItOver) {
    // The barrel he pushes off the ledge drops on the bot below, where a
    // stack of crates keeps it from rolling on (a barrel that can roll on
    // only brushes past).
    ASSERT_NO_FATAL_FAILURE(Load({
        "..S.o",
        "#####",
        "",
        "......c",
        ".....)c",
        "################",
    }));
    auto* barrel = Find<CElementObjectBarrel>(4, 18);
    auto* bot = Find<CElementAI>(5, 22);
    ASSERT_TRUE(barrel && bot && bot->IsBot());
    ASSERT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 4));
    EXPECT_TRUE(RunUntil([&] { return barrel->GetCurrentY() == 21 && !barrel->IsMoving(); }, 200));
    EXPECT_TRUE(RunUntil([&] { return bot->STUN != 0; }, 10));
    RunUntil([&] { return false; }, 60);
    // It stays down while the barrel lies on it.
    EXPECT_TRUE(bot->STUN);
    EXPECT_EQ(bot->GetCurrentX(), 5);
    EXPECT_EQ(CElement::GetElementAt(5, 21), barrel);
}

TEST_F(ObjectsWithHeroTest, HisHeatGunBurnsAWoodenCrateAndHeatsAMetalOneWhichHisFrostGunCools) {
    // Two heat guns and a frost gun lie on his way to the crates.
    ASSERT_NO_FATAL_FAILURE(Load({
        "S.HHF..c..C",
        "############",
    }));
    auto* wood = Find<CElementObjectCrate>(7, 22);
    auto* metal = Find<CElementObjectCrate>(10, 22);
    ASSERT_TRUE(wood && metal);
    ASSERT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 5));
    ASSERT_EQ(hero_->GetInventory(2), CElementAIProfessor::POWERUP_KIND_FROSTGUN);

    UseFirstPowerup();
    EXPECT_TRUE(RunUntil([&] { return wood->IsDestroyed(); }, 120));
    EXPECT_TRUE(CElement::GetElementAt(7, 22)->IsNull());
    EXPECT_FALSE(metal->IsHeated());  // the first shot stopped at the wood

    UseFirstPowerup();
    EXPECT_TRUE(RunUntil([&] { return metal->IsHeated(); }, 60));
    EXPECT_TRUE(RunUntil([&] { return std::string(metal->GetSprite()->GetName()) == "Crate (Metal,Heated) Idle"; }, 10));

    UseFirstPowerup();
    EXPECT_TRUE(RunUntil([&] { return metal->cooling != 0; }, 60));
    EXPECT_FALSE(metal->IsHeated());
    EXPECT_TRUE(RunUntil([&] { return std::string(metal->GetSprite()->GetName()) == "Crate (Metal) Idle"; }, 40));
    EXPECT_FALSE(metal->IsFrozen());  // frost on hot metal only cools it
}
