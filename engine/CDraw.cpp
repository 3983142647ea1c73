// The display half of CDraw: video mode, load screen and progress bar, frame
// pacing and presenting, full-screen switching, surfaces and drawing by id.
// The image store half is in ImageStore.cpp.
#include "engine/CDraw.h"

#include <cstring>

#include <SDL_image.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/CAtomicFile.h"
#include "engine/CImageRecord.h"
#include "engine/DataFolder.h"
#include "engine/FileReading.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/Log.h"
#include "engine/ResourceFiles.h"
#include "engine/Utilities.h"
#include "players/CProfile.h"

SDL_Surface* CDraw::ptrScreen = nullptr;
SDL_Surface* CDraw::ptrIcon = nullptr;
SDL_Surface* CDraw::ptrBar = nullptr;
uint8_t CDraw::FPSOutput = 0;
uint8_t CDraw::FPSLock = 1;

namespace {

const char* const kCaption = "Professor Tumblewick and the Pyrowhorl";
const int kScreenW = 800;
const int kScreenH = 600;
// A bitmap file's two headers and, for a screen of 256 colours, its palette.
constexpr size_t kBmpHeadersBound = 14 + 40 + 256 * 4;
const int kBarX = 360;
const int kBarY = 527;

CProfile* g_settings = nullptr;
bool g_fullscreen = false;
bool g_fullFlip = false;
int g_forceFullFlip = -1;
uint32_t g_framePeriod = 33;
uint32_t g_lastFrameTick = 0;
uint32_t g_frameCounter = 0;
uint32_t g_lastFpsTick = 0;
uint32_t g_framesAtLastFps = 0;
uint32_t g_fps = 0;
bool g_presentSuspended = false;
int g_progressDrawn = 0;
int g_progressTotal = 0;
int g_progressValue = 0;

uint32_t DefaultTicks() { return SDL_GetTicks(); }
void DefaultDelay(uint32_t ms) { SDL_Delay(ms); }
CDraw::TickFn g_ticks = DefaultTicks;
CDraw::DelayFn g_delay = DefaultDelay;

CDraw::DirtyRectsFn g_getDirty = nullptr;
CDraw::ClearDirtyFn g_clearDirty = nullptr;
CDraw::FullscreenOptionFn g_fullscreenQuery = nullptr;
CDraw::FullscreenClearFn g_fullscreenClear = nullptr;
CDraw::SetModeFn g_setMode = SDL_SetVideoMode;

CDraw::PresentKind g_lastPresentKind = CDraw::kPresentedNothing;
std::vector<SDL_Rect> g_lastPresentRects;
uint32_t g_presentCount = 0;

bool ReadFullscreenOption() {
    if (g_fullscreenQuery) return g_fullscreenQuery();
    if (g_settings) return g_settings->IsFullscreen();
    return false;
}

void ClearFullscreenOption() {
    if (g_fullscreenClear) {
        g_fullscreenClear();
        return;
    }
    // The profile calls back into ToggleFullscreen(true, false), which finds
    // the display already windowed and does nothing.
    if (g_settings) g_settings->SetFullscreen(false);
}

}  // namespace

// ---------------------------------------------------------------------------
// Start-up and shut-down

