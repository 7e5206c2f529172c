// The small control wrappers over real controls: owner-drawn buttons,
// statics, combo boxes, trackbars, IP address fields and tooltips.
#include "ControlHost.h"
#include "TestScreens.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An owner-drawn button that paints its item in one colour and notes each
// call, with what its parent's WM_DRAWITEM carried.
class CPaintedButton : public CButton
{
public:
    int m_nDrawn = 0;
    UINT m_nCtlType = 0;
    HWND m_hWndItem = NULL;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        ++m_nDrawn;
        m_nCtlType = lpDrawItemStruct->CtlType;
        m_hWndItem = lpDrawItemStruct->hwndItem;
        CDC::FromHandle(lpDrawItemStruct->hDC)->FillSolidRect(&lpDrawItemStruct->rcItem, RGB(200, 0, 120));
    }
};

TEST(Button, OwnerDrawnButtonDrawsThroughItsParent)
{
    CControlHost host;
    CPaintedButton button;
    ASSERT_TRUE(host.Add(button, "BUTTON", BS_OWNERDRAW, CRect(10, 10, 90, 40), 1011, "Draw"));
    button.Invalidate();
    button.UpdateWindow();
    ASSERT_TRUE(PumpUntil([&] { return button.m_nDrawn > 0; }));
    EXPECT_EQ(static_cast<UINT>(ODT_BUTTON), button.m_nCtlType);
    EXPECT_EQ(button.GetSafeHwnd(), button.m_hWndItem);
    CDC *pDC = button.GetDC();
    EXPECT_EQ(RGB(200, 0, 120), ::GetPixel(*pDC, 40, 15));
    button.ReleaseDC(pDC);
    SaveTestScreen(host, "owner-drawn");
}

TEST(Button, APlainButtonIsDrawnByTheSystem)
{
    CControlHost host;
    CPaintedButton button;
    ASSERT_TRUE(host.Add(button, "BUTTON", BS_PUSHBUTTON, CRect(10, 10, 90, 40), 1011, "Push"));
    button.Invalidate();
    button.UpdateWindow();
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(0, button.m_nDrawn);
}

TEST(Static, CreateMakesAChildWithTheDefaultId)
{
    CControlHost host;
    CStatic label;
    ASSERT_TRUE(label.Create("Caption", WS_CHILD | WS_VISIBLE, CRect(10, 50, 110, 70), &host));
    EXPECT_EQ(0xFFFF, label.GetDlgCtrlID());
    CString text;
    label.GetWindowText(text);
    EXPECT_STREQ("Caption", text);
    EXPECT_EQ(&label, CWnd::FromHandle(label.GetSafeHwnd()));

    CStatic numbered;
    ASSERT_TRUE(numbered.Create("", WS_CHILD, CRect(0, 0, 10, 10), &host, 1017));
    EXPECT_EQ(1017, numbered.GetDlgCtrlID());
}

TEST(ComboBox, ItemsAndTheirData)
{
    CControlHost host;
    CComboBox combo;
    ASSERT_TRUE(host.Add(combo, "COMBOBOX", CBS_DROPDOWNLIST, CRect(10, 80, 200, 200), 1020));
    EXPECT_EQ(0, combo.AddString("Low"));
    EXPECT_EQ(1, combo.AddString("High"));
    EXPECT_EQ(1, combo.InsertString(1, "Medium"));
    EXPECT_EQ(3, combo.GetCount());
    EXPECT_NE(CB_ERR, combo.SetItemData(0, 10));
    EXPECT_NE(CB_ERR, combo.SetItemData(1, 20));
    EXPECT_NE(CB_ERR, combo.SetItemData(2, 0xFFFFFFF0u));
    EXPECT_EQ(10u, combo.GetItemData(0));
    EXPECT_EQ(20u, combo.GetItemData(1));
    EXPECT_EQ(0xFFFFFFF0u, combo.GetItemData(2));

    EXPECT_EQ(CB_ERR, combo.GetCurSel());
    EXPECT_EQ(2, combo.SetCurSel(2));
    EXPECT_EQ(2, combo.GetCurSel());
    EXPECT_EQ(2, combo.DeleteString(0)) << "two left";
    EXPECT_EQ(20u, combo.GetItemData(0)) << "the data moves with its item";
    EXPECT_EQ(CB_ERR, combo.DeleteString(7));
    SaveTestScreen(host, "medium-selected");
}

