// Message maps: a class lists the messages, commands and notifications it
// handles, and the library calls the handler with the message cracked.
//
//     class CMyDialog : public CDialog {
//         afx_msg void OnPaint();
//         afx_msg void OnApply();
//         DECLARE_MESSAGE_MAP()
//     };
//     BEGIN_MESSAGE_MAP(CMyDialog, CDialog)
//         ON_WM_PAINT()
//         ON_BN_CLICKED(1001, OnApply)
//     END_MESSAGE_MAP()
//
// Each entry carries a small thunk, a function made for that one entry that
// knows the handler's exact type. A handler of the wrong signature is a
// compile error in the map ("cannot convert ... to AfxHandler<...>::Form");
// no member pointer is ever cast to a general type.
//
// A map chains to its base class's map; the first entry that matches, from
// the derived class towards the base, wins.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "CObject.h"
#include "CPoint.h"

class CCmdTarget;
class CWnd;
class CDC;

// Marks a handler in a class declaration; it means nothing to the compiler.
#define afx_msg

// The command of every help button, routed to the application's map.
#define ID_HELP 0xE146
// Help topics of windows are numbered from here plus the template id.
#define HID_BASE_RESOURCE 0x20000
// Asks a window for its help topic: wParam 0, lParam 0 for "its own".
#define WM_COMMANDHELP 0x0365

// The message as a thunk reads it.
struct AfxMessage
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;   // the command or control id of commands and notifications;
                // the CTLCOLOR_* kind of a reflected WM_CTLCOLOR*
};

// Calls the handler for the message; FALSE when the handler declined it (the
// "_EX" forms) and the message goes on. lResult receives the result.
typedef BOOL (*AFX_THUNK)(CCmdTarget *pTarget, const AfxMessage &msg, LRESULT &lResult);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;   // the message, or a reflected form (AFX_WM_REFLECT_BASE + ...)
    UINT nCode;      // notification code of commands and notifications
    UINT nID;        // first command or control id
    UINT nLastID;    // last id of a range; nID for a single one
    AFX_THUNK pfnThunk;   // NULL ends a map
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP *(*pfnGetBaseMap)();   // NULL for the root
    const AFX_MSGMAP_ENTRY *lpEntries;
};

// Reflected copies of the notifications a parent hands back to the control
// that sent them. WM_CTLCOLOR stands for all the WM_CTLCOLOR* messages.
enum : UINT
{
    AFX_WM_REFLECT_BASE = 0xBC00,
    AFX_WM_CTLCOLOR = 0x0019,
};

// The handler types, one per form of map entry.
template <class T>
struct AfxHandler
{
    typedef void (T::*Void)();
    typedef BOOL (T::*Bool)();
    typedef int (T::*Create)(LPCREATESTRUCT);
    typedef BOOL (T::*EraseBkgnd)(CDC *);
    typedef void (T::*Size)(UINT, int, int);
    typedef void (T::*Sizing)(UINT, LPRECT);
    typedef void (T::*ShowWindow)(BOOL, UINT);
    typedef void (T::*Timer)(UINT);
    typedef void (T::*Mouse)(UINT, CPoint);
    typedef BOOL (T::*SetCursor)(CWnd *, UINT, UINT);
    typedef UINT (T::*NcHitTest)(CPoint);
    typedef void (T::*Key)(UINT, UINT, UINT);
    typedef void (T::*Focus)(CWnd *);
    typedef HCURSOR (T::*QueryDragIcon)();
    typedef HBRUSH (T::*CtlColor)(CDC *, UINT);
    typedef LRESULT (T::*Message)(WPARAM, LPARAM);
    typedef void (T::*Notify)(NMHDR *, LRESULT *);
    typedef BOOL (T::*NotifyEx)(NMHDR *, LRESULT *);
    typedef void (T::*Range)(UINT);
};

// The wrappers a cracker hands to handlers; temporaries unless an object
// owns the handle (see CWnd::FromHandle and TempObjects.h).
CWnd *AfxWndFromHandle(HWND hWnd);
CDC *AfxDCFromHandle(HDC hDC);

