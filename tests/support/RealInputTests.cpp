// Input sent as a person's lands where a person's would: the pointer goes
// to the point asked for, a click reaches the control under it and no other,
// typed text arrives key by key in the control with the focus.
#include "AddressFieldInput.h"
#include "GuiPump.h"
#include "HostDialog.h"
#include "RealInput.h"
#include "RecordingParent.h"
#include "TestScreens.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

const int FIRST_BUTTON_ID = 1001, BUTTONS = 4, EDIT_ID = 1010;

HWND AddControl(HWND parent, const char *className, const char *text, DWORD style, int id,
                RECT rect)
{
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
                                   rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
    return control;
}

// Four push buttons in a row and an edit below them, in the host dialog.
class InputFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < BUTTONS; ++i) {
            char text[16];
            wsprintfA(text, "Button %d", i + 1);
            buttons[i] = AddControl(host.Handle(), "BUTTON", text, BS_PUSHBUTTON,
                                    FIRST_BUTTON_ID + i, RECT{10 + 120 * i, 10, 120 * (i + 1), 40});
        }
        edit = AddControl(host.Handle(), "EDIT", "", WS_BORDER | ES_AUTOHSCROLL, EDIT_ID,
                          RECT{10, 60, 300, 84});
        host.Show();
    }

    CHostDialog host;
    HWND buttons[BUTTONS] = {};
    HWND edit = nullptr;
};

TEST(RealInput, ThePointerGoesToThePointAskedFor)
{
    const int right = GetSystemMetrics(SM_CXSCREEN) - 1, bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    const POINT points[] = {{0, 0}, {right, bottom}, {right, 0}, {0, bottom}, {1, 1},
                            {640, 512}, {333, 777}, {right - 1, bottom - 1}};
    for (POINT point : points) {
        MovePointerTo(point);
        POINT now = {};
        GetCursorPos(&now);
        EXPECT_EQ(now.x, point.x) << point.x << "," << point.y;
        EXPECT_EQ(now.y, point.y) << point.x << "," << point.y;
    }
}

TEST_F(InputFixture, AClickLandsOnItsControlAndNoOther)
{
    for (int target = 0; target < BUTTONS; ++target) {
        host.Log().Clear();
        ClickControl(buttons[target]);
        ASSERT_TRUE(PumpUntil([&] { return host.Log().Count(WM_COMMAND) > 0; }, 2000)) << target;
        PumpFor(50);
        for (int i = 0; i < BUTTONS; ++i)
            EXPECT_EQ(host.Log().Count(WM_COMMAND, FIRST_BUTTON_ID + i, BN_CLICKED),
                      i == target ? 1 : 0)
                << "target " << target << ", button " << i;
    }
}

TEST_F(InputFixture, AClickAtTheEdgeOfAControlStillLandsOnIt)
{
    RECT client;
    GetClientRect(buttons[2], &client);
    ClickControlAt(buttons[2], POINT{1, client.bottom - 2});
    PumpFor(50);

    EXPECT_EQ(host.Log().Count(WM_COMMAND, FIRST_BUTTON_ID + 2, BN_CLICKED), 1);
    EXPECT_EQ(host.Log().Count(WM_COMMAND, FIRST_BUTTON_ID + 1, BN_CLICKED), 0);
}

TEST_F(InputFixture, TypedTextArrivesKeyByKeyWithShiftWhereNeeded)
{
    ClickControl(edit);
    ASSERT_EQ(GetFocus(), edit);
    host.Log().Clear();

    ASSERT_TRUE(TypeText("12abc Hi!"));
    PumpFor(50);

    char text[64] = "";
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "12abc Hi!");
    EXPECT_EQ(host.Log().Count(WM_COMMAND, EDIT_ID, EN_CHANGE), 9);
    SaveTestScreen(host.Handle(), "typed");
}

TEST_F(InputFixture, TabWalksTheDialogsControlsInOrder)
{
    ClickControl(buttons[0]);
    ASSERT_EQ(GetFocus(), buttons[0]);
    const HWND order[] = {buttons[1], buttons[2], buttons[3], edit, buttons[0]};
    for (HWND next : order) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), next);
    }
    PressKey(VK_TAB, VK_SHIFT);
    EXPECT_EQ(GetFocus(), edit);
}

// Dragging a caption runs the system's move loop on this thread until the
// button goes up; the drag still ends, with the window where it was taken.
TEST(RealInput, ADragByTheCaptionMovesTheWindow)
{
    CRecordingParent window(RECT{100, 100, 400, 300});
    BringToFront(window.Handle());
    RECT before, client;
    GetWindowRect(window.Handle(), &before);
    GetClientRect(window.Handle(), &client);
    POINT caption = {0, 0};
    ClientToScreen(window.Handle(), &caption);
    caption.x += client.right / 2;
    caption.y = (before.top + caption.y) / 2;
    ASSERT_EQ(HTCAPTION, SendMessageA(window.Handle(), WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)));

    DragFromTo(caption, POINT{caption.x + 60, caption.y + 35});
    RECT after;
    GetWindowRect(window.Handle(), &after);
    EXPECT_EQ(before.left + 60, after.left);
    EXPECT_EQ(before.top + 35, after.top);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    SaveTestScreen(nullptr, "dragged-by-caption");
}

TEST_F(InputFixture, TheWheelScrollsTheListUnderThePointer)
{
    HWND list = AddControl(host.Handle(), "LISTBOX", "", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT,
                           1020, RECT{10, 100, 200, 180});
    for (int i = 0; i < 50; ++i) {
        char item[16];
        wsprintfA(item, "Line %d", i);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    ClickControl(list);
    ASSERT_EQ(0, SendMessageA(list, LB_GETTOPINDEX, 0, 0));

    TurnWheelAt(CentreOf(list), -2);
    const LRESULT down = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    EXPECT_GT(down, 0);
    SaveTestScreen(host.Handle(), "wheel-down");
    TurnWheelAt(CentreOf(list), 1);
    const LRESULT back = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    EXPECT_LT(back, down);
}

TEST(RealInput, TextWithoutKeysIsRefusedWhole)
{
    EXPECT_FALSE(TypeText("ab\x01"));
    EXPECT_TRUE(TypeText(""));
}

// An address typed over one that the field shows lands box by box, also
// where a box of three digits moves the caret on by itself.
TEST(AddressFieldInput, AnAddressTypedOverAnotherLandsBoxByBox)
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_INTERNET_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    CHostDialog host;
    HWND field = AddControl(host.Handle(), WC_IPADDRESSA, "", 0, 1020, RECT{10, 10, 170, 32});
    ASSERT_NE(field, nullptr);
    host.Show();
    struct Case {
        DWORD shown;
        const char *typed;
        DWORD read;
    } const cases[] = {
        {0, "255.255.0.0", 0xFFFF0000u},
        {0x0A010203u, "192.168.100.254", 0xC0A864FEu},
        {0xC0A80001u, "10.0.0.9", 0x0A000009u},
    };
    for (const Case &c : cases) {
        SendMessageA(field, IPM_SETADDRESS, 0, static_cast<LPARAM>(c.shown));
        TypeAddress(field, c.typed);
        DWORD read = 0;
        SendMessageA(field, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&read));
        EXPECT_EQ(read, c.read) << c.typed;
    }
    SaveTestScreen(host.Handle(), "typed");
}

} // namespace
