#include "PercentBar.h"
#include "CPaintDC.h"
#include "MemoryDC.h"

BEGIN_MESSAGE_MAP(CPercentBar, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

int CPercentBar::SetPos(int value)
{
    if (value >= m_nMin && value <= m_nMax) {
        m_nPos = value;
        if (GetSafeHwnd())
            Invalidate();
    }
    return m_nPos;
}

void CPercentBar::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemoryDC dc(&paint, client);

    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    int filled = static_cast<int>(static_cast<double>(m_nPos) / (m_nMax - m_nMin) *
                                  client.Width());
    CRect bar(0, 0, filled, client.Height());
    dc.FillSolidRect(&bar, BAR_COLOR);

    CString text;
    text.Format("%.0f%%", m_nPos * 100.0 / m_nMax);
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(text, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
