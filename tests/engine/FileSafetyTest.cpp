// The bounded readers and the atomic writer that every file of the game uses.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/CAtomicFile.h"
#include "engine/CByteReader.h"
#include "engine/CPackFile.h"
#include "engine/FileFields.h"
#include "tests/support/TestSupport.h"

namespace {

// Entries given as text, for readability.
std::vector<uint8_t> MakeTextPack(const std::vector<std::pair<std::string, std::string>>& entries) {
    PackEntries bytes;
    for (const auto& e : entries) bytes.emplace_back(e.first, std::vector<uint8_t>(e.second.begin(), e.second.end()));
    return MakePack(bytes);
}

}  // namespace

TEST(ByteReader, ReadsFieldsAndStopsAtTheEnd) {
    const uint8_t bytes[] = {0x04, 0x03, 0x02, 0x01, 0x00, 0x00, 0x80, 0x3F, 'a', 'b', 0, 'z', 9};
    CByteReader r(bytes, sizeof bytes);
    uint32_t u = 0;
    float f = 0;
    std::string s;
    uint8_t b = 0;
    EXPECT_TRUE(r.ReadU32(&u));
    EXPECT_EQ(u, 0x01020304u);
    EXPECT_TRUE(r.ReadF32(&f));
    EXPECT_EQ(f, 1.0f);
    EXPECT_TRUE(r.ReadFixedString(&s, 4));
    EXPECT_EQ(s, "ab");
    EXPECT_TRUE(r.ReadU8(&b));
    EXPECT_EQ(b, 9);
    EXPECT_FALSE(r.ReadU32(&u));
    EXPECT_EQ(u, 0u);
    EXPECT_TRUE(r.Failed());
    EXPECT_FALSE(r.ReadU8(&b));  // stays failed
}

TEST(PackFile, ReadsEntriesInOrder) {
    const auto bytes = MakeTextPack({{"a.png", "PNGDATA"}, {"Step Counter 03.png", ""}, {"b.tga", "xy"}});
    CPackFile pack;
    ASSERT_TRUE(pack.LoadFromMemory(bytes.data(), bytes.size())) << pack.Error();
    ASSERT_EQ(pack.Entries().size(), 3u);
    EXPECT_EQ(pack.Entries()[0].name, "a.png");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(pack.Entries()[0].data), pack.Entries()[0].size), "PNGDATA");
    EXPECT_EQ(pack.Entries()[1].name, "Step Counter 03.png");
    EXPECT_EQ(pack.Entries()[1].size, 0u);
    EXPECT_EQ(pack.Entries()[2].size, 2u);
}

TEST(PackFile, EveryTruncationIsRefused) {
    const auto bytes = MakeTextPack({{"one.png", "0123456789"}, {"two.jpg", "abcdef"}});
    for (size_t length = 0; length < bytes.size(); ++length) {
        CPackFile pack;
        EXPECT_FALSE(pack.LoadFromMemory(bytes.data(), length)) << "length " << length;
        EXPECT_TRUE(pack.Entries().empty());
        EXPECT_FALSE(pack.Error().empty());
    }
}

TEST(PackFile, OffsetsAndSizesPastTheEndAreRefused) {
    auto bytes = MakeTextPack({{"one.png", "0123456789"}});
    auto badOffset = bytes;
    badOffset[4] = 0xF0;  // offset of entry 0
    CPackFile pack;
    EXPECT_FALSE(pack.LoadFromMemory(badOffset.data(), badOffset.size()));
    auto badSize = bytes;
    badSize[8 + 3] = 0x7F;  // size of entry 0
    EXPECT_FALSE(pack.LoadFromMemory(badSize.data(), badSize.size()));
    auto badCount = bytes;
    badCount[3] = 0xFF;
    EXPECT_FALSE(pack.LoadFromMemory(badCount.data(), badCount.size()));
    EXPECT_FALSE(pack.Load("/nonexistent/pack.dat"));
}

TEST(AtomicFile, CommitReplacesTheFileWhole) {
    CTempDir dir;
    const std::string path = dir.File("p.dat");
    ASSERT_TRUE(WriteFileText(path, "old"));
    CAtomicFile file(path);
    FILE* f = file.Open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(WriteInt32(0x01020304, f));
    EXPECT_EQ(ReadFileText(path), "old");  // untouched until committed
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_TRUE(ReadFileBytes(path + ".tmp").empty());
}

