// CItemTree: a tree view whose every item carries a CTItemBase, which keeps
// the item's text, data and colour and draws the item. The tree lets the
// control paint itself, then paints each visible item's text again through
// its object, so that selected items show the system highlight and bold
// items the bold form of the tree's font.
//
// The tree owns the objects: deleting an item frees the objects of the item
// and of everything under it, and the objects that are left go with the
// window. Only objects the tree made count as objects: an item whose object
// could not be attached keeps whatever raw value is set on it.
//
// CTreeCtrl's members are not virtual: call these through CItemTree.
#pragma once

#include "TItemBase.h"

#include <CTreeCtrl.h>

#include <map>

class CItemTree : public CTreeCtrl
{
public:
    CItemTree() = default;
    // Frees the objects left by a window that was never destroyed through
    // its messages.
    ~CItemTree() override;

    // Each form inserts the item and gives it an object with the text and,
    // where the form carries one, the lParam as data (else 0). The handle
    // is returned even when the object could not be attached; the
    // structure form then returns NULL.
    HTREEITEM InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage,
                         HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT,
                         HTREEITEM hInsertAfter = TVI_LAST);
    HTREEITEM InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                         UINT nState, UINT nStateMask, LPARAM lParam, HTREEITEM hParent,
                         HTREEITEM hInsertAfter);
    HTREEITEM InsertItem(LPTVINSERTSTRUCTA lpInsertStruct);

    // Removes the item with its descendants, freeing all their objects.
    BOOL DeleteItem(HTREEITEM hItem);
    BOOL DeleteAllItems();

    BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem);
    // The object's text; the control's own for an item without one.
    CString GetItemText(HTREEITEM hItem) const;
    // The object's data; an item without one takes the value raw.
    BOOL SetItemData(HTREEITEM hItem, DWORD dwData);
    // The object's data; 0 for an item without one.
    DWORD GetItemData(HTREEITEM hItem) const;
    // FALSE for an item without object.
    BOOL SetItemColor(HTREEITEM hItem, COLORREF crText);

    // The item's object, or NULL.
    CTItemBase *GetItemObject(HTREEITEM hItem) const;

protected:
    // Answers the text-room request for each visible line, top down, in the
    // tree's font (bold lines are drawn a little wider).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnPaint();
    afx_msg void OnDestroy();

private:
    HTREEITEM AttachObject(HTREEITEM hItem, LPCTSTR lpszText, DWORD dwData);
    void FreeObject(HTREEITEM hItem);
    // Frees the objects of the item and of its descendants.
    void FreeSubtreeObjects(HTREEITEM hItem);
    // Frees the objects of a sibling chain and all their descendants.
    void FreeItemObjects(HTREEITEM hFirst);
    void FreeAllObjects();
    void PaintItem(CDC *pDC, HTREEITEM hItem, CFont *pNormal, CFont *pBold);
    // Where PaintItem draws the line's text: its label, cut at the client
    // area's right edge.
    CRect TextRect(HTREEITEM hItem) const;

    // The objects this tree made, by item. An item's data is its object
    // only while it equals the recorded one.
    std::map<HTREEITEM, CTItemBase *> m_objects;

    DECLARE_MESSAGE_MAP()
};
