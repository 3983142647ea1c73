#include "EffectRecipes.h"

#include <climits>
#include <initializer_list>
#include <vector>

#include "engine/ReadNumber.h"

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

// A voice with one more trait, so that a recipe says it where it plays it.
SynthVoice Vibrato(SynthVoice v, double hz, double semitones) {
    v.vibratoHz = hz;
    v.vibrato = semitones;
    return v;
}

SynthVoice Tremolo(SynthVoice v, double hz, double depth) {
    v.tremoloHz = hz;
    v.tremolo = depth;
    return v;
}

SynthVoice Held(SynthVoice v, double seconds) {
    v.hold = seconds;
    return v;
}

SynthVoice Filtered(SynthVoice v, F filter, double cut0, double cut1 = 0, double q = 0.7) {
    v.filter = filter;
    v.cut0 = cut0;
    v.cut1 = cut1;
    v.q = q;
    return v;
}

// One voice laid into an effect from at for dur seconds; a wrapped one goes
// on past the end of a looping effect at its start.
struct Layer {
    double at;
    double dur;
    SynthVoice voice;
    bool wrap = false;
};
using Layers = std::vector<Layer>;

Layers Join(std::initializer_list<Layers> parts) {
    Layers all;
    for (const Layers& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Layers Play(double at, double dur, const SynthVoice& v) { return {{at, dur, v}}; }
Layers Wrapped(double at, double dur, const SynthVoice& v) { return {{at, dur, v, true}}; }

// The layers of part again count times, each every seconds after the one before.
Layers Repeated(int count, double every, const Layers& part) {
    Layers all;
    for (int i = 0; i < count; ++i)
        for (Layer layer : part) {
            layer.at += i * every;
            all.push_back(layer);
        }
    return all;
}

// The voice at the pitch of each MIDI note in turn, every seconds apart (0
// for a chord).
Layers Notes(std::initializer_list<double> midi, double at, double every, double dur, SynthVoice v) {
    Layers all;
    int i = 0;
    for (double note : midi) {
        v.f0 = SynthNoteHz(note);
        all.push_back({at + i++ * every, dur, v});
    }
    return all;
}

// A short burst of crackles between from and to seconds.
Layers Crackles(double from, double to, int count, double cutoff, float amp, uint32_t seed) {
    uint32_t r = seed;
    Layers all;
    for (int i = 0; i < count; ++i) {
        const double t = from + (to - from) * (SynthNoise(&r) * 0.5 + 0.5);
        const float a = amp * static_cast<float>(0.4 + 0.6 * (SynthNoise(&r) * 0.5 + 0.5));
        const double c = cutoff * (0.7 + 0.6 * (SynthNoise(&r) * 0.5 + 0.5));
        const uint32_t crackleSeed = r;  // the state before its length is drawn
        const double dur = 0.012 + 0.02 * (SynthNoise(&r) * 0.5 + 0.5);
        all.push_back({t, dur, Noise(F::BandPass, c, 0, 1.5, a, 0.0005, 6, crackleSeed)});
    }
    return all;
}

// Inharmonic partials of struck metal.
Layers Clang(double at, double dur, double base, float amp) {
    const double ratios[] = {1.0, 2.76, 5.40, 8.93};
    Layers all;
    for (int i = 0; i < 4; ++i)
        all.push_back({at, dur / (1 + i * 0.5), Tone(W::Sine, base * ratios[i], 0, amp / (1 + i), 0.001, 5)});
    return all;
}

Layers Thump(double at, double dur, double f0, double f1, float amp) {
    return Play(at, dur, Tone(W::Sine, f0, f1, amp, 0.002, 5));
}

// Four rising notes, each a square over a triangle an octave below; the last
// one rings on.
Layers Fanfare() {
    const double notes[] = {72, 76, 79, 84};
    Layers all;
    for (int i = 0; i < 4; ++i) {
        const double dur = i == 3 ? 1.9 : 0.3;
        all.push_back({i * 0.14, dur, Tone(W::Square, SynthNoteHz(notes[i]), 0, 0.25f, 0.005, 3)});
        all.push_back({i * 0.14, dur, Tone(W::Triangle, SynthNoteHz(notes[i] - 12), 0, 0.3f, 0.005, 3)});
    }
    return all;
}

// Feet scrabbling on ice: bright scrapes on a slow beat.
Layers IceScrapes() {
    Layers all;
    for (int i = 0; i < 6; ++i)
        all.push_back({i * 0.2, 0.16, Noise(F::BandPass, 4200 - 300 * (i % 3), 3000, 2, 0.6f, 0.02, 3, 27 + i), true});
    return all;
}

SynthVoice Whistle(double hz) { return Vibrato(Held(Tone(W::Sine, hz, 0, 0.6f, 0.02, 0.8), 0.2), 11, 0.6); }

// Water dripping off, each drop lower.
Layers Drips() {
    Layers all;
    for (int i = 0; i < 5; ++i)
        all.push_back({0.1 + i * 0.18, 0.1, Tone(W::Sine, 1400 - i * 120, 500, 0.35f, 0.002, 4)});
    return all;
}

// Bright partials of ice, each starting later and ending with the rest.
Layers Shimmer() {
    const double shimmer[] = {2637, 3136, 3520, 4186, 4699};
    Layers all;
    for (int i = 0; i < 5; ++i)
        all.push_back({i * 0.05, 1.0 - i * 0.05, Tone(W::Sine, shimmer[i], 0, 0.18f, 0.002, 3)});
    return all;
}

// Glass and circuit boards flying apart: ten tinkles at random pitches.
Layers Shards(uint32_t seed) {
    uint32_t r = seed;
    Layers all;
    for (int i = 0; i < 10; ++i) {
        const double hz = 2500 + 2000 * (SynthNoise(&r) * 0.5 + 0.5);
        all.push_back({0.02 + i * 0.07, 0.2, Tone(W::Sine, hz, 0, 0.2f, 0.001, 5)});
    }
    return all;
}

// The numbered families: n is the member's number ("professor_run3" is 3),
// which varies it a little.

Layers Step(int n, bool metal) {
    const uint32_t seed = 100 + static_cast<uint32_t>(n) * 17;
    const double pitch = 1.0 + 0.08 * ((n * 5) % 7 - 3) / 3.0;
    if (metal)
        return Join({Play(0, 0.09, Noise(F::BandPass, 2400 * pitch, 1400, 3, 0.5f, 0.001, 6, seed)),
                     Clang(0, 0.14, 420 * pitch, 0.35f), Thump(0, 0.08, 140 * pitch, 70, 0.5f)});
    return Join({Play(0, 0.09, Noise(F::LowPass, 1200 * pitch, 300, 0.8, 0.8f, 0.002, 5, seed)),
                 Thump(0, 0.07, 110 * pitch, 60, 0.5f),
                 Play(0.01, 0.04, Noise(F::HighPass, 3000, 0, 0.7, 0.08f, 0.001, 6, seed + 1))});
}

Layers Rung(int n, bool metal) {
    const double pitch = 1.0 + 0.06 * (n - 1.5);
    const uint32_t seed = 300 + static_cast<uint32_t>(n) * 13 + (metal ? 7 : 0);
    if (metal)
        return Join({Clang(0, 0.18, 640 * pitch, 0.4f),
                     Play(0, 0.05, Noise(F::HighPass, 4000, 0, 0.8, 0.25f, 0.001, 6, seed))});
    // A hand and a shoe on a wooden rung.
    return Join({Play(0, 0.06, Noise(F::BandPass, 900 * pitch, 600, 2, 0.7f, 0.001, 6, seed)),
                 Thump(0, 0.06, 240 * pitch, 160, 0.4f),
                 Play(0.07, 0.05, Noise(F::BandPass, 1100 * pitch, 700, 2, 0.35f, 0.001, 6, seed + 3))});
}

Layers ShoeStep(int n) { return Step(n, false); }
Layers BotStep(int n) { return Step(n, true); }
Layers WoodenRung(int n) { return Rung(n, false); }
Layers MetalRung(int n) { return Rung(n, true); }

Layers WoodenCollapse(int n) {
    const uint32_t seed = 500 + static_cast<uint32_t>(n) * 31;
    return Join({Crackles(0, 0.35, 14 + n, 1800, 0.8f, seed), Thump(0.02, 0.25, 120 + n * 6, 55, 0.6f),
                 Thump(0.28 + 0.02 * n, 0.3, 90, 45, 0.5f),
                 Play(0.25, 0.3, Noise(F::LowPass, 900, 250, 0.8, 0.3f, 0.01, 4, seed + 9))});
}

// A pop, a squeak and the air escaping.
Layers InflatableCollapse(int n) {
    const uint32_t seed = 700 + static_cast<uint32_t>(n) * 29;
    const double p = 1.0 + 0.07 * (n - 3.5);
    return Join({Play(0, 0.03, Noise(F::BandPass, 1500, 0, 1, 0.9f, 0.0005, 6, seed)),
                 Play(0.02, 0.45, Vibrato(Tone(W::Triangle, 620 * p, 180 * p, 0.45f, 0.01, 2.5), 23, 0.8)),
                 Play(0.02, 0.55, Noise(F::HighPass, 2500, 5000, 0.7, 0.3f, 0.02, 3, seed + 1))});
}

constexpr bool kLoops = true;  // the game repeats it: made seamless
constexpr bool kOnce = false;

// What a named effect sounds like: how long it is, whether the game repeats
// it, and its layers, laid down in order: the same every time, or made for
// the number of a family's member.
struct Recipe {
    Recipe(const char* name, double seconds, bool loops, std::initializer_list<Layers> parts)
        : name(name), seconds(seconds), loops(loops), layers(Join(parts)) {}
    Recipe(const char* name, double seconds, bool loops, Layers (*member)(int n))
        : name(name), seconds(seconds), loops(loops), member(member) {}

    const char* name;
    double seconds;
    bool loops;
    Layers layers;
    Layers (*member)(int n) = nullptr;
};

const Recipe kRecipes[] = {
    // Interface.
    {"rollover_v1-2", 0.07, kOnce, {Play(0, 0.07, Tone(W::Sine, 1300, 1600, 0.6f, 0.003, 4))}},
    {"click_v1-2", 0.09, kOnce,
     {Play(0, 0.012, Noise(F::BandPass, 3000, 0, 1, 0.8f, 0.0005, 5, 11)),
      Play(0, 0.08, Tone(W::Square, 900, 700, 0.35f, 0.001, 6))}},
    {"click_v1-3", 0.08, kOnce,
     {Play(0, 0.01, Noise(F::LowPass, 1500, 0, 1, 0.7f, 0.0005, 5, 12)),
      Play(0, 0.07, Tone(W::Triangle, 380, 300, 0.5f, 0.001, 6))}},
    {"map_dot", 0.3, kOnce,
     {Play(0, 0.3, Tone(W::Sine, 880, 0, 0.5f, 0.002, 5)), Play(0.04, 0.26, Tone(W::Sine, 1320, 0, 0.35f, 0.002, 5))}},
    {"victory", 2.4, kOnce, {Fanfare(), Notes({72, 76, 79}, 0.56, 0, 1.8, Tone(W::Sine, 0, 0, 0.2f, 0.02, 2.5))}},

    // The hero.
    {"professor_run", 0.12, kOnce, ShoeStep},
    {"professor_climb", 0.14, kOnce, WoodenRung},
    {"professor_land", 0.3, kOnce,
     {Thump(0, 0.28, 95, 45, 0.9f), Play(0, 0.15, Noise(F::LowPass, 700, 200, 0.8, 0.6f, 0.002, 4, 21))}},
    {"professor_crush", 0.8, kOnce,  // a groan under the weight
     {Thump(0, 0.35, 110, 40, 0.9f), Crackles(0, 0.3, 18, 1500, 0.6f, 22),
      Play(0.1, 0.7, Vibrato(Filtered(Tone(W::Saw, 230, 90, 0.3f, 0.03, 2), F::LowPass, 1400, 400), 7, 0.5))}},
    {"professor_trampoline", 0.55, kOnce,
     {Play(0, 0.55, Vibrato(Tone(W::Sine, 180, 620, 0.7f, 0.005, 2.5), 14, 1.2)), Thump(0, 0.1, 120, 70, 0.4f)}},
    {"tube_arrival", 0.7, kOnce,
     {Play(0, 0.55, Noise(F::BandPass, 3500, 500, 2, 0.7f, 0.2, 2, 23)), Thump(0.5, 0.18, 160, 70, 0.7f),
      Play(0.5, 0.04, Noise(F::BandPass, 1200, 0, 1, 0.4f, 0.001, 6, 24))}},
    {"tube_departure", 0.7, kOnce,
     {Play(0, 0.04, Noise(F::BandPass, 1200, 0, 1, 0.5f, 0.001, 6, 25)),
      Play(0.02, 0.65, Noise(F::BandPass, 500, 4000, 2, 0.7f, 0.05, 3, 26))}},
    {"stuck_ice", 1.2, kLoops,  // scrapes, and a creak below
     {IceScrapes(),
      Wrapped(0, 1.2, Tremolo(Filtered(Tone(W::Saw, 140, 120, 0.25f, 0.05, 1), F::BandPass, 900, 0, 3), 5, 0.8))}},
    {"bot_catches_prof", 1.1, kOnce,  // a clang, then an alarm thrice
     {Clang(0, 0.3, 300, 0.5f),
      Repeated(3, 0.3, Play(0.1, 0.26, Filtered(Tone(W::Saw, 520, 430, 0.3f, 0.01, 1), F::LowPass, 2500)))}},

    // Power-ups the hero uses.
    {"powerup_frostgun", 0.5, kOnce,
     {Play(0, 0.45, Tone(W::Sine, 3200, 900, 0.45f, 0.002, 3)),
      Play(0, 0.45, Tone(W::Sine, 4100, 1300, 0.2f, 0.002, 3)),
      Play(0, 0.5, Noise(F::HighPass, 6000, 3000, 0.7, 0.35f, 0.005, 3, 31))}},
    {"powerup_heatgun", 0.5, kOnce,
     {Play(0, 0.5, Noise(F::LowPass, 2500, 500, 1, 0.9f, 0.02, 3, 32)),
      Play(0, 0.45, Filtered(Tone(W::Saw, 180, 90, 0.35f, 0.02, 3), F::LowPass, 900))}},
    {"powerup_emp", 0.7, kOnce,
     {Play(0, 0.65, Tone(W::Saw, 2200, 90, 0.5f, 0.002, 2)),
      Play(0, 0.7, Noise(F::BandPass, 5000, 800, 2, 0.4f, 0.002, 2, 33))}},
    {"powerup_whistle", 0.8, kOnce,
     {Play(0, 0.3, Whistle(1900)), Play(0.35, 0.45, Whistle(2400)),
      Play(0, 0.8, Noise(F::BandPass, 2200, 0, 3, 0.08f, 0.02, 1, 34))}},
    {"powerup_inflate", 0.9, kOnce,
     {Play(0, 0.85, Noise(F::BandPass, 300, 2400, 3, 0.8f, 0.05, 1.5, 35)),
      Play(0, 0.85, Tone(W::Triangle, 120, 420, 0.3f, 0.05, 1.5))}},
    {"powerup_fail", 0.4, kOnce,
     {Play(0, 0.16, Tone(W::Square, 330, 300, 0.35f, 0.005, 1.5)),
      Play(0.18, 0.22, Tone(W::Square, 230, 200, 0.35f, 0.005, 2))}},
    {"powerup_collect", 0.5, kOnce, {Notes({84, 88, 91, 96}, 0, 0.06, 0.3, Tone(W::Sine, 0, 0, 0.4f, 0.002, 4))}},
    {"emp_electricity", 1.0, kOnce,
     {Play(0, 1.0, Tremolo(Tone(W::Square, 120, 0, 0.3f, 0.01, 1.5), 17, 0.9)),
      Play(0, 1.0, Tone(W::Saw, 60, 0, 0.2f, 0.01, 1.5)),
      Crackles(0, 0.9, 30, 5000, 0.7f, 36)}},

    // Bots.
    {"bot_footstep", 0.15, kOnce, BotStep},
    {"bot_climb", 0.2, kOnce, MetalRung},
    {"bot_fall", 0.9, kOnce,
     {Play(0, 0.9, Tone(W::Sine, 1300, 180, 0.6f, 0.01, 1.2)),
      Play(0, 0.9, Tone(W::Square, 650, 90, 0.15f, 0.01, 1.2))}},
    {"bot_crush", 0.8, kOnce,
     {Thump(0, 0.3, 100, 40, 0.8f), Clang(0, 0.6, 260, 0.5f), Crackles(0, 0.4, 20, 3500, 0.5f, 41),
      Play(0.05, 0.7, Tone(W::Square, 400, 60, 0.2f, 0.01, 2))}},
    {"bot_hang_detect", 0.4, kOnce,
     {Play(0, 0.12, Tone(W::Square, 950, 0, 0.35f, 0.003, 1)),
      Play(0.18, 0.12, Tone(W::Square, 1250, 0, 0.35f, 0.003, 1))}},
    {"bot_slide", 0.7, kOnce,
     {Play(0, 0.7, Tremolo(Noise(F::BandPass, 1800, 1200, 4, 0.8f, 0.02, 1.5, 42), 23, 0.5)),
      Play(0, 0.7, Tone(W::Sine, 1850, 1750, 0.12f, 0.02, 1.5))}},

    // Objects and terrain.
    {"object_stop", 0.2, kOnce,
     {Thump(0, 0.18, 130, 70, 0.7f), Play(0, 0.1, Noise(F::LowPass, 1200, 300, 1, 0.5f, 0.002, 4, 51))}},
    {"object_land", 0.35, kOnce,
     {Thump(0, 0.32, 85, 38, 1.0f), Play(0, 0.2, Noise(F::LowPass, 900, 200, 0.8, 0.7f, 0.002, 4, 52))}},
    // Nine grains a second: a whole number in the loop.
    {"object_slide", 1.0, kLoops,
     {Wrapped(0, 1.0, Tremolo(Noise(F::BandPass, 650, 0, 2, 0.8f, 0.0, 0.0, 53), 9, 0.35))}},
    {"object_slide_ice", 1.0, kLoops,
     {Wrapped(0, 1.0, Tremolo(Noise(F::BandPass, 3200, 0, 1.5, 0.5f, 0.0, 0.0, 54), 3, 0.2)),
      Wrapped(0, 1.0, Tone(W::Sine, 3300, 0, 0.05f, 0.0, 0.0))}},
    {"object_barrel_roll", 1.0, kLoops,
     {Wrapped(0, 1.0, Noise(F::LowPass, 350, 0, 1, 0.6f, 0.0, 0.0, 55)),
      Repeated(4, 0.25, Thump(0, 0.2, 110, 80, 0.45f))}},
    {"magnet_attract", 0.7, kOnce,
     {Play(0, 0.7, Tremolo(Tone(W::Sine, 110, 330, 0.6f, 0.05, 1), 12, 0.5)),
      Play(0, 0.7, Tone(W::Square, 220, 660, 0.1f, 0.05, 1)),
      Clang(0.6, 0.1, 800, 0.3f)}},
    {"magnet_repel", 0.7, kOnce,
     {Play(0, 0.7, Tremolo(Tone(W::Sine, 330, 100, 0.6f, 0.01, 1.5), 12, 0.5)),
      Play(0, 0.7, Tone(W::Square, 660, 200, 0.1f, 0.01, 1.5))}},
    {"bridge_collapse_wooden_short", 0.7, kOnce, WoodenCollapse},
    {"bridge_collapse_inflatable_short", 0.65, kOnce, InflatableCollapse},

    // Heat and cold.
    {"element_burning", 1.3, kOnce,
     {Play(0, 1.3, Noise(F::LowPass, 800, 500, 0.8, 0.6f, 0.15, 1.5, 61)), Crackles(0.05, 1.2, 40, 2500, 0.6f, 62)}},
    {"element_bursting", 0.6, kOnce,
     {Play(0, 0.5, Noise(F::LowPass, 5000, 400, 0.8, 1.0f, 0.001, 4, 63)), Thump(0, 0.5, 90, 35, 0.8f)}},
    {"element_melting", 1.1, kOnce, {Play(0, 1.1, Noise(F::HighPass, 5000, 2000, 0.7, 0.4f, 0.1, 2, 64)), Drips()}},
    {"explode_frost", 1.1, kOnce,
     {Play(0, 0.5, Noise(F::HighPass, 2000, 5000, 0.7, 0.9f, 0.001, 4, 71)), Shimmer(),
      Crackles(0, 0.6, 18, 6000, 0.5f, 72)}},
    {"explode_heat_ice", 1.0, kOnce,  // ice flashing into steam: a long hiss with a few cracks
     {Play(0, 1.0, Noise(F::BandPass, 6000, 3000, 1, 0.8f, 0.02, 2.5, 73)), Crackles(0, 0.3, 8, 3000, 0.6f, 74)}},
    {"explode_heat_inflatable", 0.7, kOnce,
     {Play(0, 0.05, Noise(F::BandPass, 1200, 0, 0.8, 1.0f, 0.0005, 5, 75)), Thump(0, 0.2, 160, 60, 0.6f),
      Play(0.03, 0.65, Noise(F::HighPass, 3000, 1500, 0.7, 0.4f, 0.01, 3, 76))}},
    {"explode_heat_metal", 1.2, kOnce,
     {Clang(0, 1.1, 330, 0.6f), Play(0, 1.2, Noise(F::BandPass, 2500, 4000, 1, 0.35f, 0.1, 2, 77))}},
    {"explode_heat_wood", 1.1, kOnce,
     {Play(0, 0.6, Noise(F::LowPass, 300, 3000, 1, 0.8f, 0.05, 3, 78)), Crackles(0.1, 1.0, 30, 2000, 0.7f, 79)}},

    // Devices.
    {"device_breaking", 0.9, kOnce,
     {Play(0, 0.4, Noise(F::HighPass, 3000, 0, 0.7, 0.8f, 0.001, 4, 81)), Shards(82),
      Play(0.1, 0.6, Tone(W::Square, 900, 80, 0.15f, 0.01, 2))}},
    {"button_click", 0.2, kOnce,
     {Play(0, 0.02, Noise(F::BandPass, 2500, 0, 1.5, 0.7f, 0.0005, 5, 83)), Thump(0, 0.15, 200, 120, 0.6f),
      Play(0.08, 0.02, Noise(F::BandPass, 3000, 0, 1.5, 0.4f, 0.0005, 5, 84))}},
    {"gate_open", 0.8, kOnce,  // the motor, and a clang as it stops
     {Play(0, 0.75, Held(Filtered(Tone(W::Saw, 80, 160, 0.5f, 0.05, 0.5), F::LowPass, 700), 0.5)),
      Play(0, 0.75, Noise(F::LowPass, 900, 1400, 1, 0.08f, 0.05, 0.5, 85)), Clang(0.7, 0.1, 500, 0.25f)}},
    {"gate_close", 0.9, kOnce,
     {Play(0, 0.6, Held(Filtered(Tone(W::Saw, 160, 80, 0.45f, 0.03, 0.5), F::LowPass, 700), 0.4)),
      Thump(0.58, 0.3, 90, 40, 0.9f), Clang(0.58, 0.3, 220, 0.35f)}},
    {"gate_break", 1.1, kOnce,
     {Play(0, 0.5, Noise(F::LowPass, 6000, 800, 0.8, 0.9f, 0.001, 3, 86)), Clang(0, 1.0, 180, 0.6f),
      Clang(0.12, 0.7, 410, 0.4f), Thump(0, 0.4, 80, 35, 0.8f)}},
    {"gate_fail", 0.45, kOnce,
     {Play(0, 0.42, Held(Tone(W::Square, 110, 0, 0.45f, 0.005, 0.7), 0.3)),
      Play(0, 0.42, Tone(W::Saw, 117, 0, 0.2f, 0.005, 0.7))}},
    {"teleport_activated", 1.0, kOnce,
     {Play(0, 0.9, Tremolo(Tone(W::Sine, 300, 1500, 0.4f, 0.02, 1.5), 16, 0.6)),
      Notes({79, 83, 86}, 0.3, 0, 0.7, Tone(W::Sine, 0, 0, 0.15f, 0.05, 3))}},
    {"teleport_powerup", 0.9, kOnce, {Play(0, 0.85, Vibrato(Tone(W::Triangle, 180, 1300, 0.5f, 0.1, 0.8), 9, 0.4))}},
    {"teleport_powerdown", 0.9, kOnce, {Play(0, 0.85, Vibrato(Tone(W::Triangle, 1300, 160, 0.5f, 0.01, 2), 9, 0.4))}},
    {"trampoline_stretch", 0.45, kOnce,
     {Play(0, 0.42, Vibrato(Filtered(Tone(W::Saw, 140, 95, 0.5f, 0.02, 1), F::LowPass, 1200, 500), 18, 0.5))}},
    {"trampoline_rebound", 0.5, kOnce, {Play(0, 0.5, Vibrato(Tone(W::Sine, 140, 420, 0.7f, 0.003, 2.5), 16, 1.5))}},
};

// Number at the end of a name's stem ("bot_footstep7" gives 7), or fallback.
int Variant(const std::string& stem, int fallback) {
    size_t i = stem.size();
    while (i > 0 && stem[i - 1] >= '0' && stem[i - 1] <= '9') --i;
    int variant = fallback;
    ReadNumber(stem.substr(i), 0, INT_MAX, &variant);
    return variant;
}

const Recipe* Find(const std::string& stem) {
    for (const Recipe& recipe : kRecipes)
        if (stem == recipe.name) return &recipe;
    return nullptr;
}

}  // namespace

bool SynthesizeEffect(const std::string& name, int rate, SynthBuffer* out, bool* loops) {
    std::string stem = name;
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos) stem.resize(dot);
    const Recipe* recipe = Find(stem);
    int variant = 1;  // an unnumbered member of a numbered family is its first
    if (!recipe) {
        // Numbered families: "professor_run3", "bot_footstep11", "..._short4".
        std::string family = stem;
        while (!family.empty() && family.back() >= '0' && family.back() <= '9') family.pop_back();
        variant = Variant(stem, 1);
        recipe = Find(family);
        if (!recipe) return false;
    }
    *out = SynthMake(rate, recipe->seconds + (recipe->loops ? 0.05 : 0.0));
    for (const Layer& layer : recipe->member ? recipe->member(variant) : recipe->layers)
        SynthRender(*out, layer.at, layer.dur, layer.voice, layer.wrap);
    *loops = recipe->loops;
    if (*loops) SynthMakeLoop(*out, 0.05);
    SynthSoftClip(*out, 1.2f);
    SynthNormalize(*out, 0.8f);
    if (!*loops) SynthFadeEdges(*out);
    return true;
}
