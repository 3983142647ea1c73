#include "gui/CGuiListbox.h"

#include <algorithm>
#include <cstdio>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "engine/Rect.h"
#include "gui/GuiText.h"

namespace {
const std::string kNoText;
}

CGuiListbox::CGuiListbox(int x_, int y_, int id_, CController* owner_, int hitWidth_, int hitHeight_, int pageSize_,
                         int rowHeight_, const char* backgroundImage_, const char* selectionImage_, int selectionX_,
                         int rowsTop_, int textDx_, int textDy_)
    : CGuiButtonBase(x_, y_, id_, owner_, false),
      contentSprite(nullptr),
      backgroundImage(backgroundImage_ ? backgroundImage_ : ""),
      selectionImage(selectionImage_ ? selectionImage_ : ""),
      selectionX(selectionX_),
      rowsTop(rowsTop_),
      textDx(textDx_),
      textDy(textDy_),
      hitWidth(hitWidth_),
      hitHeight(hitHeight_),
      pageSize(std::max(1, pageSize_)),
      rowHeight(std::max(1, rowHeight_)),
      topRow(0),
      selectedOnPage(0),
      selectedRow(0),
      paintedRow(0),
      needsPaint(true),
      rowsAdded(false),
      clickCooldown(0),
      paintCount(0) {
    activateOnRelease = 0;
}

CGuiListbox::~CGuiListbox() {
    contentSprite.reset();
    CDraw::UnloadImage(PageName().c_str());
}

std::string CGuiListbox::PageName() const { return "lbcontent_" + std::to_string(id); }

bool CGuiListbox::AddColumn(int width, FontFit cut) {
    if (rowsAdded) {
        DebugLog(DBG_ERROR, "Cannot add new listbox columns.  Rows have already been added.\n");
        return false;
    }
    columnWidths.push_back(std::max(0, width));
    columnCuts.push_back(cut);
    needsPaint = true;
    return true;
}

void CGuiListbox::AddRow(int rowId, const std::vector<std::string>& rowCells) {
    rowsAdded = true;
    if (rowIds.empty()) selectedRow = 0;
    rowIds.push_back(rowId);
    for (size_t c = 0; c < columnWidths.size(); ++c) {
        Cell cell;
        cell.text = c < rowCells.size() ? rowCells[c] : kNoText;
        cells.push_back(cell);
    }
    needsPaint = true;
}

void CGuiListbox::DeleteRow(int index) {
    if (index < 0 || index >= GetRowCount()) return;
    const size_t columns = columnWidths.size();
    rowIds.erase(rowIds.begin() + index);
    const auto first = cells.begin() + static_cast<std::ptrdiff_t>(index * columns);
    cells.erase(first, first + static_cast<std::ptrdiff_t>(columns));
    // The selection stays on its row when a row above it goes; when the
    // selected row itself goes, the next one (or the new last one) takes it.
    if (index < selectedRow) --selectedRow;
    if (selectedRow >= GetRowCount()) selectedRow = GetRowCount() - 1;
    ScrollIntoView();
    needsPaint = true;
}

void CGuiListbox::DeleteRowById(int rowId) { DeleteRow(IndexOfRow(rowId)); }

void CGuiListbox::Clear() {
    rowIds.clear();
    cells.clear();
    topRow = selectedOnPage = selectedRow = paintedRow = clickCooldown = 0;
    needsPaint = true;
}

int CGuiListbox::GetSelectedIndex() const { return rowIds.empty() ? 0 : selectedRow; }

int CGuiListbox::GetSelectedRowId() const { return rowIds.empty() ? 0 : rowIds[static_cast<size_t>(selectedRow)]; }

int CGuiListbox::GetRowId(int index) const {
    return index >= 0 && index < GetRowCount() ? rowIds[static_cast<size_t>(index)] : 0;
}

const std::string& CGuiListbox::GetCell(int row, int column) const {
    const int columns = GetColumnCount();
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= columns) return kNoText;
    return cells[static_cast<size_t>(row * columns + column)].text;
}

const std::string& CGuiListbox::GetShownCell(int row, int column) {
    const int columns = GetColumnCount();
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= columns) return kNoText;
    Cell& cell = cells[static_cast<size_t>(row * columns + column)];
    if (!cell.fitted) {
        const int width = columnWidths[static_cast<size_t>(column)] - 2 * kCellMarginX;
        const FontFit cut = columnCuts[static_cast<size_t>(column)];
        cell.shown = FontFitTyped(FontFitRequest(kCellTextId, cut, cell.text.c_str(), width)).shown;
        cell.fitted = true;
    }
    return cell.shown;
}

