#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "players/ScoreClient.h"
#include "players/ScoreHttp.h"
#include "tests/support/CScoreServerProcess.h"
#include "tests/support/CScoreTestServer.h"
#include "tests/support/ScopedDirectories.h"
#include "tests/support/TestSupport.h"

namespace {

using Server = CScoreTestServer;

class ScoreClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Loopback requests must never go through a proxy of the machine.
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
        setenv("no_proxy", "127.0.0.1,localhost", 1);
        InitDebugLog(false);
        ResetParameters();
        InitDirectories();
        ResetAllScoreBoards();
        SetScoreError(0);
        srand(42);
    }
    void TearDown() override {
        SetScoreServerPath("");
        ResetParameters();
    }
    std::string LogText() { return ReadFileText(std::string(GetProfileDir()) + "LOG.TXT"); }

    // Runs a request against a server that answers with the given replies;
    // returns what the request returned.
    template <typename F>
    bool Ask(Server& server, F request) {
        EXPECT_TRUE(server.IsListening());
        SetScoreServerPath(server.Address());
        return request();
    }

    static std::string Name(const CScoreEntry& e) { return std::string(e.name, strnlen(e.name, sizeof e.name)); }

    // A board filled by a successful download, to check that later failures
    // leave it alone.
    void FillOverall(int type) {
        Server server({Server::Ok("success\n7\n1\talice\t100\ta\n2\tbob\t150\tb\n")});
        ASSERT_TRUE(Ask(server, [&] { return RequestScoreDownload("bob", type, kOverallScoreLevel); }));
    }
    void ExpectFilledOverall(int type) {
        const CScoreBoard* b = GetOverallScoreBoard(type);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->count, 7);
        EXPECT_EQ(b->ownRank, 2);
        ASSERT_EQ(b->entries.size(), 2u);
        EXPECT_EQ(Name(b->entries[0]), "alice");
        EXPECT_EQ(b->entries[1].score, 150);
    }

    CScopedDirectories dirs_;
    CScopedHome home_;
};

}  // namespace

TEST_F(ScoreClientTest, TablesHoldFourOverallBoardsAndTheLevelBoardsOfEachSet) {
    EXPECT_EQ(GetScoreLevelCount(0), 111);
    EXPECT_EQ(GetScoreLevelCount(1), 50);
    EXPECT_EQ(GetScoreLevelCount(2), 81);
    EXPECT_EQ(GetScoreLevelCount(3), 0);
    EXPECT_EQ(GetScoreLevelCount(4), 0);
    for (int t = 0; t < 4; ++t) {
        const CScoreBoard* b = GetOverallScoreBoard(t);
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->entries.empty());
        EXPECT_EQ(b->ownRank, 0);
        EXPECT_EQ(b->count, -1);
        EXPECT_FALSE(b->IsDownloaded());
        for (int l = 0; l < GetScoreLevelCount(t); ++l) {
            const CScoreBoard* lb = GetLevelScoreBoard(t, l);
            ASSERT_NE(lb, nullptr);
            EXPECT_EQ(lb->count, -1);
        }
        EXPECT_EQ(GetLevelScoreBoard(t, GetScoreLevelCount(t)), nullptr);
        EXPECT_EQ(GetLevelScoreBoard(t, -1), nullptr);
    }
    EXPECT_EQ(GetOverallScoreBoard(4), nullptr);
    EXPECT_EQ(GetOverallScoreBoard(-1), nullptr);
    EXPECT_EQ(GetLevelScoreBoard(3, 0), nullptr);
}

TEST_F(ScoreClientTest, ResetAllScoreBoardsForgetsDownloads) {
    FillOverall(1);
    ResetAllScoreBoards();
    EXPECT_EQ(GetOverallScoreBoard(1)->count, -1);
    EXPECT_TRUE(GetOverallScoreBoard(1)->entries.empty());
    CScoreBoard board;
    board.count = 3;
    board.ownRank = 2;
    board.entries.resize(2);
    ResetScoreBoard(board);
    EXPECT_EQ(board.count, -1);
    EXPECT_EQ(board.ownRank, 0);
    EXPECT_TRUE(board.entries.empty());
}

