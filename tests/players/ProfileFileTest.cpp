// Profile and INFO files: exact layout at known offsets, full round trips,
// the masked-copy repair, and saves that fail without harming the old file.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <limits>

#include "engine/CAtomicFile.h"
#include "engine/CByteReader.h"
#include "players/CProfile.h"
#include "tests/players/ProfileTestHelpers.h"

namespace {

constexpr size_t kOpt = CProfileBase::kOptionsBlockSize;
constexpr size_t kEmptyProfileSize = kOpt + CProfile::kBodyRecords + 3 + 10;

using ProfileFileTest = ProfileFilesFixture;

TEST_F(ProfileFileTest, FreshStartWritesPlayerOneAndBothFiles) {
    { CProfile profile; }
    const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    ASSERT_EQ(info.size(), 34u + 36u);
    EXPECT_EQ(U32At(info, 0), 3u);
    EXPECT_EQ(U32At(info, 4), 3600u);
    EXPECT_EQ(I32At(info, 8), 0);
    EXPECT_EQ(U32At(info, 12), 0u);
    EXPECT_EQ(TextAt(info, 16, 10), "");
    EXPECT_EQ(I32At(info, 26), 0);
    EXPECT_EQ(U32At(info, 30), 1u);
    EXPECT_EQ(I32At(info, 34), 0);
    EXPECT_EQ(TextAt(info, 38, 16), "PLAYER 1");
    EXPECT_EQ(TextAt(info, 54, 16), "");

    const std::vector<uint8_t> file = ReadFileBytes(ProfilePath(0));
    ASSERT_EQ(file.size(), kEmptyProfileSize);
    EXPECT_EQ(TextAt(file, 0, 256), kTestUrl);
    EXPECT_EQ(file[256], 0);
    EXPECT_EQ(I32At(file, 257), 6);
    EXPECT_EQ(I32At(file, 261), 6);
    EXPECT_EQ(I32At(file, 265), 6);
    EXPECT_EQ(file[269], 1);
    EXPECT_EQ(file[270], 1);
    EXPECT_EQ(file[271], 1);
    EXPECT_FLOAT_EQ(F32At(file, 272), 1.0f);
    const int32_t defaults[16] = {114, 117, 276, 275, 273, 274, 102, 49, 50, 51, 52, 53, 54, 55, 56, 57};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(I32At(file, kOpt + 4 * i), defaults[i]) << i;
    // Read at shutdown after the load unlocked level 0 of set 0.
    EXPECT_EQ(I32At(file, kOpt + 64), 0);
    EXPECT_EQ(I32At(file, kOpt + 68), -1);
    const int32_t key = I32At(file, kOpt + CProfile::kBodyMaskKey);
    EXPECT_GE(key, 0);
    EXPECT_LT(key, 99999);
    EXPECT_EQ(I32At(file, kOpt + CProfile::kBodyMaskedSet0), 0 ^ key);
    EXPECT_EQ(I32At(file, kOpt + CProfile::kBodyMaskedSet0 + 4), -1 ^ key);
    EXPECT_EQ(I32At(file, kOpt + CProfile::kBodyMaskedSet2), -1 ^ key);
    EXPECT_EQ(U32At(file, kOpt + CProfile::kBodyRecordCount), 0u);
    EXPECT_EQ(file[kOpt + CProfile::kBodyRecords], 1);
    EXPECT_EQ(file[kOpt + CProfile::kBodyRecords + 1], 1);
    EXPECT_EQ(file[kOpt + CProfile::kBodyRecords + 2], 1);
}

TEST_F(ProfileFileTest, EveryFieldRoundTripsWithTheLayoutAtItsOffsets) {
    int32_t key = 0;
    {
        CProfile p;
        ASSERT_TRUE(p.CreateProfile("Ada"));
        ASSERT_EQ(p.GetCurrentProfile(), 1);
        p.SetSoundVolume(11);
        p.SetMusicVolume(2);
        p.SetGameSpeed(9);
        p.SetFullscreen(0);
        p.SetSystemPointer(0);
        p.SetMouseSpeed(1.7f);
        p.SetSpareFlag(0);
        for (int i = 0; i < 16; ++i) p.SetKeyBinding(i, 97 + i);
        p.SetStoryEnabled(0);
        p.SetStepCounterEnabled(0);
        p.SetTutorialLevelsEnabled(0);
        p.SetCurrentSet(1);
        p.SetLevelSteps(12, 1, 0);
        p.SetLevelSteps(34, 1, 1);
        p.SetLevelSteps(56, 1, 2);
        p.SetLevelSteps(0, 1, 3);
        p.SetCurrentLevel(3);
        p.SetLevelSteps(77, 0, 0);
        p.SetLevelSteps(88, 2, 80);
        p.SetSetCompleted(1, 2);
        ASSERT_TRUE(p.SetLevelRecordAll("beta.lvl", 1, 0, 40));
        ASSERT_TRUE(p.SetLevelRecordAll("Alpha.lvl", 1, 1, 17));
        ASSERT_TRUE(p.SetScoreboardName("ada_online"));
        ASSERT_TRUE(p.SetPassword("0123456789"));
        key = p.GetMaskKey();
        EXPECT_TRUE(p.WriteInfo());
    }

    const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    ASSERT_EQ(info.size(), 34u + 36u * 2);
    EXPECT_EQ(I32At(info, 8), 1);
    EXPECT_EQ(TextAt(info, 16, 10), "0123456789");
    EXPECT_EQ(I32At(info, 26), 1);
    EXPECT_EQ(U32At(info, 30), 2u);
    EXPECT_EQ(I32At(info, 34 + 36), 1);
    EXPECT_EQ(TextAt(info, 38 + 36, 16), "Ada");
    EXPECT_EQ(TextAt(info, 54 + 36, 16), "ada_online");

    const std::vector<uint8_t> file = ReadFileBytes(ProfilePath(1));
    EXPECT_EQ(I32At(file, 257), 11);
    EXPECT_EQ(I32At(file, 261), 2);
    EXPECT_EQ(I32At(file, 265), 9);
    EXPECT_EQ(file[269], 0);
    EXPECT_EQ(file[270], 0);
    EXPECT_EQ(file[271], 0);
    EXPECT_FLOAT_EQ(F32At(file, 272), 1.7f);
    EXPECT_EQ(I32At(file, kOpt + 0), 97);
    EXPECT_EQ(I32At(file, kOpt + 60), 112);
    EXPECT_EQ(I32At(file, kOpt + 64), 77);
    EXPECT_EQ(I32At(file, kOpt + 508 + 8), 56);
    EXPECT_EQ(I32At(file, kOpt + 708 + 80 * 4), 88);
    EXPECT_EQ(file[kOpt + 1032], 0);
    EXPECT_EQ(file[kOpt + 1034], 1);
    EXPECT_EQ(I32At(file, kOpt + 1035), key);
    EXPECT_EQ(I32At(file, kOpt + 1039 + 80 * 4), 88 ^ key);  // set 2 comes first among the masked
    EXPECT_EQ(I32At(file, kOpt + 1363 + 4), 34 ^ key);
    EXPECT_EQ(I32At(file, kOpt + 1563), 77 ^ key);
    EXPECT_EQ(I32At(file, kOpt + 2007), 1);
    EXPECT_EQ(I32At(file, kOpt + 2011), 3);
    ASSERT_EQ(U32At(file, kOpt + 2015), 2u);
    // Records in byte-wise name order: upper case first.
    size_t at = kOpt + 2019;
    ASSERT_EQ(U32At(file, at), 9u);
    EXPECT_EQ(std::string(file.begin() + at + 4, file.begin() + at + 13), "Alpha.lvl");
    EXPECT_EQ(file[at + 13], 1);
    EXPECT_EQ(file[at + 14], 1);
    EXPECT_EQ(I32At(file, at + 15), 17);
    at += 19;
    ASSERT_EQ(U32At(file, at), 8u);
    EXPECT_EQ(std::string(file.begin() + at + 4, file.begin() + at + 12), "beta.lvl");
    EXPECT_EQ(I32At(file, at + 14), 40);
    at += 18;
    ASSERT_EQ(file.size(), at + 3 + 10);
    EXPECT_EQ(file[at], 0);
    EXPECT_EQ(file[at + 1], 0);
    EXPECT_EQ(file[at + 2], 0);

    CProfile q;
    EXPECT_EQ(q.GetCurrentProfile(), 1);
    EXPECT_STREQ(q.GetProfileName(), "Ada");
    EXPECT_STREQ(q.GetScoreboardName(), "ada_online");
    EXPECT_STREQ(q.GetPassword(), "0123456789");
    EXPECT_EQ(q.GetSoundVolume(), 11);
    EXPECT_EQ(q.GetMusicVolume(), 2);
    EXPECT_EQ(q.GetGameSpeed(), 9);
    EXPECT_EQ(q.IsFullscreen(), 0);
    EXPECT_EQ(q.GetSystemPointer(), 0);
    EXPECT_FLOAT_EQ(q.GetMouseSpeed(), 1.7f);
    EXPECT_EQ(q.GetSpareFlag(), 0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(q.GetKeyBinding(i), 97 + i);
    EXPECT_EQ(q.IsStoryEnabled(), 0);
    EXPECT_EQ(q.IsStepCounterEnabled(), 0);
    EXPECT_EQ(q.IsTutorialLevelsEnabled(), 0);
    EXPECT_EQ(q.GetMaskKey(), key);
    EXPECT_EQ(q.GetCurrentSet(), 1);
    EXPECT_EQ(q.GetCurrentLevel(), 3);
    EXPECT_EQ(q.GetLevelSteps(1, 1, false), 34);
    EXPECT_EQ(q.GetLevelSteps(1, 1, true), 34);
    EXPECT_EQ(q.GetLevelSteps(0, 0, false), 77);
    EXPECT_EQ(q.GetLevelSteps(2, 80, false), 88);
    EXPECT_EQ(q.IsSetCompleted(2), 1);
    EXPECT_EQ(q.IsSetCompleted(0), 0);
    EXPECT_EQ(q.GetLevelRecord("Alpha.lvl").bestSteps, 17);
    EXPECT_EQ(q.GetLevelRecord("beta.lvl").completed, 0);
    EXPECT_EQ(q.GetLevelRecords().size(), 2u);
    EXPECT_EQ(CProfileBase::GetCheaterStatus(), 0u);
    q.SetSystemPointer(1);
}

TEST_F(ProfileFileTest, ReservedBytesAndHeaderWordAreCarriedThrough) {
    { CProfile p; }
    std::vector<uint8_t> file = ReadFileBytes(ProfilePath(0));
    for (size_t i = file.size() - 10; i < file.size(); ++i) file[i] = static_cast<uint8_t>(0xA0 + i % 7);
    const std::vector<uint8_t> reserved(file.end() - 10, file.end());
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
    std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    PutI32(&info, 4, 1234567);
    ASSERT_TRUE(WriteFileBytes(InfoPath(), info));
    { CProfile p; }
    const std::vector<uint8_t> again = ReadFileBytes(ProfilePath(0));
    EXPECT_EQ(std::vector<uint8_t>(again.end() - 10, again.end()), reserved);
    EXPECT_EQ(I32At(ReadFileBytes(InfoPath()), 4), 1234567);
}

TEST_F(ProfileFileTest, EditedPlainResultIsRepairedFromItsMaskedCopyAndFlagged) {
    {
        CProfile p;
        p.SetLevelSteps(25, 0, 0);
        ASSERT_TRUE(p.Save());
    }
    std::vector<uint8_t> file = ReadFileBytes(ProfilePath(0));
    PutI32(&file, kOpt + 64, 3);  // a "better" result typed into the plain copy
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));

