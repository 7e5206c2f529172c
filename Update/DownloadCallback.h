// CDownloadCallback: the status callback of one download. It hands every
// progress report to the update dialog synchronously, and it is the one way
// to abort a running download: a set stop event, or a body that grows past
// the most bytes the download may bring, turns the next report into E_ABORT.
#pragma once

#include <windows.h>
#include <urlmon.h>

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
    // serial: the wParam of what it sends.
    CDownloadCallback(HWND window, HANDLE stopEvent, ULONG maxBytes = ULONG_MAX, UINT serial = 0);
    virtual ~CDownloadCallback() = default;

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

private:
    LONG m_refCount;
    HWND m_window;
    HANDLE m_stopEvent;
    ULONG m_maxBytes;
    UINT m_serial;
    bool m_tooLong = false;
};
