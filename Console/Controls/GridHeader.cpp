#include "GridHeader.h"

#include "MemoryDC.h"
#include "TextRoom.h"

#include <CPaintDC.h>
#include <CPen.h>

namespace {

// One line, vertically centred, end ellipsis, no prefix, no clipping.
const UINT kLeftFormat = DT_END_ELLIPSIS | DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE | DT_VCENTER;
const UINT kCentredFormat = kLeftFormat | DT_CENTER;
const UINT kRightFormat = kLeftFormat | DT_RIGHT;

const int kTitleBufferSize = 255;
// Masks hold one bit per column.
const int kMaskColumns = 32;

} // namespace

BEGIN_MESSAGE_MAP(CGridHeader, CHeaderCtrl)
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_NCHITTEST()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

BOOL CGridHeader::LoadBackgrounds(LPCTSTR normalPath, LPCTSTR selectedPath)
{
    const BOOL normal = m_normalBack.Load(normalPath);
    const BOOL selected = m_selectedBack.Load(selectedPath);
    return normal && selected;
}

// --- cells -------------------------------------------------------------------

void CGridHeader::FreeCells()
{
    for (CJHBaseCell *cell : m_cells)
        delete cell;
    m_cells.clear();
}

void CGridHeader::CreateCells(int count)
{
    FreeCells();
    for (int i = 0; i < count; ++i)
        m_cells.push_back(new CJHBaseCell);
}

CJHBaseCell *CGridHeader::GetCell(int column) const
{
    return column >= 0 && column < GetCellCount() ? m_cells[column] : nullptr;
}

BOOL CGridHeader::SetCellType(int column, CRuntimeClass *pClass)
{
    if (!GetCell(column) || !pClass || !pClass->IsDerivedFrom(RUNTIME_CLASS(CJHBaseCell)))
        return FALSE;
    CObject *created = pClass->CreateObject();
    if (!created)
        return FALSE;
    delete m_cells[column];
    m_cells[column] = static_cast<CJHBaseCell *>(created);
    return TRUE;
}

void CGridHeader::SetCellImage(int column, LPCTSTR path)
{
    if (CJHBaseCell *cell = GetCell(column))
        cell->SetImage(path);
}

void CGridHeader::SetCellArrow(int column, BOOL arrow)
{
    if (CJHBaseCell *cell = GetCell(column))
        cell->m_bArrow = arrow;
}

// --- sort and lock state -------------------------------------------------------

int CGridHeader::SetSortArrow(int column, BOOL ascending)
{
    const int previous = m_sortColumn;
    m_sortColumn = column;
    m_sortAscending = ascending;
    AddItemFormat(column, HDF_OWNERDRAW);
    Invalidate();
    SetAscending(column, ascending);
    return previous;
}

void CGridHeader::SetAscending(int column, BOOL ascending)
{
    if (column < 0 || column >= kMaskColumns)
        return;
    if (ascending)
        m_ascendingMask |= 1u << column;
    else
        m_ascendingMask &= ~(1u << column);
}

BOOL CGridHeader::IsAscending(int column) const
{
    return column >= 0 && column < kMaskColumns && (m_ascendingMask >> column & 1);
}

void CGridHeader::LockColumn(int column)
{
    if (column >= 0 && column < kMaskColumns)
        m_lockedMask |= 1u << column;
}

BOOL CGridHeader::IsLocked(int column) const
{
    return column >= 0 && column < kMaskColumns && (m_lockedMask >> column & 1);
}

BOOL CGridHeader::CanResizeAt(int x, int y) const
{
    (void)y;
    if (m_lockedMask == 0)
        return TRUE;
    const int half = GetSystemMetrics(SM_CXCURSOR) / 2;
    int right = 0;
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        if (!GetItem(i, &item))
            break;
        right += item.cxy;
        // By index, as the list refuses the drag: the items carry no lParam.
        if (IsLocked(i) && right - half < x && x < right + half)
            return FALSE;
    }
    return TRUE;
}

void CGridHeader::AddItemFormat(int column, int format)
{
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (!GetItem(column, &item))
        return;
    item.fmt |= format;
    SetItem(column, &item);
}

void CGridHeader::ShowPathsIn(int column)
{
    if (column >= 0 && column < kMaskColumns)
        m_pathMask |= 1u << column;
}

UINT CGridHeader::TextFormat(int column) const
{
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    GetItem(column, &item);
    UINT format = kLeftFormat;
    if (item.fmt & HDF_CENTER)
        format = kCentredFormat;
    else if (item.fmt & HDF_RIGHT)
        format = kRightFormat;
    if (column >= 0 && column < kMaskColumns && (m_pathMask >> column & 1))
        format = (format & ~DT_END_ELLIPSIS) | DT_PATH_ELLIPSIS;
    return format;
}

// --- painting ----------------------------------------------------------------

bool CGridHeader::VisibleItemRect(int column, const CRect &client, CRect *rect) const
{
    return GetItemRect(column, rect) && rect->right >= 0 && rect->left <= client.right;
}

