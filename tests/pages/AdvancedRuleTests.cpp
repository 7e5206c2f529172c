// The advanced rule dialog opened from the program page's options column
// over a real ProgramsRule.dat and a publisher on the emulated driver: what
// it shows of each zone's stored settings, and what clicks and typing leave
// in the rule store and the rule image.
#include "ProgramPageFixture.h"

#include <AdvancedRuleDialog.h>
#include <CWinApp.h>
#include <SkinCheckBox.h>

#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <sstream>

namespace {

// Records the help the application is asked for.
class CHelpRecordingApp : public CWinApp
{
public:
    void WinHelp(DWORD_PTR dwData, UINT) override { m_help.push_back(dwData); }
    std::vector<DWORD_PTR> m_help;

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelpRecordingApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CHelpRecordingApp theApp;

const int COL_OPTION = 6;
const int INET = CAdvancedRuleDialog::ZONE_INTERNET;
const int TNET = CAdvancedRuleDialog::ZONE_TRUSTED;

// Settings as the dialog shows them; the fields in the dialog's order.
struct Shown {
    BYTE tcpAccess, tcpServer, udpAccess, udpServer;
    BYTE portType;
    std::vector<WORD> ports;
    BYTE timeId;
    BYTE advAction;
};

NetRuleSettings SettingsOf(const Shown &shown)
{
    NetRuleSettings settings;
    settings.TcpAccess = shown.tcpAccess;
    settings.TcpServer = shown.tcpServer;
    settings.UdpAccess = shown.udpAccess;
    settings.UdpServer = shown.udpServer;
    settings.PortType = shown.portType;
    for (size_t i = 0; i < shown.ports.size() && i < NET_RULE_PORT_COUNT; ++i)
        settings.Ports[i] = shown.ports[i];
    settings.TimeID = shown.timeId;
    settings.AdvAction = shown.advAction;
    return settings;
}

// The fields a comparison of settings looks at, as one line.
std::string Describe(const NetRuleSettings &s)
{
    std::ostringstream line;
    line << "adv " << int(s.AdvAction) << " tcp " << int(s.TcpAccess) << int(s.TcpServer) << " udp "
         << int(s.UdpAccess) << int(s.UdpServer) << " time " << int(s.TimeID) << " type "
         << int(s.PortType) << " ports";
    const int ports = s.PortType == PORT_RULE_RANGE ? 2 : s.PortType == PORT_RULE_LIST ? 20 : 0;
    for (int i = 0; i < ports; ++i)
        line << ' ' << s.Ports[i];
    line << " memo '" << static_cast<LPCTSTR>(s.Memo) << "'";
    return line.str();
}

// The same fields of one zone's half of an image entry.
std::string Describe(const ProgramRule &rule, int zone)
{
    NetRuleSettings s;
    s.AdvAction = rule.AdvAction[zone];
    s.TcpAccess = rule.TcpAccess[zone];
    s.TcpServer = rule.TcpServer[zone];
    s.UdpAccess = rule.UdpAccess[zone];
    s.UdpServer = rule.UdpServer[zone];
    s.TimeID = rule.TimeID[zone];
    s.PortType = rule.PortType[zone];
    for (int i = 0; i < NET_RULE_PORT_COUNT; ++i)
        s.Ports[i] = rule.PortList[zone][i];
    return Describe(s);
}

// --- the dialog as a person sees it ---------------------------------------------

HWND Item(HWND dialog, UINT id)
{
    return ::GetDlgItem(dialog, id);
}

bool Ticked(HWND dialog, UINT id)
{
    auto *box = dynamic_cast<CSkinCheckBox *>(CWnd::FromHandlePermanent(Item(dialog, id)));
    return box && box->m_bChecked;
}

bool Shows(HWND dialog, UINT id)
{
    return ::IsWindowVisible(Item(dialog, id)) != FALSE;
}

bool Usable(HWND dialog, UINT id)
{
    return ::IsWindowEnabled(Item(dialog, id)) != FALSE;
}

std::string TextOf(HWND dialog, UINT id)
{
    char text[1024] = "";
    ::GetWindowTextA(Item(dialog, id), text, sizeof text);
    return text;
}

int ScheduleShown(HWND dialog)
{
    return static_cast<int>(::SendMessageA(Item(dialog, IDC_ADV_SCHEDULE), CB_GETCURSEL, 0, 0));
}

// A second click on the same control waits out the double-click time, so
// that it is a click again.
void Click(HWND dialog, UINT id)
{
    static HWND last = NULL;
    static DWORD lastTime = 0;
    HWND control = Item(dialog, id);
    const DWORD since = ::GetTickCount() - lastTime;
    if (control == last && since <= ::GetDoubleClickTime())
        PumpFor(static_cast<int>(::GetDoubleClickTime() - since) + 50);
    ClickControl(control);
    last = control;
    lastTime = ::GetTickCount();
    PumpFor(60);
}

// Every character of the edit selected, then replaced by the text; a line
// feed is the Enter key.
void TypeInto(HWND dialog, UINT id, const std::string &text)
{
    Click(dialog, id);
    PressKey(VK_END, VK_CONTROL);
    KeyDown(VK_SHIFT);
    PressKey(VK_HOME, VK_CONTROL);
    KeyUp(VK_SHIFT);
    PressKey(VK_DELETE);
    std::istringstream lines(text);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (!first)
            PressKey(VK_RETURN);
        EXPECT_TRUE(TypeText(line.c_str())) << line;
        first = false;
    }
    if (!text.empty() && text.back() == '\n')
        PressKey(VK_RETURN);
    PumpFor(60);
}

// Drops the schedule list and clicks its item.
void ChooseSchedule(HWND dialog, int index)
{
    HWND combo = Item(dialog, IDC_ADV_SCHEDULE);
    Click(dialog, IDC_ADV_SCHEDULE);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    ::GetComboBoxInfo(combo, &info);
    RECT item = {};
    ::SendMessageA(info.hwndList, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    ClickAt(ScreenPointOf(info.hwndList, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2}));
    PumpFor(100);
}

// What the controls show of the settings, field by field.
void ExpectShows(HWND dialog, const Shown &s)
{
    EXPECT_EQ(s.tcpAccess != 0, Ticked(dialog, IDC_ADV_TCP_ACCESS));
    EXPECT_EQ(s.tcpServer != 0, Ticked(dialog, IDC_ADV_TCP_SERVER));
    EXPECT_EQ(s.udpAccess != 0, Ticked(dialog, IDC_ADV_UDP_ACCESS));
    EXPECT_EQ(s.udpServer != 0, Ticked(dialog, IDC_ADV_UDP_SERVER));
    EXPECT_EQ(s.portType == PORT_RULE_NONE, Ticked(dialog, IDC_ADV_PORT_ALL));
    EXPECT_EQ(s.portType == PORT_RULE_RANGE, Ticked(dialog, IDC_ADV_PORT_RANGE));
    EXPECT_EQ(s.portType == PORT_RULE_LIST, Ticked(dialog, IDC_ADV_PORT_LIST));
    for (UINT id : {IDC_ADV_RANGE_FRAME, IDC_ADV_RANGE_FROM_LABEL, IDC_ADV_RANGE_TO_LABEL,
                    IDC_ADV_RANGE_FROM, IDC_ADV_RANGE_TO})
        EXPECT_EQ(s.portType == PORT_RULE_RANGE, Shows(dialog, id)) << id;
    EXPECT_EQ(s.portType == PORT_RULE_LIST, Shows(dialog, IDC_ADV_PORT_LIST_EDIT));
    if (s.portType == PORT_RULE_RANGE) {
        EXPECT_EQ(std::to_string(s.ports[0]), TextOf(dialog, IDC_ADV_RANGE_FROM));
        EXPECT_EQ(std::to_string(s.ports[1]), TextOf(dialog, IDC_ADV_RANGE_TO));
    } else if (s.portType == PORT_RULE_LIST) {
        std::string list;
        for (WORD port : s.ports)
            list += std::to_string(port) + "\r\n";
        EXPECT_EQ(list, TextOf(dialog, IDC_ADV_PORT_LIST_EDIT));
    }
    for (UINT id : {IDC_ADV_PORT_GROUP, IDC_ADV_PORT_ALL, IDC_ADV_PORT_RANGE, IDC_ADV_PORT_LIST,
                    IDC_ADV_RANGE_FROM, IDC_ADV_RANGE_TO, IDC_ADV_PORT_LIST_EDIT})
        EXPECT_EQ(s.tcpAccess != 0, Usable(dialog, id)) << id;
    EXPECT_EQ(static_cast<int>(s.timeId) - 1, ScheduleShown(dialog));
    EXPECT_EQ(s.advAction == 1, Ticked(dialog, IDC_ADV_ACTION_QUERY));
    EXPECT_EQ(s.advAction == 2, Ticked(dialog, IDC_ADV_ACTION_DENY));
    EXPECT_FALSE(Usable(dialog, IDC_ADV_APPLY)) << "nothing changed yet";
}

class AdvancedRule : public ProgramPage
{
protected:
    // A rule of a missing file (its grid name is the file name) with the
    // settings of both zones, stored before the page opens.
    DWORD StoreRuleWith(const char *path, const Shown &inet, const Shown &tnet)
    {
        const DWORD id = StoreRule(path, 1, 1, 2, 0);
        CProgramsRuleLib store;
        EXPECT_TRUE(store.Open(RulesPath().c_str()));
        EXPECT_TRUE(store.SetInetSettings(id, SettingsOf(inet)));
        EXPECT_TRUE(store.SetTnetSettings(id, SettingsOf(tnet)));
        return id;
    }

