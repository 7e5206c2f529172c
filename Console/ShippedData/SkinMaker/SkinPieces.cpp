#include "SkinPieces.h"

#include "SkinCanvas.h"

#include <SkinPalette.h>

#include <vector>

namespace SkinPieces {

namespace {

// The painted canvas as an image above its mask, in a canvas twice as high.
bool SaveImageOverMask(const SkinCanvas &painted, LPCTSTR path)
{
    const int width = painted.Width(), height = painted.Height();
    SkinCanvas out(width, height * 2, SkinPalette::Black);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = painted.Pixel(x, y);
            const bool covered = colour != Key;
            out.SetPixel(x, y, covered ? colour : SkinPalette::Black);
            out.SetPixel(x, height + y, covered ? SkinPalette::Black : SkinPalette::White);
        }
    }
    return out.SaveBmp(path);
}

template <typename T>
void Put(std::vector<BYTE> &bytes, const T &value)
{
    const BYTE *p = reinterpret_cast<const BYTE *>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
}

// One icon image: the header (twice the height, for colour and mask), the
// 32-bit colours bottom-up, then the 1-bit mask bottom-up (1 = transparent).
std::vector<BYTE> IconImage(const SkinCanvas &canvas)
{
    const int size = canvas.Width();
    std::vector<BYTE> bytes;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = size;
    info.biHeight = size * 2;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    Put(bytes, info);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const COLORREF c = canvas.Pixel(x, y);
            const bool covered = c != Key;
            const BYTE pixel[4] = {covered ? GetBValue(c) : BYTE(0), covered ? GetGValue(c) : BYTE(0),
                                   covered ? GetRValue(c) : BYTE(0), covered ? BYTE(255) : BYTE(0)};
            bytes.insert(bytes.end(), pixel, pixel + 4);
        }
    }
    const int maskStride = ((size + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<BYTE> row(maskStride, 0);
        for (int x = 0; x < size; ++x)
            if (canvas.Pixel(x, y) == Key)
                row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    return bytes;
}

bool WriteFileBytes(LPCTSTR path, const std::vector<BYTE> &bytes)
{
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(out);
    return ok;
}

} // namespace

bool PlainPiece(LPCTSTR path, int width, int height, const Painter &paint)
{
    SkinCanvas canvas(width, height, SkinPalette::Client);
    paint(canvas);
    return canvas.SaveBmp(path);
}

bool MaskedPiece(LPCTSTR path, int width, int height, const Painter &paint)
{
    SkinCanvas canvas(width, height, Key);
    paint(canvas);
    return SaveImageOverMask(canvas, path);
}

bool StateStrip(LPCTSTR path, int cellWidth, int cellHeight, int states, int rows, bool masked,
                const CellPainter &paint)
{
    SkinCanvas canvas(cellWidth * states, cellHeight * rows, masked ? Key : SkinPalette::Client);
    for (int row = 0; row < rows; ++row) {
        for (int state = 0; state < states; ++state) {
            const RECT cell = {state * cellWidth, row * cellHeight, (state + 1) * cellWidth,
                               (row + 1) * cellHeight};
            // Each cell paints in its own coordinates and cannot spill into the next.
            HRGN clip = CreateRectRgnIndirect(&cell);
            SelectClipRgn(canvas.Dc(), clip);
            paint(canvas, cell, state, row);
            SelectClipRgn(canvas.Dc(), nullptr);
            DeleteObject(clip);
        }
    }
    return masked ? SaveImageOverMask(canvas, path) : canvas.SaveBmp(path);
}

bool Icon(LPCTSTR path, const int *sizes, int sizeCount, const Painter &paint)
{
    std::vector<std::vector<BYTE>> images;
    for (int i = 0; i < sizeCount; ++i) {
        SkinCanvas canvas(sizes[i], sizes[i], Key);
        paint(canvas);
        images.push_back(IconImage(canvas));
    }
    std::vector<BYTE> bytes;
    const WORD directory[3] = {0, 1, static_cast<WORD>(sizeCount)};   // reserved, icon, count
    Put(bytes, directory);
    DWORD offset = 6 + 16 * sizeCount;
    for (int i = 0; i < sizeCount; ++i) {
        const BYTE dimensions[4] = {static_cast<BYTE>(sizes[i]), static_cast<BYTE>(sizes[i]), 0, 0};
        bytes.insert(bytes.end(), dimensions, dimensions + 4);
        const WORD planesAndBits[2] = {1, 32};
        Put(bytes, planesAndBits);
        Put(bytes, static_cast<DWORD>(images[i].size()));
        Put(bytes, offset);
        offset += static_cast<DWORD>(images[i].size());
    }
    for (const std::vector<BYTE> &image : images)
        bytes.insert(bytes.end(), image.begin(), image.end());
    return WriteFileBytes(path, bytes);
}

} // namespace SkinPieces
