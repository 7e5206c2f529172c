// CImageList: an image list; the destructor deletes the list it holds.
//
// A list view without LVS_SHAREIMAGELISTS deletes its image lists when it
// is destroyed, so a list handed to such a view must be Detached from its
// CImageList (or the view must share). Tree views never delete theirs.
#pragma once

#include "CObject.h"
#include "TempWrapper.h"

#include <windows.h>
#include <commctrl.h>

class CDC;

class CImageList : public CObject
{
public:
    CImageList() = default;
    ~CImageList() override { DeleteImageList(); }

    CImageList(const CImageList &) = delete;
    CImageList &operator=(const CImageList &) = delete;

    HIMAGELIST m_hImageList = NULL;

    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }
    static CImageList *FromHandle(HIMAGELIST hImageList)
    {
        return TempWrapperFor<CImageList>(hImageList);
    }

    // Fails when this object already holds a list.
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    BOOL Attach(HIMAGELIST hImageList);
    HIMAGELIST Detach();
    // FALSE when there is none.
    BOOL DeleteImageList();

    // The new image's index, or -1.
    int Add(HICON hIcon) { return ::ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
    // The image's index, or -1.
    int Replace(int nImage, HICON hIcon) { return ::ImageList_ReplaceIcon(m_hImageList, nImage, hIcon); }
    BOOL Remove(int nImage) { return ::ImageList_Remove(m_hImageList, nImage); }
    int GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
    BOOL Draw(CDC *pDC, int nImage, POINT pt, UINT nStyle);

    // For the temporary-object machinery only.
    void AttachTemporary(HIMAGELIST hImageList) { m_hImageList = hImageList; }
    void DetachTemporary() { m_hImageList = NULL; }
};