    NetRuleSettings StoredSettings(DWORD id, int zone)
    {
        CProgramsRuleLib store;
        EXPECT_TRUE(store.Open(RulesPath().c_str()));
        NetRuleSettings settings;
        EXPECT_TRUE(zone == INET ? store.GetInetSettings(id, settings) : store.GetTnetSettings(id, settings));
        return settings;
    }

    // The zone's settings in the store and in the image.
    void ExpectSaved(DWORD id, int zone, const Shown &expected)
    {
        NetRuleSettings settings = SettingsOf(expected);
        settings.ID = id;
        EXPECT_EQ(Describe(settings), Describe(StoredSettings(id, zone))) << "store, zone " << zone;
        const ProgramRule *image = ImageRule(id);
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(Describe(settings), Describe(*image, zone)) << "image, zone " << zone;
    }

    // Opens the dialog by a click in the rule's options cell and runs the
    // steps inside it; the steps close it. A fatal failure closes it too.
    void InDialog(DWORD id, std::function<void(HWND)> steps)
    {
        m_boxes.RunInNextDialog([steps](HWND dialog) {
            BringToFront(dialog);
            PumpFor(150);
            steps(dialog);
            if (::testing::Test::HasFatalFailure() && ::IsWindow(dialog))
                ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        ClickCell(RowOf(id), COL_OPTION, POINT{12, 8});
        PumpFor(100);
        EXPECT_EQ(0u, m_boxes.Pending());
    }

    std::string ZoneTitle(int zone, const char *name) const
    {
        std::string text = LanguageText("DLG_ADV_OPTION", zone == INET ? "TITLE_INET" : "TITLE_TNET");
        text.replace(text.find("%s"), 2, name);
        return text;
    }

    static CDib DialogShot(HWND dialog, const char *state) { return SaveTestScreen(dialog, state); }
};

const Shown RANGE_SETTINGS = {1, 0, 1, 0, PORT_RULE_RANGE, {1000, 2000}, 3, 1};
const Shown LIST_SETTINGS = {0, 1, 0, 1, PORT_RULE_LIST, {80, 443, 8080}, 0, 0};
const Shown ALL_SETTINGS = {1, 1, 1, 1, PORT_RULE_NONE, {}, 7, 2};

// --- what it shows -----------------------------------------------------------------

TEST_F(AdvancedRule, EachZoneShowsItsStoredSettingsAndOpeningAsksNothing)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    const DWORD other = StoreRuleWith("C:\\Apps\\viewer.exe", ALL_SETTINGS, ALL_SETTINGS);
    OpenPage();
    InDialog(id, [&](HWND dialog) {
        SCOPED_TRACE("internet zone, a range");
        EXPECT_EQ(ZoneTitle(INET, "mailer.exe"), TextOf(dialog, IDC_ADV_INFO));
        ExpectShows(dialog, RANGE_SETTINGS);
        EXPECT_FALSE(Usable(dialog, IDC_ADV_INTERNET_TAB)) << "the zone shown";
        EXPECT_TRUE(Usable(dialog, IDC_ADV_TRUSTED_TAB));
        EXPECT_EQ(IDC_ADV_RANGE_FROM, ::GetDlgCtrlID(::GetFocus()));
        DialogShot(dialog, "internet-range");

        Click(dialog, IDC_ADV_TRUSTED_TAB);
        SCOPED_TRACE("trusted zone, a list, no schedule, a stored pass");
        EXPECT_EQ(ZoneTitle(TNET, "mailer.exe"), TextOf(dialog, IDC_ADV_INFO));
        ExpectShows(dialog, LIST_SETTINGS);
        EXPECT_TRUE(Usable(dialog, IDC_ADV_INTERNET_TAB));
        EXPECT_FALSE(Usable(dialog, IDC_ADV_TRUSTED_TAB));
        // The list edit is off without TCP access: the focus goes to OK.
        EXPECT_EQ(Item(dialog, IDOK), ::GetFocus());
        DialogShot(dialog, "trusted-list");
        Click(dialog, IDCANCEL);
    });
    InDialog(other, [&](HWND dialog) {
        SCOPED_TRACE("all ports");
        ExpectShows(dialog, ALL_SETTINGS);
        DialogShot(dialog, "internet-all");
        Click(dialog, IDC_ADV_TRUSTED_TAB);
        ExpectShows(dialog, ALL_SETTINGS);
        DialogShot(dialog, "trusted-all");
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(m_boxes.Boxes().empty());
    ExpectSaved(id, INET, RANGE_SETTINGS);
    ExpectSaved(id, TNET, LIST_SETTINGS);
}

TEST_F(AdvancedRule, TheControlsCarryTheirTextsAndStandAtTheirPlaces)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    OpenPage();
    InDialog(id, [&](HWND dialog) {
        const struct { UINT id; const char *key; } texts[] = {
            {IDC_ADV_TITLE, "LB_Title"},           {IDC_ADV_PROTOCOL_GROUP, "GP_PROTOCOL"},
            {IDC_ADV_TCP_ACCESS, "LB_TCP_ACCESS"}, {IDC_ADV_TCP_SERVER, "LB_TCP_SERVER"},
            {IDC_ADV_UDP_ACCESS, "LB_UDP_ACCESS"}, {IDC_ADV_UDP_SERVER, "LB_UDP_SERVER"},
            {IDC_ADV_PORT_GROUP, "GP_PORT"},       {IDC_ADV_PORT_ALL, "LB_PORT_ALL"},
            {IDC_ADV_PORT_RANGE, "LB_PORT_RANGE"}, {IDC_ADV_PORT_LIST, "LB_PORT_LIST"},
            {IDC_ADV_TIME_GROUP, "GP_TIME"},       {IDC_ADV_ACTION_GROUP, "GP_DEFAULT"},
            {IDC_ADV_ACTION_QUERY, "LB_ACT_QUERY"}, {IDC_ADV_ACTION_DENY, "LB_ACT_DENY"},
        };
        for (const auto &text : texts)
            EXPECT_EQ(LanguageText("DLG_ADV_OPTION", text.key), TextOf(dialog, text.id)) << text.key;
        EXPECT_EQ("From", TextOf(dialog, IDC_ADV_RANGE_FROM_LABEL));
        EXPECT_EQ("To", TextOf(dialog, IDC_ADV_RANGE_TO_LABEL));
        // The highest port fits a range edit whole, with the caret after it.
        for (UINT edit : {IDC_ADV_RANGE_FROM, IDC_ADV_RANGE_TO}) {
            HWND control = Item(dialog, edit);
            HDC dc = ::GetDC(control);
            HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
            SIZE digits = {};
            ::GetTextExtentPoint32A(dc, "65535", 5, &digits);
            ::SelectObject(dc, old);
            ::ReleaseDC(control, dc);
            RECT format = {};
            ::SendMessageA(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
            EXPECT_LT(digits.cx, format.right - format.left) << edit;
        }
        HWND schedules = Item(dialog, IDC_ADV_SCHEDULE);
        ASSERT_EQ(7, ::SendMessageA(schedules, CB_GETCOUNT, 0, 0));
        for (int item = 0; item < 7; ++item) {
            char text[128] = "";
            ::SendMessageA(schedules, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(LanguageText("DLG_ADV_OPTION", ("CMB_Time_" + std::to_string(item + 1)).c_str()), text);
        }

        RECT window = {}, client = {};
        ::GetWindowRect(dialog, &window);
        ::GetClientRect(dialog, &client);
        EXPECT_EQ(CAdvancedRuleDialog::WIDTH, window.right - window.left);
        EXPECT_EQ(CAdvancedRuleDialog::HEIGHT, window.bottom - window.top);
        // Centred on the screen.
        EXPECT_NEAR((::GetSystemMetrics(SM_CXSCREEN) - CAdvancedRuleDialog::WIDTH) / 2, window.left, 1);
        const int W = client.right;
        auto place = [&](UINT control) {
            RECT r = {};
            ::GetWindowRect(Item(dialog, control), &r);
            ::MapWindowPoints(NULL, dialog, reinterpret_cast<POINT *>(&r), 2);
            return std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top};
        };
        const SIZE close = CellOf("Close.bmp", 3), tab = CellOf("AdvOptDlg_ButTableInet.bmp");
        const SIZE ok = CellOf("But_Ok.bmp", 3), apply = CellOf("But_Apply.bmp");
        const SIZE cancel = CellOf("But_Cancel.bmp", 3);
        const struct { UINT id; std::vector<LONG> rect; } places[] = {
            {IDC_ADV_TITLE, {30, 5, 200, 18}},
            {IDC_ADV_CLOSE, {W - close.cx - 8, 6, close.cx, close.cy}},
            {IDC_ADV_MINIMIZE, {W - 2 * close.cx - 9, 6, close.cx, close.cy}},
            {IDC_ADV_HELP, {W - 3 * close.cx - 10, 6, close.cx, close.cy}},
            {IDC_ADV_INTERNET_TAB, {30, 40, tab.cx, tab.cy}},
            {IDC_ADV_TRUSTED_TAB, {31 + tab.cx, 40, tab.cx, tab.cy}},
            {IDC_ADV_INFO, {25, 75, 350, 32}},
            {IDC_ADV_PROTOCOL_GROUP, {25, 113, 170, 105}},
            {IDC_ADV_TCP_ACCESS, {35, 135, 160, 16}},
            {IDC_ADV_TCP_SERVER, {35, 155, 160, 16}},
            {IDC_ADV_UDP_ACCESS, {35, 175, 160, 16}},
            {IDC_ADV_UDP_SERVER, {35, 195, 160, 16}},
            {IDC_ADV_PORT_GROUP, {205, 113, 170, 105}},
            {IDC_ADV_PORT_ALL, {215, 135, 75, 16}},
            {IDC_ADV_PORT_RANGE, {215, 165, 75, 16}},
            {IDC_ADV_PORT_LIST, {215, 195, 75, 16}},
            {IDC_ADV_RANGE_FRAME, {290, 145, 79, 65}},
            {IDC_ADV_RANGE_FROM_LABEL, {295, 157, 30, 16}},
            {IDC_ADV_RANGE_TO_LABEL, {295, 187, 30, 16}},
            {IDC_ADV_RANGE_FROM, {328, 152, 37, 20}},
            {IDC_ADV_RANGE_TO, {328, 182, 37, 20}},
            {IDC_ADV_PORT_LIST_EDIT, {290, 136, 80, 78}},
            {IDC_ADV_TIME_GROUP, {25, 230, 350, 55}},
            {IDC_ADV_ACTION_GROUP, {25, 295, 160, 65}},
            {IDC_ADV_ACTION_QUERY, {35, 315, 150, 16}},
            {IDC_ADV_ACTION_DENY, {35, 335, 150, 16}},
            {IDOK, {90 - ok.cx / 2, 385, ok.cx, ok.cy}},
            {IDC_ADV_APPLY, {201 - ok.cx / 2, 385, ok.cx, apply.cy}},
            {IDCANCEL, {312 - ok.cx / 2, 385, ok.cx, cancel.cy}},
        };
        for (const auto &p : places)
            EXPECT_EQ(p.rect, place(p.id)) << "control " << p.id;
        // The combo's own height is its selection field; the list drops below.
        std::vector<LONG> combo = place(IDC_ADV_SCHEDULE);
        combo.pop_back();
        EXPECT_EQ((std::vector<LONG>{55, 250, 250}), combo);
        Click(dialog, IDCANCEL);
    });
}

// --- what typing and clicking store --------------------------------------------------

TEST_F(AdvancedRule, TypedPortsBecomeTheStoredPortsAndNoneWraps)
{
    struct Case {
        const char *name;
        UINT portBox;
        const char *from, *to, *list;
        Shown expected;
    };
    std::string many;
    for (int port = 1001; port <= 1025; ++port)
        many += std::to_string(port) + "\n";
    std::vector<WORD> first20;
    for (WORD port = 1001; port <= 1020; ++port)
        first20.push_back(port);
    const Case cases[] = {
        {"blank lines and blanks", IDC_ADV_PORT_LIST, nullptr, nullptr, "80\n\n 443 \n",
         {1, 1, 1, 1, PORT_RULE_LIST, {80, 443}, 1, 2}},
        {"25 lines", IDC_ADV_PORT_LIST, nullptr, nullptr, many.c_str(),
         {1, 1, 1, 1, PORT_RULE_LIST, first20, 1, 2}},
        {"lines that are no port", IDC_ADV_PORT_LIST, nullptr, nullptr, "21\n0\n22\nabc\n23\n70000\n24",
         {1, 1, 1, 1, PORT_RULE_LIST, {21, 22, 23, 24}, 1, 2}},
        {"a range", IDC_ADV_PORT_RANGE, "1000", "2000", nullptr,
         {1, 1, 1, 1, PORT_RULE_RANGE, {1000, 2000}, 1, 2}},
        {"a range from 0 past the last port", IDC_ADV_PORT_RANGE, "0", "70000", nullptr,
         {1, 1, 1, 1, PORT_RULE_RANGE, {1, 65535}, 1, 2}},
        {"an empty start", IDC_ADV_PORT_RANGE, "", "99999", nullptr,
         {1, 1, 1, 1, PORT_RULE_RANGE, {1, 65535}, 1, 2}},
        {"all ports", IDC_ADV_PORT_ALL, nullptr, nullptr, nullptr,
         {1, 1, 1, 1, PORT_RULE_NONE, {}, 1, 2}},
    };
    const Shown start = {1, 1, 1, 1, PORT_RULE_LIST, {7}, 1, 2};
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", start, start);
    OpenPage();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_publisher->SetInternetSettings(id, SettingsOf(start));
        InDialog(id, [&](HWND dialog) {
            Click(dialog, c.portBox);
            if (c.from)
                TypeInto(dialog, IDC_ADV_RANGE_FROM, c.from);
            if (c.to)
                TypeInto(dialog, IDC_ADV_RANGE_TO, c.to);
            if (c.list)
                TypeInto(dialog, IDC_ADV_PORT_LIST_EDIT, c.list);
            EXPECT_TRUE(Usable(dialog, IDC_ADV_APPLY));
            DialogShot(dialog, ("typed-" + std::to_string(&c - cases + 1)).c_str());
            Click(dialog, IDOK);
        });
        ExpectSaved(id, INET, c.expected);
        ExpectSaved(id, TNET, start);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AdvancedRule, ApplyIsOnExactlyWhileTheSettingsDiffer)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    OpenPage();
    InDialog(id, [&](HWND dialog) {
        const struct { const char *name; std::function<void()> change, undo; } edits[] = {
            {"a switch", [&] { Click(dialog, IDC_ADV_TCP_SERVER); }, [&] { Click(dialog, IDC_ADV_TCP_SERVER); }},
            {"the action", [&] { Click(dialog, IDC_ADV_ACTION_DENY); }, [&] { Click(dialog, IDC_ADV_ACTION_QUERY); }},
            {"the schedule", [&] { ChooseSchedule(dialog, 5); }, [&] { ChooseSchedule(dialog, 2); }},
            {"the range", [&] { TypeInto(dialog, IDC_ADV_RANGE_TO, "2001"); },
             [&] { TypeInto(dialog, IDC_ADV_RANGE_TO, "2000"); }},
            {"the port type", [&] { Click(dialog, IDC_ADV_PORT_ALL); }, [&] { Click(dialog, IDC_ADV_PORT_RANGE); }},
        };
        for (const auto &edit : edits) {
            SCOPED_TRACE(edit.name);
            edit.change();
            EXPECT_TRUE(Usable(dialog, IDC_ADV_APPLY));
            edit.undo();
            EXPECT_FALSE(Usable(dialog, IDC_ADV_APPLY));
        }
        // A setting box stays ticked when clicked again.
        Click(dialog, IDC_ADV_ACTION_QUERY);
        EXPECT_TRUE(Ticked(dialog, IDC_ADV_ACTION_QUERY));
        EXPECT_FALSE(Ticked(dialog, IDC_ADV_ACTION_DENY));
        EXPECT_FALSE(Usable(dialog, IDC_ADV_APPLY));

        Click(dialog, IDC_ADV_UDP_SERVER);
        ChooseSchedule(dialog, 6);
        DialogShot(dialog, "changed");
        Click(dialog, IDC_ADV_APPLY);
        EXPECT_FALSE(Usable(dialog, IDC_ADV_APPLY));
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(m_boxes.Boxes().empty());
    ExpectSaved(id, INET, {1, 0, 1, 1, PORT_RULE_RANGE, {1000, 2000}, 7, 1});
}

TEST_F(AdvancedRule, AStoredPassBecomesDenyAtTheFirstChangeAndNoScheduleStaysNone)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", LIST_SETTINGS, LIST_SETTINGS);
    OpenPage();
    InDialog(id, [&](HWND dialog) {
        // Clicked twice the switch is as stored; the action no longer is.
        Click(dialog, IDC_ADV_UDP_ACCESS);
        Click(dialog, IDC_ADV_UDP_ACCESS);
        EXPECT_TRUE(Usable(dialog, IDC_ADV_APPLY));
        Click(dialog, IDOK);
    });
    Shown expected = LIST_SETTINGS;
    expected.advAction = 2;
    ExpectSaved(id, INET, expected);
    ExpectSaved(id, TNET, LIST_SETTINGS);
}

TEST_F(AdvancedRule, WithoutTcpAccessThePortGroupIsOffButKeepsItsValues)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    OpenPage();
    InDialog(id, [&](HWND dialog) {
        Click(dialog, IDC_ADV_TCP_ACCESS);
        for (UINT control : {IDC_ADV_PORT_GROUP, IDC_ADV_PORT_ALL, IDC_ADV_PORT_RANGE, IDC_ADV_PORT_LIST,
                             IDC_ADV_RANGE_FRAME, IDC_ADV_RANGE_FROM_LABEL, IDC_ADV_RANGE_TO_LABEL,
                             IDC_ADV_RANGE_FROM, IDC_ADV_RANGE_TO, IDC_ADV_PORT_LIST_EDIT})
            EXPECT_FALSE(Usable(dialog, control)) << control;
        // The UDP switches stay usable.
        EXPECT_TRUE(Usable(dialog, IDC_ADV_UDP_ACCESS));
        EXPECT_EQ("1000", TextOf(dialog, IDC_ADV_RANGE_FROM));
        EXPECT_EQ("2000", TextOf(dialog, IDC_ADV_RANGE_TO));
        EXPECT_TRUE(Ticked(dialog, IDC_ADV_PORT_RANGE));
        // A click on a switched-off box changes nothing.
        Click(dialog, IDC_ADV_PORT_LIST);
        EXPECT_TRUE(Ticked(dialog, IDC_ADV_PORT_RANGE));
        DialogShot(dialog, "without-tcp");
        Click(dialog, IDC_ADV_APPLY);
        Click(dialog, IDC_ADV_TCP_ACCESS);
        EXPECT_TRUE(Usable(dialog, IDC_ADV_RANGE_FROM));
        EXPECT_TRUE(Usable(dialog, IDC_ADV_PORT_LIST));
        Click(dialog, IDCANCEL);
    });
    Shown expected = RANGE_SETTINGS;
    expected.tcpAccess = 0;
    ExpectSaved(id, INET, expected);
}

TEST_F(AdvancedRule, APortTypeShowsItsEditsAndTakesTheFocus)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", ALL_SETTINGS, ALL_SETTINGS);
    OpenPage();
    InDialog(id, [&](HWND dialog) {
        const struct { UINT box; bool range, list; UINT focus; } types[] = {
            {IDC_ADV_PORT_RANGE, true, false, IDC_ADV_RANGE_FROM},
            {IDC_ADV_PORT_LIST, false, true, IDC_ADV_PORT_LIST_EDIT},
            {IDC_ADV_PORT_ALL, false, false, 0},
        };
        for (const auto &type : types) {
            SCOPED_TRACE(type.box);
            Click(dialog, type.box);
            for (UINT box : {IDC_ADV_PORT_ALL, IDC_ADV_PORT_RANGE, IDC_ADV_PORT_LIST})
                EXPECT_EQ(box == type.box, Ticked(dialog, box)) << box;
            EXPECT_EQ(type.range, Shows(dialog, IDC_ADV_RANGE_FROM));
            EXPECT_EQ(type.range, Shows(dialog, IDC_ADV_RANGE_FRAME));
            EXPECT_EQ(type.list, Shows(dialog, IDC_ADV_PORT_LIST_EDIT));
            if (type.focus) {
                EXPECT_EQ(Item(dialog, type.focus), ::GetFocus());
            }
        }
        Click(dialog, IDCANCEL);
    });
    ExpectSaved(id, INET, ALL_SETTINGS);
}

// --- zones -------------------------------------------------------------------------

TEST_F(AdvancedRule, LeavingAChangedZoneAsksAndYesSavesItFirst)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    OpenPage();
    InDialog(id, [&](HWND dialog) {
        // Without changes nothing is asked.
        Click(dialog, IDC_ADV_TRUSTED_TAB);
        Click(dialog, IDC_ADV_INTERNET_TAB);
        EXPECT_TRUE(m_boxes.Boxes().empty());

        // No: the change is lost.
        Click(dialog, IDC_ADV_TCP_SERVER);
        m_boxes.LookAtBoxes([](HWND box) { SaveTestScreen(box, "zone-question"); });
        m_boxes.AnswerNextBox(IDNO);
        Click(dialog, IDC_ADV_TRUSTED_TAB);
        ASSERT_EQ(1u, m_boxes.Boxes().size());
        const BoxRecord &box = m_boxes.Boxes()[0];
        EXPECT_EQ(LanguageText("DLG_ADV_OPTION", "AdvOption_Changed"), box.text);
        EXPECT_EQ(LanguageText("APP", "APP_NAME"), box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), box.icon);
        EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
        ExpectShows(dialog, LIST_SETTINGS);
        Click(dialog, IDC_ADV_INTERNET_TAB);
        ExpectShows(dialog, RANGE_SETTINGS);

        // Yes: the internet zone is saved before the trusted one shows.
        Click(dialog, IDC_ADV_TCP_SERVER);
        m_boxes.AnswerNextBox(IDYES);
        Click(dialog, IDC_ADV_TRUSTED_TAB);
        EXPECT_EQ(2u, m_boxes.Boxes().size());
        ExpectShows(dialog, LIST_SETTINGS);
        Click(dialog, IDC_ADV_INTERNET_TAB);
        Shown saved = RANGE_SETTINGS;
        saved.tcpServer = 1;
        ExpectShows(dialog, saved);
        Click(dialog, IDCANCEL);
    });
    Shown saved = RANGE_SETTINGS;
    saved.tcpServer = 1;
    ExpectSaved(id, INET, saved);
    ExpectSaved(id, TNET, LIST_SETTINGS);
    EXPECT_EQ(2u, m_boxes.Boxes().size());
}

