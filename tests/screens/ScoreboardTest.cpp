// The score board on the real resources, against the real score server
// (zorv_scored on a free loopback port): registering a name, uploading a
// result and seeing it ranked; the same against a server that refuses, stays
// silent, hangs up or answers garbage (the message is shown, nothing local
// is lost); the online boards of the main menu; and the post-game pages with
// the answers the play screen reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiTextbox.h"
#include "gui/CInvalidMark.h"
#include "players/CProfile.h"
#include "players/ScoreClient.h"
#include "screens/CControllerPassword.h"
#include "screens/CControllerScoreboard.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerScoreboardName.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/screens/ScreenTest.h"
#include "tests/support/CScoreServerProcess.h"
#include "tests/support/CScoreTestServer.h"
#include "tests/support/TestSupport.h"
#include "world/CLevelSet.h"

namespace {

using Mode = CScoreTestServer::Mode;

bool Has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

class ScoreboardTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ResetAllScoreBoards();
        SetScoreRequestTimeout(2);
        root.Activate(nullptr);
        Profile().SetPassword("");
        Profile().SetScoreboardName("");
    }
    void TearDown() override {
        board.reset();
        SetScoreRequestTimeout(0);
        SetScoreGiveUpCheck(nullptr);
        ScreenTest::TearDown();
    }

    // The profile's current level, finished in the given number of steps.
    static void Solve(int set, int level, int steps) {
        Profile().SetLevelSteps(0, set, level);  // open, not solved yet
        Profile().SetCurrentSet(set);
        Profile().SetCurrentLevel(level);
        Profile().SetStepCount(steps);
        ASSERT_TRUE(Profile().RecordSetLevelSteps());
    }
    static void SetLevel(int set, int level) {
        Profile().SetCurrentSet(set);
        Profile().SetCurrentLevel(level);
    }
    // What the profile file on disk says (a second profile object reads it).
    static int StoredSteps(int set, int level) {
        CProfile other;
        return other.GetLevelSteps(set, level, false);
    }
    static std::string StoredScoreboardName() {
        CProfile other;
        const char* name = other.GetScoreboardName(-1);
        return name ? name : "";
    }

    void Open(int type, bool noSet = false) {
        board = std::make_unique<CControllerScoreboard>(type, noSet);
        root.OpenChild(board.get());
        Frames(2);  // opened, then the pointer on the default button
    }
    // The overall boards as the main menu opens them (the regular set's
    // first), against the server.
    void OpenOverall(CScoreServerProcess& server) {
        SetScoreServerPath(server.Address());
        SetLevel(0, 0);
        Open(SCOREBOARD_OVERALL);
    }
    // The post-game page of a level solved in steps, and its submit pressed,
    // against the server.
    template <class Server>
    void SubmitSolved(Server& server, int level, int steps) {
        SetScoreServerPath(server.Address());
        Solve(0, level, steps);
        Open(SCOREBOARD_SOLVED);
        Press(CControllerScoreboard::BUTTON_SUBMIT);
    }
    // escape: the player presses Escape while the button's requests wait.
    void Press(int buttonId, bool escape = false) {
        CGuiButton* b = board->GetButton(buttonId);
        ASSERT_NE(b, nullptr) << buttonId;
        ASSERT_FALSE(b->IsHidden()) << buttonId;
        Click(b->GetCentreX(), b->GetCentreY());
        if (escape) TapKey(SDLK_ESCAPE);
        Frame();
    }
    // Closes the message box the board opened with its okay button.
    void DismissMessage() {
        ASSERT_NE(board->GetMessage(), nullptr);
        ASSERT_EQ(CController::GetCurrent(), board->GetMessage());
        TapKey(SDLK_RETURN);
        Frames(2);
    }
    // Types into the open name dialog over what it proposes, then okay.
    void EnterName(const char* name) {
        CControllerScoreboardName* dialog = board->GetNameDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(CController::GetCurrent(), dialog);
        for (int i = 0; i < CControllerScoreboardName::kNameLength; ++i) TapKey(SDLK_BACKSPACE);
        TypeText(name);
        Frame();
        EXPECT_STREQ(dialog->GetTextbox()->GetText(), name);
        TapKey(SDLK_RETURN);
        Frames(2);
    }
    static void FillBoard(CScoreServerProcess& server, int type, int level, int players) {
        static const char* const kNames[] = {"Ada", "Bo", "Cy", "Di", "Ed", "Flo", "Gus", "Hal", "Ida", "Jo", "Kit", "Lu"};
        for (int i = 0; i < players; ++i) server.AddScore(type, level, kNames[i % 12] + std::to_string(i / 12), 10 * (i + 1));
    }

    RecordingOwner root{13};
    std::unique_ptr<CControllerScoreboard> board;
};

TEST_F(ScoreboardTest, SolvedLevelRegistersANameUploadsAndShowsItsRank) {
    CScoreServerProcess server;
    SetScoreServerPath(server.Address());
    FillBoard(server, 0, 12, 12);
    Solve(0, 12, 57);

    Open(SCOREBOARD_SOLVED);
    EXPECT_TRUE(Has(board->GetDrawnTexts(), "3208:57"));
    EXPECT_TRUE(Has(board->GetDrawnTexts(), "3210"));  // the first solution
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), board->GetButton(CControllerScoreboard::BUTTON_CONTINUE));

    // No name yet: submit asks for one, proposing the profile's name.
    Press(CControllerScoreboard::BUTTON_SUBMIT);
    ASSERT_NE(board->GetNameDialog(), nullptr);
    EXPECT_STREQ(board->GetNameDialog()->GetTextbox()->GetText(), Profile().GetProfileName(-1));
    EXPECT_EQ(board->GetNameDialog()->GetMark(), nullptr);
    EnterName("Tester");

    // Registered, uploaded, downloaded: the solved level's board, own row
    // sixth between the arrows.
    EXPECT_EQ(server.StoredScore(0, 12, "Tester"), 57);
    EXPECT_EQ(StoredScoreboardName(), "Tester");
    EXPECT_EQ(board->GetType(), SCOREBOARD_LEVEL_SOLVED);
    const std::vector<std::string>& rows = board->GetDrawnRows();
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[0], "Ada0|10");
    EXPECT_EQ(rows[5], "Tester|57");
    EXPECT_EQ(board->GetDrawnRankLine(), "");
    EXPECT_FALSE(board->GetArrow(0)->IsHidden());
    EXPECT_EQ(board->GetArrow(0)->GetY(false), 177 + 18 * 6);
    EXPECT_TRUE(board->GetButton(CControllerScoreboard::BUTTON_SUBMIT)->IsHidden());
    // The arrows swing while the board is shown.
    std::set<int> xs;
    for (int f = 0; f < 24; ++f) {
        Frame();
        xs.insert(board->GetArrow(0)->GetX(false));
    }
    EXPECT_GE(xs.size(), 3u);
    // Registration, upload and download: the board's own requests.
    const std::vector<std::string> asked = server.Requests();
    ASSERT_EQ(asked.size(), 24u + 4u);
    EXPECT_EQ(asked[24], "op=addUser&user=Tester&version=1.03W -> success");
    EXPECT_EQ(asked[25], "op=uploadScore&user=Tester&type=0&level=12&score=57&cheat=0 -> success added");
    EXPECT_EQ(asked[26], "op=downloadScore&user=Tester&type=0&level=12 -> success 10 of 13");
}

