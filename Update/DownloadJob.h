// The download job of the update dialog and the thread that runs it: one
// file fetched into the download cache, its progress relayed, its end posted.
#pragma once

#include <windows.h>

#include "CString.h"

struct DownloadJob {
    HWND window = nullptr;       // receives the progress and the end
    HANDLE stopEvent = nullptr;  // set to abort the download
    CString url;
    CString result;              // the cached copy; empty until success and after failure
};

// The download thread's procedure; its parameter is the DownloadJob.
UINT __cdecl DownloadWorker(LPVOID job);
