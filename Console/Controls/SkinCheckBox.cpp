#include "SkinCheckBox.h"

#include <CPaintDC.h>
#include <CPen.h>

#include "TextRoom.h"

namespace {

const COLORREF ENABLED_COLOUR = RGB(0, 0, 0);
const COLORREF DISABLED_COLOUR = RGB(100, 100, 100);
const int TEXT_LEFT = 16;

} // namespace

BEGIN_MESSAGE_MAP(CSkinCheckBox, CStatic)
    ON_WM_PAINT()
    ON_MESSAGE(WM_ENABLE, OnEnableChanged)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_CONTROL_REFLECT_EX(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

void CSkinCheckBox::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    CStatic::PreSubclassWindow();
}

void CSkinCheckBox::EnableCheck(BOOL enable)
{
    m_bEnabled = enable;
    EnableWindow(enable);
}

LRESULT CSkinCheckBox::OnEnableChanged(WPARAM, LPARAM)
{
    Invalidate(TRUE);
    return 0;
}

LRESULT CSkinCheckBox::OnSetText(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = ::DefWindowProcA(m_hWnd, WM_SETTEXT, wParam, lParam);
    RepaintWithBackground();
    return result;
}

// The box and text are drawn transparently over what lies behind: the old
// text goes only when the parent paints its background there again.
void CSkinCheckBox::RepaintWithBackground()
{
    if (CWnd *parent = GetParent()) {
        CRect rect;
        GetWindowRect(&rect);
        parent->ScreenToClient(&rect);
        parent->InvalidateRect(&rect, TRUE);
    }
    Invalidate(TRUE);
}

BOOL CSkinCheckBox::OnClicked()
{
    if (m_nMode == 0)
        m_bChecked = !m_bChecked;
    else if (m_nMode == 1)
        m_bChecked = TRUE;
    Invalidate(TRUE);
    return FALSE;
}

HFONT CSkinCheckBox::ParentFont() const
{
    CWnd *parent = GetParent();
    return parent ? reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT)) : NULL;
}

CRect CSkinCheckBox::TextArea() const
{
    CRect area;
    GetClientRect(&area);
    area.left = TEXT_LEFT;
    area.top += 2;
    return area;
}

LRESULT CSkinCheckBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != TextRoomMessage())
        return CStatic::WindowProc(message, wParam, lParam);
    TextRoom *request = WindowTextRoom(m_hWnd, wParam, lParam);
    if (!request)
        return TEXT_ROOM_END;
    TextRoom &room = *request;
    room.room = TextArea();
    room.format = 0;
    room.font = ParentFont();
    return TEXT_ROOM_FILLED;
}

void CSkinCheckBox::OnPaint()
{
    CPaintDC dc(this);
    const COLORREF colour = m_bEnabled ? ENABLED_COLOUR : DISABLED_COLOUR;
    dc.SetBkMode(TRANSPARENT);
    HFONT parentFont = ParentFont();
    HGDIOBJ oldFont = parentFont ? ::SelectObject(dc, parentFont) : NULL;

    // The box; its inside takes the context's own brush, white.
    CPen border(PS_SOLID, 2, colour);
    CPen *oldPen = dc.SelectObject(&border);
    dc.Rectangle(1, 4, 13, 16);

    CPen stroke(PS_SOLID, 1, colour);
    dc.SelectObject(&stroke);
    if (m_bChecked) {
        for (int i = 0; i < 3; ++i) {
            dc.MoveTo(3, 8 + i);
            dc.LineTo(5, 10 + i);
            dc.LineTo(10, 5 + i);
        }
    }
    dc.SelectObject(oldPen);

    CString text;
    GetWindowText(text);
    CRect area = TextArea();
    COLORREF oldColour = dc.SetTextColor(colour);
    dc.DrawText(text, &area, 0);
    dc.SetTextColor(oldColour);
    if (parentFont)
        ::SelectObject(dc, oldFont);
}
