#include "editor/CControllerEditorHelp.h"

#include <string>

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"
#include "players/CProfile.h"

namespace {

constexpr int kPageX = 57;
// The pointed element's picture, below the grid's fourth column; its name,
// explanation and the page's hint in a column right of it, and the OK
// button centred under the hint's line.
constexpr int kPictureX = CControllerEditorHelp::kGridX + 226;
constexpr int kPictureY = 415;
constexpr int kTextX = CControllerEditorHelp::kGridX + 293;
constexpr int kOkayX = CControllerEditorHelp::kGridX + 387;

// One picture: its frames (a numbered series from..to, or one image when
// from is -1), frame delay, origin and layer.
struct Picture {
    const char* name;
    const char* prefix;
    int from, to;
    const char* suffix;
    int delay;
    int originX, originY;
    SpriteLayer layer;
};

enum PictureId {
    P_HALO, P_FROSTGUN, P_HEATGUN, P_WHISTLE, P_GATE_BACK, P_GATE_FRONT, P_GATEY, P_GATER, P_GRASS, P_LADDER,
    P_TELEPORT, P_BRIDGE, P_EMP, P_BUTTONB, P_BUTTONY, P_BUTTONR, P_SAND, P_TUTORIAL, P_CRATE, P_BARREL, P_MAGNET,
    P_TELEPORT_BACK, P_TELEPORT_FRONTB, P_TELEPORT_PORTALB, P_TELEPORT_FRONTY, P_TELEPORT_PORTALY, P_TELEPORT_FRONTR,
    P_TELEPORT_PORTALR, P_ICE, P_FREEZE, P_WCRATE, P_WBARREL, P_LMAGNET, P_TRAMP_BACK, P_TRAMP_FRONT, P_TRAMP_CANVAS,
    P_ENTER, P_EXIT, P_EXIT_LIGHTS, P_BRIDGE_TERRAIN, P_HEAT, P_MCRATE, P_MBARREL, P_RMAGNET, P_BOT,
};

// Back pictures on LAYER_CL2 (in this order when they share it), what
// stands in front of them on LAYER_CL3.
const Picture kPictures[CControllerEditorHelp::kPictureCount] = {
    {"PHALO", "poweruphalo0.tga", -1, -1, "", 0, 20, 19, LAYER_CL2},
    {"PFROSTGUN", "powerupfrostgun", 0, 17, ".tga", 2, 20, 19, LAYER_CL3},
    {"PHEATGUN", "powerupheatgun", 0, 17, ".png", 2, 20, 19, LAYER_CL3},
    {"PWHISTLE", "powerupwhistle", 0, 17, ".tga", 2, 20, 19, LAYER_CL3},
    {"GATE_BACK", "gatebackclose7.tga", -1, -1, "", 0, 15, 16, LAYER_CL2},
    {"GATE_FRONT", "gatefrontclose7.tga", -1, -1, "", 0, 22, 12, LAYER_CL3},
    {"GATEY", "gatefrontcloseyellow0.tga", -1, -1, "", 0, 22, 12, LAYER_CL3},
    {"GATER", "gatefrontclosered0.tga", -1, -1, "", 0, 22, 12, LAYER_CL3},
    {"GRASS", "grass2.png", -1, -1, "", 0, 24, 25, LAYER_CL2},
    {"LADDER", "ladderiso.tga", -1, -1, "", 0, 7, 13, LAYER_CL2},
    {"PTELEPORT", "powerupteleport", 0, 27, ".png", 2, 20, 19, LAYER_CL3},
    {"PBRIDGE", "powerupbridge", 0, 27, ".png", 2, 20, 19, LAYER_CL3},
    {"PEMP", "powerupemp", 0, 17, ".tga", 2, 20, 19, LAYER_CL3},
    {"BUTTONB", "buttonblue", 0, 1, ".tga", 12, 11, -9, LAYER_CL2},
    {"BUTTONY", "buttonyellow", 0, 1, ".tga", 12, 11, -9, LAYER_CL2},
    {"BUTTONR", "buttonred", 0, 1, ".tga", 12, 11, -9, LAYER_CL2},
    {"SAND", "sand2.png", -1, -1, "", 0, 24, 23, LAYER_CL2},
    {"TUTORIAL", "qmarkrotate", 0, 23, ".tga", 2, 15, 17, LAYER_CL2},
    {"PCRATE", "powerupcrate", 0, 27, ".tga", 2, 20, 19, LAYER_CL3},
    {"PBARREL", "powerupbarrel", 0, 23, ".tga", 2, 20, 19, LAYER_CL3},
    {"PMAGNET", "powerupmagnet", 0, 23, ".tga", 2, 20, 19, LAYER_CL3},
    {"TELEPORT_BACK", "teleport_frameback.png", -1, -1, "", 0, -17, 45, LAYER_CL2},
    {"TELEPORT_FRONTB", "teleport_frameblue", 0, 4, ".png", 3, 6, 47, LAYER_CL3},
    {"TELEPORT_PORTALB", "teleport_spiralblue_idle", 0, 39, ".png", 2, -1, 43, LAYER_CL2},
    {"TELEPORT_FRONTY", "teleport_frameyellow", 0, 4, ".png", 3, 6, 47, LAYER_CL3},
    {"TELEPORT_PORTALY", "teleport_spiralyellow_idle", 0, 39, ".png", 2, -1, 43, LAYER_CL2},
    {"TELEPORT_FRONTR", "teleport_framered", 0, 4, ".png", 3, 6, 47, LAYER_CL3},
    {"TELEPORT_PORTALR", "teleport_spiralred_idle", 0, 39, ".png", 2, -1, 43, LAYER_CL2},
    {"ICE", "ice1.png", -1, -1, "", 0, 17, 13, LAYER_CL2},
    {"FREEZE", "frostballleft", 0, 11, ".tga", 2, 10, 2, LAYER_CL2},
    {"WCRATE", "cratestill0.tga", -1, -1, "", 0, 23, 13, LAYER_CL2},
    {"WBARREL", "barrel", 0, 7, ".tga", 3, 19, 15, LAYER_CL2},
    {"LMAGNET", "magnetleftstill0.tga", -1, -1, "", 0, 16, 12, LAYER_CL2},
    // The trampoline's three parts with the origins they have in play, so
    // that they stand together in one cell as a trampoline does.
    {"TRAMP_BACK", "trampolineback0.tga", -1, -1, "", 0, -9, 17, LAYER_CL2},
    {"TRAMP_FRONT", "trampolinefront0.tga", -1, -1, "", 0, 11, 17, LAYER_CL3},
    {"TRAMP_CANVAS", "trampoline0.tga", -1, -1, "", 0, 3, 15, LAYER_CL3},
    {"ENTER", "tubeentrance0.png", -1, -1, "", 0, 16, 39, LAYER_CL2},
    {"EXIT", "tubeexit0.png", -1, -1, "", 0, 16, 39, LAYER_CL2},
    {"EXIT_LIGHTS", "tubeexitlights0.png", -1, -1, "", 0, 12, -16, LAYER_CL3},
    {"BRIDGE", "bridgeA0_trimmed.png", -1, -1, "", 0, 19, 15, LAYER_CL2},
    {"HEAT", "fireballleft", 0, 11, ".png", 2, 10, 2, LAYER_CL2},
    {"MCRATE", "metalcratestill0.tga", -1, -1, "", 0, 23, 13, LAYER_CL2},
    {"MBARREL", "metalbarrel", 0, 7, ".png", 3, 19, 15, LAYER_CL2},
    {"RMAGNET", "magnetrightstill0.tga", -1, -1, "", 0, 18, 12, LAYER_CL2},
    {"BOT", "botfall", 0, 18, ".png", 2, 22, 16, LAYER_CL2},
};

// The pictures of each entry, each list ended by -1.
const int kEntryPictures[CControllerEditorHelp::kEntryCount][4] = {
    {P_HALO, P_FROSTGUN, -1},
    {P_HALO, P_HEATGUN, -1},
    {P_HALO, P_WHISTLE, -1},
    {P_GATE_BACK, P_GATE_FRONT, -1},
    {P_GATE_BACK, P_GATE_FRONT, P_GATEY, -1},
    {P_GATE_BACK, P_GATE_FRONT, P_GATER, -1},
    {P_GRASS, -1},
    {P_LADDER, -1},
    {P_HALO, P_TELEPORT, -1},
    {P_HALO, P_BRIDGE, -1},
    {P_HALO, P_EMP, -1},
    {P_BUTTONB, -1},
    {P_BUTTONY, -1},
    {P_BUTTONR, -1},
    {P_SAND, -1},
    {P_TUTORIAL, -1},
    {P_HALO, P_CRATE, -1},
    {P_HALO, P_BARREL, -1},
    {P_HALO, P_MAGNET, -1},
    {P_TELEPORT_BACK, P_TELEPORT_FRONTB, P_TELEPORT_PORTALB, -1},
    {P_TELEPORT_BACK, P_TELEPORT_FRONTY, P_TELEPORT_PORTALY, -1},
    {P_TELEPORT_BACK, P_TELEPORT_FRONTR, P_TELEPORT_PORTALR, -1},
    {P_ICE, -1},
    {P_FREEZE, -1},
    {P_WCRATE, -1},
    {P_WBARREL, -1},
    {P_LMAGNET, -1},
    {P_TRAMP_BACK, P_TRAMP_FRONT, P_TRAMP_CANVAS, -1},
    {P_ENTER, -1},
    {P_EXIT, P_EXIT_LIGHTS, -1},
    {P_BRIDGE_TERRAIN, -1},
    {P_HEAT, -1},
    {P_MCRATE, -1},
    {P_MBARREL, -1},
    {P_RMAGNET, -1},
    {P_BOT, -1},
    // The commands: a name and an explanation, no picture.
    {-1}, {-1}, {-1}, {-1}, {-1}, {-1}, {-1}, {-1}, {-1},
};

const char* const kDebugPrefix = "Editor Help Controller (";

std::string DebugName(const char* slot) { return std::string(kDebugPrefix) + slot + ")"; }

}  // namespace

