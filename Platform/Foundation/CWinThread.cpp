#include "CWinThread.h"

#include <process.h>

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(NULL), m_nThreadID(0), m_bAutoDelete(TRUE), m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread)
        CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    // Through the CRT, so that the thread's CRT state is set up and freed.
    // Always made suspended: an auto-deleting thread could otherwise end,
    // and delete this object, before the handle is stored in it.
    unsigned threadId = 0;
    uintptr_t handle = _beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, this,
                                      dwCreateFlags | CREATE_SUSPENDED, &threadId);
    if (handle == 0)
        return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(handle);
    m_nThreadID = threadId;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ResumeThread();
    return TRUE;
}

unsigned __stdcall CWinThread::ThreadEntry(void *pThread)
{
    CWinThread *thread = static_cast<CWinThread *>(pThread);
    UINT exitCode = thread->m_pfnThreadProc(thread->m_pThreadParams);
    if (thread->m_bAutoDelete)
        delete thread;
    return exitCode;
}

CWinThread *AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread *thread = new CWinThread(pfnThreadProc, pParam);
    if (!thread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete thread;
        return NULL;
    }
    thread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}
