// CTItemBase: the object behind one item of a CItemTree. It keeps the
// item's text, a value for the tree's owner and a text colour, and draws
// the item's text rectangle.
#pragma once

#include <CDC.h>
#include <CObject.h>
#include <CString.h>

class CTItemBase : public CObject
{
    DECLARE_DYNAMIC(CTItemBase)

public:
    explicit CTItemBase(LPCTSTR lpszText = "", DWORD dwData = 0);
    CTItemBase(const CTItemBase &other);
    CTItemBase &operator=(const CTItemBase &) = delete;
    ~CTItemBase() override;

    // Takes the other object's text, data and colour.
    virtual void Copy(const CTItemBase &other);
    // Fills the rectangle with crBack and writes the text into it in
    // crText; a selected or drop-highlighted item gets a focus rectangle.
    // Where Draw puts the text within the item's rectangle.
    static RECT TextRect(const RECT &item);
    virtual void Draw(CDC *pDC, RECT *pRect, UINT nState, UINT nFormat, COLORREF crText,
                      COLORREF crBack);

    CString GetText() const { return m_strText; }

    CString m_strText;
    DWORD m_dwData;
    COLORREF m_crText;

    // How many item objects exist in the program: a tree that loses one
    // leaks it, and tests watch this.
    static LONG LiveCount();
};
