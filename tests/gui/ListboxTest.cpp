// The list box: paging and stepping by keys, selecting and confirming by
// mouse, deleting rows, the empty list, and the page picture it paints.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/ResourceFiles.h"
#include "gui/CGuiListbox.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

constexpr int kX = 100, kY = 50;
constexpr int kRowsTop = 5, kRowHeight = 20, kSelectionX = 2;
constexpr int kId = 20;

void RegisterColour(const char* name, int w, int h, Uint8 r, Uint8 g, Uint8 b) {
    if (CDraw::FindImage(name) >= 0) return;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000);
    SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, r, g, b, 255));
    CDraw::LoadSurface(s, name);
}

class ListboxTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        OpenDisplay();
        FontInit("./", kStringTableFile);
        RegisterColour("lb_page.png", 300, 100, 255, 255, 255);
        RegisterColour("lb_selector.png", 290, kRowHeight, 0, 0, 255);
    }
    static void TearDownTestSuite() { FontQuit(); }
    // A page of four rows of 20 pixels; rows carry the ids 100 + index.
    std::unique_ptr<CGuiListbox> Make(int rows, int pageSize = 4) {
        std::unique_ptr<CGuiListbox> lb(new CGuiListbox(kX, kY, kId, &owner, 280, pageSize * kRowHeight, pageSize,
                                                        kRowHeight, "lb_page.png", "lb_selector.png", kSelectionX,
                                                        kRowsTop, 3, 5));
        lb->AddColumn(150);
        lb->AddColumn(130);
        for (int i = 0; i < rows; ++i) lb->AddRow(100 + i, {"row " + std::to_string(i), "x"});
        return lb;
    }
    // A press of the left button over page row r (the pointer stays there).
    static void PressOnRow(int r) {
        PointAt(kX + 50, kY + kRowsTop + kRowHeight * r + 3);
        CGuiButtonBase::UpdateAll();
        CGuiButtonBase::OnLeftButton(false, true);
        CGuiButtonBase::OnLeftButton(true, true);
    }
    int LastReport() const { return owner.reports.empty() ? -1 : owner.reports.back(); }
    // index * 100 + value * 10 + dclick, as the recording owner keeps it.
    static int Report(int rowId, bool dclick) { return kId * 100 + rowId * 10 + (dclick ? 1 : 0); }

    RecordingOwner owner;
};

TEST_F(ListboxTest, PagingAndSteppingKeepTheSelectionOnThePage) {
    auto lb = Make(10);
    lb->MoveSelectionDown(true, false);
    EXPECT_EQ(lb->GetSelectedIndex(), 4);
    EXPECT_EQ(lb->GetTopRow(), 4);
    EXPECT_EQ(LastReport(), Report(104, false));
    lb->MoveSelectionDown(true, false);
    EXPECT_EQ(lb->GetSelectedIndex(), 8);
    EXPECT_EQ(lb->GetTopRow(), 6);
    EXPECT_EQ(lb->GetSelectedOnPage(), 2);
    lb->MoveSelectionDown(true, false);
    EXPECT_EQ(lb->GetSelectedIndex(), 9);
    EXPECT_EQ(lb->GetTopRow(), 6);

    lb->MoveSelectionUp(false, true);
    EXPECT_EQ(lb->GetSelectedIndex(), 0);
    EXPECT_EQ(lb->GetTopRow(), 0);
    for (int i = 0; i < 3; ++i) lb->MoveSelectionDown(false, false);
    EXPECT_EQ(lb->GetTopRow(), 0);
    lb->MoveSelectionDown(false, false);  // row 4 leaves the page: rows 1..4
    EXPECT_EQ(lb->GetSelectedIndex(), 4);
    EXPECT_EQ(lb->GetTopRow(), 1);
    EXPECT_EQ(lb->GetSelectedOnPage(), 3);
    lb->MoveSelectionUp(false, false);
    lb->MoveSelectionUp(false, false);
    lb->MoveSelectionUp(false, false);  // row 1 is the top
    lb->MoveSelectionUp(false, false);  // row 0 scrolls in
    EXPECT_EQ(lb->GetTopRow(), 0);
    const size_t before = owner.reports.size();
    lb->MoveSelectionUp(false, false);  // at the first row: reported again
    EXPECT_EQ(owner.reports.size(), before + 1);
    EXPECT_EQ(LastReport(), Report(100, false));

    lb->MoveSelectionDown(false, true);
    EXPECT_EQ(lb->GetSelectedIndex(), 9);
    EXPECT_EQ(lb->GetTopRow(), 6);
    lb->MoveSelectionUp(true, false);
    EXPECT_EQ(lb->GetSelectedIndex(), 5);
    EXPECT_EQ(lb->GetTopRow(), 2);

    lb->SelectRowById(108);  // the 9th of 10 rows: rows 6..9
    EXPECT_EQ(lb->GetTopRow(), 6);
    EXPECT_EQ(lb->GetSelectedRowId(), 108);
    EXPECT_EQ(LastReport(), Report(108, false));
    lb->SelectRowById(102);  // room below: the row goes to the top
    EXPECT_EQ(lb->GetTopRow(), 2);
    const size_t reports = owner.reports.size();
    lb->SelectRowById(555);  // no such row
    lb->SelectRowByIndex(10);
    EXPECT_EQ(owner.reports.size(), reports);
    EXPECT_EQ(lb->GetSelectedRowId(), 102);
}

