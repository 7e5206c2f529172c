// CSkinButton: an owner-drawn push button whose look is one cell of a
// picture strip. Columns are the states: 0 normal, 1 hover, 2 pressed,
// 3 checked (or switched off); rows are variants (maximise / restore,
// locked / unlocked ...). A strip with a mask makes the button transparent
// over its window's background.
//
// The cell is as large as the button window: owners size the button to
// the state width and height, or it shows parts of the neighbouring cells.
//
// Hover follows the pointer through the mouse capture: the first move over
// the button takes the capture, a move outside gives it back. Each change
// has the parent repaint its background under the button.
#pragma once

#include "BitmapLayer.h"
#include "SkinBitmap.h"

#include <CBitmap.h>
#include <CButton.h>
#include <CDC.h>
#include <CString.h>
#include <CToolTipCtrl.h>

class CSkinButton : public CButton
{
public:
    CSkinButton() = default;
    ~CSkinButton() override;

    // Cuts the picture file into `states` columns (image over mask when
    // hasMask). A file that does not load leaves the old picture. States
    // below 1 count as 1.
    void SetBitmap(const CString &path, int states, BOOL hasMask);
    // The strip holds `rows` rows of cells; below 1 counts as 1.
    void SetRows(int rows);
    void SetRow(int row);
    // Checked: the checked column, and no clicks.
    void SetCheck(BOOL check);
    // A switched-off button shows the checked column. Returns TRUE.
    BOOL EnableButton(BOOL enable);
    void SetToolTipText(const CString &text);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    // Draws the cell of the current state and row into the rectangle; the
    // text and the disabled flag play no part.
    void DrawState(CDC *pDC, const CString &text, RECT *rect, BOOL selected, BOOL disabled);

    BOOL PreTranslateMessage(MSG *pMsg) override;

    // The size of one cell, read by the owners' layouts.
    int m_nStateWidth = 0;
    int m_nStateHeight = 0;
    // When set, the focus turns the hover look on and keeps it after the
    // pointer leaves.
    BOOL m_bFocusHover = FALSE;

protected:
    // The tool tip, then the owner-drawn style.
    void PreSubclassWindow() override;

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnSetFocus(CWnd *pOldWnd);
    afx_msg void OnKillFocus(CWnd *pNewWnd);
    // Erases nothing: the parent's background shows through a masked button.
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);

private:
    // A 1:1 copy of the picture's rectangle into the layer.
    void CreateLayer(CBitmapLayer &layer, CSkinBitmap &picture, const RECT &part);
    // Has the parent repaint its background under the button.
    void InvalidateUnderneath();

    BOOL m_bChecked = FALSE;
    BOOL m_bHasFocus = FALSE;
    BOOL m_bHover = FALSE;
    CBitmapLayer m_image;       // the strip's pictures
    CBitmapLayer m_mask;        // their masks, for a masked strip
    CToolTipCtrl m_toolTip;
    CString m_toolTipText;
    int m_nRow = 0;

    DECLARE_MESSAGE_MAP()
};
