// The score server: its answers to every kind of request over a database in
// a temporary folder (registration rules, boards and their ranks, refusals
// that change nothing), and the program itself (options, start, stop,
// databases it must not use).
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sqlite3.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "players/ScoreBoardRules.h"
#include "players/ScoreScramble.h"
#include "server/CAddressBudget.h"
#include "server/CSqliteScoreStore.h"
#include "server/ScoreProtocol.h"
#include "server/CScoreHttpServer.h"
#include "tests/support/CScoreServerProcess.h"
#include "tests/support/CSlowSqliteDisk.h"
#include "tests/support/HostileClients.h"
#include "tests/support/TestSupport.h"

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The scores of a copy of the database file alone, as a host's cp or
// backup takes it (without the write-ahead log beside it), in rank order:
// "42 43 ".
std::string ScoresInTheFileAlone(const std::string& db) {
    const std::string copy = db + ".alone";
    if (!WriteFileBytes(copy, ReadFileBytes(db))) return "no copy";
    sqlite3* alone = nullptr;
    std::string scores;
    if (sqlite3_open(copy.c_str(), &alone) == SQLITE_OK)
        sqlite3_exec(
            alone, "SELECT score FROM scores ORDER BY score",
            [](void* out, int, char** values, char**) {
                *static_cast<std::string*>(out) += std::string(values[0]) + " ";
                return 0;
            },
            &scores, nullptr);
    sqlite3_close(alone);
    unlink(copy.c_str());
    return scores;
}

class ServerProtocolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(store_.Open(dir_.File("scores.db"), &error)) << error;
    }
    std::string Ask(const std::string& query) { return AnswerScoreQuery(store_, HttpBuildQuery(query)).body; }
    std::string Register(const std::string& name) { return Ask("op=addUser&user=" + name + "&version=1.03W"); }
    std::string Upload(const std::string& name, int type, int level, int score, int cheat = 0) {
        return Ask("op=uploadScore&user=" + name + "&type=" + std::to_string(type) + "&level=" +
                   std::to_string(level) + "&score=" + std::to_string(score) + "&cheat=" + std::to_string(cheat));
    }
    std::string Board(const std::string& viewer, int type, int level) {
        std::string body = Ask("op=downloadScore&user=" + viewer + "&type=" + std::to_string(type) + "&level=" +
                               std::to_string(level));
        // The day a score was reached is today's: leave it out.
        std::string out;
        for (size_t at = 0; at < body.size();) {
            const size_t end = body.find('\n', at);
            std::string line = body.substr(at, end - at);
            if (std::count(line.begin(), line.end(), '\t') == 3) line = line.substr(0, line.rfind('\t'));
            out += line + "|";
            at = end + 1;
        }
        return out;
    }
    std::pair<int64_t, int64_t> Stored() {
        int64_t players = -1, scores = -1;
        EXPECT_TRUE(store_.Count(&players, &scores));
        return {players, scores};
    }

    CTempDir dir_;
    CSqliteScoreStore store_;
};

}  // namespace

TEST_F(ServerProtocolTest, RegistrationTakesNamesTheNameDialogAllowsAndProposesFreeOnes) {
    const std::pair<std::string, std::string> rows[] = {
        {"bob", "success\n"},
        {"bob", "failure\n9\nbob1\nbob3\nbob4\n"},  // bob2 is taken
        {"BOB", "failure\n9\nBOB1\nBOB3\nBOB4\n"},  // one player whatever the letter case
        {"bob2", "failure\n9\nbob21\nbob22\nbob23\n"},
        {"", "failure\n11\n"},
        {"abcdefghijklmno", "success\n"},  // 15 characters
        {"abcdefghijklmno", "failure\n9\nabcdefghijklmn1\nabcdefghijklmn2\nabcdefghijklmn3\n"},
        {"abcdefghijklmnop", "failure\n11\n"},
        {"Ann Lee 2", "success\n"},
        {" Ann", "failure\n12\n"},
        {"Ann ", "failure\n12\n"},
        {"Ann  Lee", "failure\n12\n"},
        {"Ann_Lee", "failure\n12\n"},
        {"%b%1", "failure\n12\n"},
        {"Ann-Lee", "failure\n12\n"},
        {"Fu ck 1", "failure\n13\n"},
        {"sh1t", "failure\n13\n"},
        {"2shit2", "failure\n13\n"},
        {"the ass", "failure\n13\n"},
        {"Cassie", "success\n"},
        {"Yoshita", "success\n"},
    };
    Register("bob2");
    for (const auto& row : rows) EXPECT_EQ(Register(row.first), row.second) << row.first;
    EXPECT_EQ(Stored().first, 6);
}

