// The display and the image store. CDraw has only static state: the screen,
// icon and progress-bar surfaces, frame pacing, and every image of the
// program, addressed by an ImageId (index into imageVector) and bound to a
// file-like name ("barrel3.tga") with a count of holders. main creates one
// instance; its constructor brings the display up and its destructor takes
// the display and every image down.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/Rect.h"

class CProfile;
class CImageRecord;

typedef int ImageId;

class CDraw {
public:
    // Starts SDL video, caption and icon, hides the system cursor, sets the
    // video mode and shows the first load screen. Fatal on failure.
    CDraw();
    // Frees the screen, bar and icon surfaces and the whole image store, and
    // shows the system cursor again.
    ~CDraw();

    // ---- Display --------------------------------------------------------
    static void SetCaptionAndIcon();
    static void SetVideoMode();
    static void ShowLoadScreen();

    static void LoadProgressBar(int imageCount);
    static void StepProgress(int n);
    static void DrawProgress(int value);
    static int GetProgressTotal();
    static int GetProgressValue();
    static int GetProgressDrawn();

    // End of a frame: waits for the frame period, counts, puts the dirty
    // rectangles (or the whole screen) on the display and empties the
    // renderer's dirty lists.
    static void Present(bool useDirtyRects, bool countFrame);
    static void SetPresentSuspended(bool suspended);
    static bool IsPresentSuspended();
    static void SetFrameRate(int speed);
    static uint32_t GetFramePeriod();
    static uint32_t GetFrame();

    static void ToggleFullscreen(bool onlyIfDifferent, bool wanted);
    static bool IsFullscreen();
    static void SetSettings(CProfile* settings);

    static void UpdateRect(int x, int y, int w, int h);
    // The screen clipping UpdateRect applies; false when nothing is left.
    static bool ClipUpdateRect(int* x, int* y, int* w, int* h);
    // False, with a warning that says why (and the errno in *error), when the
    // file cannot be written; nothing is left of it then.
    static bool SaveScreenBMP(const char* path, int* error = nullptr);

    static void SetUrlDir(bool on);
    static bool GetUrlDir();
    static bool HasScreen();
    static SDL_Surface* GetScreen();
    // Lets the display go: SDL's video stops and the screen is forgotten
    // (the game keeps its display to the end; whoever opened one for a
    // while, as a test does, closes it so).
    static void CloseScreen();
    static void ToggleFPSOutput();
    static void ToggleFPSLock();

    // ---- Surfaces -------------------------------------------------------
    static SDL_Surface* ConvertSurface(SDL_Surface* s, bool freeSource);
    // Null / 0 for an id that is not a live image.
    static SDL_Surface* GetSurface(ImageId id);
    static int GetWidth(ImageId id);
    static int GetHeight(ImageId id);
    static int GetImageCount();
    static uint32_t GetPixel(SDL_Surface* s, int x, int y);
    static void PutPixel(SDL_Surface* s, int x, int y, uint32_t pixel);

    // ---- Drawing by image id (ids that are not live images draw nothing) --
    static void DrawImage(ImageId id, int x, int y);
    static void DrawImagePart(ImageId id, int x, int y, int sx, int sy, int w, int h);
    static void BlitRect(ImageId id, SDL_Rect* src, SDL_Rect* dst);
    static void BlitTo(ImageId id, SDL_Surface* target, int x, int y, int sx, int sy, int w, int h);
    static void BlitImageOnImage(ImageId srcId, ImageId dstId, int x, int y);
    static void SetAlpha(ImageId id, uint8_t alpha, uint32_t flags);
    static void AdjustAlpha(ImageId id, int delta);
    static void DumpPixels(ImageId id);

    // ---- Image store ----------------------------------------------------
    // Requests an image by name: decodes it when needed, counts one holder.
    // A name that nothing is bound to is fatal.
    static ImageId GetImage(const char* name);
    // The id bound to the name without counting; -1 when none or not decoded.
    static ImageId FindImage(const char* name);
    static void ReleaseImage(ImageId id);
    static void UnloadImage(const char* name);
    // One more holder of the image of id; -1 for an id below 0.
    static ImageId ReacquireImage(ImageId id);
    // Null for an id below 0, which names no image.
    static const char* GetImageName(ImageId id);
    // Decodes by the name's three-letter type and appends, unregistered.
    static ImageId loadImage(SDL_RWops* source, const char* name);
    // Takes the surface, converts, appends and registers it (name may be null).
    static ImageId LoadSurface(SDL_Surface* surface, const char* name);
    static ImageId CaptureScreen(const char* name);
    static ImageId CreateSurface(int width, int height, const char* name);
    static ImageId CreateScreenSurface(const char* name);
    static ImageId CopyImage(const char* sourceName, const char* newName, int dA);
    static void CopyImageSequence(const char* sourcePrefix, const char* newPrefix, int first, int last,
                                  const char* suffix, int dA);
    static void MakeFadeSequence(const char* name, int n, int step);
    static ImageId PadImage(const char* sourceName, const char* newName, int left, int right, int top,
                            int bottom);
    // A copy of an image without its columns [cutX, cutX + cutW) and rows
    // [cutY, cutY + cutH) (what of them lies inside it): what lies right of
    // and below them closes up. -1 when no copy could be made.
    static ImageId CutImage(const char* sourceName, const char* newName, int cutX, int cutW, int cutY, int cutH);
    static void DrawImageOnto(const char* name, ImageId target, int x, int y);
    static ImageId CacheImageRange(const char* prefix, int first, int last, const char* suffix);
    static ImageId AddSurface(SDL_Surface* surface);
    static ImageId LoadImageFromDirectory(const char* name);
    static void DumpImageBuffers(bool all);

