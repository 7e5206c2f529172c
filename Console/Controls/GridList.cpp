#include "GridList.h"

#include "ColumnList.h"
#include "TextRoom.h"

#include <LoggedOn.h>

#include <CPen.h>
#include <CWinApp.h>

#include <cstdlib>
#include <utility>

namespace {

// LVCFMT_COL_HAS_IMAGES: the columns may show images, the text left-aligned.
const int kColumnFormat = 0x8000;
const COLORREF kListDefault = 0xFFFFFFFF;
// The stage of one cell of one row.
const DWORD kSubItemPrePaint = CDDS_ITEMPREPAINT | CDDS_SUBITEM;

// The width of the check box drawn in column 0.
const int kCheckBoxWidth = 16;

// Posted to a grid whose drawing is held, to switch it on again.
const UINT kResumeRedrawMessage = RegisterWindowMessageA("GridList.ResumeRedraw");

// The messages that paint or scroll the list, or read what its drawing has
// laid out: a held drawing is switched on before each of them.
bool NeedsDrawnList(UINT message)
{
    switch (message) {
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case LVM_ENSUREVISIBLE:
    case LVM_SCROLL:
    case LVM_GETTOPINDEX:
    case LVM_GETCOUNTPERPAGE:
        return true;
    default:
        return false;
    }
}

bool IsNumberText(const CString &text)
{
    if (text.IsEmpty())
        return false;
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// dd/mm/yyyy.
bool IsDateText(const CString &text)
{
    if (text.GetLength() != 10)
        return false;
    for (int i = 0; i < 10; ++i) {
        const bool slash = i == 2 || i == 5;
        if (slash ? text[i] != '/' : (text[i] < '0' || text[i] > '9'))
            return false;
    }
    return true;
}

int CompareNumbers(int a, int b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

int CompareNumberTexts(const CString &a, const CString &b)
{
    return CompareNumbers(atoi(a), atoi(b));
}

// Year, then month, then day; characters a text lacks count as 0.
int CompareDateTexts(const CString &a, const CString &b)
{
    struct Part { int first, count; };
    const Part parts[] = {{6, 4}, {3, 2}, {0, 2}};
    for (const Part &part : parts) {
        const int order = CompareNumbers(atoi(a.Mid(part.first, part.count)), atoi(b.Mid(part.first, part.count)));
        if (order != 0)
            return order;
    }
    return 0;
}

const CString &TextOf(const CJBaseCell *cell)
{
    static const CString empty;
    return cell ? cell->m_text : empty;
}

int ValueOf(const CJBaseCell *cell)
{
    return cell ? cell->m_value : 0;
}

void DeleteWithCells(GridRow *row)
{
    for (CJBaseCell *cell : row->cells)
        delete cell;
    delete row;
}

CJBaseCell *CellOf(const GridRow *row, int subItem)
{
    if (!row || subItem < 0 || subItem >= static_cast<int>(row->cells.size()))
        return nullptr;
    return row->cells[subItem];
}

} // namespace

BEGIN_MESSAGE_MAP(CGridList, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT(LVN_DELETEALLITEMS, OnDeleteAllItems)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClick)
    ON_WM_MOUSEMOVE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

// Rows read in the list's normal text colour: the frame colour, grey on
// some systems, would make every row look switched off.
CGridList::CGridList()
    : m_textColor(GetSysColor(COLOR_WINDOWTEXT)), m_backColor(GetSysColor(COLOR_WINDOW))
{
}

CGridList::~CGridList()
{
    if (GetSafeHwnd())
        DeleteAllItems();
    FreeAllRows();
}

void CGridList::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    m_header.SubclassWindow(reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)));
    LOGFONT font = {};
    HFONT parentFont = NULL;
    if (CWnd *parent = GetParent())
        parentFont = reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT));
    GetObject(parentFont ? parentFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), sizeof font, &font);
    font.lfHeight = -12;
    font.lfWeight = FW_NORMAL;
    m_listFont.CreateFontIndirect(&font);
}

// --- columns ---------------------------------------------------------------------

