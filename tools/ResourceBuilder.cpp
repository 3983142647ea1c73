// zorv_resbuild: writes every resource file of the game into a run folder.
//   zorv_resbuild --out DIR --assets DIR [--loose] [--contact-sheet FILE.png]
//   zorv_resbuild --icons DIR     only the desktop icon, in every size
#include <cstdio>
#include <cstring>
#include <string>

#include "BuildSteps.h"

int main(int argc, char** argv) {
    BuildContext ctx;
    ctx.outDir = ".";
    ctx.assetsDir = "assets";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            ctx.outDir = argv[++i];
        } else if (arg == "--assets" && i + 1 < argc) {
            ctx.assetsDir = argv[++i];
        } else if (arg == "--loose") {
            ctx.loose = true;
        } else if (arg == "--contact-sheet" && i + 1 < argc) {
            ctx.contactSheet = argv[++i];
        } else if (arg == "--icons" && i + 1 < argc && argc == 3) {
            if (BuildIcons(argv[++i])) return 0;
            fprintf(stderr, "zorv_resbuild: the icons failed\n");
            return 1;
        } else {
            fprintf(stderr, "usage: %s --out DIR --assets DIR [--loose] [--contact-sheet FILE.png]\n"
                            "       %s --icons DIR\n", argv[0], argv[0]);
            return 2;
        }
    }
    struct Step {
        const char* name;
        bool (*run)(const BuildContext&);
    };
    const Step steps[] = {
        {"start-up files", BuildStartupFiles}, {"string table", BuildStringTable}, {"image pack", BuildImagePack},
        {"sound pack", BuildSoundPack},        {"level pack", BuildLevelPack},
    };
    for (const Step& step : steps) {
        if (!step.run(ctx)) {
            fprintf(stderr, "zorv_resbuild: the %s failed\n", step.name);
            return 1;
        }
    }
    return 0;
}
