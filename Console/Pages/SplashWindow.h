// CSplashWindow: the picture with the console's version line, shown while
// the console starts. It goes at its first timer message (its timer fires
// as soon as the message loop is idle), or at a key press or mouse click,
// which it swallows; when it goes it may show the main window.
#pragma once

#include <CBitmap.h>
#include <CWnd.h>

class CSplashWindow : public CWnd
{
public:
    ~CSplashWindow() override;

    // No splash window is made while this is off.
    static void EnableSplash(BOOL enabled);
    // Remembers whether the main window shows when the splash window goes;
    // makes the splash window when enabled and none is up.
    static void ShowSplash(CWnd *pParent, BOOL showMainWhenDone);
    // TRUE when the message closed the splash window and is consumed.
    static BOOL FilterAppMessage(MSG *pMsg);
    // Destroys the splash window; shows the main window if asked to.
    static void HideSplash();

    // The splash window on screen; NULL when there is none.
    static CSplashWindow *Current() { return s_current; }

protected:
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    CSplashWindow() = default;
    BOOL Create(CWnd *pParent);

    CBitmap m_picture;
    CBitmap *m_pPicture = NULL;

    static BOOL s_enabled;
    static BOOL s_showMain;
    static CSplashWindow *s_current;
};
