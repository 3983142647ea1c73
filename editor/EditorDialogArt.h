// The look the editor's dialogs share (the tutorial-text, load and save
// dialogs): a wooden dialog picture composed of a shadow, a face and the
// okay and cancel plates with their captions, and okay and cancel buttons
// whose look is painted into that picture (their own bases are blank). The
// two plates are of one width, side by side under the middle of the face.
#pragma once

#include <memory>

class CController;
class CGuiButton;

constexpr const char* kEditorButtonBase = "editor_button_base.png";
constexpr const char* kEditorArrowBase = "editor_button_arrowbase.png";
// A plate ("button_cancel.tga", for both buttons) and the gap between the two.
constexpr int kEditorButtonW = 106, kEditorButtonH = 33, kEditorButtonGap = 16;

// A composed dialog picture and where its plates lie in it.
struct EditorDialogPicture {
    int image = -1;
    int okayX = 0, cancelX = 0, buttonsY = 0;
};

// Takes one reference to a blank picture of that name, making it when it is
// not in the image store; CDraw::UnloadImage gives it back.
void AcquireBlankImage(const char* name, int width, int height);
// Registers name as a copy of the shadow with the face at (faceX, faceY) and
// the okay and cancel plates, their tops at buttonsY, centred under the
// face; their captions one pixel lower.
EditorDialogPicture ComposeEditorDialog(const char* name, const char* shadow, const char* face, int faceX, int faceY,
                                        int buttonsY);
// The okay and cancel buttons over the plates of that picture shown at (x, y)
// (blank bases, the yellow selector for rollover and click).
void MakeEditorButtons(const EditorDialogPicture& picture, int x, int y, CController* owner, int okayId, int cancelId,
                       bool okayIsDefault, std::unique_ptr<CGuiButton>* okay, std::unique_ptr<CGuiButton>* cancel);
