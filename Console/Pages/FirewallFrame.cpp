#include "FirewallFrame.h"

#include "ConsoleApp.h"
#include "ConsoleMessages.h"
#include "ConsoleSettings.h"
#include "Formatting.h"
#include "LoggedOnRefusal.h"
#include "MemoryDC.h"
#include "ZoneDialog.h"

#include <CMenu.h>
#include <CPaintDC.h>
#include <DataExchange.h>

#include <cstdlib>
#include <vector>

namespace {

// The rectangles of the sliders in the page's painting, saved for them as
// their background.
const RECT INTERNET_SLIDER_RECT = {30, 55, 70, 115};
const RECT TRUSTED_SLIDER_RECT = {30, 150, 70, 210};

// The marks from the top: high, middle, low; Internet first, then trusted.
const int MARK_IDS[6] = {IDC_FW_INTERNET_HIGH, IDC_FW_INTERNET_MIDDLE, IDC_FW_INTERNET_LOW,
                         IDC_FW_TRUSTED_HIGH,  IDC_FW_TRUSTED_MIDDLE,  IDC_FW_TRUSTED_LOW};
const LPCTSTR MARK_KEYS[3] = {"L_LevHigh", "L_LevMiddle", "L_LevLower"};

// What the General view shows.
const int GENERAL_IDS[] = {IDC_FW_INTERNET_GROUP, IDC_FW_TRUSTED_GROUP, IDC_FW_BLOCKED_GROUP,
                           IDC_FW_INTERNET_SLIDER, IDC_FW_TRUSTED_SLIDER, IDC_FW_INTERNET_HIGH,
                           IDC_FW_INTERNET_MIDDLE, IDC_FW_INTERNET_LOW, IDC_FW_TRUSTED_HIGH,
                           IDC_FW_TRUSTED_MIDDLE, IDC_FW_TRUSTED_LOW, IDC_FW_INTERNET_TEXT,
                           IDC_FW_TRUSTED_TEXT, IDC_FW_BLOCKED_TEXT};

bool Contains(const RECT &outer, const RECT &inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

} // namespace

BEGIN_MESSAGE_MAP(CFirewallFrame, CConsolePage)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_FW_INTERNET_SLIDER, OnInternetLevelReleased)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_FW_TRUSTED_SLIDER, OnTrustedLevelReleased)
    ON_BN_CLICKED(IDC_FW_GENERAL_VIEW, OnGeneralView)
    ON_BN_CLICKED(IDC_FW_TRUSTED_VIEW, OnTrustedView)
    ON_BN_CLICKED(IDC_FW_BLOCKED_VIEW, OnBlockedView)
    ON_COMMAND(ID_ZONE_ADD_HOST, OnAddHost)
    ON_COMMAND(ID_ZONE_ADD_ADDRESS, OnAddAddress)
    ON_COMMAND(ID_ZONE_ADD_RANGE, OnAddRange)
    ON_COMMAND(ID_ZONE_ADD_SUBNET, OnAddSubnet)
    ON_COMMAND(ID_ZONE_MODIFY, ModifyZone)
    ON_COMMAND(ID_MENU_DELETE, DeleteZone)
    ON_NOTIFY(NM_RCLICK, IDC_FW_TRUSTED_GRID, OnGridRightClick)
    ON_NOTIFY(NM_RCLICK, IDC_FW_BLOCKED_GRID, OnGridRightClick)
    ON_NOTIFY(NM_DBLCLK, IDC_FW_TRUSTED_GRID, OnGridDoubleClick)
    ON_NOTIFY(NM_DBLCLK, IDC_FW_BLOCKED_GRID, OnGridDoubleClick)
    ON_MESSAGE(WM_DEFERRED_LAYOUT, OnDeferredLayout)
END_MESSAGE_MAP()

CFirewallFrame::CFirewallFrame(CWnd *pParent)
    : CConsolePage(IDD_FIREWALL_PAGE, pParent, "SubTitle_Left_Firewall.bmp")
{
}

