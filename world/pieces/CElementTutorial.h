// Tutorial signs: a rotating question mark that bobs at a cell. While the hero
// stands on that cell a text bubble fades in on the far side of the screen
// and the question mark fades out; when he leaves, the bubble fades away and
// the question mark comes back. Only one sign is active at a time.
//
// A sign's text is either free text (drawn as typed in the style of string
// 300, set a point smaller at a time while it is too long for its bubble, as
// the editor's box sets it, and never with a line cut) or a directive
// "#zqdefine N-c-M#" naming string-table entries: N the body, c the style (k
// kids parchment, l large bubble, anything else small), M the kids bubble's
// heading (0 for none). A sign whose text is missing, names an entry
// the string table lacks, or is a directive that cannot be read shows the
// question mark but no bubble.
//
// Signs are not in the element grid (they neither block nor hold anything);
// a class-wide grid of their own records them by cell.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "engine/COscillator.h"
#include "world/CElement.h"

class CSprite;

class CElementTutorial : public CElement {
public:
    enum Style { STYLE_SMALL = 0, STYLE_LARGE = 1, STYLE_KIDS = 2 };

    // What a sign's text asks for.
    struct Text {
        bool shown = false;       // false: no bubble at all
        bool directive = false;   // names string-table entries
        int body = 0;             // the directive's body entry (N)
        int heading = 0;          // the kids heading entry (M), 0 for none
        int style = STYLE_SMALL;
    };
    // Reads a sign's text; a free text longer than 100 characters takes the
    // large bubble.
    static Text ReadText(const char* text);

    CElementTutorial(int x, int y, const char* text);
    ~CElementTutorial() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    void PrintSprites() override;

    // The hero stands at (x, y): the sign there (if any) becomes the active
    // one and the one active before turns inactive. Ignored outside the grid.
    static void HandleTutorial(int x, int y);
    static CElementTutorial* GetTutorialAt(int x, int y);
    static CElementTutorial* GetActiveTutorial() { return activeSign; }
    static void DescribeStatics(CWorldDigest* digest);
    static bool IsTutorialPresent() { return tutorialPresent != 0; }
    // The rotation frame and bobbing phase the next sign starts at (it runs
    // on from level to level).
    static int GetPhaseCounter() { return phaseCounter; }

    bool IsActive() const { return active != 0; }
    const Text& GetText() const { return text; }
    // The bubble; null for a sign that shows none.
    CSprite* GetBubbleSprite() const { return bubble; }
    // The question mark shown now (normal or one of its three faded looks).
    CSprite* GetIconSprite() const { return sprite; }
    // 0 normal .. 3 most faded.
    int GetIconFade() const;
    // The bubble's picture with the text on it, before its fades; empty
    // without a bubble.
    const std::string& GetBubbleImageName() const { return bubbleName; }
    // Where the small or large bubble's picture holds its text; empty for
    // the kids parchment and without a bubble.
    const SDL_Rect& GetTextArea() const { return textArea; }

private:
    friend void ResetTutorialGrid();

    void BuildBubble(const char* levelText);
    void ReleaseBubbleImages();

    CSprite* icons[4] = {};  // normal, faded 1, faded 2, faded 3
    CSprite* bubble = nullptr;
    uint8_t active = 0;
    int32_t iconCountdown = 0;
    COscillator bobbing;
    Text text;
    std::string bubbleName;  // "tutorial_cc_rr.png"; empty without a bubble
    SDL_Rect textArea = {0, 0, 0, 0};
#define SIGN_UNDO_FIELDS(F) F(active, kUndo) F(iconCountdown, kUndo)
    struct Record {
        UNDO_RECORD_FIELDS(CElementTutorial, SIGN_UNDO_FIELDS)
    };
    Record records[kUndoSlots];

    static CElementTutorial* tutorialGrid[kGridCells];
    static uint8_t tutorialPresent;
    static CElementTutorial* activeSign;
    static int32_t phaseCounter;
};

// Empties the class-wide grid of signs at world reset.
void ResetTutorialGrid();
