// Start-up of the sound system: the settings file and the console dialogue.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/Log.h"
#include "engine/Utilities.h"
#include "platform/CAudioSystem.h"
#include "platform/Platform.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "tests/support/TestSupport.h"
#include "tests/sound/SoundTestSupport.h"

namespace {

class SoundSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        home_.reset(new CScopedHome());
        InitDirectories();
        in_ = tmpfile();
        out_ = tmpfile();
        CSound::SetConsole(in_, out_);
    }
    void TearDown() override {
        CSound::Shutdown();
        CSound::SetConsole(nullptr, nullptr);
        fclose(in_);
        fclose(out_);
        ResetDirectories();
        home_.reset();
    }
    void Type(const std::string& text) {
        fwrite(text.data(), 1, text.size(), in_);
        rewind(in_);
    }
    std::string Printed() {
        std::string s;
        rewind(out_);
        for (int c; (c = fgetc(out_)) != EOF;) s += static_cast<char>(c);
        return s;
    }
    static int Output() {
        int v = -1;
        CSound::System()->GetOutput(&v);
        return v;
    }
    static int Driver() {
        int v = -1;
        CSound::System()->GetDriver(&v);
        return v;
    }

    std::unique_ptr<CScopedHome> home_;
    FILE* in_ = nullptr;
    FILE* out_ = nullptr;
};

}  // namespace

