#include "GridCell.h"

#include "GridList.h"
#include "SkinBitmap.h"

#include <commctrl.h>

#include <memory>

IMPLEMENT_DYNAMIC(CJBaseCell, CObject)
IMPLEMENT_DYNCREATE(CJActionCell, CJBaseCell)
IMPLEMENT_DYNCREATE(CJActiveCell, CJBaseCell)
IMPLEMENT_DYNCREATE(CJKeyCell, CJBaseCell)
IMPLEMENT_DYNCREATE(CJOptionCell, CJBaseCell)

int CJBaseCell::s_liveCount = 0;

namespace {

enum CellPicture { Pass, Query, Deny, Idle, Active, Key, Option, PictureCount };

const char *const kPictureFiles[PictureCount] = {
    "PassCell.bmp", "QueryCell.bmp", "DenyCell.bmp", "Act1.bmp", "Act2.bmp", "KeyCell.bmp",
    "OptionButCell.bmp",
};

// Made on first use and gone at ReleaseGridCellPictures, so no picture
// outlives the picture library.
std::unique_ptr<CSkinBitmap> s_pictures[PictureCount];

void DrawPicture(CellPicture picture, CDC *pDC, const RECT &rect)
{
    if (s_pictures[picture])
        s_pictures[picture]->DrawMasked(rect.left, rect.top, pDC);
}

// The action boxes, relative to the cell, right and bottom excluded.
struct ActionBox
{
    RECT box;
    int value;
};
const ActionBox kActionBoxes[] = {
    {{11, 2, 20, 12}, 0},
    {{24, 2, 32, 12}, 1},
    {{37, 2, 47, 12}, 2},
};

} // namespace

BOOL LoadGridCellPictures(LPCTSTR skinFolder)
{
    BOOL all = TRUE;
    for (int i = 0; i < PictureCount; ++i) {
        s_pictures[i].reset(new CSkinBitmap);
        all &= s_pictures[i]->Load(CString(skinFolder) + kPictureFiles[i]);
    }
    return all;
}

void ReleaseGridCellPictures()
{
    for (auto &picture : s_pictures)
        picture.reset();
}

void CJBaseCell::Copy(const CJBaseCell &other)
{
    if (&other == this)
        return;
    m_text = other.m_text;
    m_value = other.m_value;
}

HIMAGELIST CJBaseCell::OwnerImages() const
{
    if (m_image == -1 || !m_pOwner)
        return NULL;
    return reinterpret_cast<HIMAGELIST>(m_pOwner->SendMessage(LVM_GETIMAGELIST, LVSIL_NORMAL));
}

BOOL CJBaseCell::TextArea(RECT *rect) const
{
    // The text keeps its place beside the image whether the image fitted or not.
    if (OwnerImages())
        rect->left += 18;
    rect->left += 4;
    rect->right -= 2;
    rect->top += 1;
    return !m_text.IsEmpty();
}

void CJBaseCell::Draw(CDC *pDC, RECT *rect, UINT itemState, UINT format, COLORREF textColor,
                      COLORREF backColor)
{
    (void)itemState;
    StoreRect(*rect);
    IMAGEINFO info;
    if (HIMAGELIST images = OwnerImages()) {
        if (ImageList_GetImageInfo(images, m_image, &info)) {
            const int width = info.rcImage.right - info.rcImage.left;
            const int height = info.rcImage.bottom - info.rcImage.top;
            if (rect->left + width + 1 <= rect->right + 2 && rect->top + height + 1 <= rect->bottom + 2)
                ImageList_Draw(images, m_image, pDC->GetSafeHdc(), rect->left + 2, rect->top,
                               ILD_TRANSPARENT);
        }
    }
    if (!TextArea(rect))
        return;
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(textColor);
    pDC->SetBkColor(backColor);
    pDC->DrawText(m_text, rect, format);
}

void CJBaseCell::OnClick(int item, int subItem, int x, int y)
{
    (void)item, (void)subItem, (void)x, (void)y;
}

void CJActionCell::Draw(CDC *pDC, RECT *rect, UINT, UINT, COLORREF, COLORREF)
{
    StoreRect(*rect);
    if (m_value >= 0 && m_value <= 2)
        DrawPicture(static_cast<CellPicture>(Pass + m_value), pDC, *rect);
}

void CJActionCell::OnClick(int item, int subItem, int x, int y)
{
    const int old = m_value;
    const POINT point = {x, y};
    for (const ActionBox &action : kActionBoxes) {
        if (PtInRect(&action.box, point)) {
            m_value = action.value;
            break;
        }
    }
    if (m_value != old && m_pNotifyWnd)
        m_pNotifyWnd->SendMessage(m_notifyMessage, item, subItem);
}

void CJActiveCell::Draw(CDC *pDC, RECT *rect, UINT, UINT, COLORREF, COLORREF)
{
    StoreRect(*rect);
    DrawPicture(m_value != 0 ? Active : Idle, pDC, *rect);
}

void CJKeyCell::Draw(CDC *pDC, RECT *rect, UINT, UINT, COLORREF, COLORREF)
{
    StoreRect(*rect);
    if (m_value == 0)
        DrawPicture(Key, pDC, *rect);
}

void CJOptionCell::Draw(CDC *pDC, RECT *rect, UINT, UINT, COLORREF, COLORREF)
{
    StoreRect(*rect);
    DrawPicture(Option, pDC, *rect);
}
