// CDownloadCallback: the status callback of one download. It hands every
// progress report to the update dialog synchronously, and it is the one way
// to abort a running download: a set stop event, or a body that grows past
// the most bytes the download may bring, turns the next report into E_ABORT.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include "BindingWatch.h"

#include <string>

#include <climits>

// What WM_DOWNLOAD_PROGRESS points to, valid during the send only.
struct DownloadProgress {
    ULONG ulProgress;     // bytes so far
    ULONG ulProgressMax;  // expected bytes, 0 when the length is unknown
    ULONG ulStatusCode;   // the binding status
    LPCWSTR szStatusText;
};

// Lives on the download thread's stack; Release never frees it.
class CDownloadCallback : public IBindStatusCallback
{
public:
    // serial: the wParam of what it sends; watch, when given, learns of the
    // binding.
    CDownloadCallback(HWND window, HANDLE stopEvent, ULONG maxBytes = ULONG_MAX, UINT serial = 0,
                      CBindingWatch *watch = nullptr);
    virtual ~CDownloadCallback() { ReleaseBinding(); }

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP OnStartBinding(DWORD reserved, IBinding *binding) override;
    STDMETHODIMP GetPriority(LONG *priority) override;
    STDMETHODIMP OnLowResource(DWORD reserved) override;
    STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                            LPCWSTR statusText) override;
    STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR error) override;
    STDMETHODIMP GetBindInfo(DWORD *bindf, BINDINFO *bindInfo) override;
    STDMETHODIMP OnDataAvailable(DWORD bscf, DWORD size, FORMATETC *format,
                                 STGMEDIUM *medium) override;
    STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown *object) override;

    // The body grew past the most bytes; the download was aborted.
    bool TooLong() const { return m_tooLong; }
    // The file the body is written to, once the binding has named it.
    const std::wstring &CacheFile() const { return m_cacheFile; }

private:
    // Ends the binding and gives the answer that asks for the same.
    HRESULT Abort();
    void ReleaseBinding();

    LONG m_refCount;
    HWND m_window;
    HANDLE m_stopEvent;
    ULONG m_maxBytes;
    UINT m_serial;
    CBindingWatch *m_watch;
    bool m_tooLong = false;
    std::wstring m_cacheFile;
    IBinding *m_binding = nullptr;     // held from the start of the binding to its stop
};