TEST_F(ScoreClientTest, AddressComesFromTheEnvironmentElseTheParameterFileElseTheGame) {
    EnableDebugCategory(DBG_NOTE);
    unsetenv("ZORV_SCOREBOARD_URL");
    testing::internal::CaptureStdout();
    EXPECT_EQ(ChooseScoreServerAddress("http://ours.example/zorv/"), "http://ours.example/zorv/");
    CTempDir dir;
    WriteFileText(dir.File("params.dat"), "MOREGAMES_URL http://a.example/x\nSCOREBOARD_URL http://club.example:8080/zorv\n");
    LoadParameters(dir.File("params.dat").c_str());
    EXPECT_EQ(ChooseScoreServerAddress("http://ours.example/zorv/"), "http://club.example:8080/zorv/");
    setenv("ZORV_SCOREBOARD_URL", "", 1);  // empty: as if not set
    EXPECT_EQ(ChooseScoreServerAddress("http://ours.example/zorv/"), "http://club.example:8080/zorv/");
    setenv("ZORV_SCOREBOARD_URL", "http://127.0.0.1:9/zorv/", 1);
    EXPECT_EQ(ChooseScoreServerAddress("http://ours.example/zorv/"), "http://127.0.0.1:9/zorv/");
    unsetenv("ZORV_SCOREBOARD_URL");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "NOTE:    Score server:  http://ours.example/zorv/ (the game's own)\n"
              "NOTE:    Score server:  http://club.example:8080/zorv/ (SCOREBOARD_URL of the parameter file)\n"
              "NOTE:    Score server:  http://club.example:8080/zorv/ (SCOREBOARD_URL of the parameter file)\n"
              "NOTE:    Score server:  http://127.0.0.1:9/zorv/ (ZORV_SCOREBOARD_URL)\n");
}

// Registering, uploading and downloading against the real server: the
// queries it was sent (its log) and what the client made of its answers.
TEST_F(ScoreClientTest, RegistrationUploadAndDownloadAgainstTheRealServer) {
    CScoreServerProcess real;
    SetScoreServerPath(real.Address());
    EXPECT_TRUE(RequestNewUser("bob"));
    EXPECT_EQ(GetScoreError(), 0);
    CTempDir dir;
    WriteFileText(dir.File("params.dat"), "MOREGAMES_URL http://a.example/x\nVENDOR_ID abc\n");
    LoadParameters(dir.File("params.dat").c_str());
    EXPECT_TRUE(RequestNewUser("Zed 9"));
    real.AddScore(1, 7, "alice", 300);

    // Added, ignored (not better), updated: all three are success.
    EnableDebugCategory(DBG_SCOREBOARD);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(RequestScoreUpload("bob", 1, 7, 345, 0));
    EXPECT_TRUE(RequestScoreUpload("bob", 1, 7, 345, 4));
    EXPECT_TRUE(RequestScoreUpload("bob", 1, 7, 340, 0));
    EXPECT_EQ(GetScoreError(), 0);
    EXPECT_FALSE(RequestScoreUpload("nobody", 1, 7, 10, 0));
    EXPECT_EQ(GetScoreError(), 10);
    EXPECT_STREQ(GetScoreErrorText(), "Specified user does not exist.");
    // The server takes no step count below one.
    EXPECT_FALSE(RequestScoreUpload("bob", 3, kOverallScoreLevel, -5, 0x80000004u));
    EXPECT_EQ(GetScoreError(), 16);
    EXPECT_TRUE(RequestScoreDownload("bob", 1, 7));
    const std::string say = "SCOREBOARD:  RequestScoreUpload():  Score ";
    const std::string refused = "SCOREBOARD:  RequestScoreUpload():  Score Upload Request Unsuccessful.\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zorv: The score server turned a request down with code 16: it could not read the request\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              say + "added to overall scoreboard for user 'bob'.\n" + say +
                  "ignored by overall scoreboard for user 'bob'.\n" + say +
                  "updated in overall scoreboard for user 'bob'.\n" + refused + refused +
                  "SCOREBOARD:  RequestScoreDownload():  Saving total score (1,7) count:  2\n"
                  "SCOREBOARD:  RequestScoreDownload():  Saving score at rank 1 (4)\n"
                  "SCOREBOARD:  RequestScoreDownload():  Saving score at rank 2 (4)\n");
    const CScoreBoard* b = GetLevelScoreBoard(1, 7);
    EXPECT_EQ(b->count, 2);
    EXPECT_EQ(b->ownRank, 2);
    ASSERT_EQ(b->entries.size(), 2u);
    EXPECT_EQ(Name(b->entries[0]), "alice");
    EXPECT_EQ(b->entries[0].score, 300);
    EXPECT_EQ(b->entries[1].rank, 2);
    EXPECT_EQ(b->entries[1].score, 340);
    EXPECT_EQ(b->entries[1].extra.size(), 10u) << "the day of the score";
    // Nothing else moved.
    EXPECT_EQ(GetLevelScoreBoard(1, 6)->count, -1);
    EXPECT_EQ(GetOverallScoreBoard(1)->count, -1);

    const std::vector<std::string> asked = real.Requests();
    ASSERT_EQ(asked.size(), 10u);
    EXPECT_EQ(asked[0], "op=addUser&user=bob&version=1.03W -> success");
    EXPECT_EQ(asked[1], "op=addUser&user=Zed 9&version=1.03W-abc -> success");
    EXPECT_EQ(asked[5], "op=uploadScore&user=bob&type=1&level=7&score=345&cheat=4 -> success ignored");
    EXPECT_EQ(asked[8], "unreadable: a score or cheat word that is no number or no step count in "
                        "op=uploadScore&user=bob&type=3&level=99999&score=-5&cheat=-2147483644 -> failure 16");
    EXPECT_EQ(asked[9], "op=downloadScore&user=bob&type=1&level=7 -> success 2 of 2");
}

