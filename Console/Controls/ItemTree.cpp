#include "ItemTree.h"

#include "MemoryDC.h"
#include "TextRoom.h"

#include <CFont.h>
#include <CPaintDC.h>

#include <algorithm>

namespace {

// Items name programs and hosts: an '&' in them is drawn as it is, as the
// control itself draws it. A line longer than the control's width ends in
// an ellipsis at its edge.
const UINT ITEM_TEXT_FORMAT = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
const UINT HIGHLIGHT_STATES = TVIS_SELECTED | TVIS_DROPHILITED;
const COLORREF ITEM_BACKGROUND = RGB(255, 255, 255);

// The tree's font in the given weight; the GUI font when the tree has none.
BOOL CreateWeightedFont(CFont &font, HFONT hTreeFont, LONG weight)
{
    LOGFONTA logFont = {};
    if (hTreeFont == NULL || ::GetObjectA(hTreeFont, sizeof(logFont), &logFont) == 0)
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    logFont.lfWeight = weight;
    return font.CreateFontIndirect(&logFont);
}

} // namespace

BEGIN_MESSAGE_MAP(CItemTree, CTreeCtrl)
    ON_WM_PAINT()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CItemTree::~CItemTree()
{
    for (const auto &entry : m_objects)
        delete entry.second;
}

// --- insertion -------------------------------------------------------------

HTREEITEM CItemTree::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage,
                                HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage,
                      nSelectedImage, 0, 0, 0, hParent, hInsertAfter);
}

HTREEITEM CItemTree::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
}

HTREEITEM CItemTree::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                                UINT nState, UINT nStateMask, LPARAM lParam, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
    HTREEITEM hItem = CTreeCtrl::InsertItem(nMask, lpszItem, nImage, nSelectedImage, nState,
                                            nStateMask, lParam, hParent, hInsertAfter);
    if (hItem == NULL)
        return NULL;
    const BOOL hasText = (nMask & TVIF_TEXT) && lpszItem != LPSTR_TEXTCALLBACKA;
    AttachObject(hItem, hasText ? lpszItem : "", static_cast<DWORD>(lParam));
    return hItem;
}

HTREEITEM CItemTree::InsertItem(LPTVINSERTSTRUCTA lpInsertStruct)
{
    HTREEITEM hItem = CTreeCtrl::InsertItem(lpInsertStruct);
    if (hItem == NULL)
        return NULL;
    const TVITEMA &item = lpInsertStruct->item;
    // A callback text is the parent's to give; the object starts empty.
    const BOOL hasText = (item.mask & TVIF_TEXT) && item.pszText != LPSTR_TEXTCALLBACKA;
    const DWORD data = (item.mask & TVIF_PARAM) ? static_cast<DWORD>(item.lParam) : 0;
    return AttachObject(hItem, hasText ? item.pszText : "", data);
}

HTREEITEM CItemTree::AttachObject(HTREEITEM hItem, LPCTSTR lpszText, DWORD dwData)
{
    CTItemBase *pObject = new CTItemBase(lpszText, dwData);
    TVITEMA item = {};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    item.lParam = reinterpret_cast<LPARAM>(pObject);
    if (!SetItem(&item)) {
        delete pObject;
        return NULL;
    }
    // A handle the control reused after a deletion that bypassed this tree.
    CTItemBase *&slot = m_objects[hItem];
    delete slot;
    slot = pObject;
    return hItem;
}

// --- objects ---------------------------------------------------------------

CTItemBase *CItemTree::GetItemObject(HTREEITEM hItem) const
{
    if (hItem == NULL || m_hWnd == NULL)
        return NULL;
    const auto found = m_objects.find(hItem);
    if (found == m_objects.end())
        return NULL;
    const DWORD_PTR data = CTreeCtrl::GetItemData(hItem);
    return data == reinterpret_cast<DWORD_PTR>(found->second) ? found->second : NULL;
}

void CItemTree::FreeObject(HTREEITEM hItem)
{
    CTItemBase *pObject = GetItemObject(hItem);
    if (pObject == NULL)
        return;
    CTreeCtrl::SetItemData(hItem, 0);
    m_objects.erase(hItem);
    delete pObject;
}

void CItemTree::FreeSubtreeObjects(HTREEITEM hItem)
{
    FreeObject(hItem);
    FreeItemObjects(GetChildItem(hItem));
}

void CItemTree::FreeItemObjects(HTREEITEM hFirst)
{
    for (HTREEITEM hItem = hFirst; hItem != NULL; hItem = GetNextSiblingItem(hItem))
        FreeSubtreeObjects(hItem);
}

// --- deletion --------------------------------------------------------------

BOOL CItemTree::DeleteItem(HTREEITEM hItem)
{
    if (hItem == TVI_ROOT)
        return DeleteAllItems();
    FreeSubtreeObjects(hItem);
    return CTreeCtrl::DeleteItem(hItem);
}

BOOL CItemTree::DeleteAllItems()
{
    FreeAllObjects();
    return CTreeCtrl::DeleteAllItems();
}

// Also frees an object whose item lost it to a raw value set through the
// control itself.
void CItemTree::FreeAllObjects()
{
    FreeItemObjects(GetRootItem());
    for (const auto &entry : m_objects)
        delete entry.second;
    m_objects.clear();
}

