// The dialog in which the player gives the user name the score server
// registers them under. The score board proposes a name in it and, when the
// server refused the previous one, opens it with the mark that says so.
#pragma once

#include "gui/CControllerTextEntryBase.h"

class CControllerScoreboardName : public CControllerTextEntryBase {
public:
    static constexpr int kMarkHold = 30;
    static constexpr int kNameLength = 15;

    explicit CControllerScoreboardName(bool invalidMark);

    void LoadSprites() override;

private:
    bool invalidMark;
};