TEST_F(ServerProtocolTest, UploadsKeepTheBestScoreOfKnownBoardsOnly) {
    Register("amy");
    const struct {
        const char* user;
        int type, level, score;
        const char* said;
    } rows[] = {
        {"nobody", 0, 3, 40, "failure\n10\n"}, {"amy", 0, 3, 40, "success\nadded\n"},
        {"amy", 0, 3, 41, "success\nignored\n"}, {"amy", 0, 3, 40, "success\nignored\n"},
        {"amy", 0, 3, 39, "success\nupdated\n"}, {"AMY", 0, 3, 38, "success\nupdated\n"},
        {"amy", 0, 110, 5, "success\nadded\n"}, {"amy", 0, 111, 5, "failure\n17\n"},
        {"amy", 1, 49, 5, "success\nadded\n"}, {"amy", 1, 50, 5, "failure\n17\n"},
        {"amy", 2, 80, 5, "success\nadded\n"}, {"amy", 2, 81, 5, "failure\n17\n"},
        {"amy", 2, -1, 5, "failure\n17\n"},    {"amy", 2, 99999, 700, "success\nadded\n"},
        {"amy", 2, 99998, 5, "failure\n17\n"}, {"amy", 3, 99999, 900, "success\nadded\n"},
        {"amy", 3, 0, 5, "failure\n17\n"},     {"amy", 4, 99999, 5, "failure\n14\n"},
        {"amy", -1, 0, 5, "failure\n14\n"},    {"nobody", 9, 0, 5, "failure\n14\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Upload(row.user, row.type, row.level, row.score), row.said)
            << row.user << " " << row.type << " " << row.level << " " << row.score;
    EXPECT_EQ(Board("amy", 0, 3), "success|1|1\tamy\t38|");
    EXPECT_EQ(Board("", 3, 99999), "success|1|1\tamy\t900|");
    EXPECT_EQ(Stored(), (std::pair<int64_t, int64_t>(1, 6)));
}

TEST_F(ServerProtocolTest, BoardsRankEqualScoresTogetherEarlierFirstAndAddTheOwnRowEleventh) {
    // Twelve players; ties at 20 (three) and at 60 (two); the later of
    // equal scores below the earlier.
    const std::pair<const char*, int> players[] = {{"p1", 10}, {"p2", 20}, {"p3", 20}, {"p4", 20}, {"p5", 30},
                                                   {"p6", 40}, {"p7", 50}, {"p8", 60}, {"p9", 60}, {"p10", 70},
                                                   {"p11", 60}, {"p12", 90}};
    for (const auto& p : players) {
        Register(p.first);
        Upload(p.first, 1, 7, p.second);
    }
    const std::string top = "success|12|1\tp1\t10|2\tp2\t20|2\tp3\t20|2\tp4\t20|5\tp5\t30|6\tp6\t40|7\tp7\t50|"
                            "8\tp8\t60|8\tp9\t60|8\tp11\t60|";
    EXPECT_EQ(Board("", 1, 7), top);
    EXPECT_EQ(Board("p3", 1, 7), top);
    EXPECT_EQ(Board("p10", 1, 7), top + "11\tp10\t70|");
    EXPECT_EQ(Board("p12", 1, 7), top + "12\tp12\t90|");
    // Reaching 60 later than p11 puts p12 below him: an improvement is a new time.
    Upload("p12", 1, 7, 60);
    EXPECT_EQ(Board("p12", 1, 7), top + "8\tp12\t60|");
    // A flagged score is on its own player's board only.
    Register("mallory");
    EXPECT_EQ(Upload("mallory", 1, 7, 1, 4), "success\nadded\n");
    EXPECT_EQ(Board("p10", 1, 7), top + "12\tp10\t70|");
    EXPECT_EQ(Board("mallory", 1, 7).substr(0, 26), "success|13|1\tmallory\t1|2\tp");
    EXPECT_EQ(Board("", 1, 8), "success|0|");
    EXPECT_EQ(Board("p1", 0, 111), "failure|17|");
    EXPECT_EQ(Board("p1", 3, 99999), "success|0|");
    EXPECT_EQ(Board("p1", 3, 0), "failure|17|");
    EXPECT_EQ(Board("p1", 4, 99999), "failure|14|");
}

// A flagged score (sent with a non-zero cheat word) shows on its player's
// own view of the board only; his best clean score is what everybody else
// sees.
TEST_F(ServerProtocolTest, AFlaggedBestNeverHidesAPlayersCleanScore) {
    for (const char* name : {"amy", "mallory"}) Register(name);
    Upload("amy", 0, 3, 40);
    const struct {
        int score, cheat;
        const char* said;
        const char* others;  // the board as amy sees it
        const char* own;     // as mallory sees it
    } rows[] = {
        {10, 4, "success\nadded\n", "success|1|1\tamy\t40|", "success|2|1\tmallory\t10|2\tamy\t40|"},
        {20, 0, "success\nadded\n", "success|2|1\tmallory\t20|2\tamy\t40|", "success|2|1\tmallory\t10|2\tamy\t40|"},
        {15, 4, "success\nignored\n", "success|2|1\tmallory\t20|2\tamy\t40|", "success|2|1\tmallory\t10|2\tamy\t40|"},
        {50, 0, "success\nignored\n", "success|2|1\tmallory\t20|2\tamy\t40|", "success|2|1\tmallory\t10|2\tamy\t40|"},
        {8, 0, "success\nupdated\n", "success|2|1\tmallory\t8|2\tamy\t40|", "success|2|1\tmallory\t8|2\tamy\t40|"},
        {9, 4, "success\nignored\n", "success|2|1\tmallory\t8|2\tamy\t40|", "success|2|1\tmallory\t8|2\tamy\t40|"},
        {5, 4, "success\nupdated\n", "success|2|1\tmallory\t8|2\tamy\t40|", "success|2|1\tmallory\t5|2\tamy\t40|"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Upload("mallory", 0, 3, row.score, row.cheat), row.said) << row.score << " " << row.cheat;
        EXPECT_EQ(Board("amy", 0, 3), row.others) << row.score << " " << row.cheat;
        EXPECT_EQ(Board("", 0, 3), row.others) << row.score << " " << row.cheat;
        EXPECT_EQ(Board("mallory", 0, 3), row.own) << row.score << " " << row.cheat;
    }
    // Below the first rows, his own row is his best of either too.
    for (int p = 0; p < 12; ++p) {
        Register("p" + std::to_string(p));
        Upload("p" + std::to_string(p), 1, 9, 10 + p);
    }
    Upload("mallory", 1, 9, 60);
    Upload("mallory", 1, 9, 25, 4);
    const std::string own = Board("mallory", 1, 9);
    EXPECT_EQ(own.substr(0, 11), "success|13|");
    EXPECT_EQ(own.substr(own.size() - 15), "|13\tmallory\t25|");
    EXPECT_EQ(Board("p0", 1, 9).substr(0, 11), "success|13|");
    EXPECT_EQ(Board("p0", 1, 9).find("mallory"), std::string::npos) << "60 is 13th, below the first ten";
}

// A player below the first rows is told one more than the entries with
// fewer steps, whatever the hexadecimal digits of his score: a zero among
// them (16, 256: no bucket of the board counts comes before his at that
// digit, yet the digits above still count), or a top digit at the counts'
// last depth (from 2^28 up).
TEST_F(ServerProtocolTest, APlayerBelowTheFirstRowsIsToldHisRankWhateverTheDigitsOfHisScore) {
    for (int t = 1; t <= kScoreBoardTopRows; ++t) {
        Register("t" + std::to_string(t));
        Upload("t" + std::to_string(t), 0, 4, t);
    }
    const int32_t below[] = {15, 16, 17, 32, 48, 255, 256, 4096, 0x10000, 0x10010, 0xFFFFFFF, 0x10000000,
                             0x10000010, 0x30000000, 0x7FFFFFFF};
    for (const int32_t score : below) {
        Register("b" + std::to_string(score));
        Upload("b" + std::to_string(score), 0, 4, score);
    }
    for (const int32_t score : below) {
        int ahead = kScoreBoardTopRows;
        for (const int32_t other : below) ahead += other < score;
        const std::string name = "b" + std::to_string(score);
        const std::string own = std::to_string(ahead + 1) + "\t" + name + "\t" + std::to_string(score) + "|";
        const std::string board = Board(name, 0, 4);
        EXPECT_EQ(board.substr(board.size() - std::min(board.size(), own.size())), own) << score;
    }
}

namespace {

// A database as the servers before the board counts left it: layout 1 kept
// a player's flagged score among the clean ones, layout 2 in a table of its
// own. rows are the SQL that fills it; given is the layout its header
// gives (0: none, as in a file made again from a text dump of it; by
// default its own).
void WriteEarlierLayout(const std::string& path, int layout, const std::string& rows, int given = -1) {
    if (given < 0) given = layout;
    const std::string columns =
        " (player INTEGER NOT NULL REFERENCES players(id), type INTEGER NOT NULL,"
        " level INTEGER NOT NULL, score INTEGER NOT NULL, cheat INTEGER NOT NULL, seq INTEGER NOT NULL,"
        " achieved INTEGER NOT NULL, PRIMARY KEY (player, type, level)) WITHOUT ROWID;";
    const std::string sql =
        "PRAGMA journal_mode = WAL; BEGIN;"
        "CREATE TABLE players (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE NOCASE,"
        " version TEXT NOT NULL, registered INTEGER NOT NULL);"
        "CREATE TABLE scores" + columns +
        "CREATE INDEX scores_by_board ON scores (type, level, score, seq, cheat);" +
        (layout >= 2 ? "CREATE TABLE flagged" + columns : std::string()) +
        "CREATE TABLE counters (name TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID;" + rows +
        "PRAGMA user_version = " + std::to_string(given) + "; COMMIT;";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

}  // namespace

// A database of an earlier layout (before flagged scores were kept apart,
// before the board counts) is converted at the start, with its progress in
// the log: its flagged scores stay hidden from others, the player's next
// clean score shows. A file made again from a text dump of one (sqlite3's
// .dump keeps neither the store's mark nor the layout) is known by its
// tables.
TEST(ServerStoreTest, ADatabaseOfTheEarlierLayoutKeepsWorking) {
    const char* const flagged[] = {
        "",
        "INSERT INTO scores VALUES (2, 0, 3, 10, 4, 2, 86400);",
        "INSERT INTO flagged VALUES (2, 0, 3, 10, 4, 2, 86400);",
    };
    for (const auto& [layout, given] : {std::pair(1, 1), std::pair(2, 2), std::pair(2, 0)}) {
        SCOPED_TRACE("layout " + std::to_string(layout) + ", given as " + std::to_string(given));
        CTempDir dir;
        WriteEarlierLayout(dir.File("old.db"), layout,
                           "INSERT INTO counters VALUES ('seq', 2);"
                           "INSERT INTO players VALUES (1, 'amy', '1.03W', 0), (2, 'mallory', '1.03W', 0);"
                           "INSERT INTO scores VALUES (1, 0, 3, 40, 0, 1, 86400);" +
                               std::string(flagged[layout]),
                           given);
        // The program converts it and says so.
        const pid_t pid = SpawnProgram({std::string(ZORV_RUN_DIR) + "/zorv_scored", "--db", dir.File("old.db"),
                                        "--port", "0"},
                                       {}, dir.File("log.txt"), "");
        for (int i = 0; i < 1000 && ReadFileText(dir.File("log.txt")).find("serving") == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        kill(pid, SIGTERM);
        EXPECT_EQ(WaitForProgram(pid, 20), 0);
        const std::string log = ReadFileText(dir.File("log.txt"));
        EXPECT_NE(log.find("database: converting to layout 3: counting the entries of 1 boards (1 scores)"),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("database: counted 100% (1 of 1 boards)"), std::string::npos) << log;

        CSqliteScoreStore store;
        std::string error;
        ASSERT_TRUE(store.Open(dir.File("old.db"), &error)) << error;
        const auto ask = [&](const std::string& query) { return AnswerScoreQuery(store, HttpBuildQuery(query)).body; };
        const std::string board = "op=downloadScore&type=0&level=3&user=";
        EXPECT_EQ(ask(board + "amy"), "success\n1\n1\tamy\t40\t1970-01-02\n");
        EXPECT_EQ(ask(board + "mallory"), "success\n2\n1\tmallory\t10\t1970-01-02\n2\tamy\t40\t1970-01-02\n");
        EXPECT_EQ(ask("op=uploadScore&user=mallory&type=0&level=3&score=60&cheat=0"), "success\nadded\n");
        EXPECT_EQ(ask(board + "amy").rfind("success\n2\n1\tamy\t40\t1970-01-02\n2\tmallory\t60\t", 0), 0u);
        int64_t players = 0, scores = 0;
        EXPECT_TRUE(store.Count(&players, &scores));
        EXPECT_EQ(scores, 3);
        std::string report;
        EXPECT_TRUE(store.CheckIntegrity(&report)) << report;
        store.Close();
        // Opened again, it is of the new layout and as it was; so also
        // without the mark, as the servers before the mark left it.
        sqlite3* unmark = nullptr;
        ASSERT_EQ(sqlite3_open(dir.File("old.db").c_str(), &unmark), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(unmark, "PRAGMA application_id = 0", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(unmark);
        ASSERT_TRUE(store.Open(dir.File("old.db"), &error)) << error;
        EXPECT_EQ(ask(board + "mallory"), "success\n2\n1\tmallory\t10\t1970-01-02\n2\tamy\t40\t1970-01-02\n");
        // And as a text dump of it leaves it.
        store.Close();
        ASSERT_EQ(sqlite3_open(dir.File("old.db").c_str(), &unmark), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(unmark, "PRAGMA application_id = 0; PRAGMA user_version = 0", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(unmark);
        ASSERT_TRUE(store.Open(dir.File("old.db"), &error)) << error;
        EXPECT_EQ(ask(board + "mallory"), "success\n2\n1\tmallory\t10\t1970-01-02\n2\tamy\t40\t1970-01-02\n");
    }
}

// A value SQLite refuses to bind keeps its statement from running, where it
// would run with NULL in its place: the step gives SQLite's reason.
TEST(ServerStoreTest, AStatementRunsOnlyWithEveryValueItWasGiven) {
    CSqliteConnection db;
    std::string error;
    ASSERT_TRUE(db.Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &error)) << error;
    ASSERT_TRUE(db.Run("CREATE TABLE t (a)", &error)) << error;
    CSqliteStatement insert(db.get(), "INSERT INTO t VALUES (:a)");
    const int longest = 100;
    sqlite3_limit(db.get(), SQLITE_LIMIT_LENGTH, longest);
    const struct {
        const char* what;
        std::function<void()> bind;
        int step;
    } rows[] = {
        {"a number for a parameter it has not", [&] { insert.Bind(":b", 5); }, SQLITE_RANGE},
        {"a text for one", [&] { insert.Bind(":ab", "x"); }, SQLITE_RANGE},
        {"a text over the length limit", [&] { insert.Bind(":a", std::string(longest + 1, 'x')); }, SQLITE_TOOBIG},
        {"a text within it", [&] { insert.Bind(":a", std::string(longest / 2, 'x')); }, SQLITE_DONE},
    };
    for (const auto& row : rows) {
        row.bind();
        EXPECT_EQ(insert.Step(), row.step) << row.what;
        insert.Reset();
    }
}

// A download reads a few rows of counts, not the board: on a board of
// 20,000 players, each with a score of his own (as a stranger who registers
// names by the thousand could make it), it takes about the steps it takes on
// a board of twelve, for a viewer who stands as far down on each.
TEST(ServerStoreTest, ADownloadCostsAsMuchOnABoardOf20000AsOnOneOfTwelve) {
    const int big = 20000, prime = 20011;  // scores 1 + i * 7919 % prime: all different
    CTempDir dir;
    WriteEarlierLayout(
        dir.File("scores.db"), 2,
        "WITH RECURSIVE n(i) AS (VALUES (1) UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(big + 12) +
            ") INSERT INTO players SELECT i, CASE WHEN i <= " + std::to_string(big) +
            " THEN 'p' || i ELSE 't' || (i - " + std::to_string(big) + ") END, 'test', 0 FROM n;"
            "INSERT INTO scores SELECT id, 0, 1, 1 + id * 7919 % " + std::to_string(prime) +
            ", 0, id, 86400 FROM players WHERE id <= " + std::to_string(big) + ";"
            "INSERT INTO scores SELECT id, 0, 2, 89 + id - " + std::to_string(big) + ", 0, id, 86400 FROM players"
            " WHERE id > " + std::to_string(big) + ";");
    CSqliteScoreStore store;
    std::string error;
    ASSERT_TRUE(store.Open(dir.File("scores.db"), &error)) << error;
    // The steps of one download, and its answer's count and last row.
    const auto download = [&](const std::string& viewer, int level, std::string* answer) {
        const int64_t before = store.BoardReadSteps();
        const std::string body =
            AnswerScoreQuery(store, HttpBuildQuery("op=downloadScore&type=0&level=" + std::to_string(level) +
                                                   "&user=" + viewer)).body;
        const size_t lastRow = body.rfind('\n', body.size() - 2);
        *answer = body.substr(0, body.find('\n', 8) + 1) + body.substr(lastRow + 1, body.rfind('\t') - lastRow - 1);
        return store.BoardReadSteps() - before;
    };
    // Places on the big board, counted here.
    const auto score = [&](int i) { return 1 + static_cast<int64_t>(i) * 7919 % prime; };
    const auto rank = [&](int of) {
        int ahead = 0;
        for (int i = 1; i <= big; ++i) ahead += score(i) < score(of);
        return ahead + 1;
    };
    int last = 1;
    for (int i = 1; i <= big; ++i) last = score(i) > score(last) ? i : last;
    const struct {
        const char* what;
        std::string small, smallAnswer, viewer, answer;
    } rows[] = {
        {"nobody", "", "success\n12\n10\tt10\t99", "", "success\n20000\n10\tp"},
        {"the last", "t12", "success\n12\n12\tt12\t101", "p" + std::to_string(last),
         "success\n20000\n20000\tp" + std::to_string(last) + "\t" + std::to_string(score(last))},
        {"one further up", "t11", "success\n12\n11\tt11\t100", "p7",
         "success\n20000\n" + std::to_string(rank(7)) + "\tp7\t" + std::to_string(score(7))},
    };
    for (const auto& row : rows) {
        std::string answer;
        const int64_t small = download(row.small, 2, &answer);
        EXPECT_EQ(answer, row.smallAnswer) << row.what;
        const int64_t steps = download(row.viewer, 1, &answer);
        EXPECT_EQ(answer.substr(0, row.answer.size()), row.answer) << row.what;
        printf("MEASURE:  a download by %s: %lld SQLite steps on a board of 20,000, %lld on one of twelve\n",
               row.what, static_cast<long long>(steps), static_cast<long long>(small));
        EXPECT_GT(small, 0);
        EXPECT_LT(steps, 2 * small) << row.what;
    }
}

// A commit that fails (here: no file may grow, as on a full disk) answers
// failure 15 for every upload it carried, and keeps none of them; once the
// disk takes bytes again, the same uploads are kept. An upload that fails
// halfway (its board's count refused after its score was written) fails
// alone, keeping nothing of itself, and the others of its batch are kept.
TEST_F(ServerProtocolTest, AWriteThatFailsIsAnsweredFailureAndKeepsNothingOfItself) {
    const int clients = 8;
    for (int c = 0; c < clients; ++c) Register("c" + std::to_string(c));
    const auto stored = Stored();
    rlimit files = {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &files), 0);
    const rlimit none = {0, files.rlim_max};
    // Every client's upload of 50 + c to a level at once: what each is answered.
    const auto uploadAll = [&](int level) {
        std::vector<ScoreReply> said(clients);
        std::vector<std::thread> threads;
        for (int c = 0; c < clients; ++c)
            threads.emplace_back([&, c] {
                said[c] = AnswerScoreQuery(store_, HttpBuildQuery("op=uploadScore&user=c" + std::to_string(c) +
                                                                  "&type=0&level=" + std::to_string(level) +
                                                                  "&score=" + std::to_string(50 + c) + "&cheat=0"));
            });
        for (std::thread& t : threads) t.join();
        return said;
    };
    void (*const before)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
    std::vector<ScoreReply> said = uploadAll(1);
    setrlimit(RLIMIT_FSIZE, &files);
    signal(SIGXFSZ, before);
    for (int c = 0; c < clients; ++c) {
        EXPECT_EQ(said[c].status, 500) << c;
        EXPECT_EQ(said[c].body, "failure\n15\n") << c;
    }
    EXPECT_EQ(Stored(), stored);
    EXPECT_EQ(Board("c0", 0, 1), "success|0|");
    for (int c = 0; c < clients; ++c) EXPECT_EQ(Upload("c" + std::to_string(c), 0, 1, 50), "success\nadded\n") << c;
    EXPECT_EQ(Board("", 0, 1).substr(0, 10), "success|8|");
    // Client 3's count refused: his upload alone fails, kept when sent again.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dir_.File("scores.db").c_str(), &other), SQLITE_OK);
    sqlite3_exec(other, "CREATE TRIGGER refuse BEFORE INSERT ON counts WHEN NEW.bucket = 53 BEGIN SELECT"
                        " RAISE(ABORT, 'refused'); END", nullptr, nullptr, nullptr);
    const auto kept = Stored();
    said = uploadAll(2);
    sqlite3_exec(other, "DROP TRIGGER refuse", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    for (int c = 0; c < clients; ++c) {
        EXPECT_EQ(said[c].status, c == 3 ? 500 : 200) << c;
        EXPECT_EQ(said[c].body, c == 3 ? "failure\n15\n" : "success\nadded\n") << c;
        EXPECT_EQ(Upload("c" + std::to_string(c), 0, 2, 50 + c), c == 3 ? "success\nadded\n" : "success\nignored\n")
            << c;
    }
    EXPECT_EQ(Stored(), std::make_pair(kept.first, kept.second + clients));
    std::string report;
    EXPECT_TRUE(store_.CheckIntegrity(&report)) << report;
}

// Another program that holds the write lock for a second (a backup, an
// administrator's query) delays an upload, and it is kept; one that holds it
// past the store's wait turns it into failure 15, no sooner, with nothing
// kept.
TEST_F(ServerProtocolTest, AnUploadWaitsAWhileForALockAnotherProgramHolds) {
    Register("amy");
    const struct {
        const char* what;
        int heldMs;  // -1: until the upload is answered
        const char* said;
    } rows[] = {
        {"held a second", 1000, "success\nadded\n"},
        {"held past the wait", -1, "failure\n15\n"},
    };
    int level = 0;
    for (const auto& row : rows) {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(dir_.File("scores.db").c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        std::thread release;
        if (row.heldMs >= 0)
            release = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(row.heldMs));
                sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            });
        const auto asked = std::chrono::steady_clock::now();
        EXPECT_EQ(Upload("amy", 0, ++level, 50), row.said) << row.what;
        const auto waited = std::chrono::steady_clock::now() - asked;
        if (release.joinable()) release.join();
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        if (row.heldMs < 0) {
            EXPECT_GE(waited, std::chrono::milliseconds(CSqliteScoreStore::kLockWaitMilliseconds));
        }
        EXPECT_EQ(Board("amy", 0, level), row.heldMs < 0 ? "success|0|" : "success|1|1\tamy\t50|") << row.what;
    }
}

TEST_F(ServerProtocolTest, UnreadableRequestsAreRefusedAndChangeNothing) {
    Register("amy");
    Upload("amy", 0, 1, 50);
    const auto stored = Stored();
    const std::string sane = HttpBuildQuery("op=uploadScore&user=amy&type=0&level=1&score=10&cheat=0");
    std::string flipped = sane;
    flipped[flipped.size() / 2] = flipped[flipped.size() / 2] == 'k' ? 'm' : 'k';
    std::string unjoined;  // a joined pair written out as its two letters
    for (char c : sane) unjoined += c == '3' ? std::string("kk") : std::string(1, c);
    const std::string scrambled[] = {
        "", "abc", sane.substr(1), sane + "k", flipped, sane + "%20", std::string(kScoreQueryMax + 1, 'k'),
        unjoined == sane ? "x" : unjoined,
        ReverseString(CompressPairs(EncodeBytes("r=1&op=uploadScore&user=amy&type=0&level=1&score=10&cheat=0&cs=1"))),
        ReverseString(CompressPairs(EncodeBytes(AppendChecksum("r=32768&op=downloadScore&user=amy&type=0&level=1")))),
        ReverseString(CompressPairs(EncodeBytes(AppendChecksum("op=downloadScore&user=amy&type=0&level=1")))),
    };
    for (const std::string& s : scrambled) {
        const ScoreReply reply = AnswerScoreQuery(store_, s);
        EXPECT_EQ(reply.status, 400) << s.substr(0, 80);
        EXPECT_EQ(reply.body, "failure\n16\n") << s.substr(0, 80);
    }
    const char* queries[] = {
        "op=uploadScore&user=amy&type=0&level=1&score=10",
        "op=uploadScore&user=amy&type=0&level=1&score=10&cheat=0&cheat=0",
        "op=uploadScore&user=amy&type=0&level=1&score=10&cheat=0&extra=1",
        "op=uploadScore&user=amy&type=0&level=1&score=10&cheat",
        "op=uploadScore&user=amy&type=0&level=1&score=0&cheat=0",
        "op=uploadScore&user=amy&type=0&level=1&score=-5&cheat=0",
        "op=uploadScore&user=amy&type=0&level=1&score=2147483648&cheat=0",
        "op=uploadScore&user=amy&type=0&level=1&score=1e3&cheat=0",
        "op=uploadScore&user=amy&type=0&level=1&score= 10&cheat=0",
        "op=uploadScore&user=amy&type=x&level=1&score=10&cheat=0",
        "op=uploadScore&user=amy&type=0&level=&score=10&cheat=0",
        "op=uploadScore&user=amy&type=0&level=1&score=10&cheat=-",
        // A minus sign stands before a negative number only.
        "op=uploadScore&user=amy&type=-0&level=1&score=10&cheat=0",
        "op=uploadScore&user=amy&type=0&level=-0&score=10&cheat=0",
        "op=uploadScore&user=amy&type=0&level=1&score=10&cheat=-0",
        "op=deleteScore&user=amy&type=0&level=1",
        "user=amy&type=0&level=1",
        "op=addUser&user=zed",
        "op=addUser&user=zed&version=",
        "op=addUser&user=zed&version=1.03W evil",
        "op=downloadScore&user=amy&type=0&level=1&level=2",
        "",
    };
    for (const char* q : queries) {
        const ScoreReply reply = AnswerScoreQuery(store_, HttpBuildQuery(q));
        EXPECT_EQ(reply.status, 400) << q;
        EXPECT_EQ(reply.body, "failure\n16\n") << q;
    }
    EXPECT_EQ(Stored(), stored);
    EXPECT_EQ(Board("amy", 0, 1), "success|1|1\tamy\t50|");
}

// ---- what one address may write ------------------------------------------------

namespace {

sockaddr_storage SocketAddress(const std::string& text) {
    sockaddr_storage a = {};
    if (text.find(':') == std::string::npos) {
        sockaddr_in* v4 = reinterpret_cast<sockaddr_in*>(&a);
        v4->sin_family = AF_INET;
        EXPECT_EQ(inet_pton(AF_INET, text.c_str(), &v4->sin_addr), 1) << text;
    } else {
        sockaddr_in6* v6 = reinterpret_cast<sockaddr_in6*>(&a);
        v6->sin6_family = AF_INET6;
        EXPECT_EQ(inet_pton(AF_INET6, text.c_str(), &v6->sin6_addr), 1) << text;
    }
    return a;
}

// A budget on a clock of the test's own, and what it answers an address.
struct BudgetOnAClock {
    explicit BudgetOnAClock(CAddressBudget::Rate rate)
        : budget(rate, rate, CAddressBudget::kAddressesMax, [this] { return start + passed; }) {}
    unsigned Take(const std::string& address, CAddressBudget::Kind kind = CAddressBudget::kRegistration) {
        const sockaddr_storage a = SocketAddress(address);
        return budget.Take(AddressKey::Of(reinterpret_cast<const sockaddr*>(&a)), kind);
    }
    CAddressBudget::Clock::time_point start = CAddressBudget::Clock::now();
    CAddressBudget::Clock::duration passed{0};
    CAddressBudget budget;
};

}  // namespace

// An address is an IPv4 address, or the /64 network of an IPv6 one; an IPv4
// address seen through an IPv6 socket is the IPv4 address, not the one /64
// that every IPv4 client would then share.
TEST(ServerBudgetTest, AnAddressIsAnIPv4AddressOrTheSlash64OfAnIPv6One) {
    const struct {
        const char* first;
        const char* second;
        bool shared;
    } rows[] = {
        {"10.0.0.1", "10.0.0.1", true},
        {"10.0.0.1", "10.0.0.2", false},
        {"2001:db8:1:2::1", "2001:db8:1:2:ffff:ffff:ffff:9", true},
        {"2001:db8:1:2::1", "2001:db8:1:3::1", false},
        {"::ffff:10.0.0.1", "10.0.0.1", true},
        {"::ffff:10.0.0.1", "::ffff:10.0.0.2", false},
        {"::ffff:10.0.0.1", "::10.0.0.1", false},
        {"::1", "::2", true},
    };
    for (const auto& row : rows) {
        BudgetOnAClock one({1, 1});  // one at once, then one a minute
        EXPECT_EQ(one.Take(row.first), 0u) << row.first;
        EXPECT_EQ(one.Take(row.second) > 0, row.shared) << row.first << " " << row.second;
        EXPECT_EQ(one.Take(row.second, CAddressBudget::kUpload), 0u) << "uploads have a bucket of their own";
    }
}

// The table of addresses holds at most its bound. Past it, new addresses
// share one address's budget: a crowd of them gets no more through than one
// address would, and the addresses already in the table keep their own.
// Addresses whose buckets are full again leave the table.
TEST(ServerBudgetTest, TheTableHoldsItsBoundAndNewAddressesBeyondItShareOneBudget) {
    const CAddressBudget::Rate rate = CAddressBudget::kRegistrationsDefault;
    BudgetOnAClock table(rate);
    const auto address = [](size_t n) {
        return "10." + std::to_string(n >> 16 & 255) + "." + std::to_string(n >> 8 & 255) + "." + std::to_string(n & 255);
    };
    for (size_t n = 0; n < CAddressBudget::kAddressesMax; ++n) ASSERT_EQ(table.Take(address(n)), 0u) << n;
    EXPECT_EQ(table.budget.Tracked(), CAddressBudget::kAddressesMax);
    // One past the bound and further: one budget between them.
    for (unsigned n = 0; n < rate.burst; ++n)
        EXPECT_EQ(table.Take(address(CAddressBudget::kAddressesMax + n)), 0u) << n;
    EXPECT_EQ(table.budget.Tracked(), CAddressBudget::kAddressesMax);
    EXPECT_EQ(table.Take(address(CAddressBudget::kAddressesMax + rate.burst)), 10u);
    EXPECT_EQ(table.Take(address(0)), 0u) << "an address in the table keeps its budget";
    // A refill later every address but the first is full again: the next new
    // address takes its place in the table, and after a minute the full ones
    // are gone.
    table.passed = std::chrono::seconds(10);
    EXPECT_EQ(table.Take(address(CAddressBudget::kAddressesMax + rate.burst)), 0u);
    EXPECT_EQ(table.budget.Tracked(), 2u);
    table.passed = std::chrono::seconds(70);
    EXPECT_EQ(table.Take("10.255.0.1", CAddressBudget::kUpload), 0u);
    EXPECT_EQ(table.budget.Tracked(), 1u);
}

// One IPv6 site (a /48) holds at most its share of the table: its first
// /64s each have a budget of their own, the ones past that share one of the
// site's own. However many /64s it brings, a site leaves the table to
// everyone else, and a new address elsewhere still has its own budget.
TEST(ServerBudgetTest, OneSiteHoldsAtMostItsShareOfTheTable) {
    BudgetOnAClock site({1, 1});  // one at once, then one a minute
    const auto subnet = [](size_t n) {
        char text[64];
        snprintf(text, sizeof text, "2001:db8:5:%zx::1", n);
        return std::string(text);
    };
    for (size_t n = 0; n < CAddressBudget::kSubnetsPerSite; ++n) {
        ASSERT_EQ(site.Take(subnet(n)), 0u) << n;
        ASSERT_GT(site.Take(subnet(n)), 0u) << n << ": a budget of its own, spent";
    }
    EXPECT_EQ(site.Take(subnet(CAddressBudget::kSubnetsPerSite)), 0u) << "one past: the site's shared budget";
    EXPECT_GT(site.Take(subnet(CAddressBudget::kSubnetsPerSite + 1)), 0u) << "which the next /64 shares";
    EXPECT_EQ(site.Take("2001:db8:6::1"), 0u) << "another site has budgets of its own";
    EXPECT_EQ(site.budget.Tracked(), CAddressBudget::kSubnetsPerSite + 2);
    // Every /64 the site may have: the table keeps room for everyone else.
    for (size_t n = 0; n < CAddressBudget::kAddressesMax; ++n) site.Take(subnet(n));
    EXPECT_EQ(site.budget.Tracked(), CAddressBudget::kSubnetsPerSite + 2);
    EXPECT_EQ(site.Take("10.0.0.1"), 0u);
    EXPECT_EQ(site.Take("10.0.0.2"), 0u) << "new addresses do not share one budget";
    // Once its /64s are full again and gone, the site's next ones have
    // budgets of their own again.
    site.passed = std::chrono::minutes(2);
    EXPECT_EQ(site.Take(subnet(CAddressBudget::kSubnetsPerSite + 1)), 0u);
    EXPECT_EQ(site.Take(subnet(CAddressBudget::kSubnetsPerSite + 2)), 0u);
    EXPECT_EQ(site.budget.Tracked(), 2u);
}

TEST(ServerBudgetTest, ABudgetIsReadAsAtOnceCommaAMinuteOrOff) {
    const struct {
        const char* text;
        bool read;
        unsigned burst, perMinute;
    } rows[] = {
        {"100,6", true, 100, 6},   {"off", true, 0, 0},        {"1,1", true, 1, 1},
        {"1000000,1000000", true, 1000000, 1000000},           {"1000001,1", false, 0, 0},
        {"1,1000001", false, 0, 0}, {"0,6", false, 0, 0},      {"6,0", false, 0, 0},
        {"6", false, 0, 0},         {"6,", false, 0, 0},       {",6", false, 0, 0},
        {"1,2,3", false, 0, 0},     {" 1,2", false, 0, 0},     {"-1,2", false, 0, 0},
        {"Off", false, 0, 0},       {"", false, 0, 0},
    };
    for (const auto& row : rows) {
        CAddressBudget::Rate rate = {7, 7};
        EXPECT_EQ(CAddressBudget::ReadRate(row.text, &rate), row.read) << row.text;
        if (!row.read) continue;
        EXPECT_EQ(rate.burst, row.burst) << row.text;
        EXPECT_EQ(rate.perMinute, row.perMinute) << row.text;
        EXPECT_EQ(CAddressBudget::RateText(rate), row.text);
    }
}

// ---- the program ----------------------------------------------------------------

TEST(ServerProgramTest, BadOptionsAreRefusedInOneLine) {
    CTempDir dir;
    // An option taken that should have been refused starts a server: ended.
    const std::string program = "timeout 5 " + std::string(ZORV_RUN_DIR) + "/zorv_scored";
    const std::string err = dir.File("err.txt");
    const std::string db = " --db " + dir.File("s.db");
    const std::pair<std::string, const char*> rows[] = {
        {"", "no database given"},
        {" --port 8080", "no database given"},
        {" --db", "--db needs a file name"},
        {db + " --port 65536", "--port needs a number from 0 to 65535"},
        {db + " --port -1", "--port needs a number"},
        {db + " --port 80x", "--port needs a number"},
        {db + " --port -0", "--port needs a number"},
        {db + " --port", "--port needs a number"},
        {db + " --bind ''", "--bind needs an address"},
        {db + " --path zorv/", "--path needs a path that starts with /"},
        {db + " --path '/zo rv/'", "--path needs a path that starts with / (like /zorv/): a space cannot stand in "
                                    "an address as it is"},
        {db + " --path '/zo%rv/'", "--path needs a path that starts with / (like /zorv/): '%' cannot stand in"},
        {db + " --path '/zorv/?'", "--path needs a path that starts with / (like /zorv/): '?' would end the path, "
                                   "so the score script could never be reached"},
        {db + " --path '/zo#rv'", "--path needs a path that starts with / (like /zorv/): '#' would end the path"},
        {db + " --port 1 --port 2", "--port given twice"},
        {db + db, "--db given twice"},
        {db + " --verbose", "unknown option --verbose (see --help)"},
        {db + " scores.db", "unexpected argument scores.db"},
        {db + " \"$(printf '%s\\033' --x)\"", "unknown option --x\\x1b"},
        {db + " --uploads 300", "--uploads needs N,M (N at once, then M a minute; each 1 to 1000000) or off"},
        {db + " --registrations 1000001,6", "--registrations needs N,M"},
        {db + " --registrations off --registrations off", "--registrations given twice"},
    };
    for (const auto& row : rows) {
        const ProgramRun run = RunProgram(program + row.first, err);
        EXPECT_TRUE(IsOneLineRefusal("zorv_scored", run, err, row.second)) << row.first;
    }
    const ProgramRun help = RunProgram(program + " --help", err);
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("Usage: zorv_scored --db FILE", 0), 0u) << help.out;
    // A usage that cannot be written is no answer.
    EXPECT_TRUE(IsOneLineRefusal("zorv_scored", RunProgram(program + " --help > /dev/full", err), err,
                                 "cannot write the standard output: No space left on device"));
    EXPECT_FALSE(Exists(dir.File("s.db")));
}

TEST(ServerProgramTest, StartsOnANewDatabaseStopsCleanlyAndKeepsWhatItWasGiven) {
    CScoreServerProcess server;
    ASSERT_TRUE(server.IsRunning());
    EXPECT_NE(server.Log().find("(0 players, 0 scores)"), std::string::npos) << server.Log();
    server.AddScore(0, 5, "amy", 42);
    // Anything but the script is refused in the same words.
    EXPECT_EQ(server.Ask("op=downloadScore&user=amy&type=0&level=5").substr(0, 13), "success\n1\n1\ta");
    EXPECT_EQ(server.Request("/other"), std::make_pair(404L, std::string("failure\n16\n")));
    EXPECT_EQ(server.Stop(), 0) << server.Log();
    EXPECT_NE(server.Log().find("zorv_scored: stopped by SIGTERM; database closed\n"), std::string::npos);
    // The database is its one file again: a copy of it alone, as a host's
    // cp takes it, holds what was given.
    EXPECT_FALSE(Exists(server.DatabasePath() + "-wal"));
    EXPECT_EQ(ScoresInTheFileAlone(server.DatabasePath()), "42 ");
    ASSERT_TRUE(server.Start());
    EXPECT_NE(server.Log().find("(1 players, 1 scores)"), std::string::npos) << server.Log();
    EXPECT_EQ(server.StoredScore(0, 5, "amy"), 42);
    server.AddScore(0, 6, "amy", 43);
    // Another program that has the file open keeps the stop from folding
    // the log back: the last line says the two files go together.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(server.DatabasePath().c_str(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "SELECT COUNT(*) FROM scores", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(server.Stop(SIGINT), 0);  // Ctrl+C
    sqlite3_close(other);
    const std::string log = server.Log();
    EXPECT_NE(log.find("zorv_scored: stopped by SIGINT; database closed, but another program has it open: its "
                       "latest writes are in " + server.DatabasePath() + "-wal beside it, so keep the two files "
                       "together"),
              std::string::npos)
        << log;
    // That program's own close folded it back.
    EXPECT_EQ(ScoresInTheFileAlone(server.DatabasePath()), "42 43 ");
    // The hang-up of the terminal it was started from (a host's ssh
    // session ends) stops it as cleanly.
    ASSERT_TRUE(server.Start());
    server.AddScore(0, 7, "amy", 44);
    EXPECT_EQ(server.Stop(SIGHUP), 0);
    EXPECT_NE(server.Log().find("zorv_scored: stopped by SIGHUP; database closed\n"), std::string::npos);
    EXPECT_EQ(ScoresInTheFileAlone(server.DatabasePath()), "42 43 44 ");
    // Started as nohup starts it, with the hang-up ignored, it keeps
    // ignoring it: the SIGTERM after it stops it.
    signal(SIGHUP, SIG_IGN);
    const bool underNohup = server.Start();
    signal(SIGHUP, SIG_DFL);
    ASSERT_TRUE(underNohup);
    kill(server.Pid(), SIGHUP);
    EXPECT_EQ(server.Stop(), 0);
    const std::string nohupLog = server.Log();
    EXPECT_EQ(nohupLog.substr(nohupLog.rfind("zorv_scored: stopped by")),
              "zorv_scored: stopped by SIGTERM; database closed\n");
    // A disk full as the stop folds the log back: the last line says so,
    // blaming no other program, and a later stop folds it back. An upload
    // meanwhile fails, its one log line with the reason: SQLite has taken
    // the transaction back itself.
    const std::string full = server.DatabasePath() + ".full";
    setenv("LD_PRELOAD", ZORV_SLOW_DISK, 1);
    setenv("ZORV_FULL_DISK_WHILE", full.c_str(), 1);
    const bool started = server.Start();
    unsetenv("LD_PRELOAD");
    ASSERT_TRUE(started);
    server.AddScore(0, 8, "amy", 45);
    ASSERT_TRUE(WriteFileText(full, ""));
    EXPECT_EQ(server.Ask("op=uploadScore&user=amy&type=0&level=8&score=40&cheat=0"), "failure\n15\n");
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_NE(server.Log().find("database: \"COMMIT\": database or disk is full\n"), std::string::npos);
    EXPECT_EQ(server.Log().find("cannot rollback"), std::string::npos) << server.Log();
    EXPECT_NE(server.Log().find("zorv_scored: stopped by SIGTERM; database closed, but its write-ahead log could not "
                                "be folded back into it (database or disk is full): its latest writes are in " +
                                server.DatabasePath() + "-wal beside it, so keep the two files together"),
              std::string::npos)
        << server.Log();
    unlink(full.c_str());
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_EQ(ScoresInTheFileAlone(server.DatabasePath()), "42 43 44 45 ");
    const std::vector<std::string> asked = server.Requests();
    ASSERT_GE(asked.size(), 4u);
    EXPECT_EQ(asked[0], "op=addUser&user=amy&version=test -> success");
    EXPECT_EQ(asked[1], "op=uploadScore&user=amy&type=0&level=5&score=42&cheat=0 -> success added");
}

// Each request is answered as HTTP asks: HTTP/1.1 without one Host header
// 400, HTTP/1.0 without one its answer (but with two 400); a HEAD as its
// GET without the body, save a HEAD of a write, which writes nothing (405);
// another method 405; each 405 with the methods it allows; a request line
// in absolute form as its path. A host who opens the server's address in a
// browser, at the root or at the path, learns what the server is (by the
// game's title on screen) and its path; any other page is refused as
// before, and the game's queries are answered as ever.
TEST(ServerProgramTest, RequestsAreAnsweredAsHttpAsksAndABrowserLearnsWhatTheServerIs) {
    // Its path given as a host may write it, without the last slash: the
    // script is in that folder all the same.
    CScoreServerProcess server({"--path", "/zorv"});
    ASSERT_TRUE(server.IsRunning());
    server.AddScore(0, 5, "amy", 42);
    const std::string query = "/zorv/zjscores.php?" + HttpBuildQuery("op=downloadScore&user=amy&type=0&level=5");
    const std::string write = "/zorv/zjscores.php?" + HttpBuildQuery("op=addUser&user=eve&version=x");
    const std::string close = "Connection: close\r\n\r\n";
    const std::string board = "success\n1\n1\tamy\t42\t";
    const std::string page = "the score server of Professor Tumblewick and the Pyrowhorl";
    const std::string unreadable = "failure\n16\n";
    const std::string nothing;
    const struct {
        const char* what;
        std::string request;
        int status;
        const std::string& says;
        const char* allow;  // the Allow header ("": none)
    } rows[] = {
        {"the game's query", "GET " + query + " HTTP/1.1\r\nHost: h\r\n" + close, 200, board, ""},
        {"over HTTP/1.1 without Host", "GET " + query + " HTTP/1.1\r\n" + close, 400, unreadable, ""},
        {"over HTTP/1.1 with two", "GET " + query + " HTTP/1.1\r\nHost: h\r\nHost: i\r\n" + close, 400, unreadable,
         ""},
        {"over HTTP/1.0 without Host", "GET " + query + " HTTP/1.0\r\n\r\n", 200, board, ""},
        {"over HTTP/1.0 with two", "GET " + query + " HTTP/1.0\r\nHost: h\r\nHost: i\r\n\r\n", 400, unreadable, ""},
        {"in absolute form", "GET http://h" + query + " HTTP/1.1\r\nHost: h\r\n" + close, 200, board, ""},
        {"in absolute form over https", "GET https://h" + query + " HTTP/1.1\r\nHost: h\r\n" + close, 200, board, ""},
        {"as a HEAD", "HEAD " + query + " HTTP/1.1\r\nHost: h\r\n" + close, 200, nothing, ""},
        {"a write as a HEAD", "HEAD " + write + " HTTP/1.1\r\nHost: h\r\n" + close, 405, nothing, "GET"},
        {"as a POST", "POST " + query + " HTTP/1.1\r\nHost: h\r\nContent-Length: 0\r\n" + close, 405, unreadable,
         "GET, HEAD"},
        {"a browser at the root", "GET / HTTP/1.1\r\nHost: h\r\n" + close, 200, page, ""},
        {"at the path", "GET /zorv/ HTTP/1.1\r\nHost: h\r\n" + close, 200, page, ""},
        {"at the path without its last slash", "GET /zorv HTTP/1.1\r\nHost: h\r\n" + close, 200, page, ""},
        {"at the path in absolute form", "GET http://h/zorv/ HTTP/1.1\r\nHost: h\r\n" + close, 200, page, ""},
        {"its scheme in capitals", "GET HTTPS://h/zorv/ HTTP/1.1\r\nHost: h\r\n" + close, 200, page, ""},
        {"a monitor's HEAD at the root", "HEAD / HTTP/1.1\r\nHost: h\r\n" + close, 200, nothing, ""},
        {"at the path", "HEAD /zorv/ HTTP/1.1\r\nHost: h\r\n" + close, 200, nothing, ""},
        {"a POST at the root", "POST / HTTP/1.1\r\nHost: h\r\nContent-Length: 0\r\n" + close, 405, unreadable,
         "GET, HEAD"},
        {"at the root without Host", "GET / HTTP/1.1\r\n" + close, 400, unreadable, ""},
        {"at another page", "GET /zorv/index.html HTTP/1.1\r\nHost: h\r\n" + close, 404, unreadable, ""},
        {"as a HEAD", "HEAD /zorv/index.html HTTP/1.1\r\nHost: h\r\n" + close, 404, nothing, ""},
    };
    for (const auto& row : rows) {
        const std::string raw = SendFrom("127.0.0.1", server.Port(), row.request, 10);
        const size_t head = raw.find("\r\n\r\n");
        ASSERT_EQ(raw.rfind("HTTP/1.", 0), 0u) << row.what << ": " << raw;
        EXPECT_EQ(atoi(raw.c_str() + 9), row.status) << row.what;
        const std::string body = head == std::string::npos ? "" : raw.substr(head + 4);
        EXPECT_NE(body.find(row.says), std::string::npos) << row.what << ": " << body;
        if (&row.says == &nothing) {
            EXPECT_EQ(body, "") << row.what;
        }
        const size_t allow = raw.find("\r\nAllow: ");
        EXPECT_EQ(allow < head ? raw.substr(allow + 9, raw.find("\r\n", allow + 2) - allow - 9) : "", row.allow)
            << row.what;
        if (&row.says == &page) {
            EXPECT_NE(body.find("Its path is /zorv/"), std::string::npos) << body;
        }
    }
    EXPECT_EQ(server.StoredScore(0, 5, "eve"), -1) << "a HEAD registered a name";
    EXPECT_EQ(server.Stop(), 0);
}

// The host sets the budgets: here registrations without a bound and two
// uploads at once, one a minute more.
TEST(ServerProgramTest, TheBudgetsAreTheHostsToSet) {
    CScoreServerProcess server({"--registrations", "off", "--uploads", "2,1"});
    ASSERT_TRUE(server.IsRunning());
    EXPECT_NE(server.Log().find("zorv_scored: what one address may write: registrations off, uploads 2,1 (at once, "
                                "then a minute; 429 past that)"),
              std::string::npos)
        << server.Log();
    for (unsigned n = 0; n <= CAddressBudget::kRegistrationsDefault.burst; ++n)
        EXPECT_EQ(server.Ask("op=addUser&user=p" + std::to_string(n) + "&version=test"), "success\n") << n;
    const std::string upload = "/zorv/zjscores.php?" + HttpBuildQuery("op=uploadScore&user=p0&type=0&level=1&score=9&cheat=0");
    EXPECT_EQ(server.Request(upload), std::make_pair(200L, std::string("success\nadded\n")));
    EXPECT_EQ(server.Request(upload), std::make_pair(200L, std::string("success\nignored\n")));
    EXPECT_EQ(server.Request(upload), std::make_pair(429L, std::string("failure\n18\n")));
    EXPECT_EQ(server.Requests().back(),
              "op=uploadScore&user=p0&type=0&level=1&score=9&cheat=0 -> failure 18 busy: over this address's budget, "
              "retry after 60 s");
    EXPECT_EQ(server.Stop(), 0);
}

// Every kind of database it cannot use is refused with the reason, and left
// byte for byte as it was, with no file made beside it.
TEST(ServerProgramTest, DatabasesItCannotUseStopTheStartWithTheReason) {
    CTempDir dir;
    // A server that starts on a file it should have refused is stopped.
    const std::string program = "timeout 10 " + std::string(ZORV_RUN_DIR) + "/zorv_scored --port 0 --db ";
    ASSERT_TRUE(WriteFileText(dir.File("notes.db"), std::string(4096, 'x')));
    // Other programs' databases, to be left exactly as they are: one with a
    // table of its own, one that gives a layout this server wrote, one a
    // layout no server wrote, one marked as another program's; and one of
    // ours that a newer server marked with its later layout.
    const std::pair<const char*, const char*> made[] = {
        {"other.db", "CREATE TABLE t (a)"},
        {"invoices.db", "CREATE TABLE invoices (a); PRAGMA user_version = 3"},
        {"negative.db", "PRAGMA journal_mode = WAL; CREATE TABLE invoices (a); PRAGMA user_version = -1"},
        {"marked.db", "PRAGMA application_id = 1234"},
        {"named.db", "CREATE TABLE counters (a); CREATE TABLE players (a); CREATE TABLE scores (a)"},  // not ours
        {"newer.db", "PRAGMA user_version = 4"},
    };
    {
        CSqliteScoreStore ours;
        std::string error;
        ASSERT_TRUE(ours.Open(dir.File("newer.db"), &error)) << error;
    }
    for (const auto& file : made) {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(dir.File(file.first).c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, file.second, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
    }
    const auto copy = [&](const std::string& from, const std::string& to) {
        return WriteFileBytes(dir.File(to), ReadFileBytes(dir.File(from)));
    };
    // Another program's WAL database with its log, as a crash leaves them; and
    // one it keeps open (never read here: a close by this process ends its locks).
    sqlite3* held[2] = {};
    for (sqlite3*& db : held) {
        ASSERT_EQ(sqlite3_open(dir.File(&db == held ? "held.db" : "crashing.db").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode = WAL; CREATE TABLE t (a)", nullptr, nullptr, nullptr),
                  SQLITE_OK);
    }
    ASSERT_TRUE(copy("crashing.db", "crashed.db") && copy("crashing.db-wal", "crashed.db-wal"));
    sqlite3_close(held[1]);
    // One whose write, halfway, is in its journal, and a log beside it;
    // that journal beside an empty file; a named pipe.
    sqlite3* writing = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("writing.db").c_str(), &writing), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writing, "PRAGMA cache_size = 2; CREATE TABLE t (a); BEGIN;"
                           " INSERT INTO t VALUES (zeroblob(600000))", nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(copy("writing.db", "unfinished.db") && copy("writing.db-journal", "unfinished.db-journal"));
    sqlite3_close(writing);
    ASSERT_TRUE(copy("crashed.db-wal", "unfinished.db-wal") && copy("unfinished.db-journal", "blank.db-journal"));
    ASSERT_TRUE(WriteFileText(dir.File("blank.db"), ""));
    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0644), 0);
    {
        // A database of ours with a page more than its tables use: it opens
        // and reads as if whole, only SQLite's own check finds it.
        // So also as made again from a text dump (rollback mode, no mark). An
        // empty file with our log beside it, and the log without its file; a
        // whole one the server may not write, and one in a folder it may not.
        CSqliteScoreStore store;
        std::string error;
        ASSERT_TRUE(store.Open(dir.File("damaged.db"), &error)) << error;
        for (int p = 0; p < 300; ++p) store.AddPlayer("player" + std::to_string(p), "1.03W");
        ASSERT_TRUE(copy("damaged.db-wal", "empty.db-wal") && copy("damaged.db-wal", "gone.db-wal"));
        ASSERT_TRUE(WriteFileText(dir.File("empty.db"), ""));
        // Everything in the file itself once it is closed.
        ASSERT_TRUE(store.Close());
        ASSERT_FALSE(Exists(dir.File("damaged.db-wal")));
        ASSERT_EQ(mkdir(dir.File("locked").c_str(), 0755), 0);
        ASSERT_TRUE(copy("damaged.db", "readonly.db") && copy("damaged.db", "locked/s.db"));
        ASSERT_EQ(chmod(dir.File("readonly.db").c_str(), 0444) | chmod(dir.File("locked/s.db").c_str(), 0666), 0);
        ASSERT_EQ(chmod(dir.File("locked").c_str(), 0555) | chmod(dir.Path().c_str(), 0755), 0);
        std::vector<uint8_t> bytes = ReadFileBytes(dir.File("damaged.db"));
        ASSERT_EQ(bytes.size() % 4096, 0u);
        const uint32_t pages = static_cast<uint32_t>(bytes.size() / 4096) + 1;
        bytes.resize(bytes.size() + 4096, 0);
        for (int i = 0; i < 4; ++i) bytes[28 + i] = static_cast<uint8_t>(pages >> (24 - 8 * i));  // big-endian
        ASSERT_TRUE(WriteFileBytes(dir.File("damaged.db"), bytes));
        bytes[18] = bytes[19] = 1;                              // rollback mode
        std::fill(bytes.begin() + 60, bytes.begin() + 72, 0);  // no layout, no mark
        ASSERT_TRUE(WriteFileBytes(dir.File("dump.db"), bytes));
    }
    // Every file of the folder and a hash of its bytes (not read: the pipe,
    // and the file held open, whose locks a close by this process would end).
    const auto folder = [&, hash = std::hash<std::string>()] {
        std::map<std::string, size_t> files;
        for (const std::string& name : FolderEntries(dir.Path()))
            files[name] = name == "pipe" || name.rfind("held", 0) == 0 ? 0 : hash(ReadFileText(dir.File(name)));
        return files;
    };
    const auto before = folder();
    // Root may write any file: the rows of permissions run as nobody there,
    // when nobody may run the server from this build's folder.
    const std::string limited = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const bool limitedRuns =
        RunProgram(limited + std::string(ZORV_RUN_DIR) + "/zorv_scored --help", "/dev/null").code == 0;
    const std::pair<std::string, std::string> rows[] = {
        {dir.File("damaged.db"), "the file is damaged (SQLite's quick check: Page " + std::to_string(
                                      ReadFileBytes(dir.File("damaged.db")).size() / 4096) + " is never used)"},
        {dir.File("dump.db"), "the file is damaged (SQLite's quick check: Page " + std::to_string(
                                   ReadFileBytes(dir.File("dump.db")).size() / 4096) + " is never used)"},
        {dir.File("empty.db"), "the file is empty, but a write-ahead log is beside it (" + dir.File("empty.db-wal") +
                                   "): the database may be in that log alone"},
        {dir.File("gone.db"), "the file is not there, but a write-ahead log is beside it (" + dir.File("gone.db-wal")},
        {dir.File("blank.db"), "the file is empty, but a rollback journal is beside it (" + dir.File("blank.db-journal") +
                                   "), which SQLite would delete"},
        {dir.File("unfinished.db"), "a rollback journal is beside it (" + dir.File("unfinished.db-journal") +
                                        "), of a write another program has not finished"},
        {dir.File("readonly.db"), "the file cannot be read and written (Permission denied)"},
        {dir.File("locked/s.db"), "its folder " + dir.File("locked") + " cannot be written (Permission denied)"},
        {dir.File("pipe"), "the path names a named pipe, not a file"},
        {"/dev/null", "the path names a character device, not a file"},
        {dir.File("notes.db"), "file is not a database"},
        {dir.File("other.db"), "the file holds another program's database (layout 0, tables: t)"},
        {dir.File("crashed.db"), "the file holds another program's database (layout 0, tables: t)"},
        {dir.File("held.db"), "the file holds another program's database (layout 0, tables: t)"},
        {dir.File("invoices.db"), "the file holds another program's database (layout 3, tables: invoices)"},
        {dir.File("negative.db"), "the file holds another program's database (layout -1, tables: invoices)"},
        {dir.File("named.db"), "the file holds another program's database (layout 0, tables: counters players "
                               "scores): its table counters has the columns (a), not the score server's (name, value)"},
        {dir.File("marked.db"), "the file holds another program's database (application id 1234)"},
        {dir.File("newer.db"), "the database was written by a newer zorv_scored (layout 4)"},
        {dir.File("missing/s.db"), "unable to open database file (No such file or directory)"},
        {dir.Path(), "unable to open database file (Is a directory)"},
    };
    for (const auto& row : rows) {
        const bool denied = row.second.find("(Permission denied)") != std::string::npos;
        if (denied && !limitedRuns) {
            printf("nobody may not run the server from this build's folder: %s not tried\n", row.first.c_str());
            continue;
        }
        const ProgramRun run = RunProgram((denied ? limited : "") + program + row.first, dir.File("err.txt"));
        const std::string said = ReadFileText(dir.File("err.txt"));
        EXPECT_EQ(run.code, 1) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("zorv_scored: cannot use the database " + row.first + ": " + row.second),
                  std::string::npos)
            << said;
    }
    EXPECT_EQ(FolderEntries(dir.File("locked")), std::vector<std::string>{"s.db"});
    chmod(dir.File("locked").c_str(), 0755);
    unlink(dir.File("err.txt").c_str());
    EXPECT_EQ(folder(), before) << "a file was changed or made";
    sqlite3_close(held[0]);
    // A port already taken.
    CScoreServerProcess first;
    const ProgramRun run = RunProgram(std::string(ZORV_RUN_DIR) + "/zorv_scored --db " + dir.File("s.db") +
                                          " --port " + std::to_string(first.Port()),
                                      dir.File("err.txt"));
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(ReadFileText(dir.File("err.txt")).find("cannot listen on 127.0.0.1 port"), std::string::npos);
}

// Several clients upload as fast as they can; the server is killed (-9) in
// the middle. Started again, it has every score it answered "success" to,
// and SQLite finds nothing wrong with the file.
TEST(ServerProgramTest, KilledDuringABurstOfUploadsKeepsEveryScoreItAnswered) {
    CScoreServerProcess server({"--uploads", "off"});
    ASSERT_TRUE(server.IsRunning());
    const int clients = 8;
    for (int c = 0; c < clients; ++c) server.Ask("op=addUser&user=c" + std::to_string(c) + "&version=test");
    // Per client, per board: the lowest score answered "success".
    std::vector<std::map<std::pair<int, int>, int>> answered(clients);
    std::atomic<bool> down{false};
    std::atomic<int> successes{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            for (int n = 0; !down; ++n) {
                // Every board of the three sets in turn, each time better.
                const int type = n % 3, level = (n / 3) % (kScoreLevelCounts[type] + 1);
                const int board = level == kScoreLevelCounts[type] ? kOverallScoreLevel : level;
                const int score = 100000 - n;
                const std::string said = server.Ask("op=uploadScore&user=c" + std::to_string(c) + "&type=" +
                                                    std::to_string(type) + "&level=" + std::to_string(board) +
                                                    "&score=" + std::to_string(score) + "&cheat=0");
                if (said.rfind("success\n", 0) != 0) continue;
                answered[c][{type, board}] = score;
                ++successes;
            }
        });
    }
    // In full flow: a few hundred answered, more under way.
    const auto by = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (successes < 300 && std::chrono::steady_clock::now() < by)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    server.Kill();
    down = true;
    for (std::thread& t : threads) t.join();
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(server.Stop(), 0);

    CSqliteScoreStore store;
    std::string error;
    ASSERT_TRUE(store.Open(server.DatabasePath(), &error)) << error;
    std::string report;
    EXPECT_TRUE(store.CheckIntegrity(&report)) << report;
    size_t total = 0, found = 0;
    for (int c = 0; c < clients; ++c) {
        for (const auto& kept : answered[c]) {
            CScoreStore::Board board;
            ++total;
            ASSERT_TRUE(store.ReadBoard("c" + std::to_string(c), kept.first.first, kept.first.second, 0, &board));
            if (board.ownBelow && board.own.score <= kept.second) ++found;
        }
    }
    // Each upload beat the one before it on its board: the last answered one
    // found means every one answered there is kept or bettered.
    printf("MEASURE:  kill -9 during a burst of uploads from %i clients: %i uploads answered \"success\"; "
           "the last of each board, %zu, all checked: %zu found after the restart\n",
           clients, successes.load(), total, found);
    EXPECT_GE(successes, 300) << "the burst was too short to mean anything";
    EXPECT_EQ(found, total);
}

