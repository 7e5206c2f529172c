// A memory DC over a 32-bit top-down DIB section, for drawing tests that
// read back pixels.
#pragma once

#include <windows.h>

class DibSurface
{
public:
    DibSurface(int width, int height, COLORREF fill = RGB(255, 255, 255))
        : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_hDC = ::CreateCompatibleDC(NULL);
        m_hBitmap = ::CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS,
                                       reinterpret_cast<void **>(&m_pBits), NULL, 0);
        m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
        Fill(fill);
    }
    ~DibSurface()
    {
        ::SelectObject(m_hDC, m_hOldBitmap);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    DibSurface(const DibSurface &) = delete;
    DibSurface &operator=(const DibSurface &) = delete;

    HDC Dc() const { return m_hDC; }

    void Fill(COLORREF color)
    {
        ::GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            m_pBits[i] = ToPixel(color);
    }
    COLORREF Pixel(int x, int y) const
    {
        ::GdiFlush();
        const DWORD pixel = m_pBits[y * m_width + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    // True when both surfaces hold the same pixels.
    bool SameAs(const DibSurface &other) const
    {
        ::GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i) {
            if (m_pBits[i] != other.m_pBits[i])
                return false;
        }
        return true;
    }

private:
    static DWORD ToPixel(COLORREF color)
    {
        return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }

    int m_width;
    int m_height;
    HDC m_hDC = NULL;
    HBITMAP m_hBitmap = NULL;
    HGDIOBJ m_hOldBitmap = NULL;
    DWORD *m_pBits = nullptr;
};
