// CSliderCtrl: a trackbar. Positions outside the range are clamped by the
// control.
#pragma once

#include "ControlMessage.h"

#include <commctrl.h>

class CSliderCtrl : public CWnd
{
public:
    // Sets both ends separately, so that no end is cut to 16 bits.
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE)
    {
        SendMessage(TBM_SETRANGEMIN, FALSE, nMin);
        SendMessage(TBM_SETRANGEMAX, bRedraw, nMax);
    }
    void GetRange(int &nMin, int &nMax) const
    {
        nMin = GetRangeMin();
        nMax = GetRangeMax();
    }
    int GetRangeMin() const { return static_cast<int>(SendControlMessage(*this, 0, TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return static_cast<int>(SendControlMessage(*this, 0, TBM_GETRANGEMAX)); }
    // Moves the thumb and redraws.
    void SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
    int GetPos() const { return static_cast<int>(SendControlMessage(*this, 0, TBM_GETPOS)); }
};
