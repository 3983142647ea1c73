// The game's resource files, each named here for what it holds. The builder
// (tools/) writes them under these names into the run folder; the game and
// the level tools read them from the data folder (engine/DataFolder.h).
#pragma once

// The load screen's picture (JPEG, 800 x 600) and its progress bar (PNG).
constexpr const char* kLoadScreenFile = "resource0.dat";
constexpr const char* kProgressBarFile = "resource1.dat";
// Every other picture (engine/ImagePack.h). A folder that holds it is a
// folder of the game's data.
constexpr const char* kImagePackFile = "resource2.dat";
// Every sound (sound/CSound.h).
constexpr const char* kSoundPackFile = "resource3.dat";
// The game's own levels (world/CLevelSet.h).
constexpr const char* kLevelPackFile = "resource4.dat";
// The texts and their styles (engine/FontRender.h).
constexpr const char* kStringTableFile = "resource5.dat";
// The font the texts are drawn in (DejaVu Sans): the string table's styles
// name it by this file name.
constexpr const char* kTextFontFile = "resource6.dat";
// The window's icon (BMP, 32 x 32).
constexpr const char* kWindowIconFile = "resource7.dat";
// The parameters: one "KEY VALUE" pair per line (engine/Parameters.h).
constexpr const char* kParameterFile = "resource8.dat";
// The intro's pictures (JPEG, 800 x 600): the maker's logo, the title
// splash and the closing splash.
constexpr const char* kLogoSplashFile = "resource9.dat";
constexpr const char* kTitleSplashFile = "resource10.dat";
constexpr const char* kClosingSplashFile = "resource11.dat";
