#include "SkinButton.h"

#include <CClientDC.h>

namespace {

const UINT_PTR TOOL_ID = 1;

enum Column { NORMAL, HOVER, PRESSED, CHECKED };

// The style bits an owner-drawn button keeps from its template.
const DWORD KEPT_STYLE = 0xF4;

} // namespace

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSkinButton::~CSkinButton() = default;

void CSkinButton::PreSubclassWindow()
{
    m_toolTip.Create(this, 0);
    CRect client;
    GetClientRect(&client);
    m_toolTip.AddTool(this, m_toolTipText, &client, TOOL_ID);
    SendMessage(BM_SETSTYLE, (GetStyle() & KEPT_STYLE) | BS_OWNERDRAW, TRUE);
    CButton::PreSubclassWindow();
}

BOOL CSkinButton::PreTranslateMessage(MSG *pMsg)
{
    if (m_toolTip.GetSafeHwnd())
        m_toolTip.RelayEvent(pMsg);
    return CButton::PreTranslateMessage(pMsg);
}

void CSkinButton::SetToolTipText(const CString &text)
{
    m_toolTipText = text;
    if (m_hWnd && m_toolTip.GetSafeHwnd())
        m_toolTip.UpdateTipText(m_toolTipText, this, TOOL_ID);
}

void CSkinButton::CreateLayer(CBitmapLayer &layer, CSkinBitmap &picture, const RECT &part)
{
    CClientDC client(this);
    CDC *reference = client.GetSafeHdc() ? &client : NULL;
    const int width = part.right - part.left, height = part.bottom - part.top;
    if (!layer.Create(reference, width, height))
        return;

    CDC source;
    source.CreateCompatibleDC(reference);
    CBitmap *oldSource = source.SelectObject(&picture.m_bitmap);
    layer.DC().BitBlt(0, 0, width, height, &source, part.left, part.top, SRCCOPY);
    source.SelectObject(oldSource);
}

void CSkinButton::SetBitmap(const CString &path, int states, BOOL hasMask)
{
    CSkinBitmap picture;
    if (!picture.Load(path))
        return;
    const int width = picture.m_size.cx, height = picture.m_size.cy;
    const int imageHeight = hasMask ? height / 2 : height;
    CreateLayer(m_image, picture, RECT{0, 0, width, imageHeight});
    if (hasMask)
        CreateLayer(m_mask, picture, RECT{0, height / 2, width, height});
    else
        m_mask.Free();
    m_nStateWidth = width / (states < 1 ? 1 : states);
    m_nStateHeight = imageHeight;
}

void CSkinButton::SetRows(int rows)
{
    m_nStateHeight /= rows < 1 ? 1 : rows;
}

void CSkinButton::SetRow(int row)
{
    m_nRow = row;
    Invalidate();
}

void CSkinButton::SetCheck(BOOL check)
{
    m_bChecked = check;
    EnableWindow(!check);
    Invalidate();
}

BOOL CSkinButton::EnableButton(BOOL enable)
{
    SetCheck(!enable);
    return TRUE;
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    DrawState(CDC::FromHandle(lpDrawItemStruct->hDC), CString(), &lpDrawItemStruct->rcItem,
              (lpDrawItemStruct->itemState & ODS_SELECTED) != 0,
              (lpDrawItemStruct->itemState & ODS_DISABLED) != 0);
}

void CSkinButton::DrawState(CDC *pDC, const CString & /*text*/, RECT *rect, BOOL selected,
                            BOOL /*disabled*/)
{
    if (!m_image.IsMade())
        return;
    int column = NORMAL;
    if (m_bChecked)
        column = CHECKED;
    else if (m_bHover)
        column = selected ? PRESSED : HOVER;
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    const int sourceX = width * column, sourceY = height * m_nRow;
    if (m_mask.IsMade()) {
        pDC->BitBlt(0, 0, width, height, &m_mask.DC(), sourceX, sourceY, SRCAND);
        pDC->BitBlt(0, 0, width, height, &m_image.DC(), sourceX, sourceY, SRCINVERT);
    } else {
        pDC->BitBlt(0, 0, width, height, &m_image.DC(), sourceX, sourceY, SRCCOPY);
    }
}

void CSkinButton::InvalidateUnderneath()
{
    CWnd *parent = GetParent();
    if (!parent)
        return;
    CRect rect;
    GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    parent->InvalidateRect(&rect, TRUE);
}

void CSkinButton::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    const bool leftDown = (nFlags & MK_LBUTTON) != 0;
    if (leftDown && !m_bHover)
        return;
    if (::GetCapture() != m_hWnd) {
        if (GetOwner()) {
            m_bHover = TRUE;
            SetCapture();
            InvalidateUnderneath();
        }
        return;
    }
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point))
        return;
    if (!(m_bHover && m_bHasFocus && m_bFocusHover)) {
        m_bHover = FALSE;
        InvalidateUnderneath();
    }
    if (!leftDown)
        ::ReleaseCapture();
}

void CSkinButton::OnSetFocus(CWnd *pOldWnd)
{
    CButton::OnSetFocus(pOldWnd);
    m_bHasFocus = TRUE;
    if (m_bFocusHover) {
        m_bHover = TRUE;
        Invalidate();
    }
}

void CSkinButton::OnKillFocus(CWnd *pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    m_bHasFocus = FALSE;
    m_bHover = FALSE;
    Invalidate();
}

BOOL CSkinButton::OnEraseBkgnd(CDC * /*pDC*/)
{
    return m_mask.IsMade();
}
