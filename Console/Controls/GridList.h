// CGridList: the table control of the console's pages. A report list whose
// every cell is a self-drawing grid cell with its own text and colours; it
// draws an optional check box in the first column, sorts on a column click
// by a rule chosen from the cell text (number, dd/mm/yyyy date, text, or
// the cells' values), keeps locked columns at their width, and passes
// clicks on to the cell under the cursor while the console is logged on.
//
// Every row is made by AddRow and carries a GridRow as its item data; a row
// added before a column was appended has fewer cells than the list has
// columns, and its missing cells draw, sort and click as empty ones.
//
// A list view that draws while rows come and go costs a redraw of its scroll
// bars and rows on every one, which makes a fill of thousands of rows take
// minutes. So the grid holds its drawing itself: the first row added or
// deleted while it draws switches the drawing off, and the next turn of the
// thread's message loop switches it on again with one redraw of the whole
// list. No page needs to bracket its fills; a caller that sends WM_SETREDRAW
// itself keeps the say over the drawing until it switches it on again.
//
// A fill asks the list little beyond the texts: AddRow makes each cell in
// its column's class at once (SetColumnCellType) and remembers the row it
// added, so the cell calls that follow find it without asking the list.
// The grid keeps the rows it made itself, and frees them all at once when
// the list is emptied.
//
// A row can be filled later: a page whose cells cost a read of a file each
// adds its rows bare, marks them with FillRowLater, and names one filler
// for the grid. The grid calls it for a row the first time the row is drawn
// or its text is read through the list, and for every row before a sort, so
// a fill of thousands of rows reads only the files of the rows on screen.
#pragma once

#include "GridCell.h"
#include "GridHeader.h"
#include "GridScrollBar.h"

#include <CFont.h>
#include <CListCtrl.h>

#include <functional>
#include <initializer_list>
#include <vector>

// The item data of every row of a grid list, owned by the list.
struct GridRow
{
    // The check state copied before a sort on column 0, and that column's
    // sort key when its cell has no text.
    int value = 0;
    // Free for the owner (the pages keep a record ID here).
    DWORD userValue = 0;
    // The row waits for the grid's filler.
    bool fillDue = false;
    // Where the grid keeps the row among those it made.
    size_t slot = 0;
    std::vector<CJBaseCell *> cells;
    struct Colors
    {
        COLORREF text;
        COLORREF back;
    };
    std::vector<Colors> colors;
};

class CGridList : public CListCtrl
{
public:
    CGridList();
    // Frees the rows of a window that outlives the object: the window is then
    // destroyed without its WM_DESTROY reaching the list.
    ~CGridList() override;

    // --- columns -------------------------------------------------------------
    // Appends the columns of a column text ("Name,120;Path,300"), then makes
    // the header cells and sorts on column 0 ascending. FALSE when a column
    // could not be inserted (those made so far stay).
    BOOL SetColumns(const CString &columns);
    BOOL SetColumns(UINT stringId);
    int GetColumnCount() const { return m_columnCount; }
    // Columns 0 to 31 can be locked at their width. The second argument
    // plays no part.
    void LockColumn(int column, BOOL unused = TRUE);
    // The class of the cells AddRow makes in the column from here on
    // (derived from CJBaseCell and dynamically creatable; NULL for the base
    // cell). FALSE, with nothing changed, for another class or a column the
    // list does not have.
    BOOL SetColumnCellType(int column, CRuntimeClass *pClass);
    CGridHeader &Header() { return m_header; }

    // --- rows ----------------------------------------------------------------
    // A row at the end with one text per column: missing texts are empty,
    // extra ones ignored. The new item's index, or -1.
    int AddRow(const CString *texts, int count);
    int AddRow(std::initializer_list<CString> texts);
    void DeleteRow(int item);
    void DeleteAllRows();
    BOOL SetRowData(int item, DWORD value);
    DWORD GetRowData(int item) const;
    // The row's GridRow, or NULL outside the list or for a row without one.
    GridRow *GetRow(int item) const;
    BOOL IsValidRow(int item) const { return GetRow(item) != nullptr; }
    int FindRowByData(const GridRow *row) const;
    // The filler completes one row (its item index) through the cell calls.
    void SetRowFiller(std::function<void(int item)> filler) { m_rowFiller = std::move(filler); }
    // The row is filled when it is first drawn, read or sorted.
    void FillRowLater(int item);
    // Fills the row now if it waits for the filler.
    void FillRow(int item);
    void FillAllRows();

