// Ogg Vorbis encoding of synthesized sound through libvorbisenc. The stream's
// serial number is fixed, so the same samples always give the same bytes.
#pragma once

#include <cstdint>
#include <vector>

// samples: interleaved, channels 1 or 2, values -1..1. quality: -0.1..1.
bool EncodeVorbis(const std::vector<float>& samples, int channels, int rate, float quality, std::vector<uint8_t>* out);
