#include "GridPictures.h"

#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

namespace {

using namespace SkinPalette;

const int kHeaderHeight = 24;
// The action cell's three boxes, where the cell takes clicks for pass,
// query and deny (right and bottom excluded).
const RECT kActionBoxes[3] = {{11, 2, 20, 12}, {24, 2, 32, 12}, {37, 2, 47, 12}};
const COLORREF kActionMarks[3] = {CellPass, CellQuery, CellDeny};

// Stretched over the whole header, or over the sort column: no upright
// edge, which the stretch would widen into a bar.
void PaintHeader(SkinCanvas &canvas, COLORREF top, COLORREF bottom)
{
    const int width = canvas.Width(), height = canvas.Height();
    canvas.Shade(RECT{0, 0, width, height - 1}, top, bottom);
    canvas.Fill(RECT{0, height - 1, width, height}, SlateBlue);
}

// The three boxes, the chosen one filled with its colour.
void PaintAction(SkinCanvas &canvas, int chosen)
{
    for (int i = 0; i < 3; ++i) {
        const RECT &box = kActionBoxes[i];
        canvas.Fill(box, i == chosen ? kActionMarks[i] : White);
        canvas.Frame(box, i == chosen ? Slate : SlateBlue);
    }
}

void PaintActive(SkinCanvas &canvas, bool active)
{
    canvas.Ellipse(RECT{3, 2, 13, 12}, active ? CellActive : Client, active ? Slate : SlateBlue);
}

void PaintKey(SkinCanvas &canvas)
{
    canvas.Ellipse(RECT{1, 3, 8, 10}, CellKey, Slate);
    canvas.Fill(RECT{4, 6, 5, 7}, Client);
    canvas.Fill(RECT{8, 6, 15, 8}, Slate);
    canvas.Fill(RECT{12, 8, 13, 10}, Slate);
    canvas.Fill(RECT{14, 8, 15, 11}, Slate);
}

void PaintOptionButton(SkinCanvas &canvas)
{
    const RECT face = {1, 1, 21, 13};
    canvas.Shade(face, AccentHover, Accent);
    canvas.Frame(face, SlateBlue);
    for (int x = 6; x <= 14; x += 4)
        canvas.Fill(RECT{x, 8, x + 2, 10}, Slate);
}

void PaintLock(SkinCanvas &canvas)
{
    canvas.Frame(RECT{4, 1, 12, 10}, Slate);
    canvas.Frame(RECT{5, 2, 11, 9}, Slate);
    canvas.Fill(RECT{2, 7, 14, 16}, CellKey);
    canvas.Frame(RECT{2, 7, 14, 16}, Slate);
    canvas.Fill(RECT{7, 10, 9, 13}, Slate);
}

void PaintOptionIcon(SkinCanvas &canvas)
{
    for (int row = 0; row < 3; ++row) {
        const int y = 3 + row * 5;
        canvas.Fill(RECT{2, y, 14, y + 2}, Slate);
        const int knob = row == 1 ? 9 : 4;
        canvas.Fill(RECT{knob, y - 1, knob + 3, y + 3}, SlateBlue);
        canvas.Frame(RECT{knob, y - 1, knob + 3, y + 3}, Slate);
    }
}

struct Picture
{
    const char *name;
    bool masked;
    int width, height;
    SkinPieces::Painter paint;
};

} // namespace

bool MakeGridPictures(const std::string &folder)
{
    const Picture pictures[] = {
        {"ListHead_Bk_Normal.bmp", false, 8, kHeaderHeight, [](SkinCanvas &c) { PaintHeader(c, AccentHover, Accent); }},
        {"ListHead_Bk_Select.bmp", false, 8, kHeaderHeight, [](SkinCanvas &c) { PaintHeader(c, Accent, AccentPressed); }},
        {"PassCell.bmp", true, 50, 14, [](SkinCanvas &c) { PaintAction(c, 0); }},
        {"QueryCell.bmp", true, 50, 14, [](SkinCanvas &c) { PaintAction(c, 1); }},
        {"DenyCell.bmp", true, 50, 14, [](SkinCanvas &c) { PaintAction(c, 2); }},
        {"Act1.bmp", true, 16, 14, [](SkinCanvas &c) { PaintActive(c, false); }},
        {"Act2.bmp", true, 16, 14, [](SkinCanvas &c) { PaintActive(c, true); }},
        {"KeyCell.bmp", true, 16, 14, PaintKey},
        {"OptionButCell.bmp", true, 22, 14, PaintOptionButton},
        {"LockCell.bmp", true, 16, 17, PaintLock},
        {"OptionCell.bmp", true, 16, 17, PaintOptionIcon},
    };
    bool ok = true;
    for (const Picture &picture : pictures) {
        const std::string path = folder + "\\" + picture.name;
        const bool made = picture.masked
                              ? SkinPieces::MaskedPiece(path.c_str(), picture.width, picture.height, picture.paint)
                              : SkinPieces::PlainPiece(path.c_str(), picture.width, picture.height, picture.paint);
        if (!made) {
            fprintf(stderr, "MakeSkin: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}
