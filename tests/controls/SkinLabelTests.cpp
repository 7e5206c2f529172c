// CSkinLabel: real labels in the kit's host dialog under Xvfb, read back
// from the screen. The host is subclassed by a parent that paints the skin's
// client colour behind its controls, as a skinned window does, and that
// reflects the controls' colour messages to them. Each state is saved in
// <build>/screens/.
#include <SkinLabel.h>
#include <SkinPalette.h>

#include <CDC.h>
#include <CWnd.h>

#include <GuiPump.h>
#include <HostDialog.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const COLORREF kBehind = SkinPalette::Client;
const COLORREF kBlack = RGB(0, 0, 0);

// The skinned window behind the labels: one colour under every control.
class CPaintedParent : public CWnd
{
protected:
    afx_msg BOOL OnEraseBkgnd(CDC *pDC)
    {
        CRect client;
        GetClientRect(&client);
        pDC->FillSolidRect(&client, kBehind);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedParent, CWnd)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

// A window that draws a text once with DrawText, in a given font, colour
// and format, over the same background: what a label must look like.
struct ReferenceText
{
    std::string text;
    HFONT font;
    COLORREF colour;
    UINT format;
};

LRESULT CALLBACK ReferenceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        auto *reference = reinterpret_cast<ReferenceText *>(GetWindowLongPtrA(window, GWLP_USERDATA));
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(kBehind);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, reference->colour);
        HGDIOBJ old = SelectObject(dc, reference->font);
        DrawTextA(dc, reference->text.c_str(), -1, &client, reference->format);
        SelectObject(dc, old);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

class SkinLabelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.SubclassWindow(m_host.Handle()));
        // The parent paints behind its controls first, as a skinned window does.
        m_parent.ModifyStyle(WS_CLIPCHILDREN, 0);
        SetWindowPos(m_host.Handle(), nullptr, 0, 0, 460, 320, SWP_NOMOVE | SWP_NOZORDER);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = ReferenceProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KitReferenceText";
        RegisterClassA(&windowClass);
    }

    HFONT HostFont() const
    {
        return reinterpret_cast<HFONT>(SendMessageA(m_host.Handle(), WM_GETFONT, 0, 0));
    }

    // A static control of the host, in the host's font, as a template makes it.
    HWND AddStatic(UINT id, const char *text, DWORD style, RECT rect)
    {
        HWND control = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                       rect.right - rect.left, rect.bottom - rect.top, m_host.Handle(),
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                       GetModuleHandleA(nullptr), nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(HostFont()), FALSE);
        return control;
    }

    HWND AddReference(ReferenceText *reference, RECT rect)
    {
        HWND window = CreateWindowExA(0, "KitReferenceText", "", WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, m_host.Handle(), nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reference));
        return window;
    }

    void Show()
    {
        m_host.Show();
        RedrawWindow(m_host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(100);
    }

    // Pixels that differ between two captures of the same size.
    static int Differences(const CDib &a, const CDib &b)
    {
        if (a.Width() != b.Width() || a.Height() != b.Height())
            return -1;
        int count = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                count += a.Pixel(x, y) != b.Pixel(x, y);
        return count;
    }

    // The colours a label's CtlColor leaves in a DC, and its brush.
    struct ColourState
    {
        HBRUSH brush;
        int mode;
        COLORREF back;
        COLORREF text;
        HGDIOBJ font;
    };
    ColourState AskColours(HWND label)
    {
        HDC dc = CreateCompatibleDC(nullptr);
        SetBkColor(dc, RGB(1, 2, 3));
        SetBkMode(dc, OPAQUE);
        ColourState state;
        state.brush = reinterpret_cast<HBRUSH>(
            SendMessageA(m_host.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
        state.mode = GetBkMode(dc);
        state.back = GetBkColor(dc);
        state.text = GetTextColor(dc);
        state.font = GetCurrentObject(dc, OBJ_FONT);
        DeleteDC(dc);
        return state;
    }

    CHostDialog m_host;
    CPaintedParent m_parent;
};

HFONT ArialFont()
{
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, "Arial");
}

TEST_F(SkinLabelTest, PresetsDrawTheirTextOnceInTheirColourAndFont)
{
    AddStatic(1001, "Accent label", 0, RECT{10, 10, 200, 30});
    AddStatic(1002, "Dark label", 0, RECT{10, 40, 200, 60});
    AddStatic(1003, "Plain label", 0, RECT{10, 70, 200, 90});
    CSkinLabel accent, dark, plain;
    ASSERT_TRUE(accent.AttachAccent(1001, &m_parent));
    ASSERT_TRUE(dark.AttachDark(1002, &m_parent));
    ASSERT_TRUE(plain.AttachPlain(1003, &m_parent));

    HFONT arial = ArialFont();
    const UINT format = DT_END_ELLIPSIS | DT_WORDBREAK;
    ReferenceText references[] = {{"Accent label", arial, RGB(255, 102, 0), format},
                                   {"Dark label", arial, RGB(21, 21, 21), format},
                                   {"Plain label", arial, kBlack, format}};
    HWND referenceWindows[3];
    for (int i = 0; i < 3; ++i)
        referenceWindows[i] = AddReference(&references[i], RECT{220, 10 + 30 * i, 410, 30 + 30 * i});
    Show();
    SaveTestScreen(m_host.Handle(), "presets");

    CSkinLabel *labels[] = {&accent, &dark, &plain};
    for (int i = 0; i < 3; ++i) {
        const CDib label = CaptureWindow(labels[i]->GetSafeHwnd());
        EXPECT_EQ(0, Differences(label, CaptureWindow(referenceWindows[i]))) << references[i].text;
        EXPECT_GT(label.CountColour(references[i].colour), 10) << references[i].text;
        // The back colours act only on the control's own painting, which
        // fills nothing: the window behind shows.
        EXPECT_EQ(0, label.CountColour(RGB(234, 234, 234)));
        EXPECT_EQ(0, label.CountColour(RGB(203, 203, 203)));
        EXPECT_GT(label.CountColour(kBehind), label.Width() * label.Height() / 2);
    }
    DeleteObject(arial);
}

TEST_F(SkinLabelTest, TheColourMessageGivesTheHollowBrushAndTheLabelsColours)
{
    HWND opaque = AddStatic(1001, "Dark", 0, RECT{10, 10, 100, 30});
    HWND transparent = AddStatic(1002, "Transparent", 0, RECT{10, 40, 100, 60});
    CSkinLabel dark;
    ASSERT_TRUE(dark.AttachDark(1001, &m_parent));
    CSkinLabel clear(RGB(0, 128, 0));
    ASSERT_TRUE(clear.SubclassDlgItem(1002, &m_parent));

    const ColourState darkState = AskColours(opaque);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), darkState.brush);
    EXPECT_EQ(OPAQUE, darkState.mode);            // left as it was
    EXPECT_EQ(RGB(234, 234, 234), darkState.back);
    EXPECT_EQ(RGB(21, 21, 21), darkState.text);
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(darkState.font, sizeof font, &font));
    EXPECT_STREQ("Arial", font.lfFaceName);
    EXPECT_EQ(-12, font.lfHeight);

    const ColourState clearState = AskColours(transparent);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), clearState.brush);
    EXPECT_EQ(TRANSPARENT, clearState.mode);
    EXPECT_EQ(RGB(1, 2, 3), clearState.back);      // left as it was
    EXPECT_EQ(RGB(0, 128, 0), clearState.text);
}

TEST_F(SkinLabelTest, WithoutAFontOfItsOwnALabelDrawsInItsParentsFont)
{
    AddStatic(1001, "In the dialog's font", 0, RECT{10, 10, 200, 30});
    CSkinLabel label(RGB(0, 0, 160));
    ASSERT_TRUE(label.SubclassDlgItem(1001, &m_parent));
    ReferenceText reference = {"In the dialog's font", HostFont(), RGB(0, 0, 160), DT_END_ELLIPSIS | DT_WORDBREAK};
    HWND referenceWindow = AddReference(&reference, RECT{220, 10, 410, 30});
    Show();
    SaveTestScreen(m_host.Handle(), "parent-font");
    EXPECT_EQ(0, Differences(CaptureWindow(label.GetSafeHwnd()), CaptureWindow(referenceWindow)));
}

