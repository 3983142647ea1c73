// One story page, or a pair of pages, shown between levels: a dimmed copy of
// the screen as it was when the story opened, with the story's pictures and
// text pictures drawn onto it, and buttons to turn the page and to close.
// The play screen opens it with a story id (0..11); which level carries
// which story is the level sets' story table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "screens/CControllerPage.h"

class CSprite;
class CGuiButton;

class CControllerStory : public CControllerPage {
public:
    enum ButtonId { BUTTON_PREVIOUS = 0, BUTTON_DONE = 1, BUTTON_NEXT = 2 };
    static constexpr int kStoryCount = 12;

    explicit CControllerStory(int storyId);
    ~CControllerStory() override;

    // Stories 0 (the opening) and 11 (the ending) have two pages.
    static bool HasTwoPages(int storyId) { return storyId == 0 || storyId == kStoryCount - 1; }
    struct Picture {
        std::string name;
        int x, y;
    };
    // The pictures drawn onto page 0 or 1 of a story, in drawing order;
    // none for a page or story that does not exist.
    static std::vector<Picture> GetPictures(int storyId, int pageIndex);

    void GUICallback(int index, int value, bool dclick) override;
    void Pump() override;

    // Inspection (tests).
    int GetStoryId() const { return storyId; }
    CSprite* GetPageSprite() const { return page.get(); }
    CGuiButton* GetButton(int buttonId) const;

private:
    void ComposePage(const char* name, int pageIndex);
    void LoadSprites();
    void UnloadSprites();

    std::unique_ptr<CSprite> page;
    // Previous, next and done; a one-page story has only done, in the first.
    std::unique_ptr<CGuiButton> buttons[3];
    uint8_t loaded;
    int storyId;
};
