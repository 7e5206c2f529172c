// CPen: a GDI pen.
#pragma once

#include "CGdiObject.h"

class CPen : public CGdiObject
{
public:
    CPen() = default;
    // The pen is made at once; GetSafeHandle is NULL if that failed.
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }

    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
    {
        return AttachNew(::CreatePen(nPenStyle, nWidth, crColor));
    }

    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    static CPen *FromHandle(HPEN hPen) { return TempWrapperFor<CPen>(hPen); }
};