// A database file deleted, renamed or replaced while the server runs, or its
// write-ahead log deleted or replaced, would take every later write with it:
// those writes are answered failure 15, never "success", with one line in
// the log for them all. The file put back, they are taken again; and after a
// restart every one answered "success" is there.
TEST(ServerProgramTest, WritesAreRefusedWhileTheDatabaseFileIsNotTheOneItOpened) {
    const auto move = [](const std::string& from, const std::string& to) {
        ASSERT_EQ(rename(from.c_str(), to.c_str()), 0);
    };
    using Change = std::function<void(const std::string&)>;
    const struct {
        const char* what;
        Change away, back;  // back: none when it cannot come back
    } rows[] = {
        {"deleted",
         [](const std::string& db) {
             for (const char* end : {"", "-wal", "-shm"}) unlink((db + end).c_str());
         },
         Change()},
        {"its write-ahead log deleted", [](const std::string& db) { unlink((db + "-wal").c_str()); }, Change()},
        {"replaced by a copy",
         [&](const std::string& db) {
             ASSERT_TRUE(WriteFileBytes(db + ".copy", ReadFileBytes(db)));
             move(db + ".copy", db);
         },
         Change()},
        {"its write-ahead log replaced by a copy",
         [&](const std::string& db) {
             ASSERT_TRUE(WriteFileBytes(db + ".copy", ReadFileBytes(db + "-wal")));
             move(db + ".copy", db + "-wal");
         },
         Change()},
        {"renamed", [&](const std::string& db) { move(db, db + ".away"); },
         [&](const std::string& db) { move(db + ".away", db); }},
    };
    const std::string upload = "op=uploadScore&user=amy&type=0&level=5&cheat=0&score=";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CScoreServerProcess server;
        ASSERT_TRUE(server.IsRunning());
        server.AddScore(0, 5, "amy", 42);
        row.away(server.DatabasePath());
        EXPECT_EQ(server.Ask(upload + "41"), "failure\n15\n");
        EXPECT_EQ(server.Ask(upload + "40"), "failure\n15\n");
        EXPECT_EQ(server.Ask("op=addUser&user=bob&version=test"), "failure\n15\n");
        const std::string gone = "is no longer the file the server opened";
        std::string log = server.Log();
        EXPECT_NE(log.find(gone), std::string::npos) << log;
        EXPECT_EQ(log.find(gone), log.rfind(gone)) << "one line for all\n" << log;
        if (row.back) {
            row.back(server.DatabasePath());
            EXPECT_EQ(server.Ask(upload + "39"), "success\nupdated\n");
            EXPECT_NE(server.Log().find("is the file the server opened again"), std::string::npos);
        }
        EXPECT_EQ(server.Stop(), 0);
        ASSERT_TRUE(server.Start());
        // What the file at the path held, less what was refused.
        const int stored = server.StoredScore(0, 5, "amy");
        EXPECT_TRUE(row.back ? stored == 39 : stored == 42 || stored == -1) << stored;
        EXPECT_EQ(server.StoredScore(0, 5, "bob"), -1);
    }
}

