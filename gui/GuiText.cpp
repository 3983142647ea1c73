#include "gui/GuiText.h"

#include <SDL.h>

#include "engine/CDraw.h"
#include "engine/FontRender.h"
#include "engine/ResourceFiles.h"

namespace {

bool BlitOnto(SDL_Surface* rendered, int imageId, int x, int y) {
    if (!rendered) return false;
    SDL_Surface* target = CDraw::GetSurface(imageId);
    if (!target) {
        SDL_FreeSurface(rendered);
        return false;
    }
    SDL_Rect dst;
    dst.x = static_cast<Sint16>(x);
    dst.y = static_cast<Sint16>(y);
    dst.w = 0;
    dst.h = 0;
    const bool ok = SDL_BlitSurface(rendered, nullptr, target, &dst) == 0;
    SDL_FreeSurface(rendered);
    return ok;
}

}  // namespace

bool BlitString(int textId, int imageId, int boxW, int boxH, int align, int x, int y, const char* v1,
                const char* v2, const char* v3, const char* v4, const char* v5, const char* v6) {
    if (!CDraw::GetSurface(imageId)) return false;
    return BlitOnto(FontRenderString(boxW, boxH, align, textId, v1, v2, v3, v4, v5, v6), imageId, x, y);
}

bool BlitTypedString(int textId, int imageId, int boxW, int boxH, int align, int x, int y, const char* typed,
                     const char* typed2, int pointSize, FontValues values) {
    if (!CDraw::GetSurface(imageId)) return false;
    return BlitOnto(FontRenderStringTyped(boxW, boxH, align, textId, typed, typed2, pointSize, values), imageId, x,
                    y);
}

bool BlitFittedString(const FontFitRequest& request, int imageId, int align, int x, int y, FontFitted* fitted) {
    if (!CDraw::GetSurface(imageId)) return false;
    return BlitOnto(FontRenderStringFitted(request, align, fitted), imageId, x, y);
}

bool BlitText(const char* text, int imageId, int boxW, int boxH, int align, int x, int y) {
    if (!text || !CDraw::GetSurface(imageId)) return false;
    return BlitOnto(FontRenderText(boxW, boxH, align, 5, kTextFontFile, 23, 24, 34, 83, text, nullptr, nullptr),
                    imageId, x, y);
}