CDraw::CDraw() {
    DebugLog(DBG_DRAW, "Initializing SDL...\n");
    // The game opens a window on the X display, or nothing: where it cannot,
    // SDL would go on to the next driver it knows and draw the game as text
    // over the terminal it was started from. A driver the user chose is his.
    const char* chosen = getenv("SDL_VIDEODRIVER");
    const bool ownDriver = chosen && *chosen;
    if (!ownDriver) setenv("SDL_VIDEODRIVER", "x11", 1);
    const bool started = SDL_Init(SDL_INIT_VIDEO) >= 0;
    // What the game starts (the browser) gets the environment it was given.
    if (!ownDriver) unsetenv("SDL_VIDEODRIVER");
    if (!started && !ownDriver) {
        const char* display = getenv("DISPLAY");
        const std::string which =
            display && *display ? " '" + EscapeControls(display) + "'" : std::string(": DISPLAY is not set");
        fprintf(stderr, "zorv: cannot open the display%s (another video driver: set SDL_VIDEODRIVER)\n",
                which.c_str());
        exit(1);
    }
    if (!started) ErrorLog(true, "Unable to initialize SDL: %s\n", SDL_GetError());
    atexit(SDL_Quit);
    SetCaptionAndIcon();
    DebugLog(DBG_DRAW, "Hiding cursor...\n");
    SDL_ShowCursor(SDL_DISABLE);
    SetVideoMode();
    ShowLoadScreen();
}

CDraw::~CDraw() {
    DebugLog(DBG_DRAW, "Releasing ptrScreen surface...\n");
    if (ptrScreen) SDL_FreeSurface(ptrScreen);
    ptrScreen = nullptr;
    if (ptrBar) SDL_FreeSurface(ptrBar);
    ptrBar = nullptr;
    DebugLog(DBG_DRAW, "Releasing ptrIcon surface...\n");
    if (ptrIcon) SDL_FreeSurface(ptrIcon);
    ptrIcon = nullptr;
    DebugLog(DBG_DRAW, "Clearing image vector...\n");
    FreeImageStore();
    DebugLog(DBG_DRAW, "Showing cursor...\n");
    SDL_ShowCursor(SDL_ENABLE);
}

void CDraw::SetCaptionAndIcon() {
    SDL_WM_SetCaption(kCaption, kCaption);
    DebugLog(DBG_DEBUG, "Loading ICON_URL:  %s\n", kWindowIconFile);
    if (ptrIcon) SDL_FreeSurface(ptrIcon);
    // Opened as every file the game reads: a pipe in its place is no icon,
    // never a start that waits for a writer.
    SDL_RWops* rw = OpenForReadingRW(kWindowIconFile);
    ptrIcon = rw ? SDL_LoadBMP_RW(rw, 1) : nullptr;
    if (!ptrIcon) {
        // A window without an icon is better than no game at all.
        TellResourceFileFailed(kWindowIconFile);
        DebugLog(DBG_WARNING, "CDraw::SetCaptionAndIcon()   No icon: %s\n", SDL_GetError());
        return;
    }
    SDL_SetColorKey(ptrIcon, SDL_SRCCOLORKEY, SDL_MapRGB(ptrIcon->format, 255, 0, 255));
    SDL_WM_SetIcon(ptrIcon, nullptr);
}

void CDraw::SetVideoMode() {
    g_fullFlip = g_forceFullFlip >= 0 ? g_forceFullFlip == 1 : IsVistaOrLater();
    g_fullscreen = ReadFullscreenOption();
    Uint32 flags = g_fullscreen ? SDL_FULLSCREEN : SDL_SWSURFACE;
    DebugLog(DBG_DRAW, "Checking video mode...\n");
    int bpp = SDL_VideoModeOK(kScreenW, kScreenH, 32, flags);
    DebugLog(DBG_DRAW, "Setting video mode...\n");
    ptrScreen = g_setMode(kScreenW, kScreenH, bpp ? bpp : 32, flags);
    if (!ptrScreen && g_fullscreen) {
        // A full-screen mode this machine cannot show must not lock the
        // player out: fall back to a window and forget the option.
        DebugLog(DBG_WARNING, "CDraw::SetVideoMode()   Full screen failed (%s), using a window\n",
                 SDL_GetError());
        g_fullscreen = false;
        flags = SDL_SWSURFACE;
        bpp = SDL_VideoModeOK(kScreenW, kScreenH, 32, flags);
        ptrScreen = g_setMode(kScreenW, kScreenH, bpp ? bpp : 32, flags);
        if (ptrScreen) ClearFullscreenOption();
    }
    if (!ptrScreen) {
        ErrorLog(true, "Unable to set video mode: %s\n", SDL_GetError());
        return;
    }
    SDL_SetClipRect(ptrScreen, nullptr);
}

