// A CDC that draws into a 32-bit top-down DIB section, whose pixels the test
// reads straight from memory: the drawing target of the picture tests.
#pragma once

#include <CDC.h>

class DibSectionDC : public CDC
{
public:
    DibSectionDC(int width, int height, COLORREF fill) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        Attach(::CreateCompatibleDC(nullptr));
        void *bits = nullptr;
        m_section = CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<DWORD *>(bits);
        m_old = ::SelectObject(m_hDC, m_section);
        FillSolidRect(0, 0, width, height, fill);
    }
    ~DibSectionDC() override
    {
        ::SelectObject(m_hDC, m_old);
        ::DeleteObject(m_section);
    }

    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const DWORD p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // How many pixels of the area have the colour.
    int Count(COLORREF colour, const RECT &area) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += Pixel(x, y) == colour;
        return count;
    }
    int Count(COLORREF colour) const { return Count(colour, RECT{0, 0, m_width, m_height}); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width;
    int m_height;
    HBITMAP m_section = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD *m_bits = nullptr;
};
