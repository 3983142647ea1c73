#include "players/CScoreBoard.h"

void CScoreBoard::Reset() {
    entries.clear();
    ownRank = 0;
    count = -1;
}