TEST_F(ScoreboardTest, TakenNameComesBackWithTheMarkAndTheServersProposal) {
    CScoreServerProcess server;
    server.AddScore(0, 13, "Tester", 30);
    SubmitSolved(server, 13, 75);
    EnterName("Tester");

    CControllerScoreboardName* again = board->GetNameDialog();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(CController::GetCurrent(), again);
    EXPECT_STREQ(again->GetTextbox()->GetText(), "Tester1");
    ASSERT_NE(again->GetMark(), nullptr);
    EXPECT_FALSE(again->GetMark()->GetSprite()->IsHidden());
    EXPECT_TRUE(again->GetMark()->GetSprite()->IsStopped());
    // The mark over the prompt, the field and the pair of buttons are
    // centred on the panel, which stands in the middle of the screen.
    auto middle = [](CSprite* s) { return s->GetX(false) + s->GetWidth(true) / 2; };
    EXPECT_NEAR(middle(again->GetMark()->GetSprite()), 400, 1);
    EXPECT_NEAR(middle(again->GetTextbox()->GetTextSprite()), 400, 1);
    EXPECT_NEAR((again->GetOkayButton()->GetCentreX() + again->GetCancelButton()->GetCentreX()) / 2, 400, 1);
    Frames(30);
    EXPECT_TRUE(again->GetMark()->GetSprite()->IsPlayingForward());
    TapKey(SDLK_RETURN);  // take the proposal
    Frames(2);
    EXPECT_EQ(StoredScoreboardName(), "Tester1");
    EXPECT_EQ(server.StoredScore(0, 13, "Tester1"), 75);
    EXPECT_TRUE(Has(board->GetDrawnRows(), "Tester1|75"));
}

TEST_F(ScoreboardTest, CancelledNameDialogRegistersNothing) {
    CScoreServerProcess server;
    SubmitSolved(server, 15, 20);
    TapKey(SDLK_ESCAPE);
    Frames(2);
    EXPECT_EQ(CController::GetCurrent(), board.get());
    EXPECT_EQ(board->GetNameDialog(), nullptr);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_FALSE(Profile().HasScoreboardName(-1));
    EXPECT_EQ(board->GetType(), SCOREBOARD_SOLVED);
}

// A server that fails in one way or another after a first good download
// from the real one.
struct Failure {
    const char* name;
    Mode mode;
    int code;            // for kRefuse
    bool unreachable;    // no server at that address at all
    const char* shown;   // what the message box says ("" for the no-answer text)
};

class ScoreboardFailureTest : public ScoreboardTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(ScoreboardFailureTest, FailedRequestShowsWhyAndLosesNothing) {
    const Failure f = GetParam();
    CScoreServerProcess server;
    SetScoreServerPath(server.Address());
    FillBoard(server, 0, 17, 3);
    server.AddScore(0, 17, "Keeper", 44);
    Profile().SetScoreboardName("Keeper");
    Solve(0, 17, 44);
    CLevelSet::GetSet(0)->SetCurrentLevel(17);

    // The level's board, seen from the map.
    Open(SCOREBOARD_LEVEL_MAP);
    EXPECT_TRUE(board->GetDrawnRows().empty());
    Press(CControllerScoreboard::BUTTON_DOWNLOAD_LEVEL);
    ASSERT_TRUE(Has(board->GetDrawnRows(), "Keeper|44"));
    EXPECT_TRUE(board->GetButton(CControllerScoreboard::BUTTON_DOWNLOAD_LEVEL)->IsHidden());

    // A better result, recorded while the server is out of order.
    Solve(0, 17, 40);
    CScoreTestServer failing(f.mode, f.code);
    if (f.unreachable)
        SetScoreServerPath("http://127.0.0.1:" + std::to_string(CScoreTestServer::RefusedPort()) + "/zorv/");
    else
        SetScoreServerPath(failing.Address());
    Open(SCOREBOARD_SOLVED);
    Press(CControllerScoreboard::BUTTON_SUBMIT);
    ASSERT_NE(board->GetMessage(), nullptr) << f.name;
    EXPECT_EQ(board->GetMessageText(), f.shown);
    DismissMessage();
    // Back on the post-game page, which still offers the submit; the result
    // stays recorded and the board keeps the rows it had.
    EXPECT_EQ(CController::GetCurrent(), board.get());
    EXPECT_EQ(board->GetType(), SCOREBOARD_SOLVED);
    EXPECT_FALSE(board->GetButton(CControllerScoreboard::BUTTON_SUBMIT)->IsHidden());
    EXPECT_EQ(Profile().GetLevelSteps(0, 17, false), 40);
    EXPECT_EQ(StoredSteps(0, 17), 40);
    const CScoreBoard* kept = GetLevelScoreBoard(0, 17);
    EXPECT_EQ(kept->count, 4);
    ASSERT_EQ(kept->entries.size(), 4u);
    EXPECT_EQ(kept->entries[3].score, 44);

