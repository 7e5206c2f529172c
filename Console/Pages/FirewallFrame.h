// CFirewallFrame: the firewall page. Three views, switched by the buttons
// at its top right: General (the security levels of the Internet and the
// trusted zone, each a three-position slider with a text), Trusted and
// Blocked (a grid of the zone's entries). A right-click on a grid offers the
// Zone menu; adding and editing open the zone editor; every change goes
// through the rule publisher, which writes Firewall.dat and patches the
// rule image at once.
#pragma once

#include "ConsolePage.h"
#include "ConsoleResources.h"
#include "GridList.h"
#include "SkinButton.h"
#include "SkinLabel.h"
#include "SkinSlider.h"

#include <LanguageText.h>
#include <ZoneRecord.h>

class CFirewallFrame : public CConsolePage
{
public:
    enum View { VIEW_GENERAL = 0, VIEW_TRUSTED = 1, VIEW_BLOCKED = 2 };

    explicit CFirewallFrame(CWnd *pParent = NULL);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;

    int CurrentView() const { return m_view; }
    int SelectedRow() const { return m_selectedRow; }
    CGridList &TrustedGrid() { return m_trustedGrid; }
    CGridList &BlockedGrid() { return m_blockedGrid; }

    // The row texts of an entry: its name, its address text and its type
    // text; the last two are empty for an unknown type.
    static void ZoneRowTexts(const ZoneRecord &zone, const CLanguageText &texts, CString out[3]);

protected:
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnInternetLevelReleased(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnTrustedLevelReleased(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnGeneralView();
    afx_msg void OnTrustedView();
    afx_msg void OnBlockedView();
    afx_msg void OnAddHost();
    afx_msg void OnAddAddress();
    afx_msg void OnAddRange();
    afx_msg void OnAddSubnet();
    afx_msg void ModifyZone();
    afx_msg void DeleteZone();
    afx_msg void OnGridRightClick(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnGridDoubleClick(NMHDR *pNotify, LRESULT *pResult);
    afx_msg LRESULT OnDeferredLayout(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void LoadSkin();
    void LoadTexts();
    void ShowView(int view, LPCTSTR helpTopic);
    void SelectView(int view);
    void FillList(BOOL blocked);
    void SetZoneRow(CGridList &grid, int row, const ZoneRecord &zone);
    void AddZone(BYTE type);
    // The list the zone commands work on: the trusted one only while the
    // Trusted view is shown.
    BOOL CommandsOnBlockedList() const { return m_view != VIEW_TRUSTED; }
    CGridList &GridOf(BOOL blocked) { return blocked ? m_blockedGrid : m_trustedGrid; }
    // After a refused change the grid shows what the store holds.
    void RefillShownList();
    // Both sliders: level = |2 - position|, so the top is the highest level.
    void SetLevelFromStore(CSkinSlider &slider, LPCTSTR key);
    BYTE LevelOf(const CSkinSlider &slider) const;
    CString LevelText(LPCTSTR prefix, BYTE level) const;
    void StoreLevel(CSkinSlider &slider, BOOL internet);

    CLanguageText m_texts;
    int m_view = VIEW_GENERAL;
    int m_selectedRow = -1;
    CSkinLabel m_marks[6];
    CSkinLabel m_trustedText;
    CSkinLabel m_internetText;
    CSkinLabel m_blockedText;
    CSkinButton m_blockedButton;
    CSkinButton m_trustedButton;
    CSkinButton m_generalButton;
    CGridList m_trustedGrid;
    CGridList m_blockedGrid;
    CSkinLabel m_trustedGroup;
    CSkinLabel m_internetGroup;
    CSkinLabel m_blockedGroup;
    CSkinSlider m_internetSlider;
    CSkinSlider m_trustedSlider;
};
