#include "DownloadCallback.h"
#include "ConsoleMessages.h"

CDownloadCallback::CDownloadCallback(HWND window, HANDLE stopEvent, ULONG maxBytes, UINT serial,
                                     CBindingWatch *watch)
    : m_refCount(1), m_window(window), m_stopEvent(stopEvent), m_maxBytes(maxBytes),
      m_serial(serial), m_watch(watch)
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

STDMETHODIMP CDownloadCallback::OnStartBinding(DWORD, IBinding *binding)
{
    if (binding) {
        binding->AddRef();
        m_binding = binding;
    }
    if (m_watch)
        m_watch->Attach(binding);
    return S_OK;
}

STDMETHODIMP CDownloadCallback::GetPriority(LONG *) { return E_NOTIMPL; }

STDMETHODIMP CDownloadCallback::OnLowResource(DWORD) { return S_OK; }

STDMETHODIMP CDownloadCallback::OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                           LPCWSTR statusText)
{
    if (m_window) {
        DownloadProgress record = {progress, progressMax, statusCode, statusText};
        SendMessageA(m_window, WM_DOWNLOAD_PROGRESS, m_serial, reinterpret_cast<LPARAM>(&record));
    }
    if (statusCode == BINDSTATUS_CACHEFILENAMEAVAILABLE && statusText)
        m_cacheFile = statusText;
    // A server that sends, or announces, more than the file holds would
    // fill the disk.
    if (progress > m_maxBytes || progressMax > m_maxBytes) {
        m_tooLong = true;
        return Abort();
    }
    if (m_stopEvent && WaitForSingleObject(m_stopEvent, 0) == WAIT_OBJECT_0) {
        SendMessageA(m_window, WM_DOWNLOAD_PROGRESS, m_serial, 0);
        return Abort();
    }
    return S_OK;
}

STDMETHODIMP CDownloadCallback::OnStopBinding(HRESULT, LPCWSTR)
{
    ReleaseBinding();
    return S_OK;
}

void CDownloadCallback::ReleaseBinding()
{
    if (m_watch)
        m_watch->Detach();
    if (m_binding)
        m_binding->Release();
    m_binding = nullptr;
}

HRESULT CDownloadCallback::Abort()
{
    // Not every binding gives up on the answer alone.
    if (m_binding)
        m_binding->Abort();
    return E_ABORT;
}

STDMETHODIMP CDownloadCallback::GetBindInfo(DWORD *, BINDINFO *) { return S_OK; }

STDMETHODIMP CDownloadCallback::OnDataAvailable(DWORD, DWORD, FORMATETC *, STGMEDIUM *)
{
    return S_OK;
}

STDMETHODIMP CDownloadCallback::OnObjectAvailable(REFIID, IUnknown *) { return S_OK; }
