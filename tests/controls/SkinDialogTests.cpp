// The skinned window's own behaviour on the screen: its notched region, the
// hit test that makes its borders and band, its keys, its caption and its
// help topic.
#include "SkinTestWindow.h"

#include <CWinApp.h>
#include <DataExchange.h>
#include <DialogDriver.h>
#include <GuiPump.h>
#include <ProgramFolderFixture.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records the help asked of the application.
class CTestApp : public CWinApp
{
public:
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override { m_help.push_back({dwData, nCmd}); }
    std::vector<std::pair<DWORD_PTR, UINT>> m_help;
};
CTestApp theApp;

const int WIDTH = 300;
const int HEIGHT = 200;
const POINT ORIGIN = {150, 120};

const WindowKind POPUP = {"pop-up", {
    "Title2_Left.bmp", "Title_Mid.bmp", "Title_Right.bmp", "Pop_Bottom_Left.bmp",
    "Pop_Bottom_Mid.bmp", "Pop_Bottom_Right.bmp", "Left.bmp", "Right.bmp", NULL, NULL, NULL,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, "SubFram.bmp"}, PaintingOrder::Popup};

// A window of one solid colour behind the skinned one, to show what the
// region leaves out.
class Backdrop
{
public:
    static const COLORREF COLOUR = RGB(255, 0, 128);

    Backdrop()
    {
        WNDCLASSA cls = {};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(NULL);
        cls.hbrBackground = CreateSolidBrush(COLOUR);
        cls.lpszClassName = "SkinTestBackdrop";
        RegisterClassA(&cls);
        m_window = CreateWindowExA(0, "SkinTestBackdrop", "", WS_POPUP | WS_VISIBLE, ORIGIN.x - 20,
                                   ORIGIN.y - 20, WIDTH + 40, HEIGHT + 40, NULL, NULL,
                                   cls.hInstance, NULL);
        PumpFor(50);
    }
    ~Backdrop() { DestroyWindow(m_window); }

private:
    HWND m_window;
};

// A shown pop-up of the default skin at ORIGIN, WIDTH x HEIGHT, with its
// region, over whatever lies there.
class ShownPopup
{
public:
    ShownPopup() : m_window(IDD_SKIN_POPUP, POPUP, std::string(m_folder.File("Skins\\Default\\")))
    {
        m_window.Create(IDD_SKIN_POPUP);
        m_window.SetWindowPos(&CWnd::wndTop, ORIGIN.x, ORIGIN.y, WIDTH, HEIGHT, SWP_SHOWWINDOW);
        m_window.SetWindowRegion();
        PumpFor(100);
    }

    CSkinTestWindow &Window() { return m_window; }

    UINT HitTest(int x, int y)
    {
        POINT screen = {x, y};
        m_window.ClientToScreen(&screen);
        return static_cast<UINT>(m_window.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
    }

private:
    CProgramFolderFixture m_folder;
    CSkinTestWindow m_window;
};

// --- region -----------------------------------------------------------------

TEST(SkinDialogRegion, EachCornerLosesThreePixelsToTheScreenBehind)
{
    Backdrop backdrop;
    ShownPopup popup;
    CDib shot = SaveTestScreen(popup.Window(), "notched-corners");
    ASSERT_EQ(WIDTH, shot.Width());

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(popup.Window(), region));
    const int r = WIDTH - 1, b = HEIGHT - 1;
    // Each corner: its three cut pixels, then the three neighbours inside.
    const POINT corners[4][6] = {
        {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0}, {0, 2}},
        {{r, 0}, {r - 1, 0}, {r, 1}, {r - 1, 1}, {r - 2, 0}, {r, 2}},
        {{0, b}, {1, b}, {0, b - 1}, {1, b - 1}, {2, b}, {0, b - 2}},
        {{r, b}, {r - 1, b}, {r, b - 1}, {r - 1, b - 1}, {r - 2, b}, {r, b - 2}},
    };
    for (const auto &corner : corners) {
        for (int i = 0; i < 6; ++i) {
            const POINT p = corner[i];
            const bool cut = i < 3;
            EXPECT_EQ(!cut, PtInRegion(region, p.x, p.y) != FALSE) << p.x << ", " << p.y;
            EXPECT_EQ(cut, shot.Pixel(p.x, p.y) == Backdrop::COLOUR) << p.x << ", " << p.y;
        }
    }
    DeleteObject(region);
}