    CProfile p;
    EXPECT_EQ(CProfileBase::GetCheaterStatus() & 0x4u, 0x4u);
    EXPECT_EQ(p.GetLevelSteps(0, 0, false), 25);
    EXPECT_EQ(p.GetLevelSteps(0, 0, true), 25);
    EXPECT_TRUE(p.CheckLevelSteps(0, 0));
    EXPECT_NE(ReadFileText(Dir() + "LOG.TXT").find("WARNING:  Unknown error at line 212"), std::string::npos);

    // A mismatch made in memory is repaired on the way out as well.
    p.SetPlainLevelSteps(1, 0, 0);
    EXPECT_FALSE(p.CheckLevelSteps(0, 0));
    EXPECT_EQ(p.GetLevelSteps(0, 0, true), 25);
    p.SetPlainLevelSteps(2, 0, 0);
    ASSERT_TRUE(p.Save());
    EXPECT_EQ(I32At(ReadFileBytes(ProfilePath(0)), kOpt + 64), 25);
}

TEST_F(ProfileFileTest, CheaterWordIsStoredInTheInfoFileAndClearedBitwise) {
    {
        CProfile p;
        CProfileBase::AddCheaterFlags(0x4 | 0x10);
    }
    EXPECT_EQ(U32At(ReadFileBytes(InfoPath()), 12), 0x14u);
    CProfileBase::ClearCheaterFlags(0xFFFFFFFFu);
    CProfile p;
    EXPECT_EQ(CProfileBase::GetCheaterStatus(), 0x14u);
    CProfileBase::ClearCheaterFlags(0x4 | 0x8);  // one bit set, one not: only set bits go
    EXPECT_EQ(CProfileBase::GetCheaterStatus(), 0x10u);
    CProfileBase::ClearCheaterFlags(0x8);
    EXPECT_EQ(CProfileBase::GetCheaterStatus(), 0x10u);
}

