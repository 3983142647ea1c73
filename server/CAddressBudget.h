// What one client address may write. Registrations and uploads each have a
// token bucket of their own per address: a burst taken at once from a full
// bucket, refilled at a steady rate. Two buckets, not one with costs, since
// the two differ by orders of magnitude in a school's ordinary day: a class
// registers thirty names once, then sends scores all lesson long; a shared
// bucket could not give registrations a small refill without starving the
// uploads of a class that has just registered.
//
// An address is an AddressKey (an IPv4 address, or the /64 network of an
// IPv6 one), as for the server's connections. A full bucket is no
// different from none: such addresses are dropped from the table, so it
// holds only the addresses that wrote lately. It holds at most a fixed
// number of them: when it is full of addresses still refilling, new ones
// share one more bucket pair between them until some refill, so a crowd of
// new addresses gets no more than one address would, and every address
// already in the table keeps its own budget.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "server/AddressKey.h"

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
    // The /64s of one /48 with a budget of their own. A /48 is one site (a
    // home or an office is given a /56 or a /48): its first 256 subnets,
    // a whole /56, each write as an address does, so only 256 sites
    // together can fill the table.
    static constexpr size_t kSubnetsPerSite = 256;

    CAddressBudget(Rate registrations, Rate uploads, size_t addressesMax = kAddressesMax,
                   std::function<Clock::time_point()> now = Clock::now);

    // Takes one of kind from the budget of the address from: 0 when it may
    // go on, else the seconds (1 or more) until the next one may.
    unsigned Take(const AddressKey& from, Kind kind);

    // Addresses in the table now, the entries of sites among them (the
    // shared bucket of a full table aside).
    size_t Tracked();

    // "100,6", or "off" for no bound; false for anything else (two decimal
    // numbers from 1 to kRateMax, with a comma between them).
    static bool ReadRate(const std::string& text, Rate* rate);
    static std::string RateText(Rate rate);

private:
    // Per kind, the moment the bucket is full again (the bucket holds
    // tokens for the time it still has to go till then).
    struct Buckets {
        Clock::time_point full[kKinds];
    };

    // The buckets that from spends: its own, its site's, or the crowd's.
    Buckets* BucketsOf(const AddressKey& from, Clock::time_point now);
    unsigned Spend(Clock::time_point* full, Kind kind, Clock::time_point now) const;
    // Drops the addresses whose buckets are all full.
    void Prune(Clock::time_point now);

    Rate rates_[kKinds];
    size_t addressesMax_;
    std::function<Clock::time_point()> now_;

    std::mutex mutex_;
    std::unordered_map<AddressKey, Buckets, AddressKey::Hash> table_;
    // Per site (the bits of its /48), its /64s in the table.
    std::unordered_map<uint64_t, size_t> subnets_;
    Buckets crowd_;  // shared by new addresses while the table is full
    Clock::time_point lastPrune_;
    Clock::time_point lastCrowdLog_;
    bool crowdLogged_ = false;
};