TEST(ComboBox, AWrapperWithoutAWindowFails)
{
    CComboBox combo;
    EXPECT_EQ(CB_ERR, combo.AddString("a"));
    EXPECT_EQ(CB_ERR, combo.GetCount());
    EXPECT_EQ(CB_ERR, combo.GetCurSel());
    EXPECT_EQ(static_cast<DWORD_PTR>(CB_ERR), combo.GetItemData(0));
}

struct SliderCase
{
    int min;
    int max;
    int set;
    int expected;
};

TEST(SliderCtrl, PositionsAreKeptInsideTheRange)
{
    const SliderCase cases[] = {
        {0, 2, 253, 2}, {0, 2, 1, 1}, {0, 2, -4, 0}, {0, 100000, 70000, 70000}, {-10, 10, -5, -5},
    };
    CControlHost host;
    CSliderCtrl slider;
    ASSERT_TRUE(host.Add(slider, TRACKBAR_CLASS, TBS_HORZ, CRect(10, 210, 210, 240), 1015));
    for (const SliderCase &c : cases) {
        slider.SetRange(c.min, c.max, TRUE);
        int min = 0, max = 0;
        slider.GetRange(min, max);
        EXPECT_EQ(c.min, min);
        EXPECT_EQ(c.max, max);
        slider.SetPos(c.set);
        EXPECT_EQ(c.expected, slider.GetPos()) << c.min << ".." << c.max << " set " << c.set;
    }
    SaveTestScreen(host, "last-range");
}

// The field of an address control that shows the given text.
HWND FieldShowing(HWND hAddress, const char *text)
{
    for (HWND hField = ::GetWindow(hAddress, GW_CHILD); hField; hField = ::GetWindow(hField, GW_HWNDNEXT)) {
        char shown[8] = "";
        ::GetWindowText(hField, shown, sizeof(shown));
        if (lstrcmpA(shown, text) == 0)
            return hField;
    }
    return NULL;
}

TEST(IPAddressCtrl, AddressesFieldsAndBlanks)
{
    CControlHost host;
    CIPAddressCtrl address;
    ASSERT_TRUE(host.Add(address, WC_IPADDRESS, 0, CRect(220, 10, 400, 35), 1045));
    address.SetAddress(0xC0A80001);
    DWORD value = 0;
    EXPECT_EQ(4, address.GetAddress(value));
    EXPECT_EQ(0xC0A80001u, value);
    EXPECT_NE(nullptr, FieldShowing(address, "192")) << "the first field holds the top byte";

    HWND hSecond = FieldShowing(address, "168");
    ASSERT_NE(nullptr, hSecond);
    ::SetWindowText(hSecond, "");
    EXPECT_EQ(3, address.GetAddress(value));
    EXPECT_EQ(0xC0000001u, value) << "a blank field reads as 0";

    address.SetAddress(10, 0, 0, 255);
    EXPECT_EQ(4, address.GetAddress(value));
    EXPECT_EQ(0x0A0000FFu, value);
    EXPECT_FALSE(address.IsBlank());
    SaveTestScreen(host, "10.0.0.255");

    address.ClearAddress();
    EXPECT_EQ(0, address.GetAddress(value));
    EXPECT_EQ(0u, value);
    EXPECT_TRUE(address.IsBlank());

    CIPAddressCtrl none;
    value = 5;
    EXPECT_EQ(0, none.GetAddress(value));
    EXPECT_EQ(0u, value);
}

TEST(ToolTipCtrl, ToolsAreAdded)
{
    CControlHost host;
    CStatic label;
    ASSERT_TRUE(label.Create("Tip", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(10, 250, 110, 270),
                             &host, 1017));
    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&label));
    EXPECT_EQ(host.GetSafeHwnd(), ::GetWindow(tips, GW_OWNER)) << "a child's top-level window owns it";

    // The skinned controls' form: their whole client area, no text.
    CRect client;
    label.GetClientRect(client);
    EXPECT_TRUE(tips.AddTool(&label, "", client, 1));
    // A window as the tool, with text.
    EXPECT_TRUE(tips.AddTool(&label, "Label tip"));
    EXPECT_EQ(2, tips.GetToolCount());

    tips.UpdateTipText("Changed", &label, 1);
    char text[32] = "";
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = label;
    ti.uId = 1;
    ti.lpszText = text;
    tips.SendMessage(TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ("Changed", text);

    MSG msg = {label, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), static_cast<DWORD>(::GetMessageTime()), {15, 255}};
    tips.RelayEvent(&msg);

    CWnd noWindow;
    EXPECT_FALSE(tips.AddTool(&noWindow, "x"));
    EXPECT_FALSE(tips.AddTool(NULL, "x"));
    EXPECT_EQ(2, tips.GetToolCount());
}

} // namespace
