// SkinCanvas: a 24-bit picture in memory that GDI draws on, written out as a
// bitmap file. Rows run top-down; the file stores them bottom-up.
#pragma once

#include <windows.h>

class SkinCanvas
{
public:
    SkinCanvas(int width, int height, COLORREF fill);
    ~SkinCanvas();
    SkinCanvas(const SkinCanvas &) = delete;
    SkinCanvas &operator=(const SkinCanvas &) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // For GDI drawing; the pixels are read back after a GdiFlush.
    HDC Dc() const { return m_dc; }

    COLORREF Pixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF colour);

    void Fill(const RECT &rect, COLORREF colour);
    // A one-pixel edge just inside the rectangle.
    void Frame(const RECT &rect, COLORREF colour);
    // Rows shade evenly from the top colour to the bottom one.
    void Shade(const RECT &rect, COLORREF top, COLORREF bottom);
    void Polygon(const POINT *points, int count, COLORREF fill, COLORREF edge);
    void Ellipse(const RECT &rect, COLORREF fill, COLORREF edge);
    // Text without smoothing, so no blended colour reaches an edge.
    void Text(int x, int y, LPCTSTR text, int height, int weight, COLORREF colour);
    // The size Text would give the text, for centring it.
    SIZE TextSize(LPCTSTR text, int height, int weight) const;
    // Copies another canvas in at (x, y).
    void Paste(const SkinCanvas &source, int x, int y);

    bool SaveBmp(LPCTSTR path) const;

private:
    int m_width;
    int m_height;
    int m_stride;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_oldBitmap;
    BYTE *m_bits;
};
