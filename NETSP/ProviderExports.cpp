// The entry points of QFW.DLL: the library's entry procedure, the control
// entry SpiIoControl (ordinal 1) and the service provider's WSPStartup
// (ordinal 2), exported by name through QFW.def.
#include <winsock2.h>
#include <ws2spi.h>
#include "ProviderProcess.h"
#include "ProviderStartup.h"
#include "SpiControl.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        AttachProcess();
    else if (reason == DLL_PROCESS_DETACH)
        DetachProcess();
    return TRUE;
}

extern "C" DWORD WINAPI SpiIoControl(DWORD code, SpiIoBlock *block)
{
    return SpiControl(code, block);
}

extern "C" int WSPAPI WSPStartup(WORD versionRequested, LPWSPDATA data, LPWSAPROTOCOL_INFOW info,
                                 WSPUPCALLTABLE upcalls, LPWSPPROC_TABLE procedures)
{
    return ProviderStartup(versionRequested, data, info, upcalls, procedures);
}