void CDraw::ShowLoadScreen() {
    DebugLog(DBG_DEBUG, "Loading LOAD1_URL:  %s\n", kLoadScreenFile);
    SDL_RWops* rw = OpenForReadingRW(kLoadScreenFile);
    SDL_Surface* image = rw ? IMG_LoadTyped_RW(rw, 1, const_cast<char*>("JPG")) : nullptr;
    if (!image) {
        TellResourceFileFailed(kLoadScreenFile);
        ErrorLog(true, "Unable to load image: %s\n", SDL_GetError());
        return;
    }
    if (ptrScreen) {
        SDL_BlitSurface(image, nullptr, ptrScreen, nullptr);
        SDL_Flip(ptrScreen);
    }
    SDL_FreeSurface(image);
}

// ---------------------------------------------------------------------------
// Progress bar

void CDraw::LoadProgressBar(int imageCount) {
    DebugLog(DBG_DEBUG, "Loading LOAD2_URL:  %s\n", kProgressBarFile);
    SDL_RWops* rw = OpenForReadingRW(kProgressBarFile);
    SDL_Surface* image = rw ? IMG_LoadTyped_RW(rw, 1, const_cast<char*>("PNG")) : nullptr;
    if (!image) {
        TellResourceFileFailed(kProgressBarFile);
        ErrorLog(true, "Unable to load image: %s\n", SDL_GetError());
        return;
    }
    if (ptrBar) SDL_FreeSurface(ptrBar);
    ptrBar = ConvertSurface(image, true);
    g_progressTotal = imageCount + 23700;
}

void CDraw::StepProgress(int n) {
    g_progressValue += n;
    if (g_progressValue > g_progressTotal) g_progressValue = g_progressTotal;
    DrawProgress(g_progressValue);
}

void CDraw::DrawProgress(int value) {
    if (!ptrBar || g_progressTotal <= 0) return;
    const int width = static_cast<int>(static_cast<double>(value) / g_progressTotal * ptrBar->w);
    if (width <= g_progressDrawn) return;
    g_progressDrawn = width;
    if (!ptrScreen) return;
    SDL_Rect src = {0, 0, static_cast<Uint16>(width), static_cast<Uint16>(ptrBar->h)};
    SDL_Rect dst = {kBarX, kBarY, 0, 0};
    SDL_BlitSurface(ptrBar, &src, ptrScreen, &dst);
    UpdateRect(kBarX, kBarY, width, ptrBar->h);
}

int CDraw::GetProgressTotal() { return g_progressTotal; }
int CDraw::GetProgressValue() { return g_progressValue; }
int CDraw::GetProgressDrawn() { return g_progressDrawn; }

// ---------------------------------------------------------------------------
// Frames

