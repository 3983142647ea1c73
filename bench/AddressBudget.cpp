// What the score server's budget per address costs: the time of one take
// (an address already in the table; a new address each time, as a crowd
// brings them), and the memory of the table when it holds as many addresses
// as it may. Give the figures with the machine's load (/proc/loadavg).
//
//   ./bench_AddressBudget
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <netinet/in.h>

#include <memory>

#include "server/CAddressBudget.h"

namespace {

sockaddr_in Address(uint32_t n) {
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(0x0A000000u + n);
    return a;
}

// Uploads without a bound in sight: every take is let through.
const CAddressBudget::Rate kWide = {CAddressBudget::kRateMax, CAddressBudget::kRateMax};

void BM_TakeKnownAddress(benchmark::State& state) {
    CAddressBudget budget(CAddressBudget::kRegistrationsDefault, kWide);
    const sockaddr_in a = Address(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(budget.Take(AddressKey::Of(reinterpret_cast<const sockaddr*>(&a)), CAddressBudget::kUpload));
}
BENCHMARK(BM_TakeKnownAddress);

void BM_TakeNewAddress(benchmark::State& state) {
    CAddressBudget budget(CAddressBudget::kRegistrationsDefault, CAddressBudget::kUploadsDefault);
    uint32_t n = 0;
    for (auto _ : state) {
        const sockaddr_in a = Address(n++ % (1u << 24));
        benchmark::DoNotOptimize(budget.Take(AddressKey::Of(reinterpret_cast<const sockaddr*>(&a)), CAddressBudget::kUpload));
    }
    state.counters["tracked"] = static_cast<double>(budget.Tracked());
}
BENCHMARK(BM_TakeNewAddress);

// Bytes the allocator hands out for a table of the most addresses, and
// for one more crowd of as many (which shares a budget, so adds nothing).
void BM_TableMemoryAtItsBound(benchmark::State& state) {
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto budget = std::make_unique<CAddressBudget>(CAddressBudget::kRegistrationsDefault,
                                                       CAddressBudget::kUploadsDefault);
        for (uint32_t n = 0; n < CAddressBudget::kAddressesMax; ++n) {
            const sockaddr_in a = Address(n);
            budget->Take(AddressKey::Of(reinterpret_cast<const sockaddr*>(&a)), CAddressBudget::kUpload);
        }
        const size_t full = mallinfo2().uordblks;
        for (uint32_t n = 0; n < CAddressBudget::kAddressesMax; ++n) {
            const sockaddr_in a = Address(CAddressBudget::kAddressesMax + n);
            budget->Take(AddressKey::Of(reinterpret_cast<const sockaddr*>(&a)), CAddressBudget::kUpload);
        }
        state.counters["table_bytes"] = static_cast<double>(full - before);
        state.counters["past_bound_bytes"] = static_cast<double>(mallinfo2().uordblks - before);
        state.counters["tracked"] = static_cast<double>(budget->Tracked());
    }
}
BENCHMARK(BM_TableMemoryAtItsBound)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
