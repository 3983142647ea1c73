// A client as the server bounds clients: an IPv4 address, or the /64
// network of an IPv6 one (one host is usually given a whole /64, and takes
// any address of it); an IPv4 address mapped into IPv6 (a server listening
// on "::") is its IPv4 address. The connections one client holds and what
// it may write are both counted by this key.
#pragma once

#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <functional>

struct AddressKey {
    enum Family : uint8_t {
        kNone = 0,   // no address (or none of the two families)
        kIPv4 = 4,   // bits: the address
        kIPv6 = 6,   // bits: the /64 network
        kSite = 48,  // bits: a /48 network (its low 16 bits zero), one site
    };
    uint64_t bits = 0;
    Family family = kNone;

    static AddressKey Of(const sockaddr* from);
    // The /48 of an IPv6 key: the site its /64 belongs to.
    AddressKey Site() const { return AddressKey{bits & ~uint64_t{0xFFFF}, kSite}; }

    bool operator==(const AddressKey& other) const { return bits == other.bits && family == other.family; }
    struct Hash {
        size_t operator()(const AddressKey& k) const {
            return std::hash<uint64_t>()(k.bits * 0x9E3779B97F4A7C15ull + k.family);
        }
    };
};
