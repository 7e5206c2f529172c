// CObject and CRuntimeClass: a record per class with its name, size, base
// class and, for classes that allow it, a way to create an object, so that
// code can ask whether an object is of a kind and create cells by class.
//
//     class CCell : public CObject { DECLARE_DYNAMIC(CCell) ... };
//     IMPLEMENT_DYNAMIC(CCell, CObject)          // in one .cpp file
//     class CTextCell : public CCell { DECLARE_DYNCREATE(CTextCell) ... };
//     IMPLEMENT_DYNCREATE(CTextCell, CCell)
//
// The records are constant-initialised, so they are usable while static
// objects are being constructed. Single inheritance only.
#pragma once

#include <windows.h>

class CObject;

struct CRuntimeClass
{
    LPCSTR m_lpszClassName;              // the C++ class name
    int m_nObjectSize;
    CObject *(*m_pfnCreateObject)();     // NULL without dynamic creation
    CRuntimeClass *m_pBaseClass;         // NULL for CObject

    // A new object made with the default constructor; NULL for a class
    // without dynamic creation.
    CObject *CreateObject() const;
    // True for the class itself and for each of its ancestors.
    BOOL IsDerivedFrom(const CRuntimeClass *pBaseClass) const;
};

class CObject
{
public:
    virtual ~CObject() = default;

    virtual CRuntimeClass *GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass *pClass) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                            \
public:                                                                        \
    static CRuntimeClass class##class_name;                                    \
    CRuntimeClass *GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                          \
    DECLARE_DYNAMIC(class_name)                                                \
    static CObject *CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnCreateObject)   \
    CRuntimeClass class_name::class##class_name = {                            \
        #class_name, sizeof(class_name), pfnCreateObject,                      \
        RUNTIME_CLASS(base_class_name)};                                       \
    CRuntimeClass *class_name::GetRuntimeClass() const                         \
    {                                                                          \
        return RUNTIME_CLASS(class_name);                                      \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                         \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, NULL)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                       \
    CObject *class_name::CreateObject() { return new class_name; }             \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject)