TEST_F(AdvancedRule, TheTrustedZoneSavesIntoItsOwnHalf)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, ALL_SETTINGS);
    OpenPage();
    InDialog(id, [&](HWND dialog) {
        Click(dialog, IDC_ADV_TRUSTED_TAB);
        Click(dialog, IDC_ADV_PORT_LIST);
        TypeInto(dialog, IDC_ADV_PORT_LIST_EDIT, "25\n110\n");
        Click(dialog, IDC_ADV_ACTION_QUERY);
        Click(dialog, IDOK);
    });
    Shown trusted = ALL_SETTINGS;
    trusted.portType = PORT_RULE_LIST;
    trusted.ports = {25, 110};
    trusted.advAction = 1;
    ExpectSaved(id, TNET, trusted);
    ExpectSaved(id, INET, RANGE_SETTINGS);
}

// --- closing -------------------------------------------------------------------------

TEST_F(AdvancedRule, LoggedOffApplyAndOkRefuseAndOkStillCloses)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    OpenPage();
    LoggedOn = 0;
    HWND shown = NULL;
    InDialog(id, [&](HWND dialog) {
        shown = dialog;
        Click(dialog, IDC_ADV_UDP_SERVER);
        m_boxes.AnswerNextBox(IDOK);
        Click(dialog, IDC_ADV_APPLY);
        ASSERT_EQ(1u, m_boxes.Boxes().size());
        EXPECT_EQ(LanguageText("APP", "LOG_DONT"), m_boxes.Boxes()[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), m_boxes.Boxes()[0].icon);
        EXPECT_TRUE(Usable(dialog, IDC_ADV_APPLY));
        m_boxes.AnswerNextBox(IDOK);
        Click(dialog, IDOK);
    });
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ(LanguageText("APP", "LOG_DONT"), m_boxes.Boxes()[1].text);
    EXPECT_FALSE(::IsWindow(shown)) << "OK closes";
    ExpectSaved(id, INET, RANGE_SETTINGS);
}

