#include "CTreeCtrl.h"

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                                UINT nState, UINT nStateMask, LPARAM lParam, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = hParent;
    insert.hInsertAfter = hInsertAfter;
    insert.item.mask = nMask;
    insert.item.pszText = const_cast<LPSTR>(lpszItem);
    insert.item.iImage = nImage;
    insert.item.iSelectedImage = nSelectedImage;
    insert.item.state = nState;
    insert.item.stateMask = nStateMask;
    insert.item.lParam = lParam;
    return InsertItem(&insert);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    // The control says nothing of the length: a buffer it did not fill to
    // the last byte held the whole text.
    for (int size = 256;; size *= 2) {
        CString text;
        LPSTR buffer = text.GetBuffer(size - 1);
        buffer[0] = '\0';
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = hItem;
        item.cchTextMax = size;
        item.pszText = buffer;
        const BOOL found = GetItem(&item);
        text.ReleaseBuffer(found ? -1 : 0);
        // The control may point at a text of its own instead of copying.
        if (found && item.pszText != buffer)
            return CString(item.pszText);
        if (!found || text.GetLength() < size - 1)
            return text;
    }
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem)
{
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return SetItem(&item);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    TVITEMA item = {};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
{
    TVITEMA item = {};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    item.lParam = static_cast<LPARAM>(dwData);
    return SetItem(&item);
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
{
    // The control reads the item from the rectangle's first bytes.
    *reinterpret_cast<HTREEITEM *>(lpRect) = hItem;
    return Send(TVM_GETITEMRECT, bTextOnly, reinterpret_cast<LPARAM>(lpRect)) != 0;
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
    TVITEMA item = {};
    item.mask = TVIF_STATE;
    item.hItem = hItem;
    item.stateMask = nStateMask;
    return GetItem(&item) ? (item.state & nStateMask) : 0;
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int &nImage, int &nSelectedImage) const
{
    TVITEMA item = {};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    if (!GetItem(&item))
        return FALSE;
    nImage = item.iImage;
    nSelectedImage = item.iSelectedImage;
    return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage)
{
    TVITEMA item = {};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    item.iImage = nImage;
    item.iSelectedImage = nSelectedImage;
    return SetItem(&item);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
    TVITEMA item = {};
    item.mask = TVIF_CHILDREN;
    item.hItem = hItem;
    return GetItem(&item) && item.cChildren != 0;
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT *pFlags) const
{
    TVHITTESTINFO info = {};
    info.pt = pt;
    HTREEITEM hItem = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (pFlags)
        *pFlags = info.flags;
    return hItem;
}

CImageList *CTreeCtrl::SetImageList(CImageList *pImageList, int nImageList)
{
    HIMAGELIST hImageList = pImageList ? pImageList->GetSafeHandle() : NULL;
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        Send(TVM_SETIMAGELIST, nImageList, reinterpret_cast<LPARAM>(hImageList))));
}