TEST_F(ScoreClientTest, DownloadsFillTheirOwnBoardAndFindTheOwnRowWhereverItIs) {
    FillOverall(0);
    CScoreServerProcess real;
    SetScoreServerPath(real.Address());
    EXPECT_TRUE(RequestScoreDownload("bob", 0, kOverallScoreLevel));  // an empty board replaces the rows
    EXPECT_TRUE(GetOverallScoreBoard(0)->entries.empty());
    EXPECT_EQ(GetOverallScoreBoard(0)->count, 0);
    EXPECT_EQ(GetOverallScoreBoard(0)->ownRank, 0);
    EXPECT_EQ(GetOverallScoreBoard(0)->ownRow, -1);
    EXPECT_TRUE(GetOverallScoreBoard(0)->IsDownloaded());

    // Twelve players on the kids' last level; p3 and p4 tie at 30.
    const int scores[] = {10, 20, 30, 30, 50, 60, 70, 80, 90, 100, 110};
    for (int i = 0; i < 11; ++i) real.AddScore(2, 80, "p" + std::to_string(i + 1), scores[i]);
    EXPECT_TRUE(RequestScoreDownload("p4", 2, 80));
    const CScoreBoard* b = GetLevelScoreBoard(2, 80);
    EXPECT_EQ(b->count, 11);
    EXPECT_EQ(b->ownRank, 3);
    EXPECT_EQ(b->ownRow, 3);
    EXPECT_TRUE(RequestScoreDownload("me", 2, 80));  // no score of his yet
    EXPECT_EQ(b->ownRank, 0);
    EXPECT_EQ(b->entries.size(), 10u);
    real.AddScore(2, 80, "me", 999);
    EXPECT_TRUE(RequestScoreDownload("me", 2, 80));
    EXPECT_EQ(b->ownRank, 12);
    EXPECT_EQ(b->ownRow, 10);
    ASSERT_EQ(b->entries.size(), 11u);
    EXPECT_EQ(Name(b->entries[10]), "me");
    EXPECT_EQ(GetLevelScoreBoard(2, 79)->count, -1);
    EXPECT_EQ(GetOverallScoreBoard(2)->count, -1);
}

TEST_F(ScoreClientTest, FailedDownloadLeavesTheBoardAndItsErrorUntilTheNextRequest) {
    FillOverall(3);
    Server refusing({Server::Ok("failure\n14\n")});
    EXPECT_FALSE(Ask(refusing, [] { return RequestScoreDownload("bob", 3, kOverallScoreLevel); }));
    ExpectFilledOverall(3);
    EXPECT_EQ(GetScoreError(), kScoreErrorBadType);
    EXPECT_STREQ(GetScoreErrorText(), "Specified game type does not exist.");
    EXPECT_STREQ(GetScoreErrorText(), "Specified game type does not exist.") << "reading it changes nothing";
    EXPECT_EQ(GetScoreError(), kScoreErrorBadType);
    // The real server keeps the overall board of type 3, as the game's
    // tables do: one rule for both sides.
    CScoreServerProcess real;
    SetScoreServerPath(real.Address());
    real.AddScore(3, kOverallScoreLevel, "bob", 500);
    EXPECT_TRUE(RequestScoreDownload("bob", 3, kOverallScoreLevel));
    EXPECT_EQ(GetScoreError(), kScoreErrorNone);
    EXPECT_EQ(GetScoreErrorText(), nullptr);
    EXPECT_EQ(GetOverallScoreBoard(3)->count, 1);
    EXPECT_EQ(GetOverallScoreBoard(3)->ownRank, 1);
}

