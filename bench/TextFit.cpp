// Text set in its box: a message box body as the game draws it, and a sign's
// text of growing length fitted to the large bubble, unbroken and in words.
// Fitting must grow in step with the text: twice the text, about twice the
// time. Start it from the run folder.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <string>

#include "engine/FontRender.h"

namespace {

// The large bubble's text area and the font of a sign's own text.
constexpr int kSignW = 382, kSignH = 148, kSignText = 300;

void Fonts() {
    static bool started = false;
    if (!started) FontInit("./", "resource5.dat");
    started = true;
}

std::string SignText(size_t bytes, bool words) {
    const std::string word = words ? "crate " : "crate";
    std::string s;
    while (s.size() < bytes) s += word;
    s.resize(bytes);
    return s;
}

// Fits a typed text as the message box (kLines) or a sign (kLinesKeepEnd)
// does and renders it.
SDL_Surface* Fitted(int textId, FontFit how, int w, int h, const char* typed) {
    FontFitRequest fit(textId, how, typed, w, h);
    if (how == FontFit::kLinesKeepEnd) fit.values = FontValues::kTypedLines;
    return FontRenderStringFitted(fit, how == FontFit::kLines ? 2 : 0);
}

void BM_MessageBody(benchmark::State& state) {
    Fonts();
    for (auto _ : state) SDL_FreeSurface(Fitted(2319, FontFit::kLines, 350, 120, "Someone With A Long Name"));
}
BENCHMARK(BM_MessageBody)->Unit(benchmark::kMillisecond);

void BM_FitSignText(benchmark::State& state) {
    Fonts();
    const std::string text = SignText(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) SDL_FreeSurface(Fitted(kSignText, FontFit::kLinesKeepEnd, kSignW, kSignH, text.c_str()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
// Unbroken text (a word broken between its characters at every line) and
// words, each at three lengths four times apart.
BENCHMARK(BM_FitSignText)
    ->ArgsProduct({{1 << 10, 1 << 12, 1 << 14}, {0}})
    ->ArgsProduct({{1 << 16, 1 << 18, 1 << 20}, {1}})
    ->Unit(benchmark::kMillisecond);

// A message whose value is a long text (a server's answer), in words.
void BM_FitMessage(benchmark::State& state) {
    Fonts();
    const std::string text = SignText(static_cast<size_t>(state.range(0)), true);
    for (auto _ : state) SDL_FreeSurface(Fitted(2336, FontFit::kLines, 350, 120, text.c_str()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_FitMessage)->Arg(1 << 12)->Arg(1 << 14)->Arg(1 << 16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
