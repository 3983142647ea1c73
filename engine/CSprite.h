// The one on-screen object: an animated list of frames (image ids of the image
// store) with a position, a clip window, a layer, a size in cells and a timed
// alpha fade. Every live sprite is on one program-wide list that the renderer
// walks each frame; a sprite marks its own dirty rectangles when it changes.
//
// A sprite without frames is inert: showing, fading, drawing, stepping or
// choosing a frame does nothing, so it never reaches the renderer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CSpriteState.h"

struct SDL_Surface;
#include "engine/Rect.h"

// Layer ids: a sprite's layer is what the painter's order
// (engine/PaintersOrder.cpp) compares first. World layers (below 100) are
// ordered by rules about their kinds and their cells, screen layers (1100
// and above) by a fixed precedence.
enum SpriteLayer {
    // The world.
    LAYER_TERRAIN = 10,  // grass, ice, sand, bridges: its tileY is its top row
    LAYER_BRIDGE_COLLAPSE = 11,
    LAYER_LADDER_SEGMENT = 12,
    LAYER_LADDER_PLATFORM = 13,
    LAYER_GATE_BACK = 20,
    LAYER_GATE_FRONT = 21,
    LAYER_GATE_LIGHTS = 22,
    LAYER_FLOOR_BUTTON = 23,
    LAYER_GATE_BACK_CLOSING = 24,  // in front of what stands in the cell while it shuts
    LAYER_TRAMPOLINE_BACK = 30,
    LAYER_TRAMPOLINE_FRONT = 31,
    LAYER_TRAMPOLINE_CANVAS_LEFT = 32,  // stretched to the left
    LAYER_TRAMPOLINE_CANVAS = 33,
    LAYER_TUBE = 40,
    LAYER_TUBE_LIGHTS = 41,
    LAYER_TUBE_ARROW = 42,
    LAYER_POWERUP_ICON = 50,
    LAYER_POWERUP_HALO = 51,
    LAYER_POWERUP_CAPTION = 52,
    LAYER_GUNSHOT = 53,
    LAYER_POWERUP_OVER = 54,  // a power-up's parts over the world (no piece draws there now)
    LAYER_POWERUP_TOP = 55,
    LAYER_TUTORIAL_SIGN = 56,
    LAYER_TELEPORT_FRONT = 60,
    LAYER_TELEPORT_PORTAL = 61,
    LAYER_TELEPORT_BACK = 62,
    LAYER_TELEPORT_GHOST = 64,   // the copy of an element passing through a teleport pair
    LAYER_TELEPORT_GLOW_LEFT = 65,
    LAYER_TELEPORT_GLOW_RIGHT = 66,
    LAYER_TELEPORT_PASSER = 67,  // the element's own sprite while it passes
    LAYER_BOT = 70,
    LAYER_HERO = 71,
    LAYER_CAUGHT = 72,
    LAYER_HERO_IN_TUBE = 73,
    LAYER_OBJECT = 80,  // crates, barrels, magnets
    LAYER_OVERLAY = 90,  // the heat glow, the EMP
    LAYER_EMP = 91,
    LAYER_EXPLOSION_HOT = 92,
    LAYER_EXPLOSION_COLD = 93,
    // The screen.
    LAYER_BACKGROUND = 1100,
    LAYER_BACKGROUND_GRID = 1101,
    LAYER_FLASH = 1102,  // the world's flash, ordered as the pointer
    LAYER_SWAP = 1103,   // the snapshot of the screen before a switch
    LAYER_PALETTE_DIMMER = 1200,
    LAYER_PALETTE_SHADOW = 1300,
    LAYER_PALETTE = 1301,
    LAYER_PALETTE_SELECTOR = 1302,
    LAYER_GUI_TOP = 1303,
    LAYER_GUI_BOTTOM = 1304,
    LAYER_MOUSE = 1305,  // the pointer, the hourglass and the topmost pieces of play and palette
    LAYER_EDITOR_PLACER = 1306,
    LAYER_EDITOR_LADDER = 1307,
    LAYER_EDITOR_TERRAIN = 1308,
    LAYER_EDITOR_TELEPORT = 1309,
    LAYER_EDITOR_ELEMENT = 1310,
    LAYER_MAIN_VOLCANO_GLOW = 1400,  // the main menu's pieces
    LAYER_MAIN_VOLCANO_SMOKE = 1401,
    LAYER_MAIN_VOLCANO = 1402,
    LAYER_MAIN_LEFT_ARM = 1403,
    LAYER_MAIN_HEAD = 1404,
    LAYER_MAIN_BODY = 1405,
    LAYER_MAIN_RIGHT_ARM = 1406,
    LAYER_MAIN_LEAVES = 1407,
    LAYER_MAIN_PROFILE = 1408,
    LAYER_CL0 = 1410,  // the layers of the screens and their boxes, back to front
    LAYER_CL1 = 1411,
    LAYER_CL2 = 1412,
    LAYER_CL3 = 1413,
    LAYER_CL4 = 1414,
    LAYER_CL5 = 1415,
    LAYER_CL_SHADOW = 1420,  // a button's layers
    LAYER_CL_BUTTON = 1421,
    LAYER_CL_ROLL = 1422,
    LAYER_CL_TEXT = 1423,
    LAYER_CL_LOGO0 = 1430,  // the intro's splash and logo pictures
    LAYER_CL_LOGO1 = 1431,
    LAYER_CL_LOGO2 = 1432,
    LAYER_CL_LOGO3 = 1433,
    LAYER_CL_LOGO4 = 1434,
    LAYER_CL_TOP = 1450,
    LAYER_CL_CLOUD = 1500,  // the main menu's clouds
};