BOOL CGridList::SetColumns(const CString &columns)
{
    const bool made = ForEachColumn(columns, [this](const CString &title, int width) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = kColumnFormat;
        column.cx = width;
        column.pszText = const_cast<LPSTR>(static_cast<LPCTSTR>(title));
        column.iSubItem = m_columnCount;
        if (InsertColumn(m_columnCount, &column) == -1)
            return false;
        ++m_columnCount;
        return true;
    });
    if (!made)
        return FALSE;
    m_header.CreateCells(m_columnCount);
    SortItems(0, TRUE);
    return TRUE;
}

BOOL CGridList::SetColumns(UINT stringId)
{
    char text[1024] = {};
    LoadStringA(AfxGetResourceHandle(), stringId, text, sizeof text);
    return SetColumns(CString(text));
}

void CGridList::LockColumn(int column, BOOL)
{
    m_header.LockColumn(column);
}

BOOL CGridList::SetColumnCellType(int column, CRuntimeClass *pClass)
{
    if (column < 0 || column >= m_columnCount)
        return FALSE;
    if (pClass && (!pClass->IsDerivedFrom(RUNTIME_CLASS(CJBaseCell)) || !pClass->m_pfnCreateObject))
        return FALSE;
    if (column >= static_cast<int>(m_cellTypes.size()))
        m_cellTypes.resize(column + 1);
    m_cellTypes[column] = pClass;
    return TRUE;
}

// --- rows ------------------------------------------------------------------------

CJBaseCell *CGridList::MakeCell(int column)
{
    CRuntimeClass *type = column < static_cast<int>(m_cellTypes.size()) ? m_cellTypes[column] : nullptr;
    CJBaseCell *cell = type ? static_cast<CJBaseCell *>(type->CreateObject()) : nullptr;
    if (!cell)
        cell = new CJBaseCell;
    cell->m_pOwner = this;
    return cell;
}

int CGridList::AddRow(const CString *texts, int count)
{
    HoldRedraw();
    auto textOf = [&](int column) -> LPCTSTR { return column < count ? static_cast<LPCTSTR>(texts[column]) : ""; };
    GridRow *row = new GridRow;
    row->cells.reserve(m_columnCount);
    row->colors.assign(m_columnCount, GridRow::Colors{m_textColor, m_backColor});
    for (int column = 0; column < m_columnCount; ++column) {
        row->cells.push_back(MakeCell(column));
        row->cells.back()->m_text = textOf(column);
    }
    // The row goes in with the item, which spares the list a change of
    // every item and its notices.
    const int item = InsertItem(LVIF_TEXT | LVIF_PARAM, GetItemCount(), textOf(0), 0, 0, 0,
                                reinterpret_cast<LPARAM>(row));
    if (item == -1) {
        DeleteWithCells(row);
        return -1;
    }
    KeepRow(row);
    // Empty texts too: a list view may ask its parent for the text of a
    // sub-item it was never given, at every drawing of the row.
    for (int column = 1; column < m_columnCount; ++column)
        SetItemText(item, column, textOf(column));
    m_recentItem = item;
    m_recentRow = row;
    return item;
}

int CGridList::AddRow(std::initializer_list<CString> texts)
{
    return AddRow(texts.begin(), static_cast<int>(texts.size()));
}

// The list refuses to read an item past its end, which gives no row. No
// message goes out for a negative item: a read of the list asks for its
// item's row, and one for none must not ask again.
GridRow *CGridList::GetRow(int item) const
{
    if (item < 0)
        return nullptr;
    if (item == m_recentItem && m_recentRow)
        return m_recentRow;
    return reinterpret_cast<GridRow *>(GetItemData(item));
}

void CGridList::KeepRow(GridRow *row)
{
    row->slot = m_rows.size();
    m_rows.push_back(row);
}

void CGridList::FreeRow(GridRow *row)
{
    if (!row)
        return;
    // The last row takes the freed one's place.
    m_rows[row->slot] = m_rows.back();
    m_rows[row->slot]->slot = row->slot;
    m_rows.pop_back();
    DeleteWithCells(row);
}

