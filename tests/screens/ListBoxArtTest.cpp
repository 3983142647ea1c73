// The pictures of the three list boxes (level manager, profiles, the
// editor's load dialog), read from the built resource files: each background
// is ruled where its screen's rows meet, and each selector is one row high.
#include <SDL.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "editor/CControllerEditorLoad.h"
#include "engine/CDraw.h"
#include "gui/CGuiListbox.h"
#include "screens/CControllerManager.h"
#include "screens/CControllerProfiles.h"
#include "tests/screens/ScreenTest.h"

namespace {

using ListBoxArtTest = ScreenTest;

// Mean brightness of pixel row y across the middle of the picture (its
// frame and the ends of the rulings left out).
double RowBrightness(SDL_Surface* s, int y) {
    double sum = 0;
    int n = 0;
    for (int x = s->w / 8; x < s->w * 7 / 8; ++x, ++n) {
        Uint8 r = 0, g = 0, b = 0;
        SDL_GetRGB(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b);
        sum += (r + g + b) / 3.0;
    }
    return n ? sum / n : 0;
}

// The pixel rows from..to-1 that carry a ruling: darker than the rows two
// away on both sides by more than a gradient or JPEG noise makes, and no
// lighter than their direct neighbours.
std::vector<int> RuledRows(SDL_Surface* s, int from, int to) {
    std::vector<int> ruled;
    for (int y = std::max(2, from); y < std::min(s->h - 2, to); ++y) {
        const double v = RowBrightness(s, y);
        const bool darkest = v <= RowBrightness(s, y - 1) && v <= RowBrightness(s, y + 1);
        const bool marked = RowBrightness(s, y - 2) - v > 6 && RowBrightness(s, y + 2) - v > 6;
        if (darkest && marked) ruled.push_back(y);
    }
    return ruled;
}

// The list's rows as its screen lays them out against its pictures.
void ExpectRuledAtItsRows(const CGuiListbox* list) {
    ASSERT_NE(list, nullptr);
    const int top = list->GetRowsTop(), rowH = list->GetRowHeight(), rows = list->GetPageSize();
    const int pageId = CDraw::GetImage(list->GetBackgroundImage().c_str());
    const int selectorId = CDraw::GetImage(list->GetSelectionImage().c_str());
    SDL_Surface* page = CDraw::GetSurface(pageId);
    SDL_Surface* selector = CDraw::GetSurface(selectorId);
    ASSERT_NE(page, nullptr) << list->GetBackgroundImage();
    ASSERT_NE(selector, nullptr) << list->GetSelectionImage();

    EXPECT_EQ(selector->h, rowH) << list->GetSelectionImage();
    EXPECT_GE(page->h, top + rows * rowH) << "the page holds every row";
    // A ruling sits on the first pixel row of a row or the last of the one
    // above; every two neighbouring rows are parted by one.
    const std::vector<int> ruled = RuledRows(page, top + 1, top + rows * rowH);
    auto isRuled = [&ruled](int y) { return std::find(ruled.begin(), ruled.end(), y) != ruled.end(); };
    std::vector<int> offTheEdges, unparted;
    for (int y : ruled)
        if ((y - top) % rowH != 0 && (y + 1 - top) % rowH != 0) offTheEdges.push_back(y);
    for (int k = 1; k < rows; ++k)
        if (!isRuled(top + k * rowH) && !isRuled(top + k * rowH - 1)) unparted.push_back(k);
    EXPECT_EQ(offTheEdges, std::vector<int>()) << "rulings (pixel rows) off the edges of rows " << rowH << " high from y "
                                               << top << " in " << list->GetBackgroundImage();
    EXPECT_EQ(unparted, std::vector<int>()) << "rows not parted from the row above";
    CDraw::ReleaseImage(selectorId);
    CDraw::ReleaseImage(pageId);
}

TEST_F(ListBoxArtTest, EveryListIsRuledWhereItsRowsMeetAndItsSelectorIsOneRowHigh) {
    {
        SCOPED_TRACE("level manager");
        auto manager = std::make_unique<CControllerManager>();
        // The four orders share their pictures and rows.
        ExpectRuledAtItsRows(manager->GetList(CControllerManager::SORT_TITLE_UP));
    }
    {
        SCOPED_TRACE("profiles");
        auto profiles = std::make_unique<CControllerProfiles>();
        ExpectRuledAtItsRows(profiles->GetList());
    }
    {
        SCOPED_TRACE("editor load");
        auto load = std::make_unique<CControllerEditorLoad>();
        ExpectRuledAtItsRows(load->GetList());
    }
}

}  // namespace
