#include "InfoFrame.h"

#include "ConsoleApp.h"
#include "ConsoleSettings.h"
#include "MemoryDC.h"
#include "VersionLine.h"

#include <CPaintDC.h>
#include <DataExchange.h>

namespace {

// The logo's bottom-right corner in the client area.
const POINT kLogoCorner = {517, 280};

void DrawPlain(CSkinBitmap &picture, int x, int y, CDC *pDC)
{
    const RECT place = {x, y, picture.m_size.cx, picture.m_size.cy};
    picture.Draw(place, pDC, SRCCOPY, 0, 0);
}

} // namespace

BEGIN_MESSAGE_MAP(CInfoFrame, CConsolePage)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CInfoFrame::CInfoFrame(CWnd *pParent) : CConsolePage(IDD_INFO_PAGE, pParent, "SubTitle_Left_Info.bmp")
{
}

void CInfoFrame::DoDataExchange(CDataExchange *pDX)
{
    CConsolePage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_INFO_VERSION, m_versionValue);
    DDX_Control(pDX, IDC_INFO_DESIGNER, m_designerValue);
    DDX_Control(pDX, IDC_INFO_VERSION_LABEL, m_versionLabel);
    DDX_Control(pDX, IDC_INFO_DESIGNER_LABEL, m_designerLabel);
    DDX_Control(pDX, IDC_INFO_NOTICE, m_notice);
}

BOOL CInfoFrame::OnInitDialog()
{
    CConsolePage::OnInitDialog();
    m_texts.SetSource(*GetConsoleApp()->GetLanguagePath(), "FRAME_INFO", "APP", "APP_NAME");
    LoadPictures();
    SetTexts();
    m_lastLayout.SetRectEmpty();
    Layout();
    return TRUE;
}

void CInfoFrame::LoadPictures()
{
    const CString folder = ConsoleSkinFolder();
    m_iconPicture.Load(folder + "About_BigIcon.bmp");
    m_productPicture.Load(folder + "About_Product.bmp");
    m_logoPicture.Load(folder + "About_Logo.bmp");
}

void CInfoFrame::SetTexts()
{
    m_notice.SetWindowText(m_texts.GetText("LB_Copyright"));
    m_versionLabel.SetWindowText(m_texts.GetText("LB_Version"));
    m_designerLabel.SetWindowText(m_texts.GetText("LB_UI_Design"));
    m_versionValue.SetWindowText(InstalledVersion());
    m_designerValue.SetWindowText(m_texts.GetText("LB_Val_UI_Design"));
}

void CInfoFrame::Layout()
{
    CRect client;
    GetClientRect(&client);
    if (client == m_lastLayout)
        return;
    m_lastLayout = client;
    m_notice.MoveWindow(40, 268, 410, 14);
    m_versionLabel.MoveWindow(235, 135, 65, 14);
    m_designerLabel.MoveWindow(235, 155, 65, 14);
    m_versionValue.MoveWindow(305, 135, 65, 14);
    m_designerValue.MoveWindow(305, 155, 65, 14);
}

void CInfoFrame::OnPaint()
{
    CPaintDC paintDC(this);
    CMemoryDC dc(&paintDC);
    DrawTop(&dc);
    DrawClient(&dc);
    DrawPlain(m_iconPicture, 40, 60, &dc);
    DrawPlain(m_productPicture, 233, 95, &dc);
    DrawPlain(m_logoPicture, kLogoCorner.x - m_logoPicture.m_size.cx, kLogoCorner.y - m_logoPicture.m_size.cy,
              &dc);
}
