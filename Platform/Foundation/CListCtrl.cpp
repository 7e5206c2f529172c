#include "CListCtrl.h"

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth,
                            int nSubItem)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.fmt = nFormat;
    column.pszText = const_cast<LPSTR>(lpszColumnHeading);
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask,
                          int nImage, LPARAM lParam)
{
    LVITEMA item = {};
    item.mask = nMask;
    item.iItem = nItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    item.state = nState;
    item.stateMask = nStateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage,
                        UINT nState, UINT nStateMask, LPARAM lParam)
{
    LVITEMA item = {};
    item.mask = nMask;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    item.state = nState;
    item.stateMask = nStateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return SetItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPSTR>(lpszText);
    return Send(FALSE, LVM_SETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // The control copies what fits and says how much it copied: a buffer
    // it did not fill to the last byte held the whole text.
    CString text;
    for (int size = 256;; size *= 2) {
        LVITEMA item = {};
        item.iSubItem = nSubItem;
        item.cchTextMax = size;
        item.pszText = text.GetBuffer(size - 1);
        const int copied = Send(0, LVM_GETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item));
        text.ReleaseBuffer(copied >= 0 && copied < size ? copied : 0);
        if (copied < size - 1)
            return text;
    }
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    if (!Send(FALSE, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    return SetItem(nItem, 0, LVIF_PARAM, NULL, 0, 0, 0, static_cast<LPARAM>(dwData));
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEMA item = {};
    item.state = nState;
    item.stateMask = nMask;
    return Send(FALSE, LVM_SETITEMSTATE, nItem, reinterpret_cast<LPARAM>(&item));
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect &ref) const
{
    RECT rect = {nArea, iSubItem, 0, 0};
    if (!Send(FALSE, LVM_GETSUBITEMRECT, iItem, reinterpret_cast<LPARAM>(&rect)))
        return FALSE;
    ref = rect;
    return TRUE;
}

CImageList *CListCtrl::SetImageList(CImageList *pImageList, int nImageList)
{
    HIMAGELIST hImageList = pImageList ? pImageList->GetSafeHandle() : NULL;
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendControlMessage(*this, 0, LVM_SETIMAGELIST, nImageList, reinterpret_cast<LPARAM>(hImageList))));
}

CImageList *CListCtrl::GetImageList(int nImageList) const
{
    return CImageList::FromHandle(
        reinterpret_cast<HIMAGELIST>(SendControlMessage(*this, 0, LVM_GETIMAGELIST, nImageList)));
}

CHeaderCtrl *CListCtrl::GetHeaderCtrl() const
{
    HWND hWndHeader = reinterpret_cast<HWND>(SendControlMessage(*this, 0, LVM_GETHEADER));
    if (CHeaderCtrl *pOwn = dynamic_cast<CHeaderCtrl *>(FromHandlePermanent(hWndHeader)))
        return pOwn;
    return TempWrapperFor<CHeaderCtrl>(hWndHeader);
}
