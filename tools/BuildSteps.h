// The steps of the resource builder. Each step writes its resource files into
// ctx.outDir from the sources under ctx.assetsDir and returns false on failure.
#pragma once

#include <string>

struct BuildContext {
    std::string outDir;      // the game's run folder
    std::string assetsDir;   // the repo's assets/ folder
    bool loose = false;      // also write resource/ and resource/sound/ loose files
    std::string contactSheet;  // when set, the image step writes a contact sheet PNG here
};

// The files are named in engine/ResourceFiles.h. The load screen and its bar,
// the text font, the window icon, the parameters and the intro's splashes.
bool BuildStartupFiles(const BuildContext& ctx);
// The string table (and the further fonts its styles name).
bool BuildStringTable(const BuildContext& ctx);
// The image pack.
bool BuildImagePack(const BuildContext& ctx);
// The sound pack.
bool BuildSoundPack(const BuildContext& ctx);
// The level pack.
bool BuildLevelPack(const BuildContext& ctx);

// The desktop icon in the usual sizes of an icon theme, each drawn afresh
// (not scaled from another): DIR/NxN/apps/zorv.png, the folders of the
// theme's hicolor/ folder.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
bool BuildIcons(const std::string& dir);
