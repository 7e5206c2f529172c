#include "NullDacl.h"
#include "OsVersion.h"

#ifndef _WIN64
static_assert(sizeof(SECURITY_ATTRIBUTES) == 12, "the record the product passes");
#endif

namespace {

// Constant-initialised, so that the provider library needs no start-up code.
SRWLOCK g_lock = SRWLOCK_INIT;
SECURITY_DESCRIPTOR g_descriptor;
SECURITY_ATTRIBUTES g_attributes;
bool g_ready;

} // namespace

LPSECURITY_ATTRIBUTES GetNullDaclAttributes()
{
    if (IsWin9x())
        return nullptr;
    AcquireSRWLockExclusive(&g_lock);
    if (!g_ready && InitializeSecurityDescriptor(&g_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&g_descriptor, TRUE, nullptr, FALSE)) {
        g_attributes.nLength = sizeof g_attributes;
        g_attributes.lpSecurityDescriptor = &g_descriptor;
        g_attributes.bInheritHandle = FALSE;
        g_ready = true;
    }
    bool ready = g_ready;
    ReleaseSRWLockExclusive(&g_lock);
    return ready ? &g_attributes : nullptr;
}
