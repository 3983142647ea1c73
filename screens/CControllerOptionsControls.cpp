#include "screens/CControllerOptionsControls.h"

#include <SDL.h>

#include <cstdio>

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"

namespace {

const char* const kPageName = "baseControls.png";
const char* const kUnknown = "UNKNOWN";

// Box i of the left column (i < 8) or of the right one. Each column is a
// label (from page x 61 or 361) and its key box; the two stand together
// centred on the page.
int BoxX(int i) { return i < 8 ? 241 : 541; }
int BoxY(int i) { return 132 + 34 * (i % 8); }

struct NamedKey {
    int key;
    const char* name;
};

// The keys named one by one; digits, letters, keypad digits and function
// keys are named by rule in GetKeyName. Names are written out in full where
// they fit the caption's box; the parentheses, whose right one would not,
// stay a pair of short names.
const NamedKey kNamedKeys[] = {
    {8, "Backspace"},        {9, "Tab"},
    {12, "Clear"},           {13, "Return"},
    {19, "Pause"},           {27, "Escape"},
    {32, "Spacebar"},        {33, "Exclamation"},
    {34, "Double Quote"},    {35, "Hash"},
    {36, "Dollar"},          {38, "Ampersand"},
    {39, "Quote"},           {40, "Left Paren"},
    {41, "Right Paren"},     {42, "Asterisk"},
    {43, "Plus"},            {44, "Comma"},
    {45, "Minus"},           {46, "Period"},
    {47, "Slash"},           {58, "Colon"},
    {59, "Semicolon"},       {60, "Less"},
    {61, "Equals"},          {62, "Greater"},
    {63, "Question"},        {64, "At"},
    {91, "Left Bracket"},    {92, "Backslash"},
    {93, "Right Bracket"},   {94, "Caret"},
    {95, "Underscore"},      {96, "Backquote"},
    {127, "Delete"},         {266, "Numpad Period"},
    {267, "Numpad Divide"},  {268, "Numpad Multiply"},
    {269, "Numpad Minus"},   {270, "Numpad Plus"},
    {271, "Numpad Enter"},   {272, "Numpad Equals"},
    {273, "Up Arrow"},       {274, "Down Arrow"},
    {275, "Right Arrow"},    {276, "Left Arrow"},
    {277, "Insert"},         {278, "Home"},
    {279, "End"},            {280, "Page Up"},
    {281, "Page Down"},      {300, "Num Lock"},
    {301, "Caps Lock"},      {302, "Scroll Lock"},
    {303, "Right Shift"},    {304, "Left Shift"},
    {305, "Right CTRL"},     {306, "Left CTRL"},
    {307, "Right ALT"},      {308, "Left ALT"},
    {309, "Right Meta"},     {310, "Left Meta"},
    {311, "Left Windows"},   {312, "Right Windows"},
    {313, "Mode"},           {314, "Compose"},
    {315, "Help"},           {316, "Print"},
    {317, "SysReq"},         {318, "Break"},
    {319, "Menu"},           {320, "Power"},
    {321, "Euro"},           {322, "Undo"},
};

struct BottomButton {
    int id, y;
    const char* text;
};
const BottomButton kButtonPlaces[CControllerOptionsControls::kButtons] = {
    {CControllerOptionsControls::BUTTON_DEFAULTS, 445, "p2d_button_defaulttext.png"},
    {CControllerOptionsControls::BUTTON_SAVE, 475, "p2d_button_savetext.png"},
    {CControllerOptionsControls::BUTTON_CANCEL, 505, "p2d_button_canceltext.png"},
};

}  // namespace

const char* CControllerOptionsControls::GetKeyName(int key) {
    static char rule[12];
    if (key >= 48 && key <= 57) {
        snprintf(rule, sizeof rule, "%c", '0' + (key - 48));
        return rule;
    }
    if (key >= 97 && key <= 122) {
        snprintf(rule, sizeof rule, "%c", 'A' + (key - 97));
        return rule;
    }
    if (key >= 256 && key <= 265) {
        snprintf(rule, sizeof rule, "Numpad %i", key - 256);
        return rule;
    }
    if (key >= 282 && key <= 296) {
        snprintf(rule, sizeof rule, "F%i", key - 281);
        return rule;
    }
    for (const NamedKey& k : kNamedKeys)
        if (k.key == key) return k.name;
    return kUnknown;
}

CControllerOptionsControls::CControllerOptionsControls()
    : dimmer(nullptr), background(nullptr), cursor(nullptr), selectedBox(-1), blinkCounter(kBlinkStart), built(0) {
    id = CONTROLLER_CONTROLS;
    for (int32_t& k : workingKeys) k = 0;
    CreateSprites();
}

CControllerOptionsControls::~CControllerOptionsControls() {
    DebugLog(DBG_DESTRUCT, "CControllerOptionsControls:  Destroying CControllerOptionsControls...\n");
    UnloadSprites();
}

