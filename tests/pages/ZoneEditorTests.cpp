// The zone editor on the screen, driven as a person does: its titles,
// fields and places for each kind of entry, and what OK, Cancel, the close
// button and Esc leave in its record.
#include "ConsoleUnderTest.h"

#include <ConsoleResources.h>
#include <LoggedOn.h>
#include <ZoneDialog.h>

#include <AddressFieldInput.h>
#include <DialogDriver.h>
#include <GuiPump.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <commctrl.h>
#include <string>

namespace {

const char *const TITLE_KEYS[4][3] = {
    {"Trusted_Title_AddIpAddress", "Blocked_Title_AddIpAddress", "Title_EditIpAddress"},
    {"Trusted_Title_AddIpRange", "Blocked_Title_AddIpRange", "Title_EditIpRange"},
    {"Trusted_Title_AddSubnet", "Blocked_Title_AddSubnet", "Title_EditSubnet"},
    {"Trusted_Title_AddHost", "Blocked_Title_AddHost", "Title_EditHost"},
};

std::string ZoneText(const char *key)
{
    return std::string(TheConsole().Texts().GetText(key, "DLG_ZONE"));
}

std::string WindowText(HWND window)
{
    char text[512] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The control's rectangle in its dialog's client coordinates.
RECT PlaceOf(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id);
    RECT r = {};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(NULL, dialog, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

void ExpectPlace(HWND dialog, int id, int x, int y, int w, int h)
{
    const RECT r = PlaceOf(dialog, id);
    EXPECT_EQ(r.left, x) << "control " << id;
    EXPECT_EQ(r.top, y) << "control " << id;
    EXPECT_EQ(r.right - r.left, w) << "control " << id;
    EXPECT_EQ(r.bottom - r.top, h) << "control " << id;
}

bool Shown(HWND dialog, int id)
{
    return (::GetWindowLongA(::GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

DWORD AddressOf(HWND dialog, int id)
{
    DWORD address = 0;
    ::SendDlgItemMessageA(dialog, id, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return address;
}

// Waits until the editor has painted, so that clicks land on it.
void Settle(HWND dialog)
{
    BringToFront(dialog);
    PumpFor(150);
}

class ZoneEditor : public ConsoleWindowTest
{
protected:
    // Runs the editor made without a parent, with the steps inside its loop.
    int Run(CZoneDialog &editor, std::function<void(HWND)> steps)
    {
        m_driver.RunInNextDialog(std::move(steps));
        const int result = static_cast<int>(editor.DoModal());
        EXPECT_EQ(m_driver.Pending(), 0u);
        return result;
    }

    // OK, with its box answered; whether the editor stayed open.
    bool OkStaysOpen(HWND dialog)
    {
        m_driver.AnswerNextBox(IDOK);
        ClickControl(::GetDlgItem(dialog, IDOK));
        PumpFor(200);
        return ::IsWindowVisible(dialog) != FALSE;
    }

    CDialogDriver m_driver;
};

TEST_F(ZoneEditor, TitlesFieldsAndPlacesFollowTheTypeTheListAndTheMode)
{
    const char *const TYPE_NAMES[] = {"address", "range", "subnet", "host"};
    for (BYTE type = 0; type <= 3; ++type) {
        for (int column = 0; column < 3; ++column) {
            CZoneDialog editor;
            editor.m_record.Type = type;
            editor.m_listFlag = column == 1 ? 1 : 0;
            editor.m_editFlag = column == 2 ? 1 : 0;
            if (column == 2)
                editor.m_listFlag = 1; // edit titles ignore the list
            Run(editor, [&](HWND dialog) {
                Settle(dialog);
                SCOPED_TRACE(std::string(TYPE_NAMES[type]) + " column " + std::to_string(column));
                EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_ZONE_TITLE)), ZoneText(TITLE_KEYS[type][column]));
                EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION_LABEL)), ZoneText("Label_Description"));
                const bool host = type == 3, two = type == 1 || type == 2;
                EXPECT_EQ(Shown(dialog, IDC_ZONE_HOST_NAME), host);
                EXPECT_EQ(Shown(dialog, IDC_ZONE_HOST_LABEL), host);
                EXPECT_EQ(Shown(dialog, IDC_ZONE_LOOKUP), host);
                EXPECT_EQ(Shown(dialog, IDC_ZONE_NOTE), host);
                EXPECT_EQ(Shown(dialog, IDC_ZONE_FIRST_ADDRESS), !host);
                EXPECT_EQ(Shown(dialog, IDC_ZONE_FIRST_LABEL), !host);
                EXPECT_EQ(Shown(dialog, IDC_ZONE_SECOND_ADDRESS), two);
                EXPECT_EQ(Shown(dialog, IDC_ZONE_SECOND_LABEL), two);
                EXPECT_TRUE(Shown(dialog, IDC_ZONE_DESCRIPTION));
                if (host) {
                    EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_ZONE_HOST_LABEL)), ZoneText("Label_HostName"));
                }
                EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_ZONE_FIRST_LABEL)), "IP Address:");

                RECT client;
                ::GetClientRect(dialog, &client);
                const int W = client.right;
                const RECT ok = PlaceOf(dialog, IDOK);
                const int w1 = ok.right - ok.left;
                ExpectPlace(dialog, IDC_ZONE_TITLE, 30, 40, W - 60, 60);
                const int descriptionTop = host ? 130 : (two ? 180 : 150);
                const int buttonTop = host ? 250 : (two ? 230 : 220);
                ExpectPlace(dialog, IDC_ZONE_DESCRIPTION_LABEL, 30, descriptionTop, 70, 20);
                ExpectPlace(dialog, IDC_ZONE_DESCRIPTION, 105, descriptionTop, W - 135, 22);
                EXPECT_EQ(ok.left, 130 - w1 / 2);
                EXPECT_EQ(ok.top, buttonTop);
                ExpectPlace(dialog, IDCANCEL, 300 - w1 / 2, buttonTop, w1, PlaceOf(dialog, IDCANCEL).bottom - buttonTop);
                if (host) {
                    ExpectPlace(dialog, IDC_ZONE_HOST_NAME, 105, 100, W - 200, 22);
                    ExpectPlace(dialog, IDC_ZONE_LOOKUP, W - 90, 100, 60, 22);
                    ExpectPlace(dialog, IDC_ZONE_NOTE, 105, 160, W - 135, 80);
                } else {
                    ExpectPlace(dialog, IDC_ZONE_FIRST_ADDRESS, 105, 120, 140, 22);
                    if (two)
                        ExpectPlace(dialog, IDC_ZONE_SECOND_ADDRESS, 105, 150, 140, 22);
                }
                // Every control stays inside the window.
                for (int id : {IDOK, IDCANCEL, IDC_ZONE_DESCRIPTION, IDC_ZONE_NOTE}) {
                    if (!Shown(dialog, id))
                        continue;
                    const RECT r = PlaceOf(dialog, id);
                    EXPECT_LE(r.right, client.right - 4) << id;
                    EXPECT_LE(r.bottom, client.bottom - 4) << id;
                }
                if (column != 2)
                    SaveTestScreen(dialog, (std::string(TYPE_NAMES[type]) + (column ? "-blocked" : "-trusted")).c_str());
                else
                    SaveTestScreen(dialog, (std::string(TYPE_NAMES[type]) + "-edit").c_str());
                PressKey(VK_ESCAPE);
                PumpFor(50);
            });
        }
    }
}

