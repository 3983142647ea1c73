#include "tools/design/CWorldKey.h"

#include <cstdio>
#include <cstring>

namespace {

uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

// Two independent 64-bit hashes over the bytes, eight at a time.
CWorldKey HashBytes(const std::string& bytes) {
    uint64_t a = 0x243f6a8885a308d3ull ^ bytes.size();
    uint64_t b = 0x13198a2e03707344ull;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t i = 0;
    auto lanes = [&](uint64_t word) {
        a = Mix(a ^ word) + 0x9e3779b97f4a7c15ull;
        b = (b ^ word) * 0x100000001b3ull;
        b ^= b >> 29;
    };
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        memcpy(&word, p + i, 8);
        lanes(word);
    }
    uint64_t tail = 0;
    for (int k = 0; i < bytes.size(); ++i, ++k) tail |= static_cast<uint64_t>(p[i]) << (8 * k);
    lanes(tail);
    CWorldKey key;
    key.a = Mix(a);
    key.b = Mix(b ^ a);
    return key;
}

}  // namespace

std::string CWorldKey::Contents(bool heroFacing) { return CWorldDigest::TakeBytes(CWorldDigest::kKey, heroFacing); }

CWorldDigest CWorldKey::Describe(bool heroFacing) { return CWorldDigest::Take(CWorldDigest::kKey, heroFacing); }

CWorldKey CWorldKey::OfBytes(const std::string& bytes) { return HashBytes(bytes); }

CWorldKey CWorldKey::OfWorld(bool heroFacing) { return OfBytes(Contents(heroFacing)); }

std::string CWorldKey::ToString() const {
    char buf[40];
    snprintf(buf, sizeof buf, "%016llx%016llx", static_cast<unsigned long long>(a), static_cast<unsigned long long>(b));
    return buf;
}