void CControllerOptionsControls::CreateSprites() {
    if (built) return;
    dimmer = MakeDimmer(LAYER_CL0, "Controls Controller (CONTROLS_LSPRITE_DIMMER)");
    const int page = CopyPage(kPageName);
    BlitString(2500, page, CDraw::GetWidth(page), 40, 2, 0, 35);
    for (int i = 0; i < kBoxes; ++i) BlitString(2501 + i, page, 200, 20, 0, i < 8 ? 61 : 361, 115 + 34 * (i % 8));
    background = MakePageSprite(page, LAYER_CL1, "Controls Controller (CONTROLS_LSPRITE_BACKGROUND)");
    cursor = MakeGuiSprite("optionscontrolscursor.png", LAYER_CL_TEXT, "Controls Controller (CONTROLS_LSPRITE_CURSOR)",
                           0, 0, false);
    for (int i = 0; i < kBoxes; ++i)
        boxes[i] = std::make_unique<CGuiButton>(BoxX(i), BoxY(i), i, this, "optionscontrolsinputbase.png",
                                                "optionscontrolsinputshadow.png", "optionscontrolsinputrollover.png",
                                                nullptr, false, 2, 2);
    // Return with nothing in focus saves, as OK would.
    for (int i = 0; i < kButtons; ++i) {
        const BottomButton& b = kButtonPlaces[i];
        buttons[i] = MakeParchmentButton(kFootButtonX, b.y, b.id, b.text, b.id == BUTTON_SAVE);
    }
    CProfile* p = GetProfile();
    for (int i = 0; i < kBoxes; ++i) {
        workingKeys[i] = p ? p->GetKeyBinding(i) : 0;
        DrawCaption(i);
    }
    built = 1;
}

void CControllerOptionsControls::UnloadSprites() {
    ShowHourglass(true);
    if (!built) return;
    ReleaseAll(dimmer, background, cursor, buttons, boxes);
    CDraw::UnloadImage(kPageName);
    built = 0;
}

// A box's caption is a picture of its own, "controls_button<i>_text.png",
// rendered from the key's name; the box's text sprite holds the only
// reference, so dropping the caption frees the picture.
void CControllerOptionsControls::DrawCaption(int box) {
    DropCaption(box);
    char name[40];
    snprintf(name, sizeof name, "controls_button%i_text.png", box);
    SDL_Surface* text = FontRenderString(kCaptionWidth, kCaptionHeight, 3, 112, GetKeyName(workingKeys[box]));
    if (CDraw::LoadSurface(text, name) < 0) return;
    boxes[box]->SetText(name, 9, 3, 0, 0, 2, 2);
    CDraw::UnloadImage(name);
}

void CControllerOptionsControls::DropCaption(int box) { boxes[box]->SetText(nullptr, 0, 0, 0, 0, 0, 0); }

void CControllerOptionsControls::GUICallback(int index, int, bool) {
    if (!built) return;
    // The box that was waiting shows its key again.
    if (selectedBox >= 0) DrawCaption(selectedBox);
    if (index >= 0 && index < kBoxes) {
        selectedBox = index;
        DropCaption(index);
        return;
    }
    selectedBox = -1;
    CProfile* p = GetProfile();
    switch (index) {
    case BUTTON_DEFAULTS:
        if (!p) break;
        p->SetDefaultKeys();
        for (int i = 0; i < kBoxes; ++i) {
            workingKeys[i] = p->GetKeyBinding(i);
            DrawCaption(i);
        }
        break;
    case BUTTON_SAVE:
        if (p)
            for (int i = 0; i < kBoxes; ++i) p->SetKeyBinding(i, workingKeys[i]);
        result = kCloseBack;
        break;
    case BUTTON_CANCEL: result = kCloseBack; break;
    default: break;
    }
}

void CControllerOptionsControls::InputKey(bool released, int key) {
    if (selectedBox < 0 || released) {
        InputMenuKey(released, key);
        return;
    }
    HideMousePointer(kHideUntilNextUpdate);
    // Any key binds, Escape, Return and Tab included.
    const int s = selectedBox;
    selectedBox = -1;
    workingKeys[s] = key;
    DrawCaption(s);
    for (int i = 0; i < kBoxes; ++i) {
        if (i == s || workingKeys[i] != key) continue;
        workingKeys[i] = 0;
        DrawCaption(i);
    }
}

void CControllerOptionsControls::Pump() {
    CControllerPage::Pump();
    if (!active || !built) return;
    if (selectedBox < 0) {
        cursor->Hide();
        return;
    }
    const int s = selectedBox;
    cursor->SetPosition(s < 8 ? 258 : 558, s < 8 ? 137 + 34 * s : 34 * s - 135, false);
    // 7 frames shown, 10 hidden.
    --blinkCounter;
    if (blinkCounter >= 1)
        cursor->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    else
        cursor->Hide();
    if (blinkCounter < -8) blinkCounter = kBlinkStart;
}

CGuiButton* CControllerOptionsControls::GetButton(int widgetId) const {
    const int i = widgetId - BUTTON_DEFAULTS;
    return i >= 0 && i < kButtons ? buttons[i].get() : nullptr;
}