TEST_F(ScoreClientTest, EveryRefusalThePlayerCanActOnHasItsWords) {
    const std::pair<int, const char*> table[] = {
        {kScoreErrorUserExists, "Specified user name already exists."},
        {kScoreErrorNoUser, "Specified user does not exist."},
        {kScoreErrorNameLength, "Specified user name has an invalid length."},
        {kScoreErrorNameCharacters, "Specified user name has invalid characters."},
        {kScoreErrorNameRude, "Specified user name contains profanity."},
        {kScoreErrorBadType, "Specified game type does not exist."},
        {kScoreErrorBadLevel, "Specified game level does not exist."},
        // The screen words these itself.
        {kScoreErrorNone, nullptr},
        {kScoreErrorServerFault, nullptr},
        {kScoreErrorUnreadable, nullptr},
        {kScoreErrorBusy, nullptr},
        {kScoreErrorNoAnswer, nullptr},
        {42, nullptr},
    };
    for (const auto& row : table) {
        SetScoreError(row.first);
        EXPECT_EQ(ScoreErrorMessage(row.first), GetScoreErrorText()) << row.first;
        if (row.second)
            EXPECT_STREQ(GetScoreErrorText(), row.second);
        else
            EXPECT_EQ(GetScoreErrorText(), nullptr) << row.first;
        EXPECT_EQ(GetScoreError(), row.first);
    }
}

// What the log says of each way a request can fail, in plain words: a busy
// server is a note and an answer that never came or cannot be read a
// warning, both handled (the player is told) and kept out of LOG.TXT; a
// refusal the player is shown in words is the player's business; a refusal
// without words (the server's fault, or a request it could not read) is an
// error, in LOG.TXT too.
TEST_F(ScoreClientTest, EachFailureIsLoggedInPlainWordsAtItsLevel) {
    InitDebugLog(false);
    EnableDebugCategory(DBG_NOTE);
    EnableDebugCategory(DBG_WARNING);
    EnableDebugCategory(DBG_ERROR);
    const std::string busy = "NOTE:    The score server is too busy for this player: asked to try again later\n";
    const std::string unread = "zorv: warning: The score server's answer cannot be read (";
    const std::string noAnswer = "zorv: warning: No answer from the score server: ";
    const std::string refused = "zorv: The score server turned a request down with code ";
    // Only http and https are spoken, and no redirect is followed: a board
    // a file of this machine holds, or one a redirect leads to, is none.
    CTempDir dir;
    WriteFileText(dir.File(kScoreScript), "success\n1\n1\tbob\t5\tz\n");
    const auto redirect = [](const std::string& to) { return Server::Status(302, "Found\r\nLocation: " + to, ""); };
    const std::string nowhere = "http://127.0.0.1:" + std::to_string(Server::RefusedPort()) + "/zorv/";
    const std::string noScheme = noAnswer + "Unsupported protocol (libcurl error 1)\n";
    const std::string empty = unread + "it is empty): taken as no answer\n";
    const struct {
        const char* what;
        Server::Reply reply;
        bool unreachable;
        int code;
        std::string said;    // the whole of what it printed (a prefix when it ends in "...")
        bool inLogFile;
        std::string address = "";  // when unreachable; else nothing listens
    } rows[] = {
        {"busy (429)", Server::Status(429, "Too Many Requests", "<html>busy</html>\n"), false, kScoreErrorBusy, busy,
         false},
        {"busy in the body", Server::Ok("failure\n18\n"), false, kScoreErrorBusy, busy, false},
        {"nothing listens", Server::Ok(""), true, kScoreErrorNoAnswer,
         noAnswer + "Couldn't connect to server (libcurl error 7)\n", false},
        {"hang-up", Server::Hangup(), false, kScoreErrorNoAnswer, noAnswer + "...", false},
        {"empty", Server::Ok("\n\n"), false, kScoreErrorNoAnswer, unread + "it is empty): taken as no answer\n",
         false},
        {"a file's address", Server::Ok(""), true, kScoreErrorNoAnswer, noScheme, false, "file://" + dir.Path() + "/"},
        {"an ftp address", Server::Ok(""), true, kScoreErrorNoAnswer, noScheme, false, "ftp" + nowhere.substr(4)},
        {"redirect to a file", redirect("file://" + dir.File(kScoreScript)), false, kScoreErrorNoAnswer, empty, false},
        {"redirect to http", redirect(nowhere + kScoreScript), false, kScoreErrorNoAnswer, empty, false},
        {"refusal in words", Server::Ok("failure\n10\n"), false, kScoreErrorNoUser, "", false},
        {"server fault", Server::Ok("failure\n15\n"), false, kScoreErrorServerFault,
         refused + "15: it could not do its part\n", true},
        {"unreadable", Server::Ok("failure\n16\n"), false, kScoreErrorUnreadable,
         refused + "16: it could not read the request\n", true},
        {"unknown code", Server::Ok("failure\n42\n"), false, 42, refused + "42, which the game does not know\n",
         true},
    };
    for (const auto& row : rows) {
        Server server(row.unreachable ? std::vector<Server::Reply>{} : std::vector<Server::Reply>{row.reply});
        SetScoreServerPath(row.unreachable ? row.address.empty() ? nowhere : row.address : server.Address());
        const std::string logBefore = LogText();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(RequestScoreDownload("bob", 0, kOverallScoreLevel)) << row.what;
        const std::string said = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
        EXPECT_EQ(GetScoreError(), row.code) << row.what;
        const size_t dots = row.said.find("...");
        if (dots == std::string::npos)
            EXPECT_EQ(said, row.said) << row.what;
        else
            EXPECT_EQ(said.substr(0, dots), row.said.substr(0, dots)) << row.what << ": " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), row.said.empty() ? 0 : 1) << row.what << ": " << said;
        const std::string added = LogText().substr(logBefore.size());
        if (row.inLogFile)
            EXPECT_EQ("zorv: " + added.substr(added.find(" - ") + 3), said) << row.what << ": " << added;
        else
            EXPECT_EQ(added, "") << row.what;
    }
}