void CFirewallFrame::DoDataExchange(CDataExchange *pDX)
{
    CConsolePage::DoDataExchange(pDX);
    for (int i = 0; i < 6; ++i)
        DDX_Control(pDX, MARK_IDS[i], m_marks[i]);
    DDX_Control(pDX, IDC_FW_TRUSTED_TEXT, m_trustedText);
    DDX_Control(pDX, IDC_FW_INTERNET_TEXT, m_internetText);
    DDX_Control(pDX, IDC_FW_BLOCKED_TEXT, m_blockedText);
    DDX_Control(pDX, IDC_FW_BLOCKED_VIEW, m_blockedButton);
    DDX_Control(pDX, IDC_FW_TRUSTED_VIEW, m_trustedButton);
    DDX_Control(pDX, IDC_FW_GENERAL_VIEW, m_generalButton);
    DDX_Control(pDX, IDC_FW_TRUSTED_GRID, m_trustedGrid);
    DDX_Control(pDX, IDC_FW_BLOCKED_GRID, m_blockedGrid);
    DDX_Control(pDX, IDC_FW_INTERNET_SLIDER, m_internetSlider);
    DDX_Control(pDX, IDC_FW_TRUSTED_SLIDER, m_trustedSlider);
}

BOOL CFirewallFrame::OnInitDialog()
{
    CConsolePage::OnInitDialog();
    LoadSkin();
    m_texts.SetSource(*GetConsoleApp()->GetLanguagePath(), "FRAME_FIREWALL", "APP", "APP_NAME");
    m_internetGroup.AttachDark(IDC_FW_INTERNET_GROUP, this);
    m_trustedGroup.AttachDark(IDC_FW_TRUSTED_GROUP, this);
    m_blockedGroup.AttachDark(IDC_FW_BLOCKED_GROUP, this);
    m_internetGroup.m_bFramed = m_trustedGroup.m_bFramed = m_blockedGroup.m_bFramed = TRUE;
    m_internetSlider.SetRange(0, 2, FALSE);
    m_trustedSlider.SetRange(0, 2, FALSE);
    SetLevelFromStore(m_internetSlider, "InetLevel");
    SetLevelFromStore(m_trustedSlider, "TnetLevel");
    const CString head = m_texts.GetText("LIST_HEAD");
    for (CGridList *grid : {&m_trustedGrid, &m_blockedGrid}) {
        grid->m_textColor = RGB(0, 0, 0);
        grid->SetExtendedStyle(grid->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        grid->SetColumns(head);
    }
    LoadTexts();
    OnGeneralView();
    return TRUE;
}

void CFirewallFrame::LoadSkin()
{
    const CString folder = ConsoleSkinFolder();
    m_generalButton.SetBitmap(folder + "But_FW_General.bmp", 4, FALSE);
    m_trustedButton.SetBitmap(folder + "But_FW_Tnet.bmp", 4, FALSE);
    m_blockedButton.SetBitmap(folder + "But_FW_Bnet.bmp", 4, FALSE);
    for (CGridList *grid : {&m_trustedGrid, &m_blockedGrid})
        grid->Header().LoadBackgrounds(folder + "ListHead_Bk_Normal.bmp", folder + "ListHead_Bk_Select.bmp");
}

void CFirewallFrame::LoadTexts()
{
    m_generalButton.SetWindowText(m_texts.GetText("BUT_Table_1"));
    m_trustedButton.SetWindowText(m_texts.GetText("BUT_Table_2"));
    m_blockedButton.SetWindowText(m_texts.GetText("BUT_Table_3"));
    m_internetGroup.SetWindowText(m_texts.GetText("GP_Internet"));
    m_trustedGroup.SetWindowText(m_texts.GetText("GP_Trusted"));
    m_blockedGroup.SetWindowText(m_texts.GetText("GP_Blocked"));
    for (int i = 0; i < 6; ++i)
        m_marks[i].SetWindowText(m_texts.GetText(MARK_KEYS[i % 3]));
    m_blockedText.SetWindowText(m_texts.GetText("LAB_BLOCKED"));
    m_internetText.SetWindowText(LevelText("LEV_INTERNET_", LevelOf(m_internetSlider)));
    m_trustedText.SetWindowText(LevelText("LEV_TRUSTED_", LevelOf(m_trustedSlider)));
}

// --- security levels -------------------------------------------------------

void CFirewallFrame::SetLevelFromStore(CSkinSlider &slider, LPCTSTR key)
{
    const BYTE level = static_cast<BYTE>(atoi(GetConsoleApp()->Publisher().ZoneStore().GetConfig(key)));
    slider.SetPos(abs(2 - level));
}

BYTE CFirewallFrame::LevelOf(const CSkinSlider &slider) const
{
    return static_cast<BYTE>(abs(2 - slider.GetPos()));
}

CString CFirewallFrame::LevelText(LPCTSTR prefix, BYTE level) const
{
    const LPCTSTR suffix = level == 0 ? "L" : (level == 1 ? "M" : "H");
    return m_texts.GetText(CString(prefix) + suffix);
}

void CFirewallFrame::StoreLevel(CSkinSlider &slider, BOOL internet)
{
    CAclPublisher &publisher = GetConsoleApp()->Publisher();
    const BYTE level = LevelOf(slider);
    if (internet)
        publisher.ZoneStore().SetInetLevel(level);
    else
        publisher.ZoneStore().SetTnetLevel(level);
    // No provider reads the level bytes, so they go in without the
    // image's writer flag; only while there is an image.
    if (AclHeader *header = publisher.GetHeader())
        (internet ? header->InetLevel : header->TnetLevel) = level;
    if (internet)
        m_internetText.SetWindowText(LevelText("LEV_INTERNET_", level));
    else
        m_trustedText.SetWindowText(LevelText("LEV_TRUSTED_", level));
    Invalidate(FALSE);
}

void CFirewallFrame::OnInternetLevelReleased(NMHDR *, LRESULT *pResult)
{
    StoreLevel(m_internetSlider, TRUE);
    *pResult = 0;
}

void CFirewallFrame::OnTrustedLevelReleased(NMHDR *, LRESULT *pResult)
{
    StoreLevel(m_trustedSlider, FALSE);
    *pResult = 0;
}

// --- views -----------------------------------------------------------------

void CFirewallFrame::OnGeneralView()
{
    ShowView(VIEW_GENERAL, "::/firewall_general.htm");
}

void CFirewallFrame::OnTrustedView()
{
    ShowView(VIEW_TRUSTED, "::/firewall_trusted.htm");
}

void CFirewallFrame::OnBlockedView()
{
    ShowView(VIEW_BLOCKED, "::/firewall_blocked.htm");
}

void CFirewallFrame::ShowView(int view, LPCTSTR helpTopic)
{
    m_view = view;
    SelectView(view);
    m_helpTopic = helpTopic;
}

void CFirewallFrame::SelectView(int view)
{
    PostMessage(WM_DEFERRED_LAYOUT);
    m_generalButton.SetCheck(view == VIEW_GENERAL);
    m_trustedButton.SetCheck(view == VIEW_TRUSTED);
    m_blockedButton.SetCheck(view == VIEW_BLOCKED);
    m_trustedGrid.DeleteAllRows();
    m_blockedGrid.DeleteAllRows();
    for (int id : GENERAL_IDS)
        GetDlgItem(id)->ShowWindow(view == VIEW_GENERAL ? SW_SHOW : SW_HIDE);
    m_trustedGrid.ShowWindow(view == VIEW_TRUSTED ? SW_SHOW : SW_HIDE);
    m_blockedGrid.ShowWindow(view == VIEW_BLOCKED ? SW_SHOW : SW_HIDE);
    if (view != VIEW_GENERAL)
        FillList(view == VIEW_BLOCKED);
}

// --- the lists -------------------------------------------------------------

void CFirewallFrame::FillList(BOOL blocked)
{
    std::vector<ZoneRecord> zones;
    GetConsoleApp()->Publisher().ZoneStore().LoadZones(zones, blocked);
    CGridList &grid = GridOf(blocked);
    for (const ZoneRecord &zone : zones)
        SetZoneRow(grid, grid.AddRow({CString(), CString(), CString()}), zone);
}

void CFirewallFrame::RefillShownList()
{
    if (m_view == VIEW_GENERAL)
        return;
    const BOOL blocked = m_view == VIEW_BLOCKED;
    GridOf(blocked).DeleteAllRows();
    FillList(blocked);
}

void CFirewallFrame::ZoneRowTexts(const ZoneRecord &zone, const CLanguageText &texts, CString out[3])
{
    out[0] = zone.Name;
    out[1] = out[2] = CString();
    switch (zone.Type) {
    case ZONE_ENTRY_ADDRESS:
        out[1] = IpToText(&zone.IP1);
        out[2] = texts.GetText("GRID_COL3_IpAddress");
        break;
    case ZONE_ENTRY_RANGE:
        out[1] = IpToText(&zone.IP1) + " - " + IpToText(&zone.IP2);
        out[2] = texts.GetText("GRID_COL3_IpRange");
        break;
    case ZONE_ENTRY_SUBNET:
        out[1] = IpToText(&zone.IP1) + "/" + IpToText(&zone.IP2);
        out[2] = texts.GetText("GRID_COL3_Subnet");
        break;
    case ZONE_ENTRY_HOST:
        out[1] = zone.Site;
        out[2] = texts.GetText("GRID_COL3_Host");
        break;
    default:
        break;
    }
}

void CFirewallFrame::SetZoneRow(CGridList &grid, int row, const ZoneRecord &zone)
{
    CString texts[3];
    ZoneRowTexts(zone, m_texts, texts);
    grid.SetCellText(row, 0, texts[0]);
    grid.SetRowData(row, zone.ID);
    grid.SetCellText(row, 1, texts[1]);
    grid.SetCellText(row, 2, texts[2]);
}

// --- the zone commands -----------------------------------------------------

void CFirewallFrame::OnAddHost() { AddZone(ZONE_ENTRY_HOST); }
void CFirewallFrame::OnAddAddress() { AddZone(ZONE_ENTRY_ADDRESS); }
void CFirewallFrame::OnAddRange() { AddZone(ZONE_ENTRY_RANGE); }
void CFirewallFrame::OnAddSubnet() { AddZone(ZONE_ENTRY_SUBNET); }

void CFirewallFrame::AddZone(BYTE type)
{
    const BOOL blocked = CommandsOnBlockedList();
    CZoneDialog editor(this);
    editor.m_record.Type = type;
    editor.m_listFlag = static_cast<BYTE>(blocked);
    if (editor.DoModal() != IDOK)
        return;
    const DWORD id = GetConsoleApp()->Publisher().AddZoneEntry(blocked, editor.m_record);
    if (id == 0) {
        // Refused (a name the list holds already) or stored without the
        // image: show what the store holds.
        RefillShownList();
        return;
    }
    editor.m_record.ID = id;
    CGridList &grid = GridOf(blocked);
    SetZoneRow(grid, grid.AddRow({CString(), CString(), CString()}), editor.m_record);
}

void CFirewallFrame::ModifyZone()
{
    const BOOL blocked = CommandsOnBlockedList();
    CGridList &grid = GridOf(blocked);
    if (!grid.IsValidRow(m_selectedRow))
        return;
    CZoneDialog editor(this);
    editor.m_editFlag = 1;
    editor.m_listFlag = static_cast<BYTE>(blocked);
    const DWORD id = grid.GetRowData(m_selectedRow);
    CAclPublisher &publisher = GetConsoleApp()->Publisher();
    if (!publisher.ReadZoneEntry(blocked, id, editor.m_record))
        return;
    if (editor.DoModal() != IDOK)
        return;
    if (publisher.ModifyZoneEntry(blocked, id, editor.m_record))
        SetZoneRow(grid, m_selectedRow, editor.m_record);
    else
        RefillShownList();
}

void CFirewallFrame::DeleteZone()
{
    const BOOL blocked = CommandsOnBlockedList();
    CGridList &grid = GridOf(blocked);
    if (!grid.IsValidRow(m_selectedRow))
        return;
    // Removing a blocked entry weakens the firewall like any other change.
    if (RefuseWhileLoggedOff(m_hWnd, m_texts))
        return;
    if (GetConsoleApp()->Publisher().DeleteZoneEntry(blocked, grid.GetRowData(m_selectedRow))) {
        grid.DeleteRow(m_selectedRow);
        m_selectedRow = -1;
    } else {
        RefillShownList();
    }
}

void CFirewallFrame::OnGridRightClick(NMHDR *pNotify, LRESULT *pResult)
{
    m_selectedRow = reinterpret_cast<NMITEMACTIVATE *>(pNotify)->iItem;
    CMenu menu;
    if (menu.LoadMenu(IDR_CONTEXT_MENUS)) {
        CMenu *zone = menu.GetSubMenu(CONTEXT_MENU_ZONE);
        CMenu *add = zone->GetSubMenu(0);
        add->ModifyMenu(ID_ZONE_ADD_HOST, MF_BYCOMMAND | MF_STRING, ID_ZONE_ADD_HOST, m_texts.GetText("MU_AddHost"));
        add->ModifyMenu(ID_ZONE_ADD_ADDRESS, MF_BYCOMMAND | MF_STRING, ID_ZONE_ADD_ADDRESS, m_texts.GetText("MU_AddIP"));
        add->ModifyMenu(ID_ZONE_ADD_RANGE, MF_BYCOMMAND | MF_STRING, ID_ZONE_ADD_RANGE, m_texts.GetText("MU_AddIP2"));
        add->ModifyMenu(ID_ZONE_ADD_SUBNET, MF_BYCOMMAND | MF_STRING, ID_ZONE_ADD_SUBNET, m_texts.GetText("MU_AddSub"));
        // By position, keeping the Add entry's sub-menu.
        zone->ModifyMenu(0, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(add->GetSafeHmenu()),
                         m_texts.GetText("MU_Add"));
        zone->ModifyMenu(ID_ZONE_MODIFY, MF_BYCOMMAND | MF_STRING, ID_ZONE_MODIFY, m_texts.GetText("MU_Modify"));
        zone->ModifyMenu(ID_MENU_DELETE, MF_BYCOMMAND | MF_STRING, ID_MENU_DELETE, m_texts.GetText("MU_Del"));
        const UINT rowCommands = m_selectedRow == -1 ? MF_GRAYED : MF_ENABLED;
        zone->EnableMenuItem(ID_ZONE_MODIFY, MF_BYCOMMAND | rowCommands);
        zone->EnableMenuItem(ID_MENU_DELETE, MF_BYCOMMAND | rowCommands);
        zone->SetDefaultItem(0, TRUE);
        POINT cursor;
        ::GetCursorPos(&cursor);
        zone->TrackPopupMenu(0, cursor.x, cursor.y, this);
    }
    *pResult = 0;
}

void CFirewallFrame::OnGridDoubleClick(NMHDR *pNotify, LRESULT *pResult)
{
    m_selectedRow = reinterpret_cast<NMITEMACTIVATE *>(pNotify)->iItem;
    if (m_selectedRow >= 0)
        ModifyZone();
    *pResult = 0;
}

// --- layout and painting ---------------------------------------------------

void CFirewallFrame::OnSize(UINT nType, int cx, int cy)
{
    CConsolePage::OnSize(nType, cx, cy);
    if (IsWindowVisible())
        PostMessage(WM_DEFERRED_LAYOUT);
}

LRESULT CFirewallFrame::OnDeferredLayout(WPARAM, LPARAM)
{
    CRect client;
    GetClientRect(&client);
    const int W = client.Width(), H = client.Height();
    const int height = m_generalButton.m_nStateHeight;
    const int wBlocked = m_blockedButton.m_nStateWidth, wTrusted = m_trustedButton.m_nStateWidth;
    const int wGeneral = m_generalButton.m_nStateWidth;
    m_blockedButton.MoveWindow(W - 5 - wBlocked, 1, wBlocked, height);
    m_trustedButton.MoveWindow(W - 5 - wBlocked - wTrusted, 1, wTrusted, height);
    m_generalButton.MoveWindow(W - 5 - wBlocked - wTrusted - wGeneral, 1, wGeneral, height);
    if (m_view == VIEW_GENERAL) {
        m_internetGroup.MoveWindow(10, 40, W - 22, 80);
        m_internetSlider.MoveWindow(30, 55, 40, 60);
        m_internetText.MoveWindow(100, 60, 410, 51);
        m_trustedGroup.MoveWindow(10, 135, W - 22, 80);
        m_trustedSlider.MoveWindow(30, 150, 40, 60);
        m_trustedText.MoveWindow(100, 155, 410, 51);
        const int markTops[6] = {61, 78, 95, 156, 173, 190};
        for (int i = 0; i < 6; ++i)
            m_marks[i].MoveWindow(70, markTops[i], 16, 16);
        m_blockedGroup.MoveWindow(10, 226, W - 22, 50);
        m_blockedText.MoveWindow(40, 246, 350, 30);
    } else {
        GridOf(m_view == VIEW_BLOCKED).MoveWindow(10, 35, W - 20, H - 45);
    }
    Invalidate(FALSE);
    return 0;
}

void CFirewallFrame::OnPaint()
{
    CPaintDC paintDC(this);
    const RECT painted = paintDC.m_ps.rcPaint;
    CMemoryDC dc(&paintDC);
    DrawTop(&dc);
    DrawClient(&dc);
    // The memory context holds only the painted area: a slider's copy is
    // taken from a painting that covers all of it.
    if (Contains(painted, INTERNET_SLIDER_RECT))
        m_internetSlider.SaveBackground(&dc, 30, 55, 70, 115);
    if (Contains(painted, TRUSTED_SLIDER_RECT))
        m_trustedSlider.SaveBackground(&dc, 30, 150, 70, 210);
}
