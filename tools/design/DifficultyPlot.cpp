#include "tools/design/DifficultyPlot.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "images/DrawKit.h"
#include "tools/design/ToolOutput.h"

using namespace DrawKit;

namespace {

constexpr double kLeft = 80;     // room for the steps axis
constexpr double kRight = 90;    // room for the positions axis
constexpr double kTop = 126;     // title, figures and legend (two rows)
constexpr double kBottom = 64;   // level labels
constexpr double kPlotHeight = 380;
constexpr double kColumnMin = 14;
constexpr double kColumnMax = 48;
constexpr double kPlotMinWidth = 720;

const Color kPaper = Hex(0xfbf6ea);
const Color kGrid = Hex(0xd9cfb8);
const Color kLevelColour = Hex(0xa0682d);
const Color kTutorialColour = Hex(0x5b8fc7);
const Color kUnsolvedColour = Hex(0xc0392b);
const Color kStoredColour = Hex(0x6c4a8f);
const Color kStatesColour = Hex(0x2e7d4f);

// A round step for an axis that must reach top.
int AxisStep(int top) {
    for (int step : {1, 2, 5, 10, 20, 25, 50, 100, 200, 500})
        if (top / step <= 8) return step;
    return 1000;
}

// One legend entry at (*x, *y), on the next row when it would pass right;
// moves *x to where the next one starts.
void Legend(cairo_t* cr, double* x, double* y, double right, const Color& c, const std::string& text, bool line) {
    const double w = 28 + TextWidth(cr, text, 14);
    if (*x + w > right) {
        *x = kLeft;
        *y += 22;
    }
    if (line) {
        Line(cr, *x, *y + 7, *x + 22, *y + 7, c, 2.5);
        OutlinedEllipse(cr, *x + 11, *y + 7, 3.5, 3.5, c, 0);
    } else {
        OutlinedRoundedRect(cr, *x + 4, *y, 14, 14, 2, c, 1);
    }
    Text(cr, text, *x + 28, *y, 14, kInk);
    *x += w + 22;
}

}  // namespace

