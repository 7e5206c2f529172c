#include "CObject.h"

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), NULL, NULL};

CRuntimeClass *CObject::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CObject);
}

BOOL CObject::IsKindOf(const CRuntimeClass *pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

CObject *CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : NULL;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass *pBaseClass) const
{
    for (const CRuntimeClass *pClass = this; pClass; pClass = pClass->m_pBaseClass) {
        if (pClass == pBaseClass)
            return TRUE;
    }
    return FALSE;
}