TEST_F(ProfileFileTest, SaveThatCannotCreateItsTemporaryFailsAndKeepsTheOldFile) {
    CProfile p;
    p.SetLevelSteps(10, 0, 0);
    ASSERT_TRUE(p.Save());
    const std::vector<uint8_t> before = ReadFileBytes(ProfilePath(0));
    ASSERT_EQ(mkdir((ProfilePath(0) + ".tmp").c_str(), 0755), 0);
    p.SetLevelSteps(5, 0, 0);
    EXPECT_FALSE(p.Save());
    EXPECT_EQ(ReadFileBytes(ProfilePath(0)), before);
    EXPECT_FALSE(p.WriteInfo());
    EXPECT_NE(ReadFileText(Dir() + "LOG.TXT").find("Cannot save profile: "), std::string::npos);
    rmdir((ProfilePath(0) + ".tmp").c_str());
    EXPECT_TRUE(p.Save());
    EXPECT_EQ(I32At(ReadFileBytes(ProfilePath(0)), kOpt + 64), 5);
}

// Runs body where the profile folder cannot be written: as an ordinary user
// the folder is made read-only; as root (which ignores modes) the body runs
// in a child that gives up its rights first.
int RunWithReadOnlyFolder(const std::string& dir, int (*body)(CProfile*), CProfile* p) {
    chmod(dir.c_str(), 0555);
    int result;
    if (geteuid() != 0) {
        result = body(p);
    } else {
        fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
            _exit(body(p));
        }
        int status = 0;
        waitpid(child, &status, 0);
        result = WIFEXITED(status) ? WEXITSTATUS(status) : 98;
    }
    chmod(dir.c_str(), 0755);
    return result;
}

