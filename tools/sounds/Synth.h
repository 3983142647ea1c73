// A small synthesizer for the game's sound effects and music: oscillators and
// noise with exponential pitch sweeps, vibrato and tremolo, an attack/hold/
// decay envelope, and a swept state-variable filter. Everything is
// deterministic: noise comes from seeded generators, never from the clock.
#pragma once

#include <cstdint>
#include <vector>

enum class SynthWave { Sine, Triangle, Square, Saw, Noise };
enum class SynthFilter { None, LowPass, HighPass, BandPass };

struct SynthBuffer {
    int rate = 22050;
    std::vector<float> s;
};

struct SynthVoice {
    SynthWave wave = SynthWave::Sine;
    double f0 = 440.0;       // frequency at the start (Hz)
    double f1 = 0.0;         // at the end; 0 keeps f0 (the sweep is exponential)
    double vibratoHz = 0.0;
    double vibrato = 0.0;    // depth in semitones
    double tremoloHz = 0.0;
    double tremolo = 0.0;    // depth 0..1
    float amp = 0.5f;
    double attack = 0.005;   // seconds of linear rise
    double hold = 0.0;       // seconds at full level after the rise
    double decay = 4.0;      // steepness of the exponential fall over the rest
    SynthFilter filter = SynthFilter::None;
    double cut0 = 1000.0;    // filter cutoff at the start and at the end (Hz)
    double cut1 = 0.0;       // 0 keeps cut0
    double q = 0.7;
    uint32_t seed = 1;       // for the noise wave
};

SynthBuffer SynthMake(int rate, double seconds);
// Adds voice into b from start for dur seconds (cut at the buffer's end,
// or wrapped to its start when wrap is set, for seamless loops).
void SynthRender(SynthBuffer& b, double start, double dur, const SynthVoice& v, bool wrap = false);
// Whole-buffer filter with a fixed cutoff.
void SynthFilterBuffer(SynthBuffer& b, SynthFilter kind, double cutoff, double q = 0.7);
// Scales to the given peak (no change for silence).
void SynthNormalize(SynthBuffer& b, float peak);
// Short fades at both ends against clicks.
void SynthFadeEdges(SynthBuffer& b, double seconds = 0.003);
// Cross-fades the last fade seconds into the start and drops them, so the
// buffer repeats without a seam.
void SynthMakeLoop(SynthBuffer& b, double fade);
// Soft saturation keeping the level below 1.
void SynthSoftClip(SynthBuffer& b, float drive);

// Deterministic noise in -1..1 from a state.
float SynthNoise(uint32_t* state);
// Frequency of a MIDI note number.
double SynthNoteHz(double midi);
