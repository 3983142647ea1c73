// The score server under AddressSanitizer, asked over HTTP what no game
// asks: random queries, the game's own queries with their scrambled text
// damaged, and well-scrambled queries that say what the server must refuse
// (keys missing or twice, numbers that are not numbers or do not fit, names
// it does not take, players it does not know, more than 4 KB). Every answer
// must be a refusal, nothing may be stored, and nothing may crash.
#include <gtest/gtest.h>

#include <curl/curl.h>

#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "players/ScoreScramble.h"
#include "server/CScoreHttpServer.h"
#include "server/CSqliteScoreStore.h"
#include "tests/support/TestSupport.h"

namespace {

const char kScrambleLetters[] = "kmxbgtwjdv3a7f1h9n5s";

size_t Collect(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

class Fuzzer {
public:
    explicit Fuzzer(unsigned seed) : random_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::string RandomText(size_t length, const std::string& alphabet) {
        std::string out;
        for (size_t i = 0; i < length; ++i) out += alphabet[static_cast<size_t>(Below(static_cast<int>(alphabet.size())))];
        return out;
    }

    // A query the game sends, scrambled, then damaged in one to three places
    // (an edit that changed nothing is tried again).
    std::string Damaged(const std::string& query) {
        const std::string sent = HttpBuildQuery(query);
        std::string s = sent;
        const int edits = 1 + Below(3);
        for (int e = 0; (e < edits || s == sent) && !s.empty(); ++e) {
            const size_t at = static_cast<size_t>(Below(static_cast<int>(s.size())));
            switch (Below(6)) {
            case 0: s[at] = kScrambleLetters[Below(20)]; break;              // another code letter
            case 1: s.erase(at, 1); break;                                   // one dropped
            case 2: s.insert(at, 1, kScrambleLetters[Below(20)]); break;     // one more
            case 3: s.resize(at); break;                                     // cut short
            case 4: std::swap(s[at], s[static_cast<size_t>(Below(static_cast<int>(s.size())))]); break;
            default: s.insert(at, RandomText(1 + Below(3), "%+-_.~ABCXYZ019")); break;  // no code letters
            }
        }
        return s;
    }

    // A query that is scrambled and summed as the game does, and that the
    // server must refuse all the same.
    std::string Refusable() {
        const std::string type = std::to_string(Below(3)), level = std::to_string(Below(81));
        const std::string badNumbers[] = {"", "x", "1e3", "0x10", " 7", "7 ", "+7", "--7", "2147483648",
                                          "-2147483649", "99999999999999999999", "3.5", "%37", "7&", "٣"};
        const std::string badNames[] = {"", std::string(16 + Below(40), 'a'), " lead", "trail ", "two  spaces",
                                        "semi;colon", "slash/", "tab\there", "new\nline", "fuck", "sh1t",
                                        RandomText(1 + Below(15), "!\"#$%'()*,-./:<>?@[]^_`{|}~\x01\x7f\x80\xff")};
        const std::string& bad = badNumbers[Below(15)];
        const std::string name = "nobody" + std::to_string(Below(100));
        switch (Below(12)) {
        case 0: return "op=addUser&user=" + badNames[Below(12)] + "&version=1.03W";
        case 1: return "op=addUser&user=zed&version=" + std::string(Below(2) ? "" : "bad version");
        case 2: return "op=addUser&user=zed";
        case 3: return "op=addUser&user=zed&version=1&user=zed";
        case 4: return "op=uploadScore&user=" + name + "&type=" + type + "&level=" + level + "&score=10&cheat=0";
        case 5: return "op=uploadScore&user=" + name + "&type=" + bad + "&level=" + level + "&score=10&cheat=0";
        case 6: return "op=uploadScore&user=" + name + "&type=" + type + "&level=" + level + "&score=" + bad + "&cheat=0";
        case 7: return "op=uploadScore&user=" + name + "&type=" + type + "&level=" + level + "&score=" +
                       std::to_string(-Below(1000)) + "&cheat=" + bad;
        case 8: return "op=downloadScore&user=" + name + "&type=" + type + "&level=" + bad;
        case 9: return "op=downloadScore&user=" + name + "&type=" + std::to_string(3 + Below(100)) + "&level=1";
        case 10: return "op=" + RandomText(Below(12), "abcdeopsrUS") + "&user=a&type=0&level=1";
        default: return "op=downloadScore&user=a&type=0&level=1&" + RandomText(1 + Below(2000), "abc=&");
        }
    }

private:
    std::mt19937 random_;
};

}  // namespace

TEST(ServerFuzz, TenThousandQueriesNoGameSendsAreRefusedAndStoreNothing) {
    CTempDir dir;
    CSqliteScoreStore store;
    std::string error;
    ASSERT_TRUE(store.Open(dir.File("scores.db"), &error)) << error;
    // Its one line per request would drown the test's output.
    fflush(stderr);
    FILE* quiet = freopen(dir.File("server.log").c_str(), "w", stderr);
    ASSERT_NE(quiet, nullptr);
    CScoreHttpServer server(store, "/zorv/", 8);
    ASSERT_TRUE(server.Bind("127.0.0.1", 0, &error)) << error;
    ASSERT_TRUE(server.Start(&error)) << error;

    // One handle for every request: its connection is kept between them.
    CURL* client = curl_easy_init();
    ASSERT_NE(client, nullptr);
    std::string body;
    long status = 0;
    curl_easy_setopt(client, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(client, CURLOPT_TIMEOUT, 10L);
    curl_easy_setopt(client, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(client, CURLOPT_WRITEDATA, &body);
    const std::string base = "http://127.0.0.1:" + std::to_string(server.Port()) + "/zorv/zjscores.php?";
    Fuzzer fuzz(20240607);
    const std::string games[] = {"op=addUser&user=Amy Lee&version=1.03W",
                                 "op=uploadScore&user=Amy Lee&type=1&level=7&score=345&cheat=0",
                                 "op=downloadScore&user=Amy Lee&type=2&level=99999"};
    int asked = 0, refused = 0;
    std::string wrong;
    for (int i = 0; i < 10500; ++i) {
        std::string query;
        switch (i % 4) {
        case 0: query = fuzz.RandomText(static_cast<size_t>(fuzz.Below(700)), kScrambleLetters); break;
        case 1: query = fuzz.Damaged(games[i % 3]); break;
        case 2: query = HttpBuildQuery(fuzz.Refusable()); break;
        default:
            query = i % 100 == 3 ? std::string(4097 + static_cast<size_t>(fuzz.Below(3000)), 'k')
                                 : fuzz.RandomText(static_cast<size_t>(fuzz.Below(300)),
                                                   "abcdefghijklmnopqrstuvwxyz0123456789=&-_.~%");
        }
        body.clear();
        curl_easy_setopt(client, CURLOPT_URL, (base + query).c_str());
        const CURLcode sent = curl_easy_perform(client);
        ++asked;
        if (sent != CURLE_OK) {
            wrong += "no answer to " + query.substr(0, 60) + "\n";
            continue;
        }
        curl_easy_getinfo(client, CURLINFO_RESPONSE_CODE, &status);
        const bool refusal = status == 400 || body.rfind("failure\n", 0) == 0;
        if (refusal) ++refused;
        else if (wrong.size() < 4000) wrong += std::to_string(status) + " " + body + " to " + query + "\n";
    }
    curl_easy_cleanup(client);
    server.Stop();
    int64_t players = -1, scores = -1;
    EXPECT_TRUE(store.Count(&players, &scores));
    std::string report;
    EXPECT_TRUE(store.CheckIntegrity(&report)) << report;
    store.Close();
    printf("MEASURE:  %i queries no game sends, %i refused; %lld players and %lld scores stored\n", asked, refused,
           static_cast<long long>(players), static_cast<long long>(scores));
    EXPECT_EQ(wrong, "");
    EXPECT_GE(asked, 10000);
    EXPECT_EQ(refused, asked);
    EXPECT_EQ(players, 0);
    EXPECT_EQ(scores, 0);
}
