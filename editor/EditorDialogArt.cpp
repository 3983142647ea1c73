#include "editor/EditorDialogArt.h"

#include "engine/CDraw.h"
#include "gui/CGuiButton.h"
#include "gui/GuiText.h"

namespace {

const char* const kPlate = "button_cancel.tga";
const char* const kSelector = "button_cancel_selector.tga";
// The selector frames the plate with this margin.
constexpr int kSelectorW = 114, kSelectorH = 39;
constexpr int kMarginX = (kSelectorW - kEditorButtonW) / 2, kMarginY = (kSelectorH - kEditorButtonH) / 2;

std::unique_ptr<CGuiButton> MakeButton(int x, int y, int id, CController* owner, bool isDefault) {
    AcquireBlankImage(kEditorButtonBase, kSelectorW, kSelectorH);
    auto b = std::make_unique<CGuiButton>(x - kMarginX, y - kMarginY, id, owner, kEditorButtonBase, nullptr, kSelector,
                                          kSelector, isDefault, 0, 0);
    CDraw::UnloadImage(kEditorButtonBase);  // the button holds it now
    return b;
}

}  // namespace

void AcquireBlankImage(const char* name, int width, int height) {
    if (CDraw::FindImage(name) >= 0)
        CDraw::GetImage(name);
    else
        CDraw::CreateSurface(width, height, name);
}

EditorDialogPicture ComposeEditorDialog(const char* name, const char* shadow, const char* face, int faceX, int faceY,
                                        int buttonsY) {
    EditorDialogPicture p;
    p.image = CDraw::CopyImage(shadow, name, 0);
    const int faceId = CDraw::GetImage(face);
    const int centreX = faceX + CDraw::GetWidth(faceId) / 2;
    CDraw::ReleaseImage(faceId);
    CDraw::DrawImageOnto(face, p.image, faceX, faceY);
    p.okayX = centreX - kEditorButtonGap / 2 - kEditorButtonW;
    p.cancelX = centreX + kEditorButtonGap / 2;
    p.buttonsY = buttonsY;
    CDraw::DrawImageOnto(kPlate, p.image, p.okayX, buttonsY);
    CDraw::DrawImageOnto(kPlate, p.image, p.cancelX, buttonsY);
    BlitString(1800, p.image, kEditorButtonW - 2, 31, 3, p.okayX, buttonsY + 1);
    BlitString(1801, p.image, kEditorButtonW - 2, 31, 3, p.cancelX, buttonsY + 1);
    return p;
}

void MakeEditorButtons(const EditorDialogPicture& picture, int x, int y, CController* owner, int okayId, int cancelId,
                       bool okayIsDefault, std::unique_ptr<CGuiButton>* okay, std::unique_ptr<CGuiButton>* cancel) {
    *okay = MakeButton(x + picture.okayX, y + picture.buttonsY, okayId, owner, okayIsDefault);
    *cancel = MakeButton(x + picture.cancelX, y + picture.buttonsY, cancelId, owner, false);
}
