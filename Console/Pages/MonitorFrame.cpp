// The page as a whole: controls, pictures and texts, the tabs, the layout,
// the graphs and their totals, the tree's clicks and menus, the pause while
// the page is hidden, and the poller's events handed to CConnectionEvents.
#include "MonitorFrame.h"

#include "ConsoleMessages.h"
#include "ProcessEnd.h"

#include <CMenu.h>
#include <DataBase.h>
#include <DataExchange.h>
#include <Formatting.h>

#include <cstdlib>

namespace {

const char kOptions[] = "Options";

// The curves: received bytes green, sent bytes red.
const COLORREF kReceivedCurve = 0x74F574;
const COLORREF kSentCurve = 0xBCBCFF;

// The scales of the Flux menu's commands, in their order.
const int kScales[ID_FLUX_1280K - ID_FLUX_5K + 1] = {5120,   10240,  20480,  40960,  81920,
                                                     163840, 327680, 655360, 1310720};

const UINT kTrafficControls[] = {IDC_RECEIVED_GRAPH,      IDC_SENT_GRAPH,          IDC_RECEIVED_SCALE,
                                 IDC_SENT_SCALE,          IDC_RECEIVED_UNIT,       IDC_SENT_UNIT,
                                 IDC_RECEIVED_RATE_LABEL, IDC_SENT_RATE_LABEL,     IDC_RECEIVED_RATE,
                                 IDC_SENT_RATE,           IDC_RECEIVED_TOTAL_LABEL, IDC_SENT_TOTAL_LABEL,
                                 IDC_RECEIVED_TOTAL,      IDC_SENT_TOTAL};
const UINT kConnectionControls[] = {IDC_CONNECTION_TREE, IDC_PROTOCOL_FILTER, IDC_KILL_PROCESS};

bool ReadsAsOn(const CString &text)
{
    return atoi(text) != 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CMonitorFrame, CConsolePage)
    ON_WM_SIZE()
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_CBN_SELCHANGE(IDC_PROTOCOL_FILTER, OnProtocolFilter)
    ON_BN_CLICKED(IDC_MONITOR_FLUX_TAB, OnFluxTab)
    ON_BN_CLICKED(IDC_MONITOR_ONLINE_TAB, OnOnlineTab)
    ON_BN_CLICKED(IDC_RECEIVED_SCALE, OnInScale)
    ON_BN_CLICKED(IDC_SENT_SCALE, OnOutScale)
    ON_BN_CLICKED(IDC_KILL_PROCESS, OnKillProcess)
    ON_COMMAND(ID_MONITOR_KILL, OnKillProcess)
    ON_NOTIFY(NM_CLICK, IDC_CONNECTION_TREE, OnTreeClick)
    ON_NOTIFY(NM_RCLICK, IDC_CONNECTION_TREE, OnTreeRClick)
    ON_NOTIFY(TVN_DELETEITEMA, IDC_CONNECTION_TREE, OnTreeDeleteItem)
    ON_MESSAGE(WM_DEFERRED_LAYOUT, OnDeferredLayout)
    ON_MESSAGE(WM_SESSION_UPDATE, OnSessionUpdate)
    ON_MESSAGE(WM_TRAFFIC_DELTA, OnTrafficDelta)
    ON_MESSAGE(WM_FLUX_SAMPLE, OnFluxSample)
END_MESSAGE_MAP()

CMonitorFrame::CMonitorFrame(CWnd *pParent, const ConnectionSources &sources)
    : CConsolePage(IDD_MONITOR_PAGE, pParent, "SubTitle_Left_Monitor.bmp"),
      m_connections(m_tree, m_images, ::GetModuleHandleA(NULL)), m_events(sources, *this)
{
}

void CMonitorFrame::Bind(CDataBase *settings, CProgramLogs *logs, const CString &languagePath,
                         const CString &skinFolder)
{
    m_settings = settings;
    m_languagePath = languagePath;
    SetSkinFolder(skinFolder);
    m_events.SetLogStore(logs);
}

void CMonitorFrame::SetPeerPages(HWND programPage, HWND logPage)
{
    m_programPage = programPage;
    m_logPage = logPage;
    m_events.SetPeers({m_hWnd, m_programPage, m_logPage});
}

void CMonitorFrame::DoDataExchange(CDataExchange *pDX)
{
    CConsolePage::DoDataExchange(pDX);
    const struct { UINT id; CSkinLabel *label; } labels[] = {
        {IDC_SENT_TOTAL, &m_sentTotal},          {IDC_RECEIVED_TOTAL, &m_receivedTotal},
        {IDC_SENT_RATE, &m_sentRate},            {IDC_RECEIVED_RATE, &m_receivedRate},
        {IDC_SENT_UNIT, &m_sentUnit},            {IDC_RECEIVED_UNIT, &m_receivedUnit},
        {IDC_SENT_TOTAL_LABEL, &m_sentTotalLabel}, {IDC_RECEIVED_TOTAL_LABEL, &m_receivedTotalLabel},
        {IDC_SENT_RATE_LABEL, &m_sentRateLabel}, {IDC_RECEIVED_RATE_LABEL, &m_receivedRateLabel},
    };
    for (const auto &label : labels)
        DDX_Control(pDX, label.id, *label.label);
    DDX_Control(pDX, IDC_MONITOR_ONLINE_TAB, m_onlineButton);
    DDX_Control(pDX, IDC_MONITOR_FLUX_TAB, m_fluxButton);
    DDX_Control(pDX, IDC_RECEIVED_SCALE, m_inScaleButton);
    DDX_Control(pDX, IDC_SENT_SCALE, m_outScaleButton);
    DDX_Control(pDX, IDC_KILL_PROCESS, m_killButton);
    DDX_Control(pDX, IDC_CONNECTION_TREE, m_tree);
    DDX_Control(pDX, IDC_PROTOCOL_FILTER, m_filterCombo);
    DDX_Control(pDX, IDC_RECEIVED_GRAPH, m_receivedGraph);
    DDX_Control(pDX, IDC_SENT_GRAPH, m_sentGraph);
}

BOOL CMonitorFrame::OnInitDialog()
{
    CConsolePage::OnInitDialog();
    LoadSkin();
    m_texts.SetSource(m_languagePath, "FRAME_MONITOR", "APP", "APP_NAME");
    SetTexts();
    // Nothing is counted yet: the template's sample totals must not pass
    // for traffic.
    m_receivedTotal.SetWindowText(FormatByteCount64(0));
    m_sentTotal.SetWindowText(FormatByteCount64(0));
    m_connections.SetUpImages();
    m_filterCombo.SetCurSel(FILTER_ALL);
    m_events.SetPeers({m_hWnd, m_programPage, m_logPage});
    StartGraph(m_receivedGraph, kReceivedCurve, 0, "InMaxUint");
    StartGraph(m_sentGraph, kSentCurve, 1, "OutMaxUint");
    OnFluxTab();
    SetTimer(PRUNE_TIMER, PRUNE_PERIOD_MS);
    return TRUE;
}

// The title tab and the client come from the page's base.
void CMonitorFrame::LoadSkin()
{
    const CString folder = SkinFolder();
    m_fluxButton.SetBitmap(folder + "But_Mon_Flux.bmp", 4, FALSE);
    m_onlineButton.SetBitmap(folder + "But_Mon_Online.bmp", 4, FALSE);
    m_inScaleButton.SetBitmap(folder + "set_unit_in.bmp", 3, FALSE);
    m_outScaleButton.SetBitmap(folder + "set_unit_out.bmp", 3, FALSE);
    m_killButton.SetBitmap(folder + "But_Kill.bmp", 3, FALSE);
}

void CMonitorFrame::SetTexts()
{
    const struct { CSkinLabel *label; LPCTSTR key; } texts[] = {
        {&m_receivedUnit, "LB_UINT"},         {&m_sentUnit, "LB_UINT"},
        {&m_receivedRateLabel, "LB_CurrentIn"}, {&m_sentRateLabel, "LB_CurrentOut"},
        {&m_receivedTotalLabel, "LB_TotalIn"}, {&m_sentTotalLabel, "LB_TotalOut"},
    };
    for (const auto &text : texts)
        text.label->SetWindowText(m_texts.GetText(text.key));
    for (LPCTSTR key : {"Combox_ALL", "Combox_TCP", "Combox_UDP"})
        m_filterCombo.AddString(m_texts.GetText(key));
    m_rateSuffix = m_texts.GetText("LB_Speed_uint");
    m_connections.SetFormats(m_texts.GetText("INF_Listen"), m_texts.GetText("INF_Connect"));
}

void CMonitorFrame::StartGraph(CFluxGraph &graph, COLORREF curve, WPARAM which, LPCTSTR scaleKey)
{
    graph.m_crCurve = curve;
    graph.m_nNotifyMessage = WM_FLUX_SAMPLE;
    graph.m_nNotifyValue = which;
    graph.m_nScale = StoredScale(m_settings ? m_settings->GetString(scaleKey, kOptions) : CString());
    graph.Start();
}

int CMonitorFrame::StoredScale(const CString &text)
{
    const int scale = atoi(text);
    return scale > 0 ? scale : CFluxGraph::DEFAULT_SCALE;
}

UINT CMonitorFrame::ScaleCommand(int scale)
{
    for (UINT i = 0; i < sizeof kScales / sizeof kScales[0]; ++i) {
        if (kScales[i] == scale)
            return ID_FLUX_5K + i;
    }
    return ID_FLUX_5K;
}

// --- tabs ----------------------------------------------------------------------

void CMonitorFrame::OnFluxTab()
{
    m_currentTab = TAB_TRAFFIC;
    SelectTab(TAB_TRAFFIC);
    m_helpTopic = "::/monitor_flux.htm";
}

void CMonitorFrame::OnOnlineTab()
{
    m_currentTab = TAB_CONNECTIONS;
    SelectTab(TAB_CONNECTIONS);
    m_helpTopic = "::/monitor_online.htm";
}

void CMonitorFrame::SelectTab(int tab)
{
    PostMessage(WM_DEFERRED_LAYOUT);
    m_fluxButton.SetCheck(tab == TAB_TRAFFIC);
    m_onlineButton.SetCheck(tab == TAB_CONNECTIONS);
    for (UINT id : kTrafficControls)
        GetDlgItem(id)->ShowWindow(tab == TAB_TRAFFIC ? SW_SHOW : SW_HIDE);
    for (UINT id : kConnectionControls)
        GetDlgItem(id)->ShowWindow(tab == TAB_CONNECTIONS ? SW_SHOW : SW_HIDE);
    SetFocus();
}

// --- layout --------------------------------------------------------------------

void CMonitorFrame::OnSize(UINT nType, int cx, int cy)
{
    CConsolePage::OnSize(nType, cx, cy);
    if (IsWindowVisible())
        PostMessage(WM_DEFERRED_LAYOUT);
}

LRESULT CMonitorFrame::OnDeferredLayout(WPARAM, LPARAM)
{
    CRect client;
    GetClientRect(&client);
    const int W = client.Width(), H = client.Height();
    const int onlineWidth = m_onlineButton.m_nStateWidth, fluxWidth = m_fluxButton.m_nStateWidth;
    const int tabHeight = m_fluxButton.m_nStateHeight;
    m_onlineButton.MoveWindow(W - 5 - onlineWidth, 1, onlineWidth, tabHeight);
    m_fluxButton.MoveWindow(W - 5 - onlineWidth - fluxWidth, 1, fluxWidth, tabHeight);
    if (m_currentTab == TAB_TRAFFIC)
        LayOutTraffic(W, H);
    else
        LayOutConnections(W, H);
    Invalidate(FALSE);
    return 0;
}

// Each graph takes half of the height left by the bands, with its scale
// button and label row under it. A page too small for a graph gives it no
// size rather than a negative one.
void CMonitorFrame::LayOutTraffic(int W, int H)
{
    const int a = (H - 110) / 2;
    const int g = a - 5 > 0 ? a - 5 : 0;
    const int graphWidth = W - 40 > 0 ? W - 40 : 0;
    m_receivedGraph.MoveWindow(20, 40, graphWidth, g);
    m_sentGraph.MoveWindow(20, a + 75, graphWidth, g);
    struct Row {
        CSkinButton &button;
        int y;
        CSkinLabel *labels[5];
    } const rows[] = {
        {m_inScaleButton, a + 40, {&m_receivedUnit, &m_receivedRateLabel, &m_receivedRate, &m_receivedTotalLabel, &m_receivedTotal}},
        {m_outScaleButton, 2 * a + 75, {&m_sentUnit, &m_sentRateLabel, &m_sentRate, &m_sentTotalLabel, &m_sentTotal}},
    };
    for (const Row &row : rows) {
        const int w = row.button.m_nStateWidth, h = row.button.m_nStateHeight;
        row.button.MoveWindow(20, row.y, w, h);
        const int labelTop = row.y + 3, labelHeight = h - 3;
        row.labels[0]->MoveWindow(w + 25, labelTop, 100, labelHeight);
        // The rate takes 25 pixels of its caption's room, so that a rate of
        // four figures and three decimals ("1,023.999 K/s") still fits.
        row.labels[1]->MoveWindow(W - 368, labelTop, 70, labelHeight);
        row.labels[2]->MoveWindow(W - 298, labelTop, 90, labelHeight);
        row.labels[3]->MoveWindow(W - 188, labelTop, 80, labelHeight);
        row.labels[4]->MoveWindow(W - 108, labelTop, 80, labelHeight);
    }
}

void CMonitorFrame::LayOutConnections(int W, int H)
{
    const int killWidth = m_killButton.m_nStateWidth;
    m_killButton.MoveWindow(W - 10 - killWidth, 35, killWidth, m_killButton.m_nStateHeight);
    m_filterCombo.MoveWindow(W - 10 - killWidth - 125, 35, 120, 20);
    m_tree.MoveWindow(10, 65, W - 20, H - 75);
}

// --- the graphs, rates and totals ------------------------------------------------

void CMonitorFrame::OnInScale()
{
    ShowScaleMenu(m_receivedGraph);
}

void CMonitorFrame::OnOutScale()
{
    ShowScaleMenu(m_sentGraph);
}

// The graph owns the menu, so the chosen scale goes straight to it.
void CMonitorFrame::ShowScaleMenu(CFluxGraph &graph)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return;
    CMenu *flux = menu.GetSubMenu(CONTEXT_MENU_FLUX);
    if (!flux)
        return;
    flux->CheckMenuItem(ScaleCommand(graph.m_nScale), MF_BYCOMMAND | MF_CHECKED);
    POINT cursor;
    ::GetCursorPos(&cursor);
    flux->TrackPopupMenu(0, cursor.x, cursor.y, &graph);
}

