#include "editor/CControllerEditorTutorial.h"

#include "editor/EditorDialogArt.h"
#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "gui/CGuiTextbox.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"

CControllerEditorTutorial::CControllerEditorTutorial(const char* text) {
    LoadSprites();
    if (text && textbox) textbox->SetText(text);
    if (textbox) textbox->WarpMouseTo();
}

void CControllerEditorTutorial::LoadSprites() {
    if (spritesBuilt) return;
    const int image = ComposeEditorDialog(kBaseImage, "etutorialboxshadow.tga", "etutorialbox.jpg", 4, 4, 217, 233,
                                          282, 233);
    BlitString(1803, image, CDraw::GetWidth(image) - 80, 50, 2, 35, 18);
    sprites[0] = MakeGuiSprite(CDraw::ReacquireImage(image), 1411,
                               "Editor Tutorial Controller (TEXTENTRY_LSPRITE_BACKGROUND)", 105, 160, true);
    // The composed picture's own reference goes with the base's unloading.
    sprites[1] = MakeGuiSprite("dimmer.png", 1410, "Editor Tutorial Controller (TEXTENTRY_LSPRITE_DIMMER)", 0, 0, true);
    textbox = new CGuiTextbox(kMaxText, 140, 226, 9, 11, "etutorial_blurb.jpg", "profilenternamecursor.png", true, true,
                              true);
    okay = MakeEditorOkayButton(320, 391, BUTTON_OKAY, this, false);
    cancel = MakeEditorCancelButton(385, 391, BUTTON_CANCEL, this);
    HideMousePointer(-1);
    spritesBuilt = 1;
}

std::string CControllerEditorTutorial::GetSignText() const {
    std::string text = textbox ? textbox->GetText() : "";
    if (text.size() > static_cast<size_t>(kMaxText)) text.resize(kMaxText);
    return text;
}