void CGridList::FreeAllRows()
{
    m_pHovered = nullptr;
    for (GridRow *row : m_rows)
        DeleteWithCells(row);
    m_rows.clear();
}

// The item goes first, so the list never holds a freed row.
void CGridList::DeleteRow(int item)
{
    if (item < 0 || item >= GetItemCount())
        return;
    HoldRedraw();
    m_pHovered = nullptr;
    GridRow *row = GetRow(item);
    if (DeleteItem(item))
        FreeRow(row);
}

void CGridList::DeleteAllRows()
{
    HoldRedraw();
    DeleteAllItems();
    FreeAllRows();
}

BOOL CGridList::SetRowData(int item, DWORD value)
{
    GridRow *row = GetRow(item);
    if (!row)
        return FALSE;
    row->userValue = value;
    return TRUE;
}

DWORD CGridList::GetRowData(int item) const
{
    const GridRow *row = GetRow(item);
    return row ? row->userValue : 0;
}

int CGridList::FindRowByData(const GridRow *row) const
{
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(row);
    return FindItem(&find);
}

void CGridList::FillRowLater(int item)
{
    if (GridRow *row = GetRow(item))
        row->fillDue = m_rowFiller != nullptr;
}

void CGridList::FillRow(int item)
{
    GridRow *row = GetRow(item);
    if (!row || !row->fillDue)
        return;
    // Cleared first: the filler's own reads of the row must not fill it again.
    row->fillDue = false;
    m_rowFiller(item);
}

void CGridList::FillAllRows()
{
    for (int item = 0; item < GetItemCount(); ++item)
        FillRow(item);
}

// --- cells -----------------------------------------------------------------------

CJBaseCell *CGridList::GetCell(int item, int subItem) const
{
    return CellOf(GetRow(item), subItem);
}

BOOL CGridList::SetCell(int item, int subItem, CJBaseCell *cell)
{
    GridRow *row = GetRow(item);
    if (!row || subItem < 0 || subItem >= m_header.GetItemCount() ||
        subItem >= static_cast<int>(row->cells.size()))
        return FALSE;
    row->cells[subItem] = cell;
    return TRUE;
}

BOOL CGridList::SetCellType(int item, int subItem, CRuntimeClass *pClass)
{
    CJBaseCell *old = GetCell(item, subItem);
    if (!old || !pClass || !pClass->IsDerivedFrom(RUNTIME_CLASS(CJBaseCell)))
        return FALSE;
    CJBaseCell *cell = static_cast<CJBaseCell *>(pClass->CreateObject());
    if (!cell)
        return FALSE;
    cell->m_pOwner = this;
    cell->Copy(*old);
    if (!SetCell(item, subItem, cell)) {
        delete cell;
        return FALSE;
    }
    if (m_pHovered == old)
        m_pHovered = nullptr;
    delete old;
    return TRUE;
}

BOOL CGridList::SetCellText(int item, int subItem, LPCTSTR text)
{
    CJBaseCell *cell = GetCell(item, subItem);
    if (!cell || !SetItemText(item, subItem, text))
        return FALSE;
    cell->m_text = text;
    return TRUE;
}

BOOL CGridList::SetCellValue(int item, int subItem, int value)
{
    CJBaseCell *cell = GetCell(item, subItem);
    if (!cell)
        return FALSE;
    cell->m_value = value;
    return TRUE;
}

int CGridList::GetCellValue(int item, int subItem) const
{
    return ValueOf(GetCell(item, subItem));
}

BOOL CGridList::SetCellImage(int item, int subItem, int image)
{
    CJBaseCell *cell = GetCell(item, subItem);
    if (!cell)
        return FALSE;
    cell->m_image = image;
    return TRUE;
}

BOOL CGridList::SetCellColors(int item, int subItem, COLORREF text, COLORREF back)
{
    GridRow *row = GetRow(item);
    if (!CellOf(row, subItem))
        return FALSE;
    row->colors[subItem].text = text == kListDefault ? m_textColor : text;
    row->colors[subItem].back = back == kListDefault ? m_backColor : back;
    RedrawCell(item, subItem);
    return TRUE;
}