TEST_F(ScoreClientTest, RefusedRegistrationProposesNames) {
    CScoreServerProcess real;
    SetScoreServerPath(real.Address());
    EXPECT_TRUE(RequestNewUser("bob"));
    EXPECT_TRUE(RequestNewUser("bob2"));
    EXPECT_FALSE(RequestNewUser("Bob"));
    EXPECT_EQ(GetScoreError(), 9);
    ASSERT_EQ(GetProposedNames().size(), 3u);
    EXPECT_EQ(GetProposedNames()[0], "Bob1");
    EXPECT_EQ(GetProposedNames()[1], "Bob3");
    InitDebugLog(false);
    EnableDebugCategory(DBG_DEBUG);
    testing::internal::CaptureStdout();
    LogProposedNames();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "DEBUG:   Bob1\nDEBUG:   Bob3\nDEBUG:   Bob4\n");
    // The next registration empties the list before it sends.
    EXPECT_TRUE(RequestNewUser("Bob3"));
    EXPECT_TRUE(GetProposedNames().empty());
}

TEST_F(ScoreClientTest, RefusalWithoutProposalsLeavesTheListEmpty) {
    Server server({Server::Ok("failure\n9\n"), Server::Ok("failure\n11\nnot\nnames\n")});
    EXPECT_FALSE(Ask(server, [] { return RequestNewUser("bob"); }));
    EXPECT_EQ(GetScoreError(), 9);
    EXPECT_TRUE(GetProposedNames().empty());
    // Only code 9 carries names.
    EXPECT_FALSE(Ask(server, [] { return RequestNewUser("bob"); }));
    EXPECT_EQ(GetScoreError(), 11);
    EXPECT_TRUE(GetProposedNames().empty());
}

TEST_F(ScoreClientTest, ConnectionRefusedGivesNoAnswer) {
    const int port = Server::RefusedPort();
    ASSERT_GT(port, 0);
    SetScoreServerPath("http://127.0.0.1:" + std::to_string(port) + "/zorv/");
    FillOverall(0);  // against a server that is gone by now
    SetScoreServerPath("http://127.0.0.1:" + std::to_string(port) + "/zorv/");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(RequestScoreDownload("bob", 0, kOverallScoreLevel));
    EXPECT_EQ(GetScoreError(), 99);
    ExpectFilledOverall(0);
    EXPECT_FALSE(RequestNewUser("bob"));
    EXPECT_FALSE(RequestScoreUpload("bob", 0, 0, 1, 0));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(GetScoreError(), 99);
}

TEST_F(ScoreClientTest, ErrorPageIsNoUsableAnswer) {
    FillOverall(2);
    Server server({Server::Status(404, "Not Found", "<html><body>Not Found</body></html>\n"),
                   Server::Status(500, "Oops", "success\n3\n1\tx\t1\tx\n")});
    EXPECT_FALSE(Ask(server, [] { return RequestScoreDownload("bob", 2, kOverallScoreLevel); }));
    EXPECT_EQ(GetScoreError(), 99);
    ExpectFilledOverall(2);
    // The status is not looked at: a well-formed body counts.
    EXPECT_TRUE(Ask(server, [] { return RequestScoreDownload("bob", 2, kOverallScoreLevel); }));
    EXPECT_EQ(GetOverallScoreBoard(2)->count, 3);
}

