#include "DownloadJob.h"
#include "ConsoleMessages.h"
#include "DownloadCallback.h"

UINT __cdecl DownloadWorker(LPVOID parameter)
{
    DownloadJob &job = *static_cast<DownloadJob *>(parameter);
    // The moniker download needs COM on the calling thread.
    HRESULT com = CoInitialize(nullptr);
    CDownloadCallback callback(job.window, job.stopEvent);
    HRESULT result = URLDownloadToCacheFileA(nullptr, job.url, job.result.GetBuffer(MAX_PATH),
                                             MAX_PATH, 0, &callback);
    job.result.ReleaseBuffer();
    if (FAILED(result))
        job.result.Empty();
    if (SUCCEEDED(com))
        CoUninitialize();
    PostMessageA(job.window, WM_DOWNLOAD_DONE, 0, 0);
    return 0;
}