// What anyone on the internet may do to a server costs it a little memory
// each, never the service to others: connections that say nothing, requests
// sent a byte at a time, header blocks of millions of lines (each from an
// address of their own; the ordinary requests come from 127.0.0.1).
TEST(ServerProgramTest, MisbehavingClientsLeaveTheServiceToEveryoneElse) {
    if (!AllowOpenFiles(2000 + 256)) GTEST_SKIP() << "the open-file limit is below the 2,000 connections held";
    CScoreServerProcess server;
    ASSERT_TRUE(server.IsRunning());
    server.AddScore(0, 5, "amy", 42);
    const std::string ask = "op=downloadScore&user=amy&type=0&level=5";
    // Each row from an address of its own: the server may still be closing
    // the connections of the row before.
    const struct {
        const char* what;
        const char* from;
        CHeldConnections::Kind kind;
        int count;
    } rows[] = {
        {"32 connections sending a byte a second", "127.0.0.2", CHeldConnections::Kind::kDripping, 32},
        {"as many connections as one address may hold, saying nothing", "127.0.0.6", CHeldConnections::Kind::kIdle,
         static_cast<int>(CScoreHttpServer::kConnectionsPerAddress)},
        {"one more", "127.0.0.7", CHeldConnections::Kind::kIdle,
         static_cast<int>(CScoreHttpServer::kConnectionsPerAddress) + 1},
        {"200 connections saying nothing", "127.0.0.3", CHeldConnections::Kind::kIdle, 200},
        {"2,000 connections saying nothing", "127.0.0.4", CHeldConnections::Kind::kIdle, 2000},
    };
    for (const auto& row : rows) {
        CHeldConnections held(row.from, server.Port(), row.count, row.kind);
        EXPECT_EQ(held.Opened(), row.count) << row.what;
        // Answered at once; the game would give up after 30 s, this after 10.
        EXPECT_EQ(server.Ask(ask).substr(0, 13), "success\n1\n1\ta") << row.what;
        // They are kept, as many as one address may hold, not dropped to
        // make room; the ones past that are closed.
        const int kept = std::min<int>(row.count, CScoreHttpServer::kConnectionsPerAddress);
        for (int i = 0; i < 100 && held.HeldByServer() != kept; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(held.HeldByServer(), kept) << row.what;
    }
    // Millions of header lines are refused (431 or a closed connection) and
    // leave the server about the size it was.
    const std::vector<std::string> floods = FloodHeaders("127.0.0.5", server.Port(), 16, 1000000, "/zorv/zjscores.php?k");
    for (const std::string& answer : floods)
        EXPECT_TRUE(answer.empty() || answer.rfind("HTTP/1.1 431 ", 0) == 0) << answer;
    const long peakKb = server.PeakMemoryKb();
    printf("MEASURE:  the server's largest resident memory after 16 requests of 1,000,000 headers: %ld KB\n", peakKb);
    EXPECT_GT(peakKb, 0);
    EXPECT_LT(peakKb, 64 * 1024);
    // A query over 4 KB scrambled as the game scrambles is read and refused
    // by the protocol, not by the HTTP side.
    const std::string longName(1500, 'a');
    ASSERT_GT(HttpBuildQuery("op=downloadScore&user=" + longName + "&type=0&level=5").size(), kScoreQueryMax);
    EXPECT_EQ(server.Request("/zorv/zjscores.php?" + HttpBuildQuery("op=downloadScore&user=" + longName + "&type=0&level=5")),
              std::make_pair(400L, std::string("failure\n16\n")));
    EXPECT_EQ(server.Ask(ask).substr(0, 13), "success\n1\n1\ta");
    EXPECT_EQ(server.Stop(), 0);
}

// A client that sends its request a byte at a time is never silent, but it
// is cut at its deadline all the same: not before, and soon after; and the
// deadline is the 10 s a host is told of.
TEST(ServerProgramTest, ARequestSentAByteAtATimeIsCutAtItsDeadline) {
    EXPECT_EQ(CScoreHttpServer::kRequestSeconds, 10u);
    CScoreServerProcess server;
    ASSERT_TRUE(server.IsRunning());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(CScoreHttpServer::kRequestSeconds);
    CHeldConnections dripping("127.0.0.2", server.Port(), 8, CHeldConnections::Kind::kDripping, 200);
    ASSERT_EQ(dripping.Opened(), 8);
    std::this_thread::sleep_until(deadline - std::chrono::seconds(2));
    EXPECT_EQ(dripping.HeldByServer(), 8) << "cut before its deadline";
    while (dripping.HeldByServer() > 0 && std::chrono::steady_clock::now() < deadline + std::chrono::seconds(4))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(dripping.HeldByServer(), 0);
    EXPECT_EQ(server.Stop(), 0);
}

namespace {

// A store whose first board read waits until the test lets it go: the one
// thread of a server is held inside a request while others arrive.
class CHoldingStore : public CSqliteScoreStore {
public:
    bool ReadBoard(const std::string& viewer, int type, int level, int topRows, Board* board) override {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!held_) {
                held_ = true;
                changed_.notify_all();
                changed_.wait_for(lock, std::chrono::seconds(10), [this] { return released_; });
            }
        }
        return CSqliteScoreStore::ReadBoard(viewer, type, level, topRows, board);
    }
    bool WaitTillHeld() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return held_; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false, released_ = false;
};

