// The skinned check box, button and slider in a skinned window, driven by
// real clicks and drags and checked by what shows on the screen.
#include "SkinTestIds.h"

#include <CClientDC.h>
#include <CPaintDC.h>
#include <MemoryDC.h>
#include <SkinButton.h>
#include <SkinCheckBox.h>
#include <SkinDialog.h>
#include <SkinSlider.h>

#include <GuiPump.h>
#include <ProgramFolderFixture.h>
#include <RealInput.h>
#include <TestScreens.h>

#include "../foundation/TempFolder.h"
#include <SkinCanvas.h>
#include <SkinPieces.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

const int WIDTH = 320;
const int HEIGHT = 240;
const POINT ORIGIN = {150, 120};
const RECT CHECK_RECT = {10, 10, 200, 30};
const POINT BUTTON_AT = {10, 40};
const POINT MASKED_AT = {120, 40};
const RECT SLIDER_RECT = {30, 80, 70, 180};
const COLORREF GREY = RGB(100, 100, 100);
const COLORREF BLACK = RGB(0, 0, 0);

// A skinned window whose background is a skin picture stretched over it,
// holding one of each control, and noting what its controls tell it.
class CControlsWindow : public CSkinDialog
{
public:
    explicit CControlsWindow(const CString &background)
        : CSkinDialog(IDD_SKIN_CONTROLS, NULL, "controls"), m_backgroundFile(background)
    {
    }

    BOOL OnInitDialog() override
    {
        CSkinDialog::OnInitDialog();
        m_clientFill.Load(m_backgroundFile);
        m_check.SubclassDlgItem(IDC_SKIN_CHECK, this);
        m_button.SubclassDlgItem(IDC_SKIN_BUTTON, this);
        m_masked.SubclassDlgItem(IDC_SKIN_MASKED, this);
        m_slider.SubclassDlgItem(IDC_SKIN_SLIDER, this);
        m_check.MoveWindow(&CHECK_RECT);
        m_slider.MoveWindow(&SLIDER_RECT);
        m_slider.SetRange(0, 100);
        return TRUE;
    }

    // Sizes a button to one cell of its strip, or wider.
    void PlaceButton(CSkinButton &button, POINT at, int extraWidth = 0)
    {
        button.MoveWindow(at.x, at.y, button.m_nStateWidth + extraWidth, button.m_nStateHeight);
        Invalidate();
    }

    void Show()
    {
        SetWindowPos(&CWnd::wndTop, ORIGIN.x, ORIGIN.y, WIDTH, HEIGHT, SWP_SHOWWINDOW);
        SetWindowRegion();
        BringToFront(m_hWnd);
        PumpFor(100);
    }

    CSkinCheckBox m_check;
    CSkinButton m_button;
    CSkinButton m_masked;
    CSkinSlider m_slider;
    BOOL m_saveSliderBackground = TRUE;
    BOOL m_blackUnderSlider = FALSE;

    std::vector<BOOL> m_checkSeen;  // the mark as the click's handler read it
    int m_buttonClicks = 0;
    int m_releasedCaptures = 0;
    int m_customDraws = 0;

protected:
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        CMemoryDC memory(&dc);
        DrawClient(&memory);
        if (m_saveSliderBackground)
            m_slider.SaveBackground(&memory, SLIDER_RECT.left, SLIDER_RECT.top, SLIDER_RECT.right,
                                    SLIDER_RECT.bottom);
    }
    afx_msg BOOL OnEraseBkgnd(CDC *) { return TRUE; }
    afx_msg void OnCheckClicked() { m_checkSeen.push_back(m_check.m_bChecked); }
    afx_msg void OnButtonClicked() { ++m_buttonClicks; }
    afx_msg void OnSliderReleased(NMHDR *, LRESULT *) { ++m_releasedCaptures; }
    afx_msg void OnSliderCustomDraw(NMHDR *, LRESULT *) { ++m_customDraws; }
    afx_msg LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam)
    {
        if (m_blackUnderSlider && reinterpret_cast<HWND>(lParam) == m_slider.m_hWnd)
            return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
        return DefWindowProc(WM_CTLCOLORSTATIC, wParam, lParam);
    }

private:
    CString m_backgroundFile;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CControlsWindow, CSkinDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_STN_CLICKED(IDC_SKIN_CHECK, OnCheckClicked)
    ON_BN_CLICKED(IDC_SKIN_BUTTON, OnButtonClicked)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_SKIN_SLIDER, OnSliderReleased)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_SKIN_SLIDER, OnSliderCustomDraw)
    ON_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColorStatic)
