#include "NullDacl.h"
#include "OsVersion.h"

#ifndef _WIN64
static_assert(sizeof(SECURITY_ATTRIBUTES) == 12, "the record the product passes");
#endif

namespace {

// Constant-initialised, so that the provider library needs no start-up code.
// The guard is a plain interlocked flag: the provider's threads may race to
// the first call, and the lock objects of later Windows versions do not
// exist on the systems the programs run on.
volatile LONG g_busy;
SECURITY_DESCRIPTOR g_descriptor;
SECURITY_ATTRIBUTES g_attributes;
bool g_ready;

} // namespace

LPSECURITY_ATTRIBUTES GetNullDaclAttributes()
{
    if (IsWin9x())
        return nullptr;
    while (InterlockedExchange(&g_busy, 1))
        Sleep(0);
    if (!g_ready && InitializeSecurityDescriptor(&g_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&g_descriptor, TRUE, nullptr, FALSE)) {
        g_attributes.nLength = sizeof g_attributes;
        g_attributes.lpSecurityDescriptor = &g_descriptor;
        g_attributes.bInheritHandle = FALSE;
        g_ready = true;
    }
    bool ready = g_ready;
    InterlockedExchange(&g_busy, 0);
    return ready ? &g_attributes : nullptr;
}