void CGridHeader::OnPaint()
{
    CPaintDC paint(this);
    CMemoryDC dc(&paint);
    CRect client;
    GetClientRect(&client);
    m_normalBack.DrawStretched(client.left, client.top, client.right, client.bottom, &dc, SRCCOPY);

    CRect rect;
    if (m_sortColumn >= 0 && VisibleItemRect(m_sortColumn, client, &rect))
        m_selectedBack.DrawStretched(rect.left, rect.top, rect.right, rect.bottom, &dc, SRCCOPY);

    if (m_cells.empty())
        return;
    CFont *oldFont = nullptr;
    if (CWnd *list = GetParent())
        oldFont = dc.SelectObject(CFont::FromHandle(reinterpret_cast<HFONT>(list->SendMessage(WM_GETFONT))));
    dc.SetBkMode(TRANSPARENT);
    for (int i = 0; i < GetCellCount(); ++i) {
        if (!VisibleItemRect(i, client, &rect))
            continue;
        char title[kTitleBufferSize + 1] = {};
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_LPARAM;
        item.pszText = title;
        item.cchTextMax = kTitleBufferSize;
        GetItem(i, &item);
        m_cells[i]->Draw(&dc, rect, title, kCentredFormat);
    }
    if (oldFont)
        dc.SelectObject(oldFont);
}

// The titles as OnPaint draws them; picture titles show no text.
LRESULT CGridHeader::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != TextRoomMessage())
        return CHeaderCtrl::WindowProc(message, wParam, lParam);
    const int column = static_cast<int>(wParam);
    if (column >= GetCellCount())
        return TEXT_ROOM_END;
    TextRoom &room = *reinterpret_cast<TextRoom *>(lParam);
    CRect rect;
    if (m_cells[column]->IsKindOf(RUNTIME_CLASS(CJHIconCell)) || !GetItemRect(column, &rect))
        return TEXT_ROOM_FILLED;
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = room.text;
    item.cchTextMax = sizeof room.text;
    GetItem(column, &item);
    rect.left += 2;
    room.room = rect;
    room.format = kCentredFormat;
    if (CWnd *list = GetParent())
        room.font = reinterpret_cast<HFONT>(list->SendMessage(WM_GETFONT));
    return TEXT_ROOM_FILLED;
}

// Runs only from the control's own painting, which OnPaint replaces.
void CGridHeader::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    const int column = static_cast<int>(lpDrawItemStruct->itemID);
    CJHBaseCell *cell = GetCell(column);
    if (!cell)
        return;
    CDC *pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    CRect rect(lpDrawItemStruct->rcItem);
    pDC->FillSolidRect(&rect, GetSysColor(COLOR_3DFACE));
    if (lpDrawItemStruct->itemState & ODS_SELECTED)
        rect.OffsetRect(1, 2);
    if (column == m_sortColumn && cell->m_bArrow)
        DrawSortArrow(pDC, &rect, m_sortAscending);
    char title[kTitleBufferSize + 1] = {};
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = title;
    item.cchTextMax = kTitleBufferSize;
    GetItem(column, &item);
    cell->Draw(pDC, rect, title, TextFormat(column));
}

// A triangle in the six space widths it keeps free at the right.
void CGridHeader::DrawSortArrow(CDC *pDC, CRect *rect, BOOL ascending)
{
    const int space = pDC->GetTextExtent(" ", 1).cx;
    const int left = rect->right - 4 * space, right = rect->right - 2 * space;
    const int top = rect->top + rect->Height() / 2 - space, bottom = top + 2 * space;
    rect->right -= 6 * space;
    CPen light(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT));
    CPen shadow(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
    CPen *old = pDC->SelectObject(&light);
    const int tipY = ascending ? top : bottom, baseY = ascending ? bottom : top;
    pDC->MoveTo(right, baseY);
    pDC->LineTo(left, baseY);
    pDC->SelectObject(&shadow);
    pDC->LineTo((left + right) / 2, tipY);
    pDC->SelectObject(&light);
    pDC->LineTo(right, baseY);
    pDC->SelectObject(old);
}

// --- locked dividers -----------------------------------------------------------

UINT CGridHeader::OnNcHitTest(CPoint point)
{
    CPoint client = point;
    ScreenToClient(&client);
    m_resizeAllowed = static_cast<BYTE>(CanResizeAt(client.x, client.y) ? 1 : 0);
    return static_cast<UINT>(Default());
}

BOOL CGridHeader::OnSetCursor(CWnd *pWnd, UINT nHitTest, UINT message)
{
    if (!m_resizeAllowed) {
        ::SetCursor(LoadCursor(NULL, IDC_ARROW));
        return TRUE;
    }
    return CHeaderCtrl::OnSetCursor(pWnd, nHitTest, message);
}

void CGridHeader::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // No automatic width at a locked divider.
    if (CanResizeAt(point.x, point.y))
        CHeaderCtrl::OnLButtonDblClk(nFlags, point);
}

