// The firewall page on the screen, in a host window, over a fresh program
// folder and a rule image in the emulated driver: its levels, its views and
// the zone lists edited through the Zone menu and the zone editor, as a
// person does it, with what lands in Firewall.dat and in the image.
#include "ConsoleUnderTest.h"

#include <AclImage.h>
#include <CatalogFixture.h>
#include <LoopbackClient.h>
#include <ProgramsRuleLib.h>
#include <SessionMonitor.h>
#include <SpiIoBlock.h>
#include <ZoneHostResolver.h>
#include <Address32.h>
#include <ConsoleResources.h>
#include <FirewallFrame.h>
#include <LoggedOn.h>
#include <NetvaneFixture.h>
#include <ZoneDialog.h>

#include <AddressFieldInput.h>
#include <DialogDriver.h>
#include <GuiPump.h>
#include <HostDialog.h>
#include <MenuKeys.h>
#include <RealInput.h>
#include <TestScreens.h>
#include <WindowPlacement.h>

#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string PageText(const char *key)
{
    return std::string(TheConsole().Texts().GetText(key, "FRAME_FIREWALL"));
}

std::string WindowText(HWND window)
{
    char text[512] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// Keys from the opened Zone menu to each Add entry, by type.
std::vector<WORD> AddKeys(BYTE type)
{
    // The Add sub-menu lists host, address, range, subnet.
    const int downs[4] = {1, 2, 3, 0};
    std::vector<WORD> keys = {VK_DOWN, VK_RIGHT};
    for (int i = 0; i < downs[type]; ++i)
        keys.push_back(VK_DOWN);
    keys.push_back(VK_RETURN);
    return keys;
}

class FirewallPage : public ConsoleWindowTest
{
protected:
    void SetUp() override
    {
        ConsoleWindowTest::SetUp();
        CloseDriver();
        NetvaneReset();
        ASSERT_TRUE(NetvaneInstallService());
        TheConsole().Publisher().SetSpiIoControl(RecordSpiIoControl);
        ASSERT_TRUE(TheConsole().Publisher().Build());
        ASSERT_NE(TheConsole().Publisher().GetHeader(), nullptr);
    }

    void TearDown() override
    {
        if (m_page.GetSafeHwnd())
            m_page.DestroyWindow();
        TheConsole().Publisher().ReleaseBlock();
        CloseDriver();
        NetvaneReset();
        ConsoleWindowTest::TearDown();
    }

    CFirewallFrame &ShowPage()
    {
        m_page.CreatePage(CWnd::FromHandle(m_host.Handle()));
        RECT client;
        ::GetClientRect(m_host.Handle(), &client);
        ::MoveWindow(m_host.Handle(), 60, 40, 620, 380, TRUE);
        ::GetClientRect(m_host.Handle(), &client);
        m_page.MoveWindow(0, 0, client.right, client.bottom);
        m_page.ShowWindow(SW_SHOW);
        m_host.Show(POINT{60, 40});
        ::MoveWindow(m_host.Handle(), 60, 40, 620, 380, TRUE);
        ::GetClientRect(m_host.Handle(), &client);
        m_page.MoveWindow(0, 0, client.right, client.bottom);
        PumpFor(300);
        return m_page;
    }

    HWND Item(int id) const { return ::GetDlgItem(m_page.GetSafeHwnd(), id); }
    CFirewallLib &Store() { return TheConsole().Publisher().ZoneStore(); }

    std::vector<ZoneRecord> Stored(BOOL blocked)
    {
        std::vector<ZoneRecord> zones;
        Store().LoadZones(zones, blocked);
        return zones;
    }

    std::vector<ZoneEntry> InImage(BOOL blocked)
    {
        const CAclPublisher &publisher = TheConsole().Publisher();
        CAclImageView view;
        view.Attach(publisher.GetHeader(), publisher.GetSize(), AddressToDword(publisher.GetHeader()));
        const AclSection<ZoneEntry> section = blocked ? view.BnetZones() : view.TnetZones();
        std::vector<ZoneEntry> entries;
        for (const ZoneEntry *entry = section.begin(); entry != section.end() && entry->ID != 0; ++entry)
            entries.push_back(*entry);
        return entries;
    }

    std::vector<std::string> Row(CGridList &grid, int row)
    {
        std::vector<std::string> texts;
        for (int column = 0; column < 3; ++column)
            texts.push_back(std::string(grid.GetItemText(row, column)));
        return texts;
    }

    // A right-click at the grid's client point; the keys go to the Zone menu.
    CMenuKeys RightClickGrid(CGridList &grid, POINT at, std::vector<WORD> keys, const char *screen = "")
    {
        CMenuKeys menu(std::move(keys), screen);
        ClickControlAt(grid.GetSafeHwnd(), at, MouseButton::Right);
        PumpUntil([&] { return menu.Met(); }, 3000);
        PumpFor(200);
        return menu;
    }

    // The page shown on its Blocked view.
    CGridList &ShowBlockedView()
    {
        ShowPage();
        ClickControl(Item(IDC_FW_BLOCKED_VIEW));
        PumpFor(200);
        return m_page.BlockedGrid();
    }

    POINT RowPoint(CGridList &grid, int row)
    {
        RECT r = {};
        ListView_GetItemRect(grid.GetSafeHwnd(), row, &r, LVIR_BOUNDS);
        return POINT{r.left + 40, (r.top + r.bottom) / 2};
    }

    POINT BelowRows(CGridList &grid)
    {
        RECT r;
        ::GetClientRect(grid.GetSafeHwnd(), &r);
        return POINT{r.right / 2, r.bottom - 20};
    }

    CHostDialog m_host;
    CFirewallFrame m_page;
    CDialogDriver m_driver;
};

TEST_F(FirewallPage, StoredLevelsPlaceTheThumbsAndTheTexts)
{
    struct Case {
        const char *stored;
        int position;
        const char *internetKey;
        const char *trustedKey;
    } const cases[] = {
        {"1", 1, "LEV_INTERNET_M", "LEV_TRUSTED_M"},
        {"2", 0, "LEV_INTERNET_H", "LEV_TRUSTED_H"},
        {"", 2, "LEV_INTERNET_L", "LEV_TRUSTED_L"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(Store().SetConfig("InetLevel", c.stored));
        ASSERT_TRUE(Store().SetConfig("TnetLevel", c.stored));
        ShowPage();
        EXPECT_EQ(::SendMessageA(Item(IDC_FW_INTERNET_SLIDER), TBM_GETPOS, 0, 0), c.position) << c.stored;
        EXPECT_EQ(::SendMessageA(Item(IDC_FW_TRUSTED_SLIDER), TBM_GETPOS, 0, 0), c.position) << c.stored;
        EXPECT_EQ(WindowText(Item(IDC_FW_INTERNET_TEXT)), PageText(c.internetKey)) << c.stored;
        EXPECT_EQ(WindowText(Item(IDC_FW_TRUSTED_TEXT)), PageText(c.trustedKey)) << c.stored;
        if (c.position == 1)
            SaveTestScreen(m_host.Handle(), "general");
        m_page.DestroyWindow();
    }
}

TEST_F(FirewallPage, DraggingASliderStoresTheLevelWritesTheImageAndChangesTheText)
{
    ASSERT_TRUE(Store().SetConfig("InetLevel", "0"));
    ASSERT_TRUE(Store().SetConfig("TnetLevel", "0"));
    ShowPage();
    struct Slider {
        int id;
        const char *key;
        const char *highText;
        BYTE AclHeader::*level;
    } const sliders[] = {
        {IDC_FW_INTERNET_SLIDER, "InetLevel", "LEV_INTERNET_H", &AclHeader::InetLevel},
        {IDC_FW_TRUSTED_SLIDER, "TnetLevel", "LEV_TRUSTED_H", &AclHeader::TnetLevel},
    };
    for (const Slider &slider : sliders) {
        HWND bar = Item(slider.id);
        RECT thumb = {}, channel = {};
        ::SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        ::SendMessageA(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        const POINT from = ScreenPointOf(bar, POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
        const POINT to = ScreenPointOf(bar, POINT{(thumb.left + thumb.right) / 2, 0});
        DragFromTo(from, to);
        PumpFor(200);
        EXPECT_EQ(::SendMessageA(bar, TBM_GETPOS, 0, 0), 0) << slider.key;
        EXPECT_EQ(std::string(Store().GetConfig(slider.key)), "2") << slider.key;
        EXPECT_EQ(TheConsole().Publisher().GetHeader()->*slider.level, 2) << slider.key;
    }
    EXPECT_EQ(WindowText(Item(IDC_FW_INTERNET_TEXT)), PageText("LEV_INTERNET_H"));
    EXPECT_EQ(WindowText(Item(IDC_FW_TRUSTED_TEXT)), PageText("LEV_TRUSTED_H"));
    SaveTestScreen(m_host.Handle(), "both-high");
}

TEST_F(FirewallPage, ViewButtonsShowEachViewAndFillItsGridFromTheStore)
{
    ShowPage();
    struct View {
        int button;
        int view;
        const char *topic;
    } const views[] = {
        {IDC_FW_TRUSTED_VIEW, CFirewallFrame::VIEW_TRUSTED, "::/firewall_trusted.htm"},
        {IDC_FW_BLOCKED_VIEW, CFirewallFrame::VIEW_BLOCKED, "::/firewall_blocked.htm"},
        {IDC_FW_GENERAL_VIEW, CFirewallFrame::VIEW_GENERAL, "::/firewall_general.htm"},
    };
    EXPECT_EQ(std::string(m_page.GetHelpTopic()), "::/firewall_general.htm");
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_FW_GENERAL_VIEW))) << "the page opens on the General view";
    for (int round = 0; round < 2; ++round) {
        // Entries stored behind the page's back show at the next change of view.
        ZoneRecord zone;
        zone.Name.Format("Stored %d", round);
        zone.IP1 = 0x0A000001 + round;
        ASSERT_NE(Store().AddZone(zone, FALSE), 0u);
        ASSERT_NE(Store().AddZone(zone, TRUE), 0u);
        for (const View &v : views) {
            ClickControl(Item(v.button));
            PumpFor(200);
            EXPECT_EQ(m_page.CurrentView(), v.view);
            EXPECT_EQ(std::string(m_page.GetHelpTopic()), v.topic);
            const bool general = v.view == CFirewallFrame::VIEW_GENERAL;
            EXPECT_EQ(::IsWindowVisible(Item(IDC_FW_INTERNET_SLIDER)) != FALSE, general);
            EXPECT_EQ(::IsWindowVisible(Item(IDC_FW_BLOCKED_TEXT)) != FALSE, general);
            EXPECT_EQ(::IsWindowVisible(Item(IDC_FW_TRUSTED_GRID)) != FALSE, v.view == CFirewallFrame::VIEW_TRUSTED);
            EXPECT_EQ(::IsWindowVisible(Item(IDC_FW_BLOCKED_GRID)) != FALSE, v.view == CFirewallFrame::VIEW_BLOCKED);
            const int shownRows = general ? 0 : round + 1;
            EXPECT_EQ(m_page.TrustedGrid().GetItemCount(), v.view == CFirewallFrame::VIEW_TRUSTED ? shownRows : 0);
            EXPECT_EQ(m_page.BlockedGrid().GetItemCount(), v.view == CFirewallFrame::VIEW_BLOCKED ? shownRows : 0);
            // The view's button is marked and takes no clicks; the others do.
            for (const View &other : views)
                EXPECT_EQ(::IsWindowEnabled(Item(other.button)) != FALSE, other.button != v.button);
        }
    }
}

TEST_F(FirewallPage, RowTextsFollowTheEntryType)
{
    CLanguageText texts;
    texts.SetSource(*TheConsole().GetLanguagePath(), "FRAME_FIREWALL", "APP", "APP_NAME");
    struct Case {
        BYTE type;
        DWORD ip1, ip2;
        const char *site;
        const char *address;
        const char *typeKey;
    } const cases[] = {
        {0, 0xC0A80001, 0, "", "192.168.0.1", "GRID_COL3_IpAddress"},
        {1, 0x0A000001, 0x0A0000FF, "", "10.0.0.1 - 10.0.0.255", "GRID_COL3_IpRange"},
        {2, 0xC0A80000, 0xFFFFFF00, "", "192.168.0.0/255.255.255.0", "GRID_COL3_Subnet"},
        {3, 0, 0, "host.example", "host.example", "GRID_COL3_Host"},
        {7, 0x01020304, 0, "x", "", NULL},
    };
    for (const Case &c : cases) {
        ZoneRecord zone;
        zone.Name = "Name";
        zone.Type = c.type;
        zone.IP1 = c.ip1;
        zone.IP2 = c.ip2;
        zone.Site = c.site;
        CString row[3];
        CFirewallFrame::ZoneRowTexts(zone, texts, row);
        EXPECT_EQ(std::string(row[0]), "Name");
        EXPECT_EQ(std::string(row[1]), c.address);
        EXPECT_EQ(std::string(row[2]), c.typeKey ? PageText(c.typeKey) : "");
    }
}

// Fills the editor as a person: the addresses typed into the fields, the
// host name and the description, then OK.
void FillEditor(HWND dialog, const char *first, const char *second, const char *host, const char *name)
{
    BringToFront(dialog);
    PumpFor(150);
    if (first) {
        TypeAddress(::GetDlgItem(dialog, IDC_ZONE_FIRST_ADDRESS), first);
    }
    if (second) {
        TypeAddress(::GetDlgItem(dialog, IDC_ZONE_SECOND_ADDRESS), second);
    }
    if (host) {
        ClickControl(::GetDlgItem(dialog, IDC_ZONE_HOST_NAME));
        TypeText(host);
    }
    ClickControl(::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION));
    TypeText(name);
    ClickControl(::GetDlgItem(dialog, IDOK));
    PumpFor(100);
}

