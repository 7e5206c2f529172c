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

CDib CDib::Part(const RECT &area) const
{
    CDib part(area.right - area.left, area.bottom - area.top);
    for (int y = 0; y < part.m_height; ++y)
        for (int x = 0; x < part.m_width; ++x)
            part.m_bits[static_cast<size_t>(y) * part.m_width + x] =
                m_bits[static_cast<size_t>(area.top + y) * m_width + area.left + x];
    return part;
}

int CDib::CountDifferences(const CDib &other) const
{
    if (other.m_width != m_width || other.m_height != m_height)
        return m_width * m_height;
    int count = 0;
    for (size_t i = 0; i < m_bits.size(); ++i)
        count += m_bits[i] != other.m_bits[i];
    return count;
}

// The bits of a bitmap as a 32-bit top-down DIB.
static CDib ReadBitmap(HBITMAP bitmap)
{
    BITMAP size = {};
    if (!GetObjectA(bitmap, sizeof size, &size) || size.bmWidth <= 0 || size.bmHeight <= 0)
        return CDib();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = -size.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    CDib dib(size.bmWidth, size.bmHeight);
    HDC screenDC = GetDC(nullptr);
    const int rows = GetDIBits(screenDC, bitmap, 0, size.bmHeight, dib.Bits(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screenDC);
    if (rows != size.bmHeight)
        return CDib();
    for (int i = 0; i < dib.Width() * dib.Height(); ++i)
        dib.Bits()[i] &= 0x00FFFFFF;
    return dib;
}

CDib DrawTextPicture(const char *text, HFONT font, UINT format, SIZE size, COLORREF colour, COLORREF back)
{
    HDC screenDC = GetDC(nullptr);
    HDC memoryDC = CreateCompatibleDC(screenDC);
    HBITMAP bitmap = CreateCompatibleBitmap(screenDC, size.cx, size.cy);
    ReleaseDC(nullptr, screenDC);
    HGDIOBJ oldBitmap = SelectObject(memoryDC, bitmap);
    HGDIOBJ oldFont = SelectObject(memoryDC, font);
    RECT area = {0, 0, size.cx, size.cy};
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(memoryDC, &area, brush);
    DeleteObject(brush);
    SetBkMode(memoryDC, TRANSPARENT);
    SetTextColor(memoryDC, colour);
    DrawTextA(memoryDC, text, -1, &area, format);
    SelectObject(memoryDC, oldFont);
    SelectObject(memoryDC, oldBitmap);
    DeleteDC(memoryDC);
    CDib dib = ReadBitmap(bitmap);
    DeleteObject(bitmap);
    return dib;
}

CDib ReadPictureFile(const char *path)
{
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap)
        return CDib();
    CDib dib = ReadBitmap(bitmap);
    DeleteObject(bitmap);
    return dib;
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
