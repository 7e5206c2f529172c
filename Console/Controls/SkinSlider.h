// CSkinSlider: a trackbar without a background of its own. Its owner hands
// it a copy of what the owner painted under it (SaveBackground, from the
// owner's painting), and the slider shows that copy around its channel and
// thumb; pixels the trackbar drew black stay black.
#pragma once

#include "BitmapLayer.h"

#include <CDC.h>
#include <CSliderCtrl.h>

class CSkinSlider : public CSliderCtrl
{
public:
    CSkinSlider() = default;

    // Copies the rectangle (left, top)-(right, bottom) of the owner's
    // painting. The first call fixes the size of the copy; later ones
    // refresh it at that size.
    void SaveBackground(CDC *pSource, int left, int top, int right, int bottom);
    // The size of the copy; 0 x 0 before the first SaveBackground.
    SIZE BackgroundSize() const { return m_background.Size(); }

protected:
    // Kept from the owner: the slider draws itself.
    afx_msg void OnCustomDraw(NMHDR *pNotify, LRESULT *pResult);
    // Erases nothing.
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);

private:
    // Lays the saved background under the channel stage's pixels, keeping
    // those drawn black.
    void LayBackground(CDC *pItem);

    CBitmapLayer m_background;

    DECLARE_MESSAGE_MAP()
};
