#include "PrivacyFrame.h"

#include "ConsoleMessages.h"
#include "OptionsResources.h"

#include <CPaintDC.h>
#include <MemoryDC.h>

BEGIN_MESSAGE_MAP(CPrivacyFrame, CSkinDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_MESSAGE(WM_DEFERRED_LAYOUT, OnDeferredLayout)
END_MESSAGE_MAP()

CPrivacyFrame::CPrivacyFrame(CWnd *pParent, const CString &languageFile, const CString &skinFolder)
    : CSkinDialog(IDD_PRIVACY_PAGE, pParent, NULL), m_languageFile(languageFile), m_skinFolder(skinFolder)
{
}

BOOL CPrivacyFrame::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_clientFill.Load(m_skinFolder + "SubFram.bmp");
    m_texts.SetSource(m_languageFile, "FRAME_PRIVACE", "APP", "APP_NAME");
    return TRUE;
}

BOOL CPrivacyFrame::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

void CPrivacyFrame::OnPaint()
{
    CPaintDC paint(this);
    CMemoryDC dc(&paint);
    DrawClient(&dc);
}

void CPrivacyFrame::OnSize(UINT nType, int cx, int cy)
{
    CSkinDialog::OnSize(nType, cx, cy);
    if (IsWindowVisible())
        PostMessage(WM_DEFERRED_LAYOUT, 0, 0);
}

LRESULT CPrivacyFrame::OnDeferredLayout(WPARAM, LPARAM)
{
    GetClientRect(&m_laidOut);
    return 0;
}
