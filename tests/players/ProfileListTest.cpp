// The profile list and the INFO file: numbering, create, rename, delete,
// and every way a missing or damaged INFO file could lose a player.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <sstream>

#include "engine/Log.h"
#include "platform/Platform.h"
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
    // The deleted player's file goes with him: no rebuild of the list can
    // bring him back.
    EXPECT_FALSE(Exists(ProfilePath(0)));
    EXPECT_EQ(U32At(ReadFileBytes(InfoPath()), 30), 2u);
    ASSERT_EQ(remove(InfoPath().c_str()), 0);
    CProfile rebuilt;
    EXPECT_EQ(rebuilt.GetProfileCount(), 2);
    EXPECT_EQ(rebuilt.GetProfileNumber("PLAYER 1"), -1);
    // A file whose link leads nowhere now is a player's, listed or not.
    ASSERT_EQ(symlink((Dir() + "drive away/file").c_str(), ProfilePath(3).c_str()), 0);
    ASSERT_TRUE(rebuilt.CreateProfile("Fourth"));
    EXPECT_EQ(rebuilt.GetProfileNumber("Fourth"), 4);
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
    const std::vector<uint8_t> player = ReadFileBytes(ProfilePath(0));
    // Far beyond, one beyond and one below the two entries held.
    for (uint32_t count : {1000u, 3u, 1u}) {
        SCOPED_TRACE(count);
        remove((InfoPath() + ".damaged").c_str());
        ASSERT_TRUE(WriteFileBytes(ProfilePath(4), player));
        WriteFileBytes(InfoPath(), MakeInfo(4, 4, {{0, "PLAYER 1"}, {4, "Four"}}, count));
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
}

TEST_F(ProfileListTest, DuplicateEntriesAreDroppedAndTheCountMatchesTheEntriesWritten) {
    { CProfile p; }
    WriteFileBytes(ProfilePath(3), ReadFileBytes(ProfilePath(0)));
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

TEST_F(ProfileListTest, AnUnterminatedNameIsDamageAndAFullPasswordIsNot) {
    { CProfile p; }
    std::vector<uint8_t> info = MakeInfo(0, 0, {{0, "x"}}, 1);
    memset(&info[38], 'N', 32);   // name and score-board name without any zero
    memset(&info[16], 'P', 10);   // a password of all ten bytes
    WriteFileBytes(InfoPath(), info);
    CProfile p;
    EXPECT_STREQ(p.GetProfileName(), "PLAYER 1");  // the player is back from his file
    EXPECT_STREQ(p.GetScoreboardName(), "");
    EXPECT_EQ(std::string(p.GetPassword()), std::string(10, 'P'));
    EXPECT_TRUE(p.TakeDamageNotice(nullptr));
}

TEST_F(ProfileListTest, OtherVersionIsReadAsNoListAndIsKeptAside) {
    { CProfile p; ASSERT_TRUE(p.CreateProfile("Old")); }
    std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    PutI32(&info, 0, 2);
    WriteFileBytes(InfoPath(), info);
    CProfile p;
    // Nothing of it is read: both players come back from their files.
    EXPECT_EQ(p.GetProfileCount(), 2);
    EXPECT_EQ(p.GetProfileNumber("PLAYER 2"), 1);
    EXPECT_STREQ(p.GetProfileName(), "PLAYER 1");
    EXPECT_EQ(ReadFileBytes(InfoPath() + ".damaged"), info);
    EXPECT_FALSE(Exists(ProfilePath(2)));
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
        {"count below the entries", MakeInfo(4, 4, {{0, "PLAYER 1"}, {4, "Four"}}, 1), true},
        {"an entry without its file", MakeInfo(4, 4, {{0, "PLAYER 1"}, {4, "Four"}}, 2), true},
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
        EXPECT_EQ(notice.kind, DamageKind::LIST_DAMAGED);
        EXPECT_EQ(notice.keptAs, InfoPath() + ".damaged");
        EXPECT_EQ(ReadFileBytes(notice.keptAs), c.info);
    }
}

