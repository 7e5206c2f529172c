// CGridHeader: the header of a grid list. It paints itself from two skin
// pictures (one behind every column, one behind the sort column) with one
// header cell per column drawing the title, and keeps the dividers of
// locked columns from being dragged or double-clicked. Columns can be
// dragged to a new place when the drag switch is on; no window turns it on.
#pragma once

#include "HeaderCell.h"
#include "SkinBitmap.h"

#include <CHeaderCtrl.h>
#include <CPoint.h>
#include <CRect.h>

#include <vector>

class CGridHeader : public CHeaderCtrl
{
public:
    // Told the source and target column of a column drag, on the parent.
    typedef void (CWnd::*DropCallback)(int *from, int *to);

    CGridHeader() = default;
    ~CGridHeader() override { FreeCells(); }

    BOOL LoadBackgrounds(LPCTSTR normalPath, LPCTSTR selectedPath);

    // One plain header cell per column, in place of the old ones.
    void CreateCells(int count);
    // Replaces a column's cell by a new one of a class derived from
    // CJHBaseCell; FALSE, with the old cell kept, otherwise.
    BOOL SetCellType(int column, CRuntimeClass *pClass);
    void SetCellImage(int column, LPCTSTR path);
    void SetCellArrow(int column, BOOL arrow);
    int GetCellCount() const { return static_cast<int>(m_cells.size()); }
    CJHBaseCell *GetCell(int column) const;

    // Shows the column as sorted; the previous sort column.
    int SetSortArrow(int column, BOOL ascending);
    int GetSortColumn() const { return m_sortColumn; }
    BOOL IsAscending(int column) const;

    // Columns 0 to 31 can be locked: their dividers stay where they are.
    void LockColumn(int column);
    BOOL IsLocked(int column) const;
    // FALSE at the divider of a locked column (x in client coordinates).
    BOOL CanResizeAt(int x, int y) const;

    void EnableDrag(BOOL enable) { m_dragEnabled = static_cast<BYTE>(enable ? 1 : 0); }
    void SetDropCallback(DropCallback callback) { m_dropCallback = callback; }

    // Columns 0 to 31 can show paths: a long one loses its middle, so that
    // its drive and its file name both stay in sight.
    void ShowPathsIn(int column);

    // The DrawText format of a column's cells: one line, end ellipsis (or
    // path ellipsis), aligned as the column's title.
    UINT TextFormat(int column) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    // Answers the text-room request for each column's title.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd *pWnd, UINT nHitTest, UINT message);
    afx_msg UINT OnNcHitTest(CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void FreeCells();
    void SetAscending(int column, BOOL ascending);
    // An item's rectangle when any of it lies inside the client area.
    bool VisibleItemRect(int column, const CRect &client, CRect *rect) const;
    void AddItemFormat(int column, int format);
    void DrawSortArrow(CDC *pDC, CRect *rect, BOOL ascending);

    void StartDrag();
    void TrackDrag(CPoint point);
    void EndDrag();
    int DropTargetAt(int x, int *marker) const;
    void SetDragRect(const CRect &rect) { m_dragRect = rect; }

    DWORD m_ascendingMask = 0;
    DWORD m_lockedMask = 0;
    DWORD m_pathMask = 0;
    int m_sortColumn = -1;
    BOOL m_sortAscending = TRUE;
    std::vector<CJHBaseCell *> m_cells;

    BYTE m_dragEnabled = 0;
    BOOL m_pressed = FALSE;
    BOOL m_dragging = FALSE;
    int m_dragSource = -1;
    int m_dragTarget = -1;
    std::vector<int> m_dragWidths;
    CRect m_dragRect;
    CRect m_markerRect;
    CRect m_lastDragRect;
    DropCallback m_dropCallback = nullptr;

    BYTE m_resizeAllowed = 1;
    CSkinBitmap m_normalBack;
    CSkinBitmap m_selectedBack;
};