TEST_F(FirewallPage, EachKindAddedFromTheZoneMenuLandsInTheShownListTheStoreAndTheImage)
{
    ShowPage();
    struct Case {
        BYTE type;
        const char *first;
        const char *second;
        const char *host;
        const char *name;
        const char *address;
        DWORD ip1, ip2;
    } const cases[] = {
        {3, NULL, NULL, "bad.example", "Host entry", "bad.example", 0, 0},
        {0, "10.1.2.3", NULL, NULL, "Address entry", "10.1.2.3", 0x0A010203, 0},
        {1, "10.0.0.1", "10.0.0.9", NULL, "Range entry", "10.0.0.1 - 10.0.0.9", 0x0A000001, 0x0A000009},
        // (Wine's address field drops a third digit typed into its second
        // part, so no typed part after the first has three digits.)
        {2, "10.20.0.0", "255.0.0.0", NULL, "Subnet entry", "10.20.0.0/255.0.0.0", 0x0A140000, 0xFF000000},
    };
    for (int view : {CFirewallFrame::VIEW_TRUSTED, CFirewallFrame::VIEW_BLOCKED}) {
        const BOOL blocked = view == CFirewallFrame::VIEW_BLOCKED;
        ClickControl(Item(blocked ? IDC_FW_BLOCKED_VIEW : IDC_FW_TRUSTED_VIEW));
        PumpFor(200);
        CGridList &grid = blocked ? m_page.BlockedGrid() : m_page.TrustedGrid();
        for (const Case &c : cases) {
            SCOPED_TRACE(c.name);
            HWND editor = NULL;
            std::string title;
            m_driver.RunInNextDialog([&](HWND dialog) {
                editor = dialog;
                title = WindowText(::GetDlgItem(dialog, IDC_ZONE_TITLE));
                EXPECT_EQ(CentringFault(dialog, m_host.Handle()), "") << "the editor is not centred over the page";
                if (!blocked)
                    SaveTestScreen(dialog, (std::string("editor-") + c.name).c_str());
                if (!blocked && c.type == 3)
                    SaveTestScreen(NULL, "editor-over-its-owner");
                FillEditor(dialog, c.first, c.second, c.host, c.name);
            });
            const std::string menuScreen = c.type == 3 && !blocked ? "zone-menu" : "";
            CMenuKeys menu = RightClickGrid(grid, BelowRows(grid), AddKeys(c.type), menuScreen.c_str());
            PumpUntil([&] { return m_driver.Pending() == 0 && editor && !::IsWindow(editor); }, 5000);
            PumpFor(200);
            EXPECT_TRUE(menu.Met());
            EXPECT_TRUE(menu.IsGreyed(ID_ZONE_MODIFY)) << "below the rows";
            EXPECT_TRUE(menu.IsGreyed(ID_MENU_DELETE)) << "below the rows";
            ASSERT_EQ(m_driver.Pending(), 0u) << "the editor did not open";

            const std::vector<ZoneRecord> stored = Stored(blocked);
            ASSERT_FALSE(stored.empty());
            const ZoneRecord &last = stored.back();
            EXPECT_EQ(std::string(last.Name), c.name);
            EXPECT_EQ(last.Type, c.type);
            EXPECT_EQ(last.IP1, c.ip1);
            EXPECT_EQ(last.IP2, c.ip2);
            const std::vector<ZoneEntry> image = InImage(blocked);
            ASSERT_EQ(image.size(), stored.size());
            EXPECT_EQ(image.back().ID, last.ID);
            EXPECT_EQ(image.back().IP1, c.ip1);
            EXPECT_EQ(std::string(image.back().Site), c.host ? c.host : "");
            EXPECT_TRUE(Stored(!blocked).size() == (blocked ? 4u : 0u)) << "the other list is untouched";

            ASSERT_EQ(grid.GetItemCount(), static_cast<int>(stored.size()));
            int found = -1;
            for (int i = 0; i < grid.GetItemCount(); ++i)
                if (grid.GetRowData(i) == last.ID)
                    found = i;
            ASSERT_GE(found, 0) << "no row carries the new ID";
            const std::vector<std::string> texts = Row(grid, found);
            EXPECT_EQ(texts[0], c.name);
            EXPECT_EQ(texts[1], c.address);
        }
        SaveTestScreen(m_host.Handle(), blocked ? "blocked-list" : "trusted-list");
    }
}

