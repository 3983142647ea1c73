// A damaged profile file is told to the player once, in a message box on the
// main menu: after the intro at start-up, and when the menu comes back from
// choosing a player whose file turned out damaged.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "gui/CControllerMessage.h"
#include "gui/CGuiListbox.h"
#include "gui/SaveFailureNotice.h"
#include "platform/Platform.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "players/CProfile.h"
#include "screens/CControllerIntro.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerProfiles.h"
#include "tests/screens/ScreenTest.h"
#include "tests/support/TestSupport.h"

namespace {

class DamageNoticeTest : public ScreenTest {
protected:
    void TearDown() override {
        DamageNotice rest;
        while (Profile().TakeDamageNotice(&rest)) {
        }
        ScreenTest::TearDown();
    }

    // The way the player sees a path under his home folder.
    static std::string Shown(const std::string& path) {
        const std::string home = HomeFolder();
        return path.compare(0, home.size(), home) == 0 ? "~" + path.substr(home.size()) : path;
    }

    // The profile file cut short by one byte: the options block stays sound,
    // the progress behind it cannot be read.
    static std::vector<uint8_t> CutShort(const std::string& path) {
        std::vector<uint8_t> bytes = ReadFileBytes(path);
        bytes.resize(bytes.size() - 1);
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return bytes;
    }