int CGuiListbox::FindRowByText(const std::string& text) const {
    for (int r = 0; r < GetRowCount(); ++r)
        if (GetCell(r, 0) == text) return r;
    return -1;
}

int CGuiListbox::IndexOfRow(int rowId) const {
    const auto it = std::find(rowIds.begin(), rowIds.end(), rowId);
    return it == rowIds.end() ? -1 : static_cast<int>(it - rowIds.begin());
}

void CGuiListbox::ScrollIntoView() {
    const int n = GetRowCount();
    if (n == 0) {
        topRow = selectedOnPage = 0;
        selectedRow = -1;
        return;
    }
    if (selectedRow < 0) selectedRow = 0;
    if (selectedRow < topRow) topRow = selectedRow;
    if (selectedRow >= topRow + pageSize) topRow = selectedRow - pageSize + 1;
    // No empty space below the last row while earlier rows are off the page.
    topRow = std::max(0, std::min(topRow, n - pageSize));
    selectedOnPage = selectedRow - topRow;
}

void CGuiListbox::ReportSelection() {
    if (owner) owner->GUICallback(id, GetSelectedRowId(), false);
}

void CGuiListbox::SelectRowByIndex(int index) {
    const int n = GetRowCount();
    if (index < 0 || index >= n) return;
    selectedRow = index;
    topRow = index + pageSize > n ? std::max(0, n - pageSize) : index;
    selectedOnPage = selectedRow - topRow;
    needsPaint = true;
    ReportSelection();
}

void CGuiListbox::SelectRowById(int rowId) { SelectRowByIndex(IndexOfRow(rowId)); }

void CGuiListbox::MoveSelectionDown(bool page, bool toEnd) {
    const int n = GetRowCount();
    if (n == 0) return;
    if (toEnd) {
        selectedRow = n - 1;
        topRow = pageSize <= n ? n - pageSize : 0;
    } else if (page) {
        selectedRow = std::min(selectedRow + pageSize, n - 1);
        if (n > pageSize) topRow = std::min(topRow + pageSize, n - pageSize);
    } else {
        if (selectedRow < n - 1) ++selectedRow;
        if (selectedRow >= topRow + pageSize) topRow = selectedRow - pageSize + 1;
    }
    selectedOnPage = selectedRow - topRow;
    ReportSelection();
    if (selectedRow != paintedRow) CController::PlayInterfaceSound(CController::GetSoundRollover());
    needsPaint = true;
}

void CGuiListbox::MoveSelectionUp(bool page, bool toStart) {
    if (rowIds.empty()) return;
    if (toStart) {
        selectedRow = 0;
        topRow = 0;
    } else if (page) {
        selectedRow = std::max(0, selectedRow - pageSize);
        topRow = std::max(0, topRow - pageSize);
    } else {
        if (selectedRow > 0) --selectedRow;
        if (topRow >= selectedRow) topRow = selectedRow;
    }
    selectedOnPage = selectedRow - topRow;
    ReportSelection();
    if (selectedRow != paintedRow) CController::PlayInterfaceSound(CController::GetSoundRollover());
    needsPaint = true;
}

void CGuiListbox::StepSelection(bool down, bool page, bool toEnd, bool warp) {
    if (warp) WarpMouseTo();
    if (down)
        MoveSelectionDown(page, toEnd);
    else
        MoveSelectionUp(page, toEnd);
}

bool CGuiListbox::ActivateIfFocused() {
    if (GetFocusedButton() != this) return false;
    ActivateSelected(true);
    return true;
}

void CGuiListbox::ActivateSelected(bool byKey) {
    if (rowIds.empty() || !(leftHeld || byKey)) return;
    if (owner) owner->GUICallback(id, GetSelectedRowId(), true);
    clickCooldown = 0;
}

void CGuiListbox::Refresh() {
    needsPaint = true;
    Paint();
}

