#include "FirewallPieces.h"

#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

namespace {

using namespace SkinPalette;

// The columns of a state strip.
enum { NORMAL, HOVER, PRESSED, CHECKED };

// What the fourth column of a strip shows.
enum FourthColumn { SHOWS_CHECKED, SHOWS_SWITCHED_OFF };

// A labelled button cell: the light accent face with a 1-pixel edge,
// lighter hovered, darker and moved by a pixel pressed; when checked the
// slate blue with white text, when switched off greyed.
void PaintLabelledCell(SkinCanvas &c, const RECT &cell, int state, const char *label, int textHeight,
                       FourthColumn fourth)
{
    c.Fill(cell, Client);
    const RECT face = {cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
    COLORREF fill = Accent, edge = state == NORMAL ? SlateBlue : Slate, ink = Slate;
    if (state == HOVER) {
        fill = AccentHover;
    } else if (state == PRESSED) {
        fill = AccentPressed;
    } else if (state == CHECKED && fourth == SHOWS_CHECKED) {
        fill = SlateBlue;
        ink = White;
    } else if (state == CHECKED) {
        fill = Client;
        edge = Accent;
        ink = DisabledText;
    }
    c.Fill(face, fill);
    c.Frame(face, edge);
    const int d = state == PRESSED ? 1 : 0;
    const SIZE text = c.TextSize(label, textHeight, FW_BOLD);
    const int x = cell.left + ((cell.right - cell.left) - text.cx) / 2 + d;
    const int y = cell.top + ((cell.bottom - cell.top) - text.cy) / 2 + d;
    c.Text(x, y, label, textHeight, FW_BOLD, ink);
}

struct LabelledButton
{
    const char *file;
    const char *label;
    int width;
    int height;
    int states;
    FourthColumn fourth;
};

const LabelledButton BUTTONS[] = {
    // The zone editor's buttons: normal, hover, pressed.
    {"But_Ok.bmp", "OK", 72, 22, 3, SHOWS_CHECKED},
    {"But_Cancel.bmp", "Cancel", 72, 22, 3, SHOWS_CHECKED},
    {"But_Lookup.bmp", "Lookup", 60, 22, 3, SHOWS_CHECKED},
    // Beside them in the advanced rule dialog, Apply, off while nothing
    // changed.
    {"But_Apply.bmp", "Apply", 72, 22, 4, SHOWS_SWITCHED_OFF},
    // The firewall page's view buttons; the checked column marks the view shown.
    {"But_FW_General.bmp", "General", 76, 24, 4, SHOWS_CHECKED},
    {"But_FW_Tnet.bmp", "Trusted", 76, 24, 4, SHOWS_CHECKED},
    {"But_FW_Bnet.bmp", "Blocked", 76, 24, 4, SHOWS_CHECKED},
};

} // namespace

bool DrawFirewallPieces(const std::string &skinFolder)
{
    bool ok = true;
    for (const LabelledButton &button : BUTTONS) {
        const std::string path = skinFolder + "\\" + button.file;
        const LabelledButton &look = button;
        const bool made = SkinPieces::StateStrip(
            path.c_str(), button.width, button.height, button.states, 1, false,
            [&look](SkinCanvas &c, const RECT &cell, int state, int) {
                PaintLabelledCell(c, cell, state, look.label, 13, look.fourth);
            });
        if (!made) {
            fprintf(stderr, "MakeSkin: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}