// A store that counts the writes handed to it without waiting.
class CCountingStore : public CHoldingStore {
public:
    void StopWrites() override { CHoldingStore::StopWrites(); stopped_ = true; }
    bool Stopped() const { return stopped_; }  // whether StopWrites was called
    void AddPlayerThen(const std::string& name, const std::string& version, Then then) override {
        ++writes_;
        CSqliteScoreStore::AddPlayerThen(name, version, std::move(then));
    }
    void UploadThen(const std::string& name, int type, int level, int32_t score, uint32_t flags, Then then) override {
        ++writes_;
        CSqliteScoreStore::UploadThen(name, type, level, score, flags, std::move(then));
    }
    int Writes() const { return writes_; }

private:
    std::atomic<int> writes_{0};
    std::atomic<bool> stopped_{false};
};

// A connected socket from address to 127.0.0.1:port, or -1.
int ConnectFrom(const std::string& address, int port) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in from = {}, to = {};
    from.sin_family = to.sin_family = AF_INET;
    inet_pton(AF_INET, address.c_str(), &from.sin_addr);
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    to.sin_port = htons(static_cast<uint16_t>(port));
    if (s >= 0 && (bind(s, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
                   connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)) {
        close(s);
        return -1;
    }
    return s;
}

// One GET of the score script with query from address: the status, the
// Retry-After header ("" without one) and the body.
struct Answer {
    int status = 0;
    std::string retryAfter, body;
    bool closes = false;  // the server closes the connection, though asked to keep it
};
Answer AskFrom(const std::string& address, int port, const std::string& query) {
    Answer answer;
    const std::string raw = SendFrom(
        address, port, "GET /zorv/zjscores.php?" + HttpBuildQuery(query) + " HTTP/1.1\r\nHost: h\r\n\r\n", 10);
    const size_t head = raw.find("\r\n\r\n");
    if (raw.rfind("HTTP/1.1 ", 0) != 0 || head == std::string::npos) return answer;
    answer.status = atoi(raw.c_str() + 9);
    answer.body = raw.substr(head + 4);
    answer.closes = raw.find("\r\nConnection: close\r\n") < head;
    const size_t retry = raw.find("\r\nRetry-After: ");
    if (retry < head) answer.retryAfter = raw.substr(retry + 15, raw.find("\r\n", retry + 2) - retry - 15);
    return answer;
}

}  // namespace

