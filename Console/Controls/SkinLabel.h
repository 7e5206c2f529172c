// CSkinLabel: the console's text control. A static control that draws its
// window text in its own colour and font over the skinned window behind it,
// as a plain label or as the caption of a group with a thin frame around
// the group's area; it can show a hand cursor, for labels that act as links.
// Like a static control, a plain label with SS_NOPREFIX draws '&' as itself:
// the style of every label that shows program data.
#pragma once

#include <CFont.h>
#include <CStatic.h>
#include <CString.h>

class CSkinLabel : public CStatic
{
public:
    explicit CSkinLabel(COLORREF textColor = RGB(0, 0, 0)) : m_textColor(textColor) {}
    ~CSkinLabel() override;

    // Shows at the next painting.
    void SetTextColor(COLORREF color) { m_textColor = color; }
    // Replaces the label's own font; the face is cut to 31 characters. From
    // the parent: the parent's font with the given height, weight, italic
    // and underline. The font is the label's drawing alone; the window's
    // own font (WM_SETFONT) is left as it is.
    void SetLabelFont(const CString &face, int height, int weight, BOOL italic, BOOL underline,
                      BOOL fromParent);

    // Attach the label to the parent's static control of that id, opaque
    // over its back colour, in Arial 9 points: an orange, a dark and a
    // black text.
    BOOL AttachAccent(UINT id, CWnd *parent);
    BOOL AttachDark(UINT id, CWnd *parent);
    BOOL AttachPlain(UINT id, CWnd *parent);

    // The hand cursor of the system's help program (its cursor 106), shown
    // while the mouse is over the label; without that program or cursor the
    // label keeps the normal cursor. Loaded once.
    void LoadHandCursor();
    // The same from a given module.
    void LoadHandCursorFrom(LPCTSTR modulePath);
    HCURSOR GetHandCursor() const { return m_hHandCursor; }

    // Draw as a group caption with a frame around the control.
    BOOL m_bFramed = FALSE;

protected:
    // Answers the text-room request with the room and format of PaintPlain
    // or PaintFramed.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnPaint();
    afx_msg HBRUSH CtlColor(CDC *pDC, UINT nCtlColor);
    afx_msg BOOL OnSetCursor(CWnd *pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    BOOL AttachPreset(UINT id, CWnd *parent, COLORREF backColor, COLORREF textColor);
    CFont *ParentFont() const;
    UINT PlainFormat() const;
    void PaintPlain(CDC &dc);
    void PaintFramed(CDC &dc);

    HCURSOR m_hHandCursor = NULL;
    COLORREF m_backColor = RGB(203, 203, 203);
    COLORREF m_textColor;
    CFont m_font;
    BOOL m_bTransparent = TRUE;
};
