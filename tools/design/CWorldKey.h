// The identity of a world position for the level-design tools: what the
// world holds at rest, hashed to 128 bits. Two positions with the same key
// behave the same under every later command, so the solver searches each one
// once. The contents are the key view of the world digest (see
// CWorldDigest): the level-end flags, the grid, every element with what
// decides its play, and the class-wide lists that decide play.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "world/CWorldDigest.h"

class CWorldKey {
public:
    // heroFacing: whether the hero's facing counts (it matters only where he
    // can use a power-up, since power-ups act on his facing side).
    static CWorldKey OfWorld(bool heroFacing);
    // The contents the key is made of, as bytes.
    static std::string Contents(bool heroFacing);
    static CWorldKey OfBytes(const std::string& bytes);
    // The same contents with their names (for telling where two worlds
    // differ: CWorldDigest::FindDifference).
    static CWorldDigest Describe(bool heroFacing);

    bool operator==(const CWorldKey& o) const { return a == o.a && b == o.b; }
    bool operator!=(const CWorldKey& o) const { return !(*this == o); }
    std::string ToString() const;

    uint64_t a = 0;
    uint64_t b = 0;
};

struct CWorldKeyHash {
    size_t operator()(const CWorldKey& k) const { return static_cast<size_t>(k.a ^ (k.b * 0x9e3779b97f4a7c15ull)); }
};