    // Runs frames until a message box is the current screen (at most ms).
    static bool FramesUntilMessage(int ms) {
        const uint32_t end = Now() + static_cast<uint32_t>(ms);
        while (Now() < end && CController::GetCurrentId() != CONTROLLER_MESSAGE) Frame();
        return CController::GetCurrentId() == CONTROLLER_MESSAGE;
    }
};

struct Told {
    int body;
    std::string text, text2;
    int title = CControllerMain::kDamagedTitle;
    int advice = -1;
};

TEST_F(DamageNoticeTest, AfterTheIntroTheMenuTellsOfEveryDamagedFileOnce) {
    CProfile& p = Profile();
    const std::string dir = HomeFolder() + "/data/Vormak Games/ZORV Data/";
    enum Damage { PROGRESS, LIST_AND_PROGRESS, PROGRESS_NO_NAME, PROGRESS_NO_ROOM, LIST_MISSING, UNREACHABLE, LIST_AWAY };
    for (Damage damage :
         {PROGRESS, LIST_AND_PROGRESS, PROGRESS_NO_NAME, PROGRESS_NO_ROOM, LIST_MISSING, UNREACHABLE, LIST_AWAY}) {
        SCOPED_TRACE(damage);
        CController::ResetStack();
        ASSERT_TRUE(p.ResetProfiles());
        ASSERT_TRUE(p.CreateProfile("Erin"));
        ASSERT_TRUE(p.CreateProfile("Lost"));
        ASSERT_TRUE(p.LoadProfile("Erin"));
        p.SetLevelSteps(12, 0, 0);
        ASSERT_TRUE(p.WriteInfo());
        const std::string file = p.ProfileFileName(p.GetCurrentProfile());
        for (const char* suffix : {".damaged", ".damaged2"}) remove((file + suffix).c_str());
        remove((p.InfoFileName() + ".damaged").c_str());
        const bool damaged = damage != LIST_MISSING && damage != UNREACHABLE && damage != LIST_AWAY;
        const std::vector<uint8_t> cut = damaged ? CutShort(file) : std::vector<uint8_t>();
        std::vector<Told> expected;
        const std::string drive = HomeFolder() + "/drive";
        if (damage == UNREACHABLE) {
            // Her file is on a drive not mounted now: she is not loaded, and
            // the byte-wise first other player is current.
            ASSERT_TRUE(PlatformMakeDirs(drive));
            ASSERT_EQ(rename(file.c_str(), (drive + "/erin.dat").c_str()), 0);
            ASSERT_EQ(rename(drive.c_str(), (drive + " (away)").c_str()), 0);
            ASSERT_EQ(symlink((drive + "/erin.dat").c_str(), file.c_str()), 0);
            expected.push_back({kUnreachableBody, "Erin", Shown(drive + "/erin.dat") + " (No such file or directory)",
                                kUnreachableTitle, kAdviceBringBack});
        }
        if (damage == LIST_AWAY) {
            // The list is on a drive not mounted now: left as it is, and the
            // players come back from their files for this session.
            ASSERT_TRUE(PlatformMakeDirs(drive));
            ASSERT_EQ(rename(p.InfoFileName().c_str(), (drive + "/list.dat").c_str()), 0);
            ASSERT_EQ(rename(drive.c_str(), (drive + " (away)").c_str()), 0);
            ASSERT_EQ(symlink((drive + "/list.dat").c_str(), p.InfoFileName().c_str()), 0);
            expected.push_back({CControllerMain::kListAwayBody, AwayFileText(drive + "/list.dat", strerror(ENOENT)), "",
                                CControllerMain::kListAwayTitle, kAdviceBringBack});
        }

        if (damage == LIST_MISSING) {
            // Rebuilt from the files on disk; there is nothing to keep.
            ASSERT_EQ(remove(p.InfoFileName().c_str()), 0);
            expected.push_back({CControllerMain::kMissingListBody, "", "", CControllerMain::kListTitle});
            // A data folder the game could not lock is told after it.
            CControllerMain::NoteUnlockedDataFolder(dir + "GAME.LOCK");
            expected.push_back(
                {CControllerMain::kUnlockedBody, Shown(dir + "GAME.LOCK"), "", CControllerMain::kUnlockedTitle});
        }
        if (damage == LIST_AND_PROGRESS) {
            // The list loses its last entry, "Lost" (entries go by number).
            std::vector<uint8_t> info = ReadFileBytes(p.InfoFileName());
            info.resize(info.size() - 36 + 10);
            ASSERT_TRUE(WriteFileBytes(p.InfoFileName(), info));
            expected.push_back(
                {CControllerMain::kDamagedListBody, Shown(p.InfoFileName() + ".damaged"), "", CControllerMain::kListTitle});
        }
        if (damage == PROGRESS_NO_NAME) {
            // Every name for a copy is taken by other damaged files: the
            // player is told which to clear.
            for (int i = 1; i <= CProfileBase::kMaxDamagedCopies; ++i)
                WriteFileText(file + ".damaged" + (i == 1 ? "" : std::to_string(i)), "old copy " + std::to_string(i));
            expected.push_back({CControllerMain::kDamagedProgressNoNameBody, "Erin", Shown(file + ".damaged"),
                                CControllerMain::kDamagedTitle, kAdviceMoveCopies});
        } else if (damage == PROGRESS_NO_ROOM) {
            // A folder in the copy's temporary file's place: it is to be moved.
            ASSERT_EQ(mkdir((file + ".damaged.tmp").c_str(), 0755), 0);
            expected.push_back({CControllerMain::kDamagedProgressNoCopyBody, "Erin", strerror(EISDIR),
                                CControllerMain::kDamagedTitle, kAdviceMoveFolder});
        } else if (damaged) {
            expected.push_back({CControllerMain::kDamagedProgressBody, "Erin", Shown(file + ".damaged")});
        }

        ASSERT_FALSE(p.ReadInfo());  // as at start-up
        if (damaged) {
            EXPECT_EQ(p.GetLevelSteps(0, 0, false), -1);
        }
        if (damage == UNREACHABLE) {
            EXPECT_STREQ(p.GetProfileName(), "Lost");
        }
        auto intro = SkipIntro();
        ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
        CControllerMain* menu = intro->GetMainMenu();
        ASSERT_NE(menu, nullptr);
        CSprite* logo = menu->GetIntroPicture();
        ASSERT_NE(logo, nullptr);

        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(FramesUntilMessage(3000));
            // Never over the intro's picture: it has faded first.
            EXPECT_FALSE(logo->IsFading());
            CControllerMessage* box = menu->GetNotice();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->GetTitleId(), expected[i].title);
            EXPECT_EQ(box->GetBodyId(), expected[i].body);
            EXPECT_EQ(box->GetBodyText(), expected[i].text);
            EXPECT_EQ(box->GetBodyText2(), expected[i].text2);
            EXPECT_EQ(box->GetAdviceId(), expected[i].advice);
            EXPECT_EQ(box->GetCancelButton(), nullptr);
            Answer(box, true);
        }
        // Told once: the menu stays, and the copy holds what was damaged.
        EXPECT_FALSE(FramesUntilMessage(2000));
        EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
        EXPECT_EQ(menu->GetNotice(), nullptr);
        if (damage == PROGRESS || damage == LIST_AND_PROGRESS) {
            EXPECT_EQ(ReadFileBytes(file + ".damaged"), cut);
        }

