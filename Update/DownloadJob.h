// The download job of the update dialog and the thread that runs it: one
// file fetched into the download cache, its progress relayed, its end posted.
// The job is shared by the steps and the thread, so that the steps can let
// a download that hangs go: its thread then finishes on its own copy, and
// what it still sends carries a serial the steps no longer answer to.
#pragma once

#include <windows.h>

#include "CString.h"
#include "CWinThread.h"
#include "BindingWatch.h"

#include <memory>

struct DownloadJob {
    DownloadJob(HWND window, HANDLE stopEvent, const CString &url, ULONG maxBytes, UINT serial);
    ~DownloadJob();
    DownloadJob(const DownloadJob &) = delete;
    DownloadJob &operator=(const DownloadJob &) = delete;

    HWND window;        // receives the progress and the end
    HANDLE stopEvent;   // the job's own handle to the event that aborts it
    CString url;
    ULONG maxBytes;     // a longer body fails the download
    UINT serial;        // the wParam of every message the download sends
    CString result;     // the cached copy; empty until success and after failure
    CBindingWatch watch;
};

// The download thread's procedure; its parameter is a new shared pointer to
// the job, which the thread deletes when it ends.
UINT __cdecl DownloadWorker(LPVOID job);

// Makes the thread of a job, suspended and not deleting itself; NULL when
// it cannot be made.
CWinThread *CreateDownloadThread(const std::shared_ptr<DownloadJob> &job);
