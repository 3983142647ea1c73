// The game's entry point: start-up in its fixed order, the paced frame loop
// over the stack of screens, and shut-down in its fixed order.
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#ifdef ZORV_LOG_MILESTONES
#include <chrono>
#endif

#include "editor/EditorRecovery.h"
#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/DataFolder.h"
#include "engine/FontRender.h"
#include "engine/ImagePack.h"
#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/ResourceFiles.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "players/CProfile.h"
#include "players/ScoreClient.h"
#include "screens/CControllerIntro.h"
#include "screens/CControllerMain.h"
#include "sound/CSound.h"
#include "world/CElement.h"
#include "world/CLevelSet.h"

namespace {

// Command-line flags.
constexpr int kFlagWindowed = 1;
constexpr int kFlagNoSound = 2;
constexpr int kFlagAskSoundOutput = 4;

const char* const kUsage =
    "Usage: zorv [FLAGS]\n"
    "Starts the game. FLAGS is one number, these added up:\n"
    "  1  a window instead of full screen\n"
    "  2  no sound\n"
    "  4  choose the sound output on the console\n"
    "(3 is a silent window.) Alt+Enter switches between window and full screen;\n"
    "keypad 0 saves a screenshot.\n";

// An argument written as an option (a dash, then no digit: "-1" is a
// number) that is not --help.
bool IsUnknownOption(const char* arg) {
    return arg[0] == '-' && !isdigit(static_cast<unsigned char>(arg[1])) && strcmp(arg, "--help") != 0;
}

// The flags, 0 to 7. Anything else on the command line ends the program
// before it opens anything: -1 after the usage (--help), -2 after a refusal.
int ReadFlags(int argc, char** argv) {
    long flags = 0;
    if (argc == 1) return 0;
    for (int i = 1; i < argc; ++i) {
        if (IsUnknownOption(argv[i])) {
            fprintf(stderr, "zorv: unknown option %s; see zorv --help\n", EscapeControls(argv[i]).c_str());
            return -2;
        }
    }
    if (argc == 2 && strcmp(argv[1], "--help") == 0) {
        // A usage that could not be written (a full disk under it) is no answer.
        errno = 0;
        if (fputs(kUsage, stdout) >= 0 && fflush(stdout) == 0) return -1;
        fprintf(stderr, "zorv: cannot write the standard output: %s\n", strerror(errno));
        return -2;
    }
    if (argc == 2 && ReadNumber(argv[1], 0L, 7L, &flags)) return static_cast<int>(flags);
    fprintf(stderr, "zorv: %s (see zorv --help)\n",
            argc == 2 ? "the argument is no number of flags from 0 to 7" : "one number of flags only");
    return -2;
}

#ifdef ZORV_LOG_MILESTONES
// Test builds measure from the moment main was entered.
const auto g_started = std::chrono::steady_clock::now();
long MillisecondsSinceStart() {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - g_started).count());
}
#endif

// A path as the game's own lines on standard error show it: whole, and
// written out (EscapeControls).
std::string Shown(const std::string& path) { return EscapeControls(PlatformAbsolutePath(path)); }

// Held by the copy of the game that owns the profile folder.
const char* const kLockFileName = "GAME.LOCK";

