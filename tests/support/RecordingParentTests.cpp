// The recording parent keeps its children's commands and notifications and
// the custom messages it receives, and nothing else.
#include "GuiPump.h"
#include "RealInput.h"
#include "RecordingParent.h"
#include "TestScreens.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

const int BUTTON_ID = 2001, LIST_ID = 2002;

HWND AddChild(HWND parent, const char *className, const char *text, DWORD style, int id, RECT rect)
{
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left,
                                 rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

TEST(RecordingParent, RecordsCommandsNotificationsAndCustomMessagesOnly)
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    CRecordingParent parent;
    HWND button = AddChild(parent.Handle(), "BUTTON", "Apply", BS_PUSHBUTTON, BUTTON_ID,
                           RECT{10, 10, 110, 40});
    HWND list = AddChild(parent.Handle(), WC_LISTVIEWA, "", LVS_LIST | WS_BORDER, LIST_ID,
                         RECT{10, 50, 300, 200});
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char *>("Row");
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    BringToFront(parent.Handle());
    parent.Log().Clear();

    ClickControl(button);
    ClickControlAt(list, POINT{20, 8});
    PostMessageA(parent.Handle(), WM_APP + 5, 7, 9);
    ASSERT_TRUE(PumpUntil([&] { return parent.Log().Count(WM_APP + 5) == 1; }, 2000));
    SaveTestScreen(parent.Handle(), "children");

    CMessageLog &log = parent.Log();
    EXPECT_EQ(log.Count(WM_COMMAND, BUTTON_ID, BN_CLICKED), 1);
    EXPECT_EQ(log.Count(WM_NOTIFY, LIST_ID, static_cast<UINT>(NM_CLICK)), 1);
    for (const RecordedMessage &m : log.Messages()) {
        EXPECT_TRUE(m.message == WM_COMMAND || m.message == WM_NOTIFY || m.message >= WM_USER)
            << std::hex << m.message;
        if (m.message == WM_COMMAND && m.id == BUTTON_ID) {
            EXPECT_EQ(m.from, button);
        }
        if (m.message == WM_NOTIFY && m.id == LIST_ID) {
            EXPECT_EQ(m.from, list);
        }
    }
    const RecordedMessage &custom = log.Messages().back();
    EXPECT_EQ(custom.message, static_cast<UINT>(WM_APP + 5));
    EXPECT_EQ(custom.wParam, 7u);
    EXPECT_EQ(custom.lParam, 9);
}

} // namespace
