// The skinned windows' frames, as shown on the screen: each kind of window
// painted in its order from the shipped pieces, and the rules of placement
// shown with a skin of solid pieces, one colour each.
#include "DibSectionDC.h"
#include "SkinTestWindow.h"

#include <HostDialog.h>
#include <GuiPump.h>
#include <ProgramFolderFixture.h>
#include <TestScreens.h>

#include "../foundation/TempFolder.h"
#include <SkinCanvas.h>
#include <SkinPieces.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

const int WIDTH = 400;
const int HEIGHT = 300;

// The kinds of window and the files each loads, from the skinned windows'
// table of pieces.
const WindowKind MAIN = {"main window", {
    "Title_Left.bmp", "Title_Mid.bmp", "Title_Right.bmp", "Bottom_Left.bmp", "Bottom_Mid.bmp",
    "Bottom_Right.bmp", "Left.bmp", "Right.bmp", "SizeBox.bmp", "ToolBar.bmp",
    "ClientTop_Left.bmp", "ClientTop_Mid.bmp", "ClientTop_Right.bmp", "ClientBottom_Left.bmp",
    "ClientBottom_Mid.bmp", "ClientBottom_Right.bmp", "ClientLeft.bmp", "ClientRight.bmp",
    "MainFramClient.bmp"}, PaintingOrder::Main};

#define PAGE_KIND(name, title) {name, {                                                  \
    title, "SubTitle_Mid.bmp", NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,             \
    "SubClientTop_Left.bmp", "SubClientTop_Mid.bmp", "SubClientTop_Right.bmp",             \
    "SubClientBottom_Left.bmp", "SubClientBottom_Mid.bmp", "SubClientBottom_Right.bmp",    \
    "SubClientLeft.bmp", "SubClientRight.bmp", "SubFram.bmp"}, PaintingOrder::Page}
const WindowKind PAGES[] = {
    PAGE_KIND("options page", "SubTitle_Left_Option.bmp"),
    PAGE_KIND("monitor page", "SubTitle_Left_Monitor.bmp"),
    PAGE_KIND("log page", "SubTitle_Left_Logs.bmp"),
    PAGE_KIND("about page", "SubTitle_Left_Info.bmp"),
    PAGE_KIND("firewall page", "SubTitle_Left_Firewall.bmp"),
    PAGE_KIND("program page", "SubTitle_Left_PC.bmp"),
};
#undef PAGE_KIND

const WindowKind PRIVACY = {"privacy page", {
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    NULL, NULL, NULL, "SubFram.bmp"}, PaintingOrder::Privacy};

const WindowKind ADVANCED = {"advanced rule dialog", {
    "Title2_Left.bmp", "Title_Mid.bmp", "Title_Right.bmp", "AdvOptDlg_Bottom_Left.bmp",
    "AdvOptDlg_Bottom_Mid.bmp", "AdvOptDlg_Bottom_Right.bmp", "Left.bmp", "Right.bmp", NULL,
    NULL, "AdvOptDlg_ClientTop_Left.bmp", "AdvOptDlg_ClientTop_Mid.bmp",
    "AdvOptDlg_ClientTop_Right.bmp", "AdvOptDlg_ClientBottom_Left.bmp",
    "AdvOptDlg_ClientBottom_Mid.bmp", "AdvOptDlg_ClientBottom_Right.bmp",
    "AdvOptDlg_ClientLeft.bmp", "AdvOptDlg_ClientRight.bmp", "SubFram.bmp"},
    PaintingOrder::Dialog};

const WindowKind TIPS = {"tips window", {
    "Title2_Left.bmp", "Title_Mid.bmp", "Title_Right.bmp", "AdvOptDlg_Bottom_Left.bmp",
    "AdvOptDlg_Bottom_Mid.bmp", "AdvOptDlg_Bottom_Right.bmp", "Left.bmp", "Right.bmp", NULL,
    NULL, "TipsDlg_ClientTop_Left.bmp", "TipsDlg_ClientTop_Mid.bmp",
    "TipsDlg_ClientTop_Right.bmp", "AdvOptDlg_ClientBottom_Left.bmp",
    "AdvOptDlg_ClientBottom_Mid.bmp", "AdvOptDlg_ClientBottom_Right.bmp",
    "AdvOptDlg_ClientLeft.bmp", "AdvOptDlg_ClientRight.bmp", "SubFram.bmp"},
    PaintingOrder::Dialog};