    // --- cells (all checked: NULL, 0 or FALSE outside the rows' cells) ---------
    CJBaseCell *GetCell(int item, int subItem) const;
    // Stores the cell in the row; the old cell is not deleted here.
    BOOL SetCell(int item, int subItem, CJBaseCell *cell);
    // Replaces the cell by a new one of the class (derived from CJBaseCell
    // and dynamically creatable), which takes the old one's text and value.
    // On a refusal nothing changes.
    BOOL SetCellType(int item, int subItem, CRuntimeClass *pClass);
    BOOL SetCellText(int item, int subItem, LPCTSTR text);
    BOOL SetCellValue(int item, int subItem, int value);
    int GetCellValue(int item, int subItem) const;
    BOOL SetCellImage(int item, int subItem, int image);
    // 0xFFFFFFFF stands for the list's default colour.
    BOOL SetCellColors(int item, int subItem, COLORREF text, COLORREF back);
    void RedrawCell(int item, int subItem);

    // --- selection and sorting -----------------------------------------------
    int GetNextSelected(int after = -1) const { return GetNextItem(after, LVNI_SELECTED); }
    void SelectRow(int item, BOOL select = TRUE);
    void SelectAll();
    void EnableSort(BOOL enable) { m_sortEnabled = enable; }
    void SortItems(int column, BOOL ascending);
    int GetSortColumn() const { return m_sortColumn; }
    BOOL IsSortAscending() const { return m_sortAscending; }
    // Compares two rows (their GridRow pointers) in the list's sort column
    // and direction; the kind of comparison comes from the first row's text.
    static int CALLBACK CompareItems(LPARAM row1, LPARAM row2, LPARAM list);

    // The cell under the cursor; it is not owned.
    CJBaseCell *GetHoveredCell() const { return m_pHovered; }

    COLORREF m_textColor;
    COLORREF m_backColor;
    COLORREF m_selectedBackColor = RGB(0xDE, 0xEB, 0xEA);
    COLORREF m_selectedTextColor = RGB(0, 0, 0);

protected:
    void PreSubclassWindow() override;
    // Answers the text-room request for each cell, row by row, and holds
    // the drawing while rows come and go.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT *pResult) override;

    afx_msg void OnCustomDraw(NMHDR *pNMHDR, LRESULT *pResult);
    afx_msg void OnColumnClick(NMHDR *pNMHDR, LRESULT *pResult);
    afx_msg void OnDeleteAllItems(NMHDR *pNMHDR, LRESULT *pResult);
    afx_msg BOOL OnClick(NMHDR *pNMHDR, LRESULT *pResult);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    CJBaseCell *MakeCell(int column);
    // The rows the grid made: kept when added, freed when their items are gone.
    void KeepRow(GridRow *row);
    void FreeRow(GridRow *row);
    void FreeAllRows();
    // The messages that may move, remove or replace the list's item data.
    static bool MovesRows(UINT message);
    void DrawSubItem(CDC *pDC, int item, int subItem, CRect rect, UINT state, COLORREF textColor,
                     COLORREF backColor);
    CRect CellRect(int item, int subItem) const;
    // Switches the drawing off until the message loop's next turn, unless it
    // is off already.
    void HoldRedraw();
    void ResumeRedraw();
    LRESULT AnswerTextRoom(WPARAM wParam, LPARAM lParam);
    // The item whose text the message reads, or -1.
    static int ItemReadBy(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL m_sortEnabled = TRUE;
    CFont m_listFont;
    CGridHeader m_header;
    CGridScrollBar m_scrollBar;
    int m_columnCount = 0;
    int m_sortColumn = -1;
    BOOL m_sortAscending = TRUE;
    CJBaseCell *m_pHovered = nullptr;
    std::function<void(int item)> m_rowFiller;
    // The class of each column's new cells; NULL or missing for the base cell.
    std::vector<CRuntimeClass *> m_cellTypes;
    std::vector<GridRow *> m_rows;
    // The row AddRow made last and its item, until the rows next move.
    int m_recentItem = -1;
    GridRow *m_recentRow = nullptr;
    // The grid switched its drawing off and will switch it on again.
    BOOL m_redrawHeld = FALSE;
    // The owner switched the drawing off by WM_SETREDRAW.
    BOOL m_redrawOffByOwner = FALSE;
};
