// Draws the pictures and the sound that ship with the console: the default
// skin's pictures, the icon and bitmaps that the console's resource script
// compiles in, and the alert sound.
//
//   MakeSkin <skin folder> <sound folder> <resource folder>
//
// Every picture takes its colours from SkinPalette.h.
#include "AlertTone.h"
#include "FirewallPieces.h"
#include "FramePieces.h"
#include "GridPictures.h"
#include "LogsPagePieces.h"
#include "MainWindowPieces.h"
#include "MonitorPagePieces.h"
#include "OptionsPieces.h"
#include "ProgramPagePieces.h"
#include "QueryPopupPieces.h"
#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>
#include <string>

namespace {

using namespace SkinPalette;

// The console's mark: a shield in the slate colours with a light wedge.
void PaintShield(SkinCanvas &canvas, int left, int top, int size)
{
    auto at = [&](int x, int y) { return POINT{left + x * (size - 1) / 16, top + y * (size - 1) / 16}; };
    const POINT shield[] = {at(8, 0), at(16, 3), at(15, 9), at(8, 16), at(1, 9), at(0, 3)};
    canvas.Polygon(shield, 6, SlateBlue, Slate);
    const POINT wedge[] = {at(8, 3), at(13, 5), at(12, 9), at(8, 13)};
    canvas.Polygon(wedge, 4, Accent, Accent);
}

void PaintSplash(SkinCanvas &canvas)
{
    const int width = canvas.Width(), height = canvas.Height();
    canvas.Shade(RECT{0, 0, width, 64}, Slate, SlateBlue);
    canvas.Fill(RECT{0, 64, width, height}, Client);
    canvas.Fill(RECT{0, 64, width, 66}, Accent);
    canvas.Frame(RECT{0, 0, width, height}, Slate);
    PaintShield(canvas, 16, 12, 40);
    canvas.Text(68, 16, "Ferrowind", 30, FW_BOLD, White);
    canvas.Text(20, 90, "Personal firewall", 18, FW_NORMAL, Slate);
}

struct Output
{
    std::string folder;
    bool ok = true;

    std::string Path(const char *name) const { return folder + "\\" + name; }
    void Check(bool made, const char *name)
    {
        if (!made) {
            fprintf(stderr, "MakeSkin: cannot write %s\n", Path(name).c_str());
            ok = false;
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: MakeSkin <skin folder> <sound folder> <resource folder>\n");
        return 2;
    }
    Output skin{argv[1]}, sound{argv[2]}, resources{argv[3]};

    skin.Check(SkinPieces::MaskedPiece(skin.Path("BigIcon.bmp").c_str(), 48, 48,
                                       [](SkinCanvas &c) { PaintShield(c, 0, 0, 48); }),
               "BigIcon.bmp");
    if (!DrawFramePieces(skin.folder))
        skin.ok = false;
    if (!MakeGridPictures(skin.folder))
        skin.ok = false;
    if (!DrawProgramPagePieces(skin.folder))
        skin.ok = false;
    if (!DrawMainWindowPieces(skin.folder, PaintShield))
        skin.ok = false;
    if (!DrawFirewallPieces(skin.folder))
        skin.ok = false;
    if (!DrawOptionsPieces(skin.folder))
        skin.ok = false;
    if (!DrawQueryPopupPieces(skin.folder))
        skin.ok = false;
    if (!DrawLogsPagePieces(skin.folder))
        skin.ok = false;
    if (!DrawMonitorPagePieces(skin.folder))
        skin.ok = false;

    const int iconSizes[] = {16, 32, 48};
    resources.Check(SkinPieces::Icon(resources.Path("Ferrowind.ico").c_str(), iconSizes, 3,
                                     [](SkinCanvas &c) { PaintShield(c, 0, 0, c.Width()); }),
                    "Ferrowind.ico");
    if (!DrawProgramIcons(resources.folder))
        resources.ok = false;
    if (!DrawMonitorIcons(resources.folder))
        resources.ok = false;
    resources.Check(SkinPieces::PlainPiece(resources.Path("Splash.bmp").c_str(), 300, 234, PaintSplash),
                    "Splash.bmp");

    sound.Check(WriteAlertTone(sound.Path("Alert.wav").c_str(), 880, 300), "Alert.wav");

    return skin.ok && sound.ok && resources.ok ? 0 : 1;
}
