// The editor's placement rules on its model, without a screen: what may
// stand on what, what needs ground or a ceiling, runs and ladders, platforms,
// teleport pairs and colours, one entrance and one exit, the freeze and heat
// tools, the cursor, and the pieces rebuilt from a stored level.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "editor/CEditorModel.h"
#include "editor/EditorArt.h"
#include "world/CLevel.h"

namespace {

constexpr uint32_t kBotTool = 16;

class EditorRulesTest : public ::testing::Test {
protected:
    EditorOutcome Place(uint32_t code, int x, int y) { return model.CursorAction(code, x, y, false); }
    // Grass from column x0 to x1 on a row, one click a cell.
    void Ground(int x0, int x1, int y, uint32_t code = TERRAIN_GRASS) {
        for (int x = x0; x <= x1; ++x) Place(code, x, y);
    }
    uint32_t Tile(int x, int y) const { return model.GetLevel()->GetTile(x, y); }
    bool HasLadder(int x, int y) const { return model.GetLevel()->HasLadder(x, y); }
    std::string ImageAt(int x, int y) const {
        const EditorPiece* p = model.GetElementPiece(x, y);
        return p ? EditorPieceArt(*p).image : std::string();
    }
    int PieceIdAt(int x, int y) const {
        const EditorPiece* p = model.GetElementPiece(x, y);
        return p ? p->id : 0;
    }
    std::string LadderImage(int x, int y) const {
        const EditorPiece* p = model.GetLadderPiece(x, y);
        return p ? EditorPieceArt(*p).image : std::string();
    }
    // The level's teleports of a colour as "x,y" texts.
    std::vector<std::string> Teleports(int colour) const {
        std::vector<std::string> out;
        for (const TeleportCell& t : model.GetLevel()->GetTeleports(colour))
            out.push_back(std::to_string(t.x) + "," + std::to_string(t.y));
        return out;
    }

    CEditorModel model;
};

TEST_F(EditorRulesTest, GrassAndSandRunsAreDrawnWholeAndSplitWhereTheyAreBroken) {
    Ground(3, 4, 10);
    Ground(6, 8, 10);
    ASSERT_NE(PieceIdAt(3, 10), PieceIdAt(6, 10));
    // The cell between joins them into one run of six, one picture wide.
    Place(TERRAIN_GRASS, 5, 10);
    const EditorPiece* run = model.GetElementPiece(5, 10);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->x, 3);
    EXPECT_EQ(run->width, 6);
    EXPECT_EQ(EditorPieceArt(*run).image, "grass6.png");
    for (int x = 3; x <= 8; ++x) EXPECT_EQ(PieceIdAt(x, 10), run->id) << x;

    // Grass on grass changes nothing.
    const size_t pieces = model.GetPieces().size();
    Place(TERRAIN_GRASS, 4, 10);
    EXPECT_EQ(PieceIdAt(4, 10), run->id);
    EXPECT_EQ(model.GetPieces().size(), pieces);

    // Erasing the third cell leaves runs of two and three, each one picture.
    Place(NONE, 5, 10);
    EXPECT_EQ(Tile(5, 10), NONE);
    EXPECT_EQ(ImageAt(3, 10), "grass2.png");
    EXPECT_EQ(PieceIdAt(3, 10), PieceIdAt(4, 10));
    EXPECT_EQ(ImageAt(6, 10), "grass3.png");
    EXPECT_EQ(PieceIdAt(6, 10), PieceIdAt(8, 10));

    // Sand on a grass cell replaces it and splits the grass run.
    Place(TERRAIN_SAND, 7, 10);
    EXPECT_EQ(Tile(7, 10), TERRAIN_SAND);
    EXPECT_EQ(ImageAt(7, 10), "sand1.png");
    EXPECT_EQ(ImageAt(6, 10), "grass1.png");
    EXPECT_EQ(ImageAt(8, 10), "grass1.png");
    EXPECT_NE(PieceIdAt(6, 10), PieceIdAt(8, 10));
}