TEST_F(FirewallPage, ADuplicateNameAddsNoRowAndTheGridShowsTheStore)
{
    ZoneRecord zone;
    zone.Name = "Twice";
    zone.IP1 = 0x01020304;
    ASSERT_NE(Store().AddZone(zone, TRUE), 0u);
    CGridList &grid = ShowBlockedView();
    ASSERT_EQ(grid.GetItemCount(), 1);
    m_driver.RunInNextDialog([&](HWND dialog) { FillEditor(dialog, "5.6.7.8", NULL, NULL, "Twice"); });
    RightClickGrid(grid, BelowRows(grid), AddKeys(0));
    PumpUntil([&] { return m_driver.Pending() == 0; }, 5000);
    PumpFor(300);
    EXPECT_EQ(Stored(TRUE).size(), 1u);
    EXPECT_EQ(grid.GetItemCount(), 1);
    EXPECT_EQ(grid.GetRowData(0), Stored(TRUE)[0].ID);
}

TEST_F(FirewallPage, ADoubleClickEditsTheEntryAndDeleteRemovesItUnlessLoggedOff)
{
    ZoneRecord zone;
    zone.Name = "Range";
    zone.Type = 1;
    zone.IP1 = 0x0A000001;
    zone.IP2 = 0x0A000009;
    const DWORD id = Store().AddZone(zone, TRUE);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(TheConsole().Publisher().Build());
    CGridList &grid = ShowBlockedView();
    ASSERT_EQ(grid.GetItemCount(), 1);

    // Below the rows a double-click opens nothing.
    DoubleClickAt(ScreenPointOf(grid.GetSafeHwnd(), BelowRows(grid)));
    PumpFor(300);
    EXPECT_EQ(m_driver.Pending(), 0u);

    std::string title;
    m_driver.RunInNextDialog([&](HWND dialog) {
        BringToFront(dialog);
        PumpFor(150);
        title = WindowText(::GetDlgItem(dialog, IDC_ZONE_TITLE));
        HWND description = ::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION);
        ClickControl(description);
        PressKey(VK_END);
        TypeText(" edited");
        // The first address's first field emptied: it reads 0.
        ClickControlAt(::GetDlgItem(dialog, IDC_ZONE_FIRST_ADDRESS), POINT{8, 11});
        PressKey(VK_END);
        PressKey(VK_BACK);
        PressKey(VK_BACK);
        SaveTestScreen(dialog, "edit-range");
        ClickControl(::GetDlgItem(dialog, IDOK));
        PumpFor(100);
    });
    DoubleClickAt(ScreenPointOf(grid.GetSafeHwnd(), RowPoint(grid, 0)));
    PumpUntil([&] { return m_driver.Pending() == 0; }, 5000);
    PumpFor(300);
    EXPECT_EQ(title, std::string(TheConsole().Texts().GetText("Title_EditIpRange", "DLG_ZONE")));
    ZoneRecord edited;
    ASSERT_TRUE(Store().GetZone(id, edited, TRUE));
    EXPECT_EQ(std::string(edited.Name), "Range edited");
    EXPECT_EQ(edited.Type, 1);
    EXPECT_EQ(edited.IP1, 0x00000001u);
    EXPECT_EQ(edited.IP2, 0x0A000009u);
    ASSERT_EQ(InImage(TRUE).size(), 1u);
    EXPECT_EQ(InImage(TRUE)[0].IP1, 0x00000001u);
    EXPECT_EQ(Row(grid, 0)[0], "Range edited");
    EXPECT_EQ(Row(grid, 0)[1], "0.0.0.1 - 10.0.0.9");

    // Logged off, Delete refuses and removes nothing.
    LoggedOn = 0;
    m_driver.AnswerNextBox(IDOK);
    CMenuKeys refused = RightClickGrid(grid, RowPoint(grid, 0), {VK_UP, VK_RETURN});
    PumpFor(300);
    LoggedOn = 1;
    EXPECT_FALSE(refused.IsGreyed(ID_ZONE_MODIFY));
    EXPECT_FALSE(refused.IsGreyed(ID_MENU_DELETE));
    ASSERT_EQ(m_driver.Boxes().size(), 1u);
    EXPECT_EQ(m_driver.Boxes()[0].text, std::string(TheConsole().Texts().GetText("LOG_DONT", "APP")));
    EXPECT_EQ(Stored(TRUE).size(), 1u);
    EXPECT_EQ(grid.GetItemCount(), 1);

    RightClickGrid(grid, RowPoint(grid, 0), {VK_UP, VK_RETURN});
    PumpFor(300);
    EXPECT_TRUE(Stored(TRUE).empty());
    EXPECT_TRUE(InImage(TRUE).empty());
    EXPECT_EQ(grid.GetItemCount(), 0);
}

