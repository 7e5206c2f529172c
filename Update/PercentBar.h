// CPercentBar: a static control drawn as a bar filled to its position, with
// the percent centred over it.
#pragma once

#include "CStatic.h"

class CPercentBar : public CStatic
{
public:
    // A value from the minimum to the maximum becomes the position and the
    // bar is redrawn; any other value is ignored. Returns the position.
    int SetPos(int value);
    int GetPos() const { return m_nPos; }

    // The bar colour.
    static constexpr COLORREF BAR_COLOR = RGB(102, 99, 237);

protected:
    afx_msg void OnPaint();

private:
    int m_nMax = 100;
    int m_nMin = 0;
    int m_nPos = 0;

    DECLARE_MESSAGE_MAP()
};
