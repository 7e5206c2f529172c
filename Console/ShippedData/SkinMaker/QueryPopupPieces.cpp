#include "QueryPopupPieces.h"

#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

namespace {

using namespace SkinPalette;

const int STATES = 3;

// The tail under the balloon: the balloon's fill with a slate edge down its
// slanted and right sides, as the window's region cuts it.
void PaintTail(SkinCanvas &c)
{
    c.Fill(RECT{0, 0, c.Width(), c.Height()}, AccentHover);
    const POINT tail[] = {{0, 0}, {c.Width() - 1, 0}, {c.Width() - 1, c.Height() - 1}};
    c.Polygon(tail, 3, AccentHover, Slate);
    c.Fill(RECT{1, 0, c.Width() - 1, 1}, AccentHover);
}

// A warning triangle in amber with a dark exclamation mark.
void PaintAlertSign(SkinCanvas &c)
{
    c.Fill(RECT{0, 0, c.Width(), c.Height()}, AccentHover);
    const POINT sign[] = {{16, 1}, {31, 29}, {1, 29}};
    c.Polygon(sign, 3, CellQuery, Slate);
    c.Fill(RECT{15, 10, 18, 21}, Slate);
    c.Fill(RECT{15, 23, 18, 26}, Slate);
}

// An answer button: its colour in the normal state, lighter on hover,
// darker and moved by a pixel when pressed.
void PaintAnswerCell(SkinCanvas &c, const RECT &cell, int state, COLORREF face, const char *text)
{
    const COLORREF faces[STATES] = {face, RGB(GetRValue(face) + (255 - GetRValue(face)) / 3,
                                              GetGValue(face) + (255 - GetGValue(face)) / 3,
                                              GetBValue(face) + (255 - GetBValue(face)) / 3),
                                    RGB(GetRValue(face) * 3 / 4, GetGValue(face) * 3 / 4,
                                        GetBValue(face) * 3 / 4)};
    c.Fill(cell, faces[state]);
    c.Frame(cell, Slate);
    const int shift = state == 2 ? 1 : 0;
    c.Text(cell.left + 28 + shift, cell.top + (cell.bottom - cell.top - 16) / 2 + shift, text, 16, FW_BOLD,
           White);
}

} // namespace

bool DrawQueryPopupPieces(const std::string &skinFolder)
{
    bool ok = true;
    auto check = [&](bool made, const char *name) {
        if (!made) {
            fprintf(stderr, "MakeSkin: cannot write %s\\%s\n", skinFolder.c_str(), name);
            ok = false;
        }
    };
    auto path = [&](const char *name) { return skinFolder + "\\" + name; };
    check(SkinPieces::PlainPiece(path("Query_Allow.bmp").c_str(), 10, 16, PaintTail), "Query_Allow.bmp");
    check(SkinPieces::PlainPiece(path("Icon_Alert.bmp").c_str(), 32, 32, PaintAlertSign), "Icon_Alert.bmp");
    struct Button { const char *file; COLORREF face; const char *text; };
    const Button buttons[] = {
        {"Query_But_Allow.bmp", CellPass, "Allow"},
        {"Query_But_Deny.bmp", CellDeny, "Deny"},
    };
    for (const Button &b : buttons)
        check(SkinPieces::StateStrip(path(b.file).c_str(), 100, 28, STATES, 1, false,
                                     [&b](SkinCanvas &c, const RECT &cell, int state, int) {
                                         PaintAnswerCell(c, cell, state, b.face, b.text);
                                     }),
              b.file);
    return ok;
}
