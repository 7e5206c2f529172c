// CBrush: a GDI brush. A brush constructed during static initialisation
// works (class-wide brushes).
#pragma once

#include "CGdiObject.h"

class CBrush : public CGdiObject
{
public:
    CBrush() = default;
    // The brush is made at once; GetSafeHandle is NULL if that failed.
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }

    BOOL CreateSolidBrush(COLORREF crColor) { return AttachNew(::CreateSolidBrush(crColor)); }
    BOOL CreatePatternBrush(HBITMAP hBitmap) { return AttachNew(::CreatePatternBrush(hBitmap)); }

    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    static CBrush *FromHandle(HBRUSH hBrush) { return TempWrapperFor<CBrush>(hBrush); }
};
