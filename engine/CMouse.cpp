#include "engine/CMouse.h"

#include <SDL.h>

#include "engine/CInput.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/Log.h"

namespace {

CSprite* g_arrow = nullptr;
CSprite* g_hourglass = nullptr;
int g_hideCount = kHideUntilNextUpdate;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

CSprite* MakePointer(const char* name, const char* image) {
    CSprite* s = new CSprite(LAYER_MOUSE, 0, false);
    s->SetName(name);
    s->AddFrame(image);
    return s;
}

}  // namespace

CMouse::CMouse() {
    g_hideCount = kHideUntilNextUpdate;
    g_arrow = MakePointer("Global Mouse Pointer", "mousepointer.tga");
    g_hourglass = MakePointer("Global Hourglass Pointer", "hourglass.tga");
}

CMouse::~CMouse() {
    delete g_arrow;
    g_arrow = nullptr;
    delete g_hourglass;
    g_hourglass = nullptr;
}

CSprite* CMouse::GetArrow() { return g_arrow; }
CSprite* CMouse::GetHourglass() { return g_hourglass; }
int CMouse::GetHideCount() { return g_hideCount; }

void PlaceMousePointer() {
    const int mx = GetMouseX(), my = GetMouseY();
    if (g_arrow) g_arrow->SetPosition(mx, my, false);
    if (g_hourglass) {
        const int hx = mx - g_hourglass->GetWidth(false) / 2 + 6;
        const int hy = my - g_hourglass->GetHeight(false) / 2 + 1;
        g_hourglass->SetPosition(hx, hy, false);
    }
}

void HideMousePointer(int frames) {
    if (g_arrow) g_arrow->Hide();
    if (g_hourglass) g_hourglass->Hide();
    if (frames > g_hideCount) g_hideCount = frames;
}

void UpdateMousePointer() {
    if (g_hideCount >= 0) {
        --g_hideCount;
        return;
    }
    if (g_arrow) g_arrow->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    if (g_hourglass) g_hourglass->Hide();
}

void ShowHourglass(bool drawNow) {
    if (g_hourglass) g_hourglass->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    if (!g_arrow || g_arrow->IsHidden()) return;
    g_arrow->Hide();
    if (drawNow && g_hourglass) {
        g_hourglass->Draw();
        // Drawn outside the renderer: the next frame repaints the place, so
        // nothing of it stays once it is hidden again.
        CRender::AddSpriteDirtyRect(g_hourglass);
    }
}

void WarpMouse(int x, int y) {
    x = Clamp(x, 0, 800);
    y = Clamp(y, 0, 600);
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.type = SDL_MOUSEMOTION;
    if (GetSystemPointer()) {
        SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
        e.motion.x = static_cast<Uint16>(x);
        e.motion.y = static_cast<Uint16>(y);
    } else {
        SetMouseX(x);
        SetMouseY(y);
        SetMouseFloatX(x);
        SetMouseFloatY(y);
        e.motion.xrel = 1;
        e.motion.yrel = 1;
    }
    SDL_PushEvent(&e);
}

bool IsMousePointerHidden() {
    const bool arrowHidden = !g_arrow || g_arrow->IsHidden();
    const bool hourglassHidden = !g_hourglass || g_hourglass->IsHidden();
    return arrowHidden && hourglassHidden;
}

void DetachMousePointer() {
    if (g_arrow) RemoveSprite(g_arrow);
    if (g_hourglass) RemoveSprite(g_hourglass);
}

void AttachMousePointer() {
    if (g_arrow) AddSpriteToList(g_arrow);
    if (g_hourglass) AddSpriteToList(g_hourglass);
}