// --- hit test ---------------------------------------------------------------

TEST(SkinDialogHitTest, BorderTestAtItsEdges)
{
    const SIZE size = {WIDTH, HEIGHT};
    const int W = WIDTH, H = HEIGHT;
    struct Case { POINT at; UINT code; };
    const Case cases[] = {
        {{0, 0}, HTTOPLEFT},        {{2, 2}, HTTOPLEFT},        {{2, 3}, HTLEFT},
        {{3, 3}, HTCLIENT},         {{1, 10}, HTLEFT},          {{2, H - 3}, HTLEFT},
        {{2, H - 2}, HTBOTTOMLEFT}, {{W - 3, 50}, HTCLIENT},    {{W - 2, 50}, HTRIGHT},
        {{W - 1, 0}, HTTOPRIGHT},   {{W - 2, 2}, HTTOPRIGHT},   {{100, 2}, HTTOP},
        {{100, 3}, HTCLIENT},       {{100, H - 3}, HTCLIENT},   {{100, H - 2}, HTBOTTOM},
        // The grip covers the last fourteen pixels and wins over the borders.
        {{W - 14, H - 14}, HTBOTTOMRIGHT}, {{W - 15, H - 14}, HTCLIENT},
        {{W - 14, H - 15}, HTCLIENT},      {{W - 1, H - 10}, HTBOTTOMRIGHT},
        {{W - 10, H - 1}, HTBOTTOMRIGHT},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.code, CSkinDialog::HitTestBorder(c.at, size)) << c.at.x << ", " << c.at.y;
}

// WM_NCHITTEST at screen points of a shown window, for each choice of flags.
TEST(SkinDialogHitTest, FlagsChooseBordersAndBand)
{
    ShownPopup popup;
    const int W = WIDTH, H = HEIGHT;
    struct Case { BOOL drag, resize; POINT at; UINT code; };
    const Case cases[] = {
        // Caption drag only: the band 4 <= y < 30, whatever x is.
        {TRUE, FALSE, {100, 3}, HTCLIENT},   {TRUE, FALSE, {100, 4}, HTCAPTION},
        {TRUE, FALSE, {100, 29}, HTCAPTION}, {TRUE, FALSE, {100, 30}, HTCLIENT},
        {TRUE, FALSE, {1, 10}, HTCAPTION},   {TRUE, FALSE, {W - 1, 10}, HTCAPTION},
        {TRUE, FALSE, {W - 1, H - 1}, HTCLIENT},
        // Both: the borders first.
        {TRUE, TRUE, {1, 10}, HTLEFT},       {TRUE, TRUE, {100, 3}, HTCLIENT},
        {TRUE, TRUE, {100, 2}, HTTOP},       {TRUE, TRUE, {100, 4}, HTCAPTION},
        {TRUE, TRUE, {2, 100}, HTLEFT},      {TRUE, TRUE, {W - 3, 100}, HTCLIENT},
        {TRUE, TRUE, {W - 2, 100}, HTRIGHT}, {TRUE, TRUE, {W - 2, 10}, HTRIGHT},
        {TRUE, TRUE, {W - 1, H - 1}, HTBOTTOMRIGHT}, {TRUE, TRUE, {W - 5, H - 1}, HTBOTTOMRIGHT},
        // Resize only: no band.
        {FALSE, TRUE, {100, 10}, HTCLIENT},  {FALSE, TRUE, {W - 1, 100}, HTRIGHT},
        // Neither.
        {FALSE, FALSE, {1, 10}, HTCLIENT},   {FALSE, FALSE, {100, 10}, HTCLIENT},
        {FALSE, FALSE, {W - 1, H - 1}, HTCLIENT},
    };
    for (const Case &c : cases) {
        popup.Window().SetFlags(c.drag, c.resize);
        EXPECT_EQ(c.code, popup.HitTest(c.at.x, c.at.y))
            << "drag " << c.drag << " resize " << c.resize << " at " << c.at.x << ", " << c.at.y;
    }
}