END_MESSAGE_MAP()

// A test strip: 4 columns of 30 x 20 cells, 2 rows, one colour per cell; the
// masked one covers only the cell's middle, (6, 5)-(24, 15).
const int CELL_W = 30;
const int CELL_H = 20;
const RECT COVERED = {6, 5, 24, 15};

COLORREF CellColour(int column, int row)
{
    return RGB(40 + 50 * column, 60 + 120 * row, 220 - 40 * column);
}

class SkinControls : public ::testing::Test
{
protected:
    SkinControls()
        : m_strips("qfw-button-strips"),
          m_window(m_folder.SkinFile("SubTitle_Left_Firewall.bmp"))
    {
        EXPECT_TRUE(SkinPieces::StateStrip(Strip(false).c_str(), CELL_W, CELL_H, 4, 2, false,
                                           [](SkinCanvas &c, const RECT &cell, int state, int row) {
                                               c.Fill(cell, CellColour(state, row));
                                           }));
        EXPECT_TRUE(SkinPieces::StateStrip(Strip(true).c_str(), CELL_W, CELL_H, 4, 2, true,
                                           [](SkinCanvas &c, const RECT &cell, int state, int row) {
                                               RECT inner = {cell.left + COVERED.left, cell.top + COVERED.top,
                                                             cell.left + COVERED.right, cell.top + COVERED.bottom};
                                               c.Fill(inner, CellColour(state, row));
                                           }));
        EXPECT_TRUE(m_window.Create(IDD_SKIN_CONTROLS));
        m_window.m_button.SetBitmap(Strip(false).c_str(), 4, FALSE);
        m_window.m_button.SetRows(2);
        m_window.m_masked.SetBitmap(Strip(true).c_str(), 4, TRUE);
        m_window.m_masked.SetRows(2);
        m_window.PlaceButton(m_window.m_button, BUTTON_AT);
        m_window.PlaceButton(m_window.m_masked, MASKED_AT);
        m_window.Show();
    }

    std::string Strip(bool masked) const { return m_strips.File(masked ? "masked.bmp" : "plain.bmp"); }

    CDib Shot(const char *state) { return SaveTestScreen(m_window, state); }

    // The screen point of a client point of the window.
    POINT At(POINT client)
    {
        m_window.ClientToScreen(&client);
        return client;
    }
    POINT ButtonCentre() { return At(POINT{BUTTON_AT.x + CELL_W / 2, BUTTON_AT.y + CELL_H / 2}); }
    COLORREF ButtonPixel(const CDib &shot) { return shot.Pixel(BUTTON_AT.x + CELL_W / 2, BUTTON_AT.y + CELL_H / 2); }

    CProgramFolderFixture m_folder;
    TempFolder m_strips;
    CControlsWindow m_window;
};

// --- check box ----------------------------------------------------------------

int CountIn(const CDib &shot, COLORREF colour, RECT area)
{
    OffsetRect(&area, CHECK_RECT.left, CHECK_RECT.top);
    return shot.CountColour(colour, area);
}

TEST_F(SkinControls, CheckBoxModeZeroTogglesEachClick)
{
    CSkinCheckBox &check = m_window.m_check;
    EXPECT_TRUE(check.GetStyle() & SS_NOTIFY);
    const RECT box = {0, 3, 15, 18}, inside = {3, 6, 11, 14}, text = {16, 0, 190, 20};
    CDib unchecked = Shot("check-unchecked");
    EXPECT_GT(CountIn(unchecked, BLACK, box), 20);
    EXPECT_EQ(0, CountIn(unchecked, BLACK, inside));
    EXPECT_GT(CountIn(unchecked, BLACK, text), 20);
    EXPECT_EQ(0, CountIn(unchecked, BLACK, RECT{14, 0, 16, 20}));

    ClickAt(At(POINT{CHECK_RECT.left + 6, CHECK_RECT.top + 10}));
    PumpFor(50);
    EXPECT_TRUE(check.m_bChecked);
    CDib checked = Shot("check-checked");
    EXPECT_GT(CountIn(checked, BLACK, inside), 8);

    ClickAt(At(POINT{CHECK_RECT.left + 60, CHECK_RECT.top + 8}));
    PumpFor(50);
    EXPECT_FALSE(check.m_bChecked);
    // The owner read the mark already changed, each time.
    EXPECT_EQ((std::vector<BOOL>{TRUE, FALSE}), m_window.m_checkSeen);
    EXPECT_EQ(0, CountIn(Shot("check-unchecked-again"), BLACK, inside));
}