// --- column drag ---------------------------------------------------------------

void CGridHeader::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_dragEnabled) {
        HDHITTESTINFO hit = {};
        hit.pt = point;
        const int column = static_cast<int>(SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (column >= 0 && (hit.flags & HHT_ONHEADER)) {
            m_dragSource = column;
            m_pressed = TRUE;
        }
        Invalidate();
    }
    CHeaderCtrl::OnLButtonDown(nFlags, point);
}

void CGridHeader::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_dragEnabled || !(nFlags & MK_LBUTTON)) {
        m_pressed = m_dragging = FALSE;
        CHeaderCtrl::OnMouseMove(nFlags, point);
        return;
    }
    if (m_pressed)
        StartDrag();
    if (!m_dragging) {
        CHeaderCtrl::OnMouseMove(nFlags, point);
        return;
    }
    TrackDrag(point);
}

void CGridHeader::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_pressed = FALSE;
    if (m_dragging)
        EndDrag();
    CHeaderCtrl::OnLButtonUp(nFlags, point);
}

void CGridHeader::StartDrag()
{
    m_pressed = FALSE;
    m_dragging = TRUE;
    m_dragTarget = m_dragSource;
    SetCapture();
    const int count = GetItemCount();
    m_dragWidths.assign(count > 0 ? count : 0, 0);
    for (int i = 0; i < count; ++i) {
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        GetItem(i, &item);
        m_dragWidths[i] = item.cxy;
        AddItemFormat(i, HDF_OWNERDRAW);
    }
    CRect client;
    GetClientRect(&client);
    const int sourceWidth = m_dragSource >= 0 && m_dragSource < count ? m_dragWidths[m_dragSource] : 0;
    SetDragRect(CRect(0, 0, sourceWidth, client.Height()));
    m_lastDragRect.SetRectEmpty();
    m_markerRect.SetRectEmpty();
}

int CGridHeader::DropTargetAt(int x, int *marker) const
{
    *marker = 0;
    if (x <= 0)
        return 0;
    int left = 0;
    const int count = static_cast<int>(m_dragWidths.size());
    for (int i = 0; i < count; ++i) {
        if (x >= left && x < left + m_dragWidths[i]) {
            *marker = left;
            return i;
        }
        left += m_dragWidths[i];
    }
    *marker = left;
    return count;
}

void CGridHeader::TrackDrag(CPoint point)
{
    int marker = 0;
    const int target = DropTargetAt(point.x, &marker);
    if (target != m_dragTarget) {
        m_dragTarget = target;
        InvalidateRect(&m_markerRect);
        UpdateWindow();
        CRect client;
        GetClientRect(&client);
        const int h = client.Height();
        CDC *pDC = GetDC();
        if (pDC) {
            CPen red(PS_SOLID, 1, RGB(255, 0, 0));
            CBrush fill(RGB(255, 0, 0));
            CPen *oldPen = pDC->SelectObject(&red);
            CBrush *oldBrush = pDC->SelectObject(&fill);
            const POINT triangle[] = {{marker, h - 8}, {marker - 3, h - 1}, {marker + 3, h - 1}};
            pDC->Polygon(triangle, 3);
            pDC->SelectObject(oldPen);
            pDC->SelectObject(oldBrush);
            ReleaseDC(pDC);
        }
        m_markerRect.SetRect(marker - 4, h - 8, marker + 4, client.bottom);
    }
    CWnd *parent = GetParent();
    if (!parent)
        return;
    CPoint centre = point;
    ClientToScreen(&centre);
    parent->ScreenToClient(&centre);
    CRect drag(centre.x - m_dragRect.Width() / 2, centre.y - m_dragRect.Height() / 2, 0, 0);
    drag.right = drag.left + m_dragRect.Width();
    drag.bottom = drag.top + m_dragRect.Height();
    if (CDC *pDC = parent->GetDC()) {
        pDC->DrawDragRect(&drag, CSize(2, 2), m_lastDragRect.IsRectEmpty() ? nullptr : &m_lastDragRect,
                          CSize(2, 2));
        parent->ReleaseDC(pDC);
    }
    m_lastDragRect = drag;
}

void CGridHeader::EndDrag()
{
    CWnd *parent = GetParent();
    if (parent && !m_lastDragRect.IsRectEmpty()) {
        CRect last = m_lastDragRect;
        last.top -= 1;
        parent->InvalidateRect(&last);
        parent->UpdateWindow();
    }
    m_lastDragRect.SetRectEmpty();
    m_dragging = FALSE;
    m_dragWidths.clear();
    ReleaseCapture();
    if (m_dragTarget != m_dragSource && m_dragTarget != m_dragSource + 1) {
        if (parent && m_dropCallback)
            (parent->*m_dropCallback)(&m_dragSource, &m_dragTarget);
        if (m_sortColumn == m_dragSource)
            m_sortColumn = m_dragTarget;
        else if (m_sortColumn == m_dragTarget)
            m_sortColumn = m_dragSource;
    }
    Invalidate();
}
