#include "server/UserNames.h"

#include <cctype>

#include "players/ScoreBoardRules.h"

namespace {

// Rude words refused anywhere in a name, once its digits are read as the
// letters they stand in for and its spaces are taken out. Kept short and to
// words that hardly occur inside an innocent name.
const char* const kRudeAnywhere[] = {"fuck", "cunt", "nigger", "nigga", "faggot", "wank", "whore", "bitch",
                                     "asshole", "arsehole", "dickhead", "bollock", "dildo", "porn", "bastard"};
// Rude words refused as a whole word of the name (they sit inside innocent
// names too: "Yoshita", "Cassie").
const char* const kRudeWords[] = {"shit", "piss", "twat", "slut", "cock", "fag", "tits", "arse",
                                  "ass", "retard", "penis", "rape", "sex", "poo", "crap"};

char LetterOf(char c) {
    switch (c) {
    case '0': return 'o';
    case '1': return 'i';
    case '3': return 'e';
    case '4': return 'a';
    case '5': return 's';
    case '7': return 't';
    case '8': return 'b';
    default: return static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
}

bool IsRude(const std::string& name) {
    std::string squeezed;
    std::vector<std::string> words(1);
    for (const char c : name) {
        if (c == ' ') {
            words.emplace_back();
            continue;
        }
        squeezed += LetterOf(c);
        words.back() += c;
    }
    for (const char* rude : kRudeAnywhere)
        if (squeezed.find(rude) != std::string::npos) return true;
    for (std::string& word : words) {
        // A number before or after a word does not hide it; digits inside
        // it stand for letters.
        const size_t first = word.find_first_not_of("0123456789");
        const size_t last = word.find_last_not_of("0123456789");
        word = first == std::string::npos ? "" : word.substr(first, last - first + 1);
        for (char& c : word) c = LetterOf(c);
        for (const char* rude : kRudeWords)
            if (word == rude) return true;
    }
    return false;
}

}  // namespace

int CheckUserName(const std::string& name) {
    if (name.empty() || name.size() > static_cast<size_t>(kScoreUserNameMax)) return kScoreErrorNameLength;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (letterOrDigit) continue;
        if (c != ' ' || i == 0 || i + 1 == name.size() || name[i - 1] == ' ') return kScoreErrorNameCharacters;
    }
    return IsRude(name) ? kScoreErrorNameRude : 0;
}

std::vector<std::string> ProposeNames(const std::string& taken, size_t count,
                                      const std::function<bool(const std::string&, bool* failed)>& isFree,
                                      bool* failed) {
    *failed = false;
    std::vector<std::string> names;
    for (int n = 1; n < 1000 && names.size() < count; ++n) {
        const std::string number = std::to_string(n);
        std::string base = taken.substr(0, static_cast<size_t>(kScoreUserNameMax) - number.size());
        const std::string candidate = base + number;
        if (CheckUserName(candidate) != 0) continue;
        const bool free = isFree(candidate, failed);
        if (*failed) break;
        if (free) names.push_back(candidate);
    }
    return names;
}
