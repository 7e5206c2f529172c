#include "OptionsPieces.h"

#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

namespace {

using namespace SkinPalette;

enum State { NORMAL, HOVER, PRESSED, CHECKED };

const int BUTTON_HEIGHT = 24;
const int TEXT_HEIGHT = 14;
// The least room between a button's text and its edge on either side.
const int TEXT_MARGIN = 6;

// A text button's cell: the light accent face framed in the slate blue;
// lighter hovered, darker and moved a pixel pressed, greyed when checked
// (switched off).
void PaintTextButton(SkinCanvas &c, const RECT &cell, int state, const char *text)
{
    COLORREF face = Accent, edge = SlateBlue, ink = Slate;
    if (state == HOVER) {
        face = AccentHover;
    } else if (state == PRESSED) {
        face = AccentPressed;
        edge = Slate;
    } else if (state == CHECKED) {
        face = Client;
        edge = Accent;
        ink = DisabledText;
    }
    c.Fill(cell, face);
    c.Frame(cell, edge);
    // The text centred, so that its room is the same on both sides.
    const SIZE extent = c.TextSize(text, TEXT_HEIGHT, FW_BOLD);
    const int d = state == PRESSED ? 1 : 0;
    c.Text(cell.left + (cell.right - cell.left - extent.cx) / 2 + d,
           cell.top + (cell.bottom - cell.top - extent.cy) / 2 + d, text, TEXT_HEIGHT, FW_BOLD, ink);
}

// A strip of text buttons: one row per text, `states` columns.
bool TextButton(const std::string &folder, const char *name, int width, int states,
                const char *const *rowTexts, int rows)
{
    const std::string path = folder + "\\" + name;
    bool fits = true;
    const bool made = SkinPieces::StateStrip(
        path.c_str(), width, BUTTON_HEIGHT, states, rows, false,
        [&](SkinCanvas &c, const RECT &cell, int state, int row) {
            if (c.TextSize(rowTexts[row], TEXT_HEIGHT, FW_BOLD).cx + 2 * TEXT_MARGIN > width)
                fits = false;
            PaintTextButton(c, cell, state, rowTexts[row]);
        });
    if (!made)
        fprintf(stderr, "MakeSkin: cannot write %s\n", path.c_str());
    else if (!fits)
        fprintf(stderr, "MakeSkin: a text of %s does not fit its button\n", path.c_str());
    return made && fits;
}

// The about page's big mark: a shield in the slate colours on the client
// colour.
void PaintAboutIcon(SkinCanvas &c)
{
    const int s = c.Width();
    c.Fill(RECT{0, 0, s, c.Height()}, Client);
    auto at = [&](int x, int y) { return POINT{x * (s - 1) / 16, y * (s - 1) / 16}; };
    const POINT shield[] = {at(8, 0), at(16, 3), at(15, 9), at(8, 16), at(1, 9), at(0, 3)};
    c.Polygon(shield, 6, SlateBlue, Slate);
    const POINT wedge[] = {at(8, 3), at(13, 5), at(12, 9), at(8, 13)};
    c.Polygon(wedge, 4, Accent, Accent);
}

void PaintAboutProduct(SkinCanvas &c)
{
    c.Fill(RECT{0, 0, c.Width(), c.Height()}, Client);
    c.Text(0, 0, "Ferrowind", 28, FW_BOLD, Slate);
    c.Fill(RECT{0, 30, c.Width(), 32}, Accent);
}

void PaintAboutLogo(SkinCanvas &c)
{
    c.Shade(RECT{0, 0, c.Width(), c.Height()}, Slate, SlateBlue);
    c.Frame(RECT{0, 0, c.Width(), c.Height()}, Slate);
    c.Text(10, 12, "Ferrowind", 16, FW_BOLD, White);
}

} // namespace

bool DrawOptionsPieces(const std::string &skinFolder)
{
    bool ok = true;
    const char *const setPassword[] = {"Set password"};
    const char *const logOnOff[] = {"Log on", "Log off"};
    const char *const checkUpdate[] = {"Check now"};
    const char *const close[] = {"Close"};
    const char *const next[] = {"Next"};
    ok &= TextButton(skinFolder, "But_SetPw.bmp", 110, 4, setPassword, 1);
    ok &= TextButton(skinFolder, "But_Log_on_off.bmp", 80, 4, logOnOff, 2);
    ok &= TextButton(skinFolder, "But_CheckUpdate.bmp", 90, 4, checkUpdate, 1);
    ok &= TextButton(skinFolder, "But_close.bmp", 70, 3, close, 1);
    ok &= TextButton(skinFolder, "But_next.bmp", 70, 3, next, 1);

    struct Picture { const char *name; int width, height; void (*paint)(SkinCanvas &); };
    const Picture pictures[] = {
        {"About_BigIcon.bmp", 128, 128, PaintAboutIcon},
        {"About_Product.bmp", 180, 34, PaintAboutProduct},
        {"About_Logo.bmp", 100, 40, PaintAboutLogo},
    };
    for (const Picture &picture : pictures) {
        const std::string path = skinFolder + "\\" + picture.name;
        if (!SkinPieces::PlainPiece(path.c_str(), picture.width, picture.height, picture.paint)) {
            fprintf(stderr, "MakeSkin: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}