TEST_F(SkinControls, CheckBoxModeOneStaysChecked)
{
    CSkinCheckBox &check = m_window.m_check;
    check.m_nMode = 1;
    // Apart, so that the second click is no double click.
    ClickAt(At(POINT{CHECK_RECT.left + 6, CHECK_RECT.top + 10}));
    ClickAt(At(POINT{CHECK_RECT.left + 60, CHECK_RECT.top + 8}));
    PumpFor(50);
    EXPECT_TRUE(check.m_bChecked);
    EXPECT_EQ((std::vector<BOOL>{TRUE, TRUE}), m_window.m_checkSeen);
    Shot("radio-checked");
}

// Drawn in its own look only: the box, the text, and around them the window
// behind (as it shows with the check box hidden).
void ExpectOwnLook(const CDib &shot, const CDib &behind, COLORREF colour)
{
    EXPECT_GT(CountIn(shot, colour, RECT{0, 4, 3, 16}), 5);
    EXPECT_GT(CountIn(shot, colour, RECT{16, 0, 190, 20}), 20);
    const POINT clear[] = {{CHECK_RECT.right - 3, CHECK_RECT.top + 2},
                           {CHECK_RECT.left + 15, CHECK_RECT.top + 1},
                           {CHECK_RECT.right - 3, CHECK_RECT.bottom - 2}};
    for (const POINT &p : clear)
        EXPECT_EQ(behind.Pixel(p.x, p.y), shot.Pixel(p.x, p.y)) << p.x << ", " << p.y;
}

CDib BehindCheck(CControlsWindow &window)
{
    window.m_check.ShowWindow(SW_HIDE);
    PumpFor(100);
    CDib behind = CaptureWindow(window);
    window.m_check.ShowWindow(SW_SHOW);
    PumpFor(100);
    return behind;
}

TEST_F(SkinControls, CheckBoxTextChangedWhileShown)
{
    CDib behind = BehindCheck(m_window);
    m_window.m_check.SetWindowText("Ask me again");
    PumpFor(100);
    CDib shot = Shot("check-text-changed");
    ExpectOwnLook(shot, behind, BLACK);
    CString text;
    m_window.m_check.GetWindowText(text);
    EXPECT_STREQ("Ask me again", text);
}

TEST_F(SkinControls, DisabledCheckBoxIsGreyAndDeaf)
{
    CSkinCheckBox &check = m_window.m_check;
    CDib behind = BehindCheck(m_window);
    check.m_bChecked = TRUE;
    check.Invalidate();
    PumpFor(50);
    check.EnableCheck(FALSE);
    PumpFor(50);
    EXPECT_FALSE(check.IsWindowEnabled());
    CDib grey = Shot("check-disabled");
    EXPECT_GT(CountIn(grey, GREY, RECT{0, 3, 15, 18}), 20);
    EXPECT_GT(CountIn(grey, GREY, RECT{16, 0, 190, 20}), 20);
    EXPECT_EQ(0, CountIn(grey, BLACK, RECT{0, 0, 190, 20}));
    ExpectOwnLook(grey, behind, GREY);

    ClickAt(At(POINT{CHECK_RECT.left + 6, CHECK_RECT.top + 10}));
    PumpFor(50);
    EXPECT_TRUE(check.m_bChecked);
    EXPECT_TRUE(m_window.m_checkSeen.empty());
}

// --- button -------------------------------------------------------------------

TEST_F(SkinControls, ButtonFollowsThePointerAndClicks)
{
    CSkinButton &button = m_window.m_button;
    EXPECT_EQ(CELL_W, button.m_nStateWidth);
    EXPECT_EQ(CELL_H, button.m_nStateHeight);
    EXPECT_EQ(CellColour(0, 0), ButtonPixel(Shot("button-away")));

    MovePointerTo(ButtonCentre());
    PumpFor(50);
    EXPECT_EQ(CellColour(1, 0), ButtonPixel(Shot("button-hover")));
    EXPECT_EQ(button.m_hWnd, GetCapture());

    PressMouseAt(ButtonCentre());
    PumpFor(50);
    EXPECT_EQ(CellColour(2, 0), ButtonPixel(Shot("button-pressed")));
    ReleaseMouseAt(ButtonCentre());
    PumpFor(50);
    EXPECT_EQ(1, m_window.m_buttonClicks);

    MovePointerTo(At(POINT{200, 200}));
    MovePointerTo(At(POINT{210, 200}));
    PumpFor(50);
    EXPECT_EQ(CellColour(0, 0), ButtonPixel(Shot("button-left")));
    EXPECT_NE(button.m_hWnd, GetCapture());
}

