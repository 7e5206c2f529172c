#include "SkinSlider.h"

#include <commctrl.h>

BEGIN_MESSAGE_MAP(CSkinSlider, CSliderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CSkinSlider::SaveBackground(CDC *pSource, int left, int top, int right, int bottom)
{
    if (!m_background.IsMade() && !m_background.Create(pSource, right - left, bottom - top))
        return;
    m_background.DC().BitBlt(0, 0, right - left, bottom - top, pSource, left, top, SRCCOPY);
}

BOOL CSkinSlider::OnEraseBkgnd(CDC * /*pDC*/)
{
    return FALSE;
}

void CSkinSlider::OnCustomDraw(NMHDR *pNotify, LRESULT *pResult)
{
    NMCUSTOMDRAW *draw = reinterpret_cast<NMCUSTOMDRAW *>(pNotify);
    *pResult = CDRF_DODEFAULT;
    if (draw->dwDrawStage == CDDS_PREPAINT) {
        *pResult = CDRF_NOTIFYITEMDRAW;
    } else if (draw->dwDrawStage == CDDS_ITEMPREPAINT && draw->dwItemSpec == TBCD_CHANNEL) {
        // Without a saved background the stage would lay the item's own
        // pixels back over themselves: nothing to do.
        if (m_background.IsMade())
            LayBackground(CDC::FromHandle(draw->hdc));
    }
}

// A one-bit mask marks the black pixels (the item context's background
// colour is set to black, so they become 1); then
//   item ^= mask, item &= mask, item ^= mask
// with 1 bits arriving as black and 0 bits as white leaves the black pixels
// black and puts the saved background everywhere else.
void CSkinSlider::LayBackground(CDC *pItem)
{
    CRect client;
    GetClientRect(&client);
    const int width = client.Width(), height = client.Height();

    const COLORREF oldBack = pItem->SetBkColor(RGB(0, 0, 0));
    const COLORREF oldText = pItem->SetTextColor(RGB(255, 255, 255));

    CDC mask;
    CBitmap maskBitmap;
    if (mask.CreateCompatibleDC(pItem) && maskBitmap.CreateBitmap(width, height, 1, 1, NULL)) {
        CBitmap *oldMask = mask.SelectObject(&maskBitmap);
        mask.BitBlt(0, 0, width, height, pItem, 0, 0, SRCCOPY);
        pItem->BitBlt(0, 0, width, height, &m_background.DC(), 0, 0, SRCCOPY);
        pItem->BitBlt(0, 0, width, height, &mask, 0, 0, SRCINVERT);
        pItem->BitBlt(0, 0, width, height, &mask, 0, 0, SRCAND);
        pItem->BitBlt(0, 0, width, height, &mask, 0, 0, SRCINVERT);
        mask.SelectObject(oldMask);
    }

    pItem->SetBkColor(oldBack);
    pItem->SetTextColor(oldText);
}
