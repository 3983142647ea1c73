// The dialog in which the level designer types the text of a tutorial sign
// (up to 250 characters, line breaks allowed). Okay with a text that is not
// blank, cancel or Escape close it; the editor then places the sign and
// gives the level the text.
#pragma once

#include <string>

#include "gui/CControllerTextEntryBase.h"
#include "world/CLevel.h"

class CControllerEditorTutorial : public CControllerTextEntryBase {
public:
    static constexpr int kMaxText = static_cast<int>(CLevel::kSignTextMax);

    // text: the sign's present text, or null for a new sign.
    explicit CControllerEditorTutorial(const char* text);
    ~CControllerEditorTutorial() override = default;

    void LoadSprites() override;
    // The box's text (at most kMaxText characters).
    std::string GetSignText() const;
};
