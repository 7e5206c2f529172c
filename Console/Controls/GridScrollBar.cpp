#include "GridScrollBar.h"

#include <CPaintDC.h>
#include <CRect.h>

BEGIN_MESSAGE_MAP(CGridScrollBar, CScrollBar)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CGridScrollBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, RGB(255, 255, 255));
}