// A server too busy for this player says so with 429, whatever its body (a
// proxy in front of it sends a page of its own): every kind of request then
// fails as busy, distinct from no answer, and changes no board. No other
// status is looked at.
TEST_F(ScoreClientTest, TooManyRequestsIsBusyWhateverTheBody) {
    FillOverall(1);
    const std::string page = "<html><body>Too Many Requests</body></html>\n";
    const struct {
        const char* what;
        Server::Reply reply;
        int code;
    } rows[] = {
        {"429 from the server", Server::Status(429, "Too Many Requests", "failure\n18\n"), kScoreErrorBusy},
        {"429 from a proxy", Server::Status(429, "Too Many Requests", page), kScoreErrorBusy},
        {"429 with a success", Server::Status(429, "Too Many Requests", "success\n1\n1\tx\t1\tx\n"), kScoreErrorBusy},
        {"503 from a proxy", Server::Status(503, "Service Unavailable", page), kScoreErrorNoAnswer},
    };
    for (const auto& row : rows) {
        Server server({row.reply, row.reply, row.reply});
        SetScoreServerPath(server.Address());
        EXPECT_FALSE(RequestNewUser("bob")) << row.what;
        EXPECT_EQ(GetScoreError(), row.code) << row.what;
        EXPECT_FALSE(RequestScoreUpload("bob", 1, 7, 40, 0)) << row.what;
        EXPECT_EQ(GetScoreError(), row.code) << row.what;
        EXPECT_FALSE(RequestScoreDownload("bob", 1, kOverallScoreLevel)) << row.what;
        EXPECT_EQ(GetScoreError(), row.code) << row.what;
        EXPECT_EQ(LastAnswerStatus(), std::stol(row.reply.raw.substr(9, 3))) << row.what;
        ExpectFilledOverall(1);
    }
}

TEST_F(ScoreClientTest, EmptyLinesDoNotCount) {
    Server server({Server::Ok("\n\nsuccess\n\n\n5\n\n1\t\tbob\t\t7\t\tq\n\n")});
    EXPECT_TRUE(Ask(server, [] { return RequestScoreDownload("bob", 1, 0); }));
    const CScoreBoard* b = GetLevelScoreBoard(1, 0);
    EXPECT_EQ(b->count, 5);
    ASSERT_EQ(b->entries.size(), 1u);
    EXPECT_EQ(Name(b->entries[0]), "bob");
    EXPECT_EQ(b->entries[0].score, 7);
    EXPECT_EQ(b->entries[0].extra, "q");
    EXPECT_EQ(b->ownRank, 1);
}

// Any answer outside the protocol, for any request, is no usable answer: the
// board kept, a warning saying why. A number is whole and of its kind (only
// a minus, no blank, nothing after it, 32 bits); a bad row spoils a board.
TEST_F(ScoreClientTest, MalformedAnswersAreNoUsableAnswer) {
    enum Kind { kRegister, kUpload, kDownload, kBoardRow };  // the last: a download, its rows after "success\n3\n"
    const char* first = "it begins with neither \"success\" nor \"failure\"";
    const char* code = "a failure whose code is no number";
    const struct {
        Kind kind;
        const char* why;
        std::vector<std::string> bodies;
    } rows[] = {
        {kDownload, "it is empty", {"", "\n\n\n"}},
        {kRegister, first, {"Success\n", "failure\r\n14\r\n", "fail\n9\n"}},
        {kDownload, first, {"success\r\n0\r\n", " success\n0\n", "successful\n0\n"}},
        {kRegister, "a failure without its code", {"failure\n"}},
        {kUpload, code, {"failure\nabc\n"}},
        {kRegister, code, {"failure\n12xyz\n", "failure\n+13\n", "failure\n 13\n", "failure\n13\r\n", "failure\n-0\n"}},
        {kDownload, code, {"failure\n2147483648\n"}},
        {kRegister, "a failure whose code reads as none", {"failure\n0\n"}},
        {kUpload, "an upload's success without what became of the score", {"success\n"}},
        {kDownload, "a board without its count", {"success\n"}},
        {kDownload, "a board whose count is no number of players",
         {"success\nseven\n", "success\n7x\n", "success\n+7\n", "success\n-1\n", "success\n2147483648\n"}},
        {kBoardRow, "a row of the board with fewer than four fields", {"1\tbob\t5\n", "1\tbob\t5\t\n"}},
        {kBoardRow, "a row of the board whose rank is no rank",
         {"abc\tbob\t5\tz\n", "12abc\tbob\t5\tz\n", "0\tbob\t5\tz\n", "2147483648\tbob\t5\tz\n"}},
        {kBoardRow, "a row of the board whose score is no step count",
         {"1\tbob\ty\tz\n", "1\tbob\t-4x\tz\n", "1\tbob\t2147483648\tz\n", "1\tbob\t-2147483648\tz\n",
          "1\tbob\t" + std::to_string(kScoreLowest - 1) + "\tz\n", "1\tann\t5\tz\n2\tbob\t+6\tz\n"}},
    };
    FillOverall(0);
    EnableDebugCategory(DBG_WARNING);
    for (const auto& row : rows)
        for (const std::string& body : row.bodies) {
            SCOPED_TRACE(testing::PrintToString(body));
            Server server({Server::Ok((row.kind == kBoardRow ? "success\n3\n" : "") + body)});
            SetScoreServerPath(server.Address());
            testing::internal::CaptureStderr();
            EXPECT_FALSE(row.kind == kRegister ? RequestNewUser("bob")
                         : row.kind == kUpload ? RequestScoreUpload("bob", 0, 0, 1, 0)
                                               : RequestScoreDownload("bob", 0, kOverallScoreLevel));
            EXPECT_EQ(testing::internal::GetCapturedStderr(),
                      std::string("zorv: warning: The score server's answer cannot be read (") + row.why +
                          "): taken as no answer\n");
            EXPECT_EQ(GetScoreError(), kScoreErrorNoAnswer);
            ExpectFilledOverall(0);
        }
}

