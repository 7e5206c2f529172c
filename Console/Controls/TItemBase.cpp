#include "TItemBase.h"

#include <commctrl.h>

IMPLEMENT_DYNAMIC(CTItemBase, CObject)

namespace {

volatile LONG liveItems = 0;

// Keeps the text off the rectangle's edges, where the focus rectangle goes.
const int TEXT_MARGIN_X = 2;
const int TEXT_MARGIN_Y = 1;

} // namespace

CTItemBase::CTItemBase(LPCTSTR lpszText, DWORD dwData)
    : m_strText(lpszText ? lpszText : ""), m_dwData(dwData), m_crText(::GetSysColor(COLOR_WINDOWTEXT))
{
    ::InterlockedIncrement(&liveItems);
}

CTItemBase::CTItemBase(const CTItemBase &other)
    : CObject(), m_strText(other.m_strText), m_dwData(other.m_dwData), m_crText(other.m_crText)
{
    ::InterlockedIncrement(&liveItems);
}

CTItemBase::~CTItemBase()
{
    ::InterlockedDecrement(&liveItems);
}

LONG CTItemBase::LiveCount()
{
    return liveItems;
}

void CTItemBase::Copy(const CTItemBase &other)
{
    if (&other == this)
        return;
    m_strText = other.m_strText;
    m_dwData = other.m_dwData;
    m_crText = other.m_crText;
}

RECT CTItemBase::TextRect(const RECT &item)
{
    RECT inner = item;
    ::InflateRect(&inner, -TEXT_MARGIN_X, -TEXT_MARGIN_Y);
    return inner;
}

void CTItemBase::Draw(CDC *pDC, RECT *pRect, UINT nState, UINT nFormat, COLORREF crText,
                      COLORREF crBack)
{
    pDC->FillSolidRect(pRect, crBack);
    if (nState & (TVIS_SELECTED | TVIS_DROPHILITED))
        pDC->DrawFocusRect(pRect);
    if (m_strText.IsEmpty())
        return;

    pDC->SetBkMode(TRANSPARENT);
    const COLORREF oldBack = pDC->SetBkColor(crBack);
    const COLORREF oldText = pDC->SetTextColor(crText);
    RECT inner = TextRect(*pRect);
    pDC->DrawText(m_strText, &inner, nFormat);
    pDC->SetBkColor(oldBack);
    pDC->SetTextColor(oldText);
}
