// Cost of the audio callback's work: mixing one device buffer (1024 frames)
// with a number of busy channels, at a changed frequency so that every
// channel resamples.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/CAudioMixer.h"
#include "platform/CAudioSound.h"

static void BM_MixBuffer(benchmark::State& state) {
    AudioPcm pcm;
    pcm.channels = 1;
    pcm.rate = 22050;
    for (int i = 0; i < 22050; ++i) pcm.samples.push_back(static_cast<int16_t>((i * 37) % 20000 - 10000));
    CAudioSound sound(std::move(pcm));
    CAudioMixer mixer(44100, 128);
    for (int64_t i = 0; i < state.range(0); ++i) {
        AudioChannelId id = 0;
        mixer.Play(&sound, false, true, &id);
        mixer.SetVolume(id, 0.5f);
        mixer.SetFrequency(id, 22050.0f * (1.0f + 0.01f * static_cast<float>(i)));
    }
    std::vector<int16_t> out(2048);
    for (auto _ : state) {
        mixer.Mix(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_MixBuffer)->Arg(1)->Arg(8)->Arg(32)->Arg(128);

BENCHMARK_MAIN();
