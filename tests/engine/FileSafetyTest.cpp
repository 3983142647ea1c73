// The bounded readers and the atomic writer that every file of the game uses.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/CAtomicFile.h"
#include "engine/CByteReader.h"
#include "engine/CPackFile.h"
#include "engine/FileFields.h"
#include "platform/Platform.h"
#include "tests/support/TestSupport.h"

namespace {

// An extended attribute of path as bytes ("" when it has none).
std::string Attribute(const std::string& path, const char* name) {
    char value[256];
    const ssize_t n = getxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? std::string() : std::string(value, static_cast<size_t>(n));
}

// A POSIX access ACL as the system stores it: the owner, the group and the
// others as the mode says, one more user with read and write, and the mask.
std::string AccessAcl(uid_t user) {
    std::string acl;
    const auto put = [&acl](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) acl.push_back(static_cast<char>(v >> (8 * i)));
    };
    put(2, 4);  // version
    const struct {
        uint16_t tag, perm;
        uint32_t id;
    } entries[] = {{0x01, 6, ~0u}, {0x02, 6, user}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 4, ~0u}};
    for (const auto& e : entries) {
        put(e.tag, 2);
        put(e.perm, 2);
        put(e.id, 4);
    }
    return acl;
}

// Rewrites path through CAtomicFile with "new".
bool Rewrite(const std::string& path) {
    CAtomicFile file(path);
    FILE* f = file.Open();
    if (!f) return false;
    fputs("new", f);
    return file.Commit();
}

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

// The file written keeps what the one it replaces had, which its owner
// chose: its mode (read-only, private, executable, sticky, and set-ID bits,
// its owner and group being kept), its extended attributes and the ACL that
// lets another user in. A new file gets the usual permissions.
TEST(AtomicFile, TheFileWrittenKeepsTheModeAttributesAndAclOfTheOneItReplaces) {
    CTempDir dir;
    const mode_t mask = umask(0);
    umask(mask);
    const std::string acl = AccessAcl(getuid() + 1);
    const struct {
        mode_t mode;  // 0: no file before
        bool attributes;
    } rows[] = {{0444, false}, {0600, false}, {0751, false}, {02644, false}, {04755, false},
                {01644, false}, {0664, true},  {0, false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.mode);
        const std::string path = dir.File("p.dat");
        remove(path.c_str());
        if (r.mode) {
            ASSERT_TRUE(WriteFileText(path, "old"));
            ASSERT_EQ(chmod(path.c_str(), r.mode), 0);
        }
        if (r.attributes) {
            ASSERT_EQ(setxattr(path.c_str(), "user.origin", "mine", 4, 0), 0) << strerror(errno);
            ASSERT_EQ(setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0)
                << strerror(errno);
        }
        ASSERT_TRUE(Rewrite(path));
        EXPECT_EQ(ReadFileText(path), "new");
        struct stat st;
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, r.mode ? r.mode : 0666 & ~mask);
        EXPECT_EQ(Attribute(path, "user.origin"), r.attributes ? "mine" : "");
        EXPECT_EQ(Attribute(path, "system.posix_acl_access"), r.attributes ? acl : "");
    }
}

// A file of another user is written back as his, with its set-ID bits, where
// the process may give it away (root rewriting a user's level, say); where it
// may not, the file is the writer's and loses its set-ID bits, as "cp -p"
// does, and keeps the rest of its mode.
TEST(AtomicFile, TheFileWrittenKeepsItsOwnerWhereTheProcessMayGiveItAway) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can make a file of another user to rewrite";
    constexpr uid_t kNobody = 65534;
    CTempDir dir;
    ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
    const std::string path = dir.File("p.dat");
    ASSERT_TRUE(WriteFileText(path, "old"));
    ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chmod(path.c_str(), 06664), 0);
    ASSERT_TRUE(Rewrite(path));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 06664u);

    // Root's file, rewritten by another user who may write into its folder.
    ASSERT_EQ(chown(path.c_str(), 0, 0), 0);
    ASSERT_EQ(chmod(path.c_str(), 06666), 0);
    fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(99);
        _exit(Rewrite(path) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0666u);
    EXPECT_EQ(ReadFileText(path), "new");
}

// Through a symbolic link the file it leads to is written (one not there yet
// too), whether the link is absolute or relative, and the link stays. A link
// to anything but a file (a pipe, a device) is never written through: the
// link itself is replaced, and so is one that goes round in links. A writer
// that read the file through the link is told beforehand that the link now
// leads nowhere (a file not there, or round in links), and why.
TEST(AtomicFile, WritesTheFileALinkLeadsToAndNothingButAFile) {
    CTempDir dir, elsewhere;
    const std::string relative = "../" + elsewhere.Path().substr(elsewhere.Path().rfind('/') + 1);
    ASSERT_TRUE(WriteFileText(elsewhere.File("file"), "old"));
    ASSERT_EQ(mkfifo(elsewhere.File("pipe").c_str(), 0644), 0);
    const struct {
        std::string link, target;
        bool followed;
        int nowhere;  // why the link leads nowhere; 0: it leads somewhere
    } rows[] = {
        {elsewhere.File("file"), elsewhere.File("file"), true, 0},
        {relative + "/file", elsewhere.File("file"), true, 0},
        {relative + "/new", elsewhere.File("new"), true, ENOENT},
        {elsewhere.File("pipe"), elsewhere.File("pipe"), false, 0},
        {"link", "", false, ELOOP},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.link);
        const std::string path = dir.File("link");
        remove(path.c_str());
        ASSERT_EQ(symlink(r.link.c_str(), path.c_str()), 0);
        CAtomicFile file(path);
        int why = 0;
        EXPECT_EQ(file.LeadsNowhere(&why), r.nowhere != 0);
        EXPECT_EQ(why, r.nowhere);
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

    // A chain of links is followed to its file: one of three, and one of as
    // many links as the system follows; one link more is taken as going
    // round, and the link itself is replaced.
    for (const int links : {3, kPlatformMaxLinks, kPlatformMaxLinks + 1}) {
        SCOPED_TRACE(links);
        CTempDir chain;
        ASSERT_TRUE(WriteFileText(chain.File("end"), "old"));
        std::string next = "end";
        for (int i = 1; i < links; ++i) {
            const std::string name = "link" + std::to_string(i);
            ASSERT_EQ(symlink(next.c_str(), chain.File(name).c_str()), 0);
            next = name;
        }
        const std::string path = dir.File("link");
        remove(path.c_str());
        ASSERT_EQ(symlink(chain.File(next).c_str(), path.c_str()), 0);
        ASSERT_TRUE(Rewrite(path));
        const bool followed = links <= kPlatformMaxLinks;
        ASSERT_EQ(lstat(path.c_str(), &st), 0);
        EXPECT_EQ(S_ISLNK(st.st_mode), followed);
        EXPECT_EQ(ReadFileText(chain.File("end")), followed ? "new" : "old");
        EXPECT_EQ(ReadFileText(path), "new");
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"link"});
    }
}
