// TempWrapperFor: the thread's temporary wrapper of a class for a handle,
// made on first request (see TempObjects.h); NULL for a NULL handle.
//
// Wrapper needs a default constructor and two members for this use only:
// AttachTemporary(handle), which sets the handle without taking ownership,
// and DetachTemporary(), which clears it so that deleting the wrapper leaves
// the handle alone.
#pragma once

#include "TempObjects.h"

template <class Wrapper>
void ReleaseTempWrapper(CObject *pObject)
{
    Wrapper *pWrapper = static_cast<Wrapper *>(pObject);
    pWrapper->DetachTemporary();
    delete pWrapper;
}

template <class Wrapper, class Handle>
Wrapper *TempWrapperFor(Handle handle)
{
    if (handle == NULL)
        return NULL;
    HANDLE key = reinterpret_cast<HANDLE>(handle);
    if (CObject *pFound = AfxFindTempObject(&ReleaseTempWrapper<Wrapper>, key))
        return static_cast<Wrapper *>(pFound);
    Wrapper *pWrapper = new Wrapper;
    pWrapper->AttachTemporary(handle);
    AfxAddTempObject(&ReleaseTempWrapper<Wrapper>, key, pWrapper);
    return pWrapper;
}
