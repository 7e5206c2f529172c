#include "EveryoneFullAccess.h"

CEveryoneFullAccess::CEveryoneFullAccess() : m_built(Build())
{
}

// The well-known world SID rather than a looked-up account name: the name
// "Everyone" is translated on Windows in other languages.
bool CEveryoneFullAccess::Build()
{
    DWORD sidSize = sizeof m_sid;
    if (!InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION)
        || !InitializeAcl(&m_acl.header, sizeof m_acl.bytes, ACL_REVISION)
        || !CreateWellKnownSid(WinWorldSid, nullptr, m_sid, &sidSize)
        || !AddAccessAllowedAce(&m_acl.header, ACL_REVISION, GENERIC_ALL, m_sid)
        || !SetSecurityDescriptorDacl(&m_descriptor, TRUE, &m_acl.header, FALSE))
        return false;
    m_attributes.nLength = sizeof m_attributes;
    m_attributes.lpSecurityDescriptor = &m_descriptor;
    m_attributes.bInheritHandle = FALSE;
    return true;
}