TEST_F(EditorRulesTest, LaddersFormRunsAndShareCellsOnlyWithSmallThings) {
    Place(LADDER, 10, 5);
    EXPECT_EQ(LadderImage(10, 5), "ladderiso.tga");
    Place(LADDER, 10, 6);
    Place(LADDER, 10, 7);
    EXPECT_EQ(LadderImage(10, 5), "laddertop.tga");
    EXPECT_EQ(LadderImage(10, 6), "laddermiddle.tga");
    EXPECT_EQ(LadderImage(10, 7), "ladderbottom.tga");
    // One more below: a run of four with one top and one bottom.
    Place(LADDER, 10, 8);
    EXPECT_EQ(LadderImage(10, 5), "laddertop.tga");
    EXPECT_EQ(LadderImage(10, 7), "laddermiddle.tga");
    EXPECT_EQ(LadderImage(10, 8), "ladderbottom.tga");
    for (int y = 5; y <= 8; ++y) EXPECT_TRUE(HasLadder(10, y));

    // A ladder on a crate keeps the crate; on a bot, a gate or terrain it
    // takes the cell.
    Place(OBJECT_WCRATE, 12, 3);
    Place(kBotTool, 13, 3);
    Place(DEVICE_GATE_B, 14, 3);
    Place(TERRAIN_ICE, 15, 3);
    for (int x = 12; x <= 15; ++x) Place(LADDER, x, 3);
    EXPECT_EQ(Tile(12, 3), OBJECT_WCRATE);
    EXPECT_EQ(Tile(13, 3), NONE);
    EXPECT_EQ(Tile(14, 3), NONE);
    EXPECT_EQ(Tile(15, 3), NONE);
    for (int x = 12; x <= 15; ++x) EXPECT_TRUE(HasLadder(x, 3)) << x;

    // The other way round: a power-up or a button stands in front of the
    // ladder, a gate takes its cell.
    Place(POWERUP_EMP, 10, 5);
    EXPECT_TRUE(HasLadder(10, 5));
    EXPECT_EQ(Tile(10, 5), POWERUP_EMP);
    Place(DEVICE_GATE_R, 10, 6);
    EXPECT_FALSE(HasLadder(10, 6));
    EXPECT_EQ(LadderImage(10, 5), "laddertop.tga") << "the rest of the run keeps its pictures";
    // The eraser takes both layers.
    Place(NONE, 10, 5);
    EXPECT_FALSE(HasLadder(10, 5));
    EXPECT_EQ(Tile(10, 5), NONE);
}

TEST_F(EditorRulesTest, LaddersBesideTerrainGetPlatformsThatGoWithTheTerrain) {
    Place(LADDER, 6, 12);
    Place(OBJECT_MCRATE, 6, 12);
    ASSERT_EQ(Tile(6, 12), OBJECT_MCRATE);
    // Terrain beside the ladder cell: the crate gives way to a platform.
    Place(TERRAIN_GRASS, 5, 12);
    EXPECT_EQ(Tile(6, 12), PLATFORM);
    const EditorPiece* platform = model.GetElementPiece(6, 12);
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(EditorPieceArt(*platform).image, "ladderplatformleft.tga");
    EXPECT_EQ(EditorPieceArt(*platform).layer, LAYER_LADDER_PLATFORM);
    // Erasing the grass takes the platform away in the same pass.
    Place(NONE, 5, 12);
    EXPECT_EQ(Tile(6, 12), NONE);
    EXPECT_EQ(model.GetElementPiece(6, 12), nullptr);
    EXPECT_TRUE(HasLadder(6, 12));
    // Terrain on the right does it too, and its plank follows a ledge added
    // on the other side.
    Place(TERRAIN_SAND, 7, 12);
    EXPECT_EQ(Tile(6, 12), PLATFORM);
    EXPECT_EQ(EditorPieceArt(*model.GetElementPiece(6, 12)).image, "ladderplatformright.tga");
    Place(TERRAIN_GRASS, 5, 12);
    EXPECT_EQ(EditorPieceArt(*model.GetElementPiece(6, 12)).image, "ladderplatform.tga");
}

