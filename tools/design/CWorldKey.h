// The identity of a world position for the level-design tools: what the
// world holds at rest, hashed to 128 bits. Two positions with the same key
// behave the same under every later command, so the solver searches each one
// once.
//
// The contents are the level-end flags, the grid (as element numbers), every
// element in list order with its kind, cell, pixel position, material and
// movement flags, magnet links and caught flags, what each class keeps of its
// own (the hero's inventory, a bot's alertness, a gate, a button, a magnet's
// EMP count, a bridge, a trampoline) and the class-wide lists (pressed
// buttons, teleport pairs, magnets, power-ups). Left out is what only shows:
// sprites, animation states, idle counters, sounds, the step count, the
// bots' held keys, which they work out again from the positions every frame,
// and whether the hero or a bot lies knocked over under a load: at rest that
// lasts exactly as long as the load stays on his head.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CWorldKey {
public:
    // heroFacing: whether the hero's facing counts (it matters only where he
    // can use a power-up, since power-ups act on his facing side).
    static CWorldKey OfWorld(bool heroFacing);
    // The contents the key is made of, as bytes.
    static std::string Contents(bool heroFacing);
    static CWorldKey OfBytes(const std::string& bytes);
    // The same contents as named text, one line per part (for telling where
    // two worlds differ).
    static std::string Describe(bool heroFacing);
    // The first line in which two descriptions differ ("" when they agree).
    static std::string FirstDifference(const std::string& a, const std::string& b);

    bool operator==(const CWorldKey& o) const { return a == o.a && b == o.b; }
    bool operator!=(const CWorldKey& o) const { return !(*this == o); }
    std::string ToString() const;

    uint64_t a = 0;
    uint64_t b = 0;
};

struct CWorldKeyHash {
    size_t operator()(const CWorldKey& k) const { return static_cast<size_t>(k.a ^ (k.b * 0x9e3779b97f4a7c15ull)); }
};
