// Shared set-up of the profile tests: a private HOME with the game's folders
// in it, a parameter file with a known address, a fixed random seed and a
// clean cheater word; and little-endian peeks into file bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>
#include <string>
#include <vector>

#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "players/CProfileBase.h"
#include "tests/support/TestSupport.h"

constexpr const char* kTestUrl = "http://games.example.invalid/more";

class ProfileFilesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = std::make_unique<CScopedHome>();
        const std::string params = home_->Path() + "/params.txt";
        WriteFileText(params, std::string("MOREGAMES_URL ") + kTestUrl + "\n");
        LoadParameters(params.c_str());
        InitDirectories();
        srand(4242);
        CProfileBase::ClearCheaterFlags(0xFFFFFFFFu);
    }
    void TearDown() override {
        CProfileBase::ClearCheaterFlags(0xFFFFFFFFu);
        ResetParameters();
        ResetDirectories();
        home_.reset();
    }

    std::string Dir() const { return GetProfileDir(); }
    std::string InfoPath() const { return Dir() + "INFOv3.DAT"; }
    std::string ProfilePath(int number) const { return Dir() + "PROFILE" + std::to_string(number + 1) + "v3.DAT"; }
    bool Exists(const std::string& path) const { return access(path.c_str(), F_OK) == 0; }

    std::unique_ptr<CScopedHome> home_;
};

inline uint32_t U32At(const std::vector<uint8_t>& b, size_t off) {
    if (off + 4 > b.size()) return 0xDEADBEEFu;
    return static_cast<uint32_t>(b[off]) | (static_cast<uint32_t>(b[off + 1]) << 8) |
           (static_cast<uint32_t>(b[off + 2]) << 16) | (static_cast<uint32_t>(b[off + 3]) << 24);
}

inline int32_t I32At(const std::vector<uint8_t>& b, size_t off) { return static_cast<int32_t>(U32At(b, off)); }

inline float F32At(const std::vector<uint8_t>& b, size_t off) {
    const uint32_t u = U32At(b, off);
    float f;
    memcpy(&f, &u, sizeof f);
    return f;
}

inline void PutI32(std::vector<uint8_t>* b, size_t off, int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) (*b)[off + i] = static_cast<uint8_t>(u >> (8 * i));
}

inline std::string TextAt(const std::vector<uint8_t>& b, size_t off, size_t width) {
    std::string s;
    for (size_t i = off; i < off + width && i < b.size() && b[i]; ++i) s.push_back(static_cast<char>(b[i]));
    return s;
}

// A folder that stands for a drive. Unmounted, its files go away and its
// mount point stays, empty (or goes as well); mounted again, they are back,
// once nothing was written into the empty mount point meanwhile.
class CTestDrive {
public:
    const std::string& Path() const { return dir_.Path(); }
    std::string File(const std::string& name) const { return dir_.File(name); }
    void Unmount(bool keepMountPoint = true) {
        ASSERT_EQ(rename(Path().c_str(), Away().c_str()), 0);
        if (keepMountPoint) {
            ASSERT_EQ(mkdir(Path().c_str(), 0755), 0);
        }
    }
    void Mount() {
        if (access(Path().c_str(), F_OK) == 0) {
            EXPECT_TRUE(FolderEntries(Path()).empty());
            ASSERT_EQ(rmdir(Path().c_str()), 0);
        }
        ASSERT_EQ(rename(Away().c_str(), Path().c_str()), 0);
    }

private:
    std::string Away() const { return Path() + " (unmounted)"; }
    CTempDir dir_;
};

// Makes the link at path go round (path, path.loop, path again), and undoes
// that: path a link to target again.
inline void LinkGoingRound(const std::string& path) {
    ASSERT_EQ(symlink(path.c_str(), (path + ".loop").c_str()), 0);
    ASSERT_EQ(symlink((path + ".loop").c_str(), path.c_str()), 0);
}
inline void LinkAgain(const std::string& path, const std::string& target) {
    ASSERT_EQ(remove(path.c_str()), 0);
    ASSERT_EQ(remove((path + ".loop").c_str()), 0);
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
}

inline bool IsLink(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}