    // Once the server answers again, the same submit takes the result up.
    SetScoreServerPath(server.Address());
    Press(CControllerScoreboard::BUTTON_SUBMIT);
    EXPECT_EQ(board->GetMessage(), nullptr);
    EXPECT_EQ(board->GetType(), SCOREBOARD_LEVEL_SOLVED);
    EXPECT_TRUE(Has(board->GetDrawnRows(), "Keeper|40"));
    EXPECT_EQ(server.StoredScore(0, 17, "Keeper"), 40);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, ScoreboardFailureTest,
    ::testing::Values(Failure{"refused", Mode::kGarbage, 0, true, ""}, Failure{"garbage", Mode::kGarbage, 0, false, ""},
                      Failure{"hangup", Mode::kHangUp, 0, false, ""}, Failure{"silent", Mode::kSilent, 0, false, ""},
                      Failure{"unknown user", Mode::kRefuse, 10, false, "Specified user does not exist."},
                      Failure{"code without text", Mode::kRefuse, 15, false, "15"}),
    [](const ::testing::TestParamInfo<Failure>& info) {
        std::string n = info.param.name;
        std::replace(n.begin(), n.end(), ' ', '_');
        return n;
    });

// The real server past this address's upload budget (one at once, here):
// the submit's upload is answered 429, the board says the server is busy,
// and the download is not asked for.
TEST_F(ScoreboardTest, SubmitPastTheUploadBudgetSaysTheServerIsBusy) {
    CScoreServerProcess server({"--uploads", "1,1"});
    server.AddScore(0, 23, "Eager", 90);  // the one upload of the budget
    Profile().SetScoreboardName("Eager");
    SubmitSolved(server, 23, 50);
    ASSERT_NE(board->GetMessage(), nullptr);
    EXPECT_EQ(board->GetMessage()->GetBodyId(), 2327);
    EXPECT_EQ(server.Requests().back(), "op=uploadScore&user=Eager&type=0&level=23&score=50&cheat=0 -> failure 18 "
                                        "busy: over this address's budget, retry after 60 s");
    EXPECT_EQ(server.StoredScore(0, 23, "Eager"), 90);
    DismissMessage();
    EXPECT_EQ(board->GetType(), SCOREBOARD_SOLVED);
    EXPECT_EQ(StoredSteps(0, 23), 50);
}

TEST_F(ScoreboardTest, RegistrationWithoutAnAnswerKeepsTheTypedName) {
    CScoreTestServer silent(Mode::kSilent, 0);
    SubmitSolved(silent, 19, 33);
    EnterName("Patient");
    ASSERT_NE(board->GetMessage(), nullptr);
    EXPECT_EQ(board->GetMessageText(), "");  // "cannot be reached"
    DismissMessage();
    EXPECT_FALSE(Profile().HasScoreboardName(-1));
    // The next submit proposes what was typed.
    CScoreServerProcess server;
    SetScoreServerPath(server.Address());
    Press(CControllerScoreboard::BUTTON_SUBMIT);
    ASSERT_NE(board->GetNameDialog(), nullptr);
    EXPECT_STREQ(board->GetNameDialog()->GetTextbox()->GetText(), "Patient");
    TapKey(SDLK_RETURN);
    Frames(2);
    EXPECT_EQ(server.StoredScore(0, 19, "Patient"), 33);
}

TEST_F(ScoreboardTest, RefusedNameShowsTheReasonThenTheDialogWithWhatWasTyped) {
    CScoreServerProcess server;
    SubmitSolved(server, 21, 12);
    CControllerScoreboardName* dialog = board->GetNameDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->SetText("%b%1");  // what no box lets a player type; the server refuses it
    TapKey(SDLK_RETURN);
    Frames(2);
    ASSERT_NE(board->GetMessage(), nullptr);
    EXPECT_EQ(board->GetMessageText(), "Specified user name has invalid characters.");
    DismissMessage();
    Frame();
    ASSERT_NE(board->GetNameDialog(), nullptr);
    EXPECT_STREQ(board->GetNameDialog()->GetTextbox()->GetText(), "%b%1");
    EXPECT_NE(board->GetNameDialog()->GetMark(), nullptr);
}

