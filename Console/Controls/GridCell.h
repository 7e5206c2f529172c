// The cells of a grid list: every cell of every row is a CJBaseCell or one
// of its picture cells. A cell draws itself into the rectangle the list
// gives it, keeps that rectangle for hit tests, and may react to a click.
// The list creates the cells (plain ones with new, the others from their
// run-time class) and owns them.
//
// The picture cells share class-wide pictures, loaded once from a skin
// folder by LoadGridCellPictures; until then they draw nothing.
#pragma once

#include <CDC.h>
#include <CObject.h>
#include <CString.h>
#include <CWnd.h>

#include <commctrl.h>

class CGridList;

class CJBaseCell : public CObject
{
    DECLARE_DYNAMIC(CJBaseCell)

public:
    CJBaseCell() { ++s_liveCount; }
    ~CJBaseCell() override { --s_liveCount; }
    CJBaseCell(const CJBaseCell &) = delete;
    CJBaseCell &operator=(const CJBaseCell &) = delete;

    // Takes the other cell's text and value; owner, rectangle and image stay.
    virtual void Copy(const CJBaseCell &other);
    // Draws into *rect, which it stores first; the insets it applies for the
    // image and the text are left in *rect.
    virtual void Draw(CDC *pDC, RECT *rect, UINT itemState, UINT format, COLORREF textColor,
                      COLORREF backColor);
    // Narrows the cell's rectangle to where Draw puts the text; FALSE when
    // the cell shows none.
    virtual BOOL TextArea(RECT *rect) const;
    virtual void OnMouseEnter() {}
    virtual void OnMouseLeave() {}
    virtual void OnMouseMove(POINT point) { (void)point; }
    // (x, y) relative to the top-left corner of the last drawn rectangle.
    virtual void OnClick(int item, int subItem, int x, int y);
    // The rectangle of the last Draw, in the list's client coordinates.
    virtual const RECT *GetRect() const { return &m_rect; }

    // How many cells exist in the process: what the lists have not freed.
    static int LiveCount() { return s_liveCount; }

    CGridList *m_pOwner = nullptr;
    RECT m_rect = {0, 0, 0, 0};
    CString m_text;
    int m_value = 0;
    // Into the owner's normal image list; -1 for none.
    int m_image = -1;

protected:
    void StoreRect(const RECT &rect) { m_rect = rect; }
    // The owner's normal image list when the cell has an image.
    HIMAGELIST OwnerImages() const;

private:
    static int s_liveCount;
};

// Pass, query or deny (values 0, 1, 2) as three pictures side by side; a
// click on one of them chooses it and tells the notify window.
class CJActionCell : public CJBaseCell
{
    DECLARE_DYNCREATE(CJActionCell)

public:
    void Draw(CDC *pDC, RECT *rect, UINT itemState, UINT format, COLORREF textColor,
              COLORREF backColor) override;
    BOOL TextArea(RECT *) const override { return FALSE; }
    void OnClick(int item, int subItem, int x, int y) override;

    // Sent (item, sub-item) when a click changes the value.
    CWnd *m_pNotifyWnd = nullptr;
    UINT m_notifyMessage = 0;
};

// Idle (value 0) or active (any other value).
class CJActiveCell : public CJBaseCell
{
    DECLARE_DYNCREATE(CJActiveCell)

public:
    void Draw(CDC *pDC, RECT *rect, UINT itemState, UINT format, COLORREF textColor,
              COLORREF backColor) override;
    BOOL TextArea(RECT *) const override { return FALSE; }
};

// The key, shown only for value 0: the program may still pass in lock mode.
class CJKeyCell : public CJBaseCell
{
    DECLARE_DYNCREATE(CJKeyCell)

public:
    void Draw(CDC *pDC, RECT *rect, UINT itemState, UINT format, COLORREF textColor,
              COLORREF backColor) override;
    BOOL TextArea(RECT *) const override { return FALSE; }
};

// The option button, always shown.
class CJOptionCell : public CJBaseCell
{
    DECLARE_DYNCREATE(CJOptionCell)

public:
    void Draw(CDC *pDC, RECT *rect, UINT itemState, UINT format, COLORREF textColor,
              COLORREF backColor) override;
    BOOL TextArea(RECT *) const override { return FALSE; }
};

// Loads the picture cells' shared pictures from the skin folder (with its
// trailing backslash); TRUE when every one loaded. A picture that fails
// draws nothing.
BOOL LoadGridCellPictures(LPCTSTR skinFolder);
// Lets the shared pictures go before the picture library is shut down.
void ReleaseGridCellPictures();