TEST_F(ProfileFileTest, SaveIntoReadOnlyFolderReportsFailureAndLeavesTheFileUnchanged) {
    CProfile p;
    p.SetLevelSteps(10, 0, 0);
    ASSERT_TRUE(p.WriteInfo());
    const std::vector<uint8_t> before = ReadFileBytes(ProfilePath(0));
    const std::vector<uint8_t> infoBefore = ReadFileBytes(InfoPath());
    // Every folder on the way must be enterable by the unprivileged child.
    for (std::string d = Dir(); d.size() > home_->Path().size(); d = d.substr(0, d.find_last_of('/', d.size() - 2) + 1))
        chmod(d.c_str(), 0755);
    chmod(home_->Path().c_str(), 0755);

    const int rc = RunWithReadOnlyFolder(
        Dir(),
        [](CProfile* q) -> int {
            q->SetLevelSteps(3, 0, 0);
            q->SetSoundVolume(1);
            if (q->Save()) return 1;
            if (q->WriteInfo()) return 2;
            if (q->SetPassword("x")) return 3;
            return 0;
        },
        &p);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadFileBytes(ProfilePath(0)), before);
    EXPECT_EQ(ReadFileBytes(InfoPath()), infoBefore);
    EXPECT_FALSE(Exists(ProfilePath(0) + ".tmp"));
}

TEST_F(ProfileFileTest, OutOfRangeOptionsTakeTheirDefaults) {
    { CProfile p; }
    std::vector<uint8_t> file = ReadFileBytes(ProfilePath(0));
    PutI32(&file, 257, 12);
    PutI32(&file, 261, -1);
    PutI32(&file, 265, 1000);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    uint32_t bits;
    memcpy(&bits, &nan, 4);
    PutI32(&file, 272, static_cast<int32_t>(bits));
    file[269] = 7;
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
    {
        CProfile p;
        EXPECT_EQ(p.GetSoundVolume(), 6);
        EXPECT_EQ(p.GetMusicVolume(), 6);
        EXPECT_EQ(p.GetGameSpeed(), 6);
        EXPECT_FLOAT_EQ(p.GetMouseSpeed(), 1.0f);
        EXPECT_EQ(p.IsFullscreen(), 1);
    }
    // The bounds themselves are kept; the mouse speed is taken up to 100,
    // and not at 0 nor just past 100.
    for (const float mouse : {100.0f, 0.0f, 100.01f}) {
        SCOPED_TRACE(mouse);
        file = ReadFileBytes(ProfilePath(0));
        PutI32(&file, 257, 11);
        PutI32(&file, 261, 0);
        PutI32(&file, 265, 11);
        memcpy(&bits, &mouse, 4);
        PutI32(&file, 272, static_cast<int32_t>(bits));
        ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
        CProfile p;
        EXPECT_EQ(p.GetSoundVolume(), 11);
        EXPECT_EQ(p.GetMusicVolume(), 0);
        EXPECT_EQ(p.GetGameSpeed(), 11);
        EXPECT_FLOAT_EQ(p.GetMouseSpeed(), mouse == 100.0f ? 100.0f : 1.0f);
    }
}