bool CGuiListbox::Activate(bool byKey, bool) {
    if (!IsMouseOver()) return false;
    if (!byKey && clickCooldown < 1) {
        const int r = (GetMouseY() - y - rowsTop) / rowHeight;
        if (r >= 0 && topRow + r < GetRowCount()) {
            selectedOnPage = r;
            selectedRow = topRow + r;
            needsPaint = true;
            CController::PlayInterfaceSound(CController::GetSoundClick());
            clickCooldown = kDoubleClickFrames;
            ReportSelection();
        }
        return true;
    }
    ActivateSelected(byKey);
    return true;
}

bool CGuiListbox::IsMouseOver() {
    if (hidden) return false;
    const int mx = GetMouseX();
    const int my = GetMouseY();
    const int left = x + selectionX;
    const int top = y + rowsTop;
    return mx >= left && mx <= left + hitWidth && my >= top && my <= top + hitHeight;
}

void CGuiListbox::WarpMouseTo() {
    if (contentSprite) {
        const Rect r = contentSprite->GetRect();
        WarpMouse(r.x + r.w / 2, r.y + r.h / 2);
    } else {
        WarpMouse(x + selectionX + hitWidth / 2, y + rowsTop + hitHeight / 2);
    }
    HideMousePointer(1);
}

void CGuiListbox::Update() {
    if (hidden) return;
    CaptureFocus();
    if (clickCooldown > 0) --clickCooldown;
    if (needsPaint || selectedRow != paintedRow) Paint();
}

void CGuiListbox::Hide() {
    if (contentSprite) contentSprite->Hide();
    hidden = 1;
}

void CGuiListbox::Show() {
    if (contentSprite) contentSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    hidden = 0;
}

void CGuiListbox::Paint() {
    contentSprite.reset();
    const std::string name = PageName();
    CDraw::UnloadImage(name.c_str());
    const int page = CDraw::CopyImage(backgroundImage.c_str(), name.c_str(), 0);
    const int pageHeight = CDraw::GetHeight(page);
    if (rowIds.empty()) {
        const int width = columnWidths.empty() ? CDraw::GetWidth(page) : columnWidths[0];
        BlitString(kEmptyTextId, page, width, pageHeight, 3, 0, 0);
    } else {
        const int columns = GetColumnCount();
        const int textHeight = std::max(rowHeight, rowsTop + rowHeight - textDy) - kCellMarginY;
        for (int row = topRow; row < topRow + pageSize && row < GetRowCount(); ++row) {
            const int onPage = row - topRow;
            if (row == selectedRow)
                CDraw::DrawImageOnto(selectionImage.c_str(), page, selectionX, rowsTop + rowHeight * selectedOnPage);
            int left = 0;
            for (int c = 0; c < columns; ++c) {
                const int width = columnWidths[static_cast<size_t>(c)];
                const std::string& text = GetShownCell(row, c);
                // The box ends where the row ends: a text too long for its
                // column wraps into nothing instead of into the next row.
                // Cells hold names and headings people typed: drawn as text,
                // never as markup.
                if (!text.empty())
                    BlitTypedString(kCellTextId, page, width - 2 * kCellMarginX, textHeight, 0,
                                    left + textDx + kCellMarginX, rowHeight * onPage + textDy + kCellMarginY,
                                    text.c_str());
                left += width;
            }
        }
    }
    contentSprite = std::make_unique<CSprite>(LAYER_CL3, 0, false);
    contentSprite->SetName("GUI Listbox Contents");
    contentSprite->AddFrame(page);
    contentSprite->SetPosition(x, y, false);
    if (!hidden) contentSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    paintedRow = selectedRow;
    needsPaint = false;
    ++paintCount;
}

void CGuiListbox::DumpRows() const {
    DebugLog(DBG_DEBUG, "-----------------------------------------\n");
    const int columns = GetColumnCount();
    for (int row = topRow; row < topRow + pageSize && row < GetRowCount(); ++row) {
        DebugLog(DBG_DEBUG, "%i   %-5i", row == selectedRow ? 1 : 0, rowIds[static_cast<size_t>(row)]);
        for (int c = 0; c < columns; ++c)
            DebugLog(DBG_DEBUG | DBG_NOPREFIX, "(%i)%-20s", columnWidths[static_cast<size_t>(c)],
                     cells[static_cast<size_t>(row * columns + c)].text.c_str());
        DebugLog(DBG_DEBUG | DBG_NOPREFIX, "\n");
    }
    DebugLog(DBG_DEBUG, "-----------------------------------------\n");
}
