#include "tests/sound/SoundTestSupport.h"

#include <cstdlib>
#include <fstream>

#include "engine/Utilities.h"
#include "sound/CSound.h"

std::vector<std::string> SoundNames() {
    std::vector<std::string> names;
    std::ifstream in(std::string(ZORV_SOURCE_DIR) + "/assets/sounds/sound-names.txt");
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty() && line[0] != '#') names.push_back(line);
    }
    return names;
}

int CountLogLines(const std::string& text) {
    std::ifstream in(std::string(GetProfileDir()) + "LOG.TXT");
    int n = 0;
    for (std::string line; std::getline(in, line);)
        if (line.find(text) != std::string::npos) ++n;
    return n;
}

void SoundSystemTest::SetUp() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    home_.reset(new CScopedHome());
    InitDirectories();
    cwd_.reset(new CScopedCwd(ZORV_RUN_DIR));
    CSound::Init(true);
    ASSERT_TRUE(CSound::IsReady()) << "the dummy audio driver should open";
    CSound::SetLoadFromDirectory(false);
    CSound::loadSound();
    CSound::CreateMusic();
}

void SoundSystemTest::TearDown() {
    CSound::DeleteMusic();
    CSound::Shutdown();
    CSound::SetConsole(nullptr, nullptr);
    cwd_.reset();
    ResetDirectories();
    home_.reset();
}

void SoundSystemTest::Frames(int n) {
    for (int i = 0; i < n; ++i) CSound::Update();
}
