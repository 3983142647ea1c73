// The string table step: assets/strings/*.txt, concatenated in sorted file
// name order, compiled to kStringTableFile; the font files its style lines name
// are copied beside it.
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "BuildSteps.h"
#include "engine/ResourceFiles.h"
#include "images/DrawKit.h"
#include "strings/CStringTableCompiler.h"

namespace {

bool ReadWhole(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    return true;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

}  // namespace

bool BuildStringTable(const BuildContext& ctx) {
    const std::string folder = ctx.assetsDir + "/strings";
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) files.push_back(name);
        }
        closedir(dir);
    } else {
        fprintf(stderr, "cannot list %s\n", folder.c_str());
        return false;
    }
    std::sort(files.begin(), files.end());
    std::vector<CStringTableCompiler::Source> sources;
    for (const std::string& f : files) {
        CStringTableCompiler::Source src;
        src.name = "strings/" + f;
        if (!ReadWhole(folder + "/" + f, src.text)) {
            fprintf(stderr, "cannot read %s\n", src.name.c_str());
            return false;
        }
        sources.push_back(std::move(src));
    }
    CStringTableCompiler compiler;
    std::vector<uint8_t> table;
    if (!compiler.Compile(sources, table)) {
        for (const std::string& e : compiler.Errors()) fprintf(stderr, "%s\n", e.c_str());
        return false;
    }
    if (!WriteWhole(ctx.outDir + "/" + kStringTableFile, std::string(table.begin(), table.end()))) return false;

    // kTextFontFile is the start-up step's copy of DejaVu Sans; every other
    // font a style names is shipped under its own file name.
    for (const std::string& font : compiler.FontFiles()) {
        if (font == kTextFontFile) continue;
        if (font.find('/') != std::string::npos) {
            fprintf(stderr, "a style font is a file name in the game's folder, not %s\n", font.c_str());
            return false;
        }
        std::string bytes;
        if (!ReadWhole(std::string(DrawKit::FontFolder()) + "/" + font, bytes)) {
            fprintf(stderr, "the style font %s is not one of the fonts we ship\n", font.c_str());
            return false;
        }
        if (!WriteWhole(ctx.outDir + "/" + font, bytes)) return false;
    }
    printf("string table: %zu texts from %zu file(s), %zu font file(s)\n", compiler.Ids().size(), files.size(),
           compiler.FontFiles().size());
    return true;
}