// Every refusal of a name brings the dialog back (save a connection
// failure) with a mark that tells the truth: "That name is taken" only when
// it is, "Name not accepted" after any other reason, which the message box
// before it gave.
struct Refusal {
    const char* name;
    const char* typed;
    int code;           // the test server's refusal; 0: the real server, -1: a hang-up
    const char* shown;  // the message box before the dialog (null: none)
    const char* mark;   // the first picture of the dialog's mark ("": no dialog)
    const char* proposed;
};
void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class ScoreboardRefusalTest : public ScoreboardTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ScoreboardRefusalTest, NameDialogComesBackWithATrueMark) {
    const Refusal r = GetParam();
    std::unique_ptr<CScoreServerProcess> real;
    std::unique_ptr<CScoreTestServer> fake;
    if (r.code == 0) {
        real = std::make_unique<CScoreServerProcess>();
        real->AddScore(0, 29, "Tester", 30);
        SubmitSolved(*real, 29, 41);
    } else {
        fake = std::make_unique<CScoreTestServer>(r.code < 0 ? Mode::kHangUp : Mode::kRefuse, r.code);
        SubmitSolved(*fake, 29, 41);
    }
    EnterName(r.typed);
    if (r.shown) {
        ASSERT_NE(board->GetMessage(), nullptr);
        EXPECT_EQ(board->GetMessageText(), r.shown);
        DismissMessage();
        Frame();
    } else {
        EXPECT_EQ(board->GetMessage(), nullptr);
    }
    EXPECT_FALSE(Profile().HasScoreboardName(-1));
    if (!*r.mark) {
        EXPECT_EQ(board->GetNameDialog(), nullptr);
        EXPECT_EQ(CController::GetCurrent(), board.get());
        return;
    }
    CControllerScoreboardName* again = board->GetNameDialog();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(CController::GetCurrent(), again);
    EXPECT_STREQ(again->GetTextbox()->GetText(), r.proposed);
    ASSERT_NE(again->GetMark(), nullptr);
    CSprite* mark = again->GetMark()->GetSprite();
    EXPECT_FALSE(mark->IsHidden());
    const int picture = CDraw::FindImage(r.mark);
    ASSERT_GE(picture, 0) << r.mark;
    EXPECT_EQ(mark->GetFrameImage(0), picture);
    // Both marks stand over the prompt in the middle of the screen.
    EXPECT_NEAR(mark->GetX(false) + mark->GetWidth(true) / 2, 400, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ScoreboardRefusalTest,
    ::testing::Values(
        Refusal{"taken", "Tester", 0, nullptr, "scoreboard_user_invalid5.png", "Tester1"},
        Refusal{"bad characters", "Ada  Bo", 0, "Specified user name has invalid characters.",
                "scoreboard_name_refused5.png", "Ada  Bo"},
        Refusal{"rude", "Wanker", 0, "Specified user name contains profanity.", "scoreboard_name_refused5.png",
                "Wanker"},
        Refusal{"length", "Patient", 11, "Specified user name has an invalid length.",
                "scoreboard_name_refused5.png", "Patient"},
        Refusal{"server fault", "Patient", kScoreErrorServerFault, "15", "scoreboard_name_refused5.png", "Patient"},
        Refusal{"unreadable", "Patient", kScoreErrorUnreadable, "16", "scoreboard_name_refused5.png", "Patient"},
        Refusal{"hangup", "Patient", -1, "", "", ""}),
    [](const ::testing::TestParamInfo<Refusal>& info) {
        std::string n = info.param.name;
        std::replace(n.begin(), n.end(), ' ', '_');
        return n;
    });

// A server that takes the connection and says nothing costs one request's
// wait, not one per request of the action: after the first goes unanswered
// the action sends nothing more and says the server cannot be reached. The
// player can cut that wait short with Escape, as a note over the page says
// while the request waits: the action ends at once and says the game gave
// up waiting. One that says it is too busy (429) is left
// alone as well, and the player is told it is busy and to try again later.
// Each is handled, not an error: nothing goes into LOG.TXT.
struct SilentAction {
    const char* name;
    int type;        // the page it starts on
    bool named;      // the profile has a score board name
    bool allSolved;  // every set completed and the level solved (uploads due)
    Mode mode = Mode::kSilent;
    bool escape = false;  // Escape pressed while the first request waits
};
void PrintTo(const SilentAction& a, std::ostream* os) { *os << a.name; }

class ScoreboardSilentTest : public ScoreboardTest, public ::testing::WithParamInterface<SilentAction> {};

// Whether the wait note stood on screen while a request waited: the game's
// own check for Escape, asked meanwhile, looks first.
bool noteSeen = false;
bool LookThenTakeEscape() {
    noteSeen = noteSeen || CControllerScoreboard::IsWaitNoteShown();
    return CInput::TakeEscapePress();
}

TEST_P(ScoreboardSilentTest, OneRequestUnansweredOrBusyEndsTheAction) {
    const SilentAction a = GetParam();
    SetScoreRequestTimeout(1);
    noteSeen = false;
    SetScoreGiveUpCheck(&LookThenTakeEscape);
    CScoreTestServer silent(a.mode, 0);
    SetScoreServerPath(silent.Address());
    Profile().SetScoreboardName(a.named ? "Waiter" : "");
    if (a.allSolved) {
        for (int s = 0; s < 3; ++s) Profile().SetSetCompleted(1, s);
        Solve(0, 31, 52);
    }
    SetLevel(0, 31);
    CLevelSet::GetSet(0)->SetCurrentLevel(31);
    const std::string logBefore = ReadFileText(LogFilePath());
    Open(a.type);
    switch (a.type) {
    case SCOREBOARD_OVERALL: Press(CControllerScoreboard::BUTTON_DOWNLOAD_ALL, a.escape); break;
    case SCOREBOARD_LEVEL_MAP: Press(CControllerScoreboard::BUTTON_DOWNLOAD_LEVEL, a.escape); break;
    default:
        Press(CControllerScoreboard::BUTTON_SUBMIT, a.escape);
        if (!a.named) EnterName("Waiter");
        break;
    }
    for (int s = 0; s < 3; ++s) Profile().SetSetCompleted(0, s);
    // Given up at once, the request may not even have reached the server.
    if (a.escape)
        EXPECT_LE(silent.RequestLines().size(), 1u);
    else
        EXPECT_EQ(silent.RequestLines().size(), 1u);
    ASSERT_NE(board->GetMessage(), nullptr);
    EXPECT_EQ(board->GetMessageText(), "");
    // "gave up waiting", "busy", "cannot be reached"
    EXPECT_EQ(board->GetMessage()->GetBodyId(), a.escape ? 2325 : a.mode == Mode::kBusy ? 2327 : 2326);
    EXPECT_TRUE(noteSeen || a.mode == Mode::kBusy);
    EXPECT_FALSE(CControllerScoreboard::IsWaitNoteShown());
    for (int s = 0; s < 3; ++s) EXPECT_FALSE(GetOverallScoreBoard(s)->IsDownloaded()) << s;
    EXPECT_FALSE(GetLevelScoreBoard(0, 31)->IsDownloaded());
    DismissMessage();
    EXPECT_EQ(CController::GetCurrent(), board.get());
    EXPECT_EQ(ReadFileText(LogFilePath()), logBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ScoreboardSilentTest,
    ::testing::Values(SilentAction{"all sets", SCOREBOARD_OVERALL, false, false},
                      SilentAction{"all sets uploading", SCOREBOARD_OVERALL, true, true},
                      SilentAction{"level uploading", SCOREBOARD_LEVEL_MAP, true, true},
                      SilentAction{"submit", SCOREBOARD_SOLVED, true, true},
                      SilentAction{"registration", SCOREBOARD_SOLVED, false, true},
                      SilentAction{"all sets busy", SCOREBOARD_OVERALL, false, false, Mode::kBusy},
                      SilentAction{"all sets uploading busy", SCOREBOARD_OVERALL, true, true, Mode::kBusy},
                      SilentAction{"level uploading busy", SCOREBOARD_LEVEL_MAP, true, true, Mode::kBusy},
                      SilentAction{"submit busy", SCOREBOARD_SOLVED, true, true, Mode::kBusy},
                      SilentAction{"registration busy", SCOREBOARD_SOLVED, false, true, Mode::kBusy},
                      SilentAction{"all sets given up", SCOREBOARD_OVERALL, false, false, Mode::kSilent, true},
                      SilentAction{"all sets uploading given up", SCOREBOARD_OVERALL, true, true, Mode::kSilent, true},
                      SilentAction{"level uploading given up", SCOREBOARD_LEVEL_MAP, true, true, Mode::kSilent, true},
                      SilentAction{"submit given up", SCOREBOARD_SOLVED, true, true, Mode::kSilent, true}),
    [](const ::testing::TestParamInfo<SilentAction>& info) {
        std::string n = info.param.name;
        std::replace(n.begin(), n.end(), ' ', '_');
        return n;
    });

TEST_F(ScoreboardTest, OverallBoardsOfTheMainMenuAndTheirTabs) {
    CScoreServerProcess server;
    for (int set = 0; set < 3; ++set) FillBoard(server, set, kOverallScoreLevel, 3 + set);
    OpenOverall(server);
    // "Show:" and the set tabs stand as one row centred on the screen.
    Frame();
    CGuiButton* regular = board->GetButton(CControllerScoreboard::BUTTON_TAB_REGULAR);
    const SDL_Rect show = InkSpan(150, regular->GetY(), regular->GetX(), regular->GetY() + 32);
    const SDL_Rect tab = OpaqueBox("hiscores_button_kidsbase.png");
    const int rowEnd = board->GetButton(CControllerScoreboard::BUTTON_TAB_KIDS)->GetX() + tab.x + tab.w;
    EXPECT_NEAR((show.x + rowEnd) / 2.0, 400, 1);
    EXPECT_TRUE(Has(board->GetDrawnTexts(), "3200"));
    EXPECT_TRUE(Has(board->GetDrawnTexts(), "3201"));
    EXPECT_FALSE(board->GetButton(CControllerScoreboard::BUTTON_DOWNLOAD_ALL)->IsHidden());
    const size_t seeded = server.Requests().size();
    Press(CControllerScoreboard::BUTTON_DOWNLOAD_ALL);
    EXPECT_EQ(server.Requests().size(), seeded + 3);
    EXPECT_EQ(board->GetDrawnRows().size(), 3u);
    EXPECT_TRUE(board->GetArrow(0)->IsHidden());  // not on the board
    Press(CControllerScoreboard::BUTTON_TAB_KIDS);
    EXPECT_EQ(board->GetSet(), 2);
    EXPECT_EQ(board->GetDrawnRows().size(), 5u);
    EXPECT_TRUE(Has(board->GetDrawnTexts(), "3203"));
    board->GUICallback(CControllerScoreboard::BUTTON_TAB_KIDS, 0, false);  // the same tab: nothing
    EXPECT_EQ(server.Requests().size(), seeded + 3);  // tabs read the stored boards
    TapKey(SDLK_ESCAPE);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), &root);
}

