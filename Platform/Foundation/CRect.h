// CRect: a RECT with the arithmetic of the Win32 rectangle functions, done
// inline (no user32 needed). Width and Height may be negative; == compares
// all four edges, so two different empty rectangles are not equal.
#pragma once

#include "CPoint.h"
#include "CSize.h"

#include <windows.h>

class CRect : public RECT
{
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT &srcRect) : RECT(srcRect) {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    void SetRect(int x1, int y1, int x2, int y2)
    {
        left = x1;
        top = y1;
        right = x2;
        bottom = y2;
    }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    // No area: as wide or as high as nothing, or less.
    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    // The left and top edges are inside, the right and bottom ones are not.
    BOOL PtInRect(POINT point) const
    {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }

    // The common part of the two; empty (all zero) and FALSE when they do
    // not overlap.
    BOOL IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2)
    {
        CRect common(Max(lpRect1->left, lpRect2->left), Max(lpRect1->top, lpRect2->top),
                     Min(lpRect1->right, lpRect2->right), Min(lpRect1->bottom, lpRect2->bottom));
        if (CRect(*lpRect1).IsRectEmpty() || CRect(*lpRect2).IsRectEmpty() || common.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        *this = common;
        return TRUE;
    }

    void OffsetRect(int x, int y)
    {
        left += x;
        right += x;
        top += y;
        bottom += y;
    }
    void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
    void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }

    void InflateRect(int x, int y) { InflateRect(x, y, x, y); }
    void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(int l, int t, int r, int b)
    {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    void DeflateRect(int x, int y) { InflateRect(-x, -y); }
    void DeflateRect(SIZE size) { InflateRect(-size.cx, -size.cy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }

    bool operator==(const RECT &rect) const
    {
        return left == rect.left && top == rect.top && right == rect.right && bottom == rect.bottom;
    }
    bool operator!=(const RECT &rect) const { return !(*this == rect); }

private:
    static LONG Max(LONG a, LONG b) { return a > b ? a : b; }
    static LONG Min(LONG a, LONG b) { return a < b ? a : b; }
};
