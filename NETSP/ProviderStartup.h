// The provider's WSPStartup: starts the next provider of the catalog entry
// and puts the filtering procedures into the table that Winsock receives.
#pragma once

#include <winsock2.h>
#include <ws2spi.h>

// 0, the next provider's error, or WSAEPROVIDERFAILEDINIT when the next
// provider cannot be found, loaded or started, or names this library.
int ProviderStartup(WORD versionRequested, LPWSPDATA data, LPWSAPROTOCOL_INFOW info, WSPUPCALLTABLE upcalls,
                    LPWSPPROC_TABLE procedures);