// Sprites of layers up to this one are world sprites: Show sets their
// previous position.
constexpr int kSpriteWorldLayerMax = 999;
// Pixels per grid cell.
constexpr int kSpriteCellSize = 24;
// The previous position meaning "not on screen before".
constexpr int kSpriteNotDrawn = -999;

// The fields that undo keeps are those of the CSpriteState a sprite is
// built on: declared there only, and copied whole by GetState and SetState.
class CSprite : private CSpriteState {
public:
    // The layer is one of SpriteLayer: a bare number does not compile.
    CSprite(SpriteLayer layer, int frameDelay, bool sharedFrames);
    // The origin is given in the level layout's coordinates: it is stored as
    // (originX - 29, originY - 20).
    CSprite(int originX, int originY, SpriteLayer layer, int frameDelay, bool sharedFrames, int tileW, int tileH);
    ~CSprite();
    // A second sprite with the same frames and every field of this one, on
    // the live list (the teleport ghost and its undo copies).
    CSprite* Clone() const;
    CSprite(const CSprite&) = delete;

    // Frames. The id form takes an image the caller already holds.
    void AddFrame(int imageId);
    void AddFrame(const char* name);
    void AddFrame(const char* name, int count);
    void AddFrames(const char* prefix, int from, int to, const char* suffix, int step);
    // Renders string-table entry 300 with text as its first value into a box
    // and registers it as imageName (after releasing what was registered under
    // that name), then appends it.
    void AddTextFrame(const char* text, int boxW, int boxH, int align, const char* imageName, bool clearFrames);
    void AddTextFrame(int stringId, int boxW, int boxH, int align, const char* imageName, bool clearFrames);
    // -1 for an index outside the frames.
    int GetFrameImage(int i) const;
    int GetFrameCount() const { return static_cast<int>(frames.size()); }

    // Position. The relative forms subtract the origin.
    void SetPosition(int px, int py, bool previous);
    int GetX(bool relative) const { return relative ? x - originX : x; }
    int GetY(bool relative) const { return relative ? y - originY : y; }
    int GetPrevX(bool relative) const { return relative ? prevX - originX : prevX; }
    int GetPrevY(bool relative) const { return relative ? prevY - originY : prevY; }
    // The screen rectangle {x - originX, y - originY, w, h}.
    void GetRect(Rect* out) const;
    Rect GetRect() const;
    int GetWidth(bool full) const { return full ? fullW : w; }
    int GetHeight(bool full) const { return full ? fullH : h; }

    int GetTileX() const { return tileX; }
    int GetTileY() const { return tileY; }
    int GetPrevTileX() const { return prevTileX; }
    int GetPrevTileY() const { return prevTileY; }
    int GetTileWidth() const { return tileW; }
    int GetTileHeight() const { return tileH; }
    void SetTileWidth(int v) { tileW = v; }
    void SetTileHeight(int v) { tileH = v; }
    // The cell extent; terrain (LAYER_TERRAIN) counts its rows down from tileY,
    // every other layer counts up from tileY as its bottom row.
    int GetLeftTile(bool previous) const;
    int GetRightTile(bool previous) const;
    int GetTopTile(bool previous) const;
    int GetBottomTile(bool previous) const;

    int GetOriginX() const { return originX; }
    int GetOriginY() const { return originY; }
    // A new origin moves the picture: both places are repainted.
    void SetOriginX(int v) { MoveOrigin(v - 29, originY); }
    void SetOriginY(int v) { MoveOrigin(originX, v - 20); }
    void ResetOriginX() { MoveOrigin(origin0X, originY); }
    int GetOriginalOriginX() const { return origin0X; }
    void ResetOriginY() { MoveOrigin(originX, origin0Y); }

