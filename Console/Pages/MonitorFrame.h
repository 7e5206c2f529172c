// CMonitorFrame: the traffic monitor page of the main window. Two tabs,
// chosen by the buttons at its top right:
//   0 Traffic      two live graphs, bytes received and bytes sent a second,
//                  each with its scale menu, its current rate and its total;
//   1 Connections  the open connections as a tree by process and protocol,
//                  a protocol filter and a button that ends the process of
//                  the chosen node.
// The page is also where the poller's connection events end up: it counts
// them, keeps the tree current, logs every finished connection, announces
// the ones a rule refused and frees their records (CConnectionEvents).
#pragma once

#include "ConnectionEvents.h"
#include "ConnectionTree.h"
#include "ConsolePage.h"
#include "MonitorPageIds.h"
#include "RefusalAlert.h"

#include <CComboBox.h>
#include <CImageList.h>
#include <FluxGraph.h>
#include <ItemTree.h>
#include <LanguageText.h>
#include <SkinButton.h>
#include <SkinLabel.h>

class CDataBase;
class CProgramLogs;

class CMonitorFrame : public CConsolePage, private IConnectionView
{
public:
    enum Tab { TAB_TRAFFIC = 0, TAB_CONNECTIONS = 1 };
    enum {
        PAUSE_TIMER = 3001,
        PAUSE_DELAY_MS = 6000,
        PRUNE_TIMER = 3002,
        PRUNE_PERIOD_MS = 5000,
    };

    // sources: where the posted indexes point (the poller's tables in the
    // console).
    CMonitorFrame(CWnd *pParent, const ConnectionSources &sources);

    // What the page works on, set before it is created: the settings store
    // (scales and alert options), the connection log, the Language.ini file
    // and the skin folder (with its trailing backslash).
    void Bind(CDataBase *settings, CProgramLogs *logs, const CString &languagePath,
              const CString &skinFolder);
    // The pages that hear of active programs and of packet events; either
    // may be NULL. Before or after the page is created.
    void SetPeerPages(HWND programPage, HWND logPage);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;

    int CurrentTab() const { return m_currentTab; }
    BOOL TreeFollows() const { return m_events.TreeFollows(); }
    BOOL IsPauseTimerRunning() const { return m_pauseTimer != 0; }
    HTREEITEM RememberedNode() const { return m_rememberedNode; }
    ULONGLONG TotalReceived() const { return m_totalReceived; }
    ULONGLONG TotalSent() const { return m_totalSent; }
    CItemTree &Tree() { return m_tree; }
    CConnectionTree &Connections() { return m_connections; }
    CConnectionEvents &Events() { return m_events; }
    CFluxGraph &ReceivedGraph() { return m_receivedGraph; }
    CFluxGraph &SentGraph() { return m_sentGraph; }
    const CRefusalAnnouncer &Refusals() const { return m_refusals; }

    void SelectTab(int tab);

    // The scale command the graph's menu checks for a scale.
    static UINT ScaleCommand(int scale);
    // A stored scale; missing or not above 0 gives the graphs' default.
    static int StoredScale(const CString &text);

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg LRESULT OnDeferredLayout(WPARAM wParam, LPARAM lParam);
    afx_msg void OnProtocolFilter();
    afx_msg void OnFluxTab();
    afx_msg void OnOnlineTab();
    afx_msg void OnInScale();
    afx_msg void OnOutScale();
    afx_msg void OnKillProcess();
    afx_msg void OnTreeClick(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnTreeRClick(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnTreeDeleteItem(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnTimer(UINT nIDEvent);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnSessionUpdate(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTrafficDelta(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFluxSample(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // IConnectionView
    void ShowConnection(const SessionRecord &record) override;
    void RemoveConnection(const SessionRecord &record) override;
    void RaiseAlert(const SessionRecord &record) override;

    void LoadSkin();
    void SetTexts();
    void StartGraph(CFluxGraph &graph, COLORREF curve, WPARAM which, LPCTSTR scaleKey);
    void LayOutTraffic(int W, int H);
    void LayOutConnections(int W, int H);
    void ShowScaleMenu(CFluxGraph &graph);
    // The node under the cursor becomes the remembered and selected one.
    HTREEITEM RememberNodeAtCursor();
    void SetLabel(CSkinLabel &label, const CString &text);
    void StopPause();

    CDataBase *m_settings = nullptr;
    HWND m_programPage = NULL;
    HWND m_logPage = NULL;
    CString m_languagePath;

    CLanguageText m_texts;
    CImageList m_images;
    int m_currentTab = TAB_TRAFFIC;
    HTREEITEM m_rememberedNode = NULL;
    UINT_PTR m_pauseTimer = 0;
    CString m_rateSuffix;
    ULONGLONG m_totalReceived = 0;
    ULONGLONG m_totalSent = 0;

    CSkinLabel m_sentTotal;
    CSkinLabel m_receivedTotal;
    CSkinLabel m_sentRate;
    CSkinLabel m_receivedRate;
    CSkinLabel m_sentUnit;
    CSkinLabel m_receivedUnit;
    CSkinLabel m_sentTotalLabel;
    CSkinLabel m_receivedTotalLabel;
    CSkinLabel m_sentRateLabel;
    CSkinLabel m_receivedRateLabel;
    CSkinButton m_onlineButton;
    CSkinButton m_fluxButton;
    CSkinButton m_inScaleButton;
    CSkinButton m_outScaleButton;
    CSkinButton m_killButton;
    CItemTree m_tree;
    CComboBox m_filterCombo;
    CFluxGraph m_receivedGraph;
    CFluxGraph m_sentGraph;

    CConnectionTree m_connections;
    CConnectionEvents m_events;
    CRefusalAnnouncer m_refusals;
};