LRESULT CMonitorFrame::OnTrafficDelta(WPARAM wParam, LPARAM lParam)
{
    const DWORD bytes = static_cast<DWORD>(lParam);
    if (wParam) {
        m_sentGraph.AddBytes(bytes);
        m_totalSent += bytes;
        SetLabel(m_sentTotal, FormatByteCount64(m_totalSent));
    } else {
        m_receivedGraph.AddBytes(bytes);
        m_totalReceived += bytes;
        SetLabel(m_receivedTotal, FormatByteCount64(m_totalReceived));
    }
    return 0;
}

LRESULT CMonitorFrame::OnFluxSample(WPARAM wParam, LPARAM lParam)
{
    const CString rate = FormatByteCount(static_cast<DWORD>(lParam)) + m_rateSuffix;
    SetLabel(wParam ? m_sentRate : m_receivedRate, rate);
    return 0;
}

// The labels draw over the page, so the page paints under the new text.
void CMonitorFrame::SetLabel(CSkinLabel &label, const CString &text)
{
    label.SetWindowText(text);
    CRect place;
    label.GetWindowRect(&place);
    ScreenToClient(&place);
    InvalidateRect(&place, FALSE);
}

// --- the tree ------------------------------------------------------------------

void CMonitorFrame::OnProtocolFilter()
{
    m_events.SetFilter(m_filterCombo.GetCurSel());
    m_connections.Clear();
}