void CDraw::Present(bool useDirtyRects, bool countFrame) {
    if (g_presentSuspended) return;

    const uint32_t target = g_lastFrameTick + (FPSLock ? g_framePeriod : 0);
    uint32_t now = g_ticks();
    while (now < target) {
        if (now - g_lastFrameTick < g_framePeriod / 2) {
            g_delay(1);
        } else {
            g_delay(0);
        }
        now = g_ticks();
    }
    g_lastFrameTick = now;
    if (countFrame) ++g_frameCounter;

    if (now - g_lastFpsTick >= 1000) {
        g_lastFpsTick = now;
        g_fps = g_frameCounter - g_framesAtLastFps;
        g_framesAtLastFps = g_frameCounter;
        if (FPSOutput) {
            printf("FPS %i   (TICK=%i  FRAME=%i)\n", static_cast<int>(g_fps), static_cast<int>(now),
                   static_cast<int>(g_frameCounter));
        }
    }

    if (useDirtyRects && !g_fullFlip) {
        std::vector<Rect> dirty;
        if (g_getDirty) g_getDirty(&dirty);
        g_lastPresentRects.clear();
        for (const Rect& r : dirty) {
            // The renderer clips to the screen already; SDL does not check,
            // so nothing outside the surface is ever handed to it.
            int x = r.x, y = r.y, w = r.w, h = r.h;
            if (!ClipUpdateRect(&x, &y, &w, &h)) continue;
            SDL_Rect s = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                          static_cast<Uint16>(h)};
            g_lastPresentRects.push_back(s);
        }
        if (ptrScreen && !g_lastPresentRects.empty()) {
            SDL_UpdateRects(ptrScreen, static_cast<int>(g_lastPresentRects.size()), g_lastPresentRects.data());
        }
        g_lastPresentKind = kPresentedRects;
    } else {
        if (ptrScreen) SDL_Flip(ptrScreen);
        g_lastPresentRects.clear();
        g_lastPresentKind = kPresentedWholeScreen;
    }
    ++g_presentCount;

    if (g_clearDirty) g_clearDirty();
}

void CDraw::SetPresentSuspended(bool suspended) { g_presentSuspended = suspended; }
bool CDraw::IsPresentSuspended() { return g_presentSuspended; }

void CDraw::SetFrameRate(int speed) {
    static const uint32_t kPeriods[12] = {66, 60, 55, 50, 45, 40, 33, 30, 25, 20, 15, 10};
    g_framePeriod = (speed >= 0 && speed < 12) ? kPeriods[speed] : 33;
}

uint32_t CDraw::GetFramePeriod() { return g_framePeriod; }
uint32_t CDraw::GetFrame() { return g_frameCounter; }

// ---------------------------------------------------------------------------
// Full screen

void CDraw::ToggleFullscreen(bool onlyIfDifferent, bool wanted) {
    if (onlyIfDifferent && g_fullscreen == wanted) return;
    const int mouseX = GetMouseX();
    const int mouseY = GetMouseY();
    g_fullscreen = !g_fullscreen;

    SDL_Surface* saved = nullptr;
    if (ptrScreen) {
        saved = CopySurfaceLike(ptrScreen, ptrScreen->w, ptrScreen->h);
        if (saved) SDL_BlitSurface(ptrScreen, nullptr, saved, nullptr);
    }
    SetVideoMode();
    if (saved) {
        if (ptrScreen) {
            SDL_BlitSurface(saved, nullptr, ptrScreen, nullptr);
            SDL_Flip(ptrScreen);
        }
        SDL_FreeSurface(saved);
    }
    WarpMouse(mouseX, mouseY);
}

bool CDraw::IsFullscreen() { return g_fullscreen; }
void CDraw::SetSettings(CProfile* settings) { g_settings = settings; }

// ---------------------------------------------------------------------------
// Screen output

bool CDraw::ClipUpdateRect(int* x, int* y, int* w, int* h) {
    if (*x > kScreenW - 1 || *y > kScreenH - 1) return false;
    if (*x < 0) {
        *w += *x;
        *x = 0;
    }
    if (*y < 0) {
        *h += *y;
        *y = 0;
    }
    if (*w > kScreenW - *x) *w = kScreenW - *x;
    if (*h > kScreenH - *y) *h = kScreenH - *y;
    // SDL reads a 0 x 0 rectangle as "the whole screen"; an empty one is
    // simply skipped.
    return *w > 0 && *h > 0;
}

void CDraw::UpdateRect(int x, int y, int w, int h) {
    if (!ClipUpdateRect(&x, &y, &w, &h)) return;
    if (ptrScreen) SDL_UpdateRect(ptrScreen, x, y, static_cast<Uint32>(w), static_cast<Uint32>(h));
}

