// The movable objects in levels the hero plays through the headless level
// run, with his keys as a solution would give them and the world's
// invariants checked after every frame: he rolls a barrel, puts his
// inflatables down, and fires an EMP at a magnet's hold, which undo takes
// back.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/world/pieces/ObjectWorld.h"
#include "world/CElementAIProfessor.h"
#include "world/CWorldRun.h"
#include "world/SolutionKeys.h"
#include "world/pieces/CElementObjectBarrel.h"
#include "world/pieces/CElementObjectCrate.h"
#include "world/pieces/CElementObjectMagnet.h"

namespace {

class ObjectsWithHeroTest : public worldtest::WorldTest {
protected:
    // The picture's rows are placed from row `top` down.
    void Load(int top, const std::vector<std::string>& rows) {
        std::vector<std::string> picture(static_cast<size_t>(top));
        picture.insert(picture.end(), rows.begin(), rows.end());
        std::string error;
        ASSERT_TRUE(CLevelSource::Parse(objecttest::LevelSource(picture), &level_, &error)) << error;
        run_ = std::make_unique<CWorldRun>(&level_);
        ASSERT_TRUE(run_->Start(&error)) << error;
        hero_ = dynamic_cast<CElementAIProfessor*>(CElement::GetHero());
        ASSERT_NE(hero_, nullptr);
        // He takes no keys while he comes out of the entrance tube.
        ASSERT_TRUE(RunUntil([&] { return !hero_->arriving && !hero_->IsMoving(); }));
    }
    void TearDown() override {
        run_.reset();
        WorldTest::TearDown();
    }
    template <class T>
    static T* At(int x, int y) {
        return dynamic_cast<T*>(CElement::GetElementAt(x, y));
    }

    // One frame as the play screen runs it; the world's invariants hold
    // after every one.
    void Frame() {
        run_->StepFrame();
        std::string what;
        if (!CWorldRun::CheckWorld(&what)) ADD_FAILURE() << "frame " << run_->GetFrame() << ": " << what;
    }
    template <typename Done>
    bool RunUntil(Done done, int maxFrames = 400) {
        for (int i = 0; i < maxFrames; ++i) {
            if (done()) return true;
            Frame();
        }
        return done();
    }
    void Tap(int code) {
        run_->ApplyKey(code, false);
        run_->ApplyKey(code, true);
    }
    // Holds a direction until the hero's move into column x has begun, then
    // lets go and waits until he stands still.
    bool WalkTo(int code, int x) {
        run_->ApplyKey(code, false);
        const bool reached = RunUntil([&] { return hero_->GetCurrentX() == x; });
        run_->ApplyKey(code, true);
        RunUntil([&] { return !hero_->IsMoving() && !hero_->FALLING; });
        return reached && hero_->GetCurrentX() == x;
    }
    // Uses the first power-up of the inventory and waits until he is done.
    void UseFirstPowerup() {
        Tap(SOLUTION_KEY_POWERUP_FIRST);
        EXPECT_TRUE(hero_->usingPowerup);
        EXPECT_TRUE(RunUntil([&] { return !hero_->usingPowerup && !hero_->activePowerup; }));
    }

    CLevel level_;
    std::unique_ptr<CWorldRun> run_;
    CElementAIProfessor* hero_ = nullptr;
};

}  // namespace

TEST_F(ObjectsWithHeroTest, HePutsHisInflatablesWhereHeFacesAndRollsTheBarrelAway) {
    // He picks up an inflatable crate, barrel and magnet on his way right.
    ASSERT_NO_FATAL_FAILURE(Load(10, {
        "c....SKDN...c",
        "#############",
    }));
    ASSERT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 9));
    EXPECT_EQ(hero_->GetInventory(0), CElementAIProfessor::POWERUP_KIND_CRATE);
    EXPECT_EQ(hero_->GetInventory(1), CElementAIProfessor::POWERUP_KIND_BARREL);
    EXPECT_EQ(hero_->GetInventory(2), CElementAIProfessor::POWERUP_KIND_MAGNET);

    // Facing right: the crate inflates in the cell on his right.
    UseFirstPowerup();
    auto* crate = At<CElementObjectCrate>(10, 10);
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
    auto* barrel = At<CElementObjectBarrel>(8, 10);
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
    auto* magnet = At<CElementObjectMagnet>(7, 10);
    ASSERT_NE(magnet, nullptr);
    EXPECT_TRUE(magnet->IsFaceLeft());
    EXPECT_TRUE(RunUntil([&] { return std::string(magnet->GetSprite()->GetName()) == "Magnet (Left,Inflated) Idle"; },
                         40));
    EXPECT_EQ(hero_->GetInventory(0), CElementAIProfessor::POWERUP_KIND_NONE);
}

