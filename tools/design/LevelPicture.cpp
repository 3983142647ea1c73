#include "tools/design/LevelPicture.h"

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "engine/CBackground.h"
#include "engine/CDraw.h"
#include "engine/CRender.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"

cairo_surface_t* PictureLevel(CLevel* level, std::string* error) {
    CWorldRun run(level);
    if (!run.Start(error)) return nullptr;
    std::unique_ptr<CBackground> background(new CBackground(level->GetBackground()));
    CRender::AddFullScreenDirtyRect();
    CRender::Render(false);
    CRender::ClearDirtyLists();

    SDL_Surface* screen = CDraw::GetScreen();
    if (!screen) {
        *error = "no screen to take the picture from";
        return nullptr;
    }
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, screen->w, screen->h);
    cairo_surface_flush(picture);
    unsigned char* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    if (SDL_MUSTLOCK(screen)) SDL_LockSurface(screen);
    for (int y = 0; y < screen->h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < screen->w; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(CDraw::GetPixel(screen, x, y), screen->format, &r, &g, &b);
            row[x] = (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | b;
        }
    }
    if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
    cairo_surface_mark_dirty(picture);
    return picture;
}
