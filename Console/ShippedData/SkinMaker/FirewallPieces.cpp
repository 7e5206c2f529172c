#include "FirewallPieces.h"

#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

namespace {

using namespace SkinPalette;

// The columns of a state strip.
enum { NORMAL, HOVER, PRESSED, CHECKED };

// A labelled button cell: the light accent face with a 1-pixel edge,
// lighter hovered, darker and moved by a pixel pressed, the slate blue
// with white text when checked.
void PaintLabelledCell(SkinCanvas &c, const RECT &cell, int state, const char *label, int textHeight)
{
    c.Fill(cell, Client);
    const RECT face = {cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
    COLORREF fill = Accent;
    if (state == HOVER)
        fill = AccentHover;
    else if (state == PRESSED)
        fill = AccentPressed;
    else if (state == CHECKED)
        fill = SlateBlue;
    c.Fill(face, fill);
    c.Frame(face, state == NORMAL ? SlateBlue : Slate);
    const int d = state == PRESSED ? 1 : 0;
    const SIZE text = c.TextSize(label, textHeight, FW_BOLD);
    const int x = cell.left + ((cell.right - cell.left) - text.cx) / 2 + d;
    const int y = cell.top + ((cell.bottom - cell.top) - text.cy) / 2 + d;
    c.Text(x, y, label, textHeight, FW_BOLD, state == CHECKED ? White : Slate);
}

struct LabelledButton
{
    const char *file;
    const char *label;
    int width;
    int height;
    int states;
};

const LabelledButton BUTTONS[] = {
    // The zone editor's buttons: normal, hover, pressed.
    {"But_Ok.bmp", "OK", 72, 22, 3},
    {"But_Cancel.bmp", "Cancel", 72, 22, 3},
    {"But_Lookup.bmp", "Lookup", 60, 22, 3},
    // The firewall page's view buttons; the checked column marks the view shown.
    {"But_FW_General.bmp", "General", 76, 24, 4},
    {"But_FW_Tnet.bmp", "Trusted", 76, 24, 4},
    {"But_FW_Bnet.bmp", "Blocked", 76, 24, 4},
};

} // namespace

bool DrawFirewallPieces(const std::string &skinFolder)
{
    bool ok = true;
    for (const LabelledButton &button : BUTTONS) {
        const std::string path = skinFolder + "\\" + button.file;
        const char *label = button.label;
        const bool made = SkinPieces::StateStrip(
            path.c_str(), button.width, button.height, button.states, 1, false,
            [label](SkinCanvas &c, const RECT &cell, int state, int) { PaintLabelledCell(c, cell, state, label, 13); });
        if (!made) {
            fprintf(stderr, "MakeSkin: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}
