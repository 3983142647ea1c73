// The image pack step: every name of the pack list drawn by its registered
// function (or a neutral labelled stand-in when nobody registered it yet),
// encoded by its three-letter type and written to kImagePackFile in list order.
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <thread>

#include "BuildSteps.h"
#include "CPackWriter.h"
#include "engine/ResourceFiles.h"
#include "images/CArtRegistry.h"
#include "images/CCaptions.h"
#include "images/DrawKit.h"
#include "images/ImageEncoders.h"
#include "images/ImageNames.h"

using namespace DrawKit;

namespace {

void FallbackSize(const std::string& name, int& w, int& h) {
    if (ImageType(name) == "jpg") {
        w = 160;
        h = 120;
    } else {
        w = 48;
        h = 48;
    }
}

void DrawFallback(cairo_t* cr, int w, int h, const std::string& name) {
    const bool opaque = ImageType(name) == "jpg";
    if (opaque) {
        VerticalGradient(cr, 0, 0, w, h, Hex(0x8a8a8a), Hex(0x5a5a5a));
    } else {
        OutlinedRoundedRect(cr, 1.75, 1.75, w - 3.5, h - 3.5, 5, Hex(0x9a9a9a, 0.85), 1.5);
    }
    std::string label = name.substr(0, name.size() >= 4 ? name.size() - 4 : name.size());
    TextBox(cr, label, 2, 2, w - 4, h - 4, opaque ? 14 : 9, Hex(0xffffff), FONT_SANS, ALIGN_CENTER);
}

struct Job {
    std::string name;
    std::vector<uint8_t> bytes;
    cairo_surface_t* thumb = nullptr;  // for the contact sheet
    bool fallback = false;
    bool ok = false;
};

const int kThumbW = 120, kThumbH = 96, kLabelH = 22;

cairo_surface_t* MakeThumb(cairo_surface_t* src) {
    const int w = cairo_image_surface_get_width(src), h = cairo_image_surface_get_height(src);
    const double scale = std::min({1.0, double(kThumbW - 4) / w, double(kThumbH - 4) / h});
    cairo_surface_t* thumb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kThumbW, kThumbH);
    cairo_t* cr = cairo_create(thumb);
    // A checker shows what is transparent.
    for (int y = 0; y < kThumbH; y += 8)
        for (int x = 0; x < kThumbW; x += 8) {
            const bool dark = ((x + y) / 8) % 2;
            cairo_set_source_rgb(cr, dark ? 0.75 : 0.9, dark ? 0.75 : 0.9, dark ? 0.78 : 0.92);
            cairo_rectangle(cr, x, y, 8, 8);
            cairo_fill(cr);
        }
    cairo_translate(cr, (kThumbW - w * scale) / 2, (kThumbH - h * scale) / 2);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, src, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return thumb;
}

void RunJob(const CArtRegistry& registry, Job& job, bool wantThumb) {
    const CArtRegistry::Art* art = registry.Find(job.name);
    int w = 0, h = 0;
    if (art) {
        w = art->width;
        h = art->height;
    } else {
        FallbackSize(job.name, w, h);
        job.fallback = true;
    }
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096) {
        fprintf(stderr, "the picture %s has an impossible size %d x %d\n", job.name.c_str(), w, h);
        return;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    if (art && art->draw) {
        art->draw(cr, w, h);
    } else {
        DrawFallback(cr, w, h, job.name);
    }
    const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    if (!drawn) {
        fprintf(stderr, "drawing %s failed\n", job.name.c_str());
    } else if (!EncodeByName(job.name, surface, job.bytes)) {
        fprintf(stderr, "encoding %s failed\n", job.name.c_str());
    } else {
        job.ok = true;
        if (wantThumb) job.thumb = MakeThumb(surface);
    }
    cairo_surface_destroy(surface);
}

