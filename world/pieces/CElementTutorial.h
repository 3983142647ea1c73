// Tutorial signs: a question mark at a cell whose text bubble opens while the
// hero stands there.
//
// Not built yet: there are no signs.
#pragma once

class CElementTutorial {
public:
    static void HandleTutorial(int x, int y);
};

// Empties the class-wide grid of signs at world reset.
void ResetTutorialGrid();
