// The text-fit check over plain controls of known sizes: texts that fit,
// texts cut by width or by height, the system's own words and data under an
// ellipsis, and hidden controls.
#include "HostDialog.h"
#include "TextFit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Two of the shipped texts, with their keys.
const char SHIPPED_TEXT[] = "Set display units";
const char SHIPPED_KEY[] = "FRAME_MONITOR/LB_UINT";
const char DATA_TEXT[] = "C:\\Program Files\\Some Vendor\\A Rather Long Folder\\program.exe";

struct Case
{
    const char *name;
    const char *windowClass;
    DWORD style;
    const char *text;
    int width, height;
    bool faulty;
    const char *key; // the key a fault names, or NULL
};

const Case kCases[] = {
    {"fits", "Static", SS_LEFT, SHIPPED_TEXT, 300, 20, false, NULL},
    {"too narrow for one word", "Static", SS_LEFT, SHIPPED_TEXT, 30, 60, true, SHIPPED_KEY},
    {"wrapped beyond its height", "Static", SS_LEFT, SHIPPED_TEXT, 60, 14, true, SHIPPED_KEY},
    {"one line cut", "Static", SS_LEFTNOWORDWRAP, SHIPPED_TEXT, 40, 20, true, SHIPPED_KEY},
    {"data under an ellipsis", "Static", SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS, DATA_TEXT, 80, 20, false, NULL},
    {"own words under an ellipsis", "Static", SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, SHIPPED_TEXT, 40, 20, true,
     SHIPPED_KEY},
    {"data cut", "Static", SS_LEFTNOWORDWRAP, DATA_TEXT, 80, 20, true, ""},
    {"button fits", "Button", BS_PUSHBUTTON, "OK", 60, 24, false, NULL},
    {"button text at the edge", "Button", BS_PUSHBUTTON, SHIPPED_TEXT, 0, 24, true, SHIPPED_KEY},
    {"check box text cut", "Button", BS_AUTOCHECKBOX, SHIPPED_TEXT, 60, 20, true, SHIPPED_KEY},
};

int TextWidth(HWND control, const char *text)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

class TextFitTable : public ::testing::TestWithParam<Case>
{
protected:
    CHostDialog m_host;
};

TEST_P(TextFitTable, FindsEachCutTextAndNamesItsKey)
{
    const Case &c = GetParam();
    HWND control = CreateWindowExA(0, c.windowClass, c.text, WS_CHILD | WS_VISIBLE | c.style, 10, 10,
                                   c.width, c.height, m_host.Handle(), reinterpret_cast<HMENU>(101),
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, static_cast<HWND>(NULL));
    SendMessageA(control, WM_SETFONT, SendMessageA(m_host.Handle(), WM_GETFONT, 0, 0), FALSE);
    // A button exactly as wide as its text leaves no room for its edges.
    if (c.width == 0)
        MoveWindow(control, 10, 10, TextWidth(control, c.text), c.height, FALSE);
    m_host.Show();

    const std::vector<TextFitFault> faults = FindTextFitFaults(m_host.Handle());
    if (!c.faulty) {
        for (const TextFitFault &fault : faults)
            ADD_FAILURE() << DescribeTextFitFault(fault);
        return;
    }
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].text, c.text);
    EXPECT_EQ(faults[0].key, c.key);
    EXPECT_EQ(faults[0].control, std::string(c.windowClass) + " 101");
    const std::string description = DescribeTextFitFault(faults[0]);
    EXPECT_NE(description.find(c.key[0] ? c.key : "not a Language.ini text"), std::string::npos) << description;
}

INSTANTIATE_TEST_SUITE_P(Controls, TextFitTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             std::string name;
                             for (const char *p = info.param.name; *p; ++p)
                                 name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(TextFit, AHiddenControlIsNotMeasured)
{
    CHostDialog host;
    HWND control = CreateWindowExA(0, "Static", SHIPPED_TEXT, WS_CHILD | SS_LEFTNOWORDWRAP, 10, 10, 20, 20,
                                   host.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, static_cast<HWND>(NULL));
    host.Show();
    EXPECT_TRUE(FindTextFitFaults(host.Handle()).empty());
    ShowWindow(control, SW_SHOW);
    EXPECT_EQ(FindTextFitFaults(host.Handle()).size(), 1u) << "the shown control is not measured";
}

} // namespace