TEST_F(ProfileListTest, EmptyListCreatesPlayerOneOnlyWhenNoProfileFileIsOnDisk) {
    { CProfile p; }
    WriteFileBytes(InfoPath(), MakeInfo(0, 0, {}, 0));
    {
        CProfile p;
        EXPECT_EQ(p.GetProfileCount(), 1);
        EXPECT_EQ(p.GetCurrentProfile(), 0);
        EXPECT_TRUE(p.TakeDamageNotice(nullptr));
    }
    EXPECT_FALSE(Exists(ProfilePath(1)));
    ASSERT_EQ(remove(ProfilePath(0).c_str()), 0);
    WriteFileBytes(InfoPath(), MakeInfo(0, 0, {}, 0));
    CProfile p;
    EXPECT_EQ(p.GetProfileCount(), 1);
    EXPECT_STREQ(p.GetProfileName(), "PLAYER 1");
    EXPECT_EQ(p.GetCurrentProfile(), 1);  // numbers are not handed out twice
    EXPECT_TRUE(Exists(ProfilePath(1)));
}

// Every PROFILE file of the profile folder with its bytes.
std::map<std::string, std::vector<uint8_t>> ProfileFiles(const std::string& dir) {
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> names;
    GetFiles(names, dir.c_str(), ".DAT", false);
    for (const std::string& name : names)
        if (name.rfind("PROFILE", 0) == 0) files[name] = ReadFileBytes(dir + name + ".DAT");
    return files;
}

TEST_F(ProfileListTest, ADamagedOrMissingListBringsBackEveryPlayerWhoseFileIsOnDisk) {
    struct Player {
        const char* name;
        int set, solved, steps;  // the first levels of one set solved
        int sound, music, speed;
        bool fullscreen;
    };
    // The first player has taken the name the third one's file gives: coming
    // back without his name, the third one gets the next free one.
    const Player players[] = {
        {"PLAYER 3", 0, 3, 21, 3, 9, 2, false},
        {"Ann", 1, 5, 37, 11, 0, 6, true},
        {"Bob", 2, 2, 48, 7, 4, 10, false},
    };
    {
        CProfile p;
        for (int i = 0; i < 3; ++i) {
            const Player& pl = players[i];
            ASSERT_TRUE(i == 0 ? p.RenameProfile("PLAYER 1", pl.name) : p.CreateProfile(pl.name));
            for (int level = 0; level < pl.solved; ++level) p.SetLevelSteps(pl.steps + level, pl.set, level);
            p.SetSoundVolume(pl.sound);
            p.SetMusicVolume(pl.music);
            p.SetGameSpeed(pl.speed);
            p.SetFullscreen(pl.fullscreen);
            ASSERT_TRUE(p.Save());
        }
        ASSERT_TRUE(p.SetScoreboardName("bob_online"));
    }
    const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    ASSERT_EQ(info.size(), 34u + 36u * 3);
    ASSERT_EQ(I32At(info, 26), 2);  // Bob is current
    const auto files = ProfileFiles(Dir());
    ASSERT_EQ(files.size(), 3u);

    const std::vector<std::string> byFile = {"PLAYER 1", "PLAYER 2", "PLAYER 3"};
    const std::vector<std::string> firstKept = {"PLAYER 3", "PLAYER 2", "PLAYER 4"};
    enum Spoil { CUT, JUNK, MISSING, FLIP };
    struct Case {
        const char* what;
        Spoil spoil;
        size_t at;
        std::vector<std::string> names;  // by number
        int current;
    };
    const Case cases[] = {
        {"cut inside the header, behind the current player", CUT, 30, byFile, 2},
        {"cut inside the password", CUT, 20, byFile, 0},
        {"cut after the count", CUT, 34, byFile, 2},
        {"cut in the middle of an entry", CUT, 34 + 36 + 10, firstKept, 2},
        {"junk from the version on", JUNK, 0, byFile, 0},
        {"junk from the password on", JUNK, 20, byFile, 0},
        {"junk from the count on", JUNK, 30, byFile, 2},
        {"junk after the count", JUNK, 34, byFile, 2},
        {"junk from the middle of an entry", JUNK, 34 + 36 + 10, firstKept, 2},
        {"no list at all", MISSING, 0, byFile, 0},
        // One bit of Ann's number flipped: her entry names a file that is not
        // there, and her own file is named by none.
        {"a bit of a number flipped", FLIP, 34 + 36, {"PLAYER 3", "PLAYER 2", "Bob"}, 2},
        {"cut inside the last score-board name", CUT, 34 + 36 * 2 + 20 + 6, {"PLAYER 3", "Ann", "Bob"}, 2},
    };
    uint32_t seed = 12345;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& file : files) ASSERT_TRUE(WriteFileBytes(Dir() + file.first + ".DAT", file.second));
        remove((InfoPath() + ".damaged").c_str());
        std::vector<uint8_t> spoiled(info.begin(), info.begin() + (c.spoil == FLIP ? info.size() : c.at));
        if (c.spoil == FLIP) spoiled[c.at] ^= 4;
        if (c.spoil == JUNK) {
            while (spoiled.size() < info.size()) {
                seed = seed * 1103515245u + 12345u;
                spoiled.push_back(static_cast<uint8_t>(seed >> 16));
            }
        }
        if (c.spoil == MISSING)
            remove(InfoPath().c_str());
        else
            ASSERT_TRUE(WriteFileBytes(InfoPath(), spoiled));
        {
            CProfile p;
            // Nothing of the players' files is written before anyone plays.
            EXPECT_TRUE(ProfileFiles(Dir()) == files);
            ASSERT_EQ(p.GetProfileCount(), 3);
            for (int n = 0; n < 3; ++n) EXPECT_EQ(p.GetProfileNumber(c.names[n].c_str()), n) << c.names[n];
            EXPECT_EQ(p.GetCurrentProfile(), c.current);
            DamageNotice notice;
            ASSERT_TRUE(p.TakeDamageNotice(&notice));
            EXPECT_EQ(notice.kind, c.spoil == MISSING ? DamageKind::LIST_MISSING : DamageKind::LIST_DAMAGED);
            EXPECT_EQ(ReadFileBytes(notice.keptAs), c.spoil == MISSING ? std::vector<uint8_t>() : spoiled);
            // Each one with his own progress and options.
            for (int n = 0; n < 3; ++n) {
                const Player& pl = players[n];
                SCOPED_TRACE(pl.name);
                ASSERT_TRUE(p.LoadProfile(c.names[n].c_str()));
                for (int level = 0; level < pl.solved; ++level)
                    EXPECT_EQ(p.GetLevelSteps(pl.set, level, false), pl.steps + level);
                EXPECT_EQ(p.GetSoundVolume(), pl.sound);
                EXPECT_EQ(p.GetMusicVolume(), pl.music);
                EXPECT_EQ(p.GetGameSpeed(), pl.speed);
                EXPECT_EQ(p.IsFullscreen() != 0, pl.fullscreen);
            }
        }
        // The rebuilt list is written, and read whole at the next start.
        CProfile again;
        EXPECT_FALSE(again.TakeDamageNotice(nullptr));
        for (int n = 0; n < 3; ++n) EXPECT_EQ(again.GetProfileNumber(c.names[n].c_str()), n);
        CProfileBase::ClearCheaterFlags(0xFFFFFFFFu);
    }
}

