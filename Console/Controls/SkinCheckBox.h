// CSkinCheckBox: a check box (or radio button) drawn by hand on a static
// control: a 12-by-12 box, a three-stroke mark when checked, and the text
// from x = 16, in black, or in grey when switched off.
//
// A click changes the mark before the owner hears of it: the owner's
// STN_CLICKED handler reads the new state.
#pragma once

#include <CRect.h>
#include <CStatic.h>

class CSkinCheckBox : public CStatic
{
public:
    // Switches clicks on or off and draws the box accordingly.
    void EnableCheck(BOOL enable);

    // Read and written by the owner; changed by clicks.
    BOOL m_bChecked = FALSE;
    // 0: a click toggles; 1: a click only checks (a radio button, whose
    // owner clears its partners).
    int m_nMode = 0;
    BOOL m_bEnabled = TRUE;

protected:
    // Adds SS_NOTIFY, so that the static reports clicks.
    void PreSubclassWindow() override;
    // Answers the text-room request with the room and format of OnPaint.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnPaint();
    // Drawn again in this control's look: some static controls paint
    // themselves in their own look at once when switched on or off.
    afx_msg LRESULT OnEnableChanged(WPARAM wParam, LPARAM lParam);
    // Keeps the new text without the static's painting of it; the window
    // behind is painted again under the control, then the control.
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    // The control's own click, reflected; FALSE lets the owner have it too.
    afx_msg BOOL OnClicked();

private:
    void RepaintWithBackground();
    HFONT ParentFont() const;
    // Right of the box, in the parent's font.
    CRect TextArea() const;

    DECLARE_MESSAGE_MAP()
};
