// The small box the level map opens over itself to explain its dots: a fixed
// explanation picture with a spinning tutorial star beside it and one okay
// button. It answers nothing but its closing.
#pragma once

#include <memory>

#include "screens/CControllerPage.h"

class CSprite;
class CGuiButton;

class CControllerMessageTutorial : public CControllerPage {
public:
    enum ButtonId { BUTTON_OKAY = 0 };

    CControllerMessageTutorial();
    ~CControllerMessageTutorial() override;

    void GUICallback(int index, int value, bool dclick) override;

    // Inspection (tests).
    CGuiButton* GetOkayButton() const { return okay.get(); }
    CSprite* GetStar() const { return star.get(); }

private:
    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CSprite> star;
    std::unique_ptr<CGuiButton> okay;
};
