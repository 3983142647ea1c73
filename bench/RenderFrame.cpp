// One frame of the play screen's typical load: a full-screen background and
// about 300 sprites on the board, 20 of them moving. Renders it with dirty
// rectangles (only what changed) and with a full redraw (every piece of the
// screen), and, for scale, a plain blit of the background alone.
//
// Argument 0: the background is an opaque picture, as a decoded JPG is.
// Argument 1: the same picture with an alpha channel. SDL copies opaque
// pictures with non-temporal stores, so the sprites blended over a freshly
// copied piece read it back from memory; the two show what that costs.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <random>
#include <vector>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"

namespace {

class PlayScreen : public CController {
public:
    PlayScreen() { id = CONTROLLER_GAME; }
    void InputKey(bool, int) override {}
    void Pump() override {}
};

int Image(int w, int h, Uint8 r, Uint8 g, Uint8 b, bool withAlpha) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                          withAlpha ? 0xFF000000 : 0);
    SDL_LockSurface(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // A soft edge, as the world's pictures have.
            const bool edge = x < 2 || y < 2 || x >= w - 2 || y >= h - 2;
            CDraw::PutPixel(s, x, y,
                            SDL_MapRGBA(s->format, static_cast<Uint8>(r + x), static_cast<Uint8>(g + y), b,
                                        edge ? 96 : 255));
        }
    SDL_UnlockSurface(s);
    return CDraw::LoadSurface(s, nullptr);
}

struct Mover {
    CSprite* sprite;
    int dx;
};

struct Scene {
    PlayScreen screen;
    CSprite* background = nullptr;
    CSprite* backgroundWithAlpha = nullptr;
    std::vector<CSprite*> still;
    std::vector<Mover> movers;

    Scene() {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        CDraw::SetFullscreenOption([]() { return false; }, []() {});
        CDraw::ForceFullFlip(0);
        CDraw::SetVideoMode();
        screen.Activate(nullptr);

        background = new CSprite(29, 20, LAYER_BACKGROUND, 0, false, 1, 1);
        background->AddFrame(Image(800, 600, 20, 40, 90, false));
        background->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        backgroundWithAlpha = new CSprite(29, 20, LAYER_BACKGROUND, 0, false, 1, 1);
        backgroundWithAlpha->AddFrame(Image(800, 600, 20, 40, 90, true));

        const int terrain = Image(24, 24, 60, 120, 20, true);
        const int ladder = Image(24, 24, 140, 90, 30, true);
        const int crate = Image(24, 24, 160, 110, 60, true);
        const int button = Image(24, 24, 30, 30, 200, true);
        const int bot = Image(24, 48, 200, 30, 30, true);
        std::mt19937 rng(7);
        const struct {
            SpriteLayer layer;
            int count, image;
        } kinds[] = {{LAYER_TERRAIN, 120, terrain}, {LAYER_LADDER_SEGMENT, 50, ladder}, {LAYER_OBJECT, 70, crate},
                     {LAYER_FLOOR_BUTTON, 20, button}, {LAYER_BOT, 20, bot}};
        for (const auto& k : kinds) {
            for (int i = 0; i < k.count; ++i) {
                CSprite* s = new CSprite(29, 20, k.layer, 0, true, 1, k.layer == LAYER_BOT ? 2 : 1);
                s->AddFrame(k.image);
                s->SetPosition(static_cast<int>(rng() % 32) * 24 + 16, static_cast<int>(rng() % 23) * 24 + 12,
                               false);
                s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
                still.push_back(s);
            }
        }
        for (int i = 0; i < 20; ++i) {
            CSprite* s = new CSprite(29, 20, i % 2 ? LAYER_HERO : LAYER_OBJECT, 0, true, 1, i % 2 ? 2 : 1);
            s->AddFrame(i % 2 ? bot : crate);
            s->SetPosition(static_cast<int>(rng() % 30) * 24 + 16, static_cast<int>(rng() % 22) * 24 + 12, false);
            s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
            movers.push_back(Mover{s, i % 3 ? 3 : -3});
        }
        // The first frame draws everything.
        CRender::Render(true);
        CRender::ClearDirtyLists();
    }

    void UseBackground(bool withAlpha) {
        CSprite* on = withAlpha ? backgroundWithAlpha : background;
        CSprite* off = withAlpha ? background : backgroundWithAlpha;
        off->Hide();
        on->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        CRender::Render(true);
        CRender::ClearDirtyLists();
    }

    void Step() {
        for (Mover& m : movers) {
            int x = m.sprite->GetX(false) + m.dx;
            if (x < 16 || x > 16 + 31 * 24) {
                m.dx = -m.dx;
                x += 2 * m.dx;
            }
            m.sprite->SetPosition(x, m.sprite->GetY(false), false);
        }
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_DirtyRectangleFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    scene.UseBackground(state.range(0) != 0);
    size_t rects = 0;
    for (auto _ : state) {
        scene.Step();
        CRender::Render(true);
        rects += CRender::GetDirtyRects().size();
        CRender::ClearDirtyLists();
    }
    state.counters["sprites"] = static_cast<double>(GetSpriteList().size());
    state.counters["rects/frame"] = static_cast<double>(rects) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DirtyRectangleFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FullRedrawFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    scene.UseBackground(state.range(0) != 0);
    for (auto _ : state) {
        scene.Step();
        UpdateAllSprites();
        CRender::ClearDirtyLists();
        CRender::AddFullScreenDirtyRect();
        CRender::Render(false);
        CRender::ClearDirtyLists();
    }
    state.counters["sprites"] = static_cast<double>(GetSpriteList().size());
}
BENCHMARK(BM_FullRedrawFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same full redraw as one rectangle, as on every screen but the play
// screen and the editor: each sprite is drawn once, but all 300 are ordered
// together.
void BM_FullRedrawOneRectangle(benchmark::State& state) {
    Scene& scene = TheScene();
    scene.UseBackground(state.range(0) != 0);
    CController::ResetStack();
    for (auto _ : state) {
        scene.Step();
        UpdateAllSprites();
        CRender::ClearDirtyLists();
        CRender::AddFullScreenDirtyRect();
        CRender::Render(false);
        CRender::ClearDirtyLists();
    }
    scene.screen.Activate(nullptr);
}
BENCHMARK(BM_FullRedrawOneRectangle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BackgroundBlitOnly(benchmark::State& state) {
    Scene& scene = TheScene();
    CSprite* bg = state.range(0) ? scene.backgroundWithAlpha : scene.background;
    const int id = bg->GetFrameImage(0);
    for (auto _ : state) CDraw::DrawImage(id, 0, 0);
}
BENCHMARK(BM_BackgroundBlitOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
