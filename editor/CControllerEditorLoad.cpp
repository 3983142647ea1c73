#include "editor/CControllerEditorLoad.h"

#include "editor/EditorDialogArt.h"
#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiListbox.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"
#include "world/CLevel.h"

namespace {
// The text the level manager marks a damaged level file with.
constexpr int kDamagedMarkId = 503;
constexpr int kTitle = 1804;

// The dialog's picture centred on the screen and, in it, the face (624 x 304
// at (6, 6)): the title along its top, the list under it, the arrow buttons
// over the plates the resource builder draws right of the list
// (loadbrowser_main.jpg), and okay and cancel as far below the list as above
// the face's bottom.
constexpr int kDialogX = 80, kDialogY = 140;
constexpr int kFaceX = 6, kFaceY = 6, kFaceW = 624, kFaceBottom = kFaceY + 304;
constexpr int kListX = kFaceX + 21, kListY = kFaceY + 52, kListBottom = kListY + 195;
constexpr int kArrowX = kFaceX + kFaceW - 22 - 38, kArrowY = kFaceY + 95, kArrowPitch = 62;
constexpr int kButtonsY = kListBottom + (kFaceBottom - kListBottom - kEditorButtonH) / 2;
}  // namespace

CControllerEditorLoad::CControllerEditorLoad()
    : sprites{},
      buttons{},
      list(nullptr),
      spritesBuilt(0) {
    id = CONTROLLER_EDITOR_LOAD;
    value = 0;
    menuKeys.SetBack(CMenuKeys::Back::kWidget, BUTTON_CANCEL);
    LoadSprites();
    FillList();
    list->WarpMouseTo();
}

CControllerEditorLoad::~CControllerEditorLoad() {
    DebugLog(DBG_DESTRUCT, "CControllerEditorLoad:  Destroying CControllerEditorLoad...\n");
    if (!spritesBuilt) return;
    ShowHourglass(true);
    ReleaseAll(sprites, buttons);
    menuKeys.SetList(nullptr);
    list.reset();
    CDraw::UnloadImage(kBaseImage);
}

CGuiButton* CControllerEditorLoad::GetButton(int widgetId) const {
    return widgetId >= 0 && widgetId < 4 ? buttons[widgetId].get() : nullptr;
}

void CControllerEditorLoad::LoadSprites() {
    sprites[0] =
        MakeGuiSprite("dimmer.png", LAYER_CL0, "Editor Load Controller (EDITORLOAD_LSPRITE_DIMMER)", 0, 0, true);
    const EditorDialogPicture picture =
        ComposeEditorDialog(kBaseImage, "loadbrowser_border.tga", "loadbrowser_main.jpg", kFaceX, kFaceY, kButtonsY);
    BlitString(kTitle, picture.image, kFaceW - 40, 36, 3, kFaceX + 20, kFaceY + 8);
    sprites[1] = MakeGuiSprite(CDraw::ReacquireImage(picture.image), LAYER_CL1,
                               "Editor Load Controller (EDITORLOAD_LSPRITE_BACKGROUND)", kDialogX, kDialogY, true);
    AcquireBlankImage(kEditorArrowBase, 40, 48);
    for (int i = 0; i < 2; ++i) {
        const int widgetId = i == 0 ? BUTTON_UP : BUTTON_DOWN;
        buttons[widgetId] = std::make_unique<CGuiButton>(kDialogX + kArrowX, kDialogY + kArrowY + kArrowPitch * i,
                                                         widgetId, this, kEditorArrowBase, nullptr,
                                                         "browser_selector.tga", "browser_selector.tga", false, 0, 0);
    }
    CDraw::UnloadImage(kEditorArrowBase);  // the buttons hold it now
    MakeEditorButtons(picture, kDialogX, kDialogY, this, BUTTON_OKAY, BUTTON_CANCEL, true, &buttons[BUTTON_OKAY],
                      &buttons[BUTTON_CANCEL]);
    list = std::make_unique<CGuiListbox>(kDialogX + kListX, kDialogY + kListY, LIST, this, 529, 195, 10, 19,
                                         "loadbrowser_listbox.png", "browserhighlighter_wide.tga", 2, 2, 5, 1);
    // A long name is cut in its middle: a level and its "(recovered)" copy
    // share their beginning and differ at their end.
    list->AddColumn(175, FontFit::kCutMiddle);
    list->AddColumn(350);
    menuKeys.SetList(list.get());
    spritesBuilt = 1;
}

void CControllerEditorLoad::FillList() {
    fileNames = CLevel::ListFileNames();
    for (size_t i = 0; i < fileNames.size(); ++i) {
        // A file the game cannot read shows the level manager's mark for it,
        // not what its damaged bytes would spell as a heading.
        CLevel level;
        const bool readable = level.Load(fileNames[i].c_str());
        list->AddRow(static_cast<int>(i),
                     {fileNames[i], readable ? level.GetHeadingText() : FontGetEntry(kDamagedMarkId).text.Utf8()});
    }
    list->Refresh();
}

std::string CControllerEditorLoad::GetFileName() const {
    if (value == 0 || fileNames.empty()) return std::string();
    const int row = list->GetSelectedRowId();
    return row >= 0 && row < static_cast<int>(fileNames.size()) ? fileNames[row] : std::string();
}

void CControllerEditorLoad::GUICallback(int index, int, bool dclick) {
    switch (index) {
    case BUTTON_CANCEL:
        value = 0;
        result = kCloseBack;
        break;
    case BUTTON_UP:
        value = 0;
        list->MoveSelectionUp(false, false);
        break;
    case BUTTON_DOWN:
        value = 0;
        list->MoveSelectionDown(false, false);
        break;
    case BUTTON_OKAY:
        value = fileNames.empty() ? 0 : 1;
        result = kCloseBack;
        break;
    case LIST:
        if (dclick) {
            value = 1;
            result = kCloseBack;
        } else {
            value = 0;
        }
        break;
    default: value = 0; break;
    }
}

void CControllerEditorLoad::InputKey(bool released, int key) { InputMenuKey(released, key); }

void CControllerEditorLoad::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
}

void CControllerEditorLoad::InputMouseClick(bool released, bool left, bool, bool wheelUp, bool wheelDown) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1) PlayInterfaceSound(GetSoundClickScreen());
    if (wheelUp) list->MoveSelectionUp(false, false);
    if (wheelDown) list->MoveSelectionDown(false, false);
}

void CControllerEditorLoad::Pump() {
    PollInput();
    if (active) CGuiButtonBase::UpdateAll();
}