void CItemTree::OnDestroy()
{
    // Windows destroys a dialog's children without asking their objects,
    // so the objects go here rather than in an override of DestroyWindow.
    FreeAllObjects();
    Default();
}

// --- item values -----------------------------------------------------------

BOOL CItemTree::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem)
{
    if (CTItemBase *pObject = GetItemObject(hItem))
        pObject->m_strText = lpszItem ? lpszItem : "";
    return CTreeCtrl::SetItemText(hItem, lpszItem);
}

CString CItemTree::GetItemText(HTREEITEM hItem) const
{
    if (CTItemBase *pObject = GetItemObject(hItem))
        return pObject->GetText();
    return CTreeCtrl::GetItemText(hItem);
}

BOOL CItemTree::SetItemData(HTREEITEM hItem, DWORD dwData)
{
    if (CTItemBase *pObject = GetItemObject(hItem)) {
        pObject->m_dwData = dwData;
        return TRUE;
    }
    return CTreeCtrl::SetItemData(hItem, dwData);
}

DWORD CItemTree::GetItemData(HTREEITEM hItem) const
{
    CTItemBase *pObject = GetItemObject(hItem);
    return pObject ? pObject->m_dwData : 0;
}

BOOL CItemTree::SetItemColor(HTREEITEM hItem, COLORREF crText)
{
    CTItemBase *pObject = GetItemObject(hItem);
    if (pObject == NULL)
        return FALSE;
    pObject->m_crText = crText;
    return TRUE;
}

// --- painting --------------------------------------------------------------

void CItemTree::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CMemoryDC memory(&dc, client);
    // The control draws lines, buttons and images; the texts are redone.
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memory.GetSafeHdc()), 0);

    const HFONT hTreeFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CFont normal, bold;
    CreateWeightedFont(normal, hTreeFont, FW_NORMAL);
    CreateWeightedFont(bold, hTreeFont, FW_BOLD);
    for (HTREEITEM hItem = GetFirstVisibleItem(); hItem != NULL; hItem = GetNextVisibleItem(hItem)) {
        CRect row, overlap;
        if (!GetItemRect(hItem, &row, FALSE))
            continue;
        if (overlap.IntersectRect(&row, &dc.m_ps.rcPaint))
            PaintItem(&memory, hItem, &normal, &bold);
    }
}

CRect CItemTree::TextRect(HTREEITEM hItem) const
{
    CRect textRect, client;
    GetItemRect(hItem, &textRect, TRUE);
    GetClientRect(&client);
    textRect.right = std::min(textRect.right, client.right);
    return textRect;
}

LRESULT CItemTree::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != TextRoomMessage())
        return CTreeCtrl::WindowProc(message, wParam, lParam);
    HTREEITEM hItem = GetFirstVisibleItem();
    for (WPARAM index = 0; hItem != NULL && index < wParam; ++index)
        hItem = GetNextVisibleItem(hItem);
    CRect row;
    if (hItem == NULL || !GetItemRect(hItem, &row, FALSE))
        return TEXT_ROOM_END;
    TextRoom &room = *reinterpret_cast<TextRoom *>(lParam);
    const CTItemBase *pObject = GetItemObject(hItem);
    lstrcpynA(room.text, pObject ? pObject->m_strText : CTreeCtrl::GetItemText(hItem), sizeof room.text);
    room.room = pObject ? CTItemBase::TextRect(TextRect(hItem)) : TextRect(hItem);
    room.format = ITEM_TEXT_FORMAT;
    room.font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    return TEXT_ROOM_FILLED;
}

void CItemTree::PaintItem(CDC *pDC, HTREEITEM hItem, CFont *pNormal, CFont *pBold)
{
    CRect textRect = TextRect(hItem);
    const UINT state = GetItemState(hItem, TVIS_BOLD | HIGHLIGHT_STATES);
    CFont *pOldFont = pDC->SelectObject((state & TVIS_BOLD) ? pBold : pNormal);
    const UINT highlight = state & HIGHLIGHT_STATES;

    if (CTItemBase *pObject = GetItemObject(hItem)) {
        if (highlight)
            pObject->Draw(pDC, &textRect, highlight, ITEM_TEXT_FORMAT,
                          ::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_HIGHLIGHT));
        else
            pObject->Draw(pDC, &textRect, highlight, ITEM_TEXT_FORMAT, pObject->m_crText,
                          ITEM_BACKGROUND);
    } else {
        const CString text = CTreeCtrl::GetItemText(hItem);
        pDC->FillSolidRect(&textRect, ITEM_BACKGROUND);
        if (highlight) {
            pDC->FillSolidRect(&textRect, ::GetSysColor(COLOR_HIGHLIGHT));
            pDC->DrawFocusRect(&textRect);
            const COLORREF oldBack = pDC->SetBkColor(::GetSysColor(COLOR_HIGHLIGHT));
            const COLORREF oldText = pDC->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
            pDC->DrawText(text, &textRect, ITEM_TEXT_FORMAT);
            pDC->SetBkColor(oldBack);
            pDC->SetTextColor(oldText);
        } else {
            pDC->DrawText(text, &textRect, ITEM_TEXT_FORMAT);
        }
    }
    pDC->SelectObject(pOldFont);
}