TEST_F(EditorRulesTest, TilesThatNeedGroundOrACeilingGoWhenTheyLoseIt) {
    // Nothing that needs ground is placed without it.
    Place(DEVICE_TUBE_START, 2, 10);
    Place(DEVICE_BUTTON_Y, 3, 10);
    Place(DEVICE_TRAMPOLINE, 4, 10);
    for (int x = 2; x <= 4; ++x) EXPECT_EQ(Tile(x, 10), NONE) << x;
    EXPECT_EQ(model.GetStartTubeX(), -1);

    Ground(0, 12, 11);
    Place(DEVICE_TUBE_START, 2, 10);
    Place(DEVICE_BUTTON_Y, 3, 10);
    Place(DEVICE_TRAMPOLINE, 4, 10);
    Place(kBotTool, 5, 10);
    EXPECT_EQ(Tile(2, 10), DEVICE_TUBE_START);
    EXPECT_EQ(Tile(3, 10), DEVICE_BUTTON_Y);
    EXPECT_EQ(Tile(4, 10), DEVICE_TRAMPOLINE);
    EXPECT_EQ(Tile(5, 10), BOT_LEFT);
    // A hanging bot under the ground.
    Place(kBotTool, 8, 12);
    EXPECT_EQ(Tile(8, 12), BOT_HANG);
    EXPECT_EQ(ImageAt(8, 12), "bothang.png");

    // Erasing the ground under each takes it away in the same pass.
    for (int x = 2; x <= 5; ++x) {
        Place(NONE, x, 11);
        EXPECT_EQ(Tile(x, 10), NONE) << x;
        EXPECT_EQ(model.GetElementPiece(x, 10), nullptr) << x;
    }
    EXPECT_EQ(model.GetStartTubeX(), -1);
    // And the ground above the hanging bot.
    Place(NONE, 8, 11);
    EXPECT_EQ(Tile(8, 12), NONE);

    // A tube needs the cell above it free: the tube's own placement clears
    // it, and whatever is put there later removes the tube.
    Place(OBJECT_WBARREL, 10, 9);
    Place(DEVICE_TUBE_END, 10, 10);
    EXPECT_EQ(Tile(10, 9), NONE);
    EXPECT_EQ(Tile(10, 10), DEVICE_TUBE_END);
    EXPECT_EQ(model.GetExitTubeX(), 10);
    Place(OBJECT_WBARREL, 10, 9);
    EXPECT_EQ(Tile(10, 10), NONE);
    EXPECT_EQ(model.GetExitTubeX(), -1);
}

TEST_F(EditorRulesTest, TheBotToolTurnsAWalkingBotAroundAndHangsWithoutGround) {
    Ground(0, 5, 20);
    std::vector<uint32_t> made;
    for (int i = 0; i < 3; ++i) {
        Place(kBotTool, 2, 19);
        made.push_back(Tile(2, 19));
    }
    EXPECT_EQ(made, (std::vector<uint32_t>{BOT_LEFT, BOT_RIGHT, BOT_LEFT}));
    EXPECT_EQ(EditorCursorArt(kBotTool, true, true).image, "cursorbotright.png");
    EXPECT_EQ(EditorCursorArt(kBotTool, true, false).image, "cursorbotleft.png");
    for (int i = 0; i < 2; ++i) Place(kBotTool, 9, 5);
    EXPECT_EQ(Tile(9, 5), NONE) << "a hanging bot needs terrain above it";
    Place(TERRAIN_ICE, 9, 4);
    Place(kBotTool, 9, 5);
    Place(kBotTool, 9, 5);
    EXPECT_EQ(Tile(9, 5), BOT_HANG);
}

TEST_F(EditorRulesTest, ALevelHasOneEntranceAndOneExitAndIsCheckedBeforePlay) {
    Ground(0, 31, 23);
    EXPECT_EQ(model.CheckLevel(), EDITOR_CHECK_NO_TUBE);
    Place(DEVICE_TUBE_START, 2, 22);
    EXPECT_EQ(model.CheckLevel(), EDITOR_CHECK_NO_TUBE);
    Place(DEVICE_TUBE_END, 20, 22);
    EXPECT_EQ(model.CheckLevel(), EDITOR_CHECK_OK);
    // A second entrance moves it.
    Place(DEVICE_TUBE_START, 7, 22);
    EXPECT_EQ(Tile(2, 22), NONE);
    EXPECT_EQ(Tile(7, 22), DEVICE_TUBE_START);
    EXPECT_EQ(model.GetStartTubeX(), 7);
    int starts = 0;
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 24; ++y) starts += Tile(x, y) == DEVICE_TUBE_START;
    EXPECT_EQ(starts, 1);
    // One blue teleport without its partner.
    Place(DEVICE_LTELEPORT_B, 12, 22);
    EXPECT_EQ(model.CheckLevel(), EDITOR_CHECK_TELEPORT_UNPAIRED);
    Place(DEVICE_LTELEPORT_B, 16, 22);
    EXPECT_EQ(model.CheckLevel(), EDITOR_CHECK_OK);
}

