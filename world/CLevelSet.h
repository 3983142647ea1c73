// The game's own levels: the level pack (kLevelPackFile) read at start-up into
// three level sets (0 regular, 1 advanced, 2 kids). A set holds its levels in
// pack order, a display label per level and a cursor on the current level.
#pragma once

#include <memory>
#include <string>
#include <vector>

class CLevel;

class CLevelSet {
public:
    static constexpr int kSetCount = 3;
    // The number of levels the game's pack gives each set.
    static constexpr int kRegularCount = 111;
    static constexpr int kAdvancedCount = 50;
    static constexpr int kKidsCount = 81;

    CLevelSet();
    ~CLevelSet();
    CLevelSet(const CLevelSet&) = delete;
    CLevelSet& operator=(const CLevelSet&) = delete;

    // Start-up: creates the three sets and fills them from kLevelPackFile in
    // the working folder. A missing or damaged pack ends the program.
    static void LoadAll();
    // The same from any pack file, without ending the program: false (with
    // the reason in *error) when the pack is missing or damaged, and then the
    // sets are left empty.
    static bool LoadPack(const std::string& path, std::string* error);
    // Files one level into its set by the prefix of its name ("reg", "adv",
    // "kid"); takes ownership. A level of another prefix is logged and
    // deleted; false then.
    static bool loadLevel(const std::string& name, CLevel* level);
    static void BuildLevelLabels();
    // Shut-down: empties the sets (the set objects remain).
    static void FreeAll();
    // The set, or null for a number outside 0..2.
    static CLevelSet* GetSet(int set);
    // The label of a level ("" when there is no such level).
    static std::string GetLevelLabel(int set, int index);
    // The string-table texts that name a level as the game shows it over
    // its score board, with its label for "%1" ("Regular level %1"), one per
    // set in set order.
    static constexpr int kLevelTitleTexts = 3204;
    // Start-up hands in the progress bar's step (the bar advances by 100 for
    // every level); none by default.
    static void SetProgressStep(void (*step)(int));

    // The current level, or null when the set is empty.
    CLevel* GetCurrentLevel() const;
    // Makes index current (clamped into the set) and returns that level.
    CLevel* SetCurrentLevel(int index);
    CLevel* PreviousLevel();
    CLevel* NextLevel();
    CLevel* GetLevel(int index) const;
    int GetLevelCount() const { return static_cast<int>(levels_.size()); }
    int GetCurrentIndex() const { return current_; }

private:
    std::vector<std::unique_ptr<CLevel>> levels_;
    std::vector<std::string> labels_;
    int current_ = 0;
};

// Per (set, level index): a tutorial level of the regular set?
bool IsTutorialLevel(int set, int index);
// The story page shown before a level, -1 for none.
int GetStoryType(int set, int index);
bool IsLastLevelOfSet(int set, int index);
