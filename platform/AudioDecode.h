// Decoding of whole sound files held in memory into 16-bit samples. The
// decoder is chosen by the file's first bytes, never by its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct AudioPcm {
    std::vector<int16_t> samples;  // interleaved frames
    int channels = 0;              // 1 or 2
    int rate = 0;                  // frames per second
    size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

// The most samples one decoded sound may hold (about 12 minutes of stereo at
// 44100 Hz); a larger or endless stream is refused instead of eating memory.
constexpr size_t kAudioMaxSamples = size_t(64) * 1024 * 1024;

// Decodes an Ogg Vorbis file ("OggS"). Returns an AudioResult: AUDIO_ERR_FORMAT
// for bytes of another kind, AUDIO_ERR_FILE_BAD for a damaged stream.
int AudioDecodeMemory(const void* data, size_t size, AudioPcm* out);
