#include <winsock2.h>
#include <ws2spi.h>

extern "C" DWORD WINAPI SpiIoControl(DWORD, void *)
{
    return 0;
}

extern "C" int WSPAPI WSPStartup(WORD, LPWSPDATA, LPWSAPROTOCOL_INFOW, WSPUPCALLTABLE,
                                 LPWSPPROC_TABLE)
{
    return WSAEPROVIDERFAILEDINIT;
}