TEST_F(ZoneEditor, IsOwnedByTheMainWindowWhichWaitsDisabled)
{
    ASSERT_TRUE(ShowMainWindow());
    CZoneDialog editor;
    HWND owner = NULL;
    BOOL mainEnabled = TRUE;
    EXPECT_EQ(Run(editor, [&](HWND dialog) {
                  owner = ::GetWindow(dialog, GW_OWNER);
                  mainEnabled = ::IsWindowEnabled(Main());
                  ::SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
              }),
              IDCANCEL);
    EXPECT_EQ(owner, Main());
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(::IsWindowEnabled(Main()));
}

TEST_F(ZoneEditor, ANewAddressStartsAtZeroAndNeedsADescriptionOfAtLeastOneCharacter)
{
    CZoneDialog editor;
    editor.m_listFlag = 1;
    bool stillOpen = false, focusInDescription = false;
    DWORD startAddress = 1;
    EXPECT_EQ(Run(editor, [&](HWND dialog) {
                  Settle(dialog);
                  startAddress = AddressOf(dialog, IDC_ZONE_FIRST_ADDRESS);
                  EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_ZONE_FIRST_ADDRESS)), "0.0.0.0");
                  stillOpen = OkStaysOpen(dialog);
                  focusInDescription = ::GetFocus() == ::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION);
                  SaveTestScreen(dialog, "refused");
                  // The address typed into the first field, then one blank.
                  ClickControlAt(::GetDlgItem(dialog, IDC_ZONE_FIRST_ADDRESS), POINT{8, 11});
                  PressKey(VK_END);
                  PressKey(VK_BACK);
                  TypeText("10.1.2.3");
                  ClickControl(::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION));
                  TypeText(" ");
                  ClickControl(::GetDlgItem(dialog, IDOK));
                  PumpFor(100);
              }),
              IDOK);
    EXPECT_EQ(startAddress, 0u);
    ASSERT_EQ(m_driver.Boxes().size(), 1u);
    EXPECT_EQ(m_driver.Boxes()[0].text, ZoneText("ERR_NameEmpty"));
    EXPECT_EQ(m_driver.Boxes()[0].caption, std::string(TheConsole().Texts().GetAppName()));
    EXPECT_EQ(m_driver.Boxes()[0].icon, static_cast<UINT>(MB_ICONHAND));
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(focusInDescription);
    EXPECT_EQ(std::string(editor.m_record.Name), " ");
    EXPECT_EQ(editor.m_record.IP1, 0x0A010203u);
    EXPECT_EQ(editor.m_record.IP2, 0u);
    EXPECT_EQ(std::string(editor.m_record.Site), "");
    EXPECT_EQ(editor.m_record.ID, 0u);
    EXPECT_EQ(editor.m_record.Type, 0);
}