TEST(SkinDialogHitTest, MaximisedIsClientEverywhere)
{
    ShownPopup popup;
    popup.Window().SetFlags(TRUE, TRUE);
    popup.Window().ShowWindow(SW_MAXIMIZE);
    PumpFor(100);
    ASSERT_TRUE(popup.Window().IsZoomed());
    CRect client;
    popup.Window().GetClientRect(&client);
    const POINT points[] = {{0, 0}, {1, 10}, {100, 10}, {client.right - 1, client.bottom - 1},
                            {client.right - 1, 100}, {100, client.bottom - 1}};
    for (const POINT &p : points)
        EXPECT_EQ(static_cast<UINT>(HTCLIENT), popup.HitTest(p.x, p.y)) << p.x << ", " << p.y;
}

// --- keys ---------------------------------------------------------------------

// A modal skinned window that notes whether data exchange saved anything.
class CModalWindow : public CSkinTestWindow
{
public:
    CModalWindow(const std::string &folder) : CSkinTestWindow(IDD_SKIN_POPUP, POPUP, folder) {}
    void DoDataExchange(CDataExchange *pDX) override
    {
        if (pDX->m_bSaveAndValidate)
            ++m_saves;
    }
    int m_saves = 0;
};

int RunModalWithKey(WORD key, int *saves)
{
    CProgramFolderFixture folder;
    CModalWindow window(std::string(folder.File("Skins\\Default\\")));
    CDialogDriver driver;
    driver.RunInNextDialog([&](HWND dialog) {
        BringToFront(dialog);
        SetFocus(dialog);
        SaveTestScreen(dialog, key == VK_ESCAPE ? "before-esc" : "before-enter");
        PressKey(key);
        PumpFor(100);
    });
    int result = static_cast<int>(window.DoModal());
    *saves = window.m_saves;
    return result;
}

TEST(SkinDialogKeys, EscEndsModalWithCancel)
{
    int saves = -1;
    EXPECT_EQ(IDCANCEL, RunModalWithKey(VK_ESCAPE, &saves));
    EXPECT_EQ(0, saves);
}

TEST(SkinDialogKeys, EnterEndsModalWithOkAndNoDataExchange)
{
    int saves = -1;
    EXPECT_EQ(IDOK, RunModalWithKey(VK_RETURN, &saves));
    EXPECT_EQ(0, saves);
}

// A page keeps Esc and Enter from closing it with empty OnOK and OnCancel.
class CStayingWindow : public CSkinTestWindow
{
public:
    CStayingWindow(const std::string &folder) : CSkinTestWindow(IDD_SKIN_POPUP, POPUP, folder) {}
    void OnOK() override { ++m_oks; }
    void OnCancel() override { ++m_cancels; }
    int m_oks = 0;
    int m_cancels = 0;
};

TEST(SkinDialogKeys, EmptyOkAndCancelKeepTheWindow)
{
    CProgramFolderFixture folder;
    CStayingWindow window(std::string(folder.File("Skins\\Default\\")));
    ASSERT_TRUE(window.Create(IDD_SKIN_POPUP));
    window.SetWindowPos(&CWnd::wndTop, ORIGIN.x, ORIGIN.y, WIDTH, HEIGHT, SWP_SHOWWINDOW);
    BringToFront(window);
    window.SetFocus();
    PressKey(VK_ESCAPE);
    PressKey(VK_RETURN);
    PumpFor(100);
    EXPECT_EQ(1, window.m_cancels);
    EXPECT_EQ(1, window.m_oks);
    EXPECT_TRUE(IsWindow(window) && window.IsWindowVisible());
    SaveTestScreen(window, "after-esc-and-enter");
}

