// CGridScrollBar: a scroll bar that paints itself white. The grid list keeps
// one that is never attached to a window.
#pragma once

#include <CScrollBar.h>

class CGridScrollBar : public CScrollBar
{
protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
