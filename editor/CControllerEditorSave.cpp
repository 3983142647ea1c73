#include "editor/CControllerEditorSave.h"

#include <algorithm>
#include <cstring>

#include "editor/EditorDialogArt.h"
#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiTextbox.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"
#include "gui/SaveFailureNotice.h"
#include "platform/Platform.h"
#include "world/CLevel.h"

namespace {
// Message texts: the dialog's title, and the bodies.
constexpr int kTitleSave = 2201;
constexpr int kTitleNotSaved = 2220;
constexpr int kBodyNoName = 2301;
constexpr int kBodyNoHeading = 2302;
constexpr int kBodyReplace = 2303;
constexpr int kBodyWriteFailed = 2338;
constexpr int kBodyBadName = 2339;
constexpr int kBodyFolderUnusable = 2362;
constexpr int kBodyNameTooLong = 2363;

// Where the dialog's picture lies and, in it, the face (420 x 249 at (6, 6)),
// the fields and the buttons. The heading field (330 wide) is centred on
// the face; the face's labels ("File name:", "Heading:", painted by the
// resource builder into savebox.jpg) start at kLabelX, its left edge; the
// name field stands right of its label. The buttons lie as far below the
// heading field as above the face's bottom.
constexpr int kDialogX = 190, kDialogY = 168;
constexpr int kFaceX = 6, kFaceY = 6, kFaceW = 420, kFaceBottom = kFaceY + 249;
constexpr int kHeadingW = 330;
constexpr int kLabelX = kFaceX + (kFaceW - kHeadingW) / 2;
constexpr int kNameX = kLabelX + 100, kNameY = 82;
constexpr int kHeadingY = 150, kHeadingBottom = kHeadingY + 36;
constexpr int kButtonsY = kHeadingBottom + (kFaceBottom - kHeadingBottom - kEditorButtonH) / 2;
}  // namespace

CControllerEditorSave::CControllerEditorSave(CLevel* level_)
    : sprites{},
      okay(nullptr),
      cancel(nullptr),
      nameBox(nullptr),
      headingBox(nullptr),
      spritesBuilt(0),
      askingOverwrite(0),
      overwriteConfirmed(0),
      level(level_),
      message(nullptr) {
    id = CONTROLLER_EDITOR_SAVE;
    value = 0;
    DebugLog(DBG_CONSTRUCT, "CControllerEditorSave:  Preloading sprites...\n");
    LoadSprites();
    HideMousePointer(kHideUntilNextUpdate);
    if (level) {
        nameBox->SetText(level->GetFileName());
        headingBox->SetText(level->GetHeadingText());
    }
    focus.Attach(nameBox.get(), headingBox.get(), okay.get(), cancel.get());
    // A level is saved under a file name with a heading.
    focus.SetNeeded(true, true);
    menuKeys.SetFocusRing(&focus);
    menuKeys.SetBack(CMenuKeys::Back::kWidget, BUTTON_CANCEL);
    focus.FocusBox(FOCUS_NAME);
}

CControllerEditorSave::~CControllerEditorSave() {
    DebugLog(DBG_DESTRUCT, "CControllerEditorSave:  Destroying CControllerEditorSave...\n");
    message.reset();
    if (!spritesBuilt) return;
    ShowHourglass(true);
    ReleaseAll(sprites, okay, cancel, nameBox, headingBox);
    CDraw::UnloadImage(kBaseImage);
}

void CControllerEditorSave::LoadSprites() {
    sprites[0] =
        MakeGuiSprite("dimmer.png", LAYER_CL0, "Editor Save Controller (EDITORSAVE_LSPRITE_DIMMER)", 0, 0, true);
    const EditorDialogPicture picture =
        ComposeEditorDialog(kBaseImage, "saveboxshadow.tga", "savebox.jpg", kFaceX, kFaceY, kButtonsY);
    BlitString(1802, picture.image, 390, 50, 3, 23, 21);
    sprites[1] = MakeGuiSprite(CDraw::ReacquireImage(picture.image), LAYER_CL1,
                               "Editor Save Controller (EDITORSAVE_LSPRITE_BACKGROUND)", kDialogX, kDialogY, true);
    MakeEditorButtons(picture, kDialogX, kDialogY, this, BUTTON_OKAY, BUTTON_CANCEL, true, &okay, &cancel);
    // A level loaded from a file with a longer name offers that whole name:
    // cut, it would name another level's file.
    const int nameLimit = std::max(kMaxFileName, level ? static_cast<int>(strlen(level->GetFileName())) : 0);
    nameBox = std::make_unique<CGuiTextbox>(nameLimit, kDialogX + kNameX, kDialogY + kNameY, 9, 11,
                                            "savebox_filename.jpg", "profilenternamecursor.png", false, false, false);
    headingBox = std::make_unique<CGuiTextbox>(kMaxHeading, kDialogX + kLabelX, kDialogY + kHeadingY, 9, 11,
                                               "savebox_heading.jpg", "profilenternamecursor.png", true, true, false);
    spritesBuilt = 1;
}