        menu->SetResult(CController::kCloseQuit);
        Frame();
        if (damage == PROGRESS_NO_NAME || damage == PROGRESS_NO_ROOM) {
            // The damaged file without a copy is not written over, so this
            // player's progress cannot be saved: the quit asks first.
            ASSERT_NE(menu->GetQuitQuestion(), nullptr);
            EXPECT_EQ(ReadFileBytes(file), cut);
            Answer(menu->GetQuitQuestion(), true);
            rmdir((file + ".damaged.tmp").c_str());
        }
        for (int i = 0; i < 5 && CController::IsRunning(); ++i) Frame();
        EXPECT_FALSE(CController::IsRunning());
        if (damage == UNREACHABLE) {
            // Nothing was written over her link or where it leads.
            struct stat st;
            ASSERT_EQ(lstat(file.c_str(), &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode));
            EXPECT_FALSE(PlatformFileExists(drive));
            ASSERT_EQ(rename((drive + " (away)").c_str(), drive.c_str()), 0);
            ASSERT_TRUE(p.LoadProfile("Erin"));
            EXPECT_EQ(p.GetLevelSteps(0, 0, false), 12);
            ASSERT_EQ(remove(file.c_str()), 0);
            ASSERT_EQ(rename((drive + "/erin.dat").c_str(), file.c_str()), 0);
            ASSERT_EQ(rmdir(drive.c_str()), 0);
        }
        if (damage == LIST_AWAY) {
            // Play saved, and the list is as it was: the quit asked nothing.
            struct stat st;
            ASSERT_EQ(lstat(p.InfoFileName().c_str(), &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode));
            EXPECT_FALSE(PlatformFileExists(drive));
            ASSERT_EQ(rename((drive + " (away)").c_str(), drive.c_str()), 0);
            ASSERT_EQ(remove(p.InfoFileName().c_str()), 0);
            ASSERT_EQ(rename((drive + "/list.dat").c_str(), p.InfoFileName().c_str()), 0);
            ASSERT_EQ(rmdir(drive.c_str()), 0);
            EXPECT_TRUE(p.ReadInfo());
            EXPECT_EQ(p.GetProfileNumber("Lost"), p.GetCurrentProfile() + 1);
        }
    }
    for (int i = 1; i <= CProfileBase::kMaxDamagedCopies; ++i)
        remove((p.ProfileFileName(p.GetCurrentProfile()) + ".damaged" + (i == 1 ? "" : std::to_string(i))).c_str());
}

TEST_F(DamageNoticeTest, ChoosingAPlayerWhoseFileIsDamagedIsToldBackOnTheMenu) {
    CProfile& p = Profile();
    ASSERT_TRUE(p.ResetProfiles());
    ASSERT_TRUE(p.CreateProfile("Fay"));
    p.SetLevelSteps(7, 0, 0);
    ASSERT_TRUE(p.LoadProfile("PLAYER 1"));
    const std::string file = p.ProfileFileName(p.GetProfileNumber("Fay"));
    remove((file + ".damaged").c_str());
    CutShort(file);

    auto menu = std::make_unique<CControllerMain>();
    menu->Activate(nullptr);
    Frames(3);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    menu->GUICallback(CControllerMain::BUTTON_PROFILE, 0, false);
    Frame();
    auto* screen = dynamic_cast<CControllerProfiles*>(CController::GetCurrent());
    ASSERT_NE(screen, nullptr);
    screen->GetList()->SelectRowById(p.GetProfileNumber("Fay"));
    screen->GUICallback(CControllerProfiles::BUTTON_SELECT, 0, false);

    ASSERT_TRUE(FramesUntilMessage(1000));
    EXPECT_STREQ(p.GetProfileName(-1), "Fay");
    CControllerMessage* box = menu->GetNotice();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetBodyId(), CControllerMain::kDamagedProgressBody);
    EXPECT_EQ(box->GetBodyText(), "Fay");
    EXPECT_EQ(box->GetBodyText2(), Shown(file + ".damaged"));
    Answer(box, true);
    EXPECT_FALSE(FramesUntilMessage(1000));
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    remove((file + ".damaged").c_str());
}

