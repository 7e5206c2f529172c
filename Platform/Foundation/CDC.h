// CDC: a device context. Drawing goes to m_hDC; what is asked of the device
// (text extents, the background colour) comes from m_hAttribDC. Both are the
// same handle except where an owner sets them apart.
//
// The destructor deletes the DC that m_hDC holds then. Every borrower
// therefore leaves m_hDC NULL before it goes: temporary wrappers (FromHandle),
// CPaintDC and CClientDC do so themselves, and an owner that borrows another
// DC's handles clears them in its own destructor.
#pragma once

#include "CBitmap.h"
#include "CBrush.h"
#include "CFont.h"
#include "CGdiObject.h"
#include "CPen.h"
#include "CPoint.h"
#include "CRect.h"
#include "CRgn.h"
#include "CSize.h"
#include "CString.h"
#include "TempWrapper.h"

#include <windows.h>

class CDC : public CObject
{
public:
    CDC() = default;
    ~CDC() override;

    CDC(const CDC &) = delete;
    CDC &operator=(const CDC &) = delete;

    HDC m_hDC = NULL;
    HDC m_hAttribDC = NULL;
    BOOL m_bPrinting = FALSE;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL IsPrinting() const { return m_bPrinting; }

    static CDC *FromHandle(HDC hDC) { return TempWrapperFor<CDC>(hDC); }

    // Takes ownership of hDC for drawing and attributes alike. FALSE for
    // NULL or when this object already holds a DC.
    BOOL Attach(HDC hDC);
    HDC Detach();
    // A memory DC compatible with pDC's device (the screen for NULL), owned
    // by this object.
    BOOL CreateCompatibleDC(CDC *pDC);
    BOOL DeleteDC();

    // Each returns the previously selected object as a temporary of the
    // same class, which never deletes it; NULL on failure. Selecting the
    // temporary again restores the DC.
    CPen *SelectObject(CPen *pPen);
    CBrush *SelectObject(CBrush *pBrush);
    CFont *SelectObject(CFont *pFont);
    CBitmap *SelectObject(CBitmap *pBitmap);
    // The handle form: returns the previous object's handle. A selection
    // that outlives the message that made it (a memory DC kept in a member)
    // keeps that handle to restore, never a temporary, which the idle
    // clean-up frees.
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return SelectGdiObject(hObject); }
    CGdiObject *SelectStockObject(int nIndex);

    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }

    // Colours and modes: set on the drawing DC and on the attribute DC.
    COLORREF GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
    COLORREF SetBkColor(COLORREF crColor);
    COLORREF GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
    COLORREF SetTextColor(COLORREF crColor);
    int GetBkMode() const { return ::GetBkMode(m_hAttribDC); }
    int SetBkMode(int nBkMode);

    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
    int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC *pSrcDC, int xSrc, int ySrc,
                DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : NULL, xSrc, ySrc,
                        dwRop);
    }
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC *pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop)
    {
        return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : NULL, xSrc,
                            ySrc, nSrcWidth, nSrcHeight, dwRop);
    }
    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop)
    {
        return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop);
    }

    // Fills with an opaque text-out, as the framework always has: the
    // background colour stays set to crColor afterwards.
    void FillSolidRect(LPCRECT lpRect, COLORREF crColor);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor);
    void FillRect(LPCRECT lpRect, CBrush *pBrush)
    {
        ::FillRect(m_hDC, lpRect, pBrush ? static_cast<HBRUSH>(*pBrush) : NULL);
    }

    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
    {
        return ::DrawText(m_hDC, lpszString, nCount, lpRect, nFormat);
    }
    int DrawText(const CString &str, LPRECT lpRect, UINT nFormat)
    {
        return DrawText(str, str.GetLength(), lpRect, nFormat);
    }
    BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount)
    {
        return ::TextOut(m_hDC, x, y, lpszString, nCount);
    }
    BOOL TextOut(int x, int y, const CString &str) { return TextOut(x, y, str, str.GetLength()); }
    // Measured on the attribute DC.
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
    CSize GetTextExtent(const CString &str) const { return GetTextExtent(str, str.GetLength()); }

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(LPCRECT lpRect)
    {
        return Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    BOOL Polygon(const POINT *lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
    void DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    BOOL DrawIcon(POINT point, HICON hIcon) { return DrawIcon(point.x, point.y, hIcon); }

    // The frame shown while something is dragged: the band between lpRect
    // and lpRect shrunk by size, inverted through pBrush (a half-tone grey
    // for NULL). With lpRectLast, the frame drawn last time (lpRectLast,
    // sizeLast, pBrushLast or else pBrush) is taken away in the same step,
    // so drawing a frame again with the same rectangle as the last one
    // erases it. The DC's clipping is left as it was.
    void DrawDragRect(LPCRECT lpRect, SIZE size, LPCRECT lpRectLast, SIZE sizeLast,
                      CBrush *pBrush = NULL, CBrush *pBrushLast = NULL);

    // For the temporary-object machinery only.
    void AttachTemporary(HDC hDC) { m_hDC = m_hAttribDC = hDC; }
    void DetachTemporary() { m_hDC = m_hAttribDC = NULL; }

private:
    HGDIOBJ SelectGdiObject(HGDIOBJ hObject);
};