void CControllerEditorSave::HideDialog() {
    for (const auto& s : sprites) s->Hide();
    okay->Hide();
    cancel->Hide();
    nameBox->Hide();
    headingBox->Hide();
    repeat.Note(true, repeat.Key());
}

void CControllerEditorSave::ShowDialog() {
    for (const auto& s : sprites) s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    okay->Show();
    cancel->Show();
    nameBox->Show();
    headingBox->Show();
}

void CControllerEditorSave::OpenMessage(int titleId, int bodyId, bool question, const std::string& argument,
                                       int advice) {
    HideDialog();
    messageBody = bodyId;
    message = std::make_unique<CControllerMessage>(titleId, bodyId, question, argument.c_str(), nullptr, advice);
    OpenChild(message.get());
}

void CControllerEditorSave::Write(const std::string& name, const std::string& heading) {
    // A failed write leaves the level's name and heading as they were.
    if (level && level->SaveAs(name.c_str(), heading.c_str())) {
        value = 1;
        result = kCloseBack;
        return;
    }
    DebugLog(DBG_ERROR, "CControllerEditorSave::saveFilename()   Could not write level file '%s'\n", name.c_str());
    overwriteConfirmed = 0;
    ProgressMessage failure;
    failure.body = kBodyWriteFailed;
    if (level) failure = WriteFailure(*level);
    OpenMessage(kTitleNotSaved, failure.body, false, failure.text, failure.advice);
}

ProgressMessage CControllerEditorSave::WriteFailure(const CLevel& level) {
    ProgressMessage m;
    m.title = kTitleNotSaved;
    m.body = kBodyWriteFailed;
    m.text = AwayFileText(level.GetSaveTarget(), strerror(level.GetSaveError()));
    m.advice = AdviceFor(level.GetSaveError());
    return m;
}

int CControllerEditorSave::Refusal(const std::string& name, std::string* argument) {
    if (!CLevel::IsSavableName(name.c_str())) {
        *argument = std::to_string(CLevel::kSavableNameBytes);
        return kBodyNameTooLong;
    }
    // Else every name would seem to exist in it ("Replace it?"), or every
    // write fail for want of room.
    if (!PlatformIsDirectory(GetLevelsDir())) {
        *argument = GetLevelsDir();
        return kBodyFolderUnusable;
    }
    return 0;
}

void CControllerEditorSave::SaveFilename() {
    const std::string name = nameBox->GetText();
    const std::string heading = headingBox->GetText();
    std::string argument;
    int refusal = 0;
    if (name.empty()) {
        OpenMessage(kTitleSave, kBodyNoName, false);
    } else if (heading.empty()) {
        OpenMessage(kTitleSave, kBodyNoHeading, false);
    } else if (!CLevel::IsValidName(name.c_str())) {
        // A name that reaches out of the levels folder.
        OpenMessage(kTitleSave, kBodyBadName, false);
    } else if ((refusal = Refusal(name, &argument)) != 0) {
        OpenMessage(kTitleSave, refusal, false, argument);
    } else if (overwriteConfirmed) {
        DebugLog(DBG_DEBUG, "CControllerEditorSave::saveFilename()   Overwrite filename '%s'...\n", name.c_str());
        Write(name, heading);
    } else {
        DebugLog(DBG_DEBUG, "CControllerEditorSave::saveFilename()   Checking for existing filename '%s'...\n",
                 name.c_str());
        if (CLevel::IsFileMissing(name.c_str())) {
            DebugLog(DBG_DEBUG, "CControllerEditorSave::saveFilename()   Saving new filename '%s'...\n", name.c_str());
            Write(name, heading);
            return;
        }
        askingOverwrite = 1;
        OpenMessage(kTitleSave, kBodyReplace, true);
    }
}

void CControllerEditorSave::InputKey(bool released, int key) {
    repeat.Note(released, key);
    InputMenuKey(released, key);
}

void CControllerEditorSave::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
    focus.FollowPointer();
}

void CControllerEditorSave::InputMouseClick(bool released, bool left, bool, bool, bool) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1) PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerEditorSave::GUICallback(int index, int, bool) {
    if (index == BUTTON_CANCEL) {
        value = 0;
        result = kCloseBack;
    } else if (index == BUTTON_OKAY) {
        value = 1;
        SaveFilename();
    } else {
        value = 0;
    }
}

void CControllerEditorSave::Pump() {
    if (GetPreviousId() == CONTROLLER_MESSAGE && message) {
        SetPreviousId(id);
        if (askingOverwrite) {
            askingOverwrite = 0;
            overwriteConfirmed = message->IsConfirmed() ? 1 : 0;
        }
        message.reset();
        if (overwriteConfirmed)
            SaveFilename();
        else
            ShowDialog();
        HideMousePointer(kHideUntilNextUpdate);
        return;
    }
    PollInput();
    if (repeat.Step()) InputKey(false, repeat.Key());
    if (!active) return;
    CGuiButtonBase::UpdateAll();
    focus.Blink();
}