// One copy of the game at a time owns a profile folder: two copies would each
// save over the progress the other one wrote. The lock is held on the folder
// itself, which deleting GAME.LOCK (an empty file that looks disposable)
// cannot undo, and on GAME.LOCK as well, which works where a folder cannot be
// locked (some network file systems). False when another copy owns it.
// Saves go only to the very folder claimed here: one put in its place later
// (after the folder was deleted, say) may be a second copy's. A folder that
// cannot be locked at all is logged and told on the main menu, and the game
// goes on.
bool ClaimProfileDir() {
    const std::string dir = GetProfileDir();
    PlatformFileId id;
    const PlatformLock folder = PlatformHoldFolderLock(dir, &id);
    const PlatformLock file = folder == PLATFORM_LOCK_BUSY ? folder : PlatformHoldFileLock(dir + kLockFileName);
    if (folder == PLATFORM_LOCK_BUSY || file == PLATFORM_LOCK_BUSY) {
        fprintf(stderr, "zorv: the game is already running for the data folder '%s'\n", Shown(dir).c_str());
        return false;
    }
    if (folder != PLATFORM_LOCK_TAKEN && !PlatformIdentify(dir, &id)) {
        // Nothing can be reached at its path (a link to a drive not mounted):
        // the folder is away, and the main menu says so.
        NoteProfileDirAway(errno);
        return true;
    }
    NoteClaimedProfileDir(id.device, id.inode);
    if (folder == PLATFORM_LOCK_TAKEN && file == PLATFORM_LOCK_TAKEN) return true;
    if (folder == PLATFORM_LOCK_TAKEN || file == PLATFORM_LOCK_TAKEN) {
        DebugLog(DBG_WARNING, "Cannot lock the %s '%s': the lock on the %s keeps a second copy out\n",
                 folder == PLATFORM_LOCK_TAKEN ? "lock file" : "profile folder",
                 folder == PLATFORM_LOCK_TAKEN ? (dir + kLockFileName).c_str() : dir.c_str(),
                 folder == PLATFORM_LOCK_TAKEN ? "folder" : "lock file");
        return true;
    }
    DebugLog(DBG_WARNING, "Cannot lock the profile folder '%s': another copy of the game could use it too\n",
             dir.c_str());
    CControllerMain::NoteUnlockedDataFolder(PlatformAbsolutePath(dir + kLockFileName));
    return true;
}

void StepProgress(int n) { CDraw::StepProgress(n); }

void ReportSprites() {
    static const char* const kEquals =
        "==================================================================================\n";
    static const char* const kStars =
        "**********************************************************************************\n";
    // The pointer sprites belong to the mouse-pointer object, which is taken
    // down after this report; they are not leftovers of a screen.
    std::vector<CSprite*> left;
    for (CSprite* s : GetSpriteList())
        if (s->GetType() != LAYER_MOUSE) left.push_back(s);
    if (!left.empty()) {
        DebugLog(DBG_DEBUG, "%s", kEquals);
        DebugLog(DBG_DEBUG, "%s", kStars);
        DebugLog(DBG_DEBUG, "main()  WARNING:  All sprites have not been properly unloaded:\n");
        for (CSprite* s : left) DebugLog(DBG_DEBUG, "   %s  (%i,%i)\n", s->GetName(), s->GetX(false), s->GetY(false));
        DebugLog(DBG_DEBUG, "%s", kStars);
        DebugLog(DBG_DEBUG, "%s", kEquals);
    } else {
        DebugLog(DBG_DEBUG, "%s", kEquals);
        DebugLog(DBG_DEBUG, "%s", kStars);
        DebugLog(DBG_DEBUG, "main()  All sprites have been properly unloaded\n");
        DebugLog(DBG_DEBUG, "%s", kStars);
        DebugLog(DBG_DEBUG, "%s", kEquals);
    }
}