// Each reason a file of the player's cannot be written, copied, removed or
// reached is told with the system's words and what helps, one advice per
// reason: every errno a write, a removal or a look at a file gives, and the
// game's own reasons; the same advice however the problem came about. Every
// body that takes an advice shows whole in its box with a 110-character
// path, the longest system's words and the longest advice.
TEST_F(DamageNoticeTest, EveryReasonASaveFailsForIsToldWithWhatHelps) {
    const std::pair<int, std::vector<int>> rules[] = {
        {kAdviceFreeRoom, {ENOSPC}}, {kAdviceFreeShare, {EDQUOT}}, {kAdviceAllowWriting, {EACCES, EPERM}},
        {kAdviceMakeWritable, {EROFS}}, {kAdviceLiftSizeLimit, {EFBIG}}, {kAdviceMendLink, {ELOOP}},
        {kAdviceCheckDisk, {EIO, EUCLEAN, EBADMSG, EREMOTEIO}}, {kAdviceShortenPath, {ENAMETOOLONG}},
        {kAdviceMoveFile, {ENOTDIR}}, {kAdviceMoveFolder, {EISDIR, ENOTEMPTY, EEXIST}}, {kAdviceLiftOpenLimit, {EMFILE}},
        {kAdviceBringBack, {ENOENT, ENODEV, ENXIO, ENOMEDIUM, ESTALE, ENOTCONN, ETIMEDOUT, EHOSTDOWN, EHOSTUNREACH,
                            ENETUNREACH, ENOLINK}},
        {kAdviceCloseOthers, {ENFILE, ENOMEM, ENOBUFS}}, {kAdviceWait, {EBUSY, ETXTBSY, EAGAIN, EINTR}},
        {kAdviceMoveCopies, {kReasonCopyNamesTaken}}, {kAdvicePutFolderBack, {kReasonFolderReplaced}},
        {kAdviceCheckFolder, {EXDEV, EINVAL, EMLINK, EOVERFLOW}}};
    for (const auto& [advice, reasons] : rules)
        for (const int reason : reasons) EXPECT_EQ(AdviceFor(reason), advice) << reason;

    const std::string dir = "/media/usb/ZORV Data/", file = dir + "PROFILE1v3.DAT";
    const auto with = [](const std::string& path, int error) { return AwayFileText(path, strerror(error)); };
    struct Row {
        SaveProblem problem;
        int error, body;
        std::string text;
        int advice;
        bool list = false;
    };
    for (const Row& row :
         {Row{SaveProblem::WRITE_FAILED, ENOSPC, kNotSavedBody, with(dir, ENOSPC), kAdviceFreeRoom},
          Row{SaveProblem::WRITE_FAILED, EDQUOT, kNotSavedBody, with(dir, EDQUOT), kAdviceFreeShare},
          Row{SaveProblem::NO_COPY, EFBIG, kNotSavedBody, with(dir, EFBIG), kAdviceLiftSizeLimit},
          Row{SaveProblem::NO_COPY, EROFS, kNotSavedBody, with(dir, EROFS), kAdviceMakeWritable},
          Row{SaveProblem::NO_COPY_NAME, 0, kNotSavedNoCopyNameBody, file + ".damaged", kAdviceMoveCopies},
          Row{SaveProblem::UNREACHABLE, ELOOP, kNotSavedAwayBody, with(file, ELOOP), kAdviceMendLink},
          Row{SaveProblem::UNREACHABLE, ENOENT, kListNotSavedAwayBody, with(file, ENOENT), kAdviceBringBack, true},
          Row{SaveProblem::FOLDER_NOT_OURS, ESTALE, kNotSavedFolderReplacedBody, dir, kAdvicePutFolderBack},
          Row{SaveProblem::FOLDER_AWAY, ENOTDIR, kNotSavedFolderAwayBody, with(dir, ENOTDIR), kAdviceMoveFile}}) {
        const ProgressMessage m = SaveFailureMessage(SaveFailure{row.problem, file, dir, row.error, row.list});
        EXPECT_EQ(std::make_tuple(m.title, m.body, m.text, m.advice),
                  std::make_tuple(row.list ? kListNotSavedTitle : kSaveFailureTitle, row.body, row.text, row.advice));
        // A switch of player refused tells the same reason and advice; a
        // list away is the list's, never the player's file.
        const auto refused = SwitchRefusedMessage(SaveFailure{row.problem, file, dir, row.error, row.list}, "Erin");
        EXPECT_EQ(refused.advice, row.advice) << row.body;
        const bool folderOrList = row.list || row.problem == SaveProblem::FOLDER_NOT_OURS ||
                                  row.problem == SaveProblem::FOLDER_AWAY;
        EXPECT_EQ(refused.body == row.body, folderOrList) << row.body;
    }
    using M = CControllerMain;
    for (const auto& [kind, error, body] : {std::tuple{DamageKind::PROGRESS, EIO, M::kDamagedProgressNoCopyBody},
                                            {DamageKind::LIST_DAMAGED, ELOOP, M::kDamagedListNoCopyBody},
                                            {DamageKind::LIST_AWAY, EACCES, M::kListAwayBody},
                                            {DamageKind::UNREACHABLE, ENOTDIR, kUnreachableBody},
                                            {DamageKind::FOLDER_AWAY, ELOOP, M::kFolderAwayBody}}) {
        const ProgressMessage m = M::DamageMessage({kind, "", "", false, "", strerror(error), error});
        EXPECT_EQ(std::make_pair(m.body, m.advice), std::make_pair(body, AdviceFor(error))) << body;
        EXPECT_NE((m.text + m.text2).find(strerror(error)), std::string::npos) << body;
    }

    // Every body with an advice ("%3"), a name for a "%1" before a "%2",
    // else the path and the longest words; no advice holds markup.
    const std::string path = "/media/backup/" + std::string(110 - 14 - 15, 'd') + "/PROFILE1v3.DAT";
    std::string why, advice;
    for (int error = 1; error < 134; ++error)
        if (strlen(strerror(error)) > why.size()) why = strerror(error);
    for (int id = kAdviceFreeRoom; id <= kAdviceCheckFolder; ++id) {
        const std::string text = FontGetEntry(id).text.Utf8();
        EXPECT_EQ(text.find('%'), std::string::npos) << id;
        if (text.size() > advice.size()) advice = text;
    }
    const std::string away = AwayFileText(path, why);
    int bodies = 0;
    for (int body = 2300; body < kAdviceFreeRoom; ++body) {
        const std::string text = FontGetEntry(body).text.Narrow();
        if (text.find("%3") == std::string::npos) continue;
        const bool named = text.find("%2") != std::string::npos;
        FontFitRequest fit(body, FontFit::kLines, named ? "Erin" : away.c_str(), CControllerMessage::kTextWidth, 120);
        fit.typed2 = away.c_str();
        fit.typed3 = advice.c_str();
        EXPECT_TRUE(FontFitTyped(fit).whole) << body;
        ++bodies;
    }
    EXPECT_EQ(bodies, 19);
}