TEST_F(ProfileFileTest, VolumeIndexesGiveTheirMasterVolumes) {
    EXPECT_FLOAT_EQ(CProfileBase::EffectsVolumeFor(11), 1.0f);
    EXPECT_FLOAT_EQ(CProfileBase::MusicVolumeFor(11), 1.0f);
    EXPECT_NEAR(CProfileBase::EffectsVolumeFor(6), 0.5454545f, 1e-6);
    EXPECT_NEAR(CProfileBase::MusicVolumeFor(6), 0.2975207f, 1e-6);
    EXPECT_FLOAT_EQ(CProfileBase::EffectsVolumeFor(0), 0.0f);
}

TEST_F(ProfileFileTest, DamagedProfileFileGivesDefaultsAndIsKeptAside) {
    {
        CProfile p;
        p.SetLevelSteps(9, 0, 0);
        ASSERT_TRUE(p.Save());
    }
    std::vector<uint8_t> file = ReadFileBytes(ProfilePath(0));
    file.resize(file.size() - 1);
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
    {
        CProfile p;
        EXPECT_EQ(p.GetCurrentSet(), 0);
        EXPECT_EQ(p.GetLevelSteps(0, 0, false), -1);  // fresh progress
        EXPECT_EQ(ReadFileBytes(ProfilePath(0) + ".damaged"), file);
        // The player is to be told once: whose progress, and where the copy is.
        DamageNotice notice;
        ASSERT_TRUE(p.TakeDamageNotice(&notice));
        EXPECT_EQ(notice.kind, DamageKind::PROGRESS);
        EXPECT_EQ(notice.player, "PLAYER 1");
        EXPECT_EQ(notice.keptAs, ProfilePath(0) + ".damaged");
        EXPECT_FALSE(p.TakeDamageNotice(&notice));
        // The same damaged bytes met again name the copy already kept.
        ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
        EXPECT_FALSE(p.LoadProfile(nullptr));
        ASSERT_TRUE(p.TakeDamageNotice(&notice));
        EXPECT_EQ(notice.keptAs, ProfilePath(0) + ".damaged");
        EXPECT_FALSE(Exists(ProfilePath(0) + ".damaged2"));
    }
    // The next save wrote a sound file; the damaged one is still there.
    EXPECT_EQ(ReadFileBytes(ProfilePath(0) + ".damaged"), file);
    EXPECT_EQ(ReadFileBytes(ProfilePath(0)).size(), kEmptyProfileSize);
}

// A damaged file whose copy cannot be made (the disk is full; here a folder
// stands where the copy's temporary file goes) is never written over: every
// save of it fails, and the first save once the copy can be made keeps the
// copy first. The player's progress and the list of players alike; and a
// player's file that is gone meanwhile: its bytes read are the only copy
// left, and they are kept all the same.
TEST_F(ProfileFileTest, ADamagedFileIsNeverWrittenOverBeforeItsCopyIsKept) {
    enum Row { PROGRESS, LIST, PROGRESS_GONE };
    for (const Row row : {PROGRESS, LIST, PROGRESS_GONE}) {
        SCOPED_TRACE(row);
        {
            CProfile p;
            p.SetLevelSteps(9, 0, 0);
            ASSERT_TRUE(p.WriteInfo());
        }
        const std::string path = row == LIST ? InfoPath() : ProfilePath(0);
        std::vector<uint8_t> damaged = ReadFileBytes(path);
        damaged.resize(damaged.size() - 5);
        ASSERT_TRUE(WriteFileBytes(path, damaged));
        const std::string blocker = path + ".damaged" + CAtomicFile::kTempSuffix;
        ASSERT_EQ(mkdir(blocker.c_str(), 0755), 0);
        {
            CProfile p;
            DamageNotice notice;
            ASSERT_TRUE(p.TakeDamageNotice(&notice));
            EXPECT_EQ(notice.keptAs, "");
            p.SetLevelSteps(4, 0, 1);
            EXPECT_FALSE(row == LIST ? p.WriteInfo() : p.Save());
            EXPECT_FALSE(p.WriteInfo());
            EXPECT_EQ(ReadFileBytes(path), damaged);
            EXPECT_EQ(p.GetSaveFailure().problem, SaveProblem::NO_COPY);
            EXPECT_EQ(p.GetSaveFailure().file, path);
            if (row == PROGRESS_GONE) {
                ASSERT_EQ(remove(path.c_str()), 0);
            }
            ASSERT_EQ(rmdir(blocker.c_str()), 0);
            EXPECT_TRUE(p.WriteInfo());
        }
        EXPECT_EQ(ReadFileBytes(path + ".damaged"), damaged);
        EXPECT_NE(ReadFileBytes(path), damaged);
        CProfile p;
        EXPECT_EQ(p.GetLevelSteps(0, 1, false), 4);
        EXPECT_FALSE(p.TakeDamageNotice(nullptr));
        ASSERT_EQ(remove((path + ".damaged").c_str()), 0);
    }
}