// Registrations and uploads come out of budgets of each address's own: a
// whole burst at once, then 429 with Retry-After and nothing stored, while
// that address's downloads and another address's writes go on; each budget
// refills with time (a clock of the test's own). A request that could write
// nothing (a name the rules refuse, a board that does not exist) is refused
// for what it is, and spends no budget; so does an upload for a name never
// registered.
TEST(ServerHttpTest, WritesPastTheirAddressBudgetAreAnsweredBusyAndStoreNothing) {
    CTempDir dir;
    CSqliteScoreStore store;
    std::string error;
    ASSERT_TRUE(store.Open(dir.File("scores.db"), &error)) << error;
    const CAddressBudget::Clock::time_point start = CAddressBudget::Clock::now();
    std::atomic<int64_t> passedMs{0};
    CAddressBudget budget(CAddressBudget::kRegistrationsDefault, CAddressBudget::kUploadsDefault,
                          CAddressBudget::kAddressesMax, [&] { return start + std::chrono::milliseconds(passedMs.load()); });
    CScoreHttpServer server(store, "/zorv/", 2);
    server.SetBudget(&budget);
    ASSERT_TRUE(server.Bind("127.0.0.1", 0, &error)) << error;
    ASSERT_TRUE(server.Start(&error)) << error;
    const auto registration = [](const std::string& name) { return "op=addUser&user=" + name + "&version=1.03W"; };
    const auto upload = [](int type, int level, int score, const std::string& user = "amy") {
        return "op=uploadScore&user=" + user + "&type=" + std::to_string(type) + "&level=" + std::to_string(level) +
               "&score=" + std::to_string(score) + "&cheat=0";
    };
    const std::string download = "op=downloadScore&user=amy&type=0&level=0";
    const unsigned registrations = CAddressBudget::kRegistrationsDefault.burst;
    const unsigned uploads = CAddressBudget::kUploadsDefault.burst;
    ASSERT_EQ(AskFrom("127.0.0.2", server.Port(), registration("amy")).body, "success\n");
    for (unsigned n = 1; n < registrations; ++n)
        ASSERT_EQ(AskFrom("127.0.0.2", server.Port(), registration("p" + std::to_string(n))).status, 200) << n;
    for (int n = 0; n < static_cast<int>(uploads); ++n)
        ASSERT_EQ(AskFrom("127.0.0.2", server.Port(), upload(0, n % 111, 1000 - n)).status, 200) << n;
    int64_t players = 0, scores = 0;
    ASSERT_TRUE(store.Count(&players, &scores));
    const std::string busy = "failure\n" + std::to_string(kScoreErrorBusy) + "\n";
    const struct {
        const char* what;
        int64_t passedMs;
        const char* from;
        std::string query;
        int status;
        const char* retryAfter;
        bool busy;
    } rows[] = {
        {"a registration past the budget", 0, "127.0.0.2", registration("late"), 429, "10", true},
        // Else the names in use could be probed for free.
        {"a registration of a name already taken, past the budget", 0, "127.0.0.2", registration("amy"), 429, "10",
         true},
        {"an upload past the budget", 0, "127.0.0.2", upload(1, 1, 50), 429, "1", true},
        // Refused for what they are, and spending nothing: they could write
        // nothing.
        {"a registration of a name the rules refuse, past the budget", 0, "127.0.0.2", registration("Ann_Lee"), 200, "",
         false},
        {"an upload to a board that does not exist, past the budget", 0, "127.0.0.2", upload(4, 1, 50), 200, "", false},
        {"a registration of no name from a new address", 0, "127.0.0.4", registration(""), 200, "", false},
        {"a download from the same address", 0, "127.0.0.2", download, 200, "", false},
        {"a registration from another address", 0, "127.0.0.3", registration("other"), 200, "", false},
        {"an upload from another address", 0, "127.0.0.3", upload(1, 2, 50), 200, "", false},
        {"an upload for a name never registered, one refill later", 200, "127.0.0.2", upload(1, 3, 50, "nobody"), 200,
         "", false},
        {"an upload one refill later", 200, "127.0.0.2", upload(1, 3, 50), 200, "", false},
        {"the next upload", 200, "127.0.0.2", upload(1, 4, 50), 429, "1", true},
        {"a registration then", 200, "127.0.0.2", registration("late"), 429, "10", true},
        {"a registration one refill later", 10000, "127.0.0.2", registration("late"), 200, "", false},
        {"the next registration", 10000, "127.0.0.2", registration("later"), 429, "10", true},
    };
    for (const auto& row : rows) {
        passedMs = row.passedMs;
        const Answer answer = AskFrom(row.from, server.Port(), row.query);
        EXPECT_EQ(answer.status, row.status) << row.what;
        EXPECT_EQ(answer.retryAfter, row.retryAfter) << row.what;
        EXPECT_EQ(answer.body == busy, row.busy) << row.what << ": " << answer.body;
    }
    EXPECT_EQ(budget.Tracked(), 2u) << "a request that could write nothing brought its address into the table";
    // Nothing past a budget reached the store: two players and two scores
    // more, from the rows answered 200 (each upload of the rows on a board
    // of its own).
    int64_t playersNow = 0, scoresNow = 0;
    ASSERT_TRUE(store.Count(&playersNow, &scoresNow));
    EXPECT_EQ(playersNow, players + 2);
    EXPECT_EQ(scoresNow, scores + 2);
    server.Stop();
    store.Close();
}

// One client is an IPv4 address or an IPv6 /64, for its connections as for
// its budgets: the addresses of one /64 together hold as many connections as
// one address may, and another /64 holds its own beside them. (Loopback
// addresses stand for IPv6 ones: 127.0.N.H is host H of 2001:db8:0:N::/64.)
TEST(ServerHttpTest, TheAddressesOfOneIPv6Slash64HoldTheConnectionsOfOneClient) {
    CTempDir dir;
    CSqliteScoreStore store;
    std::string error;
    ASSERT_TRUE(store.Open(dir.File("scores.db"), &error)) << error;
    CScoreHttpServer server(store, "/zorv/", 2);
    server.SetAddressOf([](const sockaddr* address) {
        const uint32_t v4 = ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
        sockaddr_in6 v6 = {};
        v6.sin6_family = AF_INET6;
        inet_pton(AF_INET6, "2001:db8::", &v6.sin6_addr);
        v6.sin6_addr.s6_addr[7] = static_cast<uint8_t>(v4 >> 8);
        v6.sin6_addr.s6_addr[15] = static_cast<uint8_t>(v4);
        return AddressKey::Of(reinterpret_cast<const sockaddr*>(&v6));
    });
    ASSERT_TRUE(server.Bind("127.0.0.1", 0, &error)) << error;
    ASSERT_TRUE(server.Start(&error)) << error;
    const int bound = static_cast<int>(CScoreHttpServer::kConnectionsPerAddress);
    const struct {
        const char* what;
        int fromEach[3];  // from three hosts of one /64
        int held;
    } rows[] = {
        {"as many as one client may hold", {21, 21, bound - 42}, bound},
        {"one more", {21, 21, bound - 41}, bound},
        {"as many from each host", {bound, bound, bound}, bound},
    };
    std::vector<std::unique_ptr<CHeldConnections>> connections;
    for (size_t r = 0; r < sizeof rows / sizeof rows[0]; ++r) {
        // Each row on a /64 of its own, and the rows' connections kept open
        // together: each /64 holds its own.
        int held = 0;
        const size_t first = connections.size();
        for (int host = 0; host < 3; ++host)
            connections.emplace_back(new CHeldConnections("127.0." + std::to_string(r + 1) + "." + std::to_string(host + 2),
                                                          server.Port(), rows[r].fromEach[host],
                                                          CHeldConnections::Kind::kIdle));
        for (int i = 0; i < 100 && held != rows[r].held; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            held = 0;
            for (size_t c = first; c < connections.size(); ++c) held += connections[c]->HeldByServer();
        }
        EXPECT_EQ(held, rows[r].held) << rows[r].what;
    }
    connections.clear();
    server.Stop();
    store.Close();
}

