// Reading the image files into the store at start-up. Every count, offset
// and length of the pack is checked against the file's size (CPackFile), so
// a damaged pack ends the program with its message instead of a crash.
#include "engine/ImagePack.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/CDraw.h"
#include "engine/CPackFile.h"
#include "engine/DataFolder.h"
#include "engine/ImageCaches.h"
#include "engine/Log.h"
#include "engine/ResourceFiles.h"
#include "platform/Platform.h"

namespace {

uint8_t* CopyBytes(const uint8_t* data, uint32_t size) {
    uint8_t* out = new uint8_t[size ? size : 1];
    if (size) memcpy(out, data, size);
    return out;
}

void PreloadFromPack() {
    DebugLog(DBG_DEBUG, "Loading DRAW_URL_DAT:  %s\n", kImagePackFile);
    CPackFile pack;
    if (!pack.Load(kImagePackFile)) {
        DebugLog(DBG_ERROR, "preloadImages()   %s: %s\n", kImagePackFile, pack.Error().c_str());
        TellResourceFileFailed(kImagePackFile);
        ErrorLog(true, "Cannot load resource file!\n");
        return;
    }
    const std::vector<CPackFile::Entry>& entries = pack.Entries();
    CDraw::LoadProgressBar(static_cast<int>(entries.size()));
    for (const CPackFile::Entry& e : entries) {
        CDraw::AddPreloadedImage(e.name, CopyBytes(e.data, e.size), e.size);
        CDraw::StepProgress(1);
    }
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out) {
    FILE* f = PlatformOpenForReading(path);
    if (!f) return false;
    bool ok = fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? ftell(f) : -1;
    ok = ok && size >= 0 && fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        out->resize(static_cast<size_t>(size));
        ok = size == 0 || fread(out->data(), 1, out->size(), f) == out->size();
    }
    fclose(f);
    return ok;
}

void PreloadFromFolder() {
    DebugLog(DBG_DEBUG, "Loading DRAW_URL_DIR:  %s\n", "resource/");
    std::vector<PlatformDirEntry> listing;
    if (!PlatformListDir("resource/", &listing)) {
        ErrorLog(true, "Unable to preload graphics: Directory stream pointer was not opened.\n");
        return;
    }
    DebugLog(DBG_PRELOAD, "Scanning DRAW_URL_DIR for preloading...\n");
    std::vector<std::string> names;
    for (const PlatformDirEntry& e : listing) {
        if (!e.isRegularFile && PlatformIsDirectory("resource/" + e.name)) continue;
        names.push_back(e.name);
    }
    CDraw::LoadProgressBar(static_cast<int>(names.size()));
    for (const std::string& name : names) {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile("resource/" + name, &bytes)) {
            ErrorLog(true, "Could not load image:  %s\n", name.c_str());
            return;
        }
        const uint32_t size = static_cast<uint32_t>(bytes.size());
        CDraw::AddPreloadedImage(name, CopyBytes(bytes.data(), size), size);
        CDraw::StepProgress(1);
    }
}

}  // namespace

void PreloadImageFiles() {
    CDraw::ClearRecords();
    if (CDraw::GetUrlDir()) {
        PreloadFromFolder();
    } else {
        PreloadFromPack();
    }
    DebugLog(DBG_MILESTONE, "ID_000a: INIT:     Images Preloaded\n");
}

void preloadImages() {
    PreloadImageFiles();
    cacheMain();
    DebugLog(DBG_MILESTONE, "ID_000b: INIT:     Main Menu Cached\n");
    cacheMap();
    DebugLog(DBG_MILESTONE, "ID_000c: INIT:     Map Cached\n");
    cacheGame();
    DebugLog(DBG_MILESTONE, "ID_000d: INIT:     Game Cached\n");
    cacheButtons();
    DebugLog(DBG_MILESTONE, "ID_000e: INIT:     Buttons Cached\n");
    cacheFadedImages();
    DebugLog(DBG_MILESTONE, "ID_000f: INIT:     Faded Cached\n");
}
