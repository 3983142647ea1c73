// The image store half of CDraw: every image of the program by id and by
// name, decoded lazily from preloaded file bytes, with counted holders.
// Ids are indices into imageVector; the vector only grows, so an id is never
// handed out twice.
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/CDraw.h"
#include "engine/CImageRecord.h"
#include "engine/FileReading.h"
#include "engine/Log.h"

std::vector<SDL_Surface*> CDraw::imageVector;
std::map<std::string, CImageRecord*> CDraw::recordByName;
std::map<int, CImageRecord*> CDraw::recordById;
std::map<CImageRecord*, std::string> CDraw::nameByRecord;
bool CDraw::DRAW_URL_DIR = true;

namespace {

std::string Numbered(const char* prefix, int i, const char* suffix) {
    char buf[32];
    snprintf(buf, sizeof buf, "%i", i);
    return std::string(prefix ? prefix : "") + buf + (suffix ? suffix : "");
}


}  // namespace

// Adds dA to the alpha of every pixel of a 32-bit surface with an alpha
// channel, saturating at 0 and 255.
void ShiftAlpha(SDL_Surface* s, int dA) {
    if (!s || s->format->BytesPerPixel != 4 || !s->format->Amask) return;
    const uint32_t amask = s->format->Amask;
    const int ashift = s->format->Ashift;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; ++x) {
            const uint32_t p = row[x];
            int a = static_cast<int>((p & amask) >> ashift) + dA;
            a = std::max(0, std::min(255, a));
            row[x] = (p & ~amask) | ((static_cast<uint32_t>(a) << ashift) & amask);
        }
    }
    SDL_UnlockSurface(s);
}

ImageId CDraw::GetImage(const char* name) {
    auto it = name ? recordByName.find(name) : recordByName.end();
    if (it == recordByName.end()) {
        ErrorLog(true, "Unable to find preloaded image: %s\n", name ? name : "(null)");
        return -1;
    }
    CImageRecord* record = it->second;
    if (record->refCount < 1 || record->imageId == -1) {
        SDL_RWops* source;
        if (DRAW_URL_DIR) {
            const std::string path = std::string("resource/") + name;
            source = OpenForReadingRW(path);
        } else {
            source = SDL_RWFromMem(record->data, static_cast<int>(record->size));
        }
        const ImageId id = loadImage(source, name);
        record->imageId = id;
        recordById[id] = record;
    }
    ++record->refCount;
    return record->imageId;
}

ImageId CDraw::FindImage(const char* name) {
    if (!name) return -1;
    auto it = recordByName.find(name);
    if (it == recordByName.end()) return -1;
    return it->second->imageId;
}

void CDraw::ReleaseImage(ImageId id) {
    if (id < 0 || static_cast<size_t>(id) >= imageVector.size() || !imageVector[id]) return;
    auto it = recordById.find(id);
    CImageRecord* record = it != recordById.end() ? it->second : nullptr;
    if (record && record->imageId == id) {
        if (--record->refCount > 0) return;
        record->refCount = 0;
        record->imageId = -1;
        if (record->size == 0) UnbindRecord(record);
    }
    if (record) recordById.erase(id);
    SDL_FreeSurface(imageVector[id]);
    imageVector[id] = nullptr;
}

// Forgets a run-time record. Its name is unbound only when the name is bound
// to this very record: a second record registered under a taken name must
// not take the first one's name away with it.
void CDraw::UnbindRecord(CImageRecord* record) {
    auto n = nameByRecord.find(record);
    if (n != nameByRecord.end()) {
        auto byName = recordByName.find(n->second);
        if (byName != recordByName.end() && byName->second == record) recordByName.erase(byName);
        nameByRecord.erase(n);
    }
    delete[] record->data;
    delete record;
}

void CDraw::UnloadImage(const char* name) {
    const ImageId id = FindImage(name);
    if (id >= 0) ReleaseImage(id);
}

ImageId CDraw::ReacquireImage(ImageId id) {
    if (id < 0) return -1;  // a frame without an image: nothing to hold
    const char* name = GetImageName(id);
    if (!name) {
        DebugLog(DBG_WARNING, "CDraw::ReacquireImage()   Image #%i has no name\n", id);
        return -1;
    }
    // The name lives in nameByRecord; copy it in case the lookup changes it.
    const std::string copy = name;
    return GetImage(copy.c_str());
}

const char* CDraw::GetImageName(ImageId id) {
    // Preloaded records that are not decoded hold -1, so a negative id would
    // otherwise match one of them.
    if (id < 0) return nullptr;
    for (const auto& entry : nameByRecord) {
        if (entry.first->imageId == id) return entry.second.c_str();
    }
    return nullptr;
}

