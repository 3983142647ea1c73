#include "EffectRecipes.h"

#include <cstdlib>
#include <functional>
#include <map>

namespace {

using W = SynthWave;
using F = SynthFilter;

SynthVoice Tone(W wave, double f0, double f1, float amp, double attack, double decay) {
    SynthVoice v;
    v.wave = wave;
    v.f0 = f0;
    v.f1 = f1;
    v.amp = amp;
    v.attack = attack;
    v.decay = decay;
    return v;
}

SynthVoice Noise(F filter, double cut0, double cut1, double q, float amp, double attack, double decay, uint32_t seed) {
    SynthVoice v;
    v.wave = W::Noise;
    v.filter = filter;
    v.cut0 = cut0;
    v.cut1 = cut1;
    v.q = q;
    v.amp = amp;
    v.attack = attack;
    v.decay = decay;
    v.seed = seed;
    return v;
}

// Number at the end of a name's stem ("bot_footstep7" gives 7), or fallback.
int Variant(const std::string& stem, int fallback) {
    size_t i = stem.size();
    while (i > 0 && stem[i - 1] >= '0' && stem[i - 1] <= '9') --i;
    if (i == stem.size()) return fallback;
    return atoi(stem.c_str() + i);
}

// A short burst of crackles between from and to seconds.
void Crackles(SynthBuffer& b, double from, double to, int count, double cutoff, float amp, uint32_t seed) {
    uint32_t r = seed;
    for (int i = 0; i < count; ++i) {
        const double t = from + (to - from) * (SynthNoise(&r) * 0.5 + 0.5);
        const float a = amp * static_cast<float>(0.4 + 0.6 * (SynthNoise(&r) * 0.5 + 0.5));
        const double c = cutoff * (0.7 + 0.6 * (SynthNoise(&r) * 0.5 + 0.5));
        SynthRender(b, t, 0.012 + 0.02 * (SynthNoise(&r) * 0.5 + 0.5), Noise(F::BandPass, c, 0, 1.5, a, 0.0005, 6, r));
    }
}

// Inharmonic partials of struck metal.
void Clang(SynthBuffer& b, double at, double dur, double base, float amp) {
    const double ratios[] = {1.0, 2.76, 5.40, 8.93};
    for (int i = 0; i < 4; ++i)
        SynthRender(b, at, dur / (1 + i * 0.5), Tone(W::Sine, base * ratios[i], 0, amp / (1 + i), 0.001, 5));
}

void Thump(SynthBuffer& b, double at, double dur, double f0, double f1, float amp) {
    SynthRender(b, at, dur, Tone(W::Sine, f0, f1, amp, 0.002, 5));
}

void Step(SynthBuffer& b, int n, bool metal) {
    const uint32_t seed = 100 + static_cast<uint32_t>(n) * 17;
    const double pitch = 1.0 + 0.08 * ((n * 5) % 7 - 3) / 3.0;
    if (metal) {
        SynthRender(b, 0, 0.09, Noise(F::BandPass, 2400 * pitch, 1400, 3, 0.5f, 0.001, 6, seed));
        Clang(b, 0, 0.14, 420 * pitch, 0.35f);
        Thump(b, 0, 0.08, 140 * pitch, 70, 0.5f);
    } else {
        SynthRender(b, 0, 0.09, Noise(F::LowPass, 1200 * pitch, 300, 0.8, 0.8f, 0.002, 5, seed));
        Thump(b, 0, 0.07, 110 * pitch, 60, 0.5f);
        SynthRender(b, 0.01, 0.04, Noise(F::HighPass, 3000, 0, 0.7, 0.08f, 0.001, 6, seed + 1));
    }
}

void Climb(SynthBuffer& b, int n, bool metal) {
    const double pitch = 1.0 + 0.06 * (n - 1.5);
    const uint32_t seed = 300 + static_cast<uint32_t>(n) * 13 + (metal ? 7 : 0);
    if (metal) {
        Clang(b, 0, 0.18, 640 * pitch, 0.4f);
        SynthRender(b, 0, 0.05, Noise(F::HighPass, 4000, 0, 0.8, 0.25f, 0.001, 6, seed));
    } else {
        // A hand and a shoe on a wooden rung.
        SynthRender(b, 0, 0.06, Noise(F::BandPass, 900 * pitch, 600, 2, 0.7f, 0.001, 6, seed));
        Thump(b, 0, 0.06, 240 * pitch, 160, 0.4f);
        SynthRender(b, 0.07, 0.05, Noise(F::BandPass, 1100 * pitch, 700, 2, 0.35f, 0.001, 6, seed + 3));
    }
}

void WoodenCollapse(SynthBuffer& b, int n) {
    const uint32_t seed = 500 + static_cast<uint32_t>(n) * 31;
    Crackles(b, 0, 0.35, 14 + n, 1800, 0.8f, seed);
    Thump(b, 0.02, 0.25, 120 + n * 6, 55, 0.6f);
    Thump(b, 0.28 + 0.02 * n, 0.3, 90, 45, 0.5f);
    SynthRender(b, 0.25, 0.3, Noise(F::LowPass, 900, 250, 0.8, 0.3f, 0.01, 4, seed + 9));
}

void InflatableCollapse(SynthBuffer& b, int n) {
    const uint32_t seed = 700 + static_cast<uint32_t>(n) * 29;
    const double p = 1.0 + 0.07 * (n - 3.5);
    SynthRender(b, 0, 0.03, Noise(F::BandPass, 1500, 0, 1, 0.9f, 0.0005, 6, seed));  // the pop
    SynthVoice squeak = Tone(W::Triangle, 620 * p, 180 * p, 0.45f, 0.01, 2.5);
    squeak.vibratoHz = 23;
    squeak.vibrato = 0.8;
    SynthRender(b, 0.02, 0.45, squeak);
    SynthRender(b, 0.02, 0.55, Noise(F::HighPass, 2500, 5000, 0.7, 0.3f, 0.02, 3, seed + 1));  // escaping air
}

using Recipe = std::function<void(SynthBuffer&, int)>;

struct Entry {
    double seconds;
    bool loops;
    Recipe make;
};

const std::map<std::string, Entry>& Recipes() {
    static const std::map<std::string, Entry> table = {
        // Interface.
        {"rollover_v1-2", {0.07, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.07, Tone(W::Sine, 1300, 1600, 0.6f, 0.003, 4));
         }}},
        {"click_v1-2", {0.09, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.012, Noise(F::BandPass, 3000, 0, 1, 0.8f, 0.0005, 5, 11));
             SynthRender(b, 0, 0.08, Tone(W::Square, 900, 700, 0.35f, 0.001, 6));
         }}},
        {"click_v1-3", {0.08, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.01, Noise(F::LowPass, 1500, 0, 1, 0.7f, 0.0005, 5, 12));
             SynthRender(b, 0, 0.07, Tone(W::Triangle, 380, 300, 0.5f, 0.001, 6));
         }}},
        {"map_dot", {0.3, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.3, Tone(W::Sine, 880, 0, 0.5f, 0.002, 5));
             SynthRender(b, 0.04, 0.26, Tone(W::Sine, 1320, 0, 0.35f, 0.002, 5));
         }}},
        {"victory", {2.4, false, [](SynthBuffer& b, int) {
             const double notes[] = {72, 76, 79, 84};
             for (int i = 0; i < 4; ++i) {
                 SynthRender(b, i * 0.14, i == 3 ? 1.9 : 0.3, Tone(W::Square, SynthNoteHz(notes[i]), 0, 0.25f, 0.005, 3));
                 SynthRender(b, i * 0.14, i == 3 ? 1.9 : 0.3, Tone(W::Triangle, SynthNoteHz(notes[i] - 12), 0, 0.3f, 0.005, 3));
             }
             for (double n : {72.0, 76.0, 79.0})
                 SynthRender(b, 0.56, 1.8, Tone(W::Sine, SynthNoteHz(n), 0, 0.2f, 0.02, 2.5));
         }}},

        // The hero.
        {"professor_run", {0.12, false, [](SynthBuffer& b, int n) { Step(b, n, false); }}},
        {"professor_climb", {0.14, false, [](SynthBuffer& b, int n) { Climb(b, n, false); }}},
        {"professor_land", {0.3, false, [](SynthBuffer& b, int) {
             Thump(b, 0, 0.28, 95, 45, 0.9f);
             SynthRender(b, 0, 0.15, Noise(F::LowPass, 700, 200, 0.8, 0.6f, 0.002, 4, 21));
         }}},
        {"professor_crush", {0.8, false, [](SynthBuffer& b, int) {
             Thump(b, 0, 0.35, 110, 40, 0.9f);
             Crackles(b, 0, 0.3, 18, 1500, 0.6f, 22);
             SynthVoice groan = Tone(W::Saw, 230, 90, 0.3f, 0.03, 2);
             groan.filter = F::LowPass;
             groan.cut0 = 1400;
             groan.cut1 = 400;
             groan.vibratoHz = 7;
             groan.vibrato = 0.5;
             SynthRender(b, 0.1, 0.7, groan);
         }}},
        {"professor_trampoline", {0.55, false, [](SynthBuffer& b, int) {
             SynthVoice boing = Tone(W::Sine, 180, 620, 0.7f, 0.005, 2.5);
             boing.vibratoHz = 14;
             boing.vibrato = 1.2;
             SynthRender(b, 0, 0.55, boing);
             Thump(b, 0, 0.1, 120, 70, 0.4f);
         }}},
        {"tube_arrival", {0.7, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.55, Noise(F::BandPass, 3500, 500, 2, 0.7f, 0.2, 2, 23));
             Thump(b, 0.5, 0.18, 160, 70, 0.7f);
             SynthRender(b, 0.5, 0.04, Noise(F::BandPass, 1200, 0, 1, 0.4f, 0.001, 6, 24));
         }}},
        {"tube_departure", {0.7, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.04, Noise(F::BandPass, 1200, 0, 1, 0.5f, 0.001, 6, 25));
             SynthRender(b, 0.02, 0.65, Noise(F::BandPass, 500, 4000, 2, 0.7f, 0.05, 3, 26));
         }}},
        {"stuck_ice", {1.2, true, [](SynthBuffer& b, int) {
             // Feet scrabbling on ice: bright scrapes on a slow beat, a creak below.
             for (int i = 0; i < 6; ++i)
                 SynthRender(b, i * 0.2, 0.16, Noise(F::BandPass, 4200 - 300 * (i % 3), 3000, 2, 0.6f, 0.02, 3, 27 + i), true);
             SynthVoice creak = Tone(W::Saw, 140, 120, 0.25f, 0.05, 1);
             creak.filter = F::BandPass;
             creak.cut0 = 900;
             creak.q = 3;
             creak.tremoloHz = 5;
             creak.tremolo = 0.8;
             SynthRender(b, 0, 1.2, creak, true);
         }}},
        {"bot_catches_prof", {1.1, false, [](SynthBuffer& b, int) {
             Clang(b, 0, 0.3, 300, 0.5f);
             for (int i = 0; i < 3; ++i) {
                 SynthVoice alarm = Tone(W::Saw, 520, 430, 0.3f, 0.01, 1);
                 alarm.filter = F::LowPass;
                 alarm.cut0 = 2500;
                 SynthRender(b, 0.1 + i * 0.3, 0.26, alarm);
             }
         }}},

        // Power-ups the hero uses.
        {"powerup_frostgun", {0.5, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.45, Tone(W::Sine, 3200, 900, 0.45f, 0.002, 3));
             SynthRender(b, 0, 0.45, Tone(W::Sine, 4100, 1300, 0.2f, 0.002, 3));
             SynthRender(b, 0, 0.5, Noise(F::HighPass, 6000, 3000, 0.7, 0.35f, 0.005, 3, 31));
         }}},
        {"powerup_heatgun", {0.5, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.5, Noise(F::LowPass, 2500, 500, 1, 0.9f, 0.02, 3, 32));
             SynthVoice roar = Tone(W::Saw, 180, 90, 0.35f, 0.02, 3);
             roar.filter = F::LowPass;
             roar.cut0 = 900;
             SynthRender(b, 0, 0.45, roar);
         }}},
        {"powerup_emp", {0.7, false, [](SynthBuffer& b, int) {
             SynthVoice zap = Tone(W::Saw, 2200, 90, 0.5f, 0.002, 2);
             SynthRender(b, 0, 0.65, zap);
             SynthRender(b, 0, 0.7, Noise(F::BandPass, 5000, 800, 2, 0.4f, 0.002, 2, 33));
         }}},
        {"powerup_whistle", {0.8, false, [](SynthBuffer& b, int) {
             SynthVoice w = Tone(W::Sine, 1900, 0, 0.6f, 0.02, 0.8);
             w.hold = 0.2;
             w.vibratoHz = 11;
             w.vibrato = 0.6;
             SynthRender(b, 0, 0.3, w);
             w.f0 = 2400;
             SynthRender(b, 0.35, 0.45, w);
             SynthRender(b, 0, 0.8, Noise(F::BandPass, 2200, 0, 3, 0.08f, 0.02, 1, 34));
         }}},
        {"powerup_inflate", {0.9, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.85, Noise(F::BandPass, 300, 2400, 3, 0.8f, 0.05, 1.5, 35));
             SynthVoice rise = Tone(W::Triangle, 120, 420, 0.3f, 0.05, 1.5);
             SynthRender(b, 0, 0.85, rise);
         }}},
        {"powerup_fail", {0.4, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.16, Tone(W::Square, 330, 300, 0.35f, 0.005, 1.5));
             SynthRender(b, 0.18, 0.22, Tone(W::Square, 230, 200, 0.35f, 0.005, 2));
         }}},
        {"powerup_collect", {0.5, false, [](SynthBuffer& b, int) {
             const double notes[] = {84, 88, 91, 96};
             for (int i = 0; i < 4; ++i) SynthRender(b, i * 0.06, 0.3, Tone(W::Sine, SynthNoteHz(notes[i]), 0, 0.4f, 0.002, 4));
         }}},
        {"emp_electricity", {1.0, false, [](SynthBuffer& b, int) {
             SynthVoice buzz = Tone(W::Square, 120, 0, 0.3f, 0.01, 1.5);
             buzz.tremoloHz = 17;
             buzz.tremolo = 0.9;
             SynthRender(b, 0, 1.0, buzz);
             SynthRender(b, 0, 1.0, Tone(W::Saw, 60, 0, 0.2f, 0.01, 1.5));
             Crackles(b, 0, 0.9, 30, 5000, 0.7f, 36);
         }}},

        // Bots.
        {"bot_footstep", {0.15, false, [](SynthBuffer& b, int n) { Step(b, n, true); }}},
        {"bot_climb", {0.2, false, [](SynthBuffer& b, int n) { Climb(b, n, true); }}},
        {"bot_fall", {0.9, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.9, Tone(W::Sine, 1300, 180, 0.6f, 0.01, 1.2));
             SynthRender(b, 0, 0.9, Tone(W::Square, 650, 90, 0.15f, 0.01, 1.2));
         }}},
        {"bot_crush", {0.8, false, [](SynthBuffer& b, int) {
             Thump(b, 0, 0.3, 100, 40, 0.8f);
             Clang(b, 0, 0.6, 260, 0.5f);
             Crackles(b, 0, 0.4, 20, 3500, 0.5f, 41);
             SynthRender(b, 0.05, 0.7, Tone(W::Square, 400, 60, 0.2f, 0.01, 2));
         }}},
        {"bot_hang_detect", {0.4, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.12, Tone(W::Square, 950, 0, 0.35f, 0.003, 1));
             SynthRender(b, 0.18, 0.12, Tone(W::Square, 1250, 0, 0.35f, 0.003, 1));
         }}},
        {"bot_slide", {0.7, false, [](SynthBuffer& b, int) {
             SynthVoice scrape = Noise(F::BandPass, 1800, 1200, 4, 0.8f, 0.02, 1.5, 42);
             scrape.tremoloHz = 23;
             scrape.tremolo = 0.5;
             SynthRender(b, 0, 0.7, scrape);
             SynthRender(b, 0, 0.7, Tone(W::Sine, 1850, 1750, 0.12f, 0.02, 1.5));
         }}},

        // Objects and terrain.
        {"object_stop", {0.2, false, [](SynthBuffer& b, int) {
             Thump(b, 0, 0.18, 130, 70, 0.7f);
             SynthRender(b, 0, 0.1, Noise(F::LowPass, 1200, 300, 1, 0.5f, 0.002, 4, 51));
         }}},
        {"object_land", {0.35, false, [](SynthBuffer& b, int) {
             Thump(b, 0, 0.32, 85, 38, 1.0f);
             SynthRender(b, 0, 0.2, Noise(F::LowPass, 900, 200, 0.8, 0.7f, 0.002, 4, 52));
         }}},
        {"object_slide", {1.0, true, [](SynthBuffer& b, int) {
             SynthVoice scrape = Noise(F::BandPass, 650, 0, 2, 0.8f, 0.0, 0.0, 53);
             scrape.tremoloHz = 9;  // nine grains a second: a whole number in the loop
             scrape.tremolo = 0.35;
             SynthRender(b, 0, 1.0, scrape, true);
         }}},
        {"object_slide_ice", {1.0, true, [](SynthBuffer& b, int) {
             SynthVoice hiss = Noise(F::BandPass, 3200, 0, 1.5, 0.5f, 0.0, 0.0, 54);
             hiss.tremoloHz = 3;
             hiss.tremolo = 0.2;
             SynthRender(b, 0, 1.0, hiss, true);
             SynthRender(b, 0, 1.0, Tone(W::Sine, 3300, 0, 0.05f, 0.0, 0.0), true);
         }}},
        {"object_barrel_roll", {1.0, true, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 1.0, Noise(F::LowPass, 350, 0, 1, 0.6f, 0.0, 0.0, 55), true);
             for (int i = 0; i < 4; ++i) Thump(b, i * 0.25, 0.2, 110, 80, 0.45f);
         }}},
        {"magnet_attract", {0.7, false, [](SynthBuffer& b, int) {
             SynthVoice hum = Tone(W::Sine, 110, 330, 0.6f, 0.05, 1);
             hum.tremoloHz = 12;
             hum.tremolo = 0.5;
             SynthRender(b, 0, 0.7, hum);
             SynthRender(b, 0, 0.7, Tone(W::Square, 220, 660, 0.1f, 0.05, 1));
             Clang(b, 0.6, 0.1, 800, 0.3f);
         }}},
        {"magnet_repel", {0.7, false, [](SynthBuffer& b, int) {
             SynthVoice hum = Tone(W::Sine, 330, 100, 0.6f, 0.01, 1.5);
             hum.tremoloHz = 12;
             hum.tremolo = 0.5;
             SynthRender(b, 0, 0.7, hum);
             SynthRender(b, 0, 0.7, Tone(W::Square, 660, 200, 0.1f, 0.01, 1.5));
         }}},
        {"bridge_collapse_wooden_short", {0.7, false, [](SynthBuffer& b, int n) { WoodenCollapse(b, n); }}},
        {"bridge_collapse_inflatable_short", {0.65, false, [](SynthBuffer& b, int n) { InflatableCollapse(b, n); }}},

        // Heat and cold.
        {"element_burning", {1.3, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 1.3, Noise(F::LowPass, 800, 500, 0.8, 0.6f, 0.15, 1.5, 61));
             Crackles(b, 0.05, 1.2, 40, 2500, 0.6f, 62);
         }}},
        {"element_bursting", {0.6, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.5, Noise(F::LowPass, 5000, 400, 0.8, 1.0f, 0.001, 4, 63));
             Thump(b, 0, 0.5, 90, 35, 0.8f);
         }}},
        {"element_melting", {1.1, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 1.1, Noise(F::HighPass, 5000, 2000, 0.7, 0.4f, 0.1, 2, 64));
             for (int i = 0; i < 5; ++i) SynthRender(b, 0.1 + i * 0.18, 0.1, Tone(W::Sine, 1400 - i * 120, 500, 0.35f, 0.002, 4));
         }}},
        {"explode_frost", {1.1, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.5, Noise(F::HighPass, 2000, 5000, 0.7, 0.9f, 0.001, 4, 71));
             const double shimmer[] = {2637, 3136, 3520, 4186, 4699};
             for (int i = 0; i < 5; ++i) SynthRender(b, i * 0.05, 1.0 - i * 0.05, Tone(W::Sine, shimmer[i], 0, 0.18f, 0.002, 3));
             Crackles(b, 0, 0.6, 18, 6000, 0.5f, 72);
         }}},
        {"explode_heat_ice", {1.0, false, [](SynthBuffer& b, int) {
             // Ice flashing into steam: a long hiss with a few cracks.
             SynthRender(b, 0, 1.0, Noise(F::BandPass, 6000, 3000, 1, 0.8f, 0.02, 2.5, 73));
             Crackles(b, 0, 0.3, 8, 3000, 0.6f, 74);
         }}},
        {"explode_heat_inflatable", {0.7, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.05, Noise(F::BandPass, 1200, 0, 0.8, 1.0f, 0.0005, 5, 75));
             Thump(b, 0, 0.2, 160, 60, 0.6f);
             SynthRender(b, 0.03, 0.65, Noise(F::HighPass, 3000, 1500, 0.7, 0.4f, 0.01, 3, 76));
         }}},
        {"explode_heat_metal", {1.2, false, [](SynthBuffer& b, int) {
             Clang(b, 0, 1.1, 330, 0.6f);
             SynthRender(b, 0, 1.2, Noise(F::BandPass, 2500, 4000, 1, 0.35f, 0.1, 2, 77));
         }}},
        {"explode_heat_wood", {1.1, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.6, Noise(F::LowPass, 300, 3000, 1, 0.8f, 0.05, 3, 78));
             Crackles(b, 0.1, 1.0, 30, 2000, 0.7f, 79);
         }}},

        // Devices.
        {"device_breaking", {0.9, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.4, Noise(F::HighPass, 3000, 0, 0.7, 0.8f, 0.001, 4, 81));
             uint32_t r = 82;
             for (int i = 0; i < 10; ++i)
                 SynthRender(b, 0.02 + i * 0.07, 0.2, Tone(W::Sine, 2500 + 2000 * (SynthNoise(&r) * 0.5 + 0.5), 0, 0.2f, 0.001, 5));
             SynthRender(b, 0.1, 0.6, Tone(W::Square, 900, 80, 0.15f, 0.01, 2));
         }}},
        {"button_click", {0.2, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.02, Noise(F::BandPass, 2500, 0, 1.5, 0.7f, 0.0005, 5, 83));
             Thump(b, 0, 0.15, 200, 120, 0.6f);
             SynthRender(b, 0.08, 0.02, Noise(F::BandPass, 3000, 0, 1.5, 0.4f, 0.0005, 5, 84));
         }}},
        {"gate_open", {0.8, false, [](SynthBuffer& b, int) {
             SynthVoice motor = Tone(W::Saw, 80, 160, 0.5f, 0.05, 0.5);
             motor.filter = F::LowPass;
             motor.cut0 = 700;
             motor.hold = 0.5;
             SynthRender(b, 0, 0.75, motor);
             SynthRender(b, 0, 0.75, Noise(F::LowPass, 900, 1400, 1, 0.08f, 0.05, 0.5, 85));
             Clang(b, 0.7, 0.1, 500, 0.25f);
         }}},
        {"gate_close", {0.9, false, [](SynthBuffer& b, int) {
             SynthVoice motor = Tone(W::Saw, 160, 80, 0.45f, 0.03, 0.5);
             motor.filter = F::LowPass;
             motor.cut0 = 700;
             motor.hold = 0.4;
             SynthRender(b, 0, 0.6, motor);
             Thump(b, 0.58, 0.3, 90, 40, 0.9f);
             Clang(b, 0.58, 0.3, 220, 0.35f);
         }}},
        {"gate_break", {1.1, false, [](SynthBuffer& b, int) {
             SynthRender(b, 0, 0.5, Noise(F::LowPass, 6000, 800, 0.8, 0.9f, 0.001, 3, 86));
             Clang(b, 0, 1.0, 180, 0.6f);
             Clang(b, 0.12, 0.7, 410, 0.4f);
             Thump(b, 0, 0.4, 80, 35, 0.8f);
         }}},
        {"gate_fail", {0.45, false, [](SynthBuffer& b, int) {
             SynthVoice buzz = Tone(W::Square, 110, 0, 0.45f, 0.005, 0.7);
             buzz.hold = 0.3;
             SynthRender(b, 0, 0.42, buzz);
             SynthRender(b, 0, 0.42, Tone(W::Saw, 117, 0, 0.2f, 0.005, 0.7));
         }}},
        {"teleport_activated", {1.0, false, [](SynthBuffer& b, int) {
             SynthVoice sweep = Tone(W::Sine, 300, 1500, 0.4f, 0.02, 1.5);
             sweep.tremoloHz = 16;
             sweep.tremolo = 0.6;
             SynthRender(b, 0, 0.9, sweep);
             for (double n : {79.0, 83.0, 86.0}) SynthRender(b, 0.3, 0.7, Tone(W::Sine, SynthNoteHz(n), 0, 0.15f, 0.05, 3));
         }}},
        {"teleport_powerup", {0.9, false, [](SynthBuffer& b, int) {
             SynthVoice rise = Tone(W::Triangle, 180, 1300, 0.5f, 0.1, 0.8);
             rise.vibratoHz = 9;
             rise.vibrato = 0.4;
             SynthRender(b, 0, 0.85, rise);
         }}},
        {"teleport_powerdown", {0.9, false, [](SynthBuffer& b, int) {
             SynthVoice fall = Tone(W::Triangle, 1300, 160, 0.5f, 0.01, 2);
             fall.vibratoHz = 9;
             fall.vibrato = 0.4;
             SynthRender(b, 0, 0.85, fall);
         }}},
        {"trampoline_stretch", {0.45, false, [](SynthBuffer& b, int) {
             SynthVoice creak = Tone(W::Saw, 140, 95, 0.5f, 0.02, 1);
             creak.filter = F::LowPass;
             creak.cut0 = 1200;
             creak.cut1 = 500;
             creak.vibratoHz = 18;
             creak.vibrato = 0.5;
             SynthRender(b, 0, 0.42, creak);
         }}},
        {"trampoline_rebound", {0.5, false, [](SynthBuffer& b, int) {
             SynthVoice boing = Tone(W::Sine, 140, 420, 0.7f, 0.003, 2.5);
             boing.vibratoHz = 16;
             boing.vibrato = 1.5;
             SynthRender(b, 0, 0.5, boing);
         }}},
    };
    return table;
}

}  // namespace

bool SynthesizeEffect(const std::string& name, int rate, SynthBuffer* out, bool* loops) {
    std::string stem = name;
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos) stem.resize(dot);
    const auto& table = Recipes();
    auto it = table.find(stem);
    int variant = 1;  // an unnumbered member of a numbered family is its first
    if (it == table.end()) {
        // Numbered families: "professor_run3", "bot_footstep11", "..._short4".
        std::string family = stem;
        while (!family.empty() && family.back() >= '0' && family.back() <= '9') family.pop_back();
        variant = Variant(stem, 1);
        it = table.find(family);
        if (it == table.end()) return false;
    }
    *out = SynthMake(rate, it->second.seconds + (it->second.loops ? 0.05 : 0.0));
    it->second.make(*out, variant);
    *loops = it->second.loops;
    if (*loops) SynthMakeLoop(*out, 0.05);
    SynthSoftClip(*out, 1.2f);
    SynthNormalize(*out, 0.8f);
    if (!*loops) SynthFadeEdges(*out);
    return true;
}