HTREEITEM CMonitorFrame::RememberNodeAtCursor()
{
    POINT cursor;
    ::GetCursorPos(&cursor);
    m_tree.ScreenToClient(&cursor);
    HTREEITEM node = m_tree.HitTest(cursor);
    if (node) {
        m_rememberedNode = node;
        m_tree.SelectItem(node);
    }
    return node;
}

void CMonitorFrame::OnTreeClick(NMHDR *, LRESULT *pResult)
{
    RememberNodeAtCursor();
    *pResult = 0;
}

void CMonitorFrame::OnTreeRClick(NMHDR *, LRESULT *pResult)
{
    *pResult = 0;
    if (!RememberNodeAtCursor())
        return;
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return;
    CMenu *monitor = menu.GetSubMenu(CONTEXT_MENU_MONITOR);
    if (!monitor)
        return;
    monitor->ModifyMenu(ID_MONITOR_KILL, MF_BYCOMMAND | MF_STRING, ID_MONITOR_KILL, m_texts.GetText("MU_KILL"));
    POINT cursor;
    ::GetCursorPos(&cursor);
    monitor->TrackPopupMenu(0, cursor.x, cursor.y, this);
}

// Handles of deleted nodes may be given to new ones: a deleted node is
// forgotten at once.
void CMonitorFrame::OnTreeDeleteItem(NMHDR *pNotify, LRESULT *pResult)
{
    const HTREEITEM item = reinterpret_cast<NMTREEVIEWA *>(pNotify)->itemOld.hItem;
    if (item == m_rememberedNode)
        m_rememberedNode = NULL;
    m_connections.ForgetNode(item);
    *pResult = 0;
}