// The page with a provider process beside it: the console's publisher
// announces its image to QFW.DLL, and the test folder's client program
// connects on loopback through the catalog router under a rule that lets it
// connect out over TCP.
class FirewallPageWithProvider : public FirewallPage
{
protected:
    void SetUp() override
    {
        ConsoleWindowTest::SetUp();
        CloseDriver();
        NetvaneReset();
        ASSERT_TRUE(NetvaneInstallService());
        const std::string folder = TestFolder();
        ASSERT_TRUE(CCatalogFixture::WriteInstalledCatalog((folder + "QFW.DLL").c_str(),
                                                           (folder + "TcpipBase.dll").c_str()));
        m_provider = ::LoadLibraryA((folder + "QFW.DLL").c_str());
        ASSERT_NE(m_provider, nullptr);
        m_spi = reinterpret_cast<SpiIoControlProc>(
            reinterpret_cast<void (*)()>(::GetProcAddress(m_provider, SPI_IO_CONTROL_NAME)));
        ASSERT_NE(m_spi, nullptr);
        char self[MAX_PATH];
        ::GetModuleFileNameA(NULL, self, sizeof self);
        Spi(SPI_SET_CONSOLE, 0, ::GetCurrentProcessId(), AddressToDword(self));
    }

    void TearDown() override
    {
        CZoneHostResolver::Stop();
        CSessionMonitor::Stop();
        if (m_provider) {
            Spi(SPI_SET_WORK_MODE, WORK_MODE_OFF);
            Spi(SPI_SET_CONSOLE, 0, 0, 0);
        }
        FirewallPage::TearDown();
        TheConsole().Publisher().SetSpiIoControl(RecordSpiIoControl);
        if (m_provider)
            ::FreeLibrary(m_provider);
        CCatalogFixture::Clear();
    }

