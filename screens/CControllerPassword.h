// The password prompt the in-game menu and the score board open before a
// solution is shown, when the profile has a password. The entry is shown as
// one "*" per character; a wrong one empties the box and shows the mark;
// only the right one, or cancel, closes the prompt.
#pragma once

#include <string>

#include "gui/CControllerTextEntryBase.h"

class CControllerPassword : public CControllerTextEntryBase {
public:
    static constexpr int kMarkHold = 30;

    explicit CControllerPassword(const char* expectedPassword);

    void GUICallback(int index, int value, bool dclick) override;
    void LoadSprites() override;

private:
    std::string expectedPassword;
};
