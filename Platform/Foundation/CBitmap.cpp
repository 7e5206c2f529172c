#include "CBitmap.h"

#include "CDC.h"
#include "CWinApp.h"

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return LoadBitmap(MAKEINTRESOURCE(nIDResource));
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    return AttachNew(::LoadBitmap(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC *pDC, int nWidth, int nHeight)
{
    if (pDC == NULL || pDC->m_hDC == NULL)
        return FALSE;
    return AttachNew(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}