TEST_F(ListboxTest, FirstPressSelectsAndASecondOneWithinFifteenFramesConfirms) {
    auto lb = Make(10);
    lb->MoveSelectionDown(true, false);  // rows 4..7 on the page
    owner.reports.clear();
    PressOnRow(1);
    EXPECT_EQ(lb->GetSelectedIndex(), 5);
    ASSERT_EQ(owner.reports.size(), 1u);
    EXPECT_EQ(LastReport(), Report(105, false));
    // A press on another row in time confirms the first one.
    PressOnRow(3);
    ASSERT_EQ(owner.reports.size(), 2u);
    EXPECT_EQ(LastReport(), Report(105, true));
    EXPECT_EQ(lb->GetSelectedIndex(), 5);
    EXPECT_EQ(lb->GetClickCooldown(), 0);

    // After 15 frames a press is a first press again.
    PressOnRow(2);
    EXPECT_EQ(LastReport(), Report(106, false));
    for (int i = 0; i < CGuiListbox::kDoubleClickFrames; ++i) CGuiButtonBase::UpdateAll();
    PressOnRow(0);
    EXPECT_EQ(LastReport(), Report(104, false));

    // A press beside the list reaches nothing.
    const size_t count = owner.reports.size();
    for (int i = 0; i < CGuiListbox::kDoubleClickFrames; ++i) CGuiButtonBase::UpdateAll();
    PointAt(kX + kSelectionX - 1, kY + kRowsTop + 3);
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(false, true);
    CGuiButtonBase::OnLeftButton(true, true);
    EXPECT_EQ(owner.reports.size(), count);

    // Confirming by key goes through the owner's call.
    lb->ActivateSelected(false);  // no button held, not a key: nothing
    EXPECT_EQ(owner.reports.size(), count);
    lb->ActivateSelected(true);
    EXPECT_EQ(LastReport(), Report(104, true));
}

TEST_F(ListboxTest, PressBelowTheLastRowSelectsNothing) {
    auto lb = Make(2);
    PressOnRow(3);
    EXPECT_TRUE(owner.reports.empty());
    EXPECT_EQ(lb->GetSelectedIndex(), 0);
}

TEST_F(ListboxTest, EmptyListReportsNothingAndShowsItsMessage) {
    auto lb = Make(0);
    EXPECT_EQ(lb->GetSelectedRowId(), 0);
    EXPECT_EQ(lb->GetSelectedIndex(), 0);
    lb->MoveSelectionDown(false, false);
    lb->MoveSelectionUp(true, false);
    lb->SelectRowByIndex(0);
    lb->ActivateSelected(true);
    PressOnRow(0);
    PressOnRow(0);
    EXPECT_TRUE(owner.reports.empty());
    CGuiButtonBase::UpdateAll();
    ASSERT_NE(lb->GetContentSprite(), nullptr);
    // The empty-list text is painted in the middle of the first column.
    SDL_Surface* page = CDraw::GetSurface(lb->GetContentSprite()->GetFrameImage(0));
    ASSERT_NE(page, nullptr);
    int inked = 0;
    const Uint32 white = SDL_MapRGB(page->format, 255, 255, 255);
    for (int y = 0; y < page->h; ++y)
        for (int x = 0; x < 150; ++x)
            if (CDraw::GetPixel(page, x, y) != white) ++inked;
    EXPECT_GT(inked, 20);
}