TEST_F(SoundSettingsTest, DialogueWritesEightBytesAndStartsTheSystem) {
    // "2" and "1" typed on one line: the second answer is taken from it.
    Type("21\n");
    CSound::Init(false);
    EXPECT_TRUE(CSound::IsReady());
    EXPECT_EQ(7, Output());
    EXPECT_EQ(0, Driver());
    const std::vector<uint8_t> bytes = ReadFileBytes(CSound::SettingsPath());
    const std::vector<uint8_t> expected = {7, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(expected, bytes);
    const std::string printed = Printed();
    EXPECT_NE(std::string::npos, printed.find("****** PLEASE SELECT DESIRED SOUND SYSTEM ****** \n"));
    EXPECT_NE(std::string::npos, printed.find("3 - ASIO\n"));
    EXPECT_NE(std::string::npos, printed.find("1 : Default\n"));
    EXPECT_NE(std::string::npos,
              printed.find("\nInput the number corresponding to the desired sound driver and press ENTER: "));
}

TEST_F(SoundSettingsTest, AChoiceThatCannotBeStoredIsUsedForThisRunAndSaidSo) {
    // The temporary file of the settings cannot be made (a folder is in its
    // way, which stops root as well).
    const std::string blocker = CSound::SettingsPath() + ".tmp";
    ASSERT_TRUE(PlatformMakeDir(blocker));
    Type("21\n");
    CSound::Init(false);
    EXPECT_TRUE(CSound::IsReady());
    EXPECT_EQ(7, Output());
    EXPECT_EQ(0, Driver());
    EXPECT_FALSE(PlatformFileExists(CSound::SettingsPath()));
    EXPECT_NE(std::string::npos, Printed().find("will not be remembered")) << Printed();
    rmdir(blocker.c_str());
}

TEST_F(SoundSettingsTest, DialogueSkipsOtherCharacters) {
    Type("x9\n 3\n\n?1\n");
    CSound::Init(false);
    EXPECT_EQ(8, Output());
    EXPECT_EQ(0, Driver());
    const std::vector<uint8_t> expected = {8, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(expected, ReadFileBytes(CSound::SettingsPath()));
}

TEST_F(SoundSettingsTest, DialogueEndedEarlyWritesNothing) {
    Type("abc\n");  // no choice before the end of input
    CSound::Init(false);
    EXPECT_TRUE(CSound::IsReady());
    EXPECT_FALSE(PlatformFileExists(CSound::SettingsPath()));
    EXPECT_EQ(CAudioSystem::kOutputAuto, Output());
}

TEST_F(SoundSettingsTest, DialogueEndedAtTheDriverQuestionWritesNothing) {
    Type("2\n9\n");  // a system, then no valid driver before the end
    CSound::Init(false);
    EXPECT_TRUE(CSound::IsReady());
    EXPECT_FALSE(PlatformFileExists(CSound::SettingsPath()));
    EXPECT_EQ(CAudioSystem::kOutputAuto, Output());
}

// Input that never names a choice (a file of zeros, `yes`) is given up after
// kMaxSkippedCharacters other characters, the default output kept with a
// line as at the end of input; a choice that comes at the bound is taken, at
// either question.
TEST_F(SoundSettingsTest, AnAnswerIsTakenWithinTheBoundOfOtherCharactersAndNotPastIt) {
    const int bound = CSound::kMaxSkippedCharacters;
    const bool warnings = IsDebugCategoryOn(DBG_WARNING);
    EnableDebugCategory(DBG_WARNING);
    std::string yes;
    while (static_cast<int>(yes.size()) < bound) yes += "y\n";
    ASSERT_EQ(static_cast<int>(yes.size()), bound);
    const struct {
        std::string typed;
        bool taken;
    } rows[] = {
        {std::string(static_cast<size_t>(bound), '\0') + "21", true},
        {std::string(static_cast<size_t>(bound) + 1, '\0') + "21", false},
        {"2" + yes + "1", true},
        {"2" + yes + "y1", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.typed.size());
        CSound::Shutdown();
        remove(CSound::SettingsPath().c_str());
        rewind(in_);
        ASSERT_EQ(ftruncate(fileno(in_), 0), 0);
        Type(r.typed);
        testing::internal::CaptureStderr();
        CSound::Init(false);
        const std::string logged = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(CSound::IsReady());
        EXPECT_EQ(r.taken ? 7 : CAudioSystem::kOutputAuto, Output());
        EXPECT_EQ(PlatformFileExists(CSound::SettingsPath()), r.taken);
        EXPECT_EQ(logged.find("No answer among the characters typed: default sound output kept\n") != std::string::npos,
                  !r.taken)
            << logged;
    }
    if (!warnings) DisableDebugCategory(DBG_WARNING);
}

// A data folder that is no longer the one this copy of the game locked
// (deleted, and another made at its path, perhaps by a second copy) gets no
// settings: the choice is used for this run only, and said so.
TEST_F(SoundSettingsTest, NoSettingsGoIntoAFolderPutInPlaceOfTheOneLocked) {
    const std::string dir = GetProfileDir();
    const std::string folder = dir.substr(0, dir.size() - 1);
    PlatformFileId id;
    ASSERT_TRUE(PlatformIdentify(folder, &id));
    NoteClaimedProfileDir(id.device, id.inode);
    const std::string locked = folder + " (locked)";
    ASSERT_EQ(rename(folder.c_str(), locked.c_str()), 0);
    ASSERT_TRUE(PlatformMakeDir(folder));
    Type("21\n");
    CSound::Init(false);
    const std::vector<std::string> written = FolderEntries(folder);
    for (const std::string& name : written) remove((dir + name).c_str());
    rmdir(folder.c_str());
    ASSERT_EQ(rename(locked.c_str(), folder.c_str()), 0);
    EXPECT_TRUE(CSound::IsReady());
    EXPECT_EQ(7, Output());
    EXPECT_EQ(written, std::vector<std::string>());
    EXPECT_NE(std::string::npos, Printed().find("will not be remembered")) << Printed();
}

// A settings file kept elsewhere through a symbolic link is stored where the
// link leads; the link stays.
TEST_F(SoundSettingsTest, AChoiceIsStoredInTheFileTheSettingsLinkLeadsTo) {
    CTempDir elsewhere;
    ASSERT_EQ(symlink(elsewhere.File("sound.dat").c_str(), CSound::SettingsPath().c_str()), 0);
    Type("21\n");
    CSound::Init(false);
    EXPECT_EQ(ReadFileBytes(elsewhere.File("sound.dat")), (std::vector<uint8_t>{7, 0, 0, 0, 0, 0, 0, 0}));
    struct stat st;
    ASSERT_EQ(lstat(CSound::SettingsPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(SoundSettingsTest, StoredSettingsArePassedOnUnchanged) {
    ASSERT_TRUE(WriteFileBytes(CSound::SettingsPath(), {6, 0, 0, 0, 0, 0, 0, 0}));
    CSound::Init(true);
    EXPECT_TRUE(CSound::IsReady());
    EXPECT_EQ(6, Output());
    EXPECT_EQ(0, Driver());
    EXPECT_NE(std::string::npos,
              Printed().find("\nSound settings loaded from file.  To alter settings in the future, run the game with "
                             "a command line parameter of 4\n"));
    EXPECT_EQ(0, CountLogLines("Sound library error"));
}

TEST_F(SoundSettingsTest, NoSettingsFileMeansDefaultsWithoutAMessage) {
    CSound::Init(true);
    EXPECT_TRUE(CSound::IsReady());
    EXPECT_EQ(CAudioSystem::kOutputAuto, Output());
    EXPECT_EQ("", Printed());
}

TEST_F(SoundSettingsTest, RejectedOutputIsReportedOnceAndInitGoesOn) {
    ASSERT_TRUE(WriteFileBytes(CSound::SettingsPath(), {99, 0, 0, 0, 0, 0, 0, 0}));
    CSound::Init(true);
    EXPECT_TRUE(CSound::IsReady());
    EXPECT_EQ(1, CountLogLines("Sound library error: "));
    EXPECT_EQ(CAudioSystem::kOutputAuto, Output());
}

TEST_F(SoundSettingsTest, ShortSettingsFileKeepsTheDefaults) {
    ASSERT_TRUE(WriteFileBytes(CSound::SettingsPath(), {7, 0, 0, 0, 1}));
    CSound::Init(true);
    EXPECT_TRUE(CSound::IsReady());
    EXPECT_EQ(CAudioSystem::kOutputAuto, Output());
    EXPECT_EQ(0, Driver());
    EXPECT_EQ(0, CountLogLines("Sound library error"));
}

TEST_F(SoundSettingsTest, WithoutADeviceTheGameIsSilentNotStopped) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    CSound::Init(true);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_FALSE(CSound::IsReady());
    EXPECT_EQ(1, CountLogLines("Sound library error: "));
    // Every operation is a quiet no-op.
    CSoundObject object("victory.ogg", false);
    EXPECT_EQ(-1, object.SoundIndex());
    CSound::Play(&object, true, 0, 0.0f);
    EXPECT_FALSE(CSound::IsPlaying(&object));
    EXPECT_EQ(0.0f, CSound::GetVolume(&object));
    EXPECT_EQ(-1, CSound::CreateSound("x", -1));
    CSound::loadSound();
    CSound::CreateMusic();
    EXPECT_EQ(nullptr, CSound::GetMusic(CSound::MUSIC_MAIN));
    CSound::PlayStageMusic(false);
    CSound::Update();
}