ImageId CDraw::loadImage(SDL_RWops* source, const char* name) {
    const size_t len = name ? strlen(name) : 0;
    const char* type = len >= 3 ? name + len - 3 : (name ? name : "");
    SDL_Surface* decoded = source ? IMG_LoadTyped_RW(source, 1, const_cast<char*>(type)) : nullptr;
    if (!decoded) {
        ErrorLog(true, "Could not load image:  %s\n", SDL_GetError());
        return -1;
    }
    SDL_Surface* converted = ConvertSurface(decoded, true);
    imageVector.push_back(converted);
    const ImageId id = static_cast<ImageId>(imageVector.size()) - 1;
    DebugLog(DBG_PRELOAD, "CDraw::loadImage   #%-6i:   %s\n", id, name ? name : "");
    return id;
}

ImageId CDraw::LoadSurface(SDL_Surface* surface, const char* name) {
    if (!surface) {
        DebugLog(DBG_WARNING, "CDraw::LoadSurface()   No surface for '%s'\n", name ? name : "");
        return -1;
    }
    SDL_Surface* converted = ConvertSurface(surface, true);
    imageVector.push_back(converted);
    const ImageId id = static_cast<ImageId>(imageVector.size()) - 1;
    if (name) {
        CImageRecord* record = new CImageRecord;
        record->refCount = 1;
        record->imageId = id;
        recordById[id] = record;
        recordByName.insert(std::make_pair(std::string(name), record));
        nameByRecord[record] = name;
    }
    DebugLog(DBG_PRELOAD, "CDraw::LoadSurface   #%-6i:   %s\n", id, name ? name : "");
    return id;
}

ImageId CDraw::CaptureScreen(const char* name) {
    if (!ptrScreen) return -1;
    SDL_Surface* s = CopySurfaceLike(ptrScreen, ptrScreen->w, ptrScreen->h);
    if (!s) return -1;
    SDL_BlitSurface(ptrScreen, nullptr, s, nullptr);
    return LoadSurface(s, name);
}

ImageId CDraw::CreateSurface(int width, int height, const char* name) {
    // The masks are 32-bit ones, so the surface is 32 bits deep whatever the
    // screen's depth; LoadSurface converts it to the display format.
    SDL_Surface* s = SDL_CreateRGBSurface(0, std::max(0, width), std::max(0, height), 32, 0xFF000000,
                                          0x00FF0000, 0x0000FF00, 0x000000FF);
    return LoadSurface(s, name);
}

ImageId CDraw::CreateScreenSurface(const char* name) {
    if (!ptrScreen) return -1;
    return LoadSurface(CopySurfaceLike(ptrScreen, ptrScreen->w, ptrScreen->h), name);
}

ImageId CDraw::CopyImage(const char* sourceName, const char* newName, int dA) {
    const ImageId id = GetImage(sourceName);
    SDL_Surface* copy = ConvertSurface(GetSurface(id), false);
    ReleaseImage(id);
    const ImageId newId = LoadSurface(copy, newName);
    DebugLog(DBG_DRAW, "CDraw::CopyImage   #%-6i:   %s  (%s, dA=%i)\n", newId, newName ? newName : "",
             sourceName, dA);
    if (dA != 0) ShiftAlpha(GetSurface(newId), dA);
    return newId;
}

void CDraw::CopyImageSequence(const char* sourcePrefix, const char* newPrefix, int first, int last,
                              const char* suffix, int dA) {
    for (int i = first; i <= last; ++i) {
        CopyImage(Numbered(sourcePrefix, i, suffix).c_str(), Numbered(newPrefix, i, suffix).c_str(), dA);
    }
}

void CDraw::MakeFadeSequence(const char* name, int n, int step) {
    if (n <= 0 || !name) return;
    const std::string full = name;
    const std::string base = full.size() >= 4 ? full.substr(0, full.size() - 4) : std::string();
    const std::string ext = full.size() >= 3 ? full.substr(full.size() - 3) : full;
    for (int k = n - 1; k >= 0; --k) {
        const std::string copy = base + std::to_string(k) + "." + ext;
        CopyImage(name, copy.c_str(), step * (n - k));
    }
}

ImageId CDraw::PadImage(const char* sourceName, const char* newName, int left, int right, int top, int bottom) {
    // A negative margin would place the source outside the new surface.
    left = std::max(0, left);
    right = std::max(0, right);
    top = std::max(0, top);
    bottom = std::max(0, bottom);
    int w = 0, h = 0;
    return CopyRowByRow(
        sourceName, newName,
        [&](int* width, int* height) {
            w = *width;
            h = *height;
            *width += left + right;
            *height += top + bottom;
        },
        [&](uint8_t* out, const SDL_Surface* src, int y, int bpp) {
            memset(out, 0, static_cast<size_t>(left + w + right) * bpp);
            if (y < top || y >= top + h) return;
            const uint8_t* in = static_cast<const uint8_t*>(src->pixels) + (y - top) * src->pitch;
            memcpy(out + left * bpp, in, static_cast<size_t>(w) * bpp);
        });
}