TEST_F(SkinLabelTest, ACentredLongTextIsOneLineWithAnEllipsisAndALeftOneWraps)
{
    const char *text = "A text far too long for the narrow label it is shown in";
    AddStatic(1001, text, SS_CENTER, RECT{10, 10, 130, 50});
    // Tall enough for every line of the wrapped text: a cut last line would
    // fail the screenshot's text-fit check.
    AddStatic(1002, text, SS_LEFT, RECT{10, 60, 130, 104});
    CSkinLabel centred, left;
    ASSERT_TRUE(centred.AttachDark(1001, &m_parent));
    ASSERT_TRUE(left.AttachDark(1002, &m_parent));
    HFONT arial = ArialFont();
    ReferenceText centredReference = {text, arial, RGB(21, 21, 21), DT_END_ELLIPSIS | DT_CENTER | DT_SINGLELINE};
    ReferenceText leftReference = {text, arial, RGB(21, 21, 21), DT_END_ELLIPSIS | DT_WORDBREAK};
    HWND centredWindow = AddReference(&centredReference, RECT{220, 10, 340, 50});
    HWND leftWindow = AddReference(&leftReference, RECT{220, 60, 340, 104});
    Show();
    SaveTestScreen(m_host.Handle(), "long-texts");

    const CDib centredShot = CaptureWindow(centred.GetSafeHwnd());
    const CDib leftShot = CaptureWindow(left.GetSafeHwnd());
    EXPECT_EQ(0, Differences(centredShot, CaptureWindow(centredWindow)));
    EXPECT_EQ(0, Differences(leftShot, CaptureWindow(leftWindow)));
    // One line at the top of the centred label; the left one goes on below.
    const RECT secondLine = {0, 16, 120, 40};
    EXPECT_EQ(0, centredShot.CountColour(RGB(21, 21, 21), secondLine));
    EXPECT_GT(leftShot.CountColour(RGB(21, 21, 21), secondLine), 0);
    DeleteObject(arial);
}

TEST_F(SkinLabelTest, ALabelWithoutPrefixesDrawsItsAmpersandAndAnyOtherMarksTheNextLetter)
{
    struct Case {
        DWORD style;
        UINT extraFormat;
    } cases[] = {
        {SS_NOPREFIX, DT_NOPREFIX},              // program data: "R&D.exe" as it is
        {SS_NOPREFIX | SS_RIGHT, DT_NOPREFIX | DT_RIGHT | DT_SINGLELINE},
        {0, 0},                                  // a language text: '&' marks the D
    };
    const char *text = "R&D.exe";
    HFONT arial = ArialFont();
    for (const Case &c : cases) {
        const UINT id = 1001;
        HWND control = AddStatic(id, text, c.style, RECT{10, 10, 200, 30});
        CSkinLabel label;
        ASSERT_TRUE(label.AttachDark(id, &m_parent));
        ReferenceText reference = {text, arial, RGB(21, 21, 21), DT_END_ELLIPSIS | DT_WORDBREAK | c.extraFormat};
        if (c.style & SS_RIGHT)
            reference.format &= ~DT_WORDBREAK;
        ReferenceText other = reference;
        other.format ^= DT_NOPREFIX;
        HWND referenceWindow = AddReference(&reference, RECT{220, 10, 410, 30});
        HWND otherWindow = AddReference(&other, RECT{220, 40, 410, 60});
        Show();
        SaveTestScreen(m_host.Handle(), c.style & SS_NOPREFIX ? (c.style & SS_RIGHT ? "no-prefix-right" : "no-prefix")
                                                              : "prefix");

        const CDib shot = CaptureWindow(control);
        EXPECT_EQ(0, Differences(shot, CaptureWindow(referenceWindow))) << c.style;
        EXPECT_GT(Differences(shot, CaptureWindow(otherWindow)), 0) << c.style;
        label.DestroyWindow();
        DestroyWindow(referenceWindow);
        DestroyWindow(otherWindow);
    }
    DeleteObject(arial);
}