TEST_F(ListboxTest, DeletingRowsKeepsSelectionAndPageInsideTheRows) {
    auto lb = Make(6);
    lb->MoveSelectionDown(false, true);  // row 5, rows 2..5 shown
    lb->DeleteRow(5);                     // the selected last row
    EXPECT_EQ(lb->GetRowCount(), 5);
    EXPECT_EQ(lb->GetSelectedIndex(), 4);
    EXPECT_EQ(lb->GetSelectedRowId(), 104);
    EXPECT_EQ(lb->GetTopRow(), 1);
    EXPECT_EQ(lb->GetSelectedOnPage(), 3);
    lb->SelectRowById(103);
    lb->DeleteRowById(101);  // a row above: the selection stays on its row
    EXPECT_EQ(lb->GetSelectedRowId(), 103);
    EXPECT_EQ(lb->GetSelectedIndex(), 2);
    EXPECT_EQ(lb->GetTopRow(), 0);
    EXPECT_EQ(lb->GetSelectedOnPage(), 2);
    lb->DeleteRowById(103);  // the selected row: the next one takes it
    EXPECT_EQ(lb->GetSelectedRowId(), 104);
    lb->DeleteRowById(999);  // nothing
    EXPECT_EQ(lb->GetRowCount(), 3);
    for (int id : {100, 102, 104}) lb->DeleteRowById(id);
    EXPECT_EQ(lb->GetRowCount(), 0);
    EXPECT_EQ(lb->GetSelectedRowId(), 0);
    CGuiButtonBase::UpdateAll();
    const int paints = lb->GetPaintCount();
    // Rows added to the emptied list are shown with the first one selected.
    lb->AddRow(7, {"again"});
    EXPECT_EQ(lb->GetSelectedRowId(), 7);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(lb->GetPaintCount(), paints + 1);
}

TEST_F(ListboxTest, ColumnsAreFixedOnceRowsExistAndTextsAreCopies) {
    auto lb = Make(0);
    {
        std::string title = "Temporary";
        lb->AddRow(1, {title});  // one cell short: the second is empty
        title = "changed";
    }
    EXPECT_FALSE(lb->AddColumn(40));
    EXPECT_EQ(lb->GetColumnCount(), 2);
    EXPECT_EQ(lb->GetCell(0, 0), "Temporary");
    EXPECT_EQ(lb->GetCell(0, 1), "");
    EXPECT_EQ(lb->FindRowByText("Temporary"), 0);
    lb->Clear();
    EXPECT_EQ(lb->GetRowCount(), 0);
    EXPECT_EQ(lb->GetColumnCount(), 2);
}

TEST_F(ListboxTest, PageIsPaintedOncePerChangeWithTheSelectionUnderItsRow) {
    auto lb = Make(10);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(lb->GetPaintCount(), 1);
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(lb->GetPaintCount(), 1);  // nothing changed
    lb->MoveSelectionDown(false, false);
    lb->MoveSelectionDown(false, false);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(lb->GetPaintCount(), 2);

    CSprite* content = lb->GetContentSprite();
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->GetType(), LAYER_CL3);
    EXPECT_EQ(content->GetX(false), kX);
    EXPECT_EQ(content->GetY(false), kY);
    EXPECT_FALSE(content->IsHidden());
    SDL_Surface* page = CDraw::GetSurface(content->GetFrameImage(0));
    ASSERT_NE(page, nullptr);
    const Uint32 blue = SDL_MapRGB(page->format, 0, 0, 255);
    // Row 2 is selected: the selector lies under it, and only there.
    EXPECT_EQ(CDraw::GetPixel(page, kSelectionX + 280, kRowsTop + 2 * kRowHeight + 1), blue);
    EXPECT_NE(CDraw::GetPixel(page, kSelectionX + 280, kRowsTop + 1 * kRowHeight + 1), blue);
    EXPECT_NE(CDraw::GetPixel(page, kSelectionX + 280, kRowsTop + 3 * kRowHeight + 1), blue);
    // Each row's text is painted in its own row.
    for (int r = 0; r < 4; ++r) {
        int inked = 0;
        for (int y = kRowsTop + r * kRowHeight; y < kRowsTop + (r + 1) * kRowHeight; ++y)
            for (int x = 0; x < 100; ++x) {
                const Uint32 p = CDraw::GetPixel(page, x, y);
                if (p != blue && p != SDL_MapRGB(page->format, 255, 255, 255)) ++inked;
            }
        EXPECT_GT(inked, 10) << "row " << r;
    }

    lb->Hide();
    EXPECT_TRUE(content->IsHidden());
    EXPECT_FALSE(lb->IsMouseOver());
    lb->MoveSelectionDown(false, false);
    CGuiButtonBase::UpdateAll();  // hidden: no paint
    EXPECT_EQ(lb->GetPaintCount(), 2);
    lb->Show();
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(lb->GetPaintCount(), 3);
    EXPECT_FALSE(lb->GetContentSprite()->IsHidden());
}

}  // namespace
