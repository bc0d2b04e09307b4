#include "ui/Grids.h"

#include <algorithm>

namespace rt {

KVRT_PUBLISHED(TCustomGrid) {
    P.Property("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount);
    P.Property("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth);
    P.Property("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight);
    P.Property("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor);
    P.Property("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols);
    P.Property("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows);
    P.Property("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth);
    P.Property("Options", &TCustomGrid::Options, &TCustomGrid::SetOptions);
    P.Property("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount);
    P.Property("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars);
    P.Property("OnColumnMoved", &TCustomGrid::OnColumnMoved, &TCustomGrid::OnColumnMoved);
    P.Property("OnRowMoved", &TCustomGrid::OnRowMoved, &TCustomGrid::OnRowMoved);
    P.Property("OnTopLeftChanged", &TCustomGrid::OnTopLeftChanged, &TCustomGrid::OnTopLeftChanged);
}

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 320, 120);
    FTabStop = true;
    SetColor(clWindow);
    FControlStyle.Exclude(csSetCaption);
}

void TCustomGrid::FixCurrent() {
    FCol = std::clamp(FCol, std::min(FFixedCols, FColCount - 1), std::max(0, FColCount - 1));
    FRow = std::clamp(FRow, std::min(FFixedRows, FRowCount - 1), std::max(0, FRowCount - 1));
    FTopRow = std::clamp(FTopRow, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    FLeftCol = std::clamp(FLeftCol, FFixedCols, std::max(FFixedCols, FColCount - 1));
}

void TCustomGrid::SetColCount(int v) {
    v = std::max(1, v);
    if (v == FColCount) return;
    int old = FColCount;
    FColCount = v;
    if (FFixedCols >= v) FFixedCols = v - 1;
    FixCurrent();
    SizeChanged(old, FRowCount);
    PeerUpdate(paItems);
}

void TCustomGrid::SetRowCount(int v) {
    v = std::max(1, v);
    if (v == FRowCount) return;
    int old = FRowCount;
    FRowCount = v;
    if (FFixedRows >= v) FFixedRows = v - 1;
    FixCurrent();
    SizeChanged(FColCount, old);
    PeerUpdate(paItems);
}

void TCustomGrid::SetFixedCols(int v) {
    if (v < 0 || (v >= FColCount && !IsLoading()))
        throw EInvalidOperation("Fixed column count must be less than column count");
    FFixedCols = v;
    FixCurrent();
}

void TCustomGrid::SetFixedRows(int v) {
    if (v < 0 || (v >= FRowCount && !IsLoading()))
        throw EInvalidOperation("Fixed row count must be less than row count");
    FFixedRows = v;
    FixCurrent();
}

void TCustomGrid::SetDefaultColWidth(int v) {
    FDefaultColWidth = std::max(0, v);
    FColWidths.clear();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
    FDefaultRowHeight = std::max(0, v);
    FRowHeights.clear();
}

int TCustomGrid::ColWidths(int col) const {
    auto it = FColWidths.find(col);
    return it == FColWidths.end() ? FDefaultColWidth : it->second;
}

void TCustomGrid::SetColWidths(int col, int width) {
    if (col < 0 || col >= FColCount) throw EInvalidOperation("Grid index out of range");
    FColWidths[col] = std::max(-1, width);
    PeerUpdate(paItems);
}

int TCustomGrid::RowHeights(int row) const {
    auto it = FRowHeights.find(row);
    return it == FRowHeights.end() ? FDefaultRowHeight : it->second;
}

void TCustomGrid::SetRowHeights(int row, int height) {
    if (row < 0 || row >= FRowCount) throw EInvalidOperation("Grid index out of range");
    FRowHeights[row] = std::max(-1, height);
    PeerUpdate(paItems);
}

void TCustomGrid::SetOptions(TGridOptions v) {
    FOptions = v;
    if (!v.Contains(goEditing) && FEditorMode) SetEditorMode(false);
    PeerUpdate(paState);
}

void TCustomGrid::SetTopRow(int v) {
    v = std::clamp(v, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    if (v == FTopRow) return;
    FTopRow = v;
    OnTopLeftChanged(this);
}

void TCustomGrid::SetLeftCol(int v) {
    v = std::clamp(v, FFixedCols, std::max(FFixedCols, FColCount - 1));
    if (v == FLeftCol) return;
    FLeftCol = v;
    OnTopLeftChanged(this);
}

bool TCustomGrid::SelectCell(int, int) {
    return true;
}

bool TCustomGrid::MoveCurrent(int col, int row) {
    if (col < FFixedCols || col >= FColCount || row < FFixedRows || row >= FRowCount) return false;
    if (col == FCol && row == FRow) return true;
    if (!SelectCell(col, row)) return false;
    if (FEditorMode) SetEditorMode(false);
    FCol = col;
    FRow = row;
    if (FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing)) SetEditorMode(true);
    PeerUpdate(paSelection);
    return true;
}

void TCustomGrid::SetEditorMode(bool v) {
    if (v && !FOptions.Contains(goEditing)) return;
    if (v == FEditorMode) return;
    FEditorMode = v;
    if (v) {
        FEditorText = GetEditText(FCol, FRow);
        FEditorOriginal = FEditorText;
    }
    PeerUpdate(paState);
}

std::string TCustomGrid::GetEditText(int, int) {
    return {};
}
void TCustomGrid::SetEditText(int, int, const std::string&) {}

TRect TCustomGrid::CellRect(int col, int row) const {
    if (col < 0 || col >= FColCount || row < 0 || row >= FRowCount) return {};
    int x = 0;
    for (int c = 0; c < col; ++c) x += ColWidths(c) + FGridLineWidth;
    int y = 0;
    for (int r = 0; r < row; ++r) y += RowHeights(r) + FGridLineWidth;
    return Rect(x, y, x + ColWidths(col), y + RowHeights(row));
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const {
    TGridCoord result{-1, -1};
    int cx = 0;
    for (int c = 0; c < FColCount; ++c) {
        cx += ColWidths(c) + FGridLineWidth;
        if (x < cx) {
            result.X = c;
            break;
        }
    }
    int cy = 0;
    for (int r = 0; r < FRowCount; ++r) {
        cy += RowHeights(r) + FGridLineWidth;
        if (y < cy) {
            result.Y = r;
            break;
        }
    }
    return result;
}

void TCustomGrid::ColumnMoved(int fromIndex, int toIndex) {
    OnColumnMoved(this, fromIndex, toIndex);
}
void TCustomGrid::RowMoved(int fromIndex, int toIndex) {
    OnRowMoved(this, fromIndex, toIndex);
}

void TCustomGrid::MoveColumn(int fromIndex, int toIndex) {
    if (fromIndex < 0 || fromIndex >= FColCount || toIndex < 0 || toIndex >= FColCount ||
        fromIndex == toIndex)
        return;
    ColumnMoved(fromIndex, toIndex);
    PeerUpdate(paItems);
}

void TCustomGrid::MoveRow(int fromIndex, int toIndex) {
    if (fromIndex < 0 || fromIndex >= FRowCount || toIndex < 0 || toIndex >= FRowCount ||
        fromIndex == toIndex)
        return;
    RowMoved(fromIndex, toIndex);
    PeerUpdate(paItems);
}

void TCustomGrid::ClickCell(int col, int row) {
    if (CanFocus() && !Focused()) SetFocus();
    MoveCurrent(col, row);
    Click();
}

bool TCustomGrid::WantsKey(Word key, TShiftState shift) const {
    if (key >= VK_LEFT && key <= VK_DOWN) return true;
    if (key == VK_TAB) return FOptions.Contains(goTabs) && !shift.Contains(ssCtrl);
    if (key == VK_RETURN || key == VK_ESCAPE) return FEditorMode;
    return false;
}

void TCustomGrid::DefaultKeyDown(Word& key, TShiftState shift) {
    switch (key) {
    case VK_LEFT:
        MoveCurrent(FCol - 1, FRow);
        break;
    case VK_RIGHT:
        MoveCurrent(FCol + 1, FRow);
        break;
    case VK_UP:
        MoveCurrent(FCol, FRow - 1);
        break;
    case VK_DOWN:
        MoveCurrent(FCol, FRow + 1);
        break;
    case VK_HOME:
        MoveCurrent(FFixedCols, FRow);
        break;
    case VK_END:
        MoveCurrent(FColCount - 1, FRow);
        break;
    case VK_F2:
        SetEditorMode(true);
        break;
    case VK_TAB:
        if (FOptions.Contains(goTabs)) {
            if (shift.Contains(ssShift)) {
                if (!MoveCurrent(FCol - 1, FRow)) MoveCurrent(FColCount - 1, FRow - 1);
            } else if (!MoveCurrent(FCol + 1, FRow)) {
                MoveCurrent(FFixedCols, FRow + 1);
            }
        }
        break;
    case VK_ESCAPE:
        if (FEditorMode) {
            FEditorText = FEditorOriginal;
            SetEditText(FCol, FRow, FEditorText);
            SetEditorMode(false);
        }
        break;
    default:
        break;
    }
}

void TCustomGrid::DefaultKeyPress(TKeyChar& key) {
    if (!FOptions.Contains(goEditing)) return;
    if (key == VK_RETURN) {
        SetEditorMode(!FEditorMode);
        return;
    }
    if (key == VK_BACK) {
        if (!FEditorMode) SetEditorMode(true);
        if (!FEditorText.empty()) {
            size_t cut = Utf8Offset(FEditorText, Utf8Length(FEditorText) - 1);
            FEditorText.erase(cut);
            SetEditText(FCol, FRow, FEditorText);
        }
        return;
    }
    if (key < 32) return;
    if (!FEditorMode) {
        SetEditorMode(true);
        FEditorText.clear(); // typing over a cell replaces its text
    }
    FEditorText += CharToUtf8(key);
    SetEditText(FCol, FRow, FEditorText);
}

// --- TDrawGrid ---

KVRT_PUBLISHED(TDrawGrid) {
    P.Property("OnDrawCell", &TDrawGrid::OnDrawCell, &TDrawGrid::OnDrawCell);
    P.Property("OnGetEditMask", &TDrawGrid::OnGetEditMask, &TDrawGrid::OnGetEditMask);
    P.Property("OnGetEditText", &TDrawGrid::OnGetEditText, &TDrawGrid::OnGetEditText);
    P.Property("OnSelectCell", &TDrawGrid::OnSelectCell, &TDrawGrid::OnSelectCell);
    P.Property("OnSetEditText", &TDrawGrid::OnSetEditText, &TDrawGrid::OnSetEditText);
}

bool TDrawGrid::SelectCell(int col, int row) {
    bool can = true;
    OnSelectCell(this, col, row, can);
    return can;
}

std::string TDrawGrid::GetEditText(int col, int row) {
    std::string value;
    OnGetEditText(this, col, row, value);
    return value;
}

void TDrawGrid::SetEditText(int col, int row, const std::string& value) {
    OnSetEditText(this, col, row, value);
}

// --- TStringGrid ---

KVRT_PUBLISHED(TStringGrid) {}

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {
    SizeChanged(0, 0);
}

TStringGrid::~TStringGrid() {
    for (auto& [i, list] : FRowLists) list->OnChange = nullptr;
    for (auto& [i, list] : FColLists) list->OnChange = nullptr;
}

void TStringGrid::SizeChanged(int, int) {
    FCells.resize(static_cast<size_t>(RowCount()));
    for (auto& row : FCells) row.resize(static_cast<size_t>(ColCount()));
}

const TStringGrid::TCell* TStringGrid::CellAt(int col, int row) const {
    if (row < 0 || row >= static_cast<int>(FCells.size())) return nullptr;
    const auto& r = FCells[static_cast<size_t>(row)];
    if (col < 0 || col >= static_cast<int>(r.size())) return nullptr;
    return &r[static_cast<size_t>(col)];
}

TStringGrid::TCell& TStringGrid::CellRef(int col, int row) {
    if (!CellAt(col, row)) throw EInvalidOperation("Grid index out of range");
    return FCells[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

std::string TStringGrid::Cells(int col, int row) const {
    const TCell* c = CellAt(col, row);
    return c ? c->Text : std::string();
}

void TStringGrid::SetCells(int col, int row, const std::string& value) {
    CellRef(col, row).Text = value;
    PeerUpdate(paItems);
}

void* TStringGrid::Objects(int col, int row) const {
    const TCell* c = CellAt(col, row);
    return c ? c->Object : nullptr;
}

void TStringGrid::SetObjects(int col, int row, void* value) {
    CellRef(col, row).Object = value;
}

TStringsObject* TStringGrid::LineList(std::map<int, std::unique_ptr<TStringsObject>>& lists, int index,
                                      bool isRow) {
    int count = isRow ? ColCount() : RowCount();
    if (index < 0 || index >= (isRow ? RowCount() : ColCount()))
        throw EInvalidOperation("Grid index out of range");
    auto& list = lists[index];
    if (!list) list = std::make_unique<TStringsObject>();
    FSyncing = true;
    list->OnChange = nullptr;
    list->Clear();
    for (int i = 0; i < count; ++i) {
        const TCell* c = isRow ? CellAt(i, index) : CellAt(index, i);
        list->AddObject(c ? c->Text : std::string(), c ? c->Object : nullptr);
    }
    list->OnChange = [this, index, isRow, l = list.get()](TStringList&) {
        if (FSyncing) return;
        int n = isRow ? ColCount() : RowCount();
        for (int i = 0; i < n; ++i) {
            TCell& c = isRow ? CellRef(i, index) : CellRef(index, i);
            c.Text = i < l->Count() ? l->Get(i) : std::string();
            c.Object = i < l->Count() ? l->GetObject(i) : nullptr;
        }
        PeerUpdate(paItems);
    };
    FSyncing = false;
    return list.get();
}

TStringsObject* TStringGrid::Rows(int row) {
    return LineList(FRowLists, row, true);
}
TStringsObject* TStringGrid::Cols(int col) {
    return LineList(FColLists, col, false);
}

std::string TStringGrid::GetEditText(int col, int row) {
    std::string value = Cells(col, row);
    OnGetEditText(this, col, row, value);
    return value;
}

void TStringGrid::SetEditText(int col, int row, const std::string& value) {
    if (CellAt(col, row)) CellRef(col, row).Text = value;
    TDrawGrid::SetEditText(col, row, value);
    PeerUpdate(paItems);
}

void TStringGrid::ColumnMoved(int fromIndex, int toIndex) {
    for (auto& row : FCells) {
        TCell c = row[static_cast<size_t>(fromIndex)];
        row.erase(row.begin() + fromIndex);
        row.insert(row.begin() + toIndex, c);
    }
    TDrawGrid::ColumnMoved(fromIndex, toIndex);
}

void TStringGrid::RowMoved(int fromIndex, int toIndex) {
    auto row = FCells[static_cast<size_t>(fromIndex)];
    FCells.erase(FCells.begin() + fromIndex);
    FCells.insert(FCells.begin() + toIndex, row);
    TDrawGrid::RowMoved(fromIndex, toIndex);
}

} // namespace rt
