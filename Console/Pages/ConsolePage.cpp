#include "ConsolePage.h"

#include "ConsoleSettings.h"
#include "MemoryDC.h"

#include <CPaintDC.h>

BEGIN_MESSAGE_MAP(CConsolePage, CSkinDialog)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CConsolePage::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    LoadPagePieces(m_skinFolder.IsEmpty() ? ConsoleSkinFolder() : m_skinFolder, m_titlePicture);
    return TRUE;
}

BOOL CConsolePage::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

void CConsolePage::OnPaint()
{
    CPaintDC paintDC(this);
    CMemoryDC dc(&paintDC);
    DrawTop(&dc);
    DrawClient(&dc);
}