// The text's extent in the label's font.
SIZE Extent(const char *text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = ArialFont();
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return size;
}

TEST_F(SkinLabelTest, AFramedCaptionHasAFrameOnFourSidesWithAGapForTheCaption)
{
    const char *caption = "Console password";
    AddStatic(1001, caption, 0, RECT{20, 20, 260, 140});
    CSkinLabel group;
    ASSERT_TRUE(group.AttachDark(1001, &m_parent));
    group.m_bFramed = TRUE;
    group.SetTextColor(RGB(200, 0, 0));   // so that black is the frame alone
    Show();
    SaveTestScreen(m_host.Handle(), "framed");

    const CDib shot = CaptureWindow(group.GetSafeHwnd());
    const SIZE extent = Extent(caption);
    const int middle = extent.cy / 2, right = shot.Width() - 1, bottom = shot.Height() - 1;
    EXPECT_GT(shot.CountColour(RGB(200, 0, 0)), 10);
    // Left of the caption, up to cy - 3; right of it from cx + cy + 4.
    EXPECT_EQ(extent.cy - 2, shot.CountColour(kBlack, RECT{0, middle, extent.cy - 2, middle + 1}));
    EXPECT_EQ(0, shot.CountColour(kBlack, RECT{extent.cy - 2, middle, extent.cx + extent.cy + 4, middle + 1}));
    EXPECT_EQ(right - (extent.cx + extent.cy + 3),
              shot.CountColour(kBlack, RECT{extent.cx + extent.cy + 4, middle, right + 1, middle + 1}));
    // Down the left and right sides and along the bottom, inside the control.
    EXPECT_EQ(bottom - middle + 1, shot.CountColour(kBlack, RECT{0, middle, 1, bottom + 1}));
    EXPECT_EQ(bottom - middle + 1, shot.CountColour(kBlack, RECT{right, middle, right + 1, bottom + 1}));
    EXPECT_EQ(right + 1, shot.CountColour(kBlack, RECT{0, bottom, right + 1, bottom + 1}));
    // Nothing black inside the frame.
    EXPECT_EQ(0, shot.CountColour(kBlack, RECT{1, extent.cy + 1, right, bottom}));
}

TEST_F(SkinLabelTest, AFramedLabelWithoutTextIsAClosedRectangle)
{
    AddStatic(1001, "", 0, RECT{20, 20, 200, 100});
    CSkinLabel group;
    ASSERT_TRUE(group.AttachDark(1001, &m_parent));
    group.m_bFramed = TRUE;
    Show();
    SaveTestScreen(m_host.Handle(), "framed-empty");

    const CDib shot = CaptureWindow(group.GetSafeHwnd());
    const int right = shot.Width() - 1, bottom = shot.Height() - 1;
    EXPECT_EQ(right + 1, shot.CountColour(kBlack, RECT{0, 0, right + 1, 1}));
    EXPECT_EQ(right + 1, shot.CountColour(kBlack, RECT{0, bottom, right + 1, bottom + 1}));
    EXPECT_EQ(bottom + 1, shot.CountColour(kBlack, RECT{0, 0, 1, bottom + 1}));
    EXPECT_EQ(bottom + 1, shot.CountColour(kBlack, RECT{right, 0, right + 1, bottom + 1}));
    EXPECT_EQ((right - 1) * (bottom - 1), shot.CountColour(kBehind, RECT{1, 1, right, bottom}));
}

