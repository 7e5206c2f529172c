#include "Dib.h"

#include "GuiPump.h"

// Time for the display to show what the windows have painted.
static const DWORD SHOW_MS = 60;

CDib::CDib(int width, int height)
    : m_width(width), m_height(height), m_bits(static_cast<size_t>(width) * height)
{
}

static COLORREF FromDibColour(DWORD bits)
{
    return RGB((bits >> 16) & 0xFF, (bits >> 8) & 0xFF, bits & 0xFF);
}

static DWORD ToDibColour(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

COLORREF CDib::Pixel(int x, int y) const
{
    return FromDibColour(m_bits[static_cast<size_t>(y) * m_width + x]);
}

void CDib::SetPixel(int x, int y, COLORREF colour)
{
    m_bits[static_cast<size_t>(y) * m_width + x] = ToDibColour(colour);
}

int CDib::CountColour(COLORREF colour, const RECT &area) const
{
    RECT all = {0, 0, m_width, m_height}, inside;
    if (!IntersectRect(&inside, &all, &area))
        return 0;
    int count = 0;
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x)
            count += Pixel(x, y) == colour;
    return count;
}

int CDib::CountColour(COLORREF colour) const
{
    return CountColour(colour, RECT{0, 0, m_width, m_height});
}

CDib CaptureScreenRect(const RECT &screen)
{
    int width = screen.right - screen.left, height = screen.bottom - screen.top;
    if (width <= 0 || height <= 0)
        return CDib();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screenDC = GetDC(nullptr);
    HDC memoryDC = CreateCompatibleDC(screenDC);
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(screenDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    CDib dib;
    if (section) {
        HGDIOBJ previous = SelectObject(memoryDC, section);
        if (BitBlt(memoryDC, 0, 0, width, height, screenDC, screen.left, screen.top, SRCCOPY)) {
            GdiFlush();
            dib = CDib(width, height);
            const DWORD *rows = static_cast<const DWORD *>(bits);
            for (int i = 0; i < width * height; ++i)
                dib.Bits()[i] = rows[i] & 0x00FFFFFF;
        }
        SelectObject(memoryDC, previous);
        DeleteObject(section);
    }
    DeleteDC(memoryDC);
    ReleaseDC(nullptr, screenDC);
    return dib;
}

CDib CaptureWindow(HWND window)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return CDib();
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(SHOW_MS);
    return CaptureScreenRect(rect);
}

CDib CaptureScreen()
{
    PumpFor(SHOW_MS);
    RECT all = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CaptureScreenRect(all);
}