void CGridList::RedrawCell(int item, int subItem)
{
    // A held drawing ends in a redraw of every cell.
    if (m_redrawHeld || !GetCell(item, subItem))
        return;
    CRect rect = CellRect(item, subItem);
    InvalidateRect(&rect);
    UpdateWindow();
}

CRect CGridList::CellRect(int item, int subItem) const
{
    CRect rect;
    GetSubItemRect(item, subItem, LVIR_BOUNDS, rect);
    if (subItem == 0) {
        // The bounds of sub-item 0 are the whole row.
        CRect next;
        if (m_columnCount > 1 && GetSubItemRect(item, 1, LVIR_BOUNDS, next))
            rect.right = next.left;
        else
            rect.right = rect.left + GetColumnWidth(0);
    }
    return rect;
}

// --- selection and sorting ---------------------------------------------------------

void CGridList::SelectRow(int item, BOOL select)
{
    SetItemState(item, select ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void CGridList::SelectAll()
{
    SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

void CGridList::SortItems(int column, BOOL ascending)
{
    m_sortColumn = column;
    m_sortAscending = ascending;
    m_header.SetSortArrow(column, ascending);
    FillAllRows();
    CListCtrl::SortItems(&CGridList::CompareItems, reinterpret_cast<DWORD_PTR>(this));
}

int CALLBACK CGridList::CompareItems(LPARAM row1, LPARAM row2, LPARAM list)
{
    const CGridList *self = reinterpret_cast<const CGridList *>(list);
    const GridRow *first = reinterpret_cast<const GridRow *>(row1);
    const GridRow *second = reinterpret_cast<const GridRow *>(row2);
    if (!self->m_sortAscending)
        std::swap(first, second);
    const int column = self->m_sortColumn;
    const CJBaseCell *a = CellOf(first, column);
    const CJBaseCell *b = CellOf(second, column);
    // The kind comes from the cell of the row that was passed first.
    const CString &kind = TextOf(CellOf(reinterpret_cast<const GridRow *>(row1), column));
    if (IsNumberText(kind))
        return CompareNumberTexts(TextOf(a), TextOf(b));
    if (IsDateText(kind))
        return CompareDateTexts(TextOf(a), TextOf(b));
    if (!kind.IsEmpty())
        return lstrcmpA(TextOf(a), TextOf(b));
    if (column != 0)
        return ValueOf(a) - ValueOf(b);
    return (first ? first->value : 0) - (second ? second->value : 0);
}

// --- messages -----------------------------------------------------------------------

void CGridList::OnCustomDraw(NMHDR *pNMHDR, LRESULT *pResult)
{
    NMLVCUSTOMDRAW *draw = reinterpret_cast<NMLVCUSTOMDRAW *>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
        FillRow(static_cast<int>(draw->nmcd.dwItemSpec));
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT || draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        return;
    }
    if (draw->nmcd.dwDrawStage != kSubItemPrePaint)
        return;
    const int item = static_cast<int>(draw->nmcd.dwItemSpec);
    const int subItem = draw->iSubItem;
    COLORREF textColor = m_textColor, backColor = m_backColor;
    if (const GridRow *row = GetRow(item)) {
        if (CellOf(row, subItem)) {
            textColor = row->colors[subItem].text;
            backColor = row->colors[subItem].back;
        }
    }
    if (draw->nmcd.uItemState & CDIS_SELECTED) {
        textColor = m_selectedTextColor;
        backColor = m_selectedBackColor;
    }
    draw->clrText = textColor;
    draw->clrTextBk = backColor;

    CDC *pDC = CDC::FromHandle(draw->nmcd.hdc);
    CFont *oldFont = m_listFont.GetSafeHandle() ? pDC->SelectObject(&m_listFont) : nullptr;
    DrawSubItem(pDC, item, subItem, CellRect(item, subItem), draw->nmcd.uItemState, textColor, backColor);
    if (oldFont)
        pDC->SelectObject(oldFont);
    *pResult = CDRF_SKIPDEFAULT;
}

// Each cell's text, row by row, as DrawSubItem draws it.
LRESULT CGridList::AnswerTextRoom(WPARAM wParam, LPARAM lParam)
{
    if (m_columnCount == 0)
        return TEXT_ROOM_END;
    const int item = static_cast<int>(wParam) / m_columnCount;
    const int subItem = static_cast<int>(wParam) % m_columnCount;
    if (item >= GetItemCount())
        return TEXT_ROOM_END;
    TextRoom &room = *reinterpret_cast<TextRoom *>(lParam);
    FillRow(item);
    CJBaseCell *cell = GetCell(item, subItem);
    CRect rect = CellRect(item, subItem);
    if (subItem == 0 && (GetExtendedStyle() & LVS_EX_CHECKBOXES))
        rect.left += kCheckBoxWidth;
    if (!cell || !cell->TextArea(&rect))
        return TEXT_ROOM_FILLED;
    lstrcpynA(room.text, cell->m_text, sizeof room.text);
    room.room = rect;
    room.format = m_header.TextFormat(subItem);
    room.font = static_cast<HFONT>(m_listFont.GetSafeHandle());
    if (!room.font)
        room.font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    return TEXT_ROOM_FILLED;
}

void CGridList::DrawSubItem(CDC *pDC, int item, int subItem, CRect rect, UINT state, COLORREF textColor,
                            COLORREF backColor)
{
    pDC->FillSolidRect(&rect, backColor);
    if (subItem == 0 && (GetExtendedStyle() & LVS_EX_CHECKBOXES)) {
        CPen box(PS_SOLID, 2, RGB(0, 0, 0));
        CPen *oldPen = pDC->SelectObject(&box);
        pDC->MoveTo(rect.left + 3, rect.top + 3);
        pDC->LineTo(rect.left + 15, rect.top + 3);
        pDC->LineTo(rect.left + 15, rect.top + 15);
        pDC->LineTo(rect.left + 3, rect.top + 15);
        pDC->LineTo(rect.left + 3, rect.top + 3);
        pDC->SelectObject(oldPen);
        if (GetCheck(item) == 1) {
            for (int i = 0; i < 3; ++i) {
                pDC->MoveTo(rect.left + 5, rect.top + 7 + i);
                pDC->LineTo(rect.left + 7, rect.top + 9 + i);
                pDC->LineTo(rect.left + 12, rect.top + 4 + i);
            }
        }
        rect.left += kCheckBoxWidth;
    }
    // A row older than an appended column has no cell there: it stays empty.
    if (CJBaseCell *cell = GetCell(item, subItem))
        cell->Draw(pDC, &rect, state, m_header.TextFormat(subItem), textColor, backColor);
}

// The grid frees its rows itself: the list need not tell of each item.
void CGridList::OnDeleteAllItems(NMHDR *, LRESULT *pResult)
{
    *pResult = TRUE;
}

void CGridList::OnColumnClick(NMHDR *pNMHDR, LRESULT *pResult)
{
    *pResult = 0;
    if (!m_sortEnabled)
        return;
    const int column = reinterpret_cast<NMLISTVIEW *>(pNMHDR)->iSubItem;
    if (column == 0) {
        for (int item = 0; item < GetItemCount(); ++item)
            if (GridRow *row = GetRow(item))
                row->value = GetCheck(item);
    }
    const BOOL ascending = column != m_sortColumn || !m_sortAscending;
    SortItems(column, ascending);
}

BOOL CGridList::OnClick(NMHDR *pNMHDR, LRESULT *pResult)
{
    *pResult = 0;
    const NMITEMACTIVATE *click = reinterpret_cast<NMITEMACTIVATE *>(pNMHDR);
    if (!LoggedOn || click->iItem == -1 || click->iSubItem == -1)
        return FALSE;
    CJBaseCell *cell = GetCell(click->iItem, click->iSubItem);
    if (!cell)
        return FALSE;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    const RECT *rect = cell->GetRect();
    cell->OnClick(click->iItem, click->iSubItem, cursor.x - rect->left, cursor.y - rect->top);
    SetItemText(click->iItem, click->iSubItem, cell->m_text);
    // The owner handles the click too.
    return FALSE;
}

void CGridList::OnMouseMove(UINT nFlags, CPoint point)
{
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SubItemHitTest(&hit);
    CJBaseCell *cell = (hit.flags & LVHT_ONITEMLABEL) ? GetCell(hit.iItem, hit.iSubItem) : nullptr;
    if (cell && cell == m_pHovered) {
        cell->OnMouseMove(point);
    } else {
        if (m_pHovered)
            m_pHovered->OnMouseLeave();
        m_pHovered = cell;
        if (cell)
            cell->OnMouseEnter();
    }
    CListCtrl::OnMouseMove(nFlags, point);
}

// --- the held drawing ------------------------------------------------------------------

void CGridList::HoldRedraw()
{
    if (m_redrawHeld || m_redrawOffByOwner || !GetSafeHwnd())
        return;
    m_redrawHeld = TRUE;
    // Past this class's WindowProc, which takes a WM_SETREDRAW for the owner's.
    CListCtrl::WindowProc(WM_SETREDRAW, FALSE, 0);
    PostMessage(kResumeRedrawMessage);
}

void CGridList::ResumeRedraw()
{
    if (!m_redrawHeld)
        return;
    m_redrawHeld = FALSE;
    CListCtrl::WindowProc(WM_SETREDRAW, TRUE, 0);
    // Not every list view redraws when its drawing is switched on.
    Invalidate();
}

LRESULT CGridList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kResumeRedrawMessage) {
        ResumeRedraw();
        return 0;
    }
    if (MovesRows(message)) {
        m_recentItem = -1;
        m_recentRow = nullptr;
    }
    if (message == WM_SETREDRAW) {
        // The owner's word counts from here on; a held drawing is its to end.
        m_redrawHeld = FALSE;
        m_redrawOffByOwner = !wParam;
    } else if (NeedsDrawnList(message) || message == TextRoomMessage()) {
        ResumeRedraw();
    }
    if (message == TextRoomMessage())
        return AnswerTextRoom(wParam, lParam);
    FillRow(ItemReadBy(message, wParam, lParam));
    return CListCtrl::WindowProc(message, wParam, lParam);
}

