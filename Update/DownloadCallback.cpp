#include "DownloadCallback.h"
#include "ConsoleMessages.h"

CDownloadCallback::CDownloadCallback(HWND window, HANDLE stopEvent, ULONG maxBytes, UINT serial)
    : m_refCount(1), m_window(window), m_stopEvent(stopEvent), m_maxBytes(maxBytes),
      m_serial(serial)
{
}

STDMETHODIMP CDownloadCallback::QueryInterface(REFIID riid, void **ppv)
{
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
        *ppv = static_cast<IBindStatusCallback *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDownloadCallback::AddRef() { return InterlockedIncrement(&m_refCount); }

STDMETHODIMP_(ULONG) CDownloadCallback::Release() { return InterlockedDecrement(&m_refCount); }

STDMETHODIMP CDownloadCallback::OnStartBinding(DWORD, IBinding *) { return S_OK; }

STDMETHODIMP CDownloadCallback::GetPriority(LONG *) { return E_NOTIMPL; }

STDMETHODIMP CDownloadCallback::OnLowResource(DWORD) { return S_OK; }

STDMETHODIMP CDownloadCallback::OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                           LPCWSTR statusText)
{
    if (m_window) {
        DownloadProgress record = {progress, progressMax, statusCode, statusText};
        SendMessageA(m_window, WM_DOWNLOAD_PROGRESS, m_serial, reinterpret_cast<LPARAM>(&record));
    }
    // A server that sends more than the file holds would fill the disk.
    if (progress > m_maxBytes) {
        m_tooLong = true;
        return E_ABORT;
    }
    if (m_stopEvent && WaitForSingleObject(m_stopEvent, 0) == WAIT_OBJECT_0) {
        SendMessageA(m_window, WM_DOWNLOAD_PROGRESS, m_serial, 0);
        return E_ABORT;
    }
    return S_OK;
}

STDMETHODIMP CDownloadCallback::OnStopBinding(HRESULT, LPCWSTR) { return S_OK; }

STDMETHODIMP CDownloadCallback::GetBindInfo(DWORD *, BINDINFO *) { return S_OK; }

STDMETHODIMP CDownloadCallback::OnDataAvailable(DWORD, DWORD, FORMATETC *, STGMEDIUM *)
{
    return S_OK;
}

STDMETHODIMP CDownloadCallback::OnObjectAvailable(REFIID, IUnknown *) { return S_OK; }
