#include "CGdiObject.h"

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == NULL || m_hObject != NULL)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    m_hObject = NULL;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == NULL)
        return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::AttachNew(HGDIOBJ hObject)
{
    if (m_hObject != NULL) {
        if (hObject)
            ::DeleteObject(hObject);
        return FALSE;
    }
    return Attach(hObject);
}
