// Security attributes whose access list grants every account full access,
// for the database files that all users of the computer share.
#pragma once

#include <windows.h>

class CEveryoneFullAccess
{
public:
    CEveryoneFullAccess();
    CEveryoneFullAccess(const CEveryoneFullAccess &) = delete;
    CEveryoneFullAccess &operator=(const CEveryoneFullAccess &) = delete;

    // Null when the list could not be built: the file then gets default security.
    SECURITY_ATTRIBUTES *Attributes() { return m_built ? &m_attributes : nullptr; }

private:
    bool Build();

    // The attributes point into these, so they live as long as the object.
    SECURITY_DESCRIPTOR m_descriptor;
    union {
        ACL header;                 // keeps the buffer aligned for an ACL
        BYTE bytes[1024];
    } m_acl;
    BYTE m_sid[SECURITY_MAX_SID_SIZE];
    SECURITY_ATTRIBUTES m_attributes;
    bool m_built;
};