    void Spi(DWORD code, DWORD value, DWORD param1 = 0, DWORD param2 = 0)
    {
        SpiIoBlock block = {value, param1, param2, 0};
        m_spi(code, &block);
    }

    // The client's rule, then the console's image announced to the provider.
    void StartConsole(BYTE internetAction, BYTE trustedAction)
    {
        CProgramsRuleLib rules;
        ASSERT_TRUE(rules.Open(m_folder.File("ProgramsRule.dat")));
        const DWORD id = rules.AddRule((TestFolder() + "wsclient.exe").c_str(), internetAction, trustedAction,
                                       ACTION_DENY, 0);
        ASSERT_NE(id, 0u);
        NetRuleSettings settings;
        settings.ID = id;
        settings.TcpAccess = 1;
        ASSERT_TRUE(rules.SetInetSettings(id, settings));
        TheConsole().Publisher().SetSpiIoControl(m_spi);
        ASSERT_TRUE(TheConsole().Publisher().Build());
        Spi(SPI_SET_WORK_MODE, WORK_MODE_NORMAL);
        ASSERT_TRUE(CSessionMonitor::Start(m_spi, m_host.Handle(), NULL));
    }

    // Whether the client's connect to a loopback listener got through; a
    // refusal must be the provider's 10061.
    bool ClientConnects()
    {
        CListener listener;
        std::string output;
        const int code = RunClient("send 127.0.0.1 " + std::to_string(listener.Port()) + " --line hello", output);
        if (code == 0) {
            EXPECT_EQ(listener.Received(), "hello\r\n");
            return true;
        }
        EXPECT_NE(output.find("error 10061"), std::string::npos) << output;
        EXPECT_EQ(listener.Received(), "");
        return false;
    }

