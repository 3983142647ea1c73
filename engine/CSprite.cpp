#include "engine/CSprite.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "engine/Utilities.h"


namespace {

std::vector<CSprite*> g_live;
std::vector<CSprite*> g_setAside;

uint32_t DefaultClock() { return SDL_GetTicks(); }
CSprite::Clock g_clock = DefaultClock;

bool EraseFrom(std::vector<CSprite*>& list, CSprite* s) {
    auto it = std::find(list.begin(), list.end(), s);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

int ClampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Column or row of a pixel coordinate, rounded up or truncated.
int CellUp(int v) { return v >= 0 ? (v + kSpriteCellSize - 1) / kSpriteCellSize : -((-v) / kSpriteCellSize); }
int CellDown(int v) { return v / kSpriteCellSize; }

const char* kRule = "=====================================================\n";
const char* kThinRule = "-----------------------------------------------------\n";

}  // namespace

// ---- construction ---------------------------------------------------------

CSprite::CSprite(SpriteLayer type_, int frameDelay_, bool sharedFrames_)
    : sharedFrames(sharedFrames_ ? 1 : 0),
      origin0X(0),
      origin0Y(0),
      tileW(0),
      tileH(0),
      originalType(type_),
      frameDelay(frameDelay_) {
    type = type_;
    g_live.push_back(this);
}

CSprite::CSprite(int originX_, int originY_, SpriteLayer type_, int frameDelay_, bool sharedFrames_, int tileW_,
                 int tileH_)
    : CSprite(type_, frameDelay_, sharedFrames_) {
    originX = origin0X = originX_ - 29;
    originY = origin0Y = originY_ - 20;
    tileW = tileW_;
    tileH = tileH_;
}

CSprite::~CSprite() {
    // What it covered is repainted by whatever lies beneath it next frame.
    if (!hidden && !frames.empty()) CRender::AddSpriteDirtyRect(this);
    RemoveSprite(this);
    EraseFrom(g_setAside, this);
    if (!sharedFrames) {
        for (int id : frames)
            if (id >= 0) CDraw::ReleaseImage(id);
    }
    frames.clear();
}

CSprite* CSprite::Clone() const {
    CSprite* copy = new CSprite(static_cast<SpriteLayer>(type), frameDelay, sharedFrames != 0);
    std::vector<int> ownFrames = frames;
    // A copy of a sprite that holds its images holds them once more.
    if (!sharedFrames) {
        for (int& id : ownFrames)
            if (id >= 0) id = CDraw::ReacquireImage(id);
    }
    CSprite* keep = copy;
    RemoveSprite(copy);
    *copy = *this;  // every field; the list membership is fixed below
    copy->frames = ownFrames;
    AddSpriteToList(keep);
    return keep;
}

// ---- frames ---------------------------------------------------------------

void CSprite::AppendFrame(int imageId) {
    frames.push_back(imageId);
    fullW = w = prevW = CDraw::GetWidth(imageId);
    fullH = h = prevH = CDraw::GetHeight(imageId);
}

void CSprite::AddFrame(int imageId) { AppendFrame(imageId); }

void CSprite::AddFrame(const char* name) {
    if (!name) return;
    AppendFrame(sharedFrames ? CDraw::FindImage(name) : CDraw::GetImage(name));
}

void CSprite::AddFrame(const char* name, int count) {
    for (int i = 0; i < count; ++i) AddFrame(name);
}

void CSprite::AddFrames(const char* prefix, int from, int to, const char* suffix, int step) {
    // A step of 0 or below would never reach the end of the range.
    if (step < 0) step = -step;
    if (step == 0) step = 1;
    char name[512];
    if (from >= to) {
        for (int i = from; i >= to; i -= step) {
            snprintf(name, sizeof(name), "%s%i%s", prefix ? prefix : "", i, suffix ? suffix : "");
            AddFrame(name);
        }
    } else {
        for (int i = from; i <= to; i += step) {
            snprintf(name, sizeof(name), "%s%i%s", prefix ? prefix : "", i, suffix ? suffix : "");
            AddFrame(name);
        }
    }
}

void CSprite::AddTextFrame(const char* text, int boxW, int boxH, int align, const char* imageName,
                           bool clearFrames) {
    ReplaceTextFramesBegin();
    if (imageName) CDraw::UnloadImage(imageName);
    if (clearFrames) {
        frames.clear();
        frame = 0;
    }
    // The text is a name, a heading or a number: drawn as it stands.
    AppendTextSurface(FontRenderStringTyped(boxW, boxH, align, 300, text ? text : ""), boxW, boxH, imageName);
}

void CSprite::AddTextFrame(int stringId, int boxW, int boxH, int align, const char* imageName, bool clearFrames) {
    ReplaceTextFramesBegin();
    if (imageName) CDraw::UnloadImage(imageName);
    if (clearFrames) {
        frames.clear();
        frame = 0;
    }
    AppendTextSurface(FontRenderString(boxW, boxH, align, stringId), boxW, boxH, imageName);
}

void CSprite::ReplaceTextFramesBegin() {
    // A new text usually replaces the picture in place: repaint the old
    // area now and the new one at the next update.
    if (!hidden && !frames.empty()) CRender::AddSpriteDirtyRect(this);
    forceRedraw = 1;
}

void CSprite::AppendTextSurface(SDL_Surface* surface, int boxW, int boxH, const char* imageName) {
    if (surface) {
        AppendFrame(CDraw::LoadSurface(surface, imageName));
        return;
    }
    // An empty text renders nothing: the frame is a blank box, so the sprite
    // keeps its size and a frame to show.
    if (boxW > 0 && boxH > 0) AppendFrame(CDraw::CreateSurface(boxW, boxH, imageName));
}

int CSprite::GetFrameImage(int i) const {
    if (i < 0 || i >= static_cast<int>(frames.size())) return -1;
    return frames[static_cast<size_t>(i)];
}

// ---- position and geometry ------------------------------------------------

void CSprite::SetPosition(int px, int py, bool previous) {
    if (previous) {
        prevX = px;
        prevY = py;
    } else {
        x = px;
        y = py;
    }
}

void CSprite::GetRect(Rect* out) const {
    if (out) *out = GetRect();
}

Rect CSprite::GetRect() const { return Rect{x - originX, y - originY, w, h}; }

int CSprite::GetLeftTile(bool previous) const { return previous ? prevTileX : tileX; }
int CSprite::GetRightTile(bool previous) const { return GetLeftTile(previous) + tileW - 1; }

int CSprite::GetTopTile(bool previous) const {
    const int ty = previous ? prevTileY : tileY;
    return type == LAYER_TERRAIN ? ty : ty - tileH + 1;
}

int CSprite::GetBottomTile(bool previous) const {
    const int ty = previous ? prevTileY : tileY;
    return type == LAYER_TERRAIN ? ty + tileH - 1 : ty;
}

void CSprite::MoveOrigin(int ox, int oy) {
    if (ox == originX && oy == originY) return;
    // The place it leaves, then the place it takes at the next update.
    if (!hidden && !frames.empty()) CRender::AddSpriteDirtyRect(this);
    originX = ox;
    originY = oy;
    forceRedraw = 1;
}

void CSprite::SetType(SpriteLayer layer) {
    if (layer != type) forceRedraw = 1;
    type = layer;
}

void CSprite::RestoreType() { SetType(static_cast<SpriteLayer>(originalType)); }

bool CSprite::IsMouseOver(int marginX, int marginY) const {
    const int rx = x - originX, ry = y - originY;
    const int mx = GetMouseX(), my = GetMouseY();
    return mx >= rx - marginX && mx <= rx + w + marginX && my >= ry - marginY && my <= ry + h + marginY;
}

// ---- clip window ------------------------------------------------------------

void CSprite::SetClipX(int v) {
    const int c = ClampInt(v, 0, std::max(fullW, 0));
    // A new window shows other pixels in the same place: repaint it.
    if (c != clipX) forceRedraw = 1;
    clipX = c;
}

void CSprite::SetClipY(int v) {
    const int c = ClampInt(v, 0, std::max(fullH, 0));
    if (c != clipY) forceRedraw = 1;
    clipY = c;
}

void CSprite::SetClipWidth(int v) {
    prevW = w;
    w = ClampInt(v, 0, std::max(fullW, 0));
}

void CSprite::SetClipHeight(int v) {
    prevH = h;
    h = ClampInt(v, 0, std::max(fullH, 0));
}

void CSprite::ResetClipWidth() {
    prevW = w;
    w = std::max(fullW, 0);
}

void CSprite::ResetClipHeight() {
    prevH = h;
    h = std::max(fullH, 0);
}

void CSprite::ResetClip() {
    if (clipX != 0 || clipY != 0) forceRedraw = 1;
    clipX = 0;
    clipY = 0;
    ResetClipWidth();
    ResetClipHeight();
    RestoreType();
}

// ---- visibility and animation ----------------------------------------------

void CSprite::Show(int px, int py) {
    if (frames.empty()) return;
    if (type <= kSpriteWorldLayerMax) {
        prevX = px;
        prevY = py;
    }
    hidden = 0;
}

void CSprite::Play(bool forward) { animState = frameDelay >= 1 ? (forward ? 1 : -1) : 0; }

void CSprite::Rewind() {
    frame = 0;
    frameCounter = 0;
    finished = 0;
    animState = 0;
}

void CSprite::Finish() {
    frame = frames.empty() ? 0 : static_cast<int>(frames.size()) - 1;
    frameCounter = 0;
    finished = 1;
    animState = 0;
}

void CSprite::SetFrame(int i) {
    if (frames.empty()) return;
    frame = static_cast<int>(static_cast<unsigned>(i) % frames.size());
}

// ---- fades ------------------------------------------------------------------

void CSprite::SetClock(Clock clock) { g_clock = clock ? clock : DefaultClock; }
uint32_t CSprite::Now() { return g_clock(); }

void CSprite::ApplyAlpha(int alpha) {
    if (frames.empty()) return;
    CDraw::SetAlpha(frames[static_cast<size_t>(frame)], static_cast<uint8_t>(ClampInt(alpha, 0, 255)),
                    SDL_SRCALPHA | SDL_RLEACCEL);
}

void CSprite::SetFade(int mode, int durationMs, int startAlpha, int endAlpha) {
    if (frames.empty()) return;
    const uint32_t now = Now();
    fadeStart = now;
    fadeEnd = now + static_cast<uint32_t>(std::max(durationMs, 0));
    fadeStartAlpha = ClampInt(startAlpha, 0, 255);
    fadeEndAlpha = ClampInt(endAlpha, 0, 255);
    fadeMode = mode;
    hidden = 0;
    ApplyAlpha(fadeStartAlpha);
}

void CSprite::SetFadeOut(int durationMs, int startAlpha, int endAlpha) {
    DebugLog(DBG_STACK, "CSprite::SetFadeOut(%i,%i,%i)\n", durationMs, startAlpha, endAlpha);
    SetFade(1, durationMs, startAlpha, endAlpha);
}

void CSprite::SetFadeIn(int durationMs, int startAlpha, int endAlpha) {
    DebugLog(DBG_STACK, "CSprite::SetFadeIn(%i,%i,%i)\n", durationMs, startAlpha, endAlpha);
    SetFade(2, durationMs, startAlpha, endAlpha);
}

int CSprite::GetFadeAlpha(uint32_t now) const {
    const uint32_t duration = fadeEnd - fadeStart;
    const uint32_t elapsed = now - fadeStart;
    if (duration == 0 || elapsed >= duration) return fadeEndAlpha;
    const double t = static_cast<double>(elapsed) / static_cast<double>(duration);
    const double a = fadeStartAlpha + (fadeEndAlpha - fadeStartAlpha) * t;
    return ClampInt(static_cast<int>(std::floor(a)), 0, 255);
}

void CSprite::HandleFade() {
    const uint32_t now = Now();
    if (now - fadeStart < fadeEnd - fadeStart) {
        const int alpha = GetFadeAlpha(now);
        DebugLog(DBG_SPRITE, "CSprite::handleFade()   Updating alpha (mode=%i) to %i (delta=%i):  %i->%i\n", fadeMode,
                 alpha, std::abs(fadeEndAlpha - fadeStartAlpha), static_cast<int>(now), static_cast<int>(fadeEnd));
        ApplyAlpha(alpha);
        return;
    }
    ApplyAlpha(fadeEndAlpha);
    if (fadeMode == 1) hidden = 1;
    fadeMode = 0;
    // The last step is painted by the renderer like any change, in its
    // place in the painter's order.
    forceRedraw = 1;
}

// ---- snapshot ---------------------------------------------------------------

CSpriteState CSprite::GetState() const { return *this; }

void CSprite::SetState(const CSpriteState& s) {
    static_cast<CSpriteState&>(*this) = s;
    // A frame index from another frame list would point outside this one.
    if (frame < 0 || frame >= static_cast<int>(frames.size())) frame = 0;
}

// ---- per frame ---------------------------------------------------------------

void CSprite::Update() {
    if (frames.empty()) return;
    const int count = static_cast<int>(frames.size());

    if (frameDelay >= 1 && animState != 0 && !hidden) {
        if (frameCounter >= frameDelay) {
            if (animState == 1) {
                if (frame < count - 1) {
                    ++frame;
                } else if (looping) {
                    frame = 0;
                } else {
                    finished = 1;
                    animState = 0;
                }
            } else {
                if (frame > 0) {
                    --frame;
                } else if (looping) {
                    frame = count - 1;
                } else {
                    finished = 1;
                }
            }
            frameCounter = 1;
        } else {
            ++frameCounter;
        }
    }

    if (fadeMode != 0) HandleFade();

    const bool same = x == prevX && y == prevY && w == prevW && h == prevH && frame == prevFrame &&
                      hidden == prevHidden;
    if (forceRedraw || fadeMode != 0 || !same) {
        forceRedraw = 0;
        if (prevHidden && !hidden) {
            CRender::AddSpriteDirtyRect(this);
        } else if (x == prevX && y == prevY) {
            CRender::AddSpriteDirtyRect(this);
        } else if (prevX == kSpriteNotDrawn || prevY == kSpriteNotDrawn) {
            CRender::AddSpriteDirtyRect(this);
        } else if (prevHidden && hidden) {
            // Nothing of it was or is on screen.
        } else {
            CRender::AddSpriteMoveDirtyRect(this);
        }
    }

    if ((!hidden && prevX >= 0 && prevY >= 0) || type == LAYER_TELEPORT_GHOST || type == LAYER_TELEPORT_PASSER) {
        movingLeft = x < prevX;
        movingRight = x > prevX;
        movingUp = y < prevY;
        movingDown = y > prevY;
    } else {
        movingLeft = movingRight = movingUp = movingDown = 0;
    }
    if (type == LAYER_TELEPORT_PASSER && !movingLeft) movingRight = 1;

    if (movingRight) {
        tileX = CellUp(x);
        prevTileX = CellDown(x);
    } else {
        tileX = CellDown(x);
        prevTileX = CellUp(x);
    }
    if (movingDown) {
        tileY = CellUp(y);
        prevTileY = CellDown(y);
    } else {
        tileY = CellDown(y);
        prevTileY = CellUp(y);
    }
    prevX = x;
    prevY = y;
    prevW = w;
    prevH = h;
    prevHidden = hidden;
    prevFrame = frame;
}

void CSprite::Draw() {
    if (frames.empty()) return;
    if (!hidden) CDraw::DrawImage(frames[static_cast<size_t>(frame)], x, y);
    CDraw::UpdateRect(x, y, w, h);
}

void CSprite::DrawPart(const Rect& rect) {
    if (hidden || frames.empty()) return;
    const Rect s = GetRect();
    const int left = std::max(s.x, rect.x), top = std::max(s.y, rect.y);
    const int right = std::min(s.x + s.w, rect.x + rect.w), bottom = std::min(s.y + s.h, rect.y + rect.h);
    if (right <= left || bottom <= top) return;
    const int id = frames[static_cast<size_t>(frame)];
    const int sx = left - s.x + clipX, sy = top - s.y + clipY;
    // Never let the image store fall back to the whole image: only the part
    // of the frame that exists inside the rectangle is drawn.
    const int pw = std::min(right - left, CDraw::GetWidth(id) - sx);
    const int ph = std::min(bottom - top, CDraw::GetHeight(id) - sy);
    if (pw <= 0 || ph <= 0) return;
    CDraw::DrawImagePart(id, left, top, sx, sy, pw, ph);
}

// ---- the lists -----------------------------------------------------------------

std::vector<CSprite*>& GetSpriteList() { return g_live; }
std::vector<CSprite*>& GetSetAsideSpriteList() { return g_setAside; }

void AddSpriteToList(CSprite* sprite) {
    if (!sprite) return;
    if (std::find(g_live.begin(), g_live.end(), sprite) != g_live.end()) return;
    g_live.push_back(sprite);
}

void RemoveSprite(CSprite* sprite) {
    auto it = std::find(g_live.begin(), g_live.end(), sprite);
    if (it == g_live.end()) return;
    DebugLog(DBG_DESTRUCT, "Removing sprite '%s' at (%i,%i)\n", sprite->GetName(), sprite->GetX(false),
             sprite->GetY(false));
    g_live.erase(it);
}

void SwapSpriteLists(bool restore) {
    DetachMousePointer();
    DebugLog(DBG_DEBUG, "%s", kRule);
    DebugLog(DBG_DEBUG, "Visible Preswapped Sprites\n");
    DebugLog(DBG_DEBUG, "%s", kThinRule);
    for (CSprite* s : g_live)
        if (!s->IsHidden()) DebugLog(DBG_DEBUG, "   '%s'\n", s->GetName());
    DebugLog(DBG_DEBUG, "%s", kRule);
    if (restore) {
        g_live.clear();
    } else {
        g_setAside.clear();
    }
    g_live.swap(g_setAside);
    AttachMousePointer();
}

void UpdateAllSprites() {
    for (size_t i = 0; i < g_live.size(); ++i) g_live[i]->Update();
}

void DumpAllSprites() {
    DebugLog(DBG_DEBUG, "%s", kRule);
    DebugLog(DBG_DEBUG, "All Sprites\n");
    DebugLog(DBG_DEBUG, "%s", kThinRule);
    for (CSprite* s : g_live) {
        if (s->IsHidden()) continue;
        DebugLog(DBG_DEBUG, "   (%i,%i)  W%i H%i  '%s'\n", s->GetX(false), s->GetY(false), s->GetWidth(false),
                 s->GetHeight(false), s->GetName());
    }
    DebugLog(DBG_DEBUG, "%s", kRule);
}

void DumpSprite(CSprite* s) {
    if (!s) return;
    const CSpriteState st = s->GetState();
    DebugLog(DBG_DEBUG, "%s", kRule);
    DebugLog(DBG_DEBUG, "All Sprites\n");
    DebugLog(DBG_DEBUG, "%s", kThinRule);
    DebugLog(DBG_DEBUG, "   Name               %s\n", s->GetName());
    DebugLog(DBG_DEBUG, "   Current Location   (%i,%i)  @T(%i,%i)\n", st.x, st.y, st.tileX, st.tileY);
    DebugLog(DBG_DEBUG, "   Previous Location  (%i,%i)  @T(%i,%i)\n", st.prevX, st.prevY, st.prevTileX, st.prevTileY);
    DebugLog(DBG_DEBUG, "   Current Size       W%i x H%i   T(%ix%i)\n", st.w, st.h, s->GetTileWidth(),
             s->GetTileHeight());
    DebugLog(DBG_DEBUG, "   Prevoius Size      W%i x H%i   T(%ix%i)\n", st.prevW, st.prevH, s->GetTileWidth(),
             s->GetTileHeight());
    DebugLog(DBG_DEBUG, "   Current Type       %i\n", st.type);
    DebugLog(DBG_DEBUG, "   Original Type      %i\n", s->GetOriginalType());
    DebugLog(DBG_DEBUG, "\n");
    DebugLog(DBG_DEBUG, "   Looping            %i\n", s->IsLooping() ? 1 : 0);
    DebugLog(DBG_DEBUG, "   Hidden             %i\n", st.hidden);
    DebugLog(DBG_DEBUG, "   Finished           %i\n", st.finished);
    DebugLog(DBG_DEBUG, "   State              %i\n", st.animState);
    DebugLog(DBG_DEBUG, "   Frame              %i of %i\n", st.frame, s->GetFrameCount());
    DebugLog(DBG_DEBUG, "\n");
    DebugLog(DBG_DEBUG, "   Moving Left        %i\n", st.movingLeft);
    DebugLog(DBG_DEBUG, "   Moving Right       %i\n", st.movingRight);
    DebugLog(DBG_DEBUG, "   Moving Up          %i\n", st.movingUp);
    DebugLog(DBG_DEBUG, "   Moving Down        %i\n", st.movingDown);
    DebugLog(DBG_DEBUG, "%s", kRule);
}

// ---- rectangle helpers of the utilities ------------------------------------------

bool SpritesOverlap(CSprite* a, CSprite* b) {
    if (!a || !b) return false;
    return RectsOverlap(a->GetRect(), b->GetRect());
}

bool SpriteOverlapsRect(CSprite* s, const Rect& r) {
    if (!s || s->IsHidden()) return false;
    return RectsOverlap(s->GetRect(), r);
}