TEST_F(ScoreboardTest, SecondSetFailingStillAsksForTheThird) {
    const std::string ok = "success\n1\n1\tAda\t100\tx\n";
    CScoreTestServer server({CScoreTestServer::Ok(ok), CScoreTestServer::Ok("failure\n14\n"),
                             CScoreTestServer::Ok(ok)});
    SetScoreServerPath(server.Address());
    Open(SCOREBOARD_OVERALL);
    Press(CControllerScoreboard::BUTTON_DOWNLOAD_ALL);
    server.Join();
    EXPECT_EQ(server.RequestLines().size(), 3u);
    ASSERT_NE(board->GetMessage(), nullptr);
    EXPECT_EQ(board->GetMessageText(), "Specified game type does not exist.");
    EXPECT_EQ(GetOverallScoreBoard(0)->count, 1);
    EXPECT_EQ(GetOverallScoreBoard(1)->count, -1);
    EXPECT_EQ(GetOverallScoreBoard(2)->count, 1);
}

// A board that came down empty says so in its box; one never downloaded
// offers its download instead, and one with a row shows the row.
TEST_F(ScoreboardTest, ABoardThatCameDownEmptySaysThereAreNoScoresYet) {
    CScoreServerProcess server;
    server.AddScore(1, kOverallScoreLevel, "Ada", 700);
    OpenOverall(server);
    const std::string noScores = "3212";
    EXPECT_FALSE(Has(board->GetDrawnTexts(), noScores)) << "never downloaded";
    Press(CControllerScoreboard::BUTTON_DOWNLOAD_ALL);
    EXPECT_TRUE(board->GetDrawnRows().empty());
    EXPECT_TRUE(Has(board->GetDrawnTexts(), noScores)) << "downloaded empty";
    EXPECT_TRUE(board->GetButton(CControllerScoreboard::BUTTON_DOWNLOAD_ALL)->IsHidden());
    Press(CControllerScoreboard::BUTTON_TAB_ADVANCED);
    EXPECT_EQ(board->GetDrawnRows(), std::vector<std::string>{"Ada|700"});
    EXPECT_FALSE(Has(board->GetDrawnTexts(), noScores)) << "one score";
}

TEST_F(ScoreboardTest, OwnRankBeyondTenReadsOnlyWhatTheServerSent) {
    Profile().SetScoreboardName("Tester");
    SetLevel(1, 3);
    // The player ranks 57th, but the answer stops after four rows.
    CScoreTestServer shortServer(
        {CScoreTestServer::Ok("success\n250\n1\tAda\t5\tx\n2\tBo\t6\tx\n3\tCy\t7\tx\n57\tTester\t1234\tx\n")});
    SetScoreServerPath(shortServer.Address());
    Open(SCOREBOARD_LEVEL_MENU);
    Press(CControllerScoreboard::BUTTON_DOWNLOAD_LEVEL);
    EXPECT_EQ(board->GetDrawnRows().size(), 4u);
    EXPECT_EQ(board->GetDrawnRankLine(), "57th of 250");
    EXPECT_TRUE(board->GetArrow(0)->IsHidden());

    // Eleventh of a full answer: ten rows, the line and the own row below.
    CScoreServerProcess server;
    SetScoreServerPath(server.Address());
    for (int i = 1; i <= 10; ++i) server.AddScore(1, 3, "P" + std::to_string(i), i == 10 ? 9 : i);
    server.AddScore(1, 3, "Tester", 1234);
    const auto download = [&](int arrowY, const char* rankLine) {
        board->GUICallback(CControllerScoreboard::BUTTON_DOWNLOAD_LEVEL, 0, false);
        EXPECT_EQ(board->GetDrawnRankLine(), rankLine);
        EXPECT_FALSE(board->GetArrow(0)->IsHidden());
        EXPECT_EQ(board->GetArrow(0)->GetY(false), arrowY);
    };
    download(405, "11th of 11");
    ASSERT_EQ(board->GetDrawnRows().size(), 11u);
    EXPECT_EQ(board->GetDrawnRows()[10], "Tester|1,234");
    // Equal scores share a rank: tied with the ninth and tenth, he is ninth
    // but drawn eleventh, under the ten rows; tied with the third, he is
    // marked on the fourth row, where he stands.
    server.AddScore(1, 3, "Tester", 9);
    download(405, "9th of 11");
    EXPECT_EQ(board->GetDrawnRows()[10], "Tester|9");
    server.AddScore(1, 3, "Tester", 3);
    download(177 + 18 * 4, "");
    EXPECT_EQ(board->GetDrawnRows()[3], "Tester|3");
}

