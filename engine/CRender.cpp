#include "engine/CRender.h"

#include <cstdint>
#include <cstdio>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "engine/PaintersOrder.h"
#include "engine/Utilities.h"

namespace {

constexpr int kScreenW = 800;
constexpr int kScreenH = 600;
// A clipped rectangle larger than this repaints the whole screen.
constexpr int64_t kFullScreenArea = 400000;
// On the play screen rectangles larger than this are cut into pieces, so
// that each piece orders and draws only the few sprites that touch it.
constexpr int64_t kSplitArea = 5000;

std::vector<Rect> g_dirty;
Rect g_current;
std::vector<CSprite*> g_collected;
std::vector<CSprite*> g_ordered;
std::vector<CSprite*> g_foreground;
struct VisibleSprite {
    Rect rect;
    CSprite* sprite;
};
std::vector<VisibleSprite> g_visible;
CSprite* g_swapSprite = nullptr;
bool g_swapped = false;
unsigned g_swapCount = 0;

int64_t Area(const Rect& r) { return static_cast<int64_t>(r.w) * r.h; }

Rect SpriteScreenRect(CSprite* s, bool previous) {
    const int px = previous ? s->GetPrevX(true) : s->GetX(true);
    const int py = previous ? s->GetPrevY(true) : s->GetY(true);
    return Rect{px, py, s->GetWidth(true), s->GetHeight(true)};
}

void CopyDirty(std::vector<Rect>* out) {
    if (out) *out = g_dirty;
}

void FullScreen(std::vector<Rect>& out) {
    out.clear();
    const int id = CController::GetCurrentId();
    if (id == CONTROLLER_GAME || id == CONTROLLER_EDITOR) {
        DebugLog(DBG_OPTIMIZE, "   * Adding full-screen via (%ix%i) mini-rectangles (%ix%i)\n", 25, 25, 32, 24);
        for (int c = 0; c < 25; ++c)
            for (int r = 0; r < 25; ++r) out.push_back(Rect{c * 32, r * 24, 32, 24});
    } else {
        DebugLog(DBG_OPTIMIZE, "   * Adding full-screen rectangle (%ix%i)\n", kScreenW, kScreenH);
        out.push_back(Rect{0, 0, kScreenW, kScreenH});
    }
}

void Split(const Rect& r, std::vector<Rect>& out) {
    const int64_t area = Area(r);
    const int s = area > 225000 ? 100 : (area >= 10001 ? 50 : 25);
    const int rows = r.h < s ? 1 : r.h / s;
    const int cols = r.w < s ? 1 : r.w / s;
    const int pw = r.w / cols + 1;
    const int ph = r.h / rows + 1;
    for (int c = 0; c < cols; ++c) {
        for (int row = 0; row < rows; ++row) {
            Rect p{r.x + c * pw, r.y + row * ph, pw, ph};
            if (p.x + p.w > kScreenW) p.w = kScreenW - p.x;
            if (p.y + p.h > kScreenH) p.h = kScreenH - p.y;
            if (p.w > 0 && p.h > 0) out.push_back(p);
        }
    }
}

}  // namespace

CRender::CRender() { EnsureRegistered(); }
CRender::~CRender() {}

void CRender::EnsureRegistered() {
    // Two pointer stores: cheap enough to repeat every frame, so the display
    // always presents this list.
    CDraw::SetDirtyRectSource(CopyDirty, ClearDirtyLists);
}

void CRender::Render(bool updateSprites) {
    EnsureRegistered();
    if (updateSprites) UpdateAllSprites();
    OptimizeDirtyRects();
    DrawDirty();
}

void CRender::AddSpriteDirtyRect(CSprite* sprite) {
    if (!sprite) return;
    g_dirty.push_back(SpriteScreenRect(sprite, false));
}

void CRender::AddSpriteMoveDirtyRect(CSprite* sprite) {
    if (!sprite) return;
    const Rect now = SpriteScreenRect(sprite, false);
    const Rect old = SpriteScreenRect(sprite, true);
    if (RectsOverlap(now, old)) {
        Rect u;
        UnionRect(&u, now, old);
        g_dirty.push_back(u);
    } else {
        g_dirty.push_back(now);
        g_dirty.push_back(old);
    }
}

void CRender::AddDirtyRect(int x, int y, int w, int h) {
    g_dirty.push_back(Rect{x, y, w, h});
}

void CRender::AddFullScreenDirtyRect() {
    g_dirty.clear();
    g_dirty.push_back(Rect{0, 0, kScreenW, kScreenH});
}

const std::vector<Rect>& CRender::GetDirtyRects() { return g_dirty; }

void CRender::ClearDirtyLists() {
    g_dirty.clear();
    g_collected.clear();
    g_ordered.clear();
    g_foreground.clear();
}