TEST_F(ScoreClientTest, HostileRowsAreReadSafely) {
    const std::string longName = "abcdefghijklmnopqrstuvwxyz";
    Server server({Server::Ok("success\n0\n1\tx\t1\te\n12\t" + longName + "\t" + std::to_string(kScoreLowest) +
                              "\te\n2147483647\tlong\t2147483647\te\n7\tx\t1\te\tmore\tfields\n")});
    EXPECT_TRUE(Ask(server, [&] { return RequestScoreDownload(longName, 0, 1); }));
    const CScoreBoard* b = GetLevelScoreBoard(0, 1);
    EXPECT_EQ(b->count, 0);
    ASSERT_EQ(b->entries.size(), 4u);
    EXPECT_EQ(b->entries[1].rank, 12);
    EXPECT_EQ(b->entries[1].score, kScoreLowest);
    EXPECT_EQ(Name(b->entries[1]), longName.substr(0, 15));
    EXPECT_EQ(b->entries[1].name[15], '\0');
    EXPECT_EQ(b->entries[2].rank, INT_MAX);
    EXPECT_EQ(b->entries[2].score, INT_MAX);
    EXPECT_EQ(b->entries[3].rank, 7);
    // The full name is compared.
    EXPECT_EQ(b->ownRank, 12);
}

TEST_F(ScoreClientTest, LaterMatchingRowWinsAndExtraRowsAreKept) {
    std::string rows;
    for (int r = 1; r <= 40; ++r) rows += std::to_string(r) + "\t" + (r % 9 == 0 ? "me" : "p") + "\t1\tz\n";
    Server server({Server::Ok("success\n3\n" + rows)});
    EXPECT_TRUE(Ask(server, [] { return RequestScoreDownload("me", 1, 49); }));
    const CScoreBoard* b = GetLevelScoreBoard(1, 49);
    EXPECT_EQ(b->count, 3);
    EXPECT_EQ(b->entries.size(), 40u);
    EXPECT_EQ(b->ownRank, 36);
}

TEST_F(ScoreClientTest, GarbageBytesAreNoUsableAnswer) {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) & 255);
    Server server({Server::Ok(garbage), Server::Ok(std::string("success\n2\n1\tn\0ul\t3\tz\n", 21))});
    EXPECT_FALSE(Ask(server, [] { return RequestScoreDownload("bob", 0, 2); }));
    EXPECT_EQ(GetScoreError(), 99);
    EXPECT_TRUE(Ask(server, [] { return RequestScoreDownload("bob", 0, 2); }));
    ASSERT_EQ(GetLevelScoreBoard(0, 2)->entries.size(), 1u);
    EXPECT_EQ(Name(GetLevelScoreBoard(0, 2)->entries[0]), "n");
}

TEST_F(ScoreClientTest, AnswerUpToTheCapIsReadAndLongerIsCutOff) {
    FillOverall(3);
    std::string body = "success\n1\n1\tbob\t5\tz\n";
    body += std::string(kScoreResponseMax - body.size(), '\n');
    Server fits({Server::Ok(body)});
    EXPECT_TRUE(Ask(fits, [] { return RequestScoreDownload("bob", 0, 9); }));
    EXPECT_EQ(GetLevelScoreBoard(0, 9)->ownRank, 1);
    EXPECT_EQ(LastAnswerBody().size(), kScoreResponseMax);

    Server huge({Server::Ok(body + "\n"), Server::Ok(std::string(3 * kScoreResponseMax, 'x'))});
    EnableDebugCategory(DBG_WARNING);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Ask(huge, [] { return RequestScoreDownload("bob", 3, kOverallScoreLevel); }));
    EXPECT_EQ(GetScoreError(), 99);
    EXPECT_FALSE(Ask(huge, [] { return RequestScoreDownload("bob", 3, kOverallScoreLevel); }));
    const std::string cut = "zorv: warning: The score server's answer ran past " + std::to_string(kScoreResponseMax) +
                            " bytes: cut off and taken as no answer\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), cut + cut);
    EXPECT_TRUE(LastAnswerBody().empty());
    ExpectFilledOverall(3);
}

