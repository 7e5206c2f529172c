// CBitmap: a GDI bitmap. A bitmap that belongs to something else (a loaded
// picture) is Detached before its CBitmap goes.
#pragma once

#include "CGdiObject.h"

class CDC;

class CBitmap : public CGdiObject
{
public:
    // From the program's resources (AfxGetResourceHandle).
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    // Compatible with the device of pDC.
    BOOL CreateCompatibleBitmap(CDC *pDC, int nWidth, int nHeight);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void *lpBits)
    {
        return AttachNew(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
    }
    int GetBitmap(BITMAP *pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }

    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    static CBitmap *FromHandle(HBITMAP hBitmap) { return TempWrapperFor<CBitmap>(hBitmap); }
};