TEST(SkinDialogKeys, F1AsksHelpForTheTemplate)
{
    CProgramFolderFixture folder;
    CModalWindow window(std::string(folder.File("Skins\\Default\\")));
    theApp.m_help.clear();
    CDialogDriver driver;
    std::vector<std::pair<DWORD_PTR, UINT>> asked;
    driver.RunInNextDialog([&](HWND dialog) {
        BringToFront(dialog);
        SetFocus(dialog);
        PressKey(VK_F1);
        PumpFor(200);
        asked = theApp.m_help;
        PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, window.DoModal());
    const std::vector<std::pair<DWORD_PTR, UINT>> expected = {
        {HID_BASE_RESOURCE + IDD_SKIN_POPUP, static_cast<UINT>(HELP_CONTEXT)}};
    EXPECT_EQ(expected, asked);
}

// A window that ends itself and deletes its object when cancelled.
class CSelfDeletingWindow : public CSkinTestWindow
{
public:
    CSelfDeletingWindow(const std::string &folder, bool *deleted)
        : CSkinTestWindow(IDD_SKIN_POPUP, POPUP, folder), m_deleted(deleted)
    {
    }
    ~CSelfDeletingWindow() override { *m_deleted = true; }
    void OnCancel() override
    {
        DestroyWindow();
        delete this;
    }

private:
    bool *m_deleted;
};

TEST(SkinDialogKeys, EscReachingAWindowThatDeletesItselfEndsCleanly)
{
    CProgramFolderFixture folder;
    bool deleted = false;
    auto *window = new CSelfDeletingWindow(std::string(folder.File("Skins\\Default\\")), &deleted);
    ASSERT_TRUE(window->Create(IDD_SKIN_POPUP));
    HWND handle = *window;
    window->ShowWindow(SW_SHOW);
    PumpFor(50);
    // The key message itself, as the window's own handler receives it when
    // no dialog manager turns it into a command first.
    SendMessageA(handle, WM_KEYDOWN, VK_ESCAPE, 1);
    PumpFor(50);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(handle));
}

// --- caption and help topic ---------------------------------------------------

int CountChildren(HWND parent)
{
    int count = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++count;
    return count;
}

CRect ChildRect(CWnd &child, CWnd &parent)
{
    CRect rect;
    child.GetWindowRect(&rect);
    parent.ScreenToClient(&rect);
    return rect;
}

TEST(SkinDialogCaption, NullTextMakesNoLabels)
{
    ShownPopup popup;
    popup.Window().CreateCaption(NULL);
    EXPECT_EQ(0, CountChildren(popup.Window()));
}

TEST(SkinDialogCaption, TextOverWhiteShadow)
{
    ShownPopup popup;
    CSkinTestWindow &w = popup.Window();
    w.CreateCaption("Zone editor");
    PumpFor(100);
    ASSERT_EQ(2, CountChildren(w));
    EXPECT_EQ(65535, w.CaptionShadow().GetDlgCtrlID());
    EXPECT_EQ(65535, w.CaptionText().GetDlgCtrlID());
    EXPECT_EQ(CRect(10, 8, 360, 24), ChildRect(w.CaptionShadow(), w));
    EXPECT_EQ(CRect(9, 7, 360, 24), ChildRect(w.CaptionText(), w));

    CDib shot = SaveTestScreen(w, "caption");
    const RECT caption = {9, 7, WIDTH, 25};
    EXPECT_GT(shot.CountColour(RGB(0, 0, 0), caption), 20);
    EXPECT_GT(shot.CountColour(RGB(255, 255, 255), caption), 20);
    // The shadow lies one pixel right of and below the text.
    int shadowed = 0;
    for (int y = 7; y < 23; ++y)
        for (int x = 9; x < WIDTH - 1; ++x)
            shadowed += shot.Pixel(x, y) == RGB(0, 0, 0) && shot.Pixel(x + 1, y + 1) == RGB(255, 255, 255);
    EXPECT_GT(shadowed, 5);

    w.SetCaptionText("Advanced");
    CString text, shadow;
    w.CaptionText().GetWindowText(text);
    w.CaptionShadow().GetWindowText(shadow);
    EXPECT_STREQ("Advanced", text);
    EXPECT_STREQ("Advanced", shadow);
    EXPECT_TRUE(w.CaptionText().IsWindowVisible());
    EXPECT_TRUE(w.CaptionShadow().IsWindowVisible());
    SaveTestScreen(w, "caption-changed");
}

TEST(SkinDialogCaption, HelpTopicIsTheOneSet)
{
    ShownPopup popup;
    EXPECT_STREQ("", popup.Window().GetHelpTopic());
    popup.Window().SetHelpTopic("::/monitor_flux.htm");
    EXPECT_STREQ("::/monitor_flux.htm", popup.Window().GetHelpTopic());
}

} // namespace