TEST_F(SkinControls, MovingInWithTheButtonDownShowsNoHover)
{
    MovePointerTo(At(POINT{200, 200}));
    PressMouseAt(At(POINT{200, 200}));
    MovePointerTo(ButtonCentre());
    PumpFor(50);
    EXPECT_EQ(CellColour(0, 0), ButtonPixel(Shot("button-entered-pressed")));
    ReleaseMouseAt(ButtonCentre());
    PumpFor(50);
    EXPECT_EQ(0, m_window.m_buttonClicks);
}

TEST_F(SkinControls, CheckedOrSwitchedOffButtonShowsColumnThreeAndSendsNothing)
{
    CSkinButton &button = m_window.m_button;
    struct Case { const char *state; bool check; };
    for (const Case &c : {Case{"button-checked", true}, Case{"button-switched-off", false}}) {
        if (c.check)
            button.SetCheck(TRUE);
        else
            EXPECT_TRUE(button.EnableButton(FALSE));
        PumpFor(50);
        EXPECT_EQ(CellColour(3, 0), ButtonPixel(Shot(c.state))) << c.state;
        ClickAt(ButtonCentre());
        PumpFor(50);
        EXPECT_EQ(CellColour(3, 0), ButtonPixel(Shot(c.state))) << c.state;
        EXPECT_EQ(0, m_window.m_buttonClicks) << c.state;
        button.SetCheck(FALSE);
        MovePointerTo(At(POINT{200, 200}));
        MovePointerTo(At(POINT{210, 200}));
    }
    PumpFor(50);
    EXPECT_EQ(CellColour(0, 0), ButtonPixel(Shot("button-enabled-again")));
}

TEST_F(SkinControls, ButtonRowAndWidth)
{
    CSkinButton &button = m_window.m_button;
    button.SetRow(1);
    PumpFor(50);
    EXPECT_EQ(CellColour(0, 1), ButtonPixel(Shot("button-row-1")));
    button.SetRow(0);
    // A window wider than a cell shows the next cell beyond the first.
    m_window.PlaceButton(button, BUTTON_AT, 10);
    PumpFor(100);
    CDib wide = Shot("button-wider");
    EXPECT_EQ(CellColour(0, 0), wide.Pixel(BUTTON_AT.x + 5, BUTTON_AT.y + 5));
    EXPECT_EQ(CellColour(1, 0), wide.Pixel(BUTTON_AT.x + CELL_W + 5, BUTTON_AT.y + 5));
}

TEST_F(SkinControls, MissingStripKeepsTheOldPicture)
{
    CSkinButton &button = m_window.m_button;
    m_folder.ExpectMiss(KIT_PICTURE_NOT_LOADED, "NoSuchStrip.bmp");
    button.SetBitmap(m_strips.File("NoSuchStrip.bmp").c_str(), 2, FALSE);
    EXPECT_EQ(CELL_W, button.m_nStateWidth);
    button.Invalidate();
    PumpFor(50);
    EXPECT_EQ(CellColour(0, 0), ButtonPixel(Shot("button-after-missing-strip")));
}

// Zero or negative counts of states and rows count as one: no division by
// zero, the whole strip one cell.
TEST_F(SkinControls, StatesAndRowsBelowOneCountAsOne)
{
    CSkinButton &button = m_window.m_button;
    for (int count : {0, -3}) {
        button.SetBitmap(Strip(false).c_str(), count, FALSE);
        EXPECT_EQ(4 * CELL_W, button.m_nStateWidth) << count;
        EXPECT_EQ(2 * CELL_H, button.m_nStateHeight) << count;
        button.SetRows(count);
        EXPECT_EQ(2 * CELL_H, button.m_nStateHeight) << count;
    }
    m_window.PlaceButton(button, BUTTON_AT);
    PumpFor(100);
    CDib whole = Shot("button-whole-strip");
    EXPECT_EQ(CellColour(0, 0), whole.Pixel(BUTTON_AT.x + 5, BUTTON_AT.y + 5));
    EXPECT_EQ(CellColour(3, 1), whole.Pixel(BUTTON_AT.x + 4 * CELL_W - 5, BUTTON_AT.y + 2 * CELL_H - 5));
}

