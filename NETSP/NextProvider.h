// The provider that each catalog entry named before installation (the next
// provider): where the installer saved its library path, and its procedure
// table once started.
#pragma once

#include <winsock2.h>
#include <ws2spi.h>

// The saved value's name for the entry: "%u" of the last entry of its
// protocol chain, or of its own catalog entry id for a base entry. False
// for a chain longer than the protocol information can hold.
bool FormatCatalogValueName(const WSAPROTOCOL_INFOW &info, char (&name)[16]);

// The next provider's library path with environment variables expanded;
// 0 when the key or value is missing, too long or cannot be expanded.
int GetNextProviderPath(const WSAPROTOCOL_INFOW &info, char (&path)[MAX_PATH]);

// The next provider's procedures, saved at each WSPStartup and shared by all
// catalog entries of the process: every entry the provider stands in for
// chains to a base provider with the same procedures.
extern WSPPROC_TABLE g_nextProcedures;
