// CLinkLabel in the kit's host dialog under Xvfb: its text and URL, its
// colours by state read from the screen, and a real click that opens the
// URL with the shell (a program that leaves a marker file).
#include <LinkLabel.h>

#include <CWnd.h>

#include <GuiPump.h>
#include <HostDialog.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const COLORREF kNormal = RGB(200, 0, 0);
const COLORREF kHover = RGB(0, 0, 200);
const COLORREF kVisited = RGB(0, 150, 0);

class LinkLabelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The host reflects its controls' colour messages to them.
        ASSERT_TRUE(m_parent.SubclassWindow(m_host.Handle()));
        SetWindowPos(m_host.Handle(), nullptr, 0, 0, 400, 200, SWP_NOMOVE | SWP_NOZORDER);
    }
    void TearDown() override { m_parent.UnsubclassWindow(); }

    HWND AddStatic(const char *text)
    {
        HWND control = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE, 20, 20, 300, 24, m_host.Handle(),
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(1200)),
                                       GetModuleHandleA(nullptr), nullptr);
        SendMessageA(control, WM_SETFONT, SendMessageA(m_host.Handle(), WM_GETFONT, 0, 0), FALSE);
        return control;
    }

    // Text pixels of the label in a colour, as shown.
    int Shown(const CLinkLabel &label, COLORREF colour, const char *state)
    {
        RedrawWindow(m_host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(50);
        SaveTestScreen(m_host.Handle(), state);
        return CaptureWindow(label.GetSafeHwnd()).CountColour(colour);
    }

    static std::string ProgramFolder()
    {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder = path;
        return folder.substr(0, folder.rfind('\\') + 1);
    }

    CHostDialog m_host;
    CWnd m_parent;
};

TEST_F(LinkLabelTest, TextAndURLFillEachOther)
{
    CLinkLabel fromURL;
    fromURL.SetURL("http://example.invalid/");
    ASSERT_TRUE(fromURL.SubclassWindow(AddStatic("")));
    CString text;
    fromURL.GetWindowText(text);
    EXPECT_STREQ(text, "http://example.invalid/");

    CLinkLabel fromText;
    ASSERT_TRUE(fromText.SubclassWindow(AddStatic("Visit us")));
    EXPECT_STREQ(fromText.GetURL(), "Visit us");
    EXPECT_TRUE(fromText.GetStyle() & SS_NOTIFY);

    // Both given: each keeps its own.
    CLinkLabel both;
    both.SetURL("u");
    ASSERT_TRUE(both.SubclassWindow(AddStatic("t")));
    both.GetWindowText(text);
    EXPECT_STREQ(text, "t");
    EXPECT_STREQ(both.GetURL(), "u");
    // Underlined in the control's own font.
    LOGFONT font = {};
    GetObject(reinterpret_cast<HFONT>(both.SendMessage(WM_GETFONT)), sizeof font, &font);
    EXPECT_EQ(font.lfUnderline, 1);
}

TEST_F(LinkLabelTest, ARealClickOpensTheURLAndTheColourFollowsTheState)
{
    const std::string target = ProgramFolder() + "LinkTarget.exe";
    const std::string marker = ProgramFolder() + "LinkTarget.opened";
    DeleteFileA(marker.c_str());

    CLinkLabel label;
    label.m_normalColor = kNormal;
    label.m_hoverColor = kHover;
    label.m_visitedColor = kVisited;
    label.SetURL(target.c_str());
    ASSERT_TRUE(label.SubclassWindow(AddStatic("Open the target")));
    m_host.Show();
    MovePointerTo(POINT{0, 0});
    PumpFor(50);
    EXPECT_GT(Shown(label, kNormal, "normal"), 10);
    EXPECT_EQ(Shown(label, kVisited, "normal"), 0);

    MovePointerTo(ScreenPointOf(label.GetSafeHwnd(), POINT{10, 8}));
    PumpFor(50);
    EXPECT_TRUE(label.IsHovered());
    EXPECT_GT(Shown(label, kHover, "hovered"), 10);

    ClickControlAt(label.GetSafeHwnd(), POINT{10, 8});
    EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
        << "the shell did not open " << target;
    EXPECT_TRUE(label.IsVisited());

    MovePointerTo(POINT{0, 0});
    PumpFor(50);
    EXPECT_FALSE(label.IsHovered());
    EXPECT_GT(Shown(label, kVisited, "visited"), 10);
    EXPECT_EQ(Shown(label, kNormal, "visited"), 0);
    DeleteFileA(marker.c_str());
}

} // namespace
