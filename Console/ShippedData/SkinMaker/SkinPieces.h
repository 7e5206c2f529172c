// The kinds of picture the skin is made of, one call each. A painter draws
// a piece on a canvas; for pieces with a mask the canvas starts in the key
// colour, and whatever the painter leaves in that colour lets the window
// behind show through.
//
//   plain piece     the picture as painted;
//   image over mask one file twice as high: the image (black where the
//                   background shows) above its mask (black where the
//                   image covers, white where the background shows);
//   state strip     one cell per state side by side (normal, hover,
//                   pressed, checked ...), one row per variant, with the
//                   mask below the whole strip when it has one.
#pragma once

#include <windows.h>

#include <functional>

class SkinCanvas;

namespace SkinPieces {

// Never used by a painter: it marks what the painter did not cover.
constexpr COLORREF Key = RGB(255, 0, 255);

using Painter = std::function<void(SkinCanvas &canvas)>;
using CellPainter = std::function<void(SkinCanvas &canvas, const RECT &cell, int state, int row)>;

bool PlainPiece(LPCTSTR path, int width, int height, const Painter &paint);
bool MaskedPiece(LPCTSTR path, int width, int height, const Painter &paint);
bool StateStrip(LPCTSTR path, int cellWidth, int cellHeight, int states, int rows, bool masked,
                const CellPainter &paint);

// An icon file with one 32-bit image of each size; the key colour is
// transparent. The painter is called once per size.
bool Icon(LPCTSTR path, const int *sizes, int sizeCount, const Painter &paint);

} // namespace SkinPieces
