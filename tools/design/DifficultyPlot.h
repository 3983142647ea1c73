// The difficulty of a level set drawn as a PNG: one column per level, in
// set order, its height the solution's length in steps, and over the
// columns a line of the positions the solver searched (a logarithmic scale on
// the right). Tutorials, levels measured by their stored solution (beyond
// the search) and levels without a solution are told apart by colour.
#pragma once

#include <string>
#include <vector>

struct PlotLevel {
    std::string label;  // below the column, e.g. "12" or "T3"
    bool tutorial = false;
    bool solved = false;
    bool stored = false;  // beyond the search's bounds: steps are the stored solution's
    int steps = 0;        // solution length (solved levels)
    long states = 0;    // positions searched
};

bool DrawDifficultyPlot(const std::string& title, const std::vector<PlotLevel>& levels, const std::string& pngPath,
                        std::string* error);
