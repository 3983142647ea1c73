#include "MusicTrack.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <vector>

#include "engine/ReadNumber.h"

namespace {

// The bounds of a voice's figures.
constexpr double kLongestSeconds = 60;
constexpr double kHighestHz = 20000;
constexpr double kWidestSemitones = 24;

struct Note {
    std::vector<double> pitches;  // MIDI numbers; empty for a rest
    int length = 0;               // sixteenths
};

struct Voice {
    SynthVoice sound;
    double pan = 0;      // -1 left .. 1 right
    double hold = 0.5;   // fraction of the note before the decay
    double release = 0.1;
    std::vector<Note> part;
};

bool ParsePitch(const std::string& text, double* midi) {
    static const int letters[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (text.empty() || text[0] < 'A' || text[0] > 'G') return false;
    int semis = letters[text[0] - 'A'];
    size_t i = 1;
    if (i < text.size() && text[i] == '#') semis += 1, ++i;
    else if (i < text.size() && text[i] == 'b') semis -= 1, ++i;
    int octave = 0;
    if (!ReadNumber(text.substr(i), 0, 8, &octave)) return false;
    *midi = 12.0 * (octave + 1) + semis;
    return true;
}

bool ParseNote(const std::string& token, Note* note) {
    const size_t slash = token.find('/');
    if (slash == std::string::npos) return false;
    if (!ReadNumber(token.substr(slash + 1), 1, 256, &note->length)) return false;
    const std::string pitch = token.substr(0, slash);
    note->pitches.clear();
    if (pitch == "-") return true;
    std::stringstream parts(pitch);
    std::string one;
    while (std::getline(parts, one, '+')) {
        double midi;
        if (!ParsePitch(one, &midi)) return false;
        note->pitches.push_back(midi);
    }
    return !note->pitches.empty();
}

bool ParseWave(const std::string& name, SynthWave* wave) {
    if (name == "sine") *wave = SynthWave::Sine;
    else if (name == "triangle") *wave = SynthWave::Triangle;
    else if (name == "square") *wave = SynthWave::Square;
    else if (name == "saw") *wave = SynthWave::Saw;
    else return false;
    return true;
}

// Expands section names recursively (depth-limited against cycles).
void Expand(const std::vector<std::string>& tokens, const std::map<std::string, std::vector<std::string>>& sections,
            int depth, std::vector<std::string>* out) {
    for (const std::string& t : tokens) {
        const auto it = sections.find(t);
        if (it != sections.end() && depth < 8) Expand(it->second, sections, depth + 1, out);
        else out->push_back(t);
    }
}

void Drum(SynthBuffer& b, double at, char kind, float amp, uint32_t seed) {
    SynthVoice v;
    switch (kind) {
        case 'k':
            v.f0 = 130;
            v.f1 = 42;
            v.amp = amp;
            v.attack = 0.002;
            v.decay = 4;
            SynthRender(b, at, 0.28, v, true);
            break;
        case 's':
            v.wave = SynthWave::Noise;
            v.filter = SynthFilter::BandPass;
            v.cut0 = 1800;
            v.q = 0.8;
            v.amp = amp * 0.9f;
            v.attack = 0.001;
            v.decay = 5;
            v.seed = seed;
            SynthRender(b, at, 0.18, v, true);
            v = SynthVoice();
            v.f0 = 200;
            v.f1 = 150;
            v.amp = amp * 0.4f;
            v.attack = 0.001;
            v.decay = 6;
            SynthRender(b, at, 0.1, v, true);
            break;
        case 'h':
        case 'o':
            v.wave = SynthWave::Noise;
            v.filter = SynthFilter::HighPass;
            v.cut0 = 7000;
            v.amp = amp * 0.35f;
            v.attack = 0.001;
            v.decay = 5;
            v.seed = seed;
            SynthRender(b, at, kind == 'h' ? 0.05 : 0.25, v, true);
            break;
        default:
            break;
    }
}

}  // namespace

bool RenderMusic(const std::string& source, int rate, SynthBuffer* left, SynthBuffer* right, std::string* error) {
    double bpm = 100;
    int bars = 16;
    float drumAmp = 0.4f;
    std::map<std::string, Voice> voices;
    std::vector<std::string> voiceOrder;
    std::map<std::string, std::vector<std::string>> sections;
    std::vector<std::string> drums;
    std::stringstream lines(source);
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        *error = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(lines, line)) {
        ++lineNo;
        // A comment starts with '#' at the start of a word ("F#4" is a note).
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
                line.resize(i);
                break;
            }
        }
        std::stringstream words(line);
        std::string key;
        if (!(words >> key)) continue;
        std::vector<std::string> rest;
        for (std::string w; words >> w;) rest.push_back(w);
        if (key == "bpm" && rest.size() == 1) {
            if (!ReadNumber(rest[0], 30.0, 300.0, &bpm)) return fail("bad tempo");
        } else if (key == "bars" && rest.size() == 1) {
            if (!ReadNumber(rest[0], 1, 200, &bars)) return fail("bad bar count");
        } else if (key == "drumvol" && rest.size() == 1) {
            double amp = 0;
            if (!ReadNumber(rest[0], 0.0, 1.0, &amp)) return fail("bad drum volume " + rest[0]);
            drumAmp = static_cast<float>(amp);
        } else if (key == "voice" && rest.size() >= 7) {
            Voice v;
            if (!ParseWave(rest[1], &v.sound.wave)) return fail("unknown wave " + rest[1]);
            // Loudness and pan, then attack, hold (a fraction of the note)
            // and release in seconds.
            double amp = 0;
            if (!ReadNumber(rest[2], 0.0, 1.0, &amp) || !ReadNumber(rest[3], -1.0, 1.0, &v.pan) ||
                !ReadNumber(rest[4], 0.0, kLongestSeconds, &v.sound.attack) || !ReadNumber(rest[5], 0.0, 1.0, &v.hold) ||
                !ReadNumber(rest[6], 0.0, kLongestSeconds, &v.release))
                return fail("bad voice " + rest[0] + ": amp 0..1, pan -1..1, attack, hold 0..1, release in seconds");
            v.sound.amp = static_cast<float>(amp);
            v.sound.decay = 4;
            for (size_t i = 7; i < rest.size(); ++i) {
                if (rest[i] == "lowpass" && i + 1 < rest.size()) {
                    v.sound.filter = SynthFilter::LowPass;
                    if (!ReadNumber(rest[++i], 1.0, kHighestHz, &v.sound.cut0)) return fail("bad cutoff " + rest[i]);
                } else if (rest[i] == "vibrato" && i + 2 < rest.size()) {
                    if (!ReadNumber(rest[i + 1], 0.0, kHighestHz, &v.sound.vibratoHz) ||
                        !ReadNumber(rest[i + 2], 0.0, kWidestSemitones, &v.sound.vibrato))
                        return fail("bad vibrato " + rest[i + 1] + " " + rest[i + 2]);
                    i += 2;
                } else {
                    return fail("unknown voice option " + rest[i]);
                }
            }
            if (!voices.count(rest[0])) voiceOrder.push_back(rest[0]);
            voices[rest[0]] = v;
        } else if (key == "section" && !rest.empty()) {
            sections[rest[0]].assign(rest.begin() + 1, rest.end());
        } else if (key == "play" && !rest.empty()) {
            auto it = voices.find(rest[0]);
            if (it == voices.end()) return fail("unknown voice " + rest[0]);
            std::vector<std::string> tokens;
            Expand(std::vector<std::string>(rest.begin() + 1, rest.end()), sections, 0, &tokens);
            for (const std::string& t : tokens) {
                Note n;
                if (!ParseNote(t, &n)) return fail("bad note " + t);
                it->second.part.push_back(n);
            }
        } else if (key == "drums") {
            Expand(rest, sections, 0, &drums);
        } else {
            return fail("cannot read '" + key + "'");
        }
    }

    const double sixteenth = 60.0 / bpm / 4.0;
    const int steps = bars * 16;
    const double seconds = steps * sixteenth;
    *left = SynthMake(rate, seconds);
    *right = SynthMake(rate, seconds);
    uint32_t seed = 1;
    for (const std::string& name : voiceOrder) {
        const Voice& v = voices[name];
        if (v.part.empty()) continue;
        SynthBuffer mono = SynthMake(rate, seconds);
        int at = 0;
        for (size_t i = 0; at < steps; i = (i + 1) % v.part.size()) {
            const Note& n = v.part[i];
            const double dur = n.length * sixteenth;
            for (double p : n.pitches) {
                SynthVoice s = v.sound;
                s.f0 = SynthNoteHz(p);
                s.hold = std::max(0.0, dur * v.hold - s.attack);
                s.seed = ++seed;
                SynthRender(mono, at * sixteenth, dur + v.release, s, true);
            }
            at += n.length;
        }
        const float l = static_cast<float>(std::cos((v.pan + 1) * 0.25 * 3.14159265358979));
        const float r = static_cast<float>(std::sin((v.pan + 1) * 0.25 * 3.14159265358979));
        for (size_t i = 0; i < mono.s.size(); ++i) {
            left->s[i] += mono.s[i] * l;
            right->s[i] += mono.s[i] * r;
        }
    }
    std::string pattern;
    for (const std::string& d : drums) pattern += d;
    if (!pattern.empty()) {
        SynthBuffer kit = SynthMake(rate, seconds);
        for (int step = 0; step < steps; ++step) Drum(kit, step * sixteenth, pattern[step % pattern.size()], drumAmp, ++seed);
        for (size_t i = 0; i < kit.s.size(); ++i) {
            left->s[i] += kit.s[i] * 0.7071f;
            right->s[i] += kit.s[i] * 0.7071f;
        }
    }
    // One gain for both sides keeps the stereo picture.
    float peak = 0;
    for (size_t i = 0; i < left->s.size(); ++i) peak = std::max(peak, std::max(std::fabs(left->s[i]), std::fabs(right->s[i])));
    if (peak < 1e-6f) return fail("the track is silent");
    for (size_t i = 0; i < left->s.size(); ++i) {
        left->s[i] = std::tanh(left->s[i] / peak * 1.1f) * 0.75f;
        right->s[i] = std::tanh(right->s[i] / peak * 1.1f) * 0.75f;
    }
    return true;
}
