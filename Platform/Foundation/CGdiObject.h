// CGdiObject: the owner of one GDI object (pen, brush, font, bitmap,
// region). The destructor deletes the object it holds; Detach hands the
// handle on to whoever owns it next (a window region, a picture's bitmap).
//
// A temporary wrapper (FromHandle, CDC::SelectObject's result) never owns
// its handle; see TempObjects.h.
#pragma once

#include "CObject.h"
#include "TempWrapper.h"

#include <windows.h>

class CGdiObject : public CObject
{
public:
    CGdiObject() = default;
    ~CGdiObject() override { DeleteObject(); }

    CGdiObject(const CGdiObject &) = delete;
    CGdiObject &operator=(const CGdiObject &) = delete;

    HGDIOBJ m_hObject = NULL;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }

    // FALSE for a NULL handle, or when this object already holds one: the
    // held handle is kept, never deleted or replaced.
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    // Deletes the held object; FALSE when there is none.
    BOOL DeleteObject();

    int GetObject(int nCount, LPVOID lpObject) const
    {
        return m_hObject ? ::GetObject(m_hObject, nCount, lpObject) : 0;
    }
    BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

    static CGdiObject *FromHandle(HGDIOBJ hObject) { return TempWrapperFor<CGdiObject>(hObject); }

    // For the temporary-object machinery only.
    void AttachTemporary(HGDIOBJ hObject) { m_hObject = hObject; }
    void DetachTemporary() { m_hObject = NULL; }

protected:
    // Takes a newly made object; when this one already holds an object, the
    // new one is deleted and the held one kept.
    BOOL AttachNew(HGDIOBJ hObject);
};
