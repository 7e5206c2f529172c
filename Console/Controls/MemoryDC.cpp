#include "MemoryDC.h"

CMemoryDC::CMemoryDC(CDC *pDC) : m_target(pDC)
{
    pDC->GetClipBox(&m_rect);
    Begin(pDC);
    if (m_isMemory)
        FillSolidRect(&m_rect, pDC->GetBkColor());
}

CMemoryDC::CMemoryDC(CDC *pDC, const RECT &rect) : m_target(pDC), m_rect(rect)
{
    Begin(pDC);
}

void CMemoryDC::Begin(CDC *pDC)
{
    m_isMemory = !pDC->IsPrinting() && MakeBuffer();
    if (!m_isMemory)
        DrawStraight();
}

bool CMemoryDC::MakeBuffer()
{
    if (m_rect.IsRectEmpty() || !CreateCompatibleDC(m_target))
        return false;
    if (!m_bitmap.CreateCompatibleBitmap(m_target, m_rect.Width(), m_rect.Height())) {
        DeleteDC();
        return false;
    }
    m_oldBitmap = SelectObject(m_bitmap.GetSafeHandle());
    SetWindowOrg(m_rect.left, m_rect.top);
    return true;
}

// Borrows the target's handles: what is drawn lands on the target at once.
void CMemoryDC::DrawStraight()
{
    m_hDC = m_target->m_hDC;
    m_hAttribDC = m_target->m_hAttribDC;
    m_bPrinting = m_target->m_bPrinting;
}

CMemoryDC::~CMemoryDC()
{
    if (m_isMemory) {
        m_target->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                         m_rect.top, SRCCOPY);
        SelectObject(m_oldBitmap);
        m_bitmap.DeleteObject();
        DeleteDC();
    } else {
        // The handles are the target's, not ours to delete.
        m_hDC = m_hAttribDC = NULL;
    }
}
