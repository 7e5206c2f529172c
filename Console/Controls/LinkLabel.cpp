#include "LinkLabel.h"

#include "HandCursor.h"

#include <CDC.h>
#include <CRect.h>

#include <shellapi.h>

namespace {

const UINT_PTR kToolId = 1;

} // namespace

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CLinkLabel::~CLinkLabel()
{
    if (m_hHandCursor)
        DestroyCursor(m_hHandCursor);
}

void CLinkLabel::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    CString text;
    GetWindowText(text);
    if (m_url.IsEmpty())
        m_url = text;
    else if (text.IsEmpty())
        SetWindowText(m_url);

    LOGFONT font = {};
    HFONT own = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    GetObject(own ? own : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), sizeof font, &font);
    font.lfUnderline = static_cast<BYTE>(m_underline);
    m_font.CreateFontIndirect(&font);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);

    if (!m_hHandCursor)
        m_hHandCursor = CopyHelpHandCursor();

    m_toolTip.Create(this);
    CRect client;
    GetClientRect(&client);
    m_toolTip.AddTool(this, m_url, &client, kToolId);
    CStatic::PreSubclassWindow();
}

void CLinkLabel::SetURL(const CString &url)
{
    m_url = url;
    if (GetSafeHwnd() && m_toolTip.GetSafeHwnd())
        m_toolTip.UpdateTipText(m_url, this, kToolId);
}

void CLinkLabel::OnClicked()
{
    ShellExecuteA(NULL, "open", m_url, NULL, NULL, SW_SHOW);
    m_visited = TRUE;
}

HBRUSH CLinkLabel::CtlColor(CDC *pDC, UINT)
{
    pDC->SetTextColor(m_hover ? m_hoverColor : m_visited ? m_visitedColor : m_normalColor);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CLinkLabel::OnMouseMove(UINT nFlags, CPoint point)
{
    CStatic::OnMouseMove(nFlags, point);
    if (!m_hover) {
        m_hover = TRUE;
        Redraw();
        SetCapture();
        return;
    }
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        m_hover = FALSE;
        ReleaseCapture();
        Redraw();
    }
}

BOOL CLinkLabel::OnSetCursor(CWnd *, UINT, UINT)
{
    if (!m_hHandCursor)
        return FALSE;
    ::SetCursor(m_hHandCursor);
    return TRUE;
}

BOOL CLinkLabel::PreTranslateMessage(MSG *pMsg)
{
    if (m_toolTip.GetSafeHwnd())
        m_toolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}