// The player's file and the list kept elsewhere through symbolic links (on
// another disk, say): they are read and saved where the links lead, and the
// links stay. The player's file through a chain of three links.
TEST_F(ProfileFileTest, SavesWriteTheFilesTheirLinksLeadTo) {
    { CProfile p; }
    CTempDir elsewhere, hops;
    for (const std::string& path : {ProfilePath(0), InfoPath()}) {
        const std::string target = elsewhere.File(path.substr(path.rfind('/') + 1));
        ASSERT_EQ(rename(path.c_str(), target.c_str()), 0);
        std::string first = target;
        if (path == ProfilePath(0)) {
            ASSERT_EQ(symlink(target.c_str(), hops.File("second").c_str()), 0);
            ASSERT_EQ(symlink("second", hops.File("first").c_str()), 0);
            first = hops.File("first");
        }
        ASSERT_EQ(symlink(first.c_str(), path.c_str()), 0);
    }
    {
        CProfile p;
        p.SetLevelSteps(9, 0, 0);
        ASSERT_TRUE(p.SetScoreboardName("linked"));
    }
    for (const std::string& path : {ProfilePath(0), InfoPath()}) {
        struct stat st;
        ASSERT_EQ(lstat(path.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << path << " is a link no more";
    }
    EXPECT_EQ(I32At(ReadFileBytes(elsewhere.File("PROFILE1v3.DAT")), kOpt + 64), 9);
    EXPECT_EQ(TextAt(ReadFileBytes(elsewhere.File("INFOv3.DAT")), 54, 16), "linked");
    EXPECT_EQ(FolderEntries(elsewhere.Path()), (std::vector<std::string>{"INFOv3.DAT", "PROFILE1v3.DAT"}));
    EXPECT_EQ(FolderEntries(hops.Path()), (std::vector<std::string>{"first", "second"}));
}

TEST_F(ProfileFileTest, PlaceOutsideTheSetsStartsAtTheFirstLevelKeepingResults) {
    {
        CProfile p;
        p.SetLevelSteps(9, 0, 0);
        p.SetLevelSteps(4, 1, 0);
        ASSERT_TRUE(p.Save());
    }
    std::vector<uint8_t> file = ReadFileBytes(ProfilePath(0));
    PutI32(&file, kOpt + CProfile::kBodyCurrentSet, 7);
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
    {
        CProfile p;
        EXPECT_EQ(p.GetCurrentSet(), 0);
        EXPECT_EQ(p.GetCurrentLevel(), 1);  // the walk's choice after level 0
        EXPECT_EQ(p.GetLevelSteps(1, 0, false), 4);
    }
    file = ReadFileBytes(ProfilePath(0));
    PutI32(&file, kOpt + CProfile::kBodyCurrentSet, 1);
    PutI32(&file, kOpt + CProfile::kBodyCurrentSet + 4, 50);
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
    CProfile p;
    EXPECT_EQ(p.GetCurrentSet(), 0);
    EXPECT_EQ(p.GetLevelSteps(0, 0, false), 9);
}

TEST_F(ProfileFileTest, AbsurdRecordCountOrNameLengthIsRefusedWithoutReadingPastTheEnd) {
    {
        CProfile p;
        ASSERT_TRUE(p.SetLevelRecordAll("x.lvl", 1, 1, 5));
    }
    const std::vector<uint8_t> good = ReadFileBytes(ProfilePath(0));
    std::vector<uint8_t> file = good;
    PutI32(&file, kOpt + CProfile::kBodyRecordCount, 0x7FFFFFFF);
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
    {
        CProfile p;
        EXPECT_TRUE(p.GetLevelRecords().empty());
    }
    file = good;
    PutI32(&file, kOpt + CProfile::kBodyRecords, -2);
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
    CProfile p;
    EXPECT_TRUE(p.GetLevelRecords().empty());
}

TEST_F(ProfileFileTest, DuplicateRecordNamesKeepTheFirst) {
    {
        CProfile p;
        ASSERT_TRUE(p.SetLevelRecordAll("a.lvl", 1, 1, 5));
        ASSERT_TRUE(p.SetLevelRecordAll("b.lvl", 1, 1, 9));
    }
    std::vector<uint8_t> file = ReadFileBytes(ProfilePath(0));
    file[kOpt + CProfile::kBodyRecords + 15 + 4] = 'a';  // second record renamed "a.lvl"
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
    CProfile p;
    ASSERT_EQ(p.GetLevelRecords().size(), 1u);
    EXPECT_EQ(p.GetLevelRecord("a.lvl").bestSteps, 5);
}

TEST_F(ProfileFileTest, KeyBindingOutsideTheKeyRangeFallsBackToItsDefault) {
    { CProfile p; }
    std::vector<uint8_t> file = ReadFileBytes(ProfilePath(0));
    PutI32(&file, kOpt + 4 * 2, 100000);
    PutI32(&file, kOpt + 4 * 3, -5);
    PutI32(&file, kOpt + 4 * 4, 97);
    PutI32(&file, kOpt + 4 * 5, 0);
    // The last key the input can name, the first one past it and the next;
    // and the first one below no key.
    PutI32(&file, kOpt + 4 * 6, 322);
    PutI32(&file, kOpt + 4 * 7, 323);
    PutI32(&file, kOpt + 4 * 8, 324);
    PutI32(&file, kOpt + 4 * 9, -1);
    ASSERT_TRUE(WriteFileBytes(ProfilePath(0), file));
    CProfile p;
    EXPECT_EQ(p.GetKeyBinding(2), 276);
    EXPECT_EQ(p.GetKeyBinding(3), 275);
    EXPECT_EQ(p.GetKeyBinding(4), 97);
    // 0 is no key at all (its key went to another action), and stays so.
    EXPECT_EQ(p.GetKeyBinding(5), 0);
    EXPECT_EQ(p.GetKeyBinding(6), 322);
    EXPECT_EQ(p.GetKeyBinding(7), 49);
    EXPECT_EQ(p.GetKeyBinding(8), 50);
    EXPECT_EQ(p.GetKeyBinding(9), 51);
    EXPECT_EQ(p.GetKeyBinding(16), 0);
    EXPECT_EQ(p.GetKeyBinding(-1), 0);
}

}  // namespace

TEST_F(ProfileFileTest, FailedSaveIsToldOnceKeepsTheProgressAndTheNextSaveWritesIt) {
    CProfile p;
    ASSERT_TRUE(p.Save());
    EXPECT_FALSE(p.TakeSaveFailureNotice());
    const std::string blocker = ProfilePath(0) + ".tmp";
    ASSERT_EQ(mkdir(blocker.c_str(), 0755), 0);
    EXPECT_FALSE(p.SetLevelRecordAll("Canyon", 1, 1, 42));
    EXPECT_TRUE(p.IsSaveFailing());
    EXPECT_TRUE(p.TakeSaveFailureNotice());
    EXPECT_FALSE(p.TakeSaveFailureNotice());
    // Later failures of the same spell are not told again.
    EXPECT_FALSE(p.Save());
    EXPECT_FALSE(p.WriteInfo());
    EXPECT_FALSE(p.TakeSaveFailureNotice());
    EXPECT_EQ(p.GetLevelRecord("Canyon").bestSteps, 42);

    ASSERT_EQ(rmdir(blocker.c_str()), 0);
    ASSERT_TRUE(p.Save());
    EXPECT_FALSE(p.IsSaveFailing());
    {
        CProfile reread;
        EXPECT_EQ(reread.GetLevelRecord("Canyon").bestSteps, 42);
    }
    // A new failure after a success is told again.
    ASSERT_EQ(mkdir(blocker.c_str(), 0755), 0);
    EXPECT_FALSE(p.ClearLevelRecords());
    EXPECT_TRUE(p.TakeSaveFailureNotice());
    ASSERT_EQ(rmdir(blocker.c_str()), 0);

    // The INFO file failing on its own counts too, once per spell.
    ASSERT_TRUE(p.WriteInfo());
    const std::string infoBlocker = InfoPath() + ".tmp";
    ASSERT_EQ(mkdir(infoBlocker.c_str(), 0755), 0);
    EXPECT_FALSE(p.CreateProfile("Second"));
    EXPECT_TRUE(p.TakeSaveFailureNotice());
    EXPECT_FALSE(p.RenameProfile("Second", "Third"));
    EXPECT_FALSE(p.TakeSaveFailureNotice());
    EXPECT_STREQ(p.GetProfileName(-1), "Third");
    ASSERT_EQ(rmdir(infoBlocker.c_str()), 0);
}

// The player's file is on a drive through a link, and the drive goes away
// while she plays (unmounted, its mount point left empty; or the folder gone
// altogether; or the link made to go round). A save then makes no new file
// where the link leads, which would hide under the drive once it is back:
// it fails as a file that cannot be reached now, is told once, and keeps
// the progress, which the first save after the drive is back writes into
// her file. A file of hers deleted outright (no link) is made again, and a
// player who never had a file is given one through a link made for it.
TEST_F(ProfileFileTest, ASaveThroughALinkWhoseFileWentAwayFailsAndTheFileBackTakesIt) {
    enum Row { DRIVE_UNMOUNTED, DRIVE_FOLDER_GONE, LINK_NOW_GOING_ROUND, FILE_DELETED, LINK_FOR_A_NEW_PLAYER };
    for (const Row row : {DRIVE_UNMOUNTED, DRIVE_FOLDER_GONE, LINK_NOW_GOING_ROUND, FILE_DELETED, LINK_FOR_A_NEW_PLAYER}) {
        SCOPED_TRACE(row);
        { CProfile p; }
        CTestDrive drive;
        const bool linked = row != FILE_DELETED && row != LINK_FOR_A_NEW_PLAYER;
        const std::string file = ProfilePath(row == LINK_FOR_A_NEW_PLAYER ? 1 : 0);
        const std::string onDrive = drive.File(row == LINK_FOR_A_NEW_PLAYER ? "new.dat" : "PROFILE1v3.DAT");
        if (linked) {
            ASSERT_EQ(rename(file.c_str(), onDrive.c_str()), 0);
            ASSERT_EQ(symlink(onDrive.c_str(), file.c_str()), 0);
        }
        CProfile p;
        if (row == LINK_FOR_A_NEW_PLAYER) {
            // Her first file cannot be written; meanwhile a link is made for it.
            ASSERT_EQ(mkdir((file + ".tmp").c_str(), 0755), 0);
            EXPECT_FALSE(p.CreateProfile("Newcomer"));
            ASSERT_EQ(rmdir((file + ".tmp").c_str()), 0);
            ASSERT_EQ(symlink(onDrive.c_str(), file.c_str()), 0);
        }
        p.SetLevelSteps(31, 0, 0);
        if (row == DRIVE_UNMOUNTED || row == DRIVE_FOLDER_GONE) {
            drive.Unmount(row == DRIVE_UNMOUNTED);
        } else if (row == LINK_NOW_GOING_ROUND) {
            ASSERT_EQ(remove(file.c_str()), 0);
            LinkGoingRound(file);
        } else if (row == FILE_DELETED) {
            ASSERT_EQ(remove(file.c_str()), 0);
        }
        if (linked) {
            EXPECT_FALSE(p.Save());
            EXPECT_FALSE(p.WriteInfo());
            const SaveFailure& failure = p.GetSaveFailure();
            EXPECT_EQ(failure.problem, SaveProblem::UNREACHABLE);
            EXPECT_EQ(failure.file, row == LINK_NOW_GOING_ROUND ? file : onDrive);
            EXPECT_EQ(failure.error, row == LINK_NOW_GOING_ROUND ? ELOOP : ENOENT);
            EXPECT_TRUE(p.TakeSaveFailureNotice());
            EXPECT_FALSE(p.TakeSaveFailureNotice());
            EXPECT_EQ(p.GetLevelSteps(0, 0, false), 31);
            EXPECT_TRUE(IsLink(file));
            // The drive back.
            if (row == LINK_NOW_GOING_ROUND)
                LinkAgain(file, onDrive);
            else
                drive.Mount();
        }
        ASSERT_TRUE(p.Save());
        EXPECT_FALSE(p.IsSaveFailing());
        {
            CProfile again;
            if (row == LINK_FOR_A_NEW_PLAYER) {
                ASSERT_TRUE(again.LoadProfile("Newcomer"));
            }
            EXPECT_EQ(again.GetLevelSteps(0, 0, false), 31);
        }
        EXPECT_EQ(I32At(ReadFileBytes(row == FILE_DELETED ? file : onDrive), kOpt + 64), 31);
        for (const std::string& leftover : {ProfilePath(0), ProfilePath(1), InfoPath()}) remove(leftover.c_str());
    }
}
