// The illustrated rule book: a contents page with 18 topic buttons and one
// page per topic with a title, a subtitle, a body text and pictures made
// from the game's own tiles. It always opens at the contents page and
// closes with Done or Escape; it answers nothing to its opener.
#pragma once

#include <cstdint>
#include <memory>

#include "screens/CControllerPage.h"

class CSprite;
class CGuiButton;

class CControllerInstructions : public CControllerPage {
public:
    enum WidgetId { BUTTON_PREVIOUS = 100, BUTTON_DONE = 101, BUTTON_NEXT = 102 };
    static constexpr int kTopics = 18;
    static constexpr int kLastPage = kTopics;
    static constexpr int kBodyY = 117;
    static constexpr int kBodyH = 380;

    // A picture drawn onto a page, its top-left corner in page pixels; a
    // world picture also names the cell it stands on as in play (the cell's
    // top-left corner in page pixels).
    struct Picture {
        const char* image;
        int x, y;
        bool onCell;
        int left, top;
    };
    // The body text's box and the pictures of topic page p (1..18), drawn in
    // this order.
    struct PageLayout {
        int bodyX, bodyW;
        const Picture* pictures;
        int pictureCount;
    };
    static const PageLayout* GetLayout(int page);
    // The string-table entry of the body text of page p (1..18).
    static int BodyText(int page);

    explicit CControllerInstructions(int page);
    ~CControllerInstructions() override;

    void GUICallback(int index, int value, bool dclick) override;

    // Inspection (tests).
    int GetPage() const { return page; }
    CGuiButton* GetButton(int widgetId) const;
    CSprite* GetPageSprite() const { return pageSprite.get(); }

private:
    void CreateSprites();
    void DestroySprites();
    void BuildPage();
    void PaintPage(int image);

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> pageSprite;
    std::unique_ptr<CGuiButton> topicButtons[kTopics];
    std::unique_ptr<CGuiButton> prevButton;
    std::unique_ptr<CGuiButton> doneButton;
    std::unique_ptr<CGuiButton> nextButton;
    uint8_t built;
    int page;
};