// A point packed in lParam; the coordinates are signed (a captured mouse
// outside the window, a screen left of the primary monitor).
inline CPoint AfxPointFromLParam(LPARAM lParam)
{
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

// Crackers: turn the message into the handler's arguments and its result
// into the message's. One per handler form.
namespace AfxCrack
{
template <class T> BOOL Void(T *p, typename AfxHandler<T>::Void pfn, const AfxMessage &, LRESULT &)
{
    (p->*pfn)();
    return TRUE;
}
template <class T> BOOL Bool(T *p, typename AfxHandler<T>::Bool pfn, const AfxMessage &, LRESULT &)
{
    return (p->*pfn)();
}
template <class T> BOOL Create(T *p, typename AfxHandler<T>::Create pfn, const AfxMessage &m, LRESULT &r)
{
    r = (p->*pfn)(reinterpret_cast<LPCREATESTRUCT>(m.lParam));
    return TRUE;
}
template <class T> BOOL EraseBkgnd(T *p, typename AfxHandler<T>::EraseBkgnd pfn, const AfxMessage &m, LRESULT &r)
{
    r = (p->*pfn)(AfxDCFromHandle(reinterpret_cast<HDC>(m.wParam)));
    return TRUE;
}
template <class T> BOOL Size(T *p, typename AfxHandler<T>::Size pfn, const AfxMessage &m, LRESULT &)
{
    (p->*pfn)(static_cast<UINT>(m.wParam), LOWORD(m.lParam), HIWORD(m.lParam));
    return TRUE;
}
template <class T> BOOL Sizing(T *p, typename AfxHandler<T>::Sizing pfn, const AfxMessage &m, LRESULT &r)
{
    (p->*pfn)(static_cast<UINT>(m.wParam), reinterpret_cast<LPRECT>(m.lParam));
    r = TRUE;
    return TRUE;
}
template <class T> BOOL ShowWindow(T *p, typename AfxHandler<T>::ShowWindow pfn, const AfxMessage &m, LRESULT &)
{
    (p->*pfn)(static_cast<BOOL>(m.wParam), static_cast<UINT>(m.lParam));
    return TRUE;
}
template <class T> BOOL Timer(T *p, typename AfxHandler<T>::Timer pfn, const AfxMessage &m, LRESULT &)
{
    (p->*pfn)(static_cast<UINT>(m.wParam));
    return TRUE;
}
template <class T> BOOL Mouse(T *p, typename AfxHandler<T>::Mouse pfn, const AfxMessage &m, LRESULT &)
{
    (p->*pfn)(static_cast<UINT>(m.wParam), AfxPointFromLParam(m.lParam));
    return TRUE;
}
template <class T> BOOL SetCursor(T *p, typename AfxHandler<T>::SetCursor pfn, const AfxMessage &m, LRESULT &r)
{
    r = (p->*pfn)(AfxWndFromHandle(reinterpret_cast<HWND>(m.wParam)), LOWORD(m.lParam), HIWORD(m.lParam));
    return TRUE;
}
template <class T> BOOL NcHitTest(T *p, typename AfxHandler<T>::NcHitTest pfn, const AfxMessage &m, LRESULT &r)
{
    r = static_cast<LRESULT>(static_cast<int>((p->*pfn)(AfxPointFromLParam(m.lParam))));
    return TRUE;
}
template <class T> BOOL Key(T *p, typename AfxHandler<T>::Key pfn, const AfxMessage &m, LRESULT &)
{
    (p->*pfn)(static_cast<UINT>(m.wParam), LOWORD(m.lParam), HIWORD(m.lParam));
    return TRUE;
}
template <class T> BOOL Focus(T *p, typename AfxHandler<T>::Focus pfn, const AfxMessage &m, LRESULT &)
{
    (p->*pfn)(AfxWndFromHandle(reinterpret_cast<HWND>(m.wParam)));
    return TRUE;
}
template <class T> BOOL QueryDragIcon(T *p, typename AfxHandler<T>::QueryDragIcon pfn, const AfxMessage &, LRESULT &r)
{
    r = reinterpret_cast<LRESULT>((p->*pfn)());
    return TRUE;
}
// A NULL brush declines: the parent's own handling follows.
template <class T> BOOL CtlColor(T *p, typename AfxHandler<T>::CtlColor pfn, const AfxMessage &m, LRESULT &r)
{
    HBRUSH hBrush = (p->*pfn)(AfxDCFromHandle(reinterpret_cast<HDC>(m.wParam)), m.nID);
    r = reinterpret_cast<LRESULT>(hBrush);
    return hBrush != NULL;
}
template <class T> BOOL Message(T *p, typename AfxHandler<T>::Message pfn, const AfxMessage &m, LRESULT &r)
{
    r = (p->*pfn)(m.wParam, m.lParam);
    return TRUE;
}
template <class T> BOOL Notify(T *p, typename AfxHandler<T>::Notify pfn, const AfxMessage &m, LRESULT &r)
{
    (p->*pfn)(reinterpret_cast<NMHDR *>(m.lParam), &r);
    return TRUE;
}
template <class T> BOOL NotifyEx(T *p, typename AfxHandler<T>::NotifyEx pfn, const AfxMessage &m, LRESULT &r)
{
    return (p->*pfn)(reinterpret_cast<NMHDR *>(m.lParam), &r);
}
template <class T> BOOL Range(T *p, typename AfxHandler<T>::Range pfn, const AfxMessage &m, LRESULT &)
{
    (p->*pfn)(m.nID);
    return TRUE;
}
} // namespace AfxCrack

// The thunk of one entry: the handler's address must convert to the form's
// type, which is where a wrong signature is refused.
#define AFX_THUNK_OF(form, memberFn)                                                   \
    [](CCmdTarget *pTarget, const AfxMessage &msg, LRESULT &lResult) -> BOOL {         \
        AfxHandler<ThisClass>::form pfn = &ThisClass::memberFn;                        \
        return AfxCrack::form(static_cast<ThisClass *>(pTarget), pfn, msg, lResult);   \
    }

#define AFX_ENTRY(message, code, first, last, form, memberFn)                          \
    {message, static_cast<UINT>(code), static_cast<UINT>(first), static_cast<UINT>(last), \
     AFX_THUNK_OF(form, memberFn)},

class CCmdTarget : public CObject
{
public:
    // Looks the message up in this object's maps, calls the first matching
    // handler with msg and reports whether it took the message. Nothing of the
    // object is touched once the handler has returned: it may delete itself.
    BOOL DispatchToMap(UINT nMessage, UINT nCode, UINT nID, const AfxMessage &msg, LRESULT &lResult);

    // The first entry for the message, or NULL.
    const AFX_MSGMAP_ENTRY *FindMapEntry(UINT nMessage, UINT nCode, UINT nID) const;

    static const AFX_MSGMAP *GetThisMessageMap();

protected:
    virtual const AFX_MSGMAP *GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP()                                                          \
public:                                                                                \
    static const AFX_MSGMAP *GetThisMessageMap();                                      \
                                                                                       \
protected:                                                                             \
    const AFX_MSGMAP *GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
    const AFX_MSGMAP *theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP *theClass::GetThisMessageMap()                                    \
    {                                                                                  \
        using ThisClass [[maybe_unused]] = theClass;                                   \
        typedef baseClass TheBaseClass;                                                \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                              \
            {0, 0, 0, 0, NULL}};                                                       \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap,        \
                                              &messageEntries[0]};                     \
        return &messageMap;                                                            \
    }

