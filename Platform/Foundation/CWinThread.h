// CWinThread and AfxBeginThread: a worker thread that runs one procedure.
//
// An object with m_bAutoDelete (the default) deletes itself, closing its
// handle, when the procedure returns; its creator may touch it only until
// ResumeThread. Without auto-delete the handle stays valid after the end,
// for GetExitCodeThread and waiting, until the owner deletes the object.
#pragma once

#include <windows.h>

typedef UINT(__cdecl *AFX_THREADPROC)(LPVOID);

class CWinThread
{
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    // Closes the handle; the thread itself is not stopped.
    virtual ~CWinThread();

    CWinThread(const CWinThread &) = delete;
    CWinThread &operator=(const CWinThread &) = delete;

    // Starts the thread (suspended with CREATE_SUSPENDED). FALSE when the
    // system cannot create it.
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }

    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;

private:
    static unsigned __stdcall ThreadEntry(void *pThread);

    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
};

// Creates a thread that runs pfnThreadProc(pParam) and returns its exit code.
// The priority is set before the thread runs. NULL when the thread cannot be
// created; nothing is left behind then.
CWinThread *AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