TEST_F(SkinControls, MaskedButtonShowsTheWindowBehind)
{
    CSkinButton &masked = m_window.m_masked;
    CDib shown = Shot("masked-button");
    masked.ShowWindow(SW_HIDE);
    PumpFor(100);
    CDib behind = Shot("masked-button-hidden");
    const POINT corner = {MASKED_AT.x + 2, MASKED_AT.y + 2};
    const POINT middle = {MASKED_AT.x + CELL_W / 2, MASKED_AT.y + CELL_H / 2};
    EXPECT_EQ(behind.Pixel(corner.x, corner.y), shown.Pixel(corner.x, corner.y));
    EXPECT_EQ(CellColour(0, 0), shown.Pixel(middle.x, middle.y));
    int same = 0, outside = 0;
    for (int y = 0; y < CELL_H; ++y) {
        for (int x = 0; x < CELL_W; ++x) {
            POINT p = {x, y};
            if (PtInRect(&COVERED, p))
                continue;
            ++outside;
            same += shown.Pixel(MASKED_AT.x + x, MASKED_AT.y + y) == behind.Pixel(MASKED_AT.x + x, MASKED_AT.y + y);
        }
    }
    EXPECT_EQ(outside, same);
}

// --- slider -------------------------------------------------------------------

POINT SliderPixel(int x, int y) { return POINT{SLIDER_RECT.left + x, SLIDER_RECT.top + y}; }

TEST_F(SkinControls, SliderShowsTheWindowBehindAroundItsThumb)
{
    CSkinSlider &slider = m_window.m_slider;
    EXPECT_EQ((SIZE{40, 100}).cx, slider.BackgroundSize().cx);
    EXPECT_EQ(100, slider.BackgroundSize().cy);
    CDib shown = Shot("slider");
    slider.ShowWindow(SW_HIDE);
    PumpFor(100);
    CDib behind = Shot("slider-hidden");
    const POINT corners[] = {SliderPixel(0, 0), SliderPixel(39, 0), SliderPixel(0, 99), SliderPixel(39, 99)};
    for (const POINT &p : corners)
        EXPECT_EQ(behind.Pixel(p.x, p.y), shown.Pixel(p.x, p.y)) << p.x << ", " << p.y;
    int same = 0;
    for (int y = SLIDER_RECT.top; y < SLIDER_RECT.bottom; ++y)
        for (int x = SLIDER_RECT.left; x < SLIDER_RECT.right; ++x)
            same += shown.Pixel(x, y) == behind.Pixel(x, y);
    const int area = 40 * 100;
    EXPECT_GT(same, area / 2);
    EXPECT_LT(same, area);   // the channel and the thumb are drawn
}

TEST_F(SkinControls, PixelsDrawnBlackStayBlack)
{
    m_window.m_blackUnderSlider = TRUE;
    m_window.Invalidate();
    m_window.m_slider.Invalidate();
    PumpFor(100);
    CDib shot = Shot("slider-over-black");
    POINT corner = SliderPixel(0, 0);
    EXPECT_EQ(BLACK, shot.Pixel(corner.x, corner.y));
}

TEST_F(SkinControls, DraggingTheThumbMovesItAndTellsTheOwnerOnlyOfTheRelease)
{
    CSkinSlider &slider = m_window.m_slider;
    slider.SetPos(20);
    PumpFor(50);
    m_window.m_customDraws = 0;
    RECT thumb;
    slider.SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    POINT from = {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    slider.ClientToScreen(&from);
    DragFromTo(from, POINT{from.x, from.y + 40});
    PumpFor(50);
    EXPECT_GT(slider.GetPos(), 40);
    EXPECT_GE(m_window.m_releasedCaptures, 1);
    EXPECT_EQ(0, m_window.m_customDraws);
    Shot("slider-dragged");
}

TEST_F(SkinControls, FirstSavedBackgroundFixesItsSize)
{
    CSkinSlider &slider = m_window.m_slider;
    CClientDC dc(&m_window);
    slider.SaveBackground(&dc, 0, 0, 120, 150);
    EXPECT_EQ(40, slider.BackgroundSize().cx);
    EXPECT_EQ(100, slider.BackgroundSize().cy);
}

TEST_F(SkinControls, SliderWithoutSavedBackgroundDraws)
{
    m_window.m_saveSliderBackground = FALSE;
    CSkinSlider bare;
    HWND track = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_BOTH | TBS_NOTICKS,
                                 200, 80, 40, 100, m_window, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(bare.SubclassWindow(track));
    bare.Invalidate();
    PumpFor(100);
    EXPECT_EQ(0, bare.BackgroundSize().cx);
    CDib shot = Shot("slider-without-background");
    EXPECT_TRUE(IsWindow(track));
    bare.DestroyWindow();
}

} // namespace