TEST(AtomicFile, AFailedOrAbandonedWriteKeepsTheOldFile) {
    CTempDir dir;
    const std::string path = dir.File("p.dat");
    ASSERT_TRUE(WriteFileText(path, "old"));
    {
        CAtomicFile file(path);
        ASSERT_NE(file.Open(), nullptr);
        fputs("new", file.Stream());
        file.MarkFailed();
        EXPECT_FALSE(file.Commit());
    }
    {
        CAtomicFile file(path);
        ASSERT_NE(file.Open(), nullptr);
        fputs("new", file.Stream());
    }  // destroyed without commit
    EXPECT_EQ(ReadFileText(path), "old");
}

TEST(AtomicFile, AReadOnlyFolderReportsFailure) {
    if (geteuid() == 0) {
        // root writes through permissions; a missing folder fails the same way.
        CAtomicFile file("/nonexistent/zorv/p.dat");
        EXPECT_EQ(file.Open(), nullptr);
        EXPECT_FALSE(file.Commit());
        return;
    }
    CTempDir dir;
    const std::string path = dir.File("p.dat");
    ASSERT_TRUE(WriteFileText(path, "old"));
    chmod(dir.Path().c_str(), 0555);
    CAtomicFile file(path);
    EXPECT_EQ(file.Open(), nullptr);
    EXPECT_FALSE(file.Commit());
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(ReadFileText(path), "old");
}

// The file written keeps the permissions of the one it replaces, which its
// owner chose (read-only, private, executable); a new file gets the usual
// ones.
TEST(AtomicFile, TheFileWrittenKeepsThePermissionsOfTheOneItReplaces) {
    CTempDir dir;
    const mode_t mask = umask(0);
    umask(mask);
    for (const mode_t mode : {0444, 0600, 0751, 0}) {
        SCOPED_TRACE(mode);
        const std::string path = dir.File("p.dat");
        remove(path.c_str());
        if (mode) {
            ASSERT_TRUE(WriteFileText(path, "old"));
            ASSERT_EQ(chmod(path.c_str(), mode), 0);
        }
        CAtomicFile file(path);
        ASSERT_NE(file.Open(), nullptr);
        fputs("new", file.Stream());
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(ReadFileText(path), "new");
        struct stat st;
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode ? mode : 0666 & ~mask);
    }
}

// Through a symbolic link the file it leads to is written (one not there yet
// too), whether the link is absolute or relative, and the link stays. A link
// to anything but a file (a pipe, a device) is never written through: the
// link itself is replaced, and so is one that goes round in links.
TEST(AtomicFile, WritesTheFileALinkLeadsToAndNothingButAFile) {
    CTempDir dir, elsewhere;
    const std::string relative = "../" + elsewhere.Path().substr(elsewhere.Path().rfind('/') + 1);
    ASSERT_TRUE(WriteFileText(elsewhere.File("file"), "old"));
    ASSERT_EQ(mkfifo(elsewhere.File("pipe").c_str(), 0644), 0);
    const struct {
        std::string link, target;
        bool followed;
    } rows[] = {
        {elsewhere.File("file"), elsewhere.File("file"), true},
        {relative + "/file", elsewhere.File("file"), true},
        {relative + "/new", elsewhere.File("new"), true},
        {elsewhere.File("pipe"), elsewhere.File("pipe"), false},
        {"link", "", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.link);
        const std::string path = dir.File("link");
        remove(path.c_str());
        ASSERT_EQ(symlink(r.link.c_str(), path.c_str()), 0);
        CAtomicFile file(path);
        ASSERT_NE(file.Open(), nullptr);
        fputs("new", file.Stream());
        ASSERT_TRUE(file.Commit());
        struct stat st;
        ASSERT_EQ(lstat(path.c_str(), &st), 0);
        EXPECT_EQ(S_ISLNK(st.st_mode), r.followed);
        EXPECT_EQ(ReadFileText(r.followed ? r.target : path), "new");
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"link"});
    }
    struct stat st;
    ASSERT_EQ(lstat(elsewhere.File("pipe").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(FolderEntries(elsewhere.Path()), (std::vector<std::string>{"file", "new", "pipe"}));
}
