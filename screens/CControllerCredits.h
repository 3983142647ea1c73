// The credits: a parchment page over the dimmed main menu with the game's
// title, seven rows of roles with who or what is credited for each, a line
// of thanks and the version, and a Done button.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/BuildInfo.h"
#include "screens/CControllerPage.h"

class CSprite;
class CGuiButton;

class CControllerCredits : public CControllerPage {
public:
    static constexpr int kRows = 7;
    static constexpr const char* kVersion = ZORV_VERSION;

    // The text of one name field and the box it is drawn in, in page pixels.
    struct NameField {
        const char* text;
        int x, y, w, h;
    };
    static const NameField& GetNameField(int row);
    static const char* GetThanks();

    CControllerCredits();
    ~CControllerCredits() override;

    void GUICallback(int index, int value, bool dclick) override;

    // Inspection (tests).
    CGuiButton* GetDoneButton() const { return done.get(); }
    CSprite* GetPageSprite() const { return page.get(); }

private:
    void LoadSprites();
    void UnloadSprites();

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> page;
    std::unique_ptr<CGuiButton> done;
    uint8_t loaded;
};
