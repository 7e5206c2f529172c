// Dialogs made from templates: handler values are the window's results,
// controls are bound once, and the creation hook takes only the dialog.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "FoundationUi.h"
#include "RealInput.h"
#include "TestScreens.h"
#include "GuiPump.h"
#include "UiTestIds.h"

namespace
{
std::string g_log;

// Counts its attachments.
class CCountedStatic : public CWnd
{
public:
    int m_nPreSubclass = 0;
    BOOL m_bAddNotify = FALSE;
    HBRUSH m_hBrush = NULL;

protected:
    void PreSubclassWindow() override
    {
        ++m_nPreSubclass;
        if (m_bAddNotify)
            ModifyStyle(0, SS_NOTIFY);
    }
    afx_msg HBRUSH CtlColor(CDC *pDC, UINT)
    {
        if (m_hBrush != NULL)
            pDC->SetBkMode(TRANSPARENT);
        return m_hBrush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountedStatic, CWnd)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CPage : public CDialog
{
public:
    CPage() : CDialog(IDD_PAGE) {}

    CCountedStatic m_label;
    int m_nLabelClicks = 0;
    std::string m_stages;

    void OnOK() override {}
    void OnCancel() override {}

protected:
    void DoDataExchange(CDataExchange *pDX) override { DDX_Control(pDX, IDC_LABEL, m_label); }
    afx_msg void OnLabelClicked() { ++m_nLabelClicks; }
    afx_msg void OnSliderDraw(NMHDR *pNMHDR, LRESULT *pResult)
    {
        const NMCUSTOMDRAW *pDraw = reinterpret_cast<const NMCUSTOMDRAW *>(pNMHDR);
        if (pDraw->dwDrawStage == CDDS_PREPAINT)
        {
            m_stages += "pre;";
            *pResult = CDRF_NOTIFYITEMDRAW;
        }
        else if (pDraw->dwDrawStage == CDDS_ITEMPREPAINT)
        {
            m_stages += "item;";
            *pResult = CDRF_DODEFAULT;
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPage, CDialog)
    ON_STN_CLICKED(IDC_LABEL, OnLabelClicked)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_SLIDER, OnSliderDraw)
END_MESSAGE_MAP()

class CMainDialog : public CDialog
{
public:
    CMainDialog() : CDialog(IDD_MAIN) {}
    CPage m_page;

    void OnOK() override {}
    void OnCancel() override {}

protected:
    afx_msg int OnCreate(LPCREATESTRUCT)
    {
        g_log += "create;";
        return 0;
    }
    BOOL OnInitDialog() override
    {
        g_log += "init;";
        CDialog::OnInitDialog();
        m_page.Create(IDD_PAGE, this);
        return TRUE;
    }
    afx_msg UINT OnNcHitTest(CPoint) { return HTCAPTION; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMainDialog, CDialog)
    ON_WM_CREATE()
    ON_WM_NCHITTEST()
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        ASSERT_TRUE(m_main.Create(IDD_MAIN));
        m_main.SetWindowPos(NULL, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    void TearDown() override
    {
        m_main.DestroyWindow();
        AfxDeleteTempObjects();
    }
    void Show()
    {
        m_main.ShowWindow(SW_SHOW);
        m_main.SetForegroundWindow();
        PumpFor(0);
    }

    CMainDialog m_main;
};

TEST_F(DialogTest, OnCreateRunsBeforeOnInitDialog)
{
    EXPECT_EQ("create;init;", g_log);
}

TEST_F(DialogTest, HitTestSentFromOutsideReturnsTheHandlersValue)
{
    EXPECT_EQ(HTCAPTION, ::SendMessageA(m_main.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(5, 5)));
}

TEST_F(DialogTest, CustomDrawHandlerReceivesTheItemStagesItAskedFor)
{
    Show();
    m_main.m_page.m_stages.clear();
    m_main.m_page.GetDlgItem(IDC_SLIDER)->RedrawWindow();
    EXPECT_EQ(0u, m_main.m_page.m_stages.find("pre;item;"));
}

TEST_F(DialogTest, CtlColorOfAStaticIsTheControlsReflectedBrush)
{
    CBrush red(RGB(255, 0, 0));
    m_main.m_page.m_label.m_hBrush = static_cast<HBRUSH>(red.m_hObject);
    HDC hDC = ::GetDC(m_main.m_page.m_label.m_hWnd);
    EXPECT_EQ(reinterpret_cast<LRESULT>(red.m_hObject),
              m_main.m_page.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                        reinterpret_cast<LPARAM>(m_main.m_page.m_label.m_hWnd)));
    ::ReleaseDC(m_main.m_page.m_label.m_hWnd, hDC);

    // The static's own painting asks its parent, and paints with the brush.
    Show();
    m_main.m_page.m_label.RedrawWindow();
    SaveTestScreen(m_main.m_hWnd, "page_with_red_label");
    CRect rc;
    m_main.m_page.m_label.GetClientRect(&rc);
    hDC = ::GetDC(m_main.m_page.m_label.m_hWnd);
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(hDC, rc.right - 2, rc.bottom - 2));
    ::ReleaseDC(m_main.m_page.m_label.m_hWnd, hDC);
    m_main.m_page.m_label.m_hBrush = NULL;
}

TEST_F(DialogTest, TheHookTakesTheDialogAndLeavesTheTemplatesControls)
{
    char szClass[16];
    ::GetClassNameA(m_main.m_hWnd, szClass, sizeof szClass);
    EXPECT_STREQ("#32770", szClass);
    EXPECT_EQ(&m_main, CWnd::FromHandlePermanent(m_main.m_hWnd));
    EXPECT_EQ(&m_main.m_page, CWnd::FromHandlePermanent(m_main.m_page.m_hWnd));
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(::GetDlgItem(m_main.m_hWnd, ID_HELP)));
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(::GetDlgItem(m_main.m_page.m_hWnd, IDC_TEXT)));
    // The bound control is the one GetDlgItem gives.
    EXPECT_EQ(&m_main.m_page.m_label, m_main.m_page.GetDlgItem(IDC_LABEL));
}