TEST_F(ScoreboardTest, RankLinesUseEnglishOrdinals) {
    const std::pair<int, const char*> cases[] = {{11, "11th of 250"}, {21, "21st of 250"},  {112, "112th of 250"},
                                                 {113, "113th of 250"}, {102, "102nd of 250"}, {23, "23rd of 250"},
                                                 {12, "12th of 250"}, {101, "101st of 250"}, {111, "111th of 250"}};
    for (const auto& c : cases) EXPECT_EQ(CControllerScoreboard::FormatRank(c.first, 250), c.second);
}

// A row's name, however wide, ends clear of its step count: the widest
// name a player can choose is cut short with "..." instead of running into
// the count.
TEST_F(ScoreboardTest, AWideNameEndsBeforeItsCount) {
    CScoreServerProcess server;
    server.AddScore(0, kOverallScoreLevel, "WWWWWWWWWWWWWWW", 12345);
    OpenOverall(server);
    Press(CControllerScoreboard::BUTTON_DOWNLOAD_ALL);
    ASSERT_EQ(board->GetDrawnRows().size(), 1u);
    SDL_Surface* page = CDraw::GetSurface(board->GetBackground()->GetFrameImage(0));
    ASSERT_NE(page, nullptr);
    // The first row on the page: ink is the text's dark blue.
    int first = -1, last = -1, widestGap = 0, gap = 0;
    for (int x = 234; x < 456; ++x) {
        bool ink = false;
        for (int y = 180; y < 180 + 18 && !ink; ++y) {
            Uint8 r, g, b;
            SDL_GetRGB(CDraw::GetPixel(page, x, y), page->format, &r, &g, &b);
            ink = r + g + b < 300;
        }
        if (!ink) {
            ++gap;
            continue;
        }
        if (first >= 0) widestGap = std::max(widestGap, gap);
        if (first < 0) first = x;
        last = x;
        gap = 0;
    }
    EXPECT_GE(first, 242) << "the name starts outside the table";
    EXPECT_LE(last, 448) << "the count ends outside the table";
    EXPECT_GE(widestGap, 6) << "the name runs into its count";
}

// The rows of page y from..to-1 where a page differs from the blank
// parchment, in blocks parted by at least 10 rows that do not.
std::vector<std::pair<int, int>> InkedRowBlocks(SDL_Surface* page, SDL_Surface* blank, int from, int to) {
    std::vector<std::pair<int, int>> blocks;
    for (int y = from; y < to; ++y)
        for (int x = 0; x < std::min(page->w, blank->w); ++x) {
            Uint8 r, g, b, r0, g0, b0;
            SDL_GetRGB(CDraw::GetPixel(page, x, y), page->format, &r, &g, &b);
            SDL_GetRGB(CDraw::GetPixel(blank, x, y), blank->format, &r0, &g0, &b0);
            if (std::abs(r - r0) + std::abs(g - g0) + std::abs(b - b0) < 48) continue;
            if (blocks.empty() || y - blocks.back().second > 10)
                blocks.push_back({y, y});
            else
                blocks.back().second = y;
            break;
        }
    return blocks;
}

// The middle of the columns of page rows from..to-1 where a page differs
// from the blank parchment.
double InkedMiddle(SDL_Surface* page, SDL_Surface* blank, int from, int to) {
    int first = -1, last = -1;
    for (int x = 0; x < std::min(page->w, blank->w); ++x)
        for (int y = from; y < to; ++y) {
            Uint8 r, g, b, r0, g0, b0;
            SDL_GetRGB(CDraw::GetPixel(page, x, y), page->format, &r, &g, &b);
            SDL_GetRGB(CDraw::GetPixel(blank, x, y), blank->format, &r0, &g0, &b0);
            if (std::abs(r - r0) + std::abs(g - g0) + std::abs(b - b0) < 48) continue;
            if (first < 0) first = x;
            last = x;
            break;
        }
    return (first + last + 1) / 2.0;
}

TEST_F(ScoreboardTest, LostPageAnswersUndoRetryAndTheSolution) {
    SetLevel(0, 23);
    Open(SCOREBOARD_LOST);
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), board->GetButton(CControllerScoreboard::BUTTON_RETRY));
    // Its six rows are set upright alike: try again, undo, solution,
    // instructions, select level, main menu.
    for (int id : {3609, 3622, 3610, 3611, 3605, 3600}) {
        SDL_FreeSurface(FontRenderString(186, 29, 3, id));
        for (const FontRunPlacement& run : FontGetLastPlacements()) EXPECT_EQ(run.style & 2, 0) << "text " << id;
    }
    // On the lost and the singed page the professor stands midway between
    // the heading and Try again.
    const int blank = CDraw::GetImage("parchment.png");
    for (int type : {SCOREBOARD_LOST, SCOREBOARD_SINGED}) {
        if (type == SCOREBOARD_SINGED) {
            board.reset();  // the old page's picture goes before the new one takes its name
            Open(type);
        }
        const int retryTop = board->GetButton(CControllerScoreboard::BUTTON_RETRY)->GetY() - CControllerScoreboard::kPageY;
        SDL_Surface* page = CDraw::GetSurface(board->GetBackground()->GetFrameImage(0));
        ASSERT_NE(page, nullptr);
        ASSERT_NE(CDraw::GetSurface(blank), nullptr);
        const auto blocks = InkedRowBlocks(page, CDraw::GetSurface(blank), 0, retryTop);
        ASSERT_EQ(blocks.size(), 2u) << "heading and picture on page " << type;
        const int above = blocks[1].first - blocks[0].second, below = retryTop - blocks[1].second;
        EXPECT_NEAR(above, below, 10) << "page " << type;
        EXPECT_GE(below, 24) << "page " << type;
        // The heading is centred on the page, and so is the singed
        // professor (the caught one has the bot beside him).
        const double middle = page->w / 2.0;
        EXPECT_NEAR(InkedMiddle(page, CDraw::GetSurface(blank), blocks[0].first, blocks[0].second + 1), middle, 1.5)
            << "page " << type;
        if (type == SCOREBOARD_SINGED) {
            EXPECT_NEAR(InkedMiddle(page, CDraw::GetSurface(blank), blocks[1].first, blocks[1].second + 1), middle, 1.5);
        }
    }
    CDraw::ReleaseImage(blank);
    Open(SCOREBOARD_LOST);
    // The instructions open over the page and give it back when closed.
    Press(CControllerScoreboard::BUTTON_INSTRUCTIONS);
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_INSTRUCTIONS);
    TapKey(SDLK_ESCAPE);
    Frames(2);
    ASSERT_EQ(CController::GetCurrent(), board.get());
    EXPECT_NE(board->GetButton(CControllerScoreboard::BUTTON_RETRY), nullptr);
    TapKey(SDLK_ESCAPE);  // nothing on a post-game page
    Frame();
    EXPECT_EQ(CController::GetCurrent(), board.get());
    TapKey(SDLK_u);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_EQ(board->GetAnswer(), POSTGAME_UNDO);

    Open(SCOREBOARD_SINGED);
    EXPECT_TRUE(Has(board->GetDrawnTexts(), "2800"));
    TapKey(SDLK_r);
    Frame();
    EXPECT_EQ(board->GetAnswer(), POSTGAME_RESTART);

    // Without a password the solution is shown at once.
    Open(SCOREBOARD_LOST);
    Press(CControllerScoreboard::BUTTON_SOLUTION);
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_EQ(board->GetAnswer(), POSTGAME_REPLAY);

    // With one it is asked for; a wrong one is refused, the right one shows it.
    Profile().SetPassword("owl");
    Open(SCOREBOARD_LOST);
    Press(CControllerScoreboard::BUTTON_SOLUTION);
    ASSERT_NE(board->GetPasswordPrompt(), nullptr);
    TypeText("cat");
    TapKey(SDLK_RETURN);
    Frames(2);
    EXPECT_EQ(CController::GetCurrent(), board->GetPasswordPrompt());
    TypeText("owl");
    TapKey(SDLK_RETURN);
    Frames(2);
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_EQ(board->GetAnswer(), POSTGAME_REPLAY);

    // Cancelled: back on the page, which is built again.
    Open(SCOREBOARD_LOST);
    Press(CControllerScoreboard::BUTTON_SOLUTION);
    TapKey(SDLK_ESCAPE);
    Frames(2);
    EXPECT_EQ(CController::GetCurrent(), board.get());
    EXPECT_TRUE(board->IsLoaded());
    EXPECT_EQ(board->GetAnswer(), POSTGAME_NONE);
}

