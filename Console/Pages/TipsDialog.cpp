#include "TipsDialog.h"

#include "ConsoleMessages.h"
#include "OptionsResources.h"

#include <SkinPalette.h>
#include <CPaintDC.h>
#include <DataExchange.h>
#include <MemoryDC.h>

#include <cstdlib>

BEGIN_MESSAGE_MAP(CTipsDialog, CSkinDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_DEFERRED_LAYOUT, OnDeferredLayout)
    ON_BN_CLICKED(IDC_TIPS_NEXT, OnNext)
    ON_BN_CLICKED(IDC_TIPS_CROSS, OnCancel)
    ON_STN_CLICKED(IDC_TIPS_SHOW_AT_START, OnShowAtStart)
END_MESSAGE_MAP()

CTipsDialog::CTipsDialog(CWnd *pParent, CDataBase &settings, const CString &languageFile,
                         const CString &skinFolder)
    : CSkinDialog(IDD_TIPS, pParent, NULL), m_settings(settings), m_languageFile(languageFile),
      m_skinFolder(skinFolder)
{
}

BOOL CTipsDialog::CreateAndShow()
{
    if (!Create(IDD_TIPS, m_pParentWnd))
        return FALSE;
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CTipsDialog::DoDataExchange(CDataExchange *pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TIPS_TITLE, m_title);
    DDX_Control(pDX, IDC_TIPS_SHOW_AT_START, m_showAtStart);
    DDX_Control(pDX, IDC_TIPS_TEXT, m_tipText);
    DDX_Control(pDX, IDC_TIPS_HEADING, m_heading);
    DDX_Control(pDX, IDCANCEL, m_close);
    DDX_Control(pDX, IDC_TIPS_NEXT, m_next);
    DDX_Control(pDX, IDC_TIPS_CROSS, m_cross);
}