bool WriteContactSheet(const std::string& path, std::vector<Job>& jobs) {
    const int cols = 14, rows = 11, cellW = kThumbW + 4, cellH = kThumbH + kLabelH + 4;
    const int perPage = cols * rows;
    const int pages = static_cast<int>((jobs.size() + perPage - 1) / perPage);
    std::string base = path, ext;
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos) {
        base = path.substr(0, dot);
        ext = path.substr(dot);
    }
    bool ok = true;
    for (int p = 0; p < pages; ++p) {
        cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cols * cellW, rows * cellH);
        cairo_t* cr = cairo_create(sheet);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.22);
        cairo_paint(cr);
        for (int i = 0; i < perPage && p * perPage + i < static_cast<int>(jobs.size()); ++i) {
            const Job& job = jobs[p * perPage + i];
            const int x = (i % cols) * cellW + 2, y = (i / cols) * cellH + 2;
            if (job.thumb) {
                cairo_set_source_surface(cr, job.thumb, x, y);
                cairo_paint(cr);
            }
            Text(cr, job.name, x + kThumbW / 2.0, y + kThumbH + 2, 10,
                 job.fallback ? Hex(0xff8080) : Hex(0xffffff), FONT_SANS, ALIGN_CENTER);
        }
        cairo_destroy(cr);
        std::vector<uint8_t> bytes;
        const std::string file = p == 0 ? path : base + "-" + std::to_string(p + 1) + ext;
        if (!EncodePng(sheet, bytes)) ok = false;
        cairo_surface_destroy(sheet);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) ok = false;
    }
    printf("contact sheet: %d page(s) from %s\n", pages, path.c_str());
    return ok;
}

}  // namespace

bool BuildImagePack(const BuildContext& ctx) {
    std::vector<std::string> names;
    if (!ReadImageNameList(ctx.assetsDir + "/images/image-names.txt", names)) return false;
    std::vector<std::string> runtimeNames;
    if (!ReadImageNameList(ctx.assetsDir + "/images/image-runtime-names.txt", runtimeNames)) return false;
    if (!FontsAvailable()) return false;
    CCaptions& captions = CCaptions::Shared();
    if (captions.Count() == 0 && !captions.Load(ctx.assetsDir + "/captions/captions.txt")) return false;

    // World first: a few editor pictures are drawn by the interface only when
    // the world art leaves them out.
    CArtRegistry registry;
    RegisterWorldArt(registry);
    RegisterInterfaceArt(registry);
    if (registry.Duplicates() > 0) {
        fprintf(stderr, "%d picture name(s) registered twice\n", registry.Duplicates());
        return false;
    }
    const std::set<std::string> required(names.begin(), names.end());
    const std::set<std::string> runtime(runtimeNames.begin(), runtimeNames.end());
    int extra = 0;
    for (const auto& kv : registry.All()) {
        if (runtime.count(kv.first)) {
            fprintf(stderr, "%s is made by the game at run time and must not be drawn into the pack\n",
                    kv.first.c_str());
            return false;
        }
        if (!required.count(kv.first)) {
            fprintf(stderr, "note: %s is drawn but not in the pack list; left out\n", kv.first.c_str());
            ++extra;
        }
    }

    std::vector<Job> jobs(names.size());
    for (size_t i = 0; i < names.size(); ++i) jobs[i].name = names[i];
    const bool wantThumbs = !ctx.contactSheet.empty();
    std::atomic<size_t> next{0};
    const unsigned threads = std::max(1u, std::min(16u, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (size_t i = next++; i < jobs.size(); i = next++) RunJob(registry, jobs[i], wantThumbs);
        });
    for (std::thread& t : pool) t.join();

    CPackWriter pack;
    int fallbacks = 0;
    bool ok = true;
    for (Job& job : jobs) {
        if (!job.ok) {
            ok = false;
            continue;
        }
        if (job.fallback) {
            ++fallbacks;
            if (getenv("ZORV_LIST_FALLBACKS")) printf("fallback: %s\n", job.name.c_str());
        }
        pack.Add(job.name, std::move(job.bytes));
    }
    const std::set<std::string> missingCaptions = captions.Missing();
    for (const std::string& key : missingCaptions) fprintf(stderr, "caption missing: %s\n", key.c_str());
    if (!missingCaptions.empty()) ok = false;

    if (wantThumbs && !WriteContactSheet(ctx.contactSheet, jobs)) ok = false;
    for (Job& job : jobs)
        if (job.thumb) cairo_surface_destroy(job.thumb);
    if (!ok) return false;

    printf("image pack: %zu pictures, %d drawn by the neutral fallback, %d registered but unlisted\n", pack.Count(),
           fallbacks, extra);
    if (!pack.Write(ctx.outDir + "/" + kImagePackFile)) return false;
    if (ctx.loose && !pack.WriteLoose(ctx.outDir + "/resource")) return false;
    return true;
}
