// CFont: a GDI font.
#pragma once

#include "CGdiObject.h"

class CFont : public CGdiObject
{
public:
    BOOL CreateFontIndirect(const LOGFONT *lpLogFont)
    {
        return AttachNew(::CreateFontIndirect(lpLogFont));
    }
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                    BYTE nPitchAndFamily, LPCTSTR lpszFacename)
    {
        return AttachNew(::CreateFont(nHeight, nWidth, nEscapement, nOrientation, nWeight,
                                      bItalic, bUnderline, cStrikeOut, nCharSet, nOutPrecision,
                                      nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
    }
    // The number of bytes written, 0 without a font.
    int GetLogFont(LOGFONT *pLogFont) const { return GetObject(sizeof(LOGFONT), pLogFont); }

    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    // NULL for NULL: a window without a font of its own.
    static CFont *FromHandle(HFONT hFont) { return TempWrapperFor<CFont>(hFont); }
};