// Display, renderer, input, the packs, the pointer and the intro, the frame
// loop over the screens and the shut-down steps before the profile's last
// save. Leaving it destroys the intro, the pointer, input, renderer and
// display, in that order.
void RunScreens() {
    // 11 to 13. Display, renderer, input.
    CDraw draw;
    CRender render;
    CInput input;

    // 14. Images.
    DebugLog(DBG_MILESTONE, "ID_000:  INIT:  Image Load Started\n");
    preloadImages();
    DebugLog(DBG_MILESTONE, "ID_000:  INIT:  Image Load Completed\n");

    // 15. Sounds and music.
    DebugLog(DBG_MILESTONE, "ID_001:  INIT:  Sound Load Started\n");
    CSound::loadSound();
    CSound::CreateMusic();
    DebugLog(DBG_MILESTONE, "ID_001:  INIT:  Sound Load Completed\n");

    // 16. Levels.
    DebugLog(DBG_MILESTONE, "ID_002:  INIT:  Level Load Started\n");
    CLevelSet::SetProgressStep(StepProgress);
    CLevelSet::LoadAll();
    DebugLog(DBG_MILESTONE, "ID_002:  INIT:  Level Load Completed\n");

    // 17. Interface sounds, pointer, score server, the intro.
    DebugLog(DBG_MILESTONE, "ID_003:  INIT:  Miscellaneous Load Started\n");
    CController::LoadSounds();
    CMouse mouse;
    // A host's own server comes from the environment or the parameter file.
    const std::string scoreboardUrl = ChooseScoreServerAddress(kBuiltInScoreServer);
    DebugLog(DBG_DEBUG, "Loading SCOREBOARD_URL:  %s\n", scoreboardUrl.c_str());
    SetScoreServerPath(scoreboardUrl);
    ResetAllScoreBoards();
    CControllerIntro intro;
    intro.Activate(nullptr);
    DebugLog(DBG_MILESTONE, "ID_003:  INIT:  Miscellaneous Load Completed\n");

    while (CController::IsRunning()) {
        CController::PumpCurrent();
        PlaceMousePointer();
        CSound::Update();
        CRender::Render(true);
        CDraw::Present(true, true);
#ifdef ZORV_LOG_MILESTONES
        if (CDraw::GetFrame() == 1) printf("MEASURE:  first frame presented after %li ms\n", MillisecondsSinceStart());
#endif
    }
#ifdef ZORV_LOG_MILESTONES
    printf("MEASURE:  %u frames presented\n", static_cast<unsigned>(CDraw::GetFrame()));
#endif

    CController::UnloadSounds();
    CLevelSet::FreeAll();
    FontQuit();
    ReportSprites();
    DebugLog(DBG_MILESTONE, "ID_900:  SHUTDOWN COMPLETED\n");
}

// Everything from the profile on lives in this scope, so that the objects go
// down in the reverse order of their creation when it ends. False when the
// player's progress could not be saved at the end, and failure says why.
bool Run(int flags, SaveFailure* failure) {
    // 9. The current player's profile.
    CProfile profile;
    CController::SetProfile(&profile);
    CInput::SetInputProfile(&profile);
    CDraw::SetSettings(&profile);
    // The hero's moves and power-ups count their steps in this profile.
    CElement::SetProfile(&profile);
    // 10. A window on request; the profile keeps the choice.
    if (flags & kFlagWindowed) profile.SetFullscreen(false);
    RunScreens();
    // The intro, the pointer, input, renderer and display are down. The
    // profile's last save decides what the exit code says, however the game
    // ended: a quit that saved, one where the player chose to leave without
    // saving, or a terminate signal that asked nobody.
    const bool saved = profile.SaveAtShutdown();
    *failure = profile.GetSaveFailure();
    return saved;
}

