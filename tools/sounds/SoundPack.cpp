// The sound pack (kSoundPackFile): every name of assets/sounds/sound-names.txt,
// synthesized here and encoded as Ogg Vorbis. Effects are mono at 44100 Hz,
// the output rate, so they play without resampling; the ".oxm" music tracks
// are stereo at 22050 Hz (half the memory once decoded), rendered from the
// note patterns in assets/sounds/<track>.txt. The same sources always give
// the same bytes.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BuildSteps.h"
#include "engine/ResourceFiles.h"
#include "CPackWriter.h"
#include "sounds/EffectRecipes.h"
#include "sounds/MusicTrack.h"
#include "sounds/VorbisEncode.h"

namespace {

constexpr int kEffectRate = 44100;
constexpr int kMusicRate = 22050;
constexpr float kEffectQuality = 0.3f;
constexpr float kMusicQuality = 0.2f;

bool ReadText(const std::string& path, std::string* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream ss;
    ss << in.rdbuf();
    *out = ss.str();
    return true;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool MakeMusic(const BuildContext& ctx, const std::string& name, std::vector<uint8_t>* bytes) {
    const std::string source = ctx.assetsDir + "/sounds/" + name.substr(0, name.size() - 4) + ".txt";
    std::string text, error;
    if (!ReadText(source, &text)) {
        fprintf(stderr, "sound pack: cannot read %s\n", source.c_str());
        return false;
    }
    SynthBuffer left, right;
    if (!RenderMusic(text, kMusicRate, &left, &right, &error)) {
        fprintf(stderr, "sound pack: %s: %s\n", source.c_str(), error.c_str());
        return false;
    }
    std::vector<float> interleaved(left.s.size() * 2);
    for (size_t i = 0; i < left.s.size(); ++i) {
        interleaved[i * 2] = left.s[i];
        interleaved[i * 2 + 1] = right.s[i];
    }
    return EncodeVorbis(interleaved, 2, kMusicRate, kMusicQuality, bytes);
}

bool MakeEffect(const std::string& name, std::vector<uint8_t>* bytes) {
    SynthBuffer b;
    bool loops = false;
    if (!SynthesizeEffect(name, kEffectRate, &b, &loops)) {
        fprintf(stderr, "sound pack: no recipe for %s\n", name.c_str());
        return false;
    }
    return EncodeVorbis(b.s, 1, kEffectRate, kEffectQuality, bytes);
}

}  // namespace

bool BuildSoundPack(const BuildContext& ctx) {
    std::string list;
    const std::string listPath = ctx.assetsDir + "/sounds/sound-names.txt";
    if (!ReadText(listPath, &list)) {
        fprintf(stderr, "sound pack: cannot read %s\n", listPath.c_str());
        return false;
    }
    CPackWriter pack;
    std::stringstream lines(list);
    std::string name;
    while (std::getline(lines, name)) {
        while (!name.empty() && (name.back() == '\r' || name.back() == ' ')) name.pop_back();
        if (name.empty() || name[0] == '#') continue;
        std::vector<uint8_t> bytes;
        const bool ok = EndsWith(name, ".oxm") ? MakeMusic(ctx, name, &bytes) : MakeEffect(name, &bytes);
        if (!ok) {
            fprintf(stderr, "sound pack: %s failed\n", name.c_str());
            return false;
        }
        pack.Add(name, std::move(bytes));
    }
    if (!pack.Write(ctx.outDir + "/" + kSoundPackFile)) return false;
    if (ctx.loose && !pack.WriteLoose(ctx.outDir + "/resource/sound")) return false;
    return true;
}
