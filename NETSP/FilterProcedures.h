// The provider's own socket procedures, which stand in the procedure table
// that Winsock receives in place of eleven of the next provider's. Each
// forwards the call to the next provider and lets the socket filter record
// and decide it; a refused call returns a Winsock error.
#pragma once

#include <winsock2.h>
#include <ws2spi.h>

// Puts the filtering procedures into the table.
void InstallFilterProcedures(WSPPROC_TABLE &table);