    // Adds an entry through the Zone menu of the shown view's grid.
    void AddThroughPage(CGridList &grid, BYTE type, const char *first, const char *second, const char *host,
                        const char *name)
    {
        m_driver.RunInNextDialog([=](HWND dialog) { FillEditor(dialog, first, second, host, name); });
        RightClickGrid(grid, BelowRows(grid), AddKeys(type));
        PumpUntil([&] { return m_driver.Pending() == 0; }, 5000);
        PumpFor(300);
        ASSERT_EQ(m_driver.Pending(), 0u) << "the editor did not open";
    }

    // One pass of the resolver, as its thread makes it, with Winsock started
    // as the console has it.
    void LookUpHostNames()
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        CZoneHostResolver::ResolvePass(TheConsole().Publisher());
        WSACleanup();
    }

    // Edits the first row in the editor that a double-click on it opens.
    void EditFirstRow(CGridList &grid, std::function<void(HWND)> steps)
    {
        m_driver.RunInNextDialog([=](HWND dialog) {
            BringToFront(dialog);
            PumpFor(150);
            steps(dialog);
            ClickControl(::GetDlgItem(dialog, IDOK));
            PumpFor(100);
        });
        DoubleClickAt(ScreenPointOf(grid.GetSafeHwnd(), RowPoint(grid, 0)));
        PumpUntil([&] { return m_driver.Pending() == 0; }, 5000);
        PumpFor(300);
        ASSERT_EQ(m_driver.Pending(), 0u) << "the editor did not open";
    }

    void DeleteFirstRow(CGridList &grid)
    {
        RightClickGrid(grid, RowPoint(grid, 0), {VK_UP, VK_RETURN});
        PumpFor(300);
    }

    HMODULE m_provider = nullptr;
    SpiIoControlProc m_spi = nullptr;
};

