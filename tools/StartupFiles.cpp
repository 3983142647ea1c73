// The start-up step: the load screen and its bar, the font, the window icon,
// the parameter file and the intro splashes.
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "BuildSteps.h"
#include "engine/ResourceFiles.h"
#include "images/CCaptions.h"
#include "images/DrawKit.h"
#include "images/ImageEncoders.h"
#include "images/IntroArt.h"
#include "platform/Platform.h"
#include "players/ScoreClient.h"

namespace {

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

enum Kind { KIND_JPG, KIND_PNG, KIND_BMP };

bool DrawFile(const std::string& path, int w, int h, Kind kind,
              const std::function<void(cairo_t*, int, int)>& draw) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    draw(cr, w, h);
    const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    std::vector<uint8_t> bytes;
    bool ok = drawn;
    if (ok) {
        if (kind == KIND_JPG) ok = EncodeJpg(surface, 90, bytes);
        if (kind == KIND_PNG) ok = EncodePng(surface, bytes);
        if (kind == KIND_BMP) ok = EncodeBmpKeyed(surface, bytes);
    }
    cairo_surface_destroy(surface);
    if (!ok) {
        fprintf(stderr, "cannot draw %s\n", path.c_str());
        return false;
    }
    return WriteBytes(path, bytes);
}

bool CopyWhole(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        fprintf(stderr, "cannot read %s\n", from.c_str());
        return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string s = ss.str();
    return WriteBytes(to, std::vector<uint8_t>(s.begin(), s.end()));
}

}  // namespace

bool BuildStartupFiles(const BuildContext& ctx) {
    CCaptions& captions = CCaptions::Shared();
    if (captions.Count() == 0 && !captions.Load(ctx.assetsDir + "/captions/captions.txt")) return false;
    if (!DrawKit::FontsAvailable()) return false;
    const std::string& out = ctx.outDir;
    using namespace IntroArt;
    bool ok = true;
    ok = DrawFile(out + "/" + kLoadScreenFile, 800, 600, KIND_JPG, DrawLoadScreen) && ok;
    ok = DrawFile(out + "/" + kProgressBarFile, kBarW, kBarH, KIND_PNG, DrawProgressBar) && ok;
    ok = CopyWhole(std::string(DrawKit::FontFolder()) + "/DejaVuSans.ttf", out + "/" + kTextFontFile) && ok;
    ok = DrawFile(out + "/" + kWindowIconFile, 32, 32, KIND_BMP, DrawIcon) && ok;
    ok = DrawFile(out + "/" + kLogoSplashFile, 800, 600, KIND_JPG, DrawLogoSplash) && ok;
    ok = DrawFile(out + "/" + kTitleSplashFile, 800, 600, KIND_JPG, DrawTitleSplash) && ok;
    ok = DrawFile(out + "/" + kClosingSplashFile, 800, 600, KIND_JPG, DrawClosingSplash) && ok;

    // The fonts' licence travels with them.
    ok = CopyWhole(ctx.assetsDir + "/fonts/DejaVu-LICENSE.txt", out + "/DejaVu-LICENSE.txt") && ok;

    // No score-board vendor id: the game then sends its plain version. The
    // score server is the game's own; a host's own goes here (or into
    // ZORV_SCOREBOARD_URL). The extra menu entries stay off until there are
    // pages to open.
    const std::string params =
        "MOREGAMES_URL https://vormak-games.example/more\n"
        "SCOREBOARD_URL " + std::string(kBuiltInScoreServer) + "\n"
        "USE_ZJ_BLINK 1\n"
        "USE_MOREGAMES 0\n"
        "USE_MORELEVELS 0\n";
    ok = WriteBytes(out + "/" + kParameterFile, std::vector<uint8_t>(params.begin(), params.end())) && ok;

    for (const std::string& key : captions.Missing()) fprintf(stderr, "caption missing: %s\n", key.c_str());
    if (!captions.Missing().empty()) ok = false;
    return ok;
}

bool BuildIcons(const std::string& dir) {
    bool ok = true;
    for (int size : kIconSizes) {
        const std::string folder = dir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        if (!PlatformMakeDirs(folder)) {
            fprintf(stderr, "cannot make %s\n", folder.c_str());
            ok = false;
            continue;
        }
        ok = DrawFile(folder + "/zorv.png", size, size, KIND_PNG, IntroArt::DrawIcon) && ok;
    }
    return ok;
}
