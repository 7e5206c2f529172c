#include "HeaderCell.h"

IMPLEMENT_DYNAMIC(CJHBaseCell, CObject)
IMPLEMENT_DYNCREATE(CJHIconCell, CJHBaseCell)

void CJHBaseCell::Draw(CDC *pDC, RECT rect, CString text, UINT format)
{
    rect.left += 2;
    pDC->DrawText(text, &rect, format);
}

void CJHIconCell::Draw(CDC *pDC, RECT rect, CString, UINT)
{
    m_picture.DrawMasked(rect.left, rect.top, pDC);
}