// Every number of the list and of the players' files at its bound, the last
// one inside and the first one past: what the reader takes, and what the
// game hands out next.
TEST_F(ProfileListTest, NumbersAreReadUpToTheirBoundsAndNoneIsHandedOutPastThem) {
    constexpr int32_t kMax = CProfileBase::kMaxProfileNumber;
    { CProfile p; }
    const std::vector<uint8_t> player = ReadFileBytes(ProfilePath(0));
    const auto clear = [&] {
        for (const auto& file : ProfileFiles(Dir())) remove((Dir() + file.first + ".DAT").c_str());
        remove(InfoPath().c_str());
        remove((InfoPath() + ".damaged").c_str());
    };
    const auto everyNumberReadable = [](const CProfile& p) {
        for (int i = 0; i < p.GetProfileCount(); ++i) {
            const int n = p.GetProfileNumber(p.GetProfileNameAt(i));
            if (n < 0 || n > kMax) return false;
        }
        return true;
    };
    // A player's number, in a list entry or only in his file's name.
    for (const bool listed : {true, false}) {
        for (const int32_t number : {-1, 0, kMax, kMax + 1}) {
            SCOPED_TRACE(std::string(listed ? "listed " : "file only ") + std::to_string(number));
            clear();
            ASSERT_TRUE(WriteFileBytes(ProfilePath(number), player));
            if (listed) {
                ASSERT_TRUE(WriteFileBytes(InfoPath(), MakeInfo(-1, number, {{number, "Edge"}}, 1)));
            }
            CProfile p;
            EXPECT_TRUE(everyNumberReadable(p));
            const bool kept = number >= 0 && number <= kMax;
            const std::string name = listed ? "Edge" : "PLAYER " + std::to_string(number + 1);
            EXPECT_EQ(p.GetProfileNumber(name.c_str()), kept ? number : -1);
            EXPECT_EQ(p.GetProfileCount(), 1);
            // Told when the list lost its entry, or when it was missing and a
            // player came back from his file.
            EXPECT_EQ(p.TakeDamageNotice(nullptr), listed != kept);
        }
    }
    // The last number handed out, as the list keeps it.
    for (const int32_t last : {-2, -1, kMax, kMax + 1}) {
        SCOPED_TRACE("last " + std::to_string(last));
        clear();
        ASSERT_TRUE(WriteFileBytes(ProfilePath(0), player));
        ASSERT_TRUE(WriteFileBytes(InfoPath(), MakeInfo(last, 0, {{0, "PLAYER 1"}}, 1)));
        CProfile p;
        EXPECT_EQ(p.TakeDamageNotice(nullptr), last < -1 || last > kMax);
        ASSERT_TRUE(p.CreateProfile("Next"));
        EXPECT_EQ(p.GetProfileNumber("Next"), 1);
    }
    // Up to the highest number a file can have; past it the lowest free one
    // comes back into use. Every player is read back at the next start.
    clear();
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), player));
    ASSERT_TRUE(WriteFileBytes(InfoPath(), MakeInfo(kMax - 1, 0, {{0, "PLAYER 1"}}, 1)));
    {
        CProfile p;
        ASSERT_TRUE(p.CreateProfile("Top"));
        EXPECT_EQ(p.GetProfileNumber("Top"), kMax);
        ASSERT_TRUE(p.CreateProfile("Reused"));
        EXPECT_EQ(p.GetProfileNumber("Reused"), 1);
        ASSERT_TRUE(p.DeleteProfile("PLAYER 1"));
        ASSERT_TRUE(p.CreateProfile("Lowest"));
        EXPECT_EQ(p.GetProfileNumber("Lowest"), 0);
    }
    CProfile again;
    EXPECT_FALSE(again.TakeDamageNotice(nullptr));
    EXPECT_EQ(again.GetProfileCount(), 3);
    EXPECT_EQ(again.GetProfileNumber("Top"), kMax);
    EXPECT_EQ(again.GetProfileNumber("Reused"), 1);
    EXPECT_EQ(again.GetProfileNumber("Lowest"), 0);
}

