// The profile list and the INFO file: numbering, create, rename, delete,
// and every way a missing or damaged INFO file could lose a player.
#include <sys/stat.h>

#include <cstdio>

#include "players/CProfile.h"
#include "tests/players/ProfileTestHelpers.h"

namespace {

using ProfileListTest = ProfileFilesFixture;

// An INFO file as the game writes it, entries given as (number, name).
std::vector<uint8_t> MakeInfo(int32_t last, int32_t current, const std::vector<std::pair<int32_t, std::string>>& entries,
                              uint32_t count) {
    std::vector<uint8_t> b(34 + 36 * entries.size(), 0);
    PutI32(&b, 0, 3);
    PutI32(&b, 4, 3600);
    PutI32(&b, 8, last);
    PutI32(&b, 26, current);
    PutI32(&b, 30, static_cast<int32_t>(count));
    for (size_t i = 0; i < entries.size(); ++i) {
        PutI32(&b, 34 + 36 * i, entries[i].first);
        memcpy(&b[38 + 36 * i], entries[i].second.data(), entries[i].second.size());
    }
    return b;
}

TEST_F(ProfileListTest, NumbersAreNeverReused) {
    CProfile p;
    EXPECT_EQ(p.GetProfileCount(), 1);
    ASSERT_TRUE(p.CreateProfile("Second"));
    EXPECT_EQ(p.GetProfileNumber("Second"), 1);
    EXPECT_EQ(p.GetCurrentProfile(), 1);
    EXPECT_TRUE(Exists(ProfilePath(1)));
    ASSERT_TRUE(p.DeleteProfile("PLAYER 1"));
    ASSERT_TRUE(p.CreateProfile("Third"));
    EXPECT_EQ(p.GetProfileNumber("Third"), 2);
    EXPECT_TRUE(Exists(ProfilePath(0)));  // a deleted profile's file stays
    EXPECT_EQ(U32At(ReadFileBytes(InfoPath()), 30), 2u);
}

TEST_F(ProfileListTest, DeletingTheCurrentProfileLoadsTheByteWiseFirstName) {
    CProfile p;
    ASSERT_TRUE(p.CreateProfile("blue"));
    ASSERT_TRUE(p.CreateProfile("Red"));
    p.SetLevelSteps(44, 0, 0);
    ASSERT_TRUE(p.Save());
    ASSERT_TRUE(p.LoadProfile("blue"));
    ASSERT_TRUE(p.DeleteProfile("blue"));
    EXPECT_STREQ(p.GetProfileName(), "PLAYER 1");  // 'P' sorts before 'R'
    ASSERT_TRUE(p.DeleteProfile("PLAYER 1"));
    EXPECT_STREQ(p.GetProfileName(), "Red");
    EXPECT_EQ(p.GetLevelSteps(0, 0, false), 44);
}

TEST_F(ProfileListTest, DeletingTheOnlyProfileRecreatesPlayerOneUnderANewNumber) {
    CProfile p;
    ASSERT_TRUE(p.DeleteProfile("PLAYER 1"));
    EXPECT_EQ(p.GetProfileCount(), 1);
    EXPECT_EQ(p.GetProfileNumber("PLAYER 1"), 1);
    EXPECT_EQ(p.GetCurrentProfile(), 1);
}

TEST_F(ProfileListTest, RenameKeepsNumberProgressAndScoreboardName) {
    CProfile p;
    p.SetLevelSteps(31, 0, 0);
    ASSERT_TRUE(p.SetScoreboardName("online"));
    ASSERT_TRUE(p.RenameProfile("PLAYER 1", "Zed"));
    EXPECT_EQ(p.GetProfileNumber("Zed"), 0);
    EXPECT_STREQ(p.GetScoreboardName(0), "online");
    EXPECT_EQ(p.GetLevelSteps(0, 0, false), 31);
    CProfile q;
    EXPECT_STREQ(q.GetProfileName(), "Zed");
    EXPECT_EQ(q.GetLevelSteps(0, 0, false), 31);
}

TEST_F(ProfileListTest, NamesInUseOrTooLongAreRefused) {
    CProfile p;
    ASSERT_TRUE(p.CreateProfile("Ann"));
    EXPECT_FALSE(p.CreateProfile("Ann"));
    EXPECT_FALSE(p.CreateProfile("sixteen-chars-xx"));
    EXPECT_TRUE(p.CreateProfile("fifteen-chars-x"));
    EXPECT_FALSE(p.CreateProfile(nullptr));
    EXPECT_FALSE(p.RenameProfile("Ann", "PLAYER 1"));
    EXPECT_FALSE(p.RenameProfile("Nobody", "Bob"));
    EXPECT_FALSE(p.DeleteProfile("Nobody"));
    EXPECT_TRUE(p.RenameProfile("Ann", "Ann"));
    EXPECT_EQ(p.GetProfileCount(), 3);
    const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    EXPECT_EQ(info.size(), 34u + 36u * 3);
    EXPECT_EQ(U32At(info, 30), 3u);
}

TEST_F(ProfileListTest, LookupsOfUnknownProfilesAnswerSafely) {
    CProfile p;
    EXPECT_STREQ(p.GetProfileName(57), "");
    EXPECT_EQ(p.GetProfileNumber("nobody"), -1);
    EXPECT_EQ(p.GetProfileNameAt(1), nullptr);
    EXPECT_EQ(p.GetProfileNameAt(-1), nullptr);
    EXPECT_STREQ(p.GetProfileNameAt(0), "PLAYER 1");
    EXPECT_EQ(p.GetScoreboardName(57), nullptr);
    EXPECT_FALSE(p.HasScoreboardName());
    EXPECT_FALSE(p.LoadProfile("nobody"));
    EXPECT_EQ(p.GetCurrentProfile(), 0);
}

TEST_F(ProfileListTest, ScoreboardNameIsWrittenAtOnce) {
    // The server keeps a registered name; the player must keep it too, even
    // when the game never gets to write the INFO file at its end.
    CProfile p;
    ASSERT_TRUE(p.SetScoreboardName("online"));
    const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    CProfile q;
    EXPECT_STREQ(q.GetScoreboardName(), "online");
    EXPECT_EQ(ReadFileBytes(InfoPath()), info);
}

TEST_F(ProfileListTest, PasswordIsHeldToTenCharactersAndWritten) {
    CProfile p;
    EXPECT_FALSE(p.HasPassword());
    ASSERT_TRUE(p.SetPassword("abcdefghijklmno"));
    EXPECT_STREQ(p.GetPassword(), "abcdefghij");
    EXPECT_EQ(TextAt(ReadFileBytes(InfoPath()), 16, 10), "abcdefghij");
    EXPECT_EQ(I32At(ReadFileBytes(InfoPath()), 26), 0);
}

TEST_F(ProfileListTest, MissingInfoNeverTakesTheNumberOfAnExistingProfileFile) {
    {
        CProfile p;
        ASSERT_TRUE(p.CreateProfile("Keep"));
        p.SetLevelSteps(12, 0, 0);
        ASSERT_TRUE(p.Save());
    }
    const std::vector<uint8_t> first = ReadFileBytes(ProfilePath(0));
    const std::vector<uint8_t> second = ReadFileBytes(ProfilePath(1));
    ASSERT_EQ(remove(InfoPath().c_str()), 0);
    {
        CProfile p;
        EXPECT_EQ(p.GetProfileCount(), 1);
        EXPECT_EQ(p.GetCurrentProfile(), 2);
        EXPECT_STREQ(p.GetProfileName(), "PLAYER 1");
    }
    EXPECT_EQ(ReadFileBytes(ProfilePath(0)), first);
    EXPECT_EQ(ReadFileBytes(ProfilePath(1)), second);
    EXPECT_TRUE(Exists(ProfilePath(2)));
}

TEST_F(ProfileListTest, CurrentProfileMissingFromTheListStartsWithTheFirstName) {
    { CProfile p; ASSERT_TRUE(p.CreateProfile("bob")); ASSERT_TRUE(p.CreateProfile("Amy")); }
    std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    PutI32(&info, 26, 9);
    ASSERT_TRUE(WriteFileBytes(InfoPath(), info));
    CProfile p;
    EXPECT_STREQ(p.GetProfileName(), "Amy");
    EXPECT_EQ(p.GetProfileCount(), 3);
}

TEST_F(ProfileListTest, LastNumberBelowAListedNumberIsRaised) {
    { CProfile p; ASSERT_TRUE(p.CreateProfile("B")); ASSERT_TRUE(p.CreateProfile("C")); }
    std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    PutI32(&info, 8, 0);
    ASSERT_TRUE(WriteFileBytes(InfoPath(), info));
    remove(ProfilePath(2).c_str());  // even without its file, number 2 is taken
    CProfile p;
    EXPECT_EQ(p.GetLastProfileNumber(), 2);
    ASSERT_TRUE(p.CreateProfile("D"));
    EXPECT_EQ(p.GetProfileNumber("D"), 3);
}

TEST_F(ProfileListTest, CountBeyondTheEntriesKeepsTheCompleteOnes) {
    { CProfile p; }
    WriteFileBytes(InfoPath(), MakeInfo(4, 4, {{0, "PLAYER 1"}, {4, "Four"}}, 1000));
    {
        CProfile p;
        EXPECT_EQ(p.GetProfileCount(), 2);
        EXPECT_STREQ(p.GetProfileName(), "Four");
        EXPECT_TRUE(Exists(InfoPath() + ".damaged"));
    }
    const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    EXPECT_EQ(info.size(), 34u + 36u * 2);
    EXPECT_EQ(U32At(info, 30), 2u);
}

TEST_F(ProfileListTest, DuplicateEntriesAreDroppedAndTheCountMatchesTheEntriesWritten) {
    { CProfile p; }
    WriteFileBytes(InfoPath(), MakeInfo(3, 0, {{0, "A"}, {1, "A"}, {0, "B"}, {3, "C"}, {-4, "D"}}, 5));
    {
        CProfile p;
        EXPECT_EQ(p.GetProfileCount(), 2);
        EXPECT_EQ(p.GetProfileNumber("A"), 0);
        EXPECT_EQ(p.GetProfileNumber("C"), 3);
    }
    const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    ASSERT_EQ(info.size(), 34u + 36u * 2);
    EXPECT_EQ(U32At(info, 30), 2u);
    EXPECT_EQ(TextAt(info, 38, 16), "A");
    EXPECT_EQ(TextAt(info, 38 + 36, 16), "C");
}

TEST_F(ProfileListTest, UnterminatedNamesAreCutToFifteenBytes) {
    { CProfile p; }
    std::vector<uint8_t> info = MakeInfo(0, 0, {{0, "x"}}, 1);
    memset(&info[38], 'N', 32);   // name and score-board name without any zero
    memset(&info[16], 'P', 10);   // a password of all ten bytes
    WriteFileBytes(InfoPath(), info);
    CProfile p;
    EXPECT_EQ(std::string(p.GetProfileName()), std::string(15, 'N'));
    EXPECT_EQ(std::string(p.GetScoreboardName()), std::string(15, 'N'));
    EXPECT_EQ(std::string(p.GetPassword()), std::string(10, 'P'));
}

TEST_F(ProfileListTest, OtherVersionGivesAFreshListAndIsKeptAside) {
    { CProfile p; ASSERT_TRUE(p.CreateProfile("Old")); }
    std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    PutI32(&info, 0, 2);
    WriteFileBytes(InfoPath(), info);
    CProfile p;
    EXPECT_EQ(p.GetProfileCount(), 1);
    EXPECT_STREQ(p.GetProfileName(), "PLAYER 1");
    EXPECT_EQ(p.GetCurrentProfile(), 2);  // files 1 and 2 are on disk
    EXPECT_EQ(ReadFileBytes(InfoPath() + ".damaged"), info);
    EXPECT_EQ(U32At(ReadFileBytes(InfoPath()), 0), 3u);
}

TEST_F(ProfileListTest, EveryListThatLostPlayersIsToldOnceWithItsCopy) {
    { CProfile p; }
    const std::vector<uint8_t> sound = ReadFileBytes(InfoPath());
    std::vector<uint8_t> otherVersion = sound;
    PutI32(&otherVersion, 0, 2);
    struct Case {
        const char* what;
        std::vector<uint8_t> info;
        bool told;
    };
    const Case cases[] = {
        {"as the game wrote it", sound, false},
        {"count beyond the entries", MakeInfo(4, 4, {{0, "PLAYER 1"}, {4, "Four"}}, 3), true},
        {"duplicate entries", MakeInfo(3, 0, {{0, "A"}, {1, "A"}, {0, "B"}}, 3), true},
        {"another version", otherVersion, true},
        {"header cut short", std::vector<uint8_t>(sound.begin(), sound.begin() + 20), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        remove((InfoPath() + ".damaged").c_str());
        ASSERT_TRUE(WriteFileBytes(InfoPath(), c.info));
        CProfile p;
        DamageNotice notice;
        ASSERT_EQ(p.TakeDamageNotice(&notice), c.told);
        EXPECT_FALSE(p.TakeDamageNotice(&notice));
        if (!c.told) continue;
        EXPECT_TRUE(notice.playerList);
        EXPECT_EQ(notice.keptAs, InfoPath() + ".damaged");
        EXPECT_EQ(ReadFileBytes(notice.keptAs), c.info);
    }
}

TEST_F(ProfileListTest, EmptyListInTheInfoFileCreatesPlayerOne) {
    { CProfile p; }
    WriteFileBytes(InfoPath(), MakeInfo(0, 0, {}, 0));
    CProfile p;
    EXPECT_EQ(p.GetProfileCount(), 1);
    EXPECT_EQ(p.GetCurrentProfile(), 1);
}

TEST_F(ProfileListTest, SwitchingProfilesKeepsTheStepCounterReadable) {
    CProfile p;
    ASSERT_TRUE(p.CreateProfile("Other"));
    p.SetStepCount(41);
    ASSERT_TRUE(p.LoadProfile("PLAYER 1"));
    EXPECT_EQ(p.GetStepCount(true), 41);
    p.IncrementStepCount();
    EXPECT_EQ(p.GetStepCount(true), 42);
}

TEST_F(ProfileListTest, SwitchingProfilesSavesTheOutgoingOneFirst) {
    CProfile p;
    ASSERT_TRUE(p.CreateProfile("Other"));
    p.SetCurrentSet(2);
    ASSERT_TRUE(p.LoadProfile("PLAYER 1"));
    EXPECT_EQ(p.GetCurrentSet(), 0);
    EXPECT_EQ(I32At(ReadFileBytes(ProfilePath(1)), CProfileBase::kOptionsBlockSize + CProfile::kBodyCurrentSet), 2);
    ASSERT_TRUE(p.LoadProfile("Other"));
    EXPECT_EQ(p.GetCurrentSet(), 2);
}

TEST_F(ProfileListTest, SwitchingIsRefusedWhileTheOutgoingPlayerCannotBeSaved) {
    CProfile p;
    ASSERT_TRUE(p.CreateProfile("Other"));
    p.SetCurrentSet(2);
    p.SetLevelSteps(17, 0, 0);
    const std::string blocker = ProfilePath(1) + ".tmp";
    ASSERT_EQ(mkdir(blocker.c_str(), 0755), 0);
    EXPECT_FALSE(p.LoadProfile("PLAYER 1"));
    EXPECT_FALSE(p.CreateProfile("Third"));
    EXPECT_STREQ(p.GetProfileName(), "Other");
    EXPECT_EQ(p.GetProfileCount(), 2);
    EXPECT_EQ(p.GetCurrentSet(), 2);
    EXPECT_EQ(p.GetLevelSteps(0, 0, false), 17);
    EXPECT_TRUE(p.TakeSaveFailureNotice());
    ASSERT_EQ(rmdir(blocker.c_str()), 0);
    // Once the file can be written the switch goes ahead with nothing lost.
    ASSERT_TRUE(p.LoadProfile("PLAYER 1"));
    ASSERT_TRUE(p.LoadProfile("Other"));
    EXPECT_EQ(p.GetLevelSteps(0, 0, false), 17);
}

}  // namespace
