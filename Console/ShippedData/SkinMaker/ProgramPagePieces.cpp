#include "ProgramPagePieces.h"

#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

using namespace SkinPalette;

namespace {

const int STATES = 4;
const int CHECKED = 3;

} // namespace

void PaintPageButtonCell(SkinCanvas &c, const RECT &cell, int state, const char *text)
{
    const COLORREF faces[STATES] = {Accent, AccentHover, AccentPressed, SlateBlue};
    c.Fill(cell, faces[state]);
    c.Frame(cell, Slate);
    const int shift = state == 2 ? 1 : 0;
    const COLORREF ink = state == CHECKED ? White : Slate;
    c.Text(cell.left + 8 + shift, cell.top + (cell.bottom - cell.top - 14) / 2 + shift, text, 14,
           state == CHECKED ? FW_BOLD : FW_NORMAL, ink);
}

bool DrawPageButtonStrip(const std::string &folder, const char *name, int width, int height,
                         const char *text)
{
    const std::string path = folder + "\\" + name;
    const bool made = SkinPieces::StateStrip(
        path.c_str(), width, height, STATES, 1, false,
        [text](SkinCanvas &c, const RECT &cell, int state, int) { PaintPageButtonCell(c, cell, state, text); });
    if (!made)
        fprintf(stderr, "MakeSkin: cannot write %s\n", path.c_str());
    return made;
}

namespace {

// A program window: a slate title bar over a light client with two lines.
void PaintProgramWindow(SkinCanvas &c)
{
    const int w = c.Width(), h = c.Height();
    auto at = [&](int n) { return n * (w - 1) / 16; };
    c.Fill(RECT{0, 0, w, h}, SkinPieces::Key);
    c.Fill(RECT{at(1), at(2), at(15) + 1, at(14) + 1}, Client);
    c.Frame(RECT{at(1), at(2), at(15) + 1, at(14) + 1}, Slate);
    c.Fill(RECT{at(1), at(2), at(15) + 1, at(5) + 1}, SlateBlue);
    c.Fill(RECT{at(3), at(8), at(12), at(9)}, SlateBlue);
    c.Fill(RECT{at(3), at(11), at(10), at(12)}, SlateBlue);
}

// The program window with a red cross over it: the file is lost.
void PaintLostProgram(SkinCanvas &c)
{
    PaintProgramWindow(c);
    const int w = c.Width();
    const COLORREF red = RGB(200, 40, 40);
    for (int i = w / 4; i < w; ++i) {
        for (int t = 0; t < (w >= 32 ? 3 : 2); ++t) {
            c.SetPixel(i - t, i - w / 4 + w / 8, red);
            c.SetPixel(i - t, w - 1 - (i - w / 4) - w / 8, red);
        }
    }
}

} // namespace

bool DrawProgramIcons(const std::string &resourceFolder)
{
    const int sizes[] = {16, 32};
    bool ok = true;
    const struct { const char *file; SkinPieces::Painter paint; } icons[] = {
        {"ProgramNoIcon.ico", PaintProgramWindow},
        {"ProgramLost.ico", PaintLostProgram},
    };
    for (const auto &icon : icons) {
        const std::string path = resourceFolder + "\\" + icon.file;
        if (!SkinPieces::Icon(path.c_str(), sizes, 2, icon.paint)) {
            fprintf(stderr, "MakeSkin: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}

bool DrawProgramPagePieces(const std::string &skinFolder)
{
    struct Button { const char *file; int width; int height; const char *text; };
    const Button buttons[] = {
        {"But_Prgm_General.bmp", 92, 24, "General"},
        {"But_Prgm_Program.bmp", 92, 24, "Programs"},
        {"But_Prgm_Time.bmp", 92, 24, "Schedules"},
        {"But_Time_1.bmp", 96, 26, "Schedule 1"},
        {"But_Time_2.bmp", 96, 26, "Schedule 2"},
        {"But_Time_3.bmp", 96, 26, "Schedule 3"},
        {"But_Time_4.bmp", 96, 26, "Schedule 4"},
        {"But_Time_5.bmp", 96, 26, "Schedule 5"},
        {"But_Time_6.bmp", 96, 26, "Schedule 6"},
        {"But_Time_7.bmp", 96, 26, "Schedule 7"},
        {"But_Time_Apply.bmp", 72, 24, "Apply"},
        // The advanced rule dialog's zone tabs; the checked column marks the
        // zone shown.
        {"AdvOptDlg_ButTableInet.bmp", 118, 26, "Internet zone"},
        {"AdvOptDlg_ButTableTnet.bmp", 118, 26, "Trusted zone"},
    };
    bool ok = true;
    for (const Button &button : buttons)
        ok = DrawPageButtonStrip(skinFolder, button.file, button.width, button.height, button.text) && ok;
    return ok;
}
