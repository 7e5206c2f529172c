// Bands are shaded across their thickness only, so a stretched piece looks
// the same at any length; corners and ends carry the edges.
#include "FramePieces.h"

#include "SkinCanvas.h"
#include "SkinPieces.h"

#include <SkinPalette.h>

#include <cstdio>

namespace {

using namespace SkinPalette;

// The main window's title band, the bottom bands, the borders.
const int TITLE_HEIGHT = 30;
const int QUERY_TITLE_HEIGHT = 24;
const int PAGE_TITLE_HEIGHT = 26;
const int BORDER_WIDTH = 3;
const int LENGTH = 8;       // the length of a stretched band's picture
const int FRAME = 4;        // the client frame's bands and corners

struct Writer
{
    std::string folder;
    bool ok = true;

    void Plain(const char *name, int width, int height, const SkinPieces::Painter &paint)
    {
        Report(SkinPieces::PlainPiece(Path(name).c_str(), width, height, paint), name);
    }
    void Masked(const char *name, int width, int height, const SkinPieces::Painter &paint)
    {
        Report(SkinPieces::MaskedPiece(Path(name).c_str(), width, height, paint), name);
    }

private:
    std::string Path(const char *name) const { return folder + "\\" + name; }
    void Report(bool made, const char *name)
    {
        if (!made) {
            fprintf(stderr, "MakeSkin: cannot write %s\\%s\n", folder.c_str(), name);
            ok = false;
        }
    }
};

RECT Whole(const SkinCanvas &c) { return RECT{0, 0, c.Width(), c.Height()}; }

// --- title bands ------------------------------------------------------------

// Dark slate shading down to the slate blue, a light line at the top.
void PaintTitleBand(SkinCanvas &c)
{
    c.Shade(Whole(c), Slate, SlateBlue);
    c.Fill(RECT{0, 0, c.Width(), 1}, SlateBlue);
}

// The band's end, with the slate edge down its outer side.
void PaintTitleEnd(SkinCanvas &c, bool left)
{
    PaintTitleBand(c);
    const int x = left ? 0 : c.Width() - 1;
    c.Fill(RECT{x, 0, x + 1, c.Height()}, Slate);
}

// A page's title: a tab of the light accent with the page's name.
void PaintPageTitle(SkinCanvas &c, const char *title)
{
    c.Shade(Whole(c), Accent, Client);
    c.Fill(RECT{0, c.Height() - 1, c.Width(), c.Height()}, SlateBlue);
    const POINT tab[] = {{0, 0}, {c.Width() - 12, 0}, {c.Width() - 1, c.Height() - 1},
                         {0, c.Height() - 1}};
    c.Polygon(tab, 4, SlateBlue, Slate);
    c.Text(10, 5, title, 16, FW_BOLD, White);
}

void PaintPageTitleMiddle(SkinCanvas &c)
{
    c.Shade(Whole(c), Accent, Client);
    c.Fill(RECT{0, c.Height() - 1, c.Width(), c.Height()}, SlateBlue);
}

// --- bottom bands and borders -----------------------------------------------

void PaintBottomBand(SkinCanvas &c)
{
    c.Shade(Whole(c), SlateBlue, Slate);
    c.Fill(RECT{0, c.Height() - 1, c.Width(), c.Height()}, Slate);
}

void PaintBottomEnd(SkinCanvas &c, bool left)
{
    PaintBottomBand(c);
    const int x = left ? 0 : c.Width() - 1;
    c.Fill(RECT{x, 0, x + 1, c.Height()}, Slate);
}

// An outer border: the slate edge outside, the slate blue inside.
void PaintBorder(SkinCanvas &c, bool left)
{
    c.Fill(Whole(c), SlateBlue);
    const int x = left ? 0 : c.Width() - 1;
    c.Fill(RECT{x, 0, x + 1, c.Height()}, Slate);
}

// --- main window's tool bar and grip ------------------------------------------

void PaintToolBar(SkinCanvas &c)
{
    c.Shade(Whole(c), AccentHover, Accent);
    c.Fill(RECT{0, c.Height() - 1, c.Width(), c.Height()}, SlateBlue);
}

// Three rows of dots in a triangle at the corner; the rest lets the window
// show through.
void PaintSizeGrip(SkinCanvas &c)
{
    for (int row = 0; row < 3; ++row) {
        for (int col = 2 - row; col < 3; ++col) {
            const int x = 5 + col * 4, y = 5 + row * 4;
            c.Fill(RECT{x, y, x + 2, y + 2}, Slate);
            c.Fill(RECT{x + 1, y + 1, x + 2, y + 2}, White);
        }
    }
}

// --- the framed client area -------------------------------------------------

// The frame around a client area: a one-pixel edge on the outer sides of the
// piece, the area's colour inside.
struct FrameLook
{
    COLORREF edge;
    COLORREF inside;
};

void PaintFramePart(SkinCanvas &c, FrameLook look, bool left, bool top, bool right, bool bottom)
{
    const int w = c.Width(), h = c.Height();
    c.Fill(Whole(c), look.inside);
    if (left)
        c.Fill(RECT{0, 0, 1, h}, look.edge);
    if (top)
        c.Fill(RECT{0, 0, w, 1}, look.edge);
    if (right)
        c.Fill(RECT{w - 1, 0, w, h}, look.edge);
    if (bottom)
        c.Fill(RECT{0, h - 1, w, h}, look.edge);
}

// The nine frame files of one kind of window: <prefix>ClientTop_Left.bmp ...
// <prefix>ClientRight.bmp; the top band only for kinds that have no more.
void DrawClientFrame(Writer &out, const std::string &prefix, FrameLook look, bool topOnly)
{
    struct Part { const char *name; int w, h; bool l, t, r, b; bool bottomBand; };
    const Part parts[] = {
        {"ClientTop_Left.bmp", FRAME, FRAME, true, true, false, false, false},
        {"ClientTop_Mid.bmp", LENGTH, FRAME, false, true, false, false, false},
        {"ClientTop_Right.bmp", FRAME, FRAME, false, true, true, false, false},
        {"ClientBottom_Left.bmp", FRAME, FRAME, true, false, false, true, true},
        {"ClientBottom_Mid.bmp", LENGTH, FRAME, false, false, false, true, true},
        {"ClientBottom_Right.bmp", FRAME, FRAME, false, false, true, true, true},
        {"ClientLeft.bmp", FRAME, LENGTH, true, false, false, false, true},
        {"ClientRight.bmp", FRAME, LENGTH, false, false, true, false, true},
    };
    for (const Part &part : parts) {
        if (topOnly && part.bottomBand)
            continue;
        const std::string name = prefix + part.name;
        out.Plain(name.c_str(), part.w, part.h, [&](SkinCanvas &c) {
            PaintFramePart(c, look, part.l, part.t, part.r, part.b);
        });
    }
}

void PaintSolid(SkinCanvas &c, COLORREF colour) { c.Fill(Whole(c), colour); }

// --- bands of three and border pairs ----------------------------------------

void PaintTitleLeftEnd(SkinCanvas &c) { PaintTitleEnd(c, true); }
void PaintTitleRightEnd(SkinCanvas &c) { PaintTitleEnd(c, false); }
void PaintBottomLeftEnd(SkinCanvas &c) { PaintBottomEnd(c, true); }
void PaintBottomRightEnd(SkinCanvas &c) { PaintBottomEnd(c, false); }
void PaintLeftBorder(SkinCanvas &c) { PaintBorder(c, true); }
void PaintRightBorder(SkinCanvas &c) { PaintBorder(c, false); }

// <prefix>Left.bmp, <prefix>Mid.bmp and <prefix>Right.bmp of a title band.
void DrawTitleBand(Writer &out, const std::string &prefix, int endWidth, int height)
{
    out.Plain((prefix + "Left.bmp").c_str(), endWidth, height, PaintTitleLeftEnd);
    out.Plain((prefix + "Mid.bmp").c_str(), LENGTH, height, PaintTitleBand);
    out.Plain((prefix + "Right.bmp").c_str(), endWidth, height, PaintTitleRightEnd);
}

// The same three of a bottom band.
void DrawBottomBand(Writer &out, const std::string &prefix, int height)
{
    out.Plain((prefix + "Left.bmp").c_str(), LENGTH, height, PaintBottomLeftEnd);
    out.Plain((prefix + "Mid.bmp").c_str(), LENGTH, height, PaintBottomBand);
    out.Plain((prefix + "Right.bmp").c_str(), LENGTH, height, PaintBottomRightEnd);
}

// <prefix>Left.bmp and <prefix>Right.bmp, the outer borders.
void DrawBorders(Writer &out, const std::string &prefix, int width)
{
    out.Plain((prefix + "Left.bmp").c_str(), width, LENGTH, PaintLeftBorder);
    out.Plain((prefix + "Right.bmp").c_str(), width, LENGTH, PaintRightBorder);
}

// --- the kinds of window ----------------------------------------------------

// The main window, and the title and borders that the dialogs share with it.
void DrawMainWindow(Writer &out)
{
    DrawTitleBand(out, "Title_", 40, TITLE_HEIGHT);
    DrawBottomBand(out, "Bottom_", 8);
    DrawBorders(out, "", BORDER_WIDTH);
    out.Masked("SizeBox.bmp", 16, 16, PaintSizeGrip);
    out.Plain("ToolBar.bmp", LENGTH, 28, PaintToolBar);
    DrawClientFrame(out, "", FrameLook{SlateBlue, Client}, false);
    out.Plain("MainFramClient.bmp", LENGTH, LENGTH, [](SkinCanvas &c) { PaintSolid(c, Client); });
}

// The six pages: their titles, the title band and the client frame.
void DrawPages(Writer &out)
{
    struct Title { const char *file; const char *text; };
    const Title titles[] = {
        {"SubTitle_Left_Option.bmp", "Options"},  {"SubTitle_Left_Monitor.bmp", "Monitor"},
        {"SubTitle_Left_Logs.bmp", "Logs"},       {"SubTitle_Left_Info.bmp", "About"},
        {"SubTitle_Left_Firewall.bmp", "Firewall"}, {"SubTitle_Left_PC.bmp", "Programs"},
    };
    for (const Title &title : titles) {
        out.Plain(title.file, 120, PAGE_TITLE_HEIGHT,
                  [&](SkinCanvas &c) { PaintPageTitle(c, title.text); });
    }
    out.Plain("SubTitle_Mid.bmp", LENGTH, PAGE_TITLE_HEIGHT, PaintPageTitleMiddle);
    DrawClientFrame(out, "Sub", FrameLook{Accent, Client}, false);
    out.Plain("SubFram.bmp", LENGTH, LENGTH, [](SkinCanvas &c) { PaintSolid(c, Client); });
}

// The advanced rule dialog, the tips window, the alert and the zone editor:
// the main window's title and borders with a title end and bottoms of their
// own.
void DrawDialogs(Writer &out)
{
    out.Plain("Title2_Left.bmp", 24, TITLE_HEIGHT, PaintTitleLeftEnd);
    DrawBottomBand(out, "AdvOptDlg_Bottom_", 10);
    DrawBottomBand(out, "Pop_Bottom_", 6);
    DrawClientFrame(out, "AdvOptDlg_", FrameLook{Accent, Client}, false);
    DrawClientFrame(out, "TipsDlg_", FrameLook{Accent, Client}, true);
}

// The query pop-up: a lighter balloon in the accent, framed in slate.
void DrawQueryPopup(Writer &out)
{
    DrawTitleBand(out, "Query_Title_", 24, QUERY_TITLE_HEIGHT);
    DrawBottomBand(out, "Query_Bottom_", 6);
    DrawBorders(out, "Query_", 2);
    out.Plain("Query_Client.bmp", LENGTH, LENGTH, [](SkinCanvas &c) { PaintSolid(c, AccentHover); });
}

} // namespace

bool DrawFramePieces(const std::string &skinFolder)
{
    Writer out{skinFolder};
    DrawMainWindow(out);
    DrawPages(out);
    DrawDialogs(out);
    DrawQueryPopup(out);
    return out.ok;
}
