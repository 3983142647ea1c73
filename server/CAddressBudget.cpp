#include "server/CAddressBudget.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/ReadNumber.h"
#include "server/ServerLog.h"

namespace {

// How often the table drops the addresses that are full again, and how
// often it tries when it is full and a new address asks.
const std::chrono::seconds kPruneEvery(60);
const std::chrono::seconds kPruneWhenFullEvery(1);
// The line that says new addresses share a budget comes at most this often.
const std::chrono::seconds kCrowdLogEvery(60);

}  // namespace

CAddressBudget::CAddressBudget(Rate registrations, Rate uploads, size_t addressesMax,
                               std::function<Clock::time_point()> now)
    : rates_{registrations, uploads}, addressesMax_(addressesMax), now_(std::move(now)), crowd_() {
    lastPrune_ = now_();
}

unsigned CAddressBudget::Spend(Clock::time_point* full, Kind kind, Clock::time_point now) const {
    // The bucket holds burst tokens when full, one more every interval: it
    // is empty while it is a whole window (burst intervals) from full.
    const Rate rate = rates_[kind];
    const Clock::duration interval = std::chrono::duration_cast<Clock::duration>(std::chrono::minutes(1)) /
                                     static_cast<Clock::rep>(rate.perMinute);
    const Clock::duration window = interval * static_cast<Clock::rep>(rate.burst);
    const Clock::time_point after = std::max(*full, now) + interval;
    if (after - now <= window) {
        *full = after;
        return 0;
    }
    const std::chrono::duration<double> wait = (after - now) - window;
    return std::max(1u, static_cast<unsigned>(std::ceil(wait.count())));
}

unsigned CAddressBudget::Take(const AddressKey& from, Kind kind) {
    if (rates_[kind].burst == 0) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    const Clock::time_point now = now_();
    if (now - lastPrune_ >= kPruneEvery) Prune(now);
    return Spend(&BucketsOf(from, now)->full[kind], kind, now);
}

CAddressBudget::Buckets* CAddressBudget::BucketsOf(const AddressKey& from, Clock::time_point now) {
    auto found = table_.find(from);
    if (found != table_.end()) return &found->second;
    if (table_.size() >= addressesMax_ && now - lastPrune_ >= kPruneWhenFullEvery) Prune(now);
    AddressKey key = from;
    if (from.family == AddressKey::kIPv6) {
        const auto site = subnets_.find(from.Site().bits);
        if (site != subnets_.end() && site->second >= kSubnetsPerSite) key = from.Site();
    }
    found = table_.find(key);
    if (found != table_.end()) return &found->second;
    if (table_.size() >= addressesMax_) {
        if (!crowdLogged_ || now - lastCrowdLog_ >= kCrowdLogEvery) {
            ServerLog("budget: all %zu addresses tracked are still refilling: new addresses share one "
                      "address's budget until some are full again",
                      table_.size());
            crowdLogged_ = true;
            lastCrowdLog_ = now;
        }
        return &crowd_;
    }
    if (key.family == AddressKey::kIPv6) ++subnets_[key.Site().bits];
    return &table_.emplace(key, Buckets()).first->second;
}

void CAddressBudget::Prune(Clock::time_point now) {
    lastPrune_ = now;
    for (auto it = table_.begin(); it != table_.end();) {
        const Buckets& b = it->second;
        if (!std::all_of(std::begin(b.full), std::end(b.full), [now](Clock::time_point f) { return f <= now; })) {
            ++it;
            continue;
        }
        if (it->first.family == AddressKey::kIPv6) {
            const auto site = subnets_.find(it->first.Site().bits);
            if (--site->second == 0) subnets_.erase(site);
        }
        it = table_.erase(it);
    }
}

size_t CAddressBudget::Tracked() {
    std::lock_guard<std::mutex> lock(mutex_);
    return table_.size();
}

bool CAddressBudget::ReadRate(const std::string& text, Rate* rate) {
    if (text == "off") {
        *rate = {0, 0};
        return true;
    }
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    Rate read = {0, 0};
    if (!ReadNumber(text.substr(0, comma), 1u, kRateMax, &read.burst) ||
        !ReadNumber(text.substr(comma + 1), 1u, kRateMax, &read.perMinute))
        return false;
    *rate = read;
    return true;
}

std::string CAddressBudget::RateText(Rate rate) {
    if (rate.burst == 0) return "off";
    return std::to_string(rate.burst) + "," + std::to_string(rate.perMinute);
}
