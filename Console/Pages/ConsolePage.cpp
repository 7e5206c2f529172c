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
    LoadPagePieces(SkinFolder(), m_titlePicture);
    return TRUE;
}

CString CConsolePage::SkinFolder() const
{
    return m_skinFolder.IsEmpty() ? ConsoleSkinFolder() : m_skinFolder;
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