TEST_F(EditorRulesTest, TeleportsComeInPairsOfAColourWithinTheColourLimit) {
    Ground(0, 31, 20);
    // The teleport tool reaches column -1: the portal then stands on the
    // left edge of column 0.
    model.SetCursorType(DEVICE_LTELEPORT_B);
    model.MoveCursorToPointer(2, 200, false, false);
    EXPECT_EQ(model.GetCursorX(), -1);
    Place(DEVICE_LTELEPORT_B, -1, 19);
    Place(DEVICE_LTELEPORT_B, 10, 19);
    EXPECT_EQ(Teleports(0), (std::vector<std::string>{"-1,19", "10,19"}));
    ASSERT_NE(model.GetTeleportPiece(0, 19), nullptr);
    EXPECT_EQ(EditorPieceArt(*model.GetTeleportPiece(0, 19)).image, "editorteleportblue.png");
    // A third of the colour replaces the later of the two.
    Place(DEVICE_LTELEPORT_B, 20, 19);
    EXPECT_EQ(Teleports(0), (std::vector<std::string>{"-1,19", "20,19"}));
    EXPECT_EQ(model.GetTeleportPiece(11, 19), nullptr);
    ASSERT_EQ(model.GetTeleportLocations(0).size(), 2u);

    // With a teleport power-up in the level, blue and yellow use up the
    // colours: red is refused, another blue is not.
    Place(POWERUP_TELEPORT, 5, 10);
    EXPECT_EQ(Place(DEVICE_LTELEPORT_Y, 25, 19), EDITOR_DONE);
    EXPECT_EQ(Teleports(1).size(), 1u);
    EXPECT_EQ(Place(DEVICE_LTELEPORT_R, 28, 19), EDITOR_TELEPORT_LIMIT);
    EXPECT_TRUE(Teleports(2).empty());
    EXPECT_EQ(model.GetElementPiece(28, 18), nullptr) << "a refused teleport clears nothing";
    EXPECT_EQ(Place(DEVICE_LTELEPORT_B, 14, 19), EDITOR_DONE);
    EXPECT_EQ(Teleports(0), (std::vector<std::string>{"-1,19", "14,19"}));
    // Without the power-up the third colour is free again.
    Place(NONE, 5, 10);
    EXPECT_EQ(Place(DEVICE_LTELEPORT_R, 28, 19), EDITOR_DONE);
    EXPECT_EQ(Teleports(2).size(), 1u);
}

TEST_F(EditorRulesTest, TeleportsNeedGroundUnderASideAndRoomOnBothRows) {
    Ground(0, 31, 20);
    // No ground under either side: not placed.
    Place(DEVICE_LTELEPORT_Y, 5, 10);
    EXPECT_TRUE(Teleports(1).empty());
    // Placing clears the 2 x 2 cells it stands in.
    Place(OBJECT_WCRATE, 6, 18);
    Place(LADDER, 5, 19);
    Place(DEVICE_LTELEPORT_Y, 5, 19);
    EXPECT_EQ(Teleports(1), (std::vector<std::string>{"5,19"}));
    EXPECT_EQ(Tile(6, 18), NONE);
    EXPECT_FALSE(HasLadder(5, 19));

    // Terrain on both sides of its upper cell removes it.
    Place(TERRAIN_ICE, 5, 18);
    EXPECT_EQ(Teleports(1).size(), 1u) << "one side is no wall";
    Place(TERRAIN_ICE, 6, 18);
    EXPECT_TRUE(Teleports(1).empty());
    EXPECT_EQ(model.GetTeleportPiece(6, 19), nullptr);

    // The same on its lower row.
    Place(DEVICE_LTELEPORT_Y, 16, 19);
    ASSERT_EQ(Teleports(1).size(), 1u);
    Place(TERRAIN_ICE, 16, 19);
    Place(TERRAIN_ICE, 17, 19);
    EXPECT_TRUE(Teleports(1).empty());

    // Beside a wall standing on ground it needs ground under its other side
    // too; a bridge is no wall.
    Place(DEVICE_LTELEPORT_R, 12, 19);
    ASSERT_EQ(Teleports(2).size(), 1u);
    Place(TERRAIN_BRIDGE, 12, 19);
    EXPECT_EQ(Teleports(2).size(), 1u);
    Place(NONE, 13, 20);  // the ground under its right side goes
    EXPECT_EQ(Teleports(2).size(), 1u) << "the bridge beside it is no wall";
    Place(TERRAIN_SAND, 12, 19);
    EXPECT_TRUE(Teleports(2).empty()) << "a wall on ground, nothing under the other side";

    // Losing the ground under both sides removes it.
    Place(DEVICE_LTELEPORT_R, 24, 19);
    ASSERT_EQ(Teleports(2).size(), 1u);
    Place(NONE, 24, 20);
    EXPECT_EQ(Teleports(2).size(), 1u);
    Place(NONE, 25, 20);
    EXPECT_TRUE(Teleports(2).empty());

    // The eraser takes a teleport it touches: either column, either row.
    Place(DEVICE_LTELEPORT_B, 28, 19);
    ASSERT_EQ(Teleports(0).size(), 1u);
    Place(NONE, 29, 18);
    EXPECT_TRUE(Teleports(0).empty());
}

