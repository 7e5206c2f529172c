#include "CBitmap.h"

#include "CDC.h"

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return LoadBitmap(MAKEINTRESOURCE(nIDResource));
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    // Resources belong to the program itself.
    return AttachNew(::LoadBitmap(::GetModuleHandle(NULL), lpszResourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC *pDC, int nWidth, int nHeight)
{
    if (pDC == NULL || pDC->m_hDC == NULL)
        return FALSE;
    return AttachNew(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}