TEST_F(ZoneEditor, AnEditedRangeKeepsItsIdAndTypeAndAClearedFieldReadsZero)
{
    CZoneDialog editor;
    editor.m_editFlag = 1;
    editor.m_record.ID = 42;
    editor.m_record.Type = 1;
    editor.m_record.Name = "Office";
    editor.m_record.IP1 = 0xC0A80001;
    editor.m_record.IP2 = 0xC0A800FE;
    editor.m_record.Site = "kept.example";
    EXPECT_EQ(Run(editor, [&](HWND dialog) {
                  Settle(dialog);
                  // The first field of the first address, emptied by hand.
                  ClickControlAt(::GetDlgItem(dialog, IDC_ZONE_FIRST_ADDRESS), POINT{8, 11});
                  PressKey(VK_END);
                  for (int i = 0; i < 3; ++i)
                      PressKey(VK_BACK);
                  PumpFor(50);
                  SaveTestScreen(dialog, "cleared");
                  PressKey(VK_RETURN);
                  PumpFor(100);
              }),
              IDOK);
    EXPECT_EQ(editor.m_record.ID, 42u);
    EXPECT_EQ(editor.m_record.Type, 1);
    EXPECT_EQ(editor.m_record.IP1, 0x00A80001u);
    EXPECT_EQ(editor.m_record.IP2, 0xC0A800FEu);
    EXPECT_EQ(std::string(editor.m_record.Name), "Office");
    EXPECT_EQ(std::string(editor.m_record.Site), "kept.example") << "a hidden box gives back its start";
}

bool FocusIn(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id), focus = ::GetFocus();
    return focus == control || ::IsChild(control, focus);
}

// A mask left blank would match every address and a range that runs
// downwards none: OK says so, keeps the editor open with the focus on the
// field to mend, and takes the entry once it is mended.
TEST_F(ZoneEditor, ABlankMaskAndADownwardRangeAreRefusedUntilMended)
{
    struct Case {
        const char *Name;
        BYTE Type;
        const char *First, *Second; // null: left as the editor opened it
        const char *Refusal;
        const char *Mended;
        DWORD IP1, IP2;
    };
    const Case cases[] = {
        {"blank-mask", ZONE_ENTRY_SUBNET, "10.20.0.0", nullptr, "ERR_MaskEmpty", "255.255.0.0", 0x0A140000u,
         0xFFFF0000u},
        {"downward-range", ZONE_ENTRY_RANGE, "10.0.0.9", "10.0.0.1", "ERR_RangeDownwards", "10.0.0.9", 0x0A000009u,
         0x0A000009u},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        const size_t boxesBefore = m_driver.Boxes().size();
        CZoneDialog editor;
        editor.m_record.Type = c.Type;
        editor.m_listFlag = 1;
        bool stillOpen = false, focusOnSecond = false;
        ZoneRecord whileRefused;
        EXPECT_EQ(Run(editor, [&](HWND dialog) {
                      Settle(dialog);
                      TypeAddress(::GetDlgItem(dialog, IDC_ZONE_FIRST_ADDRESS), c.First);
                      if (c.Second)
                          TypeAddress(::GetDlgItem(dialog, IDC_ZONE_SECOND_ADDRESS), c.Second);
                      ClickControl(::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION));
                      TypeText("Lab");
                      stillOpen = OkStaysOpen(dialog);
                      focusOnSecond = FocusIn(dialog, IDC_ZONE_SECOND_ADDRESS);
                      whileRefused = editor.m_record;
                      SaveTestScreen(dialog, c.Name);
                      TypeAddress(::GetDlgItem(dialog, IDC_ZONE_SECOND_ADDRESS), c.Mended);
                      ClickControl(::GetDlgItem(dialog, IDOK));
                      PumpFor(100);
                  }),
                  IDOK);
        ASSERT_EQ(m_driver.Boxes().size(), boxesBefore + 1);
        const auto &box = m_driver.Boxes().back();
        EXPECT_EQ(box.text, ZoneText(c.Refusal));
        EXPECT_FALSE(ZoneText(c.Refusal).empty());
        EXPECT_EQ(box.caption, std::string(TheConsole().Texts().GetAppName()));
        EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONHAND));
        EXPECT_TRUE(stillOpen);
        EXPECT_TRUE(focusOnSecond);
        EXPECT_EQ(std::string(whileRefused.Name), "") << "nothing taken while refused";
        EXPECT_EQ(whileRefused.IP1, 0u);
        EXPECT_EQ(editor.m_record.IP1, c.IP1);
        EXPECT_EQ(editor.m_record.IP2, c.IP2);
        EXPECT_EQ(std::string(editor.m_record.Name), "Lab");
    }
}