void CMonitorFrame::OnKillProcess()
{
    const HTREEITEM process = m_connections.ProcessNodeOf(m_rememberedNode);
    if (!process)
        return;
    ConfirmAndEndProcess(this, m_texts, m_tree.GetItemData(process), m_connections.ProgramOf(process));
}

void CMonitorFrame::ShowConnection(const SessionRecord &record)
{
    m_connections.ShowConnection(record);
}

void CMonitorFrame::RemoveConnection(const SessionRecord &record)
{
    m_connections.RemoveConnection(record);
}

// Both options are read at every alert, so a change on the options page
// takes effect at once.
void CMonitorFrame::RaiseAlert(const SessionRecord &record)
{
    RefusalOptions options = {false, false};
    if (m_settings) {
        options.Window = ReadsAsOn(m_settings->GetString("EnableWndAlert", kOptions));
        options.Sound = ReadsAsOn(m_settings->GetString("EnableSoundAlert", kOptions));
    }
    m_refusals.Announce(this, record, SkinFolder(), options);
}

// --- events, the pause and the end -----------------------------------------------

LRESULT CMonitorFrame::OnSessionUpdate(WPARAM wParam, LPARAM lParam)
{
    m_events.HandlePosted(m_hWnd, wParam, lParam);
    return 0;
}