// A player whose file is there but cannot be reached now (a link to a file
// on a drive not mounted yet, a link that goes round) keeps her entry: the
// list is not damaged, nothing is saved over her file, she cannot be loaded
// and is told of, and another player is current (a new one when she was
// the only one). Once her file is back, so is she, with her progress. With
// the list missing too, the rebuild lists her from her link. With the whole
// data folder on the drive, away at start, nothing of hers is known: the
// session plays with a player of its own and writes nothing there, even
// once the drive is back.
TEST_F(ProfileListTest, APlayerWhoseFileCannotBeReachedNowStaysAndIsBackWithHerFile) {
    enum Row { LINK_TO_A_DRIVE_AWAY, LINK_GOING_ROUND, ONLY_PLAYER, LIST_MISSING_TOO, DATA_FOLDER_AWAY };
    for (const Row row : {LINK_TO_A_DRIVE_AWAY, LINK_GOING_ROUND, ONLY_PLAYER, LIST_MISSING_TOO, DATA_FOLDER_AWAY}) {
        SCOPED_TRACE(row);
        CTestDrive drive;
        int ann = -1;
        {
            CProfile p;
            if (row == ONLY_PLAYER) ASSERT_TRUE(p.RenameProfile("PLAYER 1", "Ann"));
            else ASSERT_TRUE(p.CreateProfile("Ann"));
            ann = p.GetCurrentProfile();
            p.SetLevelSteps(23, 0, 0);
            ASSERT_TRUE(p.WriteInfo());
        }
        const std::string file = ProfilePath(ann), onDrive = drive.File("PROFILEv3.DAT");
        const std::vector<uint8_t> progress = ReadFileBytes(file);
        if (row == DATA_FOLDER_AWAY) {
            const std::string folder = Dir().substr(0, Dir().size() - 1), info = ReadFileText(InfoPath());
            ASSERT_EQ(rename(folder.c_str(), drive.File("ZORV Data").c_str()), 0);
            ASSERT_EQ(symlink(drive.File("ZORV Data").c_str(), folder.c_str()), 0);
            const std::vector<std::string> entries = FolderEntries(folder);
            drive.Unmount();
            NoteProfileDirAway(ENOENT);  // as the start-up finds it
            {
                CProfile p;
                DamageNotice notice;
                ASSERT_TRUE(p.TakeDamageNotice(&notice));
                EXPECT_EQ(notice.kind, DamageKind::FOLDER_AWAY);
                EXPECT_EQ(notice.file, drive.File("ZORV Data"));
                EXPECT_FALSE(p.TakeSaveFailureNotice());  // the notice says it
                drive.Mount();
                EXPECT_FALSE(p.CreateProfile("Newcomer"));
                EXPECT_FALSE(p.WriteInfo());
                EXPECT_EQ(p.GetSaveFailure().problem, SaveProblem::FOLDER_AWAY);
            }
            EXPECT_EQ(ReadFileBytes(file), progress);
            EXPECT_EQ(ReadFileText(InfoPath()), info);
            EXPECT_EQ(FolderEntries(folder), entries);
            ResetDirectories();
            InitDirectories();
            continue;
        }
        ASSERT_EQ(rename(file.c_str(), onDrive.c_str()), 0);
        if (row == LINK_GOING_ROUND) {
            LinkGoingRound(file);
        } else {
            ASSERT_EQ(symlink(onDrive.c_str(), file.c_str()), 0);
            drive.Unmount();
        }
        if (row == LIST_MISSING_TOO) {
            ASSERT_EQ(remove(InfoPath().c_str()), 0);
        }
        const std::string name = row == LIST_MISSING_TOO ? "PLAYER " + std::to_string(ann + 1) : "Ann";
        {
            CProfile p;
            EXPECT_EQ(p.GetProfileNumber(name.c_str()), ann);
            EXPECT_NE(p.GetCurrentProfile(), ann);
            EXPECT_EQ(p.GetProfileCount(), 2);
            // Told when she was to be the current player (a rebuilt list
            // starts with the first name).
            DamageNotice notice;
            if (row == LIST_MISSING_TOO) {
                ASSERT_TRUE(p.TakeDamageNotice(&notice));
                EXPECT_EQ(notice.kind, DamageKind::LIST_MISSING);
            } else {
                ASSERT_TRUE(p.TakeDamageNotice(&notice));
                EXPECT_EQ(notice.kind, DamageKind::UNREACHABLE);
                EXPECT_EQ(notice.player, name);
                EXPECT_EQ(notice.file, row == LINK_GOING_ROUND ? file : onDrive);
                EXPECT_EQ(notice.why, strerror(row == LINK_GOING_ROUND ? ELOOP : ENOENT));
            }
            EXPECT_FALSE(p.TakeDamageNotice(&notice));
            EXPECT_FALSE(Exists(InfoPath() + ".damaged"));
            // Chosen again while away: refused, nothing changes.
            const int current = p.GetCurrentProfile();
            p.SetLevelSteps(5, 1, 0);
            EXPECT_FALSE(p.LoadProfile(name.c_str()));
            EXPECT_EQ(p.GetLoadRefusal(), LoadRefusal::UNREACHABLE);
            EXPECT_EQ(p.GetUnreachable().player, name);
            EXPECT_EQ(p.GetCurrentProfile(), current);
            EXPECT_EQ(p.GetLevelSteps(1, 0, false), 5);
            // No one new takes her number.
            ASSERT_TRUE(p.CreateProfile("Newcomer"));
            EXPECT_GT(p.GetProfileNumber("Newcomer"), ann);
            ASSERT_TRUE(p.WriteInfo());
        }
        EXPECT_TRUE(IsLink(file));
        // Her file back where her link leads.
        if (row == LINK_GOING_ROUND)
            LinkAgain(file, onDrive);
        else
            drive.Mount();
        EXPECT_EQ(ReadFileBytes(onDrive), progress);
        {
            CProfile p;
            EXPECT_FALSE(p.TakeDamageNotice(nullptr));
            ASSERT_TRUE(p.LoadProfile(name.c_str()));
            EXPECT_EQ(p.GetLevelSteps(0, 0, false), 23);
        }
        for (const auto& f : ProfileFiles(Dir())) remove((Dir() + f.first + ".DAT").c_str());
        remove(InfoPath().c_str());
        remove((InfoPath() + ".damaged").c_str());
    }
}

