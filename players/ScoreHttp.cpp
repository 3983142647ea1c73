#include "players/ScoreHttp.h"

#include <curl/curl.h>

#include "engine/Log.h"
#include "players/ScoreScramble.h"

namespace {

std::string g_response;
long g_status = 0;

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

bool HttpGet(const std::string& base, const std::string& query, long timeoutSeconds) {
    const std::string address = base + "?" + HttpBuildQuery(query);
    g_response.clear();
    g_status = 0;
    CURL* curl = curl_easy_init();
    if (!curl) return false;
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds);
    bool ok = curl_easy_setopt(curl, CURLOPT_URL, address.c_str()) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, HttpWriteCallback) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_WRITEDATA, &g_response) == CURLE_OK;
    if (ok) {
        const CURLcode result = curl_easy_perform(curl);
        if (result == CURLE_OK) {
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &g_status);
        } else {
            // Only the write callback refuses data: the answer was too long.
            if (result == CURLE_WRITE_ERROR)
                DebugLog(DBG_WARNING, "The score server's answer ran past %zu bytes: cut off and taken as no answer\n",
                         kScoreResponseMax);
            else
                DebugLog(DBG_WARNING, "No answer from the score server: %s (libcurl error %i)\n",
                         curl_easy_strerror(result), static_cast<int>(result));
            g_response.clear();  // a cut-off body is no answer
            ok = false;
        }
    }
    curl_easy_cleanup(curl);
    return ok;
}

const std::string& HttpGetString() { return g_response; }

long HttpGetStatus() { return g_status; }