TEST_F(ScoreboardTest, LeavingThePostGamePageClosesTheScreensBelow) {
    // Select level closes the board and the play screen; main menu one more.
    RecordingOwner play{5};
    play.Activate(&root);
    SetLevel(0, 23);
    board = std::make_unique<CControllerScoreboard>(SCOREBOARD_LOST, false);
    play.OpenChild(board.get());
    Frame();
    Press(CControllerScoreboard::BUTTON_CONTINUE);
    EXPECT_EQ(CController::GetCurrent(), &play);
    EXPECT_EQ(play.Result(), 1);

    play.SetResult(0);
    play.Activate(&root);
    board = std::make_unique<CControllerScoreboard>(SCOREBOARD_SOLVED, false);
    play.OpenChild(board.get());
    Frame();
    Press(CControllerScoreboard::BUTTON_BACK);
    EXPECT_EQ(play.Result(), 2);
}

TEST_F(ScoreboardTest, SolvedPagesShowTheirCounts) {
    // A tutorial level: its own picture, no counts, no submit.
    Solve(0, 1, 15);
    Open(SCOREBOARD_SOLVED);
    EXPECT_FALSE(Has(board->GetDrawnTexts(), "3208:15"));
    EXPECT_TRUE(board->GetButton(CControllerScoreboard::BUTTON_SUBMIT)->IsHidden());
    const int blank = CDraw::GetImage("parchment.png");
    SDL_Surface* page = CDraw::GetSurface(board->GetBackground()->GetFrameImage(0));
    ASSERT_NE(page, nullptr);
    EXPECT_NEAR(InkedMiddle(page, CDraw::GetSurface(blank), 130, 130 + 250), page->w / 2.0, 1.5) << "the picture";
    CDraw::ReleaseImage(blank);

    // A second, better solution: this run and the best before it.
    Solve(0, 25, 1500);
    Profile().SetStepCount(1200);
    ASSERT_TRUE(Profile().RecordSetLevelSteps());
    Open(SCOREBOARD_SOLVED);
    EXPECT_TRUE(Has(board->GetDrawnTexts(), "3208:1,200"));
    EXPECT_TRUE(Has(board->GetDrawnTexts(), "3209:1,500"));
    EXPECT_FALSE(board->GetButton(CControllerScoreboard::BUTTON_SUBMIT)->IsHidden());
    EXPECT_NE(board->GetButton(CControllerScoreboard::BUTTON_CONTINUE), nullptr);

    // The set completed: its total too. The last level has no continue.
    Profile().SetSetCompleted(1, 2);
    Solve(2, 80, 64);
    Open(SCOREBOARD_SOLVED);
    EXPECT_TRUE(Has(board->GetDrawnTexts(), "3211:" + std::to_string(Profile().GetSetSteps(2))));
    EXPECT_EQ(board->GetButton(CControllerScoreboard::BUTTON_CONTINUE), nullptr);
    Profile().SetSetCompleted(0, 2);

    // A level without a set: no submit.
    Open(SCOREBOARD_SOLVED_NO_SET, true);
    EXPECT_TRUE(board->GetButton(CControllerScoreboard::BUTTON_SUBMIT)->IsHidden());
    EXPECT_NE(board->GetButton(CControllerScoreboard::BUTTON_CONTINUE), nullptr);
}