TEST_F(ZoneEditor, LoggedOffOkRefusesAndKeepsTheEditorOpen)
{
    LoggedOn = 0;
    CZoneDialog editor;
    editor.m_record.Type = 3;
    bool stillOpen = false;
    EXPECT_EQ(Run(editor, [&](HWND dialog) {
                  Settle(dialog);
                  ClickControl(::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION));
                  TypeText("Blocked site");
                  stillOpen = OkStaysOpen(dialog);
                  ClickControl(::GetDlgItem(dialog, IDCANCEL));
                  PumpFor(100);
              }),
              IDCANCEL);
    LoggedOn = 1;
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(m_driver.Boxes().size(), 1u);
    EXPECT_EQ(m_driver.Boxes()[0].text, std::string(TheConsole().Texts().GetText("LOG_DONT", "APP")));
    EXPECT_EQ(m_driver.Boxes()[0].icon, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(std::string(editor.m_record.Name), "");
}

TEST_F(ZoneEditor, CancelTheCloseButtonAndEscLeaveTheRecordAsItWas)
{
    enum Way { CANCEL, CLOSE, ESC };
    for (Way way : {CANCEL, CLOSE, ESC}) {
        CZoneDialog editor;
        editor.m_record.Type = 2;
        editor.m_record.Name = "Lab";
        editor.m_record.IP1 = 0x0A000000;
        editor.m_record.IP2 = 0xFF000000;
        EXPECT_EQ(Run(editor, [&](HWND dialog) {
                      Settle(dialog);
                      ClickControl(::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION));
                      TypeText("changed");
                      if (way == CANCEL)
                          ClickControl(::GetDlgItem(dialog, IDCANCEL));
                      else if (way == CLOSE)
                          ClickControl(::GetDlgItem(dialog, IDC_ZONE_CLOSE));
                      else
                          PressKey(VK_ESCAPE);
                      PumpFor(100);
                  }),
                  IDCANCEL)
            << way;
        EXPECT_EQ(std::string(editor.m_record.Name), "Lab") << way;
        EXPECT_EQ(editor.m_record.IP1, 0x0A000000u) << way;
        EXPECT_EQ(editor.m_record.IP2, 0xFF000000u) << way;
    }
}

TEST_F(ZoneEditor, LookupDoesNothingTheNoteStaysEmptyAndTheHostNameStopsAt255)
{
    CZoneDialog editor;
    editor.m_record.Type = 3;
    bool openAfterLookup = false, noteEnabled = true;
    EXPECT_EQ(Run(editor, [&](HWND dialog) {
                  Settle(dialog);
                  ClickControl(::GetDlgItem(dialog, IDC_ZONE_LOOKUP));
                  PumpFor(100);
                  openAfterLookup = ::IsWindowVisible(dialog) != FALSE;
                  noteEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_ZONE_NOTE)) != FALSE;
                  ClickControl(::GetDlgItem(dialog, IDC_ZONE_HOST_NAME));
                  TypeText(std::string(260, 'h').c_str());
                  ClickControl(::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION));
                  TypeText("Long name");
                  SaveTestScreen(dialog, "typed");
                  ClickControl(::GetDlgItem(dialog, IDOK));
                  PumpFor(100);
              }),
              IDOK);
    EXPECT_TRUE(openAfterLookup);
    EXPECT_FALSE(noteEnabled);
    EXPECT_EQ(editor.m_record.Site.GetLength(), CZoneDialog::MAX_HOST_NAME);
    EXPECT_EQ(editor.m_record.IP1, 0u);
    EXPECT_EQ(editor.m_record.IP2, 0u);
    EXPECT_TRUE(m_driver.Boxes().empty());
}

} // namespace
