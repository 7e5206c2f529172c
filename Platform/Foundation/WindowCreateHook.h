// Attaches a CWnd to the window Windows creates for it, from the very first
// message on: a per-thread WH_CBT hook takes the first window created while
// it is armed, attaches the object, runs PreSubclassWindow and installs the
// library's window procedure before WM_NCCREATE. Internal to the library.
//
// Arming is scoped and nests: a window created from a handler of a window
// being created (OnCreate making child windows) arms its own hook.
//
// A window that dies inside its own creation (a control of its template
// that cannot be made, OnCreate answering -1) fails that creation: its
// object stays with the code that asked for the window, which deletes it.
// So PostNcDestroy, where a window's object may delete itself, is skipped
// for an object whose creation scope is still open.
#pragma once

#include <windows.h>

class CWnd;

class CWndCreateHook
{
public:
    // bDialog: take only a window of the dialog class, never the controls
    // of its template.
    CWndCreateHook(CWnd *pWnd, BOOL bDialog);
    ~CWndCreateHook();

    CWndCreateHook(const CWndCreateHook &) = delete;
    CWndCreateHook &operator=(const CWndCreateHook &) = delete;

    // TRUE while a scope of this thread creates the object's window.
    static BOOL IsCreating(const CWnd *pWnd);

private:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam);
    static BOOL IsImeWindow(HWND hWnd);
    static BOOL IsDialogWindow(HWND hWnd);

    CWnd *m_pWnd;
    const CWndCreateHook *m_pOuter;
    CWnd *m_pSavedWnd;
    BOOL m_bSavedDialog;
};