BOOL CTipsDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_bCaptionDrag = TRUE;
    m_bResize = FALSE;
    LoadSkin();
    m_texts.SetSource(m_languageFile, "DLG_TIPS", "APP", "APP_NAME");
    m_title.SetLabelFont("Arial", -14, FW_BOLD, FALSE, FALSE, FALSE);
    m_title.SetTextColor(SkinPalette::BandTitleText);
    m_heading.SetLabelFont("Arial", -14, FW_BOLD, FALSE, FALSE, FALSE);
    m_heading.SetTextColor(0xEC1C1C);
    LoadTips();
    PostMessage(WM_DEFERRED_LAYOUT, 0, 0);
    m_showAtStart.m_nMode = 0;
    m_showAtStart.m_bChecked = atoi(m_settings.GetString("EnableShowTips", "Options")) != 0;

    CWnd *pParent = m_pParentWnd;
    if (pParent && pParent->IsWindowVisible()) {
        CenterWindow(pParent);
    } else {
        RECT work, window;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(&window);
        const int width = window.right - window.left, height = window.bottom - window.top;
        SetWindowPos(NULL, work.left + (work.right - work.left - width) / 2,
                     work.top + (work.bottom - work.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

void CTipsDialog::LoadSkin()
{
    struct Piece { CSkinBitmap *bitmap; const char *file; };
    const Piece pieces[] = {
        {&m_titleLeft, "Title2_Left.bmp"},
        {&m_titleMiddle, "Title_Mid.bmp"},
        {&m_titleRight, "Title_Right.bmp"},
        {&m_bottomLeft, "AdvOptDlg_Bottom_Left.bmp"},
        {&m_bottomMiddle, "AdvOptDlg_Bottom_Mid.bmp"},
        {&m_bottomRight, "AdvOptDlg_Bottom_Right.bmp"},
        {&m_leftBorder, "Left.bmp"},
        {&m_rightBorder, "Right.bmp"},
        {&m_clientTopLeft, "TipsDlg_ClientTop_Left.bmp"},
        {&m_clientTopMiddle, "TipsDlg_ClientTop_Mid.bmp"},
        {&m_clientTopRight, "TipsDlg_ClientTop_Right.bmp"},
        {&m_clientBottomLeft, "AdvOptDlg_ClientBottom_Left.bmp"},
        {&m_clientBottomMiddle, "AdvOptDlg_ClientBottom_Mid.bmp"},
        {&m_clientBottomRight, "AdvOptDlg_ClientBottom_Right.bmp"},
        {&m_clientLeft, "AdvOptDlg_ClientLeft.bmp"},
        {&m_clientRight, "AdvOptDlg_ClientRight.bmp"},
        {&m_clientFill, "SubFram.bmp"},
    };
    for (const Piece &piece : pieces)
        piece.bitmap->Load(m_skinFolder + piece.file);
    m_cross.SetBitmap(m_skinFolder + "Close.bmp", 3, FALSE);
    m_close.SetBitmap(m_skinFolder + "But_close.bmp", 3, FALSE);
    m_next.SetBitmap(m_skinFolder + "But_next.bmp", 3, FALSE);
}

void CTipsDialog::LoadTips()
{
    m_title.SetWindowText(m_texts.GetText("L_Title"));
    m_heading.SetWindowText(m_texts.GetText("L_Title2"));
    int count = atoi(m_texts.GetText("Tips_Count"));
    if (count > MaxTips)
        count = MaxTips;
    for (int i = 0; i < count; ++i) {
        CString key;
        key.Format("Tips_%d", i);
        m_tips.Add(m_texts.GetText(key));
    }
    // Unsigned: a stored "-1" is far past the end and starts again at 0.
    m_nextIndex = static_cast<UINT>(atoi(m_settings.GetString("TipIndex", "Options")));
    if (m_nextIndex >= static_cast<UINT>(m_tips.GetSize()))
        m_nextIndex = 0;
    ShowNextTip();
}

void CTipsDialog::ShowNextTip()
{
    if (m_tips.GetSize() == 0)
        return;   // an empty tip, and the index stays 0
    if (m_nextIndex >= static_cast<UINT>(m_tips.GetSize()))
        m_nextIndex = 0;
    m_tipText.SetWindowText(m_tips[static_cast<int>(m_nextIndex)]);
    ++m_nextIndex;
}

CString CTipsDialog::CurrentTip() const
{
    CString text;
    m_tipText.GetWindowText(text);
    return text;
}

void CTipsDialog::OnNext()
{
    ShowNextTip();
    CRect rect;
    m_tipText.GetWindowRect(&rect);
    ScreenToClient(&rect);
    InvalidateRect(&rect, FALSE);
}

void CTipsDialog::OnShowAtStart()
{
    m_settings.SetEnableShowTips(m_showAtStart.m_bChecked ? 1 : 0);
}

void CTipsDialog::OnCancel()
{
    m_settings.SetTipIndex(m_nextIndex);
    CSkinDialog::OnCancel();
    if (m_pParentWnd)
        m_pParentWnd->SendMessage(WM_TIPS_CLOSED, 0, 0);
    DestroyWindow();
}

void CTipsDialog::PostNcDestroy()
{
    delete this;
}

BOOL CTipsDialog::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

void CTipsDialog::OnPaint()
{
    CPaintDC paint(this);
    CMemoryDC dc(&paint);
    DrawTop(&dc);
    DrawLeft(&dc);
    DrawRight(&dc);
    DrawClient(&dc);
    DrawBottom(&dc);
}

LRESULT CTipsDialog::OnDeferredLayout(WPARAM, LPARAM)
{
    CRect client;
    GetClientRect(&client);
    const int r = client.Width(), b = client.Height();
    m_title.MoveWindow(30, 5, 200, 18);
    m_cross.MoveWindow(r - m_cross.m_nStateWidth - 8, 6, m_cross.m_nStateWidth, m_cross.m_nStateHeight);
    m_heading.MoveWindow(60, 50, 250, 20);
    m_tipText.MoveWindow(30, 80, r - 60, 90);
    m_showAtStart.MoveWindow(20, b - 38, 250, 18);
    const int wc = m_close.m_nStateWidth, hc = m_close.m_nStateHeight;
    m_close.MoveWindow(r - 20 - wc, b - 20 - hc, wc, hc);
    const int wn = m_next.m_nStateWidth;
    m_next.MoveWindow(r - 20 - wc - 10 - wn, b - 20 - hc, wn, hc);
    SetWindowRegion();
    Invalidate(FALSE);
    // Opened while its owner was still being shown, the window would stay
    // behind it: it comes to the front once the owner stands.
    SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return 0;
}