TEST_F(DialogTest, BoundControlIsSubclassedOnceHoweverOftenDataIsExchanged)
{
    EXPECT_EQ(1, m_main.m_page.m_label.m_nPreSubclass);
    EXPECT_TRUE(m_main.m_page.UpdateData(FALSE));
    EXPECT_TRUE(m_main.m_page.UpdateData(TRUE));
    EXPECT_TRUE(m_main.m_page.UpdateData(FALSE));
    EXPECT_EQ(1, m_main.m_page.m_label.m_nPreSubclass);
}

TEST_F(DialogTest, SubclassDlgItemRunsPreSubclassOnceAndASecondSubclassIsRefused)
{
    CCountedStatic text;
    ASSERT_TRUE(text.SubclassDlgItem(IDC_TEXT, &m_main.m_page));
    EXPECT_EQ(1, text.m_nPreSubclass);

    CCountedStatic again;
    EXPECT_FALSE(again.SubclassDlgItem(IDC_TEXT, &m_main.m_page));
    EXPECT_EQ(0, again.m_nPreSubclass);
    EXPECT_FALSE(text.SubclassWindow(::GetDlgItem(m_main.m_page.m_hWnd, IDC_NUMBER)));
    EXPECT_FALSE(again.SubclassWindow(NULL));
    EXPECT_FALSE(again.SubclassDlgItem(IDD_MISSING, &m_main.m_page));
    EXPECT_EQ(&text, CWnd::FromHandlePermanent(::GetDlgItem(m_main.m_page.m_hWnd, IDC_TEXT)));
    text.UnsubclassWindow();
}

TEST_F(DialogTest, SubclassingAWindowThatHasATemporaryWorks)
{
    CWnd *pTemporary = m_main.m_page.GetDlgItem(IDC_NUMBER);
    CCountedStatic number;
    ASSERT_TRUE(number.SubclassWindow(pTemporary->m_hWnd));
    EXPECT_EQ(&number, m_main.m_page.GetDlgItem(IDC_NUMBER));
    number.UnsubclassWindow();
}

TEST_F(DialogTest, NotifyStyleAddedBeforeSubclassingMakesClicksArrive)
{
    Show();
    CCountedStatic check;
    check.m_bAddNotify = TRUE;
    // The check box of the template has SS_NOTIFY already; the label has none.
    HWND hLabel = m_main.m_page.m_label.m_hWnd;
    m_main.m_page.m_label.UnsubclassWindow();
    ASSERT_TRUE(check.SubclassWindow(hLabel));
    EXPECT_TRUE(check.GetStyle() & SS_NOTIFY);
    SaveTestScreen(m_main.m_hWnd, "page_in_main_dialog");
    ClickControl(hLabel);
    EXPECT_TRUE(PumpUntil([&] { return m_main.m_page.m_nLabelClicks == 1; }));
}

