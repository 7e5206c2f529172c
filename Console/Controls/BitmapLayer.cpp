#include "BitmapLayer.h"

BOOL CBitmapLayer::Create(CDC *pReference, int width, int height)
{
    Free();
    if (!m_dc.CreateCompatibleDC(pReference))
        return FALSE;
    if (!m_bitmap.CreateCompatibleBitmap(pReference ? pReference : &m_dc, width, height)) {
        m_dc.DeleteDC();
        return FALSE;
    }
    m_hOwnBitmap = m_dc.SelectObject(m_bitmap.GetSafeHandle());
    return TRUE;
}

BOOL CBitmapLayer::Free()
{
    if (!IsMade())
        return FALSE;
    const BOOL restored = m_hOwnBitmap != NULL && m_dc.SelectObject(m_hOwnBitmap) == m_bitmap.GetSafeHandle();
    m_hOwnBitmap = NULL;
    const BOOL deleted = m_bitmap.DeleteObject();
    m_dc.DeleteDC();
    return restored && deleted;
}

SIZE CBitmapLayer::Size() const
{
    BITMAP info = {};
    if (!m_bitmap.GetSafeHandle() || !m_bitmap.GetBitmap(&info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}
