#pragma once
// Grids: the draw grid (cells drawn by the owner) and the string grid (a text and an object per cell).
// Arrow keys, Tab (with goTabs) and clicks move the current cell, asking OnSelectCell first; with
// goEditing, typing edits the current cell (OnGetEditText / OnSetEditText), Enter ends the edit and Esc
// takes it back.
#include "ui/StdCtrls.h"

#include <map>
#include <memory>
#include <vector>

namespace rt {

KVRT_ENUM(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
          goDrawFocusSelected, goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs,
          goRowSelect, goAlwaysShowEditor, goThumbTracking)
KVRT_SET(TGridOptions, TGridOption)
KVRT_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdFixed)
KVRT_SET(TGridDrawState, TGridDrawStateItem)

struct TGridCoord {
    int X = 0;
    int Y = 0;
};

struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

KVRT_EVENT(TSelectCellEvent, void(TObject* Sender, int ACol, int ARow, bool& CanSelect))
KVRT_EVENT(TDrawCellEvent, void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State))
KVRT_EVENT(TGetEditEvent, void(TObject* Sender, int ACol, int ARow, std::string& Value))
KVRT_EVENT(TSetEditEvent, void(TObject* Sender, int ACol, int ARow, const std::string& Value))
KVRT_EVENT(TMovedEvent, void(TObject* Sender, int FromIndex, int ToIndex))

class TCustomGrid : public TCustomControl {
    KVRT_CLASS(TCustomGrid, TCustomControl)
public:
    explicit TCustomGrid(TComponent* AOwner);

    int ColCount() const { return FColCount; }
    void SetColCount(int v);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int v);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int v);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int v);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int v);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int v);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor v) { FFixedColor = v; }
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v) { FGridLineWidth = v; }
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions v);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v) { FScrollBars = v; }

    // The current cell. Setting it asks OnSelectCell; a refused cell leaves the current one.
    int Col() const { return FCol; }
    void SetCol(int v) { MoveCurrent(v, FRow); }
    int Row() const { return FRow; }
    void SetRow(int v) { MoveCurrent(FCol, v); }
    bool MoveCurrent(int col, int row);
    TGridRect Selection() const { return TGridRect{FCol, FRow, FCol, FRow}; }
    int TopRow() const { return FTopRow; }
    void SetTopRow(int v);
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int v);

    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool v);
    // The text being edited in the current cell.
    const std::string& EditorText() const { return FEditorText; }

    TRect CellRect(int col, int row) const;
    TGridCoord MouseCoord(int x, int y) const;
    void MoveColumn(int fromIndex, int toIndex);
    void MoveRow(int fromIndex, int toIndex);

    // A click on a cell by the user: focus, then the current cell moves there.
    void ClickCell(int col, int row);

    bool WantsKey(Word key, TShiftState shift) const override;

    TNotifyEvent OnTopLeftChanged;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;

protected:
    virtual bool SelectCell(int col, int row);
    virtual std::string GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const std::string& value);
    virtual void ColumnMoved(int fromIndex, int toIndex);
    virtual void RowMoved(int fromIndex, int toIndex);
    virtual void SizeChanged(int /*oldColCount*/, int /*oldRowCount*/) {}
    void DefaultKeyDown(Word& key, TShiftState shift) override;
    void DefaultKeyPress(TKeyChar& key) override;

private:
    void FixCurrent();
    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    std::map<int, int> FColWidths;
    std::map<int, int> FRowHeights;
    TColor FFixedColor = clBtnFace;
    int FGridLineWidth = 1;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TScrollStyle FScrollBars = ssBoth;
    int FCol = 1;
    int FRow = 1;
    int FTopRow = 1;
    int FLeftCol = 1;
    bool FEditorMode = false;
    std::string FEditorText;
    std::string FEditorOriginal;
};

class TDrawGrid : public TCustomGrid {
    KVRT_CLASS(TDrawGrid, TCustomGrid)
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

    TDrawCellEvent OnDrawCell;
    TGetEditEvent OnGetEditMask;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TSelectCellEvent OnSelectCell;

protected:
    bool SelectCell(int col, int row) override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;
};

class TStringGrid : public TDrawGrid {
    KVRT_CLASS(TStringGrid, TDrawGrid)
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    // "" and null outside the grid; writing outside the grid raises EInvalidOperation.
    std::string Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& value);
    void* Objects(int col, int row) const;
    void SetObjects(int col, int row, void* value);
    // The texts of one row or column as a string list; changing the list changes the cells.
    TStringsObject* Rows(int row);
    TStringsObject* Cols(int col);

protected:
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;

private:
    struct TCell {
        std::string Text;
        void* Object = nullptr;
    };
    const TCell* CellAt(int col, int row) const;
    TCell& CellRef(int col, int row);
    TStringsObject* LineList(std::map<int, std::unique_ptr<TStringsObject>>& lists, int index, bool isRow);

    std::vector<std::vector<TCell>> FCells; // [row][col]
    std::map<int, std::unique_ptr<TStringsObject>> FRowLists;
    std::map<int, std::unique_ptr<TStringsObject>> FColLists;
    bool FSyncing = false;
};

} // namespace rt