CControllerEditorHelp::CControllerEditorHelp()
    : sprites{},
      pictures{},
      okay(nullptr),
      spritesBuilt(0),
      shownEntry(-1),
      newEntry(-1),
      pointerColumn(-1),
      pointerRow(-1) {
    id = CONTROLLER_EDITOR_HELP;
    menuKeys.SetBack(CMenuKeys::Back::kCloses);
    DebugLog(DBG_CONSTRUCT, "CControllerEditorHelp:  Preloading sprites...\n");
    LoadSprites();
    UpdateSelection();
    HideMousePointer(kHideUntilNextUpdate);
}

CControllerEditorHelp::~CControllerEditorHelp() {
    DebugLog(DBG_DESTRUCT, "CControllerEditorHelp:  Destroying CControllerEditorHelp...\n");
    if (!spritesBuilt) return;
    ShowHourglass(true);
    ReleaseAll(sprites, pictures, okay);
    CDraw::UnloadImage(kBaseImage);
}

void CControllerEditorHelp::LoadSprites() {
    if (spritesBuilt) return;
    sprites[SPRITE_DIMMER] =
        MakeGuiSprite("dimmer.png", LAYER_CL0, DebugName("EDITORHELP_LSPRITE_DIMMER").c_str(), 0, 0, true);
    const int page = CDraw::CopyImage("parchment.png", kBaseImage, 0);
    // The sections, in grid columns 0, 3 and 6.
    const int left = kGridX - kPageX;
    CDraw::DrawImageOnto("help_powerups.jpg", page, left, 95);
    CDraw::DrawImageOnto("help_objects.jpg", page, left, 248);
    CDraw::DrawImageOnto("help_control.jpg", page, left, 350);
    CDraw::DrawImageOnto("help_devices2.jpg", page, left + 205, 95);
    CDraw::DrawImageOnto("help_bots.jpg", page, left + 205, 299);
    CDraw::DrawImageOnto("help_terrain2.jpg", page, left + 409, 95);
    BlitString(1300, page, CDraw::GetWidth(page), 40, 2, 0, 35);
    BlitString(1301, page, 300, 40, 0, kTextX - kPageX, 345);
    // The sprite takes its own reference; the copy's is released at the end.
    sprites[SPRITE_BACKGROUND] = MakeGuiSprite(CDraw::ReacquireImage(page), LAYER_CL1,
                                               DebugName("EDITORHELP_LSPRITE_BACKGROUND").c_str(), kPageX, 23, true);
    sprites[SPRITE_SELECTOR] =
        MakeGuiSprite("toolboxselector.png", LAYER_CL2, DebugName("EDITORHELP_LSPRITE_SELECTOR").c_str(), 0, 0, false);
    sprites[SPRITE_NAME] =
        MakeGuiSprite(-1, LAYER_CL2, DebugName("EDITORHELP_LSPRITE_NAME").c_str(), kTextX, 405, false);
    sprites[SPRITE_INFO] =
        MakeGuiSprite(-1, LAYER_CL2, DebugName("EDITORHELP_LSPRITE_INFO").c_str(), kTextX, 435, false);
    for (int i = 0; i < kPictureCount; ++i) {
        const Picture& p = kPictures[i];
        pictures[i] = std::make_unique<CSprite>(p.originX, p.originY, p.layer, p.delay, false, 1, 1);
        CSprite* s = pictures[i].get();
        s->SetName(DebugName((std::string("EDITORHELP_ISPRITE_") + p.name).c_str()).c_str());
        if (p.from < 0)
            s->AddFrame(p.prefix);
        else
            s->AddFrames(p.prefix, p.from, p.to, p.suffix, 1);
        s->SetPosition(kPictureX, kPictureY, false);
        s->SetLooping(true);
        s->Hide();
    }
    okay = std::make_unique<CGuiButton>(kOkayX, 490, 0, this, "confirmation_buttonokaybase.png",
                                        "confirmation_buttonokayshadow.png", "confirmation_buttonokayroll.png", nullptr,
                                        true, 0, 0);
    spritesBuilt = 1;
}

