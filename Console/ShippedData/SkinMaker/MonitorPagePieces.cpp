#include "MonitorPagePieces.h"

#include "ProgramPagePieces.h"
#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

namespace {

using namespace SkinPalette;

// The curves' colours, so each scale button matches its graph.
const COLORREF ReceivedCurve = RGB(0x74, 0xF5, 0x74);
const COLORREF SentCurve = RGB(0xFF, 0xBC, 0xBC);

bool Report(bool made, const std::string &path)
{
    if (!made)
        fprintf(stderr, "MakeSkin: cannot write %s\n", path.c_str());
    return made;
}

// A scale button: the page button's face with three bars of a graph and an
// arrow down (received) or up (sent) in the graph's colour.
void PaintScaleCell(SkinCanvas &c, const RECT &cell, int state, bool received)
{
    PaintPageButtonCell(c, cell, state, "");
    const int shift = state == 2 ? 1 : 0;
    const int x = cell.left + 5 + shift, bottom = cell.bottom - 4 + shift;
    const int heights[3] = {5, 9, 7};
    for (int i = 0; i < 3; ++i)
        c.Fill(RECT{x + i * 4, bottom - heights[i], x + i * 4 + 3, bottom}, SlateBlue);
    const int ax = x + 15, top = cell.top + 4 + shift;
    const COLORREF ink = received ? ReceivedCurve : SentCurve;
    c.Fill(RECT{ax + 2, top + (received ? 0 : 4), ax + 5, bottom - (received ? 4 : 0)}, ink);
    const POINT down[] = {{ax - 1, bottom - 5}, {ax + 7, bottom - 5}, {ax + 3, bottom - 1}};
    const POINT up[] = {{ax - 1, top + 5}, {ax + 7, top + 5}, {ax + 3, top + 1}};
    c.Polygon(received ? down : up, 3, ink, Slate);
}

bool DrawScaleButton(const std::string &folder, const char *name, bool received)
{
    const std::string path = folder + "\\" + name;
    return Report(SkinPieces::StateStrip(path.c_str(), 32, 20, 3, 1, false,
                                         [received](SkinCanvas &c, const RECT &cell, int state, int) {
                                             PaintScaleCell(c, cell, state, received);
                                         }),
                  path);
}

// Icons on a 16-unit grid whatever their size.
struct Grid {
    int size;
    int operator()(int n) const { return n * (size - 1) / 15; }
};

// A listening socket: a ring with a dot in its middle, waiting.
void PaintListening(SkinCanvas &c)
{
    const Grid g{c.Width()};
    c.Ellipse(RECT{g(1), g(1), g(15) + 1, g(15) + 1}, Accent, Slate);
    c.Ellipse(RECT{g(5), g(5), g(11) + 1, g(11) + 1}, CellPass, Slate);
}

// A connection: two ends joined by a line.
void PaintConnection(SkinCanvas &c)
{
    const Grid g{c.Width()};
    c.Fill(RECT{g(4), g(7), g(12) + 1, g(9)}, Slate);
    c.Fill(RECT{g(0), g(4), g(5) + 1, g(11) + 1}, SlateBlue);
    c.Frame(RECT{g(0), g(4), g(5) + 1, g(11) + 1}, Slate);
    c.Fill(RECT{g(10), g(4), g(15) + 1, g(11) + 1}, Accent);
    c.Frame(RECT{g(10), g(4), g(15) + 1, g(11) + 1}, Slate);
}

// A protocol group: a badge with the protocol's initial.
void PaintBadge(SkinCanvas &c, COLORREF face, const char *letter)
{
    const int size = c.Width();
    c.Fill(RECT{0, 1, size, size - 1}, face);
    c.Frame(RECT{0, 1, size, size - 1}, Slate);
    const int height = size * 3 / 4;
    const SIZE text = c.TextSize(letter, height, FW_BOLD);
    c.Text((size - text.cx) / 2, (size - text.cy) / 2, letter, height, FW_BOLD, White);
}

} // namespace

bool DrawMonitorPagePieces(const std::string &skinFolder)
{
    bool ok = DrawPageButtonStrip(skinFolder, "But_Mon_Flux.bmp", 104, 24, "Traffic");
    ok = DrawPageButtonStrip(skinFolder, "But_Mon_Online.bmp", 104, 24, "Connections") && ok;
    ok = DrawScaleButton(skinFolder, "set_unit_in.bmp", true) && ok;
    ok = DrawScaleButton(skinFolder, "set_unit_out.bmp", false) && ok;
    const std::string kill = skinFolder + "\\But_Kill.bmp";
    ok = Report(SkinPieces::StateStrip(kill.c_str(), 92, 22, 3, 1, false,
                                       [](SkinCanvas &c, const RECT &cell, int state, int) {
                                           PaintPageButtonCell(c, cell, state, "End process");
                                       }),
                kill) && ok;
    return ok;
}

bool DrawMonitorIcons(const std::string &resourceFolder)
{
    const int sizes[] = {16, 32};
    const struct { const char *file; SkinPieces::Painter paint; } icons[] = {
        {"MonitorListening.ico", PaintListening},
        {"MonitorConnection.ico", PaintConnection},
        {"MonitorUdpGroup.ico", [](SkinCanvas &c) { PaintBadge(c, SlateBlue, "U"); }},
        {"MonitorTcpGroup.ico", [](SkinCanvas &c) { PaintBadge(c, Slate, "T"); }},
    };
    bool ok = true;
    for (const auto &icon : icons) {
        const std::string path = resourceFolder + "\\" + icon.file;
        ok = Report(SkinPieces::Icon(path.c_str(), sizes, 2, icon.paint), path) && ok;
    }
    return ok;
}
