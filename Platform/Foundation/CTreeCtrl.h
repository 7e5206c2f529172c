// CTreeCtrl: a tree view. The members are not virtual: a derived tree that
// hides one is called through its own class. A tree view never destroys
// its image lists.
#pragma once

#include "CImageList.h"
#include "CPoint.h"
#include "CString.h"
#include "ControlMessage.h"

#include <commctrl.h>

class CTreeCtrl : public CWnd
{
public:
    // --- insertion: the new item, or NULL -------------------------------------
    HTREEITEM InsertItem(LPTVINSERTSTRUCTA lpInsertStruct)
    {
        return Item(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(lpInsertStruct));
    }
    HTREEITEM InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                         UINT nState, UINT nStateMask, LPARAM lParam, HTREEITEM hParent,
                         HTREEITEM hInsertAfter);
    HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT,
                         HTREEITEM hInsertAfter = TVI_LAST)
    {
        return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
    }
    HTREEITEM InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage,
                         HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST)
    {
        return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage,
                          nSelectedImage, 0, 0, 0, hParent, hInsertAfter);
    }

    // --- items ----------------------------------------------------------------
    BOOL GetItem(TVITEMA *pItem) const { return Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(pItem)) != 0; }
    BOOL SetItem(TVITEMA *pItem) { return Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(pItem)) != 0; }
    // Any length; empty for an item that does not exist.
    CString GetItemText(HTREEITEM hItem) const;
    BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem);
    DWORD_PTR GetItemData(HTREEITEM hItem) const;
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
    // The item's rectangle in client coordinates; only the text with
    // bTextOnly. FALSE when the item is not shown.
    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
    BOOL GetItemImage(HTREEITEM hItem, int &nImage, int &nSelectedImage) const;
    BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
    BOOL ItemHasChildren(HTREEITEM hItem) const;
    UINT GetCount() const { return static_cast<UINT>(Send(TVM_GETCOUNT)); }

    // --- navigation: NULL where there is no such item -------------------------
    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const
    {
        return Item(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(NULL, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(NULL, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(NULL, TVGN_CARET); }

    // --- hit test, selection, expansion ----------------------------------------
    // The item at a client point, or NULL; pFlags receives the TVHT_* place.
    HTREEITEM HitTest(CPoint pt, UINT *pFlags = NULL) const;
    BOOL SelectItem(HTREEITEM hItem)
    {
        return Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hItem)) != 0;
    }
    BOOL Expand(HTREEITEM hItem, UINT nCode)
    {
        return Send(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem)) != 0;
    }

    // --- deletion ---------------------------------------------------------------
    BOOL DeleteItem(HTREEITEM hItem) { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hItem)) != 0; }
    BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }

    // nImageList: TVSIL_NORMAL or TVSIL_STATE. The previous list, as a
    // temporary.
    CImageList *SetImageList(CImageList *pImageList, int nImageList);

private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendControlMessage(*this, 0, message, wParam, lParam);
    }
    HTREEITEM Item(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return reinterpret_cast<HTREEITEM>(Send(message, wParam, lParam));
    }
};
