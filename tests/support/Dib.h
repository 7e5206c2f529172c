// Pixels of a screen area as a device-independent bitmap: 32 bits a pixel,
// top row first, so that a test reads what a person would see.
#pragma once

#include <windows.h>
#include <vector>

class CDib {
public:
    CDib() = default;
    CDib(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return m_bits.empty(); }

    // Colours as COLORREF (0x00BBGGRR); the point must lie inside.
    COLORREF Pixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF colour);

    // How many pixels of `area` (clipped to the bitmap) have the colour.
    int CountColour(COLORREF colour, const RECT &area) const;
    int CountColour(COLORREF colour) const;

    // The pixels of `area`, which lies inside, as a bitmap of their own.
    CDib Part(const RECT &area) const;
    // How many pixels differ from `other`'s; all of them when the sizes differ.
    int CountDifferences(const CDib &other) const;

    // The rows as a 32-bit top-down DIB holds them (0x00RRGGBB).
    const DWORD *Bits() const { return m_bits.data(); }
    DWORD *Bits() { return m_bits.data(); }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_bits;
};

// Copies a rectangle of the screen as it is shown now; empty on failure.
CDib CaptureScreenRect(const RECT &screen);
// The window's rectangle on the screen, after its pending paint has been
// done: with whatever lies over it, as a person sees it.
CDib CaptureWindow(HWND window);
CDib CaptureScreen();
// A text drawn with DrawText in the font, colour and format on a plain
// background of the given size: what a control that draws it must show.
CDib DrawTextPicture(const char *text, HFONT font, UINT format, SIZE size, COLORREF colour, COLORREF back);
// A picture file as its pixels; empty when it cannot be read.
CDib ReadPictureFile(const char *path);