    // Binds preloaded file bytes (ownership passes to the store) to a name.
    // A name already bound keeps its first record; the new one is still kept
    // and freed at shut-down.
    static void AddPreloadedImage(const std::string& name, uint8_t* data, uint32_t size);
    // Empties the three maps, deleting every record and its bytes.
    static void ClearRecords();
    // Frees every surface of the store and every record (the destructor's
    // image part; also used by tests between cases).
    static void FreeImageStore();
    // Inspection for tests and the debug listing.
    static int GetRefCount(const char* name);
    static int GetRecordCount();
    static size_t GetLiveImageCount();

    // ---- Seams ----------------------------------------------------------
    // The clock that pacing reads and the delay it sleeps with
    // (SDL_GetTicks / SDL_Delay by default; null restores them).
    using TickFn = uint32_t (*)();
    using DelayFn = void (*)(uint32_t ms);
    static void SetClock(TickFn ticks, DelayFn delay);

    // Where Present takes the dirty rectangles from and how it empties the
    // renderer's lists. The renderer registers these; with none registered
    // Present puts nothing but whole flips on the display.
    using DirtyRectsFn = void (*)(std::vector<Rect>* out);
    using ClearDirtyFn = void (*)();
    static void SetDirtyRectSource(DirtyRectsFn get, ClearDirtyFn clear);

    // -1 follows the operating system (the default), 0 never flips whole,
    // 1 always flips whole. Applied at every SetVideoMode and at once.
    static void ForceFullFlip(int mode);
    static bool IsFullFlip();

    // Where SetVideoMode reads the full-screen option from. By default the
    // settings profile; tests and early start-up may set their own (null
    // restores the default).
    // When a full-screen mode cannot be set, the display falls back to a
    // window and clears the option through the second hook.
    using FullscreenOptionFn = bool (*)();
    using FullscreenClearFn = void (*)();
    static void SetFullscreenOption(FullscreenOptionFn query, FullscreenClearFn clear);
    // The call that opens the video mode (SDL_SetVideoMode by default; null
    // restores it), so tests can refuse a mode.
    using SetModeFn = SDL_Surface* (*)(int width, int height, int bpp, Uint32 flags);
    static void SetVideoModeHook(SetModeFn fn);

    // What the last Present put on the display: nothing yet, the whole
    // screen, or a list of rectangles (GetLastPresentRects); counts every
    // Present that reached the display.
    enum PresentKind { kPresentedNothing = 0, kPresentedWholeScreen = 1, kPresentedRects = 2 };
    static PresentKind GetLastPresentKind();
    static const std::vector<SDL_Rect>& GetLastPresentRects();
    static uint32_t GetPresentCount();
    // Forgets pacing, counters and progress (tests).
    static void ResetDisplayState();

private:
    static SDL_Surface* ptrScreen;
    static SDL_Surface* ptrIcon;
    static SDL_Surface* ptrBar;

    static std::vector<SDL_Surface*> imageVector;
    static std::map<std::string, CImageRecord*> recordByName;
    static std::map<int, CImageRecord*> recordById;
    static std::map<CImageRecord*, std::string> nameByRecord;
    static bool DRAW_URL_DIR;

    static uint8_t FPSOutput;
    static uint8_t FPSLock;

    static SDL_Surface* CopySurfaceLike(SDL_Surface* like, int w, int h);
    // A new picture made from a source's pixels row by row: `size` turns the
    // source's width and height into the new picture's, `row` writes row y
    // of it (bpp bytes a pixel) from the locked source.
    using RowCopy = std::function<void(uint8_t* out, const SDL_Surface* src, int y, int bpp)>;
    static ImageId CopyRowByRow(const char* sourceName, const char* newName, const std::function<void(int*, int*)>& size,
                                const RowCopy& row);
    static void UnbindRecord(CImageRecord* record);
};