int CControllerEditorHelp::EntryAt(int column, int row) {
    if (column < 0 || row < 0) return -1;
    if (row <= 3 && column <= 7) return row * 8 + column;
    if (row == 4 && column <= 3) return 32 + column;
    if (row >= 5 && row <= 7 && column <= 2) return 36 + (row - 5) * 3 + column;
    return -1;
}

const int* CControllerEditorHelp::PicturesOf(int entry) {
    static const int kNone[] = {-1};
    return entry >= 0 && entry < kEntryCount ? kEntryPictures[entry] : kNone;
}

void CControllerEditorHelp::ShowEntryPictures(int entry, bool show) {
    for (const int* p = PicturesOf(entry); *p >= 0; ++p) {
        CSprite* s = pictures[*p].get();
        if (!show) {
            s->Hide();
            continue;
        }
        s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        s->Rewind();
        s->Play(true);
    }
}

void CControllerEditorHelp::UpdateSelection() {
    newEntry = EntryAt(pointerColumn, pointerRow);
    if (newEntry == shownEntry) return;
    ShowEntryPictures(shownEntry, false);
    ShowEntryPictures(newEntry, true);
    if (newEntry < 0) {
        sprites[SPRITE_NAME]->Hide();
        sprites[SPRITE_INFO]->Hide();
        sprites[SPRITE_SELECTOR]->Hide();
    } else {
        sprites[SPRITE_NAME]->AddTextFrame(1200 + newEntry, 300, 100, 0, "editorHelpName.png", true);
        sprites[SPRITE_INFO]->AddTextFrame(1250 + newEntry, 300, 100, 0, "editorHelpInfo.png", true);
        sprites[SPRITE_NAME]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        sprites[SPRITE_INFO]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        // The selector's picture is a cell's size: on the cell, it frames it.
        sprites[SPRITE_SELECTOR]->SetPosition(kGridX + pointerColumn * kCellW, kGridY + pointerRow * kCellH, false);
        sprites[SPRITE_SELECTOR]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    shownEntry = newEntry;
}

void CControllerEditorHelp::GUICallback(int index, int, bool) {
    if (index == 0) result = kCloseBack;
}

void CControllerEditorHelp::InputKey(bool released, int key) {
    if (!released && key == KEY_ESCAPE && GetProfile()) GetProfile()->Save();
    InputMenuKey(released, key);
}

void CControllerEditorHelp::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
    if (x < kGridX + 1 || y < kGridY + 1) {
        pointerColumn = pointerRow = -1;
    } else {
        pointerColumn = (x - kGridX) / kCellW;
        pointerRow = (y - kGridY) / kCellH;
    }
}

void CControllerEditorHelp::InputMouseClick(bool released, bool left, bool, bool, bool) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1 && EntryAt(pointerColumn, pointerRow) < 0)
        PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerEditorHelp::Pump() {
    PollInput();
    if (!active) return;
    UpdateSelection();
    CGuiButtonBase::UpdateAll();
}
