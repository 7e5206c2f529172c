#include "ProviderStartup.h"

#include "AclMemory.h"
#include "FilterProcedures.h"
#include "NextProvider.h"
#include "ProviderProcess.h"
#include "SocketFilter.h"

namespace {

// Any object of this library tells which module it is.
const char g_inThisLibrary = 0;

HMODULE ThisLibrary()
{
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       &g_inThisLibrary, &self);
    return self;
}

// The next provider's entry, loaded again at every call and never freed.
// A path that leads back to this library would make the call recurse.
LPWSPSTARTUP LoadNextProvider(const WSAPROTOCOL_INFOW &info)
{
    char path[MAX_PATH];
    if (!GetNextProviderPath(info, path))
        return nullptr;
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return nullptr;
    if (library == ThisLibrary()) {
        FreeLibrary(library);
        return nullptr;
    }
    // void (*)() is the type that any procedure address may pass through.
    return reinterpret_cast<LPWSPSTARTUP>(reinterpret_cast<void (*)()>(GetProcAddress(library, "WSPStartup")));
}

} // namespace

int ProviderStartup(WORD versionRequested, LPWSPDATA data, LPWSAPROTOCOL_INFOW info, WSPUPCALLTABLE upcalls,
                    LPWSPPROC_TABLE procedures)
{
    CStartupLock hold;
    LPWSPSTARTUP nextStartup = info ? LoadNextProvider(*info) : nullptr;
    if (!nextStartup)
        return WSAEPROVIDERFAILEDINIT;
    int result = nextStartup(versionRequested, data, info, upcalls, procedures);
    if (result != 0)
        return result;
    // Quality-of-service entries are left to the next provider, unfiltered.
    if (info->dwServiceFlags1 & XP1_QOS_SUPPORTED)
        return 0;
    g_nextProcedures = *procedures;
    if (SocketFilter().Acl().IsExemptProcess())
        return 0;
    InstallFilterProcedures(*procedures);
    SocketFilter().Sessions().Open();
    return 0;
}