// While the page is hidden the tree rests for a while, then follows again.
void CMonitorFrame::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CConsolePage::OnShowWindow(bShow, nStatus);
    if (bShow) {
        if (m_pauseTimer)
            StopPause();
    } else if (!m_pauseTimer) {
        m_events.SetTreeFollows(false);
        m_pauseTimer = SetTimer(PAUSE_TIMER, PAUSE_DELAY_MS);
    }
}

void CMonitorFrame::StopPause()
{
    KillTimer(PAUSE_TIMER);
    m_pauseTimer = 0;
    m_events.SetTreeFollows(true);
}

void CMonitorFrame::OnTimer(UINT nIDEvent)
{
    if (nIDEvent == PAUSE_TIMER)
        StopPause();
    else if (nIDEvent == PRUNE_TIMER)
        m_connections.RemoveEndedProcesses();
}

void CMonitorFrame::OnDestroy()
{
    // Finished connections whose burst has not ended yet are still logged:
    // their records would otherwise stay taken and unlogged.
    m_events.EndBurst();
    m_receivedGraph.Stop();
    m_sentGraph.Stop();
    if (m_settings) {
        m_settings->SetInMaxUint(static_cast<UINT>(m_receivedGraph.m_nScale));
        m_settings->SetOutMaxUint(static_cast<UINT>(m_sentGraph.m_nScale));
    }
    CConsolePage::OnDestroy();
}
