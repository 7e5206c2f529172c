// The main window's own pictures: the side bar's page buttons, the caption
// buttons, the lock switch, the tool bar's mark and the logged-on and
// logged-off pictures, in the one look.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class SkinCanvas;

// Paints the console's mark into a square of the given size at (left, top).
using MarkPainter = std::function<void(SkinCanvas &canvas, int left, int top, int size)>;

// Draws them into the skin folder; false when any could not be written
// (each failure is reported on stderr).
bool DrawMainWindowPieces(const std::string &skinFolder, const MarkPainter &paintMark);