// Settings the store refuses stay on screen, changed: Apply stays on, OK
// and a change of zone keep the dialog where it is, and once the store is
// free OK saves them.
TEST_F(AdvancedRule, SettingsRefusedByALockedStoreSayThatAndStayChanged)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    OpenPage();
    Shown changed = RANGE_SETTINGS;
    changed.udpServer = 1;
    HWND shown = NULL;
    InDialog(id, [&](HWND dialog) {
        shown = dialog;
        Click(dialog, IDC_ADV_UDP_SERVER);
        WhileRulesLocked([&] {
            m_boxes.AnswerNextBox(IDOK);
            Click(dialog, IDC_ADV_APPLY);
            ASSERT_EQ(1u, m_boxes.Boxes().size());
            ExpectRefusal(m_boxes.Boxes()[0], "DLG_ADV_OPTION", "ERR_SettingsNotSaved");
            EXPECT_TRUE(Usable(dialog, IDC_ADV_APPLY));
            EXPECT_TRUE(Ticked(dialog, IDC_ADV_UDP_SERVER));

            m_boxes.AnswerNextBox(IDYES);
            m_boxes.AnswerNextBox(IDOK);
            Click(dialog, IDC_ADV_TRUSTED_TAB);
            ASSERT_EQ(3u, m_boxes.Boxes().size());
            ExpectRefusal(m_boxes.Boxes()[2], "DLG_ADV_OPTION", "ERR_SettingsNotSaved");
            EXPECT_EQ(ZoneTitle(INET, "mailer.exe"), TextOf(dialog, IDC_ADV_INFO));
            EXPECT_TRUE(Ticked(dialog, IDC_ADV_UDP_SERVER));
            EXPECT_TRUE(Usable(dialog, IDC_ADV_APPLY));

            m_boxes.AnswerNextBox(IDOK);
            Click(dialog, IDOK);
            ASSERT_EQ(4u, m_boxes.Boxes().size());
            EXPECT_TRUE(::IsWindow(dialog)) << "OK keeps a refused change open";
            DialogShot(dialog, "settings-refused");
        });
        Click(dialog, IDOK);
    });
    EXPECT_FALSE(::IsWindow(shown));
    EXPECT_EQ(4u, m_boxes.Boxes().size());
    ExpectSaved(id, INET, changed);
    ExpectSaved(id, TNET, LIST_SETTINGS);
}

