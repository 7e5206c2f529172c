// CException: the base of the library's exceptions. They are thrown as heap
// objects and caught by pointer; the catcher deletes them:
//     catch (CException *e) { ...; e->Delete(); }
#pragma once

class CException
{
public:
    virtual ~CException() = default;

    void Delete() { delete this; }

protected:
    CException() = default;
    CException(const CException &) = default;
    CException &operator=(const CException &) = default;
};
