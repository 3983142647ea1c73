#include "world/CLevelSet.h"

#include <cstring>

#include "engine/CPackFile.h"
#include "engine/DataFolder.h"
#include "engine/Log.h"
#include "engine/ResourceFiles.h"
#include "world/CLevel.h"

namespace {

CLevelSet* g_sets[CLevelSet::kSetCount] = {};
void (*g_progressStep)(int) = nullptr;

const int kTutorialLevels[] = {1, 3, 5, 7, 9, 11, 14, 16, 18, 20, 22, 24, 28,
                               30, 32, 35, 38, 42, 45, 48, 51, 55, 67, 75, 81, 90};

struct StoryEntry {
    int index;
    int page;
};
const StoryEntry kRegularStory[] = {{0, 0},  {8, 1},  {19, 2},  {29, 3},   {39, 4},   {49, 5},
                                    {60, 6}, {70, 7}, {81, 8},  {90, 9},   {102, 10}, {110, 11}};
const StoryEntry kAdvancedStory[] = {{0, 0},  {4, 1},  {9, 2},  {13, 3},  {18, 4},  {22, 5},
                                     {27, 6}, {31, 7}, {36, 8}, {40, 9}, {45, 10}, {49, 11}};
const StoryEntry kKidsStory[] = {{0, 0}, {80, 11}};

void EnsureSets() {
    for (CLevelSet*& set : g_sets) {
        if (!set) set = new CLevelSet();
    }
}

}  // namespace

CLevelSet::CLevelSet() = default;
CLevelSet::~CLevelSet() = default;

void CLevelSet::SetProgressStep(void (*step)(int)) { g_progressStep = step; }

CLevelSet* CLevelSet::GetSet(int set) {
    if (set < 0 || set >= kSetCount) return nullptr;
    EnsureSets();
    return g_sets[set];
}

void CLevelSet::LoadAll() {
    std::string error;
    if (!LoadPack(kLevelPackFile, &error)) {
        ErrorLog(false, "CLevelSet::LoadAll()   %s\n", error.c_str());
        TellResourceFileFailed(kLevelPackFile);
        ErrorLog(true, "Cannot load level resource file!\n");
    }
}

bool CLevelSet::LoadPack(const std::string& path, std::string* error) {
    EnsureSets();
    FreeAll();
    CPackFile pack;
    std::string reason;
    if (!pack.Load(path)) {
        reason = "level pack '" + path + "': " + pack.Error();
    } else {
        const auto& entries = pack.Entries();
        for (size_t i = 0; i < entries.size() && reason.empty(); ++i) {
            const CPackFile::Entry& e = entries[i];
            const size_t n = e.name.size();
            if (n < 5 || e.name.compare(n - 4, 4, ".lvl") != 0) {
                reason = "entry " + std::to_string(i) + " has no level name";
                break;
            }
            const std::string name = e.name.substr(0, n - 4);
            auto level = std::make_unique<CLevel>();
            if (!level->LoadFromMemory(e.data, e.size, name.c_str())) {
                reason = "level '" + e.name + "' is damaged";
                break;
            }
            loadLevel(name, level.release());
            if (g_progressStep) g_progressStep(100);
        }
    }
    if (!reason.empty()) {
        FreeAll();
        if (error) *error = reason;
        DebugLog(DBG_ERROR, "CLevelSet::LoadPack()   %s\n", reason.c_str());
        return false;
    }
    BuildLevelLabels();
    const int expected[kSetCount] = {kRegularCount, kAdvancedCount, kKidsCount};
    for (int s = 0; s < kSetCount; ++s) {
        if (g_sets[s]->GetLevelCount() != expected[s]) {
            DebugLog(DBG_WARNING, "CLevelSet::LoadPack()   Set %i holds %i levels, not %i\n", s,
                     g_sets[s]->GetLevelCount(), expected[s]);
        }
    }
    return true;
}

bool CLevelSet::loadLevel(const std::string& name, CLevel* level) {
    EnsureSets();
    const std::string prefix = name.substr(0, 3);
    int set = -1;
    if (prefix == "kid") {
        set = 2;
    } else if (prefix == "reg") {
        set = 0;
    } else if (prefix == "adv") {
        set = 1;
    }
    if (set < 0) {
        DebugLog(DBG_ERROR, "Invalid level prefix:  '%s'  (%s)\n", prefix.c_str(), name.c_str());
        delete level;
        return false;
    }
    g_sets[set]->levels_.emplace_back(level);
    DebugLog(DBG_PRELOAD, "CLevelSet::loadLevel   #%-6i:   %s  (%s,%s)\n", g_sets[set]->GetLevelCount(),
             level->GetHeadingText(), level->GetFileName(), prefix.c_str());
    return true;
}

void CLevelSet::BuildLevelLabels() {
    EnsureSets();
    for (int s = 0; s < kSetCount; ++s) {
        CLevelSet* set = g_sets[s];
        set->labels_.clear();
        int tutorial = 1;
        int plain = 1;
        for (int i = 0; i < set->GetLevelCount(); ++i) {
            if (IsTutorialLevel(s, i)) {
                set->labels_.push_back("T" + std::to_string(tutorial++));
            } else {
                set->labels_.push_back(std::to_string(plain++));
            }
        }
    }
}

void CLevelSet::FreeAll() {
    for (CLevelSet* set : g_sets) {
        if (!set) continue;
        set->levels_.clear();
        set->labels_.clear();
        set->current_ = 0;
    }
}

std::string CLevelSet::GetLevelLabel(int set, int index) {
    const CLevelSet* s = GetSet(set);
    if (!s || index < 0 || index >= static_cast<int>(s->labels_.size())) return std::string();
    return s->labels_[index];
}

CLevel* CLevelSet::GetLevel(int index) const {
    if (index < 0 || index >= GetLevelCount()) return nullptr;
    return levels_[index].get();
}

CLevel* CLevelSet::GetCurrentLevel() const { return GetLevel(current_); }

CLevel* CLevelSet::SetCurrentLevel(int index) {
    if (index >= GetLevelCount()) index = GetLevelCount() - 1;
    if (index < 0) index = 0;
    current_ = index;
    return GetCurrentLevel();
}

CLevel* CLevelSet::PreviousLevel() { return SetCurrentLevel(current_ - 1); }
CLevel* CLevelSet::NextLevel() { return SetCurrentLevel(current_ + 1); }

bool IsTutorialLevel(int set, int index) {
    if (set != 0) return false;
    for (int t : kTutorialLevels) {
        if (t == index) return true;
    }
    return false;
}

int GetStoryType(int set, int index) {
    const StoryEntry* table = nullptr;
    size_t count = 0;
    switch (set) {
    case 0: table = kRegularStory; count = sizeof kRegularStory / sizeof *kRegularStory; break;
    case 1: table = kAdvancedStory; count = sizeof kAdvancedStory / sizeof *kAdvancedStory; break;
    case 2: table = kKidsStory; count = sizeof kKidsStory / sizeof *kKidsStory; break;
    default: return -1;
    }
    for (size_t i = 0; i < count; ++i) {
        if (table[i].index == index) return table[i].page;
    }
    return -1;
}

bool IsLastLevelOfSet(int set, int index) {
    return (set == 0 && index == CLevelSet::kRegularCount - 1) || (set == 1 && index == CLevelSet::kAdvancedCount - 1) ||
           (set == 2 && index == CLevelSet::kKidsCount - 1);
}