TEST_F(AdvancedRule, CancelCloseAndEscSaveNothing)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    OpenPage();
    const struct { const char *name; std::function<void(HWND)> close; } ways[] = {
        {"Cancel", [](HWND dialog) { Click(dialog, IDCANCEL); }},
        {"the cross", [](HWND dialog) { Click(dialog, IDC_ADV_CLOSE); }},
        {"Esc", [](HWND) { PressKey(VK_ESCAPE); }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.name);
        HWND shown = NULL;
        InDialog(id, [&](HWND dialog) {
            shown = dialog;
            Click(dialog, IDC_ADV_TCP_SERVER);
            TypeInto(dialog, IDC_ADV_RANGE_FROM, "1500");
            way.close(dialog);
        });
        EXPECT_FALSE(::IsWindow(shown));
        ExpectSaved(id, INET, RANGE_SETTINGS);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AdvancedRule, HelpAsksTheApplicationForTheDialogsTopicAndMinimiseDoesNothing)
{
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    OpenPage();
    theApp.m_help.clear();
    InDialog(id, [&](HWND dialog) {
        Click(dialog, IDC_ADV_HELP);
        EXPECT_EQ(std::vector<DWORD_PTR>{0x20000 + IDD_ADVANCED_RULE}, theApp.m_help);
        Click(dialog, IDC_ADV_MINIMIZE);
        EXPECT_TRUE(::IsWindowVisible(dialog));
        EXPECT_FALSE(::IsIconic(dialog));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(1u, theApp.m_help.size());
}

TEST_F(AdvancedRule, WithoutTextsOrPicturesTheDialogShowsBlankAndCloses)
{
    m_assets.ExpectMiss(KIT_MISSING_TEXT, "NoSuchFolder");
    m_assets.ExpectMiss(KIT_PICTURE_NOT_LOADED, "NoSuchFolder");
    const DWORD id = StoreRuleWith("C:\\Apps\\mailer.exe", RANGE_SETTINGS, LIST_SETTINGS);
    BuildPublisher();
    const CString folder = m_assets.File("NoSuchFolder\\");
    CAdvancedRuleDialog dialog(m_publisher, folder + "Language.ini", folder);
    dialog.SetRule(id, "mailer.exe");
    m_boxes.RunInNextDialog([&](HWND shown) {
        BringToFront(shown);
        PumpFor(150);
        EXPECT_EQ("", TextOf(shown, IDC_ADV_INFO));
        EXPECT_EQ("", TextOf(shown, IDC_ADV_TCP_ACCESS));
        ExpectShows(shown, RANGE_SETTINGS);
        DialogShot(shown, "bare");
        // Without their pictures the buttons have no size: Esc closes.
        PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(0u, m_boxes.Pending());
    ExpectSaved(id, INET, RANGE_SETTINGS);
}

} // namespace
