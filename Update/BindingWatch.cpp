#include "BindingWatch.h"

CBindingWatch::CBindingWatch() { InitializeCriticalSection(&m_lock); }

CBindingWatch::~CBindingWatch()
{
    Detach();
    DeleteCriticalSection(&m_lock);
}

void CBindingWatch::Attach(IBinding *binding)
{
    EnterCriticalSection(&m_lock);
    if (binding)
        binding->AddRef();
    if (m_binding)
        m_binding->Release();
    m_binding = binding;
    LeaveCriticalSection(&m_lock);
}

void CBindingWatch::Detach() { Attach(nullptr); }

void CBindingWatch::Abort()
{
    EnterCriticalSection(&m_lock);
    if (m_binding)
        m_binding->Abort();
    LeaveCriticalSection(&m_lock);
}
