// The look the editor's dialogs share (the tutorial-text, load and save
// dialogs): a wooden dialog picture composed of a shadow, a face and the
// okay and cancel plates with their captions, and okay and cancel buttons
// whose look is painted into that picture (their own bases are blank).
#pragma once

class CController;
class CGuiButton;

constexpr const char* kEditorOkayBase = "editor_button_okbase.png";
constexpr const char* kEditorCancelBase = "editor_button_cancelbase.png";
constexpr const char* kEditorArrowBase = "editor_button_arrowbase.png";

// Takes one reference to a blank picture of that name, making it when it is
// not in the image store; CDraw::UnloadImage gives it back.
void AcquireBlankImage(const char* name, int width, int height);
// Registers name as a copy of the shadow with the face at (faceX, faceY),
// "button_ok.tga" at (okayX, okayY) and "button_cancel.tga" at (cancelX,
// cancelY), their captions one pixel lower. Returns the image id.
int ComposeEditorDialog(const char* name, const char* shadow, const char* face, int faceX, int faceY, int okayX,
                        int okayY, int cancelX, int cancelY);
// The okay and cancel buttons over those plates (blank bases, the yellow
// selector for rollover and click), made with their blank bases.
CGuiButton* MakeEditorOkayButton(int x, int y, int id, CController* owner, bool isDefault);
CGuiButton* MakeEditorCancelButton(int x, int y, int id, CController* owner);