bool CDraw::SaveScreenBMP(const char* path, int* error) {
    int failed = EINVAL;
    if (path && ptrScreen) {
        // Encoded in memory, then written as every file of the game is
        // (engine/CAtomicFile.h): every write checked, so that a full disk
        // fails the capture with its reason, and nothing half-written stays.
        std::vector<uint8_t> bytes(kBmpHeadersBound + static_cast<size_t>(ptrScreen->h) *
                                                           (static_cast<size_t>(ptrScreen->w) * 4 + 4));
        SDL_Surface* copy = CopySurfaceLike(ptrScreen, ptrScreen->w, ptrScreen->h);
        SDL_RWops* rw = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
        const bool encoded = copy && rw && SDL_BlitSurface(ptrScreen, nullptr, copy, nullptr) == 0 &&
                             SDL_SaveBMP_RW(copy, rw, 0) == 0;
        bytes.resize(encoded ? static_cast<size_t>(SDL_RWtell(rw)) : 0);
        if (rw) SDL_RWclose(rw);
        if (copy) SDL_FreeSurface(copy);
        if (encoded) {
            CAtomicFile file(path);
            FILE* out = file.Open();
            if (out && fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) file.MarkFailed();
            failed = out && file.Commit() ? 0 : file.Error();
        }
    }
    if (error) *error = failed;
    if (failed == 0)
        DebugLog(DBG_DEBUG, "Screen Surface Saved to BMP:  %s\n", path);
    else
        DebugLog(DBG_WARNING, "CDraw::SaveScreenBMP()   Cannot write '%s': %s\n", path ? path : "",
                 strerror(failed));
    return failed == 0;
}

void CDraw::SetUrlDir(bool on) { DRAW_URL_DIR = on; }
bool CDraw::GetUrlDir() { return DRAW_URL_DIR; }
bool CDraw::HasScreen() { return ptrScreen != nullptr; }
SDL_Surface* CDraw::GetScreen() { return ptrScreen; }