TEST_F(SkinLabelTest, ASecondFontReplacesTheFirst)
{
    HWND control = AddStatic(1001, "Font", 0, RECT{10, 10, 100, 30});
    CSkinLabel label;
    ASSERT_TRUE(label.SubclassDlgItem(1001, &m_parent));
    label.SetLabelFont("Arial", -12, FW_NORMAL, FALSE, FALSE, FALSE);
    const HGDIOBJ first = AskColours(control).font;
    label.SetLabelFont("Arial", -20, FW_BOLD, FALSE, FALSE, FALSE);
    const HGDIOBJ second = AskColours(control).font;
    EXPECT_NE(first, second);
    EXPECT_EQ(0u, GetObjectType(first));
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(second));
}

TEST_F(SkinLabelTest, TheFaceIsCutTo31CharactersAndAParentWithoutAFontGivesNothingElse)
{
    // A parent window that has no font at all.
    HWND bare = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_EQ(0, SendMessageA(bare, WM_GETFONT, 0, 0));
    CWnd bareParent;
    ASSERT_TRUE(bareParent.SubclassWindow(bare));
    HWND control = CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 50, 20, bare,
                                   reinterpret_cast<HMENU>(1001), GetModuleHandleA(nullptr), nullptr);
    CSkinLabel label;
    ASSERT_TRUE(label.SubclassDlgItem(1001, &bareParent));
    const std::string face(40, 'F');
    label.SetLabelFont(face.c_str(), -20, FW_BOLD, TRUE, TRUE, TRUE);

    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageA(bare, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font));
    DeleteDC(dc);
    EXPECT_EQ(std::string(31, 'F'), font.lfFaceName);
    EXPECT_EQ(-20, font.lfHeight);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    EXPECT_EQ(1, font.lfItalic);
    EXPECT_EQ(1, font.lfUnderline);
    EXPECT_EQ(0, font.lfWidth);
    EXPECT_EQ(0, font.lfCharSet);
    EXPECT_EQ(0, font.lfStrikeOut);
}

std::string ModuleFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

TEST_F(SkinLabelTest, WithoutTheHelpProgramsCursorTheLabelKeepsTheNormalOne)
{
    AddStatic(1001, "Link", SS_NOTIFY, RECT{10, 10, 100, 30});
    CSkinLabel label;
    ASSERT_TRUE(label.SubclassDlgItem(1001, &m_parent));
    label.LoadHandCursor();
    EXPECT_EQ(nullptr, label.GetHandCursor());
    label.LoadHandCursorFrom((ModuleFolder() + "NoSuchModule.dll").c_str());
    EXPECT_EQ(nullptr, label.GetHandCursor());
    // Under the real mouse the label shows the normal arrow.
    Show();
    MovePointerTo(CentreOf(label.GetSafeHwnd()));
    const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));   // IDC_ARROW
    EXPECT_TRUE(PumpUntil([&] { return GetCursor() == arrow; }, 2000));
    SaveTestScreen(nullptr, "pointer-over-label");
}

TEST_F(SkinLabelTest, AModulesHandCursorShowsUnderTheRealMouseAndGoesWithTheLabel)
{
    AddStatic(1001, "Link label", SS_NOTIFY, RECT{10, 10, 150, 40});
    AddStatic(1002, "Plain label", SS_NOTIFY, RECT{10, 60, 150, 90});
    HCURSOR copy = nullptr;
    {
        CSkinLabel link, plain;
        ASSERT_TRUE(link.AttachDark(1001, &m_parent));
        ASSERT_TRUE(plain.AttachDark(1002, &m_parent));
        link.LoadHandCursorFrom((ModuleFolder() + "LabelHandCursor.dll").c_str());
        copy = link.GetHandCursor();
        ASSERT_NE(nullptr, copy);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(copy, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(14u, info.xHotspot);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        Show();

        MovePointerTo(CentreOf(link.GetSafeHwnd()));
        EXPECT_TRUE(PumpUntil([&] { return GetCursor() == copy; }, 2000));
        SaveTestScreen(nullptr, "pointer-over-link");
        MovePointerTo(CentreOf(plain.GetSafeHwnd()));
        EXPECT_TRUE(PumpUntil([&] { return GetCursor() != copy; }, 2000));
    }
    // The copy went with its label.
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(copy, &info));
}

} // namespace