bool DrawDifficultyPlot(const std::string& title, const std::vector<PlotLevel>& levels, const std::string& pngPath,
                        std::string* error) {
    const int n = static_cast<int>(levels.size());
    const double column = std::min(kColumnMax, std::max(kColumnMin, 900.0 / std::max(n, 1)));
    const double plotWidth = std::max(column * n, kPlotMinWidth);
    const int width = static_cast<int>(kLeft + plotWidth + kRight);
    const int height = static_cast<int>(kTop + kPlotHeight + kBottom);

    int maxSteps = 1;
    long maxStates = 10;
    int solved = 0;
    for (const PlotLevel& l : levels) {
        if (l.solved) {
            maxSteps = std::max(maxSteps, l.steps);
            ++solved;
        }
        maxStates = std::max(maxStates, l.states);
    }
    const int stepsTick = AxisStep(maxSteps);
    const int stepsTop = (maxSteps + stepsTick - 1) / stepsTick * stepsTick;
    const int decades = std::max(1, static_cast<int>(std::ceil(std::log10(static_cast<double>(maxStates)))));

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    SetColor(cr, kPaper);
    cairo_paint(cr);

    Text(cr, title, kLeft, 14, 22, kInk, FONT_SANS_BOLD);
    std::vector<int> lengths;
    for (const PlotLevel& l : levels)
        if (l.solved) lengths.push_back(l.steps);
    std::sort(lengths.begin(), lengths.end());
    std::string figures = std::to_string(n) + " levels, " + std::to_string(solved) + " solved";
    if (!lengths.empty())
        figures += "; solutions of " + std::to_string(lengths.front()) + " to " + std::to_string(lengths.back()) +
                   " steps, median " + std::to_string(lengths[lengths.size() / 2]);
    Text(cr, figures, kLeft, 44, 14, Darken(kGrid, 0.5));
    double lx = kLeft, ly = 70;
    Legend(cr, &lx, &ly, width - 16, kLevelColour, "steps (level)", false);
    Legend(cr, &lx, &ly, width - 16, kTutorialColour, "steps (tutorial)", false);
    Legend(cr, &lx, &ly, width - 16, kStoredColour, "steps (stored solution)", false);
    Legend(cr, &lx, &ly, width - 16, kUnsolvedColour, "no solution found", false);
    Legend(cr, &lx, &ly, width - 16, kStatesColour, "positions searched", true);

    const double x0 = kLeft;
    const double y0 = kTop + kPlotHeight;  // the axis line
    auto stepsY = [&](double v) { return y0 - v / stepsTop * kPlotHeight; };
    auto statesY = [&](double v) { return y0 - std::log10(std::max(1.0, v)) / decades * kPlotHeight; };

    // Grid and the steps axis on the left.
    for (int v = 0; v <= stepsTop; v += stepsTick) {
        Line(cr, x0, stepsY(v), x0 + plotWidth, stepsY(v), kGrid, 1);
        Text(cr, std::to_string(v), x0 - 8, stepsY(v) - 8, 13, kInk, FONT_SANS, ALIGN_RIGHT);
    }
    cairo_save(cr);
    cairo_translate(cr, 22, kTop + kPlotHeight / 2);
    cairo_rotate(cr, -M_PI / 2);
    Text(cr, "steps", 0, -8, 14, kInk, FONT_SANS_BOLD, ALIGN_CENTER);
    cairo_restore(cr);
    // The positions axis on the right, by powers of ten.
    for (int d = 0; d <= decades; ++d) {
        const double y = statesY(std::pow(10.0, d));
        Line(cr, x0 + plotWidth, y, x0 + plotWidth + 5, y, kStatesColour, 1.5);
        Text(cr, d == 0 ? "1" : "1e" + std::to_string(d), x0 + plotWidth + 9, y - 8, 13, kStatesColour);
    }
    cairo_save(cr);
    cairo_translate(cr, width - 18, kTop + kPlotHeight / 2);
    cairo_rotate(cr, M_PI / 2);
    Text(cr, "positions searched", 0, -8, 14, kStatesColour, FONT_SANS_BOLD, ALIGN_CENTER);
    cairo_restore(cr);

    // Columns.
    const int labelEvery = column >= 22 ? 1 : column >= 11 ? 2 : 5;
    for (int i = 0; i < n; ++i) {
        const PlotLevel& l = levels[static_cast<size_t>(i)];
        const double cx = x0 + column * i;
        if (l.solved) {
            const double top = stepsY(l.steps);
            OutlinedRoundedRect(cr, cx + column * 0.15, top, column * 0.7, y0 - top, 1.5,
                                l.tutorial ? kTutorialColour : l.stored ? kStoredColour : kLevelColour, 1);
        } else {
            const double m = std::min(column * 0.3, 7.0);
            const double mid = cx + column / 2;
            Line(cr, mid - m, y0 - 14 - m, mid + m, y0 - 14 + m, kUnsolvedColour, 2.5);
            Line(cr, mid - m, y0 - 14 + m, mid + m, y0 - 14 - m, kUnsolvedColour, 2.5);
        }
        if (i % labelEvery == 0 || l.tutorial) {
            cairo_save(cr);
            cairo_translate(cr, cx + column / 2, y0 + 6);
            cairo_rotate(cr, -M_PI / 2);
            Text(cr, l.label, -2, -7, 11, l.tutorial ? kTutorialColour : kInk, FONT_SANS, ALIGN_RIGHT);
            cairo_restore(cr);
        }
    }
    Line(cr, x0, y0, x0 + plotWidth, y0, kInk, 1.5);
    Line(cr, x0, kTop, x0, y0, kInk, 1.5);

    // The positions line over the columns.
    cairo_save(cr);
    cairo_new_path(cr);
    for (int i = 0; i < n; ++i) {
        const double x = x0 + column * i + column / 2;
        const double y = statesY(static_cast<double>(levels[static_cast<size_t>(i)].states));
        if (i == 0) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
    }
    SetColor(cr, WithAlpha(kStatesColour, 0.8));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_restore(cr);
    for (int i = 0; i < n; ++i) {
        const double x = x0 + column * i + column / 2;
        OutlinedEllipse(cr, x, statesY(static_cast<double>(levels[static_cast<size_t>(i)].states)), 2.8, 2.8,
                        kStatesColour, 0);
    }

    cairo_destroy(cr);
    const bool ok = WritePngOutput(surface, pngPath, error);
    cairo_surface_destroy(surface);
    return ok;
}