TEST_F(FirewallPageWithProvider, ABlockedEntryForLoopbackRefusesTheNextConnectUntilItIsDeleted)
{
    StartConsole(ACTION_PASS, ACTION_PASS);
    CGridList &grid = ShowBlockedView();
    struct Case {
        BYTE type;
        const char *first;
        const char *second;
        const char *name;
    } const cases[] = {
        {ZONE_ENTRY_ADDRESS, "127.0.0.1", NULL, "Loopback address"},
        {ZONE_ENTRY_RANGE, "127.0.0.1", "127.0.0.9", "Loopback range"},
        {ZONE_ENTRY_SUBNET, "127.0.0.0", "255.0.0.0", "Loopback subnet"},
    };
    EXPECT_TRUE(ClientConnects()) << "before any entry";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AddThroughPage(grid, c.type, c.first, c.second, NULL, c.name);
        ASSERT_EQ(grid.GetItemCount(), 1);
        EXPECT_FALSE(ClientConnects()) << "blocked";
        DeleteFirstRow(grid);
        ASSERT_EQ(grid.GetItemCount(), 0);
        EXPECT_TRUE(ClientConnects()) << "deleted";
    }
}

TEST_F(FirewallPageWithProvider, ATrustedEntryLetsTheRulesTrustedActionDecide)
{
    StartConsole(ACTION_PASS, ACTION_DENY);
    ShowPage();
    ClickControl(Item(IDC_FW_TRUSTED_VIEW));
    PumpFor(200);
    EXPECT_TRUE(ClientConnects()) << "loopback is in the Internet zone";
    AddThroughPage(m_page.TrustedGrid(), ZONE_ENTRY_ADDRESS, "127.0.0.1", NULL, NULL, "This computer");
    EXPECT_FALSE(ClientConnects()) << "the trusted action denies";
}

