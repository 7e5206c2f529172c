#include "UpdateDialog.h"
#include "ConsoleMessages.h"
#include "CPaintDC.h"
#include "CWinApp.h"
#include "DataExchange.h"
#include "PathText.h"
#include "SafeFormat.h"
#include "UpdateMarkers.h"
#include "UpdateResources.h"

namespace {

const int kDialogWidth = 527;
const int kClientHeight = 134;

// Where each control goes: x, y, width, height in pixels.
const struct {
    int id;
    int x, y, width, height;
} kLayout[] = {
    {IDC_STEP_TEXT, 105, 13, 405, 20},    {IDC_FILE_TEXT, 105, 35, 405, 14},
    {IDC_STOP, 424, 91, 88, 22},          {IDC_CURRENT_LABEL, 0, 74, 102, 14},
    {IDC_TOTAL_LABEL, 5, 97, 97, 14},     {IDC_CURRENT_BAR, 105, 71, 315, 18},
    {IDC_TOTAL_BAR, 105, 94, 315, 18},
};

} // namespace

BEGIN_MESSAGE_MAP(CUpdateDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_STOP, OnStopButton)
    ON_MESSAGE(WM_UPDATE_CLOSE, OnCloseUpdate)
    ON_MESSAGE(WM_UPDATE_STEP, OnUpdateStep)
    ON_MESSAGE(WM_SHOW_STEP, OnShowStep)
    ON_MESSAGE(WM_DOWNLOAD_DONE, OnDownloadDone)
    ON_MESSAGE(WM_DOWNLOAD_PROGRESS, OnDownloadProgress)
END_MESSAGE_MAP()

CUpdateDialog::CUpdateDialog(CWnd *pParent)
    : CDialog(IDD_UPDATE, pParent), m_hIcon(AfxGetApp() ? AfxGetApp()->LoadIcon(IDI_UPDATE) : NULL)
{
}

CRect CUpdateDialog::Placement(int cxFullScreen, int cyFullScreen, int cyCaption)
{
    int height = cyCaption + kClientHeight;
    int x = (cxFullScreen - kDialogWidth) / 2;
    int y = (cyFullScreen - height) / 2;
    return CRect(x, y, x + kDialogWidth, y + height);
}

void CUpdateDialog::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CURRENT_BAR, m_currentBar);
    DDX_Control(pDX, IDC_TOTAL_BAR, m_totalBar);
}

BOOL CUpdateDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetPropA(m_hWnd, UPDATE_INSTANCE_MARKER, reinterpret_cast<HANDLE>(1));
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // Every file lies beside the program.
    m_strDir = GetModuleDir(nullptr, false);
    m_skin.Load(m_strDir + "Skins\\Default\\BigIcon.bmp");
    m_text.SetFile(m_strDir + "Language.ini");
    m_text.SetDefaultSection("UPDATE");

    LayOut();
    SetWindowText(m_text.GetText("L_Title"));
    SetDlgItemText(IDC_STOP, m_text.GetText("BUT_STOP"));
    SetDlgItemText(IDC_CURRENT_LABEL, m_text.GetText("L_P1"));
    SetDlgItemText(IDC_TOTAL_LABEL, m_text.GetText("L_P2"));

    m_steps.reset(new CUpdateSteps(m_hWnd, *this));
    m_steps->Begin(m_strDir);
    return TRUE;
}

void CUpdateDialog::LayOut()
{
    CRect place = Placement(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
                            GetSystemMetrics(SM_CYCAPTION));
    MoveWindow(&place);
    for (const auto &control : kLayout) {
        if (CWnd *item = GetDlgItem(control.id))
            item->MoveWindow(control.x, control.y, control.width, control.height);
    }
    Invalidate();
}

void CUpdateDialog::OnPaint()
{
    CPaintDC dc(this);
    if (IsIconic()) {
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        CRect client;
        GetClientRect(&client);
        int x = (client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }
    m_skin.DrawMasked(20, 10, &dc);
}

HCURSOR CUpdateDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

// The button stays as the release shipped it: it stops nothing.
void CUpdateDialog::OnStopButton() {}

void CUpdateDialog::OnCancel()
{
    if (!m_steps || m_steps->RequestClose())
        CDialog::OnCancel();
}

LRESULT CUpdateDialog::OnCloseUpdate(WPARAM, LPARAM)
{
    OnCancel();
    return 0;
}

LRESULT CUpdateDialog::OnUpdateStep(WPARAM, LPARAM)
{
    m_steps->RunStep();
    return 0;
}

LRESULT CUpdateDialog::OnShowStep(WPARAM, LPARAM)
{
    m_steps->ShowStep();
    return 0;
}

LRESULT CUpdateDialog::OnDownloadDone(WPARAM, LPARAM)
{
    m_steps->OnDownloadDone();
    return 0;
}

LRESULT CUpdateDialog::OnDownloadProgress(WPARAM, LPARAM lParam)
{
    m_steps->OnDownloadProgress(lParam);
    return 0;
}

void CUpdateDialog::ShowStepText(LPCSTR key) { SetDlgItemText(IDC_STEP_TEXT, m_text.GetText(key)); }

void CUpdateDialog::ShowBox(LPCSTR key, UINT icon)
{
    MessageBox(m_text.GetText(key), AfxGetAppName(), MB_OK | icon);
}

void CUpdateDialog::ShowDownloadName(const CString &name)
{
    SetDlgItemText(IDC_FILE_TEXT, SafeFormat(m_text.GetText("LABEL_DOWNLOAD_ONE_INFO"), {name}));
}

void CUpdateDialog::SetCurrentPercent(int percent) { m_currentBar.SetPos(percent); }

void CUpdateDialog::SetTotalPercent(int percent) { m_totalBar.SetPos(percent); }

void CUpdateDialog::DestroyDialog() { DestroyWindow(); }
