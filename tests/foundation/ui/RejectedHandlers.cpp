// Must not compile: a map entry whose handler has the wrong signature. Built
// once per case (REJECT_<case> defined) by the tests that expect the error;
// each case is one entry form with a handler that almost fits.
#include "FoundationUi.h"

class CRejecting : public CWnd
{
protected:
#if defined(REJECT_create)
    afx_msg void OnCreate(LPCREATESTRUCT);   // the result is the creation's
#define REJECTED_ENTRY ON_WM_CREATE()
#elif defined(REJECT_destroy)
    afx_msg int OnDestroy();
#define REJECTED_ENTRY ON_WM_DESTROY()
#elif defined(REJECT_paint)
    afx_msg void OnPaint(CDC *);
#define REJECTED_ENTRY ON_WM_PAINT()
#elif defined(REJECT_erasebkgnd)
    afx_msg void OnEraseBkgnd(CDC *);
#define REJECTED_ENTRY ON_WM_ERASEBKGND()
#elif defined(REJECT_size)
    afx_msg void OnSize(UINT, CSize);
#define REJECTED_ENTRY ON_WM_SIZE()
#elif defined(REJECT_sizing)
    afx_msg void OnSizing(UINT, RECT);
#define REJECTED_ENTRY ON_WM_SIZING()
#elif defined(REJECT_showwindow)
    afx_msg void OnShowWindow(BOOL);
#define REJECTED_ENTRY ON_WM_SHOWWINDOW()
#elif defined(REJECT_timer)
    afx_msg void OnTimer();
#define REJECTED_ENTRY ON_WM_TIMER()
#elif defined(REJECT_lbuttondown)
    afx_msg void OnLButtonDown(UINT, POINT *);
#define REJECTED_ENTRY ON_WM_LBUTTONDOWN()
#elif defined(REJECT_lbuttonup)
    afx_msg BOOL OnLButtonUp(UINT, CPoint);
#define REJECTED_ENTRY ON_WM_LBUTTONUP()
#elif defined(REJECT_lbuttondblclk)
    afx_msg void OnLButtonDblClk(CPoint);
#define REJECTED_ENTRY ON_WM_LBUTTONDBLCLK()
#elif defined(REJECT_mousemove)
    afx_msg void OnMouseMove(UINT, CPoint, UINT);
#define REJECTED_ENTRY ON_WM_MOUSEMOVE()
#elif defined(REJECT_setcursor)
    afx_msg BOOL OnSetCursor(HWND, UINT, UINT);
#define REJECTED_ENTRY ON_WM_SETCURSOR()
#elif defined(REJECT_nchittest)
    afx_msg LRESULT OnNcHitTest(CPoint);
#define REJECTED_ENTRY ON_WM_NCHITTEST()
#elif defined(REJECT_keydown)
    afx_msg void OnKeyDown(WPARAM, LPARAM);
#define REJECTED_ENTRY ON_WM_KEYDOWN()
#elif defined(REJECT_setfocus)
    afx_msg void OnSetFocus(HWND);
#define REJECTED_ENTRY ON_WM_SETFOCUS()
#elif defined(REJECT_killfocus)
    afx_msg void OnKillFocus();
#define REJECTED_ENTRY ON_WM_KILLFOCUS()
#elif defined(REJECT_querydragicon)
    afx_msg HICON *OnQueryDragIcon();
#define REJECTED_ENTRY ON_WM_QUERYDRAGICON()
#elif defined(REJECT_ctlcolor_reflect)
    afx_msg HBRUSH CtlColor(HDC, UINT);
#define REJECTED_ENTRY ON_WM_CTLCOLOR_REFLECT()
#elif defined(REJECT_message)
    afx_msg void OnMine(WPARAM, LPARAM);
#define REJECTED_ENTRY ON_MESSAGE(WM_APP, OnMine)
#elif defined(REJECT_command)
    afx_msg void OnMine(UINT);
#define REJECTED_ENTRY ON_COMMAND(1000, OnMine)
#elif defined(REJECT_control)
    afx_msg BOOL OnMine();
#define REJECTED_ENTRY ON_CONTROL(EN_KILLFOCUS, 1000, OnMine)
#elif defined(REJECT_bn_clicked)
    afx_msg void OnMine(NMHDR *, LRESULT *);
#define REJECTED_ENTRY ON_BN_CLICKED(1000, OnMine)
#elif defined(REJECT_notify)
    afx_msg void OnMine(NMHDR *);
#define REJECTED_ENTRY ON_NOTIFY(NM_CLICK, 1000, OnMine)
#elif defined(REJECT_control_reflect)
    afx_msg BOOL OnMine();
#define REJECTED_ENTRY ON_CONTROL_REFLECT(STN_CLICKED, OnMine)
#elif defined(REJECT_control_reflect_ex)
    afx_msg void OnMine();
#define REJECTED_ENTRY ON_CONTROL_REFLECT_EX(STN_CLICKED, OnMine)
#elif defined(REJECT_notify_reflect)
    afx_msg BOOL OnMine(NMHDR *, LRESULT *);
#define REJECTED_ENTRY ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnMine)
#elif defined(REJECT_notify_reflect_ex)
    afx_msg void OnMine(NMHDR *, LRESULT *);
#define REJECTED_ENTRY ON_NOTIFY_REFLECT_EX(NM_CLICK, OnMine)
#elif defined(REJECT_command_range)
    afx_msg void OnMine();
#define REJECTED_ENTRY ON_COMMAND_RANGE(1000, 1010, OnMine)
#elif defined(REJECT_control_range)
    afx_msg void OnMine(int, int);
#define REJECTED_ENTRY ON_CONTROL_RANGE(BN_CLICKED, 1000, 1010, OnMine)
#endif
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRejecting, CWnd)
    REJECTED_ENTRY
END_MESSAGE_MAP()
