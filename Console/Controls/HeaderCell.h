// The cells of a grid header, one per column: a plain cell draws the
// column's title; an icon cell draws a picture in its place.
#pragma once

#include "SkinBitmap.h"

#include <CDC.h>
#include <CObject.h>
#include <CString.h>

class CJHBaseCell : public CObject
{
    DECLARE_DYNAMIC(CJHBaseCell)

public:
    CJHBaseCell() = default;
    CJHBaseCell(const CJHBaseCell &) = delete;
    CJHBaseCell &operator=(const CJHBaseCell &) = delete;

    // The text 2 pixels in from the left, in the given DrawText format.
    virtual void Draw(CDC *pDC, RECT rect, CString text, UINT format);
    // The plain cell has no picture.
    virtual void SetImage(LPCTSTR path) { (void)path; }

    // Whether the sort arrow may be drawn beside the title.
    BOOL m_bArrow = TRUE;
};

class CJHIconCell : public CJHBaseCell
{
    DECLARE_DYNCREATE(CJHIconCell)

public:
    // The picture over its mask at the top-left corner; no text.
    void Draw(CDC *pDC, RECT rect, CString text, UINT format) override;
    void SetImage(LPCTSTR path) override { m_picture.Load(path); }

private:
    CSkinBitmap m_picture;
};
