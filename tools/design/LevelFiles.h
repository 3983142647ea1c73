// Levels as the level-design tools take and give them: a ".lvl" level file,
// a level source ".txt" (tools/levels/CLevelSource), or a slot of the game's
// level pack named "reg:N", "adv:N" or "kid:N"; and the solution written back
// into a source's "solution:" section or into a level file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "world/CLevel.h"

// A tool's LEVEL: a slot of the game's level pack ("reg:N", "adv:N" or
// "kid:N", N from 0), or a level file or level source, read at once (before
// the headless world moves into the run folder).
struct LevelArgument {
    std::string text;
    int set = -1;  // the slot's set (0, 1, 2); -1 for a file
    int index = -1;
    std::unique_ptr<CLevel> file;
};
// False with the reason, the same in every tool: a slot with a bad number,
// or a file that cannot be read.
bool ReadLevelArgument(const std::string& text, LevelArgument* out, std::string* error);
// The level, once the headless world has loaded the pack; null with the
// reason for a slot past the end of its set.
CLevel* ArgumentLevel(const LevelArgument& argument, std::string* error);

// A slot of the pack by the tools' name: "reg:7" (level 7 of the regular
// set, from 0).
std::string PackSlotName(int set, int index);
// The game's name of it ("Regular level T4"), as its string table gives it;
// "" for no such level.
std::string GameLevelName(int set, int index);
// A level's name with the game's beside it, where a tool has the room:
// "reg:7 (Regular level T4)"; a file's name (no game's name) alone.
std::string LevelLabel(const std::string& name, const std::string& gameName);

// True for a path ending in ".txt" (a level source).
bool IsLevelSourcePath(const std::string& path);
// Reads a level file or a level source into *level; false with the reason
// (a missing file told from a damaged one).
bool ReadLevelFile(const std::string& path, CLevel* level, std::string* error);

// The source text with its solution section (and the tool's comment line
// before it) replaced by these records, or with one added at the end.
std::string SourceWithSolution(const std::string& text, const std::vector<ReplayKey>& records,
                               const std::string& comment);
// Writes the records into the source file at path; false with the reason,
// writing nothing, also for a source larger than the builder reads
// (CLevelSource::kMaxBytes).
bool WriteSourceSolution(const std::string& path, const std::vector<ReplayKey>& records, const std::string& comment,
                         std::string* error);
// Writes the level, with these records as its solution, as a level file;
// false with the reason, writing nothing, also for a file larger than the
// game opens (CLevel::kFileBytesMax).
bool WriteLevelWithSolution(const CLevel& level, const std::vector<ReplayKey>& records, const std::string& path,
                            std::string* error);

// A level of a set as the tools go through it.
struct SetLevel {
    std::string name;      // the tools' name: "reg:7", or the file name
    std::string gameName;  // the game's name of a level of the pack: "Regular level T4"
    // The name with the game's beside it, where a tool has the room.
    std::string Label() const { return LevelLabel(name, gameName); }
    bool tutorial = false;
    CLevel* level = nullptr;
    std::unique_ptr<CLevel> owned;  // a level read from a folder
};
// The levels from..to (from 0) of a set: "reg", "adv" or "kid" from the
// loaded level pack, or every level source and level file of a folder in
// name order. False with the reason for an unknown set, an unreadable file,
// or when there is no level from..to to give (never true with nothing).
bool CollectLevelSet(const std::string& set, int from, int to, std::vector<SetLevel>* out, std::string* error);
// "the regular set", or "the levels in <folder>".
std::string LevelSetTitle(const std::string& set);
