// A table of text rows in fixed columns with one selected row, a page of
// visible rows and scrolling by keys. The visible page is painted into one
// private picture, rebuilt only when the rows, the page or the selection
// change, and shown as one sprite. A press selects the row under the
// pointer; a second press within 15 frames confirms it (a double click).
// Rows keep the order they were added in; the list box never sorts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/FontRender.h"
#include "gui/CGuiButtonBase.h"
#include "gui/CListKeys.h"

class CController;
class CSprite;

class CGuiListbox : public CGuiButtonBase, public CKeyList {
public:
    static constexpr int kDoubleClickFrames = 15;
    static constexpr int kCellTextId = 501;
    static constexpr int kEmptyTextId = 502;

    // Inside a cell's box the text keeps this margin from the sides (and
    // from the top), so that it never touches the list's frame or the next
    // column; a text too wide for it is cut with "...".
    static constexpr int kCellMarginX = 4;
    static constexpr int kCellMarginY = 2;

    // The hit box starts at (x + selectionX, y + rowsTop). A cell's box sits
    // at (column left + textDx, rowHeight * page row + textDy) in the page,
    // as wide as its column.
    CGuiListbox(int x, int y, int id, CController* owner, int hitWidth, int hitHeight, int pageSize, int rowHeight,
                const char* backgroundImage, const char* selectionImage, int selectionX, int rowsTop, int textDx,
                int textDy);
    ~CGuiListbox() override;
    CGuiListbox(const CGuiListbox&) = delete;
    CGuiListbox& operator=(const CGuiListbox&) = delete;

    // Columns are fixed once the first row is in: false (and a log line) then.
    // A text too wide for its column is cut as `cut` says (kCutEnd or
    // kCutMiddle).
    bool AddColumn(int width, FontFit cut = FontFit::kCutEnd);
    // The texts are copied; missing cells are empty, extra ones dropped.
    void AddRow(int rowId, const std::vector<std::string>& cells);
    void DeleteRow(int index);
    void DeleteRowById(int rowId);
    // Removes every row; the columns stay.
    void Clear();

    int GetRowCount() const { return static_cast<int>(rowIds.size()); }
    int GetSelectedIndex() const;  // 0 when empty
    int GetSelectedRowId() const;  // 0 when empty
    // Select, scroll into view and report GUICallback(id, row id, 0);
    // nothing on an empty list or for a row that does not exist.
    void SelectRowByIndex(int index);
    void SelectRowById(int rowId);
    // Keyboard scrolling; each reports the selected row (even when it did
    // not move) and plays the rollover sound when the selection changed.
    void MoveSelectionDown(bool page, bool toEnd);
    void MoveSelectionUp(bool page, bool toStart);
    // Reports the selected row as confirmed when the left button is held or
    // byKey (nothing on an empty list).
    void ActivateSelected(bool byKey);
    // The list keys: the pointer onto the list on a press, then the move;
    // Return or Space on the focused list confirm its selection.
    void StepSelection(bool down, bool page, bool toEnd, bool warp) override;
    bool ActivateIfFocused() override;
    // Paints the page now.
    void Refresh();
    // The visible rows to the log.
    void DumpRows() const;

    void Update() override;
    bool Activate(bool byKey, bool force) override;
    void Hide() override;
    void Show() override;
    bool IsMouseOver() override;
    void WarpMouseTo() override;

    // Inspection (tests).
    int GetTopRow() const { return topRow; }
    int GetSelectedOnPage() const { return selectedOnPage; }
    int GetColumnCount() const { return static_cast<int>(columnWidths.size()); }
    int GetRowId(int index) const;
    const std::string& GetCell(int row, int column) const;
    // The text a cell shows: its text, or its cut form when it is too wide.
    const std::string& GetShownCell(int row, int column);
    int GetClickCooldown() const { return clickCooldown; }
    CSprite* GetContentSprite() const { return contentSprite.get(); }
    int GetPaintCount() const { return paintCount; }
    int GetRowHeight() const { return rowHeight; }
    int GetRowsTop() const { return rowsTop; }
    int GetPageSize() const { return pageSize; }
    const std::string& GetBackgroundImage() const { return backgroundImage; }
    const std::string& GetSelectionImage() const { return selectionImage; }
    // The index of the row whose first cell is text, -1 when none.
    int FindRowByText(const std::string& text) const;

private:
    int IndexOfRow(int rowId) const;
    // Scrolls so that the selected row is on the page, keeping the page
    // inside the rows.
    void ScrollIntoView();
    void ReportSelection();
    void Paint();
    std::string PageName() const;

    std::unique_ptr<CSprite> contentSprite;
    std::string backgroundImage;
    std::string selectionImage;
    int selectionX;
    int rowsTop;
    int textDx, textDy;
    int hitWidth, hitHeight;
    int pageSize;
    int rowHeight;
    int topRow;
    int selectedOnPage;
    int selectedRow;
    int paintedRow;
    bool needsPaint;
    std::vector<int> columnWidths;
    std::vector<FontFit> columnCuts;
    std::vector<int> rowIds;
    struct Cell {
        std::string text;
        std::string shown;  // text as painted, made at its first paint
        bool fitted = false;
    };
    std::vector<Cell> cells;  // row-major, one per column
    bool rowsAdded;
    int clickCooldown;
    int paintCount;
};