// Paints itself red through the parent's WM_DRAWITEM, handed back to it.
class CRedButton : public CButton
{
public:
    int m_nDraws = 0;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        ++m_nDraws;
        ::SetBkColor(lpDrawItemStruct->hDC, RGB(255, 0, 0));
        ::ExtTextOutA(lpDrawItemStruct->hDC, 0, 0, ETO_OPAQUE, &lpDrawItemStruct->rcItem, NULL, 0, NULL);
    }
};

TEST_F(DialogTest, AnOwnerDrawnButtonDrawsItselfThroughItsParent)
{
    CRedButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_OWNERDRAW, &m_main.m_page));
    Show();
    button.RedrawWindow();
    EXPECT_GT(button.m_nDraws, 0);
    SaveTestScreen(m_main.m_hWnd, "owner_drawn_button_red");
    CRect rc;
    button.GetClientRect(&rc);
    HDC hDC = ::GetDC(button.m_hWnd);
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(hDC, rc.right / 2, rc.bottom / 2));
    ::ReleaseDC(button.m_hWnd, hDC);
    button.UnsubclassWindow();
}

TEST(CreateEx, PreSubclassRunsOnceBeforeTheFirstMessage)
{
    class CFirstMessage : public CWnd
    {
    public:
        std::string m_log;

    protected:
        void PreSubclassWindow() override { m_log += "presubclass;"; }
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_NCCREATE)
                m_log += "nccreate;";
            return CWnd::WindowProc(message, wParam, lParam);
        }
    };
    CFirstMessage wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "first", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_EQ("presubclass;nccreate;", wnd.m_log);
}

// Wine may create the thread's IME window inside its first top-level window.
TEST(CreateEx, TheFirstWindowOfAThreadIsTakenNotTheImeWindow)
{
    std::string strClass;
    BOOL bCreated = FALSE;
    std::thread([&] {
        CWnd wnd;
        bCreated = wnd.CreateEx(0, AfxRegisterWndClass(0), "first", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, NULL, NULL);
        char szClass[64] = "";
        ::GetClassNameA(wnd.m_hWnd, szClass, sizeof szClass);
        strClass = szClass;
        wnd.DestroyWindow();
    }).join();
    EXPECT_TRUE(bCreated);
    EXPECT_EQ(0u, strClass.find("Afx:"));
}

TEST(SetWindowPos, TheInsertionPlacesAreTheSystemsOwn)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "placed", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    const UINT nFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    EXPECT_TRUE(wnd.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, nFlags));
    EXPECT_TRUE(wnd.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_TRUE(wnd.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, nFlags));
    EXPECT_FALSE(wnd.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_TRUE(wnd.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, nFlags));
    EXPECT_TRUE(wnd.SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, nFlags));
    wnd.DestroyWindow();
}

TEST(DialogCreate, AMissingTemplateFailsBothWays)
{
    CDialog modeless(IDD_MISSING);
    EXPECT_FALSE(modeless.Create(IDD_MISSING));
    EXPECT_EQ(NULL, modeless.m_hWnd);
    CDialog modal(IDD_MISSING);
    EXPECT_EQ(-1, modal.DoModal());
}

class CRefusingDialog : public CDialog
{
public:
    CRefusingDialog() : CDialog(IDD_POPUP) {}

protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRefusingDialog, CDialog)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(DialogCreate, ARefusedCreationFailsAndLeavesTheObjectDeletable)
{
    CRefusingDialog *pDialog = new CRefusingDialog;
    EXPECT_FALSE(pDialog->Create(IDD_POPUP));
    EXPECT_EQ(NULL, pDialog->m_hWnd);
    delete pDialog;
}

TEST(DialogCreate, AChildParentMakesItsTopLevelWindowTheOwner)
{
    CMainDialog main;
    ASSERT_TRUE(main.Create(IDD_MAIN));
    CDialog popup(IDD_POPUP);
    ASSERT_TRUE(popup.Create(IDD_POPUP, &main.m_page));
    EXPECT_EQ(main.m_hWnd, ::GetWindow(popup.m_hWnd, GW_OWNER));
    EXPECT_EQ(popup.m_nIDHelp, static_cast<UINT>(IDD_POPUP));
    popup.DestroyWindow();
    main.DestroyWindow();
}
} // namespace
