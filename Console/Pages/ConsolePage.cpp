#include "ConsolePage.h"

#include "MemoryDC.h"
#include "SkinPalette.h"

#include <CPaintDC.h>

BEGIN_MESSAGE_MAP(CConsolePage, CSkinDialog)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CConsolePage::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

void CConsolePage::OnPaint()
{
    CPaintDC paintDC(this);
    CMemoryDC dc(&paintDC);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, SkinPalette::Client);
}
