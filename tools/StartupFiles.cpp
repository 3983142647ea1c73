#include <cstdio>
#include <string>

#include "BuildSteps.h"

bool BuildStartupFiles(const BuildContext& ctx) {
    const std::string path = ctx.outDir + "/resource8.dat";
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    fputs("MOREGAMES_URL https://zorv-games.example/more\nUSE_ZJ_BLINK 1\nUSE_MOREGAMES 0\nUSE_MORELEVELS 0\n", f);
    return fclose(f) == 0;
}
