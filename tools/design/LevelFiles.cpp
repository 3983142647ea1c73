#include "tools/design/LevelFiles.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "engine/FontRender.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "tools/design/ToolLog.h"
#include "tools/design/ToolOutput.h"
#include "tools/levels/CLevelSource.h"
#include "world/CLevelSet.h"
#include "world/SolutionKeys.h"

namespace {

const char* const kSlotPrefixes[CLevelSet::kSetCount] = {"reg:", "adv:", "kid:"};

bool StartsWith(const std::string& s, const char* prefix) { return s.compare(0, strlen(prefix), prefix) == 0; }

// The first line of a source's solution section ("solution:" alone).
bool IsSolutionHeader(const std::string& line) {
    const std::string t = TrimBlanks(line);
    if (!StartsWith(t, "solution")) return false;
    return TrimBlanks(t.substr(8)) == ":";
}

}  // namespace

bool ReadLevelArgument(const std::string& text, LevelArgument* out, std::string* error) {
    out->text = text;
    out->set = out->index = -1;
    out->file.reset();
    for (int s = 0; s < CLevelSet::kSetCount; ++s) {
        if (!StartsWith(text, kSlotPrefixes[s])) continue;
        long v = 0;
        if (!ReadNumber(text.substr(4), 0L, 9999L, &v)) {
            *error = "bad level number in " + text + " (levels count from 0)";
            return false;
        }
        out->set = s;
        out->index = static_cast<int>(v);
        return true;
    }
    out->file.reset(new CLevel());
    return ReadLevelFile(text, out->file.get(), error);
}

CLevel* ArgumentLevel(const LevelArgument& argument, std::string* error) {
    if (argument.set < 0) return argument.file.get();
    CLevelSet* levels = CLevelSet::GetSet(argument.set);
    if (levels && argument.index < levels->GetLevelCount()) return levels->GetLevel(argument.index);
    *error = "no level " + argument.text + " in the level pack";
    return nullptr;
}

std::string PackSlotName(int set, int index) { return kSlotPrefixes[set] + std::to_string(index); }

std::string GameLevelName(int set, int index) {
    const std::string label = CLevelSet::GetLevelLabel(set, index);
    const int text = CLevelSet::kLevelTitleTexts + set;
    if (label.empty() || !FontHasEntry(text)) return std::string();
    std::string name = FontGetEntry(text).text.Utf8();
    const size_t at = name.find("%1");
    if (at != std::string::npos) name.replace(at, 2, label);
    return name;
}

std::string LevelLabel(const std::string& name, const std::string& gameName) {
    return gameName.empty() ? name : name + " (" + gameName + ")";
}

bool IsLevelSourcePath(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".txt") == 0;
}

bool ReadLevelFile(const std::string& path, CLevel* level, std::string* error) {
    if (!PlatformFileExists(path)) {
        *error = "there is no level file " + path;
        return false;
    }
    if (PlatformIsDirectory(path)) {
        *error = path + " is a folder, not a level file";
        return false;
    }
    if (IsLevelSourcePath(path)) return CLevelSource::ParseFile(path, level, error);
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && st.st_size > CLevel::kFileBytesMax) {
        *error = path + " is larger than any level file can be (over " + std::to_string(CLevel::kFileBytesMax) +
                 " bytes)";
        return false;
    }
    std::string name = path;
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".lvl") == 0) name.resize(name.size() - 4);
    // The game's own lines on the file are the reason.
    HoldToolLog();
    const bool read = level->LoadFile(path, name.c_str());
    const std::string said = ReleaseToolLog(read);
    if (read) return true;
    *error = "the level file " + path + " cannot be read: it is damaged or no level of this game" +
             (said.empty() ? std::string() : " (" + said + ")");
    return false;
}

std::string SourceWithSolution(const std::string& text, const std::vector<ReplayKey>& records,
                               const std::string& comment) {
    std::vector<std::string> lines;
    {
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) lines.push_back(line);
    }
    // The solution section runs to the end of the source.
    size_t end = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (IsSolutionHeader(lines[i])) {
            end = i;
            break;
        }
    }
    while (end > 0 && StartsWith(TrimBlanks(lines[end - 1]), "# zorv_solve")) --end;
    while (end > 0 && TrimBlanks(lines[end - 1]).empty()) --end;
    std::string out;
    for (size_t i = 0; i < end; ++i) out += lines[i] + "\n";
    if (!comment.empty()) out += "# zorv_solve: " + comment + "\n";
    out += "solution:\n";
    for (const ReplayKey& k : records)
        out += std::to_string(k.frame) + " " + SolutionKeyName(k.key) + (k.released ? " up\n" : " down\n");
    return out;
}

