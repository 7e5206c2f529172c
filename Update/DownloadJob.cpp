#include "DownloadJob.h"
#include "ConsoleMessages.h"
#include "DownloadCallback.h"

#include <wininet.h>

DownloadJob::DownloadJob(HWND window, HANDLE stopEvent, const CString &url, ULONG maxBytes,
                         UINT serial)
    : window(window), stopEvent(nullptr), url(url), maxBytes(maxBytes), serial(serial)
{
    // The steps' event may be gone before a download that was let go ends.
    DuplicateHandle(GetCurrentProcess(), stopEvent, GetCurrentProcess(), &this->stopEvent, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
}

DownloadJob::~DownloadJob()
{
    if (stopEvent)
        CloseHandle(stopEvent);
}

namespace {

// What a failed download wrote stays in no cache. The download's own
// threads may still hold the copy open for a moment after the failure, so
// that a delete fails or the copy comes back: the copy is deleted again
// until it is gone, for a while at most.
void RemoveFailedCopy(const CString &url, const CString &copy, const std::wstring &cacheFile)
{
    const DWORD kLimitMs = 3000, kStepMs = 50;
    for (DWORD waited = 0;; waited += kStepMs) {
        if (!copy.IsEmpty())
            DeleteFileA(copy);
        if (!cacheFile.empty())
            DeleteFileW(cacheFile.c_str());
        DeleteUrlCacheEntryA(url);
        const bool copyGone = copy.IsEmpty() || GetFileAttributesA(copy) == INVALID_FILE_ATTRIBUTES;
        const bool cacheGone = cacheFile.empty() || GetFileAttributesW(cacheFile.c_str()) == INVALID_FILE_ATTRIBUTES;
        if ((copyGone && cacheGone) || waited >= kLimitMs)
            return;
        Sleep(kStepMs);
    }
}

} // namespace

UINT __cdecl DownloadWorker(LPVOID parameter)
{
    std::unique_ptr<std::shared_ptr<DownloadJob>> held(
        static_cast<std::shared_ptr<DownloadJob> *>(parameter));
    DownloadJob &job = **held;
    // The moniker download needs COM on the calling thread.
    HRESULT com = CoInitialize(nullptr);
    CDownloadCallback callback(job.window, job.stopEvent, job.maxBytes, job.serial, &job.watch);
    HRESULT result = URLDownloadToCacheFileA(nullptr, job.url, job.result.GetBuffer(MAX_PATH),
                                             MAX_PATH, 0, &callback);
    job.result.ReleaseBuffer();
    if (FAILED(result) || callback.TooLong()) {
        RemoveFailedCopy(job.url, SUCCEEDED(result) ? job.result : CString(), callback.CacheFile());
        job.result.Empty();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    PostMessageA(job.window, WM_DOWNLOAD_DONE, job.serial, 0);
    return 0;
}

CWinThread *CreateDownloadThread(const std::shared_ptr<DownloadJob> &job)
{
    auto *parameter = new std::shared_ptr<DownloadJob>(job);
    CWinThread *thread =
        AfxBeginThread(DownloadWorker, parameter, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        delete parameter;
        return nullptr;
    }
    thread->m_bAutoDelete = FALSE;
    return thread;
}
