// Worker threads and events: suspended start, priority, the two lifetimes
// (auto-delete and owner-deleted), and the auto-reset event.
#include <CEvent.h>
#include <CWinThread.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Every pointer that this program frees is noted, so that a test can see
// that an auto-deleting thread object was really deleted.
namespace {

const int kNotedFrees = 4096;
std::atomic<void *> notedFrees[kNotedFrees];
std::atomic<int> nextNote{0};

void NoteFree(void *p)
{
    if (p)
        notedFrees[nextNote++ % kNotedFrees] = p;
}

bool WasFreedSince(const void *p, int firstNote)
{
    for (int i = firstNote; i < nextNote; ++i) {
        if (notedFrees[i % kNotedFrees] == p)
            return true;
    }
    return false;
}

} // namespace

void *operator new(size_t size)
{
    if (void *p = malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
    NoteFree(p);
    free(p);
}

void operator delete(void *p, size_t) noexcept
{
    NoteFree(p);
    free(p);
}

namespace {

struct Work
{
    std::atomic<int> runs{0};
    UINT result = 0;
    HANDLE gate = NULL;   // the procedure waits for it when set
};

UINT __cdecl RunWork(LPVOID param)
{
    Work *work = static_cast<Work *>(param);
    if (work->gate)
        WaitForSingleObject(work->gate, INFINITE);
    ++work->runs;
    return work->result;
}

bool HandleIsOpen(HANDLE handle)
{
    DWORD flags;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(CWinThread, SuspendedCreationRunsNothingUntilResumed)
{
    Work work;
    work.result = 5;
    CWinThread *thread = AfxBeginThread(RunWork, &work, THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    EXPECT_NE(0u, thread->m_nThreadID);
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, GetThreadPriority(thread->m_hThread));

    // Still suspended once: its suspend count is 1, and it has not run.
    EXPECT_EQ(1u, SuspendThread(thread->m_hThread));
    EXPECT_EQ(2u, thread->ResumeThread());
    EXPECT_EQ(0, work.runs);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread->m_hThread, &code));
    EXPECT_EQ(STILL_ACTIVE, code);

    EXPECT_EQ(1u, thread->ResumeThread());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, INFINITE));
    EXPECT_EQ(1, work.runs);
    delete thread;
}

TEST(CWinThread, WithoutAutoDeleteTheHandleOutlivesTheThread)
{
    Work work;
    work.result = 0xC0DE;
    CWinThread *thread = AfxBeginThread(RunWork, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, INFINITE));

    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread->m_hThread, &code));
    EXPECT_EQ(0xC0DEu, code);

    HANDLE handle = thread->m_hThread;
    EXPECT_TRUE(HandleIsOpen(handle));
    delete thread;
    EXPECT_FALSE(HandleIsOpen(handle));
}

TEST(CWinThread, AutoDeleteLeavesNoObjectAndNoHandle)
{
    for (DWORD flags : {DWORD(CREATE_SUSPENDED), DWORD(0)}) {
        Work work;
        CEvent gate(FALSE, TRUE);
        work.gate = gate;
        int firstNote = nextNote;
        CWinThread *thread = AfxBeginThread(RunWork, &work, THREAD_PRIORITY_NORMAL, 0, flags);
        ASSERT_NE(nullptr, thread);
        EXPECT_TRUE(thread->m_bAutoDelete);

        // A second handle of our own, to wait for the end.
        HANDLE own = NULL;
        HANDLE handle = thread->m_hThread;
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &own, SYNCHRONIZE,
                                    FALSE, 0));
        if (flags & CREATE_SUSPENDED)
            thread->ResumeThread();
        gate.SetEvent();
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(own, INFINITE));
        CloseHandle(own);

        EXPECT_EQ(1, work.runs);
        EXPECT_TRUE(WasFreedSince(thread, firstNote));
        EXPECT_FALSE(HandleIsOpen(handle));
    }
}

TEST(CWinThread, ManyWorkersEachRunOnce)
{
    Work work;
    const int kWorkers = 16;
    CWinThread *threads[kWorkers];
    for (CWinThread *&thread : threads) {
        thread = AfxBeginThread(RunWork, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(nullptr, thread);
        thread->m_bAutoDelete = FALSE;
    }
    for (CWinThread *thread : threads)
        thread->ResumeThread();
    for (CWinThread *thread : threads) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, INFINITE));
        delete thread;
    }
    EXPECT_EQ(kWorkers, work.runs);
}

TEST(CEvent, AutoResetReleasesOneWait)
{
    CEvent stop;
    ASSERT_NE(nullptr, stop.m_hObject);
    EXPECT_EQ(static_cast<HANDLE>(stop), stop.m_hObject);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(stop, 0));
    EXPECT_TRUE(stop.SetEvent());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(stop, 0));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(stop, 0));
}

TEST(CEvent, ManualResetAndInitialState)
{
    CEvent open(TRUE, TRUE);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(open, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(open, 0));
    EXPECT_TRUE(open.ResetEvent());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(open, 0));

    HANDLE handle;
    {
        CEvent scoped;
        handle = scoped.m_hObject;
        EXPECT_TRUE(HandleIsOpen(handle));
    }
    EXPECT_FALSE(HandleIsOpen(handle));
}

} // namespace
