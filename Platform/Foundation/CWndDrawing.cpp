// The CWnd members that hand out or take drawing objects.
#include "CWnd.h"

#include "CDC.h"
#include "CFont.h"
#include "CRgn.h"

CDC *AfxDCFromHandle(HDC hDC)
{
    return CDC::FromHandle(hDC);
}

CDC *CWnd::GetDC()
{
    return m_hWnd != NULL ? CDC::FromHandle(::GetDC(m_hWnd)) : NULL;
}

int CWnd::ReleaseDC(CDC *pDC)
{
    if (m_hWnd == NULL || pDC == NULL)
        return 0;
    return ::ReleaseDC(m_hWnd, pDC->m_hDC);
}

CFont *CWnd::GetFont() const
{
    if (m_hWnd == NULL)
        return NULL;
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
}

void CWnd::SetFont(CFont *pFont, BOOL bRedraw)
{
    if (m_hWnd != NULL)
        ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(pFont != NULL ? pFont->m_hObject : NULL), bRedraw);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn *prgnUpdate, UINT flags)
{
    return m_hWnd != NULL &&
           ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate != NULL ? static_cast<HRGN>(*prgnUpdate) : NULL, flags);
}
