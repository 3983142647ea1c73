// The level pack (kLevelPackFile): every slot of the three sets, in order, from
// its source in assets/levels/<name>.txt when there is one, else a generated
// stand-in. Each level is compiled into the game's own CLevel, checked, and
// written as the game writes level bodies.
#include <climits>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "BuildSteps.h"
#include "CPackWriter.h"
#include "engine/ResourceFiles.h"
#include "engine/Utilities.h"
#include "tools/levels/CLevelChecker.h"
#include "tools/levels/CLevelGenerator.h"
#include "tools/levels/CLevelSource.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"
#include "world/pieces/SignDirective.h"

namespace {

// Tutorial level Tn shows the sign text with string-table id 5000 + n
// (assets/strings/levels-tutorial.txt).
constexpr int kTutorialTextBase = 5000;

struct SetSlots {
    const char* format;
    int count;
};
const SetSlots kSets[CLevelSet::kSetCount] = {
    {"reg%03d", CLevelSet::kRegularCount},
    {"adv%02d", CLevelSet::kAdvancedCount},
    {"kid%02d", CLevelSet::kKidsCount},
};

// Fixed noise per level, so that the pack's bytes never change by themselves.
uint32_t NameNoise(const std::string& name) {
    uint32_t h = 2166136261u;
    for (char c : name) h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
    return h;
}

// The text ids of the string-table sources ("@id|text" lines).
std::set<int> StringIds(const std::string& folder) {
    std::set<int> ids;
    std::vector<std::string> files;
    GetFiles(files, folder.c_str(), ".txt", true);
    for (const std::string& file : files) {
        FILE* f = fopen((folder + "/" + file + ".txt").c_str(), "rb");
        if (!f) continue;
        char line[2048];
        while (fgets(line, sizeof line, f)) {
            int id = 0;
            const char* bar = strchr(line, '|');
            if (line[0] != '@' || !bar) continue;
            if (ReadNumber(std::string(line + 1, static_cast<size_t>(bar - line - 1)), 0, INT_MAX, &id)) ids.insert(id);
        }
        fclose(f);
    }
    return ids;
}

bool CheckSignIds(const CLevel& level, const std::set<int>& ids, std::string* missing) {
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            const char* text = level.GetTutorialText(x, y);
            if (level.GetTile(x, y) != TUTORIAL || !text) continue;
            const SignDirective d = ReadSignDirective(text);
            if (d.parts >= 1 && !ids.count(d.body)) *missing = std::to_string(d.body);
            if (d.parts == 3 && d.heading > 0 && !ids.count(d.heading)) *missing = std::to_string(d.heading);
            if (!missing->empty()) return false;
        }
    }
    return true;
}

}  // namespace

bool BuildLevelPack(const BuildContext& ctx) {
    const std::string sourceDir = ctx.assetsDir + "/levels";
    const std::set<int> stringIds = StringIds(ctx.assetsDir + "/strings");

    std::set<std::string> slotNames;
    CPackWriter pack;
    int designed = 0;
    int total = 0;
    bool ok = true;
    for (int s = 0; s < CLevelSet::kSetCount; ++s) {
        int tutorial = 0;
        for (int i = 0; i < kSets[s].count; ++i) {
            char name[16];
            snprintf(name, sizeof name, kSets[s].format, i);
            slotNames.insert(name);
            const int textId = IsTutorialLevel(s, i) ? kTutorialTextBase + ++tutorial : 0;
            const std::string sourcePath = sourceDir + "/" + name + ".txt";
            CLevel level;
            FILE* probe = fopen(sourcePath.c_str(), "rb");
            if (probe) {
                fclose(probe);
                std::string error;
                if (!CLevelSource::ParseFile(sourcePath, &level, &error)) {
                    fprintf(stderr, "level pack: %s\n", error.c_str());
                    ok = false;
                    continue;
                }
                ++designed;
            } else {
                CLevelGenerator::Generate(s, i, textId, &level);
            }
            std::vector<std::string> problems;
            if (!CLevelChecker::Check(level, &problems)) {
                for (const std::string& p : problems) fprintf(stderr, "level pack: %s: %s\n", name, p.c_str());
                ok = false;
                continue;
            }
            std::string missing;
            if (!CheckSignIds(level, stringIds, &missing)) {
                fprintf(stderr, "level pack: %s: a sign names text %s, which no string source holds\n", name,
                        missing.c_str());
                ok = false;
                continue;
            }
            std::vector<uint8_t> body = level.BodyBytes(CLevel::MakeLevelId(kLevelKindGame, NameNoise(name)));
            if (body.empty()) {
                fprintf(stderr, "level pack: %s: cannot write the level body\n", name);
                ok = false;
                continue;
            }
            pack.Add(std::string(name) + ".lvl", std::move(body));
            ++total;
        }
    }

    // A source whose name is no slot would silently never be played.
    std::vector<std::string> sources;
    GetFiles(sources, sourceDir.c_str(), ".txt", true);
    for (const std::string& source : sources) {
        if (!slotNames.count(source)) {
            fprintf(stderr, "level pack: %s/%s.txt names no level slot (reg000..reg110, adv00..adv49, kid00..kid80)\n",
                    sourceDir.c_str(), source.c_str());
            ok = false;
        }
    }
    if (!ok) return false;
    printf("level pack: %d levels, %d of them designed, %d generated\n", total, designed, total - designed);
    return pack.Write(ctx.outDir + "/" + kLevelPackFile);
}
