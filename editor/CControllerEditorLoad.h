// The editor's load dialog: the level files of the levels folder with their
// headings in a list, picked with okay, a double click or Return. Its answer
// is 1 when a file was accepted; the editor then loads it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/CController.h"

class CSprite;
class CGuiButton;
class CGuiListbox;

class CControllerEditorLoad : public CController {
public:
    enum WidgetId { BUTTON_UP = 0, BUTTON_DOWN = 1, BUTTON_CANCEL = 2, BUTTON_OKAY = 3, LIST = 100 };
    static constexpr const char* kBaseImage = "baseEditorLoad.png";

    CControllerEditorLoad();
    ~CControllerEditorLoad() override;

    bool IsCancelled() const { return value == 0; }
    // The accepted file's name (without folder and extension); empty when
    // nothing was accepted or the list is empty.
    std::string GetFileName() const;

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    CGuiListbox* GetList() const { return list.get(); }
    const std::vector<std::string>& GetFileNames() const { return fileNames; }
    CGuiButton* GetButton(int widgetId) const;

private:
    void LoadSprites();
    void FillList();

    std::unique_ptr<CSprite> sprites[2];
    std::unique_ptr<CGuiButton> buttons[4];
    std::unique_ptr<CGuiListbox> list;
    std::vector<std::string> fileNames;
    uint8_t spritesBuilt;
};
