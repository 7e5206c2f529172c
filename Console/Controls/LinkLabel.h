// CLinkLabel: a static text that behaves as a hyperlink. It shows its URL
// as a tooltip, underlined in the link colours, with the hand cursor, and a
// click opens the URL with the shell and marks the link visited.
#pragma once

#include <CFont.h>
#include <CStatic.h>
#include <CString.h>
#include <CToolTipCtrl.h>

class CLinkLabel : public CStatic
{
public:
    CLinkLabel() = default;
    ~CLinkLabel() override;

    void SetURL(const CString &url);
    const CString &GetURL() const { return m_url; }
    BOOL IsVisited() const { return m_visited; }
    BOOL IsHovered() const { return m_hover; }

    BOOL PreTranslateMessage(MSG *pMsg) override;

    COLORREF m_normalColor = RGB(0, 0, 0xFF);
    COLORREF m_hoverColor = 0x2265F2;
    COLORREF m_visitedColor = RGB(0, 0, 0xFF);
    BOOL m_underline = TRUE;

protected:
    void PreSubclassWindow() override;
    afx_msg void OnClicked();
    afx_msg HBRUSH CtlColor(CDC *pDC, UINT nCtlColor);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd *pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void Redraw() { RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE); }

    BOOL m_hover = FALSE;
    BOOL m_visited = FALSE;
    CString m_url;
    HCURSOR m_hHandCursor = NULL;
    CFont m_font;
    CToolTipCtrl m_toolTip;
};