ImageId CDraw::CutImage(const char* sourceName, const char* newName, int cutX, int cutW, int cutY, int cutH) {
    // Only the part of each band inside the picture is taken out.
    auto inside = [](int* from, int* length, int size) {
        const int end = std::max(0, std::min(*from + std::max(0, *length), size));
        *from = std::max(0, std::min(*from, size));
        *length = std::max(0, end - *from);
    };
    int keptW = 0;
    return CopyRowByRow(
        sourceName, newName,
        [&](int* width, int* height) {
            inside(&cutX, &cutW, *width);
            inside(&cutY, &cutH, *height);
            keptW = *width -= cutW;
            *height -= cutH;
        },
        [&](uint8_t* out, const SDL_Surface* src, int y, int bpp) {
            const uint8_t* in = static_cast<const uint8_t*>(src->pixels) + (y < cutY ? y : y + cutH) * src->pitch;
            memcpy(out, in, static_cast<size_t>(cutX) * bpp);
            memcpy(out + cutX * bpp, in + (cutX + cutW) * bpp, static_cast<size_t>(keptW - cutX) * bpp);
        });
}

ImageId CDraw::CopyRowByRow(const char* sourceName, const char* newName, const std::function<void(int*, int*)>& size,
                            const RowCopy& row) {
    const ImageId id = GetImage(sourceName);
    SDL_Surface* src = GetSurface(id);
    if (!src) return -1;
    int w = src->w, h = src->h;
    size(&w, &h);
    SDL_Surface* dst = CopySurfaceLike(src, w, h);
    if (!dst) {
        ReleaseImage(id);
        return -1;
    }
    SDL_LockSurface(src);
    SDL_LockSurface(dst);
    const int bpp = src->format->BytesPerPixel;
    for (int y = 0; y < dst->h; ++y) row(static_cast<uint8_t*>(dst->pixels) + y * dst->pitch, src, y, bpp);
    SDL_UnlockSurface(dst);
    SDL_UnlockSurface(src);
    ReleaseImage(id);
    return LoadSurface(dst, newName);
}

void CDraw::DrawImageOnto(const char* name, ImageId target, int x, int y) {
    const ImageId id = GetImage(name);
    BlitTo(id, GetSurface(target), x, y, 0, 0, GetWidth(id), GetHeight(id));
    ReleaseImage(id);
}

ImageId CDraw::CacheImageRange(const char* prefix, int first, int last, const char* suffix) {
    ImageId id = 0;
    for (int i = first; i <= last; ++i) id = GetImage(Numbered(prefix, i, suffix).c_str());
    return id;
}

ImageId CDraw::AddSurface(SDL_Surface* surface) {
    if (!surface) return -1;
    imageVector.push_back(ConvertSurface(surface, true));
    return static_cast<ImageId>(imageVector.size()) - 1;
}

ImageId CDraw::LoadImageFromDirectory(const char* name) {
    const std::string path = std::string("resource/") + (name ? name : "");
    return loadImage(OpenForReadingRW(path), name);
}

void CDraw::DumpImageBuffers(bool all) {
    const std::string equals(82, '=');
    const std::string stars(82, '*');
    DebugLog(DBG_DEBUG, "%s\n", equals.c_str());
    DebugLog(DBG_DEBUG, "ALL IMAGE BUFFERS\n");
    DebugLog(DBG_DEBUG, "%s\n", stars.c_str());
    int count = 0;
    for (const auto& entry : nameByRecord) {
        const CImageRecord* r = entry.first;
        if (r->refCount <= 0) continue;
        if (!all && r->size == 0 && r->refCount == 1) continue;
        DebugLog(DBG_DEBUG, "%s  (ID=%i   R=%i   S=%i)\n", entry.second.c_str(), r->imageId, r->refCount,
                 static_cast<int>(r->size));
        ++count;
    }
    DebugLog(DBG_DEBUG, "%s\n", stars.c_str());
    DebugLog(DBG_DEBUG, "COUNT:  %i\n", count);
    DebugLog(DBG_DEBUG, "%s\n", equals.c_str());
}

void CDraw::AddPreloadedImage(const std::string& name, uint8_t* data, uint32_t size) {
    CImageRecord* record = new CImageRecord;
    record->data = data;
    record->size = size;
    recordByName.insert(std::make_pair(name, record));
    nameByRecord[record] = name;
}

void CDraw::ClearRecords() {
    for (auto& entry : nameByRecord) {
        delete[] entry.first->data;
        delete entry.first;
    }
    nameByRecord.clear();
    recordByName.clear();
    recordById.clear();
}

void CDraw::FreeImageStore() {
    for (SDL_Surface* s : imageVector) {
        if (s && s->pixels) SDL_FreeSurface(s);
    }
    imageVector.clear();
    ClearRecords();
}

int CDraw::GetRefCount(const char* name) {
    if (!name) return 0;
    auto it = recordByName.find(name);
    return it == recordByName.end() ? 0 : it->second->refCount;
}

int CDraw::GetRecordCount() { return static_cast<int>(nameByRecord.size()); }

size_t CDraw::GetLiveImageCount() {
    size_t n = 0;
    for (SDL_Surface* s : imageVector) n += s != nullptr;
    return n;
}