// The list on a drive through a link, and the drive away (unmounted, its
// mount point left empty; or the link going round): at start the list is
// neither kept aside as damaged nor written over, the players come back
// from their files for this session, and the menu is told. A change only
// the list holds cannot be saved while it is away, and is told; once it is
// back, the next save reads it again and adds what changed meanwhile (a new
// player, a new name, the password). A session that ends first leaves the
// list as it was, and the next start lists the new player by her file.
// A drive that goes away while the game runs keeps the list as it was,
// and the first save after it is back writes the change.
TEST_F(ProfileListTest, AListThatCannotBeReachedNowIsLeftAsItIsAndIsBackWithItsFile) {
    enum Row { AWAY_AT_START, GOING_ROUND_AT_START, AWAY_WHILE_PLAYING, AWAY_TILL_THE_END };
    for (const Row row : {AWAY_AT_START, GOING_ROUND_AT_START, AWAY_WHILE_PLAYING, AWAY_TILL_THE_END}) {
        SCOPED_TRACE(row);
        {
            CProfile p;
            ASSERT_TRUE(p.RenameProfile("PLAYER 1", "Ann"));
            ASSERT_TRUE(p.CreateProfile("Bob"));
            p.SetLevelSteps(19, 0, 0);
            ASSERT_TRUE(p.SetScoreboardName("bob_online"));
        }
        CTestDrive drive;
        const std::string link = InfoPath(), onDrive = drive.File("INFOv3.DAT");
        ASSERT_EQ(rename(link.c_str(), onDrive.c_str()), 0);
        const std::vector<uint8_t> list = ReadFileBytes(onDrive);
        if (row == GOING_ROUND_AT_START) {
            LinkGoingRound(link);
        } else {
            ASSERT_EQ(symlink(onDrive.c_str(), link.c_str()), 0);
        }
        if (row != AWAY_WHILE_PLAYING && row != GOING_ROUND_AT_START) drive.Unmount();
        {
            CProfile p;
            DamageNotice notice;
            if (row == AWAY_WHILE_PLAYING) {
                EXPECT_FALSE(p.TakeDamageNotice(&notice));
                drive.Unmount();
            } else {
                // Both players, named after their files.
                EXPECT_EQ(p.GetProfileCount(), 2);
                EXPECT_EQ(p.GetProfileNumber("PLAYER 2"), 1);
                ASSERT_TRUE(p.TakeDamageNotice(&notice));
                EXPECT_EQ(notice.kind, DamageKind::LIST_AWAY);
                EXPECT_EQ(notice.file, row == GOING_ROUND_AT_START ? link : onDrive);
                EXPECT_EQ(notice.why, strerror(row == GOING_ROUND_AT_START ? ELOOP : ENOENT));
                EXPECT_FALSE(p.TakeDamageNotice(&notice));
                ASSERT_TRUE(p.LoadProfile("PLAYER 2"));
                EXPECT_EQ(p.GetLevelSteps(0, 0, false), 19);
            }
            // Play saves as ever; a change to the list does not.
            p.SetLevelSteps(7, 1, 0);
            EXPECT_TRUE(p.Save());
            EXPECT_TRUE(p.WriteInfo());
            const std::string bob = row == AWAY_WHILE_PLAYING ? "Bob" : "PLAYER 2";
            EXPECT_FALSE(p.RenameProfile(bob.c_str(), "Robert"));
            EXPECT_EQ(p.GetSaveFailure().problem, SaveProblem::UNREACHABLE);
            EXPECT_EQ(p.GetSaveFailure().file, row == GOING_ROUND_AT_START ? link : onDrive);
            EXPECT_TRUE(p.GetSaveFailure().list);  // told as the list's, not a player's progress
            EXPECT_TRUE(p.TakeSaveFailureNotice());
            EXPECT_FALSE(p.CreateProfile("Anna"));
            EXPECT_FALSE(p.SetPassword("pw"));
            EXPECT_FALSE(Exists(link + ".damaged"));
            EXPECT_TRUE(IsLink(link));
            if (row == GOING_ROUND_AT_START)
                LinkAgain(link, onDrive);
            else if (row != AWAY_TILL_THE_END)
                drive.Mount();
            // Read again, with what changed meanwhile: saved.
            EXPECT_EQ(p.WriteInfo(), row != AWAY_TILL_THE_END);
        }
        if (row == AWAY_TILL_THE_END) drive.Mount();
        EXPECT_EQ(ReadFileBytes(onDrive) == list, row == AWAY_TILL_THE_END);
        {
            CProfile again;
            EXPECT_FALSE(again.TakeDamageNotice(nullptr));
            const bool changed = row != AWAY_TILL_THE_END;
            EXPECT_EQ(again.GetProfileNumber("Ann"), 0);
            EXPECT_EQ(again.GetProfileNumber(changed ? "Robert" : "Bob"), 1);
            EXPECT_EQ(again.GetProfileNumber(changed ? "Anna" : "PLAYER 3"), 2);
            EXPECT_EQ(again.HasPassword(), changed);
            EXPECT_STREQ(again.GetScoreboardName(1), "bob_online");
            ASSERT_TRUE(again.LoadProfile(changed ? "Robert" : "Bob"));
            EXPECT_EQ(again.GetLevelSteps(1, 0, false), 7);
        }
        for (const auto& f : ProfileFiles(Dir())) remove((Dir() + f.first + ".DAT").c_str());
        remove(link.c_str());
    }
    // Every kind of change made while the list is away, mixes of them, and
    // random ones, as the list is back: what is saved (number:name/board, a
    // "!" after one without a file, the files no entry names), what the
    // player was told, the password. A script: "+name" a new player (3 and
    // on), "n=name" a new name, "-n" a deletion, "n@name" a score-board name,
    // "*text" the password, "|" the drive back (else at the end's save), and
    // "n!name" a game on a data folder sharing the list lists its player n.
    std::vector<std::pair<std::string, std::string>> rows = {
        {"-2 | 1=Robert", "0:Ann/ann_b 1:Robert pw="},
        {"+Dee 1=Robert -2 *pw | 3=Deb", "0:Ann/ann_b 1:Robert 3:Deb pw=pw"},
        {"+Dee 3@dee_b -0 1@bob_b |", "1:Bob/bob_b 2:Cy 3:Dee/dee_b pw="},
        {"+Dee -3 +Eve 4=Eva 0=Anna |", "0:Anna/ann_b 1:Bob 2:Cy 4:Eva pw="},
        {"-0 -1 -2", "3:PLAYER 1 pw="},
        {"+Dee 3@dee_b | 3!Eve", "0:Ann/ann_b 1:Bob 2:Cy 3:Eve! 4:Dee/dee_b told:Dee@PROFILE5v3.DAT,current pw="},
    };
    std::mt19937 random(7);
    for (int run = 0; run < 30; ++run) {
        std::map<int, std::string> names = {{0, "Ann"}, {1, "Bob"}, {2, "Cy"}}, boards = {{0, "/ann_b"}};
        std::string script, password, saved;
        for (int step = 0, next = 3, op; step < 8; ++step) {
            const auto it = std::next(names.begin(), static_cast<long>(random() % names.size()));
            const std::string n = std::to_string(it->first), name = "R" + std::to_string(step);
            if ((op = random() % 6) == 0) script += " +" + name, names[next++] = name;
            if (op == 1) script += " " + n + "=" + name, it->second = name;
            if (op == 2) script += " " + n + "@b" + name, boards[it->first] = "/b" + name;
            if (op == 3) script += " *" + name, password = name;
            if (op == 4 && script.find('|') == std::string::npos) script += " |";
            if (op == 5 && names.size() > 1) script += " -" + n, boards.erase(it->first), names.erase(it);
        }
        for (const auto& [n, name] : names) saved += std::to_string(n) + ":" + name + boards[n] + " ";
        rows.push_back({script, saved + "pw=" + password});
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(row.first);
        {
            CProfile p;
            ASSERT_TRUE(p.RenameProfile("PLAYER 1", "Ann") && p.SetScoreboardName("ann_b"));
            ASSERT_TRUE(p.CreateProfile("Bob") && p.CreateProfile("Cy"));
        }
        CTestDrive drive;
        const std::string link = InfoPath(), onDrive = drive.File("INFOv3.DAT");
        ASSERT_TRUE(rename(link.c_str(), onDrive.c_str()) == 0 && symlink(onDrive.c_str(), link.c_str()) == 0);
        drive.Unmount();
        std::string saved, told;
        {
            CProfile p;
            while (p.TakeDamageNotice(nullptr)) {
            }
            std::istringstream script(row.first + " |");
            for (std::string op; script >> op;) {
                const size_t at = op.find_first_of("+=-@*|!");
                const int n = at ? std::stoi(op.substr(0, at)) : 0;
                const std::string arg = op.substr(at + 1), name = at ? p.GetProfileName(n) : "";
                if (op[at] == '+') p.CreateProfile(arg.c_str());
                if (op[at] == '=') p.RenameProfile(name.c_str(), arg.c_str());
                if (op[at] == '-') p.DeleteProfile(p.GetProfileName(std::stoi(arg)));
                if (op[at] == '@') p.LoadProfile(name.c_str()), p.SetScoreboardName(arg.c_str());
                if (op[at] == '*') p.SetPassword(arg.c_str());
                if (op[at] == '|' && !Exists(onDrive)) drive.Mount();
                if (op[at] != '!') continue;
                std::vector<uint8_t> list = ReadFileBytes(onDrive), entry = MakeInfo(n, n, {{n, arg}}, 1);
                list.insert(list.end(), entry.begin() + 34, entry.end());
                PutI32(&list, 30, I32At(list, 30) + 1);
                ASSERT_TRUE(WriteFileBytes(onDrive, list));
            }
            EXPECT_TRUE(p.WriteInfo());
            for (DamageNotice notice; p.TakeDamageNotice(&notice);)
                told += "told:" + notice.player + "@" + notice.file.substr(Dir().size()) +
                        (notice.player == p.GetProfileName() ? ",current " : " ");
        }
        const std::vector<uint8_t> list = ReadFileBytes(onDrive);
        auto files = ProfileFiles(Dir());
        for (uint32_t i = 0; i < U32At(list, 30); ++i) {
            const int32_t n = I32At(list, 34 + 36 * i);
            const std::string board = TextAt(list, 54 + 36 * i, 16);
            saved += std::to_string(n) + ":" + TextAt(list, 38 + 36 * i, 16) + (board.empty() ? "" : "/" + board) +
                     (files.erase("PROFILE" + std::to_string(n + 1) + "v3") ? " " : "! ");
        }
        for (const auto& file : files) saved += "file:" + file.first + " ";
        EXPECT_EQ(saved + told + "pw=" + TextAt(list, 16, 10), row.second);
        for (const auto& f : ProfileFiles(Dir())) remove((Dir() + f.first + ".DAT").c_str());
        remove(link.c_str());
    }
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

// A data folder that is no longer the one the game locked (deleted, and
// another made at its path, perhaps by a second copy of the game) gets
// nothing of ours: every save fails as on a read-only folder and is told,
// and nothing is written there, not even a log line. Nor does one whose
// path leads nowhere now (on a drive unplugged during play): that is told
// as a file away, where the link leads. The locked folder back at its path
// takes the saves again.
TEST_F(ProfileListTest, NothingIsWrittenIntoAFolderPutInPlaceOfTheOneLocked) {
    enum Row { REPLACED, DRIVE_UNPLUGGED };
    for (const Row row : {REPLACED, DRIVE_UNPLUGGED}) {
        SCOPED_TRACE(row);
        CTestDrive drive;
        const std::string dir = GetProfileDir();
        const std::string folder = dir.substr(0, dir.size() - 1), onDrive = drive.File("ZORV Data");
        for (const std::string& name : FolderEntries(folder)) ASSERT_EQ(remove((dir + name).c_str()), 0);
        if (row == DRIVE_UNPLUGGED) {
            ASSERT_EQ(rename(folder.c_str(), onDrive.c_str()), 0);
            ASSERT_EQ(symlink(onDrive.c_str(), folder.c_str()), 0);
        }
        CProfile p;
        ASSERT_TRUE(p.CreateProfile("Other"));
        PlatformFileId id;
        ASSERT_TRUE(PlatformIdentify(folder, &id));
        NoteClaimedProfileDir(id.device, id.inode);
        ASSERT_TRUE(p.WriteInfo());
        const std::string locked = folder + " (locked)";
        if (row == REPLACED) {
            ASSERT_EQ(rename(folder.c_str(), locked.c_str()), 0);
            ASSERT_TRUE(PlatformMakeDir(folder));
        } else {
            drive.Unmount();
        }
        p.SetLevelSteps(17, 0, 0);
        EXPECT_FALSE(p.Save());
        const SaveFailure failure = p.GetSaveFailure();
        EXPECT_EQ(failure.problem, row == REPLACED ? SaveProblem::FOLDER_NOT_OURS : SaveProblem::UNREACHABLE);
        if (row == DRIVE_UNPLUGGED) {
            EXPECT_EQ(failure.file + strerror(failure.error), onDrive + "/PROFILE2v3.DAT" + strerror(ENOENT));
        }
        EXPECT_FALSE(p.WriteInfo());
        EXPECT_FALSE(p.CreateProfile("Third"));
        ErrorLog(false, "A line for the log\n");
        EXPECT_TRUE(FolderEntries(row == REPLACED ? folder : drive.Path()).empty());
        EXPECT_TRUE(p.TakeSaveFailureNotice());
        if (row == REPLACED) {
            ASSERT_EQ(rmdir(folder.c_str()), 0);
            ASSERT_EQ(rename(locked.c_str(), folder.c_str()), 0);
        } else {
            drive.Mount();
        }
        ASSERT_TRUE(p.WriteInfo());
        CProfile again;
        EXPECT_EQ(again.GetLevelSteps(0, 0, false), 17);
        EXPECT_EQ(again.GetProfileNumber("Third"), -1);
        if (row == DRIVE_UNPLUGGED) {
            ASSERT_EQ(remove(folder.c_str()), 0);
            ASSERT_EQ(rename(onDrive.c_str(), folder.c_str()), 0);
        }
    }
}

}  // namespace