TEST_F(ScoreClientTest, BoardsOutsideTheTablesAreRefusedWithoutARequest) {
    FillOverall(0);
    // Nothing listens there: a request sent would end as no answer (99) and
    // leave its line in the error log.
    SetScoreServerPath("http://127.0.0.1:" + std::to_string(Server::RefusedPort()) + "/zorv/");
    const struct {
        bool upload;
        int type, level, code;
    } rows[] = {
        {false, 4, kOverallScoreLevel, 14}, {false, -1, 0, 14}, {false, 0, 111, 17}, {false, 1, 50, 17},
        {false, 2, 81, 17},                 {false, 2, -1, 17}, {false, 3, 0, 17},   {true, 0, 111, 17},
        {true, 1, 50, 17},                  {true, 2, 81, 17},  {true, 2, -1, 17},   {true, 3, 0, 17},
        {true, 7, kOverallScoreLevel, 14},  {true, -1, 0, 14},  {true, 4, 0, 14},
    };
    EnableDebugCategory(DBG_WARNING);
    testing::internal::CaptureStderr();
    for (const auto& row : rows) {
        SetScoreError(0);
        EXPECT_FALSE(row.upload ? RequestScoreUpload("bob", row.type, row.level, 5, 0)
                                : RequestScoreDownload("bob", row.type, row.level));
        EXPECT_EQ(GetScoreError(), row.code) << (row.upload ? "upload " : "download ") << row.type << " " << row.level;
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("No answer from the score server"), std::string::npos) << said;
    ExpectFilledOverall(0);
}

TEST_F(ScoreClientTest, TransportKeepsTheBodyAndTheWriteCallbackIsBounded) {
    Server server({Server::Ok("any body\n")});
    EXPECT_EQ(HttpGet(server.Address() + "zjscores.php", "op=x"), HttpOutcome::kAnswer);
    EXPECT_EQ(LastAnswerBody(), "any body\n");
    server.Join();
    EXPECT_EQ(server.Query(0), "op=x");
    EXPECT_EQ(server.RequestLines()[0].substr(server.RequestLines()[0].size() - 9), " HTTP/1.1");

    char data[4] = {'a', 'b', 'c', 'd'};
    std::string target;
    EXPECT_EQ(HttpWriteCallback(data, 1, 4, nullptr), 0u);
    EXPECT_EQ(HttpWriteCallback(data, 2, 2, &target), 4u);
    EXPECT_EQ(target, "abcd");
    EXPECT_EQ(HttpWriteCallback(data, SIZE_MAX / 2, 4, &target), 0u);
    EXPECT_EQ(target, "abcd");
}

// A server that never answers: the request ends when its time-out (1 s
// here) has passed, as unanswered; or sooner, when the wait is given up
// (the player pressed Escape), as given up. Either way the board is left
// alone and nothing goes into LOG.TXT. The time-out row has a deadline of
// its own, a give-up check 5 s on: were the time-out given not the one the
// transport kept, the wait would end there, given up.
namespace {
std::chrono::steady_clock::time_point g_giveUpAt;
bool GiveUpNow() { return std::chrono::steady_clock::now() >= g_giveUpAt; }
}  // namespace

TEST_F(ScoreClientTest, SilentServerTimesOutAsNoAnswerOrIsGivenUp) {
    const struct {
        std::chrono::seconds giveUpAfter;
        int code;
        std::string said;
    } rows[] = {
        {std::chrono::seconds(5), kScoreErrorNoAnswer, "zorv: warning: No answer from the score server: "},
        {std::chrono::seconds(0), kScoreErrorGivenUp,
         "NOTE:    Stopped waiting for the score server's answer, as the player asked\n"},
    };
    EnableDebugCategory(DBG_NOTE);
    EnableDebugCategory(DBG_WARNING);
    for (const auto& row : rows) {
        Server server(Server::Mode::kSilent, 0);
        SetScoreServerPath(server.Address());
        SetScoreRequestTimeout(1);
        g_giveUpAt = std::chrono::steady_clock::now() + row.giveUpAfter;
        SetScoreGiveUpCheck(&GiveUpNow);
        // A warning goes to stderr, a note to stdout.
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(RequestScoreDownload("bob", 0, kOverallScoreLevel)) << row.code;
        const std::string warned = testing::internal::GetCapturedStderr();
        const std::string noted = testing::internal::GetCapturedStdout();
        const std::string& said = row.code == kScoreErrorNoAnswer ? warned : noted;
        SetScoreGiveUpCheck(nullptr);
        SetScoreRequestTimeout(0);
        EXPECT_EQ(GetScoreError(), row.code);
        EXPECT_EQ(said.substr(0, row.said.size()), row.said) << said;
        if (row.code == kScoreErrorNoAnswer) {
            EXPECT_NE(said.find("(libcurl error 28)\n"), std::string::npos) << said;
        }
        EXPECT_EQ(LogText(), "");
        EXPECT_EQ(GetOverallScoreBoard(0)->count, -1);
    }
}
