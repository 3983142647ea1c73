// The dialog in which the player gives the user name the score server
// registers them under. The score board proposes a name in it and, when the
// server refused the previous one, opens it with the mark that says so:
// "That name is taken" when it is, "Name not accepted" for any other reason
// (the message box before the dialog told which).
#pragma once

#include "gui/CControllerTextEntryBase.h"

class CControllerScoreboardName : public CControllerTextEntryBase {
public:
    static constexpr int kMarkHold = 30;
    static constexpr int kNameLength = 15;

    enum class Mark { kNone, kNameTaken, kNotAccepted };

    explicit CControllerScoreboardName(Mark mark);

    void LoadSprites() override;
    Mark GetMarkKind() const { return markKind; }

private:
    Mark markKind;
};
