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

namespace {
// The dialog's picture (its solid frame 426 pixels wide) centred across the
// screen; in it, the face at (4, 4) (418 x 268), the text field centred on
// the face under the title, and the buttons as far below the field as above
// the face's bottom edge.
constexpr int kDialogX = 187, kDialogY = 160;
constexpr int kFaceX = 4, kFaceW = 418, kFaceBottom = 4 + 268;
constexpr int kFieldW = 360, kFieldX = kFaceX + (kFaceW - kFieldW) / 2, kFieldY = 66, kFieldBottom = kFieldY + 150;
constexpr int kButtonsY = kFieldBottom + (kFaceBottom - kFieldBottom - kEditorButtonH) / 2;
constexpr int kTitleW = kFaceW - 80;
}  // namespace

void CControllerEditorTutorial::LoadSprites() {
    if (spritesBuilt) return;
    const EditorDialogPicture picture =
        ComposeEditorDialog(kBaseImage, "etutorialboxshadow.tga", "etutorialbox.jpg", kFaceX, 4, kButtonsY);
    BlitString(1803, picture.image, kTitleW, 50, 2, kFaceX + (kFaceW - kTitleW) / 2, 18);
    sprites[0] = MakeGuiSprite(CDraw::ReacquireImage(picture.image), LAYER_CL1,
                               "Editor Tutorial Controller (TEXTENTRY_LSPRITE_BACKGROUND)", kDialogX, kDialogY, true);
    // The composed picture's own reference goes with the base's unloading.
    sprites[1] =
        MakeGuiSprite("dimmer.png", LAYER_CL0, "Editor Tutorial Controller (TEXTENTRY_LSPRITE_DIMMER)", 0, 0, true);
    textbox = std::make_unique<CGuiTextbox>(kMaxText, kDialogX + kFieldX, kDialogY + kFieldY, 9, 11,
                                            "etutorial_blurb.jpg", "profilenternamecursor.png", true, true, true);
    MakeEditorButtons(picture, kDialogX, kDialogY, this, BUTTON_OKAY, BUTTON_CANCEL, false, &okay, &cancel);
    HideMousePointer(kHideUntilNextUpdate);
    spritesBuilt = 1;
}

std::string CControllerEditorTutorial::GetSignText() const {
    std::string text = textbox ? textbox->GetText() : "";
    if (text.size() > static_cast<size_t>(kMaxText)) text.resize(kMaxText);
    return text;
}