// The board never downloaded shows its download button in the middle of the
// table, on no row ruling; a solved level's submit button stands centred
// under the victory picture, which ends clear above it.
TEST_F(ScoreboardTest, DownloadAndSubmitStandClearOfTheTableRowsAndThePicture) {
    Open(SCOREBOARD_OVERALL);
    CGuiButton* download = board->GetButton(CControllerScoreboard::BUTTON_DOWNLOAD_ALL);
    ASSERT_NE(download, nullptr);
    ASSERT_FALSE(download->IsHidden());
    // The table's picture lies at page (234, 177), the page at (57, 23).
    const int tableX = 57 + 234, tableY = 23 + 177;
    const int table = CDraw::GetImage("hiscores_tablebar.png");
    SDL_Surface* bar = CDraw::GetSurface(table);
    ASSERT_NE(bar, nullptr);
    const int buttonW = 2 * (download->GetCentreX() - download->GetX());
    const int buttonH = CDraw::GetHeight(CDraw::GetImage("hiscores_button_downloadbase.png"));
    CDraw::UnloadImage("hiscores_button_downloadbase.png");
    EXPECT_NEAR(download->GetCentreX(), tableX + bar->w / 2, 2) << "the button is not centred on the table";
    int ruled = 0;
    const int left = std::max(0, download->GetX() - tableX), right = std::min(bar->w, left + buttonW);
    const int top = std::max(0, download->GetY() - tableY), bottom = std::min(bar->h, top + buttonH);
    for (int x = left; x < right; ++x) {
        Uint8 r0, g0, b0, a0;
        SDL_GetRGBA(CDraw::GetPixel(bar, x, top), bar->format, &r0, &g0, &b0, &a0);
        for (int y = top; y < bottom; ++y) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(CDraw::GetPixel(bar, x, y), bar->format, &r, &g, &b, &a);
            if (std::abs(a - a0) > 8 || std::abs(r - r0) > 8 || std::abs(g - g0) > 8 || std::abs(b - b0) > 8) ++ruled;
        }
    }
    CDraw::ReleaseImage(table);
    EXPECT_EQ(ruled, 0) << "rows are ruled behind the download button";

    board.reset();  // the old page's picture goes before the new one takes its name
    Solve(0, 25, 1500);
    Open(SCOREBOARD_SOLVED);
    CGuiButton* submit = board->GetButton(CControllerScoreboard::BUTTON_SUBMIT);
    ASSERT_FALSE(submit->IsHidden());
    const SDL_Rect victory = OpaqueBox("parchment_victory.png");
    const int victoryX = 57 + 268 + victory.x, victoryBottom = 23 + 80 + victory.y + victory.h;
    EXPECT_LE(victoryBottom + 8, submit->GetY()) << "the victory picture touches the submit button";
    EXPECT_NEAR(submit->GetCentreX(), victoryX + victory.w / 2, 4) << "the submit button is off the picture's centre";
    // Heading, picture and submit button are centred on the page, in the
    // middle of the screen.
    EXPECT_NEAR(submit->GetCentreX(), 400, 1);
    const int blank = CDraw::GetImage("parchment.png");
    SDL_Surface* page = CDraw::GetSurface(board->GetBackground()->GetFrameImage(0));
    ASSERT_NE(page, nullptr);
    EXPECT_NEAR(InkedMiddle(page, CDraw::GetSurface(blank), 35, 75), page->w / 2.0, 1.5) << "the heading";
    EXPECT_NEAR(InkedMiddle(page, CDraw::GetSurface(blank), 80, 80 + 136), page->w / 2.0, 1.5) << "the picture";
    CDraw::ReleaseImage(blank);
}

// The main menu's boards stand over its frozen picture, and a message of
// theirs (here: no server to reach) over the boards, which stay in sight
// behind it, dimmed, until it is closed.
TEST_F(ScoreboardTest, MainMenuOpensTheOverallBoardOverItsFrozenPictureAndItsMessagesOverItself) {
    auto menu = std::make_unique<CControllerMain>();
    menu->Activate(nullptr);
    Frames(3);
    CGuiButton* scores = menu->GetButton(CControllerMain::BUTTON_SCORES);
    ASSERT_FALSE(scores->IsDisabled());
    Click(scores->GetCentreX(), scores->GetCentreY());
    Frames(2);
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_SCOREBOARD);
    auto* opened = static_cast<CControllerScoreboard*>(CController::GetCurrent());
    EXPECT_EQ(opened->GetType(), SCOREBOARD_OVERALL);
    EXPECT_TRUE(CRender::IsSwapped());
    EXPECT_TRUE(scores->IsHidden());

    SetScoreServerPath("http://127.0.0.1:" + std::to_string(CScoreTestServer::RefusedPort()) + "/zorv/");
    CGuiButton* download = opened->GetButton(CControllerScoreboard::BUTTON_DOWNLOAD_ALL);
    // A point of the page left of where the box stands, and what it shows.
    const int x = CControllerScoreboard::kPageX + 40, y = 300;
    const uint32_t page = ScreenPixel(x, y);
    Click(download->GetCentreX(), download->GetCentreY());
    Frames(2);
    ASSERT_NE(opened->GetMessage(), nullptr);
    ASSERT_EQ(CController::GetCurrent(), opened->GetMessage());
    ASSERT_NE(opened->GetBackground(), nullptr);
    EXPECT_FALSE(opened->GetBackground()->IsHidden());
    EXPECT_TRUE(download->IsHidden()) << "the page's buttons wait behind the box";
    // The page there, evenly darkened: not the menu.
    const uint32_t dimmed = ScreenPixel(x, y);
    const double k = double(dimmed >> 16 & 0xFF) / double(page >> 16 & 0xFF);
    EXPECT_GT(k, 0.2);
    EXPECT_LT(k, 1.0);
    for (int shift : {8, 0})
        EXPECT_NEAR(dimmed >> shift & 0xFF, k * double(page >> shift & 0xFF), 4) << std::hex << page << " " << dimmed;
    TapKey(SDLK_RETURN);
    Frames(2);
    ASSERT_EQ(CController::GetCurrent(), opened);
    EXPECT_EQ(ScreenPixel(x, y), page);
    EXPECT_FALSE(opened->GetButton(CControllerScoreboard::BUTTON_DOWNLOAD_ALL)->IsHidden());
    TapKey(SDLK_ESCAPE);
    Frames(2);
    EXPECT_EQ(CController::GetCurrent(), menu.get());
    EXPECT_FALSE(CRender::IsSwapped());
    EXPECT_FALSE(scores->IsHidden());
    EXPECT_LT(CDraw::FindImage(CControllerScoreboard::kPageImage), 0);
    menu.reset();
}

TEST_F(ScoreboardTest, ClosingFreesTheWholePage) {
    const size_t sprites = GetSpriteList().size();
    const size_t widgets = CGuiButtonBase::GetRegistrySize();
    Open(SCOREBOARD_OVERALL);
    EXPECT_GT(GetSpriteList().size(), sprites);
    board.reset();
    EXPECT_EQ(GetSpriteList().size(), sprites);
    EXPECT_EQ(CGuiButtonBase::GetRegistrySize(), widgets);
    EXPECT_LT(CDraw::FindImage(CControllerScoreboard::kPageImage), 0);
}

}  // namespace
