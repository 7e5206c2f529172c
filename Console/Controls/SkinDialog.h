// CSkinDialog: the base of every window painted from skin pictures. It gives
// the window its frameless look from nineteen pieces, a region with notched
// corners, dragging by a band at the top, resizing by thin borders and a
// grip, the Esc and F1 keys, and the help topic of the window's current
// view.
//
// The base paints nothing by itself: a derived window loads the pieces it
// uses while it initialises and calls the painters, in its own order, from
// its WM_PAINT handler into a CMemoryDC. A piece that did not load counts as
// 0 by 0 in every rule below and draws nothing.
//
// Geometry, with W x H the client size and w(P), h(P) the size of piece P:
//   title band    title left at (0, 0); title middle stretched to the
//                 title right, which is cut to h(title left) rows;
//   bottom band   each piece placed by its own height at the bottom;
//   borders       left from h(title left), right from h(title right),
//                 down to their bottom pieces;
//   tool bar      under the title middle, between the borders;
//   client        (L, T)-(R, B) with L = w(left border),
//                 R = W - w(right border), T = h(title middle) +
//                 h(tool bar), B = H - h(bottom middle): the fill, the
//                 top and bottom bands, then the side strips over them;
//   size grip     masked, its top-left corner at (W - 16, H - 16).
#pragma once

#include "SkinBitmap.h"
#include "SkinLabel.h"

#include <CDialog.h>
#include <CString.h>

class CSkinDialog : public CDialog
{
public:
    CSkinDialog(UINT nIDTemplate, CWnd *pParent, LPCTSTR captionText);

    BOOL OnInitDialog() override;
    // EndDialog(IDOK) at once: no data exchange.
    void OnOK() override;
    // EndDialog(IDCANCEL).
    void OnCancel() override;

    // The window region: the client rectangle less three pixels at each
    // corner (the corner and its two neighbours along the edges). Windows
    // of another shape override it.
    virtual void SetWindowRegion();

    // The caption in the default look: the text in bold Arial over a white
    // shadow one pixel to the right and below. No labels for NULL.
    virtual void CreateCaption(LPCTSTR text);
    // The caption in a chosen face, colour and weight, over a black shadow.
    void CreateCaptionEx(LPCTSTR text, LPCTSTR face, COLORREF textColor, int height, int weight,
                         BYTE italic, BYTE underline);
    // Both labels of the caption take the text.
    void SetCaptionText(LPCTSTR text);

    // The painters; each copies its pieces into pDC.
    virtual void DrawTop(CDC *pDC);
    virtual void DrawBottom(CDC *pDC);
    virtual void DrawLeft(CDC *pDC);
    virtual void DrawRight(CDC *pDC);
    virtual void DrawToolBar(CDC *pDC);
    // The fill, the top and bottom bands, then the side strips.
    virtual void DrawClient(CDC *pDC);
    virtual void DrawClientTop(CDC *pDC);
    virtual void DrawClientBottom(CDC *pDC);
    virtual void DrawSizeBox(CDC *pDC);

    // The help topic of the current view; empty when it has none.
    CString GetHelpTopic() const { return m_helpTopic; }

    // The border test at a client point of a window of the given client
    // size: HTBOTTOMRIGHT over the grip, the border codes over the left and
    // top borders (three pixels) and the right and bottom ones (two),
    // else HTCLIENT.
    static UINT HitTestBorder(POINT client, SIZE size);

protected:
    // The pieces every page of the main window paints: its title tab
    // (titlePicture), the page title band and the framed client area, from
    // the skin folder (with its trailing backslash).
    void LoadPagePieces(const CString &skinFolder, LPCTSTR titlePicture);
    // The frame of the small pop-up windows (the slide-in alert, the zone
    // editor): title band, bottom band, borders and the client fill.
    void LoadPopupPieces(const CString &skinFolder);

    afx_msg UINT OnNcHitTest(CPoint point);
    // Esc: OnCancel; F1: the application's help for 0x20000 + the template
    // id. Then the default processing, unless OnCancel ended the window.
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    // The pieces, in the order of the skin's file list.
    CSkinBitmap m_titleLeft;
    CSkinBitmap m_titleMiddle;
    CSkinBitmap m_titleRight;
    CSkinBitmap m_bottomLeft;
    CSkinBitmap m_bottomMiddle;
    CSkinBitmap m_bottomRight;
    CSkinBitmap m_leftBorder;
    CSkinBitmap m_rightBorder;
    CSkinBitmap m_sizeGrip;     // image over mask
    CSkinBitmap m_toolBar;
    CSkinBitmap m_clientTopLeft;
    CSkinBitmap m_clientTopMiddle;
    CSkinBitmap m_clientTopRight;
    CSkinBitmap m_clientBottomLeft;
    CSkinBitmap m_clientBottomMiddle;
    CSkinBitmap m_clientBottomRight;
    CSkinBitmap m_clientLeft;
    CSkinBitmap m_clientRight;
    CSkinBitmap m_clientFill;

    // The band 4 <= y < 30 moves the window.
    BOOL m_bCaptionDrag = FALSE;
    // The borders and the grip size the window.
    BOOL m_bResize = FALSE;
    CString m_helpTopic;

    CSkinLabel m_captionText;
    CSkinLabel m_captionShadow;

private:
    SIZE ClientSize() const;
    // The client area inside the frame: (L, T)-(R, B).
    CRect ClientFrame() const;
    void CreateCaptionPair(LPCTSTR text, const RECT &shadowRect, COLORREF shadowColor,
                           const RECT &textRect, COLORREF textColor, LPCTSTR face, int height,
                           int weight, BYTE italic, BYTE underline);

    DECLARE_MESSAGE_MAP()
};