// Requests that all arrive while the server's thread is busy are all
// answered once it is free, however many they are: the HTTP library takes
// its ready connections in batches of 128, and a batch that took exactly
// all of them once left them waiting until their deadline cut them.
TEST(ServerHttpTest, RequestsThatArriveWhileTheThreadIsBusyAreAllAnsweredWhenItIsFree) {
    if (!AllowOpenFiles(300 + 256)) GTEST_SKIP() << "the open-file limit is below the connections";
    const std::string request = "GET /zorv/zjscores.php?" + HttpBuildQuery("op=downloadScore&user=bob&type=1&level=7") +
                                " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    for (const int waiting : {127, 128, 129, 256}) {
        SCOPED_TRACE(std::to_string(waiting) + " requests waiting");
        CTempDir dir;
        CHoldingStore store;
        std::string error;
        ASSERT_TRUE(store.Open(dir.File("scores.db"), &error)) << error;
        CScoreHttpServer server(store, "/zorv/", 1, 10);
        ASSERT_TRUE(server.Bind("127.0.0.1", 0, &error)) << error;
        ASSERT_TRUE(server.Start(&error)) << error;
        // Connected first and silent, so that each brings one event later.
        std::vector<int> sockets;
        for (int i = 0; i < waiting; ++i)
            sockets.push_back(ConnectFrom("127.0.1." + std::to_string(1 + i % 250), server.Port()));
        const int holder = ConnectFrom("127.0.0.1", server.Port());
        ASSERT_GE(holder, 0);
        ASSERT_EQ(send(holder, request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
        ASSERT_TRUE(store.WaitTillHeld());
        for (const int s : sockets) send(s, request.data(), request.size(), MSG_NOSIGNAL);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // every request in the server's socket
        store.Release();
        int answered = 0;
        for (const int s : sockets) {
            const timeval wait = {3, 0};  // well before the 10 s deadline
            setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
            char buffer[64] = {};
            if (s >= 0 && recv(s, buffer, sizeof buffer - 1, MSG_WAITALL) > 0 &&
                std::string(buffer).rfind("HTTP/1.1 200 ", 0) == 0)
                ++answered;
            close(s);
        }
        close(holder);
        EXPECT_EQ(answered, waiting);
        server.Stop();
        store.Close();
    }
}

// Sixteen uploads or registrations wait for the disk (their commit's sync
// held) on a server of two threads, and hold neither: downloads from another
// address are all answered meanwhile. A write held past the request deadline
// (1 s here) is not cut: it is answered once it is kept.
TEST(ServerHttpTest, WritesWaitingForTheDiskHoldNoThread) {
    const std::string download = "op=downloadScore&user=w0&type=0&level=5";
    const struct {
        const char* what;
        bool registration;
        const char* said;
    } rows[] = {
        {"uploads", false, "success\nadded\n"},
        {"registrations", true, "success\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CSlowSqliteDisk disk;
        CTempDir dir;
        CSqliteScoreStore store;
        std::string error;
        ASSERT_TRUE(store.Open(dir.File("scores.db"), &error)) << error;
        const int writes = 16;
        for (int w = 0; w < writes; ++w)
            AnswerScoreQuery(store, HttpBuildQuery("op=addUser&user=w" + std::to_string(w) + "&version=test"));
        CScoreHttpServer server(store, "/zorv/", 2, 1);
        ASSERT_TRUE(server.Bind("127.0.0.1", 0, &error)) << error;
        ASSERT_TRUE(server.Start(&error)) << error;
        disk.Hold();
        std::vector<Answer> answers(writes);
        std::atomic<int> returned{0};
        std::vector<std::thread> writers;
        for (int w = 0; w < writes; ++w) {
            const std::string query = row.registration ? "op=addUser&user=n" + std::to_string(w) + "&version=test"
                                                       : "op=uploadScore&user=w" + std::to_string(w) +
                                                             "&type=0&level=5&score=50&cheat=0";
            writers.emplace_back([&, w, query] {
                answers[w] = AskFrom("127.0.0.2", server.Port(), query);
                ++returned;
            });
        }
        ASSERT_TRUE(disk.WaitTillASyncIsHeld(std::chrono::seconds(10)));
        int asked = 0, answered = 0;
        for (const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2200);
             std::chrono::steady_clock::now() < until; ++asked) {
            if (AskFrom("127.0.0.3", server.Port(), download).status == 200) ++answered;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        EXPECT_EQ(answered, asked);
        EXPECT_EQ(returned, 0) << "a write was answered, or cut, before the disk went on";
        disk.Release();
        for (std::thread& t : writers) t.join();
        for (int w = 0; w < writes; ++w) EXPECT_EQ(answers[w].body, row.said) << w;
        server.Stop();
        store.Close();
    }
}

// A stop while writes wait on a slow disk (every sync 1 s slower) costs at
// most the one commit under way, however many wait: those the store has not
// begun to commit when the stop's moment of grace is over are dropped,
// answered failure 15 and never stored (the player's retry finds his name
// free), while a commit under way is finished and its writes answered as
// kept; every answer made reaches its client. Then the write-ahead log is
// folded back (a checkpoint: two syncs), so that the file alone holds every
// write answered as kept. Here 24 registrations and 24 uploads over HTTP, and
// 1,000 better scores of one player queued behind them, or nothing waiting.
TEST(ServerHttpTest, AStopStoresNoWriteItAnswersFailureAndWaitsForOneCommitAtMost) {
    const std::chrono::milliseconds syncDelay(1000);
    const int checkpointSyncs = 2;
    const int mostSyncs = 1 + static_cast<int>(CScoreHttpServer::kStopGraceMilliseconds / syncDelay.count());
    for (const bool waiting : {false, true}) {
        SCOPED_TRACE(waiting ? "writes waiting" : "nothing waiting");
        CSlowSqliteDisk disk;
        CTempDir dir;
        const int overHttp = waiting ? 48 : 0, queued = waiting ? 1000 : 0;
        std::vector<Answer> answers(overHttp);
        std::mutex mutex;
        std::vector<std::pair<int32_t, CScoreStore::Outcome>> outcomes;  // of the queued scores, as answered
        int syncsAtStop = 0, syncs = 0;
        {
            CCountingStore store;
            std::string error;
            ASSERT_TRUE(store.Open(dir.File("scores.db"), &error)) << error;
            for (int w = 0; w < overHttp; ++w) store.AddPlayer("w" + std::to_string(w), "test");
            store.AddPlayer("many", "test");
            CScoreHttpServer server(store, "/zorv/", 1);
            ASSERT_TRUE(server.Bind("127.0.0.1", 0, &error)) << error;
            ASSERT_TRUE(server.Start(&error)) << error;
            disk.SetSyncDelay(syncDelay);
            std::vector<std::thread> writers;
            for (int w = 0; w < overHttp; ++w)
                writers.emplace_back([&, w] {
                    answers[w] = AskFrom("127.0.0.2", server.Port(),
                                         w % 2 ? "op=addUser&user=n" + std::to_string(w) + "&version=test"
                                               : "op=uploadScore&user=w" + std::to_string(w) + "&type=0&level=" +
                                                     std::to_string(w) + "&score=50&cheat=0");
                });
            // Every write over HTTP is in, the first commit under way and
            // the others wait behind it.
            const auto by = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (store.Writes() < overHttp && std::chrono::steady_clock::now() < by)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            while (waiting && disk.Syncs() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            for (int q = 0; q < queued; ++q)
                store.UploadThen("many", 0, 50, 100000 - q, 0, [&, q](CScoreStore::Outcome outcome) {
                    std::lock_guard<std::mutex> lock(mutex);
                    outcomes.emplace_back(100000 - q, outcome);
                });
            // Every answer says the connection takes no other request; the one thread
            // is held by a download till after the store dropped its writes.
            Answer held;
            std::thread download(
                [&] { held = AskFrom("127.0.0.3", server.Port(), "op=downloadScore&user=many&type=0&level=50"); });
            EXPECT_TRUE(store.WaitTillHeld());
            std::thread release([&] {
                while (!store.Stopped()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                store.Release();
            });
            syncsAtStop = disk.Syncs();
            const auto asked = std::chrono::steady_clock::now();
            server.Stop();
            store.Close();
            download.join();
            release.join();
            EXPECT_NE(held.status, 0) << "the download's answer never reached its client";
            EXPECT_TRUE(held.closes);
            syncs = disk.Syncs() - syncsAtStop;
            printf("MEASURE:  a stop with %d writes waiting on syncs 1 s slower: %.2f s, %d sync(s) begun\n",
                   overHttp + queued,
                   std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count(), syncs);
            for (std::thread& t : writers) t.join();
        }
        EXPECT_LE(syncs, (waiting ? mostSyncs : 0) + checkpointSyncs);
        disk.SetSyncDelay(std::chrono::milliseconds(0));
        // What follows reads a copy of the file alone.
        EXPECT_FALSE(Exists(dir.File("scores.db-wal")));
        ASSERT_TRUE(WriteFileBytes(dir.File("alone.db"), ReadFileBytes(dir.File("scores.db"))));
        CSqliteScoreStore store;
        std::string error;
        ASSERT_TRUE(store.Open(dir.File("alone.db"), &error)) << error;
        for (int w = 0; w < overHttp; ++w) {
            SCOPED_TRACE(w);
            bool failed = false;
            CScoreStore::Board board;
            const bool kept = w % 2 ? store.IsNameTaken("n" + std::to_string(w), &failed)
                                    : store.ReadBoard("", 0, w, 1, &board) && board.players == 1;
            EXPECT_NE(answers[w].status, 0) << "an answer made never reached its client";
            EXPECT_TRUE(answers[w].closes);
            EXPECT_EQ(kept, answers[w].body.rfind("success\n", 0) == 0) << answers[w].body;
        }
        ASSERT_EQ(outcomes.size(), static_cast<size_t>(queued));
        int32_t best = 0;
        int dropped = 0;
        for (const auto& o : outcomes) {
            if (o.second == CScoreStore::Outcome::kFailed)
                ++dropped;
            else
                best = o.first;
        }
        CScoreStore::Board board;
        ASSERT_TRUE(store.ReadBoard("many", 0, 50, 1, &board));
        EXPECT_EQ(board.top.empty() ? 0 : board.top[0].score, best) << "only the scores answered as kept";
        if (waiting) {
            EXPECT_GT(dropped, 0) << "the stop came after every write was kept";
        }
        store.Close();
    }
}

// A thousand players who ask at the same moment are all answered within a
// second, each from his own address.
TEST(ServerProgramTest, AThousandConnectionsOpenedAtOnceAreAllAnswered) {
    if (!AllowOpenFiles(1000 + 256)) GTEST_SKIP() << "the open-file limit is below the 1,000 connections";
    CScoreServerProcess server;
    ASSERT_TRUE(server.IsRunning());
    server.AddScore(1, 7, "amy", 42);
    const std::vector<double> seconds =
        AskAtOnce(server.Port(), 1000, "/zorv/zjscores.php?" + HttpBuildQuery("op=downloadScore&user=bob&type=1&level=7"), 20.0);
    int answered = 0;
    double longest = 0;
    for (const double s : seconds) {
        if (s >= 0) ++answered;
        longest = std::max(longest, s);
    }
    printf("MEASURE:  1,000 connections opened at once: %i answered, the longest after %.3f s\n", answered, longest);
    EXPECT_EQ(answered, 1000);
    EXPECT_LT(longest, 1.0);
    EXPECT_EQ(server.Stop(), 0);
}

// When connections run short, the idle go first. With its open-file limit
// at 600 files, the server keeps files for the database (and the connection
// limit says so in its first line); while it holds no more than three
// quarters of its connections, an idle one is kept; with one more, every
// connection that has not sent a whole request within a quarter second is
// cut. And whatever a crowd of idle connections from many addresses does,
// each one opened again as soon as it is closed, ordinary uploads and
// downloads from another address get in (within the 10 s of this client;
// the game waits 30), are logged, and are kept.
TEST(ServerProgramTest, WhenConnectionsRunShortTheIdleGoFirst) {
    const unsigned files = 600;
    const unsigned limit = CScoreHttpServer::ConnectionsWithin(files);
    ASSERT_LE(limit + CScoreHttpServer::kFilesKept, files);
    const int uncrowded = static_cast<int>(CScoreHttpServer::CrowdedAbove(limit));
    if (!AllowOpenFiles(2 * files)) GTEST_SKIP() << "the open-file limit is below the connections";
    const int perAddress = static_cast<int>(CScoreHttpServer::kConnectionsPerAddress);
    const struct {
        const char* what;
        int idle;   // held from addresses of their own, perAddress from each
        int crowd;  // addresses of a crowd, perAddress connections each
        int heldAfter;
    } rows[] = {
        {"three quarters of the connections idle", uncrowded, 0, uncrowded},
        {"one more", uncrowded + 1, 0, 0},
        {"a crowd that opens a connection again as soon as it is closed", 0, 8, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CScoreServerProcess server({}, files);
        ASSERT_TRUE(server.IsRunning());
        EXPECT_NE(server.Log().find("zorv_scored: at most " + std::to_string(limit) + " connections,"),
                  std::string::npos)
            << server.Log();
        server.AddScore(0, 5, "amy", 500);
        std::vector<std::unique_ptr<CHeldConnections>> idle;
        for (int opened = 0; opened < row.idle; opened += perAddress)
            idle.emplace_back(new CHeldConnections("127.0.4." + std::to_string(1 + opened / perAddress), server.Port(),
                                                   std::min(perAddress, row.idle - opened),
                                                   CHeldConnections::Kind::kIdle));
        std::unique_ptr<CCrowd> crowd(row.crowd > 0 ? new CCrowd(5, row.crowd, perAddress, server.Port()) : nullptr);
        const auto held = [&idle] {
            int n = 0;
            for (const auto& i : idle) n += i->HeldByServer();
            return n;
        };
        const long crowded = static_cast<long>(limit) + row.crowd * perAddress;
        for (int i = 0; i < 100 && (crowd ? crowd->Opened() <= crowded : held() != row.heldAfter); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (row.heldAfter > 0) {
            // Past the shorter deadline, far from the usual one.
            std::this_thread::sleep_for(std::chrono::milliseconds(2000));
            EXPECT_EQ(held(), row.heldAfter);
        } else if (crowd) {
            EXPECT_GT(crowd->Opened(), crowded) << "the crowd was never cut";
            bool full = false;
            for (int i = 0; i < 100 && !full; ++i) {
                full = server.OpenFiles() >= static_cast<int>(limit);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            EXPECT_TRUE(full) << "the crowd did not fill the server";
        } else {
            EXPECT_EQ(held(), 0);
        }
        for (int round = 0; round < 3; ++round) {
            const std::string upload = "op=uploadScore&user=amy&type=0&level=5&score=" + std::to_string(400 - round) +
                                       "&cheat=0";
            EXPECT_EQ(server.Ask(upload), "success\nupdated\n") << round;
            // Side by side, so that the server opens the database again.
            std::vector<std::string> boards(8);
            std::vector<std::thread> readers;
            for (size_t r = 0; r < boards.size(); ++r)
                readers.emplace_back([&, r] { boards[r] = server.Ask("op=downloadScore&user=amy&type=0&level=5"); });
            for (std::thread& t : readers) t.join();
            for (const std::string& board : boards) EXPECT_EQ(board.substr(0, 14), "success\n1\n1\tam") << round;
        }
        crowd.reset();
        idle.clear();
        const std::vector<std::string> asked = server.Requests();
        EXPECT_EQ(std::count(asked.begin(), asked.end(), "op=uploadScore&user=amy&type=0&level=5&score=398&cheat=0 "
                                                         "-> success updated"),
                  1);
        EXPECT_EQ(server.Stop(), 0);
        ASSERT_TRUE(server.Start());
        EXPECT_EQ(server.StoredScore(0, 5, "amy"), 398);
    }
}

// Memory that a wave of connections took goes back once the wave has gone,
// wave after wave: the server would otherwise keep what the largest crowd
// ever made it take, and more with each wave. Each wave is 8 times the
// connections whose closing gives memory back (far enough above it that
// what goes back stands well clear of what the allocator keeps for each
// thread in any case), held until the server has taken every one, then
// closed by its clients. Once the server has closed them all, it holds at
// most three quarters of what the wave had added to its own memory: without
// giving memory back it keeps nine tenths and more, while what the allocator
// keeps in pieces all the same came to a quarter alone and up to a half on a
// busy machine. Every wait is for what the server does, however long a busy
// machine makes it take.
TEST(ServerProgramTest, MemoryTakenByAWaveOfConnectionsGoesBackOnceItHasGone) {
    const int perWave = 8 * static_cast<int>(CScoreHttpServer::kTrimAfterClosed);
    const int perAddress = static_cast<int>(CScoreHttpServer::kConnectionsPerAddress);
    // Room for half a wave more: a server short of connections cuts idle
    // ones.
    const unsigned files = CScoreHttpServer::kFilesKept + perWave + perWave / 2;
    ASSERT_GT(CScoreHttpServer::CrowdedAbove(CScoreHttpServer::ConnectionsWithin(files)),
              static_cast<unsigned>(perWave));
    if (!AllowOpenFiles(files)) GTEST_SKIP() << "the open-file limit is below a wave";
    // No request before the waves: the count of the server's files is then
    // its own, with no connection of a client that is still being closed.
    CScoreServerProcess server({}, files);
    ASSERT_TRUE(server.IsRunning());
    const int filesBefore = server.OpenFiles();
    const long before = server.OwnMemoryKb();
    ASSERT_GT(before, 0);
    const auto waitFor = [](int seconds, const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    for (int wave = 0; wave < 2; ++wave) {
        long held = 0;
        {
            // 16 addresses at a time, each lot taken by the server before the
            // next: a connect that waits in a long queue of them may time out.
            std::vector<std::unique_ptr<CHeldConnections>> connections;
            for (int opened = 0; opened < perWave;) {
                const int a = opened / perAddress;
                connections.emplace_back(new CHeldConnections(
                    "127.0." + std::to_string(6 + a / 250) + "." + std::to_string(1 + a % 250), server.Port(),
                    perAddress, CHeldConnections::Kind::kIdle));
                opened += perAddress;
                if (opened % (16 * perAddress) == 0 || opened >= perWave)
                    waitFor(60, [&] { return server.OpenFiles() >= filesBefore + opened; });
            }
            ASSERT_GE(server.OpenFiles(), filesBefore + perWave) << "wave " << wave << " was not taken whole";
            held = server.OwnMemoryKb();
        }
        waitFor(120, [&] { return server.OpenFiles() <= filesBefore; });
        long after = held;
        waitFor(30, [&] {
            after = server.OwnMemoryKb();
            return after - before <= (held - before) * 3 / 4;
        });
        printf("MEASURE:  the server's own memory with wave %i of %i idle connections: %ld KB, %ld KB at the start, "
               "%ld KB once it had gone\n",
               wave + 1, perWave, held, before, after);
        EXPECT_LE(after - before, (held - before) * 3 / 4) << "wave " << wave;
    }
    EXPECT_EQ(server.Stop(), 0);
}

// Clients that send their request a byte at a time do not hold up a stop:
// SIGTERM ends the server within 3 s with exit 0, and every upload it
// answered "success" to, up to the end, is in the database.
TEST(ServerProgramTest, SigtermStopsItWithinSecondsWhateverItsClientsDo) {
    CScoreServerProcess server({"--uploads", "off"});
    ASSERT_TRUE(server.IsRunning());
    const int clients = 4;
    for (int c = 0; c < clients; ++c) server.Ask("op=addUser&user=c" + std::to_string(c) + "&version=test");
    CHeldConnections dripping("127.0.0.2", server.Port(), 40, CHeldConnections::Kind::kDripping, 500);
    ASSERT_EQ(dripping.Opened(), 40);
    std::vector<int> answered(clients, 0);
    std::atomic<bool> down{false};
    std::atomic<int> successes{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            for (int n = 0; !down && n < 100000; ++n) {
                const int score = 100000 - n;
                const std::string said = server.Ask("op=uploadScore&user=c" + std::to_string(c) +
                                                    "&type=1&level=3&score=" + std::to_string(score) + "&cheat=0");
                if (said.rfind("success\n", 0) != 0) continue;
                answered[c] = score;
                ++successes;
            }
        });
    }
    const auto by = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (successes < 100 && std::chrono::steady_clock::now() < by)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the drips have gone on a while
    const auto asked = std::chrono::steady_clock::now();
    const int code = server.Stop();
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
    down = true;
    for (std::thread& t : threads) t.join();
    printf("MEASURE:  SIGTERM with 40 dripping connections and 4 uploading clients: stopped after %.3f s\n", took);
    EXPECT_EQ(code, 0) << server.Log();
    EXPECT_LT(took, 3.0);
    EXPECT_NE(server.Log().find("zorv_scored: stopped by SIGTERM; database closed"), std::string::npos);
    EXPECT_GE(successes, 100);
    ASSERT_TRUE(server.Start());
    for (int c = 0; c < clients; ++c) {
        if (answered[c] == 0) continue;
        const int kept = server.StoredScore(1, 3, "c" + std::to_string(c));
        EXPECT_TRUE(kept > 0 && kept <= answered[c]) << "c" << c << " was answered for " << answered[c] << ", has " << kept;
    }
}

// Uploads that wait for a lock another program holds on the database do not
// hold up a stop: SIGTERM ends the server within 3 s; they are answered
// failure 15 (or not at all), never "success", and none of them is kept.
TEST(ServerProgramTest, SigtermStopsItWithinSecondsWhileAnotherProgramHoldsTheWriteLock) {
    CScoreServerProcess server;
    ASSERT_TRUE(server.IsRunning());
    const int clients = 4;
    for (int c = 0; c < clients; ++c) server.Ask("op=addUser&user=c" + std::to_string(c) + "&version=test");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(server.DatabasePath().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::vector<std::string> said(clients);
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&, c] {
            said[c] = server.Ask("op=uploadScore&user=c" + std::to_string(c) + "&type=1&level=3&score=50&cheat=0");
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // they wait for the lock
    const auto asked = std::chrono::steady_clock::now();
    const int code = server.Stop();
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
    for (std::thread& t : threads) t.join();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    printf("MEASURE:  SIGTERM with %i uploads waiting for a lock held elsewhere: stopped after %.3f s\n", clients,
           took);
    EXPECT_EQ(code, 0) << server.Log();
    EXPECT_LT(took, 3.0);
    for (int c = 0; c < clients; ++c)
        EXPECT_TRUE(said[c].empty() || said[c] == "failure\n15\n") << c << ": " << said[c];
    ASSERT_TRUE(server.Start());
    for (int c = 0; c < clients; ++c) EXPECT_EQ(server.StoredScore(1, 3, "c" + std::to_string(c)), -1) << c;
}

namespace {

// A database as the server makes one, with count players in it.
void MakeDatabaseOfPlayers(const std::string& db, int count) {
    CSqliteScoreStore store;
    std::string error;
    ASSERT_TRUE(store.Open(db, &error)) << error;
    store.Close();
    sqlite3* fill = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &fill), SQLITE_OK);
    const std::string players = "WITH RECURSIVE n(i) AS (VALUES (1) UNION ALL SELECT i + 1 FROM n WHERE i < " +
                                std::to_string(count) +
                                ") INSERT INTO players (name, version, registered) SELECT 'p' || i, "
                                "hex(zeroblob(100)), 0 FROM n";
    EXPECT_EQ(sqlite3_exec(fill, players.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(fill);
}

// The TCP port the process pid listens on, 0 while it listens on none: its
// sockets are among the system's listening ones.
int ListeningPort(pid_t pid) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    std::set<std::string> sockets;
    if (DIR* dir = opendir(fds.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            char target[64] = {};
            if (readlink((fds + "/" + entry->d_name).c_str(), target, sizeof target - 1) > 0 &&
                strncmp(target, "socket:[", 8) == 0)
                sockets.insert(std::string(target + 8, strcspn(target + 8, "]")));
        }
        closedir(dir);
    }
    // "sl local_address rem_address st ... inode": the port in hexadecimal
    // after the colon, 0A for listening, the inode tenth.
    std::istringstream table(ReadFileText("/proc/" + std::to_string(pid) + "/net/tcp"));
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, skip, inode;
        fields >> slot >> local >> remote >> state;
        for (int i = 0; i < 5; ++i) fields >> skip;
        fields >> inode;
        if (state == "0A" && sockets.count(inode) && local.find(':') != std::string::npos)
            return static_cast<int>(strtol(local.c_str() + local.find(':') + 1, nullptr, 16));
    }
    return 0;
}

}  // namespace

// The log reads in the order things happened: on a large file (here a small
// one whose every read takes longer, as on a cold disk) the first request,
// sent as soon as the port takes it, is answered and logged after the lines
// that say what the server serves, with how many players.
TEST(ServerProgramTest, TheStartUpLinesAreLoggedBeforeTheFirstRequest) {
    CTempDir dir;
    const std::string db = dir.File("s.db");
    MakeDatabaseOfPlayers(db, 20000);
    const pid_t pid = SpawnProgram({std::string(ZORV_RUN_DIR) + "/zorv_scored", "--db", db, "--port", "0"},
                                   {"LD_PRELOAD=" ZORV_SLOW_DISK, "ZORV_SLOW_READS_MS=2"}, dir.File("log.txt"), "");
    int port = 0, code = -1;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while ((port = ListeningPort(pid)) == 0 && (code = WaitForProgram(pid, 0, false)) == -1 &&
           std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const std::string target = "/zorv/zjscores.php?" + HttpBuildQuery("op=downloadScore&user=p1&type=0&level=5");
    std::string answer;
    while (port > 0 && answer.empty() && std::chrono::steady_clock::now() < until)
        answer = AskFrom("127.0.0.1", port, target, 30);
    if (code == -1) {
        kill(pid, SIGTERM);
        code = WaitForProgram(pid, 60);
    }
    const std::string log = ReadFileText(dir.File("log.txt"));
    EXPECT_EQ(code, 0) << log;
    EXPECT_EQ(answer.rfind("HTTP/1.1 200 ", 0), 0u) << answer;
    const size_t serving = log.find("zorv_scored: serving http://127.0.0.1:" + std::to_string(port) + "/zorv/ from " +
                                    db + " (20000 players, 0 scores)");
    const size_t answered = log.find(" GET 200 ");
    ASSERT_NE(answered, std::string::npos) << log;
    EXPECT_LT(serving, answered) << log;
}

// A stop while the start still checks a large database (here a small one
// whose every read takes 5 ms longer, as on a cold disk) ends the start at
// once, and is no fault of the file: exit 0, nothing said of damage, the
// file as it was. After a crash that file's latest writes are in its log
// still, and the last line says so. A stop while the start commits (every
// sync slower, as on a busy disk) lets that commit end, and stops as well:
// the port never opened, and the file whole without its log.
TEST(ServerProgramTest, SigtermDuringTheStartStopsItWithinSecondsAndServesNothing) {
    const struct {
        const char* while_;
        const char* slow;
        bool crashed;  // the server before was killed: its log is left
    } rows[] = {
        {"while the start checks the database", "ZORV_SLOW_READS_MS=5", false},
        {"while the start checks the database after a crash", "ZORV_SLOW_READS_MS=5", true},
        {"while the start commits", "ZORV_SLOW_SYNCS_MS=300", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.while_);
        CTempDir dir;
        const std::string db = dir.File("s.db");
        MakeDatabaseOfPlayers(db, 20000);
        if (row.crashed) {
            sqlite3* killed = nullptr;
            ASSERT_EQ(sqlite3_open(db.c_str(), &killed), SQLITE_OK);
            sqlite3_db_config(killed, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
            EXPECT_EQ(sqlite3_exec(killed, "INSERT INTO players (name, version, registered) VALUES ('last', 'x', 0)",
                                   nullptr, nullptr, nullptr),
                      SQLITE_OK);
            sqlite3_close(killed);
        }
        const std::string begun = dir.File("begun");
        const pid_t pid = SpawnProgram({std::string(ZORV_RUN_DIR) + "/zorv_scored", "--db", db, "--port", "0"},
                                       {"LD_PRELOAD=" ZORV_SLOW_DISK, row.slow, "ZORV_SLOW_DISK_BEGUN=" + begun},
                                       dir.File("log.txt"), "");
        for (int i = 0; i < 2000 && !Exists(begun); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(Exists(begun));
        const auto asked = std::chrono::steady_clock::now();
        kill(pid, SIGTERM);
        const int code = WaitForProgram(pid, 60);
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
        const std::string log = ReadFileText(dir.File("log.txt"));
        printf("MEASURE:  SIGTERM %s: stopped after %.3f s\n", row.while_, took);
        EXPECT_EQ(code, 0) << log;
        EXPECT_LT(took, 3.0);
        const std::string said =
            row.crashed ? "; database closed, but its write-ahead log could not be folded back into it (the start was "
                          "stopped before it could): its latest writes are in " + db + "-wal beside it, so keep the "
                          "two files together"
                        : "; database closed\n";
        EXPECT_NE(log.find("zorv_scored: stopped by SIGTERM before serving" + said), std::string::npos) << log;
        EXPECT_EQ(log.find("cannot use the database"), std::string::npos) << log;
        EXPECT_EQ(log.find("serving http"), std::string::npos) << log;
        EXPECT_EQ(Exists(db + "-wal"), row.crashed);
        CSqliteScoreStore store;
        std::string error;
        ASSERT_TRUE(store.Open(db, &error)) << error;
        int64_t players = 0, scores = 0;
        EXPECT_TRUE(store.Count(&players, &scores));
        EXPECT_EQ(players, row.crashed ? 20001 : 20000);
    }
}
