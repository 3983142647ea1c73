#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

// Zavalishin's state-variable filter: stable under fast cutoff changes.
struct Svf {
    double ic1 = 0, ic2 = 0;
    float Step(float x, SynthFilter kind, double cutoff, double q, int rate) {
        cutoff = std::min(std::max(cutoff, 10.0), rate * 0.45);
        const double g = std::tan(kPi * cutoff / rate);
        const double k = 1.0 / std::max(q, 0.1);
        const double a1 = 1.0 / (1.0 + g * (g + k));
        const double a2 = g * a1;
        const double a3 = g * a2;
        const double v3 = x - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        switch (kind) {
            case SynthFilter::LowPass: return static_cast<float>(v2);
            case SynthFilter::HighPass: return static_cast<float>(x - k * v1 - v2);
            case SynthFilter::BandPass: return static_cast<float>(v1);
            default: return x;
        }
    }
};

// Softens the jump of a square or saw wave over one sample on each side
// (polynomial band-limited step), which keeps high notes from folding back
// into the audible range as harsh whistles.
double Blep(double t, double dt) {
    if (dt <= 0 || dt >= 0.5) return 0;
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

// dt: the phase step of one sample.
double Oscillate(SynthWave wave, double phase, double dt, uint32_t* noise) {
    const double p = phase - std::floor(phase);
    switch (wave) {
        case SynthWave::Sine: return std::sin(2 * kPi * p);
        case SynthWave::Triangle: return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
        case SynthWave::Square: {
            const double half = p + 0.5 - std::floor(p + 0.5);
            return 0.8 * ((p < 0.5 ? 1.0 : -1.0) + Blep(p, dt) - Blep(half, dt));
        }
        case SynthWave::Saw: return 2 * p - 1 - Blep(p, dt);
        case SynthWave::Noise: return SynthNoise(noise);
    }
    return 0;
}
}  // namespace

float SynthNoise(uint32_t* state) {
    uint32_t x = *state ? *state : 0x9E3779B9u;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    *state = x;
    return static_cast<float>(static_cast<double>(x) / 2147483648.0 - 1.0);
}

double SynthNoteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

SynthBuffer SynthMake(int rate, double seconds) {
    SynthBuffer b;
    b.rate = rate;
    b.s.assign(static_cast<size_t>(std::max(0.0, seconds) * rate + 0.5), 0.0f);
    return b;
}

void SynthRender(SynthBuffer& b, double start, double dur, const SynthVoice& v, bool wrap) {
    if (b.s.empty() || dur <= 0) return;
    const int rate = b.rate;
    const long first = static_cast<long>(start * rate + 0.5);
    const long count = static_cast<long>(dur * rate + 0.5);
    const long size = static_cast<long>(b.s.size());
    const double f1 = v.f1 > 0 ? v.f1 : v.f0;
    const double c1 = v.cut1 > 0 ? v.cut1 : v.cut0;
    const double rest = std::max(1e-6, dur - v.attack - v.hold);
    uint32_t noise = v.seed * 2654435761u + 12345u;
    Svf filter;
    double phase = 0;
    const double tail = std::min(0.004, dur / 4);
    for (long i = 0; i < count; ++i) {
        long at = first + i;
        if (at < 0) continue;
        if (at >= size) {
            if (!wrap) break;
            at %= size;
        }
        const double t = static_cast<double>(i) / rate;
        const double x = t / dur;
        double f = v.f0 * std::pow(f1 / v.f0, x);
        if (v.vibrato > 0) f *= std::pow(2.0, v.vibrato / 12.0 * std::sin(2 * kPi * v.vibratoHz * t));
        phase += f / rate;
        double amp = v.amp;
        if (t < v.attack) amp *= t / v.attack;
        else if (t > v.attack + v.hold) amp *= std::exp(-v.decay * (t - v.attack - v.hold) / rest);
        if (dur - t < tail) amp *= (dur - t) / tail;
        if (v.tremolo > 0) amp *= 1.0 - v.tremolo * 0.5 * (1.0 - std::cos(2 * kPi * v.tremoloHz * t));
        float sample = static_cast<float>(Oscillate(v.wave, phase, f / rate, &noise));
        if (v.filter != SynthFilter::None)
            sample = filter.Step(sample, v.filter, v.cut0 * std::pow(c1 / v.cut0, x), v.q, rate);
        b.s[static_cast<size_t>(at)] += static_cast<float>(sample * amp);
    }
}

void SynthFilterBuffer(SynthBuffer& b, SynthFilter kind, double cutoff, double q) {
    Svf filter;
    for (float& x : b.s) x = filter.Step(x, kind, cutoff, q, b.rate);
}

void SynthNormalize(SynthBuffer& b, float peak) {
    float m = 0;
    for (float x : b.s) m = std::max(m, std::fabs(x));
    if (m < 1e-9f) return;
    const float g = peak / m;
    for (float& x : b.s) x *= g;
}

void SynthFadeEdges(SynthBuffer& b, double seconds) {
    const size_t n = std::min(b.s.size() / 2, static_cast<size_t>(seconds * b.rate));
    for (size_t i = 0; i < n; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(n);
        b.s[i] *= g;
        b.s[b.s.size() - 1 - i] *= g;
    }
}

void SynthMakeLoop(SynthBuffer& b, double fade) {
    const size_t n = std::min(b.s.size() / 3, static_cast<size_t>(fade * b.rate));
    if (n == 0) return;
    const size_t keep = b.s.size() - n;
    for (size_t i = 0; i < n; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(n);
        // Equal-power blend: the noise-like loops keep their level at the seam.
        const float in = std::sin(g * static_cast<float>(kPi) / 2), out = std::cos(g * static_cast<float>(kPi) / 2);
        b.s[i] = b.s[i] * in + b.s[keep + i] * out;
    }
    b.s.resize(keep);
}

void SynthSoftClip(SynthBuffer& b, float drive) {
    const float norm = std::tanh(drive);
    for (float& x : b.s) x = std::tanh(x * drive) / norm;
}