void CRender::OptimizeDirtyRects() {
    // Merge overlapping rectangles whose bounding box wastes no area beyond
    // their sum; each rectangle takes a turn at the front.
    bool merged = true;
    int pass = 0;
    std::vector<Rect> kept;
    while (merged && (pass == 0 || g_dirty.size() >= 2)) {
        merged = false;
        DebugLog(DBG_OPTIMIZE,
                 "=== PHASE 3(%i):  DIRTY RECTANGLE OPTIMIZATION (%i rects) ============================\n", pass,
                 static_cast<int>(g_dirty.size()));
        for (size_t turn = 0; turn < g_dirty.size(); ++turn) {
            Rect r0 = g_dirty[0];
            int64_t a0 = Area(r0);
            kept.clear();
            for (size_t i = 1; i < g_dirty.size(); ++i) {
                const Rect& r1 = g_dirty[i];
                if (RectsOverlap(r0, r1)) {
                    Rect u;
                    UnionRect(&u, r0, r1);
                    if (Area(r1) + a0 >= Area(u)) {
                        r0 = u;
                        a0 = Area(u);
                        merged = true;
                        continue;
                    }
                }
                kept.push_back(r1);
            }
            kept.push_back(r0);
            g_dirty.swap(kept);
        }
        ++pass;
    }

    DebugLog(DBG_OPTIMIZE, "=== PHASE 1:  OUT-OF-BOUNDS CLIPPING AND REMOVAL (%i rects) ======================\n",
             static_cast<int>(g_dirty.size()));
    const bool playScreen = CController::GetCurrentId() == CONTROLLER_GAME;
    std::vector<Rect> out;
    out.reserve(g_dirty.size());
    for (Rect r : g_dirty) {
        if (r.x >= kScreenW || r.x + r.w < 0 || r.y >= kScreenH || r.y + r.h < 0) continue;
        if (r.x < 0) {
            r.w += r.x;
            r.x = 0;
        }
        if (r.x + r.w > kScreenW - 1) r.w = kScreenW - r.x;
        if (r.y < 0) {
            r.h += r.y;
            r.y = 0;
        }
        if (r.y + r.h > kScreenH - 1) r.h = kScreenH - r.y;
        // Nothing left to paint.
        if (r.w <= 0 || r.h <= 0) continue;
        const int64_t area = Area(r);
        if (area > kFullScreenArea) {
            FullScreen(out);
            break;
        }
        if (playScreen && area > kSplitArea) {
            Split(r, out);
        } else {
            out.push_back(r);
        }
    }
    g_dirty.swap(out);
}

void CRender::DrawDirty() {
    // The screen rectangles of the visible sprites, in live-list order, taken
    // once: a full-screen repaint on the play screen asks every sprite about
    // each of its 625 pieces.
    g_visible.clear();
    for (CSprite* s : GetSpriteList()) {
        if (!s->IsHidden()) g_visible.push_back(VisibleSprite{s->GetRect(), s});
    }
    for (size_t i = 0; i < g_dirty.size(); ++i) {
        g_current = g_dirty[i];
        const Rect c = g_current;
        g_collected.clear();
        for (const VisibleSprite& v : g_visible) {
            const Rect& r = v.rect;
            if (r.x + r.w > c.x && r.x < c.x + c.w && r.y + r.h > c.y && r.y < c.y + c.h)
                g_collected.push_back(v.sprite);
        }
        OrderDirtySprites(g_collected, g_ordered, g_foreground);
        for (CSprite* s : g_collected) s->DrawPart(c);
    }
}

const Rect& CRender::GetCurrentRect() { return g_current; }

void CRender::Swap(bool snapshot) {
    EnsureRegistered();
    if (!g_swapped) {
        DebugLog(DBG_RENDER, "CRender::Swap()   Swapping backbuffer\n");
        int id = -1;
        if (snapshot) {
            // Each frozen picture gets its own name, so a picture that is
            // still registered never shadows the new one.
            char name[64];
            snprintf(name, sizeof(name), "swapimage%u.bmp", ++g_swapCount);
            id = CDraw::CaptureScreen(name);
        }
        SwapSpriteLists(false);
        if (snapshot) {
            g_swapSprite = new CSprite(29, 20, LAYER_SWAP, 0, false, 1, 1);
            g_swapSprite->SetName("Swap Image");
            g_swapSprite->AddFrame(id);
            g_swapSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        }
        g_swapped = true;
        return;
    }
    DebugLog(DBG_RENDER, "CRender::Swap()   Unswapping backbuffer\n");
    UpdateAllSprites();
    OptimizeDirtyRects();
    DrawDirty();
    CDraw::Present(true, false);
    delete g_swapSprite;
    g_swapSprite = nullptr;
    SwapSpriteLists(true);
    g_swapped = false;
}

bool CRender::IsSwapped() { return g_swapped; }
CSprite* CRender::GetSwapSprite() { return g_swapSprite; }

void CRender::DumpDirtyRects(int category) {
    if (g_dirty.empty()) return;
    const uint32_t cat = static_cast<uint32_t>(category);
    DebugLog(cat, "-------------------------------------------------------\n");
    DebugLog(cat, "DIRTY RECTANGLES\n");
    for (const Rect& r : g_dirty) DebugLog(cat, "   %d x %d @ (%d,%d)\n", r.w, r.h, r.x, r.y);
    DebugLog(cat, "-------------------------------------------------------\n");
}

void CRender::Reset() {
    ClearDirtyLists();
    g_current = Rect{};
    g_swapped = false;
    g_swapSprite = nullptr;
}