const WindowKind ALERT = {"alert and zone editor", {
    "Title2_Left.bmp", "Title_Mid.bmp", "Title_Right.bmp", "Pop_Bottom_Left.bmp",
    "Pop_Bottom_Mid.bmp", "Pop_Bottom_Right.bmp", "Left.bmp", "Right.bmp", NULL, NULL, NULL,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, "SubFram.bmp"}, PaintingOrder::Popup};

const WindowKind QUERY = {"query pop-up", {
    "Query_Title_Left.bmp", "Query_Title_Mid.bmp", "Query_Title_Right.bmp",
    "Query_Bottom_Left.bmp", "Query_Bottom_Mid.bmp", "Query_Bottom_Right.bmp", "Query_Left.bmp",
    "Query_Right.bmp", NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    "Query_Client.bmp"}, PaintingOrder::Query};

bool IsPage(const WindowKind &kind)
{
    return kind.order == PaintingOrder::Page || kind.order == PaintingOrder::Privacy;
}

// The pixel of a piece's picture (of its image, for the size grip).
COLORREF PiecePixel(CSkinBitmap &piece, int x, int y)
{
    DibSectionDC dc(piece.m_size.cx, piece.m_size.cy, RGB(1, 2, 3));
    piece.Draw(RECT{0, 0, piece.m_size.cx, piece.m_size.cy}, &dc, SRCCOPY, 0, 0);
    return dc.Pixel(x, y);
}

