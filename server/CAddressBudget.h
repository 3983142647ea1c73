// What one client address may write. Registrations and uploads each have a
// token bucket of their own per address: a burst taken at once from a full
// bucket, refilled at a steady rate. Two buckets, not one with costs, since
// the two differ by orders of magnitude in a school's ordinary day: a class
// registers thirty names once, then sends scores all lesson long; a shared
// bucket could not give registrations a small refill without starving the
// uploads of a class that has just registered.
//
// An address is its IPv4 address, or the /64 network of an IPv6 one (one
// host is usually given a whole /64); an IPv4 address mapped into IPv6 (a
// server listening on "::") is its IPv4 address. A full bucket is no
// different from none: such addresses are dropped from the table, so it
// holds only the addresses that wrote lately. It holds at most a fixed
// number of them: when it is full of addresses still refilling, new ones
// share one more bucket pair between them until some refill, so a crowd of
// new addresses gets no more than one address would, and every address
// already in the table keeps its own budget.
#pragma once

#include <sys/socket.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

class CAddressBudget {
public:
    using Clock = std::chrono::steady_clock;

    enum Kind { kRegistration = 0, kUpload = 1, kKinds = 2 };

    struct Rate {
        unsigned burst;      // taken at once from a full bucket; 0: no bound at all
        unsigned perMinute;  // put back each minute
    };
    // A school behind one address: thirty players register at the start of
    // a lesson (with a retry or two for a taken name), and send a score
    // after each level or six when they look at every board at once.
    static constexpr Rate kRegistrationsDefault = {100, 6};
    static constexpr Rate kUploadsDefault = {300, 300};
    // The largest burst and refill an option may give.
    static constexpr unsigned kRateMax = 1000000;
    // Addresses tracked at once (a few dozen bytes each).
    static constexpr size_t kAddressesMax = 65536;

    CAddressBudget(Rate registrations, Rate uploads, size_t addressesMax = kAddressesMax,
                   std::function<Clock::time_point()> now = Clock::now);

    // Takes one of kind from the budget of the address at from: 0 when it
    // may go on, else the seconds (1 or more) until the next one may.
    unsigned Take(const sockaddr* from, Kind kind);

    // Addresses in the table now (the shared bucket of a full table aside).
    size_t Tracked();

    // "100,6", or "off" for no bound; false for anything else (two decimal
    // numbers from 1 to kRateMax, with a comma between them).
    static bool ReadRate(const std::string& text, Rate* rate);
    static std::string RateText(Rate rate);

private:
    struct Key {
        uint64_t bits;   // the IPv4 address, or the /64 of an IPv6 one
        uint8_t family;  // 4, 6, or 0 for anything else
        bool operator==(const Key& other) const { return bits == other.bits && family == other.family; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const { return std::hash<uint64_t>()(k.bits * 0x9E3779B97F4A7C15ull + k.family); }
    };
    // Per kind, the moment the bucket is full again (the bucket holds
    // tokens for the time it still has to go till then).
    struct Buckets {
        Clock::time_point full[kKinds];
    };

    static Key KeyOf(const sockaddr* from);
    unsigned Spend(Clock::time_point* full, Kind kind, Clock::time_point now) const;
    // Drops the addresses whose buckets are all full.
    void Prune(Clock::time_point now);

    Rate rates_[kKinds];
    size_t addressesMax_;
    std::function<Clock::time_point()> now_;

    std::mutex mutex_;
    std::unordered_map<Key, Buckets, KeyHash> table_;
    Buckets crowd_;  // shared by new addresses while the table is full
    Clock::time_point lastPrune_;
    Clock::time_point lastCrowdLog_;
    bool crowdLogged_ = false;
};