// Window messages.
#define ON_WM_CREATE() AFX_ENTRY(WM_CREATE, 0, 0, 0, Create, OnCreate)
#define ON_WM_DESTROY() AFX_ENTRY(WM_DESTROY, 0, 0, 0, Void, OnDestroy)
#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, 0, 0, 0, Void, OnPaint)
#define ON_WM_ERASEBKGND() AFX_ENTRY(WM_ERASEBKGND, 0, 0, 0, EraseBkgnd, OnEraseBkgnd)
#define ON_WM_SIZE() AFX_ENTRY(WM_SIZE, 0, 0, 0, Size, OnSize)
#define ON_WM_SIZING() AFX_ENTRY(WM_SIZING, 0, 0, 0, Sizing, OnSizing)
#define ON_WM_SHOWWINDOW() AFX_ENTRY(WM_SHOWWINDOW, 0, 0, 0, ShowWindow, OnShowWindow)
#define ON_WM_TIMER() AFX_ENTRY(WM_TIMER, 0, 0, 0, Timer, OnTimer)
#define ON_WM_LBUTTONDOWN() AFX_ENTRY(WM_LBUTTONDOWN, 0, 0, 0, Mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ENTRY(WM_LBUTTONUP, 0, 0, 0, Mouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_ENTRY(WM_LBUTTONDBLCLK, 0, 0, 0, Mouse, OnLButtonDblClk)
#define ON_WM_MOUSEMOVE() AFX_ENTRY(WM_MOUSEMOVE, 0, 0, 0, Mouse, OnMouseMove)
#define ON_WM_SETCURSOR() AFX_ENTRY(WM_SETCURSOR, 0, 0, 0, SetCursor, OnSetCursor)
#define ON_WM_NCHITTEST() AFX_ENTRY(WM_NCHITTEST, 0, 0, 0, NcHitTest, OnNcHitTest)
#define ON_WM_KEYDOWN() AFX_ENTRY(WM_KEYDOWN, 0, 0, 0, Key, OnKeyDown)
#define ON_WM_SETFOCUS() AFX_ENTRY(WM_SETFOCUS, 0, 0, 0, Focus, OnSetFocus)
#define ON_WM_KILLFOCUS() AFX_ENTRY(WM_KILLFOCUS, 0, 0, 0, Focus, OnKillFocus)
#define ON_WM_QUERYDRAGICON() AFX_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, QueryDragIcon, OnQueryDragIcon)
#define ON_MESSAGE(message, memberFn) AFX_ENTRY(message, 0, 0, 0, Message, memberFn)