    // The mouse within the visible window grown by the margins, edges included.
    bool IsMouseOver(int marginX, int marginY) const;
    bool IsMoving() const { return movingLeft || movingRight || movingUp || movingDown; }
    bool IsMovingUp() const { return movingUp != 0; }
    bool IsMovingDown() const { return movingDown != 0; }
    bool IsMovingLeft() const { return movingLeft != 0; }
    bool IsMovingRight() const { return movingRight != 0; }

    // Clip window, limited to the frame.
    void SetClipX(int v);
    void SetClipY(int v);
    void SetClipWidth(int v);
    void SetClipHeight(int v);
    void ResetClipWidth();
    void ResetClipHeight();
    void ResetClip();
    int GetClipX() const { return clipX; }
    int GetClipY() const { return clipY; }

    int GetType() const { return type; }
    // A new layer can change what is in front: the sprite is repainted.
    void SetType(SpriteLayer layer);
    void RestoreType();
    int GetOriginalType() const { return originalType; }

    void Show(int px, int py);
    void Hide() { hidden = 1; }
    bool IsHidden() const { return hidden != 0; }
    void ForceRedraw() { forceRedraw = 1; }

    void Play(bool forward);
    void StopAnimation() { animState = 0; }
    bool IsStopped() const { return animState == 0; }
    bool IsPlayingForward() const { return animState == 1; }
    bool IsPlayingBackward() const { return animState == -1; }
    int GetAnimationState() const { return animState; }
    void Rewind();
    void Finish();
    void SetFrame(int i);
    int GetFrame() const { return frame; }
    void SetLooping(bool on) { looping = on ? 1 : 0; }
    bool IsLooping() const { return looping != 0; }
    bool IsFinished() const { return finished != 0; }

    // A fade runs in a straight line from startAlpha to endAlpha over the
    // duration; a fade-out hides the sprite at its end.
    void SetFadeOut(int durationMs, int startAlpha, int endAlpha);
    void SetFadeIn(int durationMs, int startAlpha, int endAlpha);
    bool IsFading() const { return fadeMode != 0; }
    // The alpha the fade gives at tick now (the end alpha once it is over).
    int GetFadeAlpha(uint32_t now) const;

    CSpriteState GetState() const;
    void SetState(const CSpriteState& s);

    // Once per rendered frame: animation, fade, dirty marking, tile bookkeeping.
    void Update();
    // Blits the current frame at (x, y) and puts that area on the display at
    // once (the pointer sprites, outside the renderer).
    void Draw();
    // Blits the part of the sprite inside rect onto the screen surface.
    void DrawPart(const Rect& rect);

    // The name is copied: callers often build it in passing.
    void SetName(const char* n) { name = n ? n : ""; }
    const char* GetName() const { return name.c_str(); }

    // The tick source of the fades (SDL_GetTicks by default); tests replace it.
    using Clock = uint32_t (*)();
    static void SetClock(Clock clock);
    static uint32_t Now();

private:
    // Field-by-field copy, for Clone only.
    CSprite& operator=(const CSprite&) = default;
    void MoveOrigin(int ox, int oy);
    void AppendFrame(int imageId);
    void ReplaceTextFramesBegin();
    void AppendTextSurface(SDL_Surface* surface, int boxW, int boxH, const char* imageName);
    void ApplyAlpha(int alpha);
    void HandleFade();
    void SetFade(int mode, int durationMs, int startAlpha, int endAlpha);

    std::vector<int> frames;
    uint8_t sharedFrames;
    int32_t origin0X, origin0Y;
    int32_t tileW, tileH;
    int32_t originalType;
    int32_t frameDelay;
    int32_t fullW = 0, fullH = 0;
    uint8_t looping = 0;
    std::string name;
};

// The live sprite list, in order of insertion.
std::vector<CSprite*>& GetSpriteList();
// The list a swapped-out screen's sprites wait on.
std::vector<CSprite*>& GetSetAsideSpriteList();
// Appends an existing sprite to the live list (nothing when it is already on it).
void AddSpriteToList(CSprite* sprite);
// Takes a sprite off the live list; a sprite not on it is ignored.
void RemoveSprite(CSprite* sprite);
// restore false: the live list is set aside and the live list keeps only the
// pointer sprites; restore true: the set-aside sprites come back, followed by
// the pointer sprites.
void SwapSpriteLists(bool restore);
void UpdateAllSprites();
void DumpAllSprites();
void DumpSprite(CSprite* sprite);