bool CGridList::MovesRows(UINT message)
{
    switch (message) {
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_SETITEMA:
    case LVM_SETITEMW:
    case LVM_SORTITEMS:
    case LVM_SORTITEMSEX:
    case WM_DESTROY:
        return true;
    default:
        return false;
    }
}

int CGridList::ItemReadBy(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case LVM_GETITEMTEXTA:
    case LVM_GETITEMTEXTW:
        return static_cast<int>(wParam);
    case LVM_GETITEMA:
    case LVM_GETITEMW: {
        // The A and W items agree up to the text.
        const LVITEMA *item = reinterpret_cast<const LVITEMA *>(lParam);
        return item && (item->mask & LVIF_TEXT) ? item->iItem : -1;
    }
    default:
        return -1;
    }
}

void CGridList::OnDestroy()
{
    DeleteAllItems();
    FreeAllRows();
    CListCtrl::OnDestroy();
}

BOOL CGridList::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT *pResult)
{
    const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
    if (header->hwndFrom == m_header.GetSafeHwnd()) {
        const bool beginTrack = header->code == HDN_BEGINTRACKA || header->code == HDN_BEGINTRACKW;
        if (beginTrack && m_header.IsLocked(reinterpret_cast<const NMHEADERA *>(lParam)->iItem)) {
            // The divider of a locked column stays where it is.
            *pResult = 1;
            return TRUE;
        }
        if (beginTrack && ::GetFocus() != GetSafeHwnd())
            SetFocus();
    }
    return CListCtrl::OnNotify(wParam, lParam, pResult);
}
