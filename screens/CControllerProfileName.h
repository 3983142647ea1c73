// The dialog that asks for a player's name when a player is added or
// renamed: up to 15 characters, blanks allowed, no symbols. It starts empty
// either way; the profile screen reads the name once it has closed.
#pragma once

#include "gui/CControllerTextEntryBase.h"

class CControllerProfileName : public CControllerTextEntryBase {
public:
    static constexpr int kMaxNameLength = 15;

    CControllerProfileName();
    ~CControllerProfileName() override = default;

    // Over a picture of the screen as it is when the dialog opens.
    void LoadSprites() override;
};
