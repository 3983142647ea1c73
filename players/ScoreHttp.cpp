#include "players/ScoreHttp.h"

#include <curl/curl.h>

#include "engine/Log.h"
#include "players/ScoreScramble.h"

namespace {

std::string g_response;
long g_status = 0;

// Runs the transfer until it ends, or until giveUp says to stop waiting
// (*gaveUp set); the transfer's result.
CURLcode RunTransfer(CURL* curl, HttpGiveUpCheck giveUp, bool* gaveUp) {
    *gaveUp = false;
    CURLM* multi = curl_multi_init();
    if (!multi) return CURLE_OUT_OF_MEMORY;
    CURLcode result = CURLE_FAILED_INIT;
    if (curl_multi_add_handle(multi, curl) == CURLM_OK) {
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) break;
            if (running == 0) {
                int left = 0;
                while (CURLMsg* message = curl_multi_info_read(multi, &left))
                    if (message->msg == CURLMSG_DONE) result = message->data.result;
                break;
            }
            if (giveUp && giveUp()) {
                *gaveUp = true;
                break;
            }
            if (curl_multi_poll(multi, nullptr, 0, kScoreGiveUpPollMs, nullptr) != CURLM_OK) break;
        }
        curl_multi_remove_handle(multi, curl);
    }
    curl_multi_cleanup(multi);
    return result;
}

}  // namespace

size_t HttpWriteCallback(char* data, size_t size, size_t count, void* target) {
    if (!target) return 0;
    std::string* buffer = static_cast<std::string*>(target);
    if (size != 0 && count > kScoreResponseMax / size) return 0;
    const size_t bytes = size * count;
    if (bytes > kScoreResponseMax - buffer->size()) return 0;  // too long to be a real answer
    buffer->append(data, bytes);
    return bytes;
}

namespace {

// The handle's options; false (with a warning naming the one libcurl
// refused) when any of them cannot be set.
bool SetOptions(CURL* curl, const std::string& address, long timeoutSeconds) {
    struct Option {
        const char* name;
        CURLcode result;
    };
    const Option options[] = {
        {"the time-out", curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds)},
        // http and https only, the address and any redirect alike: a
        // score server's address that names a file, a mail or a directory
        // server is refused before anything is read. No redirect is followed
        // (a 3xx is an answer whose body is read as any other); the
        // redirect rule stands in case one ever is.
#if LIBCURL_VERSION_NUM >= 0x075500
        {"the schemes", curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https")},
        {"the redirect schemes", curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https")},
#else
        {"the schemes", curl_easy_setopt(curl, CURLOPT_PROTOCOLS, CURLPROTO_HTTP | CURLPROTO_HTTPS)},
        {"the redirect schemes", curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS, CURLPROTO_HTTP | CURLPROTO_HTTPS)},
#endif
        {"no redirect", curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L)},
        {"the address", curl_easy_setopt(curl, CURLOPT_URL, address.c_str())},
        {"the answer's reader", curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, HttpWriteCallback)},
        {"the answer's buffer", curl_easy_setopt(curl, CURLOPT_WRITEDATA, &g_response)},
    };
    for (const Option& option : options) {
        if (option.result == CURLE_OK) continue;
        DebugLog(DBG_WARNING, "The score request could not be started: libcurl refused %s: %s (libcurl error %i)\n",
                 option.name, curl_easy_strerror(option.result), static_cast<int>(option.result));
        return false;
    }
    return true;
}

}  // namespace

HttpOutcome HttpGet(const std::string& base, const std::string& query, long timeoutSeconds,
                    HttpGiveUpCheck giveUp) {
    const std::string address = base + "?" + HttpBuildQuery(query);
    g_response.clear();
    g_status = 0;
    CURL* curl = curl_easy_init();
    if (!curl) {
        DebugLog(DBG_WARNING, "The score request could not be started: libcurl gave no handle\n");
        return HttpOutcome::kNoAnswer;
    }
    HttpOutcome outcome = HttpOutcome::kNoAnswer;
    if (SetOptions(curl, address, timeoutSeconds)) {
        bool gaveUp = false;
        const CURLcode result = RunTransfer(curl, giveUp, &gaveUp);
        if (gaveUp) {
            outcome = HttpOutcome::kGivenUp;
        } else if (result == CURLE_OK) {
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &g_status);
            outcome = HttpOutcome::kAnswer;
        } else if (result == CURLE_WRITE_ERROR) {
            // Only the write callback refuses data: the answer was too long.
            DebugLog(DBG_WARNING, "The score server's answer ran past %zu bytes: cut off and taken as no answer\n",
                     kScoreResponseMax);
        } else {
            DebugLog(DBG_WARNING, "No answer from the score server: %s (libcurl error %i)\n",
                     curl_easy_strerror(result), static_cast<int>(result));
        }
        if (outcome != HttpOutcome::kAnswer) g_response.clear();  // a cut-off body is no answer
    }
    curl_easy_cleanup(curl);
    return outcome;
}

const std::string& LastAnswerBody() { return g_response; }

long LastAnswerStatus() { return g_status; }