// The line on standard error of progress that could not be saved: the
// folder that refused it (the data folder, or the one a link leads to) and
// why, the damaged file that waits for its copy, or the file that cannot be
// reached now (where its link leads).
void TellNotSaved(const SaveFailure& failure) {
    const std::string inData = "in the data folder '" + Shown(GetProfileDir()) + "'";
    const std::string file = Shown(failure.file), why = strerror(failure.error);
    const std::string damaged = ": the damaged file '" + file + "' is not written over before a copy of it is kept";
    std::string told = inData;
    switch (failure.problem) {
    case SaveProblem::WRITE_FAILED:
        if (failure.folder != GetProfileDir())
            told = "in the folder '" + Shown(failure.folder) + "', where '" + file + "' leads";
        told += ": " + why;
        break;
    case SaveProblem::NO_COPY:
        told = damaged + ", and the folder '" + Shown(failure.folder) + "' refused the copy: " + why;
        break;
    case SaveProblem::NO_COPY_NAME:
        told = damaged + ", and all " + std::to_string(CProfileBase::kMaxDamagedCopies) + " names for a copy ('" +
               file + CProfileBase::kDamagedSuffix + "' and on) are taken";
        break;
    case SaveProblem::FOLDER_NOT_OURS: told += ": it is no longer the folder this game locked"; break;
    case SaveProblem::FOLDER_AWAY:
        told += ": it could not be reached when the game started ('" + Shown(failure.folder) + "': " + why +
                "), so nothing was written there";
        break;
    case SaveProblem::UNREACHABLE: told = ": '" + file + "' cannot be reached now: " + why; break;
    default: break;
    }
    fprintf(stderr, "zorv: the %s could not be saved%s%s\n", failure.list ? "list of players" : "progress",
            told[0] == ':' ? "" : " ", told.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // A write past the file-size limit (ulimit -f) fails as on a full disk,
    // and the save that tried it says so, instead of the signal killing the
    // game with a temporary file left behind.
    signal(SIGXFSZ, SIG_IGN);

    // 1, 2. Random seed and command-line flags.
    srand(static_cast<unsigned>(time(nullptr)));
    const int flags = ReadFlags(argc, argv);
    if (flags < 0) return flags == -1 ? 0 : 2;

    // 3. Log: everything off, then notes, warnings and errors.
    InitDebugLog(false);
    EnableDebugCategory(DBG_NOTE);
    EnableDebugCategory(DBG_WARNING);
    EnableDebugCategory(DBG_ERROR);
#ifdef ZORV_LOG_MILESTONES
    // Test builds only: the start-up and shut-down milestones and the sprite
    // report, which the shipped game keeps quiet.
    EnableDebugCategory(DBG_MILESTONE);
    EnableDebugCategory(DBG_DEBUG);
    // Line by line, so a test can follow the program while it runs.
    setvbuf(stdout, nullptr, _IOLBF, 0);
#endif

    // Every resource file is read from the data folder beside the program
    // (PREFIX/share/zorv when installed), wherever the game was started and
    // never from the folder it was started in. Without one, or without a
    // home for an installed game's player files, the game ends here, having
    // written nothing anywhere. The test build lies among the
    // tests, away from any data: its tests start it in the run folder (or a
    // copy of it), which it reads instead.
#ifndef ZORV_LOG_MILESTONES
    std::string noData;
    bool installed = false;
    if (!EnterDataFolder(&noData, &installed) || (installed && !HasPlayerFolders(&noData))) {
        fprintf(stderr, "zorv: %s\n", noData.c_str());
        return 1;
    }
#endif

    // 4. Images and sounds come from the packs, not from loose folders.
    CDraw::SetUrlDir(false);
    CSound::SetLoadFromDirectory(false);

    // 6. The profile and levels folders, before the parameter file: every
    // line of the log file goes into the profile folder, never into the
    // data folder or the one the game was started in. Claimed before
    // anything is written there (LOG.TXT included) or a window opens: a
    // second copy leaves both untouched.
    InitDirectories();
    if (!ClaimProfileDir()) return 1;
    // 5. The parameter file.
    LoadParameters();

    // 7. String table and fonts.
    DebugLog(DBG_DEBUG, "Loading FONT1_URL:  %s\n", "./");
    DebugLog(DBG_DEBUG, "Loading FONT2_URL:  %s\n", kStringTableFile);
    FontInit("./", kStringTableFile);

    // Before SDL starts, so that a terminate signal is told from the
    // window's close button.
    CInput::CatchTerminateSignals();

    // 8. Sound, unless switched off.
    if (!(flags & kFlagNoSound)) CSound::Init(!(flags & kFlagAskSoundOutput));
    // Ctrl+C or a terminate signal while the console dialogue waited for an
    // answer ends the game there, before its window opens: no player has
    // been read yet, so nothing is left to save.
    if (CInput::IsTerminating()) return 0;

    int code = 0;
    SaveFailure failure;
    if (!Run(flags, &failure)) {
        TellNotSaved(failure);
        code = 1;
    }
    // A terminate signal over unsaved editor work that no folder could take.
    if (IsUnsavedLevelLost()) {
        fprintf(stderr, "zorv: the unsaved level could be kept neither in the levels folder '%s' nor in the data "
                        "folder '%s'\n",
                Shown(GetLevelsDir()).c_str(), Shown(GetProfileDir()).c_str());
        code = 1;
    }
    return code;
}
