#include "SkinLabel.h"

#include "HandCursor.h"
#include "SkinPalette.h"
#include "TextRoom.h"

#include <CClientDC.h>
#include <CPaintDC.h>
#include <CRect.h>

namespace {

// The style bits whose text is one line (the static control's type field
// compared by bits, as the console always has: SS_CENTER, SS_RIGHT, 8).
const DWORD kSingleLineStyles = 0x0B;

} // namespace

BEGIN_MESSAGE_MAP(CSkinLabel, CStatic)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CSkinLabel::~CSkinLabel()
{
    // The label's own copy of the cursor.
    if (m_hHandCursor)
        DestroyCursor(m_hHandCursor);
}

void CSkinLabel::SetLabelFont(const CString &face, int height, int weight, BOOL italic,
                              BOOL underline, BOOL fromParent)
{
    m_font.DeleteObject();
    LOGFONT font = {};
    if (fromParent) {
        // A parent without a font starts from nothing.
        if (CFont *parentFont = ParentFont())
            parentFont->GetLogFont(&font);
    }
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic);
    font.lfUnderline = static_cast<BYTE>(underline);
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    m_font.CreateFontIndirect(&font);
}

BOOL CSkinLabel::AttachPreset(UINT id, CWnd *parent, COLORREF backColor, COLORREF textColor)
{
    if (!SubclassDlgItem(id, parent))
        return FALSE;
    m_bTransparent = FALSE;
    m_backColor = backColor;
    SetLabelFont("Arial", -12, FW_NORMAL, FALSE, FALSE, FALSE);
    m_textColor = textColor;
    return TRUE;
}

BOOL CSkinLabel::AttachAccent(UINT id, CWnd *parent)
{
    return AttachPreset(id, parent, SkinPalette::LabelLightBack, SkinPalette::LabelAccentText);
}

BOOL CSkinLabel::AttachDark(UINT id, CWnd *parent)
{
    return AttachPreset(id, parent, SkinPalette::LabelLightBack, SkinPalette::LabelDarkText);
}

BOOL CSkinLabel::AttachPlain(UINT id, CWnd *parent)
{
    return AttachPreset(id, parent, SkinPalette::LabelPlainBack, SkinPalette::Black);
}

void CSkinLabel::LoadHandCursor()
{
    if (!m_hHandCursor)
        m_hHandCursor = CopyHelpHandCursor();
}

void CSkinLabel::LoadHandCursorFrom(LPCTSTR modulePath)
{
    if (!m_hHandCursor)
        m_hHandCursor = CopyHandCursorFrom(modulePath);
}

CFont *CSkinLabel::ParentFont() const
{
    CWnd *parent = GetParent();
    if (!parent)
        return NULL;
    return CFont::FromHandle(reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT)));
}

void CSkinLabel::OnPaint()
{
    CPaintDC dc(this);
    // The static's own painting, on the region just validated, draws nothing
    // but asks for its colours: the reflected CtlColor below.
    Default();
    if (m_bFramed)
        PaintFramed(dc);
    else
        PaintPlain(dc);
}

void CSkinLabel::PaintPlain(CDC &dc)
{
    CRect client;
    GetClientRect(&client);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_textColor);
    CFont *font = m_font.GetSafeHandle() ? &m_font : ParentFont();
    CFont *oldFont = font ? dc.SelectObject(font) : NULL;

    CString text;
    GetWindowText(text);
    dc.DrawText(text, &client, PlainFormat());

    if (oldFont)
        dc.SelectObject(oldFont);
}

UINT CSkinLabel::PlainFormat() const
{
    const DWORD style = GetStyle();
    UINT format = DT_END_ELLIPSIS;
    if (style & SS_CENTER)
        format |= DT_CENTER;
    else if (style & SS_RIGHT)
        format |= DT_RIGHT;
    format |= (style & kSingleLineStyles) ? DT_SINGLELINE : DT_WORDBREAK;
    // A label that shows a file name or an address draws its '&' as it is.
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    return format;
}

// The caption at the top left, and a frame around the whole control that
// starts just left of the caption and ends just right of it, at the height
// of the caption's middle. The right and bottom sides lie on the client
// area's last column and row.
void CSkinLabel::PaintFramed(CDC &dc)
{
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_textColor);
    CFont *oldFont = m_font.GetSafeHandle() ? dc.SelectObject(&m_font) : NULL;

    CRect client;
    GetClientRect(&client);
    const int right = client.right - 1, bottom = client.bottom - 1;
    CString text;
    GetWindowText(text);
    if (!text.IsEmpty()) {
        const CSize extent = dc.GetTextExtent(text);
        dc.TextOut(extent.cy + 1, 0, text);
        const int middle = extent.cy / 2;
        dc.MoveTo(extent.cy - 3, middle);
        dc.LineTo(0, middle);
        dc.LineTo(0, bottom);
        dc.LineTo(right, bottom);
        dc.LineTo(right, client.top + middle);
        dc.LineTo(client.left + extent.cx + extent.cy + 3, client.top + middle);
    } else {
        dc.MoveTo(0, 0);
        dc.LineTo(0, bottom);
        dc.LineTo(right, bottom);
        dc.LineTo(right, 0);
        dc.LineTo(0, 0);
    }

    if (oldFont)
        dc.SelectObject(oldFont);
}

LRESULT CSkinLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != TextRoomMessage())
        return CStatic::WindowProc(message, wParam, lParam);
    TextRoom *request = WindowTextRoom(m_hWnd, wParam, lParam);
    if (!request)
        return TEXT_ROOM_END;
    TextRoom &room = *request;
    GetClientRect(&room.room);
    CFont *font = m_font.GetSafeHandle() ? &m_font : (m_bFramed ? NULL : ParentFont());
    room.font = font ? static_cast<HFONT>(font->GetSafeHandle()) : NULL;
    room.format = PlainFormat();
    if (m_bFramed) {
        // The caption stands one line-height in from either side.
        CClientDC dc(this);
        CFont *oldFont = font ? dc.SelectObject(font) : NULL;
        const int inset = dc.GetTextExtent(CString("X")).cy + 1;
        if (oldFont)
            dc.SelectObject(oldFont);
        room.room.left += inset;
        room.room.right -= inset;
        room.format = DT_SINGLELINE;
    }
    return TEXT_ROOM_FILLED;
}

HBRUSH CSkinLabel::CtlColor(CDC *pDC, UINT /*nCtlColor*/)
{
    if (m_bTransparent)
        pDC->SetBkMode(TRANSPARENT);
    else
        pDC->SetBkColor(m_backColor);
    pDC->SetTextColor(m_textColor);
    if (m_font.GetSafeHandle())
        pDC->SelectObject(&m_font);
    // Nothing fills the control: the skinned window behind it shows.
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

BOOL CSkinLabel::OnSetCursor(CWnd *pWnd, UINT nHitTest, UINT message)
{
    if (!m_hHandCursor)
        return CStatic::OnSetCursor(pWnd, nHitTest, message);
    ::SetCursor(m_hHandCursor);
    return TRUE;
}
