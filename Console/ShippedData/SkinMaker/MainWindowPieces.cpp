#include "MainWindowPieces.h"

#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

namespace {

using namespace SkinPalette;

// The side bar's cells; the main window lays the buttons out by them.
const int SIDE_WIDTH = 36;
const int SIDE_HEIGHT = 46;
// The caption buttons' cells, inside the 30-pixel title band.
const int CAPTION_SIZE = 17;
const int LOCK_WIDTH = 30;
const int LOCK_HEIGHT = 24;

// The columns of a state strip.
enum { NORMAL, HOVER, PRESSED, CHECKED };

struct Writer
{
    std::string folder;
    bool ok = true;

    std::string Path(const char *name) const { return folder + "\\" + name; }
    void Report(bool made, const char *name)
    {
        if (!made) {
            fprintf(stderr, "MakeSkin: cannot write %s\\%s\n", folder.c_str(), name);
            ok = false;
        }
    }
};

RECT Inset(const RECT &r, int d) { return RECT{r.left + d, r.top + d, r.right - d, r.bottom - d}; }

// A button face: light accent, one step lighter hovered, a step darker and
// moved down a pixel pressed, the slate blue when checked (the page shown).
int FaceOffset(int state) { return state == PRESSED ? 1 : 0; }

void PaintFace(SkinCanvas &c, const RECT &cell, int state, COLORREF normal)
{
    COLORREF face = normal;
    if (state == HOVER)
        face = AccentHover;
    else if (state == PRESSED)
        face = AccentPressed;
    else if (state == CHECKED)
        face = SlateBlue;
    c.Fill(cell, face);
    c.Frame(cell, state == NORMAL ? Accent : Slate);
}

// The symbol of each page, drawn in a square of `s` at (x, y).
void PaintMonitorSymbol(SkinCanvas &c, int x, int y, int s, COLORREF ink)
{
    c.Frame(RECT{x, y, x + s, y + s}, ink);
    const POINT line[] = {{x + 2, y + s - 5}, {x + s / 3, y + s / 2}, {x + s / 2, y + s - 7},
                          {x + s - 3, y + 3}, {x + s - 3, y + 5}, {x + s / 2, y + s - 4},
                          {x + s / 3, y + s / 2 + 3}, {x + 2, y + s - 3}};
    c.Polygon(line, 8, ink, ink);
}

void PaintFirewallSymbol(SkinCanvas &c, int x, int y, int s, COLORREF ink)
{
    const int row = s / 4;
    for (int r = 0; r < 4; ++r) {
        const int shift = (r % 2) ? s / 4 : 0;
        for (int b = -1; b < 2; ++b) {
            const int left = x + shift + b * s / 2;
            RECT brick = {left, y + r * row, left + s / 2 - 1, y + (r + 1) * row - 1};
            if (brick.left < x)
                brick.left = x;
            if (brick.right > x + s)
                brick.right = x + s;
            if (brick.right > brick.left)
                c.Fill(brick, ink);
        }
    }
}

void PaintProgramSymbol(SkinCanvas &c, int x, int y, int s, COLORREF ink)
{
    c.Frame(RECT{x, y, x + s, y + s}, ink);
    c.Fill(RECT{x, y, x + s, y + 5}, ink);
    c.Fill(RECT{x + 4, y + 9, x + s - 4, y + 11}, ink);
    c.Fill(RECT{x + 4, y + 14, x + s - 8, y + 16}, ink);
}

void PaintLogsSymbol(SkinCanvas &c, int x, int y, int s, COLORREF ink)
{
    c.Frame(RECT{x + 2, y, x + s - 2, y + s}, ink);
    for (int line = 0; line < 4; ++line)
        c.Fill(RECT{x + 5, y + 4 + line * 4, x + s - 5, y + 6 + line * 4}, ink);
}

void PaintOptionsSymbol(SkinCanvas &c, int x, int y, int s, COLORREF ink)
{
    const int cx = x + s / 2, cy = y + s / 2;
    c.Fill(RECT{cx - 2, y, cx + 2, y + s}, ink);
    c.Fill(RECT{x, cy - 2, x + s, cy + 2}, ink);
    c.Ellipse(RECT{x + 3, y + 3, x + s - 3, y + s - 3}, ink, ink);
    c.Ellipse(RECT{cx - 3, cy - 3, cx + 3, cy + 3}, White, White);
}

void PaintInfoSymbol(SkinCanvas &c, int x, int y, int s, COLORREF ink)
{
    c.Ellipse(RECT{x, y, x + s, y + s}, ink, ink);
    const int cx = x + s / 2;
    c.Fill(RECT{cx - 1, y + 4, cx + 2, y + 7}, White);
    c.Fill(RECT{cx - 1, y + 9, cx + 2, y + s - 4}, White);
}

using SymbolPainter = void (*)(SkinCanvas &, int, int, int, COLORREF);

void SideButton(Writer &out, const char *name, SymbolPainter symbol)
{
    out.Report(SkinPieces::StateStrip(out.Path(name).c_str(), SIDE_WIDTH, SIDE_HEIGHT, 4, 1, false,
                                      [symbol](SkinCanvas &c, const RECT &cell, int state, int) {
                                          c.Fill(cell, Client);
                                          PaintFace(c, Inset(cell, 1), state, Accent);
                                          const int s = 20, d = FaceOffset(state);
                                          const COLORREF ink = state == CHECKED ? White : Slate;
                                          symbol(c, cell.left + (SIDE_WIDTH - s) / 2 + d,
                                                 cell.top + (SIDE_HEIGHT - s) / 2 + d, s, ink);
                                      }),
               name);
}

// A caption button over the title band: a frame lit on hover, the symbol
// in white.
using CaptionSymbol = void (*)(SkinCanvas &, const RECT &, int row);

void CaptionButton(Writer &out, const char *name, int rows, CaptionSymbol symbol)
{
    out.Report(SkinPieces::StateStrip(out.Path(name).c_str(), CAPTION_SIZE, CAPTION_SIZE, 3, rows, false,
                                      [symbol](SkinCanvas &c, const RECT &cell, int state, int row) {
                                          c.Shade(cell, Slate, SlateBlue);
                                          if (state != NORMAL) {
                                              c.Fill(Inset(cell, 1), state == HOVER ? SlateBlue : Slate);
                                              c.Frame(Inset(cell, 1), Accent);
                                          }
                                          const int d = FaceOffset(state);
                                          symbol(c, RECT{cell.left + 4 + d, cell.top + 4 + d,
                                                         cell.right - 4 + d, cell.bottom - 4 + d},
                                                 row);
                                      }),
               name);
}

void CloseSymbol(SkinCanvas &c, const RECT &r, int)
{
    const POINT one[] = {{r.left, r.top}, {r.left + 2, r.top}, {r.right, r.bottom - 2},
                         {r.right, r.bottom}, {r.right - 2, r.bottom}, {r.left, r.top + 2}};
    c.Polygon(one, 6, White, White);
    const POINT two[] = {{r.right, r.top}, {r.right, r.top + 2}, {r.left + 2, r.bottom},
                         {r.left, r.bottom}, {r.left, r.bottom - 2}, {r.right - 2, r.top}};
    c.Polygon(two, 6, White, White);
}

void MinimizeSymbol(SkinCanvas &c, const RECT &r, int)
{
    c.Fill(RECT{r.left, r.bottom - 2, r.right, r.bottom}, White);
}

// Row 0 maximises (one window), row 1 restores (two windows).
void MaximizeSymbol(SkinCanvas &c, const RECT &r, int row)
{
    if (row == 0) {
        c.Frame(r, White);
        c.Fill(RECT{r.left, r.top, r.right, r.top + 2}, White);
        return;
    }
    c.Frame(RECT{r.left + 3, r.top, r.right, r.bottom - 3}, White);
    c.Fill(RECT{r.left, r.top + 3, r.right - 3, r.bottom}, SlateBlue);
    c.Frame(RECT{r.left, r.top + 3, r.right - 3, r.bottom}, White);
    c.Fill(RECT{r.left, r.top + 3, r.right - 3, r.top + 5}, White);
}

void HelpSymbol(SkinCanvas &c, const RECT &r, int)
{
    c.Text(r.left + 1, r.top - 3, "?", 14, FW_BOLD, White);
}

// The lock switch: row 0 an open padlock (normal), row 1 a closed one
// (locked).
void LockSwitch(Writer &out)
{
    const char *name = "BUT_MAIN_LOCK.bmp";
    out.Report(SkinPieces::StateStrip(out.Path(name).c_str(), LOCK_WIDTH, LOCK_HEIGHT, 3, 2, false,
                                      [](SkinCanvas &c, const RECT &cell, int state, int row) {
                                          c.Shade(cell, AccentHover, Accent);
                                          PaintFace(c, Inset(cell, 1), state, Accent);
                                          const int d = FaceOffset(state);
                                          const int x = cell.left + 9 + d, y = cell.top + 4 + d;
                                          const COLORREF ink = row ? Slate : SlateBlue;
                                          const int lift = row ? 0 : 3;
                                          c.Frame(RECT{x + 2, y - lift, x + 10, y + 8 - lift}, ink);
                                          c.Frame(RECT{x + 3, y + 1 - lift, x + 9, y + 8 - lift}, ink);
                                          c.Fill(RECT{x, y + 6, x + 12, y + 16}, ink);
                                          c.Fill(RECT{x + 5, y + 9, x + 7, y + 13}, White);
                                      }),
               name);
}

// The status picture at the bottom left: a key and the state in words,
// whose descenders end inside the picture, above the window's bottom band.
void StatusPicture(Writer &out, const char *name, const char *text, COLORREF ink)
{
    out.Report(SkinPieces::MaskedPiece(out.Path(name).c_str(), 79, 14,
                                       [text, ink](SkinCanvas &c) {
                                           c.Ellipse(RECT{0, 2, 9, 11}, ink, ink);
                                           c.Ellipse(RECT{3, 5, 6, 8}, White, White);
                                           c.Fill(RECT{8, 5, 15, 7}, ink);
                                           c.Fill(RECT{12, 7, 14, 10}, ink);
                                           c.Text(18, -1, text, 11, FW_NORMAL, ink);
                                       }),
               name);
}

} // namespace

