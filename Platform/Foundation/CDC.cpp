#include "CDC.h"

#include <algorithm>

namespace {

// Applies a setting to the drawing DC and, when it is another one, to the
// attribute DC; the attribute DC's previous value is the result.
template <class Setter>
auto SetOnBoth(HDC hDC, HDC hAttribDC, Setter set)
{
    if (hDC != hAttribDC && hDC != NULL)
        set(hDC);
    return set(hAttribDC);
}

// Inverts the band of the given thickness inside rect with the brush
// selected in hDC. The four strips never overlap, so every pixel of the
// band is inverted exactly once and a second call restores them.
void InvertFrame(HDC hDC, const RECT &rect, SIZE size)
{
    const int width = std::max(0L, rect.right - rect.left);
    const int height = std::max(0L, rect.bottom - rect.top);
    const int top = std::min<int>(std::max(0L, size.cy), height);
    const int bottom = std::min<int>(std::max(0L, size.cy), height - top);
    const int left = std::min<int>(std::max(0L, size.cx), width);
    const int right = std::min<int>(std::max(0L, size.cx), width - left);
    const int sideHeight = height - top - bottom;
    if (top > 0)
        ::PatBlt(hDC, rect.left, rect.top, width, top, PATINVERT);
    if (bottom > 0)
        ::PatBlt(hDC, rect.left, rect.bottom - bottom, width, bottom, PATINVERT);
    if (sideHeight > 0 && left > 0)
        ::PatBlt(hDC, rect.left, rect.top + top, left, sideHeight, PATINVERT);
    if (sideHeight > 0 && right > 0)
        ::PatBlt(hDC, rect.right - right, rect.top + top, right, sideHeight, PATINVERT);
}

void InvertFrameWith(HDC hDC, HBRUSH hBrush, const RECT &rect, SIZE size)
{
    HGDIOBJ hOldBrush = ::SelectObject(hDC, hBrush);
    InvertFrame(hDC, rect, size);
    ::SelectObject(hDC, hOldBrush);
}

// The grey of a drag frame: every other pixel, so that inverting it shows
// the frame over any background.
HBRUSH CreateHalftoneBrush()
{
    static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA,
                                    0x5555, 0xAAAA, 0x5555, 0xAAAA};
    HBITMAP hBitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH hBrush = hBitmap ? ::CreatePatternBrush(hBitmap) : NULL;
    if (hBitmap)
        ::DeleteObject(hBitmap);
    return hBrush;
}

} // namespace

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == NULL || m_hDC != NULL)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = m_hAttribDC = NULL;
    return hDC;
}

BOOL CDC::CreateCompatibleDC(CDC *pDC)
{
    if (m_hDC != NULL)
        return FALSE;
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : NULL));
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == NULL)
        return FALSE;
    return ::DeleteDC(Detach());
}

HGDIOBJ CDC::SelectGdiObject(HGDIOBJ hObject)
{
    if (hObject == NULL)
        return NULL;
    return SetOnBoth(m_hDC, m_hAttribDC, [hObject](HDC hDC) { return ::SelectObject(hDC, hObject); });
}

CPen *CDC::SelectObject(CPen *pPen)
{
    return CPen::FromHandle(static_cast<HPEN>(SelectGdiObject(pPen ? pPen->m_hObject : NULL)));
}

CBrush *CDC::SelectObject(CBrush *pBrush)
{
    return CBrush::FromHandle(
        static_cast<HBRUSH>(SelectGdiObject(pBrush ? pBrush->m_hObject : NULL)));
}

CFont *CDC::SelectObject(CFont *pFont)
{
    return CFont::FromHandle(static_cast<HFONT>(SelectGdiObject(pFont ? pFont->m_hObject : NULL)));
}

CBitmap *CDC::SelectObject(CBitmap *pBitmap)
{
    // A bitmap goes only into a memory DC, which is its own attribute DC.
    if (pBitmap == NULL || pBitmap->m_hObject == NULL)
        return NULL;
    return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, pBitmap->m_hObject)));
}

CGdiObject *CDC::SelectStockObject(int nIndex)
{
    return CGdiObject::FromHandle(SelectGdiObject(::GetStockObject(nIndex)));
}

COLORREF CDC::SetBkColor(COLORREF crColor)
{
    return SetOnBoth(m_hDC, m_hAttribDC, [crColor](HDC hDC) { return ::SetBkColor(hDC, crColor); });
}

COLORREF CDC::SetTextColor(COLORREF crColor)
{
    return SetOnBoth(m_hDC, m_hAttribDC,
                     [crColor](HDC hDC) { return ::SetTextColor(hDC, crColor); });
}

int CDC::SetBkMode(int nBkMode)
{
    return SetOnBoth(m_hDC, m_hAttribDC, [nBkMode](HDC hDC) { return ::SetBkMode(hDC, nBkMode); });
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT previous = {0, 0};
    SetOnBoth(m_hDC, m_hAttribDC, [&](HDC hDC) { return ::SetWindowOrgEx(hDC, x, y, &previous); });
    return previous;
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT previous = {0, 0};
    SetOnBoth(m_hDC, m_hAttribDC, [&](HDC hDC) { return ::MoveToEx(hDC, x, y, &previous); });
    return previous;
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32(m_hAttribDC, lpszString, nCount, &size);
    return size;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF crColor)
{
    ::SetBkColor(m_hDC, crColor);
    ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, lpRect, NULL, 0, NULL);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor)
{
    const RECT rect = {x, y, x + cx, y + cy};
    FillSolidRect(&rect, crColor);
}

void CDC::DrawDragRect(LPCRECT lpRect, SIZE size, LPCRECT lpRectLast, SIZE sizeLast,
                       CBrush *pBrush, CBrush *pBrushLast)
{
    HBRUSH hHalftone = NULL;
    HBRUSH hBrush = pBrush ? static_cast<HBRUSH>(*pBrush) : NULL;
    if (hBrush == NULL)
        hBrush = hHalftone = CreateHalftoneBrush();
    HBRUSH hBrushLast = pBrushLast ? static_cast<HBRUSH>(*pBrushLast) : hBrush;

    // Inverting is its own undo: taking the last frame away and drawing the
    // new one leaves untouched every pixel the two frames share.
    if (lpRectLast)
        InvertFrameWith(m_hDC, hBrushLast, *lpRectLast, sizeLast);
    if (lpRect)
        InvertFrameWith(m_hDC, hBrush, *lpRect, size);

    if (hHalftone)
        ::DeleteObject(hHalftone);
}
