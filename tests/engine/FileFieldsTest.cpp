#include <gtest/gtest.h>

#include <cstdio>

#include "engine/FileFields.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<uint8_t> WrittenBy(void (*write)(FILE*)) {
    CTempDir dir;
    const std::string path = dir.File("fields.bin");
    FILE* f = fopen(path.c_str(), "wb");
    write(f);
    fclose(f);
    return ReadFileBytes(path);
}

}  // namespace

TEST(FileFields, WritesLittleEndianBytes) {
    EXPECT_EQ(WrittenBy([](FILE* f) { ASSERT_TRUE(WriteInt32(0x01020304, f)); }),
              (std::vector<uint8_t>{0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(WrittenBy([](FILE* f) { ASSERT_TRUE(WriteFloat(1.0f, f)); }),
              (std::vector<uint8_t>{0x00, 0x00, 0x80, 0x3F}));
    EXPECT_EQ(WrittenBy([](FILE* f) { ASSERT_TRUE(WriteInt64(0x0102030405060708LL, f)); }),
              (std::vector<uint8_t>{8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(WrittenBy([](FILE* f) { ASSERT_TRUE(WriteUInt8(0xAB, f)); }), (std::vector<uint8_t>{0xAB}));
}

TEST(FileFields, SwapsAreIdentityOnThisHost) {
    ASSERT_FALSE(IsBigEndian());
    EXPECT_EQ(SwapInt32(0x01020304u), 0x01020304u);
    EXPECT_EQ(SwapInt16(0x0102), 0x0102);
    EXPECT_EQ(SwapFloat(2.5f), 2.5f);
}

TEST(FileFields, RoundTripEveryKind) {
    CTempDir dir;
    const std::string path = dir.File("round.bin");
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(WriteInt32(-123456, f));
    ASSERT_TRUE(WriteUInt8(200, f));
    ASSERT_TRUE(WriteFloat(-0.75f, f));
    ASSERT_TRUE(WriteInt64(-9876543210LL, f));
    fclose(f);

    f = fopen(path.c_str(), "rb");
    int32_t i = 0;
    uint8_t b = 0;
    float x = 0;
    int64_t l = 0;
    EXPECT_TRUE(ReadInt32(&i, f));
    EXPECT_TRUE(ReadUInt8(&b, f));
    EXPECT_TRUE(ReadFloat(&x, f));
    EXPECT_TRUE(ReadInt64(&l, f));
    fclose(f);
    EXPECT_EQ(i, -123456);
    EXPECT_EQ(b, 200);
    EXPECT_EQ(x, -0.75f);
    EXPECT_EQ(l, -9876543210LL);
}

TEST(FileFields, ShortReadGivesZeroAndFailure) {
    CTempDir dir;
    const std::string path = dir.File("short.bin");
    ASSERT_TRUE(WriteFileBytes(path, {0x11, 0x22}));
    FILE* f = fopen(path.c_str(), "rb");
    int32_t v = 77;
    EXPECT_FALSE(ReadInt32(&v, f));
    EXPECT_EQ(v, 0);
    uint8_t b = 5;
    EXPECT_FALSE(ReadUInt8(&b, f));
    EXPECT_EQ(b, 0);
    fclose(f);
}

TEST(FileFields, WriteToReadOnlyStreamReportsFailure) {
    CTempDir dir;
    const std::string path = dir.File("ro.bin");
    ASSERT_TRUE(WriteFileBytes(path, {1}));
    FILE* f = fopen(path.c_str(), "rb");
    EXPECT_FALSE(WriteInt32(5, f));
    EXPECT_FALSE(WriteInt32(5, nullptr));
    fclose(f);
}
