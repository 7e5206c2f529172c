#include "SkinCanvas.h"

#include <vector>

SkinCanvas::SkinCanvas(int width, int height, COLORREF fill)
    : m_width(width), m_height(height), m_stride((width * 3 + 3) & ~3), m_bits(nullptr)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    m_dc = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<BYTE *>(bits);
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
    RECT all = {0, 0, width, height};
    Fill(all, fill);
}

SkinCanvas::~SkinCanvas()
{
    SelectObject(m_dc, m_oldBitmap);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF SkinCanvas::Pixel(int x, int y) const
{
    GdiFlush();
    const BYTE *p = m_bits + y * m_stride + x * 3;
    return RGB(p[2], p[1], p[0]);
}

void SkinCanvas::SetPixel(int x, int y, COLORREF colour)
{
    GdiFlush();
    BYTE *p = m_bits + y * m_stride + x * 3;
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
}

void SkinCanvas::Fill(const RECT &rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(m_dc, &rect, brush);
    DeleteObject(brush);
}

void SkinCanvas::Frame(const RECT &rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(m_dc, &rect, brush);
    DeleteObject(brush);
}

void SkinCanvas::Shade(const RECT &rect, COLORREF top, COLORREF bottom)
{
    const int rows = rect.bottom - rect.top;
    for (int i = 0; i < rows; ++i) {
        const int span = rows > 1 ? rows - 1 : 1;
        auto mix = [&](BYTE a, BYTE b) { return static_cast<BYTE>(a + (b - a) * i / span); };
        RECT row = {rect.left, rect.top + i, rect.right, rect.top + i + 1};
        Fill(row, RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
                      mix(GetBValue(top), GetBValue(bottom))));
    }
}

void SkinCanvas::Polygon(const POINT *points, int count, COLORREF fill, COLORREF edge)
{
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, edge);
    HGDIOBJ oldBrush = SelectObject(m_dc, brush);
    HGDIOBJ oldPen = SelectObject(m_dc, pen);
    ::Polygon(m_dc, points, count);
    SelectObject(m_dc, oldPen);
    SelectObject(m_dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void SkinCanvas::Ellipse(const RECT &rect, COLORREF fill, COLORREF edge)
{
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, edge);
    HGDIOBJ oldBrush = SelectObject(m_dc, brush);
    HGDIOBJ oldPen = SelectObject(m_dc, pen);
    ::Ellipse(m_dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(m_dc, oldPen);
    SelectObject(m_dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void SkinCanvas::Text(int x, int y, LPCTSTR text, int height, int weight, COLORREF colour)
{
    HFONT font = CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, "Arial");
    HGDIOBJ oldFont = SelectObject(m_dc, font);
    SetBkMode(m_dc, TRANSPARENT);
    SetTextColor(m_dc, colour);
    TextOutA(m_dc, x, y, text, lstrlenA(text));
    SelectObject(m_dc, oldFont);
    DeleteObject(font);
}

SIZE SkinCanvas::TextSize(LPCTSTR text, int height, int weight) const
{
    HFONT font = CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, "Arial");
    HGDIOBJ oldFont = SelectObject(m_dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(m_dc, text, lstrlenA(text), &size);
    SelectObject(m_dc, oldFont);
    DeleteObject(font);
    return size;
}

void SkinCanvas::Paste(const SkinCanvas &source, int x, int y)
{
    BitBlt(m_dc, x, y, source.m_width, source.m_height, source.m_dc, 0, 0, SRCCOPY);
}

bool SkinCanvas::SaveBmp(LPCTSTR path) const
{
    GdiFlush();
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = m_width;
    info.biHeight = m_height;   // bottom-up in the file
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = m_stride * m_height;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;   // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;

    std::vector<BYTE> bytes(file.bfSize);
    memcpy(bytes.data(), &file, sizeof file);
    memcpy(bytes.data() + sizeof file, &info, sizeof info);
    for (int y = 0; y < m_height; ++y)
        memcpy(bytes.data() + file.bfOffBits + (m_height - 1 - y) * m_stride, m_bits + y * m_stride,
               m_stride);

    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(out, bytes.data(), file.bfSize, &written, nullptr) && written == file.bfSize;
    CloseHandle(out);
    return ok;
}