// A skinned window of the kind, shown at 400 x 300: a pop-up at (100, 100),
// or a page inside the host dialog.
class ShownWindow
{
public:
    ShownWindow(const WindowKind &kind, const std::string &folder)
        : m_window(IsPage(kind) ? IDD_SKIN_PAGE : IDD_SKIN_POPUP, kind, folder)
    {
        if (IsPage(kind)) {
            RECT outer = {0, 0, WIDTH, HEIGHT};
            AdjustWindowRectEx(&outer, GetWindowLongA(m_host.Handle(), GWL_STYLE), FALSE,
                               GetWindowLongA(m_host.Handle(), GWL_EXSTYLE));
            SetWindowPos(m_host.Handle(), NULL, 0, 0, outer.right - outer.left,
                         outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
            m_host.Show();
            m_window.Create(IDD_SKIN_PAGE, CWnd::FromHandle(m_host.Handle()));
            m_window.SetWindowPos(NULL, 0, 0, WIDTH, HEIGHT, SWP_NOZORDER | SWP_SHOWWINDOW);
        } else {
            m_window.Create(IDD_SKIN_POPUP);
            m_window.SetWindowPos(&CWnd::wndTop, 100, 100, WIDTH, HEIGHT, SWP_SHOWWINDOW);
            m_window.SetWindowRegion();
        }
        PumpFor(100);
    }

    CSkinTestWindow &Window() { return m_window; }

private:
    CHostDialog m_host;
    CSkinTestWindow m_window;
};

// A point where the rules put one piece: the window's pixel there equals the
// piece's pixel at `source`. Bands stretch along their length only and are
// alike all along it, so any point along a band compares with its first
// column or row.
struct Probe {
    int piece;
    Painter painter;
    POINT at;
    POINT source;
};

std::vector<Probe> ProbesOf(CSkinTestWindow &w)
{
    auto size = [&](int piece) { return w.PieceSize(piece); };
    const int W = WIDTH, H = HEIGHT;
    const int L = size(LeftBorder).cx, R = W - size(RightBorder).cx;
    const int T = size(TitleMiddle).cy + size(ToolBar).cy, B = H - size(BottomMiddle).cy;
    const int midY = (T + B) / 2;
    return {
        {TitleLeft, &CSkinDialog::DrawTop, {2, 2}, {2, 2}},
        {TitleMiddle, &CSkinDialog::DrawTop, {W / 2, 2}, {0, 2}},
        {TitleRight, &CSkinDialog::DrawTop, {W - 5, 2}, {size(TitleRight).cx - 5, 2}},
        {BottomLeft, &CSkinDialog::DrawBottom, {2, H - 3}, {2, size(BottomLeft).cy - 3}},
        {BottomMiddle, &CSkinDialog::DrawBottom, {W / 2, H - 3}, {0, size(BottomMiddle).cy - 3}},
        {BottomRight, &CSkinDialog::DrawBottom, {W - 4, H - 3},
         {size(BottomRight).cx - 4, size(BottomRight).cy - 3}},
        {LeftBorder, &CSkinDialog::DrawLeft, {1, H / 2}, {1, 0}},
        {RightBorder, &CSkinDialog::DrawRight, {W - 2, H / 2}, {size(RightBorder).cx - 2, 0}},
        {SizeGrip, &CSkinDialog::DrawSizeBox, {W - 16 + 5, H - 16 + 13}, {5, 13}},
        {ToolBar, &CSkinDialog::DrawToolBar, {W / 2, size(TitleMiddle).cy + 2}, {0, 2}},
        {ClientTopLeft, &CSkinDialog::DrawClient, {L + 1, T + 1}, {1, 1}},
        {ClientTopMiddle, &CSkinDialog::DrawClient, {W / 2, T}, {0, 0}},
        {ClientTopRight, &CSkinDialog::DrawClient, {R - 2, T + 1}, {size(ClientTopRight).cx - 2, 1}},
        {ClientBottomLeft, &CSkinDialog::DrawClient, {L + 1, B - 2}, {1, size(ClientBottomLeft).cy - 2}},
        {ClientBottomMiddle, &CSkinDialog::DrawClient, {W / 2, B - 1}, {0, size(ClientBottomMiddle).cy - 1}},
        {ClientBottomRight, &CSkinDialog::DrawClient, {R - 2, B - 2},
         {size(ClientBottomRight).cx - 2, size(ClientBottomRight).cy - 2}},
        {ClientLeft, &CSkinDialog::DrawClient, {L, midY}, {0, 0}},
        {ClientRight, &CSkinDialog::DrawClient, {R - 1, midY}, {size(ClientRight).cx - 1, 0}},
        {ClientFill, &CSkinDialog::DrawClient, {W / 2, midY}, {0, 0}},
    };
}

bool Paints(const WindowKind &kind, Painter painter)
{
    for (Painter p : kind.order)
        if (p == painter)
            return true;
    return false;
}

class ShippedFrame : public ::testing::TestWithParam<const WindowKind *> {};

// Every piece the kind loads is shipped (the folder fixture fails the test on
// a missing picture), and each lies where the rules put it.
TEST_P(ShippedFrame, EachPieceLiesWhereTheRulesPutIt)
{
    const WindowKind &kind = *GetParam();
    CProgramFolderFixture folder;
    ShownWindow shown(kind, std::string(folder.File("Skins\\Default\\")));
    CSkinTestWindow &w = shown.Window();
    std::string state = kind.name;
    for (char &c : state)
        c = c == ' ' ? '-' : c;
    CDib shot = SaveTestScreen(w, state.c_str());
    ASSERT_EQ(WIDTH, shot.Width());

    int checked = 0;
    for (const Probe &probe : ProbesOf(w)) {
        if (!kind.files[probe.piece] || !Paints(kind, probe.painter))
            continue;
        ASSERT_TRUE(w.Bitmap(probe.piece).IsLoaded()) << kind.files[probe.piece];
        EXPECT_EQ(PiecePixel(w.Bitmap(probe.piece), probe.source.x, probe.source.y),
                  shot.Pixel(probe.at.x, probe.at.y))
            << kind.name << ": " << kind.files[probe.piece] << " at (" << probe.at.x << ", "
            << probe.at.y << ")";
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

std::string KindName(const ::testing::TestParamInfo<const WindowKind *> &info)
{
    std::string name;
    for (const char *c = info.param->name; *c; ++c)
        name += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Kinds, ShippedFrame,
                         ::testing::Values(&MAIN, &PAGES[0], &PAGES[1], &PAGES[2], &PAGES[3],
                                           &PAGES[4], &PAGES[5], &PRIVACY, &ADVANCED, &TIPS,
                                           &ALERT, &QUERY),
                         KindName);

// --- the rules, with solid pieces ---------------------------------------------

// A skin whose pieces are solid, each of its own colour and size, so that
// every pixel tells which piece lies there.
struct SolidPiece {
    const char *file;
    int width, height;
    COLORREF colour;
};
const SolidPiece SOLID[PieceCount] = {
    {"TitleLeft.bmp", 30, 20, RGB(200, 0, 0)},
    {"TitleMiddle.bmp", 6, 24, RGB(0, 200, 0)},
    {"TitleRight.bmp", 20, 40, RGB(0, 0, 200)},
    {"BottomLeft.bmp", 12, 9, RGB(200, 200, 0)},
    {"BottomMiddle.bmp", 6, 7, RGB(0, 200, 200)},
    {"BottomRight.bmp", 10, 11, RGB(200, 0, 200)},
    {"LeftBorder.bmp", 5, 6, RGB(100, 0, 0)},
    {"RightBorder.bmp", 4, 6, RGB(0, 100, 0)},
    {"SizeGrip.bmp", 16, 16, RGB(0, 0, 100)},   // image over mask: a block at (4, 4)-(12, 12)
    {"ToolBar.bmp", 6, 10, RGB(100, 100, 0)},
    {"ClientTopLeft.bmp", 4, 4, RGB(0, 100, 100)},
    {"ClientTopMiddle.bmp", 6, 8, RGB(100, 0, 100)},
    {"ClientTopRight.bmp", 5, 5, RGB(150, 50, 0)},
    {"ClientBottomLeft.bmp", 4, 4, RGB(0, 150, 50)},
    {"ClientBottomMiddle.bmp", 6, 6, RGB(50, 0, 150)},
    {"ClientBottomRight.bmp", 5, 5, RGB(150, 0, 50)},
    {"ClientLeft.bmp", 7, 6, RGB(50, 150, 0)},
    {"ClientRight.bmp", 6, 6, RGB(0, 50, 150)},
    {"ClientFill.bmp", 6, 6, RGB(230, 230, 230)},
};

class SolidSkin : public ::testing::Test
{
protected:
    SolidSkin() : m_folder("qfw-solid-skin")
    {
        for (int piece = 0; piece < PieceCount; ++piece) {
            const SolidPiece &p = SOLID[piece];
            const std::string path = m_folder.File(p.file);
            if (piece == SizeGrip) {
                EXPECT_TRUE(SkinPieces::MaskedPiece(path.c_str(), p.width, p.height, [&](SkinCanvas &c) {
                    c.Fill(RECT{4, 4, 12, 12}, p.colour);
                }));
            } else {
                EXPECT_TRUE(SkinPieces::PlainPiece(path.c_str(), p.width, p.height,
                                                   [&](SkinCanvas &c) {
                    c.Fill(RECT{0, 0, p.width, p.height}, p.colour);
                }));
            }
        }
    }

    // A kind of window with every piece but the left-out ones.
    WindowKind Kind(const char *name, const std::vector<Painter> &order,
                    std::initializer_list<int> leftOut = {})
    {
        WindowKind kind = {name, {}, order};
        for (int piece = 0; piece < PieceCount; ++piece)
            kind.files[piece] = SOLID[piece].file;
        for (int piece : leftOut)
            kind.files[piece] = NULL;
        return kind;
    }

    std::string Folder() const { return m_folder.Path() + "\\"; }

    static COLORREF Of(int piece) { return SOLID[piece].colour; }

    TempFolder m_folder;
};

// The main window's order: the title right is cut to the title left's rows;
// the client area starts under the title middle and the tool bar; the client
// side strips lie over the client's top band; the grip is masked at
// (W - 16, H - 16).
TEST_F(SolidSkin, MainWindowFrame)
{
    const WindowKind kind = Kind("main", PaintingOrder::Main);
    ShownWindow shown(kind, Folder());
    CDib shot = SaveTestScreen(shown.Window(), "solid-main");
    const int W = WIDTH, H = HEIGHT;

    // Title band: 20 rows high, the right piece cut there (the right border
    // begins only at its 40 rows, so nothing lies below the cut at x = W - 1).
    EXPECT_EQ(Of(TitleLeft), shot.Pixel(0, 19));
    EXPECT_EQ(Of(TitleMiddle), shot.Pixel(W / 2, 19));
    EXPECT_EQ(Of(TitleRight), shot.Pixel(W - 1, 19));
    EXPECT_NE(Of(TitleRight), shot.Pixel(W - 1, 20));
    EXPECT_NE(Of(TitleRight), shot.Pixel(W - 10, 25));
    EXPECT_EQ(Of(RightBorder), shot.Pixel(W - 1, 40));
    EXPECT_NE(Of(RightBorder), shot.Pixel(W - 1, 39));

    // The left border from the title left's height; the tool bar from the
    // title middle's, between the borders.
    EXPECT_EQ(Of(LeftBorder), shot.Pixel(0, 20));
    EXPECT_EQ(Of(ToolBar), shot.Pixel(5, 24));
    EXPECT_EQ(Of(LeftBorder), shot.Pixel(4, 24));
    EXPECT_EQ(Of(ToolBar), shot.Pixel(W / 2, 33));

    // Client top at 24 + 10 = 34: corner, band, and the left strip (7 wide)
    // over the band from the corner's height on.
    EXPECT_EQ(Of(ClientTopLeft), shot.Pixel(5, 34));
    EXPECT_EQ(Of(ClientTopMiddle), shot.Pixel(W / 2, 34));
    EXPECT_EQ(Of(ClientTopMiddle), shot.Pixel(W / 2, 41));
    EXPECT_EQ(Of(ClientTopMiddle), shot.Pixel(10, 37));
    EXPECT_EQ(Of(ClientLeft), shot.Pixel(10, 38));
    EXPECT_EQ(Of(ClientLeft), shot.Pixel(11, 41));
    EXPECT_EQ(Of(ClientTopRight), shot.Pixel(W - 5, 34));
    EXPECT_EQ(Of(ClientRight), shot.Pixel(W - 5, 39));
    EXPECT_EQ(Of(ClientFill), shot.Pixel(W / 2, H / 2));

    // Client bottom ends at H - 7; the bottom band below it.
    EXPECT_EQ(Of(ClientBottomMiddle), shot.Pixel(W / 2, H - 8));
    EXPECT_EQ(Of(BottomMiddle), shot.Pixel(W / 2, H - 7));
    EXPECT_EQ(Of(BottomLeft), shot.Pixel(0, H - 9));
    EXPECT_EQ(Of(ClientLeft), shot.Pixel(6, H - 12));
    EXPECT_EQ(Of(ClientBottomLeft), shot.Pixel(6, H - 10));
    EXPECT_EQ(Of(BottomLeft), shot.Pixel(6, H - 9));

    // The grip: its block where its mask is black, the pieces below where
    // it is white.
    EXPECT_EQ(Of(SizeGrip), shot.Pixel(W - 16 + 4, H - 16 + 4));
    EXPECT_EQ(Of(SizeGrip), shot.Pixel(W - 16 + 11, H - 16 + 11));
    EXPECT_EQ(Of(BottomRight), shot.Pixel(W - 16 + 13, H - 16 + 13));
    EXPECT_EQ(Of(ClientFill), shot.Pixel(W - 16 + 1, H - 16 + 1));
}

// A page without the title right and the side borders: the client fill runs
// from x = 0 to W, the title middle to the right edge.
TEST_F(SolidSkin, PageWithoutBordersFillsTheWidth)
{
    const WindowKind kind = Kind("page", PaintingOrder::Page,
                                 {TitleRight, BottomLeft, BottomMiddle, BottomRight, LeftBorder,
                                  RightBorder, SizeGrip, ToolBar, ClientLeft, ClientRight,
                                  ClientTopLeft, ClientTopMiddle, ClientTopRight,
                                  ClientBottomLeft, ClientBottomMiddle, ClientBottomRight});
    ShownWindow shown(kind, Folder());
    CDib shot = SaveTestScreen(shown.Window(), "solid-page");
    EXPECT_EQ(Of(TitleMiddle), shot.Pixel(WIDTH - 1, 10));
    EXPECT_EQ(Of(ClientFill), shot.Pixel(0, 24));
    EXPECT_EQ(Of(ClientFill), shot.Pixel(WIDTH - 1, 24));
    EXPECT_EQ(Of(ClientFill), shot.Pixel(0, HEIGHT - 1));
    EXPECT_EQ(Of(ClientFill), shot.Pixel(WIDTH - 1, HEIGHT - 1));
}

// A piece whose file is missing draws nothing: what was painted before shows.
TEST_F(SolidSkin, MissingPieceDrawsNothing)
{
    WindowKind kind = Kind("missing", PaintingOrder::Popup,
                           {ClientTopLeft, ClientTopMiddle, ClientTopRight});
    kind.files[TitleMiddle] = "NoSuchPiece.bmp";
    ShownWindow shown(kind, Folder());
    EXPECT_FALSE(shown.Window().Bitmap(TitleMiddle).IsLoaded());
    CDib shot = SaveTestScreen(shown.Window(), "missing-title-middle");
    // T is then the tool bar's height alone: the client fill starts at 10 and
    // shows through where the title middle would lie.
    EXPECT_EQ(Of(ClientFill), shot.Pixel(WIDTH / 2, 12));
    EXPECT_EQ(Of(TitleLeft), shot.Pixel(2, 2));
    EXPECT_EQ(Of(TitleRight), shot.Pixel(WIDTH - 2, 2));
}

} // namespace