// A copy kept in a data folder outside the home folder is told by its whole
// path: each of its 150 characters stands inside the body's 450 x 120 box,
// a folder name wider than a line broken between its letters, the body set
// smaller until all of its lines fit, and what helps with them.
TEST_F(DamageNoticeTest, ALongPathShowsWholeInsideTheNoticeBox) {
    const std::string tail = "/Vormak Games/ZORV Data/PROFILE1v3.DAT.damaged";
    std::string path = "/media/backup/family-games-shared-between-all-our-computers-at-home";
    path += "/" + std::string(150 - path.size() - tail.size() - 1, 'd') + tail;
    ASSERT_EQ(path.size(), 150u);
    CControllerMessage box(CControllerMain::kDamagedTitle, CControllerMain::kDamagedProgressNoCopyBody, false, "Erin",
                           path.c_str(), kAdviceLiftSizeLimit);
    // The body is the last text the box drew (all of it plain ASCII).
    std::string shown;
    for (const FontRunPlacement& run : FontGetLastPlacements()) {
        const std::string text(run.text.begin(), run.text.end());
        shown += text;
        EXPECT_GE(run.x, 0) << text;
        EXPECT_GE(run.y, 0) << text;
        EXPECT_LE(run.x + run.w, CControllerMessage::kTextWidth) << text;
        EXPECT_LE(run.y + run.h, 120) << text;
    }
    std::string body = FontGetEntry(CControllerMain::kDamagedProgressNoCopyBody).text.Narrow();
    body.replace(body.find("%3"), 2, FontGetEntry(kAdviceLiftSizeLimit).text.Narrow());
    body.replace(body.find("%2"), 2, path);
    body.replace(body.find("%1"), 2, "Erin");
    EXPECT_EQ(shown, body);
}

}  // namespace
