#include "LogsPagePieces.h"

#include "ProgramPagePieces.h"
#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

namespace {

using namespace SkinPalette;

// The Go button's face with its four corner pixels left to the mask.
void PaintGoCell(SkinCanvas &c, const RECT &cell, int state)
{
    PaintPageButtonCell(c, cell, state, "Go");
    const POINT corners[] = {{cell.left, cell.top},
                             {cell.right - 1, cell.top},
                             {cell.left, cell.bottom - 1},
                             {cell.right - 1, cell.bottom - 1}};
    for (const POINT &corner : corners)
        c.SetPixel(corner.x, corner.y, SkinPieces::Key);
}

// A slate arrow pointing right, from the window's start to its end.
void PaintArrow(SkinCanvas &c)
{
    const POINT shaft[] = {{1, 8}, {9, 8}, {9, 11}, {1, 11}};
    c.Polygon(shaft, 4, Slate, Slate);
    const POINT head[] = {{8, 3}, {15, 9}, {8, 16}};
    c.Polygon(head, 3, Slate, Slate);
}

bool Report(bool made, const std::string &folder, const char *name)
{
    if (!made)
        fprintf(stderr, "MakeSkin: cannot write %s\\%s\n", folder.c_str(), name);
    return made;
}

} // namespace

bool DrawLogsPagePieces(const std::string &skinFolder)
{
    bool ok = DrawPageButtonStrip(skinFolder, "But_LOG_Firewall.bmp", 92, 24, "Firewall");
    ok = DrawPageButtonStrip(skinFolder, "But_LOG_Programs.bmp", 92, 24, "Programs") && ok;
    const std::string go = skinFolder + "\\But_Go.bmp";
    ok = Report(SkinPieces::StateStrip(go.c_str(), 40, 22, 3, 1, true,
                                       [](SkinCanvas &c, const RECT &cell, int state, int) {
                                           PaintGoCell(c, cell, state);
                                       }),
                skinFolder, "But_Go.bmp") && ok;
    const std::string arrow = skinFolder + "\\arrow.bmp";
    ok = Report(SkinPieces::MaskedPiece(arrow.c_str(), 16, 20, PaintArrow), skinFolder, "arrow.bmp") &&
         ok;
    return ok;
}
