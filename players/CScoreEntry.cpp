#include "players/CScoreEntry.h"

#include <cstring>

void CScoreEntry::SetName(const std::string& text) {
    const size_t n = text.size() < sizeof name - 1 ? text.size() : sizeof name - 1;
    memset(name, 0, sizeof name);
    memcpy(name, text.data(), n);
}