bool WriteSourceSolution(const std::string& path, const std::vector<ReplayKey>& records, const std::string& comment,
                         std::string* error) {
    std::string text;
    if (!CLevelSource::ReadFile(path, &text, error)) return false;
    const std::string updated = SourceWithSolution(text, records, comment);
    // The written source must read back as the same level with this solution.
    if (static_cast<long>(updated.size()) > CLevelSource::kMaxBytes) {
        *error = "the source with this solution would have " + std::to_string(updated.size()) +
                 " bytes, more than a level source may have (" + std::to_string(CLevelSource::kMaxBytes) +
                 "): nothing is written";
        return false;
    }
    CLevel check;
    std::string parseError;
    if (!CLevelSource::Parse(updated, &check, &parseError) || check.GetSolution() != records) {
        *error = "the source with its solution does not read back (" + parseError + ")";
        return false;
    }
    return WriteOutput(
        path, [&updated](FILE* f) { return fwrite(updated.data(), 1, updated.size(), f) == updated.size(); }, error);
}

bool WriteLevelWithSolution(const CLevel& level, const std::vector<ReplayKey>& records, const std::string& path,
                            std::string* error) {
    CLevel copy = level;
    copy.ClearSolution();
    for (const ReplayKey& k : records) copy.AddReplayKey(k.frame, k.key, k.released);
    if (!records.empty()) copy.SetSolutionRecorded();
    if (copy.FileBytes() > CLevel::kFileBytesMax) {
        *error = "the level with this solution would have " + std::to_string(copy.FileBytes()) +
                 " bytes, more than the game opens in a level file (" + std::to_string(CLevel::kFileBytesMax) +
                 "): nothing is written";
        return false;
    }
    const uint32_t id = CLevel::MakeLevelId(kLevelKindCustom, static_cast<uint32_t>(rand()));
    return WriteOutput(path, [&copy, id](FILE* f) { return copy.WriteBody(f, id); }, error);
}

bool CollectLevelSet(const std::string& set, int from, int to, std::vector<SetLevel>* out, std::string* error) {
    // A tool given no level to work on has nothing to answer.
    if (from > to) {
        *error = "--from " + std::to_string(from) + " comes after --to " + std::to_string(to);
        return false;
    }
    auto pastTheEnd = [&](int count) {
        if (count == 0) {
            *error = "there are no levels in " + set + " (level sources .txt or level files .lvl)";
        } else {
            *error = "--from " + std::to_string(from) + " is past the end of " + LevelSetTitle(set) + " (" +
                     std::to_string(count) + " levels, numbered from 0)";
        }
        return false;
    };
    for (int s = 0; s < CLevelSet::kSetCount; ++s) {
        if (set + ":" != kSlotPrefixes[s]) continue;
        CLevelSet* levels = CLevelSet::GetSet(s);
        const int count = levels ? levels->GetLevelCount() : 0;
        if (from >= count) return pastTheEnd(count);
        for (int i = from; i < count && i <= to; ++i) {
            SetLevel l;
            l.name = PackSlotName(s, i);
            l.gameName = GameLevelName(s, i);
            l.tutorial = IsTutorialLevel(s, i);
            l.level = levels->GetLevel(i);
            out->push_back(std::move(l));
        }
        return true;
    }
    if (!PlatformIsDirectory(set)) {
        *error = "no level set " + set + " (reg, adv, kid or a folder)";
        return false;
    }
    std::vector<std::string> names;
    for (const char* extension : {".txt", ".lvl"}) {
        std::vector<std::string> found;
        GetFiles(found, (set + "/").c_str(), extension, true);
        for (const std::string& f : found) names.push_back(f + extension);
    }
    if (from >= static_cast<int>(names.size())) return pastTheEnd(static_cast<int>(names.size()));
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        if (i < from || i > to) continue;
        SetLevel l;
        l.name = names[static_cast<size_t>(i)];
        l.owned.reset(new CLevel());
        if (!ReadLevelFile(set + "/" + l.name, l.owned.get(), error)) return false;
        l.level = l.owned.get();
        out->push_back(std::move(l));
    }
    return true;
}

std::string LevelSetTitle(const std::string& set) {
    if (set == "reg") return "the regular set";
    if (set == "adv") return "the advanced set";
    if (set == "kid") return "the kids set";
    return "the levels in " + set.substr(set.rfind('/') + 1);
}