void CDraw::CloseScreen() {
    // The screen surface belongs to SDL, which frees it with the video.
    ptrScreen = nullptr;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void CDraw::ToggleFPSOutput() {
    FPSOutput = !FPSOutput;
    printf("Setting FPSOutput to %i\n", FPSOutput);
}

void CDraw::ToggleFPSLock() {
    FPSLock = !FPSLock;
    printf("Setting FPSLock to %i\n", FPSLock);
}

// ---------------------------------------------------------------------------
// Surfaces

SDL_Surface* CDraw::ConvertSurface(SDL_Surface* s, bool freeSource) {
    if (!s) return nullptr;
    SDL_Surface* converted = s->format->Amask ? SDL_DisplayFormatAlpha(s) : SDL_DisplayFormat(s);
    if (freeSource) SDL_FreeSurface(s);
    return converted;
}

SDL_Surface* CDraw::CopySurfaceLike(SDL_Surface* like, int w, int h) {
    const SDL_PixelFormat* f = like->format;
    const Uint32 flags = SDL_SWSURFACE | (like->flags & (SDL_SRCALPHA | SDL_SRCCOLORKEY));
    return SDL_CreateRGBSurface(flags, w, h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask);
}

SDL_Surface* CDraw::GetSurface(ImageId id) {
    if (id < 0 || static_cast<size_t>(id) >= imageVector.size()) return nullptr;
    return imageVector[static_cast<size_t>(id)];
}

int CDraw::GetWidth(ImageId id) {
    SDL_Surface* s = GetSurface(id);
    return s ? s->w : 0;
}

int CDraw::GetHeight(ImageId id) {
    SDL_Surface* s = GetSurface(id);
    return s ? s->h : 0;
}

int CDraw::GetImageCount() { return static_cast<int>(imageVector.size()); }

uint32_t CDraw::GetPixel(SDL_Surface* s, int x, int y) {
    if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return 0;
    const int bpp = s->format->BytesPerPixel;
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * bpp;
    switch (bpp) {
        case 1:
            return *p;
        case 2:
            return *reinterpret_cast<const uint16_t*>(p);
        case 3:
            return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                   (static_cast<uint32_t>(p[2]) << 16);
        case 4:
            return *reinterpret_cast<const uint32_t*>(p);
        default:
            return 0;
    }
}

void CDraw::PutPixel(SDL_Surface* s, int x, int y, uint32_t pixel) {
    if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return;
    const int bpp = s->format->BytesPerPixel;
    uint8_t* p = static_cast<uint8_t*>(s->pixels) + y * s->pitch + x * bpp;
    switch (bpp) {
        case 1:
            *p = static_cast<uint8_t>(pixel);
            break;
        case 2:
            *reinterpret_cast<uint16_t*>(p) = static_cast<uint16_t>(pixel);
            break;
        case 3:
            p[0] = static_cast<uint8_t>(pixel);
            p[1] = static_cast<uint8_t>(pixel >> 8);
            p[2] = static_cast<uint8_t>(pixel >> 16);
            break;
        case 4:
            *reinterpret_cast<uint32_t*>(p) = pixel;
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------
// Drawing by id

void CDraw::DrawImage(ImageId id, int x, int y) {
    SDL_Surface* s = GetSurface(id);
    if (!s || !ptrScreen) return;
    SDL_Rect dst = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(s, nullptr, ptrScreen, &dst);
}

namespace {

// An opaque picture in the screen's own pixel format needs no blending: copy
// its rows with memcpy. SDL's own copy uses non-temporal stores, which push the
// fresh pixels out of the cache just before the sprites in front are blended
// over them; on a full repaint of the play screen that doubles the frame time.
bool CopyOpaqueRows(SDL_Surface* s, SDL_Surface* screen, int x, int y, int sx, int sy, int w, int h) {
    const SDL_PixelFormat* sf = s->format;
    const SDL_PixelFormat* df = screen->format;
    if ((s->flags & (SDL_SRCALPHA | SDL_SRCCOLORKEY)) || sf->BytesPerPixel != 4 || df->BytesPerPixel != 4 ||
        sf->Rmask != df->Rmask || sf->Gmask != df->Gmask || sf->Bmask != df->Bmask || SDL_MUSTLOCK(s) ||
        SDL_MUSTLOCK(screen)) {
        return false;
    }
    const SDL_Rect& clip = screen->clip_rect;
    int left = std::max(x, static_cast<int>(clip.x));
    int top = std::max(y, static_cast<int>(clip.y));
    const int right = std::min(x + w, clip.x + static_cast<int>(clip.w));
    const int bottom = std::min(y + h, clip.y + static_cast<int>(clip.h));
    if (right <= left || bottom <= top) return true;
    const int srcX = sx + (left - x);
    const int srcY = sy + (top - y);
    const size_t bytes = static_cast<size_t>(right - left) * 4;
    for (int row = 0; row < bottom - top; ++row) {
        const uint8_t* from = static_cast<const uint8_t*>(s->pixels) + (srcY + row) * s->pitch + srcX * 4;
        uint8_t* to = static_cast<uint8_t*>(screen->pixels) + (top + row) * screen->pitch + left * 4;
        memcpy(to, from, bytes);
    }
    return true;
}

}  // namespace

void CDraw::DrawImagePart(ImageId id, int x, int y, int sx, int sy, int w, int h) {
    SDL_Surface* s = GetSurface(id);
    if (!s || !ptrScreen) return;
    SDL_Rect dst = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    if (sx + w <= s->w && sy + h <= s->h && w >= 0 && h >= 0) {
        if (sx >= 0 && sy >= 0 && CopyOpaqueRows(s, ptrScreen, x, y, sx, sy, w, h)) return;
        SDL_Rect src = {static_cast<Sint16>(sx), static_cast<Sint16>(sy), static_cast<Uint16>(w),
                        static_cast<Uint16>(h)};
        SDL_BlitSurface(s, &src, ptrScreen, &dst);
    } else {
        SDL_BlitSurface(s, nullptr, ptrScreen, &dst);
    }
}

void CDraw::BlitRect(ImageId id, SDL_Rect* src, SDL_Rect* dst) {
    SDL_Surface* s = GetSurface(id);
    if (!s || !ptrScreen) return;
    SDL_BlitSurface(s, src, ptrScreen, dst);
}

void CDraw::BlitTo(ImageId id, SDL_Surface* target, int x, int y, int sx, int sy, int w, int h) {
    SDL_Surface* s = GetSurface(id);
    if (!s || !target) return;
    w = std::max(0, std::min(w, s->w));
    h = std::max(0, std::min(h, s->h));
    SDL_Rect src = {static_cast<Sint16>(sx), static_cast<Sint16>(sy), static_cast<Uint16>(w),
                    static_cast<Uint16>(h)};
    SDL_Rect dst = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(s, &src, target, &dst);
}

void CDraw::BlitImageOnImage(ImageId srcId, ImageId dstId, int x, int y) {
    SDL_Surface* s = GetSurface(srcId);
    SDL_Surface* d = GetSurface(dstId);
    if (!s || !d) return;
    SDL_Rect dst = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(s, nullptr, d, &dst);
}

void CDraw::SetAlpha(ImageId id, uint8_t alpha, uint32_t flags) {
    SDL_Surface* s = GetSurface(id);
    if (s) SDL_SetAlpha(s, flags, alpha);
}

void CDraw::AdjustAlpha(ImageId id, int delta) {
    ShiftAlpha(GetSurface(id), delta);
}

void CDraw::DumpPixels(ImageId id) {
    SDL_Surface* s = GetSurface(id);
    if (!s) return;
    SDL_LockSurface(s);
    int i = 0;
    for (int y = 0; y < s->h; ++y) {
        for (int x = 0; x < s->w; ++x) {
            DebugLog(DBG_DRAW, "Pixel %i = %x\n", i++, GetPixel(s, x, y));
        }
    }
    SDL_UnlockSurface(s);
}

// ---------------------------------------------------------------------------
// Seams

void CDraw::SetClock(TickFn ticks, DelayFn delay) {
    g_ticks = ticks ? ticks : DefaultTicks;
    g_delay = delay ? delay : DefaultDelay;
}

void CDraw::SetDirtyRectSource(DirtyRectsFn get, ClearDirtyFn clear) {
    g_getDirty = get;
    g_clearDirty = clear;
}

void CDraw::ForceFullFlip(int mode) {
    g_forceFullFlip = mode < 0 ? -1 : (mode ? 1 : 0);
    g_fullFlip = g_forceFullFlip >= 0 ? g_forceFullFlip == 1 : IsVistaOrLater();
}

bool CDraw::IsFullFlip() { return g_fullFlip; }

void CDraw::SetFullscreenOption(FullscreenOptionFn query, FullscreenClearFn clear) {
    g_fullscreenQuery = query;
    g_fullscreenClear = clear;
}

void CDraw::SetVideoModeHook(SetModeFn fn) { g_setMode = fn ? fn : SDL_SetVideoMode; }

CDraw::PresentKind CDraw::GetLastPresentKind() { return g_lastPresentKind; }
const std::vector<SDL_Rect>& CDraw::GetLastPresentRects() { return g_lastPresentRects; }
uint32_t CDraw::GetPresentCount() { return g_presentCount; }

void CDraw::ResetDisplayState() {
    g_framePeriod = 33;
    g_lastFrameTick = 0;
    g_frameCounter = 0;
    g_lastFpsTick = 0;
    g_framesAtLastFps = 0;
    g_fps = 0;
    g_presentSuspended = false;
    g_progressDrawn = 0;
    g_progressTotal = 0;
    g_progressValue = 0;
    g_lastPresentKind = kPresentedNothing;
    g_lastPresentRects.clear();
    g_presentCount = 0;
    FPSLock = 1;
    FPSOutput = 0;
}
