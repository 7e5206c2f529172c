// CRgn: a GDI region. A window region belongs to the window once
// SetWindowRgn succeeds: Detach the CRgn then.
#pragma once

#include "CGdiObject.h"

class CRgn : public CGdiObject
{
public:
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2)
    {
        return AttachNew(::CreateRectRgn(x1, y1, x2, y2));
    }
    BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return AttachNew(::CreateRectRgnIndirect(lpRect)); }
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2)
    {
        return AttachNew(::CreateEllipticRgn(x1, y1, x2, y2));
    }
    BOOL CreatePolygonRgn(const POINT *lpPoints, int nCount, int nMode)
    {
        return AttachNew(::CreatePolygonRgn(lpPoints, nCount, nMode));
    }
    // Replaces this existing region with the combination of the two:
    // NULLREGION, SIMPLEREGION, COMPLEXREGION, or ERROR.
    int CombineRgn(const CRgn *pRgn1, const CRgn *pRgn2, int nCombineMode)
    {
        return ::CombineRgn(*this, *pRgn1, pRgn2 ? static_cast<HRGN>(*pRgn2) : NULL,
                            nCombineMode);
    }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }

    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    static CRgn *FromHandle(HRGN hRgn) { return TempWrapperFor<CRgn>(hRgn); }
};
