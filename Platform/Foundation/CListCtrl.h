// CListCtrl: a list view. Index members give -1 on failure, a window-less
// wrapper included; texts are read whatever their length.
#pragma once

#include "CHeaderCtrl.h"
#include "CImageList.h"
#include "CString.h"
#include "ControlMessage.h"

#include <commctrl.h>

class CListCtrl : public CWnd
{
public:
    // --- columns ------------------------------------------------------------
    int InsertColumn(int nCol, const LVCOLUMNA *pColumn)
    {
        return Send(-1, LVM_INSERTCOLUMNA, nCol, reinterpret_cast<LPARAM>(pColumn));
    }
    // A width of -1 sets no width and a sub-item of -1 no sub-item: the
    // control chooses.
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1, int nSubItem = -1);
    int GetColumnWidth(int nCol) const { return Send(0, LVM_GETCOLUMNWIDTH, nCol); }

    // --- items --------------------------------------------------------------
    int InsertItem(const LVITEMA *pItem)
    {
        return Send(-1, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(pItem));
    }
    int InsertItem(int nItem, LPCTSTR lpszItem);
    int InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask,
                   int nImage, LPARAM lParam);
    BOOL SetItem(const LVITEMA *pItem)
    {
        return Send(FALSE, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(pItem));
    }
    BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState,
                 UINT nStateMask, LPARAM lParam);
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    UINT GetItemState(int nItem, UINT nMask) const
    {
        return static_cast<UINT>(Send(0, LVM_GETITEMSTATE, nItem, nMask));
    }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    int GetItemCount() const { return Send(0, LVM_GETITEMCOUNT); }
    int GetNextItem(int nItem, int nFlags) const { return Send(-1, LVM_GETNEXTITEM, nItem, nFlags); }
    BOOL DeleteItem(int nItem) { return Send(FALSE, LVM_DELETEITEM, nItem); }
    BOOL DeleteAllItems() { return Send(FALSE, LVM_DELETEALLITEMS); }

    // --- queries ------------------------------------------------------------
    // The state image less one: with check boxes 0 (clear) or 1 (checked),
    // and -1 for a list without check boxes.
    BOOL GetCheck(int nItem) const
    {
        return static_cast<int>((GetItemState(nItem, LVIS_STATEIMAGEMASK) >> 12)) - 1;
    }
    BOOL SetCheck(int nItem, BOOL bCheck = TRUE)
    {
        return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1), LVIS_STATEIMAGEMASK);
    }
    // nArea: LVIR_BOUNDS, LVIR_ICON or LVIR_LABEL.
    BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect &ref) const;
    int SubItemHitTest(LPLVHITTESTINFO pInfo)
    {
        return Send(-1, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(pInfo));
    }
    int FindItem(const LVFINDINFOA *pFindInfo, int nStart = -1) const
    {
        return Send(-1, LVM_FINDITEMA, nStart, reinterpret_cast<LPARAM>(pFindInfo));
    }

    // --- sorting and styles ---------------------------------------------------
    // pfnCompare(lParam1, lParam2, dwData) compares the items' data.
    BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData)
    {
        return Send(FALSE, LVM_SORTITEMS, dwData, reinterpret_cast<LPARAM>(pfnCompare));
    }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(Send(0, LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    // The previous extended style.
    DWORD SetExtendedStyle(DWORD dwNewStyle)
    {
        return static_cast<DWORD>(Send(0, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle));
    }

    // --- related objects ------------------------------------------------------
    // nImageList: LVSIL_NORMAL, LVSIL_SMALL or LVSIL_STATE. Without
    // LVS_SHAREIMAGELISTS the list destroys its image lists with itself.
    // The previous list, as a temporary.
    CImageList *SetImageList(CImageList *pImageList, int nImageList);
    CImageList *GetImageList(int nImageList) const;
    // The header's own object when one has subclassed it, else a temporary.
    CHeaderCtrl *GetHeaderCtrl() const;

private:
    int Send(int failure, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return static_cast<int>(SendControlMessage(*this, failure, message, wParam, lParam));
    }
};
