#include "editor/EditorDialogArt.h"

#include "engine/CDraw.h"
#include "gui/CGuiButton.h"
#include "gui/GuiText.h"

void AcquireBlankImage(const char* name, int width, int height) {
    if (CDraw::FindImage(name) >= 0)
        CDraw::GetImage(name);
    else
        CDraw::CreateSurface(width, height, name);
}

int ComposeEditorDialog(const char* name, const char* shadow, const char* face, int faceX, int faceY, int okayX,
                        int okayY, int cancelX, int cancelY) {
    const int image = CDraw::CopyImage(shadow, name, 0);
    CDraw::DrawImageOnto(face, image, faceX, faceY);
    CDraw::DrawImageOnto("button_ok.tga", image, okayX, okayY);
    CDraw::DrawImageOnto("button_cancel.tga", image, cancelX, cancelY);
    BlitString(1800, image, 46, 31, 3, okayX, okayY + 1);
    BlitString(1801, image, 104, 31, 3, cancelX, cancelY + 1);
    return image;
}

CGuiButton* MakeEditorOkayButton(int x, int y, int id, CController* owner, bool isDefault) {
    AcquireBlankImage(kEditorOkayBase, 54, 39);
    CGuiButton* b = new CGuiButton(x, y, id, owner, kEditorOkayBase, nullptr, "button_ok_selector.tga",
                                   "button_ok_selector.tga", isDefault, 0, 0);
    CDraw::UnloadImage(kEditorOkayBase);  // the button holds it now
    return b;
}

CGuiButton* MakeEditorCancelButton(int x, int y, int id, CController* owner) {
    AcquireBlankImage(kEditorCancelBase, 114, 39);
    CGuiButton* b = new CGuiButton(x, y, id, owner, kEditorCancelBase, nullptr, "button_cancel_selector.tga",
                                   "button_cancel_selector.tga", false, 0, 0);
    CDraw::UnloadImage(kEditorCancelBase);
    return b;
}