TEST_F(EditorRulesTest, FreezeAndHeatActOnlyOnWhatTheyCanChange) {
    Ground(0, 10, 20);
    Place(DEVICE_GATE_B, 1, 19);
    Place(OBJECT_WCRATE, 2, 19);
    Place(kBotTool, 3, 19);
    Place(OBJECT_MCRATE, 4, 19);
    Place(FREEZE_MODE, 1, 19);
    EXPECT_EQ(model.GetLevel()->GetTileState(1, 19), 0u) << "a gate does not freeze";
    Place(HEAT_MODE, 2, 19);
    EXPECT_EQ(model.GetLevel()->GetTileState(2, 19), 0u) << "a wooden crate does not heat";
    Place(FREEZE_MODE, 3, 19);
    EXPECT_EQ(model.GetLevel()->GetTileState(3, 19), TILE_STATE_FROZEN);
    EXPECT_EQ(Tile(3, 19), BOT_LEFT);
    EXPECT_EQ(ImageAt(3, 19), "botfrozen.png");
    Place(HEAT_MODE, 4, 19);
    EXPECT_EQ(model.GetLevel()->GetTileState(4, 19), TILE_STATE_HEATED);
    EXPECT_EQ(ImageAt(4, 19), "metalcrateheated.png");
    // Putting something else there forgets the state.
    Place(OBJECT_WBARREL, 3, 19);
    EXPECT_EQ(model.GetLevel()->GetTileState(3, 19), 0u);
    EXPECT_EQ(ImageAt(3, 19), "barrel0.tga");
}

TEST_F(EditorRulesTest, TheCursorStaysOnTheBoardForItsToolAndPlacesAlongADrag) {
    model.SetCursorType(LADDER);
    model.MoveCursorToPointer(5, 5, false, false);
    EXPECT_EQ(model.GetCursorX(), 0);
    EXPECT_EQ(model.GetCursorY(), 0);
    // Tubes and teleports never reach row 0: switching to one moves it down.
    model.SetCursorType(DEVICE_TUBE_START);
    EXPECT_EQ(model.GetCursorY(), 1);
    model.MoveCursorBy(0, -1, false, false);
    EXPECT_EQ(model.GetCursorY(), 1);
    model.SetCursorType(TERRAIN_SAND);
    model.MoveCursorToPointer(800, 600, false, false);
    EXPECT_EQ(model.GetCursorX(), 31);
    EXPECT_EQ(model.GetCursorY(), 23);

    // A drag with CTRL held draws along the row, with SHIFT along the column.
    model.MoveCursorToPointer(15 + 24 * 4, 15 + 24 * 10, false, false);
    model.PressPlace();
    for (int i = 1; i <= 4; ++i) model.MoveCursorToPointer(15 + 24 * (4 + i), 15 + 24 * (10 + i), false, true);
    model.ReleasePlace();
    EXPECT_EQ(model.GetCursorY(), 10);
    EXPECT_EQ(ImageAt(4, 10), "sand5.png");
    model.SetCursorType(LADDER);
    model.PressPlace();
    for (int i = 1; i <= 3; ++i) model.MoveCursorToPointer(15 + 24 * (20 + i), 15 + 24 * (10 + i), true, false);
    model.ReleasePlace();
    EXPECT_EQ(model.GetCursorX(), 8);
    for (int y = 10; y <= 13; ++y) EXPECT_TRUE(HasLadder(8, y)) << y;
    // Without placing held a move places nothing.
    model.MoveCursorBy(1, 0, false, false);
    EXPECT_FALSE(HasLadder(9, 13));
}

