#include "players/CScoreBoard.h"

void CScoreBoard::Reset() {
    entries.clear();
    ownRank = 0;
    ownRow = -1;
    count = -1;
}