TEST_F(ObjectsWithHeroTest, HisEMPDropsTheCrateAMagnetHoldsAndUndoHangsItBackUp) {
    // A metal crate hangs over a pit beside a magnet; he picks up an EMP on
    // his way to it.
    ASSERT_NO_FATAL_FAILURE(Load(10, {
        "S.Z.C<..",
        "####.###",
        "........",
        "########",
    }));
    auto* crate = At<CElementObjectCrate>(4, 10);
    auto* magnet = At<CElementObjectMagnet>(5, 10);
    ASSERT_TRUE(crate && magnet);
    ASSERT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 3));
    EXPECT_EQ(crate->GetCurrentY(), 10);
    EXPECT_EQ(crate->GetMagnetHolderB(), magnet);
    EXPECT_EQ(magnet->GetMagnetHolderA(), crate);

    Tap(SOLUTION_KEY_POWERUP_FIRST);
    ASSERT_TRUE(RunUntil([&] { return !magnet->MAGNETIC; }, 40));
    EXPECT_TRUE(magnet->GetMagnetHolderA()->IsNull());
    EXPECT_TRUE(RunUntil([&] { return crate->GetCurrentY() == 12 && !crate->IsMoving(); }));
    EXPECT_TRUE(magnet->MAGNETIC);  // back on after its pause
    EXPECT_TRUE(magnet->GetMagnetHolderA()->IsNull());  // nothing beside its face now

    // Undo goes back to before the EMP: the crate hangs again, held, and
    // the EMP is back in his inventory.
    CElement::LoadUndoStep(false);
    std::string what;
    EXPECT_TRUE(CWorldRun::CheckWorld(&what)) << what;
    EXPECT_EQ(crate->GetCurrentY(), 10);
    EXPECT_EQ(CElement::GetElementAt(4, 10), crate);
    EXPECT_EQ(crate->GetMagnetHolderB(), magnet);
    EXPECT_EQ(magnet->GetMagnetHolderA(), crate);
    EXPECT_TRUE(magnet->MAGNETIC);
    EXPECT_EQ(magnet->GetEmpCountdown(), 0);
    EXPECT_EQ(hero_->GetInventory(0), CElementAIProfessor::POWERUP_KIND_EMP);
    RunUntil([&] { return false; }, 30);
    EXPECT_EQ(crate->GetCurrentY(), 10);
    EXPECT_EQ(crate->GetMagnetHolderB(), magnet);
}

TEST_F(ObjectsWithHeroTest, ABarrelHeRollsOffALedgeOntoABotKnocksItOver) {
    // The barrel he pushes off the ledge drops on the bot below, where a
    // stack of crates keeps it from rolling on (a barrel that can roll on
    // only brushes past).
    ASSERT_NO_FATAL_FAILURE(Load(2, {
        "..S.o",
        "#####",
        "",
        "......c",
        ".....)c",
        "################",
    }));
    auto* barrel = At<CElementObjectBarrel>(4, 2);
    auto* bot = At<CElementAI>(5, 6);
    ASSERT_TRUE(barrel && bot && bot->IsBot());
    ASSERT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 4));
    EXPECT_TRUE(RunUntil([&] { return barrel->GetCurrentY() == 5 && !barrel->IsMoving(); }, 200));
    EXPECT_TRUE(RunUntil([&] { return bot->STUN != 0; }, 10));
    RunUntil([&] { return false; }, 60);
    // It stays down while the barrel lies on it.
    EXPECT_TRUE(bot->STUN);
    EXPECT_EQ(bot->GetCurrentX(), 5);
    EXPECT_EQ(CElement::GetElementAt(5, 5), barrel);
}

TEST_F(ObjectsWithHeroTest, HisHeatGunBurnsAWoodenCrateAndHeatsAMetalOneWhichHisFrostGunCools) {
    // Two heat guns and a frost gun lie on his way to the crates.
    ASSERT_NO_FATAL_FAILURE(Load(10, {
        "S.HHF..c..C",
        "############",
    }));
    auto* wood = At<CElementObjectCrate>(7, 10);
    auto* metal = At<CElementObjectCrate>(10, 10);
    ASSERT_TRUE(wood && metal);
    ASSERT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 5));
    ASSERT_EQ(hero_->GetInventory(2), CElementAIProfessor::POWERUP_KIND_FROSTGUN);

    UseFirstPowerup();
    EXPECT_TRUE(RunUntil([&] { return wood->IsDestroyed(); }, 120));
    EXPECT_TRUE(CElement::GetElementAt(7, 10)->IsNull());
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