// Commands: code 0 is a menu command, and also takes BN_CLICKED (0) and
// STN_CLICKED (0) from a control of the same id.
#define ON_COMMAND(id, memberFn) AFX_ENTRY(WM_COMMAND, 0, id, id, Void, memberFn)
#define ON_COMMAND_RANGE(first, last, memberFn) AFX_ENTRY(WM_COMMAND, 0, first, last, Range, memberFn)
#define ON_CONTROL(code, id, memberFn) AFX_ENTRY(WM_COMMAND, code, id, id, Void, memberFn)
#define ON_CONTROL_RANGE(code, first, last, memberFn) AFX_ENTRY(WM_COMMAND, code, first, last, Range, memberFn)
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_STN_CLICKED(id, memberFn) ON_CONTROL(STN_CLICKED, id, memberFn)
#define ON_CBN_SELCHANGE(id, memberFn) ON_CONTROL(CBN_SELCHANGE, id, memberFn)
#define ON_EN_CHANGE(id, memberFn) ON_CONTROL(EN_CHANGE, id, memberFn)
#define ON_NOTIFY(code, id, memberFn) AFX_ENTRY(WM_NOTIFY, code, id, id, Notify, memberFn)

// Reflected to the control that sent them. The "_EX" forms consume the
// notification only when they return TRUE; FALSE lets the parent see it.
#define ON_CONTROL_REFLECT(code, memberFn)                                             \
    AFX_ENTRY(AFX_WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, Void, memberFn)
#define ON_CONTROL_REFLECT_EX(code, memberFn)                                          \
    AFX_ENTRY(AFX_WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, Bool, memberFn)
#define ON_NOTIFY_REFLECT(code, memberFn)                                              \
    AFX_ENTRY(AFX_WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, Notify, memberFn)
#define ON_NOTIFY_REFLECT_EX(code, memberFn)                                           \
    AFX_ENTRY(AFX_WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, NotifyEx, memberFn)
#define ON_WM_CTLCOLOR_REFLECT()                                                       \
    AFX_ENTRY(AFX_WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0, 0, CtlColor, CtlColor)
