// Damaged level files and packs: every truncation and every count far past
// the bytes that remain loads as a failure, leaves the level cleared and never
// reads outside the buffer (this file also runs under AddressSanitizer).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"

namespace {

void PutU32(std::vector<uint8_t>* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

CLevel BusyLevel() {
    CLevel level;
    level.SetHeadingText("Busy");
    level.SetTile(DEVICE_TUBE_START, 1, 1);
    level.SetTile(TUTORIAL, 2, 2);
    level.SetTutorialText(2, 2, "#zqdefine 5001-s-0#");
    level.SetTeleport(DEVICE_LTELEPORT_B, 3, 3);
    level.SetTeleport(DEVICE_LTELEPORT_B, 9, 3);
    level.SetTeleport(DEVICE_LTELEPORT_Y, 4, 4);
    level.SetTeleport(DEVICE_LTELEPORT_Y, 10, 4);
    level.AddReplayKey(1, 275, false);
    level.AddReplayKey(4, 275, true);
    return level;
}

TEST(LevelDamage, EveryTruncationFailsAndLeavesTheLevelCleared) {
    const std::vector<uint8_t> body = BusyLevel().BodyBytes(CLevel::MakeLevelId(kLevelKindGame, 0x1234));
    ASSERT_GT(body.size(), 6181u);
    for (size_t n = 0; n < body.size(); ++n) {
        // A copy of exactly n bytes, so that any read past it is caught.
        std::vector<uint8_t> cut(body.begin(), body.begin() + n);
        CLevel level = BusyLevel();
        ASSERT_FALSE(level.LoadFromMemory(cut.data(), cut.size(), "cut")) << "length " << n;
        ASSERT_EQ(level.GetTile(1, 1), static_cast<uint32_t>(NONE)) << n;
        ASSERT_EQ(level.GetTutorialText(2, 2), nullptr) << n;
        ASSERT_TRUE(level.GetTeleports(0).empty()) << n;
        ASSERT_TRUE(level.GetSolution().empty()) << n;
        ASSERT_STREQ(level.GetHeadingText(), "") << n;
        ASSERT_STREQ(level.GetFileName(), "") << n;
    }
    CLevel whole;
    EXPECT_TRUE(whole.LoadFromMemory(body.data(), body.size(), "whole"));
}

TEST(LevelDamage, CountsFarPastTheSizeFail) {
    const std::vector<uint8_t> body = BusyLevel().BodyBytes(CLevel::MakeLevelId(kLevelKindGame, 0));
    // Offsets of the counts in this level's body.
    const size_t blue = 6181;
    const size_t yellow = blue + 4 + 16;
    const size_t red = yellow + 4 + 16;
    const size_t signs = red + 4;
    const size_t textLength = signs + 4 + 8;
    const size_t solution = textLength + 4 + 19 + 4;
    const size_t offsets[] = {blue, yellow, red, signs, textLength, solution};
    const uint32_t values[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x20000000u, 1000000u};
    for (size_t at : offsets) {
        for (uint32_t v : values) {
            std::vector<uint8_t> bad = body;
            PutU32(&bad, at, v);
            CLevel level;
            EXPECT_FALSE(level.LoadFromMemory(bad.data(), bad.size(), "bad")) << at << " " << v;
            EXPECT_EQ(level.GetTile(1, 1), static_cast<uint32_t>(NONE));
        }
    }
}

// A sign's text is at most what the editor's sign box holds; a longer one
// (a level file that would take the game minutes to build) is damage. The
// text ends at its first zero byte, so a terminator after the longest text
// is fine.
TEST(LevelDamage, ASignTextLongerThanTheEditorAllowsIsDamage) {
    const size_t max = CLevel::kSignTextMax;
    const struct {
        size_t bytes;
        bool terminated;
        bool loads;
    } rows[] = {{max - 1, false, true}, {max, false, true}, {max, true, true}, {max + 1, false, false},
                {64 * 1024, false, false}};
    for (const auto& row : rows) {
        CLevel level = BusyLevel();
        level.SetTutorialText(2, 2, std::string(row.bytes, 'W').c_str());
        std::vector<uint8_t> body = level.BodyBytes(CLevel::MakeLevelId(kLevelKindCustom, 0));
        if (row.terminated) {
            // The same text stored with a zero byte after it.
            const size_t length = 6181 + 3 * 4 + 32 + 4 + 8;
            ASSERT_EQ(body[length], row.bytes) << "no length at the expected place";
            body[length] += 1;
            body.insert(body.begin() + static_cast<std::ptrdiff_t>(length + 4 + row.bytes), 0);
        }
        CLevel back;
        EXPECT_EQ(back.LoadFromMemory(body.data(), body.size(), "sign"), row.loads) << row.bytes;
        if (row.loads) {
            EXPECT_EQ(std::string(back.GetTutorialText(2, 2)), std::string(row.bytes, 'W'));
        }
    }
}

TEST(LevelDamage, LoadingAFileReadsItWhole) {
    CTempDir dir;
    std::vector<uint8_t> body = BusyLevel().BodyBytes(CLevel::MakeLevelId(kLevelKindCustom, 0));
    body.resize(body.size() - 3);
    ASSERT_TRUE(WriteFileBytes(dir.File("short.lvl"), body));
    CLevel level;
    EXPECT_FALSE(level.LoadFile(dir.File("short.lvl"), "short"));
    EXPECT_FALSE(level.LoadFile(dir.File("missing.lvl"), "missing"));
    ASSERT_TRUE(WriteFileBytes(dir.File("empty.lvl"), {}));
    EXPECT_FALSE(level.LoadFile(dir.File("empty.lvl"), "empty"));
}

// A pack of one level with an entry count, offset or name length that lies.
TEST(LevelDamage, DamagedPacksFailWithoutFilingLevels) {
    CTempDir dir;
    const std::vector<uint8_t> body = BusyLevel().BodyBytes(CLevel::MakeLevelId(kLevelKindGame, 0));
    auto makePack = [&](const std::string& name, const std::vector<uint8_t>& levelBody) {
        std::vector<uint8_t> p(8 + 8 + name.size() + levelBody.size());
        PutU32(&p, 0, 1);
        PutU32(&p, 4, 8);
        PutU32(&p, 8, static_cast<uint32_t>(levelBody.size()));
        PutU32(&p, 12, static_cast<uint32_t>(name.size()));
        memcpy(&p[16], name.data(), name.size());
        memcpy(&p[16 + name.size()], levelBody.data(), levelBody.size());
        return p;
    };
    const std::vector<uint8_t> good = makePack("reg000.lvl", body);
    ASSERT_TRUE(WriteFileBytes(dir.File("good.dat"), good));
    std::string error;
    ASSERT_TRUE(CLevelSet::LoadPack(dir.File("good.dat"), &error)) << error;
    EXPECT_EQ(CLevelSet::GetSet(0)->GetLevelCount(), 1);

    std::vector<std::vector<uint8_t>> bad;
    for (uint32_t count : {2u, 0xFFFFFFFFu}) {
        bad.push_back(good);
        PutU32(&bad.back(), 0, count);
    }
    for (uint32_t offset : {3u, 0x7FFFFFF0u, static_cast<uint32_t>(good.size())}) {
        bad.push_back(good);
        PutU32(&bad.back(), 4, offset);
    }
    for (uint32_t length : {0u, 3u, 0xFFFFFFFFu}) {
        bad.push_back(good);
        PutU32(&bad.back(), 12, length);
    }
    bad.push_back(good);
    PutU32(&bad.back(), 8, 0xFFFFFFF0u);  // body size past the end
    std::vector<uint8_t> shortBody(body.begin(), body.begin() + 100);
    bad.push_back(makePack("reg000.lvl", shortBody));
    bad.push_back(makePack(".lvl", body));
    bad.push_back(makePack("reg000.bin", body));
    for (size_t n = 0; n < 16; ++n) bad.push_back(std::vector<uint8_t>(good.begin(), good.begin() + n));

    for (size_t i = 0; i < bad.size(); ++i) {
        ASSERT_TRUE(WriteFileBytes(dir.File("bad.dat"), bad[i]));
        error.clear();
        EXPECT_FALSE(CLevelSet::LoadPack(dir.File("bad.dat"), &error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
        for (int s = 0; s < CLevelSet::kSetCount; ++s) EXPECT_EQ(CLevelSet::GetSet(s)->GetLevelCount(), 0);
    }
    EXPECT_FALSE(CLevelSet::LoadPack(dir.File("absent.dat"), &error));
    CLevelSet::FreeAll();
}

}  // namespace