TEST_F(FirewallPageWithProvider, ABlockedHostNameGetsItsAddressFromTheResolverAndAnEmptyOneBlocksNothing)
{
    StartConsole(ACTION_PASS, ACTION_PASS);
    ASSERT_TRUE(CZoneHostResolver::Start(TheConsole().Publisher()));
    CGridList &grid = ShowBlockedView();
    AddThroughPage(grid, ZONE_ENTRY_HOST, NULL, NULL, "", "Empty host");
    PumpFor(2500);
    EXPECT_TRUE(ClientConnects()) << "an empty host name blocks nothing";
    DeleteFirstRow(grid);

    AddThroughPage(grid, ZONE_ENTRY_HOST, NULL, NULL, "127.0.0.1", "Dotted host");
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<ZoneEntry> entries = InImage(TRUE);
        return !entries.empty() && entries[0].IP1 == 0x7F000001;
    }, 10000)) << "the resolver did not fill in the address";
    EXPECT_FALSE(ClientConnects());
}

// The address of a host name is the resolver's: an edit that keeps the
// name keeps the entry blocking; a new name matches nothing until its own
// lookup. No resolver thread runs, so each lookup is the test's.
TEST_F(FirewallPageWithProvider, EditingABlockedHostKeepsItsAddressWhileItsNameStays)
{
    StartConsole(ACTION_PASS, ACTION_PASS);
    CGridList &grid = ShowBlockedView();
    AddThroughPage(grid, ZONE_ENTRY_HOST, NULL, NULL, "127.0.0.1", "Dotted host");
    LookUpHostNames();
    ASSERT_EQ(InImage(TRUE).size(), 1u);
    ASSERT_EQ(InImage(TRUE)[0].IP1, 0x7F000001u);
    ASSERT_FALSE(ClientConnects()) << "resolved and blocked";

    EditFirstRow(grid, [](HWND dialog) {
        ClickControl(::GetDlgItem(dialog, IDC_ZONE_DESCRIPTION));
        PressKey(VK_END);
        TypeText(" edited");
    });
    EXPECT_EQ(Row(grid, 0)[0], "Dotted host edited");
    ASSERT_EQ(InImage(TRUE).size(), 1u);
    EXPECT_EQ(InImage(TRUE)[0].IP1, 0x7F000001u);
    EXPECT_EQ(InImage(TRUE)[0].IP2, 0x7F000001u);
    EXPECT_FALSE(ClientConnects()) << "the description changed, the block stays";

    EditFirstRow(grid, [](HWND dialog) {
        ClickControl(::GetDlgItem(dialog, IDC_ZONE_HOST_NAME));
        PressKey(VK_END);
        PressKey(VK_BACK);
        TypeText("2");
    });
    ASSERT_EQ(InImage(TRUE).size(), 1u);
    EXPECT_STREQ(InImage(TRUE)[0].Site, "127.0.0.2");
    EXPECT_EQ(InImage(TRUE)[0].IP1, 0u) << "the old name's address went with it";
    EXPECT_TRUE(ClientConnects());
    LookUpHostNames();
    EXPECT_EQ(InImage(TRUE)[0].IP1, 0x7F000002u);
}

} // namespace