TEST_F(EditorRulesTest, PiecesRebuiltFromAStoredLevelShowWhatItHoldsAndDropWhatCannotStand) {
    Ground(0, 31, 23);
    Ground(10, 14, 15, TERRAIN_SAND);
    Place(DEVICE_TUBE_START, 2, 22);
    Place(DEVICE_TUBE_END, 28, 22);
    for (int y = 15; y <= 22; ++y) Place(LADDER, 15, y);
    Place(DEVICE_LTELEPORT_Y, 5, 22);
    Place(DEVICE_LTELEPORT_Y, 20, 22);
    Place(OBJECT_LMAGNET, 12, 14);
    Place(FREEZE_MODE, 12, 14);
    model.PlaceTutorialSign(8, 22, "Climb%nthe ladder");
    const CLevel* level = model.GetLevel();
    const std::vector<uint8_t> bytes = level->BodyBytes(CLevel::MakeLevelId(kLevelKindCustom, 7));

    CEditorModel again;
    ASSERT_TRUE(again.GetLevel()->LoadFromMemory(bytes.data(), bytes.size(), "stored"));
    again.LoadLevelPieces();
    EXPECT_EQ(again.GetLevel()->BodyBytes(CLevel::MakeLevelId(kLevelKindCustom, 7)), bytes);
    EXPECT_EQ(again.GetStartTubeX(), 2);
    EXPECT_EQ(again.GetExitTubeX(), 28);
    EXPECT_EQ(again.CheckLevel(), EDITOR_CHECK_OK);
    // The same pictures in the same places.
    auto pictures = [](const CEditorModel& m) {
        std::multiset<std::string> out;
        for (const auto& [id, piece] : m.GetPieces())
            out.insert(EditorPieceArt(piece).image + "@" + std::to_string(piece.x) + "," + std::to_string(piece.y));
        return out;
    };
    EXPECT_EQ(pictures(again), pictures(model));
    EXPECT_STREQ(again.GetLevel()->GetTutorialText(8, 22), "Climb%nthe ladder");

    // A level written by other means may hold what the editor cannot show:
    // a tube in the air, a code no tool makes, a teleport without ground.
    CLevel odd;
    odd.SetTile(DEVICE_TUBE_START, 4, 4);
    odd.SetTile(CTRL_SAVE, 6, 6);
    odd.SetTile(TERRAIN_GRASS, 20, 10);
    odd.SetTeleport(DEVICE_LTELEPORT_R, 8, 8);
    odd.SetTeleport(DEVICE_LTELEPORT_R, 19, 9);
    const std::vector<uint8_t> oddBytes = odd.BodyBytes(CLevel::MakeLevelId(kLevelKindCustom, 7));
    CEditorModel shown;
    ASSERT_TRUE(shown.GetLevel()->LoadFromMemory(oddBytes.data(), oddBytes.size(), "odd"));
    shown.LoadLevelPieces();
    EXPECT_EQ(shown.GetLevel()->GetTile(4, 4), NONE);
    EXPECT_EQ(shown.GetLevel()->GetTile(6, 6), NONE);
    EXPECT_EQ(shown.GetLevel()->GetTile(20, 10), TERRAIN_GRASS);
    EXPECT_EQ(shown.GetLevel()->GetTeleports(2), (std::vector<TeleportCell>{{19, 9}}));
    EXPECT_EQ(shown.CheckLevel(), EDITOR_CHECK_NO_TUBE);
}

TEST_F(EditorRulesTest, ANewLevelIsEmptyUnmodifiedWithTheDefaultBackground) {
    Ground(0, 31, 23);
    Place(DEVICE_TUBE_START, 3, 22);
    model.GetLevel()->SetBackground(2);
    ASSERT_TRUE(model.GetLevel()->IsModified());
    model.NewLevel();
    EXPECT_TRUE(model.GetPieces().empty());
    EXPECT_FALSE(model.GetLevel()->IsModified());
    EXPECT_EQ(model.GetStartTubeX(), -1);
    EXPECT_EQ(Tile(3, 22), NONE);
    EXPECT_EQ(model.GetLevel()->GetBackground(), CLevel::kDefaultBackground);
}

}  // namespace