bool DrawMainWindowPieces(const std::string &skinFolder, const MarkPainter &paintMark)
{
    Writer out{skinFolder};
    SideButton(out, "Monitor.bmp", PaintMonitorSymbol);
    SideButton(out, "Firewall.bmp", PaintFirewallSymbol);
    SideButton(out, "Program.bmp", PaintProgramSymbol);
    SideButton(out, "Logs.bmp", PaintLogsSymbol);
    SideButton(out, "Options.bmp", PaintOptionsSymbol);
    SideButton(out, "ProductInfor.bmp", PaintInfoSymbol);

    CaptionButton(out, "Close.bmp", 1, CloseSymbol);
    CaptionButton(out, "Max.bmp", 2, MaximizeSymbol);
    CaptionButton(out, "Min.bmp", 1, MinimizeSymbol);
    CaptionButton(out, "Help.bmp", 1, HelpSymbol);
    LockSwitch(out);

    // The mark and the name, over the tool bar's band.
    out.Report(SkinPieces::PlainPiece(out.Path("ToolBar_BigIcon.bmp").c_str(), 150, 26,
                                      [&paintMark](SkinCanvas &c) {
                                          c.Shade(RECT{0, 0, c.Width(), c.Height()}, AccentHover, Accent);
                                          paintMark(c, 2, 1, 24);
                                          c.Text(32, 3, "Ferrowind", 19, FW_BOLD, Slate);
                                      }),
               "ToolBar_BigIcon.bmp");
    StatusPicture(out, "logined.bmp", "Logged on", Slate);
    StatusPicture(out, "unlogined.bmp", "Logged off", DisabledText);
    return out.ok;
}
