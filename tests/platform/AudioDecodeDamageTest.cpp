// Damaged Ogg Vorbis files: cut short or with bytes changed, a decode either
// fails cleanly with no samples or gives whole frames, and never reads
// outside the file's bytes (this test also runs under AddressSanitizer).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/CPackFile.h"
#include "engine/ResourceFiles.h"
#include "platform/AudioDecode.h"
#include "platform/AudioResult.h"

namespace {

std::vector<uint8_t> FirstSound() {
    CPackFile pack;
    if (!pack.Load(std::string(ZORV_RUN_DIR) + "/" + kSoundPackFile) || pack.Entries().empty()) return {};
    const CPackFile::Entry& e = pack.Entries()[0];
    return std::vector<uint8_t>(e.data, e.data + e.size);
}

void ExpectCleanResult(int result, const AudioPcm& pcm) {
    if (result == AUDIO_OK) {
        ASSERT_GT(pcm.samples.size(), 0u);
        ASSERT_TRUE(pcm.channels == 1 || pcm.channels == 2);
        ASSERT_EQ(0u, pcm.samples.size() % static_cast<size_t>(pcm.channels));
    } else {
        ASSERT_TRUE(pcm.samples.empty());
    }
}

}  // namespace

TEST(AudioDecodeDamage, WholeFileDecodes) {
    const std::vector<uint8_t> ogg = FirstSound();
    ASSERT_FALSE(ogg.empty());
    AudioPcm pcm;
    EXPECT_EQ(AUDIO_OK, AudioDecodeMemory(ogg.data(), ogg.size(), &pcm));
    EXPECT_GT(pcm.Frames(), 0u);
}

TEST(AudioDecodeDamage, CutShortAnywhere) {
    const std::vector<uint8_t> ogg = FirstSound();
    ASSERT_FALSE(ogg.empty());
    for (size_t n = 0; n < ogg.size(); n += 53) {
        // A private copy of exactly n bytes, so that a read past its end is caught.
        std::vector<uint8_t> cut(ogg.begin(), ogg.begin() + static_cast<long>(n));
        AudioPcm pcm;
        const int r = AudioDecodeMemory(cut.data(), cut.size(), &pcm);
        ExpectCleanResult(r, pcm);
    }
}

TEST(AudioDecodeDamage, ChangedBytesAnywhere) {
    const std::vector<uint8_t> ogg = FirstSound();
    ASSERT_FALSE(ogg.empty());
    for (size_t at = 4; at < ogg.size(); at += 37) {
        std::vector<uint8_t> bad = ogg;
        bad[at] ^= static_cast<uint8_t>(0x5A + at);
        AudioPcm pcm;
        const int r = AudioDecodeMemory(bad.data(), bad.size(), &pcm);
        ExpectCleanResult(r, pcm);
    }
}

TEST(AudioDecodeDamage, EmptyAndNullInput) {
    AudioPcm pcm;
    EXPECT_EQ(AUDIO_ERR_FORMAT, AudioDecodeMemory("", 0, &pcm));
    EXPECT_EQ(AUDIO_ERR_INVALID_PARAM, AudioDecodeMemory(nullptr, 10, &pcm));
    EXPECT_EQ(AUDIO_ERR_INVALID_PARAM, AudioDecodeMemory("OggS", 4, nullptr));
}
